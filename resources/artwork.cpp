// Draws every editor bitmap at its size and frame layout, writes each as
// PNG into a folder and all of them as byte arrays into one C++ source.
//   kelvoran_artwork PNG_FOLDER OUTPUT.cpp
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/bitmaps.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};
constexpr Rgb rgb(int r, int g, int b) { return Rgb{r / 255.0, g / 255.0, b / 255.0}; }

// One palette for every image.
const Rgb kPanelTop = rgb(54, 61, 70);
const Rgb kPanelBottom = rgb(36, 41, 48);
const Rgb kSectionFill = rgb(44, 50, 58);
const Rgb kSectionEdge = rgb(74, 84, 97);
const Rgb kDisplay = rgb(88, 105, 125);
const Rgb kLabel = rgb(196, 203, 212);
const Rgb kTitle = rgb(132, 186, 232);
const Rgb kAccent = rgb(96, 176, 240);
const Rgb kAmber = rgb(255, 184, 72);
const Rgb kScreen = rgb(20, 25, 32);
const Rgb kGridMinor = rgb(38, 47, 58);
const Rgb kGridMajor = rgb(58, 72, 88);
const Rgb kGridTen = rgb(78, 96, 116);

void source(cairo_t* cr, Rgb c, double a = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

Rgb mix(Rgb a, Rgb b, double t) { return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

void roundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void verticalGradient(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

enum Align { kLeftAlign, kCentre, kRightAlign };

void text(cairo_t* cr, const char* s, double x, double y, double w, double h, double size, bool bold, Rgb c,
          Align align = kCentre, double alpha = 1.0) {
    cairo_save(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t te;
    cairo_text_extents(cr, s, &te);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    double tx = x;
    if (align == kCentre) tx = x + (w - te.x_advance) / 2;
    else if (align == kRightAlign) tx = x + w - te.x_advance;
    const double ty = y + (h + fe.ascent - fe.descent) / 2;
    source(cr, c, alpha);
    cairo_move_to(cr, std::round(tx), std::round(ty));
    cairo_show_text(cr, s);
    cairo_restore(cr);
}

// A recessed area: dark edge above and left, light edge below and right.
void recess(cairo_t* cr, double x, double y, double w, double h, Rgb fill) {
    source(cr, fill);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    source(cr, rgb(14, 16, 20));
    cairo_move_to(cr, x - 0.5, y + h);
    cairo_line_to(cr, x - 0.5, y - 0.5);
    cairo_line_to(cr, x + w, y - 0.5);
    cairo_stroke(cr);
    source(cr, rgb(96, 106, 120));
    cairo_move_to(cr, x + w + 0.5, y);
    cairo_line_to(cr, x + w + 0.5, y + h + 0.5);
    cairo_line_to(cr, x, y + h + 0.5);
    cairo_stroke(cr);
}

// ---- knobs -------------------------------------------------------------------

struct KnobLook {
    Rgb accent;
    bool arc;         // value arc on a 270-degree track
    bool fullTurn;    // pointer goes once round, starting at the bottom
};

void knobFace(cairo_t* cr, double cx, double cy, double r, double pointer, const KnobLook& look, double t) {
    // drop shadow
    cairo_arc(cr, cx + 0.8, cy + 1.5, r, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_fill(cr);
    const double trackR = r, bodyR = look.arc ? r * 0.72 : r * 0.86;
    if (look.arc) {
        const double a0 = 0.75 * kPi, a1 = 2.25 * kPi;
        cairo_set_line_width(cr, std::max(1.5, r * 0.16));
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        source(cr, rgb(24, 28, 34));
        cairo_arc(cr, cx, cy, trackR - r * 0.1, a0, a1);
        cairo_stroke(cr);
        if (t > 0.002) {
            source(cr, look.accent);
            cairo_arc(cr, cx, cy, trackR - r * 0.1, a0, a0 + (a1 - a0) * t);
            cairo_stroke(cr);
        }
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    } else {
        // 32 ticks round the edge for the stepped rotary
        cairo_set_line_width(cr, 1);
        for (int i = 0; i < 32; ++i) {
            const double a = kPi / 2 + 2 * kPi * i / 32.0;
            const double in = r * ((i % 8 == 0) ? 0.80 : 0.90);
            source(cr, i % 8 == 0 ? look.accent : rgb(120, 132, 146), 0.9);
            cairo_move_to(cr, cx + std::cos(a) * in, cy + std::sin(a) * in);
            cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
            cairo_stroke(cr);
        }
    }
    // body: brushed metal cap
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - bodyR * 0.35, cy - bodyR * 0.45, bodyR * 0.1, cx, cy, bodyR);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.50, 0.54, 0.60);
    cairo_pattern_add_color_stop_rgb(p, 0.7, 0.25, 0.28, 0.32);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.14, 0.16, 0.19);
    cairo_arc(cr, cx, cy, bodyR, 0, 2 * kPi);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1);
    source(cr, rgb(10, 12, 15));
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, bodyR - 1.2, kPi * 1.1, kPi * 1.9);
    source(cr, rgb(170, 178, 190), 0.35);
    cairo_stroke(cr);
    // pointer
    const double px = std::cos(pointer), py = std::sin(pointer);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, std::max(1.5, r * 0.13));
    source(cr, rgb(245, 247, 250));
    cairo_move_to(cr, cx + px * bodyR * 0.25, cy + py * bodyR * 0.25);
    cairo_line_to(cr, cx + px * bodyR * 0.88, cy + py * bodyR * 0.88);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void knobStrip(cairo_t* cr, const BitmapInfo& info, const KnobLook& look) {
    const int fh = frameHeight(info);
    for (int k = 0; k < info.frames; ++k) {
        const double t = k / (double)(info.frames - 1);
        const double cx = info.width / 2.0, cy = k * fh + fh / 2.0;
        const double r = std::min(info.width, fh) / 2.0 - 1.5;
        // Screen angles, y down: 0.75 pi is lower left, clockwise to 2.25 pi.
        const double pointer = look.fullTurn ? kPi / 2 + 2 * kPi * t : 0.75 * kPi + 1.5 * kPi * t;
        knobFace(cr, cx, cy, r, pointer, look, t);
    }
}

void jogStrip(cairo_t* cr, const BitmapInfo& info) {
    const int fh = frameHeight(info);
    const int ridges = 24;
    for (int k = 0; k < info.frames; ++k) {
        const double y = k * fh, w = info.width;
        roundRect(cr, 0.5, y + 0.5, w - 1, fh - 1, 3);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.08, 0.09, 0.11);
        cairo_pattern_add_color_stop_rgb(p, 0.5, 0.36, 0.40, 0.46);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.09, 0.11);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        source(cr, rgb(10, 12, 14));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        // Ridges on a turning cylinder; four ridge spacings per cycle so the
        // last image meets the first.
        const double phase = (k / 63.0) * 4.0 * (2 * kPi / ridges);
        const double cx = w / 2, R = w / 2 - 3;
        for (int i = 0; i < ridges; ++i) {
            const double a = 2 * kPi * i / ridges + phase;
            if (std::cos(a) <= 0.05) continue;
            const double x = cx + R * std::sin(a);
            const double light = std::cos(a);
            cairo_set_line_width(cr, 1.0 + light);
            source(cr, rgb(12, 14, 17), 0.85);
            cairo_move_to(cr, x, y + 3);
            cairo_line_to(cr, x, y + fh - 3);
            cairo_stroke(cr);
            cairo_set_line_width(cr, 1);
            source(cr, rgb(200, 210, 224), 0.45 * light);
            cairo_move_to(cr, x + 1.2, y + 3);
            cairo_line_to(cr, x + 1.2, y + fh - 3);
            cairo_stroke(cr);
        }
        // accent groove along the middle
        source(cr, kAccent, 0.55);
        cairo_rectangle(cr, 3, y + fh / 2.0 - 0.5, w - 6, 1);
        cairo_fill(cr);
    }
}

// ---- buttons -----------------------------------------------------------------

enum ButtonKind { kToggle, kPush };

// One 2-state image pair or one image of a multi-state strip.
void buttonFace(cairo_t* cr, double x, double y, double w, double h, const char* label, bool lit, bool pressed,
                ButtonKind kind, double fontSize) {
    roundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 2.5);
    verticalGradient(cr, x, y, w, h, pressed ? rgb(40, 46, 54) : rgb(92, 102, 116),
                     pressed ? rgb(58, 66, 76) : rgb(52, 58, 67));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    source(cr, rgb(14, 16, 20));
    cairo_stroke(cr);
    if (!pressed) {
        source(cr, rgb(150, 160, 174), 0.5);
        cairo_move_to(cr, x + 3, y + 1.5);
        cairo_line_to(cr, x + w - 3, y + 1.5);
        cairo_stroke(cr);
    }
    double textX = x, textW = w;
    if (kind == kToggle && w >= 30) {
        // LED on the left
        const double lx = x + 6, ly = y + h / 2;
        cairo_arc(cr, lx, ly, 2.4, 0, 2 * kPi);
        source(cr, lit ? kAmber : rgb(70, 56, 38));
        cairo_fill(cr);
        if (lit) {
            cairo_pattern_t* glow = cairo_pattern_create_radial(lx, ly, 0, lx, ly, 6);
            cairo_pattern_add_color_stop_rgba(glow, 0, 1, 0.75, 0.3, 0.55);
            cairo_pattern_add_color_stop_rgba(glow, 1, 1, 0.75, 0.3, 0);
            cairo_set_source(cr, glow);
            cairo_arc(cr, lx, ly, 6, 0, 2 * kPi);
            cairo_fill(cr);
            cairo_pattern_destroy(glow);
        }
        textX = x + 9;
        textW = w - 10;
    }
    const double shift = pressed ? 1 : 0;
    const Rgb ink = (kind == kToggle && lit) ? rgb(255, 236, 200) : rgb(226, 230, 236);
    text(cr, label, textX + shift, y + shift, textW, h, fontSize, true, ink);
}

void togglePair(cairo_t* cr, const BitmapInfo& info, const char* label, double fontSize = 8) {
    const int fh = frameHeight(info);
    buttonFace(cr, 0, 0, info.width, fh, label, false, false, kToggle, fontSize);
    buttonFace(cr, 0, fh, info.width, fh, label, true, true, kToggle, fontSize);
}

void pushPair(cairo_t* cr, const BitmapInfo& info, const char* label, double fontSize = 8) {
    const int fh = frameHeight(info);
    buttonFace(cr, 0, 0, info.width, fh, label, false, false, kPush, fontSize);
    buttonFace(cr, 0, fh, info.width, fh, label, false, true, kPush, fontSize);
}

void stateStrip(cairo_t* cr, const BitmapInfo& info, const std::vector<const char*>& labels) {
    const int fh = frameHeight(info);
    for (size_t s = 0; s < labels.size(); ++s) {
        buttonFace(cr, 0, 2 * s * fh, info.width, fh, labels[s], false, false, kPush, 8);
        buttonFace(cr, 0, (2 * s + 1) * fh, info.width, fh, labels[s], false, true, kPush, 8);
    }
}

void arrowPair(cairo_t* cr, const BitmapInfo& info, bool next) {
    const int fh = frameHeight(info);
    for (int f = 0; f < 2; ++f) {
        buttonFace(cr, 0, f * fh, info.width, fh, "", false, f == 1, kPush, 8);
        const double cx = info.width / 2.0 + f, cy = f * fh + fh / 2.0 + f, s = next ? 1 : -1;
        cairo_move_to(cr, cx - 3 * s, cy - 4);
        cairo_line_to(cr, cx + 3 * s, cy);
        cairo_line_to(cr, cx - 3 * s, cy + 4);
        cairo_close_path(cr);
        source(cr, rgb(226, 230, 236));
        cairo_fill(cr);
    }
}

void exportButton(cairo_t* cr, const BitmapInfo& info) {
    const int fh = frameHeight(info);
    for (int f = 0; f < 2; ++f) {
        const double y = f * fh;
        buttonFace(cr, 0, y, info.width, fh, "", f == 1, f == 1, kPush, 8);
        // a decaying impulse with an arrow out of it
        cairo_set_line_width(cr, 1.2);
        source(cr, f ? kAmber : kAccent);
        for (int i = 0; i < 6; ++i) {
            const double x = 6.5 + i * 3, top = y + 8 + i * 1.8;
            cairo_move_to(cr, x, y + 19);
            cairo_line_to(cr, x, top);
        }
        cairo_stroke(cr);
        text(cr, "I.R.", 0, y + 20, info.width, 10, 7.5, true, f ? rgb(255, 236, 200) : rgb(226, 230, 236));
    }
}

void sliderBack(cairo_t* cr, const BitmapInfo& info) {
    recess(cr, 1, 1, info.width - 2, info.height - 2, rgb(30, 35, 41));
    source(cr, rgb(12, 14, 17));
    roundRect(cr, 5, info.height / 2.0 - 2, info.width - 10, 4, 2);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    for (int i = 0; i <= 10; ++i) {
        const double x = 5.5 + i * (info.width - 11) / 10.0;
        source(cr, i == 0 || i == 10 || i == 5 ? rgb(140, 150, 164) : rgb(84, 94, 108));
        cairo_move_to(cr, x, 2.5);
        cairo_line_to(cr, x, i % 5 == 0 ? 6.5 : 5);
        cairo_move_to(cr, x, info.height - 2.5);
        cairo_line_to(cr, x, info.height - (i % 5 == 0 ? 6.5 : 5));
        cairo_stroke(cr);
    }
}

void sliderHandle(cairo_t* cr, const BitmapInfo& info) {
    roundRect(cr, 0.5, 0.5, info.width - 1, info.height - 1, 2);
    verticalGradient(cr, 0, 0, info.width, info.height, rgb(200, 206, 214), rgb(96, 104, 116));
    cairo_fill_preserve(cr);
    source(cr, rgb(16, 18, 22));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    source(cr, kAccent);
    cairo_rectangle(cr, info.width / 2.0 - 1, 3, 2, info.height - 6);
    cairo_fill(cr);
}

// ---- markers, numbers, meter pieces ------------------------------------------

void markers(cairo_t* cr) {
    const Rgb colours[4] = {rgb(210, 210, 210), rgb(255, 150, 150), rgb(150, 255, 150), rgb(255, 150, 255)};
    const char* letters[4] = {"", "L", "R", "M"};
    for (int k = 0; k < 4; ++k) {
        const double cx = 8, cy = 16 * k + 8;
        cairo_arc(cr, cx, cy, 6.5, 0, 2 * kPi);
        source(cr, rgb(0, 0, 0), 0.55);
        cairo_fill(cr);
        cairo_arc(cr, cx, cy, 5.5, 0, 2 * kPi);
        source(cr, mix(colours[k], rgb(0, 0, 0), 0.25));
        cairo_fill_preserve(cr);
        source(cr, colours[k]);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        if (k == 0) {
            // the listener: a head with two ears
            cairo_arc(cr, cx, cy, 2.5, 0, 2 * kPi);
            source(cr, rgb(40, 40, 44));
            cairo_fill(cr);
            cairo_rectangle(cr, cx - 5, cy - 1, 1.6, 2.5);
            cairo_rectangle(cr, cx + 3.4, cy - 1, 1.6, 2.5);
            cairo_fill(cr);
        } else {
            text(cr, letters[k], 0, 16 * k, 16, 16, 8, true, rgb(20, 20, 24));
        }
    }
}

void numberTiles(cairo_t* cr, const BitmapInfo& info, int first) {
    const int fh = frameHeight(info);
    for (int k = 0; k < info.frames; ++k) {
        roundRect(cr, 0.5, k * fh + 0.5, info.width - 1, fh - 1, 2);
        source(cr, rgb(230, 236, 244), 0.92);
        cairo_fill(cr);
        char s[12];
        std::snprintf(s, sizeof(s), "%d", first + k);
        text(cr, s, 0, k * fh, info.width, fh, fh - 2.5, true, rgb(24, 30, 40));
    }
}

void speakerNumber(cairo_t* cr, const BitmapInfo& info, const char* label) {
    roundRect(cr, 0.5, 0.5, info.width - 1, info.height - 1, 2);
    source(cr, rgb(30, 36, 44), 0.9);
    cairo_fill_preserve(cr);
    source(cr, rgb(110, 124, 140));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    text(cr, label, 0, 0, info.width, info.height, info.height - 3, true, kLabel);
}

// Colour of a level at fraction t of the meter's reach: green, yellow, red.
Rgb levelColour(double t) {
    if (t < 0.6) return mix(rgb(60, 200, 110), rgb(220, 220, 70), t / 0.6);
    return mix(rgb(220, 220, 70), rgb(240, 70, 60), (t - 0.6) / 0.4);
}

// A wedge from corner (ox, oy) towards the opposite corner, its colour
// following the distance from the corner.
void levelWedge(cairo_t* cr, int w, int h, int ox, int oy) {
    cairo_surface_t* target = cairo_get_target(cr);
    cairo_surface_flush(target);
    unsigned char* data = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = std::abs(x + 0.5 - ox), v = std::abs(y + 0.5 - oy);
            const double along = (u + v) / std::sqrt(2.0), across = std::abs(u - v) / std::sqrt(2.0);
            const double t = along / (w * std::sqrt(2.0));
            const double half = 4.0 + along * 0.28;
            double a = std::clamp(half - across, 0.0, 1.0);
            if (along > w * 1.02) a = 0;
            const Rgb c = levelColour(std::min(1.0, t));
            uint32_t* px = (uint32_t*)(data + y * stride) + x;
            const double alpha = a * 0.92;
            *px = ((uint32_t)(alpha * 255) << 24) | ((uint32_t)(c.r * alpha * 255) << 16) |
                  ((uint32_t)(c.g * alpha * 255) << 8) | (uint32_t)(c.b * alpha * 255);
        }
    cairo_surface_mark_dirty(target);
}

// Panner wedges: a band along one diagonal, wide at both corners.
void pannerWedge(cairo_t* cr, int size, bool mainDiagonal) {
    cairo_surface_t* target = cairo_get_target(cr);
    cairo_surface_flush(target);
    unsigned char* data = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double fx = x + 0.5, fy = mainDiagonal ? y + 0.5 : size - (y + 0.5);
            const double across = std::abs(fx - fy) / std::sqrt(2.0);
            const double fromCentre = std::abs((fx + fy) / 2 - size / 2.0) / (size / 2.0);
            const double half = 1.5 + 9.0 * fromCentre;
            const double a = std::clamp(half - across, 0.0, 1.0) * (0.35 + 0.35 * fromCentre);
            uint32_t* px = (uint32_t*)(data + y * stride) + x;
            const Rgb c = rgb(110, 170, 255);
            *px = ((uint32_t)(a * 255) << 24) | ((uint32_t)(c.r * a * 255) << 16) | ((uint32_t)(c.g * a * 255) << 8) |
                  (uint32_t)(c.b * a * 255);
        }
    cairo_surface_mark_dirty(target);
}

void centreLevel(cairo_t* cr, const BitmapInfo& info) {
    for (int y = 0; y < info.height; ++y) {
        const double t = y / (double)(info.height - 1);
        const double half = 1.5 + t * (info.width / 2.0 - 2);
        source(cr, levelColour(t), 0.92);
        cairo_rectangle(cr, info.width / 2.0 - half, y, 2 * half, 1);
        cairo_fill(cr);
    }
}

void centrePanner(cairo_t* cr, const BitmapInfo& info) {
    for (int y = 0; y < info.height; ++y) {
        const double t = y / (double)(info.height - 1);
        const double half = 1.5 + (1 - t) * (info.width / 2.0 - 2);
        source(cr, rgb(110, 170, 255), 0.3 + 0.4 * (1 - t));
        cairo_rectangle(cr, info.width / 2.0 - half, y, 2 * half, 1);
        cairo_fill(cr);
    }
}

void meterBack(cairo_t* cr, const BitmapInfo& info) {
    const double w = info.width, h = info.height, cx = w / 2, cy = h / 2;
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 4, cx, cy, w * 0.72);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.13, 0.16, 0.21);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.06, 0.07, 0.09);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1);
    for (int r = 12; r <= 48; r += 12) {
        cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
        source(cr, kGridMajor, 0.6);
        cairo_stroke(cr);
    }
    source(cr, kGridMajor, 0.5);
    cairo_move_to(cr, cx + 0.5, 4);
    cairo_line_to(cr, cx + 0.5, h - 4);
    cairo_move_to(cr, 4, cy + 0.5);
    cairo_line_to(cr, w - 4, cy + 0.5);
    cairo_move_to(cr, 3, 3);
    cairo_line_to(cr, w - 3, h - 3);
    cairo_move_to(cr, w - 3, 3);
    cairo_line_to(cr, 3, h - 3);
    cairo_stroke(cr);
    source(cr, rgb(90, 104, 122));
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_stroke(cr);
}

// ---- screens -----------------------------------------------------------------

void roomGrid(cairo_t* cr, double ox, double oy) {
    source(cr, kScreen);
    cairo_rectangle(cr, ox, oy, 408, 408);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    // grid point m lies at 8 m + 4 inside the image
    for (int pass = 0; pass < 3; ++pass)
        for (int m = 0; m <= 50; ++m) {
            const int level = (m % 10 == 0) ? 2 : (m % 5 == 0) ? 1 : 0;
            if (level != pass) continue;
            source(cr, level == 2 ? kGridTen : level == 1 ? kGridMajor : kGridMinor);
            const double p = 8 * m + 4 + 0.5;
            cairo_move_to(cr, ox + p, oy + 4);
            cairo_line_to(cr, ox + p, oy + 405);
            cairo_move_to(cr, ox + 4, oy + p);
            cairo_line_to(cr, ox + 405, oy + p);
            cairo_stroke(cr);
        }
    for (int m = 10; m < 50; m += 10) {
        char s[8];
        std::snprintf(s, sizeof(s), "%d", m);
        text(cr, s, ox + 8 * m + 6, oy + 5, 20, 9, 7, false, kGridTen, kLeftAlign);
        text(cr, s, ox + 6, oy + 8 * m + 5, 20, 9, 7, false, kGridTen, kLeftAlign);
    }
    text(cr, "50 x 50 m", ox + 330, oy + 392, 72, 10, 7, false, kGridTen, kRightAlign);
}

void view3DBack(cairo_t* cr) {
    verticalGradient(cr, 0, 0, 408, 408, rgb(26, 34, 52), rgb(8, 10, 14));
    cairo_paint(cr);
    cairo_pattern_t* glow = cairo_pattern_create_radial(204, 240, 10, 204, 240, 260);
    cairo_pattern_add_color_stop_rgba(glow, 0, 0.35, 0.5, 0.7, 0.18);
    cairo_pattern_add_color_stop_rgba(glow, 1, 0.35, 0.5, 0.7, 0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    text(cr, "3-D VIEW", 8, 390, 120, 12, 8, true, kGridTen, kLeftAlign);
}

void eqBack(cairo_t* cr) {
    verticalGradient(cr, 0, 0, 408, 408, rgb(18, 22, 30), rgb(12, 14, 20));
    cairo_paint(cr);
    cairo_set_line_width(cr, 1);
    for (int v = -25; v <= 25; v += 5) {
        const double y = (int)(204 - 6.4 * v) + 0.5;
        source(cr, v == 0 ? kGridTen : kGridMinor);
        cairo_move_to(cr, 36, y);
        cairo_line_to(cr, 404, y);
        cairo_stroke(cr);
    }
    source(cr, kGridMajor);
    cairo_rectangle(cr, 36.5, 16.5, 367, 375);
    cairo_stroke(cr);
}

void pageButtons(cairo_t* cr, int y0, int count) {
    for (int i = 0; i < count; ++i) {
        const double x = 32 + 88 * i;
        roundRect(cr, x + 0.5, y0 + 0.5, 79, 15, 3);
        verticalGradient(cr, x, y0, 80, 16, rgb(66, 76, 90), rgb(42, 48, 57));
        cairo_fill_preserve(cr);
        source(cr, rgb(16, 18, 22));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void pageBack(cairo_t* cr, const char* title) {
    verticalGradient(cr, 0, 0, 408, 408, rgb(40, 46, 56), rgb(26, 30, 37));
    cairo_paint(cr);
    source(cr, kSectionEdge);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 8.5, 8.5, 391, 391);
    cairo_stroke(cr);
    text(cr, title, 24, 40, 360, 30, 17, true, kTitle, kLeftAlign);
    source(cr, kAccent, 0.6);
    cairo_rectangle(cr, 24, 74, 360, 1);
    cairo_fill(cr);
}

void rowLabel(cairo_t* cr, int y0, const char* label) { text(cr, label, 32, y0 - 15, 300, 13, 9, true, kLabel, kLeftAlign); }

void exportPage(cairo_t* cr) {
    pageBack(cr, "EXPORT IMPULSE RESPONSE");
    rowLabel(cr, 128, "SAMPLE RATE");
    pageButtons(cr, 128, 3);
    rowLabel(cr, 184, "FILE FORMAT");
    pageButtons(cr, 184, 3);
    pageButtons(cr, 216, 2);
    text(cr, "CHANNEL FILES", 212, 216, 140, 16, 9, true, kLabel, kLeftAlign);
    rowLabel(cr, 272, "NORMALISE");
    pageButtons(cr, 272, 2);
    rowLabel(cr, 344, "WRITE THE FILES");
    pageButtons(cr, 344, 1);
    text(cr, "Choose a name in the next dialog.", 120, 344, 260, 16, 8, false, kLabel, kLeftAlign, 0.7);
}

void optionsPage(cairo_t* cr) {
    pageBack(cr, "OPTIONS");
    rowLabel(cr, 128, "KNOB MODE");
    pageButtons(cr, 128, 2);
    rowLabel(cr, 216, "DRY OUTPUT PRESET VALUES");
    pageButtons(cr, 216, 2);
    pageButtons(cr, 304, 1);
    text(cr, "Circular: turn the knobs round their centre.", 32, 148, 360, 14, 8, false, kLabel, kLeftAlign, 0.7);
    text(cr, "OFF keeps the dry level when a preset loads.", 32, 236, 360, 14, 8, false, kLabel, kLeftAlign, 0.7);
}

void impulseHalf(cairo_t* cr, double ox, double oy, const char* label) {
    verticalGradient(cr, ox, oy, 200, 80, rgb(22, 27, 35), rgb(14, 17, 22));
    cairo_rectangle(cr, ox, oy, 200, 80);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    // 64 pixels per second: a line every quarter second, brighter each second
    for (int q = 1; q * 16 + 1 < 200; ++q) {
        source(cr, q % 4 == 0 ? kGridMajor : kGridMinor);
        const double x = ox + 1 + q * 16 + 0.5;
        cairo_move_to(cr, x, oy + 2);
        cairo_line_to(cr, x, oy + 74);
        cairo_stroke(cr);
    }
    for (int k = 1; k < 4; ++k) {
        source(cr, kGridMinor);
        const double y = oy + 74 - k * 18 + 0.5;
        cairo_move_to(cr, ox + 1, y);
        cairo_line_to(cr, ox + 199, y);
        cairo_stroke(cr);
    }
    source(cr, kGridTen);
    cairo_move_to(cr, ox, oy + 75.5);
    cairo_line_to(cr, ox + 200, oy + 75.5);
    cairo_stroke(cr);
    text(cr, label, ox + 140, oy + 3, 56, 10, 7, true, kGridTen, kRightAlign);
    text(cr, "1 s", ox + 66, oy + 66, 20, 8, 6.5, false, kGridTen, kLeftAlign);
    text(cr, "2 s", ox + 130, oy + 66, 20, 8, 6.5, false, kGridTen, kLeftAlign);
}

// ---- the panel ---------------------------------------------------------------

void section(cairo_t* cr, double x, double y, double w, double h, const char* title) {
    roundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 4);
    source(cr, kSectionFill, 0.85);
    cairo_fill_preserve(cr);
    source(cr, kSectionEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (title && *title) {
        text(cr, title, x + 6, y + 3, w - 12, 11, 8, true, kTitle, kLeftAlign);
        source(cr, kTitle, 0.25);
        cairo_rectangle(cr, x + 6, y + 15, w - 12, 1);
        cairo_fill(cr);
    }
}

void label(cairo_t* cr, const char* s, double x, double y, double w, double size = 7.5) {
    text(cr, s, x, y, w, 10, size, true, kLabel);
}

void panel(cairo_t* cr) {
    verticalGradient(cr, 0, 0, 704, 560, kPanelTop, kPanelBottom);
    cairo_paint(cr);
    // faint brushed texture from a fixed pseudo-random sequence
    uint32_t state = 12345;
    for (int y = 0; y < 560; ++y) {
        state = state * 214013u + 2531011u;
        const double a = ((state >> 16) & 0x7FFF) / 32767.0 * 0.05;
        cairo_set_source_rgba(cr, 1, 1, 1, a);
        cairo_rectangle(cr, 0, y, 704, 1);
        cairo_fill(cr);
    }
    source(cr, rgb(12, 14, 17));
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, 703, 559);
    cairo_stroke(cr);

    // main display and impulse display in their bezels
    recess(cr, 8, 8, 408, 408, kScreen);
    roomGrid(cr, 8, 8);
    recess(cr, 8, 424, 408, 80, rgb(16, 19, 24));
    impulseHalf(cr, 8, 424, "VOLUME");
    impulseHalf(cr, 216, 424, "HI-CUT");

    section(cr, 426, 4, 208, 100, "WALL EFFECT");
    label(cr, "ABSORB", 436, 27, 50);
    label(cr, "HI-CUT", 484, 27, 50);
    label(cr, "SCATTER", 532, 27, 50);
    label(cr, "HEIGHT", 580, 27, 50);
    section(cr, 638, 4, 62, 100, "RAYS");
    label(cr, "COUNT", 643, 27, 52);

    section(cr, 426, 108, 110, 112, "AIR EFFECT");
    label(cr, "ABSORB", 435, 139, 50);
    label(cr, "HI-CUT", 483, 139, 50);

    section(cr, 540, 108, 160, 112, "PARAMETRIC EQ");
    const char* bands[4] = {"1", "2", "3", "4"};
    for (int b = 0; b < 4; ++b) label(cr, bands[b], 579 + 30 * b, 125, 22);
    label(cr, "FREQ", 541, 142, 38, 7);
    label(cr, "GAIN", 541, 163, 38, 7);
    label(cr, "WIDTH", 541, 184, 38, 7);

    section(cr, 426, 224, 164, 100, "SIGNAL RETURN");
    label(cr, "PRE-DELAY", 433, 249, 56, 7);
    label(cr, "SCALE", 484, 249, 50);
    label(cr, "HEAD", 532, 249, 50);
    section(cr, 594, 224, 106, 100, "OUTPUT");
    label(cr, "WET", 595, 249, 50);
    label(cr, "DRY", 643, 249, 50);

    section(cr, 426, 328, 274, 54, "");
    text(cr, "INPUT PINS", 496, 331, 56, 10, 7, true, kTitle);
    text(cr, "OUTPUT PINS", 562, 331, 134, 10, 7, true, kTitle);
    for (int i = 0; i < 2; ++i) {
        char s[12];
        std::snprintf(s, sizeof(s), "%d", i + 1);
        label(cr, s, 499 + 29 * i, 354, 19, 7);
        recess(cr, 499 + 29 * i, 367, 19, 11, kDisplay);
    }
    for (int j = 0; j < 5; ++j) {
        char s[12];
        std::snprintf(s, sizeof(s), "%d", j + 1);
        label(cr, s, 565 + 27 * j, 354, 19, 7);
        recess(cr, 565 + 27 * j, 367, 19, 11, kDisplay);
    }

    section(cr, 426, 386, 160, 92, "DIFFUSION");
    label(cr, "GAIN", 432, 411, 38, 7);
    label(cr, "SCALE", 470, 411, 38, 7);
    label(cr, "MOD", 508, 411, 38, 7);
    label(cr, "WIDTH", 546, 411, 38, 7);
    section(cr, 426, 482, 160, 44, "");
    text(cr, "DIFFUSION PITCH BEND", 432, 488, 148, 10, 7, true, kTitle);

    // the surround meter's bezel
    recess(cr, 592, 388, 100, 100, rgb(10, 12, 15));
    text(cr, "SURROUND", 592, 489, 100, 7, 6, true, kTitle);

    // display slots behind the value displays
    const int slots[][4] = {
        {442, 85, 480, 96},  {490, 85, 528, 96},  {538, 85, 576, 96},  {586, 85, 624, 96},  {648, 85, 686, 96},
        {442, 197, 480, 208}, {490, 197, 528, 208}, {441, 307, 479, 318}, {489, 307, 527, 318}, {537, 307, 575, 318},
        {601, 307, 639, 318}, {649, 307, 687, 318}, {436, 461, 466, 472}, {474, 461, 504, 472}, {512, 461, 542, 472},
        {550, 461, 580, 472}, {68, 536, 268, 552},
    };
    for (const auto& s : slots) recess(cr, s[0], s[1], s[2] - s[0], s[3] - s[1], kDisplay);

    // the preset menu's face: the menu itself paints nothing
    buttonFace(cr, 8, 536, 52, 16, "PRESETS", false, false, kPush, 7.5);
    text(cr, "RAYS", 320, 536, 28, 16, 7, true, kLabel);

    // maker's mark
    text(cr, "KELVORAN", 428, 530, 120, 18, 15, true, rgb(226, 232, 240), kLeftAlign);
    text(cr, "RAY-TRACED ROOM REVERB", 428, 547, 160, 9, 6.5, true, kTitle, kLeftAlign);
}

// ---- one image per id --------------------------------------------------------

void drawBitmap(cairo_t* cr, const BitmapInfo& info) {
    const KnobLook mainKnob{kAccent, true, false};
    switch (info.id) {
    case 162: knobStrip(cr, info, mainKnob); break;
    case 164: knobStrip(cr, info, KnobLook{rgb(120, 220, 150), true, false}); break;
    case 163: knobStrip(cr, info, KnobLook{kAmber, false, true}); break;
    case 160: knobStrip(cr, info, KnobLook{rgb(170, 140, 240), true, false}); break;
    case 165: knobStrip(cr, info, KnobLook{rgb(90, 150, 230), true, false}); break;
    case 161: jogStrip(cr, info); break;
    case 103: togglePair(cr, info, "STEREO"); break;
    case 104: togglePair(cr, info, "REVERSE"); break;
    case 130: stateStrip(cr, info, {"2 OUTS", "4 OUTS", "5 OUTS"}); break;
    case 127: togglePair(cr, info, "LINE", 7.5); break;
    case 128: togglePair(cr, info, "BOX", 7.5); break;
    case 135: togglePair(cr, info, "EDIT", 7.5); break;
    case 136: togglePair(cr, info, "MIRROR", 6.5); break;
    case 105: pushPair(cr, info, "UNDO"); break;
    case 106: pushPair(cr, info, "CLEAR"); break;
    case 125: stateStrip(cr, info, {"3-D VIEW", "EDIT VIEW"}); break;
    case 107: togglePair(cr, info, "MANUAL", 7); break;
    case 159: togglePair(cr, info, "OPTIONS", 6); break;
    case 126: pushPair(cr, info, "EQ"); break;
    case 131: sliderBack(cr, info); break;
    case 166: sliderHandle(cr, info); break;
    case 139: exportButton(cr, info); break;
    case 153: arrowPair(cr, info, false); break;
    case 154: arrowPair(cr, info, true); break;
    case 152: panel(cr); break;
    case 129: markers(cr); break;
    case 172: levelWedge(cr, info.width, info.height, info.width, info.height); break;
    case 173: levelWedge(cr, info.width, info.height, 0, 0); break;
    case 174: levelWedge(cr, info.width, info.height, info.width, 0); break;
    case 175: levelWedge(cr, info.width, info.height, 0, info.height); break;
    case 120: pannerWedge(cr, info.width, false); break;
    case 121: pannerWedge(cr, info.width, true); break;
    case 167: centreLevel(cr, info); break;
    case 146: centrePanner(cr, info); break;
    case 177: roomGrid(cr, 0, 0); break;
    case 176: view3DBack(cr); break;
    case 178: eqBack(cr); break;
    case 115: meterBack(cr, info); break;
    case 108:
        impulseHalf(cr, 0, 0, "VOLUME");
        impulseHalf(cr, 0, 80, "HI-CUT");
        break;
    case 156: exportPage(cr); break;
    case 157: optionsPage(cr); break;
    case 137: numberTiles(cr, info, 1); break;
    case 140: speakerNumber(cr, info, "1"); break;
    case 141: speakerNumber(cr, info, "2"); break;
    case 142: speakerNumber(cr, info, "3"); break;
    case 143: speakerNumber(cr, info, "4"); break;
    case 144: speakerNumber(cr, info, "5"); break;
    default: break;
    }
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PNG_FOLDER OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    FILE* out = std::fopen(argv[2], "w");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "// Written by kelvoran_artwork; do not edit.\n#include \"resources/bitmaps.h\"\n\n");
    for (int i = 0; i < kBitmapCount; ++i) {
        const BitmapInfo& info = kBitmapTable[i];
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, info.width, info.height);
        cairo_t* cr = cairo_create(s);
        drawBitmap(cr, info);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        const std::string path = std::string(argv[1]) + "/" + std::to_string(info.id) + ".png";
        std::vector<unsigned char> bytes;
        if (cairo_surface_write_to_png(s, path.c_str()) != CAIRO_STATUS_SUCCESS ||
            cairo_surface_write_to_png_stream(s, appendBytes, &bytes) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "cannot write the image of id %d\n", info.id);
            return 1;
        }
        cairo_surface_destroy(s);
        std::fprintf(out, "static const unsigned char png%d[%zu] = {", info.id, bytes.size());
        for (size_t b = 0; b < bytes.size(); ++b) std::fprintf(out, "%s%u,", b % 24 ? "" : "\n", bytes[b]);
        std::fprintf(out, "\n};\n");
    }
    std::fprintf(out, "\nextern const EmbeddedPng kEmbeddedPngs[] = {\n");
    for (int i = 0; i < kBitmapCount; ++i)
        std::fprintf(out, "    {%d, png%d, sizeof(png%d)},\n", kBitmapTable[i].id, kBitmapTable[i].id, kBitmapTable[i].id);
    std::fprintf(out, "};\nextern const int kEmbeddedPngCount = %d;\n", kBitmapCount);
    return std::fclose(out) == 0 ? 0 : 1;
}
