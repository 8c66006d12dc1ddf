// The eight-character value texts: exact strings for exact 32-bit inputs, each
// written into a guarded buffer of the nine bytes a caller must provide.
#include "Bits.h"
#include "GuardedBuffer.h"
#include "PluginEffect.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace zandrel::test {
namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The framework base with nothing of its own but the sample rate a test picks.
class FormattingEffect final : public PluginEffect {
public:
    FormattingEffect() : PluginEffect(nullptr, 1, 1) {}
    void process(float**, float**, std::int32_t) override {}
};

constexpr char kFill = '#';
constexpr char kGuard = '\x5A';

// Runs one formatter on a nine-byte buffer and answers its text, failing the
// test when the text is not terminated inside the buffer or the guards change.
template <class Format>
std::string formatted(Format format) {
    GuardedBuffer<char> text(kVstValueTextLen, kFill, kGuard);
    format(text.data());
    EXPECT_TRUE(text.guardsIntact()) << "wrote outside the nine bytes";
    const void* end = std::memchr(text.data(), '\0', text.size());
    EXPECT_NE(end, nullptr) << "no terminator within the nine bytes";
    return end ? std::string(text.data()) : std::string(text.data(), text.size());
}

struct FloatRow {
    float input;
    const char* text;
};

TEST(Formatters, Float2stringCutsDigitsToTheSharedBudget) {
    const FloatRow rows[] = {
        {0.0f, "0.000000"},
        {-0.0f, "0.000000"},
        {1.0f, "1.000000"},
        {0.5f, "0.500000"},
        {-0.5f, "-0.50000"},
        {0.7f, "0.699999"},
        {floatOf(0xC0C0A8C1u), "-6.02059"},  // 20 log10(0.5), rounded to a float
        {10.0f, "10.00000"},
        {-20.0f, "-20.0000"},
        {123.456f, "123.4560"},
        {1234567.0f, "1234567."},
        {9999999.0f, "9999999."},
        {12345678.0f, "2345678."},
        {99999992.0f, "9999992."},
        {100000000.0f, " Huge!  "},
        {-999999.0f, "-999999."},
        {-1234567.0f, "-234567."},
        {-9999999.0f, "-999999."},
        {-10000000.0f, " Huge!  "},
        {kInfinity, " Huge!  "},
        {-kInfinity, " Huge!  "},
        {floatOf(0x00000001u), "0.000000"},  // the smallest positive float
        {floatOf(0x3F7FFFFFu), "0.999999"},  // just below 1: never rounded up
        {floatOf(0xBF7FFFFFu), "-0.99999"},
        {kNaN, "  NaN   "},
        {-kNaN, "  NaN   "},
    };
    for (const FloatRow& row : rows) {
        SCOPED_TRACE(describe(row.input));
        FormattingEffect effect;
        EXPECT_EQ(formatted([&](char* text) { effect.float2string(row.input, text); }), row.text);
    }
    static_assert(std::bit_cast<std::uint32_t>(99999992.0f) + 1 == std::bit_cast<std::uint32_t>(100000000.0f),
                  "neighbours around the limit 99999999");
}

TEST(Formatters, Float2stringWritesEightCharactersForEveryBitPattern) {
    const std::uint32_t seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    FormattingEffect effect;
    for (int i = 0; i < 20000; ++i) {
        const float input = floatOf(static_cast<std::uint32_t>(random()));
        const std::string text = formatted([&](char* out) { effect.float2string(input, out); });
        ASSERT_EQ(text.size(), 8u) << describe(input) << " gave \"" << text << "\"";
        if (text == " Huge!  " || text == "  NaN   ") continue;
        ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos) << describe(input) << ": " << text;
        ASSERT_EQ(text.find('.'), text.rfind('.')) << describe(input) << ": " << text;
    }
}

TEST(Formatters, Db2stringShowsTheGainInDecibels) {
    const FloatRow rows[] = {
        {1.0f, "0.000000"},      {0.5f, "-6.02059"},
        {0.25f, "-12.0411"},     {0.1f, "-20.0000"},
        {0.001f, "-60.0000"},    {2.0f, "6.020599"},
        {0.0f, "  -oo   "},      {-0.0f, "  -oo   "},
        {-0.5f, "  -oo   "},     {floatOf(0x00000001u), "-897.069"},
        {kNaN, "  -oo   "},      {-kInfinity, "  -oo   "},
        {kInfinity, " Huge!  "},
    };
    for (const FloatRow& row : rows) {
        SCOPED_TRACE(describe(row.input));
        FormattingEffect effect;
        EXPECT_EQ(formatted([&](char* text) { effect.dB2string(row.input, text); }), row.text);
    }
}

TEST(Formatters, Hz2stringAndMs2stringUseTheDefaultSampleRate) {
    struct Row {
        float samples;
        const char* hertz;
        const char* milliseconds;
    };
    const Row rows[] = {
        {0.0f, "0.000000", "0.000000"},    {1.0f, "44100.00", "0.022675"},     {441.0f, "100.0000", "10.00000"},
        {1024.0f, "43.06640", "23.21995"}, {44100.0f, "1.000000", "1000.000"}, {-441.0f, "-100.000", "-10.0000"},
        {0.0001f, " Huge!  ", "0.000002"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(describe(row.samples));
        FormattingEffect effect;
        ASSERT_EQ(effect.getSampleRate(), 44100.0f);
        EXPECT_EQ(formatted([&](char* text) { effect.Hz2string(row.samples, text); }), row.hertz);
        EXPECT_EQ(formatted([&](char* text) { effect.ms2string(row.samples, text); }), row.milliseconds);
    }
}

// A zero or NaN rate is the host's doing; the texts stay eight characters.
TEST(Formatters, Hz2stringAndMs2stringSurviveADegenerateSampleRate) {
    struct Row {
        float rate;
        float samples;
        const char* hertz;
        const char* milliseconds;
    };
    const Row rows[] = {
        {0.0f, 1.0f, "0.000000", " Huge!  "},     {0.0f, 0.0f, "0.000000", "  NaN   "},
        {kNaN, 1.0f, "  NaN   ", "  NaN   "},     {kNaN, 0.0f, "0.000000", "  NaN   "},
        {44100.0f, kNaN, "0.000000", "  NaN   "}, {48000.0f, 480.0f, "100.0000", "10.00000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "rate " << describe(row.rate) << ", samples " << describe(row.samples));
        FormattingEffect effect;
        effect.setSampleRate(row.rate);
        EXPECT_EQ(formatted([&](char* text) { effect.Hz2string(row.samples, text); }), row.hertz);
        EXPECT_EQ(formatted([&](char* text) { effect.ms2string(row.samples, text); }), row.milliseconds);
    }
}

TEST(Formatters, Long2stringRightAlignsInSevenAndCutsAfterEight) {
    struct Row {
        std::int32_t value;
        const char* text;
    };
    const Row rows[] = {
        {0, "      0"},          {7, "      7"},
        {-7, "     -7"},         {1234567, "1234567"},
        {12345678, "12345678"},  {99999999, "99999999"},
        {100000000, " Huge!  "}, {std::numeric_limits<std::int32_t>::max(), " Huge!  "},
        {-9999999, "-9999999"},  {-10000000, "-1000000"},
        {-12345678, "-1234567"}, {std::numeric_limits<std::int32_t>::min(), "-2147483"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        FormattingEffect effect;
        EXPECT_EQ(formatted([&](char* text) { effect.long2string(row.value, text); }), row.text);
    }
}

// An effect that overrides float2string or getSampleRate changes the texts built on them.
TEST(Formatters, DerivedTextsGoThroughTheVirtualOperations) {
    class Overriding final : public PluginEffect {
    public:
        Overriding() : PluginEffect(nullptr, 1, 1) {}
        void process(float**, float**, std::int32_t) override {}
        float getSampleRate() override { return 1000.0f; }
        void float2string(float value, char* text) override {
            const std::string shown = "<" + std::to_string(static_cast<int>(value)) + ">";
            text[shown.copy(text, kVstValueTextLen - 1)] = '\0';
        }
    };
    Overriding effect;
    EXPECT_EQ(formatted([&](char* text) { effect.dB2string(0.1f, text); }), "<-20>");
    EXPECT_EQ(formatted([&](char* text) { effect.Hz2string(4.0f, text); }), "<250>");
    EXPECT_EQ(formatted([&](char* text) { effect.ms2string(4.0f, text); }), "<4>");
    EXPECT_EQ(formatted([&](char* text) { effect.dB2string(0.0f, text); }), "  -oo   ");
}

}  // namespace
}  // namespace zandrel::test
