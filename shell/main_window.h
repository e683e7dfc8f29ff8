// The hidden main window "Tessellar Main": the program's start-up and
// shut-down, the notification-menu commands, the registered messages that
// bars, items and outside programs address to it, and the relay of every
// other message from WM_USER upwards to every bar.
#pragma once
#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
// The hidden main window, or null (in tests that make none).
HWND GetMainWindow();
// The program folder with a trailing backslash, stored at creation.
const char* GetExeFolder();

// Crash-report callback for an outside crash handler: appends one line to
// the file. 1 when written, 0 for a null path or a file that cannot be
// opened or written.
extern "C" __declspec(dllexport) int VTSSaveState(const char* file_path);

// State read by other modules.
bool IsClosingMainWindow();
bool IsSessionEnding();
bool IsApplicationActive();
bool GetDoubleClickOpensBrowser();
void SetDoubleClickOpensBrowser(bool on);

// The numbered commands of the notification menu (WM_COMMAND).
enum TrayMenuCommandId {
    kCmdBarBrowser = 40007,
    kCmdUnload = 40008,
    kCmdConfigureTheme = 40009,
    kCmdAbout = 40010,
    kCmdGeneralOptions = 40012,
    kCmdThemeBrowser = 40013,
    kCmdCreateBar = 40014,
    kCmdSaveTheme = 40015,
    kCmdThemeOptions = 40020,
    kCmdFitBars = 40021,
    kCmdPackTheme = 40024,
    kCmdStartNewTheme = 40025,
    kCmdReloadTheme = 40026,
    kCmdClearRecentThemes = 40028,
    kCmdOpenThemeFolder = 40029,
    kCmdThemeLibraryPage = 40030,
    kCmdCreateBarFromTemplate = 40031,
    kCmdThemeBrowserFromStart = 40032,
    kCmdChangeThemeStyle = 40033,
    kCmdSaveAlternateStyle = 40034,
    kCmdPackExpansion = 40147,
    kCmdDesktopBarsDialog = 40149,
    kCmdSaveAndReload = 40171,
};
void TrayMenuCommand(HWND wnd, UINT id);
// Moves every user bar that sticks out of the primary screen back onto it.
void FitBarsOntoScreen();
