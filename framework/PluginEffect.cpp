#include "PluginEffect.h"

#include "EntryPoints.h"

#include <cstring>

namespace zandrel {

PluginEffect::PluginEffect(audioMasterCallback audioMaster_, std::int32_t numPrograms_, std::int32_t numParams_)
    : sampleRate(44100.0f),
      editor(nullptr),
      audioMaster(audioMaster_),
      numPrograms(numPrograms_),
      numParams(numParams_),
      curProgram(0),
      blockSize(1024) {
    std::memset(&descriptor, 0, sizeof descriptor);
    descriptor.magic = kEffectMagic;
    descriptor.dispatcher = dispatchThunk;
    descriptor.process = processThunk;
    descriptor.setParameter = setParameterThunk;
    descriptor.getParameter = getParameterThunk;
    descriptor.numPrograms = numPrograms_;
    descriptor.numParams = numParams_;
    descriptor.numInputs = 1;
    descriptor.numOutputs = 2;
    descriptor.ioRatio = 1.0f;
    descriptor.object = this;
    descriptor.uniqueID = fourCharCode('N', 'o', 'E', 'f');
    descriptor.version = 1;
    descriptor.processReplacing = processReplacingThunk;
}

PluginEffect::~PluginEffect() { delete editor; }

}  // namespace zandrel
