// What an item's standard commands and its context menu need from the shell
// and from the theme editor and property pages: one named call each. The
// shell fills the table when it starts; an empty entry does nothing (and a
// command that depends on it reports that nothing ran).
#pragma once
#include <windows.h>
#include <prsht.h>

class CVellumMenuItem;
class CVellumMenuObject;

struct ItemHostCalls {
    // The last active application window the stats monitor holds, or null.
    HWND (*GetLastActiveWindow)();
    // The layer flags of the theme; each answers the new value.
    int (*ToggleLayerHidden)(int layer);
    int (*ToggleLayerVolatile)(int layer);
    // Flips the theme's tray time-filtering switch.
    void (*ToggleSystrayTimeFiltering)();
    // Hides a shown Windows taskbar or shows a hidden one (no force).
    void (*ToggleHideTaskbar)();
    // The theme browser on its theme tab, modeless.
    void (*ShowThemeBrowser)();
    // Opens a skin file in the outside skin editor.
    bool (*EditSkinInSkinEditor)(const char* skinPath);

    // ---- theme editor and property pages -------------------------------------------
    // Opens the theme editor and selects the item's node on the tab (0 first).
    void (*ShowItemInThemeEditor)(CVellumMenuItem* item, int tab);
    // A new copy joins the editor's tree beside its section's items (the
    // children re-sorted) and is selected on its first tab when added.
    void (*AddItemToThemeEditor)(CVellumMenuItem* copy);
    // The bar's node leaves the editor's tree.
    void (*RemoveBarFromThemeEditor)(CVellumMenuObject* bar);
    // The item's node in the editor's tree takes the title.
    void (*RetitleItemInThemeEditor)(CVellumMenuItem* item, const char* title);
    // The custom icon size dialog, modal: the chosen size, or current when
    // it was cancelled or is missing.
    int (*AskCustomIconSize)(HWND owner, int current);
    // Rebuilds the item's Display page for its display mode; with focus the
    // display combo takes the focus. 0 when no Display page exists.
    int (*RefreshVisiblePropPage)(CVellumMenuItem* item, int focus);
    // Creates one of the item's pages (0 Display, 1 Behavior, 2 Hotkey) as a
    // child of parent, or returns the one already open.
    HWND (*OpenItemPage)(CVellumMenuItem* item, int page, HWND parent);

    // ---- the new-item wizard ---------------------------------------------------------
    // Runs the standard wizard for the item; its done flag (0 cancelled).
    int (*RunNewItemWizard)(CVellumMenuItem* item);
    // Appends the standard pages for the item to pages (kMaxWizardPages).
    void (*AddStandardWizardPages)(CVellumMenuItem* item, HPROPSHEETPAGE* pages, int* index);
};

ItemHostCalls& GetItemHostCalls();
