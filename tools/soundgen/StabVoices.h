// The stab families: each returns a patch at a root note that a recipe then
// tweaks (chord, envelope, filter, effects).
#pragma once

#include "StabPatch.h"

namespace soundgen::stab {

// Chords as semitones above the root.
inline const std::vector<double> kMinor{0, 3, 7}, kMajor{0, 4, 7}, kMin7{0, 3, 7, 10}, kMaj7{0, 4, 7, 11},
    kMin9{0, 3, 7, 10, 14}, kMaj9{0, 4, 7, 11, 14}, kDom9{0, 4, 10, 14}, kMin11{0, 3, 10, 14, 17},
    kSixNine{0, 4, 9, 14}, kSus4{0, 5, 7}, kFifth{0, 7}, kOctave{0, 12}, kOpenMinor{0, 7, 15},
    kOpenMajor{0, 7, 16}, kPower{0, 7, 12};

inline double rootHz(const Patch& p) { return noteHz(p.root); }

inline Layer saws(double level, int voices, double cents, double mult = 1)
{
    Layer l;
    l.level = level;
    l.voices = voices;
    l.detune = cents;
    l.mult = mult;
    return l;
}

inline Layer pulses(double level, int voices, double cents, double width, double pwm = 0, double rate = 0)
{
    Layer l = saws(level, voices, cents);
    l.wave = Wave::pulse;
    l.width = width;
    l.pwmDepth = pwm;
    l.pwmRate = rate;
    return l;
}

inline Layer sine(double level, double mult, double decay = 0)
{
    Layer l;
    l.wave = Wave::sine;
    l.level = level;
    l.mult = mult;
    l.decay = decay;
    return l;
}

inline Layer fm(double level, double ratio, double index, double indexDecay, double decay = 0, double mult = 1)
{
    Layer l;
    l.wave = Wave::fm;
    l.level = level;
    l.ratio = ratio;
    l.index = index;
    l.indexDecay = indexDecay;
    l.decay = decay;
    l.mult = mult;
    return l;
}

// Sine reinforcement of the root: body, and a fundamental that stays the
// clear pitch of the chord.
inline Layer rootSine(double level)
{
    Layer l = sine(level, 1);
    l.rootOnly = true;
    return l;
}

// Detuned saws through a resonant filter snapping shut: the rave stab.
inline Patch sawStab(int root, std::vector<double> chord = kMin7)
{
    Patch p;
    p.root = root;
    p.chord = std::move(chord);
    p.layers = {saws(1, 3, 12), rootSine(0.45)};
    p.cutoff = rootHz(p) * 2;
    p.envOctaves = 4.5;
    p.cutDecay = 0.1;
    p.q = 2.2;
    p.amp = {0.0015, 0.01, 0.18, 0.2, 1e9, 0.05};
    p.noise = 0.08;
    p.noiseDecay = 0.01;
    p.drive = 1.5;
    p.roomMix = 0.12;
    return p;
}

// Drawbar-style organ with a key click and a fast percussion harmonic.
inline Patch organStab(int root, std::vector<double> chord = kMin7)
{
    Patch p;
    p.root = root;
    p.chord = std::move(chord);
    p.layers = {sine(1, 1), sine(0.55, 2), sine(0.4, 3), sine(0.3, 4), sine(0.18, 6), sine(0.3, 8, 0.06), rootSine(0.3)};
    p.upper = 0.65;
    p.cutoff = 9000;
    p.amp = {0.002, 0.02, 0.25, 0.35, 1e9, 0.04};
    p.noise = 0.12;
    p.noiseDecay = 0.004;
    p.noiseTone = 3500;
    p.drive = 0.8;
    p.chorusMix = 0.35;
    p.roomMix = 0.1;
    return p;
}

// A struck chord: FM brightness that fades fast, partials decaying faster the higher they are.
inline Patch pianoStab(int root, std::vector<double> chord = kMaj7)
{
    Patch p;
    p.root = root;
    p.chord = std::move(chord);
    p.layers = {fm(1, 1, 1.8, 0.12, 0.6), sine(0.35, 2, 0.35), sine(0.12, 3, 0.2), fm(0.12, 7, 1.2, 0.03, 0.06, 2),
                rootSine(0.25)};
    p.upper = 0.62;
    p.amp = {0.001, 0.005, 0.45, 0.0, 1e9, 0.06};
    p.noise = 0.1;
    p.noiseDecay = 0.006;
    p.noiseTone = 2500;
    p.drive = 0.5;
    p.roomMix = 0.14;
    return p;
}

// Electric piano: bell-like tine over a soft body.
inline Patch keysStab(int root, std::vector<double> chord = kMin9)
{
    Patch p = pianoStab(root, std::move(chord));
    p.layers = {fm(1, 1, 1.1, 0.35, 0.9), fm(0.18, 14, 1.5, 0.02, 0.05), sine(0.25, 2, 0.4), rootSine(0.3)};
    p.amp.decay = 0.6;
    p.noise = 0.03;
    p.chorusMix = 0.3;
    return p;
}

// Brass: the filter opens a little late and the pitch scoops up into the note.
inline Patch brassStab(int root, std::vector<double> chord = kOpenMajor)
{
    Patch p;
    p.root = root;
    p.chord = std::move(chord);
    p.layers = {saws(1, 3, 7), pulses(0.3, 1, 0, 0.35), rootSine(0.7)};
    p.upper = 0.65;
    p.glideFrom = -0.8;
    p.glideTime = 0.025;
    p.cutoff = rootHz(p) * 1.8;
    p.envOctaves = 3.2;
    p.cutAttack = 0.035;
    p.cutDecay = 0.22;
    p.q = 1.0;
    p.amp = {0.012, 0.03, 0.3, 0.45, 1e9, 0.06};
    p.vibRate = 5.5;
    p.vibCents = 6;
    p.vibDelay = 0.25;
    p.drive = 1.2;
    p.roomMix = 0.16;
    return p;
}

// String ensemble: many detuned saws, soft attack, chorus.
inline Patch stringStab(int root, std::vector<double> chord = kMin7)
{
    Patch p;
    p.root = root;
    p.chord = std::move(chord);
    p.layers = {saws(1, 5, 14), saws(0.3, 3, 10, 2), rootSine(0.7)};
    p.upper = 0.6;
    p.cutoff = std::min(5000.0, rootHz(p) * 9);
    p.envOctaves = 0.8;
    p.cutDecay = 0.3;
    p.amp = {0.02, 0.03, 0.4, 0.4, 1e9, 0.15};
    p.vibRate = 5;
    p.vibCents = 5;
    p.vibDelay = 0.2;
    p.chorusMix = 0.45;
    p.roomMix = 0.2;
    return p;
}

// Hollow detuned squares.
inline Patch squareStab(int root, std::vector<double> chord = kMajor)
{
    Patch p = sawStab(root, std::move(chord));
    p.layers = {pulses(1, 3, 9, 0.5), rootSine(0.4)};
    p.q = 1.4;
    p.envOctaves = 3.5;
    p.cutDecay = 0.14;
    p.drive = 1;
    return p;
}

// Pulse-width modulated stab.
inline Patch pulseStab(int root, std::vector<double> chord = kMinor)
{
    Patch p = sawStab(root, std::move(chord));
    p.layers = {pulses(1, 3, 8, 0.3, 0.18, 3.5), rootSine(0.4)};
    p.q = 1.6;
    p.chorusMix = 0.2;
    return p;
}

// Seven-voice detuned saw chord, wide.
inline Patch supersaw(int root, std::vector<double> chord)
{
    Patch p;
    p.root = root;
    p.chord = std::move(chord);
    p.layers = {saws(1, 7, 22), saws(0.25, 3, 15, 2), rootSine(0.55)};
    p.upper = 0.55;
    p.cutoff = std::min(6000.0, rootHz(p) * 10);
    p.envOctaves = 1.3;
    p.cutDecay = 0.25;
    p.q = 0.9;
    p.amp = {0.004, 0.05, 0.5, 0.55, 1e9, 0.2};
    p.chorusMix = 0.25;
    p.roomMix = 0.22;
    p.spread = 0.9;
    return p;
}

// FM bell: harmonic body with a little metallic shimmer.
inline Patch bellStab(int root, std::vector<double> chord = kOpenMajor)
{
    Patch p;
    p.root = root;
    p.chord = std::move(chord);
    p.layers = {fm(1, 2, 2.2, 0.25, 0.8), fm(0.18, 3.5, 1.4, 0.08, 0.12, 2), rootSine(0.5)};
    p.upper = 0.55;
    p.amp = {0.001, 0.0, 0.7, 0.0, 1e9, 0.1};
    p.roomMix = 0.22;
    p.chorusMix = 0.15;
    return p;
}

// Short resonant pluck.
inline Patch pluckStab(int root, std::vector<double> chord)
{
    Patch p = sawStab(root, std::move(chord));
    p.layers = {saws(1, 3, 6), pulses(0.4, 1, 0, 0.25), rootSine(0.8)};
    p.cutoff = rootHz(p) * 1.5;
    p.envOctaves = 5;
    p.cutDecay = 0.06;
    p.q = 3;
    p.amp = {0.001, 0.0, 0.16, 0.0, 1e9, 0.05};
    p.echoMix = 0.2;
    p.echoTime = 0.12;
    return p;
}

// Squelchy four-pole resonant saw.
inline Patch acidStab(int root, std::vector<double> chord = kOctave)
{
    Patch p;
    p.root = root;
    p.chord = std::move(chord);
    p.upper = 0.35;
    p.layers = {saws(1, 1, 0), pulses(0.35, 1, 0, 0.5), rootSine(0.5)};
    p.cutoff = rootHz(p) * 1.6;
    p.envOctaves = 4;
    p.cutDecay = 0.09;
    p.q = 7;
    p.poles = 4;
    p.amp = {0.001, 0.02, 0.2, 0.15, 1e9, 0.04};
    p.drive = 3;
    p.roomMix = 0.08;
    return p;
}

// Orchestra hit: brass, reeds and strings stacked in octaves and fifths,
// with a timpani-like thump of noise.
inline Patch orchestraHit(int root)
{
    Patch p;
    p.root = root;
    p.chord = {0, 7, 12, 16, 19, 24};
    p.upper = 0.45;
    p.layers = {saws(1, 3, 10), pulses(0.5, 1, 0, 0.4), sine(0.3, 1, 0.05), rootSine(0.8)};
    p.glideFrom = -1;
    p.glideTime = 0.012;
    p.cutoff = rootHz(p) * 3;
    p.envOctaves = 3;
    p.cutDecay = 0.12;
    p.q = 0.9;
    p.amp = {0.002, 0.025, 0.16, 0.0, 1e9, 0.06};
    p.noise = 0.5;
    p.noiseDecay = 0.035;
    p.noiseTone = 3000;
    p.drive = 1.3;
    p.roomMix = 0.35;
    p.roomSize = 1.2;
    return p;
}

// The rave hoover: detuned saws and pulse-width swept pulses gliding down into the note.
inline Patch hoover(int root)
{
    Patch p;
    p.root = root;
    p.chord = {0};
    p.layers = {saws(1, 7, 19), pulses(0.7, 3, 13, 0.3, 0.18, 0.9), saws(0.3, 3, 16, 2), rootSine(0.3)};
    p.glideFrom = 7;
    p.glideTime = 0.06;
    p.cutoff = 4500;
    p.envOctaves = 1;
    p.cutDecay = 0.35;
    p.q = 1.1;
    p.amp = {0.008, 0.05, 0.5, 0.75, 1e9, 0.22};
    p.drive = 1.4;
    p.chorusMix = 0.5;
    p.roomMix = 0.12;
    return p;
}

} // namespace soundgen::stab
