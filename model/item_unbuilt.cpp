// Item operations that belong to work not built yet: text measuring,
// drawing, icons, the context menu, popup menus, messages to items, the
// theme editor and state animation. Each does nothing and reports failure
// where it has a result.
#include "model/vellum_menu_item.h"

// Messages to items (hotkeys, Windows key, state requests) are not built.
void CVellumMenuItem::ProcessUserMessage(UINT, WPARAM, LPARAM) {}
// 0: no popup menu was shown.
int CVellumMenuItem::TrackPopupMenu(int) { return 0; }
void CVellumMenuItem::UpdateTextSize(int) {}
void CVellumMenuItem::RedrawItem() {}
void CVellumMenuItem::RefreshIcon() {}
void CVellumMenuItem::UnInitContextMenu() {}
void CVellumMenuItem::SetEditorNodeTitle() {}
void CVellumMenuItem::StopStateAnimation() {}
