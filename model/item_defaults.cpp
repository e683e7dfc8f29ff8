// The plain item's answers to the virtual operations that item types
// override to add something of their own: the base class does nothing
// there, offers no popup on hover, no menu entries and no extra states.
#include "model/vellum_menu_item.h"

// ---- drag and drop ----------------------------------------------------------------------
void CVellumMenuItem::DragDrop_Dropped(DWORD) {}
// No data object of its own; the allowed effects stay as the caller set them.
IDataObject* CVellumMenuItem::GetDragDropDataObject(DWORD*) { return nullptr; }
void CVellumMenuItem::DragHover() {}

// ---- context menu: nothing added, nothing handled ---------------------------------------
int CVellumMenuItem::DoCustomContextMenuCommand(int) { return 0; }
HMENU CVellumMenuItem::InitCustomContextMenu(HMENU, HMENU) { return nullptr; }
void CVellumMenuItem::UnInitCustomContextMenu(HMENU, HMENU) {}
int CVellumMenuItem::InitSimpleContextMenu(HMENU) { return 0; }

// ---- popups, clicks and focus -----------------------------------------------------------
// -1: the bar opens no popup when the pointer rests on the item.
int CVellumMenuItem::GetPopupDelay() { return -1; }
UINT CVellumMenuItem::GetPopupRequiredKeys() { return 0; }
void CVellumMenuItem::PrePopup(CVellumMenuObject*) {}
int CVellumMenuItem::TrackPopupMenuDoubleClick() { return 0; }
// Around the tracking of the own popup menu, for types that fill it.
void CVellumMenuItem::InitMenu(HMENU) {}
void CVellumMenuItem::UnInitMenu(HMENU) {}
void CVellumMenuItem::OnRClick(int*) {}
void CVellumMenuItem::GettingKeyboardFocus() {}

// ---- custom states ----------------------------------------------------------------------
int CVellumMenuItem::PreventEditExtraStates() { return 0; }
