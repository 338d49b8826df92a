#include "engine/Voice.h"

#include "engine/Instrument.h"
#include "engine/PitchTables.h"
#include "engine/Rack.h"
#include "engine/Sample.h"
#include "engine/VoiceOwner.h"

#include <cmath>
#include <cstdio>
#include <cstring>

Voice::Voice(int id, VoiceOwner* owner) : id(id), owner(owner) { adjustBufferSize(); }

Voice::~Voice()
{
    delete[] buffers[0];
    delete[] buffers[1];
}

void Voice::adjustBufferSize()
{
    playing = false;
    int size = owner->getRenderBlockSize();
    if (size < 1)
        size = 1;
    float* left = new float[size]();
    float* right = new float[size]();
    delete[] buffers[0];
    delete[] buffers[1];
    buffers[0] = left;
    buffers[1] = right;
    bufferSize = size;
}

// Calls fn(instrument) for every instrument of the rendered racks.
template <typename Fn>
static void forEachInstrument(VoiceOwner* owner, Fn fn)
{
    const int racks = owner->getRackCount();
    for (int r = 0; r < racks; ++r) {
        Rack* rack = owner->playedRack(r);
        if (!rack)
            continue;
        const int count = rack->getCount();
        for (int j = 0; j < count; ++j)
            if (Instrument* instrument = rack->getInstrumentAt(j))
                fn(*instrument, j);
    }
}

void Voice::play(int newNote, int newVelocity, int deltaFrames, int slot)
{
    startOffset = deltaFrames < 0 ? 0 : deltaFrames;
    note = newNote;
    velocity = newVelocity;

    double ratio = 1.0;
    for (int n = 60; n < note; ++n)
        ratio *= kSemitone;
    for (int n = 60; n > note; --n)
        ratio /= kSemitone;
    noteRatio = ratio;

    forEachInstrument(owner, [&](Instrument& instrument, int) {
        Sample* s = instrument.getSample(0, note, velocity);
        int start = s->getStartPlay();
        if (start == 0 && instrument.isReverse() && s->getLoopStyle() == Sample::noLoop)
            start = s->getFrames() - 1;
        instrument.position[id] = start;
        instrument.grainPosition[id] = start;
        instrument.grainCounter[id] = 0;
        instrument.volumeEnvelope[id].gate();
        instrument.pitchEnvelope[id].gate();
    });

    velocityLevel = velocityToLevel(velocity);
    channel = slot == 16 ? -1 : slot;
    playing = true;
}

void Voice::doRelease(int, int, int, int)
{
    forEachInstrument(owner, [&](Instrument& instrument, int) {
        instrument.volumeEnvelope[id].doRelease();
        instrument.pitchEnvelope[id].doRelease();
    });
    released = true;
}

void Voice::stop(int stopNote, int stopVelocity, int, int)
{
    forEachInstrument(owner, [&](Instrument& instrument, int) {
        Sample* s = instrument.getSample(0, stopNote, stopVelocity);
        instrument.position[id] = s->getStartPlay();
        instrument.pitchEnvelope[id].reset();
    });
    playing = false;
    released = false;
}

float Voice::velocityToLevel(int v) const
{
    // The curve has no real value below velocity 1; the on-screen keyboard can
    // send 0, which plays silently.
    if (v < 1)
        return 0.0f;
    if (v > 127)
        v = 127;
    float sensitivity = owner->getVelocitySensitivity();
    if (!(sensitivity >= 0.0f))
        sensitivity = 0.0f;
    if (sensitivity > 1.0f)
        sensitivity = 1.0f;
    const float b = 1.0f - 0.95f * sensitivity;
    return b * std::exp(std::log(1.0f / b) * std::pow((float)(v - 1) / 126.0f, 0.8f));
}

void Voice::setPitchBend(int lsb, int msb)
{
    const int semitones = tableIndex(owner->getPitchBendRange(), 24);
    const float amount = (float)(lsb + 128 * msb - 8192) / 8192.0f;
    bendRatio = std::pow(2.0f, (float)semitones * amount / 12.0f);
}

void Voice::endInstrument(Instrument& instrument, double position)
{
    instrument.volumeEnvelope[id].reset();
    instrument.pitchEnvelope[id].reset();
    instrument.position[id] = position;
}

namespace {

// Everything about one instrument that stays constant over a block.
struct BlockConstants
{
    const float* left;
    const float* right;
    int frames;
    // Loop points and the last frame as doubles: compared with the position
    // every frame, and exact either way.
    double loopStart;
    double loopEnd;
    double framesD;
    double lastFrame;
    double insideStart; // the loop start, at least 0
    double insideEnd;   // the loop end, at most the frame count
    int mode; // one of PlayMode
    int loopStyle;
    bool reverse;
    bool interpolate;
    bool grain;
    int grainSize;
    int grainAdvance;
    int dir;
    float leftGain;
    float rightGain;
    double step;      // position advance before the pitch envelope and master tune
    double grainStep; // grain counter advance, the same without direction
    double depth;
    double tune;
};

enum PlayMode { kLoopForward, kLoopReverse, kOneShotForward, kOneShotReverse };

// Applies the loop to a play position; false when a one-shot sample has ended.
template <int Mode>
inline bool wrapAs(double& pos, const BlockConstants& c)
{
    if (Mode == kLoopReverse) {
        if (c.loopStart >= pos) {
            pos = pos - c.loopStart + c.loopEnd;
            if (c.loopStart >= pos)
                pos = c.loopEnd;
        }
        if (pos >= c.framesD)
            pos = c.loopEnd;
    } else if (Mode == kLoopForward) {
        if (pos >= c.loopEnd) {
            pos = pos - c.loopEnd + c.loopStart;
            if (pos >= c.loopEnd)
                pos = c.loopStart;
        }
        if (pos < 0)
            pos = c.loopStart;
    } else if (Mode == kOneShotReverse) {
        return pos > 0;
    } else {
        return !(pos >= c.lastFrame);
    }
    return true;
}

// True where the wrap changes nothing and the frame index is inside the
// sample: the common case, tested with plain branches so that the wrap stays
// off the position's chain of additions.
template <int Mode>
inline bool insideAs(double pos, const BlockConstants& c)
{
    if (Mode == kLoopForward)
        return pos >= 0 && pos < c.insideEnd;
    if (Mode == kLoopReverse)
        return pos > c.insideStart && pos < c.framesD;
    if (Mode == kOneShotForward)
        return pos >= 0 && pos < c.lastFrame;
    return pos > 0 && pos < c.framesD;
}

inline bool wrapPosition(double& pos, const BlockConstants& c)
{
    switch (c.mode) {
    case kLoopForward: return wrapAs<kLoopForward>(pos, c);
    case kLoopReverse: return wrapAs<kLoopReverse>(pos, c);
    case kOneShotForward: return wrapAs<kOneShotForward>(pos, c);
    default: return wrapAs<kOneShotReverse>(pos, c);
    }
}

// Moves the grain position on once a grain has been played.
inline double nextGrainPosition(double g, const BlockConstants& c)
{
    const int hop = c.grain ? c.grainAdvance : c.grainSize;
    g = g + hop * c.dir;
    if (c.loopStyle == Sample::loop) {
        if (c.reverse) {
            if (c.loopStart >= g)
                g = c.loopEnd;
        } else if (g >= c.loopEnd) {
            g = c.loopStart;
        }
        if (g < 0 || g >= c.framesD)
            g = 0;
    } else {
        if (g >= c.lastFrame)
            g = c.lastFrame;
        if (g < 0)
            g = 0;
    }
    return g;
}

} // namespace

void Voice::process(float** outputs, int frames)
{
    if (!playing)
        return;
    if (frames > bufferSize)
        frames = bufferSize;
    std::memset(buffers[0], 0, sizeof(float) * frames);
    std::memset(buffers[1], 0, sizeof(float) * frames);

    const float gain = owner->getMasterVolume();
    const double tune = paramToPitch(owner->getMasterTune());
    const float hostRate = owner->getSampleRate();
    const int grainSize = owner->getGrainSize();

    double sum = 0;
    int count = 0;
    bool allIdle = true;

    forEachInstrument(owner, [&](Instrument& instrument, int j) {
        if (instrument.getId() != j)
            std::printf("Volantor2 LOG > Voice::process SERIOUS ERROR i=%d instruID=%d\n", j, instrument.getId());
        ADSR& volumeEnvelope = instrument.volumeEnvelope[id];
        if (volumeEnvelope.getState() != ADSR::idle)
            allIdle = false;
        volumeEnvelope.process();
        instrument.grainAdvanceWhole = (int)instrument.getGrainAdvance();
        instrument.setGrainSize(grainSize);
        Sample* s = instrument.getSample(0, note, velocity);
        rateRatio = (float)s->getSamplerate() / hostRate;
        sum = sum + instrument.getVolume();
        count = count + 1;
        if (startOffset < frames)
            renderInstrument(instrument, *s, tune, frames);
    });

    levelEstimate = velocityLevel * (sum / count);

    float* out0 = outputs[0];
    float* out1 = outputs[1];
    for (int k = startOffset; k < frames; ++k) {
        out0[k] += buffers[0][k] * gain;
        out1[k] += buffers[1][k] * gain;
    }

    if (allIdle && released)
        stop(note, velocity, 0, 0);
    startOffset = 0;
}

// Frame loop while neither envelope can move and no grain fades apply: the
// amplitude and the position advance are block constants, hoisted with the
// same operations in the same order as the general loop, so every output
// value is identical. Returns the frame at which the sound ended, or `frames`.
// Adds a run of one instrument's output to the voice's and the instrument's
// buffers; each element still receives exactly one addition, so the sums are
// those of adding frame by frame, and the loop vectorises.
static void accumulate(const float* __restrict left, const float* __restrict right, int n,
                       float* __restrict voiceLeft, float* __restrict voiceRight, float* __restrict mixLeft,
                       float* __restrict mixRight)
{
    for (int t = 0; t < n; ++t) {
        voiceLeft[t] += left[t];
        mixLeft[t] += left[t];
        voiceRight[t] += right[t];
        mixRight[t] += right[t];
    }
}

// What the steady loop multiplies with: the pieces of the amplitude, and
// their products for when no grain fade changes them.
struct SteadyGain
{
    double velocityLevel;
    double volume;
    double envelope;
    double leftGain;
    double rightGain;
    double left;  // velocity level x grain gain 1.0 x volume x envelope x left gain
    double right;
};

// Frame loop while neither envelope can move: the amplitude and the position
// advance are block constants, hoisted with the same operations in the same
// order as the general loop, so every output value is identical. Returns the
// frame at which the sound ended, or `frames`.
template <int Mode, bool Interpolate, bool SameSides, bool Grain>
static int renderSteady(const BlockConstants& constants, const SteadyGain& gain, int begin, int frames,
                        double& position, double& counter, double& grainPositionRef, double advance,
                        double grainAdvance, float* voiceLeft, float* voiceRight, float* mixLeft,
                        float* mixRight)
{
    // Locals, so that nothing is reloaded from memory after each store.
    const BlockConstants c = constants;
    const SteadyGain g = gain;
    const double grainSize = c.grainSize;
    const float* left = c.left;
    const float* right = c.right;
    double pos = position;
    double grainCounter = counter;
    double grainPosition = grainPositionRef;
    double grainGain = 1.0;

    constexpr int kRun = 128;
    float runLeft[kRun], runRight[kRun];
    int k = begin;
    bool ended = false;
    while (k < frames && !ended) {
        const int n = frames - k < kRun ? frames - k : kRun;
        int t = 0;
        for (; t < n; ++t) {
            if (__builtin_expect(!insideAs<Mode>(pos, c), 0)) {
                if (!wrapAs<Mode>(pos, c)) {
                    ended = true;
                    break;
                }
                const int index = (int)pos;
                if (index >= c.frames || index < 0) {
                    ended = true;
                    break;
                }
            }
            const int i = (int)pos;
            double sampleLeft = left[i];
            double sampleRight = right[i];
            if (Interpolate) {
                const double frac = pos - i;
                sampleLeft = sampleLeft + (float)(left[i + 1] - left[i]) * frac;
                sampleRight = sampleRight + (float)(right[i + 1] - right[i]) * frac;
            }
            double amplitudeLeft = g.left, amplitudeRight = g.right;
            if (Grain) {
                if (grainCounter <= 50)
                    grainGain = grainCounter / 50;
                if (grainCounter >= grainSize - 50)
                    grainGain = std::fabs(grainCounter - grainSize) / 50;
                const double amplitude = g.velocityLevel * grainGain * g.volume * g.envelope;
                amplitudeLeft = amplitude * g.leftGain;
                amplitudeRight = amplitude * g.rightGain;
            }
            runLeft[t] = (float)(amplitudeLeft * sampleLeft);
            if (!SameSides)
                runRight[t] = (float)(amplitudeRight * sampleRight);

            pos = pos + advance;
            grainCounter += grainAdvance;
            if (grainCounter >= grainSize) {
                grainPosition = nextGrainPosition(grainPosition, c);
                if (Grain)
                    pos = grainPosition;
                grainCounter = 0;
            }
        }
        accumulate(runLeft, SameSides ? runLeft : runRight, t, voiceLeft + k, voiceRight + k, mixLeft + k,
                   mixRight + k);
        k += t;
    }
    position = pos;
    counter = grainCounter;
    grainPositionRef = grainPosition;
    return k;
}

using SteadyLoop = int (*)(const BlockConstants&, const SteadyGain&, int, int, double&, double&, double&, double,
                          double, float*, float*, float*, float*);

// The steady loop for each play mode and switch combination.
template <int Mode>
static SteadyLoop steadyLoopFor(bool interpolate, bool sameSides, bool grain)
{
    static constexpr SteadyLoop loops[2][2][2] = {
        {{renderSteady<Mode, false, false, false>, renderSteady<Mode, false, false, true>},
         {renderSteady<Mode, false, true, false>, renderSteady<Mode, false, true, true>}},
        {{renderSteady<Mode, true, false, false>, renderSteady<Mode, true, false, true>},
         {renderSteady<Mode, true, true, false>, renderSteady<Mode, true, true, true>}},
    };
    return loops[interpolate][sameSides][grain];
}

static SteadyLoop steadyLoopFor(const BlockConstants& c, bool sameSides)
{
    switch (c.mode) {
    case kLoopForward: return steadyLoopFor<kLoopForward>(c.interpolate, sameSides, c.grain);
    case kLoopReverse: return steadyLoopFor<kLoopReverse>(c.interpolate, sameSides, c.grain);
    case kOneShotForward: return steadyLoopFor<kOneShotForward>(c.interpolate, sameSides, c.grain);
    default: return steadyLoopFor<kOneShotReverse>(c.interpolate, sameSides, c.grain);
    }
}

void Voice::renderInstrument(Instrument& instrument, Sample& s, double tune, int frames)
{
    // An instrument made for a smaller block than this one has nowhere to mix into.
    if (instrument.getMixBufferSize() < frames)
        return;
    BlockConstants c;
    c.left = s.getBuffer(0);
    c.right = s.getChannelCount() >= 2 ? s.getBuffer(1) : c.left;
    c.frames = s.getFrames();
    c.framesD = c.frames;
    c.lastFrame = c.frames - 1;
    c.loopStart = s.getLoopStart();
    c.loopEnd = s.getLoopEnd();
    c.loopStyle = s.getLoopStyle();
    c.reverse = instrument.isReverse();
    c.insideStart = c.loopStart > 0 ? c.loopStart : 0;
    c.insideEnd = c.loopEnd < c.framesD ? c.loopEnd : c.framesD;
    c.mode = c.loopStyle == Sample::loop ? (c.reverse ? kLoopReverse : kLoopForward)
                                         : (c.reverse ? kOneShotReverse : kOneShotForward);
    c.interpolate = instrument.isInterpolate();
    c.grain = instrument.isGrain();
    c.grainSize = instrument.getGrainSize();
    c.grainAdvance = instrument.grainAdvanceWhole;
    c.dir = c.reverse ? -1 : 1;
    const float pan = instrument.getPan();
    c.rightGain = pan > 0.5f ? 1.0f : 2.0f * pan;
    c.leftGain = (1.0f - pan) > 0.5f ? 1.0f : 2.0f * (1.0f - pan);
    const double ratio = instrument.getTuningRatio() * instrument.getSampleRatio();
    c.step = noteRatio * c.dir * ratio * bendRatio * rateRatio;
    c.grainStep = noteRatio * ratio * bendRatio * rateRatio;
    c.depth = instrument.getPitchDepth();
    c.tune = tune;

    ADSR& volumeEnvelope = instrument.volumeEnvelope[id];
    ADSR& pitchEnvelope = instrument.pitchEnvelope[id];
    double pos = instrument.position[id];
    double grainCounter = instrument.grainCounter[id];
    double grainPosition = instrument.grainPosition[id];
    double grainGain = 1.0;

    const int filter = instrument.getMidiChannel();
    const bool admitted = filter == -1 || channel == -1 || filter == channel;
    float* voiceLeft = buffers[0];
    float* voiceRight = buffers[1];
    float* mixLeft = instrument.getMixBuffer(0);
    float* mixRight = instrument.getMixBuffer(1);
    const double interpolation = c.interpolate ? 1.0 : 0.0;

    // Interpolation reads frame i + 1, the guard value at most, so frame
    // indices 0..frames - 1 are the readable ones.
    auto outOfBounds = [&](int i) {
        std::printf("Volantor2 LOG > Voice::process ERROR out of bound : PREPARE TO CRASH instruid=%d "
                    "voiceid=%d index=%d nbsamples=%d\n",
                    instrument.getId(), id, i, c.frames);
    };
    // The playback state is written back once, when the block or the sound ends.
    auto finish = [&](bool ended) {
        instrument.grainCounter[id] = grainCounter;
        instrument.grainPosition[id] = grainPosition;
        if (ended)
            endInstrument(instrument, c.reverse ? 0 : c.frames - 1);
        else
            instrument.position[id] = pos;
    };
    if (!c.left || !c.right || c.frames < 1) {
        outOfBounds(0);
        finish(true);
        return;
    }

    if (admitted && volumeEnvelope.isSteady() && pitchEnvelope.isSteady()) {
        SteadyGain gain;
        gain.velocityLevel = velocityLevel;
        gain.volume = instrument.getVolume();
        gain.envelope = volumeEnvelope.getOutput();
        gain.leftGain = c.leftGain;
        gain.rightGain = c.rightGain;
        const double amplitude = gain.velocityLevel * grainGain * gain.volume * gain.envelope;
        gain.left = amplitude * gain.leftGain;
        gain.right = amplitude * gain.rightGain;
        const double pitch = pitchEnvelope.getOutput() * c.depth + 1;
        const double advance = c.step * pitch * c.tune;
        const double grainAdvance = c.grainStep * pitch * c.tune;
        const bool sameSides = c.left == c.right && c.leftGain == c.rightGain;
        const int end = steadyLoopFor(c, sameSides)(c, gain, startOffset, frames, pos, grainCounter, grainPosition, advance, grainAdvance,
                             voiceLeft, voiceRight, mixLeft, mixRight);
        if (end < frames) {
            // Either the one-shot sound ended or the position left the sample.
            const int i = (int)pos;
            if (wrapPosition(pos, c))
                outOfBounds(i);
            finish(true);
            return;
        }
        finish(false);
        return;
    }

    for (int k = startOffset; k < frames; ++k) {
        if (!wrapPosition(pos, c)) {
            finish(true);
            return;
        }

        const float e = volumeEnvelope.process();
        if (!admitted)
            continue;

        const int i = (int)pos;
        if (i + 1 >= c.frames + 1 || i < 0) {
            // Nothing outside the channel buffers is ever read: the sound ends here.
            outOfBounds(i);
            finish(true);
            return;
        }

        const float dL = c.left[i + 1] - c.left[i];
        const float dR = c.right[i + 1] - c.right[i];

        if (c.grain) {
            if (grainCounter <= 50)
                grainGain = grainCounter / 50;
            if (grainCounter >= c.grainSize - 50)
                grainGain = std::fabs(grainCounter - c.grainSize) / 50;
        }

        const double frac = pos - i;
        const double amplitude = (double)velocityLevel * grainGain * instrument.getVolume() * e;
        const float left = (float)(amplitude * c.leftGain * (c.left[i] + dL * frac * interpolation));
        const float right = (float)(amplitude * c.rightGain * (c.right[i] + dR * frac * interpolation));
        voiceLeft[k] += left;
        mixLeft[k] += left;
        voiceRight[k] += right;
        mixRight[k] += right;

        const float p = pitchEnvelope.process();
        pos = pos + c.step * (p * c.depth + 1) * c.tune;
        const float p2 = pitchEnvelope.process();
        grainCounter += c.grainStep * (p2 * c.depth + 1) * c.tune;

        if (grainCounter >= c.grainSize) {
            grainPosition = nextGrainPosition(grainPosition, c);
            if (c.grain)
                pos = grainPosition;
            grainCounter = 0;
        }
    }
    finish(false);
}
