// The statistics behind `plughost diff`, on small interleaved blocks.
#include "Diff.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace zandrel::tool {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(DiffStats, ReportsTheFirstDifferenceTheLargestAndTheRms) {
    const struct {
        const char* what;
        std::vector<double> a, b;
        bool identical;
        std::int64_t frame;
        std::int32_t channel;
        double maxAbsolute, rms;
    } cases[] = {
        {"equal", {0.5, -0.25, 1.0, 0.0}, {0.5, -0.25, 1.0, 0.0}, true, 0, 0, 0.0, 0.0},
        {"one sample in the right channel", {0, 0, 0, 0}, {0, 0, 0, 0.5}, false, 1, 1, 0.5, 0.25},
        {"the first of two wins", {0, 0, 1, 0}, {0, 0.25, 0, 0}, false, 0, 1, 1.0, std::sqrt(1.0625 / 4)},
        {"signed zeros differ in bits, not in size", {0.0, 0, 0, 0}, {-0.0, 0, 0, 0}, false, 0, 0, 0.0, 0.0},
        {"two NaNs differ in payload only", {kNaN, 0, 0, 0}, {-kNaN, 0, 0, 0}, false, 0, 0, 0.0, 0.0},
        {"the same infinity matches", {INFINITY, 0, 0, 0}, {INFINITY, 0, 0, 0}, true, 0, 0, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DiffStats stats;
        accumulateDiff(stats, c.a, c.b, 2, 0);
        EXPECT_EQ(stats.identical, c.identical);
        EXPECT_EQ(stats.samples, 4);
        if (!c.identical) {
            ASSERT_TRUE(stats.first);
            EXPECT_EQ(stats.first->frame, c.frame);
            EXPECT_EQ(stats.first->channel, c.channel);
        }
        EXPECT_DOUBLE_EQ(stats.maxAbsolute, c.maxAbsolute);
        EXPECT_DOUBLE_EQ(stats.rms(), c.rms);
    }
}

TEST(DiffStats, ANaNAgainstANumberMakesBothMeasuresNaN) {
    DiffStats stats;
    accumulateDiff(stats, std::vector<double>{kNaN, 5.0}, std::vector<double>{0.0, 0.0}, 1, 0);
    EXPECT_TRUE(std::isnan(stats.maxAbsolute));
    EXPECT_TRUE(std::isnan(stats.rms()));
}

TEST(DiffStats, KeepsCountingFramesAcrossBlocks) {
    DiffStats stats;
    const std::vector<double> zeros(6, 0.0), changed{0, 0, 0, 0, 0.125, 0};
    accumulateDiff(stats, zeros, zeros, 3, 0);
    accumulateDiff(stats, zeros, changed, 3, 2);
    ASSERT_TRUE(stats.first);
    EXPECT_EQ(stats.first->frame, 3);
    EXPECT_EQ(stats.first->channel, 1);
    EXPECT_EQ(stats.samples, 12);
    EXPECT_DOUBLE_EQ(stats.rms(), 0.125 / std::sqrt(12.0));
}

}  // namespace
}  // namespace zandrel::tool
