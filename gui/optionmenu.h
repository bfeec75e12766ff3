// Pop-up menus: entries, separators ("-"), sub-menus and check marks, drawn
// inside the frame above everything while open, used by mouse or keyboard.
#pragma once

#include <string>
#include <vector>

#include "gui/controls.h"

class COptionMenuPopup;

enum CMenuItemFlags {
    kMenuEnabled = 0,
    kMenuDisabled = 1,
};

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, CControlListener* listener, long tag, CBitmap* background = nullptr,
                CBitmap* bgWhenClick = nullptr, long style = 0);
    ~COptionMenu() override;

    bool addEntry(const char* text, long index = -1, long itemFlags = kMenuEnabled);
    bool addEntry(COptionMenu* subMenu, const char* text);
    bool removeEntry(long index);
    bool removeAllEntry();
    long getNbEntries() const { return (long)entries.size(); }
    bool getEntry(long index, char* text) const;
    const char* getEntryText(long index) const;
    COptionMenu* getSubMenu(long index) const;
    bool isSeparator(long index) const;
    bool setCurrent(long index);
    long getCurrent(char* text = nullptr) const;
    bool checkEntry(long index, bool checked);
    bool checkEntryAlone(long index);
    bool isCheckEntry(long index) const;
    bool isEnabled(long index) const;

    // The entry chosen last, and the menu (this or a sub-menu) that holds it.
    long getLastResult() const { return lastResult; }
    COptionMenu* getLastItemMenu(long& indexInMenu) const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    void takeFocus() override;
    void looseFocus() override;
    void setValue(float v) override;

    bool isPopupOpen() const { return popup != nullptr; }
    void closePopup();
    // Frame rectangle of an entry of the open pop-up: level 0 is this menu,
    // level 1 the sub-menu opened from it. Empty when not shown.
    CRect popupEntryRect(long level, long index) const;

    long getStyle() const { return style; }

private:
    friend class COptionMenuPopup;
    struct Entry {
        std::string text;
        COptionMenu* subMenu = nullptr;
        bool checked = false;
        bool enabled = true;
    };
    void choose(COptionMenu* menu, long index);

    std::vector<Entry> entries;
    CBitmap* bgWhenClick = nullptr;
    COptionMenuPopup* popup = nullptr;
    COptionMenu* lastMenu = nullptr;
    long lastResult = -1;
};
