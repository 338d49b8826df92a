#include "engine/Sample.h"

#include "engine/PitchTables.h"

Sample::Sample() : buffers(new float*[kMaxChannels]())
{
}

Sample::~Sample()
{
    releaseOwned();
    delete[] buffers;
}

void Sample::releaseOwned()
{
    for (int c = 0; c < kMaxChannels; ++c) {
        if (!owned[c])
            continue;
        float* buffer = buffers[c];
        for (int d = c + 1; d < kMaxChannels; ++d)
            if (owned[d] && buffers[d] == buffer)
                owned[d] = false;
        delete[] buffer;
        owned[c] = false;
        buffers[c] = nullptr;
    }
}

void Sample::adoptBuffer(int channel, float* data)
{
    if (channel < 0 || channel >= kMaxChannels)
        return;
    if (owned[channel]) {
        bool shared = false;
        for (int d = 0; d < kMaxChannels; ++d)
            shared |= d != channel && owned[d] && buffers[d] == buffers[channel];
        if (!shared)
            delete[] buffers[channel];
    }
    buffers[channel] = data;
    owned[channel] = data != nullptr;
}

float* Sample::getBuffer(int channel) const
{
    if (channel < 0 || channel >= kMaxChannels)
        return nullptr;
    return buffers[channel];
}

void Sample::setBuffer(int channel, float* data)
{
    if (channel < 0 || channel >= kMaxChannels)
        return;
    adoptBuffer(channel, nullptr);
    buffers[channel] = data;
}

void Sample::setLoopStart(int frame)
{
    if (frame < 0)
        frame = 0;
    if (frame > loopEnd - 1)
        frame = loopEnd - 1;
    if (frame < 0)
        frame = 0;
    loopStart = frame;
}

void Sample::setLoopEnd(int frame)
{
    if (frame > frames - 1)
        frame = frames - 1;
    if (frame < loopStart + 1)
        frame = loopStart + 1;
    if (frame > frames - 1)
        frame = frames - 1;
    loopEnd = frame;
}

void Sample::setStartPlay(int frame)
{
    if (frame < 0)
        frame = 0;
    if (frame > frames - 1)
        frame = frames - 1;
    startPosition = frame;
}

void Sample::setRootNote(int note)
{
    // Root notes are MIDI notes; bounding them keeps a bad value from spinning.
    if (note < 0)
        note = 0;
    if (note > 127)
        note = 127;
    double ratio = 1.0;
    for (int n = note; n < 60; ++n)
        ratio *= kSemitone;
    for (int n = note; n > 60; --n)
        ratio /= kSemitone;
    rootRatio = ratio;
}

// Built-in arrays are read-only; channel buffers are only ever read.
void Sample::loadFromHeader(const float* data, int length, int channel)
{
    if (channel < 0 || channel >= kMaxChannels || !data || length < 1)
        return;
    frames = length - 1;
    adoptBuffer(channel, nullptr);
    buffers[channel] = const_cast<float*>(data);
    if (channelCount < channel + 1)
        channelCount = channel + 1;
    loopEnd = length - 2;
}
