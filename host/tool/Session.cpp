#include "Session.h"

#include "ChannelLayout.h"
#include "ToolError.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace zandrel::tool {
namespace {

// "has programs 0..4", or "has no programs".
std::string range(const char* what, std::int32_t count) {
    if (count <= 0) return std::string("has no ") + what;
    return std::string("has ") + what + " 0.." + std::to_string(count - 1);
}

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

// The loader's own words for these cases name no reason a user can act on.
const std::string& checkedPath(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        throw ToolError(ExitCode::kFileMissing, "cannot read " + path + ": " + std::strerror(errno));
    if (S_ISDIR(status.st_mode)) throw ToolError(ExitCode::kFileMissing, "cannot read " + path + ": it is a folder");
    return path;
}

}  // namespace

Session::Session(const std::string& path, host::HostSettings settings) : library_(checkedPath(path)) {
    switch (library_.error()) {
        case host::LoadError::kNone: break;
        case host::LoadError::kFileMissing: throw ToolError(ExitCode::kFileMissing, "cannot read " + path);
        case host::LoadError::kNotLoadable:
            throw ToolError(ExitCode::kNotPlugin, path + " is not a plug-in: " + library_.errorText());
        case host::LoadError::kNoEntry:
            throw ToolError(ExitCode::kNotPlugin,
                            path + " is not a plug-in: it exports neither VSTPluginMain nor main");
    }
    instance_ = std::make_unique<host::PluginInstance>(library_.entry(), settings);
    switch (instance_->error()) {
        case host::CreateError::kNone: break;
        case host::CreateError::kEntryReturnedNull:
            throw ToolError(ExitCode::kEntryNull, path + ": the plug-in's entry created no instance");
        case host::CreateError::kBadMagic: {
            std::int32_t magic = 0;
            std::memcpy(&magic, instance_->initialRecord().data() + offsetof(AEffect, magic), sizeof magic);
            throw ToolError(ExitCode::kBadMagic, path + ": the record's magic is " + hex(magic) + ", not " +
                                                     hex(kEffectMagic) + " ('VstP')");
        }
    }
    instance_->dispatch(effOpen);
}

Session::~Session() {
    if (instance_ && !instance_->closed()) {
        suspend();
        instance_->close();
    }
    instance_.reset();
}

host::HostSettings processingSettings(double sampleRate, std::int32_t largestBlock) {
    host::HostSettings settings;
    settings.sampleRate = static_cast<float>(sampleRate);
    settings.blockSize = largestBlock;
    settings.recordCalls = false;
    return settings;
}

void Session::requireChannels() const {
    const AEffect& e = record();
    if (auto problem = layoutProblem(e.numInputs, e.numInputs, e.numOutputs, false))
        throw ToolError(ExitCode::kBadLayout, path() + ": " + *problem);
}

void Session::configure() {
    const host::HostSettings& s = instance_->settings();
    instance_->dispatch(effSetSampleRate, 0, 0, nullptr, s.sampleRate);
    instance_->dispatch(effSetBlockSize, 0, s.blockSize);
}

void Session::apply(const PluginSettings& settings) {
    const AEffect& e = record();
    if (settings.program) {
        if (*settings.program >= e.numPrograms)
            throw ToolError(ExitCode::kBadOption, "--program " + std::to_string(*settings.program) + ": " + path() +
                                                      " " + range("programs", e.numPrograms));
        instance_->dispatch(effSetProgram, 0, *settings.program);
    }
    for (const ParameterValue& p : settings.parameters) {
        if (p.index >= e.numParams)
            throw ToolError(ExitCode::kBadOption, "--param " + std::to_string(p.index) + ": " + path() + " " +
                                                      range("parameters", e.numParams));
        instance_->setParameter(p.index, p.value);
    }
}

void Session::resume() {
    if (resumed_) return;
    instance_->dispatch(effMainsChanged, 0, 1);
    resumed_ = true;
}

void Session::suspend() {
    if (!resumed_) return;
    instance_->dispatch(effMainsChanged, 0, 0);
    resumed_ = false;
}

}  // namespace zandrel::tool
