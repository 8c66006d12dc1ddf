// A field that one thread may write while another reads it. Relaxed order is
// enough: each kernel call takes one snapshot at its start, and no result
// within the host contract (calls never overlap) changes.
#pragma once

#include <atomic>

namespace zandrel {

template <class T>
class Relaxed {
public:
    static_assert(std::atomic<T>::is_always_lock_free, "the audio path must not lock");

    constexpr Relaxed(T initial = T{}) noexcept : value(initial) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    T load() const noexcept { return value.load(std::memory_order_relaxed); }
    void store(T v) noexcept { value.store(v, std::memory_order_relaxed); }
    operator T() const noexcept { return load(); }
    Relaxed& operator=(T v) noexcept {
        store(v);
        return *this;
    }

private:
    std::atomic<T> value;
};

}  // namespace zandrel
