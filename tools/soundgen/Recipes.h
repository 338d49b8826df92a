// What a sound recipe declares. Two kinds of sounds are made: the built-in
// arrays compiled into the plug-in (by id) and the resource WAV files of the
// bundle (by list and position). All audio is at 44100 Hz, normalised to -1..1.
#pragma once

#include <functional>
#include <vector>

namespace soundgen {

struct Sound
{
    std::vector<float> left;
    std::vector<float> right; // empty for a mono sound
};

struct BuiltinRecipe
{
    int id;           // 0..65
    const char* name; // display name: unique, case-sensitive
    // Makes exactly `length` values per channel; the last value is the guard
    // read after the last frame. Null for ids that have no array of their own:
    // 6 and 10 (cuts of 5 and 9) and 53 and 54 (resource files).
    std::function<Sound(int length)> make;
    bool tonal = true; // its root note is its actual pitch (the lowest note of a chord)
};

enum class WavLayout
{
    pcm16,         // 16-bit PCM, mono or stereo
    pcm8,          // 8-bit PCM, mono only
    pcm16WithList, // 16-bit PCM with a "LIST" chunk between "fmt " and "data"
};

struct ResourceRecipe
{
    // "stabs2", "stabs3", "instrus" or "voices" with a 1-based position in that
    // list; or a directory with position 0 for a file that is in no list
    // (ids 53 and 54: "instrus" and "synths/jx1").
    const char* list;
    int position;
    const char* file; // file name without ".wav"; unique across all lists
    int root;         // MIDI note the recording sounds at (60 - the table's k)
    WavLayout layout;
    std::function<Sound()> make; // null for a list entry naming another list's file
    bool tonal = true;
};

// Each family of sounds lives in its own file.
std::vector<BuiltinRecipe> stabBuiltins();           // ids 0..38
std::vector<ResourceRecipe> stabResources();         // stabs2, stabs3
std::vector<BuiltinRecipe> synthAndVoiceBuiltins();  // ids 39..65
std::vector<ResourceRecipe> synthAndVoiceResources(); // instrus, voices, ids 53 and 54

} // namespace soundgen
