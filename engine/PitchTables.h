// Process-wide pitch tables: semitones -24..+24 and cents -100..+100.
#pragma once

constexpr double kSemitone = 1.059463094359;
constexpr int kSemitoneEntries = 49;
constexpr int kCentEntries = 201;

extern float semitonesTab[kSemitoneEntries];
extern float centsTab[kCentEntries];

// Fills both tables; every plug-in construction calls it again with the same values.
void makeFrequencyTab();

// Index of a 0..1 control value scaled by `scale` into a table of scale + 1
// entries. Hosts and damaged states can send anything, NaN included, so the
// index is bounded rather than trusted.
inline int tableIndex(float value, int scale)
{
    float scaled = value * (float)scale;
    if (!(scaled >= 0.f))
        return 0;
    if (scaled >= (float)scale)
        return scale;
    return (int)scaled;
}

// Semitone factor of a 0..1 control value (tune, master tune).
inline float paramToPitch(float value) { return semitonesTab[tableIndex(value, 48)]; }
