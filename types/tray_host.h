// CTrayHost: the main program's side of the link with the tray server
// Lanternfold. It maps the server's shared icon table, decides which icons
// are shown, lays them out inside a rectangle of a bar window, keeps one
// tooltip per icon, forwards mouse messages to the icons' owners and hands
// each icon to a draw callback. The wire format comes from the server's own
// header, lanternfold/tray_protocol.h.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "lanternfold/tray_protocol.h"
#include "shell/type_services.h"   // StartTrayIconServer, filled from tray_host.cpp

// ---- starting the server and the shared memory -------------------------------------------------
// StartTrayIconServer (shell/type_services.h) runs Lanternfold from the common
// files' "Vantrell" folder, else from the system's search path (beside the
// program first); false when not started.
// "Lanternfold.exe" in folder (null: the system's search path), shown.
bool RunTrayIconServer(const char* folder);
HANDLE OpenSharedMemory(const char* name);
void* MapSharedMemory(HANDLE mapping);
void UnmapSharedMemory(void* view);
HANDLE CreateSharedMemory(const char* name, DWORD size);

// ---- settings ----------------------------------------------------------------------------------
enum TrayHostSettingsMask : UINT {
    kTrayFarEnd = 0x01,
    kTrayReverse = 0x02,
    kTrayArea = 0x04,
    kTrayOrigin = 0x08,
    kTrayDrawCallback = 0x10,
    kTrayIconSize = 0x20,
    kTraySpacing = 0x40,
    kTrayOwnerSection = 0x80,
    kTrayLayoutMode = 0x100,
    kTrayAllSettings = 4095,
};

enum TrayLayoutMode : int { kTrayLayoutRows = 0, kTrayLayoutColumns = 1 };

// The icon's drawing state handed to the callback.
enum TrayIconDrawState : int { kTrayIconNormal = 0, kTrayIconPressed = 1, kTrayIconHot = 2 };

struct TrayIconDrawInfo {
    HDC dc;
    RECT area;
    void* ownerSection;
    RECT iconRect;
    // The icon's record: the server's record size at most, the rest zero.
    tray::TrayIconRecord record;
    int state;            // TrayIconDrawState
    int serverVersion;
};
typedef int (*TrayIconDrawCallback)(const TrayIconDrawInfo* info);

struct TrayHostSettings {
    UINT mask;
    RECT area;            // bar-window client coordinates
    POINT origin;         // kept, not used
    int farEnd;
    int reverse;
    TrayIconDrawCallback drawCallback;
    SIZE iconSize;
    SIZE spacing;
    void* ownerSection;
    int layoutMode;       // TrayLayoutMode
};

// Host flag bit 0: redraw when the icon under the mouse changes.
constexpr int kTrayHostRedrawOnHot = 1;

// Protocol versions from which the host uses a feature of the table.
constexpr int kTrayVersionFilter = 65;        // inactivity filter, timer, click stamp
constexpr int kTrayVersionLongTip = 98;
constexpr int kTrayVersionBehavior = 99;
constexpr int kTrayVersionReplacementIcon = 130;

class CTrayHost {
public:
    CTrayHost(HWND barWindow, UINT notificationMessage, int hostFlags,
              const TrayHostSettings* settings);
    ~CTrayHost();
    CTrayHost(const CTrayHost&) = delete;
    CTrayHost& operator=(const CTrayHost&) = delete;

    // 1 when a server notification was handled; mouse messages answer 0.
    int HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void LayoutIcons();
    void UpdateAllTooltips(int add);
    void DrawIcons(HDC dc);
    void SetSettings(const TrayHostSettings* settings);
    void GetSettings(TrayHostSettings* settings) const;

    bool Refilter();
    bool ArmFilterTimer();
    bool OnFilterTimer();
    void KillFilterTimer();
    bool SweepDeadOwners();

    void AddTooltip(int index);
    void UpdateTooltip(int index);
    void RemoveTooltip(UINT iconId);

    // ---- queries ------------------------------------------------------------------------------
    int GetRecordCount() const;
    int GetShownCount() const;
    int GetHiddenCount() const;
    void GetIconsExtent(SIZE* out) const;
    int HitTest(int x, int y) const;
    HWND OwnerAt(int x, int y) const;
    int FindRecordByOwner(HWND owner) const;
    int GetIconsLeft() const;
    HWND FindOwnerByTip(const char* text) const;
    UINT FindIdByTip(const char* text) const;
    int GetHostFlags() const { return m_hostFlags; }
    void SetHostFlags(int flags) { m_hostFlags = flags; }

    bool IsConnected() const { return m_connected != 0; }
    int GetServerVersion() const { return m_serverVersion; }
    int GetRecordSize() const { return m_recordSize; }
    const RECT& IconRect(int index) const { return m_iconRects[index]; }
    // A bounded copy of record index (zero beyond the record size); false
    // for an index outside the table.
    bool CopyRecord(int index, tray::TrayIconRecord* out) const;

    // ---- fields, in order --------------------------------------------------------------------
    int m_connected;
    int m_redrawPending;
    int m_deferPainting;
    int m_serverVersion;
    int m_filteringOn;
    UINT m_filterTimerId;
    int m_filterTimerArmed;
    int m_recordSize;
    int m_inactiveMinutes;
    HWND m_barWindow;
    HINSTANCE m_instance;
    UINT m_notificationMessage;
    BYTE* m_view;
    HANDLE m_mapping;
    RECT m_iconRects[tray::kTableCapacity];
    int m_shown[tray::kTableCapacity];
    HWND m_toolTips;
    int m_ownsToolTips;
    TrayHostSettings m_settings;
    int m_hostFlags;
    int m_pressed;
    int m_pressedInside;
    int m_hot;
    HWND m_lastReleasedOwner;
    HWND m_lastPressedOwner;

private:
    // The tools this host added, so that a deleted icon's tool is found
    // once its record has left the table.
    struct Tool {
        UINT_PTR id;
        UINT iconId;
        DWORD owner;
    };
    Tool m_tools[tray::kTableCapacity];
    int m_toolCount;
    SIZE_T m_viewSize;

    // The record's bytes, or null for an index outside the table.
    const BYTE* Record(int index) const;
    BYTE* Record(int index);
    bool HasField(size_t offset, size_t size) const;
    HWND RecordOwner(int index) const;
    bool IsLive(int index) const;
    DWORD LastActivity(int index) const;
    void Redraw();
    void StampActivity(int index);
    int FindTool(UINT iconId, DWORD owner) const;
    bool ToolIdTaken(UINT_PTR id) const;
    void FillToolInfo(int index, TOOLINFOA* info, char* text, size_t text_size) const;
    void OnMouse(UINT msg, WPARAM wp, LPARAM lp);
    void OnNotification(WPARAM wp, LPARAM lp);
    bool ConnectToServer(HWND barWindow, UINT notificationMessage, int hostFlags,
                         const TrayHostSettings* settings);
};

// Messages to the server: found afresh each time, sent with a time-out; a
// time-out or a missing server counts as no answer (false).
HWND FindTrayServer();
bool SendToTrayServer(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr);
