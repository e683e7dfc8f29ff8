// The shared icon table: reading the notification-icon blocks, recording,
// updating and removing icons, and dropping the icons of owners that are gone.
#include "lanternfold/tray_server.h"

#include <cstring>
#include <cwchar>

#include "util/text.h"

namespace tray {

namespace {

// The process-status functions are looked up once and kept: psapi.dll does
// not exist on every system the server runs on.
struct ProcessStatusApi {
    using EnumModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);
    using BaseNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    EnumModulesFn enum_modules = nullptr;
    BaseNameFn base_name = nullptr;

    ProcessStatusApi() {
        HMODULE lib = LoadLibraryA("psapi.dll");
        if (!lib) return;
        enum_modules = reinterpret_cast<EnumModulesFn>(GetProcAddress(lib, "EnumProcessModules"));
        base_name = reinterpret_cast<BaseNameFn>(GetProcAddress(lib, "GetModuleBaseNameA"));
    }
};

bool IsNtPlatform() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Icons of system dialogs and of the connections tray that the shell's own
// tray shows by itself.
bool IsRefusedOwner(HWND owner, UINT id) {
    char cls[64] = {};
    if (!GetClassNameA(owner, cls, sizeof(cls))) return false;
    if (lstrcmpiA(cls, "Connections tray") == 0 && id > 5000) return true;
    int signed_id = static_cast<int>(id);
    return strcmp(cls, "#32770") == 0 && signed_id >= -99 && signed_id <= -1;
}

void ConvertTip(const IconMessage& m, char* out, size_t size) {
    tess::CopyText(out, size, m.tip);
}

}  // namespace

void GetWindowProgramName(HWND wnd, char* name, size_t size) {
    if (!name || size == 0) return;
    name[0] = '\0';
    if (!IsNtPlatform()) {
        char path[310] = {};
        if (!GetWindowModuleFileNameA(wnd, path, sizeof(path) - 1)) return;
        const char* slash = strrchr(path, '\\');
        tess::CopyText(name, size, slash ? slash + 1 : path);
        return;
    }
    static ProcessStatusApi api;
    if (!api.enum_modules || !api.base_name) return;
    DWORD pid = 0;
    if (!GetWindowThreadProcessId(wnd, &pid) || !pid) return;
    tess::ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return;
    HMODULE first = nullptr;
    DWORD needed = 0;
    if (!api.enum_modules(process.get(), &first, sizeof(first), &needed) || !first) return;
    char base[MAX_PATH] = {};
    if (!api.base_name(process.get(), first, base, sizeof(base) - 1)) return;
    tess::CopyText(name, size, base);
}

// The fields the ANSI and the wide block share; false without the signature.
template <typename Block>
static bool ReadCommonBlockFields(const COPYDATASTRUCT* data, Block* block, IconMessage* out) {
    std::memcpy(block, data->lpData, sizeof(*block));
    if (block->signature != kShellTraySignature) return false;
    out->nim = block->message;
    out->owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(block->nid.hWnd));
    out->id = block->nid.uID;
    out->flags = block->nid.uFlags;
    out->callback = block->nid.uCallbackMessage;
    out->icon = reinterpret_cast<HICON>(static_cast<UINT_PTR>(block->nid.hIcon));
    out->state = block->nid.dwState;
    out->state_mask = block->nid.dwStateMask;
    return true;
}

bool ReadShellTrayBlock(const COPYDATASTRUCT* data, bool nt_form, IconMessage* out) {
    if (!data || !out || data->dwData != kShellTrayCopyDataId || !data->lpData) return false;
    const size_t need = nt_form ? sizeof(ShellTrayBlockW) : sizeof(ShellTrayBlockA);
    if (data->cbData < need) return false;
    std::memset(out, 0, sizeof(*out));
    if (nt_form) {
        ShellTrayBlockW block;
        if (!ReadCommonBlockFields(data, &block, out)) return false;
        // The sender's tip need not be terminated: read at most its 128 characters.
        int length = static_cast<int>(wcsnlen(block.nid.szTip, 128));
        int n = length ? WideCharToMultiByte(CP_ACP, 0, block.nid.szTip, length, out->tip,
                                             kTipBufferSize - 1, nullptr, nullptr)
                       : 0;
        out->tip[n > 0 ? n : 0] = '\0';
    } else {
        ShellTrayBlockA block;
        if (!ReadCommonBlockFields(data, &block, out)) return false;
        tess::CopyTextN(out->tip, sizeof(out->tip), block.nid.szTip, sizeof(block.nid.szTip));
    }
    return true;
}

HICON CTrayIconServer::DuplicateIcon(HICON icon) {
    ICONINFO info = {};
    // Fails for another process's icon on some systems: then there is no copy.
    if (!icon || !GetIconInfo(icon, &info)) return nullptr;
    tess::ScopedBitmap mask(info.hbmMask);
    tess::ScopedBitmap color(info.hbmColor != info.hbmMask ? info.hbmColor : nullptr);
    return CreateIconIndirect(&info);
}

TrayIconRecord* CTrayIconServer::Record(int index) {
    if (!table_ || index < 0 || index >= kTableCapacity) return nullptr;
    return &table_->entries[index];
}

int CTrayIconServer::IconCount() const {
    if (!table_) return 0;
    int n = 0;
    while (n < kTableCapacity && table_->entries[n].owner) ++n;
    return n;
}

int CTrayIconServer::FindIcon(HWND owner, UINT id) const {
    if (!table_ || !owner) return -1;
    const uint32_t raw = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(owner));
    for (int i = 0; i < kTableCapacity && table_->entries[i].owner; ++i)
        if (table_->entries[i].owner == raw && table_->entries[i].icon_id == id) return i;
    return -1;
}

int CTrayIconServer::FindIconByOwner(HWND owner) const {
    if (!table_ || !owner) return -1;
    const uint32_t raw = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(owner));
    for (int i = 0; i < kTableCapacity && table_->entries[i].owner; ++i)
        if (table_->entries[i].owner == raw) return i;
    return -1;
}

int CTrayIconServer::FindIconById(UINT id) const {
    if (!table_) return -1;
    for (int i = 0; i < kTableCapacity && table_->entries[i].owner; ++i)
        if (table_->entries[i].icon_id == id) return i;
    return -1;
}

int CTrayIconServer::FindIconByKey(const char* key) const {
    if (!table_ || !key || !key[0]) return -1;
    for (int i = 0; i < kTableCapacity; ++i) {
        const TrayIconRecord& r = table_->entries[i];
        char stored[sizeof(r.icon_key) + 1] = {};
        tess::CopyTextN(stored, sizeof(stored), r.icon_key, sizeof(r.icon_key));
        if (lstrcmpiA(stored, key) == 0) return i;
    }
    return -1;
}

int CTrayIconServer::AddIcon(HWND owner, LONG callback, HICON icon_copy, UINT id, const char* tip,
                             const IconMessage& m) {
    if (!owner || !table_) return -1;
    if (IsRefusedOwner(owner, id)) return -1;
    int index = 0;
    while (index < kTableCapacity && table_->entries[index].owner) ++index;
    if (index == kTableCapacity) {
        ShowOutOfRoom();
        return -1;
    }
    TrayIconRecord& r = table_->entries[index];
    std::memset(&r, 0, sizeof(r));
    const DWORD now = GetTickCount();
    r.owner = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(owner));
    r.callback_message = callback;
    r.icon = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(icon_copy));
    r.icon_id = id;
    r.alive = 1;
    r.icon_tick = now;
    r.tip_tick = now;
    if (tip) {
        tess::CopyText(r.short_tip, sizeof(r.short_tip), tip);
        tess::CopyText(r.long_tip, sizeof(r.long_tip), tip);
    }
    r.hidden = ((m.flags & NIF_STATE) && (m.state_mask & NIS_HIDDEN) && (m.state & NIS_HIDDEN)) ? 1 : 0;
    char program[MAX_PATH] = {};
    GetWindowProgramName(owner, program, sizeof(program));
    tess::FormatText(r.icon_key, sizeof(r.icon_key), "%s%x", program, id);
    r.behavior = ReadIconBehavior(index);
    LoadReplacementIcon(index);
    return index;
}

BOOL CTrayIconServer::RemoveIcon(int index) {
    if (!table_ || index < 0 || index >= kTableCapacity) return FALSE;
    RememberIcon(index);
    TrayIconRecord& r = table_->entries[index];
    if (r.icon) DestroyIcon(reinterpret_cast<HICON>(static_cast<UINT_PTR>(r.icon)));
    if (r.replacement_icon) DestroyIcon(reinterpret_cast<HICON>(static_cast<UINT_PTR>(r.replacement_icon)));
    std::memmove(&table_->entries[index], &table_->entries[index + 1],
                 sizeof(TrayIconRecord) * (kTableCapacity - 1 - index));
    std::memset(&table_->entries[kTableCapacity - 1], 0, sizeof(TrayIconRecord));
    return TRUE;
}

void CTrayIconServer::SweepDeadOwners() {
    if (!table_) return;
    bool any = false;
    for (int i = 0; i < kTableCapacity && table_->entries[i].owner; ++i) {
        TrayIconRecord& r = table_->entries[i];
        if (r.alive && !IsWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(r.owner)))) {
            r.alive = 0;
            any = true;
        }
    }
    if (any) PurgeDeadIcons();
}

void CTrayIconServer::PurgeDeadIcons() {
    if (!table_) return;
    for (int i = 0; i < kTableCapacity && table_->entries[i].owner;) {
        if (table_->entries[i].alive) {
            ++i;
            continue;
        }
        const UINT id = table_->entries[i].icon_id;
        RemoveIcon(i);
        NotifyListeners(id, TRAYNOTIFY_DELETE);
        i = 0;
    }
}

void CTrayIconServer::UpdateEntry(int index, const IconMessage& m) {
    TrayIconRecord& r = table_->entries[index];
    if ((m.flags & NIF_STATE) && (m.state_mask & NIS_HIDDEN)) r.hidden = (m.state & NIS_HIDDEN) ? 1 : 0;
    if ((m.flags & NIF_MESSAGE) && m.callback) r.callback_message = static_cast<int32_t>(m.callback);
    if ((m.flags & NIF_ICON) && m.icon) {
        if (r.icon) DestroyIcon(reinterpret_cast<HICON>(static_cast<UINT_PTR>(r.icon)));
        r.icon = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(DuplicateIcon(m.icon)));
        r.icon_tick = GetTickCount();
    }
    if (m.flags & NIF_TIP) {
        std::memset(r.short_tip, 0, sizeof(r.short_tip));
        std::memset(r.long_tip, 0, sizeof(r.long_tip));
        ConvertTip(m, r.short_tip, sizeof(r.short_tip));
        ConvertTip(m, r.long_tip, sizeof(r.long_tip));
        r.tip_tick = GetTickCount();
    }
    r.icon_id = m.id;
}

void CTrayIconServer::ApplyIconMessage(const IconMessage& m, LRESULT* reply) {
    const LPARAM flags_high = static_cast<LPARAM>(m.flags & 0xFFFF) << 16;
    switch (m.nim) {
    case NIM_ADD: {
        int index = FindIcon(m.owner, m.id);
        if (index >= 0) {
            UpdateEntry(index, m);
            NotifyListeners(index, flags_high | TRAYNOTIFY_ADD);
            break;
        }
        const LONG callback = (m.flags & NIF_MESSAGE) ? static_cast<LONG>(m.callback) : -1;
        char tip[kTipBufferSize] = {};
        if (m.flags & NIF_TIP) ConvertTip(m, tip, sizeof(tip));
        HICON copy = ((m.flags & NIF_ICON) && m.icon) ? DuplicateIcon(m.icon) : nullptr;
        index = AddIcon(m.owner, callback, copy, m.id, tip, m);
        if (index < 0 && copy) DestroyIcon(copy);   // not recorded: nobody else frees it
        NotifyListeners(static_cast<WPARAM>(index), flags_high | TRAYNOTIFY_ADD);
        break;
    }
    case NIM_MODIFY: {
        // Only the sender's own icons: another program's entry is never touched.
        int index = FindIcon(m.owner, m.id);
        if (index < 0) index = FindIconByOwner(m.owner);
        if (index < 0) {
            *reply = 0;
            break;
        }
        UpdateEntry(index, m);
        NotifyListeners(index, flags_high | TRAYNOTIFY_MODIFY);
        break;
    }
    case NIM_DELETE: {
        int index = FindIcon(m.owner, m.id);
        if (index < 0) break;
        const UINT id = table_->entries[index].icon_id;
        RemoveIcon(index);
        NotifyListeners(id, TRAYNOTIFY_DELETE);
        break;
    }
    default:
        break;
    }
}

LRESULT CTrayIconServer::OnCopyData(WPARAM wp, const COPYDATASTRUCT* data) {
    LRESULT reply = 1;
    SweepDeadOwners();
    if (!data) return 0;   // nothing to record or to pass on
    IconMessage m;
    bool applied = false;
    if (!re_adding_ && ReadShellTrayBlock(data, is_nt_, &m) && m.nim <= NIM_DELETE) {
        ApplyIconMessage(m, &reply);
        applied = true;
    }
    bool real_tray_answered = false, any_window = false;
    LRESULT real_reply = PassOn(wp, reinterpret_cast<LPARAM>(data), &real_tray_answered, &any_window);
    // A block the server did not act on is answered by the shell's tray.
    if (!applied && real_tray_answered) reply = real_reply;
    if (any_window) KeepFirstInZOrder();
    return reply;
}

}  // namespace tray
