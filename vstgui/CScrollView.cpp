#include "vstgui/CScrollView.h"

#include "vstgui/CDrawContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace VSTGUI {

// ---- CScrollbar ----

CScrollbar::CScrollbar(const CRect& size, IControlListener* l, int32_t t, ScrollbarDirection dir, const CRect& ss)
    : CControl(size, l, t), direction(dir), scrollSize(ss)
{
    visibleSize = dir == kVertical ? size.getHeight() : size.getWidth();
}

void CScrollbar::setScrollSize(const CRect& rect)
{
    scrollSize = rect;
    setDirty(true);
}

void CScrollbar::setVisibleSize(CCoord extent)
{
    visibleSize = extent;
    setDirty(true);
}

void CScrollbar::setFrameColor(const CColor& c)
{
    frameColor = c;
    setDirty(true);
}

void CScrollbar::setScrollerColor(const CColor& c)
{
    scrollerColor = c;
    setDirty(true);
}

void CScrollbar::setBackgroundColor(const CColor& c)
{
    backgroundColor = c;
    setDirty(true);
}

CCoord CScrollbar::totalExtent() const
{
    return direction == kVertical ? scrollSize.getHeight() : scrollSize.getWidth();
}

CRect CScrollbar::track() const
{
    CRect t(size);
    t.inset(1, 1);
    return t;
}

CRect CScrollbar::getScrollerRect() const
{
    const CCoord total = totalExtent();
    if (total <= visibleSize || visibleSize <= 0)
        return CRect();
    const CRect t = track();
    const CCoord trackLength = direction == kVertical ? t.getHeight() : t.getWidth();
    const CCoord length = std::max(std::min(trackLength, 12.0), trackLength * visibleSize / total);
    const CCoord start = getValueNormalized() * (trackLength - length);
    if (direction == kVertical)
        return CRect(t.left, t.top + start, t.right, t.top + start + length);
    return CRect(t.left + start, t.top, t.left + start + length, t.bottom);
}

void CScrollbar::draw(CDrawContext* context)
{
    context->setFillColor(backgroundColor);
    context->drawRect(size, kDrawFilled);
    const CRect scroller = getScrollerRect();
    if (!scroller.isEmpty())
    {
        CGraphicsPath* path = context->createRoundRectGraphicsPath(scroller, 3);
        context->setFillColor(scrollerColor);
        context->drawGraphicsPath(path, CDrawContext::kPathFilled);
        path->forget();
    }
    context->setLineWidth(1);
    context->setFrameColor(frameColor);
    context->drawRect(size, kDrawStroked);
    setDirty(false);
}

void CScrollbar::scrollBy(CCoord pixels)
{
    const CCoord range = totalExtent() - visibleSize;
    if (range <= 0)
        return;
    setValueNormalized(getValueNormalized() + static_cast<float>(pixels / range));
    valueChanged();
}

CMouseEventResult CScrollbar::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    const CRect scroller = getScrollerRect();
    if (scroller.isEmpty())
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (scroller.pointInside(where))
    {
        dragging = true;
        grab = along(where) - along(scroller.getTopLeft());
        return kMouseEventHandled;
    }
    // A click beside the scroller pages towards the click.
    scrollBy(along(where) < along(scroller.getTopLeft()) ? -visibleSize : visibleSize);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CScrollbar::onMouseMoved(CPoint& where, const CButtonState&)
{
    if (!dragging)
        return kMouseEventNotHandled;
    const CRect t = track();
    const CRect scroller = getScrollerRect();
    const CCoord free = direction == kVertical ? t.getHeight() - scroller.getHeight() : t.getWidth() - scroller.getWidth();
    if (free > 0)
    {
        const CCoord start = along(where) - grab - along(t.getTopLeft());
        const float old = value;
        setValueNormalized(static_cast<float>(start / free));
        if (value != old)
            valueChanged();
    }
    return kMouseEventHandled;
}

CMouseEventResult CScrollbar::onMouseUp(CPoint&, const CButtonState&)
{
    dragging = false;
    return kMouseEventHandled;
}

bool CScrollbar::onWheel(const CPoint&, const float& distance, const CButtonState&)
{
    if (totalExtent() <= visibleSize)
        return false;
    scrollBy(-distance * wheelStep);
    return true;
}

// ---- CScrollView ----

CScrollView::CScrollView(const CRect& size, const CRect& cs, int32_t st, CCoord sbw, CBitmap* bg)
    : CViewContainer(size), containerSize(cs), style(st), scrollbarWidth(sbw)
{
    if (bg)
        setBackground(bg);
    clipView = new CViewContainer(CRect());
    clipView->setTransparency(true);
    content = new CViewContainer(CRect(0, 0, cs.getWidth(), cs.getHeight()));
    content->setTransparency(true);
    clipView->addView(content);
    CViewContainer::addView(clipView, nullptr);
    if (style & kVerticalScrollbar)
    {
        vsb = new CScrollbar(CRect(), this, 0, CScrollbar::kVertical, cs);
        CViewContainer::addView(vsb, nullptr);
    }
    if (style & kHorizontalScrollbar)
    {
        hsb = new CScrollbar(CRect(), this, 0, CScrollbar::kHorizontal, cs);
        CViewContainer::addView(hsb, nullptr);
    }
    layout();
}

void CScrollView::layout()
{
    const CCoord w = size.getWidth(), h = size.getHeight();
    CRect area(0, 0, w, h);
    const bool overlay = (style & kOverlayScrollbars) != 0;
    const bool autoHide = (style & kAutoHideScrollbars) != 0;
    const bool showV = vsb && (!autoHide || containerSize.getHeight() > h);
    const bool showH = hsb && (!autoHide || containerSize.getWidth() > w);
    if (showV && !overlay)
        area.right -= scrollbarWidth;
    if (showH && !overlay)
        area.bottom -= scrollbarWidth;
    clipView->setViewSize(area);
    clipView->setMouseableArea(area);
    if (vsb)
    {
        vsb->setViewSize(CRect(w - scrollbarWidth, 0, w, showH ? h - scrollbarWidth : h));
        vsb->setMouseableArea(vsb->getViewSize());
        vsb->setScrollSize(containerSize);
        vsb->setVisibleSize(area.getHeight());
        vsb->setVisible(showV);
    }
    if (hsb)
    {
        hsb->setViewSize(CRect(0, h - scrollbarWidth, showV ? w - scrollbarWidth : w, h));
        hsb->setMouseableArea(hsb->getViewSize());
        hsb->setScrollSize(containerSize);
        hsb->setVisibleSize(area.getWidth());
        hsb->setVisible(showH);
    }
    setScrollOffset(scrollOffset);
}

CRect CScrollView::getVisibleArea() const { return clipView->getViewSize(); }

CPoint CScrollView::maxOffset() const
{
    const CRect area = getVisibleArea();
    return CPoint(std::max(0.0, containerSize.getWidth() - area.getWidth()),
                  std::max(0.0, containerSize.getHeight() - area.getHeight()));
}

void CScrollView::setScrollOffset(const CPoint& offset)
{
    const CPoint limit = maxOffset();
    scrollOffset = CPoint(std::clamp(offset.x, 0.0, limit.x), std::clamp(offset.y, 0.0, limit.y));
    CRect r(0, 0, containerSize.getWidth(), containerSize.getHeight());
    r.offset(-scrollOffset.x, -scrollOffset.y);
    content->setViewSize(r, false);
    content->setMouseableArea(r);
    clipView->invalid();
    if (vsb)
        vsb->setValueNormalized(limit.y > 0 ? static_cast<float>(scrollOffset.y / limit.y) : 0.f);
    if (hsb)
        hsb->setValueNormalized(limit.x > 0 ? static_cast<float>(scrollOffset.x / limit.x) : 0.f);
}

void CScrollView::setContainerSize(const CRect& cs, bool keepVisibleArea)
{
    const CPoint oldLimit = maxOffset();
    const CPoint relative(oldLimit.x > 0 ? scrollOffset.x / oldLimit.x : 0, oldLimit.y > 0 ? scrollOffset.y / oldLimit.y : 0);
    containerSize = cs;
    layout();
    if (!keepVisibleArea)
    {
        const CPoint limit = maxOffset();
        setScrollOffset(CPoint(relative.x * limit.x, relative.y * limit.y));
    }
    invalid();
}

bool CScrollView::addView(CView* view) { return content->addView(view); }
bool CScrollView::addView(CView* view, CView* before) { return content->addView(view, before); }
bool CScrollView::removeView(CView* view, bool withForget)
{
    return content ? content->removeView(view, withForget) : false;
}
bool CScrollView::removeAll(bool withForget) { return content ? content->removeAll(withForget) : false; }

void CScrollView::scrollRect(const CRect& rect)
{
    const CRect area = getVisibleArea();
    CPoint offset = scrollOffset;
    if (rect.bottom > offset.y + area.getHeight())
        offset.y = rect.bottom - area.getHeight();
    if (rect.top < offset.y)
        offset.y = rect.top;
    if (rect.right > offset.x + area.getWidth())
        offset.x = rect.right - area.getWidth();
    if (rect.left < offset.x)
        offset.x = rect.left;
    setScrollOffset(offset);
}

void CScrollView::drawRect(CDrawContext* context, const CRect& updateRect)
{
    CViewContainer::drawRect(context, updateRect);
    if (!(style & kDontDrawFrame))
    {
        context->setLineWidth(1);
        context->setFrameColor(vsb ? vsb->getFrameColor() : hsb ? hsb->getFrameColor() : kBlackCColor);
        context->drawRect(size, kDrawStroked);
    }
}

bool CScrollView::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons)
{
    if (CViewContainer::onWheel(where, distance, buttons))
        return true;
    CScrollbar* bar = (buttons & kShift) && hsb ? hsb : vsb ? vsb : hsb;
    return bar && bar->onWheel(where, distance, buttons);
}

void CScrollView::valueChanged(CControl* control)
{
    const CPoint limit = maxOffset();
    CPoint offset = scrollOffset;
    // Whole pixels: the float value would leave a fraction behind.
    if (control == vsb)
        offset.y = std::round(vsb->getValueNormalized() * limit.y);
    else if (control == hsb)
        offset.x = std::round(hsb->getValueNormalized() * limit.x);
    setScrollOffset(offset);
}

bool CScrollView::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CScrollView") == 0 || CViewContainer::isTypeOf(name);
}

} // namespace VSTGUI
