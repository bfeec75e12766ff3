#include "engine/program.h"

#include <cmath>
#include <cstring>

namespace kelvoran {

namespace {
// Init values by slot; NaN marks the two slots initProgram leaves as they were.
constexpr float kKeep = __builtin_nanf("");
constexpr float kInitSlots[kNumSlots] = {
    1, 0, 0.55f, 0, 0.4f, 0.5f, 0.3f, 0, 1,       // stereo .. rays
    0, 1, -1, -1, -1, -1, kKeep,                   // speaker slots
    0.5f, 0.5f, 0.44f, 0.5f, 0.56f, 0.5f,          // listener, sources
    0.5f, 0.633333f, 0.5f, 0.5f, 0.5f, 0.5f, 0,    // head .. surround
    0.2f, 0.5f, 1, 0.5f, kKeep, 0.1f,              // diff mod .. height
    0.25f, 0, 0.2f, 0.33f, 0, 0.2f, 0.66f, 0, 0.3f, 0.8f, 0, 0.2f,  // EQ
};
}  // namespace

void initProgram(KelvoranProgram& p) {
    for (int i = 0; i < kNumSlots; ++i)
        if (!std::isnan(kInitSlots[i])) p.slot[i] = kInitSlots[i];
    p.numWalls = 0;
    std::memset(p.name, 0, sizeof p.name);
    std::strcpy(p.name, "Init");
}

bool AddWall(KelvoranProgram& p, int x1, int y1, int x2, int y2) {
    if (p.numWalls < 0 || p.numWalls >= kMaxWalls) return false;
    Wall& w = p.walls[p.numWalls];
    w.x1 = float(x1), w.y1 = float(y1), w.x2 = float(x2), w.y2 = float(y2);
    w.dx = float(x2 - x1);
    w.dy = float(y2 - y1);
    long double length = std::sqrt((long double)w.dx * w.dx + (long double)w.dy * w.dy);
    w.nx = float(-w.dy / length);
    w.ny = float(w.dx / length);
    w.dragMark = 0;
    std::memset(w.pad, 0, sizeof w.pad);
    ++p.numWalls;
    return true;
}

void convertLegacyProgram(KelvoranProgram& target, const LegacyProgram& legacy) {
    int count = legacy.numWalls < 0 ? 0 : legacy.numWalls > kMaxWalls ? kMaxWalls : legacy.numWalls;
    for (int i = 0; i < count; ++i) {
        std::memcpy(&target.walls[i], &legacy.walls[i], 32);
        target.walls[i].dragMark = legacy.walls[i].dragMark;
    }
    target.numWalls = count;  // never more walls than the record holds
    for (int i = 0; i <= 28; ++i) target.slot[i] = legacy.slot[i];
    target.slot[parSpeakerOut5] = legacy.slot[14];
    for (int i = 29; i <= 45; ++i) target.slot[i + 1] = legacy.slot[i];
    target.slot[parDiffMod] = 0.5f;
}

}  // namespace kelvoran
