// A BitwiseEffect whose state a test can read: every field of the effect and
// of its bases, without changing any of them.
#pragma once

#include "Bits.h"
#include "BitwiseEffect.h"

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

namespace zandrel::test {

// The effect's own fields and the program number, compared bit for bit so that
// -0.0 differs from +0.0 and a NaN equals itself.
struct EffectState {
    float master;
    std::int16_t mask;
    float wet;
    float dry;
    std::int32_t operation;
    std::uint8_t zeroCorrect;
    std::int32_t streamMode;
    std::int8_t bitCount;
    std::string programName;
    std::int32_t curProgram;

    friend bool operator==(const EffectState& a, const EffectState& b) {
        return bitsOf(a.master) == bitsOf(b.master) && a.mask == b.mask && bitsOf(a.wet) == bitsOf(b.wet) &&
               bitsOf(a.dry) == bitsOf(b.dry) && a.operation == b.operation && a.zeroCorrect == b.zeroCorrect &&
               a.streamMode == b.streamMode && a.bitCount == b.bitCount && a.programName == b.programName &&
               a.curProgram == b.curProgram;
    }

    // What gtest prints when a comparison fails.
    friend void PrintTo(const EffectState& s, std::ostream* os) {
        *os << "{master " << describe(s.master) << ", mask 0x" << std::hex
            << static_cast<unsigned>(static_cast<std::uint16_t>(s.mask)) << std::dec << ", wet " << describe(s.wet)
            << ", dry " << describe(s.dry) << ", operation " << s.operation << ", zeroCorrect "
            << unsigned{s.zeroCorrect} << ", streamMode " << s.streamMode << ", bitCount " << int{s.bitCount}
            << ", programName \"" << s.programName << "\", curProgram " << s.curProgram << "}";
    }
};

class EffectProbe : public BitwiseEffect {
public:
    explicit EffectProbe(audioMasterCallback host = nullptr) : BitwiseEffect(host) {}

    EffectState state() const {
        return {master, mask, wet, dry, operation, zeroCorrect, streamMode, bitCount, storedProgramName(), curProgram};
    }

    float masterGain() const { return master; }
    std::int16_t maskBits() const { return mask; }
    // The mask's 16-bit pattern, for comparing with hex literals.
    std::uint16_t maskPattern() const { return static_cast<std::uint16_t>(mask.load()); }
    float wetGain() const { return wet; }
    float dryGain() const { return dry; }
    std::int32_t operationValue() const { return operation; }
    std::uint8_t zeroCorrectFlag() const { return zeroCorrect; }
    std::int32_t streamModeValue() const { return streamMode; }
    std::int8_t bitCountValue() const { return bitCount; }
    // Up to the terminator, or all 32 bytes should it be missing.
    std::string storedProgramName() const { return std::string(programName, strnlen(programName, sizeof programName)); }
    const char* programNameBytes() const { return programName; }
    std::int32_t currentProgram() const { return curProgram; }
    KernelSettings kernelSettings() const { return snapshot(); }

    float sampleRateValue() const { return sampleRate; }
    std::int32_t blockSizeValue() const { return blockSize; }
    std::int32_t programCount() const { return numPrograms; }
    std::int32_t parameterCount() const { return numParams; }
    const PluginEditor* editorObject() const { return editor; }
    audioMasterCallback hostCallback() const { return audioMaster; }
    const AEffect& record() const { return descriptor; }
};

}  // namespace zandrel::test
