// The stock controls the editor builds on: knobs, buttons, a slider, text
// displays, a text field and the animation base of the multi-state buttons.
#pragma once

#include <string>

#include "gui/view.h"

class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset = CPoint(0, 0));
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;

    virtual void drawHandle(CDrawContext* context);
    void setStartAngle(float angle) { startAngle = angle; }
    float getStartAngle() const { return startAngle; }
    void setRangeAngle(float angle) { rangeAngle = angle; }
    float getRangeAngle() const { return rangeAngle; }
    void setInsetValue(long value) { inset = value; }
    long getInsetValue() const { return inset; }
    void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }
    float getRadius() const { return radius; }
    void setColorHandle(const CColor& color) { colorHandle = color; }
    void setColorShadowHandle(const CColor& color) { colorShadowHandle = color; }
    // Point of the handle for the current value, relative to the top-left corner.
    void valueToPoint(CPoint& point) const;
    // Value for a point relative to the top-left corner, on the knob's arc.
    float valueFromPoint(const CPoint& point) const;

protected:
    // Linear range in pixels for the full value range, and the value per pixel.
    void setLinearRange(float pixels, long buttons);
    float angleOf(const CPoint& relative) const;

    CBitmap* pHandle = nullptr;
    CPoint offset;
    long inset = 3;
    float startAngle = 3.926991f;
    float rangeAngle = -4.712389f;
    float zoomFactor = 1.5f;
    float radius = 0.f;
    CColor colorHandle = MakeCColor(255, 255, 255);
    CColor colorShadowHandle = MakeCColor(60, 60, 60);

    // gesture state
    enum Gesture { kNone, kLinear, kCircular, kRelativeCircular };
    Gesture gesture = kNone;
    CPoint firstPoint;
    CPoint lastPoint;
    float startValue = 0.f;
    float perPixel = 0.f;
    long lastButtons = 0;
};

class CAnimKnob : public CKnob {
public:
    CAnimKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
              long heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
    void draw(CDrawContext* context) override;
    void setInverseBitmap(bool value) { inverseBitmap = value; }
    long getSubPixmaps() const { return subPixmaps; }
    long getHeightOfOneImage() const { return heightOfOneImage; }

protected:
    long subPixmaps;
    long heightOfOneImage;
    bool inverseBitmap = false;
};

// Toggles between its two images (off above, on below) on every click.
class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                 long style = 0);
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;

protected:
    long style;
};

// Maximum while pressed (lower image), minimum again on release; the
// listener hears both.
class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, long tag, long heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0));
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;

protected:
    long heightOfOneImage;
    CPoint offset;
};

// A handle bitmap moving over a background; the handle's left edge travels
// from iMinPos to iMaxPos (frame x). Style kLeft puts the minimum at the left.
class CHorizontalSlider : public CControl {
public:
    CHorizontalSlider(const CRect& size, CControlListener* listener, long tag, long iMinPos,
                      long iMaxPos, CBitmap* handle, CBitmap* background,
                      const CPoint& offset = CPoint(0, 0), long style = kLeft);
    ~CHorizontalSlider() override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;
    void setZoomFactor(float factor) { zoomFactor = factor; }
    void setDrawTransparentHandle(bool value) { transparentHandle = value; }
    // Left edge of the handle for the current value, in frame x.
    long handleLeft() const;

protected:
    float valueAt(long x) const;
    float normalized() const;

    CBitmap* pHandle = nullptr;
    CPoint offset;
    long style;
    long minPos;
    long rangeHandle;
    float zoomFactor = 10.f;
    bool transparentHandle = true;
    bool fine = false;
    long fineX = 0;
    float fineValue = 0.f;
};

using ValueToText = void (*)(float value, char* text);
using ValueToTextWithData = void (*)(float value, char* text, void* userData);

class CParamDisplay : public CControl {
public:
    explicit CParamDisplay(const CRect& size, CBitmap* background = nullptr, long style = 0);
    void draw(CDrawContext* context) override;

    void setFont(CFont font) { fontID = font; setDirty(); }
    CFont getFont() const { return fontID; }
    void setTxtFace(long face) { txtFace = face; setDirty(); }
    void setFontColor(const CColor& c) { fontColor = c; setDirty(); }
    CColor getFontColor() const { return fontColor; }
    void setBackColor(const CColor& c) { backColor = c; setDirty(); }
    CColor getBackColor() const { return backColor; }
    void setFrameColor(const CColor& c) { frameColor = c; setDirty(); }
    void setShadowColor(const CColor& c) { shadowColor = c; setDirty(); }
    void setHoriAlign(CHoriTxtAlign align) { horiAlign = align; setDirty(); }
    void setStyle(long s) { style = s; setDirty(); }
    long getStyle() const { return style; }
    void setTextTransparency(bool value) { textTransparent = value; setDirty(); }
    void setStringConvert(ValueToText convert) { stringConvert = convert; stringConvertData = nullptr; setDirty(); }
    void setStringConvert(ValueToTextWithData convert, void* userData) {
        stringConvertData = convert; userData_ = userData; stringConvert = nullptr; setDirty();
    }
    // The text the display shows for its current value.
    std::string displayText() const;

protected:
    void drawBox(CDrawContext* context);
    void drawTextIn(CDrawContext* context, const char* text, const CRect& rect);

    long style;
    CFont fontID = kSystemFont;
    long txtFace = kNormalFace;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = MakeCColor(60, 60, 60);
    CHoriTxtAlign horiAlign = kCenterText;
    bool textTransparent = false;
    ValueToText stringConvert = nullptr;
    ValueToTextWithData stringConvertData = nullptr;
    void* userData_ = nullptr;
};

// Click to edit; Enter or a click elsewhere keeps the text, Escape restores
// it. The listener hears a changed text when editing ends.
class CTextEdit : public CParamDisplay {
public:
    CTextEdit(const CRect& size, CControlListener* listener, long tag, const char* text = nullptr,
              CBitmap* background = nullptr, long style = 0);
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    long onKeyDown(CKeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;

    void setText(const char* text);
    void getText(char* text) const;    // copies at most 255 characters and the terminator
    const std::string& getText() const { return text; }
    bool isEditing() const { return editing; }

    static constexpr size_t kMaxLength = 255;

protected:
    void finishEditing(bool keep);

    std::string text;
    std::string editText;
    size_t caret = 0;
    bool editing = false;
};

// A strip of images shown one at a time once its window is open; the value
// is the pixel offset of the shown image.
class CAutoAnimation : public CControl {
public:
    CAutoAnimation(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
                   long heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    void openWindow() { windowOpened = true; setDirty(); }
    void closeWindow() { windowOpened = false; setDirty(); }
    bool isWindowOpened() const { return windowOpened; }
    void nextPixmap();
    void previousPixmap();

protected:
    CPoint offset;
    long subPixmaps;
    long heightOfOneImage;
    long totalHeightOfBitmap;
    bool windowOpened = false;
};
