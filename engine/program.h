// Stored records: a wall, a program, the bank image and the earlier program layout.
// These byte images travel in host chunks and program files, so their layout is fixed.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kelvoran {

constexpr int kMaxWalls = 256;
constexpr int kNumPrograms = 90;
constexpr int kNumSlots = 47;
constexpr int kNameSize = 28;

struct Wall {
    float x1, y1, x2, y2;
    float dx, dy;
    float nx, ny;
    uint8_t dragMark;  // 0 none, 1 first end dragged, 2 second end dragged
    uint8_t pad[3];
};
static_assert(sizeof(Wall) == 36);
static_assert(offsetof(Wall, nx) == 24 && offsetof(Wall, dragMark) == 32);

// Program slot indices; also the first 47 host parameter indices.
enum Slot : int {
    parStereoOnOff, parReverseOnOff, parGain, parDryOut, parAbsorb, parHiCut,
    parAbsorbAir, parHiCutAir, parNumRays, parSpeakerIn1, parSpeakerIn2,
    parSpeakerOut1, parSpeakerOut2, parSpeakerOut3, parSpeakerOut4, parSpeakerOut5,
    parEarsX, parEarsY, parSource1X, parSource1Y, parSource2X, parSource2Y,
    parHeadAngle, parDiffusion, parScale, parPreDelay, parPanX, parPanY, parSurround,
    parDiffMod, parDiffSize, parDiffWidth, parBend, parScatter, parHeight,
    parEQfreq1, parEQgain1, parEQwide1, parEQfreq2, parEQgain2, parEQwide2,
    parEQfreq3, parEQgain3, parEQwide3, parEQfreq4, parEQgain4, parEQwide4,
};
static_assert(parEQwide4 == kNumSlots - 1);

struct KelvoranProgram {
    float slot[kNumSlots];
    int32_t numWalls;
    Wall walls[kMaxWalls];
    char name[kNameSize];
};
static_assert(sizeof(KelvoranProgram) == 9436);
static_assert(offsetof(KelvoranProgram, numWalls) == 188);
static_assert(offsetof(KelvoranProgram, walls) == 192);
static_assert(offsetof(KelvoranProgram, name) == 9408);

// The layout written by earlier versions; only read, converted on restore.
struct LegacyProgram {
    float slot[46];
    int32_t numWalls;
    uint8_t unused[128];
    Wall walls[kMaxWalls];
    char name[kNameSize];
};
static_assert(sizeof(LegacyProgram) == 9560);
static_assert(offsetof(LegacyProgram, numWalls) == 184);
static_assert(offsetof(LegacyProgram, walls) == 316);
static_assert(offsetof(LegacyProgram, name) == 9532);

constexpr uint8_t kBankVersion = 35;
enum PreferenceFlag : uint8_t { prefCircularKnobs = 1, prefKeepDry = 2 };

struct BankHeader {
    uint8_t version;
    uint8_t preferenceFlags;
    uint8_t pad[2];
};
static_assert(sizeof(BankHeader) == 4);

// Header and programs side by side, exactly as the bank chunk carries them.
struct BankImage {
    BankHeader header;
    KelvoranProgram programs[kNumPrograms];
};
static_assert(sizeof(BankImage) == 849244);
static_assert(offsetof(BankImage, programs) == 4);

void initProgram(KelvoranProgram& p);
// Appends a wall with its derived direction and normal; false when the room is full.
bool AddWall(KelvoranProgram& p, int x1, int y1, int x2, int y2);
void convertLegacyProgram(KelvoranProgram& target, const LegacyProgram& legacy);

// A stored program read from outside (chunk, file) may claim any wall count and an
// unterminated name: the count is clamped into 0..256 and the name cut to 27 characters,
// so nothing reads or writes past the record; every other byte is kept as it came.
inline void makeProgramSafe(KelvoranProgram& p) {
    if (p.numWalls < 0) p.numWalls = 0;
    if (p.numWalls > kMaxWalls) p.numWalls = kMaxWalls;
    p.name[kNameSize - 1] = 0;
}

// The plug-in's unique identifier, in hosts' four-character form.
inline constexpr char kEffectIdChars[5] = "KLvn";

}  // namespace kelvoran
