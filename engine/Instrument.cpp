#include "engine/Instrument.h"

#include "engine/PitchTables.h"
#include "sources/BuiltinSounds.h"

#include <cstring>

namespace {

struct ParameterInfo
{
    const char* name;
    int range;
    int start;
    int defaultValue;
    float initial;
};

// The 22 instrument parameters: name, knob range, start, default, initial value.
// clang-format off
const ParameterInfo kParameterInfo[Instrument::kParameterCount] = {
    {"volume",      99,    0,  99, 1.0f},
    {"pan",         100, -50,   0, 0.5f},
    {"tune",        48,  -24,   0, 0.5f},
    {"finetune",    200, -100,  0, 0.5f},
    {"showwave",    1,     0,   0, 0.0f},
    {"loop",        1,     0,   0, 0.0f},
    {"global",      1,     0,   0, 1.0f},
    {"voleg",       1,     0,   0, 0.0f},
    {"piteg",       1,     0,   0, 0.0f},
    {"special",     1,     0,   0, 0.0f},
    {"vol A",       100,   0,   0, 0.0f},
    {"vol D",       100,   0,   0, 0.0f},
    {"vol S",       100, 100, 100, 1.0f},
    {"vol R",       100,   0,   0, 0.0f},
    {"pitch A",     100,   0,   0, 0.0f},
    {"pitch D",     100,   0,   0, 0.0f},
    {"pitch R",     100,   0,   0, 0.0f},
    {"pitch EG",    100,   0,  50, 0.5f},
    {"reverse",     1,     0,   0, 0.0f},
    {"interpolate", 1,     0,   0, 0.0f},
    {"grain",       1,     0,   0, 0.0f},
    {"default",     100,   0,   0, 0.82f},
};
// clang-format on

// The parameters put to their starting values at construction, applied as a set would.
const int kAppliedAtStart[] = {
    Instrument::kVolA, Instrument::kVolD, Instrument::kVolS, Instrument::kVolR,
    Instrument::kPitchA, Instrument::kPitchD, Instrument::kPitchR, Instrument::kPitchEg,
    Instrument::kReverse, Instrument::kInterpolate, Instrument::kGrain, Instrument::kGrainAdvance,
};

int boundedRate(int rate) { return (rate >= 8000 && rate <= 384000) ? rate : 44100; }

} // namespace

Instrument::Instrument(int bufferSize, int hostRate) : samples(new Sample*[kMaxSamples]())
{
    for (int v = 0; v < kVoices; ++v) {
        position[v] = 0;
        grainPosition[v] = 0;
        grainCounter[v] = 0;
        pitchEnvelope[v].setSustainLevel(0.0f);
    }
    adjustBufferSize(bufferSize);
    pitchDepth = 1.0;
    defaultSample.loadFromHeader(coinData, kCoinLength, 0);
    createParameters(kParameterCount);
    sampleRate = boundedRate(hostRate);
    for (int k : kAppliedAtStart)
        setParameter(k, kParameterInfo[k].initial);
}

Instrument::~Instrument()
{
    // Samples release the buffers they own; built-in arrays are static and shared.
    for (int i = 0; i < sampleCount; ++i)
        delete samples[i];
    delete[] samples;
    delete[] mixLeft;
    delete[] mixRight;
    delete[] parameters;
}

void Instrument::createParameters(int count)
{
    delete[] parameters;
    parameters = new Parameter[count];
    parameterCount = count;
    for (int k = 0; k < count && k < kParameterCount; ++k) {
        parameters[k].name = kParameterInfo[k].name;
        parameters[k].range = kParameterInfo[k].range;
        parameters[k].start = kParameterInfo[k].start;
        parameters[k].defaultValue = kParameterInfo[k].defaultValue;
        parameters[k].value = kParameterInfo[k].initial;
    }
}

void Instrument::setParameter(int k, float value)
{
    if (k < 0 || k >= parameterCount)
        return;
    // Hosts and damaged states can send anything: keep every value in 0..1.
    if (!(value >= 0.0f))
        value = 0.0f;
    if (value > 1.0f)
        value = 1.0f;
    parameters[k].value = value;
    switch (k) {
    case kVolume: volume = value; break;
    case kPan: pan = value; break;
    case kTune: setSemitone(value); break;
    case kFinetune: setCent(value); break;
    case kLoop:
        if (sourceKind != kBuiltinFixed)
            peekSample()->setLoopStyle(value > 0.5f ? Sample::loop : Sample::noLoop);
        break;
    case kVolA: setAttackVolume(value); break;
    case kVolD: setDecayVolume(value); break;
    case kVolS: setSustainVolume(value); break;
    case kVolR: setReleaseVolume(value); break;
    case kPitchA: setAttackPitch(value); break;
    case kPitchD: setDecayPitch(value); break;
    case kPitchR: setReleasePitch(value); break;
    case kPitchEg: setPitchEgDepth(value); break;
    case kReverse: reverse = value > 0.5f; break;
    case kInterpolate: interpolate = value > 0.5f; break;
    case kGrain: grain = value > 0.5f; break;
    case kGrainAdvance: grainAdvance = (float)((grainSize / 2 - 2) * (1 - value) + 2); break;
    default: break;
    }
}

Sample* Instrument::getSample(int index, int, int)
{
    if (index < 0 || index >= sampleCapacity)
        return &defaultSample;
    Sample* chosen;
    if (sourceKind == kBuiltin) {
        chosen = samples[0];
        currentSample.store(chosen, std::memory_order_release);
    } else {
        chosen = currentSample.load(std::memory_order_acquire);
    }
    if (!chosen) {
        sampleRatio = 1.0;
        return &defaultSample;
    }
    sampleRatio = chosen->getRootRatio();
    return chosen;
}

Sample* Instrument::peekSample()
{
    Sample* chosen = sourceKind == kBuiltin ? samples[0] : currentSample.load(std::memory_order_acquire);
    return chosen ? chosen : &defaultSample;
}

void Instrument::addSample(Sample* sample, bool makeCurrent)
{
    if (!sample || sampleCount >= sampleCapacity)
        return;
    samples[sampleCount++] = sample;
    if (makeCurrent)
        currentSample.store(sample, std::memory_order_release);
}

void Instrument::setSemitone(float value)
{
    semitoneRatio = semitonesTab[tableIndex(value, 48)];
    tuningRatio = semitoneRatio * centRatio;
}

void Instrument::setCent(float value)
{
    centRatio = centsTab[tableIndex(value, 200)];
    tuningRatio = centRatio * semitoneRatio;
}

void Instrument::adjustBufferSize(int size)
{
    if (size < 1)
        size = 1;
    float* left = new float[size]();
    float* right = new float[size]();
    delete[] mixLeft;
    delete[] mixRight;
    mixLeft = left;
    mixRight = right;
    mixSize = size;
}

namespace {

// Applies one setting to all 16 per-voice envelopes.
void setAll(ADSR (&envelopes)[Instrument::kVoices], void (ADSR::*set)(float), float value)
{
    for (ADSR& e : envelopes)
        (e.*set)(value);
}

} // namespace

// Envelope times in seconds become stage lengths in samples at the current rate.
void Instrument::setAttackVolume(float value) { setAll(volumeEnvelope, &ADSR::setAttackRate, value * 1.5f * (float)sampleRate); }
void Instrument::setDecayVolume(float value) { setAll(volumeEnvelope, &ADSR::setDecayRate, value * 4.0f * (float)sampleRate); }
void Instrument::setSustainVolume(float value) { setAll(volumeEnvelope, &ADSR::setSustainLevel, value); }
void Instrument::setReleaseVolume(float value)
{
    setAll(volumeEnvelope, &ADSR::setReleaseRate, (value * 3.75f + 0.25f) * (float)sampleRate);
}
void Instrument::setAttackPitch(float value) { setAll(pitchEnvelope, &ADSR::setAttackRate, value * 2.0f * (float)sampleRate); }
void Instrument::setDecayPitch(float value) { setAll(pitchEnvelope, &ADSR::setDecayRate, value * 8.0f * (float)sampleRate); }
void Instrument::setReleasePitch(float value) { setAll(pitchEnvelope, &ADSR::setReleaseRate, value * 4.0f * (float)sampleRate); }

void Instrument::setPitchEgDepth(float value)
{
    if (value == 0.5f)
        pitchDepth = 0.0;
    else if (value > 0.5f)
        pitchDepth = (value - 0.5f) * 4.0f;
    else
        pitchDepth = -0.5f * (1.0f - 2.0f * value);
}

void Instrument::setSamplerate(int rate) { sampleRate = boundedRate(rate); }

void Instrument::setPeak(int channel, float peak)
{
    if (channel == 0 || channel == 1)
        peaks[channel] = peak;
}

float Instrument::getPeak(int channel) const
{
    return (channel == 0 || channel == 1) ? peaks[channel].load() : 0.0f;
}
