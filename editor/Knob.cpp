#include "editor/Knob.h"

#include <algorithm>
#include <cstring>

using namespace VSTGUI;

std::string intToString(int n)
{
    return std::to_string(n);
}

namespace {

bool isLeftClick(const CButtonState& buttons)
{
    return buttons.getButtonState() == kLButton;
}

bool isCommandClick(const CButtonState& buttons)
{
    return buttons.getButtonState() == kLButton && buttons.getModifierState() == kControl;
}

bool isShiftOnly(const CButtonState& buttons)
{
    return buttons.getModifierState() == kShift;
}

// Made once and never released: every knob holds a reference to it.
CFontRef bubbleFont()
{
    static CFontRef font = new CFontDesc("System", 16, kBoldFace);
    return font;
}

} // namespace

Knob::Knob(const CRect& size, IControlListener* listener, int tag, CBitmap* pix)
    : CControl(size, listener, tag, nullptr), font(bubbleFont())
{
    font->remember();
    if (pix)
        setKnobPix(pix);
}

Knob::~Knob()
{
    if (bitmap)
        bitmap->forget();
    font->forget();
}

void Knob::setKnobPix(CBitmap* pix)
{
    if (!pix)
        return;
    pix->remember();
    if (bitmap)
        bitmap->forget();
    bitmap = pix;

    const int w = static_cast<int>(bitmap->getWidth());
    const int h = static_cast<int>(bitmap->getHeight());
    // Frames are square; a square picture keeps the frame count it had.
    if (h > w && w > 0)
    {
        maxFrame = h / w - 1;
        frameSize = w;
    }
    else if (w > h && h > 0)
    {
        maxFrame = w / h - 1;
        frameSize = h;
    }
}

void Knob::setRange(int r)
{
    if (r < 0)
        return;
    range = r;
    if (defaultValue > r)
        defaultValue = 0;
}

void Knob::setDefaultValue(int v)
{
    if (v <= range)
        defaultValue = v;
}

void Knob::setStartValue(int v)
{
    if (v < range && -v < range)
        startValue = v;
}

void Knob::setAccelerator(int a)
{
    // A travel of zero or fewer pixels has no meaning and would poison position.
    if (a <= 0)
        return;
    accelerator = static_cast<double>(range) / a;
}

// An empty range has a single frame; it must not divide by zero.
int Knob::frameFor(int steps) const
{
    if (range <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(steps) * maxFrame / range);
}

void Knob::report()
{
    if (knobValue != lastSent)
    {
        CControl::setValue(knobValue);
        valueChanged();
    }
    lastSent = knobValue;
}

void Knob::setValue(float v)
{
    // Written so that NaN is refused along with values outside 0..1.
    if (!(v >= 0.f && v <= 1.f) || v == knobValue)
        return;
    const float steps = static_cast<float>(range) * v;
    position = steps;
    frame = frameFor(static_cast<int>(steps));
    text = intToString(static_cast<int>(steps) + startValue);
    knobValue = v;
    CControl::setValue(v);
    setDirty(true);
}

void Knob::draw(CDrawContext* context)
{
    const CRect& r = getViewSize();
    if (bitmap)
        bitmap->draw(context, r, CPoint(0, static_cast<CCoord>(frame) * frameSize), 1.f);

    if (showValue && dragging)
    {
        const CRect bubble(r.left + 2, r.top + 8, r.right - 2, r.bottom - 8);
        context->setDrawMode(kAntiAliasing);
        if (CGraphicsPath* path = context->createRoundRectGraphicsPath(bubble, 4))
        {
            context->setFillColor(CColor(0, 220, 0, 128));
            context->drawGraphicsPath(path, CDrawContext::kPathFilled);
            path->forget();
        }
        context->setFont(font);
        context->setFontColor(CColor(0, 33, 0, 255));
        context->drawString(text.c_str(), bubble, kCenterText, true);
    }
    setDirty(false);
}

CMouseEventResult Knob::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    beginEdit();
    if (isLeftClick(buttons))
        lastY = static_cast<int>(where.y - getViewSize().top);

    if (isCommandClick(buttons))
    {
        // Kept inside the range: a default below the start value would
        // otherwise report a value outside 0..1.
        position = std::clamp(static_cast<double>(defaultValue - startValue), 0.0, static_cast<double>(std::max(range, 0)));
        frame = frameFor(static_cast<int>(position));
        text = intToString(static_cast<int>(position) + startValue);
        knobValue = range > 0 ? static_cast<float>(position / range) : 0.f;
        report();
    }

    dragging = true;
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult Knob::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!isLeftClick(buttons))
        return kMouseEventNotHandled;

    const int y = static_cast<int>(where.y - getViewSize().top);
    double delta = lastY - y; // moving up is positive
    lastY = y;
    if (isShiftOnly(buttons))
        delta *= 0.125;

    position = std::clamp(position + delta * accelerator, 0.0, static_cast<double>(std::max(range, 0)));
    text = intToString(static_cast<int>(position) + startValue);
    frame = frameFor(static_cast<int>(position));
    knobValue = range > 0 ? static_cast<float>(position / range) : 0.f;

    report();
    dragging = true;
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult Knob::onMouseUp(CPoint&, const CButtonState&)
{
    dragging = false;
    if (showValue)
        setDirty(true);
    endEdit();
    return kMouseEventHandled;
}

bool Knob::isTypeOf(const char* name) const
{
    return std::strcmp(name, "Knob") == 0 || CControl::isTypeOf(name);
}

// Built through the constructor rather than copied, so that the copy takes
// its own references and starts with a fresh reference count.
CView* Knob::newCopy() const
{
    Knob* copy = new Knob(getViewSize(), getListener(), getTag(), bitmap);
    copy->maxFrame = maxFrame;
    copy->frame = frame;
    copy->frameSize = frameSize;
    copy->text = text;
    copy->lastY = lastY;
    copy->range = range;
    copy->position = position;
    copy->accelerator = accelerator;
    copy->startValue = startValue;
    copy->knobValue = knobValue;
    copy->lastSent = lastSent;
    copy->defaultValue = defaultValue;
    copy->showValue = showValue;
    copy->CControl::setMin(getMin());
    copy->CControl::setMax(getMax());
    copy->CControl::setValue(getValue());
    return copy;
}
