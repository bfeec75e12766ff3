#include "shell/effect_vst.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "editor/kelvoran_editor.h"

namespace kelvoran {

namespace {

constexpr VstInt32 kMaxInputChannels = 6;

// canDo queries answered with yes; everything else, in any other spelling, is a no.
constexpr const char* kCanDo[] = {"receiveVstEvents", "plugAsChannelInsert", "4in8out", "mixDryWet"};

struct OutputPin {
    const char* label;
    bool stereo;
};
constexpr OutputPin kOutputPins[] = {
    {"5.1 Out", true}, {"5.1 Out", false}, {"Center", false},
    {"LFE", false},    {"Stereo Back", true}, {"5.1 Out", false},
};

}  // namespace

EffectVST::EffectVST(audioMasterCallback host) : AudioEffectX(host, kNumPrograms, kNumParameters) {
    // The editor builds the engine and hands it to us; we keep the editor as ours.
    setEditor(new KelvoranEditor(this));
    setUniqueID(vstFourCC(kEffectIdChars[0], kEffectIdChars[1], kEffectIdChars[2], kEffectIdChars[3]));
    programsAreChunks(true);
    setNumInputs(2);
    setNumOutputs(6);
    canProcessReplacing(true);
    canMono(true);
    if (!engine) return;  // the entry point gives the host nothing
    deallocateArrangement(&engine->inputArrangement);
    deallocateArrangement(&engine->outputArrangement);
    allocateArrangement(&engine->outputArrangement, 6);
    if (engine->outputArrangement) engine->outputArrangement->type = kSpeakerArr51;
    engine->numOutputs = 2;
    allocateArrangement(&engine->inputArrangement, 2);
    if (engine->inputArrangement) engine->inputArrangement->type = kSpeakerArrStereo;
    engine->numInputs = 2;
    curProgram = 0;
    setProgram(0);
    engine->setProgramAndRate(curProgram, sampleRate);
    engine->resetSignalPath();
    AudioEffectX::resume();
}

EffectVST::~EffectVST() {
    if (engine) {
        deallocateArrangement(&engine->inputArrangement);
        deallocateArrangement(&engine->outputArrangement);
    }
    // The editor goes before the engine it was built around.
    delete editor;
    editor = nullptr;
    delete engine;
}

KelvoranEditor* EffectVST::kelvoranEditor() { return static_cast<KelvoranEditor*>(editor); }

// ---- state -----------------------------------------------------------------------------

void EffectVST::suspend() {
    if (engine) engine->setProgramAndRate(curProgram, sampleRate);
}

void EffectVST::resume() {
    if (!engine) return;
    engine->setProgramAndRate(curProgram, sampleRate);
    engine->resetSignalPath();
    AudioEffectX::resume();
}

// Reaches the engine at the next suspend, resume, program change or chunk load.
void EffectVST::setSampleRate(float rate) { sampleRate = rate; }

void EffectVST::setBlockSize(VstInt32 size) {
    blockSize = size;
    if (engine) engine->blockSize = size;
}

void EffectVST::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (!engine || !outputs || sampleFrames <= 0) return;
    // The engine writes only the outputs it uses, and none while it is paused; the host
    // must still get silence on the others. An output that is also an input buffer
    // (in-place hosts) is left for the engine, which reads its input first.
    for (int k = 0; k < cEffect.numOutputs; ++k) {
        float* out = outputs[k];
        bool isInput = false;
        for (int i = 0; inputs && i < cEffect.numInputs; ++i) isInput |= inputs[i] == out;
        if (out && !isInput) std::memset(out, 0, sizeof(float) * sampleFrames);
    }
    engine->processBlock(inputs, outputs, sampleFrames, cEffect.numInputs, cEffect.numOutputs);
}

// ---- pins and speakers --------------------------------------------------------------------

bool EffectVST::getInputProperties(VstInt32 index, VstPinProperties* p) {
    if (index < 0 || index > 1) return false;
    std::snprintf(p->label, sizeof p->label, "My %1d In", index + 1);
    p->flags = kVstPinIsActive | kVstPinIsStereo;
    p->arrangementType = kSpeakerArrStereo;
    return true;
}

bool EffectVST::getOutputProperties(VstInt32 index, VstPinProperties* p) {
    if (index < 0 || index >= (VstInt32)(sizeof kOutputPins / sizeof kOutputPins[0])) return false;
    vst_strncpy(p->label, kOutputPins[index].label, kVstMaxLabelLen - 1);
    p->flags |= kVstPinIsActive | kVstPinUseSpeaker;
    if (kOutputPins[index].stereo) p->flags |= kVstPinIsStereo;
    p->arrangementType = kSpeakerArr51;
    return true;
}

bool EffectVST::setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) {
    if (!engine || !input || !output) return false;
    // A record that cannot be copied changes nothing.
    if (input->numChannels < 0 || output->numChannels < 0) return false;
    VstSpeakerArrangement* newOutput = nullptr;
    if (!matchArrangement(&newOutput, output)) return false;
    VstSpeakerArrangement* newInput = nullptr;
    const bool inputTaken = input->numChannels <= kMaxInputChannels;
    bool made = inputTaken ? matchArrangement(&newInput, input)
                           : allocateArrangement(&newInput, kMaxInputChannels);
    if (!made) {
        deallocateArrangement(&newOutput);
        return false;
    }
    if (!inputTaken) newInput->type = kSpeakerArr51;
    // The host may hand back our own records, so the old ones go only after copying.
    std::swap(engine->inputArrangement, newInput);
    std::swap(engine->outputArrangement, newOutput);
    deallocateArrangement(&newInput);
    deallocateArrangement(&newOutput);
    engine->layoutChanged = 1;
    engine->refreshControls = 1;
    engine->numInputs = engine->inputArrangement->numChannels;
    engine->numOutputs = engine->outputArrangement->numChannels;
    return inputTaken;
}

bool EffectVST::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
    *input = engine ? engine->inputArrangement : nullptr;
    *output = engine ? engine->outputArrangement : nullptr;
    return true;
}

// ---- identity ---------------------------------------------------------------------------------

bool EffectVST::getProductString(char* text) {
    vst_strncpy(text, "Kelvoran", kVstMaxProductStrLen - 1);
    return true;
}

bool EffectVST::getVendorString(char* text) {
    vst_strncpy(text, "Brenvale", kVstMaxVendorStrLen - 1);
    return true;
}

VstInt32 EffectVST::canDo(char* text) {
    for (const char* yes : kCanDo)
        if (std::strcmp(text, yes) == 0) return 1;
    return -1;
}

}  // namespace kelvoran
