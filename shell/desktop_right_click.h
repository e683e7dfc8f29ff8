// The desktop right-click menu: a right click on the empty desktop opens
// bars of the current theme as a popup menu. The outside hook library
// watches the desktop while the global atom "TS-DeskRClk" exists and sends
// "TS Desktop Right Click" to the main window. This module owns the hidden
// handler bar (class "Tessellar Toolbar DESKTOP", one "Popup" item that
// opens the listed bars), the theme's list [DesktopRightClickBars], the
// atom, and dialog 1108 that edits the list.
#pragma once
#include <windows.h>

class CVellumMenuObject;
class CVellumMenuItem;

constexpr int kMaxDesktopRightClickBars = 20;
constexpr int kDesktopBarTitleSize = 200;   // 199 characters and the zero
constexpr char kDesktopRightClickAtom[] = "TS-DeskRClk";
constexpr char kDesktopHandlerBarTitle[] = "DesktopRightClickHandlerBar";

// ---- the handler bar ------------------------------------------------------------------------------
// Made once in the main window's creation, for the main window.
void CreateDesktopRightClickBar(HINSTANCE instance);
// The same for a given main window (a test's stand-in).
void CreateDesktopRightClickBarFor(HINSTANCE instance, HWND main_window);
// only_forget 0 destroys the bar; 1 forgets bar and item (destroyed elsewhere).
void FreeDesktopRightClickBar(int only_forget);
CVellumMenuObject* GetDesktopRightClickBar();
CVellumMenuItem* GetDesktopRightClickItem();
// Opens the listed bars at the point, or at the cursor for null.
void ShowDesktopRightClickMenu(const POINT* point);
// The same on behalf of a bar: that bar is moved under the point (or the
// cursor), keeping its size.
void ShowDesktopRightClickMenuAt(CVellumMenuObject* owner, const POINT* point);

// ---- the theme's list -----------------------------------------------------------------------------
int GetDesktopRightClickBarCount();
const char* GetDesktopRightClickBarTitle(int index);   // "" outside the list
// Appends a title cut to 199 characters; false when empty or the list is full.
bool AddDesktopRightClickBar(const char* title);
// Removes the first entry equal to the title; the later ones move up.
bool RemoveDesktopRightClickBar(const char* title);
void ClearDesktopRightClickBars();
// [DesktopRightClickBars] "Bar#1" ... up to the first empty value, then the atom.
void LoadDesktopRightClickBars(const char* theme_file);
// Replaces the section with the list; the number of entries written.
int SaveDesktopRightClickBars(const char* theme_file);
// The atom exists exactly while the option is on and the list is not
// empty; the stats monitor then re-decides its mouse hook.
void UpdateDesktopRightClickHook();

// ---- dialog 1108 (desktop_right_click_dialog.cpp) -------------------------------------------------
// Modeless, one instance, no owner (command 40149).
void ShowDesktopRightClickBarsDialog();
HWND GetDesktopRightClickBarsDialog();
INT_PTR CALLBACK DesktopRightClickBarsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
