// A minimal VST 2.4 host around the plug-in's own entry point: the command-line tools
// drive exactly the effect object and block entry that a sequencer loads.
#pragma once
#include <string>
#include <vector>

#include "vst/aeffect.h"

namespace kelvoran::tools {

class PluginHost {
   public:
    PluginHost(float sampleRate, int outputs);  // outputs: 2, 4 or 5
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    bool ok() const { return effect != nullptr; }
    AEffect* effect = nullptr;

    std::vector<std::string> programNames();
    std::vector<std::string> parameterNames();
    void setProgram(int index);
    void setParameter(int index, float value);
    float getParameter(int index);
    // Interleaved stereo in, `outputs` interleaved channels out; any length.
    void process(const float* in, float* out, int frames);
    int outputs() const { return numOutputs; }

    static constexpr int kBlock = 512;

   private:
    float rate;
    int numOutputs;
    std::vector<float> inBuf[2], outBuf[6];
    VstIntPtr dispatch(VstInt32 op, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0);
};

}  // namespace kelvoran::tools
