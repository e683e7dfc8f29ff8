// Section layouts on a real bar: equal widths, one line with scroll arrows,
// rows, and the section's sizes.
#include <string>
#include "drawing_fixture.h"

namespace drawing_test {
namespace {

// 10 x 20 arrow bitmaps: the left one at the leading edge, the right one at
// the trailing edge. No margins anywhere, so item rectangles are plain.
const char kArrowSkin[] =
    "[General]\r\nItemHeight=20\r\nSkinHeight=20\r\n"
    "[LeftArrow]\r\nhBitmap=arrow.bmp\r\nxAlign=0\r\n"
    "[RightArrow]\r\nhBitmap=arrow.bmp\r\nxAlign=1\r\n";

const char kPlainSkin[] = "[General]\r\nItemHeight=20\r\nSkinHeight=20\r\n";

COLORREF ArrowPixel(int, int) { return RGB(10, 200, 10); }

class SectionLayoutTest : public DrawingTest {
protected:
    void SetUp() override { ASSERT_TRUE(skins_.Bitmap("arrow.bmp", 10, 20, ArrowPixel)); }

    // A section of the bar whose inner rectangle is width x height.
    CVellumMenuSection* NewSection(int width, int height, const char* skin = kArrowSkin) {
        bar_ = NewBar(width, height);
        EXPECT_TRUE(ApplySkin(bar_, skins_.Write("section.tsskin", skin)));
        auto* section = new CVellumMenuSection(bar_, 1, 0);
        section->EqualWidths = FALSE;
        section->AllowMultipleRowsCols = FALSE;
        bar_->InsertSection(-1, section);
        section->SetSectionRect(0, 0, width, height, 0);
        return section;
    }
    void AddItems(CVellumMenuSection* section, int count, int width, int height = 20) {
        for (int i = 0; i < count; ++i)
            section->InsertItem(-1, new SizedItem(bar_, section, width, height));
    }

    CVellumMenuObject* bar_ = nullptr;
};

TEST_F(SectionLayoutTest, EqualWidthsShareTheRowBetweenMinimumAndMaximum) {
    struct Case {
        int items;
        int shown;
        int width;
    };
    // W 300, MinItemWidth 24, MaxItemWidth 100: 2 items are clamped to 100;
    // 20 items would be 15 wide, so 12 are shown at the minimum of 24.
    const Case cases[] = {{2, 2, 100}, {20, 12, 24}, {3, 3, 100}, {4, 4, 75}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        CVellumMenuSection* section = NewSection(300, 20, kPlainSkin);
        section->EqualWidths = TRUE;
        section->MinItemWidth = 24;
        section->MaxItemWidth = 100;
        AddItems(section, c.items, 30);
        EXPECT_EQ(1, section->RecalcRectsFlexible());
        for (int i = 0; i < c.items; ++i) {
            const RECT& r = section->m_items[i]->m_itemRect;
            if (i < c.shown) {
                EXPECT_EQ(i * c.width, r.left) << i;
                EXPECT_EQ(c.width, r.right - r.left) << i;
            } else {
                EXPECT_TRUE(IsRectEmpty(&r)) << i;
            }
        }
        CloseBar(bar_);
    }
}

TEST_F(SectionLayoutTest, EqualWidthsWithANullMaximumWidth) {
    // A MaxItemWidth of 0 from a file must not divide by zero.
    CVellumMenuSection* section = NewSection(300, 20);
    section->EqualWidths = TRUE;
    section->AllowMultipleRowsCols = TRUE;
    section->MinItemWidth = 24;
    section->MaxItemWidth = 0;
    AddItems(section, 5, 30);
    EXPECT_EQ(1, section->RecalcRectsFlexible());
    EXPECT_FALSE(IsRectEmpty(&section->m_items[0]->m_itemRect));
}

TEST_F(SectionLayoutTest, OneLineScrollsWithArrows) {
    CVellumMenuSection* section = NewSection(200, 20);
    AddItems(section, 5, 40);
    // Exactly W: every item shows and no arrow does.
    section->RecalcRectsFlexible();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(i * 40, section->m_items[i]->m_itemRect.left);
    ASSERT_NE(nullptr, section->m_leftArrow);
    ASSERT_NE(nullptr, section->m_rightArrow);
    EXPECT_TRUE(IsRectEmpty(&section->m_leftArrow->m_itemRect));
    EXPECT_TRUE(IsRectEmpty(&section->m_rightArrow->m_itemRect));

    // One item too many: the arrows appear, the left one grayed.
    AddItems(section, 1, 40);
    section->bAllowShowingOfLeftGrayedArrow = TRUE;
    section->RecalcRectsFlexible();
    EXPECT_EQ(10, section->m_arrowMargins.left);
    EXPECT_EQ(10, section->m_arrowMargins.right);
    EXPECT_EQ(RECT({0, 0, 10, 20}).right, section->m_leftArrow->m_itemRect.right);
    EXPECT_EQ(190, section->m_rightArrow->m_itemRect.left);
    EXPECT_EQ(3, section->m_leftArrow->m_typeWord);   // grayed: cannot scroll back
    EXPECT_NE(3, section->m_rightArrow->m_typeWord);
    EXPECT_EQ(10, section->m_items[0]->m_itemRect.left);
    EXPECT_TRUE(IsRectEmpty(&section->m_items[5]->m_itemRect));

    // Scrolled by one: the first item goes, the left arrow is no longer grayed.
    section->m_firstShownItem = 1;
    section->RecalcRectsFlexible();
    EXPECT_TRUE(IsRectEmpty(&section->m_items[0]->m_itemRect));
    EXPECT_EQ(10, section->m_items[1]->m_itemRect.left);
    EXPECT_NE(3, section->m_leftArrow->m_typeWord);
    EXPECT_FALSE(IsRectEmpty(&section->m_leftArrow->m_itemRect));

    // Without showing a grayed left arrow, the unscrolled line has none.
    section->m_firstShownItem = 0;
    section->bAllowShowingOfLeftGrayedArrow = FALSE;
    section->RecalcRectsFlexible();
    EXPECT_TRUE(IsRectEmpty(&section->m_leftArrow->m_itemRect));
    EXPECT_EQ(0, section->m_items[0]->m_itemRect.left);
}

TEST_F(SectionLayoutTest, RowsWrapItemsOntoFurtherLines) {
    CVellumMenuSection* section = NewSection(200, 60);
    section->AllowMultipleRowsCols = TRUE;
    section->MaxmizeItems = FALSE;
    AddItems(section, 6, 80);
    section->RecalcRectsFlexible();
    EXPECT_EQ(3, section->m_rows);
    const int expected_top[6] = {0, 0, 20, 20, 40, 40};
    for (int i = 0; i < 6; ++i) {
        const RECT& r = section->m_items[i]->m_itemRect;
        EXPECT_EQ(expected_top[i], r.top) << i;
        EXPECT_EQ(i % 2 * 80, r.left) << i;
    }
    // Fewer items use fewer lines, centred across the bar.
    section->RemoveItem(5, 1);
    section->RemoveItem(4, 1);
    section->RecalcRectsFlexible();
    EXPECT_EQ(2, section->m_rows);
    EXPECT_EQ(10, section->m_items[0]->m_itemRect.top);
    EXPECT_EQ(30, section->m_items[2]->m_itemRect.top);
}

TEST_F(SectionLayoutTest, UserWidthStaysWithinTheSectionsLimits) {
    CVellumMenuSection* section = NewSection(300, 20);
    section->bResizable = TRUE;
    section->MinItems = 2;
    section->MaxItems = -1;
    AddItems(section, 4, 40);
    // Below the minimum (two items and the room of the two scroll arrows,
    // since not every item fits): the minimum is taken and returned.
    EXPECT_EQ(2 * 40 + 2 * 10, section->SetWidth(10));
    EXPECT_EQ(100, section->m_userWidth);
    EXPECT_EQ(200, section->SetWidth(200));
    // A fixed-size section is held to its maximum.
    section->bResizable = FALSE;
    EXPECT_EQ(160, section->SetWidth(300));
    // A hidden section takes nothing.
    section->IsHidden = TRUE;
    EXPECT_EQ(0, section->SetWidth(300));
    EXPECT_EQ(0, section->RecalcRectsFlexible());
    EXPECT_TRUE(IsRectEmpty(&section->m_items[0]->m_itemRect));
}

}  // namespace
}  // namespace drawing_test
