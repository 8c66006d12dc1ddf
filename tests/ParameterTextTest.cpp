// Names, value texts and labels as a host requests them: through the record's
// dispatcher, into guarded buffers of the capacity the interface names.
#include "EffectProbe.h"
#include "GuardedBuffer.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace zandrel::test {
namespace {

constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr char kFill = '\xA5';
constexpr char kGuard = '\x5A';

struct Request {
    std::int32_t opcode;
    const char* what;
    std::size_t capacity;
};
constexpr Request kName{effGetParamName, "name", kVstMaxParamNameLen};
constexpr Request kDisplay{effGetParamDisplay, "display", kVstMaxParamDisplayLen};
constexpr Request kLabel{effGetParamLabel, "label", kVstMaxParamLabelLen};

// What one request left in its buffer, every byte of it.
struct Reply {
    VstIntPtr answer;
    std::vector<char> bytes;
    bool guardsIntact;
};

Reply ask(AEffect* effect, const Request& request, std::int32_t index) {
    // The bound changes nothing here; it spares GCC 12 a wrapped size to warn about.
    GuardedBuffer<char> buffer(std::min<std::size_t>(request.capacity, 64), kFill, kGuard);
    const VstIntPtr answer = effect->dispatcher(effect, request.opcode, index, 0, buffer.data(), 0.0f);
    return {answer, std::vector<char>(buffer.data(), buffer.data() + buffer.size()), buffer.guardsIntact()};
}

// The text and its terminator, and not one byte more.
void expectText(const Reply& reply, const std::string& expected) {
    EXPECT_EQ(reply.answer, 0);
    ASSERT_TRUE(reply.guardsIntact) << "wrote beyond the buffer";
    ASSERT_LT(expected.size(), reply.bytes.size());
    std::vector<char> wanted(expected.begin(), expected.end());
    wanted.push_back('\0');
    wanted.resize(reply.bytes.size(), kFill);
    EXPECT_EQ(std::string(reply.bytes.begin(), reply.bytes.end()), std::string(wanted.begin(), wanted.end()));
}

void expectUntouched(const Reply& reply) {
    EXPECT_EQ(reply.answer, 0);
    EXPECT_TRUE(reply.guardsIntact);
    EXPECT_EQ(std::string(reply.bytes.begin(), reply.bytes.end()), std::string(reply.bytes.size(), kFill));
}

// A BitwiseEffect whose fields a test sets to values no parameter reaches.
class TextProbe : public EffectProbe {
public:
    TextProbe& withOperation(std::int32_t value) {
        operation = value;
        return *this;
    }
    TextProbe& withMask(std::uint16_t pattern) {
        mask = static_cast<std::int16_t>(pattern);
        return *this;
    }
    TextProbe& withBitCount(std::int8_t value) {
        bitCount = value;
        return *this;
    }
    TextProbe& withStreamMode(std::int32_t value) {
        streamMode = value;
        return *this;
    }
    TextProbe& withZeroCorrect(std::uint8_t value) {
        zeroCorrect = value;
        return *this;
    }
    TextProbe& withGains(float dryGain, float wetGain, float masterGain) {
        dry = dryGain;
        wet = wetGain;
        master = masterGain;
        return *this;
    }
    AEffect* effect() { return getDescriptor(); }
};

// The four states, each reached as a host reaches it; C both by its program
// and by parameter values.
struct State {
    const char* what;
    std::size_t column;  // 0 to 3: A to D
    void (*reach)(host::PluginInstance&);
};

// One parameter's texts in every state: the name in A and B, in C and D, the
// display in A to D, and the label in all four.
struct ParamRow {
    const char* nameAB;
    const char* nameCD;
    std::array<const char*, 4> displays;
    const char* label;
};

TEST(ParameterText, StatesAThroughDGiveEveryNameDisplayAndLabel) {
    const State states[] = {
        {"A: as constructed", 0, [](host::PluginInstance&) {}},
        {"B: program 2", 1, [](host::PluginInstance& p) { p.dispatch(effSetProgram, 0, 2); }},
        {"C: program 4", 2, [](host::PluginInstance& p) { p.dispatch(effSetProgram, 0, 4); }},
        // 0.8 * 5.2 truncates to operation 4; 1/16 * 16 is bit count 1.
        {"C: by parameters", 2,
         [](host::PluginInstance& p) {
             p.setParameter(kParamOperator, 0.8f);
             p.setParameter(kParamBits, 0.0625f);
             p.setParameter(kParamDry, 0.0f);
             p.setParameter(kParamWet, 1.0f);
         }},
        // 1.0 * 5.2 is operation 5, 3/16 * 16 bit count 3, 1.0 * 2.4 stream mode 2.
        {"D: by parameters", 3,
         [](host::PluginInstance& p) {
             p.setParameter(kParamOperator, 1.0f);
             p.setParameter(kParamBits, 0.1875f);
             p.setParameter(kParamDry, 0.5f);
             p.setParameter(kParamWet, 0.25f);
             p.setParameter(kParamMaster, 0.1f);
             p.setParameter(kParamZeroCorrect, 0.0f);
             p.setParameter(kParamStream, 1.0f);
         }},
    };
    // clang-format off
    const std::array<ParamRow, kNumParams> rows{{
        // name in A and B, name in C and D, display in A, B, C and D, label
        {" Bitstream", " Distance", {"      0",  "   7FFF",  "      1",       "      3"},      ""},
        {"  Dry Mix",  "  Dry Mix", {"0.000000", "  -oo   ", "  -oo   ",      "-6.02059"},     "   dB"},
        {"  Wet Mix",  "  Wet Mix", {"  -oo   ", "0.000000", "0.000000",      "-12.0411"},     "   dB"},
        {" Operator",  " Operator", {"      XOR", "      AND", "  Shift Right", "  Roll Left"}, ""},
        {" 0-Correct", " 0-Correct", {"      On", "      On", "      On",      "      Off"},    ""},
        {" 1-Stream",  " 1-Stream", {"      Off", "      Off", "      Off",    "  From Right"}, ""},
        {"  Master",   "  Master",  {"0.000000", "0.000000", "0.000000",      "-20.0000"},     "   dB"},
    }};
    // clang-format on
    for (const State& state : states) {
        SCOPED_TRACE(state.what);
        auto plugin = newPluginInstance();
        ASSERT_EQ(plugin->error(), host::CreateError::kNone);
        state.reach(*plugin);
        for (std::int32_t index = 0; index < kNumParams; ++index) {
            SCOPED_TRACE(testing::Message() << "parameter " << index);
            const ParamRow& row = rows[static_cast<std::size_t>(index)];
            const char* name = state.column < 2 ? row.nameAB : row.nameCD;
            for (const auto& [request, expected] :
                 {std::pair{kName, name}, std::pair{kDisplay, row.displays[state.column]},
                  std::pair{kLabel, row.label}}) {
                SCOPED_TRACE(request.what);
                expectText(ask(plugin->effect(), request, index), expected);
            }
        }
    }
}

// The mask and the bit count are set to different values in every row, so
// showing the wrong one of the two fails.
TEST(ParameterText, BitsShowTheMaskPatternOrTheSignedCountBySignedOperation) {
    struct Row {
        std::int32_t operation;
        std::uint16_t mask;
        std::int8_t bitCount;
        const char* name;
        const char* display;
    };
    const Row rows[] = {
        {0, 0xFFFF, 2, " Bitstream", "   FFFF"},      {1, 0x8000, 2, " Bitstream", "   8000"},
        {2, 0xF000, 2, " Bitstream", "   F000"},      {0, 0x00FF, 2, " Bitstream", "     FF"},
        {0, 0x000F, 2, " Bitstream", "      F"},      {0, 0x0ABC, 2, " Bitstream", "    ABC"},
        {-1, 0x1234, 2, " Bitstream", "   1234"},     {kMinInt, 0xBEEF, 2, " Bitstream", "   BEEF"},
        {3, 0x1234, 0, " Distance", "      0"},       {4, 0x1234, 16, " Distance", "      16"},
        {5, 0x1234, -1, " Distance", "      -1"},     {3, 0x1234, 127, " Distance", "      127"},
        {4, 0x1234, -128, " Distance", "      -128"}, {6, 0x1234, 16, " Distance", "      16"},
        {kMaxInt, 0x1234, 5, " Distance", "      5"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "operation " << row.operation << ", mask 0x" << std::hex << row.mask
                                        << std::dec << ", bit count " << int{row.bitCount});
        TextProbe probe;
        probe.withOperation(row.operation).withMask(row.mask).withBitCount(row.bitCount);
        expectText(ask(probe.effect(), kName, kParamBits), row.name);
        expectText(ask(probe.effect(), kDisplay, kParamBits), row.display);
        expectText(ask(probe.effect(), kLabel, kParamBits), "");
    }
}

TEST(ParameterText, UnknownOperationOrStreamModeLeavesItsDisplayUntouched) {
    for (std::int32_t operation : {6, 7, -1, kMinInt, kMaxInt}) {
        SCOPED_TRACE(testing::Message() << "operation " << operation);
        TextProbe probe;
        probe.withOperation(operation);
        expectUntouched(ask(probe.effect(), kDisplay, kParamOperator));
        expectText(ask(probe.effect(), kName, kParamOperator), " Operator");
    }
    for (std::int32_t streamMode : {3, -1, kMinInt, kMaxInt}) {
        SCOPED_TRACE(testing::Message() << "stream mode " << streamMode);
        TextProbe probe;
        probe.withStreamMode(streamMode);
        expectUntouched(ask(probe.effect(), kDisplay, kParamStream));
        expectText(ask(probe.effect(), kName, kParamStream), " 1-Stream");
    }
}

TEST(ParameterText, IndexOutsideTheParametersLeavesNameAndDisplayAndEmptiesTheLabel) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), host::CreateError::kNone);
    for (std::int32_t index : {7, 8, -1, 1000, kMinInt, kMaxInt}) {
        SCOPED_TRACE(testing::Message() << "index " << index);
        expectUntouched(ask(plugin->effect(), kName, index));
        expectUntouched(ask(plugin->effect(), kDisplay, index));
        expectText(ask(plugin->effect(), kLabel, index), "");
    }
}

// Values the parameters never produce still give the texts the fields imply.
TEST(ParameterText, GateAndGainsShowEveryValueTheirFieldsHold) {
    struct Row {
        std::uint8_t zeroCorrect;
        float dry, wet, master;
        std::array<const char*, 4> displays;  // gate, dry, wet, master
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        {2, -0.5f, -0.0f, 2.0f, {"      On", "  -oo   ", "  -oo   ", "6.020599"}},
        {255, nan, 1.0f, 0.001f, {"      On", "  -oo   ", "0.000000", "-60.0000"}},
        {0, 0.25f, 0.0f, -1.0f, {"      Off", "-12.0411", "  -oo   ", "  -oo   "}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "zeroCorrect " << unsigned{row.zeroCorrect} << ", dry " << describe(row.dry)
                                        << ", wet " << describe(row.wet) << ", master " << describe(row.master));
        TextProbe probe;
        probe.withZeroCorrect(row.zeroCorrect).withGains(row.dry, row.wet, row.master);
        const std::int32_t indices[] = {kParamZeroCorrect, kParamDry, kParamWet, kParamMaster};
        for (std::size_t i = 0; i < 4; ++i) {
            SCOPED_TRACE(testing::Message() << "parameter " << indices[i]);
            expectText(ask(probe.effect(), kDisplay, indices[i]), row.displays[i]);
        }
        for (std::int32_t gain : {kParamDry, kParamWet, kParamMaster})
            expectText(ask(probe.effect(), kLabel, gain), "   dB");
    }
}

}  // namespace
}  // namespace zandrel::test
