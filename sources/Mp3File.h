// Decodes a whole MP3 file (or MPEG audio wrapped in a WAV container) to float
// buffers with libmad. The decoded value after the last frame is kept as the
// guard, so a file of n decoded values reports n - 1 frames.
#pragma once

#include <string>

class Mp3File
{
public:
    static constexpr int kGrowStep = 230400;
    // Bounds for hostile or oversized input.
    static constexpr long kMaxFileBytes = 512L * 1024 * 1024;
    static constexpr long kMaxBufferBytes = 1024L * 1024 * 1024;
    static constexpr int kMaxCapacity = static_cast<int>(kMaxBufferBytes / (2 * sizeof(float)));

    explicit Mp3File(const std::string& path);
    Mp3File(const Mp3File&) = delete;
    Mp3File& operator=(const Mp3File&) = delete;
    ~Mp3File();

    bool hasError() const { return error; }
    int getChannelCount() const { return channelCount; }
    int getFrames() const { return frames; }
    int getSamplerate() const { return sampleRate; }
    const float* getLeft() const { return left; }
    // For mono files the right channel is the left buffer.
    const float* getRight() const { return right; }

    // Hand the buffers (new[] arrays of frames + 1 values) to the caller. For
    // mono files take only the left one: the right one is the same array.
    float* releaseLeft();
    float* releaseRight();

private:
    bool readFile(const std::string& path);
    void decode();
    bool grow();

    // libmad's callbacks; they keep libmad's header out of this one.
    friend struct Mp3Callbacks;

    unsigned char* data = nullptr;
    long dataSize = 0;
    bool inputGiven = false;
    float* left = nullptr;
    float* right = nullptr;
    int capacity = 0;
    int written = 0;
    bool stereo = false;
    bool error = false;
    int channelCount = 2;
    int frames = 0;
    int sampleRate = 0;
};
