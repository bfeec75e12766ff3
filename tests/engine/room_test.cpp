#include <gtest/gtest.h>

#include "engine/undo.h"
#include "tests/engine/fixture.h"

using namespace kelvoran;
using namespace kelvoran::test;

namespace {
std::array<int, 4> ends(const Wall& w) { return {int(w.x1), int(w.y1), int(w.x2), int(w.y2)}; }
}  // namespace

TEST(Room, PickWallNearTheLineWithinTheBounds) {
    auto e = makeEngine();
    e->appendWall(0, 5, 20, 5);
    e->appendWall(30, 30, 40, 40);
    e->appendWall(45, 45, 45, 45);  // zero length: never picked
    struct { int x, y, wall; } cases[] = {
        {10, 5, 0}, {10, 6, -1}, {21, 5, -1}, {0, 5, 0}, {20, 5, 0},
        {35, 35, 1}, {35, 34, -1}, {41, 41, -1}, {45, 45, -1},
    };
    for (auto c : cases) EXPECT_EQ(e->pickWall(c.x, c.y), c.wall) << c.x << "," << c.y;
}

TEST(Room, AppendAndRemoveKeepProgramInStep) {
    auto e = makeEngine();
    e->appendWall(1, 2, 3, 4);
    e->appendWall(5, 6, 7, 8);
    e->appendWall(9, 10, 11, 12);
    e->program().walls[3].dragMark = 2;
    e->appendWall(13, 14, 15, 16);
    EXPECT_EQ(e->program().walls[3].dragMark, 2) << "the program's mark byte is kept";
    EXPECT_EQ(e->walls[3].dragMark, 0);
    e->removeWall(1);
    ASSERT_EQ(e->numWalls, 3);
    ASSERT_EQ(e->program().numWalls, 3);
    EXPECT_EQ(ends(e->walls[1]), (std::array<int, 4>{9, 10, 11, 12}));
    EXPECT_EQ(ends(e->program().walls[2]), (std::array<int, 4>{13, 14, 15, 16}));
    e->removeWall(7);  // out of range: nothing
    EXPECT_EQ(e->numWalls, 3);
}

TEST(Room, RemoveWallAtSkipsTheWallMovedIntoTheEmptiedSlot) {
    auto e = makeEngine();
    for (auto w : {std::array{0, 0, 1, 1}, {2, 2, 3, 3}, {5, 5, 6, 6}, {5, 5, 6, 6}, {7, 7, 8, 8}})
        e->appendWall(w[0], w[1], w[2], w[3]);
    EXPECT_TRUE(e->removeWallAt(5, 5, 6, 6));
    ASSERT_EQ(e->numWalls, 4);
    EXPECT_EQ(ends(e->walls[2]), (std::array<int, 4>{5, 5, 6, 6}));
    EXPECT_FALSE(e->removeWallAt(9, 9, 9, 9));
}

TEST(Room, DragMovesEveryEndAtTheCorner) {
    auto e = makeEngine();
    e->appendWall(10, 10, 20, 10);
    e->appendWall(20, 20, 10, 10);
    e->appendWall(10, 10, 10, 30);
    e->appendWall(10, 10, 10, 10);  // both ends at the corner: only the second end follows
    e->appendWall(40, 40, 45, 45);
    EXPECT_TRUE(e->moveWallEnds(10, 10, 10, 10, true));
    EXPECT_EQ(e->walls[0].dragMark, 1);
    EXPECT_EQ(e->walls[1].dragMark, 2);
    EXPECT_EQ(e->walls[3].dragMark, 2);
    EXPECT_EQ(e->walls[4].dragMark, 0);
    EXPECT_TRUE(e->moveWallEnds(10, 10, 12, 11, false));
    EXPECT_EQ(ends(e->walls[0]), (std::array<int, 4>{12, 11, 20, 10}));
    EXPECT_EQ(ends(e->walls[1]), (std::array<int, 4>{20, 20, 12, 11}));
    EXPECT_EQ(ends(e->walls[2]), (std::array<int, 4>{12, 11, 10, 30}));
    EXPECT_EQ(ends(e->walls[3]), (std::array<int, 4>{10, 10, 12, 11}));
    EXPECT_EQ(ends(e->program().walls[0]), (std::array<int, 4>{10, 10, 20, 10}))
        << "the program follows only when the drag ends";
    EXPECT_EQ(e->findMarkedWall(12, 11), 0);
    EXPECT_EQ(e->findMarkedWall(40, 40), -1);
    EXPECT_FALSE(e->moveWallEnds(1, 1, 2, 2, false));
}

TEST(Room, UndoRestoresClearedRoomsAndPositions) {
    auto e = makeEngine();
    UndoRing ring;
    ring.addWallUndoable(*e, 0, 0, 10, 0, false);
    ring.addWallUndoable(*e, 10, 0, 10, 10, false);
    ring.addWallUndoable(*e, 10, 10, 0, 0, false);
    ring.clearRoomUndoable(*e);
    EXPECT_EQ(e->numWalls, 0);
    ring.undo(*e);
    ASSERT_EQ(e->numWalls, 3);
    EXPECT_EQ(ends(e->walls[0]), (std::array<int, 4>{0, 0, 10, 0}));
    EXPECT_EQ(ends(e->walls[2]), (std::array<int, 4>{10, 10, 0, 0}));
    ring.undo(*e);
    EXPECT_EQ(e->numWalls, 2) << "the newest addition goes";
    ring.push(UndoEntry{7, 8, 0, 0, undoListenerMoved, 0});
    e->earsX = 30;
    ring.undo(*e);
    EXPECT_EQ(e->earsX, 7);
    EXPECT_EQ(e->earsY, 8);
    ring.undo(*e);
    ring.undo(*e);
    ring.undo(*e);  // nothing left: no change, no crash
    EXPECT_EQ(e->numWalls, 0);
}

TEST(Room, TheRingDropsTheOldestAndARoomBeyondFullIsRefused) {
    auto e = makeEngine();
    UndoRing ring;
    for (int i = 0; i < kMaxWalls; ++i) ASSERT_TRUE(ring.addWallUndoable(*e, i % 50, 0, i % 50, 5, false));
    int head = ring.undoHead;
    EXPECT_FALSE(ring.addWallUndoable(*e, 1, 1, 2, 2, false));
    EXPECT_EQ(ring.undoHead, head) << "no undo entry for a refused wall";
    EXPECT_EQ(e->numWalls, kMaxWalls);
    for (int i = 0; i < 3000; ++i) ring.push(UndoEntry{1, 1, 0, 0, undoSource1Moved, 0});
    int undone = 0;
    for (int i = 0; i < 3000; ++i) {
        int before = ring.undoHead;
        ring.undo(*e);
        if (ring.undoHead == before) break;
        ++undone;
    }
    EXPECT_EQ(undone, 2042);
}
