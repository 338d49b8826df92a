// What the probe plug-in saw of its host, read back by the host's tests
// through the probe's second exported function.
#pragma once

#include "vst2/Vst2.h"

#include <string>
#include <vector>

namespace probe {

struct Dispatch
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

struct Event
{
    int block;
    VstInt32 deltaFrames;
    unsigned char bytes[3];
};

struct Block
{
    int frames;
    bool inputsSilent;
    bool haveTime;
    VstTimeInfo time;
};

struct Record
{
    VstIntPtr hostVersion = 0;
    std::string vendor, product;
    VstIntPtr canSendEvents = 0, canReceiveEvents = 0;
    VstIntPtr sampleRateAtOpen = 0, blockSizeAtOpen = 0;
    std::vector<Dispatch> dispatches;
    std::vector<Event> events;
    std::vector<Block> blocks;
    std::vector<std::pair<VstInt32, float>> parameters; // setParameter calls
    std::vector<std::string> programNames;              // effSetProgramName calls
    std::vector<unsigned char> chunk;
    VstInt32 chunkIndex = -1;
    bool closed = false;

    void clear() { *this = Record(); }
};

} // namespace probe

// Exported by the probe next to VSTPluginMain.
extern "C" typedef probe::Record* (*ProbeRecordFunction)();
