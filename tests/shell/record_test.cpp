// What a host sees when it loads the library and creates the effect.
#include <gtest/gtest.h>

#include "host.h"

using namespace host;

TEST(Entry, BothNamesAreOneFunction) {
    ASSERT_NE(entry("VSTPluginMain"), nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(entry("main")), reinterpret_cast<void*>(entry("VSTPluginMain")));
}

TEST(Entry, NoEffectForVersionZeroOrNoCallback) {
    requests() = Requests{};
    requests().version = 0;
    EXPECT_EQ(entry()(callback), nullptr);
    EXPECT_EQ(entry("main")(callback), nullptr);
    EXPECT_EQ(entry()(nullptr), nullptr);
    requests().version = 1;  // the oldest versioned host still gets one
    AEffect* e = entry()(callback);
    ASSERT_NE(e, nullptr);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0);
}

TEST(Record, FieldsAfterConstruction) {
    Instance p(false);
    AEffect* e = p.e;
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->flags, 57);  // editor, mono (deprecated), replacing, chunks; no doubles
    EXPECT_EQ(e->uniqueID, vstFourCC('K', 'L', 'v', 'n'));
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 6);
    EXPECT_EQ(e->numPrograms, 90);
    EXPECT_EQ(e->numParams, 48);
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_EQ(p.program(), 0);
}

TEST(Record, DispatcherAnswers) {
    Instance p;
    struct Case {
        VstInt32 opcode;
        VstIntPtr answer;
    } cases[] = {
        {effGetPlugCategory, kPlugCategRoomFx}, {effGetVendorVersion, 2910}, {effGetVstVersion, 2400},
        {effGetTailSize, 0}, {effSetBypass, 0}, {effSetProcessPrecision, 0}, {effProcessEvents, 0},
        {effCanBeAutomated, 1}, {effSetEditKnobMode, 1}, {effEditOpen, 0},
    };
    VstEvents events{};
    for (const Case& c : cases) {
        void* ptr = c.opcode == effProcessEvents ? &events : nullptr;
        EXPECT_EQ(p.dispatch(c.opcode, 0, 1, ptr), c.answer) << "opcode " << c.opcode;
    }
    EXPECT_EQ(p.text(effGetProductString), "Kelvoran");
    EXPECT_EQ(p.text(effGetVendorString), "Brenvale");
    char name[64] = "untouched";
    EXPECT_EQ(p.dispatch(effGetEffectName, 0, 0, name), 0);
    EXPECT_STREQ(name, "untouched");
    char text[64] = "7";
    VstParameterProperties properties{};
    EXPECT_EQ(p.dispatch(effString2Parameter, 0, 0, text), 0);
    EXPECT_EQ(p.dispatch(effGetParameterProperties, 0, 0, &properties), 0);
}

TEST(Record, CanDoIsExactAndCaseSensitive) {
    Instance p;
    struct Case {
        const char* query;
        VstIntPtr answer;
    } cases[] = {
        {"receiveVstEvents", 1}, {"plugAsChannelInsert", 1}, {"4in8out", 1}, {"mixDryWet", 1},
        {"receiveVstMidiEvent", -1}, {"sendVstEvents", -1}, {"mixdrywet", -1}, {"MixDryWet", -1},
        {"mixDryWet ", -1}, {"mixDry", -1}, {"", -1}, {"bypass", -1},
    };
    for (const Case& c : cases) {
        std::string query = c.query;
        EXPECT_EQ(p.dispatch(effCanDo, 0, 0, query.data()), c.answer) << '"' << c.query << '"';
    }
}

TEST(Record, EditorObjectWithoutWindow) {
    Instance p;
    ERect* rect = nullptr;
    ASSERT_EQ(p.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 704);
    EXPECT_EQ(rect->bottom - rect->top, 560);
    EXPECT_EQ(p.dispatch(effEditOpen, 0, 0, nullptr), 0);
    p.dispatch(effEditIdle);
    p.dispatch(effEditClose);
    // Everything works with no window in existence.
    p.set(13, 0.25f);
    EXPECT_EQ(p.get(13), 0.25f);
    EXPECT_GT(peak(p.impulse(44100)[0]), 1e-3f);
}

TEST(Record, InstancesAreIndependent) {
    Instance a, b;
    const float before = b.get(0);
    a.set(0, before == 0.125f ? 0.25f : 0.125f);
    a.selectProgram(7);
    EXPECT_EQ(a.program(), 7);
    EXPECT_EQ(b.program(), 0);
    EXPECT_EQ(b.get(0), before);
}
