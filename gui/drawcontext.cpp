#include "gui/drawcontext.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "resources/bitmaps.h"

const CColor kBlackCColor = MakeCColor(0, 0, 0);
const CColor kWhiteCColor = MakeCColor(255, 255, 255);
const CColor kGreyCColor = MakeCColor(127, 127, 127);
const CColor kRedCColor = MakeCColor(255, 0, 0);
const CColor kTransparentCColor = MakeCColor(255, 0, 255, 0);

CRect& CRect::unite(const CRect& o) {
    if (o.isEmpty()) return *this;
    if (isEmpty()) return *this = o;
    left = std::min(left, o.left);
    top = std::min(top, o.top);
    right = std::max(right, o.right);
    bottom = std::max(bottom, o.bottom);
    return *this;
}

CRect& CRect::bound(const CRect& o) {
    left = std::max(left, o.left);
    top = std::max(top, o.top);
    right = std::max(left, std::min(right, o.right));
    bottom = std::max(top, std::min(bottom, o.bottom));
    return *this;
}

CRect& CRect::normalize() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return *this;
}

const FontSpec& fontSpec(CFont font) {
    static const FontSpec table[kNumStandardFonts] = {
        {"DejaVu Sans", 12}, // kSystemFont
        {"DejaVu Sans", 16}, // kNormalFontVeryBig
        {"DejaVu Sans", 13}, // kNormalFontBig
        {"DejaVu Sans", 11}, // kNormalFont
        {"DejaVu Sans", 8},  // kNormalFontSmall
        {"DejaVu Sans", 7},  // kNormalFontSmaller
        {"DejaVu Sans", 6},  // kNormalFontVerySmall
        {"DejaVu Sans", 12}, // kSymbolFont
    };
    int index = (font >= 0 && font < kNumStandardFonts) ? font : kSystemFont;
    return table[index];
}

CDrawContext::CDrawContext(cairo_surface_t* target) : surface(cairo_surface_reference(target)) {
    cr = cairo_create(surface);
    // Fixed font rendering, so a window and an image of the same frame agree.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    resetClipRect();
    setFont(kSystemFont);
}

CDrawContext::~CDrawContext() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

long CDrawContext::getWidth() const { return cairo_image_surface_get_width(surface); }
long CDrawContext::getHeight() const { return cairo_image_surface_get_height(surface); }

void CDrawContext::setLineWidth(long width) { lineWidth = std::max(1L, width); }

void CDrawContext::setLineStyle(CLineStyle style) { lineStyle = style; }

void CDrawContext::setDrawMode(CDrawMode mode) {
    drawMode = mode;
    cairo_set_operator(cr, mode == kXorMode ? CAIRO_OPERATOR_DIFFERENCE : CAIRO_OPERATOR_OVER);
    cairo_set_antialias(cr, mode == kAntialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CDrawContext::setFont(CFont f, long size, long style) {
    font = f;
    fontSize = size > 0 ? size : (long)fontSpec(f).size;
    fontStyle = style;
    applyFont();
}

void CDrawContext::applyFont() {
    cairo_select_font_face(cr, fontSpec(font).family,
                           (fontStyle & kItalicFace) ? CAIRO_FONT_SLANT_OBLIQUE : CAIRO_FONT_SLANT_NORMAL,
                           (fontStyle & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, (double)fontSize);
}

void CDrawContext::applyColor(const CColor& c) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CDrawContext::strokeCurrentPath() {
    applyColor(frameColor);
    cairo_set_line_width(cr, (double)lineWidth);
    cairo_set_line_cap(cr, lineWidth == 1 ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    if (lineStyle == kLineOnOffDash) {
        const double dash[2] = {3.0 * lineWidth, 3.0 * lineWidth};
        cairo_set_dash(cr, dash, 2, 0);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    } else {
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    cairo_stroke(cr);
}

void CDrawContext::lineTo(const CPoint& point) {
    drawLine(penLocation, point);
    penLocation = point;
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    const double o = strokeOffset();
    cairo_move_to(cr, from.h + o, from.v + o);
    cairo_line_to(cr, to.h + o, to.v + o);
    strokeCurrentPath();
}

void CDrawContext::polyLine(const CPoint* points, long count) {
    if (!points || count < 2) return;
    const double o = strokeOffset();
    cairo_move_to(cr, points[0].h + o, points[0].v + o);
    for (long i = 1; i < count; ++i) cairo_line_to(cr, points[i].h + o, points[i].v + o);
    strokeCurrentPath();
    penLocation = points[count - 1];
}

void CDrawContext::drawPolygon(const CPoint* points, long count, CDrawStyle style) {
    if (!points || count < 2) return;
    if (style != kDrawStroked) {
        cairo_move_to(cr, points[0].h, points[0].v);
        for (long i = 1; i < count; ++i) cairo_line_to(cr, points[i].h, points[i].v);
        cairo_close_path(cr);
        applyColor(fillColor);
        cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        const double o = strokeOffset();
        cairo_move_to(cr, points[0].h + o, points[0].v + o);
        for (long i = 1; i < count; ++i) cairo_line_to(cr, points[i].h + o, points[i].v + o);
        cairo_close_path(cr);
        strokeCurrentPath();
    }
}

void CDrawContext::drawRect(const CRect& r, CDrawStyle style) {
    CRect n = r;
    n.normalize();
    if (style != kDrawStroked) {
        cairo_rectangle(cr, n.left, n.top, n.width(), n.height());
        applyColor(fillColor);
        cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        // The outline stays inside the rectangle, one line width thick.
        const double half = lineWidth / 2.0;
        cairo_rectangle(cr, n.left + half, n.top + half, std::max(0.0, n.width() - 2 * half),
                        std::max(0.0, n.height() - 2 * half));
        strokeCurrentPath();
    }
}

void CDrawContext::drawEllipse(const CRect& r, CDrawStyle style) {
    CRect n = r;
    n.normalize();
    if (n.width() <= 0 || n.height() <= 0) return;
    auto ellipsePath = [&](double inset) {
        const double w = std::max(0.1, n.width() - 2 * inset), h = std::max(0.1, n.height() - 2 * inset);
        cairo_save(cr);
        cairo_translate(cr, n.left + n.width() / 2.0, n.top + n.height() / 2.0);
        cairo_scale(cr, w / 2.0, h / 2.0);
        cairo_new_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 6.283185307179586);
        cairo_restore(cr);
    };
    if (style != kDrawStroked) {
        ellipsePath(0);
        applyColor(fillColor);
        cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        ellipsePath(lineWidth / 2.0);
        strokeCurrentPath();
    }
}

void CDrawContext::drawPoint(const CPoint& p, const CColor& color) {
    cairo_rectangle(cr, p.h, p.v, 1, 1);
    applyColor(color);
    cairo_fill(cr);
}

long CDrawContext::getStringWidth(const char* text) {
    if (!text) return 0;
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    return (long)(extents.x_advance + 0.5);
}

void CDrawContext::drawString(const char* text, const CRect& rect, short opaque, CHoriTxtAlign align) {
    if (opaque) drawRect(rect, kDrawFilled);
    if (!text || !*text) return;
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cr);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, text, &te);
    double x = rect.left;
    if (align == kCenterText) x = rect.left + (rect.width() - te.x_advance) / 2.0;
    else if (align == kRightText) x = rect.right - te.x_advance;
    const double baseline = rect.top + (rect.height() + fe.ascent - fe.descent) / 2.0;
    x = (double)(long)(x + 0.5);
    const double y = (double)(long)(baseline + 0.5);
    applyColor(fontColor);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text);
    if (fontStyle & kUnderlineFace) {
        cairo_rectangle(cr, x, y + 1, te.x_advance, 1);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipRect.normalize();
    cairo_reset_clip(cr);
    cairo_rectangle(cr, clipRect.left, clipRect.top, clipRect.width(), clipRect.height());
    cairo_clip(cr);
}

void CDrawContext::resetClipRect() {
    setClipRect(CRect(0, 0, getWidth(), getHeight()));
}

static cairo_surface_t* makeFilledImage(long width, long height, const CColor& background) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1L, width), std::max(1L, height));
    cairo_t* c = cairo_create(s);
    cairo_set_source_rgb(c, background.red / 255.0, background.green / 255.0, background.blue / 255.0);
    cairo_paint(c);
    cairo_destroy(c);
    return s;
}

COffscreenContext::COffscreenContext(CFrame*, long width, long height, const CColor& background)
    : CDrawContext(makeFilledImage(width, height, background)) {
    cairo_surface_destroy(surface); // the creation reference; the context holds its own
}

void COffscreenContext::copyFrom(CDrawContext* dest, CRect destRect, CPoint srcOffset) {
    if (!dest) return;
    cairo_t* d = dest->getCairo();
    cairo_surface_flush(surface);
    cairo_save(d);
    cairo_rectangle(d, destRect.left, destRect.top, destRect.width(), destRect.height());
    cairo_clip(d);
    cairo_set_source_surface(d, surface, destRect.left - srcOffset.h, destRect.top - srcOffset.v);
    cairo_set_operator(d, CAIRO_OPERATOR_SOURCE);
    cairo_paint(d);
    cairo_restore(d);
}

namespace {
struct PngReader {
    const unsigned char* data;
    size_t size;
    size_t pos;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
    PngReader* r = static_cast<PngReader*>(closure);
    if (r->pos + length > r->size) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->data + r->pos, length);
    r->pos += length;
    return CAIRO_STATUS_SUCCESS;
}
} // namespace

CBitmap::CBitmap(long id) : resourceID(id) {
    EmbeddedPng png = findBitmapPng((int)id);
    if (!png.data) return;
    PngReader reader{png.data, png.size, 0};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readPng, &reader);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return;
    }
    surface = s;
    width = cairo_image_surface_get_width(s);
    height = cairo_image_surface_get_height(s);
}

CBitmap::CBitmap(long w, long h) : width(std::max(1L, w)), height(std::max(1L, h)) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
}

CBitmap::~CBitmap() {
    if (surface) cairo_surface_destroy(surface);
}

void CBitmap::paint(CDrawContext* context, const CRect& rect, const CPoint& offset, double alpha) {
    if (!surface || !context) return;
    cairo_t* d = context->getCairo();
    CRect r = rect;
    r.normalize();
    cairo_save(d);
    cairo_rectangle(d, r.left, r.top, r.width(), r.height());
    cairo_clip(d);
    cairo_set_source_surface(d, surface, r.left - offset.h, r.top - offset.v);
    // Outside the image nothing is painted, as with a copy of the image's own pixels.
    cairo_pattern_set_extend(cairo_get_source(d), CAIRO_EXTEND_NONE);
    cairo_pattern_set_filter(cairo_get_source(d), CAIRO_FILTER_NEAREST);
    cairo_paint_with_alpha(d, alpha);
    cairo_restore(d);
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    paint(context, rect, offset, 1.0);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    paint(context, rect, offset, 1.0);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset, unsigned char alpha) {
    paint(context, rect, offset, alpha / 255.0);
}
