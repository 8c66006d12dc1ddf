// Plug-ins broken in one way each, for the host's error paths. The build
// compiles this file once per kind, naming the kind with a ZANDREL_FIXTURE_* macro.
#include "AEffect.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

#if defined(ZANDREL_FIXTURE_NO_ENTRY)

// A loadable library that is no plug-in: neither VSTPluginMain nor main.
extern "C" ZANDREL_EXPORT int zandrelFixtureSomethingElse() { return 0; }

#else

namespace {

VstIntPtr ZANDREL_VSTCALL dispatch(AEffect*, std::int32_t, std::int32_t, VstIntPtr, void*, float) { return 0; }
void ZANDREL_VSTCALL setParameter(AEffect*, std::int32_t, float) {}
float ZANDREL_VSTCALL getParameter(AEffect*, std::int32_t) { return 0.0f; }

// A stereo pass-through that dies by the signal ZANDREL_FIXTURE_SIGNAL names
// ("abort" or "term") in its third block.
void ZANDREL_VSTCALL processReplacing(AEffect*, float** inputs, float** outputs, std::int32_t frames) {
    static int calls = 0;
    if (++calls == 3) {
        const char* how = std::getenv("ZANDREL_FIXTURE_SIGNAL");
        if (how && std::strcmp(how, "abort") == 0) std::abort();
        std::raise(SIGTERM);
    }
    for (int c = 0; c < 2; ++c) std::memcpy(outputs[c], inputs[c], sizeof(float) * static_cast<std::size_t>(frames));
}

void ZANDREL_VSTCALL process(AEffect* effect, float** inputs, float** outputs, std::int32_t frames) {
    processReplacing(effect, inputs, outputs, frames);
}

[[maybe_unused]] AEffect makeRecord(std::int32_t magic) {
    AEffect record{};
    record.magic = magic;
    record.dispatcher = dispatch;
    record.process = process;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = effFlagsCanReplacing;
    record.uniqueID = fourCharCode('F', 'i', 'x', 't');
    record.processReplacing = processReplacing;
    return record;
}

}  // namespace

extern "C" ZANDREL_EXPORT AEffect* ZANDREL_VSTCALL VSTPluginMain(audioMasterCallback) {
#if defined(ZANDREL_FIXTURE_NULL_ENTRY)
    return nullptr;
#elif defined(ZANDREL_FIXTURE_BAD_MAGIC)
    static AEffect record = makeRecord(fourCharCode('N', 'o', 'p', 'e'));
    return &record;
#elif defined(ZANDREL_FIXTURE_DIES_IN_PROCESS)
    static AEffect record = makeRecord(kEffectMagic);
    return &record;
#else
#error "name the fixture's kind"
#endif
}

#endif
