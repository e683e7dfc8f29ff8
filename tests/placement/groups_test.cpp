// Popup groups: resizing one bar by an edge drags the touching bars along,
// moving one bar moves the group, and the lookup of a bar's open popup.
#include "placement_fixture.h"
#include "model/bar_placement.h"
#include "model/bar_window.h"

namespace placement_test {
namespace {

class GroupTest : public PlacementTest {
protected:
    void SetUp() override {
        PlacementTest::SetUp();
        owner = NewOwnerItem();
    }
    CVellumMenuObject* Member(RECT r) {
        CVellumMenuObject* bar = NewBar(r);
        bar->m_associatedPopupItem = owner;
        return bar;
    }
    CVellumMenuItem* owner = nullptr;
};

struct ResizeCase {
    const char* name;
    std::vector<RECT> bars;   // the first is resized
    RECT changes;
    int min_width_of_second;  // 0: none
    std::vector<RECT> want;   // every bar after the group followed
    RECT want_changes;
};

TEST_F(GroupTest, ResizedEdgeDragsTouchingBars) {
    const ResizeCase cases[] = {
        {"a bar one pixel short follows the left edge",
         {{100, 100, 200, 130}, {20, 100, 99, 130}}, {-10, 0, 0, 0}, 0,
         {{90, 100, 200, 130}, {10, 100, 89, 130}}, {-10, 0, 0, 0}},
        {"an attached neighbour narrows",
         {{100, 100, 200, 130}, {200, 100, 300, 130}, {300, 100, 400, 130}}, {0, 0, 20, 0}, 0,
         {{100, 100, 220, 130}, {220, 100, 300, 130}, {300, 100, 400, 130}}, {0, 0, 20, 0}},
        {"an unattached neighbour moves",
         {{100, 100, 200, 130}, {200, 100, 300, 130}}, {0, 0, 20, 0}, 0,
         {{100, 100, 220, 130}, {220, 100, 320, 130}}, {0, 0, 20, 0}},
        {"a minimum limits the resize for both",
         {{100, 100, 200, 130}, {200, 100, 300, 130}, {300, 100, 400, 130}}, {0, 0, 20, 0}, 85,
         {{100, 100, 215, 130}, {215, 100, 300, 130}, {300, 100, 400, 130}}, {0, 0, 15, 0}},
        {"a bar below moves with the bottom edge",
         {{100, 100, 200, 130}, {100, 130, 200, 160}}, {0, 0, 0, 10}, 0,
         {{100, 100, 200, 140}, {100, 140, 200, 170}}, {0, 0, 0, 10}},
    };
    for (const ResizeCase& c : cases) {
        std::vector<CVellumMenuObject*> bars;
        for (const RECT& r : c.bars) bars.push_back(Member(r));
        if (c.min_width_of_second) {
            bars[1]->ptMIN.modifiers.x = 1;
            bars[1]->ptMIN.pixels.x = c.min_width_of_second;
        }
        ASSERT_EQ(1, BuildBarGroup(bars[0]->m_hWnd, owner, nullptr)) << c.name;
        RECT changes = c.changes;
        ASSERT_EQ(1, MoveBarGroup(&changes, 1)) << c.name;
        EXPECT_EQ(RectText(c.want_changes), RectText(changes)) << c.name;
        // The caller applies the limited change to the resized bar.
        RECT r = WindowRect(bars[0]);
        bars[0]->SetPos(r.left + changes.left, r.top + changes.top,
                        r.right + changes.right - r.left - changes.left,
                        r.bottom + changes.bottom - r.top - changes.top, nullptr, 0, 1, 0);
        for (size_t i = 0; i < bars.size(); ++i)
            EXPECT_TRUE(WaitForRect(bars[i], c.want[i]))
                << c.name << " bar " << i << ": " << RectText(WindowRect(bars[i]));
        for (CVellumMenuObject* bar : bars) CloseBar(bar);
    }
}

TEST_F(GroupTest, DraggingAnEdgeWithShiftResizesTheBarAlone) {
    CVellumMenuObject* a = Member({100, 100, 200, 130});
    CVellumMenuObject* b = Member({200, 100, 300, 130});
    // A drag on the right edge: the press builds the group, each step moves it.
    a->m_resizeEdge = 4;
    BuildBarGroup(a->m_hWnd, owner, nullptr);
    SetKeyDown(VK_MENU, true);   // no snapping to the screen or other bars
    a->UserSetPos(100, 100, 120, 30, 1);
    EXPECT_TRUE(WaitForRect(a, {100, 100, 220, 130})) << RectText(WindowRect(a));
    EXPECT_TRUE(WaitForRect(b, {220, 100, 320, 130})) << RectText(WindowRect(b));
    SetKeyDown(VK_SHIFT, true);
    a->UserSetPos(100, 100, 140, 30, 1);
    EXPECT_TRUE(WaitForRect(a, {100, 100, 240, 130})) << RectText(WindowRect(a));
    EXPECT_TRUE(WaitForRect(b, {220, 100, 320, 130})) << RectText(WindowRect(b));
}

TEST_F(GroupTest, OnlyTheFirstTwentyFiveBarsOfAnItemTakePart) {
    std::vector<CVellumMenuObject*> bars;
    for (int i = 0; i < 26; ++i) bars.push_back(Member({100, 20 + 25 * i, 200, 40 + 25 * i}));
    RECT changes = {-10, 0, 0, 0};
    ASSERT_EQ(1, BuildBarGroup(bars[0]->m_hWnd, owner, &changes));
    for (int i = 1; i < 25; ++i) EXPECT_EQ(90, WindowRect(bars[i]).left) << i;
    EXPECT_EQ(100, WindowRect(bars[25]).left);
}

TEST_F(GroupTest, NoGroupWithoutOwnerAndGoneMembersAreSkipped) {
    CVellumMenuObject* a = Member({100, 100, 200, 130});
    CVellumMenuObject* b = Member({200, 100, 300, 130});
    CVellumMenuObject* c = Member({300, 100, 400, 130});
    RECT changes = {0, 0, 20, 0};
    EXPECT_EQ(0, BuildBarGroup(a->m_hWnd, nullptr, nullptr));   // a free bar
    EXPECT_EQ(0, MoveBarGroup(&changes, 1));
    EXPECT_EQ(0, BuildBarGroup(nullptr, owner, nullptr));
    EXPECT_EQ(0, MoveBarGroup(&changes, 1));

    ASSERT_EQ(1, BuildBarGroup(a->m_hWnd, owner, nullptr));
    CloseBar(b);   // its window goes while the drag runs
    EXPECT_EQ(1, MoveBarGroup(&changes, 1));
    EXPECT_TRUE(WaitForRect(c, {300, 100, 400, 130})) << RectText(WindowRect(c));
}

TEST_F(GroupTest, MovingOneBarMovesTheGroupAndKeepsItOnScreen) {
    CVellumMenuObject* a = Member({100, 100, 200, 130});
    CVellumMenuObject* b = Member({200, 100, 300, 130});
    b->m_volatile = TRUE;
    SetCursorPos(150, 115);
    a->UserSetPos(150, 150, -1, -1, 0);
    EXPECT_TRUE(WaitForRect(a, {150, 150, 250, 180})) << RectText(WindowRect(a));
    EXPECT_TRUE(WaitForRect(b, {250, 150, 350, 180})) << RectText(WindowRect(b));
    EXPECT_FALSE(b->m_volatile);
    EXPECT_TRUE(b->m_tornOff);
    // Far to the left: the group stops at the screen's edge.
    a->UserSetPos(-400, 150, -1, -1, 0);
    EXPECT_TRUE(WaitForRect(a, {0, 150, 100, 180})) << RectText(WindowRect(a));
    EXPECT_TRUE(WaitForRect(b, {100, 150, 200, 180})) << RectText(WindowRect(b));
}

int g_defer_calls = 0;
HDWP WINAPI FailSecondDeferral(HDWP batch, HWND wnd, HWND after, int x, int y, int cx, int cy,
                               UINT flags) {
    if (++g_defer_calls == 2) return nullptr;
    return DeferWindowPos(batch, wnd, after, x, y, cx, cy, flags);
}

TEST_F(GroupTest, FailedDeferredPlacementStillMovesEveryBarOnce) {
    std::vector<CVellumMenuObject*> bars;
    for (int i = 0; i < 3; ++i) bars.push_back(Member({100 + 100 * i, 100, 200 + 100 * i, 130}));
    g_defer_calls = 0;
    SetDeferWindowPosFunction(FailSecondDeferral);
    POINT offset = {30, 40};
    MovePopupGroup(owner, &offset);
    EXPECT_GE(g_defer_calls, 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(WaitForRect(bars[i], {130 + 100 * i, 140, 230 + 100 * i, 170}))
            << i << ": " << RectText(WindowRect(bars[i]));

    // The same for a group resize.
    g_defer_calls = 0;
    ASSERT_EQ(1, BuildBarGroup(bars[0]->m_hWnd, owner, nullptr));
    RECT changes = {0, 0, 10, 0};
    MoveBarGroup(&changes, 1);
    EXPECT_TRUE(WaitForRect(bars[1], {240, 140, 330, 170})) << RectText(WindowRect(bars[1]));
}

TEST_F(GroupTest, OpenPopupIsAVisibleBarOpenedOrListedByTheBarsItems) {
    CVellumMenuObject* owner_bar = owner->m_pBar;
    EXPECT_EQ(nullptr, FindOpenPopupOfBar(owner_bar));
    EXPECT_EQ(nullptr, FindOpenPopupOfBar(nullptr));

    // The desktop right-click bar is never one.
    CVellumMenuObject::SetNextBarIsDesktopBar();
    CVellumMenuObject* desktop = NewBar({100, 300, 200, 330});
    desktop->m_owningPopupItem = owner;
    desktop->m_volatile = TRUE;
    EXPECT_EQ(nullptr, FindOpenPopupOfBar(owner_bar));

    CVellumMenuObject* child = NewBar({100, 400, 200, 430});
    child->m_owningPopupItem = owner;
    EXPECT_EQ(nullptr, FindOpenPopupOfBar(owner_bar)) << "not volatile";
    child->m_volatile = TRUE;
    EXPECT_EQ(child, FindOpenPopupOfBar(owner_bar));
    ShowWindow(child->m_hWnd, SW_HIDE);
    EXPECT_EQ(nullptr, FindOpenPopupOfBar(owner_bar));

    CVellumMenuObject* listed = Member({300, 400, 400, 430});
    EXPECT_EQ(listed, FindOpenPopupOfBar(owner_bar));
    EXPECT_EQ(nullptr, FindOpenPopupOfBar(listed));
}

}  // namespace
}  // namespace placement_test
