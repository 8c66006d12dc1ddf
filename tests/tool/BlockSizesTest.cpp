// Block-size sequences: fixed, or random yet reproducible from the seed.
#include "BlockSizes.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace zandrel::tool {
namespace {

std::vector<std::int32_t> draw(BlockSizes sizes, int count) {
    std::vector<std::int32_t> drawn;
    for (int i = 0; i < count; ++i) drawn.push_back(sizes.next());
    return drawn;
}

TEST(BlockSizes, WithoutASeedEveryBlockHasTheLargestSize) {
    EXPECT_EQ(draw(BlockSizes(300, std::nullopt), 4), (std::vector<std::int32_t>{300, 300, 300, 300}));
}

TEST(BlockSizes, RandomSizesStayWithinOneToTheLargestAndReachBothEnds) {
    for (const std::int32_t largest : {1, 2, 7, 4096}) {
        SCOPED_TRACE(largest);
        const auto drawn = draw(BlockSizes(largest, 99), 2000);
        const std::set<std::int32_t> distinct(drawn.begin(), drawn.end());
        EXPECT_EQ(*distinct.begin(), 1);
        EXPECT_EQ(*distinct.rbegin(), largest);
        if (largest >= 7) {
            EXPECT_GE(distinct.size(), static_cast<std::size_t>(largest < 100 ? largest : 100));
        }
    }
}

TEST(BlockSizes, TheSeedAloneDecidesTheSequence) {
    EXPECT_EQ(draw(BlockSizes(512, 1), 50), draw(BlockSizes(512, 1), 50));
    EXPECT_NE(draw(BlockSizes(512, 1), 50), draw(BlockSizes(512, 2), 50));
}

}  // namespace
}  // namespace zandrel::tool
