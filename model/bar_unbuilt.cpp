// Bar operations whose behaviour belongs to work not built yet: the context
// menu, drag and drop and other parts of the program. Each does nothing and
// reports failure (0, none) where it has a result; none pretends to have
// done its work.
#include "model/vellum_menu_object.h"
#include "model/bar_window.h"
#include "model/bar_file.h"
#include "model/bar_placement.h"


// ---- context menu ------------------------------------------------------------------------------
int CVellumMenuObject::InitSimpleContextMenu(HMENU) { return 0; }
HMENU CVellumMenuObject::InitContextMenu(HMENU) { return nullptr; }
void CVellumMenuObject::UnInitContextMenu() {}
int CVellumMenuObject::DoContextMenuCommand(int) { return 0; }
bool CVellumMenuObject::ServeContextMenuHeader(UINT, WPARAM, LPARAM) { return false; }
void CVellumMenuObject::CreateMenuHeaderFont() {}
void CVellumMenuObject::DeleteMenuHeaderFont() {}

// ---- other parts of the program ----------------------------------------------------------------------
// The theme editor's tree.
void CVellumMenuObject::RetitleEditorNode() {}
// The shared drag-and-drop object.
void CVellumMenuObject::RegisterDropTarget() {}
void CVellumMenuObject::RevokeDropTarget() {}
