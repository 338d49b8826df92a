// Dance stabs: ids 0..38 and the "stabs2" and "stabs3" resource lists.
#include "Recipes.h"
#include "Synth.h"

#include <cmath>
#include <string>

namespace soundgen {

namespace {

// Placeholder: a decaying tone at the root note.
Sound tone(int length, int root, bool stereo)
{
    Sound s;
    s.left.resize(length);
    double phase = 0;
    const double hz = noteHz(root);
    for (int i = 0; i < length; ++i) {
        s.left[i] = (float)(0.8 * std::sin(2 * kPi * phase) * std::exp(-i / (0.3 * kRate)));
        phase += hz / kRate;
        phase -= (int)phase;
    }
    fadeEdges(s.left, 0.002, 0.01);
    if (stereo)
        s.right = s.left;
    return s;
}

const int kRoots[39] = {63, 65, 62, 60, 64, 68, 68, 61, 63, 61, 73, 69, 60, 62, 65, 59, 57, 64, 62, 58,
                        57, 62, 62, 57, 62, 65, 63, 54, 57, 60, 60, 58, 60, 67, 63, 65, 69, 60, 60};

} // namespace

std::vector<BuiltinRecipe> stabBuiltins()
{
    static const char* const names[39] = {
        "House Stab", "Hoover", "Siren", "Stab 3", "Stab 4", "Stab 5", "Stab 6", "Stab 7", "Stab 8", "Stab 9",
        "Stab 10", "Stab 11", "Stab 12", "Stab 13", "Stab 14", "Stab 15", "Stab 16", "Stab 17", "Stab 18",
        "Stab 19", "Stab 20", "Stab 21", "Stab 22", "Stab 23", "Stab 24", "Stab 25", "Stab 26", "Stab 27",
        "Stab 28", "Stab 29", "Stab 30", "Stab 31", "Stab 32", "Stab 33", "Stab 34", "Stab 35", "Stab 36",
        "Stab 37", "Stab 38"};
    std::vector<BuiltinRecipe> r;
    for (int id = 0; id < 39; ++id) {
        BuiltinRecipe b{id, names[id], nullptr};
        if (id != 6 && id != 10) {
            const int root = kRoots[id];
            const bool stereo = id == 0 || id == 3;
            b.make = [root, stereo](int length) { return tone(length, root, stereo); };
        }
        r.push_back(b);
    }
    return r;
}

std::vector<ResourceRecipe> stabResources()
{
    static const int roots2[25] = {68, 64, 60, 60, 60, 58, 60, 60, 62, 63, 60, 60, 60, 60, 60, 63, 60, 60, 60, 60, 60, 60, 60, 60, 60};
    static const int roots3[24] = {60, 66, 62, 60, 48, 60, 60, 60, 51, 60, 60, 60, 60, 60, 60, 60, 60, 63, 58, 60, 61, 60, 72, 63};
    static std::vector<std::string> names;
    names.clear();
    for (int i = 1; i <= 25; ++i)
        names.push_back("Stab Two " + std::to_string(i));
    for (int i = 1; i <= 24; ++i)
        names.push_back(i == 5 ? "Deep Stab" : "Stab Three " + std::to_string(i));
    std::vector<ResourceRecipe> r;
    for (int i = 0; i < 25; ++i) {
        const int root = roots2[i];
        r.push_back({"stabs2", i + 1, names[i].c_str(), root, i == 3 ? WavLayout::pcm8 : WavLayout::pcm16,
                     [root] { Sound s = tone(30000, root, false); s.left.pop_back(); return s; }});
    }
    for (int i = 0; i < 24; ++i) {
        const int root = roots3[i];
        r.push_back({"stabs3", i + 1, names[25 + i].c_str(), root, i == 0 ? WavLayout::pcm16WithList : WavLayout::pcm16,
                     [root, i] { Sound s = tone(30000, root, i == 2); s.left.pop_back(); if (!s.right.empty()) s.right.pop_back(); return s; }});
    }
    return r;
}

} // namespace soundgen
