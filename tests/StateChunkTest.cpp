// The saved state through the plug-in: what hosts store and give back.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace test;

namespace {

std::vector<char> chunkOf(Volantor2& synth, bool preset)
{
    void* data = nullptr;
    const VstInt32 size = synth.getChunk(&data, preset);
    return std::vector<char>(static_cast<char*>(data), static_cast<char*>(data) + size);
}

} // namespace

TEST(StateChunk, BankRoundTripIsByteIdentical)
{
    auto synth = makeSynth();
    Instrument* hoover = synth->createInstrumentFromString("Hoover");
    hoover->setParameter(Instrument::kPitchEg, 0.8f);
    synth->createInstrumentFromString("House Stab");
    synth->setParameter(577, 0.6f);
    synth->getProgramAt(9).name = "Nine";
    const std::vector<char> first = chunkOf(*synth, false);

    auto other = makeSynth();
    std::vector<char> copy = first;
    ASSERT_EQ(other->setChunk(copy.data(), (VstInt32)copy.size(), false), 1);
    ASSERT_EQ(other->getRack(0)->getCount(), 2);
    EXPECT_EQ(other->getRack(0)->getInstrumentAt(0)->getName(), "Hoover");
    EXPECT_FLOAT_EQ(other->getRack(0)->getInstrumentAt(0)->getParameterRecord(Instrument::kPitchEg).value, 0.8f);
    EXPECT_FLOAT_EQ(other->getParameter(577), 0.6f);
    EXPECT_EQ(chunkOf(*other, false), first);
}

TEST(StateChunk, ProgramChunkReplacesTheCurrentProgramOnly)
{
    auto synth = makeSynth();
    synth->createInstrumentFromString("Siren");
    const std::vector<char> preset = chunkOf(*synth, true);

    auto other = makeSynth();
    other->setProgram(3);
    other->getProgramAt(4).name = "Untouched";
    std::vector<char> copy = preset;
    ASSERT_EQ(other->setChunk(copy.data(), (VstInt32)copy.size(), true), 1);
    EXPECT_EQ(other->getProgram(), 3);
    ASSERT_EQ(other->getRack(0)->getCount(), 1);
    EXPECT_EQ(other->getRack(0)->getInstrumentAt(0)->getName(), "Siren");
    EXPECT_EQ(other->getProgramAt(4).name, "Untouched");
}

TEST(StateChunk, DamagedChunksChangeNothing)
{
    auto synth = makeSynth();
    synth->createInstrumentFromString("Hoover");
    const std::vector<char> good = chunkOf(*synth, false);
    const std::vector<char> before = good;

    struct Case { const char* what; std::vector<char> bytes; };
    std::vector<char> truncated(good.begin(), good.begin() + good.size() / 2);
    std::vector<char> hugeName = good;
    hugeName[4] = hugeName[5] = hugeName[6] = (char)0xff;
    hugeName[7] = 0x7f;
    const Case cases[] = {{"truncated", truncated}, {"huge name length", hugeName}, {"one byte", {0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<char> copy = c.bytes;
        testing::internal::CaptureStdout();
        EXPECT_EQ(synth->setChunk(copy.data(), (VstInt32)copy.size(), false), 0);
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_NE(log.find("Volantor2 LOG > state chunk rejected"), std::string::npos);
        EXPECT_EQ(chunkOf(*synth, false), before);
        EXPECT_EQ(synth->getRack(0)->getCount(), 1);
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(synth->setChunk(nullptr, 10, false), 0);
    EXPECT_EQ(synth->setChunk(truncated.data(), -5, false), 0);
    testing::internal::GetCapturedStdout();
}

TEST(StateChunk, TheBufferStaysValidUntilTheNextCall)
{
    auto synth = makeSynth();
    void* first = nullptr;
    const VstInt32 size = synth->getChunk(&first, true);
    std::vector<char> copy(static_cast<char*>(first), static_cast<char*>(first) + size);
    synth->setProgram(2);
    EXPECT_EQ(std::vector<char>(static_cast<char*>(first), static_cast<char*>(first) + size), copy);
    EXPECT_EQ(synth->getChunk(nullptr, true), 0);
}
