#include "vstgui/CViewContainer.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"

#include <algorithm>
#include <cstring>

namespace VSTGUI {

namespace {
// Handlers may remove views from the container; keep those being called alive.
using ViewRef = SharedPointer<CView>;
} // namespace

CViewContainer::CViewContainer(const CRect& r) : CView(r) {}

CViewContainer::~CViewContainer() { removeAll(true); }

bool CViewContainer::addView(CView* view) { return addView(view, nullptr); }

bool CViewContainer::addView(CView* view, CView* before)
{
    if (!view || view == this || isChild(view))
        return false;
    auto pos = before ? std::find(children.begin(), children.end(), before) : children.end();
    children.insert(pos, view);
    view->parentView = this;
    if (isAttached())
    {
        view->attached(this);
        view->invalid();
    }
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget)
{
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end())
        return false;
    view->invalid();
    children.erase(it);
    if (mouseDownView == view)
        mouseDownView = nullptr;
    if (mouseOverView == view)
        mouseOverView = nullptr;
    if (dragView == view)
        dragView = nullptr;
    if (view->isAttached())
        view->removed(this);
    view->parentView = nullptr;
    if (withForget)
        view->forget();
    return true;
}

bool CViewContainer::removeAll(bool withForget)
{
    while (!children.empty())
        removeView(children.back(), withForget);
    return true;
}

bool CViewContainer::isChild(CView* view) const
{
    return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int32_t index) const
{
    return index >= 0 && index < getNbViews() ? children[static_cast<size_t>(index)] : nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where) const
{
    const CPoint local = where - size.getTopLeft();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if ((*it)->isVisible() && (*it)->getViewSize().pointInside(local))
            return *it;
    return nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& color)
{
    if (color == backgroundColor)
        return;
    backgroundColor = color;
    setDirty(true);
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, size); }

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& updateRect)
{
    if (getTransparency())
        return;
    if (background)
    {
        CRect dest(updateRect);
        CPoint offset = updateRect.getTopLeft() - size.getTopLeft() + backgroundOffset;
        background->draw(context, dest, offset);
    }
    else if (backgroundColor.alpha > 0)
    {
        context->setFillColor(backgroundColor);
        context->drawRect(updateRect, kDrawFilled);
    }
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect)
{
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip(size);
    clip.bound(updateRect);
    clip.bound(oldClip);
    if (clip.isEmpty())
        return;
    const CPoint oldOffset = context->getOffset();
    context->setClipRect(clip);
    drawBackgroundRect(context, clip);

    const CPoint origin = size.getTopLeft();
    context->setOffset(oldOffset + origin);
    CRect localClip(clip);
    localClip.offset(-origin.x, -origin.y);
    const std::vector<CView*> snapshot(children);
    for (CView* child : snapshot)
    {
        if (!child->isVisible())
            continue;
        CRect childClip(child->getViewSize());
        childClip.bound(localClip);
        if (childClip.isEmpty())
            continue;
        ViewRef keep(child);
        context->setClipRect(childClip);
        child->drawRect(context, childClip);
        child->dirty = false;
    }
    context->setOffset(oldOffset);
    context->setClipRect(oldClip);
    dirty = false;
}

namespace {

// A child the mouse reaches at `local`, in the container's coordinates.
bool takesMouseAt(const CView* v, const CPoint& local)
{
    return v->isVisible() && v->getMouseEnabled() && v->getMouseableArea().pointInside(local);
}

} // namespace

CView* CViewContainer::mouseTargetAt(const CPoint& local) const
{
    for (auto it = children.rbegin(); it != children.rend(); ++it)
    {
        CView* v = *it;
        if (takesMouseAt(v, local))
            return v;
    }
    return nullptr;
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    const CPoint local = where - size.getTopLeft();
    mouseDownView = nullptr;
    const std::vector<CView*> snapshot(children);
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
    {
        CView* v = *it;
        if (!isChild(v) || !takesMouseAt(v, local))
            continue;
        ViewRef keep(v);
        CPoint p(local);
        const CMouseEventResult result = v->onMouseDown(p, buttons);
        if (result == kMouseEventHandled)
        {
            if (isChild(v))
                mouseDownView = v;
            return result;
        }
        if (result == kMouseDownEventHandledButDontNeedMovedOrUpEvents)
            return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    const CPoint local = where - size.getTopLeft();
    CMouseEventResult result = kMouseEventNotHandled;
    if (mouseDownView)
    {
        ViewRef keep(mouseDownView);
        mouseDownView = nullptr;
        CPoint p(local);
        result = keep->onMouseUp(p, buttons);
    }
    updateHover(local, buttons);
    return result;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    const CPoint local = where - size.getTopLeft();
    if (mouseDownView)
    {
        ViewRef keep(mouseDownView);
        CPoint p(local);
        const CMouseEventResult result = keep->onMouseMoved(p, buttons);
        if (result == kMouseMoveEventHandledButDontNeedMoreEvents && mouseDownView == keep.get())
            mouseDownView = nullptr;
        return result;
    }
    updateHover(local, buttons);
    if (mouseOverView)
    {
        ViewRef keep(mouseOverView);
        CPoint p(local);
        const CMouseEventResult result = keep->onMouseMoved(p, buttons);
        if (result != kMouseEventNotImplemented)
            return result;
    }
    return kMouseEventNotHandled;
}

void CViewContainer::updateHover(const CPoint& local, const CButtonState& buttons)
{
    CView* target = mouseTargetAt(local);
    if (target == mouseOverView)
        return;
    if (mouseOverView)
    {
        ViewRef keep(mouseOverView);
        mouseOverView = nullptr;
        CPoint p(local);
        keep->onMouseExited(p, buttons);
    }
    if (target && isChild(target))
    {
        ViewRef keep(target);
        mouseOverView = target;
        CPoint p(local);
        target->onMouseEntered(p, buttons);
    }
}

CMouseEventResult CViewContainer::onMouseExited(CPoint& where, const CButtonState& buttons)
{
    if (mouseOverView)
    {
        ViewRef keep(mouseOverView);
        mouseOverView = nullptr;
        CPoint p = where - size.getTopLeft();
        keep->onMouseExited(p, buttons);
    }
    return kMouseEventHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons)
{
    const CPoint local = where - size.getTopLeft();
    const std::vector<CView*> snapshot(children);
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
    {
        CView* v = *it;
        if (!isChild(v) || !takesMouseAt(v, local))
            continue;
        ViewRef keep(v);
        if (v->onWheel(local, distance, buttons))
            return true;
    }
    return false;
}

int32_t CViewContainer::onKeyDown(VstKeyCode& keyCode) { return dispatchKey(keyCode, &CView::onKeyDown); }

int32_t CViewContainer::onKeyUp(VstKeyCode& keyCode) { return dispatchKey(keyCode, &CView::onKeyUp); }

int32_t CViewContainer::dispatchKey(VstKeyCode& keyCode, int32_t (CView::*handler)(VstKeyCode&))
{
    const std::vector<CView*> snapshot(children);
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
    {
        // The frame already asked the focus view.
        if (!isChild(*it) || !(*it)->isVisible() || (frame && frame->getFocusView() == *it))
            continue;
        ViewRef keep(*it);
        const int32_t result = ((*it)->*handler)(keyCode);
        if (result != -1)
            return result;
    }
    return -1;
}

void CViewContainer::onDragEnter(IDataPackage* drag, const CPoint& where)
{
    const CPoint local = where - size.getTopLeft();
    dragView = mouseTargetAt(local);
    if (dragView)
    {
        ViewRef keep(dragView);
        dragView->onDragEnter(drag, local);
    }
}

void CViewContainer::onDragMove(IDataPackage* drag, const CPoint& where)
{
    const CPoint local = where - size.getTopLeft();
    CView* target = mouseTargetAt(local);
    if (target == dragView)
    {
        if (dragView)
        {
            ViewRef keep(dragView);
            dragView->onDragMove(drag, local);
        }
        return;
    }
    if (dragView)
    {
        ViewRef keep(dragView);
        dragView = nullptr;
        keep->onDragLeave(drag, local);
    }
    if (target && isChild(target))
    {
        ViewRef keep(target);
        dragView = target;
        target->onDragEnter(drag, local);
    }
}

void CViewContainer::onDragLeave(IDataPackage* drag, const CPoint& where)
{
    if (!dragView)
        return;
    ViewRef keep(dragView);
    dragView = nullptr;
    keep->onDragLeave(drag, where - size.getTopLeft());
}

bool CViewContainer::onDrop(IDataPackage* drag, const CPoint& where)
{
    const CPoint local = where - size.getTopLeft();
    CView* target = mouseTargetAt(local);
    if (dragView && dragView != target)
    {
        ViewRef keep(dragView);
        dragView = nullptr;
        keep->onDragLeave(drag, local);
    }
    dragView = nullptr;
    if (!target)
        return false;
    ViewRef keep(target);
    return target->onDrop(drag, local);
}

CPoint& CViewContainer::localToFrame(CPoint& point) const
{
    point += size.getTopLeft();
    return CView::localToFrame(point);
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const
{
    CView::frameToLocal(point);
    return point -= size.getTopLeft();
}

bool CViewContainer::attached(CView* parent)
{
    if (!CView::attached(parent))
        return false;
    const std::vector<CView*> snapshot(children);
    for (CView* child : snapshot)
        child->attached(this);
    return true;
}

bool CViewContainer::removed(CView* parent)
{
    if (!isAttached())
        return false;
    mouseDownView = mouseOverView = dragView = nullptr;
    const std::vector<CView*> snapshot(children);
    for (CView* child : snapshot)
        child->removed(this);
    return CView::removed(parent);
}

bool CViewContainer::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CViewContainer") == 0 || CView::isTypeOf(name);
}

void CViewContainer::releaseMouseCapture()
{
    if (auto* container = dynamic_cast<CViewContainer*>(mouseDownView))
        container->releaseMouseCapture();
    mouseDownView = nullptr;
}

} // namespace VSTGUI
