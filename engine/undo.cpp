#include "engine/undo.h"

#include "engine/engine.h"

namespace kelvoran {

void UndoRing::clearUndo() {
    undoHead = 0;
    undoTail = 0;
    undoEntries[0] = UndoEntry{0, 0, 0, 0, undoNothing, 0};
    undoHead = 1;
}

void UndoRing::push(UndoEntry e) {
    undoEntries[undoHead] = e;
    undoHead = (undoHead + 1) & (kSize - 1);
    if (((undoHead + 4) & (kSize - 1)) == undoTail) undoTail = (undoTail + 1) & (kSize - 1);
}

namespace {
UndoEntry wallEntry(const Wall& w, UndoKind kind, bool joined) {
    return UndoEntry{int8_t(w.x1), int8_t(w.y1), int8_t(w.x2), int8_t(w.y2), kind,
                     uint8_t(joined ? 1 : 0)};
}
}  // namespace

bool UndoRing::addWallUndoable(ReverbEngine& e, int x1, int y1, int x2, int y2, bool joined) {
    if (!e.appendWall(x1, y1, x2, y2)) return false;
    push(UndoEntry{int8_t(x1), int8_t(y1), int8_t(x2), int8_t(y2), undoWallAdded,
                   uint8_t(joined ? 1 : 0)});
    return true;
}

void UndoRing::removeWallUndoable(ReverbEngine& e, int index, bool joined) {
    if (index < 0 || index >= e.numWalls) return;
    UndoEntry entry = wallEntry(e.walls[index], undoWallRemoved, joined);
    e.removeWall(index);
    push(entry);
}

void UndoRing::clearRoomUndoable(ReverbEngine& e) {
    for (int n = e.numWalls, i = 0; i < n; ++i) removeWallUndoable(e, e.numWalls - 1, i > 0);
}

void UndoRing::undo(ReverbEngine& e) {
    for (;;) {
        undoHead = (undoHead - 1) & (kSize - 1);
        if (undoHead == undoTail) {
            undoHead = (undoHead + 1) & (kSize - 1);
            return;
        }
        const UndoEntry& u = undoEntries[undoHead];
        switch (u.kind) {
            case undoListenerMoved: e.earsX = u.x1, e.earsY = u.y1; break;
            case undoSource1Moved: e.source1X = u.x1, e.source1Y = u.y1; break;
            case undoSource2Moved: e.source2X = u.x1, e.source2Y = u.y1; break;
            case undoWallAdded:
                e.removeWallAt(u.x1, u.y1, u.x2, u.y2);
                e.viewDirty = 1;
                break;
            case undoWallRemoved:
                e.appendWall(u.x1, u.y1, u.x2, u.y2);
                e.viewDirty = 1;
                break;
            default: break;
        }
        if (!u.joined) return;
    }
}

}  // namespace kelvoran
