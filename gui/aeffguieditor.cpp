#include "gui/aeffguieditor.h"

#include <cstring>
#include <ctime>
#include <string>

#include "gui/fileselector.h"
#include "vst/audioeffectx.h"

namespace {
CKeyCode toKey(const VstKeyCode& k) {
    CKeyCode key;
    key.character = k.character;
    key.virt = k.virt;
    key.modifier = k.modifier;
    return key;
}

AudioEffectX* effectX(AudioEffect* effect) { return dynamic_cast<AudioEffectX*>(effect); }
} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* e) : AEffEditor(e) {
    if (e) e->setEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() = default;

bool AEffGUIEditor::getRect(ERect** r) {
    if (!r) return false;
    *r = &rect;
    return true;
}

bool AEffGUIEditor::open(void* ptr) {
    systemWindow = ptr;
    openFlag = true;
    return true;
}

void AEffGUIEditor::close() {
    openFlag = false;
    systemWindow = nullptr;
}

void AEffGUIEditor::idle() {
    if (inIdle || !frame) return;
    inIdle = true;
    frame->idle();
    inIdle = false;
}

void AEffGUIEditor::doIdleStuff() { idle(); }

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    if (!frame) return false;
    CKeyCode key = toKey(keyCode);
    return frame->onKeyDown(key) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
    if (!frame) return false;
    CKeyCode key = toKey(keyCode);
    return frame->onKeyUp(key) == 1;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::beginEdit(long index) {
    if (AudioEffectX* e = effectX(effect)) e->beginEdit((VstInt32)index);
}

void AEffGUIEditor::endEdit(long index) {
    if (AudioEffectX* e = effectX(effect)) e->endEdit((VstInt32)index);
}

uint32_t AEffGUIEditor::getTicks() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)((uint64_t)t.tv_sec * 1000u + (uint64_t)t.tv_nsec / 1000000u);
}

// ---- the file selector of an effect ------------------------------------------

namespace {

// Asks the host for its own dialog when it says it has one.
class EffectFileHost : public CFileSelectorHost {
public:
    explicit EffectFileHost(AudioEffectX* e) : effect(e) {}

    int hostSelectFile(FileSelectRequest& request) override {
        char canDo[] = "openFileSelector";
        if (!effect || !effect->canHostDo(canDo)) return -1;
        VstFileType type;
        std::memset(&type, 0, sizeof(type));
        std::strncpy(type.name, request.filterName.c_str(), sizeof(type.name) - 1);
        if (!request.extensions.empty()) {
            std::strncpy(type.dosType, request.extensions[0].c_str(), sizeof(type.dosType) - 1);
            std::strncpy(type.unixType, request.extensions[0].c_str(), sizeof(type.unixType) - 1);
        }
        VstFileSelect select;
        std::memset(&select, 0, sizeof(select));
        select.command = request.save ? kVstFileSave : kVstFileLoad;
        select.type = kVstFileType;
        select.nbFileTypes = request.extensions.empty() ? 0 : 1;
        select.fileTypes = &type;
        std::strncpy(select.title, request.title.c_str(), sizeof(select.title) - 1);
        std::string initial = request.initialPath;
        select.initialPath = initial.empty() ? nullptr : &initial[0];
        char path[2048] = {0};
        select.returnPath = path;
        select.sizeReturnPath = sizeof(path) - 1;
        const bool shown = effect->openFileSelector(&select);
        const bool chosen = shown && path[0] != 0;
        if (chosen) request.returnPath = path;
        if (shown) effect->closeFileSelector(&select);
        return chosen ? 1 : 0;
    }

private:
    AudioEffectX* effect;
};

} // namespace

CFileSelector::CFileSelector(AudioEffectX* e) : host(new EffectFileHost(e)), effect(e) { ownsHost = true; }

long CFileSelector::run(VstFileSelect* select) {
    if (!select) return 0;
    FileSelectRequest request;
    request.save = select->command == kVstFileSave;
    request.title = select->title;
    if (select->initialPath) request.initialPath = select->initialPath;
    for (VstInt32 i = 0; select->fileTypes && i < select->nbFileTypes; ++i) {
        const VstFileType& t = select->fileTypes[i];
        if (i == 0) request.filterName = t.name;
        const char* ext = t.unixType[0] ? t.unixType : t.dosType;
        if (ext[0]) request.extensions.push_back(ext[0] == '.' ? ext + 1 : ext);
    }
    if (effect)
        if (AEffGUIEditor* editor = dynamic_cast<AEffGUIEditor*>(effect->getEditor())) frame = editor->getFrame();
    if (!run(request)) {
        select->nbReturnPath = 0;
        return 0;
    }
    if (select->returnPath && select->sizeReturnPath > 0) {
        std::strncpy(select->returnPath, request.returnPath.c_str(), (size_t)select->sizeReturnPath - 1);
        select->returnPath[select->sizeReturnPath - 1] = 0;
    } else {
        delete[] returnBuffer;
        returnBuffer = new char[request.returnPath.size() + 1];
        std::strcpy(returnBuffer, request.returnPath.c_str());
        select->returnPath = returnBuffer;
        select->sizeReturnPath = (VstInt32)request.returnPath.size() + 1;
    }
    select->nbReturnPath = 1;
    return 1;
}
