// An effect that overrides every operation the dispatcher can reach: each call
// is logged with its arguments and answers what the test configured.
#pragma once

#include "PluginEffectEx.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace zandrel::test {

// A pointer argument, compared by address and never read through.
struct Pointer {
    VstIntPtr address;
    bool operator==(const Pointer&) const = default;
};

inline void PrintTo(const Pointer& p, std::ostream* out) {
    *out << "ptr 0x" << std::hex << static_cast<std::uintptr_t>(p.address) << std::dec;
}

using Arg = std::variant<std::int64_t, bool, float, Pointer>;

inline Arg arg(std::int32_t v) { return std::int64_t{v}; }
inline Arg arg(std::int64_t v) { return v; }
inline Arg arg(bool v) { return v; }
inline Arg arg(float v) { return v; }
inline Arg arg(const void* p) { return Pointer{reinterpret_cast<VstIntPtr>(p)}; }
inline Arg arg(std::nullptr_t) { return Pointer{0}; }

struct Call {
    std::string name;
    std::vector<Arg> args;
    bool operator==(const Call&) const = default;
};

inline void PrintTo(const Call& call, std::ostream* out) {
    *out << call.name << '(';
    const char* separator = "";
    for (const Arg& a : call.args) {
        *out << separator;
        separator = ", ";
        if (const auto* p = std::get_if<Pointer>(&a)) {
            PrintTo(*p, out);
        } else if (const auto* b = std::get_if<bool>(&a)) {
            *out << (*b ? "true" : "false");
        } else if (const auto* f = std::get_if<float>(&a)) {
            *out << *f << 'f';
        } else {
            *out << std::get<std::int64_t>(a);
        }
    }
    *out << ')';
}

// Upper half non-zero on 64-bit targets: shows that a value travels at full width.
inline constexpr VstIntPtr kWidePattern =
    sizeof(VstIntPtr) == 8 ? static_cast<VstIntPtr>(0x1234'5678'9ABC'DEF0ULL) : static_cast<VstIntPtr>(0x1234'5678);

inline void* widePointer() { return reinterpret_cast<void*>(kWidePattern); }

// Results the recording operations give, by result type.
struct Answers {
    bool truth = false;
    std::int32_t number = 0;
    VstIntPtr address = 0;
    float vu = 0.0f;
};

class RecordingEffect : public PluginEffectEx {
public:
    static constexpr std::int32_t kPrograms = 5;
    static constexpr std::int32_t kParams = 7;

    // The log outlives the effect, so that the destructor's entry can be seen.
    explicit RecordingEffect(std::vector<Call>& log, audioMasterCallback host = nullptr)
        : PluginEffectEx(host, kPrograms, kParams), log_(log) {}
    ~RecordingEffect() override { record("~RecordingEffect", {}); }

    Answers answers;

    void attachEditor(PluginEditor* attached) { editor = attached; }

    // Forwards to PluginEffectEx's body; a second entry during one call means
    // the base routed an opcode through the virtual table again.
    VstIntPtr dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) override {
        if (inDispatcher_) {
            record("dispatcher re-entered", {arg(opcode)});
            return 0;
        }
        inDispatcher_ = true;
        const VstIntPtr answer = PluginEffectEx::dispatcher(opcode, index, value, ptr, opt);
        inDispatcher_ = false;
        return answer;
    }

    void process(float**, float**, std::int32_t) override { record("process", {}); }
    void setParameter(std::int32_t index, float value) override { record("setParameter", {arg(index), arg(value)}); }

    void open() override { record("open", {}); }
    void close() override { record("close", {}); }
    std::int32_t getProgram() override { return record("getProgram", {}), answers.number; }
    void setProgram(std::int32_t program) override { record("setProgram", {arg(program)}); }
    void setProgramName(char* name) override { record("setProgramName", {arg(name)}); }
    void getProgramName(char* name) override { record("getProgramName", {arg(name)}); }
    void getParameterLabel(std::int32_t index, char* label) override {
        record("getParameterLabel", {arg(index), arg(label)});
    }
    void getParameterDisplay(std::int32_t index, char* text) override {
        record("getParameterDisplay", {arg(index), arg(text)});
    }
    void getParameterName(std::int32_t index, char* text) override {
        record("getParameterName", {arg(index), arg(text)});
    }
    float getVu() override { return record("getVu", {}), answers.vu; }
    std::int32_t getChunk(void** data, bool isPreset) override {
        return record("getChunk", {arg(data), arg(isPreset)}), answers.number;
    }
    std::int32_t setChunk(void* data, std::int32_t byteSize, bool isPreset) override {
        return record("setChunk", {arg(data), arg(byteSize), arg(isPreset)}), answers.number;
    }
    // These two store as the defaults do, so that the fields can be read back.
    void setSampleRate(float rate) override {
        record("setSampleRate", {arg(rate)});
        PluginEffectEx::setSampleRate(rate);
    }
    void setBlockSize(std::int32_t size) override {
        record("setBlockSize", {arg(size)});
        PluginEffectEx::setBlockSize(size);
    }
    void suspend() override { record("suspend", {}); }
    void resume() override { record("resume", {}); }

    std::int32_t processEvents(void* events) override { return record("processEvents", {arg(events)}), answers.number; }
    bool canBeAutomated(std::int32_t index) override { return record("canBeAutomated", {arg(index)}), answers.truth; }
    bool string2Parameter(std::int32_t index, char* text) override {
        return record("string2Parameter", {arg(index), arg(text)}), answers.truth;
    }
    float getChannelParameter(std::int32_t channel, std::int32_t index) override {
        return record("getChannelParameter", {arg(channel), arg(index)}), 0.0f;
    }
    std::int32_t getNumProgramCategories() override { return record("getNumProgramCategories", {}), answers.number; }
    bool getProgramNameIndexed(std::int32_t category, std::int32_t index, char* text) override {
        return record("getProgramNameIndexed", {arg(category), arg(index), arg(text)}), answers.truth;
    }
    bool copyProgram(std::int32_t destination) override {
        return record("copyProgram", {arg(destination)}), answers.truth;
    }
    void connectInput(std::int32_t index, bool state) override { record("connectInput", {arg(index), arg(state)}); }
    void connectOutput(std::int32_t index, bool state) override { record("connectOutput", {arg(index), arg(state)}); }
    bool getInputProperties(std::int32_t index, void* properties) override {
        return record("getInputProperties", {arg(index), arg(properties)}), answers.truth;
    }
    bool getOutputProperties(std::int32_t index, void* properties) override {
        return record("getOutputProperties", {arg(index), arg(properties)}), answers.truth;
    }
    std::int32_t getPlugCategory() override { return record("getPlugCategory", {}), answers.number; }
    std::int32_t getCurrentPosition() override { return record("getCurrentPosition", {}), answers.number; }
    void* getDestinationBuffer() override { return record("getDestinationBuffer", {}), resultPointer(); }
    bool offlineNotify(void* audioFiles, std::int32_t numAudioFiles, bool start) override {
        return record("offlineNotify", {arg(audioFiles), arg(numAudioFiles), arg(start)}), answers.truth;
    }
    bool offlinePrepare(void* offline, std::int32_t count) override {
        return record("offlinePrepare", {arg(offline), arg(count)}), answers.truth;
    }
    bool offlineRun(void* offline, std::int32_t count) override {
        return record("offlineRun", {arg(offline), arg(count)}), answers.truth;
    }
    std::int32_t getOfflinePassCount() override { return record("getOfflinePassCount", {}), 0; }
    std::int32_t getOfflineMetaPassCount() override { return record("getOfflineMetaPassCount", {}), 0; }
    bool processVarIo(void* varIo) override { return record("processVarIo", {arg(varIo)}), answers.truth; }
    bool setSpeakerArrangement(void* input, void* output) override {
        return record("setSpeakerArrangement", {arg(input), arg(output)}), answers.truth;
    }
    // Runs the default too, to show that it stores without the two setters above.
    void setBlockSizeAndSampleRate(std::int32_t size, float rate) override {
        record("setBlockSizeAndSampleRate", {arg(size), arg(rate)});
        PluginEffectEx::setBlockSizeAndSampleRate(size, rate);
    }
    bool setBypass(bool state) override { return record("setBypass", {arg(state)}), answers.truth; }
    bool getEffectName(char* text) override { return record("getEffectName", {arg(text)}), answers.truth; }
    bool getErrorText(char* text) override { return record("getErrorText", {arg(text)}), answers.truth; }
    bool getVendorString(char* text) override { return record("getVendorString", {arg(text)}), answers.truth; }
    bool getProductString(char* text) override { return record("getProductString", {arg(text)}), answers.truth; }
    std::int32_t getVendorVersion() override { return record("getVendorVersion", {}), answers.number; }
    VstIntPtr vendorSpecific(std::int32_t index, VstIntPtr value, void* ptr, float opt) override {
        record("vendorSpecific", {arg(index), arg(static_cast<std::int64_t>(value)), arg(ptr), arg(opt)});
        return answers.number;
    }
    std::int32_t canDo(char* text) override { return record("canDo", {arg(text)}), answers.number; }
    void* getIcon() override { return record("getIcon", {}), resultPointer(); }
    bool setViewPosition(std::int32_t x, std::int32_t y) override {
        return record("setViewPosition", {arg(x), arg(y)}), answers.truth;
    }
    std::int32_t getTailSize() override { return record("getTailSize", {}), answers.number; }
    std::int32_t idle() override { return record("idle", {}), answers.number; }
    bool getParameterProperties(std::int32_t index, void* properties) override {
        return record("getParameterProperties", {arg(index), arg(properties)}), answers.truth;
    }
    bool keysRequired() override { return record("keysRequired", {}), answers.truth; }
    std::int32_t getVstVersion() override { return record("getVstVersion", {}), answers.number; }

private:
    void record(std::string name, std::vector<Arg> args) { log_.push_back({std::move(name), std::move(args)}); }
    void* resultPointer() const { return reinterpret_cast<void*>(answers.address); }

    std::vector<Call>& log_;
    bool inDispatcher_ = false;
};

}  // namespace zandrel::test
