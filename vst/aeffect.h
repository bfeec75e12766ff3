// The VST 2.4 plug-in ABI as a 64-bit Linux host sees it: the effect record,
// the opcodes in both directions, and the records passed through them.
// Layouts follow the host's C compiler with natural alignment; the checks at
// the end of this file pin every offset a host reads.
#pragma once

#include <cstddef>
#include <cstdint>

using VstInt16 = int16_t;
using VstInt32 = int32_t;
using VstInt64 = int64_t;
using VstIntPtr = intptr_t;

// The one calling convention of x86-64 Linux; kept as a name so the entry
// signatures read like the published ones.
#define VSTCALLBACK

// Four characters packed big-end first: 'VstP' == 0x56737450.
constexpr VstInt32 vstFourCC(char a, char b, char c, char d) {
    return (VstInt32)(((uint32_t)(uint8_t)a << 24) | ((uint32_t)(uint8_t)b << 16) |
                      ((uint32_t)(uint8_t)c << 8) | (uint32_t)(uint8_t)d);
}

constexpr VstInt32 kEffectMagic = vstFourCC('V', 's', 't', 'P');
constexpr VstInt32 kVstVersion = 2400;

struct AEffect;

using audioMasterCallback = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                    VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                      VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void(VSTCALLBACK*)(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void(VSTCALLBACK*)(AEffect* effect, double** inputs, double** outputs,
                                                    VstInt32 sampleFrames);
using AEffectSetParameterProc = void(VSTCALLBACK*)(AEffect* effect, VstInt32 index, float parameter);
using AEffectGetParameterProc = float(VSTCALLBACK*)(AEffect* effect, VstInt32 index);

struct AEffect {
    VstInt32 magic;                     // kEffectMagic
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;         // deprecated accumulating entry
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;                     // VstAEffectFlags
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;              // latency in samples
    VstInt32 realQualities;             // deprecated
    VstInt32 offQualities;              // deprecated
    float ioRatio;                      // deprecated
    void* object;                       // the AudioEffect behind this record
    void* user;                         // free for the host
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum VstAEffectFlags : VstInt32 {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,           // deprecated
    effFlagsHasVu = 1 << 2,             // deprecated
    effFlagsCanMono = 1 << 3,           // deprecated
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,       // deprecated
    effFlagsExtHasBuffer = 1 << 11,     // deprecated
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Host -> plug-in, through AEffect::dispatcher.
enum AEffectOpcodes : VstInt32 {
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,                           // deprecated
    effSetSampleRate,                   // 10
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,                        // deprecated
    effEditMouse,                       // deprecated
    effEditKey,                         // deprecated
    effEditIdle,
    effEditTop,                         // 20, deprecated
    effEditSleep,                       // deprecated
    effIdentify,                        // deprecated
    effGetChunk,
    effSetChunk,
    effProcessEvents,                   // 25
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,         // deprecated
    effGetProgramNameIndexed,
    effCopyProgram,                     // 30, deprecated
    effConnectInput,                    // deprecated
    effConnectOutput,                   // deprecated
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,                 // 35
    effGetCurrentPosition,              // deprecated
    effGetDestinationBuffer,            // deprecated
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,                      // 40
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,       // deprecated
    effSetBypass,
    effGetEffectName,                   // 45
    effGetErrorText,                    // deprecated
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,                  // 50
    effCanDo,
    effGetTailSize,
    effIdle,                            // deprecated
    effGetIcon,                         // deprecated
    effSetViewPosition,                 // 55, deprecated
    effGetParameterProperties,
    effKeysRequired,                    // deprecated
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp,                       // 60
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,          // 65
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin,              // 70
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,                   // 75
    effBeginLoadProgram,
    effSetProcessPrecision,
    effGetNumMidiInputChannels,
    effGetNumMidiOutputChannels,        // 79
};

// Plug-in -> host, through the audioMasterCallback.
enum AudioMasterOpcodes : VstInt32 {
    audioMasterAutomate = 0,
    audioMasterVersion,
    audioMasterCurrentId,
    audioMasterIdle,
    audioMasterPinConnected,            // deprecated
    audioMasterWantMidi = 6,            // deprecated
    audioMasterGetTime,
    audioMasterProcessEvents,
    audioMasterSetTime,                 // deprecated
    audioMasterTempoAt,                 // 10, deprecated
    audioMasterGetNumAutomatableParameters, // deprecated
    audioMasterGetParameterQuantization,    // deprecated
    audioMasterIOChanged,
    audioMasterNeedIdle,                // deprecated
    audioMasterSizeWindow,              // 15
    audioMasterGetSampleRate,
    audioMasterGetBlockSize,
    audioMasterGetInputLatency,
    audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug,         // 20, deprecated
    audioMasterGetNextPlug,             // deprecated
    audioMasterWillReplaceOrAccumulate, // deprecated
    audioMasterGetCurrentProcessLevel,
    audioMasterGetAutomationState,
    audioMasterOfflineStart,            // 25
    audioMasterOfflineRead,
    audioMasterOfflineWrite,
    audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass,
    audioMasterSetOutputSampleRate,     // 30, deprecated
    audioMasterGetOutputSpeakerArrangement, // deprecated
    audioMasterGetVendorString,
    audioMasterGetProductString,
    audioMasterGetVendorVersion,
    audioMasterVendorSpecific,          // 35
    audioMasterSetIcon,                 // deprecated
    audioMasterCanDo,
    audioMasterGetLanguage,
    audioMasterOpenWindow,              // deprecated
    audioMasterCloseWindow,             // 40, deprecated
    audioMasterGetDirectory,
    audioMasterUpdateDisplay,
    audioMasterBeginEdit,
    audioMasterEndEdit,
    audioMasterOpenFileSelector,        // 45
    audioMasterCloseFileSelector,
    audioMasterEditFile,                // deprecated
    audioMasterGetChunkFile,            // deprecated
    audioMasterGetInputSpeakerArrangement, // deprecated
};

// Buffer lengths hosts allocate for the string opcodes, terminator included.
enum VstStringConstants {
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
    kVstMaxNameLen = 64,
    kVstMaxLabelLen = 64,
    kVstMaxShortLabelLen = 8,
    kVstMaxCategLabelLen = 24,
    kVstMaxFileNameLen = 100,
};

// Editor window size, in pixels.
struct ERect {
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

// A key typed into the editor: effEditKeyDown carries character in index,
// virt in value and modifier in opt.
struct VstKeyCode {
    VstInt32 character;
    unsigned char virt;
    unsigned char modifier;
};

// ---- events -----------------------------------------------------------------

struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;                  // of the event after this field
    VstInt32 deltaFrames;
    VstInt32 flags;
    char data[16];
};

struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2];                // numEvents entries in fact
};

// ---- pins and speakers --------------------------------------------------------

enum VstPinPropertiesFlags {
    kVstPinIsActive = 1 << 0,
    kVstPinIsStereo = 1 << 1,
    kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties {
    char label[kVstMaxLabelLen];
    VstInt32 flags;                     // VstPinPropertiesFlags
    VstInt32 arrangementType;           // VstSpeakerArrangementType
    char shortLabel[kVstMaxShortLabelLen];
    char future[48];
};

enum VstPlugCategory {
    kPlugCategUnknown = 0,
    kPlugCategEffect,
    kPlugCategSynth,
    kPlugCategAnalysis,
    kPlugCategMastering,
    kPlugCategSpacializer,
    kPlugCategRoomFx,                   // 6
    kPlugSurroundFx,
    kPlugCategRestoration,
    kPlugCategOfflineProcess,
    kPlugCategShell,
    kPlugCategGenerator,
    kPlugCategMaxCount,
};

enum VstSpeakerType : VstInt32 {
    kSpeakerUndefined = 0x7fffffff,
    kSpeakerM = 0,
    kSpeakerL,
    kSpeakerR,
    kSpeakerC,
    kSpeakerLfe,
    kSpeakerLs,
    kSpeakerRs,
    kSpeakerLc,
    kSpeakerRc,
    kSpeakerS,
    kSpeakerCs = kSpeakerS,
    kSpeakerSl,
    kSpeakerSr,
    kSpeakerTm,
    kSpeakerTfl,
    kSpeakerTfc,
    kSpeakerTfr,
    kSpeakerTrl,
    kSpeakerTrc,
    kSpeakerTrr,
    kSpeakerLfe2,
};

enum VstSpeakerArrangementType : VstInt32 {
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo,
    kSpeakerArrStereoSurround,
    kSpeakerArrStereoCenter,
    kSpeakerArrStereoSide,
    kSpeakerArrStereoCLfe,
    kSpeakerArr30Cine,
    kSpeakerArr30Music,
    kSpeakerArr31Cine,
    kSpeakerArr31Music,
    kSpeakerArr40Cine,                  // 10
    kSpeakerArr40Music,
    kSpeakerArr41Cine,
    kSpeakerArr41Music,
    kSpeakerArr50,
    kSpeakerArr51,                      // 15
    kSpeakerArr60Cine,
    kSpeakerArr60Music,
    kSpeakerArr61Cine,
    kSpeakerArr61Music,
    kSpeakerArr70Cine,                  // 20
    kSpeakerArr70Music,
    kSpeakerArr71Cine,
    kSpeakerArr71Music,
    kSpeakerArr80Cine,
    kSpeakerArr80Music,                 // 25
    kSpeakerArr81Cine,
    kSpeakerArr81Music,
    kSpeakerArr102,
    kNumSpeakerArr,
};

struct VstSpeakerProperties {
    float azimuth;                      // radians, -pi..pi
    float elevation;                    // radians, -pi/2..pi/2
    float radius;                       // metres
    float reserved;
    char name[kVstMaxNameLen];
    VstInt32 type;                      // VstSpeakerType
    char future[28];
};

// Variable length: numChannels speaker records follow the header; the
// declared eight are only the common case.
struct VstSpeakerArrangement {
    VstInt32 type;                      // VstSpeakerArrangementType
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};

// ---- file selector ------------------------------------------------------------

struct VstFileType {
    char name[128];
    char macType[8];
    char dosType[8];
    char unixType[8];
    char mimeType1[128];
    char mimeType2[128];
};

enum VstFileSelectCommand {
    kVstFileLoad = 0,
    kVstFileSave,
    kVstMultipleFilesLoad,
    kVstDirectorySelect,
};

enum VstFileSelectType {
    kVstFileType = 0,
};

struct VstFileSelect {
    VstInt32 command;                   // VstFileSelectCommand
    VstInt32 type;                      // VstFileSelectType
    VstInt32 macCreator;
    VstInt32 nbFileTypes;
    VstFileType* fileTypes;
    char title[1024];
    char* initialPath;
    char* returnPath;                   // caller's buffer, or null: the host allocates
    VstInt32 sizeReturnPath;
    char** returnMultiplePaths;         // host allocated
    VstInt32 nbReturnPath;
    VstIntPtr reserved;
    char future[116];
};

// ---- parameter properties -----------------------------------------------------

struct VstParameterProperties {
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[kVstMaxLabelLen];
    VstInt32 flags;
    VstInt32 minInteger;
    VstInt32 maxInteger;
    VstInt32 stepInteger;
    VstInt32 largeStepInteger;
    char shortLabel[kVstMaxShortLabelLen];
    VstInt16 displayIndex;
    VstInt16 category;
    VstInt16 numParametersInCategory;
    VstInt16 reserved;
    char categoryLabel[kVstMaxCategLabelLen];
    char future[16];
};

enum VstProcessPrecision {
    kVstProcessPrecision32 = 0,
    kVstProcessPrecision64,
};

// ---- what hosts rely on --------------------------------------------------------

static_assert(sizeof(void*) == 8, "this layer describes the 64-bit ABI");
static_assert(kEffectMagic == 0x56737450);

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
static_assert(offsetof(AEffect, ioRatio) == 92);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, processDoubleReplacing) == 128);
static_assert(offsetof(AEffect, future) == 136);
static_assert(sizeof(AEffect) == 192);

static_assert(sizeof(ERect) == 8);
static_assert(sizeof(VstKeyCode) == 8);
static_assert(sizeof(VstEvent) == 32);
static_assert(offsetof(VstEvents, events) == 16);

static_assert(sizeof(VstPinProperties) == 128);
static_assert(offsetof(VstPinProperties, flags) == 64);
static_assert(offsetof(VstPinProperties, arrangementType) == 68);
static_assert(offsetof(VstPinProperties, shortLabel) == 72);

static_assert(sizeof(VstSpeakerProperties) == 112);
static_assert(offsetof(VstSpeakerProperties, name) == 16);
static_assert(offsetof(VstSpeakerProperties, type) == 80);
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * 112);

static_assert(sizeof(VstFileType) == 408);
static_assert(offsetof(VstFileSelect, fileTypes) == 16);
static_assert(offsetof(VstFileSelect, title) == 24);
static_assert(offsetof(VstFileSelect, initialPath) == 1048);
static_assert(offsetof(VstFileSelect, returnPath) == 1056);
static_assert(offsetof(VstFileSelect, sizeReturnPath) == 1064);
static_assert(offsetof(VstFileSelect, returnMultiplePaths) == 1072);
static_assert(offsetof(VstFileSelect, nbReturnPath) == 1080);
static_assert(offsetof(VstFileSelect, reserved) == 1088);
static_assert(sizeof(VstFileSelect) == 1216);

static_assert(sizeof(VstParameterProperties) == 152);
static_assert(offsetof(VstParameterProperties, displayIndex) == 104);
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112);
