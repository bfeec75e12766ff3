// Program switching, names and the chunk state the host stores.
#include <cstring>
#include <memory>

#include "engine/params.h"
#include "shell/effect_vst.h"

namespace kelvoran {

namespace {

// Host blocks carry no alignment promise: records are copied out byte-wise.
void takeLegacy(KelvoranProgram& target, const unsigned char* data) {
    auto legacy = std::make_unique<LegacyProgram>();
    std::memcpy(legacy.get(), data, sizeof(LegacyProgram));
    convertLegacyProgram(target, *legacy);
}

}  // namespace

void EffectVST::setProgram(VstInt32 index) {
    if (!engine || index < 0 || index >= kNumPrograms) return;
    curProgram = index;
    engine->setProgramAndRate(index, sampleRate);
    engine->loadRoom(index);
    const bool keepDry = engine->bankHeader.preferenceFlags & prefKeepDry;
    const KelvoranProgram& p = engine->programs[index];
    for (int i : kProgramApplyOrder)
        if (!(keepDry && i == kDryGainParameter)) setParameter(i, p.slot[kParameterSlot[i]]);
    engine->restart();
    updateDisplay();
}

void EffectVST::setProgramName(char* name) {
    if (!engine) return;
    char* stored = engine->program().name;
    std::memset(stored, 0, kNameSize);
    vst_strncpy(stored, name, kProgramNameLength);
}

void EffectVST::getProgramName(char* name) {
    if (engine)
        vst_strncpy(name, engine->program().name, kHostProgramNameLength);
    else
        *name = 0;
}

bool EffectVST::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (!engine || index < 0 || index >= kNumPrograms) return false;
    vst_strncpy(text, engine->programs[index].name, kHostProgramNameLength);
    return true;
}

VstInt32 EffectVST::getChunk(void** data, bool isPreset) {
    if (!engine) return 0;
    if (isPreset) {
        *data = &engine->program();
        return kProgramChunkSize;
    }
    *data = &engine->bank;
    return kBankChunkSize;
}

VstInt32 EffectVST::setChunk(void* data, VstInt32 size, bool isPreset) {
    if (!engine || !data) return 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    KelvoranProgram& current = engine->program();
    if (isPreset && size == kLegacyProgramChunkSize) {
        takeLegacy(current, bytes);  // keeps the program's name
    } else if (isPreset && size == kProgramChunkSize) {
        auto taken = std::make_unique<KelvoranProgram>();
        std::memcpy(taken.get(), bytes, sizeof(KelvoranProgram));
        makeProgramSafe(*taken);
        std::memcpy(&current, taken.get(), sizeof(KelvoranProgram));
    } else if (!isPreset && size == kLegacyBankChunkSize) {
        for (int k = 0; k < kLegacyBankPrograms; ++k)
            takeLegacy(engine->programs[k], bytes + 4 + k * sizeof(LegacyProgram));
    } else if (!isPreset && size == kBankChunkSize) {
        auto taken = std::make_unique<BankImage>();
        std::memcpy(taken.get(), bytes, sizeof(BankImage));
        for (KelvoranProgram& p : taken->programs) makeProgramSafe(p);
        std::memcpy(&engine->bank, taken.get(), sizeof(BankImage));
    } else {
        return 0;
    }
    setProgram(curProgram);
    engine->setProgramAndRate(curProgram, sampleRate);
    engine->viewDirty = 1;
    return 1;
}

}  // namespace kelvoran
