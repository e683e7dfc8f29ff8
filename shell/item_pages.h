// The property pages of an item: Display (one of four templates by display
// mode), Behavior and Hotkey, and the two modal dialogs that edit the item's
// own popup menu. The model reaches them through its host table
// (InstallItemPages); item types with pages of their own override
// CallConfigDialogEx.
#pragma once
#include <windows.h>
#include <memory>
#include "shell/config_pages.h"

class CVellumMenuItem;

// Fills the host table's page entries (OpenItemPage, RefreshVisiblePropPage).
void InstallItemPages();

// Creates page kItemDisplayPage, kItemBehaviorPage or kItemHotkeyPage once.
HWND OpenItemPage(CVellumMenuItem* item, int page, HWND parent);
// The Display page's template for the item's display mode.
int DisplayPageTemplate(const CVellumMenuItem* item);
// Rebuilds the Display page in place (the item's RefreshVisiblePropPage).
int RebuildDisplayPage(CVellumMenuItem* item, int focus);

// ---- the pages (item_display_page.cpp, item_behavior_page.cpp, item_hotkey_page.cpp)
std::unique_ptr<ConfigPage> NewDisplayPage(CVellumMenuItem* item);
std::unique_ptr<ConfigPage> NewBehaviorPage(CVellumMenuItem* item);
std::unique_ptr<ConfigPage> NewHotkeyPage(CVellumMenuItem* item);

// ---- the item's own popup menu (popup_menu_dialogs.cpp) ------------------------------------
// Edit Popup Menu, modal; the item's menu is rebuilt from the rows after
// every change.
void EditItemPopupMenu(CVellumMenuItem* item, HWND owner);

// ---- shared by the item pages -----------------------------------------------------------------
// The module holding the page templates.
HINSTANCE ItemPagesModule();
// SetModified on the item's bar, and the relayout RecalcRects(1, 1).
void MarkItemBarModified(CVellumMenuItem* item);
void RelayoutItemBar(CVellumMenuItem* item);
