// The opcode table: which operation each opcode reaches, with which arguments,
// behind which guard, and how its result becomes the host's answer.
#include "Parameters.h"
#include "RecordingEffect.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace zandrel::test {
namespace {

using host::CreateError;

// The ptr of every row that passes one. The recording effect never reads it;
// the built effect reads and writes it as a text buffer.
char hostText[64];

// What a recording operation answers when it says "yes"; "no" is false, 0 and null.
constexpr std::int32_t kNumber = -77;

struct Row {
    std::int32_t opcode;
    std::int32_t index;
    VstIntPtr value;
    void* ptr;
    float opt;
    std::vector<Call> calls;  // what the recording effect sees
    VstIntPtr answerToYes;    // the host's answer when the operation says yes
    VstIntPtr answerToNo;
    VstIntPtr finished;  // the built plug-in's answer
};

const std::vector<Row>& opcodeTable() {
    char* const t = hostText;
    const VstIntPtr wide = kWidePattern;
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    // clang-format off
    static const std::vector<Row> rows{
        // opcode, index, value, ptr, opt          calls                                              yes      no  finished
        {effOpen, 0, 0, nullptr, 0.0f,             {{"open", {}}},                                    0,       0,  0},
        {effSetProgram, 0, 4, nullptr, 0.0f,       {{"setProgram", {arg(4)}}},                        0,       0,  0},
        {effSetProgram, 0, 5, nullptr, 0.0f,       {},                                                0,       0,  0},
        {effSetProgram, 0, 6, nullptr, 0.0f,       {},                                                0,       0,  0},
        {effSetProgram, 0, -1, nullptr, 0.0f,      {{"setProgram", {arg(-1)}}},                       0,       0,  0},
        {effSetProgram, 0, kMin, nullptr, 0.0f,    {{"setProgram", {arg(kMin)}}},                     0,       0,  0},
        {effGetProgram, 0, 0, nullptr, 0.0f,       {{"getProgram", {}}},                              kNumber, 0,  0},
        {effSetProgramName, 0, 0, t, 0.0f,         {{"setProgramName", {arg(t)}}},                    0,       0,  0},
        {effGetProgramName, 0, 0, t, 0.0f,         {{"getProgramName", {arg(t)}}},                    0,       0,  0},
        {effGetParamLabel, 3, 0, t, 0.0f,          {{"getParameterLabel", {arg(3), arg(t)}}},         0,       0,  0},
        {effGetParamDisplay, -2, 0, t, 0.0f,       {{"getParameterDisplay", {arg(-2), arg(t)}}},      0,       0,  0},
        {effGetParamName, 9, 0, t, 0.0f,           {{"getParameterName", {arg(9), arg(t)}}},          0,       0,  0},
        // A text opcode without a buffer has nothing to work on.
        {effSetProgramName, 0, 0, nullptr, 0.0f,   {},                                                0,       0,  0},
        {effGetProgramName, 0, 0, nullptr, 0.0f,   {},                                                0,       0,  0},
        {effGetParamLabel, 1, 0, nullptr, 0.0f,    {},                                                0,       0,  0},
        {effGetParamDisplay, 1, 0, nullptr, 0.0f,  {},                                                0,       0,  0},
        {effGetParamName, 1, 0, nullptr, 0.0f,     {},                                                0,       0,  0},
        // The yes answer of getVu is 0.5: 16383.5, truncated.
        {effGetVu, 0, 0, nullptr, 0.0f,            {{"getVu", {}}},                                   16383,   0,  0},
        {effSetSampleRate, 0, 0, nullptr, 48000.0f, {{"setSampleRate", {arg(48000.0f)}}},             0,       0,  0},
        {effSetBlockSize, 0, 256, nullptr, 0.0f,   {{"setBlockSize", {arg(256)}}},                    0,       0,  0},
        {effMainsChanged, 0, 0, nullptr, 0.0f,     {{"suspend", {}}},                                 0,       0,  0},
        {effMainsChanged, 0, 1, nullptr, 0.0f,     {{"resume", {}}},                                  0,       0,  0},
        {effMainsChanged, 0, -1, nullptr, 0.0f,    {{"resume", {}}},                                  0,       0,  0},
        {effEditGetRect, 0, 0, t, 0.0f,            {},                                                0,       0,  0},
        {effEditOpen, 0, 0, t, 0.0f,               {},                                                0,       0,  0},
        {effEditClose, 0, 0, nullptr, 0.0f,        {},                                                0,       0,  0},
        {effEditDraw, 0, 0, t, 0.0f,               {},                                                0,       0,  0},
        {effEditMouse, 1, 2, nullptr, 0.0f,        {},                                                0,       0,  0},
        {effEditKey, 0, 65, nullptr, 0.0f,         {},                                                0,       0,  0},
        {effEditIdle, 0, 0, nullptr, 0.0f,         {},                                                0,       0,  0},
        {effEditTop, 0, 0, nullptr, 0.0f,          {},                                                0,       0,  0},
        {effEditSleep, 0, 0, nullptr, 0.0f,        {},                                                0,       0,  0},
        {effIdentify, 5, 6, t, 1.0f,               {},                                                0x4e764566, 0x4e764566, 0x4e764566},
        {effGetChunk, 0, 0, t, 0.0f,               {{"getChunk", {arg(t), arg(false)}}},              kNumber, 0,  0},
        {effGetChunk, 2, 0, t, 0.0f,               {{"getChunk", {arg(t), arg(true)}}},               kNumber, 0,  0},
        {effGetChunk, -1, 0, t, 0.0f,              {{"getChunk", {arg(t), arg(true)}}},               kNumber, 0,  0},
        {effSetChunk, 0, 100, t, 0.0f,             {{"setChunk", {arg(t), arg(100), arg(false)}}},    kNumber, 0,  0},
        {effSetChunk, -3, 100, t, 0.0f,            {{"setChunk", {arg(t), arg(100), arg(true)}}},     kNumber, 0,  0},
        {effProcessEvents, 0, 0, t, 0.0f,          {{"processEvents", {arg(t)}}},                     kNumber, 0,  0},
        {effCanBeAutomated, 7, 0, nullptr, 0.0f,   {{"canBeAutomated", {arg(7)}}},                    1,       0,  1},
        {effCanBeAutomated, -1, 0, nullptr, 0.0f,  {{"canBeAutomated", {arg(-1)}}},                   1,       0,  1},
        {effString2Parameter, 2, 0, t, 0.0f,       {{"string2Parameter", {arg(2), arg(t)}}},          1,       0,  0},
        {effGetNumProgramCategories, 0, 0, nullptr, 0.0f, {{"getNumProgramCategories", {}}},          kNumber, 0,  1},
        {effGetProgramNameIndexed, 3, 1, t, 0.0f,  {{"getProgramNameIndexed", {arg(1), arg(3), arg(t)}}}, 1,   0,  0},
        {effCopyProgram, 4, 0, nullptr, 0.0f,      {{"copyProgram", {arg(4)}}},                       1,       0,  0},
        {effConnectInput, 1, 0, nullptr, 0.0f,     {{"connectInput", {arg(1), arg(false)}}},          1,       1,  1},
        {effConnectInput, 0, -1, nullptr, 0.0f,    {{"connectInput", {arg(0), arg(true)}}},           1,       1,  1},
        {effConnectOutput, 1, 5, nullptr, 0.0f,    {{"connectOutput", {arg(1), arg(true)}}},          1,       1,  1},
        {effConnectOutput, 9, 0, nullptr, 0.0f,    {{"connectOutput", {arg(9), arg(false)}}},         1,       1,  1},
        {effGetInputProperties, 1, 0, t, 0.0f,     {{"getInputProperties", {arg(1), arg(t)}}},        1,       0,  0},
        {effGetOutputProperties, 0, 0, t, 0.0f,    {{"getOutputProperties", {arg(0), arg(t)}}},       1,       0,  0},
        {effGetPlugCategory, 0, 0, nullptr, 0.0f,  {{"getPlugCategory", {}}},                         kNumber, 0,  0},
        {effGetCurrentPosition, 0, 0, nullptr, 0.0f, {{"getCurrentPosition", {}}},                    kNumber, 0,  0},
        {effGetDestinationBuffer, 0, 0, nullptr, 0.0f, {{"getDestinationBuffer", {}}},                wide,    0,  0},
        {effOfflineNotify, 0, 3, t, 0.0f,          {{"offlineNotify", {arg(t), arg(3), arg(false)}}}, 1,       0,  0},
        {effOfflineNotify, 1, 3, t, 0.0f,          {{"offlineNotify", {arg(t), arg(3), arg(true)}}},  1,       0,  0},
        {effOfflinePrepare, 0, 2, t, 0.0f,         {{"offlinePrepare", {arg(t), arg(2)}}},            1,       0,  0},
        {effOfflineRun, 0, 2, t, 0.0f,             {{"offlineRun", {arg(t), arg(2)}}},                1,       0,  0},
        {effProcessVarIo, 0, 0, t, 0.0f,           {{"processVarIo", {arg(t)}}},                      1,       0,  0},
        // value carries a pointer here, at full width on 64-bit targets.
        {effSetSpeakerArrangement, 0, wide, t, 0.0f, {{"setSpeakerArrangement", {arg(widePointer()), arg(t)}}}, 1, 0, 0},
        {effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f,
                                                   {{"setBlockSizeAndSampleRate", {arg(512), arg(96000.0f)}}}, 1, 1, 1},
        {effSetBypass, 0, 1, nullptr, 0.0f,        {{"setBypass", {arg(true)}}},                      1,       0,  0},
        {effSetBypass, 0, 0, nullptr, 0.0f,        {{"setBypass", {arg(false)}}},                     1,       0,  0},
        {effSetBypass, 0, -1, nullptr, 0.0f,       {{"setBypass", {arg(true)}}},                      1,       0,  0},
        {effGetEffectName, 0, 0, t, 0.0f,          {{"getEffectName", {arg(t)}}},                     1,       0,  0},
        {effGetErrorText, 0, 0, t, 0.0f,           {{"getErrorText", {arg(t)}}},                      1,       0,  0},
        {effGetVendorString, 0, 0, t, 0.0f,        {{"getVendorString", {arg(t)}}},                   1,       0,  0},
        {effGetProductString, 0, 0, t, 0.0f,       {{"getProductString", {arg(t)}}},                  1,       0,  0},
        {effGetVendorVersion, 0, 0, nullptr, 0.0f, {{"getVendorVersion", {}}},                        kNumber, 0,  0},
        {effVendorSpecific, 1, 2, t, 0.25f,        {{"vendorSpecific", {arg(1), arg(2), arg(t), arg(0.25f)}}}, kNumber, 0, 0},
        {effCanDo, 0, 0, t, 0.0f,                  {{"canDo", {arg(t)}}},                             kNumber, 0,  0},
        {effGetTailSize, 0, 0, nullptr, 0.0f,      {{"getTailSize", {}}},                             kNumber, 0,  0},
        {effIdle, 0, 0, nullptr, 0.0f,             {{"idle", {}}},                                    kNumber, 0,  0},
        {effGetIcon, 0, 0, nullptr, 0.0f,          {{"getIcon", {}}},                                 wide,    0,  0},
        {effSetViewPosition, 10, 20, nullptr, 0.0f, {{"setViewPosition", {arg(10), arg(20)}}},        1,       0,  0},
        {effGetParameterProperties, 6, 0, t, 0.0f, {{"getParameterProperties", {arg(6), arg(t)}}},    1,       0,  0},
        {effKeysRequired, 0, 0, nullptr, 0.0f,     {{"keysRequired", {}}},                            0,       1,  1},
        {effGetVstVersion, 0, 0, nullptr, 0.0f,    {{"getVstVersion", {}}},                           kNumber, 0,  2},
        {-1, 0, 0, t, 0.0f,                        {},                                                0,       0,  0},
        {kMin, 0, 0, t, 0.0f,                      {},                                                0,       0,  0},
        {kNumEffOpcodes, 0, 0, t, 0.0f,            {},                                                0,       0,  0},
        {60, 1, 1, t, 1.0f,                        {},                                                0,       0,  0},
        {kMax, 0, 0, t, 0.0f,                      {},                                                0,       0,  0},
    };
    // clang-format on
    return rows;
}

std::string describe(const Row& row) {
    return "opcode " + std::to_string(row.opcode) + ", index " + std::to_string(row.index) + ", value " +
           std::to_string(row.value) + (row.ptr ? ", ptr" : ", null ptr");
}

VstIntPtr dispatchThroughRecord(PluginEffect& effect, const Row& row) {
    AEffect* record = effect.getDescriptor();
    return record->dispatcher(record, row.opcode, row.index, row.value, row.ptr, row.opt);
}

TEST(Dispatcher, RoutesEachOpcodeToItsOperationAndShapesItsAnswer) {
    for (const Row& row : opcodeTable()) {
        SCOPED_TRACE(describe(row));
        for (const bool yes : {true, false}) {
            SCOPED_TRACE(yes ? "operations say yes" : "operations say no");
            std::vector<Call> log;
            RecordingEffect effect(log);
            if (yes) effect.answers = {true, kNumber, kWidePattern, 0.5f};
            EXPECT_EQ(dispatchThroughRecord(effect, row), yes ? row.answerToYes : row.answerToNo);
            EXPECT_EQ(log, row.calls);
        }
    }
}

TEST(Dispatcher, FinishedEffectGivesTheSpecifiedAnswers) {
    for (const Row& row : opcodeTable()) {
        SCOPED_TRACE(describe(row));
        std::memset(hostText, 0, sizeof hostText);
        std::strcpy(hostText, "Host text");
        auto plugin = newPluginInstance();
        ASSERT_EQ(plugin->error(), CreateError::kNone);
        EXPECT_EQ(plugin->dispatch(row.opcode, row.index, row.value, row.ptr, row.opt), row.finished);
    }
}

TEST(Dispatcher, ScalesTheVuLevelAndTruncatesItForEveryFloat) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float level;
        VstIntPtr answer;
    } cases[] = {
        {0.0f, 0},
        {-0.0f, 0},
        {0.5f, 16383},  // 16383.5 toward zero
        {-0.5f, -16383},
        {1.0f, 32767},
        {65536.0f, 2147418112},
        {70000.0f, -2001277296},  // 2293690000 wraps in 32 bits
        {1.0e10f, -1644946432},   // 327670000000000: low 32 bits of the 64-bit integer
        {-1.0e10f, 1644946432},
        {std::nanf(""), 0},  // beyond every integer: all low bits zero
        {inf, 0},
        {-inf, 0},
        {1.0e30f, 0},
        {-std::numeric_limits<float>::max(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        std::vector<Call> log;
        RecordingEffect effect(log);
        effect.answers.vu = c.level;
        AEffect* record = effect.getDescriptor();
        EXPECT_EQ(record->dispatcher(record, effGetVu, 0, 0, nullptr, 0.0f), c.answer);
    }
}

TEST(Dispatcher, CloseRunsCloseBeforeTheEffectIsDeletedAndAnswersOne) {
    std::vector<Call> log;
    {
        RecordingEffect effect(log);
        EXPECT_EQ(effect.dispatcher(effClose, 0, 0, nullptr, 0.0f), 0) << "the dispatcher alone answers 0";
    }
    const std::vector<Call> closeThenDestroy{{"close", {}}, {"~RecordingEffect", {}}};
    EXPECT_EQ(log, closeThenDestroy);

    log.clear();
    auto* effect = new RecordingEffect(log);
    AEffect* record = effect->getDescriptor();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(log, closeThenDestroy);

    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), CreateError::kNone);
    EXPECT_EQ(plugin->close(), 1);
}

// Records its calls into the effect's log and answers with a marker.
class RecordingEditor : public PluginEditor {
public:
    explicit RecordingEditor(std::vector<Call>& log) : log_(log) {}
    VstIntPtr getRect(void* rect) override { return log_.push_back({"editor getRect", {arg(rect)}}), 11; }
    VstIntPtr open(void* parentWindow) override { return log_.push_back({"editor open", {arg(parentWindow)}}), -12; }
    void close() override { log_.push_back({"editor close", {}}); }
    void idle() override { log_.push_back({"editor idle", {}}); }

private:
    std::vector<Call>& log_;
};

TEST(Dispatcher, HandsEditorOpcodesToAnAttachedEditor) {
    char* const t = hostText;
    const struct {
        std::int32_t opcode;
        std::vector<Call> calls;
        VstIntPtr answer;
    } cases[] = {
        {effEditGetRect, {{"editor getRect", {arg(t)}}}, 11},
        {effEditOpen, {{"editor open", {arg(t)}}}, -12},
        {effEditClose, {{"editor close", {}}}, 0},
        {effEditIdle, {{"editor idle", {}}}, 0},
        {effEditDraw, {}, 0},
        {effEditMouse, {}, 0},
        {effEditKey, {}, 0},
        {effEditTop, {}, 0},
        {effEditSleep, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opcode);
        std::vector<Call> log;
        RecordingEffect effect(log);
        effect.attachEditor(new RecordingEditor(log));  // the effect deletes it
        AEffect* record = effect.getDescriptor();
        EXPECT_EQ(record->dispatcher(record, c.opcode, 0, 0, t, 0.0f), c.answer);
        EXPECT_EQ(log, c.calls);
    }
}

TEST(Dispatcher, StoresBlockSizeAndSampleRateTogetherWithoutTheSingleSetters) {
    const struct {
        std::int32_t size;
        float rate;
    } cases[] = {{512, 96000.0f}, {0, 0.0f}, {-1, -44100.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<Call> log;
        RecordingEffect effect(log);
        AEffect* record = effect.getDescriptor();
        EXPECT_EQ(record->dispatcher(record, effSetBlockSizeAndSampleRate, 0, c.size, nullptr, c.rate), 1);
        const std::vector<Call> onlyTheCombinedCall{{"setBlockSizeAndSampleRate", {arg(c.size), arg(c.rate)}}};
        EXPECT_EQ(log, onlyTheCombinedCall) << "overrides of setBlockSize and setSampleRate must not run";
        EXPECT_EQ(effect.getBlockSize(), c.size);
        EXPECT_EQ(effect.getSampleRate(), c.rate);
    }
}

// Nothing but the framework's defaults.
class PlainEffect : public PluginEffectEx {
public:
    PlainEffect() : PluginEffectEx(nullptr, 1, 1) {}
    void process(float**, float**, std::int32_t) override {}
};

TEST(Dispatcher, AnswersThePlugCategoryFromTheSynthFlag) {
    PlainEffect effect;
    AEffect* record = effect.getDescriptor();
    const auto category = [&] { return record->dispatcher(record, effGetPlugCategory, 0, 0, nullptr, 0.0f); };
    EXPECT_EQ(category(), kPlugCategUnknown);
    effect.setCanMono(true);
    effect.setNoSoundInStop(true);
    EXPECT_EQ(category(), kPlugCategUnknown) << "other flags leave the category unknown";
    effect.setIsSynth(true);
    EXPECT_EQ(category(), kPlugCategSynth);
    effect.setIsSynth(false);
    EXPECT_EQ(category(), kPlugCategUnknown);
}

TEST(Dispatcher, FinishedEffectLeavesTheBuffersOfTextQueriesUntouched) {
    struct {
        std::int32_t opcode;
        std::int32_t index;
    } const cases[] = {
        {effGetEffectName, 0},    {effGetErrorText, 0},          {effGetVendorString, 0}, {effGetProductString, 0},
        {effString2Parameter, 1}, {effGetProgramNameIndexed, 0}, {effCanDo, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opcode);
        unsigned char buffer[256];
        for (std::size_t i = 0; i < sizeof buffer; ++i) buffer[i] = static_cast<unsigned char>(i * 37u + 1u);
        unsigned char before[sizeof buffer];
        std::memcpy(before, buffer, sizeof buffer);

        auto plugin = newPluginInstance();
        ASSERT_EQ(plugin->error(), CreateError::kNone);
        EXPECT_EQ(plugin->dispatch(c.opcode, c.index, 0, buffer, 0.0f), 0);
        for (std::size_t i = 0; i < sizeof buffer; ++i) {
            ASSERT_EQ(buffer[i], before[i]) << "byte " << i;
        }
    }
}

TEST(Dispatcher, FinishedEffectIgnoresProgramsBeyondItsCount) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), CreateError::kNone);
    plugin->dispatch(effSetProgram, 0, 2);
    const std::string name = plugin->programName();
    std::vector<float> parameters;
    for (std::int32_t i = 0; i < kNumParams; ++i) parameters.push_back(plugin->getParameter(i));

    for (const VstIntPtr program : {5, 6, 1000, std::numeric_limits<std::int32_t>::max()}) {
        SCOPED_TRACE(program);
        EXPECT_EQ(plugin->dispatch(effSetProgram, 0, program), 0);
        EXPECT_EQ(plugin->dispatch(effGetProgram), 2);
        EXPECT_EQ(plugin->programName(), name);
        for (std::int32_t i = 0; i < kNumParams; ++i)
            EXPECT_EQ(plugin->getParameter(i), parameters[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(plugin->dispatch(effSetProgram, 0, 4), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 4);
    EXPECT_EQ(plugin->dispatch(effSetProgram, 0, -1), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgram), -1) << "a negative number passes the guard";
}

}  // namespace
}  // namespace zandrel::test
