#include "GuiTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <thread>

using namespace guitest;

namespace {

struct Timers : OffscreenFixture
{
    uint64_t clock = 1000;
    void SetUp() override
    {
        CVSTGUITimer::setClock([this] { return clock; });
        openFrame();
    }
    void TearDown() override
    {
        OffscreenFixture::TearDown();
        CVSTGUITimer::setClock(nullptr);
    }
};

TEST_F(Timers, FireFromIdleWhenDueAtMostOncePerPass)
{
    int fired = 0;
    auto* timer = new CVSTGUITimer([&](CVSTGUITimer*) { ++fired; }, 100);
    struct Step
    {
        uint64_t advance;
        int firedAfter;
    };
    for (const Step& s : {Step{0, 0}, Step{99, 0}, Step{1, 1}, Step{0, 1}, Step{350, 2}, Step{0, 2}, Step{100, 3}})
    {
        clock += s.advance;
        frame->idle();
        EXPECT_EQ(fired, s.firedAfter) << "at " << clock;
    }
    timer->stop();
    clock += 1000;
    frame->idle();
    EXPECT_EQ(fired, 3);
    timer->forget();
}

TEST_F(Timers, NotifyTheirObjectOnceStarted)
{
    struct Listener : CBaseObject
    {
        CBaseObject* expected = nullptr;
        int count = 0;
        CMessageResult notify(CBaseObject* sender, const char* message) override
        {
            count += sender == expected && std::string(message) == CVSTGUITimer::kMsgTimer;
            return kMessageNotified;
        }
    } listener;
    auto* timer = new CVSTGUITimer(&listener, 50);
    listener.expected = timer;
    clock += 500;
    frame->idle();
    EXPECT_EQ(listener.count, 0);
    EXPECT_TRUE(timer->start());
    EXPECT_FALSE(timer->start());
    clock += 50;
    frame->idle();
    EXPECT_EQ(listener.count, 1);
    timer->setFireTime(200);
    EXPECT_EQ(timer->getFireTime(), 200u);
    clock += 199;
    frame->idle();
    EXPECT_EQ(listener.count, 1);
    timer->forget(); // stops it
    clock += 1000;
    frame->idle();
    EXPECT_EQ(listener.count, 1);
}

TEST_F(Timers, ACallbackMayReleaseItsOwnAndOtherTimers)
{
    int otherFired = 0;
    auto* other = new CVSTGUITimer([&](CVSTGUITimer*) { ++otherFired; }, 10);
    CVSTGUITimer* self = nullptr;
    self = new CVSTGUITimer(
        [&](CVSTGUITimer* t) {
            EXPECT_EQ(t, self);
            other->forget();
            t->forget();
        },
        10);
    clock += 10;
    CVSTGUITimer::fireDueTimers();
    clock += 10;
    CVSTGUITimer::fireDueTimers();
    EXPECT_LE(otherFired, 1);
}

// Starts a drag of "hello" from its first mouse move.
struct DragSource : ProbeView
{
    using ProbeView::ProbeView;
    CBitmap* bitmap = nullptr;
    DragResult result = kDragError;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override
    {
        ProbeView::onMouseMoved(where, buttons);
        if (result == kDragError)
        {
            auto* data = new CDropSource("hello", 5, IDataPackage::kText);
            result = doDrag(data, CPoint(0, 0), bitmap);
            data->forget();
        }
        return kMouseEventHandled;
    }
};

// Accepts drops, logging what it gets.
struct DropTarget : ProbeView
{
    using ProbeView::ProbeView;
    bool accept = true;
    std::vector<std::pair<IDataPackage::Type, std::string>> received;
    void onDragEnter(IDataPackage*, const CPoint& where) override { record("enter", where); }
    void onDragMove(IDataPackage*, const CPoint& where) override { record("move", where); }
    void onDragLeave(IDataPackage*, const CPoint& where) override { record("leave", where); }
    bool onDrop(IDataPackage* drag, const CPoint& where) override
    {
        record("drop", where);
        for (uint32_t i = 0; i < drag->getCount(); ++i)
        {
            const void* buffer = nullptr;
            IDataPackage::Type type;
            const uint32_t size = drag->getData(i, buffer, type);
            EXPECT_EQ(size, drag->getDataSize(i));
            EXPECT_EQ(static_cast<const char*>(buffer)[size - 1], '\0');
            received.emplace_back(type, std::string(static_cast<const char*>(buffer)));
        }
        return accept;
    }
};

struct DragAndDrop : OffscreenFixture
{
    std::vector<std::string> log;
};

TEST_F(DragAndDrop, ADragStartedInOneViewDropsOnAnother)
{
    openFrame();
    auto* source = new DragSource(CRect(0, 0, 50, 50), &log, "source");
    auto* other = new DropTarget(CRect(60, 0, 90, 50), &log, "other");
    auto* target = new DropTarget(CRect(100, 0, 150, 50), &log, "target");
    frame->addView(source);
    frame->addView(other);
    frame->addView(target);

    screen->mouseDown(CPoint(10, 10), kLButton);
    screen->mouseMoved(CPoint(20, 10), kLButton);
    EXPECT_TRUE(frame->isDragging());
    EXPECT_EQ(source->result, kDragRefused); // offscreen: the outcome comes later
    screen->mouseMoved(CPoint(70, 10), kLButton);
    screen->mouseMoved(CPoint(110, 10), kLButton);
    EXPECT_EQ(screen->getCursor(), kCursorCopy);
    screen->mouseMoved(CPoint(120, 20), kLButton);
    screen->mouseUp(CPoint(120, 20), kLButton);

    EXPECT_FALSE(frame->isDragging());
    EXPECT_EQ(frame->getLastDragResult(), kDragCopied);
    EXPECT_EQ(screen->getCursor(), kCursorDefault);
    EXPECT_EQ(log, (std::vector<std::string>{"source:down@10,10", "source:moved@20,10", "other:enter@70,10",
                                             "other:leave@110,10", "target:enter@110,10", "target:move@120,20",
                                             "target:drop@120,20"}));
    ASSERT_EQ(target->received.size(), 1u);
    EXPECT_EQ(target->received[0], std::make_pair(IDataPackage::kText, std::string("hello")));

    // The source gave up its capture: the next moves are plain hovering.
    log.clear();
    screen->mouseMoved(CPoint(10, 10), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"source:entered@10,10", "source:moved@10,10"}));
}

TEST_F(DragAndDrop, ADropOutsideAnyTakerIsRefused)
{
    openFrame();
    TempDir dir;
    writeBandsPNG(dir.file("drag.png"), 10, 10, {kGreenCColor});
    setResourceDirectory(dir.path);
    auto* bitmap = new CBitmap(CResourceDescription("drag.png"));
    setResourceDirectory("");
    auto* source = new DragSource(CRect(0, 0, 50, 50), &log, "source");
    source->bitmap = bitmap;
    auto* target = new DropTarget(CRect(100, 0, 150, 50), &log, "target");
    target->accept = false;
    frame->addView(source);
    frame->addView(target);
    frame->idle();

    screen->mouseDown(CPoint(10, 10), kLButton);
    screen->mouseMoved(CPoint(60, 60), kLButton);
    screen->mouseMoved(CPoint(70, 70), kLButton);
    EXPECT_EQ(screen->getCursor(), kCursorNotAllowed);
    frame->idle();
    EXPECT_GT((screen->pixel(75, 75) >> 8) & 0xff, 0x80u) << "drag bitmap follows the pointer";
    screen->mouseUp(CPoint(70, 70), kLButton);
    EXPECT_EQ(frame->getLastDragResult(), kDragRefused);
    frame->idle();
    EXPECT_EQ(screen->pixel(75, 75), argb(kBlackCColor));

    screen->mouseDown(CPoint(10, 10), kLButton);
    source->result = kDragError;
    screen->mouseMoved(CPoint(20, 10), kLButton);
    screen->mouseUp(CPoint(120, 10), kLButton);
    EXPECT_EQ(target->received.size(), 1u);
    EXPECT_EQ(frame->getLastDragResult(), kDragRefused);
    bitmap->forget();
}

TEST_F(DragAndDrop, DroppedFilesAndTextReachTheViewUnderThePointer)
{
    openFrame();
    auto* box = new CViewContainer(CRect(100, 0, 200, 100));
    auto* target = new DropTarget(CRect(0, 0, 50, 50), &log, "target");
    box->addView(target);
    frame->addView(box);

    EXPECT_TRUE(screen->dropFiles({"/tmp/one.wav", "/tmp/two words.aif"}, CPoint(110, 20)));
    EXPECT_EQ(log, (std::vector<std::string>{"target:enter@10,20", "target:move@10,20", "target:drop@10,20"}));
    ASSERT_EQ(target->received.size(), 2u);
    EXPECT_EQ(target->received[0], std::make_pair(IDataPackage::kFilePath, std::string("/tmp/one.wav")));
    EXPECT_EQ(target->received[1], std::make_pair(IDataPackage::kFilePath, std::string("/tmp/two words.aif")));

    EXPECT_TRUE(screen->dropText("abc", CPoint(140, 40)));
    EXPECT_EQ(target->received.back(), std::make_pair(IDataPackage::kText, std::string("abc")));
    EXPECT_FALSE(screen->dropFiles({"/tmp/x"}, CPoint(170, 80)));
    EXPECT_EQ(target->received.size(), 3u);
}

TEST(CDropSource, CopiesDataAndTerminatesText)
{
    const char text[] = {'a', 'b'};
    const unsigned char bytes[] = {1, 0, 2};
    CDropSource source;
    EXPECT_TRUE(source.add(text, 2, IDataPackage::kText));
    EXPECT_TRUE(source.add("/x", 3, IDataPackage::kFilePath));
    EXPECT_TRUE(source.add(bytes, 3, IDataPackage::kBinary));
    EXPECT_FALSE(source.add(bytes, 3, IDataPackage::kError));
    struct Case
    {
        IDataPackage::Type type;
        uint32_t size;
        std::string data;
    };
    const Case cases[] = {{IDataPackage::kText, 3, std::string("ab\0", 3)},
                          {IDataPackage::kFilePath, 3, std::string("/x\0", 3)},
                          {IDataPackage::kBinary, 3, std::string("\1\0\2", 3)}};
    ASSERT_EQ(source.getCount(), 3u);
    for (uint32_t i = 0; i < 3; ++i)
    {
        const void* buffer = nullptr;
        IDataPackage::Type type;
        EXPECT_EQ(source.getData(i, buffer, type), cases[i].size);
        EXPECT_EQ(type, cases[i].type);
        EXPECT_EQ(std::string(static_cast<const char*>(buffer), cases[i].size), cases[i].data);
        EXPECT_NE(buffer, static_cast<const void*>(text));
    }
    const void* buffer = nullptr;
    IDataPackage::Type type;
    EXPECT_EQ(source.getData(3, buffer, type), 0u);
    EXPECT_EQ(type, IDataPackage::kError);
}

// Points PATH at a directory of our own for the life of the object.
struct FakePath
{
    TempDir dir;
    std::string saved;
    FakePath()
    {
        const char* p = std::getenv("PATH");
        saved = p ? p : "";
        setenv("PATH", dir.path.c_str(), 1);
    }
    ~FakePath() { setenv("PATH", saved.c_str(), 1); }
    void addTool(const std::string& name, const std::string& script)
    {
        const std::string path = dir.file(name);
        std::ofstream(path) << script;
        chmod(path.c_str(), 0755);
    }
};

struct SelectorDelegate : CBaseObject
{
    int ends = 0;
    std::vector<std::string> files;
    CMessageResult notify(CBaseObject* sender, const char* message) override
    {
        if (std::string(message) != CNewFileSelector::kSelectEndMessage)
            return kMessageUnknown;
        ++ends;
        auto* selector = static_cast<CNewFileSelector*>(sender);
        for (uint32_t i = 0; i < selector->getNumSelectedFiles(); ++i)
            files.push_back(selector->getSelectedFile(i));
        return kMessageNotified;
    }
};

TEST(CNewFileSelector, WithoutToolsRunFails)
{
    FakePath path;
    auto* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectDirectory);
    SelectorDelegate delegate;
    EXPECT_FALSE(selector->run(&delegate));
    EXPECT_EQ(selector->getNumSelectedFiles(), 0u);
    selector->forget();
}

TEST(CNewFileSelector, RunsTheToolWithArgvAndReportsOnTheGuiThread)
{
    FakePath path;
    const std::string argsFile = path.dir.file("args");
    path.addTool("zenity", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > '" + argsFile +
                               "'\necho '/home/me/My Samples'\n");
    auto* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectDirectory);
    selector->setTitle("Pick a folder; $(rm -rf /)");
    SelectorDelegate delegate;
    ASSERT_TRUE(selector->run(&delegate));
    selector->forget(); // the run keeps it alive
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (delegate.ends == 0 && std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        CVSTGUITimer::fireDueTimers();
    }
    ASSERT_EQ(delegate.ends, 1);
    EXPECT_EQ(delegate.files, (std::vector<std::string>{"/home/me/My Samples"}));
    std::ifstream in(argsFile);
    const std::string args((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(args, "[--file-selection]\n[--directory]\n[--title=Pick a folder; $(rm -rf /)]\n");
}

} // namespace
