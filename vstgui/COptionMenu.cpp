#include "vstgui/COptionMenu.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"

#include <cairo.h>

#include <cmath>
#include <cstring>

namespace VSTGUI {

namespace {

CCoord measureText(CFontRef font, const char* text)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(s);
    auto* context = new CDrawContext(cr, CRect(0, 0, 1, 1));
    context->setFont(font);
    const CCoord width = context->getStringWidth(text);
    context->forget();
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return width;
}

} // namespace

// The open list: covers the whole frame so that a click anywhere closes it.
class COptionMenuPopup : public CView
{
public:
    COptionMenuPopup(COptionMenu* m, const CRect& frameSize, const CRect& list)
        : CView(frameSize), menu(m), listRect(list), itemHeight(std::ceil(m->getFont()->getSize() + 8))
    {
    }

    void draw(CDrawContext* context) override
    {
        context->setFillColor(menu->getBackColor());
        context->drawRect(listRect, kDrawFilled);
        context->setFont(menu->getFont());
        for (int32_t i = 0; i < menu->getNbEntries(); ++i)
        {
            CMenuItem* item = menu->getEntry(i);
            const CRect r = itemRect(i);
            if (item->isSeparator())
            {
                context->setFrameColor(menu->getFontColor());
                context->drawLine(CPoint(r.left + 4, r.top + r.getHeight() / 2), CPoint(r.right - 4, r.top + r.getHeight() / 2));
                continue;
            }
            const bool hot = i == hover && item->isEnabled();
            if (hot)
            {
                context->setFillColor(menu->getFontColor());
                context->drawRect(r, kDrawFilled);
            }
            if (item->isChecked())
            {
                context->setFillColor(hot ? menu->getBackColor() : menu->getFontColor());
                context->drawRect(CRect(r.left + 5, r.top + itemHeight / 2 - 3, r.left + 11, r.top + itemHeight / 2 + 3), kDrawFilled);
            }
            CColor color = hot ? menu->getBackColor() : menu->getFontColor();
            if (!item->isEnabled())
                color.alpha = color.alpha / 2;
            context->setFontColor(color);
            CRect text(r);
            text.left += 16;
            context->drawString(item->getTitle(), text, kLeftText);
        }
        context->setFrameColor(menu->getFontColor());
        context->setLineWidth(1);
        context->drawRect(listRect, kDrawStroked);
    }

    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override
    {
        const int32_t index = indexAt(where);
        if (index != hover)
        {
            hover = index;
            invalidRect(listRect);
        }
        return kMouseEventHandled;
    }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override
    {
        SharedPointer<COptionMenu> keep(menu);
        const int32_t index = indexAt(where);
        CMenuItem* item = menu->getEntry(index);
        const bool choose = item && item->isEnabled() && !item->isSeparator();
        menu->closePopup();
        if (choose)
            keep->selectFromPopup(index);
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }

    bool removed(CView* parent) override
    {
        if (menu->popup == this)
        {
            menu->popup = nullptr;
            menu->invalid();
        }
        return CView::removed(parent);
    }

    CRect itemRect(int32_t index) const
    {
        CRect r(listRect.left + 1, listRect.top + 1 + index * itemHeight, listRect.right - 1, 0);
        return r.setHeight(itemHeight);
    }

    int32_t indexAt(const CPoint& where) const
    {
        if (!listRect.pointInside(where))
            return -1;
        const int32_t index = static_cast<int32_t>((where.y - listRect.top - 1) / itemHeight);
        return index >= 0 && index < menu->getNbEntries() ? index : -1;
    }

    COptionMenu* menu;
    CRect listRect;
    CCoord itemHeight;
    int32_t hover = -1;
};

COptionMenu::COptionMenu(const CRect& size, IControlListener* l, int32_t t, CBitmap* bg, CBitmap* bgClick, int32_t s)
    : CParamDisplay(size, bg, s), bgWhenClick(bgClick)
{
    listener = l;
    tag = t;
    vmax = 0;
    defaultValue = 0;
    if (bgWhenClick)
        bgWhenClick->remember();
}

COptionMenu::~COptionMenu()
{
    closePopup();
    removeAllEntry();
    if (bgWhenClick)
        bgWhenClick->forget();
}

CMenuItem* COptionMenu::addEntry(const char* title, int32_t index)
{
    auto* item = new CMenuItem(title);
    if (index < 0 || index > getNbEntries())
        entries.push_back(item);
    else
        entries.insert(entries.begin() + index, item);
    setMax(static_cast<float>(entries.size() - 1));
    return item;
}

bool COptionMenu::setCurrent(int32_t index)
{
    if (index < 0 || index >= getNbEntries())
        return false;
    setValue(static_cast<float>(index));
    invalid();
    return true;
}

int32_t COptionMenu::getCurrentIndex() const { return entries.empty() ? -1 : static_cast<int32_t>(std::lround(value)); }

CMenuItem* COptionMenu::getEntry(int32_t index) const
{
    return index >= 0 && index < getNbEntries() ? entries[static_cast<size_t>(index)] : nullptr;
}

bool COptionMenu::removeEntry(int32_t index)
{
    if (index < 0 || index >= getNbEntries())
        return false;
    entries[static_cast<size_t>(index)]->forget();
    entries.erase(entries.begin() + index);
    setMax(entries.empty() ? 0.f : static_cast<float>(entries.size() - 1));
    bounceValue();
    invalid();
    return true;
}

bool COptionMenu::removeAllEntry()
{
    for (CMenuItem* item : entries)
        item->forget();
    entries.clear();
    setMax(0);
    value = 0;
    invalid();
    return true;
}

void COptionMenu::draw(CDrawContext* context)
{
    if (popup && bgWhenClick)
        bgWhenClick->draw(context, size);
    else
        drawBack(context);
    if (CMenuItem* item = getCurrent())
        drawText(context, item->getTitle());
    setDirty(false);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() && !buttons.isRightButton())
        return kMouseEventNotHandled;
    popupMenu();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::popupMenu()
{
    if (popup || !frame || entries.empty())
        return false;
    CCoord width = size.getWidth();
    for (CMenuItem* item : entries)
        width = std::max(width, measureText(font, item->getTitle()) + 28);
    const CCoord itemHeight = std::ceil(font->getSize() + 8);
    const CCoord height = itemHeight * getNbEntries() + 2;
    CPoint topLeft = size.getTopLeft();
    if (parentView)
        parentView->localToFrame(topLeft);
    const CRect frameSize = frame->getViewSize();
    CRect list(CPoint(topLeft.x, topLeft.y + size.getHeight()), CPoint(width, height));
    // Below if it fits, else above, else as far up as needed.
    if (list.bottom > frameSize.bottom)
        list.moveTo(list.left, topLeft.y - height);
    if (list.top < 0)
        list.moveTo(list.left, std::max(0.0, frameSize.bottom - height));
    if (list.right > frameSize.right)
        list.moveTo(std::max(0.0, frameSize.right - width), list.top);
    popup = new COptionMenuPopup(this, frameSize, list);
    frame->addView(popup);
    invalid();
    return true;
}

void COptionMenu::closePopup()
{
    if (!popup)
        return;
    CView* p = popup;
    popup = nullptr;
    if (auto* parent = static_cast<CViewContainer*>(p->getParentView()))
        parent->removeView(p);
    else
        p->forget();
    invalid();
}

void COptionMenu::selectFromPopup(int32_t index)
{
    beginEdit();
    setValue(static_cast<float>(index));
    valueChanged();
    endEdit();
    invalid();
}

bool COptionMenu::removed(CView* parent)
{
    closePopup();
    return CParamDisplay::removed(parent);
}

bool COptionMenu::isTypeOf(const char* name) const
{
    return std::strcmp(name, "COptionMenu") == 0 || CControl::isTypeOf(name);
}

} // namespace VSTGUI
