// Six-stage phaser. For now it keeps its settings and passes audio through;
// the all-pass stages come next.
#pragma once

class Phaser
{
public:
    void setRange(float fromHz, float toHz)
    {
        minHz = fromHz;
        maxHz = toHz;
    }
    void setDepth(float value) { depth = value; }
    void setFeedback(float value) { feedback = value; }
    void setRate(float value) { rate = value; }

private:
    float minHz = 400.f;
    float maxHz = 1640.f;
    float depth = 1.0f;
    float feedback = 0.7f;
    float rate = 0.5f / 44100.f * 6.28318f;
};
