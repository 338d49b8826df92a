// Sliders: a handle bitmap moved over a background along one axis.
#pragma once

#include "vstgui/CControl.h"

namespace VSTGUI {

enum CSliderStyle
{
    kHorizontal = 1 << 0,
    kVertical = 1 << 1,
    kLeft = 1 << 2,
    kRight = 1 << 3,
    kTop = 1 << 4,
    kBottom = 1 << 5
};

class CSliderBase : public CControl
{
public:
    enum
    {
        kHorizontal = VSTGUI::kHorizontal,
        kVertical = VSTGUI::kVertical,
        kLeft = VSTGUI::kLeft,
        kRight = VSTGUI::kRight,
        kTop = VSTGUI::kTop,
        kBottom = VSTGUI::kBottom
    };

    // The handle's leading edge travels from iMinPos to iMaxPos, relative to the slider's origin;
    // `offset` is where drawing of the background bitmap starts.
    CSliderBase(const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                CBitmap* handle, CBitmap* background, const CPoint& offset, int32_t style);
    ~CSliderBase() override;

    void setHandle(CBitmap* handle);
    CBitmap* getHandle() const { return handle; }
    void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }
    void setWheelInc(float inc) { wheelInc = inc; }
    int32_t getStyle() const { return style; }
    // In the slider's parent coordinates.
    CRect getHandleRect() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    bool isTypeOf(const char* name) const override;

private:
    bool horizontal() const { return (style & kHorizontal) != 0; }
    bool inverted() const;
    CCoord axis(const CPoint& p) const { return horizontal() ? p.x - size.left : p.y - size.top; }
    CPoint handleSize() const;
    CCoord handlePosition() const;
    void moveHandleTo(CCoord position);

    CBitmap* handle = nullptr;
    CCoord minPos, maxPos;
    CPoint offset;
    int32_t style;
    float zoomFactor = 10.f;
    float wheelInc = 0.1f;
    bool dragging = false;
    CCoord grab = 0;
    CCoord lastPos = 0;
    CCoord dragHandlePos = 0;
};

class CHorizontalSlider : public CSliderBase
{
public:
    CHorizontalSlider(const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                      CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(0, 0),
                      const int32_t style = kLeft);
};

class CVerticalSlider : public CSliderBase
{
public:
    CVerticalSlider(const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                    CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(0, 0),
                    const int32_t style = kBottom);
};

} // namespace VSTGUI
