// The editor base on our VST layer: gestures reach the host callback, keys
// from the host reach the frame, and file selection asks the host first.
#include <cstring>
#include <vector>

#include "gui/aeffguieditor.h"
#include "gui/fileselector.h"
#include "support.h"
#include "vst/audioeffectx.h"

namespace {

struct HostLog {
    std::vector<std::pair<VstInt32, VstInt32>> calls; // opcode, index
    bool offersFileSelector = false;
} host;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float) {
    if (opcode == audioMasterVersion) return 2400;
    host.calls.push_back({opcode, index});
    if (opcode == audioMasterCanDo) return host.offersFileSelector && std::strcmp((char*)ptr, "openFileSelector") == 0;
    if (opcode == audioMasterOpenFileSelector && host.offersFileSelector) {
        auto* select = static_cast<VstFileSelect*>(ptr);
        std::strcpy(select->returnPath, "/from/host.fxp");
        return 1;
    }
    return 0;
}

struct Effect : AudioEffectX {
    Effect() : AudioEffectX(hostCallback, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

struct Editor : AEffGUIEditor {
    explicit Editor(AudioEffect* e) : AEffGUIEditor(e) {
        rect.right = 704;
        rect.bottom = 560;
    }
    bool open(void* ptr) override {
        AEffGUIEditor::open(ptr);
        frame = new CFrame(CRect(0, 0, 704, 560), ptr, this);
        return true;
    }
    void close() override {
        frame->forget();
        frame = nullptr;
        AEffGUIEditor::close();
    }
};

class EditorBase : public ::testing::Test {
protected:
    void SetUp() override {
        host = HostLog();
        editor = new Editor(&effect); // the effect deletes its editor
        editor->open(nullptr);
    }
    void TearDown() override { editor->close(); }
    bool hostHeard(VstInt32 opcode, VstInt32 index) const {
        for (const auto& c : host.calls)
            if (c.first == opcode && c.second == index) return true;
        return false;
    }
    Effect effect;
    Editor* editor = nullptr;
};

TEST_F(EditorBase, RegistersWithTheEffectAndReportsItsRect) {
    EXPECT_EQ(effect.getEditor(), editor);
    ERect* r = nullptr;
    ASSERT_TRUE(editor->getRect(&r));
    EXPECT_EQ(r->right, 704);
    EXPECT_EQ(r->bottom, 560);
}

TEST_F(EditorBase, KnobGestureReachesTheHostAsBeginAndEndEdit) {
    RecordingListener listener;
    CFrame* frame = editor->getFrame();
    frame->addView(new CKnob(CRect(440, 41, 482, 78), &listener, 7, nullptr, nullptr));
    CPoint p(461, 62);
    frame->onMouseDown(p, kLButton);
    EXPECT_TRUE(hostHeard(audioMasterBeginEdit, 7));
    EXPECT_FALSE(hostHeard(audioMasterEndEdit, 7));
    p.v -= 10;
    frame->onMouseMoved(p, kLButton);
    frame->onMouseUp(p, 0);
    EXPECT_TRUE(hostHeard(audioMasterEndEdit, 7));
}

TEST_F(EditorBase, KnobModeAndHostKeysReachTheFrame) {
    EXPECT_TRUE(editor->setKnobMode(kRelativCircularMode));
    EXPECT_EQ(editor->getFrame()->getKnobMode(), kRelativCircularMode);
    RecordingListener listener;
    CTextEdit* edit = new CTextEdit(CRect(68, 536, 268, 552), &listener, 49, "A");
    editor->getFrame()->addView(edit);
    CPoint p(100, 540);
    editor->getFrame()->onMouseDown(p, kLButton);
    VstKeyCode key{'b', 0, 0};
    EXPECT_TRUE(editor->onKeyDown(key));
    VstKeyCode enter{0, VKEY_RETURN, 0};
    EXPECT_TRUE(editor->onKeyDown(enter));
    EXPECT_EQ(edit->getText(), "Ab");
}

VstFileSelect loadRequest(VstFileType& type, char* buffer) {
    VstFileSelect select;
    std::memset(&select, 0, sizeof(select));
    std::memset(&type, 0, sizeof(type));
    std::strcpy(type.name, "VST Effect FXP");
    std::strcpy(type.dosType, "FXP");
    select.command = kVstFileLoad;
    select.nbFileTypes = 1;
    select.fileTypes = &type;
    std::strcpy(select.title, "Select filename to LOAD");
    select.returnPath = buffer;
    select.sizeReturnPath = 1024;
    return select;
}

TEST_F(EditorBase, FileSelectorUsesTheHostsDialogWhenOffered) {
    host.offersFileSelector = true;
    CFileSelector selector(&effect);
    VstFileType type;
    char path[1024] = {0};
    VstFileSelect select = loadRequest(type, path);
    EXPECT_EQ(selector.run(&select), 1);
    EXPECT_STREQ(path, "/from/host.fxp");
    EXPECT_TRUE(hostHeard(audioMasterOpenFileSelector, 0));
    EXPECT_TRUE(hostHeard(audioMasterCloseFileSelector, 0));
}

TEST_F(EditorBase, FileSelectorFallsBackToItsOwnDialogInTheEditorsFrame) {
    int dialogs = 0;
    editor->getFrame()->modalHook = [&](CFrame* f) {
        ++dialogs;
        auto* dialog = dynamic_cast<CFileDialogView*>(f->getModalView());
        ASSERT_NE(dialog, nullptr);
        CPoint p(dialog->cancelButton().left + 3, dialog->cancelButton().top + 3);
        f->onMouseDown(p, kLButton);
    };
    CFileSelector selector(&effect);
    VstFileType type;
    char path[1024] = {0};
    VstFileSelect select = loadRequest(type, path);
    EXPECT_EQ(selector.run(&select), 0);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(hostHeard(audioMasterOpenFileSelector, 0));
    EXPECT_EQ(path[0], 0);
}

} // namespace
