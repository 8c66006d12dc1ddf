// The sample processor through the effect's processing operations, against an
// oracle that computes each step with plain arithmetic instead of bit work.
#include "Bits.h"
#include "BitwiseEffect.h"
#include "GuardedBuffer.h"
#include "TestPlugin.h"
#include "WorkedResults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace zandrel::test {
namespace {

// An effect whose state a test writes directly.
class KernelEffect : public BitwiseEffect {
public:
    explicit KernelEffect(const KernelSettings& s) : BitwiseEffect(nullptr) {
        operation = s.operation;
        mask = static_cast<std::int16_t>(s.mask);
        bitCount = s.bitCount;
        zeroCorrect = s.zeroCorrect ? 1 : 0;
        wet = s.wet;
        dry = s.dry;
        master = s.master;
    }
};

// x * 32768 truncated, wrapped into -32768..32767; 0 for NaN and infinities.
double oracleSample(float x) {
    const double t = std::trunc(static_cast<double>(x) * 32768.0);
    if (!std::isfinite(t) || std::fabs(t) >= 0x1p63) return 0.0;
    double wrapped = std::fmod(t, 65536.0);
    if (wrapped < 0.0) wrapped += 65536.0;
    return wrapped >= 32768.0 ? wrapped - 65536.0 : wrapped;
}

double oracleOperation(double s, const KernelSettings& st) {
    const auto u = static_cast<std::uint32_t>(s < 0.0 ? s + 65536.0 : s);
    const unsigned n = static_cast<std::uint8_t>(st.bitCount) & 31u;
    double v = 0.0;
    switch (st.operation) {
        case kOpXor: v = u ^ st.mask; break;
        case kOpAnd: v = u & st.mask; break;
        case kOpOr: v = u | st.mask; break;
        case kOpShiftLeft: v = std::fmod(u * std::ldexp(1.0, static_cast<int>(n)), 65536.0); break;
        case kOpShiftRight: return std::floor(s / std::ldexp(1.0, static_cast<int>(n)));
        case kOpRollLeft: {
            const int r = st.bitCount % 16;
            v = std::fmod(u * std::ldexp(1.0, r), 65536.0) + std::floor(u / std::ldexp(1.0, 16 - r));
            break;
        }
    }
    return v >= 32768.0 ? v - 65536.0 : v;
}

double oracleMix(float x, const KernelSettings& st) {
    const double v = oracleOperation(oracleSample(x), st);
    return ((v / 32768.0) * double{st.wet} + double{st.dry} * static_cast<double>(x)) * double{st.master};
}

// What the replacing kernel writes for one sample.
float oracleReplace(float x, const KernelSettings& st) {
    if (st.zeroCorrect && (x == 0.0f || std::isnan(x))) return 0.0f;
    return static_cast<float>(oracleMix(x, st));
}

float oracleAccumulate(float x, float out, const KernelSettings& st) {
    if (st.zeroCorrect && (x == 0.0f || std::isnan(x))) return out;
    return static_cast<float>(oracleMix(x, st) + static_cast<double>(out));
}

// Bit-identical, except that any NaN matches any NaN.
::testing::AssertionResult sameSample(float actual, float expected) {
    if (bitsOf(actual) == bitsOf(expected) || (std::isnan(actual) && std::isnan(expected)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << describe(actual) << " instead of " << describe(expected);
}

std::vector<float> processReplacingBoth(BitwiseEffect& effect, const std::vector<float>& input) {
    std::vector<float> left(input), right(input.rbegin(), input.rend());
    std::vector<float> outLeft(input.size(), 7.0f), outRight(input.size(), 7.0f);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect.processReplacing(inputs, outputs, static_cast<std::int32_t>(input.size()));
    // Channel 1 is processed as well, with the same frame count.
    for (std::size_t i = 0; i < input.size(); ++i)
        EXPECT_TRUE(sameSample(outRight[input.size() - 1 - i], outLeft[i])) << i;
    return outLeft;
}

TEST(Kernel, WorkedResults) {
    for (const auto& row : kWorkedResults) {
        SCOPED_TRACE(describe(row.input));
        KernelEffect effect(row.setting);
        const auto out = processReplacingBoth(effect, {row.input});
        EXPECT_TRUE(sameSample(out[0], row.output));
    }
}

// Patterns across every class of float: zeros, subnormals, the 16-bit steps,
// wrap boundaries, the limits of the 64-bit conversion, infinities and NaNs.
std::vector<float> boundaryInputs() {
    std::vector<float> inputs;
    for (std::uint32_t bits : {0x00000000u, 0x80000000u, 0x00000001u, 0x807FFFFFu, 0x7F800000u, 0xFF800000u,
                               0x7FC00000u, 0xFFC00001u, 0x7F800001u, 0x7F7FFFFFu, 0xFF7FFFFFu})
        inputs.push_back(floatOf(bits));
    for (float x :
         {1.0f,    -1.0f,    2.0f,    -2.0f,   0.5f,    1.0e-30f, -1.0e-30f, 0x1p-15f, -0x1p-15f, 0x1p-16f,  65536.0f,
          0x1p24f, -0x1p24f, 0x1p31f, 0x1p48f, 0x1p63f, -0x1p63f, 0x1p64f,   1.0e30f,  3.0f,      -32767.75f})
        for (float y : {x, std::nextafter(x, 0.0f), std::nextafter(x, 2.0f * x)}) inputs.push_back(y);
    std::mt19937 random(20261211);
    for (int i = 0; i < 512; ++i) inputs.push_back(floatOf(static_cast<std::uint32_t>(random())));
    std::uniform_real_distribution<float> audio(-1.25f, 1.25f);
    for (int i = 0; i < 512; ++i) inputs.push_back(audio(random));
    return inputs;
}

std::vector<KernelSettings> settingsAcrossOperations() {
    std::vector<KernelSettings> settings;
    for (std::int32_t op = kOpXor; op <= kOpRollLeft; ++op)
        for (std::int8_t n : {std::int8_t{0}, std::int8_t{1}, std::int8_t{7}, std::int8_t{15}, std::int8_t{16}})
            for (bool gate : {true, false}) {
                const std::uint16_t mask = static_cast<std::uint16_t>(0x9A5Cu >> (n & 15));
                settings.push_back({op, mask, n, gate, 0.7f, -0.3f, 1.5f});
            }
    return settings;
}

TEST(Kernel, ReplacingMatchesTheOracleForEveryKindOfInput) {
    const std::vector<float> inputs = boundaryInputs();
    for (const KernelSettings& s : settingsAcrossOperations()) {
        SCOPED_TRACE(::testing::Message()
                     << "operation " << s.operation << " bitCount " << int{s.bitCount} << " gate " << s.zeroCorrect);
        KernelEffect effect(s);
        const auto out = processReplacingBoth(effect, inputs);
        for (std::size_t i = 0; i < inputs.size(); ++i)
            ASSERT_TRUE(sameSample(out[i], oracleReplace(inputs[i], s))) << "input " << describe(inputs[i]);
    }
}

TEST(Kernel, AccumulatingAddsToTheOutputOnceEachCall) {
    const std::vector<float> inputs = boundaryInputs();
    for (const KernelSettings& s : settingsAcrossOperations()) {
        SCOPED_TRACE(::testing::Message() << "operation " << s.operation << " bitCount " << int{s.bitCount});
        KernelEffect effect(s);
        std::vector<float> left(inputs), right(inputs);
        std::vector<float> outLeft(inputs.size()), outRight(inputs.size(), 0.25f);
        for (std::size_t i = 0; i < inputs.size(); ++i) outLeft[i] = static_cast<float>(i) * 0.001f - 0.2f;
        std::vector<float> expected(outLeft), expectedRight(outRight);
        float* in[] = {left.data(), right.data()};
        float* out[] = {outLeft.data(), outRight.data()};
        for (int call = 0; call < 2; ++call) {
            effect.process(in, out, static_cast<std::int32_t>(inputs.size()));
            for (std::size_t i = 0; i < inputs.size(); ++i) {
                expected[i] = oracleAccumulate(inputs[i], expected[i], s);
                ASSERT_TRUE(sameSample(outLeft[i], expected[i])) << "call " << call << " input " << describe(inputs[i]);
                expectedRight[i] = oracleAccumulate(inputs[i], expectedRight[i], s);
                ASSERT_TRUE(sameSample(outRight[i], expectedRight[i])) << "channel 1";
            }
        }
    }
}

TEST(Kernel, ConstructedStatePassesAudioThroughExactly) {
    BitwiseEffect effect(nullptr);
    const std::vector<float> inputs = boundaryInputs();
    const auto out = processReplacingBoth(effect, inputs);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const float x = inputs[i];
        const float expected = (x == 0.0f || std::isnan(x)) ? 0.0f : x;
        ASSERT_EQ(bitsOf(out[i]), bitsOf(expected)) << describe(x);
    }
}

TEST(Kernel, GateKeepsZerosAndNaNsSilentOnlyWhileOn) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (bool gate : {true, false}) {
        SCOPED_TRACE(gate);
        KernelSettings s = wetOnly(kOpOr, 0x8000);
        s.zeroCorrect = gate;
        s.master = 0.5f;
        KernelEffect effect(s);
        const auto out = processReplacingBoth(effect, {0.0f, -0.0f, nan, 1.0e-30f});
        EXPECT_TRUE(sameSample(out[0], gate ? 0.0f : -0.5f));
        EXPECT_TRUE(sameSample(out[1], gate ? 0.0f : -0.5f));
        EXPECT_TRUE(gate ? sameSample(out[2], 0.0f) : std::isnan(out[2])) << "dry 0 x NaN is NaN";
        EXPECT_TRUE(sameSample(out[3], -0.5f)) << "a tiny non-zero input is not gated";
    }
    KernelEffect effect(wetOnly(kOpXor, 0xFFFF));
    float in[] = {0.0f, -0.0f, nan};
    float out[] = {5.0f, 6.0f, 7.0f};
    float* inputs[] = {in, in};
    float* outputs[] = {out, out};
    effect.process(inputs, outputs, 3);
    EXPECT_EQ(out[0], 5.0f);
    EXPECT_EQ(out[1], 6.0f);
    EXPECT_EQ(out[2], 7.0f) << "accumulating leaves gated samples alone";
}

TEST(Kernel, BitCountsZeroAndSixteen) {
    const float x = -0.3f;  // s = -9830
    const struct {
        std::int32_t operation;
        std::int8_t n;
        float expected;
    } rows[] = {
        {kOpShiftLeft, 0, -9830.0f / 32768.0f}, {kOpShiftRight, 0, -9830.0f / 32768.0f},
        {kOpRollLeft, 0, -9830.0f / 32768.0f},  {kOpShiftLeft, 16, 0.0f},
        {kOpShiftRight, 16, -1.0f / 32768.0f},  {kOpRollLeft, 16, -9830.0f / 32768.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.operation << " by " << int{row.n});
        KernelEffect effect(wetOnly(row.operation, 0, row.n));
        EXPECT_TRUE(sameSample(processReplacingBoth(effect, {x})[0], row.expected));
    }
    KernelEffect positive(wetOnly(kOpShiftRight, 0, 16));
    EXPECT_TRUE(sameSample(processReplacingBoth(positive, {0.3f})[0], 0.0f));
}

TEST(Kernel, InPlaceGivesTheSameResultAsSeparateBuffers) {
    const std::vector<float> inputs = boundaryInputs();
    for (const KernelSettings& s : settingsAcrossOperations()) {
        KernelEffect effect(s);
        const auto separate = processReplacingBoth(effect, inputs);
        std::vector<float> left(inputs), right(inputs);
        float* channels[] = {left.data(), right.data()};
        effect.processReplacing(channels, channels, static_cast<std::int32_t>(inputs.size()));
        for (std::size_t i = 0; i < inputs.size(); ++i) ASSERT_TRUE(sameSample(left[i], separate[i])) << i;
    }
}

TEST(Kernel, NothingIsWrittenForEmptyBlocksOrUnknownOperations) {
    const struct {
        std::int32_t operation;
        std::int32_t frames;
    } rows[] = {{kOpXor, 0}, {kOpXor, -1}, {kOpRollLeft, std::numeric_limits<std::int32_t>::min()},
                {6, 8},      {-1, 8},      {std::numeric_limits<std::int32_t>::max(), 8}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "operation " << row.operation << " frames " << row.frames);
        KernelEffect effect(wetOnly(row.operation, 0x1234, 3));
        GuardedBuffer<float> in(8, 0.5f, -9.0f), outLeft(8, 3.0f, -9.0f), outRight(8, 4.0f, -9.0f);
        float* inputs[] = {in.data(), in.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        effect.processReplacing(inputs, outputs, row.frames);
        effect.process(inputs, outputs, row.frames);
        for (std::size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(outLeft[i], 3.0f);
            EXPECT_EQ(outRight[i], 4.0f);
        }
        EXPECT_TRUE(outLeft.guardsIntact() && outRight.guardsIntact() && in.guardsIntact());
    }
}

TEST(Kernel, BlocksWriteExactlyTheirFrames) {
    KernelEffect effect(wetOnly(kOpXor, 0xFFFF));
    for (std::size_t frames : {1u, 2u, 3u, 7u, 31u, 64u, 1000u}) {
        GuardedBuffer<float> in(frames, 0.5f, 1.0f), out(frames, 3.0f, 2.0f);
        float* inputs[] = {in.data(), in.data()};
        float* outputs[] = {out.data(), out.data()};
        effect.processReplacing(inputs, outputs, static_cast<std::int32_t>(frames));
        EXPECT_TRUE(out.guardsIntact() && in.guardsIntact()) << frames;
        EXPECT_EQ(out[frames - 1], -16385.0f / 32768.0f);
    }
}

TEST(Kernel, TheLoadedLibraryProcessesLikeTheClass) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), host::CreateError::kNone);
    const std::vector<float> inputs = boundaryInputs();
    std::vector<float> left(inputs), right(inputs), outLeft(inputs.size()), outRight(inputs.size());
    float* in[] = {left.data(), right.data()};
    float* out[] = {outLeft.data(), outRight.data()};
    plugin->processReplacing(in, out, static_cast<std::int32_t>(inputs.size()));
    BitwiseEffect effect(nullptr);
    const auto expected = processReplacingBoth(effect, inputs);
    for (std::size_t i = 0; i < inputs.size(); ++i) ASSERT_EQ(bitsOf(outLeft[i]), bitsOf(expected[i])) << i;
}

}  // namespace
}  // namespace zandrel::test
