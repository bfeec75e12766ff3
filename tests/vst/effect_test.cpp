// The effect record and the base classes' own answers, and the requests the
// effect sends to its host.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "probe.h"

namespace {

struct PlainEffect : AudioEffectX {
    using AudioEffectX::AudioEffectX;
    void processReplacing(float**, float**, VstInt32) override {}
    VstInt32 canDo(char* text) override { return wantsMidi && std::strcmp(text, "receiveVstMidiEvent") == 0 ? 1 : -1; }
    bool wantsMidi = false;
};

VstIntPtr dispatch(AudioEffect& effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0) {
    AEffect* e = effect.getAeffect();
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

TEST(EffectRecord, FreshEffectShowsTheInterfaceDefaults) {
    PlainEffect effect(nullptr, 90, 48);
    AEffect* e = effect.getAeffect();
    unsigned char magic[4];
    std::memcpy(magic, e, 4);  // the host reads a native int32 at offset 0
    EXPECT_EQ(*reinterpret_cast<VstInt32*>(magic), 0x56737450);
    EXPECT_EQ(e->numPrograms, 90);
    EXPECT_EQ(e->numParams, 48);
    EXPECT_EQ(e->numInputs, 1);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, 16);
    EXPECT_EQ(e->uniqueID, 0x4E6F4566);  // 'NoEf'
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->object, &effect);
    EXPECT_TRUE(e->dispatcher && e->process && e->setParameter && e->getParameter && e->processReplacing &&
                e->processDoubleReplacing);
    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
}

TEST(EffectRecord, FourCharacterConstantsPackFirstCharacterHighest) {
    EXPECT_EQ(vstFourCC('K', 'L', 'v', 'n'), 0x4B4C766E);
    EXPECT_EQ(kEffectMagic, 0x56737450);
}

TEST(EffectRecord, FlagSettersTouchOnlyTheirBit) {
    struct Setter {
        const char* name;
        std::function<void(PlainEffect&, bool)> set;
        VstInt32 bit;
    };
    const Setter setters[] = {
        {"canMono", [](PlainEffect& e, bool on) { e.canMono(on); }, 8},
        {"canProcessReplacing", [](PlainEffect& e, bool on) { e.canProcessReplacing(on); }, 16},
        {"programsAreChunks", [](PlainEffect& e, bool on) { e.programsAreChunks(on); }, 32},
        {"isSynth", [](PlainEffect& e, bool on) { e.isSynth(on); }, 256},
        {"noTail", [](PlainEffect& e, bool on) { e.noTail(on); }, 512},
        {"canDoubleReplacing", [](PlainEffect& e, bool on) { e.canDoubleReplacing(on); }, 4096},
    };
    for (const Setter& s : setters) {
        SCOPED_TRACE(s.name);
        PlainEffect effect(nullptr, 1, 1);
        VstInt32& flags = effect.getAeffect()->flags;
        flags = 0x7FFF & ~s.bit;
        s.set(effect, true);
        EXPECT_EQ(flags, 0x7FFF);
        s.set(effect, false);
        EXPECT_EQ(flags, 0x7FFF & ~s.bit);
    }
}

TEST(EffectRecord, IdentitySettersFillTheRecord) {
    PlainEffect effect(nullptr, 90, 48);
    effect.setUniqueID(vstFourCC('K', 'L', 'v', 'n'));
    effect.setNumInputs(2);
    effect.setNumOutputs(6);
    effect.setInitialDelay(64);
    AEffect* e = effect.getAeffect();
    EXPECT_EQ(e->uniqueID, 0x4B4C766E);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 6);
    EXPECT_EQ(e->initialDelay, 64);
}

TEST(EffectRecord, EntriesReachTheEffect) {
    CallLog log;
    int deletions = 0;
    ProbeEffect effect(nullptr, log, deletions);
    AEffect* e = effect.getAeffect();

    e->setParameter(e, 2, 0.75f);
    EXPECT_EQ(e->getParameter(e, 2), 0.75f);

    float in[4] = {0.5f, 0, 0, 0}, out[4] = {};
    float* ins[] = {in};
    float* outs[] = {out};
    e->processReplacing(e, ins, outs, 4);
    EXPECT_EQ(out[0], 0.5f);

    // The accumulating and double-precision entries exist but produce nothing by default.
    float accum[4] = {9, 9, 9, 9};
    float* accums[] = {accum};
    e->process(e, ins, accums, 4);
    double din[4] = {1, 1, 1, 1}, dout[4] = {9, 9, 9, 9};
    double* dins[] = {din};
    double* douts[] = {dout};
    e->processDoubleReplacing(e, dins, douts, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(accum[i], 9);
        EXPECT_EQ(dout[i], 9);
    }
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].name, "setParameter");
    EXPECT_EQ(log[0].a, 2);
    EXPECT_EQ(log[2].name, "processReplacing");
    EXPECT_EQ(log[2].a, 4);
}

TEST(BaseAnswers, DefaultsOfAnEffectThatOverridesNothing) {
    PlainEffect effect(nullptr, 90, 48);
    char text[32];

    EXPECT_EQ(dispatch(effect, 58), 2400);
    EXPECT_EQ(dispatch(effect, 26, 3), 1) << "every parameter automatable";
    EXPECT_EQ(dispatch(effect, 35), kPlugCategUnknown);
    effect.isSynth();
    EXPECT_EQ(dispatch(effect, 35), kPlugCategSynth);
    EXPECT_EQ(dispatch(effect, 73, 0, 4096), 4096);

    for (VstInt32 opcode : {5, 6, 7, 8}) {
        std::memset(text, 'x', sizeof text);
        dispatch(effect, opcode, 0, 0, text);
        EXPECT_EQ(text[0], 0) << opcode << ": default text is empty";
        EXPECT_EQ(text[1], 'x') << opcode << ": nothing written past the terminator";
    }

    dispatch(effect, 2, 0, 89);
    EXPECT_EQ(dispatch(effect, 3), 89);
    dispatch(effect, 10, 0, 0, nullptr, 48000);
    dispatch(effect, 11, 0, 64);
    EXPECT_EQ(effect.getSampleRate(), 48000);
    EXPECT_EQ(effect.getBlockSize(), 64);

    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* in = &dummy;
    VstSpeakerArrangement* out = &dummy;
    EXPECT_EQ(dispatch(effect, 69, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
}

TEST(BaseAnswers, DeprecatedAndUnknownOpcodesAnswerZero) {
    PlainEffect effect(nullptr, 90, 48);
    char buffer[512] = {};
    const VstInt32 opcodes[] = {9,  16, 17, 18, 20, 21, 22, 28, 30, 31, 32, 36, 37, 38, 39,
                                40, 41, 46, 53, 54, 55, 57, 62, 63, 64, 65, 66, 80, 1000, -1};
    for (VstInt32 opcode : opcodes) EXPECT_EQ(dispatch(effect, opcode, 1, 1, buffer, 1), 0) << opcode;
}

TEST(BaseAnswers, ResumeAsksForEventsOnlyFromInstrumentsAndMidiTakers) {
    struct Case {
        const char* name;
        bool synth;
        bool wantsMidi;
        bool asks;
    };
    const Case cases[] = {
        {"plain effect", false, false, false},
        {"instrument", true, false, true},
        {"takes MIDI", false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingHost host;
        PlainEffect effect(RecordingHost::callback, 1, 1);
        effect.isSynth(c.synth);
        effect.wantsMidi = c.wantsMidi;
        dispatch(effect, 12, 0, 1);
        bool asked = false;
        for (auto& r : host.requests) asked |= r.opcode == 6 && r.value == 1;
        EXPECT_EQ(asked, c.asks);
    }
}

// ---- requests to the host ----------------------------------------------------------

struct HostFixture : ::testing::Test {
    CallLog log;
    int deletions = 0;
    RecordingHost host;
    ProbeEffect effect{RecordingHost::callback, log, deletions};
    VstFileSelect select{};
    char feature[16] = "sizeWindow";
};

TEST_F(HostFixture, EachRequestGoesOutWithItsOpcodeAndArguments) {
    struct Request {
        const char* name;
        std::function<bool(HostFixture&)> send;
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        void* ptr;
    };
    const Request requests[] = {
        {"beginEdit", [](HostFixture& f) { return f.effect.beginEdit(5); }, 43, 5, 0, nullptr},
        {"endEdit", [](HostFixture& f) { return f.effect.endEdit(5); }, 44, 5, 0, nullptr},
        {"updateDisplay", [](HostFixture& f) { return f.effect.updateDisplay(); }, 42, 0, 0, nullptr},
        {"ioChanged", [](HostFixture& f) { return f.effect.ioChanged(); }, 13, 0, 0, nullptr},
        {"sizeWindow", [](HostFixture& f) { return f.effect.sizeWindow(704, 560); }, 15, 704, 560, nullptr},
        {"canHostDo", [](HostFixture& f) { return f.effect.canHostDo(f.feature); }, 37, 0, 0, feature},
        {"openFileSelector", [](HostFixture& f) { return f.effect.openFileSelector(&f.select); }, 45, 0, 0, &select},
        {"closeFileSelector", [](HostFixture& f) { return f.effect.closeFileSelector(&f.select); }, 46, 0, 0, &select},
    };
    for (const Request& r : requests) {
        for (VstIntPtr answer : {VstIntPtr(1), VstIntPtr(0)}) {
            SCOPED_TRACE(std::string(r.name) + " host answers " + std::to_string(answer));
            host.requests.clear();
            host.answer = answer;
            EXPECT_EQ(r.send(*this), answer != 0);
            ASSERT_EQ(host.requests.size(), 1u);
            const auto& sent = host.requests[0];
            EXPECT_EQ(sent.effect, effect.getAeffect());
            EXPECT_EQ(sent.opcode, r.opcode);
            EXPECT_EQ(sent.index, r.index);
            EXPECT_EQ(sent.value, r.value);
            EXPECT_EQ(sent.ptr, r.ptr);
        }
    }
}

TEST_F(HostFixture, SetParameterAutomatedSetsThenTellsTheHost) {
    host.watched = &log;
    effect.setParameterAutomated(7, 0.625f);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].name, "setParameter");
    EXPECT_EQ(log[0].a, 7);
    EXPECT_EQ(log[0].f, 0.625f);
    ASSERT_EQ(host.requests.size(), 1u);
    const auto& sent = host.requests[0];
    EXPECT_EQ(sent.opcode, 0);
    EXPECT_EQ(sent.index, 7);
    EXPECT_EQ(sent.opt, 0.625f);
    EXPECT_EQ(sent.effectCallsBefore, 1u) << "the value is set before the host hears of it";
}

TEST_F(HostFixture, CanHostDoTakesOnlyAClearYes) {
    for (VstIntPtr answer : {VstIntPtr(-1), VstIntPtr(0), VstIntPtr(1)}) {
        host.answer = answer;
        EXPECT_EQ(effect.canHostDo(feature), answer == 1) << answer;
    }
}

TEST_F(HostFixture, MasterVersionCountsAnUnversionedHostAsOne) {
    host.answer = 2400;
    EXPECT_EQ(effect.getMasterVersion(), 2400);
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].opcode, 1);
    host.answer = 0;
    EXPECT_EQ(effect.getMasterVersion(), 1);
}

TEST_F(HostFixture, MissingPointersSendNothing) {
    EXPECT_FALSE(effect.canHostDo(nullptr));
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.closeFileSelector(nullptr));
    EXPECT_TRUE(host.requests.empty());
}

TEST(HostRequests, WithoutAHostEveryRequestDeclines) {
    CallLog log;
    int deletions = 0;
    ProbeEffect effect(nullptr, log, deletions);
    VstFileSelect select{};
    char feature[] = "sizeWindow";
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_FALSE(effect.endEdit(0));
    EXPECT_FALSE(effect.updateDisplay());
    EXPECT_FALSE(effect.ioChanged());
    EXPECT_FALSE(effect.sizeWindow(1, 1));
    EXPECT_FALSE(effect.canHostDo(feature));
    EXPECT_FALSE(effect.openFileSelector(&select));
    EXPECT_FALSE(effect.closeFileSelector(&select));
    EXPECT_EQ(effect.getMasterVersion(), 1);
    effect.setParameterAutomated(1, 0.5f);
    EXPECT_EQ(effect.lastValue, 0.5f);
}

TEST(StringCopy, CopiesAtMostMaxLenAndAlwaysTerminates) {
    struct Case {
        const char* src;
        size_t maxLen;
        const char* expected;
    };
    const Case cases[] = {
        {"amount", 8, "amount"},
        {"Diffusion Modulation", 8, "Diffusio"},
        {"", 8, ""},
        {"abc", 0, ""},
        {"exactly8", 8, "exactly8"},
    };
    for (const Case& c : cases) {
        char buffer[32];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(vst_strncpy(buffer, c.src, c.maxLen), buffer);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(buffer[std::strlen(c.expected) + 1], '#') << c.src << ": nothing written past the terminator";
    }
}

}  // namespace
