// A buffer with guard zones on both sides, to show writes beyond a block.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace zandrel::test {

template <class T>
class GuardedBuffer {
public:
    static constexpr std::size_t kGuard = 16;

    GuardedBuffer(std::size_t size, T fill, T guard) : size_(size), guard_(guard), storage_(size + 2 * kGuard, guard) {
        std::fill_n(storage_.data() + kGuard, size, fill);
    }

    T* data() { return storage_.data() + kGuard; }
    const T* data() const { return storage_.data() + kGuard; }
    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) { return data()[i]; }

    // True while every guard element still holds its pattern, byte for byte.
    bool guardsIntact() const {
        for (std::size_t i = 0; i < kGuard; ++i) {
            if (std::memcmp(&storage_[i], &guard_, sizeof(T)) != 0) return false;
            if (std::memcmp(&storage_[kGuard + size_ + i], &guard_, sizeof(T)) != 0) return false;
        }
        return true;
    }

private:
    std::size_t size_;
    T guard_;
    std::vector<T> storage_;
};

}  // namespace zandrel::test
