// Which kernel variants this processor can run: CPUID for the instructions,
// and XCR0 for whether the operating system saves the wider registers.
#include "KernelVariants.h"

#include <cpuid.h>
#include <immintrin.h>

#include <cstdint>

namespace zandrel {
namespace {

// The register states the operating system saves across context switches.
[[gnu::target("xsave")]] std::uint64_t savedRegisterStates() { return static_cast<std::uint64_t>(_xgetbv(0)); }

constexpr std::uint64_t kSseAndAvxStates = 0x06;  // XMM, upper YMM
constexpr std::uint64_t kAvx512States = 0xE6;     // and opmask, upper ZMM 0-15, ZMM 16-31

struct Support {
    bool sse2 = false;
    bool avx2 = false;
    bool avx512 = false;
};

Support detectSupport() {
    Support support;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return support;
    support.sse2 = (d & bit_SSE2) != 0;
    const bool fma = (c & bit_FMA) != 0;
    // Without OSXSAVE, xgetbv itself is undefined.
    if ((c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0) return support;
    const std::uint64_t states = savedRegisterStates();
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return support;
    support.avx2 = support.sse2 && fma && (b & bit_AVX2) != 0 && (states & kSseAndAvxStates) == kSseAndAvxStates;
    constexpr unsigned kAvx512Parts = bit_AVX512F | bit_AVX512DQ | bit_AVX512BW | bit_AVX512VL;
    support.avx512 = support.avx2 && (b & kAvx512Parts) == kAvx512Parts && (states & kAvx512States) == kAvx512States;
    return support;
}

}  // namespace

const ChannelKernels kScalarKernels{&runChannel<Store::kReplace>, &runChannel<Store::kAccumulate>};

bool kernelIsaSupported(KernelIsa isa) {
    const Support support = detectSupport();
    switch (isa) {
        case KernelIsa::kScalar: return true;
        case KernelIsa::kSse2: return support.sse2;
        case KernelIsa::kAvx2: return support.avx2;
        case KernelIsa::kAvx512: return support.avx512;
    }
    return false;
}

KernelIsa bestKernelIsa() {
    const Support support = detectSupport();
    if (support.avx512) return KernelIsa::kAvx512;
    if (support.avx2) return KernelIsa::kAvx2;
    if (support.sse2) return KernelIsa::kSse2;
    return KernelIsa::kScalar;
}

const ChannelKernels& channelKernels(KernelIsa isa) {
    switch (isa) {
        case KernelIsa::kScalar: return kScalarKernels;
        case KernelIsa::kSse2: return kSse2Kernels;
        case KernelIsa::kAvx2: return kAvx2Kernels;
        case KernelIsa::kAvx512: return kAvx512Kernels;
    }
    return kScalarKernels;
}

const char* kernelIsaName(KernelIsa isa) {
    switch (isa) {
        case KernelIsa::kScalar: return "scalar";
        case KernelIsa::kSse2: return "sse2";
        case KernelIsa::kAvx2: return "avx2";
        case KernelIsa::kAvx512: return "avx512";
    }
    return "?";
}

}  // namespace zandrel
