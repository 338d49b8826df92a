// Knob, Button, ButtonGroup and Menu, driven headless: handlers are called
// with points in parent coordinates, drawing goes to the offscreen frame.
#include "core/Volantor2.h"
#include "editor/Button.h"
#include "editor/Knob.h"
#include "editor/Menu.h"
#include "editor/Volantor2Editor.h"
#include "vstgui/vstgui.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace VSTGUI;

namespace {

struct Forget
{
    void operator()(CBaseObject* object) const { object->forget(); }
};
template <class T>
using Ref = std::unique_ptr<T, Forget>;

// The filmstrip used for drawing: 10 frames of 4 x 4 pixels, one colour each.
constexpr int kStripFrames = 10;
uint32_t stripColour(int frame)
{
    return 0xFF000000u | (uint32_t(20 * frame) << 16) | (100u << 8) | uint32_t(200 - 20 * frame);
}
constexpr uint32_t kCheckColour = 0xFFFF0000u;
constexpr uint32_t kBlack = 0xFF000000u;

void writePng(const std::string& path, int w, int h, uint32_t colour, int bandHeight = 0)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(surface);
    auto* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<uint32_t*>(data + y * stride)[x] = bandHeight ? stripColour(y / bandHeight) : colour;
    cairo_surface_mark_dirty(surface);
    ASSERT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
}

// The pictures the controls load, made once in a private directory and
// removed when the program ends.
struct PictureDir
{
    PictureDir()
    {
        char pattern[] = "/tmp/vlt2-controls-XXXXXX";
        if (!mkdtemp(pattern))
            return;
        path = pattern;
        writePng(path + "/strip.png", 4, 4 * kStripFrames, 0, 4);
        writePng(path + "/tall.png", 40, 4000, 0xFF808080u);
        writePng(path + "/wide.png", 4000, 40, 0xFF808080u);
        writePng(path + "/square.png", 40, 40, 0xFF808080u);
        writePng(path + "/normal.png", 8, 8, 0xFF0000FFu);
        writePng(path + "/pressed.png", 8, 8, 0xFF00FF00u);
        writePng(path + "/active.png", 8, 8, 0xFFFFFF00u);
        writePng(path + "/hover.png", 8, 8, 0xFF00FFFFu);
        writePng(path + "/checkmark.png", 12, 12, kCheckColour);
    }
    ~PictureDir()
    {
        if (!path.empty())
            std::filesystem::remove_all(path);
    }
    std::string path;
};

// The resource directory is process-wide: point it at the pictures for each
// test and give it back afterwards.
class Controls : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static PictureDir pictures;
        ASSERT_FALSE(pictures.path.empty());
        previous = getResourceDirectory();
        setResourceDirectory(pictures.path);
    }
    void TearDown() override { setResourceDirectory(previous); }

private:
    std::string previous;
};

CBitmap* load(const char* name)
{
    return new CBitmap(CResourceDescription(name));
}

struct Recorder : IControlListener
{
    std::vector<std::pair<int, float>> changes; // tag, value
    int begins = 0;
    int ends = 0;
    void valueChanged(CControl* control) override { changes.emplace_back(control->getTag(), control->getValue()); }
    void controlBeginEdit(CControl*) override { ++begins; }
    void controlEndEdit(CControl*) override { ++ends; }
};

const CButtonState kLeft(kLButton);
const CButtonState kCommand(kLButton | kControl);

CMouseEventResult down(CView* view, CCoord x, CCoord y, CButtonState buttons = kLeft)
{
    CPoint where(x, y);
    return view->onMouseDown(where, buttons);
}
CMouseEventResult moved(CView* view, CCoord x, CCoord y, CButtonState buttons = kLeft)
{
    CPoint where(x, y);
    return view->onMouseMoved(where, buttons);
}
CMouseEventResult up(CView* view, CCoord x, CCoord y, CButtonState buttons = kLeft)
{
    CPoint where(x, y);
    return view->onMouseUp(where, buttons);
}

// An offscreen window, black, for the drawing checks.
class ControlsWindow : public Controls
{
protected:
    void SetUp() override
    {
        Controls::SetUp();
        frame = new CFrame(CRect(0, 0, 200, 300), nullptr);
        ASSERT_TRUE(frame->open(nullptr, CFrame::PlatformType::kOffscreen));
        frame->setBackgroundColor(kBlackCColor);
    }
    void TearDown() override
    {
        frame->close();
        frame->forget();
        Controls::TearDown();
    }
    uint32_t pixel(int x, int y)
    {
        frame->getOffscreen()->render();
        return frame->getOffscreen()->pixel(x, y);
    }
    CFrame* frame = nullptr;
};

class KnobTest : public Controls
{
};
class ButtonTest : public Controls
{
};
class ButtonGroupTest : public Controls
{
};
class MenuTest : public Controls
{
};

} // namespace

// ---- intToString ----

TEST(IntToStringTest, DecimalWithSignAndNoPadding)
{
    const std::pair<int, const char*> cases[] = {
        {0, "0"}, {7, "7"}, {-25, "-25"}, {100, "100"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(intToString(n), text) << n;
}

// ---- Knob ----

TEST_F(KnobTest, ConstructionValues)
{
    Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), nullptr, 3, nullptr));
    EXPECT_EQ(knob->text, "0");
    EXPECT_EQ(knob->range, 100);
    EXPECT_DOUBLE_EQ(knob->accelerator, 0.78125);
    EXPECT_EQ(knob->frameSize, 64);
    EXPECT_FLOAT_EQ(knob->lastSent, -1.f);
    EXPECT_FALSE(knob->showValue);
    EXPECT_EQ(knob->getTag(), 3);
    EXPECT_TRUE(knob->isTypeOf("Knob"));
    EXPECT_FALSE(knob->isTypeOf("Button"));
    ASSERT_NE(knob->font, nullptr);
    EXPECT_EQ(knob->font->getSize(), 16);
    EXPECT_EQ(knob->font->getStyle(), kBoldFace);
    Ref<Knob> other(new Knob(CRect(0, 0, 40, 40), nullptr, 4, nullptr));
    EXPECT_EQ(other->font, knob->font);
}

TEST_F(KnobTest, FilmstripLayout)
{
    struct Case
    {
        const char* picture;
        int maxFrame;
        int frameSize;
    };
    const Case cases[] = {
        {"tall.png", 99, 40},    // 40 x 4000: 100 frames
        {"wide.png", 99, 40},    // 4000 x 40
        {"square.png", 0, 64},   // keeps the frame count it had
        {"missing.png", 0, 64},  // unloaded: nothing changes, no crash
    };
    for (const Case& c : cases)
    {
        Ref<CBitmap> pix(load(c.picture));
        Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), nullptr, 0, pix.get()));
        EXPECT_EQ(knob->maxFrame, c.maxFrame) << c.picture;
        EXPECT_EQ(knob->frameSize, c.frameSize) << c.picture;
    }
    Ref<CBitmap> tall(load("tall.png"));
    Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), nullptr, 0, tall.get()));
    knob->setKnobPix(nullptr);
    EXPECT_EQ(knob->bitmap, tall.get());
    Ref<CBitmap> square(load("square.png"));
    knob->setKnobPix(square.get());
    EXPECT_EQ(knob->maxFrame, 99);
}

TEST_F(KnobTest, HoldsItsBitmapAndReleasesIt)
{
    Ref<CBitmap> first(load("tall.png"));
    Ref<CBitmap> second(load("wide.png"));
    auto* knob = new Knob(CRect(0, 0, 40, 40), nullptr, 0, first.get());
    EXPECT_EQ(first->getNbReference(), 2);
    knob->setKnobPix(second.get());
    EXPECT_EQ(first->getNbReference(), 1);
    EXPECT_EQ(second->getNbReference(), 2);
    Ref<CView> copy(knob->newCopy());
    EXPECT_EQ(second->getNbReference(), 3);
    knob->forget();
    copy.reset();
    EXPECT_EQ(second->getNbReference(), 1);
}

TEST_F(KnobTest, SettersFollowTheirRules)
{
    Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), nullptr, 0, nullptr));
    knob->setRange(-1);
    EXPECT_EQ(knob->range, 100);
    knob->setDefaultValue(120);
    EXPECT_EQ(knob->defaultValue, 0);
    knob->setDefaultValue(80);
    knob->setRange(50);
    EXPECT_EQ(knob->defaultValue, 0);              // above the new range
    EXPECT_DOUBLE_EQ(knob->accelerator, 0.78125);  // not recomputed
    knob->setStartValue(50);
    EXPECT_EQ(knob->startValue, 0);
    knob->setStartValue(-49);
    EXPECT_EQ(knob->startValue, -49);
    knob->setAccelerator(100);
    EXPECT_DOUBLE_EQ(knob->accelerator, 0.5);
    knob->setAccelerator(0);
    EXPECT_DOUBLE_EQ(knob->accelerator, 0.5);
}

TEST_F(KnobTest, CommandClickResetsToDefaultOnce)
{
    Recorder listener;
    Ref<Knob> knob(new Knob(CRect(10, 10, 50, 50), &listener, 7, nullptr));
    knob->setDefaultValue(50);

    EXPECT_EQ(down(knob.get(), 20, 20, kCommand), kMouseEventHandled);
    EXPECT_TRUE(knob->dragging);
    EXPECT_EQ(knob->text, "50");
    EXPECT_FLOAT_EQ(knob->knobValue, 0.5f);
    up(knob.get(), 20, 20);
    EXPECT_FALSE(knob->dragging);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0], std::make_pair(7, 0.5f));

    down(knob.get(), 20, 20, kCommand);
    up(knob.get(), 20, 20);
    EXPECT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.begins, 2);
    EXPECT_EQ(listener.ends, 2);
}

TEST_F(KnobTest, OnlyAPlainCommandClickResets)
{
    const std::pair<int32_t, bool> cases[] = {
        {kLButton | kControl, true},
        {kLButton | kControl | kDoubleClick, true},
        {kLButton | kControl | kShift, false},
        {kLButton | kControl | kRButton, false},
        {kRButton | kControl, false},
        {kLButton, false},
    };
    for (const auto& [state, resets] : cases)
    {
        Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), nullptr, 0, nullptr));
        knob->setDefaultValue(30);
        down(knob.get(), 5, 5, CButtonState(state));
        EXPECT_EQ(knob->text, resets ? "30" : "0") << state;
    }
}

TEST_F(KnobTest, ResetWithDefaultBelowStartStaysInRange)
{
    Recorder listener;
    Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), &listener, 0, nullptr));
    knob->setStartValue(10); // default 0 lies below the first step
    down(knob.get(), 5, 5, kCommand);
    EXPECT_DOUBLE_EQ(knob->position, 0);
    EXPECT_EQ(knob->text, "10");
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_FLOAT_EQ(listener.changes[0].second, 0.f);
}

TEST_F(KnobTest, DragStopsAtTheEndOfItsRange)
{
    Recorder listener;
    Ref<Knob> knob(new Knob(CRect(0, 100, 40, 140), &listener, 0, nullptr));
    knob->setRange(48);
    knob->setAccelerator(256);

    down(knob.get(), 5, 400);
    for (int y = 400 - 16; y >= 400 - 256; y -= 16)
        EXPECT_EQ(moved(knob.get(), 5, y), kMouseEventHandled);
    EXPECT_DOUBLE_EQ(knob->position, 48);
    EXPECT_EQ(knob->text, "48");
    ASSERT_EQ(listener.changes.size(), 16u);
    EXPECT_FLOAT_EQ(listener.changes.back().second, 1.f);

    moved(knob.get(), 5, 100);
    moved(knob.get(), 5, 50);
    EXPECT_DOUBLE_EQ(knob->position, 48);
    EXPECT_EQ(listener.changes.size(), 16u);

    moved(knob.get(), 5, 2000); // far down: clamped at 0
    EXPECT_DOUBLE_EQ(knob->position, 0);
    EXPECT_EQ(knob->text, "0");
    up(knob.get(), 5, 2000);
}

TEST_F(KnobTest, ShiftAloneDragsFinely)
{
    const std::pair<int32_t, double> cases[] = {
        {kLButton, 8},
        {kLButton | kShift, 1},
        {kLButton | kShift | kControl, 8},
    };
    for (const auto& [state, expected] : cases)
    {
        Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), nullptr, 0, nullptr));
        knob->setAccelerator(100); // one step per pixel
        down(knob.get(), 5, 20, CButtonState(state));
        moved(knob.get(), 5, 12, CButtonState(state));
        EXPECT_DOUBLE_EQ(knob->position, expected) << state;
        EXPECT_FLOAT_EQ(knob->knobValue, float(expected / 100)) << state;
    }
}

TEST_F(KnobTest, MovingWithoutTheLeftButtonDoesNothing)
{
    Recorder listener;
    Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), &listener, 0, nullptr));
    down(knob.get(), 5, 20);
    EXPECT_EQ(moved(knob.get(), 5, 0, CButtonState(0)), kMouseEventNotHandled);
    EXPECT_EQ(moved(knob.get(), 5, 0, CButtonState(kRButton)), kMouseEventNotHandled);
    EXPECT_DOUBLE_EQ(knob->position, 0);
    EXPECT_TRUE(listener.changes.empty());
}

TEST_F(KnobTest, SetValueShowsTextFromStartValueWithoutReporting)
{
    Recorder listener;
    Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), &listener, 0, nullptr));
    knob->setStartValue(-50);
    knob->setValue(0.f); // unchanged value: text stays as constructed
    EXPECT_EQ(knob->text, "0");
    knob->setValue(0.5f);
    EXPECT_EQ(knob->text, "0");
    knob->setValue(0.25f);
    EXPECT_EQ(knob->text, "-25");
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f);
    EXPECT_DOUBLE_EQ(knob->position, 25);
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_FLOAT_EQ(knob->lastSent, -1.f);
}

TEST_F(KnobTest, SetValueOutsideZeroToOneIsIgnored)
{
    Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), nullptr, 0, nullptr));
    knob->setValue(0.3f);
    for (float v : {1.5f, -0.1f, std::nanf("")})
    {
        knob->setValue(v);
        EXPECT_FLOAT_EQ(knob->knobValue, 0.3f);
        EXPECT_FLOAT_EQ(knob->getValue(), 0.3f);
        EXPECT_EQ(knob->text, "30");
    }
}

TEST_F(KnobTest, EmptyRangeDoesNotDivideByZero)
{
    Recorder listener;
    Ref<Knob> knob(new Knob(CRect(0, 0, 40, 40), &listener, 0, nullptr));
    knob->setRange(0);
    down(knob.get(), 5, 20, kCommand);
    moved(knob.get(), 5, 0);
    knob->setValue(1.f);
    EXPECT_EQ(knob->frame, 0);
    EXPECT_FALSE(std::isnan(knob->getValue()));
}

TEST_F(ControlsWindow, KnobDrawsTheFrameOfItsValue)
{
    Ref<CBitmap> strip(load("strip.png"));
    auto* knob = new Knob(CRect(8, 8, 12, 12), nullptr, 0, strip.get());
    ASSERT_EQ(knob->maxFrame, kStripFrames - 1);
    frame->addView(knob);
    EXPECT_EQ(pixel(9, 9), stripColour(0));
    const std::pair<float, int> cases[] = {{0.5f, 4}, {0.25f, 2}, {0.99f, 8}, {1.f, 9}};
    for (const auto& [value, shown] : cases)
    {
        knob->setValue(value);
        EXPECT_EQ(knob->frame, shown) << value;
        EXPECT_EQ(pixel(9, 9), stripColour(shown)) << value;
        EXPECT_EQ(pixel(11, 11), stripColour(shown)) << value;
    }
}

TEST_F(ControlsWindow, KnobBubbleShowsOnlyWhileDragging)
{
    auto* knob = new Knob(CRect(20, 20, 60, 60), nullptr, 0, nullptr);
    knob->showValue = true;
    frame->addView(knob);
    EXPECT_EQ(pixel(25, 40), kBlack);
    down(knob, 30, 30);
    const uint32_t inside = pixel(25, 40);
    EXPECT_EQ((inside >> 16) & 0xFF, 0u);
    EXPECT_GT((inside >> 8) & 0xFF, 80u);
    EXPECT_EQ(pixel(25, 24), kBlack); // above the bubble
    up(knob, 30, 30);
    EXPECT_EQ(pixel(25, 40), kBlack);
}

// ---- Button ----

namespace {

struct Pictures
{
    Ref<CBitmap> normal{load("normal.png")};
    Ref<CBitmap> pressed{load("pressed.png")};
    Ref<CBitmap> active{load("active.png")};
    Ref<CBitmap> hover{load("hover.png")};

    Button* make(IControlListener* listener, int tag, bool toggle, bool withActive = true)
    {
        auto* b = new Button(CRect(0, 0, 8, 8), listener, tag);
        b->setNormalPix(normal.get());
        b->setPressedPix(pressed.get());
        if (withActive)
            b->setActivePix(active.get());
        b->toggle = toggle;
        return b;
    }
};

} // namespace

TEST_F(ButtonTest, ConstructionValues)
{
    Ref<Button> b(new Button(CRect(0, 0, 48, 16), nullptr, 5));
    EXPECT_EQ(b->current, nullptr);
    EXPECT_FALSE(b->on || b->toggle || b->locked);
    EXPECT_EQ(b->group, nullptr);
    EXPECT_EQ(b->textColour, CColor(0, 80, 0, 255));
    EXPECT_EQ(b->activeTextColour, CColor(180, 180, 180, 255));
    EXPECT_EQ(b->font, kSystemFont);
    EXPECT_TRUE(b->isTypeOf("Button"));
    EXPECT_FALSE(b->isTypeOf("Knob"));
}

TEST_F(ButtonTest, HoldsItsBitmapsAndReleasesThem)
{
    Pictures p;
    Button* b = p.make(nullptr, 0, false);
    EXPECT_EQ(b->current, p.normal.get());
    EXPECT_EQ(p.normal->getNbReference(), 2);
    EXPECT_EQ(p.pressed->getNbReference(), 2);
    b->setPressedPix(p.hover.get());
    EXPECT_EQ(p.pressed->getNbReference(), 1);
    Ref<CView> copy(b->newCopy());
    EXPECT_EQ(p.normal->getNbReference(), 3);
    b->forget();
    copy.reset();
    for (const auto* pix : {p.normal.get(), p.pressed.get(), p.active.get(), p.hover.get()})
        EXPECT_EQ(pix->getNbReference(), 1);
}

TEST_F(ButtonTest, MomentaryReportsOneThenZero)
{
    Pictures p;
    Recorder listener;
    Ref<Button> b(p.make(&listener, 9, false));
    EXPECT_EQ(down(b.get(), 2, 2), kMouseEventHandled);
    EXPECT_EQ(b->current, p.pressed.get());
    EXPECT_EQ(up(b.get(), 2, 2), kMouseEventHandled);
    EXPECT_EQ(b->current, p.normal.get());
    const std::vector<std::pair<int, float>> expected = {{9, 1.f}, {9, 0.f}};
    EXPECT_EQ(listener.changes, expected);
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
}

TEST_F(ButtonTest, ToggleReportsItsNewStateOnRelease)
{
    struct Case
    {
        bool withActive;
        int clicks;
        bool on;
        float value;
    };
    const Case cases[] = {{true, 1, true, 1.f}, {true, 2, false, 0.f}, {false, 1, true, 1.f}};
    for (const Case& c : cases)
    {
        Pictures p;
        Recorder listener;
        Ref<Button> b(p.make(&listener, 1, true, c.withActive));
        for (int i = 0; i < c.clicks; ++i)
        {
            down(b.get(), 2, 2);
            EXPECT_EQ(listener.changes.size(), size_t(i)); // nothing on press
            up(b.get(), 2, 2);
        }
        EXPECT_EQ(b->on, c.on);
        ASSERT_EQ(listener.changes.size(), size_t(c.clicks));
        EXPECT_FLOAT_EQ(listener.changes.back().second, c.value);
        const CBitmap* shown = !c.on ? p.normal.get() : c.withActive ? p.active.get() : p.pressed.get();
        EXPECT_EQ(b->current, shown);
    }
}

TEST_F(ButtonTest, SetValueNeverReports)
{
    Pictures p;
    Recorder listener;
    Ref<Button> momentary(p.make(&listener, 0, false));
    momentary->setValue(0.7f);
    EXPECT_EQ(momentary->current, p.pressed.get());
    momentary->setValue(0.2f);
    EXPECT_EQ(momentary->current, p.normal.get());
    Ref<Button> toggle(p.make(&listener, 0, true));
    toggle->setValue(1.f);
    EXPECT_TRUE(toggle->on);
    EXPECT_EQ(toggle->current, p.active.get());
    toggle->locked = true;
    toggle->setValue(0.f);
    EXPECT_TRUE(toggle->on); // a locked toggle only stores the value
    EXPECT_FLOAT_EQ(toggle->getValue(), 0.f);
    EXPECT_TRUE(listener.changes.empty());
}

TEST_F(ButtonTest, HoverShowsOnlyOnAnOffButton)
{
    Pictures p;
    Ref<Button> b(p.make(nullptr, 0, true));
    b->setHoverPix(p.hover.get());
    CPoint where(2, 2);
    EXPECT_EQ(b->onMouseEntered(where, CButtonState()), kMouseEventHandled);
    EXPECT_EQ(b->current, p.hover.get());
    b->onMouseExited(where, CButtonState());
    EXPECT_EQ(b->current, p.normal.get());
    b->setValue(1.f);
    b->onMouseEntered(where, CButtonState());
    EXPECT_EQ(b->current, p.active.get());
    b->locked = true;
    EXPECT_EQ(b->onMouseEntered(where, CButtonState()), kMouseEventNotHandled);
    EXPECT_EQ(b->onMouseExited(where, CButtonState()), kMouseEventNotHandled);
}

TEST_F(ButtonTest, LockedButtonIgnoresEveryPress)
{
    Pictures p;
    Recorder listener;
    Ref<Button> b(p.make(&listener, 0, true));
    b->locked = true;
    for (int32_t state : {kLButton, kRButton})
    {
        EXPECT_EQ(down(b.get(), 2, 2, CButtonState(state)), kMouseEventNotHandled);
        EXPECT_EQ(up(b.get(), 2, 2, CButtonState(state)), kMouseEventNotHandled);
    }
    EXPECT_EQ(listener.begins, 0);
    EXPECT_EQ(listener.ends, 0);
    EXPECT_TRUE(listener.changes.empty());
}

TEST_F(ButtonGroupTest, SwitchingOneOnSwitchesTheOtherOff)
{
    Pictures p;
    Recorder listener; // shared, so that the order shows
    Ref<Button> first(p.make(&listener, 1, true));
    Ref<Button> second(p.make(&listener, 2, true));
    ButtonGroup group;
    EXPECT_EQ(group.selected, nullptr);
    EXPECT_TRUE(group.lock);
    group.addButton(first.get());
    group.addButton(second.get());
    EXPECT_EQ(first->group, &group);

    down(first.get(), 2, 2);
    up(first.get(), 2, 2);
    EXPECT_TRUE(first->locked);
    EXPECT_EQ(group.selected, first.get());
    listener.changes.clear();

    down(second.get(), 2, 2);
    up(second.get(), 2, 2);
    const std::vector<std::pair<int, float>> expected = {{1, 0.f}, {2, 1.f}};
    EXPECT_EQ(listener.changes, expected);
    EXPECT_FALSE(first->on);
    EXPECT_FALSE(first->locked);
    EXPECT_EQ(first->current, p.normal.get());
    EXPECT_TRUE(second->on);
    EXPECT_TRUE(second->locked);
    EXPECT_EQ(group.selected, second.get());

    // Clicking the selected one again changes nothing.
    EXPECT_EQ(down(second.get(), 2, 2), kMouseEventNotHandled);
    EXPECT_EQ(up(second.get(), 2, 2), kMouseEventNotHandled);
    EXPECT_EQ(listener.changes, expected);
    EXPECT_TRUE(second->on);

    // From the plug-in: the member set on takes over, only the other reports.
    listener.changes.clear();
    first->setValue(1.f);
    const std::vector<std::pair<int, float>> fromSetValue = {{2, 0.f}};
    EXPECT_EQ(listener.changes, fromSetValue);
    EXPECT_TRUE(first->on && first->locked);
    EXPECT_FALSE(second->on || second->locked);

    group.removeButton(second.get());
    EXPECT_EQ(group.selected, first.get());
    group.removeButton(first.get());
    EXPECT_EQ(group.selected, nullptr);
}

TEST_F(ButtonGroupTest, WithoutLockReselectingKeepsTheButtonOn)
{
    Pictures p;
    Recorder listener;
    Ref<Button> b(p.make(&listener, 1, true));
    ButtonGroup group;
    group.lock = false;
    group.addButton(b.get());
    b->setValue(1.f);
    b->setValue(0.f);
    down(b.get(), 2, 2);
    up(b.get(), 2, 2);
    EXPECT_TRUE(b->on);
    EXPECT_FLOAT_EQ(b->getValue(), 1.f);
    EXPECT_FALSE(b->locked);
}

TEST_F(ControlsWindow, ButtonDrawsItsCurrentBitmapOnly)
{
    Pictures p;
    auto* bare = new Button(CRect(20, 20, 28, 28), nullptr, 0);
    bare->text = "x";
    frame->addView(bare);
    EXPECT_EQ(pixel(21, 21), kBlack); // no bitmap: not even the label
    auto* b = p.make(nullptr, 0, true);
    b->setViewSize(CRect(40, 40, 48, 48));
    frame->addView(b);
    EXPECT_EQ(pixel(41, 41), 0xFF0000FFu);
    b->setValue(1.f);
    EXPECT_EQ(pixel(41, 41), 0xFFFFFF00u);
}

// ---- Menu ----

TEST_F(MenuTest, ItemsAndCount)
{
    Ref<Menu> menu(new Menu(CRect(0, 0, 150, 270), nullptr));
    EXPECT_EQ(menu->itemCount, 0);
    EXPECT_EQ(menu->itemHeight, 20);
    ASSERT_NE(menu->checkmark, nullptr);
    menu->addItem("user");
    menu->addItem(MenuItem("set user path", true));
    EXPECT_EQ(menu->itemCount, 2);
    EXPECT_EQ(menu->items[0].label, "user");
    EXPECT_FALSE(menu->items[0].ticked);
    EXPECT_TRUE(menu->items[1].ticked);
    ASSERT_NE(menuFont, nullptr);
    EXPECT_EQ(menuFont->getSize(), 12);
    EXPECT_EQ(menuFont->getStyle(), kNormalFace);
}

TEST_F(MenuTest, HoverIsClampedToTheLastRow)
{
    Ref<Menu> menu(new Menu(CRect(10, 100, 160, 370), nullptr));
    for (const char* label : {"user", "set user path", "remove user path"})
        menu->addItem(label);
    const std::pair<CCoord, int> cases[] = {{100, 0}, {119.9, 0}, {120, 1}, {145, 2}, {160, 2}, {250, 2}, {369, 2}};
    for (const auto& [y, index] : cases)
    {
        EXPECT_EQ(moved(menu.get(), 50, y, CButtonState()), kMouseEventHandled);
        EXPECT_EQ(menu->hoverIndex, index) << y;
        EXPECT_TRUE(menu->mouseOver);
    }
    CPoint where(50, 200);
    EXPECT_EQ(menu->onMouseEntered(where, CButtonState()), kMouseEventNotHandled);
    EXPECT_EQ(menu->onMouseExited(where, CButtonState()), kMouseEventHandled);
    EXPECT_FALSE(menu->mouseOver);
}

TEST_F(MenuTest, MissingCheckmarkDoesNotCrash)
{
    const std::string dir = getResourceDirectory();
    setResourceDirectory("/nonexistent");
    {
        Ref<Menu> menu(new Menu(CRect(0, 0, 150, 270), nullptr));
        EXPECT_FALSE(menu->checkmark->isLoaded());
        menu->addItem(MenuItem("x", true));
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 150, 270);
        cairo_t* cr = cairo_create(surface);
        Ref<CDrawContext> context(new CDrawContext(cr, CRect(0, 0, 150, 270)));
        menu->draw(context.get());
        context.reset();
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    setResourceDirectory(dir);
}

TEST_F(ControlsWindow, MenuDrawsBoxHoverAndTicks)
{
    auto* menu = new Menu(CRect(10, 10, 160, 280), nullptr);
    menu->addItem("user");
    menu->addItem(MenuItem("set user path", true));
    menu->addItem("remove user path");
    frame->addView(menu);

    const uint32_t row0 = pixel(150, 20);
    EXPECT_NE(row0, kBlack);
    EXPECT_EQ(pixel(150, 10 + 3 * 20 + 20), kBlack); // the box ends below the entries
    EXPECT_EQ(pixel(10 + 10, 10 + 20 + 10), kCheckColour);

    moved(menu, 50, 35, CButtonState());
    EXPECT_EQ(menu->hoverIndex, 1);
    const uint32_t hovered = pixel(150, 40);
    EXPECT_GT((hovered >> 8) & 0xFF, (row0 >> 8) & 0xFF); // brighter green
    EXPECT_EQ(pixel(150, 20), row0);
    CPoint outside(0, 0);
    menu->onMouseExited(outside, CButtonState());
    EXPECT_EQ(pixel(150, 40), row0);
}

namespace {

// Watches the menu's callback and removes the menu as the real editor does.
class WatchingEditor : public Volantor2Editor
{
public:
    explicit WatchingEditor(AudioEffect* effect) : Volantor2Editor(effect) {}
    void processContextMenu(Menu* menu, int index) override
    {
        calls.emplace_back(menu, index);
        if (CFrame* f = menu->getFrame())
            f->removeView(menu);
    }
    std::vector<std::pair<Menu*, int>> calls;
};

} // namespace

TEST_F(ControlsWindow, MenuClickTellsTheEditorWhichEntry)
{
    Volantor2 plugin(nullptr);
    WatchingEditor editor(&plugin);
    auto* menu = new Menu(CRect(10, 10, 160, 280), &editor);
    for (const char* label : {"user", "set user path", "remove user path"})
        menu->addItem(label);
    frame->addView(menu);

    frame->getOffscreen()->mouseMoved(CPoint(50, 200), CButtonState());
    EXPECT_EQ(frame->getOffscreen()->mouseDown(CPoint(50, 200), CButtonState(kRButton)), kMouseEventHandled);
    ASSERT_EQ(editor.calls.size(), 1u);
    EXPECT_EQ(editor.calls[0], std::make_pair(menu, 2));
    EXPECT_FALSE(frame->isChild(menu)); // and gone, without a crash
    frame->getOffscreen()->mouseUp(CPoint(50, 200), CButtonState(kRButton));
}
