// Building blocks of the dance stabs: band-limited PolyBLEP oscillators, a
// resonant filter, envelopes, a seeded noise source, chorus, echo and a small
// room, and the finishing steps (DC, edges, peak).
#pragma once

#include "Recipes.h"
#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace soundgen::stab {

// Seeded xorshift noise, so every build writes the same sounds.
class Rng
{
public:
    explicit Rng(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    double uniform() // 0..1
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state / 4294967296.0;
    }
    double bipolar() { return 2 * uniform() - 1; }

private:
    uint32_t state;
};

inline double wrap(double p) { return p - std::floor(p); }

inline double blepSaw(double phase, double dt) { return 2 * phase - 1 - polyBlep(phase, dt); }

// A pulse as the difference of two saws; its DC is removed at the end.
inline double blepPulse(double phase, double dt, double width)
{
    return blepSaw(phase, dt) - blepSaw(wrap(phase + width), dt);
}

// Topology-preserving state-variable filter: stable under fast cutoff sweeps.
class Svf
{
public:
    // Returns the low-pass output; band() and high() read the same step.
    double lowpass(double x, double hz, double q)
    {
        hz = std::clamp(hz, 20.0, kRate * 0.45);
        const double g = std::tan(kPi * hz / kRate), k = 1 / q;
        const double a1 = 1 / (1 + g * (g + k));
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + g * a1 * v3;
        const double v2 = ic2 + g * v1;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        bp = v1;
        hp = x - k * v1 - v2;
        return v2;
    }
    double band() const { return bp; }
    double high() const { return hp; }

private:
    double ic1 = 0, ic2 = 0, bp = 0, hp = 0;
};

// Two cascaded sections (24 dB/octave), resonance on the second only so a
// high Q sings without the first section doubling it.
class Lowpass4
{
public:
    double process(double x, double hz, double q, int poles)
    {
        if (poles <= 2)
            return b.lowpass(x, hz, q);
        return b.lowpass(a.lowpass(x, hz, 0.54), hz, q);
    }

private:
    Svf a, b;
};

// One-pole DC blocker.
class DcBlock
{
public:
    double process(double x)
    {
        const double y = x - prevX + 0.9987 * prevY; // ~9 Hz corner
        prevX = x;
        prevY = y;
        return y;
    }

private:
    double prevX = 0, prevY = 0;
};

// Raised-cosine ramp 0..1: starts and ends with zero slope, so short fades do not click.
inline double smoothRamp(double x)
{
    if (x <= 0)
        return 0;
    if (x >= 1)
        return 1;
    return 0.5 - 0.5 * std::cos(kPi * x);
}

// Attack, hold, exponential decay to a sustain level, and an exponential
// release that starts at `gate` seconds.
struct Env
{
    double attack = 0.002, hold = 0, decay = 0.3, sustain = 0, gate = 1e9, release = 0.08;

    double at(double t) const
    {
        double v;
        if (t < attack)
            v = smoothRamp(t / attack);
        else if (t < attack + hold)
            v = 1;
        else
            v = sustain + (1 - sustain) * std::exp(-(t - attack - hold) / decay);
        if (t > gate)
            v *= std::exp(-(t - gate) / release);
        return v;
    }
};

// Fractional delay line with linear interpolation.
class Delay
{
public:
    explicit Delay(int size) : buf((size_t)size + 4, 0.0) {}
    void push(double x)
    {
        buf[pos] = x;
        pos = (pos + 1) % buf.size();
    }
    double read(double samplesAgo) const
    {
        const double p = (double)pos - 1 - samplesAgo + 2.0 * buf.size();
        const size_t i = (size_t)p;
        const double f = p - (double)i;
        const double a = buf[i % buf.size()], b = buf[(i + 1) % buf.size()];
        return a + (b - a) * f;
    }

private:
    std::vector<double> buf;
    size_t pos = 0;
};

// Ensemble chorus: three modulated taps around a centre delay, so the pitch
// wobbles average out around the dry note; shallow, so no tap drifts off pitch.
inline void chorus(std::vector<float>& s, double mix, double phaseOffset, double depthMs = 1.2)
{
    if (mix <= 0)
        return;
    Delay d((int)(0.03 * kRate));
    const double centre = 0.009 * kRate, depth = depthMs * 0.001 * kRate;
    for (size_t i = 0; i < s.size(); ++i) {
        d.push(s[i]);
        const double t = (double)i / kRate;
        double wet = 0;
        for (int tap = 0; tap < 3; ++tap) {
            const double lfo = std::sin(2 * kPi * (0.63 * t + tap / 3.0 + phaseOffset)) +
                               0.12 * std::sin(2 * kPi * (5.3 * t + tap / 3.0 + phaseOffset));
            wet += d.read(centre + depth * lfo / 1.3);
        }
        s[i] = (float)((1 - mix) * s[i] + mix * wet / 3);
    }
}

// Feedback echo whose repeats get darker.
inline void echo(std::vector<float>& s, double mix, double seconds, double feedback)
{
    if (mix <= 0)
        return;
    Delay d((int)(seconds * kRate) + 2);
    double lp = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double back = d.read(seconds * kRate - 1);
        lp += 0.35 * (back - lp);
        d.push(s[i] + feedback * lp);
        s[i] = (float)(s[i] + mix * lp);
    }
}

// A small room: parallel damped combs into two allpasses.
inline void room(std::vector<float>& s, double mix, double size, int side)
{
    if (mix <= 0)
        return;
    static const int kCombs[4] = {1116, 1188, 1277, 1356};
    static const int kPasses[2] = {556, 441};
    std::vector<std::vector<double>> comb(4), pass(2);
    std::vector<double> damp(4, 0.0);
    std::vector<size_t> ci(4, 0), pi(2, 0);
    for (int c = 0; c < 4; ++c)
        comb[c].assign((size_t)((kCombs[c] + 23 * side) * size), 0.0);
    for (int a = 0; a < 2; ++a)
        pass[a].assign((size_t)((kPasses[a] + 11 * side) * size), 0.0);
    for (size_t i = 0; i < s.size(); ++i) {
        const double x = s[i] * 0.2;
        double y = 0;
        for (int c = 0; c < 4; ++c) {
            double& cell = comb[c][ci[c]];
            y += cell;
            damp[c] += 0.45 * (cell - damp[c]);
            cell = x + 0.78 * damp[c];
            ci[c] = (ci[c] + 1) % comb[c].size();
        }
        for (int a = 0; a < 2; ++a) {
            double& cell = pass[a][pi[a]];
            const double out = cell - y;
            cell = y + 0.5 * out;
            y = out;
            pi[a] = (pi[a] + 1) % pass[a].size();
        }
        s[i] = (float)(s[i] + mix * y);
    }
}

// Dense sounds (drive, squares) come down half the way (in dB) from their
// loudest 100 ms to the library's typical stab, keeping some of their punch.
inline void tameLoudness(Sound& s, double maxRms = 0.4)
{
    const size_t window = (size_t)(0.1 * kRate);
    double loudest = 0;
    for (const std::vector<float>* ch : {&s.left, &s.right}) {
        double sum = 0;
        for (size_t i = 0; i < ch->size(); ++i) {
            sum += (double)(*ch)[i] * (*ch)[i];
            if (i >= window)
                sum -= (double)(*ch)[i - window] * (*ch)[i - window];
            loudest = std::max(loudest, sum / (double)window);
        }
    }
    const double rms = std::sqrt(loudest);
    if (rms > maxRms)
        for (std::vector<float>* ch : {&s.left, &s.right})
            for (float& v : *ch)
                v = (float)(v * std::sqrt(maxRms / rms));
}

// The finishing steps: no DC, clickless edges (the last value, the guard or
// the last frame, is exactly 0), and the joint peak of both channels at `peak`.
inline void finish(Sound& s, double peak = 0.9, double fadeIn = 0.0015, double fadeOut = 0.012)
{
    for (std::vector<float>* ch : {&s.left, &s.right}) {
        if (ch->empty())
            continue;
        DcBlock dc;
        for (float& v : *ch)
            v = (float)dc.process(v);
        double mean = 0;
        for (float v : *ch)
            mean += v;
        mean /= (double)ch->size();
        for (float& v : *ch)
            v = (float)(v - mean);
        const size_t n = ch->size();
        const size_t in = std::min(n, (size_t)(fadeIn * kRate) + 1);
        const size_t out = std::min(n, (size_t)(fadeOut * kRate) + 1);
        for (size_t i = 0; i < in; ++i)
            (*ch)[i] = (float)((*ch)[i] * smoothRamp((double)i / in));
        for (size_t i = 0; i < out; ++i)
            (*ch)[n - 1 - i] = (float)((*ch)[n - 1 - i] * smoothRamp((double)i / out));
    }
    double max = 0;
    for (const std::vector<float>* ch : {&s.left, &s.right})
        for (float v : *ch)
            max = std::max(max, (double)std::fabs(v));
    if (max > 0)
        for (std::vector<float>* ch : {&s.left, &s.right})
            for (float& v : *ch)
                v = (float)(v * peak / max);
    tameLoudness(s);
}

} // namespace soundgen::stab
