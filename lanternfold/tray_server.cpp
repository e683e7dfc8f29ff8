// The server object's life, its message dispatch, the listener table, the
// pass-on to the other trays, the Z-order keeper and the watchdog.
#include "lanternfold/tray_server.h"

#include <shellapi.h>
#include <cstring>

#include "util/text.h"

namespace tray {

namespace {

constexpr UINT kSendFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;

HWND FindRealShellTray() {
    // The shell's taskbar has an empty title; two other shells name theirs.
    static const char* const kTitles[] = {"", "grdSysTrayManager", "LSMSSysTray"};
    for (const char* title : kTitles)
        if (HWND w = FindWindowA(kTrayClass, title)) return w;
    return nullptr;
}

}  // namespace

CTrayIconServer::CTrayIconServer(HWND server_window)
    : window_(server_window), run_at_startup_(kRunAtStartupValue) {
    version_.dwOSVersionInfoSize = sizeof(version_);
    if (GetVersionExA(&version_)) is_nt_ = version_.dwPlatformId == VER_PLATFORM_WIN32_NT;
    taskbar_created_ = RegisterWindowMessageA("TaskbarCreated");
    notify_window_ = FindWindowExA(window_, nullptr, kNotifyClass, nullptr);

    mapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(TrayIconTable), kSharedTableName));
    if (mapping_) view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TrayIconTable)));
    if (view_) {
        table_ = static_cast<TrayIconTable*>(view_.get());
        table_->capacity = kTableCapacity;
        std::memset(table_->entries, 0, sizeof(table_->entries));
    }
    SetTimer(window_, kZOrderTimer, kZOrderPeriodMs, nullptr);
    ReadInactiveMinutes();
    HideFromTaskList();
    KeepFirstInZOrder();
    PlaceNotifyWindow();
}

CTrayIconServer::~CTrayIconServer() {
    ShowInTaskList();
    KillTimer(window_, kZOrderTimer);
    KillTimer(window_, kWatchdogTimer);
    table_ = nullptr;
    view_.reset();
    mapping_.reset();
}

bool CTrayIconServer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* reply) {
    if (!table_) return false;
    switch (msg) {
    case WM_COPYDATA:
        *reply = OnCopyData(wp, reinterpret_cast<const COPYDATASTRUCT*>(lp));
        return true;
    case WM_TIMER:
        if (wp != kZOrderTimer && wp != kWatchdogTimer) return false;
        OnTimer(wp);
        *reply = 0;
        return true;
    case kMsgOutOfRoom:
        MessageBoxA(nullptr, "Out Of Room In Vantrell Tray", "Out of Room", MB_OK | MB_ICONERROR);
        out_of_room_pending_ = false;
        *reply = 0;
        return true;
    default:
        break;
    }
    if (taskbar_created_ && msg == taskbar_created_) {
        if (!broadcasting_) ReAddIconsToShellTray();
        *reply = 0;
        return true;
    }
    if (msg >= WM_TRAYREGISTER && msg <= WM_TRAYICONDIALOG) return OnTrayMessage(msg, wp, lp, reply);
    return false;
}

bool CTrayIconServer::OnTrayMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* reply) {
    *reply = 0;
    switch (msg) {
    case WM_TRAYREGISTER:
        *reply = Register(reinterpret_cast<HWND>(wp), static_cast<UINT>(lp));
        return true;
    case WM_TRAYUNREGISTER:
        *reply = Unregister(reinterpret_cast<HWND>(wp));
        return true;
    case WM_TRAYPURGEDEAD:
        PurgeDeadIcons();
        return true;
    case WM_TRAYSETAUTOSTART:
        *reply = run_at_startup_.SetRegistered(wp ? TRUE : FALSE);
        return true;
    case WM_TRAYQUERYAUTOSTART:
        *reply = run_at_startup_.IsRegistered();
        return true;
    case WM_TRAYPING:
        return true;
    case WM_TRAYGETRECORDSIZE:
        *reply = sizeof(TrayIconRecord);
        return true;
    case WM_TRAYGETVERSION:
        *reply = kProtocolVersion;
        return true;
    case WM_TRAYARMWATCHDOG:
        ArmWatchdog();
        return true;
    case WM_TRAYDISARMWATCHDOG:
        DisarmWatchdog();
        return true;
    case WM_TRAYSETANCHORRECT:
        anchor_rect_.left = LOWORD(wp);
        anchor_rect_.top = HIWORD(wp);
        anchor_rect_.right = LOWORD(lp);
        anchor_rect_.bottom = HIWORD(lp);
        *reply = 1;
        return true;
    case WM_TRAYSETANCHORWINDOW:
        anchor_window_ = reinterpret_cast<HWND>(wp);
        PlaceNotifyWindow();
        *reply = 1;
        return true;
    case WM_TRAYFILTERDIALOG:
        RunFilterDialog(reinterpret_cast<HWND>(wp));
        return true;
    case WM_TRAYGETINACTIVEMINUTES:
        *reply = inactive_minutes_;
        return true;
    case WM_TRAYICONDIALOG:
        RunReplacementIconDialog(reinterpret_cast<HWND>(wp));
        return true;
    default:
        return false;   // WM_USER+666 is not handled
    }
}

// ---- listeners --------------------------------------------------------------------

BOOL CTrayIconServer::Register(HWND listener, UINT message) {
    if (!listener || !message || listener_count_ >= kMaxListeners) return FALSE;
    listeners_[listener_count_++] = {listener, message};
    return TRUE;
}

BOOL CTrayIconServer::Unregister(HWND listener) {
    if (!listener) return FALSE;
    for (int i = 0; i < listener_count_; ++i) {
        if (listeners_[i].window != listener) continue;
        std::memmove(&listeners_[i], &listeners_[i + 1], sizeof(Listener) * (listener_count_ - 1 - i));
        --listener_count_;
        listeners_[listener_count_] = {};
        break;
    }
    anchor_window_ = nullptr;
    if (listener_count_ == 0) PlaceNotifyWindow();
    return TRUE;
}

void CTrayIconServer::NotifyListeners(WPARAM wp, LPARAM lp) {
    for (int i = 0; i < listener_count_; ++i) {
        HWND w = listeners_[i].window;
        if (w && !IsWindow(w)) {
            SendMessageA(window_, WM_TRAYUNREGISTER, reinterpret_cast<WPARAM>(w), 0);
            i = -1;
        }
    }
    // A listener may register or unregister while it is told: send to a copy.
    Listener copy[kMaxListeners];
    const int count = listener_count_;
    std::memcpy(copy, listeners_, sizeof(Listener) * count);
    for (int i = 0; i < count; ++i) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(copy[i].window, copy[i].message, wp, lp, kSendFlags, kListenerTimeoutMs,
                            &result);
    }
}

// ---- the other trays ----------------------------------------------------------------------

LRESULT CTrayIconServer::PassOn(WPARAM wp, LPARAM lp, bool* real_tray_answered, bool* any_window) {
    LRESULT reply = 0;
    if (HWND real = FindRealShellTray()) {
        *any_window = true;
        DWORD_PTR result = 0;
        if (SendMessageTimeoutA(real, WM_COPYDATA, wp, lp, kSendFlags, kPassOnTimeoutMs, &result)) {
            *real_tray_answered = true;
            reply = static_cast<LRESULT>(result);
        }
    }
    if (HWND widget_host = FindWindowA(kTrayClass, kWidgetHostTitle)) {
        *any_window = true;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(widget_host, WM_COPYDATA, wp, lp, kSendFlags, kPassOnTimeoutMs, &ignored);
    }
    return reply;
}

BOOL CTrayIconServer::KeepFirstInZOrder() {
    HWND first = FindWindowA(kTrayClass, nullptr);
    if (!first || first == window_ || first == FindWindowA(kTrayClass, kWidgetHostTitle)) return FALSE;
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    return TRUE;
}

void CTrayIconServer::ReAddIconsToShellTray() {
    if (!table_) return;
    for (int i = 0; i < kTableCapacity && table_->entries[i].owner; ++i) {
        const TrayIconRecord& r = table_->entries[i];
        NOTIFYICONDATAA nid = {};
        nid.cbSize = NOTIFYICONDATAA_V2_SIZE;   // the ANSI form without the item GUID
        nid.hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(r.owner));
        nid.uID = r.icon_id;
        nid.uCallbackMessage = static_cast<UINT>(r.callback_message);
        nid.hIcon = reinterpret_cast<HICON>(static_cast<UINT_PTR>(r.icon));
        tess::CopyTextN(nid.szTip, sizeof(nid.szTip), r.long_tip, sizeof(r.long_tip));
        if (r.callback_message != 0) nid.uFlags |= NIF_MESSAGE;
        if (r.icon) nid.uFlags |= NIF_ICON;
        if (nid.szTip[0]) nid.uFlags |= NIF_TIP;
        re_adding_ = true;
        Shell_NotifyIconA(NIM_ADD, &nid);
        re_adding_ = false;
    }
}

void CTrayIconServer::ShowOutOfRoom() {
    // Shown after the sender has its answer: a modal box inside WM_COPYDATA
    // would hold up the program that called Shell_NotifyIcon.
    if (out_of_room_pending_) return;
    out_of_room_pending_ = PostMessageA(window_, kMsgOutOfRoom, 0, 0) != FALSE;
}

// ---- timers and the watchdog ---------------------------------------------------------

void CTrayIconServer::OnTimer(UINT_PTR id) {
    if (id == kZOrderTimer) KeepFirstInZOrder();
    else if (id == kWatchdogTimer) OnWatchdogTick();
}

void CTrayIconServer::ArmWatchdog() {
    if (!FindWindowA(kMainClass, kMainTitle)) return;
    SetTimer(window_, kWatchdogTimer, kWatchdogPeriodMs, nullptr);   // a repeated arm restarts the period
}

void CTrayIconServer::DisarmWatchdog() {
    KillTimer(window_, kWatchdogTimer);
}

void CTrayIconServer::OnWatchdogTick() {
    if (FindWindowA(kMainClass, kMainTitle)) return;
    SendMessageA(window_, WM_TRAYDISARMWATCHDOG, 0, 0);
    char path[270] = {};
    if (!ReadLastMainProgramPath(path, sizeof(path)) || !path[0]) return;
    ShellExecuteA(nullptr, nullptr, path, " -recover", nullptr, SW_SHOWNORMAL);
}

}  // namespace tray
