#include "item_fixture.h"
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "tests/support/item_mouse.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace item_test {

namespace {

// The clock and the special menu tell the main window nothing it must pass on.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

const char kPlainSkin[] =
    "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n";

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Item Test Main", MainProc);
    return wnd;
}

void ItemTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    screen_w_ = GetSystemMetrics(SM_CXSCREEN);
    screen_h_ = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(files_.Write("plain.tsskin", kPlainSkin));
    skin_ = files_.File("plain.tsskin");
    SetCursorPos(screen_w_ - 2, screen_h_ / 2);
    testing_support::SendMouseButton(MOUSEEVENTF_LEFTUP);
    testing_support::PumpFor(20);
}

void ItemTest::TearDown() {
    testing_support::CloseEveryTestBar();
    GetBarHostServices() = BarHostServices{};
}

std::string ItemTest::WriteBar(const std::string& name, const char* title, RECT r, bool vertical,
                               const std::vector<std::string>& lines) const {
    std::string text = testing_support::BarObjectLines(title, skin_, r, vertical) + "AlwaysOnTop=1\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    EXPECT_TRUE(files_.Write(name, text));
    return files_.File(name);
}

CVellumMenuObject* ItemTest::LoadBar(const std::string& path) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr);
    EXPECT_TRUE(Wait([&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); })) << path;
    return bar;
}

CVellumMenuItem* ItemTest::Item(CVellumMenuObject* bar, int index) const {
    if (!bar || !bar->m_sections[0]) return nullptr;
    return bar->m_sections[0]->m_items[index];
}

RECT ItemTest::ItemScreenRect(CVellumMenuItem* item) const { return testing_support::ItemScreenRect(item); }

void ItemTest::Click(CVellumMenuItem* item) { testing_support::ClickItem(item); }

void ItemTest::DoubleClick(CVellumMenuItem* item, const std::function<void()>& between) {
    RECT r = ItemScreenRect(item);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    testing_support::SendMouseButton(MOUSEEVENTF_MOVE);
    testing_support::PumpFor(30);
    // The system pairs the clicks by their time stamps: stamped 20 ms apart,
    // they stay a double click however long this thread waits in between.
    const DWORD first = GetTickCount();
    for (DWORD i = 0; i < 2; ++i) {
        testing_support::SendMouseButton(MOUSEEVENTF_LEFTDOWN, first + 40 * i);
        testing_support::PumpFor(20);
        testing_support::SendMouseButton(MOUSEEVENTF_LEFTUP, first + 40 * i + 20);
        testing_support::PumpFor(20);
        if (i == 0 && between) between();
    }
    testing_support::PumpFor(60);
}

bool ItemTest::Wait(const std::function<bool()>& cond, DWORD ms) {
    return testing_support::PumpUntil(cond, ms);
}

std::string ItemTest::Save(CVellumMenuObject* bar, const std::string& name) {
    std::string path = files_.File(name);
    EXPECT_EQ(1, bar->Save(const_cast<char*>(path.c_str()))) << name;
    return path;
}

}  // namespace item_test
