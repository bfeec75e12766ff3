#include "editor/custom_controls.h"

#include <cmath>

#include "gui/frame.h"

namespace {
constexpr float kJogRange = 500.f;
constexpr float kRotaryRange = 200.f;
constexpr float kTwoPi = 6.2831853f;

void drawStrip(CBitmap* bitmap, CDrawContext* context, const CRect& size, const CPoint& offset, bool transparent) {
    if (!bitmap) return;
    if (transparent) bitmap->drawTransparent(context, size, offset);
    else bitmap->draw(context, size, offset);
}

bool ignoresPress(const CView* view, long buttons) {
    return !view->getMouseEnabled() || buttons == 0 || !(buttons & kLButton);
}

// The listener (modifier click) or Control-click to default took the press.
bool pressTakenElsewhere(CKnob* knob, CControlListener* listener, long buttons) {
    if ((buttons & kModifierMask) && listener && listener->controlModifierClicked(knob, buttons)) return true;
    return knob->checkDefaultValue(buttons);
}
} // namespace

// ---- CInstSelect -------------------------------------------------------------

CInstSelect::CInstSelect(const CRect& rect, CControlListener* l, long t, long sub, long heightOne,
                         CBitmap* background, const CPoint& off)
    : CAutoAnimation(rect, l, t, sub, heightOne, background, off) {
    vmin = 0.f;
    vmax = (float)(sub / 2 - 1);
    openWindow();
}

long CInstSelect::sourceOffset() const { return offset.v + (long)(2.f * heightOfOneImage * value); }

void CInstSelect::draw(CDrawContext* context) {
    drawStrip(pBackground, context, size, CPoint(offset.h, sourceOffset()), transparent);
    setDirty(false);
}

CMouseEventResult CInstSelect::onMouseDown(CPoint& where, const long& buttons) {
    if (ignoresPress(this, buttons)) return kMouseEventNotHandled;
    value += 0.5f; // the pressed image, shown until the release
    pressed = true;
    return kMouseEventHandled;
}

CMouseEventResult CInstSelect::onMouseUp(CPoint& where, const long& buttons) {
    if (!pressed) return kMouseEventNotHandled;
    pressed = false;
    value += 0.5f;
    if (value >= (float)(subPixmaps / 2)) value = 0.f;
    notify();
    setDirty();
    return kMouseEventHandled;
}

// ---- CJogDial ----------------------------------------------------------------

CJogDial::CJogDial(const CRect& rect, CControlListener* l, long t, CBitmap* background, CBitmap* handle,
                   const CPoint& off)
    : CKnob(rect, l, t, background, handle, off) {}

CMouseEventResult CJogDial::onMouseDown(CPoint& where, const long& buttons) {
    if (ignoresPress(this, buttons)) return kMouseEventNotHandled;
    if (pressTakenElsewhere(this, listener, buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    startValue = value;
    firstPoint = where;
    lastButtons = buttons;
    setLinearRange(kJogRange, buttons);
    dragging = true;
    beginEdit();
    return kMouseEventHandled;
}

CMouseEventResult CJogDial::onMouseMoved(CPoint& where, const long& buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    const long delta = (where.h - firstPoint.h) + (firstPoint.v - where.v);
    if ((buttons & kModifierMask) != (lastButtons & kModifierMask)) {
        const float oldPerPixel = perPixel;
        setLinearRange(kJogRange, buttons);
        startValue += (oldPerPixel - perPixel) * delta;
        lastButtons = buttons;
    }
    const float before = value;
    value = startValue + delta * perPixel;
    bounceValue();
    if (value != before) notify();
    return kMouseEventHandled;
}

CMouseEventResult CJogDial::onMouseUp(CPoint& where, const long& buttons) {
    if (!dragging) return kMouseEventNotHandled;
    endEdit();
    dragging = false;
    return kMouseEventHandled;
}

void CJogDial::springBack() {
    if (dragging || value <= 0.f) return;
    value -= 0.01f;
    if (value < 0.f) value = 0.f;
    setDirty();
}

// ---- CAnimJog ----------------------------------------------------------------

CAnimJog::CAnimJog(const CRect& rect, CControlListener* l, long t, long sub, long heightOne,
                   CBitmap* background, const CPoint& off)
    : CJogDial(rect, l, t, background, nullptr, off), subPixmaps(sub), heightOfOneImage(heightOne) {}

long CAnimJog::frameIndex() const { return (long)(std::fmod(value * 6.f, 1.f) * (float)(subPixmaps - 1)); }

void CAnimJog::draw(CDrawContext* context) {
    drawStrip(pBackground, context, size, CPoint(offset.h, offset.v + frameIndex() * heightOfOneImage), transparent);
    setDirty(false);
}

// ---- CRotary -----------------------------------------------------------------

CRotary::CRotary(const CRect& rect, CControlListener* l, long t, CBitmap* background, CBitmap* handle,
                 const CPoint& off)
    : CKnob(rect, l, t, background, handle, off) {}

float CRotary::wrapToSteps(float raw) {
    // AND on the two's-complement step number: -1 becomes step 31.
    return (float)(((int)(raw * 32.f)) & 31) / 32.f;
}

CMouseEventResult CRotary::onMouseDown(CPoint& where, const long& buttons) {
    if (ignoresPress(this, buttons)) return kMouseEventNotHandled;
    if (pressTakenElsewhere(this, listener, buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    const long mode = pParentFrame ? pParentFrame->getKnobMode() : (long)kLinearMode;
    const bool alt = (buttons & kAlt) != 0;
    circular = (mode == kLinearMode) ? alt : !alt;
    startValue = value;
    firstPoint = where;
    lastButtons = buttons;
    setLinearRange(kRotaryRange, buttons);
    turning = true;
    beginEdit();
    return kMouseEventHandled;
}

CMouseEventResult CRotary::onMouseMoved(CPoint& where, const long& buttons) {
    if (!turning || !(buttons & kLButton)) return kMouseEventNotHandled;
    const float before = value;
    if (circular) {
        const float x = (float)(where.h - size.left), y = (float)(where.v - size.top);
        float angle = std::atan2(radius - y, x - radius);
        if (angle < 0.f) angle += kTwoPi;
        // Bottom 0, left 0.25, top 0.5, right 0.75.
        value = wrapToSteps((kTwoPi - angle) / kTwoPi - 0.25f);
    } else {
        const long delta = (where.h - firstPoint.h) + (firstPoint.v - where.v);
        if ((buttons & kModifierMask) != (lastButtons & kModifierMask)) {
            const float oldPerPixel = perPixel;
            setLinearRange(kRotaryRange, buttons);
            startValue += (oldPerPixel - perPixel) * delta;
            lastButtons = buttons;
        }
        value = wrapToSteps(startValue + delta * perPixel);
        bounceValue();
    }
    if (value != before) notify();
    return kMouseEventHandled;
}

CMouseEventResult CRotary::onMouseUp(CPoint& where, const long& buttons) {
    if (!turning) return kMouseEventNotHandled;
    turning = false;
    endEdit();
    return kMouseEventHandled;
}

// ---- CAnimRotary -------------------------------------------------------------

CAnimRotary::CAnimRotary(const CRect& rect, CControlListener* l, long t, long sub, long heightOne,
                         CBitmap* background, const CPoint& off)
    : CRotary(rect, l, t, background, nullptr, off), subPixmaps(sub), heightOfOneImage(heightOne) {}

long CAnimRotary::sourceOffset() const {
    if (value <= 0.f || heightOfOneImage <= 0) return 0;
    const long last = heightOfOneImage * (subPixmaps - 1);
    const long t = (long)((float)last * value);
    // The first frame boundary past t; t itself at the end of the strip.
    const long next = (t / heightOfOneImage + 1) * heightOfOneImage;
    return next <= last ? next : t;
}

void CAnimRotary::draw(CDrawContext* context) {
    drawStrip(pBackground, context, size, CPoint(offset.h, offset.v + sourceOffset()), transparent);
    setDirty(false);
}

// ---- CMenuButton -------------------------------------------------------------

CMenuButton::CMenuButton(const CRect& rect, CControlListener* l, long t, CBitmap* background, CBitmap* pressed,
                         long s)
    : COptionMenu(rect, l, t, background, pressed, s) {}

void CMenuButton::draw(CDrawContext*) { setDirty(false); }

// ---- KLFakeControl -----------------------------------------------------------

KLFakeControl::KLFakeControl(const CRect& rect, CControlListener* l, long t, CBitmap* background)
    : CControl(rect, l, t, background) {}

void KLFakeControl::setAndNotify(float v) {
    if (v == value) return;
    value = v;
    notifyPending = true;
    setDirty();
}

void KLFakeControl::draw(CDrawContext*) {
    if (notifyPending) {
        notifyPending = false;
        notify();
    }
    setDirty(false);
}
