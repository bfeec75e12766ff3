// The editor object: it lives as long as the effect, builds the engine the effect
// plays through, and will carry the window while one is open.
#pragma once
#include <cstdint>

#include "vst/aeffeditor.h"

namespace kelvoran {

class EffectVST;
struct ReverbEngine;

enum EditorPage : int32_t { pageNormal, pageHelp, pageOptions };

class KelvoranEditor : public AEffEditor {
public:
    // Registers itself as the effect's editor and gives the effect its engine (left
    // null when the engine cannot be allocated).
    explicit KelvoranEditor(EffectVST* effect);
    ~KelvoranEditor() override;  // the engine belongs to the effect

    bool getRect(ERect** rect) override;
    bool open(void* parent) override;  // no window yet: answers false
    void close() override;
    bool setKnobMode(VstInt32 mode) override;

    // Editor side of a parameter change; only an open window has anything to update.
    void setParameter(VstInt32 index, float value);

    ReverbEngine* engine = nullptr;
    EditorPage page = pageNormal;
    uint32_t lastIdleTime = 0;
    VstInt32 knobMode = 0;

private:
    ERect rect = {0, 0, 560, 704};
};

}  // namespace kelvoran
