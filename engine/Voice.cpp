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
        Rack* rack = owner->getRack(r);
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
    int loopStart;
    int loopEnd;
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
    double velocityVolume; // velocity level, then grain gain 1.0, then volume
};

// Applies the loop to a play position; false when a one-shot sample has ended.
inline bool wrapPosition(double& pos, const BlockConstants& c)
{
    if (c.loopStyle == Sample::loop) {
        if (c.reverse) {
            if (c.loopStart >= pos) {
                pos = pos - c.loopStart + c.loopEnd;
                if (c.loopStart >= pos)
                    pos = c.loopEnd;
            }
            if (pos >= c.frames)
                pos = c.loopEnd;
        } else {
            if (pos >= c.loopEnd) {
                pos = pos - c.loopEnd + c.loopStart;
                if (pos >= c.loopEnd)
                    pos = c.loopStart;
            }
            if (pos < 0)
                pos = c.loopStart;
        }
    } else if (c.reverse) {
        if (pos <= 0)
            return false;
    } else if (pos >= c.frames - 1) {
        return false;
    }
    return true;
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
        if (g < 0 || g >= c.frames)
            g = 0;
    } else {
        if (g >= c.frames - 1)
            g = c.frames - 1;
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

void Voice::renderInstrument(Instrument& instrument, Sample& s, double tune, int frames)
{
    // An instrument made for a smaller block than this one has nowhere to mix into.
    if (instrument.getMixBufferSize() < frames)
        return;
    BlockConstants c;
    c.left = s.getBuffer(0);
    c.right = s.getChannelCount() >= 2 ? s.getBuffer(1) : c.left;
    c.frames = s.getFrames();
    c.loopStart = s.getLoopStart();
    c.loopEnd = s.getLoopEnd();
    c.loopStyle = s.getLoopStyle();
    c.reverse = instrument.isReverse();
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
    c.velocityVolume = (double)velocityLevel * 1.0 * instrument.getVolume();

    ADSR& volumeEnvelope = instrument.volumeEnvelope[id];
    ADSR& pitchEnvelope = instrument.pitchEnvelope[id];
    double pos = instrument.position[id];
    double grainCounter = instrument.grainCounter[id];
    double grainPosition = instrument.grainPosition[id];
    double grainGain = 1.0;

    const int filter = instrument.getMidiChannel();
    const bool admitted = filter == -1 || channel == -1 || filter == channel;
    // Interpolation reads frame i + 1, the guard value at most, so frame
    // indices 0..frames - 1 are the readable ones.
    const bool readable = c.left && c.right && c.frames > 0;
    float* voiceLeft = buffers[0];
    float* voiceRight = buffers[1];
    float* mixLeft = instrument.getMixBuffer(0);
    float* mixRight = instrument.getMixBuffer(1);
    const double interpolation = c.interpolate ? 1.0 : 0.0;

    // While neither envelope can move, everything but the position is constant
    // over the block; this is the same arithmetic with the invariants hoisted.
    const bool steady = admitted && volumeEnvelope.isSteady() && pitchEnvelope.isSteady();
    const float steadyEnvelope = volumeEnvelope.getOutput();
    const double steadyPitch = (double)pitchEnvelope.getOutput() * c.depth + 1;
    const double steadyAdvance = c.step * steadyPitch * c.tune;
    const double steadyGrainAdvance = c.grainStep * steadyPitch * c.tune;
    const double steadyAmplitude = c.velocityVolume * steadyEnvelope;
    const double steadyLeft = steadyAmplitude * c.leftGain;
    const double steadyRight = steadyAmplitude * c.rightGain;

    // The playback state is written back once, when the block or the sound ends.
    auto storeGrain = [&] {
        instrument.grainCounter[id] = grainCounter;
        instrument.grainPosition[id] = grainPosition;
    };

    for (int k = startOffset; k < frames; ++k) {
        if (!wrapPosition(pos, c)) {
            storeGrain();
            endInstrument(instrument, c.reverse ? 0 : c.frames - 1);
            return;
        }

        const float e = steady ? steadyEnvelope : volumeEnvelope.process();
        if (!admitted)
            continue;

        const int i = (int)pos;
        if (i + 1 >= c.frames + 1 || i < 0 || !readable) {
            std::printf("Volantor2 LOG > Voice::process ERROR out of bound : PREPARE TO CRASH instruid=%d "
                        "voiceid=%d index=%d nbsamples=%d\n",
                        instrument.getId(), id, i, c.frames);
            // Nothing outside the channel buffers is ever read: the sound ends here.
            storeGrain();
            endInstrument(instrument, c.reverse ? 0 : (c.frames > 0 ? c.frames - 1 : 0));
            return;
        }

        const float l0 = c.left[i];
        const float r0 = c.right[i];
        const float dL = c.left[i + 1] - l0;
        const float dR = c.right[i + 1] - r0;

        if (c.grain) {
            if (grainCounter <= 50)
                grainGain = grainCounter / 50;
            if (grainCounter >= c.grainSize - 50)
                grainGain = std::fabs(grainCounter - c.grainSize) / 50;
        }

        const double frac = pos - i;
        float left, right;
        if (steady && !c.grain) {
            left = (float)(steadyLeft * (l0 + dL * frac * interpolation));
            right = (float)(steadyRight * (r0 + dR * frac * interpolation));
        } else {
            const double amplitude = (double)velocityLevel * grainGain * instrument.getVolume() * e;
            left = (float)(amplitude * c.leftGain * (l0 + dL * frac * interpolation));
            right = (float)(amplitude * c.rightGain * (r0 + dR * frac * interpolation));
        }
        voiceLeft[k] += left;
        mixLeft[k] += left;
        voiceRight[k] += right;
        mixRight[k] += right;

        if (steady) {
            pos = pos + steadyAdvance;
            grainCounter += steadyGrainAdvance;
        } else {
            const float p = pitchEnvelope.process();
            pos = pos + c.step * (p * c.depth + 1) * c.tune;
            const float p2 = pitchEnvelope.process();
            grainCounter += c.grainStep * (p2 * c.depth + 1) * c.tune;
        }

        if (grainCounter >= c.grainSize) {
            grainPosition = nextGrainPosition(grainPosition, c);
            if (c.grain)
                pos = grainPosition;
            grainCounter = 0;
        }
    }
    storeGrain();
    instrument.position[id] = pos;
}
