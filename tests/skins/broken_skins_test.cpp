// Half-broken skin files: each loads to a usable skin (or is refused) and
// frees cleanly; nothing reads outside its buffers.
#include <gtest/gtest.h>

#include <string>

#include "skins/skin_cache.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

struct BrokenCase {
    const char* name;
    std::string text;
    // What must hold after loading (besides the invariants checked for all).
    int item_height;      // -1: not checked
    bool normal_bitmap;   // NormalItemSkin has a bitmap
};

// Invariants every loaded skin keeps, whatever its file said.
void ExpectUsable(const SkinRecord* skin, const char* name) {
    ASSERT_NE(nullptr, skin) << name;
    EXPECT_EQ(1, skin->loaded) << name;
    EXPECT_GE(skin->NumberOfSectionStyles, 1) << name;
    EXPECT_LE(skin->NumberOfSectionStyles, kMaxSectionStyles) << name;
    EXPECT_EQ(4 + 6 * skin->NumberOfSectionStyles, skin->state_count) << name;
    EXPECT_GE(skin->ItemHeight, 1) << name;
    EXPECT_GE(skin->ResizeBorderSize.left, 2) << name;
    for (int s = 0; s < kMaxSectionStyles; ++s) {
        EXPECT_GE(skin->SectionBuffer_Left[s], 0) << name;
        EXPECT_GE(skin->GripWidth[s], 2) << name;
    }
    for (int i = 0; i < skin->state_count; ++i) {
        const SkinStateRecord& e = skin->states[i];
        if (!e.bitmap) continue;
        int frames = e.InFrames + e.LoopFrames + e.OutFrames;
        BITMAP bm;
        GetObjectA(e.bitmap.get(), sizeof(bm), &bm);
        EXPECT_GE(e.frame_width, 1) << name << " element " << i;
        EXPECT_GE(frames, 1) << name;
        EXPECT_LE(static_cast<long long>(e.frame_width) * frames, bm.bmWidth) << name;
        EXPECT_GE(e.Delay, 1) << name;
    }
    EXPECT_LT(strlen(skin->SkinName), sizeof(skin->SkinName)) << name;
    EXPECT_LT(strlen(skin->CompanionSkinPopup), sizeof(skin->CompanionSkinPopup)) << name;
}

}  // namespace

TEST(BrokenSkins, EachLoadsUsableOrIsRefused) {
    TempFolder temp;
    ASSERT_TRUE(temp.MakeFolder("skin"));
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(temp.File("skin\\ok.bmp"), 30, 10, RGB(0, 90, 0)));
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(temp.File("secret.bmp"), 30, 10, RGB(90, 0, 0)));
    ASSERT_TRUE(temp.Write("skin\\text.bmp", "this is not a bitmap at all"));
    std::string bad_tga = skin_fixtures::TgaBytes(30000, 30000, 32, 8, {});
    ASSERT_TRUE(testing_support::WriteFileBytes(temp.File("skin\\trunc.tga"), bad_tga));
    InitSkinCache(GetModuleHandleA(nullptr));

    std::string long_name(5000, 'n');
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
    std::string long_line = "[General]\r\nSkinName=" + std::string(30000, 'L') + "\r\nItemHeight=12\r\n";

    const BrokenCase cases[] = {
        {"empty", "", 1, false},
        {"no_general", "[NormalItemSkin]\r\nhBitmap=ok.bmp\r\n", 1, true},
        {"garbage_numbers",
         "[General]\r\nItemHeight=abc\r\nNumberOfSectionStyles=xyz\r\nResizeBorderSize=--3\r\n"
         "[NormalItemSkin]\r\nhBitmap=ok.bmp\r\nInFrames=x\r\nLoopFrames=?\r\nDelay=soon\r\n",
         1, true},
        {"huge_values",
         "[General]\r\nItemHeight=2147483647\r\nNumberOfSectionStyles=2147483647\r\n"
         "LayerSkins=99999\r\nGripWidth=-2147483647\r\n"
         "[NormalItemSkin]\r\nhBitmap=ok.bmp\r\nInFrames=2147483647\r\nLoopFrames=2147483647\r\n"
         "OutFrames=2147483647\r\nFontSize=2147483647\r\nFont=Arial\r\n",
         2147483647, true},
        {"negative_everywhere",
         "[General]\r\nItemHeight=-5\r\nNumberOfSectionStyles=-9\r\nSectionBuffer_Left=-4\r\n"
         "ItemSpacing.cx=-1\r\nResizeBorderSize=-7\r\n"
         "[SectionSkin]\r\nSectionBuffer_Left=-3\r\nGripWidth=-8\r\n"
         "[NormalItemSkin]\r\nhBitmap=ok.bmp\r\nLoopFrames=-1\r\nDelay=-100\r\nLeftWidth=-5\r\n",
         1, true},
        {"absent_bitmaps",
         "[NormalItemSkin]\r\nhBitmap=missing.bmp\r\n[LeftArrow]\r\nhBitmap=missing.bmp\r\n"
         "[Extras]\r\nMenuExpanderImage=missing.bmp\r\n",
         1, false},
        {"not_a_bitmap", "[NormalItemSkin]\r\nhBitmap=text.bmp\r\n", 1, false},
        {"lying_tga", "[NormalItemSkin]\r\nhBitmap=trunc.bmp\r\n", 1, false},
        {"overlong_bitmap_name", "[NormalItemSkin]\r\nhBitmap=" + long_name + ".bmp\r\n"
                                 "[LeftArrow]\r\nhBitmap=" + long_name + "\r\n"
                                 "[Extras]\r\nPanorel_Background=" + long_name + "\r\n",
         1, false},
        {"escaping_bitmap_name",
         "[NormalItemSkin]\r\nhBitmap=..\\secret.bmp\r\n[LeftArrow]\r\nhBitmap=sub\\..\\..\\secret.bmp\r\n"
         "[Extras]\r\nPanorel_Background=..\\..\\x.bmp\r\n",
         1, false},
        {"binary_garbage", binary, -1, false},
        {"overlong_line", long_line, -1, false},
        {"duplicate_sections",
         "[General]\r\nItemHeight=7\r\n[General]\r\nItemHeight=8\r\n"
         "[NormalItemSkin]\r\nhBitmap=ok.bmp\r\n[NormalItemSkin]\r\nhBitmap=missing.bmp\r\n",
         7, true},
        {"garbage_colours",
         "[General]\r\nTextColor=a b c d e 99999999999\r\nBackgroundColor=   \r\n"
         "[NormalItemSkin]\r\nTextColor=-1 -2 -3\r\nDisabledTextColor=x\r\n",
         1, false},
        {"companion_nonsense",
         "[General]\r\nCompanionSkin.Popup=\"\"\"\"\r\nCompanionSkin.TaskbarGroupPopup=" + long_name + "\r\n",
         1, false},
        {"bad_font", "[General]\r\nFont=" + long_name + "\r\nFontSize=-50\r\nFontHeight=5\r\n"
                     "TitleFont=Nope\r\nTitleFontWeight=99999\r\nTitleFontHeight=-99999\r\n",
         1, false},
    };
    for (const BrokenCase& c : cases) {
        std::string file = std::string("skin\\") + c.name + ".tsskin";
        ASSERT_TRUE(testing_support::WriteFileBytes(temp.File(file), c.text)) << c.name;
        SkinRecord* skin = LoadSkinFile(temp.File(file).c_str());
        ExpectUsable(skin, c.name);
        if (!skin) continue;
        if (c.item_height >= 0) {
            EXPECT_EQ(c.item_height, skin->ItemHeight) << c.name;
        }
        EXPECT_EQ(c.normal_bitmap, static_cast<bool>(skin->states[kSkinStateNormalItem].bitmap))
            << c.name;
        EXPECT_FALSE(skin->arrows[kArrowLeft].valid) << c.name;
        EXPECT_EQ(0, skin->Panorel_Background[0]) << c.name;
        // Lookups with any state and style stay inside the table.
        for (int state = -2; state < 12; ++state)
            for (int style = -1; style < 27; ++style) {
                int index = GetSkinStateIndex(skin, state, style);
                SkinStateRecord* e = GetSkinStateRecord(skin, index);
                if (index >= 0) {
                    EXPECT_NE(nullptr, e);
                } else {
                    EXPECT_EQ(nullptr, e);
                }
            }
        EXPECT_EQ(1, ReleaseSkin(skin)) << c.name;
        EXPECT_EQ(0, skin->path[0]) << c.name;
    }
    FreeSkinCache();
}
