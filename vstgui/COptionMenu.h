// A menu showing its current entry; a click pops its list up over the frame.
#pragma once

#include "vstgui/CParamDisplay.h"

#include <string>
#include <vector>

namespace VSTGUI {

class CMenuItem : public CBaseObject
{
public:
    CMenuItem(const char* title = nullptr) : title(title ? title : "") {}

    const char* getTitle() const { return title.c_str(); }
    void setTitle(const char* t) { title = t ? t : ""; }
    void setChecked(bool state = true) { checked = state; }
    bool isChecked() const { return checked; }
    void setEnabled(bool state = true) { enabled = state; }
    bool isEnabled() const { return enabled; }
    bool isSeparator() const { return title == "-"; }

private:
    std::string title;
    bool checked = false;
    bool enabled = true;
};

class COptionMenu : public CParamDisplay
{
public:
    COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                CBitmap* bgWhenClick = nullptr, int32_t style = 0);
    ~COptionMenu() override;

    // "-" makes a separator.
    CMenuItem* addEntry(const char* title, int32_t index = -1);
    int32_t getNbEntries() const { return static_cast<int32_t>(entries.size()); }
    bool setCurrent(int32_t index);
    int32_t getCurrentIndex() const;
    CMenuItem* getCurrent() const { return getEntry(getCurrentIndex()); }
    CMenuItem* getEntry(int32_t index) const;
    bool removeEntry(int32_t index);
    bool removeAllEntry();

    bool isPopupOpen() const { return popup != nullptr; }
    bool popupMenu();
    void closePopup();

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* name) const override;

private:
    friend class COptionMenuPopup;
    void selectFromPopup(int32_t index);

    std::vector<CMenuItem*> entries;
    CBitmap* bgWhenClick;
    CView* popup = nullptr;
};

} // namespace VSTGUI
