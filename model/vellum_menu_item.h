// CVellumMenuItem: one item of a section and the base class of every item
// type. This holds the parents, the title with its mnemonic, the tooltip
// tool, the hotkey and the rectangle the hit tests use; reading and writing
// the item keys, drawing, states and commands come with later work, and
// until then the operations that need them do nothing and say so.
#pragma once
#include <windows.h>
#include "model/exports.h"
#include "model/bar_types.h"

constexpr int kItemSectionNameSize = 20;

class TESS_EXPORT CVellumMenuItem {
public:
    // An item made by the program (not read from a bar file).
    CVellumMenuItem(CVellumMenuObject* bar, CVellumMenuSection* section, char* title);
    // A blank item: defaults only; its destructor releases nothing.
    explicit CVellumMenuItem(void* blank);

    // ---- virtual operations (the ones the bar and sections call now) -------------
    virtual ~CVellumMenuItem();
    virtual CVellumMenuObject* GetChildObject();
    virtual int UpdateParents(CVellumMenuObject* bar, CVellumMenuSection* section);
    virtual void SetItemTitle(char* title, int headerLength);
    virtual void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual int TrackPopupMenu(int byKeyboard);
    virtual void SetState(UINT state, int keep);

    void GetRealItemRect(RECT* out);
    int UpdateTooltips(int keepRectangle);
    void UpdateHotkey(int unregisterOnly);

    // ---- calls into work that arrives later ----------------------------------------
    void UpdateTextSize(int force);
    void RedrawItem();
    void RefreshIcon();
    void UnInitContextMenu();
    void SetEditorNodeTitle();
    void StopStateAnimation();

    // Copies every field unchanged, handles and pointers included; exported
    // for plug-ins, unused by the program.
    CVellumMenuItem(const CVellumMenuItem& other);
    CVellumMenuItem& operator=(const CVellumMenuItem& other);

    // ---- fields (the ones the bar and sections use now) ----------------------------
    BOOL m_literalTitle;
    int m_mnemonic;
    BOOL m_moving;
    RECT m_drawnRect;
    int m_headerLength;
    int m_parentItemNumber;
    BOOL RespondToWindowsKey;
    int vkHotkey, vkHotkeyModifiers;
    WORD m_hotkeyId;
    BOOL m_tooltipNeeded;
    BOOL m_arrowItem;
    int IconSize;
    BOOL m_disabled;
    BOOL Separator;
    BOOL m_valid;
    BOOL m_blank;
    HMENU m_popupMenu;
    RECT m_itemRect;
    char* m_title;
    char* m_shownTitle;
    int Action;
    BOOL ShowIcon, ShowText;
    CVellumMenuObject* m_pBar;
    CVellumMenuSection* m_pSection;
    UINT m_state;
    int m_itemNumber;
    HWND m_pages[3];
    SkinRecord** m_skinSlot;
    char m_sectionName[kItemSectionNameSize];

private:
    void AddTooltipTool();
    void DeleteTooltipTool();
};
