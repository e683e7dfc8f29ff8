#include "input_fixture.h"
#include <map>
#include "model/bar_host.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"

namespace input_test {

namespace {

std::map<UINT, size_t>& Counts() {
    static std::map<UINT, size_t> counts;
    return counts;
}

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) {
        ++Counts()[msg];
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Input Test Main", MainProc);
    return wnd;
}

size_t MainMessageCount(const char* name) {
    return Counts()[RegisterWindowMessageA(name)];
}

void ClearMainMessages() {
    Counts().clear();
}

TestItem::TestItem(CVellumMenuObject* bar, CVellumMenuSection* section, const char* title)
    : CVellumMenuItem(bar, section, const_cast<char*>(title)) {}

void TestItem::SetState(UINT state, int keep) {
    states.push_back(state);
    CVellumMenuItem::SetState(state, keep);
}

int TestItem::TrackPopupMenu(int byKeyboard) {
    ++popup_requests;
    if (byKeyboard) ++keyboard_popup_requests;
    return 0;
}

void SetKeyDown(int vk, bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[vk] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

void InputTest::SetUp() {
    MainWindow();
    GetBarHostServices() = BarHostServices{};
    ClearMainMessages();
    SetKeyDown(VK_CONTROL, false);
    SetKeyDown(VK_LBUTTON, false);
    SetKeyDown(VK_MENU, false);
}

void InputTest::TearDown() {
    SetKeyDown(VK_CONTROL, false);
    SetKeyDown(VK_LBUTTON, false);
    SetKeyDown(VK_MENU, false);
    ReleaseCapture();
    for (CVellumMenuObject* bar : bars_) CloseBar(bar);
    bars_.clear();
    own_skins_.clear();
    for (SkinRecord* skin : skins_) FreeInputSkin(skin);
    skins_.clear();
    GetBarHostServices() = BarHostServices{};
}

CVellumMenuObject* InputTest::NewBar(RECT r, RECT resize, RECT move, int grip) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bars_.push_back(bar);
    SkinRecord* skin = MakeInputSkin(resize, move, grip);
    skins_.push_back(skin);
    own_skins_.push_back({bar, bar->m_skin});
    bar->m_skin = skin;
    std::string file = bar_files_.File("bar" + std::to_string(bars_.size()) + ".tsbar");
    lstrcpynA(bar->m_barFile, file.c_str(), sizeof(bar->m_barFile));
    // The bar's own record of its place, which every later placement starts from.
    bar->bRestrictMaximumSize = FALSE;   // no sections limit the test's sizes
    bar->m_placement.LastScreenSize =
        SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    bar->m_placement.LastPos = POINT{r.left, r.top};
    bar->m_placement.LastSize = SIZE{r.right - r.left, r.bottom - r.top};
    SetWindowPos(bar->m_hWnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    testing_support::PumpFor(20);
    return bar;
}

namespace {
// A section whose items keep the rectangles the test gives them: the bar's
// layout places the section but not its items.
class HandPlacedSection : public CVellumMenuSection {
public:
    using CVellumMenuSection::CVellumMenuSection;
    int RecalcRectsFlexible() override { return 1; }
    int SetSectionRect(int, int, int, int, int) override { return 0; }
};
}  // namespace

CVellumMenuSection* InputTest::AddSection(CVellumMenuObject* bar, RECT outer) {
    auto* section = new HandPlacedSection(bar, bar->GetSectionCount() + 1, 0);
    section->m_outerRect = outer;
    section->m_innerRect = outer;
    bar->InsertSection(-1, section);
    return section;
}

TestItem* InputTest::AddItem(CVellumMenuSection* section, RECT rect, const char* title) {
    auto* item = new TestItem(section->m_pBar, section, title);
    item->m_itemRect = rect;
    section->InsertItem(-1, item);
    item->states.clear();
    return item;
}

void InputTest::Mouse(CVellumMenuObject* bar, UINT msg, int x, int y) {
    POINT screen = {x, y};
    ClientToScreen(bar->m_hWnd, &screen);
    SetCursorPos(screen.x, screen.y);
    WPARAM keys = GetKeyState(VK_LBUTTON) < 0 ? MK_LBUTTON : 0;
    if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
    SendMessageA(bar->m_hWnd, msg, keys, MAKELPARAM(x, y));
}

void InputTest::CloseBar(CVellumMenuObject* bar) {
    if (!IsLiveBar(bar)) return;
    for (auto& own : own_skins_)
        if (own.first == bar) bar->m_skin = own.second;
    // A bar marked modified would ask for a file to save to while it closes.
    testing_support::CloseTestBar(bar, true);
}

HCURSOR InputTest::ClassCursor(CVellumMenuObject* bar) {
    return reinterpret_cast<HCURSOR>(GetClassLongPtrA(bar->m_hWnd, GCLP_HCURSOR));
}

}  // namespace input_test
