#pragma once

#include <atomic>

// A float the audio thread reads while host threads write it: each access is
// one relaxed atomic load or store. Copies like a plain float.
class SharedFloat
{
public:
    SharedFloat(float v = 0.f) : value(v) {}
    SharedFloat(const SharedFloat& other) : value(other.load()) {}
    SharedFloat& operator=(const SharedFloat& other)
    {
        store(other.load());
        return *this;
    }
    SharedFloat& operator=(float v)
    {
        store(v);
        return *this;
    }
    operator float() const { return load(); }
    float load() const { return value.load(std::memory_order_relaxed); }
    void store(float v) { value.store(v, std::memory_order_relaxed); }

private:
    std::atomic<float> value;
};
