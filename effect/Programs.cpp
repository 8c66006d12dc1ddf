#include "Programs.h"
#include "BitwiseEffect.h"

#include <cstring>

namespace zandrel {

std::int32_t BitwiseEffect::getProgram() { return curProgram; }

void BitwiseEffect::setProgram(std::int32_t program) {
    curProgram = program;
    if (program < 0 || program >= kNumPrograms) return;
    const FactoryProgram& p = kFactoryPrograms[static_cast<std::size_t>(program)];
    std::strcpy(programName, p.name);
    operation = p.operation;
    if (p.mask) mask = asSigned(*p.mask);
    if (p.bitCount) bitCount = *p.bitCount;
    if (p.streamMode) streamMode = *p.streamMode;
    if (p.zeroCorrect) zeroCorrect = *p.zeroCorrect;
    wet = p.wet;
    dry = p.dry;
    master = p.master;
}

// The host's text is read no further than the 31 characters that fit.
void BitwiseEffect::setProgramName(char* name) {
    const std::size_t length = strnlen(name, kVstMaxProgNameLen - 1);
    std::memcpy(programName, name, length);
    programName[length] = '\0';
}

void BitwiseEffect::getProgramName(char* name) { std::strcpy(name, programName); }

}  // namespace zandrel
