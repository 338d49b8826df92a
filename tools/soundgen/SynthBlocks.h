// Shared building blocks of the synth, organ and voice recipes: band-limited
// oscillators, zero-delay-feedback filters, envelopes and small effects.
#pragma once

#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace soundgen {
namespace blocks {

// Deterministic noise, so every build writes the same files.
struct Rng
{
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    double uniform() // 0..1
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state >> 8) * (1.0 / 16777216.0);
    }
    double bipolar() { return 2 * uniform() - 1; }
};

inline double cents(double c) { return std::pow(2.0, c / 1200.0); }

// Saw/pulse oscillator with a phase accumulator; frequency may change per sample.
struct Osc
{
    double phase = 0;
    explicit Osc(double startPhase = 0) : phase(startPhase) {}
    double saw(double hz)
    {
        const double dt = hz / kRate;
        const double v = 2 * phase - 1 - polyBlep(phase, dt);
        advance(dt);
        return v;
    }
    double pulse(double hz, double duty)
    {
        const double dt = hz / kRate;
        double t2 = phase + 1 - duty;
        t2 -= std::floor(t2);
        double v = (phase < duty ? 1.0 : -1.0) + polyBlep(phase, dt) - polyBlep(t2, dt);
        v -= 2 * duty - 1; // no DC for any duty
        advance(dt);
        return v;
    }
    double sine(double hz)
    {
        const double v = std::sin(2 * kPi * phase);
        advance(hz / kRate);
        return v;
    }
    void advance(double dt)
    {
        phase += dt;
        phase -= std::floor(phase);
    }
};

// Several detuned saws spread symmetrically around the pitch, so the centre stays in tune.
struct SuperSaw
{
    std::vector<Osc> oscs;
    std::vector<double> ratios, gains;
    SuperSaw(int voices, double spreadCents, uint32_t seed)
    {
        Rng rng(seed);
        for (int v = 0; v < voices; ++v) {
            const double pos = voices == 1 ? 0 : 2.0 * v / (voices - 1) - 1; // -1..1
            oscs.emplace_back(rng.uniform());
            ratios.push_back(cents(spreadCents * pos * (0.6 + 0.4 * std::fabs(pos))));
            gains.push_back(v == voices / 2 ? 1.0 : 0.55); // a strong centre keeps the pitch unambiguous
        }
    }
    double next(double hz)
    {
        double sum = 0, norm = 0;
        for (size_t v = 0; v < oscs.size(); ++v) {
            sum += gains[v] * oscs[v].saw(hz * ratios[v]);
            norm += gains[v];
        }
        return sum / std::sqrt(norm * (double)oscs.size()) * 1.6;
    }
};

// State-variable filter (trapezoidal, stable under fast modulation).
struct Svf
{
    double ic1 = 0, ic2 = 0, lp = 0, bp = 0, hp = 0;
    void run(double x, double hz, double q)
    {
        hz = std::clamp(hz, 10.0, kRate * 0.45);
        const double g = std::tan(kPi * hz / kRate), k = 1 / q;
        const double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        lp = v2;
        bp = v1;
        hp = x - k * v1 - v2;
    }
    double lowpass(double x, double hz, double q) { return run(x, hz, q), lp; }
    double highpass(double x, double hz, double q) { return run(x, hz, q), hp; }
    double bandpass(double x, double hz, double q) { return run(x, hz, q), bp; }
};

// Four-pole ladder low-pass with resonance and a soft-clipped input: the squelch of acid bass.
struct Ladder
{
    double s[4] = {0, 0, 0, 0};
    double run(double x, double hz, double resonance /* 0..4 */)
    {
        hz = std::clamp(hz, 10.0, kRate * 0.45);
        const double g = std::tan(kPi * hz / kRate), G = g / (1 + g);
        double sigma = 0, gPow = 1;
        for (int i = 3; i >= 0; --i) {
            sigma += gPow * s[i] / (1 + g);
            gPow *= G;
        }
        const double y4 = (gPow * x + sigma) / (1 + resonance * gPow);
        double u = std::tanh(x - resonance * y4);
        for (int i = 0; i < 4; ++i) {
            const double v = (u - s[i]) * G;
            const double y = v + s[i];
            s[i] = y + v;
            u = y;
        }
        return u * (1 + 0.5 * resonance); // keep the passband level as resonance rises
    }
};

// One-pole high-pass, for DC and rumble.
struct HighPass1
{
    double x1 = 0, y1 = 0, a;
    explicit HighPass1(double hz) : a(std::exp(-2 * kPi * hz / kRate)) {}
    double run(double x)
    {
        y1 = a * (y1 + x - x1);
        x1 = x;
        return y1;
    }
};

// Attack, decay to sustain, release after `releaseAt` seconds; curves shaped like analogue envelopes.
struct Adsr
{
    double attack, decay, sustain, release, releaseAt;
    double at(double t) const
    {
        auto held = [&](double u) {
            if (u < attack)
                return std::sin(0.5 * kPi * u / attack);
            return sustain + (1 - sustain) * std::exp(-(u - attack) / std::max(decay, 1e-6));
        };
        if (t < releaseAt)
            return held(t);
        return held(releaseAt) * std::exp(-(t - releaseAt) / std::max(release, 1e-6));
    }
};

// Fractional delay line with cubic interpolation, for chorus and doubling.
struct Delay
{
    std::vector<double> buf;
    size_t pos = 0;
    explicit Delay(size_t maxSamples) : buf(maxSamples + 4, 0.0) {}
    void push(double x)
    {
        buf[pos] = x;
        pos = (pos + 1) % buf.size();
    }
    double read(double delaySamples) const // delay >= 1 sample back from the newest
    {
        const double d = std::clamp(delaySamples, 1.0, (double)buf.size() - 3);
        const double rp = (double)pos - 1 - d + 2.0 * buf.size();
        const size_t i = (size_t)rp;
        const double f = rp - i;
        auto at = [&](size_t k) { return buf[k % buf.size()]; };
        const double y0 = at(i - 1), y1 = at(i), y2 = at(i + 1), y3 = at(i + 2);
        const double c1 = 0.5 * (y2 - y0), c2 = y0 - 2.5 * y1 + 2 * y2 - 0.5 * y3, c3 = 0.5 * (y3 - y0) + 1.5 * (y1 - y2);
        return ((c3 * f + c2) * f + c1) * f + y1;
    }
};

// A stereo chorus: two modulated taps in opposite phase for width. Shallow, so pitch barely moves.
inline void chorus(const std::vector<float>& in, std::vector<float>& outL, std::vector<float>& outR, double rateHz,
                   double baseMs, double depthMs, double mix)
{
    Delay d(4096);
    outL.resize(in.size());
    outR.resize(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        d.push(in[i]);
        const double lfo = 2 * kPi * rateHz * i / kRate;
        const double dl = (baseMs + depthMs * std::sin(lfo)) * kRate / 1000;
        const double dr = (baseMs + depthMs * std::sin(lfo + kPi * 0.5)) * kRate / 1000;
        outL[i] = (float)(in[i] * (1 - mix) + d.read(dl) * mix);
        outR[i] = (float)(in[i] * (1 - mix) + d.read(dr) * mix);
    }
}

// Small room: parallel damped combs into series all-passes. Returns the wet signal only.
inline std::vector<float> room(const std::vector<float>& in, double size, double damping, double feedback, int stereoOffset)
{
    static const int combLens[4] = {1116, 1188, 1277, 1356};
    static const int apLens[2] = {556, 441};
    std::vector<double> wet(in.size(), 0.0);
    for (int c = 0; c < 4; ++c) {
        std::vector<double> line((size_t)((combLens[c] + stereoOffset) * size) + 1, 0.0);
        size_t p = 0;
        double lp = 0;
        for (size_t i = 0; i < in.size(); ++i) {
            const double y = line[p];
            lp = y * (1 - damping) + lp * damping;
            line[p] = in[i] + lp * feedback;
            p = (p + 1) % line.size();
            wet[i] += y * 0.25;
        }
    }
    for (int a = 0; a < 2; ++a) {
        std::vector<double> line((size_t)((apLens[a] + stereoOffset) * size) + 1, 0.0);
        size_t p = 0;
        for (size_t i = 0; i < wet.size(); ++i) {
            const double b = line[p];
            const double x = wet[i];
            line[p] = x + b * 0.5;
            wet[i] = b - x;
            p = (p + 1) % line.size();
        }
    }
    return std::vector<float>(wet.begin(), wet.end());
}

inline void removeDc(std::vector<float>& s)
{
    if (s.empty())
        return;
    double mean = 0;
    for (float v : s)
        mean += v;
    mean /= (double)s.size();
    for (float& v : s)
        v = (float)(v - mean);
}

// Fades with a raised-cosine curve: smoother than linear at the same length.
inline void fades(std::vector<float>& s, size_t from, double inSeconds, double outSeconds)
{
    const size_t in = std::max<size_t>(1, (size_t)(inSeconds * kRate));
    const size_t out = std::max<size_t>(1, (size_t)(outSeconds * kRate));
    for (size_t i = 0; i < from && i < s.size(); ++i)
        s[i] = 0;
    for (size_t i = 0; i < in && from + i < s.size(); ++i)
        s[from + i] = (float)(s[from + i] * 0.5 * (1 - std::cos(kPi * i / in)));
    if (outSeconds <= 0) // a looping sound keeps its end as it is
        return;
    for (size_t i = 0; i < out && i < s.size(); ++i)
        s[s.size() - 1 - i] = (float)(s[s.size() - 1 - i] * 0.5 * (1 - std::cos(kPi * i / out)));
}

// The common finish: no DC, soft edges, peak at `peak` over both channels, silent guard value.
inline void finish(Sound& s, double peak = 0.9, size_t startFrame = 0, double fadeIn = 0.002, double fadeOut = 0.012,
                   bool guard = true)
{
    removeDc(s.left);
    removeDc(s.right);
    fades(s.left, startFrame, fadeIn, fadeOut);
    if (!s.right.empty())
        fades(s.right, startFrame, fadeIn, fadeOut);
    double max = 0;
    for (float v : s.left)
        max = std::max(max, (double)std::fabs(v));
    for (float v : s.right)
        max = std::max(max, (double)std::fabs(v));
    if (max > 0) {
        for (float& v : s.left)
            v = (float)(v * peak / max);
        for (float& v : s.right)
            v = (float)(v * peak / max);
    }
    if (guard) {
        s.left.back() = 0;
        if (!s.right.empty())
            s.right.back() = 0;
    }
}

// Raises quiet, peaky sounds towards `targetRms` (over their first 0.3 s) by
// soft saturation, so the library plays at roughly even loudness.
inline void lift(Sound& s, double targetRms)
{
    auto hitRms = [](const std::vector<float>& v, double g) {
        const size_t n = std::min(v.size(), (size_t)(0.3 * kRate));
        double peak = 1e-9, sum = 0;
        for (float x : v)
            peak = std::max(peak, (double)std::fabs(x));
        for (size_t i = 0; i < n; ++i) {
            const double y = std::tanh(g * v[i] / peak) / std::tanh(g);
            sum += y * y;
        }
        return std::sqrt(sum / std::max<size_t>(1, n));
    };
    double g = 0.5;
    while (g < 4 && hitRms(s.left, g) < targetRms)
        g += 0.25;
    for (std::vector<float>* v : {&s.left, &s.right}) {
        double peak = 1e-9;
        for (float x : *v)
            peak = std::max(peak, (double)std::fabs(x));
        for (float& x : *v)
            x = (float)(std::tanh(g * x / peak) / std::tanh(g) * peak);
    }
}

} // namespace blocks
} // namespace soundgen
