#include "ctxmenu_fixture.h"
#include <cstdio>
#include "model/bar_host.h"
#include "model/bar_menu_host_calls.h"
#include "model/item_host_calls.h"
#include "model/live_objects.h"
#include "model/menu_header_text.h"
#include "shell/main_window_internal.h"
#include "shell/stats_monitor.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"

namespace ctxmenu_test {

namespace {

MainWindowLog g_log;
MenuDriver* g_driver = nullptr;

std::string NameOf(UINT msg) {
    char name[256] = "";
    if (msg >= 0xC000 && GetClipboardFormatNameA(msg, name, sizeof(name)) > 0) return name;
    return "";
}

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        g_log.commands.push_back(LOWORD(wp));
        return 0;
    }
    if (msg >= 0xC000) {
        const std::string name = NameOf(msg);
        g_log.messages.push_back(name);
        if (name == "Remove Section Delay") RemoveSectionFromMessage(wp);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

const char kSkin[] =
    "[General]\r\nSkinName=Menus\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n";

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

}  // namespace

void MenuDriver::Run(const std::function<void()>& open) {
    g_driver = this;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, OnTimer);
    open();
    KillTimer(nullptr, timer);
    // A menu that never closed would keep the next test's keys.
    testing_support::PumpFor(20);
    g_driver = nullptr;
}

void CALLBACK MenuDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_driver || g_driver->done_) return;
    HWND found = nullptr;
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32768", nullptr); w;
         w = FindWindowExA(nullptr, w, "#32768", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) {
            found = w;
            break;
        }
    }
    if (found) g_driver->Serve(found);
}

void MenuDriver::Serve(HWND menu_window) {
    done_ = true;
    shown_ = true;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menu_window, MN_GETHMENU, 0, 0));
    if (menu) Record(menu, 0, &entries_);
    bar_line = GetBarMenuHeaderText();
    section_line = GetSectionMenuHeaderText();
    item_line = GetItemMenuHeaderText();
    if (while_open) while_open();
    std::vector<int> path;
    if (!choose_ || !menu || !KeyPath(menu, choose_, &path)) {
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

bool MainWindowLog::SawCommand(UINT id) const {
    for (UINT c : commands)
        if (c == id) return true;
    return false;
}

bool MainWindowLog::Saw(const std::string& name) const {
    for (const std::string& m : messages)
        if (m == name) return true;
    return false;
}

MainWindowLog& MainLog() { return g_log; }

HWND MainWindow() {
    static HWND wnd = [] {
        HWND main = testing_support::CreateStandInMainWindow("Tessellar Menus Test Main", MainProc);
        CreateStatsMonitor(main);
        return main;
    }();
    return wnd;
}

void CtxMenuTest::SetUp() {
    MainWindow();
    InitWindowsVersionClass();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    GetItemHostCalls() = ItemHostCalls{};
    GetBarMenuHostCalls() = BarMenuHostCalls{};
    g_log = MainWindowLog{};
    screen_w_ = GetSystemMetrics(SM_CXSCREEN);
    screen_h_ = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(files_.Write("menus.tsskin", kSkin));
    skin_ = files_.File("menus.tsskin");
    SetCursorPos(screen_w_ / 2, screen_h_ / 2);
}

void CtxMenuTest::TearDown() {
    testing_support::CloseEveryTestBar();
    GetBarHostServices() = BarHostServices{};
    GetItemHostCalls() = ItemHostCalls{};
    GetBarMenuHostCalls() = BarMenuHostCalls{};
}

std::string CtxMenuTest::BarText(const char* title, RECT r, bool vertical,
                                 const std::vector<std::string>& object_lines,
                                 const std::vector<std::vector<std::string>>& sections,
                                 const std::string& skin) const {
    char head[1024];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=%s\r\nLastSkin=%s\r\nDisplayVertically=%d\r\n"
                  "LastScreenSize.cx=%d\r\nLastScreenSize.cy=%d\r\nLastPos.x=%ld\r\n"
                  "LastPos.y=%ld\r\nLastSize.cx=%ld\r\nLastSize.cy=%ld\r\n"
                  "bRestrictMaximumSize=0\r\nWidthResizableWhenVertical=1\r\n",
                  title, skin.empty() ? skin_.c_str() : skin.c_str(), vertical ? 1 : 0, screen_w_,
                  screen_h_, r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::string text = head;
    bool on_top_given = false;
    for (const std::string& line : object_lines) {
        text += line + "\r\n";
        on_top_given = on_top_given || line.rfind("AlwaysOnTop=", 0) == 0;
    }
    // Test bars stay out of the way of other windows unless asked.
    if (!on_top_given) text += "AlwaysOnTop=0\r\n";
    int n = 0;
    for (const auto& section : sections) {
        text += "[Section" + std::to_string(++n) + "]\r\n";
        for (const std::string& line : section) text += line + "\r\n";
    }
    return text;
}

std::string CtxMenuTest::WriteBar(const std::string& name, const std::string& text) const {
    EXPECT_TRUE(files_.Write(name, text));
    return files_.File(name);
}

CVellumMenuObject* CtxMenuTest::LoadBar(const std::string& path) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr);
    EXPECT_TRUE(Wait([&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); })) << path;
    return bar;
}

bool CtxMenuTest::Wait(const std::function<bool()>& cond, DWORD ms) {
    return testing_support::PumpUntil(cond, ms);
}

}  // namespace ctxmenu_test
