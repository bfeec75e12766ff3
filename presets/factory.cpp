#include "presets/factory.h"

#include <cmath>
#include <cstring>

#include "presets/factory_programs.h"

namespace kelvoran {

namespace {

void writeValues(KelvoranProgram& p, const FactoryProgram& f) {
    for (const SlotValue& c : kCommonSlots) p.slot[c.slot] = c.value;
    for (int i = 0; i < kNumProgramValues; ++i)
        if (!std::isnan(f.value[i])) p.slot[kProgramSlots[i]] = f.value[i];
}

void writeName(KelvoranProgram& p, const char* name) {
    std::memset(p.name, 0, sizeof p.name);
    std::strncpy(p.name, name, sizeof p.name - 1);
}

// Appends the walls; the caller decides whether the room starts empty.
void writeProgram(KelvoranProgram& p, const FactoryProgram& f) {
    writeValues(p, f);
    for (int i = 0; i < f.numWalls; ++i) {
        const FactoryWall& w = f.walls[i];
        AddWall(p, w.x1, w.y1, w.x2, w.y2);
    }
    writeName(p, f.name);
}

}  // namespace

void fillFactoryBank(BankImage& bank) {
    for (KelvoranProgram& p : bank.programs) initProgram(p);
    bank.header = BankHeader{kBankVersion, 0, {0, 0}};
    for (int i = 0; i < kNumPrograms; ++i) writeProgram(bank.programs[i], kFactoryPrograms[i]);
}

bool fillFactoryProgram(KelvoranProgram& program, int index) {
    if (index < 0 || index >= kNumPrograms) return false;
    program.numWalls = 0;
    writeProgram(program, kFactoryPrograms[index]);
    return true;
}

}  // namespace kelvoran
