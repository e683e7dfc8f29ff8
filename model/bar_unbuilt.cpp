// Bar operations whose behaviour belongs to work not built yet: moving a
// bar under the pointer, property pages and
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

// ---- property pages ------------------------------------------------------------------------------
HWND CVellumMenuObject::CallConfigDialog(HWND) { return nullptr; }
HWND CVellumMenuObject::CallConfigDialogEx(HWND) { return nullptr; }
HWND CVellumMenuObject::CallConfigDialogAdv(HWND) { return nullptr; }
HWND CVellumMenuObject::CallConfigDialogExtra(HWND) { return nullptr; }
HWND CVellumMenuObject::CallConfigDialogKeyboard(HWND) { return nullptr; }
int CVellumMenuObject::ObjectExGUI_UpdateValues(int) { return 0; }

// ---- other parts of the program ----------------------------------------------------------------------
// The helper-lines overlay of the theme editor.
void CVellumMenuObject::TellHelperLinesOverlay(UINT, WPARAM) {}
// The theme editor's tree.
void CVellumMenuObject::RetitleEditorNode() {}
