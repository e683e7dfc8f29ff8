#include "popup_fixture.h"
#include <cstdio>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "tests/support/item_mouse.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace popup_test {

namespace {

// Like the program's main window: the messages bars tell each other go on to
// every bar.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const BarMessages& m = GetBarMessages();
    if (msg == m.VolatileClose || msg == m.BarNameChanging || msg == m.MenuObjectHiding ||
        msg == m.MenuObjectShowing || msg == m.AssociatedPopupShowing) {
        testing_support::RelayToEveryBar(msg, wp, lp);
        return 0;
    }
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

const char kPlainSkin[] =
    "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n"
    "CompanionSkin.Popup=popup.tsskin\r\n";
const char kPopupSkin[] =
    "[General]\r\nSkinName=Plain Popup\r\nItemHeight=18\r\nEdgeBuffer=3\r\nResizeBase=-1\r\n";

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Popup Test Main", MainProc);
    return wnd;
}

std::string RectText(const RECT& r) {
    char text[80];
    std::snprintf(text, sizeof(text), "(%ld, %ld, %ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

RECT WindowRect(CVellumMenuObject* bar) {
    RECT r = {};
    if (bar && IsLiveBar(bar)) GetWindowRect(bar->m_hWnd, &r);
    return r;
}

bool Visible(CVellumMenuObject* bar) {
    return bar && IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd);
}

HWND FindBarWindow(const char* title) { return FindWindowA("Tessellar Toolbar", title); }

CVellumMenuObject* FindBar(const char* title) { return LiveBarOfWindow(FindBarWindow(title)); }

void PopupTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    // The shell's guard that keeps a popup that just opened in front.
    SetJustOpenedPopup(nullptr);
    GetBarHostServices().GetJustOpenedPopup = GetJustOpenedPopup;
    GetBarHostServices().ForgetJustOpenedPopup = [] { SetJustOpenedPopup(nullptr); };
    screen_w_ = GetSystemMetrics(SM_CXSCREEN);
    screen_h_ = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(files_.Write("plain.tsskin", kPlainSkin));
    ASSERT_TRUE(files_.Write("popup.tsskin", kPopupSkin));
    skin_ = files_.File("plain.tsskin");
    // Nothing held from an earlier test.
    SetCursorPos(screen_w_ - 2, screen_h_ / 2);
    testing_support::SendMouseButton(MOUSEEVENTF_LEFTUP);
    testing_support::PumpFor(20);
}

void PopupTest::TearDown() {
    testing_support::CloseEveryTestBar();
    GetBarHostServices() = BarHostServices{};
}

std::string PopupTest::BarLines(const char* title, RECT r, bool vertical,
                                const std::vector<std::string>& lines) const {
    std::string text = testing_support::BarObjectLines(title, skin_, r, vertical) + "AlwaysOnTop=0\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string PopupTest::WriteBar(const std::string& name, const std::string& text) const {
    EXPECT_TRUE(files_.Write(name, text));
    return files_.File(name);
}

CVellumMenuObject* PopupTest::LoadBar(const std::string& path, bool show) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), show ? 1 : 0, nullptr);
    if (show) {
        EXPECT_TRUE(Wait([&] { return Visible(bar); })) << path;
    }
    return bar;
}

CVellumMenuItem_Popup* PopupTest::Item(CVellumMenuObject* bar, int index) {
    if (!bar || !bar->m_sections[0]) return nullptr;
    return dynamic_cast<CVellumMenuItem_Popup*>(bar->m_sections[0]->m_items[index]);
}

RECT PopupTest::ItemScreenRect(CVellumMenuItem* item) { return testing_support::ItemScreenRect(item); }

void PopupTest::MoveTo(CVellumMenuItem* item) { testing_support::MovePointerToItem(item); }

void PopupTest::Click(CVellumMenuItem* item) { testing_support::ClickItem(item); }

bool PopupTest::Wait(const std::function<bool()>& cond, DWORD ms) {
    return testing_support::PumpUntil(cond, ms);
}

void PopupTest::AfterGuard() { testing_support::PumpFor(850); }

}  // namespace popup_test
