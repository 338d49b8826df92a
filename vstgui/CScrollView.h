// A scrolled area with scrollbars.
#pragma once

#include "vstgui/CControl.h"
#include "vstgui/CViewContainer.h"

namespace VSTGUI {

class CScrollbar : public CControl
{
public:
    enum ScrollbarDirection { kHorizontal, kVertical };

    // `scrollSize` is the whole scrolled extent; the visible extent is set apart.
    CScrollbar(const CRect& size, IControlListener* listener, int32_t tag, ScrollbarDirection direction,
               const CRect& scrollSize);

    void setScrollSize(const CRect& rect);
    const CRect& getScrollSize() const { return scrollSize; }
    void setVisibleSize(CCoord extent);
    CCoord getVisibleSize() const { return visibleSize; }
    ScrollbarDirection getDirection() const { return direction; }

    void setFrameColor(const CColor& color);
    const CColor& getFrameColor() const { return frameColor; }
    void setScrollerColor(const CColor& color);
    const CColor& getScrollerColor() const { return scrollerColor; }
    void setBackgroundColor(const CColor& color);
    const CColor& getBackgroundColor() const { return backgroundColor; }
    void setWheelStep(CCoord pixels) { wheelStep = pixels; }

    // In the scrollbar's parent coordinates; empty when everything is visible.
    CRect getScrollerRect() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

private:
    CCoord totalExtent() const;
    CCoord along(const CPoint& p) const { return direction == kVertical ? p.y : p.x; }
    CRect track() const;
    void scrollBy(CCoord pixels);

    ScrollbarDirection direction;
    CRect scrollSize;
    CCoord visibleSize = 0;
    CCoord wheelStep = 20;
    CColor frameColor = kBlackCColor;
    CColor scrollerColor = kGreyCColor;
    CColor backgroundColor = kWhiteCColor;
    bool dragging = false;
    CCoord grab = 0;
};

class CScrollView : public CViewContainer, public IControlListener
{
public:
    enum
    {
        kHorizontalScrollbar = 1 << 1,
        kVerticalScrollbar = 1 << 2,
        kDontDrawFrame = 1 << 3,
        kAutoDragScrolling = 1 << 4,
        kOverlayScrollbars = 1 << 5,
        kAutoHideScrollbars = 1 << 6
    };

    CScrollView(const CRect& size, const CRect& containerSize, int32_t style, CCoord scrollbarWidth = 16,
                CBitmap* background = nullptr);

    CScrollbar* getVerticalScrollbar() const { return vsb; }
    CScrollbar* getHorizontalScrollbar() const { return hsb; }
    // keepVisibleArea keeps the pixel offset; otherwise the scrollbars keep their relative position.
    void setContainerSize(const CRect& cs, bool keepVisibleArea = false);
    const CRect& getContainerSize() const { return containerSize; }
    // The scrolled views; addView and friends act on it.
    CViewContainer* getContent() const { return content; }

    bool addView(CView* view) override;
    bool addView(CView* view, CView* before) override;
    bool removeView(CView* view, bool withForget = true) override;
    bool removeAll(bool withForget = true) override;

    // Scrolls as little as needed to show `rect` (content coordinates).
    void scrollRect(const CRect& rect);
    void resetScrollOffset() { setScrollOffset(CPoint()); }
    // How far the content is scrolled: positive towards its bottom right.
    const CPoint& getScrollOffset() const { return scrollOffset; }
    void setScrollOffset(const CPoint& offset);
    CRect getVisibleArea() const;

    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    void valueChanged(CControl* control) override;
    bool isTypeOf(const char* name) const override;

private:
    void layout();
    CPoint maxOffset() const;

    CRect containerSize;
    int32_t style;
    CCoord scrollbarWidth;
    CViewContainer* clipView = nullptr;
    CViewContainer* content = nullptr;
    CScrollbar* vsb = nullptr;
    CScrollbar* hsb = nullptr;
    CPoint scrollOffset;
};

} // namespace VSTGUI
