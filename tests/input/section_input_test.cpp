// A section's clicks, double clicks, right clicks, scroll arrows, the menu of
// hidden items and the grip order saved in the bar file.
#include <string>
#include <vector>
#include "input_fixture.h"
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "tests/support/test_support.h"

namespace input_test {
namespace {

class SectionInputTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        bar = NewBar({100, 700, 400, 740});
        section = AddSection(bar, {10, 0, 290, 40});
        a = AddItem(section, {0, 0, 50, 40}, "A");
        b = AddItem(section, {50, 0, 100, 40}, "B");
        testing_support::PumpFor(200);   // no click-ignore time left over
    }
    void Click(int x, int y) {
        SetKeyDown(VK_LBUTTON, true);
        Mouse(bar, WM_LBUTTONDOWN, x, y);
        SetKeyDown(VK_LBUTTON, false);
        Mouse(bar, WM_LBUTTONUP, x, y);
    }

    void PostClick(int x, int y) {
        POINT screen = {x, y};
        ClientToScreen(bar->m_hWnd, &screen);
        SetCursorPos(screen.x, screen.y);
        SetKeyDown(VK_LBUTTON, true);
        PostMessageA(bar->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        testing_support::PumpFor(30);
        SetKeyDown(VK_LBUTTON, false);
        PostMessageA(bar->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        testing_support::PumpFor(30);
    }

    CVellumMenuObject* bar = nullptr;
    CVellumMenuSection* section = nullptr;
    TestItem* a = nullptr;
    TestItem* b = nullptr;
};

TEST_F(SectionInputTest, ClicksReachTheItemUnderThePointer) {
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    Click(30, 20);
    EXPECT_EQ(1, a->clicks);
    EXPECT_EQ(0, b->clicks);
    // Pressed; the release ends the press (mouse-over), then the click shows
    // Clicked and mouse-over again since the pointer stays on it.
    std::vector<UINT> want = {kStateSelected, kStateMouseOver, kStateClicked, kStateMouseOver};
    std::vector<UINT> got;
    for (UINT s : a->states)
        if (got.empty() || got.back() != s) got.push_back(s);
    EXPECT_EQ(kStateMouseOver, got.front());
    got.erase(got.begin());
    EXPECT_EQ(want, got);
    Click(80, 20);
    EXPECT_EQ(1, b->clicks);
    Mouse(bar, WM_MOUSEMOVE, 250, 20);   // leaves both
    EXPECT_EQ(kStateNormal, b->m_state);
    Click(250, 20);                      // on no item
    EXPECT_EQ(1, a->clicks + b->clicks - 1);
}

TEST_F(SectionInputTest, DoubleClickIsOneDoubleClickOnTheRelease) {
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 30, 20);
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 30, 20);
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDBLCLK, 30, 20);
    EXPECT_EQ(0, a->double_clicks);   // only on the release
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 30, 20);
    EXPECT_EQ(1, a->clicks);
    EXPECT_EQ(1, a->double_clicks);
    Click(30, 20);                     // the next single click is a click again
    EXPECT_EQ(2, a->clicks);
    EXPECT_EQ(1, a->double_clicks);
}

TEST_F(SectionInputTest, ReleaseInsideTheClickIgnoreTimeDoesNotClick) {
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    // Posted, as real clicks are: the window procedure reads their time. The
    // click must be posted within the ignore time; a loaded machine may hold
    // this thread up past it, and such a try shows nothing: try again.
    bool in_time = false;
    for (int attempt = 0; attempt < 20 && !in_time; ++attempt) {
        a->clicks = 0;
        const DWORD start = GetTickCount();
        bar->StartClickIgnoreDelay();
        PostClick(30, 20);
        // Slack for the clock's steps.
        in_time = GetTickCount() - start + 40 < 165;
        if (in_time) {
            EXPECT_EQ(0, a->clicks);
            EXPECT_EQ(nullptr, bar->m_tracking.pressed_item);
        }
    }
    ASSERT_TRUE(in_time) << "no try came within the ignore time";
    testing_support::PumpFor(250);
    PostClick(30, 20);
    EXPECT_EQ(1, a->clicks);
}

TEST_F(SectionInputTest, RightClickReachesTheItemAndHiddenSectionsTakeNoClicks) {
    Mouse(bar, WM_RBUTTONDOWN, 80, 20);
    Mouse(bar, WM_RBUTTONUP, 80, 20);
    EXPECT_EQ(1, b->right_clicks);
    section->IsHidden = TRUE;
    Click(30, 20);
    Mouse(bar, WM_RBUTTONUP, 30, 20);
    EXPECT_EQ(0, a->clicks);
    EXPECT_EQ(0, a->right_clicks);
}

TEST_F(SectionInputTest, MenuMessagesGoToTheItemWhosePopupIsOpen) {
    bar->m_tracking.last_pressed_item = b;
    SendMessageA(bar->m_hWnd, WM_COMMAND, 17, 0);
    SendMessageA(bar->m_hWnd, WM_INITMENUPOPUP, 0, 0);
    EXPECT_TRUE(a->menu_messages.empty());
    ASSERT_EQ(2u, b->menu_messages.size());
    EXPECT_EQ(WM_COMMAND, b->menu_messages[0].first);
    EXPECT_EQ(17u, b->menu_messages[0].second);
    // Scrolled out of the section: not asked.
    section->m_firstShownItem = 2;
    SendMessageA(bar->m_hWnd, WM_COMMAND, 18, 0);
    EXPECT_EQ(2u, b->menu_messages.size());
}

TEST_F(SectionInputTest, GripsTitlesAndAnchorSeparatorsAreGrips) {
    TestItem* anchor = AddItem(section, {100, 0, 110, 40}, "");
    anchor->Separator = TRUE;
    anchor->IsSectionAnchor = TRUE;
    TestItem* plain = AddItem(section, {110, 0, 120, 40}, "");
    plain->Separator = TRUE;
    section->m_titleRect = {200, 0, 240, 40};   // relative to the outer rectangle
    struct Case {
        POINT pt;
        int grip;
    };
    // Outer rectangle 10..290; the skin's grips are 6 wide.
    const Case cases[] = {{{12, 20}, 1},  {{15, 20}, 1},  {{16, 20}, 0},  {{30, 20}, 0},
                          {{115, 20}, 1}, {{125, 20}, 0}, {{215, 20}, 1}, {{249, 20}, 1},
                          {{5, 20}, 0},   {{295, 20}, 0}};
    for (const Case& c : cases) EXPECT_EQ(c.grip, section->IsInGripSection(c.pt)) << c.pt.x;
    section->IsHidden = TRUE;
    EXPECT_EQ(0, section->IsInGripSection({12, 20}));
}

TEST_F(SectionInputTest, HidingASectionMarksTheBarModifiedWhenTheThemeCloses) {
    EXPECT_EQ(1, section->SetHidden(1));
    EXPECT_EQ(0, section->SetHidden(1));
    bar->m_modified = FALSE;
    SendMessageA(bar->m_hWnd, RegisterWindowMessageA("Theme is closing... check for modified!"), 0, 0);
    EXPECT_TRUE(bar->m_modified);
    section->SetHidden(0);
    bar->m_modified = FALSE;
    SendMessageA(bar->m_hWnd, RegisterWindowMessageA("Theme is closing... check for modified!"), 0, 0);
    EXPECT_FALSE(bar->m_modified);
}

TEST_F(SectionInputTest, ItemsDragWithoutAltOnlyInVolatileBarsAndLayers) {
    EXPECT_EQ(0, a->TryNoAltDrag());
    bar->m_volatile = TRUE;
    EXPECT_EQ(1, a->TryNoAltDrag());
    bar->m_volatile = FALSE;
    bar->m_tornOff = TRUE;
    EXPECT_EQ(1, a->TryNoAltDrag());
    bar->m_tornOff = FALSE;
    GetBarHostServices().IsLayerVolatile = [](int layer) { return layer == 3; };
    bar->AlwaysOnTopOrder = 3;
    EXPECT_EQ(1, a->TryNoAltDrag());
    bar->AlwaysOnTopOrder = 4;
    EXPECT_EQ(0, a->TryNoAltDrag());
}

TEST_F(SectionInputTest, RightArrowScrollsPerRepeatTickAndStopsAtTheLastItem) {
    AddItem(section, {}, "C");
    AddItem(section, {}, "D");
    section->m_rightArrow->m_itemRect = {260, 0, 280, 40};
    section->m_leftArrow->m_itemRect = {0, 0, 0, 0};
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 275, 20);
    EXPECT_EQ(1, section->m_firstShownItem);   // the press scrolls once
    testing_support::PumpFor(200);             // held: one item per tick
    EXPECT_EQ(3, section->m_firstShownItem);   // ... up to the last item
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 275, 20);
    testing_support::PumpFor(30);
    EXPECT_FALSE(bar->m_gripTimerRunning);

    // A grayed arrow does nothing.
    section->m_firstShownItem = 0;
    section->m_rightArrow->m_typeWord = 3;
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 275, 20);
    EXPECT_EQ(0, section->m_firstShownItem);
}

// Reads the entries of the open menu, then chooses the one at `choose`.
struct MenuDriver {
    static std::vector<std::string> seen;
    static int choose;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND menu_window = FindWindowA("#32768", nullptr);
        if (!menu_window) return;
        KillTimer(nullptr, id);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menu_window, 0x01E1 /*MN_GETHMENU*/, 0, 0));
        seen.clear();
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            char text[100] = {};
            GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
            seen.push_back(text);
        }
        if (choose < 0) {
            PostMessageA(menu_window, WM_CANCELMODE, 0, 0);
            return;
        }
        for (int i = 0; i <= choose; ++i) PostMessageA(menu_window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu_window, WM_KEYDOWN, VK_RETURN, 0);
    }
};
std::vector<std::string> MenuDriver::seen;
int MenuDriver::choose = -1;

TEST_F(SectionInputTest, DownArrowMenuListsExactlyTheHiddenItemsAndRunsTheChosenOne) {
    TestItem* c = AddItem(section, {}, "C hidden");
    TestItem* d = AddItem(section, {}, "D hidden");
    section->m_downArrow->m_itemRect = {260, 0, 280, 40};
    MenuDriver::choose = 1;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, MenuDriver::Tick);
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 275, 20);
    KillTimer(nullptr, timer);
    EXPECT_EQ((std::vector<std::string>{"C hidden", "D hidden"}), MenuDriver::seen);
    EXPECT_EQ(0, c->clicks);
    EXPECT_EQ(1, d->clicks);
    EXPECT_EQ(nullptr, section->m_hiddenItemsMenu);
    EXPECT_EQ(nullptr, section->m_hiddenItemsMenuHandle);
}

CVellumMenuSection* g_removal_section = nullptr;
void CALLBACK RemoveThirdItem(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_removal_section->RemoveItem(2, 1);
}

// Right-clicks the first entry of the open menu, then closes it.
struct MenuRightClicker {
    static HWND bar;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND menu_window = FindWindowA("#32768", nullptr);
        if (!menu_window) return;
        KillTimer(nullptr, id);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menu_window, 0x01E1 /*MN_GETHMENU*/, 0, 0));
        RECT entry;
        if (menu && GetMenuItemRect(bar, menu, 1, &entry)) {
            SetCursorPos((entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2);
            SendMessageA(bar, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar), 0);
        }
        PostMessageA(menu_window, WM_CANCELMODE, 0, 0);
    }
};
HWND MenuRightClicker::bar = nullptr;

TEST_F(SectionInputTest, RightClickOnAHiddenItemsMenuEntryReachesItsItem) {
    TestItem* c = AddItem(section, {}, "C hidden");
    TestItem* d = AddItem(section, {}, "D hidden");
    section->m_downArrow->m_itemRect = {260, 0, 280, 40};
    MenuRightClicker::bar = bar->m_hWnd;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, MenuRightClicker::Tick);
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 275, 20);
    KillTimer(nullptr, timer);
    EXPECT_EQ(0, c->right_clicks);
    EXPECT_EQ(1, d->right_clicks);
    EXPECT_EQ(0, c->clicks + d->clicks);
}

TEST_F(SectionInputTest, ItemRemovedWhileTheHiddenItemsMenuIsOpenIsNotClicked) {
    AddItem(section, {}, "C hidden");
    section->m_downArrow->m_itemRect = {260, 0, 280, 40};
    g_removal_section = section;
    MenuDriver::choose = 0;
    // While the menu is open the item goes away (as a theme change would).
    UINT_PTR remover = SetTimer(nullptr, 0, 20, RemoveThirdItem);
    UINT_PTR timer = SetTimer(nullptr, 0, 60, MenuDriver::Tick);
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 275, 20);
    KillTimer(nullptr, timer);
    KillTimer(nullptr, remover);
    EXPECT_EQ(2, section->GetNumOfItems());
    EXPECT_TRUE(IsLiveBar(bar));
}

}  // namespace
}  // namespace input_test

namespace input_test {
namespace {

TEST_F(SectionInputTest, HoverDelayOpensThePopupOnlyWhileThePointerStays) {
    a->popup_delay = 300;
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    testing_support::PumpFor(150);
    EXPECT_EQ(0, a->keyboard_popup_requests);
    testing_support::PumpUntil([this] { return a->keyboard_popup_requests > 0; }, 1000);
    EXPECT_EQ(1, a->keyboard_popup_requests);   // TrackPopupMenu(1)

    // Moving to another item cancels a pending popup.
    Mouse(bar, WM_MOUSEMOVE, 80, 20);
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    testing_support::PumpFor(100);
    Mouse(bar, WM_MOUSEMOVE, 80, 20);
    testing_support::PumpFor(400);
    EXPECT_EQ(1, a->keyboard_popup_requests);
}

}  // namespace
}  // namespace input_test
