// Writes the demo song, a short piece in C major, as a Standard MIDI File.
//
// Fourteen bars of 4/4, about 28 seconds: a bar of intro and two four-bar
// phrases at 120 bpm, the second ending in a break where the lead alone
// scoops up with the pitch wheel; then a brighter closing phrase at 132 bpm
// that broadens on the last bar. Three parts on their own channels: lead (1),
// chords (2) and bass (3).
//
// Every part is sounded by short plucked sounds, so the writing is rhythmic:
// long values are plucks followed by silence, and the parts stay in separate
// registers. At most about a dozen notes ring at once, under the 16 voices.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kTicksPerBeat = 480;

// ---------------------------------------------------------------------------
// The piece.

struct Bar
{
    const char* chord; // one chord, or two separated by a space (two beats each)
    const char* lead;  // pitch/beats ... ; "r" rests; ">" accents the note after it
};

// Tempo changes at the start of a bar (1-based).
struct TempoMark
{
    int bar;
    double bpm;
};

const TempoMark kTempo[] = {{1, 120}, {10, 132}, {14, 112}}; // the last bar broadens

// clang-format off
const Bar kSong[] = {
    // intro
    {"C",     "r/4"},
    // first phrase
    {"C",     ">E5/1.5 D5/0.5 C5/1 G4/1"},
    {"Am",    ">A4/1.5 C5/0.5 E5/2"},
    {"F",     ">F5/1 E5/0.5 D5/0.5 C5/1 A4/1"},
    {"G",     ">G4/1 B4/0.5 D5/0.5 G5/2"},
    // second phrase
    {"C",     ">E5/1.5 D5/0.5 C5/1 G5/1"},
    {"Am",    ">A5/1 G5/0.5 E5/0.5 C5/1 E5/1"},
    {"F",     ">F5/1.5 E5/0.5 D5/1 C5/1"},
    {"G",     ">D5/1 E5/0.5 G5/1 >A5/1.5"},          // the break: the lead alone, A5 scooped
    // closing phrase, a little faster
    {"F",     ">C6/1 A5/0.5 G5/0.5 F5/1 A5/1"},
    {"G",     ">D5/1 G5/0.5 A5/0.5 G5/1 D5/1"},
    {"Em Am", ">E5/0.5 G5/0.5 E5/0.5 D5/0.5 >C5/1 E5/1"},
    {"F G",   ">F5/1 A5/1 >G5/1 D5/1"},
    {"C",     ">C5/1 G4/0.5 E4/0.5 >C5/2"},
};
// clang-format on

constexpr int kBreakBar = 9;       // chords and bass stop after its first beat
constexpr double kScoopBeat = 2.5; // where in the break bar the scooped note starts
constexpr int kLastBar = sizeof(kSong) / sizeof(kSong[0]);

// Close voicings between G3 and F4, under the lead and over the bass.
struct Chord
{
    const char* name;
    const char* notes;
    const char* bass; // root, then its fifth for the pickup into the next bar
};

const Chord kChords[] = {
    {"C", "G3 C4 E4", "C3 G2"},  {"Am", "A3 C4 E4", "A2 E2"}, {"F", "A3 C4 F4", "F2 C3"},
    {"G", "G3 B3 D4", "G2 D3"},  {"Em", "G3 B3 E4", "E2 B2"},
};

// A bar of accompaniment: the chords on 1, the and of 2 and 4 (a lilting
// three-hit figure), the bass on 1 and 3 with a pickup on the and of 4.
struct Hit
{
    double beat;
    int velocity;
};
const Hit kChordHits[] = {{0.0, 36}, {1.5, 27}, {3.0, 32}};
const Hit kBassHits[] = {{0.0, 68}, {2.0, 57}, {3.5, 46}};

// ---------------------------------------------------------------------------
// Notes to events.

struct Event
{
    uint32_t tick;
    int order; // at one tick: note-offs, then controls, then note-ons
    std::vector<uint8_t> bytes;
};

int pitch(const std::string& name)
{
    static const int kSteps[] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') {
        std::fprintf(stderr, "vlt2-demosong: bad note '%s'\n", name.c_str());
        std::exit(1);
    }
    int semitone = kSteps[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#')
        ++semitone, ++i;
    else if (name[i] == 'b')
        --semitone, ++i;
    return 12 * (std::atoi(name.c_str() + i) + 1) + semitone;
}

std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while ((pos = text.find_first_not_of(' ', pos)) != std::string::npos) {
        const size_t end = text.find(' ', pos);
        out.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return out;
}

const Chord& chord(const std::string& name)
{
    for (const Chord& c : kChords)
        if (name == c.name)
            return c;
    std::fprintf(stderr, "vlt2-demosong: unknown chord '%s'\n", name.c_str());
    std::exit(1);
}

uint32_t tickOf(int bar, double beat) { return (uint32_t)std::lround(((bar - 1) * 4 + beat) * kTicksPerBeat); }

class Track
{
public:
    explicit Track(int channel) : channel(channel) {}

    void note(int bar, double beat, double beats, int key, int velocity)
    {
        const uint32_t on = tickOf(bar, beat), off = tickOf(bar, beat + beats) - kTicksPerBeat / 16;
        events.push_back({on, 2, {(uint8_t)(0x90 | channel), (uint8_t)key, (uint8_t)velocity}});
        events.push_back({off, 0, {(uint8_t)(0x80 | channel), (uint8_t)key, 64}});
    }

    void bend(uint32_t tick, int value)
    {
        events.push_back({tick, 1, {(uint8_t)(0xe0 | channel), (uint8_t)(value & 0x7f), (uint8_t)(value >> 7)}});
    }

    void meta(uint32_t tick, uint8_t type, std::vector<uint8_t> data)
    {
        std::vector<uint8_t> bytes = {0xff, type, (uint8_t)data.size()};
        bytes.insert(bytes.end(), data.begin(), data.end());
        events.push_back({tick, 1, bytes});
    }

    std::vector<Event> events;

private:
    int channel;
};

// Beat 1 leans in, beat 3 a little, off-beats fall back; ">" accents.
int leadVelocity(double beat, bool accent)
{
    int v = 60;
    if (beat == 0.0)
        v += 14;
    else if (beat == 2.0)
        v += 6;
    else if (beat != std::floor(beat))
        v -= 10;
    return accent ? v + 10 : v;
}

// The scoop: the wheel starts a whole tone down (with a 12-semitone bend
// range) and glides to centre over an eighth note, then stays there.
void scoop(Track& lead, uint32_t start)
{
    const int kCentre = 8192, kWholeTone = 8192 * 2 / 12;
    const int steps = 12;
    const uint32_t glide = kTicksPerBeat / 2;
    lead.bend(start > 0 ? start - 1 : 0, kCentre - kWholeTone);
    for (int s = 1; s <= steps; ++s) {
        const double x = (double)s / steps;
        const double eased = 1 - (1 - x) * (1 - x);
        lead.bend(start + (uint32_t)(glide * x), kCentre - (int)std::lround(kWholeTone * (1 - eased)));
    }
}

void compose(Track& lead, Track& chords, Track& bass)
{
    for (int bar = 1; bar <= kLastBar; ++bar) {
        const Bar& b = kSong[bar - 1];

        // The lead's line.
        double beat = 0;
        bool accent = false;
        for (const std::string& w : words(b.lead)) {
            std::string token = w;
            if (token[0] == '>') {
                accent = true;
                token = token.substr(1);
            }
            const size_t slash = token.find('/');
            const double beats = std::atof(token.c_str() + slash + 1);
            const std::string name = token.substr(0, slash);
            if (name != "r") {
                if (bar == kBreakBar && beat == kScoopBeat)
                    scoop(lead, tickOf(bar, beat));
                lead.note(bar, beat, beats, pitch(name), leadVelocity(beat, accent));
            }
            accent = false;
            beat += beats;
        }
        if (beat != 4.0) {
            std::fprintf(stderr, "vlt2-demosong: bar %d of the lead has %.2f beats\n", bar, beat);
            std::exit(1);
        }

        // The accompaniment: one chord for the bar, or two of two beats each.
        const std::vector<std::string> names = words(b.chord);
        const bool last = bar == kLastBar;
        const bool isBreak = bar == kBreakBar;
        // Swells through each phrase, a touch louder in the closing one.
        const int lift = (bar - 1) % 4 * 2 + (bar >= 10 ? 4 : 0);
        for (const Hit& h : kChordHits) {
            if ((isBreak || last) && h.beat > 0)
                continue;
            const Chord& c = chord(names[names.size() > 1 && h.beat >= 2 ? 1 : 0]);
            const double length = isBreak || last ? 2.0 : 1.0;
            for (const std::string& n : words(c.notes))
                chords.note(bar, h.beat, length, pitch(n), h.velocity + lift);
        }
        for (const Hit& h : kBassHits) {
            if ((isBreak || last) && h.beat > 0)
                continue;
            const Chord& c = chord(names[names.size() > 1 && h.beat >= 2 ? 1 : 0]);
            const std::vector<std::string> roots = words(c.bass);
            // The pickup walks from the fifth into the next bar's root.
            const std::string& n = h.beat == 3.5 ? roots[1] : roots[0];
            bass.note(bar, h.beat, h.beat == 3.5 ? 0.5 : 1.5, pitch(n), h.velocity + lift);
        }
    }
    // Chords and bass round off the final bar with the lead.
    chords.note(kLastBar, 2.0, 2.0, pitch("C4"), 36);
    chords.note(kLastBar, 2.0, 2.0, pitch("E4"), 36);
    chords.note(kLastBar, 2.0, 2.0, pitch("G4"), 36);
    bass.note(kLastBar, 2.0, 2.0, pitch("C2"), 66);
}

// ---------------------------------------------------------------------------
// Standard MIDI File, format 1.

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        out.push_back((uint8_t)(v >> s));
}

void putVarLength(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t bytes[5];
    int n = 0;
    do {
        bytes[n++] = v & 0x7f;
        v >>= 7;
    } while (v);
    while (n-- > 0)
        out.push_back(bytes[n] | (n ? 0x80 : 0));
}

std::vector<uint8_t> trackChunk(std::vector<Event> events, const std::string& name)
{
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });
    std::vector<uint8_t> body;
    putVarLength(body, 0);
    body.push_back(0xff);
    body.push_back(0x03);
    putVarLength(body, (uint32_t)name.size());
    body.insert(body.end(), name.begin(), name.end());
    uint32_t now = 0;
    for (const Event& e : events) {
        putVarLength(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    putVarLength(body, kTicksPerBeat);
    body.insert(body.end(), {0xff, 0x2f, 0x00});

    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    put32(chunk, (uint32_t)body.size());
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vlt2-demosong OUT.mid\n");
        return 2;
    }

    Track conductor(0), lead(0), chords(1), bass(2);
    conductor.meta(0, 0x58, {4, 2, 24, 8}); // 4/4
    for (const TempoMark& t : kTempo) {
        const uint32_t micros = (uint32_t)std::lround(60e6 / t.bpm);
        conductor.meta(tickOf(t.bar, 0), 0x51, {(uint8_t)(micros >> 16), (uint8_t)(micros >> 8), (uint8_t)micros});
    }
    compose(lead, chords, bass);
    // The wheel is centred at the start, whatever the previous song left.
    lead.bend(0, 8192);

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    put32(file, 6);
    file.insert(file.end(), {0, 1, 0, 4, kTicksPerBeat >> 8, kTicksPerBeat & 0xff});
    for (const auto& chunk : {trackChunk(conductor.events, "Demo"), trackChunk(lead.events, "Lead"),
                              trackChunk(chords.events, "Chords"), trackChunk(bass.events, "Bass")})
        file.insert(file.end(), chunk.begin(), chunk.end());

    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "vlt2-demosong: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
