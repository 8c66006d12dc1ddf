// The base of every effect: owns the AEffect record the host sees, answers the
// interface's first 25 opcodes, sends the basic host requests and formats values.
//
// The record's address is the instance towards the host, so an effect is never
// copied or moved. Virtual operations are declared in slot order.
#pragma once

#include "AEffect.h"

#include <cstdint>

namespace zandrel {

// An editor window; this system never attaches one.
class PluginEditor {
public:
    virtual ~PluginEditor() = default;
    virtual VstIntPtr getRect(void* rect) = 0;
    virtual VstIntPtr open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual void idle() = 0;
};

class PluginEffect {
public:
    PluginEffect(audioMasterCallback host, std::int32_t programs, std::int32_t params);
    PluginEffect(const PluginEffect&) = delete;
    PluginEffect& operator=(const PluginEffect&) = delete;

    // Deletes the editor, if one is attached.
    virtual ~PluginEffect();

    // Normalised parameter values; reached from the record's own entries.
    virtual void setParameter(std::int32_t index, float value) { (void)index, (void)value; }
    virtual float getParameter(std::int32_t index) { return (void)index, 0.0f; }
    // Sets the parameter, then tells the host (audioMasterAutomate).
    virtual void setParameterAutomated(std::int32_t index, float value);

    // Adds the processed block to the outputs. Every effect supplies it.
    virtual void process(float** inputs, float** outputs, std::int32_t sampleFrames) = 0;
    // Writes the processed block over the outputs.
    virtual void processReplacing(float** inputs, float** outputs, std::int32_t sampleFrames) {
        (void)inputs, (void)outputs, (void)sampleFrames;
    }

    // Routes opcodes 0..24; every other opcode answers 0.
    virtual VstIntPtr dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual std::int32_t getProgram() { return curProgram; }
    // Stores the number without a range check; effSetProgram's guard is the dispatcher's.
    virtual void setProgram(std::int32_t program) { curProgram = program; }
    virtual void setProgramName(char* name) { name[0] = '\0'; }
    virtual void getProgramName(char* name) { name[0] = '\0'; }
    virtual void getParameterLabel(std::int32_t index, char* label) { (void)index, label[0] = '\0'; }
    virtual void getParameterDisplay(std::int32_t index, char* text) { (void)index, text[0] = '\0'; }
    virtual void getParameterName(std::int32_t index, char* text) { (void)index, text[0] = '\0'; }
    virtual float getVu() { return 0.0f; }
    // data is where the chunk's address would go; the default writes nothing.
    virtual std::int32_t getChunk(void** data, bool isPreset) { return (void)data, (void)isPreset, 0; }
    virtual std::int32_t setChunk(void* data, std::int32_t byteSize, bool isPreset) {
        return (void)data, (void)byteSize, (void)isPreset, 0;
    }
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(std::int32_t size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}

    // Record setters: called only while the effect is being constructed.
    virtual void setUniqueID(std::int32_t id) { descriptor.uniqueID = id; }
    virtual void setNumInputs(std::int32_t count) { descriptor.numInputs = count; }
    virtual void setNumOutputs(std::int32_t count) { descriptor.numOutputs = count; }
    virtual void setHasVu(bool state) { setFlag(effFlagsHasVu, state); }
    virtual void setHasClip(bool state) { setFlag(effFlagsHasClip, state); }
    virtual void setCanMono(bool state) { setFlag(effFlagsCanMono, state); }
    virtual void setCanReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void setProgramChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    virtual void setRealQualities(std::int32_t value) { descriptor.realQualities = value; }
    virtual void setOffQualities(std::int32_t value) { descriptor.offQualities = value; }
    virtual void setInitialDelay(std::int32_t delay) { descriptor.initialDelay = delay; }

    virtual float getSampleRate() { return sampleRate; }
    virtual std::int32_t getBlockSize() { return blockSize; }

    // Host requests; without a callback each gives its fixed answer.
    virtual std::int32_t hostVersion();
    virtual std::int32_t hostCurrentId();
    virtual void hostIdle();
    virtual bool isInputConnected(std::int32_t input);
    virtual bool isOutputConnected(std::int32_t output);

    // Eight-character value texts; text must hold at least kVstValueTextLen bytes.
    virtual void dB2string(float gain, char* text);
    virtual void Hz2string(float samples, char* text);
    virtual void ms2string(float samples, char* text);
    virtual void float2string(float value, char* text);
    virtual void long2string(std::int32_t value, char* text);

    AEffect* getDescriptor() { return &descriptor; }

protected:
    void setFlag(std::int32_t bit, bool state) {
        descriptor.flags = state ? (descriptor.flags | bit) : (descriptor.flags & ~bit);
    }
    // One host call with this effect's record as its first argument.
    VstIntPtr callHost(std::int32_t opcode, std::int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    float sampleRate;
    PluginEditor* editor;
    audioMasterCallback audioMaster;
    std::int32_t numPrograms;
    std::int32_t numParams;
    std::int32_t curProgram;
    std::int32_t blockSize;
    AEffect descriptor;
};

}  // namespace zandrel
