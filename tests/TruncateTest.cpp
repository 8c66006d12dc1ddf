// The one float-to-integer conversion: exact truncation, and the x86 answer
// (INT64_MIN, low bits zero) wherever C++ would leave the cast undefined.
#include "Truncate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zandrel {
namespace {

TEST(Truncate, TruncatesTowardZeroAndGivesInt64MinOutsideTheRange) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double x;
        std::int64_t expected;
    } cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {0.999999, 0},
        {-0.999999, 0},
        {1.5, 1},
        {-1.5, -1},
        {32767.99, 32767},
        {-32768.5, -32768},
        {4294967296.5, 4294967296},
        {9007199254740993.0, 9007199254740992},        // rounds to 2^53 as a double already
        {9223372036854774784.0, 9223372036854774784},  // the largest double below 2^63
        {-9223372036854775808.0, std::numeric_limits<std::int64_t>::min()},
        {9223372036854775808.0, std::numeric_limits<std::int64_t>::min()},
        {-9223372036854777856.0, std::numeric_limits<std::int64_t>::min()},
        {1.0e300, std::numeric_limits<std::int64_t>::min()},
        {kInf, std::numeric_limits<std::int64_t>::min()},
        {-kInf, std::numeric_limits<std::int64_t>::min()},
        {kNaN, std::numeric_limits<std::int64_t>::min()},
        {-kNaN, std::numeric_limits<std::int64_t>::min()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(truncateToInt64(c.x), c.expected);
    }
}

TEST(Truncate, NarrowFieldsKeepTheLowBitsWithTwosComplementWrap) {
    EXPECT_EQ(truncateToInt16(32768.0), -32768);
    EXPECT_EQ(truncateToInt16(65535.9), -1);
    EXPECT_EQ(truncateToInt16(65536.0), 0);
    EXPECT_EQ(truncateToInt16(-32769.0), 32767);
    EXPECT_EQ(truncateToInt8(200.0), -56);
    EXPECT_EQ(truncateToInt8(-129.0), 127);
    EXPECT_EQ(truncateToInt32(2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(truncateToInt32(4294967297.0), 1);
    EXPECT_EQ(truncateToInt32(-4294967297.0), -1);
    // Out of range: the low bits of INT64_MIN are all zero.
    EXPECT_EQ(truncateToInt32(std::nan("")), 0);
    EXPECT_EQ(truncateToInt16(1.0e19), 0);
    EXPECT_EQ(truncateToInt8(-HUGE_VAL), 0);
}

}  // namespace
}  // namespace zandrel
