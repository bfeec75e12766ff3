#include <gtest/gtest.h>

#include <cstring>

#include "engine/program.h"
#include "tests/engine/fixture.h"

using namespace kelvoran;

TEST(ProgramRecord, InitWritesTheInitValuesAndKeepsWallsAndTwoSlots) {
    KelvoranProgram p;
    std::memset(&p, 0x5A, sizeof p);
    const float keep = p.slot[parSpeakerOut5];
    initProgram(p);
    const std::pair<Slot, float> expected[] = {
        {parStereoOnOff, 1}, {parReverseOnOff, 0}, {parGain, 0.55f}, {parDryOut, 0},
        {parAbsorb, 0.4f}, {parHiCut, 0.5f}, {parAbsorbAir, 0.3f}, {parHiCutAir, 0},
        {parNumRays, 1}, {parSpeakerIn1, 0}, {parSpeakerIn2, 1}, {parSpeakerOut1, -1},
        {parSpeakerOut4, -1}, {parEarsX, 0.5f}, {parSource1X, 0.44f}, {parSource2X, 0.56f},
        {parHeadAngle, 0.5f}, {parDiffusion, 0.633333f}, {parSurround, 0}, {parDiffMod, 0.2f},
        {parDiffWidth, 1}, {parHeight, 0.1f}, {parEQfreq1, 0.25f}, {parEQwide3, 0.3f},
        {parEQfreq4, 0.8f}, {parEQwide4, 0.2f},
    };
    for (auto [slot, value] : expected) EXPECT_FLOAT_EQ(p.slot[slot], value) << "slot " << slot;
    EXPECT_EQ(p.slot[parSpeakerOut5], keep);
    EXPECT_EQ(p.slot[parScatter], keep);
    EXPECT_EQ(p.numWalls, 0);
    EXPECT_STREQ(p.name, "Init");
    EXPECT_EQ(p.walls[0].x1, keep) << "wall records stay as they were";
}

TEST(ProgramRecord, AddWallDerivesDirectionAndNormalAndRefusesTheRoomBeyondFull) {
    KelvoranProgram p;
    initProgram(p);
    ASSERT_TRUE(AddWall(p, 0, 0, 50, 0));
    const Wall& w = p.walls[0];
    EXPECT_EQ(w.dx, 50);
    EXPECT_EQ(w.dy, 0);
    EXPECT_EQ(w.nx, 0);
    EXPECT_EQ(w.ny, 1);
    ASSERT_TRUE(AddWall(p, 0, 0, 3, 4));
    EXPECT_FLOAT_EQ(p.walls[1].nx, -0.8f);
    EXPECT_FLOAT_EQ(p.walls[1].ny, 0.6f);
    while (p.numWalls < kMaxWalls) ASSERT_TRUE(AddWall(p, 1, 1, 2, 2));
    EXPECT_FALSE(AddWall(p, 1, 1, 2, 2));
    EXPECT_EQ(p.numWalls, kMaxWalls);
}

TEST(ProgramRecord, LegacyConversionMovesSlotsKeepsNameAndSetsModulation) {
    LegacyProgram legacy;
    std::memset(&legacy, 0, sizeof legacy);
    for (int i = 0; i < 46; ++i) legacy.slot[i] = float(i) + 0.5f;
    legacy.numWalls = 2;
    legacy.walls[1].x1 = 7;
    legacy.walls[1].ny = 0.25f;
    legacy.walls[1].dragMark = 2;
    KelvoranProgram p;
    initProgram(p);
    std::strcpy(p.name, "Mine");
    convertLegacyProgram(p, legacy);
    for (int i = 0; i <= 28; ++i)
        if (i != 15) {
            EXPECT_EQ(p.slot[i], i + 0.5f) << i;
        }
    EXPECT_EQ(p.slot[parSpeakerOut5], 14.5f) << "slot 15 takes legacy slot 14";
    EXPECT_EQ(p.slot[parDiffMod], 0.5f);
    EXPECT_EQ(p.slot[parDiffSize], 29.5f);
    EXPECT_EQ(p.slot[parHeight], 33.5f);
    EXPECT_EQ(p.slot[parEQwide4], 45.5f);
    EXPECT_EQ(p.numWalls, 2);
    EXPECT_EQ(p.walls[1].x1, 7);
    EXPECT_EQ(p.walls[1].ny, 0.25f);
    EXPECT_EQ(p.walls[1].dragMark, 2);
    EXPECT_STREQ(p.name, "Mine");
}

TEST(ProgramRecord, LegacyConversionNeverCopiesMoreThanTheRoomHolds) {
    LegacyProgram legacy;
    std::memset(&legacy, 0, sizeof legacy);
    legacy.numWalls = 100000;
    KelvoranProgram p;
    initProgram(p);
    convertLegacyProgram(p, legacy);
    EXPECT_EQ(p.numWalls, kMaxWalls);
    legacy.numWalls = -5;
    convertLegacyProgram(p, legacy);
    EXPECT_EQ(p.numWalls, 0);
}

TEST(ProgramRecord, EngineStartsWithInitProgramsAndTheBankImageAroundThem) {
    auto e = std::make_unique<ReverbEngine>();
    EXPECT_EQ(sizeof(e->bank), 849244u);
    EXPECT_EQ(reinterpret_cast<char*>(&e->programs[0]) - reinterpret_cast<char*>(&e->bank), 4);
    for (const auto& p : e->programs) {
        EXPECT_STREQ(p.name, "Init");
        EXPECT_EQ(p.numWalls, 0);
    }
    EXPECT_EQ(e->numTaps, 256);
    EXPECT_EQ(e->displayMode, 1);
    EXPECT_EQ(e->ready, 0);
    EXPECT_EQ(e->outputPin[4], 4);
}
