#include "ctxmenu_fixture.h"
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

}  // namespace

void MenuDriver::OnShown() {
    bar_line = GetBarMenuHeaderText();
    section_line = GetSectionMenuHeaderText();
    item_line = GetItemMenuHeaderText();
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
    std::string text =
        testing_support::BarObjectLines(title, skin.empty() ? skin_ : skin, r, vertical);
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
