#include "engine/Phaser.h"

#include <cmath>

namespace {
const float kTwoPi = 6.28318f;
const float kNyquist = 22050.f; // of 44100 Hz, whatever the host's rate
} // namespace

void Phaser::setRange(float fromHz, float toHz)
{
    minimumDelay = fromHz / kNyquist;
    maximumDelay = toHz / kNyquist;
}

float Phaser::Update(float input)
{
    const float d = minimumDelay + (maximumDelay - minimumDelay) * ((float)std::sin(lfoPhase) + 1.f) * 0.5f;
    lfoPhase += lfoIncrement;
    if (lfoPhase >= kTwoPi)
        lfoPhase -= kTwoPi;
    // Only a hostile increment (negative, above a turn, NaN) leaves the range.
    if (!(lfoPhase >= 0.f && lfoPhase < kTwoPi)) {
        lfoPhase = std::isfinite(lfoPhase) ? std::fmod(lfoPhase, kTwoPi) : 0.f;
        if (lfoPhase < 0.f)
            lfoPhase += kTwoPi;
        if (!(lfoPhase >= 0.f && lfoPhase < kTwoPi))
            lfoPhase = 0.f;
    }

    const float a = (1.f - d) / (1.f + d);
    for (Stage& stage : stages)
        stage.coefficient = a;

    float u = input + lastOutput * feedback;
    for (int s = kStages - 1; s >= 0; --s) {
        const float y = stages[s].state - u * a;
        stages[s].state = a * y + u;
        u = y;
    }
    lastOutput = u;

    const float result = input + u * depth;
    // A feedback at or above 1 makes the loop grow until it overflows; once it
    // does, it would stay infinite or NaN for good, so the loop starts again
    // from silence and this sample passes dry.
    if (!std::isfinite(u) || !std::isfinite(result)) {
        for (Stage& stage : stages)
            stage.state = 0.f;
        lastOutput = 0.f;
        return input;
    }
    return result;
}
