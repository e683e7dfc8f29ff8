// The foreground-application monitor: a 250 ms poll of the foreground
// window's title, icons and (while a section mirrors it) menu, announced to
// the bars with "Stats Updated".
#include "shell/program_tray_icon.h"
#include "shell/stats_monitor.h"

#include <cstring>

#include "model/live_objects.h"
#include "model/registered_names.h"
#include "shell/hook_library.h"
#include "util/callback_guard.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

CStatsMonitor* g_monitor = nullptr;
int g_menu_watchers = 0;

// A capture waits this long for the target to enter menu mode.
constexpr UINT kCaptureTimeoutMs = 2000;

const char* const kCaptureClasses[] = {"CabinetWClass", "IEFrame", "ExploreWClass",
                                       "Outlook Express Browser Class", "ATH_Note"};

struct StatsMessages {
    UINT stats_updated;
    UINT end_explorer_hook;
    UINT should_enable_mousehook;
    UINT taskbar_created;
};

const RegisteredNameSlot<StatsMessages> kMessageSlots[] = {
    {&StatsMessages::stats_updated, RegisteredName::StatsUpdated},
    {&StatsMessages::end_explorer_hook, RegisteredName::EndExplorerHook},
    {&StatsMessages::should_enable_mousehook, RegisteredName::ShouldEnableMousehook},
    {&StatsMessages::taskbar_created, RegisteredName::TaskbarCreated},
};

const StatsMessages& Messages() {
    static const StatsMessages m = RegisterNames(kMessageSlots);
    return m;
}

void CALLBACK StatsTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    tess::GuardTimerProc([] {
        if (g_monitor) g_monitor->UpdateStats();
    });
}

HWND TopmostOwner(HWND w) {
    for (HWND owner = w ? GetWindow(w, GW_OWNER) : nullptr; owner; owner = GetWindow(owner, GW_OWNER))
        w = owner;
    return w;
}

bool IsCaptureClass(HWND w) {
    char cls[128] = "";
    GetClassNameA(w, cls, sizeof(cls));
    for (const char* name : kCaptureClasses)
        if (lstrcmpiA(cls, name) == 0) return true;
    return false;
}

HWND FindChildOfClass(HWND parent, const char* cls, bool ignore_case) {
    struct Search {
        const char* cls;
        bool ignore_case;
        HWND found;
        static BOOL CALLBACK Visit(HWND child, LPARAM lp) {
            auto* s = reinterpret_cast<Search*>(lp);
            char name[128] = "";
            GetClassNameA(child, name, sizeof(name));
            bool same = s->ignore_case ? lstrcmpiA(name, s->cls) == 0 : strcmp(name, s->cls) == 0;
            if (!same) return TRUE;
            s->found = child;
            return FALSE;
        }
    };
    Search s{cls, ignore_case, nullptr};
    EnumChildWindows(parent, Search::Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// One of the suite's libraries, from the program's own folder only: a copy
// elsewhere on the search path is never taken.
HMODULE LoadSuiteLibrary(const char* name) {
    char path[MAX_PATH] = "";
    if (!GetProgramFolder(path, sizeof(path)) || !tess::AppendText(path, name)) return nullptr;
    if (!FileExists(path)) return nullptr;
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HOOKPROC AsHookProc(FARPROC proc) { return reinterpret_cast<HOOKPROC>(proc); }

}  // namespace

// ---- construction ------------------------------------------------------------------

CStatsMonitor::CStatsMonitor(HWND main_window) {
    // Plain data from the first field to the last.
    std::memset(&m_smallIcon, 0, reinterpret_cast<char*>(&m_captureTarget + 1) -
                                      reinterpret_cast<char*>(&m_smallIcon));
    if (!main_window) return;
    m_mainWindow = main_window;
    SetPropA(main_window, "lpStatsMonitor", this);
    g_monitor = this;
    SetTimer(main_window, kStatsTimerId, kStatsTimerMs, StatsTimerProc);
    const int version = WindowsVersion();
    m_is2000OrXP = version == kWin2000 || version == kWinXP;
    Messages();
    InstallLibraryHooks();
}

CStatsMonitor::~CStatsMonitor() {
    if (!m_mainWindow) return;
    RemovePropA(m_mainWindow, "lpStatsMonitor");
    DeleteGlobalAtoms(kAtomWinTabEnabled);
    EndExplorerCapture(1);
    KillTimer(m_mainWindow, kStatsTimerId);
    if (g_monitor == this) g_monitor = nullptr;
    RemoveLibraryHooks();
    std::memset(&m_smallIcon, 0, reinterpret_cast<char*>(&m_captureTarget + 1) -
                                      reinterpret_cast<char*>(&m_smallIcon));
}

// Without the library (or one of its procedures) the matching hooks are
// simply absent; polling goes on as before.
void CStatsMonitor::InstallLibraryHooks() {
    m_hookLibrary = LoadSuiteLibrary(kHookLibraryName);
    if (!m_hookLibrary) return;
    for (int slot = 0; slot < kHookSlots; ++slot)
        m_hookProcs[slot] = GetProcAddress(m_hookLibrary, kHookExports[slot].procedure);
    if (m_hookProcs[kShellHook]) InstallHook(kShellHook, 0);
    if (m_is2000OrXP && m_hookProcs[kKeyboardHook] && !m_hooks[kKeyboardHook])
        InstallHook(kKeyboardHook, 0);
}

bool CStatsMonitor::InstallHook(int slot, DWORD thread) {
    HHOOK hook = SetWindowsHookExA(kHookExports[slot].hook_type, AsHookProc(m_hookProcs[slot]),
                                   m_hookLibrary, thread);
    if (!hook) return false;
    m_hooks[slot] = hook;
    SetPropA(m_mainWindow, kHookExports[slot].property, hook);
    return true;
}

void CStatsMonitor::RemoveHook(int slot) {
    if (m_hooks[slot]) UnhookWindowsHookEx(m_hooks[slot]);
    m_hooks[slot] = nullptr;
    RemovePropA(m_mainWindow, kHookExports[slot].property);
}

void CStatsMonitor::RemoveLibraryHooks() {
    for (int slot = 0; slot < kHookSlots; ++slot) RemoveHook(slot);
    if (m_hookLibrary) FreeLibrary(m_hookLibrary);
    m_hookLibrary = nullptr;
}

// ---- polling ------------------------------------------------------------------------

void CStatsMonitor::UpdateStats() {
    if (!m_mainWindow) return;
    // The application in front; a bar or a hidden window keeps the last one.
    HWND w = TopmostOwner(GetForegroundWindow());
    if (w && (GetPropA(w, "lpMenuObject") || !IsWindowVisible(w)))
        w = m_foreground && IsWindow(m_foreground) ? m_foreground : nullptr;
    // While menus are watched, a window that keeps its menu is not polled.
    if (g_menu_watchers > 0 && w && w == m_foreground && IsWindow(w)) {
        if (!m_menu) return;
        int count = GetMenuItemCount(m_menu);
        if (count == m_menuItemCount) return;
        m_menuItemCount = count;
        if (w == m_mainWindow) return;
    }
    // The title of the window in front ("Desktop" for the desktop, the
    // program's name when it has none).
    m_foreground = w;
    m_newTitle[0] = '\0';
    if (w) GetWindowTextA(w, m_newTitle, sizeof(m_newTitle));
    if (lstrcmpiA(m_newTitle, "Program Manager") == 0) tess::CopyText(m_newTitle, "Desktop");
    if (!m_newTitle[0]) tess::CopyText(m_newTitle, "Tessellar");
    bool title_changed = false;
    if (lstrcmpiA(m_newTitle, m_title) != 0) {
        tess::CopyText(m_title, m_newTitle);
        title_changed = true;
    }
    // Its icons; either size stands in for a missing other.
    HICON small_icon = w ? GetWindowSmallIcon(w) : nullptr;
    HICON large_icon = w ? GetWindowBigIcon(w) : nullptr;
    if (!small_icon) small_icon = large_icon;
    if (!large_icon) large_icon = small_icon;
    bool icon_changed = false;
    if (small_icon != m_smallIcon || large_icon != m_largeIcon) {
        m_smallIcon = small_icon;
        m_largeIcon = large_icon;
        icon_changed = true;
    }
    // Its menu, while anyone watches menus; without a usable menu bar the
    // captured menu stands in.
    m_captured = 0;
    bool menu_read = false;
    if (g_menu_watchers > 0) {
        HMENU menu = w ? GetMenu(w) : nullptr;
        if (!IsUsableMenu(menu)) {
            menu = CaptureExplorerMenu(w);
            if (menu == reinterpret_cast<HMENU>(-1)) {
                m_menu = nullptr;
                m_foreground = nullptr;
                return;
            }
            if (!IsUsableMenu(menu)) menu = nullptr;
        }
        m_menu = menu;
        m_menuItemCount = menu ? GetMenuItemCount(menu) : 0;
        menu_read = true;
    }
    // Tell the bars what changed: icon in the high word, title in the low
    // word, lParam 1 when the menu was read.
    if (icon_changed || title_changed || menu_read)
        PostMessageA(m_mainWindow, Messages().stats_updated,
                     (icon_changed ? 1u << 16 : 0u) | (title_changed ? 1u : 0u), menu_read ? 1 : 0);
}

int CStatsMonitor::IsUsableMenu(HMENU menu) {
    return menu && IsMenu(menu) && GetMenuItemCount(menu) > 0 ? 1 : 0;
}

// ---- menus of Explorer windows ----------------------------------------------------------

HMENU CStatsMonitor::CaptureExplorerMenu(HWND w) {
    m_captured = 0;
    if (!w || !IsWindow(w)) return nullptr;
    if (HANDLE hidden = GetPropA(w, "HiddenMenu-")) return static_cast<HMENU>(hidden);
    HMENU ms = static_cast<HMENU>(GetPropA(w, "MicrosoftMenu-"));
    if (IsUsableMenu(ms)) {
        m_captured = 1;
        return ms;
    }
    if (!IsCaptureClass(w)) return nullptr;
    m_captureTarget = w;
    if (m_captureHook || IsIconic(w) || !IsWindowEnabled(w)) return nullptr;
    SetPropA(m_mainWindow, "ExplorerMenuTestCount", nullptr);
    if (!m_captureLibrary) m_captureLibrary = LoadSuiteLibrary(kCaptureLibraryName);
    if (m_captureLibrary && !m_captureProc) m_captureProc = GetProcAddress(m_captureLibrary, kCaptureProcName);
    if (!m_captureProc) return nullptr;
    HWND rebar = FindChildOfClass(w, "ReBarWindow32", true);
    if (!rebar || !IsWindowVisible(rebar)) return nullptr;
    // A folder view has no menu bar of its own to capture.
    if (FindChildOfClass(w, "Shell DocObject View", false) &&
        !FindChildOfClass(w, "Internet Explorer_Server", false))
        return reinterpret_cast<HMENU>(-1);
    // The capture library runs in the target's thread; without its hook
    // there is nothing to wait for.
    m_captureHook = SetWindowsHookExA(WH_GETMESSAGE, AsHookProc(m_captureProc), m_captureLibrary,
                                      GetWindowThreadProcessId(w, nullptr));
    if (!m_captureHook) return nullptr;
    SetPropA(m_mainWindow, kCaptureHookProperty, m_captureHook);
    SetPropA(w, "hwndFocus", GetForegroundFocusWindow());
    // Entering menu mode leaves the menu in "MicrosoftMenu-"; a target that
    // hangs is given up after the time-out.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(w, WM_SYSCOMMAND, SC_KEYMENU, 0, SMTO_ABORTIFHUNG, kCaptureTimeoutMs, &ignored);
    HMENU menu = IsWindow(w) ? static_cast<HMENU>(GetPropA(w, "MicrosoftMenu-")) : nullptr;
    UnhookWindowsHookEx(m_captureHook);
    m_captureHook = nullptr;
    RemovePropA(m_mainWindow, kCaptureHookProperty);
    if (IsUsableMenu(menu)) m_captured = 1;
    return menu;
}

void CStatsMonitor::EndExplorerCapture(int releasing) {
    if (!releasing && !m_captureHook) return;
    if (m_captureHook) UnhookWindowsHookEx(m_captureHook);
    m_captureHook = nullptr;
    if (m_mainWindow) RemovePropA(m_mainWindow, kCaptureHookProperty);
    if (releasing && m_captureLibrary) {
        FreeLibrary(m_captureLibrary);
        m_captureLibrary = nullptr;
        m_captureProc = nullptr;
    }
    m_captureTarget = nullptr;
}

// ---- hooks ------------------------------------------------------------------------------

void CStatsMonitor::UpdateMouseHook() {
    if (!m_mainWindow) return;
    // The answer slot is known to the live-object check for the length of
    // the call, so a bar writes only into it and a forged pointer is ignored.
    int wanted = 0;
    RegisterOwnedRecord(&wanted);
    SendMessageA(m_mainWindow, Messages().should_enable_mousehook, reinterpret_cast<WPARAM>(&wanted), 0);
    UnregisterOwnedRecord(&wanted);
    if (wanted && !m_hooks[kMouseHook]) {
        if (m_hookLibrary && !m_hookProcs[kMouseHook])
            m_hookProcs[kMouseHook] = GetProcAddress(m_hookLibrary, kHookExports[kMouseHook].procedure);
        if (m_hookProcs[kMouseHook]) InstallHook(kMouseHook, 0);
    } else if (!wanted && m_hooks[kMouseHook]) {
        RemoveHook(kMouseHook);
    }
}

void CStatsMonitor::SetWinTabEnabled(int on) {
    if (on) {
        GlobalAddAtomA(kAtomWinTabEnabled);
    } else {
        DeleteGlobalAtoms(kAtomWinTabEnabled);
    }
    if (!m_mainWindow || m_is2000OrXP) return;
    // Older systems need the hook in the shell's taskbar thread.
    if (on) {
        if (!m_hookProcs[kStartMenuHook] || m_hooks[kStartMenuHook]) return;
        HWND taskbar = FindWindowA("Shell_TrayWnd", "");
        if (taskbar) InstallHook(kStartMenuHook, GetWindowThreadProcessId(taskbar, nullptr));
    } else {
        RemoveHook(kStartMenuHook);
    }
}

int CStatsMonitor::HandleMessage(UINT msg, WPARAM, LPARAM) {
    if (msg != Messages().end_explorer_hook) return 0;
    EndExplorerCapture(0);
    return 1;
}

// ---- the main window's monitor ------------------------------------------------------------

CStatsMonitor* GetStatsMonitor() { return g_monitor; }
int GetMenuWatcherCount() { return g_menu_watchers; }
void AddMenuWatcher() { ++g_menu_watchers; }
void RemoveMenuWatcher() {
    if (g_menu_watchers > 0) --g_menu_watchers;
}
UINT GetStatsUpdatedMessage() { return Messages().stats_updated; }

void CreateStatsMonitor(HWND main_window) {
    if (g_monitor || !main_window) return;
    new CStatsMonitor(main_window);   // registers itself as g_monitor
}

void StatsMonitorSetWinTabEnabled(int enabled) {
    if (g_monitor) g_monitor->SetWinTabEnabled(enabled);
}

void StatsMonitorHandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The relay's first stop also sees the shell's restart broadcast, after
    // which the program's notification icon must be added again.
    if (msg == Messages().taskbar_created) OnShellTaskbarCreated();
    if (g_monitor) g_monitor->HandleMessage(msg, wp, lp);
}

void FreeStatsMonitor() {
    delete g_monitor;
    g_monitor = nullptr;
}
