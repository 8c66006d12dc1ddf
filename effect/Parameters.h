// Parameter indices, operations and stream modes of the bitwise effect.
#pragma once

#include <cstdint>

namespace zandrel {

enum ParamIndex : std::int32_t {
    kParamBits = 0,     // bit count, and the mask it builds
    kParamDry,          // gain of the untouched input
    kParamWet,          // gain of the bitwise path
    kParamOperator,     // one of the operations below
    kParamZeroCorrect,  // zero gate on or off
    kParamStream,       // how kParamBits builds the mask
    kParamMaster,       // output gain
    kNumParams
};

enum Operation : std::int32_t {
    kOpXor = 0,
    kOpAnd,
    kOpOr,
    kOpShiftLeft,
    kOpShiftRight,  // arithmetic: copies of the sign bit enter from the left
    kOpRollLeft,    // rotation within 16 bits
    kNumOperations
};

enum StreamMode : std::int32_t {
    kStreamOff = 0,    // the mask follows the parameter value directly
    kStreamFromLeft,   // a run of ones from the most significant bit
    kStreamFromRight,  // a run of ones from the least significant bit
    kNumStreamModes
};

inline constexpr std::int32_t kNumPrograms = 5;

}  // namespace zandrel
