// All 2^32 float patterns through every kernel variant this processor runs,
// one setting per operation, against the reference kernel. It takes minutes,
// so it is built on request (target kernel_exhaustive) and not run by ctest.
// Exits 1 on the first block with a difference.
#include "ReferenceKernel.h"
#include "simd/KernelVariants.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace zandrel;

int main() {
    constexpr std::uint32_t kBlock = 1u << 16;
    const KernelIsa variants[] = {KernelIsa::kScalar, KernelIsa::kSse2, KernelIsa::kAvx2, KernelIsa::kAvx512};
    std::vector<float> input(kBlock), expected(kBlock), actual(kBlock);
    const auto start = std::chrono::steady_clock::now();
    for (std::int32_t op = kOpXor; op <= kOpRollLeft; ++op) {
        // The gate is off so that zeros and NaNs go through the mix; odd
        // operations have a unity master gain, which skips its multiply.
        const KernelSettings s{op, 0xA5C3, 5, false, 0.75f, 0.5f, op % 2 ? 1.0f : 0.9f};
        for (std::uint64_t first = 0; first < (std::uint64_t{1} << 32); first += kBlock) {
            for (std::uint32_t i = 0; i < kBlock; ++i) {
                const auto bits = static_cast<std::uint32_t>(first + i);
                std::memcpy(&input[i], &bits, sizeof bits);
            }
            test::referenceKernel(input.data(), expected.data(), kBlock, Store::kReplace, s);
            for (KernelIsa isa : variants) {
                if (!kernelIsaSupported(isa)) continue;
                channelKernels(isa).replace(input.data(), actual.data(), kBlock, s);
                if (std::memcmp(actual.data(), expected.data(), kBlock * sizeof(float)) == 0) continue;
                for (std::uint32_t i = 0; i < kBlock; ++i)
                    if (std::memcmp(&actual[i], &expected[i], sizeof(float)) != 0) {
                        std::printf("%s, operation %d: input %s gives %s, the reference %s\n", kernelIsaName(isa),
                                    static_cast<int>(op), test::describe(input[i]).c_str(),
                                    test::describe(actual[i]).c_str(), test::describe(expected[i]).c_str());
                        return 1;
                    }
            }
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        std::printf("operation %d: all 2^32 inputs agree (%.0f s so far)\n", static_cast<int>(op), elapsed.count());
        std::fflush(stdout);
    }
    for (KernelIsa isa : variants)
        std::printf("%s: %s\n", kernelIsaName(isa), kernelIsaSupported(isa) ? "checked" : "not supported here");
    return 0;
}
