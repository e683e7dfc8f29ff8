// Item operations that belong to work not built yet: the context menu,
// clicks, the own popup menu, messages to items, the standard commands,
// the theme editor and property pages. Each does nothing and
// reports failure where it has a result.
#include "model/vellum_menu_item.h"

// Messages to items (hotkeys, Windows key, state requests) are not built.
void CVellumMenuItem::ProcessUserMessage(UINT, WPARAM, LPARAM) {}
// 0: no popup menu was shown.
int CVellumMenuItem::TrackPopupMenu(int) { return 0; }
void CVellumMenuItem::UnInitContextMenu() {}
void CVellumMenuItem::SetEditorNodeTitle() {}

// ---- input: clicks, menus, messages ----------------------------------------------------------
void CVellumMenuItem::ProcessMenuMessage(UINT, WPARAM, LPARAM) {}
void CVellumMenuItem::OnClick() {}
void CVellumMenuItem::OnDblClick() {}

// ---- context menu --------------------------------------------------------------------------------
HMENU CVellumMenuItem::InitContextMenu(HMENU) { return nullptr; }
int CVellumMenuItem::DoContextMenuCommand(int) { return 0; }

// ---- standard commands -----------------------------------------------------------------------------
// 0: nothing run. The set query (-2) answers "no set" (-1), so an item
// without ActionClass keeps -1 in its file and learns its set once the
// commands exist.
int CVellumMenuItem::ExecuteStandardCommand(int set, int, char* name, char* setKey) {
    if (name) name[0] = '\0';
    if (setKey) setKey[0] = '\0';
    return set == -2 ? -1 : 0;
}

// ---- property pages and the new-item wizard -----------------------------------------------------------
int CVellumMenuItem::DoNewItemWizzard() { return 0; }
HWND CVellumMenuItem::CallConfigDialogEx(HWND) { return nullptr; }
