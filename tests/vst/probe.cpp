#include "probe.h"

bool ProbeEditor::getRect(ERect** r) {
    log.push_back({"getRect", 0, 0, r});
    *r = &rect;
    return answer != 0;
}
bool ProbeEditor::open(void* ptr) {
    log.push_back({"editorOpen", 0, 0, ptr});
    AEffEditor::open(ptr);
    return answer != 0;
}
void ProbeEditor::close() {
    log.push_back({"editorClose"});
    AEffEditor::close();
}
void ProbeEditor::idle() { log.push_back({"editorIdle"}); }
bool ProbeEditor::onKeyDown(VstKeyCode& key) {
    log.push_back({"onKeyDown", key.character, key.virt, nullptr, (float)key.modifier});
    return answer != 0;
}
bool ProbeEditor::onKeyUp(VstKeyCode& key) {
    log.push_back({"onKeyUp", key.character, key.virt, nullptr, (float)key.modifier});
    return answer != 0;
}
bool ProbeEditor::setKnobMode(VstInt32 mode) {
    log.push_back({"setKnobMode", mode});
    return answer != 0;
}

namespace {
RecordingHost* currentHost = nullptr;
}

RecordingHost::RecordingHost() { currentHost = this; }
RecordingHost::~RecordingHost() { currentHost = nullptr; }

VstIntPtr VSTCALLBACK RecordingHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt) {
    if (!currentHost) return 0;
    size_t before = currentHost->watched ? currentHost->watched->size() : 0;
    currentHost->requests.push_back({effect, opcode, index, value, ptr, opt, before});
    return currentHost->answer;
}
