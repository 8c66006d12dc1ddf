// Every kernel variant this processor runs against the reference kernel, bit
// for bit: each operation, bit count and mask class, gate, store mode, input
// class, block length and alignment.
#include "Bits.h"
#include "BitwiseEffect.h"
#include "GuardedBuffer.h"
#include "ReferenceKernel.h"
#include "TestPlugin.h"
#include "WorkedResults.h"
#include "simd/KernelVariants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace zandrel::test {
namespace {

// Inputs that exercise every branch of the conversion: zeros, subnormals, the
// 16-bit steps, the limits of the 32-bit and 64-bit conversions and of the
// exponent trick, infinities and NaNs with payloads; then random ones.
std::vector<float> inputPool(std::uint32_t seed) {
    std::vector<float> pool;
    for (std::uint32_t bits : {0x00000000u, 0x80000000u, 0x00000001u, 0x80000001u, 0x007FFFFFu, 0x807FFFFFu,
                               0x00800000u, 0x7F7FFFFFu, 0xFF7FFFFFu, 0x7F800000u, 0xFF800000u, 0x7FC00000u,
                               0xFFC00000u, 0x7FC12345u, 0x7F800001u, 0x7FA5A5A5u, 0xFF812345u})
        pool.push_back(floatOf(bits));
    for (float x : {1.0f,     0.5f,      1.5f,     2.0f,     3.0f,    0x1p-15f,    0x1p-16f,   1.0e-30f,
                    1.0e-5f,  32767.75f, 65535.5f, 0x1p16f,  0x1p17f, 0x1p23f,     0x1p24f,    0x1p25f,
                    0x1p31f,  0x1p39f,   0x1p40f,  0x1p41f,  0x1p47f, 0x1p62f,     0x1p63f,    0x1p64f,
                    0x1p112f, 0x1p113f,  0x1p114f, 0x1p127f, FLT_MAX, 16777215.0f, 8388607.5f, 131071.0f})
        for (float y : {x, std::nextafter(x, 0.0f), std::nextafter(x, INFINITY)}) {
            pool.push_back(y);
            pool.push_back(-y);
        }
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> audio(-1.25f, 1.25f);
    std::uniform_real_distribution<float> wide(0x1p16f, 0x1p24f);
    for (int i = 0; i < 256; ++i) {
        pool.push_back(floatOf(static_cast<std::uint32_t>(random())));
        pool.push_back(audio(random));
        pool.push_back(i % 2 ? wide(random) : -wide(random));
    }
    std::shuffle(pool.begin(), pool.end(), random);
    return pool;
}

// The variant's kernel for one store mode.
ChannelKernel kernelOf(KernelIsa isa, Store mode) {
    const ChannelKernels& kernels = channelKernels(isa);
    return mode == Store::kReplace ? kernels.replace : kernels.accumulate;
}

const char* modeName(Store mode) { return mode == Store::kReplace ? "replace" : "accumulate"; }

// Bit for bit, or any NaN where two NaNs met.
::testing::AssertionResult sameBits(float actual, const ReferenceSample& expected) {
    if (bitsOf(actual) == bitsOf(expected.value)) return ::testing::AssertionSuccess();
    if (expected.anyNaN && std::isnan(actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << describe(actual) << " instead of " << describe(expected.value);
}

std::string describeSetting(const KernelSettings& s) {
    char text[160];
    std::snprintf(text, sizeof text, "operation %d mask 0x%04X bitCount %d gate %d wet %a dry %a master %a",
                  static_cast<int>(s.operation), static_cast<unsigned>(s.mask), static_cast<int>(s.bitCount),
                  s.zeroCorrect ? 1 : 0, static_cast<double>(s.wet), static_cast<double>(s.dry),
                  static_cast<double>(s.master));
    return text;
}

class KernelVariant : public ::testing::TestWithParam<KernelIsa> {
protected:
    void SetUp() override {
        if (!kernelIsaSupported(GetParam())) GTEST_SKIP() << kernelIsaName(GetParam()) << " does not run here";
    }

    // Runs the variant on a copy of `old` and checks every sample against the reference.
    void expectReference(const std::vector<float>& input, const std::vector<float>& old, Store mode,
                         const KernelSettings& s) {
        std::vector<float> out(old);
        kernelOf(GetParam(), mode)(input.data(), out.data(), static_cast<std::int32_t>(input.size()), s);
        for (std::size_t i = 0; i < input.size(); ++i)
            ASSERT_TRUE(sameBits(out[i], referenceSample(input[i], old[i], mode, s)))
                << "sample " << i << " input " << describe(input[i]) << " old " << describe(old[i]);
    }
};

TEST_P(KernelVariant, GivesTheWorkedResultsAsTheReferenceDoes) {
    // 37 samples: every lane of every width, and a tail.
    for (const auto& row : kWorkedResults) {
        SCOPED_TRACE(describeSetting(row.setting) + " input " + describe(row.input));
        const std::vector<float> input(37, row.input);
        std::vector<float> out(37, 9.0f);
        kernelOf(GetParam(), Store::kReplace)(input.data(), out.data(), 37, row.setting);
        for (float y : out) ASSERT_EQ(bitsOf(y), bitsOf(row.output)) << describe(y);
        // The oracle of the other tests agrees with the table too.
        EXPECT_EQ(bitsOf(referenceSample(row.input, 9.0f, Store::kReplace, row.setting).value), bitsOf(row.output));
    }
}

TEST_P(KernelVariant, MatchesTheReferenceForEveryOperationCountMaskAndGain) {
    constexpr std::uint32_t kSeed = 0x5EED0009u;
    SCOPED_TRACE(::testing::Message() << "seed " << kSeed);
    const std::vector<float> input = inputPool(kSeed);
    std::vector<float> old = inputPool(kSeed + 1);
    old.resize(input.size(), 0.25f);

    std::vector<std::int8_t> counts;
    for (int n = 0; n <= 16; ++n) counts.push_back(static_cast<std::int8_t>(n));
    for (int n : {-128, -17, -1, 17, 31, 32, 33, 127}) counts.push_back(static_cast<std::int8_t>(n));
    const std::uint16_t masks[] = {0x0000, 0xFFFF, 0x8000, 0x7FFF, 0x0001, 0x00FF, 0xFF00, 0x5555, 0xAAAA, 0x9A5C};
    // Gains: wet only; unity master, which skips its multiply; all three
    // inexact; a subnormal wet gain, a negative dry gain and a large master.
    const float gains[][3] = {{1.0f, 0.0f, 1.0f}, {0.7f, 0.3f, 1.0f}, {0.37f, 1.25f, 0.81f}, {1.0e-40f, -0.5f, 3.0e5f}};

    std::vector<KernelSettings> settings;
    for (std::int32_t op = kOpXor; op <= kOpRollLeft; ++op) {
        const bool masked = op <= kOpOr;
        const std::size_t variants = masked ? std::size(masks) : counts.size();
        for (std::size_t k = 0; k < variants; ++k)
            for (const auto& g : gains)
                for (bool gate : {true, false})
                    settings.push_back({op, masked ? masks[k] : std::uint16_t{0x1234},
                                        masked ? std::int8_t{3} : counts[k], gate, g[0], g[1], g[2]});
    }
    for (const KernelSettings& s : settings)
        for (Store mode : {Store::kReplace, Store::kAccumulate}) {
            SCOPED_TRACE(describeSetting(s) + " " + modeName(mode));
            expectReference(input, old, mode, s);
            if (HasFatalFailure()) return;
        }
}

TEST_P(KernelVariant, HandlesEveryLengthAndAlignmentInPlaceOrApart) {
    constexpr std::uint32_t kSeed = 0x7A11u;
    SCOPED_TRACE(::testing::Message() << "seed " << kSeed);
    const std::vector<float> pool = inputPool(kSeed);
    const float guard = floatOf(0x7FBADBADu);
    std::size_t next = 0;
    const auto take = [&] { return pool[next++ % pool.size()]; };
    for (std::int32_t frames = 0; frames <= 40; ++frames)
        for (std::size_t offset = 0; offset < 16; ++offset)
            for (bool inPlace : {false, true})
                for (Store mode : {Store::kReplace, Store::kAccumulate}) {
                    const KernelSettings s{static_cast<std::int32_t>(frames % kNumOperations),
                                           0xC3A5,
                                           static_cast<std::int8_t>(frames % 17),
                                           frames % 3 != 0,
                                           0.6f,
                                           0.45f,
                                           frames % 2 ? 1.0f : 0.9f};
                    SCOPED_TRACE(::testing::Message() << frames << " frames at offset " << offset << " in place "
                                                      << inPlace << " " << modeName(mode));
                    const auto n = static_cast<std::size_t>(frames);
                    // The data starts `offset` floats into its buffer: those stay guard too.
                    GuardedBuffer<float> in(offset + n, guard, guard), out(offset + n, guard, guard);
                    std::vector<float> input(n), old(n);
                    for (std::size_t i = 0; i < n; ++i) {
                        input[i] = in[offset + i] = take();
                        old[i] = out[offset + i] = inPlace ? input[i] : take();
                    }
                    float* target = (inPlace ? in : out).data() + offset;
                    kernelOf(GetParam(), mode)(in.data() + offset, target, frames, s);
                    for (std::size_t i = 0; i < n; ++i)
                        ASSERT_TRUE(sameBits(target[i], referenceSample(input[i], old[i], mode, s))) << "sample " << i;
                    for (std::size_t i = 0; i < offset; ++i)
                        ASSERT_TRUE(bitsOf(in[i]) == bitsOf(guard) && bitsOf(out[i]) == bitsOf(guard));
                    ASSERT_TRUE(in.guardsIntact() && out.guardsIntact());
                    for (std::size_t i = 0; i < n && !inPlace; ++i)
                        ASSERT_EQ(bitsOf(in[offset + i]), bitsOf(input[i])) << "the input is left as it was";
                }
}

TEST_P(KernelVariant, WritesNothingForEmptyBlocksOrUnknownOperations) {
    const struct {
        std::int32_t operation;
        std::int32_t frames;
    } rows[] = {{kOpXor, 0},          {kOpRollLeft, -1}, {kOpOr, std::numeric_limits<std::int32_t>::min()},
                {kNumOperations, 20}, {-1, 20},          {std::numeric_limits<std::int32_t>::max(), 20}};
    for (const auto& row : rows)
        for (Store mode : {Store::kReplace, Store::kAccumulate}) {
            SCOPED_TRACE(::testing::Message()
                         << "operation " << row.operation << " frames " << row.frames << " " << modeName(mode));
            GuardedBuffer<float> in(20, 0.5f, -9.0f), out(20, 3.0f, -9.0f);
            kernelOf(GetParam(), mode)(in.data(), out.data(), row.frames,
                                       {row.operation, 0x1234, 3, false, 0.5f, 0.5f, 1.0f});
            for (std::size_t i = 0; i < 20; ++i) ASSERT_EQ(out[i], 3.0f);
            EXPECT_TRUE(out.guardsIntact());
        }
}

INSTANTIATE_TEST_SUITE_P(EachInstructionSet, KernelVariant,
                         ::testing::Values(KernelIsa::kScalar, KernelIsa::kSse2, KernelIsa::kAvx2, KernelIsa::kAvx512),
                         [](const ::testing::TestParamInfo<KernelIsa>& param) { return kernelIsaName(param.param); });

// Reads the state the effect's parameters produced, for the reference.
class SettingsProbe : public BitwiseEffect {
public:
    SettingsProbe() : BitwiseEffect(nullptr) {}
    using BitwiseEffect::snapshot;
};

TEST(KernelDispatch, TheLoadedLibraryRunsItsVariantBitForBit) {
    std::printf("[ dispatch ] this processor runs %s\n", kernelIsaName(bestKernelIsa()));
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), host::CreateError::kNone);
    const std::vector<float> input = inputPool(42);
    const auto frames = static_cast<std::int32_t>(input.size());
    // Operator values of 0.1 to 1.0 reach every operation; bits 0.3 and 0.85 a mask and a count.
    for (float op : {0.1f, 0.3f, 0.5f, 0.65f, 0.85f, 1.0f})
        for (float gate : {0.0f, 1.0f}) {
            SettingsProbe probe;
            for (auto [index, value] : {std::pair{kParamOperator, op},
                                        {kParamBits, op > 0.5f ? 0.85f : 0.3f},
                                        {kParamWet, 0.8f},
                                        {kParamDry, 0.35f},
                                        {kParamZeroCorrect, gate},
                                        {kParamMaster, op > 0.5f ? 1.0f : 0.7f}}) {
                plugin->setParameter(index, value);
                probe.setParameter(index, value);
            }
            const KernelSettings s = probe.snapshot();
            SCOPED_TRACE(describeSetting(s));
            std::vector<float> left(input), right(input.rbegin(), input.rend());
            std::vector<float> outLeft(input.size(), 0.5f), outRight(input.size(), -0.25f);
            float* in[] = {left.data(), right.data()};
            float* out[] = {outLeft.data(), outRight.data()};
            plugin->processReplacing(in, out, frames);
            plugin->process(in, out, frames);
            for (std::size_t i = 0; i < input.size(); ++i) {
                const float replacedLeft = referenceSample(left[i], 0.0f, Store::kReplace, s).value;
                const float replacedRight = referenceSample(right[i], 0.0f, Store::kReplace, s).value;
                ASSERT_TRUE(sameBits(outLeft[i], referenceSample(left[i], replacedLeft, Store::kAccumulate, s)));
                ASSERT_TRUE(sameBits(outRight[i], referenceSample(right[i], replacedRight, Store::kAccumulate, s)));
            }
        }
}

}  // namespace
}  // namespace zandrel::test
