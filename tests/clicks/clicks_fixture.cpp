#include "clicks_fixture.h"
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/command_seam.h"
#include "model/item_host_calls.h"
#include "model/item_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/main_window_internal.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "tests/support/item_mouse.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"

namespace clicks_test {

namespace {

MainWindowLog g_log;

std::string NameOf(UINT msg) {
    char name[256] = "";
    if (msg >= 0xC000 && GetClipboardFormatNameA(msg, name, sizeof(name)) > 0) return name;
    return "";
}

// Like the program's main window: bars' news goes on to every bar, a removed
// item goes once the menu has closed, and everything else is written down.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const BarMessages& m = GetBarMessages();
    const ItemMessages& im = GetItemMessages();
    if (msg == WM_COMMAND) {
        g_log.commands.push_back(LOWORD(wp));
        return 0;
    }
    if (msg >= 0xC000) g_log.messages.push_back(NameOf(msg));
    if (msg == im.RemoveItemDelay) {
        RemoveItemFromMessage(wp);
        return 0;
    }
    if (msg == m.VolatileClose || msg == m.BarNameChanging || msg == m.MenuObjectHiding ||
        msg == m.MenuObjectShowing || msg == m.AssociatedPopupShowing ||
        msg == m.UpdateHiddenLayers) {
        testing_support::RelayToEveryBar(msg, wp, lp);
        return 0;
    }
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

// A skin whose separator element has a bitmap.
const char kSkin[] =
    "[General]\r\nSkinName=Clicks\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n"
    "CompanionSkin.Popup=clicks.tsskin\r\n";

}  // namespace

bool MainWindowLog::Saw(const std::string& name) const {
    for (const std::string& m : messages)
        if (m == name) return true;
    return false;
}

bool MainWindowLog::SawCommand(UINT id) const {
    for (UINT c : commands)
        if (c == id) return true;
    return false;
}

void MainWindowLog::Clear() {
    commands.clear();
    messages.clear();
}

MainWindowLog& MainLog() { return g_log; }

HWND MainWindow() {
    static HWND wnd = [] {
        HWND main = testing_support::CreateStandInMainWindow("Tessellar Clicks Test Main", MainProc);
        CreateStatsMonitor(main);
        return main;
    }();
    return wnd;
}

void ClicksTest::SetUp() {
    MainWindow();
    InitWindowsVersionClass();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    GetBarHostServices().IsLayerHidden = IsLayerHidden;
    GetBarHostServices().IsLayerVolatile = [](int layer) { return IsLayerVolatile(layer) != 0; };
    // The shell's guard that keeps a popup that just opened in front.
    SetJustOpenedPopup(nullptr);
    GetBarHostServices().GetJustOpenedPopup = GetJustOpenedPopup;
    GetBarHostServices().ForgetJustOpenedPopup = [] { SetJustOpenedPopup(nullptr); };
    GetItemHostCalls() = ItemHostCalls{};
    InstallItemHostCalls();
    ResetLayerFlags();
    g_log.Clear();
    screen_w_ = GetSystemMetrics(SM_CXSCREEN);
    screen_h_ = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(files_.Write("clicks.tsskin", kSkin));
    skin_ = files_.File("clicks.tsskin");
    SetCursorPos(screen_w_ - 2, screen_h_ - 2);
    testing_support::SendMouseButton(MOUSEEVENTF_LEFTUP);
    testing_support::PumpFor(20);
}

void ClicksTest::TearDown() {
    testing_support::CloseEveryTestBar();
    GetBarHostServices() = BarHostServices{};
    GetItemHostCalls() = ItemHostCalls{};
    ResetSystemActions();
    ResetLayerFlags();
}

std::string ClicksTest::BarLines(const char* title, RECT r, bool vertical,
                                 const std::vector<std::string>& lines) const {
    std::string text = testing_support::BarObjectLines(title, skin_, r, vertical);
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string ClicksTest::OneSectionBar(const char* title, RECT r, bool vertical,
                                      const std::vector<std::string>& item_lines,
                                      const std::vector<std::string>& object_lines) const {
    std::vector<std::string> lines = object_lines;
    for (const char* line : {"[Section1]", "Type=Default", "Title=Items"}) lines.push_back(line);
    lines.insert(lines.end(), item_lines.begin(), item_lines.end());
    return BarLines(title, r, vertical, lines);
}

std::string ClicksTest::WriteBar(const std::string& name, const std::string& text) const {
    EXPECT_TRUE(files_.Write(name, text));
    return files_.File(name);
}

CVellumMenuObject* ClicksTest::LoadBar(const std::string& path, bool show) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), show ? 1 : 0, nullptr);
    if (show) {
        EXPECT_TRUE(Wait([&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); })) << path;
    }
    return bar;
}

CVellumMenuItem* ClicksTest::Item(CVellumMenuObject* bar, int index, int section) {
    if (!bar || !IsLiveBar(bar) || !bar->m_sections[section]) return nullptr;
    return bar->m_sections[section]->m_items[index];
}

RECT ClicksTest::ItemScreenRect(CVellumMenuItem* item) { return testing_support::ItemScreenRect(item); }

void ClicksTest::Click(CVellumMenuItem* item) { testing_support::ClickItem(item); }

void ClicksTest::ClickAtOnce(CVellumMenuItem* item) {
    RECT r = ItemScreenRect(item);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    testing_support::SendMouseButton(MOUSEEVENTF_MOVE);
    testing_support::PumpFor(30);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
    testing_support::PumpFor(60);
}

bool ClicksTest::Wait(const std::function<bool()>& cond, DWORD ms) {
    return testing_support::PumpUntil(cond, ms);
}

}  // namespace clicks_test
