// Hosts call the plug-in from several threads at once: automation and the
// editor set parameters, the host switches programs and saves and restores
// its state, all while the audio thread renders. Run under ThreadSanitizer
// this shows data races; in any build it shows crashes and broken output.
// VLT2_STRESS_MS sets how long the threads run (default 1500).
#include "TestSupport.h"

#include "core/ReadGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <thread>
#include <vector>

using namespace test;

namespace {

std::chrono::milliseconds stressDuration()
{
    const char* text = std::getenv("VLT2_STRESS_MS");
    const long ms = text ? std::atol(text) : 0;
    return std::chrono::milliseconds(ms > 0 ? ms : 1500);
}

// Four programs that between them use every playing mode.
void fillPrograms(Volantor2& synth)
{
    const char* const sounds[] = {"Hoover", "House Stab", "coin", "Siren"};
    for (int p = 0; p < 4; ++p) {
        Program& program = synth.getProgramAt(p);
        program = Program();
        program.instrumentCount = 2 + p;
        for (int i = 0; i < program.instrumentCount; ++i) {
            InstrumentProgram& entry = program.instruments[i];
            entry.sourceKind = Instrument::kBuiltin;
            entry.name = sounds[(p + i) % 4];
            for (int k = 0; k < Instrument::kParameterCount; ++k)
                entry.parameters[k] = 0.5f;
            entry.parameters[Instrument::kVolume] = 0.8f;
            entry.parameters[Instrument::kLoop] = (i % 2) ? 1.f : 0.f;
            entry.parameters[Instrument::kReverse] = (p == 1) ? 1.f : 0.f;
            entry.parameters[Instrument::kInterpolate] = (p == 2) ? 1.f : 0.f;
            entry.parameters[Instrument::kGrain] = (p == 3) ? 1.f : 0.f;
            entry.parameters[Instrument::kVolA] = 0.01f;
            entry.parameters[Instrument::kVolR] = 0.05f;
        }
        program.delay.values[3] = (p % 2) ? 1.f : 0.f; // delay on in two of them
        program.phaser.values[0] = (p >= 2) ? 1.f : 0.f;
    }
}

} // namespace

TEST(HostThreads, RenderingWhileOtherThreadsAutomateSwitchAndRestore)
{
    std::unique_ptr<Volantor2> synth = makeSynth(256);
    fillPrograms(*synth);
    synth->setProgram(0);
    synth->resume();

    const auto until = std::chrono::steady_clock::now() + stressDuration();
    auto running = [&] { return std::chrono::steady_clock::now() < until; };
    std::atomic<bool> audioDone{false};
    std::atomic<long> blocks{0}, nonFinite{0}, sets{0}, switches{0}, restores{0};

    std::thread audio([&] {
        std::minstd_rand random(1);
        while (running()) {
            MidiList notes;
            const int note = 36 + (int)(random() % 48);
            notes.add(0x90, note, 100).add(0x80, 36 + (int)(random() % 48), 0, 100);
            synth->processEvents(notes.get());
            // Some hosts play automation from their audio thread.
            synth->setParameter((int)(random() % 768), (float)(random() % 1000) / 999.f);
            Block b = render(*synth, 256);
            for (int k = 0; k < 256; ++k)
                if (!std::isfinite(b.left[k]) || !std::isfinite(b.right[k]))
                    ++nonFinite;
            ++blocks;
        }
        audioDone = true;
    });

    std::thread automation([&] {
        std::minstd_rand random(2);
        char text[64];
        while (running()) {
            const int index = (int)(random() % 768);
            synth->setParameter(index, (float)(random() % 1000) / 999.f);
            synth->getParameter(index);
            synth->getParameterDisplay(index, text);
            synth->getParameterName(index, text);
            if (random() % 500 == 0)
                synth->setGrainSize(200 + (int)(random() % 1800));
            ++sets;
        }
    });

    std::thread programs([&] {
        char name[64];
        for (int i = 0; running(); ++i) {
            synth->setProgram(i % 4);
            synth->getProgramName(name);
            synth->getProgramNameIndexed(0, (i + 1) % 128, name);
            ++switches;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    std::thread state([&] {
        for (int i = 0; running(); ++i) {
            const bool preset = i % 2;
            void* data = nullptr;
            const VstInt32 size = synth->getChunk(&data, preset);
            std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);
            EXPECT_EQ(synth->setChunk(saved.data(), (VstInt32)saved.size(), preset), 1);
            if (i % 50 == 0) { // a damaged state changes nothing
                saved.resize(saved.size() / 2);
                EXPECT_EQ(synth->setChunk(saved.data(), (VstInt32)saved.size(), preset), 0);
            }
            ++restores;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    });

    automation.join();
    programs.join();
    state.join();
    audio.join();
    std::printf("%ld blocks, %ld parameter rounds, %ld program switches, %ld restores\n", blocks.load(),
                sets.load(), switches.load(), restores.load());
    EXPECT_TRUE(audioDone);
    EXPECT_EQ(nonFinite.load(), 0);
    EXPECT_GT(blocks.load(), 0);
    EXPECT_GT(sets.load(), 0);
    EXPECT_GT(switches.load(), 0);
    EXPECT_GT(restores.load(), 0);
    // The plug-in still plays after it all, once the programs the threads
    // scrambled are made again.
    synth->setProgram(0);
    fillPrograms(*synth);
    synth->setProgram(1);
    // The audio thread left notes on every voice: a host ends them first, and
    // their voices are free after a block.
    MidiList allOff, note;
    synth->processEvents(allOff.add(0xB0, 123, 0).get());
    render(*synth, 256);
    synth->processEvents(note.add(0x90, 60, 127).get());
    float peak = 0.f;
    for (int b = 0; b < 8; ++b)
        for (float v : render(*synth, 256).left)
            peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.f);
}

// What keeps racks alive under parameter calls: the freeing thread waits for
// readers that came before it, but not for the ones that came after.
TEST(HostThreads, ReadGateWaitsForEarlierReadersOnly)
{
    ReadGate gate;
    std::optional<ReadGate::Reader> early, late;
    early.emplace(gate);
    std::atomic<bool> waited{false};
    std::thread freeing([&] {
        gate.waitForEarlierReaders();
        waited = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(waited);
    late.emplace(gate);
    early.reset();
    // Give up after two seconds rather than hang.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!waited && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
    EXPECT_TRUE(waited) << "the late reader held the freeing thread";
    late.reset();
    freeing.join();
    gate.waitForEarlierReaders(); // nobody inside: returns at once
}
