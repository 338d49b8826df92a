// The saved-state byte formats: record layouts and sizes, round trips of a
// whole bank, version-4 records, the legacy big-endian format, and the
// bounds: truncated, oversized and negative fields reject the whole chunk
// and leave the programs as they were.
#include "core/ChunkFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

uint32_t bitsOf(float v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return u;
}

// Every field of a program, floats by their bits, so that two programs
// compare equal exactly when all their contents are identical.
std::string dump(const Program& p)
{
    std::ostringstream s;
    s << p.instrumentCount << '|' << p.name.size() << ':' << p.name << '|' << bitsOf(p.velocitySensitivity) << ','
      << bitsOf(p.masterVolume) << ',' << bitsOf(p.masterTune) << ',' << bitsOf(p.pitchBendRange) << ','
      << bitsOf(p.selectedInstrument) << '\n';
    for (const InstrumentProgram& e : p.instruments) {
        s << e.name.size() << ':' << e.name << '|' << e.path.size() << ':' << e.path << '|' << e.sourceKind << ','
          << e.startPosition << ',' << e.loopStart << ',' << e.loopEnd << ',' << e.midiChannel << '|';
        for (float v : e.parameters)
            s << bitsOf(v) << ',';
        s << '\n';
    }
    for (float v : p.delay.values)
        s << bitsOf(v) << ',';
    for (float v : p.phaser.values)
        s << bitsOf(v) << ',';
    return s.str();
}

std::string dump(const std::vector<Program>& programs)
{
    std::string all;
    for (const Program& p : programs)
        all += dump(p);
    return all;
}

// Builds chunks field by field, in either byte order.
struct Bytes
{
    bool bigEndian = false;
    std::vector<uint8_t> b;

    Bytes& u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b.push_back((uint8_t)(bigEndian ? v >> (24 - 8 * i) : v >> (8 * i)));
        return *this;
    }
    Bytes& i32(int v) { return u32((uint32_t)v); }
    Bytes& f32(float v) { return u32(bitsOf(v)); }
    Bytes& f64(double v)
    {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            b.push_back((uint8_t)(u >> (56 - 8 * i)));
        return *this;
    }
    Bytes& str(const std::string& s)
    {
        i32((int)s.size());
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    // UTF-16BE with the given high byte on every unit.
    Bytes& utf16(const std::string& s, uint8_t high = 0)
    {
        i32((int)s.size() * 2);
        for (char c : s) {
            b.push_back(high);
            b.push_back((uint8_t)c);
        }
        return *this;
    }
    Bytes& raw(const std::vector<uint8_t>& more)
    {
        b.insert(b.end(), more.begin(), more.end());
        return *this;
    }
};

Bytes little() { return Bytes{}; }
Bytes big() { return Bytes{true, {}}; }

const float kDelayDefaults[8] = {0.625f, 0.2f, 0.3f, 0.f, 0.f, 1.0f, 0.f, 0.f};
const float kPhaserDefaults[8] = {0.f, 0.75f, 0.6f, 0.5f, 1.0f, 0.f, 0.f, 0.f};

// A current-format instrument record with the given counts and values k / 100.
Bytes& instrumentRecord(Bytes& b, const std::string& name, const std::string& path, int parameterCount)
{
    b.i32(0).str(name).str(path).i32(10).i32(20).i32(30).i32(-1).i32(parameterCount);
    for (int k = 0; k < parameterCount; ++k)
        b.f32(k / 100.f);
    return b;
}

// The record tail: delay, globals, and phaser values when `phaser`.
Bytes& tail(Bytes& b, bool phaser)
{
    for (float v : kDelayDefaults)
        b.f32(v);
    b.f32(0.9f).f32(0.4f).f32(0.8f).f32(0.3f);
    if (phaser)
        for (float v : kPhaserDefaults)
            b.f32(v);
    return b;
}

// A legacy program record: uninterpreted first word, name, instruments, tail.
Bytes legacyProgram(int nameCount, const std::vector<uint8_t>& nameBytes, int instrumentCount,
                    const std::vector<Bytes>& instruments)
{
    Bytes b = big();
    b.i32(0).i32(nameCount).raw(nameBytes).i32(instrumentCount);
    for (const Bytes& i : instruments)
        b.raw(i.b);
    for (int k = 0; k < 8; ++k)
        b.f64(0.1 * k);
    b.f64(0.9).f64(0.4).f64(0.8).f64(0.3);
    return b;
}

Bytes legacyInstrument(int parameterCount, int parametersWritten)
{
    Bytes b = big();
    b.i32(2).utf16("Snare").utf16("/tmp/snare.wav").i32(1).i32(2).i32(3).i32(4).i32(parameterCount);
    for (int k = 0; k < parametersWritten; ++k)
        b.f64(0.5 + k / 64.0);
    return b;
}

std::vector<uint8_t> utf16be(const std::string& s)
{
    std::vector<uint8_t> v;
    for (char c : s) {
        v.push_back(0);
        v.push_back((uint8_t)c);
    }
    return v;
}

// A program whose every field the record holds differs from the defaults.
Program varied(int seed)
{
    Program p;
    p.name = seed % 5 == 0 ? std::string() : "Program " + std::to_string(seed) + std::string(seed % 7, '\xe9');
    p.name += seed % 3 == 0 ? std::string(1, '\0') : std::string();
    p.instrumentCount = seed % 17;
    for (int i = 0; i < p.instrumentCount; ++i) {
        InstrumentProgram& e = p.instruments[i];
        e.sourceKind = (seed + i) % 3;
        e.name = "Sound " + std::to_string(seed * 16 + i);
        e.path = e.sourceKind == 2 ? ":/Resources/drums/" + std::to_string(i) + ".wav" : std::string();
        e.startPosition = seed * 1000 + i;
        e.loopStart = -i;
        e.loopEnd = seed * 7 + i * 13;
        e.midiChannel = (seed + i) % 17 - 1;
        for (int k = 0; k < 22; ++k)
            e.parameters[k] = (float)(seed * 22 + k) / 4096.f - (k == 3 ? 100.f : 0.f);
    }
    if (seed == 7) {
        p.instruments[0].parameters[0] = std::numeric_limits<float>::quiet_NaN();
        p.instruments[0].parameters[1] = -std::numeric_limits<float>::infinity();
        p.instruments[0].parameters[2] = -0.f;
    }
    for (int k = 0; k < 8; ++k) {
        p.delay.values[k] = (float)(seed + k) / 256.f;
        p.phaser.values[k] = (float)(seed * 8 + k) / 1024.f;
    }
    p.masterVolume = seed / 128.f;
    p.masterTune = 1.f - seed / 128.f;
    p.velocitySensitivity = seed / 300.f;
    p.pitchBendRange = seed / 500.f;
    return p;
}

std::vector<uint8_t> bankOf(const std::vector<Program>& programs)
{
    std::vector<uint8_t> out;
    for (const Program& p : programs)
        appendProgramRecord(p, out);
    return out;
}

std::vector<uint8_t> programChunk(const Program& p)
{
    std::vector<uint8_t> out;
    appendProgramRecord(p, out);
    return out;
}

} // namespace

TEST(ChunkFormat, EmptyProgramRecordIsNinetyNineBytes)
{
    Program p;
    p.masterVolume = 0.9f;
    p.masterTune = 0.4f;
    p.velocitySensitivity = 0.8f;
    p.pitchBendRange = 0.3f;
    p.selectedInstrument = 5.f; // never saved
    Bytes expected = little();
    expected.i32(5).str("Default").i32(0);
    tail(expected, true);

    const std::vector<uint8_t> record = programChunk(p);
    EXPECT_EQ(record.size(), 99u);
    EXPECT_EQ(record, expected.b);
    EXPECT_EQ(bankOf(std::vector<Program>(128)).size(), 12672u);
}

TEST(ChunkFormat, BuiltinInstrumentRecordIs126Bytes)
{
    Program p;
    p.instrumentCount = 1;
    InstrumentProgram& e = p.instruments[0];
    e.name = "Hoover";
    e.startPosition = 10;
    e.loopStart = 20;
    e.loopEnd = 30;
    for (int k = 0; k < 22; ++k)
        e.parameters[k] = k / 100.f;
    p.instruments[1].name = "beyond the count"; // not written

    Bytes hoover = little();
    instrumentRecord(hoover, "Hoover", "", 22);
    ASSERT_EQ(hoover.b.size(), 126u);

    const std::vector<uint8_t> record = programChunk(p);
    ASSERT_EQ(record.size(), 99u + 126u);
    EXPECT_EQ(std::vector<uint8_t>(record.begin() + 19, record.begin() + 19 + 126), hoover.b);
}

TEST(ChunkFormat, BankRoundTripIsExact)
{
    std::vector<Program> source;
    for (int i = 0; i < 128; ++i)
        source.push_back(varied(i));
    const std::vector<uint8_t> chunk = bankOf(source);

    std::vector<Program> read(128);
    for (Program& p : read)
        p.selectedInstrument = 3.f;
    std::string error;
    ASSERT_TRUE(readChunk(chunk.data(), chunk.size(), false, read.data(), error)) << error;
    for (Program& p : read) {
        EXPECT_EQ(p.selectedInstrument, 3.f);
        p.selectedInstrument = 0.f;
    }
    EXPECT_EQ(dump(read), dump(source));
    EXPECT_EQ(bankOf(read), chunk);

    // A program chunk lands in the one program given.
    Program one;
    const std::vector<uint8_t> single = programChunk(source[42]);
    ASSERT_TRUE(readChunk(single.data(), single.size(), true, &one, error)) << error;
    EXPECT_EQ(dump(one), dump(source[42]));
}

TEST(ChunkFormat, RecordReplacesOnlyWhatItHolds)
{
    struct Row
    {
        const char* what;
        int version, parameterCount;
        bool phaserReplaced;
    };
    const Row rows[] = {{"version 5, 22 parameters", 5, 22, true},
                        {"version 5, 5 parameters", 5, 5, true},
                        {"version 4, 0 parameters", 4, 0, false},
                        {"version 3, 22 parameters", 3, 22, false},
                        {"version 1000", 1000, 22, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Bytes b = little();
        b.i32(row.version).str("New").i32(1);
        instrumentRecord(b, "Bell", "", row.parameterCount);
        tail(b, row.version >= 5);

        Program p = varied(3); // three instruments, non-default phaser
        Program expected = p;
        expected.name = "New";
        expected.instrumentCount = 1;
        InstrumentProgram& e = expected.instruments[0];
        e.sourceKind = 0;
        e.name = "Bell";
        e.path.clear();
        e.startPosition = 10;
        e.loopStart = 20;
        e.loopEnd = 30;
        e.midiChannel = -1;
        for (int k = 0; k < row.parameterCount; ++k)
            e.parameters[k] = k / 100.f;
        for (int k = 0; k < 8; ++k)
            expected.delay.values[k] = kDelayDefaults[k];
        expected.masterVolume = 0.9f;
        expected.masterTune = 0.4f;
        expected.velocitySensitivity = 0.8f;
        expected.pitchBendRange = 0.3f;
        if (row.phaserReplaced)
            for (int k = 0; k < 8; ++k)
                expected.phaser.values[k] = kPhaserDefaults[k];

        std::string error;
        ASSERT_TRUE(readChunk(b.b.data(), b.b.size(), true, &p, error)) << error;
        EXPECT_EQ(dump(p), dump(expected));
    }
}

TEST(ChunkFormat, VersionFourBankRecordsFollowEachOther)
{
    std::vector<uint8_t> chunk;
    for (int i = 0; i < 128; ++i) {
        Program p = varied(i);
        std::vector<uint8_t> record = programChunk(p);
        record[0] = 4;
        record.resize(record.size() - 32);
        chunk.insert(chunk.end(), record.begin(), record.end());
    }
    std::vector<Program> read(128);
    for (int i = 0; i < 128; ++i)
        read[i].phaser.values[0] = (float)i;
    std::string error;
    ASSERT_TRUE(readChunk(chunk.data(), chunk.size(), false, read.data(), error)) << error;
    for (int i = 0; i < 128; ++i) {
        Program expected = varied(i);
        expected.phaser = PhaserProgram();
        expected.phaser.values[0] = (float)i;
        EXPECT_EQ(dump(read[i]), dump(expected)) << "program " << i;
    }
}

TEST(ChunkFormat, LegacyProgramStringsAndCounts)
{
    struct Row
    {
        const char* what;
        int instrumentCount, parameterCount;
        int instrumentsWritten, parametersWritten;
    };
    const Row rows[] = {{"one instrument, 22 parameters", 1, 22, 1, 22},
                        {"one instrument, 3 parameters", 1, 3, 1, 3},
                        {"parameter count 0", 1, 0, 1, 0},
                        {"parameter count -3", 1, -3, 1, 0},
                        {"instrument count 0", 0, 0, 0, 0},
                        {"instrument count -3", -3, 0, 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<Bytes> instruments;
        for (int i = 0; i < row.instrumentsWritten; ++i)
            instruments.push_back(legacyInstrument(row.parameterCount, row.parametersWritten));
        const Bytes chunk = legacyProgram(14, utf16be("Default"), row.instrumentCount, instruments);

        Program before = varied(2);
        before.name = "Old";
        Program expected = before;
        expected.name = "Default";
        expected.instrumentCount = row.instrumentsWritten;
        if (row.instrumentsWritten) {
            InstrumentProgram& e = expected.instruments[0];
            e.sourceKind = 2;
            e.name = "Snare";
            e.path = "/tmp/snare.wav";
            e.startPosition = 1;
            e.loopStart = 2;
            e.loopEnd = 3;
            e.midiChannel = 4;
            for (int k = 0; k < row.parametersWritten; ++k)
                e.parameters[k] = (float)(0.5 + k / 64.0);
        }
        for (int k = 0; k < 8; ++k)
            expected.delay.values[k] = (float)(0.1 * k);
        expected.masterVolume = (float)0.9;
        expected.masterTune = (float)0.4;
        expected.velocitySensitivity = (float)0.8;
        expected.pitchBendRange = (float)0.3;

        // Directly, and handed over by the current reader (first word 0).
        for (bool direct : {true, false}) {
            Program p = before;
            std::string error;
            const bool ok = direct ? readLegacyChunk(chunk.b.data(), chunk.b.size(), true, &p, error)
                                   : readChunk(chunk.b.data(), chunk.b.size(), true, &p, error);
            ASSERT_TRUE(ok) << error;
            EXPECT_EQ(dump(p), dump(expected));
        }
    }
}

TEST(ChunkFormat, LegacyNullStringAndHighBytes)
{
    // Instrument name -1 (empty, nothing follows), path with high bytes dropped.
    Bytes instrument = big();
    instrument.i32(0).i32(-1).utf16("Pad", 0x01).i32(5).i32(6).i32(7).i32(8).i32(1).f64(0.25);
    const Bytes chunk = legacyProgram(-1, {}, 1, {instrument});

    Program p;
    p.instruments[0].name = "Old";
    std::string error;
    ASSERT_TRUE(readLegacyChunk(chunk.b.data(), chunk.b.size(), true, &p, error)) << error;
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(p.instruments[0].name, "");
    EXPECT_EQ(p.instruments[0].path, "Pad");
    EXPECT_EQ(p.instruments[0].startPosition, 5);
    EXPECT_EQ(p.instruments[0].midiChannel, 8);
    EXPECT_EQ(p.instruments[0].parameters[0], 0.25f);
    EXPECT_EQ(p.masterVolume, 0.9f);
}

TEST(ChunkFormat, FirstWordSelectsTheReader)
{
    const Bytes legacy = legacyProgram(14, utf16be("Default"), 0, {});
    for (int first : {0, 1, 2, -1, INT32_MIN}) {
        SCOPED_TRACE(first);
        Bytes chunk = little();
        chunk.i32(first).raw(std::vector<uint8_t>(legacy.b.begin() + 4, legacy.b.end()));
        Program p;
        p.name = "Old";
        std::string error;
        ASSERT_TRUE(readChunk(chunk.b.data(), chunk.b.size(), true, &p, error)) << error;
        EXPECT_EQ(p.name, "Default");
    }
}

TEST(ChunkFormat, LegacyBankNeedsAllRecords)
{
    Bytes bank = big();
    const Bytes record = legacyProgram(14, utf16be("Default"), 1, {legacyInstrument(22, 22)});
    for (int i = 0; i < 128; ++i)
        bank.raw(record.b);
    std::vector<Program> programs(128);
    std::string error;
    ASSERT_TRUE(readChunk(bank.b.data(), bank.b.size(), false, programs.data(), error)) << error;
    EXPECT_EQ(programs[127].instruments[0].path, "/tmp/snare.wav");

    const size_t short127 = bank.b.size() - record.b.size();
    for (size_t size : {short127, bank.b.size() - 1}) {
        std::vector<Program> before(128, varied(9));
        std::vector<Program> after = before;
        EXPECT_FALSE(readChunk(bank.b.data(), size, false, after.data(), error));
        EXPECT_NE(error.find("legacy bank chunk truncated in program 127"), std::string::npos) << error;
        EXPECT_EQ(dump(after), dump(before));
    }
}

TEST(ChunkFormat, CurrentBankNeedsAllRecords)
{
    std::vector<Program> source;
    for (int i = 0; i < 128; ++i)
        source.push_back(varied(i));
    const std::vector<uint8_t> chunk = bankOf(source);
    const size_t last = chunk.size() - programChunk(source[127]).size();
    for (size_t size : {last, chunk.size() - 1, last + 1, (size_t)0}) {
        std::vector<Program> before(128, varied(5));
        std::vector<Program> after = before;
        std::string error;
        EXPECT_FALSE(readChunk(chunk.data(), size, false, after.data(), error)) << size;
        EXPECT_EQ(dump(after), dump(before));
    }
}

TEST(ChunkFormat, TruncationAnywhereRejectsAndKeepsThePrograms)
{
    const std::vector<uint8_t> current = programChunk(varied(2));
    const Bytes legacy = legacyProgram(14, utf16be("Default"), 2, {legacyInstrument(22, 22), legacyInstrument(-3, 0)});
    const Program before = varied(11);
    const std::string expected = dump(before);

    for (int legacyChunk = 0; legacyChunk < 2; ++legacyChunk) {
        const std::vector<uint8_t>& chunk = legacyChunk ? legacy.b : current;
        Program p = before;
        std::string error;
        ASSERT_TRUE(readChunk(chunk.data(), chunk.size(), true, &p, error)) << error;
        for (size_t size = 0; size < chunk.size(); ++size) {
            p = before;
            error.clear();
            // The chunk is copied so that the sanitizers see a read past its end.
            const std::vector<uint8_t> cut(chunk.begin(), chunk.begin() + size);
            EXPECT_FALSE(readChunk(cut.data(), cut.size(), true, &p, error)) << size;
            EXPECT_EQ(error.find('\n'), std::string::npos);
            EXPECT_NE(error.find("truncated"), std::string::npos) << error;
            ASSERT_EQ(dump(p), expected) << "size " << size;
            if (legacyChunk) {
                EXPECT_FALSE(readLegacyChunk(cut.data(), cut.size(), true, &p, error)) << size;
                ASSERT_EQ(dump(p), expected) << "size " << size;
            }
        }
    }
}

TEST(ChunkFormat, ErrorNamesProgramAndInstrument)
{
    std::vector<Program> source(128);
    source[3] = varied(3);
    const std::vector<uint8_t> chunk = bankOf(source);
    Program firstTwo = source[3];
    firstTwo.instrumentCount = 2;
    const size_t instrument2 = 99 * 3 + programChunk(firstTwo).size() - 80 + 10;
    std::vector<Program> programs(128);
    std::string error;
    EXPECT_FALSE(readChunk(chunk.data(), instrument2, false, programs.data(), error));
    EXPECT_EQ(error.rfind("bank chunk truncated in program 3, instrument 2 (", 0), 0u) << error;
}

TEST(ChunkFormat, BoundsRejectTheWholeChunk)
{
    auto currentWith = [](int nameLength, int instrumentCount, int pathLength, int parameterCount) {
        Bytes b = little();
        b.i32(5).i32(nameLength).raw(utf16be("Piano")).i32(instrumentCount);
        b.i32(2).str("Piano").i32(pathLength).raw(std::vector<uint8_t>(8, 'p'));
        b.i32(0).i32(0).i32(0).i32(0).i32(parameterCount);
        for (int k = 0; k < 23; ++k)
            b.f32(0.5f);
        tail(b, true);
        return b.b;
    };
    auto legacyWith = [](int nameCount, int instrumentCount, int parameterCount) {
        Bytes instrument = big();
        instrument.i32(0).utf16("Piano").utf16("").i32(0).i32(0).i32(0).i32(0).i32(parameterCount);
        for (int k = 0; k < 23; ++k)
            instrument.f64(0.5);
        return legacyProgram(nameCount, utf16be("Piano"), instrumentCount, {instrument}).b;
    };
    struct Row
    {
        const char* what;
        std::vector<uint8_t> chunk;
        const char* message;
    };
    const Row rows[] = {
        {"fits", currentWith(10, 1, 8, 22), nullptr},
        {"17 instruments", currentWith(10, 17, 8, 22), "17 instruments, at most 16"},
        {"huge instrument count", currentWith(10, 0x7fffffff, 8, 22), "2147483647 instruments"},
        {"negative instrument count", currentWith(10, -1, 8, 22), "negative instrument count -1"},
        {"23 parameters", currentWith(10, 1, 8, 23), "instrument 0: 23 parameters, at most 22"},
        {"negative parameter count", currentWith(10, 1, 8, -1), "negative parameter count -1"},
        {"negative name length", currentWith(-1, 1, 8, 22), "negative program name length -1"},
        {"negative path length", currentWith(10, 1, -8, 22), "negative path length -8"},
        {"huge name length", currentWith(0x7fffffff, 1, 8, 22), "(program name: 2147483647 bytes"},
        {"huge path length", currentWith(10, 1, 0x7fffffff, 22), "(path: 2147483647 bytes"},
        {"legacy fits", legacyWith(10, 1, 22), nullptr},
        {"legacy 17 instruments", legacyWith(10, 17, 22), "17 instruments, at most 16"},
        {"legacy 23 parameters", legacyWith(10, 1, 23), "23 parameters, at most 22"},
        {"legacy huge name count", legacyWith(0x7fffffff, 1, 22), "(program name: 2147483647 bytes"},
        {"legacy odd name count", legacyWith(9, 1, 22), "odd UTF-16 byte count 9"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Program p = varied(4);
        const std::string before = dump(p);
        std::string error;
        const bool ok = readChunk(row.chunk.data(), row.chunk.size(), true, &p, error);
        if (!row.message) {
            EXPECT_TRUE(ok) << error;
            continue;
        }
        EXPECT_FALSE(ok);
        EXPECT_NE(error.find(row.message), std::string::npos) << error;
        EXPECT_EQ(dump(p), before);
    }
}
