// Tempo-synced mono delay line fed by both channels, with feedback and a
// ping-pong output that alternates its echoes between the channels.
#pragma once

#include "engine/Parameter.h"

#include <atomic>

class Delay
{
public:
    static constexpr int kParameterCount = 8;

    explicit Delay(int maximumLength);
    Delay(const Delay&) = delete;
    Delay& operator=(const Delay&) = delete;
    ~Delay();

    void createParameter(int count);
    void setParameter(int k, float value);
    const Parameter& getParameterRecord(int k) const { return parameters[k]; }
    int getParameterCount() const { return parameterCount; }
    // The stored value of parameter k; 0 outside the records.
    float getParameter(int k) const { return (k >= 0 && k < parameterCount) ? parameters[k].value.load() : 0.f; }

    void setTimeF(float value);
    void setTime(int samples);
    void setSync(float value);
    void setSamplePerBeat(double tempo, double sampleRate);
    void setActive(bool on);
    void setVolume(float value) { volume = value; }
    void setFeedback(float value) { feedback = value; }
    void setSampleRate(int rate) { sampleRate = rate; }

    // Adds the echoes into both buffers, in place.
    void process(float** buffers, int frames);

    int getTime() const { return time; }
    double getSamplePerBeat() const { return samplesPerBeat; }
    bool isActive() const { return active; }
    bool isSync() const { return sync; }
    bool isPingPong() const { return pingPong; }

private:
    float* line;
    int maximumLength;
    int writeIndex = 0;
    // Settings arrive from host threads while the audio thread renders: each
    // is one atomic value, read once per block.
    std::atomic<int> time{1};
    std::atomic<float> feedback{0.f};
    std::atomic<float> volume{0.f};
    std::atomic<int> sampleRate{44100};
    std::atomic<bool> active{false};
    std::atomic<bool> sync{true};
    std::atomic<double> samplesPerBeat{22050.0};
    std::atomic<bool> pingPong{false};
    // Switching off clears the line; the audio thread does it, before its next use.
    std::atomic<bool> clearRequested{false};
    bool side = false;
    float fade = 0.f;
    Parameter* parameters = nullptr;
    int parameterCount = 0;
};
