// Extended effect base: decodes the 2.x dispatcher opcodes, wraps the host
// requests the product makes, and manages variable-length speaker
// arrangements.
#pragma once

#include "vst/audioeffect.h"

// Host's answer to effBeginLoadBank / effBeginLoadProgram.
struct VstPatchChunkInfo {
    VstInt32 version;
    VstInt32 pluginUniqueID;
    VstInt32 pluginVersion;
    VstInt32 numElements;  // programs in a bank, parameters in a program
    char future[48];
};
static_assert(sizeof(VstPatchChunkInfo) == 64);

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback host, VstInt32 programs, VstInt32 params);

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // Asks the host for events when the effect is an instrument or wants MIDI.
    void resume() override;

    // Events, parameters, programs
    virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }
    virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
    virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual bool getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*p*/) { return false; }
    virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    // 0 = no opinion, 1 = the block can be loaded, -1 = it cannot.
    virtual VstInt32 beginLoadBank(VstPatchChunkInfo* /*info*/) { return 0; }
    virtual VstInt32 beginLoadProgram(VstPatchChunkInfo* /*info*/) { return 0; }

    // Pins and speakers
    virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*p*/) { return false; }
    virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*p*/) { return false; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* /*pluginInput*/, VstSpeakerArrangement* /*pluginOutput*/) {
        return false;
    }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** pluginInput, VstSpeakerArrangement** pluginOutput) {
        *pluginInput = nullptr;
        *pluginOutput = nullptr;
        return false;
    }

    // Processing
    virtual bool setBypass(bool /*onOff*/) { return false; }
    virtual bool setProcessPrecision(VstInt32 /*precision*/) { return false; }
    virtual VstInt32 startProcess() { return 0; }
    virtual VstInt32 stopProcess() { return 0; }
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }
    virtual bool setPanLaw(VstInt32 /*type*/, float /*value*/) { return false; }
    virtual VstInt32 getGetTailSize() { return 0; }  // 0 = host default, 1 = no tail
    virtual void setBlockSizeAndSampleRate(VstInt32 newSize, float newRate) {
        setBlockSize(newSize);
        setSampleRate(newRate);
    }

    // Identity
    virtual VstPlugCategory getPlugCategory();
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(VstInt32 /*lArg*/, VstIntPtr /*lArg2*/, void* /*ptrArg*/, float /*floatArg*/) {
        return 0;
    }
    // 1 = can do, -1 = cannot, 0 = does not know.
    virtual VstInt32 canDo(char* /*text*/) { return 0; }
    virtual VstInt32 getVstVersion() { return kVstVersion; }
    virtual VstInt32 getNumMidiInputChannels() { return 0; }
    virtual VstInt32 getNumMidiOutputChannels() { return 0; }
    virtual VstInt32 getNextShellPlugin(char* /*name*/) { return 0; }

    virtual void isSynth(bool state = true) { setFlag(effFlagsIsSynth, state); }
    virtual void noTail(bool state = true) { setFlag(effFlagsNoSoundInStop, state); }

    // Host requests; each answers false when there is no host or it declines.
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);
    virtual bool updateDisplay();
    virtual bool ioChanged();
    virtual bool sizeWindow(VstInt32 width, VstInt32 height);
    virtual bool canHostDo(char* text);  // true only for a clear yes
    virtual bool openFileSelector(VstFileSelect* fileSelect);
    virtual bool closeFileSelector(VstFileSelect* fileSelect);
    virtual void wantEvents(VstInt32 filter = 1);  // deprecated request, still honoured by hosts

    // Speaker arrangements: a header and numChannels speaker records in one
    // block, zeroed. allocate replaces whatever *arrangement held.
    virtual bool allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 nbChannels);
    virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement);
    // *to becomes a fresh copy of from: type, channel count and every speaker.
    virtual bool matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from);
    virtual bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from);
};
