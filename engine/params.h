// Host parameter indices and the program slot each of the first 47 writes.
#pragma once
#include "engine/program.h"

namespace kelvoran {

constexpr int kNumParameters = 48;  // what the host sees
constexpr int kNumProgramParameters = 47;

// Program slot of host parameter index 0..46.
constexpr Slot kParameterSlot[kNumProgramParameters] = {
    parGain, parDryOut, parAbsorb, parHiCut, parScatter, parHeight, parAbsorbAir, parHiCutAir,
    parEarsX, parEarsY, parSource1X, parSource1Y, parSource2X, parSource2Y, parPreDelay,
    parScale, parHeadAngle, parDiffusion, parDiffSize, parDiffMod, parDiffWidth, parBend,
    parPanX, parPanY, parStereoOnOff,
    parEQfreq1, parEQgain1, parEQwide1, parEQfreq2, parEQgain2, parEQwide2,
    parEQfreq3, parEQgain3, parEQwide3, parEQfreq4, parEQgain4, parEQwide4,
    parReverseOnOff, parSpeakerIn1, parSpeakerIn2, parSpeakerOut1, parSpeakerOut2,
    parSpeakerOut3, parSpeakerOut4, parSpeakerOut5, parNumRays, parSurround,
};

// Host parameter index of each program slot (the inverse of kParameterSlot).
constexpr int parameterOfSlot(int slot) {
    for (int i = 0; i < kNumProgramParameters; ++i)
        if (kParameterSlot[i] == slot) return i;
    return -1;
}

// The order in which a program switch applies a program's values (host indices).
constexpr int kProgramApplyOrder[kNumProgramParameters] = {
    8, 9, 10, 11, 12, 13, 38, 39, 40, 41, 42, 43, 44, 16, 17, 19, 18, 20, 24, 37, 0, 1, 2, 3,
    6, 7, 15, 14, 45, 22, 23, 46, 21, 5, 4, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36,
};
constexpr int kDryGainParameter = 1;

enum Control : int {
    ctlMirror = 75,
    ctlRedraw = 76,
    ctlReadback = 69,
};

}  // namespace kelvoran
