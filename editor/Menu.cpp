#include "editor/Menu.h"

#include "editor/Volantor2Editor.h"

#include <algorithm>
#include <utility>

using namespace VSTGUI;

CFontRef menuFont = new CFontDesc("Helvetica", 12, kNormalFace);

MenuItem::MenuItem(std::string label, bool ticked) : label(std::move(label)), ticked(ticked) {}

Menu::Menu(const CRect& size, Volantor2Editor* editor)
    : CView(size), checkmark(new CBitmap(CResourceDescription("checkmark.png"))), editor(editor)
{
}

Menu::~Menu()
{
    checkmark->forget();
}

void Menu::addItem(const MenuItem& item)
{
    items.push_back(item);
    itemCount = static_cast<int>(items.size());
}

void Menu::addItem(std::string label)
{
    addItem(MenuItem(std::move(label), false));
}

void Menu::draw(CDrawContext* context)
{
    const CRect& size = getViewSize();
    const int l = static_cast<int>(size.left);
    const int t = static_cast<int>(size.top);
    const int r = static_cast<int>(size.right);
    const int h = itemHeight;

    // The box covers the entries, not the whole view.
    context->setDrawMode(kAntiAliasing);
    if (CGraphicsPath* path = context->createRoundRectGraphicsPath(CRect(l + 1, t + 1, r - 1, t + h * itemCount + 3), 4))
    {
        context->setFillColor(CColor(0, 128, 0, 192));
        context->drawGraphicsPath(path, CDrawContext::kPathFilled);
        context->setFrameColor(kBlackCColor);
        context->drawGraphicsPath(path, CDrawContext::kPathStroked);
        path->forget();
    }

    if (mouseOver && itemCount > 0)
    {
        const int y = t + hoverIndex * h;
        context->setFillColor(CColor(0, 192, 0, 210));
        context->drawRect(CRect(l + 2, y + 2, r - 2, y + h + 2), kDrawFilled);
    }

    context->setFont(menuFont);
    context->setFontColor(kWhiteCColor);
    for (int m = 0; m < itemCount; ++m)
    {
        const int y = t + m * h;
        context->drawString(items[m].label.c_str(), CRect(l + 20, y + 2, r, y + h + 2), kLeftText, true);
        if (items[m].ticked)
            checkmark->draw(context, CRect(l + 4, y + 4, l + 16, y + 16));
    }
    setDirty(false);
}

CMouseEventResult Menu::onMouseDown(CPoint&, const CButtonState&)
{
    // The editor removes this menu from the frame while handling the click:
    // hold it until this handler is done with it.
    remember();
    if (editor)
        editor->processContextMenu(this, hoverIndex);
    setDirty(true);
    forget();
    return kMouseEventHandled;
}

CMouseEventResult Menu::onMouseUp(CPoint&, const CButtonState& buttons)
{
    if (buttons.getButtonState() == kLButton)
        setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult Menu::onMouseMoved(CPoint& where, const CButtonState&)
{
    const int dy = static_cast<int>(where.y) - static_cast<int>(getViewSize().top);
    const int row = itemHeight > 0 ? dy / itemHeight : 0;
    // Below the last row the last entry stays highlighted; never negative,
    // so an empty menu reports entry 0.
    hoverIndex = std::max(std::min(row, itemCount - 1), 0);
    setDirty(true);
    mouseOver = true;
    return kMouseEventHandled;
}

CMouseEventResult Menu::onMouseEntered(CPoint&, const CButtonState&)
{
    return kMouseEventNotHandled;
}

CMouseEventResult Menu::onMouseExited(CPoint&, const CButtonState&)
{
    setDirty(true);
    mouseOver = false;
    return kMouseEventHandled;
}
