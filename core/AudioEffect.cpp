#include "core/AudioEffect.h"

#include <cstring>

namespace {

// The record's entry points: each finds its object through the record.
AudioEffect* objectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

VstIntPtr dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    AudioEffect* effect = objectOf(e);
    return effect ? effect->dispatcher(opcode, index, value, ptr, opt) : 0;
}

void processEntry(AEffect* e, float** inputs, float** outputs, VstInt32 frames)
{
    if (AudioEffect* effect = objectOf(e))
        effect->__processDeprecated(inputs, outputs, frames);
}

void processReplacingEntry(AEffect* e, float** inputs, float** outputs, VstInt32 frames)
{
    if (AudioEffect* effect = objectOf(e))
        effect->processReplacing(inputs, outputs, frames);
}

void processDoubleReplacingEntry(AEffect* e, double** inputs, double** outputs, VstInt32 frames)
{
    if (AudioEffect* effect = objectOf(e))
        effect->processDoubleReplacing(inputs, outputs, frames);
}

void setParameterEntry(AEffect* e, VstInt32 index, float value)
{
    if (AudioEffect* effect = objectOf(e))
        effect->setParameter(index, value);
}

float getParameterEntry(AEffect* e, VstInt32 index)
{
    AudioEffect* effect = objectOf(e);
    return effect ? effect->getParameter(index) : 0.f;
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams)
{
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEntry;
    cEffect.process = processEntry;
    cEffect.setParameter = setParameterEntry;
    cEffect.getParameter = getParameterEntry;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.f;
    cEffect.object = this;
    cEffect.uniqueID = vstFourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEntry;
    cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() = default;

void AudioEffect::setFlag(VstInt32 bit, bool state)
{
    if (state)
        cEffect.flags |= bit;
    else
        cEffect.flags &= ~bit;
}

void AudioEffect::setEditor(AEffEditor* e)
{
    editor = e;
    setFlag(effFlagsHasEditor, e != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion()
{
    VstInt32 version = (VstInt32)callHost(audioMasterVersion);
    return version ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() { return (VstInt32)callHost(audioMasterCurrentId); }

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }
