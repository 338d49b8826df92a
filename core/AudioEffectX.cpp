#include "core/AudioEffectX.h"

#include "core/AEffEditor.h"

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams)
{
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    char* text = static_cast<char*>(ptr);
    VstKeyCode key{index, (unsigned char)value, (unsigned char)(int)opt};
    switch (opcode) {
    case effProcessEvents: return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated: return canParameterBeAutomated(index);
    case effString2Parameter: return text ? string2parameter(index, text) : 0;
    case effGetProgramNameIndexed: return text ? getProgramNameIndexed((VstInt32)value, index, text) : 0;
    case effGetInputProperties: return ptr ? getInputProperties(index, static_cast<VstPinProperties*>(ptr)) : 0;
    case effGetOutputProperties: return ptr ? getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) : 0;
    case effGetPlugCategory: return getPlugCategory();
    case effOfflineNotify: return offlineNotify(static_cast<VstAudioFile*>(ptr), (VstInt32)value, index != 0);
    case effOfflinePrepare: return offlinePrepare(static_cast<VstOfflineTask*>(ptr), (VstInt32)value);
    case effOfflineRun: return offlineRun(static_cast<VstOfflineTask*>(ptr), (VstInt32)value);
    case effProcessVarIo: return processVariableIo(static_cast<VstVariableIo*>(ptr));
    case effSetSpeakerArrangement:
        return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                     static_cast<VstSpeakerArrangement*>(ptr));
    case effSetBypass: return setBypass(value != 0);
    case effGetEffectName: return text ? getEffectName(text) : 0;
    case effGetVendorString: return text ? getVendorString(text) : 0;
    case effGetProductString: return text ? getProductString(text) : 0;
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return text ? canDo(text) : 0;
    case effGetTailSize: return getGetTailSize();
    case effGetParameterProperties:
        return ptr ? getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) : 0;
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown: return editor ? editor->onKeyDown(key) : 0;
    case effEditKeyUp: return editor ? editor->onKeyUp(key) : 0;
    case effSetEditKnobMode: return editor ? editor->setKnobMode((VstInt32)value) : 0;
    case effGetMidiProgramName: return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram: return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory: return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged: return hasMidiProgramsChanged(index);
    case effGetMidiKeyName: return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr));
    case effBeginSetProgram: return beginSetProgram();
    case effEndSetProgram: return endSetProgram();
    case effGetSpeakerArrangement:
        return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                     static_cast<VstSpeakerArrangement**>(ptr));
    case effShellGetNextPlugin: return text ? getNextShellPlugin(text) : 0;
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess((VstInt32)value);
    case effSetPanLaw: return setPanLaw((VstInt32)value, opt);
    case effBeginLoadBank: return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram: return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision: return setProcessPrecision((VstInt32)value);
    case effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    // Deprecated in 2.4: answered with 0.
    case effGetNumProgramCategories:
    case effCopyProgram:
    case effConnectInput:
    case effConnectOutput:
    case effGetCurrentPosition:
    case effGetDestinationBuffer:
    case effSetBlockSizeAndSampleRate:
    case effGetErrorText:
    case effIdle:
    case effGetIcon:
    case effSetViewPosition:
    case effKeysRequired: return 0;
    default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
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
