// Dance-music shouts: speech from the espeak-ng command line, shaped into a
// shout by pitch bending, doubling, saturation, compression and a small room.
#pragma once

#include "SynthBlocks.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace soundgen {
namespace voice {

struct Speech
{
    std::vector<float> samples;
    double rate = 22050;
};

// A private directory for espeak-ng's output, removed when the generator exits.
inline std::string tempDir()
{
    struct Dir
    {
        std::string path;
        ~Dir()
        {
            if (!path.empty())
                rmdir(path.c_str());
        }
    };
    static Dir dir;
    if (dir.path.empty()) {
        char pattern[] = "/tmp/vlt2-voices-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("cannot create a temporary directory for the voices");
        dir.path = pattern;
    }
    return dir.path;
}

inline void requireEspeak()
{
    static bool checked = false;
    if (!checked && std::system("command -v espeak-ng >/dev/null 2>&1") != 0)
        throw std::runtime_error("espeak-ng is needed to make the voice sounds: install the Debian package espeak-ng");
    checked = true;
}

inline uint32_t le(const unsigned char* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// Reads a 16-bit mono PCM WAV as espeak-ng writes it.
inline Speech readWav(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw std::runtime_error("espeak-ng wrote no " + path);
    std::vector<unsigned char> b;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        b.insert(b.end(), chunk, chunk + n);
    std::fclose(f);
    Speech s;
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVE", 4))
        throw std::runtime_error(path + " is not a WAV file");
    int channels = 1, bits = 16;
    for (size_t p = 12; p + 8 <= b.size();) {
        const uint32_t size = le(&b[p + 4], 4);
        const size_t body = p + 8;
        if (!std::memcmp(&b[p], "fmt ", 4) && body + 16 <= b.size()) {
            channels = (int)le(&b[body + 2], 2);
            s.rate = le(&b[body + 4], 4);
            bits = (int)le(&b[body + 14], 2);
        } else if (!std::memcmp(&b[p], "data", 4)) {
            if (bits != 16 || channels != 1)
                throw std::runtime_error(path + ": expected 16-bit mono speech");
            const size_t end = std::min(b.size(), body + (size_t)size); // the size may be a streaming placeholder
            for (size_t i = body; i + 1 < end; i += 2)
                s.samples.push_back((int16_t)le(&b[i], 2) / 32768.0f);
            break;
        }
        p = body + size + (size & 1);
    }
    if (s.samples.empty())
        throw std::runtime_error(path + " holds no speech");
    return s;
}

// Drops the silence espeak-ng puts around a phrase.
inline void trim(std::vector<float>& s)
{
    float peak = 0;
    for (float v : s)
        peak = std::max(peak, std::fabs(v));
    const float threshold = peak * 0.02f;
    size_t a = 0, b = s.size();
    while (a < b && std::fabs(s[a]) < threshold)
        ++a;
    while (b > a && std::fabs(s[b - 1]) < threshold)
        --b;
    a = a > 60 ? a - 60 : 0; // keep the breath before the first peak
    b = std::min(s.size(), b + 200);
    s = std::vector<float>(s.begin() + (long)a, s.begin() + (long)b);
}

struct Request
{
    std::string text, voice;
    int speed, pitch;
    std::string key() const { return text + "|" + voice + "|" + std::to_string(speed) + "|" + std::to_string(pitch); }
};

inline std::map<std::string, Speech>& cache()
{
    static std::map<std::string, Speech> spoken;
    return spoken;
}

// Speaks every request not yet cached, all at once in parallel: each espeak-ng
// run mostly waits, so one batch costs about as much as a single phrase.
inline void speakAll(const std::vector<Request>& requests)
{
    requireEspeak();
    std::string script;
    std::vector<std::pair<std::string, std::string>> pending; // key, file
    for (const Request& r : requests) {
        if (cache().count(r.key()))
            continue;
        bool queued = false;
        for (const auto& p : pending)
            queued = queued || p.first == r.key();
        if (queued)
            continue;
        const std::string wav = tempDir() + "/speech" + std::to_string(pending.size()) + ".wav";
        // Text and voice come from our own recipe tables; quoted for the shell all the same.
        script += "espeak-ng -w '" + wav + "' -v '" + r.voice + "' -s " + std::to_string(r.speed) + " -p " +
                  std::to_string(r.pitch) + " -a 180 '" + r.text + "' 2>/dev/null &\n";
        pending.push_back({r.key(), wav});
    }
    if (pending.empty())
        return;
    script += "wait\n";
    const std::string scriptPath = tempDir() + "/speak.sh";
    FILE* f = std::fopen(scriptPath.c_str(), "w");
    if (!f || std::fputs(script.c_str(), f) < 0 || std::fclose(f) != 0)
        throw std::runtime_error("cannot write " + scriptPath);
    const int status = std::system(("sh '" + scriptPath + "'").c_str());
    std::remove(scriptPath.c_str());
    if (status != 0)
        throw std::runtime_error("espeak-ng failed (is the Debian package espeak-ng installed?)");
    for (const auto& [key, wav] : pending) {
        Speech s = readWav(wav);
        std::remove(wav.c_str());
        trim(s.samples);
        cache()[key] = s;
    }
}

inline Speech speak(const Request& r)
{
    speakAll({r});
    return cache().at(r.key());
}

// Blackman-windowed sinc, tabulated: the resampler reads it millions of times.
constexpr int kSincHalf = 12, kSincSteps = 1024;
inline const std::vector<float>& sincTable()
{
    static std::vector<float> table;
    if (table.empty()) {
        const double cutoff = 0.9; // below the source's Nyquist, so nothing images
        table.resize((size_t)kSincHalf * kSincSteps + 2);
        for (size_t i = 0; i < table.size(); ++i) {
            const double x = (double)i / kSincSteps;
            const double w = x >= kSincHalf ? 0 : 0.42 + 0.5 * std::cos(kPi * x / kSincHalf) + 0.08 * std::cos(2 * kPi * x / kSincHalf);
            const double s = x < 1e-9 ? 1.0 : std::sin(kPi * cutoff * x) / (kPi * cutoff * x);
            table[i] = (float)(cutoff * s * w);
        }
    }
    return table;
}

inline double sincAt(const std::vector<float>& in, double pos)
{
    const std::vector<float>& table = sincTable();
    const long centre = (long)std::floor(pos);
    double sum = 0;
    for (long k = centre - kSincHalf + 1; k <= centre + kSincHalf; ++k) {
        if (k < 0 || k >= (long)in.size())
            continue;
        const double x = std::fabs(pos - k) * kSincSteps;
        const size_t i = (size_t)x;
        const double f = x - i;
        sum += in[(size_t)k] * (table[i] + f * (table[i + 1] - table[i]));
    }
    return sum;
}

// Resamples to 44.1 kHz, shifting pitch and formants by `shift` and bending the
// pitch up by `bendSemis` in the middle of the phrase, as a shout rises and falls.
inline std::vector<float> resample(const Speech& sp, double shift, double bendSemis)
{
    std::vector<float> out;
    const double base = sp.rate / kRate * shift;
    const double n = (double)sp.samples.size();
    for (double pos = 0; pos < n;) {
        out.push_back((float)sincAt(sp.samples, pos));
        const double progress = pos / n;
        pos += base * std::pow(2.0, bendSemis * std::sin(kPi * std::min(1.0, progress * 1.4)) / 12.0);
    }
    return out;
}

struct Shout
{
    const char* text;   // what espeak-ng says
    const char* voice;  // espeak-ng voice and variant
    int speed;          // words per minute, raised when the phrase must fit a shorter array
    int pitch;          // espeak-ng pitch 0..99
    double shift;       // resampling pitch/formant shift
    double bendSemis;   // rise in the middle of the phrase
    double drive;       // saturation
    double roomMix;     // wet level of the room
    double doubling;    // level of the doubled takes
};

// Renders a shout into exactly `frames` frames (or its natural length when 0),
// speech first and the room's tail after it. Stereo when asked: the doubles go wide.
inline Sound render(const Shout& sh, int frames, bool stereo)
{
    using namespace blocks;
    const double tail = 0.07;
    Speech sp = speak({sh.text, sh.voice, sh.speed, sh.pitch});
    if (frames > 0) {
        // Each espeak-ng run costs a tenth of a second, so the recipe tables give
        // speeds that fit; a faster delivery is only the fallback.
        const double room = frames / kRate - tail;
        int speed = sh.speed;
        for (int attempt = 0; attempt < 4; ++attempt) {
            const double seconds = sp.samples.size() / sp.rate / sh.shift;
            if (seconds <= room || speed >= 450)
                break;
            speed = std::min(450, (int)std::ceil(speed * seconds / room * 1.06));
            sp = speak({sh.text, sh.voice, speed, sh.pitch});
        }
    }
    const std::vector<float> lead = resample(sp, sh.shift, sh.bendSemis);
    const std::vector<float> dblA = resample(sp, sh.shift * cents(14), sh.bendSemis * 1.1);
    const std::vector<float> dblB = resample(sp, sh.shift * cents(-17), sh.bendSemis * 0.9);

    const size_t n = frames > 0 ? (size_t)frames : lead.size() + (size_t)(0.25 * kRate);
    const size_t offA = (size_t)(0.011 * kRate), offB = (size_t)(0.019 * kRate);
    auto take = [](const std::vector<float>& v, size_t i, size_t off) { return i >= off && i - off < v.size() ? v[i - off] : 0.0f; };

    Sound out;
    std::vector<float>* chans[2] = {&out.left, &out.right};
    const int channelCount = stereo ? 2 : 1;
    for (int c = 0; c < channelCount; ++c) {
        std::vector<float>& y = *chans[c];
        y.assign(n, 0.0f);
        Svf lowCut, presence;
        double env = 0;
        const double attack = std::exp(-1 / (0.002 * kRate)), release = std::exp(-1 / (0.08 * kRate));
        for (size_t i = 0; i < n; ++i) {
            const double a = take(dblA, i, offA), b = take(dblB, i, offB);
            double x = take(lead, i, 0) + sh.doubling * (stereo ? (c == 0 ? 1.3 * a + 0.4 * b : 0.4 * a + 1.3 * b) : 0.8 * (a + b));
            x = lowCut.highpass(x, 140, 0.7);
            x += 0.9 * presence.bandpass(x, 2600, 1.2); // the bite of a shouting voice
            x = std::tanh(sh.drive * x) / std::tanh(sh.drive);
            // Compressor: levels the syllables so the whole word hits hard.
            const double level = std::fabs(x);
            env = level > env ? attack * env + (1 - attack) * level : release * env + (1 - release) * level;
            const double threshold = 0.12;
            const double gain = env > threshold ? std::pow(env / threshold, 1.0 / 4 - 1) : 1.0;
            y[i] = (float)(x * gain);
        }
        // A touch of room, high-passed so the tail stays clear.
        std::vector<float> wet = room(y, 0.55, 0.35, 0.72, c * 23);
        Svf wetCut;
        for (size_t i = 0; i < n; ++i)
            y[i] = (float)(y[i] + sh.roomMix * wetCut.highpass(wet[i], 300, 0.7));
    }
    return out;
}

} // namespace voice
} // namespace soundgen
