// Rendering cost: 16 held notes over 16 looping instruments, 512-frame blocks
// at 44.1 kHz. Reports nanoseconds per voice x instrument x frame and the
// real-time factor.
#include "core/Volantor2.h"
#include "engine/Instrument.h"
#include "engine/Rack.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kBlock = 512;
constexpr double kRate = 44100.0;

struct Setup
{
    std::unique_ptr<Volantor2> synth{new Volantor2(nullptr)};
    std::vector<float> left = std::vector<float>(kBlock), right = std::vector<float>(kBlock);

    // `configure` adjusts each instrument before the notes start.
    template <typename Fn>
    explicit Setup(Fn configure)
    {
        synth->setSampleRate((float)kRate);
        synth->setBlockSize(kBlock);
        synth->getRack(0)->clear();
        for (int i = 0; i < 16; ++i) {
            auto* instrument = new Instrument(kBlock, (int)kRate);
            instrument->setParameter(Instrument::kLoop, 1.f); // the default sound, looping
            configure(*instrument, i);
            synth->getRack(0)->addInstrument(instrument);
        }
        for (int n = 0; n < 16; ++n)
            synth->play(48 + n, 100, 0, 0);
        for (int b = 0; b < 8; ++b) // past the attacks
            render();
    }

    void render()
    {
        float* outputs[2] = {left.data(), right.data()};
        synth->processReplacing(nullptr, outputs, kBlock);
    }
};

template <typename Fn>
void renderHeldNotes(benchmark::State& state, Fn configure)
{
    Setup setup(configure);
    for (auto _ : state) {
        setup.render();
        benchmark::DoNotOptimize(setup.left.data());
        benchmark::ClobberMemory();
    }
    const double units = 16.0 * 16.0 * kBlock;
    state.counters["ns/voice*instr*frame"] =
        benchmark::Counter(units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] =
        benchmark::Counter(kBlock / kRate, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_HeldNotesLooping(benchmark::State& state)
{
    renderHeldNotes(state, [](Instrument&, int) {});
}

void BM_HeldNotesInterpolated(benchmark::State& state)
{
    renderHeldNotes(state, [](Instrument& i, int) { i.setParameter(Instrument::kInterpolate, 1.f); });
}

void BM_HeldNotesGrain(benchmark::State& state)
{
    renderHeldNotes(state, [](Instrument& i, int) { i.setParameter(Instrument::kGrain, 1.f); });
}

} // namespace

BENCHMARK(BM_HeldNotesLooping)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeldNotesInterpolated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeldNotesGrain)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
