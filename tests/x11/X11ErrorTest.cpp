#include "X11TestSupport.h"
#include "vstgui/x11/X11ErrorTrap.h"

namespace x11test {
namespace {

int testErrors = 0;
unsigned char testErrorCode = 0;
int countingHandler(Display*, XErrorEvent* event)
{
    ++testErrors;
    testErrorCode = event->error_code;
    return 0;
}

class X11ErrorTest : public X11Fixture
{
protected:
    void destroyParent()
    {
        XDestroyWindow(display, parent);
        XSync(display, False);
        parentDestroyed = true;
    }

    // Every call a frame offers, on a window that may be gone.
    void exerciseFrame()
    {
        frame->invalidRect(CRect(0, 0, 100, 100));
        frame->processEvents();
        CPoint where;
        frame->getCurrentMousePosition(where);
        CButtonState buttons;
        frame->getCurrentMouseButtons(buttons);
        frame->setMouseCursor(kCursorHand);
        frame->setSize(CRect(0, 0, 300, 200));
        if (CDrawContext* context = frame->createDrawContext())
            context->forget();
        frame->invalidRect(CRect(0, 0, 10, 10));
        frame->processEvents();
    }
};

TEST_F(X11ErrorTest, ParentDestroyedBeforeTheFrameIsHarmless)
{
    openFrame();
    destroyParent();
    settle(50);
    exerciseFrame();
    CPoint where;
    EXPECT_FALSE(frame->getCurrentMousePosition(where));
    CButtonState buttons(kLButton);
    EXPECT_TRUE(frame->getCurrentMouseButtons(buttons));
    EXPECT_EQ(buttons.getButtonState(), 0);
    EXPECT_EQ(frame->createDrawContext(), nullptr);
    frame.reset();
    EXPECT_FALSE(X11ErrorTrap::isInstalled());
}

TEST_F(X11ErrorTest, ParentDestroyedWithoutTheFrameNoticingIsHarmless)
{
    openFrame();
    destroyParent();
    // No event pass in between: the frame still believes in its window.
    exerciseFrame();
    exerciseFrame();
    frame.reset();
}

TEST_F(X11ErrorTest, ParentDestroyedAndFrameDeletedAtOnce)
{
    openFrame();
    destroyParent();
    frame.reset();
    SUCCEED();
}

TEST_F(X11ErrorTest, OtherDisplaysKeepTheirHandlerAndGetItBack)
{
    XErrorHandler original = XSetErrorHandler(countingHandler);
    testErrors = 0;
    openFrame();
    EXPECT_TRUE(X11ErrorTrap::isInstalled());

    // An error on the test's own connection still reaches the test's handler.
    Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(display, gone);
    XMapWindow(display, gone);
    XSync(display, False);
    EXPECT_EQ(testErrors, 1);
    EXPECT_EQ(testErrorCode, BadWindow);

    frame.reset();
    EXPECT_FALSE(X11ErrorTrap::isInstalled());
    EXPECT_EQ(XSetErrorHandler(original), countingHandler);
}

TEST_F(X11ErrorTest, SeveralFramesShareTheHandler)
{
    openFrame();
    RecordingCallbacks other;
    std::unique_ptr<IPlatformFrame> second(createX11Frame(&other, CRect(0, 0, 40, 40), parent));
    ASSERT_NE(second, nullptr);
    frame.reset();
    EXPECT_TRUE(X11ErrorTrap::isInstalled());
    destroyParent();
    second->processEvents();
    second->invalidRect(CRect(0, 0, 40, 40));
    second->processEvents();
    second.reset();
    EXPECT_FALSE(X11ErrorTrap::isInstalled());
}

TEST_F(X11ErrorTest, HandlerInstalledOnTopOfOursIsLeftInPlace)
{
    XErrorHandler original = XSetErrorHandler(nullptr);
    XSetErrorHandler(original);
    openFrame();
    XErrorHandler ours = XSetErrorHandler(countingHandler);
    EXPECT_NE(ours, original);
    frame.reset();
    // Theirs may chain to ours: both stay, ours passing foreign errors on.
    EXPECT_TRUE(X11ErrorTrap::isInstalled());
    EXPECT_EQ(XSetErrorHandler(ours), countingHandler);
    // With ours on top again, the next frame closing takes it away for good.
    openFrame();
    frame.reset();
    EXPECT_FALSE(X11ErrorTrap::isInstalled());
    EXPECT_EQ(XSetErrorHandler(original), original);
}

} // namespace
} // namespace x11test
