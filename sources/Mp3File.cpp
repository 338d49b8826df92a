#include "sources/Mp3File.h"

#include <mad.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

struct Mp3Callbacks
{
    static mad_flow input(void* data, mad_stream* stream)
    {
        auto* file = static_cast<Mp3File*>(data);
        // The whole file is handed over at once; a second request means the end.
        if (file->inputGiven)
            return MAD_FLOW_STOP;
        file->inputGiven = true;
        mad_stream_buffer(stream, file->data, static_cast<unsigned long>(file->dataSize));
        return MAD_FLOW_CONTINUE;
    }

    static mad_flow output(void* data, const mad_header* header, mad_pcm* pcm)
    {
        auto* file = static_cast<Mp3File*>(data);
        file->sampleRate = static_cast<int>(header->samplerate);
        const bool frameIsStereo = pcm->channels == 2;
        if (frameIsStereo)
            file->stereo = true;
        const int length = std::min<int>(pcm->length, 1152);
        if (file->written + length >= file->capacity && !file->grow())
            return MAD_FLOW_STOP;
        constexpr float kScale = 1.0f / static_cast<float>(1L << MAD_F_FRACBITS);
        float* left = file->left + file->written;
        float* right = file->right + file->written;
        for (int i = 0; i < length; ++i) {
            left[i] = static_cast<float>(pcm->samples[0][i]) * kScale;
            right[i] = frameIsStereo ? static_cast<float>(pcm->samples[1][i]) * kScale : left[i];
        }
        file->written += length;
        return MAD_FLOW_CONTINUE;
    }

    static mad_flow error(void*, mad_stream*, mad_frame*)
    {
        // Damaged frames are skipped; decoding resynchronises on the next one.
        return MAD_FLOW_CONTINUE;
    }
};

Mp3File::Mp3File(const std::string& path)
{
    if (!readFile(path)) {
        error = true;
        return;
    }
    left = new (std::nothrow) float[kGrowStep];
    right = new (std::nothrow) float[kGrowStep];
    if (!left || !right) {
        error = true;
    } else {
        capacity = kGrowStep;
        decode();
    }
    delete[] data;
    data = nullptr;
    if (error)
        return;

    // Fewer than two values leave no frame besides the guard.
    if (written < 2 || sampleRate < 1) {
        error = true;
        return;
    }
    if (!stereo) {
        channelCount = 1;
        delete[] right;
        right = left;
    }
    frames = written - 1;
}

Mp3File::~Mp3File()
{
    delete[] data;
    if (right != left)
        delete[] right;
    delete[] left;
}

bool Mp3File::readFile(const std::string& path)
{
    struct stat info;
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (info.st_size <= 0 || info.st_size > kMaxFileBytes)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    const long size = static_cast<long>(info.st_size);
    // Zeroed tail bytes let libmad finish the last frame without reading past the data.
    data = new (std::nothrow) unsigned char[size + MAD_BUFFER_GUARD];
    if (!data) {
        std::fclose(file);
        return false;
    }
    // The file may have changed since stat: only what is read counts.
    dataSize = static_cast<long>(std::fread(data, 1, static_cast<size_t>(size), file));
    std::fclose(file);
    std::memset(data + dataSize, 0, static_cast<size_t>(size - dataSize) + MAD_BUFFER_GUARD);
    dataSize += MAD_BUFFER_GUARD;
    return dataSize > MAD_BUFFER_GUARD;
}

void Mp3File::decode()
{
    mad_decoder decoder;
    mad_decoder_init(&decoder, this, Mp3Callbacks::input, nullptr, nullptr, Mp3Callbacks::output,
                     Mp3Callbacks::error, nullptr);
    mad_decoder_run(&decoder, MAD_DECODER_MODE_SYNC);
    mad_decoder_finish(&decoder);
}

bool Mp3File::grow()
{
    // Growing by half the size keeps long files from being copied over and over.
    const int step = std::max(kGrowStep, capacity / 2);
    const int newCapacity = capacity > kMaxCapacity - step ? kMaxCapacity : capacity + step;
    if (newCapacity - written <= 1152) {
        std::printf("Volantor2 LOG > Mp3File: decoded audio too long\n");
        error = true;
        return false;
    }
    float* newLeft = new (std::nothrow) float[newCapacity];
    float* newRight = newLeft ? new (std::nothrow) float[newCapacity] : nullptr;
    if (!newRight) {
        delete[] newLeft;
        std::printf("Volantor2 LOG > Mp3File: out of memory while decoding\n");
        error = true;
        return false;
    }
    std::copy(left, left + written, newLeft);
    std::copy(right, right + written, newRight);
    delete[] left;
    delete[] right;
    left = newLeft;
    right = newRight;
    capacity = newCapacity;
    return true;
}

float* Mp3File::releaseLeft()
{
    float* buffer = left;
    if (right == left)
        right = nullptr;
    left = nullptr;
    return buffer;
}

float* Mp3File::releaseRight()
{
    float* buffer = right;
    if (left == right)
        left = nullptr;
    right = nullptr;
    return buffer;
}
