#include "tests/support/tracked_menu.h"

#include "tests/support/test_support.h"

namespace testing_support {

namespace {

MenuDriver* g_driver = nullptr;

void Record(HMENU menu, int depth, std::vector<ShownEntry>* out) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
        ShownEntry e;
        e.owner_drawn = (info.fType & MFT_OWNERDRAW) != 0;
        if (!e.owner_drawn) GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        e.text = text;
        e.separator = (info.fType & MFT_SEPARATOR) != 0;
        e.popup = info.hSubMenu != nullptr;
        e.id = e.popup || e.separator ? 0 : info.wID;
        e.checked = (info.fState & MFS_CHECKED) != 0;
        e.radio = (info.fType & MFT_RADIOCHECK) != 0;
        e.disabled = (info.fState & MFS_DISABLED) != 0;
        e.depth = depth;
        out->push_back(e);
        if (info.hSubMenu) Record(info.hSubMenu, depth + 1, out);
    }
}

// The positions leading to the id: at each level the count of entries
// before it that keys can land on (every entry but separators).
bool KeyPath(HMENU menu, UINT id, std::vector<int>* path) {
    const int count = GetMenuItemCount(menu);
    int selectable = 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) continue;
        path->push_back(selectable);
        if (info.hSubMenu) {
            if (KeyPath(info.hSubMenu, id, path)) return true;
        } else if (info.wID == id && !(info.fType & MFT_OWNERDRAW)) {
            return true;
        }
        path->pop_back();
        ++selectable;
    }
    return false;
}

// Keys posted to the menu window reach the menu's loop like typed ones;
// the scan code lets the loop translate Enter into its character.
void Key(HWND wnd, WPARAM vk) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(wnd, WM_KEYDOWN, vk, scan | 1);
    PostMessageA(wnd, WM_KEYUP, vk, scan | 0xC0000001);
}

HWND ShownMenuWindow() {
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32768", nullptr); w;
         w = FindWindowExA(nullptr, w, "#32768", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

}  // namespace

void MenuDriver::Run(const std::function<void()>& open) {
    g_driver = this;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, OnTimer);
    open();
    KillTimer(nullptr, timer);
    // A menu that never closed would keep the next test's keys.
    PumpFor(20);
    g_driver = nullptr;
}

void CALLBACK MenuDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_driver || g_driver->shown_) return;
    if (HWND found = ShownMenuWindow()) g_driver->Serve(found);
}

void MenuDriver::Serve(HWND menu_window) {
    shown_ = true;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menu_window, MN_GETHMENU, 0, 0));
    if (menu) Record(menu, 0, &entries_);
    OnShown();
    if (while_open) while_open();
    std::vector<int> path;
    if (menu && choose_id_) {
        KeyPath(menu, choose_id_, &path);
    } else if (menu && choose_position_ >= 0 &&
               choose_position_ < static_cast<int>(Texts().size())) {
        path.push_back(choose_position_);
    }
    if (path.empty()) {
        Key(menu_window, VK_ESCAPE);
        EndMenu();
        return;
    }
    for (size_t level = 0; level < path.size(); ++level) {
        // The first key down lands on the first entry; an opened submenu
        // starts on its first entry.
        const int downs = level == 0 ? path[level] + 1 : path[level];
        for (int i = 0; i < downs; ++i) Key(menu_window, VK_DOWN);
        Key(menu_window, level + 1 < path.size() ? VK_RIGHT : VK_RETURN);
    }
}

const ShownEntry* MenuDriver::Find(UINT id, bool plain) const {
    for (const ShownEntry& e : entries_)
        if (e.id == id && (!plain || !e.owner_drawn)) return &e;
    return nullptr;
}

bool MenuDriver::HasAtTop(UINT id) const {
    for (const ShownEntry& e : entries_)
        if (e.depth == 0 && e.id == id) return true;
    return false;
}

std::vector<std::string> MenuDriver::Texts() const {
    std::vector<std::string> texts;
    for (const ShownEntry& e : entries_)
        if (e.depth == 0 && !e.separator) texts.push_back(e.text);
    return texts;
}

}  // namespace testing_support
