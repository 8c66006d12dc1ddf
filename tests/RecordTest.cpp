// The record a host sees, byte for byte, the flag setters, and the entry
// functions that forward to the effect object.
#include "Bits.h"
#include "BitwiseEffect.h"
#include "EntryPoints.h"
#include "PluginEffectEx.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace zandrel::test {
namespace {

// The framework's part of an effect, before any derived constructor adjusts it.
class BareEffect : public PluginEffectEx {
public:
    BareEffect() : PluginEffectEx(nullptr, 5, 7) {}
    void process(float**, float**, std::int32_t) override {}

    using PluginEffect::blockSize;
    using PluginEffect::curProgram;
    using PluginEffect::editor;
    using PluginEffect::sampleRate;
};

using RecordBytes = std::array<unsigned char, sizeof(AEffect)>;

template <class T>
void put(RecordBytes& bytes, std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// Offsets of the record's fields, as a table per pointer width: an oracle
// independent of the struct declaration.
struct Offsets {
    std::size_t magic, dispatcher, process, setParameter, getParameter, numPrograms, numParams, numInputs, numOutputs,
        flags, initialDelay, ioRatio, object, user, uniqueID, version, processReplacing, future;
};
constexpr Offsets kOffsets = sizeof(void*) == 4
                                 ? Offsets{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 48, 60, 64, 68, 72, 76, 80, 84}
                                 : Offsets{0, 8, 16, 24, 32, 40, 44, 48, 52, 56, 80, 92, 96, 104, 112, 116, 120, 128};

RecordBytes expectedFrameworkRecord(void* object) {
    RecordBytes bytes{};
    put(bytes, kOffsets.magic, std::int32_t{0x56737450});
    put(bytes, kOffsets.dispatcher, &dispatchThunk);
    put(bytes, kOffsets.process, &processThunk);
    put(bytes, kOffsets.setParameter, &setParameterThunk);
    put(bytes, kOffsets.getParameter, &getParameterThunk);
    put(bytes, kOffsets.numPrograms, std::int32_t{5});
    put(bytes, kOffsets.numParams, std::int32_t{7});
    put(bytes, kOffsets.numInputs, std::int32_t{1});
    put(bytes, kOffsets.numOutputs, std::int32_t{2});
    put(bytes, kOffsets.ioRatio, 1.0f);
    put(bytes, kOffsets.object, object);
    put(bytes, kOffsets.uniqueID, std::int32_t{0x4E6F4566});
    put(bytes, kOffsets.version, std::int32_t{1});
    put(bytes, kOffsets.processReplacing, &processReplacingThunk);
    return bytes;
}

RecordBytes bytesOf(const AEffect& record) {
    RecordBytes bytes;
    std::memcpy(bytes.data(), &record, sizeof record);
    return bytes;
}

std::string firstDifference(const RecordBytes& actual, const RecordBytes& expected) {
    for (std::size_t i = 0; i < actual.size(); ++i)
        if (actual[i] != expected[i])
            return "offset " + std::to_string(i) + ": " + std::to_string(actual[i]) + " instead of " +
                   std::to_string(expected[i]);
    return "";
}

TEST(Record, FrameworkConstructionWritesEveryByte) {
    BareEffect effect;
    const RecordBytes expected = expectedFrameworkRecord(&effect);
    EXPECT_EQ(firstDifference(bytesOf(*effect.getDescriptor()), expected), "");
    if (sizeof(void*) == 4) {
        for (std::size_t i = 84; i < 144; ++i) EXPECT_EQ(bytesOf(*effect.getDescriptor())[i], 0) << i;
    }
    EXPECT_EQ(bitsOf(effect.sampleRate), bitsOf(44100.0f));
    EXPECT_EQ(effect.blockSize, 1024);
    EXPECT_EQ(effect.curProgram, 0);
    EXPECT_EQ(effect.editor, nullptr);
}

TEST(Record, BitwiseEffectAdjustsCountsIdentityAndFlags) {
    BitwiseEffect effect(nullptr);
    RecordBytes expected = expectedFrameworkRecord(&effect);
    put(expected, kOffsets.numInputs, std::int32_t{2});
    put(expected, kOffsets.numOutputs, std::int32_t{2});
    put(expected, kOffsets.uniqueID, std::int32_t{0x51523538});  // 'QR58'
    put(expected, kOffsets.flags, std::int32_t{0x18});           // can mono, can replace
    EXPECT_EQ(firstDifference(bytesOf(*effect.getDescriptor()), expected), "");
    EXPECT_EQ(effect.getDescriptor()->object, &effect);
}

TEST(Record, LoadedLibraryReturnsTheSameRecordAsTheClass) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), host::CreateError::kNone);
    const RecordBytes loaded = plugin->initialRecord();
    BitwiseEffect effect(nullptr);
    RecordBytes expected = bytesOf(*effect.getDescriptor());
    // Addresses differ between the library and this program; everything else may not.
    for (std::size_t offset : {kOffsets.dispatcher, kOffsets.process, kOffsets.setParameter, kOffsets.getParameter,
                               kOffsets.object, kOffsets.processReplacing}) {
        std::memcpy(expected.data() + offset, loaded.data() + offset, sizeof(void*));
        void* address = nullptr;
        std::memcpy(&address, loaded.data() + offset, sizeof address);
        EXPECT_NE(address, nullptr) << offset;
    }
    EXPECT_EQ(firstDifference(loaded, expected), "");
}

TEST(Record, FlagSettersChangeOnlyTheirOwnBit) {
    const struct {
        void (PluginEffectEx::*setter)(bool);
        std::int32_t bit;
    } setters[] = {
        {&PluginEffect::setHasClip, 0x2},           {&PluginEffect::setHasVu, 0x4},
        {&PluginEffect::setCanMono, 0x8},           {&PluginEffect::setCanReplacing, 0x10},
        {&PluginEffect::setProgramChunks, 0x20},    {&PluginEffectEx::setIsSynth, 0x100},
        {&PluginEffectEx::setNoSoundInStop, 0x200}, {&PluginEffectEx::setExtIsAsync, 0x400},
        {&PluginEffectEx::setExtHasBuffer, 0x800},
    };
    for (const auto& s : setters) {
        SCOPED_TRACE(s.bit);
        for (std::int32_t before : {0x0, 0xFFF, 0x18, 0x7FFFFFFF}) {
            BareEffect effect;
            effect.getDescriptor()->flags = before;
            (effect.*s.setter)(true);
            EXPECT_EQ(effect.getDescriptor()->flags, before | s.bit);
            (effect.*s.setter)(true);
            EXPECT_EQ(effect.getDescriptor()->flags, before | s.bit) << "setting a set bit changes nothing";
            (effect.*s.setter)(false);
            EXPECT_EQ(effect.getDescriptor()->flags, before & ~s.bit);
            (effect.*s.setter)(false);
            EXPECT_EQ(effect.getDescriptor()->flags, before & ~s.bit) << "clearing a clear bit changes nothing";
        }
    }
}

TEST(Record, FlagSettersInSequence) {
    BareEffect effect;
    effect.setCanMono(true);
    effect.setCanReplacing(true);
    EXPECT_EQ(effect.getDescriptor()->flags, 0x18);
    effect.setCanMono(false);
    EXPECT_EQ(effect.getDescriptor()->flags, 0x10);
    effect.setIsSynth(true);
    EXPECT_EQ(effect.getDescriptor()->flags, 0x110);
}

TEST(Record, FieldSettersWriteTheirFields) {
    BareEffect effect;
    effect.setUniqueID(-7);
    effect.setNumInputs(6);
    effect.setNumOutputs(8);
    effect.setRealQualities(11);
    effect.setOffQualities(12);
    effect.setInitialDelay(13);
    const AEffect& r = *effect.getDescriptor();
    EXPECT_EQ(r.uniqueID, -7);
    EXPECT_EQ(r.numInputs, 6);
    EXPECT_EQ(r.numOutputs, 8);
    EXPECT_EQ(r.realQualities, 11);
    EXPECT_EQ(r.offQualities, 12);
    EXPECT_EQ(r.initialDelay, 13);
}

// Records what the entry functions hand over, and the order of close and destruction.
class ForwardingProbe : public PluginEffectEx {
public:
    explicit ForwardingProbe(std::vector<std::string>& log) : PluginEffectEx(nullptr, 5, 7), log_(log) {}
    ~ForwardingProbe() override { log_.push_back("destroyed"); }

    VstIntPtr dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) override {
        seenOpcode = opcode, seenIndex = index, seenValue = value, seenPtr = ptr, seenOpt = opt;
        if (opcode == effClose) log_.push_back("close");
        return answer;
    }
    void process(float** inputs, float** outputs, std::int32_t frames) override {
        log_.push_back("process");
        seenInputs = inputs, seenOutputs = outputs, seenFrames = frames;
    }
    void processReplacing(float** inputs, float** outputs, std::int32_t frames) override {
        log_.push_back("processReplacing");
        seenInputs = inputs, seenOutputs = outputs, seenFrames = frames;
    }
    void setParameter(std::int32_t index, float value) override {
        log_.push_back("setParameter");
        seenIndex = index, seenOpt = value;
    }
    void setParameterAutomated(std::int32_t, float) override { log_.push_back("setParameterAutomated"); }
    float getParameter(std::int32_t index) override {
        seenIndex = index;
        return floatOf(0x7FC01234u);  // a NaN with a payload
    }

    VstIntPtr answer = 0;
    std::int32_t seenOpcode = 0, seenIndex = 0, seenFrames = 0;
    VstIntPtr seenValue = 0;
    void* seenPtr = nullptr;
    float seenOpt = 0.0f;
    float** seenInputs = nullptr;
    float** seenOutputs = nullptr;

private:
    std::vector<std::string>& log_;
};

TEST(EntryFunctions, ForwardEveryArgumentAndAnswerUnchanged) {
    std::vector<std::string> log;
    auto* probe = new ForwardingProbe(log);
    AEffect* record = probe->getDescriptor();
    int marker = 0;

    for (VstIntPtr answer : {VstIntPtr{0}, VstIntPtr{1}, VstIntPtr{-5}, VstIntPtr{0x7FFFFFFF}}) {
        probe->answer = answer;
        EXPECT_EQ(record->dispatcher(record, 42, -3, -99, &marker, -2.5f), answer);
        EXPECT_EQ(probe->seenOpcode, 42);
        EXPECT_EQ(probe->seenIndex, -3);
        EXPECT_EQ(probe->seenValue, -99);
        EXPECT_EQ(probe->seenPtr, &marker);
        EXPECT_EQ(bitsOf(probe->seenOpt), bitsOf(-2.5f));
    }

    float* inputs[2] = {};
    float* outputs[2] = {};
    record->process(record, inputs, outputs, -17);
    EXPECT_EQ(probe->seenInputs, inputs);
    EXPECT_EQ(probe->seenOutputs, outputs);
    EXPECT_EQ(probe->seenFrames, -17);
    record->processReplacing(record, outputs, inputs, 33);
    EXPECT_EQ(probe->seenInputs, outputs);
    EXPECT_EQ(probe->seenFrames, 33);

    record->setParameter(record, 6, floatOf(0xFF800001u));
    EXPECT_EQ(probe->seenIndex, 6);
    EXPECT_EQ(bitsOf(probe->seenOpt), 0xFF800001u);
    EXPECT_EQ(bitsOf(record->getParameter(record, -1)), 0x7FC01234u);
    EXPECT_EQ(probe->seenIndex, -1);

    EXPECT_EQ(log, (std::vector<std::string>{"process", "processReplacing", "setParameter"}))
        << "setParameter never goes through setParameterAutomated";

    probe->answer = -1;
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(log.back(), "destroyed");
    EXPECT_EQ(log[log.size() - 2], "close");
}

TEST(EntryFunctions, CloseThroughTheLoadedLibraryAnswersOne) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), host::CreateError::kNone);
    EXPECT_EQ(plugin->close(), 1);
    EXPECT_TRUE(plugin->closed());
}

TEST(BaseDefaults, TextOperationsWriteOneTerminatorAndNothingElse) {
    BareEffect effect;
    using Operation = void (*)(BareEffect&, char*);
    const Operation operations[] = {
        [](BareEffect& e, char* t) { e.setProgramName(t); },
        [](BareEffect& e, char* t) { e.getProgramName(t); },
        [](BareEffect& e, char* t) { e.getParameterLabel(0, t); },
        [](BareEffect& e, char* t) { e.getParameterDisplay(0, t); },
        [](BareEffect& e, char* t) { e.getParameterName(0, t); },
    };
    for (std::size_t i = 0; i < std::size(operations); ++i) {
        SCOPED_TRACE(i);
        char text[16];
        std::memset(text, 'x', sizeof text);
        operations[i](effect, text);
        EXPECT_EQ(text[0], '\0');
        for (std::size_t j = 1; j < sizeof text; ++j) EXPECT_EQ(text[j], 'x') << j;
    }
}

TEST(BaseDefaults, ProgramChunkAndFieldDefaults) {
    BareEffect effect;
    effect.setProgram(99);
    EXPECT_EQ(effect.getProgram(), 99) << "the range check belongs to the dispatcher";
    int sentinel = 0;
    void* chunk = &sentinel;
    EXPECT_EQ(effect.getChunk(&chunk, true), 0);
    EXPECT_EQ(chunk, &sentinel) << "getChunk leaves the place for the chunk's address alone";
    EXPECT_EQ(effect.setChunk(&sentinel, 4, false), 0);
    EXPECT_EQ(effect.getVu(), 0.0f);
    effect.setSampleRate(48000.0f);
    effect.setBlockSize(-3);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    EXPECT_EQ(effect.getBlockSize(), -3);
}

}  // namespace
}  // namespace zandrel::test
