// The command-line host's Standard MIDI File reader.
#include "RenderTestSupport.h"
#include "tools/render/MidiFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

using render::MidiFile;
using render::MidiFileError;
using rendertest::Bytes;

namespace {

// Two tracks at 96 ticks per quarter, written out byte by byte. Track 1 sets
// 3/4 and 120 bpm, plays C4 with running status across a sysex, and slows to
// 60 bpm at tick 288; track 2 holds the other channel messages.
const Bytes kTrack1 = {
    0x00, 0xff, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08, // 3/4
    0x00, 0xff, 0x51, 0x03, 0x07, 0xa1, 0x20,       // 500000 us per quarter
    0x00, 0x90, 0x3c, 0x64,                         // tick 0: C4 on
    0x60, 0x3c, 0x00,                               // tick 96: C4 off, running status
    0x00, 0xf0, 0x03, 0x7e, 0x01, 0xf7,             // sysex, skipped
    0x00, 0x3e, 0x50,                               // tick 96: D4 on, running status still
    0x00, 0xff, 0x01, 0x02, 'h', 'i',               // text, skipped
    0x81, 0x40, 0xff, 0x51, 0x03, 0x0f, 0x42, 0x40, // tick 288: 1000000 us per quarter
    0x00, 0xff, 0x2f, 0x00,                         // end of track
};
const Bytes kTrack2 = {
    0x00, 0xc1, 0x05,       // tick 0: program change
    0x30, 0xb1, 0x07, 0x64, // tick 48: volume controller
    0x30, 0xe1, 0x00, 0x40, // tick 96: pitch bend, centre
    0x83, 0x60, 0xd1, 0x40, // tick 576: channel pressure
    0x00, 0xa1, 0x3c, 0x20, // tick 576: key pressure
    0x00, 0xff, 0x2f, 0x00,
};

Bytes goodFile()
{
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96};
    rendertest::append(file, rendertest::track(kTrack1));
    rendertest::append(file, rendertest::track(kTrack2));
    return file;
}

const size_t kTrack1Start = 14, kTrack2Start = kTrack1Start + 8 + kTrack1.size();

} // namespace

TEST(MidiFile, GoodFileMergesTracksInTimeOrder)
{
    const MidiFile song = MidiFile::parse(goodFile());
    EXPECT_EQ(song.format(), 1);
    EXPECT_EQ(song.trackCount(), 2);
    EXPECT_EQ(song.ticksPerQuarter(), 96);

    struct Expected
    {
        uint64_t tick;
        double seconds;
        Bytes bytes;
        int track;
    };
    const Expected expected[] = {
        {0, 0.0, {0x90, 0x3c, 0x64}, 0},   {0, 0.0, {0xc1, 0x05}, 1},       {48, 0.25, {0xb1, 0x07, 0x64}, 1},
        {96, 0.5, {0x90, 0x3c, 0x00}, 0},  {96, 0.5, {0x90, 0x3e, 0x50}, 0}, {96, 0.5, {0xe1, 0x00, 0x40}, 1},
        {576, 4.5, {0xd1, 0x40}, 1},       {576, 4.5, {0xa1, 0x3c, 0x20}, 1},
    };
    ASSERT_EQ(song.events().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const render::MidiEvent& e = song.events()[i];
        EXPECT_EQ(e.tick, expected[i].tick);
        EXPECT_DOUBLE_EQ(e.seconds, expected[i].seconds);
        EXPECT_EQ(Bytes(e.data, e.data + e.size), expected[i].bytes);
        EXPECT_EQ(e.track, expected[i].track);
    }
    EXPECT_EQ(song.endTick(), 576u);
    EXPECT_DOUBLE_EQ(song.lengthSeconds(), 4.5);
}

TEST(MidiFile, TempoMapTurnsTicksIntoSeconds)
{
    const MidiFile song = MidiFile::parse(goodFile());
    ASSERT_EQ(song.tempoMap().size(), 2u);
    EXPECT_EQ(song.tempoMap()[1].tick, 288u);
    EXPECT_DOUBLE_EQ(song.tempoMap()[1].seconds, 1.5);

    struct Case
    {
        double tick, seconds, bpm;
    };
    // 96 ticks are half a second at 120 bpm and a whole one at 60 bpm.
    for (const Case& c : {Case{0, 0, 120}, Case{96, 0.5, 120}, Case{288, 1.5, 60}, Case{384, 2.5, 60},
                          Case{1000, 1.5 + 712.0 / 96, 60}}) {
        SCOPED_TRACE(c.tick);
        EXPECT_DOUBLE_EQ(song.secondsAt(c.tick), c.seconds);
        EXPECT_NEAR(song.ticksAt(c.seconds), c.tick, 1e-9);
        EXPECT_DOUBLE_EQ(song.bpmAt(c.seconds), c.bpm);
    }
    EXPECT_EQ(song.signatureAt(500).numerator, 3);
    EXPECT_EQ(song.signatureAt(500).denominator, 4);
    // Bars of three quarters.
    EXPECT_DOUBLE_EQ(song.barStartAt(2.9), 0.0);
    EXPECT_DOUBLE_EQ(song.barStartAt(3.0), 3.0);
    EXPECT_DOUBLE_EQ(song.barStartAt(7.5), 6.0);
}

TEST(MidiFile, WithoutTempoOrSignatureIs120BpmInFourFour)
{
    const MidiFile song = MidiFile::parse(rendertest::oneNote(60, 2));
    EXPECT_DOUBLE_EQ(song.bpmAt(0), 120);
    EXPECT_DOUBLE_EQ(song.lengthSeconds(), 1.0);
    EXPECT_EQ(song.signatureAt(0).numerator, 4);
    EXPECT_DOUBLE_EQ(song.barStartAt(5), 4.0);
}

TEST(MidiFile, FormatTwoPlaysTracksOneAfterAnother)
{
    using rendertest::events;
    const Bytes file = rendertest::midiFile(
        2, 100,
        {events({{0, {0x90, 60, 90}}, {100, {0x80, 60, 0}}, {50, rendertest::kEndOfTrack}}),
         events({{10, {0x91, 62, 90}}, {100, {0x81, 62, 0}}, {0, rendertest::kEndOfTrack}})});
    const MidiFile song = MidiFile::parse(file);
    ASSERT_EQ(song.events().size(), 4u);
    EXPECT_EQ(song.events()[1].tick, 100u);
    EXPECT_EQ(song.events()[2].tick, 160u); // after the first pattern's 150 ticks
    EXPECT_EQ(song.events()[3].tick, 260u);
    EXPECT_EQ(song.endTick(), 260u);
}

TEST(MidiFile, EveryTruncationIsAnError)
{
    const Bytes file = goodFile();
    for (size_t length = 0; length < file.size(); ++length) {
        SCOPED_TRACE(length);
        // A copy of exactly `length` bytes, so reading past it is caught by tools that look.
        const Bytes cut(file.begin(), file.begin() + (long)length);
        EXPECT_THROW(MidiFile::parse(cut), MidiFileError);
    }
}

TEST(MidiFile, MalformedFilesAreRejectedWithAReason)
{
    struct Case
    {
        const char* name;
        std::function<void(Bytes&)> damage;
        const char* message;
    };
    auto setByte = [](size_t at, uint8_t value) { return [=](Bytes& f) { f[at] = value; }; };
    // Track 1's first event bytes start 8 bytes into the chunk.
    const size_t e1 = kTrack1Start + 8;
    const Case cases[] = {
        {"not a MIDI file", [](Bytes& f) { std::copy_n("RIFF", 4, f.begin()); }, "not a MIDI file"},
        {"short header length", setByte(7, 5), "header chunk"},
        {"unknown format", setByte(9, 3), "format 3"},
        {"no tracks", setByte(11, 0), "no tracks"},
        {"SMPTE division", [](Bytes& f) { f[12] = 0xe7, f[13] = 0x28; }, "SMPTE"},
        {"zero division", [](Bytes& f) { f[12] = 0, f[13] = 0; }, "division of 0"},
        {"bad chunk id", setByte(kTrack2Start + 3, 0x01), "bad chunk id"},
        {"other chunk instead of a track",
         [](Bytes& f) { std::copy_n("XXXX", 4, f.begin() + (long)kTrack2Start); }, "'XXXX' where track 2"},
        {"track longer than the file", [](Bytes& f) { f[kTrack2Start + 5] = 0x10; }, "claims"},
        {"track shorter than its events", setByte(kTrack1Start + 7, 40), "truncated"},
        {"data byte with no status", setByte(e1 + 1, 0x3c), "no status"},
        {"status where data belongs", setByte(e1 + 18, 0x90), "data byte"},
        {"variable length over 4 bytes",
         [](Bytes& f) { std::fill_n(f.begin() + (long)e1, 5, 0xff); }, "longer than 4 bytes"},
        {"tempo of two bytes", setByte(e1 + 11, 0x02), "tempo event"},
        {"undefined status", setByte(e1 + 16, 0xf4), "0xF4"},
        {"time signature out of range", setByte(e1 + 5, 9), "time signature"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = goodFile();
        c.damage(file);
        try {
            MidiFile::parse(file);
            ADD_FAILURE() << "accepted";
        } catch (const MidiFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
        }
    }
}

TEST(MidiFile, RandomDamageIsReadOrRejectedNeverMisread)
{
    // Fixed seed: the same few thousand damaged files every run.
    std::mt19937 random(20240611);
    const Bytes good = goodFile();
    for (int round = 0; round < 3000; ++round) {
        Bytes file = good;
        const int hits = 1 + (int)(random() % 4);
        for (int h = 0; h < hits; ++h)
            file[random() % file.size()] = (uint8_t)random();
        if (random() % 4 == 0)
            file.resize(random() % file.size());
        try {
            const MidiFile song = MidiFile::parse(Bytes(file)); // an exact-size copy
            for (const render::MidiEvent& e : song.events())
                ASSERT_TRUE(e.size >= 2 && e.size <= 3 && (e.data[0] & 0x80)) << round;
            ASSERT_TRUE(std::isfinite(song.lengthSeconds())) << round;
        } catch (const MidiFileError&) {
        }
    }
}

TEST(MidiFile, MissingFileIsAnError)
{
    EXPECT_THROW(MidiFile::load("/nonexistent/song.mid"), MidiFileError);
}
