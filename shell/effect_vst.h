// The effect the host talks to: a thin layer over the engine that answers the
// dispatcher, negotiates speakers, switches programs and takes chunks.
#pragma once
#include "engine/engine.h"
#include "engine/params.h"
#include "vst/audioeffectx.h"

namespace kelvoran {

class KelvoranEditor;

// Chunk sizes the effect writes or accepts.
constexpr VstInt32 kBankChunkSize = sizeof(BankImage);
constexpr VstInt32 kProgramChunkSize = sizeof(KelvoranProgram);
constexpr VstInt32 kLegacyProgramChunkSize = sizeof(LegacyProgram);
constexpr int kLegacyBankPrograms = 45;
constexpr VstInt32 kLegacyBankChunkSize = 4 + kLegacyBankPrograms * sizeof(LegacyProgram);
static_assert(kLegacyBankChunkSize == 430204);

// The longest program name a host buffer takes (its nominal 24 bytes with terminator);
// the program itself keeps up to 27 characters.
constexpr int kHostProgramNameLength = kVstMaxProgNameLen - 1;
constexpr int kProgramNameLength = kNameSize - 1;
// Value texts fit the host's nominal 8-byte buffer.
constexpr int kHostDisplayLength = kVstMaxParamStrLen - 1;

class EffectVST : public AudioEffectX {
public:
    explicit EffectVST(audioMasterCallback host);
    ~EffectVST() override;

    // Set by the editor's constructor; null only when the engine could not be made.
    ReverbEngine* engine = nullptr;

    // State
    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 size) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    // Parameters
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;

    // Programs and chunks
    void setProgram(VstInt32 index) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    // Pins and speakers
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) override;
    bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) override;

    // Identity
    VstPlugCategory getPlugCategory() override { return kPlugCategRoomFx; }
    bool getProductString(char* text) override;
    bool getVendorString(char* text) override;
    VstInt32 getVendorVersion() override { return 2910; }
    VstInt32 canDo(char* text) override;

private:
    KelvoranEditor* kelvoranEditor();
    // The shell's own control commands (reload, category, previous, next).
    void runCommand(VstInt32 index, float value);
    void stepProgram(int step);
};

}  // namespace kelvoran
