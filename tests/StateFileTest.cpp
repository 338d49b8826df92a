// The command-line host's reader of .fxp programs, .fxb banks and raw chunks.
#include "RenderTestSupport.h"
#include "tools/render/StateFile.h"
#include "vst2/Vst2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using render::StateFile;
using render::StateFileError;
using rendertest::Bytes;

namespace {

void text(Bytes& to, const char* s, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        to.push_back(i < std::strlen(s) ? (uint8_t)s[i] : 0);
}

void floatBE(Bytes& to, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    rendertest::be32(to, bits);
}

// The 'CcnK' header up to the plug-in version; the byte size is left at 0.
Bytes header(const char* magic, int version)
{
    Bytes b;
    text(b, "CcnK", 4);
    rendertest::be32(b, 0);
    text(b, magic, 4);
    rendertest::be32(b, (uint32_t)version);
    text(b, "Prbe", 4);
    rendertest::be32(b, 7); // plug-in version
    return b;
}

Bytes program(const char* name, std::initializer_list<float> values)
{
    Bytes b = header("FxCk", 1);
    rendertest::be32(b, (uint32_t)values.size());
    text(b, name, 28);
    for (float v : values)
        floatBE(b, v);
    return b;
}

Bytes programChunk(const char* name, const Bytes& chunk)
{
    Bytes b = header("FPCh", 1);
    rendertest::be32(b, 0);
    text(b, name, 28);
    rendertest::be32(b, (uint32_t)chunk.size());
    rendertest::append(b, chunk);
    return b;
}

Bytes bankHeader(const char* magic, int version, int programs, int current)
{
    Bytes b = header(magic, version);
    rendertest::be32(b, (uint32_t)programs);
    rendertest::be32(b, (uint32_t)current);
    b.resize(b.size() + 124, 0);
    return b;
}

Bytes bank()
{
    Bytes b = bankHeader("FxBk", 2, 2, 1);
    rendertest::append(b, program("first", {0.25f, 0.5f}));
    rendertest::append(b, program("second", {1.0f, 0.0f}));
    return b;
}

Bytes bankChunk(const Bytes& chunk)
{
    Bytes b = bankHeader("FBCh", 1, 128, 5);
    rendertest::be32(b, (uint32_t)chunk.size());
    rendertest::append(b, chunk);
    return b;
}

const Bytes kChunk = {'V', 'L', 'T', '2', 0, 1, 2, 3, 0xff};

} // namespace

TEST(StateFile, ProgramOfParameters)
{
    const StateFile s = StateFile::parse(program("Bright", {0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(s.kind, StateFile::kProgram);
    EXPECT_EQ(s.pluginId, vstFourCC('P', 'r', 'b', 'e'));
    EXPECT_EQ(s.pluginVersion, 7);
    ASSERT_EQ(s.programs.size(), 1u);
    EXPECT_EQ(s.programs[0].name, "Bright");
    EXPECT_EQ(s.programs[0].parameters, (std::vector<float>{0.0f, 0.5f, 1.0f}));
}

TEST(StateFile, BankOfParameterLists)
{
    const StateFile s = StateFile::parse(bank());
    EXPECT_EQ(s.kind, StateFile::kBank);
    EXPECT_EQ(s.currentProgram, 1);
    ASSERT_EQ(s.programs.size(), 2u);
    EXPECT_EQ(s.programs[0].name, "first");
    EXPECT_EQ(s.programs[0].parameters, (std::vector<float>{0.25f, 0.5f}));
    EXPECT_EQ(s.programs[1].name, "second");
    EXPECT_EQ(s.programs[1].parameters, (std::vector<float>{1.0f, 0.0f}));
}

TEST(StateFile, ChunksAndRawFiles)
{
    struct Case
    {
        const char* name;
        Bytes file;
        StateFile::Kind kind;
        int current;
    };
    const Case cases[] = {
        {"program chunk", programChunk("Lead", kChunk), StateFile::kProgramChunk, -1},
        // A version 1 bank says nothing of its current program.
        {"bank chunk", bankChunk(kChunk), StateFile::kBankChunk, -1},
        {"raw", kChunk, StateFile::kRawChunk, -1},
        {"raw, shorter than a header", {'C', 'c'}, StateFile::kRawChunk, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StateFile s = StateFile::parse(c.file);
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_TRUE(s.isChunk());
        EXPECT_EQ(s.currentProgram, c.current);
        EXPECT_EQ(s.chunk, c.kind == StateFile::kRawChunk ? c.file : kChunk);
    }
    EXPECT_EQ(StateFile::parse(programChunk("Lead", kChunk)).programName, "Lead");
}

TEST(StateFile, EveryTruncationIsAnError)
{
    for (const Bytes& file : {program("p", {0.5f, 0.25f}), programChunk("c", kChunk), bank(), bankChunk(kChunk)}) {
        // From 4 bytes on the 'CcnK' header says it is one of these files.
        for (size_t length = 4; length < file.size(); ++length) {
            SCOPED_TRACE(length);
            const Bytes cut(file.begin(), file.begin() + (long)length);
            EXPECT_THROW(StateFile::parse(cut), StateFileError);
        }
        EXPECT_NO_THROW(StateFile::parse(file));
    }
}

TEST(StateFile, MalformedFilesAreRejectedWithAReason)
{
    Bytes unknownType = program("p", {0.5f});
    std::copy_n("XxXx", 4, unknownType.begin() + 8);
    Bytes hugeCount = program("p", {0.5f});
    hugeCount[24] = 0x7f; // parameter count
    Bytes negativeCount = program("p", {0.5f});
    negativeCount[24] = 0xff;
    Bytes hugeChunk = bankChunk(kChunk);
    hugeChunk[156] = 0x40; // chunk size
    Bytes foreignProgram = bank();
    std::copy_n("FPCh", 4, foreignProgram.begin() + 156 + 8);
    Bytes manyPrograms = bank();
    manyPrograms[25] = 0x10; // program count

    struct Case
    {
        const char* name;
        Bytes file;
        const char* message;
    };
    const Case cases[] = {
        {"empty", {}, "empty"},
        {"unknown type", unknownType, "unknown state type 'XxXx'"},
        {"parameter count past the end", hugeCount, "truncated"},
        {"negative parameter count", negativeCount, "negative"},
        {"chunk size past the end", hugeChunk, "truncated"},
        {"bank holding a chunk program", foreignProgram, "'FPCh' instead of 'FxCk'"},
        {"more programs than bytes", manyPrograms, "truncated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            StateFile::parse(c.file);
            ADD_FAILURE() << "accepted";
        } catch (const StateFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(StateFile, RandomDamageIsReadOrRejected)
{
    std::mt19937 random(7);
    for (const Bytes& good : {program("p", {0.5f, 0.25f}), bank(), bankChunk(kChunk)}) {
        for (int round = 0; round < 1000; ++round) {
            Bytes file = good;
            // Keep the 'CcnK' header so the damage lands in the parsed fields.
            for (int h = 0; h < 3; ++h)
                file[4 + random() % (file.size() - 4)] = (uint8_t)random();
            try {
                const StateFile s = StateFile::parse(Bytes(file));
                size_t values = 0;
                for (const StateFile::Program& p : s.programs)
                    values += p.parameters.size();
                ASSERT_LE(values * 4 + s.chunk.size(), file.size()) << round;
            } catch (const StateFileError&) {
            }
        }
    }
}
