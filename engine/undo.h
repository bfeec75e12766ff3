// The room editor's undo ring of wall and position edits.
#pragma once
#include <cstdint>

namespace kelvoran {

struct ReverbEngine;

enum UndoKind : uint8_t {
    undoNothing = 0,
    undoListenerMoved = 1,
    undoSource1Moved = 2,
    undoSource2Moved = 3,
    undoWallAdded = 4,
    undoWallRemoved = 5,
};

struct UndoEntry {
    int8_t x1, y1, x2, y2;
    uint8_t kind;
    uint8_t joined;  // undone together with the entry before it
};
static_assert(sizeof(UndoEntry) == 6);

struct UndoRing {
    static constexpr int kSize = 2048;
    UndoEntry undoEntries[kSize];
    int32_t undoHead = 0;
    int32_t undoTail = 0;

    UndoRing() { clearUndo(); }
    void clearUndo();
    void push(UndoEntry e);
    // false (and no entry) when the room is full
    bool addWallUndoable(ReverbEngine& e, int x1, int y1, int x2, int y2, bool joined);
    void removeWallUndoable(ReverbEngine& e, int index, bool joined);
    void clearRoomUndoable(ReverbEngine& e);
    void undo(ReverbEngine& e);
};

}  // namespace kelvoran
