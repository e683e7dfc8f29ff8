// The nine-grid painter and the part blitter on 32-bit DIBs: borders,
// stretched and tiled middles, OmitCenter, animation frames, colour keys,
// per-pixel alpha and targets smaller than the borders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "skins/skin_painting.h"
#include "tests/skin_painting/painting_canvas.h"

using painting::Canvas;
using painting::kGrey;
using painting::SkinFolder;
using painting::SourceColor;

namespace {

// The source column a painted pixel came from (red = 10 + column).
int ColumnOf(COLORREF c) { return GetRValue(c) - 10; }
int RowOf(COLORREF c) { return (GetGValue(c) - 20) / 8; }

std::string Element(const std::string& name, const std::string& keys) {
    return "[" + name + "]\r\n" + keys;
}

struct GridCase {
    const char* name;
    int bitmap_width, bitmap_height;
    const char* keys;               // after hBitmap
    RECT rect;
    int frame;
    // Expected source column of target x (row ignored), -1 = left unpainted.
    std::function<int(int x)> column;
    int tolerance;                  // for stretched middles
};

}  // namespace

TEST(NineGrid, ColumnsTable) {
    auto stretched = [](int x) {
        if (x < 10) return x;
        if (x >= 90 && x < 100) return 30 + x - 90;
        if (x >= 100) return -1;
        return 10 + (x - 10) * 20 / 80;
    };
    auto tiled = [](int x) {
        if (x < 10) return x;
        if (x >= 90 && x < 100) return 30 + x - 90;
        if (x >= 100) return -1;
        return 10 + (x - 10) % 20;
    };
    const GridCase cases[] = {
        // L = R = 10, CW = 20 into 100 x 30: borders stretched in height only,
        // the middle 80 pixels stretched from 20 ...
        {"stretched", 40, 5, "LeftWidth=10\r\nRightWidth=10\r\n", {0, 0, 100, 30}, 0, stretched, 1},
        // ... or tiled four times.
        {"tiled", 40, 5, "LeftWidth=10\r\nRightWidth=10\r\nTileCenter=1\r\n", {0, 0, 100, 30}, 0,
         tiled, 0},
        // Frame 2 of 60-pixel frames reads from x = 120.
        {"frame_2", 180, 6, "LoopFrames=3\r\n", {0, 0, 60, 6}, 2,
         [](int x) { return x < 60 ? 120 + x : -1; }, 0},
        {"frame_0", 180, 6, "LoopFrames=3\r\n", {0, 0, 60, 6}, 0,
         [](int x) { return x < 60 ? x : -1; }, 0},
        // Borders on a moved rectangle.
        {"offset", 40, 5, "LeftWidth=10\r\nRightWidth=10\r\nTileCenter=1\r\n", {5, 2, 65, 12}, 0,
         [](int x) {
             if (x < 5 || x >= 65) return -1;
             if (x < 15) return x - 5;
             if (x >= 55) return 30 + x - 55;
             return 10 + (x - 15) % 20;
         },
         0},
        // A target narrower than the left border: the border overlaps the
        // rest, but the middle (no room: negative width) is not mirrored over it.
        {"narrower_than_border", 40, 5, "LeftWidth=10\r\n", {0, 0, 6, 5}, 0,
         [](int x) { return x < 10 ? x : -1; }, 0},
    };
    for (const GridCase& c : cases) {
        SCOPED_TRACE(c.name);
        SkinFolder folder;
        ASSERT_TRUE(folder.WriteColumnsBmp("grid.bmp", c.bitmap_width, c.bitmap_height));
        SkinRecord* skin = folder.Load(Element("NormalItemSkin", std::string("hBitmap=grid.bmp\r\n") + c.keys));
        ASSERT_NE(nullptr, skin);
        Canvas canvas(120, 40);
        EXPECT_EQ(1, DrawSkinNineGrid(skin, canvas.dc(), &c.rect, kSkinStateNormalItem, c.frame));
        for (int y : {0, 1, 4, 11, 29, 35}) {
            for (int x = 0; x < canvas.width(); ++x) {
                COLORREF got = canvas.At(x, y);
                int want = y >= c.rect.top && y < c.rect.bottom ? c.column(x) : -1;
                if (want < 0) {
                    ASSERT_EQ(kGrey, got) << "x=" << x << " y=" << y;
                } else {
                    ASSERT_NE(kGrey, got) << "x=" << x << " y=" << y;
                    ASSERT_LE(abs(ColumnOf(got) - want), c.tolerance) << "x=" << x << " y=" << y;
                }
            }
        }
    }
}

TEST(NineGrid, OmitCenterKeepsTopAndBottomMiddles) {
    SkinFolder folder;
    // L = R = T = B = 5 around a 20 x 10 centre.
    ASSERT_TRUE(folder.WriteColumnsBmp("box.bmp", 30, 20));
    const std::string keys = "hBitmap=box.bmp\r\nLeftWidth=5\r\nRightWidth=5\r\nTopHeight=5\r\nBottomHeight=5\r\n";
    for (int omit : {0, 1}) {
        SCOPED_TRACE(omit);
        SkinRecord* skin = folder.Load(Element("NormalItemSkin", keys + "OmitCenter=" +
                                                                     std::to_string(omit) + "\r\n"),
                                       omit ? "omit" : "full");
        ASSERT_NE(nullptr, skin);
        Canvas canvas(70, 50);
        RECT rect = {0, 0, 60, 40};
        ASSERT_EQ(1, DrawSkinNineGrid(skin, canvas.dc(), &rect, kSkinStateNormalItem, 0));
        // Corners one to one.
        EXPECT_EQ(SourceColor(2, 2), canvas.At(2, 2));
        EXPECT_EQ(SourceColor(27, 17), canvas.At(57, 37));
        // Top and bottom middles come from the top and bottom rows.
        COLORREF top = canvas.At(30, 2), bottom = canvas.At(30, 37);
        EXPECT_EQ(2, RowOf(top));
        EXPECT_EQ(17, RowOf(bottom));
        EXPECT_GE(ColumnOf(top), 5);
        EXPECT_LT(ColumnOf(top), 25);
        // Left and right edges: border columns, centre rows.
        COLORREF left = canvas.At(2, 20), right = canvas.At(58, 20);
        EXPECT_EQ(2, ColumnOf(left));
        EXPECT_EQ(28, ColumnOf(right));
        EXPECT_GE(RowOf(left), 5);
        EXPECT_LT(RowOf(left), 15);
        // The centre: unpainted only with OmitCenter.
        for (POINT p : {POINT{30, 20}, POINT{6, 6}, POINT{53, 33}}) {
            COLORREF centre = canvas.At(p.x, p.y);
            if (omit) {
                EXPECT_EQ(kGrey, centre) << p.x << "," << p.y;
            } else {
                EXPECT_GE(ColumnOf(centre), 5) << p.x << "," << p.y;
                EXPECT_LT(ColumnOf(centre), 25) << p.x << "," << p.y;
                EXPECT_GE(RowOf(centre), 5) << p.x << "," << p.y;
                EXPECT_LT(RowOf(centre), 15) << p.x << "," << p.y;
            }
        }
        // Nothing outside the rectangle.
        EXPECT_EQ(kGrey, canvas.At(60, 20));
        EXPECT_EQ(kGrey, canvas.At(30, 40));
    }
}

TEST(NineGrid, TileVCenterTilesEdgesAndCentre) {
    SkinFolder folder;
    // 2-pixel borders all round an 8-row centre, tiled over 26 rows.
    ASSERT_TRUE(folder.WriteColumnsBmp("rows.bmp", 14, 12));
    SkinRecord* skin = folder.Load(Element(
        "NormalItemSkin", "hBitmap=rows.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nTopHeight=2\r\n"
                          "BottomHeight=2\r\nTileVCenter=1\r\n"));
    ASSERT_NE(nullptr, skin);
    Canvas canvas(20, 40);
    RECT rect = {0, 0, 14, 30};
    ASSERT_EQ(1, DrawSkinNineGrid(skin, canvas.dc(), &rect, kSkinStateNormalItem, 0));
    for (int y = 0; y < 30; ++y) {
        int row = y < 2 ? y : y >= 28 ? 10 + y - 28 : 2 + (y - 2) % 8;
        for (int x : {0, 1, 7, 12, 13}) {
            COLORREF got = canvas.At(x, y);
            ASSERT_EQ(row, RowOf(got)) << "x=" << x << " y=" << y;
            if (x < 2 || x >= 12) {
                ASSERT_EQ(x, ColumnOf(got)) << "x=" << x << " y=" << y;
            }
        }
    }
    EXPECT_EQ(kGrey, canvas.At(7, 30));
}

TEST(NineGrid, LowerThanTopBorderDrawsNoMirroredCentre) {
    SkinFolder folder;
    // A 10-pixel top border over a 30-row centre, drawn 6 pixels high: the
    // border overlaps, the centre (height 6 - 10) is skipped.
    ASSERT_TRUE(folder.WriteColumnsBmp("tall.bmp", 5, 40));
    SkinRecord* skin = folder.Load(Element("NormalItemSkin", "hBitmap=tall.bmp\r\nTopHeight=10\r\n"));
    ASSERT_NE(nullptr, skin);
    Canvas canvas(10, 20);
    RECT rect = {0, 0, 5, 6};
    ASSERT_EQ(1, DrawSkinNineGrid(skin, canvas.dc(), &rect, kSkinStateNormalItem, 0));
    for (int y = 0; y < 10; ++y) EXPECT_EQ(SourceColor(2, y), canvas.At(2, y)) << "y=" << y;
    EXPECT_EQ(kGrey, canvas.At(2, 10));
}

TEST(NineGrid, ColourKeyLeavesTargetShowing) {
    SkinFolder folder;
    // Columns 15-24 are magenta and keyed out.
    ASSERT_TRUE(folder.WriteColumnsBmp("keyed.bmp", 40, 5, [](int x) { return x >= 15 && x < 25; }));
    SkinRecord* skin = folder.Load(Element(
        "NormalItemSkin", "hBitmap=keyed.bmp\r\nLeftWidth=10\r\nRightWidth=10\r\nUseTransparency=1\r\n"));
    ASSERT_NE(nullptr, skin);
    Canvas canvas(90, 10);
    RECT rect = {0, 0, 40, 5};
    ASSERT_EQ(1, DrawSkinNineGrid(skin, canvas.dc(), &rect, kSkinStateNormalItem, 0));
    for (int x = 0; x < 40; ++x) {
        COLORREF want = x >= 15 && x < 25 ? kGrey : SourceColor(x, 3);
        EXPECT_EQ(want, canvas.At(x, 3)) << "x=" << x;
    }
    // Stretched 3 times: the keyed source columns cover target 25-54.
    canvas.Fill(kGrey);
    RECT wide = {0, 0, 80, 5};
    ASSERT_EQ(1, DrawSkinNineGrid(skin, canvas.dc(), &wide, kSkinStateNormalItem, 0));
    EXPECT_EQ(SourceColor(12, 1), canvas.At(16, 1));
    EXPECT_EQ(kGrey, canvas.At(40, 1));
    EXPECT_EQ(SourceColor(30, 1), canvas.At(70, 1));
}

TEST(NineGrid, HalfAlphaBlendsOverTheTarget) {
    SkinFolder folder;
    ASSERT_TRUE(folder.WriteSolidTga("half.tga", 20, 4, RGB(255, 0, 0), 128));
    SkinRecord* skin = folder.Load(Element("NormalItemSkin", "hBitmap=half.tga\r\nLeftWidth=4\r\n"));
    ASSERT_NE(nullptr, skin);
    ASSERT_NE(nullptr, skin->states[kSkinStateNormalItem].alpha_pixels);
    struct { COLORREF under, want; } cases[] = {
        {RGB(255, 255, 255), RGB(255, 127, 127)},
        {RGB(0, 0, 0), RGB(128, 0, 0)},
        {RGB(0, 0, 255), RGB(128, 0, 127)},
    };
    for (auto& c : cases) {
        Canvas canvas(50, 12, c.under);
        RECT rect = {0, 0, 40, 8};
        ASSERT_EQ(1, DrawSkinNineGrid(skin, canvas.dc(), &rect, kSkinStateNormalItem, 0));
        for (POINT p : {POINT{1, 1}, POINT{20, 4}, POINT{39, 7}}) {
            COLORREF got = canvas.At(p.x, p.y);
            EXPECT_LE(abs(GetRValue(got) - GetRValue(c.want)), 2) << p.x << "," << p.y;
            EXPECT_LE(abs(GetGValue(got) - GetGValue(c.want)), 2) << p.x << "," << p.y;
            EXPECT_LE(abs(GetBValue(got) - GetBValue(c.want)), 2) << p.x << "," << p.y;
        }
        EXPECT_EQ(c.under, canvas.At(45, 4));
    }
}

TEST(NineGrid, MissingArgumentsDrawNothing) {
    SkinFolder folder;
    ASSERT_TRUE(folder.WriteColumnsBmp("grid.bmp", 40, 5));
    SkinRecord* skin = folder.Load(Element("NormalItemSkin", "hBitmap=grid.bmp\r\n"));
    ASSERT_NE(nullptr, skin);
    Canvas canvas(50, 10);
    RECT rect = {0, 0, 40, 5};
    EXPECT_EQ(0, DrawSkinNineGrid(nullptr, canvas.dc(), &rect, kSkinStateNormalItem, 0));
    EXPECT_EQ(0, DrawSkinNineGrid(skin, nullptr, &rect, kSkinStateNormalItem, 0));
    EXPECT_EQ(0, DrawSkinNineGrid(skin, canvas.dc(), nullptr, kSkinStateNormalItem, 0));
    EXPECT_EQ(0, DrawSkinNineGrid(skin, canvas.dc(), &rect, -1, 0));
    EXPECT_EQ(0, DrawSkinNineGrid(skin, canvas.dc(), &rect, skin->state_count, 0));
    // The mouse-over element has no bitmap.
    EXPECT_EQ(0, DrawSkinNineGrid(skin, canvas.dc(), &rect, kSkinStateMouseoverItem, 0));
    EXPECT_EQ(kGrey, canvas.At(5, 2));
    // The DC's colours are put back.
    SetBkColor(canvas.dc(), RGB(1, 2, 3));
    SetTextColor(canvas.dc(), RGB(4, 5, 6));
    EXPECT_EQ(1, DrawSkinNineGrid(skin, canvas.dc(), &rect, kSkinStateNormalItem, 0));
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(canvas.dc()));
    EXPECT_EQ(RGB(4, 5, 6), GetTextColor(canvas.dc()));
}

namespace {

struct BlitCase {
    const char* name;
    bool tile_h;
    int tile_v;
    RECT target;       // left, top, width, height
    RECT source;       // x, y, width, height
    int result;
    // Source pixel of target (x, y) relative to the target's corner.
    std::function<POINT(int x, int y)> from;
};

}  // namespace

TEST(BlitSkinPart, TilingTable) {
    DWORD* bits = nullptr;
    tess::ScopedBitmap source(testing_support::CreateDib32(8, 6, &bits));
    ASSERT_TRUE(source);
    tess::ScopedMemoryDc source_dc(CreateCompatibleDC(nullptr));
    tess::ScopedSelect select(source_dc.get(), source.get());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) SetPixel(source_dc.get(), x, y, SourceColor(x, y));

    const BlitCase cases[] = {
        {"stretch", false, 0, {2, 1, 10, 8}, {0, 0, 5, 4}, 1,
         [](int x, int y) { return POINT{x / 2, y / 2}; }},
        {"horizontal", true, 0, {2, 1, 12, 8}, {0, 0, 5, 4}, 1,
         [](int x, int y) { return POINT{x % 5, y / 2}; }},
        {"vertical", false, 1, {2, 1, 10, 10}, {0, 0, 5, 4}, 1,
         [](int x, int y) { return POINT{x / 2, y % 4}; }},
        {"both", true, 1, {2, 1, 12, 10}, {0, 0, 5, 4}, 1,
         [](int x, int y) { return POINT{x % 5, y % 4}; }},
        {"both_offset_source", true, 1, {0, 0, 7, 5}, {1, 2, 3, 2}, 1,
         [](int x, int y) { return POINT{1 + x % 3, 2 + y % 2}; }},
        {"negative_width", true, 0, {10, 1, -6, 8}, {0, 0, 5, 4}, 0, nullptr},
        {"zero_height", false, 1, {2, 1, 10, 0}, {0, 0, 5, 4}, 0, nullptr},
        {"empty_source", true, 1, {2, 1, 10, 8}, {0, 0, 0, 4}, 0, nullptr},
    };
    for (const BlitCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(20, 14);
        EXPECT_EQ(c.result, BlitSkinPart(canvas.dc(), source_dc.get(), nullptr, false, false,
                                         c.target.left, c.target.top, c.target.right,
                                         c.target.bottom, c.source.left, c.source.top,
                                         c.source.right, c.source.bottom, c.tile_h, c.tile_v));
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                int dx = x - c.target.left, dy = y - c.target.top;
                bool inside = c.from && dx >= 0 && dy >= 0 && dx < c.target.right &&
                              dy < c.target.bottom;
                COLORREF want = kGrey;
                if (inside) {
                    POINT s = c.from(dx, dy);
                    want = SourceColor(s.x, s.y);
                }
                ASSERT_EQ(want, canvas.At(x, y)) << "x=" << x << " y=" << y;
            }
        }
    }
    EXPECT_EQ(0, BlitSkinPart(nullptr, source_dc.get(), nullptr, false, false, 0, 0, 4, 4, 0, 0, 4,
                              4, false, 0));
}
