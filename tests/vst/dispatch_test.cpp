// The dispatcher as a host drives it: numeric opcodes through the record's
// function pointer, each reaching one operation with its arguments in place.
#include <gtest/gtest.h>

#include <cstring>

#include "probe.h"

namespace {

enum class Answer { None, Bool, Value };

constexpr VstIntPtr kValuePtr = -12345;  // row marker: value carries the second buffer's address

struct Row {
    const char* opcodeName;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    bool withPtr;
    float opt;
    const char* call;
    VstIntPtr a;
    VstIntPtr b;
    float f;
    Answer answer;
};

// Opcode numbers are written out as hosts know them.
const Row kRows[] = {
    {"effOpen", 0, 0, 0, false, 0, "open", 0, 0, 0, Answer::None},
    {"effSetProgram", 2, 0, 3, false, 0, "setProgram", 3, 0, 0, Answer::None},
    {"effGetProgram", 3, 0, 0, false, 0, "getProgram", 0, 0, 0, Answer::Value},
    {"effSetProgramName", 4, 0, 0, true, 0, "setProgramName", 0, 0, 0, Answer::None},
    {"effGetProgramName", 5, 0, 0, true, 0, "getProgramName", 0, 0, 0, Answer::None},
    {"effGetParamLabel", 6, 5, 0, true, 0, "getParameterLabel", 5, 0, 0, Answer::None},
    {"effGetParamDisplay", 7, 5, 0, true, 0, "getParameterDisplay", 5, 0, 0, Answer::None},
    {"effGetParamName", 8, 5, 0, true, 0, "getParameterName", 5, 0, 0, Answer::None},
    {"effSetSampleRate", 10, 0, 0, false, 48000, "setSampleRate", 0, 0, 48000, Answer::None},
    {"effSetBlockSize", 11, 0, 512, false, 0, "setBlockSize", 512, 0, 0, Answer::None},
    {"effMainsChanged off", 12, 0, 0, false, 0, "suspend", 0, 0, 0, Answer::None},
    {"effMainsChanged on", 12, 0, 1, false, 0, "resume", 0, 0, 0, Answer::None},
    {"effEditGetRect", 13, 0, 0, true, 0, "getRect", 0, 0, 0, Answer::Bool},
    {"effEditOpen", 14, 0, 0, true, 0, "editorOpen", 0, 0, 0, Answer::Bool},
    {"effEditClose", 15, 0, 0, false, 0, "editorClose", 0, 0, 0, Answer::None},
    {"effEditIdle", 19, 0, 0, false, 0, "editorIdle", 0, 0, 0, Answer::None},
    {"effGetChunk bank", 23, 0, 0, true, 0, "getChunk", 0, 0, 0, Answer::Value},
    {"effGetChunk program", 23, 1, 0, true, 0, "getChunk", 1, 0, 0, Answer::Value},
    {"effSetChunk", 24, 1, 9436, true, 0, "setChunk", 9436, 1, 0, Answer::Value},
    {"effProcessEvents", 25, 0, 0, true, 0, "processEvents", 0, 0, 0, Answer::Value},
    {"effCanBeAutomated", 26, 5, 0, false, 0, "canParameterBeAutomated", 5, 0, 0, Answer::Bool},
    {"effString2Parameter", 27, 5, 0, true, 0, "string2parameter", 5, 0, 0, Answer::Bool},
    {"effGetProgramNameIndexed", 29, 5, 3, true, 0, "getProgramNameIndexed", 3, 5, 0, Answer::Bool},
    {"effGetInputProperties", 33, 5, 0, true, 0, "getInputProperties", 5, 0, 0, Answer::Bool},
    {"effGetOutputProperties", 34, 5, 0, true, 0, "getOutputProperties", 5, 0, 0, Answer::Bool},
    {"effGetPlugCategory", 35, 0, 0, false, 0, "getPlugCategory", 0, 0, 0, Answer::Value},
    {"effSetSpeakerArrangement", 42, 0, kValuePtr, true, 0, "setSpeakerArrangement", kValuePtr, 0, 0, Answer::Bool},
    {"effSetBypass", 44, 0, 1, false, 0, "setBypass", 1, 0, 0, Answer::Bool},
    {"effGetEffectName", 45, 0, 0, true, 0, "getEffectName", 0, 0, 0, Answer::Bool},
    {"effGetVendorString", 47, 0, 0, true, 0, "getVendorString", 0, 0, 0, Answer::Bool},
    {"effGetProductString", 48, 0, 0, true, 0, "getProductString", 0, 0, 0, Answer::Bool},
    {"effGetVendorVersion", 49, 0, 0, false, 0, "getVendorVersion", 0, 0, 0, Answer::Value},
    {"effVendorSpecific", 50, 5, 3, true, 0.25f, "vendorSpecific", 5, 3, 0.25f, Answer::Value},
    {"effCanDo", 51, 0, 0, true, 0, "canDo", 0, 0, 0, Answer::Value},
    {"effGetTailSize", 52, 0, 0, false, 0, "getGetTailSize", 0, 0, 0, Answer::Value},
    {"effGetParameterProperties", 56, 5, 0, true, 0, "getParameterProperties", 5, 0, 0, Answer::Bool},
    {"effGetVstVersion", 58, 0, 0, false, 0, "getVstVersion", 0, 0, 0, Answer::Value},
    {"effEditKeyDown", 59, 'a', 3, false, 2, "onKeyDown", 'a', 3, 2, Answer::Bool},
    {"effEditKeyUp", 60, 'b', 4, false, 1, "onKeyUp", 'b', 4, 1, Answer::Bool},
    {"effSetEditKnobMode", 61, 0, 2, false, 0, "setKnobMode", 2, 0, 0, Answer::Bool},
    {"effBeginSetProgram", 67, 0, 0, false, 0, "beginSetProgram", 0, 0, 0, Answer::Bool},
    {"effEndSetProgram", 68, 0, 0, false, 0, "endSetProgram", 0, 0, 0, Answer::Bool},
    {"effGetSpeakerArrangement", 69, 0, kValuePtr, true, 0, "getSpeakerArrangement", kValuePtr, 0, 0, Answer::Bool},
    {"effShellGetNextPlugin", 70, 0, 0, true, 0, "getNextShellPlugin", 0, 0, 0, Answer::Value},
    {"effStartProcess", 71, 0, 0, false, 0, "startProcess", 0, 0, 0, Answer::Value},
    {"effStopProcess", 72, 0, 0, false, 0, "stopProcess", 0, 0, 0, Answer::Value},
    {"effSetTotalSampleToProcess", 73, 0, 3, false, 0, "setTotalSampleToProcess", 3, 0, 0, Answer::Value},
    {"effSetPanLaw", 74, 0, 3, false, 0.25f, "setPanLaw", 3, 0, 0.25f, Answer::Bool},
    {"effBeginLoadBank", 75, 0, 0, true, 0, "beginLoadBank", 0, 0, 0, Answer::Value},
    {"effBeginLoadProgram", 76, 0, 0, true, 0, "beginLoadProgram", 0, 0, 0, Answer::Value},
    {"effSetProcessPrecision", 77, 0, 1, false, 0, "setProcessPrecision", 1, 0, 0, Answer::Bool},
    {"effGetNumMidiInputChannels", 78, 0, 0, false, 0, "getNumMidiInputChannels", 0, 0, 0, Answer::Value},
    {"effGetNumMidiOutputChannels", 79, 0, 0, false, 0, "getNumMidiOutputChannels", 0, 0, 0, Answer::Value},
};

class Dispatch : public ::testing::Test {
protected:
    Dispatch() {
        editor = new ProbeEditor(&effect, log, editorDeletions);
        effect.setEditor(editor);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        AEffect* e = effect.getAeffect();
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
    void setAnswer(VstIntPtr a) { effect.answer = editor->answer = a; }

    CallLog log;
    int effectDeletions = 0;
    int editorDeletions = 0;
    RecordingHost host;
    ProbeEffect effect{RecordingHost::callback, log, effectDeletions};
    ProbeEditor* editor;
    char buffer[256] = {};
    char second[256] = {};
};

TEST_F(Dispatch, EachOpcodeReachesItsOperationWithItsArguments) {
    for (const Row& row : kRows) {
        for (VstIntPtr answer : {VstIntPtr(7), VstIntPtr(0)}) {
            SCOPED_TRACE(std::string(row.opcodeName) + " answering " + std::to_string(answer));
            setAnswer(answer);
            log.clear();
            VstIntPtr value = row.value == kValuePtr ? reinterpret_cast<VstIntPtr>(second) : row.value;
            VstIntPtr result = dispatch(row.opcode, row.index, value, row.withPtr ? buffer : nullptr, row.opt);

            ASSERT_EQ(log.size(), 1u);
            const Call& c = log[0];
            EXPECT_EQ(c.name, row.call);
            EXPECT_EQ(c.a, row.a == kValuePtr ? reinterpret_cast<VstIntPtr>(second) : row.a);
            EXPECT_EQ(c.b, row.b);
            EXPECT_EQ(c.p, row.withPtr ? static_cast<void*>(buffer) : nullptr);
            EXPECT_EQ(c.f, row.f);
            VstIntPtr expected = row.answer == Answer::None ? 0 : row.answer == Answer::Bool ? (answer != 0) : answer;
            EXPECT_EQ(result, expected);
        }
    }
}

TEST_F(Dispatch, BufferOpcodesRefuseAMissingBuffer) {
    const VstInt32 bufferOpcodes[] = {4, 5, 6, 7, 8, 13, 23, 24, 25, 27, 29, 33, 34, 45, 47, 48, 51, 56, 69, 70, 75, 76};
    for (VstInt32 opcode : bufferOpcodes) {
        SCOPED_TRACE(opcode);
        log.clear();
        EXPECT_EQ(dispatch(opcode, 1, reinterpret_cast<VstIntPtr>(second), nullptr, 0), 0);
        EXPECT_TRUE(log.empty()) << log[0].name;
    }
    log.clear();
    EXPECT_EQ(dispatch(69, 0, 0, buffer), 0) << "get speaker arrangement without the input slot";
    EXPECT_TRUE(log.empty());
}

TEST_F(Dispatch, SetChunkRefusesSizesOutsideThe32BitRange) {
    for (VstIntPtr size : {VstIntPtr(-1), (VstIntPtr(1) << 32) + 9436, VstIntPtr(INT32_MAX) + 1}) {
        SCOPED_TRACE(size);
        log.clear();
        EXPECT_EQ(dispatch(24, 0, size, buffer), 0);
        EXPECT_TRUE(log.empty());
    }
}

TEST_F(Dispatch, SetProgramPassesOnlyExistingPrograms) {
    // The probe has 4 programs.
    for (VstIntPtr program : {VstIntPtr(-1), VstIntPtr(4), VstIntPtr(90), (VstIntPtr(1) << 32) + 1}) {
        log.clear();
        dispatch(2, 0, program);
        EXPECT_TRUE(log.empty()) << program;
    }
    dispatch(2, 0, 3);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].a, 3);
}

TEST_F(Dispatch, BlockSizeAndSampleRateTogetherSetBoth) {
    dispatch(43, 0, 256, nullptr, 96000);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].name, "setBlockSize");
    EXPECT_EQ(log[0].a, 256);
    EXPECT_EQ(log[1].name, "setSampleRate");
    EXPECT_EQ(log[1].f, 96000);
    EXPECT_EQ(effect.getBlockSize(), 256);
    EXPECT_EQ(effect.getSampleRate(), 96000);
}

TEST_F(Dispatch, EditorOpcodesWithoutAnEditorAnswerZero) {
    effect.setEditor(nullptr);
    delete editor;  // setEditor(nullptr) gives up ownership
    EXPECT_EQ(effect.getAeffect()->flags & effFlagsHasEditor, 0);
    for (VstInt32 opcode : {13, 14, 15, 19, 59, 60, 61}) {
        EXPECT_EQ(dispatch(opcode, 1, 1, buffer, 1), 0) << opcode;
    }
    EXPECT_EQ(editorDeletions, 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(Dispatch, EditorOpenAndCloseTrackTheWindow) {
    int window = 0;
    EXPECT_FALSE(editor->isOpen());
    dispatch(14, 0, 0, &window);
    EXPECT_TRUE(editor->isOpen());
    dispatch(15);
    EXPECT_FALSE(editor->isOpen());
    EXPECT_EQ(editor->getEffect(), &effect);
}

TEST_F(Dispatch, EditGetRectHandsOutTheEditorsRect) {
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(13, 0, 0, &rect), 1);
    ASSERT_EQ(rect, &editor->rect);
    EXPECT_EQ(rect->right - rect->left, 704);
    EXPECT_EQ(rect->bottom - rect->top, 560);
}

TEST(DispatchClose, CloseRunsCloseThenDeletesTheEffectAndItsEditor) {
    CallLog log;
    int effectDeletions = 0, editorDeletions = 0;
    auto* effect = new ProbeEffect(nullptr, log, effectDeletions);
    effect->setEditor(new ProbeEditor(effect, log, editorDeletions));
    AEffect* e = effect->getAeffect();
    EXPECT_EQ(e->dispatcher(e, 1, 0, 0, nullptr, 0), 1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].name, "close");
    EXPECT_EQ(effectDeletions, 1);
    EXPECT_EQ(editorDeletions, 1);
}

TEST(DispatchClose, ARecordWithoutItsObjectAnswersNothing) {
    AEffect stale{};
    CallLog log;
    int deletions = 0;
    ProbeEffect effect(nullptr, log, deletions);
    stale = *effect.getAeffect();
    stale.object = nullptr;
    EXPECT_EQ(stale.dispatcher(&stale, 58, 0, 0, nullptr, 0), 0);
    stale.setParameter(&stale, 0, 1.0f);
    EXPECT_EQ(stale.getParameter(&stale, 0), 0.0f);
    EXPECT_TRUE(log.empty());
}

}  // namespace
