// The plug-in base: what every VST 2.4 plug-in shares (host callback, rate,
// block size, counts, the record handed to the host, callbacks into the host).
#pragma once

#include "vst2/Vst2.h"

#include <atomic>

class AEffEditor;

class AudioEffect
{
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    // Host opcodes 0..24; the record's dispatcher entry lands here.
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}

    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }

    virtual void __processDeprecated(float**, float**, VstInt32) {}
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double**, double**, VstInt32) {}

    virtual void setParameter(VstInt32, float) {}
    virtual float getParameter(VstInt32) { return 0; }
    virtual void setParameterAutomated(VstInt32 index, float value);

    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char*) {}
    virtual void getProgramName(char* name) { if (name) *name = 0; }
    virtual void getParameterLabel(VstInt32, char* label) { if (label) *label = 0; }
    virtual void getParameterDisplay(VstInt32, char* text) { if (text) *text = 0; }
    virtual void getParameterName(VstInt32, char* text) { if (text) *text = 0; }
    virtual VstInt32 getChunk(void**, bool = false) { return 0; }
    virtual VstInt32 setChunk(void*, VstInt32, bool = false) { return 0; }

    // Flag setters: each sets its bit when true and clears it when false.
    virtual void setEditor(AEffEditor* editor);
    virtual void __hasClipDeprecated(bool state) { setFlag(effFlagsHasClip, state); }
    virtual void __hasVuDeprecated(bool state) { setFlag(effFlagsHasVu, state); }
    virtual void __canMonoDeprecated(bool state) { setFlag(effFlagsCanMono, state); }
    virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    virtual void isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
    virtual void noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }
    virtual void canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }

    virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
    virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
    virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
    virtual void __setRealtimeQualitiesDeprecated(VstInt32 q) { cEffect.realQualities = q; }
    virtual void __setOfflineQualitiesDeprecated(VstInt32 q) { cEffect.offQualities = q; }

    AEffect* getAeffect() { return &cEffect; }
    AEffEditor* getEditor() { return editor; }
    float getSampleRate() const { return sampleRate; }
    VstInt32 getBlockSize() const { return blockSize; }

    // Callbacks into the host; neutral answers without a host.
    // Text conversions for parameter displays: at most maxLen characters and
    // a terminating zero, in a buffer of at least maxLen + 1 bytes.
    virtual void dB2string(float value, char* text, VstInt32 maxLen);
    virtual void Hz2string(float samples, char* text, VstInt32 maxLen);
    virtual void ms2string(float samples, char* text, VstInt32 maxLen);
    virtual void float2string(float value, char* text, VstInt32 maxLen);
    virtual void int2string(VstInt32 value, char* text, VstInt32 maxLen);

    virtual VstInt32 getMasterVersion();
    virtual VstInt32 getCurrentUniqueId();
    virtual void masterIdle();

protected:
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0);
    void setFlag(VstInt32 bit, bool state);

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    // Read by the audio thread through the current program.
    std::atomic<VstInt32> curProgram{0};
    AEffect cEffect;
};
