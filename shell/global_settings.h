// The program-wide options: REG_DWORD values under HKEY_CURRENT_USER
// "Software\Vantrell\Tessellar", read when the main window is created and
// written when it goes and on every OK or Apply of the General Options.
#pragma once
#include <windows.h>

// Every value is stored as a REG_DWORD of the same name.
struct GlobalSettings {
    int UseSimpleMenus = 0;
    int bDisableGlow = 0;
    int bDisableDoubleClicking = 0;
    int bUseTearoff = 1;
    int bDisableAnimations = 0;
    int bDisableLanternfoldAtStart = 0;
    int bHideBehaviorWarning = 0;
    int bHideTrayIcon = 0;
    int bAutoSaveBars = 1;
    int bHideMenubars = 0;
    int bHideExplorerMenubars = 1;
    int bHelperEnabled = 0;
    int bUserModeMenus = 0;
    int bDesktopIconsHidden = 0;
    int bDesktopRClickingEnabled = 1;
    int SmartMenusEnabled = 1;
    int SmartMenus_Months = 0;
    int SmartMenus_Weeks = 1;
    int SmartMenus_Days = 0;
    int bWinTabEnabled = 1;
};

// The one process-wide record (defaults until LoadGlobalSettings runs).
GlobalSettings& Settings();
// "LastTSVersion" as read at start (0 when missing); saves write 150.
int GetLastTSVersion();
constexpr int kSettingsVersion = 150;

constexpr const char kSettingsKeyPath[] = "Software\\Vantrell\\Tessellar";
constexpr const char kCommonKeyPath[] = "Software\\Vantrell\\Common";
constexpr const char kBootkeeperKeyPath[] = "Software\\Vantrell\\Common\\Bootkeeper";

// Creates or opens the settings key with all access; null on failure.
HKEY OpenSettingsKey();
// False when the key could not be opened and the defaults are in force.
bool LoadGlobalSettings();
// False in preset mode, without the key, or when a value could not be
// written (the failure is also reported through OutputDebugString).
bool SaveGlobalSettings();
// "LastTSPath" = the program's full path, for the tray server's watchdog.
bool WriteLastTSPath();
// Tells the tray server whether to keep its own run-at-start-up entry.
bool SyncTrayIconServerAutostart();

// ---- accessors ----------------------------------------------------------------
int GetDisableGlow();
int GetDisableDoubleClicking();
int GetUseTearoff();
int GetDisableAnimations();
int GetAutoSaveBars();
int GetHideBehaviorWarning();
void SetHideBehaviorWarning(int value);
int GetDesktopRClickingEnabled();
int GetHideMenubars();
// Both menu-hiding values: bit 0 "bHideMenubars", bit 1 "bHideExplorerMenubars".
int GetMenuHidingFlags();
int GetUseSimpleMenus();
int GetUserModeMenus();
int GetDisableLanternfoldAtStart();
int GetHideTrayIcon();
int GetHelperEnabled();
int GetWinTabEnabled();
int GetDesktopIconsHiddenSetting();

// ---- the program's own run-at-start-up switch ------------------------------------
int IsBootkeeperEnabled();
bool BootkeeperValueExists(const char* name);
// Writes (on) or deletes (off) the value; false when the key cannot be opened
// or the write fails.
bool SetBootkeeperValue(const char* name, bool on);
bool IsRunAtStartupOn();
bool SetRunAtStartup(bool on);

// ---- General Options dialog (template 1104) ------------------------------------------
void ShowGeneralOptionsDialog();
HWND GetGeneralOptionsDialog();
INT_PTR CALLBACK GeneralOptionsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
