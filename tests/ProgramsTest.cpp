// Programs: saving the live state into them, switching, names, and handing
// a rebuilt rack to the audio thread.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

using namespace test;

namespace {

class ProgramsTest : public ::testing::Test
{
protected:
    std::unique_ptr<Volantor2> synth = makeSynth(256);

    Instrument* addBuiltin(const char* name) { return synth->createInstrumentFromString(name); }
};

} // namespace

TEST_F(ProgramsTest, ProgramNumbersOutsideTheBankChangeNothing)
{
    addBuiltin("Hoover");
    synth->setProgram(128);
    synth->setProgram(-1);
    EXPECT_EQ(synth->getProgram(), 0);
    EXPECT_EQ(synth->getRack(0)->getCount(), 1);
}

TEST_F(ProgramsTest, SwitchingSavesTheLiveStateAndRebuildsFromTheProgram)
{
    Instrument* hoover = addBuiltin("Hoover");
    hoover->setParameter(Instrument::kTune, 0.75f);
    hoover->setMidiChannel(3);
    synth->getDelay().setParameter(1, 0.4f);
    synth->setProgram(1); // program 1 is empty
    EXPECT_EQ(synth->getRack(0)->getCount(), 0);
    EXPECT_EQ(synth->getProgramAt(0).instrumentCount, 1);
    EXPECT_EQ(synth->getProgramAt(0).instruments[0].name, "Hoover");

    synth->setProgram(0);
    ASSERT_EQ(synth->getRack(0)->getCount(), 1);
    Instrument* again = synth->getRack(0)->getInstrumentAt(0);
    EXPECT_EQ(again->getName(), "Hoover");
    EXPECT_FLOAT_EQ(again->getParameterRecord(Instrument::kTune).value, 0.75f);
    EXPECT_EQ(again->getMidiChannel(), 3);
    EXPECT_FLOAT_EQ(synth->getDelay().getParameter(1), 0.4f);

    // The current program again: rebuilt from what was live a moment ago.
    again->setParameter(Instrument::kPan, 0.2f);
    synth->setProgram(0);
    EXPECT_FLOAT_EQ(synth->getRack(0)->getInstrumentAt(0)->getParameterRecord(Instrument::kPan).value, 0.2f);
}

TEST_F(ProgramsTest, LoopPointsTravelOnlyWhenLoopIsExactlyOne)
{
    SampleData data;
    data.left = ramp(1000);
    for (float loop : {1.0f, 0.75f}) {
        SCOPED_TRACE(loop);
        synth->getRack(0)->clear();
        Instrument* i = synth->createInstrumentFromString("Siren");
        ASSERT_NE(i, nullptr);
        i->setParameter(Instrument::kLoop, loop);
        Sample* s = i->getSample(0);
        s->setLoopStart(100);
        s->setLoopEnd(900);
        s->setStartPlay(50);
        Program saved = synth->getProgramAt(0);
        saved.instruments[0].loopStart = 7;
        saved.instruments[0].loopEnd = 8;
        synth->getProgramAt(0) = saved;
        synth->copyStateToProgram(&synth->getProgramAt(0));
        const InstrumentProgram& entry = synth->getProgramAt(0).instruments[0];
        EXPECT_EQ(entry.startPosition, 50);
        EXPECT_EQ(entry.loopStart, loop == 1.0f ? 100 : 7);
        EXPECT_EQ(entry.loopEnd, loop == 1.0f ? 900 : 8);

        synth->copyStateFromProgram();
        Sample* rebuilt = synth->getRack(0)->getInstrumentAt(0)->getSample(0);
        EXPECT_EQ(rebuilt->getStartPlay(), 50);
        EXPECT_EQ(rebuilt->getLoopStart(), loop == 1.0f ? 100 : 0);
    }
}

TEST_F(ProgramsTest, SoundsThatCannotBeMadeAgainAreSkipped)
{
    Program& p = synth->getProgramAt(2);
    p.instrumentCount = 3;
    p.instruments[0].sourceKind = Instrument::kBuiltin;
    p.instruments[0].name = "Hoover";
    p.instruments[1].sourceKind = Instrument::kFromPath;
    p.instruments[1].path = "/no/such/file.wav";
    p.instruments[2].sourceKind = Instrument::kBuiltin;
    p.instruments[2].name = "Siren";
    synth->setProgram(2);
    ASSERT_EQ(synth->getRack(0)->getCount(), 2);
    EXPECT_EQ(synth->getRack(0)->getInstrumentAt(0)->getName(), "Hoover");
    EXPECT_EQ(synth->getRack(0)->getInstrumentAt(1)->getName(), "Siren");
}

TEST_F(ProgramsTest, Names)
{
    char text[64];
    synth->getProgramAt(5).name = "Organ Chords";
    ASSERT_TRUE(synth->getProgramNameIndexed(0, 5, text));
    EXPECT_STREQ(text, "Organ Chords");
    EXPECT_EQ(synth->getProgram(), 0);
    EXPECT_FALSE(synth->getProgramNameIndexed(0, 128, text));
    EXPECT_FALSE(synth->getProgramNameIndexed(0, -1, text));

    char name[] = "A name much longer than twenty-four characters";
    synth->setProgramName(name);
    EXPECT_EQ(synth->currentProgram().name, name); // kept whole
    std::memset(text, 'x', sizeof(text));
    synth->getProgramName(text);
    EXPECT_EQ(std::strlen(text), 24u); // handed out within the VST limit
    EXPECT_FALSE(synth->copyProgram(3));
}

TEST_F(ProgramsTest, WhileRenderingTheAudioThreadTakesTheNewRackAtABlock)
{
    addBuiltin("Hoover");
    synth->resume();
    synth->play(60, 100, 0, 0);
    render(*synth, 256);
    Rack* before = synth->playedRack(0);

    synth->getProgramAt(1).instrumentCount = 1;
    synth->getProgramAt(1).instruments[0].name = "Siren";
    synth->setProgram(1);
    // The host sees the new program at once; the audio thread at its next block.
    EXPECT_EQ(synth->getRack(0)->getInstrumentAt(0)->getName(), "Siren");
    EXPECT_EQ(synth->playedRack(0), before);
    render(*synth, 256);
    EXPECT_NE(synth->playedRack(0), before);
    EXPECT_EQ(synth->playedRack(0), synth->getRack(0));
    synth->setProgram(0); // frees the retired rack
    render(*synth, 256);
    EXPECT_EQ(synth->playedRack(0)->getInstrumentAt(0)->getName(), "Hoover");
}

// One thread renders with notes sounding while another switches programs:
// the audio thread never renders a half-built rack or a destroyed instrument.
TEST_F(ProgramsTest, RenderingWhileTheHostSwitchesPrograms)
{
    for (int p = 0; p < 4; ++p) {
        Program& program = synth->getProgramAt(p);
        program.instrumentCount = 2 + p;
        for (int i = 0; i < program.instrumentCount; ++i) {
            program.instruments[i].sourceKind = Instrument::kBuiltin;
            program.instruments[i].name = i % 2 ? "Hoover" : "House Stab";
            for (int k = 0; k < 22; ++k)
                program.instruments[i].parameters[k] = k == 0 ? 1.f : 0.5f;
        }
    }
    synth->setProgram(0);
    synth->resume();
    std::atomic<bool> done{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        MidiList notes;
        for (int n = 0; n < 8; ++n)
            notes.add(0x90, 48 + n * 3, 100);
        synth->processEvents(notes.get());
        while (!done) {
            Block b = render(*synth, 256);
            for (int k = 0; k < 256; ++k)
                ASSERT_TRUE(std::isfinite(b.left[k]) && std::isfinite(b.right[k]));
            ++blocks;
        }
    });
    std::thread programs([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        for (int i = 0; std::chrono::steady_clock::now() < until; ++i)
            synth->setProgram(i % 4);
    });
    programs.join();
    done = true;
    audio.join();
    EXPECT_GT(blocks.load(), 0);
}
