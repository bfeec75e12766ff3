// A host of our own for the built Kelvoran.so: loads it with dlopen and drives it
// only through the VST 2.4 record and dispatcher.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "vst/aeffect.h"

namespace host {

// What the plug-in asked of the host; reset by every new Instance.
struct Requests {
    VstIntPtr version = 2400;  // the answer to audioMasterVersion
    int updateDisplay = 0;
    std::vector<std::pair<int, float>> automated;
};
Requests& requests();
VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt);

using Entry = AEffect* (*)(audioMasterCallback);
void* library();
Entry entry(const char* name = "VSTPluginMain");

using Bytes = std::vector<uint8_t>;
using Channels = std::vector<std::vector<float>>;

class Instance {
public:
    explicit Instance(bool resume = true);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0) {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
    void set(int index, float value) { e->setParameter(e, index, value); }
    float get(int index) { return e->getParameter(e, index); }
    int program() { return int(dispatch(effGetProgram)); }
    void selectProgram(int index) { dispatch(effSetProgram, 0, index); }
    std::string text(VstInt32 opcode, VstInt32 index = 0);  // a string opcode's answer
    Bytes chunk(bool preset);
    VstIntPtr setChunk(Bytes data, bool preset);
    void suspend() { dispatch(effMainsChanged, 0, 0); }
    void resume() { dispatch(effMainsChanged, 0, 1); }
    void setSampleRate(float rate) { dispatch(effSetSampleRate, 0, 0, nullptr, rate); }

    // Runs two input channels through processReplacing in blocks; six outputs come back.
    Channels render(const std::vector<float>& left, const std::vector<float>& right, int block = 512);
    // An impulse on both inputs followed by silence, `length` samples in all.
    Channels impulse(int length, int block = 512);

    AEffect* e = nullptr;
};

// Reads a record of the chunk format out of a byte image.
template <typename T>
T recordAt(const Bytes& bytes, size_t offset) {
    T t;
    std::memcpy(&t, bytes.data() + offset, sizeof t);
    return t;
}
template <typename T>
void putRecord(Bytes& bytes, size_t offset, const T& t) {
    std::memcpy(bytes.data() + offset, &t, sizeof t);
}

float peak(const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX);

}  // namespace host
