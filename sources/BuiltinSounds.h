// The built-in sound library: 66 sounds by id and display name, the resource
// sounds of the bundle by path, and the tables that describe them.
#pragma once

#include <string>

extern "C" {
// The fallback sound every new instrument holds.
extern const float coinData[];
}

constexpr int kCoinLength = 20108;
constexpr int kBuiltinCount = 66;

// Display names by built-in id; the keys by which saved states name built-in sounds.
extern const char** internalInstrumentName;
// The same names, for the browser.
extern const char** internalInstrumentName3;

// Resource paths, ":/Resources/sounds/<directory>/<file>.wav", by browser category.
constexpr int kStabs2Count = 25, kStabs3Count = 24, kInstru2Count = 14, kVoice2Count = 17;
extern std::string stabs2Name[kStabs2Count];
extern std::string stabs3Name[kStabs3Count];
extern std::string instru2Name[kInstru2Count];
extern std::string voice2Name[kVoice2Count];

// The resource paths of ids 53 and 54.
extern const char* const kId53Path;
extern const char* const kId54Path;

void makeName();
void makeName2();
void makeName3();

// One row of the id table: how a built-in id is loaded.
struct BuiltinSound
{
    const char* category; // "stabs", "synths" or "voices"
    const float* left;    // null for the resource sounds 53 and 54
    const float* right;   // null for mono sounds
    int length;           // values per channel given to the sample: frames + 1
    int start;            // start position
    int root;             // root note
};
// The row of `id`, or null outside 0..65.
const BuiltinSound* builtinSound(int id);

// The display name of a built-in id, "coin" outside 0..65.
const char* builtinName(int id);
// The transposition in semitones the root-note table gives a resource path
// (the recording's root note is 60 minus it); 0 for paths not in the table.
int resourceTransposition(const std::string& path);
