// The command-line host driving plug-ins through their AEffect records: a
// probe that records what it is told, the Volantor2 bundle, and another
// maker's instrument when the machine has one.
#include "RenderTestSupport.h"
#include "tools/render/MidiFile.h"
#include "tools/render/PluginHost.h"
#include "tools/render/StateFile.h"
#include "tools/render/testplugins/ProbeRecord.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

using render::HostError;
using render::MidiFile;
using render::PluginHost;
using render::RenderOptions;
using render::StateFile;
using rendertest::Bytes;
using rendertest::events;

namespace {

// Holds the probe library open across the host's dlclose, so what the probe
// recorded can still be read.
class ProbeLibrary
{
public:
    explicit ProbeLibrary(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL))
    {
        if (handle)
            if (auto fn = reinterpret_cast<ProbeRecordFunction>(dlsym(handle, "probeRecord")))
                record_ = fn();
    }
    ~ProbeLibrary()
    {
        if (handle)
            dlclose(handle);
    }
    const probe::Record& record() const { return *record_; }
    bool loaded() const { return record_ != nullptr; }

private:
    void* handle;
    probe::Record* record_ = nullptr;
};

struct Rendered
{
    std::vector<float> left, right;
    render::RenderStats stats;

    std::vector<int64_t> nonZeroFrames() const
    {
        std::vector<int64_t> frames;
        for (size_t i = 0; i < left.size(); ++i)
            if (left[i] != 0.f || right[i] != 0.f)
                frames.push_back((int64_t)i);
        return frames;
    }
    bool finite() const
    {
        for (size_t i = 0; i < left.size(); ++i)
            if (!std::isfinite(left[i]) || !std::isfinite(right[i]))
                return false;
        return true;
    }
    float peak() const
    {
        float p = 0;
        for (size_t i = 0; i < left.size(); ++i)
            p = std::max({p, std::fabs(left[i]), std::fabs(right[i])});
        return p;
    }
};

Rendered renderWith(PluginHost& host, const MidiFile& song, const StateFile* state = nullptr, int rate = 44100,
                    int block = 512, double tail = 0.5)
{
    Rendered r;
    RenderOptions options;
    options.sampleRate = rate;
    options.blockSize = block;
    options.tailSeconds = tail;
    r.stats = host.render(song, state, options, [&r](const float* left, const float* right, int frames) {
        r.left.insert(r.left.end(), left, left + frames);
        r.right.insert(r.right.end(), right, right + frames);
    });
    return r;
}

// 120 bpm for the first second, then 60 bpm: notes at 0, 0.5 and 2.0 s, the
// last one released at 3.0 s.
MidiFile tempoChangeSong()
{
    return MidiFile::parse(rendertest::midiFile(
        1, 480,
        {events({{0, {0xff, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}},
                 {0, {0xff, 0x51, 0x03, 0x07, 0xa1, 0x20}},
                 {960, {0xff, 0x51, 0x03, 0x0f, 0x42, 0x40}},
                 {0, rendertest::kEndOfTrack}}),
         events({{0, {0x90, 60, 100}},
                 {240, {0x80, 60, 0}},
                 {240, {0x90, 62, 90}},
                 {960, {0x90, 64, 80}},
                 {480, {0x80, 64, 0}},
                 {0, rendertest::kEndOfTrack}})}));
}

std::vector<VstInt32> opcodes(const probe::Record& r)
{
    std::vector<VstInt32> list;
    for (const probe::Dispatch& d : r.dispatches)
        if (list.empty() || list.back() != d.opcode)
            list.push_back(d.opcode);
    return list;
}

size_t firstIndexOf(const probe::Record& r, VstInt32 opcode, VstIntPtr value = -1)
{
    for (size_t i = 0; i < r.dispatches.size(); ++i)
        if (r.dispatches[i].opcode == opcode && (value < 0 || r.dispatches[i].value == value))
            return i;
    return SIZE_MAX;
}

const char* const kForeignInstruments[] = {
    "/usr/lib/vst/ZynAddSubFX.so",
    "/usr/lib/lxvst/ZynAddSubFX.so",
    "/usr/lib/vst/ZynAddSubFX-vst.so",
};

} // namespace

TEST(RenderHost, DrivesThePluginThroughAWholeSession)
{
    ProbeLibrary probe(PROBE_MONO_SO);
    ASSERT_TRUE(probe.loaded());
    const MidiFile song = tempoChangeSong();
    PluginHost host(PROBE_MONO_SO);
    const Rendered out = renderWith(host, song);
    const probe::Record& r = probe.record();

    // The host introduces itself.
    EXPECT_EQ(r.hostVersion, 2400);
    EXPECT_EQ(r.vendor, "vlt2-render");
    EXPECT_EQ(r.product, "vlt2-render");
    EXPECT_EQ(r.canSendEvents, 1);
    EXPECT_EQ(r.canReceiveEvents, 0);
    EXPECT_EQ(r.sampleRateAtOpen, 44100);
    EXPECT_EQ(r.blockSizeAtOpen, 512);

    // The call sequence, with blocks of events in the middle.
    const std::vector<VstInt32> expected = {effOpen,          effSetSampleRate, effSetBlockSize, effMainsChanged,
                                            effStartProcess,  effProcessEvents, effStopProcess,  effMainsChanged,
                                            effClose};
    EXPECT_EQ(opcodes(r), expected);
    EXPECT_FLOAT_EQ(r.dispatches[1].opt, 44100.f);
    EXPECT_EQ(r.dispatches[2].value, 512);
    EXPECT_EQ(r.dispatches[3].value, 1);
    EXPECT_EQ(r.dispatches[r.dispatches.size() - 2].value, 0);
    EXPECT_TRUE(r.closed);

    // 3 s of song and 0.5 s of tail, in 512-frame blocks with a short last one.
    const int64_t total = 3 * 44100 + 44100 / 2;
    EXPECT_EQ(out.stats.frames, total);
    ASSERT_EQ(out.left.size(), (size_t)total);
    ASSERT_EQ(r.blocks.size(), (size_t)(total + 511) / 512);
    EXPECT_EQ(r.blocks.back().frames, total % 512);

    // Each event lands on its frame: block start plus deltaFrames.
    const int64_t eventFrames[] = {0, 11025, 22050, 88200, 132300};
    ASSERT_EQ(r.events.size(), std::size(eventFrames));
    EXPECT_EQ(out.stats.eventsSent, 5);
    for (size_t i = 0; i < r.events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ((int64_t)r.events[i].block * 512 + r.events[i].deltaFrames, eventFrames[i]);
        EXPECT_GE(r.events[i].deltaFrames, 0);
        EXPECT_LT(r.events[i].deltaFrames, 512);
    }
    EXPECT_EQ(r.events[2].bytes[0], 0x90);
    EXPECT_EQ(r.events[2].bytes[1], 62);
    EXPECT_EQ(r.events[2].bytes[2], 90);

    // The mono output feeds both sides, sample-exact.
    EXPECT_EQ(out.nonZeroFrames(), (std::vector<int64_t>{0, 22050, 88200}));
    EXPECT_EQ(out.left, out.right);
    EXPECT_FLOAT_EQ(out.left[22050], 0.25f);

    // Every block saw silent inputs and the time at its first frame.
    for (size_t b = 0; b < r.blocks.size(); ++b) {
        SCOPED_TRACE(b);
        const probe::Block& block = r.blocks[b];
        ASSERT_TRUE(block.haveTime);
        EXPECT_TRUE(block.inputsSilent);
        const VstTimeInfo& t = block.time;
        const double seconds = (double)b * 512 / 44100;
        EXPECT_DOUBLE_EQ(t.samplePos, (double)b * 512);
        EXPECT_DOUBLE_EQ(t.sampleRate, 44100);
        EXPECT_NEAR(t.ppqPos, seconds < 1 ? 2 * seconds : 2 + (seconds - 1), 1e-9);
        EXPECT_DOUBLE_EQ(t.tempo, seconds < 1 ? 120 : 60);
        EXPECT_DOUBLE_EQ(t.barStartPos, std::floor(t.ppqPos / 4 + 1e-9) * 4);
        EXPECT_EQ(t.timeSigNumerator, 4);
        EXPECT_EQ(t.timeSigDenominator, 4);
        const VstInt32 always = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
        EXPECT_EQ(t.flags & always, always);
        EXPECT_EQ((t.flags & kVstTransportChanged) != 0, b == 0);
    }
}

TEST(RenderHost, KeepsTheFirstTwoOfManyOutputs)
{
    PluginHost host(PROBE_WIDE_SO);
    ASSERT_EQ(host.effect()->numOutputs, 3);
    const Rendered out = renderWith(host, MidiFile::parse(rendertest::oneNote(60, 1)), nullptr, 48000, 64, 0.1);
    EXPECT_EQ(out.stats.frames, (int64_t)std::ceil(0.6 * 48000));
    EXPECT_EQ(out.nonZeroFrames(), (std::vector<int64_t>{0}));
    EXPECT_FLOAT_EQ(out.left[0], 0.25f);
    EXPECT_FLOAT_EQ(out.right[0], 0.5f);
}

TEST(RenderHost, RefusesWhatIsNoUsablePlugin)
{
    rendertest::ScratchDir dir;
    const std::string text = dir.write("text.so", {'n', 'o', 't', ' ', 'E', 'L', 'F'});
    struct Case
    {
        const char* name;
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {"missing file", dir.file("missing.so"), "no such plug-in file"},
        {"not a shared library", text, "cannot load"},
        {"no entry point", NOT_A_PLUGIN_SO, "no VSTPluginMain"},
        {"entry point returns nothing", PROBE_NULL_SO, "returned no plug-in"},
        {"wrong magic", PROBE_BAD_MAGIC_SO, "bad magic 'Nope'"},
        {"no processReplacing", PROBE_NO_REPLACING_SO, "no processReplacing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            PluginHost host(render::resolvePluginPath(c.path));
            ADD_FAILURE() << "accepted";
        } catch (const HostError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(RenderHost, ClosesAPluginItRefuses)
{
    ProbeLibrary probe(PROBE_NO_REPLACING_SO);
    ASSERT_TRUE(probe.loaded());
    EXPECT_THROW(PluginHost host(PROBE_NO_REPLACING_SO), HostError);
    EXPECT_TRUE(probe.record().closed);
    EXPECT_EQ(opcodes(probe.record()), (std::vector<VstInt32>{effClose}));
}

TEST(RenderHost, RestoresStateBeforeSwitchingOn)
{
    StateFile programChunk;
    programChunk.kind = StateFile::kProgramChunk;
    programChunk.chunk = {1, 2, 3};
    StateFile bankChunk = programChunk;
    bankChunk.kind = StateFile::kBankChunk;
    StateFile raw = programChunk;
    raw.kind = StateFile::kRawChunk;
    StateFile program;
    program.kind = StateFile::kProgram;
    program.programs = {{"Solo", {0.1f, 0.2f, 0.3f, 0.4f}}}; // one more than the probe has
    StateFile bank;
    bank.kind = StateFile::kBank;
    bank.programs = {{"A", {0.5f}}, {"B", {0.75f}}};
    bank.currentProgram = 1;

    struct Case
    {
        const char* name;
        const StateFile* state;
        VstInt32 chunkIndex;
        std::vector<std::pair<VstInt32, float>> parameters;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"program chunk", &programChunk, 1, {}, {}},
        {"bank chunk", &bankChunk, 0, {}, {}},
        {"raw chunk", &raw, 0, {}, {}},
        {"program", &program, -1, {{0, 0.1f}, {1, 0.2f}, {2, 0.3f}}, {"Solo"}},
        {"bank", &bank, -1, {{0, 0.5f}, {0, 0.75f}}, {"A", "B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeLibrary probe(PROBE_MONO_SO);
        PluginHost host(PROBE_MONO_SO);
        renderWith(host, MidiFile::parse(rendertest::oneNote(60, 1)), c.state, 44100, 512, 0);
        const probe::Record& r = probe.record();
        EXPECT_EQ(r.chunkIndex, c.chunkIndex);
        if (c.chunkIndex >= 0) {
            EXPECT_EQ(r.chunk, (std::vector<unsigned char>{1, 2, 3}));
        }
        EXPECT_EQ(r.parameters, c.parameters);
        EXPECT_EQ(r.programNames, c.names);

        // Between the block size and switching on.
        const size_t restored = std::min({firstIndexOf(r, effSetChunk), firstIndexOf(r, effSetProgramName),
                                          firstIndexOf(r, effSetProgram)});
        EXPECT_GT(restored, firstIndexOf(r, effSetBlockSize));
        EXPECT_LT(restored, firstIndexOf(r, effMainsChanged, 1));
        if (c.state == &bank) {
            // Program 0, program 1, then the bank's current program.
            std::vector<VstIntPtr> programs;
            for (const probe::Dispatch& d : r.dispatches)
                if (d.opcode == effSetProgram)
                    programs.push_back(d.value);
            EXPECT_EQ(programs, (std::vector<VstIntPtr>{0, 1, 1}));
        }
    }
}

TEST(RenderHost, RefusesStateOfAnotherPlugin)
{
    StateFile state;
    state.kind = StateFile::kBankChunk;
    state.pluginId = vstFourCC('O', 't', 'h', 'r');
    state.chunk = {1};
    PluginHost host(PROBE_MONO_SO);
    try {
        renderWith(host, MidiFile::parse(rendertest::oneNote(60, 1)), &state);
        ADD_FAILURE() << "accepted";
    } catch (const HostError& e) {
        EXPECT_NE(std::string(e.what()).find("'Othr', not 'Prbe'"), std::string::npos) << e.what();
    }
}

TEST(RenderHost, FindsTheLibraryInABundle)
{
    EXPECT_EQ(render::resolvePluginPath(VOLANTOR_BUNDLE_DIR), VOLANTOR_PLUGIN_SO);
    EXPECT_EQ(render::resolvePluginPath(VOLANTOR_BUNDLE_DIR "/"), VOLANTOR_PLUGIN_SO);

    // A bundle whose one library has another name.
    rendertest::ScratchDir dir;
    const std::string libraries = dir.file("Other.vst/Contents/x86_64-linux");
    ASSERT_EQ(std::system(("mkdir -p " + libraries + " " + dir.file("Empty.vst")).c_str()), 0);
    ASSERT_EQ(std::system(("cp " + std::string(PROBE_MONO_SO) + " " + libraries + "/probe.so").c_str()), 0);
    EXPECT_EQ(render::resolvePluginPath(dir.file("Other.vst")), libraries + "/probe.so");
    EXPECT_THROW(render::resolvePluginPath(dir.file("Empty.vst")), HostError);
}

TEST(RenderHost, Volantor2PlaysANoteThroughItsEntryPoint)
{
    PluginHost host(VOLANTOR_PLUGIN_SO);
    const AEffect* e = host.effect();
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->uniqueID, vstFourCC('V', 'L', 'T', '2'));
    EXPECT_TRUE(e->flags & effFlagsIsSynth);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_GT(host.loadSeconds(), 0);
    RecordProperty("load_ms", std::to_string(host.loadSeconds() * 1e3));

    const Rendered out = renderWith(host, MidiFile::parse(rendertest::oneNote(60, 1)), nullptr, 44100, 512, 1.0);
    EXPECT_EQ(out.stats.frames, (int64_t)(1.5 * 44100));
    EXPECT_TRUE(out.finite());
    EXPECT_GT(out.peak(), 0.01f);
    EXPECT_LE(out.peak(), 1.0f);
}

TEST(RenderHost, AnotherMakersInstrumentPlaysANote)
{
    const char* found = nullptr;
    for (const char* path : kForeignInstruments)
        if (rendertest::exists(path))
            found = path;
    if (!found)
        GTEST_SKIP() << "no Debian VST 2.4 instrument installed (apt-get install zynaddsubfx-vst)";

    PluginHost host(found);
    ASSERT_TRUE(host.effect()->flags & effFlagsIsSynth);
    const Rendered out = renderWith(host, MidiFile::parse(rendertest::oneNote(60, 2)), nullptr, 44100, 256, 0.5);
    EXPECT_EQ(out.stats.frames, (int64_t)(1.5 * 44100));
    EXPECT_TRUE(out.finite());
    EXPECT_GT(out.peak(), 0.001f) << found;
    // The note is heard while it is held.
    float held = 0;
    for (int i = 0; i < 44100 / 2; ++i)
        held = std::max(held, std::fabs(out.left[i]));
    EXPECT_GT(held, 0.001f);
}
