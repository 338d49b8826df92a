#include "X11TestSupport.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace x11test {
namespace {

class X11FrameTest : public X11Fixture
{
protected:
    // Moves the pointer to a position in the frame window.
    void movePointerTo(int x, int y)
    {
        int rootX = 0, rootY = 0;
        rootPosition(display, frameWindow(), x, y, rootX, rootY);
        XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
        XSync(display, False);
    }
    void click(unsigned int button)
    {
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
        XSync(display, False);
    }
};

TEST_F(X11FrameTest, ChildWindowAppearsInsideTheParentWithItsSize)
{
    openFrame(220, 130);
    Window rootReturn = 0, parentReturn = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    ASSERT_TRUE(XQueryTree(display, parent, &rootReturn, &parentReturn, &children, &count));
    std::vector<Window> list(children, children + count);
    if (children)
        XFree(children);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], frameWindow());

    XWindowAttributes attributes = {};
    ASSERT_TRUE(XGetWindowAttributes(display, frameWindow(), &attributes));
    EXPECT_EQ(attributes.width, 220);
    EXPECT_EQ(attributes.height, 130);
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    EXPECT_EQ(attributes.map_state, IsViewable);
}

TEST_F(X11FrameTest, ReturnsNullForAParentThatDoesNotExist)
{
    REQUIRE_XVFB();
    Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(display, gone);
    XSync(display, False);
    std::unique_ptr<IPlatformFrame> bad(createX11Frame(&callbacks, CRect(0, 0, 100, 100), gone));
    EXPECT_EQ(bad, nullptr);
    std::unique_ptr<IPlatformFrame> none(createX11Frame(&callbacks, CRect(0, 0, 100, 100), 0));
    EXPECT_EQ(none, nullptr);
}

TEST_F(X11FrameTest, ClickReachesMouseDownAndUpInWindowCoordinates)
{
    openFrame();
    movePointerTo(30, 40);
    click(1);
    ASSERT_TRUE(pump([this] { return !callbacks.ups.empty(); }));
    ASSERT_EQ(callbacks.downs.size(), 1u);
    EXPECT_EQ(callbacks.downs[0].where, CPoint(30, 40));
    EXPECT_EQ(callbacks.downs[0].buttons, kLButton);
    EXPECT_EQ(callbacks.ups[0].where, CPoint(30, 40));
    EXPECT_TRUE(callbacks.ups[0].buttons & kLButton);
}

TEST_F(X11FrameTest, MiddleAndRightButtonsAndModifiers)
{
    openFrame();
    movePointerTo(10, 12);
    click(3);
    KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    XTestFakeKeyEvent(display, shift, True, CurrentTime);
    click(2);
    XTestFakeKeyEvent(display, shift, False, CurrentTime);
    XSync(display, False);
    ASSERT_TRUE(pump([this] { return callbacks.ups.size() >= 2; }));
    ASSERT_EQ(callbacks.downs.size(), 2u);
    EXPECT_EQ(callbacks.downs[0].buttons, kRButton);
    EXPECT_EQ(callbacks.downs[1].buttons, kMButton | kShift);
}

TEST_F(X11FrameTest, SecondQuickClickIsADoubleClick)
{
    openFrame();
    movePointerTo(50, 50);
    click(1);
    click(1);
    ASSERT_TRUE(pump([this] { return callbacks.ups.size() >= 2; }));
    ASSERT_EQ(callbacks.downs.size(), 2u);
    EXPECT_FALSE(callbacks.downs[0].buttons & kDoubleClick);
    EXPECT_TRUE(callbacks.downs[1].buttons & kDoubleClick);
    EXPECT_TRUE(callbacks.downs[1].buttons & kLButton);
}

TEST_F(X11FrameTest, WheelButtonsScrollAndHorizontalOnesAreIgnored)
{
    openFrame();
    movePointerTo(20, 25);
    click(4);
    click(5);
    click(6);
    click(7);
    ASSERT_TRUE(pump([this] { return callbacks.wheels.size() >= 2; }));
    settle();
    ASSERT_EQ(callbacks.wheels.size(), 2u);
    EXPECT_EQ(callbacks.wheels[0].first, CPoint(20, 25));
    EXPECT_FLOAT_EQ(callbacks.wheels[0].second, 1.f);
    EXPECT_FLOAT_EQ(callbacks.wheels[1].second, -1.f);
    EXPECT_TRUE(callbacks.downs.empty());
    EXPECT_TRUE(callbacks.ups.empty());
}

TEST_F(X11FrameTest, MotionCarriesTheHeldButtons)
{
    openFrame();
    movePointerTo(10, 10);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    movePointerTo(60, 70);
    ASSERT_TRUE(pump([this] { return !callbacks.moves.empty() && callbacks.moves.back().where == CPoint(60, 70); }));
    EXPECT_TRUE(callbacks.moves.back().buttons & kLButton);

    CButtonState buttons;
    ASSERT_TRUE(frame->getCurrentMouseButtons(buttons));
    EXPECT_TRUE(buttons.state & kLButton);
    CPoint where;
    ASSERT_TRUE(frame->getCurrentMousePosition(where));
    EXPECT_EQ(where, CPoint(60, 70));

    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    ASSERT_TRUE(pump([this] { return !callbacks.ups.empty(); }));
    ASSERT_TRUE(frame->getCurrentMouseButtons(buttons));
    EXPECT_FALSE(buttons.state & kLButton);
}

TEST_F(X11FrameTest, LeavingTheWindowReportsMouseExited)
{
    openFrame();
    movePointerTo(10, 10);
    settle(50);
    movePointerTo(300, 250); // in the parent, outside the frame
    ASSERT_TRUE(pump([this] { return !callbacks.exits.empty(); }));
}

TEST_F(X11FrameTest, DraggingOutKeepsThePointerUntilTheRelease)
{
    openFrame();
    movePointerTo(10, 10);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    movePointerTo(300, 250);
    ASSERT_TRUE(pump([this] { return !callbacks.moves.empty() && callbacks.moves.back().where == CPoint(300, 250); }));
    EXPECT_TRUE(callbacks.exits.empty());
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    ASSERT_TRUE(pump([this] { return !callbacks.exits.empty(); }));
    ASSERT_EQ(callbacks.ups.size(), 1u);
    EXPECT_EQ(callbacks.ups[0].where, CPoint(300, 250));
}

TEST_F(X11FrameTest, KeysArriveAsVstKeyCodes)
{
    openFrame();
    movePointerTo(10, 10); // the focus follows the pointer on a bare server
    KeyCode a = XKeysymToKeycode(display, XK_a);
    XTestFakeKeyEvent(display, a, True, CurrentTime);
    XTestFakeKeyEvent(display, a, False, CurrentTime);
    XSync(display, False);
    ASSERT_TRUE(pump([this] { return !callbacks.keyUps.empty(); }));
    ASSERT_EQ(callbacks.keyDowns.size(), 1u);
    EXPECT_EQ(callbacks.keyDowns[0].character, 'a');
    EXPECT_EQ(callbacks.keyUps[0].character, 'a');
}

TEST_F(X11FrameTest, InvalidRectIsRedrawnOnTheNextPass)
{
    openFrame();
    settle(50);
    callbacks.draws.clear();
    callbacks.paintRed = true;
    frame->invalidRect(CRect(10, 10, 50, 40));
    frame->invalidRect(CRect(30, 20, 60, 45));
    frame->processEvents();
    ASSERT_EQ(callbacks.draws.size(), 1u);
    EXPECT_EQ(callbacks.draws[0], CRect(10, 10, 60, 45));

    // Nothing more to draw until something is invalid again.
    frame->processEvents();
    EXPECT_EQ(callbacks.draws.size(), 1u);

    XSync(display, False);
    XImage* image = XGetImage(display, frameWindow(), 0, 0, 200, 150, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 15, 15) & 0xffffff, 0xff0000u);
    EXPECT_EQ(XGetPixel(image, 59, 44) & 0xffffff, 0xff0000u);
    EXPECT_NE(XGetPixel(image, 100, 100) & 0xffffff, 0xff0000u); // outside the update
    XDestroyImage(image);
}

TEST_F(X11FrameTest, InvalidRectIsClippedToTheWindow)
{
    openFrame();
    settle(50);
    callbacks.draws.clear();
    frame->invalidRect(CRect(150, 100, 400, 400));
    frame->processEvents();
    ASSERT_EQ(callbacks.draws.size(), 1u);
    EXPECT_EQ(callbacks.draws[0], CRect(150, 100, 200, 150));
}

TEST_F(X11FrameTest, SetSizeResizesTheChild)
{
    openFrame();
    ASSERT_TRUE(frame->setSize(CRect(0, 0, 320, 240)));
    settle(50);
    XWindowAttributes attributes = {};
    ASSERT_TRUE(XGetWindowAttributes(display, frameWindow(), &attributes));
    EXPECT_EQ(attributes.width, 320);
    EXPECT_EQ(attributes.height, 240);
    ASSERT_FALSE(callbacks.draws.empty());
    EXPECT_EQ(callbacks.draws.back(), CRect(0, 0, 320, 240));
}

TEST_F(X11FrameTest, CursorsAndDrawContexts)
{
    openFrame();
    for (int type = kCursorDefault; type <= kCursorHand; ++type)
        frame->setMouseCursor(static_cast<CCursorType>(type));
    frame->setMouseCursor(kCursorDefault);
    CDrawContext* context = frame->createDrawContext();
    ASSERT_NE(context, nullptr);
    EXPECT_NE(context->getCairo(), nullptr);
    context->forget();
    settle(20);
}

} // namespace
} // namespace x11test
