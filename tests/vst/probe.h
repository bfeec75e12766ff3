// A test effect and editor that log every operation the dispatcher reaches,
// and a host callback that logs every request the effect makes.
#pragma once

#include <string>
#include <vector>

#include "vst/aeffeditor.h"
#include "vst/audioeffectx.h"

// One operation with its arguments flattened: a and b are the integer
// arguments in declaration order, p the pointer, f the float.
struct Call {
    std::string name;
    VstIntPtr a = 0;
    VstIntPtr b = 0;
    void* p = nullptr;
    float f = 0;
};

using CallLog = std::vector<Call>;

class ProbeEditor : public AEffEditor {
public:
    ProbeEditor(AudioEffect* effect, CallLog& log, int& deletions) : AEffEditor(effect), log(log), deletions(deletions) {}
    ~ProbeEditor() override { ++deletions; }
    bool getRect(ERect** rect) override;
    bool open(void* ptr) override;
    void close() override;
    void idle() override;
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    bool setKnobMode(VstInt32 mode) override;

    VstIntPtr answer = 1;
    ERect rect{0, 0, 560, 704};

private:
    CallLog& log;
    int& deletions;
};

// Every operation logs itself and answers `answer` (bool ones: answer != 0).
class ProbeEffect : public AudioEffectX {
public:
    ProbeEffect(audioMasterCallback host, CallLog& log, int& deletions, VstInt32 programs = 4, VstInt32 params = 3)
        : AudioEffectX(host, programs, params), log(log), deletions(deletions) {}
    ~ProbeEffect() override { ++deletions; }

    void record(const char* name, VstIntPtr a = 0, VstIntPtr b = 0, void* p = nullptr, float f = 0) {
        log.push_back({name, a, b, p, f});
    }
    bool yes() const { return answer != 0; }

    void open() override { record("open"); }
    void close() override { record("close"); }
    void suspend() override { record("suspend"); }
    void resume() override { record("resume"); }
    void setSampleRate(float r) override { record("setSampleRate", 0, 0, nullptr, r); AudioEffectX::setSampleRate(r); }
    void setBlockSize(VstInt32 n) override { record("setBlockSize", n); AudioEffectX::setBlockSize(n); }
    void processReplacing(float** in, float** out, VstInt32 n) override {
        record("processReplacing", n, 0, in);
        if (n > 0) out[0][0] = in[0][0];
    }
    void setParameter(VstInt32 index, float value) override { record("setParameter", index, 0, nullptr, value); lastValue = value; }
    float getParameter(VstInt32 index) override { record("getParameter", index); return lastValue; }
    void getParameterLabel(VstInt32 index, char* t) override { record("getParameterLabel", index, 0, t); }
    void getParameterDisplay(VstInt32 index, char* t) override { record("getParameterDisplay", index, 0, t); }
    void getParameterName(VstInt32 index, char* t) override { record("getParameterName", index, 0, t); }
    VstInt32 getProgram() override { record("getProgram"); return (VstInt32)answer; }
    void setProgram(VstInt32 program) override { record("setProgram", program); }
    void setProgramName(char* name) override { record("setProgramName", 0, 0, name); }
    void getProgramName(char* name) override { record("getProgramName", 0, 0, name); }
    VstInt32 getChunk(void** data, bool isPreset) override { record("getChunk", isPreset, 0, data); return (VstInt32)answer; }
    VstInt32 setChunk(void* data, VstInt32 size, bool isPreset) override {
        record("setChunk", size, isPreset, data);
        return (VstInt32)answer;
    }

    VstInt32 processEvents(VstEvents* ev) override { record("processEvents", 0, 0, ev); return (VstInt32)answer; }
    bool canParameterBeAutomated(VstInt32 index) override { record("canParameterBeAutomated", index); return yes(); }
    bool string2parameter(VstInt32 index, char* t) override { record("string2parameter", index, 0, t); return yes(); }
    bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override {
        record("getParameterProperties", index, 0, p);
        return yes();
    }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* t) override {
        record("getProgramNameIndexed", category, index, t);
        return yes();
    }
    bool beginSetProgram() override { record("beginSetProgram"); return yes(); }
    bool endSetProgram() override { record("endSetProgram"); return yes(); }
    VstInt32 beginLoadBank(VstPatchChunkInfo* i) override { record("beginLoadBank", 0, 0, i); return (VstInt32)answer; }
    VstInt32 beginLoadProgram(VstPatchChunkInfo* i) override { record("beginLoadProgram", 0, 0, i); return (VstInt32)answer; }
    bool getInputProperties(VstInt32 index, VstPinProperties* p) override { record("getInputProperties", index, 0, p); return yes(); }
    bool getOutputProperties(VstInt32 index, VstPinProperties* p) override { record("getOutputProperties", index, 0, p); return yes(); }
    bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override {
        record("setSpeakerArrangement", reinterpret_cast<VstIntPtr>(in), 0, out);
        return yes();
    }
    bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override {
        record("getSpeakerArrangement", reinterpret_cast<VstIntPtr>(in), 0, out);
        return yes();
    }
    bool setBypass(bool on) override { record("setBypass", on); return yes(); }
    bool setProcessPrecision(VstInt32 precision) override { record("setProcessPrecision", precision); return yes(); }
    VstInt32 startProcess() override { record("startProcess"); return (VstInt32)answer; }
    VstInt32 stopProcess() override { record("stopProcess"); return (VstInt32)answer; }
    VstInt32 setTotalSampleToProcess(VstInt32 v) override { record("setTotalSampleToProcess", v); return (VstInt32)answer; }
    bool setPanLaw(VstInt32 type, float v) override { record("setPanLaw", type, 0, nullptr, v); return yes(); }
    VstInt32 getGetTailSize() override { record("getGetTailSize"); return (VstInt32)answer; }
    VstPlugCategory getPlugCategory() override { record("getPlugCategory"); return (VstPlugCategory)answer; }
    bool getEffectName(char* t) override { record("getEffectName", 0, 0, t); return yes(); }
    bool getVendorString(char* t) override { record("getVendorString", 0, 0, t); return yes(); }
    bool getProductString(char* t) override { record("getProductString", 0, 0, t); return yes(); }
    VstInt32 getVendorVersion() override { record("getVendorVersion"); return (VstInt32)answer; }
    VstIntPtr vendorSpecific(VstInt32 a, VstIntPtr b, void* p, float f) override {
        record("vendorSpecific", a, b, p, f);
        return answer;
    }
    VstInt32 canDo(char* t) override { record("canDo", 0, 0, t); return (VstInt32)answer; }
    VstInt32 getVstVersion() override { record("getVstVersion"); return (VstInt32)answer; }
    VstInt32 getNumMidiInputChannels() override { record("getNumMidiInputChannels"); return (VstInt32)answer; }
    VstInt32 getNumMidiOutputChannels() override { record("getNumMidiOutputChannels"); return (VstInt32)answer; }
    VstInt32 getNextShellPlugin(char* t) override { record("getNextShellPlugin", 0, 0, t); return (VstInt32)answer; }

    VstIntPtr answer = 1;
    float lastValue = 0;

private:
    CallLog& log;
    int& deletions;
};

// The host side: one recorder per test, reached from the C callback.
struct RecordingHost {
    struct Request {
        AEffect* effect;
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        void* ptr;
        float opt;
        size_t effectCallsBefore;  // size of `watched` when the request came
    };
    const CallLog* watched = nullptr;
    std::vector<Request> requests;
    VstIntPtr answer = 1;  // what the host says to every request

    RecordingHost();
    ~RecordingHost();
    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);
};
