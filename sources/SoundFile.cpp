// Loading users' sound files into a Sample: libsndfile for WAV, AIFF, FLAC and
// the rest, libmad for MP3 files and for MPEG audio in a WAV container.
#include "engine/Sample.h"

#include "sources/Mp3File.h"
#include "sources/PathNames.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// libsndfile's error number ("Malformed 'fmt ' chunk") for a WAV whose format
// tag is MPEG layer III (0x0055) with a plain 16-byte 'fmt ' chunk.
constexpr int kSfWavFormatNotHandled = 64;
constexpr int kWavFormatMp3 = 0x0055;

// The frame count and its guard must fit an int.
constexpr sf_count_t kMaxFrames = 0x7FFFFFFE;
// Channel buffers plus the interleaved read buffer of one load: a stereo
// file of about 25 minutes at 44.1 kHz; a header claiming more is refused.
constexpr sf_count_t kMaxLoadBytes = sf_count_t(1) << 30;

// Reads up to `frames` frames; returns how many libsndfile actually gave.
sf_count_t readFrames(SNDFILE* file, float* into, sf_count_t frames, int channels)
{
    sf_count_t total = 0;
    while (total < frames) {
        const sf_count_t got = sf_readf_float(file, into + total * channels, frames - total);
        if (got <= 0)
            break;
        total += std::min(got, frames - total);
    }
    return total;
}

// Moves the first `frames` values to a buffer of frames + 1; false when out of memory.
bool shrink(float*& buffer, sf_count_t frames)
{
    float* smaller = new (std::nothrow) float[static_cast<size_t>(frames) + 1];
    if (!smaller)
        return false;
    std::copy(buffer, buffer + frames, smaller);
    delete[] buffer;
    buffer = smaller;
    return true;
}

} // namespace

bool Sample::load(const std::string& path)
{
    if (path.empty())
        return false;
    if (endsWithMp3(path))
        return loadFromMp3(path);

    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    const int error = sf_error(file);
    if (!file || error != SF_ERR_NO_ERROR) {
        if (file)
            sf_close(file);
        if (error == kSfWavFormatNotHandled && isWavMp3(path))
            return loadFromMp3(path);
        return false;
    }

    const sf_count_t frames = info.frames;
    const int channels = info.channels;
    if (frames <= 0 || channels < 1 || info.samplerate < 1) {
        sf_close(file);
        return false;
    }
    // Floats allocated per frame: one buffer for mono; two plus the
    // interleaved read buffer otherwise. Divisions keep this from overflowing.
    const sf_count_t floatsPerFrame = channels == 1 ? 1 : 2 + sf_count_t(channels);
    if (frames > kMaxFrames || frames + 1 > kMaxLoadBytes / (floatsPerFrame * sf_count_t(sizeof(float)))) {
        std::printf("Volantor2 LOG > Sample::load FILE TOO LARGE frames=%lld channels=%d\n",
                    static_cast<long long>(frames), channels);
        sf_close(file);
        return false;
    }

    float* left = new (std::nothrow) float[static_cast<size_t>(frames) + 1];
    float* right = channels > 1 && left ? new (std::nothrow) float[static_cast<size_t>(frames) + 1] : nullptr;
    if (!left || (channels > 1 && !right)) {
        std::printf("Volantor2 LOG > Sample::load ERROR ALLOCATING BUFFER\n");
        delete[] left;
        sf_close(file);
        return false;
    }

    sf_count_t got = 0;
    if (channels == 1) {
        got = readFrames(file, left, frames, 1);
    } else {
        float* interleaved = new (std::nothrow) float[static_cast<size_t>(frames) * channels];
        if (!interleaved) {
            std::printf("Volantor2 LOG > Sample::load ERROR ALLOCATING BUFFER FOR desentrelace\n");
            delete[] left;
            delete[] right;
            sf_close(file);
            return false;
        }
        got = readFrames(file, interleaved, frames, channels);
        // Only the first two channels of a wider file are played.
        for (sf_count_t i = 0; i < got; ++i) {
            left[i] = interleaved[i * channels];
            right[i] = interleaved[i * channels + 1];
        }
        delete[] interleaved;
    }
    sf_close(file);

    // A file shorter than its header says keeps the frames it really has, in
    // buffers of their size: a tiny file claiming hours holds no memory.
    if (got < 1 || (got < frames && (!shrink(left, got) || (right && !shrink(right, got))))) {
        delete[] left;
        delete[] right;
        return false;
    }
    const int count = static_cast<int>(got);
    left[count] = left[0];
    if (right)
        right[count] = right[0];

    adoptBuffer(0, left);
    adoptBuffer(1, right);
    setChannelCount(channels > 1 ? 2 : 1);
    setFrames(count);
    setSamplerate(info.samplerate);
    setLoopEnd(count - 1);
    return true;
}

bool Sample::loadFromMp3(const std::string& path)
{
    Mp3File mp3(path);
    if (mp3.hasError()) {
        std::printf("Volantor2 LOG > Sample::loadFromMp3 ERROR decoding %s\n", path.c_str());
        return false;
    }
    const int channels = mp3.getChannelCount();
    adoptBuffer(0, mp3.releaseLeft());
    adoptBuffer(1, channels > 1 ? mp3.releaseRight() : nullptr);
    setChannelCount(channels);
    setFrames(mp3.getFrames());
    setSamplerate(mp3.getSamplerate());
    setLoopEnd(mp3.getFrames() - 1);
    return true;
}

bool Sample::isWavMp3(const std::string& path)
{
    unsigned char header[22];
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    const size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (got != sizeof header)
        return false;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0 ||
        std::memcmp(header + 12, "fmt ", 4) != 0)
        return false;
    const int tag = header[20] | (header[21] << 8);
    return tag == kWavFormatMp3;
}
