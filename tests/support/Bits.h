// Float bit patterns, for building exact inputs and comparing exact outputs.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zandrel::test {

inline std::uint32_t bitsOf(float x) { return std::bit_cast<std::uint32_t>(x); }
inline float floatOf(std::uint32_t bits) { return std::bit_cast<float>(bits); }
inline std::uint64_t bitsOf(double x) { return std::bit_cast<std::uint64_t>(x); }

// "0x3F800000 (1)" in failure messages.
inline std::string describe(float x) {
    char text[64];
    std::snprintf(text, sizeof text, "0x%08X (%.9g)", static_cast<unsigned>(bitsOf(x)), static_cast<double>(x));
    return text;
}

}  // namespace zandrel::test
