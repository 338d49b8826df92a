// A stand-in instrument that records every call its host makes and answers
// each note-on with an impulse at its exact frame: channel c carries
// (c + 1) / 4, so tests can see which outputs a host keeps.
//
// Variants come from compile definitions: PROBE_INPUTS, PROBE_OUTPUTS,
// PROBE_RETURNS_NULL, PROBE_BAD_MAGIC, PROBE_NO_REPLACING.
#include "tools/render/testplugins/ProbeRecord.h"

#include <cstring>

#ifndef PROBE_INPUTS
#define PROBE_INPUTS 0
#endif
#ifndef PROBE_OUTPUTS
#define PROBE_OUTPUTS 2
#endif

namespace {

probe::Record record;

struct Probe
{
    AEffect effect{};
    audioMasterCallback host = nullptr;
    int block = -1;
    int pending[64]; // note-on frames of the current block
    int pendingCount = 0;
    int program = 0;
};

Probe* probeOf(AEffect* e) { return static_cast<Probe*>(e->object); }

[[maybe_unused]] VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    Probe* p = probeOf(e);
    record.dispatches.push_back({opcode, index, value, opt});
    switch (opcode) {
    case effOpen: {
        char text[kVstMaxVendorStrLen + 1] = {};
        p->host(e, audioMasterGetVendorString, 0, 0, text, 0);
        record.vendor = text;
        std::memset(text, 0, sizeof text);
        p->host(e, audioMasterGetProductString, 0, 0, text, 0);
        record.product = text;
        record.canSendEvents = p->host(e, audioMasterCanDo, 0, 0, (void*)"sendVstMidiEvent", 0);
        record.canReceiveEvents = p->host(e, audioMasterCanDo, 0, 0, (void*)"receiveVstMidiEvent", 0);
        return 0;
    }
    case effMainsChanged:
        if (value) {
            record.sampleRateAtOpen = p->host(e, audioMasterGetSampleRate, 0, 0, nullptr, 0);
            record.blockSizeAtOpen = p->host(e, audioMasterGetBlockSize, 0, 0, nullptr, 0);
        }
        return 0;
    case effClose:
        record.closed = true;
        delete p;
        return 1;
    case effSetProgram: p->program = (int)value; return 0;
    case effGetProgram: return p->program;
    case effSetProgramName: record.programNames.push_back(static_cast<const char*>(ptr)); return 0;
    case effSetChunk:
        record.chunkIndex = index;
        record.chunk.assign(static_cast<unsigned char*>(ptr), static_cast<unsigned char*>(ptr) + value);
        return 1;
    case effProcessEvents: {
        ++p->block;
        p->pendingCount = 0;
        auto* list = static_cast<VstEvents*>(ptr);
        for (VstInt32 i = 0; i < list->numEvents; ++i) {
            auto* m = reinterpret_cast<VstMidiEvent*>(list->events[i]);
            if (m->type != kVstMidiType)
                continue;
            probe::Event ev{p->block, m->deltaFrames, {}};
            std::memcpy(ev.bytes, m->midiData, 3);
            record.events.push_back(ev);
            if ((ev.bytes[0] & 0xf0) == 0x90 && ev.bytes[2] && p->pendingCount < 64)
                p->pending[p->pendingCount++] = m->deltaFrames;
        }
        return 1;
    }
    default: return 0;
    }
}

[[maybe_unused]] void processReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 frames)
{
    Probe* p = probeOf(e);
    probe::Block b{};
    b.frames = frames;
    b.inputsSilent = true;
    for (int c = 0; c < PROBE_INPUTS; ++c)
        for (int k = 0; k < frames; ++k)
            if (inputs[c][k] != 0.f)
                b.inputsSilent = false;
    auto* time = reinterpret_cast<VstTimeInfo*>(p->host(e, audioMasterGetTime, 0, kVstPpqPosValid | kVstTempoValid,
                                                        nullptr, 0));
    b.haveTime = time != nullptr;
    if (time)
        b.time = *time;
    record.blocks.push_back(b);

    for (int c = 0; c < PROBE_OUTPUTS; ++c) {
        std::memset(outputs[c], 0, sizeof(float) * frames);
        // Scribble on the inputs too: a host must clear them again.
        if (c < PROBE_INPUTS)
            inputs[c][0] = 1.f;
        for (int i = 0; i < p->pendingCount; ++i)
            if (p->pending[i] >= 0 && p->pending[i] < frames)
                outputs[c][p->pending[i]] = (float)(c + 1) / 4.f;
    }
}

[[maybe_unused]] void setParameter(AEffect*, VstInt32 index, float value) { record.parameters.push_back({index, value}); }
[[maybe_unused]] float getParameter(AEffect*, VstInt32) { return 0.f; }

} // namespace

extern "C" __attribute__((visibility("default"))) probe::Record* probeRecord() { return &record; }

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    record.clear();
    record.hostVersion = host(nullptr, audioMasterVersion, 0, 0, nullptr, 0);
#ifdef PROBE_RETURNS_NULL
    return nullptr;
#else
    auto* p = new Probe;
    p->host = host;
    AEffect& e = p->effect;
    e.magic = kEffectMagic;
#ifdef PROBE_BAD_MAGIC
    e.magic = vstFourCC('N', 'o', 'p', 'e');
#endif
    e.dispatcher = dispatcher;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
#ifndef PROBE_NO_REPLACING
    e.processReplacing = processReplacing;
#endif
    e.numPrograms = 4;
    e.numParams = 3;
    e.numInputs = PROBE_INPUTS;
    e.numOutputs = PROBE_OUTPUTS;
    e.flags = effFlagsCanReplacing | effFlagsIsSynth | effFlagsProgramChunks;
    e.object = p;
    e.uniqueID = vstFourCC('P', 'r', 'b', 'e');
    e.version = 1;
    return &e;
#endif
}
