// Mirrored menus: CVellumMenuSection_Replaceable is the class of every
// ordinary section ("Default", plain mode); with mirroring on ("Replacable")
// it shows the active window's menu bar in place of its own items while
// that window has one. In menu-only mode it is the popup of one menu (a
// submenu of a mirrored menu, or a window's system menu for a task item).
// CVellumMenuItem_Replaceable is one entry: a submenu opens as a popup bar
// of the same kind; any other entry posts its command to the menu's owner.
//
//   replaceable.cpp            the entries, menu-only mode, the process-wide values
//   replaceable_mirroring.cpp  plain and mirroring mode: following the capture, the slots
//   replaceable_page.cpp       page 152
#pragma once
#include <windows.h>
#include "model/vellum_menu_section.h"
#include "types/popup_item.h"

// A section made while a task item builds a system-menu popup claims the
// mode (2 -> 1) and keeps the watcher count unchanged.
void SetSystemMenuPopupMode(int mode);
int GetSystemMenuPopupMode();
// The sections that mirror the active window's menu; both leave the count
// alone while the system-menu popup mode is not 0.
int AddAppMenuWatcher();
void RemoveAppMenuWatcher();

constexpr int kMirroredTextSize = 260;

class CVellumMenuSection_Replaceable : public CVellumMenuSection {
public:
    // Menu popups are made with (bar, -1, 0, 0).
    CVellumMenuSection_Replaceable(CVellumMenuObject* bar, int sectionNumber, int loadItems, int plain);
    ~CVellumMenuSection_Replaceable() override;

    // Menu-only: the section shows this menu of owner (rebuilt); 1.
    int SetMirroredMenu(HWND owner, HMENU menu);
    // Replaces every item with one per entry (at most 500); 0 without menu.
    int BuildMirroredItems();
    // Takes over the entries' current texts and states; whether any changed.
    int RefreshMirroredItems();
    // Mirroring on or off ("Replacable"); counts the section as a watcher of
    // the active window's menu.
    void SetReplaceable(int on);
    // Own items put aside, the menu's entries in their place (1 when done).
    int BeginMirroring();
    // The own items back (1 when the section was mirroring).
    int EndMirroring();
    // "Stats Updated" with a read menu: follows the active window's menu.
    int OnStatsUpdated();

    // ---- virtual operations (plain mode: the base's) -------------------------------------
    int GetCustomSectionName(char* out) override;
    int AllowEnumItems() override;
    CVellumMenuItem* GUI_CustomEnumItems(int index) override;
    int SaveExternal() override;
    void ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    HWND CallConfigDialogEx(HWND parent) override;

    BOOL m_replaceable;
    BOOL m_systemCommands;
    BOOL m_busy;
    HMENU m_menu;
    int m_entryCount;
    HWND m_owner;
    BOOL m_mirroring;
    CVellumMenuItem** m_ownItems;
    int m_ownItemCount;
    BOOL m_menuOnly;
    BOOL m_holdsSystemMenuMode;
    // The popup of a menu captured from Explorer or a browser: shows three
    // entries (a separator added to two, the fourth left out of four) so
    // that "Favorites" fits below; the menu itself is never changed.
    BOOL m_trimToThree;
};

CVellumMenuSection* MakeDefaultSection(CVellumMenuObject* bar, int sectionNumber);
CVellumMenuSection* MakeReplaceableSection(CVellumMenuObject* bar, int sectionNumber);

class CVellumMenuItem_Replaceable : public CVellumMenuItem_Popup {
public:
    CVellumMenuItem_Replaceable(CVellumMenuObject* bar, CVellumMenuSection* section);
    ~CVellumMenuItem_Replaceable() override;

    // position -1: the item stands for the whole menu.
    void SetMenuEntry(int position, HMENU menu, HWND owner);

    int GetPopupDelay() override;
    void UpdateHiddenPopup() override;
    int GetCustomItemName(char* out) override;
    CVellumMenuSection* CreatePopupSection(CVellumMenuObject* childBar, int* useMenu) override;
    void PrePopup(CVellumMenuObject* childBar) override;
    void OnClick() override;
    void SetItemTitle(char* title, int headerLength) override;
    void InitMenu(HMENU submenu) override;
    HMENU GetPopupMenu() override;

    BOOL m_systemCommand;
    int m_position;
    HMENU m_menu;
    HWND m_owner;
    HMENU m_lastSubmenu;
    int m_lastSubmenuCount;
};
