// Build-time generator of the built-in sound library. The recipes (one file
// per family of sounds) are short programs of oscillators and envelopes; this
// file checks them against the id table and writes:
//   OUT/sounds/*.f32        raw little-endian float32 arrays, embedded into the plug-in
//   OUT/BuiltinSounds.S     the assembler file that embeds them
//   OUT/BuiltinTables.inc   display names, array symbols and resource file lists
//   OUT/manifest.tsv        every sound with its root note, for the tests
//   RESOURCES/*.wav         the resource sounds of the bundle
#include "Recipes.h"
#include "Synth.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace soundgen;

namespace {

constexpr int kBuiltinCount = 66;

// The id table: channels, length (values per channel, guard included), start
// position and root note. Ids 6 and 10 are cuts of the arrays of 5 and 9; 53
// and 54 are resource files.
struct IdRow
{
    int channels, length, start, root;
};
// clang-format off
const IdRow kIdTable[kBuiltinCount] = {
    {2, 10732, 0, 63}, {1, 97657, 0, 65}, {1, 10244, 0, 62}, {2, 69090, 0, 60}, {1, 35560, 0, 64},
    {1, 62034, 0, 68}, {1, 22500, 3000, 68}, {1, 15865, 0, 61}, {1, 31936, 0, 63}, {1, 66816, 0, 61},
    {1, 5420, 2080, 73}, {1, 15776, 0, 69}, {1, 16947, 0, 60}, {1, 76877, 0, 62}, {1, 21505, 0, 65},
    {1, 15777, 0, 59}, {1, 23553, 0, 57}, {1, 15745, 0, 64}, {1, 11646, 0, 62}, {1, 29440, 0, 58},
    {1, 64859, 0, 57}, {1, 14176, 0, 62}, {1, 25335, 0, 62}, {1, 8963, 0, 57}, {1, 8480, 0, 62},
    {1, 15466, 0, 65}, {1, 15651, 0, 63}, {1, 14418, 0, 54}, {1, 16129, 0, 57}, {1, 98340, 0, 60},
    {1, 27014, 0, 60}, {1, 45057, 0, 58}, {1, 15284, 0, 60}, {1, 20785, 0, 67}, {1, 12479, 0, 63},
    {1, 8863, 0, 65}, {1, 19777, 0, 69}, {1, 10763, 0, 60}, {1, 23742, 0, 60}, {1, 203311, 4000, 63},
    {1, 28386, 0, 64}, {1, 20833, 0, 58}, {1, 91988, 0, 57}, {1, 26560, 0, 55}, {1, 8961, 0, 64},
    {1, 13441, 0, 64}, {1, 14560, 0, 64}, {1, 30210, 0, 60}, {1, 15575, 0, 60}, {2, 93646, 0, 60},
    {1, 51200, 0, 60}, {1, 20832, 0, 60}, {1, 91504, 0, 54}, {0, 0, 0, 60}, {0, 0, 0, 60},
    {1, 16500, 0, 60}, {1, 10081, 0, 60}, {1, 36609, 0, 60}, {1, 22859, 0, 60}, {1, 8050, 0, 60},
    {1, 15361, 0, 60}, {1, 23041, 0, 60}, {1, 41473, 0, 60}, {1, 20130, 0, 60}, {1, 13147, 0, 60},
    {1, 30510, 0, 60},
};
// clang-format on
bool hasOwnArray(int id) { return id != 6 && id != 10 && id != 53 && id != 54; }

struct ListInfo
{
    const char* name;
    int entries;
};
const ListInfo kLists[] = {{"stabs2", 25}, {"stabs3", 24}, {"instrus", 14}, {"voices", 17}};
const char* const kId53File = "m1organ";  // in "instrus"
const char* const kId54File = "JX1 C4+C5"; // in "synths/jx1"

// "coin": a pickup chime, a short grace note a fourth below, then a bright
// pulse at C4 (its root, MIDI note 60) ringing out.
std::vector<float> coin(int length)
{
    std::vector<float> s(length);
    const double grace = noteHz(55), main = noteHz(60);
    const double switchAt = 0.06, crossfade = 0.004;
    double phaseGrace = 0, phaseMain = 0;
    for (int i = 0; i < length; ++i) {
        const double t = i / kRate;
        const double toMain = std::fmin(1.0, std::fmax(0.0, (t - switchAt) / crossfade));
        const double graceLevel = 0.75 * (1 - toMain);
        const double mainLevel = toMain * std::exp(-(t - switchAt) / 0.16);
        double v = 0;
        if (graceLevel > 0)
            v += graceLevel * pulse(phaseGrace, grace, 0.25);
        if (mainLevel > 0)
            v += mainLevel * (pulse(phaseMain, main, 0.25) + 0.35 * std::sin(2 * kPi * 2 * phaseMain));
        s[i] = (float)v;
        phaseGrace += grace / kRate;
        phaseMain += main / kRate;
        phaseGrace -= (int)phaseGrace;
        phaseMain -= (int)phaseMain;
    }
    fadeEdges(s, 0.002, 0.02);
    normalise(s, 0.9);
    s.back() = 0; // the guard value after the last frame
    return s;
}

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what); }

void checkAudio(const std::vector<float>& v, const std::string& what)
{
    for (float x : v)
        if (!std::isfinite(x) || std::fabs(x) > 1.0f)
            fail(what + ": values must be finite and within -1..1");
}

void writeBytes(const std::string& path, const void* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        fail("cannot write " + path);
    const bool ok = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !ok)
        fail("cannot write " + path);
}

void writeRaw(const std::string& path, const std::vector<float>& data)
{
    writeBytes(path, data.data(), data.size() * sizeof(float));
}

void put16(std::vector<uint8_t>& b, int v)
{
    b.push_back((uint8_t)(v & 0xff));
    b.push_back((uint8_t)((v >> 8) & 0xff));
}
void put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back((uint8_t)((v >> (8 * i)) & 0xff));
}
void putTag(std::vector<uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

// A RIFF WAVE file: 16-bit PCM mono or stereo, or 8-bit PCM mono, optionally
// with a LIST chunk before the data chunk.
void writeWav(const std::string& path, const Sound& sound, WavLayout layout)
{
    const int channels = sound.right.empty() ? 1 : 2;
    const int bits = layout == WavLayout::pcm8 ? 8 : 16;
    if (bits == 8 && channels != 1)
        fail(path + ": 8-bit resource sounds are mono");
    const size_t frames = sound.left.size();
    std::vector<uint8_t> data;
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double v = c == 0 ? sound.left[i] : sound.right[i];
            if (bits == 16)
                put16(data, (int)std::lround(std::fmax(-32768.0, std::fmin(32767.0, v * 32768.0))));
            else
                data.push_back((uint8_t)std::lround(std::fmax(0.0, std::fmin(255.0, 128.0 + v * 128.0))));
        }
    }
    if (data.size() % 2)
        data.push_back(0);

    std::vector<uint8_t> list;
    if (layout == WavLayout::pcm16WithList) {
        const char software[] = "vlt2-soundgen"; // 14 bytes with its zero: even
        putTag(list, "LIST");
        put32(list, 4 + 8 + sizeof(software));
        putTag(list, "INFO");
        putTag(list, "ISFT");
        put32(list, sizeof(software));
        list.insert(list.end(), software, software + sizeof(software));
    }

    std::vector<uint8_t> b;
    putTag(b, "RIFF");
    put32(b, (uint32_t)(4 + 24 + list.size() + 8 + data.size()));
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, 1);
    put16(b, channels);
    put32(b, 44100);
    put32(b, 44100u * channels * bits / 8);
    put16(b, channels * bits / 8);
    put16(b, bits);
    b.insert(b.end(), list.begin(), list.end());
    putTag(b, "data");
    put32(b, (uint32_t)(frames * channels * bits / 8));
    b.insert(b.end(), data.begin(), data.end());
    writeBytes(path, b.data(), b.size());
}

std::string cString(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

void run(const std::string& out, const std::string& resources)
{
    mkdir((out + "/sounds").c_str(), 0755);
    std::string manifest = "kind\tkey\tfile\tchannels\troot\ttonal\tstart\tlength\n";

    // Built-in arrays.
    std::vector<BuiltinRecipe> builtins = stabBuiltins();
    for (BuiltinRecipe& r : synthAndVoiceBuiltins())
        builtins.push_back(r);
    std::map<int, BuiltinRecipe> byId;
    std::set<std::string> names;
    for (const BuiltinRecipe& r : builtins) {
        if (r.id < 0 || r.id >= kBuiltinCount || byId.count(r.id))
            fail("built-in id " + std::to_string(r.id) + " is out of range or made twice");
        if (!r.name || !*r.name || !names.insert(r.name).second || !std::strcmp(r.name, "coin"))
            fail("built-in id " + std::to_string(r.id) + ": display names must be unique and not \"coin\"");
        if (hasOwnArray(r.id) != (bool)r.make)
            fail("built-in id " + std::to_string(r.id) + ": a recipe makes exactly the ids with arrays of their own");
        byId[r.id] = r;
    }
    if ((int)byId.size() != kBuiltinCount)
        fail("every built-in id 0..65 needs a recipe");

    for (int id = 0; id < kBuiltinCount; ++id) {
        const IdRow& row = kIdTable[id];
        const BuiltinRecipe& r = byId[id];
        int arrayId = id == 6 ? 5 : id == 10 ? 9 : id;
        if (id != 53 && id != 54) {
            if (hasOwnArray(id)) {
                Sound s = r.make(row.length);
                const std::string what = "built-in id " + std::to_string(id);
                if ((int)s.left.size() != row.length || (row.channels == 2) != !s.right.empty() ||
                    (!s.right.empty() && s.right.size() != s.left.size()))
                    fail(what + ": wrong length or channel count");
                checkAudio(s.left, what);
                checkAudio(s.right, what);
                writeRaw(out + "/sounds/builtin_" + std::to_string(id) + ".f32", s.left);
                if (!s.right.empty())
                    writeRaw(out + "/sounds/builtin_" + std::to_string(id) + "_r.f32", s.right);
            }
            manifest += "builtin\t" + std::to_string(id) + "\tsounds/builtin_" + std::to_string(arrayId) + ".f32\t" +
                        std::to_string(row.channels) + "\t" + std::to_string(row.root) + "\t" +
                        (r.tonal ? "1" : "0") + "\t" + std::to_string(row.start) + "\t" +
                        std::to_string(row.length) + "\n";
        }
    }
    writeRaw(out + "/sounds/coin.f32", coin(20108));
    manifest += "builtin\tcoin\tsounds/coin.f32\t1\t60\t1\t0\t20108\n";

    // Resource WAV files.
    std::vector<ResourceRecipe> resourcesList = stabResources();
    for (ResourceRecipe& r : synthAndVoiceResources())
        resourcesList.push_back(r);
    std::map<std::string, std::vector<std::string>> lists;
    for (const ListInfo& l : kLists)
        lists[l.name].assign(l.entries, "");
    std::map<std::string, const ResourceRecipe*> files;
    for (const ResourceRecipe& r : resourcesList) {
        const std::string file = r.file ? r.file : "";
        if (file.empty() || file.find('/') != std::string::npos)
            fail("resource sounds need a plain file name");
        if (r.position > 0) {
            auto list = lists.find(r.list);
            if (list == lists.end() || r.position > (int)list->second.size() || !list->second[r.position - 1].empty())
                fail(std::string(r.list) + " position " + std::to_string(r.position) + " is invalid or taken");
            list->second[r.position - 1] = file;
        }
        if (r.make) {
            if (files.count(file))
                fail("resource file \"" + file + "\" is made twice");
            files[file] = &r;
        }
    }
    for (const auto& [list, entries] : lists)
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].empty())
                fail(list + " position " + std::to_string(i + 1) + " has no sound");
    for (const auto& [list, entries] : lists)
        for (const std::string& e : entries)
            if (!files.count(e))
                fail(list + " names \"" + e + "\", which no recipe makes");
    if (!files.count(kId53File) || !files.count(kId54File))
        fail("ids 53 and 54 need their resource files");
    if (files.size() != 81)
        fail("the resources directory holds 81 sound files, not " + std::to_string(files.size()));

    for (const auto& [file, r] : files) {
        Sound s = r->make();
        const std::string what = "resource \"" + file + "\"";
        if (s.left.empty() || (!s.right.empty() && s.right.size() != s.left.size()))
            fail(what + ": empty or channels of different lengths");
        checkAudio(s.left, what);
        checkAudio(s.right, what);
        writeWav(resources + "/" + file + ".wav", s, r->layout);
        manifest += "resource\t" + file + "\t" + resources + "/" + file + ".wav\t" +
                    std::to_string(s.right.empty() ? 1 : 2) + "\t" + std::to_string(r->root) + "\t" +
                    (r->tonal ? "1" : "0") + "\t0\t" + std::to_string(s.left.size()) + "\n";
    }
    writeBytes(out + "/manifest.tsv", manifest.data(), manifest.size());

    // The assembler file embedding the arrays, read-only and hidden.
    std::string asmText = "/* Generated by vlt2-soundgen. */\n    .section .rodata.vlt2_sounds, \"a\"\n";
    auto embed = [&](const std::string& symbol, const std::string& file) {
        asmText += "    .balign 16\n    .globl " + symbol + "\n    .hidden " + symbol + "\n    .type " + symbol +
                   ", @object\n" + symbol + ":\n    .incbin \"" + out + "/sounds/" + file + "\"\n    .size " +
                   symbol + ", . - " + symbol + "\n";
    };
    embed("coinData", "coin.f32");
    for (int id = 0; id < kBuiltinCount; ++id) {
        if (!hasOwnArray(id))
            continue;
        embed("vlt2Builtin" + std::to_string(id), "builtin_" + std::to_string(id) + ".f32");
        if (kIdTable[id].channels == 2)
            embed("vlt2Builtin" + std::to_string(id) + "R", "builtin_" + std::to_string(id) + "_r.f32");
    }
    asmText += "    .section .note.GNU-stack, \"\", @progbits\n";
    writeBytes(out + "/BuiltinSounds.S", asmText.data(), asmText.size());

    // Names, array symbols and resource lists, for the sound library's tables.
    std::string inc = "// Generated by vlt2-soundgen.\nextern \"C\" {\n";
    for (int id = 0; id < kBuiltinCount; ++id) {
        if (!hasOwnArray(id))
            continue;
        inc += "extern const float vlt2Builtin" + std::to_string(id) + "[];\n";
        if (kIdTable[id].channels == 2)
            inc += "extern const float vlt2Builtin" + std::to_string(id) + "R[];\n";
    }
    inc += "}\n\nconst char* const kBuiltinNames[66] = {\n";
    for (int id = 0; id < kBuiltinCount; ++id)
        inc += "    " + cString(byId[id].name) + ",\n";
    inc += "};\n\nconst float* const kBuiltinLeft[66] = {\n";
    for (int id = 0; id < kBuiltinCount; ++id) {
        const int arrayId = id == 6 ? 5 : id == 10 ? 9 : id;
        inc += hasOwnArray(arrayId) ? "    vlt2Builtin" + std::to_string(arrayId) + ",\n" : "    nullptr,\n";
    }
    inc += "};\n\nconst float* const kBuiltinRight[66] = {\n";
    for (int id = 0; id < kBuiltinCount; ++id)
        inc += kIdTable[id].channels == 2 ? "    vlt2Builtin" + std::to_string(id) + "R,\n" : "    nullptr,\n";
    inc += "};\n\n// Length given to the sample (frames + 1), start position and root note, by id.\n";
    inc += "const int kBuiltinRows[66][3] = {\n";
    for (int id = 0; id < kBuiltinCount; ++id)
        inc += "    {" + std::to_string(kIdTable[id].length) + ", " + std::to_string(kIdTable[id].start) + ", " +
               std::to_string(kIdTable[id].root) + "},\n";
    inc += "};\n";
    for (const ListInfo& l : kLists) {
        inc += "\nconst char* const kFiles_" + std::string(l.name) + "[" + std::to_string(l.entries) + "] = {\n";
        for (const std::string& e : lists[l.name])
            inc += "    " + cString(e) + ",\n";
        inc += "};\n";
    }
    writeBytes(out + "/BuiltinTables.inc", inc.data(), inc.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vlt2-soundgen OUTPUT_DIR RESOURCES_DIR\n");
        return 2;
    }
    try {
        run(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vlt2-soundgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
