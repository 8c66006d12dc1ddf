// Requests an effect can send to its host. Each sends one opcode with this
// effect's record and shapes the answer; without a callback it gives a fixed answer.
#include "PluginEffectEx.h"

namespace zandrel {
namespace {

std::int32_t asReturned(VstIntPtr answer) { return static_cast<std::int32_t>(answer); }
bool nonZero(VstIntPtr answer) { return answer != 0; }
std::int32_t oneOrZero(VstIntPtr answer) { return answer != 0 ? 1 : 0; }
void* asPointer(VstIntPtr answer) { return reinterpret_cast<void*>(answer); }

}  // namespace

VstIntPtr PluginEffect::callHost(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster(&descriptor, opcode, index, value, ptr, opt);
}

// The effect's own setParameter runs first, with or without a host.
void PluginEffect::setParameterAutomated(std::int32_t index, float value) {
    setParameter(index, value);
    if (audioMaster) callHost(audioMasterAutomate, index, 0, nullptr, value);
}

std::int32_t PluginEffect::hostVersion() {
    const std::int32_t version = audioMaster ? asReturned(callHost(audioMasterVersion)) : 0;
    return version != 0 ? version : 1;
}

std::int32_t PluginEffect::hostCurrentId() { return audioMaster ? asReturned(callHost(audioMasterCurrentId)) : 0; }

void PluginEffect::hostIdle() {
    if (audioMaster) callHost(audioMasterIdle);
}

// The host answers 0 for a connected pin; without a host every pin counts as connected.
bool PluginEffect::isInputConnected(std::int32_t input) {
    return audioMaster ? callHost(audioMasterPinConnected, input, 0) == 0 : true;
}

bool PluginEffect::isOutputConnected(std::int32_t output) {
    return audioMaster ? callHost(audioMasterPinConnected, output, 1) == 0 : true;
}

void PluginEffectEx::hostWantMidi(std::int32_t filter) {
    if (audioMaster) callHost(audioMasterWantMidi, 0, filter);
}

void* PluginEffectEx::hostGetTime(std::int32_t filter) {
    return audioMaster ? asPointer(callHost(audioMasterGetTime, 0, filter)) : nullptr;
}

std::int32_t PluginEffectEx::hostTempoAt(std::int32_t position) {
    return audioMaster ? asReturned(callHost(audioMasterTempoAt, 0, position)) : 0;
}

bool PluginEffectEx::hostProcessEvents(void* events) {
    return audioMaster ? callHost(audioMasterProcessEvents, 0, 0, events) == 1 : false;
}

std::int32_t PluginEffectEx::hostGetNumAutomatableParameters() {
    return audioMaster ? asReturned(callHost(audioMasterGetNumAutomatableParameters)) : 0;
}

std::int32_t PluginEffectEx::hostGetParameterQuantization() {
    return audioMaster ? asReturned(callHost(audioMasterGetParameterQuantization)) : 0;
}

bool PluginEffectEx::hostIOChanged() { return audioMaster ? nonZero(callHost(audioMasterIOChanged)) : false; }

bool PluginEffectEx::hostNeedIdle() { return audioMaster ? nonZero(callHost(audioMasterNeedIdle)) : false; }

bool PluginEffectEx::hostSizeWindow(std::int32_t width, std::int32_t height) {
    return audioMaster ? nonZero(callHost(audioMasterSizeWindow, width, height)) : false;
}

// The field is read after the call: the host may set it while it answers.
float PluginEffectEx::hostGetSampleRate() {
    if (audioMaster) callHost(audioMasterGetSampleRate);
    return sampleRate;
}

std::int32_t PluginEffectEx::hostGetBlockSize() {
    if (audioMaster) callHost(audioMasterGetBlockSize);
    return blockSize;
}

std::int32_t PluginEffectEx::hostGetInputLatency() {
    return audioMaster ? asReturned(callHost(audioMasterGetInputLatency)) : 0;
}

std::int32_t PluginEffectEx::hostGetOutputLatency() {
    return audioMaster ? asReturned(callHost(audioMasterGetOutputLatency)) : 0;
}

// The pin number is not passed on: the host receives index 0 and value 0.
void* PluginEffectEx::hostGetPreviousPlug(std::int32_t input) {
    (void)input;
    return audioMaster ? asPointer(callHost(audioMasterGetPreviousPlug)) : nullptr;
}

void* PluginEffectEx::hostGetNextPlug(std::int32_t output) {
    (void)output;
    return audioMaster ? asPointer(callHost(audioMasterGetNextPlug)) : nullptr;
}

std::int32_t PluginEffectEx::hostWillReplaceOrAccumulate() {
    return audioMaster ? asReturned(callHost(audioMasterWillReplaceOrAccumulate)) : 0;
}

std::int32_t PluginEffectEx::hostGetCurrentProcessLevel() {
    return audioMaster ? asReturned(callHost(audioMasterGetCurrentProcessLevel)) : 0;
}

std::int32_t PluginEffectEx::hostGetAutomationState() {
    return audioMaster ? asReturned(callHost(audioMasterGetAutomationState)) : 0;
}

bool PluginEffectEx::hostOfflineRead(void* offline, std::int32_t option, bool readSource) {
    return audioMaster ? nonZero(callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, offline)) : false;
}

bool PluginEffectEx::hostOfflineWrite(void* offline, std::int32_t option) {
    return audioMaster ? nonZero(callHost(audioMasterOfflineWrite, 0, option, offline)) : false;
}

bool PluginEffectEx::hostOfflineStart(void* audioFiles, std::int32_t numAudioFiles, std::int32_t numNewAudioFiles) {
    return audioMaster ? nonZero(callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, audioFiles))
                       : false;
}

std::int32_t PluginEffectEx::hostOfflineGetCurrentPass() {
    return audioMaster ? oneOrZero(callHost(audioMasterOfflineGetCurrentPass)) : 0;
}

std::int32_t PluginEffectEx::hostOfflineGetCurrentMetaPass() {
    return audioMaster ? oneOrZero(callHost(audioMasterOfflineGetCurrentMetaPass)) : 0;
}

void PluginEffectEx::hostSetOutputSampleRate(float rate) {
    if (audioMaster) callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

// The input pointer travels in value, pointer-sized where pointers are wider.
bool PluginEffectEx::hostGetSpeakerArrangement(void* input, void* output) {
    return audioMaster
               ? nonZero(callHost(audioMasterGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(input), output))
               : false;
}

bool PluginEffectEx::hostGetVendorString(char* text) {
    return audioMaster ? nonZero(callHost(audioMasterGetVendorString, 0, 0, text)) : false;
}

bool PluginEffectEx::hostGetProductString(char* text) {
    return audioMaster ? nonZero(callHost(audioMasterGetProductString, 0, 0, text)) : false;
}

std::int32_t PluginEffectEx::hostGetVendorVersion() {
    return audioMaster ? asReturned(callHost(audioMasterGetVendorVersion)) : 0;
}

std::int32_t PluginEffectEx::hostVendorSpecific(std::int32_t arg1, VstIntPtr arg2, void* ptr, float floatArg) {
    return audioMaster ? asReturned(callHost(audioMasterVendorSpecific, arg1, arg2, ptr, floatArg)) : 0;
}

std::int32_t PluginEffectEx::hostCanDo(char* text) {
    return audioMaster ? oneOrZero(callHost(audioMasterCanDo, 0, 0, text)) : 0;
}

std::int32_t PluginEffectEx::hostGetLanguage() {
    return audioMaster ? asReturned(callHost(audioMasterGetLanguage)) : 0;
}

void* PluginEffectEx::hostOpenWindow(void* window) {
    return audioMaster ? asPointer(callHost(audioMasterOpenWindow, 0, 0, window)) : nullptr;
}

bool PluginEffectEx::hostCloseWindow(void* window) {
    return audioMaster ? nonZero(callHost(audioMasterCloseWindow, 0, 0, window)) : false;
}

void* PluginEffectEx::hostGetDirectory() {
    return audioMaster ? asPointer(callHost(audioMasterGetDirectory)) : nullptr;
}

bool PluginEffectEx::hostUpdateDisplay() { return audioMaster ? nonZero(callHost(audioMasterUpdateDisplay)) : false; }

}  // namespace zandrel
