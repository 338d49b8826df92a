// The stored programs. The current program also holds the live global and
// phaser values, which the voices and the phaser read while rendering.
#pragma once

#include "engine/SharedValue.h"

#include <string>


struct InstrumentProgram
{
    float parameters[22] = {};
    std::string name;
    std::string path;
    int sourceKind = 0;
    int startPosition = 0;
    int loopStart = 0;
    int loopEnd = 0;
    int midiChannel = -1;

    void setParameter(int index, float value)
    {
        if (index >= 0 && index < 22)
            parameters[index] = value;
    }
};

struct DelayProgram
{
    float values[8] = {0.625f, 0.2f, 0.3f, 0.f, 0.f, 1.0f, 0.f, 0.f};

    void setParameter(int index, float value)
    {
        if (index >= 0 && index < 8)
            values[index] = value;
    }
};

struct PhaserProgram
{
    SharedFloat values[8] = {0.f, 0.75f, 0.6f, 0.5f, 1.0f, 0.f, 0.f, 0.f};

    void setParameter(int index, float value)
    {
        if (index >= 0 && index < 8)
            values[index] = value;
    }
};

struct Program
{
    int instrumentCount = 0;
    std::string name = "Default";
    // Read by the voices while rendering.
    SharedFloat velocitySensitivity = 1.0f;
    SharedFloat masterVolume = 1.0f;
    SharedFloat masterTune = 0.5f;
    SharedFloat pitchBendRange = 0.5f;
    SharedFloat selectedInstrument = 0.f;
    InstrumentProgram instruments[16];
    DelayProgram delay;
    PhaserProgram phaser;
};
