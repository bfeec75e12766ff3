// The frame: the editor's window content. It owns the views, routes mouse
// and key events, redraws dirty views when idle and shows them either in an
// X11 child window of the host's window or in an image (headless).
#pragma once

#include <functional>
#include <vector>

#include "gui/view.h"

// What the toolkit needs from the editor that owns the frame.
class VSTGUIEditorInterface {
public:
    virtual ~VSTGUIEditorInterface() = default;
    // The editor's periodic work; modal loops call it while they wait.
    virtual void doIdleStuff() {}
    virtual long getKnobMode() const { return knobMode; }
    // A gesture on parameter index starts or ends; reaches the host.
    virtual void beginEdit(long index) {}
    virtual void endEdit(long index) {}
    CFrame* getFrame() const { return frame; }

protected:
    CFrame* frame = nullptr;
    long knobMode = kLinearMode;
};

// Where a frame's pixels go and where its events come from.
class FramePlatform {
public:
    virtual ~FramePlatform() = default;
    // Shows the part of the frame's image inside rect.
    virtual void present(cairo_surface_t* image, const CRect& rect) = 0;
    // Delivers pending events to the frame; waits up to waitMs for one.
    virtual void pumpEvents(CFrame* frame, int waitMs) = 0;
    virtual void takeKeyboardFocus() {}
    virtual bool isOpen() const { return true; }
    virtual unsigned long nativeWindow() const { return 0; }
};

// An X11 child window of parent, or null when no display can be opened.
FramePlatform* createX11Platform(unsigned long parentWindow, const CRect& size);

class CFrame : public CView {
public:
    // systemWindow is the host's parent window (an X11 Window id); null
    // makes a headless frame that draws into an image only.
    CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    bool addView(CView* view);
    bool removeView(CView* view, bool withForget = true);
    void removeAll(bool withForget = true);
    long getNbViews() const { return (long)views.size(); }
    CView* getView(long index) const;
    bool isChild(CView* view) const;

    void setBackground(CBitmap* bitmap) override;
    VSTGUIEditorInterface* getEditor() const { return editor; }
    long getKnobMode() const;
    void* getSystemWindow() const { return systemWindow; }
    bool hasWindow() const { return platform != nullptr; }
    // The frame's own X11 window; 0 when headless.
    unsigned long getNativeWindow() const { return platform ? platform->nativeWindow() : 0; }

    // Pumps window events, then redraws every dirty view and shows the result.
    void idle();
    // Marks everything for redrawing at the next idle.
    void redraw();
    void draw(CDrawContext* context) override;

    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
    long onKeyDown(CKeyCode& key) override;
    long onKeyUp(CKeyCode& key) override;
    // Mouse buttons and modifiers held at the last event.
    long getCurrentButtons() const { return currentButtons; }

    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    CView* getMouseDownView() const { return mouseDownView; }

    // A view drawn above everything that takes every event while set
    // (open menus, the file dialog). The frame does not own it.
    void setModalView(CView* view);
    CView* getModalView() const { return modalView; }
    // Runs events and redraws until finished() is true. Headless frames call
    // modalHook instead of waiting for events; without a hook, or when the
    // window is gone, it gives up and returns false.
    bool runModal(const std::function<bool()>& finished);
    std::function<void(CFrame*)> modalHook;

    // The frame's image, up to date after idle().
    cairo_surface_t* getImage() const { return image; }
    CDrawContext* getDrawContext() const { return context; }
    bool renderToPNG(const char* path);

private:
    void drawBackground(const CRect& rect);
    void drawOneView(CView* view, CRect& changed);
    void redrawDirty();
    CView* viewAt(const CPoint& where, const long& buttons, CMouseEventResult& result, CPoint& p);

    std::vector<CView*> views;
    VSTGUIEditorInterface* editor = nullptr;
    void* systemWindow = nullptr;
    FramePlatform* platform = nullptr;
    cairo_surface_t* image = nullptr;
    CDrawContext* context = nullptr;
    CView* mouseDownView = nullptr;
    CView* focusView = nullptr;
    CView* modalView = nullptr;
    long currentButtons = 0;
    bool fullRedraw = true;
};
