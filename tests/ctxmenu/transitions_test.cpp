// Section transitions: items move from their old rectangles to their new
// ones in ten steps with the section's rounding, a new first item grows
// from a 2-pixel sliver, a second start while one runs changes nothing, and
// sections moving at once on one bar each run to their end.
// Also the header lines as the bar window measures and draws them.
#include "ctxmenu_fixture.h"

#include "model/bar_menu_resources.h"
#include "model/live_objects.h"
#include "model/menu_header_text.h"
#include "tests/support/stand_in_main_window.h"
#include "util/handles.h"

namespace ctxmenu_test {
namespace {

// start + (end - start) x step / 10, rounded half up when the move is
// positive and cut towards zero when it is negative, in whole numbers.
LONG Expected(LONG start, LONG end, int step) {
    const long tenths = (end - start) * step;   // the move in tenths of a pixel
    long whole = tenths / 10;
    if (tenths > 0 && tenths % 10 >= 5) ++whole;
    return start + whole;
}

RECT ExpectedRect(const RECT& a, const RECT& b, int step) {
    return {Expected(a.left, b.left, step), Expected(a.top, b.top, step), Expected(a.right, b.right, step),
            Expected(a.bottom, b.bottom, step)};
}

std::string Str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class TransitionTest : public CtxMenuTest {
protected:
    CVellumMenuObject* Bar(int section_count = 1) {
        std::vector<std::vector<std::string>> sections;
        for (int s = 0; s < section_count; ++s) {
            std::vector<std::string> lines = {"Type=Default", "Title=Items", "Properties.MaxmizeItems=0"};
            for (int i = 1; i <= 2; ++i) {
                lines.push_back("Item" + std::to_string(i) + ".Title=Item number " + std::to_string(i));
                lines.push_back("Item" + std::to_string(i) + ".ShowText=1");
            }
            sections.push_back(lines);
        }
        path_ = WriteBar("moves.tsbar", BarText("Moves", {100, 100, 900, 130}, false, {}, sections));
        return LoadBar(path_);
    }
    // A new item at the front of the section, laid out.
    static CVellumMenuItem* AddFirstItem(CVellumMenuObject* bar, CVellumMenuSection* section) {
        char plain[] = "";
        int slot = section->AddItem(plain, -1, 0);
        CVellumMenuItem* item = section->m_items[slot];
        section->RemoveItem(slot, 0);
        EXPECT_TRUE(section->InsertItem(0, item));
        char title[] = "Newcomer";
        item->SetItemTitle(title, 0);
        item->ShowText = TRUE;
        bar->RecalcRects(kRecalcNoRedraw, kRecalcKeepPos);
        return item;
    }
    std::string path_;
};

TEST_F(TransitionTest, ANewFirstItemGrowsFromASliverAndTheOthersMoveInTenSteps) {
    CVellumMenuObject* bar = Bar();
    ASSERT_TRUE(IsLiveBar(bar));
    CVellumMenuSection* section = bar->m_sections[0];
    const RECT old_first = section->m_items[0]->m_itemRect;
    ASSERT_FALSE(IsRectEmpty(&old_first));

    section->MarkStartTransition();
    CVellumMenuItem* added = AddFirstItem(bar, section);
    section->MarkEndTransition();
    const RECT end = added->m_itemRect;
    ASSERT_GT(end.right - end.left, 2);
    const RECT sliver = {end.left, end.top, end.left + 2, end.bottom};
    EXPECT_EQ(Str(sliver), Str(added->m_transitionStart));
    CVellumMenuItem* moved = section->m_items[1];
    EXPECT_EQ(Str(old_first), Str(moved->m_transitionStart));
    ASSERT_NE(Str(old_first), Str(moved->m_itemRect));

    section->StartTransition();
    ASSERT_TRUE(section->m_transitionRunning);
    EXPECT_TRUE(added->m_moving);
    EXPECT_EQ(1, section->m_transitionStep);
    // A second start, and new marks, while this one runs change nothing.
    const RECT kept_start = added->m_transitionStart;
    added->m_itemRect = RECT{0, 0, 1, 1};
    section->MarkStartTransition();
    section->MarkEndTransition();
    section->StartTransition();
    added->m_itemRect = end;
    EXPECT_EQ(1, section->m_transitionStep);
    EXPECT_EQ(Str(kept_start), Str(added->m_transitionStart));
    EXPECT_EQ(Str(end), Str(added->m_transitionEnd));

    for (int step = 1; step < 10; ++step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(Str(ExpectedRect(sliver, end, step)), Str(added->m_drawnRect));
        EXPECT_EQ(Str(ExpectedRect(old_first, moved->m_itemRect, step)), Str(moved->m_drawnRect));
        // Hit tests and drawing follow the drawn rectangle.
        RECT real, drawn = added->m_drawnRect;
        added->GetRealItemRect(&real);
        OffsetRect(&drawn, section->m_innerRect.left, section->m_innerRect.top);
        EXPECT_EQ(Str(drawn), Str(real));
        section->UpdateTransitions(section->m_transitionTimerId);
    }
    EXPECT_FALSE(section->m_transitionRunning);
    EXPECT_FALSE(added->m_moving);
    EXPECT_FALSE(moved->m_moving);
}

TEST_F(TransitionTest, RoundingIsHalfUpForwardsAndCutTowardsZeroBackwards) {
    CVellumMenuObject* bar = Bar();
    ASSERT_TRUE(IsLiveBar(bar));
    CVellumMenuSection* section = bar->m_sections[0];
    CVellumMenuItem* item = section->m_items[0];
    const RECT real = item->m_itemRect;
    struct Case {
        RECT from, to;
        int step;
        RECT drawn;
    } const cases[] = {
        {{0, 0, 10, 10}, {5, 0, 15, 10}, 1, {1, 0, 11, 10}},       // 0.5 rounds up
        {{0, 0, 10, 10}, {4, 0, 14, 10}, 1, {0, 0, 10, 10}},       // 0.4 is cut
        {{0, 0, 10, 10}, {48, 0, 58, 10}, 1, {5, 0, 15, 10}},      // 4.8 rounds up
        {{0, 0, 10, 10}, {48, 0, 58, 10}, 6, {29, 0, 39, 10}},     // 28.8
        {{50, 0, 60, 10}, {2, 0, 12, 10}, 1, {46, 0, 56, 10}},     // -4.8 is cut to -4
        {{50, 0, 60, 10}, {45, 0, 55, 10}, 1, {50, 0, 60, 10}},    // -0.5 is cut to 0
        {{10, 20, 30, 40}, {10, 20, 30, 40}, 5, {10, 20, 30, 40}}, // no move
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Str(c.from) + " -> " + Str(c.to) + " step " + std::to_string(c.step));
        item->m_itemRect = c.from;
        section->MarkStartTransition();
        item->m_itemRect = c.to;
        section->MarkEndTransition();
        section->StartTransition();
        for (int s = 1; s < c.step; ++s) section->UpdateTransitions(section->m_transitionTimerId);
        EXPECT_EQ(Str(c.drawn), Str(item->m_drawnRect));
        section->EndTransition();
        EXPECT_FALSE(section->m_transitionRunning);
    }
    item->m_itemRect = real;
}

TEST_F(TransitionTest, TheTimerRunsTheTransitionToItsEnd) {
    CVellumMenuObject* bar = Bar();
    ASSERT_TRUE(IsLiveBar(bar));
    CVellumMenuSection* section = bar->m_sections[0];
    section->MarkStartTransition();
    CVellumMenuItem* added = AddFirstItem(bar, section);
    section->MarkEndTransition();
    section->StartTransition();
    ASSERT_TRUE(section->m_transitionRunning);
    EXPECT_TRUE(Wait([&] { return !section->m_transitionRunning; }, 2000));
    EXPECT_FALSE(added->m_moving);
    RECT real, expected = added->m_itemRect;
    added->GetRealItemRect(&real);
    OffsetRect(&expected, section->m_innerRect.left, section->m_innerRect.top);
    EXPECT_EQ(Str(expected), Str(real));
}

TEST_F(TransitionTest, SectionsMovingAtOnceEachRunToTheirEnd) {
    // Both sections tick on the bar's one transition timer; the first to
    // finish must leave it running for the other. Which one finishes first
    // is the case.
    for (int first_done : {0, 1}) {
        SCOPED_TRACE(first_done);
        CVellumMenuObject* bar = Bar(2);
        ASSERT_TRUE(IsLiveBar(bar));
        CVellumMenuSection* sections[2] = {bar->m_sections[0], bar->m_sections[1]};
        ASSERT_NE(nullptr, sections[1]);
        CVellumMenuItem* added[2] = {};
        for (int s = 0; s < 2; ++s) sections[s]->MarkStartTransition();
        for (int s = 0; s < 2; ++s) added[s] = AddFirstItem(bar, sections[s]);
        for (int s = 0; s < 2; ++s) {
            sections[s]->MarkEndTransition();
            sections[s]->StartTransition();
            ASSERT_TRUE(sections[s]->m_transitionRunning);
        }
        // One section reaches its end before the timer has ticked.
        CVellumMenuSection* early = sections[first_done];
        CVellumMenuSection* late = sections[1 - first_done];
        while (early->m_transitionRunning) early->UpdateTransitions(early->m_transitionTimerId);
        ASSERT_TRUE(late->m_transitionRunning);
        EXPECT_TRUE(Wait([&] { return !late->m_transitionRunning; }, 2000));
        for (int s = 0; s < 2; ++s) {
            EXPECT_FALSE(added[s]->m_moving);
            RECT real, expected = added[s]->m_itemRect;
            added[s]->GetRealItemRect(&real);
            OffsetRect(&expected, sections[s]->m_innerRect.left, sections[s]->m_innerRect.top);
            EXPECT_EQ(Str(expected), Str(real));
        }
        testing_support::CloseEveryTestBar();
    }
}

// ---- header lines --------------------------------------------------------------------------------

LRESULT Measure(HWND bar, UINT id, MEASUREITEMSTRUCT* m) {
    *m = {};
    m->CtlType = ODT_MENU;
    m->itemID = id;
    return SendMessageA(bar, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(m));
}

TEST_F(TransitionTest, HeaderLinesAreMeasuredAndDrawnAsTooltipBoxes) {
    CVellumMenuObject* bar = Bar();
    ASSERT_TRUE(IsLiveBar(bar));
    SetBarMenuHeaderText("Moves");
    SetSectionMenuHeaderText("Items", 1);
    SetItemMenuHeaderText("A long item name here", 0, 1);

    MEASUREITEMSTRUCT bar_line, item_line, short_item_line, section_line;
    EXPECT_TRUE(Measure(bar->m_hWnd, IDM_BAR_HEADER, &bar_line));
    EXPECT_TRUE(Measure(bar->m_hWnd, 40063, &item_line));
    EXPECT_TRUE(Measure(bar->m_hWnd, IDM_NEW_SECTION, &short_item_line));
    EXPECT_TRUE(Measure(bar->m_hWnd, IDM_SECTION_HEADER, &section_line));
    // The item line without its first five characters is narrower.
    EXPECT_LT(short_item_line.itemWidth, item_line.itemWidth);
    EXPECT_EQ(item_line.itemHeight, bar_line.itemHeight);
    EXPECT_GT(bar_line.itemHeight, 18u);
    EXPECT_GT(bar_line.itemWidth, 14u);

    // With the second line the section line is as wide as the item line and
    // higher by one line and 4 pixels.
    SetItemMenuHeaderText("A long item name here", 1, 1);
    MEASUREITEMSTRUCT two_lines;
    EXPECT_TRUE(Measure(bar->m_hWnd, IDM_SECTION_HEADER, &two_lines));
    EXPECT_EQ(item_line.itemWidth, two_lines.itemWidth);
    const UINT text_height = bar_line.itemHeight - 18;
    EXPECT_EQ(section_line.itemHeight + text_height + 4, two_lines.itemHeight);

    // An empty line is not served.
    SetBarMenuHeaderText(nullptr);
    MEASUREITEMSTRUCT empty;
    EXPECT_FALSE(Measure(bar->m_hWnd, IDM_BAR_HEADER, &empty));

    // Drawn: a black frame inset 6 and 3 pixels, tooltip colour inside.
    SetBarMenuHeaderText("Moves");
    HDC screen = GetDC(nullptr);
    tess::ScopedMemoryDc dc(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);
    DWORD* bits = nullptr;
    tess::ScopedBitmap bitmap(testing_support::CreateDib32(200, 40, &bits));
    HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
    RECT all = {0, 0, 200, 40};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = IDM_BAR_HEADER;
    draw.hDC = dc.get();
    draw.rcItem = all;
    EXPECT_TRUE(SendMessageA(bar->m_hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    GdiFlush();
    SelectObject(dc.get(), old);
    auto pixel = [&](int x, int y) { return testing_support::DibPixel(bitmap.get(), x, y); };
    EXPECT_EQ(RGB(255, 255, 255), pixel(5, 20));
    EXPECT_EQ(RGB(255, 255, 255), pixel(100, 2));
    EXPECT_EQ(RGB(0, 0, 0), pixel(6, 20));
    EXPECT_EQ(RGB(0, 0, 0), pixel(100, 3));
    EXPECT_EQ(RGB(0, 0, 0), pixel(193, 20));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), pixel(8, 5));
    EXPECT_EQ(RGB(255, 255, 255), pixel(194, 20));
    SetBarMenuHeaderText(nullptr);
    SetSectionMenuHeaderText(nullptr, 0);
    SetItemMenuHeaderText(nullptr, 0, 0);
}

}  // namespace
}  // namespace ctxmenu_test
