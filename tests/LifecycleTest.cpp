// Instances of the built plug-in as hosts create and drop them: thousands of
// main/effClose cycles, many at once, and one the host never closes. Leaks are
// LeakSanitizer's to find in the asan preset.
#include "RandomSession.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace zandrel::test {
namespace {

using host::CreateError;
using host::PluginInstance;

// What a host reads from an instance, enough to tell a fresh one from a used one.
struct Readings {
    std::array<float, 7> parameters;
    std::int32_t program;
    std::string name;

    friend bool operator==(const Readings&, const Readings&) = default;
};

Readings read(PluginInstance& plugin) {
    Readings r{};
    for (std::int32_t i = 0; i < 7; ++i) r.parameters[static_cast<std::size_t>(i)] = plugin.getParameter(i);
    r.program = static_cast<std::int32_t>(plugin.dispatch(effGetProgram));
    r.name = plugin.programName();
    return r;
}

std::string describe(const Readings& r) {
    std::string text = "program " + std::to_string(r.program) + " \"" + r.name + "\"";
    for (float p : r.parameters) text += " " + std::to_string(p);
    return text;
}

TEST(Lifecycle, ThousandsOfMainAndCloseCyclesEachStartFresh) {
    const std::uint32_t seed = freshSeed();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const Readings fresh{{0.5f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f}, 0, "Zandrel"};

    for (int cycle = 0; cycle < 3000; ++cycle) {
        PluginInstance plugin(pluginLibrary().entry());
        ASSERT_EQ(plugin.error(), CreateError::kNone) << "cycle " << cycle;
        const Readings first = read(plugin);
        ASSERT_EQ(first, fresh) << "cycle " << cycle << ": " << describe(first);

        // Leave the instance as unlike a fresh one as possible before it goes.
        applyRandomSettings(plugin, random);
        char name[] = "used and closed";
        plugin.dispatch(effSetProgramName, 0, 0, name);
        Stereo in = randomStereo(random, 16), out = randomStereo(random, 16);
        processSpan(plugin, in, out, 0, 16, cycle % 2 == 0);
        ASSERT_EQ(plugin.close(), 1);
    }
}

TEST(Lifecycle, ManyLiveInstancesKeepTheirOwnState) {
    const std::uint32_t seed = freshSeed();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    constexpr std::size_t kInstances = 64, kFrames = 2048, kBlock = 256;

    std::vector<std::unique_ptr<PluginInstance>> live;
    std::vector<std::mt19937> settings;
    for (std::size_t i = 0; i < kInstances; ++i) {
        live.push_back(newPluginInstance());
        ASSERT_EQ(live.back()->error(), CreateError::kNone);
        settings.emplace_back(random());
        std::mt19937 own = settings.back();
        applyRandomSettings(*live.back(), own);
        std::string name = "instance " + std::to_string(i);
        live.back()->dispatch(effSetProgramName, 0, 0, name.data());
    }

    // Every instance one block at a time, in turn, on one shared input.
    Stereo in = randomStereo(random, kFrames);
    std::vector<Stereo> out(kInstances, Stereo{std::vector<float>(kFrames), std::vector<float>(kFrames)});
    for (std::size_t begin = 0; begin < kFrames; begin += kBlock) {
        for (std::size_t i = 0; i < kInstances; ++i)
            processSpan(*live[i], in, out[i], begin, static_cast<std::int32_t>(kBlock), true);
    }

    for (std::size_t i = 0; i < kInstances; ++i) {
        SCOPED_TRACE(::testing::Message() << "instance " << i);
        EXPECT_EQ(live[i]->programName(), "instance " + std::to_string(i));
        auto alone = newPluginInstance();
        std::mt19937 own = settings[i];
        applyRandomSettings(*alone, own);
        Stereo expected{std::vector<float>(kFrames), std::vector<float>(kFrames)};
        processSpan(*alone, in, expected, 0, static_cast<std::int32_t>(kFrames), true);
        EXPECT_EQ(firstDifference(out[i].left, expected.left), -1);
        EXPECT_EQ(firstDifference(out[i].right, expected.right), -1);
    }
    std::shuffle(live.begin(), live.end(), random);
    for (auto& plugin : live) EXPECT_EQ(plugin->close(), 1);
}

VstIntPtr ZANDREL_VSTCALL forgetfulHost(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Kept reachable on purpose: LeakSanitizer reports only memory nothing points
// to, and what a host forgets is a leak of the host's, not the plug-in's.
AEffect* neverClosed = nullptr;

// The program then ends, and unloads the library, with the instance still open.
TEST(Lifecycle, AnInstanceTheHostNeverClosesKeepsWorkingAndIsOnlyALeak) {
    neverClosed = pluginLibrary().entry()(forgetfulHost);
    ASSERT_NE(neverClosed, nullptr);
    AEffect* e = neverClosed;
    e->dispatcher(e, effSetProgram, 0, 1, nullptr, 0.0f);  // the inverter

    for (int i = 0; i < 100; ++i) {
        auto other = newPluginInstance();
        ASSERT_EQ(other->error(), CreateError::kNone);
        other->setParameter(2, 0.25f);
    }

    float in[] = {0.5f, -0.25f};
    float left[2] = {}, right[2] = {};
    float* inputs[] = {in, in};
    float* outputs[] = {left, right};
    e->processReplacing(e, inputs, outputs, 2);
    EXPECT_EQ(left[0], -16385.0f / 32768.0f);
    EXPECT_EQ(right[1], 8191.0f / 32768.0f);
    EXPECT_EQ(e->getParameter(e, 2), 1.0f) << "the others' settings stayed theirs";
}

}  // namespace
}  // namespace zandrel::test
