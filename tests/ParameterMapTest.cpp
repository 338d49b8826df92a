// The host parameters: index layout, names, display texts, sets and gets,
// hostile values and slot renumbering.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace test;

namespace {

// Records what would reach the editor.
class WatchedSynth : public Volantor2
{
public:
    WatchedSynth() : Volantor2(nullptr) {}
    std::vector<std::pair<int, float>> forwarded;

private:
    void notifyEditorOfParameter(int index, float value) override { forwarded.emplace_back(index, value); }
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class ParameterMapTest : public ::testing::Test
{
protected:
    ParameterMapTest()
    {
        synth.getRack(0)->clear();
        synth.setSampleRate(44100.f);
        synth.setBlockSize(256);
    }

    // Instruments whose samples have `frames` frames each.
    Instrument* add(int frames = 1000)
    {
        data.emplace_back(new SampleData{ramp(frames), {}});
        Instrument* instrument = makeInstrument(synth, *data.back());
        EXPECT_TRUE(synth.getRack(0)->addInstrument(instrument));
        return instrument;
    }

    std::string name(int index)
    {
        char text[64];
        std::memset(text, 'x', sizeof(text));
        synth.getParameterName(index, text);
        return text;
    }

    std::string display(int index)
    {
        char text[64];
        std::memset(text, 'x', sizeof(text));
        synth.getParameterDisplay(index, text);
        return text;
    }

    std::string floatText(float value)
    {
        char text[16];
        synth.float2string(value, text, 8);
        return text;
    }

    std::vector<float> allValues()
    {
        std::vector<float> values;
        for (int i = 0; i < Volantor2::kParameters; ++i)
            values.push_back(synth.getParameter(i));
        return values;
    }

    WatchedSynth synth;
    std::vector<std::unique_ptr<SampleData>> data;
};

} // namespace

TEST_F(ParameterMapTest, MissingSlotIsInertAndNotForwarded)
{
    add();
    add();
    const std::vector<float> before = allValues();
    const float grainAdvance = synth.getRack(0)->getInstrumentAt(1)->getGrainAdvance();

    for (int index : {44, 44 + 21, 648, 649, 650, 651}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(name(index), "");
        EXPECT_EQ(synth.getParameter(index), 0.f);
        EXPECT_EQ(display(index), "reserved");
        synth.setParameter(index, 0.3f);
    }
    EXPECT_EQ(allValues(), before);
    EXPECT_EQ(synth.getRack(0)->getInstrumentAt(1)->getGrainAdvance(), grainAdvance);
    EXPECT_TRUE(synth.forwarded.empty());

    synth.setParameter(21, 0.3f);
    ASSERT_EQ(synth.forwarded.size(), 1u);
    EXPECT_EQ(synth.forwarded[0], std::make_pair(21, 0.3f));
}

TEST_F(ParameterMapTest, Names)
{
    add();
    add()->setSourceKind(Instrument::kBuiltinFixed);
    const std::pair<int, const char*> cases[] = {
        {0, "#1 volume"}, {5, "#1 loop"}, {21, "#1 default"}, {22 + 10, "#2 vol A"}, {22 + 17, "#2 pitch EG"},
        {44, ""}, {511, ""},
        {512, "dly time"}, {513, "dly feedback"}, {514, "dly volume"}, {515, "dly spread"},
        {516, "dly active"}, {517, "dly sync"}, {518, "dly pingpong"}, {519, "dly default"}, {520, ""},
        {575, ""}, {576, "Master Vol"}, {577, "Master Tun"}, {578, "Vel. Sens."}, {579, "pb range"},
        {580, "Phaser on"}, {581, "Phaser dpth"}, {582, "Phaser fdbk"}, {583, "Phaser rate"},
        {584, "Phaser dry/wet"}, {585, ""}, {587, ""}, {639, ""},
        {640, "#1 Loop Start"}, {641, "#1 Loop End"}, {642, "#1 Start play"}, {643, "#1 reserved"},
        {644, ""}, {647, ""}, {648, ""}, // slot 1 is of source kind 1, slot 2 is empty
        {704, ""}, {767, ""}, {768, ""}, {-1, ""}, {INT_MAX, ""}, {INT_MIN, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(name(c.first), c.second) << c.first;
}

TEST_F(ParameterMapTest, LongestNameFitsSixteenBytes)
{
    for (int i = 0; i < Rack::kMaxInstruments; ++i)
        add();
    char text[20];
    std::memset(text, '*', sizeof(text));
    synth.getParameterName(15 * 22 + Instrument::kInterpolate, text);
    EXPECT_STREQ(text, "#16 interpolate");
    for (size_t i = 16; i < sizeof(text); ++i)
        EXPECT_EQ(text[i], '*') << i;
    for (int index = 0; index < Volantor2::kParameters; ++index)
        EXPECT_LE(name(index).size(), 15u) << index;
}

TEST_F(ParameterMapTest, DisplaysAndLabels)
{
    add();
    add()->setSourceKind(Instrument::kBuiltinFixed);
    synth.currentProgram().pitchBendRange = 0.25f;
    EXPECT_EQ(display(576), "1.000000");
    EXPECT_EQ(display(579), "0.250000");
    EXPECT_EQ(display(0), floatText(synth.getParameter(0)));
    EXPECT_EQ(display(512), floatText(synth.getDelay().getParameter(0)));
    EXPECT_EQ(display(583), "0.500000");
    EXPECT_EQ(display(587), "0.000000");
    EXPECT_EQ(display(704), "0.000000");
    for (int index : {520, 588, 639, 644, 645, 705, 767, 768, -1})
        EXPECT_EQ(display(index), "reserved") << index;

    for (int index = -2; index <= 770; ++index) {
        char text[4] = {'x', 'x', 'x', 'x'};
        synth.getParameterLabel(index, text);
        EXPECT_STREQ(text, "") << index;
    }
    for (int index = 0; index < Volantor2::kParameters; ++index)
        EXPECT_LE(display(index).size(), 8u) << index;
}

TEST_F(ParameterMapTest, InstrumentParameters)
{
    Instrument* first = add();
    Instrument* second = add();
    const float secondAdvance = second->getGrainAdvance();
    synth.setParameter(21, 0.3f);
    EXPECT_FLOAT_EQ(first->getGrainAdvance(), (float)((1000 / 2 - 2) * (1 - 0.3f) + 2));
    EXPECT_EQ(second->getGrainAdvance(), secondAdvance);
    EXPECT_EQ(synth.getParameter(21), 0.3f);

    synth.setParameter(22 + Instrument::kReverse, 1.f);
    EXPECT_TRUE(second->isReverse());
    EXPECT_FALSE(first->isReverse());
}

TEST_F(ParameterMapTest, InstrumentParametersRoundTripInFullRack)
{
    for (int i = 0; i < Rack::kMaxInstruments; ++i)
        add();
    ASSERT_EQ(synth.getRack(0)->getCount(), 16);
    for (int index = 0; index < 16 * 22; ++index)
        synth.setParameter(index, (float)(index + 1) / 400.f);
    for (int slot = 0; slot < 16; ++slot) {
        const Instrument* instrument = synth.getRack(0)->getInstrumentAt(slot);
        for (int k = 0; k < 22; ++k) {
            const int index = 22 * slot + k;
            EXPECT_EQ(synth.getParameter(index), (float)(index + 1) / 400.f) << index;
            EXPECT_EQ(instrument->getParameterRecord(k).value, (float)(index + 1) / 400.f) << index;
            EXPECT_EQ(display(index), floatText((float)(index + 1) / 400.f)) << index;
        }
    }
    for (int index = 16 * 22; index < 512; ++index)
        EXPECT_EQ(synth.getParameter(index), 0.f) << index;
}

TEST_F(ParameterMapTest, DelayParameters)
{
    for (int k = 0; k < 8; ++k) {
        synth.setParameter(512 + k, 0.75f);
        EXPECT_EQ(synth.getParameter(512 + k), synth.getDelay().getParameter(k)) << k;
        EXPECT_EQ(display(512 + k), floatText(synth.getDelay().getParameter(k))) << k;
    }
    EXPECT_EQ(synth.getParameter(513), 0.75f);
    EXPECT_EQ(synth.getParameter(519), 0.75f);
}

TEST_F(ParameterMapTest, GlobalAndPhaserParameters)
{
    const Phaser untouched = synth.getPhaser();
    struct Case
    {
        int index;
        float value;
    };
    for (const Case& c : {Case{576, 0.1f}, Case{577, 0.2f}, Case{578, 0.3f}, Case{579, 0.4f}, Case{704, 0.25f}}) {
        synth.setParameter(c.index, c.value);
        EXPECT_EQ(synth.getParameter(c.index), c.value) << c.index;
    }
    const Program& program = synth.currentProgram();
    EXPECT_EQ(program.masterVolume, 0.1f);
    EXPECT_EQ(program.masterTune, 0.2f);
    EXPECT_EQ(program.velocitySensitivity, 0.3f);
    EXPECT_EQ(program.pitchBendRange, 0.4f);
    EXPECT_EQ(program.selectedInstrument, 0.25f);

    synth.setParameter(580, 1.f);
    EXPECT_EQ(synth.getPhaser().getDepth(), untouched.getDepth());
    EXPECT_EQ(synth.getPhaser().getFeedback(), untouched.getFeedback());
    EXPECT_EQ(synth.getPhaser().getRate(), untouched.getRate());
    synth.setParameter(581, 0.2f);
    synth.setParameter(582, 0.3f);
    synth.setParameter(583, 0.5f);
    synth.setParameter(584, 0.4f);
    synth.setParameter(586, 0.6f);
    EXPECT_EQ(synth.getPhaser().getDepth(), 0.2f);
    EXPECT_EQ(synth.getPhaser().getFeedback(), 0.3f);
    EXPECT_FLOAT_EQ(synth.getPhaser().getRate(), 0.5f / 44100.f * 6.28318f);
    EXPECT_EQ(synth.getPhaserMix(), 0.4f);
    const float expected[8] = {1.f, 0.2f, 0.3f, 0.5f, 0.4f, 0.f, 0.6f, 0.f};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(program.phaser.values[k], expected[k]) << k;
        EXPECT_EQ(synth.getParameter(580 + k), expected[k]) << k;
    }

    // Another program holds its own globals.
    synth.setProgram(1);
    EXPECT_EQ(synth.getParameter(576), 1.f);
    EXPECT_EQ(synth.getParameter(583), 0.5f);
}

TEST_F(ParameterMapTest, LoopPoints)
{
    Sample* sample = sampleOf(add(1000));
    ASSERT_EQ(sample->getFrames(), 1000);
    synth.setParameter(641, 0.5f);
    EXPECT_EQ(sample->getLoopEnd(), 500);
    EXPECT_EQ(display(641), "500");
    EXPECT_EQ(synth.getParameter(641), 0.5f);

    synth.setParameter(640, 0.25f);
    EXPECT_EQ(sample->getLoopStart(), 250);
    EXPECT_EQ(display(640), "250");
    synth.setParameter(640, 0.9f); // clamped below the loop end
    EXPECT_EQ(sample->getLoopStart(), 499);
    synth.setParameter(642, 0.1f);
    EXPECT_EQ(sample->getStartPlay(), 100);
    EXPECT_FLOAT_EQ(synth.getParameter(642), 0.1f);

    synth.setParameter(643, 0.7f);
    EXPECT_EQ(display(643), "reserved");
    EXPECT_EQ(synth.getParameter(643), 0.f);
    EXPECT_EQ(sample->getLoopStart(), 499);
    EXPECT_EQ(sample->getLoopEnd(), 500);
    EXPECT_EQ(sample->getStartPlay(), 100);

    // Source kind 1 takes no loop points.
    Instrument* fixed = add(1000);
    fixed->setSourceKind(Instrument::kBuiltinFixed);
    Sample* fixedSample = sampleOf(fixed);
    synth.setParameter(645, 0.5f);
    EXPECT_EQ(fixedSample->getLoopEnd(), 999);
    EXPECT_EQ(synth.getParameter(645), 0.f);
    EXPECT_EQ(display(645), "reserved");
}

TEST_F(ParameterMapTest, HostileValuesKeepStateInRange)
{
    add(1000);
    add(1);
    const int indices[] = {0, 2, 3, 12, 21, 22, 43, 512, 513, 519, 576, 577, 578, 579, 580, 581, 582,
                           583, 584, 587, 640, 641, 642, 644, 645, 646, 704};
    for (float value : {kNaN, -5.f, 7.f, kInf, -kInf, 1e30f}) {
        for (int index : indices)
            synth.setParameter(index, value);
        for (int index : {-1, 768, 100000, INT_MAX, INT_MIN})
            synth.setParameter(index, value);
        for (int index = 0; index < Volantor2::kParameters; ++index) {
            const float v = synth.getParameter(index);
            EXPECT_TRUE(v >= 0.f && v <= 1.f) << index << " after " << value;
        }
        const Program& program = synth.currentProgram();
        for (float v : {program.masterVolume.load(), program.masterTune.load(), program.velocitySensitivity.load(),
                        program.pitchBendRange.load(), program.selectedInstrument.load(), synth.getPhaserMix(),
                        synth.getPhaser().getDepth(), synth.getPhaser().getFeedback()})
            EXPECT_TRUE(v >= 0.f && v <= 1.f) << value;
        for (float v : program.phaser.values)
            EXPECT_TRUE(v >= 0.f && v <= 1.f) << value;
        EXPECT_TRUE(std::isfinite(synth.getPhaser().getRate()));
        for (int slot = 0; slot < 2; ++slot) {
            Instrument* instrument = synth.getRack(0)->getInstrumentAt(slot);
            EXPECT_TRUE(std::isfinite(instrument->getGrainAdvance()));
            EXPECT_TRUE(std::isfinite(instrument->getTuningRatio()));
            const Sample* sample = sampleOf(instrument);
            for (int position : {sample->getLoopStart(), sample->getLoopEnd(), sample->getStartPlay()})
                EXPECT_TRUE(position >= 0 && position < sample->getFrames()) << slot << " after " << value;
        }
    }
    // The clamped value is what reaches the editor.
    synth.forwarded.clear();
    synth.setParameter(704, kNaN);
    synth.setParameter(576, 7.f);
    ASSERT_EQ(synth.forwarded.size(), 2u);
    EXPECT_EQ(synth.forwarded[0], std::make_pair(704, 0.f));
    EXPECT_EQ(synth.forwarded[1], std::make_pair(576, 1.f));
}

TEST_F(ParameterMapTest, IndicesFollowSlotsAfterRemoval)
{
    add(1000);
    Instrument* second = add(2000);
    Instrument* third = add(4000);
    synth.setParameter(22 + Instrument::kVolume, 0.3f);
    synth.setParameter(44 + Instrument::kVolume, 0.6f);
    synth.setParameter(644 + 1, 0.5f);
    EXPECT_EQ(sampleOf(second)->getLoopEnd(), 1000);

    synth.getRack(0)->removeInstrumentAt(0);
    ASSERT_EQ(synth.getRack(0)->getInstrumentAt(0), second);
    EXPECT_EQ(synth.getParameter(0), 0.3f);
    EXPECT_EQ(synth.getParameter(22), 0.6f);
    EXPECT_EQ(name(44), "");
    EXPECT_EQ(synth.getParameter(44), 0.f);
    EXPECT_EQ(display(641), "1000");
    EXPECT_EQ(name(645), "#2 Loop End");
    EXPECT_EQ(name(649), "");

    synth.setParameter(22 + Instrument::kPan, 0.1f);
    EXPECT_EQ(third->getPan(), 0.1f);
}
