// 32-bpp pixel access, masks, alpha compositing, the blur and the shadows.
#include <gtest/gtest.h>

#include <vector>

#include "skins/bitmap_helpers.h"
#include "skins/skin_colors_fonts.h"
#include "tests/support/test_support.h"
#include "util/general_helpers.h"
#include "util/handles.h"

namespace {

DWORD Bgra(int r, int g, int b, int a = 0) {
    return static_cast<DWORD>(b | (g << 8) | (r << 16) | (a << 24));
}

// A bottom-up DIB section filled with one pixel value.
HBITMAP SolidDib(int w, int h, DWORD value) {
    DWORD* bits = nullptr;
    HBITMAP dib = Create32BitDibSection(w, h, &bits);
    for (int i = 0; i < w * h; ++i) bits[i] = value;
    return dib;
}

DWORD PixelAt(HBITMAP bitmap, int x, int y_from_top) {
    BITMAP bm;
    GetObjectA(bitmap, sizeof(bm), &bm);
    DWORD* bits = GetBitmapBits32(bitmap, 32);
    DWORD v = bits[(bm.bmHeight - 1 - y_from_top) * bm.bmWidth + x];
    FreeBitmapBits32(bits);
    return v;
}

}  // namespace

TEST(Pixels, RoundTripAndAlphaTest) {
    tess::ScopedBitmap dib(SolidDib(3, 2, Bgra(1, 2, 3)));
    std::vector<DWORD> pixels = {Bgra(10, 0, 0), Bgra(0, 20, 0), Bgra(0, 0, 30),
                                 Bgra(1, 1, 1), Bgra(2, 2, 2), Bgra(3, 3, 3, 200)};
    ASSERT_TRUE(SetBitmapBits32(dib.get(), 32, pixels.data()));
    DWORD* read = GetBitmapBits32(dib.get(), 32);
    ASSERT_NE(nullptr, read);
    for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(pixels[i], read[i]) << i;
    FreeBitmapBits32(read);
    // The prefix reports Windows XP, where alpha channels count.
    InitWindowsVersionClass();
    ASSERT_EQ(kWinXP, WindowsVersion());
    EXPECT_TRUE(BitmapHasAlpha(dib.get()));
    tess::ScopedBitmap plain(SolidDib(3, 2, Bgra(9, 9, 9)));
    EXPECT_FALSE(BitmapHasAlpha(plain.get()));
    EXPECT_EQ(nullptr, GetBitmapBits32(nullptr, 32));

    BITMAPINFOHEADER h8{};
    h8.biSize = sizeof(h8);
    h8.biBitCount = 8;
    EXPECT_EQ(256, GetDibColorCount(&h8));
    EXPECT_EQ(1024, GetDibPaletteSize(&h8));
    h8.biClrUsed = 16;
    EXPECT_EQ(16, GetDibColorCount(&h8));
    BITMAPCOREHEADER core{};
    core.bcSize = sizeof(core);
    core.bcBitCount = 4;
    EXPECT_EQ(48, GetDibPaletteSize(reinterpret_cast<BITMAPINFOHEADER*>(&core)));
    h8.biBitCount = 24;
    EXPECT_EQ(0, GetDibColorCount(&h8));
}

TEST(Pixels, MaskBlackoutAndTransparentBlit) {
    // Left half key colour, right half blue.
    tess::ScopedBitmap image(SolidDib(4, 2, Bgra(0, 0, 200)));
    DWORD* bits = GetBitmapBits32(image.get(), 32);
    bits[0] = bits[1] = bits[4] = bits[5] = Bgra(255, 0, 255);
    SetBitmapBits32(image.get(), 32, bits);
    FreeBitmapBits32(bits);

    tess::ScopedBitmap mask(CreateBitmapMask(image.get(), kMagenta, false));
    ASSERT_TRUE(mask);
    tess::ScopedBitmap mask_copy(SolidDib(4, 2, 0));
    {
        tess::ScopedMemoryDc src(CreateCompatibleDC(nullptr)), dst(CreateCompatibleDC(nullptr));
        tess::ScopedSelect s(src.get(), mask.get()), d(dst.get(), mask_copy.get());
        BitBlt(dst.get(), 0, 0, 4, 2, src.get(), 0, 0, SRCCOPY);
    }
    EXPECT_EQ(0xFFFFFFu, PixelAt(mask_copy.get(), 0, 0) & 0xFFFFFF);   // key: white
    EXPECT_EQ(0u, PixelAt(mask_copy.get(), 3, 1) & 0xFFFFFF);         // image: black

    // Drawn without a mask over green: the key shows the background.
    tess::ScopedBitmap target(SolidDib(6, 4, Bgra(0, 255, 0)));
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        tess::ScopedSelect sel(dc.get(), target.get());
        DrawTransparentBitmap(dc.get(), image.get(), 1, 1, 0, 0);
    }
    EXPECT_EQ(Bgra(0, 255, 0), PixelAt(target.get(), 1, 1) & 0xFFFFFF);
    EXPECT_EQ(Bgra(0, 0, 200), PixelAt(target.get(), 4, 2) & 0xFFFFFF);
    EXPECT_EQ(Bgra(0, 255, 0), PixelAt(target.get(), 5, 2) & 0xFFFFFF);

    // With blackout the key pixels turn black, for AND-then-XOR blits.
    tess::ScopedBitmap mask2(CreateBitmapMask(image.get(), kMagenta, true));
    EXPECT_EQ(0u, PixelAt(image.get(), 0, 0) & 0xFFFFFF);
    EXPECT_EQ(Bgra(0, 0, 200), PixelAt(image.get(), 3, 0) & 0xFFFFFF);
    tess::ScopedBitmap target2(SolidDib(8, 4, Bgra(0, 255, 0)));
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        tess::ScopedSelect sel(dc.get(), target2.get());
        // Stretched to twice the width through the prepared mask.
        DrawTransparentBitmapEx(dc.get(), nullptr, image.get(), mask2.get(), 0, 0, 8, 2, 0, 0, 4, 2,
                                kMagenta);
    }
    EXPECT_EQ(Bgra(0, 255, 0), PixelAt(target2.get(), 1, 0) & 0xFFFFFF);
    EXPECT_EQ(Bgra(0, 0, 200), PixelAt(target2.get(), 6, 1) & 0xFFFFFF);
}

TEST(Pixels, AlphaCompositingIsExact) {
    tess::ScopedBitmap target(SolidDib(4, 1, Bgra(100, 100, 100)));
    // Premultiplied sources: transparent, opaque, half, and a bright channel.
    DWORD source[4] = {Bgra(255, 255, 255, 0), Bgra(1, 2, 3, 255), Bgra(100, 50, 0, 128),
                       Bgra(200, 10, 60, 64)};
    ASSERT_EQ(1, AlphaCompositeBits(target.get(), source, 4, 1));
    DWORD* out = GetBitmapBits32(target.get(), 32);
    EXPECT_EQ(Bgra(100, 100, 100), out[0]);
    EXPECT_EQ(Bgra(1, 2, 3, 255), out[1]);
    // green, red: X + floor(a (S - X) / 256); blue: X - floor((a (X - S) + 255) / 256)
    auto up = [](int x, int s, int a) { return x + ((a * (s - x)) >> 8); };
    auto down = [](int x, int s, int a) { return x - ((a * (x - s) + 255) >> 8); };
    EXPECT_EQ(Bgra(up(100, 100, 128), up(100, 50, 128), down(100, 0, 128)), out[2]);
    EXPECT_EQ(Bgra(up(100, 200, 64), up(100, 10, 64), down(100, 60, 64)), out[3]);
    FreeBitmapBits32(out);
    // A source of another size is refused instead of read past its end.
    EXPECT_EQ(0, AlphaCompositeBits(target.get(), source, 2, 2));

    // Drawn onto a DC: the same arithmetic against what is there.
    tess::ScopedBitmap canvas(SolidDib(6, 3, Bgra(100, 100, 100)));
    tess::ScopedBitmap sprite(SolidDib(4, 1, 0));
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        tess::ScopedSelect sel(dc.get(), canvas.get());
        DrawAlphaBitmap(dc.get(), sprite.get(), source, 1, 1);
    }
    EXPECT_EQ(Bgra(100, 100, 100), PixelAt(canvas.get(), 1, 1) & 0xFFFFFF);
    EXPECT_EQ(Bgra(1, 2, 3), PixelAt(canvas.get(), 2, 1) & 0xFFFFFF);
    EXPECT_EQ(Bgra(100, 100, 100), PixelAt(canvas.get(), 0, 0) & 0xFFFFFF);
}

TEST(Effects, FiveTapBlur) {
    // All white stays white: taps outside count as white.
    std::vector<DWORD> white(9, Bgra(255, 255, 255, 77));
    BlurShadowPixels(white.data(), 3, 3);
    for (DWORD p : white) EXPECT_EQ(Bgra(255, 255, 255), p);
    // All black: the first pixel sees two white taps: (255 + 255) / 7 = 72.
    std::vector<DWORD> black(9, 0);
    BlurShadowPixels(black.data(), 3, 3);
    EXPECT_EQ(Bgra(72, 72, 72), black[0]);
    // The next one reads the result of the first (in place): (72 + 255 + 0) / 7.
    EXPECT_EQ(Bgra(46, 46, 46), black[1]);
}

TEST(Effects, ShadowBlendArithmetic) {
    tess::ScopedBitmap target(SolidDib(3, 1, Bgra(200, 100, 50)));
    DWORD* bits = GetBitmapBits32(target.get(), 32);
    bits[2] = Bgra(255, 0, 255);   // untouched key pixels stay
    SetBitmapBits32(target.get(), 32, bits);
    FreeBitmapBits32(bits);
    tess::ScopedBitmap mask(SolidDib(3, 1, Bgra(0, 0, 0)));
    bits = GetBitmapBits32(mask.get(), 32);
    bits[1] = Bgra(55, 55, 55);   // darkness 200
    SetBitmapBits32(mask.get(), 32, bits);
    FreeBitmapBits32(bits);

    ASSERT_EQ(1, BlendShadowIntoBitmap(target.get(), mask.get(), 0, 50, RGB(0, 0, 128)));
    bits = GetBitmapBits32(target.get(), 32);
    // Intensity 50: darkness 255 -> 127, 200 -> 100.
    auto rb = [](int x, int k, int c) { return (x - ((c * (x - k) + 255) >> 8)) & 0xFF; };
    auto g = [](int x, int k, int c) { return (x + ((c * (k - x)) >> 8)) & 0xFF; };
    EXPECT_EQ(Bgra(rb(200, 0, 127), g(100, 0, 127), rb(50, 128, 127)), bits[0]);
    EXPECT_EQ(Bgra(rb(200, 0, 100), g(100, 0, 100), rb(50, 128, 100)), bits[1]);
    EXPECT_EQ(Bgra(255, 0, 255), bits[2]);
    FreeBitmapBits32(bits);

    // Intensity above 100 makes a black mask solid colour.
    ASSERT_EQ(1, BlendShadowIntoBitmap(target.get(), mask.get(), 0, 150, RGB(0, 0, 128)));
    EXPECT_EQ(Bgra(0, 0, 128), PixelAt(target.get(), 0, 0));
    tess::ScopedBitmap other(SolidDib(2, 2, 0));
    EXPECT_EQ(-1, BlendShadowIntoBitmap(target.get(), other.get(), 1, 100, 0));
    EXPECT_EQ(-1, BlendShadowIntoBitmap(nullptr, other.get(), 1, 100, 0));
}

TEST(Effects, IconShadowAndTextShadowDrawBesideTheirContent) {
    // A 16 x 16 monochrome-masked icon: opaque square, solid blue.
    std::vector<BYTE> and_bits(2 * 16, 0x00);   // all opaque
    tess::ScopedBitmap and_mask(CreateBitmap(16, 16, 1, 1, and_bits.data()));
    tess::ScopedBitmap color(SolidDib(16, 16, Bgra(0, 0, 255)));
    ICONINFO info = {TRUE, 0, 0, and_mask.get(), color.get()};
    tess::ScopedIcon icon(CreateIconIndirect(&info));
    ASSERT_TRUE(icon);

    tess::ScopedBitmap canvas(SolidDib(60, 60, Bgra(255, 255, 255)));
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        tess::ScopedSelect sel(dc.get(), canvas.get());
        EXPECT_EQ(1, DrawIconWithShadow(dc.get(), icon.get(), 20, 20, 16, 1, 100, 3, 3, RGB(255, 0, 0)));
    }
    EXPECT_EQ(Bgra(0, 0, 255), PixelAt(canvas.get(), 25, 25) & 0xFFFFFF);   // the icon itself
    DWORD shadow = PixelAt(canvas.get(), 37, 37) & 0xFFFFFF;               // beside it, offset 3
    EXPECT_EQ(255, static_cast<int>((shadow >> 16) & 0xFF));
    EXPECT_LT(static_cast<int>(shadow & 0xFF), 255);                          // tinted toward red
    EXPECT_EQ(Bgra(255, 255, 255), PixelAt(canvas.get(), 2, 2) & 0xFFFFFF);   // far away untouched

    // An icon with its own alpha channel gets no shadow on XP.
    tess::ScopedBitmap alpha_color(SolidDib(16, 16, Bgra(0, 0, 255, 255)));
    ICONINFO alpha_info = {TRUE, 0, 0, and_mask.get(), alpha_color.get()};
    tess::ScopedIcon alpha_icon(CreateIconIndirect(&alpha_info));
    tess::ScopedBitmap canvas2(SolidDib(60, 60, Bgra(255, 255, 255)));
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        tess::ScopedSelect sel(dc.get(), canvas2.get());
        DrawIconWithShadow(dc.get(), alpha_icon.get(), 20, 20, 16, 1, 100, 3, 3, RGB(255, 0, 0));
    }
    EXPECT_EQ(Bgra(255, 255, 255), PixelAt(canvas2.get(), 37, 37) & 0xFFFFFF);

    // Text: a red shadow appears where no text is drawn; text keeps its colour.
    tess::ScopedBitmap text_canvas(SolidDib(120, 40, Bgra(255, 255, 255)));
    int tinted = 0;
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        tess::ScopedSelect sel(dc.get(), text_canvas.get());
        tess::ScopedWindowDc screen(nullptr);
        tess::ScopedFont font(CreatePointFont(screen.get(), "Arial", 140, 0, kFontFlagBold, true));
        tess::ScopedSelect fsel(dc.get(), font.get());
        SetTextColor(dc.get(), RGB(0, 0, 0));
        SetBkMode(dc.get(), TRANSPARENT);
        RECT r = {10, 5, 110, 35};
        EXPECT_NE(0, DrawTextWithShadow(dc.get(), "WWW\tX", &r, DT_LEFT | DT_SINGLELINE, 1, 100, 2, 2,
                                        RGB(255, 0, 0)));
    }
    DWORD* bits = GetBitmapBits32(text_canvas.get(), 32);
    for (int i = 0; i < 120 * 40; ++i) {
        int r = (bits[i] >> 16) & 0xFF, g = (bits[i] >> 8) & 0xFF, b = bits[i] & 0xFF;
        if (r == 255 && g < 250 && g == b) ++tinted;
    }
    FreeBitmapBits32(bits);
    EXPECT_GT(tinted, 20);
}

TEST(Colours, ParseColorStringTable) {
    struct { const char* text; COLORREF expected; } cases[] = {
        {"255 0 255", RGB(255, 0, 255)},
        {"300 0 0", RGB(44, 0, 0)},
        {"10 20", RGB(10, 20, 0)},
        {"10  20", RGB(10, 0, 20)},
        {"1 2 3 4 5", RGB(1, 2, 3)},
        {"", RGB(0, 0, 0)},
        {"abc 7 8", RGB(0, 7, 8)},
        {"-1 0 0", RGB(255, 0, 0)},
    };
    for (auto& c : cases) EXPECT_EQ(c.expected, ParseColorString(c.text)) << c.text;
    EXPECT_EQ(0u, ParseColorString(nullptr));
}

TEST(Effects, BlurStaysInsideItsRectangleAndGlowTintsAround) {
    tess::ScopedBitmap bitmap(SolidDib(8, 8, Bgra(255, 255, 255)));
    DWORD* bits = GetBitmapBits32(bitmap.get(), 32);
    for (int i = 0; i < 64; ++i)
        if ((i % 8) < 4) bits[i] = 0;   // left half black
    SetBitmapBits32(bitmap.get(), 32, bits);
    FreeBitmapBits32(bits);
    RECT area = {2, 2, 6, 6};
    ASSERT_TRUE(BlurBitmap(bitmap.get(), 2, &area));
    EXPECT_EQ(0u, PixelAt(bitmap.get(), 1, 3) & 0xFFFFFF);                    // outside: as it was
    EXPECT_EQ(Bgra(255, 255, 255), PixelAt(bitmap.get(), 6, 3) & 0xFFFFFF);
    DWORD edge = PixelAt(bitmap.get(), 3, 3) & 0xFF;                          // inside: mixed
    EXPECT_GT(edge, 0u);
    EXPECT_LT(edge, 255u);
    tess::ScopedBitmap copy(BlurBitmapOnce(bitmap.get(), true, nullptr));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), bitmap.get());

    std::vector<BYTE> and_bits(2 * 16, 0x00);
    tess::ScopedBitmap and_mask(CreateBitmap(16, 16, 1, 1, and_bits.data()));
    tess::ScopedBitmap color(SolidDib(16, 16, Bgra(0, 0, 255)));
    ICONINFO info = {TRUE, 0, 0, and_mask.get(), color.get()};
    tess::ScopedIcon icon(CreateIconIndirect(&info));
    tess::ScopedBitmap canvas(SolidDib(40, 40, Bgra(0, 0, 0)));
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        tess::ScopedSelect sel(dc.get(), canvas.get());
        EXPECT_EQ(1, DrawIconGlow(dc.get(), icon.get(), 12, 12, 16, 3, 255, RGB(255, 255, 0)));
    }
    EXPECT_EQ(Bgra(0, 0, 255), PixelAt(canvas.get(), 20, 20) & 0xFFFFFF);
    DWORD glow = PixelAt(canvas.get(), 10, 20) & 0xFFFFFF;   // just left of the icon
    EXPECT_GT(static_cast<int>((glow >> 16) & 0xFF), 0);
    EXPECT_EQ(0u, PixelAt(canvas.get(), 1, 1) & 0xFFFFFF);
}

TEST(Colours, PointFontsScaleByResolution) {
    tess::ScopedWindowDc screen(nullptr);
    int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    tess::ScopedFont font(CreatePointFont(screen.get(), "Arial", 120, 0, kFontFlagBold | kFontFlagItalic, true));
    LOGFONTA lf{};
    ASSERT_TRUE(GetObjectA(font.get(), sizeof(lf), &lf));
    EXPECT_EQ(-static_cast<int>((120 * dpi / 72) / 10.0 + 0.5), lf.lfHeight);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_EQ(1, lf.lfItalic);
    EXPECT_STREQ("Arial", lf.lfFaceName);
    tess::ScopedFont flags(CreateFontFromFlags("Arial", -20, 400,
                                               kFontFlagUnderline | kFontFlagNonAntialiased | kFontFlagAntialiased));
    ASSERT_TRUE(GetObjectA(flags.get(), sizeof(lf), &lf));
    EXPECT_EQ(-20, lf.lfHeight);
    EXPECT_EQ(1, lf.lfUnderline);
    EXPECT_EQ(NONANTIALIASED_QUALITY, lf.lfQuality);
}
