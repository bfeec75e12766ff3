// Drawing on cairo: the frame's context, offscreen images and bitmaps.
#pragma once

#include "gui/base.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

class CFrame;
class CDrawContext;

// Face and pixel size behind each font index.
struct FontSpec {
    const char* family;
    double size;
};
const FontSpec& fontSpec(CFont font);

class CDrawContext : public CBaseObject {
public:
    // Draws on the surface; keeps its own reference to it.
    explicit CDrawContext(cairo_surface_t* surface);
    ~CDrawContext() override;

    void setLineWidth(long width);
    long getLineWidth() const { return lineWidth; }
    void setLineStyle(CLineStyle style);
    CLineStyle getLineStyle() const { return lineStyle; }
    void setDrawMode(CDrawMode mode);
    CDrawMode getDrawMode() const { return drawMode; }
    void setFrameColor(const CColor& color) { frameColor = color; }
    CColor getFrameColor() const { return frameColor; }
    void setFillColor(const CColor& color) { fillColor = color; }
    CColor getFillColor() const { return fillColor; }
    void setFontColor(const CColor& color) { fontColor = color; }
    CColor getFontColor() const { return fontColor; }
    void setFont(CFont font, long size = 0, long style = kNormalFace);
    CFont getFont() const { return font; }
    long getFontSize() const { return fontSize; }

    void moveTo(const CPoint& point) { penLocation = point; }
    void lineTo(const CPoint& point);
    void getLoc(CPoint& where) const { where = penLocation; }
    void drawLine(const CPoint& from, const CPoint& to);
    void polyLine(const CPoint* points, long count);
    void drawPolygon(const CPoint* points, long count, CDrawStyle style = kDrawStroked);
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }
    void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);
    void fillEllipse(const CRect& rect) { drawEllipse(rect, kDrawFilled); }
    void drawPoint(const CPoint& point, const CColor& color);

    long getStringWidth(const char* text);
    // Vertically centred in the rectangle; opaque fills it with the fill colour first.
    void drawString(const char* text, const CRect& rect, short opaque = false,
                    CHoriTxtAlign align = kCenterText);

    void setClipRect(const CRect& clip);
    void getClipRect(CRect& clip) const { clip = clipRect; }
    void resetClipRect();

    long getWidth() const;
    long getHeight() const;
    cairo_t* getCairo() const { return cr; }
    cairo_surface_t* getSurface() const { return surface; }

protected:
    void applyColor(const CColor& color);
    void applyFont();
    void strokeCurrentPath();
    double strokeOffset() const { return (lineWidth % 2) ? 0.5 : 0.0; }

    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    long lineWidth = 1;
    CLineStyle lineStyle = kLineSolid;
    CDrawMode drawMode = kAntialias;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kWhiteCColor;
    CFont font = kSystemFont;
    long fontSize = 0;
    long fontStyle = kNormalFace;
    CPoint penLocation;
    CRect clipRect;
};

// An image of its own to draw into and copy onto another context in one step.
class COffscreenContext : public CDrawContext {
public:
    COffscreenContext(CFrame* frame, long width, long height,
                      const CColor& background = kBlackCColor);
    // Copies the image, from srcOffset on, into destRect of dest.
    void copyFrom(CDrawContext* dest, CRect destRect, CPoint srcOffset = CPoint(0, 0));
};

class CBitmap : public CBaseObject {
public:
    // Decodes the embedded image of the resource id; isLoaded() tells success.
    explicit CBitmap(long resourceID);
    // A blank transparent image.
    CBitmap(long width, long height);
    ~CBitmap() override;

    long getWidth() const { return width; }
    long getHeight() const { return height; }
    long getResourceID() const { return resourceID; }
    bool isLoaded() const { return surface != nullptr; }

    // Both draw the part at offset into rect, blended by the image's own
    // alpha as PNG images are; the artwork of plainly drawn ids is opaque.
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0));
    void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0));
    void drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset, unsigned char alpha);

    cairo_surface_t* getSurface() const { return surface; }

private:
    void paint(CDrawContext* context, const CRect& rect, const CPoint& offset, double alpha);

    cairo_surface_t* surface = nullptr;
    long width = 0;
    long height = 0;
    long resourceID = 0;
};
