// 32-bit TGA loading: accepted and refused headers, premultiplication, short
// and lying files, and the .bmp-or-.tga fallback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skins/bitmap_helpers.h"
#include "skins/skin_cache.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/test_support.h"
#include "util/handles.h"

using skin_fixtures::TgaBytes;
using skin_fixtures::TgaPixel;
using testing_support::TempFolder;

namespace {

std::vector<TgaPixel> Pixels(int count, TgaPixel p) { return std::vector<TgaPixel>(count, p); }

struct TgaCase {
    const char* name;
    std::string bytes;
    bool accepted;
};

}  // namespace

TEST(Tga, HeaderTable) {
    TempFolder temp;
    const TgaPixel px = {200, 100, 50, 128};
    std::string good = TgaBytes(2, 2, 32, 8, Pixels(4, px));
    std::string huge = TgaBytes(65535, 65535, 32, 8, Pixels(4, px));
    std::string wide = TgaBytes(40000, 1, 32, 8, Pixels(4, px));
    const TgaCase cases[] = {
        {"good", good, true},
        {"with_id", TgaBytes(2, 2, 32, 8, Pixels(4, px), 2, 0, "hello id"), true},
        {"top_left_origin", TgaBytes(2, 2, 32, 0x28, Pixels(4, px)), false},
        {"no_alpha_bits", TgaBytes(2, 2, 32, 0, Pixels(4, px)), false},
        {"24_bit", TgaBytes(2, 2, 24, 0, Pixels(4, px)), false},
        {"rle", TgaBytes(2, 2, 32, 8, Pixels(4, px), 10), false},
        {"color_map", TgaBytes(2, 2, 32, 8, Pixels(4, px), 2, 1), false},
        {"zero_size", TgaBytes(0, 2, 32, 8, {}), false},
        {"truncated_pixels", good.substr(0, good.size() - 3), false},
        {"header_only", good.substr(0, 18), false},
        {"short_header", good.substr(0, 10), false},
        {"empty", std::string(), false},
        {"oversized_header", huge, false},
        {"wide_header", wide, false},
        {"id_past_end", TgaBytes(1, 1, 32, 8, {}, 2, 0, std::string(200, 'i')).substr(0, 40), false},
    };
    for (const TgaCase& c : cases) {
        std::string path = temp.File(std::string(c.name) + ".tga");
        ASSERT_TRUE(testing_support::WriteFileBytes(path, c.bytes));
        DWORD* pixels = reinterpret_cast<DWORD*>(1);
        tess::ScopedBitmap bitmap(LoadTgaFile(path.c_str(), &pixels));
        EXPECT_EQ(c.accepted, static_cast<bool>(bitmap)) << c.name;
        EXPECT_EQ(c.accepted, pixels != nullptr) << c.name;
    }
    DWORD* none = nullptr;
    EXPECT_EQ(nullptr, LoadTgaFile(temp.File("missing.tga").c_str(), &none));
}

TEST(Tga, PremultipliesExactlyAndKeepsRowOrder) {
    TempFolder temp;
    // File rows are bottom-up like the DIB: the first pixel is bottom-left.
    std::vector<TgaPixel> px = {{200, 100, 50, 128}, {255, 255, 255, 255},
                                {10, 20, 30, 0},     {255, 128, 1, 1}};
    std::string path = temp.File("p.tga");
    ASSERT_TRUE(testing_support::WriteFileBytes(path, TgaBytes(2, 2, 32, 8, px)));
    DWORD* pixels = nullptr;
    tess::ScopedBitmap bitmap(LoadTgaFile(path.c_str(), &pixels));
    ASSERT_TRUE(bitmap);
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(bitmap.get(), sizeof(bm), &bm));
    EXPECT_EQ(2, bm.bmWidth);
    EXPECT_EQ(32, bm.bmBitsPixel);
    EXPECT_EQ(0x80193264u, pixels[0]);   // blue 100, green 50, red 25, alpha 128
    EXPECT_EQ(0xFFFFFFFFu, pixels[1]);
    EXPECT_EQ(0x00000000u, pixels[2]);
    EXPECT_EQ(0x01000001u, pixels[3]);   // 255*1/255 = 1, 128*1/255 = 0
    EXPECT_TRUE(IsTgaFile("x.TGA"));
    EXPECT_FALSE(IsTgaFile("x.tga.bmp"));
}

TEST(Tga, BmpOrTgaFallsBackByExtensionOnly) {
    TempFolder temp;
    ASSERT_TRUE(temp.MakeFolder("dark.bmp"));
    std::string tga = TgaBytes(1, 1, 32, 8, {{10, 10, 10, 255}});
    ASSERT_TRUE(testing_support::WriteFileBytes(temp.File("dark.bmp\\img.tga"), tga));
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(temp.File("dark.bmp\\real.bmp"), 3, 3, RGB(1, 2, 3)));
    ASSERT_TRUE(testing_support::WriteFileBytes(temp.File("direct.tga"), tga));
    HINSTANCE inst = GetModuleHandleA(nullptr);

    DWORD* pixels = nullptr;
    // The ".bmp" of the folder name is left alone; the extension is swapped.
    tess::ScopedBitmap a(LoadBitmapOrTga(inst, temp.File("dark.bmp\\img.bmp").c_str(), &pixels));
    EXPECT_TRUE(a);
    EXPECT_NE(nullptr, pixels);
    tess::ScopedBitmap upper(LoadBitmapOrTga(inst, temp.File("dark.bmp\\IMG.BMP").c_str(), &pixels));
    EXPECT_TRUE(upper);
    // Without a pixel buffer a TGA is not loaded.
    EXPECT_EQ(nullptr, LoadBitmapOrTga(inst, temp.File("dark.bmp\\img.bmp").c_str(), nullptr));
    // A real .bmp loads without pixels.
    tess::ScopedBitmap b(LoadBitmapOrTga(inst, temp.File("dark.bmp\\real.bmp").c_str(), &pixels));
    EXPECT_TRUE(b);
    EXPECT_EQ(nullptr, pixels);
    // A name that ends in .tga is the TGA itself.
    tess::ScopedBitmap c(LoadBitmapOrTga(inst, temp.File("direct.tga").c_str(), &pixels));
    EXPECT_TRUE(c);
    EXPECT_EQ(nullptr, LoadBitmapOrTga(inst, temp.File("dark.bmp\\none.png").c_str(), &pixels));
    EXPECT_EQ(nullptr, pixels);
    EXPECT_EQ(nullptr, LoadBitmapOrTga(inst, "", &pixels));
}

TEST(Tga, AlphaSkinElement) {
    TempFolder temp;
    InitSkinCache(GetModuleHandleA(nullptr));
    std::vector<TgaPixel> px(40 * 10, TgaPixel{0, 0, 255, 128});
    ASSERT_TRUE(testing_support::WriteFileBytes(temp.File("glass.tga"), TgaBytes(40, 10, 32, 8, px)));
    ASSERT_TRUE(temp.Write("alpha.tsskin",
                           "[NormalItemSkin]\r\nhBitmap=glass.bmp\r\nLoopFrames=2\r\nLeftWidth=3\r\n"
                           "[LeftArrow]\r\nhBitmap=glass.tga\r\n"));
    SkinRecord* skin = LoadSkinFile(temp.File("alpha.tsskin").c_str());
    ASSERT_NE(nullptr, skin);
    const SkinStateRecord& e = skin->states[kSkinStateNormalItem];
    EXPECT_TRUE(e.valid);
    ASSERT_NE(nullptr, e.alpha_pixels);
    EXPECT_EQ(0x80800000u, e.alpha_pixels[0]);   // red 255 at alpha 128 -> 128
    EXPECT_EQ(20, e.frame_width);
    EXPECT_EQ(17, e.center_width);
    EXPECT_TRUE(skin->arrows[kArrowLeft].valid);
    EXPECT_NE(nullptr, skin->arrows[kArrowLeft].normal_alpha);
    FreeSkinCache();
}
