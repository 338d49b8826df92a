// Fixtures for the command-line host's tests: MIDI files assembled from
// bytes, scratch directories, and the paths of the built plug-ins.
#pragma once

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace rendertest {

using Bytes = std::vector<uint8_t>;

inline Bytes vlq(uint32_t v)
{
    Bytes out;
    uint8_t stack[5];
    int n = 0;
    do {
        stack[n++] = v & 0x7f;
        v >>= 7;
    } while (v);
    while (n-- > 0)
        out.push_back(stack[n] | (n ? 0x80 : 0));
    return out;
}

inline void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

inline void be32(Bytes& to, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        to.push_back((uint8_t)(v >> s));
}

// An 'MTrk' chunk around `body`, its length filled in.
inline Bytes track(const Bytes& body)
{
    Bytes out = {'M', 'T', 'r', 'k'};
    be32(out, (uint32_t)body.size());
    append(out, body);
    return out;
}

inline Bytes midiFile(int format, int division, std::initializer_list<Bytes> tracks)
{
    Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, (uint8_t)format, 0, (uint8_t)tracks.size(),
                 (uint8_t)(division >> 8), (uint8_t)division};
    for (const Bytes& t : tracks)
        append(out, track(t));
    return out;
}

// A track body: each entry is a delta time followed by the event's bytes.
inline Bytes events(std::initializer_list<std::pair<uint32_t, Bytes>> list)
{
    Bytes out;
    for (const auto& e : list) {
        append(out, vlq(e.first));
        append(out, e.second);
    }
    return out;
}

inline const Bytes kEndOfTrack = {0xff, 0x2f, 0x00};

// One note of `beats` quarter notes at 120 bpm, 480 ticks per quarter.
inline Bytes oneNote(int key, double beats, int velocity = 100)
{
    return midiFile(0, 480,
                    {events({{0, {0x90, (uint8_t)key, (uint8_t)velocity}},
                             {(uint32_t)(beats * 480), {0x80, (uint8_t)key, 0}},
                             {0, kEndOfTrack}})});
}

// A directory that goes away with its contents.
class ScratchDir
{
public:
    ScratchDir()
    {
        char pattern[] = "/tmp/vlt2-render-test-XXXXXX";
        if (char* made = mkdtemp(pattern))
            path_ = made;
    }
    ~ScratchDir()
    {
        if (!path_.empty())
            std::system(("rm -rf '" + path_ + "'").c_str());
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    std::string write(const std::string& name, const Bytes& bytes) const
    {
        const std::string p = file(name);
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return p;
    }

private:
    std::string path_;
};

inline bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

struct Audio
{
    int rate = 0, channels = 0, format = 0;
    std::vector<float> samples; // interleaved
    int64_t frames() const { return channels ? (int64_t)samples.size() / channels : 0; }
    float peak() const
    {
        float p = 0;
        for (float s : samples)
            p = std::max(p, s < 0 ? -s : s);
        return p;
    }
};

inline Audio readAudio(const std::string& path)
{
    Audio a;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f)
        return a;
    a.rate = info.samplerate;
    a.channels = info.channels;
    a.format = info.format;
    a.samples.resize((size_t)(info.frames * info.channels));
    sf_readf_float(f, a.samples.data(), info.frames);
    sf_close(f);
    return a;
}

} // namespace rendertest
