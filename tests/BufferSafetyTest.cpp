// The buffers a host hands over, through the built plug-in: text requests write
// the text and its terminator and nothing else, processing never writes its
// input, and results do not depend on how a stream is cut into blocks.
#include "GuardedBuffer.h"
#include "RandomSession.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace zandrel::test {
namespace {

constexpr char kFill = '\x5A';
constexpr char kGuard = '\x7E';

struct TextRequest {
    std::int32_t opcode;
    std::size_t capacity;  // what the host contract gives, terminator included
};

// The effect's four texts, and the interface's other text answers, which this
// effect leaves as they were.
constexpr std::array<TextRequest, 9> kTextRequests{{
    {effGetProgramName, kVstMaxProgNameLen},
    {effGetParamLabel, kVstMaxParamLabelLen},
    {effGetParamDisplay, kVstMaxParamDisplayLen},
    {effGetParamName, kVstMaxParamNameLen},
    {effGetProgramNameIndexed, kVstMaxProgNameLen},
    {effGetEffectName, 32},
    {effGetErrorText, 256},
    {effGetVendorString, 64},
    {effGetProductString, 64},
}};

constexpr std::array<std::int32_t, 13> kIndices{
    std::numeric_limits<std::int32_t>::min(), -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8,
    std::numeric_limits<std::int32_t>::max()};

// Empty for a sound reply: the buffer as it was, or a text, its terminator and
// every later byte as it was.
std::string problemWith(const GuardedBuffer<char>& buffer) {
    if (!buffer.guardsIntact()) return "wrote outside the buffer";
    const char* bytes = buffer.data();
    bool untouched = true;
    for (std::size_t i = 0; i < buffer.size(); ++i) untouched = untouched && bytes[i] == kFill;
    if (untouched) return "";
    const std::size_t length = strnlen(bytes, buffer.size());
    if (length == buffer.size()) return "no terminator within the capacity";
    for (std::size_t i = length + 1; i < buffer.size(); ++i)
        if (bytes[i] != kFill) return "wrote byte " + std::to_string(i) + " after the terminator";
    return "";
}

// A fresh instance of the built plug-in, and a generator whose seed every
// failure prints.
class SeededSession : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(plugin->error(), host::CreateError::kNone); }

    const std::uint32_t seed = freshSeed();
    const ::testing::ScopedTrace trace{__FILE__, __LINE__, ::testing::Message() << "seed " << seed};
    std::mt19937 random{seed};
    std::unique_ptr<host::PluginInstance> plugin = newPluginInstance();
};

using TextRequests = SeededSession;
using Processing = SeededSession;

TEST_F(TextRequests, WriteOnlyTheTextAndItsTerminatorInEveryReachableState) {
    for (int round = 0; round < 200; ++round) {
        applyRandomSettings(*plugin, random);
        for (const TextRequest& request : kTextRequests) {
            for (std::int32_t index : kIndices) {
                GuardedBuffer<char> buffer(request.capacity, kFill, kGuard);
                const VstIntPtr answer = plugin->dispatch(request.opcode, index, 0, buffer.data());
                const std::string problem = problemWith(buffer);
                ASSERT_TRUE(problem.empty() && answer == 0)
                    << "opcode " << request.opcode << " index " << index << " round " << round << ": " << problem
                    << ", answer " << answer << ", text \"" << std::string(buffer.data(), buffer.size()) << "\"";
            }
        }
        for (std::int32_t opcode = effSetProgramName; opcode <= effGetParamName; ++opcode)
            ASSERT_EQ(plugin->dispatch(opcode, static_cast<std::int32_t>(random() % 9) - 1, 0, nullptr), 0) << opcode;
    }
}

TEST_F(Processing, OutOfPlaceNeverWritesTheInput) {
    for (int round = 0; round < 100; ++round) {
        applyRandomSettings(*plugin, random);
        const std::size_t frames = 1 + random() % 512;
        Stereo in = randomStereo(random, frames);
        const Stereo before = in;
        Stereo out = randomStereo(random, frames);
        const bool replacing = random() % 2 == 0;
        processSpan(*plugin, in, out, 0, static_cast<std::int32_t>(frames), replacing);
        ASSERT_EQ(firstDifference(in.left, before.left), -1) << (replacing ? "processReplacing" : "process");
        ASSERT_EQ(firstDifference(in.right, before.right), -1) << (replacing ? "processReplacing" : "process");
    }
}

// Blocks of random length, empty and negative counts among them, against one
// block for the whole stream on a twin instance with the same settings.
TEST_F(Processing, ResultsDoNotDependOnHowTheStreamIsCutIntoBlocks) {
    constexpr std::size_t kFrames = 4000;

    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        auto whole = newPluginInstance();
        auto cut = newPluginInstance();
        ASSERT_EQ(whole->error(), host::CreateError::kNone);
        ASSERT_EQ(cut->error(), host::CreateError::kNone);
        std::mt19937 settings(random());
        std::mt19937 twin = settings;
        applyRandomSettings(*whole, settings);
        applyRandomSettings(*cut, twin);

        const bool replacing = round % 2 == 0;
        Stereo in = randomStereo(random, kFrames);
        Stereo outWhole = randomStereo(random, kFrames);
        Stereo outCut = outWhole;
        processSpan(*whole, in, outWhole, 0, static_cast<std::int32_t>(kFrames), replacing);

        std::size_t position = 0;
        while (position < kFrames) {
            const auto pick = random() % 10;
            std::int32_t frames = 0;
            if (pick == 1)
                frames = -static_cast<std::int32_t>(1 + random() % 1000);
            else if (pick > 1)
                frames = static_cast<std::int32_t>(1 + random() % std::min<std::size_t>(600, kFrames - position));
            processSpan(*cut, in, outCut, position, frames, replacing);
            if (frames > 0) position += static_cast<std::size_t>(frames);
        }
        EXPECT_EQ(firstDifference(outCut.left, outWhole.left), -1) << (replacing ? "processReplacing" : "process");
        EXPECT_EQ(firstDifference(outCut.right, outWhole.right), -1) << (replacing ? "processReplacing" : "process");
    }
}

}  // namespace
}  // namespace zandrel::test
