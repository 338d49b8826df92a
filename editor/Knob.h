// A filmstrip knob dragged vertically in whole display steps, with a fine
// mode (shift), a reset to its default (command-click) and an optional value
// bubble shown while it is dragged.
#pragma once

#include "vstgui/vstgui.h"

#include <string>

// The decimal text of n, as the knobs display it.
std::string intToString(int n);

class Knob : public VSTGUI::CControl
{
public:
    Knob(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int tag, VSTGUI::CBitmap* bitmap);
    ~Knob() override;

    // Keeps the control's float default reachable next to the display one.
    using VSTGUI::CControl::setDefaultValue;

    void setKnobPix(VSTGUI::CBitmap* pix);
    void setRange(int r);
    void setDefaultValue(int v);
    void setStartValue(int v);
    void setAccelerator(int a);

    void setValue(float v) override;
    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

    bool isTypeOf(const char* name) const override;
    VSTGUI::CView* newCopy() const override;

    // Public so that the panels can set them up directly (showValue in particular).
    VSTGUI::CBitmap* bitmap = nullptr;
    int maxFrame = 0;
    int frame = 0;
    int frameSize = 64;
    std::string text = "0";
    VSTGUI::CFontRef font = nullptr; // shared by all knobs, one reference each
    int lastY = 0;
    int range = 100;
    double position = 0;
    double accelerator = 100 / 128.0;
    int startValue = 0;
    float knobValue = 0;
    float lastSent = -1;
    int defaultValue = 0;
    bool showValue = false;
    bool dragging = false;

private:
    int frameFor(int steps) const;
    void report();
};
