// Lets threads read the racks without a lock while a host thread replaces
// and frees them. The freeing thread first unpublishes what it frees, then
// waits until every reader that may have seen it has left. Readers that
// arrive later see the new objects and are not waited for, so a steady
// stream of readers never holds the freeing thread up for long.
#pragma once

#include <atomic>
#include <thread>

class ReadGate
{
public:
    class Reader
    {
    public:
        explicit Reader(ReadGate& gate) : gate(gate)
        {
            for (;;) {
                phase = gate.phase.load();
                gate.readers[phase & 1].fetch_add(1);
                // Entered under the phase it counted in; otherwise count again.
                if (gate.phase.load() == phase)
                    return;
                gate.readers[phase & 1].fetch_sub(1);
            }
        }
        ~Reader() { gate.readers[phase & 1].fetch_sub(1); }
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;

    private:
        ReadGate& gate;
        unsigned phase;
    };

    // One thread at a time, never from inside a Reader.
    void waitForEarlierReaders()
    {
        const unsigned previous = phase.fetch_add(1);
        while (readers[previous & 1].load() != 0)
            std::this_thread::yield();
    }

private:
    std::atomic<unsigned> phase{0};
    std::atomic<int> readers[2] = {};
};
