// Shared vocabulary of the toolkit: geometry, colours, reference counting
// and the constants that views, controls and backends agree on.
#pragma once

#include <cstdint>

struct CPoint {
    long h = 0;
    long v = 0;
    CPoint() = default;
    CPoint(long h, long v) : h(h), v(v) {}
    CPoint& offset(long dx, long dy) { h += dx; v += dy; return *this; }
    bool operator==(const CPoint& o) const { return h == o.h && v == o.v; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
};

struct CRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
    CRect() = default;
    CRect(long l, long t, long r, long b) : left(l), top(t), right(r), bottom(b) {}
    CRect(const CPoint& origin, const CPoint& size)
        : left(origin.h), top(origin.v), right(origin.h + size.h), bottom(origin.v + size.v) {}
    long width() const { return right - left; }
    long height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    CRect& offset(long dx, long dy) { left += dx; right += dx; top += dy; bottom += dy; return *this; }
    CRect& moveTo(long x, long y) { return offset(x - left, y - top); }
    CRect& inset(long dx, long dy) { left += dx; right -= dx; top += dy; bottom -= dy; return *this; }
    bool pointInside(const CPoint& p) const { return p.h >= left && p.h < right && p.v >= top && p.v < bottom; }
    bool rectOverlap(const CRect& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
    // Smallest rectangle that holds both; an empty operand does not count.
    CRect& unite(const CRect& o);
    // Part shared with o; empty when they do not meet.
    CRect& bound(const CRect& o);
    // Left <= right and top <= bottom.
    CRect& normalize();
    CPoint getTopLeft() const { return CPoint(left, top); }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};

struct CColor {
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
    unsigned char alpha = 255;
    bool operator==(const CColor& o) const {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    bool operator!=(const CColor& o) const { return !(*this == o); }
};

inline CColor MakeCColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255) {
    CColor c;
    c.red = r; c.green = g; c.blue = b; c.alpha = a;
    return c;
}

// Colours the toolkit's own pop-ups (menus, file dialog) share with the panel artwork.
const CColor kDisplayColor = MakeCColor(88, 105, 125);
const CColor kPopupBorderColor = MakeCColor(112, 128, 148);
const CColor kPopupTextColor = MakeCColor(222, 226, 232);

extern const CColor kBlackCColor;
extern const CColor kWhiteCColor;
extern const CColor kGreyCColor;
extern const CColor kRedCColor;
extern const CColor kTransparentCColor;

// Reference counted base: a creator holds one reference, every holder calls
// remember(), and forget() deletes the object with the last reference.
class CBaseObject {
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
    virtual ~CBaseObject() = default;
    void remember() { ++references; }
    void forget() { if (--references <= 0) delete this; }
    long getNbReference() const { return references; }

private:
    long references = 1;
};

// Mouse button state bits, also carrying the keyboard modifiers.
enum CButtonState : long {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kApple = 64,
};
constexpr long kModifierMask = kShift | kControl | kAlt | kApple;

enum CMouseEventResult {
    kMouseEventNotHandled = 0,
    kMouseEventHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

// Font indices; the table of faces and sizes lives in drawcontext.cpp.
enum CFont {
    kSystemFont = 0,
    kNormalFontVeryBig,
    kNormalFontBig,
    kNormalFont,
    kNormalFontSmall,
    kNormalFontSmaller,
    kNormalFontVerySmall,
    kSymbolFont,
    kNumStandardFonts,
};

enum CTxtFace {
    kNormalFace = 0,
    kBoldFace = 1,
    kItalicFace = 2,
    kUnderlineFace = 4,
};

enum CHoriTxtAlign {
    kLeftText = 0,
    kCenterText,
    kRightText,
};

enum CLineStyle {
    kLineSolid = 0,
    kLineOnOffDash,
};

enum CDrawMode {
    kCopyMode = 0,
    kOrMode,
    kXorMode,
    kAntialias,
};

enum CDrawStyle {
    kDrawStroked = 0,
    kDrawFilled,
    kDrawFilledAndStroked,
};

enum CKnobMode {
    kCircularMode = 0,
    kRelativCircularMode,
    kLinearMode,
};

// Control style bits.
enum CControlStyle : long {
    kHorizontal = 1 << 0,
    kVertical = 1 << 1,
    kShadowText = 1 << 2,
    kLeft = 1 << 3,
    kRight = 1 << 4,
    kTop = 1 << 5,
    kBottom = 1 << 6,
    k3DIn = 1 << 7,
    k3DOut = 1 << 8,
    kPopupStyle = 1 << 9,
    kCheckStyle = 1 << 10,
    kMultipleCheckStyle = 1 << 11,
    kNoTextStyle = 1 << 12,
    kNoDrawStyle = 1 << 13,
    kNoFrame = 1 << 14,
};

// A typed key: the printable character, or 0 and one of the virtual keys.
struct CKeyCode {
    int32_t character = 0;
    unsigned char virt = 0;
    unsigned char modifier = 0;
};

// Virtual keys and key modifiers, numbered as VST hosts send them so the
// editor base can hand host keys through unchanged.
enum CVirtualKey : unsigned char {
    VKEY_BACK = 1, VKEY_TAB, VKEY_CLEAR, VKEY_RETURN, VKEY_PAUSE, VKEY_ESCAPE, VKEY_SPACE,
    VKEY_NEXT, VKEY_END, VKEY_HOME, VKEY_LEFT, VKEY_UP, VKEY_RIGHT, VKEY_DOWN, VKEY_PAGEUP,
    VKEY_PAGEDOWN, VKEY_SELECT, VKEY_PRINT, VKEY_ENTER, VKEY_SNAPSHOT, VKEY_INSERT, VKEY_DELETE,
};

enum CKeyModifier : unsigned char {
    MODIFIER_SHIFT = 1 << 0,
    MODIFIER_ALTERNATE = 1 << 1,
    MODIFIER_COMMAND = 1 << 2,
    MODIFIER_CONTROL = 1 << 3,
};
