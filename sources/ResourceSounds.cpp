// Resource sounds: WAV files of the bundle's resources directory, named by
// resource paths of which only the last component finds the file.
#include "engine/Sample.h"
#include "host/BundleServices.h"
#include "sources/BuiltinSounds.h"
#include "sources/WaveFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <new>

namespace {

// Resource files are small; anything larger is not one of ours.
constexpr long kMaxResourceBytes = 256L << 20;

void unableToLoad() { std::printf("Volantor2 > Sample::pathToBuffer error : unable to load from resources, trying not to crash\n"); }

} // namespace

char* Sample::pathToBuffer(const std::string& path, long* size)
{
    std::string resources;
    if (!getResourcesPath(resources)) {
        unableToLoad();
        return nullptr;
    }
    const size_t cut = path.find_last_of("/\\");
    const std::string file = resources + "/" + (cut == std::string::npos ? path : path.substr(cut + 1));
    struct stat status;
    FILE* f = nullptr;
    if (stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxResourceBytes ||
        !(f = std::fopen(file.c_str(), "rb"))) {
        unableToLoad();
        return nullptr;
    }
    const long length = (long)status.st_size;
    char* bytes = new (std::nothrow) char[length > 0 ? length : 1];
    const bool ok = bytes && std::fread(bytes, 1, (size_t)length, f) == (size_t)length;
    std::fclose(f);
    if (!ok) {
        delete[] bytes;
        unableToLoad();
        return nullptr;
    }
    if (size)
        *size = length;
    return bytes;
}

bool Sample::loadFromResource(const std::string& path)
{
    long size = 0;
    char* bytes = pathToBuffer(path, &size);
    if (!bytes)
        return false;
    WaveFile wave(bytes, (size_t)size);
    delete[] bytes;
    // Only the three layouts resource files come in are read; anything else
    // fails rather than giving a silent sound.
    if (wave.frameCount <= 0 || wave.channelCount <= 0 || wave.sampleRate <= 0 || !wave.isSupported())
        return false;

    float* read[2] = {nullptr, nullptr};
    for (int c = 0; c < wave.channelCount; ++c) {
        read[c] = new (std::nothrow) float[(size_t)wave.frameCount + 16]();
        if (!read[c] || !wave.read(read[c], wave.frameCount, c)) {
            delete[] read[0];
            delete[] read[1];
            return false;
        }
        // The value after the last frame wraps around to the first.
        read[c][wave.frameCount] = read[c][0];
    }
    frames = wave.frameCount;
    channelCount = wave.channelCount;
    sampleRate = wave.sampleRate;
    for (int c = 0; c < wave.channelCount; ++c)
        adoptBuffer(c, read[c]);
    loopEnd = frames - 1;
    adjustRootNote(path);
    return true;
}

void Sample::adjustRootNote(const std::string& path)
{
    if (const int k = resourceTransposition(path))
        setRootNote(60 - k);
}
