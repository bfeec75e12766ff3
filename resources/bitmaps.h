// The editor's bitmaps by resource id: one row per id with its size and
// frame layout, and the embedded PNG images the artwork program made.
#pragma once

#include <cstddef>

struct BitmapInfo {
    int id;
    int width;
    int height;
    int frames;          // sub-images stacked from top to bottom
    const char* use;
};

// Height of one sub-image: truncating division, as the controls compute it.
inline int frameHeight(const BitmapInfo& info) { return info.height / info.frames; }

extern const BitmapInfo kBitmapTable[];
extern const int kBitmapCount;

// Null for an unknown id.
const BitmapInfo* findBitmapInfo(int id);

struct EmbeddedPng {
    int id;
    const unsigned char* data;
    size_t size;
};

// The PNG bytes of an id; data is null for an unknown id.
EmbeddedPng findBitmapPng(int id);

enum BitmapId {
    kBmpDiffusionKnob = 160,
    kBmpJogDial = 161,
    kBmpMainKnob = 162,
    kBmpHeadRotary = 163,
    kBmpRayCountKnob = 164,
    kBmpEqKnob = 165,
    kBmpSliderHandle = 166,
    kBmpStereoButton = 103,
    kBmpReverseButton = 104,
    kBmpUndoButton = 105,
    kBmpClearButton = 106,
    kBmpManualButton = 107,
    kBmpImpulseBack = 108,
    kBmpMeterBack = 115,
    kBmpPanWedgeRight = 120,
    kBmpPanWedgeLeft = 121,
    kBmpViewToggle = 125,
    kBmpEqViewButton = 126,
    kBmpLineTool = 127,
    kBmpBoxTool = 128,
    kBmpMarkers = 129,
    kBmpOutputCount = 130,
    kBmpSliderBack = 131,
    kBmpEditTool = 135,
    kBmpMirrorTool = 136,
    kBmpBandNumbers = 137,
    kBmpExportButton = 139,
    kBmpSpeaker1 = 140,
    kBmpSpeaker2 = 141,
    kBmpSpeaker3 = 142,
    kBmpSpeaker4 = 143,
    kBmpSpeaker5 = 144,
    kBmpPanCentre = 146,
    kBmpPanel = 152,
    kBmpPrevPreset = 153,
    kBmpNextPreset = 154,
    kBmpExportPage = 156,
    kBmpOptionsPage = 157,
    kBmpOptionsButton = 159,
    kBmpLevelCentre = 167,
    kBmpLevelSurroundRight = 172,
    kBmpLevelLeft = 173,
    kBmpLevelRight = 174,
    kBmpLevelSurroundLeft = 175,
    kBmp3DBack = 176,
    kBmpRoomGrid = 177,
    kBmpEqBack = 178,
};
