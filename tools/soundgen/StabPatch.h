// A small subtractive/FM synth voice for stabs: a chord of notes, each played
// by layers of unison oscillators, through a resonant low-pass with an
// envelope on its cutoff, a touch of drive, an amplitude envelope, a noise
// transient, and chorus, echo and room.
#pragma once

#include "StabKit.h"

#include <functional>

namespace soundgen::stab {

enum class Wave
{
    saw,
    pulse,
    sine,
    triangle,
    fm, // sine carrier with a sine modulator at `ratio`
};

struct Layer
{
    Wave wave = Wave::saw;
    double level = 1;
    double mult = 1;      // frequency multiple (organ drawbars, octave layers)
    int voices = 1;       // unison voices per note; odd keeps one exactly on pitch
    double detune = 0;    // cents of the outermost unison voices
    double width = 0.5;   // pulse width
    double pwmDepth = 0;  // pulse width swing
    double pwmRate = 0;   // Hz
    double ratio = 1;     // FM modulator ratio
    double index = 0;     // FM index at the start
    double indexDecay = 0.2;
    double decay = 0;     // seconds; 0 holds the layer at full level
    bool rootOnly = false; // reinforces the fundamental
};

struct Patch
{
    int root = 60;
    std::vector<double> chord{0}; // semitones above the root; the root is the lowest
    double upper = 0.6;           // level of the notes above the root
    std::vector<Layer> layers;
    double glideFrom = 0, glideTime = 0.05;     // semitones, exponential glide into pitch
    std::function<double(double)> bend;         // extra semitones over time
    double vibRate = 0, vibCents = 0, vibDelay = 0.1;
    double cutoff = 16000;                      // Hz, the filter at rest
    double envOctaves = 0;                      // cutoff envelope amount
    double cutAttack = 0.0005, cutDecay = 0.2;
    double q = 0.7;
    int poles = 2;
    Env amp;
    double noise = 0, noiseDecay = 0.03, noiseTone = 6000;
    double drive = 0;
    double chorusMix = 0, echoMix = 0, echoTime = 0.25, echoFeedback = 0.3, roomMix = 0, roomSize = 1;
    double spread = 0.7; // stereo pan of unison voices and chord notes
    double peak = 0.9;
    uint32_t seed = 1;
};

// Renders `frames` values per channel, unfinished (for mixing).
inline Sound renderRaw(const Patch& p, int frames, bool stereo)
{
    struct Osc
    {
        const Layer* layer;
        double hz, gain, panL, panR, phase, modPhase, pwmPhase;
    };
    Rng rng(p.seed * 2654435761u + 17);
    std::vector<Osc> oscs;
    double total = 0;
    for (size_t n = 0; n < p.chord.size(); ++n) {
        const double notePhase = rng.uniform();
        for (size_t li = 0; li < p.layers.size(); ++li) {
            const Layer& l = p.layers[li];
            if (l.rootOnly && n > 0)
                continue;
            for (int u = 0; u < l.voices; ++u) {
                const double pos = l.voices > 1 ? 2.0 * u / (l.voices - 1) - 1 : 0;
                // Each pair of unison voices (+x and -x cents) goes to one side, pairs
                // alternating, so both channels stay centred on the note yet differ.
                const int pair = (int)std::lround(std::fabs(pos) * (l.voices - 1) / 2);
                const double pairSide = pos == 0 ? 0 : ((pair + n + li) % 2 ? -0.8 : 0.8);
                const double noteSide = n == 0 ? 0 : (n % 2 ? 0.4 : -0.4);
                const double pan = std::clamp(p.spread * (pairSide + noteSide), -1.0, 1.0);
                Osc o;
                o.layer = &l;
                // The root's own unison stays tighter, so its fundamental stays one
                // clear line; octave layers and the upper notes carry the full spread.
                const double detune = n == 0 && l.mult == 1 ? 0.5 * l.detune : l.detune;
                o.hz = noteHz(p.root + p.chord[n] + detune * pos / 100) * l.mult;
                // Lift the exact-pitch voice a little so the unison centres on the note.
                o.gain = l.level * (n == 0 ? 1 : p.upper) / std::sqrt((double)l.voices) * (pos == 0 ? 1.3 : 1);
                o.panL = std::sqrt(0.5 * (1 - pan));
                o.panR = std::sqrt(0.5 * (1 + pan));
                // The on-pitch voices of a note start in phase, their fundamentals
                // aligned (a saw's is -sin, a triangle's -cos), so layers add up.
                const double align = l.wave == Wave::saw || l.wave == Wave::pulse ? 0 : l.wave == Wave::triangle ? 0.75 : 0.5;
                o.phase = pos == 0 ? wrap(notePhase + align) : rng.uniform();
                o.modPhase = 0;
                o.pwmPhase = rng.uniform();
                oscs.push_back(o);
                total += o.gain;
            }
        }
    }
    const double norm = total > 0 ? 1.2 / total : 1;

    Sound s;
    s.left.assign(frames, 0.f);
    if (stereo)
        s.right.assign(frames, 0.f);
    Lowpass4 filter[2];
    Svf noiseFilter[2], rumble[2];
    const double driveGain = 1 + p.drive;
    Env amp = p.amp;
    if (amp.gate > 1e8) // release so the tail is nearly silent at the last frame
        amp.gate = std::max(0.0, frames / kRate - 4 * amp.release - 0.012);
    for (int i = 0; i < frames; ++i) {
        const double t = i / kRate;
        double semis = p.glideFrom * std::exp(-t / p.glideTime);
        if (p.bend)
            semis += p.bend(t);
        if (p.vibCents > 0)
            semis += p.vibCents / 100 * std::sin(2 * kPi * p.vibRate * t) * smoothRamp((t - p.vibDelay) / 0.15);
        const double factor = std::pow(2.0, semis / 12);
        double mix[2] = {0, 0}, mono = 0, body = 0;
        for (Osc& o : oscs) {
            const Layer& l = *o.layer;
            const double hz = o.hz * factor, dt = hz / kRate;
            double v;
            switch (l.wave) {
            case Wave::saw:
                v = blepSaw(o.phase, dt);
                break;
            case Wave::pulse: {
                const double w = std::clamp(l.width + l.pwmDepth * std::sin(2 * kPi * o.pwmPhase), 0.05, 0.95);
                v = blepPulse(o.phase, dt, w);
                o.pwmPhase = wrap(o.pwmPhase + l.pwmRate / kRate);
                break;
            }
            case Wave::triangle:
                v = 1 - 4 * std::fabs(o.phase - 0.5);
                break;
            case Wave::fm: {
                const double index = l.index * std::exp(-t / l.indexDecay);
                v = std::sin(2 * kPi * o.phase + index * std::sin(2 * kPi * o.modPhase));
                o.modPhase = wrap(o.modPhase + dt * l.ratio);
                break;
            }
            default:
                v = std::sin(2 * kPi * o.phase);
                break;
            }
            o.phase = wrap(o.phase + dt);
            double g = o.gain;
            if (l.decay > 0)
                g *= std::exp(-t / l.decay);
            if (l.rootOnly) { // unfiltered, so no resonance can outweigh the fundamental
                body += v * g;
                continue;
            }
            mono += v * g;
            mix[0] += v * g * o.panL;
            mix[1] += v * g * o.panR;
        }
        const double fenv = t < p.cutAttack ? t / p.cutAttack : std::exp(-(t - p.cutAttack) / p.cutDecay);
        const double cut = p.cutoff * std::pow(2.0, p.envOctaves * fenv);
        const double level = amp.at(t);
        const double noiseLevel = p.noise * std::exp(-t / p.noiseDecay) * smoothRamp(t / 0.001);
        for (int c = 0; c < (stereo ? 2 : 1); ++c) {
            double x = (stereo ? mix[c] * std::sqrt(2.0) : mono) * norm;
            x = filter[c].process(x, cut, p.q, p.poles) + body * norm;
            if (p.drive > 0) {
                x = std::tanh(x * driveGain) / std::tanh(driveGain);
                // Heavy drive makes difference tones below the root (a fifth gives
                // half the root's frequency): keep them out.
                if (p.drive > 1)
                    x = rumble[c].lowpass(x, noteHz(p.root) * 0.7, 0.7), x = rumble[c].high();
            }
            x *= level;
            if (p.noise > 0)
                x += noiseLevel * noiseFilter[c].lowpass(rng.bipolar(), p.noiseTone, 0.8);
            (c ? s.right : s.left)[i] = (float)x;
        }
    }
    for (int c = 0; c < (stereo ? 2 : 1); ++c) {
        std::vector<float>& ch = c ? s.right : s.left;
        chorus(ch, p.chorusMix, c * 0.25);
        // Echo times are whole periods of the root, so the repeats reinforce it.
        const double period = 1 / noteHz(p.root);
        const double echoTime = std::max(1.0, std::round(p.echoTime * (c ? 1.0 : 0.985) / period)) * period;
        echo(ch, p.echoMix, echoTime, p.echoFeedback);
        room(ch, p.roomMix, p.roomSize, c);
    }
    return s;
}

inline Sound render(const Patch& p, int frames, bool stereo = false)
{
    Sound s = renderRaw(p, frames, stereo);
    finish(s, p.peak);
    return s;
}

} // namespace soundgen::stab
