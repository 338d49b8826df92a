#include "engine/PitchTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

class PitchTables : public testing::Test
{
protected:
    static void SetUpTestSuite() { makeFrequencyTab(); }

    // The tables hold a double running product, each entry rounded to float
    // on its own; a float product or pow() drifts by a few ulps.
    static void expectRunningProduct(const float* table, int entries, double first, double step)
    {
        double value = first;
        for (int i = 0; i < entries; ++i) {
            SCOPED_TRACE(testing::Message() << "entry " << i);
            EXPECT_EQ(table[i], (float)value);
            value *= step;
        }
    }
};

} // namespace

TEST_F(PitchTables, SemitonesRunFromTwoOctavesDownToTwoOctavesUp)
{
    expectRunningProduct(semitonesTab, kSemitoneEntries, 0.25, kSemitone);
    EXPECT_EQ(semitonesTab[0], 0.25f);
    EXPECT_EQ(semitonesTab[24], 1.0f);
    EXPECT_NEAR(semitonesTab[12], 0.5f, 1e-6f);
    EXPECT_NEAR(semitonesTab[36], 2.0f, 1e-6f);
    EXPECT_NEAR(semitonesTab[48], 4.0f, 1e-6f);
}

TEST_F(PitchTables, CentsSpanOneSemitoneEachWay)
{
    expectRunningProduct(centsTab, kCentEntries, 0.9438743126819565, 1.0005777895065548);
    EXPECT_NEAR(centsTab[0], 1.0 / kSemitone, 1e-7);
    EXPECT_NEAR(centsTab[100], 1.0f, 1e-7f);
    EXPECT_NEAR(centsTab[200], kSemitone, 1e-6);
}

// Every plug-in construction fills the tables again; they must not drift.
TEST_F(PitchTables, RefillingGivesTheSameValues)
{
    const std::vector<float> semitones(semitonesTab, semitonesTab + kSemitoneEntries);
    const std::vector<float> cents(centsTab, centsTab + kCentEntries);
    makeFrequencyTab();
    EXPECT_EQ(std::vector<float>(semitonesTab, semitonesTab + kSemitoneEntries), semitones);
    EXPECT_EQ(std::vector<float>(centsTab, centsTab + kCentEntries), cents);
}

TEST_F(PitchTables, TableIndexStaysInsideTheTable)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case { float value; int scale; int expected; };
    const std::vector<Case> cases = {
        {std::numeric_limits<float>::quiet_NaN(), 48, 0},
        {-inf, 48, 0},
        {-0.5f, 200, 0},
        {0.0f, 48, 0},
        {0.5f, 48, 24},
        {0.5f, 200, 100},
        {0.999f, 48, 47},
        {1.0f, 48, 48},
        {1.0f, 200, 200},
        {2.0f, 200, 200},
        {inf, 48, 48},
        // Just below 11/48: the product rounds up to 11 in float, not in double.
        {std::nextafter(11.0f / 48.0f, 0.0f), 48, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << " scale " << c.scale);
        EXPECT_EQ(tableIndex(c.value, c.scale), c.expected);
    }
}

TEST_F(PitchTables, ParamToPitchMapsTheControlOntoSemitones)
{
    EXPECT_EQ(paramToPitch(0.5f), semitonesTab[24]);
    EXPECT_EQ(paramToPitch(0.0f), semitonesTab[0]);
    EXPECT_EQ(paramToPitch(1.0f), semitonesTab[48]);
    EXPECT_EQ(paramToPitch(std::numeric_limits<float>::quiet_NaN()), semitonesTab[0]);
}
