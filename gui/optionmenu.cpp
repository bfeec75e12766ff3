#include "gui/optionmenu.h"

#include <algorithm>
#include <cstring>

#include "gui/frame.h"

namespace {
constexpr long kItemHeight = 16;
constexpr long kSeparatorHeight = 7;
constexpr long kCheckColumn = 16;
constexpr long kArrowColumn = 16;
const CColor kMenuBack = MakeCColor(34, 40, 48);
const CColor kMenuBorder = kPopupBorderColor;
const CColor kMenuText = kPopupTextColor;
const CColor kMenuDisabledText = MakeCColor(110, 116, 124);
const CColor kMenuHighlight = kDisplayColor;
const CColor kMenuSeparator = MakeCColor(70, 80, 94);
} // namespace

// The open menu and its open sub-menus, one panel per level.
class COptionMenuPopup : public CView {
public:
    COptionMenuPopup(COptionMenu* owner, const CRect& frameSize) : CView(frameSize), owner(owner) {
        openLevel(owner, owner->getViewSize(), true);
    }

    struct Level {
        COptionMenu* menu;
        CRect panel;
        long highlight = -1;
    };

    long itemTop(const Level& level, long index) const {
        long y = level.panel.top + 2;
        for (long i = 0; i < index; ++i) y += level.menu->isSeparator(i) ? kSeparatorHeight : kItemHeight;
        return y;
    }

    CRect itemRect(const Level& level, long index) const {
        const long top = itemTop(level, index);
        const long h = level.menu->isSeparator(index) ? kSeparatorHeight : kItemHeight;
        return CRect(level.panel.left + 1, top, level.panel.right - 1, top + h);
    }

    void openLevel(COptionMenu* menu, const CRect& anchor, bool below) {
        long height = 4, width = 0;
        CDrawContext* measure = owner->getFrame() ? owner->getFrame()->getDrawContext() : nullptr;
        if (measure) measure->setFont(kNormalFont);
        for (long i = 0; i < menu->getNbEntries(); ++i) {
            height += menu->isSeparator(i) ? kSeparatorHeight : kItemHeight;
            if (measure) width = std::max(width, measure->getStringWidth(menu->getEntryText(i)));
        }
        width += kCheckColumn + kArrowColumn + 8;
        if (below) width = std::max(width, anchor.width());
        CRect panel;
        if (below) {
            panel = CRect(anchor.left, anchor.bottom, anchor.left + width, anchor.bottom + height);
            if (panel.bottom > size.bottom) panel.offset(0, anchor.top - height - panel.top);
        } else {
            panel = CRect(anchor.right - 2, anchor.top - 2, anchor.right - 2 + width, anchor.top - 2 + height);
            if (panel.right > size.right) panel.offset(anchor.left + 2 - width - panel.left, 0);
        }
        // Keep the whole panel inside the frame.
        if (panel.bottom > size.bottom) panel.offset(0, size.bottom - panel.bottom);
        if (panel.top < size.top) panel.offset(0, size.top - panel.top);
        if (panel.right > size.right) panel.offset(size.right - panel.right, 0);
        if (panel.left < size.left) panel.offset(size.left - panel.left, 0);
        levels.push_back(Level{menu, panel});
        setDirty();
    }

    void closeLevelsAbove(size_t keep) {
        if (levels.size() > keep) {
            levels.resize(keep);
            if (getFrame()) getFrame()->redraw();
        }
    }

    // Level and entry under the point; false when outside every panel.
    bool find(const CPoint& p, long& level, long& index) const {
        for (long l = (long)levels.size() - 1; l >= 0; --l) {
            if (!levels[l].panel.pointInside(p)) continue;
            level = l;
            index = -1;
            for (long i = 0; i < levels[l].menu->getNbEntries(); ++i)
                if (itemRect(levels[l], i).pointInside(p)) index = i;
            return true;
        }
        return false;
    }

    bool selectable(const Level& level, long index) const {
        return index >= 0 && !level.menu->isSeparator(index) && level.menu->isEnabled(index);
    }

    void hover(long level, long index) {
        if (levels[level].highlight != index) {
            levels[level].highlight = index;
            setDirty();
        }
        COptionMenu* sub = index >= 0 ? levels[level].menu->getSubMenu(index) : nullptr;
        if (sub && levels[level].menu->isEnabled(index)) {
            if ((long)levels.size() > level + 1 && levels[level + 1].menu == sub) return;
            closeLevelsAbove(level + 1);
            openLevel(sub, itemRect(levels[level], index), false);
        } else {
            closeLevelsAbove(level + 1);
        }
    }

    // True when the entry was a plain one and the menu is now closed.
    bool activate(long level, long index) {
        if (!selectable(levels[level], index)) return false;
        COptionMenu* menu = levels[level].menu;
        if (menu->getSubMenu(index)) {
            hover(level, index);
            if ((long)levels.size() > level + 1) levels[level + 1].highlight = firstSelectable(levels[level + 1], 0, 1);
            setDirty();
            return false;
        }
        owner->choose(menu, index);
        return true;
    }

    long firstSelectable(const Level& level, long from, long step) const {
        const long n = level.menu->getNbEntries();
        for (long k = 0; k < n; ++k) {
            long i = ((from + step * k) % n + n) % n;
            if (selectable(level, i)) return i;
        }
        return -1;
    }

    void draw(CDrawContext* context) override {
        for (const Level& level : levels) drawLevel(context, level);
        setDirty(false);
    }

    void drawLevel(CDrawContext* c, const Level& level) {
        c->resetClipRect();
        CRect shadow = level.panel;
        shadow.offset(3, 3);
        c->setFillColor(MakeCColor(14, 16, 19)); // opaque: the pop-up is drawn again over itself
        c->drawRect(shadow, kDrawFilled);
        c->setFillColor(kMenuBack);
        c->drawRect(level.panel, kDrawFilled);
        c->setLineWidth(1);
        c->setLineStyle(kLineSolid);
        c->setFrameColor(kMenuBorder);
        c->drawRect(level.panel, kDrawStroked);
        c->setFont(kNormalFont);
        COptionMenu* menu = level.menu;
        const bool checkCurrent = (menu->getStyle() & kCheckStyle) != 0;
        for (long i = 0; i < menu->getNbEntries(); ++i) {
            CRect r = itemRect(level, i);
            if (menu->isSeparator(i)) {
                c->setFrameColor(kMenuSeparator);
                c->drawLine(CPoint(r.left + 4, r.top + 3), CPoint(r.right - 5, r.top + 3));
                continue;
            }
            if (i == level.highlight) {
                c->setFillColor(kMenuHighlight);
                c->drawRect(r, kDrawFilled);
            }
            c->setFontColor(menu->isEnabled(i) ? kMenuText : kMenuDisabledText);
            CRect text(r.left + kCheckColumn, r.top, r.right - kArrowColumn, r.bottom);
            c->drawString(menu->getEntryText(i), text, false, kLeftText);
            const bool checked = menu->isCheckEntry(i) || (checkCurrent && (long)menu->getValue() == i);
            if (checked) {
                c->setLineWidth(2);
                c->setFrameColor(kMenuText);
                CPoint tick[3] = {CPoint(r.left + 4, r.top + 8), CPoint(r.left + 7, r.top + 11), CPoint(r.left + 12, r.top + 4)};
                c->polyLine(tick, 3);
                c->setLineWidth(1);
            }
            if (menu->getSubMenu(i)) {
                c->setFillColor(kMenuText);
                CPoint arrow[3] = {CPoint(r.right - 10, r.top + 4), CPoint(r.right - 5, r.top + 8), CPoint(r.right - 10, r.top + 12)};
                c->drawPolygon(arrow, 3, kDrawFilled);
            }
        }
    }

    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override {
        long level, index;
        if (!find(where, level, index)) {
            owner->closePopup(); // a click outside cancels
            return kMouseEventHandled;
        }
        pressed = true;
        hover(level, index);
        return kMouseEventHandled;
    }

    CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override {
        moved = moved || where != openedAt;
        long level, index;
        if (find(where, level, index)) hover(level, index);
        return kMouseEventHandled;
    }

    CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override {
        long level, index;
        // A release right where the menu opened leaves it open for a click.
        if ((pressed || moved) && find(where, level, index)) activate(level, index);
        return kMouseEventHandled;
    }

    long onKeyDown(CKeyCode& key) override {
        Level& level = levels.back();
        const long depth = (long)levels.size() - 1;
        switch (key.virt) {
        case VKEY_UP:
            level.highlight = firstSelectable(level, level.highlight < 0 ? -1 : level.highlight - 1, -1);
            break;
        case VKEY_DOWN:
            level.highlight = firstSelectable(level, level.highlight + 1, 1);
            break;
        case VKEY_RIGHT:
            if (level.highlight >= 0 && level.menu->getSubMenu(level.highlight)) activate(depth, level.highlight);
            break;
        case VKEY_LEFT:
            if (depth > 0) closeLevelsAbove(depth);
            break;
        case VKEY_ESCAPE:
            if (depth > 0) closeLevelsAbove(depth);
            else owner->closePopup();
            return 1;
        case VKEY_RETURN:
        case VKEY_ENTER:
        case VKEY_SPACE:
            if (level.highlight >= 0) activate(depth, level.highlight);
            return 1;
        default:
            if (key.character == '\r' || key.character == ' ') {
                if (level.highlight >= 0) activate(depth, level.highlight);
                return 1;
            }
            if (key.character == 27) { owner->closePopup(); return 1; }
            return -1;
        }
        setDirty();
        return 1;
    }

    COptionMenu* owner;
    std::vector<Level> levels;
    CPoint openedAt;
    bool pressed = false;
    bool moved = false;
};

COptionMenu::COptionMenu(const CRect& rect, CControlListener* l, long t, CBitmap* background,
                         CBitmap* whenClick, long s)
    : CParamDisplay(rect, background, s), bgWhenClick(whenClick) {
    listener = l;
    tag = t;
    if (bgWhenClick) bgWhenClick->remember();
    vmin = 0.f;
    vmax = 0.f;
}

COptionMenu::~COptionMenu() {
    closePopup();
    removeAllEntry();
    if (bgWhenClick) bgWhenClick->forget();
}

bool COptionMenu::addEntry(const char* text, long index, long itemFlags) {
    Entry e;
    e.text = text ? text : "";
    e.enabled = !(itemFlags & kMenuDisabled);
    if (index < 0 || index > (long)entries.size()) entries.push_back(e);
    else entries.insert(entries.begin() + index, e);
    vmax = (float)std::max<long>(0, (long)entries.size() - 1);
    setDirty();
    return true;
}

bool COptionMenu::addEntry(COptionMenu* subMenu, const char* text) {
    if (!subMenu || subMenu == this) return false;
    subMenu->remember();
    Entry e;
    e.text = text ? text : "";
    e.subMenu = subMenu;
    entries.push_back(e);
    vmax = (float)((long)entries.size() - 1);
    setDirty();
    return true;
}

bool COptionMenu::removeEntry(long index) {
    if (index < 0 || index >= (long)entries.size()) return false;
    if (entries[index].subMenu) entries[index].subMenu->forget();
    entries.erase(entries.begin() + index);
    vmax = (float)std::max<long>(0, (long)entries.size() - 1);
    setDirty();
    return true;
}

bool COptionMenu::removeAllEntry() {
    closePopup();
    for (Entry& e : entries)
        if (e.subMenu) e.subMenu->forget();
    entries.clear();
    vmax = 0.f;
    setDirty();
    return true;
}

bool COptionMenu::getEntry(long index, char* text) const {
    if (index < 0 || index >= (long)entries.size()) {
        if (text) text[0] = 0;
        return false;
    }
    if (text) std::strcpy(text, entries[index].text.c_str());
    return true;
}

const char* COptionMenu::getEntryText(long index) const {
    return (index >= 0 && index < (long)entries.size()) ? entries[index].text.c_str() : "";
}

COptionMenu* COptionMenu::getSubMenu(long index) const {
    return (index >= 0 && index < (long)entries.size()) ? entries[index].subMenu : nullptr;
}

bool COptionMenu::isSeparator(long index) const {
    return index >= 0 && index < (long)entries.size() && !entries[index].subMenu && entries[index].text == "-";
}

bool COptionMenu::isEnabled(long index) const {
    return index >= 0 && index < (long)entries.size() && entries[index].enabled;
}

bool COptionMenu::setCurrent(long index) {
    if (index < 0 || index >= (long)entries.size()) return false;
    value = (float)index;
    setDirty();
    return true;
}

long COptionMenu::getCurrent(char* text) const {
    const long index = (long)value;
    if (text) getEntry(index, text);
    return index;
}

bool COptionMenu::checkEntry(long index, bool checked) {
    if (index < 0 || index >= (long)entries.size()) return false;
    entries[index].checked = checked;
    return true;
}

bool COptionMenu::checkEntryAlone(long index) {
    if (index < 0 || index >= (long)entries.size()) return false;
    for (long i = 0; i < (long)entries.size(); ++i) entries[i].checked = (i == index);
    return true;
}

bool COptionMenu::isCheckEntry(long index) const {
    return index >= 0 && index < (long)entries.size() && entries[index].checked;
}

COptionMenu* COptionMenu::getLastItemMenu(long& indexInMenu) const {
    indexInMenu = lastMenu ? lastMenu->lastResult : -1;
    return lastMenu;
}

void COptionMenu::setValue(float v) { value = v; }

void COptionMenu::draw(CDrawContext* context) {
    if (popup && bgWhenClick) {
        bgWhenClick->draw(context, size);
    } else {
        drawBox(context);
    }
    if (!(style & kNoTextStyle)) {
        CRect inner = size;
        inner.inset(1, 0);
        drawTextIn(context, getEntryText((long)value), inner);
    }
    setDirty(false);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint& where, const long& buttons) {
    if (!mouseEnabled || !(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    if ((buttons & kModifierMask) && listener && listener->controlModifierClicked(this, buttons))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    takeFocus();
    if (popup) popup->openedAt = where;
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void COptionMenu::takeFocus() {
    if (popup || !pParentFrame || entries.empty()) return;
    lastResult = -1;
    lastMenu = nullptr;
    popup = new COptionMenuPopup(this, pParentFrame->getViewSize());
    pParentFrame->setModalView(popup);
    beginEdit();
    setDirty();
}

void COptionMenu::looseFocus() { closePopup(); }

void COptionMenu::closePopup() {
    if (!popup) return;
    COptionMenuPopup* p = popup;
    popup = nullptr;
    if (pParentFrame && pParentFrame->getModalView() == p) pParentFrame->setModalView(nullptr);
    p->forget();
    endEdit();
    setDirty();
}

void COptionMenu::choose(COptionMenu* menu, long index) {
    closePopup();
    menu->value = (float)index;
    menu->lastResult = index;
    lastMenu = menu;
    lastResult = index;
    menu->setDirty();
    // The menu that holds the entry tells its own listener; a sub-menu
    // without one reports through this menu's listener.
    CControlListener* target = menu->listener ? menu->listener : listener;
    if (target) target->valueChanged(menu);
}

CRect COptionMenu::popupEntryRect(long level, long index) const {
    if (!popup || level < 0 || level >= (long)popup->levels.size()) return CRect();
    const auto& l = popup->levels[level];
    if (index < 0 || index >= l.menu->getNbEntries()) return CRect();
    return popup->itemRect(l, index);
}
