// Values that cross threads. Parameter changes arrive on any thread while the audio
// thread reads the derived values; each single value is a relaxed atomic so a reader
// always sees a whole value, and the audio thread never waits.
#pragma once
#include <atomic>
#include <cmath>
#include <cstdint>

namespace kelvoran {

template <typename T>
struct Relaxed {
    std::atomic<T> v{};
    Relaxed() = default;
    Relaxed(T x) : v(x) {}
    Relaxed(const Relaxed& o) : v(o.load()) {}
    Relaxed& operator=(const Relaxed& o) { store(o.load()); return *this; }
    Relaxed& operator=(T x) { store(x); return *this; }
    operator T() const { return load(); }
    T load() const { return v.load(std::memory_order_relaxed); }
    void store(T x) { v.store(x, std::memory_order_relaxed); }
    Relaxed& operator+=(T x) { v.fetch_add(x, std::memory_order_relaxed); return *this; }
    Relaxed& operator++() { v.fetch_add(1, std::memory_order_relaxed); return *this; }
};

// Float to int without undefined behaviour: NaN gives 0, out-of-range values saturate.
inline int32_t toInt(float x) {
    if (!(x == x)) return 0;
    if (x >= 2147483520.0f) return 2147483647;
    if (x <= -2147483648.0f) return int32_t(-2147483647 - 1);
    return int32_t(x);
}

// A flag taken with try-acquire only on the audio thread; other threads may spin.
struct TryLock {
    std::atomic<bool> held{false};
    bool tryLock() { return !held.exchange(true, std::memory_order_acquire); }
    void lock();
    void unlock() { held.store(false, std::memory_order_release); }
};

}  // namespace kelvoran
