// The bar background, icons with the element's shadow or glow (and plain when
// glow is switched off), image-list images and the menu-icon painter.
#include <gtest/gtest.h>

#include "skins/skin_painting.h"
#include "tests/skin_painting/painting_canvas.h"

using painting::Canvas;
using painting::IsGreenish;
using painting::kGrey;
using painting::kWhite;
using painting::SkinFolder;
using painting::SourceColor;

namespace {

// A hidden popup of the given size stands in for a bar window.
struct BarStandIn {
    explicit BarStandIn(int width, int height)
        : window(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 100, 100, width,
                                 height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    tess::ScopedWindow window;
};

// A 16 x 16 opaque icon of one colour.
HICON SolidIcon(COLORREF color) {
    tess::ScopedWindowDc screen(nullptr);
    tess::ScopedBitmap image(CreateCompatibleBitmap(screen.get(), 16, 16));
    tess::ScopedBitmap mask(CreateBitmap(16, 16, 1, 1, nullptr));
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(screen.get()));
        tess::ScopedBrush brush(CreateSolidBrush(color));
        RECT all = {0, 0, 16, 16};
        {
            tess::ScopedSelect select(dc.get(), image.get());
            FillRect(dc.get(), &all, brush.get());
        }
        tess::ScopedSelect select(dc.get(), mask.get());
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    ICONINFO info = {TRUE, 0, 0, mask.get(), image.get()};
    return CreateIconIndirect(&info);
}

// Restores the glow option whatever a test does with it.
struct GlowOption {
    bool saved = IsSkinGlowDisabled();
    ~GlowOption() { SetSkinGlowDisabled(saved); }
    void Disable(bool off) { SetSkinGlowDisabled(off); }
};

}  // namespace

TEST(BarBackground, ColourUnderKeyedElement) {
    SkinFolder folder;
    // Element 0: the left half magenta (keyed), the right half column colours.
    ASSERT_TRUE(folder.WriteColumnsBmp("back.bmp", 10, 4, [](int x) { return x < 5; }));
    SkinRecord* keyed = folder.Load(
        "[General]\r\nBackgroundColor=0 128 0\r\n"
        "[TaskbarBackgroundSkin]\r\nhBitmap=back.bmp\r\nUseTransparency=1\r\n",
        "keyed");
    SkinRecord* plain = folder.Load("[General]\r\nBackgroundColor=0 128 0\r\n", "plain");
    SkinRecord* white = folder.Load("[General]\r\nSkinName=White\r\n", "white");
    ASSERT_TRUE(keyed && plain && white);
    BarStandIn bar(50, 20);
    ASSERT_TRUE(bar.window);

    Canvas canvas(60, 30);
    ASSERT_EQ(1, DrawBarSkinBackground(plain, canvas.dc(), bar.window.get()));
    // The fill reaches one pixel past the window on each side (the pen's edge).
    for (POINT p : {POINT{0, 0}, POINT{49, 19}, POINT{50, 20}, POINT{25, 10}})
        EXPECT_EQ(RGB(0, 128, 0), canvas.At(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(kGrey, canvas.At(51, 10));
    EXPECT_EQ(kGrey, canvas.At(10, 21));

    canvas.Fill(kGrey);
    ASSERT_EQ(1, DrawBarSkinBackground(keyed, canvas.dc(), bar.window.get()));
    EXPECT_EQ(RGB(0, 128, 0), canvas.At(5, 10));
    EXPECT_EQ(RGB(0, 128, 0), canvas.At(20, 3));
    // Columns 5-9 stretched five times over x 25-49, rows 0-3 over 0-19.
    EXPECT_EQ(SourceColor(6, 2), canvas.At(30, 12));
    EXPECT_EQ(SourceColor(9, 3), canvas.At(49, 19));
    EXPECT_EQ(kGrey, canvas.At(51, 10));

    // White uses the stock white brush and pen.
    canvas.Fill(kGrey);
    ASSERT_EQ(1, DrawBarSkinBackground(white, canvas.dc(), bar.window.get()));
    EXPECT_EQ(kWhite, canvas.At(0, 0));
    EXPECT_EQ(kWhite, canvas.At(50, 20));
    EXPECT_EQ(kGrey, canvas.At(52, 22));

    canvas.Fill(kGrey);
    EXPECT_EQ(0, DrawBarSkinBackground(nullptr, canvas.dc(), bar.window.get()));
    EXPECT_EQ(0, DrawBarSkinBackground(plain, nullptr, bar.window.get()));
    EXPECT_EQ(0, DrawBarSkinBackground(plain, canvas.dc(), nullptr));
    EXPECT_EQ(kGrey, canvas.At(5, 5));
}

namespace {

struct IconCase {
    const char* name;
    const char* element;      // keys of NormalItemSkin
    bool glow_off;
    bool expect_glow;
};

}  // namespace

TEST(SkinIcon, GlowShadowAndPlainTable) {
    const IconCase cases[] = {
        {"glow", "GlowEffect=1\r\nGlowEffectColor=0 255 0\r\nGlowEffectWidth=2\r\n", false, true},
        {"glow_switched_off", "GlowEffect=1\r\nGlowEffectColor=0 255 0\r\nGlowEffectWidth=2\r\n",
         true, false},
        {"shadow", "ShadowEffect=1\r\nShadowColor=0 255 0\r\nShadowOffset.x=2\r\nShadowOffset.y=2\r\n",
         false, true},
        {"shadow_no_intensity",
         "ShadowEffect=1\r\nShadowColor=0 255 0\r\nShadowIntensityIcons=0\r\n", false, false},
        {"no_effect", "ForceValid=1\r\n", false, false},
    };
    tess::ScopedIcon icon(SolidIcon(RGB(0, 0, 0)));
    ASSERT_TRUE(icon);
    for (const IconCase& c : cases) {
        SCOPED_TRACE(c.name);
        SkinFolder folder;
        SkinRecord* skin = folder.Load(std::string("[NormalItemSkin]\r\nIconOffset.x=2\r\nIconOffset.y=3\r\n") +
                                       c.element);
        ASSERT_NE(nullptr, skin);
        GlowOption option;
        option.Disable(c.glow_off);
        Canvas canvas(60, 60, kWhite);
        RECT rect = {0, 0, 60, 60};
        ASSERT_EQ(1, DrawSkinIcon(skin, canvas.dc(), icon.get(), &rect, 20, 20, kSkinStateNormalItem,
                                  16, 0, nullptr, 0));
        // The icon at (20, 20) moved by IconOffset, 16 pixels square.
        EXPECT_EQ(RGB(0, 0, 0), canvas.At(22, 23));
        EXPECT_EQ(RGB(0, 0, 0), canvas.At(37, 38));
        int around = 0;
        for (int y = 15; y < 46; ++y)
            for (int x = 15; x < 45; ++x)
                if ((x < 22 || x > 37 || y < 23 || y > 38) && IsGreenish(canvas.At(x, y))) ++around;
        if (c.expect_glow) {
            EXPECT_GT(around, 10);
        } else {
            EXPECT_EQ(0, around);
            EXPECT_EQ(kWhite, canvas.At(21, 23));
            EXPECT_EQ(kWhite, canvas.At(38, 39));
        }
    }
}

TEST(SkinIcon, ImageListElementAndMenuIcon) {
    SkinFolder folder;
    ASSERT_TRUE(folder.WriteSolidBmp("item.bmp", 8, 8, RGB(0, 0, 200)));
    SkinRecord* skin = folder.Load("[NormalItemSkin]\r\nhBitmap=item.bmp\r\nIconOffset.x=1\r\n");
    ASSERT_NE(nullptr, skin);

    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    ASSERT_NE(nullptr, list);
    tess::ScopedIcon red(SolidIcon(RGB(200, 0, 0)));
    ASSERT_EQ(0, ImageList_AddIcon(list, red.get()));

    Canvas canvas(40, 40, kWhite);
    RECT rect = {0, 0, 30, 30};
    // No icon: the image list's image, over the element.
    ASSERT_EQ(1, DrawSkinIcon(skin, canvas.dc(), nullptr, &rect, 5, 5, kSkinStateNormalItem, 16, 0,
                              list, 0));
    EXPECT_EQ(RGB(0, 0, 200), canvas.At(2, 2));
    EXPECT_EQ(RGB(0, 0, 200), canvas.At(5, 5));
    EXPECT_EQ(RGB(200, 0, 0), canvas.At(6, 5));
    EXPECT_EQ(RGB(200, 0, 0), canvas.At(21, 20));
    EXPECT_EQ(RGB(0, 0, 200), canvas.At(22, 21));
    EXPECT_EQ(kWhite, canvas.At(31, 31));
    ImageList_Destroy(list);

    // The menu icons are never filled: only the element is painted.
    canvas.Fill(kWhite);
    EXPECT_EQ(1, DrawSkinMenuIcon(skin, canvas.dc(), 1, &rect, 5, 5, kSkinStateNormalItem));
    EXPECT_EQ(RGB(0, 0, 200), canvas.At(10, 10));
    EXPECT_EQ(0, DrawSkinMenuIcon(skin, canvas.dc(), 2, &rect, 5, 5, kSkinStateNormalItem));

    // Out of range or missing: nothing at all.
    canvas.Fill(kWhite);
    EXPECT_EQ(0, DrawSkinIcon(skin, canvas.dc(), red.get(), &rect, 5, 5, skin->state_count, 16, 0,
                              nullptr, 0));
    EXPECT_EQ(0, DrawSkinIcon(nullptr, canvas.dc(), red.get(), &rect, 5, 5, 6, 16, 0, nullptr, 0));
    EXPECT_EQ(0, DrawSkinIcon(skin, nullptr, red.get(), &rect, 5, 5, 6, 16, 0, nullptr, 0));
    EXPECT_EQ(kWhite, canvas.At(10, 10));
}
