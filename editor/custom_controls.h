// The editor's own controls: a multi-state push button, a spring-back jog
// dial, a wrap-around 32-step rotary, an invisible menu and an invisible
// control that reports a value to its listener when it is drawn.
#pragma once

#include "gui/controls.h"
#include "gui/optionmenu.h"

// Shows sub-image 2n for state n and 2n + 1 while pressed; every click steps
// to the next state, wrapping to 0.
class CInstSelect : public CAutoAnimation {
public:
    CInstSelect(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
                long heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;
    // Source offset into the strip for the current value.
    long sourceOffset() const;

private:
    bool pressed = false;
};

// A knob dragged over 500 pixels (750 with Shift) for its whole range that
// falls back towards 0 on every idle step while it is not held.
class CJogDial : public CKnob {
public:
    CJogDial(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
             CBitmap* handle = nullptr, const CPoint& offset = CPoint(0, 0));
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;
    // One spring-back step: 0.01 nearer to 0 unless the dial is held.
    void springBack();
    bool isDragging() const { return dragging; }

protected:
    bool dragging = false;
};

// The jog dial as a strip of images turning six times over the range.
class CAnimJog : public CJogDial {
public:
    CAnimJog(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
             long heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
    void draw(CDrawContext* context) override;
    long frameIndex() const;

private:
    long subPixmaps;
    long heightOfOneImage;
};

// A knob whose value stays on 32 steps and wraps around instead of stopping.
class CRotary : public CKnob {
public:
    CRotary(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
            CBitmap* handle = nullptr, const CPoint& offset = CPoint(0, 0));
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;

    static float wrapToSteps(float raw);

protected:
    bool turning = false;
    bool circular = false;
};

class CAnimRotary : public CRotary {
public:
    CAnimRotary(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
                long heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
    void draw(CDrawContext* context) override;
    long sourceOffset() const;

private:
    long subPixmaps;
    long heightOfOneImage;
};

// A pop-up menu that paints nothing: its label belongs to the panel.
class CMenuButton : public COptionMenu {
public:
    CMenuButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background = nullptr,
                CBitmap* pressed = nullptr, long style = 0);
    void draw(CDrawContext* context) override;
};

// Invisible; a value set here reaches the listener from the next redraw.
class KLFakeControl : public CControl {
public:
    KLFakeControl(const CRect& size, CControlListener* listener, long tag, CBitmap* background = nullptr);
    void setAndNotify(float value);
    void draw(CDrawContext* context) override;
    bool isNotifyPending() const { return notifyPending; }

private:
    bool notifyPending = true;
};
