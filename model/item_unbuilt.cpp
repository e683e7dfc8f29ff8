// Item operations that belong to work not built yet: the theme editor's
// node and property pages. Each does nothing and reports failure where it
// has a result.
#include "model/vellum_menu_item.h"

void CVellumMenuItem::SetEditorNodeTitle() {}

// ---- property pages -----------------------------------------------------------------------------------
HWND CVellumMenuItem::CallConfigDialogEx(HWND) { return nullptr; }
int CVellumMenuItem::SetupActionsCombobox(HWND, int, int) { return 1; }
