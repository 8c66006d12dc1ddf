// A plug-in loaded and opened the way a host does it, with every failure of
// loading turned into a ToolError: the library, then one instance, then effOpen.
#pragma once

#include "Options.h"
#include "PluginInstance.h"
#include "PluginLibrary.h"

#include <memory>
#include <string>

namespace zandrel::tool {

// Settings for a session that processes audio: nobody reads its host calls.
host::HostSettings processingSettings(double sampleRate, std::int32_t largestBlock);

class Session {
public:
    Session(const std::string& path, host::HostSettings settings);
    // Suspends if resumed, then closes the instance before the library goes.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    host::PluginInstance& plugin() { return *instance_; }
    const AEffect& record() const { return *instance_->effect(); }
    const std::string& path() const { return library_.path(); }

    // Throws ToolError(kBadLayout) unless the plug-in has 1 to 64 inputs and outputs.
    void requireChannels() const;
    // effSetSampleRate and effSetBlockSize with the settings given at creation.
    void configure();
    // Throws ToolError(kBadOption) for a program or parameter the plug-in does not have.
    void apply(const PluginSettings& settings);
    void resume();
    void suspend();

private:
    host::PluginLibrary library_;
    std::unique_ptr<host::PluginInstance> instance_;
    bool resumed_ = false;
};

}  // namespace zandrel::tool
