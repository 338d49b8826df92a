// The audio of one sound: up to 32 channel buffers of float frames, with loop
// points, start position, loop style, recording rate and root-note ratio.
// Each channel buffer holds frames + 1 values: the last one is a guard read
// by interpolation. Built-in arrays are attached, never owned; buffers made
// for a loaded file are owned and released with the sample.
#pragma once

#include "engine/SharedValue.h"

#include <string>

class Sample
{
public:
    enum LoopStyle { noLoop = 0, loop = 1 };
    static constexpr int kMaxChannels = 32;

    Sample();
    Sample(const Sample&) = delete;
    Sample& operator=(const Sample&) = delete;
    ~Sample();

    float* getBuffer(int channel) const;
    // Attaches a buffer the caller keeps alive (frames + 1 values).
    void setBuffer(int channel, float* data);
    // Takes over a buffer allocated with new[]; two channels may share one.
    void adoptBuffer(int channel, float* data);
    int getChannelCount() const { return channelCount; }
    void setChannelCount(int count) { channelCount = count; }
    int getFrames() const { return frames; }
    void setFrames(int count) { frames = count; }

    int getSamplerate() const { return sampleRate; }
    void setSamplerate(int rate) { sampleRate = rate; }

    int getLoopStyle() const { return loopStyle; }
    void setLoopStyle(LoopStyle style) { loopStyle = style; }
    int getLoopStart() const { return loopStart; }
    int getLoopEnd() const { return loopEnd; }
    int getStartPlay() const { return startPosition; }
    void setLoopStart(int frame);
    void setLoopEnd(int frame);
    void setStartPlay(int frame);

    double getRootRatio() const { return rootRatio; }
    void setRootNote(int note);

    // Attaches a static array as a channel: its last value is the guard.
    void loadFromHeader(const float* data, int length, int channel);

    // Loading from files; these live with the sound sources.
    bool loadFromResource(const std::string& path);
    static char* pathToBuffer(const std::string& path, long* size = nullptr);
    void adjustRootNote(const std::string& path);
    bool load(const std::string& path);
    bool loadFromMp3(const std::string& path);
    static bool isWavMp3(const std::string& path);

private:
    void releaseOwned();

    float** buffers;
    bool owned[kMaxChannels] = {};
    int channelCount = 0;
    int frames = 0;
    int sampleRate = 44100;
    // Moved by hosts and the editor while voices play the sample.
    SharedInt loopStart = 0;
    SharedInt loopEnd = 0;
    SharedInt startPosition = 0;
    SharedInt loopStyle = noLoop;
    double rootRatio = 1.0;
};
