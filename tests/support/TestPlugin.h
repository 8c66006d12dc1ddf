// The built plug-in library, loaded once per test program as a host loads it.
#pragma once

#include "PluginInstance.h"
#include "PluginLibrary.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace zandrel::test {

// ZANDREL_PLUGIN overrides the path the build recorded.
inline const std::string& pluginPath() {
    static const std::string path = [] {
        const char* fromEnvironment = std::getenv("ZANDREL_PLUGIN");
        return std::string(fromEnvironment ? fromEnvironment : ZANDREL_PLUGIN_PATH);
    }();
    return path;
}

inline host::PluginLibrary& pluginLibrary() {
    static host::PluginLibrary library(pluginPath());
    return library;
}

// A fresh instance of the built plug-in; the test asserts on error() itself.
inline std::unique_ptr<host::PluginInstance> newPluginInstance(host::PluginInstance::Responder responder = {}) {
    return std::make_unique<host::PluginInstance>(pluginLibrary().entry(), host::HostSettings{}, std::move(responder));
}

}  // namespace zandrel::test
