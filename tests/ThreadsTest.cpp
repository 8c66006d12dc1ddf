// Calls the host contract rules out but real hosts make: parameter, text and
// program calls from another thread while audio runs. Under the tsan preset
// these runs are also checked for data races.
#include "RandomSession.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace zandrel::test {
namespace {

using host::CreateError;
using host::PluginInstance;

// The contract's capacities, terminator included: every text must fit.
bool textsFit(PluginInstance& plugin) {
    bool fit = plugin.programName().size() < kVstMaxProgNameLen;
    for (std::int32_t i = -1; i <= 7; ++i) {
        fit = fit && plugin.parameterName(i).size() < kVstMaxParamNameLen;
        fit = fit && plugin.parameterDisplay(i).size() < kVstMaxParamDisplayLen;
        fit = fit && plugin.parameterLabel(i).size() < kVstMaxParamLabelLen;
    }
    return fit;
}

// Inputs within -1..1 and gains clamped to 0..1 bound every output by 2 in
// magnitude, whatever mix of old and new settings a block runs with.
bool bounded(const std::vector<float>& samples) {
    for (float y : samples)
        if (!(std::fabs(y) <= 2.0f)) return false;
    return true;
}

TEST(Threads, ProcessingStaysSoundWhileAnotherThreadChangesEverything) {
    const std::uint32_t seed = freshSeed();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), CreateError::kNone);
    constexpr std::size_t kFrames = 256;
    constexpr int kMinBlocks = 2000, kMinRounds = 200;

    std::atomic<bool> audioDone{false};
    std::atomic<int> controlRounds{0};
    int unboundedBlocks = 0, badTexts = 0;

    std::thread control([&] {
        std::mt19937 random(seed);
        while (!audioDone.load()) {
            const auto index = static_cast<std::int32_t>(random() % 9) - 1;
            const bool hostile = random() % 4 == 0;
            std::uniform_real_distribution<float> unit(0.0f, 1.0f);
            plugin->setParameter(index, hostile ? kHostileValues[random() % kHostileValues.size()] : unit(random));
            plugin->getParameter(index);
            if (random() % 8 == 0) plugin->dispatch(effSetProgram, 0, static_cast<VstIntPtr>(random() % 8) - 1);
            if (random() % 8 == 0) {
                std::string name(random() % 64, 'n');
                plugin->dispatch(effSetProgramName, 0, 0, name.data());
            }
            if (!textsFit(*plugin)) ++badTexts;
            controlRounds.fetch_add(1);
        }
    });

    std::mt19937 signalRandom(seed + 1);
    std::uniform_real_distribution<float> audio(-1.0f, 1.0f);
    Stereo in{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    for (std::size_t i = 0; i < kFrames; ++i) in.left[i] = audio(signalRandom), in.right[i] = audio(signalRandom);
    Stereo out{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    for (int block = 0; block < kMinBlocks || controlRounds.load() < kMinRounds; ++block) {
        // process adds to the output: cleared first, both kernels share the bound.
        std::fill(out.left.begin(), out.left.end(), 0.0f);
        std::fill(out.right.begin(), out.right.end(), 0.0f);
        processSpan(*plugin, in, out, 0, static_cast<std::int32_t>(kFrames), block % 2 == 0);
        if (!bounded(out.left) || !bounded(out.right)) ++unboundedBlocks;
    }
    audioDone.store(true);
    control.join();
    EXPECT_EQ(unboundedBlocks, 0);
    EXPECT_EQ(badTexts, 0) << "texts longer than the contract's capacity";
}

// The master gain flips between 0.5 and 1.0 as fast as another thread can set
// it; a channel's block reads it once, so every block is scaled by one of them.
TEST(Threads, EachChannelBlockRunsWithTheSettingsItStartedWith) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), CreateError::kNone);
    constexpr std::size_t kFrames = 1024;
    constexpr int kMaxBlocks = 200000, kEnoughOfEach = 20;

    std::atomic<bool> audioDone{false};
    std::thread control([&] {
        while (!audioDone.load()) {
            plugin->setParameter(6, 0.5f);
            plugin->setParameter(6, 1.0f);
        }
    });

    Stereo in{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    for (std::size_t i = 0; i < kFrames; ++i) {
        in.left[i] = 0.25f + static_cast<float>(i) / 2048.0f;
        in.right[i] = -in.left[i];
    }
    Stereo out{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    int halved = 0, unity = 0, mixed = 0;
    for (int block = 0; block < kMaxBlocks && (halved < kEnoughOfEach || unity < kEnoughOfEach); ++block) {
        processSpan(*plugin, in, out, 0, static_cast<std::int32_t>(kFrames), true);
        for (const auto* channel : {&out.left, &out.right}) {
            const std::vector<float>& x = channel == &out.left ? in.left : in.right;
            const float gain = (*channel)[0] / x[0];
            bool uniform = gain == 0.5f || gain == 1.0f;
            for (std::size_t i = 0; i < kFrames && uniform; ++i) uniform = (*channel)[i] == x[i] * gain;
            if (!uniform)
                ++mixed;
            else if (gain == 0.5f)
                ++halved;
            else
                ++unity;
        }
    }
    audioDone.store(true);
    control.join();
    EXPECT_EQ(mixed, 0) << "blocks that changed gain part-way";
    EXPECT_GE(halved, kEnoughOfEach) << "the threads never overlapped";
    EXPECT_GE(unity, kEnoughOfEach) << "the threads never overlapped";
}

// A stream through an instance with seeded settings, block by block, both kernels in turn.
Stereo render(PluginInstance& plugin, std::uint32_t settingsSeed, const Stereo& in, std::size_t block) {
    std::mt19937 settings(settingsSeed);
    applyRandomSettings(plugin, settings);
    Stereo source = in;
    Stereo out{std::vector<float>(in.left.size()), std::vector<float>(in.left.size())};
    for (std::size_t begin = 0; begin < in.left.size(); begin += block)
        processSpan(plugin, source, out, begin, static_cast<std::int32_t>(block), (begin / block) % 2 == 0);
    return out;
}

TEST(Threads, TwoInstancesOnTwoThreadsMatchOneAfterTheOther) {
    const std::uint32_t seed = freshSeed();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    constexpr std::size_t kFrames = 1 << 16, kBlock = 512;
    const Stereo in = randomStereo(random, kFrames);
    const std::uint32_t seeds[2] = {static_cast<std::uint32_t>(random()), static_cast<std::uint32_t>(random())};

    Stereo alone[2];
    for (int i = 0; i < 2; ++i) {
        auto plugin = newPluginInstance();
        ASSERT_EQ(plugin->error(), CreateError::kNone);
        alone[i] = render(*plugin, seeds[i], in, kBlock);
    }

    auto first = newPluginInstance();
    auto second = newPluginInstance();
    ASSERT_EQ(first->error(), CreateError::kNone);
    ASSERT_EQ(second->error(), CreateError::kNone);
    Stereo together[2];
    std::atomic<int> ready{0};
    auto run = [&](PluginInstance& plugin, int i) {
        ready.fetch_add(1);
        while (ready.load() < 2) std::this_thread::yield();
        together[i] = render(plugin, seeds[i], in, kBlock);
    };
    std::thread a(run, std::ref(*first), 0);
    std::thread b(run, std::ref(*second), 1);
    a.join();
    b.join();

    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(firstDifference(together[i].left, alone[i].left), -1) << "instance " << i;
        EXPECT_EQ(firstDifference(together[i].right, alone[i].right), -1) << "instance " << i;
    }
}

}  // namespace
}  // namespace zandrel::test
