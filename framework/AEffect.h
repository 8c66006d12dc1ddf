// The record a host and a plug-in share, the entry-function types, and the
// opcode and flag numbers of the version 2.0 plug-in interface.
//
// Offsets in the field comments are those of the 32-bit layout (144 bytes).
// 64-bit hosts expect resvd1, resvd2 and the `value` argument and answer of
// both call directions to be pointer-sized; everything else keeps its width.
#pragma once

#include <cstddef>
#include <cstdint>

// Calling convention of every function the host and the plug-in call in each
// other; the entry's export (on Windows its .def file names the export).
#if defined(_WIN32)
#define ZANDREL_VSTCALL __cdecl
#define ZANDREL_EXPORT
#else
#define ZANDREL_VSTCALL
#define ZANDREL_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Pointer-sized integer: 32 bits in a 32-bit build, so that layout is unchanged.
using VstIntPtr = std::intptr_t;

struct AEffect;

// Host callback: effect (null before an instance exists), opcode, index, value, ptr, opt.
using audioMasterCallback = VstIntPtr(ZANDREL_VSTCALL*)(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                                        VstIntPtr value, void* ptr, float opt);

using AEffectDispatcherProc = VstIntPtr(ZANDREL_VSTCALL*)(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                                          VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void(ZANDREL_VSTCALL*)(AEffect* effect, float** inputs, float** outputs,
                                                  std::int32_t sampleFrames);
using AEffectSetParameterProc = void(ZANDREL_VSTCALL*)(AEffect* effect, std::int32_t index, float value);
using AEffectGetParameterProc = float(ZANDREL_VSTCALL*)(AEffect* effect, std::int32_t index);

// The plug-in's entry: called once per instance; null means no instance was created.
using VstPluginMainProc = AEffect*(ZANDREL_VSTCALL*)(audioMasterCallback audioMaster);

struct AEffect {
    std::int32_t magic;                    // 0: kEffectMagic
    AEffectDispatcherProc dispatcher;      // 4: control requests (opcodes below)
    AEffectProcessProc process;            // 8: adds the processed block to the outputs
    AEffectSetParameterProc setParameter;  // 12: normalised value 0.0..1.0
    AEffectGetParameterProc getParameter;  // 16
    std::int32_t numPrograms;              // 20
    std::int32_t numParams;                // 24
    std::int32_t numInputs;                // 28
    std::int32_t numOutputs;               // 32
    std::int32_t flags;                    // 36: effFlags* bits
    VstIntPtr resvd1;                      // 40: reserved, zero
    VstIntPtr resvd2;                      // 44: reserved, zero
    std::int32_t initialDelay;             // 48: latency in samples
    std::int32_t realQualities;            // 52
    std::int32_t offQualities;             // 56
    float ioRatio;                         // 60
    void* object;                          // 64: the plug-in's own object behind the record
    void* user;                            // 68: the host's; the plug-in leaves it alone
    std::int32_t uniqueID;                 // 72: four characters, first in the top byte
    std::int32_t version;                  // 76
    AEffectProcessProc processReplacing;   // 80: writes the processed block over the outputs
    char future[60];                       // 84: reserved, zero
};

// 'VstP', first character in the most significant byte.
inline constexpr std::int32_t kEffectMagic = 0x56737450;

// Text capacities the host's buffers provide, terminator included.
inline constexpr std::size_t kVstMaxProgNameLen = 32;
inline constexpr std::size_t kVstMaxParamNameLen = 11;
inline constexpr std::size_t kVstMaxParamDisplayLen = 14;
inline constexpr std::size_t kVstMaxParamLabelLen = 6;
inline constexpr std::size_t kVstValueTextLen = 9;

// Bits of AEffect::flags.
enum : std::int32_t {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,
    effFlagsExtHasBuffer = 1 << 11,
};

// Plug-in categories answered to effGetPlugCategory.
enum : std::int32_t {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

// Host to plug-in, through AEffect::dispatcher.
enum : std::int32_t {
    effOpen = 0,             // after main, before anything else
    effClose = 1,            // last call: the instance is deleted during it
    effSetProgram = 2,       // value: program number
    effGetProgram = 3,       // answer: current program
    effSetProgramName = 4,   // ptr: name, at most 31 characters
    effGetProgramName = 5,   // ptr: 32-byte buffer
    effGetParamLabel = 6,    // index, ptr: unit text
    effGetParamDisplay = 7,  // index, ptr: value text
    effGetParamName = 8,     // index, ptr: name text
    effGetVu = 9,            // answer: level x 32767
    effSetSampleRate = 10,   // opt: sample rate
    effSetBlockSize = 11,    // value: largest block size
    effMainsChanged = 12,    // value: 0 off (suspend), otherwise on (resume)
    effEditGetRect = 13,     // ptr: where the editor's rectangle goes
    effEditOpen = 14,        // ptr: the parent window
    effEditClose = 15,
    effEditDraw = 16,
    effEditMouse = 17,
    effEditKey = 18,
    effEditIdle = 19,
    effEditTop = 20,
    effEditSleep = 21,
    effIdentify = 22,          // answer: 'NvEf'
    effGetChunk = 23,          // ptr: where the chunk's address goes; index: preset
    effSetChunk = 24,          // ptr: chunk, value: size, index: preset
    effProcessEvents = 25,     // ptr: events list
    effCanBeAutomated = 26,    // index: parameter
    effString2Parameter = 27,  // index, ptr: text
    effGetNumProgramCategories = 28,
    effGetProgramNameIndexed = 29,  // value: category, index: program, ptr: name buffer
    effCopyProgram = 30,            // index: destination
    effConnectInput = 31,           // index: pin, value: connected
    effConnectOutput = 32,          // index: pin, value: connected
    effGetInputProperties = 33,     // index: pin, ptr: properties
    effGetOutputProperties = 34,    // index: pin, ptr: properties
    effGetPlugCategory = 35,
    effGetCurrentPosition = 36,
    effGetDestinationBuffer = 37,       // answer: a pointer
    effOfflineNotify = 38,              // ptr: files, value: count, index: start
    effOfflinePrepare = 39,             // ptr: tasks, value: count
    effOfflineRun = 40,                 // ptr: tasks, value: count
    effProcessVarIo = 41,               // ptr: variable-I/O record
    effSetSpeakerArrangement = 42,      // value: input arrangement (a pointer), ptr: output
    effSetBlockSizeAndSampleRate = 43,  // value: block size, opt: sample rate
    effSetBypass = 44,                  // value: bypassed
    effGetEffectName = 45,              // ptr: text buffer
    effGetErrorText = 46,               // ptr: text buffer
    effGetVendorString = 47,            // ptr: text buffer
    effGetProductString = 48,           // ptr: text buffer
    effGetVendorVersion = 49,
    effVendorSpecific = 50,  // all four arguments are the vendor's
    effCanDo = 51,           // ptr: capability text
    effGetTailSize = 52,
    effIdle = 53,
    effGetIcon = 54,                 // answer: a pointer
    effSetViewPosition = 55,         // index: x, value: y
    effGetParameterProperties = 56,  // index, ptr: properties
    effKeysRequired = 57,            // answer: 0 when the plug-in wants keys
    effGetVstVersion = 58,
    kNumEffOpcodes = 59,
};

// Plug-in to host, through audioMasterCallback.
enum : std::int32_t {
    audioMasterAutomate = 0,  // index: parameter, opt: value
    audioMasterVersion = 1,   // answer: host's interface version, 0 refuses
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,   // index: pin, value: 0 input, 1 output; 0 = connected
    audioMasterWantMidi = 6,       // value: filter
    audioMasterGetTime = 7,        // value: filter; answer: time record pointer
    audioMasterProcessEvents = 8,  // ptr: events list
    audioMasterSetTime = 9,
    audioMasterTempoAt = 10,  // value: sample position
    audioMasterGetNumAutomatableParameters = 11,
    audioMasterGetParameterQuantization = 12,
    audioMasterIOChanged = 13,
    audioMasterNeedIdle = 14,
    audioMasterSizeWindow = 15,  // index: width, value: height
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetPreviousPlug = 20,
    audioMasterGetNextPlug = 21,
    audioMasterWillReplaceOrAccumulate = 22,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,  // index: new files, value: files, ptr: file list
    audioMasterOfflineRead = 26,   // index: read source, value: option, ptr: task
    audioMasterOfflineWrite = 27,  // value: option, ptr: task
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    audioMasterSetOutputSampleRate = 30,    // opt: sample rate
    audioMasterGetSpeakerArrangement = 31,  // value: input pointer, ptr: output pointer
    audioMasterGetVendorString = 32,        // ptr: text buffer
    audioMasterGetProductString = 33,       // ptr: text buffer
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterSetIcon = 36,
    audioMasterCanDo = 37,  // ptr: capability text
    audioMasterGetLanguage = 38,
    audioMasterOpenWindow = 39,   // ptr: window description
    audioMasterCloseWindow = 40,  // ptr: window description
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
};

}  // extern "C"

// Four characters as an identifier, the first in the most significant byte.
constexpr std::int32_t fourCharCode(char a, char b, char c, char d) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                     (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                     (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

static_assert(fourCharCode('V', 's', 't', 'P') == kEffectMagic);

#if INTPTR_MAX == INT32_MAX
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 4);
static_assert(offsetof(AEffect, process) == 8);
static_assert(offsetof(AEffect, setParameter) == 12);
static_assert(offsetof(AEffect, getParameter) == 16);
static_assert(offsetof(AEffect, numPrograms) == 20);
static_assert(offsetof(AEffect, numParams) == 24);
static_assert(offsetof(AEffect, numInputs) == 28);
static_assert(offsetof(AEffect, numOutputs) == 32);
static_assert(offsetof(AEffect, flags) == 36);
static_assert(offsetof(AEffect, resvd1) == 40);
static_assert(offsetof(AEffect, resvd2) == 44);
static_assert(offsetof(AEffect, initialDelay) == 48);
static_assert(offsetof(AEffect, realQualities) == 52);
static_assert(offsetof(AEffect, offQualities) == 56);
static_assert(offsetof(AEffect, ioRatio) == 60);
static_assert(offsetof(AEffect, object) == 64);
static_assert(offsetof(AEffect, user) == 68);
static_assert(offsetof(AEffect, uniqueID) == 72);
static_assert(offsetof(AEffect, version) == 76);
static_assert(offsetof(AEffect, processReplacing) == 80);
static_assert(offsetof(AEffect, future) == 84);
static_assert(sizeof(AEffect) == 144);
#elif INTPTR_MAX == INT64_MAX
// Natural alignment: four bytes of padding after magic and after flags.
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24);
static_assert(offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48);
static_assert(offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, resvd1) == 64);
static_assert(offsetof(AEffect, resvd2) == 72);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, realQualities) == 84);
static_assert(offsetof(AEffect, offQualities) == 88);
static_assert(offsetof(AEffect, ioRatio) == 92);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, future) == 128);
static_assert(sizeof(AEffect) == 192);
#else
#error "unsupported pointer width"
#endif
