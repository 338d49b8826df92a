// Reader of the resource WAV files, working on the whole file in memory.
// It knows 16-bit PCM mono and stereo and 8-bit PCM mono; every read stays
// within the bytes it was given.
#pragma once

#include <cstddef>
#include <vector>

class WaveFile
{
public:
    WaveFile(const char* fileBytes, std::size_t size);

    // Writes `count` values of `channel`, scaled to -1..1; false when the
    // layout is not one of the three known ones or the data holds fewer frames.
    bool read(float* out, int count, int channel) const;
    // One of the three layouts read() knows.
    bool isSupported() const;

    int sampleRate = 0;
    int channelCount = 0;
    int bitsPerSample = 0;
    int frameCount = 0;
    int dataSize = 0;
    std::vector<unsigned char> data;

    // Chunks stepped over looking for "data" before giving up.
    static constexpr int kMaxSkippedChunks = 257;
};
