// Making an instrument: from a built-in display name, and from a user's
// 10-second stereo WAV file.
#include "engine/Instrument.h"
#include "engine/Sample.h"
#include "sources/BuiltinSounds.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void BM_InstrumentFromName(benchmark::State& state)
{
    makeName();
    for (auto _ : state) {
        Instrument instrument(512, 44100);
        benchmark::DoNotOptimize(instrument.loadFromName("Hoover"));
    }
}

void BM_InstrumentFromTenSecondWav(benchmark::State& state)
{
    const std::string path = "/tmp/vlt2-bench-10s.wav";
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> frames(2 * 441000);
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i] = 0.5f * (float)std::sin(i * 0.01);
    sf_writef_float(f, frames.data(), 441000);
    sf_close(f);
    for (auto _ : state) {
        Instrument instrument(512, 44100);
        auto* sample = new Sample();
        benchmark::DoNotOptimize(sample->load(path));
        instrument.addSample(sample, true);
    }
    std::remove(path.c_str());
}

} // namespace

BENCHMARK(BM_InstrumentFromName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InstrumentFromTenSecondWav)->Unit(benchmark::kMillisecond);
