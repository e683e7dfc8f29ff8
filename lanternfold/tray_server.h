// CTrayIconServer: Lanternfold's core. It records every program's notification
// icons in the shared table "TrayIconDataShared", passes each notification-icon
// message on to the shell's real tray and the widget host's tray, tells the
// registered listeners of each change, keeps the server window first among the
// "Shell_TrayWnd" windows, runs the watchdog, and keeps the per-icon settings
// of "LanternfoldData.ini" with their two dialogs.
#pragma once
#include <windows.h>

#include "lanternfold/run_at_startup.h"
#include "lanternfold/tray_protocol.h"
#include "util/handles.h"

namespace tray {

// Timers on the server window.
constexpr UINT_PTR kZOrderTimer = 653;
constexpr UINT kZOrderPeriodMs = 80;
constexpr UINT_PTR kWatchdogTimer = 4338;
constexpr UINT kWatchdogPeriodMs = 3000;

// Sends to other programs' windows never wait longer than this.
constexpr UINT kPassOnTimeoutMs = 2000;
constexpr UINT kListenerTimeoutMs = 2000;

// The watched main program's window.
constexpr const char kMainClass[] = "Tessellar Main";
constexpr const char kMainTitle[] = "Tessellar";

constexpr const char kSettingsFile[] = "LanternfoldData.ini";
constexpr int kTipBufferSize = 350;

// A notification-icon message read from a Windows-layout block.
struct IconMessage {
    UINT nim;
    HWND owner;
    UINT id;
    UINT flags;
    UINT callback;
    HICON icon;
    DWORD state;
    DWORD state_mask;
    char tip[kTipBufferSize];   // converted to the ANSI code page, terminated
};

// Reads a WM_COPYDATA block; false for anything but a complete Windows-layout
// block (dwData 1, the signature, and room for every field read).
bool ReadShellTrayBlock(const COPYDATASTRUCT* data, bool nt_form, IconMessage* out);

// The file name of the executable that owns a window ("" when unknown).
void GetWindowProgramName(HWND wnd, char* name, size_t size);

class CTrayIconServer {
public:
    explicit CTrayIconServer(HWND server_window);
    ~CTrayIconServer();
    CTrayIconServer(const CTrayIconServer&) = delete;
    CTrayIconServer& operator=(const CTrayIconServer&) = delete;

    bool HasTable() const { return table_ != nullptr; }
    HWND Window() const { return window_; }

    // Every message of the server window; true when handled (reply set).
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* reply);

    // ---- the icon table (tray_icon_table.cpp) ----
    int AddIcon(HWND owner, LONG callback, HICON icon_copy, UINT id, const char* tip,
                const IconMessage& message);
    BOOL RemoveIcon(int index);
    int FindIcon(HWND owner, UINT id) const;
    int FindIconByOwner(HWND owner) const;
    int FindIconById(UINT id) const;
    int FindIconByKey(const char* key) const;
    int IconCount() const;
    TrayIconRecord* Record(int index);
    void SweepDeadOwners();
    void PurgeDeadIcons();
    static HICON DuplicateIcon(HICON icon);

    // ---- listeners, pass-on and the shell (tray_server.cpp) ----
    void NotifyListeners(WPARAM wp, LPARAM lp);
    void ReAddIconsToShellTray();
    BOOL KeepFirstInZOrder();

    // ---- the server window's place (server_window.cpp) ----
    void BroadcastTaskbarCreated();
    void PlaceNotifyWindow();

    // ---- settings (tray_settings.cpp) ----
    UINT InactiveMinutes() const { return inactive_minutes_; }
    void SetInactiveMinutes(UINT minutes) { inactive_minutes_ = minutes ? minutes : 1; }
    void ReadInactiveMinutes();
    LONG ReadIconBehavior(int index);
    void RememberIcon(int index);
    void WriteIconBehavior(const char* key, LONG behavior, const char* tip);
    bool GetReplacementIconPath(const char* key, char* buffer, size_t size) const;
    bool GetRecordReplacementIconPath(int index, char* buffer, size_t size);
    void LoadReplacementIcon(int index);
    // Shows a replacement that is not written yet (the dialog before OK).
    void PreviewReplacementIcon(int index, const char* path);
    void WriteReplacementIcon(const char* key, const char* path, const char* tip);
    void WriteRecordReplacementIcon(int index, const char* path);
    const char* SettingsFile() const { return kSettingsFile; }

    // ---- dialogs (filter_dialogs.cpp) ----
    void RunFilterDialog(HWND parent);
    void RunReplacementIconDialog(HWND parent);

private:
    LRESULT OnCopyData(WPARAM wp, const COPYDATASTRUCT* data);
    void ApplyIconMessage(const IconMessage& m, LRESULT* reply);
    void UpdateEntry(int index, const IconMessage& m);
    LRESULT PassOn(WPARAM wp, LPARAM lp, bool* real_tray_answered, bool* any_window);
    void OnTimer(UINT_PTR id);
    bool OnTrayMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* reply);
    BOOL Register(HWND listener, UINT message);
    BOOL Unregister(HWND listener);
    void ShowOutOfRoom();
    void ArmWatchdog();
    void DisarmWatchdog();
    void OnWatchdogTick();

    HWND window_;
    HWND notify_window_ = nullptr;
    CRunAtStartup run_at_startup_;
    UINT inactive_minutes_ = 5;
    HWND anchor_window_ = nullptr;
    RECT anchor_rect_ = {0, 0, 10, 10};
    bool broadcasting_ = false;
    bool re_adding_ = false;
    bool is_nt_ = true;
    bool out_of_room_pending_ = false;
    bool dialog_open_ = false;
    UINT taskbar_created_ = 0;

    struct Listener {
        HWND window;
        UINT message;
    };
    Listener listeners_[kMaxListeners] = {};
    int listener_count_ = 0;

    tess::ScopedHandle mapping_;
    tess::ScopedView view_;
    TrayIconTable* table_ = nullptr;
    OSVERSIONINFOA version_ = {};
};

// Internal message: shows the full-table message after the sender was answered.
constexpr UINT kMsgOutOfRoom = WM_APP + 77;

// ---- the watched program and the task list (server_window.cpp) ----
bool ReadLastMainProgramPath(char* buffer, size_t size);
void HideFromTaskList();
void ShowInTaskList();

}  // namespace tray
