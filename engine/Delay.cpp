#include "engine/Delay.h"

#include <cmath>
#include <cstring>

namespace {

struct RecordSetup
{
    const char* name;
    int range;
    int defaultValue;
    float value;
};

const RecordSetup kRecords[Delay::kParameterCount] = {
    {"time", 8, 5, 0.625f},     {"feedback", 100, 15, 0.f}, {"volume", 100, 25, 0.5f},
    {"spread", 100, 0, 0.f},    {"active", 1, 0, 0.f},      {"sync", 1, 0, 1.0f},
    {"pingpong", 1, 0, 0.f},    {"default", 100, 0, 0.f},
};

// Beat factors for n = (int)(value * 8); n = 7 and 8 both give two beats.
const double kBeatFactors[9] = {1.0 / 64, 1.0 / 32, 1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1.0, 2.0, 2.0};

// Hosts may send anything; the records and the effect only ever see 0..1.
float clampUnit(float value)
{
    if (!(value > 0.f))
        return 0.f; // also NaN
    return value < 1.f ? value : 1.f;
}

} // namespace

Delay::Delay(int maximumLength)
    // Below two samples no time would satisfy 1 <= time < maximum length.
    : maximumLength(maximumLength > 2 ? maximumLength : 2)
{
    line = new float[this->maximumLength]();
    createParameter(kParameterCount);
}

Delay::~Delay()
{
    delete[] line;
    delete[] parameters;
}

void Delay::createParameter(int count)
{
    if (count < 0)
        count = 0;
    delete[] parameters;
    parameters = new Parameter[count];
    parameterCount = count;
    for (int k = 0; k < count && k < kParameterCount; ++k) {
        parameters[k].name = kRecords[k].name;
        parameters[k].range = kRecords[k].range;
        parameters[k].start = 0;
        parameters[k].defaultValue = kRecords[k].defaultValue;
        parameters[k].value = kRecords[k].value;
    }
}

void Delay::setParameter(int k, float value)
{
    if (k < 0 || k >= parameterCount)
        return;
    float x = clampUnit(value);
    switch (k) {
    case 0:
        setTimeF(x);
        break;
    case 1:
        feedback = x;
        break;
    case 2:
        volume = x;
        break;
    case 4:
        if (x < 0.5f) {
            setActive(false);
            x = 0.f;
        } else {
            active = true;
            x = 1.0f;
        }
        break;
    case 5:
        x = x < 0.5f ? 0.f : 1.0f;
        setSync(x);
        break;
    case 6:
        x = x < 0.5f ? 0.f : 1.0f;
        pingPong = x != 0.f;
        break;
    default:
        break;
    }
    parameters[k].value = x;
}

void Delay::setTimeF(float value)
{
    // The delay is worked out in double so that an out-of-range value is
    // rejected before any conversion to int could overflow.
    double delay = 0.0;
    if (sync) {
        const float scaled = value * 8.f;
        int n = -1; // NaN and huge values give 0 like any other unknown n
        if (scaled > -2147483648.f && scaled < 2147483648.f)
            n = (int)scaled;
        if (n >= 0 && n <= 8)
            delay = samplesPerBeat * kBeatFactors[n];
    } else {
        const float product = (float)maximumLength * value;
        delay = product == product ? (double)product : 0.0;
    }
    if (!(delay < (double)maximumLength))
        return;
    setTime(delay >= 1.0 ? (int)delay : 0);
}

void Delay::setTime(int samples)
{
    if (samples < maximumLength)
        time = samples > 0 ? samples : 1;
}

void Delay::setSync(float value)
{
    if (parameterCount <= 0)
        return;
    if (value < 0.5f) {
        sync = false;
        parameters[0].range = 100;
        parameters[0].start = 0;
    } else {
        sync = true;
        parameters[0].range = 8;
        setTimeF(parameters[0].value);
    }
}

void Delay::setSamplePerBeat(double tempo, double sampleRate)
{
    if (tempo == 0.0 || sampleRate == 0.0 || !std::isfinite(tempo) || !std::isfinite(sampleRate))
        return;
    const double beat = sampleRate * 60.0 / tempo;
    if (std::isfinite(beat))
        samplesPerBeat = beat;
}

void Delay::setActive(bool on)
{
    if (!on)
        clearRequested = true;
    active = on;
}

void Delay::process(float** buffers, int frames)
{
    if (clearRequested.exchange(false))
        std::memset(line, 0, sizeof(float) * maximumLength);
    if (!active || frames <= 0 || !buffers || !buffers[0] || !buffers[1])
        return;
    float* left = buffers[0];
    float* right = buffers[1];
    const int rate = sampleRate;
    const float step = 50.f / (float)(rate > 0 ? rate : 44100);
    // Read once: settings from other threads take effect at the next block.
    const int length = time;
    const float feedback = this->feedback;
    const float volume = this->volume;
    const bool pingPong = this->pingPong;
    for (int j = 0; j < frames; ++j) {
        const float in = (left[j] + right[j]) / 1.5f;
        const float d = line[writeIndex];
        line[writeIndex] = feedback * d + in;
        // At or past the end: a shorter time may have come in behind the index.
        if (++writeIndex >= length) {
            side = !side;
            fade = 1.0f;
            writeIndex = 0;
        }
        if (!pingPong) {
            left[j] += d * volume;
            right[j] += d * volume;
        } else if (!side) {
            right[j] += (1.f - fade) * volume * d;
            left[j] += fade * volume * d;
        } else {
            left[j] += (1.f - fade) * volume * d;
            right[j] += fade * volume * d;
        }
        fade -= step;
        if (fade < 0.f)
            fade = 0.f;
    }
}
