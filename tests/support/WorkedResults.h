// Worked results of the replacing kernel, one sample each: the table every
// kernel, scalar or vector, must reproduce exactly.
#pragma once

#include "Kernel.h"

#include <array>

namespace zandrel::test {

struct WorkedResult {
    KernelSettings setting;
    float input;
    float output;
};

// Wet 1, dry 0, master 1: the output is v * 2^-15.
constexpr KernelSettings wetOnly(std::int32_t operation, std::uint16_t mask, std::int8_t bitCount = 0,
                                 bool gate = true) {
    return {operation, mask, bitCount, gate, 1.0f, 0.0f, 1.0f};
}

inline constexpr std::array<WorkedResult, 17> kWorkedResults{{
    {{kOpXor, 0, 0, true, 0.0f, 1.0f, 1.0f}, 0.3f, 0.3f},  // the constructed state passes the input
    {wetOnly(kOpXor, 0xFFFF), 1.0f, 32767.0f / 32768.0f},
    {wetOnly(kOpXor, 0xFFFF), 0.5f, -16385.0f / 32768.0f},
    {wetOnly(kOpXor, 0), 1.0f, -1.0f},
    {wetOnly(kOpXor, 0), 1.5f, -0.5f},
    {wetOnly(kOpAnd, 0x7FFF), -0.25f, 0.75f},
    {wetOnly(kOpOr, 0x8000), 0.25f, -0.75f},
    {wetOnly(kOpShiftRight, 0, 1), 0.5f, 0.25f},
    {wetOnly(kOpShiftRight, 0, 1), -0.5f, -0.25f},
    {wetOnly(kOpShiftRight, 0, 1), 1.0f, -0.5f},
    {wetOnly(kOpShiftLeft, 0, 1), 0.5f, -1.0f},
    {wetOnly(kOpRollLeft, 0, 1), -0.5f, -32767.0f / 32768.0f},
    {wetOnly(kOpRollLeft, 0, 4), 0.25f, 2.0f / 32768.0f},
    {wetOnly(kOpXor, 0xFFFF), -1.0e-5f, -1.0f / 32768.0f},  // not gated: s is 0
    {wetOnly(kOpOr, 0x8000, 0, false), 0.0f, -1.0f},        // gate off: the mask itself
    {wetOnly(kOpXor, 0xFFFF), 0.0f, 0.0f},                  // gated
    {wetOnly(kOpRollLeft, 0, 3), -0.0f, 0.0f},              // gated, written as +0.0
}};

}  // namespace zandrel::test
