// vlt2-bankgen: reads the readable description of the 128 factory programs
// (resources/factory-bank.txt) and writes the bundle's "bank" file in the
// legacy big-endian format the plug-in reads at start-up.
//
//   vlt2-bankgen DESCRIPTION OUTPUT RESOURCES_DIR
//
// Any mistake in the description stops the build with one line naming the
// file, the line and the problem.
#include "sources/BuiltinSounds.h"
#include "sources/PathNames.h"
#include "sources/WaveFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kPrograms = 128;
constexpr int kMaxInstruments = 16;
constexpr int kParameters = 22;
constexpr size_t kMaxNameLength = 24; // what a VST 2.4 host shows of a program name
// One note of every layer at full velocity must stay below full scale; the
// sounds peak at 0.9.
constexpr double kMaxLoudness = 1.0;

struct Failure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// ---- the bank's contents -------------------------------------------------

struct Entry
{
    int kind = 0; // 0 built-in by name, 2 resource by path
    std::string name, path;
    int frames = 0;
    int start = 0, loopStart = 0, loopEnd = 0, channel = -1;
    bool loopStartGiven = false, loopEndGiven = false;
    double parameters[kParameters] = {1.0, 0.5, 0.5, 0.5, 0.0, 0.0, 1.0,  0.0, 0.0, 0.0, 0.0,
                                      0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.5, 0.0, 0.0, 0.0, 0.82};
    int line = 0;
};

struct BankProgram
{
    std::string name;
    std::vector<Entry> instruments;
    double delay[8] = {0.625, 0.2, 0.3, 0.0, 0.0, 1.0, 0.0, 0.0};
    double masterVolume = 1.0, masterTune = 0.5, velocitySensitivity = 1.0, bendRange = 0.5;
    int line = 0;
};

// ---- the names the plug-in knows -----------------------------------------

struct Library
{
    std::map<std::string, int> builtins;        // display name -> id
    std::map<std::string, bool> resourcePaths;  // every resource path the library lists
    std::string resourcesDir;

    explicit Library(const std::string& dir) : resourcesDir(dir)
    {
        makeName();
        makeName2();
        for (int id = 0; id < kBuiltinCount; ++id)
            builtins[internalInstrumentName[id]] = id;
        resourcePaths[kId53Path] = true;
        resourcePaths[kId54Path] = true;
        for (const std::string* list : {stabs2Name, stabs3Name, instru2Name, voice2Name}) {
            const int n = list == stabs2Name ? kStabs2Count
                        : list == stabs3Name ? kStabs3Count
                        : list == instru2Name ? kInstru2Count
                                              : kVoice2Count;
            for (int i = 0; i < n; ++i)
                resourcePaths[list[i]] = true;
        }
    }

    // Frames of a resource file, as the plug-in will find it: by its last component.
    int resourceFrames(const std::string& path) const
    {
        const size_t cut = path.find_last_of('/');
        const std::string file = resourcesDir + "/" + path.substr(cut + 1);
        std::ifstream in(file, std::ios::binary);
        if (!in)
            throw Failure("resource file missing from the bundle: " + file);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        WaveFile wave(bytes.data(), bytes.size());
        if (!wave.isSupported() || wave.frameCount <= 0)
            throw Failure("resource file is not a WAV file the plug-in reads: " + file);
        return wave.frameCount;
    }
};

// ---- reading the description ---------------------------------------------

// Splits a line into words; "quoted text" is one word, '#' starts a comment.
std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else {
            std::string word;
            bool quoted = false;
            while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#'))) {
                if (line[i] == '"')
                    quoted = !quoted;
                else
                    word += line[i];
                ++i;
            }
            if (quoted)
                throw Failure("unterminated quotation mark");
            out.push_back(word);
        }
    }
    return out;
}

double number(const std::string& text, const std::string& what)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(value))
        throw Failure(what + ": '" + text + "' is not a number");
    return value;
}

int integer(const std::string& text, const std::string& what)
{
    const double value = number(text, what);
    if (value != std::floor(value) || value < 0 || value > 2147483647.0)
        throw Failure(what + ": '" + text + "' is not a whole number of 0 or more");
    return (int)value;
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = (char)std::tolower((unsigned char)c);
    return text;
}

double unit(double value, const std::string& what)
{
    if (!(value >= 0.0 && value <= 1.0))
        throw Failure(what + " gives " + std::to_string(value) + ", outside 0..1");
    return value;
}

// The value whose truncation (int)(v * steps) is `index`, away from the edge.
double step(int index, int steps)
{
    return index >= steps ? 1.0 : (index + 0.5) / steps;
}

double onOff(const std::string& text, const std::string& what)
{
    const std::string t = lower(text);
    if (t == "on" || t == "yes" || t == "true")
        return 1.0;
    if (t == "off" || t == "no" || t == "false")
        return 0.0;
    return unit(number(text, what), what);
}

enum class Unit { plain, toggle, semitones, cents, seconds };

struct ParameterName
{
    const char* name;
    Unit unit;
    double secondsScale, secondsOffset; // seconds = v * scale + offset
};

// Instrument parameters k = 0..21, in order.
const ParameterName kParameterNames[kParameters] = {
    {"volume", Unit::plain, 0, 0},      {"pan", Unit::plain, 0, 0},         {"tune", Unit::semitones, 0, 0},
    {"finetune", Unit::cents, 0, 0},    {"showwave", Unit::toggle, 0, 0},   {"loop", Unit::toggle, 0, 0},
    {"global", Unit::toggle, 0, 0},     {"voleg", Unit::toggle, 0, 0},      {"piteg", Unit::toggle, 0, 0},
    {"special", Unit::toggle, 0, 0},    {"vola", Unit::seconds, 1.5, 0},    {"vold", Unit::seconds, 4.0, 0},
    {"vols", Unit::plain, 0, 0},        {"volr", Unit::seconds, 3.75, 0.25}, {"pitcha", Unit::seconds, 2.0, 0},
    {"pitchd", Unit::seconds, 8.0, 0},  {"pitchr", Unit::seconds, 4.0, 0},  {"pitcheg", Unit::plain, 0, 0},
    {"reverse", Unit::toggle, 0, 0},    {"interpolate", Unit::toggle, 0, 0}, {"grain", Unit::toggle, 0, 0},
    {"grainadvance", Unit::plain, 0, 0},
};

int parameterIndex(const std::string& written)
{
    std::string key;
    for (char c : lower(written))
        if (c != '_' && c != '-' && c != ' ')
            key += c;
    for (int k = 0; k < kParameters; ++k)
        if (key == kParameterNames[k].name)
            return k;
    throw Failure("unknown instrument parameter '" + written + "'");
}

double parameterValue(int k, const std::string& text)
{
    const ParameterName& p = kParameterNames[k];
    const std::string what = std::string("parameter ") + p.name;
    switch (p.unit) {
    case Unit::toggle: return onOff(text, what);
    case Unit::semitones:
        if (endsWith(text, "st")) {
            const double st = number(text.substr(0, text.size() - 2), what);
            if (st != std::floor(st) || st < -24 || st > 24)
                throw Failure(what + ": " + text + " is not a whole number of semitones in -24..+24");
            return step((int)st + 24, 48);
        }
        break;
    case Unit::cents:
        if (endsWith(text, "ct")) {
            const double ct = number(text.substr(0, text.size() - 2), what);
            if (ct != std::floor(ct) || ct < -100 || ct > 100)
                throw Failure(what + ": " + text + " is not a whole number of cents in -100..+100");
            return step((int)ct + 100, 200);
        }
        break;
    case Unit::seconds:
        if (endsWith(text, "s")) {
            const double s = number(text.substr(0, text.size() - 1), what);
            return unit((s - p.secondsOffset) / p.secondsScale, what + " = " + text);
        }
        break;
    case Unit::plain: break;
    }
    return unit(number(text, what), what);
}

// "key=value" or, for `param`, "key value".
std::vector<std::pair<std::string, std::string>> pairs(const std::vector<std::string>& w, size_t from, bool allowSpaced)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t i = from; i < w.size(); ++i) {
        const size_t eq = w[i].find('=');
        if (eq != std::string::npos) {
            out.emplace_back(w[i].substr(0, eq), w[i].substr(eq + 1));
        } else if (allowSpaced && i + 1 < w.size() && w[i + 1].find('=') == std::string::npos) {
            out.emplace_back(w[i], w[i + 1]);
            ++i;
        } else {
            throw Failure("expected key=value, found '" + w[i] + "'");
        }
        if (out.back().second.empty())
            throw Failure("no value after '" + out.back().first + "='");
    }
    return out;
}

void applyDelay(BankProgram& program, const std::vector<std::pair<std::string, std::string>>& settings)
{
    static const char* const kNames[8] = {"time", "feedback", "volume", "spread", "active", "sync", "pingpong", "eighth"};
    std::string beats;
    for (const auto& [key, text] : settings) {
        int k = 0;
        while (k < 8 && lower(key) != kNames[k])
            ++k;
        if (k == 8)
            throw Failure("unknown delay setting '" + key + "'");
        if (k == 0 && text.find('/') != std::string::npos) {
            beats = text;
        } else if (k >= 4 && k <= 6) {
            program.delay[k] = onOff(text, "delay " + key);
        } else {
            program.delay[k] = unit(number(text, "delay " + key), "delay " + key);
        }
    }
    if (!beats.empty()) {
        // Synced times are chosen by (int)(v * 8) among these note lengths in beats.
        static const char* const kBeats[8] = {"1/64", "1/32", "1/16", "1/8", "1/4", "1/2", "1/1", "2/1"};
        int index = 0;
        while (index < 8 && beats != kBeats[index])
            ++index;
        if (index == 8)
            throw Failure("delay time " + beats + " is not one of 1/64 1/32 1/16 1/8 1/4 1/2 1/1 2/1 (beats)");
        if (program.delay[5] < 0.5)
            throw Failure("delay time " + beats + " is in beats, which needs sync=on");
        program.delay[0] = step(index, 8);
    }
}

void applyGlobal(BankProgram& program, const std::vector<std::pair<std::string, std::string>>& settings)
{
    for (const auto& [key, text] : settings) {
        const std::string k = lower(key);
        if (k == "volume") {
            program.masterVolume = unit(number(text, "global volume"), "global volume");
        } else if (k == "tune") {
            program.masterTune = unit(number(text, "global tune"), "global tune");
        } else if (k == "velsens") {
            program.velocitySensitivity = unit(number(text, "global velsens"), "global velsens");
        } else if (k == "bendrange") {
            if (endsWith(text, "st")) {
                const int st = integer(text.substr(0, text.size() - 2), "global bendrange");
                if (st > 24)
                    throw Failure("global bendrange: at most 24 semitones");
                program.bendRange = step(st, 24);
            } else {
                program.bendRange = unit(number(text, "global bendrange"), "global bendrange");
            }
        } else {
            throw Failure("unknown global setting '" + key + "'");
        }
    }
}

void applyPlacement(Entry& entry, const std::string& key, const std::string& text)
{
    const std::string k = lower(key);
    if (k == "start") {
        entry.start = integer(text, "start");
    } else if (k == "loopstart") {
        entry.loopStart = integer(text, "loopstart");
        entry.loopStartGiven = true;
    } else if (k == "loopend") {
        entry.loopEnd = integer(text, "loopend");
        entry.loopEndGiven = true;
    } else if (k == "channel") {
        if (lower(text) == "omni") {
            entry.channel = -1;
        } else {
            const int channel = integer(text, "channel");
            if (channel < 1 || channel > 16)
                throw Failure("channel " + text + " is not omni or 1..16");
            entry.channel = channel - 1;
        }
    } else {
        throw Failure("unknown instrument setting '" + key + "'");
    }
}

Entry makeEntry(const Library& library, const std::vector<std::string>& w)
{
    if (w.size() < 3)
        throw Failure("expected: instrument builtin \"Display Name\" | instrument path \":/Resources/...\"");
    Entry entry;
    const std::string source = lower(w[1]);
    if (source == "builtin") {
        const auto found = library.builtins.find(w[2]);
        if (found == library.builtins.end())
            throw Failure("unknown built-in sound \"" + w[2] + "\" (vlt2-render --list-sounds lists them)");
        const int id = found->second;
        entry.kind = 0;
        entry.name = w[2];
        if (id == 53 || id == 54) {
            entry.frames = library.resourceFrames(id == 53 ? kId53Path : kId54Path);
            if (id == 54)
                entry.loopStart = 12443; // where the plug-in puts this sound's loop
        } else {
            const BuiltinSound* row = builtinSound(id);
            entry.frames = row->length - 1;
            entry.start = row->start;
        }
    } else if (source == "path") {
        if (!library.resourcePaths.count(w[2]))
            throw Failure("unknown resource path \"" + w[2] + "\" (vlt2-render --list-sounds lists them)");
        entry.kind = 2;
        entry.path = w[2];
        entry.name = getBaseName(w[2]);
        entry.frames = library.resourceFrames(w[2]);
    } else {
        throw Failure("instrument source must be 'builtin' or 'path', not '" + w[1] + "'");
    }
    for (const auto& [key, text] : pairs(w, 3, false))
        applyPlacement(entry, key, text);
    return entry;
}

void checkEntry(Entry& entry)
{
    if (!entry.loopEndGiven)
        entry.loopEnd = entry.frames - 1;
    if (entry.start >= entry.frames)
        throw Failure("start " + std::to_string(entry.start) + " is past the sound's " + std::to_string(entry.frames) + " frames");
    if (entry.loopEnd >= entry.frames)
        throw Failure("loopend " + std::to_string(entry.loopEnd) + " is past the sound's last frame " + std::to_string(entry.frames - 1));
    if (entry.loopStart >= entry.loopEnd)
        throw Failure("loopstart must be before loopend");
    // Only a loop value of exactly 1 restores loop points; any other "on" value would
    // silently drop the ones written here.
    if ((entry.loopStartGiven || entry.loopEndGiven) && entry.parameters[5] != 1.0)
        throw Failure("loopstart/loopend are only used with 'param loop on'");
}

std::vector<BankProgram> readDescription(const std::string& file, const Library& library)
{
    std::ifstream in(file);
    if (!in)
        throw Failure(file + ": cannot be read");
    std::vector<BankProgram> programs;
    std::string line;
    int number = 0;
    auto finishProgram = [&]() {
        if (programs.empty())
            return;
        const int here = number;
        BankProgram& p = programs.back();
        if (p.instruments.empty())
            throw Failure("program \"" + p.name + "\" has no instrument");
        // Layers on other MIDI channels never sound together: take the loudest channel.
        double loudness = 0;
        for (int channel = 0; channel < 16; ++channel) {
            double sum = 0;
            for (const Entry& e : p.instruments)
                if (e.channel < 0 || e.channel == channel)
                    sum += 0.9 * e.parameters[0];
            loudness = std::max(loudness, sum * p.masterVolume);
        }
        for (Entry& e : p.instruments) {
            number = e.line;
            checkEntry(e);
        }
        if (loudness > kMaxLoudness) {
            number = p.line;
            throw Failure("program \"" + p.name + "\" would clip: master volume x layer volumes = " +
                          std::to_string(loudness) + " (keep it at most " + std::to_string(kMaxLoudness) + ")");
        }
        number = here;
    };
    try {
        while (std::getline(in, line)) {
            ++number;
            const std::vector<std::string> w = words(line);
            if (w.empty())
                continue;
            const std::string keyword = lower(w[0]);
            if (keyword == "program") {
                finishProgram();
                if (w.size() != 2)
                    throw Failure("expected: program \"Name\"");
                if (w[1].empty() || w[1].size() > kMaxNameLength)
                    throw Failure("program name \"" + w[1] + "\" must have 1 to 24 characters");
                for (unsigned char c : w[1])
                    if (c < 0x20 || c > 0x7e)
                        throw Failure("program name \"" + w[1] + "\" may hold printable ASCII only");
                for (const BankProgram& p : programs)
                    if (p.name == w[1])
                        throw Failure("program name \"" + w[1] + "\" is used twice");
                programs.emplace_back();
                programs.back().name = w[1];
                programs.back().line = number;
                continue;
            }
            if (programs.empty())
                throw Failure("'" + w[0] + "' before the first 'program'");
            BankProgram& program = programs.back();
            if (keyword == "instrument") {
                if (program.instruments.size() == (size_t)kMaxInstruments)
                    throw Failure("program \"" + program.name + "\" has more than 16 instruments");
                program.instruments.push_back(makeEntry(library, w));
                program.instruments.back().line = number;
            } else if (keyword == "param" || keyword == "start" || keyword == "loopstart" || keyword == "loopend" ||
                       keyword == "channel") {
                if (program.instruments.empty())
                    throw Failure("'" + w[0] + "' before the program's first 'instrument'");
                Entry& entry = program.instruments.back();
                if (keyword == "param") {
                    if (w.size() < 2)
                        throw Failure("expected: param NAME VALUE or param NAME=VALUE ...");
                    for (const auto& [key, text] : pairs(w, 1, true)) {
                        const int k = parameterIndex(key);
                        entry.parameters[k] = parameterValue(k, text);
                    }
                } else {
                    if (w.size() != 2)
                        throw Failure("expected: " + keyword + " VALUE");
                    applyPlacement(entry, keyword, w[1]);
                }
            } else if (keyword == "delay") {
                applyDelay(program, pairs(w, 1, false));
            } else if (keyword == "global") {
                applyGlobal(program, pairs(w, 1, false));
            } else {
                throw Failure("unknown keyword '" + w[0] + "'");
            }
        }
        finishProgram();
    } catch (const Failure& failure) {
        throw Failure(file + ":" + std::to_string(number) + ": " + failure.what());
    }
    if (programs.size() != (size_t)kPrograms)
        throw Failure(file + ": " + std::to_string(programs.size()) + " programs; the bank holds exactly 128");
    return programs;
}

// ---- writing the legacy bank ---------------------------------------------

struct BigEndian
{
    std::string bytes;

    void int32(int32_t value)
    {
        const uint32_t u = (uint32_t)value;
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += (char)((u >> shift) & 0xff);
    }
    void real(double value)
    {
        // The reader keeps floats: round once here so the file holds exactly what it will use.
        const double stored = (double)(float)value;
        uint64_t u;
        static_assert(sizeof u == sizeof stored);
        std::memcpy(&u, &stored, sizeof u);
        for (int shift = 56; shift >= 0; shift -= 8)
            bytes += (char)((u >> shift) & 0xff);
    }
    void text(const std::string& value)
    {
        int32((int32_t)(value.size() * 2));
        for (unsigned char c : value) {
            bytes += '\0';
            bytes += (char)c;
        }
    }
};

std::string legacyBank(const std::vector<BankProgram>& programs)
{
    BigEndian out;
    for (const BankProgram& p : programs) {
        out.int32(0); // read little-endian by the current reader, 0 hands the bank to the legacy one
        out.text(p.name);
        out.int32((int32_t)p.instruments.size());
        for (const Entry& e : p.instruments) {
            out.int32(e.kind);
            out.text(e.name);
            out.text(e.path);
            out.int32(e.start);
            out.int32(e.loopStart);
            out.int32(e.loopEnd);
            out.int32(e.channel);
            out.int32(kParameters);
            for (double v : e.parameters)
                out.real(v);
        }
        for (double v : p.delay)
            out.real(v);
        out.real(p.masterVolume);
        out.real(p.masterTune);
        out.real(p.velocitySensitivity);
        out.real(p.bendRange);
    }
    return out.bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: vlt2-bankgen DESCRIPTION OUTPUT RESOURCES_DIR\n");
        return 2;
    }
    try {
        const Library library(argv[3]);
        const std::string bank = legacyBank(readDescription(argv[1], library));
        // Written beside and renamed, so a failed run never leaves half a bank.
        const std::string temporary = std::string(argv[2]) + ".tmp";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(bank.data(), (std::streamsize)bank.size());
            if (!out)
                throw Failure(temporary + ": cannot be written");
        }
        if (std::rename(temporary.c_str(), argv[2]) != 0)
            throw Failure(std::string(argv[2]) + ": cannot be written");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "vlt2-bankgen: error: %s\n", failure.what());
        return 1;
    }
    return 0;
}
