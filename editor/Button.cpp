#include "editor/Button.h"

#include <cstring>

using namespace VSTGUI;

namespace {

bool isLeftClick(const CButtonState& buttons)
{
    return buttons.getButtonState() == kLButton;
}

} // namespace

Button::Button(const CRect& size, IControlListener* listener, int tag)
    : CControl(size, listener, tag, nullptr), font(kSystemFont)
{
}

Button::~Button()
{
    for (CBitmap* pix : {normalPix, disabledPix, hoverPix, pressedPix, activePix})
        if (pix)
            pix->forget();
}

void Button::replacePix(CBitmap*& slot, CBitmap* pix)
{
    if (pix)
        pix->remember();
    if (current == slot)
        current = pix;
    if (slot)
        slot->forget();
    slot = pix;
}

void Button::setNormalPix(CBitmap* pix)
{
    replacePix(normalPix, pix);
    current = pix;
}

void Button::setDisabledPix(CBitmap* pix)
{
    replacePix(disabledPix, pix);
}

void Button::setHoverPix(CBitmap* pix)
{
    replacePix(hoverPix, pix);
}

void Button::setPressedPix(CBitmap* pix)
{
    replacePix(pressedPix, pix);
}

void Button::setActivePix(CBitmap* pix)
{
    replacePix(activePix, pix);
}

void Button::draw(CDrawContext* context)
{
    if (current)
    {
        current->draw(context, getViewSize(), CPoint(0, 0), 1.f);
        if (!text.empty() && font)
        {
            context->setFont(font);
            context->setFontColor(on ? activeTextColour : textColour);
            const std::string& label = (on && !activeText.empty()) ? activeText : text;
            context->drawString(label.c_str(), getViewSize(), kCenterText, true);
        }
    }
    setDirty(false);
}

CMouseEventResult Button::onMouseDown(CPoint&, const CButtonState& buttons)
{
    // A locked button refuses every press, not only left ones: a press it
    // accepted would begin an edit that its refused release never ends.
    if (locked)
        return kMouseEventNotHandled;
    if (isLeftClick(buttons))
    {
        current = pressedPix;
        if (!toggle)
        {
            CControl::setValue(1.f);
            valueChanged();
        }
    }
    beginEdit();
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult Button::onMouseUp(CPoint&, const CButtonState&)
{
    if (locked)
    {
        // Locked by someone else while pressed: close the gesture anyway.
        if (isEditing())
            endEdit();
        return kMouseEventNotHandled;
    }
    if (toggle)
    {
        on = !on;
        current = on ? onPix() : normalPix;
        if (group)
            group->exclusivitor(this, on);
        CControl::setValue(on ? 1.f : 0.f);
    }
    else
    {
        current = normalPix;
        CControl::setValue(0.f);
    }
    valueChanged();
    endEdit();
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult Button::onMouseEntered(CPoint&, const CButtonState&)
{
    if (locked)
        return kMouseEventNotHandled;
    if (hoverPix && !on)
    {
        current = hoverPix;
        setDirty(true);
    }
    return kMouseEventHandled;
}

CMouseEventResult Button::onMouseExited(CPoint&, const CButtonState&)
{
    if (locked)
        return kMouseEventNotHandled;
    if (hoverPix && current == hoverPix)
    {
        current = (toggle && on) ? onPix() : normalPix;
        setDirty(true);
    }
    return kMouseEventHandled;
}

void Button::setValue(float v)
{
    CControl::setValue(v);
    if (!toggle)
    {
        current = v < 0.5f ? normalPix : pressedPix;
        setDirty(true);
        return;
    }
    if (locked)
        return;
    on = v != 0.f;
    current = on ? onPix() : normalPix;
    if (group)
        group->exclusivitor(this, on);
    setDirty(true);
}

bool Button::isTypeOf(const char* name) const
{
    return std::strcmp(name, "Button") == 0 || CControl::isTypeOf(name);
}

// Built through the constructor so that the copy takes its own references.
// It joins no group: membership belongs to the original.
CView* Button::newCopy() const
{
    Button* copy = new Button(getViewSize(), getListener(), getTag());
    copy->setDisabledPix(disabledPix);
    copy->setHoverPix(hoverPix);
    copy->setPressedPix(pressedPix);
    copy->setActivePix(activePix);
    copy->setNormalPix(normalPix);
    if (current == pressedPix)
        copy->current = copy->pressedPix;
    else if (current == activePix)
        copy->current = copy->activePix;
    else if (current == hoverPix)
        copy->current = copy->hoverPix;
    copy->on = on;
    copy->toggle = toggle;
    copy->text = text;
    copy->activeText = activeText;
    copy->textColour = textColour;
    copy->activeTextColour = activeTextColour;
    copy->font = font;
    copy->CControl::setMin(getMin());
    copy->CControl::setMax(getMax());
    copy->CControl::setValue(getValue());
    return copy;
}

void ButtonGroup::addButton(Button* b)
{
    if (b)
        b->group = this;
}

void ButtonGroup::removeButton(Button* b)
{
    if (b && b == selected)
        selected = nullptr;
}

void ButtonGroup::exclusivitor(Button* b, bool on)
{
    if (!on)
        return;
    // Reselecting the selected member (possible only without lock) must not
    // switch it off under its own feet.
    if (selected && selected != b)
    {
        if (lock)
            selected->locked = false;
        selected->setValue(0.f);
        selected->valueChanged();
    }
    selected = b;
    if (lock && b)
        b->locked = true;
}
