// The per-sample steps of the bitwise kernel as small pure functions, and the
// block loop generated from them for each operation and store mode.
#pragma once

#include "Parameters.h"
#include "Truncate.h"

#include <array>
#include <cstdint>

namespace zandrel {

// 2^n - 1 and its complement, for a bit count n of 0..16.
inline constexpr std::array<std::uint16_t, 17> lowBitMask = [] {
    std::array<std::uint16_t, 17> table{};
    for (unsigned n = 0; n <= 16; ++n) table[n] = static_cast<std::uint16_t>((1u << n) - 1u);
    return table;
}();
inline constexpr std::array<std::uint16_t, 17> highBitMask = [] {
    std::array<std::uint16_t, 17> table{};
    for (unsigned n = 0; n <= 16; ++n) table[n] = static_cast<std::uint16_t>(0xFFFFu << n);
    return table;
}();

// What one kernel call reads of the effect's state, taken once at its start.
struct KernelSettings {
    std::int32_t operation;
    std::uint16_t mask;
    std::int8_t bitCount;
    bool zeroCorrect;
    float wet;
    float dry;
    float master;
};

// True for +0.0, -0.0 and every NaN: the samples the zero gate keeps silent.
constexpr bool gated(float x) { return !(x < 0.0f || x > 0.0f); }

// x * 2^15 truncated toward zero; the low 16 bits, two's complement.
constexpr std::uint16_t sampleBits(float x) { return low16(truncateToInt64(static_cast<double>(x) * 32768.0)); }

template <Operation Op>
constexpr std::uint16_t applyOperation(std::uint16_t u, std::uint16_t mask, std::int8_t bitCount) {
    // The distance is the low five bits of the count, as in a 32-bit shift.
    const unsigned distance = static_cast<std::uint8_t>(bitCount) & 31u;
    if constexpr (Op == kOpXor) return u ^ mask;
    if constexpr (Op == kOpAnd) return u & mask;
    if constexpr (Op == kOpOr) return u | mask;
    if constexpr (Op == kOpShiftLeft) return static_cast<std::uint16_t>(std::uint32_t{u} << distance);
    if constexpr (Op == kOpShiftRight) return static_cast<std::uint16_t>(std::int32_t{asSigned(u)} >> distance);
    if constexpr (Op == kOpRollLeft) {
        // Counts outside the tables' 0..16 rotate by the count modulo 16.
        const unsigned n = (bitCount >= 0 && bitCount <= 16) ? static_cast<unsigned>(bitCount)
                                                             : static_cast<std::uint8_t>(bitCount) & 15u;
        const unsigned low = (std::uint32_t{u} >> (16u - n)) & lowBitMask[n];
        const unsigned high = (std::uint32_t{u} << n) & highBitMask[n];
        return static_cast<std::uint16_t>(low + high);
    }
}

// ((v * 2^-15) * wet + dry * x) * master, in double, in this order.
constexpr double mix(std::uint16_t v, float x, const KernelSettings& s) {
    const double wetPath = static_cast<double>(asSigned(v)) * 0x1p-15 * static_cast<double>(s.wet);
    return (wetPath + static_cast<double>(s.dry) * static_cast<double>(x)) * static_cast<double>(s.master);
}

enum class Store { kReplace, kAccumulate };

template <Operation Op, Store Mode>
void runKernel(const float* input, float* output, std::int32_t sampleFrames, const KernelSettings& s) {
    for (std::int32_t i = 0; i < sampleFrames; ++i) {
        // Read the input before writing: input and output may be one buffer.
        const float x = input[i];
        if (s.zeroCorrect && gated(x)) {
            if constexpr (Mode == Store::kReplace) output[i] = 0.0f;
            continue;
        }
        const double y = mix(applyOperation<Op>(sampleBits(x), s.mask, s.bitCount), x, s);
        if constexpr (Mode == Store::kReplace)
            output[i] = static_cast<float>(y);
        else
            output[i] = static_cast<float>(y + static_cast<double>(output[i]));
    }
}

// The operation is chosen once per call; an unknown one writes nothing.
template <Store Mode>
void runChannel(const float* input, float* output, std::int32_t sampleFrames, const KernelSettings& s) {
    switch (s.operation) {
        case kOpXor: return runKernel<kOpXor, Mode>(input, output, sampleFrames, s);
        case kOpAnd: return runKernel<kOpAnd, Mode>(input, output, sampleFrames, s);
        case kOpOr: return runKernel<kOpOr, Mode>(input, output, sampleFrames, s);
        case kOpShiftLeft: return runKernel<kOpShiftLeft, Mode>(input, output, sampleFrames, s);
        case kOpShiftRight: return runKernel<kOpShiftRight, Mode>(input, output, sampleFrames, s);
        case kOpRollLeft: return runKernel<kOpRollLeft, Mode>(input, output, sampleFrames, s);
        default: return;
    }
}

}  // namespace zandrel
