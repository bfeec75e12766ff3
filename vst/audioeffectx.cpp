#include "vst/audioeffectx.h"

#include <cstdlib>

#include "vst/aeffeditor.h"

namespace {

// More channels than any real layout; a count beyond it is a corrupt record,
// and copying it would read far past the host's block.
constexpr VstInt32 kMaxArrangementChannels = 128;

size_t arrangementBytes(VstInt32 nbChannels) {
    // Never smaller than the declared record, for hosts that read all eight speakers.
    VstInt32 records = nbChannels > 8 ? nbChannels : 8;
    return offsetof(VstSpeakerArrangement, speakers) + (size_t)records * sizeof(VstSpeakerProperties);
}

}  // namespace

AudioEffectX::AudioEffectX(audioMasterCallback host, VstInt32 programs, VstInt32 params)
    : AudioEffect(host, programs, params) {}

void AudioEffectX::resume() {
    char midi[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) || canDo(midi) == 1) wantEvents();
}

VstPlugCategory AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

// ---- host requests --------------------------------------------------------------

bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }
bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }
bool AudioEffectX::ioChanged() { return callHost(audioMasterIOChanged) != 0; }
bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}
bool AudioEffectX::canHostDo(char* text) { return text && callHost(audioMasterCanDo, 0, 0, text) > 0; }
bool AudioEffectX::openFileSelector(VstFileSelect* fileSelect) {
    return fileSelect && callHost(audioMasterOpenFileSelector, 0, 0, fileSelect) != 0;
}
bool AudioEffectX::closeFileSelector(VstFileSelect* fileSelect) {
    return fileSelect && callHost(audioMasterCloseFileSelector, 0, 0, fileSelect) != 0;
}
void AudioEffectX::wantEvents(VstInt32 filter) { callHost(audioMasterWantMidi, 0, filter); }

// ---- speaker arrangements ----------------------------------------------------------

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 nbChannels) {
    if (!arrangement || nbChannels < 0 || nbChannels > kMaxArrangementChannels) return false;
    auto* fresh = static_cast<VstSpeakerArrangement*>(std::calloc(1, arrangementBytes(nbChannels)));
    if (!fresh) return false;
    fresh->numChannels = nbChannels;
    std::free(*arrangement);
    *arrangement = fresh;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
    if (!arrangement) return false;
    std::free(*arrangement);
    *arrangement = nullptr;
    return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
    if (!to || !from) return false;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    // Reads at most 63 bytes: the host's name need not be terminated in its field.
    vst_strncpy(to->name, from->name, kVstMaxNameLen - 1);
    to->type = from->type;
    return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
    if (!to || !from) return false;
    if (*to == from) return true;
    VstSpeakerArrangement* copy = nullptr;
    if (!allocateArrangement(&copy, from->numChannels)) return false;
    copy->type = from->type;
    for (VstInt32 i = 0; i < from->numChannels; ++i) copySpeaker(&copy->speakers[i], &from->speakers[i]);
    std::free(*to);
    *to = copy;
    return true;
}

// ---- dispatcher ---------------------------------------------------------------------

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effProcessEvents: return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter: return text && string2parameter(index, text) ? 1 : 0;
    // The category travels in value, the program in index.
    case effGetProgramNameIndexed: return text && getProgramNameIndexed((VstInt32)value, index, text) ? 1 : 0;
    case effGetInputProperties:
        return ptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetOutputProperties:
        return ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetPlugCategory: return getPlugCategory();
    // The input arrangement travels in value, the output in ptr.
    case effSetSpeakerArrangement:
        return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                     static_cast<VstSpeakerArrangement*>(ptr))
                   ? 1
                   : 0;
    case effGetSpeakerArrangement: {
        auto** in = reinterpret_cast<VstSpeakerArrangement**>(value);
        auto** out = static_cast<VstSpeakerArrangement**>(ptr);
        return in && out && getSpeakerArrangement(in, out) ? 1 : 0;
    }
    case effSetBlockSizeAndSampleRate: setBlockSizeAndSampleRate((VstInt32)value, opt); return 0;
    case effSetBypass: return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName: return text && getEffectName(text) ? 1 : 0;
    case effGetVendorString: return text && getVendorString(text) ? 1 : 0;
    case effGetProductString: return text && getProductString(text) ? 1 : 0;
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return text ? canDo(text) : 0;
    case effGetTailSize: return getGetTailSize();
    case effGetParameterProperties:
        return ptr && getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (!editor) return 0;
        VstKeyCode key{index, (unsigned char)value, (unsigned char)opt};
        bool used = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
        return used ? 1 : 0;
    }
    case effSetEditKnobMode: return editor && editor->setKnobMode((VstInt32)value) ? 1 : 0;
    case effBeginSetProgram: return beginSetProgram() ? 1 : 0;
    case effEndSetProgram: return endSetProgram() ? 1 : 0;
    case effShellGetNextPlugin: return text ? getNextShellPlugin(text) : 0;
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess((VstInt32)value);
    case effSetPanLaw: return setPanLaw((VstInt32)value, opt) ? 1 : 0;
    case effBeginLoadBank: return ptr ? beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr)) : 0;
    case effBeginLoadProgram: return ptr ? beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr)) : 0;
    case effSetProcessPrecision: return setProcessPrecision((VstInt32)value) ? 1 : 0;
    case effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}
