// The three panels of the effect tab box: the delay (parameters 512..518),
// the phaser (580..584) and the global values (576..579). Every control has
// the editor as listener and is registered in its table by tag.
#pragma once

#include "vstgui/vstgui.h"

class Button;
class Knob;
class Volantor2Editor;

class EffectPanel : public VSTGUI::CViewContainer
{
public:
    EffectPanel(const VSTGUI::CRect& size, Volantor2Editor* editor, const char* title);

    // Reloads every control from the plug-in, then redraws the panel.
    void updateMe();

protected:
    // The slots of the shared layout, 0..3 from the left.
    static VSTGUI::CRect knobRect(int slot);
    static VSTGUI::CRect buttonRect(int slot);
    void addLabel(int slot, const char* text);
    // Takes the control's value from the plug-in, registers it and adds it.
    void addRegistered(VSTGUI::CControl* control);
    Knob* addKnob(int slot, int tag, const char* label);
    Button* addButton(int slot, int tag, const char* text, bool toggle, bool registered);

    Volantor2Editor* editor;
    VSTGUI::CControl* controls[8] = {};
    int controlCount = 0;
};

class DelayView : public EffectPanel
{
public:
    DelayView(const VSTGUI::CRect& size, Volantor2Editor* editor);
};

class PhaserView : public EffectPanel
{
public:
    PhaserView(const VSTGUI::CRect& size, Volantor2Editor* editor);
};

class GlobalView : public EffectPanel
{
public:
    GlobalView(const VSTGUI::CRect& size, Volantor2Editor* editor);
};

// The bundle's bold font registered for the process under the name "Corbel",
// once; later calls do nothing.
void registerBundleFont();
