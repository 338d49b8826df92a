// Synths, organs and vocal shouts: ids 39..65, the "instrus" and "voices"
// resource lists, and the resource files of ids 53 and 54.
#include "Recipes.h"
#include "Synth.h"
#include "SynthBlocks.h"
#include "VoiceShout.h"

#include <cmath>
#include <string>
#include <vector>

namespace soundgen {

namespace {

using namespace blocks;

// ---------------------------------------------------------------------------
// Shared helpers

// Seconds of a recording of `frames` frames (the guard value excluded).
double secondsOf(int frames) { return (frames - 1) / kRate; }

// Gate that closes `release` seconds before the end, so every note ends on its own tail.
double gate(double t, double off, double release) { return t < off ? 1.0 : std::exp(-(t - off) / release); }

// Short attack ramp so even percussive sounds start without a click.
double attackRamp(double t, double seconds) { return t >= seconds ? 1.0 : std::sin(0.5 * kPi * t / seconds); }

Sound monoOf(std::vector<float> v)
{
    Sound s;
    s.left = std::move(v);
    return s;
}

// A resource file has no guard value: its last frame is real and silent.
Sound resource(Sound s, double fadeOut = 0.012)
{
    finish(s, 0.9, 0, 0.002, fadeOut, false);
    return s;
}

Sound builtin(Sound s, double fadeOut = 0.012, size_t start = 0)
{
    finish(s, 0.9, start, 0.002, fadeOut, true);
    return s;
}

// Plucks decay fast: a little saturation brings their body up to the others.
Sound loudPluck(Sound s)
{
    lift(s, 0.2);
    return s;
}

void addRoom(std::vector<float>& s, double mix, int offset = 0)
{
    const std::vector<float> wet = room(s, 0.6, 0.4, 0.75, offset);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] += (float)(mix * wet[i]);
}

// ---------------------------------------------------------------------------
// Leads, plucks and arps

// Trance supersaw lead: the first `start` frames are the silent lead-in skipped at playback.
Sound hyperLead(int length, int root, int start)
{
    const double hz = noteHz(root);
    const int frames = length - start;
    const double off = secondsOf(frames) - 0.2;
    SuperSaw saws(7, 22, 39);
    Osc body(0.25);
    Svf f1, f2;
    const Adsr amp{0.006, 0.5, 0.82, 0.05, off};
    std::vector<float> v(length, 0.0f);
    for (int i = 0; i < frames; ++i) {
        const double t = i / kRate;
        // Vibrato only after the note has settled, and small, so the pitch stays put.
        const double depth = std::fmin(1.0, std::fmax(0.0, (t - 0.6) / 0.8)) * 6.0;
        const double f = hz * cents(depth * std::sin(2 * kPi * 5.2 * t));
        const double x = saws.next(f) + 0.3 * body.pulse(f, 0.5);
        const double cutoff = f * (5 + 14 * std::exp(-t / 0.25));
        const double y = f2.lowpass(f1.lowpass(x, cutoff, 0.7), cutoff, 0.9);
        v[start + i] = (float)std::tanh(1.2 * y * amp.at(t));
    }
    addRoom(v, 0.1);
    return builtin(monoOf(v), 0.015, start);
}

Sound sawPluck(int length, int root, double decay, uint32_t seed)
{
    const double hz = noteHz(root);
    SuperSaw saws(5, 9, seed);
    Svf filter;
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        const double cutoff = hz * (1.5 + 24 * std::exp(-t / (decay * 0.5)));
        v[i] = (float)(filter.lowpass(saws.next(hz), cutoff, 1.4) * std::exp(-t / decay) * attackRamp(t, 0.001));
    }
    return monoOf(v);
}

// Stereo pluck: two detuned stacks, one per side.
Sound tranceRiffPluck(int frames, int root)
{
    Sound s = sawPluck(frames, root, 0.3, 91);
    s.right = sawPluck(frames, root, 0.3, 92).left;
    addRoom(s.left, 0.12, 0);
    addRoom(s.right, 0.12, 23);
    return s;
}

Sound arpBlip(int length, int root)
{
    const double hz = noteHz(root);
    Osc osc;
    Svf filter;
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        const double cutoff = hz * (2 + 20 * std::exp(-t / 0.03));
        v[i] = (float)(filter.lowpass(osc.pulse(hz, 0.3), cutoff, 1.6) * std::exp(-t / 0.07) * attackRamp(t, 0.001));
    }
    return builtin(loudPluck(monoOf(v)));
}

// Two-operator FM with harmonic ratios: a glassy, bell-like arp note that stays in tune.
Sound glassArp(int length, int root)
{
    const double hz = noteHz(root);
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate, ph = 2 * kPi * hz * t;
        const double index = 2.5 * std::exp(-t / 0.05) + 0.4;
        const double x = std::sin(ph + index * std::sin(3 * ph)) + 0.25 * std::exp(-t / 0.03) * std::sin(4 * ph);
        v[i] = (float)(x * std::exp(-t / 0.12) * attackRamp(t, 0.001));
    }
    return builtin(monoOf(v));
}

// A minor chord pluck with its root as the loudest and lowest note.
Sound chordPluck(int length, int root)
{
    const int intervals[4] = {0, 3, 7, 12};
    const double gains[4] = {1.0, 0.65, 0.65, 0.45};
    std::vector<SuperSaw> stacks;
    for (int n = 0; n < 4; ++n)
        stacks.emplace_back(3, 10, 460 + n);
    const double hz = noteHz(root);
    Svf filter;
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        double x = 0;
        for (int n = 0; n < 4; ++n)
            x += gains[n] * stacks[n].next(noteHz(root + intervals[n]));
        const double cutoff = hz * (2 + 18 * std::exp(-t / 0.07));
        v[i] = (float)(filter.lowpass(x, cutoff, 1.1) * std::exp(-t / 0.14) * attackRamp(t, 0.001));
    }
    return builtin(loudPluck(monoOf(v)));
}

Sound pulseLead(int length, int root)
{
    const double hz = noteHz(root);
    const double off = secondsOf(length) - 0.08;
    Osc pw, oct(0.3);
    Svf filter;
    const Adsr amp{0.005, 0.2, 0.8, 0.03, off};
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        const double x = pw.pulse(hz, 0.5 + 0.2 * std::sin(2 * kPi * 1.8 * t)) + 0.3 * oct.saw(2 * hz);
        v[i] = (float)(filter.lowpass(x, hz * 6, 0.9) * amp.at(t));
    }
    return builtin(monoOf(v));
}

// Two saws and a square, vibrato after the attack: a classic mono lead.
Sound sawLead(int frames, int root)
{
    const double hz = noteHz(root);
    const double off = secondsOf(frames) - 0.15;
    Osc a(0.1), b(0.6), sq(0.35);
    Svf f1, f2;
    const Adsr amp{0.008, 0.35, 0.85, 0.04, off};
    std::vector<float> v(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = i / kRate;
        const double depth = std::fmin(1.0, std::fmax(0.0, (t - 0.4) / 0.5)) * 5.0;
        const double f = hz * cents(depth * std::sin(2 * kPi * 5.5 * t));
        const double x = a.saw(f * cents(-7)) + b.saw(f * cents(7)) + 0.5 * sq.pulse(f, 0.5);
        const double cutoff = f * (4 + 10 * std::exp(-t / 0.2));
        v[i] = (float)std::tanh(1.3 * f2.lowpass(f1.lowpass(x, cutoff, 0.7), cutoff, 1.0) * amp.at(t));
    }
    addRoom(v, 0.1);
    return monoOf(v);
}

// ---------------------------------------------------------------------------
// Basses

// Acid bass: a saw into a resonant four-pole ladder, its cutoff swept by a fast envelope.
Sound acidBass(int frames, int root, double envAmount, double decay, double resonance)
{
    const double hz = noteHz(root);
    const double off = secondsOf(frames) - 0.06;
    Osc osc;
    Ladder ladder;
    std::vector<float> v(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = i / kRate;
        // The sustain cutoff sits between the first two harmonics, so the fundamental leads.
        const double cutoff = hz * (1.6 + envAmount * std::exp(-t / decay));
        const double y = ladder.run(0.8 * osc.saw(hz), cutoff, resonance);
        const double amp = attackRamp(t, 0.003) * (0.75 + 0.25 * std::exp(-t / 0.15)) * gate(t, off, 0.02);
        v[i] = (float)std::tanh(1.8 * y * amp);
    }
    return monoOf(v);
}

Sound rubberBass(int length, int root)
{
    const double hz = noteHz(root);
    const double off = secondsOf(length) - 0.06;
    Osc sq, sw(0.5);
    Svf filter;
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        const double x = 0.6 * sq.pulse(hz, 0.5) + 0.5 * sw.saw(hz);
        const double cutoff = hz * (1.3 + 9 * std::exp(-t / 0.06));
        const double amp = attackRamp(t, 0.002) * (0.55 + 0.45 * std::exp(-t / 0.2)) * gate(t, off, 0.02);
        v[i] = (float)std::tanh(1.5 * filter.lowpass(x, cutoff, 2.2) * amp);
    }
    return builtin(monoOf(v));
}

// Sine sub with a little second and third harmonic, so it still speaks on small speakers.
Sound subBass(int frames, int root)
{
    const double hz = noteHz(root);
    const double off = secondsOf(frames) - 0.12;
    std::vector<float> v(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = i / kRate, ph = 2 * kPi * hz * t;
        const double x = std::sin(ph) + 0.12 * std::sin(2 * ph) + 0.05 * std::sin(3 * ph);
        v[i] = (float)std::tanh(1.3 * x * attackRamp(t, 0.005) * gate(t, off, 0.04));
    }
    return monoOf(v);
}

// FM bass: 1:1 operators with a fast-decaying index give the percussive "bwow".
Sound fmBass(int length, int root)
{
    const double hz = noteHz(root);
    const double off = secondsOf(length) - 0.06;
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate, ph = 2 * kPi * hz * t;
        const double index = 3.5 * std::exp(-t / 0.06) + 0.9;
        const double x = std::sin(ph + index * std::sin(ph));
        const double amp = attackRamp(t, 0.001) * std::exp(-t / 0.5) * gate(t, off, 0.02);
        v[i] = (float)std::tanh(1.4 * x * amp);
    }
    return builtin(monoOf(v));
}

// Reese: saws detuned against each other beat slowly; a centred saw keeps the fundamental steady.
std::vector<float> reeseChannel(int frames, int root, uint32_t seed)
{
    const double hz = noteHz(root);
    const double off = secondsOf(frames) - 0.15;
    Rng rng(seed);
    Osc lo(rng.uniform()), hi(rng.uniform()), mid(0); // the centre saw is in phase on both sides
    Svf filter;
    const Adsr amp{0.01, 0.4, 0.9, 0.05, off};
    std::vector<float> v(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = i / kRate;
        const double x = 0.6 * lo.saw(hz * cents(-11)) + 0.6 * hi.saw(hz * cents(11)) + mid.saw(hz);
        const double cutoff = hz * (3.5 + 1.5 * std::sin(2 * kPi * 0.35 * t + seed));
        v[i] = (float)std::tanh(1.6 * filter.lowpass(x, cutoff, 0.9) * amp.at(t));
    }
    return v;
}

// ---------------------------------------------------------------------------
// Pads

Sound velvetPad(int length, int root)
{
    const double hz = noteHz(root);
    const double off = secondsOf(length) - 0.5;
    Osc p1, p2(0.37), s1(0.61);
    Svf filter;
    const Adsr amp{0.3, 0.8, 0.85, 0.15, off};
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        const double x = 0.5 * p1.pulse(hz * cents(-6), 0.5 + 0.18 * std::sin(2 * kPi * 0.43 * t)) +
                         0.5 * p2.pulse(hz * cents(6), 0.5 + 0.18 * std::sin(2 * kPi * 0.57 * t + 1)) +
                         0.45 * s1.saw(hz);
        const double swell = 1 - std::exp(-t / 0.5);
        v[i] = (float)(filter.lowpass(x, hz * (3 + 2 * swell), 0.8) * amp.at(t));
    }
    std::vector<float> l, r;
    chorus(v, l, r, 0.5, 9, 1.2, 0.35);
    return builtin(monoOf(l), 0.015);
}

// A wide stereo pad chord (C major add 9, open voicing, root lowest and loudest), a detuned stack per note and side.
Sound widePad(int length, int root)
{
    const int intervals[5] = {0, 7, 14, 16, 19};
    const double gains[5] = {1.0, 0.6, 0.35, 0.45, 0.3};
    const double off = secondsOf(length) - 0.6;
    const Adsr amp{0.45, 1.0, 0.9, 0.2, off};
    Sound s;
    for (int c = 0; c < 2; ++c) {
        std::vector<SuperSaw> stacks;
        for (int n = 0; n < 5; ++n)
            stacks.emplace_back(5, 11, 4900 + 10 * n + c);
        Svf f1, f2;
        std::vector<float> v(length);
        for (int i = 0; i < length; ++i) {
            const double t = i / kRate;
            double x = 0;
            for (int n = 0; n < 5; ++n)
                x += gains[n] * stacks[n].next(noteHz(root + intervals[n]));
            const double cutoff = 1200 + 2000 * (1 - std::exp(-t / 0.6));
            v[i] = (float)(f2.lowpass(f1.lowpass(x, cutoff, 0.7), cutoff, 0.8) * amp.at(t));
        }
        addRoom(v, 0.15, 23 * c);
        (c == 0 ? s.left : s.right) = std::move(v);
    }
    return builtin(s, 0.015);
}

// Brass: the filter opens with the attack and settles, like a player's breath.
Sound polyBrass(int length, int root)
{
    const double hz = noteHz(root);
    const double off = secondsOf(length) - 0.18;
    Osc a(0.2), b(0.7), c(0.45);
    Svf filter;
    const Adsr amp{0.03, 0.3, 0.85, 0.05, off};
    std::vector<float> v(length);
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        const double fenv = t < 0.08 ? t / 0.08 : 0.45 + 0.55 * std::exp(-(t - 0.08) / 0.25);
        // A unison sine under the detuned saws keeps the fundamental from beating away.
        const double x = 0.7 * a.saw(hz * cents(-8)) + 0.7 * b.saw(hz * cents(8)) + c.saw(hz) + 0.6 * std::sin(2 * kPi * hz * t);
        v[i] = (float)(filter.lowpass(x, hz * (1.5 + 9 * fenv), 0.9) * amp.at(t));
    }
    addRoom(v, 0.1);
    return builtin(monoOf(v), 0.015);
}

// The looping two-octave pad (C4 and C5). Every oscillator and the chorus
// run a whole number of cycles over the loop, so the loop is seamless by
// construction; a short crossfade before the end makes sure of it.
const int kPadLoopStart = 12443;
const long kPadC4Cycles = 789; // cycles of C4 in one loop
const long kPadLoop = std::lround(kPadC4Cycles * kRate / noteHz(60));

// `shift` moves the oscillators and chorus along their cycle, choosing where the loop seam falls.
Sound octavePadAt(long shift)
{
    const int loopStart = kPadLoopStart;
    const long c4Cycles = kPadC4Cycles, loop = kPadLoop;
    const long frames = loopStart + loop;
    const long offsets[2][2][7] = {
        {{-5, -3, -1, 0, 1, 3, 5}, {-9, -5, -2, 0, 2, 5, 9}},
        {{-6, -3, -2, 0, 2, 4, 6}, {-8, -6, -3, 0, 3, 5, 8}},
    };
    Sound s;
    Rng rng(54);
    for (int c = 0; c < 2; ++c) {
        std::vector<double> raw(frames, 0.0);
        for (int octave = 0; octave < 2; ++octave) {
            const long base = c4Cycles << octave;
            const double level = octave == 0 ? 1.0 : 0.7;
            for (int k = 0; k < 7; ++k) {
                const long m = base + offsets[c][octave][k];
                const double phase0 = rng.uniform(), dt = (double)m / loop;
                const double gain = level * (k == 3 ? 1.0 : 0.75);
                for (long i = 0; i < frames; ++i) {
                    double p = phase0 + (double)((m * (i + shift)) % loop) / loop;
                    p -= std::floor(p);
                    raw[i] += gain * (2 * p - 1 - polyBlep(p, dt));
                }
            }
        }
        Svf f1, f2;
        Delay d(2048);
        std::vector<float> v(frames);
        const double attack = 0.2;
        for (long i = 0; i < frames; ++i) {
            const double t = i / kRate;
            const double x = f2.lowpass(f1.lowpass(raw[i] * 0.25, 2600, 0.7), 2600, 0.8);
            d.push(x);
            const double lfo = 2 * kPi * (double)((i + shift) % loop) / loop + c * kPi * 0.5;
            const double wet = d.read((7.0 + 1.5 * std::sin(lfo)) * kRate / 1000);
            v[i] = (float)((0.7 * x + 0.45 * wet) * attackRamp(t, attack));
        }
        const long fade = 1500;
        for (long k = 0; k < fade; ++k) {
            const double w = (double)(k + 1) / fade;
            const long at = frames - fade + k;
            v[at] = (float)((1 - w) * v[at] + w * v[loopStart - fade + k]);
        }
        (c == 0 ? s.left : s.right) = std::move(v);
    }
    finish(s, 0.9, 0, 0.002, 0, false);
    return s;
}

// The seam is placed where both channels cross zero together, so the last
// frame is near silence as well as continuous with the loop start.
Sound octavePad()
{
    const Sound first = octavePadAt(0);
    const long frames = (long)first.left.size();
    long best = frames - 1;
    double bestCost = 1e9;
    for (long k = kPadLoopStart; k < frames - 1; ++k) {
        const double cost = std::fabs(first.left[k]) + std::fabs(first.right[k]) +
                            0.5 * (std::fabs(first.left[k + 1] - first.left[k]) + std::fabs(first.right[k + 1] - first.right[k]));
        if (cost < bestCost) {
            bestCost = cost;
            best = k;
        }
    }
    return octavePadAt(((best - (frames - 1)) % kPadLoop + kPadLoop) % kPadLoop);
}

// ---------------------------------------------------------------------------
// Drawbar organ

// Drawbar footages as harmonic ratios: 16', 5 1/3', 8', 4', 2 2/3', 2', 1 3/5', 1 1/3', 1'.
const double kFootRatio[9] = {0.5, 1.5, 1, 2, 3, 4, 5, 6, 8};

struct OrganPatch
{
    int bars[9];        // 0..8 per drawbar; the two sub-octave drawbars stay 0 so the root is the lowest pitch
    double percussion;  // level of the decaying percussion harmonic
    double percRatio;   // 2 (second) or 3 (third)
    double percDecay;   // seconds
    double click;       // key click level
    double drive;       // overdrive of the preamp
    double ampDecay;    // 0 for an organ's flat sustain
    double ampFloor;    // level the decay settles at
};

Sound organ(const std::vector<int>& notes, const OrganPatch& p, double seconds, bool stereo, uint32_t seed)
{
    const size_t n = (size_t)(seconds * kRate);
    const double off = seconds - 0.08;
    Rng rng(seed);
    std::vector<float> dry(n, 0.0f);
    for (size_t k = 0; k < notes.size(); ++k) {
        const double hz = noteHz(notes[k]);
        const double noteGain = k == 0 ? 1.0 : 0.7; // the root leads the chord
        for (int b = 0; b < 9; ++b) {
            if (!p.bars[b] || hz * kFootRatio[b] > 12000)
                continue;
            const double level = std::pow(10.0, -3.0 * (8 - p.bars[b]) / 20);
            const double f = hz * kFootRatio[b], phase0 = rng.uniform();
            // Each contact closes a little apart from the others: part of the click.
            const double closeAt = rng.uniform() * 0.0015;
            for (size_t i = 0; i < n; ++i) {
                const double t = i / kRate;
                if (t < closeAt)
                    continue;
                const double on = std::fmin(1.0, (t - closeAt) / 0.0002);
                dry[i] += (float)(noteGain * level * on * std::sin(2 * kPi * (phase0 + f * t)));
            }
        }
        if (p.percussion > 0)
            for (size_t i = 0; i < n; ++i) {
                const double t = i / kRate;
                dry[i] += (float)(noteGain * p.percussion * std::exp(-t / p.percDecay) *
                                  std::sin(2 * kPi * hz * p.percRatio * t));
            }
        Svf clickFilter;
        for (size_t i = 0; i < (size_t)(0.02 * kRate) && i < n; ++i) {
            const double t = i / kRate;
            dry[i] += (float)(p.click * clickFilter.bandpass(rng.bipolar(), 3200, 0.8) * std::exp(-t / 0.003));
        }
    }
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env = p.ampDecay > 0 ? p.ampFloor + (1 - p.ampFloor) * std::exp(-t / p.ampDecay) : 1.0;
        dry[i] = (float)(std::tanh(p.drive * 0.25 * dry[i]) * env * gate(t, off, 0.025));
    }
    // Rotary-ish: a little Doppler and tremolo, the two sides in opposite phase.
    Sound s;
    for (int c = 0; c < (stereo ? 2 : 1); ++c) {
        Delay d(256);
        std::vector<float> v(n);
        for (size_t i = 0; i < n; ++i) {
            const double t = i / kRate;
            const double rot = 2 * kPi * 6.4 * t + c * kPi;
            d.push(dry[i]);
            v[i] = (float)(d.read((0.6 + 0.05 * std::sin(rot)) * kRate / 1000) * (1 + 0.08 * std::cos(rot)));
        }
        addRoom(v, 0.08, 23 * c);
        (c == 0 ? s.left : s.right) = std::move(v);
    }
    return s;
}

// Registrations: 8' + 4' + 2 2/3' is the full gospel/house sound; percussion adds the snap.
// The 8' stays the loudest drawbar so each note's fundamental leads its harmonics.
const OrganPatch kHouseOrgan{{0, 0, 8, 7, 6, 5, 0, 0, 3}, 0.6, 2, 0.18, 0.35, 2.2, 0.45, 0.5};
const OrganPatch kFullOrgan{{0, 0, 8, 6, 5, 5, 0, 3, 4}, 0.0, 3, 0.2, 0.25, 2.0, 0, 1};
const OrganPatch kPercOrgan{{0, 0, 8, 6, 4, 0, 0, 0, 0}, 0.45, 3, 0.15, 0.3, 1.8, 0, 1};
const OrganPatch kJazzOrgan{{0, 0, 8, 6, 4, 0, 0, 0, 0}, 0.3, 2, 0.2, 0.3, 1.6, 0, 1};

// ---------------------------------------------------------------------------
// FM e-piano and bells

// Tine piano: a 1:1 pair for the body and a high-ratio pair for the metallic strike.
double epNote(double hz, double t, double velocity)
{
    const double ph = 2 * kPi * hz * t;
    const double decay = 1.8 * std::pow(261.63 / hz, 0.3);
    const double index = velocity * (1.3 * std::exp(-t / 0.5) + 0.25);
    const double body = std::sin(ph + index * std::sin(ph));
    const double tineRatio = hz * 15 < 18000 ? 14 : 6;
    const double tine = 0.3 * velocity * std::exp(-t / 0.04) * std::sin(ph + std::sin(tineRatio * ph));
    return (body + tine) * std::exp(-t / decay) * attackRamp(t, 0.001);
}

Sound ePiano(const std::vector<int>& notes, double seconds, bool stereo)
{
    const size_t n = (size_t)(seconds * kRate);
    const double off = seconds - 0.1;
    std::vector<float> dry(n);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        double x = 0;
        for (size_t k = 0; k < notes.size(); ++k)
            x += (k == 0 ? 1.0 : 0.7) * epNote(noteHz(notes[k]), t, k == 0 ? 1.0 : 0.85);
        dry[i] = (float)(std::tanh(0.8 * x) * gate(t, off, 0.03));
    }
    Sound s;
    if (!stereo) {
        s.left = dry;
        addRoom(s.left, 0.08);
        return s;
    }
    // Stereo tremolo: the classic auto-pan of a suitcase piano.
    s.left.resize(n);
    s.right.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double pan = 0.22 * std::sin(2 * kPi * 4.2 * i / kRate);
        s.left[i] = (float)(dry[i] * (1 + pan));
        s.right[i] = (float)(dry[i] * (1 - pan));
    }
    addRoom(s.left, 0.1, 0);
    addRoom(s.right, 0.1, 23);
    return s;
}

// FM bell: an inharmonic 1:3.5 pair over a long sine fundamental, which rings longest.
Sound bell(int root, double seconds)
{
    const double hz = noteHz(root);
    const size_t n = (size_t)(seconds * kRate);
    std::vector<float> v(n);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate, ph = 2 * kPi * hz * t;
        const double fm = std::exp(-t / 0.5) * std::sin(ph + 1.8 * std::exp(-t / 0.3) * std::sin(3.5 * ph));
        const double x = std::exp(-t / 1.4) * std::sin(ph) + 0.5 * fm + 0.2 * std::exp(-t / 0.25) * std::sin(2.76 * ph);
        v[i] = (float)(x * attackRamp(t, 0.001));
    }
    addRoom(v, 0.12);
    return monoOf(v);
}

// ---------------------------------------------------------------------------
// Voices

using voice::Shout;

struct VoiceBuiltin
{
    int id;
    const char* name;
    Shout shout;
};

// text, espeak voice, speed, pitch, shift, bend, drive, room, doubling
const VoiceBuiltin kVoiceBuiltins[] = {
    {55, "Yeah!", {"yeah!", "en-us+m3", 203, 55, 1.0, 1.5, 2.5, 0.12, 0.5}},
    {56, "Wooh", {"woo!", "en-us+m7", 369, 70, 1.05, 3.0, 2.0, 0.12, 0.5}},
    {57, "Go!", {"go!", "en-us+m1", 110, 45, 0.95, 1.0, 2.5, 0.22, 0.5}},
    {58, "Hey!", {"hey!", "en-us+m3", 160, 60, 1.0, 2.0, 3.0, 0.15, 0.5}},
    {59, "Uh!", {"uh!", "en-us+m2", 450, 40, 0.95, 0.0, 3.0, 0.1, 0.4}},
    {60, "Jump", {"jump!", "en-us+m3", 285, 55, 1.0, 1.5, 2.5, 0.12, 0.5}},
    {61, "Check it", {"check it!", "en-us+m1", 204, 50, 0.97, 1.0, 2.5, 0.12, 0.45}},
    {62, "Everybody", {"everybody!", "en-us+m3", 170, 55, 1.0, 1.5, 2.2, 0.15, 0.5}},
    {63, "Come on", {"come on!", "en-us+m7", 268, 50, 0.98, 2.0, 2.5, 0.13, 0.5}},
    {64, "Ho!", {"ho!", "en-us+m3", 266, 50, 0.96, 1.0, 3.0, 0.15, 0.5}},
    {65, "Party", {"party!", "en-us+f2", 170, 60, 0.97, 2.0, 2.2, 0.14, 0.5}},
};

struct VoiceFile
{
    const char* file;
    Shout shout;
    WavLayout layout;
    bool stereo;
};

const VoiceFile kVoiceFiles[17] = {
    {"Yeah Boy", {"yeah boy!", "en-us+m3", 165, 50, 0.97, 1.5, 2.5, 0.12, 0.5}, WavLayout::pcm16WithList, false},
    {"Oh Yeah", {"oh yeah!", "en-us+m1", 150, 45, 0.95, 1.5, 2.2, 0.15, 0.5}, WavLayout::pcm16, false},
    {"Lets Go", {"lets go!", "en-us+m3", 170, 60, 1.0, 2.0, 2.5, 0.15, 0.55}, WavLayout::pcm16, true},
    {"Hands Up", {"hands up!", "en-us+m7", 165, 55, 1.0, 1.5, 2.5, 0.13, 0.5}, WavLayout::pcm16, false},
    {"Get Down", {"get down!", "en-us+m2", 150, 40, 0.93, 1.0, 3.0, 0.12, 0.45}, WavLayout::pcm8, false},
    {"Alright", {"all right!", "en-us+m3", 150, 50, 0.97, 2.0, 2.2, 0.14, 0.5}, WavLayout::pcm16, false},
    {"Turn It Up", {"turn it up!", "en-us+m1", 170, 55, 1.0, 1.5, 2.5, 0.12, 0.5}, WavLayout::pcm16, false},
    {"Say What", {"say what?", "en-us+f2", 160, 60, 1.0, 2.5, 2.2, 0.13, 0.45}, WavLayout::pcm16, false},
    {"Work It", {"work it!", "en-us+m3", 160, 45, 0.95, 1.0, 2.8, 0.12, 0.5}, WavLayout::pcm16, false},
    {"Jump Jump", {"jump! jump!", "en-us+m7", 190, 55, 1.0, 1.0, 2.5, 0.12, 0.5}, WavLayout::pcm16, false},
    {"Feel It", {"feel it!", "en-us+f4", 150, 55, 1.0, 1.5, 2.0, 0.14, 0.45}, WavLayout::pcm8, false},
    {"Here We Go", {"here we go!", "en-us+m3", 165, 55, 1.0, 2.0, 2.5, 0.16, 0.55}, WavLayout::pcm16, true},
    {"Louder", {"louder!", "en-us+m1", 160, 50, 0.97, 2.0, 2.8, 0.13, 0.5}, WavLayout::pcm16, false},
    {"Yo", {"yo!", "en-us+m3", 160, 45, 0.95, 1.5, 2.5, 0.15, 0.5}, WavLayout::pcm16, false},
    {"Dance", {"dance!", "en-us+f2", 160, 60, 1.0, 2.0, 2.2, 0.15, 0.5}, WavLayout::pcm16, false},
    {"Drop The Bass", {"drop the bass!", "en-us+m2", 160, 40, 0.92, 1.0, 2.8, 0.15, 0.5}, WavLayout::pcm16, false},
    {"Make Some Noise", {"make some noise!", "en-us+m7", 170, 55, 1.0, 2.0, 2.5, 0.14, 0.5}, WavLayout::pcm16, true},
};

// All the speech in one parallel batch, before the first shout is shaped.
void speakAllShouts()
{
    static bool done = false;
    if (done)
        return;
    std::vector<voice::Request> all;
    for (const VoiceBuiltin& v : kVoiceBuiltins)
        all.push_back({v.shout.text, v.shout.voice, v.shout.speed, v.shout.pitch});
    for (const VoiceFile& v : kVoiceFiles)
        all.push_back({v.shout.text, v.shout.voice, v.shout.speed, v.shout.pitch});
    voice::speakAll(all);
    done = true;
}

Sound shoutBuiltin(const Shout& shout, int length)
{
    speakAllShouts();
    Sound s = voice::render(shout, length, false);
    lift(s, 0.27);
    finish(s, 0.9, 0, 0.001, 0.015, true);
    return s;
}

Sound shoutFile(const Shout& shout, bool stereo)
{
    speakAllShouts();
    Sound s = voice::render(shout, 0, stereo);
    lift(s, 0.27);
    finish(s, 0.9, 0, 0.001, 0.02, false);
    return s;
}

// ---------------------------------------------------------------------------
// The synth table: id, display name, recipe.

struct SynthBuiltin
{
    int id;
    const char* name;
    Sound (*make)(int length, int root);
};

// The roots of ids 39..52, as the id table has them.
const int kSynthRoots[14] = {63, 64, 58, 57, 55, 64, 64, 64, 60, 60, 60, 60, 60, 54};

const SynthBuiltin kSynths[] = {
    {39, "Hyper Lead", [](int n, int root) { return hyperLead(n, root, 4000); }},
    {40, "Saw Pluck", [](int n, int root) { return builtin(loudPluck(sawPluck(n, root, 0.18, 40))); }},
    {41, "Acid Line", [](int n, int root) { return builtin(acidBass(n, root, 20, 0.045, 3.3)); }},
    {42, "Velvet Pad", velvetPad},
    {43, "Rubber Bass", rubberBass},
    {44, "Arp Blip", arpBlip},
    {45, "Glass Arp", glassArp},
    {46, "Minor Pluck", chordPluck},
    {47, "Sub Bass", [](int n, int root) { return builtin(subBass(n, root)); }},
    {48, "FM Bass", fmBass},
    {49, "Wide Pad", widePad},
    {50, "Poly Brass", polyBrass},
    {51, "Pulse Lead", pulseLead},
    {52, "Reese Bass", [](int n, int root) { return builtin(monoOf(reeseChannel(n, root, 52)), 0.015); }},
};

int frames(double seconds) { return (int)(seconds * kRate); }

} // namespace

std::vector<BuiltinRecipe> synthAndVoiceBuiltins()
{
    std::vector<BuiltinRecipe> r;
    for (const SynthBuiltin& s : kSynths) {
        const int root = kSynthRoots[s.id - 39];
        auto make = s.make;
        r.push_back({s.id, s.name, [make, root](int length) { return make(length, root); }, true});
    }
    r.push_back({53, "M1 Organ", nullptr, true});
    r.push_back({54, "Octave Pad", nullptr, true});
    for (const VoiceBuiltin& v : kVoiceBuiltins) {
        const Shout shout = v.shout;
        r.push_back({v.id, v.name, [shout](int length) { return shoutBuiltin(shout, length); }, false});
    }
    return r;
}

std::vector<ResourceRecipe> synthAndVoiceResources()
{
    using L = WavLayout;
    std::vector<ResourceRecipe> r = {
        {"instrus", 1, "Deep Stab", 60, L::pcm16, nullptr},
        {"instrus", 2, "Organ Major", 60, L::pcm16, [] { return resource(organ({60, 64, 67}, kFullOrgan, 1.8, true, 2)); }},
        {"instrus", 3, "Organ Minor", 60, L::pcm16, [] { return resource(organ({60, 63, 67}, kPercOrgan, 1.8, true, 3)); }},
        {"instrus", 4, "Bell F5", 77, L::pcm16, [] { return resource(bell(77, 2.2), 0.02); }},
        {"instrus", 5, "Organ Seventh", 60, L::pcm16, [] { return resource(organ({60, 64, 67, 70}, kJazzOrgan, 1.8, true, 5)); }},
        {"instrus", 6, "FM Piano", 60, L::pcm16WithList, [] { return resource(ePiano({60}, 2.0, false), 0.02); }},
        {"instrus", 7, "Acid Bass D4", 62, L::pcm16, [] { return resource(acidBass(frames(0.5), 62, 24, 0.05, 3.4)); }},
        {"instrus", 8, "Reese Bass C4", 60, L::pcm16, [] {
             Sound s;
             s.left = reeseChannel(frames(1.6), 60, 81);
             s.right = reeseChannel(frames(1.6), 60, 82);
             return resource(s, 0.015);
         }},
        {"instrus", 9, "Trance Pluck", 66, L::pcm16, [] { return resource(loudPluck(tranceRiffPluck(frames(0.8), 66))); }},
        {"instrus", 10, "FM Piano Chord", 60, L::pcm16, [] { return resource(ePiano({60, 64, 67, 71, 74}, 2.4, true), 0.02); }},
        {"instrus", 11, "Saw Lead D4", 62, L::pcm16, [] { return resource(sawLead(frames(1.4), 62), 0.015); }},
        {"instrus", 12, "Glass Bell D5", 74, L::pcm16, [] { return resource(bell(74, 1.8), 0.02); }},
        {"instrus", 13, "Sub Bass C4", 60, L::pcm16, [] { return resource(subBass(frames(1.0), 60)); }},
        {"instrus", 14, "Organ Minor 7", 60, L::pcm16, [] { return resource(organ({60, 63, 67, 70}, kFullOrgan, 1.8, true, 14)); }},
        {"instrus", 0, "m1organ", 60, L::pcm16, [] { return resource(organ({60}, kHouseOrgan, 1.6, true, 53)); }},
        {"synths/jx1", 0, "JX1 C4+C5", 60, L::pcm16, octavePad},
    };
    for (int i = 0; i < 17; ++i) {
        const VoiceFile& v = kVoiceFiles[i];
        ResourceRecipe e{"voices", i + 1, v.file, 60, v.layout, [&v] { return shoutFile(v.shout, v.stereo); }};
        e.tonal = false;
        r.push_back(e);
    }
    return r;
}

} // namespace soundgen
