#include "core/AudioEffectX.h"

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams)
{
}

VstInt32 AudioEffectX::getPlugCategory()
{
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter)
{
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

bool AudioEffectX::sendVstEventsToHost(VstEvents* events)
{
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

bool AudioEffectX::ioChanged() { return callHost(audioMasterIOChanged) != 0; }

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height)
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

double AudioEffectX::updateSampleRate()
{
    VstIntPtr rate = callHost(audioMasterGetSampleRate);
    if (rate > 0)
        sampleRate = (float)rate;
    return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize()
{
    VstIntPtr size = callHost(audioMasterGetBlockSize);
    if (size > 0)
        blockSize = (VstInt32)size;
    return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() { return (VstInt32)callHost(audioMasterGetInputLatency); }
VstInt32 AudioEffectX::getOutputLatency() { return (VstInt32)callHost(audioMasterGetOutputLatency); }
VstInt32 AudioEffectX::getCurrentProcessLevel() { return (VstInt32)callHost(audioMasterGetCurrentProcessLevel); }
VstInt32 AudioEffectX::getAutomationState() { return (VstInt32)callHost(audioMasterGetAutomationState); }

bool AudioEffectX::getHostVendorString(char* text)
{
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text)
{
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion() { return (VstInt32)callHost(audioMasterGetVendorVersion); }

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}

VstInt32 AudioEffectX::canHostDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) != 0; }
VstInt32 AudioEffectX::getHostLanguage() { return (VstInt32)callHost(audioMasterGetLanguage); }
void* AudioEffectX::getDirectory() { return reinterpret_cast<void*>(callHost(audioMasterGetDirectory)); }
bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }
bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }
bool AudioEffectX::openFileSelector(void* ptr) { return callHost(audioMasterOpenFileSelector, 0, 0, ptr) != 0; }
bool AudioEffectX::closeFileSelector(void* ptr) { return callHost(audioMasterCloseFileSelector, 0, 0, ptr) != 0; }
