// The plug-in object: declarations, MIDI handling, voice allocation and
// stealing, block rendering, meters, tempo and the keyboard hand-over.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

using namespace test;

namespace {

VstTimeInfo hostTime{};
bool hostHasTime = true;

VstIntPtr timeHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterGetTime)
        return hostHasTime ? reinterpret_cast<VstIntPtr>(&hostTime) : 0;
    return opcode == audioMasterVersion ? 2400 : 0;
}

class PluginTest : public ::testing::Test
{
protected:
    std::unique_ptr<Volantor2> synth = makeSynth(256);
    SampleData data;

    // One long instrument so that every voice keeps sounding.
    Instrument* addInstrument()
    {
        if (data.left.empty())
            data.left = ramp(200000);
        Instrument* instrument = makeInstrument(*synth, data);
        EXPECT_TRUE(synth->getRack(0)->addInstrument(instrument));
        return instrument;
    }

    void send(MidiList& list) { synth->processEvents(list.get()); }

    int playingVoices() const
    {
        int n = 0;
        for (int v = 0; v < Volantor2::kVoices; ++v)
            n += synth->getVoice(v)->isPlaying();
        return n;
    }
};

} // namespace

TEST_F(PluginTest, DeclaresItselfToTheHost)
{
    const AEffect* e = synth->getAeffect();
    EXPECT_EQ(e->numPrograms, 128);
    EXPECT_EQ(e->numParams, 768);
    EXPECT_EQ(e->numInputs, 0);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->uniqueID, vstFourCC('V', 'L', 'T', '2'));
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->flags & ~effFlagsHasEditor, effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth);
    EXPECT_EQ(synth->getPlugCategory(), kPlugCategSynth);

    char text[80];
    ASSERT_TRUE(synth->getEffectName(text));
    EXPECT_STREQ(text, "Volantor 2");
    ASSERT_TRUE(synth->getVendorString(text));
    EXPECT_STREQ(text, "Tindalo & Quorrel");
    ASSERT_TRUE(synth->getProductString(text));
    EXPECT_STREQ(text, "Volantor 2 VST");
    EXPECT_EQ(synth->getVendorVersion(), 1);
}

TEST_F(PluginTest, CountsInstancesAndStartsWithItsDefaults)
{
    const int before = g_nbInstance;
    testing::internal::CaptureStdout();
    Volantor2 other(nullptr);
    const std::string log = testing::internal::GetCapturedStdout();
    // Outside a bundle there is no factory bank: both messages, and the default sound to play.
    EXPECT_NE(log.find("Volantor2 LOG > bank not found in resources : path="), std::string::npos);
    EXPECT_NE(log.find("Volantor2 LOG > bank not found in resources : NULL file"), std::string::npos);
    ASSERT_EQ(other.getRack(0)->getCount(), 1);
    EXPECT_EQ(other.getRack(0)->getInstrumentAt(0)->getName(), "coin");
    EXPECT_EQ(other.getInstanceNumber(), before);
    EXPECT_EQ(g_nbInstance, before + 1);
    EXPECT_EQ(other.getRackCount(), 1);
    EXPECT_EQ(other.getGrainSize(), 1000);
    EXPECT_EQ(other.getTempo(), 120.0);
    EXPECT_EQ(other.getSampleRate(), 44100.f);
    EXPECT_EQ(other.getBlockSize(), 1024);
    EXPECT_NE(other.getRack(15), nullptr);
    EXPECT_EQ(other.getRack(16), nullptr);
    EXPECT_EQ(other.getRack(-1), nullptr);
}

TEST_F(PluginTest, OutputPinsAndCapabilities)
{
    VstPinProperties pin;
    std::memset(&pin, 0x55, sizeof(pin));
    EXPECT_TRUE(synth->getOutputProperties(1, &pin));
    EXPECT_STREQ(pin.label, "vlt2 out 2");
    EXPECT_EQ(pin.flags, 3);
    EXPECT_TRUE(synth->getOutputProperties(0, &pin));
    EXPECT_STREQ(pin.label, "vlt2 out 1");
    std::memset(&pin, 0x55, sizeof(pin));
    EXPECT_FALSE(synth->getOutputProperties(2, &pin));
    EXPECT_EQ((unsigned char)pin.label[0], 0x55);
    EXPECT_FALSE(synth->getOutputProperties(1, nullptr));

    struct Case { const char* text; int answer; };
    const Case cases[] = {{"receiveVstEvents", 1}, {"receiveVstMidiEvent", 1}, {"receiveVstTimeInfo", -1}, {"", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(synth->canDo(const_cast<char*>(c.text)), c.answer) << c.text;
    EXPECT_EQ(synth->canDo(nullptr), -1);
}

TEST_F(PluginTest, NoteOnWithVelocityZeroIsANoteOff)
{
    addInstrument();
    MidiList on;
    send(on.add(0x92, 60, 100));
    Voice* v = synth->getNoteTableEntry(60, 2);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->getChannel(), 2);
    MidiList off;
    send(off.add(0x92, 60, 0));
    EXPECT_TRUE(v->isReleased());
    EXPECT_EQ(synth->getNoteTableEntry(60, 2), nullptr);
}

TEST_F(PluginTest, AllNotesOffControllers)
{
    struct Case { int controller; bool releases; };
    const Case cases[] = {{123, true}, {126, true}, {7, false}, {64, false}, {120, false}};
    addInstrument();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.controller);
        MidiList notes;
        send(notes.add(0x90, 60, 100).add(0x91, 64, 100));
        MidiList cc;
        send(cc.add(0xB5, c.controller, 0));
        EXPECT_EQ(synth->getVoice(0)->isReleased(), c.releases);
        EXPECT_EQ(synth->getVoice(1)->isReleased(), c.releases);
        EXPECT_EQ(synth->getNoteTableEntry(60, 0) == nullptr, c.releases);
        synth->allNoteOff(0);
        render(*synth, 20000);
    }
}

TEST_F(PluginTest, PitchBendReachesEveryVoiceWhateverTheChannel)
{
    addInstrument();
    MidiList notes;
    send(notes.add(0x90, 60, 100).add(0x9A, 62, 100));
    MidiList bend;
    send(bend.add(0xE4, 0, 0));
    for (int v = 0; v < Volantor2::kVoices; ++v)
        EXPECT_DOUBLE_EQ(synth->getVoice(v)->getBendRatio(), 0.5) << v;
}

TEST_F(PluginTest, SeventeenthHeldNoteIsDropped)
{
    addInstrument();
    for (int n = 0; n < 17; ++n)
        synth->play(40 + n, 100, 0, 0);
    EXPECT_EQ(playingVoices(), 16);
    EXPECT_EQ(synth->getNoteTableEntry(56, 0), nullptr);
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(synth->getNoteTableEntry(40 + n, 0), synth->getVoice(n));
}

TEST_F(PluginTest, StealingTakesTheQuietestReleasedVoiceLowerIndexOnTies)
{
    addInstrument();
    // Voices 0..15 get velocities; with sensitivity 1 the level follows velocity.
    synth->currentProgram().velocitySensitivity = 1.f;
    const int velocity[16] = {100, 90, 40, 80, 40, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127};
    for (int n = 0; n < 16; ++n)
        synth->play(40 + n, velocity[n], 0, 0);
    render(*synth, 64); // level estimates are made while rendering
    for (int n = 0; n < 16; ++n)
        synth->stop(40 + n, 0, 0, 0);
    render(*synth, 64);

    synth->play(90, 100, 0, 0);
    EXPECT_EQ(synth->getNoteTableEntry(90, 0), synth->getVoice(2)); // 40 beats 40 at index 4
    EXPECT_FALSE(synth->getVoice(2)->isReleased());
    EXPECT_EQ(synth->getVoice(2)->getNote(), 90);
    synth->play(91, 100, 0, 0);
    EXPECT_EQ(synth->getNoteTableEntry(91, 0), synth->getVoice(4));
}

TEST_F(PluginTest, VoiceAtFullLevelIsNeverStolen)
{
    addInstrument();
    synth->currentProgram().velocitySensitivity = 0.f; // every level estimate is 1.0
    for (int n = 0; n < 16; ++n)
        synth->play(40 + n, 100, 0, 0);
    render(*synth, 64);
    for (int n = 0; n < 16; ++n)
        synth->stop(40 + n, 0, 0, 0);
    synth->play(90, 100, 0, 0);
    EXPECT_EQ(synth->getNoteTableEntry(90, 0), nullptr);
}

TEST_F(PluginTest, MidiNoteReleasesTheSameKeyHeldOnTheKeyboard)
{
    addInstrument();
    synth->play(60, 100, 0, -1);
    Voice* keyboard = synth->getNoteTableEntry(60, Volantor2::kKeyboardSlot);
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard->getChannel(), -1);
    MidiList on;
    send(on.add(0x93, 60, 100));
    EXPECT_TRUE(keyboard->isReleased());
    Voice* midi = synth->getNoteTableEntry(60, 3);
    ASSERT_NE(midi, nullptr);
    EXPECT_NE(midi, keyboard);
    EXPECT_FALSE(midi->isReleased());
}

TEST_F(PluginTest, OutOfRangeNotesAndEventsAreIgnored)
{
    addInstrument();
    synth->play(128, 100, 0, 0);
    synth->play(-1, 100, 0, 0);
    synth->play(60, 100, 0, 16);
    synth->stop(300, 0, 0, 0);
    EXPECT_EQ(playingVoices(), 0);
    // Data bytes are seven bits whatever the host puts in them.
    MidiList list;
    send(list.add(0x90, 0xBC, 100));
    EXPECT_NE(synth->getNoteTableEntry(0x3C, 0), nullptr);
    EXPECT_EQ(synth->processEvents(nullptr), 1);
    VstEvents empty{};
    empty.numEvents = 2; // null entries are skipped
    EXPECT_EQ(synth->processEvents(&empty), 1);
}

TEST_F(PluginTest, NoteStartsAtItsDeltaFrame)
{
    addInstrument();
    MidiList on;
    send(on.add(0x90, 60, 100, 100));
    Block b = render(*synth, 256);
    for (int k = 0; k < 100; ++k)
        ASSERT_EQ(b.left[k], 0.f) << k;
    EXPECT_EQ(b.left[100], data.left[0]);
    EXPECT_EQ(b.left[150], data.left[50]);
}

TEST_F(PluginTest, BlocksLongerThanTheBlockSizeRenderInPieces)
{
    addInstrument();
    auto reference = makeSynth(256);
    reference->getRack(0)->addInstrument(makeInstrument(*reference, data));

    // 1000 frames at once, with a note starting past the first piece, against
    // the same notes in blocks of the block size.
    MidiList a, b;
    send(a.add(0x90, 60, 100, 0).add(0x90, 67, 90, 700));
    reference->processEvents(b.add(0x90, 60, 100, 0).get());
    Block whole = render(*synth, 1000);
    std::vector<float> expected;
    for (int start = 0; start < 1000; start += 250) {
        if (start == 500) {
            MidiList late;
            reference->processEvents(late.add(0x90, 67, 90, 200).get());
        }
        Block part = render(*reference, 250);
        expected.insert(expected.end(), part.left.begin(), part.left.end());
    }
    // Envelopes take one extra step per piece, so compare where both are steady.
    for (int k = 0; k < 1000; ++k)
        ASSERT_NEAR(whole.left[k], expected[k], 1e-6) << k;
    EXPECT_NE(whole.left[800], 0.f);
}

TEST_F(PluginTest, MetersHoldEachInstrumentsBlockPeak)
{
    Instrument* a = addInstrument();
    Instrument* b = addInstrument();
    b->setParameter(Instrument::kVolume, 0.5f);
    b->setParameter(Instrument::kPan, 0.f);
    for (size_t i = 0; i < data.left.size(); ++i)
        data.left[i] = (i % 2) ? -0.8f : 0.4f;
    synth->play(60, 100, 0, 0);
    render(*synth, 256);
    EXPECT_FLOAT_EQ(a->getPeak(0), 0.8f);
    EXPECT_FLOAT_EQ(a->getPeak(1), 0.8f);
    EXPECT_FLOAT_EQ(b->getPeak(0), 0.4f);
    EXPECT_FLOAT_EQ(b->getPeak(1), 0.f);
}

TEST_F(PluginTest, TempoFromTheHostUpdatesTheDelayBeat)
{
    Volantor2 plugin(timeHost);
    hostTime.tempo = 140.0;
    hostHasTime = true;
    Block b(64);
    float* out[2] = {b.left.data(), b.right.data()};
    plugin.processReplacing(nullptr, out, 64);
    EXPECT_EQ(plugin.getTempo(), 140.0);
    EXPECT_DOUBLE_EQ(plugin.getDelay().getSamplePerBeat(), 60.0 / 140.0 * 44100.0);

    hostHasTime = false;
    plugin.processReplacing(nullptr, out, 64);
    EXPECT_EQ(plugin.getTempo(), 140.0);

    // A host reporting no usable tempo keeps the last one.
    hostHasTime = true;
    for (double bad : {0.0, -60.0, (double)NAN, (double)INFINITY}) {
        hostTime.tempo = bad;
        plugin.processReplacing(nullptr, out, 64);
        EXPECT_EQ(plugin.getTempo(), 140.0);
        EXPECT_DOUBLE_EQ(plugin.getDelay().getSamplePerBeat(), 60.0 / 140.0 * 44100.0);
    }
}

TEST_F(PluginTest, BlockSizeChangeSilencesEveryVoice)
{
    Instrument* instrument = addInstrument();
    synth->play(60, 100, 0, 0);
    synth->play(64, 100, 0, 0);
    synth->setBlockSize(512);
    EXPECT_EQ(playingVoices(), 0);
    EXPECT_EQ(instrument->getMixBufferSize(), 512);
    Block b = render(*synth, 512);
    for (float v : b.left)
        ASSERT_EQ(v, 0.f);
    synth->setBlockSize(0); // ignored
    EXPECT_EQ(synth->getBlockSize(), 512);
}

TEST_F(PluginTest, SampleRateReachesTheInstruments)
{
    Instrument* instrument = addInstrument();
    synth->setSampleRate(48000.f);
    EXPECT_EQ(instrument->getSamplerate(), 48000);
    synth->setSampleRate(0.f);
    synth->setSampleRate(NAN);
    EXPECT_EQ(synth->getSampleRate(), 48000.f);
    // A 44100 Hz sample plays slower at 48000 Hz to keep its pitch.
    synth->play(60, 100, 0, 0);
    render(*synth, 100);
    EXPECT_NEAR(instrument->position[0], 100 * 44100.0 / 48000.0, 1e-4);
}

TEST_F(PluginTest, GrainSizeAcceptsTwoHundredToTwoThousand)
{
    Instrument* instrument = addInstrument();
    struct Case { int size; int expected; };
    const Case cases[] = {{100, 1000}, {2001, 1000}, {200, 200}, {2000, 2000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        synth->setGrainSize(c.size);
        EXPECT_EQ(synth->getGrainSize(), c.expected);
        EXPECT_EQ(instrument->getGrainSize(), c.expected);
        synth->setGrainSize(1000);
    }
    synth->setGrainSize(2000);
    // The grain advance is recomputed from the stored value 0.82.
    EXPECT_FLOAT_EQ(instrument->getGrainAdvance(), (2000 / 2 - 2) * (1 - 0.82f) + 2);
}

TEST_F(PluginTest, MarkedInstrumentsLeaveAtTheEndOfTheBlock)
{
    Instrument* a = addInstrument();
    Instrument* b = addInstrument();
    synth->play(60, 100, 0, 0);
    a->markForDelete();
    EXPECT_FALSE(synth->getRack(0)->addInstrument(nullptr));
    render(*synth, 64);
    ASSERT_EQ(synth->getRack(0)->getCount(), 1);
    EXPECT_EQ(synth->getRack(0)->getInstrumentAt(0), b);
    EXPECT_EQ(b->getId(), 0);
    render(*synth, 64);
}

TEST_F(PluginTest, KeyboardNotesCrossThreadsInOrder)
{
    addInstrument();
    std::thread ui([&] {
        for (int n = 0; n < 8; ++n)
            EXPECT_TRUE(synth->queueKeyboardNote(true, 60 + n, 100));
        EXPECT_TRUE(synth->queueKeyboardNote(false, 60, 0));
    });
    ui.join();
    EXPECT_EQ(playingVoices(), 0); // nothing starts until the audio thread renders
    render(*synth, 64);
    EXPECT_EQ(playingVoices(), 8);
    EXPECT_EQ(synth->getNoteTableEntry(60, Volantor2::kKeyboardSlot), nullptr);
    EXPECT_TRUE(synth->getVoice(0)->isReleased());
    EXPECT_EQ(synth->getNoteTableEntry(67, Volantor2::kKeyboardSlot), synth->getVoice(7));
}

TEST_F(PluginTest, BadHostBuffersAreIgnored)
{
    addInstrument();
    synth->play(60, 100, 0, 0);
    float buffer[16] = {};
    float* half[2] = {buffer, nullptr};
    synth->processReplacing(nullptr, nullptr, 16);
    synth->processReplacing(nullptr, half, 16);
    float* both[2] = {buffer, buffer + 8};
    synth->processReplacing(nullptr, both, 0);
    synth->processReplacing(nullptr, both, -5);
    for (float v : buffer)
        EXPECT_EQ(v, 0.f);
}
