#include "sources/WaveFile.h"

#include <cstdint>
#include <cstring>

namespace {

uint32_t le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }
int le16(const unsigned char* p) { return (int16_t)(p[0] | (p[1] << 8)); }

} // namespace

WaveFile::WaveFile(const char* fileBytes, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(fileBytes);
    if (!bytes || size < 36)
        return;
    const uint64_t fmtSize = le32(bytes + 16);
    sampleRate = (int)le32(bytes + 24);
    channelCount = le16(bytes + 22);
    const int blockAlign = le16(bytes + 32);
    bitsPerSample = le16(bytes + 34);

    // Chunks follow the fmt chunk back to back; only "data" matters.
    uint64_t pos = 20 + fmtSize;
    for (int skipped = 0;; ++skipped) {
        if (pos + 8 > size || skipped > kMaxSkippedChunks)
            return; // no data chunk: no frames
        const uint64_t chunkSize = le32(bytes + pos + 4);
        if (!std::memcmp(bytes + pos, "data", 4)) {
            // A file shorter than its header claims keeps what it has.
            const uint64_t available = size - (pos + 8);
            const uint64_t payload = chunkSize < available ? chunkSize : available;
            dataSize = (int)(payload > 0x7fffffff ? 0x7fffffff : payload);
            data.assign(bytes + pos + 8, bytes + pos + 8 + dataSize);
            frameCount = blockAlign > 0 ? dataSize / blockAlign : 0;
            return;
        }
        pos += 8 + chunkSize;
    }
}

bool WaveFile::isSupported() const
{
    return (bitsPerSample == 16 && (channelCount == 1 || channelCount == 2)) ||
           (bitsPerSample == 8 && channelCount == 1);
}

bool WaveFile::read(float* out, int count, int channel) const
{
    if (!out || channelCount == 0 || frameCount == 0 || !isSupported() || count < 0 || channel < 0 ||
        channel >= channelCount)
        return false;
    const int bytesPerFrame = channelCount * bitsPerSample / 8;
    if ((long long)count * bytesPerFrame > dataSize)
        return false;
    const unsigned char* p = data.data();
    if (bitsPerSample == 16) {
        for (int i = 0; i < count; ++i)
            out[i] = (float)(le16(p + (size_t)i * bytesPerFrame + 2 * channel) / 32768.0);
    } else {
        for (int i = 0; i < count; ++i)
            out[i] = (float)((p[i] - 128) / 128.0);
    }
    return true;
}
