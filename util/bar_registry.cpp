#include "util/bar_registry.h"

#include <cstring>

// ---- bar registry -----------------------------------------------------------------

namespace {

HWND g_bars[kBarRegistrySlots] = {};
int g_bar_count = 0;
BarWindowResolver g_resolver = nullptr;

HWND ResolveWindow(CVellumMenuObject* bar, HWND wnd) {
    if (bar && g_resolver) {
        if (HWND own = g_resolver(bar)) return own;
    }
    return wnd;
}

}  // namespace

void SetBarWindowResolver(BarWindowResolver resolver) { g_resolver = resolver; }

bool AddBarWindow(CVellumMenuObject* bar, HWND wnd) {
    HWND target = ResolveWindow(bar, wnd);
    if (!target) return false;
    // The last slot stays 0 to terminate the table.
    if (g_bar_count >= kBarRegistrySlots - 1) return false;
    g_bars[g_bar_count++] = target;
    g_bars[g_bar_count] = nullptr;
    return true;
}

int FindBarWindow(CVellumMenuObject* bar, HWND wnd) {
    HWND target = ResolveWindow(bar, wnd);
    if (!target) return -1;
    for (int i = 0; i < g_bar_count; ++i)
        if (g_bars[i] == target) return i;
    return -1;
}

void RemoveBarWindow(CVellumMenuObject* bar, HWND wnd) {
    const int at = FindBarWindow(bar, wnd);
    if (at < 0) return;
    memmove(&g_bars[at], &g_bars[at + 1], sizeof(HWND) * (g_bar_count - at - 1));
    --g_bar_count;
    g_bars[g_bar_count] = nullptr;
}

int GetBarWindowCount() { return g_bar_count; }

HWND GetBarWindowAt(int index) {
    return index >= 0 && index < g_bar_count ? g_bars[index] : nullptr;
}

int EnumBarWindows(BarEnumProc callback, LPARAM user_data) {
    if (!callback) return 1;
    for (int i = 0; i < g_bar_count; ++i) {
        if (!IsWindow(g_bars[i])) continue;
        if (!callback(g_bars[i], user_data)) return 0;
    }
    return 1;
}

int EnumBarWindowsSafe(BarEnumProc callback, LPARAM user_data) {
    if (!callback) return 1;
    int i = 0;
    while (i < g_bar_count) {
        HWND visited = g_bars[i];
        if (!IsWindow(visited)) { ++i; continue; }
        if (!callback(visited, user_data)) return 0;
        if (i < g_bar_count && g_bars[i] == visited) { ++i; continue; }
        // The callback changed the table: find our place again.
        const int now = FindBarWindow(nullptr, visited);
        i = now >= 0 ? now + 1 : i;
    }
    return 1;
}

// ---- monitors ---------------------------------------------------------------------

namespace {

typedef HMONITOR(WINAPI* MonitorFromPointFunc)(POINT, DWORD);
typedef BOOL(WINAPI* GetMonitorInfoFunc)(HMONITOR, MONITORINFO*);
typedef BOOL(WINAPI* EnumDisplayMonitorsFunc)(HDC, const RECT*, MONITORENUMPROC, LPARAM);

MonitorFromPointFunc g_monitor_from_point = nullptr;
GetMonitorInfoFunc g_get_monitor_info = nullptr;
EnumDisplayMonitorsFunc g_enum_display_monitors = nullptr;

}  // namespace

void BindMonitorFunctions() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32) return;
    g_monitor_from_point = reinterpret_cast<MonitorFromPointFunc>(GetProcAddress(user32, "MonitorFromPoint"));
    g_get_monitor_info = reinterpret_cast<GetMonitorInfoFunc>(GetProcAddress(user32, "GetMonitorInfoA"));
    g_enum_display_monitors = reinterpret_cast<EnumDisplayMonitorsFunc>(GetProcAddress(user32, "EnumDisplayMonitors"));
}

void UnbindMonitorFunctions() {
    g_monitor_from_point = nullptr;
    g_get_monitor_info = nullptr;
    g_enum_display_monitors = nullptr;
}

HMONITOR MonitorFromPointSafe(int x, int y) {
    if (!g_monitor_from_point) return nullptr;
    POINT pt = {x, y};
    return g_monitor_from_point(pt, MONITOR_DEFAULTTOPRIMARY);
}

bool GetMonitorInfoSafe(HMONITOR monitor, MONITORINFO* info) {
    if (!g_get_monitor_info || !info) return false;
    if (info->cbSize == 0) info->cbSize = sizeof(MONITORINFO);   // 40 bytes
    return g_get_monitor_info(monitor, info) != FALSE;
}

int GetMonitorMetric(HMONITOR monitor, int metric) {
    MONITORINFO info{};
    if (monitor && (metric == SM_CXSCREEN || metric == SM_CYSCREEN) &&
        GetMonitorInfoSafe(monitor, &info)) {
        return metric == SM_CXSCREEN ? info.rcMonitor.right - info.rcMonitor.left
                                     : info.rcMonitor.bottom - info.rcMonitor.top;
    }
    return GetSystemMetrics(metric);
}

void GetMonitorOrigin(HMONITOR monitor, POINT* origin) {
    if (!origin) return;
    origin->x = origin->y = 0;
    MONITORINFO info{};
    if (monitor && GetMonitorInfoSafe(monitor, &info)) {
        origin->x = info.rcMonitor.left;
        origin->y = info.rcMonitor.top;
    }
}

void GetMonitorWorkArea(HMONITOR monitor, RECT* area) {
    if (!area) return;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, area, 0);
    MONITORINFO info{};
    if (monitor && GetMonitorInfoSafe(monitor, &info)) {
        // Only the size remains: callers add the monitor origin themselves.
        *area = info.rcWork;
        OffsetRect(area, -info.rcWork.left, -info.rcWork.top);
    }
}

namespace {

struct MonitorSearch {
    const char* device;
    HMONITOR found;
};

BOOL CALLBACK FindMonitorEnumProc(HMONITOR monitor, HDC, LPRECT, LPARAM lp) {
    auto* search = reinterpret_cast<MonitorSearch*>(lp);
    MONITORINFOEXA info{};
    info.cbSize = sizeof(info);   // 72 bytes
    if (GetMonitorInfoSafe(monitor, &info) && lstrcmpiA(info.szDevice, search->device) == 0) {
        search->found = monitor;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HMONITOR FindMonitorByDeviceName(const char* device_name) {
    if (!g_enum_display_monitors || !device_name) return nullptr;
    MonitorSearch search{device_name, nullptr};
    g_enum_display_monitors(nullptr, nullptr, FindMonitorEnumProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
