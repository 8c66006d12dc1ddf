// A plug-in library loaded the way a host loads one, and its entry function.
#pragma once

#include "AEffect.h"

#include <string>

namespace zandrel::host {

enum class LoadError {
    kNone,
    kFileMissing,  // no such file, or not readable
    kNotLoadable,  // the platform's loader refused it
    kNoEntry,      // neither VSTPluginMain nor main is exported
};

class PluginLibrary {
public:
    // Loads with immediate binding; check error() before use.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    LoadError error() const { return error_; }
    // The loader's own words when loading failed.
    const std::string& errorText() const { return errorText_; }
    VstPluginMainProc entry() const { return entry_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    VstPluginMainProc entry_ = nullptr;
    LoadError error_ = LoadError::kNone;
    std::string errorText_;
};

}  // namespace zandrel::host
