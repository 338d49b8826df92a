#include "engine/ADSR.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Steps taken until the envelope leaves `state`; -1 if it is still there after `limit`.
int stepsInState(ADSR& env, int state, int limit)
{
    for (int n = 1; n <= limit; ++n) {
        env.process();
        if (env.getState() != state)
            return n;
    }
    return -1;
}

// Steps of an exponential stage from `from` until it crosses `to`, heading for
// `to` overshot by `ratio`, with the coefficient of `rate` samples at `coefRatio`.
double expectedSteps(double rate, double coefRatio, double from, double to, double ratio)
{
    const double coef = std::exp(-std::log((1.0 + coefRatio) / coefRatio) / rate);
    return std::ceil(std::log(ratio / (std::fabs(to - from) + ratio)) / std::log(coef));
}

} // namespace

TEST(Adsr, StartsIdleAtZeroWithFullSustain)
{
    ADSR env;
    EXPECT_EQ(env.getState(), ADSR::idle);
    EXPECT_EQ(env.getOutput(), 0.0f);
    EXPECT_EQ(env.getSustainLevel(), 1.0f);
    EXPECT_EQ(env.process(), 0.0f);
    EXPECT_EQ(env.getState(), ADSR::idle);
}

TEST(Adsr, CalcCoefIsComputedInDoubleAndZeroForZeroRate)
{
    struct Case { float rate; float ratio; };
    const std::vector<Case> cases = {
        {1.0f, 0.3f}, {100.0f, 0.3f}, {66150.0f, 0.3f}, {11025.0f, 0.0001f}, {7.5f, 0.01f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rate " << c.rate << " ratio " << c.ratio);
        const double ratio = c.ratio;
        EXPECT_EQ(ADSR::calcCoef(c.rate, c.ratio),
                  (float)std::exp(-std::log((1.0 + ratio) / ratio) / (double)c.rate));
    }
    EXPECT_EQ(ADSR::calcCoef(0.0f, 0.3f), 0.0f);
    EXPECT_EQ(ADSR::calcCoef(0.0f, 0.0001f), 0.0f);
}

// With every rate 0 each stage completes in a single step, landing exactly on
// its end value: this also shows the constructed bases overshoot their targets.
TEST(Adsr, ZeroRatesCompleteEachStageInOneStep)
{
    ADSR env;
    env.setSustainLevel(0.5f);
    env.gate();
    EXPECT_EQ(env.process(), 1.0f);
    EXPECT_EQ(env.getState(), ADSR::decay);
    EXPECT_EQ(env.process(), 0.5f);
    EXPECT_EQ(env.getState(), ADSR::sustain);
    EXPECT_EQ(env.process(), 0.5f);
    env.doRelease();
    EXPECT_EQ(env.process(), 0.0f);
    EXPECT_EQ(env.getState(), ADSR::idle);
}

TEST(Adsr, AttackFollowsItsExponentialAndEndsAtOneAfterRateSteps)
{
    for (float rate : {10.0f, 100.0f, 4410.0f}) {
        SCOPED_TRACE(testing::Message() << "rate " << rate);
        ADSR env;
        env.setAttackRate(rate);
        env.gate();
        const double coef = std::exp(-std::log(1.3 / 0.3) / rate);
        const int half = (int)rate / 2;
        for (int n = 1; n <= half; ++n)
            env.process();
        EXPECT_NEAR(env.getOutput(), 1.3 * (1.0 - std::pow(coef, half)), 1e-4);
        EXPECT_EQ(env.getState(), ADSR::attack);
        const int steps = half + stepsInState(env, ADSR::attack, 2 * (int)rate);
        EXPECT_NEAR(steps, rate, 1.0);
        EXPECT_EQ(env.getOutput(), 1.0f);
        EXPECT_EQ(env.getState(), ADSR::decay);
    }
}

TEST(Adsr, DecayStopsExactlyAtTheSustainLevel)
{
    struct Case { float sustain; float rate; };
    const std::vector<Case> cases = {{0.5f, 1000.0f}, {0.0f, 500.0f}, {0.9f, 2000.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sustain " << c.sustain);
        ADSR env;
        env.setDecayRate(c.rate);
        env.setSustainLevel(c.sustain);
        env.gate();
        env.process(); // attack rate 0: straight to 1
        float previous = env.getOutput();
        int steps = 0;
        while (env.getState() == ADSR::decay && steps < 10 * (int)c.rate) {
            env.process();
            ++steps;
            if (env.getState() == ADSR::decay) {
                ASSERT_LT(env.getOutput(), previous);
                ASSERT_GT(env.getOutput(), c.sustain);
            }
            previous = env.getOutput();
        }
        EXPECT_EQ(env.getState(), ADSR::sustain);
        EXPECT_EQ(env.getOutput(), c.sustain);
        EXPECT_NEAR(steps, expectedSteps(c.rate, 0.0001, 1.0, c.sustain, 0.0001), 0.01 * c.rate);
        for (int n = 0; n < 10; ++n)
            EXPECT_EQ(env.process(), c.sustain);
    }
}

TEST(Adsr, ReleaseFromFullTakesAboutRateStepsThenIdles)
{
    const float rate = 0.25f * 44100.0f;
    ADSR env;
    env.setReleaseRate(rate);
    env.gate();
    env.process();
    env.process();
    ASSERT_EQ(env.getState(), ADSR::sustain);
    ASSERT_EQ(env.getOutput(), 1.0f);
    env.doRelease();
    EXPECT_EQ(env.getState(), ADSR::release);
    const int steps = stepsInState(env, ADSR::release, 2 * (int)rate);
    EXPECT_NEAR(steps, rate, 0.01 * rate);
    EXPECT_EQ(env.getState(), ADSR::idle);
    EXPECT_EQ(env.getOutput(), 0.0f);
    EXPECT_EQ(env.process(), 0.0f);
}

TEST(Adsr, GateKeepsOutputAndReleaseIgnoresIdle)
{
    ADSR env;
    env.doRelease();
    EXPECT_EQ(env.getState(), ADSR::idle);

    env.setAttackRate(100.0f);
    env.setReleaseRate(100.0f);
    env.gate();
    for (int n = 0; n < 30; ++n)
        env.process();
    env.doRelease();
    for (int n = 0; n < 10; ++n)
        env.process();
    const float level = env.getOutput();
    ASSERT_GT(level, 0.0f);

    // A retrigger attacks from the current level, not from 0.
    env.gate();
    EXPECT_EQ(env.getState(), ADSR::attack);
    EXPECT_EQ(env.getOutput(), level);
    EXPECT_GT(env.process(), level);

    env.reset();
    EXPECT_EQ(env.getState(), ADSR::idle);
    EXPECT_EQ(env.getOutput(), 0.0f);
}

// Changing the sustain level or a target ratio keeps the coefficient already
// set and moves only the base, so the stage heads for the new target at the
// old speed.
TEST(Adsr, SustainAndRatioChangesKeepTheExistingCoefficient)
{
    {
        SCOPED_TRACE("sustain after decay rate");
        ADSR env;
        env.setDecayRate(1000.0f);
        env.setSustainLevel(0.3f);
        env.gate();
        env.process();
        const int steps = stepsInState(env, ADSR::decay, 100000);
        EXPECT_NEAR(steps, expectedSteps(1000.0, 0.0001, 1.0, 0.3, 0.0001), 10.0);
        EXPECT_EQ(env.getOutput(), 0.3f);
    }
    {
        SCOPED_TRACE("attack ratio after attack rate");
        ADSR env;
        env.setAttackRate(100.0f);
        env.setTargetRatioA(0.01f);
        env.gate();
        const int steps = stepsInState(env, ADSR::attack, 100000);
        EXPECT_NEAR(steps, expectedSteps(100.0, 0.3, 0.0, 1.0, 0.01), 1.0);
        EXPECT_EQ(env.getOutput(), 1.0f);
    }
    {
        SCOPED_TRACE("release ratio after release rate");
        ADSR env;
        env.setReleaseRate(1000.0f);
        env.setTargetRatioDR(0.01f);
        env.gate();
        env.process();
        env.process();
        env.doRelease();
        const int steps = stepsInState(env, ADSR::release, 100000);
        EXPECT_NEAR(steps, expectedSteps(1000.0, 0.0001, 1.0, 0.0, 0.01), 10.0);
        EXPECT_EQ(env.getOutput(), 0.0f);
    }
}

// Ratios at or below zero are raised to 1e-9: a zero ratio would make every
// rate instant and a negative one an infinite coefficient.
TEST(Adsr, NonPositiveTargetRatiosAreRaisedToOneBillionth)
{
    const float rate = 10.0f;
    const float coef = ADSR::calcCoef(rate, 1e-9f);
    ASSERT_GT(coef, 0.0f);
    for (float ratio : {0.0f, -1.0f}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        ADSR env;
        env.setTargetRatioA(ratio);
        env.setTargetRatioDR(ratio);
        env.setAttackRate(rate);
        env.setReleaseRate(rate);
        env.gate();
        EXPECT_FLOAT_EQ(env.process(), 1.0f - coef);
        for (int n = 0; n < 100 * (int)rate; ++n) {
            const float out = env.process();
            ASSERT_TRUE(out > 0.0f && out <= 1.0f) << out;
        }
        EXPECT_NEAR(env.getOutput(), 1.0f, 1e-6f);

        env.doRelease();
        const float from = env.getOutput();
        EXPECT_FLOAT_EQ(env.process(), from * coef);
        EXPECT_GT(stepsInState(env, ADSR::release, 100000), 0);
        EXPECT_EQ(env.getOutput(), 0.0f);
    }
}
