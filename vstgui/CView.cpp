#include "vstgui/CView.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"

#include <cstring>

namespace VSTGUI {

CView::CView(const CRect& r) : size(r), mouseableArea(r) {}

CView::~CView()
{
    if (background)
        background->forget();
}

void CView::draw(CDrawContext* context)
{
    if (background)
        background->draw(context, size);
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) { draw(context); }

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, const float&, const CButtonState&) { return false; }
int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

bool CView::onDrop(IDataPackage*, const CPoint&) { return false; }
void CView::onDragEnter(IDataPackage*, const CPoint&) {}
void CView::onDragLeave(IDataPackage*, const CPoint&) {}
void CView::onDragMove(IDataPackage*, const CPoint&) {}

DragResult CView::doDrag(IDataPackage* source, const CPoint& offset, CBitmap* dragBitmap)
{
    return frame ? frame->doDrag(source, offset, dragBitmap) : kDragError;
}

void CView::setDirty(bool state)
{
    dirty = state;
    if (state)
        invalid();
}

void CView::invalidRect(const CRect& rect)
{
    if (!frame || !parentView || !visible)
        return;
    CPoint topLeft = rect.getTopLeft();
    parentView->localToFrame(topLeft);
    frame->invalidRect(CRect(topLeft, rect.getSize()));
}

void CView::setViewSize(const CRect& rect, bool invalidate)
{
    if (rect == size)
        return;
    if (invalidate)
        invalid();
    if (mouseableArea == size)
        mouseableArea = rect;
    else
        mouseableArea.offset(rect.getTopLeft() - size.getTopLeft());
    size = rect;
    if (invalidate)
        invalid();
}

void CView::setVisible(bool state)
{
    if (state == visible)
        return;
    if (visible)
        invalid();
    visible = state;
    if (visible)
        invalid();
}

void CView::setBackground(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (background)
        background->forget();
    background = bitmap;
    setDirty(true);
}

CPoint& CView::localToFrame(CPoint& point) const { return parentView ? parentView->localToFrame(point) : point; }

CPoint& CView::frameToLocal(CPoint& point) const { return parentView ? parentView->frameToLocal(point) : point; }

bool CView::attached(CView* parent)
{
    if (frame)
        return false;
    parentView = parent;
    frame = parent ? parent->getFrame() : nullptr;
    return true;
}

bool CView::removed(CView* /*parent*/)
{
    if (!frame)
        return false;
    if (frame->getFocusView() == this)
        frame->setFocusView(nullptr);
    frame = nullptr;
    return true;
}

bool CView::isTypeOf(const char* name) const { return std::strcmp(name, "CView") == 0; }

} // namespace VSTGUI
