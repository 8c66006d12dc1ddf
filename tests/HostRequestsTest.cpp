// Requests to the host: the opcode and arguments each sends, how the host's
// answer becomes the result, and the fixed answers when there is no host.
#include "Parameters.h"
#include "RecordingEffect.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <ostream>
#include <variant>
#include <vector>

namespace zandrel::test {
namespace {

using host::CreateError;

// What one call to the host carried after the effect argument.
struct Sent {
    std::int32_t opcode;
    std::int32_t index = 0;
    VstIntPtr value = 0;
    const void* ptr = nullptr;
    float opt = 0.0f;
    bool operator==(const Sent&) const = default;
};

void PrintTo(const Sent& s, std::ostream* out) {
    *out << "opcode " << s.opcode << ", index " << s.index << ", value " << s.value << ", ptr " << s.ptr << ", opt "
         << s.opt;
}

// The host of these tests: records every call and answers as configured.
struct RecordingHost {
    VstIntPtr answer = 0;
    std::vector<const AEffect*> effects;
    std::vector<Sent> calls;
    // Runs inside the callback, before it answers.
    std::function<void(AEffect*, std::int32_t opcode)> whileAnswering;
};

RecordingHost* activeHost = nullptr;

VstIntPtr ZANDREL_VSTCALL hostCallback(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value,
                                       void* ptr, float opt) {
    activeHost->effects.push_back(effect);
    activeHost->calls.push_back({opcode, index, value, ptr, opt});
    if (activeHost->whileAnswering) activeHost->whileAnswering(effect, opcode);
    return activeHost->answer;
}

class HostRequests : public ::testing::Test {
protected:
    HostRequests() { activeHost = &host; }
    ~HostRequests() override { activeHost = nullptr; }
    RecordingHost host;
};

// A request's result: nothing, a truth value, an integer, a float or a pointer.
using Result = std::variant<std::monostate, bool, std::int32_t, float, Pointer>;

Result pointerResult(void* p) { return Pointer{reinterpret_cast<VstIntPtr>(p)}; }

char hostText[32];  // passed on as a pointer, never read through

struct Row {
    const char* name;
    std::function<Result(RecordingEffect&)> request;
    VstIntPtr hostAnswer;
    Sent sent;
    Result result;
    Result withoutHost;
};

const std::vector<Row>& requestTable() {
    using E = RecordingEffect;
    const void* const t = hostText;
    const VstIntPtr wide = kWidePattern;
    const Result none;
    const Result null = Pointer{0};
    const Result widePtr = Pointer{wide};
    // clang-format off
    static const std::vector<Row> rows{
        {"setParameterAutomated", [](E& e) -> Result { return e.setParameterAutomated(2, 0.5f), Result{}; },
            9, {audioMasterAutomate, 2, 0, nullptr, 0.5f}, none, none},
        {"hostVersion answered 2", [](E& e) -> Result { return e.hostVersion(); }, 2, {audioMasterVersion}, 2, 1},
        {"hostVersion answered 0", [](E& e) -> Result { return e.hostVersion(); }, 0, {audioMasterVersion}, 1, 1},
        {"hostVersion answered 2400", [](E& e) -> Result { return e.hostVersion(); }, 2400, {audioMasterVersion}, 2400, 1},
        {"hostCurrentId", [](E& e) -> Result { return e.hostCurrentId(); }, 0x51, {audioMasterCurrentId}, 0x51, 0},
        {"hostIdle", [](E& e) -> Result { return e.hostIdle(), Result{}; }, 1, {audioMasterIdle}, none, none},
        {"isInputConnected answered 0", [](E& e) -> Result { return e.isInputConnected(3); },
            0, {audioMasterPinConnected, 3, 0}, true, true},
        {"isInputConnected answered 1", [](E& e) -> Result { return e.isInputConnected(3); },
            1, {audioMasterPinConnected, 3, 0}, false, true},
        {"isOutputConnected answered 0", [](E& e) -> Result { return e.isOutputConnected(3); },
            0, {audioMasterPinConnected, 3, 1}, true, true},
        {"isOutputConnected answered -1", [](E& e) -> Result { return e.isOutputConnected(3); },
            -1, {audioMasterPinConnected, 3, 1}, false, true},
        {"hostWantMidi", [](E& e) -> Result { return e.hostWantMidi(5), Result{}; },
            1, {audioMasterWantMidi, 0, 5}, none, none},
        {"hostGetTime", [](E& e) -> Result { return pointerResult(e.hostGetTime(0x0F00)); },
            wide, {audioMasterGetTime, 0, 0x0F00}, widePtr, null},
        {"hostTempoAt", [](E& e) -> Result { return e.hostTempoAt(44100); },
            1200000, {audioMasterTempoAt, 0, 44100}, 1200000, 0},
        {"hostProcessEvents answered 1", [](E& e) -> Result { return e.hostProcessEvents(hostText); },
            1, {audioMasterProcessEvents, 0, 0, t}, true, false},
        {"hostProcessEvents answered 0", [](E& e) -> Result { return e.hostProcessEvents(hostText); },
            0, {audioMasterProcessEvents, 0, 0, t}, false, false},
        {"hostProcessEvents answered 2", [](E& e) -> Result { return e.hostProcessEvents(hostText); },
            2, {audioMasterProcessEvents, 0, 0, t}, false, false},
        {"hostProcessEvents answered -1", [](E& e) -> Result { return e.hostProcessEvents(hostText); },
            -1, {audioMasterProcessEvents, 0, 0, t}, false, false},
        {"hostGetNumAutomatableParameters", [](E& e) -> Result { return e.hostGetNumAutomatableParameters(); },
            7, {audioMasterGetNumAutomatableParameters}, 7, 0},
        {"hostGetParameterQuantization", [](E& e) -> Result { return e.hostGetParameterQuantization(); },
            100, {audioMasterGetParameterQuantization}, 100, 0},
        {"hostIOChanged answered -1", [](E& e) -> Result { return e.hostIOChanged(); },
            -1, {audioMasterIOChanged}, true, false},
        {"hostIOChanged answered 0", [](E& e) -> Result { return e.hostIOChanged(); },
            0, {audioMasterIOChanged}, false, false},
        {"hostNeedIdle", [](E& e) -> Result { return e.hostNeedIdle(); }, 2, {audioMasterNeedIdle}, true, false},
        {"hostSizeWindow", [](E& e) -> Result { return e.hostSizeWindow(640, 480); },
            1, {audioMasterSizeWindow, 640, 480}, true, false},
        // The host's answer is dropped: the field is the result.
        {"hostGetSampleRate", [](E& e) -> Result { return e.hostGetSampleRate(); },
            96000, {audioMasterGetSampleRate}, 44100.0f, 44100.0f},
        {"hostGetBlockSize", [](E& e) -> Result { return e.hostGetBlockSize(); },
            64, {audioMasterGetBlockSize}, 1024, 1024},
        {"hostGetInputLatency", [](E& e) -> Result { return e.hostGetInputLatency(); },
            128, {audioMasterGetInputLatency}, 128, 0},
        {"hostGetOutputLatency", [](E& e) -> Result { return e.hostGetOutputLatency(); },
            -256, {audioMasterGetOutputLatency}, -256, 0},
        // The pin number is not passed on.
        {"hostGetPreviousPlug", [](E& e) -> Result { return pointerResult(e.hostGetPreviousPlug(5)); },
            wide, {audioMasterGetPreviousPlug}, widePtr, null},
        {"hostGetNextPlug", [](E& e) -> Result { return pointerResult(e.hostGetNextPlug(5)); },
            wide, {audioMasterGetNextPlug}, widePtr, null},
        {"hostWillReplaceOrAccumulate", [](E& e) -> Result { return e.hostWillReplaceOrAccumulate(); },
            2, {audioMasterWillReplaceOrAccumulate}, 2, 0},
        {"hostGetCurrentProcessLevel", [](E& e) -> Result { return e.hostGetCurrentProcessLevel(); },
            4, {audioMasterGetCurrentProcessLevel}, 4, 0},
        {"hostGetAutomationState", [](E& e) -> Result { return e.hostGetAutomationState(); },
            3, {audioMasterGetAutomationState}, 3, 0},
        {"hostOfflineRead from the source", [](E& e) -> Result { return e.hostOfflineRead(hostText, 9, true); },
            5, {audioMasterOfflineRead, 1, 9, t}, true, false},
        {"hostOfflineRead not from the source", [](E& e) -> Result { return e.hostOfflineRead(hostText, 9, false); },
            0, {audioMasterOfflineRead, 0, 9, t}, false, false},
        {"hostOfflineWrite", [](E& e) -> Result { return e.hostOfflineWrite(hostText, 9); },
            1, {audioMasterOfflineWrite, 0, 9, t}, true, false},
        {"hostOfflineStart", [](E& e) -> Result { return e.hostOfflineStart(hostText, 4, 2); },
            -1, {audioMasterOfflineStart, 2, 4, t}, true, false},
        {"hostOfflineGetCurrentPass answered 5", [](E& e) -> Result { return e.hostOfflineGetCurrentPass(); },
            5, {audioMasterOfflineGetCurrentPass}, 1, 0},
        {"hostOfflineGetCurrentPass answered 0", [](E& e) -> Result { return e.hostOfflineGetCurrentPass(); },
            0, {audioMasterOfflineGetCurrentPass}, 0, 0},
        {"hostOfflineGetCurrentMetaPass", [](E& e) -> Result { return e.hostOfflineGetCurrentMetaPass(); },
            -1, {audioMasterOfflineGetCurrentMetaPass}, 1, 0},
        {"hostSetOutputSampleRate", [](E& e) -> Result { return e.hostSetOutputSampleRate(22050.0f), Result{}; },
            1, {audioMasterSetOutputSampleRate, 0, 0, nullptr, 22050.0f}, none, none},
        // The input pointer travels in value, at full width on 64-bit targets.
        {"hostGetSpeakerArrangement", [](E& e) -> Result { return e.hostGetSpeakerArrangement(widePointer(), hostText); },
            1, {audioMasterGetSpeakerArrangement, 0, wide, t}, true, false},
        {"hostGetVendorString", [](E& e) -> Result { return e.hostGetVendorString(hostText); },
            1, {audioMasterGetVendorString, 0, 0, t}, true, false},
        {"hostGetProductString", [](E& e) -> Result { return e.hostGetProductString(hostText); },
            0, {audioMasterGetProductString, 0, 0, t}, false, false},
        {"hostGetVendorVersion", [](E& e) -> Result { return e.hostGetVendorVersion(); },
            1234, {audioMasterGetVendorVersion}, 1234, 0},
        {"hostVendorSpecific", [](E& e) -> Result { return e.hostVendorSpecific(-1, 2, hostText, 0.75f); },
            -9, {audioMasterVendorSpecific, -1, 2, t, 0.75f}, -9, 0},
        {"hostCanDo answered -1", [](E& e) -> Result { return e.hostCanDo(hostText); },
            -1, {audioMasterCanDo, 0, 0, t}, 1, 0},
        {"hostCanDo answered 0", [](E& e) -> Result { return e.hostCanDo(hostText); },
            0, {audioMasterCanDo, 0, 0, t}, 0, 0},
        {"hostGetLanguage", [](E& e) -> Result { return e.hostGetLanguage(); }, 2, {audioMasterGetLanguage}, 2, 0},
        {"hostOpenWindow", [](E& e) -> Result { return pointerResult(e.hostOpenWindow(hostText)); },
            wide, {audioMasterOpenWindow, 0, 0, t}, widePtr, null},
        {"hostCloseWindow", [](E& e) -> Result { return e.hostCloseWindow(hostText); },
            3, {audioMasterCloseWindow, 0, 0, t}, true, false},
        {"hostGetDirectory", [](E& e) -> Result { return pointerResult(e.hostGetDirectory()); },
            wide, {audioMasterGetDirectory}, widePtr, null},
        {"hostUpdateDisplay", [](E& e) -> Result { return e.hostUpdateDisplay(); },
            1, {audioMasterUpdateDisplay}, true, false},
    };
    // clang-format on
    return rows;
}

TEST_F(HostRequests, SendOneCallAndShapeTheHostsAnswer) {
    for (const Row& row : requestTable()) {
        SCOPED_TRACE(row.name);
        std::vector<Call> log;
        RecordingEffect effect(log, hostCallback);
        host = {};
        host.answer = row.hostAnswer;
        EXPECT_EQ(row.request(effect), row.result);
        ASSERT_EQ(host.calls.size(), 1u);
        EXPECT_EQ(host.calls[0], row.sent);
        EXPECT_EQ(host.effects[0], effect.getDescriptor()) << "the effect argument is the record";
    }
}

TEST_F(HostRequests, GiveFixedAnswersWithoutAHost) {
    for (const Row& row : requestTable()) {
        SCOPED_TRACE(row.name);
        std::vector<Call> log;
        RecordingEffect effect(log, nullptr);
        EXPECT_EQ(row.request(effect), row.withoutHost);
    }
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HostRequests, AutomationSetsTheParameterBeforeTellingTheHost) {
    const std::vector<Call> setParameter{{"setParameter", {arg(2), arg(0.5f)}}};
    for (const bool withHost : {true, false}) {
        SCOPED_TRACE(withHost ? "with a host" : "without a host");
        std::vector<Call> log;
        RecordingEffect effect(log, withHost ? hostCallback : nullptr);
        std::vector<Call> seenByHost;
        host = {};
        host.whileAnswering = [&](AEffect*, std::int32_t) { seenByHost = log; };
        effect.setParameterAutomated(2, 0.5f);
        EXPECT_EQ(log, setParameter);
        if (withHost) {
            EXPECT_EQ(seenByHost, setParameter);
        }
    }
}

// A host may set the rate or size through the record while it answers the query.
TEST_F(HostRequests, QueriesReturnWhatTheHostSetWhileAnswering) {
    std::vector<Call> log;
    RecordingEffect effect(log, hostCallback);
    host.whileAnswering = [](AEffect* record, std::int32_t opcode) {
        if (opcode == audioMasterGetSampleRate) record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 22050.0f);
        if (opcode == audioMasterGetBlockSize) record->dispatcher(record, effSetBlockSize, 0, 333, nullptr, 0.0f);
    };
    host.answer = 96000;
    EXPECT_EQ(effect.hostGetSampleRate(), 22050.0f);
    host.answer = 64;
    EXPECT_EQ(effect.hostGetBlockSize(), 333);
    const std::vector<Call> setters{{"setSampleRate", {arg(22050.0f)}}, {"setBlockSize", {arg(333)}}};
    EXPECT_EQ(log, setters);
}

// Every opcode but effClose with harmless arguments, parameters, both
// processing entries, then effClose: only main's version query reaches the host.
TEST(HostRequestsOfTheFinishedEffect, NothingReachesTheHostAfterMain) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), CreateError::kNone);

    char text[256] = "Session";
    char speakers[64] = {};
    for (std::int32_t opcode = 0; opcode < kNumEffOpcodes; ++opcode) {
        if (opcode == effClose) continue;
        SCOPED_TRACE(opcode);
        for (std::int32_t index = 0; index < kNumParams; ++index) {
            VstIntPtr value = index % 2;
            float opt = 0.0f;
            if (opcode == effSetProgram) value = index % kNumPrograms;
            if (opcode == effSetBlockSize || opcode == effSetBlockSizeAndSampleRate) value = 512;
            if (opcode == effSetSampleRate || opcode == effSetBlockSizeAndSampleRate) opt = 48000.0f;
            if (opcode == effSetSpeakerArrangement) value = reinterpret_cast<VstIntPtr>(speakers);
            if (opcode == effSetProgramName) std::strcpy(text, "Session");
            plugin->dispatch(opcode, index, value, text, opt);
        }
    }

    float left[64];
    float right[64];
    for (int i = 0; i < 64; ++i) left[i] = right[i] = static_cast<float>(i - 32) / 32.0f;
    float outLeft[64] = {};
    float outRight[64] = {};
    float* inputs[] = {left, right};
    float* outputs[] = {outLeft, outRight};
    for (std::int32_t index = 0; index < kNumParams; ++index) {
        for (const float value : {0.0f, 0.5f, 1.0f}) {
            plugin->setParameter(index, value);
            (void)plugin->getParameter(index);
            plugin->processReplacing(inputs, outputs, 64);
            plugin->process(inputs, outputs, 64);
        }
    }
    EXPECT_EQ(plugin->close(), 1);

    const auto calls = plugin->calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(calls[0].effect, nullptr);
}

}  // namespace
}  // namespace zandrel::test
