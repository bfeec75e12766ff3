#include "gui/frame.h"

#include <cairo.h>

#include <algorithm>

CFrame::CFrame(const CRect& rect, void* window, VSTGUIEditorInterface* owner)
    : CView(rect), editor(owner), systemWindow(window) {
    image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1L, rect.width()), std::max(1L, rect.height()));
    context = new CDrawContext(image);
    if (window) platform = createX11Platform((unsigned long)(uintptr_t)window, CRect(0, 0, rect.width(), rect.height()));
    pParentFrame = this;
}

CFrame::~CFrame() {
    modalView = nullptr;
    removeAll(true);
    delete platform;
    context->forget();
    cairo_surface_destroy(image);
}

bool CFrame::addView(CView* view) {
    if (!view || isChild(view)) return false;
    views.push_back(view);
    view->setFrame(this);
    view->setDirty(true);
    return true;
}

bool CFrame::removeView(CView* view, bool withForget) {
    auto it = std::find(views.begin(), views.end(), view);
    if (it == views.end()) return false;
    views.erase(it);
    if (mouseDownView == view) mouseDownView = nullptr;
    if (focusView == view) focusView = nullptr;
    fullRedraw = true;
    if (withForget) view->forget();
    return true;
}

void CFrame::removeAll(bool withForget) {
    std::vector<CView*> old;
    old.swap(views);
    mouseDownView = nullptr;
    focusView = nullptr;
    for (CView* v : old)
        if (withForget) v->forget();
    fullRedraw = true;
}

CView* CFrame::getView(long index) const {
    return (index >= 0 && index < (long)views.size()) ? views[index] : nullptr;
}

bool CFrame::isChild(CView* view) const { return std::find(views.begin(), views.end(), view) != views.end(); }

void CFrame::setBackground(CBitmap* bitmap) {
    CView::setBackground(bitmap);
    fullRedraw = true;
}

long CFrame::getKnobMode() const { return editor ? editor->getKnobMode() : (long)kLinearMode; }

void CFrame::redraw() { fullRedraw = true; }

void CFrame::drawBackground(const CRect& rect) {
    context->setClipRect(rect);
    if (pBackground) pBackground->draw(context, size);
    else {
        context->setFillColor(kBlackCColor);
        context->drawRect(size, kDrawFilled);
    }
}

void CFrame::draw(CDrawContext*) {
    drawBackground(size);
    for (CView* v : views) {
        if (!v->isVisible()) continue;
        context->setClipRect(v->getViewSize());
        v->draw(context);
        v->setDirty(false);
    }
    context->resetClipRect();
}

void CFrame::drawOneView(CView* view, CRect& changed) {
    // The panel goes back behind every redrawn view, so images with soft
    // edges and views that paint nothing never pile up over old pixels.
    const CRect& r = view->getViewSize();
    drawBackground(r);
    context->setClipRect(r);
    view->draw(context);
    view->setDirty(false);
    context->resetClipRect();
    changed.unite(r);
}

void CFrame::redrawDirty() {
    CRect changed;
    if (fullRedraw) {
        fullRedraw = false;
        draw(context);
        changed = size;
    } else {
        // Views may change one another while drawing; the copy keeps the walk safe.
        std::vector<CView*> snapshot = views;
        for (CView* v : snapshot)
            if (isChild(v) && v->isVisible() && v->isDirty()) drawOneView(v, changed);
    }
    if (modalView && (modalView->isDirty() || changed.rectOverlap(modalView->getViewSize()))) {
        context->resetClipRect();
        modalView->draw(context);
        modalView->setDirty(false);
        changed.unite(modalView->getViewSize());
    }
    cairo_surface_flush(image);
    if (platform && !changed.isEmpty()) platform->present(image, changed);
}

void CFrame::idle() {
    if (platform) platform->pumpEvents(this, 0);
    redrawDirty();
}

CView* CFrame::viewAt(const CPoint& where, const long& buttons, CMouseEventResult& result, CPoint& p) {
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* v = *it;
        if (!v->isVisible() || !v->getMouseEnabled() || !v->hitTest(where)) continue;
        p = where;
        result = v->onMouseDown(p, buttons);
        if (result != kMouseEventNotHandled) return v;
    }
    result = kMouseEventNotHandled;
    return nullptr;
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const long& buttons) {
    currentButtons = buttons;
    if (modalView) return modalView->onMouseDown(where, buttons);
    // A second button during a gesture: the view sees it as a change of buttons.
    if (mouseDownView) return mouseDownView->onMouseMoved(where, buttons);
    CMouseEventResult result;
    CPoint p;
    // The focused view (a text being edited) keeps focus only when clicked again.
    if (focusView && !focusView->hitTest(where)) setFocusView(nullptr);
    CView* v = viewAt(where, buttons, result, p);
    if (v && result == kMouseEventHandled) mouseDownView = v;
    return result;
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const long& buttons) {
    currentButtons = buttons;
    if (modalView) return modalView->onMouseUp(where, buttons);
    // The gesture ends with the last button; until then its view sees the change.
    if (mouseDownView && (buttons & (kLButton | kMButton | kRButton))) return mouseDownView->onMouseMoved(where, buttons);
    CView* v = mouseDownView;
    mouseDownView = nullptr;
    return v ? v->onMouseUp(where, buttons) : kMouseEventNotHandled;
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const long& buttons) {
    currentButtons = buttons;
    if (modalView) return modalView->onMouseMoved(where, buttons);
    return mouseDownView ? mouseDownView->onMouseMoved(where, buttons) : kMouseEventNotHandled;
}

long CFrame::onKeyDown(CKeyCode& key) {
    if (modalView) return modalView->onKeyDown(key);
    return focusView ? focusView->onKeyDown(key) : -1;
}

long CFrame::onKeyUp(CKeyCode& key) {
    if (modalView) return modalView->onKeyUp(key);
    return focusView ? focusView->onKeyUp(key) : -1;
}

void CFrame::setFocusView(CView* view) {
    if (view == focusView) return;
    CView* old = focusView;
    focusView = view;
    if (old) old->looseFocus();
    if (view && platform) platform->takeKeyboardFocus();
}

void CFrame::setModalView(CView* view) {
    if (view == modalView) return;
    if (modalView) fullRedraw = true; // uncover what lay below
    modalView = view;
    if (view) {
        view->setFrame(this);
        view->setDirty(true);
        if (platform) platform->takeKeyboardFocus();
    }
    if (mouseDownView) mouseDownView = nullptr;
}

bool CFrame::runModal(const std::function<bool()>& finished) {
    int guard = 0;
    while (!finished()) {
        if (platform) {
            if (!platform->isOpen()) return false;
            platform->pumpEvents(this, 20);
        } else {
            if (!modalHook || ++guard > 100000) return false;
            modalHook(this);
        }
        redrawDirty();
    }
    return true;
}

bool CFrame::renderToPNG(const char* path) {
    redrawDirty();
    return cairo_surface_write_to_png(image, path) == CAIRO_STATUS_SUCCESS;
}
