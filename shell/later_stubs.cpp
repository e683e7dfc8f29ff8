// Not built yet: each body stays empty (or reports failure) until the module
// it belongs to replaces it. Listed by the module that will own it.
#include "shell/later_stubs.h"

// ---- theme file ---------------------------------------------------------------------------
bool LoadThemeFile(const char*, int) { return false; }
bool CloseTheme() { return true; }
void ResetThemeInfo(int) {}
void ClearThemeHasStyles() {}
bool ShouldSaveTheme(int* answer) {
    if (answer) *answer = 0;
    return false;
}
bool SaveThemeBeforeClose(int) { return false; }
void CloseThemeBars() {}
void CloseThemeBarsWithoutSaving() {}
bool SaveThemeFile(const char*, int, int) { return false; }
void ShowThemeOptionsDialog() {}
void StartNewTheme() {}
void ShowSaveAlternateStyleDialog() {}
void WriteLastTheme(const char*) {}
bool ThemeUsesLVSkin() { return false; }
void SetThemeUsesLVSkin(bool) {}
bool GetThemeHidesTaskbar() { return false; }

// ---- documents and WM_COPYDATA commands ----------------------------------------------------
bool OpenDocument(const char*) { return false; }
void RunCopyDataCommand(HWND, const char*) {}
bool InstallThemePackage(const char*, char* theme_file, size_t theme_file_size) {
    if (theme_file && theme_file_size) theme_file[0] = '\0';
    return false;
}
void PackUpTheme() {}
void PackUpExpansion() {}

// ---- recent-theme list ------------------------------------------------------------------------
void PushRecentThemes(const char*, const char*) {}
void ClearRecentThemeList() {}

// ---- program tray icon --------------------------------------------------------------------------
void CreateProgramTrayIcon(HWND, bool) {}
void ShowProgramTrayIcon(bool) {}
bool HasProgramTrayIcon() { return false; }
LRESULT HandleTrayIconClick(LPARAM) { return 0; }
void ShowTrayMenu() {}
void FreeProgramTrayIcon() {}

// ---- stats monitor and hooks ----------------------------------------------------------------------
void CreateStatsMonitor(HWND) {}
void StatsMonitorSetWinTabEnabled(int) {}
void StatsMonitorHandleMessage(UINT, WPARAM, LPARAM) {}
void FreeStatsMonitor() {}

// ---- theme browser, editor, helper lines, about box ------------------------------------------------
void ShowThemeBrowser(int) {}
void SetThemeBrowserInstance(HINSTANCE) {}
void ShowChangeThemeStyleDialog() {}
void ShowThemeEditor() {}
HWND GetThemeEditorWindow() { return nullptr; }
void SendThemeEditorCommand(UINT) {}
void AddBarToEditorTree(CVellumMenuObject*) {}
void RemoveEditorNode(const void*) {}
void SelectEditorObject(const void*, int) {}
void SuspendEditorPageRedraw(bool) {}
void AddItemToEditorTreeAndSelect(const void*) {}
bool ShowHelperLines() { return false; }
bool AreHelperLinesShown() { return false; }
void NotifyHelperLinesBarClosing(CVellumMenuObject*) {}
bool RegisterHelperLinesClass(HINSTANCE) { return false; }
void ShowAboutBox() {}
void CreateWizardFonts() {}
void FreeWizardFonts() {}

// ---- desktop right-click bar ---------------------------------------------------------------------------
void CreateDesktopRightClickBar() {}
void FreeDesktopRightClickBar(int) {}
void ShowDesktopRightClickMenu() {}
void UpdateDesktopRightClickHook() {}
void ShowDesktopBarsDialog() {}

// ---- desktop integration ------------------------------------------------------------------------------
int SetHideTaskbar(int, int) { return 0; }
void ApplyHideTaskbar() {}
void RecheckHiddenTaskbar() {}
void DriveTaskbarPropertiesDialog(bool) {}
void DetectFullScreenWindow(HWND) {}
bool IsFullScreenAppActive() { return false; }
void SetTaskbarHideInstance(HINSTANCE) {}
void ClearMenuHidingExclusions() {}
void FreeMenuHidingExclusions() {}
void LoadMenuHidingExclusions(HKEY) {}
bool SaveMenuHidingExclusions(HKEY) { return true; }
bool IsWindowMenuHidingExcluded(HWND) { return false; }
void ShowMenuHidingExclusionsDialog(HWND) {}

// ---- tray server -------------------------------------------------------------------------------------------
bool StartTrayIconServer() { return false; }

// ---- most-used list and smart menus ---------------------------------------------------------------------
void CreateMFUList() {}
void FreeMFUList() {}
void SetSmartMenusStartTime(const FILETIME&) {}

// ---- skins and drawing -------------------------------------------------------------------------------------

// ---- Startup-folder shortcuts ------------------------------------------------------------------------------

// ---- plug-ins -------------------------------------------------------------------------------------------------
bool ConfigurePluginItem(void*) { return false; }
void SetPluginMessageForwarding(void*, int) {}
bool CopyItemSettings(void*, void*) { return false; }
