// Core effect base: owns the AEffect record handed to the host, routes the
// record's entries to virtual operations and decodes the core dispatcher
// opcodes (effOpen .. effSetChunk).
#pragma once

#include "vst/aeffect.h"

class AEffEditor;

// Copies at most maxLen characters and always terminates: dst must hold
// maxLen + 1 bytes. Returns dst.
char* vst_strncpy(char* dst, const char* src, size_t maxLen);

class AudioEffect {
public:
    AudioEffect(audioMasterCallback host, VstInt32 programs, VstInt32 params);
    virtual ~AudioEffect();  // deletes the editor

    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    // State
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}

    // Processing
    virtual void setSampleRate(float newRate) { sampleRate = newRate; }
    virtual void setBlockSize(VstInt32 newSize) { blockSize = newSize; }
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/, VstInt32 /*sampleFrames*/) {}
    virtual void process(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}  // deprecated

    // Parameters
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter(VstInt32 /*index*/) { return 0; }
    // setParameter, then tell the host so it can record the change.
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual void getParameterLabel(VstInt32 /*index*/, char* label) { *label = 0; }
    virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { *text = 0; }
    virtual void getParameterName(VstInt32 /*index*/, char* text) { *text = 0; }

    // Programs and state
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { *name = 0; }
    virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/ = false) { return 0; }
    virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/ = false) { return 0; }

    // What the record tells the host
    virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(VstInt32 n) { cEffect.numInputs = n; }
    virtual void setNumOutputs(VstInt32 n) { cEffect.numOutputs = n; }
    virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
    virtual void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state = true) { setFlag(effFlagsCanDoubleReplacing, state); }
    virtual void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
    virtual void canMono(bool state = true) { setFlag(effFlagsCanMono, state); }  // deprecated flag
    // Takes ownership; sets or clears the has-editor flag.
    virtual void setEditor(AEffEditor* newEditor);
    virtual AEffEditor* getEditor() { return editor; }

    // Host queries
    // The host's interface version; a host that answers 0 predates versioning and counts as 1.
    virtual VstInt32 getMasterVersion();
    virtual float getSampleRate() { return sampleRate; }
    virtual VstInt32 getBlockSize() { return blockSize; }

    AEffect* getAeffect() { return &cEffect; }
    audioMasterCallback getAudioMaster() { return audioMaster; }

protected:
    void setFlag(VstInt32 flag, bool state);
    // The host callback, or 0 when there is none.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0);

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram = 0;
    AEffect cEffect;
};
