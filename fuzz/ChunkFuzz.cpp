// Fuzz target: the saved-state readers on arbitrary bytes. The first byte
// picks the reader (bit 0: legacy) and the chunk kind (bit 1: bank). A chunk
// that is read is written back and read again, which must give the same
// programs; a chunk that is refused must leave the programs untouched.
// Built with CHUNK_FUZZ_SEEDS it is instead the seed maker: main(dir).
#include "core/ChunkFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

template <typename Value>
bool sameFloats(const Value* a, const Value* b, int n)
{
    for (int i = 0; i < n; ++i)
        if (!sameFloat(a[i], b[i]))
            return false;
    return true;
}

bool sameEntry(const InstrumentProgram& a, const InstrumentProgram& b)
{
    return sameFloats(a.parameters, b.parameters, 22) && a.name == b.name && a.path == b.path &&
           a.sourceKind == b.sourceKind && a.startPosition == b.startPosition && a.loopStart == b.loopStart &&
           a.loopEnd == b.loopEnd && a.midiChannel == b.midiChannel;
}

// `allEntries`: also the entries beyond the count, which no record holds.
bool sameProgram(const Program& a, const Program& b, bool allEntries)
{
    if (a.instrumentCount != b.instrumentCount || a.name != b.name ||
        !sameFloat(a.velocitySensitivity, b.velocitySensitivity) || !sameFloat(a.masterVolume, b.masterVolume) ||
        !sameFloat(a.masterTune, b.masterTune) || !sameFloat(a.pitchBendRange, b.pitchBendRange) ||
        !sameFloat(a.selectedInstrument, b.selectedInstrument) || !sameFloats(a.delay.values, b.delay.values, 8) ||
        !sameFloats(a.phaser.values, b.phaser.values, 8))
        return false;
    const int entries = allEntries ? 16 : a.instrumentCount;
    for (int i = 0; i < entries; ++i)
        if (!sameEntry(a.instruments[i], b.instruments[i]))
            return false;
    return true;
}

} // namespace

#ifndef CHUNK_FUZZ_SEEDS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool legacy = data[0] & 1;
    const bool isPreset = !(data[0] & 2);
    const int count = isPreset ? 1 : kChunkBankPrograms;
    // The chunk gets a buffer of its own size, so any read past it is caught.
    const std::vector<uint8_t> chunk(data + 1, data + size);
    const std::vector<Program> defaults(count);

    std::vector<Program> programs = defaults;
    std::string error;
    const bool ok = legacy ? readLegacyChunk(chunk.data(), chunk.size(), isPreset, programs.data(), error)
                           : readChunk(chunk.data(), chunk.size(), isPreset, programs.data(), error);
    if (!ok) {
        if (error.empty() || error.find('\n') != std::string::npos)
            abort();
        for (int i = 0; i < count; ++i)
            if (!sameProgram(programs[i], defaults[i], true))
                abort();
        return 0;
    }

    std::vector<uint8_t> written;
    for (const Program& p : programs)
        appendProgramRecord(p, written);
    std::vector<Program> again = defaults;
    if (!readChunk(written.data(), written.size(), isPreset, again.data(), error))
        abort();
    for (int i = 0; i < count; ++i)
        if (!sameProgram(again[i], programs[i], false))
            abort();
    return 0;
}

#else

namespace {

struct Bytes
{
    bool bigEndian;
    std::vector<uint8_t> b;

    void i32(int v)
    {
        for (int i = 0; i < 4; ++i)
            b.push_back((uint8_t)(bigEndian ? (uint32_t)v >> (24 - 8 * i) : (uint32_t)v >> (8 * i)));
    }
    void f64(double v)
    {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            b.push_back((uint8_t)(u >> (56 - 8 * i)));
    }
    void utf16(const std::string& s)
    {
        i32((int)s.size() * 2);
        for (char c : s) {
            b.push_back(0);
            b.push_back((uint8_t)c);
        }
    }
};

Program sample(int seed)
{
    Program p;
    p.name = "Seed " + std::to_string(seed);
    p.instrumentCount = seed % 4;
    for (int i = 0; i < p.instrumentCount; ++i) {
        InstrumentProgram& e = p.instruments[i];
        e.sourceKind = i % 3;
        e.name = "Sound " + std::to_string(i);
        e.path = e.sourceKind == 2 ? ":/Resources/s" + std::to_string(i) + ".wav" : "";
        e.loopEnd = 1000 * i;
        for (int k = 0; k < 22; ++k)
            e.parameters[k] = k / 22.f;
    }
    return p;
}

void legacyRecord(Bytes& b, int seed)
{
    b.i32(0);
    b.utf16("Legacy " + std::to_string(seed));
    const int count = seed % 3;
    b.i32(count);
    for (int i = 0; i < count; ++i) {
        b.i32(i);
        b.utf16("Sound");
        if (i == 1)
            b.i32(-1);
        else
            b.utf16("/tmp/a.wav");
        for (int k = 0; k < 4; ++k)
            b.i32(k);
        b.i32(i == 0 ? 22 : 2);
        for (int k = 0; k < (i == 0 ? 22 : 2); ++k)
            b.f64(k / 22.0);
    }
    for (int k = 0; k < 12; ++k)
        b.f64(k / 12.0);
}

void save(const char* dir, const char* name, uint8_t mode, const std::vector<uint8_t>& chunk)
{
    const std::string path = std::string(dir) + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fputc(mode, f);
    std::fwrite(chunk.data(), 1, chunk.size(), f);
    std::fclose(f);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED_DIR\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> chunk;
    appendProgramRecord(Program(), chunk);
    save(argv[1], "program-default", 0, chunk);

    chunk.clear();
    appendProgramRecord(sample(3), chunk);
    save(argv[1], "program-three", 0, chunk);
    chunk[0] = 4;
    chunk.resize(chunk.size() - 32);
    save(argv[1], "program-version4", 0, chunk);

    chunk.clear();
    for (int i = 0; i < kChunkBankPrograms; ++i)
        appendProgramRecord(sample(i), chunk);
    save(argv[1], "bank", 2, chunk);

    Bytes legacy{true, {}};
    legacyRecord(legacy, 2);
    save(argv[1], "legacy-program", 1, legacy.b);
    save(argv[1], "legacy-program-handover", 0, legacy.b);
    legacy.b.clear();
    for (int i = 0; i < kChunkBankPrograms; ++i)
        legacyRecord(legacy, i);
    save(argv[1], "legacy-bank", 3, legacy.b);
    return 0;
}

#endif
