// Fuzz target: the resource WAV reader on arbitrary bytes.
#include "sources/WaveFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WaveFile wave(reinterpret_cast<const char*>(data), size);
    if (wave.frameCount > 0 && wave.frameCount < (1 << 24)) {
        std::vector<float> out((size_t)wave.frameCount + 16);
        for (int c = 0; c < wave.channelCount && c < 2; ++c)
            wave.read(out.data(), wave.frameCount, c);
    }
    return 0;
}
