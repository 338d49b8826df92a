#include "sources/BuiltinSounds.h"

#include "engine/Instrument.h"
#include "engine/Sample.h"

#include <cstring>

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

struct IdRow
{
    int length, start, root;
};
// clang-format off
const IdRow kIdTable[kBuiltinCount] = {
    {10732, 0, 63}, {97657, 0, 65}, {10244, 0, 62}, {69090, 0, 60}, {35560, 0, 64},
    {62034, 0, 68}, {22500, 3000, 68}, {15865, 0, 61}, {31936, 0, 63}, {66816, 0, 61},
    {5420, 2080, 73}, {15776, 0, 69}, {16947, 0, 60}, {76877, 0, 62}, {21505, 0, 65},
    {15777, 0, 59}, {23553, 0, 57}, {15745, 0, 64}, {11646, 0, 62}, {29440, 0, 58},
    {64859, 0, 57}, {14176, 0, 62}, {25335, 0, 62}, {8963, 0, 57}, {8480, 0, 62},
    {15466, 0, 65}, {15651, 0, 63}, {14418, 0, 54}, {16129, 0, 57}, {98340, 0, 60},
    {27014, 0, 60}, {45057, 0, 58}, {15284, 0, 60}, {20785, 0, 67}, {12479, 0, 63},
    {8863, 0, 65}, {19777, 0, 69}, {10763, 0, 60}, {23742, 0, 60}, {203311, 4000, 63},
    {28386, 0, 64}, {20833, 0, 58}, {91988, 0, 57}, {26560, 0, 55}, {8961, 0, 64},
    {13441, 0, 64}, {14560, 0, 64}, {30210, 0, 60}, {15575, 0, 60}, {93646, 0, 60},
    {51200, 0, 60}, {20832, 0, 60}, {91504, 0, 54}, {0, 0, 60}, {0, 0, 60},
    {16500, 0, 60}, {10081, 0, 60}, {36609, 0, 60}, {22859, 0, 60}, {8050, 0, 60},
    {15361, 0, 60}, {23041, 0, 60}, {41473, 0, 60}, {20130, 0, 60}, {13147, 0, 60},
    {30510, 0, 60},
};
// clang-format on

const char* categoryOf(int id) { return id <= 38 ? "stabs" : id <= 54 ? "synths" : "voices"; }

BuiltinSound rows[kBuiltinCount];
bool rowsBuilt = [] {
    for (int id = 0; id < kBuiltinCount; ++id)
        rows[id] = {categoryOf(id), kBuiltinLeft[id], kBuiltinRight[id], kIdTable[id].length, kIdTable[id].start,
                    kIdTable[id].root};
    return true;
}();

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

const BuiltinSound* builtinSound(int id) { return (id >= 0 && id < kBuiltinCount) ? &rows[id] : nullptr; }

// Every plug-in constructor builds the table again; the previous one stays
// valid for anyone still holding it.
void makeName() { internalInstrumentName = newNameTable(); }
void makeName3() { internalInstrumentName3 = newNameTable(); }

void makeName2()
{
    fillList(stabs2Name, "stabs2", kFiles_stabs2);
    fillList(stabs3Name, "stabs3", kFiles_stabs3);
    fillList(instru2Name, "instrus", kFiles_instrus);
    fillList(voice2Name, "voices", kFiles_voices);
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
