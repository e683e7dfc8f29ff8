// CStatsMonitor: the program's watch on the foreground application. The
// main window owns the one monitor and puts it into its property
// "lpStatsMonitor"; a bar gets its window only when that property exists,
// and bars and sections read the fields below directly.
//
// The system-wide hooks live in the outside hook library "Hookwell.dll" and
// the capture of Explorer menus in "Forkmerle.dll" (shell/hook_library.h);
// both are taken from the program's folder only, and without them the
// monitor polls as before.
#pragma once
#include <windows.h>

constexpr UINT kStatsTimerId = 845;
constexpr UINT kStatsTimerMs = 250;
constexpr int kStatsTitleSize = 500;

class CStatsMonitor {
public:
    // A null window gives an empty, inert monitor.
    explicit CStatsMonitor(HWND main_window);
    ~CStatsMonitor();
    CStatsMonitor(const CStatsMonitor&) = delete;
    CStatsMonitor& operator=(const CStatsMonitor&) = delete;

    // One poll; menu-mirroring and taskbar sections call it to force one.
    void UpdateStats();
    // Asks the bars whether one of them needs the mouse hook.
    void UpdateMouseHook();
    void SetWinTabEnabled(int on);
    // Offered every relayed message; only "EndExplorerHook" is taken (1).
    int HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // The menu of w: 0 none, -1 a folder view with nothing to capture.
    HMENU CaptureExplorerMenu(HWND w);
    void EndExplorerCapture(int releasing);
    static int IsUsableMenu(HMENU menu);

    // ---- fields, in this order (bars read them) -----------------------------
    HICON m_smallIcon;
    HICON m_largeIcon;
    char m_title[kStatsTitleSize];
    char m_newTitle[kStatsTitleSize];
    HMENU m_menu;
    int m_menuItemCount;
    HWND m_foreground;
    int m_captured;
    HWND m_mainWindow;
    int m_is2000OrXP;
    HHOOK m_hooks[5];   // shell, CBT, mouse, start menu, low-level keyboard
    HMODULE m_hookLibrary;
    FARPROC m_hookProcs[5];
    HHOOK m_captureHook;
    HMODULE m_captureLibrary;
    FARPROC m_captureProc;
    HWND m_captureTarget;

private:
    void InstallLibraryHooks();
    void RemoveLibraryHooks();
    // The library's procedure of a slot as its hook (thread 0: all threads);
    // the handle goes into the slot and its main-window property.
    bool InstallHook(int slot, DWORD thread);
    void RemoveHook(int slot);
};

// The main window's monitor (null before creation and after destruction).
CStatsMonitor* GetStatsMonitor();
void CreateStatsMonitor(HWND main_window);
void StatsMonitorSetWinTabEnabled(int enabled);
// The relay's first stop for every message from WM_USER upwards.
void StatsMonitorHandleMessage(UINT msg, WPARAM wp, LPARAM lp);
void FreeStatsMonitor();
// How many sections mirror the active window's menu right now.
int GetMenuWatcherCount();
void AddMenuWatcher();
void RemoveMenuWatcher();
// The registered "Stats Updated" message.
UINT GetStatsUpdatedMessage();
