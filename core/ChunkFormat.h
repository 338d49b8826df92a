// The byte formats of the saved state: the program and bank chunks the host
// stores, and the older big-endian format the factory bank is written in.
// Pure functions on bytes and program records, so that they can be fuzzed and
// so that the plug-in can read into a copy of its programs and take it over
// only when the whole chunk was good.
#pragma once

#include "core/Program.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kChunkVersion = 5;            // what the writer writes
constexpr int kChunkFirstPhaserVersion = 5; // versions 3 and 4 have no phaser values
constexpr int kChunkLastLegacyVersion = 2;  // a first word up to this selects the legacy reader
constexpr int kChunkBankPrograms = 128;
// What a program record can hold. Larger counts cannot come from our writer
// and would overflow the records, so the readers reject them.
constexpr int kChunkMaxInstruments = 16;
constexpr int kChunkMaxParameters = 22;
constexpr int kChunkDelayValues = 8;
constexpr int kChunkPhaserValues = 8;

// Appends one current-format (version 5) program record of `p` to `out`: the
// first instrumentCount entries (clamped to 0..16), each with 22 parameter
// values. The selected instrument is not part of it.
void appendProgramRecord(const Program& p, std::vector<uint8_t>& out);

// Reads a program chunk (isPreset: into programs[0], the current program) or
// a bank chunk (into programs[0..127]). A first record whose version, read as
// a little-endian int32, is 2 or less hands the whole chunk to
// readLegacyChunk. Only what a record contains is replaced: entries beyond
// its instrument count, parameters beyond its parameter count, the selected
// instrument and, for versions 3 and 4, the phaser values keep their values.
// Bytes after the last record are ignored.
// Returns false with a one-line `error` when the chunk is truncated or breaks
// a bound; `programs` is then left exactly as it was.
bool readChunk(const uint8_t* data, size_t size, bool isPreset, Program* programs, std::string& error);

// The legacy reader, with the same meaning of the arguments and the same
// all-or-nothing result. Big-endian, reals as doubles, strings as UTF-16BE
// of which the low byte of each unit is kept; a negative string count is an
// empty string, a count of instruments or parameters of zero or less is none.
// The phaser values are never replaced.
bool readLegacyChunk(const uint8_t* data, size_t size, bool isPreset, Program* programs, std::string& error);
