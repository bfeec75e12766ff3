#include "resources/bitmaps.h"

// Written by the artwork program at build time.
extern const EmbeddedPng kEmbeddedPngs[];
extern const int kEmbeddedPngCount;

EmbeddedPng findBitmapPng(int id) {
    for (int i = 0; i < kEmbeddedPngCount; ++i)
        if (kEmbeddedPngs[i].id == id) return kEmbeddedPngs[i];
    return EmbeddedPng{id, nullptr, 0};
}
