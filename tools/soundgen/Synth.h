// Building blocks for the sound recipes: band-limited oscillators, envelopes
// and the finishing steps every built-in sound goes through.
#pragma once

#include <cmath>
#include <vector>

namespace soundgen {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

// Frequency of a MIDI note at concert pitch.
inline double noteHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Two-sample polynomial correction of a step of height 2 at phase 0
// (PolyBLEP), removing most aliasing of saw and pulse oscillators.
inline double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

// Band-limited pulse wave by its Fourier series (no DC term), so high notes
// do not alias. `duty` 0.5 gives a square.
inline double pulse(double phase, double hz, double duty)
{
    double sum = 0;
    const int harmonics = (int)(kRate / 2 / hz);
    for (int n = 1; n <= harmonics; ++n)
        sum += 2.0 / (n * kPi) * std::sin(n * kPi * duty) * std::cos(2 * kPi * n * (phase - duty / 2));
    return sum;
}

// Linear fade in and out over the given seconds, so no sound starts or ends with a click.
inline void fadeEdges(std::vector<float>& s, double inSeconds, double outSeconds)
{
    const size_t in = (size_t)(inSeconds * kRate), out = (size_t)(outSeconds * kRate);
    for (size_t i = 0; i < in && i < s.size(); ++i)
        s[i] = (float)(s[i] * (double)i / in);
    for (size_t i = 0; i < out && i < s.size(); ++i)
        s[s.size() - 1 - i] = (float)(s[s.size() - 1 - i] * (double)i / out);
}

// Removes any DC offset, then scales the peak to `peak`.
inline void normalise(std::vector<float>& s, double peak)
{
    double mean = 0;
    for (float v : s)
        mean += v;
    mean /= s.empty() ? 1 : (double)s.size();
    double max = 0;
    for (float& v : s) {
        v = (float)(v - mean);
        max = std::fmax(max, std::fabs(v));
    }
    if (max > 0)
        for (float& v : s)
            v = (float)(v * peak / max);
}

} // namespace soundgen
