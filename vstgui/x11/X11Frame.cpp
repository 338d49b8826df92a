#include "vstgui/x11/X11Frame.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "vstgui/CDrawContext.h"
#include "vstgui/x11/X11ErrorTrap.h"
#include "vstgui/x11/XdndReceiver.h"

namespace VSTGUI {

namespace {

constexpr unsigned long kDoubleClickTime = 400; // ms
constexpr int kDoubleClickDistance = 4;         // px
constexpr int kCursorCount = kCursorHand + 1;
constexpr unsigned int kHeldButtons = Button1Mask | Button2Mask | Button3Mask;

int32_t modifiersFromState(unsigned int state)
{
    int32_t result = 0;
    if (state & ShiftMask)
        result |= kShift;
    if (state & ControlMask)
        result |= kControl;
    if (state & Mod1Mask)
        result |= kAlt;
    return result;
}

int32_t buttonsFromState(unsigned int state)
{
    int32_t result = modifiersFromState(state);
    if (state & Button1Mask)
        result |= kLButton;
    if (state & Button2Mask)
        result |= kMButton;
    if (state & Button3Mask)
        result |= kRButton;
    return result;
}

// The button bit of an X button number; 0 for the wheel and unknown buttons.
int32_t buttonBit(unsigned int button)
{
    switch (button)
    {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    case 8: return kButton4;
    case 9: return kButton5;
    default: return 0;
    }
}

VstKeyCode keyCodeFor(XKeyEvent& event)
{
    VstKeyCode code = {};
    char text[16] = {};
    KeySym sym = NoSymbol;
    int length = XLookupString(&event, text, sizeof(text) - 1, &sym, nullptr);
    if ((sym >= 0x20 && sym <= 0x7e) || (sym >= 0xa0 && sym <= 0xff))
        code.character = static_cast<VstInt32>(sym); // Latin-1 keysyms are their code points
    else if (sym >= 0x1000100 && sym <= 0x110ffff)
        code.character = static_cast<VstInt32>(sym - 0x1000000);
    else if (length == 1 && text[0] >= 0x20 && text[0] <= 0x7e)
        code.character = text[0]; // keypad digits and operators
    // Our VST header has no virtual key numbers, so virt and modifier stay 0.
    return code;
}

unsigned int cursorShape(CCursorType type)
{
    switch (type)
    {
    case kCursorWait: return XC_watch;
    case kCursorHSize: return XC_sb_h_double_arrow;
    case kCursorVSize: return XC_sb_v_double_arrow;
    case kCursorSizeAll: return XC_fleur;
    case kCursorNESWSize: return XC_bottom_left_corner;
    case kCursorNWSESize: return XC_bottom_right_corner;
    case kCursorCopy: return XC_plus;
    case kCursorNotAllowed: return XC_X_cursor;
    case kCursorHand: return XC_hand2;
    default: return XC_left_ptr;
    }
}

} // namespace

class X11Frame : public IPlatformFrame
{
public:
    explicit X11Frame(IPlatformFrameCallbacks* callbacks_) : callbacks(callbacks_) {}
    ~X11Frame() override;

    bool open(const CRect& size, unsigned long parent);

    void invalidRect(const CRect& rect) override;
    void processEvents() override;
    bool getCurrentMousePosition(CPoint& where) const override;
    bool getCurrentMouseButtons(CButtonState& buttons) const override;
    void setMouseCursor(CCursorType type) override;
    bool setSize(const CRect& size) override;
    CDrawContext* createDrawContext() override;
    void* getPlatformHandle() const override { return reinterpret_cast<void*>(window); }

private:
    void handleEvent(XEvent& event);
    void onButtonPress(XButtonEvent& event);
    void onButtonRelease(XButtonEvent& event);
    void redraw();
    bool queryPointer(Window relativeTo, int& x, int& y, unsigned int& mask) const;

    IPlatformFrameCallbacks* callbacks;
    Display* display = nullptr;
    Window window = 0;
    Window root = 0;
    Visual* visual = nullptr;
    cairo_surface_t* surface = nullptr;
    int width = 1, height = 1;
    // False once the window is gone (usually with the host's parent window).
    bool alive = false;
    bool drawing = false;
    bool hasInvalid = false;
    bool exitPending = false;
    CRect invalid;
    std::unique_ptr<XdndReceiver> xdnd;
    Cursor cursors[kCursorCount] = {};

    unsigned int lastPressButton = 0;
    Time lastPressTime = 0;
    int lastPressX = 0, lastPressY = 0;
};

X11Frame::~X11Frame()
{
    if (!display)
        return;
    // Also after the window died: the host's top level may outlive it and must
    // not keep pointing drops at a dead proxy.
    if (xdnd)
        xdnd->uninstall();
    xdnd.reset();
    if (surface) {
        // cairo keeps one device per display; finished here, it is freed with
        // the surface instead of staying behind for a connection that closes.
        cairo_device_t* device = cairo_device_reference(cairo_surface_get_device(surface));
        cairo_surface_destroy(surface);
        if (device) {
            cairo_device_finish(device);
            cairo_device_destroy(device);
        }
    }
    for (Cursor& cursor : cursors)
        if (cursor)
            XFreeCursor(display, cursor);
    if (window && alive)
        XDestroyWindow(display, window); // a BadWindow here is recorded, not fatal
    XSync(display, False);
    XCloseDisplay(display);
    X11ErrorTrap::unregisterDisplay(display);
}

bool X11Frame::open(const CRect& size, unsigned long parent)
{
    display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    X11ErrorTrap::registerDisplay(display);

    XWindowAttributes parentAttributes = {};
    if (!parent || !XGetWindowAttributes(display, parent, &parentAttributes))
        return false;
    Screen* screen = parentAttributes.screen;
    root = parentAttributes.root;
    visual = DefaultVisualOfScreen(screen);
    width = std::max(1, static_cast<int>(std::lround(size.getWidth())));
    height = std::max(1, static_cast<int>(std::lround(size.getHeight())));

    // Our own visual and colormap work under parents of any depth.
    XSetWindowAttributes attributes = {};
    attributes.background_pixmap = None; // no flashing between expose and paint
    attributes.border_pixel = 0;
    attributes.colormap = DefaultColormapOfScreen(screen);
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask |
                            PropertyChangeMask;
    const uint64_t errorsBefore = X11ErrorTrap::errorCount(display);
    window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned int>(width), static_cast<unsigned int>(height),
                           0, DefaultDepthOfScreen(screen), InputOutput, visual,
                           CWBackPixmap | CWBorderPixel | CWColormap | CWBitGravity | CWEventMask, &attributes);
    XSync(display, False);
    if (!window || X11ErrorTrap::errorCount(display) != errorsBefore)
        return false;
    alive = true;

    surface = cairo_xlib_surface_create(display, window, visual, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
        return false;

    xdnd = std::make_unique<XdndReceiver>(display, window, root, callbacks);
    xdnd->setWindowSize(width, height);
    xdnd->install(parent);

    XMapWindow(display, window);
    XSync(display, False);
    invalid = CRect(0, 0, width, height);
    hasInvalid = true;
    return X11ErrorTrap::errorCount(display) == errorsBefore;
}

void X11Frame::invalidRect(const CRect& rect)
{
    if (rect.isEmpty())
        return;
    if (hasInvalid)
    {
        invalid.unite(rect);
    }
    else
    {
        invalid = rect;
        hasInvalid = true;
    }
}

void X11Frame::processEvents()
{
    if (!display)
        return;
    if (xdnd)
        xdnd->checkTimeout();
    while (XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        handleEvent(event);
    }
    if (hasInvalid && alive && !drawing)
        redraw();
    XFlush(display);
}

void X11Frame::handleEvent(XEvent& event)
{
    if (xdnd && xdnd->handleEvent(event))
        return;
    if (event.xany.window != window)
        return;
    switch (event.type)
    {
    case Expose:
        invalidRect(CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                          event.xexpose.y + event.xexpose.height));
        break;
    case ButtonPress:
        onButtonPress(event.xbutton);
        break;
    case ButtonRelease:
        onButtonRelease(event.xbutton);
        break;
    case MotionNotify:
    {
        // Only the newest of a run of motions matters; later events keep their order.
        XEvent next;
        while (XEventsQueued(display, QueuedAlready) > 0)
        {
            XPeekEvent(display, &next);
            if (next.type != MotionNotify || next.xmotion.window != window)
                break;
            XNextEvent(display, &event);
        }
        CPoint where(event.xmotion.x, event.xmotion.y);
        if (callbacks)
            callbacks->platformOnMouseMoved(where, CButtonState(buttonsFromState(event.xmotion.state)));
        break;
    }
    case LeaveNotify:
    {
        // While a button is held the pointer stays ours (implicit grab): the
        // exit waits for the release.
        if (event.xcrossing.mode != NotifyNormal && event.xcrossing.mode != NotifyUngrab)
            break;
        if (event.xcrossing.state & kHeldButtons)
        {
            exitPending = true;
            break;
        }
        exitPending = false;
        if (callbacks)
        {
            CPoint where(event.xcrossing.x, event.xcrossing.y);
            callbacks->platformOnMouseExited(where, CButtonState(buttonsFromState(event.xcrossing.state)));
        }
        break;
    }
    case EnterNotify:
        exitPending = false;
        break;
    case KeyPress:
    case KeyRelease:
    {
        VstKeyCode key = keyCodeFor(event.xkey);
        if (callbacks)
        {
            if (event.type == KeyPress)
                callbacks->platformOnKeyDown(key);
            else
                callbacks->platformOnKeyUp(key);
        }
        break;
    }
    case ConfigureNotify:
        if (event.xconfigure.width != width || event.xconfigure.height != height)
        {
            width = std::max(1, event.xconfigure.width);
            height = std::max(1, event.xconfigure.height);
            if (surface)
                cairo_xlib_surface_set_size(surface, width, height);
            if (xdnd)
                xdnd->setWindowSize(width, height);
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window)
            alive = false;
        break;
    default: break;
    }
}

void X11Frame::onButtonPress(XButtonEvent& event)
{
    if (!callbacks)
        return;
    CPoint where(event.x, event.y);
    if (event.button == Button4 || event.button == Button5)
    {
        callbacks->platformOnMouseWheel(where, event.button == Button4 ? 1.f : -1.f,
                                        CButtonState(buttonsFromState(event.state)));
        return;
    }
    int32_t bit = buttonBit(event.button);
    if (!bit)
        return; // horizontal wheel (6, 7) and unknown buttons
    int32_t state = bit | modifiersFromState(event.state);
    const unsigned long elapsed = static_cast<unsigned long>(event.time - lastPressTime) & 0xffffffffUL;
    if (event.button == lastPressButton && elapsed <= kDoubleClickTime &&
        std::abs(event.x - lastPressX) <= kDoubleClickDistance && std::abs(event.y - lastPressY) <= kDoubleClickDistance)
    {
        state |= kDoubleClick;
        lastPressButton = 0; // a third click starts over
    }
    else
    {
        lastPressButton = event.button;
    }
    lastPressTime = event.time;
    lastPressX = event.x;
    lastPressY = event.y;
    callbacks->platformOnMouseDown(where, CButtonState(state));
}

void X11Frame::onButtonRelease(XButtonEvent& event)
{
    int32_t bit = buttonBit(event.button);
    if (!bit || !callbacks)
        return;
    CPoint where(event.x, event.y);
    callbacks->platformOnMouseUp(where, CButtonState(bit | modifiersFromState(event.state)));

    // The state still has the released button.
    const unsigned int stillHeld = event.state & kHeldButtons & ~(Button1Mask << (event.button - 1));
    const bool outside = event.x < 0 || event.y < 0 || event.x >= width || event.y >= height;
    if (exitPending && !stillHeld && outside)
    {
        exitPending = false;
        CPoint exitWhere(event.x, event.y);
        callbacks->platformOnMouseExited(exitWhere, CButtonState(modifiersFromState(event.state)));
    }
}

void X11Frame::redraw()
{
    CRect area = invalid;
    hasInvalid = false;
    invalid = CRect();
    area.bound(CRect(0, 0, width, height));
    if (area.isEmpty() || !callbacks || !surface)
        return;
    // Whole pixels, so the copy to the window covers every touched one.
    area = CRect(std::floor(area.left), std::floor(area.top), std::ceil(area.right), std::ceil(area.bottom));

    drawing = true;
    // Drawn into an image first, so the window never shows half a frame; and
    // text never goes to the X surface, whose glyph caches cairo keeps for
    // every display ever opened.
    const int x = (int)area.left, y = (int)area.top;
    const int w = (int)area.getWidth(), h = (int)area.getHeight();
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* offscreen = cairo_create(image);
    cairo_translate(offscreen, -x, -y);
    CDrawContext* context = new CDrawContext(offscreen, CRect(0, 0, width, height));
    callbacks->platformDrawRect(context, area);
    context->forget();
    cairo_destroy(offscreen);
    cairo_surface_flush(image);

    cairo_t* cr = cairo_create(surface);
    cairo_set_source_surface(cr, image, x, y);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(image);
    cairo_surface_flush(surface);
    drawing = false;
}

bool X11Frame::queryPointer(Window relativeTo, int& x, int& y, unsigned int& mask) const
{
    if (!display || !relativeTo)
        return false;
    Window rootReturn = 0, childReturn = 0;
    int rootX = 0, rootY = 0;
    return XQueryPointer(display, relativeTo, &rootReturn, &childReturn, &rootX, &rootY, &x, &y, &mask);
}

bool X11Frame::getCurrentMousePosition(CPoint& where) const
{
    int x = 0, y = 0;
    unsigned int mask = 0;
    if (!alive || !queryPointer(window, x, y, mask))
        return false;
    where = CPoint(x, y);
    return true;
}

bool X11Frame::getCurrentMouseButtons(CButtonState& buttons) const
{
    int x = 0, y = 0;
    unsigned int mask = 0;
    // The buttons are the pointer's, window or not: loops waiting for a
    // release (dragging) must still see it after the host took our window.
    if (!queryPointer(alive ? window : root, x, y, mask))
        return false;
    buttons = CButtonState(buttonsFromState(mask));
    return true;
}

void X11Frame::setMouseCursor(CCursorType type)
{
    if (!display || !alive)
        return;
    if (type == kCursorDefault || type < 0 || type >= kCursorCount)
    {
        XUndefineCursor(display, window); // the host's cursor
    }
    else
    {
        Cursor& cursor = cursors[type];
        if (!cursor)
            cursor = XCreateFontCursor(display, cursorShape(type));
        XDefineCursor(display, window, cursor);
    }
    XFlush(display);
}

bool X11Frame::setSize(const CRect& size)
{
    if (!display || !alive)
        return false;
    width = std::max(1, static_cast<int>(std::lround(size.getWidth())));
    height = std::max(1, static_cast<int>(std::lround(size.getHeight())));
    XResizeWindow(display, window, static_cast<unsigned int>(width), static_cast<unsigned int>(height));
    if (surface)
        cairo_xlib_surface_set_size(surface, width, height);
    if (xdnd)
        xdnd->setWindowSize(width, height);
    invalidRect(CRect(0, 0, width, height));
    XFlush(display);
    return true;
}

CDrawContext* X11Frame::createDrawContext()
{
    if (!display || !alive || !surface)
        return nullptr;
    cairo_t* cr = cairo_create(surface);
    CDrawContext* context = new CDrawContext(cr, CRect(0, 0, width, height));
    cairo_destroy(cr);
    return context;
}

IPlatformFrame* createX11Frame(IPlatformFrameCallbacks* callbacks, const CRect& size, unsigned long parentWindow)
{
    auto frame = std::make_unique<X11Frame>(callbacks);
    if (!frame->open(size, parentWindow))
        return nullptr;
    return frame.release();
}

} // namespace VSTGUI
