#include "tools/kelvoran/host.h"

#include <algorithm>
#include <cstring>

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

namespace kelvoran::tools {

namespace {
thread_local float hostRate = 44100.0f;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
        case audioMasterVersion: return 2400;
        case audioMasterGetSampleRate: return VstIntPtr(hostRate);
        case audioMasterGetBlockSize: return PluginHost::kBlock;
        default: return 0;
    }
}

VstSpeakerArrangement arrangement(int channels) {
    VstSpeakerArrangement a;
    std::memset(&a, 0, sizeof a);
    a.numChannels = channels;
    a.type = channels == 2 ? kSpeakerArrStereo : channels == 4 ? kSpeakerArr40Music : kSpeakerArr50;
    return a;
}
}  // namespace

PluginHost::PluginHost(float sampleRate, int outputs) : rate(sampleRate), numOutputs(outputs) {
    hostRate = sampleRate;
    effect = VSTPluginMain(hostCallback);
    if (!effect) return;
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, kBlock);
    VstSpeakerArrangement in = arrangement(2), out = arrangement(outputs);
    dispatch(effSetSpeakerArrangement, 0, VstIntPtr(&in), &out);
    for (auto& b : inBuf) b.assign(kBlock, 0.0f);
    for (auto& b : outBuf) b.assign(kBlock, 0.0f);
    dispatch(effMainsChanged, 0, 1);
}

PluginHost::~PluginHost() {
    if (!effect) return;
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
}

VstIntPtr PluginHost::dispatch(VstInt32 op, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->dispatcher(effect, op, index, value, ptr, opt);
}

std::vector<std::string> PluginHost::programNames() {
    std::vector<std::string> names;
    for (int i = 0; i < effect->numPrograms; ++i) {
        char text[256] = {};
        dispatch(effGetProgramNameIndexed, i, -1, text);
        names.emplace_back(text);
    }
    return names;
}

std::vector<std::string> PluginHost::parameterNames() {
    std::vector<std::string> names;
    for (int i = 0; i < effect->numParams; ++i) {
        char text[256] = {};
        dispatch(effGetParamName, i, 0, text);
        names.emplace_back(text);
    }
    return names;
}

void PluginHost::setProgram(int index) {
    // A program change arrives while suspended, as hosts do it.
    dispatch(effMainsChanged, 0, 0);
    dispatch(effSetProgram, 0, index);
    dispatch(effMainsChanged, 0, 1);
}

void PluginHost::setParameter(int index, float value) { effect->setParameter(effect, index, value); }

float PluginHost::getParameter(int index) { return effect->getParameter(effect, index); }

void PluginHost::process(const float* in, float* out, int frames) {
    float* ins[2] = {inBuf[0].data(), inBuf[1].data()};
    float* outs[6];
    for (int k = 0; k < 6; ++k) outs[k] = outBuf[k].data();
    for (int done = 0; done < frames;) {
        int n = std::min(kBlock, frames - done);
        for (int j = 0; j < n; ++j) ins[0][j] = in[2 * (done + j)], ins[1][j] = in[2 * (done + j) + 1];
        effect->processReplacing(effect, ins, outs, n);
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < numOutputs; ++k) out[(done + j) * numOutputs + k] = outs[k][j];
        done += n;
    }
}

}  // namespace kelvoran::tools
