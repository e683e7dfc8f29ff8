// The parts of desktop integration the start-up and the main window need
// now: showing the Windows taskbar and the desktop icons again, and telling
// the tray server's watchdog whether either is hidden. Hiding the taskbar
// for a theme, full-screen detection and the menu-hiding exclusions come
// with the theme's desktop integration (later_stubs.h).
#pragma once
#include <windows.h>

// The shell's taskbar: "Shell_TrayWnd" with an empty title (the tray
// server's window of the same class is titled "CLanternfold").
HWND FindWindowsTaskbar();
// Shows the taskbar with its hide count reset to 1 (the recovery start).
void ShowWindowsTaskbar();
void HideWindowsTaskbar();
// Hides or shows the desktop's icon list view. True when it was found;
// otherwise, unless called from the retry timer, a retry every second is
// started while Explorer is still coming up.
bool SetDesktopIconsHidden(int hide, int from_timer);
// The retry timer on the main window.
constexpr UINT kDesktopIconsTimerId = 7433;
// A new Explorer desktop appeared: the timer is to hide its icons again.
void MarkDesktopIconsRehidePending();
// The state the retry timer (kDesktopIconsTimerId on the main window) wants.
int GetWantedDesktopIconsHidden();
// Arms the watchdog while the icons or the taskbar are hidden, else disarms it.
void NotifyTrayIconServerWatch();
bool IsTaskbarHidingApplied();
bool ForceForegroundWindow(HWND wnd);
