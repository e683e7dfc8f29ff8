// CVellumMenuItem_Popup: the item that opens other bars. In popup mode (type
// "Popup") a click opens a child bar read from a bar file and/or shows the
// already open bars of its list beside itself; in plain mode (the default
// item: "Default" and every type name no class claims) it is the base item,
// except that a "PopupMenu" action or a subclass's menu opens as a temporary
// bar. Shortcut, mirrored-menu and task items derive from it and reach the
// popup machinery through the base item's virtual operations.
#pragma once
#include <windows.h>
#include "model/section_factory.h"
#include "model/vellum_menu_item.h"

constexpr int kMaxListedBars = 20;
constexpr int kListedBarNameSize = 200;
constexpr int kPopupPathSize = 264;
constexpr int kPopupPageDialogId = 1091;

// Sides of "Popup.PopupDirection"; 0 places the child automatically.
enum PopupDirection : int {
    kPopupAutomatic = 0,
    kPopupUpAlignLeft = 1,
    kPopupUpAlignRight = 2,
    kPopupDownAlignLeft = 3,
    kPopupDownAlignRight = 4,
    kPopupLeftAlignTop = 5,
    kPopupLeftAlignBottom = 6,
    kPopupRightAlignTop = 7,
    kPopupRightAlignBottom = 8,
    kPopupCentred = 9,
};

// Which companion of the item bar's skin a child bar takes.
enum CompanionSkinKind : int { kCompanionPopup = 0, kCompanionTaskbarGroupPopup = 1 };

class CVellumMenuItem_Popup : public CVellumMenuItem {
public:
    // Reads the popup keys while the bar reads its file, else takes the
    // defaults. plain selects plain mode; storedType is the type name a
    // plain item writes back ("" for "Default").
    CVellumMenuItem_Popup(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                          int plain, const char* storedType = "");
    // An entry of a menu (mirrored menus): plain mode, the given menu.
    CVellumMenuItem_Popup(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                          HMENU menu);
    ~CVellumMenuItem_Popup() override;

    // ---- virtual operations ---------------------------------------------------------------
    CVellumMenuObject* GetChildObject() override;
    CVellumMenuItem* Duplicate() override;
    int IsPopup() override;
    int GetPopupDelay() override;
    UINT GetPopupRequiredKeys() override;
    int GetCustomItemName(char* out) override;
    HICON GetCustomIcon() override;
    int SaveExternal() override;
    int TrackPopupMenu(int byKeyboard) override;
    int TrackPopupMenuDoubleClick() override;
    void DragHover() override;
    void SetState(UINT state, int keep) override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    HWND CallConfigDialogEx(HWND parent) override;

    // ---- the page's lists (popup_item_page.cpp) ------------------------------------------
    // Fills lists 1280 and 1281 of the page; keepSelections keeps the chosen
    // lines where they still exist.
    void FillBarLists(HWND page, int force, int keepSelections);

    // ---- listed bars (popup_item_listed.cpp) ---------------------------------------------
    // A bar window (not a temporary menu bar, not the item's own bar) whose
    // title is one of the listed names (case-sensitive).
    BOOL IsBarInPopupList(HWND wnd);
    void ShowListedBars();
    void HideListedBars();
    void ShowHideListedBars(int show);
    void UpdateListedBars(int hide);
    int IsAnyListedBarVisible();
    // Appends a name cut to its slot; false when the list is full (20) or
    // the name is empty.
    bool AddListedBar(const char* title);
    // Removes the first name equal to title (case-insensitive).
    bool RemoveListedBar(const char* title);

    // ---- the child bar (popup_item.cpp, popup_item_position.cpp) ---------------------------
    void ShowPopupBar(int forceVolatile);
    void PositionPopupBar();
    void ClosePopupBar();
    // The menu popup: the item's menu as a temporary bar. 1 when shown.
    int OpenMenuPopup();

    // ---- keyboard between listed bars -------------------------------------------------------
    // item may be null: the free bars are then the candidates.
    static CVellumMenuItem* FindItemInNeighbourBar(CVellumMenuItem_Popup* item,
                                                   CVellumMenuObject* bar, int direction);

    // ---- fields ------------------------------------------------------------------------------
    char m_popupPath[kPopupPathSize];        // "Popup", absolute
    BOOL Toggle;                             // "Popup.Toggle"
    BOOL AutoReposition;                     // "Popup.AutoReposition"
    BOOL ForceAssociatedPopupSkin;           // "Popup.ForceAssociatedPopupSkin"
    BOOL Volitle;                            // "Popup.Volitle"
    BOOL PreserveSize;                       // "Popup.PreserveSize"
    BOOL HideOnClose;                        // "Popup.HideOnClose"
    int PopupDirection;                      // "Popup.PopupDirection", 0..9
    BOOL AlignPopupNextToBar;                // "Popup.AlignPopupNextToBar"
    int WasPoppedUp;                         // "Popup.WasPoppedUp" as loaded
    int nBarsToPopup;                        // "Popup.nBarsToPopup", 0..20
    char szBarsToPopup[kMaxListedBars][kListedBarNameSize];   // "Popup.szBar%i"

    CVellumMenuObject* m_childBar;           // one reference held
    BOOL m_listedBarsShown;
    BOOL m_openAtCursor;                     // desktop right-click only
    BOOL m_desktopRightClickItem;            // desktop right-click only
    // The bar the desktop right-click handler opens from, in place of the
    // item's own bar; null otherwise.
    CVellumMenuObject* m_openFromBar;
    int m_companionSkinKind;                 // CompanionSkinKind
    BOOL m_plain;
    int m_pendingWasPoppedUp;
    BOOL m_childOpenAtThemeClose;
    HWND m_page;                             // dialog 1091

    // Plain mode for a type no class claims yet: its name and unread keys,
    // written back by a save.
    char m_storedType[32];
    UnreadKeys m_unreadKeys;

protected:
    // The bar the child and the listed bars are placed against.
    CVellumMenuObject* AnchorBar() const;
    bool BarIsVolatileOrPoppedUp(const CVellumMenuObject* bar) const;
    // Creates and loads the child bar from the path; false when none was made.
    bool CreateChildFromFile();
    CVellumMenuObject* NewChildBar();
    void AfterChildGone();
    void InitFields();
    void ReadPopupKeys();
    void OnBarNameChanging(WPARAM wp, LPARAM lp);
    void ActivateShownListedBars();
    void CheckModifiedAtThemeClose();
    // The stored type of a plain item and the keys no class read.
    void WriteKeptKeys();
};

// The item class of "Popup" and the default item, for the factory.
CVellumMenuItem* MakePopupItem(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                               const char* storedType);
CVellumMenuItem* MakePlainItem(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                               const char* storedType);
