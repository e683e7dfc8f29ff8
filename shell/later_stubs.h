// Calls from the shell into modules that are not built yet. Each function
// does nothing (or reports failure) until its module replaces it; none of
// them pretends that something happened.
#pragma once
#include <windows.h>

class CVellumMenuObject;

// ---- built: the theme file, its dialogs, the recent themes, the program tray
// icon and the stats monitor (kept here so every caller finds them) ----------
#include "shell/program_tray_icon.h"
#include "shell/stats_monitor.h"
#include "shell/theme_dialogs.h"
#include "shell/theme_file.h"
#include "shell/theme_menus.h"
void CreateStatsMonitor(HWND main_window);
void StatsMonitorSetWinTabEnabled(int enabled);
// The relay's first stop for every message from WM_USER upwards.
void StatsMonitorHandleMessage(UINT msg, WPARAM wp, LPARAM lp);
void FreeStatsMonitor();

// ---- documents and WM_COPYDATA commands ----------------------------------------------------
bool OpenDocument(const char* path);                       // theme_documents.cpp
// A bounded, terminated copy of the text another process sent.
void RunCopyDataCommand(HWND sender, const char* text);   // theme_documents.cpp
// A preset run's ".tspack" install; false: nothing installed.
bool InstallThemePackage(const char* path, char* theme_file, size_t theme_file_size);
void PackUpTheme();
void PackUpExpansion();

// ---- theme browser, editor, helper lines, about box ------------------------------------------------
void ShowThemeBrowser(int tab);
void SetThemeBrowserInstance(HINSTANCE instance);
void ShowChangeThemeStyleDialog();
void ShowThemeEditor();
HWND GetThemeEditorWindow();
void SendThemeEditorCommand(UINT id);
void AddBarToEditorTree(CVellumMenuObject* bar);
void RemoveEditorNode(const void* object);
void SelectEditorObject(const void* object, int deep);
void SuspendEditorPageRedraw(bool suspend);
void AddItemToEditorTreeAndSelect(const void* item);
bool ShowHelperLines();
bool AreHelperLinesShown();
void NotifyHelperLinesBarClosing(CVellumMenuObject* bar);
bool RegisterHelperLinesClass(HINSTANCE instance);
void ShowAboutBox();
void CreateWizardFonts();
void FreeWizardFonts();

// ---- desktop right-click bar ---------------------------------------------------------------------------
void CreateDesktopRightClickBar();
void FreeDesktopRightClickBar(int flags);
void ShowDesktopRightClickMenu();
void UpdateDesktopRightClickHook();
void ShowDesktopBarsDialog();

// ---- desktop integration: taskbar, desktop icons, full screen, menu hiding ---------------------------
int SetHideTaskbar(int hide, int force);
void ApplyHideTaskbar();
void RecheckHiddenTaskbar();
// Older systems hide and show the taskbar through its own properties dialog.
void DriveTaskbarPropertiesDialog(bool show);
void DetectFullScreenWindow(HWND wnd);
bool IsFullScreenAppActive();
void SetTaskbarHideInstance(HINSTANCE instance);
void ClearMenuHidingExclusions();
void FreeMenuHidingExclusions();
void LoadMenuHidingExclusions(HKEY settings_key);
bool SaveMenuHidingExclusions(HKEY settings_key);
bool IsWindowMenuHidingExcluded(HWND wnd);
void ShowMenuHidingExclusionsDialog(HWND owner);


// ---- tray server -------------------------------------------------------------------------------------------
bool StartTrayIconServer();                                // false: not started

// ---- most-used list and smart menus ---------------------------------------------------------------------
void CreateMFUList();
void FreeMFUList();                                       // saves first
void SetSmartMenusStartTime(const FILETIME& start);



// ---- plug-ins -------------------------------------------------------------------------------------------------
// The plug-in's own configure sequence; false: nothing configured.
bool ConfigurePluginItem(void* item);
// A plug-in item's forwarding of its window's messages; nothing yet.
void SetPluginMessageForwarding(void* item, int on);
// Item copies between behaviour classes; false: nothing copied.
bool CopyItemSettings(void* from_item, void* to_item);
