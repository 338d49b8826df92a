#include "engine/PitchTables.h"
#include "engine/Sample.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A mono sample of `frames` frames over a buffer that carries the guard value.
struct TestSample
{
    explicit TestSample(int frames) : data(frames + 1, 0.0f)
    {
        sample.loadFromHeader(data.data(), (int)data.size(), 0);
    }
    std::vector<float> data;
    Sample sample;
};

} // namespace

TEST(Sample, LoadFromHeaderAttachesTheBufferWithoutTheGuard)
{
    std::vector<float> left(101, 0.0f), right(101, 0.0f);
    Sample s;
    EXPECT_EQ(s.getChannelCount(), 0);
    EXPECT_EQ(s.getBuffer(0), nullptr);

    s.loadFromHeader(right.data(), (int)right.size(), 1);
    EXPECT_EQ(s.getFrames(), 100);
    EXPECT_EQ(s.getLoopEnd(), 99);
    EXPECT_EQ(s.getChannelCount(), 2);
    EXPECT_EQ(s.getBuffer(1), right.data());

    // A lower channel never lowers the count.
    s.loadFromHeader(left.data(), (int)left.size(), 0);
    EXPECT_EQ(s.getChannelCount(), 2);
    EXPECT_EQ(s.getBuffer(0), left.data());
    EXPECT_EQ(s.getBuffer(1), right.data());

    EXPECT_EQ(s.getBuffer(Sample::kMaxChannels), nullptr);
    EXPECT_EQ(s.getBuffer(-1), nullptr);
}

TEST(Sample, LoopStartStaysBeforeLoopEnd)
{
    struct Case { int frame; int expected; };
    const std::vector<Case> cases = {{-5, 0}, {0, 0}, {50, 50}, {98, 98}, {99, 98}, {1000, 98}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "loop start " << c.frame);
        TestSample t(100);
        ASSERT_EQ(t.sample.getLoopEnd(), 99);
        t.sample.setLoopStart(c.frame);
        EXPECT_EQ(t.sample.getLoopStart(), c.expected);
    }
    // With no loop yet (end 0) the bound below the end is negative: still 0.
    Sample empty;
    empty.setLoopStart(5);
    EXPECT_EQ(empty.getLoopStart(), 0);
}

TEST(Sample, LoopEndStaysAfterLoopStartAndInsideTheSample)
{
    struct Case { int loopStart; int frame; int expected; };
    const std::vector<Case> cases = {
        {0, 50, 50}, {0, 99, 99}, {0, 100, 99}, {0, 1000, 99}, {0, -3, 1},
        {10, 5, 11}, {10, 11, 11}, {98, 5, 99}, {98, 1000, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "loop start " << c.loopStart << " loop end " << c.frame);
        TestSample t(100);
        t.sample.setLoopStart(c.loopStart);
        ASSERT_EQ(t.sample.getLoopStart(), c.loopStart);
        t.sample.setLoopEnd(c.frame);
        EXPECT_EQ(t.sample.getLoopEnd(), c.expected);
    }

    // Reloading a shorter buffer leaves a loop start past the new end: the
    // sample's last frame still wins.
    TestSample t(100);
    t.sample.setLoopStart(98);
    std::vector<float> shorter(51, 0.0f);
    t.sample.loadFromHeader(shorter.data(), (int)shorter.size(), 0);
    t.sample.setLoopEnd(5);
    EXPECT_EQ(t.sample.getLoopEnd(), 49);
}

TEST(Sample, StartPlayStaysInsideTheSample)
{
    struct Case { int frame; int expected; };
    const std::vector<Case> cases = {{-1, 0}, {0, 0}, {50, 50}, {99, 99}, {100, 99}, {1000, 99}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.frame);
        TestSample t(100);
        t.sample.setStartPlay(c.frame);
        EXPECT_EQ(t.sample.getStartPlay(), c.expected);
    }
}

TEST(Sample, RootNoteRatioIsARepeatedSemitoneProduct)
{
    struct Case { int note; double expected; };
    const std::vector<Case> cases = {
        {60, 1.0}, {59, kSemitone}, {61, 1.0 / kSemitone}, {48, 2.0}, {72, 0.5}, {36, 4.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "note " << c.note);
        Sample s;
        s.setRootNote(c.note);
        EXPECT_NEAR(s.getRootRatio(), c.expected, c.expected * 1e-10);
        double product = 1.0;
        for (int n = c.note; n < 60; ++n)
            product *= kSemitone;
        for (int n = c.note; n > 60; --n)
            product /= kSemitone;
        EXPECT_DOUBLE_EQ(s.getRootRatio(), product);
    }
}
