// The five free functions stored in every record: each recovers the effect
// from the record's object field and calls one virtual operation of it.
#pragma once

#include "AEffect.h"

namespace zandrel {

VstIntPtr ZANDREL_VSTCALL dispatchThunk(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value,
                                        void* ptr, float opt);
void ZANDREL_VSTCALL processThunk(AEffect* effect, float** inputs, float** outputs, std::int32_t sampleFrames);
void ZANDREL_VSTCALL processReplacingThunk(AEffect* effect, float** inputs, float** outputs, std::int32_t sampleFrames);
void ZANDREL_VSTCALL setParameterThunk(AEffect* effect, std::int32_t index, float value);
float ZANDREL_VSTCALL getParameterThunk(AEffect* effect, std::int32_t index);

}  // namespace zandrel
