// Loading users' sound files into samples: formats and widths through
// libsndfile, MP3 through libmad (plain, with an upper-case extension and
// wrapped in a WAV container), files that must fail, and the path helpers.
// Fixtures are written at test time; MP3s are encoded with lame.
#include "engine/Sample.h"
#include "sources/PathNames.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Multiples of 1/128 survive 16-bit PCM exactly.
float pattern(int channel, int frame)
{
    return static_cast<float>(((frame * 7 + channel * 13) % 200) - 100) / 128.0f;
}

float sine(int frame, double hz, double amplitude)
{
    return static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * frame / 44100.0));
}

using Signal = std::function<float(int channel, int frame)>;

bool writeSound(const std::string& path, int format, int channels, int rate, int frames, const Signal& signal)
{
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = rate;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    // Written as 16-bit values: libsndfile reads them back as value / 32768.
    std::vector<short> data(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data[static_cast<size_t>(i) * channels + c] =
                static_cast<short>(std::clamp(std::lrint(signal(c, i) * 32768.0f), -32768L, 32767L));
    const sf_count_t written = sf_writef_short(file, data.data(), frames);
    sf_close(file);
    return written == frames;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string le32(uint32_t v)
{
    return {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char(v >> 24)};
}

std::string le16(uint16_t v) { return {char(v & 0xff), char(v >> 8)}; }

// A RIFF/WAVE file with a plain 16-byte 'fmt ' chunk and one data chunk.
std::string wavBytes(uint16_t tag, uint16_t channels, uint16_t bits, const std::string& data,
                     uint32_t claimedDataSize)
{
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    std::string fmt = le16(tag) + le16(channels) + le32(44100) + le32(44100u * align) + le16(align) + le16(bits);
    std::string body = "WAVE" + std::string("fmt ") + le32(16) + fmt + "data" + le32(claimedDataSize) + data;
    if (data.size() % 2)
        body += '\0';
    return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

float peak(const float* buffer, int frames)
{
    float p = 0.0f;
    for (int i = 0; i < frames; ++i)
        p = std::max(p, std::fabs(buffer[i]));
    return p;
}

bool haveLame() { return std::system("command -v lame >/dev/null 2>&1") == 0; }

class SoundFile : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        char name[] = "/tmp/vlt2-soundfile-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    static void TearDownTestSuite()
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    static std::string at(const std::string& name) { return dir + "/" + name; }

    // Encodes `frames` frames of `signal` at 44.1 kHz with lame, in the given channel mode.
    static std::string encodeMp3(const std::string& name, int channels, const Signal& signal, int frames = 22050)
    {
        const std::string wav = at(name + ".source.wav");
        const std::string mp3 = at(name);
        EXPECT_TRUE(writeSound(wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels, 44100, frames, signal));
        const std::string mode = channels == 1 ? "m" : "s";
        const std::string command = "lame --quiet -m " + mode + " -b 128 '" + wav + "' '" + mp3 + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return mp3;
    }

    static std::string dir;
};

std::string SoundFile::dir;

void expectDefaults(const Sample& s)
{
    EXPECT_EQ(s.getStartPlay(), 0);
    EXPECT_EQ(s.getLoopStart(), 0);
    EXPECT_EQ(s.getLoopStyle(), Sample::noLoop);
    EXPECT_EQ(s.getRootRatio(), 1.0);
}

} // namespace

TEST_F(SoundFile, LoadsEveryFormatAndKeepsTwoChannelsAtMost)
{
    struct Case { const char* name; int format; int channels; int rate; int frames; };
    const std::vector<Case> cases = {
        {"mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 22050, 1000},
        {"stereo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 777},
        {"quad.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4, 48000, 500},
        {"stereo.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, 32000, 640},
        {"mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 44100, 1234},
        {"one-frame.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = at(c.name);
        ASSERT_TRUE(writeSound(path, c.format, c.channels, c.rate, c.frames, pattern));
        Sample s;
        ASSERT_TRUE(s.load(path));
        const int kept = std::min(c.channels, 2);
        EXPECT_EQ(s.getChannelCount(), kept);
        EXPECT_EQ(s.getFrames(), c.frames);
        EXPECT_EQ(s.getLoopEnd(), std::max(c.frames - 1, 0));
        EXPECT_EQ(s.getSamplerate(), c.rate);
        expectDefaults(s);
        for (int ch = 0; ch < kept; ++ch) {
            const float* buffer = s.getBuffer(ch);
            ASSERT_NE(buffer, nullptr);
            for (int i = 0; i < c.frames; ++i)
                ASSERT_EQ(buffer[i], pattern(ch, i)) << "channel " << ch << " frame " << i;
            EXPECT_EQ(buffer[c.frames], buffer[0]) << "guard of channel " << ch;
        }
        if (kept == 2)
            EXPECT_NE(s.getBuffer(0), s.getBuffer(1));
        else
            EXPECT_EQ(s.getBuffer(1), nullptr);
    }
}

TEST_F(SoundFile, ReloadingReplacesTheBuffers)
{
    const std::string stereo = at("reload-stereo.wav"), mono = at("reload-mono.wav");
    ASSERT_TRUE(writeSound(stereo, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 300, pattern));
    ASSERT_TRUE(writeSound(mono, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, 200, pattern));
    Sample s;
    ASSERT_TRUE(s.load(stereo));
    ASSERT_TRUE(s.load(mono));
    EXPECT_EQ(s.getChannelCount(), 1);
    EXPECT_EQ(s.getFrames(), 200);
    EXPECT_EQ(s.getBuffer(1), nullptr);
    // A failed load leaves the loaded sound as it was.
    EXPECT_FALSE(s.load(at("missing.wav")));
    EXPECT_EQ(s.getFrames(), 200);
    EXPECT_EQ(s.getBuffer(0)[199], pattern(0, 199));
}

TEST_F(SoundFile, FailsCleanlyOnFilesItCannotPlay)
{
    const std::string pcm = std::string(200, '\x10');
    writeBytes(at("no-frames.wav"), wavBytes(1, 1, 16, "", 0));
    writeBytes(at("empty.wav"), "");
    writeBytes(at("text.wav"), "this is a shopping list, not a sound\n");
    writeBytes(at("bad-channels.wav"), wavBytes(1, 0, 16, pcm, 200));
    writeBytes(at("other-codec.wav"), wavBytes(0x99, 1, 16, pcm, 200));
    std::string noise;
    for (int i = 0; i < 5000; ++i)
        noise += static_cast<char>((i * 37 + 11) % 251);
    writeBytes(at("noise.mp3"), noise);
    writeBytes(at("empty.mp3"), "");
    writeBytes(at("noise-in-wav.wav"), wavBytes(0x55, 1, 0, noise, static_cast<uint32_t>(noise.size())));
    fs::create_directories(at("folder.mp3"));

    const std::vector<std::string> paths = {
        "", at("missing.wav"), at("missing.mp3"), at("no-frames.wav"), at("empty.wav"), at("text.wav"),
        at("bad-channels.wav"), at("other-codec.wav"), at("noise.mp3"), at("empty.mp3"),
        at("noise-in-wav.wav"), at("folder.mp3"), dir,
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        Sample s;
        EXPECT_FALSE(s.load(path));
        EXPECT_EQ(s.getFrames(), 0);
        EXPECT_EQ(s.getChannelCount(), 0);
        EXPECT_EQ(s.getBuffer(0), nullptr);
    }
}

TEST_F(SoundFile, TruncatedFilesKeepTheFramesTheyHave)
{
    // libsndfile shortens a cut WAV to its data; a cut FLAC still claims its
    // whole length, and only the frames that can be read are kept.
    struct Case { const char* name; int format; int channels; int frames; size_t keptBytes; };
    const std::vector<Case> cases = {
        {"cut.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 1000, 44 + 300 * 4 + 2},
        {"cut.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 20000, 12000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string whole = at(std::string("whole-") + c.name), cut = at(c.name);
        ASSERT_TRUE(writeSound(whole, c.format, c.channels, 44100, c.frames, pattern));
        const std::string bytes = readBytes(whole);
        ASSERT_LT(c.keptBytes, bytes.size());
        writeBytes(cut, bytes.substr(0, c.keptBytes));
        Sample s;
        ASSERT_TRUE(s.load(cut));
        const int frames = s.getFrames();
        EXPECT_GT(frames, 100);
        EXPECT_LT(frames, c.frames);
        EXPECT_EQ(s.getLoopEnd(), frames - 1);
        for (int ch = 0; ch < std::min(c.channels, 2); ++ch) {
            SCOPED_TRACE(ch);
            const float* buffer = s.getBuffer(ch);
            for (int i = 0; i < frames; ++i)
                ASSERT_EQ(buffer[i], pattern(ch, i)) << "frame " << i;
            EXPECT_EQ(buffer[frames], buffer[0]);
        }
    }
}

TEST_F(SoundFile, RefusesFilesBeyondTheMemoryBound)
{
    // 300 million 8-bit frames, on disk as a sparse file: over 1 GiB of floats.
    const uint32_t frames = 300000000;
    const std::string path = at("huge.wav");
    writeBytes(path, wavBytes(1, 1, 8, "", frames));
    fs::resize_file(path, 44 + static_cast<uintmax_t>(frames));
    Sample s;
    EXPECT_FALSE(s.load(path));
    EXPECT_EQ(s.getBuffer(0), nullptr);
}

TEST_F(SoundFile, DecodesMp3FilesWhateverTheirExtensionCase)
{
    if (!haveLame())
        GTEST_SKIP() << "lame is not installed";
    const auto tone = [](int c, int i) { return sine(i, 440.0, c ? 0.25 : 0.5); };
    const std::string mono = encodeMp3("mono.mp3", 1, tone);
    const std::string stereo = encodeMp3("stereo.mp3", 2, tone);
    // Six seconds: more than the first decoding buffer of 230400 values.
    const std::string longer = encodeMp3("long.mp3", 2, tone, 6 * 44100);
    const std::string upper = at("Loop.MP3");
    fs::copy_file(stereo, upper);

    struct Case { std::string path; int channels; int encodedFrames; };
    const std::vector<Case> cases = {{mono, 1, 22050}, {stereo, 2, 22050}, {upper, 2, 22050}, {longer, 2, 6 * 44100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Sample s, direct;
        ASSERT_TRUE(s.load(c.path));
        ASSERT_TRUE(direct.loadFromMp3(c.path));
        EXPECT_EQ(s.getChannelCount(), c.channels);
        // Encoder delay and padding are decoded too.
        EXPECT_GE(s.getFrames(), c.encodedFrames);
        EXPECT_LT(s.getFrames(), c.encodedFrames + 4 * 1152);
        EXPECT_EQ(s.getFrames(), direct.getFrames());
        EXPECT_EQ(s.getLoopEnd(), s.getFrames() - 1);
        EXPECT_EQ(s.getSamplerate(), 44100);
        expectDefaults(s);
        EXPECT_NEAR(peak(s.getBuffer(0), s.getFrames() + 1), 0.5f, 0.05f);
        if (c.channels == 1) {
            EXPECT_EQ(s.getBuffer(1), nullptr);
        } else {
            ASSERT_NE(s.getBuffer(1), nullptr);
            EXPECT_NE(s.getBuffer(1), s.getBuffer(0));
            EXPECT_NEAR(peak(s.getBuffer(1), s.getFrames() + 1), 0.25f, 0.05f);
        }
        // A 440 Hz tone moves by at most 2 * pi * 440 / 44100 * amplitude a
        // frame: no jump where the buffers grew.
        for (int ch = 0; ch < c.channels; ++ch)
            for (int i = 2000; i < s.getFrames(); ++i)
                ASSERT_LT(std::fabs(s.getBuffer(ch)[i] - s.getBuffer(ch)[i - 1]), 0.05f) << "frame " << i;
    }
}

TEST_F(SoundFile, DecodesMp3WrappedInAWavContainer)
{
    if (!haveLame())
        GTEST_SKIP() << "lame is not installed";
    const std::string mp3 = encodeMp3("wrapped.mp3", 1, [](int, int i) { return sine(i, 330.0, 0.5); });
    const std::string data = readBytes(mp3);
    const std::string wrapped = at("wrapped.wav");
    writeBytes(wrapped, wavBytes(0x55, 1, 0, data, static_cast<uint32_t>(data.size())));

    // The route to the MP3 decoder depends on how libsndfile refuses this file.
    SF_INFO info{};
    SNDFILE* file = sf_open(wrapped.c_str(), SFM_READ, &info);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(sf_error(nullptr), 64) << sf_strerror(nullptr);
    if (file)
        sf_close(file);

    EXPECT_TRUE(Sample::isWavMp3(wrapped));
    Sample s, direct;
    ASSERT_TRUE(s.load(wrapped));
    ASSERT_TRUE(direct.loadFromMp3(mp3));
    EXPECT_EQ(s.getChannelCount(), 1);
    EXPECT_EQ(s.getFrames(), direct.getFrames());
    EXPECT_EQ(s.getSamplerate(), 44100);
    EXPECT_NEAR(peak(s.getBuffer(0), s.getFrames()), 0.5f, 0.05f);
}

TEST_F(SoundFile, RecognisesMp3InWavByItsFormatTag)
{
    const std::string pcm(100, '\0');
    const std::string header = wavBytes(0x55, 1, 0, pcm, 100);
    writeBytes(at("tag55.wav"), header);
    writeBytes(at("tag55-short.wav"), header.substr(0, 21));
    writeBytes(at("pcm.wav"), wavBytes(1, 1, 16, pcm, 100));
    std::string notRiff = header;
    notRiff.replace(0, 4, "RIFX");
    writeBytes(at("not-riff.wav"), notRiff);

    struct Case { std::string path; bool expected; };
    const std::vector<Case> cases = {
        {at("tag55.wav"), true}, {at("tag55-short.wav"), false}, {at("pcm.wav"), false},
        {at("not-riff.wav"), false}, {at("missing.wav"), false}, {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sample::isWavMp3(c.path), c.expected) << c.path;
}

TEST(PathNames, CutsNamesAndRecognisesMp3)
{
    struct Base { const char* path; const char* expected; };
    const std::vector<Base> bases = {
        {"/home/me/kick.take2.wav", "kick.take2"}, {"C:\\Samples\\Snare.aif", "Snare"},
        {"mixed/dir\\hat.wav", "hat"}, {"dir.v2/noext", "noext"}, {"plain", "plain"},
        {"/trailing/", ""}, {"", ""},
    };
    for (const Base& b : bases)
        EXPECT_EQ(getBaseName(b.path), b.expected) << b.path;

    struct Mp3 { const char* path; bool expected; };
    const std::vector<Mp3> mp3s = {
        {"a.mp3", true}, {"Loop.MP3", true}, {"x.Mp3", true}, {".mp3", true}, {"mp3", false},
        {"a.mp3.wav", false}, {"a.mp4", false}, {"amp3", false}, {"", false},
    };
    for (const Mp3& m : mp3s)
        EXPECT_EQ(endsWithMp3(m.path), m.expected) << m.path;

    struct Prefix { const char* text; const char* prefix; bool expected; };
    const std::vector<Prefix> prefixes = {
        {"anything", "", true}, {"", "", true}, {":/Resources/x", ":/", true}, {"/a", ":/", false},
        {"ab", "abc", false}, {"abc", "abc", true},
    };
    for (const Prefix& p : prefixes)
        EXPECT_EQ(starts_with(p.text, p.prefix), p.expected) << p.text << " / " << p.prefix;
}
