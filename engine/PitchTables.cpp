#include "engine/PitchTables.h"

float semitonesTab[kSemitoneEntries];
float centsTab[kCentEntries];

namespace {

// Running product in double precision, each entry stored rounded to float.
void fillTable(float* table, int entries, double first, double step)
{
    double value = first;
    for (int i = 0; i < entries; ++i) {
        table[i] = (float)value;
        value *= step;
    }
}

} // namespace

void makeFrequencyTab()
{
    fillTable(semitonesTab, kSemitoneEntries, 0.25, kSemitone);
    fillTable(centsTab, kCentEntries, 0.9438743126819565, 1.0005777895065548);
}
