// Moving and resizing a bar by its margins, and section grips.
#include "input_fixture.h"
#include "model/bar_host.h"
#include "tests/support/test_support.h"

namespace input_test {
namespace {

constexpr RECT kBarRect = {100, 100, 400, 140};   // 300 x 40 on the screen

struct ZoneCase {
    int dock;         // BarEdge
    POINT screen;
    int edge;         // expected ResizeEdge
};

TEST_F(InputTest, ResizeEdgesFollowTheDockingEdge) {
    CVellumMenuObject* bar = NewBar(kBarRect);
    const ZoneCase cases[] = {
        // Floating: corners first, then the sides.
        {kEdgeNone, {101, 101}, 5}, {kEdgeNone, {399, 101}, 6},
        {kEdgeNone, {101, 139}, 7}, {kEdgeNone, {399, 139}, 8},
        {kEdgeNone, {250, 101}, 1}, {kEdgeNone, {250, 139}, 2},
        {kEdgeNone, {101, 120}, 3}, {kEdgeNone, {399, 120}, 4},
        {kEdgeNone, {250, 120}, 0}, {kEdgeNone, {50, 50}, 0},
        // Docked: only the free edge.
        {kEdgeTop, {250, 139}, 2}, {kEdgeTop, {101, 120}, 0}, {kEdgeTop, {250, 101}, 0},
        {kEdgeTop, {399, 139}, 2},
        {kEdgeBottom, {250, 101}, 1}, {kEdgeBottom, {250, 139}, 0},
        {kEdgeLeft, {399, 120}, 4}, {kEdgeLeft, {101, 120}, 0},
        {kEdgeRight, {101, 120}, 3}, {kEdgeRight, {399, 120}, 0},
    };
    for (const ZoneCase& c : cases) {
        bar->DockToEdge = c.dock;
        EXPECT_EQ(c.edge, bar->IsInResizeBoundry(c.screen))
            << "dock " << c.dock << " at " << c.screen.x << "," << c.screen.y;
    }
}

TEST_F(InputTest, PressOnAnEdgeStartsAResizeWithItsCursor) {
    CVellumMenuObject* bar = NewBar(kBarRect);
    struct Case {
        int dock;
        POINT client;
        int edge;
        LPCSTR cursor;
    };
    const Case cases[] = {
        {kEdgeTop, {150, 39}, 2, IDC_SIZENS},      // a top bar: its bottom edge
        {kEdgeTop, {1, 20}, 0, IDC_ARROW},         // ... not its left edge
        {kEdgeNone, {299, 39}, 8, IDC_SIZENWSE},   // floating: a corner, both axes
        {kEdgeNone, {0, 39}, 7, IDC_SIZENESW},
        {kEdgeNone, {1, 20}, 3, IDC_SIZEWE},
    };
    for (const Case& c : cases) {
        bar->DockToEdge = c.dock;
        Mouse(bar, WM_MOUSEMOVE, 150, 20);   // away from the edges first
        Mouse(bar, WM_MOUSEMOVE, c.client.x, c.client.y);
        EXPECT_EQ(LoadCursorA(nullptr, c.cursor), ClassCursor(bar)) << c.client.x << "," << c.client.y;
        SetKeyDown(VK_LBUTTON, true);
        Mouse(bar, WM_LBUTTONDOWN, c.client.x, c.client.y);
        EXPECT_EQ(c.edge, bar->m_resizeEdge) << c.client.x << "," << c.client.y;
        EXPECT_EQ(c.edge != 0, bar->m_mouseCaptured != 0);
        if (c.edge) {
            EXPECT_EQ(bar->m_hWnd, GetCapture());
        }
        SetKeyDown(VK_LBUTTON, false);
        Mouse(bar, WM_LBUTTONUP, c.client.x, c.client.y);
        EXPECT_EQ(0, bar->m_resizeEdge);
        EXPECT_FALSE(bar->m_mouseCaptured);
        EXPECT_NE(bar->m_hWnd, GetCapture());
    }
}

TEST_F(InputTest, ReleasingTheButtonElsewhereEndsAResize) {
    CVellumMenuObject* bar = NewBar(kBarRect);
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 299, 20);
    ASSERT_EQ(4, bar->m_resizeEdge);
    SetKeyDown(VK_LBUTTON, false);   // the release went to another window
    Mouse(bar, WM_MOUSEMOVE, 310, 20);
    EXPECT_EQ(0, bar->m_resizeEdge);
    EXPECT_NE(bar->m_hWnd, GetCapture());
}

TEST_F(InputTest, WithoutMoveMarginsOnlyCtrlMovesTheBar) {
    CVellumMenuObject* bar = NewBar(kBarRect);
    Mouse(bar, WM_MOUSEMOVE, 150, 25);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), ClassCursor(bar));
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 150, 20);
    EXPECT_FALSE(bar->m_moving);
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 150, 20);

    SetKeyDown(VK_CONTROL, true);
    Mouse(bar, WM_MOUSEMOVE, 150, 21);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_SIZEALL), ClassCursor(bar));
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 150, 20);
    EXPECT_TRUE(bar->m_moving);
    EXPECT_TRUE(bar->m_mouseCaptured);
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 150, 20);
    EXPECT_FALSE(bar->m_moving);

    // A docked bar never moves.
    bar->DockToEdge = kEdgeTop;
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 150, 20);
    EXPECT_FALSE(bar->m_moving);
}

TEST_F(InputTest, MoveMarginsMoveWithoutCtrl) {
    CVellumMenuObject* bar = NewBar(kBarRect, {4, 4, 4, 4}, {6, -1, 6, -1});
    struct Case {
        int x;
        bool moves;
    };
    // Left band: resize 4 + move 6 = client x 0..9; right band likewise.
    const Case cases[] = {{6, true}, {9, true}, {10, false}, {150, false}, {291, true}};
    for (const Case& c : cases) {
        SetKeyDown(VK_LBUTTON, true);
        Mouse(bar, WM_LBUTTONDOWN, c.x, 20);
        EXPECT_EQ(c.moves, bar->m_moving != 0) << c.x;
        SetKeyDown(VK_LBUTTON, false);
        Mouse(bar, WM_LBUTTONUP, c.x, 20);
    }
    // Ctrl adds nothing when the skin has move margins.
    SetKeyDown(VK_CONTROL, true);
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 150, 20);
    EXPECT_FALSE(bar->m_moving);
}

TEST_F(InputTest, VolatileBarIsTornOffWhenMoved) {
    GetBarHostServices().IsTearOffEnabled = [] { return true; };
    CVellumMenuObject* bar = NewBar(kBarRect, {4, 4, 4, 4}, {6, 6, 6, 6});
    bar->m_volatile = TRUE;
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 7, 20);
    EXPECT_TRUE(bar->m_moving);
    EXPECT_FALSE(bar->m_volatile);
    EXPECT_TRUE(bar->m_tornOff);
}

RECT WindowRectOf(CVellumMenuObject* bar) {
    RECT r = {};
    GetWindowRect(bar->m_hWnd, &r);
    return r;
}

TEST_F(InputTest, MovedBarSnapsToTheScreenEdgeUnlessShiftIsHeld) {
    struct Case {
        bool shift;
        LONG left;
    };
    const Case cases[] = {{false, 0}, {true, 6}};
    for (const Case& c : cases) {
        CVellumMenuObject* bar = NewBar(kBarRect, {4, 4, 4, 4}, {6, 6, 6, 6});
        SetKeyDown(VK_LBUTTON, true);
        Mouse(bar, WM_LBUTTONDOWN, 7, 20);   // in the move band, 7 from the left
        ASSERT_TRUE(bar->m_moving);
        SetKeyDown(VK_SHIFT, c.shift);
        Mouse(bar, WM_MOUSEMOVE, 6 + 7 - kBarRect.left, 25);   // left edge 6 from the screen's
        SetKeyDown(VK_LBUTTON, false);
        Mouse(bar, WM_LBUTTONUP, 7, 25);
        SetKeyDown(VK_SHIFT, false);
        RECT r = WindowRectOf(bar);
        EXPECT_EQ(c.left, r.left) << "shift " << c.shift;
        EXPECT_EQ(105, r.top) << "shift " << c.shift;
        EXPECT_EQ(300, r.right - r.left);
        EXPECT_EQ(c.left, bar->m_placement.LastPos.x);
        EXPECT_TRUE(bar->m_userPositioned);
        CloseBar(bar);
    }
}

TEST_F(InputTest, ResizedEdgeSnapsToTheNextBar) {
    CVellumMenuObject* other = NewBar({500, 300, 700, 340});
    CVellumMenuObject* bar = NewBar(kBarRect);
    ASSERT_NE(nullptr, other);
    SetNoHeightSteps(bar->m_skin);   // a skin with height steps does not snap a resize
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 298, 20);   // the right edge
    ASSERT_EQ(4, bar->m_resizeEdge);
    Mouse(bar, WM_MOUSEMOVE, 493 - kBarRect.left, 20);   // the edge 5 short of the other bar
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 493 - kBarRect.left, 20);
    RECT r = WindowRectOf(bar);
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(500, r.right);
    EXPECT_EQ(40, r.bottom - r.top);

    // Dragged without a bar near, the edge follows the pointer.
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 398, 20);
    Mouse(bar, WM_MOUSEMOVE, 350, 20);
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 350, 20);
    r = WindowRectOf(bar);
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(452, r.right);
}

// Three sections side by side, each 100 wide, grips 6 wide at their left.
class GripTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        bar = NewBar({100, 100, 400, 140}, {2, 2, 2, 2});
        for (int i = 0; i < 3; ++i) sections[i] = AddSection(bar, {i * 100, 0, i * 100 + 100, 40});
    }
    CVellumMenuObject* bar = nullptr;
    CVellumMenuSection* sections[3] = {};
};

TEST_F(GripTest, GripDraggedPastThePreviousSectionSwapsThem) {
    Mouse(bar, WM_MOUSEMOVE, 103, 20);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_SIZEWE), ClassCursor(bar));
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 103, 20);
    EXPECT_EQ(bar->m_hWnd, GetCapture());
    // Not yet within 10 pixels of the previous section's left edge.
    Mouse(bar, WM_MOUSEMOVE, 40, 20);
    EXPECT_EQ(sections[0], bar->m_sections[0]);
    EXPECT_TRUE(bar->m_layoutChanged);   // resized instead
    EXPECT_FALSE(bar->m_modified);
    Mouse(bar, WM_MOUSEMOVE, 5, 20);
    EXPECT_EQ(sections[1], bar->m_sections[0]);
    EXPECT_EQ(sections[0], bar->m_sections[1]);
    EXPECT_EQ(sections[2], bar->m_sections[2]);
    EXPECT_TRUE(bar->m_modified);
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 5, 20);
    EXPECT_NE(bar->m_hWnd, GetCapture());
}

TEST_F(GripTest, SwappedOrderIsWhatTheBarFileKeeps) {
    const char* titles[3] = {"First", "Second", "Third"};
    for (int i = 0; i < 3; ++i) lstrcpynA(sections[i]->Title, titles[i], sizeof(sections[i]->Title));
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 203, 20);   // the third section's grip
    Mouse(bar, WM_MOUSEMOVE, 105, 20);
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 105, 20);
    ASSERT_TRUE(bar->m_modified);
    ASSERT_EQ(1, bar->Save(bar->m_barFile));
    const char* want[3] = {"First", "Third", "Second"};
    for (int i = 0; i < 3; ++i) {
        char key[16];
        wsprintfA(key, "Section%d", i + 1);
        char title[64] = "";
        GetPrivateProfileStringA(key, "Title", "", title, sizeof(title), bar->m_barFile);
        EXPECT_STREQ(want[i], title) << key;
    }
}

TEST_F(GripTest, GripDraggedPastTheNextSectionSwapsThem) {
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 102, 20);
    Mouse(bar, WM_MOUSEMOVE, 250, 20);
    EXPECT_EQ(sections[2], bar->m_sections[1]);
    EXPECT_EQ(sections[1], bar->m_sections[2]);
}

TEST_F(GripTest, HiddenSectionsAreSkippedAndOnlyGripsStartADrag) {
    sections[0]->IsHidden = TRUE;
    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 150, 20);   // inside the section, not on its grip
    EXPECT_NE(bar->m_hWnd, GetCapture());
    Mouse(bar, WM_MOUSEMOVE, 5, 20);
    EXPECT_EQ(sections[0], bar->m_sections[0]);
    SetKeyDown(VK_LBUTTON, false);
    Mouse(bar, WM_LBUTTONUP, 5, 20);

    SetKeyDown(VK_LBUTTON, true);
    Mouse(bar, WM_LBUTTONDOWN, 103, 20);
    Mouse(bar, WM_MOUSEMOVE, 5, 20);        // the only section before it is hidden
    EXPECT_EQ(sections[0], bar->m_sections[0]);
    EXPECT_EQ(sections[1], bar->m_sections[1]);
}

}  // namespace
}  // namespace input_test
