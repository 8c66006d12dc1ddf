// The once-per-call choice of a vector variant's loop. Each variant file
// instantiates this with a type of its own (internal linkage), so no function
// compiled for one instruction set is shared with another.
#pragma once

#include "Kernel.h"

#include <cstddef>
#include <cstdint>

namespace zandrel::simd {

// Loops::run<Op, Mode, Gate, UnityMaster>(input, output, frames, settings)
// handles frames > 0; a master gain of exactly 1.0 may skip its multiply, which
// changes no bit, not even a NaN's.
template <class Loops, Operation Op, Store Mode>
void runWithFlags(const float* input, float* output, std::int32_t frames, const KernelSettings& s) {
    const bool unity = s.master == 1.0f;
    if (s.zeroCorrect) {
        if (unity) return Loops::template run<Op, Mode, true, true>(input, output, frames, s);
        return Loops::template run<Op, Mode, true, false>(input, output, frames, s);
    }
    if (unity) return Loops::template run<Op, Mode, false, true>(input, output, frames, s);
    return Loops::template run<Op, Mode, false, false>(input, output, frames, s);
}

template <class Loops, Store Mode>
void runSelected(const float* input, float* output, std::int32_t frames, const KernelSettings& s) {
    if (frames <= 0) return;
    switch (s.operation) {
        case kOpXor: return runWithFlags<Loops, kOpXor, Mode>(input, output, frames, s);
        case kOpAnd: return runWithFlags<Loops, kOpAnd, Mode>(input, output, frames, s);
        case kOpOr: return runWithFlags<Loops, kOpOr, Mode>(input, output, frames, s);
        case kOpShiftLeft: return runWithFlags<Loops, kOpShiftLeft, Mode>(input, output, frames, s);
        case kOpShiftRight: return runWithFlags<Loops, kOpShiftRight, Mode>(input, output, frames, s);
        case kOpRollLeft: return runWithFlags<Loops, kOpRollLeft, Mode>(input, output, frames, s);
        default: return;
    }
}

// Internal linkage: each variant file keeps its own copy, compiled for its own
// instruction set.
namespace {

// The distance of the shifts, and the rotation count (modulo 16 outside
// 0..16), as Kernel.h's applyOperation reads bitCount.
constexpr int shiftDistance(std::int8_t bitCount) { return static_cast<std::uint8_t>(bitCount) & 31; }
constexpr int rotation(std::int8_t bitCount) {
    return (bitCount >= 0 && bitCount <= 16) ? bitCount : static_cast<std::uint8_t>(bitCount) & 15;
}

}  // namespace

// Copies a block shorter than one vector into zero-padded stack buffers, runs
// one full step on them, and copies the results back: the tail reads and writes
// exactly its own samples, and in-place blocks stay correct.
template <std::size_t Width, class Step>
void runTail(const float* input, float* output, std::int32_t frames, Step step) {
    const auto count = static_cast<std::size_t>(frames);
    float in[Width] = {};
    float out[Width] = {};
    for (std::size_t i = 0; i < count; ++i) {
        in[i] = input[i];
        out[i] = output[i];
    }
    step(in, out);
    for (std::size_t i = 0; i < count; ++i) output[i] = out[i];
}

}  // namespace zandrel::simd
