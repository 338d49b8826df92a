// The demo song written at build time: what it promises a first listener.
#include "tools/render/MidiFile.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using render::MidiFile;

TEST(DemoSong, IsAShortPieceInCMajor)
{
    const MidiFile song = MidiFile::load(VLT2_DEMO_SONG);
    EXPECT_EQ(song.format(), 1);
    EXPECT_GE(song.lengthSeconds(), 20.0);
    EXPECT_LE(song.lengthSeconds(), 30.0);
    EXPECT_EQ(song.signatureAt(0).numerator, 4);
    EXPECT_EQ(song.signatureAt(0).denominator, 4);

    // Starts at 120 bpm and changes tempo around the middle.
    ASSERT_GE(song.tempoMap().size(), 2u);
    EXPECT_DOUBLE_EQ(song.bpmAt(0), 120);
    const double change = song.tempoMap()[1].seconds;
    EXPECT_GT(change, song.lengthSeconds() / 3);
    EXPECT_LT(change, song.lengthSeconds() * 2 / 3);

    std::set<int> channels, velocities;
    std::map<std::pair<int, int>, int> held; // (channel, key) -> count
    int sounding = 0, mostSounding = 0, bends = 0, lastBend = -1;
    for (const render::MidiEvent& e : song.events()) {
        const int kind = e.data[0] & 0xf0, channel = e.data[0] & 0x0f;
        if (kind == 0x90 && e.data[2]) {
            SCOPED_TRACE(e.tick);
            const int pc = e.data[1] % 12;
            EXPECT_TRUE(pc == 0 || pc == 2 || pc == 4 || pc == 5 || pc == 7 || pc == 9 || pc == 11)
                << "key " << (int)e.data[1] << " is not in C major";
            channels.insert(channel);
            velocities.insert(e.data[2]);
            ++held[{channel, e.data[1]}];
            mostSounding = std::max(mostSounding, ++sounding);
        } else if (kind == 0x80 || kind == 0x90) {
            const std::pair<int, int> key(channel, e.data[1]);
            ASSERT_GT(held[key]--, 0) << "note-off without a note-on";
            --sounding;
        } else if (kind == 0xe0) {
            ++bends;
            lastBend = e.data[1] | e.data[2] << 7;
        }
    }
    EXPECT_EQ(sounding, 0);
    EXPECT_GE(channels.size(), 3u);     // bass, chords and lead
    EXPECT_GE(velocities.size(), 8u);   // dynamics, not one level
    EXPECT_LE(mostSounding, 12);        // well within the 16 voices
    EXPECT_GT(bends, 2);                // a glide, not a jump
    EXPECT_EQ(lastBend, 8192);          // and the wheel back at centre
}
