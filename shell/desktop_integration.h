// Desktop integration: hiding the Windows taskbar for a theme that asks for
// it, hiding the desktop icons, telling the tray server's watchdog while
// either is hidden (so a crash does not leave the desktop stripped), and
// noticing full-screen programs. The menu-hiding exclusions are in
// shell/menu_hiding_exclusions.h.
#pragma once
#include <windows.h>

// ---- the Windows taskbar ------------------------------------------------------------------------
// The shell's taskbar: "Shell_TrayWnd" with an empty title (the tray
// server's window of the same class is titled "CLanternfold").
HWND FindWindowsTaskbar();
// What the theme asks for; returns the requested state. Applied at once
// while closing, on Windows XP or with force, else through a posted
// "HideTaskbarInternal". Nothing changes without a taskbar or in preset mode.
int SetHideTaskbar(int hide, int force);
// The handler of "HideTaskbarInternal": carries out the applied state.
bool ApplyHideTaskbar();
// Posts "Update Hidden Taskbar Special Delay" when the theme hides the taskbar.
void PostHiddenTaskbarUpdate();
// Its handler: the taskbar stays hidden only while a user bar is open.
void RecheckHiddenTaskbar();
// The one hide or show action: updates the nesting count "TSHideCount" on
// the taskbar, then hides or shows it (XP: application-bar state, region
// and visibility; older systems: the taskbar's properties dialog).
void ShowOrHideWindowsTaskbar(bool show);
// Shows the taskbar with its hide count reset to 1 (the recovery start).
void ShowWindowsTaskbar();
void HideWindowsTaskbar();
bool IsTaskbarHidingApplied();
// The module instance for the older systems' hidden worker window.
void SetTaskbarHideInstance(HINSTANCE instance);
// Older systems: the taskbar's own properties dialog, kept invisible,
// switches its always-on-top and auto-hide boxes (desktop_taskbar_dialog.cpp).
void DriveTaskbarPropertiesDialog(bool show);
// Lowers the foreground lock time-out around SetForegroundWindow; false for null.
bool ForceForegroundWindow(HWND wnd);

// ---- desktop icons -----------------------------------------------------------------------------------
// Hides or shows the desktop's icon list view. True when it was found;
// otherwise, unless called from the retry timer, a retry every second is
// started while Explorer is still coming up.
bool SetDesktopIconsHidden(int hide, int from_timer);
// The retry timer on the main window.
constexpr UINT kDesktopIconsTimerId = 7433;
constexpr UINT kDesktopIconsTimerMs = 1000;
// A new Explorer desktop appeared: the timer is to hide its icons again.
void MarkDesktopIconsRehidePending();
// The state the retry timer (kDesktopIconsTimerId on the main window) wants.
int GetWantedDesktopIconsHidden();

// ---- the tray server's watchdog ------------------------------------------------------------------
// Arms the watchdog while the icons or the taskbar are hidden (as last
// carried out, not as the options ask), else disarms it.
void NotifyTrayIconServerWatch();

// ---- full-screen programs ----------------------------------------------------------------------------
// A window without a full caption that covers the screen is a full-screen
// program; each change posts "MyOnTopApp ShownOrHidden" to the main window.
void DetectFullScreenWindow(HWND wnd);
bool IsFullScreenAppActive();
