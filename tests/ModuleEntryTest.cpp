// main through the built library: its one host call, refusal, and instances.
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zandrel::test {
namespace {

using host::CreateError;
using host::HostCall;
using host::PluginInstance;

TEST(ModuleEntry, LibraryExportsAnEntry) {
    ASSERT_EQ(pluginLibrary().error(), host::LoadError::kNone) << pluginPath() << " " << pluginLibrary().errorText();
    ASSERT_NE(pluginLibrary().entry(), nullptr);
}

TEST(ModuleEntry, AsksTheHostVersionOnceWithANullEffect) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), CreateError::kNone);
    const auto calls = plugin->calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].effect, nullptr);
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(calls[0].index, 0);
    EXPECT_EQ(calls[0].value, 0);
    EXPECT_EQ(calls[0].ptr, nullptr);
    EXPECT_EQ(std::memcmp(&calls[0].opt, "\0\0\0\0", 4), 0) << "opt must be +0.0";
}

TEST(ModuleEntry, AcceptsEveryNonZeroVersionAndRefusesZero) {
    for (VstIntPtr version : {VstIntPtr{0}, VstIntPtr{1}, VstIntPtr{2}, VstIntPtr{-1}, VstIntPtr{2400}}) {
        SCOPED_TRACE(version);
        PluginInstance plugin(pluginLibrary().entry(), host::HostSettings{version});
        EXPECT_EQ(plugin.error(), version == 0 ? CreateError::kEntryReturnedNull : CreateError::kNone);
        EXPECT_EQ(plugin.calls().size(), 1u) << "the version query is the only call during creation";
    }
}

TEST(ModuleEntry, ReturnsARecordInsideItsOwnEffect) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), CreateError::kNone);
    const AEffect* record = plugin->effect();
    EXPECT_EQ(record->magic, kEffectMagic);
    const auto* object = static_cast<const unsigned char*>(record->object);
    const auto* address = reinterpret_cast<const unsigned char*>(record);
    EXPECT_TRUE(address > object && address < object + 4096) << "the record lies inside the effect object";
}

TEST(ModuleEntry, TwoInstancesAreIndependent) {
    auto first = newPluginInstance();
    auto second = newPluginInstance();
    ASSERT_EQ(first->error(), CreateError::kNone);
    ASSERT_EQ(second->error(), CreateError::kNone);
    EXPECT_NE(first->effect(), second->effect());
    EXPECT_NE(first->effect()->object, second->effect()->object);

    first->setParameter(2, 0.75f);
    EXPECT_EQ(second->getParameter(2), 0.0f);
    EXPECT_EQ(first->close(), 1);

    float in[4] = {0.25f, -0.5f, 0.0f, 1.0e-3f};
    float out[4] = {};
    float* inputs[] = {in, in};
    float* outputs[] = {out, out};
    second->processReplacing(inputs, outputs, 4);
    EXPECT_EQ(std::memcmp(in, out, sizeof in), 0) << "the instance left open still passes audio through";
}

}  // namespace
}  // namespace zandrel::test
