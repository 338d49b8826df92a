#include "vstgui/CTabView.h"

#include "vstgui/CDrawContext.h"

#include <cstring>

namespace VSTGUI {

class CTabButton : public CView
{
public:
    CTabButton(CTabView* owner, int32_t i, CBitmap* bitmap) : CView(CRect()), tabView(owner), index(i)
    {
        if (bitmap)
            setBackground(bitmap);
    }

    void draw(CDrawContext* context) override
    {
        const bool selected = tabView->getCurrentSelectedTab() == index;
        CBitmap* bitmap = background ? background : tabView->tabBitmap;
        if (bitmap && bitmap->isLoaded())
        {
            const bool twoFrames = bitmap->getHeight() >= 2 * size.getHeight();
            bitmap->draw(context, size, CPoint(0, selected && twoFrames ? size.getHeight() : 0));
        }
        else
        {
            context->setFillColor(selected ? CColor(160, 160, 160) : CColor(48, 48, 48));
            context->drawRect(size, kDrawFilled);
            context->setLineWidth(1);
            context->setFrameColor(kBlackCColor);
            context->drawRect(size, kDrawStroked);
        }
        context->setFont(tabView->tabFont);
        context->setFontColor(selected ? tabView->selectedColor : tabView->deselectedColor);
        context->drawString(tabView->tabs[static_cast<size_t>(index)].name.c_str(), size, kCenterText);
        setDirty(false);
    }

    CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override
    {
        if (!buttons.isLeftButton())
            return kMouseEventNotHandled;
        tabView->selectTab(index);
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }

private:
    CTabView* tabView;
    int32_t index;
};

CTabView::CTabView(const CRect& size, const CRect& ts, CBitmap* bitmap, TabPosition pos, int32_t st)
    : CViewContainer(size), tabSize(ts), tabBitmap(bitmap), position(pos), style(st), tabFont(kSystemFont)
{
    if (tabBitmap)
        tabBitmap->remember();
    tabFont->remember();
}

CTabView::~CTabView()
{
    removeAllTabs();
    if (tabBitmap)
        tabBitmap->forget();
    tabFont->forget();
}

CRect CTabView::getTabRect(int32_t index) const
{
    const CCoord tw = tabSize.getWidth(), th = tabSize.getHeight();
    const CCoord w = size.getWidth(), h = size.getHeight();
    switch (position)
    {
    case kPositionLeft:
        return CRect(0, index * th, tw, (index + 1) * th);
    case kPositionRight:
        return CRect(w - tw, index * th, w, (index + 1) * th);
    case kPositionBottom:
        return CRect(index * tw, h - th, (index + 1) * tw, h);
    case kPositionTop:
    default:
        return CRect(index * tw, 0, (index + 1) * tw, th);
    }
}

CRect CTabView::getPageArea() const
{
    CRect area(0, 0, size.getWidth(), size.getHeight());
    switch (position)
    {
    case kPositionLeft:
        area.left += tabSize.getWidth();
        break;
    case kPositionRight:
        area.right -= tabSize.getWidth();
        break;
    case kPositionBottom:
        area.bottom -= tabSize.getHeight();
        break;
    case kPositionTop:
        area.top += tabSize.getHeight();
        break;
    }
    return area.inset(insets.x, insets.y);
}

void CTabView::layout()
{
    const CRect area = getPageArea();
    for (size_t i = 0; i < tabs.size(); ++i)
    {
        const CRect r = getTabRect(static_cast<int32_t>(i));
        tabs[i].button->setViewSize(r);
        tabs[i].button->setMouseableArea(r);
        tabs[i].page->setViewSize(area);
        tabs[i].page->setMouseableArea(area);
    }
    invalid();
}

bool CTabView::addTab(CView* view, const char* name, CBitmap* bitmap)
{
    if (!view)
        return false;
    const auto index = static_cast<int32_t>(tabs.size());
    auto* button = new CTabButton(this, index, bitmap);
    tabs.push_back({view, button, name ? name : ""});
    view->setVisible(false);
    addView(view);
    addView(button);
    layout();
    if (current < 0)
        selectTab(0);
    return true;
}

bool CTabView::removeAllTabs()
{
    for (Tab& tab : tabs)
    {
        removeView(tab.button);
        removeView(tab.page);
    }
    tabs.clear();
    current = -1;
    return true;
}

CView* CTabView::getTabView(int32_t index) const
{
    return index >= 0 && index < getNbTabs() ? tabs[static_cast<size_t>(index)].page : nullptr;
}

bool CTabView::selectTab(int32_t index)
{
    if (index < 0 || index >= getNbTabs())
        return false;
    if (index == current)
        return true;
    if (current >= 0)
    {
        tabs[static_cast<size_t>(current)].page->setVisible(false);
        tabs[static_cast<size_t>(current)].button->invalid();
    }
    current = index;
    tabs[static_cast<size_t>(index)].page->setVisible(true);
    tabs[static_cast<size_t>(index)].button->invalid();
    return true;
}

void CTabView::setTabFontStyle(const CFontRef font, CCoord fontSize, CColor selected, CColor deselected)
{
    if (!font)
        return;
    auto* f = new CFontDesc(font->getName(), fontSize, font->getStyle());
    tabFont->forget();
    tabFont = f;
    selectedColor = selected;
    deselectedColor = deselected;
    invalid();
}

void CTabView::setTabViewInsets(const CPoint& inset)
{
    insets = inset;
    layout();
}

bool CTabView::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CTabView") == 0 || CViewContainer::isTypeOf(name);
}

} // namespace VSTGUI
