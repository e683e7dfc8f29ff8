// Bar operations whose behaviour belongs to work not built yet: the bar
// file, layout, drawing, pointer and keyboard input, docking, autohide, tab
// order and hotkeys, the context menu, drag and drop, item state animation,
// skins and property pages. Each does nothing and reports failure (0, none)
// where it has a result; none pretends to have done its work.
#include "model/vellum_menu_object.h"
#include "model/bar_window.h"
#include "model/bar_file.h"


// ---- positioning, docking, monitors -----------------------------------------------------------
int CVellumMenuObject::SetPos(int, int, int, int, RECT*, int, int, int) { return 0; }
int CVellumMenuObject::UserSetPos(int, int, int, int, int) { return 0; }
int CVellumMenuObject::UpdatePos() { return 0; }
int CVellumMenuObject::UpdateResolution() { return 0; }
void CVellumMenuObject::UpdateCurrentMonitor(int) {}
void CVellumMenuObject::UpdateMonitorPoints(int) {}
int CVellumMenuObject::GetWindowRectRel(HWND, RECT*) { return 0; }
int CVellumMenuObject::ChangeOrientation(int) { return 0; }
bool CVellumMenuObject::OnAppBarNotify(WPARAM, LPARAM) { return false; }
// Moving a bar under the pointer belongs to the desktop right-click code.
void CVellumMenuObject::ReshowUnderPointer() {}

// ---- autohide ------------------------------------------------------------------------------
int CVellumMenuObject::AutoHide(int, int) { return 0; }
int CVellumMenuObject::AHTimerProcInternal() { return 0; }
int CVellumMenuObject::UpdateAHPos(int, int, POINT*, int) { return 0; }
int CVellumMenuObject::GetWindowRectWithAH(RECT*, int) { return 0; }
int CVellumMenuObject::GetWindowRectWithAHInternal(RECT*, int) { return 0; }
void CVellumMenuObject::OnAutohideEdgeMessage(int) {}
// The stats monitor is not built; nothing decides about its mouse hook.
void CVellumMenuObject::AskStatsMonitorForMouseHook() {}

// ---- hotkey and tab order ---------------------------------------------------------------------
void CVellumMenuObject::RegisterBarHotkey() {}
void CVellumMenuObject::EnterTabOrderAtFront() {}
void CVellumMenuObject::LeaveTabOrder() {}

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
// The helper-lines overlay of the theme editor.
void CVellumMenuObject::TellHelperLinesOverlay(UINT, WPARAM) {}
// The theme editor's tree.
void CVellumMenuObject::RetitleEditorNode() {}
// Plug-in items and their child windows are not built: no plug-in listens.
void ForwardWindowMessageToPlugins(HWND, UINT, WPARAM, LPARAM) {}
// The shared drag-and-drop object.
void CVellumMenuObject::RegisterDropTarget() {}
void CVellumMenuObject::RevokeDropTarget() {}
