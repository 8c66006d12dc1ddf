// Normalised parameter values to effect state and back. Every product is taken
// in double on the widened float, then truncated; the field keeps its low bits.
#include "BitwiseEffect.h"

#include <bit>
#include <cmath>

namespace zandrel {
namespace {

// The constants are the floats these bit patterns hold, not the decimal values.
constexpr double kOperationScale = static_cast<double>(std::bit_cast<float>(0x40A66666u));    // 5.2f
constexpr double kStreamScale = static_cast<double>(std::bit_cast<float>(0x4019999Au));       // 2.4f
constexpr double kBitCountReading = static_cast<double>(std::bit_cast<float>(0x3D80D1B7u));   // 0.0629f
constexpr double kOperationReading = static_cast<double>(std::bit_cast<float>(0x3E4CCCCDu));  // 0.2f
static_assert(kOperationScale == 5.19999980926513671875);
static_assert(kStreamScale == 2.400000095367431640625);
static_assert(kBitCountReading == 0.062899999320507049560546875);

// n ones from bit 0: 2^n - 1, and 0 for n of 0 or less.
std::uint16_t runFromRight(std::int8_t n) {
    std::uint16_t m = 0;
    for (int i = 0; i < n; ++i) m = static_cast<std::uint16_t>((std::uint32_t{m} << 1) | 1u);
    return m;
}

// n ones from bit 15, each step an arithmetic shift right that sets the top bit.
std::uint16_t runFromLeft(std::int8_t n) {
    std::uint16_t m = 0;
    for (int i = 0; i < n; ++i) m = static_cast<std::uint16_t>((asSigned(m) >> 1) | 0x8000);
    return m;
}

// The offset form: a positive pattern lands 2 higher, wrapping within 16 bits.
std::uint16_t offsetMask(float x) {
    const std::uint16_t t = low16(truncateToInt64((static_cast<double>(x) - 0.5) * 65536.0));
    return asSigned(t) > 0 ? static_cast<std::uint16_t>(t + 2u) : t;
}

}  // namespace

void BitwiseEffect::setParameter(std::int32_t index, float value) {
    // Outside 0.0..1.0 the interface promises nothing. For every parameter a NaN changes nothing and
    // any other value is clamped, so bitCount stays 0..16, operation 0..5 and streamMode 0..2.
    if (std::isnan(value)) return;
    const float x = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
    const double wide = static_cast<double>(x);
    switch (index) {
        case kParamBits: {
            const std::int8_t n = truncateToInt8(wide * 16.0);
            bitCount = n;
            if (streamMode == kStreamFromRight || operation > kOpOr)
                mask = asSigned(runFromRight(n));
            else if (streamMode == kStreamFromLeft)
                mask = asSigned(runFromLeft(n));
            else
                mask = asSigned(offsetMask(x));
            return;
        }
        case kParamDry: dry = x; return;
        case kParamWet: wet = x; return;
        case kParamOperator: operation = truncateToInt32(wide * kOperationScale); return;
        case kParamZeroCorrect: zeroCorrect = x > 0.5f ? 1 : 0; return;
        case kParamStream: streamMode = truncateToInt32(wide * kStreamScale); return;
        case kParamMaster: master = x; return;
        default: return;
    }
}

float BitwiseEffect::getParameter(std::int32_t index) {
    switch (index) {
        case kParamBits:
            if (streamMode != kStreamOff || operation > kOpOr)
                return static_cast<float>(static_cast<double>(bitCount.load()) * kBitCountReading);
            return static_cast<float>(static_cast<double>(mask.load()) * 0x1p-16 + 0.5);
        case kParamDry: return dry;
        case kParamWet: return wet;
        case kParamOperator: return static_cast<float>(static_cast<double>(operation.load()) * kOperationReading);
        case kParamZeroCorrect: return zeroCorrect != 0 ? 1.0f : 0.0f;
        case kParamStream: return static_cast<float>(static_cast<double>(streamMode.load()) * 0.5);
        case kParamMaster: return master;
        default: return 0.0f;
    }
}

}  // namespace zandrel
