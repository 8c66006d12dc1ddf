#include "BitwiseEffect.h"

#include <cstring>

namespace zandrel {

BitwiseEffect::BitwiseEffect(audioMasterCallback host)
    : PluginEffectEx(host, kNumPrograms, kNumParams),
      master(1.0f),
      mask(0),
      wet(0.0f),
      dry(1.0f),
      operation(kOpXor),
      zeroCorrect(1),
      streamMode(kStreamOff),
      kernels(&channelKernels(bestKernelIsa())) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(fourCharCode('Q', 'R', '5', '8'));
    setCanMono(true);
    setCanReplacing(true);
    std::strcpy(programName, "Zandrel");
}

KernelSettings BitwiseEffect::snapshot() const {
    return {operation.load(), static_cast<std::uint16_t>(mask.load()),
            bitCount.load(),  zeroCorrect.load() != 0,
            wet.load(),       dry.load(),
            master.load()};
}

void BitwiseEffect::process(float** inputs, float** outputs, std::int32_t sampleFrames) {
    accumulateChannel(inputs[0], outputs[0], sampleFrames);
    accumulateChannel(inputs[1], outputs[1], sampleFrames);
}

void BitwiseEffect::processReplacing(float** inputs, float** outputs, std::int32_t sampleFrames) {
    replaceChannel(inputs[0], outputs[0], sampleFrames);
    replaceChannel(inputs[1], outputs[1], sampleFrames);
}

void BitwiseEffect::replaceChannel(const float* input, float* output, std::int32_t sampleFrames) {
    kernels->replace(input, output, sampleFrames, snapshot());
}

void BitwiseEffect::accumulateChannel(const float* input, float* output, std::int32_t sampleFrames) {
    kernels->accumulate(input, output, sampleFrames, snapshot());
}

}  // namespace zandrel
