// Preview pictures: the capture area each kind chooses on the test screen,
// and the BMP files written for bars and themes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "model/bar_screenshot.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "tests/browser/browser_fixture.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/test_support.h"
#include "util/dib_files.h"
#include "util/text.h"

using namespace browser_test;
using namespace testing_support;

namespace {

struct BarSpec {
    RECT rect;
    int sections = 0;
    int items = 0;        // in the first section
    int separators = 0;   // of those items
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
    char text[80];
    tess::FormatText(text, sizeof(text), "{%ld, %ld, %ld, %ld}", r.left, r.top, r.right, r.bottom);
    return text;
}

class ScreenshotTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The cases below need room for bars 8 tiles apart.
        ASSERT_GE(W, 1000);
        ASSERT_GE(H, 700);
    }
    const LONG W = GetSystemMetrics(SM_CXSCREEN);
    const LONG H = GetSystemMetrics(SM_CYSCREEN);
    void TearDown() override { CloseAll(); }

    CVellumMenuObject* Make(const BarSpec& spec) {
        CVellumMenuObject* bar = NewBar(spec.rect.left, spec.rect.top, spec.rect.right - spec.rect.left,
                                        spec.rect.bottom - spec.rect.top);
        EXPECT_NE(nullptr, bar->m_hWnd);
        // Kept in a file: it takes part in the theme's picture.
        tess::CopyText(bar->m_barFile, "Z:\\nowhere\\bar.tsbar");
        for (int s = 0; s < spec.sections; ++s) {
            auto* section = new CVellumMenuSection(bar, s + 1, 0);
            bar->InsertSection(-1, section);
            if (s == 0)
                for (int i = 0; i < spec.items; ++i) {
                    auto* item = new CVellumMenuItem(bar, section, const_cast<char*>(""));
                    item->Separator = i < spec.separators;
                    section->InsertItem(-1, item);
                }
        }
        bars_.push_back(bar);
        return bar;
    }
    void CloseAll() {
        for (CVellumMenuObject* bar : bars_) CloseBar(bar);
        bars_.clear();
    }

    std::vector<CVellumMenuObject*> bars_;
    TempFolder temp_;
};

}  // namespace

TEST_F(ScreenshotTest, EachKindChoosesItsCaptureArea) {
    struct Case {
        const char* name;
        std::vector<BarSpec> bars;
        int kind;
        RECT expected;
    };
    const Case cases[] = {
        // No bar is small: the largest bar, its left end in 2 x 2 tiles.
        {"one full-width taskbar", {{{0, 0, W, 30}, 1, 1}}, 0, {0, 0, 200, 150}},
        {"two small bars", {{{100, 100, 150, 120}, 1, 1}, {{300, 200, 350, 220}, 1, 1}}, 0, {100, 67, 350, 254}},
        // Their extent needs 9 tiles across: the largest bar instead.
        {"three small bars far apart",
         {{{0, 500, 50, 520}, 1, 1}, {{400, 500, 450, 520}, 2, 1}, {{850, 500, 900, 520}, 1, 1}},
         0, {400, 492, 450, 529}},
        {"kind 4 without a usable area", {{{0, 0, W, 30}, 1, 1}}, 4, {0, 0, W, H}},
        {"kind 2 without bars", {}, 2, {0, 0, W, H}},
        {"kind 1", {{{100, 100, 150, 120}, 1, 1}}, 1, {0, 0, W, H}},
        // Sections first, then items that are not separators, then the
        // earlier bar: the third one wins.
        {"largest bar by sections, items, order",
         {{{0, 0, 300, 40}, 1, 9}, {{0, 200, 300, 240}, 2, 0}, {{0, 400, 300, 440}, 2, 2, 1},
          {{0, 600, 300, 640}, 2, 1}},
         2, {0, 383, 100, 458}},
        {"kind 3 half size", {{{500, 500, 600, 540}, 2, 1}}, 3, {450, 445, 650, 595}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const BarSpec& spec : c.bars) Make(spec);
        const RECT area = ChooseCaptureArea(c.kind);
        EXPECT_TRUE(SameRect(c.expected, area)) << Text(area);
        CloseAll();
    }
}

TEST_F(ScreenshotTest, LayoutTable) {
    struct Case {
        RECT in;
        int n;
        RECT out;
    };
    const Case cases[] = {
        {{300, 300, 450, 350}, -1, {300, 269, 450, 381}},    // 150 x 50 alone: 4:3, 150 x 112
        {{100, 100, 400, 300}, 1, {100, 100, 200, 175}},     // larger than one tile: cut at its top-left
        {{0, H - 24, 1000, H}, -1, {0, H - 150, 200, H}},    // 1000 x 24: 2 tiles, pushed up from the bottom
        {{W - 30, 10, W, 20}, 1, {W - 100, 0, W, 75}},       // moved back from the right and top
        {{W - 80, H - 24, W, H}, 0, {W - 80, H - 60, W, H}}, // 4:3 kept inside the screen
    };
    for (const Case& c : cases) {
        RECT r = c.in;
        LayoutCaptureArea(&r, c.n);
        EXPECT_TRUE(SameRect(c.out, r)) << Text(c.in) << " n " << c.n << " -> " << Text(r);
    }
    EXPECT_EQ(0, TilesForArea(RECT{0, 0, 500, 375}));
    EXPECT_EQ(2, TilesForArea(RECT{0, 0, 1024, 30}));
    EXPECT_EQ(1, TilesForArea(RECT{0, 0, 600, 30}));
    EXPECT_EQ(2, TilesForArea(RECT{0, 0, 1280, 1024}));
    EXPECT_EQ(1, TilesForArea(RECT{0, 0, 30, 450}));
}

TEST_F(ScreenshotTest, SavingABarWritesItsPictureInTheSkinsColour) {
    const std::string skin = temp_.File("blue.tsskin");
    ASSERT_TRUE(temp_.Write("blue.tsskin", "[General]\r\nBackgroundColor=0 0 255\r\n"));
    for (bool visible : {true, false}) {
        SCOPED_TRACE(visible ? "visible" : "hidden");
        const std::string name = visible ? "Shown" : "Hidden";
        const std::string file = temp_.File(name + ".tsbar");
        ASSERT_TRUE(temp_.Write(name + ".tsbar", "[Object]\r\nTitle=" + name +
                                                     "\r\nLastPos.x=300\r\nLastPos.y=300\r\nLastSize.cx=150\r\n"
                                                     "LastSize.cy=50\r\n"));
        CVellumMenuObject* bar = NewBar(300, 300, 150, 50);
        bars_.push_back(bar);
        char path[MAX_PATH], skin_path[MAX_PATH];
        tess::CopyText(path, file.c_str());
        tess::CopyText(skin_path, skin.c_str());
        bar->LoadTheme(path, 1, skin_path);
        if (visible) bar->Show(1);
        ASSERT_NE(0, bar->Save(path));
        const BmpFile bmp = ReadBmp(temp_.File(name + "_ss.bmp"));
        ASSERT_TRUE(bmp.valid);
        EXPECT_EQ("BM", bmp.signature);
        EXPECT_EQ(30054u, bmp.size);
        EXPECT_EQ(100, bmp.width);
        EXPECT_EQ(75, bmp.height);   // positive: bottom-up
        EXPECT_EQ(32, bmp.bits);
        EXPECT_EQ(BI_RGB, bmp.compression);
        // 150 x 50 in 150 x 112: the bar fills the middle band.
        const COLORREF middle = bmp.Pixel(50, 37);
        EXPECT_GT(GetBValue(middle), 200) << std::hex << middle;
        EXPECT_LT(GetRValue(middle), 60) << std::hex << middle;
        CloseAll();
    }
}

TEST_F(ScreenshotTest, KindFiveLeavesAnExistingPictureAlone) {
    const std::string file = temp_.File("Mine_ss.bmp");
    const std::string mine = "BM my own picture";
    ASSERT_TRUE(temp_.Write("Mine_ss.bmp", mine));
    Make({{100, 100, 150, 120}, 1, 1});
    EXPECT_EQ(0, SaveScreenshotBitmap(file.c_str(), nullptr, 5));
    EXPECT_EQ(mine, ReadFileBytes(file));
    // Any other kind replaces it.
    EXPECT_EQ(1, SaveScreenshotBitmap(file.c_str(), nullptr, 0));
    EXPECT_EQ(30054u, ReadFileBytes(file).size());
}

TEST_F(ScreenshotTest, TiledWallpaperShowsBothColours) {
    const std::string wallpaper = temp_.File("tile.bmp");
    ASSERT_TRUE(skin_fixtures::WriteBmp(wallpaper, 64, 64, [](int x, int) {
        return x < 32 ? RGB(255, 0, 0) : RGB(0, 255, 0);
    }));
    DesktopValues desktop;
    desktop.Set("Wallpaper", wallpaper.c_str());
    desktop.Set("TileWallpaper", "1");
    desktop.Set("WallpaperStyle", "0");
    // A small bar, so the wallpaper is only shrunk by 1.5.
    CVellumMenuObject* bar = Make({{0, 600, 150, 650}, 1, 1});
    const std::string file = temp_.File("wall_ss.bmp");
    ASSERT_EQ(1, SaveScreenshotBitmap(file.c_str(), bar, 0));
    const BmpFile bmp = ReadBmp(file);
    ASSERT_TRUE(bmp.valid);
    int red = 0, green = 0;
    for (int y = 0; y < 15; ++y)   // above the bar
        for (int x = 0; x < 100; ++x) {
            const COLORREF c = bmp.Pixel(x, y);
            if (GetRValue(c) > 200 && GetGValue(c) < 60) ++red;
            if (GetGValue(c) > 200 && GetRValue(c) < 60) ++green;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(green, 100);
}

TEST_F(ScreenshotTest, AFailedWriteReportsFailureAndLeavesNoFile) {
    const std::string missing_folder = temp_.File("no such folder\\x_ss.bmp");
    Make({{100, 100, 150, 120}, 1, 1});
    EXPECT_EQ(0, SaveScreenshotBitmap(missing_folder.c_str(), nullptr, 0));
    EXPECT_FALSE(FileExistsOnDisk(missing_folder));

    // A header that claims more rows than the bitmap has: GetDIBits fails,
    // nothing is written and an old file is not left half-replaced.
    HBITMAP dib = ::CreateDib32(10, 10);
    ASSERT_NE(nullptr, dib);
    BITMAPINFOHEADER* header = BitmapInfoForDib(dib);
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(32, header->biBitCount);
    EXPECT_EQ(10, header->biHeight);
    const std::string file = temp_.File("x.bmp");
    HDC dc = GetDC(nullptr);
    EXPECT_TRUE(SaveDibToFile(file.c_str(), header, dib, dc));
    EXPECT_EQ(54u + 400u, ReadFileBytes(file).size());
    EXPECT_FALSE(SaveDibToFile(temp_.File("missing\\y.bmp").c_str(), header, dib, dc));
    EXPECT_FALSE(SaveDibToFile(file.c_str(), header, nullptr, dc));
    ReleaseDC(nullptr, dc);
    LocalFree(header);
    DeleteObject(dib);
    EXPECT_EQ(nullptr, BitmapInfoForDib(nullptr));
}
