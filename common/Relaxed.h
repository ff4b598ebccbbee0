// A value written on one thread and read on another where only the value
// matters, never an ordering: parameter values, derived engine coefficients,
// the rotor positions the editor draws. Loads and stores are relaxed atomics,
// which compile to plain moves on the targets we build for.
#pragma once

#include <atomic>

template <typename T>
class Relaxed {
public:
    Relaxed(T initial = T()) : value(initial) {}
    Relaxed(const Relaxed& other) : value(other.load()) {}
    Relaxed& operator=(const Relaxed& other) {
        store(other.load());
        return *this;
    }
    Relaxed& operator=(T newValue) {
        store(newValue);
        return *this;
    }
    operator T() const { return load(); }
    T load() const { return value.load(std::memory_order_relaxed); }
    void store(T newValue) { value.store(newValue, std::memory_order_relaxed); }

private:
    std::atomic<T> value;
};
