// The sample processor as the algorithm states it, one sample at a time. It
// reads the sample integer off the float's fields and does the bit operations
// one bit at a time, so it shares no step with the kernels it checks.
#pragma once

#include "Bits.h"
#include "Kernel.h"

#include <cmath>
#include <cstdint>

namespace zandrel::test {

// The low 16 bits of x * 2^15 truncated toward zero (0 for infinities and NaNs).
inline std::uint16_t referenceSampleBits(float x) {
    const std::uint32_t bits = bitsOf(x);
    const int field = static_cast<int>((bits >> 23) & 0xFFu);
    if (field == 0xFF) return 0;
    const std::uint64_t significand = (bits & 0x7FFFFFu) | (field == 0 ? 0u : 0x800000u);
    // |x| * 2^15 = significand * 2^power; subnormals share the exponent of field 1.
    const int power = (field == 0 ? 1 : field) - 150 + 15;
    std::uint64_t truncated = 0;
    if (power >= 16)
        truncated = 0;  // a multiple of 2^16
    else if (power >= 0)
        truncated = significand << power;
    else if (power > -64)
        truncated = significand >> -power;
    const auto low = static_cast<std::uint16_t>(truncated & 0xFFFFu);
    return (bits >> 31) != 0 ? static_cast<std::uint16_t>(0x10000u - low) : low;
}

inline std::uint16_t referenceOperation(std::uint16_t u, const KernelSettings& s) {
    const unsigned distance = static_cast<std::uint8_t>(s.bitCount) % 32u;
    switch (s.operation) {
        case kOpXor: return static_cast<std::uint16_t>(u ^ s.mask);
        case kOpAnd: return static_cast<std::uint16_t>(u & s.mask);
        case kOpOr: return static_cast<std::uint16_t>(u | s.mask);
        case kOpShiftLeft:
            return static_cast<std::uint16_t>((std::uint64_t{u} * (std::uint64_t{1} << distance)) % 65536u);
        case kOpShiftRight: {
            // Halving toward minus infinity, once per step.
            int value = u >= 0x8000u ? static_cast<int>(u) - 65536 : static_cast<int>(u);
            for (unsigned i = 0; i < distance; ++i) value = (value - (value & 1)) / 2;
            return static_cast<std::uint16_t>(value & 0xFFFF);
        }
        case kOpRollLeft: {
            // Counts outside 0..16 rotate by the count modulo 16 (the implementer's choice).
            const int steps =
                (s.bitCount >= 0 && s.bitCount <= 16) ? s.bitCount : static_cast<std::uint8_t>(s.bitCount) % 16;
            std::uint32_t r = u;
            for (int i = 0; i < steps; ++i) r = ((r << 1) | (r >> 15)) & 0xFFFFu;
            return static_cast<std::uint16_t>(r);
        }
        default: return u;
    }
}

struct ReferenceSample {
    float value;
    // Two NaNs met in the accumulating addition: which payload survives is not
    // defined by the language, so any NaN is right.
    bool anyNaN;
};

// What the kernel leaves in an output sample that held `old`.
inline ReferenceSample referenceSample(float x, float old, Store mode, const KernelSettings& s) {
    const bool silent = std::fpclassify(x) == FP_ZERO || std::isnan(x);
    if (s.zeroCorrect && silent) return {mode == Store::kReplace ? 0.0f : old, false};
    const std::uint16_t v = referenceOperation(referenceSampleBits(x), s);
    const double signedV = v >= 0x8000u ? static_cast<double>(v) - 65536.0 : static_cast<double>(v);
    const double wetPath = signedV / 32768.0 * static_cast<double>(s.wet);
    const double dryPath = static_cast<double>(s.dry) * static_cast<double>(x);
    const double y = (wetPath + dryPath) * static_cast<double>(s.master);
    if (mode == Store::kReplace) return {static_cast<float>(y), false};
    return {static_cast<float>(y + static_cast<double>(old)), std::isnan(y) && std::isnan(old)};
}

// The whole block, writing each output only after reading its input.
inline void referenceKernel(const float* input, float* output, std::int32_t frames, Store mode,
                            const KernelSettings& s) {
    if (s.operation < kOpXor || s.operation > kOpRollLeft) return;
    for (std::int32_t i = 0; i < frames; ++i) output[i] = referenceSample(input[i], output[i], mode, s).value;
}

}  // namespace zandrel::test
