#include "tools/render/PluginHost.h"

#include "tools/render/MidiFile.h"
#include "tools/render/StateFile.h"

#include "host/VendorRequests.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

namespace render {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxChannels = 256;             // more is a broken record, not a plug-in
constexpr double kMaxRenderSeconds = 6 * 3600; // a runaway delta time, not a song

// Plug-ins call back with their record; a host is found from it. During
// VSTPluginMain the record is not known yet, so the loading host answers.
std::mutex registryMutex;
std::vector<std::pair<AEffect*, PluginHost*>> registry;
std::atomic<PluginHost*> loadingHost{nullptr};

PluginHost* hostFor(AEffect* effect)
{
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        for (auto& entry : registry)
            if (entry.first == effect)
                return entry.second;
    }
    return loadingHost.load();
}

void unregister(PluginHost* host)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    registry.erase(std::remove_if(registry.begin(), registry.end(), [host](auto& e) { return e.second == host; }),
                   registry.end());
}

VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt)
{
    // Asked before the plug-in exists: answering it is what makes us a host.
    if (opcode == audioMasterVersion)
        return kVstVersion;
    PluginHost* host = hostFor(effect);
    return host ? host->answer(opcode, index, value, ptr, opt) : 0;
}

std::string format(const char* fmt, const std::string& a, const std::string& b = "")
{
    char text[1024];
    std::snprintf(text, sizeof text, fmt, a.c_str(), b.c_str());
    return text;
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}


} // namespace

std::string fourCC(VstInt32 id)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = (char)((uint32_t)id >> shift & 0xff);
        s += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return s;
}

std::string resolvePluginPath(const std::string& plugin)
{
    if (plugin.empty())
        throw HostError("no plug-in given");
    if (!isDirectory(plugin)) {
        if (!isFile(plugin))
            throw HostError(format("%s: no such plug-in file", plugin));
        return plugin;
    }
    std::string dir = plugin;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    std::string name = dir.substr(dir.find_last_of('/') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".vst") == 0)
        name.resize(name.size() - 4);
    const std::string libraries = dir + "/Contents/x86_64-linux";
    const std::string named = libraries + "/" + name + ".so";
    if (isFile(named))
        return named;

    // Otherwise the bundle's only library.
    std::vector<std::string> found;
    if (DIR* d = opendir(libraries.c_str())) {
        while (dirent* entry = readdir(d)) {
            const std::string file = entry->d_name;
            if (file.size() > 3 && file.compare(file.size() - 3, 3, ".so") == 0 && isFile(libraries + "/" + file))
                found.push_back(libraries + "/" + file);
        }
        closedir(d);
    }
    if (found.size() == 1)
        return found[0];
    if (found.empty())
        throw HostError(format("%s: bundle has no library in Contents/x86_64-linux", plugin));
    throw HostError(format("%s: bundle has several libraries in Contents/x86_64-linux and none named %s.so",
                           plugin, name));
}

PluginHost::PluginHost(const std::string& libraryPath) : path_(libraryPath)
{
    // A bare name would send dlopen searching the library path.
    const std::string loadPath = libraryPath.find('/') == std::string::npos ? "./" + libraryPath : libraryPath;

    const Clock::time_point start = Clock::now();
    library_ = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        const char* why = dlerror();
        throw HostError(format("%s: cannot load: %s", libraryPath, why ? why : "unknown error"));
    }
    dlerror();
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(dlsym(library_, "VSTPluginMain"));
    // Older Linux plug-ins export the same entry point as "main".
    if (!entry)
        entry = reinterpret_cast<Entry>(dlsym(library_, "main"));
    if (!entry) {
        dlclose(library_);
        throw HostError(format("%s: not a VST 2.4 plug-in (no VSTPluginMain entry point)", libraryPath));
    }

    // Only one plug-in is created at a time, so the loading host is unambiguous.
    static std::mutex loadMutex;
    {
        std::lock_guard<std::mutex> lock(loadMutex);
        loadingHost.store(this);
        effect_ = entry(hostCallback);
        loadingHost.store(nullptr);
    }
    loadSeconds_ = std::chrono::duration<double>(Clock::now() - start).count();

    std::string problem;
    if (!effect_)
        problem = format("%s: VSTPluginMain returned no plug-in", libraryPath);
    else if (effect_->magic != kEffectMagic)
        problem = format("%s: not a VST 2.4 plug-in (bad magic '%s')", libraryPath, fourCC(effect_->magic));
    if (!problem.empty()) {
        // A record with the wrong magic cannot be trusted with effClose either.
        effect_ = nullptr;
        dlclose(library_);
        throw HostError(problem);
    }
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        registry.emplace_back(effect_, this);
    }
    if (!effect_->processReplacing)
        problem = format("%s: plug-in has no processReplacing (accumulating-only plug-ins are not supported)",
                         libraryPath);
    else if (effect_->numOutputs < 1)
        problem = format("%s: plug-in has no audio outputs", libraryPath);
    else if (effect_->numOutputs > kMaxChannels || effect_->numInputs < 0 || effect_->numInputs > kMaxChannels)
        problem = format("%s: plug-in declares an implausible number of channels", libraryPath);
    if (!problem.empty()) {
        shutDown();
        throw HostError(problem);
    }
}

PluginHost::~PluginHost() { shutDown(); }

void PluginHost::screenshot(const std::string& pngPath, int& width, int& height)
{
    if (used_ || !effect_)
        throw HostError("a plug-in is used once per host");
    used_ = true;
    if (!(effect_->flags & effFlagsHasEditor))
        throw HostError("the plug-in has no editor");
    dispatch(effOpen);
    opened_ = true;
    ERect* rect = nullptr;
    if (!dispatch(effEditGetRect, 0, 0, &rect) || !rect)
        throw HostError("the editor reports no size");
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    if (!dispatch(effEditOpen, 0, 0, nullptr))
        throw HostError("the editor does not open offscreen");
    for (int i = 0; i < 3; ++i)
        dispatch(effEditIdle);
    const bool written =
        dispatch(effVendorSpecific, kScreenshotSelector, 0, const_cast<char*>(pngPath.c_str())) != 0;
    dispatch(effEditClose);
    if (!written)
        throw HostError(pngPath + ": the editor could not write its window");
}

void PluginHost::shutDown()
{
    if (effect_) {
        if (processing_)
            dispatch(effStopProcess);
        if (on_)
            dispatch(effMainsChanged, 0, 0);
        // effClose is also what frees a plug-in that was never opened.
        dispatch(effClose);
        processing_ = on_ = opened_ = false;
        effect_ = nullptr; // the record may be gone with the plug-in
    }
    unregister(this);
    if (library_) {
        dlclose(library_);
        library_ = nullptr;
    }
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    sent_.push_back(opcode);
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

VstIntPtr PluginHost::answer(VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode) {
    case audioMasterVersion: return kVstVersion;
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(&time_);
    case audioMasterGetSampleRate: return sampleRate_;
    case audioMasterGetBlockSize: return blockSize_;
    case audioMasterGetVendorString:
    case audioMasterGetProductString:
        if (!ptr)
            return 0;
        std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "%s", "vlt2-render");
        return 1;
    case audioMasterCanDo: {
        if (!ptr)
            return 0;
        static const char* const kCan[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                                           "startStopProcess"};
        for (const char* can : kCan)
            if (!std::strcmp(static_cast<const char*>(ptr), can))
                return 1;
        return 0;
    }
    default: return 0;
    }
}

void PluginHost::applyState(const StateFile& state)
{
    if (state.pluginId && effect_->uniqueID && state.pluginId != effect_->uniqueID)
        throw HostError(format("state file is for plug-in '%s', not '%s'", fourCC(state.pluginId),
                               fourCC(effect_->uniqueID)));
    if (state.isChunk()) {
        if (!(effect_->flags & effFlagsProgramChunks))
            throw HostError("the plug-in does not take state chunks");
        // Index 1 is one program, 0 the whole bank.
        const VstInt32 index = state.kind == StateFile::kProgramChunk ? 1 : 0;
        dispatch(effSetChunk, index, (VstIntPtr)state.chunk.size(), const_cast<uint8_t*>(state.chunk.data()));
        return;
    }

    auto setProgram = [this](const StateFile::Program& program) {
        const size_t count = std::min(program.parameters.size(), (size_t)std::max(0, effect_->numParams));
        for (size_t i = 0; i < count; ++i)
            effect_->setParameter(effect_, (VstInt32)i, program.parameters[i]);
        char name[kVstMaxProgNameLen + 1] = {};
        std::snprintf(name, sizeof name, "%s", program.name.c_str());
        dispatch(effSetProgramName, 0, 0, name);
    };
    if (state.kind == StateFile::kProgram) {
        setProgram(state.programs.at(0));
        return;
    }
    const size_t count = std::min(state.programs.size(), (size_t)std::max(0, effect_->numPrograms));
    for (size_t p = 0; p < count; ++p) {
        dispatch(effSetProgram, 0, (VstIntPtr)p);
        setProgram(state.programs[p]);
    }
    const int current = (state.currentProgram >= 0 && (size_t)state.currentProgram < count) ? state.currentProgram
                                                                                           : 0;
    dispatch(effSetProgram, 0, current);
}

void PluginHost::updateTime(const MidiFile& song, int64_t frame, bool first)
{
    const double seconds = (double)frame / sampleRate_;
    const double ticks = song.ticksAt(seconds);
    const TimeSignature& sig = song.signatureAt(ticks);
    time_.samplePos = (double)frame;
    time_.sampleRate = sampleRate_;
    time_.ppqPos = ticks / song.ticksPerQuarter();
    time_.tempo = song.bpmAt(seconds);
    time_.barStartPos = song.barStartAt(time_.ppqPos);
    time_.timeSigNumerator = sig.numerator;
    time_.timeSigDenominator = sig.denominator;
    time_.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (processing_)
        time_.flags |= kVstTransportPlaying;
    if (first)
        time_.flags |= kVstTransportChanged;
}

RenderStats PluginHost::render(const MidiFile& song, const StateFile* state, const RenderOptions& options,
                               const AudioSink& sink)
{
    if (used_ || !effect_)
        throw HostError("a plug-in is rendered once per host");
    used_ = true;
    if (options.sampleRate < 1 || options.blockSize < 1 || !(options.tailSeconds >= 0))
        throw HostError("bad render settings");
    sampleRate_ = options.sampleRate;
    blockSize_ = options.blockSize;

    const double lengthSeconds = song.lengthSeconds() + options.tailSeconds;
    if (!(lengthSeconds <= kMaxRenderSeconds))
        throw HostError(format("the song is %s hours long; refusing to render more than 6",
                               std::to_string((int)(lengthSeconds / 3600))));
    const int64_t total = (int64_t)std::ceil(lengthSeconds * sampleRate_);

    // Each event's frame, fixed before the first block.
    const std::vector<MidiEvent>& events = song.events();
    std::vector<int64_t> eventFrames(events.size());
    for (size_t i = 0; i < events.size(); ++i)
        eventFrames[i] = std::llround(events[i].seconds * sampleRate_);

    const int outputs = effect_->numOutputs, inputs = effect_->numInputs;
    std::vector<std::vector<float>> outBuffers(outputs, std::vector<float>(blockSize_));
    std::vector<std::vector<float>> inBuffers(inputs, std::vector<float>(blockSize_));
    std::vector<float*> outPointers(outputs), inPointers(std::max(inputs, 1), nullptr);
    for (int c = 0; c < outputs; ++c)
        outPointers[c] = outBuffers[c].data();
    for (int c = 0; c < inputs; ++c)
        inPointers[c] = inBuffers[c].data();

    std::vector<VstMidiEvent> blockEvents;
    std::vector<char> listStorage;

    updateTime(song, 0, true);
    dispatch(effOpen);
    opened_ = true;
    dispatch(effSetSampleRate, 0, 0, nullptr, (float)sampleRate_);
    dispatch(effSetBlockSize, 0, blockSize_);
    if (state)
        applyState(*state);
    if (options.prepare)
        options.prepare(effect_);
    dispatch(effMainsChanged, 0, 1);
    on_ = true;
    dispatch(effStartProcess);
    processing_ = true;

    RenderStats stats;
    Clock::duration inPlugin{};
    const Clock::time_point loopStart = Clock::now();
    size_t next = 0;
    for (int64_t frame = 0; frame < total; frame += blockSize_) {
        const int frames = (int)std::min<int64_t>(blockSize_, total - frame);
        updateTime(song, frame, frame == 0);

        blockEvents.clear();
        for (; next < events.size() && eventFrames[next] < frame + frames; ++next) {
            VstMidiEvent e{};
            e.type = kVstMidiType;
            e.byteSize = sizeof(VstMidiEvent);
            e.deltaFrames = (VstInt32)std::max<int64_t>(0, eventFrames[next] - frame);
            e.flags = 1; // kVstMidiEventIsRealtime: played, not recorded
            std::memcpy(e.midiData, events[next].data, events[next].size);
            blockEvents.push_back(e);
        }
        listStorage.assign(sizeof(VstEvents) + blockEvents.size() * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(listStorage.data());
        list->numEvents = (VstInt32)blockEvents.size();
        for (size_t i = 0; i < blockEvents.size(); ++i)
            list->events[i] = reinterpret_cast<VstEvent*>(&blockEvents[i]);
        stats.eventsSent += list->numEvents;

        // Inputs are silence; a plug-in working in place may have written to them.
        for (auto& b : inBuffers)
            std::fill(b.begin(), b.begin() + frames, 0.f);
        for (auto& b : outBuffers)
            std::fill(b.begin(), b.begin() + frames, 0.f);
        const Clock::time_point before = Clock::now();
        dispatch(effProcessEvents, 0, 0, list);
        effect_->processReplacing(effect_, inputs ? inPointers.data() : nullptr, outPointers.data(), frames);
        inPlugin += Clock::now() - before;

        // A mono plug-in feeds both sides; channels past the second are dropped.
        const float* left = outBuffers[0].data();
        const float* right = outputs > 1 ? outBuffers[1].data() : left;
        for (int k = 0; k < frames; ++k)
            stats.peak = std::max({stats.peak, std::fabs(left[k]), std::fabs(right[k])});
        sink(left, right, frames);
        stats.frames += frames;
        if (options.progress)
            options.progress(stats.frames, total);
    }
    stats.processSeconds = std::chrono::duration<double>(inPlugin).count();
    stats.wallSeconds = std::chrono::duration<double>(Clock::now() - loopStart).count();

    dispatch(effStopProcess);
    processing_ = false;
    dispatch(effMainsChanged, 0, 0);
    on_ = false;
    shutDown();
    return stats;
}

} // namespace render
