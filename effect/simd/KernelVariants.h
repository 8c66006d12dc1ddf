// The channel kernels built for each x86 vector instruction set, and the choice
// among them from what the processor and the operating system support.
#pragma once

#include "Kernel.h"

#include <cstdint>

namespace zandrel {

enum class KernelIsa : std::uint8_t {
    kScalar,  // the per-sample loop of Kernel.h
    kSse2,
    kAvx2,    // with FMA
    kAvx512,  // F, DQ, BW and VL
};

// One store mode's kernel: it reads the operation and flags once, then runs the
// loop generated for them. Nothing is written for sampleFrames <= 0 or an
// unknown operation.
using ChannelKernel = void (*)(const float* input, float* output, std::int32_t sampleFrames,
                               const KernelSettings& settings);

struct ChannelKernels {
    ChannelKernel replace;
    ChannelKernel accumulate;
};

// Every variant gives the bits of Kernel.h's loop for every input.
extern const ChannelKernels kScalarKernels;
extern const ChannelKernels kSse2Kernels;
extern const ChannelKernels kAvx2Kernels;
extern const ChannelKernels kAvx512Kernels;

// True when this processor and its operating system can run the variant.
bool kernelIsaSupported(KernelIsa isa);
// The widest supported variant, from CPUID; cheap enough to ask per instance.
KernelIsa bestKernelIsa();
// The variant's kernels, whether or not supported: running an unsupported one
// faults on its first vector instruction.
const ChannelKernels& channelKernels(KernelIsa isa);
const char* kernelIsaName(KernelIsa isa);

}  // namespace zandrel
