// Writes a small seed corpus for the sound file fuzzer: tiny files in the
// formats the loader meets, MP3 when this libsndfile can encode it (else lame).
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool writeSound(const std::string& path, int format, int channels, int rate, int frames)
{
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = rate;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<float> data(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data[static_cast<size_t>(i) * channels + c] = 0.5f * std::sin(0.3f * i * (c + 1));
    const bool ok = sf_writef_float(file, data.data(), frames) == frames;
    sf_close(file);
    return ok;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string le(uint32_t v, int bytes)
{
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xff);
    return s;
}

// MPEG audio in a WAV container with a plain 'fmt ' chunk and tag 0x0055.
void wrapInWav(const std::string& mp3, const std::string& path)
{
    const std::string data = readBytes(mp3);
    const std::string fmt = le(0x55, 2) + le(1, 2) + le(8000, 4) + le(1000, 4) + le(1, 2) + le(0, 2);
    std::string body = "WAVEfmt " + le(16, 4) + fmt + "data" + le(static_cast<uint32_t>(data.size()), 4) + data;
    if (data.size() % 2)
        body += '\0';
    std::ofstream(path, std::ios::binary) << "RIFF" << le(static_cast<uint32_t>(body.size()), 4) << body;
}

bool writeMp3(const std::string& dir, const std::string& name, int channels)
{
    const std::string path = dir + "/" + name;
    if (writeSound(path, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, channels, 8000, 1200))
        return true;
    const std::string wav = path + ".tmp.wav";
    if (!writeSound(wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels, 8000, 1200))
        return false;
    const std::string command = "lame --quiet -b 8 '" + wav + "' '" + path + "' 2>/dev/null";
    const bool ok = std::system(command.c_str()) == 0;
    std::remove(wav.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    struct Seed { const char* name; int format; int channels; int frames; };
    const Seed seeds[] = {
        {"mono16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 40},
        {"stereo8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 2, 30},
        {"quad-float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 4, 10},
        {"adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1, 100},
        {"stereo24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2, 20},
        {"mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 200},
    };
    int failures = 0;
    for (const Seed& s : seeds)
        if (!writeSound(dir + "/" + s.name, s.format, s.channels, 8000, s.frames)) {
            std::fprintf(stderr, "could not write %s\n", s.name);
            ++failures;
        }
    if (writeMp3(dir, "mono.mp3", 1) && writeMp3(dir, "stereo.mp3", 2))
        wrapInWav(dir + "/mono.mp3", dir + "/mp3-in.wav");
    else
        std::fprintf(stderr, "no MP3 seeds: neither libsndfile nor lame could encode\n");
    return failures == 0 ? 0 : 1;
}
