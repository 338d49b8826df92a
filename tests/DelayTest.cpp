// The delay: its parameter records, the time table and tempo sync, the echo
// path with feedback and ping-pong, clearing, hostile values, and the echo in
// a block rendered by the plug-in.
#include "TestSupport.h"

#include "engine/Delay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace test;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

struct Stereo
{
    std::vector<float> left, right;
    explicit Stereo(int frames) : left(frames, 0.f), right(frames, 0.f) {}
};

// Runs `signal` through the delay in blocks of `block` frames.
void run(Delay& delay, Stereo& signal, int block)
{
    const int frames = (int)signal.left.size();
    for (int done = 0; done < frames; done += block) {
        float* buffers[2] = {signal.left.data() + done, signal.right.data() + done};
        delay.process(buffers, frames - done < block ? frames - done : block);
    }
}

// Active, time `time`, no ping-pong, volume 1 and the given feedback.
void setUp(Delay& delay, int time, float feedback)
{
    delay.setParameter(5, 0.f);
    delay.setTime(time);
    delay.setParameter(1, feedback);
    delay.setParameter(2, 1.f);
    delay.setParameter(4, 1.f);
}

} // namespace

TEST(Delay, RecordsStartAsTheParameterTableSays)
{
    struct Row
    {
        const char* name;
        int range, defaultValue;
        float value;
    };
    const Row rows[] = {{"time", 8, 5, 0.625f},  {"feedback", 100, 15, 0.f}, {"volume", 100, 25, 0.5f},
                        {"spread", 100, 0, 0.f}, {"active", 1, 0, 0.f},       {"sync", 1, 0, 1.0f},
                        {"pingpong", 1, 0, 0.f}, {"default", 100, 0, 0.f}};
    Delay delay(44100);
    ASSERT_EQ(delay.getParameterCount(), 8);
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        const Parameter& p = delay.getParameterRecord(k);
        EXPECT_EQ(p.name, rows[k].name);
        EXPECT_EQ(p.range, rows[k].range);
        EXPECT_EQ(p.start, 0);
        EXPECT_EQ(p.defaultValue, rows[k].defaultValue);
        EXPECT_EQ(p.value, rows[k].value);
        EXPECT_EQ(delay.getParameter(k), rows[k].value);
    }
    EXPECT_EQ(delay.getParameter(8), 0.f);
    EXPECT_EQ(delay.getParameter(-1), 0.f);
    EXPECT_FALSE(delay.isActive());
    EXPECT_TRUE(delay.isSync());
    EXPECT_FALSE(delay.isPingPong());
    EXPECT_EQ(delay.getSamplePerBeat(), 22050.0);
}

TEST(Delay, TimeTableAt120BeatsPerMinute)
{
    struct Case
    {
        bool sync;
        float value;
        int expected; // -1: the previous time stays
    };
    const Case cases[] = {
        {true, 0.625f, 11025}, {true, 0.75f, 22050}, {true, 0.875f, -1}, {true, 1.0f, -1},
        {true, 0.f, 344},      {true, 0.125f, 689},  {true, 0.5f, 5512}, {true, 0.124f, 344},
        {false, 0.5f, 22050},  {false, 0.f, 1},      {false, 1.0f, -1},  {false, 0.1f, 4410},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sync " << c.sync << " value " << c.value);
        Delay delay(44100);
        delay.setSamplePerBeat(120.0, 44100.0);
        delay.setParameter(5, c.sync ? 1.f : 0.f);
        delay.setTime(777);
        delay.setParameter(0, c.value);
        EXPECT_EQ(delay.getTime(), c.expected < 0 ? 777 : c.expected);
        EXPECT_EQ(delay.getParameter(0), c.value);
    }
}

TEST(Delay, SyncReappliesTheStoredTimeAtTheCurrentTempo)
{
    Delay delay(44100);
    delay.setSamplePerBeat(120.0, 44100.0);
    delay.setParameter(0, 0.625f);
    ASSERT_EQ(delay.getTime(), 11025);

    // A tempo change alone leaves the time alone.
    delay.setSamplePerBeat(60.0, 44100.0);
    EXPECT_EQ(delay.getSamplePerBeat(), 44100.0);
    EXPECT_EQ(delay.getTime(), 11025);

    // Sync off: the knob shows 0..100 and the time stays.
    delay.setParameter(5, 0.2f);
    EXPECT_FALSE(delay.isSync());
    EXPECT_EQ(delay.getParameter(5), 0.f);
    EXPECT_EQ(delay.getParameterRecord(0).range, 100);
    EXPECT_EQ(delay.getTime(), 11025);

    // Sync on: half a beat at 60 BPM.
    delay.setParameter(5, 0.8f);
    EXPECT_TRUE(delay.isSync());
    EXPECT_EQ(delay.getParameter(5), 1.f);
    EXPECT_EQ(delay.getParameterRecord(0).range, 8);
    EXPECT_EQ(delay.getTime(), 22050);

    // A value set while sync is off counts in samples, then in beats once sync is back.
    delay.setParameter(5, 0.f);
    delay.setParameter(0, 0.5f);
    EXPECT_EQ(delay.getTime(), 22050);
    delay.setParameter(5, 1.f);
    EXPECT_EQ(delay.getTime(), 11025);
}

TEST(Delay, SwitchesAreStoredAsZeroOrOne)
{
    struct Case
    {
        int k;
        float value, stored;
        bool on;
    };
    const Case cases[] = {{4, 0.3f, 0.f, false}, {4, 0.5f, 1.f, true},  {4, 0.49f, 0.f, false},
                          {4, kNaN, 0.f, false}, {4, 7.f, 1.f, true},   {4, -3.f, 0.f, false},
                          {6, 0.3f, 0.f, false}, {6, 0.5f, 1.f, true},  {6, kInf, 1.f, true},
                          {6, kNaN, 0.f, false}, {5, 0.49f, 0.f, false}, {5, 0.5f, 1.f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "k " << c.k << " value " << c.value);
        Delay delay(44100);
        delay.setParameter(c.k, c.value);
        EXPECT_EQ(delay.getParameter(c.k), c.stored);
        const bool on = c.k == 4 ? delay.isActive() : c.k == 5 ? delay.isSync() : delay.isPingPong();
        EXPECT_EQ(on, c.on);
    }
}

TEST(Delay, ImpulseComesBackTimeFramesLaterAcrossBlocks)
{
    for (int block : {1, 37, 64, 100, 101, 512}) {
        SCOPED_TRACE(block);
        Delay delay(44100);
        setUp(delay, 100, 0.f);
        Stereo s(512);
        s.left[0] = s.right[0] = 1.5f;
        run(delay, s, block);
        for (int j = 0; j < 512; ++j) {
            const float expected = j == 0 ? 1.5f : j == 100 ? 2.0f : 0.f;
            ASSERT_EQ(s.left[j], expected) << j;
            ASSERT_EQ(s.right[j], expected) << j;
        }
    }
}

TEST(Delay, EchoesDecayByTheFeedback)
{
    for (float feedback : {0.25f, 0.5f, 0.9f, 1.0f}) {
        SCOPED_TRACE(feedback);
        Delay delay(44100);
        setUp(delay, 50, feedback);
        delay.setParameter(2, 0.5f);
        Stereo s(300);
        s.left[0] = 3.f;
        run(delay, s, 64);
        float echo = 2.f; // (3 + 0) / 1.5 enters the line
        for (int j = 1; j < 300; ++j) {
            if (j % 50 == 0) {
                EXPECT_FLOAT_EQ(s.left[j], echo * 0.5f) << j;
                EXPECT_FLOAT_EQ(s.right[j], echo * 0.5f) << j;
                echo *= feedback;
            } else {
                ASSERT_EQ(s.left[j], 0.f) << j;
                ASSERT_EQ(s.right[j], 0.f) << j;
            }
        }
    }
}

TEST(Delay, PingPongEchoesAlternateSides)
{
    const int time = 2000;
    Delay delay(44100);
    setUp(delay, time, 0.5f);
    delay.setParameter(6, 1.f);
    Stereo s(5 * time + 1);
    s.left[0] = s.right[0] = 1.5f;
    run(delay, s, 256);

    // The side starts false and flips at the wrap before each echo; the fade
    // has already taken one step by the echo's frame.
    const float fade = 1.f - 50.f / 44100.f;
    float echo = 2.f;
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE(k);
        const int j = k * time;
        const float favoured = k % 2 ? s.right[j] : s.left[j];
        const float other = k % 2 ? s.left[j] : s.right[j];
        EXPECT_FLOAT_EQ(favoured, fade * echo);
        EXPECT_FLOAT_EQ(other, (1.f - fade) * echo);
        EXPECT_GT(favoured, 100.f * other);
        echo *= 0.5f;
    }
    for (int j = 1; j < (int)s.left.size(); ++j) {
        if (j % time != 0) {
            ASSERT_TRUE(s.left[j] == 0.f && s.right[j] == 0.f) << j;
        }
    }
}

TEST(Delay, PingPongGlidesToTheOtherSideWithinAFiftiethOfASecond)
{
    // A constant input: after the first wrap the echo moves from the right
    // to the left in 882 frames at 44100 Hz.
    const int time = 2000;
    Delay delay(44100);
    setUp(delay, time, 0.f);
    delay.setParameter(6, 1.f);
    Stereo s(2 * time);
    for (int j = 0; j < 2 * time; ++j)
        s.left[j] = s.right[j] = 0.75f;
    run(delay, s, 300);
    EXPECT_GT(s.right[time] - 0.75f, 0.99f);
    EXPECT_LT(s.left[time] - 0.75f, 0.01f);
    EXPECT_NEAR(s.left[time + 441] - 0.75f, s.right[time + 441] - 0.75f, 0.01f);
    EXPECT_FLOAT_EQ(s.left[time + 900], 0.75f + 1.f);
    EXPECT_FLOAT_EQ(s.right[time + 900], 0.75f);
}

TEST(Delay, SwitchingOffClearsTheLine)
{
    Delay delay(44100);
    setUp(delay, 100, 0.9f);
    Stereo first(50);
    first.left[0] = first.right[0] = 1.5f;
    run(delay, first, 50);

    delay.setParameter(4, 0.3f);
    EXPECT_FALSE(delay.isActive());
    EXPECT_EQ(delay.getParameter(4), 0.f);
    Stereo passing(64);
    passing.left[3] = 0.25f;
    run(delay, passing, 64);
    EXPECT_EQ(passing.left[3], 0.25f);

    delay.setParameter(4, 0.5f);
    EXPECT_TRUE(delay.isActive());
    EXPECT_EQ(delay.getParameter(4), 1.f);
    Stereo later(1000);
    run(delay, later, 128);
    for (int j = 0; j < 1000; ++j)
        ASSERT_TRUE(later.left[j] == 0.f && later.right[j] == 0.f) << j;
}

TEST(Delay, HostileValuesStayInsideTheLineAndFinite)
{
    const float hostile[] = {kNaN, kInf, -kInf, -1.f, 2.f, 1e30f, -1e30f, 0.9999999f, 1.0000001f};
    Delay delay(44100);
    delay.setParameter(4, 1.f);
    delay.setParameter(6, 1.f);
    for (int k = -1; k <= 8; ++k) {
        for (float v : hostile) {
            SCOPED_TRACE(testing::Message() << "k " << k << " value " << v);
            delay.setParameter(k, v);
            for (int r = 0; r < 8; ++r) {
                const float stored = delay.getParameter(r);
                ASSERT_TRUE(stored >= 0.f && stored <= 1.f) << r;
            }
            ASSERT_GE(delay.getTime(), 1);
            ASSERT_LT(delay.getTime(), 44100);
        }
    }
    for (float v : hostile) {
        for (bool sync : {false, true}) {
            delay.setParameter(5, sync ? 1.f : 0.f);
            delay.setTimeF(v);
            ASSERT_GE(delay.getTime(), 1);
            ASSERT_LT(delay.getTime(), 44100);
        }
    }

    // Tempo: 0 and non-finite values are ignored.
    delay.setSamplePerBeat(100.0, 48000.0);
    for (double bad : {0.0, (double)NAN, (double)INFINITY, 1e-320})
        delay.setSamplePerBeat(bad, 44100.0);
    delay.setSamplePerBeat(120.0, 0.0);
    EXPECT_EQ(delay.getSamplePerBeat(), 28800.0);

    struct TimeCase
    {
        int samples, expected;
    };
    const TimeCase times[] = {{-5, 1}, {0, 1}, {44100, 1}, {44099, 44099}, {1 << 30, 44099}, {7, 7}};
    delay.setTime(500);
    for (const TimeCase& c : times) {
        delay.setTime(c.samples);
        EXPECT_EQ(delay.getTime(), c.expected) << c.samples;
    }

    // Full feedback with loud noise and time changes between blocks stays finite.
    delay.setParameter(1, 5.f);
    delay.setParameter(2, kNaN);
    delay.setParameter(2, 3.f);
    delay.setParameter(4, 1.f);
    unsigned seed = 1;
    for (int b = 0; b < 200; ++b) {
        Stereo s(256);
        for (int j = 0; j < 256; ++j) {
            seed = seed * 1664525u + 1013904223u;
            s.left[j] = s.right[j] = (float)(seed >> 8) / 16777216.f * 2.f - 1.f;
        }
        delay.setTime(b % 2 ? 3000 : 5);
        run(delay, s, 256);
        for (int j = 0; j < 256; ++j)
            ASSERT_TRUE(std::isfinite(s.left[j]) && std::isfinite(s.right[j])) << b << " " << j;
    }
}

TEST(Delay, PluginBlockCarriesTheEcho)
{
    SampleData data;
    data.left = ramp(50000);
    std::unique_ptr<Volantor2> dry = makeSynth(256);
    std::unique_ptr<Volantor2> wet = makeSynth(256);
    for (Volantor2* synth : {dry.get(), wet.get()}) {
        ASSERT_TRUE(synth->getRack(0)->addInstrument(makeInstrument(*synth, data)));
        synth->play(60, 100, 0, 0);
    }
    Delay& delay = wet->getDelay();
    setUp(delay, 300, 0.f);

    // 1000 frames: the host block is rendered in pieces of 256.
    const Block a = render(*dry, 1000);
    const Block b = render(*wet, 1000);
    float loudest = 0.f;
    for (int j = 0; j < 1000; ++j) {
        const float echo = j < 300 ? 0.f : (a.left[j - 300] + a.right[j - 300]) / 1.5f;
        ASSERT_FLOAT_EQ(b.left[j], a.left[j] + echo) << j;
        ASSERT_FLOAT_EQ(b.right[j], a.right[j] + echo) << j;
        loudest = std::fabs(echo) > loudest ? std::fabs(echo) : loudest;
    }
    EXPECT_GT(loudest, 0.1f);
}
