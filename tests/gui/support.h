// Shared pieces of the toolkit tests: a headless frame, a listener that
// records what it hears, an editor that records host gestures, and pixels.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/vstgui.h"

struct Heard {
    long tag;
    float value;
    CControl* control;
};

struct RecordingListener : CControlListener {
    std::vector<Heard> heard;
    void valueChanged(CControl* c) override { heard.push_back({c->getTag(), c->getValue(), c}); }
};

struct RecordingEditor : VSTGUIEditorInterface {
    std::vector<std::string> gestures;
    void setMode(long mode) { knobMode = mode; }
    void beginEdit(long index) override { gestures.push_back("begin " + std::to_string(index)); }
    void endEdit(long index) override { gestures.push_back("end " + std::to_string(index)); }
};

class HeadlessFrame : public ::testing::Test {
protected:
    void SetUp() override { frame = new CFrame(CRect(0, 0, 704, 560), nullptr, &editor); }
    void TearDown() override { frame->forget(); }

    template <class V>
    V* add(V* view) {
        frame->addView(view);
        return view;
    }
    void press(long x, long y, long buttons = kLButton) {
        CPoint p(x, y);
        frame->onMouseDown(p, buttons);
    }
    void move(long x, long y, long buttons = kLButton) {
        CPoint p(x, y);
        frame->onMouseMoved(p, buttons);
    }
    void release(long x, long y, long buttons = 0) {
        CPoint p(x, y);
        frame->onMouseUp(p, buttons);
    }
    void key(int character, unsigned char virt = 0) {
        CKeyCode k;
        k.character = character;
        k.virt = virt;
        frame->onKeyDown(k);
    }
    void type(const std::string& text) {
        for (char c : text) key(c);
    }

    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame = nullptr;
};

// 0x00RRGGBB of an RGB24 or ARGB32 image pixel.
inline uint32_t pixelAt(cairo_surface_t* image, long x, long y) {
    cairo_surface_flush(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    return reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF;
}

// Pixels of rect in the frame image that differ from the bitmap's part at
// source, drawn over black.
inline long differingPixels(cairo_surface_t* frameImage, const CRect& rect, long bitmapId, CPoint source) {
    CBitmap bitmap(bitmapId);
    cairo_surface_t* expected = cairo_image_surface_create(CAIRO_FORMAT_RGB24, rect.width(), rect.height());
    CDrawContext* c = new CDrawContext(expected);
    c->setFillColor(kBlackCColor);
    c->drawRect(CRect(0, 0, rect.width(), rect.height()), kDrawFilled);
    bitmap.draw(c, CRect(0, 0, rect.width(), rect.height()), source);
    c->forget();
    long differing = 0;
    for (long y = 0; y < rect.height(); ++y)
        for (long x = 0; x < rect.width(); ++x)
            if (pixelAt(expected, x, y) != pixelAt(frameImage, rect.left + x, rect.top + y)) ++differing;
    cairo_surface_destroy(expected);
    return differing;
}
