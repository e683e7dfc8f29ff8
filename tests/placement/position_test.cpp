// SetPos and its callers: following a change of the screen size, showing a
// bar of a hidden layer, turning a bar vertical, and a deferred batch.
#include "placement_fixture.h"
#include "model/bar_host.h"
#include "model/bar_placement.h"

namespace placement_test {
namespace {

TEST_F(PlacementTest, ScreenSizeChangeMovesAndWidensByTheFlags) {
    // The bar was saved on a screen 256 pixels narrower than this one.
    struct Case {
        const char* name;
        BOOL align_x, scale_cx, scale_x;
        LONG want_x, want_cx;
    };
    const Case cases[] = {
        {"bAlignX moves", TRUE, FALSE, FALSE, 100 + 256, 200},
        {"bScaleCX widens", FALSE, TRUE, FALSE, 100, 200 + 256},
        {"bAlignX with bScaleX moves twice", TRUE, FALSE, TRUE, 100 + 512, 200},
        {"no flag keeps its place", FALSE, FALSE, FALSE, 100, 200},
    };
    for (const Case& c : cases) {
        CVellumMenuObject* bar = NewBar({100, 100, 300, 130});
        bar->m_placement.LastScreenSize.cx = screen_w_ - 256;
        bar->m_placement.bAlignX = c.align_x;
        bar->m_placement.bScaleCX = c.scale_cx;
        bar->m_placement.bScaleX = c.scale_x;
        EXPECT_EQ(1, bar->UpdatePos()) << c.name;
        EXPECT_EQ(screen_w_, bar->m_placement.LastScreenSize.cx) << c.name;
        RECT want = {c.want_x, 100, c.want_x + c.want_cx, 130};
        EXPECT_TRUE(WaitForRect(bar, want)) << c.name << ": " << RectText(WindowRect(bar));
        EXPECT_EQ(0, bar->UpdateResolution()) << c.name << ": applied once";
        CloseBar(bar);
    }
}

TEST_F(PlacementTest, SetPosReportsTheRectangleAndKeepsWhatIsNotGiven) {
    CVellumMenuObject* bar = NewBar({50, 60, 250, 90});
    RECT out = {};
    EXPECT_EQ(1, bar->SetPos(-1, -1, 300, 40, &out, 0, 0, 0));
    EXPECT_EQ(50, out.left);
    EXPECT_EQ(60, out.top);
    EXPECT_TRUE(WaitForRect(bar, {50, 60, 350, 100})) << RectText(WindowRect(bar));
    // Only the rectangle is computed; the window stays.
    EXPECT_EQ(1, bar->SetPos(400, 300, -1, -1, &out, 0, 0, 1));
    EXPECT_EQ("(400, 300, 700, 340)", RectText(out));
    RECT now = WindowRect(bar);
    EXPECT_EQ(50, now.left);
    // Nothing happens when asked to skip an unchanged size.
    EXPECT_EQ(0, bar->SetPos(10, 10, 300, 40, nullptr, 1, 0, 0));
    // Negative positions become 0; the window rectangle relative to the monitor.
    EXPECT_EQ(1, bar->SetPos(-30, -5, -1, -1, nullptr, 0, 0, 0));
    RECT rel = {};
    EXPECT_EQ(1, bar->GetWindowRectRel(nullptr, &rel));
    EXPECT_EQ(0, rel.left);
    EXPECT_EQ(0, rel.top);
    EXPECT_EQ(0, bar->GetWindowRectRel(nullptr, nullptr));
    // While the bar file loads nothing is placed.
    bar->m_loading = TRUE;
    EXPECT_EQ(0, bar->SetPos(100, 100, 100, 100, nullptr, 0, 0, 0));
    bar->m_loading = FALSE;
}

TEST_F(PlacementTest, ShowLeavesABarOfAHiddenLayerHidden) {
    GetBarHostServices().IsLayerHidden = [](int layer) { return layer == 3; };
    CVellumMenuObject* bar = NewBar({100, 100, 200, 130});
    bar->AlwaysOnTopOrder = 3;
    ShowWindow(bar->m_hWnd, SW_HIDE);
    bar->Show(1);
    testing_support::PumpFor(50);
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_TRUE(bar->m_layerHidden);

    bar->AlwaysOnTopOrder = 2;   // a layer that shows
    bar->m_layerHidden = FALSE;
    bar->Show(1);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return IsWindowVisible(bar->m_hWnd) != 0; }, kWaitMs));
}

TEST_F(PlacementTest, TurningVerticalWithFixedWidthGivesEqualWidths) {
    CVellumMenuObject* bar = NewBar({100, 100, 400, 130});
    CVellumMenuSection* sections[2];
    for (int i = 0; i < 2; ++i) {
        sections[i] = new CVellumMenuSection(bar, i + 1, 0);
        bar->InsertSection(-1, sections[i]);
    }
    bar->WidthResizableWhenVertical = FALSE;
    bar->DockToEdge = kEdgeNone;
    EXPECT_EQ(1, bar->ChangeOrientation(1));
    EXPECT_TRUE(bar->DisplayVertically);
    for (CVellumMenuSection* section : sections) EXPECT_TRUE(section->EqualWidths);
    // Placed at 10 x 10 and grown to its minimum, at its place.
    EXPECT_EQ(100, bar->m_placement.LastPos.x);
    EXPECT_GE(bar->m_placement.LastSize.cx, 5);
    EXPECT_LE(bar->m_placement.LastSize.cx, 10);

    // Resizable width: the sections keep their own widths.
    CVellumMenuObject* other = NewBar({100, 200, 400, 230});
    auto* section = new CVellumMenuSection(other, 1, 0);
    other->InsertSection(-1, section);
    other->WidthResizableWhenVertical = TRUE;
    section->EqualWidths = TRUE;
    other->ChangeOrientation(1);
    EXPECT_FALSE(section->EqualWidths);
}

}  // namespace
}  // namespace placement_test
