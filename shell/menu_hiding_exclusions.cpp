#include "shell/menu_hiding_exclusions.h"

#include <shlwapi.h>
#include <string>
#include <vector>

#include "shell/desktop_resources.h"
#include "shell/startup.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr char kSubkey[] = "MenuHidingExclusions";
constexpr char kValueFormat[] = "ExcludedProgram#%i";
// A value far longer than any file name is not read at all.
constexpr DWORD kLargestValueRead = 64 * 1024;
constexpr char kAddTitle[] = "Find Program (Executable) to Exclude from Menu Hiding";
constexpr char kAddFilter[] = "Program Files (*.exe)\0*.exe\0";

struct ExclusionTable {
    std::string names[kMaxMenuHidingExclusions];   // "" is a free slot
    int slots = 0;                                 // highest slot ever filled + 1
};
ExclusionTable g_table;

// A string value cut to the kept length and terminated, whatever its
// stored length or type; "" when it is missing or not text.
std::string ReadBoundedValue(HKEY key, const char* name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return "";
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || size > kLargestValueRead) return "";
    std::vector<char> data(size + 1, '\0');
    DWORD read = size;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) !=
        ERROR_SUCCESS)
        return "";
    data[read < size ? read : size] = '\0';
    std::string value(data.data());
    if (value.size() > kExclusionNameSize - 1) value.resize(kExclusionNameSize - 1);
    return value;
}

}  // namespace

void AddMenuHidingExclusion(const char* name) {
    if (!name || !name[0]) return;
    for (int i = 0; i < kMaxMenuHidingExclusions; ++i) {
        if (!g_table.names[i].empty()) continue;
        g_table.names[i].assign(name, strnlen(name, kExclusionNameSize - 1));
        if (i + 1 > g_table.slots) g_table.slots = i + 1;
        return;
    }
}

void RemoveMenuHidingExclusion(const char* name) {
    if (!name) return;
    for (int i = 0; i < g_table.slots; ++i)
        if (!g_table.names[i].empty() && lstrcmpiA(g_table.names[i].c_str(), name) == 0)
            g_table.names[i].clear();
}

bool IsMenuHidingExcluded(const char* name) {
    if (!name || !name[0]) return false;
    for (int i = 0; i < g_table.slots; ++i)
        if (!g_table.names[i].empty() && lstrcmpiA(g_table.names[i].c_str(), name) == 0) return true;
    return false;
}

bool IsWindowMenuHidingExcluded(HWND wnd) {
    if (!wnd || !IsWindow(wnd)) return false;
    char base[MAX_PATH] = "";
    GetWindowProgramPath(wnd, nullptr, base);
    return IsMenuHidingExcluded(base);
}

int GetMenuHidingExclusionSlots() { return g_table.slots; }

const char* GetMenuHidingExclusion(int slot) {
    if (slot < 0 || slot >= g_table.slots) return "";
    return g_table.names[slot].c_str();
}

void FillExclusionList(HWND list) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < g_table.slots; ++i) {
        if (g_table.names[i].empty()) continue;
        LRESULT line = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_table.names[i].c_str()));
        if (line >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(line), i);
    }
}

void LoadMenuHidingExclusions(HKEY settings_key) {
    if (!settings_key) return;
    tess::ScopedRegKey key;
    if (RegOpenKeyExA(settings_key, kSubkey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    const int count = values < static_cast<DWORD>(kMaxMenuHidingExclusions)
                          ? static_cast<int>(values) : kMaxMenuHidingExclusions;
    for (int i = 0; i < count; ++i) {
        char name[32];
        tess::FormatText(name, sizeof(name), kValueFormat, i);
        std::string value = ReadBoundedValue(key.get(), name);
        if (!value.empty()) AddMenuHidingExclusion(value.c_str());
    }
}

bool SaveMenuHidingExclusions(HKEY settings_key) {
    if (!settings_key) return false;
    LONG deleted = RegDeleteKeyA(settings_key, kSubkey);
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return false;
    bool any = false;
    for (int i = 0; i < g_table.slots && !any; ++i) any = !g_table.names[i].empty();
    if (!any) return true;
    tess::ScopedRegKey key;
    if (RegCreateKeyExA(settings_key, kSubkey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = true;
    int number = 0;
    for (int i = 0; i < g_table.slots; ++i) {
        const std::string& value = g_table.names[i];
        if (value.empty()) continue;
        char name[32];
        tess::FormatText(name, sizeof(name), kValueFormat, number++);
        ok = RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS && ok;
    }
    return ok;
}

void ClearMenuHidingExclusions() {
    for (std::string& name : g_table.names) name.clear();
    g_table.slots = 0;
}

void FreeMenuHidingExclusions() {
    for (std::string& name : g_table.names) std::string().swap(name);
    g_table.slots = 0;
}

// ---- dialog 230 ------------------------------------------------------------------------------------

namespace {

void AddFromFileDialog(HWND dlg) {
    char file[MAX_PATH] = "*.exe";
    if (!ShowOpenFileDialog(dlg, file, kAddTitle, kAddFilter, nullptr, true)) return;
    const char* name = PathFindFileNameA(file);
    if (!name[0] || IsMenuHidingExcluded(name)) return;
    AddMenuHidingExclusion(name);
}

void RemoveSelected(HWND dlg) {
    HWND list = GetDlgItem(dlg, IDC_EXCLUSION_LIST);
    LRESULT line = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (line < 0) return;
    LRESULT slot = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(line), 0);
    if (slot < 0 || slot >= g_table.slots) return;
    std::string name = g_table.names[slot];
    RemoveMenuHidingExclusion(name.c_str());
}

}  // namespace

INT_PTR CALLBACK MenuHidingExclusionsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        FillExclusionList(GetDlgItem(dlg, IDC_EXCLUSION_LIST));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_EXCLUSION_ADD:
            AddFromFileDialog(dlg);
            FillExclusionList(GetDlgItem(dlg, IDC_EXCLUSION_LIST));
            return TRUE;
        case IDC_EXCLUSION_REMOVE:
            RemoveSelected(dlg);
            FillExclusionList(GetDlgItem(dlg, IDC_EXCLUSION_LIST));
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dlg, LOWORD(wp));
            return TRUE;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

void ShowMenuHidingExclusionsDialog(HWND owner) {
    HINSTANCE instance = GetAppInstance() ? GetAppInstance() : GetModuleHandleA(nullptr);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MENU_HIDING_EXCLUSIONS), owner,
                    MenuHidingExclusionsDialogProc, 0);
}
