#include "editor/EffectPanels.h"

#include "core/Volantor2.h"
#include "editor/Button.h"
#include "editor/Knob.h"
#include "editor/Volantor2Editor.h"
#include "host/BundleServices.h"

using namespace VSTGUI;

namespace {

const CColor kLabelColour(0, 128, 0, 255);

CFontRef titleFont()
{
    static CFontDesc* font = new CFontDesc("Corbel", 18, kNormalFace);
    return font;
}

CFontRef labelFont()
{
    static CFontDesc* font = new CFontDesc("Corbel", 12, kNormalFace);
    return font;
}

CTextLabel* makeLabel(const CRect& size, const char* text, CFontRef font, CHoriTxtAlign align)
{
    auto* label = new CTextLabel(size, text);
    label->setTransparency(true);
    label->setFont(font);
    label->setFontColor(kLabelColour);
    label->setHoriAlign(align);
    return label;
}

} // namespace

void registerBundleFont()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    std::string path, family;
    if (getResourcePath("corbel-bold", "ttf", path) && registerFontFile(path, &family))
        addFontAlias("Corbel", family);
}

EffectPanel::EffectPanel(const CRect& size, Volantor2Editor* editor, const char* title)
    : CViewContainer(size), editor(editor)
{
    registerBundleFont();
    setTransparency(true);
    addView(makeLabel(CRect(2, 2, 200, 18), title, titleFont(), kLeftText));
}

CRect EffectPanel::knobRect(int slot) { return CRect(2 + 50 * slot, 24, 42 + 50 * slot, 64); }

CRect EffectPanel::buttonRect(int slot) { return CRect(50 * slot, 84, 48 + 50 * slot, 100); }

void EffectPanel::addLabel(int slot, const char* text)
{
    addView(makeLabel(CRect(50 * slot, 68, 50 + 50 * slot, 78), text, labelFont(), kCenterText));
}

void EffectPanel::addRegistered(CControl* control)
{
    control->setValue(editor->getPlugin()->getParameter(control->getTag()));
    editor->addControl(control);
    if (controlCount < 8)
        controls[controlCount++] = control;
    addView(control);
}

Knob* EffectPanel::addKnob(int slot, int tag, const char* label)
{
    CBitmap* strip = new CBitmap(CResourceDescription("knob2.png"));
    auto* knob = new Knob(knobRect(slot), editor, tag, strip);
    strip->forget();
    knob->showValue = true;
    knob->setDirty(true);
    addLabel(slot, label);
    return knob;
}

Button* EffectPanel::addButton(int slot, int tag, const char* text, bool toggle, bool registered)
{
    auto* button = new Button(buttonRect(slot), registered ? editor : nullptr, tag);
    for (auto [name, set] : {std::pair{"buttonnormal.png", &Button::setNormalPix},
                             std::pair{"buttonpressed.png", &Button::setPressedPix},
                             std::pair{"buttonactive.png", &Button::setActivePix}}) {
        CBitmap* bitmap = new CBitmap(CResourceDescription(name));
        (button->*set)(bitmap);
        bitmap->forget();
    }
    button->toggle = toggle;
    button->text = text;
    button->font = labelFont();
    if (registered)
        addRegistered(button);
    else
        addView(button);
    return button;
}

void EffectPanel::updateMe()
{
    for (int i = 0; i < controlCount; ++i)
        controls[i]->setValue(editor->getPlugin()->getParameter(controls[i]->getTag()));
    setDirty(true);
}

DelayView::DelayView(const CRect& size, Volantor2Editor* editor) : EffectPanel(size, editor, "Delay")
{
    const char* const labels[] = {"time", "feedback", "volume", "spread"};
    CBitmap* strip = new CBitmap(CResourceDescription("knob2.png"));
    for (int k = 0; k < 4; ++k) {
        addLabel(k, labels[k]);
        addRegistered(new CAnimKnob(knobRect(k), editor, 512 + k, strip, CPoint(0, 0)));
    }
    strip->forget();
    addButton(0, 516, "active", true, true);
    addButton(1, 517, "sync", true, true);
    addButton(2, 518, "pong!", true, true);
    // Shows its pressed picture while held and reports nothing.
    addButton(3, 0, "tap", false, false);
}

PhaserView::PhaserView(const CRect& size, Volantor2Editor* editor) : EffectPanel(size, editor, "Phaser")
{
    Button* on = addButton(0, 580, "active", true, true);
    on->font = kSystemFont;
    Knob* depth = addKnob(0, 581, "depth");
    depth->setRange(100);
    depth->setAccelerator(256);
    addRegistered(depth);
    addRegistered(addKnob(1, 582, "feedback"));
    Knob* rate = addKnob(2, 583, "rate");
    rate->setRange(100);
    addRegistered(rate);
    addRegistered(addKnob(3, 584, "dry/wet"));
}

GlobalView::GlobalView(const CRect& size, Volantor2Editor* editor) : EffectPanel(size, editor, "Global parameters")
{
    struct Setup
    {
        int tag;
        const char* label;
        int range, start, defaultValue, accelerator;
    };
    const Setup setups[] = {
        {576, "volume", 100, 0, 100, 256},
        {577, "tune", 48, -24, 0, 256},
        {578, "vel.sens", 100, 0, 100, 0},
        {579, "pb.range", 24, 0, 12, 256},
    };
    for (int k = 0; k < 4; ++k) {
        const Setup& s = setups[k];
        Knob* knob = addKnob(k, s.tag, s.label);
        knob->setRange(s.range);
        if (s.accelerator)
            knob->setAccelerator(s.accelerator);
        knob->setDefaultValue(s.defaultValue);
        if (s.start)
            knob->setStartValue(s.start);
        addRegistered(knob);
    }
}
