// Which files a plug-in's channels can take: equal counts, or mono into every input.
#include "ChannelLayout.h"

#include <gtest/gtest.h>

namespace zandrel::tool {
namespace {

TEST(Layout, AcceptsEqualCountsAndMonoAndNamesTheMismatchOtherwise) {
    const struct {
        std::int32_t file, inputs, outputs;
        bool inPlace;
        const char* problem;  // nullptr: accepted
    } cases[] = {
        {2, 2, 2, false, nullptr},
        {1, 2, 2, false, nullptr},
        {1, 1, 2, false, nullptr},
        {4, 4, 2, true, nullptr},
        {3, 2, 2, false, "the file has 3 channels and the plug-in takes 2 inputs"},
        {2, 1, 1, false, "the file has 2 channels and the plug-in takes 1 input"},
        {2, 4, 4, false, "the file has 2 channels and the plug-in takes 4 inputs"},
        {1, 0, 2, false, "the plug-in has 0 inputs and 2 outputs"},
        {1, 1, 0, false, "the plug-in has 1 input and 0 outputs"},
        {2, 2, -3, false, "rendering needs 1 to 64 of each"},
        {65, 65, 2, false, "rendering needs 1 to 64 of each"},
        {1, 1, 2, true, "--in-place needs no more outputs than inputs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " into " << c.inputs << "/" << c.outputs);
        const auto problem = layoutProblem(c.file, c.inputs, c.outputs, c.inPlace);
        if (!c.problem) {
            EXPECT_FALSE(problem) << *problem;
        } else {
            ASSERT_TRUE(problem);
            EXPECT_NE(problem->find(c.problem), std::string::npos) << *problem;
        }
    }
}

}  // namespace
}  // namespace zandrel::tool
