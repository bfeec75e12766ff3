#include "resources/bitmaps.h"

const BitmapInfo kBitmapTable[] = {
    // knob strips, 64 frames each
    {162, 42, 2405, 64, "main knobs"},
    {164, 44, 2470, 64, "ray-count knob"},
    {163, 44, 2752, 64, "head-angle rotary"},
    {160, 34, 2015, 64, "diffusion knobs"},
    {165, 22, 1300, 64, "EQ knobs"},
    {161, 70, 960, 64, "ray jog dial"},
    // two-state and multi-state buttons
    {103, 58, 32, 2, "Stereo"},
    {104, 58, 32, 2, "Reverse"},
    {130, 56, 96, 6, "output count 2 / 4 / 5, normal and pressed"},
    {127, 44, 32, 2, "Line tool"},
    {128, 44, 32, 2, "Box tool"},
    {135, 44, 32, 2, "Edit tool"},
    {136, 44, 32, 2, "Mirror"},
    {105, 44, 32, 2, "Undo"},
    {106, 44, 32, 2, "Clear"},
    {125, 88, 64, 4, "view toggle: 3-D view, editor view, normal and pressed"},
    {107, 52, 32, 2, "Manual"},
    {159, 44, 32, 2, "Options"},
    {126, 32, 32, 2, "EQ View"},
    {131, 140, 18, 1, "pitch-bend slider background"},
    {166, 10, 18, 1, "pitch-bend slider handle"},
    {139, 32, 64, 2, "Export impulse"},
    {153, 20, 32, 2, "previous preset"},
    {154, 20, 32, 2, "next preset"},
    // the editor's lifetime bitmaps
    {152, 704, 560, 1, "panel background"},
    {129, 16, 64, 4, "markers: listener, left, right, mono source"},
    {172, 47, 47, 1, "level wedge surround right"},
    {173, 47, 47, 1, "level wedge left"},
    {174, 47, 47, 1, "level wedge right"},
    {175, 47, 47, 1, "level wedge surround left"},
    {120, 46, 46, 1, "panner wedge right and surround left"},
    {121, 46, 46, 1, "panner wedge left and surround right"},
    {167, 17, 43, 1, "centre level bar"},
    {146, 18, 40, 1, "centre panner bar"},
    {177, 408, 408, 1, "room editor grid"},
    {176, 408, 408, 1, "3-D view background"},
    {178, 408, 408, 1, "EQ view background"},
    {115, 100, 100, 1, "meter background"},
    {108, 200, 160, 2, "impulse backgrounds: volume, filter"},
    {156, 408, 408, 1, "export page"},
    {157, 408, 408, 1, "options page"},
    {137, 9, 40, 4, "EQ band numbers 1 to 4"},
    {140, 12, 12, 1, "speaker 1"},
    {141, 12, 12, 1, "speaker 2"},
    {142, 12, 12, 1, "speaker 3"},
    {143, 12, 12, 1, "speaker 4"},
    {144, 22, 8, 1, "speaker 5"},
};

const int kBitmapCount = sizeof(kBitmapTable) / sizeof(kBitmapTable[0]);

const BitmapInfo* findBitmapInfo(int id) {
    for (const BitmapInfo& info : kBitmapTable)
        if (info.id == id) return &info;
    return nullptr;
}
