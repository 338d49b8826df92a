// A knob drawn from a vertical filmstrip of square frames.
#pragma once

#include "vstgui/CControl.h"

namespace VSTGUI {

class CAnimKnob : public CControl
{
public:
    CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint(0, 0));

    int32_t getNumSubPixmaps() const;
    CCoord getHeightOfOneImage() const;
    void setZoomFactor(float factor) { zoomFactor = factor; }
    void setWheelInc(float inc) { wheelInc = inc; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    bool isTypeOf(const char* name) const override;

private:
    int32_t knobMode() const;
    // Normalized value the pointer's angle points at (circular modes).
    float valueFromAngle(const CPoint& where) const;
    void changeTo(float normalized);

    CPoint offset;
    float zoomFactor = 10.f;
    float wheelInc = 0.1f;
    bool dragging = false;
    int32_t mode = kCircularMode;
    CPoint lastPoint;
    float dragValue = 0.f;
};

} // namespace VSTGUI
