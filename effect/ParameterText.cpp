// Name, value text and unit of each parameter for the host's generic list.
// Leading and trailing spaces are part of every text.
#include "BitwiseEffect.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace zandrel {
namespace {

// Index 0 has no fixed name: it follows the operation.
constexpr auto kNames =
    std::to_array<const char*>({nullptr, "  Dry Mix", "  Wet Mix", " Operator", " 0-Correct", " 1-Stream", "  Master"});
constexpr auto kLabels = std::to_array<const char*>({"", "   dB", "   dB", "", "", "", "   dB"});
constexpr auto kOperationTexts =
    std::to_array<const char*>({"      XOR", "      AND", "      OR", "  Shift Left", "  Shift Right", "  Roll Left"});
constexpr auto kStreamTexts = std::to_array<const char*>({"      Off", "  From Left", "  From Right"});
constexpr bool sized(std::size_t size, std::int32_t count) { return size == static_cast<std::size_t>(count); }
static_assert(sized(kNames.size(), kNumParams) && sized(kLabels.size(), kNumParams));
static_assert(sized(kOperationTexts.size(), kNumOperations) && sized(kStreamTexts.size(), kNumStreamModes));

template <std::size_t N>
const char* lookup(const std::array<const char*, N>& table, std::int32_t i) {
    return (i >= 0 && static_cast<std::size_t>(i) < N) ? table[static_cast<std::size_t>(i)] : nullptr;
}

void copyText(char* text, const char* source) { std::memcpy(text, source, std::strlen(source) + 1); }

}  // namespace

void BitwiseEffect::getParameterName(std::int32_t index, char* text) {
    if (index == kParamBits) {
        std::sprintf(text, "%s", operation > kOpOr ? " Distance" : " Bitstream");
        return;
    }
    if (const char* name = lookup(kNames, index)) copyText(text, name);
}

void BitwiseEffect::getParameterDisplay(std::int32_t index, char* text) {
    switch (index) {
        case kParamBits:
            // The mask as its 16-bit pattern; the bit count as a signed number.
            if (operation > kOpOr)
                std::sprintf(text, "      %d", static_cast<int>(bitCount.load()));
            else
                std::sprintf(text, "   %4X", static_cast<unsigned>(static_cast<std::uint16_t>(mask.load())));
            return;
        case kParamDry: return dB2string(dry, text);
        case kParamWet: return dB2string(wet, text);
        case kParamOperator:
            if (const char* op = lookup(kOperationTexts, operation)) copyText(text, op);
            return;
        case kParamZeroCorrect: std::sprintf(text, "      %s", zeroCorrect != 0 ? "On" : "Off"); return;
        case kParamStream:
            if (const char* mode = lookup(kStreamTexts, streamMode)) copyText(text, mode);
            return;
        case kParamMaster: return dB2string(master, text);
        default: return;
    }
}

void BitwiseEffect::getParameterLabel(std::int32_t index, char* label) {
    const char* unit = lookup(kLabels, index);
    copyText(label, unit ? unit : "");
}

}  // namespace zandrel
