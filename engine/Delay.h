// Tempo-synced stereo delay. For now it keeps its settings and the beat
// length and passes audio through; the delay line itself comes next.
#pragma once

class Delay
{
public:
    explicit Delay(int maxLength) : maxLength(maxLength) {}

    void setParameter(int k, float value)
    {
        if (k >= 0 && k < 8)
            values[k] = value;
    }
    float getParameter(int k) const { return (k >= 0 && k < 8) ? values[k] : 0.f; }

    // Beat length in samples at the given tempo and rate.
    void setSamplePerBeat(double tempo, float rate) { samplesPerBeat = 60.0 / tempo * rate; }
    double getSamplePerBeat() const { return samplesPerBeat; }

    void process(float** /*outputs*/, int /*frames*/) {}

private:
    int maxLength;
    float values[8] = {0.625f, 0.f, 0.5f, 0.f, 0.f, 1.0f, 0.f, 0.f};
    double samplesPerBeat = 22050.0;
};
