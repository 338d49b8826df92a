#include "tools/render/StateFile.h"

#include "tools/render/FileBytes.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace render {

namespace {

template <typename... Args>
[[noreturn]] void fail(const char* format, Args... args)
{
    throw StateFileError(formatMessage(format, args...));
}

// Reads the big-endian fields; every read is checked against the end.
class Reader
{
public:
    Reader(const uint8_t* data, size_t size) : data(data), size(size) {}

    size_t offset() const { return pos; }
    size_t remaining() const { return size - pos; }

    const uint8_t* take(size_t length, const char* what)
    {
        if (length > size - pos)
            fail("truncated: %s needs %zu bytes at byte %zu but %zu remain", what, length, pos, size - pos);
        const uint8_t* p = data + pos;
        pos += length;
        return p;
    }

    uint32_t u32(const char* what)
    {
        const uint8_t* p = take(4, what);
        return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
    }

    int32_t i32(const char* what) { return (int32_t)u32(what); }

    float f32(const char* what)
    {
        const uint32_t bits = u32(what);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    std::string text(size_t length, const char* what)
    {
        const char* p = reinterpret_cast<const char*>(take(length, what));
        return std::string(p, std::find(p, p + length, '\0'));
    }

    std::string magic(const char* what)
    {
        const uint8_t* p = take(4, what);
        std::string name;
        for (int i = 0; i < 4; ++i) {
            if (p[i] >= 0x20 && p[i] < 0x7f) {
                name += (char)p[i];
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", p[i]);
                name += hex;
            }
        }
        return name;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
};

std::vector<float> readParameters(Reader& in, int32_t count)
{
    if (count < 0)
        fail("negative parameter count %d", count);
    // Check the whole list up front so a huge count allocates nothing.
    if ((uint64_t)count * 4 > in.remaining())
        fail("truncated: %d parameter values need %llu bytes at byte %zu but %zu remain", count,
             (unsigned long long)count * 4, in.offset(), in.remaining());
    std::vector<float> values((size_t)count);
    for (float& v : values)
        v = in.f32("a parameter value");
    return values;
}

std::vector<uint8_t> readChunk(Reader& in)
{
    const uint32_t length = in.u32("the chunk size");
    const uint8_t* p = in.take(length, "the chunk");
    return std::vector<uint8_t>(p, p + length);
}

// The byte-size field after 'CcnK' is not checked: writers disagree on what it counts.
// Returns the format version.
int32_t header(Reader& in, std::string& fxMagic, int32_t& pluginId, int32_t& pluginVersion)
{
    const size_t at = in.offset();
    if (in.magic("the header") != "CcnK")
        fail("missing 'CcnK' header at byte %zu", at);
    in.u32("the byte size");
    fxMagic = in.magic("the type");
    const int32_t version = in.i32("the format version");
    pluginId = in.i32("the plug-in id");
    pluginVersion = in.i32("the plug-in version");
    return version;
}

} // namespace

const char* StateFile::kindName() const
{
    switch (kind) {
    case kProgramChunk: return "program chunk";
    case kBankChunk: return "bank chunk";
    case kProgram: return "program";
    case kBank: return "bank";
    case kRawChunk: return "raw chunk";
    }
    return "?";
}

StateFile StateFile::parse(const uint8_t* data, size_t size)
{
    StateFile state;
    if (size == 0)
        fail("empty file");
    if (size < 4 || std::memcmp(data, "CcnK", 4) != 0) {
        state.kind = kRawChunk;
        state.chunk.assign(data, data + size);
        return state;
    }

    Reader in(data, size);
    std::string fxMagic;
    const int32_t version = header(in, fxMagic, state.pluginId, state.pluginVersion);
    if (fxMagic == "FxCk" || fxMagic == "FPCh") {
        const int32_t count = in.i32("the parameter count");
        Program program;
        program.name = in.text(28, "the program name");
        if (fxMagic == "FxCk") {
            state.kind = kProgram;
            program.parameters = readParameters(in, count);
            state.programs.push_back(std::move(program));
        } else {
            state.kind = kProgramChunk;
            state.programName = program.name;
            state.chunk = readChunk(in);
        }
    } else if (fxMagic == "FxBk" || fxMagic == "FBCh") {
        const int32_t programCount = in.i32("the program count");
        if (programCount < 0)
            fail("negative program count %d", programCount);
        const int32_t current = in.i32("the current program");
        in.take(124, "the reserved header bytes");
        if (version >= 2)
            state.currentProgram = current;
        if (fxMagic == "FBCh") {
            state.kind = kBankChunk;
            state.chunk = readChunk(in);
        } else {
            state.kind = kBank;
            // Each program needs at least its 56-byte header.
            if ((uint64_t)programCount * 56 > in.remaining())
                fail("truncated: %d programs cannot fit in the %zu bytes after byte %zu", programCount,
                     in.remaining(), in.offset());
            for (int32_t p = 0; p < programCount; ++p) {
                std::string magic;
                int32_t id = 0, pluginVersion = 0;
                header(in, magic, id, pluginVersion);
                if (magic != "FxCk")
                    fail("program %d of the bank has type '%s' instead of 'FxCk'", p + 1, magic.c_str());
                const int32_t count = in.i32("the parameter count");
                Program program;
                program.name = in.text(28, "the program name");
                program.parameters = readParameters(in, count);
                state.programs.push_back(std::move(program));
            }
        }
    } else {
        fail("unknown state type '%s' (expected FxCk, FPCh, FxBk or FBCh)", fxMagic.c_str());
    }
    return state;
}

StateFile StateFile::load(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!readFileBytes(path, 512 << 20, bytes, problem))
        fail("%s", problem.c_str());
    return parse(bytes);
}

} // namespace render
