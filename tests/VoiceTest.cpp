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

namespace {

// A frame-by-frame model of one voice playing one instrument whose envelopes
// have no attack or decay time: the volume envelope sits at its sustain level
// from the first frame, and the pitch envelope gives 1.0 on the very first
// step and 0 afterwards.
struct ModelCase
{
    const char* name;
    int note;
    bool loop, reverse, interpolate, stereo, grain;
    float pan, pitchEg, tune, finetune, volume, sustain, grainParam;
    int grainSize;
};

struct Model
{
    const ModelCase& c;
    const SampleData& data;
    Instrument& in;
    double vl, step, grainStep, depth, tune;
    float masterVolume;
    int dir;
    double pos, counter = 0, grainPos;
    bool first = true, ended = false;

    // Applies the loop; false when a one-shot sound ends.
    bool wrap(double& p, const Sample& s) const
    {
        const int ls = s.getLoopStart(), le = s.getLoopEnd(), frames = s.getFrames();
        if (c.loop && c.reverse) {
            if (ls >= p) { p = p - ls + le; if (ls >= p) p = le; }
            if (p >= frames) p = le;
        } else if (c.loop) {
            if (p >= le) { p = p - le + ls; if (p >= le) p = ls; }
            if (p < 0) p = ls;
        } else if (c.reverse ? p <= 0 : p >= frames - 1) {
            return false;
        }
        return true;
    }

    void block(const Sample& s, std::vector<float>& outL, std::vector<float>& outR)
    {
        double gg = 1.0;
        for (size_t k = 0; k < outL.size() && !ended; ++k) {
            if (!wrap(pos, s)) { ended = true; break; }
            const float e = c.sustain;
            const int i = (int)pos;
            const float* L = data.left.data();
            const float* R = c.stereo ? data.right.data() : L;
            const float dL = L[i + 1] - L[i], dR = R[i + 1] - R[i];
            if (c.grain) {
                if (counter <= 50) gg = counter / 50;
                if (counter >= c.grainSize - 50) gg = std::fabs(counter - c.grainSize) / 50;
            }
            const double frac = pos - i, f = c.interpolate ? 1 : 0;
            const float lg = (1 - c.pan) > 0.5f ? 1.f : 2 * (1 - c.pan), rg = c.pan > 0.5f ? 1.f : 2 * c.pan;
            const float left = (float)(vl * gg * (double)c.volume * e * lg * (L[i] + dL * frac * f));
            const float right = (float)(vl * gg * (double)c.volume * e * rg * (R[i] + dR * frac * f));
            outL[k] = left * masterVolume;
            outR[k] = right * masterVolume;
            const float p = first ? 1.f : 0.f;
            first = false;
            pos = pos + step * (p * depth + 1) * tune;
            counter += grainStep * (0.f * depth + 1) * tune;
            if (counter >= c.grainSize) {
                const int hop = c.grain ? (int)in.getGrainAdvance() : c.grainSize;
                double g = grainPos + hop * dir;
                const int ls = s.getLoopStart(), le = s.getLoopEnd(), frames = s.getFrames();
                if (c.loop) {
                    if (c.reverse ? ls >= g : g >= le) g = c.reverse ? le : ls;
                    if (g < 0 || g >= frames) g = 0;
                } else {
                    if (g >= frames - 1) g = frames - 1;
                    if (g < 0) g = 0;
                }
                grainPos = g;
                if (c.grain) pos = g;
                counter = 0;
            }
        }
    }
};

} // namespace

// Held notes render through a loop with the block constants hoisted; its
// output must be that of the frame-by-frame arithmetic, bit for bit.
TEST_F(VoiceTest, RenderingMatchesTheFrameByFrameArithmetic)
{
    // clang-format off
    const ModelCase cases[] = {
        // name            note loop   rev    interp stereo grain  pan    pitchEg tune   fine   vol   sus   grainP gsize
        {"forward loop",    67, true,  false, true,  true,  false, 0.3f,  0.75f, 0.6f,  0.4f,  0.9f, 0.7f, 0.82f, 1000},
        {"reverse loop",    55, true,  true,  false, false, false, 0.5f,  0.5f,  0.5f,  0.5f,  1.0f, 1.0f, 0.82f, 1000},
        {"one-shot",        72, false, false, true,  false, false, 0.8f,  0.2f,  0.7f,  0.55f, 0.6f, 0.5f, 0.82f, 1000},
        {"reverse one-shot",50, false, true,  false, true,  false, 0.1f,  0.5f,  0.4f,  0.5f,  1.0f, 0.8f, 0.82f, 1000},
        {"grain",           60, true,  false, true,  true,  true,  0.5f,  0.5f,  0.5f,  0.6f,  0.8f, 1.0f, 0.5f,  1000},
        {"reverse grain",   64, true,  true,  false, false, true,  0.5f,  0.9f,  0.55f, 0.5f,  1.0f, 0.9f, 0.1f,  200},
        {"one-shot grain",  61, false, false, false, true,  true,  0.65f, 0.5f,  0.5f,  0.5f,  1.0f, 1.0f, 0.95f, 300},
    };
    // clang-format on
    data.left.resize(8001);
    data.right.resize(8001);
    for (int i = 0; i <= 8000; ++i) {
        data.left[i] = (float)(0.8 * std::sin(i * 0.37) * std::cos(i * 0.011));
        data.right[i] = (float)(0.7 * std::sin(i * 0.23 + 1));
    }
    synth->currentProgram().velocitySensitivity = 1.f;
    synth->currentProgram().masterVolume = 0.8f;
    synth->currentProgram().masterTune = 0.55f;
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.name);
        synth->getRack(0)->clear();
        SampleData view = data;
        if (!c.stereo)
            view.right.clear();
        instrument = makeInstrument(*synth, view);
        ASSERT_TRUE(synth->getRack(0)->addInstrument(instrument));
        synth->setGrainSize(c.grainSize);
        const std::pair<int, float> settings[] = {
            {Instrument::kLoop, c.loop ? 1.f : 0.f}, {Instrument::kReverse, c.reverse ? 1.f : 0.f},
            {Instrument::kInterpolate, c.interpolate ? 1.f : 0.f}, {Instrument::kGrain, c.grain ? 1.f : 0.f},
            {Instrument::kPan, c.pan}, {Instrument::kPitchEg, c.pitchEg}, {Instrument::kTune, c.tune},
            {Instrument::kFinetune, c.finetune}, {Instrument::kVolume, c.volume}, {Instrument::kVolS, c.sustain},
            {Instrument::kGrainAdvance, c.grainParam},
        };
        for (auto [k, v] : settings)
            instrument->setParameter(k, v);
        Sample* s = sampleOf(instrument);
        s->setLoopStart(1000);
        s->setLoopEnd(5000);
        s->setStartPlay(c.loop ? 4000 : 0);

        synth->play(c.note, 100, 0, 0);
        Voice* v = voice0();
        const int dir = c.reverse ? -1 : 1;
        const double ratio = instrument->getTuningRatio() * instrument->getSampleRatio();
        Model m{c, view, *instrument, v->getVelocityLevel(),
                v->getNoteRatio() * dir * ratio * 1.0 * 1.0, v->getNoteRatio() * ratio * 1.0 * 1.0,
                instrument->getPitchDepth(), paramToPitch(0.55f), 0.8f, dir,
                instrument->position[0], 0, instrument->grainPosition[0]};
        for (int b = 0; b < 40; ++b) {
            std::vector<float> expectedL(256, 0.f), expectedR(256, 0.f);
            m.block(*s, expectedL, expectedR);
            Block out = render(*synth, 256);
            for (int k = 0; k < 256; ++k) {
                ASSERT_EQ(out.left[k], expectedL[k]) << "block " << b << " frame " << k;
                ASSERT_EQ(out.right[k], expectedR[k]) << "block " << b << " frame " << k;
            }
        }
        silence();
    }
}
