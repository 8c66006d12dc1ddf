#include "EntryPoints.h"

#include "PluginEffect.h"

namespace zandrel {
namespace {

PluginEffect* effectOf(AEffect* record) { return static_cast<PluginEffect*>(record->object); }

}  // namespace

VstIntPtr ZANDREL_VSTCALL dispatchThunk(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value,
                                        void* ptr, float opt) {
    PluginEffect* object = effectOf(effect);
    if (opcode != effClose) return object->dispatcher(opcode, index, value, ptr, opt);
    // close runs first; the record lies inside the object and ends with it.
    object->dispatcher(opcode, index, value, ptr, opt);
    delete object;
    return 1;
}

void ZANDREL_VSTCALL processThunk(AEffect* effect, float** inputs, float** outputs, std::int32_t sampleFrames) {
    effectOf(effect)->process(inputs, outputs, sampleFrames);
}

void ZANDREL_VSTCALL processReplacingThunk(AEffect* effect, float** inputs, float** outputs,
                                           std::int32_t sampleFrames) {
    effectOf(effect)->processReplacing(inputs, outputs, sampleFrames);
}

void ZANDREL_VSTCALL setParameterThunk(AEffect* effect, std::int32_t index, float value) {
    effectOf(effect)->setParameter(index, value);
}

float ZANDREL_VSTCALL getParameterThunk(AEffect* effect, std::int32_t index) {
    return effectOf(effect)->getParameter(index);
}

}  // namespace zandrel
