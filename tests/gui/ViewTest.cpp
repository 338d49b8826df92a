#include "GuiTestSupport.h"

using namespace guitest;

namespace {

struct Views : OffscreenFixture
{
    std::vector<std::string> log;
};

TEST_F(Views, MouseGoesToFrontViewAndStaysWithItUntilUp)
{
    openFrame();
    auto* back = new ProbeView(CRect(0, 0, 100, 100), &log, "back");
    auto* front = new ProbeView(CRect(50, 0, 150, 100), &log, "front");
    auto* hidden = new ProbeView(CRect(0, 0, 200, 100), &log, "hidden");
    hidden->setVisible(false);
    auto* inert = new ProbeView(CRect(0, 0, 200, 100), &log, "inert");
    inert->setMouseEnabled(false);
    frame->addView(back);
    frame->addView(front);
    frame->addView(hidden);
    frame->addView(inert);

    EXPECT_EQ(frame->getViewAt(CPoint(60, 10)), inert);
    screen->mouseDown(CPoint(60, 10), kLButton);
    screen->mouseMoved(CPoint(10, 10), kLButton); // captured: still the front view
    screen->mouseUp(CPoint(10, 10), kLButton);
    screen->mouseDown(CPoint(10, 10), kLButton);
    EXPECT_EQ(log, (std::vector<std::string>{"front:down@60,10", "front:moved@10,10", "front:up@10,10",
                                             "back:entered@10,10", "back:down@10,10"}));
}

TEST_F(Views, UnhandledMouseDownFallsThroughToTheViewBehind)
{
    openFrame();
    auto* back = new ProbeView(CRect(0, 0, 100, 100), &log, "back");
    auto* front = new ProbeView(CRect(0, 0, 100, 100), &log, "front");
    front->downResult = kMouseEventNotHandled;
    frame->addView(back);
    frame->addView(front);
    screen->mouseDown(CPoint(5, 5), kLButton);
    screen->mouseUp(CPoint(5, 5), kLButton);
    EXPECT_EQ(log, (std::vector<std::string>{"front:down@5,5", "back:down@5,5", "back:up@5,5", "front:entered@5,5"}));
}

TEST_F(Views, NestedContainersTranslateAndHonourMouseableArea)
{
    openFrame();
    auto* outer = new CViewContainer(CRect(20, 10, 120, 90));
    auto* inner = new CViewContainer(CRect(5, 5, 95, 75));
    auto* probe = new ProbeView(CRect(10, 10, 50, 50), &log, "probe");
    probe->setMouseableArea(CRect(10, 10, 30, 30));
    inner->addView(probe);
    outer->addView(inner);
    frame->addView(outer);

    screen->mouseDown(CPoint(20 + 5 + 40, 10 + 5 + 40), kLButton); // outside its mouseable area
    screen->mouseUp(CPoint(20 + 5 + 40, 10 + 5 + 40), kLButton);
    log.clear();
    screen->mouseDown(CPoint(20 + 5 + 12, 10 + 5 + 13), kLButton);
    ASSERT_EQ(log, (std::vector<std::string>{"probe:down@12,13"}));

    CPoint p(12, 13);
    probe->localToFrame(p);
    EXPECT_EQ(p, CPoint(37, 28));
    probe->frameToLocal(p);
    EXPECT_EQ(p, CPoint(12, 13));
}

TEST_F(Views, EnteredAndExitedFollowThePointer)
{
    openFrame();
    auto* a = new ProbeView(CRect(0, 0, 50, 50), &log, "a");
    auto* box = new CViewContainer(CRect(100, 0, 200, 100));
    auto* b = new ProbeView(CRect(0, 0, 50, 50), &log, "b");
    box->addView(b);
    frame->addView(a);
    frame->addView(box);

    screen->mouseMoved(CPoint(10, 10), 0);
    screen->mouseMoved(CPoint(20, 10), 0);
    screen->mouseMoved(CPoint(110, 10), 0);
    screen->mouseMoved(CPoint(170, 70), 0); // inside the box, off b
    screen->mouseMoved(CPoint(110, 20), 0);
    screen->mouseExited(CPoint(250, 20));
    EXPECT_EQ(log, (std::vector<std::string>{"a:entered@10,10", "a:moved@10,10", "a:moved@20,10", "a:exited@110,10",
                                             "b:entered@10,10", "b:moved@10,10", "b:exited@70,70", "b:entered@10,20",
                                             "b:moved@10,20", "b:exited@150,20"}));
}

struct Mortal : ProbeView
{
    static inline int alive = 0;
    static inline int aliveDuringHandler = -1;
    Mortal(const CRect& r) : ProbeView(r, nullptr, "mortal") { ++alive; }
    ~Mortal() override { --alive; }
    CMouseEventResult onMouseDown(CPoint&, const CButtonState&) override
    {
        static_cast<CViewContainer*>(getParentView())->removeView(this);
        aliveDuringHandler = alive;
        color = kGreenCColor; // touches the object after its removal
        return kMouseEventHandled;
    }
};

TEST_F(Views, ViewRemovedDuringItsOwnMouseDownDiesAfterTheHandler)
{
    openFrame();
    auto* box = new CViewContainer(CRect(0, 0, 100, 100));
    box->addView(new Mortal(CRect(0, 0, 10, 10)));
    frame->addView(box);
    ASSERT_EQ(Mortal::alive, 1);
    screen->mouseDown(CPoint(5, 5), kLButton);
    EXPECT_EQ(Mortal::aliveDuringHandler, 1);
    EXPECT_EQ(Mortal::alive, 0);
    EXPECT_EQ(box->getNbViews(), 0);
    // No capture left behind pointing at the dead view.
    screen->mouseMoved(CPoint(6, 6), kLButton);
    screen->mouseUp(CPoint(6, 6), kLButton);
}

TEST_F(Views, InvalidatingARectRedrawsOnlyThatRegion)
{
    openFrame();
    auto* left = new ProbeView(CRect(0, 0, 100, 100), &log, "left", kRedCColor);
    auto* right = new ProbeView(CRect(100, 0, 200, 100), &log, "right", kGreenCColor);
    frame->addView(left);
    frame->addView(right);
    frame->idle();
    EXPECT_EQ(screen->pixel(10, 10), argb(kRedCColor));
    EXPECT_EQ(screen->pixel(150, 10), argb(kGreenCColor));
    const int rightDraws = right->draws;

    left->color = kBlueCColor;
    left->invalidRect(CRect(10, 10, 20, 20));
    frame->idle();
    EXPECT_EQ(screen->pixel(15, 15), argb(kBlueCColor));
    EXPECT_EQ(screen->pixel(25, 15), argb(kRedCColor));
    EXPECT_EQ(screen->pixel(15, 25), argb(kRedCColor));
    EXPECT_EQ(right->draws, rightDraws);

    frame->idle(); // nothing invalid: nothing drawn
    const int leftDraws = left->draws;
    frame->idle();
    EXPECT_EQ(left->draws, leftDraws);

    right->setDirty(true);
    EXPECT_TRUE(right->isDirty());
    frame->idle();
    EXPECT_FALSE(right->isDirty());
    EXPECT_EQ(right->draws, rightDraws + 1);
}

TEST_F(Views, ContainerDrawsBackgroundAndClipsChildren)
{
    openFrame();
    auto* box = new CViewContainer(CRect(50, 20, 150, 80));
    box->setBackgroundColor(kBlueCColor);
    // Sticks out of the box on the right: only the part inside is drawn.
    box->addView(new ProbeView(CRect(80, 10, 140, 30), nullptr, "child", kRedCColor));
    frame->addView(box);
    frame->idle();
    EXPECT_EQ(screen->pixel(40, 30), argb(kBlackCColor)); // frame background
    EXPECT_EQ(screen->pixel(60, 70), argb(kBlueCColor));
    EXPECT_EQ(screen->pixel(50 + 85, 20 + 15), argb(kRedCColor));
    EXPECT_EQ(screen->pixel(155, 35), argb(kBlackCColor));
}

TEST_F(Views, BitmapDrawsTheFilmstripFrameAtTheOffset)
{
    TempDir dir;
    writeBandsPNG(dir.file("strip.png"), 8, 8, {kRedCColor, kGreenCColor, kBlueCColor});
    setResourceDirectory(dir.path);
    auto* strip = new CBitmap(CResourceDescription("strip.png"));
    ASSERT_TRUE(strip->isLoaded());
    EXPECT_EQ(strip->getWidth(), 8);
    EXPECT_EQ(strip->getHeight(), 24);
    auto* missing = new CBitmap(CResourceDescription("nothing.png"));
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(missing->getWidth(), 0);

    struct Strip : CView
    {
        CBitmap* bitmap;
        CBitmap* missing;
        Strip(CBitmap* b, CBitmap* m) : CView(CRect(30, 40, 38, 48)), bitmap(b), missing(m) {}
        void draw(CDrawContext* context) override
        {
            bitmap->draw(context, getViewSize(), CPoint(0, 8)); // the second frame only
            missing->draw(context, getViewSize());
        }
    };
    openFrame();
    auto* box = new CViewContainer(CRect(10, 10, 100, 100));
    box->addView(new Strip(strip, missing));
    frame->addView(box);
    frame->idle();
    EXPECT_EQ(screen->pixel(40, 50), argb(kGreenCColor));
    EXPECT_EQ(screen->pixel(47, 57), argb(kGreenCColor));
    EXPECT_EQ(screen->pixel(47, 58), argb(kBlackCColor)); // the next frame is clipped away
    EXPECT_EQ(screen->pixel(39, 50), argb(kBlackCColor));
    strip->forget();
    missing->forget();
    setResourceDirectory("");
}

int countNonBackground(OffscreenFrame* screen, const CRect& r)
{
    int n = 0;
    for (int y = int(r.top); y < int(r.bottom); ++y)
        for (int x = int(r.left); x < int(r.right); ++x)
            n += screen->pixel(x, y) != argb(kBlackCColor);
    return n;
}

TEST_F(Views, TextIsDrawnCentredInItsRect)
{
    struct Text : CView
    {
        CHoriTxtAlign align;
        Text(const CRect& r, CHoriTxtAlign a) : CView(r), align(a) {}
        void draw(CDrawContext* context) override
        {
            context->setFont(kNormalFont, 14, kBoldFace);
            context->setFontColor(kWhiteCColor);
            context->drawString("Hi", getViewSize(), align);
        }
    };
    openFrame(300, 100);
    frame->addView(new Text(CRect(0, 0, 100, 100), kCenterText));
    frame->addView(new Text(CRect(100, 0, 200, 100), kLeftText));
    frame->addView(new Text(CRect(200, 0, 300, 100), kRightText));
    frame->idle();
    // Vertically centred: ink in the middle band only.
    EXPECT_GT(countNonBackground(screen, CRect(40, 40, 60, 60)), 10);
    EXPECT_EQ(countNonBackground(screen, CRect(0, 0, 300, 35)), 0);
    EXPECT_EQ(countNonBackground(screen, CRect(0, 65, 300, 100)), 0);
    // Horizontal alignment.
    EXPECT_GT(countNonBackground(screen, CRect(100, 40, 120, 60)), 10);
    EXPECT_EQ(countNonBackground(screen, CRect(130, 0, 200, 100)), 0);
    EXPECT_GT(countNonBackground(screen, CRect(280, 40, 300, 60)), 10);
    EXPECT_EQ(countNonBackground(screen, CRect(200, 0, 270, 100)), 0);
}

TEST(Fonts, NamesResolveToFamiliesAndRegisteredFilesAreUsable)
{
    struct Case
    {
        const char* name;
        const char* family;
    };
    for (const Case& c : {Case{"System", "Sans"}, Case{"Helvetica", "Sans"}, Case{"", "Sans"},
                          Case{"No Such Font Family 123", "Sans"}, Case{"DejaVu Serif", "DejaVu Serif"}})
        EXPECT_EQ(CFontDesc(c.name, 12).getResolvedFamily(), c.family) << c.name;

    std::string family;
    ASSERT_TRUE(registerFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", &family));
    EXPECT_EQ(family, "DejaVu Sans Mono");
    EXPECT_FALSE(registerFontFile("/nonexistent/font.ttf"));
    addFontAlias("Corbel", family);
    EXPECT_EQ(CFontDesc("Corbel", 12).getResolvedFamily(), "DejaVu Sans Mono");

    // A monospaced alias measures "iiii" as wide as "WWWW"; the proportional default does not.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
    cairo_t* cr = cairo_create(s);
    auto* context = new CDrawContext(cr, CRect(0, 0, 10, 10));
    auto* corbel = new CFontDesc("Corbel", 20);
    context->setFont(corbel);
    EXPECT_DOUBLE_EQ(context->getStringWidth("iiii"), context->getStringWidth("WWWW"));
    context->setFont(kSystemFont, 20);
    EXPECT_LT(context->getStringWidth("iiii"), context->getStringWidth("WWWW"));
    corbel->forget();
    context->forget();
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

TEST_F(Views, WritePNGSavesTheFrame)
{
    TempDir dir;
    openFrame(64, 32);
    frame->addView(new ProbeView(CRect(0, 0, 32, 32), nullptr, "p", kRedCColor));
    screen->render();
    ASSERT_TRUE(screen->writePNG(dir.file("shot.png")));
    cairo_surface_t* s = cairo_image_surface_create_from_png(dir.file("shot.png").c_str());
    ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(s), 64);
    EXPECT_EQ(cairo_image_surface_get_height(s), 32);
    const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s));
    EXPECT_EQ(row[1], argb(kRedCColor));
    EXPECT_EQ(row[40], argb(kBlackCColor));
    cairo_surface_destroy(s);
}

TEST_F(Views, KeysGoToTheFocusViewFirstThenFrontToBack)
{
    struct Keys : CView
    {
        std::vector<std::string>* log;
        const char* name;
        int32_t answer;
        Keys(std::vector<std::string>* l, const char* n, int32_t a) : CView(CRect(0, 0, 10, 10)), log(l), name(n), answer(a) {}
        int32_t onKeyDown(VstKeyCode& key) override
        {
            log->push_back(std::string(name) + ":" + char(key.character));
            return answer;
        }
    };
    openFrame();
    auto* back = new Keys(&log, "back", 1);
    auto* front = new Keys(&log, "front", -1);
    auto* focus = new Keys(&log, "focus", -1);
    frame->addView(back);
    frame->addView(focus);
    frame->addView(front);
    frame->setFocusView(focus);
    VstKeyCode key{'a', 0, 0};
    EXPECT_EQ(screen->keyDown(key), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"focus:a", "front:a", "back:a"}));
    frame->removeView(focus);
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

} // namespace
