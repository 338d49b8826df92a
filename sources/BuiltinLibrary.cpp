#include "sources/BuiltinSounds.h"

#include "engine/Instrument.h"
#include "engine/Sample.h"

#include <cstring>
#include <vector>

#include "BuiltinTables.inc"

const char** internalInstrumentName = nullptr;
const char** internalInstrumentName3 = nullptr;
std::string stabs2Name[kStabs2Count];
std::string stabs3Name[kStabs3Count];
std::string instru2Name[kInstru2Count];
std::string voice2Name[kVoice2Count];
const char* const kId53Path = ":/Resources/sounds/instrus/m1organ.wav";
const char* const kId54Path = ":/Resources/sounds/synths/jx1/JX1 C4+C5.wav";

namespace {

const char* categoryOf(int id) { return id <= 38 ? "stabs" : id <= 54 ? "synths" : "voices"; }


const char** newNameTable()
{
    auto** table = new const char*[kBuiltinCount];
    for (int id = 0; id < kBuiltinCount; ++id)
        table[id] = kBuiltinNames[id];
    return table;
}

template <int N>
void fillList(std::string (&list)[N], const char* directory, const char* const (&files)[N])
{
    for (int i = 0; i < N; ++i)
        list[i] = std::string(":/Resources/sounds/") + directory + "/" + files[i] + ".wav";
}

} // namespace

const BuiltinSound* builtinSound(int id)
{
    static const std::vector<BuiltinSound> rows = [] {
        std::vector<BuiltinSound> table;
        for (int i = 0; i < kBuiltinCount; ++i)
            table.push_back({categoryOf(i), kBuiltinLeft[i], kBuiltinRight[i], kBuiltinRows[i][0],
                             kBuiltinRows[i][1], kBuiltinRows[i][2]});
        return table;
    }();
    return (id >= 0 && id < kBuiltinCount) ? &rows[id] : nullptr;
}

// Every plug-in constructor builds the table again; the previous one stays
// valid for anyone still holding it.
void makeName() { internalInstrumentName = newNameTable(); }
void makeName3() { internalInstrumentName3 = newNameTable(); }

// The path lists never change: filled once, so that an editor being made
// never rewrites strings another instance's browser is reading.
void makeName2()
{
    static const bool filled = [] {
        fillList(stabs2Name, "stabs2", kFiles_stabs2);
        fillList(stabs3Name, "stabs3", kFiles_stabs3);
        fillList(instru2Name, "instrus", kFiles_instrus);
        fillList(voice2Name, "voices", kFiles_voices);
        return true;
    }();
    (void)filled;
}

const char* builtinName(int id)
{
    if (id < 0 || id >= kBuiltinCount)
        return "coin";
    return internalInstrumentName ? internalInstrumentName[id] : kBuiltinNames[id];
}

namespace {

struct Transposition
{
    const char* directory;
    const char* const* files; // the list the position refers to
    int position;             // 1-based
    int semitones;
};

// clang-format off
const Transposition kTranspositions[] = {
    {"stabs3", kFiles_stabs3, 9, 9},     {"stabs2", kFiles_stabs2, 10, -3}, {"stabs2", kFiles_stabs2, 2, -4},
    {"stabs2", kFiles_stabs2, 9, -2},    {"stabs2", kFiles_stabs2, 1, -8},  {"instrus", kFiles_instrus, 9, -6},
    {"stabs2", kFiles_stabs2, 6, 2},     {"instrus", kFiles_instrus, 7, -2}, {"instrus", kFiles_instrus, 12, -14},
    {"instrus", kFiles_instrus, 4, -17}, {"stabs2", kFiles_stabs2, 16, -3}, {"instrus", kFiles_instrus, 11, -2},
    {"stabs3", kFiles_stabs3, 2, -6},    {"stabs3", kFiles_stabs3, 3, -2},  {"stabs3", kFiles_stabs3, 5, 12},
    {"stabs3", kFiles_stabs3, 18, -3},   {"stabs3", kFiles_stabs3, 19, 2},  {"stabs3", kFiles_stabs3, 24, -3},
    {"stabs3", kFiles_stabs3, 23, -12},  {"stabs3", kFiles_stabs3, 21, -1},
};
// clang-format on
// A bass of an older library that saved sessions may still name.
const char* const kRetiredBassPath = ":/Resources/sounds/instrus/Acid Bass Old.wav";

} // namespace

int resourceTransposition(const std::string& path)
{
    for (const Transposition& t : kTranspositions)
        if (path == std::string(":/Resources/sounds/") + t.directory + "/" + t.files[t.position - 1] + ".wav")
            return t.semitones;
    return path == kRetiredBassPath ? 4 : 0;
}

void Instrument::loadFromId(int id, int kind)
{
    sourceKind = kind;
    auto* sample = new Sample();
    const BuiltinSound* row = builtinSound(id);
    if (!row) {
        sample->loadFromHeader(coinData, 20107, 0);
    } else if (id == 53 || id == 54) {
        // A resource that fails to load leaves an empty sample, which plays nothing.
        sample->loadFromResource(id == 53 ? kId53Path : kId54Path);
        if (id == 54) {
            sample->setLoopStyle(Sample::loop);
            sample->setLoopStart(12443);
        }
    } else {
        sample->loadFromHeader(row->left, row->length, 0);
        if (row->right)
            sample->loadFromHeader(row->right, row->length, 1);
        if (row->start)
            sample->setStartPlay(row->start);
        if (row->root != 60)
            sample->setRootNote(row->root);
    }
    const int before = sampleCount;
    addSample(sample, true);
    if (sampleCount == before)
        delete sample;
    name = builtinName(id);
}

bool Instrument::loadFromName(const std::string& wanted)
{
    for (int id = 0; id < kBuiltinCount; ++id) {
        if (wanted == builtinName(id)) {
            loadFromId(id, kBuiltin);
            return true;
        }
    }
    return false;
}
