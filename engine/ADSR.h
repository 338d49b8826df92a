// Exponential attack-decay-sustain-release generator: each stage approaches a
// target beyond its end value and stops when it crosses the end value.
#pragma once

#include "engine/SharedValue.h"

class ADSR
{
public:
    enum State { idle = 0, attack, decay, sustain, release };

    ADSR();

    void setAttackRate(float samples);
    void setDecayRate(float samples);
    void setReleaseRate(float samples);
    void setSustainLevel(float level);
    void setTargetRatioA(float ratio);
    void setTargetRatioDR(float ratio);
    static float calcCoef(float rate, float ratio);

    // One step of the envelope; returns the new output.
    float process()
    {
        switch (state) {
        case attack:
            output = output * attackCoef + attackBase;
            if (output >= 1.0f) {
                output = 1.0f;
                state = decay;
            }
            break;
        case decay:
            output = output * decayCoef + decayBase;
            if (output <= sustainLevel) {
                output = sustainLevel;
                state = sustain;
            }
            break;
        case release:
            output = output * releaseCoef + releaseBase;
            if (output <= 0.0f) {
                output = 0.0f;
                state = idle;
            }
            break;
        default:
            break;
        }
        return output;
    }

    // Start keeps the output, so a retriggered note attacks from where it was.
    void gate() { state = attack; }
    void doRelease()
    {
        if (state != idle)
            state = release;
    }
    void reset()
    {
        state = idle;
        output = 0.0f;
    }

    int getState() const { return state; }
    float getOutput() const { return output; }
    float getSustainLevel() const { return sustainLevel; }
    // No step changes the output in these states.
    bool isSteady() const { return state == idle || state == sustain; }

private:
    // State: the audio thread's alone.
    int state = idle;
    float output = 0.0f;
    // Settings: written by host threads while the audio thread steps.
    SharedFloat attackRate = 0.0f;
    SharedFloat decayRate = 0.0f;
    SharedFloat releaseRate = 0.0f;
    SharedFloat attackCoef = 0.0f;
    SharedFloat decayCoef = 0.0f;
    SharedFloat releaseCoef = 0.0f;
    SharedFloat sustainLevel = 1.0f;
    SharedFloat targetRatioA = 0.3f;
    SharedFloat targetRatioDR = 0.0001f;
    SharedFloat attackBase = 0.0f;
    SharedFloat decayBase = 0.0f;
    SharedFloat releaseBase = 0.0f;
};
