// The factory bank: names and wall counts, the facts every program shares, the one
// program given in full, the restore of a single program, and rooms that hold their
// listener and sources.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/params.h"
#include "presets/factory.h"

namespace kelvoran {
namespace {

struct Listed {
    const char* name;
    int walls;
};
constexpr Listed kListed[kNumPrograms] = {
    {"Cathedral: Complex", 83}, {"Cathedral: Power vocal", 32}, {"Cathedral: Rush", 36},
    {"Cathedral: Soft boom", 46}, {"Cathedral: Thick", 31}, {"Chamber: Boomy studio", 14},
    {"Chamber: Cafe duet", 20}, {"Chamber: Goes around", 25}, {"Chamber: Guitar room", 20},
    {"Chamber: Head spin", 20}, {"Chamber: Heavy curtains", 12}, {"Chamber: Late arrival", 28},
    {"Chamber: Off the walls", 18}, {"Chamber: String reflect", 15}, {"Chamber: Vanilla cone", 14},
    {"Concert: Cramped", 29}, {"Concert: Elmia hall", 28}, {"Concert: Flat", 22},
    {"Concert: Large", 34}, {"Concert: Large & far", 33}, {"Concert: Medium ensemble", 31},
    {"Concert: Old light", 24}, {"Concert: Playhouse", 34}, {"Concert: Reflective", 39},
    {"Concert: The Great Hall", 32}, {"Concert: Theatre", 34}, {"Drum: 200 snares", 12},
    {"Drum: Air sizzle", 20}, {"Drum: Clap repeater", 36}, {"Drum: Dome reflect", 13},
    {"Drum: Large room", 19}, {"Drum: Mono clanky", 30}, {"Drum: Reverse gate", 10},
    {"Drum: Ripple kick", 21}, {"Drum: Round chamber", 16}, {"Drum: Snare lift", 10},
    {"Drum: Stage complex", 16}, {"FX: Alien duct tape", 12}, {"FX: Doomed beach", 14},
    {"FX: Hollow drone", 16}, {"FX: Horror scream", 21}, {"FX: Infinity and Before", 12},
    {"FX: Low crawler", 24}, {"FX: Silo boom", 25}, {"FX: Tank kick", 16},
    {"FX: Thick 'n' mad", 10}, {"FX: Tinkerbright", 14}, {"FX: Wizard takes off", 12},
    {"Pads: Ambient light", 30}, {"Pads: Flower", 40}, {"Pads: Lost in y'box", 4},
    {"Pads: Plate large", 20}, {"Pads: Plate medium", 18}, {"Pads: Pockets", 36},
    {"Pads: Round ambience", 20}, {"Pads: Slow spriral", 44}, {"Pads: Thunder rumbler", 28},
    {"Production: Airport P.A.", 23}, {"Production: Bathroom", 4}, {"Production: Car talk", 9},
    {"Production: Carpark", 56}, {"Production: Cellar walk", 36}, {"Production: Drawing room", 12},
    {"Production: Forest hiding", 72}, {"Production: Gymnasium", 26}, {"Production: Kitchen off", 17},
    {"Production: Library", 44}, {"Production: Lost in a cave", 32}, {"Production: Museum", 29},
    {"Production: Open tunnel", 10}, {"Production: Sewer pipe", 4}, {"Production: Stairway chat", 14},
    {"Production: UK station P.A", 12}, {"Production: Underground", 9}, {"Production: Urban shouter", 25},
    {"Production: Warehouse", 58}, {"Vocal: Ambient hall", 10}, {"Vocal: Backing", 29},
    {"Vocal: Bright space", 32}, {"Vocal: Damp cave", 24}, {"Vocal: Haunted radio (fem)", 12},
    {"Vocal: Intimate slap", 12}, {"Vocal: Nice delay", 46}, {"Vocal: Poisoned!", 16},
    {"Vocal: Shine", 33}, {"Vocal: Shout room", 28}, {"Vocal: Simple stereo", 24},
    {"Vocal: Single ethereal", 36}, {"Vocal: Subtle space", 20}, {"Voice: Wacky harmony", 4},
};

constexpr int kKeepsDiffMod[] = {12, 37, 45, 47, 53, 55, 62, 69, 82, 83, 85};

bool keepsDiffMod(int program) {
    for (int p : kKeepsDiffMod)
        if (p == program) return true;
    return false;
}

bool isChannelSlot(int slot) { return slot >= parSpeakerIn1 && slot <= parSpeakerOut5; }

// One filled bank shared by the read-only tests.
class FactoryBank : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bank = std::make_unique<BankImage>();
        std::memset(bank.get(), 0xA5, sizeof(BankImage));  // no help from a zeroed image
        fillFactoryBank(*bank);
    }
    static void TearDownTestSuite() { bank.reset(); }
    static const KelvoranProgram& program(int i) { return bank->programs[i]; }
    static std::unique_ptr<BankImage> bank;
};
std::unique_ptr<BankImage> FactoryBank::bank;

TEST_F(FactoryBank, HeaderIsVersion35WithoutPreferences) {
    EXPECT_EQ(bank->header.version, 35);
    EXPECT_EQ(bank->header.preferenceFlags, 0);
    EXPECT_EQ(bank->header.pad[0], 0);
    EXPECT_EQ(bank->header.pad[1], 0);
}

TEST_F(FactoryBank, NamesAndWallCountsFollowTheList) {
    int total = 0;
    for (int i = 0; i < kNumPrograms; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(program(i).name, kListed[i].name);
        EXPECT_EQ(program(i).numWalls, kListed[i].walls);
        total += program(i).numWalls;
    }
    EXPECT_EQ(total, 2191);
}

TEST_F(FactoryBank, NamesAreUniqueAndLeaveTheRestOfTheFieldZero) {
    std::set<std::string> seen;
    for (int i = 0; i < kNumPrograms; ++i) {
        SCOPED_TRACE(i);
        const KelvoranProgram& p = program(i);
        size_t length = strnlen(p.name, kNameSize);
        EXPECT_LE(length, 26u);
        for (size_t k = length; k < kNameSize; ++k) EXPECT_EQ(p.name[k], 0);
        EXPECT_TRUE(seen.insert(p.name).second);
    }
}

TEST_F(FactoryBank, CommonFactsHoldInEveryProgram) {
    int stereo = 0;
    for (int i = 0; i < kNumPrograms; ++i) {
        SCOPED_TRACE(i);
        const float* s = program(i).slot;
        EXPECT_EQ(s[parSpeakerIn1], 0);
        EXPECT_EQ(s[parSpeakerOut1], 0);
        EXPECT_EQ(s[parSpeakerIn2], 1);
        EXPECT_EQ(s[parSpeakerOut2], 1);
        EXPECT_EQ(s[parSpeakerOut3], -1);
        EXPECT_EQ(s[parSpeakerOut4], -1);
        EXPECT_EQ(s[parSpeakerOut5], -1);
        EXPECT_EQ(s[parSurround], 0);
        EXPECT_EQ(s[parPanY], 0.5f);
        EXPECT_EQ(s[parPanX], (i == 63 || i == 72) ? 0.478261f : 0.5f);
        EXPECT_TRUE(s[parStereoOnOff] == 0 || s[parStereoOnOff] == 1);
        stereo += s[parStereoOnOff] == 1;
        EXPECT_EQ(s[parReverseOnOff], (i == 32 || i == 47 || i == 83) ? 1 : 0);
    }
    EXPECT_EQ(stereo, 77);
}

TEST_F(FactoryBank, ValuesLieInTheUnitRangeExceptTheChannels) {
    for (int i = 0; i < kNumPrograms; ++i)
        for (int s = 0; s < kNumSlots; ++s) {
            if (isChannelSlot(s)) continue;
            float v = program(i).slot[s];
            EXPECT_TRUE(v >= 0 && v <= 1) << "program " << i << " slot " << s << " = " << v;
        }
}

TEST_F(FactoryBank, BathroomIsExactlyTheListedProgram) {
    const KelvoranProgram& p = program(58);
    const struct {
        Slot slot;
        float value;
    } expected[] = {
        {parStereoOnOff, 1}, {parReverseOnOff, 0}, {parGain, 0.45f}, {parDryOut, 0.46f},
        {parAbsorb, 0.575f}, {parHiCut, 0.53f}, {parAbsorbAir, 0.3f}, {parHiCutAir, 0.245f},
        {parNumRays, 0.23f}, {parSpeakerIn1, 0}, {parSpeakerIn2, 1}, {parSpeakerOut1, 0},
        {parSpeakerOut2, 1}, {parSpeakerOut3, -1}, {parSpeakerOut4, -1}, {parSpeakerOut5, -1},
        {parEarsX, 0.5f}, {parEarsY, 0.5f}, {parSource1X, 0.48f}, {parSource1Y, 0.5f},
        {parSource2X, 0.52f}, {parSource2Y, 0.5f}, {parHeadAngle, 0.5f}, {parDiffusion, 0.658333f},
        {parScale, 0.5f}, {parPreDelay, 0.5f}, {parPanX, 0.5f}, {parPanY, 0.5f},
        {parSurround, 0}, {parDiffMod, 0.58f}, {parDiffSize, 0.625f}, {parDiffWidth, 0.5f},
        {parBend, 0.5f}, {parScatter, 0}, {parHeight, 0.06f},
        {parEQfreq1, 0.1f}, {parEQgain1, 0.19f}, {parEQwide1, 0.21f},
        {parEQfreq2, 0.33f}, {parEQgain2, 0.5f}, {parEQwide2, 0.2f},
        {parEQfreq3, 0.66f}, {parEQgain3, 0.5f}, {parEQwide3, 0.3f},
        {parEQfreq4, 0.5f}, {parEQgain4, 0.575f}, {parEQwide4, 0.2f},
    };
    static_assert(sizeof expected / sizeof expected[0] == kNumSlots);
    for (const auto& e : expected) EXPECT_EQ(p.slot[e.slot], e.value) << "slot " << e.slot;

    const struct {
        float x1, y1, x2, y2, nx, ny;
    } walls[] = {
        {30, 28, 20, 28, 0, -1}, {30, 28, 30, 20, 1, 0},
        {30, 20, 20, 20, 0, -1}, {20, 20, 20, 28, -1, 0},
    };
    ASSERT_EQ(p.numWalls, 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const Wall& w = p.walls[i];
        EXPECT_EQ(w.x1, walls[i].x1);
        EXPECT_EQ(w.y1, walls[i].y1);
        EXPECT_EQ(w.x2, walls[i].x2);
        EXPECT_EQ(w.y2, walls[i].y2);
        EXPECT_EQ(w.dx, walls[i].x2 - walls[i].x1);
        EXPECT_EQ(w.dy, walls[i].y2 - walls[i].y1);
        EXPECT_EQ(w.nx, walls[i].nx);
        EXPECT_EQ(w.ny, walls[i].ny);
        EXPECT_EQ(w.dragMark, 0);
    }
    EXPECT_STREQ(p.name, "Production: Bathroom");
}

TEST_F(FactoryBank, ElevenProgramsKeepTheInitDiffusionModulation) {
    for (int i : kKeepsDiffMod) EXPECT_EQ(program(i).slot[parDiffMod], 0.2f) << "program " << i;
}

TEST_F(FactoryBank, WallEndsAreWholeMetresOnTheGrid) {
    for (int i = 0; i < kNumPrograms; ++i) {
        const KelvoranProgram& p = program(i);
        std::set<std::array<float, 4>> seen;
        for (int k = 0; k < p.numWalls; ++k) {
            const Wall& w = p.walls[k];
            for (float v : {w.x1, w.y1, w.x2, w.y2})
                EXPECT_TRUE(v >= 0 && v <= 50 && v == std::floor(v))
                    << "program " << i << " wall " << k << ": " << v;
            EXPECT_FALSE(w.x1 == w.x2 && w.y1 == w.y2) << "program " << i << " wall " << k << " has no length";
            EXPECT_TRUE(seen.insert({w.x1, w.y1, w.x2, w.y2}).second) << "program " << i << " wall " << k << " twice";
        }
    }
}

// Where the engine puts a position slot: the nearest whole metre.
float gridMetre(float slot) { return float(int(50 * slot + 0.5f)); }

// Distance from (px, py) along (ux, uy) to the nearest wall, or -1 when the ray leaves
// the grid without meeting one. 80 m is as far as a ray looks across the grid.
float distanceToWall(const KelvoranProgram& p, double px, double py, double ux, double uy) {
    double best = -1;
    for (int k = 0; k < p.numWalls; ++k) {
        const Wall& w = p.walls[k];
        double wx = w.x2 - w.x1, wy = w.y2 - w.y1;
        double denom = wx * uy - wy * ux;
        if (std::fabs(denom) < 1e-12) continue;
        double qx = w.x1 - px, qy = w.y1 - py;
        double along = (qy * ux - qx * uy) / denom;  // position on the wall, 0..1
        double t = (qy * wx - qx * wy) / denom;      // metres along the ray
        if (along < 0 || along > 1 || t <= 0 || t > 80) continue;
        if (best < 0 || t < best) best = t;
    }
    return float(best);
}

double distanceToSegment(const Wall& w, double px, double py) {
    double wx = w.x2 - w.x1, wy = w.y2 - w.y1;
    double t = ((px - w.x1) * wx + (py - w.y1) * wy) / (wx * wx + wy * wy);
    t = std::fmax(0, std::fmin(1, t));
    return std::hypot(px - w.x1 - t * wx, py - w.y1 - t * wy);
}

TEST_F(FactoryBank, ListenerAndSourcesAreEnclosedByTheRoom) {
    const struct {
        const char* what;
        Slot x, y;
    } points[] = {
        {"listener", parEarsX, parEarsY},
        {"source 1", parSource1X, parSource1Y},
        {"source 2", parSource2X, parSource2Y},
    };
    for (int i = 0; i < kNumPrograms; ++i) {
        const KelvoranProgram& p = program(i);
        for (const auto& pt : points) {
            SCOPED_TRACE(std::string(p.name) + ", " + pt.what);
            double px = gridMetre(p.slot[pt.x]), py = gridMetre(p.slot[pt.y]);
            // an odd angle step, so no probe runs exactly through a grid corner
            for (int k = 0; k < 97; ++k) {
                double a = 2 * M_PI * (k + 0.37) / 97;
                ASSERT_GT(distanceToWall(p, px, py, std::sin(a), std::cos(a)), 0)
                    << "a ray leaves the room at angle " << a;
            }
            for (int k = 0; k < p.numWalls; ++k)
                ASSERT_GE(distanceToSegment(p.walls[k], px, py), 1.0) << "standing on wall " << k;
        }
        float ex = gridMetre(p.slot[parEarsX]), ey = gridMetre(p.slot[parEarsY]);
        for (Slot sx : {parSource1X, parSource2X})
            EXPECT_FALSE(gridMetre(p.slot[sx]) == ex && gridMetre(p.slot[Slot(sx + 1)]) == ey)
                << p.name << ": a source on the listener catches every ray at once";
    }
}

bool segmentsCross(double ax, double ay, double bx, double by, const Wall& w) {
    auto side = [](double px, double py, double qx, double qy, double rx, double ry) {
        return (qx - px) * (ry - py) - (qy - py) * (rx - px);
    };
    double d1 = side(w.x1, w.y1, w.x2, w.y2, ax, ay), d2 = side(w.x1, w.y1, w.x2, w.y2, bx, by);
    double d3 = side(ax, ay, bx, by, w.x1, w.y1), d4 = side(ax, ay, bx, by, w.x2, w.y2);
    return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0));
}

// The part of the plane a point can reach without crossing a wall, on a half-metre
// lattice whose points never lie on a wall or a corner. The lattice runs a metre past
// the grid on every side, so reaching its border means the room is open.
struct Region {
    static constexpr int kCells = 104;  // -1 .. 51 m in half metres
    std::vector<char> reached = std::vector<char>(kCells * kCells, 0);
    bool open = false;
    static double coord(int cell) { return -1 + 0.5 * cell + 0.25; }
    static int cellOf(double metres) { return int((metres + 1) * 2); }
    bool has(double x, double y) const { return reached[cellOf(y) * kCells + cellOf(x)]; }

    Region(const KelvoranProgram& p, double x, double y) {
        std::vector<int> todo = {cellOf(y) * kCells + cellOf(x)};
        reached[todo[0]] = 1;
        while (!todo.empty()) {
            int c = todo.back();
            todo.pop_back();
            int cx = c % kCells, cy = c / kCells;
            if (cx == 0 || cy == 0 || cx == kCells - 1 || cy == kCells - 1) open = true;
            const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& s : steps) {
                int nx = cx + s[0], ny = cy + s[1];
                if (nx < 0 || ny < 0 || nx >= kCells || ny >= kCells || reached[ny * kCells + nx]) continue;
                bool blocked = false;
                for (int k = 0; k < p.numWalls && !blocked; ++k)
                    blocked = segmentsCross(coord(cx), coord(cy), coord(nx), coord(ny), p.walls[k]);
                if (blocked) continue;
                reached[ny * kCells + nx] = 1;
                todo.push_back(ny * kCells + nx);
            }
        }
    }
};

// Sources and listener share one closed room: not outside it, not shut inside a pillar.
TEST_F(FactoryBank, SourcesAndListenerShareOneClosedRoom) {
    for (int i = 0; i < kNumPrograms; ++i) {
        const KelvoranProgram& p = program(i);
        SCOPED_TRACE(p.name);
        // a quarter metre off the grid point, as the lattice sees it
        Region room(p, gridMetre(p.slot[parEarsX]) + 0.25, gridMetre(p.slot[parEarsY]) + 0.25);
        EXPECT_FALSE(room.open);
        for (Slot sx : {parSource1X, parSource2X})
            EXPECT_TRUE(room.has(gridMetre(p.slot[sx]) + 0.25, gridMetre(p.slot[Slot(sx + 1)]) + 0.25))
                << "source behind closed walls";
    }
}

// No reflection may raise a ray's level: the most a scattered reflection can give back
// must stay within what the wall absorbs, or rays caught in a loop grow without end.
TEST_F(FactoryBank, NoReflectionRaisesARaysLevel) {
    auto engine = std::make_unique<ReverbEngine>();
    for (int i = 0; i < kNumPrograms; ++i) {
        engine->applyParameter(parameterOfSlot(parAbsorb), program(i).slot[parAbsorb]);
        engine->applyParameter(parameterOfSlot(parScatter), program(i).slot[parScatter]);
        float wall = engine->wallAbsorb;
        float scatter = engine->scatter;
        EXPECT_LE(wall * (1 + scatter / 2), 1.0f) << program(i).name;
    }
}

TEST(FactoryProgram, SetsEverySlotButTheDiffusionModulationOfEleven) {
    auto record = std::make_unique<KelvoranProgram>();
    for (int i = 0; i < kNumPrograms; ++i) {
        SCOPED_TRACE(i);
        for (float& s : record->slot) s = NAN;
        record->numWalls = 0;
        ASSERT_TRUE(fillFactoryProgram(*record, i));
        for (int s = 0; s < kNumSlots; ++s)
            EXPECT_EQ(std::isnan(record->slot[s]), s == parDiffMod && keepsDiffMod(i)) << "slot " << s;
    }
}

TEST(FactoryProgram, RestoreKeepsAUserDiffusionModulationWhereTheFactoryLeavesIt) {
    auto record = std::make_unique<KelvoranProgram>();
    for (int i : {12, 37, 85}) {
        initProgram(*record);
        record->slot[parDiffMod] = 0.77f;
        fillFactoryProgram(*record, i);
        EXPECT_EQ(record->slot[parDiffMod], 0.77f) << i;
    }
    fillFactoryProgram(*record, 58);
    EXPECT_EQ(record->slot[parDiffMod], 0.58f);
}

TEST(FactoryProgram, RestoringAnEditedRoomGivesBackItsFactoryWalls) {
    auto bank = std::make_unique<BankImage>();
    fillFactoryBank(*bank);
    const KelvoranProgram fresh = bank->programs[5];
    KelvoranProgram& p = bank->programs[5];
    bank->header.preferenceFlags = prefCircularKnobs | prefKeepDry;

    // the user drags a corner, drops a wall and renames the program
    p.walls[0].x1 = 3;
    p.walls[0].dragMark = 1;
    p.numWalls = 13;
    std::strcpy(p.name, "My studio");
    p.slot[parGain] = 0.9f;

    ASSERT_TRUE(fillFactoryProgram(p, 5));
    ASSERT_EQ(p.numWalls, 14);
    EXPECT_EQ(std::memcmp(p.walls, fresh.walls, 14 * sizeof(Wall)), 0);
    EXPECT_STREQ(p.name, "Chamber: Boomy studio");
    EXPECT_EQ(std::memcmp(&p, &fresh, sizeof p), 0);
    // only the program is restored: the editor preferences stay as the user set them
    EXPECT_EQ(bank->header.preferenceFlags, prefCircularKnobs | prefKeepDry);
}

TEST(FactoryProgram, AnIndexOutsideTheBankChangesNothing) {
    auto record = std::make_unique<KelvoranProgram>();
    initProgram(*record);
    AddWall(*record, 1, 2, 3, 4);
    const KelvoranProgram before = *record;
    for (int index : {-1, kNumPrograms, 1000}) {
        EXPECT_FALSE(fillFactoryProgram(*record, index));
        EXPECT_EQ(std::memcmp(record.get(), &before, sizeof before), 0) << index;
    }
}

TEST(Categories, RunThroughTheBankInMenuOrder) {
    const struct {
        const char* title;
        int count;
    } expected[kNumCategories] = {
        {"Cathedrals:", 5}, {"Chambers:", 10}, {"Concerts:", 11}, {"Drums:", 11},
        {"FX:", 11}, {"Pads & Plates:", 9}, {"Production:", 19}, {"Vocals:", 14},
    };
    for (int k = 0; k < kNumCategories; ++k) {
        EXPECT_STREQ(kCategories[k].menuTitle, expected[k].title);
        EXPECT_EQ(kCategories[k].count, expected[k].count);
    }
    // item 0 of the eighth category is program 76
    EXPECT_EQ(kCategories[7].first, 76);
    const struct {
        int program, category;
    } cases[] = {{0, 0}, {4, 0}, {5, 1}, {25, 2}, {26, 3}, {47, 4}, {48, 5}, {75, 6}, {76, 7},
                 {89, 7}, {-1, -1}, {90, -1}};
    for (const auto& c : cases) EXPECT_EQ(categoryOfProgram(c.program), c.category) << c.program;
}

}  // namespace
}  // namespace kelvoran
