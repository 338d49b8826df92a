#include "engine/Instrument.h"
#include "engine/PitchTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

class InstrumentTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { makeFrequencyTab(); }

    // Steps the voice's volume envelope takes until it leaves `state`.
    static int volumeSteps(ADSR& env, int state)
    {
        for (int n = 1; n <= 1000000; ++n) {
            env.process();
            if (env.getState() != state)
                return n;
        }
        return -1;
    }

    static float tuned(int semitone, int cent) { return semitonesTab[semitone] * centsTab[cent]; }

    Instrument inst{512, 44100};
};

} // namespace

TEST_F(InstrumentTest, ParameterRecords)
{
    struct Record { const char* name; int range; int start; int defaultValue; float value; };
    // clang-format off
    const std::vector<Record> records = {
        {"volume", 99, 0, 99, 1.0f},   {"pan", 100, -50, 0, 0.5f},       {"tune", 48, -24, 0, 0.5f},
        {"finetune", 200, -100, 0, 0.5f}, {"showwave", 1, 0, 0, 0.0f},   {"loop", 1, 0, 0, 0.0f},
        {"global", 1, 0, 0, 1.0f},     {"voleg", 1, 0, 0, 0.0f},         {"piteg", 1, 0, 0, 0.0f},
        {"special", 1, 0, 0, 0.0f},    {"vol A", 100, 0, 0, 0.0f},       {"vol D", 100, 0, 0, 0.0f},
        {"vol S", 100, 100, 100, 1.0f}, {"vol R", 100, 0, 0, 0.0f},      {"pitch A", 100, 0, 0, 0.0f},
        {"pitch D", 100, 0, 0, 0.0f},  {"pitch R", 100, 0, 0, 0.0f},     {"pitch EG", 100, 0, 50, 0.5f},
        {"reverse", 1, 0, 0, 0.0f},    {"interpolate", 1, 0, 0, 0.0f},   {"grain", 1, 0, 0, 0.0f},
        {"default", 100, 0, 0, 0.82f},
    };
    // clang-format on
    ASSERT_EQ(inst.getParameterCount(), (int)records.size());
    for (int k = 0; k < inst.getParameterCount(); ++k) {
        SCOPED_TRACE(testing::Message() << "parameter " << k);
        const Parameter& p = inst.getParameterRecord(k);
        EXPECT_EQ(p.name, records[k].name);
        EXPECT_EQ(p.range, records[k].range);
        EXPECT_EQ(p.start, records[k].start);
        EXPECT_EQ(p.defaultValue, records[k].defaultValue);
        EXPECT_EQ(p.value, records[k].value);
    }
}

TEST_F(InstrumentTest, ConstructedState)
{
    EXPECT_EQ(inst.getPitchDepth(), 0.0);
    EXPECT_FLOAT_EQ(inst.getGrainAdvance(), 91.64f);
    EXPECT_EQ(inst.grainAdvanceWhole, 100);
    EXPECT_EQ(inst.getMidiChannel(), -1);
    EXPECT_EQ(inst.getVolume(), 1.0f);
    EXPECT_EQ(inst.getPan(), 0.5f);
    EXPECT_EQ(inst.getTuningRatio(), 1.0);
    EXPECT_EQ(inst.getSamplerate(), 44100);
    EXPECT_FALSE(inst.isReverse() || inst.isInterpolate() || inst.isGrain());
    for (const ADSR& env : inst.volumeEnvelope)
        EXPECT_EQ(env.getSustainLevel(), 1.0f);

    Sample* coin = inst.getDefaultSample();
    EXPECT_EQ(coin->getFrames(), 20107);
    EXPECT_EQ(coin->getChannelCount(), 1);
    EXPECT_EQ(coin->getLoopEnd(), 20106);
    EXPECT_NE(coin->getBuffer(0), nullptr);
    EXPECT_EQ(inst.getSampleCount(), 0);
}

TEST_F(InstrumentTest, TuneAndFinetuneSelectTableEntries)
{
    struct Case { int k; float value; float expected; };
    const std::vector<Case> cases = {
        {Instrument::kTune, 0.5f, tuned(24, 100)},
        {Instrument::kTune, 1.0f, tuned(48, 100)},
        {Instrument::kTune, 0.0f, tuned(0, 100)},
        {Instrument::kTune, 0.75f, tuned(36, 100)},
        {Instrument::kFinetune, 0.5f, tuned(24, 100)},
        {Instrument::kFinetune, 0.0f, tuned(24, 0)},
        {Instrument::kFinetune, 1.0f, tuned(24, 200)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "parameter " << c.k << " value " << c.value);
        Instrument i(64, 44100);
        i.setParameter(c.k, c.value);
        EXPECT_EQ(i.getTuningRatio(), (double)c.expected);
    }
    EXPECT_EQ(tuned(24, 100), 1.0f);
    EXPECT_NEAR(tuned(48, 100), 4.0f, 1e-6f);

    // Both stages combine.
    inst.setParameter(Instrument::kTune, 1.0f);
    inst.setParameter(Instrument::kFinetune, 1.0f);
    EXPECT_EQ(inst.getTuningRatio(), (double)tuned(48, 200));
}

TEST_F(InstrumentTest, PitchEnvelopeDepth)
{
    struct Case { float value; double depth; };
    const std::vector<Case> cases = {{1.0f, 2.0}, {0.75f, 1.0}, {0.5f, 0.0}, {0.25f, -0.25}, {0.0f, -0.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        inst.setParameter(Instrument::kPitchEg, c.value);
        EXPECT_DOUBLE_EQ(inst.getPitchDepth(), c.depth);
    }
}

TEST_F(InstrumentTest, GrainAdvanceFollowsGrainSize)
{
    struct Case { int grainSize; float value; float advance; };
    const std::vector<Case> cases = {
        {1000, 0.82f, 91.64f}, {1000, 0.0f, 500.0f}, {1000, 1.0f, 2.0f}, {1000, 0.5f, 251.0f}, {200, 0.0f, 100.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "grain " << c.grainSize << " value " << c.value);
        inst.setGrainSize(c.grainSize);
        inst.setParameter(Instrument::kGrainAdvance, c.value);
        EXPECT_FLOAT_EQ(inst.getGrainAdvance(), c.advance);
    }
}

TEST_F(InstrumentTest, SwitchesTurnOnAboveHalf)
{
    struct Switch { int k; bool (Instrument::*get)() const; };
    const std::vector<Switch> switches = {
        {Instrument::kReverse, &Instrument::isReverse},
        {Instrument::kInterpolate, &Instrument::isInterpolate},
        {Instrument::kGrain, &Instrument::isGrain},
    };
    struct Case { float value; bool on; };
    const std::vector<Case> cases = {{1.0f, true}, {0.0f, false}, {0.51f, true}, {0.5f, false}};
    for (const Switch& s : switches) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "parameter " << s.k << " value " << c.value);
            inst.setParameter(s.k, c.value);
            EXPECT_EQ((inst.*s.get)(), c.on);
        }
    }
}

TEST_F(InstrumentTest, LoopSwitchesTheCurrentSample)
{
    inst.setParameter(Instrument::kLoop, 1.0f);
    EXPECT_EQ(inst.getDefaultSample()->getLoopStyle(), Sample::loop);
    inst.setParameter(Instrument::kLoop, 0.0f);
    EXPECT_EQ(inst.getDefaultSample()->getLoopStyle(), Sample::noLoop);

    std::vector<float> data(101, 0.0f);
    Instrument withSample(64, 44100);
    auto* s = new Sample;
    s->loadFromHeader(data.data(), (int)data.size(), 0);
    withSample.addSample(s, true);
    withSample.setParameter(Instrument::kLoop, 1.0f);
    EXPECT_EQ(s->getLoopStyle(), Sample::loop);
    EXPECT_EQ(withSample.getDefaultSample()->getLoopStyle(), Sample::noLoop);
}

TEST_F(InstrumentTest, SustainReachesEveryVoice)
{
    inst.setParameter(Instrument::kVolS, 0.25f);
    for (const ADSR& env : inst.volumeEnvelope)
        EXPECT_EQ(env.getSustainLevel(), 0.25f);
}

TEST_F(InstrumentTest, EnvelopeTimesAreSecondsAtTheSampleRate)
{
    {
        SCOPED_TRACE("attack 0");
        inst.setParameter(Instrument::kVolA, 0.0f);
        for (ADSR& env : inst.volumeEnvelope) {
            env.gate();
            EXPECT_EQ(env.process(), 1.0f);
        }
    }
    struct Case { int rate; float value; double steps; };
    const std::vector<Case> cases = {{44100, 0.01f, 661.5}, {48000, 0.01f, 720.0}, {44100, 0.1f, 6615.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "attack " << c.value << " at " << c.rate);
        Instrument i(64, c.rate);
        i.setParameter(Instrument::kVolA, c.value);
        for (int v : {0, Instrument::kVoices - 1}) {
            i.volumeEnvelope[v].gate();
            EXPECT_NEAR(volumeSteps(i.volumeEnvelope[v], ADSR::attack), c.steps, 1.0);
        }
    }
    {
        SCOPED_TRACE("release 0 is a quarter second");
        inst.setParameter(Instrument::kVolR, 0.0f);
        ADSR& env = inst.volumeEnvelope[3];
        env.gate();
        env.process();
        env.process();
        ASSERT_EQ(env.getState(), ADSR::sustain);
        env.doRelease();
        EXPECT_NEAR(volumeSteps(env, ADSR::release), 11025.0, 110.0);
        EXPECT_EQ(env.getOutput(), 0.0f);
    }
}

TEST_F(InstrumentTest, HostileValuesAreStoredClampedAndStayInTheTables)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case { float value; float stored; int semitone; int cent; };
    const std::vector<Case> cases = {
        {std::numeric_limits<float>::quiet_NaN(), 0.0f, 0, 0},
        {-1.0f, 0.0f, 0, 0},
        {-inf, 0.0f, 0, 0},
        {2.0f, 1.0f, 48, 200},
        {inf, 1.0f, 48, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        Instrument i(64, 44100);
        for (int k = 0; k < Instrument::kParameterCount; ++k) {
            i.setParameter(k, c.value);
            EXPECT_EQ(i.getParameterRecord(k).value, c.stored) << "parameter " << k;
        }
        EXPECT_EQ(i.getTuningRatio(), (double)tuned(c.semitone, c.cent));
        EXPECT_TRUE(std::isfinite(i.getPitchDepth()));
        EXPECT_TRUE(std::isfinite(i.getGrainAdvance()));
        EXPECT_EQ(i.getVolume(), c.stored);
        EXPECT_EQ(i.getPan(), c.stored);
    }
}

TEST_F(InstrumentTest, OutOfRangeParameterIndexIsIgnored)
{
    auto snapshot = [](const Instrument& i) {
        std::vector<double> s;
        for (int k = 0; k < i.getParameterCount(); ++k)
            s.push_back(i.getParameterRecord(k).value);
        s.insert(s.end(), {i.getVolume(), i.getPan(), i.getTuningRatio(), i.getPitchDepth(),
                           i.getGrainAdvance(), (double)i.isReverse(), (double)i.isGrain()});
        return s;
    };
    const std::vector<double> before = snapshot(inst);
    inst.setParameter(-1, 0.3f);
    inst.setParameter(Instrument::kParameterCount, 0.3f);
    EXPECT_EQ(snapshot(inst), before);
}

TEST_F(InstrumentTest, SampleSelection)
{
    Sample* coin = inst.getDefaultSample();
    EXPECT_EQ(inst.getSample(0), coin);
    EXPECT_EQ(inst.getSampleRatio(), 1.0);
    EXPECT_EQ(inst.getSample(300), coin);

    // Outlives the instrument: a sample does not own its buffers.
    std::vector<float> data(101, 0.0f);
    Instrument withSample(64, 44100);
    auto* s = new Sample;
    s->loadFromHeader(data.data(), (int)data.size(), 0);
    s->setRootNote(48);
    withSample.addSample(s, true);
    EXPECT_EQ(withSample.getSampleCount(), 1);
    EXPECT_EQ(withSample.getSample(0), s);
    EXPECT_EQ(withSample.getSampleRatio(), s->getRootRatio());
    EXPECT_NEAR(withSample.getSampleRatio(), 2.0, 1e-9);
    EXPECT_EQ(withSample.getSample(300), withSample.getDefaultSample());
}

TEST_F(InstrumentTest, SamplerateOutsideTheUsableRangeFallsBack)
{
    struct Case { int rate; int stored; };
    const std::vector<Case> cases = {{4000, 44100}, {400000, 44100}, {0, 44100}, {-48000, 44100},
                                     {48000, 48000}, {96000, 96000}, {22050, 22050}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rate " << c.rate);
        inst.setSamplerate(c.rate);
        EXPECT_EQ(inst.getSamplerate(), c.stored);
    }
}

TEST_F(InstrumentTest, PeaksOnlyForTwoChannels)
{
    inst.setPeak(0, 0.25f);
    inst.setPeak(1, 0.75f);
    inst.setPeak(2, 0.5f);
    inst.setPeak(-1, 0.5f);
    EXPECT_EQ(inst.getPeak(0), 0.25f);
    EXPECT_EQ(inst.getPeak(1), 0.75f);
    EXPECT_EQ(inst.getPeak(2), 0.0f);
    EXPECT_EQ(inst.getPeak(-1), 0.0f);
}

TEST_F(InstrumentTest, MixBuffersAreZeroedAtEverySize)
{
    for (int size : {512, 1, 4096, 64}) {
        SCOPED_TRACE(testing::Message() << "size " << size);
        if (size != 512)
            inst.adjustBufferSize(size);
        ASSERT_EQ(inst.getMixBufferSize(), size);
        float* left = inst.getMixBuffer(0);
        float* right = inst.getMixBuffer(1);
        ASSERT_NE(left, nullptr);
        ASSERT_NE(right, nullptr);
        ASSERT_NE(left, right);
        EXPECT_TRUE(std::all_of(left, left + size, [](float x) { return x == 0.0f; }));
        EXPECT_TRUE(std::all_of(right, right + size, [](float x) { return x == 0.0f; }));
        // Dirty them so the next size must really clear.
        std::fill(left, left + size, 1.0f);
        std::fill(right, right + size, 1.0f);
    }
}
