// Normalised parameter values to effect state and back, checked against exact
// tables: the step floats, the masks as hex literals, the readings as bit patterns.
#include "EffectProbe.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace zandrel::test {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kMax = std::numeric_limits<float>::max();

float below(float x) { return std::nextafter(x, -kInf); }
float above(float x) { return std::nextafter(x, kInf); }

struct Step {
    std::int32_t value;
    float from;  // the first float that selects it
};

// Scales as exact decimals of the floats 5.2f and 2.4f.
constexpr double kExactOperationScale = 5.19999980926513671875;
constexpr double kExactStreamScale = 2.400000095367431640625;

constexpr std::array<Step, 6> kOperationSteps{
    {{0, 0.0f}, {1, 0.192307711f}, {2, 0.384615421f}, {3, 0.576923132f}, {4, 0.769230843f}, {5, 0.961538553f}}};
constexpr std::array<Step, 3> kStreamSteps{{{0, 0.0f}, {1, 0.416666657f}, {2, 0.833333313f}}};

// n ones from the least and from the most significant bit, n = 0..16.
constexpr std::array<std::uint16_t, 17> kRunFromRight{0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F,
                                                      0x003F, 0x007F, 0x00FF, 0x01FF, 0x03FF, 0x07FF,
                                                      0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};
constexpr std::array<std::uint16_t, 17> kRunFromLeft{0x0000, 0x8000, 0xC000, 0xE000, 0xF000, 0xF800,
                                                     0xFC00, 0xFE00, 0xFF00, 0xFF80, 0xFFC0, 0xFFE0,
                                                     0xFFF0, 0xFFF8, 0xFFFC, 0xFFFE, 0xFFFF};

// The bit count n reads as the float nearest n * 0.0629f, n = 0..16.
constexpr std::array<std::uint32_t, 17> kBitCountReadings{
    0x00000000, 0x3D80D1B7, 0x3E00D1B7, 0x3E413A92, 0x3E80D1B7, 0x3EA10625, 0x3EC13A92, 0x3EE16F00, 0x3F00D1B7,
    0x3F10EBEE, 0x3F210625, 0x3F31205C, 0x3F413A92, 0x3F5154C9, 0x3F616F00, 0x3F718937, 0x3F80D1B7};

void selectModes(EffectProbe& effect, std::int32_t operation, std::int32_t streamMode) {
    effect.setParameter(kParamOperator, kOperationSteps[static_cast<std::size_t>(operation)].from);
    effect.setParameter(kParamStream, kStreamSteps[static_cast<std::size_t>(streamMode)].from);
    ASSERT_EQ(effect.operationValue(), operation);
    ASSERT_EQ(effect.streamModeValue(), streamMode);
}

bool readsBitCount(std::int32_t operation, std::int32_t streamMode) { return streamMode != 0 || operation >= 3; }
bool buildsFromRight(std::int32_t operation, std::int32_t streamMode) { return streamMode == 2 || operation >= 3; }

std::string modes(std::int32_t operation, std::int32_t streamMode) {
    return "operation " + std::to_string(operation) + ", stream mode " + std::to_string(streamMode);
}

template <std::size_t N>
void checkSteps(const std::array<Step, N>& steps, std::int32_t index, double exactScale,
                std::int32_t (EffectProbe::*field)() const) {
    for (const Step& step : steps) {
        SCOPED_TRACE("value " + std::to_string(step.value) + " from " + describe(step.from));
        if (step.value > 0) {
            ASSERT_GE(static_cast<double>(step.from) * exactScale, step.value) << "the table's float reaches the step";
            ASSERT_LT(static_cast<double>(below(step.from)) * exactScale, step.value) << "and is the first that does";
        }
        EffectProbe effect;
        effect.setParameter(index, step.from);
        EXPECT_EQ((effect.*field)(), step.value);
        if (step.value > 0) {
            effect.setParameter(index, below(step.from));
            EXPECT_EQ((effect.*field)(), step.value - 1) << "the float just below stays on the step before";
        }
    }
    EffectProbe effect;
    effect.setParameter(index, 1.0f);
    EXPECT_EQ((effect.*field)(), steps.back().value) << "1.0 selects the last value";
}

TEST(OperationParameter, StepsUpAtTheFirstFloatOfEachOperation) {
    checkSteps(kOperationSteps, kParamOperator, kExactOperationScale, &EffectProbe::operationValue);
}

TEST(StreamParameter, StepsUpAtTheFirstFloatOfEachMode) {
    checkSteps(kStreamSteps, kParamStream, kExactStreamScale, &EffectProbe::streamModeValue);
}

TEST(ZeroCorrectParameter, TurnsTheGateOnOnlyAboveOneHalf) {
    const struct {
        float x;
        std::uint8_t gate;
    } rows[] = {{0.0f, 0}, {0.25f, 0}, {below(0.5f), 0}, {0.5f, 0}, {above(0.5f), 1}, {0.75f, 1}, {1.0f, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(describe(row.x));
        EffectProbe effect;
        effect.setParameter(kParamZeroCorrect, row.gate ? 0.0f : 1.0f);
        effect.setParameter(kParamZeroCorrect, row.x);
        EXPECT_EQ(effect.zeroCorrectFlag(), row.gate);
    }
}

TEST(GainParameters, StoreTheValueUnchangedAndReadItBack) {
    const float values[] = {0.0f, -0.0f, 0x1p-149f, 0x1p-126f, 0.3f, 0.5f, below(1.0f), 1.0f};
    for (const std::int32_t index : {kParamDry, kParamWet, kParamMaster}) {
        for (const float x : values) {
            SCOPED_TRACE("parameter " + std::to_string(index) + " = " + describe(x));
            EffectProbe effect;
            effect.setParameter(index, x);
            const float field = index == kParamDry   ? effect.dryGain()
                                : index == kParamWet ? effect.wetGain()
                                                     : effect.masterGain();
            EXPECT_EQ(bitsOf(field), bitsOf(x));
            EXPECT_EQ(bitsOf(effect.getParameter(index)), bitsOf(x));
        }
    }
}

// Without a stream mode and with XOR, AND or OR, the mask comes from the
// distance to 0.5 in steps of 2^-16, positive results raised by 2. It reads
// back as (mask + 32768) / 65536: 0x8000 at 0.0, 0x0000 at 0.5.
TEST(BitsParameter, BuildsAndReadsTheOffsetMaskWithoutAStreamMode) {
    const struct {
        float x;
        std::uint16_t mask;
        std::int8_t bitCount;
        float reading;
    } rows[] = {
        {0.0f, 0x8000, 0, 0.0f},
        {0.25f, 0xC000, 4, 0.25f},
        {0.5f - 3 * 0x1p-16f, 0xFFFD, 7, 0.5f - 3 * 0x1p-16f},
        {0.5f - 0x1p-16f, 0xFFFF, 7, 0.5f - 0x1p-16f},
        {0.5f - 0x1p-17f, 0x0000, 7, 0.5f},
        {0.5f, 0x0000, 8, 0.5f},
        {0.5f + 0x1p-17f, 0x0000, 8, 0.5f},
        {0.5f + 0x1p-16f, 0x0003, 8, 0.5f + 3 * 0x1p-16f},
        {0.5f + 2 * 0x1p-16f, 0x0004, 8, 0.5f + 4 * 0x1p-16f},
        {0.75f, 0x4002, 12, 0.75f + 2 * 0x1p-16f},
        {1.0f - 3 * 0x1p-16f, 0x7FFF, 15, 0.5f + 32767 * 0x1p-16f},
        {1.0f - 0x1p-15f, 0x8000, 15, 0.0f},
        {1.0f - 0x1p-16f, 0x8001, 15, 0x1p-16f},
        {1.0f, 0x8000, 16, 0.0f},
    };
    for (const std::int32_t operation : {kOpXor, kOpAnd, kOpOr}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(modes(operation, 0) + ", x " + describe(row.x));
            EffectProbe effect;
            selectModes(effect, operation, 0);
            effect.setParameter(kParamBits, row.x);
            EXPECT_EQ(effect.maskPattern(), row.mask);
            EXPECT_EQ(effect.bitCountValue(), row.bitCount);
            EXPECT_EQ(bitsOf(effect.getParameter(kParamBits)), bitsOf(row.reading));
        }
    }
}

TEST(BitsParameter, BuildsARunOfOnesFromTheRightOrTheLeft) {
    for (std::int32_t streamMode = 0; streamMode <= 2; ++streamMode) {
        for (std::int32_t operation = 0; operation <= 5; ++operation) {
            if (!readsBitCount(operation, streamMode)) continue;
            const auto& runs = buildsFromRight(operation, streamMode) ? kRunFromRight : kRunFromLeft;
            for (std::int8_t n = 0; n <= 16; ++n) {
                SCOPED_TRACE(modes(operation, streamMode) + ", n " + std::to_string(n));
                EffectProbe effect;
                selectModes(effect, operation, streamMode);
                effect.setParameter(kParamBits, static_cast<float>(n) / 16.0f);
                EXPECT_EQ(effect.bitCountValue(), n);
                EXPECT_EQ(effect.maskPattern(), runs[static_cast<std::size_t>(n)]);
                if (n == 0) continue;
                effect.setParameter(kParamBits, below(static_cast<float>(n) / 16.0f));
                EXPECT_EQ(effect.bitCountValue(), n - 1) << "just below n/16";
                EXPECT_EQ(effect.maskPattern(), runs[static_cast<std::size_t>(n - 1)]);
            }
        }
    }
}

TEST(BitsParameter, ReadsAsTheBitCountInAStreamModeOrForAShift) {
    for (std::int32_t streamMode = 0; streamMode <= 2; ++streamMode) {
        for (std::int32_t operation = 0; operation <= 5; ++operation) {
            if (!readsBitCount(operation, streamMode)) continue;
            for (std::size_t n = 0; n <= 16; ++n) {
                SCOPED_TRACE(modes(operation, streamMode) + ", n " + std::to_string(n));
                EffectProbe effect;
                selectModes(effect, operation, streamMode);
                effect.setParameter(kParamBits, static_cast<float>(n) / 16.0f);
                EXPECT_EQ(bitsOf(effect.getParameter(kParamBits)), kBitCountReadings[n]);
            }
        }
    }
    EffectProbe effect;
    selectModes(effect, kOpRollLeft, 0);
    effect.setParameter(kParamBits, 1.0f);
    EXPECT_GT(effect.getParameter(kParamBits), 1.0f) << "16 x 0.0629 lies above the normalised range";
}

// The reading follows the modes of the moment; the fields stay as parameter 0 left them.
TEST(BitsParameter, ReadingFollowsLaterModeChangesWhileTheFieldsStay) {
    EffectProbe effect;
    effect.setParameter(kParamBits, 0.75f);
    ASSERT_EQ(effect.maskPattern(), 0x4002);
    ASSERT_EQ(effect.bitCountValue(), 12);
    const float maskReading = 0.75f + 2 * 0x1p-16f;
    const struct {
        std::int32_t operation;
        std::int32_t streamMode;
        std::uint32_t reading;
    } rows[] = {
        {kOpXor, 1, kBitCountReadings[12]},       {kOpXor, 0, bitsOf(maskReading)},
        {kOpShiftLeft, 0, kBitCountReadings[12]}, {kOpOr, 0, bitsOf(maskReading)},
        {kOpAnd, 2, kBitCountReadings[12]},       {kOpRollLeft, 2, kBitCountReadings[12]},
        {kOpAnd, 0, bitsOf(maskReading)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(modes(row.operation, row.streamMode));
        selectModes(effect, row.operation, row.streamMode);
        EXPECT_EQ(bitsOf(effect.getParameter(kParamBits)), row.reading);
        EXPECT_EQ(effect.maskPattern(), 0x4002);
        EXPECT_EQ(effect.bitCountValue(), 12);
    }
}

TEST(ParameterReadings, ReportOperationModeAndGateOnTheirOwnScales) {
    const float operationReadings[] = {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f};
    for (std::size_t op = 0; op < 6; ++op) {
        SCOPED_TRACE("operation " + std::to_string(op));
        EffectProbe effect;
        effect.setParameter(kParamOperator, kOperationSteps[op].from);
        EXPECT_EQ(bitsOf(effect.getParameter(kParamOperator)), bitsOf(operationReadings[op]));
    }
    const float streamReadings[] = {0.0f, 0.5f, 1.0f};
    for (std::size_t mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE("stream mode " + std::to_string(mode));
        EffectProbe effect;
        effect.setParameter(kParamStream, kStreamSteps[mode].from);
        EXPECT_EQ(bitsOf(effect.getParameter(kParamStream)), bitsOf(streamReadings[mode]));
    }
    EffectProbe effect;
    EXPECT_EQ(bitsOf(effect.getParameter(kParamZeroCorrect)), bitsOf(1.0f)) << "the gate starts on";
    effect.setParameter(kParamZeroCorrect, 0.5f);
    EXPECT_EQ(bitsOf(effect.getParameter(kParamZeroCorrect)), bitsOf(0.0f));
}

const std::int32_t kOutsideIndices[] = {-1,
                                        kNumParams,
                                        kNumParams + 1,
                                        1000,
                                        std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::int32_t>::max()};

TEST(ParameterIndices, OutsideTheTableReadZeroAndChangeNothing) {
    for (const std::int32_t program : {0, 1, 4}) {
        EffectProbe effect;
        effect.setProgram(program);
        effect.setParameter(kParamBits, 0.8f);
        const EffectState before = effect.state();
        for (const std::int32_t index : kOutsideIndices) {
            SCOPED_TRACE("program " + std::to_string(program) + ", index " + std::to_string(index));
            EXPECT_EQ(bitsOf(effect.getParameter(index)), bitsOf(0.0f));
            for (const float x : {0.0f, 0.5f, 1.0f, 2.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
                effect.setParameter(index, x);
                EXPECT_EQ(effect.state(), before);
            }
        }
    }
}

// One state per way of building the mask and reading it back: the modes at the
// time parameter 0 is set, then the modes it is read in, and a few bit values.
struct StartingState {
    std::int32_t buildOperation, buildStream, readOperation, readStream;
    float bits;
    std::string name() const {
        return "built with " + modes(buildOperation, buildStream) + ", read with " + modes(readOperation, readStream) +
               ", x " + describe(bits);
    }
    void apply(EffectProbe& effect) const {
        selectModes(effect, buildOperation, buildStream);
        effect.setParameter(kParamBits, bits);
        selectModes(effect, readOperation, readStream);
        effect.setParameter(kParamDry, 0.3f);
        effect.setParameter(kParamWet, 0.7f);
        effect.setParameter(kParamMaster, 0.9f);
        effect.setParameter(kParamZeroCorrect, (buildOperation + readStream) % 2 == 0 ? 1.0f : 0.0f);
    }
};

std::vector<StartingState> allStartingStates() {
    const float bits[] = {0.0f, 0.0625f, 0.3f, 0.5f, 0.5f + 0x1p-16f, 0.75f, 1.0f - 3 * 0x1p-16f, 1.0f - 0x1p-16f,
                          1.0f};
    std::vector<StartingState> states;
    for (std::int32_t bo = 0; bo <= 5; ++bo)
        for (std::int32_t bs = 0; bs <= 2; ++bs)
            for (std::int32_t ro = 0; ro <= 5; ++ro)
                for (std::int32_t rs = 0; rs <= 2; ++rs)
                    for (const float x : bits) states.push_back({bo, bs, ro, rs, x});
    return states;
}

TEST(ParameterReadings, WrittenBackLeaveParametersOneToSixAsTheyWere) {
    for (const StartingState& setup : allStartingStates()) {
        EffectProbe effect;
        setup.apply(effect);
        const EffectState before = effect.state();
        for (std::int32_t index = kParamDry; index <= kParamMaster; ++index) {
            effect.setParameter(index, effect.getParameter(index));
            if (effect.state() != before) {
                ADD_FAILURE() << setup.name() << ", parameter " << index << ": " << testing::PrintToString(before)
                              << " became " << testing::PrintToString(effect.state());
                return;
            }
        }
    }
}

// In the count reading the count stays and the mask becomes a run; in the mask
// reading a mask of 0 or less stays, a positive one rises by 2.
TEST(ParameterReadings, WrittenBackRebuildParameterZeroFromWhatItReports) {
    for (const StartingState& setup : allStartingStates()) {
        SCOPED_TRACE(setup.name());
        EffectProbe effect;
        setup.apply(effect);
        EffectState expected = effect.state();
        if (readsBitCount(setup.readOperation, setup.readStream)) {
            const auto& runs = buildsFromRight(setup.readOperation, setup.readStream) ? kRunFromRight : kRunFromLeft;
            expected.mask = static_cast<std::int16_t>(runs[static_cast<std::size_t>(expected.bitCount)]);
        } else {
            const std::int32_t mask = expected.mask;
            const std::int32_t raised = mask > 0 ? mask + 2 : mask;
            expected.mask = static_cast<std::int16_t>(raised > 32767 ? raised - 65536 : raised);
            expected.bitCount = static_cast<std::int8_t>((mask + 32768) / 4096);
        }
        effect.setParameter(kParamBits, effect.getParameter(kParamBits));
        EXPECT_EQ(effect.state(), expected);
    }
}

// Outside 0.0..1.0 the interface promises nothing: a NaN leaves the state as it
// was, anything else acts as the nearer end of the range.
TEST(OutOfRangeValues, NaNChangesNothing) {
    const float nans[] = {floatOf(0x7FC00000), floatOf(0xFFC00000), floatOf(0x7FA00000), floatOf(0x7F800001),
                          floatOf(0xFFFFFFFF)};
    for (const StartingState& setup : allStartingStates()) {
        if (setup.bits != 0.75f) continue;
        EffectProbe effect;
        setup.apply(effect);
        const EffectState before = effect.state();
        for (std::int32_t index = 0; index < kNumParams; ++index) {
            for (const float nan : nans) {
                SCOPED_TRACE(setup.name() + ", parameter " + std::to_string(index) + " = " + describe(nan));
                effect.setParameter(index, nan);
                EXPECT_EQ(effect.state(), before);
            }
        }
    }
}

TEST(OutOfRangeValues, ActAsTheNearerEndOfTheRange) {
    const struct {
        float x;
        float end;
    } rows[] = {{-0x1p-149f, 0.0f}, {-0.1f, 0.0f}, {-1.0f, 0.0f}, {-kMax, 0.0f}, {-kInf, 0.0f}, {above(1.0f), 1.0f},
                {1.5f, 1.0f},       {2.0f, 1.0f},  {1e30f, 1.0f}, {kMax, 1.0f},  {kInf, 1.0f}};
    for (const StartingState& setup : allStartingStates()) {
        if (setup.bits != 0.3f) continue;
        for (std::int32_t index = 0; index < kNumParams; ++index) {
            for (const auto& row : rows) {
                SCOPED_TRACE(setup.name() + ", parameter " + std::to_string(index) + " = " + describe(row.x));
                EffectProbe outside, atEnd;
                setup.apply(outside);
                setup.apply(atEnd);
                outside.setParameter(index, row.x);
                atEnd.setParameter(index, row.end);
                EXPECT_EQ(outside.state(), atEnd.state());
            }
        }
    }
}

TEST(OutOfRangeValues, KeepEveryFieldInItsRange) {
    // Every row starts from the constructed state with all three gains at 0.5.
    const struct {
        std::int32_t index;
        float x;
        EffectState expected;
    } rows[] = {
        {kParamBits, 2.0f, {0.5f, -32768, 0.5f, 0.5f, 0, 1, 0, 16, "Zandrel", 0}},
        {kParamBits, -3.0f, {0.5f, -32768, 0.5f, 0.5f, 0, 1, 0, 0, "Zandrel", 0}},
        {kParamDry, 4.0f, {0.5f, 0, 0.5f, 1.0f, 0, 1, 0, 0, "Zandrel", 0}},
        {kParamDry, -0.5f, {0.5f, 0, 0.5f, 0.0f, 0, 1, 0, 0, "Zandrel", 0}},
        {kParamWet, 1e20f, {0.5f, 0, 1.0f, 0.5f, 0, 1, 0, 0, "Zandrel", 0}},
        {kParamWet, -kInf, {0.5f, 0, 0.0f, 0.5f, 0, 1, 0, 0, "Zandrel", 0}},
        {kParamOperator, 2.0f, {0.5f, 0, 0.5f, 0.5f, 5, 1, 0, 0, "Zandrel", 0}},
        {kParamOperator, -1.0f, {0.5f, 0, 0.5f, 0.5f, 0, 1, 0, 0, "Zandrel", 0}},
        {kParamZeroCorrect, -kInf, {0.5f, 0, 0.5f, 0.5f, 0, 0, 0, 0, "Zandrel", 0}},
        {kParamStream, 1e9f, {0.5f, 0, 0.5f, 0.5f, 0, 1, 2, 0, "Zandrel", 0}},
        {kParamStream, -kMax, {0.5f, 0, 0.5f, 0.5f, 0, 1, 0, 0, "Zandrel", 0}},
        {kParamMaster, 3.0f, {1.0f, 0, 0.5f, 0.5f, 0, 1, 0, 0, "Zandrel", 0}},
        {kParamMaster, -2.0f, {0.0f, 0, 0.5f, 0.5f, 0, 1, 0, 0, "Zandrel", 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("parameter " + std::to_string(row.index) + " = " + describe(row.x));
        EffectProbe effect;
        for (const std::int32_t gain : {kParamDry, kParamWet, kParamMaster}) effect.setParameter(gain, 0.5f);
        effect.setParameter(row.index, row.x);
        EXPECT_EQ(effect.state(), row.expected);
    }
    // Rotation counts come only from parameter 0: even far outside, 0..16.
    for (const float x : {-kInf, -1e30f, -1.0f, 1.07f, 8.0f, 16.0f, 1e30f, kInf}) {
        SCOPED_TRACE(describe(x));
        EffectProbe effect;
        selectModes(effect, kOpRollLeft, 0);
        effect.setParameter(kParamBits, x);
        EXPECT_EQ(effect.bitCountValue(), x < 0.0f ? 0 : 16);
        EXPECT_EQ(effect.maskPattern(), x < 0.0f ? 0x0000 : 0xFFFF);
    }
}

}  // namespace
}  // namespace zandrel::test
