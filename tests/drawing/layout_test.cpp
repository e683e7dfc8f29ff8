// Bar layout and size rules on real bar windows with sections of known sizes.
#include <string>
#include "drawing_fixture.h"

namespace drawing_test {
namespace {

const char kEdgeSkin[] =
    "[General]\r\nEdgeBuffer=5\r\nItemHeight=20\r\nResizeBase=24\r\nResizeMultiple=20\r\n";

class LayoutTest : public DrawingTest {
protected:
    CVellumMenuObject* EdgeBar(int width, int height, bool vertical = false) {
        CVellumMenuObject* bar = NewBar(width, height, vertical);
        EXPECT_TRUE(ApplySkin(bar, skins_.Write("edge.tsskin", kEdgeSkin)));
        return bar;
    }
    SizedSection* Add(CVellumMenuObject* bar, int length, bool resizable, int min_length = 0,
                      int max_length = -1, int across = 20) {
        auto* section = new SizedSection(bar, length, across, resizable, min_length, max_length);
        bar->InsertSection(-1, section);
        return section;
    }
};

struct Span {
    int start, end;
};

TEST_F(LayoutTest, SectionsFillTheBarAlongItsAxis) {
    struct Case {
        const char* name;
        bool vertical;
        bool middle_resizable;
        Span expected[3];
    };
    const Case cases[] = {
        // Fixed sections lie from the start; the last is cut at the end.
        {"fixed, horizontal", false, false, {{5, 105}, {105, 255}, {255, 395}}},
        // A resizable middle takes what the fixed ones leave.
        {"resizable middle, horizontal", false, true, {{5, 105}, {105, 195}, {195, 395}}},
        {"fixed, vertical", true, false, {{5, 105}, {105, 255}, {255, 395}}},
        {"resizable middle, vertical", true, true, {{5, 105}, {105, 195}, {195, 395}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = c.vertical ? EdgeBar(30, 400, true) : EdgeBar(400, 30);
        SizedSection* s[3] = {Add(bar, 100, false), Add(bar, 150, c.middle_resizable),
                              Add(bar, 200, false)};
        bar->RecalcRects(0, 0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(c.expected[i].start, s[i]->Start()) << "section " << i;
            EXPECT_EQ(c.expected[i].end, s[i]->End()) << "section " << i;
            // Across the bar each lies between the edge buffers (the
            // horizontal bar's height took the skin's step of 24).
            const RECT& r = s[i]->m_outerRect;
            RECT client;
            GetClientRect(bar->m_hWnd, &client);
            EXPECT_EQ(c.vertical ? 30 : 24, c.vertical ? client.right : client.bottom);
            EXPECT_EQ(5, c.vertical ? r.left : r.top);
            EXPECT_EQ((c.vertical ? client.right : client.bottom) - 5, c.vertical ? r.right : r.bottom);
        }
        if (c.middle_resizable) {
            ASSERT_FALSE(s[1]->width_requests.empty());
            EXPECT_EQ(90, s[1]->width_requests.back());
        }
        CloseBar(bar);
    }
}

TEST_F(LayoutTest, HiddenSectionsTakeNoRoomAndSpareRoomGoesToTheResizable) {
    CVellumMenuObject* bar = EdgeBar(400, 30);
    SizedSection* a = Add(bar, 50, true, 10);
    SizedSection* hidden = Add(bar, 80, false);
    hidden->IsHidden = TRUE;
    SizedSection* b = Add(bar, 60, true, 10, 100);   // takes at most 100
    SizedSection* c = Add(bar, 40, false);
    bar->RecalcRects(0, 0);
    // b cannot take the whole rest, so a takes what b leaves.
    EXPECT_EQ(395, c->End());
    EXPECT_EQ(355, c->Start());
    EXPECT_EQ(5, a->Start());
    EXPECT_EQ(a->End(), b->Start());
    EXPECT_EQ(355, b->End());
    EXPECT_LE(b->End() - b->Start(), 100);
}

TEST_F(LayoutTest, LayoutEndsWhenEverySectionRefusesToShrink) {
    CVellumMenuObject* bar = EdgeBar(400, 30);
    SizedSection* s[3] = {Add(bar, 300, true, 300), Add(bar, 300, true, 300),
                          Add(bar, 300, true, 300)};
    bar->RecalcRects(0, 0);   // returns: each section is asked a bounded number of times
    for (SizedSection* section : s) EXPECT_LE(section->width_requests.size(), 8u);
    EXPECT_EQ(5, s[0]->Start());
    EXPECT_LE(s[0]->End(), s[1]->Start());
}

TEST_F(LayoutTest, MinimumAndMaximumSumTheSectionsAndAddTheEdges) {
    CVellumMenuObject* bar = EdgeBar(400, 30);
    Add(bar, 100, false, 0, -1, 20);
    Add(bar, 50, true, 30, 200, 24);
    SIZE minimum = bar->CalcMinMaxSize(1);
    EXPECT_EQ(100 + 30 + 10, minimum.cx);
    EXPECT_EQ(24 + 10, minimum.cy);
    SIZE maximum = bar->CalcMinMaxSize(0);
    EXPECT_EQ(100 + 200 + 10, maximum.cx);
    // A resizable section with MaxItems -2 makes the length unlimited.
    bar->m_sections[1]->MaxItems = -2;
    EXPECT_EQ(-1, bar->CalcMinMaxSize(0).cx);
    EXPECT_EQ(24 + 10, bar->CalcMinMaxSize(0).cy);
}

TEST_F(LayoutTest, SizeRulesOnTheRealScreen) {
    CVellumMenuObject* bar = EdgeBar(400, 30);
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        long modifier, pixels, subtract, horizontal;
        int expected;
        const char* phrase;
    };
    const Case cases[] = {
        {0, 50, 0, 1, -1, "None"},
        {1, 77, 0, 1, 77, "Exactly"},
        {2, 0, 0, 1, w, "Width of screen"},
        {2, 10, 1, 0, h - 10, "Height of screen"},
        {3, 100, 1, 1, w / 2 - 100, "1/2 width of screen"},
        {4, 0, 0, 0, h / 3, "1/3 height of screen"},
        {5, 3, 0, 1, 2 * w / 3 + 3, "2/3 width of screen"},
        {6, 10, 0, 1, w / 4 + 10, "1/4 width of screen"},
        {7, 5, 0, 1, 3 * w / 4 + 5, "3/4 width of screen"},
        {6, 100000, 1, 1, 0, "1/4 width of screen"},   // never below 0
        {8, 5, 0, 1, -1, nullptr},
        {-1, 5, 0, 1, -1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modifier);
        EXPECT_EQ(c.expected, bar->GetSize(c.modifier, c.pixels, c.subtract, c.horizontal, nullptr));
        char phrase[64] = "unchanged";
        int result = bar->GetSize(c.modifier, c.pixels, c.subtract, c.horizontal, phrase);
        if (c.phrase) {
            EXPECT_EQ(1, result);
            EXPECT_STREQ(c.phrase, phrase);
        } else {
            EXPECT_EQ(-1, result);
        }
    }
    // The work area instead of the screen (Wine's work area is the whole screen).
    bar->bUseScreenSizes = FALSE;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ((work.right - work.left) / 2, bar->GetSize(3, 0, 0, 1, nullptr));
}

TEST_F(LayoutTest, HeightSnapsToTheSkinSteps) {
    CVellumMenuObject* bar = EdgeBar(400, 30);
    struct Case {
        int height, down, expected;
    };
    const Case cases[] = {{30, 0, 24}, {34, 0, 24}, {35, 0, 44}, {10, 0, 24}, {64, 0, 64},
                          {30, 1, 24}, {34, 1, 24}, {35, 1, 24}, {63, 1, 44}};
    for (const Case& c : cases) {
        int height = c.height;
        int changed = bar->CheckHeightByMultiple(&height, c.down);
        EXPECT_EQ(c.expected, height) << c.height << (c.down ? " down" : " nearest");
        EXPECT_EQ(c.expected != c.height ? 1 : 0, changed);
    }
    // Vertical bars and skins without steps keep their height.
    bar->DisplayVertically = TRUE;
    int height = 35;
    EXPECT_EQ(0, bar->CheckHeightByMultiple(&height, 0));
    EXPECT_EQ(35, height);
}

TEST_F(LayoutTest, ClampingKeepsMinimumRoomAndRules) {
    CVellumMenuObject* bar = EdgeBar(400, 30);
    Add(bar, 2, true, 1, 200, 2);   // asks for less than 10 pixels
    bar->m_placement.LastPos = POINT{0, 0};
    bar->bRestrictMaximumSize = FALSE;
    SIZE size = {1, 1};
    EXPECT_EQ(1, bar->AdjustForMinimumSize(&size, nullptr, 0));
    // The section's minimum plus the edge buffers.
    EXPECT_EQ(11, size.cx);
    EXPECT_EQ(12, size.cy);

    bar->m_sections[0]->IsHidden = TRUE;
    static_cast<SizedSection*>(bar->m_sections[0])->across = 0;
    size = {1, 1};
    bar->m_skin->EdgeBuffer = RECT{1, 1, 1, 1};
    bar->AdjustForMinimumSize(&size, nullptr, 0);
    EXPECT_EQ(5, size.cx);   // below 10 becomes 5
    EXPECT_EQ(5, size.cy);

    // The maximum is the room left on the screen, and the rules come last.
    bar->bRestrictMaximumSize = TRUE;
    const int w = GetSystemMetrics(SM_CXSCREEN);
    POINT origin = {w - 300, 0};
    size = {5000, 40};
    bar->m_sections[0]->IsHidden = FALSE;
    bar->m_sections[0]->MaxItems = -2;   // unlimited length
    bar->AdjustForMinimumSize(&size, &origin, 0);
    EXPECT_EQ(300, size.cx);
    bar->ptMIN.modifiers.x = 1;
    bar->ptMIN.pixels.x = 400;
    bar->ptMAX.modifiers.y = 1;
    bar->ptMAX.pixels.y = 20;
    static_cast<SizedSection*>(bar->m_sections[0])->across = 60;
    size = {100, 40};
    bar->AdjustForMinimumSize(&size, &origin, 1);
    EXPECT_EQ(400, size.cx);   // the minimum rule raises past the room
    EXPECT_EQ(20, size.cy);
}

TEST_F(LayoutTest, SizeChangesKeepTheAnchoredSide) {
    CVellumMenuObject* bar = EdgeBar(200, 30);
    Add(bar, 50, true, 10, -1, 10);
    bar->m_sections[0]->MaxItems = -2;
    bar->bRestrictMaximumSize = FALSE;
    struct Case {
        const char* name;
        bool autohide;
        int autohide_edge;
        int drag_edge;
        bool moving_left;
        bool keep_anchored;
        RECT expected;
    };
    const Case cases[] = {
        {"free bar grows right", false, -1, 0, false, false, {500, 100, 760, 130}},
        {"autohide docked right grows left", true, 2, 0, false, false, {440, 100, 700, 130}},
        {"dragging the left edge", false, -1, 3, false, false, {440, 100, 700, 130}},
        {"dragging the right edge of a left-growing bar", false, -1, 4, true, false,
         {500, 100, 760, 130}},
        {"autohide docked left grows right", true, 0, 0, true, false, {500, 100, 760, 130}},
        {"kept anchored", true, 2, 3, true, true, {500, 100, 760, 130}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar->UseAutohide = c.autohide ? TRUE : FALSE;
        bar->m_autohide.edge = c.autohide_edge;
        bar->m_resizeEdge = 0;
        bar->ResizingMovingLeft = c.moving_left ? TRUE : FALSE;
        bar->m_keepSizeAnchored = c.keep_anchored ? TRUE : FALSE;
        bar->m_placement.LastPos = POINT{500, 100};
        bar->m_placement.LastSize = SIZE{200, 30};
        SIZE size = {260, 30};
        RECT out;
        SIZE delta;
        ASSERT_EQ(1, bar->CorrectAutoSizeChange(&size, &out, c.drag_edge, nullptr, &delta, 0));
        EXPECT_EQ(c.expected.left, out.left);
        EXPECT_EQ(c.expected.right, out.right);
        EXPECT_EQ(c.expected.top, out.top);
        EXPECT_EQ(c.expected.bottom, out.bottom);
        EXPECT_EQ(60, delta.cx);
        EXPECT_EQ(0, delta.cy);
    }
    // The value forms give the same answer.
    bar->UseAutohide = TRUE;
    bar->m_autohide.edge = 2;
    bar->m_keepSizeAnchored = FALSE;
    int x = 500, y = 100, cx = 260, cy = 30;
    EXPECT_EQ(1, bar->CorrectAutoSizeChange(&x, &y, &cx, &cy, 0, nullptr, 0));
    EXPECT_EQ(440, x);
    EXPECT_EQ(260, cx);
    EXPECT_EQ(0, bar->CorrectAutoSizeChange(nullptr, nullptr, 0, nullptr, nullptr, 0));
}

}  // namespace
}  // namespace drawing_test
