// Small item queries on real bars: hidden items that need scrolling, the
// pointer over an item, and the redraw of an item while its section shows
// a drop mark.
#include <string>
#include <vector>
#include "items_fixture.h"

namespace items_test {
namespace {

// An item that takes no room at all.
class ZeroSizeItem : public CVellumMenuItem {
public:
    ZeroSizeItem(CVellumMenuObject* bar, CVellumMenuSection* section)
        : CVellumMenuItem(bar, section, const_cast<char*>("")) {}
    SIZE CalcSize(int, int) override {
        m_emptySize = TRUE;
        return SIZE{0, 0};
    }
};

RECT ScreenRect(CVellumMenuItem* item) {
    RECT r;
    item->GetRealItemRect(&r);
    POINT origin = {0, 0};
    ClientToScreen(item->m_pBar->m_hWnd, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

class ItemQueriesTest : public ItemsTest {};

TEST_F(ItemQueriesTest, OnlyAnItemWithASizeButNoPlaceNeedsScrolling) {
    CVellumMenuObject* bar = Bar({"Item1.Title=one", "Item2.Title=two", "Item3.Title=three",
                                  "Item4.Title=four"});
    CVellumMenuSection* section = bar->m_sections[0];
    auto* zero = new ZeroSizeItem(bar, section);
    ASSERT_TRUE(section->InsertItem(static_cast<CVellumMenuItem*>(nullptr), zero));
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    ASSERT_EQ(zero, Item(bar, 4));
    EXPECT_TRUE(IsRectEmpty(&zero->m_itemRect));
    EXPECT_EQ(0, zero->IsItemHiddenNeedsScrolling()) << "no size: nothing to scroll to";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(0, Item(bar, i)->IsItemHiddenNeedsScrolling()) << i;

    // The section cut to the room of two items: the last ones are left out.
    RECT outer = section->m_outerRect;
    section->SetSectionRect(outer.left, outer.top, outer.left + Item(bar, 1)->m_itemRect.right,
                            outer.bottom, 0);
    section->RecalcRectsFlexible();
    EXPECT_EQ(0, Item(bar, 0)->IsItemHiddenNeedsScrolling());
    EXPECT_EQ(1, Item(bar, 3)->IsItemHiddenNeedsScrolling());
    EXPECT_EQ(0, zero->IsItemHiddenNeedsScrolling());
    // Scrolled by one: the first item is out of the section.
    section->m_firstShownItem = 1;
    section->RecalcRectsFlexible();
    EXPECT_EQ(1, Item(bar, 0)->IsItemHiddenNeedsScrolling());
    EXPECT_EQ(0, Item(bar, 1)->IsItemHiddenNeedsScrolling());
    EXPECT_EQ(0, zero->IsItemHiddenNeedsScrolling());
}

TEST_F(ItemQueriesTest, IsMouseReallyOverFollowsTheCursor) {
    CVellumMenuObject* bar = Bar({"Item1.Title=first", "Item2.Title=second"});
    CVellumMenuItem* first = Item(bar, 0);
    CVellumMenuItem* second = Item(bar, 1);
    RECT r = ScreenRect(first);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(1, first->IsMouseReallyOver());
    EXPECT_EQ(0, second->IsMouseReallyOver());
    RECT s = ScreenRect(second);
    SetCursorPos((s.left + s.right) / 2, (s.top + s.bottom) / 2);
    EXPECT_EQ(0, first->IsMouseReallyOver());
    EXPECT_EQ(1, second->IsMouseReallyOver());
    SetCursorPos(r.left, r.bottom + 40);
    EXPECT_EQ(0, first->IsMouseReallyOver());
}

// The drop mark lies outside the item: only a redraw of the whole section
// puts it on the screen.
TEST_F(ItemQueriesTest, RedrawItemRedrawsTheWholeSectionWhileADropMarkShows) {
    CVellumMenuObject* bar = Bar({"Item1.Title=first", "Item2.Title=second"});
    CVellumMenuItem* first = Item(bar, 0);
    CVellumMenuItem* second = Item(bar, 1);
    testing_support::PumpFor(50);
    RECT mark;
    second->GetRealItemRect(&mark);
    InflateRect(&mark, -2, -2);
    RECT screen = ScreenRect(second);
    const int x = (screen.right - screen.left) / 2, y = (screen.bottom - screen.top) / 2;
    COLORREF plain;
    {
        testing_support::ScreenCapture shot(screen);
        plain = shot.Pixel(x, y);
    }
    CVellumMenuSection* section = bar->m_sections[0];
    section->m_dropMark = mark;
    section->m_dropMarkShown = TRUE;
    first->RedrawItem();
    testing_support::PumpFor(50);
    {
        testing_support::ScreenCapture shot(screen);
        EXPECT_EQ(plain ^ 0xFFFFFF, shot.Pixel(x, y)) << "the mark is drawn inverted";
    }
    section->m_dropMarkShown = FALSE;
    first->RedrawItem();
    testing_support::PumpFor(50);
    {
        testing_support::ScreenCapture shot(screen);
        EXPECT_EQ(plain ^ 0xFFFFFF, shot.Pixel(x, y)) << "only the first item was drawn";
    }
    second->RedrawItem();
    testing_support::PumpFor(50);
    testing_support::ScreenCapture shot(screen);
    EXPECT_EQ(plain, shot.Pixel(x, y));
}

}  // namespace
}  // namespace items_test
