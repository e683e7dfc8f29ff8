// Real bar windows drawn through their memory bitmap: window regions and
// layered transparency from the skin, the title strip on screen, skin reloads.
#include <string>
#include "drawing_fixture.h"
#include "model/bar_host.h"
#include "util/handles.h"
#include "util/text.h"

namespace drawing_test {
namespace {

using testing_support::PumpFor;
using testing_support::ScreenCapture;

// 12 x 12 with magenta 4 x 4 corners and grey elsewhere.
COLORREF CornerPixel(int x, int y) {
    bool corner_x = x < 4 || x >= 8;
    bool corner_y = y < 4 || y >= 8;
    return corner_x && corner_y ? RGB(255, 0, 255) : RGB(128, 128, 128);
}

std::string BackgroundSkin(const std::string& general) {
    return "[General]\r\n" + general +
           "[TaskbarBackgroundSkin]\r\nhBitmap=corners.bmp\r\nLeftWidth=4\r\nRightWidth=4\r\n"
           "TopHeight=4\r\nBottomHeight=4\r\n";
}

bool InRegion(HRGN region, int x, int y) {
    return PtInRegion(region, x, y) != FALSE;
}

class BarWindowDrawingTest : public DrawingTest {
protected:
    void SetUp() override { ASSERT_TRUE(skins_.Bitmap("corners.bmp", 12, 12, CornerPixel)); }
};

TEST_F(BarWindowDrawingTest, RegionSkinsCutTheMagentaCornersOut) {
    struct Case {
        const char* name;
        const char* general;
        // Pixels expected inside the window region.
        bool top_left, just_inside_left, top_right, middle;
    };
    const Case cases[] = {
        // A region rebuilt only on resize asks for a real region.
        {"OnlyUpdateRegionOnResize", "UseRegions=1\r\nOnlyUpdateRegionOnResize=1\r\n", false, false,
         false, true},
        // Only the left border strip is scanned; the rest counts as solid.
        {"RegionBorder_Left=3", "UseRegions=1\r\nRegionBorder_Left=3\r\n", false, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = NewBar(200, 40);
        ASSERT_TRUE(ApplySkin(bar, skins_.Write("region.tsskin", BackgroundSkin(c.general))));
        EXPECT_FALSE(bar->m_colorKeyOn);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(ERROR, GetWindowRgn(bar->m_hWnd, region));
        EXPECT_EQ(c.top_left, InRegion(region, 0, 0));
        EXPECT_EQ(c.top_left, InRegion(region, 0, 39));
        EXPECT_EQ(c.just_inside_left, InRegion(region, 3, 3));
        EXPECT_EQ(c.top_right, InRegion(region, 199, 0));
        EXPECT_EQ(c.middle, InRegion(region, 100, 20));
        EXPECT_TRUE(InRegion(region, 4, 0));   // the top edge between the corners
        DeleteObject(region);
        CloseBar(bar);
    }
}

// The same skin named by a bar file: loading the file gives the window its
// region, and a new size gives it the region of that size.
TEST_F(BarWindowDrawingTest, ABarFileWithARegionSkinCutsTheCornersOut) {
    skins_.Write("region.tsskin", BackgroundSkin("UseRegions=1\r\nOnlyUpdateRegionOnResize=1\r\n"));
    const std::string bar_file = skins_.Write(
        "Region.tsbar",
        "[Object]\r\nTitle=Region\r\nLastSkin=region.tsskin\r\nLastSize.cx=200\r\nLastSize.cy=40\r\n"
        "bRestrictMaximumSize=0\r\n[Section1]\r\nTitle=Only\r\nProperties.Type=Default\r\n");
    CVellumMenuObject* bar = NewBar(200, 40);
    ASSERT_EQ(1, bar->LoadTheme(const_cast<char*>(bar_file.c_str()), 0, nullptr));
    bar->RedrawVellumWindow();
    RECT window;
    GetWindowRect(bar->m_hWnd, &window);
    const int w = window.right - window.left, h = window.bottom - window.top;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(bar->m_hWnd, region));
    EXPECT_FALSE(InRegion(region, 0, 0));
    EXPECT_FALSE(InRegion(region, w - 1, h - 1));
    EXPECT_TRUE(InRegion(region, w / 2, h / 2));
    EXPECT_TRUE(InRegion(region, 4, 0));

    bar->SetPos(-1, -1, w + 100, h + 20, nullptr, 0, 0, 0);
    bar->RedrawVellumWindow();
    ASSERT_NE(ERROR, GetWindowRgn(bar->m_hWnd, region));
    EXPECT_FALSE(InRegion(region, w + 99, h + 19));   // the new corner is cut
    EXPECT_TRUE(InRegion(region, w - 1, h - 1));      // the old one is whole now
    EXPECT_TRUE(InRegion(region, w + 50, h / 2));
    DeleteObject(region);
    CloseBar(bar);
}

// A section that paints its rectangle in a colour the test chooses.
class PaintingSection : public SizedSection {
public:
    explicit PaintingSection(CVellumMenuObject* bar) : SizedSection(bar, 50, 20, false) {}
    void Draw(HDC dc, int, int) override {
        tess::ScopedBrush brush(CreateSolidBrush(fill));
        FillRect(dc, &m_outerRect, brush.get());
    }
    COLORREF fill = RGB(0, 128, 0);
};

TEST_F(BarWindowDrawingTest, SectionRedrawsUpdateOnlyTheirPartOfTheRegion) {
    struct Case {
        const char* name;
        const char* general;
        bool cut_at_once;   // the section's rectangle is recomputed by its own redraw
    };
    const Case cases[] = {
        {"region border", "UseRegions=1\r\nRegionBorder_Left=100\r\nEdgeBuffer=10\r\n", true},
        {"only on resize", "UseRegions=1\r\nOnlyUpdateRegionOnResize=1\r\nEdgeBuffer=10\r\n",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = NewBar(200, 40);
        auto* section = new PaintingSection(bar);
        bar->InsertSection(-1, section);
        ASSERT_TRUE(ApplySkin(bar, skins_.Write("part.tsskin", BackgroundSkin(c.general))));
        ASSERT_EQ(10, section->m_outerRect.left);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(ERROR, GetWindowRgn(bar->m_hWnd, region));
        EXPECT_TRUE(InRegion(region, 35, 20));

        section->fill = RGB(255, 0, 255);
        RECT part = section->m_outerRect;
        bar->UpdateToDrawBitmap(section, nullptr, &part);
        ASSERT_NE(ERROR, GetWindowRgn(bar->m_hWnd, region));
        EXPECT_EQ(!c.cut_at_once, InRegion(region, 35, 20));
        EXPECT_FALSE(InRegion(region, 0, 0));   // the corner stays cut
        EXPECT_TRUE(InRegion(region, 80, 20));

        // A full redraw after a size change rebuilds it in any case.
        bar->m_regionDirty = TRUE;
        bar->RedrawVellumWindow();
        ASSERT_NE(ERROR, GetWindowRgn(bar->m_hWnd, region));
        EXPECT_FALSE(InRegion(region, 35, 20));
        DeleteObject(region);
        CloseBar(bar);
    }
}

TEST_F(BarWindowDrawingTest, ColorKeySkinsUseALayeredWindowAndTheAlphaTable) {
    const std::string path =
        skins_.Write("key.tsskin", BackgroundSkin("UseRegions=1\r\nAlpha=200\r\n"));
    struct Case {
        int alpha;
        BYTE expected_alpha;
        DWORD expected_flags;
    };
    const Case cases[] = {
        {0, 255, LWA_COLORKEY},                  // 0 counts as opaque
        {300, 255, LWA_COLORKEY},                // above 255 too
        {128, 128, LWA_COLORKEY | LWA_ALPHA},
        {-1, 200, LWA_COLORKEY | LWA_ALPHA},     // the skin's
    };
    CVellumMenuObject* bar = NewBar(200, 40);
    ASSERT_TRUE(ApplySkin(bar, path));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alpha);
        bar->Alpha = c.alpha;
        bar->UpdateAlpha();
        EXPECT_EQ(c.expected_alpha, bar->GetAlpha());
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(bar->m_hWnd, &key, &alpha, &flags));
        EXPECT_EQ(RGB(255, 0, 255), key);
        EXPECT_EQ(c.expected_flags, flags);
        if (flags & LWA_ALPHA) {
            EXPECT_EQ(c.expected_alpha, alpha);
        }
        // A second call changes nothing.
        EXPECT_EQ(0, bar->UpdateAlpha());
    }
    // With the colour key in force the window has no region.
    bar->RedrawVellumWindow();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(bar->m_hWnd, region));
    DeleteObject(region);
}

TEST_F(BarWindowDrawingTest, PlainSkinsAreLayeredOnlyWhenTranslucent) {
    CVellumMenuObject* bar = NewBar(200, 40);
    ASSERT_TRUE(ApplySkin(bar, skins_.Write("plain.tsskin", "[General]\r\nAlpha=128\r\n")));
    EXPECT_TRUE(GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(bar->m_hWnd, &key, &alpha, &flags));
    EXPECT_EQ(static_cast<DWORD>(LWA_ALPHA), flags);
    EXPECT_EQ(128, alpha);
    bar->Alpha = 255;
    EXPECT_EQ(1, bar->UpdateAlpha());
    EXPECT_FALSE(GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

bool IsRed(COLORREF c) {
    return GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90;
}

TEST_F(BarWindowDrawingTest, TitleStripShowsOnlyInItsBand) {
    struct Case {
        int offset;
        int band_top, band_bottom;
    };
    // A negative offset counts up from the bottom edge.
    const Case cases[] = {{4, 4, 54}, {-4, 120 - 4 - 50, 120 - 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        std::string general = "BackgroundColor=0 0 255\r\nTitleFont=Arial\r\nTitleFontSize=20\r\n"
                              "TitleTextColor=255 0 0\r\nTitleOffset_Left=10\r\nTitleOffset_Top=" +
                              std::to_string(c.offset) + "\r\n";
        CVellumMenuObject* bar = NewBar(300, 120);
        bar->ShowTitle = TRUE;
        bar->SetTitle(const_cast<char*>("WMWMWMWMWMWMWMWMWMWM"));
        ASSERT_TRUE(ApplySkin(bar, skins_.Write("title.tsskin", "[General]\r\n" + general)));
        SetWindowPos(bar->m_hWnd, HWND_TOPMOST, 60, 60, 300, 120,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
        PumpFor(100);
        bar->RedrawVellumWindow();
        PumpFor(100);

        ScreenCapture capture(RECT{60, 60, 360, 180});
        ASSERT_TRUE(capture.Valid());
        int inside = 0, outside = 0, blue = 0;
        for (int y = 0; y < capture.Height(); ++y) {
            for (int x = 0; x < capture.Width(); ++x) {
                COLORREF pixel = capture.Pixel(x, y);
                if (pixel == RGB(0, 0, 255)) ++blue;
                if (!IsRed(pixel)) continue;
                if (y >= c.band_top && y < c.band_bottom && x >= 10) ++inside;
                else ++outside;
            }
        }
        EXPECT_GT(inside, 20);
        EXPECT_EQ(0, outside);
        EXPECT_GT(blue, 300 * 120 / 2);   // the skin's background around it
        CloseBar(bar);
    }
}

namespace {

// What the shell's title service answers; null: it knows no title.
const char* g_shell_title = nullptr;

bool ShellTitle(char* buffer, size_t size) {
    if (!g_shell_title) return false;
    tess::CopyText(buffer, size, g_shell_title);
    return true;
}

// Puts the service entry back whatever a test does with it.
struct TitleServiceEntry {
    bool (*saved)(char*, size_t) = GetBarHostServices().GetActiveWindowTitle;
    ~TitleServiceEntry() { GetBarHostServices().GetActiveWindowTitle = saved; }
    void Set(bool (*entry)(char*, size_t)) { GetBarHostServices().GetActiveWindowTitle = entry; }
};

// The bar drawn into a memory bitmap: the right edge of its red (title)
// pixels, -1 when there are none.
int RightmostRedDrawn(CVellumMenuObject* bar, int width, int height) {
    tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
    tess::ScopedBitmap bitmap(testing_support::CreateDib32(width, height));
    if (!dc || !bitmap) return -2;
    tess::ScopedSelect select(dc.get(), bitmap.get());
    bar->Draw(dc.get(), nullptr, 0);
    GdiFlush();
    int right = -1;
    for (int y = 0; y < height; ++y)
        for (int x = right + 1; x < width; ++x)
            if (IsRed(GetPixel(dc.get(), x, y))) right = x;
    return right;
}

}  // namespace

// A bar that shows the active window's title asks the shell for it, and
// falls back to its own title when the shell knows none.
TEST_F(BarWindowDrawingTest, TitleStripTakesTheActiveWindowsTitleFromTheShell) {
    enum Shown { kNothing, kOwnTitle, kShellTitle };
    struct Case {
        const char* name;
        BOOL use_active_title;
        bool shell_service;        // the shell filled the table entry
        const char* shell_title;   // null: the shell knows no title
        const char* own_title;
        Shown shown;
    };
    const char* const kShort = "W";
    const char* const kLong = "WMWMWMWMWMWMWM";
    const Case cases[] = {
        {"asked, the shell knows the title", TRUE, true, kLong, kShort, kShellTitle},
        {"not asked", FALSE, true, kLong, kShort, kOwnTitle},
        {"asked, no shell", TRUE, false, nullptr, kShort, kOwnTitle},
        {"asked, the shell knows none", TRUE, true, nullptr, kShort, kOwnTitle},
        {"asked, the shell's title is empty", TRUE, true, "", kShort, kOwnTitle},
        {"asked, no title anywhere", TRUE, true, nullptr, "", kNothing},
    };
    TitleServiceEntry entry;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = NewBar(300, 120);
        bar->ShowTitle = TRUE;
        bar->bUseActiveWindowsTitle = c.use_active_title;
        bar->SetTitle(const_cast<char*>(c.own_title));
        ASSERT_TRUE(ApplySkin(bar, skins_.Write("title.tsskin",
                                                "[General]\r\nBackgroundColor=0 0 255\r\n"
                                                "TitleFont=Arial\r\nTitleFontSize=20\r\n"
                                                "TitleTextColor=255 0 0\r\nTitleOffset_Left=10\r\n"
                                                "TitleOffset_Top=4\r\n")));
        entry.Set(c.shell_service ? ShellTitle : nullptr);
        g_shell_title = c.shell_title;
        const int right = RightmostRedDrawn(bar, 300, 120);
        switch (c.shown) {
        case kNothing: EXPECT_EQ(-1, right); break;
        case kOwnTitle: EXPECT_GE(right, 10); EXPECT_LT(right, 60); break;
        case kShellTitle: EXPECT_GT(right, 120); break;
        }
        CloseBar(bar);
    }
}

TEST_F(BarWindowDrawingTest, ABarAlwaysKeepsASkin) {
    CVellumMenuObject* bar = NewBar(200, 40);
    ASSERT_NE(nullptr, bar->m_skin);   // the placeholder from the start
    ASSERT_TRUE(ApplySkin(bar, skins_.Write("good.tsskin", "[General]\r\nEdgeBuffer=7\r\n")));
    SkinRecord* good = bar->m_skin;
    EXPECT_EQ(7, good->EdgeBuffer.left);
    // A pending skin whose path cannot be taken (too long once made absolute)
    // fails to load: the bar keeps the skin it had and says so.
    std::string too_long(260, 'x');
    tess::CopyText(bar->m_pendingSkinPath, too_long.c_str());
    EXPECT_EQ(0, bar->ReloadSkin(0));
    EXPECT_EQ(good, bar->m_skin);
    EXPECT_EQ(0, bar->m_pendingSkinPath[0]);
    // Reloading in place keeps the same record, and its reference count.
    int count = good->reference_count;
    EXPECT_EQ(1, bar->ReloadSkin(1));
    EXPECT_EQ(good, bar->m_skin);
    EXPECT_EQ(count, good->reference_count);
}

}  // namespace
}  // namespace drawing_test
