// The library's one way in. Exported as `main` (and on Linux also as
// VSTPluginMain) by the export files next to this one.
#include "BitwiseEffect.h"

#include <new>

extern "C" ZANDREL_EXPORT AEffect* ZANDREL_VSTCALL VSTPluginMain(audioMasterCallback audioMaster);

// Asks the host's version (0 refuses the host), then creates one instance.
extern "C" AEffect* ZANDREL_VSTCALL VSTPluginMain(audioMasterCallback audioMaster) {
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    auto* effect = new (std::nothrow) zandrel::BitwiseEffect(audioMaster);
    return effect ? effect->getDescriptor() : nullptr;
}

#if !defined(_WIN32)
// A C++ function may not be called main and return a pointer: bind the name here.
extern "C" ZANDREL_EXPORT AEffect* zandrelMainAlias(audioMasterCallback audioMaster) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif
