// Six first-order all-pass stages swept by a sine LFO, with feedback.
#pragma once

#include "engine/SharedValue.h"

class Phaser
{
public:
    static constexpr int kStages = 6;

    // Sweep range in Hz, as fractions of the Nyquist frequency at 44100 Hz.
    void setRange(float fromHz, float toHz);
    void setFeedback(float value) { feedback = value; }
    void setDepth(float value) { depth = value; }
    // Radians added to the LFO phase per call of Update.
    void setRate(float increment) { lfoIncrement = increment; }

    // One sample through the phaser.
    float Update(float input);

    float getFeedback() const { return feedback; }
    float getDepth() const { return depth; }
    float getRate() const { return lfoIncrement; }

private:
    struct Stage
    {
        float coefficient = 0.f;
        float state = 0.f;
    };
    Stage stages[kStages];
    float minimumDelay = 400.f / 22050.f;
    float maximumDelay = 1640.f / 22050.f;
    // Set from host threads while the audio thread runs Update.
    SharedFloat feedback = 0.7f;
    float lfoPhase = 0.f;
    SharedFloat lfoIncrement = 0.5f / 44100.f * 6.28318f;
    SharedFloat depth = 1.0f;
    float lastOutput = 0.f;
};
