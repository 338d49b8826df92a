// Synths, organs and vocal shouts: ids 39..65, the "instrus" and "voices"
// resource lists, and the resource files of ids 53 and 54.
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
        s.left[i] = (float)(0.8 * std::sin(2 * kPi * phase) * std::exp(-i / (0.5 * kRate)));
        phase += hz / kRate;
        phase -= (int)phase;
    }
    fadeEdges(s.left, 0.002, 0.01);
    if (stereo)
        s.right = s.left;
    return s;
}

const int kRoots[27] = {63, 64, 58, 57, 55, 64, 64, 64, 60, 60, 60, 60, 60, 54, 60, 60,
                        60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60};

} // namespace

std::vector<BuiltinRecipe> synthAndVoiceBuiltins()
{
    std::vector<BuiltinRecipe> r;
    static std::vector<std::string> names;
    names.clear();
    for (int id = 39; id <= 65; ++id)
        names.push_back(id == 53 ? "M1 Organ" : id == 55 ? "Yeah!" : id == 56 ? "Wooh" : id == 57 ? "Go!" : "Sound " + std::to_string(id));
    for (int id = 39; id <= 65; ++id) {
        BuiltinRecipe b{id, names[id - 39].c_str(), nullptr};
        if (id != 53 && id != 54) {
            const int root = kRoots[id - 39];
            const bool stereo = id == 49;
            b.make = [root, stereo](int length) { return tone(length, root, stereo); };
        }
        b.tonal = id < 55;
        r.push_back(b);
    }
    return r;
}

std::vector<ResourceRecipe> synthAndVoiceResources()
{
    static const int rootsInstrus[14] = {60, 60, 60, 77, 60, 60, 62, 60, 66, 60, 62, 74, 60, 60};
    static std::vector<std::string> names;
    names.clear();
    for (int i = 1; i <= 14; ++i)
        names.push_back(i == 1 ? "Deep Stab" : "Instru " + std::to_string(i));
    for (int i = 1; i <= 17; ++i)
        names.push_back("Voice " + std::to_string(i));
    std::vector<ResourceRecipe> r;
    for (int i = 0; i < 14; ++i) {
        const int root = rootsInstrus[i];
        ResourceRecipe e{"instrus", i + 1, names[i].c_str(), root, WavLayout::pcm16, nullptr};
        if (i != 0)
            e.make = [root] { Sound s = tone(40000, root, false); s.left.pop_back(); return s; };
        r.push_back(e);
    }
    for (int i = 0; i < 17; ++i) {
        ResourceRecipe e{"voices", i + 1, names[14 + i].c_str(), 60, i == 2 ? WavLayout::pcm8 : WavLayout::pcm16,
                         [] { Sound s = tone(30000, 60, false); s.left.pop_back(); return s; }};
        e.tonal = false;
        r.push_back(e);
    }
    r.push_back({"instrus", 0, "m1organ", 60, WavLayout::pcm16, [] { Sound s = tone(60000, 60, false); s.left.pop_back(); return s; }});
    r.push_back({"synths/jx1", 0, "JX1 C4+C5", 60, WavLayout::pcm16, [] { Sound s = tone(60000, 60, true); s.left.pop_back(); s.right.pop_back(); return s; }});
    return r;
}

} // namespace soundgen
