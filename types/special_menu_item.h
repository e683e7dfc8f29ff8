// CVellumMenuItem_SpecialMenu: the item that opens a system menu filled at
// the moment it opens by a menu provider of the icon-menu family: the
// start-menu programs (the user's and the common Programs folders merged,
// submenus filled as they open) or the running applications (with the
// commands that hide and show windows). A click tracks the menu like any
// item's own popup menu.
#pragma once
#include <windows.h>
#include "model/vellum_menu_item.h"

class CIconMenu;

constexpr int kSpecialMenuPageDialogId = 120;
constexpr int kSpecialMenuIconId = 130;

// "Menu.Type"; other values in a file are kept but open no menu.
enum SpecialMenuType : int { kProgramsMenu = 0, kRunningApplicationsList = 1 };

class CVellumMenuItem_SpecialMenu : public CVellumMenuItem {
public:
    // Reads "Menu.Type" while the bar reads its file; makes the provider.
    CVellumMenuItem_SpecialMenu(CVellumMenuObject* bar, CVellumMenuSection* section,
                                int itemNumber);
    ~CVellumMenuItem_SpecialMenu() override;

    // Replaces the provider with one of the current type (none for a type
    // other than the two known ones).
    void CreateMenuProvider();
    // Sets the type and makes its provider.
    void SetMenuType(int type);

    // ---- virtual operations -----------------------------------------------------------------
    CVellumMenuItem* Duplicate() override;
    int IsPopup() override;
    int GetCustomItemName(char* out) override;
    HICON GetCustomIcon() override;
    int SaveExternal() override;
    void OnClick() override;
    void ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void InitMenu(HMENU menu) override;
    void UnInitMenu(HMENU menu) override;
    HMENU GetPopupMenu() override;
    HWND CallConfigDialogEx(HWND parent) override;

    int MenuType;              // "Menu.Type"
    CIconMenu* m_provider;     // owned; null without a known type
    // The provider's menu is being tracked: it is not filled again meanwhile.
    bool m_menuOpen;
    HWND m_page;               // dialog 120

private:
    void FillProvider();
};

CVellumMenuItem* MakeSpecialMenuItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                                     int itemNumber, const char* storedType);
