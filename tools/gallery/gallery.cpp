// Renders the editor's controls on the panel at their places, an open menu,
// the file dialog and every bitmap id onto one PNG sheet.
//   kelvoran_gallery OUT.png
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "editor/custom_controls.h"
#include "gui/vstgui.h"
#include "resources/bitmaps.h"

namespace {

const CColor kDisplayBack = kDisplayColor;
const CColor kDisplayText = MakeCColor(192, 192, 192);

struct NoListener : CControlListener {
    void valueChanged(CControl*) override {}
} listener;

void styleDisplay(CParamDisplay* d) {
    d->setFont(kNormalFontSmall);
    d->setTxtFace(kNormalFace);
    d->setFontColor(kDisplayText);
    d->setBackColor(kDisplayBack);
    d->setFrameColor(kDisplayBack);
}

void addDisplay(CFrame* frame, long l, long t, long r, long b, float value, ValueToText convert) {
    CParamDisplay* d = new CParamDisplay(CRect(l, t, r, b), nullptr, 1);
    styleDisplay(d);
    d->setStringConvert(convert);
    d->setValue(value);
    frame->addView(d);
}

void addKnob(CFrame* frame, long id, long x, long y, float value) {
    CBitmap* strip = new CBitmap(id);
    const long fh = strip->getHeight() / 64;
    CAnimKnob* knob = new CAnimKnob(CRect(x, y, x + strip->getWidth(), y + fh), &listener, 0, 64, fh, strip);
    knob->setValue(value);
    frame->addView(knob);
    strip->forget();
}

template <class Button>
void addButton(CFrame* frame, long id, long x, long y, float value) {
    CBitmap* b = new CBitmap(id);
    const long h = b->getHeight() / 2;
    Button* button;
    if constexpr (std::is_same_v<Button, CKickButton>)
        button = new CKickButton(CRect(x, y, x + b->getWidth(), y + h), &listener, 0, h, b);
    else
        button = new Button(CRect(x, y, x + b->getWidth(), y + h), &listener, 0, b);
    button->setValue(value);
    frame->addView(button);
    b->forget();
}

void percent(float v, char* s) { std::snprintf(s, 32, "%.2f%%", v * 100); }
void metres(float v, char* s) { std::snprintf(s, 32, "%.1fm", v); }
void integer(float v, char* s) { std::snprintf(s, 32, "%d", (int)v); }
void millis(float v, char* s) { std::snprintf(s, 32, "%.1fms", v); }
void decibels(float v, char* s) { std::snprintf(s, 32, "%.1fdb", v); }

// The panel with a control of every kind at its place.
void buildPanel(CFrame* frame, COptionMenu*& pinMenu) {
    const long mainKnobs[][2] = {{440, 41}, {488, 41}, {536, 41}, {584, 41}, {439, 153}, {487, 153},
                                 {440, 264}, {488, 264}, {599, 264}, {647, 264}};
    float v = 0.1f;
    for (const auto& k : mainKnobs) { addKnob(frame, 162, k[0], k[1], v); v += 0.09f; }
    addKnob(frame, 164, 646, 41, 0.5f);
    for (int i = 0; i < 4; ++i) addKnob(frame, 160, 434 + 38 * i, 427, 0.2f + 0.2f * i);
    for (int b = 0; b < 4; ++b)
        for (int r = 0; r < 3; ++r) addKnob(frame, 165, 579 + 30 * b, 137 + 21 * r, 0.15f + 0.2f * r + 0.05f * b);

    CBitmap* rotaryStrip = new CBitmap(163);
    CAnimRotary* rotary = new CAnimRotary(CRect(535, 264, 579, 307), &listener, 16, 64, 43, rotaryStrip);
    rotary->setValue(0.375f);
    frame->addView(rotary);
    rotaryStrip->forget();

    addDisplay(frame, 442, 85, 480, 96, 0.35f, percent);
    addDisplay(frame, 490, 85, 528, 96, 0.5f, percent);
    addDisplay(frame, 538, 85, 576, 96, 1.0f, percent);
    addDisplay(frame, 586, 85, 624, 96, 6.5f, metres);
    addDisplay(frame, 648, 85, 686, 96, 1024, integer);
    addDisplay(frame, 442, 197, 480, 208, 0.12f, percent);
    addDisplay(frame, 490, 197, 528, 208, 0.4f, percent);
    addDisplay(frame, 441, 307, 479, 318, 12.5f, millis);
    addDisplay(frame, 489, 307, 527, 318, 100, integer);
    addDisplay(frame, 537, 307, 575, 318, 135, integer);
    addDisplay(frame, 601, 307, 639, 318, -3.2f, decibels);
    addDisplay(frame, 649, 307, 687, 318, -12.0f, decibels);
    addDisplay(frame, 436, 461, 466, 472, -6.0f, decibels);
    addDisplay(frame, 474, 461, 504, 472, 50, integer);
    addDisplay(frame, 512, 461, 542, 472, 3, integer);
    addDisplay(frame, 550, 461, 580, 472, 70, integer);

    addButton<COnOffButton>(frame, 103, 431, 336, 1);
    addButton<COnOffButton>(frame, 104, 431, 360, 0);
    addButton<COnOffButton>(frame, 127, 8, 512, 1);
    addButton<COnOffButton>(frame, 128, 60, 512, 0);
    addButton<COnOffButton>(frame, 135, 112, 512, 0);
    addButton<COnOffButton>(frame, 136, 164, 512, 1);
    addButton<CKickButton>(frame, 105, 216, 512, 0);
    addButton<CKickButton>(frame, 106, 268, 512, 0);
    addButton<COnOffButton>(frame, 107, 644, 536, 0);
    addButton<COnOffButton>(frame, 159, 592, 536, 1);
    addButton<COnOffButton>(frame, 126, 544, 200, 0);
    addButton<COnOffButton>(frame, 139, 592, 496, 0);
    addButton<CKickButton>(frame, 153, 276, 536, 0);
    addButton<CKickButton>(frame, 154, 300, 536, 1);

    CBitmap* outs = new CBitmap(130);
    CInstSelect* outCount = new CInstSelect(CRect(636, 496, 692, 512), &listener, 46, 6, 16, outs);
    outCount->setValue(1);
    frame->addView(outCount);
    outs->forget();
    CBitmap* toggle = new CBitmap(125);
    CInstSelect* viewToggle = new CInstSelect(CRect(328, 512, 416, 528), &listener, 65, 4, 16, toggle);
    viewToggle->setValue(0);
    frame->addView(viewToggle);
    toggle->forget();

    CBitmap* sliderBack = new CBitmap(131);
    CBitmap* handle = new CBitmap(166);
    CHorizontalSlider* slider =
        new CHorizontalSlider(CRect(438, 503, 578, 521), &listener, 21, 438, 568, handle, sliderBack, CPoint(0, 0), kLeft);
    slider->setValue(0.3f);
    frame->addView(slider);
    sliderBack->forget();
    handle->forget();

    CBitmap* jogStrip = new CBitmap(161);
    CAnimJog* jog = new CAnimJog(CRect(349, 536, 419, 551), &listener, 81, 64, 15, jogStrip);
    jog->setValue(0.05f);
    frame->addView(jog);
    jogStrip->forget();

    const char* names[] = {"L", "R", "3", "4", "5"};
    for (int j = 0; j < 7; ++j) {
        const long left = j < 2 ? 499 + 29 * j : 565 + 27 * (j - 2);
        COptionMenu* menu = new COptionMenu(CRect(left, 367, left + 19, 378), &listener, 38 + j, nullptr, nullptr,
                                            kPopupStyle | kCheckStyle);
        styleDisplay(menu);
        menu->setHoriAlign(kCenterText);
        for (int n = 0; n < (j < 2 ? 2 : 5); ++n) menu->addEntry(names[n]);
        menu->setValue((float)(j < 2 ? j : j - 2));
        frame->addView(menu);
        if (j == 3) pinMenu = menu;
    }

    CTextEdit* name = new CTextEdit(CRect(68, 536, 268, 552), &listener, 49, "Large Cathedral");
    styleDisplay(name);
    name->setFont(kNormalFontSmall);
    name->setHoriAlign(kCenterText);
    frame->addView(name);

    // The room display's resting image with a marker of each kind on it.
    CBitmap* grid = new CBitmap(177);
    CView* room = new CView(CRect(8, 8, 416, 416));
    room->setBackground(grid);
    frame->addView(room);
    grid->forget();
}

// Markers, wedges and numbers drawn over the screens, as the views will.
void decorate(CDrawContext* c) {
    CBitmap markers(129);
    const long spots[4][2] = {{200, 240}, {120, 120}, {280, 120}, {200, 80}};
    for (int k = 0; k < 4; ++k) {
        c->setFrameColor(k == 0 ? MakeCColor(210, 210, 210) : k == 1 ? MakeCColor(255, 150, 150)
                                                     : k == 2 ? MakeCColor(150, 255, 150) : MakeCColor(255, 150, 255));
        c->drawEllipse(CRect(spots[k][0] - 10, spots[k][1] - 10, spots[k][0] + 11, spots[k][1] + 11));
        markers.drawTransparent(c, CRect(spots[k][0] - 7, spots[k][1] - 7, spots[k][0] + 9, spots[k][1] + 9), CPoint(0, 16 * k));
    }
    c->setLineWidth(4);
    c->setFrameColor(MakeCColor(120, 130, 140));
    c->drawLine(CPoint(92, 92), CPoint(332, 92));
    c->setLineWidth(2);
    c->setFrameColor(MakeCColor(170, 180, 190));
    c->drawLine(CPoint(92, 92), CPoint(332, 92));
    c->setLineWidth(1);

    CBitmap meter(115);
    meter.draw(c, CRect(592, 388, 692, 488));
    const int speakers[5][5] = {{140, 0, 0, 12, 12}, {141, 88, 0, 100, 12}, {142, 0, 88, 12, 100}, {143, 88, 88, 100, 100}, {144, 39, 0, 61, 8}};
    for (const auto& s : speakers) {
        CBitmap b(s[0]);
        b.drawTransparent(c, CRect(592 + s[1], 388 + s[2], 592 + s[3], 388 + s[4]));
    }
    CBitmap left(121), right(120), centre(146), l173(173), l174(174), l175(175), l172(172), c167(167);
    left.drawTransparent(c, CRect(595, 391, 595 + 30, 391 + 30));
    right.drawTransparent(c, CRect(689 - 30, 391, 689, 391 + 30), CPoint(16, 0));
    l173.drawTransparent(c, CRect(595, 391, 595 + 38, 391 + 38));
    l174.drawTransparent(c, CRect(689 - 34, 391, 689, 391 + 34), CPoint(13, 0));
    l175.drawTransparent(c, CRect(595, 485 - 20, 595 + 20, 485), CPoint(0, 27));
    l172.drawTransparent(c, CRect(689 - 16, 485 - 16, 689, 485), CPoint(31, 31));
    centre.drawTransparent(c, CRect(633, 396, 651, 396 + 20), CPoint(0, 20));
    c167.drawTransparent(c, CRect(633, 395, 650, 395 + 25));
    markers.drawTransparent(c, CRect(634, 430, 650, 446), CPoint(0, 0));

    // a few impulse bars in the impulse display's three shades
    for (int x = 12; x < 200; x += 3) {
        const long h = (long)(60.0 * std::exp(-(x - 12) / 55.0) * (0.6 + 0.4 * ((x * 37) % 11) / 10.0));
        const long filter = (long)(58.0 * std::exp(-(x - 12) / 90.0));
        const CColor shades[3] = {MakeCColor(160, 160, 170), MakeCColor(128, 128, 136), MakeCColor(102, 102, 108)};
        for (int half = 0; half < 2; ++half) {
            const long top = 424 + 74 - (half ? filter : h), ox = half ? 216 : 8;
            for (int band = 0; band < 3; ++band) {
                const long from = top + 6 * band, to = band == 2 ? 424 + 74 : std::min(top + 6 * band + 6, 424L + 74);
                if (from >= to) continue;
                c->setFrameColor(shades[band]);
                c->drawLine(CPoint(ox + x, from), CPoint(ox + x, to));
            }
        }
    }
}

void blit(cairo_t* cr, cairo_surface_t* image, double x, double y, double scale = 1.0) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), scale < 1 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

void caption(cairo_t* cr, const std::string& s, double x, double y, double size = 11) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_set_source_rgb(cr, 0.85, 0.88, 0.92);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
}

// The file dialog, shown in a frame of its own on a folder of sample files.
cairo_surface_t* dialogSnapshot() {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "kelvoran-gallery";
    fs::create_directories(folder / "Rooms");
    fs::create_directories(folder / "Halls");
    for (const char* f : {"Small Chamber.fxp", "Large Hall.fxp", "Stone Church.fxp", "notes.txt"})
        std::ofstream(folder / f) << "x";
    CFrame* frame = new CFrame(CRect(0, 0, 704, 560), nullptr, nullptr);
    CBitmap* panelImage = new CBitmap(kBmpPanel);
    frame->setBackground(panelImage);
    panelImage->forget();
    cairo_surface_t* shot = nullptr;
    frame->modalHook = [&shot](CFrame* f) {
        auto* dialog = dynamic_cast<CFileDialogView*>(f->getModalView());
        if (!shot) {
            CPoint p = dialog->rowRect(dialog->rowOf("Large Hall.fxp")).getTopLeft();
            p.offset(4, 4);
            f->onMouseDown(p, kLButton);
            f->renderToPNG("/dev/null");
            shot = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 704, 560);
            cairo_t* c = cairo_create(shot);
            cairo_set_source_surface(c, f->getImage(), 0, 0);
            cairo_paint(c);
            cairo_destroy(c);
        }
        CKeyCode esc;
        esc.virt = VKEY_ESCAPE;
        f->onKeyDown(esc);
    };
    CFileSelector selector(frame);
    FileSelectRequest request;
    request.title = "Select filename to LOAD";
    request.initialPath = folder.string();
    request.filterName = "VST Effect FXP";
    request.extensions = {"fxp"};
    selector.run(request);
    frame->forget();
    std::error_code ec;
    fs::remove_all(folder, ec);
    return shot;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    CFrame* frame = new CFrame(CRect(0, 0, 704, 560), nullptr, nullptr);
    CBitmap* panelImage = new CBitmap(kBmpPanel);
    frame->setBackground(panelImage);
    panelImage->forget();
    COptionMenu* pinMenu = nullptr;
    buildPanel(frame, pinMenu);
    frame->idle();
    decorate(frame->getDrawContext());
    cairo_surface_t* closedPanel = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 704, 560);
    {
        cairo_t* c = cairo_create(closedPanel);
        cairo_set_source_surface(c, frame->getImage(), 0, 0);
        cairo_paint(c);
        cairo_destroy(c);
    }
    // A pop-up menu with a sub-menu open, over the panel.
    COptionMenu* presets = new CMenuButton(CRect(8, 536, 60, 552), &listener, 50, nullptr, nullptr, kPopupStyle);
    COptionMenu* halls = new CMenuButton(CRect(8, 536, 60, 552), &listener, 51, nullptr, nullptr, kPopupStyle | kCheckStyle);
    for (const char* n : {"Large Cathedral", "Stone Church", "Great Hall", "Crypt", "Basilica"}) halls->addEntry(n);
    halls->setValue(1);
    for (const char* n : {"Load preset", "Save preset", "Reset current", "-"}) presets->addEntry(n);
    presets->addEntry(halls, "Cathedrals:");
    for (const char* n : {"Chambers:", "Concerts:", "Drums:"}) {
        COptionMenu* sub = new COptionMenu(CRect(0, 0, 1, 1), &listener, 52);
        sub->addEntry("...");
        presets->addEntry(sub, n);
        sub->forget();
    }
    frame->addView(presets);
    frame->addView(halls);
    CPoint at(20, 540);
    frame->onMouseDown(at, kLButton);
    CRect hallsRow = presets->popupEntryRect(0, 4);
    CPoint hover(hallsRow.left + 10, hallsRow.top + 5);
    frame->onMouseMoved(hover, 0);
    frame->idle();

    const long sheetW = 1440, sheetH = 1640;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetW, sheetH);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.11, 0.12, 0.14);
    cairo_paint(cr);
    caption(cr, "Kelvoran editor controls on the panel", 8, 18, 13);
    blit(cr, closedPanel, 8, 26);
    caption(cr, "Preset menu open, with a sub-menu", 728, 18, 13);
    blit(cr, frame->getImage(), 728, 26);
    if (cairo_surface_t* dialog = dialogSnapshot()) {
        caption(cr, "File dialog (no host dialog)", 8, 610, 13);
        blit(cr, dialog, 8, 618, 0.75);
        cairo_surface_destroy(dialog);
    }

    // Every bitmap id: strips show every 9th frame and the last one.
    double x = 556, y = 612, rowHeight = 0;
    for (int i = 0; i < kBitmapCount; ++i) {
        const BitmapInfo& info = kBitmapTable[i];
        if (info.id == kBmpPanel) continue;
        CBitmap bitmap(info.id);
        const int fh = frameHeight(info);
        const bool big = info.width >= 400;
        const double scale = big ? 0.5 : 1.0;
        const int shown = info.frames > 8 ? 8 : info.frames;
        const double w = std::max(big ? info.width * scale : shown * (info.width + 4.0), 90.0);
        const double h = (big ? info.height * scale : fh) + 18;
        if (x + w > sheetW - 8) { x = 556; y += rowHeight + 8; rowHeight = 0; }
        caption(cr, std::to_string(info.id) + "  " + std::to_string(info.width) + "x" + std::to_string(info.height) + " /" +
                        std::to_string(info.frames), x, y + 10, 9);
        if (big) blit(cr, bitmap.getSurface(), x, y + 14, scale);
        else {
            for (int f = 0; f < shown; ++f) {
                const int frameNo = info.frames > 8 ? (f == shown - 1 ? info.frames - 1 : f * 9) : f;
                cairo_save(cr);
                cairo_rectangle(cr, x + f * (info.width + 4), y + 14, info.width, fh);
                cairo_clip(cr);
                cairo_set_source_surface(cr, bitmap.getSurface(), x + f * (info.width + 4), y + 14 - frameNo * fh);
                cairo_paint(cr);
                cairo_restore(cr);
            }
        }
        x += w + 12;
        rowHeight = std::max(rowHeight, h);
    }
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(sheet, argv[1]) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(sheet);
    cairo_surface_destroy(closedPanel);
    frame->forget();
    if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return ok ? 0 : 1;
}
