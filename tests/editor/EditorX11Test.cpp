// The plug-in's window inside a host's X11 window, opened through the VST
// record as a Linux host does, under the test's own Xvfb server.
#include "../x11/XvfbEnvironment.h"

#include "core/Volantor2.h"
#include "vst2/Vst2.h"

#include <X11/extensions/XTest.h>

#include <malloc.h>

#include <atomic>
#include <cmath>
#include <thread>

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// A bare top-level window standing in for the host's editor window.
class HostWindow
{
public:
    HostWindow()
    {
        display = XOpenDisplay(nullptr);
        if (!display)
            return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 820, 505, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~HostWindow()
    {
        if (!display)
            return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    // Presses the left button at (x, y) of the window, moves by dy, releases;
    // `pump` runs between the steps so the editor sees each one.
    void drag(int x, int y, int dy, const std::function<void()>& pump)
    {
        int rootX = 0, rootY = 0;
        x11test::rootPosition(display, window, x, y, rootX, rootY);
        const int screen = DefaultScreen(display);
        auto step = [&](const std::function<void()>& fake) {
            fake();
            XSync(display, False);
            for (int i = 0; i < 5; ++i) {
                pump();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        };
        step([&] { XTestFakeMotionEvent(display, screen, rootX, rootY, 0); });
        step([&] { XTestFakeButtonEvent(display, 1, True, 0); });
        for (int moved = 4; moved <= std::abs(dy); moved += 4)
            step([&] { XTestFakeMotionEvent(display, screen, rootX, rootY + (dy < 0 ? -moved : moved), 0); });
        step([&] { XTestFakeButtonEvent(display, 1, False, 0); });
    }

    Display* display = nullptr;
    Window window = 0;
};

VstIntPtr call(AEffect* e, VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr)
{
    return e->dispatcher(e, opcode, 0, value, ptr, 0.f);
}

} // namespace

TEST(EditorInX11, AKnobDraggedInTheHostWindowChangesItsParameter)
{
    REQUIRE_XVFB();
    HostWindow host;
    ASSERT_NE(host.display, nullptr);
    AEffect* e = VSTPluginMain(quietHost);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(e->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(call(e, effEditGetRect, 0, &rect), 1);
    ASSERT_EQ(rect->right - rect->left, 820);

    // Twice: the window closes and opens again as it does in hosts.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(call(e, effEditOpen, 0, reinterpret_cast<void*>(host.window)), 1);
        auto pump = [&] { call(e, effEditIdle); };
        pump();
        const float before = e->getParameter(e, 512);
        // The delay's time knob: tab box (590, 400), first knob (2, 24, 42, 64).
        host.drag(612, 444, round == 0 ? -40 : 40, pump);
        const float after = e->getParameter(e, 512);
        if (round == 0)
            EXPECT_GT(after, before);
        else
            EXPECT_LT(after, before);
        call(e, effEditClose);
    }
    call(e, effClose);
}

// Hosts open and close editors at will while audio plays: nothing crashes,
// and the memory in use does not grow after the first window.
TEST(EditorInX11, OpeningAndClosingAHundredTimesWhileRendering)
{
    REQUIRE_XVFB();
    HostWindow host;
    ASSERT_NE(host.display, nullptr);
    AEffect* e = VSTPluginMain(quietHost);
    ASSERT_NE(e, nullptr);
    call(e, effSetSampleRate, 0, nullptr);
    call(e, effSetBlockSize, 256);
    call(e, effMainsChanged, 1);

    std::atomic<bool> done{false};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        float left[256], right[256];
        float* outputs[2] = {left, right};
        VstMidiEvent note{};
        note.type = kVstMidiType;
        note.byteSize = sizeof(note);
        note.midiData[0] = (char)0x90;
        note.midiData[1] = 60;
        note.midiData[2] = 100;
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&note);
        for (int block = 0; !done; ++block) {
            note.midiData[0] = (char)(block % 2 ? 0x80 : 0x90);
            call(e, effProcessEvents, 0, &events);
            e->setParameter(e, 581, (block % 100) / 100.f); // automation on the audio thread
            e->processReplacing(e, nullptr, outputs, 256);
            for (int k = 0; k < 256; ++k)
                if (!std::isfinite(left[k]) || !std::isfinite(right[k]))
                    finite = false;
        }
    });

    auto cycle = [&] {
        ASSERT_EQ(call(e, effEditOpen, 0, reinterpret_cast<void*>(host.window)), 1);
        for (int i = 0; i < 3; ++i)
            call(e, effEditIdle);
        call(e, effEditClose);
    };
    cycle();
    cycle();
    const size_t first = mallinfo2().uordblks;
    for (int i = 0; i < 100; ++i)
        cycle();
    const size_t after = mallinfo2().uordblks;
    done = true;
    audio.join();
    call(e, effMainsChanged, 0);
    call(e, effClose);

    EXPECT_TRUE(finite);
    std::printf("heap in use after the first windows: %zu bytes; after 100 more: %zu bytes\n", first, after);
    EXPECT_LT(after, first + 256 * 1024) << "each window leaves memory behind";
}
