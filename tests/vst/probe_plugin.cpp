// A minimal plug-in library built on the interface layer, loaded by the
// library test exactly as a host loads one.
#include <cstring>

#include "vst/audioeffectx.h"

namespace {

class TinyEffect : public AudioEffectX {
public:
    explicit TinyEffect(audioMasterCallback host) : AudioEffectX(host, 2, 1) {
        setUniqueID(vstFourCC('T', 'e', 's', 't'));
        setNumInputs(2);
        setNumOutputs(2);
    }
    void processReplacing(float** in, float** out, VstInt32 n) override {
        for (int c = 0; c < 2; ++c)
            for (VstInt32 i = 0; i < n; ++i) out[c][i] = in[c][i] * gain;
    }
    void setParameter(VstInt32 index, float value) override {
        if (index == 0) gain = value;
    }
    float getParameter(VstInt32 index) override { return index == 0 ? gain : 0; }
    bool getProductString(char* text) override {
        vst_strncpy(text, "Tiny", kVstMaxProductStrLen - 1);
        return true;
    }
    VstInt32 canDo(char* text) override { return std::strcmp(text, "plugAsChannelInsert") == 0 ? 1 : -1; }

private:
    float gain = 1;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    if (!host || !host(nullptr, audioMasterVersion, 0, 0, nullptr, 0)) return nullptr;
    return (new TinyEffect(host))->getAeffect();
}
