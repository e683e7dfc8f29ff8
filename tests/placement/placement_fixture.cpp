#include "placement_fixture.h"
#include <cstdio>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/bar_placement.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace placement_test {

namespace {

// Like the program's main window: the bars' own messages go on to every bar;
// "Get After Window - Always On Top" has no answer here.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const BarMessages& m = GetBarMessages();
    if (msg == m.VolatileClose || msg == m.AutoHideShowLeft || msg == m.AutoHideShowTop ||
        msg == m.AutoHideShowRight || msg == m.AutoHideShowBottom) {
        testing_support::RelayToEveryBar(msg, wp, lp);
        return 0;
    }
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

HWND MainWindow() {
    static HWND wnd =
        testing_support::CreateStandInMainWindow("Tessellar Placement Test Main", MainProc);
    return wnd;
}

void SetKeyDown(int vk, bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[vk] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

void PostToMain(const char* name, WPARAM wp, LPARAM lp) {
    PostMessageA(MainWindow(), RegisterWindowMessageA(name), wp, lp);
}

RECT WindowRect(CVellumMenuObject* bar) {
    RECT r = {};
    GetWindowRect(bar->m_hWnd, &r);
    return r;
}

bool WaitForRect(CVellumMenuObject* bar, const RECT& want) {
    return testing_support::PumpUntil(
        [&] {
            RECT now = WindowRect(bar);
            return EqualRect(&now, &want) != 0;
        },
        kWaitMs);
}

std::string RectText(const RECT& r) {
    char text[80];
    std::snprintf(text, sizeof(text), "(%ld, %ld, %ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

void PlacementTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    screen_w_ = GetSystemMetrics(SM_CXSCREEN);
    screen_h_ = GetSystemMetrics(SM_CYSCREEN);
    for (int vk : {VK_SHIFT, VK_MENU, VK_CONTROL, VK_LBUTTON}) SetKeyDown(vk, false);
}

void PlacementTest::TearDown() {
    for (int vk : {VK_SHIFT, VK_MENU, VK_CONTROL, VK_LBUTTON}) SetKeyDown(vk, false);
    ReleaseCapture();
    for (CVellumMenuObject* bar : bars_) CloseBar(bar);
    bars_.clear();
    for (SkinRecord* skin : skins_) delete skin;
    skins_.clear();
    own_skins_.clear();
    if (plain_) DestroyWindow(plain_);
    plain_ = nullptr;
    SetDeferWindowPosFunction(nullptr);
    GetBarHostServices() = BarHostServices{};
}

CVellumMenuObject* PlacementTest::NewBar(RECT r) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bars_.push_back(bar);
    auto* skin = new SkinRecord;
    skin->ResizeBase = -1;   // no height steps
    skin->ResizeBorderSize = RECT{4, 4, 4, 4};
    skin->MoveBorderSize = RECT{6, 6, 6, 6};
    skins_.push_back(skin);
    own_skins_.push_back({bar, bar->m_skin});
    bar->m_skin = skin;
    // Sizes are the test's: no sections limit them.
    bar->bRestrictMaximumSize = FALSE;
    std::string file = bar_files_.File("bar" + std::to_string(bars_.size()) + ".tsbar");
    lstrcpynA(bar->m_barFile, file.c_str(), sizeof(bar->m_barFile));
    bar->m_placement.LastScreenSize = SIZE{screen_w_, screen_h_};
    bar->m_placement.LastPos = POINT{r.left, r.top};
    bar->m_placement.LastSize = SIZE{r.right - r.left, r.bottom - r.top};
    bar->UpdatePos();
    ShowWindow(bar->m_hWnd, SW_SHOWNOACTIVATE);
    testing_support::PumpFor(10);
    return bar;
}

CVellumMenuItem* PlacementTest::NewOwnerItem() {
    CVellumMenuObject* bar = NewBar({600, 600, 700, 630});
    auto* section = new CVellumMenuSection(bar, 1, 0);
    bar->InsertSection(-1, section);
    auto* item = new CVellumMenuItem(bar, section, const_cast<char*>("Owner"));
    section->InsertItem(-1, item);
    return item;
}

HWND PlacementTest::ForegroundPlainWindow() {
    if (!plain_) {
        plain_ = testing_support::CreatePlainWindow("Tessellar Placement Plain");
        SetWindowPos(plain_, HWND_TOP, 500, 10, 20, 20, SWP_SHOWWINDOW);
    }
    SetForegroundWindow(plain_);
    testing_support::PumpUntil([&] { return GetForegroundWindow() == plain_; }, kWaitMs);
    return plain_;
}

void PlacementTest::CloseBar(CVellumMenuObject* bar) {
    if (!IsLiveBar(bar)) return;
    for (auto& own : own_skins_)
        if (own.first == bar) bar->m_skin = own.second;
    testing_support::CloseTestBar(bar, true);
}

}  // namespace placement_test
