// Build-time generator of the built-in sounds. Each recipe is a short program
// of oscillators and envelopes; the output is raw little-endian float32, one
// file per array, embedded into the plug-in by the build.
#include "Synth.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace soundgen;

namespace {

// "coin": a pickup chime, a short grace note a fourth below, then a bright
// pulse at C4 (its root, MIDI note 60) ringing out.
std::vector<float> coin(int length)
{
    std::vector<float> s(length);
    const double grace = noteHz(55), main = noteHz(60);
    const double switchAt = 0.06, crossfade = 0.004;
    double phaseGrace = 0, phaseMain = 0;
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        const double toMain = std::fmin(1.0, std::fmax(0.0, (t - switchAt) / crossfade));
        const double graceLevel = 0.75 * (1 - toMain);
        const double mainLevel = toMain * std::exp(-(t - switchAt) / 0.16);
        double v = 0;
        if (graceLevel > 0)
            v += graceLevel * pulse(phaseGrace, grace, 0.25);
        if (mainLevel > 0)
            v += mainLevel * (pulse(phaseMain, main, 0.25) + 0.35 * std::sin(2 * kPi * 2 * phaseMain));
        s[i] = (float)v;
        phaseGrace += grace / kRate;
        phaseMain += main / kRate;
        phaseGrace -= (int)phaseGrace;
        phaseMain -= (int)phaseMain;
    }
    fadeEdges(s, 0.002, 0.02);
    normalise(s, 0.9);
    s.back() = 0; // the guard value after the last frame
    return s;
}

struct Recipe
{
    const char* name;
    int length;
    std::vector<float> (*make)(int);
};

const Recipe kRecipes[] = {
    {"coin", 20108, coin},
};

bool writeRaw(const std::string& path, const std::vector<float>& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data.data(), sizeof(float), data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vlt2-soundgen OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const Recipe& r : kRecipes) {
        std::vector<float> data = r.make(r.length);
        if ((int)data.size() != r.length || !writeRaw(dir + "/" + r.name + ".f32", data)) {
            std::fprintf(stderr, "vlt2-soundgen: cannot write %s/%s.f32\n", dir.c_str(), r.name);
            return 1;
        }
    }
    return 0;
}
