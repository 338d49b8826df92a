#include "vstgui/CControl.h"

#include "vstgui/CFrame.h"
#include "vstgui/VSTGUIEditorInterface.h"

#include <cstring>

namespace VSTGUI {

int32_t CControl::kZoomModifier = kShift;
int32_t CControl::kDefaultValueModifier = kControl;

CControl::CControl(const CRect& size, IControlListener* l, int32_t t, CBitmap* bg) : CView(size), listener(l), tag(t)
{
    if (bg)
        setBackground(bg);
}

void CControl::setValue(float val)
{
    if (val < vmin)
        val = vmin;
    else if (val > vmax)
        val = vmax;
    if (val != value)
    {
        value = val;
        setDirty(true);
    }
}

void CControl::setValueNormalized(float val)
{
    if (val < 0.f)
        val = 0.f;
    else if (val > 1.f)
        val = 1.f;
    setValue(vmin + val * getRange());
}

float CControl::getValueNormalized() const
{
    const float range = getRange();
    return range == 0.f ? 0.f : (value - vmin) / range;
}

bool CControl::wheelStep(float step, float zoomFactor, const CButtonState& buttons)
{
    if (buttons & kZoomModifier)
        step /= zoomFactor;
    beginEdit();
    setValueNormalized(getValueNormalized() + step);
    valueChanged();
    endEdit();
    return true;
}

void CControl::bounceValue()
{
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

void CControl::setTag(int32_t val)
{
    if (listener)
        listener->controlTagWillChange(this);
    tag = val;
    if (listener)
        listener->controlTagDidChange(this);
}

void CControl::valueChanged()
{
    if (listener)
        listener->valueChanged(this);
}

void CControl::beginEdit()
{
    ++editing;
    if (listener)
        listener->controlBeginEdit(this);
    if (frame && frame->getEditor())
        frame->getEditor()->beginEdit(tag);
}

void CControl::endEdit()
{
    if (editing > 0)
        --editing;
    if (frame && frame->getEditor())
        frame->getEditor()->endEdit(tag);
    if (listener)
        listener->controlEndEdit(this);
}

bool CControl::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CControl") == 0 || CView::isTypeOf(name);
}

} // namespace VSTGUI
