#include "editor/kelvoran_editor.h"

#include <new>

#include "presets/factory.h"
#include "shell/effect_vst.h"

namespace kelvoran {

KelvoranEditor::KelvoranEditor(EffectVST* effect) : AEffEditor(effect) {
    effect->setEditor(this);
    try {
        engine = new ReverbEngine(fillFactoryBank);
    } catch (const std::bad_alloc&) {
        engine = nullptr;  // the effect reports the failure to the host
    }
    effect->engine = engine;
    // The category commands count programs by these sizes; the preset menus list the same.
    if (engine)
        for (int k = 0; k < kNumCategories; ++k) engine->categoryCount[k] = kCategories[k].count;
}

KelvoranEditor::~KelvoranEditor() = default;

bool KelvoranEditor::getRect(ERect** r) {
    *r = &rect;
    return true;
}

bool KelvoranEditor::open(void*) { return false; }

void KelvoranEditor::close() { AEffEditor::close(); }

bool KelvoranEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

void KelvoranEditor::setParameter(VstInt32, float) {
    // Controls exist only while a window is open, and open builds none yet.
}

}  // namespace kelvoran
