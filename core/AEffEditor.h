// The editor interface the plug-in base and its dispatcher talk to; the
// editor base implements it.
#pragma once

#include "vst2/Vst2.h"

class AudioEffect;

class AEffEditor
{
public:
    explicit AEffEditor(AudioEffect* effect = nullptr) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect)
    {
        if (rect)
            *rect = nullptr;
        return false;
    }
    virtual bool open(void* parent)
    {
        parentWindow = parent;
        return false;
    }
    virtual void close() { parentWindow = nullptr; }
    virtual bool isOpen() { return parentWindow != nullptr; }
    virtual void idle() {}
    // Entries older hosts called; nothing uses them any more.
    virtual void __drawDeprecated(ERect*) {}
    virtual VstInt32 __mouseDeprecated(VstInt32, VstInt32) { return 0; }
    virtual VstInt32 __keyDeprecated(VstInt32) { return 0; }
    virtual void __topDeprecated() {}
    virtual void __sleepDeprecated() {}
    virtual bool onKeyDown(VstKeyCode&) { return false; }
    virtual bool onKeyUp(VstKeyCode&) { return false; }
    virtual bool onWheel(float) { return false; }
    virtual bool setKnobMode(VstInt32) { return false; }
    // Every parameter set ends here, from whichever thread made it.
    virtual void setParameter(VstInt32, float) {}

protected:
    AudioEffect* effect;
    void* parentWindow = nullptr;
};
