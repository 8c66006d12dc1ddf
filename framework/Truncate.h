// The one float-to-integer conversion of the system: truncation toward zero to
// a 64-bit integer, whose low 8, 16 or 32 bits form the result.
#pragma once

#include <cstdint>

namespace zandrel {

// A NaN, an infinity or a magnitude beyond the 64-bit range gives INT64_MIN,
// the value x86's truncating conversion produces; its low 32 bits are all zero.
// Every other value converts exactly, without the undefined cast of C++.
constexpr std::int64_t truncateToInt64(double x) {
    if (x >= -0x1p63 && x < 0x1p63) return static_cast<std::int64_t>(x);
    return INT64_MIN;
}

constexpr std::uint32_t low32(std::int64_t v) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)); }
constexpr std::uint16_t low16(std::int64_t v) { return static_cast<std::uint16_t>(static_cast<std::uint64_t>(v)); }
constexpr std::uint8_t low8(std::int64_t v) { return static_cast<std::uint8_t>(static_cast<std::uint64_t>(v)); }

// Two's-complement reinterpretation, defined for every pattern.
constexpr std::int32_t asSigned(std::uint32_t u) { return static_cast<std::int32_t>(u); }
constexpr std::int16_t asSigned(std::uint16_t u) { return static_cast<std::int16_t>(u); }
constexpr std::int8_t asSigned(std::uint8_t u) { return static_cast<std::int8_t>(u); }

constexpr std::int32_t truncateToInt32(double x) { return asSigned(low32(truncateToInt64(x))); }
constexpr std::int16_t truncateToInt16(double x) { return asSigned(low16(truncateToInt64(x))); }
constexpr std::int8_t truncateToInt8(double x) { return asSigned(low8(truncateToInt64(x))); }

}  // namespace zandrel
