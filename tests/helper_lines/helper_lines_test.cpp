// The theme editor's helper lines on real bars and a real tree: when the
// overlay window exists, what the bar and the tree rows show, and what ends it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/global_settings.h"
#include "shell/helper_lines.h"
#include "shell/startup.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

constexpr int kSectionWidth = 20;
constexpr int kBarHeight = 30;
constexpr int kBarLeft = 40, kBarTop = 200;

HWND Main() {
    static HWND main = [] {
        InstallBarHostServices();
        RegisterHelperLinesClass(GetModuleHandleA(nullptr));
        return CreateStandInMainWindow("HelperLinesTestMain", testing_support::ShellMainWindowProc);
    }();
    return main;
}

// A section of a fixed width that draws nothing: the bar's white background
// shows wherever no mark lies.
class FixedSection : public CVellumMenuSection {
public:
    explicit FixedSection(CVellumMenuObject* bar) : CVellumMenuSection(bar, 1, 0) {}
    SIZE CalcIdealSize() override {
        return IsHidden ? SIZE{0, 0} : SIZE{kSectionWidth, kBarHeight};
    }
    SIZE CalcMinMaxSize(int) override { return CalcIdealSize(); }
    int SetSectionRect(int a, int b, int c, int d, int swap) override {
        m_outerRect = swap ? RECT{b, a, d, c} : RECT{a, b, c, d};
        m_innerRect = m_outerRect;
        return 1;
    }
    void Draw(HDC, int, int) override {}
};

// The editor as the overlay sees it: a window with a tree that holds a row
// per section.
std::map<const CVellumMenuSection*, HTREEITEM> g_rows;

HTREEITEM RowOfSection(HWND, const CVellumMenuSection* section) {
    auto found = g_rows.find(section);
    return found == g_rows.end() ? nullptr : found->second;
}

COLORREF Blended(COLORREF under, COLORREF color) {
    auto mix = [](int a, int b) { return (a * (255 - 0x33) + b * 0x33) / 255; };
    return RGB(mix(GetRValue(under), GetRValue(color)), mix(GetGValue(under), GetGValue(color)),
               mix(GetBValue(under), GetBValue(color)));
}

::testing::AssertionResult Near(COLORREF want, COLORREF got) {
    if (std::abs(GetRValue(want) - GetRValue(got)) <= 3 &&
        std::abs(GetGValue(want) - GetGValue(got)) <= 3 &&
        std::abs(GetBValue(want) - GetBValue(got)) <= 3)
        return ::testing::AssertionSuccess();
    char text[96];
    wsprintfA(text, "want %d,%d,%d got %d,%d,%d", GetRValue(want), GetGValue(want),
              GetBValue(want), GetRValue(got), GetGValue(got), GetBValue(got));
    return ::testing::AssertionFailure() << text;
}

HWND OverlayWindow() { return FindWindowA(kHelperLinesClass, nullptr); }

class HelperLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Main();
        editor_ = CreateWindowExA(WS_EX_TOPMOST, "#32770", "Theme Editor", WS_POPUP | WS_VISIBLE,
                                  500, 20, 260, 400, nullptr, nullptr, nullptr, nullptr);
        tree_ = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, 0, 0, 260, 400,
                                editor_, reinterpret_cast<HMENU>(1034), nullptr, nullptr);
        ASSERT_TRUE(editor_ && tree_);
        row_height_ = TreeView_GetItemHeight(tree_);
    }

    void TearDown() override {
        SetHelperLinesEditor(nullptr);
        ShowHelperLines(nullptr);
        g_rows.clear();
        CloseEveryTestBar();
        if (editor_) DestroyWindow(editor_);
        Settings().bHelperEnabled = 0;
    }

    void AttachEditor() {
        HelperLinesEditor link = {editor_, tree_, RowOfSection};
        SetHelperLinesEditor(&link);
    }

    // A shown bar of n sections; the sections listed in hidden are hidden.
    CVellumMenuObject* NewBar(int n, const std::vector<int>& hidden = {}) {
        auto* bar = new CVellumMenuObject(Main());
        bar->m_neverSave = TRUE;
        bar->bRestrictMaximumSize = FALSE;
        HTREEITEM bar_row = InsertRow(TVI_ROOT, "Bar");
        for (int i = 0; i < n; ++i) {
            auto* section = new FixedSection(bar);
            for (int h : hidden)
                if (h == i) section->IsHidden = TRUE;
            bar->InsertSection(i, section);
            char title[32];
            wsprintfA(title, "Container %d", i + 1);
            g_rows[section] = InsertRow(bar_row, title);
        }
        TreeView_Expand(tree_, bar_row, TVE_EXPAND);
        const int width = (n - static_cast<int>(hidden.size())) * kSectionWidth;
        bar->m_placement.LastSize = SIZE{width, kBarHeight};
        SetWindowPos(bar->m_hWnd, HWND_TOPMOST, kBarLeft, kBarTop, width, kBarHeight,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
        bar->RecalcRects(kRecalcNoRedraw, kRecalcKeepPos);
        bar->UpdateToDrawBitmap(nullptr, nullptr, nullptr);
        PumpFor(50);
        return bar;
    }

    HTREEITEM InsertRow(HTREEITEM parent, const char* text) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>(text);
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }

    // The colour at the middle of a section, as the bar shows it on screen.
    COLORREF SectionCentre(CVellumMenuObject* bar, const CVellumMenuSection* section) {
        RECT window = {};
        GetWindowRect(bar->m_hWnd, &window);
        ScreenCapture capture(window);
        const RECT& r = section->m_outerRect;
        return capture.Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    HWND editor_ = nullptr;
    HWND tree_ = nullptr;
    int row_height_ = 0;
};

// The overlay window exists only while a bar is highlighted and the editor's
// tree is there; the tree rows are 2 pixels taller exactly as long.
TEST_F(HelperLinesTest, OverlayExistsOnlyWithABarAndTheEditorsTree) {
    CVellumMenuObject* bar = NewBar(3);
    CVellumMenuObject* other = NewBar(2);

    ShowHelperLines(bar);
    EXPECT_EQ(nullptr, OverlayWindow()) << "no editor tree, no overlay";
    EXPECT_EQ(bar, GetHelperLinesBar());

    AttachEditor();
    struct Case {
        const char* what;
        std::function<void()> act;
        bool overlay;
        CVellumMenuObject* highlighted;
    };
    const Case cases[] = {
        {"a header row selected", [&] { ShowHelperLines(nullptr); }, false, nullptr},
        {"a bar node selected", [&] { ShowHelperLines(bar); }, true, bar},
        {"a header row again", [&] { ShowHelperLines(nullptr); }, false, nullptr},
        {"the switch turned on", [&] { SetHelperLinesSwitch(true, other); }, true, other},
        {"another bar selected", [&] { ShowHelperLines(bar); }, true, bar},
        {"the same bar again", [&] { ShowHelperLines(bar); }, true, bar},
        {"another bar closes", [&] { CloseTestBar(other, true); }, true, bar},
        {"the switch turned off", [&] { SetHelperLinesSwitch(false, bar); }, false, nullptr},
        {"the switch on again", [&] { SetHelperLinesSwitch(true, bar); }, true, bar},
        {"the editor goes", [&] { SetHelperLinesEditor(nullptr); }, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        HWND overlay = OverlayWindow();
        EXPECT_EQ(c.overlay, overlay != nullptr);
        EXPECT_EQ(c.overlay, AreHelperLinesShown());
        EXPECT_EQ(c.highlighted, GetHelperLinesBar());
        EXPECT_EQ(c.overlay ? row_height_ + 2 : row_height_, TreeView_GetItemHeight(tree_));
        if (overlay) {
            EXPECT_FALSE(IsWindowVisible(overlay));
            LONG_PTR ex_style = GetWindowLongPtrA(overlay, GWL_EXSTYLE);
            EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
            EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
            RECT rect = {};
            GetWindowRect(overlay, &rect);
            EXPECT_EQ(0, rect.left);
            EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rect.right);
        }
    }
    EXPECT_EQ(1, Settings().bHelperEnabled) << "the switch is the global option";
}

// Closing the highlighted bar ends the overlay through the main window's
// "CMenuObject Closing", although the bar no longer counts as live by then.
TEST_F(HelperLinesTest, ClosingTheHighlightedBarEndsTheOverlay) {
    AttachEditor();
    CVellumMenuObject* bar = NewBar(2);
    ShowHelperLines(bar);
    ASSERT_NE(nullptr, OverlayWindow());
    CloseTestBar(bar, true);
    EXPECT_EQ(nullptr, OverlayWindow());
    EXPECT_EQ(nullptr, GetHelperLinesBar());
    EXPECT_EQ(row_height_, TreeView_GetItemHeight(tree_));
}

// Every visible section is tinted in its own colour at 51 of 255; hidden
// sections take none and do not advance the count, so the 21st visible
// section takes colour 0 again. The marks go with the overlay.
TEST_F(HelperLinesTest, EachVisibleSectionIsTintedInItsColour) {
    AttachEditor();
    CVellumMenuObject* bar = NewBar(23, {2});
    ShowHelperLines(bar);
    PumpFor(50);
    const COLORREF white = RGB(255, 255, 255);
    int visible = 0;
    for (int i = 0; i < 23; ++i) {
        CVellumMenuSection* section = bar->m_sections[i];
        SCOPED_TRACE(i);
        if (section->IsHidden) {
            EXPECT_EQ(-1, HelperLineColorOfSection(bar, section));
            continue;
        }
        const int color = visible++ % kHelperLineColorCount;
        EXPECT_EQ(color, HelperLineColorOfSection(bar, section));
        EXPECT_TRUE(Near(Blended(white, HelperLineColor(color)), SectionCentre(bar, section)));
    }
    EXPECT_EQ(0, HelperLineColorOfSection(bar, bar->m_sections[21])) << "the 21st visible section";

    ShowHelperLines(nullptr);
    PumpFor(50);
    EXPECT_TRUE(Near(white, SectionCentre(bar, bar->m_sections[0])));
}

// Hiding a section shifts the colours of the sections after it.
TEST_F(HelperLinesTest, HidingASectionShiftsTheColoursAfterIt) {
    AttachEditor();
    CVellumMenuObject* bar = NewBar(4);
    ShowHelperLines(bar);
    EXPECT_EQ(2, HelperLineColorOfSection(bar, bar->m_sections[2]));
    bar->m_sections[1]->IsHidden = TRUE;
    EXPECT_EQ(1, HelperLineColorOfSection(bar, bar->m_sections[2]));
    EXPECT_EQ(2, HelperLineColorOfSection(bar, bar->m_sections[3]));
}

// The tree row of each section is tinted in the section's colour over the
// node's icon area while the overlay exists, and plain again after.
TEST_F(HelperLinesTest, TreeRowsTakeTheirSectionsColours) {
    AttachEditor();
    CVellumMenuObject* bar = NewBar(3);
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    auto row_pixel = [&](int section) {
        RECT row = {};
        TreeView_GetItemRect(tree_, g_rows[bar->m_sections[section]], &row, TRUE);
        UpdateWindow(tree_);
        PumpFor(50);
        RECT window = {};
        GetWindowRect(tree_, &window);
        ScreenCapture capture(window);
        // Just left of the text, inside the widened mark and clear of its outline.
        return capture.Pixel(row.left - 6, (row.top + row.bottom) / 2 + 1);
    };

    ShowHelperLines(bar);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(Near(Blended(background, HelperLineColor(i)), row_pixel(i)));
    }
    ShowHelperLines(nullptr);
    EXPECT_TRUE(Near(background, row_pixel(1)));
}

}  // namespace
