// libFuzzer target: any bytes, saved as a ".wav" or ".mp3" file (the first
// byte's lowest bit picks), must load or fail without a memory or UB error.
#include "engine/Sample.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string workDir;

void removeWorkDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(workDir, ignored);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char name[] = "/tmp/vlt2-fuzz-XXXXXX";
    if (!mkdtemp(name))
        std::abort();
    workDir = name;
    std::atexit(removeWorkDir);
    // The loader's log lines would drown libFuzzer's own output on stderr.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const bool mp3 = size > 0 && (data[0] & 1);
    const std::string path = workDir + (mp3 ? "/input.mp3" : "/input.wav");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);

    Sample sample;
    if (sample.load(path)) {
        // Every frame and the guard must lie inside the buffers.
        const int channels = sample.getChannelCount();
        if (channels < 1 || channels > 2 || sample.getFrames() < 1 || sample.getSamplerate() < 1)
            std::abort();
        if (sample.getLoopEnd() != sample.getFrames() - 1 && sample.getFrames() > 1)
            std::abort();
        volatile float sum = 0.0f;
        for (int c = 0; c < channels; ++c) {
            const float* buffer = sample.getBuffer(c);
            if (!buffer)
                std::abort();
            for (int i = 0; i <= sample.getFrames(); ++i)
                sum = sum + buffer[i];
        }
    }
    std::remove(path.c_str());
    return 0;
}
