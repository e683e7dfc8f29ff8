// Mirrored menus: CVellumMenuSection_Replaceable shows the entries of a
// menu as items, CVellumMenuItem_Replaceable is one entry (a submenu opens
// as a popup bar of the same kind; any other entry posts its command to the
// menu's owner). Here in menu-only mode: the popup of one menu, as task
// items show a window's system menu. Following the active window's menu
// bar comes with the menu-mirroring section.
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
};

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
