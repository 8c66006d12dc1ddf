// The five factory programs. An empty field is left as it was when the program
// is selected, so programs 2 to 4 sound as what was set before them allows.
#pragma once

#include "Parameters.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zandrel {

struct FactoryProgram {
    const char* name;
    std::int32_t operation;
    std::optional<std::uint16_t> mask;
    std::optional<std::int8_t> bitCount;
    std::optional<std::int32_t> streamMode;
    std::optional<std::uint8_t> zeroCorrect;
    float wet;
    float dry;
    float master;
};

inline constexpr std::nullopt_t kKeep = std::nullopt;

// clang-format off
inline constexpr std::array<FactoryProgram, kNumPrograms> kFactoryPrograms{{
    //  name             operation       mask    bits   stream  gate   wet   dry   master
    {"Zandrel",       kOpXor,        0x0000, kKeep, 0,     1,     0.0f, 1.0f, 1.0f},
    {"Inverter",      kOpXor,        0xFFFF, kKeep, 0,     1,     1.0f, 0.0f, 1.0f},
    {"+ve Rectifier", kOpAnd,        0x7FFF, kKeep, kKeep, kKeep, 1.0f, 0.0f, 1.0f},
    {"-ve Rectifier", kOpOr,         0x8000, kKeep, 0,     kKeep, 1.0f, 0.0f, 1.0f},
    {"-6 dB",         kOpShiftRight, kKeep,  1,     kKeep, kKeep, 1.0f, 0.0f, 1.0f},
}};
// clang-format on

}  // namespace zandrel
