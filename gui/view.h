// Views and controls: a rectangle in the frame that draws itself and takes
// mouse and key events; a control adds a value that its listener hears about.
#pragma once

#include "gui/drawcontext.h"

class CFrame;
class CControl;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    // A click with a modifier; non-zero means the listener took it.
    virtual long controlModifierClicked(CControl* control, long button) { return 0; }
};

class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    // Mouse events arrive in frame coordinates. A view that answers
    // kMouseEventHandled to the press gets the moves and the release.
    virtual CMouseEventResult onMouseDown(CPoint& where, const long& buttons) { return kMouseEventNotHandled; }
    virtual CMouseEventResult onMouseUp(CPoint& where, const long& buttons) { return kMouseEventNotHandled; }
    virtual CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) { return kMouseEventNotHandled; }
    // 1 when the key was used, -1 otherwise.
    virtual long onKeyDown(CKeyCode& key) { return -1; }
    virtual long onKeyUp(CKeyCode& key) { return -1; }
    virtual void takeFocus() {}
    virtual void looseFocus() {}
    virtual bool hitTest(const CPoint& where) const { return size.pointInside(where); }

    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(bool value = true) { dirty = value; }
    void invalid() { setDirty(true); }

    void setMouseEnabled(bool enabled) { mouseEnabled = enabled; }
    bool getMouseEnabled() const { return mouseEnabled; }
    void setTransparency(bool value) { transparent = value; }
    bool getTransparency() const { return transparent; }
    void setVisible(bool value) { visible = value; setDirty(); }
    bool isVisible() const { return visible; }

    const CRect& getViewSize() const { return size; }
    void getViewSize(CRect& rect) const { rect = size; }
    virtual void setViewSize(const CRect& rect) { size = rect; setDirty(); }
    long getWidth() const { return size.width(); }
    long getHeight() const { return size.height(); }

    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return pBackground; }

    CFrame* getFrame() const { return pParentFrame; }
    void setFrame(CFrame* frame) { pParentFrame = frame; }

protected:
    CRect size;
    CFrame* pParentFrame = nullptr;
    CBitmap* pBackground = nullptr;
    bool dirty = true;
    bool mouseEnabled = true;
    bool transparent = false;
    bool visible = true;
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, long tag = 0,
             CBitmap* background = nullptr);

    virtual void setValue(float v) { value = v; }
    float getValue() const { return value; }
    void setMin(float v) { vmin = v; }
    float getMin() const { return vmin; }
    void setMax(float v) { vmax = v; }
    float getMax() const { return vmax; }
    void setDefaultValue(float v) { defaultValue = v; }
    float getDefaultValue() const { return defaultValue; }
    void setTag(long t) { tag = t; }
    long getTag() const { return tag; }
    void setListener(CControlListener* l) { listener = l; }
    CControlListener* getListener() const { return listener; }
    float getOldValue() const { return oldValue; }

    // Clamps the value to min .. max.
    virtual void bounceValue();
    // Dirty while the value differs from the value last drawn.
    bool isDirty() const override;
    void setDirty(bool value = true) override;
    // Control with the left button sets the default value; true when it did.
    virtual bool checkDefaultValue(long buttons);

    // Tell the host a gesture on this parameter starts or ends.
    void beginEdit();
    void endEdit();

protected:
    void notify() { if (listener) listener->valueChanged(this); }

    CControlListener* listener = nullptr;
    long tag = 0;
    float value = 0.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float defaultValue = 0.5f;
    float oldValue = -1.f;
};
