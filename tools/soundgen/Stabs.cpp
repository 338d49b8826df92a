// Dance stabs: ids 0..38 and the "stabs2" and "stabs3" resource lists.
#include "Recipes.h"
#include "StabVoices.h"
#include "Synth.h"

#include <cmath>

namespace soundgen {

namespace {

using namespace stab;

// ---- Sounds that are more than one patch -------------------------------

void place(std::vector<float>& dst, const std::vector<float>& src, int at, double gain)
{
    for (size_t i = 0; i < src.size() && at + i < dst.size(); ++i)
        dst[at + i] += (float)(gain * src[i]);
}

void scalePeak(Sound& s, double peak)
{
    double max = 0;
    for (float v : s.left)
        max = std::fmax(max, std::fabs(v));
    if (max > 0)
        for (float& v : s.left)
            v = (float)(v * peak / max);
    tameLoudness(s);
}

// One finished part: no DC, edges at exactly zero, peak 1.
std::vector<float> part(const Patch& p, int frames)
{
    Sound s = renderRaw(p, frames, false);
    finish(s, 1.0, 0.002, 0.012);
    return s.left;
}

// Band of noise swept from `fromHz` to `toHz`, shaped by `level(x)` over x = 0..1.
template <typename Level>
std::vector<float> noiseSweep(int frames, double fromHz, double toHz, double q, uint32_t seed, Level level)
{
    std::vector<float> s(frames);
    Rng rng(seed);
    Svf f;
    for (int i = 0; i < frames; ++i) {
        const double x = (double)i / frames;
        f.lowpass(rng.bipolar(), fromHz * std::pow(toHz / fromHz, x), q);
        s[i] = (float)(f.band() * level(x));
    }
    return s;
}

// The chord stab of id 5, and alone of its cut, id 6.
Patch swellChord(int root)
{
    Patch p = supersaw(root, kMaj9);
    p.layers = {saws(1, 5, 16), pulses(0.35, 1, 0, 0.5), rootSine(0.5)};
    p.cutoff = noteHz(root) * 2.5;
    p.envOctaves = 3;
    p.cutDecay = 0.12;
    p.q = 1.4;
    p.amp = {0.002, 0.02, 0.2, 0.3, 1e9, 0.05};
    p.drive = 1.2;
    p.roomMix = 0.15;
    p.seed = 5;
    return p;
}

// Id 5: a noise swell sucked into a chord stab at frame 3000 (id 6 plays the
// stab alone, up to frame 22499), then two darker echoes of it.
Sound swellStabEcho(int length, int root)
{
    Sound s;
    s.left.assign(length, 0.f);
    place(s.left, noiseSweep(2990, 400, 9000, 1.2, 55, [](double x) { return x * x * x * smoothRamp((1 - x) * 40); }),
          0, 0.45);
    const Patch stab = swellChord(root);
    place(s.left, part(stab, 19400), 3000, 1.0);
    Patch dark = stab;
    dark.envOctaves = 1.8;
    dark.q = 1;
    // Echoes a whole number of root periods apart, so they reinforce the root.
    const int gap = (int)std::lround(std::round(0.4535 * noteHz(root)) / noteHz(root) * kRate);
    place(s.left, part(dark, 19400), 3000 + gap, 0.42);
    place(s.left, part(dark, length - 1 - (3000 + 2 * gap)), 3000 + 2 * gap, 0.2);
    s.left.back() = 0;
    scalePeak(s, 0.9);
    return s;
}

// Id 9: a zip of noise, a high blip an octave up (frames 2080..5399; id 10
// plays frames 2080..5419), then a big minor chord at the root from frame 5440.
Sound zipBlipChord(int length, int root)
{
    Sound s;
    s.left.assign(length, 0.f);
    place(s.left, noiseSweep(2000, 1200, 12000, 2.5, 99, [](double x) { return smoothRamp(x * 6) * smoothRamp((1 - x) * 8); }),
          0, 0.5);
    Patch blip = squareStab(root + 12, {0});
    blip.layers = {pulses(1, 1, 0, 0.5), sine(0.6, 1), sine(0.25, 2, 0.03)};
    blip.cutoff = 5000;
    blip.envOctaves = 1;
    blip.q = 0.8;
    blip.amp = {0.002, 0.01, 0.04, 0.0, 1e9, 0.015};
    blip.drive = 0.5;
    blip.roomMix = 0;
    place(s.left, part(blip, 5400 - 2080), 2080, 0.75);
    Patch body = sawStab(root, kMin9);
    body.layers = {saws(1, 5, 14), pulses(0.4, 1, 0, 0.4), rootSine(0.5)};
    body.cutDecay = 0.22;
    body.q = 2.5;
    body.amp = {0.002, 0.02, 0.35, 0.3, 1e9, 0.12};
    body.echoMix = 0.25;
    body.echoTime = 0.2;
    body.roomMix = 0.2;
    body.seed = 9;
    place(s.left, part(body, length - 1 - 5440), 5440, 1.0);
    s.left.back() = 0;
    scalePeak(s, 0.9);
    return s;
}

// A short siren: whoops up into the note, holds it, falls away.
Patch siren(int root)
{
    Patch p;
    p.root = root;
    Layer tri = sine(1, 1);
    tri.wave = Wave::triangle;
    p.layers = {tri, pulses(0.25, 1, 0, 0.5), rootSine(0.5)};
    p.bend = [](double t) { return -12 * (1 - smoothRamp(t / 0.055)) - 7 * smoothRamp((t - 0.175) / 0.055); };
    p.vibRate = 11;
    p.vibCents = 6;
    p.vibDelay = 0.06;
    p.cutoff = 3500;
    p.q = 1.2;
    p.amp = {0.004, 0.15, 0.5, 1.0, 0.19, 0.015};
    p.drive = 0.6;
    p.roomMix = 0.12;
    return p;
}

// Non-tonal crash: bright noise through a sweep that closes, with a room.
Sound noiseCrash(int frames, uint32_t seed)
{
    Sound s;
    s.left = noiseSweep(frames, 11000, 1800, 0.6, seed, [](double x) { return std::exp(-x * 4.5); });
    std::vector<float> hiss = noiseSweep(frames, 7000, 7000, 0.5, seed + 1, [](double x) { return std::exp(-x * 9); });
    for (size_t i = 0; i < s.left.size(); ++i)
        s.left[i] += 0.6f * hiss[i];
    room(s.left, 0.3, 1.1, 0);
    finish(s, 0.85, 0.003);
    return s;
}

// ---- Built-in stabs (ids 0..38) ----------------------------------------

// Classic minor 7 stab: organ body with a struck, piano-like front.
Patch houseStab(int root)
{
    Patch p = organStab(root, kMin7);
    Layer front = fm(1, 1, 2.2, 0.05);
    front.voices = 3; // a detuned pair each side gives the width
    front.detune = 8;
    p.layers = {front, sine(0.7, 2), sine(0.4, 3, 0.12), sine(0.3, 4, 0.08), sine(0.25, 8, 0.03), rootSine(0.6)};
    p.amp = {0.0015, 0.01, 0.12, 0.25, 1e9, 0.03};
    p.spread = 0.6;
    p.chorusMix = 0.3;
    p.roomMix = 0.15;
    return p;
}

Patch supersawChord(int root)
{
    Patch p = supersaw(root, {0, 7, 15, 19});
    p.echoMix = 0.15;
    p.echoTime = 0.19;
    return p;
}

Patch deepHouseChord(int root)
{
    Patch p = sawStab(root, kMin9);
    p.layers = {saws(1, 3, 6), pulses(0.5, 1, 0, 0.5), rootSine(0.5)};
    p.cutoff = noteHz(root) * 1.8;
    p.envOctaves = 3;
    p.cutDecay = 0.15;
    p.q = 1.2;
    p.amp = {0.002, 0.01, 0.3, 0.15, 1e9, 0.08};
    p.drive = 0.6;
    p.chorusMix = 0.3;
    p.echoMix = 0.18;
    p.echoTime = 0.16;
    p.roomMix = 0.15;
    return p;
}

Patch raveStab(int root) { return sawStab(root, kOpenMinor); }

Patch brassStabPatch(int root) { return brassStab(root, kOpenMajor); }

Patch squareChord(int root) { return squareStab(root, kMajor); }

Patch orchestraHitPatch(int root) { return orchestraHit(root); }

Patch stringStabPatch(int root)
{
    Patch p = stringStab(root, kMin7);
    p.amp = {0.03, 0.05, 0.6, 0.5, 1e9, 0.25};
    return p;
}

Patch organStabPatch(int root)
{
    Patch p = organStab(root, {0, 7, 10, 15});
    p.upper = 0.5;
    return p;
}

Patch major7Stab(int root)
{
    Patch p = keysStab(root, kMaj7);
    p.amp.decay = 0.25;
    return p;
}

Patch pianoStabPatch(int root) { return pianoStab(root, kSixNine); }

Patch pluckChord(int root) { return pluckStab(root, {0, 7, 14}); }

Patch acidStabPatch(int root) { return acidStab(root, kOctave); }

Patch jazzChord(int root)
{
    Patch p = keysStab(root, kMin11);
    p.amp.decay = 0.4;
    return p;
}

// The filter opens slowly then closes again over a long chord.
Patch sweepChord(int root)
{
    Patch p = supersaw(root, {0, 7, 10, 15});
    p.layers = {saws(1, 5, 16), pulses(0.5, 3, 10, 0.35, 0.15, 0.5), rootSine(0.5)};
    p.cutoff = noteHz(root) * 1.6;
    p.envOctaves = 3;
    p.cutAttack = 0.45;
    p.cutDecay = 0.35;
    p.q = 3;
    p.amp = {0.01, 0.1, 0.8, 0.6, 1e9, 0.15};
    return p;
}

Patch pulseStabPatch(int root) { return pulseStab(root, kMinor); }

Patch fifthStab(int root)
{
    Patch p = sawStab(root, kFifth);
    p.upper = 0.7;
    p.layers = {saws(1, 5, 15), pulses(0.4, 1, 0, 0.5), rootSine(0.45)};
    p.amp.decay = 0.25;
    p.drive = 2.5;
    return p;
}

Patch hornHit(int root)
{
    Patch p = brassStab(root, kMajor);
    p.amp = {0.006, 0.02, 0.09, 0.2, 1e9, 0.03};
    p.cutAttack = 0.015;
    p.cutDecay = 0.1;
    p.noise = 0.1;
    p.noiseDecay = 0.008;
    return p;
}

Patch chipStab(int root)
{
    Patch p = squareStab(root, kMajor);
    p.layers = {pulses(1, 1, 0, 0.25), pulses(0.5, 1, 0, 0.5), rootSine(0.4)};
    p.cutoff = 9000;
    p.envOctaves = 0;
    p.q = 0.7;
    p.amp = {0.001, 0.06, 0.06, 0.0, 1e9, 0.02};
    p.drive = 0;
    return p;
}

Patch minorStab(int root)
{
    Patch p = sawStab(root, kMinor);
    p.cutoff = noteHz(root) * 1.5;
    p.envOctaves = 4;
    p.q = 1.5;
    return p;
}

Patch ninthStab(int root)
{
    Patch p = sawStab(root, kDom9);
    p.layers = {saws(1, 3, 9), pulses(0.4, 1, 0, 0.3), rootSine(0.5)};
    p.q = 1.3;
    p.chorusMix = 0.2;
    return p;
}

Patch technoStab(int root)
{
    Patch p = squareStab(root, kMinor);
    p.layers = {pulses(1, 3, 14, 0.5), saws(0.4, 1, 0), rootSine(0.5)};
    p.q = 4;
    p.poles = 4;
    p.cutDecay = 0.09;
    p.drive = 3;
    p.echoMix = 0.2;
    p.echoTime = 0.09;
    return p;
}

Patch garageOrgan(int root)
{
    Patch p = organStab(root, kMin7);
    p.layers = {sine(1, 1), sine(0.9, 2), sine(0.2, 3), sine(0.5, 4), sine(0.35, 6, 0.05), rootSine(0.2)};
    p.amp = {0.002, 0.0, 0.14, 0.2, 1e9, 0.04};
    p.drive = 1.6;
    return p;
}

Patch anthemChord(int root)
{
    Patch p = supersaw(root, {0, 7, 16, 19});
    p.amp = {0.006, 0.1, 0.8, 0.65, 1e9, 0.3};
    p.echoMix = 0.12;
    p.echoTime = 0.23;
    return p;
}

Patch susChord(int root)
{
    Patch p = stringStab(root, {0, 5, 7});
    p.layers = {saws(1, 3, 10), fm(0.5, 1, 1.5, 0.1), rootSine(0.4)};
    p.amp = {0.003, 0.02, 0.25, 0.2, 1e9, 0.08};
    p.envOctaves = 2;
    p.cutDecay = 0.12;
    return p;
}

Patch dubChord(int root)
{
    Patch p = sawStab(root, kMin7);
    p.layers = {saws(1, 3, 8), pulses(0.5, 1, 0, 0.5), rootSine(0.8)};
    p.cutoff = noteHz(root) * 1.4;
    p.envOctaves = 2.5;
    p.cutDecay = 0.07;
    p.q = 1.8;
    p.amp = {0.002, 0.01, 0.09, 0.2, 1e9, 0.05};
    p.chorusMix = 0.25;
    p.echoMix = 0.4;
    p.echoTime = 0.21;
    p.echoFeedback = 0.4;
    p.roomMix = 0.2;
    return p;
}

Patch octaveStab(int root)
{
    Patch p = sawStab(root, kOctave);
    p.upper = 0.4;
    p.layers = {saws(1, 5, 18), rootSine(0.5)};
    p.drive = 2;
    return p;
}

Patch hornStab(int root)
{
    Patch p = brassStab(root, kMajor);
    p.layers = {saws(1, 3, 6), pulses(0.5, 1, 0, 0.25), rootSine(0.7)};
    p.q = 1.8;
    return p;
}

Patch funkStab(int root)
{
    Patch p = pluckStab(root, kMin7);
    p.layers = {pulses(1, 1, 0, 0.2), pulses(0.4, 1, 0, 0.5), rootSine(0.5)};
    p.q = 2;
    p.cutDecay = 0.05;
    p.amp.decay = 0.1;
    p.echoMix = 0;
    return p;
}

Patch laserStab(int root)
{
    Patch p = squareStab(root, kFifth);
    p.glideFrom = 24;
    p.glideTime = 0.01;
    p.amp = {0.001, 0.02, 0.1, 0.1, 1e9, 0.03};
    return p;
}

Patch bellStabPatch(int root) { return bellStab(root, kOpenMajor); }

Patch hardcoreStab(int root)
{
    Patch p = sawStab(root, kMinor);
    p.layers = {saws(1, 5, 25), pulses(0.6, 3, 20, 0.5), saws(0.3, 3, 20, 2), rootSine(0.6)};
    p.cutoff = noteHz(root) * 3;
    p.q = 2.5;
    p.drive = 5;
    p.amp = {0.001, 0.03, 0.25, 0.25, 1e9, 0.06};
    p.noise = 0.15;
    return p;
}

const int kRoots[39] = {63, 65, 62, 60, 64, 68, 68, 61, 63, 61, 73, 69, 60, 62, 65, 59, 57, 64, 62, 58,
                        57, 62, 62, 57, 62, 65, 63, 54, 57, 60, 60, 58, 60, 67, 63, 65, 69, 60, 60};

struct Stab
{
    const char* name;
    Patch (*patch)(int root); // null: a sound of its own below
    bool stereo = false;
};

const Stab kStabs[39] = {
    {"House Stab", houseStab, true},
    {"Hoover", hoover},
    {"Siren", siren},
    {"Supersaw Chord", supersawChord, true},
    {"Deep House Chord", deepHouseChord},
    {"Swell Chord Echo", nullptr},
    {"Chord Stab", nullptr},
    {"Rave Stab", raveStab},
    {"Brass Stab", brassStabPatch},
    {"Zip Blip Chord", nullptr},
    {"High Blip", nullptr},
    {"Square Chord", squareChord},
    {"Orchestra Hit", orchestraHitPatch},
    {"String Stab", stringStabPatch},
    {"Organ Stab", organStabPatch},
    {"Major 7 Keys", major7Stab},
    {"Piano Stab", pianoStabPatch},
    {"Pluck Chord", pluckChord},
    {"Acid Stab", acidStabPatch},
    {"Jazz Chord", jazzChord},
    {"Sweep Chord", sweepChord},
    {"Pulse Stab", pulseStabPatch},
    {"Fifth Stab", fifthStab},
    {"Horn Hit", hornHit},
    {"Chip Stab", chipStab},
    {"Minor Stab", minorStab},
    {"Ninth Stab", ninthStab},
    {"Techno Stab", technoStab},
    {"Garage Organ", garageOrgan},
    {"Anthem Chord", anthemChord},
    {"Sus Chord", susChord},
    {"Dub Chord", dubChord},
    {"Octave Stab", octaveStab},
    {"Horn Stab", hornStab},
    {"Funk Stab", funkStab},
    {"Laser Stab", laserStab},
    {"Bell Stab", bellStabPatch},
    {"Noise Crash", nullptr},
    {"Hardcore Stab", hardcoreStab},
};

// ---- Resource stabs ("stabs2", "stabs3") ---------------------------------

struct ResourceStab
{
    const char* file;
    WavLayout layout;
    double seconds;
    Patch (*patch)(int root);
    bool stereo = false;
};

// stabs2
Patch euphoriaStab(int r) { Patch p = supersaw(r, kMaj7); p.amp.decay = 0.2; p.amp.sustain = 0.3; return p; }
Patch classicMinor(int r) { return sawStab(r, kMin7); }
Patch pianoHouse(int r) { Patch p = pianoStab(r, kMin7); p.drive = 1.2; return p; }
Patch lofiOrgan(int r) { Patch p = organStab(r, kMinor); p.drive = 2.5; p.cutoff = 4000; return p; }
Patch brassSection(int r) { Patch p = brassStab(r, {0, 4, 7, 12}); p.upper = 0.5; p.amp.decay = 0.5; return p; }
Patch stringSection(int r) { return stringStab(r, kMajor); }
Patch orchestraStack(int r) { Patch p = orchestraHit(r); p.spread = 0.8; p.amp.decay = 0.25; return p; }
Patch fmBellChord(int r) { return bellStab(r, kMaj9); }
Patch squareRave(int r) { Patch p = squareStab(r, kOpenMinor); p.drive = 2; p.q = 3; return p; }
Patch detroitChord(int r) { Patch p = stringStab(r, kMin9); p.upper = 0.5; p.layers = {saws(1, 3, 10), pulses(0.5, 3, 8, 0.4, 0.1, 0.6), rootSine(0.8)}; p.echoMix = 0.2; return p; }
Patch acidSquelch(int r) { Patch p = acidStab(r, {0}); p.q = 9; p.envOctaves = 4.5; return p; }
Patch pluckMajor(int r) { return pluckStab(r, kMaj9); }
Patch resoSweep(int r) { Patch p = sweepChord(r); p.cutAttack = 0.12; p.q = 5; p.amp.decay = 0.3; return p; }
Patch powerFifth(int r) { Patch p = fifthStab(r); p.chord = kPower; p.upper = 0.45; return p; }
Patch hipHopHorns(int r) { Patch p = hornHit(r); p.chord = {0, 3, 7, 10}; p.amp.decay = 0.14; p.roomMix = 0.25; return p; }
Patch garageKeys(int r) { return keysStab(r, kMin7); }
Patch tranceChord(int r)
{
    Patch p = supersaw(r, {0, 7, 15});
    p.amp = {0.003, 0.06, 0.16, 0.15, 1e9, 0.12};
    p.cutDecay = 0.12;
    p.envOctaves = 2;
    p.echoMix = 0.2;
    p.echoTime = 0.1;
    return p;
}
Patch softPad(int r) { Patch p = stringStab(r, kMaj9); p.amp.attack = 0.06; p.cutoff = 2500; return p; }
Patch crunchHit(int r) { Patch p = hardcoreStab(r); p.chord = kOpenMinor; p.drive = 7; return p; }
Patch glassBell(int r) { Patch p = bellStab(r, {0, 7, 14, 16}); p.layers[0].ratio = 4; p.layers[0].index = 1.5; return p; }
Patch clavFunk(int r) { Patch p = funkStab(r); p.chord = kDom9; return p; }
Patch majorNineKeys(int r) { return keysStab(r, kMaj9); }
Patch brassFall(int r)
{
    Patch p = brassStab(r, kMajor);
    p.bend = [](double t) { return -4 * smoothRamp((t - 0.3) / 0.25); };
    p.amp = {0.01, 0.05, 0.4, 0.5, 0.32, 0.1};
    return p;
}
Patch raveOctave(int r) { Patch p = octaveStab(r); p.layers = {pulses(1, 3, 16, 0.3, 0.15, 2), saws(0.6, 3, 12), rootSine(0.5)}; return p; }
Patch dubEcho(int r) { Patch p = dubChord(r); p.chord = kMin9; p.echoTime = 0.17; return p; }

// stabs3
Patch hooverStab(int r) { Patch p = hoover(r); p.glideTime = 0.03; p.amp = {0.006, 0.04, 0.25, 0.4, 1e9, 0.1}; return p; }
Patch mellowOrgan(int r) { Patch p = organStab(r, kMaj7); p.layers = {sine(1, 1), sine(0.6, 2), sine(0.25, 4), rootSine(0.3)}; p.drive = 0.3; return p; }
Patch wideSaw(int r) { Patch p = supersaw(r, kOpenMinor); p.amp.decay = 0.3; p.amp.sustain = 0.25; return p; }
Patch metalStab(int r) { Patch p = bellStab(r, kOpenMinor); p.layers = {fm(1, 1, 3.5, 0.08, 0.4), fm(0.3, 3.5, 2, 0.05, 0.1, 2), rootSine(0.5)}; p.drive = 1.5; return p; }
// A deep bass stab: root, octave and fifth above with a sine under it.
Patch deepStab(int r)
{
    Patch p = acidStab(r, kPower);
    p.upper = 0.4;
    p.layers = {saws(1, 3, 10), rootSine(1.0)};
    p.q = 2.5;
    p.poles = 4;
    p.cutoff = noteHz(r) * 2.2;
    p.envOctaves = 3.5;
    p.cutDecay = 0.12;
    p.amp = {0.002, 0.02, 0.3, 0.2, 1e9, 0.06};
    p.drive = 2;
    return p;
}
Patch bassChordHit(int r) { Patch p = deepStab(r); p.chord = kMin7; p.upper = 0.5; p.roomMix = 0.15; return p; }
Patch zapChord(int r) { Patch p = laserStab(r); p.chord = kMinor; p.glideFrom = -12; p.glideTime = 0.015; return p; }
Patch minorSevenPluck(int r) { return pluckStab(r, kMin7); }
Patch lowBrassHit(int r) { Patch p = brassStab(r, kPower); p.upper = 0.45; p.amp.decay = 0.25; p.noise = 0.15; p.noiseDecay = 0.01; return p; }
Patch stringsStaccato(int r) { Patch p = stringStab(r, kMin7); p.layers[1].level = 0.12; p.layers[2].level = 1.0; p.amp = {0.008, 0.02, 0.15, 0.0, 1e9, 0.05}; p.envOctaves = 1.5; p.cutDecay = 0.1; return p; }
Patch ePianoChord(int r) { return keysStab(r, kSixNine); }
Patch tubularHit(int r) { Patch p = bellStab(r, kOctave); p.upper = 0.35; p.layers[0].ratio = 3; p.amp.decay = 0.9; return p; }
Patch squareLofi(int r) { Patch p = chipStab(r); p.chord = kMin7; p.amp.decay = 0.15; return p; }
Patch airyChord(int r) { Patch p = stringStab(r, kMaj7); p.noise = 0.12; p.noiseDecay = 0.5; p.noiseTone = 9000; p.amp.attack = 0.04; return p; }
Patch technoChord(int r) { Patch p = technoStab(r); p.chord = kMin7; p.echoTime = 0.14; return p; }
Patch susFour(int r) { Patch p = squareStab(r, kSus4); p.chorusMix = 0.3; return p; }
Patch elevenChord(int r) { Patch p = sawStab(r, kMin11); p.q = 1.2; p.chorusMix = 0.2; return p; }
Patch hipHopStab(int r) { Patch p = pianoStab(r, kMin7); p.layers.push_back(saws(0.3, 1, 0)); p.cutoff = 3500; p.drive = 2; p.roomMix = 0.1; return p; }
Patch bigOrchestraHit(int r) { Patch p = orchestraHit(r); p.amp.decay = 0.35; p.roomMix = 0.45; p.roomSize = 1.4; return p; }
Patch rubberPluck(int r) { Patch p = acidStab(r, kFifth); p.q = 4; p.envOctaves = 3; p.cutDecay = 0.05; p.drive = 1; return p; }
Patch darkMinor(int r) { Patch p = sawStab(r, kMinor); p.cutoff = noteHz(r) * 1.2; p.envOctaves = 2.5; p.amp.decay = 0.4; return p; }
Patch highChime(int r) { Patch p = bellStab(r, kMajor); p.layers[0].ratio = 1; p.layers[0].index = 3; return p; }
Patch funkyBrass(int r) { Patch p = brassStab(r, kDom9); p.amp.decay = 0.15; p.cutDecay = 0.08; return p; }

const ResourceStab kStabs2[25] = {
    {"Euphoria Stab", WavLayout::pcm16, 0.9, euphoriaStab, true},
    {"Classic Minor Stab", WavLayout::pcm16, 0.5, classicMinor},
    {"Piano House Chord", WavLayout::pcm16, 0.8, pianoHouse},
    {"Lofi Organ Hit", WavLayout::pcm8, 0.5, lofiOrgan},
    {"Brass Section", WavLayout::pcm16, 0.8, brassSection},
    {"String Section Stab", WavLayout::pcm16, 1.0, stringSection, true},
    {"Orchestra Stack", WavLayout::pcm16, 0.9, orchestraStack, true},
    {"FM Bell Chord", WavLayout::pcm16, 1.4, fmBellChord},
    {"Square Rave Stab", WavLayout::pcm16, 0.45, squareRave},
    {"Detroit Chord", WavLayout::pcm16, 1.2, detroitChord, true},
    {"Acid Squelch", WavLayout::pcm16, 0.4, acidSquelch},
    {"Chord Pluck Major", WavLayout::pcm16, 0.6, pluckMajor},
    {"Reso Sweep Stab", WavLayout::pcm16, 0.8, resoSweep},
    {"Power Fifth Stab", WavLayout::pcm16, 0.5, powerFifth},
    {"Hip Hop Horns", WavLayout::pcm16, 0.4, hipHopHorns},
    {"Garage Keys", WavLayout::pcm16, 0.9, garageKeys},
    {"Trance Chord Stab", WavLayout::pcm16, 1.0, tranceChord, true},
    {"Soft Pad Stab", WavLayout::pcm16, 1.2, softPad, true},
    {"Crunch Hit", WavLayout::pcm8, 0.35, crunchHit},
    {"Glass Bell Stab", WavLayout::pcm16, 1.2, glassBell},
    {"Clav Funk Chord", WavLayout::pcm16, 0.35, clavFunk},
    {"Major Nine Keys", WavLayout::pcm16, 1.0, majorNineKeys},
    {"Brass Fall", WavLayout::pcm16, 0.8, brassFall},
    {"Rave Octave Stab", WavLayout::pcm16, 0.45, raveOctave},
    {"Dub Echo Stab", WavLayout::pcm16, 1.5, dubEcho},
};

const ResourceStab kStabs3[24] = {
    {"Hoover Stab", WavLayout::pcm16WithList, 0.7, hooverStab},
    {"Mellow Organ Chord", WavLayout::pcm16, 0.7, mellowOrgan},
    {"Wide Saw Chord", WavLayout::pcm16, 0.9, wideSaw, true},
    {"Metal Stab", WavLayout::pcm16, 0.6, metalStab},
    {"Deep Stab", WavLayout::pcm16, 0.6, deepStab},
    {"Bass Chord Hit", WavLayout::pcm16, 0.6, bassChordHit},
    {"Zap Chord", WavLayout::pcm16, 0.4, zapChord},
    {"Minor Seven Pluck", WavLayout::pcm16, 0.6, minorSevenPluck},
    {"Low Brass Hit", WavLayout::pcm16, 0.6, lowBrassHit},
    {"Strings Staccato", WavLayout::pcm16, 0.4, stringsStaccato},
    {"E Piano Chord", WavLayout::pcm16, 1.2, ePianoChord, true},
    {"Tubular Hit", WavLayout::pcm16, 1.6, tubularHit},
    {"Lofi Square Chord", WavLayout::pcm8, 0.35, squareLofi},
    {"Airy Chord", WavLayout::pcm16, 1.3, airyChord, true},
    {"Techno Chord Stab", WavLayout::pcm16, 0.6, technoChord},
    {"Sus Four Stab", WavLayout::pcm16, 0.45, susFour},
    {"Eleven Chord", WavLayout::pcm16, 0.5, elevenChord},
    {"Hip Hop Stab", WavLayout::pcm16, 0.5, hipHopStab},
    {"Big Orchestra Hit", WavLayout::pcm16, 1.2, bigOrchestraHit, true},
    {"Rubber Pluck", WavLayout::pcm16, 0.35, rubberPluck},
    {"Dark Minor Stab", WavLayout::pcm16, 0.7, darkMinor},
    {"Noise Burst Hit", WavLayout::pcm16, 0.5, nullptr},
    {"High Chime Stab", WavLayout::pcm16, 0.9, highChime},
    {"Funky Brass", WavLayout::pcm16, 0.4, funkyBrass},
};

} // namespace

std::vector<BuiltinRecipe> stabBuiltins()
{
    std::vector<BuiltinRecipe> r;
    for (int id = 0; id < 39; ++id) {
        const Stab& s = kStabs[id];
        const int root = kRoots[id];
        BuiltinRecipe b{id, s.name, nullptr};
        if (s.patch) {
            Patch p = s.patch(root);
            p.seed = 1000 + id;
            const bool stereo = s.stereo;
            b.make = [p, stereo](int length) { return render(p, length, stereo); };
        } else if (id == 5) {
            b.make = [root](int length) { return swellStabEcho(length, root); };
        } else if (id == 9) {
            b.make = [root](int length) { return zipBlipChord(length, root); };
        } else if (id == 37) {
            b.make = [](int length) { return noiseCrash(length, 37); };
            b.tonal = false;
        }
        r.push_back(b);
    }
    return r;
}

std::vector<ResourceRecipe> stabResources()
{
    static const int roots2[25] = {68, 64, 60, 60, 60, 58, 60, 60, 62, 63, 60, 60, 60, 60, 60, 63, 60, 60, 60, 60, 60, 60, 60, 60, 60};
    static const int roots3[24] = {60, 66, 62, 60, 48, 60, 60, 60, 51, 60, 60, 60, 60, 60, 60, 60, 60, 63, 58, 60, 61, 60, 72, 63};
    std::vector<ResourceRecipe> r;
    auto add = [&r](const char* list, int position, const ResourceStab& s, int root) {
        const int frames = (int)(s.seconds * kRate);
        ResourceRecipe rr{list, position, s.file, root, s.layout, nullptr};
        if (!s.patch) {
            rr.make = [frames, position] { return noiseCrash(frames, 300 + position); };
            rr.tonal = false;
        } else {
            Patch p = s.patch(root);
            p.seed = 2000 + 100 * (list[5] - '0') + position;
            const bool stereo = s.stereo && s.layout != WavLayout::pcm8;
            rr.make = [p, frames, stereo] { return render(p, frames, stereo); };
        }
        r.push_back(rr);
    };
    for (int i = 0; i < 25; ++i)
        add("stabs2", i + 1, kStabs2[i], roots2[i]);
    for (int i = 0; i < 24; ++i)
        add("stabs3", i + 1, kStabs3[i], roots3[i]);
    return r;
}

} // namespace soundgen
