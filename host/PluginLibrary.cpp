#include "PluginLibrary.h"

#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zandrel::host {
namespace {

bool readable(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
#if defined(_WIN32)
    // LoadLibrary also searches the program's folder for a bare file name.
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        error_ = readable(path) ? LoadError::kNotLoadable : LoadError::kFileMissing;
        errorText_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
        return;
    }
    handle_ = reinterpret_cast<void*>(module);
    auto lookup = [module](const char* name) {
        return reinterpret_cast<VstPluginMainProc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    };
#else
    if (!readable(path)) {
        error_ = LoadError::kFileMissing;
        return;
    }
    // A bare file name would send dlopen down the library search path, to
    // another file or none: the caller means the file it just named.
    const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        error_ = LoadError::kNotLoadable;
        const char* why = dlerror();
        errorText_ = why ? why : "dlopen failed";
        return;
    }
    void* handle = handle_;
    auto lookup = [handle](const char* name) { return reinterpret_cast<VstPluginMainProc>(dlsym(handle, name)); };
#endif
    entry_ = lookup("VSTPluginMain");
    if (!entry_) entry_ = lookup("main");
    if (!entry_) error_ = LoadError::kNoEntry;
}

PluginLibrary::~PluginLibrary() {
    if (!handle_) return;
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

}  // namespace zandrel::host
