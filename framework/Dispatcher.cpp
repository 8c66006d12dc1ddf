// Opcode routing of both base classes. Each case is one row of the interface's
// opcode table: the operation called, its arguments, the guard, the answer.
#include "PluginEffectEx.h"

#include "Truncate.h"

namespace zandrel {
namespace {

// Answer shaping, done here and nowhere else.
constexpr VstIntPtr oneOrZero(bool result) { return result ? 1 : 0; }
constexpr VstIntPtr inverted(bool result) { return result ? 0 : 1; }
constexpr VstIntPtr kIdentify = fourCharCode('N', 'v', 'E', 'f');

char* text(void* ptr) { return static_cast<char*>(ptr); }

VstIntPtr pointerAnswer(void* result) { return reinterpret_cast<VstIntPtr>(result); }

}  // namespace

VstIntPtr PluginEffect::dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    const auto value32 = static_cast<std::int32_t>(value);
    // clang-format off
    switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram: if (value32 < numPrograms) setProgram(value32); return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName: if (ptr) setProgramName(text(ptr)); return 0;
    case effGetProgramName: if (ptr) getProgramName(text(ptr)); return 0;
    case effGetParamLabel: if (ptr) getParameterLabel(index, text(ptr)); return 0;
    case effGetParamDisplay: if (ptr) getParameterDisplay(index, text(ptr)); return 0;
    case effGetParamName: if (ptr) getParameterName(index, text(ptr)); return 0;
    case effGetVu: return truncateToInt32(static_cast<double>(getVu()) * 32767.0);
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(value32); return 0;
    case effMainsChanged: if (value == 0) suspend(); else resume(); return 0;
    case effEditGetRect: return editor ? editor->getRect(ptr) : 0;
    case effEditOpen: return editor ? editor->open(ptr) : 0;
    case effEditClose: if (editor) editor->close(); return 0;
    case effEditDraw: return 0;
    case effEditMouse: return 0;
    case effEditKey: return 0;
    case effEditIdle: if (editor) editor->idle(); return 0;
    case effEditTop: return 0;
    case effEditSleep: return 0;
    case effIdentify: return kIdentify;
    case effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk: return setChunk(ptr, value32, index != 0);
    default: return 0;
    }
    // clang-format on
}

VstIntPtr PluginEffectEx::dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    const auto value32 = static_cast<std::int32_t>(value);
    // clang-format off
    switch (opcode) {
    case effProcessEvents: return processEvents(ptr);
    case effCanBeAutomated: return oneOrZero(canBeAutomated(index));
    case effString2Parameter: return oneOrZero(string2Parameter(index, text(ptr)));
    case effGetNumProgramCategories: return getNumProgramCategories();
    case effGetProgramNameIndexed: return oneOrZero(getProgramNameIndexed(value32, index, text(ptr)));
    case effCopyProgram: return oneOrZero(copyProgram(index));
    case effConnectInput: connectInput(index, value != 0); return 1;
    case effConnectOutput: connectOutput(index, value != 0); return 1;
    case effGetInputProperties: return oneOrZero(getInputProperties(index, ptr));
    case effGetOutputProperties: return oneOrZero(getOutputProperties(index, ptr));
    case effGetPlugCategory: return getPlugCategory();
    case effGetCurrentPosition: return getCurrentPosition();
    case effGetDestinationBuffer: return pointerAnswer(getDestinationBuffer());
    case effOfflineNotify: return oneOrZero(offlineNotify(ptr, value32, index != 0));
    case effOfflinePrepare: return oneOrZero(offlinePrepare(ptr, value32));
    case effOfflineRun: return oneOrZero(offlineRun(ptr, value32));
    case effProcessVarIo: return oneOrZero(processVarIo(ptr));
    case effSetSpeakerArrangement: return oneOrZero(setSpeakerArrangement(reinterpret_cast<void*>(value), ptr));
    case effSetBlockSizeAndSampleRate: setBlockSizeAndSampleRate(value32, opt); return 1;
    case effSetBypass: return oneOrZero(setBypass(value != 0));
    case effGetEffectName: return oneOrZero(getEffectName(text(ptr)));
    case effGetErrorText: return oneOrZero(getErrorText(text(ptr)));
    case effGetVendorString: return oneOrZero(getVendorString(text(ptr)));
    case effGetProductString: return oneOrZero(getProductString(text(ptr)));
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return canDo(text(ptr));
    case effGetTailSize: return getTailSize();
    case effIdle: return idle();
    case effGetIcon: return pointerAnswer(getIcon());
    case effSetViewPosition: return oneOrZero(setViewPosition(index, value32));
    case effGetParameterProperties: return oneOrZero(getParameterProperties(index, ptr));
    case effKeysRequired: return inverted(keysRequired());
    case effGetVstVersion: return getVstVersion();
    default: return PluginEffect::dispatcher(opcode, index, value, ptr, opt);
    }
    // clang-format on
}

}  // namespace zandrel
