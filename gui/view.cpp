#include "gui/view.h"

#include "gui/frame.h"

CView::CView(const CRect& rect) : size(rect) {}

CView::~CView() {
    if (pBackground) pBackground->forget();
}

void CView::draw(CDrawContext* context) {
    if (pBackground) {
        if (transparent) pBackground->drawTransparent(context, size);
        else pBackground->draw(context, size);
    }
    setDirty(false);
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap == pBackground) return;
    if (bitmap) bitmap->remember();
    if (pBackground) pBackground->forget();
    pBackground = bitmap;
    setDirty();
}

CControl::CControl(const CRect& rect, CControlListener* l, long t, CBitmap* background)
    : CView(rect), listener(l), tag(t) {
    if (background) setBackground(background);
}

void CControl::bounceValue() {
    if (value > vmax) value = vmax;
    else if (value < vmin) value = vmin;
}

bool CControl::isDirty() const { return oldValue != value || CView::isDirty(); }

void CControl::setDirty(bool val) {
    CView::setDirty(val);
    // A value that cannot be the current one forces the next redraw.
    if (val) oldValue = (value != -1.f) ? -1.f : 0.f;
    else oldValue = value;
}

bool CControl::checkDefaultValue(long buttons) {
    if (buttons != (kControl | kLButton)) return false;
    beginEdit();
    value = defaultValue;
    if (isDirty()) notify();
    endEdit();
    return true;
}

void CControl::beginEdit() {
    if (pParentFrame && pParentFrame->getEditor()) pParentFrame->getEditor()->beginEdit(tag);
}

void CControl::endEdit() {
    if (pParentFrame && pParentFrame->getEditor()) pParentFrame->getEditor()->endEdit(tag);
}
