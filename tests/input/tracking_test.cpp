// The item under the pointer, the pressed item, and the right-button drag.
#include <string>
#include "input_fixture.h"
#include "model/bar_input_internal.h"
#include "model/live_objects.h"
#include "tests/support/test_support.h"

namespace input_test {
namespace {

class TrackingTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        bar = NewBar({100, 200, 400, 240});
        section = AddSection(bar, {10, 0, 290, 40});
        a = AddItem(section, {0, 0, 50, 40}, "A");
        b = AddItem(section, {50, 0, 100, 40}, "B");
    }
    UINT Last(TestItem* item) { return item->states.empty() ? 0 : item->states.back(); }

    CVellumMenuObject* bar = nullptr;
    CVellumMenuSection* section = nullptr;
    TestItem* a = nullptr;
    TestItem* b = nullptr;
};

TEST_F(TrackingTest, HoverStatesFollowThePointerAndReturnToNormal) {
    Mouse(bar, WM_MOUSEMOVE, 30, 20);   // on A (section inner starts at x 10)
    EXPECT_EQ(kStateMouseOver, Last(a));
    EXPECT_EQ(a, bar->m_tracking.hovered_item);
    Mouse(bar, WM_MOUSEMOVE, 80, 20);   // on B
    EXPECT_EQ(kStateNormal, Last(a));
    EXPECT_EQ(kStateMouseOver, Last(b));
    Mouse(bar, WM_MOUSEMOVE, 250, 20);  // on no item
    EXPECT_EQ(kStateNormal, Last(b));
    EXPECT_EQ(nullptr, bar->m_tracking.hovered_item);

    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    EXPECT_EQ(kStateMouseOver, Last(a));
    SendMessageA(bar->m_hWnd, RegisterWindowMessageA("MyMouseLeave"), 0, 0);
    EXPECT_EQ(kStateNormal, Last(a));
    EXPECT_EQ(nullptr, bar->m_tracking.hovered_item);
}

TEST_F(TrackingTest, FirstMoveAtTheCursorOfTheShowIsIgnored) {
    POINT screen = {100 + 30, 200 + 20};
    SetCursorPos(screen.x, screen.y);
    bar->m_movedSinceShown = FALSE;
    bar->m_pointerAtShow = screen;
    SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(30, 20));
    EXPECT_TRUE(a->states.empty());
    Mouse(bar, WM_MOUSEMOVE, 31, 20);
    EXPECT_EQ(kStateMouseOver, Last(a));
}

TEST_F(TrackingTest, PressedItemIsSelectedAndReleaseEndsTracking) {
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    ASSERT_EQ(1, bar->StartTracking(a, 0));
    EXPECT_EQ(kStateSelected, Last(a));
    EXPECT_EQ(a, bar->m_tracking.pressed_item);
    EXPECT_EQ(a, bar->m_tracking.last_pressed_item);
    EXPECT_EQ(0, bar->EndTracking(b));   // not the pressed item
    Mouse(bar, WM_LBUTTONUP, 30, 20);
    EXPECT_EQ(nullptr, bar->m_tracking.pressed_item);
    EXPECT_EQ(kStateMouseOver, Last(a));   // the pointer is really over it
    EXPECT_EQ(0, bar->StartTracking(nullptr, 0));
}

TEST_F(TrackingTest, DraggingWithTheButtonDownMovesThePress) {
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    bar->StartTracking(a, 0);
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_MOUSEMOVE, 80, 20);
    EXPECT_EQ(b, bar->m_tracking.pressed_item);
    EXPECT_EQ(kStateSelected, Last(b));
    EXPECT_EQ(kStateNormal, Last(a));

    // Off every item: the press ends and its release is ignored.
    Mouse(bar, WM_MOUSEMOVE, 250, 20);
    EXPECT_EQ(nullptr, bar->m_tracking.pressed_item);
    EXPECT_TRUE(bar->m_tracking.ignore_next_release);
    // Back onto an item with the button still down presses it again.
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    EXPECT_EQ(a, bar->m_tracking.pressed_item);
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 30, 20);
    EXPECT_EQ(nullptr, bar->m_tracking.pressed_item);
}

TEST_F(TrackingTest, ReleaseOffTheItemsIsIgnoredOnce) {
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    bar->StartTracking(a, 0);
    Mouse(bar, WM_MOUSEMOVE, 250, 20);   // button up: press cancelled
    EXPECT_EQ(nullptr, bar->m_tracking.pressed_item);
    EXPECT_FALSE(bar->m_tracking.ignore_next_release);   // cleared by the up button
}

TEST_F(TrackingTest, ClickIgnoreDelayCovers165Milliseconds) {
    DWORD before = GetTickCount();
    bar->StartClickIgnoreDelay();
    DWORD after = GetTickCount();
    EXPECT_GE(bar->m_ignoreClicksUntil, before + 165);
    EXPECT_LE(bar->m_ignoreClicksUntil, after + 165);
}

TEST_F(TrackingTest, DeletedItemsAreNotFollowed) {
    Mouse(bar, WM_MOUSEMOVE, 30, 20);
    bar->StartTracking(a, 0);
    section->RemoveItem(a, 1);
    EXPECT_EQ(nullptr, bar->m_tracking.pressed_item);
    EXPECT_EQ(nullptr, bar->m_tracking.hovered_item);
    Mouse(bar, WM_MOUSEMOVE, 80, 20);
    Mouse(bar, WM_LBUTTONUP, 80, 20);
    EXPECT_EQ(kStateMouseOver, Last(b));
}

TEST_F(TrackingTest, RightDragSourceIsForgottenWithItsBar) {
    CVellumMenuObject* other = NewBar({100, 300, 400, 340});
    Mouse(other, WM_RBUTTONDOWN, 20, 20);
    EXPECT_EQ(other, GetBarInputState().right_drag_source);
    CloseBar(other);
    EXPECT_EQ(nullptr, GetBarInputState().right_drag_source);
    Mouse(bar, WM_RBUTTONUP, 30, 20);   // nothing to link, nothing freed read
    EXPECT_FALSE(bar->m_contextMenuRunning);

    Mouse(bar, WM_RBUTTONDOWN, 30, 20);
    EXPECT_EQ(bar, GetBarInputState().right_drag_source);
    Mouse(bar, WM_RBUTTONUP, 30, 20);
    EXPECT_EQ(nullptr, GetBarInputState().right_drag_source);
}

TEST(PopupBarListTest, LinkAndUnlinkStayWithinTheList) {
    char names[3][kPopupBarNameSize] = {};
    int count = 0;
    PopupBarList list{names, &count, 3};
    std::string long_title(600, 'x');
    EXPECT_TRUE(LinkBarInPopupList(list, long_title.c_str(), true));
    EXPECT_EQ(std::string(kPopupBarNameSize - 1, 'x'), names[0]);
    EXPECT_TRUE(PopupBarListHas(list, long_title.c_str()));
    EXPECT_TRUE(LinkBarInPopupList(list, "Second", true));
    EXPECT_TRUE(LinkBarInPopupList(list, "Third", true));
    EXPECT_FALSE(LinkBarInPopupList(list, "Fourth", true));   // full: refused
    EXPECT_EQ(3, count);

    EXPECT_TRUE(LinkBarInPopupList(list, "SECOND", false));    // without case
    EXPECT_EQ(2, count);
    EXPECT_STREQ("Third", names[1]);
    EXPECT_TRUE(LinkBarInPopupList(list, long_title.c_str(), false));
    EXPECT_EQ(1, count);
    EXPECT_STREQ("Third", names[0]);
    EXPECT_FALSE(LinkBarInPopupList(list, "Missing", false));
    EXPECT_FALSE(LinkBarInPopupList(PopupBarList{}, "Any", true));

    // A count beyond the capacity (a damaged record) is not followed.
    count = 50;
    EXPECT_FALSE(LinkBarInPopupList(list, "More", true));
}

}  // namespace
}  // namespace input_test
