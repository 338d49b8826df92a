// vlt2-render end to end: the executable, its files and its messages.
#include "RenderTestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <fstream>
#include <sstream>

using rendertest::Bytes;
using rendertest::ScratchDir;

namespace {

struct Result
{
    int status = -1; // exit code; -1 when it did not exit by itself
    std::string out, err;
};

std::string quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Result run(const ScratchDir& dir, const std::vector<std::string>& args)
{
    std::string command = quote(VLT2_RENDER_EXE);
    for (const std::string& a : args)
        command += " " + quote(a);
    command += " < /dev/null > " + quote(dir.file("stdout")) + " 2> " + quote(dir.file("stderr"));
    const int raw = std::system(command.c_str());
    Result r;
    if (raw != -1 && WIFEXITED(raw))
        r.status = WEXITSTATUS(raw);
    r.out = slurp(dir.file("stdout"));
    r.err = slurp(dir.file("stderr"));
    return r;
}

int lines(const std::string& text) { return (int)std::count(text.begin(), text.end(), '\n'); }

} // namespace

TEST(RenderTool, WritesTheSongFrameExact)
{
    ScratchDir dir;
    // Notes at 0 and 0.5 s; the song ends at 1 s.
    const std::string song = dir.write(
        "two.mid", rendertest::midiFile(0, 480,
                                        {rendertest::events({{0, {0x90, 60, 100}},
                                                             {480, {0x80, 60, 0}},
                                                             {0, {0x90, 64, 100}},
                                                             {480, {0x80, 64, 0}},
                                                             {0, rendertest::kEndOfTrack}})}));
    const std::string wav = dir.file("out.wav");
    const Result r = run(dir, {"--rate", "48000", "--block", "100", "--tail", "0.25", PROBE_MONO_SO, song, "-o", wav});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    const rendertest::Audio a = rendertest::readAudio(wav);
    EXPECT_EQ(a.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(a.rate, 48000);
    ASSERT_EQ(a.channels, 2);
    ASSERT_EQ(a.frames(), 60000);
    std::vector<int64_t> hits;
    for (int64_t i = 0; i < a.frames(); ++i)
        if (a.samples[2 * i] != 0.f || a.samples[2 * i + 1] != 0.f)
            hits.push_back(i);
    EXPECT_EQ(hits, (std::vector<int64_t>{0, 24000}));
    EXPECT_FLOAT_EQ(a.samples[2 * 24000], 0.25f);
    EXPECT_FLOAT_EQ(a.samples[2 * 24000 + 1], 0.25f);
}

TEST(RenderTool, RendersANoteWithTheVolantor2Bundle)
{
    ScratchDir dir;
    const std::string song = dir.write("note.mid", rendertest::oneNote(60, 1));
    const std::string wav = dir.file("note.wav");
    const Result r = run(dir, {"-v", VOLANTOR_BUNDLE_DIR, song, "-o", wav});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("from dlopen to VSTPluginMain"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("real-time factor"), std::string::npos) << r.out;

    const rendertest::Audio a = rendertest::readAudio(wav);
    EXPECT_EQ(a.rate, 44100);
    ASSERT_EQ(a.channels, 2);
    EXPECT_EQ(a.frames(), (int64_t)(2.5 * 44100)); // half a second of song, two of tail
    EXPECT_GT(a.peak(), 0.01f);
}

TEST(RenderTool, ListsAndAuditionsTheSounds)
{
    ScratchDir dir;
    const Result list = run(dir, {"--list-sounds"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(lines(list.out), 66 + 82);
    EXPECT_NE(list.out.find("0\tstabs\tHouse Stab\n"), std::string::npos);
    EXPECT_NE(list.out.find(":/Resources/sounds/instrus/m1organ.wav\n"), std::string::npos);

    // A built-in name, a resource path and a user's file, through the bundle.
    const std::string userFile = dir.file("kick.take2.wav");
    {
        SF_INFO info{};
        info.samplerate = 22050;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(userFile.c_str(), SFM_WRITE, &info);
        std::vector<float> tone(22050);
        for (size_t i = 0; i < tone.size(); ++i)
            tone[i] = 0.5f * (float)std::sin(i * 0.05) * (1.f - (float)i / tone.size());
        sf_writef_float(f, tone.data(), (sf_count_t)tone.size());
        sf_close(f);
    }
    for (const std::string& sound : {std::string("Hoover"), std::string(":/Resources/sounds/instrus/m1organ.wav"), userFile}) {
        SCOPED_TRACE(sound);
        const std::string wav = dir.file("audition.wav");
        const Result r = run(dir, {"--audition", sound, "--note", "64", VOLANTOR_BUNDLE_DIR, "-o", wav});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_GT(rendertest::readAudio(wav).peak(), 0.01f);
    }
    const Result missing = run(dir, {"--audition", "No Such Sound", VOLANTOR_BUNDLE_DIR, "-o", dir.file("x.wav")});
    EXPECT_NE(missing.status, 0);
    EXPECT_EQ(lines(missing.err), 1) << missing.err;
}

TEST(RenderTool, OutputTypeFollowsTheExtension)
{
    ScratchDir dir;
    const std::string song = dir.write("note.mid", rendertest::oneNote(60, 1));
    struct Case
    {
        const char* file;
        int format;
    };
    const Case cases[] = {
        {"a.WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
        {"a.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {"a.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"a.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Result r = run(dir, {"--tail", "0.5", PROBE_STEREO_SO, song, "-o", dir.file(c.file)});
        ASSERT_EQ(r.status, 0) << r.err;
        const rendertest::Audio a = rendertest::readAudio(dir.file(c.file));
        EXPECT_EQ(a.format, c.format);
        EXPECT_EQ(a.channels, 2);
        EXPECT_EQ(a.frames(), 44100);
    }
}

TEST(RenderTool, BadInputFailsWithOneLine)
{
    ScratchDir dir;
    const std::string song = dir.write("note.mid", rendertest::oneNote(60, 1));
    Bytes truncated = rendertest::oneNote(60, 1);
    truncated.resize(truncated.size() - 3);
    const std::string broken = dir.write("broken.mid", truncated);
    Bytes smpteBytes = rendertest::oneNote(60, 1);
    smpteBytes[12] = 0xe7;
    const std::string smpte = dir.write("smpte.mid", smpteBytes);
    const std::string fxp = dir.write("cut.fxp", {'C', 'c', 'n', 'K', 0, 0, 0, 9, 'F', 'P', 'C', 'h', 0});
    const std::string text = dir.write("text.mid", {'h', 'e', 'l', 'l', 'o', ',', ' ', 'n', 'o', 't', ' ', 'M', 'I',
                                                   'D', 'I', '\n'});
    const std::string out = dir.file("out.wav");

    struct Case
    {
        const char* name;
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"missing plug-in", {dir.file("none.so"), song, "-o", out}, 1, "no such plug-in file"},
        {"library without VSTPluginMain", {NOT_A_PLUGIN_SO, song, "-o", out}, 1, "no VSTPluginMain"},
        {"plug-in that returns null", {PROBE_NULL_SO, song, "-o", out}, 1, "returned no plug-in"},
        {"missing MIDI file", {PROBE_STEREO_SO, dir.file("none.mid"), "-o", out}, 1, "cannot open"},
        {"truncated MIDI file", {PROBE_STEREO_SO, broken, "-o", out}, 1, "truncated"},
        {"SMPTE MIDI file", {PROBE_STEREO_SO, smpte, "-o", out}, 1, "SMPTE"},
        {"not a MIDI file", {PROBE_STEREO_SO, text, "-o", out}, 1, "not a MIDI file"},
        {"truncated fxp", {"--state", fxp, PROBE_STEREO_SO, song, "-o", out}, 1, "truncated"},
        {"missing state", {"--state", dir.file("none.fxp"), PROBE_STEREO_SO, song, "-o", out}, 1, "cannot open"},
        {"unknown output type", {PROBE_STEREO_SO, song, "-o", dir.file("out.mp3")}, 1, "unknown output type '.mp3'"},
        {"unwritable output", {PROBE_STEREO_SO, song, "-o", dir.file("no/such/dir.wav")}, 1, "cannot write"},
        {"no output", {PROBE_STEREO_SO, song}, 2, "no output file"},
        {"rate out of range", {"--rate", "100", PROBE_STEREO_SO, song, "-o", out}, 2, "--rate"},
        {"block not a number", {"--block", "big", PROBE_STEREO_SO, song, "-o", out}, 2, "--block"},
        {"unknown option", {"--loud", PROBE_STEREO_SO, song, "-o", out}, 2, "unknown option --loud"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result r = run(dir, c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(lines(r.err), 1) << r.err;
        EXPECT_EQ(r.err.rfind("vlt2-render: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(rendertest::exists(out));
    }
}

TEST(RenderTool, ProgressOnlyWhenAsked)
{
    ScratchDir dir;
    const std::string song = dir.write("note.mid", rendertest::oneNote(60, 1));
    // Long enough for a progress line; stderr is a file here, not a terminal.
    const Result quiet = run(dir, {"--tail", "6", PROBE_STEREO_SO, song, "-o", dir.file("a.wav")});
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
    const Result shown = run(dir, {"--progress", "--tail", "6", PROBE_STEREO_SO, song, "-o", dir.file("b.wav")});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.err.rfind("\rvlt2-render: ", 0), 0u) << shown.err;
    EXPECT_NE(shown.err.find("6.5 of 6.5 s (100%)\n"), std::string::npos) << shown.err;
    EXPECT_EQ(lines(shown.err), 1);
}

TEST(RenderTool, RendersTheDemoSong)
{
    ScratchDir dir;
    const std::string wav = dir.file("demo.wav");
    const Result r = run(dir, {"--timing", VOLANTOR_BUNDLE_DIR, VLT2_DEMO_SONG, "-o", wav});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("real-time factor"), std::string::npos) << r.out;
    const rendertest::Audio a = rendertest::readAudio(wav);
    EXPECT_GT(a.frames(), 22 * 44100);
    EXPECT_LT(a.frames(), 34 * 44100);
    // Heard, and with headroom: nothing clips.
    EXPECT_GT(a.peak(), 0.1f);
    EXPECT_LT(a.peak(), 0.95f);
}
