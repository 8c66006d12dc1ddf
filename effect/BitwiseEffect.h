// The bitwise distortion: each sample becomes a 16-bit integer, one bit
// operation is applied, and the result is mixed with the dry input.
#pragma once

#include "Kernel.h"
#include "Parameters.h"
#include "PluginEffectEx.h"
#include "Relaxed.h"
#include "simd/KernelVariants.h"

#include <cstdint>

namespace zandrel {

class BitwiseEffect : public PluginEffectEx {
public:
    explicit BitwiseEffect(audioMasterCallback host);
    ~BitwiseEffect() override = default;

    // Values outside 0.0..1.0 are clamped into it; a NaN changes nothing.
    void setParameter(std::int32_t index, float value) override;
    float getParameter(std::int32_t index) override;
    void process(float** inputs, float** outputs, std::int32_t sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, std::int32_t sampleFrames) override;
    std::int32_t getProgram() override;
    // Records any number; loads factory programs 0..4 only.
    void setProgram(std::int32_t program) override;
    // Keeps the first 31 characters of a longer name.
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(std::int32_t index, char* label) override;
    void getParameterDisplay(std::int32_t index, char* text) override;
    void getParameterName(std::int32_t index, char* text) override;

    // One channel, written over the output / added to it.
    virtual void replaceChannel(const float* input, float* output, std::int32_t sampleFrames);
    virtual void accumulateChannel(const float* input, float* output, std::int32_t sampleFrames);

protected:
    KernelSettings snapshot() const;

    Relaxed<float> master;
    Relaxed<std::int16_t> mask;
    Relaxed<float> wet;
    Relaxed<float> dry;
    Relaxed<std::int32_t> operation;
    Relaxed<std::uint8_t> zeroCorrect;
    Relaxed<std::int32_t> streamMode;
    // 0 until parameter 0 or program 4 sets it: shifts and rotation pass samples through.
    Relaxed<std::int8_t> bitCount{0};
    char programName[kVstMaxProgNameLen];

private:
    // The widest variant this processor runs, chosen once at construction.
    const ChannelKernels* kernels;
};

}  // namespace zandrel
