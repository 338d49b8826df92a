// The small pop-up list the sound browser shows on a right click. A click on
// it tells the editor which entry was chosen; the editor then removes it.
#pragma once

#include "vstgui/vstgui.h"

#include <string>
#include <vector>

class Volantor2Editor;

// The entries' font, made at program start.
extern VSTGUI::CFontRef menuFont;

struct MenuItem
{
    MenuItem(std::string label, bool ticked);

    std::string label;
    bool ticked;
};

class Menu : public VSTGUI::CView
{
public:
    Menu(const VSTGUI::CRect& size, Volantor2Editor* editor);
    ~Menu() override;

    void addItem(const MenuItem& item);
    void addItem(std::string label);

    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

    int itemCount = 0;
    int hoverIndex = 0;
    bool mouseOver = false;
    int itemHeight = 20;
    std::vector<MenuItem> items;
    VSTGUI::CBitmap* checkmark = nullptr;
    Volantor2Editor* editor = nullptr;
};
