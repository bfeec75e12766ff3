#include "vst/audioeffect.h"

#include <cstring>

#include "vst/aeffeditor.h"

char* vst_strncpy(char* dst, const char* src, size_t maxLen) {
    size_t n = 0;
    while (n < maxLen && src[n]) {
        dst[n] = src[n];
        ++n;
    }
    dst[n] = 0;
    return dst;
}

namespace {

AudioEffect* effectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

VstIntPtr VSTCALLBACK dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
    AudioEffect* effect = effectOf(e);
    if (!effect) return 0;
    if (opcode == effClose) {
        // The host gives up the record with this call; nothing may touch it afterwards.
        effect->dispatcher(opcode, index, value, ptr, opt);
        delete effect;
        return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

void VSTCALLBACK processEntry(AEffect* e, float** in, float** out, VstInt32 n) {
    if (AudioEffect* effect = effectOf(e)) effect->process(in, out, n);
}

void VSTCALLBACK processReplacingEntry(AEffect* e, float** in, float** out, VstInt32 n) {
    if (AudioEffect* effect = effectOf(e)) effect->processReplacing(in, out, n);
}

void VSTCALLBACK processDoubleEntry(AEffect* e, double** in, double** out, VstInt32 n) {
    if (AudioEffect* effect = effectOf(e)) effect->processDoubleReplacing(in, out, n);
}

void VSTCALLBACK setParameterEntry(AEffect* e, VstInt32 index, float value) {
    if (AudioEffect* effect = effectOf(e)) effect->setParameter(index, value);
}

float VSTCALLBACK getParameterEntry(AEffect* e, VstInt32 index) {
    AudioEffect* effect = effectOf(e);
    return effect ? effect->getParameter(index) : 0.0f;
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback host, VstInt32 programs, VstInt32 params)
    : audioMaster(host), numPrograms(programs), numParams(params) {
    std::memset(&cEffect, 0, sizeof cEffect);
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEntry;
    cEffect.process = processEntry;
    cEffect.setParameter = setParameterEntry;
    cEffect.getParameter = getParameterEntry;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vstFourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEntry;
    cEffect.processDoubleReplacing = processDoubleEntry;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstInt32 AudioEffect::getMasterVersion() {
    if (!audioMaster) return 1;
    VstInt32 version = (VstInt32)callHost(audioMasterVersion);
    return version ? version : 1;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms) setProgram((VstInt32)value);
        return 0;
    case effGetProgram: return getProgram();
    // Every opcode that hands over a buffer is refused when the buffer is missing.
    case effSetProgramName: if (text) setProgramName(text); return 0;
    case effGetProgramName: if (text) getProgramName(text); return 0;
    case effGetParamLabel: if (text) getParameterLabel(index, text); return 0;
    case effGetParamDisplay: if (text) getParameterDisplay(index, text); return 0;
    case effGetParamName: if (text) getParameterName(index, text); return 0;
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize((VstInt32)value); return 0;
    case effMainsChanged:
        if (value)
            resume();
        else
            suspend();
        return 0;
    case effEditGetRect: return editor && ptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen: return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose: if (editor) editor->close(); return 0;
    case effEditIdle: if (editor) editor->idle(); return 0;
    case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        // A size that does not fit the 32-bit argument must not wrap into a valid one.
        if (!ptr || value < 0 || value > INT32_MAX) return 0;
        return setChunk(ptr, (VstInt32)value, index != 0);
    default: return 0;
    }
}
