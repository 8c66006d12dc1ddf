// Float samples to PCM integers: exact round trips, rounding and overload.
#include "SampleConversion.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zandrel::tool {
namespace {

TEST(SampleConversion, EverySixteenBitSampleSurvivesTheRoundTrip) {
    // A 16-bit file reads as k / 32768; writing that back must give k again.
    for (int k = -32768; k <= 32767; ++k) {
        const float x = static_cast<float>(k) / 32768.0f;
        ASSERT_EQ(toPcm(x, 16), k * 65536) << k;
    }
}

TEST(SampleConversion, RoundsToNearestAndClampsOverloads) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float y;
        int bits;
        std::int64_t expected;  // before the shift to the top bits
    } cases[] = {
        {1.0f, 16, 32767},      {-1.0f, 16, -32768},    {1.5f, 16, 32767},      {-7.0f, 16, -32768},
        {inf, 16, 32767},       {-inf, 16, -32768},     {nan, 16, 0},           {0.5f / 32768, 16, 0},
        {1.5f / 32768, 16, 2},  {-0.5f / 32768, 16, 0}, {0.75f / 32768, 16, 1}, {-0.75f / 32768, 16, -1},
        {1.0f, 24, 8388607},    {-1.0f, 24, -8388608},  {0.5f, 24, 4194304},    {1.0f, 8, 127},
        {-1.0f, 8, -128},       {0.25f, 8, 32},         {1.0f, 32, 2147483647}, {-1.0f, 32, -2147483648LL},
        {0.5f, 32, 1073741824},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << " in " << c.bits << " bits");
        EXPECT_EQ(toPcm(c.y, c.bits), static_cast<std::int32_t>(c.expected * (std::int64_t{1} << (32 - c.bits))));
    }
}

TEST(SampleConversion, KnowsTheWidthOfEachPcmEncoding) {
    EXPECT_EQ(pcmBits(SF_FORMAT_WAV | SF_FORMAT_PCM_U8), 8);
    EXPECT_EQ(pcmBits(SF_FORMAT_AIFF | SF_FORMAT_PCM_S8), 8);
    EXPECT_EQ(pcmBits(SF_FORMAT_WAV | SF_FORMAT_PCM_16), 16);
    EXPECT_EQ(pcmBits(SF_FORMAT_FLAC | SF_FORMAT_PCM_24), 24);
    EXPECT_EQ(pcmBits(SF_FORMAT_WAV | SF_FORMAT_PCM_32), 32);
    EXPECT_EQ(pcmBits(SF_FORMAT_WAV | SF_FORMAT_FLOAT), 0);
    EXPECT_EQ(pcmBits(SF_FORMAT_WAV | SF_FORMAT_ULAW), 0);
}

}  // namespace
}  // namespace zandrel::tool
