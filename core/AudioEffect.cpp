#include "core/AudioEffect.h"

#include "core/AEffEditor.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The record's entry points: each finds its object through the record.
AudioEffect* objectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

VstIntPtr dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    AudioEffect* effect = objectOf(e);
    if (!effect)
        return 0;
    VstIntPtr result = effect->dispatcher(opcode, index, value, ptr, opt);
    // The host is done with the plug-in after close: it goes, record and all.
    if (opcode == effClose) {
        e->object = nullptr;
        delete effect;
        return 1;
    }
    return result;
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

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen: open(); break;
    case effClose: close(); break;
    case effSetProgram:
        if (value >= 0 && value < numPrograms)
            setProgram((VstInt32)value);
        break;
    case effGetProgram: return getProgram();
    // String opcodes without a buffer answer 0 and touch nothing.
    case effSetProgramName:
        if (text)
            setProgramName(text);
        break;
    case effGetProgramName:
        if (text)
            getProgramName(text);
        break;
    case effGetParamLabel:
        if (text)
            getParameterLabel(index, text);
        break;
    case effGetParamDisplay:
        if (text)
            getParameterDisplay(index, text);
        break;
    case effGetParamName:
        if (text)
            getParameterName(index, text);
        break;
    case effSetSampleRate: setSampleRate(opt); break;
    case effSetBlockSize:
        if (value > 0 && value <= 0x7fffffff)
            setBlockSize((VstInt32)value);
        break;
    case effMainsChanged:
        if (value)
            resume();
        else
            suspend();
        break;
    case effEditGetRect: return editor && ptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen: return editor ? editor->open(ptr) : 0;
    case effEditClose:
        if (editor)
            editor->close();
        break;
    case effEditIdle:
        if (editor)
            editor->idle();
        break;
    case effIdentify: return vstFourCC('N', 'v', 'E', 'f');
    case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk: return ptr ? setChunk(ptr, (VstInt32)value, index != 0) : 0;
    default: break;
    }
    return 0;
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen)
{
    if (!text || maxLen < 0)
        return;
    // Eight characters: sign, integer digits, point, then fraction digits,
    // truncated rather than rounded.
    char integerPart[32], fraction[32];
    double v = value;
    int count = 0;
    bool negative = false;
    if (std::isnan(v)) {
        std::snprintf(integerPart, sizeof(integerPart), "NaN");
    } else if (v < -10000000.0 || v > 99999999.0) {
        std::snprintf(integerPart, sizeof(integerPart), "Huge!");
        count = 8;
    } else {
        if (v < 0) {
            negative = true;
            v = -v;
            ++count;
        }
        char* s = integerPart + sizeof(integerPart) - 1;
        *s-- = 0;
        *s-- = '.';
        ++count;
        double integer = std::floor(v);
        *s-- = (char)('0' + (int)std::fmod(integer, 10.0));
        integer /= 10.0;
        ++count;
        while (integer >= 1.0 && count < 8) {
            *s-- = (char)('0' + (int)std::fmod(integer, 10.0));
            integer /= 10.0;
            ++count;
        }
        if (negative)
            *s-- = '-';
        std::memmove(integerPart, s + 1, std::strlen(s + 1) + 1);
    }
    fraction[0] = 0;
    if (count < 8 && !std::isnan(v)) {
        const int digits = 8 - count;
        double mantissa = std::fmod(v, 1.0) * std::pow(10.0, digits);
        for (int d = digits - 1; d >= 0; --d) {
            if (mantissa <= 0) {
                fraction[d] = '0';
            } else {
                fraction[d] = (char)('0' + (int)std::fmod(mantissa, 10.0));
                mantissa /= 10.0;
            }
        }
        fraction[digits] = 0;
    }
    std::snprintf(text, (size_t)maxLen + 1, "%s%s", integerPart, fraction);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen)
{
    if (!text || maxLen < 0)
        return;
    if (value >= 100000000)
        std::snprintf(text, (size_t)maxLen + 1, "Huge!");
    else
        std::snprintf(text, (size_t)maxLen + 1, "%d", (int)value);
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen)
{
    if (value <= 0) {
        if (text && maxLen >= 0)
            std::snprintf(text, (size_t)maxLen + 1, "-oo");
        return;
    }
    float2string((float)(20.0 * std::log10(value)), text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen)
{
    float2string(samples ? sampleRate / samples : 0.f, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen)
{
    float2string(samples * 1000.f / sampleRate, text, maxLen);
}
