#include "shell/desktop_integration.h"

#include <shellapi.h>

#include "model/live_objects.h"
#include "shell/global_settings.h"
#include "shell/main_window.h"
#include "shell/registered_messages.h"
#include "shell/startup.h"
#include "shell/theme_file.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"

namespace {

struct TaskbarHiding {
    int requested = 0;   // what the theme asks for
    int applied = 0;     // what was last carried out
};
TaskbarHiding g_taskbar;
int g_wanted_icons_hidden = 0;
// What was last done to the desktop's list view (not the option): the
// watchdog must not stay armed once the icons are back.
int g_icons_hidden = 0;
int g_full_screen = 0;

constexpr UINT kWatchTimeoutMs = 2000;
constexpr char kHideCountProp[] = "TSHideCount";
constexpr char kOldHideStateProp[] = "uOldHideState";

BOOL CALLBACK FindTaskbarProc(HWND wnd, LPARAM user) {
    char cls[32] = "", title[8] = "";
    GetClassNameA(wnd, cls, sizeof(cls));
    if (lstrcmpA(cls, "Shell_TrayWnd") != 0) return TRUE;
    if (GetWindowTextA(wnd, title, sizeof(title)) > 0) return TRUE;
    *reinterpret_cast<HWND*>(user) = wnd;
    return FALSE;
}

int HideCount(HWND taskbar) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(taskbar, kHideCountProp)));
}

void SetHideCount(HWND taskbar, int count) {
    SetPropA(taskbar, kHideCountProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(count)));
}

// The nesting count of hide requests kept on the taskbar itself, so it
// survives a crash of this program.
void UpdateHideCount(HWND taskbar, bool show) {
    int count = HideCount(taskbar);
    if (count <= 0)
        count = 0;
    else if (count == 1)
        count = show ? 1 : 2;
    else
        count = show ? count - 1 : count + 1;
    SetHideCount(taskbar, count);
}

void ShowOrHideTaskbarXp(HWND taskbar, bool show) {
    APPBARDATA abd = {};
    abd.cbSize = sizeof(abd);
    abd.hWnd = taskbar;
    if (show) {
        SetWindowRgn(taskbar, nullptr, TRUE);
        ShowWindow(taskbar, SW_SHOWNORMAL);
        ShowWindow(taskbar, SW_SHOWNORMAL);
        UINT old_state = static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropA(taskbar, kOldHideStateProp)));
        abd.lParam = old_state ^ ABS_ALWAYSONTOP;
        SHAppBarMessage(ABM_SETSTATE, &abd);
        RemovePropA(taskbar, kOldHideStateProp);
    } else {
        UINT state = static_cast<UINT>(SHAppBarMessage(ABM_GETSTATE, &abd)) ^ ABS_ALWAYSONTOP;
        SetPropA(taskbar, kOldHideStateProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(state)));
        abd.lParam = ABS_AUTOHIDE;
        SHAppBarMessage(ABM_SETSTATE, &abd);
        SetWindowRgn(taskbar, CreateRectRgn(0, 0, 0, 0), TRUE);
        ShowWindow(taskbar, SW_HIDE);
        ShowWindow(taskbar, SW_HIDE);
    }
}

// The user's bars: the hidden desktop right-click bar and other internal
// bars always exist and must not keep the taskbar hidden.
BOOL CALLBACK FindUserBarProc(HWND wnd, LPARAM user) {
    if (!LiveBarOfWindow(wnd) || IsInternalBarWindow(wnd)) return TRUE;
    *reinterpret_cast<bool*>(user) = true;
    return FALSE;
}

bool AnyUserBarOpen() {
    bool found = false;
    EnumBarWindows(FindUserBarProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindDesktopListView(HWND progman) {
    for (HWND w = GetWindow(progman, GW_CHILD); w; w = GetWindow(w, GW_CHILD)) {
        char cls[64] = "";
        GetClassNameA(w, cls, sizeof(cls));
        if (lstrcmpiA(cls, "SysListView32") == 0) return w;
    }
    return nullptr;
}

bool IsFullScreenWindow(HWND wnd) {
    LONG style = GetWindowLongA(wnd, GWL_STYLE);
    if ((style & WS_CAPTION) == WS_CAPTION) return false;
    RECT rc = {};
    if (!GetWindowRect(wnd, &rc)) return false;
    return rc.right - rc.left >= GetSystemMetrics(SM_CXSCREEN) &&
           rc.bottom - rc.top >= GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace

// ---- the Windows taskbar ------------------------------------------------------------------------

HWND FindWindowsTaskbar() {
    HWND found = nullptr;
    EnumWindows(FindTaskbarProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

int SetHideTaskbar(int hide, int force) {
    if (IsPresetMode()) return 0;
    hide = hide ? 1 : 0;
    if (hide == g_taskbar.requested || !FindWindowsTaskbar()) return g_taskbar.requested;
    g_taskbar.requested = g_taskbar.applied = hide;
    if (IsClosingMainWindow() || GetStartupVersionClass() >= kWinXP || force) {
        ApplyHideTaskbar();
    } else if (HWND main = GetMainWindow()) {
        PostMessageA(main, Msgs().HideTaskbarInternal, 0, 0);
    }
    return g_taskbar.requested;
}

bool ApplyHideTaskbar() {
    NotifyTrayIconServerWatch();
    if (!g_taskbar.applied || IsSessionEnding())
        ShowWindowsTaskbar();
    else
        HideWindowsTaskbar();
    return true;
}

void PostHiddenTaskbarUpdate() {
    if (!GetThemeHidesTaskbar()) return;
    if (HWND main = GetMainWindow()) PostMessageA(main, Msgs().UpdateHiddenTaskbarDelay, 0, 0);
}

void RecheckHiddenTaskbar() {
    if (!GetThemeHidesTaskbar()) return;
    const bool bars = AnyUserBarOpen();
    if (bars && !g_taskbar.applied) {
        g_taskbar.applied = 1;
        ApplyHideTaskbar();
    } else if (!bars && g_taskbar.applied) {
        g_taskbar.applied = 0;
        ApplyHideTaskbar();
    }
}

void ShowOrHideWindowsTaskbar(bool show) {
    HWND taskbar = FindWindowsTaskbar();
    if (!taskbar) return;
    UpdateHideCount(taskbar, show);
    if (GetStartupVersionClass() >= kWinXP)
        ShowOrHideTaskbarXp(taskbar, show);
    else
        DriveTaskbarPropertiesDialog(show);
}

void ShowWindowsTaskbar() {
    if (HWND taskbar = FindWindowsTaskbar()) SetHideCount(taskbar, 1);
    ShowOrHideWindowsTaskbar(true);
}

void HideWindowsTaskbar() { ShowOrHideWindowsTaskbar(false); }

bool IsTaskbarHidingApplied() { return g_taskbar.applied != 0; }

bool ForceForegroundWindow(HWND wnd) {
    if (!wnd) return false;
    DWORD old_timeout = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &old_timeout, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(wnd);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                          reinterpret_cast<void*>(static_cast<UINT_PTR>(old_timeout)), 0);
    return true;
}

// ---- desktop icons -----------------------------------------------------------------------------------

bool SetDesktopIconsHidden(int hide, int from_timer) {
    HWND main = GetMainWindow();
    HWND progman = FindWindowA("Progman", "Program Manager");
    if (!progman) {
        if (main) KillTimer(main, kDesktopIconsTimerId);
        return false;
    }
    if (HWND list = FindDesktopListView(progman)) {
        if (from_timer && main) KillTimer(main, kDesktopIconsTimerId);
        g_icons_hidden = hide ? 1 : 0;
        if (hide) {
            ShowWindow(list, SW_HIDE);
            SetWindowRgn(list, CreateRectRgn(0, 0, 0, 0), TRUE);
        } else {
            ShowWindow(list, SW_SHOW);
            SetWindowRgn(list, nullptr, TRUE);
        }
        NotifyTrayIconServerWatch();
        return true;
    }
    if (from_timer) return false;
    // Explorer is still starting: try again every second.
    char program[MAX_PATH] = "";
    GetWindowProgramPath(progman, nullptr, program);
    if (lstrcmpiA(program, "explorer.exe") == 0 && main) {
        g_wanted_icons_hidden = hide;
        SetTimer(main, kDesktopIconsTimerId, kDesktopIconsTimerMs, nullptr);
    }
    return false;
}

void MarkDesktopIconsRehidePending() { g_wanted_icons_hidden = 1; }
int GetWantedDesktopIconsHidden() { return g_wanted_icons_hidden; }

// ---- the tray server's watchdog ------------------------------------------------------------------

void NotifyTrayIconServerWatch() {
    HWND server = FindWindowA(kTrayServerClass, kTrayServerTitle);
    if (!server) return;
    DWORD_PTR result = 0;
    if (g_icons_hidden || g_taskbar.applied)
        SendMessageTimeoutA(server, WM_TRAYARMWATCHDOG, reinterpret_cast<WPARAM>(GetAppInstance()), 0,
                            SMTO_NORMAL | SMTO_ABORTIFHUNG, kWatchTimeoutMs, &result);
    else
        SendMessageTimeoutA(server, WM_TRAYDISARMWATCHDOG, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            kWatchTimeoutMs, &result);
}

// ---- full-screen programs ----------------------------------------------------------------------------

void DetectFullScreenWindow(HWND wnd) {
    if (!wnd) return;
    const int full = IsFullScreenWindow(wnd) ? 1 : 0;
    if (full == g_full_screen) return;
    g_full_screen = full;
    if (HWND main = GetMainWindow())
        PostMessageA(main, Msgs().OnTopAppShownOrHidden, reinterpret_cast<WPARAM>(wnd), 0);
}

bool IsFullScreenAppActive() { return g_full_screen != 0; }
