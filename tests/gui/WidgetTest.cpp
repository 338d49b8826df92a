#include "GuiTestSupport.h"

#include <cmath>

using namespace guitest;

namespace {

// Records what controls and the editor are told.
struct Recorder : IControlListener, VSTGUIEditorInterface
{
    std::vector<std::string> log;
    int32_t knobMode = kCircularMode;
    void valueChanged(CControl* c) override
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, "changed %d %g", c->getTag(), c->getValue());
        log.push_back(buf);
    }
    void controlBeginEdit(CControl* c) override { log.push_back("listener begin " + std::to_string(c->getTag())); }
    void controlEndEdit(CControl* c) override { log.push_back("listener end " + std::to_string(c->getTag())); }
    void beginEdit(int32_t index) override { log.push_back("editor begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { log.push_back("editor end " + std::to_string(index)); }
    int32_t getKnobMode() const override { return knobMode; }
};

struct Widgets : OffscreenFixture
{
    Recorder rec;
    std::vector<std::string> log;
};

TEST_F(Widgets, ScrollViewScrollsByWheelAndScrollerDrag)
{
    openFrame(200, 100);
    auto* scroll = new CScrollView(CRect(0, 0, 100, 100), CRect(0, 0, 84, 400), CScrollView::kVerticalScrollbar, 16);
    auto* probe = new ProbeView(CRect(0, 200, 84, 220), &log, "probe", kGreenCColor);
    scroll->addView(probe);
    frame->addView(scroll);
    EXPECT_EQ(scroll->getNbViews(), 2); // the scrolled area and the scrollbar
    EXPECT_EQ(probe->getParentView()->getParentView()->getParentView(), scroll);

    struct Step
    {
        float wheel;
        CCoord offset;
    };
    for (const Step& s : {Step{-1, 20}, Step{-9, 200}, Step{-100, 300}, Step{2, 260}, Step{100, 0}})
    {
        EXPECT_TRUE(screen->wheel(CPoint(40, 50), s.wheel));
        EXPECT_EQ(scroll->getScrollOffset(), CPoint(0, s.offset)) << s.wheel;
    }

    screen->wheel(CPoint(40, 50), -10);
    frame->idle();
    EXPECT_EQ(screen->pixel(40, 10), argb(kGreenCColor));
    screen->mouseDown(CPoint(10, 5), kLButton);
    EXPECT_EQ(log.back(), "probe:down@10,205");
    screen->mouseUp(CPoint(10, 5), kLButton);

    // Dragging the scroller by half its free travel scrolls half the range.
    scroll->resetScrollOffset();
    CScrollbar* bar = scroll->getVerticalScrollbar();
    const CRect scroller = bar->getScrollerRect();
    const CCoord freeTravel = bar->getViewSize().getHeight() - 2 - scroller.getHeight();
    const CPoint grab = scroller.getCenter();
    screen->mouseDown(grab, kLButton);
    screen->mouseMoved(CPoint(grab.x, grab.y + freeTravel / 2), kLButton);
    screen->mouseUp(CPoint(grab.x, grab.y + freeTravel / 2), kLButton);
    EXPECT_NEAR(scroll->getScrollOffset().y, 150, 0.5);

    scroll->scrollRect(CRect(0, 380, 10, 390));
    EXPECT_EQ(scroll->getScrollOffset().y, 290);
    scroll->setContainerSize(CRect(0, 0, 84, 250), true);
    EXPECT_EQ(scroll->getScrollOffset().y, 150);
}

TEST_F(Widgets, TabViewLaysOutTabsAndSelectsByClick)
{
    struct Case
    {
        CTabView::TabPosition position;
        CRect secondTab, pages;
    };
    const Case cases[] = {
        {CTabView::kPositionTop, {50, 0, 100, 20}, {2, 23, 198, 97}},
        {CTabView::kPositionBottom, {50, 80, 100, 100}, {2, 3, 198, 77}},
        {CTabView::kPositionLeft, {0, 20, 50, 40}, {52, 3, 198, 97}},
        {CTabView::kPositionRight, {150, 20, 200, 40}, {2, 3, 148, 97}},
    };
    openFrame(300, 150);
    for (const Case& c : cases)
    {
        auto* tabs = new CTabView(CRect(100, 50, 300, 150), CRect(0, 0, 50, 20), nullptr, c.position);
        tabs->setTabFontStyle(kNormalFont, 10, kBlackCColor, kWhiteCColor);
        tabs->setTabViewInsets(CPoint(2, 3));
        auto* first = new ProbeView(CRect(), &log, "first");
        auto* second = new ProbeView(CRect(), &log, "second");
        tabs->addTab(first, "One");
        tabs->addTab(second, "Two");
        frame->addView(tabs);
        EXPECT_EQ(tabs->getCurrentSelectedTab(), 0);
        EXPECT_TRUE(first->isVisible());
        EXPECT_FALSE(second->isVisible());
        EXPECT_EQ(tabs->getTabRect(1), c.secondTab);
        EXPECT_EQ(second->getViewSize(), c.pages);

        const CPoint centre = c.secondTab.getCenter();
        click(CPoint(100 + centre.x, 50 + centre.y));
        EXPECT_EQ(tabs->getCurrentSelectedTab(), 1) << c.position;
        EXPECT_FALSE(first->isVisible());
        EXPECT_TRUE(second->isVisible());
        frame->removeView(tabs);
    }
}

TEST_F(Widgets, OptionMenuPopsUpAListAndSelectsTheClickedEntry)
{
    openFrame(200, 100, &rec);
    auto* menu = new COptionMenu(CRect(10, 10, 90, 30), &rec, 3);
    for (const char* title : {"One", "Two", "Three"})
        menu->addEntry(title);
    menu->setCurrent(0);
    EXPECT_EQ(menu->getMax(), 2);
    frame->addView(menu);
    const int32_t views = frame->getNbViews();

    click(CPoint(50, 20));
    ASSERT_TRUE(menu->isPopupOpen());
    EXPECT_EQ(frame->getNbViews(), views + 1);
    frame->idle();
    // Items are font size + 8 high under the menu; the third is at 30 + 1 + 40.
    screen->mouseMoved(CPoint(50, 81), 0);
    click(CPoint(50, 81));
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_EQ(frame->getNbViews(), views);
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    EXPECT_STREQ(menu->getCurrent()->getTitle(), "Three");
    EXPECT_EQ(rec.log, (std::vector<std::string>{"listener begin 3", "editor begin 3", "changed 3 2", "editor end 3",
                                                 "listener end 3"}));

    // A click outside closes it and changes nothing.
    rec.log.clear();
    click(CPoint(50, 20));
    ASSERT_TRUE(menu->isPopupOpen());
    click(CPoint(190, 5));
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    EXPECT_TRUE(rec.log.empty());

    // Removing the menu while open takes the list away too.
    click(CPoint(50, 20));
    frame->removeView(menu);
    EXPECT_EQ(frame->getNbViews(), views - 1);
}

TEST_F(Widgets, HorizontalSliderFollowsTheDraggedHandle)
{
    openFrame(200, 100, &rec);
    // No handle bitmap: an 8 px bar whose left edge travels 0..90 px from the slider's left.
    auto* slider = new CHorizontalSlider(CRect(10, 10, 110, 30), &rec, 7, 0, 90, nullptr, nullptr);
    frame->addView(slider);
    EXPECT_EQ(slider->getHandleRect(), CRect(10, 10, 18, 30));

    screen->mouseDown(CPoint(14, 20), kLButton);
    screen->mouseMoved(CPoint(14 + 45, 20), kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
    screen->mouseMoved(CPoint(14 + 55, 20), kLButton | kShift); // fine: a tenth
    EXPECT_NEAR(slider->getValue(), 46.f / 90.f, 1e-5);
    screen->mouseMoved(CPoint(300, 20), kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), 1.f);
    screen->mouseUp(CPoint(300, 20), kLButton);
    ASSERT_GE(rec.log.size(), 4u);
    EXPECT_EQ(rec.log[0], "listener begin 7");
    EXPECT_EQ(rec.log[1], "editor begin 7");
    EXPECT_EQ(rec.log[rec.log.size() - 2], "editor end 7");
    EXPECT_EQ(rec.log.back(), "listener end 7");
    EXPECT_FALSE(slider->isEditing());

    // A click beside the handle centres it on the pointer.
    slider->setValue(0);
    click(CPoint(10 + 64, 20));
    EXPECT_NEAR(slider->getValue(), 60.f / 90.f, 1e-5);

    auto* reversed = new CHorizontalSlider(CRect(10, 40, 110, 60), &rec, 8, 0, 90, nullptr, nullptr, CPoint(),
                                           CSliderBase::kRight);
    frame->addView(reversed);
    EXPECT_EQ(reversed->getHandleRect().left, 100);
    EXPECT_EQ(VSTGUI::kLeft, CSliderBase::kLeft);
}

TEST_F(Widgets, AnimKnobShowsTheFrameOfItsValueAndDragsLinearly)
{
    TempDir dir;
    writeBandsPNG(dir.file("knob.png"), 8, 8, {kRedCColor, kGreenCColor, kBlueCColor});
    setResourceDirectory(dir.path);
    auto* strip = new CBitmap(CResourceDescription("knob.png"));
    setResourceDirectory("");
    rec.knobMode = kLinearMode;
    openFrame(200, 200, &rec);
    auto* knob = new CAnimKnob(CRect(20, 100, 28, 108), &rec, 1, strip);
    strip->forget();
    frame->addView(knob);
    EXPECT_EQ(knob->getNumSubPixmaps(), 3);

    struct Case
    {
        float value;
        CColor shown;
    };
    for (const Case& c : {Case{0.f, kRedCColor}, Case{0.5f, kGreenCColor}, Case{0.9f, kBlueCColor}})
    {
        knob->setValue(c.value);
        frame->idle();
        EXPECT_EQ(screen->pixel(24, 104), argb(c.shown)) << c.value;
    }

    knob->setValue(0);
    screen->mouseDown(CPoint(24, 104), kLButton);
    screen->mouseMoved(CPoint(24, 104 - 75), kLButton);
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
    screen->mouseMoved(CPoint(24, 104 - 90), kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.51f, 1e-5);
    screen->mouseMoved(CPoint(24, 104 + 200), kLButton);
    EXPECT_EQ(knob->getValue(), 0.f);
    screen->mouseUp(CPoint(24, 104 + 200), kLButton);
    EXPECT_EQ(rec.log.front(), "listener begin 1");
    EXPECT_EQ(rec.log.back(), "listener end 1");

    // Circular mode: the angle of the pointer sets the value.
    rec.knobMode = kCircularMode;
    screen->mouseDown(CPoint(24, 100), kLButton); // straight above the centre
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
    screen->mouseMoved(CPoint(124, 104), kLButton);
    EXPECT_NEAR(knob->getValue(), 5.f / 6.f, 1e-5);
    screen->mouseUp(CPoint(124, 104), kLButton);
}

TEST_F(Widgets, TextLabelDrawsItsTextOnItsBackColour)
{
    openFrame(200, 40);
    auto* label = new CTextLabel(CRect(0, 0, 200, 40), "Volume", nullptr, kNoFrame);
    label->setBackColor(kBlueCColor);
    label->setFontColor(kWhiteCColor);
    label->setFont(kNormalFont);
    label->setHoriAlign(kLeftText);
    frame->addView(label);
    frame->idle();
    EXPECT_EQ(screen->pixel(150, 5), argb(kBlueCColor));
    int ink = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = 10; y < 30; ++y)
            ink += screen->pixel(x, y) != argb(kBlueCColor);
    EXPECT_GT(ink, 20);
    label->setText("");
    frame->idle();
    EXPECT_EQ(screen->pixel(150, 5), argb(kBlueCColor));
    EXPECT_STREQ(label->getText(), "");
    ink = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = 10; y < 30; ++y)
            ink += screen->pixel(x, y) != argb(kBlueCColor);
    EXPECT_EQ(ink, 0);
}

} // namespace
