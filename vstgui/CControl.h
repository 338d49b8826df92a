// Views with a value that report changes to a listener.
#pragma once

#include "vstgui/CView.h"

namespace VSTGUI {

class CControl;

class IControlListener
{
public:
    virtual ~IControlListener() {}
    virtual void valueChanged(CControl* control) = 0;
    virtual int32_t controlModifierClicked(CControl* /*control*/, CButtonState /*button*/) { return 0; }
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
    virtual void controlTagWillChange(CControl* /*control*/) {}
    virtual void controlTagDidChange(CControl* /*control*/) {}
};

class CControl : public CView
{
public:
    CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1, CBitmap* background = nullptr);

    virtual void setValue(float val);
    float getValue() const { return value; }
    virtual void setValueNormalized(float val);
    float getValueNormalized() const;
    virtual void setMin(float val) { vmin = val; }
    float getMin() const { return vmin; }
    virtual void setMax(float val) { vmax = val; }
    float getMax() const { return vmax; }
    float getRange() const { return vmax - vmin; }
    virtual void setDefaultValue(float val) { defaultValue = val; }
    float getDefaultValue() const { return defaultValue; }
    // Clamps the value into min..max.
    virtual void bounceValue();

    virtual void setTag(int32_t val);
    int32_t getTag() const { return tag; }
    virtual void setListener(IControlListener* l) { listener = l; }
    IControlListener* getListener() const { return listener; }

    virtual void valueChanged();
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }

    bool isTypeOf(const char* name) const override;

    static int32_t kZoomModifier;
    static int32_t kDefaultValueModifier;

protected:
    // One wheel step: a whole edit gesture moving the value by `step`,
    // `zoomFactor` times finer with the zoom modifier. Always handled.
    bool wheelStep(float step, float zoomFactor, const CButtonState& buttons);

    IControlListener* listener;
    int32_t tag;
    float value = 0.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float defaultValue = 0.5f;
    int32_t editing = 0;
};

} // namespace VSTGUI
