// Bar operations whose behaviour belongs to work not built yet: moving a
// bar under the pointer, the context menu, drag and drop, property pages and
// other parts of the program. Each does nothing and reports failure (0, none)
// where it has a result; none pretends to have done its work.
#include "model/vellum_menu_object.h"
#include "model/bar_window.h"
#include "model/bar_file.h"
#include "model/bar_placement.h"


// ---- positioning --------------------------------------------------------------------------------
// The bar's and its sections' property pages: closed and opened again so
// that they show a new orientation. No page is built yet.
void ReopenPagesForOrientation(CVellumMenuObject*) {}

// ---- context menu ------------------------------------------------------------------------------
int CVellumMenuObject::InitSimpleContextMenu(HMENU) { return 0; }
HMENU CVellumMenuObject::InitContextMenu(HMENU) { return nullptr; }
void CVellumMenuObject::UnInitContextMenu() {}
int CVellumMenuObject::DoContextMenuCommand(int) { return 0; }
bool CVellumMenuObject::ServeContextMenuHeader(UINT, WPARAM, LPARAM) { return false; }
void CVellumMenuObject::CreateMenuHeaderFont() {}
void CVellumMenuObject::DeleteMenuHeaderFont() {}

// ---- property pages ------------------------------------------------------------------------------
HWND CVellumMenuObject::CallConfigDialog(HWND) { return nullptr; }
HWND CVellumMenuObject::CallConfigDialogEx(HWND) { return nullptr; }
HWND CVellumMenuObject::CallConfigDialogAdv(HWND) { return nullptr; }
HWND CVellumMenuObject::CallConfigDialogExtra(HWND) { return nullptr; }
HWND CVellumMenuObject::CallConfigDialogKeyboard(HWND) { return nullptr; }
int CVellumMenuObject::ObjectExGUI_UpdateValues(int) { return 0; }

// ---- other parts of the program ----------------------------------------------------------------------
// The theme editor's tree.
void CVellumMenuObject::RetitleEditorNode() {}
// The shared drag-and-drop object.
void CVellumMenuObject::RegisterDropTarget() {}
void CVellumMenuObject::RevokeDropTarget() {}
