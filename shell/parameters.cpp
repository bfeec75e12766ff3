#include "shell/parameters.h"

#include <cmath>

#include "editor/kelvoran_editor.h"
#include "shell/effect_vst.h"

namespace kelvoran {

const char* parameterName(int index) {
    return index >= 0 && index < kNumProgramParameters ? kParameterInfo[index].name : " ";
}

float displayedValue(const ReverbEngine& e, int index) {
    switch (index) {
        case 0: return e.wetGain * 1.58489f;
        case 1: return e.dryGain;
        case 2: return 1.0f - e.wallAbsorb;
        case 3: return 1.0f - e.wallHiCut;
        case 4: return e.scatter;
        case 5: return e.height * 0.5f + 2.0f;
        case 6: return (1.0f - e.airAbsorb) * 100.0f;
        case 7: return (1.0f - e.airHiCut) * 100.0f;
        case 8: return e.earsX;
        case 9: return e.earsY;
        case 10: return e.source1X;
        case 11: return e.source1Y;
        case 12: return e.source2X;
        case 13: return e.source2Y;
        case 14: return e.preDelayMs;
        case 15: return e.scale;
        case 16: return float(e.headAngleDegrees);
        case 17: return e.diffusionGain;
        case 18: return e.diffusionSize;
        case 19: return e.diffusionMod;
        case 20: return e.width;
        case 21: return e.bend;
        case 22: return e.panX;
        case 23: return e.panY;
        case 24: return float(e.stereoSources);
        case 37: return float(e.reverse);
        case 45: return float(e.numRays);
        default: break;
    }
    if (index >= 25 && index <= 36) {
        const int band = (index - 25) / 3;
        switch ((index - 25) % 3) {
            case 0: return e.eqFreq[band];
            case 1: return std::pow(10.0f, e.eqGain[band] / 20.0f);
        }
    }
    // Widths, routing and the outputs choice: the stored value itself.
    const int current = e.currentProgram;
    if (index < 0 || index >= kNumProgramParameters || current < 0 || current >= kNumPrograms) return 0;
    return e.programs[current].slot[kParameterSlot[index]];
}

bool formatParameter(const ReverbEngine& engine, int index, char* text) {
    if (index < 0 || index >= kNumProgramParameters) return false;
    kParameterInfo[index].format(displayedValue(engine, index), text);
    return true;
}

// ---- the effect's parameter path ------------------------------------------------------

void EffectVST::setParameter(VstInt32 index, float value) {
    if (!engine) return;
    engine->applyParameter(index, value);
    runCommand(index, value);
    if (KelvoranEditor* e = kelvoranEditor()) e->setParameter(index, value);
}

void EffectVST::runCommand(VstInt32 index, float value) {
    if (!std::isfinite(value)) return;
    if (index == kEditorReloadProgram) {
        setProgram(curProgram);
    } else if (index >= kEditorCategoryFirst && index < kEditorCategoryFirst + 8) {
        const int category = index - kEditorCategoryFirst;
        const int entry = toInt(value);
        int first = 0;
        for (int k = 0; k < category; ++k) first += engine->categoryCount[k];
        // Only an entry of the chosen category picks a program.
        if (entry < 0 || entry >= engine->categoryCount[category]) return;
        if (first + entry != curProgram) setProgram(first + entry);
    } else if (index == kEditorPreviousProgram && value == 0.0f) {
        stepProgram(-1);
    } else if (index == kEditorNextProgram && value == 0.0f) {
        stepProgram(+1);
    }
}

void EffectVST::stepProgram(int step) {
    const int target = (curProgram + step + kNumPrograms) % kNumPrograms;
    if (target == curProgram) return;
    setProgram(target);
    if (KelvoranEditor* e = kelvoranEditor()) e->setParameter(kEditorProgramName, float(target));
}

float EffectVST::getParameter(VstInt32 index) { return engine ? engine->parameterValue(index) : 0.0f; }

void EffectVST::getParameterName(VstInt32 index, char* text) {
    vst_strncpy(text, parameterName(index), kVstMaxNameLen - 1);
}

void EffectVST::getParameterLabel(VstInt32, char* label) {
    vst_strncpy(label, kParameterLabel, kVstMaxParamStrLen - 1);
}

// Hosts show this text beside their own parameter controls.
void EffectVST::getParameterDisplay(VstInt32 index, char* text) {
    char full[kFormatSize] = "";
    if (engine) formatParameter(*engine, index, full);
    vst_strncpy(text, full, kHostDisplayLength);
}

}  // namespace kelvoran
