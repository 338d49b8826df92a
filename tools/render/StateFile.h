// Saved plug-in state as hosts exchange it: .fxp programs and .fxb banks
// (big-endian, 'CcnK' header), either as parameter lists or as opaque
// chunks, or any other file taken whole as a bank chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace render {

struct StateFileError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

struct StateFile
{
    enum Kind
    {
        kProgramChunk, // 'FPCh': effSetChunk, program
        kBankChunk,    // 'FBCh': effSetChunk, bank
        kProgram,      // 'FxCk': one program's parameter values
        kBank,         // 'FxBk': every program's parameter values
        kRawChunk,     // no 'CcnK' header: the whole file as a bank chunk
    };

    struct Program
    {
        std::string name;
        std::vector<float> parameters;
    };

    Kind kind = kRawChunk;
    int32_t pluginId = 0; // 0 when the file does not say
    int32_t pluginVersion = 0;
    std::vector<uint8_t> chunk;    // chunk kinds
    std::vector<Program> programs; // kProgram: one; kBank: all of them
    std::string programName;       // kProgramChunk
    int currentProgram = -1;       // banks of format version 2

    bool isChunk() const { return kind == kProgramChunk || kind == kBankChunk || kind == kRawChunk; }
    const char* kindName() const;

    // Throws StateFileError naming what is wrong.
    static StateFile parse(const uint8_t* data, size_t size);
    static StateFile parse(const std::vector<uint8_t>& bytes) { return parse(bytes.data(), bytes.size()); }
    static StateFile load(const std::string& path);
};

} // namespace render
