#include "tools/render/MidiFile.h"

#include "tools/render/FileBytes.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <iterator>
#include <type_traits>

namespace render {

namespace {

template <typename... Args>
[[noreturn]] void fail(const char* format, Args... args)
{
    throw MidiFileError(formatMessage(format, args...));
}

std::string chunkName(const uint8_t* id)
{
    std::string name;
    for (int i = 0; i < 4; ++i) {
        if (id[i] >= 0x20 && id[i] < 0x7f) {
            name += (char)id[i];
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", id[i]);
            name += hex;
        }
    }
    return name;
}

bool printable(const uint8_t* id)
{
    return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c < 0x7f; });
}

uint32_t be32(const uint8_t* p) { return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3]; }
uint16_t be16(const uint8_t* p) { return (uint16_t)(p[0] << 8 | p[1]); }

// Reads one track chunk; every read is checked against the chunk's end.
class TrackReader
{
public:
    TrackReader(const uint8_t* file, size_t begin, size_t end, int track)
        : file(file), pos(begin), end(end), track(track)
    {
    }

    bool atEnd() const { return pos >= end; }
    size_t offset() const { return pos; }

    uint8_t byte()
    {
        if (pos >= end)
            fail("track %d is truncated: it ends inside an event (byte %zu)", track + 1, pos);
        return file[pos++];
    }

    uint8_t dataByte(uint8_t status)
    {
        const size_t at = pos;
        const uint8_t b = byte();
        if (b & 0x80)
            fail("track %d: status byte 0x%02X at byte %zu where a data byte of 0x%02X was expected", track + 1, b,
                 at, status);
        return b;
    }

    uint32_t varLength()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t b = byte();
            value = value << 7 | (b & 0x7f);
            if (!(b & 0x80))
                return value;
        }
        fail("track %d: variable-length number longer than 4 bytes at byte %zu", track + 1, pos - 4);
    }

    const uint8_t* take(uint32_t length)
    {
        if (length > end - pos)
            fail("track %d is truncated: an event claims %u bytes but %zu remain (byte %zu)", track + 1, length,
                 end - pos, pos);
        const uint8_t* p = file + pos;
        pos += length;
        return p;
    }

private:
    const uint8_t* file;
    size_t pos, end;
    int track;
};

struct TrackResult
{
    std::vector<MidiEvent> events;
    std::vector<TempoChange> tempos;
    std::vector<TimeSignature> signatures;
    uint64_t endTick = 0;
};

TrackResult readTrack(const uint8_t* file, size_t begin, size_t end, int track, uint64_t tickOffset)
{
    TrackResult result;
    TrackReader in(file, begin, end, track);
    uint64_t tick = tickOffset;
    uint8_t running = 0;
    while (!in.atEnd()) {
        tick += in.varLength();
        const size_t at = in.offset();
        uint8_t status = in.byte();
        MidiEvent event;
        event.tick = tick;
        event.track = track;
        if (status < 0x80) {
            if (!running)
                fail("track %d: data byte 0x%02X at byte %zu with no status before it", track + 1, status, at);
            event.data[0] = running;
            event.data[1] = status;
            event.size = 2;
            status = running;
        } else if (status < 0xf0) {
            running = status;
            event.data[0] = status;
            event.size = 1;
        }

        if (status < 0xf0) {
            const int kind = status & 0xf0;
            const int needed = (kind == 0xc0 || kind == 0xd0) ? 2 : 3;
            while (event.size < needed)
                event.data[event.size++] = in.dataByte(status);
            result.events.push_back(event);
        } else if (status == 0xf0 || status == 0xf7) {
            // System exclusive: not for the plug-in. Running status is kept across
            // it (and meta events) because some writers rely on that.
            in.take(in.varLength());
        } else if (status == 0xff) {
            const uint8_t type = in.byte();
            const uint32_t length = in.varLength();
            const uint8_t* body = in.take(length);
            if (type == 0x2f) {
                result.endTick = tick;
                return result; // anything after end-of-track is not part of the track
            } else if (type == 0x51) {
                if (length != 3)
                    fail("track %d: tempo event of %u bytes at byte %zu (3 expected)", track + 1, length, at);
                const uint32_t micros = (uint32_t)body[0] << 16 | (uint32_t)body[1] << 8 | body[2];
                if (micros == 0)
                    fail("track %d: tempo of 0 microseconds per quarter note at byte %zu", track + 1, at);
                result.tempos.push_back({tick, micros, 0});
            } else if (type == 0x58) {
                if (length < 2)
                    fail("track %d: time signature of %u bytes at byte %zu", track + 1, length, at);
                if (body[0] == 0 || body[1] > 6)
                    fail("track %d: time signature %u/2^%u at byte %zu is out of range", track + 1, body[0],
                         body[1], at);
                TimeSignature sig;
                sig.tick = tick;
                sig.numerator = body[0];
                sig.denominator = 1 << body[1];
                result.signatures.push_back(sig);
            }
        } else {
            fail("track %d: status byte 0x%02X at byte %zu cannot appear in a MIDI file", track + 1, status, at);
        }
    }
    // A track without end-of-track that stops between events is accepted.
    result.endTick = tick;
    return result;
}

} // namespace

MidiFile MidiFile::parse(const uint8_t* data, size_t size)
{
    if (size < 14)
        fail("too short to be a MIDI file (%zu bytes)", size);
    if (!std::equal(data, data + 4, "MThd"))
        fail("not a MIDI file: it starts with '%s' instead of 'MThd'", chunkName(data).c_str());
    const uint32_t headerLength = be32(data + 4);
    if (headerLength < 6)
        fail("header chunk of %u bytes (at least 6 expected)", headerLength);
    if (headerLength > size - 8)
        fail("header chunk claims %u bytes but the file has %zu after it", headerLength, size - 8);

    MidiFile file;
    file.format_ = be16(data + 8);
    const int declaredTracks = be16(data + 10);
    const uint16_t division = be16(data + 12);
    if (file.format_ > 2)
        fail("unknown MIDI file format %d", file.format_);
    if (declaredTracks == 0)
        fail("the header declares no tracks");
    if (division & 0x8000)
        fail("SMPTE time division (%d frames/s) is not supported, only ticks per quarter note",
             -(int)(int8_t)(division >> 8));
    if (division == 0)
        fail("time division of 0 ticks per quarter note");
    file.division_ = division;

    size_t pos = 8 + (size_t)headerLength;
    uint64_t formatTwoOffset = 0;
    std::string unexpected;
    while (file.trackCount_ < declaredTracks) {
        if (size - pos < 8) {
            if (!unexpected.empty())
                fail("found chunk '%s' where track %d of %d was expected", unexpected.c_str(), file.trackCount_ + 1,
                     declaredTracks);
            fail("truncated: the file ends after %d of %d tracks (byte %zu)", file.trackCount_, declaredTracks,
                 pos);
        }
        const uint8_t* id = data + pos;
        const uint32_t length = be32(data + pos + 4);
        if (!printable(id))
            fail("bad chunk id '%s' at byte %zu", chunkName(id).c_str(), pos);
        const bool isTrack = std::equal(id, id + 4, "MTrk");
        if (length > size - pos - 8)
            fail("truncated: %s chunk at byte %zu claims %u bytes but only %zu remain", isTrack ? "track" : "a", pos,
                 length, size - pos - 8);
        if (!isTrack) {
            // Unknown chunk types are skipped, as the format asks readers to.
            if (unexpected.empty())
                unexpected = chunkName(id);
            pos += 8 + (size_t)length;
            continue;
        }
        const int track = file.trackCount_++;
        TrackResult t = readTrack(data, pos + 8, pos + 8 + length, track, formatTwoOffset);
        if (file.format_ == 2)
            formatTwoOffset = t.endTick; // each pattern plays after the one before
        file.endTick_ = std::max(file.endTick_, t.endTick);
        file.events_.insert(file.events_.end(), t.events.begin(), t.events.end());
        file.tempos_.insert(file.tempos_.end(), t.tempos.begin(), t.tempos.end());
        file.signatures_.insert(file.signatures_.end(), t.signatures.begin(), t.signatures.end());
        pos += 8 + (size_t)length;
    }

    // Stable: events at the same tick keep track order, then file order.
    auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(file.events_.begin(), file.events_.end(), byTick);
    std::stable_sort(file.tempos_.begin(), file.tempos_.end(), byTick);
    std::stable_sort(file.signatures_.begin(), file.signatures_.end(), byTick);

    // Of several changes at one tick the last one holds; 120 bpm and 4/4 until the first.
    auto lastPerTick = [](auto& list, auto defaultValue) {
        std::remove_reference_t<decltype(list)> kept;
        kept.push_back(defaultValue);
        for (const auto& c : list) {
            if (c.tick == kept.back().tick)
                kept.back() = c;
            else
                kept.push_back(c);
        }
        list.swap(kept);
    };
    lastPerTick(file.tempos_, TempoChange{});
    lastPerTick(file.signatures_, TimeSignature{});

    for (size_t i = 1; i < file.tempos_.size(); ++i) {
        const TempoChange& p = file.tempos_[i - 1];
        file.tempos_[i].seconds = p.seconds + (double)(file.tempos_[i].tick - p.tick) * p.microsPerQuarter * 1e-6 /
                                                  file.division_;
    }
    // A signature starts a bar where it appears.
    for (TimeSignature& s : file.signatures_)
        s.barStart = (double)s.tick / file.division_;
    for (MidiEvent& e : file.events_)
        e.seconds = file.secondsAt((double)e.tick);
    return file;
}

MidiFile MidiFile::load(const std::string& path)
{
    // Even long songs are well under a megabyte.
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!readFileBytes(path, 64 << 20, bytes, problem))
        fail("%s", problem.c_str());
    return parse(bytes);
}

double MidiFile::secondsAt(double tick) const
{
    auto it = std::upper_bound(tempos_.begin(), tempos_.end(), tick,
                               [](double t, const TempoChange& c) { return t < (double)c.tick; });
    const TempoChange& c = *std::prev(it == tempos_.begin() ? std::next(it) : it);
    return c.seconds + (tick - (double)c.tick) * c.microsPerQuarter * 1e-6 / division_;
}

double MidiFile::ticksAt(double seconds) const
{
    auto it = std::upper_bound(tempos_.begin(), tempos_.end(), seconds,
                               [](double s, const TempoChange& c) { return s < c.seconds; });
    const TempoChange& c = *std::prev(it == tempos_.begin() ? std::next(it) : it);
    return (double)c.tick + (seconds - c.seconds) * division_ / (c.microsPerQuarter * 1e-6);
}

double MidiFile::bpmAt(double seconds) const
{
    auto it = std::upper_bound(tempos_.begin(), tempos_.end(), seconds,
                               [](double s, const TempoChange& c) { return s < c.seconds; });
    const TempoChange& c = *std::prev(it == tempos_.begin() ? std::next(it) : it);
    return 60e6 / c.microsPerQuarter;
}

const TimeSignature& MidiFile::signatureAt(double tick) const
{
    auto it = std::upper_bound(signatures_.begin(), signatures_.end(), tick,
                               [](double t, const TimeSignature& s) { return t < (double)s.tick; });
    return *std::prev(it == signatures_.begin() ? std::next(it) : it);
}

double MidiFile::barStartAt(double quarters) const
{
    const TimeSignature& s = signatureAt(quarters * division_);
    const double barLength = s.numerator * 4.0 / s.denominator;
    // A hair of slack keeps a position exactly on a bar line in that bar.
    const double bars = std::floor((quarters - s.barStart) / barLength + 1e-9);
    return s.barStart + std::max(0.0, bars) * barLength;
}

} // namespace render
