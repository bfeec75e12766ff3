// Layout of the factory data tables (factory_programs.cpp); only the fill routines read them.
#pragma once
#include <cstdint>

#include "engine/program.h"

namespace kelvoran {

struct FactoryWall {
    int8_t x1, y1, x2, y2;  // whole metres on the 50 x 50 grid
};

// The slots each program gives, in the order of its value row. The routing, surround and
// pan-y slots are not listed: they hold the same value in every program (kCommonSlots).
inline constexpr Slot kProgramSlots[] = {
    parStereoOnOff, parReverseOnOff, parGain, parDryOut, parAbsorb, parHiCut,
    parAbsorbAir, parHiCutAir, parNumRays,
    parEarsX, parEarsY, parSource1X, parSource1Y, parSource2X, parSource2Y, parHeadAngle,
    parDiffusion, parScale, parPreDelay, parPanX, parDiffMod, parDiffSize, parDiffWidth,
    parBend, parScatter, parHeight,
    parEQfreq1, parEQgain1, parEQwide1, parEQfreq2, parEQgain2, parEQwide2,
    parEQfreq3, parEQgain3, parEQwide3, parEQfreq4, parEQgain4, parEQwide4,
};
inline constexpr int kNumProgramValues = int(sizeof kProgramSlots / sizeof kProgramSlots[0]);

struct SlotValue {
    Slot slot;
    float value;
};
// -1 on the last three outputs leaves the host's routing of those outputs as it is.
inline constexpr SlotValue kCommonSlots[] = {
    {parSpeakerIn1, 0},  {parSpeakerIn2, 1},  {parSpeakerOut1, 0}, {parSpeakerOut2, 1},
    {parSpeakerOut3, -1}, {parSpeakerOut4, -1}, {parSpeakerOut5, -1},
    {parSurround, 0},    {parPanY, 0.5f},
};
static_assert(kNumProgramValues + int(sizeof kCommonSlots / sizeof kCommonSlots[0]) == kNumSlots);

// A value row entry that leaves its slot as the record holds it.
inline constexpr float kKeep = __builtin_nanf("");

struct FactoryProgram {
    const char* name;
    const FactoryWall* walls;
    int numWalls;
    float value[kNumProgramValues];
};

extern const FactoryProgram kFactoryPrograms[kNumPrograms];

}  // namespace kelvoran
