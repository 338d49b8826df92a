// Standard MIDI File reader for the command-line host: formats 0, 1 and 2,
// tracks merged into one time-ordered list, with the tempo and time
// signature maps needed to place events in seconds and report musical time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace render {

struct MidiFileError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// A channel message (note on/off, aftertouch, controller, program change,
// pitch bend); system and meta events are not kept.
struct MidiEvent
{
    uint64_t tick = 0;
    double seconds = 0;
    uint8_t data[3] = {0, 0, 0};
    uint8_t size = 0;
    int track = 0;
};

struct TempoChange
{
    uint64_t tick = 0;
    uint32_t microsPerQuarter = 500000;
    double seconds = 0; // when the change happens
};

struct TimeSignature
{
    uint64_t tick = 0;
    int numerator = 4;
    int denominator = 4;
    double barStart = 0; // in quarter notes: where the first bar in this signature starts
};

class MidiFile
{
public:
    // Throws MidiFileError with a message naming what is wrong and where.
    static MidiFile parse(const uint8_t* data, size_t size);
    static MidiFile parse(const std::vector<uint8_t>& bytes) { return parse(bytes.data(), bytes.size()); }
    static MidiFile load(const std::string& path);

    int format() const { return format_; }
    int trackCount() const { return trackCount_; }
    int ticksPerQuarter() const { return division_; }

    const std::vector<MidiEvent>& events() const { return events_; }
    const std::vector<TempoChange>& tempoMap() const { return tempos_; }
    const std::vector<TimeSignature>& timeSignatures() const { return signatures_; }

    // The last event or end-of-track, whichever is later.
    uint64_t endTick() const { return endTick_; }
    double lengthSeconds() const { return secondsAt((double)endTick_); }

    double secondsAt(double tick) const;
    double ticksAt(double seconds) const;
    double quartersAt(double seconds) const { return ticksAt(seconds) / division_; }
    double bpmAt(double seconds) const;
    const TimeSignature& signatureAt(double tick) const;
    // Start of the bar containing `quarters`, in quarter notes.
    double barStartAt(double quarters) const;

private:
    int format_ = 0;
    int trackCount_ = 0;
    int division_ = 480;
    uint64_t endTick_ = 0;
    std::vector<MidiEvent> events_;
    std::vector<TempoChange> tempos_;
    std::vector<TimeSignature> signatures_;
};

} // namespace render
