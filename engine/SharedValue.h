#pragma once

#include <atomic>

// A value the audio thread reads while host threads write it: each access is
// one relaxed atomic load or store, so a reader sees either the old or the
// new value, never a torn one. Copies and assigns like the plain type.
template <typename T>
class SharedValue
{
public:
    SharedValue(T v = T()) : value(v) {}
    SharedValue(const SharedValue& other) : value(other.load()) {}
    SharedValue& operator=(const SharedValue& other)
    {
        store(other.load());
        return *this;
    }
    SharedValue& operator=(T v)
    {
        store(v);
        return *this;
    }
    operator T() const { return load(); }
    T load() const { return value.load(std::memory_order_relaxed); }
    void store(T v) { value.store(v, std::memory_order_relaxed); }

private:
    std::atomic<T> value;
};

using SharedFloat = SharedValue<float>;
using SharedDouble = SharedValue<double>;
using SharedInt = SharedValue<int>;
using SharedBool = SharedValue<bool>;
