// CVellumMenuSection_Folder: the user's order of the entries, one text per
// folder in the registry key "MenuOrder" (":" + title + "\" for a folder or
// "/" otherwise, for each entry in order), and the sort that applies it.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "types/folder_section.h"
#include "types/folder_section_calls.h"
#include "types/shortcut_item.h"
#include "util/icon_menu.h"
#include "util/text.h"

namespace {

// The longest order text read back; anything larger is not an order we wrote.
constexpr DWORD kMaxOrderBytes = 1024 * 1024;

}  // namespace

FolderCallRecord::FolderCallRecord(const void* record) : record_(record) { RegisterOwnedRecord(record_); }
FolderCallRecord::~FolderCallRecord() { UnregisterOwnedRecord(record_); }

// The folder list the section shows: its own, or the entry its submenu opened.
static LPCITEMIDLIST ShownFolderList(CShellFolderMenu* menu, HMENU submenu) {
    if (!menu) return nullptr;
    if (!submenu || submenu == menu->GetMenu()) return menu->GetPrimaryList();
    IconMenuItemData* data = menu->FindItemData(nullptr, reinterpret_cast<UINT_PTR>(submenu), false, true);
    auto* entry = data ? static_cast<ShellMenuItem*>(data->payload) : nullptr;
    return entry ? entry->absolute : nullptr;
}

bool GetFolderSectionFolder(CVellumMenuSection* section, char* out, size_t size) {
    if (out && size) out[0] = '\0';
    auto* folder = dynamic_cast<CVellumMenuSection_Folder*>(section);
    if (!folder || !out || size < 2 || folder->UsePinnedList || folder->UseRecentList) return false;
    LPCITEMIDLIST list = ShownFolderList(folder->m_shellMenu, folder->m_submenu);
    char path[MAX_PATH] = "";
    if (!list || !SHGetPathFromIDListA(list, path) || !path[0]) return false;
    const size_t length = strlen(path);
    if (path[length - 1] != '\\') {
        if (length + 1 >= sizeof(path)) return false;
        path[length] = '\\';
        path[length + 1] = '\0';
    }
    if (strlen(path) >= size) return false;
    tess::CopyText(out, size, path);
    return true;
}

void CVellumMenuSection_Folder::GetMenuOrderValueName(char* out) {
    out[0] = '\0';
    if (UsePinnedList) {
        tess::CopyText(out, kFolderTextSize, "PinnedApplications");
        return;
    }
    if (UseRecentList) return;
    if (Folder[0]) {
        tess::CopyText(out, kFolderTextSize, Folder);
    } else if (m_shellMenu) {
        LPCITEMIDLIST list = ShownFolderList(m_shellMenu, m_submenu);
        char path[MAX_PATH] = "";
        if (list && SHGetPathFromIDListA(list, path)) tess::CopyText(out, kFolderTextSize, path);
    }
    const size_t length = strlen(out);
    if (length > 0 && out[length - 1] == '\\') out[length - 1] = '\0';
}

HKEY CVellumMenuSection_Folder::OpenMenuOrderKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kMenuOrderKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void CVellumMenuSection_Folder::LoadMenuOrder() {
    char name[kFolderTextSize];
    GetMenuOrderValueName(name);
    if (!name[0]) return;
    HKEY key = OpenMenuOrderKey();
    if (!key) return;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ ||
        bytes == 0 || bytes > kMaxOrderBytes) {
        RegCloseKey(key);
        return;
    }
    std::vector<char> text(bytes + 2, '\0');
    DWORD read = bytes;
    const bool ok = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &read) ==
                    ERROR_SUCCESS;
    RegCloseKey(key);
    if (!ok) return;
    text[bytes] = '\0';
    FolderCallRecord owned(text.data());
    const UINT msg = GetFolderSectionMessages().UpdateSorting;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i)
        m_items[i]->ProcessUserMessage(msg, reinterpret_cast<WPARAM>(text.data()), 0);
}

void CVellumMenuSection_Folder::SaveMenuOrder() {
    if (!m_orderChanged && !UsePinnedList && !UseRecentList) return;
    m_orderChanged = FALSE;
    char name[kFolderTextSize];
    GetMenuOrderValueName(name);
    if (!name[0]) return;
    HKEY key = OpenMenuOrderKey();
    if (!key) return;
    const FolderSectionMessages& m = GetFolderSectionMessages();
    int length = 2;
    {
        FolderCallRecord owned(&length);
        for (int i = 0; i < kMaxItems && m_items[i]; ++i)
            m_items[i]->ProcessUserMessage(m.GetWriteOrderLen, reinterpret_cast<WPARAM>(&length), 0);
    }
    if (length < 2 || static_cast<DWORD>(length) > kMaxOrderBytes) {
        RegCloseKey(key);
        return;
    }
    // Each entry appends within the length it is given (lParam).
    std::vector<char> text(static_cast<size_t>(length), '\0');
    {
        FolderCallRecord owned(text.data());
        for (int i = 0; i < kMaxItems && m_items[i]; ++i)
            m_items[i]->ProcessUserMessage(m.WriteOrderData, reinterpret_cast<WPARAM>(text.data()),
                                           static_cast<LPARAM>(length));
    }
    text[text.size() - 1] = '\0';
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                   static_cast<DWORD>(strlen(text.data()) + 1));
    RegCloseKey(key);
}

void CVellumMenuSection_Folder::DeleteMenuOrder() {
    m_orderChanged = FALSE;
    const UINT msg = GetFolderSectionMessages().ResetSorting;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->ProcessUserMessage(msg, 0, 0);
    char name[kFolderTextSize];
    GetMenuOrderValueName(name);
    if (!name[0]) return;
    HKEY key = OpenMenuOrderKey();
    if (!key) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

int CVellumMenuSection_Folder::CompareFolderItems(CVellumMenuItem* a, CVellumMenuItem* b) {
    auto* x = dynamic_cast<CVellumMenuItem_Shortcut*>(a);
    auto* y = dynamic_cast<CVellumMenuItem_Shortcut*>(b);
    const bool x_expander = x && x->m_expander, y_expander = y && y->m_expander;
    if (x_expander != y_expander) return x_expander ? 1 : -1;
    const int px = x ? x->m_orderPosition : -1, py = y ? y->m_orderPosition : -1;
    if ((px >= 0) != (py >= 0)) return px >= 0 ? -1 : 1;
    if (px >= 0) return px < py ? -1 : (px > py ? 1 : 0);
    const bool fx = x && x->IsFolder, fy = y && y->IsFolder;
    if (fx != fy) return fx ? -1 : 1;
    return lstrcmpiA(a->m_title ? a->m_title : "", b->m_title ? b->m_title : "");
}

void CVellumMenuSection_Folder::SortFolderItems() {
    char name[kFolderTextSize];
    GetMenuOrderValueName(name);
    if (!name[0]) return;
    const int count = GetNumOfItems();
    std::stable_sort(m_items, m_items + count,
                     [](CVellumMenuItem* a, CVellumMenuItem* b) { return CompareFolderItems(a, b) < 0; });
    if (m_pBar && m_pBar->FindSection(this) >= 0) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

void CVellumMenuSection_Folder::SortFolderByName() {
    DeleteMenuOrder();
    SortFolderItems();
    if (m_pBar && m_pBar->FindSection(this) >= 0) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}
