// The tab order of bars and their hotkeys.
#include "placement_fixture.h"
#include <set>
#include "model/bar_host.h"
#include "model/bar_placement.h"

namespace placement_test {
namespace {

using testing_support::PumpUntil;

CVellumMenuObject* ForegroundBar(const std::vector<CVellumMenuObject*>& bars) {
    HWND front = GetForegroundWindow();
    for (CVellumMenuObject* bar : bars)
        if (bar->m_hWnd == front) return bar;
    return nullptr;
}

TEST_F(PlacementTest, TabMovesBetweenVisibleTabStopBars) {
    CVellumMenuObject* a = NewBar({100, 100, 200, 130});
    CVellumMenuObject* b = NewBar({100, 150, 200, 180});
    CVellumMenuObject* c = NewBar({100, 200, 200, 230});
    CVellumMenuObject* hidden = NewBar({100, 250, 200, 280});
    CVellumMenuObject* no_stop = NewBar({100, 300, 200, 330});
    ShowWindow(hidden->m_hWnd, SW_HIDE);
    no_stop->IsATabStop = FALSE;
    const std::vector<CVellumMenuObject*> all = {a, b, c, hidden, no_stop};

    SetForegroundWindow(c->m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return ForegroundBar(all) == c; }, kWaitMs));
    std::set<CVellumMenuObject*> visited;
    CVellumMenuObject* from = c;
    for (int press = 0; press < 6; ++press) {
        SendMessageA(from->m_hWnd, WM_KEYDOWN, VK_TAB, 0);
        PumpUntil([&] { return ForegroundBar(all) != from; }, kWaitMs);
        CVellumMenuObject* now = ForegroundBar(all);
        ASSERT_NE(nullptr, now) << press;
        EXPECT_NE(from, now) << press << ": Tab goes on to another bar";
        visited.insert(now);
        from = now;
    }
    EXPECT_EQ((std::set<CVellumMenuObject*>{a, b, c}), visited);

    // A single eligible bar is activated again.
    ShowWindow(a->m_hWnd, SW_HIDE);
    ShowWindow(b->m_hWnd, SW_HIDE);
    EXPECT_EQ(c, ActivateNextBarInTabOrder(c, 0));
    // Only bars shown by their popup item when asked for them.
    EXPECT_EQ(nullptr, ActivateNextBarInTabOrder(c, 1));
    c->m_shownByPopupItem = TRUE;
    EXPECT_EQ(c, ActivateNextBarInTabOrder(c, 1));
}

TEST_F(PlacementTest, PositionsRunWithoutGapsAndTheBarFilesKeepThem) {
    std::vector<CVellumMenuObject*> bars;
    for (int i = 0; i < 4; ++i) bars.push_back(NewBar({100, 100 + 40 * i, 200, 130 + 40 * i}));
    // Made last, activated last: the front.
    EXPECT_EQ(0, bars[3]->LastTabOrder);
    EXPECT_EQ(3, bars[0]->LastTabOrder);
    CloseBar(bars[1]);
    std::set<int> positions;
    for (CVellumMenuObject* bar : {bars[0], bars[2], bars[3]}) {
        bar->m_neverSave = FALSE;
        ASSERT_EQ(1, bar->Save(bar->m_barFile));
        positions.insert(GetPrivateProfileIntA("Object", "LastTabOrder", -5, bar->m_barFile));
    }
    EXPECT_EQ((std::set<int>{0, 1, 2}), positions);
}

TEST_F(PlacementTest, OfTwoBarsWithOnePositionTheLaterHoldsIt) {
    GetBarHostServices().IsThemeLoading = [] { return true; };
    CVellumMenuObject* earlier = NewBar({100, 100, 200, 130});
    CVellumMenuObject* later = NewBar({100, 150, 200, 180});
    CVellumMenuObject* second = NewBar({100, 200, 200, 230});
    earlier->LastTabOrder = 0;   // as read from their files
    later->LastTabOrder = 0;
    second->LastTabOrder = 4;
    BringBarsToFrontInTabOrder();
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == later->m_hWnd; }, kWaitMs));
    EXPECT_EQ(0, later->LastTabOrder);
    EXPECT_EQ(1, second->LastTabOrder);
    // A bar that is no tab stop never enters at the front.
    GetBarHostServices().IsThemeLoading = nullptr;
    second->IsATabStop = FALSE;
    EXPECT_EQ(0, InsertBarAtTabFront(second));
    EXPECT_EQ(1, second->LastTabOrder);
}

int g_next_hotkey_id = 0x5000;
int NextHotkeyId() { return ++g_next_hotkey_id; }

void PressCtrlF9() {
    INPUT keys[4] = {};
    const WORD vks[4] = {VK_CONTROL, VK_F9, VK_F9, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = vks[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, keys, sizeof(INPUT));
}

class HotkeyTest : public PlacementTest {
protected:
    void SetUp() override {
        PlacementTest::SetUp();
        GetBarHostServices().AllocHotkeyId = NextHotkeyId;
        ForegroundPlainWindow();
    }
    // A bar with Ctrl+F9, read as while a theme loads.
    CVellumMenuObject* HotkeyBar(int vk, BOOL hide_until) {
        CVellumMenuObject* bar = NewBar({300, 300, 400, 330});
        ShowWindow(bar->m_hWnd, SW_HIDE);
        bar->vkHotkey = vk;
        bar->vkHotkeyModifiers = MOD_CONTROL;
        bar->bHideBarUntilHotkey = hide_until;
        bar->UpdateHotkey(0);
        GetBarHostServices().IsThemeLoading = [] { return true; };
        bar->Show(1);
        GetBarHostServices().IsThemeLoading = nullptr;
        testing_support::PumpFor(30);
        return bar;
    }
};

TEST_F(HotkeyTest, HotkeyActivatesTheBar) {
    CVellumMenuObject* bar = HotkeyBar(VK_F9, FALSE);
    EXPECT_NE(0, bar->m_hotkeyId);
    EXPECT_TRUE(IsWindowVisible(bar->m_hWnd));
    ForegroundPlainWindow();
    PressCtrlF9();
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == bar->m_hWnd; }, kWaitMs));
    // Every registration takes a fresh id.
    WORD first = bar->m_hotkeyId;
    bar->UpdateHotkey(0);
    EXPECT_NE(first, bar->m_hotkeyId);
    EXPECT_NE(0, bar->m_hotkeyId);
}

TEST_F(HotkeyTest, BarHiddenUntilItsHotkeyHidesAgainWhenLeft) {
    CVellumMenuObject* bar = HotkeyBar(VK_F9, TRUE);
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_TRUE(bar->m_volatile);
    PressCtrlF9();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(bar->m_hWnd) != 0; }, kWaitMs));
    ForegroundPlainWindow();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(bar->m_hWnd); }, kWaitMs));
    // Waiting no longer, the hidden bar comes back at once.
    bar->bHideBarUntilHotkey = FALSE;
    bar->UpdateHotkey(0);
    EXPECT_FALSE(bar->m_volatile);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(bar->m_hWnd) != 0; }, kWaitMs));
}

TEST_F(HotkeyTest, BarWithoutKeyOrWithATakenKeyStaysShown) {
    CVellumMenuObject* no_key = HotkeyBar(0, TRUE);
    EXPECT_EQ(0, no_key->m_hotkeyId);
    EXPECT_FALSE(no_key->m_volatile);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(no_key->m_hWnd) != 0; }, kWaitMs));

    ASSERT_TRUE(RegisterHotKey(plain_, 0x77, MOD_CONTROL, VK_F9));
    CVellumMenuObject* taken = HotkeyBar(VK_F9, TRUE);
    EXPECT_EQ(0, taken->m_hotkeyId);
    EXPECT_FALSE(taken->m_volatile);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(taken->m_hWnd) != 0; }, kWaitMs));
    UnregisterHotKey(plain_, 0x77);
}

}  // namespace
}  // namespace placement_test
