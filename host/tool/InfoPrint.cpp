// The two forms of `plughost info`: aligned text for people, JSON for scripts.
#include "Info.h"
#include "Json.h"

#include <cstdio>

namespace zandrel::tool {
namespace {

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

// The interface's texts carry padding for fixed-width displays; a table aligns them itself.
std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string orNone(const std::string& text) { return text.empty() ? "(none)" : text; }

const char* answerName(VstIntPtr answer) { return answer > 0 ? "yes" : answer < 0 ? "no" : "?"; }

}  // namespace

void printText(const PluginInfo& info, std::FILE* out) {
    std::fprintf(out, "%s\n", info.path.c_str());
    std::fprintf(out, "  magic         %s (%s)\n", fourCharacters(info.magic).c_str(), hex(info.magic).c_str());
    std::fprintf(out, "  unique ID     %s (%s)\n", fourCharacters(info.uniqueID).c_str(), hex(info.uniqueID).c_str());
    std::fprintf(out, "  version       %d\n", info.version);
    std::fprintf(out, "  name          %s\n", orNone(info.effectName).c_str());
    std::fprintf(out, "  vendor        %s, version %lld\n", orNone(info.vendor).c_str(),
                 static_cast<long long>(info.vendorVersion));
    std::fprintf(out, "  product       %s\n", orNone(info.product).c_str());
    std::fprintf(out, "  VST version   %lld\n", static_cast<long long>(info.vstVersion));
    std::fprintf(out, "  category      %s (%lld)\n", categoryName(info.category).c_str(),
                 static_cast<long long>(info.category));
    std::fprintf(out, "  channels      %d in, %d out\n", info.numInputs, info.numOutputs);
    std::fprintf(out, "  latency       %d samples\n", info.initialDelay);
    std::string flags;
    for (const std::string& name : flagNames(info.flags)) flags += name + " ";
    std::fprintf(out, "  flags         %s(0x%X)\n", flags.c_str(), static_cast<unsigned>(info.flags));
    std::fprintf(out, "  can do        ");
    for (const auto& [capability, answer] : info.canDo)
        std::fprintf(out, "%s %s  ", capability.c_str(), answerName(answer));
    std::fprintf(out, "\n\nparameters (%d)\n", info.numParams);
    std::fprintf(out, "  %5s  %-16s %-16s %-8s %s\n", "index", "name", "value", "label", "normalised");
    for (const ParameterInfo& p : info.parameters)
        std::fprintf(out, "  %5d  %-16s %-16s %-8s %.6g\n", p.index, trimmed(p.name).c_str(),
                     trimmed(p.display).c_str(), trimmed(p.label).c_str(), static_cast<double>(p.value));
    std::fprintf(out, "\nprograms (%d, current %d)\n", info.numPrograms, info.currentProgram);
    for (std::size_t i = 0; i < info.programs.size(); ++i)
        std::fprintf(out, "  %5zu  %s\n", i, info.programs[i].c_str());
}

void printJson(const PluginInfo& info, std::FILE* out) {
    const auto field = [out](const char* name, const std::string& value, bool last = false) {
        std::fprintf(out, "  \"%s\": %s%s\n", name, value.c_str(), last ? "" : ",");
    };
    const auto code = [](std::int32_t value) {
        return "{\"text\": " + jsonString(fourCharacters(value)) + ", \"hex\": " + jsonString(hex(value)) +
               ", \"value\": " + std::to_string(value) + "}";
    };
    std::fprintf(out, "{\n");
    field("path", jsonString(info.path));
    field("magic", code(info.magic));
    field("uniqueID", code(info.uniqueID));
    field("version", std::to_string(info.version));
    field("effectName", jsonString(info.effectName));
    field("vendor", jsonString(info.vendor));
    field("vendorVersion", std::to_string(info.vendorVersion));
    field("product", jsonString(info.product));
    field("vstVersion", std::to_string(info.vstVersion));
    field("category", "{\"value\": " + std::to_string(info.category) +
                          ", \"name\": " + jsonString(categoryName(info.category)) + "}");
    field("numPrograms", std::to_string(info.numPrograms));
    field("numParams", std::to_string(info.numParams));
    field("numInputs", std::to_string(info.numInputs));
    field("numOutputs", std::to_string(info.numOutputs));
    field("initialDelay", std::to_string(info.initialDelay));
    std::string names;
    for (const std::string& name : flagNames(info.flags)) names += (names.empty() ? "" : ", ") + jsonString(name);
    field("flags", "{\"value\": " + std::to_string(info.flags) + ", \"names\": [" + names + "]}");
    std::string canDo;
    for (const auto& [capability, answer] : info.canDo)
        canDo += (canDo.empty() ? "" : ", ") + jsonString(capability) + ": " + std::to_string(answer);
    field("canDo", "{" + canDo + "}");
    field("currentProgram", std::to_string(info.currentProgram));
    std::fprintf(out, "  \"parameters\": [");
    for (std::size_t i = 0; i < info.parameters.size(); ++i) {
        const ParameterInfo& p = info.parameters[i];
        std::fprintf(out, "%s\n    {\"index\": %d, \"name\": %s, \"display\": %s, \"label\": %s, \"value\": %s}",
                     i ? "," : "", p.index, jsonString(p.name).c_str(), jsonString(p.display).c_str(),
                     jsonString(p.label).c_str(), jsonNumber(p.value).c_str());
    }
    std::fprintf(out, "%s],\n  \"programs\": [", info.parameters.empty() ? "" : "\n  ");
    for (std::size_t i = 0; i < info.programs.size(); ++i)
        std::fprintf(out, "%s\n    {\"index\": %zu, \"name\": %s}", i ? "," : "", i,
                     jsonString(info.programs[i]).c_str());
    std::fprintf(out, "%s]\n}\n", info.programs.empty() ? "" : "\n  ");
}

}  // namespace zandrel::tool
