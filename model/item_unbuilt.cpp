// Item operations that belong to work not built yet: text measuring,
// drawing, icons, the context menu, popup menus, messages to items, the
// theme editor and state animation. Each does nothing and reports failure
// where it has a result.
#include "model/vellum_menu_item.h"

// Messages to items (hotkeys, Windows key, state requests) are not built.
void CVellumMenuItem::ProcessUserMessage(UINT, WPARAM, LPARAM) {}
// 0: no popup menu was shown.
int CVellumMenuItem::TrackPopupMenu(int) { return 0; }
void CVellumMenuItem::UnInitContextMenu() {}
void CVellumMenuItem::SetEditorNodeTitle() {}

// ---- drag and drop ----------------------------------------------------------------------
void CVellumMenuItem::DragDrop_Dropped(DWORD) {}
IDataObject* CVellumMenuItem::GetDragDropDataObject(DWORD* effects) {
    if (effects) *effects = 0;
    return nullptr;
}
void CVellumMenuItem::DragHover() {}

// ---- input: clicks, keys, menus, messages ----------------------------------------------------
void CVellumMenuItem::ProcessMenuMessage(UINT, WPARAM, LPARAM) {}
int CVellumMenuItem::TrackPopupMenuDoubleClick() { return 0; }
void CVellumMenuItem::InitMenu(HMENU) {}
void CVellumMenuItem::UnInitMenu(HMENU) {}
int CVellumMenuItem::GetPopupDelay() { return -1; }
UINT CVellumMenuItem::GetPopupRequiredKeys() { return 0; }
void CVellumMenuItem::PrePopup(CVellumMenuObject*) {}
void CVellumMenuItem::OnClick() {}
void CVellumMenuItem::OnDblClick() {}
void CVellumMenuItem::OnRClick(int*) {}
void CVellumMenuItem::GettingKeyboardFocus() {}

// ---- context menu --------------------------------------------------------------------------------
int CVellumMenuItem::DoCustomContextMenuCommand(int) { return 0; }
HMENU CVellumMenuItem::InitCustomContextMenu(HMENU, HMENU) { return nullptr; }
void CVellumMenuItem::UnInitCustomContextMenu(HMENU, HMENU) {}
HMENU CVellumMenuItem::InitContextMenu(HMENU) { return nullptr; }
int CVellumMenuItem::DoContextMenuCommand(int) { return 0; }
int CVellumMenuItem::InitSimpleContextMenu(HMENU) { return 0; }

// ---- standard commands -----------------------------------------------------------------------------
// 0: nothing run. The set query (-2) answers "no set" (-1), so an item
// without ActionClass keeps -1 in its file and learns its set once the
// commands exist.
int CVellumMenuItem::ExecuteStandardCommand(int set, int, char* name, char* setKey) {
    if (name) name[0] = '\0';
    if (setKey) setKey[0] = '\0';
    return set == -2 ? -1 : 0;
}

// ---- behaviour classes and copies ------------------------------------------------------------------
CVellumMenuItem* CVellumMenuItem::Duplicate() { return nullptr; }
int CVellumMenuItem::Copy(CVellumMenuItem*, int) { return 0; }

// ---- custom states ---------------------------------------------------------------------------------------
int CVellumMenuItem::PreventEditExtraStates() { return 0; }

// ---- property pages and the new-item wizard -----------------------------------------------------------
int CVellumMenuItem::DoNewItemWizzard() { return 0; }
HWND CVellumMenuItem::CallConfigDialogEx(HWND) { return nullptr; }
