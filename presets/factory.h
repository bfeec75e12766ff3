// The factory programs a new instance offers, and the menu categories that group them.
#pragma once
#include "engine/program.h"

namespace kelvoran {

// A category is a run of programs in bank order; the preset menus and the category
// commands both read this one table.
struct Category {
    const char* menuTitle;
    int first;  // first program of the run
    int count;  // programs in the run
};

inline constexpr int kNumCategories = 8;
inline constexpr Category kCategories[kNumCategories] = {
    {"Cathedrals:", 0, 5},      {"Chambers:", 5, 10}, {"Concerts:", 15, 11},
    {"Drums:", 26, 11},         {"FX:", 37, 11},      {"Pads & Plates:", 48, 9},
    {"Production:", 57, 19},    {"Vocals:", 76, 14},
};

constexpr bool categoriesTileTheBank() {
    int next = 0;
    for (const Category& c : kCategories) {
        if (c.first != next || c.count <= 0) return false;
        next += c.count;
    }
    return next == kNumPrograms;
}
static_assert(categoriesTileTheBank());

// The category holding a program, or -1 for an index outside the bank.
constexpr int categoryOfProgram(int program) {
    for (int k = 0; k < kNumCategories; ++k)
        if (program >= kCategories[k].first && program < kCategories[k].first + kCategories[k].count)
            return k;
    return -1;
}

// Writes the bank header (version 35, no preferences) and all 90 factory programs,
// each over an Init program. Matches the engine's bank-fill hook.
void fillFactoryBank(BankImage& bank);

// Restores one program from its factory data ("Reset current"): the walls are replaced,
// not appended, and the slots the factory data leaves alone keep their current values.
// Only the program is touched, so the bank's preference flags survive. False, with
// nothing changed, for an index outside 0..89.
bool fillFactoryProgram(KelvoranProgram& program, int index);

}  // namespace kelvoran
