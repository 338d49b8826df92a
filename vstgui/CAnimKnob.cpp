#include "vstgui/CAnimKnob.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"
#include "vstgui/VSTGUIEditorInterface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace VSTGUI {

namespace {
// The knob's travel: from lower left (225 degrees) clockwise to lower right (-45 degrees).
constexpr double kStartAngle = 225.0;
constexpr double kSweep = 270.0;
constexpr double kLinearTravel = 150.0; // pixels of vertical drag for the whole range
} // namespace

CAnimKnob::CAnimKnob(const CRect& size, IControlListener* l, int32_t t, CBitmap* bg, const CPoint& off)
    : CControl(size, l, t, bg), offset(off)
{
}

CCoord CAnimKnob::getHeightOfOneImage() const { return background ? background->getWidth() : 0; }

int32_t CAnimKnob::getNumSubPixmaps() const
{
    const CCoord h = getHeightOfOneImage();
    return h > 0 ? std::max(1, static_cast<int32_t>(background->getHeight() / h)) : 0;
}

void CAnimKnob::draw(CDrawContext* context)
{
    const int32_t frames = getNumSubPixmaps();
    if (frames > 0)
    {
        const auto index = static_cast<int32_t>(std::lround(getValueNormalized() * (frames - 1)));
        background->draw(context, size, CPoint(offset.x, offset.y + index * getHeightOfOneImage()));
    }
    setDirty(false);
}

int32_t CAnimKnob::knobMode() const
{
    return frame && frame->getEditor() ? frame->getEditor()->getKnobMode() : kCircularMode;
}

float CAnimKnob::valueFromAngle(const CPoint& where) const
{
    const CPoint c = size.getCenter();
    double angle = std::atan2(c.y - where.y, where.x - c.x) * 180.0 / M_PI;
    if (angle < kStartAngle - 360.0)
        angle += 360.0;
    return static_cast<float>((kStartAngle - angle) / kSweep);
}

void CAnimKnob::changeTo(float normalized)
{
    dragValue = std::clamp(normalized, 0.f, 1.f);
    const float old = value;
    setValueNormalized(dragValue);
    if (value != old)
        valueChanged();
}

CMouseEventResult CAnimKnob::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    beginEdit();
    if (buttons & kDefaultValueModifier)
    {
        setValue(getDefaultValue());
        valueChanged();
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    mode = knobMode();
    dragging = true;
    lastPoint = where;
    dragValue = getValueNormalized();
    if (mode == kCircularMode)
        changeTo(valueFromAngle(where));
    return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!dragging)
        return kMouseEventNotHandled;
    const float fine = (buttons & kZoomModifier) ? zoomFactor : 1.f;
    if (mode == kLinearMode)
        changeTo(dragValue + static_cast<float>((lastPoint.y - where.y) / kLinearTravel) / fine);
    else if (mode == kRelativCircularMode)
    {
        const float delta = valueFromAngle(where) - valueFromAngle(lastPoint);
        if (std::fabs(delta) < 0.5f) // not across the gap at the bottom
            changeTo(dragValue + delta / fine);
    }
    else
        changeTo(valueFromAngle(where));
    lastPoint = where;
    return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseUp(CPoint&, const CButtonState&)
{
    if (!dragging)
        return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

bool CAnimKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons)
{
    return wheelStep(distance * wheelInc, zoomFactor, buttons);
}

bool CAnimKnob::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CAnimKnob") == 0 || CControl::isTypeOf(name);
}

} // namespace VSTGUI
