// The phaser: one sample at a time against a plain model of the all-pass
// chain, the LFO wrap, the plug-in's dry/wet pass over both channels, and
// hostile settings.
#include "TestSupport.h"

#include "engine/Phaser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace test;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
const float kDefaultIncrement = 0.5f / 44100.f * 6.28318f;

// The chain written out plainly, with the same single-precision steps.
struct Model
{
    float minimum = 400.f / 22050.f, maximum = 1640.f / 22050.f;
    float feedback = 0.7f, increment = kDefaultIncrement, depth = 1.f;
    bool wraps = true;
    float phase = 0.f, last = 0.f;
    float state[6] = {};

    float update(float x)
    {
        const float d = minimum + (maximum - minimum) * (std::sin(phase) + 1.f) * 0.5f;
        phase = phase + increment;
        if (wraps && phase >= 6.28318f)
            phase = phase - 6.28318f;
        const float a = (1.f - d) / (1.f + d);
        float u = x + last * feedback;
        for (int s = 5; s >= 0; --s) {
            const float y = state[s] - u * a;
            state[s] = a * y + u;
            u = y;
        }
        last = u;
        return x + u * depth;
    }
};

float signal(int i) { return 0.6f * std::sin(0.05f * (float)i) + 0.3f * std::sin(0.31f * (float)i + 1.f); }

} // namespace

TEST(Phaser, StartsWithThePluginsValues)
{
    Phaser phaser;
    EXPECT_EQ(phaser.getFeedback(), 0.7f);
    EXPECT_EQ(phaser.getDepth(), 1.0f);
    EXPECT_FLOAT_EQ(phaser.getRate(), 7.1237868e-05f);
}

TEST(Phaser, MatchesAPlainModelOfTheChain)
{
    struct Case
    {
        float feedback, depth, increment;
        int samples;
    };
    const Case cases[] = {{0.7f, 1.f, kDefaultIncrement, 400},
                          {0.6f, 0.75f, 0.5f / 44100.f * 6.28318f, 400},
                          {0.f, 1.f, 0.01f, 300},
                          {0.95f, 0.3f, 0.1f, 500},
                          // Increments near a turn wrap on almost every call.
                          {0.5f, 1.f, 2.5f, 2000},
                          {0.5f, 1.f, 6.0f, 2000},
                          {0.5f, 1.f, 6.28317f, 2000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "feedback " << c.feedback << " depth " << c.depth << " increment "
                                        << c.increment);
        Phaser phaser;
        phaser.setRange(400.f, 1640.f);
        phaser.setFeedback(c.feedback);
        phaser.setDepth(c.depth);
        phaser.setRate(c.increment);
        Model model;
        model.feedback = c.feedback;
        model.depth = c.depth;
        model.increment = c.increment;
        float change = 0.f;
        for (int i = 0; i < c.samples; ++i) {
            const float x = signal(i);
            const float y = phaser.Update(x);
            ASSERT_FLOAT_EQ(y, model.update(x)) << i;
            change = std::fabs(y - x) > change ? std::fabs(y - x) : change;
        }
        EXPECT_GT(change, 0.05f);
    }
}

TEST(Phaser, LfoWrapsAtTheDesignsConstant)
{
    // Without the wrap (or with 2 pi instead) the sweep drifts away from the model.
    Phaser phaser;
    phaser.setRate(6.0f);
    Model wrapping, unwrapped;
    wrapping.increment = unwrapped.increment = 6.0f;
    unwrapped.wraps = false;
    int differs = 0;
    for (int i = 0; i < 3000; ++i) {
        const float x = signal(i);
        const float y = phaser.Update(x);
        ASSERT_FLOAT_EQ(y, wrapping.update(x)) << i;
        differs += std::fabs(y - unwrapped.update(x)) > 1e-4f;
    }
    EXPECT_GT(differs, 100);
}

TEST(Phaser, PluginMixesBothChannelsThroughOnePhaser)
{
    struct Case
    {
        float on, mix;
        bool changes;
    };
    const Case cases[] = {{0.f, 1.f, false}, {0.f, 0.5f, false}, {1.f, 0.f, false},
                          {1.f, 1.f, true},  {0.5f, 0.25f, true}, {-1.f, 0.6f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "on " << c.on << " mix " << c.mix);
        std::unique_ptr<Volantor2> synth = makeSynth(128);
        synth->setParameter(584, c.mix);
        ASSERT_EQ(synth->getPhaserMix(), c.mix);
        synth->currentProgram().phaser.values[0] = c.on;

        const Phaser& live = synth->getPhaser();
        Model model;
        model.feedback = live.getFeedback();
        model.depth = live.getDepth();
        model.increment = live.getRate();
        const float wet = c.mix * 0.67f;
        const float dry = 1.f - c.mix;

        // Three blocks: the states and the LFO run on between them.
        for (int block = 0; block < 3; ++block) {
            Block b(128);
            for (int i = 0; i < 128; ++i) {
                b.left[i] = signal(block * 128 + i);
                b.right[i] = 0.5f * signal(block * 128 + i + 17);
            }
            const Block input = b;
            float* outputs[2] = {b.left.data(), b.right.data()};
            synth->processPhaser(outputs, 128);
            for (int i = 0; i < 128; ++i) {
                if (!c.changes) {
                    ASSERT_EQ(b.left[i], input.left[i]) << i;
                    ASSERT_EQ(b.right[i], input.right[i]) << i;
                    continue;
                }
                const float left = model.update(input.left[i]) * wet + dry * input.left[i];
                const float right = model.update(input.right[i]) * wet + dry * input.right[i];
                ASSERT_FLOAT_EQ(b.left[i], left) << block << " " << i;
                ASSERT_FLOAT_EQ(b.right[i], right) << block << " " << i;
            }
        }
    }
}

TEST(Phaser, HostileSettingsNeverLeaveNonFiniteOutputBehind)
{
    const float feedbacks[] = {1.0f, 1.5f, 100.f, kNaN, kInf, -5.f};
    const float depths[] = {1.f, 1e30f, kNaN};
    const float increments[] = {kDefaultIncrement, kNaN, kInf, -1.f, 1e9f};
    for (float feedback : feedbacks) {
        for (float depth : depths) {
            for (float increment : increments) {
                SCOPED_TRACE(testing::Message() << feedback << " " << depth << " " << increment);
                Phaser phaser;
                phaser.setFeedback(feedback);
                phaser.setDepth(depth);
                phaser.setRate(increment);
                for (int i = 0; i < 3000; ++i)
                    ASSERT_TRUE(std::isfinite(phaser.Update(0.9f * signal(i)))) << i;

                // Back to sane settings, it phases again.
                phaser.setFeedback(0.7f);
                phaser.setDepth(1.f);
                phaser.setRate(kDefaultIncrement);
                float change = 0.f;
                for (int i = 0; i < 300; ++i) {
                    const float x = signal(i);
                    const float y = phaser.Update(x);
                    ASSERT_TRUE(std::isfinite(y)) << i;
                    change = std::fabs(y - x) > change ? std::fabs(y - x) : change;
                }
                EXPECT_GT(change, 0.05f);
            }
        }
    }

    // A NaN sample from upstream passes, and the chain recovers at once.
    Phaser phaser;
    for (int i = 0; i < 100; ++i)
        phaser.Update(signal(i));
    phaser.Update(kNaN);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(std::isfinite(phaser.Update(signal(i)))) << i;

    // A mix out of range from a host keeps the plug-in's block finite.
    for (float mix : {kNaN, kInf, -kInf, 40.f, -3.f}) {
        std::unique_ptr<Volantor2> synth = makeSynth(64);
        synth->setParameter(584, mix);
        synth->currentProgram().phaser.values[0] = 1.f;
        Block b(64);
        for (int i = 0; i < 64; ++i)
            b.left[i] = b.right[i] = signal(i);
        float* outputs[2] = {b.left.data(), b.right.data()};
        synth->processPhaser(outputs, 64);
        for (int i = 0; i < 64; ++i)
            ASSERT_TRUE(std::isfinite(b.left[i]) && std::isfinite(b.right[i])) << mix << " " << i;
    }
}
