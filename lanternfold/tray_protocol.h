// The tray server protocol shared by Lanternfold and its clients: the private
// messages, the notification codes, the shared icon table and the layout of
// the notification-icon blocks that Shell_NotifyIcon sends to "Shell_TrayWnd".
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

namespace tray {

// ---- windows ------------------------------------------------------------------
constexpr const char kTrayClass[] = "Shell_TrayWnd";
constexpr const char kServerTitle[] = "CLanternfold";
constexpr const char kWidgetHostTitle[] = "KATray";
constexpr const char kNotifyClass[] = "TrayNotifyWnd";
constexpr const char kRebarClass[] = "ReBarWindow32";
constexpr const char kSharedTableName[] = "TrayIconDataShared";

// ---- private messages to the server window ----------------------------------------
enum TrayMessage : UINT {
    WM_TRAYREGISTER = WM_USER + 654,           // 1678
    WM_TRAYUNREGISTER = WM_USER + 655,
    WM_TRAYPURGEDEAD = WM_USER + 656,
    WM_TRAYSETAUTOSTART = WM_USER + 657,
    WM_TRAYQUERYAUTOSTART = WM_USER + 658,
    WM_TRAYPING = WM_USER + 659,
    WM_TRAYGETRECORDSIZE = WM_USER + 660,
    WM_TRAYGETVERSION = WM_USER + 661,
    WM_TRAYARMWATCHDOG = WM_USER + 662,
    WM_TRAYDISARMWATCHDOG = WM_USER + 663,
    WM_TRAYSETANCHORRECT = WM_USER + 664,
    WM_TRAYSETANCHORWINDOW = WM_USER + 665,
    WM_TRAYFILTERDIALOG = WM_USER + 667,
    WM_TRAYGETINACTIVEMINUTES = WM_USER + 668,
    WM_TRAYICONDIALOG = WM_USER + 669,         // 1693
};
static_assert(WM_TRAYREGISTER == 1678 && WM_TRAYICONDIALOG == 1693, "tray message numbers");

// The message id that the main program's system tray sections register.
constexpr UINT WM_TRAYHOSTNOTIFY = WM_USER + 54;   // 1078

constexpr LRESULT kProtocolVersion = 130;
constexpr int kMaxListeners = 250;

// ---- notifications to listeners: lParam = uFlags << 16 | code ----------------------
enum TrayNotifyCode : WORD {
    TRAYNOTIFY_ADD = 0,
    TRAYNOTIFY_MODIFY = 1,
    TRAYNOTIFY_DELETE = 2,
    TRAYNOTIFY_REDRAW = 251,
    TRAYNOTIFY_SETTINGS = 255,
};

// ---- the shared icon table ----------------------------------------------------------
enum IconBehavior : LONG {
    kHideWhenInactive = 0,
    kAlwaysHide = 1,
    kAlwaysShow = 2,
};

#pragma pack(push, 1)
struct TrayIconRecord {
    uint32_t owner;              // HWND; 0 ends the table
    int32_t callback_message;    // -1 when added without NIF_MESSAGE
    uint32_t icon_id;
    uint32_t icon;               // HICON, the server's own copy
    char short_tip[64];
    int32_t alive;
    uint32_t tip_tick;
    uint32_t icon_tick;
    int32_t hidden;
    char long_tip[200];
    int32_t behavior;            // IconBehavior
    char icon_key[120];          // "%s%x": executable file name and id
    uint32_t replacement_icon;   // HICON loaded from the settings' icon file
};
#pragma pack(pop)

static_assert(sizeof(TrayIconRecord) == 424, "TrayIconRecord is 424 bytes");
static_assert(offsetof(TrayIconRecord, callback_message) == 4, "layout");
static_assert(offsetof(TrayIconRecord, icon_id) == 8, "layout");
static_assert(offsetof(TrayIconRecord, icon) == 12, "layout");
static_assert(offsetof(TrayIconRecord, short_tip) == 16, "layout");
static_assert(offsetof(TrayIconRecord, alive) == 80, "layout");
static_assert(offsetof(TrayIconRecord, tip_tick) == 84, "layout");
static_assert(offsetof(TrayIconRecord, icon_tick) == 88, "layout");
static_assert(offsetof(TrayIconRecord, hidden) == 92, "layout");
static_assert(offsetof(TrayIconRecord, long_tip) == 96, "layout");
static_assert(offsetof(TrayIconRecord, behavior) == 296, "layout");
static_assert(offsetof(TrayIconRecord, icon_key) == 300, "layout");
static_assert(offsetof(TrayIconRecord, replacement_icon) == 420, "layout");

constexpr int kTableCapacity = 100;
// Records of servers that do not answer WM_TRAYGETRECORDSIZE.
constexpr int kLegacyRecordSize = 84;

#pragma pack(push, 1)
struct TrayIconTable {
    int32_t capacity;            // always 100
    TrayIconRecord entries[kTableCapacity];
    char spare[10];              // never written
};
#pragma pack(pop)

static_assert(offsetof(TrayIconTable, entries) == 4, "entries follow the capacity");
static_assert(sizeof(TrayIconTable) == 42414, "TrayIconDataShared is 42414 bytes");

// ---- the notification-icon block of WM_COPYDATA (Windows layout) -----------------------
constexpr ULONG_PTR kShellTrayCopyDataId = 1;
constexpr DWORD kShellTraySignature = 0x34753423;

#pragma pack(push, 1)
// NOTIFYICONDATA as a 32-bit sender lays it out, up to the last field read.
template <typename TipChar>
struct NotifyIconFields {
    uint32_t cbSize;
    uint32_t hWnd;
    uint32_t uID;
    uint32_t uFlags;
    uint32_t uCallbackMessage;
    uint32_t hIcon;
    TipChar szTip[128];
    uint32_t dwState;
    uint32_t dwStateMask;
};
using NotifyIconFieldsA = NotifyIconFields<char>;      // Windows 95, 98, ME
using NotifyIconFieldsW = NotifyIconFields<wchar_t>;   // NT systems

template <typename TipChar>
struct ShellTrayBlock {
    uint32_t signature;          // kShellTraySignature
    uint32_t message;            // NIM_ADD, NIM_MODIFY, NIM_DELETE, ...
    NotifyIconFields<TipChar> nid;
};
using ShellTrayBlockA = ShellTrayBlock<char>;
using ShellTrayBlockW = ShellTrayBlock<wchar_t>;
#pragma pack(pop)

static_assert(sizeof(wchar_t) == 2, "UTF-16 tips");
static_assert(offsetof(NotifyIconFieldsW, hIcon) == 20, "layout");
static_assert(offsetof(NotifyIconFieldsW, szTip) == 24, "layout");
static_assert(offsetof(NotifyIconFieldsW, dwState) == 280, "layout");
static_assert(offsetof(NotifyIconFieldsA, dwState) == 152, "layout");
static_assert(offsetof(ShellTrayBlockW, nid) == 8, "layout");
static_assert(sizeof(ShellTrayBlockW) == 296, "smallest wide block that holds every field read");
static_assert(sizeof(ShellTrayBlockA) == 168, "smallest ANSI block that holds every field read");

}  // namespace tray
