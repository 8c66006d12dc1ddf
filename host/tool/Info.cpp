#include "Info.h"

#include <cstdio>

namespace zandrel::tool {
namespace {

// Capabilities a host of this interface level commonly asks about.
constexpr const char* kCapabilities[] = {"sendVstEvents",
                                         "sendVstMidiEvent",
                                         "receiveVstEvents",
                                         "receiveVstMidiEvent",
                                         "receiveVstTimeInfo",
                                         "offline",
                                         "mixDryWet",
                                         "noRealTime",
                                         "multipass",
                                         "metapass",
                                         "1in1out",
                                         "1in2out",
                                         "2in1out",
                                         "2in2out",
                                         "bypass"};

constexpr std::pair<std::int32_t, const char*> kFlags[] = {{effFlagsHasEditor, "hasEditor"},
                                                           {effFlagsHasClip, "hasClip"},
                                                           {effFlagsHasVu, "hasVu"},
                                                           {effFlagsCanMono, "canMono"},
                                                           {effFlagsCanReplacing, "canReplacing"},
                                                           {effFlagsProgramChunks, "programChunks"},
                                                           {effFlagsIsSynth, "isSynth"},
                                                           {effFlagsNoSoundInStop, "noSoundInStop"},
                                                           {effFlagsExtIsAsync, "extIsAsync"},
                                                           {effFlagsExtHasBuffer, "extHasBuffer"}};

}  // namespace

std::string fourCharacters(std::int32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<char>((static_cast<std::uint32_t>(code) >> shift) & 0xFFu);
        text += c >= 0x20 && c < 0x7F ? c : '.';
    }
    return text;
}

std::vector<std::string> flagNames(std::int32_t flags) {
    std::vector<std::string> names;
    for (int bit = 0; bit < 32; ++bit) {
        const auto mask = static_cast<std::int32_t>(1u << bit);
        if (!(flags & mask)) continue;
        const char* name = nullptr;
        for (const auto& [value, text] : kFlags)
            if (value == mask) name = text;
        if (name) {
            names.emplace_back(name);
        } else {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(mask));
            names.emplace_back(hex);
        }
    }
    return names;
}

std::string categoryName(VstIntPtr category) {
    switch (category) {
        case kPlugCategUnknown: return "unknown";
        case kPlugCategEffect: return "effect";
        case kPlugCategSynth: return "synth";
        default: return "category " + std::to_string(category);
    }
}

PluginInfo inspect(Session& session) {
    host::PluginInstance& plugin = session.plugin();
    const AEffect& e = session.record();
    PluginInfo info;
    info.path = session.path();
    info.magic = e.magic;
    info.uniqueID = e.uniqueID;
    info.version = e.version;
    info.numPrograms = e.numPrograms;
    info.numParams = e.numParams;
    info.numInputs = e.numInputs;
    info.numOutputs = e.numOutputs;
    info.flags = e.flags;
    info.initialDelay = e.initialDelay;
    info.category = plugin.dispatch(effGetPlugCategory);
    info.vstVersion = plugin.dispatch(effGetVstVersion);
    info.vendorVersion = plugin.dispatch(effGetVendorVersion);
    info.effectName = plugin.text(effGetEffectName);
    info.vendor = plugin.text(effGetVendorString);
    info.product = plugin.text(effGetProductString);
    for (const char* capability : kCapabilities) {
        std::string text = capability;
        info.canDo.emplace_back(text, plugin.dispatch(effCanDo, 0, 0, text.data()));
    }
    for (std::int32_t i = 0; i < e.numParams; ++i)
        info.parameters.push_back(
            {i, plugin.parameterName(i), plugin.parameterDisplay(i), plugin.parameterLabel(i), plugin.getParameter(i)});
    info.currentProgram = static_cast<std::int32_t>(plugin.dispatch(effGetProgram));
    for (std::int32_t i = 0; i < e.numPrograms; ++i) {
        plugin.dispatch(effSetProgram, 0, i);
        info.programs.push_back(plugin.programName());
    }
    if (e.numPrograms > 0) plugin.dispatch(effSetProgram, 0, info.currentProgram);
    return info;
}

}  // namespace zandrel::tool
