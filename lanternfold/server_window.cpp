// The invisible server window "Shell_TrayWnd" titled "CLanternfold", its
// place over the bar that shows the tray, the "TaskbarCreated" broadcast,
// the Windows 9x task list, and the watched program's path.
#include "lanternfold/server_window.h"

#include <new>

#include "lanternfold/tray_server.h"
#include "util/callback_guard.h"
#include "util/handles.h"

namespace tray {

namespace {

constexpr UINT kOwnMoveFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING;

CTrayIconServer* ServerOf(HWND wnd) {
    return reinterpret_cast<CTrayIconServer*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

// No other program may move, size, activate or show the server window.
void PinWindowPos(LPARAM lp) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    if (!pos) return;
    pos->flags |= SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
    pos->flags &= ~SWP_SHOWWINDOW;
}

LRESULT OnCreate(HWND wnd) {
    auto* server = new (std::nothrow) CTrayIconServer(wnd);
    if (!server) return -1;   // the window destroys itself
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(server));
    return 0;
}

void OnDestroy(HWND wnd) {
    delete ServerOf(wnd);
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    PostQuitMessage(0);
}

LRESULT HandleServerMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate(wnd);
    case WM_DESTROY:
        OnDestroy(wnd);
        return 0;
    case WM_SHOWWINDOW:
        return 0;
    case WM_SETTINGCHANGE:
        if (wp == SPI_SETWORKAREA)
            if (CTrayIconServer* server = ServerOf(wnd)) server->PlaceNotifyWindow();
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        PinWindowPos(lp);
        break;
    default:
        break;
    }
    if (CTrayIconServer* server = ServerOf(wnd)) {
        LRESULT reply = 0;
        if (server->HandleMessage(msg, wp, lp, &reply)) return reply;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK TrayIconServerWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardWindowProc(wnd, msg, wp, lp, [&] { return HandleServerMessage(wnd, msg, wp, lp); });
}

LRESULT CALLBACK RebarStubWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardWindowProc(wnd, msg, wp, lp, [&] { return DefWindowProcA(wnd, msg, wp, lp); });
}

CTrayIconServer* ServerOfWindow(HWND wnd) { return ServerOf(wnd); }

bool RegisterServerClass(HINSTANCE instance, const char* name, WNDPROC proc) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void CTrayIconServer::BroadcastTaskbarCreated() {
    if (broadcasting_) return;
    broadcasting_ = true;
    PostMessageA(HWND_BROADCAST, taskbar_created_, 0, 0);
    broadcasting_ = false;
}

void CTrayIconServer::PlaceNotifyWindow() {
    if (!notify_window_ || !IsWindow(notify_window_))
        notify_window_ = FindWindowExA(window_, nullptr, kNotifyClass, nullptr);
    if (anchor_window_) {
        RECT bar = {};
        if (!GetWindowRect(anchor_window_, &bar)) return;
        SetWindowPos(window_, nullptr, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top,
                     kOwnMoveFlags);
        if (notify_window_)
            SetWindowPos(notify_window_, nullptr, anchor_rect_.left, anchor_rect_.top,
                         anchor_rect_.right - anchor_rect_.left, anchor_rect_.bottom - anchor_rect_.top,
                         kOwnMoveFlags);
        return;
    }
    HWND taskbar = FindWindowA(kTrayClass, "");
    HWND shell_notify = taskbar ? FindWindowExA(taskbar, nullptr, kNotifyClass, nullptr) : nullptr;
    if (!taskbar || !shell_notify) return;
    RECT bar = {}, notify = {};
    if (!GetWindowRect(taskbar, &bar) || !GetWindowRect(shell_notify, &notify)) return;
    SetWindowPos(window_, nullptr, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top,
                 kOwnMoveFlags);
    if (notify_window_)
        SetWindowPos(notify_window_, nullptr, notify.left - bar.left, notify.top - bar.top,
                     notify.right - notify.left, notify.bottom - notify.top, kOwnMoveFlags);
}

namespace {

void RegisterAsService(DWORD mode) {
    tess::ScopedModule kernel(LoadLibraryA("kernel32.dll"));
    if (!kernel) return;
    using RegisterServiceProcessFn = DWORD(WINAPI*)(DWORD, DWORD);
    auto fn = reinterpret_cast<RegisterServiceProcessFn>(GetProcAddress(kernel.get(), "RegisterServiceProcess"));
    if (fn) fn(GetCurrentProcessId(), mode);
}

}  // namespace

void HideFromTaskList() { RegisterAsService(1); }
void ShowInTaskList() { RegisterAsService(0); }

bool ReadLastMainProgramPath(char* buffer, size_t size) {
    if (!buffer || size == 0) return false;
    buffer[0] = '\0';
    tess::ScopedRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vantrell\\Tessellar", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(size - 1);
    if (RegQueryValueExA(key.get(), "LastTSPath", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        buffer[0] = '\0';
        return false;
    }
    buffer[bytes < size ? bytes : size - 1] = '\0';
    return buffer[0] != '\0';
}

}  // namespace tray
