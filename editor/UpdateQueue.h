// A bounded queue that any number of threads push to without locks and one
// thread pops from, in the order the pushes completed their claim. Each
// cell carries a sequence number telling whose turn it is.
#pragma once

#include <atomic>

template <typename T, unsigned N>
class UpdateQueue
{
    static_assert(N >= 2 && (N & (N - 1)) == 0, "the size must be a power of two");

public:
    UpdateQueue()
    {
        for (unsigned i = 0; i < N; ++i)
            cells[i].sequence.store(i, std::memory_order_relaxed);
    }

    // False when the queue is full; the value is then dropped.
    bool push(const T& value)
    {
        unsigned position = tail.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells[position & (N - 1)];
            const unsigned sequence = cell.sequence.load(std::memory_order_acquire);
            const int difference = (int)(sequence - position);
            if (difference == 0) {
                if (tail.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
                    cell.value = value;
                    cell.sequence.store(position + 1, std::memory_order_release);
                    return true;
                }
            } else if (difference < 0) {
                return false;
            } else {
                position = tail.load(std::memory_order_relaxed);
            }
        }
    }

    // The consuming thread only.
    bool pop(T& value)
    {
        Cell& cell = cells[head & (N - 1)];
        const unsigned sequence = cell.sequence.load(std::memory_order_acquire);
        if ((int)(sequence - (head + 1)) < 0)
            return false;
        value = cell.value;
        cell.sequence.store(head + N, std::memory_order_release);
        ++head;
        return true;
    }

private:
    struct Cell
    {
        std::atomic<unsigned> sequence;
        T value;
    };
    Cell cells[N];
    std::atomic<unsigned> tail{0};
    unsigned head = 0;
};
