// Program switching, program names and the chunks a host stores and restores.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

#include "engine/program.h"
#include "host.h"

using namespace host;
using kelvoran::BankImage;
using kelvoran::KelvoranProgram;
using kelvoran::LegacyProgram;

namespace {

constexpr size_t kBank = sizeof(BankImage), kProgram = sizeof(KelvoranProgram);
constexpr size_t kLegacyProgram = sizeof(LegacyProgram), kLegacyBank = 4 + 45 * sizeof(LegacyProgram);

size_t programOffset(int index) { return offsetof(BankImage, programs) + index * kProgram; }

KelvoranProgram programIn(const Bytes& bank, int index) { return recordAt<KelvoranProgram>(bank, programOffset(index)); }

Bytes slice(const Bytes& b, size_t from, size_t to) { return Bytes(b.begin() + from, b.begin() + to); }

// A legacy record with recognisable values.
LegacyProgram legacyProgram(float base) {
    LegacyProgram l{};
    for (int i = 0; i < 46; ++i) l.slot[i] = base + 0.001f * i;
    l.numWalls = 1;
    l.walls[0] = {1, 2, 3, 4, 2, 2, 0, 1, 0, {}};
    std::strcpy(l.name, "legacy");
    return l;
}

// Sample 0 of output L for an impulse on input L: the dry level alone.
float dryLevel(Instance& p) {
    std::vector<float> l(64), r(64);
    l[0] = 1;
    return p.render(l, r, 64)[0][0];
}

}  // namespace

TEST(Programs, SwitchAndNames) {
    Instance p;
    Bytes bank = p.chunk(false);
    p.selectProgram(33);
    EXPECT_EQ(p.program(), 33);
    EXPECT_EQ(p.text(effGetProgramName), std::string(programIn(bank, 33).name).substr(0, 23));
    p.selectProgram(90);
    p.selectProgram(-1);
    EXPECT_EQ(p.program(), 33) << "indices outside the bank are ignored";
    for (VstIntPtr category : {0, 3, -1, 1000}) {
        char name[64] = {};
        EXPECT_EQ(p.dispatch(effGetProgramNameIndexed, 89, category, name), 1);
        EXPECT_EQ(std::string(name), std::string(programIn(bank, 89).name).substr(0, 23));
    }
    char name[64] = "untouched";
    EXPECT_EQ(p.dispatch(effGetProgramNameIndexed, 90, 0, name), 0);
    EXPECT_EQ(p.dispatch(effGetProgramNameIndexed, -1, 0, name), 0);
    EXPECT_STREQ(name, "untouched");
}

TEST(Programs, LongNamesAreCutForTheHostButKeptWhole) {
    Instance p;
    Bytes bank = p.chunk(false);
    int longest = -1;
    for (int i = 0; i < 90; ++i)
        if (std::strlen(programIn(bank, i).name) > 23) longest = i;
    ASSERT_GE(longest, 0) << "the factory bank has names longer than a host's 24 bytes";
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    p.dispatch(effGetProgramNameIndexed, longest, 0, buffer);
    EXPECT_EQ(std::strlen(buffer), 23u);
    EXPECT_EQ(buffer[24], 'x') << "nothing written past the host's 24 bytes";

    std::string forty(40, 'n');
    forty[26] = 'L';
    p.dispatch(effSetProgramName, 0, 0, forty.data());
    KelvoranProgram stored = recordAt<KelvoranProgram>(p.chunk(true), 0);
    EXPECT_EQ(std::string(stored.name), forty.substr(0, 27));
    EXPECT_EQ(p.text(effGetProgramName), forty.substr(0, 23));
}

TEST(Programs, ProgramEditsLiveAsLongAsTheInstance) {
    Instance p;
    p.selectProgram(3);
    p.set(9, 0.125f);
    p.selectProgram(4);
    EXPECT_NE(p.get(9), 0.125f);
    p.selectProgram(3);
    EXPECT_EQ(p.get(9), 0.125f);
    EXPECT_EQ(programIn(p.chunk(false), 3).slot[kelvoran::parEarsY], 0.125f);
}

TEST(Chunks, SizesAndHeader) {
    Instance p;
    Bytes bank = p.chunk(false), program = p.chunk(true);
    ASSERT_EQ(bank.size(), 849244u);
    EXPECT_EQ(bank[0], 35);
    EXPECT_EQ(program.size(), 9436u);
    EXPECT_EQ(program, slice(bank, programOffset(0), programOffset(1))) << "the current program's record";
}

TEST(Chunks, BankRoundTripsIntoAnotherInstance) {
    Bytes saved;
    {
        Instance a;
        a.selectProgram(12);
        a.set(2, 0.375f);
        char name[] = "Saved room";
        a.dispatch(effSetProgramName, 0, 0, name);
        saved = a.chunk(false);
    }
    Instance b;
    b.selectProgram(12);
    ASSERT_EQ(b.setChunk(saved, false), 1);
    EXPECT_EQ(b.get(2), 0.375f);
    EXPECT_EQ(b.text(effGetProgramName), "Saved room");
    EXPECT_EQ(b.chunk(false), saved);
    EXPECT_GT(peak(b.impulse(22050)[0]), 1e-3f) << "audio runs after the load";
}

TEST(Chunks, ProgramChunkReplacesOnlyTheCurrentProgram) {
    Instance p;
    p.selectProgram(20);
    Bytes program = p.chunk(true);
    p.selectProgram(30);
    Bytes before = p.chunk(false);
    ASSERT_EQ(p.setChunk(program, true), 1);
    Bytes after = p.chunk(false);
    EXPECT_EQ(slice(after, programOffset(30), programOffset(31)), program);
    EXPECT_EQ(slice(after, 0, programOffset(30)), slice(before, 0, programOffset(30)));
    EXPECT_EQ(slice(after, programOffset(31), kBank), slice(before, programOffset(31), kBank));
    EXPECT_EQ(p.program(), 30);
    EXPECT_EQ(p.get(0), recordAt<KelvoranProgram>(program, 0).slot[kelvoran::parGain]);
}

TEST(Chunks, WrongSizesAreRefusedAndChangeNothing) {
    Instance p;
    p.selectProgram(5);
    Bytes bank = p.chunk(false);
    struct Case {
        size_t size;
        bool preset;
    } cases[] = {{kBank - 1, false}, {kBank + 1, false}, {0, false},           {kProgram, false},
                 {kLegacyProgram, false}, {kBank, true}, {kLegacyBank, true}, {kProgram - 1, true},
                 {kProgram + 1, true},    {0, true},     {kLegacyProgram + 4, true}};
    for (const Case& c : cases) {
        Bytes data(std::max<size_t>(c.size, 1), 0x5A);
        int shown = requests().updateDisplay;
        EXPECT_EQ(p.dispatch(effSetChunk, c.preset, VstIntPtr(c.size), data.data()), 0) << c.size;
        EXPECT_EQ(requests().updateDisplay, shown) << "no reload for " << c.size;
    }
    EXPECT_EQ(p.dispatch(effSetChunk, 0, VstIntPtr(kBank), nullptr), 0);
    EXPECT_EQ(p.dispatch(effSetChunk, 0, VstIntPtr(kBank) + (VstIntPtr(1) << 32), bank.data()), 0);
    EXPECT_EQ(p.chunk(false), bank);
    EXPECT_EQ(p.program(), 5);
}

TEST(Chunks, WallCountsOutsideTheRecordAreClamped) {
    struct Case {
        int32_t count;
        int32_t stored;
    } cases[] = {{-1, 0}, {INT32_MIN, 0}, {257, 256}, {100000, 256}, {INT32_MAX, 256}, {256, 256}, {7, 7}};
    Instance p;
    for (const Case& c : cases) {
        Bytes program = p.chunk(true);
        KelvoranProgram record = recordAt<KelvoranProgram>(program, 0);
        record.numWalls = c.count;
        std::memset(record.name, 'q', sizeof record.name);  // no terminator either
        putRecord(program, 0, record);
        ASSERT_EQ(p.setChunk(program, true), 1) << c.count;
        KelvoranProgram taken = recordAt<KelvoranProgram>(p.chunk(true), 0);
        EXPECT_EQ(taken.numWalls, c.stored);
        EXPECT_EQ(std::string(taken.name), std::string(27, 'q'));
        EXPECT_EQ(p.text(effGetProgramName), std::string(23, 'q'));
        Channels out = p.impulse(4096);
        EXPECT_TRUE(std::isfinite(peak(out[0])));
    }
    // The same in a bank, for every program.
    Bytes bank = p.chunk(false);
    for (int i = 0; i < 90; ++i) {
        KelvoranProgram record = programIn(bank, i);
        record.numWalls = i % 2 ? -5 : 1 << 20;
        putRecord(bank, programOffset(i), record);
    }
    ASSERT_EQ(p.setChunk(bank, false), 1);
    Bytes taken = p.chunk(false);
    for (int i = 0; i < 90; ++i) EXPECT_EQ(programIn(taken, i).numWalls, i % 2 ? 0 : 256) << i;
}

TEST(Chunks, LegacyProgramKeepsTheNameAndMovesSlots) {
    Instance p;
    p.selectProgram(8);
    const std::string name = p.text(effGetProgramName);
    LegacyProgram legacy = legacyProgram(0.1f);
    Bytes data(kLegacyProgram);
    putRecord(data, 0, legacy);
    ASSERT_EQ(p.setChunk(data, true), 1);
    KelvoranProgram taken = recordAt<KelvoranProgram>(p.chunk(true), 0);
    EXPECT_EQ(p.text(effGetProgramName), name);
    EXPECT_EQ(taken.slot[kelvoran::parDiffMod], 0.5f);
    EXPECT_EQ(taken.slot[kelvoran::parSpeakerOut5], legacy.slot[14]);
    EXPECT_EQ(taken.numWalls, 1);
    EXPECT_EQ(taken.walls[0].x2, 3.0f);
}

TEST(Chunks, LegacyBankChangesProgramsZeroTo44Only) {
    Instance p;
    Bytes before = p.chunk(false);
    Bytes data(kLegacyBank, 0);
    for (int k = 0; k < 45; ++k) putRecord(data, 4 + k * kLegacyProgram, legacyProgram(0.01f * k));
    ASSERT_EQ(p.setChunk(data, false), 1);
    Bytes after = p.chunk(false);
    EXPECT_EQ(slice(after, 0, 4), slice(before, 0, 4)) << "header kept";
    EXPECT_EQ(slice(after, programOffset(45), kBank), slice(before, programOffset(45), kBank));
    for (int k = 0; k < 45; ++k) {
        KelvoranProgram taken = programIn(after, k);
        EXPECT_EQ(taken.slot[kelvoran::parSpeakerOut5], 0.01f * k + 0.001f * 14) << k;
        EXPECT_STREQ(taken.name, programIn(before, k).name);
    }
}

TEST(Chunks, BankBringsTheKeepDryPreference) {
    Instance p;
    p.set(1, 0.5f);
    ASSERT_NEAR(dryLevel(p), 0.25f, 1e-6f);
    Bytes bank = p.chunk(false);
    KelvoranProgram first = programIn(bank, 0), second = programIn(bank, 1);
    first.slot[kelvoran::parDryOut] = 0.3f;
    second.slot[kelvoran::parDryOut] = 0.8f;
    putRecord(bank, programOffset(0), first);
    putRecord(bank, programOffset(1), second);

    bank[1] = kelvoran::prefKeepDry;
    ASSERT_EQ(p.setChunk(bank, false), 1);
    EXPECT_NEAR(dryLevel(p), 0.25f, 1e-6f) << "the load keeps the dry level";
    p.selectProgram(1);
    EXPECT_NEAR(dryLevel(p), 0.25f, 1e-6f) << "and so does a switch";

    bank[1] = 0;
    ASSERT_EQ(p.setChunk(bank, false), 1);
    EXPECT_EQ(p.program(), 1);
    EXPECT_NEAR(dryLevel(p), 0.64f, 1e-6f);
    p.selectProgram(0);
    EXPECT_NEAR(dryLevel(p), 0.09f, 1e-6f);
}
