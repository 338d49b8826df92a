// Pages chosen by a row or column of tab buttons.
#pragma once

#include "vstgui/CFontDesc.h"
#include "vstgui/CViewContainer.h"

#include <string>
#include <vector>

namespace VSTGUI {

class CTabView : public CViewContainer
{
public:
    enum TabPosition { kPositionLeft = 0, kPositionRight, kPositionTop, kPositionBottom };

    // A tab bitmap holds two frames of tabSize stacked: deselected, then selected.
    CTabView(const CRect& size, const CRect& tabSize, CBitmap* tabBitmap = nullptr, TabPosition tabPosition = kPositionTop,
             int32_t style = 0);
    ~CTabView() override;

    bool addTab(CView* view, const char* name = nullptr, CBitmap* tabBitmap = nullptr);
    bool removeAllTabs();
    int32_t getNbTabs() const { return static_cast<int32_t>(tabs.size()); }
    bool selectTab(int32_t index);
    int32_t getCurrentSelectedTab() const { return current; }
    CView* getTabView(int32_t index) const;
    void setTabFontStyle(const CFontRef font, CCoord fontSize = 12, CColor selectedColor = kBlackCColor,
                         CColor deselectedColor = kWhiteCColor);
    void setTabViewInsets(const CPoint& inset);
    // Where the pages go, in the tab view's child coordinates.
    CRect getPageArea() const;
    CRect getTabRect(int32_t index) const;

    bool isTypeOf(const char* name) const override;

private:
    friend class CTabButton;
    struct Tab
    {
        CView* page;
        CView* button;
        std::string name;
    };
    void layout();

    std::vector<Tab> tabs;
    CRect tabSize;
    CBitmap* tabBitmap;
    TabPosition position;
    int32_t style;
    int32_t current = -1;
    CFontRef tabFont;
    CColor selectedColor = kBlackCColor;
    CColor deselectedColor = kWhiteCColor;
    CPoint insets;
};

} // namespace VSTGUI
