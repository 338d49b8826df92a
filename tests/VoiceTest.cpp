// Voice rendering: pitch, pan, looping, reverse, interpolation, channel
// filters, grains, envelopes and the velocity and bend curves.
#include "TestSupport.h"

#include "engine/PitchTables.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace test;

namespace {

class VoiceTest : public ::testing::Test
{
protected:
    std::unique_ptr<Volantor2> synth = makeSynth(256);
    SampleData data;
    Instrument* instrument = nullptr;

    Instrument* add(int frames, bool stereo = false)
    {
        data.left = ramp(frames);
        if (stereo) {
            data.right = data.left;
            for (float& v : data.right)
                v = -v;
        }
        instrument = makeInstrument(*synth, data);
        EXPECT_TRUE(synth->getRack(0)->addInstrument(instrument));
        return instrument;
    }

    Voice* voice0() { return synth->getVoice(0); }

    // Releases everything and renders until every voice is free again.
    void silence()
    {
        synth->allNoteOff(0);
        render(*synth, 20000);
    }
};

double semitoneSteps(int n)
{
    double r = 1.0;
    for (int i = 0; i < n; ++i)
        r *= kSemitone;
    return r;
}

} // namespace

TEST_F(VoiceTest, NoteSixtyReproducesTheSampleExactly)
{
    add(2000, true);
    synth->play(60, 100, 0, 0);
    Block b = render(*synth, 256);
    for (int k = 0; k < 256; ++k) {
        ASSERT_EQ(b.left[k], data.left[k]) << k;
        ASSERT_EQ(b.right[k], data.right[k]) << k;
    }
    EXPECT_DOUBLE_EQ(instrument->position[0], 256.0);
}

TEST_F(VoiceTest, NotesMoveThePlayPositionBySemitoneFactors)
{
    struct Case { int note; double perFrame; };
    const Case cases[] = {{60, 1.0}, {72, semitoneSteps(12)}, {48, 1.0 / semitoneSteps(12)}, {61, kSemitone}};
    add(20000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        synth->play(c.note, 100, 0, 0);
        Voice* v = synth->getNoteTableEntry(c.note, 0);
        ASSERT_NE(v, nullptr);
        render(*synth, 100);
        EXPECT_NEAR(instrument->position[v->getId()], 100 * c.perFrame, 1e-9);
        silence();
    }
    EXPECT_NEAR(semitoneSteps(12), 2.0, 1e-6);
}

TEST_F(VoiceTest, PanLaws)
{
    struct Case { float pan; float left; float right; };
    const Case cases[] = {{0.5f, 1.f, 1.f}, {0.f, 1.f, 0.f}, {0.25f, 1.f, 0.5f}, {1.f, 0.f, 1.f}, {0.75f, 0.5f, 1.f}};
    add(2000);
    for (float& v : data.left)
        v = 0.5f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pan);
        instrument->setParameter(Instrument::kPan, c.pan);
        synth->play(60, 100, 0, 0);
        Block b = render(*synth, 16);
        EXPECT_FLOAT_EQ(b.left[8], 0.5f * c.left);
        EXPECT_FLOAT_EQ(b.right[8], 0.5f * c.right);
        silence();
    }
}

TEST_F(VoiceTest, ForwardLoopWrapsPastTheLoopEnd)
{
    add(1000);
    instrument->setParameter(Instrument::kLoop, 1.f);
    Sample* s = sampleOf(instrument);
    s->setLoopStart(100);
    s->setLoopEnd(200);
    synth->play(60, 100, 0, 0);
    instrument->position[0] = 200.5;
    Block b = render(*synth, 1);
    EXPECT_EQ(b.left[0], data.left[100]);
    EXPECT_DOUBLE_EQ(instrument->position[0], 101.5);
}

TEST_F(VoiceTest, ReverseLoopWrapsBeforeTheLoopStart)
{
    add(1000);
    instrument->setParameter(Instrument::kLoop, 1.f);
    instrument->setParameter(Instrument::kReverse, 1.f);
    Sample* s = sampleOf(instrument);
    s->setLoopStart(100);
    s->setLoopEnd(200);
    synth->play(60, 100, 0, 0);
    instrument->position[0] = 99.5; // loop start >= pos: continue at pos - start + end
    Block b = render(*synth, 1);
    EXPECT_EQ(b.left[0], data.left[199]);
    EXPECT_DOUBLE_EQ(instrument->position[0], 198.5);
}

TEST_F(VoiceTest, ReverseOneShotStartsAtTheLastFrameAndEndsAtZero)
{
    add(100);
    instrument->setParameter(Instrument::kReverse, 1.f);
    synth->play(60, 100, 0, 0);
    EXPECT_DOUBLE_EQ(instrument->position[0], 99.0);
    Block b = render(*synth, 120);
    for (int k = 0; k < 99; ++k)
        ASSERT_EQ(b.left[k], data.left[99 - k]) << k;
    EXPECT_EQ(b.left[99], 0.f); // position 0 ends the sound
    EXPECT_EQ(instrument->volumeEnvelope[0].getState(), ADSR::idle);
    EXPECT_DOUBLE_EQ(instrument->position[0], 0.0);
}

TEST_F(VoiceTest, ForwardOneShotEndsBeforeItsLastFrameAndTheVoiceWaitsForRelease)
{
    add(1000);
    for (float& v : data.left)
        v = 0.25f;
    synth->play(60, 100, 0, 0);
    Block b1 = render(*synth, 256);
    Block b2 = render(*synth, 256);
    Block b3 = render(*synth, 256);
    Block b4 = render(*synth, 256);
    EXPECT_EQ(b4.left[998 - 768], 0.25f); // frame 998 is the last one played
    EXPECT_EQ(b4.left[999 - 768], 0.f);
    EXPECT_EQ(instrument->volumeEnvelope[0].getState(), ADSR::idle);
    EXPECT_EQ(instrument->pitchEnvelope[0].getState(), ADSR::idle);
    EXPECT_DOUBLE_EQ(instrument->position[0], 999.0);
    EXPECT_TRUE(voice0()->isPlaying());
    synth->stop(60, 0, 0, 0);
    render(*synth, 256);
    EXPECT_FALSE(voice0()->isPlaying());
}

TEST_F(VoiceTest, InterpolationSwitch)
{
    add(1000);
    double step = 1.0; // note 48: about half speed
    for (int i = 0; i < 12; ++i)
        step /= kSemitone;
    for (bool interpolate : {false, true}) {
        SCOPED_TRACE(interpolate);
        instrument->setParameter(Instrument::kInterpolate, interpolate ? 1.f : 0.f);
        synth->play(48, 100, 0, 0);
        Block b = render(*synth, 200);
        double pos = 0;
        for (int k = 0; k < 200; ++k, pos += step) {
            const int i = (int)pos;
            const float d = data.left[i + 1] - data.left[i];
            // Without interpolation frame i plays unchanged for its whole length.
            const float expected = interpolate ? (float)(data.left[i] + d * (pos - i)) : data.left[i];
            ASSERT_EQ(b.left[k], expected) << k;
        }
        silence();
    }
}

TEST_F(VoiceTest, ChannelFilterAdmitsItsChannelAndTheKeyboard)
{
    struct Case { int filter; int channel; bool sounds; };
    const Case cases[] = {{3, 4, false}, {3, 3, true}, {3, -1, true}, {-1, 4, true}, {-1, -1, true}};
    add(1000);
    for (float& v : data.left)
        v = 0.5f;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.filter << " " << c.channel);
        instrument->setMidiChannel(c.filter);
        synth->play(60, 100, 0, c.channel);
        Block b = render(*synth, 32);
        EXPECT_EQ(b.left[10] != 0.f, c.sounds);
        // A filtered instrument does not advance either.
        EXPECT_DOUBLE_EQ(instrument->position[0], c.sounds ? 32.0 : 0.0);
        silence();
    }
}

TEST_F(VoiceTest, PitchBendFollowsTheBendRange)
{
    struct Case { float range; int lsb; int msb; double ratio; double tolerance; };
    const Case cases[] = {
        {0.5f, 127, 127, 1.99983, 1e-5}, {0.5f, 0, 0, 0.5, 0}, {0.5f, 0, 64, 1.0, 0},
        {1.0f, 0, 0, 0.25, 0},          {0.f, 0, 0, 1.0, 0},   {NAN, 0, 0, 1.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        synth->currentProgram().pitchBendRange = c.range;
        voice0()->setPitchBend(c.lsb, c.msb);
        EXPECT_NEAR(voice0()->getBendRatio(), c.ratio, c.tolerance);
    }
}

TEST_F(VoiceTest, VelocityCurve)
{
    struct Case { float sensitivity; int velocity; float level; float tolerance; };
    const Case cases[] = {
        {1.f, 1, 0.05f, 1e-6f},  {1.f, 64, 0.28f, 0.01f}, {1.f, 100, 0.59f, 0.01f}, {1.f, 127, 1.0f, 1e-6f},
        {0.f, 1, 1.0f, 0},       {0.f, 64, 1.0f, 0},      {1.f, 0, 0.f, 0},         {0.f, 0, 0.f, 0},
        {NAN, 64, 1.0f, 0},      {1.f, 300, 1.0f, 1e-6f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sensitivity << " " << c.velocity);
        synth->currentProgram().velocitySensitivity = c.sensitivity;
        EXPECT_NEAR(voice0()->velocityToLevel(c.velocity), c.level, c.tolerance);
    }
}

TEST_F(VoiceTest, VolumeEnvelopeTakesOneExtraStepPerBlock)
{
    add(20000);
    instrument->setParameter(Instrument::kVolA, 0.1f); // 6615 samples of attack
    ADSR reference;
    reference.setAttackRate(0.1f * 1.5f * 44100.f);
    reference.gate();
    synth->play(60, 100, 0, 0);
    for (int block = 0; block < 3; ++block) {
        reference.process(); // the step before the block's first frame
        for (int k = 0; k < 256; ++k)
            reference.process();
        render(*synth, 256);
        ASSERT_EQ(instrument->volumeEnvelope[0].getOutput(), reference.getOutput()) << block;
    }
}

TEST_F(VoiceTest, PitchEnvelopeStepsTwicePerFrame)
{
    add(20000);
    instrument->setParameter(Instrument::kPitchEg, 1.f);     // depth 2: an octave up at the peak
    instrument->setParameter(Instrument::kPitchA, 0.001f);   // 88.2 samples of attack
    ADSR reference;
    reference.setSustainLevel(0.f);
    reference.setAttackRate(0.001f * 2.f * 44100.f);
    reference.gate();
    synth->play(60, 100, 0, 0);
    double expected = 0;
    for (int k = 0; k < 64; ++k) {
        const float p = reference.process();
        expected = expected + 1.0 * (p * 2.0 + 1) * 1.0;
        reference.process();
    }
    render(*synth, 64);
    EXPECT_DOUBLE_EQ(instrument->position[0], expected);
    EXPECT_GT(expected, 64.0);
}

TEST_F(VoiceTest, GrainModeRestartsFromTheAdvancingGrainPosition)
{
    add(20000);
    instrument->setParameter(Instrument::kGrain, 1.f); // advance 91.64, used as 91
    synth->play(60, 100, 0, 0);
    render(*synth, 256);
    EXPECT_EQ(instrument->grainAdvanceWhole, 91);
    render(*synth, 256);
    render(*synth, 256);
    render(*synth, 232); // 1000 frames: the counter reaches the grain size
    EXPECT_DOUBLE_EQ(instrument->position[0], 91.0);
    EXPECT_DOUBLE_EQ(instrument->grainPosition[0], 91.0);
    EXPECT_DOUBLE_EQ(instrument->grainCounter[0], 0.0);
}

TEST_F(VoiceTest, GrainFadesSoftenTheGrainEdges)
{
    add(20000);
    for (float& v : data.left)
        v = 0.5f;
    instrument->setParameter(Instrument::kGrain, 1.f);
    synth->play(60, 100, 0, 0);
    Block b = render(*synth, 100);
    EXPECT_EQ(b.left[0], 0.f);        // counter 0: gain 0
    EXPECT_FLOAT_EQ(b.left[25], 0.25f); // counter 25: gain 0.5
    EXPECT_FLOAT_EQ(b.left[60], 0.5f);  // past the fade: the gain stays at its last value
}

TEST_F(VoiceTest, ReleasedVoiceIsFreedWhenItsEnvelopesFinish)
{
    add(100000);
    synth->play(60, 100, 0, 0);
    render(*synth, 256);
    synth->stop(60, 0, 0, 0);
    EXPECT_TRUE(voice0()->isReleased());
    int blocks = 0;
    while (voice0()->isPlaying() && blocks < 1000) {
        render(*synth, 256);
        ++blocks;
    }
    // "vol R" 0 still releases over a quarter of a second.
    EXPECT_NEAR(blocks * 256, 11025, 600);
    EXPECT_FALSE(voice0()->isReleased());
}

TEST_F(VoiceTest, PositionBeyondTheSampleEndsPlaybackWithoutReading)
{
    add(100);
    instrument->setParameter(Instrument::kReverse, 1.f);
    synth->play(60, 100, 0, 0);
    instrument->position[0] = 5000.0; // as after the sample shrank under the voice
    Block b = render(*synth, 64);
    for (float v : b.left)
        ASSERT_EQ(v, 0.f);
    EXPECT_EQ(instrument->volumeEnvelope[0].getState(), ADSR::idle);
}

TEST_F(VoiceTest, HostileValuesKeepTheAudioFinite)
{
    add(5000, true);
    for (int k = 0; k < Instrument::kParameterCount; ++k)
        instrument->setParameter(k, k % 2 ? NAN : 7.f);
    Program& program = synth->currentProgram();
    program.masterTune = NAN;
    program.velocitySensitivity = -3.f;
    program.pitchBendRange = INFINITY;
    synth->play(60, 127, 0, 0);
    synth->play(90, 1, 3, 1);
    voice0()->setPitchBend(127, 127);
    for (int block = 0; block < 20; ++block) {
        Block b = render(*synth, 256);
        for (int k = 0; k < 256; ++k)
            ASSERT_TRUE(std::isfinite(b.left[k]) && std::isfinite(b.right[k])) << block << " " << k;
    }
}
