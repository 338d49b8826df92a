// Loads a VST 2.4 plug-in from its shared library and drives it through its
// AEffect record the way a sequencer does, feeding it a MIDI file block by block.
#pragma once

#include "vst2/Vst2.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace render {

class MidiFile;
struct StateFile;

struct HostError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// A `.so` path as given, or the library inside a `.vst` bundle directory.
std::string resolvePluginPath(const std::string& plugin);

// A four-character id as text, '?' for bytes that are not printable.
std::string fourCC(VstInt32 id);

struct RenderOptions
{
    int sampleRate = 44100;
    int blockSize = 512;
    double tailSeconds = 2.0;
    // Called now and then with frames done and frames in all.
    std::function<void(int64_t, int64_t)> progress;
    // Called once the state is restored, before the plug-in is switched on.
    std::function<void(AEffect*)> prepare;
};

struct RenderStats
{
    int64_t frames = 0;
    double processSeconds = 0; // wall-clock time inside the plug-in's block calls
    double wallSeconds = 0;    // the whole block loop, the sink included
    float peak = 0;
    int eventsSent = 0;
};

// Receives each block's first two output channels.
using AudioSink = std::function<void(const float* left, const float* right, int frames)>;

class PluginHost
{
public:
    // dlopen and VSTPluginMain; throws HostError when the library is no usable plug-in.
    explicit PluginHost(const std::string& libraryPath);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    AEffect* effect() const { return effect_; }
    const std::string& path() const { return path_; }
    // From dlopen to VSTPluginMain returning.
    double loadSeconds() const { return loadSeconds_; }

    // The whole session from effOpen to effClose; one per host. The state, if
    // any, is restored before the plug-in is switched on.
    RenderStats render(const MidiFile& song, const StateFile* state, const RenderOptions& options,
                       const AudioSink& sink);

    // Opens the plug-in's editor offscreen (a null parent window), lets it
    // idle, has it write its window as a PNG through our vendor-specific
    // request, and closes it. Throws HostError when a step fails; gives the
    // window's size from effEditGetRect.
    void screenshot(const std::string& pngPath, int& width, int& height);

    // What the plug-in saw of the host, for tests.
    const VstTimeInfo& timeInfo() const { return time_; }
    const std::vector<VstInt32>& opcodesSent() const { return sent_; }

    // The host side of the callback; public for the static trampoline.
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.f);
    void applyState(const StateFile& state);
    void updateTime(const MidiFile& song, int64_t frame, bool first);
    void shutDown();

    std::string path_;
    void* library_ = nullptr;
    AEffect* effect_ = nullptr;
    double loadSeconds_ = 0;
    bool opened_ = false, on_ = false, processing_ = false, used_ = false;
    int sampleRate_ = 44100;
    int blockSize_ = 512;
    VstTimeInfo time_{};
    std::vector<VstInt32> sent_;
};

} // namespace render
