#include "PluginInstance.h"

#include <cstring>

namespace zandrel::host {
namespace {

// The instance whose entry call is running on this thread: calls made before
// the host can set the record's user field find their instance here.
thread_local PluginInstance* creating = nullptr;

constexpr std::size_t kTextBuffer = 256;

}  // namespace

PluginInstance::PluginInstance(VstPluginMainProc entry, HostSettings settings, Responder responder)
    : settings_(settings), responder_(responder ? std::move(responder) : Responder(defaultAnswer)) {
    PluginInstance* outer = creating;
    creating = this;
    AEffect* effect = entry(callback);
    creating = outer;
    if (!effect) {
        error_ = CreateError::kEntryReturnedNull;
        return;
    }
    std::memcpy(initialRecord_.data(), effect, sizeof(AEffect));
    if (effect->magic != kEffectMagic) {
        // Not a record we may call into: leave it alone.
        error_ = CreateError::kBadMagic;
        return;
    }
    effect->user = this;
    effect_ = effect;
}

PluginInstance::~PluginInstance() {
    if (effect_) close();
}

VstIntPtr ZANDREL_VSTCALL PluginInstance::callback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                                   VstIntPtr value, void* ptr, float opt) {
    PluginInstance* self = (effect && effect->user) ? static_cast<PluginInstance*>(effect->user) : creating;
    if (!self) return opcode == audioMasterVersion ? 2400 : 0;
    const HostCall call{effect, opcode, index, value, ptr, opt};
    if (self->settings_.recordCalls) {
        std::lock_guard<std::mutex> lock(self->callsMutex_);
        self->calls_.push_back(call);
    }
    return self->responder_(*self, call);
}

VstIntPtr PluginInstance::defaultAnswer(PluginInstance& instance, const HostCall& call) {
    const HostSettings& s = instance.settings_;
    switch (call.opcode) {
        case audioMasterVersion: return s.version;
        case audioMasterGetSampleRate: return static_cast<VstIntPtr>(s.sampleRate);
        case audioMasterGetBlockSize: return s.blockSize;
        case audioMasterGetVendorString:
            if (call.ptr) std::strcpy(static_cast<char*>(call.ptr), "Zandrel");
            return 1;
        case audioMasterGetProductString:
            if (call.ptr) std::strcpy(static_cast<char*>(call.ptr), "plughost");
            return 1;
        case audioMasterGetVendorVersion: return 1;
        case audioMasterGetCurrentProcessLevel: return 0;
        default: return 0;
    }
}

VstIntPtr PluginInstance::dispatch(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginInstance::process(float** inputs, float** outputs, std::int32_t frames) {
    effect_->process(effect_, inputs, outputs, frames);
}

void PluginInstance::processReplacing(float** inputs, float** outputs, std::int32_t frames) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

void PluginInstance::setParameter(std::int32_t index, float value) { effect_->setParameter(effect_, index, value); }

float PluginInstance::getParameter(std::int32_t index) { return effect_->getParameter(effect_, index); }

VstIntPtr PluginInstance::close() {
    AEffect* effect = effect_;
    effect_ = nullptr;
    return effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

std::string PluginInstance::text(std::int32_t opcode, std::int32_t index) {
    char buffer[kTextBuffer] = {};
    dispatch(opcode, index, 0, buffer, 0.0f);
    buffer[kTextBuffer - 1] = '\0';
    return buffer;
}

std::string PluginInstance::parameterName(std::int32_t index) { return text(effGetParamName, index); }
std::string PluginInstance::parameterDisplay(std::int32_t index) { return text(effGetParamDisplay, index); }
std::string PluginInstance::parameterLabel(std::int32_t index) { return text(effGetParamLabel, index); }
std::string PluginInstance::programName() { return text(effGetProgramName, 0); }

std::vector<HostCall> PluginInstance::calls() const {
    std::lock_guard<std::mutex> lock(callsMutex_);
    return calls_;
}

void PluginInstance::clearCalls() {
    std::lock_guard<std::mutex> lock(callsMutex_);
    calls_.clear();
}

}  // namespace zandrel::host
