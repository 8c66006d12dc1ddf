// One effect instance created through a library's entry, with a host callback
// that records every call it receives and answers what a simple host answers.
#pragma once

#include "AEffect.h"
#include "PluginLibrary.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zandrel::host {

struct HostCall {
    const AEffect* effect;
    std::int32_t opcode;
    std::int32_t index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

enum class CreateError {
    kNone,
    kEntryReturnedNull,
    kBadMagic,
};

struct HostSettings {
    VstIntPtr version = 2400;  // the answer to audioMasterVersion
    float sampleRate = 44100.0f;
    std::int32_t blockSize = 1024;
    // Off for long runs whose host calls nobody reads, so the record stays small.
    bool recordCalls = true;
};

class PluginInstance {
public:
    // Answers one host call; the default answers the basic queries.
    using Responder = std::function<VstIntPtr(PluginInstance&, const HostCall&)>;

    PluginInstance(VstPluginMainProc entry, HostSettings settings = {}, Responder responder = {});
    // Sends effClose unless close() already did.
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    CreateError error() const { return error_; }
    AEffect* effect() const { return effect_; }
    // The record's bytes as main returned it, before the host set its user field.
    const std::array<unsigned char, sizeof(AEffect)>& initialRecord() const { return initialRecord_; }

    VstIntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    void process(float** inputs, float** outputs, std::int32_t frames);
    void processReplacing(float** inputs, float** outputs, std::int32_t frames);
    void setParameter(std::int32_t index, float value);
    float getParameter(std::int32_t index);
    // effClose's answer; the record is gone afterwards.
    VstIntPtr close();
    bool closed() const { return effect_ == nullptr; }

    // Text queries into a buffer larger than any the interface asks for.
    std::string parameterName(std::int32_t index);
    std::string parameterDisplay(std::int32_t index);
    std::string parameterLabel(std::int32_t index);
    std::string programName();
    // Any text query whose answer the plug-in writes to ptr.
    std::string text(std::int32_t opcode, std::int32_t index = 0);

    std::vector<HostCall> calls() const;
    void clearCalls();
    const HostSettings& settings() const { return settings_; }

    static VstIntPtr defaultAnswer(PluginInstance& instance, const HostCall& call);

private:
    static VstIntPtr ZANDREL_VSTCALL callback(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value,
                                              void* ptr, float opt);

    HostSettings settings_;
    Responder responder_;
    AEffect* effect_ = nullptr;
    CreateError error_ = CreateError::kNone;
    std::array<unsigned char, sizeof(AEffect)> initialRecord_{};
    mutable std::mutex callsMutex_;
    std::vector<HostCall> calls_;
};

}  // namespace zandrel::host
