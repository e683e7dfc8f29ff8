// CVellumMenuItem_Shortcut: splitting command lines, the launch on a click
// and the recording of runs.
#include <shlwapi.h>
#include <cstdlib>
#include <cstring>
#include <new>
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "types/mfu_list.h"
#include "types/shortcut_internal.h"
#include "types/shortcut_item.h"
#include "types/usage_counts.h"
#include "util/general_helpers.h"
#include "util/icon_menu.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

constexpr int kDefaultMenuDelayMs = 300;
constexpr DWORD kExpandedSize = 270;
const char* const kAddressPrefixes[] = {"mailto://", "http://", "https://",
                                        "ftp://",    "url://",  "aol://"};
const char* const kProgramExtensions[] = {".exe", ".com", ".lnk"};

bool IsAddress(const char* command) {
    for (const char* prefix : kAddressPrefixes)
        if (_strnicmp(command, prefix, strlen(prefix)) == 0) return true;
    return false;
}

// The first occurrence of extension (any letter case) that is not followed
// by a backslash, as Windows file names match.
char* FindProgramExtension(char* command, const char* extension) {
    const size_t n = strlen(extension);
    for (char* p = command; *p; ++p)
        if (_strnicmp(p, extension, n) == 0 && p[n] != '\\') return p;
    return nullptr;
}

int ShowCommandOf(int runAs) {
    if (runAs == kRunMinimized) return SW_MINIMIZE;
    if (runAs == kRunMaximized) return SW_SHOWMAXIMIZED;
    return SW_SHOWNORMAL;
}

bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

// ---- helpers -------------------------------------------------------------------------------------------

void CVellumMenuItem_Shortcut::SplitCommandLine(char* command, size_t commandSize, char* parameters,
                                                size_t parametersSize) {
    if (parameters && parametersSize) parameters[0] = '\0';
    if (!command || !commandSize || IsAddress(command)) return;
    char* first_quote = strchr(command, '"');
    char* second_quote = first_quote ? strchr(first_quote + 1, '"') : nullptr;
    if (second_quote) {
        if (parameters && parametersSize) tess::CopyText(parameters, parametersSize, second_quote + 1);
        second_quote[1] = '\0';
        return;
    }
    char* end = nullptr;
    for (const char* extension : kProgramExtensions) {
        char* found = FindProgramExtension(command, extension);
        if (found && (!end || found + 4 > end)) end = found + 4;
    }
    if (!end) return;
    if (parameters && parametersSize) tess::CopyText(parameters, parametersSize, end);
    *end = '\0';
    // A lone opening quote gets its closing one when the buffer has room.
    const size_t used = static_cast<size_t>(end - command);
    if (first_quote && used + 2 <= commandSize) {
        end[0] = '"';
        end[1] = '\0';
    }
}

bool CVellumMenuItem_Shortcut::InvokeDefaultVerb(HWND owner, IShellFolder* folder,
                                                 LPCITEMIDLIST relative) {
    return ::InvokeDefaultVerb(owner, folder, relative) != 0;
}

void CVellumMenuItem_Shortcut::ExpandEnvironmentInPlace(char* text, size_t size) {
    if (!text || !size) return;
    char expanded[kExpandedSize];
    DWORD needed = ExpandEnvironmentStringsA(text, expanded, sizeof(expanded));
    if (needed == 0 || needed > sizeof(expanded)) return;
    if (strlen(expanded) < size) tess::CopyText(text, size, expanded);
}

int CVellumMenuItem_Shortcut::GetSystemMenuDelay() {
    static const int delay = [] {
        char value[32] = "";
        tess::ScopedRegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, key.put()) !=
            ERROR_SUCCESS) {
            key.release();
            return 0;
        }
        DWORD type = 0, size = sizeof(value) - 1;
        if (RegQueryValueExA(key.get(), "MenuShowDelay", nullptr, &type,
                             reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            return 0;
        value[size < sizeof(value) ? size : sizeof(value) - 1] = '\0';
        return atoi(value);
    }();
    return delay > 0 ? delay : kDefaultMenuDelayMs;
}

// ---- the launch ----------------------------------------------------------------------------------------

void CVellumMenuItem_Shortcut::OnClick() {
    if (!m_pBar) return;
    if (m_expander) {
        if (m_pBar->m_hWnd)
            ::PostMessageA(m_pBar->m_hWnd, GetShortcutMessages().ExpandPersonalizedDelay,
                           reinterpret_cast<WPARAM>(m_pSection), 0);
        return;
    }
    if (m_disabled) return;
    if (IsFolder && UsePopup) return;   // TrackPopupMenu opens it
    bool started;
    if (m_shellItem && m_shellItem->parent && m_shellItem->relative)
        started = PostShellEntryToMainWindow();
    else
        started = Launch(ShowCommandOf(RunAs));
    CloseVolatileBars();
    // Only a run that started is a run.
    if (started && IsLiveItem(this)) RecordRun();
}

void CVellumMenuItem_Shortcut::OnDblClick() {
    if (m_expander || (m_targetSet && m_pBar && m_pBar->m_volatile)) return;
    const BOOL use_popup = UsePopup;
    UsePopup = FALSE;
    OnClick();
    UsePopup = use_popup;
}

bool CVellumMenuItem_Shortcut::Launch(int show) {
    HWND bar_window = m_pBar->m_hWnd;
    HWND main_window = m_pBar->m_hMainWindow;
    char file[kShortcutTargetSize];
    tess::CopyText(file, m_target);
    ExpandEnvironmentInPlace(file, sizeof(file));
    char parameters[kShortcutParametersSize];
    SplitCommandLine(file, sizeof(file), parameters, sizeof(parameters));
    PathUnquoteSpacesA(file);
    const char* folder = m_startIn[0] ? m_startIn : nullptr;
    if (file[0]) {
        if (Started(ShellExecuteA(bar_window, nullptr, file, parameters, folder, show)) ||
            Started(ShellExecuteA(bar_window, nullptr, file, parameters, nullptr, SW_SHOWNORMAL)) ||
            Started(ShellExecuteA(bar_window, nullptr, file, nullptr, nullptr, SW_SHOWNORMAL)) ||
            Started(ShellExecuteA(main_window, nullptr, file, nullptr, nullptr, SW_SHOWNORMAL)) ||
            Started(ShellExecuteA(nullptr, nullptr, file, nullptr, nullptr, SW_SHOWNORMAL)))
            return true;
    }
    if (PathExists(m_target)) {
        IShellFolder* parent = nullptr;
        LPITEMIDLIST child = nullptr;
        if (TargetParentAndChild(&parent, &child)) {
            bool done = InvokeDefaultVerb(bar_window, parent, child);
            FreePidl(child);
            parent->Release();
            if (done) return true;
        }
    }
    if (!m_target[0]) return false;
    CShellFolderMenu* menu = new (std::nothrow) CShellFolderMenu(1);
    if (!menu) return false;
    bool started = false;
    if (menu->SetFolder(m_target) && menu->GetPrimaryList()) {
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_IDLIST | SEE_MASK_FLAG_NO_UI;
        info.hwnd = bar_window;
        info.lpVerb = "open";
        info.lpIDList = const_cast<ITEMIDLIST*>(menu->GetPrimaryList());
        info.lpDirectory = folder;
        info.nShow = show;
        started = ShellExecuteExA(&info) != FALSE;
    }
    menu->Release();
    return started;
}

void CVellumMenuItem_Shortcut::PostToMainWindow(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pBar && m_pBar->m_hMainWindow) ::PostMessageA(m_pBar->m_hMainWindow, msg, wp, lp);
}

bool CVellumMenuItem_Shortcut::PostShellEntryToMainWindow() {
    HWND main_window = m_pBar->m_hMainWindow;
    if (!m_shellMenu || !main_window) return false;
    // The main window takes over the reference; it trusts only records it
    // knows, and one that never arrives is given back here.
    m_shellMenu->AddRef();
    RegisterOwnedRecord(m_shellMenu);
    RegisterOwnedRecord(m_shellItem);
    if (::PostMessageA(main_window, GetShortcutMessages().FolderMenuExePidl,
                       reinterpret_cast<WPARAM>(m_shellMenu), reinterpret_cast<LPARAM>(m_shellItem)))
        return true;
    UnregisterOwnedRecord(m_shellItem);
    UnregisterOwnedRecord(m_shellMenu);
    m_shellMenu->Release();
    return false;
}

void CVellumMenuItem_Shortcut::CloseVolatileBars() {
    if (!m_pBar || !m_pBar->m_volatile || !m_pBar->m_hMainWindow) return;
    ::SetForegroundWindow(m_pBar->m_hMainWindow);
    ::PostMessageA(m_pBar->m_hMainWindow, GetShortcutMessages().VolatileClose, 0, 0);
}

void CVellumMenuItem_Shortcut::RecordRun() {
    const UINT updated = GetShortcutMessages().RecentProgsUpdated;
    CMFUList* list = GetMFUList();
    if (m_shellItem && m_shellItem->absolute) {
        char path[MAX_PATH] = "";
        if (!IsFolder && m_pBar && m_pBar->m_volatile && list &&
            SHGetPathFromIDListA(m_shellItem->absolute, path) && list->AddUse(path, nullptr, 1))
            PostToMainWindow(updated, 0, 0);
        RecordProgramRunPidl(m_shellItem->absolute);
        return;
    }
    if (m_recordsRecent && list && list->AddUse(m_target, nullptr, 1)) PostToMainWindow(updated, 0, 0);
    RecordProgramRun(m_target);
}
