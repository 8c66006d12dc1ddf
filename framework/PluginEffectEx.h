// The base for effects of the interface's version 2.0 level: answers opcodes
// 25..58 and hands every other opcode to PluginEffect's dispatcher body.
// Operations are declared in slot order, after those of PluginEffect.
#pragma once

#include "PluginEffect.h"

namespace zandrel {

class PluginEffectEx : public PluginEffect {
public:
    PluginEffectEx(audioMasterCallback host, std::int32_t programs, std::int32_t params)
        : PluginEffect(host, programs, params) {}
    ~PluginEffectEx() override = default;

    VstIntPtr dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) override;

    virtual void hostWantMidi(std::int32_t filter);
    virtual void* hostGetTime(std::int32_t filter);
    virtual std::int32_t hostTempoAt(std::int32_t position);
    virtual std::int32_t processEvents(void* events) { return (void)events, 0; }
    virtual std::int32_t hostGetNumAutomatableParameters();
    virtual std::int32_t hostGetParameterQuantization();
    virtual bool canBeAutomated(std::int32_t index) { return (void)index, true; }
    virtual bool string2Parameter(std::int32_t index, char* text) { return (void)index, (void)text, false; }
    // No opcode reaches it.
    virtual float getChannelParameter(std::int32_t channel, std::int32_t index) {
        return (void)channel, (void)index, 0.0f;
    }
    virtual std::int32_t getNumProgramCategories() { return 1; }
    virtual bool getProgramNameIndexed(std::int32_t category, std::int32_t index, char* text) {
        return (void)category, (void)index, (void)text, false;
    }
    virtual bool copyProgram(std::int32_t destination) { return (void)destination, false; }
    virtual bool hostIOChanged();
    virtual bool hostNeedIdle();
    virtual bool hostSizeWindow(std::int32_t width, std::int32_t height);
    virtual float hostGetSampleRate();
    virtual std::int32_t hostGetBlockSize();
    virtual std::int32_t hostGetInputLatency();
    virtual std::int32_t hostGetOutputLatency();
    virtual void* hostGetPreviousPlug(std::int32_t input);
    virtual void* hostGetNextPlug(std::int32_t output);
    virtual void connectInput(std::int32_t index, bool state) { (void)index, (void)state; }
    virtual void connectOutput(std::int32_t index, bool state) { (void)index, (void)state; }
    virtual bool getInputProperties(std::int32_t index, void* properties) {
        return (void)index, (void)properties, false;
    }
    virtual bool getOutputProperties(std::int32_t index, void* properties) {
        return (void)index, (void)properties, false;
    }
    virtual std::int32_t getPlugCategory() {
        return (descriptor.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
    }
    virtual std::int32_t hostWillReplaceOrAccumulate();
    virtual std::int32_t hostGetCurrentProcessLevel();
    virtual std::int32_t hostGetAutomationState();
    virtual void setExtIsAsync(bool state) { setFlag(effFlagsExtIsAsync, state); }
    virtual void setExtHasBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }
    virtual std::int32_t getCurrentPosition() { return 0; }
    virtual void* getDestinationBuffer() { return nullptr; }
    virtual bool hostOfflineRead(void* offline, std::int32_t option, bool readSource);
    virtual bool hostOfflineWrite(void* offline, std::int32_t option);
    virtual bool hostOfflineStart(void* audioFiles, std::int32_t numAudioFiles, std::int32_t numNewAudioFiles);
    virtual std::int32_t hostOfflineGetCurrentPass();
    virtual std::int32_t hostOfflineGetCurrentMetaPass();
    virtual bool offlineNotify(void* audioFiles, std::int32_t numAudioFiles, bool start) {
        return (void)audioFiles, (void)numAudioFiles, (void)start, false;
    }
    virtual bool offlinePrepare(void* offline, std::int32_t count) { return (void)offline, (void)count, false; }
    virtual bool offlineRun(void* offline, std::int32_t count) { return (void)offline, (void)count, false; }
    // No opcode reaches these two.
    virtual std::int32_t getOfflinePassCount() { return 0; }
    virtual std::int32_t getOfflineMetaPassCount() { return 0; }
    virtual void hostSetOutputSampleRate(float sampleRate);
    virtual bool hostGetSpeakerArrangement(void* input, void* output);
    virtual bool hostGetVendorString(char* text);
    virtual bool hostGetProductString(char* text);
    virtual std::int32_t hostGetVendorVersion();
    virtual std::int32_t hostVendorSpecific(std::int32_t arg1, VstIntPtr arg2, void* ptr, float floatArg);
    virtual std::int32_t hostCanDo(char* text);
    virtual void setIsSynth(bool state) { setFlag(effFlagsIsSynth, state); }
    virtual void setNoSoundInStop(bool state) { setFlag(effFlagsNoSoundInStop, state); }
    virtual std::int32_t hostGetLanguage();
    virtual void* hostOpenWindow(void* window);
    virtual bool hostCloseWindow(void* window);
    virtual void* hostGetDirectory();
    virtual bool hostUpdateDisplay();
    virtual bool processVarIo(void* varIo) { return (void)varIo, false; }
    virtual bool setSpeakerArrangement(void* input, void* output) { return (void)input, (void)output, false; }
    // Writes both fields directly: overrides of setBlockSize and setSampleRate do not run.
    virtual void setBlockSizeAndSampleRate(std::int32_t size, float rate) {
        blockSize = size;
        sampleRate = rate;
    }
    virtual bool setBypass(bool state) { return (void)state, false; }
    virtual bool getEffectName(char* text) { return (void)text, false; }
    virtual bool getErrorText(char* text) { return (void)text, false; }
    virtual bool getVendorString(char* text) { return (void)text, false; }
    virtual bool getProductString(char* text) { return (void)text, false; }
    virtual std::int32_t getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(std::int32_t index, VstIntPtr value, void* ptr, float opt) {
        return (void)index, (void)value, (void)ptr, (void)opt, 0;
    }
    // Answers 0 for every text, without reading it.
    virtual std::int32_t canDo(char* text) { return (void)text, 0; }
    virtual void* getIcon() { return nullptr; }
    virtual bool setViewPosition(std::int32_t x, std::int32_t y) { return (void)x, (void)y, false; }
    virtual std::int32_t getTailSize() { return 0; }
    virtual std::int32_t idle() { return 0; }
    virtual bool getParameterProperties(std::int32_t index, void* properties) {
        return (void)index, (void)properties, false;
    }
    virtual bool keysRequired() { return false; }
    virtual std::int32_t getVstVersion() { return 2; }

    // True only for a host answer of exactly 1.
    bool hostProcessEvents(void* events);
};

}  // namespace zandrel
