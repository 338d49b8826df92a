#include "vstgui/CSlider.h"

#include "vstgui/CDrawContext.h"

#include <algorithm>
#include <cstring>

namespace VSTGUI {

CSliderBase::CSliderBase(const CRect& size, IControlListener* l, int32_t t, int32_t iMinPos, int32_t iMaxPos,
                         CBitmap* h, CBitmap* bg, const CPoint& off, int32_t s)
    : CControl(size, l, t, bg), minPos(iMinPos), maxPos(iMaxPos), offset(off), style(s)
{
    setHandle(h);
}

CSliderBase::~CSliderBase()
{
    if (handle)
        handle->forget();
}

void CSliderBase::setHandle(CBitmap* h)
{
    if (h)
        h->remember();
    if (handle)
        handle->forget();
    handle = h;
    setDirty(true);
}

bool CSliderBase::inverted() const { return horizontal() ? (style & kRight) != 0 : (style & kTop) == 0; }

CPoint CSliderBase::handleSize() const
{
    if (handle && handle->isLoaded())
        return CPoint(handle->getWidth(), handle->getHeight());
    // Without a bitmap the handle is a small bar across the slider.
    return horizontal() ? CPoint(8, size.getHeight()) : CPoint(size.getWidth(), 8);
}

CCoord CSliderBase::handlePosition() const
{
    const float v = inverted() ? 1.f - getValueNormalized() : getValueNormalized();
    return minPos + v * (maxPos - minPos);
}

CRect CSliderBase::getHandleRect() const
{
    const CPoint hs = handleSize();
    const CCoord pos = handlePosition();
    if (horizontal())
        return CRect(CPoint(size.left + pos, size.top + (size.getHeight() - hs.y) / 2), hs);
    return CRect(CPoint(size.left + (size.getWidth() - hs.x) / 2, size.top + pos), hs);
}

void CSliderBase::draw(CDrawContext* context)
{
    if (background)
        background->draw(context, size, offset);
    const CRect h = getHandleRect();
    if (handle && handle->isLoaded())
        handle->draw(context, h);
    else
    {
        context->setFillColor(kGreyCColor);
        context->drawRect(h, kDrawFilled);
    }
    setDirty(false);
}

void CSliderBase::moveHandleTo(CCoord position)
{
    const CCoord lo = std::min(minPos, maxPos), hi = std::max(minPos, maxPos);
    dragHandlePos = std::clamp(position, lo, hi);
    float v = maxPos == minPos ? 0.f : static_cast<float>((dragHandlePos - minPos) / (maxPos - minPos));
    if (inverted())
        v = 1.f - v;
    const float old = value;
    setValueNormalized(v);
    if (value != old)
        valueChanged();
}

CMouseEventResult CSliderBase::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    if (buttons & kDefaultValueModifier)
    {
        beginEdit();
        setValue(getDefaultValue());
        valueChanged();
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    const CRect h = getHandleRect();
    const CCoord pos = axis(where);
    const CCoord handleLength = horizontal() ? h.getWidth() : h.getHeight();
    // Grabbing the handle keeps it under the pointer; elsewhere it jumps centred to it.
    grab = h.pointInside(where) ? pos - handlePosition() : handleLength / 2;
    lastPos = pos;
    dragHandlePos = handlePosition();
    dragging = true;
    beginEdit();
    moveHandleTo(pos - grab);
    return kMouseEventHandled;
}

CMouseEventResult CSliderBase::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!dragging)
        return kMouseEventNotHandled;
    const CCoord pos = axis(where);
    if (buttons & kZoomModifier)
    {
        moveHandleTo(dragHandlePos + (pos - lastPos) / zoomFactor);
        grab = pos - dragHandlePos;
    }
    else
        moveHandleTo(pos - grab);
    lastPos = pos;
    return kMouseEventHandled;
}

CMouseEventResult CSliderBase::onMouseUp(CPoint&, const CButtonState&)
{
    if (!dragging)
        return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

bool CSliderBase::onWheel(const CPoint&, const float& distance, const CButtonState& buttons)
{
    return wheelStep(distance * wheelInc, zoomFactor, buttons);
}

bool CSliderBase::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CSlider") == 0 || CControl::isTypeOf(name);
}

CHorizontalSlider::CHorizontalSlider(const CRect& size, IControlListener* l, int32_t t, int32_t iMinPos,
                                     int32_t iMaxPos, CBitmap* h, CBitmap* bg, const CPoint& off, const int32_t s)
    : CSliderBase(size, l, t, iMinPos, iMaxPos, h, bg, off, (s & ~kVertical) | kHorizontal)
{
}

CVerticalSlider::CVerticalSlider(const CRect& size, IControlListener* l, int32_t t, int32_t iMinPos, int32_t iMaxPos,
                                 CBitmap* h, CBitmap* bg, const CPoint& off, const int32_t s)
    : CSliderBase(size, l, t, iMinPos, iMaxPos, h, bg, off, (s & ~kHorizontal) | kVertical)
{
}

} // namespace VSTGUI
