// Process-wide application state shared by every module: the ten bar
// layers, the current theme file and the recent-theme list, the active
// modeless dialog for the message loop, the popup-open guard, the hotkey id
// counter and the smart-menus cut-off date.
#pragma once
#include <windows.h>

constexpr int kProgramVersion = 150;
int GetProgramVersion();

// ---- layers ------------------------------------------------------------------------
constexpr int kLayerCount = 10;
bool IsLayerHidden(int layer);
int IsLayerVolatile(int layer);
int ToggleLayerHidden(int layer);
int ToggleLayerVolatile(int layer);
// The theme sets and clears the flags when it loads.
void SetLayerFlags(int layer, int is_volatile, int hidden);
void ResetLayerFlags();
int HideVolatileLayers(bool send);

// ---- current theme ---------------------------------------------------------------------
constexpr const char kRecentThemesKey[] = "Software\\Vantrell\\Tessellar\\Recent\\";
constexpr const char kRecentThemePrefix[] = "Recent Theme #";
constexpr int kRecentThemeCount = 10;
bool SetCurrentThemeFile(const char* path);
const char* GetCurrentThemeFile();
// The current theme folder with a trailing backslash (empty when none).
const char* GetThemeFolder();
bool GetThemeIconsFolder(char* buffer);    // MAX_PATH characters
bool GetThemeBitmapsFolder(char* buffer);
bool GetThemeBarsFolder(char* buffer);
bool ClearRecentThemes();

// ---- theme flags, kept here for every module to read --------------------------------
// Set by the theme module while it opens the theme's bars or saves it.
bool IsThemeLoading();
void SetThemeLoading(bool loading);
bool IsSavingTheme();
void SetSavingTheme(bool saving);
// The theme's tray filtering switch.
bool GetDisableSystrayTimeFiltering();
void SetDisableSystrayTimeFiltering(bool disabled);
// True when the theme editor exists and one of its modal dialogs disables it.
bool IsThemeEditorDisabled();

// ---- closing ------------------------------------------------------------------------------
// True while the main window closes (and after) or while a theme closes its bars.
bool IsClosingBars();
void SetClosingThemeBars(bool closing);

// ---- modeless dialogs ---------------------------------------------------------------------
// Every modeless dialog procedure calls this first with its own arguments.
void TrackModelessDialog(HWND dlg, UINT msg, WPARAM wp);
HWND GetActiveModelessDialog();

// ---- popup-open guard --------------------------------------------------------------------
constexpr DWORD kPopupOpenGuardMs = 800;
void SetJustOpenedPopup(HWND popup);
bool IsPopupOpenGuardOver();
HWND GetJustOpenedPopup();

// ---- hotkeys ---------------------------------------------------------------------------------
int AllocHotkeyId();

// ---- bar titles ----------------------------------------------------------------------------
// EnumBarWindows callback: 0 (stop) at a user bar titled like user_data (a
// const char*, compared without case); 1 otherwise. A walk that ends with 0
// means the title is taken.
BOOL CALLBACK IsBarTitleFreeProc(HWND bar_window, LPARAM title);

// ---- smart menus --------------------------------------------------------------------------------
int GetSmartMenusEnabled();
FILETIME GetSmartMenusCutoffTime();
void InvalidateSmartMenusCutoff();
void SetSmartMenusExpanded(bool expanded);
bool GetSmartMenusExpanded();
// The cut-off for a given local date (days, weeks and months before it).
FILETIME ComputeSmartMenusCutoff(const SYSTEMTIME& today, int days, int weeks, int months);
