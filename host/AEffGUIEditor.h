// Binds the editor interface to a toolkit frame: idle timing, keys, wheel,
// drawing, knob mode, edit gestures and the bundle the bitmaps come from.
#pragma once

#include "core/AEffEditor.h"
#include "vstgui/vstgui.h"

#include <cstdint>
#include <string>

// The plug-in's bundle directory, as the toolkit's bitmap loading reads it.
struct PluginBundle
{
    std::string directory;
};

namespace VSTGUI {
extern PluginBundle* gBundleRef;
}

class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface
{
public:
    explicit AEffGUIEditor(void* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** out) override;
    bool open(void* parent) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 mode) override;
    void setParameter(VstInt32, float) override {}
    virtual void draw(ERect* rect);

    void doIdleStuff() override;
    int32_t getKnobMode() const override { return knobMode; }
    bool beforeSizeChange(const VSTGUI::CRect& newSize, const VSTGUI::CRect& oldSize) override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;

    // Milliseconds on a monotonic clock, wrapping at 2^32.
    static uint32_t getTicks();
    // Lets the window's events run for `ms` milliseconds.
    void wait(unsigned int ms);

    // Clock and event pump, replaceable so that idle timing can be tested.
    using TickSource = uint32_t (*)();
    static void setTickSource(TickSource source);
    uint32_t getNextIdleTime() const { return nextIdleTime; }

    static int32_t knobMode;

protected:
    ERect rect = {0, 0, 0, 0};
    uint32_t nextIdleTime = 0;
    bool inMasterIdle = false;
};

// The bundle holding this module, or null with a message when the path has
// too few levels. The caller owns the result.
PluginBundle* GetPluginBundle();
