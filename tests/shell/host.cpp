#include "host.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace host {

Requests& requests() {
    static Requests r;
    return r;
}

VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
    Requests& r = requests();
    switch (opcode) {
        case audioMasterVersion: return r.version;
        case audioMasterUpdateDisplay: ++r.updateDisplay; return 1;
        case audioMasterAutomate: r.automated.push_back({index, opt}); return 1;
        default: return 0;
    }
}

void* library() {
    static void* lib = [] {
        void* l = dlopen(KELVORAN_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!l) throw std::runtime_error(dlerror());
        return l;
    }();
    return lib;
}

Entry entry(const char* name) { return reinterpret_cast<Entry>(dlsym(library(), name)); }

Instance::Instance(bool resume) {
    requests() = Requests{};
    e = entry()(callback);
    if (!e) throw std::runtime_error("the plug-in gave no effect");
    dispatch(effOpen);
    setSampleRate(44100);
    dispatch(effSetBlockSize, 0, 512);
    if (resume) this->resume();
}

Instance::~Instance() {
    if (e) dispatch(effClose);
}

std::string Instance::text(VstInt32 opcode, VstInt32 index) {
    char buffer[256] = {};
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

Bytes Instance::chunk(bool preset) {
    void* data = nullptr;
    VstIntPtr size = dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
    if (size <= 0 || !data) return {};
    auto* p = static_cast<uint8_t*>(data);
    return Bytes(p, p + size);
}

VstIntPtr Instance::setChunk(Bytes data, bool preset) {
    // A block of the host's own, as hosts hand over stored state.
    return dispatch(effSetChunk, preset ? 1 : 0, VstIntPtr(data.size()), data.data());
}

Channels Instance::render(const std::vector<float>& left, const std::vector<float>& right, int block) {
    const size_t n = left.size();
    Channels out(6, std::vector<float>(n));
    std::vector<float> l(left), r(right);
    for (size_t pos = 0; pos < n; pos += block) {
        int count = int(std::min<size_t>(block, n - pos));
        float* ins[2] = {l.data() + pos, r.data() + pos};
        float* outs[6];
        for (int k = 0; k < 6; ++k) outs[k] = out[k].data() + pos;
        e->processReplacing(e, ins, outs, count);
    }
    return out;
}

Channels Instance::impulse(int length, int block) {
    std::vector<float> x(length);
    x[0] = 1;
    return render(x, x, block);
}

float peak(const std::vector<float>& x, size_t from, size_t to) {
    float p = 0;
    for (size_t i = from; i < std::min(to, x.size()); ++i) p = std::max(p, std::fabs(x[i]));
    return p;
}

}  // namespace host
