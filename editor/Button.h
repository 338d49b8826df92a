// A bitmap push or toggle button with a text label, and the group that makes
// toggle buttons exclusive like radio buttons.
#pragma once

#include "vstgui/vstgui.h"

#include <string>

class ButtonGroup;

class Button : public VSTGUI::CControl
{
public:
    Button(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int tag);
    ~Button() override;

    void setNormalPix(VSTGUI::CBitmap* pix);
    void setDisabledPix(VSTGUI::CBitmap* pix);
    void setHoverPix(VSTGUI::CBitmap* pix);
    void setPressedPix(VSTGUI::CBitmap* pix);
    void setActivePix(VSTGUI::CBitmap* pix);

    void setValue(float v) override;
    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

    bool isTypeOf(const char* name) const override;
    VSTGUI::CView* newCopy() const override;

    // Public so that the panels and the group can set them up directly.
    VSTGUI::CBitmap* current = nullptr; // one of the bitmaps below, not referenced again
    VSTGUI::CBitmap* normalPix = nullptr;
    VSTGUI::CBitmap* disabledPix = nullptr;
    VSTGUI::CBitmap* hoverPix = nullptr;
    VSTGUI::CBitmap* pressedPix = nullptr;
    VSTGUI::CBitmap* activePix = nullptr;
    bool on = false;
    bool toggle = false;
    bool locked = false;
    ButtonGroup* group = nullptr;
    std::string text;
    std::string activeText;
    VSTGUI::CColor textColour{0, 80, 0, 255};
    VSTGUI::CColor activeTextColour{180, 180, 180, 255};
    VSTGUI::CFontRef font; // fonts live as long as the program; not referenced

private:
    void replacePix(VSTGUI::CBitmap*& slot, VSTGUI::CBitmap* pix);
    VSTGUI::CBitmap* onPix() const { return activePix ? activePix : pressedPix; }
};

class ButtonGroup
{
public:
    ButtonGroup() = default;

    void addButton(Button* b);
    void removeButton(Button* b);
    // Called when b is switched: the selected member goes off and b takes its place.
    void exclusivitor(Button* b, bool on);

    Button* selected = nullptr;
    bool lock = true;
};
