// Rendering must not touch the heap: every operator new while a block renders
// is counted.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace test;

TEST(RenderAllocation, RenderingWithManyNotesAllocatesNothing)
{
    auto synth = makeSynth(512);
    SampleData data;
    data.left = ramp(100000);
    data.right = ramp(100000);
    // Instruments in every mode: looping, reverse, interpolating, grains,
    // envelopes, a channel filter.
    for (int i = 0; i < 16; ++i) {
        Instrument* instrument = makeInstrument(*synth, data);
        instrument->setParameter(Instrument::kLoop, i % 2 ? 1.f : 0.f);
        instrument->setParameter(Instrument::kReverse, i % 3 == 0 ? 1.f : 0.f);
        instrument->setParameter(Instrument::kInterpolate, i % 4 < 2 ? 1.f : 0.f);
        instrument->setParameter(Instrument::kGrain, i % 5 == 0 ? 1.f : 0.f);
        instrument->setParameter(Instrument::kVolA, 0.01f * i);
        instrument->setParameter(Instrument::kPitchA, 0.02f);
        instrument->setParameter(Instrument::kPitchEg, 0.8f);
        if (i == 7)
            instrument->setMidiChannel(3);
        ASSERT_TRUE(synth->getRack(0)->addInstrument(instrument));
    }
    synth->getRack(0)->getInstrumentAt(15)->markForDelete();

    // Events prepared before counting.
    MidiList notes, offs, bend, cc;
    for (int n = 0; n < 16; ++n)
        notes.add(0x90 | (n % 4), 40 + 2 * n, 30 + 6 * n, n * 20);
    for (int n = 0; n < 16; n += 2)
        offs.add(0x80 | (n % 4), 40 + 2 * n, 0, n);
    bend.add(0xE0, 0, 90);
    cc.add(0xB0, 123, 0);
    VstEvents* lists[] = {notes.get(), bend.get(), offs.get(), notes.get(), cc.get()};

    Block out(2048);
    float* outputs[2] = {out.left.data(), out.right.data()};
    synth->processReplacing(nullptr, outputs, 512); // settle lazily built state, if any

    counting = true;
    for (int block = 0; block < 200; ++block) {
        if (block % 40 == 0)
            synth->processEvents(lists[block / 40]);
        synth->queueKeyboardNote(block % 2 == 0, 84, 100);
        synth->processReplacing(nullptr, outputs, block % 7 == 0 ? 2048 : 512);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(synth->getRack(0)->getCount(), 15);
}
