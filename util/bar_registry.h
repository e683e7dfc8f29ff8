// The process-wide list of open bar windows in creation order, and the
// monitor functions bound at run time with their single-screen fallbacks.
#pragma once
#include <windows.h>

class CVellumMenuObject;

// The bar model tells the registry how to find a bar object's window.
typedef HWND (*BarWindowResolver)(CVellumMenuObject* bar);
void SetBarWindowResolver(BarWindowResolver resolver);

typedef BOOL (CALLBACK* BarEnumProc)(HWND bar_window, LPARAM user_data);

constexpr int kBarRegistrySlots = 300;   // 299 bars and the terminating 0

// Both take a bar object or a window; the bar's window is used when given.
bool AddBarWindow(CVellumMenuObject* bar, HWND wnd);
void RemoveBarWindow(CVellumMenuObject* bar, HWND wnd);
int FindBarWindow(CVellumMenuObject* bar, HWND wnd);
int GetBarWindowCount();
HWND GetBarWindowAt(int index);
int EnumBarWindows(BarEnumProc callback, LPARAM user_data);
// For callbacks that may close bars while the walk runs.
int EnumBarWindowsSafe(BarEnumProc callback, LPARAM user_data);

// ---- monitors ---------------------------------------------------------------------
void BindMonitorFunctions();
// For tests: forget the bindings, as on a system without the monitor API.
void UnbindMonitorFunctions();
HMONITOR MonitorFromPointSafe(int x, int y);
bool GetMonitorInfoSafe(HMONITOR monitor, MONITORINFO* info);
int GetMonitorMetric(HMONITOR monitor, int metric);
void GetMonitorOrigin(HMONITOR monitor, POINT* origin);
void GetMonitorWorkArea(HMONITOR monitor, RECT* area);
HMONITOR FindMonitorByDeviceName(const char* device_name);
