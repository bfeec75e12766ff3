#include "gui/controls.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "gui/frame.h"

namespace {
constexpr float kTwoPi = 6.2831853f;
constexpr float kLinearRange = 200.f;

void drawImage(CBitmap* bitmap, CDrawContext* context, const CRect& rect, const CPoint& offset, bool transparent) {
    if (!bitmap) return;
    if (transparent) bitmap->drawTransparent(context, rect, offset);
    else bitmap->draw(context, rect, offset);
}
} // namespace

// ---- CKnob -------------------------------------------------------------------

CKnob::CKnob(const CRect& rect, CControlListener* l, long t, CBitmap* background, CBitmap* handle,
             const CPoint& off)
    : CControl(rect, l, t, background), pHandle(handle), offset(off) {
    if (pHandle) {
        pHandle->remember();
        inset = (long)(pHandle->getWidth() * 0.5 + 2.5);
    }
    radius = (float)(rect.right - rect.left) / 2.f;
}

CKnob::~CKnob() {
    if (pHandle) pHandle->forget();
}

void CKnob::draw(CDrawContext* context) {
    drawImage(pBackground, context, size, offset, transparent);
    drawHandle(context);
    setDirty(false);
}

void CKnob::valueToPoint(CPoint& point) const {
    const float span = vmax - vmin;
    const float t = span != 0.f ? (value - vmin) / span : 0.f;
    const float alpha = startAngle + t * rangeAngle;
    point.h = (long)(radius + std::cos(alpha) * (radius - inset) + 0.5f);
    point.v = (long)(radius - std::sin(alpha) * (radius - inset) + 0.5f);
}

float CKnob::angleOf(const CPoint& p) const {
    float alpha = std::atan2(radius - (float)p.v, (float)p.h - radius);
    if (alpha < 0.f) alpha += kTwoPi;
    return alpha;
}

float CKnob::valueFromPoint(const CPoint& p) const {
    const float sweep = std::fabs(rangeAngle);
    if (sweep <= 0.f) return vmin;
    // Angle travelled from the start in the knob's direction, 0 .. 2 pi.
    float travelled = rangeAngle < 0.f ? startAngle - angleOf(p) : angleOf(p) - startAngle;
    travelled = std::fmod(travelled + 2.f * kTwoPi, kTwoPi);
    float t;
    if (travelled <= sweep) t = travelled / sweep;
    else t = (travelled < sweep + (kTwoPi - sweep) / 2.f) ? 1.f : 0.f; // the gap: nearer end
    return vmin + t * (vmax - vmin);
}

void CKnob::drawHandle(CDrawContext* context) {
    CPoint where;
    valueToPoint(where);
    where.offset(size.left, size.top);
    if (pHandle) {
        const long w = pHandle->getWidth(), h = pHandle->getHeight();
        CRect r(where.h - w / 2, where.v - h / 2, where.h - w / 2 + w, where.v - h / 2 + h);
        pHandle->drawTransparent(context, r);
        return;
    }
    CPoint centre(size.left + (long)radius, size.top + (long)radius);
    context->setLineWidth(1);
    context->setLineStyle(kLineSolid);
    context->setFrameColor(colorShadowHandle);
    context->drawLine(CPoint(centre.h + 1, centre.v + 1), CPoint(where.h + 1, where.v + 1));
    context->setFrameColor(colorHandle);
    context->drawLine(centre, where);
}

void CKnob::setLinearRange(float pixels, long buttons) {
    float range = pixels;
    if (buttons & kShift) range *= zoomFactor;
    perPixel = (vmax - vmin) / range;
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const long& buttons) {
    if (!mouseEnabled || !(buttons & kLButton)) return kMouseEventNotHandled;
    if ((buttons & kModifierMask) && listener && listener->controlModifierClicked(this, buttons))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;

    const long mode = pParentFrame ? pParentFrame->getKnobMode() : (long)kLinearMode;
    const bool linear = (mode == kLinearMode) != ((buttons & kAlt) != 0);
    gesture = linear ? kLinear : (mode == kCircularMode ? kCircular : kRelativeCircular);
    firstPoint = lastPoint = where;
    startValue = value;
    lastButtons = buttons;
    setLinearRange(kLinearRange, buttons);
    beginEdit();
    if (gesture == kCircular) {
        const float before = value;
        value = valueFromPoint(CPoint(where.h - size.left, where.v - size.top));
        if (value != before) notify();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const long& buttons) {
    if (gesture == kNone || !(buttons & kLButton)) return kMouseEventNotHandled;
    const float before = value;
    if (gesture == kLinear) {
        const long delta = (where.h - firstPoint.h) + (firstPoint.v - where.v);
        if ((buttons & kModifierMask) != (lastButtons & kModifierMask)) {
            // Re-base so that a change of Shift does not make the value jump.
            const float oldPerPixel = perPixel;
            setLinearRange(kLinearRange, buttons);
            startValue += (oldPerPixel - perPixel) * delta;
            lastButtons = buttons;
        }
        value = startValue + delta * perPixel;
    } else if (gesture == kCircular) {
        value = valueFromPoint(CPoint(where.h - size.left, where.v - size.top));
    } else {
        float turned = angleOf(CPoint(lastPoint.h - size.left, lastPoint.v - size.top)) -
                       angleOf(CPoint(where.h - size.left, where.v - size.top));
        if (turned > kTwoPi / 2) turned -= kTwoPi;
        if (turned < -kTwoPi / 2) turned += kTwoPi;
        // Clockwise turning raises a knob whose range runs clockwise.
        float step = turned / std::fabs(rangeAngle) * (vmax - vmin);
        if (rangeAngle > 0) step = -step;
        if (buttons & kShift) step /= zoomFactor;
        value += step;
    }
    lastPoint = where;
    bounceValue();
    if (value != before) notify();
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint& where, const long& buttons) {
    if (gesture == kNone) return kMouseEventNotHandled;
    gesture = kNone;
    endEdit();
    return kMouseEventHandled;
}

// ---- CAnimKnob ---------------------------------------------------------------

CAnimKnob::CAnimKnob(const CRect& rect, CControlListener* l, long t, long sub, long heightOne,
                     CBitmap* background, const CPoint& off)
    : CKnob(rect, l, t, background, nullptr, off), subPixmaps(sub), heightOfOneImage(heightOne) {}

void CAnimKnob::draw(CDrawContext* context) {
    float v = inverseBitmap ? 1.f - value : value;
    long index = v >= 0.f ? (long)(v * (float)(subPixmaps - 1) + 0.5f) : 0;
    if (index > subPixmaps - 1) index = subPixmaps - 1;
    if (index < 0) index = 0;
    drawImage(pBackground, context, size, CPoint(offset.h, offset.v + index * heightOfOneImage), transparent);
    setDirty(false);
}

// ---- COnOffButton ------------------------------------------------------------

COnOffButton::COnOffButton(const CRect& rect, CControlListener* l, long t, CBitmap* background, long s)
    : CControl(rect, l, t, background), style(s) {}

void COnOffButton::draw(CDrawContext* context) {
    const long off = (value != 0.f && pBackground) ? pBackground->getHeight() / 2 : 0;
    drawImage(pBackground, context, size, CPoint(0, off), transparent);
    setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint& where, const long& buttons) {
    if (!mouseEnabled || !(buttons & kLButton)) return kMouseEventNotHandled;
    value = ((long)value) ? 0.f : 1.f;
    beginEdit();
    notify();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---- CKickButton -------------------------------------------------------------

CKickButton::CKickButton(const CRect& rect, CControlListener* l, long t, long heightOne,
                         CBitmap* background, const CPoint& off)
    : CControl(rect, l, t, background), heightOfOneImage(heightOne), offset(off) {}

void CKickButton::draw(CDrawContext* context) {
    const long off = value != 0.f ? heightOfOneImage : 0;
    drawImage(pBackground, context, size, CPoint(offset.h, offset.v + off), transparent);
    setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const long& buttons) {
    if (!mouseEnabled || !(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    value = vmax;
    notify();
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const long& buttons) {
    const float wanted = size.pointInside(where) ? vmax : vmin;
    if (wanted != value) {
        value = wanted;
        notify();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint& where, const long& buttons) {
    if (value != vmin) {
        value = vmin;
        notify();
    }
    endEdit();
    return kMouseEventHandled;
}

// ---- CHorizontalSlider -------------------------------------------------------

CHorizontalSlider::CHorizontalSlider(const CRect& rect, CControlListener* l, long t, long iMinPos,
                                     long iMaxPos, CBitmap* handle, CBitmap* background,
                                     const CPoint& off, long s)
    : CControl(rect, l, t, background), pHandle(handle), offset(off), style(s),
      minPos(iMinPos - rect.left), rangeHandle(iMaxPos - iMinPos) {
    if (pHandle) pHandle->remember();
    transparent = false;
}

CHorizontalSlider::~CHorizontalSlider() {
    if (pHandle) pHandle->forget();
}

float CHorizontalSlider::normalized() const {
    const float span = vmax - vmin;
    float n = span != 0.f ? (value - vmin) / span : 0.f;
    if (n < 0.f) n = 0.f;
    if (n > 1.f) n = 1.f;
    return (style & kRight) ? 1.f - n : n;
}

long CHorizontalSlider::handleLeft() const { return size.left + minPos + (long)(normalized() * rangeHandle); }

void CHorizontalSlider::draw(CDrawContext* context) {
    drawImage(pBackground, context, size, offset, transparent);
    if (pHandle) {
        const long left = handleLeft();
        const long top = size.top + (size.height() - pHandle->getHeight()) / 2;
        CRect r(left, top, left + pHandle->getWidth(), top + pHandle->getHeight());
        drawImage(pHandle, context, r, CPoint(0, 0), transparentHandle);
    }
    setDirty(false);
}

float CHorizontalSlider::valueAt(long x) const {
    const long handleWidth = pHandle ? pHandle->getWidth() : 0;
    float n = rangeHandle > 0 ? (float)(x - size.left - minPos - handleWidth / 2) / (float)rangeHandle : 0.f;
    if (style & kRight) n = 1.f - n;
    return vmin + n * (vmax - vmin);
}

CMouseEventResult CHorizontalSlider::onMouseDown(CPoint& where, const long& buttons) {
    if (!mouseEnabled || !(buttons & kLButton)) return kMouseEventNotHandled;
    if ((buttons & kModifierMask) && listener && listener->controlModifierClicked(this, buttons))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    fine = false;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CHorizontalSlider::onMouseMoved(CPoint& where, const long& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    const float before = value;
    if (buttons & kShift) {
        // Fine: the value follows the mouse zoomFactor times slower from where Shift began.
        if (!fine) { fine = true; fineX = where.h; fineValue = value; }
        const float n = rangeHandle > 0 ? (float)(where.h - fineX) / (float)rangeHandle / zoomFactor : 0.f;
        value = fineValue + ((style & kRight) ? -n : n) * (vmax - vmin);
    } else {
        fine = false;
        value = valueAt(where.h);
    }
    bounceValue();
    if (value != before) notify();
    return kMouseEventHandled;
}

CMouseEventResult CHorizontalSlider::onMouseUp(CPoint& where, const long& buttons) {
    endEdit();
    return kMouseEventHandled;
}

// ---- CParamDisplay -----------------------------------------------------------

CParamDisplay::CParamDisplay(const CRect& rect, CBitmap* background, long s)
    : CControl(rect, nullptr, 0, background), style(s) {}

std::string CParamDisplay::displayText() const {
    char text[256] = {0};
    if (stringConvert) stringConvert(value, text);
    else if (stringConvertData) stringConvertData(value, text, userData_);
    else std::snprintf(text, sizeof(text), "%2.2f", value);
    text[255] = 0;
    return text;
}

void CParamDisplay::drawBox(CDrawContext* context) {
    if (pBackground) drawImage(pBackground, context, size, CPoint(0, 0), transparent);
    else if (!textTransparent) {
        context->setFillColor(backColor);
        context->drawRect(size, kDrawFilled);
    }
    if (style & (k3DIn | k3DOut)) {
        // Bevel: light on the lit edges, dark on the others.
        const CColor light = MakeCColor(200, 205, 215), dark = MakeCColor(20, 24, 30);
        context->setLineWidth(1);
        context->setLineStyle(kLineSolid);
        context->setFrameColor((style & k3DIn) ? dark : light);
        context->drawLine(CPoint(size.left, size.bottom - 1), CPoint(size.left, size.top));
        context->drawLine(CPoint(size.left, size.top), CPoint(size.right - 1, size.top));
        context->setFrameColor((style & k3DIn) ? light : dark);
        context->drawLine(CPoint(size.right - 1, size.top), CPoint(size.right - 1, size.bottom - 1));
        context->drawLine(CPoint(size.right - 1, size.bottom - 1), CPoint(size.left, size.bottom - 1));
    } else if (!(style & kNoFrame) && !pBackground && !textTransparent) {
        context->setLineWidth(1);
        context->setLineStyle(kLineSolid);
        context->setFrameColor(frameColor);
        context->drawRect(size, kDrawStroked);
    }
}

void CParamDisplay::drawTextIn(CDrawContext* context, const char* text, const CRect& rect) {
    context->setFont(fontID, 0, txtFace);
    if (style & kShadowText) {
        CRect shadow = rect;
        shadow.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadow, false, horiAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, rect, false, horiAlign);
}

void CParamDisplay::draw(CDrawContext* context) {
    if (!(style & kNoDrawStyle)) {
        drawBox(context);
        if (!(style & kNoTextStyle)) {
            CRect inner = size;
            inner.inset(1, 0);
            drawTextIn(context, displayText().c_str(), inner);
        }
    }
    setDirty(false);
}

// ---- CTextEdit ---------------------------------------------------------------

CTextEdit::CTextEdit(const CRect& rect, CControlListener* l, long t, const char* txt, CBitmap* background, long s)
    : CParamDisplay(rect, background, s) {
    listener = l;
    tag = t;
    setText(txt);
}

void CTextEdit::setText(const char* txt) {
    text = txt ? txt : "";
    if (text.size() > kMaxLength) text.resize(kMaxLength);
    if (editing) { editText = text; caret = editText.size(); }
    setDirty();
}

void CTextEdit::getText(char* out) const {
    if (!out) return;
    std::memcpy(out, text.c_str(), text.size() + 1);
}

void CTextEdit::draw(CDrawContext* context) {
    drawBox(context);
    CRect inner = size;
    inner.inset(2, 0);
    const std::string& shown = editing ? editText : text;
    drawTextIn(context, shown.c_str(), inner);
    if (editing) {
        // Caret after the first `caret` characters of the shown text.
        const long full = context->getStringWidth(shown.c_str());
        const long before = context->getStringWidth(shown.substr(0, caret).c_str());
        long x = inner.left;
        if (horiAlign == kCenterText) x = inner.left + (inner.width() - full) / 2;
        else if (horiAlign == kRightText) x = inner.right - full;
        x += before;
        context->setLineWidth(1);
        context->setLineStyle(kLineSolid);
        context->setFrameColor(fontColor);
        context->drawLine(CPoint(x, size.top + 2), CPoint(x, size.bottom - 3));
    }
    setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint& where, const long& buttons) {
    if (!mouseEnabled || !(buttons & kLButton)) return kMouseEventNotHandled;
    if (!editing) takeFocus();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus() {
    if (editing) return;
    editing = true;
    editText = text;
    caret = editText.size();
    if (pParentFrame) pParentFrame->setFocusView(this);
    setDirty();
}

void CTextEdit::looseFocus() {
    if (editing) finishEditing(true);
}

void CTextEdit::finishEditing(bool keep) {
    if (!editing) return;
    editing = false;
    const bool changed = keep && editText != text;
    if (keep) text = editText;
    if (pParentFrame && pParentFrame->getFocusView() == this) pParentFrame->setFocusView(nullptr);
    setDirty();
    if (changed) notify();
}

long CTextEdit::onKeyDown(CKeyCode& key) {
    if (!editing) return -1;
    const bool enter = key.virt == VKEY_RETURN || key.virt == VKEY_ENTER || key.character == '\r' ||
                       key.character == '\n';
    if (enter) finishEditing(true);
    else if (key.virt == VKEY_ESCAPE || key.character == 27) finishEditing(false);
    else if (key.virt == VKEY_BACK || key.character == 8) {
        if (caret > 0) editText.erase(--caret, 1);
    } else if (key.virt == VKEY_DELETE || key.character == 127) {
        if (caret < editText.size()) editText.erase(caret, 1);
    } else if (key.virt == VKEY_LEFT) {
        if (caret > 0) --caret;
    } else if (key.virt == VKEY_RIGHT) {
        if (caret < editText.size()) ++caret;
    } else if (key.virt == VKEY_HOME) caret = 0;
    else if (key.virt == VKEY_END) caret = editText.size();
    else if (key.virt == 0 && key.character >= 32 && key.character < 256) {
        if (editText.size() < kMaxLength) editText.insert(caret++, 1, (char)key.character);
    } else return -1;
    setDirty();
    return 1;
}

// ---- CAutoAnimation ----------------------------------------------------------

CAutoAnimation::CAutoAnimation(const CRect& rect, CControlListener* l, long t, long sub, long heightOne,
                               CBitmap* background, const CPoint& off)
    : CControl(rect, l, t, background), offset(off), subPixmaps(sub), heightOfOneImage(heightOne),
      totalHeightOfBitmap(sub * heightOne) {
    vmin = 0.f;
    vmax = (float)totalHeightOfBitmap;
}

void CAutoAnimation::draw(CDrawContext* context) {
    if (windowOpened)
        drawImage(pBackground, context, size, CPoint(offset.h, offset.v + (long)value), transparent);
    setDirty(false);
}

CMouseEventResult CAutoAnimation::onMouseDown(CPoint& where, const long& buttons) {
    if (!mouseEnabled || !(buttons & kLButton)) return kMouseEventNotHandled;
    value = 0.f;
    if (windowOpened) closeWindow();
    else openWindow();
    notify();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CAutoAnimation::nextPixmap() {
    value += (float)heightOfOneImage;
    if (value >= (float)totalHeightOfBitmap) value = 0.f;
    setDirty();
}

void CAutoAnimation::previousPixmap() {
    value -= (float)heightOfOneImage;
    if (value < 0.f) value = (float)(totalHeightOfBitmap - heightOfOneImage);
    setDirty();
}
