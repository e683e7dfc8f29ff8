// The tray host: connection to the server, the showing rule, the inactivity
// timer, the layout, the tooltips, notifications, mouse forwarding, drawing
// and the sweep of dead owners.
#include "types/tray_host.h"
#include <commctrl.h>
#include <shellapi.h>
#include <cmath>
#include <cstring>
#include "util/handles.h"
#include "util/text.h"

using tray::TrayIconRecord;

namespace {

constexpr char kServerFile[] = "Lanternfold.exe";
// The server's first answers can wait for its start-up; later ones should not.
constexpr UINT kHandshakeTimeoutMs = 5000;
constexpr UINT kServerTimeoutMs = 2000;
constexpr UINT kCancelModeTimeoutMs = 2000;
constexpr DWORD kServerStartWaitMs = 5000;

constexpr size_t kOwnerOffset = offsetof(TrayIconRecord, owner);
constexpr size_t kCallbackOffset = offsetof(TrayIconRecord, callback_message);
constexpr size_t kIdOffset = offsetof(TrayIconRecord, icon_id);
constexpr size_t kShortTipOffset = offsetof(TrayIconRecord, short_tip);
constexpr size_t kAliveOffset = offsetof(TrayIconRecord, alive);
constexpr size_t kTipTickOffset = offsetof(TrayIconRecord, tip_tick);
constexpr size_t kIconTickOffset = offsetof(TrayIconRecord, icon_tick);
constexpr size_t kHiddenOffset = offsetof(TrayIconRecord, hidden);
constexpr size_t kLongTipOffset = offsetof(TrayIconRecord, long_tip);
constexpr size_t kBehaviorOffset = offsetof(TrayIconRecord, behavior);
constexpr size_t kShortTipSize = sizeof(TrayIconRecord::short_tip);
constexpr size_t kLongTipSize = sizeof(TrayIconRecord::long_tip);
constexpr size_t kTableHeader = offsetof(tray::TrayIconTable, entries);

bool ReadCommonFilesDir(char* out, size_t size) {
    out[0] = '\0';
    tess::ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    char value[MAX_PATH] = {};
    DWORD type = 0, bytes = sizeof(value) - 1;
    if (RegQueryValueExA(key.get(), "CommonFilesDir", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value[sizeof(value) - 1] = '\0';
    return tess::CopyText(out, size, value) && out[0];
}

bool StartServerFromInstallFolders() {
    char folder[MAX_PATH];
    if (ReadCommonFilesDir(folder, sizeof(folder)) && tess::AppendText(folder, "\\Vantrell\\") &&
        RunTrayIconServer(folder))
        return true;
    return RunTrayIconServer(nullptr);
}

// The shell starts the server through its table of calls.
struct TrayServiceRegistration {
    TrayServiceRegistration() { GetShellTypeServices().StartTrayIconServer = StartServerFromInstallFolders; }
} const kTrayServiceRegistration;

HWND Widen(DWORD handle) { return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(handle)); }

bool IsClientMouseMessage(UINT msg) {
    return msg == WM_MOUSEMOVE || (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK);
}

// The client twin of an accepted non-client message, else 0.
UINT ClientTwin(UINT msg) {
    switch (msg) {
    case WM_NCMOUSEMOVE: return WM_MOUSEMOVE;
    case WM_NCLBUTTONDOWN: return WM_LBUTTONDOWN;
    case WM_NCRBUTTONDOWN: return WM_RBUTTONDOWN;
    case WM_NCMBUTTONDOWN: return WM_MBUTTONDOWN;
    default: return 0;
    }
}

bool IsButtonDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
}
bool IsButtonUp(UINT msg) {
    return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
}

bool AnyButtonHeld(UINT msg, WPARAM wp) {
    if (msg == WM_MOUSEMOVE) return (wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
    return ((GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_RBUTTON) |
             GetAsyncKeyState(VK_MBUTTON)) & 0x8000) != 0;
}

POINT RelativeToWindow(HWND wnd, POINT screen) {
    RECT r = {};
    GetWindowRect(wnd, &r);
    return POINT{screen.x - r.left, screen.y - r.top};
}

}  // namespace

// ---- server and shared memory ---------------------------------------------------------------------

bool RunTrayIconServer(const char* folder) {
    char path[MAX_PATH] = {};
    char* file_part = nullptr;
    DWORD length = SearchPathA(folder, kServerFile, nullptr, MAX_PATH, path, &file_part);
    if (length == 0 || length >= MAX_PATH) return false;
    HINSTANCE result = ShellExecuteA(nullptr, nullptr, path, nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

HANDLE OpenSharedMemory(const char* name) {
    return OpenFileMappingA(FILE_MAP_WRITE | FILE_MAP_READ, TRUE, name);
}

void* MapSharedMemory(HANDLE mapping) {
    return mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE | FILE_MAP_READ, 0, 0, 0) : nullptr;
}

void UnmapSharedMemory(void* view) {
    if (view) UnmapViewOfFile(view);
}

HANDLE CreateSharedMemory(const char* name, DWORD size) {
    return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
}

HWND FindTrayServer() { return FindWindowA(tray::kTrayClass, tray::kServerTitle); }

namespace {

bool SendWithTimeout(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result, UINT timeout) {
    if (result) *result = 0;
    HWND server = FindTrayServer();
    if (!server) return false;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(server, msg, wp, lp, SMTO_ABORTIFHUNG, timeout, &answer)) return false;
    if (result) *result = static_cast<LRESULT>(answer);
    return true;
}

}  // namespace

bool SendToTrayServer(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    return SendWithTimeout(msg, wp, lp, result, kServerTimeoutMs);
}

// ---- construction -----------------------------------------------------------------------------------

CTrayHost::CTrayHost(HWND barWindow, UINT notificationMessage, int hostFlags,
                     const TrayHostSettings* settings)
    : m_connected(0), m_redrawPending(0), m_deferPainting(0), m_serverVersion(0),
      m_filteringOn(0), m_filterTimerId(0), m_filterTimerArmed(0), m_recordSize(0),
      m_inactiveMinutes(10), m_barWindow(nullptr), m_instance(nullptr),
      m_notificationMessage(0), m_view(nullptr), m_mapping(nullptr), m_toolTips(nullptr),
      m_ownsToolTips(0), m_settings(), m_hostFlags(0), m_pressed(-1), m_pressedInside(-1),
      m_hot(-1), m_lastReleasedOwner(nullptr), m_lastPressedOwner(nullptr), m_tools(),
      m_toolCount(0), m_viewSize(0) {
    if (!FindTrayServer() && StartTrayIconServer()) {
        // The new server needs a moment to make its window: wait, bounded.
        const DWORD start = GetTickCount();
        while (!FindTrayServer() && GetTickCount() - start < kServerStartWaitMs) Sleep(20);
    }
    for (int i = 0; i < tray::kTableCapacity; ++i) {
        m_shown[i] = 1;
        SetRectEmpty(&m_iconRects[i]);
    }
    m_settings.iconSize = SIZE{16, 16};
    m_settings.spacing = SIZE{1, 1};
    if (!ConnectToServer(barWindow, notificationMessage, hostFlags, settings)) return;

    m_connected = 1;
    if (m_barWindow)
        SendToTrayServer(tray::WM_TRAYREGISTER, reinterpret_cast<WPARAM>(m_barWindow),
                         static_cast<LPARAM>(m_notificationMessage));

    m_toolTips = m_barWindow ? static_cast<HWND>(GetPropA(m_barWindow, "hwndToolTips")) : nullptr;
    if (!m_toolTips) {
        m_toolTips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     nullptr, nullptr, m_instance, nullptr);
        if (m_toolTips) {
            m_ownsToolTips = 1;
            SetWindowPos(m_toolTips, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }

    LRESULT minutes = 0;
    if (SendToTrayServer(tray::WM_TRAYGETINACTIVEMINUTES, 0, 0, &minutes) && minutes > 0)
        m_inactiveMinutes = static_cast<int>(minutes);
    Refilter();
    LayoutIcons();
    UpdateAllTooltips(1);
    Redraw();
}

// Steps of the construction up to the mapped table; false leaves the host
// unconnected.
bool CTrayHost::ConnectToServer(HWND barWindow, UINT notificationMessage, int hostFlags,
                                const TrayHostSettings* settings) {
    if (!FindTrayServer()) return false;
    LRESULT size = 0, version = 0;
    SendWithTimeout(tray::WM_TRAYGETRECORDSIZE, 0, 0, &size, kHandshakeTimeoutMs);
    SendWithTimeout(tray::WM_TRAYGETVERSION, 0, 0, &version, kHandshakeTimeoutMs);
    if (size == 0) {   // an old server, or no answer
        size = tray::kLegacyRecordSize;
        version = 0;
    }
    m_serverVersion = version > 0 && version <= 0xFFFF ? static_cast<int>(version) : 0;

    m_barWindow = barWindow;
    m_instance = barWindow
                     ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(barWindow, GWLP_HINSTANCE))
                     : GetModuleHandleA(nullptr);
    m_notificationMessage = notificationMessage;
    if (settings) SetSettings(settings);
    m_hostFlags = hostFlags;

    m_mapping = OpenSharedMemory(tray::kSharedTableName);
    if (!m_mapping) return false;
    m_view = static_cast<BYTE*>(MapSharedMemory(m_mapping));
    MEMORY_BASIC_INFORMATION info = {};
    if (m_view && VirtualQuery(m_view, &info, sizeof(info)) == sizeof(info))
        m_viewSize = info.RegionSize;
    // The record size strides the view: a size that does not fit 100 records
    // into what is mapped would read past it.
    const unsigned long long needed =
        kTableHeader + static_cast<unsigned long long>(tray::kTableCapacity) *
                           static_cast<unsigned long long>(size < 0 ? 0 : size);
    if (!m_view || size < tray::kLegacyRecordSize || needed > m_viewSize) {
        UnmapSharedMemory(m_view);
        CloseHandle(m_mapping);
        m_view = nullptr;
        m_mapping = nullptr;
        m_viewSize = 0;
        return false;
    }
    m_recordSize = static_cast<int>(size);
    return true;
}

CTrayHost::~CTrayHost() {
    KillFilterTimer();
    UnmapSharedMemory(m_view);
    m_view = nullptr;
    if (m_mapping) CloseHandle(m_mapping);
    m_mapping = nullptr;
    if (m_connected && m_barWindow)
        SendToTrayServer(tray::WM_TRAYUNREGISTER, reinterpret_cast<WPARAM>(m_barWindow), 0);
    if (m_ownsToolTips && m_toolTips) DestroyWindow(m_toolTips);
    else if (m_toolTips && IsWindow(m_toolTips))
        for (int i = 0; i < m_toolCount; ++i) {
            TOOLINFOA info = {};
            info.cbSize = sizeof(info);
            info.hwnd = m_barWindow;
            info.uId = m_tools[i].id;
            SendMessageA(m_toolTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
        }
    m_toolTips = nullptr;
}

// ---- records ------------------------------------------------------------------------------------------

const BYTE* CTrayHost::Record(int index) const {
    if (!m_view || index < 0 || index >= tray::kTableCapacity) return nullptr;
    return m_view + kTableHeader + static_cast<size_t>(index) * static_cast<size_t>(m_recordSize);
}

BYTE* CTrayHost::Record(int index) {
    return const_cast<BYTE*>(static_cast<const CTrayHost*>(this)->Record(index));
}

bool CTrayHost::HasField(size_t offset, size_t size) const {
    return offset + size <= static_cast<size_t>(m_recordSize);
}

namespace {

template <typename T>
T ReadField(const BYTE* record, size_t offset) {
    T value;
    memcpy(&value, record + offset, sizeof(T));
    return value;
}

template <typename T>
void WriteField(BYTE* record, size_t offset, T value) {
    memcpy(record + offset, &value, sizeof(T));
}

}  // namespace

HWND CTrayHost::RecordOwner(int index) const {
    const BYTE* r = Record(index);
    return r ? Widen(ReadField<uint32_t>(r, kOwnerOffset)) : nullptr;
}

bool CTrayHost::IsLive(int index) const {
    const BYTE* r = Record(index);
    return r && ReadField<uint32_t>(r, kOwnerOffset) != 0 && ReadField<int32_t>(r, kAliveOffset) != 0;
}

DWORD CTrayHost::LastActivity(int index) const {
    const BYTE* r = Record(index);
    if (!r) return 0;
    DWORD tip = HasField(kTipTickOffset, 4) ? ReadField<uint32_t>(r, kTipTickOffset) : 0;
    DWORD icon = HasField(kIconTickOffset, 4) ? ReadField<uint32_t>(r, kIconTickOffset) : 0;
    return tip > icon ? tip : icon;
}

bool CTrayHost::CopyRecord(int index, TrayIconRecord* out) const {
    if (!out) return false;
    memset(out, 0, sizeof(*out));
    const BYTE* r = Record(index);
    if (!r) return false;
    size_t size = static_cast<size_t>(m_recordSize);
    memcpy(out, r, size < sizeof(*out) ? size : sizeof(*out));
    return true;
}

int CTrayHost::GetRecordCount() const {
    if (!m_view) return 0;
    int n = 0;
    while (n < tray::kTableCapacity && ReadField<uint32_t>(Record(n), kOwnerOffset) != 0) ++n;
    return n;
}

int CTrayHost::GetShownCount() const {
    int count = GetRecordCount(), n = 0;
    for (int i = 0; i < count; ++i)
        if (m_shown[i] && IsLive(i)) ++n;
    return n;
}

int CTrayHost::GetHiddenCount() const {
    int count = GetRecordCount(), n = 0;
    for (int i = 0; i < count; ++i)
        if (!m_shown[i] && IsLive(i)) ++n;
    return n;
}

// ---- showing rule and the inactivity timer --------------------------------------------------------------

bool CTrayHost::Refilter() {
    if (!m_view) return false;
    const int count = GetRecordCount();
    const DWORD now = GetTickCount();
    const DWORD window = static_cast<DWORD>(m_inactiveMinutes) * 60000u;
    bool changed = false, timed = false;
    for (int i = 0; i < count; ++i) {
        const BYTE* r = Record(i);
        if (!ReadField<int32_t>(r, kAliveOffset)) continue;
        int shown = 1;
        if (HasField(kHiddenOffset, 4) && ReadField<int32_t>(r, kHiddenOffset) == 1) {
            shown = 0;   // the owner hid it (NIS_HIDDEN)
        } else if (m_serverVersion < kTrayVersionFilter || !m_filteringOn) {
            shown = 1;
        } else {
            int behavior = m_serverVersion >= kTrayVersionBehavior && HasField(kBehaviorOffset, 4)
                               ? ReadField<int32_t>(r, kBehaviorOffset)
                               : static_cast<int32_t>(tray::kHideWhenInactive);
            if (behavior == tray::kAlwaysHide) {
                shown = 0;
            } else if (behavior == tray::kAlwaysShow) {
                shown = 1;
            } else {
                const DWORD last = LastActivity(i);
                shown = window > now || now - window < last ? 1 : 0;
                timed = true;
            }
        }
        if (m_shown[i] != shown) changed = true;
        m_shown[i] = shown;
    }
    return changed || timed;
}

bool CTrayHost::ArmFilterTimer() {
    if (!m_view || m_serverVersion < kTrayVersionFilter || !m_filteringOn || m_filterTimerArmed ||
        !m_filterTimerId || !m_barWindow)
        return false;
    const DWORD now = GetTickCount();
    const DWORD window = static_cast<DWORD>(m_inactiveMinutes) * 60000u;
    DWORD soonest = 0;
    for (int i = 0; i < tray::kTableCapacity; ++i) {
        const DWORD last = LastActivity(i);
        if (window < now - last) continue;   // already past
        const DWORD left = window + last - now;
        if (left && (!soonest || left < soonest)) soonest = left;
    }
    if (!soonest) return false;
    if (!SetTimer(m_barWindow, m_filterTimerId, soonest, nullptr)) return false;
    m_filterTimerArmed = 1;
    return true;
}

void CTrayHost::KillFilterTimer() {
    if (m_barWindow && m_filterTimerId) KillTimer(m_barWindow, m_filterTimerId);
    m_filterTimerArmed = 0;
}

bool CTrayHost::OnFilterTimer() {
    if (m_barWindow && m_filterTimerId) KillTimer(m_barWindow, m_filterTimerId);
    bool relaid = false;
    if (m_filterTimerArmed) {
        m_filterTimerArmed = 0;
        if (Refilter()) {
            LayoutIcons();
            UpdateAllTooltips(0);
            relaid = true;
        }
    }
    ArmFilterTimer();
    return relaid;
}

// ---- layout ------------------------------------------------------------------------------------------

void CTrayHost::LayoutIcons() {
    for (RECT& r : m_iconRects) SetRectEmpty(&r);
    if (!m_view) return;
    const int cx = m_settings.iconSize.cx, cy = m_settings.iconSize.cy;
    const int sx = m_settings.spacing.cx, sy = m_settings.spacing.cy;
    const int step_x = cx + sx, step_y = cy + sy;
    // An empty cell or a step that does not move forward places nothing.
    if (cx < 1 || cy < 1 || step_x < 1 || step_y < 1) return;

    const RECT area = m_settings.area;
    const int count = GetRecordCount();
    const int n = GetShownCount();
    if (n == 0) return;
    const bool columns_mode = m_settings.layoutMode == kTrayLayoutColumns;
    int rows, columns, start_x, start_y;
    if (!columns_mode) {
        rows = static_cast<int>(std::floor(static_cast<double>(area.bottom - area.top + sy) / step_y));
        if (rows <= 0) rows = 1;
        columns = static_cast<int>(std::ceil(static_cast<double>(n) / rows));
        start_x = m_settings.farEnd ? area.right - columns * step_x : area.left;
        start_y = area.top;
    } else {
        columns = static_cast<int>(std::floor(static_cast<double>(area.right - area.left + sx) / step_x));
        if (columns <= 0) columns = 1;
        rows = static_cast<int>(std::ceil(static_cast<double>(n) / columns));
        start_x = area.left;
        start_y = m_settings.farEnd ? area.bottom - rows * step_y : area.top;
    }

    const bool backwards = (m_settings.farEnd != 0) != (m_settings.reverse != 0);
    int placed = 0;
    int row_counts[tray::kTableCapacity] = {};
    for (int k = 0; k < count; ++k) {
        const int i = backwards ? count - 1 - k : k;
        if (!m_shown[i] || !IsLive(i)) continue;
        int row, column;
        if (!columns_mode) {
            row = placed / columns;
            column = placed % columns;
        } else {
            row = placed % rows;
            column = placed / rows;
            ++row_counts[row];
        }
        const int x = start_x + column * step_x, y = start_y + row * step_y;
        m_iconRects[i] = RECT{x, y, x + cx, y + cy};
        ++placed;
    }
    if (!columns_mode) return;

    // Each row centred in the area.
    for (int i = 0; i < count; ++i) {
        RECT& r = m_iconRects[i];
        if (IsRectEmpty(&r)) continue;
        const int row = (r.top - start_y) / step_y;
        const int k = row >= 0 && row < tray::kTableCapacity ? row_counts[row] : 1;
        const int row_start = (area.left + area.right - (k * cx + (k - 1) * sx)) / 2;
        const int column = (r.left - area.left) / step_x;
        r.left = row_start + column * step_x;
        r.right = r.left + cx;
    }
}

// ---- settings -----------------------------------------------------------------------------------------

void CTrayHost::SetSettings(const TrayHostSettings* s) {
    if (!s) return;
    bool changed = false;
    auto store = [&changed](auto& field, const auto& value) {
        if (memcmp(&field, &value, sizeof(field)) != 0) changed = true;
        field = value;
    };
    if (s->mask & kTrayArea) {
        if (!EqualRect(&m_settings.area, &s->area)) changed = true;
        m_settings.area = s->area;
    }
    if (s->mask & kTrayOrigin) store(m_settings.origin, s->origin);
    if (s->mask & kTrayFarEnd) store(m_settings.farEnd, s->farEnd);
    if (s->mask & kTrayReverse) store(m_settings.reverse, s->reverse);
    if (s->mask & kTrayDrawCallback) store(m_settings.drawCallback, s->drawCallback);
    if (s->mask & kTrayIconSize) store(m_settings.iconSize, s->iconSize);
    if (s->mask & kTraySpacing) store(m_settings.spacing, s->spacing);
    if (s->mask & kTrayOwnerSection) store(m_settings.ownerSection, s->ownerSection);
    if (s->mask & kTrayLayoutMode) store(m_settings.layoutMode, s->layoutMode);
    if (changed) {
        LayoutIcons();
        UpdateAllTooltips(0);
    }
}

void CTrayHost::GetSettings(TrayHostSettings* out) const {
    if (!out) return;
    const UINT mask = out->mask;
    if (mask & kTrayArea) out->area = m_settings.area;
    if (mask & kTrayOrigin) out->origin = m_settings.origin;
    if (mask & kTrayFarEnd) out->farEnd = m_settings.farEnd;
    if (mask & kTrayReverse) out->reverse = m_settings.reverse;
    if (mask & kTrayDrawCallback) out->drawCallback = m_settings.drawCallback;
    if (mask & kTrayIconSize) out->iconSize = m_settings.iconSize;
    if (mask & kTraySpacing) out->spacing = m_settings.spacing;
    if (mask & kTrayOwnerSection) out->ownerSection = m_settings.ownerSection;
    if (mask & kTrayLayoutMode) out->layoutMode = m_settings.layoutMode;
}

// ---- tooltips -------------------------------------------------------------------------------------------

int CTrayHost::FindTool(UINT iconId, DWORD owner) const {
    for (int i = 0; i < m_toolCount; ++i)
        if (m_tools[i].iconId == iconId && m_tools[i].owner == owner) return i;
    return -1;
}

void CTrayHost::FillToolInfo(int index, TOOLINFOA* info, char* text, size_t text_size) const {
    const BYTE* r = Record(index);
    const DWORD owner = ReadField<uint32_t>(r, kOwnerOffset);
    const UINT id = ReadField<uint32_t>(r, kIdOffset);
    if (m_serverVersion >= kTrayVersionLongTip && HasField(kLongTipOffset, kLongTipSize))
        tess::CopyTextN(text, text_size, reinterpret_cast<const char*>(r + kLongTipOffset), kLongTipSize);
    else
        tess::CopyTextN(text, text_size, reinterpret_cast<const char*>(r + kShortTipOffset), kShortTipSize);
    memset(info, 0, sizeof(*info));
    info->cbSize = sizeof(*info);
    info->uFlags = TTF_SUBCLASS;
    info->hwnd = m_barWindow;
    // (id | 0xD000) << 16 with the owner's high word is not unique: two
    // windows of one process share their high word. The tool of an icon is
    // found by (id, owner), and a clash takes the next free id.
    const int known = FindTool(id, owner);
    UINT_PTR tool_id = static_cast<UINT_PTR>((static_cast<DWORD>(id | 0xD000) << 16) | HIWORD(owner));
    if (known >= 0) tool_id = m_tools[known].id;
    else
        while (ToolIdTaken(tool_id)) ++tool_id;
    info->uId = tool_id;
    info->rect = m_iconRects[index];
    info->hinst = m_instance;
    info->lpszText = text;
}

bool CTrayHost::ToolIdTaken(UINT_PTR id) const {
    for (int i = 0; i < m_toolCount; ++i)
        if (m_tools[i].id == id) return true;
    return false;
}

void CTrayHost::AddTooltip(int index) {
    if (!m_toolTips || index < 0 || index >= GetRecordCount() || !IsLive(index)) return;
    TOOLINFOA info;
    char text[kLongTipSize + 1];
    FillToolInfo(index, &info, text, sizeof(text));
    const BYTE* record = Record(index);
    if (FindTool(ReadField<uint32_t>(record, kIdOffset), ReadField<uint32_t>(record, kOwnerOffset)) >= 0) {
        SendMessageA(m_toolTips, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    if (m_toolCount >= tray::kTableCapacity) return;
    if (!SendMessageA(m_toolTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info))) return;
    const BYTE* r = Record(index);
    m_tools[m_toolCount++] = Tool{info.uId, ReadField<uint32_t>(r, kIdOffset),
                                  ReadField<uint32_t>(r, kOwnerOffset)};
}

void CTrayHost::UpdateTooltip(int index) {
    if (!m_toolTips || index < 0 || index >= GetRecordCount() || !IsLive(index)) return;
    TOOLINFOA info;
    char text[kLongTipSize + 1];
    FillToolInfo(index, &info, text, sizeof(text));
    const BYTE* record = Record(index);
    if (FindTool(ReadField<uint32_t>(record, kIdOffset), ReadField<uint32_t>(record, kOwnerOffset)) < 0) {
        AddTooltip(index);
        return;
    }
    SendMessageA(m_toolTips, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info));
}

void CTrayHost::UpdateAllTooltips(int add) {
    const int count = GetRecordCount();
    for (int i = 0; i < count; ++i) {
        if (add) AddTooltip(i);
        else UpdateTooltip(i);
    }
}

// The server names only the icon id of a deleted icon: every tool of that id
// whose owner no longer has the icon in the table goes.
void CTrayHost::RemoveTooltip(UINT iconId) {
    const int count = GetRecordCount();
    for (int t = m_toolCount - 1; t >= 0; --t) {
        if (m_tools[t].iconId != iconId) continue;
        bool still_there = false;
        for (int i = 0; i < count && !still_there; ++i) {
            const BYTE* r = Record(i);
            still_there = ReadField<uint32_t>(r, kIdOffset) == iconId &&
                          ReadField<uint32_t>(r, kOwnerOffset) == m_tools[t].owner;
        }
        if (still_there) continue;
        if (m_toolTips) {
            TOOLINFOA info = {};
            info.cbSize = sizeof(info);
            info.hwnd = m_barWindow;
            info.uId = m_tools[t].id;
            SendMessageA(m_toolTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
        }
        m_tools[t] = m_tools[--m_toolCount];
    }
}

// ---- notifications and mouse --------------------------------------------------------------------------

void CTrayHost::Redraw() {
    if (m_deferPainting) {
        m_redrawPending = 1;
        return;
    }
    if (m_barWindow) RedrawWindow(m_barWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

int CTrayHost::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_notificationMessage && msg == m_notificationMessage) {
        if (!m_view) return 0;
        const WORD code = LOWORD(lp);
        const int index = static_cast<int>(wp);
        const bool carries_index = code == tray::TRAYNOTIFY_ADD || code == tray::TRAYNOTIFY_MODIFY ||
                                   code == tray::TRAYNOTIFY_REDRAW;
        // An index names a record of the table; anything else is ignored.
        if (carries_index && (index < 0 || index >= GetRecordCount())) return 0;
        switch (code) {
        case tray::TRAYNOTIFY_ADD:
            Refilter();
            LayoutIcons();
            AddTooltip(index);
            UpdateAllTooltips(0);
            Redraw();
            ArmFilterTimer();
            return 1;
        case tray::TRAYNOTIFY_MODIFY:
            if (Refilter()) {
                LayoutIcons();
                UpdateAllTooltips(0);
            }
            if (HIWORD(lp) & NIF_TIP) UpdateTooltip(index);
            if (HIWORD(lp) & NIF_ICON) Redraw();
            ArmFilterTimer();
            return 1;
        case tray::TRAYNOTIFY_DELETE:
            Refilter();
            LayoutIcons();
            RemoveTooltip(static_cast<UINT>(wp));
            UpdateAllTooltips(0);
            Redraw();
            return 1;
        case tray::TRAYNOTIFY_REDRAW:
            Redraw();
            return 1;
        case tray::TRAYNOTIFY_SETTINGS: {
            LRESULT minutes = 0;
            if (SendToTrayServer(tray::WM_TRAYGETINACTIVEMINUTES, 0, 0, &minutes) && minutes > 0)
                m_inactiveMinutes = static_cast<int>(minutes);
            if (Refilter()) {
                LayoutIcons();
                UpdateAllTooltips(0);
                Redraw();
            }
            KillFilterTimer();
            ArmFilterTimer();
            return 1;
        }
        default:
            return 0;
        }
    }
    if (IsClientMouseMessage(msg) || ClientTwin(msg) || msg == WM_MOUSELEAVE) OnMouse(msg, wp, lp);
    return 0;
}

void CTrayHost::StampActivity(int index) {
    BYTE* r = Record(index);
    if (!r || m_serverVersion < kTrayVersionFilter) return;
    const DWORD now = GetTickCount();
    if (HasField(kTipTickOffset, 4)) WriteField<uint32_t>(r, kTipTickOffset, now);
    if (HasField(kIconTickOffset, 4)) WriteField<uint32_t>(r, kIconTickOffset, now);
}

void CTrayHost::OnMouse(UINT msg, WPARAM wp, LPARAM lp) {
    if (!m_view || !m_barWindow) return;
    POINT pt;
    if (UINT twin = ClientTwin(msg)) {
        pt = RelativeToWindow(m_barWindow, POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        msg = twin;
    } else if (msg == WM_MOUSELEAVE) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        pt = RelativeToWindow(m_barWindow, cursor);
    } else {
        pt = POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    }

    if (msg == WM_LBUTTONDOWN && m_pressed < 0) {
        HWND owners[2] = {m_lastReleasedOwner, m_lastPressedOwner};
        for (int i = 0; i < 2; ++i) {
            if (!owners[i] || (i == 1 && owners[1] == owners[0])) continue;
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(owners[i], WM_CANCELMODE, 0, 0, SMTO_ABORTIFHUNG,
                                kCancelModeTimeoutMs, &ignored);
        }
        m_lastReleasedOwner = m_lastPressedOwner = nullptr;
    }
    if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_barWindow, 0};
        TrackMouseEvent(&track);
    }

    const int previous_hot = m_hot;
    m_hot = HitTest(pt.x, pt.y);
    const HWND hot_owner = m_hot >= 0 ? RecordOwner(m_hot) : nullptr;
    bool click = false;
    if (IsButtonDown(msg)) {
        m_pressed = m_pressedInside = m_hot;
        Redraw();
        m_lastPressedOwner = hot_owner;
    } else if (IsButtonUp(msg) || (m_pressed >= 0 && !AnyButtonHeld(msg, wp))) {
        m_pressed = m_pressedInside = -1;
        Redraw();
        click = true;
        if (m_hot >= 0) StampActivity(m_hot);
        m_lastReleasedOwner = hot_owner;
    } else if (m_pressed >= 0 && msg == WM_MOUSELEAVE) {
        m_pressedInside = -1;
        Redraw();
    }

    if (m_hot != previous_hot) {
        if (m_pressed >= 0) {
            m_pressedInside = m_hot == m_pressed ? m_pressed : -1;
            Redraw();
        } else if (m_hostFlags & kTrayHostRedrawOnHot) {
            Redraw();
        }
    }

    if (m_hot < 0 || !hot_owner) return;
    if (click) SetForegroundWindow(hot_owner);
    const BYTE* r = Record(m_hot);
    const int32_t callback = ReadField<int32_t>(r, kCallbackOffset);
    if (callback == -1) return;   // added without a callback message
    PostMessageA(hot_owner, static_cast<UINT>(callback),
                 static_cast<WPARAM>(ReadField<uint32_t>(r, kIdOffset)), static_cast<LPARAM>(msg));
}

// ---- drawing and dead owners ------------------------------------------------------------------------

void CTrayHost::DrawIcons(HDC dc) {
    if (!m_view || !dc || !m_settings.drawCallback) return;
    SweepDeadOwners();
    const int count = GetRecordCount();
    for (int i = 0; i < count; ++i) {
        if (!m_shown[i] || !IsLive(i) || IsRectEmpty(&m_iconRects[i])) continue;
        TrayIconDrawInfo info;
        info.dc = dc;
        info.area = m_settings.area;
        info.ownerSection = m_settings.ownerSection;
        info.iconRect = m_iconRects[i];
        CopyRecord(i, &info.record);
        info.state = i == m_pressedInside ? kTrayIconPressed : i == m_hot ? kTrayIconHot : kTrayIconNormal;
        info.serverVersion = m_serverVersion;
        m_settings.drawCallback(&info);
    }
}

bool CTrayHost::SweepDeadOwners() {
    if (!m_view) return false;
    const int count = GetRecordCount();
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (!IsLive(i) || IsWindow(RecordOwner(i))) continue;
        WriteField<int32_t>(Record(i), kAliveOffset, 0);
        any = true;
    }
    // Posted: the server answers with a delete notification per record, which
    // must not arrive while the bar is still painting.
    if (any)
        if (HWND server = FindTrayServer()) PostMessageA(server, tray::WM_TRAYPURGEDEAD, 0, 0);
    return any;
}

// ---- queries -------------------------------------------------------------------------------------------

void CTrayHost::GetIconsExtent(SIZE* out) const {
    if (!out) return;
    *out = SIZE{0, 0};
    if (!m_view || !m_settings.drawCallback) return;
    RECT all = {};
    const int count = GetRecordCount();
    for (int i = 0; i < count; ++i)
        if (m_shown[i] && IsLive(i) && !IsRectEmpty(&m_iconRects[i]))
            UnionRect(&all, &all, &m_iconRects[i]);
    *out = SIZE{all.right - all.left, all.bottom - all.top};
}

int CTrayHost::HitTest(int x, int y) const {
    const int count = GetRecordCount();
    const POINT pt = {x, y};
    for (int i = 0; i < count; ++i)
        if (m_shown[i] && IsLive(i) && !IsRectEmpty(&m_iconRects[i]) && PtInRect(&m_iconRects[i], pt))
            return i;
    return -1;
}

HWND CTrayHost::OwnerAt(int x, int y) const {
    const int index = HitTest(x, y);
    return index >= 0 ? RecordOwner(index) : nullptr;
}

int CTrayHost::FindRecordByOwner(HWND owner) const {
    const int count = GetRecordCount();
    for (int i = 0; i < count; ++i)
        if (owner && RecordOwner(i) == owner) return i;
    return -1;
}

int CTrayHost::GetIconsLeft() const {
    int left = -1;
    const int count = GetRecordCount();
    for (int i = 0; i < count; ++i)
        if (m_shown[i] && IsLive(i) && !IsRectEmpty(&m_iconRects[i]) &&
            (left < 0 || m_iconRects[i].left < left))
            left = m_iconRects[i].left;
    return left;
}

namespace {

bool TipEquals(const BYTE* record, const char* text) {
    char tip[kShortTipSize + 1];
    tess::CopyTextN(tip, sizeof(tip), reinterpret_cast<const char*>(record + kShortTipOffset),
                    kShortTipSize);
    return lstrcmpiA(tip, text) == 0;
}

}  // namespace

HWND CTrayHost::FindOwnerByTip(const char* text) const {
    const int count = GetRecordCount();
    for (int i = 0; text && i < count; ++i)
        if (IsLive(i) && TipEquals(Record(i), text)) return RecordOwner(i);
    return nullptr;
}

UINT CTrayHost::FindIdByTip(const char* text) const {
    const int count = GetRecordCount();
    for (int i = 0; text && i < count; ++i)
        if (IsLive(i) && TipEquals(Record(i), text)) return ReadField<uint32_t>(Record(i), kIdOffset);
    return 0;
}
