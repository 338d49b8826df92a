// The editor shell: its size, its window layout, the control table, the
// side effects of parameter changes, updates arriving from other threads,
// idle timing and key handling, on the offscreen backend.
#include "core/Volantor2.h"
#include "editor/DropView.h"
#include "editor/EffectPanels.h"
#include "editor/Keyboard.h"
#include "editor/Volantor2Editor.h"
#include "editor/WaveformDisplay.h"
#include "engine/Instrument.h"
#include "engine/Rack.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

using namespace VSTGUI;

namespace {

class EditorTest : public ::testing::Test
{
protected:
    std::unique_ptr<Volantor2> plugin{new Volantor2(nullptr)};
    Volantor2Editor* editor = nullptr;

    void SetUp() override
    {
        VSTGUI::setResourceDirectory(VOLANTOR_RESOURCES);
        editor = static_cast<Volantor2Editor*>(plugin->getEditor());
        ASSERT_NE(editor, nullptr);
    }

    // A rack of `count` instruments of the default sound.
    void fillRack(int count)
    {
        plugin->getRack(0)->clear();
        for (int i = 0; i < count; ++i)
            ASSERT_NE(plugin->createInstrumentFromString("House Stab"), nullptr);
    }

    bool openOffscreen() { return plugin->dispatcher(effEditOpen, 0, 0, nullptr, 0) != 0; }
    void idle() { plugin->dispatcher(effEditIdle, 0, 0, nullptr, 0); }
};

// A control that counts the values it is given.
class CountingControl : public CControl
{
public:
    CountingControl(int tag) : CControl(CRect(0, 0, 10, 10), nullptr, tag) {}
    void setValue(float v) override
    {
        ++sets;
        CControl::setValue(v);
    }
    void draw(CDrawContext*) override {}
    int sets = 0;
};

} // namespace

TEST_F(EditorTest, ReportsItsFixedSizeBeforeAndAfterOpening)
{
    for (bool open : {false, true}) {
        if (open) {
            ASSERT_TRUE(openOffscreen());
        }
        ERect* rect = nullptr;
        ASSERT_EQ(plugin->dispatcher(effEditGetRect, 0, 0, &rect, 0), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->top, 0);
        EXPECT_EQ(rect->left, 0);
        EXPECT_EQ(rect->bottom, 505);
        EXPECT_EQ(rect->right, 820);
    }
}

TEST_F(EditorTest, OpeningLaysTheWindowOut)
{
    ASSERT_TRUE(openOffscreen());
    CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 820, 505));
    // Back to front: waveform, loop overlay, scroll bar, status line, logo,
    // keyboard, instrument strip, browser, tab box.
    const CRect expected[] = {{420, 0, 810, 250}, {420, 0, 810, 250}, {420, 250, 810, 270}, {420, 270, 810, 290},
                              {435, 300, 820, 400}, {0, 400, 589, 505}, {180, 0, 420, 400}, {0, 0, 180, 400},
                              {590, 400, 820, 505}};
    ASSERT_EQ(frame->getNbViews(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(frame->getView(i)->getViewSize(), expected[i]) << "view " << i;
    EXPECT_EQ(AEffGUIEditor::knobMode, kLinearMode);
    EXPECT_TRUE(editor->isOpened());
    plugin->dispatcher(effEditClose, 0, 0, nullptr, 0);
    EXPECT_FALSE(editor->isOpened());
    EXPECT_EQ(editor->getFrame(), nullptr);
}

// The window's pictures come from the bundle: where a bitmap should be, the
// screenshot is not empty, and the areas differ from one another.
TEST_F(EditorTest, ScreenshotShowsTheBitmapsAtTheirPlaces)
{
    ASSERT_TRUE(openOffscreen());
    idle();
    const std::string path = ::testing::TempDir() + "editor.png";
    ASSERT_TRUE(editor->writeScreenshot(path));
    OffscreenFrame* screen = editor->getFrame()->getOffscreen();
    ASSERT_NE(screen, nullptr);
    auto opaque = [&](int x, int y) { return (screen->pixel(x, y) >> 24) == 0xff; };
    for (auto [x, y] : {std::pair{5, 5}, {819, 504}, {300, 200}, {700, 120}})
        EXPECT_TRUE(opaque(x, y)) << x << "," << y; // the background covers the window
    // The logo and the effect box draw over the background.
    auto differs = [&](int x0, int y0, int x1, int y1) {
        const uint32_t first = screen->pixel(x0, y0);
        for (int y = y0; y < y1; y += 3)
            for (int x = x0; x < x1; x += 3)
                if (screen->pixel(x, y) != first)
                    return true;
        return false;
    };
    EXPECT_TRUE(differs(435, 300, 820, 400));
    EXPECT_TRUE(differs(590, 400, 820, 505));
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    EXPECT_EQ(cairo_image_surface_get_width(png), 820);
    EXPECT_EQ(cairo_image_surface_get_height(png), 505);
    cairo_surface_destroy(png);
}

TEST_F(EditorTest, OpeningSelectsTheStoredInstrumentOrFallsBackToTheFirst)
{
    struct Case
    {
        int instruments;
        float selected;
        int panels;
        int shown;
    };
    const Case cases[] = {{3, 0.125f, 3, 2}, {3, 0.9375f, 3, 0}, {0, 0.f, 0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.instruments << " instruments, selection " << c.selected);
        fillRack(c.instruments);
        plugin->setParameter(704, c.selected);
        ASSERT_TRUE(openOffscreen());
        EXPECT_EQ(editor->getDropView()->getPanelCount(), c.panels);
        EXPECT_EQ(editor->getDropView()->getShown(), c.shown);
        plugin->dispatcher(effEditClose, 0, 0, nullptr, 0);
    }
}

// Values reach the controls and the side effects at the GUI thread's next idle.
TEST_F(EditorTest, ParameterChangesReachControlsAndSideEffects)
{
    fillRack(1);
    ASSERT_TRUE(openOffscreen());
    auto* control = new CountingControl(0);
    editor->getFrame()->addView(control);
    editor->addControl(control);
    auto* loopView = static_cast<LoopView*>(editor->getFrame()->getView(1));
    auto* statusBar = static_cast<StatusBar*>(editor->getFrame()->getView(3));
    const int loops = loopView->getLoopUpdates();
    const int refreshes = statusBar->getRefreshes();

    plugin->setParameter(0, 0.25f);
    EXPECT_EQ(control->sets, 0); // not before idle
    idle();
    EXPECT_EQ(control->sets, 1);
    EXPECT_FLOAT_EQ(control->getValue(), 0.25f);

    plugin->setParameter(5, 1.f); // slot 0 "loop"
    plugin->setParameter(27, 1.f); // slot 1 "loop": no instrument there
    plugin->setParameter(641, 0.5f); // loop block
    plugin->setParameter(600, 0.5f); // no control: side effects only
    idle();
    EXPECT_EQ(loopView->getLoopUpdates(), loops + 2);
    EXPECT_GE(statusBar->getRefreshes(), refreshes + 2);
    EXPECT_EQ(control->sets, 1);

    // Removal clears the table; registering under a new tag moves the control.
    editor->removeControl(control);
    EXPECT_EQ(editor->getControl(0), nullptr);
    control->setTag(22);
    editor->addControl(control);
    EXPECT_EQ(editor->getControl(22), control);
    EXPECT_EQ(editor->getControl(0), nullptr);
}

TEST_F(EditorTest, SelectionChangesOnlyWhileOpen)
{
    fillRack(3);
    plugin->setParameter(704, 0.f);
    editor->setParameterSpecial(704, 0.125f); // closed: nothing
    ASSERT_TRUE(openOffscreen());
    EXPECT_EQ(editor->getDropView()->getShown(), 0);
    plugin->setParameter(704, 0.125f);
    idle();
    EXPECT_EQ(editor->getDropView()->getShown(), 2);
}

TEST_F(EditorTest, ControlsReportThroughTheHost)
{
    ASSERT_TRUE(openOffscreen());
    auto* control = new CountingControl(576);
    control->setListener(editor);
    editor->getFrame()->addView(control);
    control->setValue(0.5f);
    control->valueChanged();
    EXPECT_FLOAT_EQ(plugin->getParameter(576), 0.5f);
}

TEST_F(EditorTest, ProgramChangeRebuildsTheStripAtIdle)
{
    fillRack(2);
    ASSERT_TRUE(openOffscreen());
    ASSERT_EQ(editor->getDropView()->getPanelCount(), 2);
    Program& program = plugin->getProgramAt(1);
    program.instrumentCount = 3;
    for (int i = 0; i < 3; ++i)
        program.instruments[i].name = "House Stab";
    plugin->setProgram(1);
    idle();
    EXPECT_EQ(editor->getDropView()->getPanelCount(), 3);
}

// Notes and values from other threads are queued and applied in order on the
// GUI thread; a closed window takes none and the keyboard is never reached.
TEST_F(EditorTest, UpdatesFromOtherThreadsArriveInOrder)
{
    ASSERT_TRUE(openOffscreen());
    auto* control = new CountingControl(513);
    editor->getFrame()->addView(control);
    editor->addControl(control);
    std::thread audio([&] {
        editor->sendMidiMessage(144, 60, 100);
        editor->sendMidiMessage(144, 64, 100);
        editor->sendMidiMessage(128, 60, 0);
        for (int i = 1; i <= 1000; ++i)
            editor->setParameter(513, i / 1000.f);
    });
    audio.join();
    idle();
    EXPECT_FALSE(editor->getKeyboard()->isKeyLit(60));
    EXPECT_TRUE(editor->getKeyboard()->isKeyLit(64));
    EXPECT_EQ(control->sets, 1000);
    EXPECT_FLOAT_EQ(control->getValue(), 1.f);

    plugin->dispatcher(effEditClose, 0, 0, nullptr, 0);
    editor->sendMidiMessage(144, 62, 100); // no keyboard now: ignored
    editor->setParameter(513, 0.f);
    idle();
}

// A flood beyond the queue's room loses no final value: the controls are
// reloaded from the plug-in.
TEST_F(EditorTest, AFullQueueReloadsTheControls)
{
    ASSERT_TRUE(openOffscreen());
    auto* control = new CountingControl(514);
    editor->getFrame()->addView(control);
    editor->addControl(control);
    for (int i = 0; i < 10000; ++i)
        plugin->setParameter(514, (i % 100) / 100.f);
    plugin->setParameter(514, 0.75f);
    idle();
    EXPECT_FLOAT_EQ(control->getValue(), plugin->getParameter(514));
}

namespace {

uint32_t fakeNow = 100000;
uint32_t fakeTicks() { return fakeNow; }

class IdleCountingEditor : public Volantor2Editor
{
public:
    using Volantor2Editor::Volantor2Editor;
    void idle() override { ++idles; }
    int idles = 0;
};

} // namespace

TEST(EditorBase, IdleStuffWaitsUntilItsTimeComes)
{
    AEffGUIEditor::setTickSource(fakeTicks);
    Volantor2 plugin(nullptr);
    auto* editor = new IdleCountingEditor(&plugin); // the plug-in owns it now
    struct Case
    {
        int before; // ms before the next idle is due
        int idles;
    };
    for (const Case c : {Case{60, 0}, Case{40, 1}, Case{0, 1}}) {
        SCOPED_TRACE(c.before);
        editor->idles = 0;
        fakeNow = editor->getNextIdleTime() - c.before;
        editor->doIdleStuff();
        EXPECT_EQ(editor->idles, c.idles);
        if (c.idles) {
            EXPECT_EQ(editor->getNextIdleTime(), fakeNow + (c.before ? 4u : 0u) + 100u);
        }
    }
    AEffGUIEditor::setTickSource(nullptr);
}

namespace {

class KeyView : public CView
{
public:
    KeyView(int32_t answer) : CView(CRect(0, 0, 820, 505)), answer(answer) {}
    int32_t onKeyDown(VstKeyCode&) override { return answer; }
    int32_t onKeyUp(VstKeyCode&) override { return answer; }
    int32_t answer;
};

} // namespace

TEST_F(EditorTest, KeysAnsweredWithZeroOrLessAreNotHandled)
{
    ASSERT_TRUE(openOffscreen());
    auto* view = new KeyView(0);
    editor->getFrame()->addView(view);
    for (int32_t answer : {-1, 0, 1}) {
        view->answer = answer;
        const VstIntPtr expected = answer > 0 ? 1 : 0;
        EXPECT_EQ(plugin->dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.f), expected) << answer;
        EXPECT_EQ(plugin->dispatcher(effEditKeyUp, 'a', 0, nullptr, 0.f), expected) << answer;
    }
}

TEST(EditorBase, KnobModeIsSharedByEveryInstance)
{
    Volantor2 first(nullptr), second(nullptr);
    first.dispatcher(effSetEditKnobMode, 0, 1, nullptr, 0);
    EXPECT_EQ(static_cast<AEffGUIEditor*>(second.getEditor())->getKnobMode(), 1);
    second.dispatcher(effSetEditKnobMode, 0, 0, nullptr, 0);
    EXPECT_EQ(static_cast<AEffGUIEditor*>(first.getEditor())->getKnobMode(), 0);
}

namespace {

// Remembers the area each drawing pass asked for.
class AreaView : public CView
{
public:
    AreaView() : CView(CRect(0, 0, 820, 505)) {}
    void drawRect(CDrawContext*, const CRect& update) override { last = update; }
    void draw(CDrawContext*) override {}
    CRect last;
};

} // namespace

TEST_F(EditorTest, DrawingAReversedRectangleDrawsTheNormalisedArea)
{
    ASSERT_TRUE(openOffscreen());
    auto* view = new AreaView();
    editor->getFrame()->addView(view);
    ERect reversed = {200, 300, 100, 50}; // top, left, bottom, right
    editor->draw(&reversed);
    EXPECT_EQ(view->last, CRect(50, 100, 300, 200));
    editor->draw(nullptr);
    EXPECT_EQ(view->last, CRect(0, 0, 820, 505));
}

namespace {

CButtonState commandClick() { return CButtonState(kLButton | kControl); }

} // namespace

// Command-click returns a knob to its default and reports it to the plug-in.
TEST_F(EditorTest, EffectKnobsResetToTheirDefaults)
{
    ASSERT_TRUE(openOffscreen());
    struct Case
    {
        int tag;
        float expected;
    };
    for (const Case c : {Case{576, 1.f}, Case{577, 0.5f}, Case{579, 0.5f}, Case{581, 0.f}, Case{584, 0.f}}) {
        SCOPED_TRACE(c.tag);
        plugin->setParameter(c.tag, 0.3f);
        idle();
        CControl* knob = editor->getControl(c.tag);
        ASSERT_NE(knob, nullptr);
        CPoint where(knob->getViewSize().left + 5, knob->getViewSize().top + 5);
        knob->onMouseDown(where, commandClick());
        knob->onMouseUp(where, commandClick());
        EXPECT_FLOAT_EQ(plugin->getParameter(c.tag), c.expected);
    }
}

TEST_F(EditorTest, EffectPanelsFollowAProgramChange)
{
    ASSERT_TRUE(openOffscreen());
    Program& program = plugin->getProgramAt(2);
    program.delay.values[1] = 0.8f; // feedback
    program.phaser.values[4] = 0.25f; // dry/wet
    program.masterTune = 0.75f;
    plugin->setProgram(2);
    idle();
    EXPECT_FLOAT_EQ(editor->getControl(513)->getValue(), 0.8f);
    EXPECT_FLOAT_EQ(editor->getControl(584)->getValue(), 0.25f);
    EXPECT_FLOAT_EQ(editor->getControl(577)->getValue(), 0.75f);
    // The delay's fourth button (tag 0) and parameter 519 have no control.
    EXPECT_EQ(editor->getControl(0), nullptr);
    EXPECT_EQ(editor->getControl(519), nullptr);
}
