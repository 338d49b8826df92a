#include "vstgui/CFrame.h"

#include "vstgui/CVSTGUITimer.h"
#include "vstgui/OffscreenFrame.h"
#include "vstgui/VSTGUIEditorInterface.h"
#include "vstgui/x11/X11Frame.h"

#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace VSTGUI {

CFrame::CFrame(const CRect& r, VSTGUIEditorInterface* ed) : CViewContainer(CRect(0, 0, r.getWidth(), r.getHeight())), editor(ed)
{
    frame = this;
}

CFrame::~CFrame()
{
    close();
    removeAll(true);
    frame = nullptr;
}

bool CFrame::open(void* parent, PlatformType type)
{
    if (platform)
        return false;
    if (type == PlatformType::kOffscreen)
        platform = offscreen = new OffscreenFrame(this, size);
    else
        platform = createX11Frame(this, size, static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent)));
    if (!platform)
        return false;
    cursor = kCursorDefault;
    invalid();
    return true;
}

void CFrame::close()
{
    if (drag.active)
        finishDrag(drag.position, false);
    delete platform;
    platform = nullptr;
    offscreen = nullptr;
}

bool CFrame::idle()
{
    CVSTGUITimer::fireDueTimers();
    if (!platform)
        return false;
    platform->processEvents();
    return true;
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode)
{
    if (focusView)
    {
        SharedPointer<CView> keep(focusView);
        const int32_t result = focusView->onKeyDown(keyCode);
        if (result != -1)
            return result;
    }
    return CViewContainer::onKeyDown(keyCode);
}

int32_t CFrame::onKeyUp(VstKeyCode& keyCode)
{
    if (focusView)
    {
        SharedPointer<CView> keep(focusView);
        const int32_t result = focusView->onKeyUp(keyCode);
        if (result != -1)
            return result;
    }
    return CViewContainer::onKeyUp(keyCode);
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons)
{
    return CViewContainer::onWheel(where, distance, buttons);
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const
{
    return platform && platform->getCurrentMousePosition(where);
}

CButtonState CFrame::getCurrentMouseButtons() const
{
    CButtonState buttons;
    if (platform)
        platform->getCurrentMouseButtons(buttons);
    return buttons;
}

CDrawContext* CFrame::createDrawContext() { return platform ? platform->createDrawContext() : nullptr; }

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect)
{
    CRect clip(updateRect);
    clip.bound(size);
    if (clip.isEmpty())
        return;
    context->saveGlobalState();
    context->setOffset(CPoint());
    context->setClipRect(clip);
    CViewContainer::drawRect(context, clip);
    context->restoreGlobalState();
}

void CFrame::invalidRect(const CRect& rect)
{
    CRect r(rect);
    r.normalize();
    r.bound(size);
    if (platform && !r.isEmpty())
        platform->invalidRect(r);
}

void CFrame::setCursor(CCursorType type)
{
    if (!platform || type == cursor)
        return;
    cursor = type;
    platform->setMouseCursor(type);
}

bool CFrame::setSize(CCoord width, CCoord height)
{
    const CRect newSize(0, 0, width, height);
    if (newSize == size)
        return true;
    if (editor && !editor->beforeSizeChange(newSize, size))
        return false;
    if (platform && !platform->setSize(newSize))
        return false;
    setViewSize(newSize, false);
    invalid();
    return true;
}

void CFrame::setFocusView(CView* view)
{
    if (view == focusView)
        return;
    CView* old = focusView;
    focusView = view;
    if (old)
        old->looseFocus();
    if (view)
        view->takeFocus();
}

bool CFrame::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CFrame") == 0 || CViewContainer::isTypeOf(name);
}

// ---- in-frame drag and drop ----

DragResult CFrame::doDrag(IDataPackage* source, const CPoint& offset, CBitmap* dragBitmap)
{
    if (!source || !platform || drag.active)
        return kDragError;
    drag.active = true;
    drag.inside = false;
    drag.data.reset(source);
    drag.bitmap.reset(dragBitmap);
    drag.offset = offset;
    lastDragResult = kDragRefused;
    CPoint where;
    getCurrentMouseLocation(where);
    dragTo(where);
    if (offscreen)
        return kDragRefused;
    // The window's own events move the drag: run them here until the button goes up.
    SharedPointer<CFrame> keep(this);
    while (drag.active && platform)
    {
        CVSTGUITimer::fireDueTimers();
        platform->processEvents();
        CButtonState buttons;
        if (drag.active && platform && platform->getCurrentMouseButtons(buttons) && buttons.getButtonState() == 0)
        {
            getCurrentMouseLocation(where);
            finishDrag(where, true);
        }
        if (drag.active)
            usleep(10000);
    }
    return lastDragResult;
}

CRect CFrame::dragBitmapRect() const
{
    if (!drag.bitmap)
        return CRect();
    CRect r(0, 0, drag.bitmap->getWidth(), drag.bitmap->getHeight());
    r.offset(drag.position + drag.offset);
    return r;
}

bool CFrame::hasTargetAt(const CPoint& where) const { return mouseTargetAt(where) != nullptr; }

void CFrame::dragTo(const CPoint& where)
{
    invalidRect(dragBitmapRect());
    drag.position = where;
    invalidRect(dragBitmapRect());
    if (!drag.inside)
    {
        drag.inside = true;
        onDragEnter(drag.data.get(), where);
    }
    else
        onDragMove(drag.data.get(), where);
    setCursor(hasTargetAt(where) ? kCursorCopy : kCursorNotAllowed);
}

void CFrame::finishDrag(const CPoint& where, bool dropIt)
{
    SharedPointer<IDataPackage> data = drag.data;
    invalidRect(dragBitmapRect());
    drag.active = false;
    bool accepted = false;
    if (dropIt)
        accepted = onDrop(data.get(), where);
    else if (drag.inside)
        onDragLeave(data.get(), where);
    drag = DragSession();
    lastDragResult = accepted ? kDragCopied : kDragRefused;
    setCursor(kCursorDefault);
    // The button went up inside the drag: the view that started it gets no mouse-up.
    releaseMouseCapture();
}

// ---- platform callbacks ----

void CFrame::platformDrawRect(CDrawContext* context, const CRect& rect)
{
    drawRect(context, rect);
    if (drag.active && drag.bitmap)
    {
        context->saveGlobalState();
        context->setOffset(CPoint());
        CRect clip(rect);
        clip.bound(size);
        context->setClipRect(clip);
        drag.bitmap->draw(context, dragBitmapRect(), CPoint(), 0.7f);
        context->restoreGlobalState();
    }
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (drag.active)
        return kMouseEventHandled;
    SharedPointer<CFrame> keep(this);
    return onMouseDown(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (drag.active)
    {
        dragTo(where);
        return kMouseEventHandled;
    }
    SharedPointer<CFrame> keep(this);
    return onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint& where, const CButtonState& buttons)
{
    if (drag.active)
    {
        finishDrag(where, true);
        return kMouseEventHandled;
    }
    SharedPointer<CFrame> keep(this);
    return onMouseUp(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseExited(CPoint& where, const CButtonState& buttons)
{
    if (drag.active)
    {
        if (drag.inside)
            onDragLeave(drag.data.get(), where);
        drag.inside = false;
        return kMouseEventHandled;
    }
    return onMouseExited(where, buttons);
}

bool CFrame::platformOnMouseWheel(const CPoint& where, float distance, const CButtonState& buttons)
{
    SharedPointer<CFrame> keep(this);
    return onWheel(where, distance, buttons);
}

int32_t CFrame::platformOnKeyDown(VstKeyCode& key)
{
    SharedPointer<CFrame> keep(this);
    return onKeyDown(key);
}

int32_t CFrame::platformOnKeyUp(VstKeyCode& key)
{
    SharedPointer<CFrame> keep(this);
    return onKeyUp(key);
}

bool CFrame::platformOnDragEnter(IDataPackage* data, const CPoint& where)
{
    onDragEnter(data, where);
    return hasTargetAt(where);
}

bool CFrame::platformOnDragMove(IDataPackage* data, const CPoint& where)
{
    onDragMove(data, where);
    return hasTargetAt(where);
}

void CFrame::platformOnDragLeave(IDataPackage* data, const CPoint& where) { onDragLeave(data, where); }

bool CFrame::platformOnDrop(IDataPackage* data, const CPoint& where)
{
    SharedPointer<CFrame> keep(this);
    return onDrop(data, where);
}

} // namespace VSTGUI
