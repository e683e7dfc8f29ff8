// Regions cut out of bitmaps, checked pixel by pixel with PtInRegion.
#include <gtest/gtest.h>

#include <functional>

#include "skins/bitmap_helpers.h"
#include "util/handles.h"

namespace {

// A screen-compatible bitmap painted pixel by pixel.
HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& color) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    DWORD* bits = new DWORD[width * height];
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = color(x, y);
            bits[(height - 1 - y) * width + x] = GetBValue(c) | (GetGValue(c) << 8) | (GetRValue(c) << 16);
        }
    SetBitmapBits32(bitmap, 32, bits);
    delete[] bits;
    return bitmap;
}

void ExpectRegionIs(HRGN region, int width, int height, const std::function<bool(int, int)>& inside) {
    int wrong = 0;
    for (int y = -1; y <= height; ++y)
        for (int x = -1; x <= width; ++x)
            if ((PtInRegion(region, x, y) != FALSE) != inside(x, y) && ++wrong < 5)
                ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(0, wrong);
}

}  // namespace

TEST(Regions, AllKeyGivesEmptyAndMarginsGiveTheInnerRectangle) {
    tess::ScopedBitmap magenta(MakeBitmap(16, 16, [](int, int) { return kMagenta; }));
    tess::ScopedRegion empty(CreateRegionFromBitmap(magenta.get(), kMagenta, 0, nullptr));
    ASSERT_TRUE(empty);
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(empty.get(), &box));

    RegionMargins margins = {2, 2, 2, 2};
    tess::ScopedRegion inner(CreateRegionFromBitmap(magenta.get(), kMagenta, 0, &margins));
    ASSERT_TRUE(inner);
    EXPECT_EQ(SIMPLEREGION, GetRgnBox(inner.get(), &box));
    EXPECT_EQ(2, box.left);
    EXPECT_EQ(2, box.top);
    EXPECT_EQ(14, box.right);
    EXPECT_EQ(14, box.bottom);

    // A negative margin lets the inner rectangle reach that edge.
    RegionMargins open_left = {-1, 3, 0, 0};
    tess::ScopedRegion reach(CreateRegionFromBitmap(magenta.get(), kMagenta, 0, &open_left));
    GetRgnBox(reach.get(), &box);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(3, box.top);
    EXPECT_EQ(16, box.right);
}

TEST(Regions, ManyRunsGiveExactlyTheirUnion) {
    // A checkerboard of single pixels: 64 x 80 = 2560 runs, past one flush.
    const int w = 128, h = 80;
    auto opaque = [](int x, int y) { return ((x + y) & 1) == 0; };
    tess::ScopedBitmap board(MakeBitmap(w, h, [&](int x, int y) {
        return opaque(x, y) ? RGB(10, 20, 30) : kMagenta;
    }));
    tess::ScopedRegion region(CreateRegionFromBitmap(board.get(), kMagenta, 0, nullptr));
    ASSERT_TRUE(region);
    ExpectRegionIs(region.get(), w, h, [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && opaque(x, y);
    });
    tess::ScopedRegion merged(CreateRegionFromBitmapMerged(board.get(), kMagenta, 0));
    ASSERT_TRUE(merged);
    EXPECT_TRUE(EqualRgn(region.get(), merged.get()));
}

TEST(Regions, ToleranceAndMarginsTogether) {
    // Near-magenta border pixels, a shape in the middle, bars of mixed runs.
    const int w = 40, h = 30;
    auto color = [](int x, int y) -> COLORREF {
        if (x < 5 || y < 4) return RGB(250, 3, 251);     // within tolerance of magenta
        if (x > 30) return RGB(240, 0, 255);             // red too far below the key
        return (x / 3 + y) % 4 == 0 ? kMagenta : RGB(0, 128, 0);
    };
    tess::ScopedBitmap bitmap(MakeBitmap(w, h, color));
    // Key 245,0,245 with tolerance 10,5,10: 250,3,251 and 255,0,255 match; 240 does not.
    tess::ScopedRegion region(
        CreateRegionFromBitmap(bitmap.get(), RGB(245, 0, 245), RGB(10, 5, 10), nullptr));
    ASSERT_TRUE(region);
    ExpectRegionIs(region.get(), w, h, [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return false;
        COLORREF c = color(x, y);
        return !(c == RGB(250, 3, 251) || c == kMagenta);
    });
    // Rows 4 to 29 repeat in groups: the merged builder gives the same shape.
    tess::ScopedRegion merged(
        CreateRegionFromBitmapMerged(bitmap.get(), RGB(245, 0, 245), RGB(10, 5, 10)));
    ASSERT_TRUE(merged);
    EXPECT_TRUE(EqualRgn(region.get(), merged.get()));
    tess::ScopedBitmap bands(MakeBitmap(20, 20, [](int x, int y) {
        return (y / 5) % 2 == 0 && x >= 5 ? RGB(1, 1, 1) : kMagenta;
    }));
    tess::ScopedRegion band_region(CreateRegionFromBitmapMerged(bands.get(), kMagenta, 0));
    ExpectRegionIs(band_region.get(), 20, 20, [](int x, int y) {
        return x >= 5 && x < 20 && y >= 0 && y < 20 && (y / 5) % 2 == 0;
    });
    RegionMargins margins = {6, 6, 6, 6};
    tess::ScopedRegion with_inner(
        CreateRegionFromBitmap(bitmap.get(), RGB(245, 0, 245), RGB(10, 5, 10), &margins));
    ExpectRegionIs(with_inner.get(), w, h, [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return false;
        if (x >= 6 && x < w - 6 && y >= 6 && y < h - 6) return true;
        COLORREF c = color(x, y);
        return !(c == RGB(250, 3, 251) || c == kMagenta);
    });
    EXPECT_EQ(nullptr, CreateRegionFromBitmap(nullptr, kMagenta, 0, nullptr));
}
