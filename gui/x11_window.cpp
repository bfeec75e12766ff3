// The frame as an X11 child window of the host's window, on a display
// connection of its own; events are read when the editor idles.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>
#include <poll.h>

#include "gui/frame.h"

namespace {

// Xlib reports errors through one process-wide handler; ours is set only
// around calls that may fail on a window the host has already destroyed.
int ignoreError(Display*, XErrorEvent*) { return 0; }

struct ErrorTrap {
    Display* display;
    int (*previous)(Display*, XErrorEvent*);
    explicit ErrorTrap(Display* d) : display(d) { XSync(d, False); previous = XSetErrorHandler(ignoreError); }
    ~ErrorTrap() { XSync(display, False); XSetErrorHandler(previous); }
};

long buttonsFromState(unsigned int state) {
    long b = 0;
    if (state & Button1Mask) b |= kLButton;
    if (state & Button2Mask) b |= kMButton;
    if (state & Button3Mask) b |= kRButton;
    if (state & ShiftMask) b |= kShift;
    if (state & ControlMask) b |= kControl;
    if (state & Mod1Mask) b |= kAlt;
    return b;
}

long buttonBit(unsigned int button) {
    switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
    }
}

struct KeyMap {
    KeySym sym;
    unsigned char virt;
};

const KeyMap kKeys[] = {
    {XK_BackSpace, VKEY_BACK}, {XK_Tab, VKEY_TAB},       {XK_Return, VKEY_RETURN},    {XK_KP_Enter, VKEY_ENTER},
    {XK_Escape, VKEY_ESCAPE},  {XK_Delete, VKEY_DELETE}, {XK_Left, VKEY_LEFT},        {XK_Right, VKEY_RIGHT},
    {XK_Up, VKEY_UP},          {XK_Down, VKEY_DOWN},     {XK_Home, VKEY_HOME},        {XK_End, VKEY_END},
    {XK_Page_Up, VKEY_PAGEUP}, {XK_Page_Down, VKEY_PAGEDOWN}, {XK_Insert, VKEY_INSERT},
};

CKeyCode translateKey(XKeyEvent& event) {
    char text[8] = {0};
    KeySym sym = 0;
    const int n = XLookupString(&event, text, sizeof(text) - 1, &sym, nullptr);
    CKeyCode key;
    for (const KeyMap& k : kKeys)
        if (k.sym == sym) key.virt = k.virt;
    if (!key.virt && n == 1 && (unsigned char)text[0] >= 32) key.character = (unsigned char)text[0];
    if (event.state & ShiftMask) key.modifier |= MODIFIER_SHIFT;
    if (event.state & ControlMask) key.modifier |= MODIFIER_CONTROL;
    if (event.state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
    return key;
}

class X11Platform : public FramePlatform {
public:
    X11Platform(Display* d, Window parent, Visual* visual, const CRect& size)
        : display(d), width(size.width()), height(size.height()) {
        const int screen = DefaultScreen(display);
        window = XCreateSimpleWindow(display, parent, 0, 0, (unsigned)width, (unsigned)height, 0,
                                     BlackPixel(display, screen), BlackPixel(display, screen));
        XSelectInput(display, window,
                     ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                         KeyReleaseMask | StructureNotifyMask | FocusChangeMask);
        XMapWindow(display, window);
        XFlush(display);
        surface = cairo_xlib_surface_create(display, window, visual, (int)width, (int)height);
    }

    ~X11Platform() override {
        cairo_surface_destroy(surface);
        if (alive) {
            ErrorTrap trap(display);
            XDestroyWindow(display, window);
        }
        XCloseDisplay(display);
    }

    void present(cairo_surface_t* image, const CRect& r) override {
        if (!alive) return;
        cairo_t* cr = cairo_create(surface);
        cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
        cairo_clip(cr);
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        XFlush(display);
    }

    void pumpEvents(CFrame* frame, int waitMs) override {
        if (waitMs > 0 && !XPending(display)) {
            pollfd pfd{ConnectionNumber(display), POLLIN, 0};
            poll(&pfd, 1, waitMs);
        }
        while (alive && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            dispatch(frame, event);
        }
    }

    void takeKeyboardFocus() override {
        if (!alive) return;
        XWindowAttributes a;
        ErrorTrap trap(display);
        if (XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable)
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }

    bool isOpen() const override { return alive; }
    unsigned long nativeWindow() const override { return window; }

private:
    void dispatch(CFrame* frame, XEvent& event) {
        switch (event.type) {
        case Expose: {
            CRect r(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                    event.xexpose.y + event.xexpose.height);
            cairo_surface_flush(frame->getImage());
            present(frame->getImage(), r);
            break;
        }
        case ButtonPress: {
            const long bit = buttonBit(event.xbutton.button);
            if (!bit) break;
            CPoint where(event.xbutton.x, event.xbutton.y);
            frame->onMouseDown(where, buttonsFromState(event.xbutton.state) | bit);
            break;
        }
        case ButtonRelease: {
            const long bit = buttonBit(event.xbutton.button);
            if (!bit) break;
            CPoint where(event.xbutton.x, event.xbutton.y);
            frame->onMouseUp(where, buttonsFromState(event.xbutton.state) & ~bit);
            break;
        }
        case MotionNotify: {
            // Only the latest position of a burst of moves matters.
            while (XCheckTypedWindowEvent(display, window, MotionNotify, &event)) {}
            CPoint where(event.xmotion.x, event.xmotion.y);
            frame->onMouseMoved(where, buttonsFromState(event.xmotion.state));
            break;
        }
        case KeyPress: {
            CKeyCode key = translateKey(event.xkey);
            if (key.character || key.virt) frame->onKeyDown(key);
            break;
        }
        case KeyRelease: {
            CKeyCode key = translateKey(event.xkey);
            if (key.character || key.virt) frame->onKeyUp(key);
            break;
        }
        case DestroyNotify:
            if (event.xdestroywindow.window == window) alive = false;
            break;
        default:
            break;
        }
    }

    Display* display;
    Window window = 0;
    cairo_surface_t* surface = nullptr;
    long width, height;
    bool alive = true;
};

} // namespace

FramePlatform* createX11Platform(unsigned long parentWindow, const CRect& size) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    XWindowAttributes parent;
    Status ok;
    {
        ErrorTrap trap(display);
        ok = XGetWindowAttributes(display, (Window)parentWindow, &parent);
    }
    if (!ok) {
        XCloseDisplay(display);
        return nullptr;
    }
    return new X11Platform(display, (Window)parentWindow, parent.visual, size);
}
