// What a host can learn about a plug-in without processing audio, gathered
// once and printed as text or as JSON.
#pragma once

#include "Session.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace zandrel::tool {

struct ParameterInfo {
    std::int32_t index;
    std::string name;
    std::string display;
    std::string label;
    float value;
};

struct PluginInfo {
    std::string path;
    std::int32_t magic = 0;
    std::int32_t uniqueID = 0;
    std::int32_t version = 0;
    std::int32_t numPrograms = 0;
    std::int32_t numParams = 0;
    std::int32_t numInputs = 0;
    std::int32_t numOutputs = 0;
    std::int32_t flags = 0;
    std::int32_t initialDelay = 0;
    VstIntPtr category = 0;
    VstIntPtr vstVersion = 0;
    VstIntPtr vendorVersion = 0;
    std::string effectName;
    std::string vendor;
    std::string product;
    std::vector<std::pair<std::string, VstIntPtr>> canDo;  // 1 yes, -1 no, 0 does not know
    std::int32_t currentProgram = 0;
    std::vector<ParameterInfo> parameters;
    std::vector<std::string> programs;
};

// Reads every program's name by selecting it, then selects the current one again.
PluginInfo inspect(Session& session);

// The four characters of an identifier, first from the top byte; unprintable ones as '.'.
std::string fourCharacters(std::int32_t code);
// Names of the set flag bits, in bit order; bits without a name as hex.
std::vector<std::string> flagNames(std::int32_t flags);
std::string categoryName(VstIntPtr category);

void printText(const PluginInfo& info, std::FILE* out);
void printJson(const PluginInfo& info, std::FILE* out);

}  // namespace zandrel::tool
