#include "core/ChunkFormat.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

void putU32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
    out.push_back((uint8_t)(v >> 16));
    out.push_back((uint8_t)(v >> 24));
}

void putInt(std::vector<uint8_t>& out, int v) { putU32(out, (uint32_t)v); }

void putFloat(std::vector<uint8_t>& out, float v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    putU32(out, u);
}

void putString(std::vector<uint8_t>& out, const std::string& s)
{
    // The length field is an int32; anything longer could not be read back.
    const size_t n = std::min(s.size(), (size_t)INT32_MAX);
    putInt(out, (int)n);
    out.insert(out.end(), s.begin(), s.begin() + n);
}

// A cursor over the chunk that never reads past its end and, on the first
// fault, composes a message naming where in the chunk it happened.
class Reader
{
public:
    Reader(const uint8_t* data, size_t size, bool legacy, bool isPreset, std::string& error)
        : data(data), size(data ? size : 0), legacy(legacy), isPreset(isPreset), error(error)
    {
    }

    int program = -1;
    int instrument = -1;

    size_t position() const { return pos; }
    void seek(size_t p) { pos = p; }

    bool truncated(const char* field, size_t wanted)
    {
        error = prefix() + " truncated" + location() + " (" + field + ": " + std::to_string(wanted) +
                " bytes, " + std::to_string(size - pos) + " left)";
        return false;
    }

    bool invalid(const std::string& detail)
    {
        error = prefix() + " invalid" + location() + ": " + detail;
        return false;
    }

    bool skip(size_t n, const char* field)
    {
        if (size - pos < n)
            return truncated(field, n);
        pos += n;
        return true;
    }

    bool int32(int& v, const char* field)
    {
        uint32_t u = 0;
        if (!word(u, field))
            return false;
        v = (int)(int32_t)u;
        return true;
    }

    bool real(float& v, const char* field)
    {
        if (!legacy) {
            uint32_t u = 0;
            if (!word(u, field))
                return false;
            std::memcpy(&v, &u, 4);
            return true;
        }
        if (size - pos < 8)
            return truncated(field, 8);
        uint64_t u = 0;
        for (int i = 0; i < 8; ++i)
            u = (u << 8) | data[pos + i];
        pos += 8;
        double d;
        std::memcpy(&d, &u, 8);
        v = (float)d;
        return true;
    }

    bool string(std::string& s, const char* field)
    {
        int n;
        if (!int32(n, field))
            return false;
        if (n < 0) {
            // The legacy form of a null string.
            if (legacy) {
                s.clear();
                return true;
            }
            return invalid(std::string("negative ") + field + " length " + std::to_string(n));
        }
        // Checked before allocating, so a hostile length costs nothing.
        if (size - pos < (size_t)n)
            return truncated(field, (size_t)n);
        if (!legacy) {
            s.assign(reinterpret_cast<const char*>(data + pos), (size_t)n);
        } else {
            if (n % 2 != 0)
                return invalid(std::string("odd UTF-16 byte count ") + std::to_string(n) + " of " + field);
            s.resize((size_t)n / 2);
            for (size_t i = 0; i < s.size(); ++i)
                s[i] = (char)data[pos + 2 * i + 1];
        }
        pos += (size_t)n;
        return true;
    }

private:
    bool word(uint32_t& u, const char* field)
    {
        if (size - pos < 4)
            return truncated(field, 4);
        const uint8_t* b = data + pos;
        u = legacy ? ((uint32_t)b[0] << 24 | (uint32_t)b[1] << 16 | (uint32_t)b[2] << 8 | b[3])
                   : ((uint32_t)b[3] << 24 | (uint32_t)b[2] << 16 | (uint32_t)b[1] << 8 | b[0]);
        pos += 4;
        return true;
    }

    std::string prefix() const
    {
        return std::string(legacy ? "legacy " : "") + (isPreset ? "program chunk" : "bank chunk");
    }

    // " in program 3, instrument 2"; a program chunk has a single program.
    std::string location() const
    {
        std::string where;
        if (!isPreset)
            where = " in program " + std::to_string(program);
        if (instrument >= 0)
            where += (where.empty() ? " in " : ", ") + std::string("instrument ") + std::to_string(instrument);
        return where;
    }

    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool legacy, isPreset;
    std::string& error;
};

bool readInstrumentCount(Reader& r, int& count)
{
    if (!r.int32(count, "instrument count"))
        return false;
    if (count > kChunkMaxInstruments)
        return r.invalid(std::to_string(count) + " instruments, at most " + std::to_string(kChunkMaxInstruments));
    return true;
}

bool readParameterCount(Reader& r, int& count)
{
    if (!r.int32(count, "parameter count"))
        return false;
    if (count > kChunkMaxParameters)
        return r.invalid(std::to_string(count) + " parameters, at most " + std::to_string(kChunkMaxParameters));
    return true;
}

// Fields shared by both formats, in the order both write them.
bool readInstrument(Reader& r, InstrumentProgram& e, bool legacy)
{
    int count;
    if (!r.int32(e.sourceKind, "source kind") || !r.string(e.name, "name") || !r.string(e.path, "path") ||
        !r.int32(e.startPosition, "start position") || !r.int32(e.loopStart, "loop start") ||
        !r.int32(e.loopEnd, "loop end") || !r.int32(e.midiChannel, "MIDI channel") || !readParameterCount(r, count))
        return false;
    if (count < 0) {
        if (!legacy)
            return r.invalid("negative parameter count " + std::to_string(count));
        count = 0;
    }
    for (int k = 0; k < count; ++k)
        if (!r.real(e.parameters[k], "parameter value"))
            return false;
    return true;
}

bool readTail(Reader& r, Program& p)
{
    for (int k = 0; k < kChunkDelayValues; ++k)
        if (!r.real(p.delay.values[k], "delay value"))
            return false;
    float globals[4] = {};
    if (!(r.real(globals[0], "master volume") && r.real(globals[1], "master tune") &&
          r.real(globals[2], "velocity sensitivity") && r.real(globals[3], "pitch-bend range")))
        return false;
    p.masterVolume = globals[0];
    p.masterTune = globals[1];
    p.velocitySensitivity = globals[2];
    p.pitchBendRange = globals[3];
    return true;
}

bool readRecord(Reader& r, Program& p, bool legacy, int version)
{
    r.instrument = -1;
    int count;
    if (!r.string(p.name, "program name") || !readInstrumentCount(r, count))
        return false;
    if (count < 0) {
        if (!legacy)
            return r.invalid("negative instrument count " + std::to_string(count));
        count = 0;
    }
    p.instrumentCount = count;
    for (int i = 0; i < count; ++i) {
        r.instrument = i;
        if (!readInstrument(r, p.instruments[i], legacy))
            return false;
    }
    r.instrument = -1;
    if (!readTail(r, p))
        return false;
    if (!legacy && version >= kChunkFirstPhaserVersion) {
        for (int k = 0; k < kChunkPhaserValues; ++k) {
            float value = 0.f;
            if (!r.real(value, "phaser value"))
                return false;
            p.phaser.values[k] = value;
        }
    }
    return true;
}

// Both parsers write straight into `work`, a scratch copy the callers commit.
bool parseLegacy(const uint8_t* data, size_t size, bool isPreset, Program* work, std::string& error)
{
    Reader r(data, size, true, isPreset, error);
    const int count = isPreset ? 1 : kChunkBankPrograms;
    for (int i = 0; i < count; ++i) {
        r.program = i;
        r.instrument = -1;
        if (!r.skip(4, "record header") || !readRecord(r, work[i], true, 0))
            return false;
    }
    return true;
}

bool parseCurrent(const uint8_t* data, size_t size, bool isPreset, Program* work, std::string& error)
{
    Reader r(data, size, false, isPreset, error);
    const int count = isPreset ? 1 : kChunkBankPrograms;
    for (int i = 0; i < count; ++i) {
        r.program = i;
        r.instrument = -1;
        int version;
        if (!r.int32(version, "version"))
            return false;
        // As the plug-in always did, an old record anywhere hands the whole
        // chunk over from its first byte.
        if (version <= kChunkLastLegacyVersion)
            return parseLegacy(data, size, isPreset, work, error);
        if (!readRecord(r, work[i], false, version))
            return false;
    }
    return true;
}

using Parser = bool (*)(const uint8_t*, size_t, bool, Program*, std::string&);

bool readAllOrNothing(Parser parse, const uint8_t* data, size_t size, bool isPreset, Program* programs,
                      std::string& error)
{
    if (!programs) {
        error = "no programs to read the chunk into";
        return false;
    }
    const int count = isPreset ? 1 : kChunkBankPrograms;
    std::vector<Program> work(programs, programs + count);
    if (!parse(data, size, isPreset, work.data(), error))
        return false;
    std::move(work.begin(), work.end(), programs);
    return true;
}

} // namespace

void appendProgramRecord(const Program& p, std::vector<uint8_t>& out)
{
    putInt(out, kChunkVersion);
    putString(out, p.name);
    const int count = std::clamp(p.instrumentCount, 0, kChunkMaxInstruments);
    putInt(out, count);
    for (int i = 0; i < count; ++i) {
        const InstrumentProgram& e = p.instruments[i];
        putInt(out, e.sourceKind);
        putString(out, e.name);
        putString(out, e.path);
        putInt(out, e.startPosition);
        putInt(out, e.loopStart);
        putInt(out, e.loopEnd);
        putInt(out, e.midiChannel);
        putInt(out, kChunkMaxParameters);
        for (float v : e.parameters)
            putFloat(out, v);
    }
    for (float v : p.delay.values)
        putFloat(out, v);
    putFloat(out, p.masterVolume);
    putFloat(out, p.masterTune);
    putFloat(out, p.velocitySensitivity);
    putFloat(out, p.pitchBendRange);
    for (float v : p.phaser.values)
        putFloat(out, v);
}

bool readChunk(const uint8_t* data, size_t size, bool isPreset, Program* programs, std::string& error)
{
    return readAllOrNothing(parseCurrent, data, size, isPreset, programs, error);
}

bool readLegacyChunk(const uint8_t* data, size_t size, bool isPreset, Program* programs, std::string& error)
{
    return readAllOrNothing(parseLegacy, data, size, isPreset, programs, error);
}
