// Parsing .tsskin files into SkinRecord: clamps, fallbacks, frames, effects,
// fonts, arrows and the state table.
#include <gtest/gtest.h>

#include <string>

#include "skins/skin_cache.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

class SkinFile : public ::testing::Test {
protected:
    void SetUp() override { InitSkinCache(GetModuleHandleA(nullptr)); }
    void TearDown() override { FreeSkinCache(); }

    // Writes name.tsskin with the text and loads it.
    SkinRecord* Load(const std::string& text, const std::string& name = "test") {
        std::string file = name + ".tsskin";
        EXPECT_TRUE(temp.Write(file, text));
        return LoadSkinFile(temp.File(file).c_str());
    }

    TempFolder temp;
};

struct MetricCase {
    const char* general;
    int styles, states, resize_left, resize_base, item_height, skin_height, tight_height;
};

}  // namespace

TEST_F(SkinFile, GeneralClampsTable) {
    const MetricCase cases[] = {
        // NumberOfSectionStyles 0 gives one style; 30 gives 25.
        {"NumberOfSectionStyles=0\r\n", 1, 10, 2, -1, 1, 1, 2},
        {"NumberOfSectionStyles=30\r\n", 25, 154, 2, -1, 1, 1, 2},
        {"LayerSkins=3\r\n", 3, 22, 2, -1, 1, 1, 2},
        {"LayerSkins=3\r\nNumberOfSectionStyles=2\r\n", 2, 16, 2, -1, 1, 1, 2},
        // ResizeBorderSize 0 becomes 2; a side of its own replaces it.
        {"ResizeBorderSize=0\r\n", 1, 10, 2, -1, 1, 1, 2},
        {"ResizeBorderSize=5\r\nResizeBorderSize_Left=1\r\n", 1, 10, 2, -1, 1, 1, 2},
        {"ResizeBorderSize=5\r\n", 1, 10, 5, -1, 1, 1, 2},
        // ResizeBase stays when given; missing base and multiple give -1.
        {"ResizeBase=4\r\n", 1, 10, 2, 4, 1, 1, 2},
        {"ResizeBase=0\r\nResizeMultiple=3\r\n", 1, 10, 2, 0, 1, 1, 2},
        {"ResizeBase=-5\r\nResizeMultiple=0\r\n", 1, 10, 2, -1, 1, 1, 2},
        // SkinHeight of 1 or less follows ItemHeight; tight height follows the width buffer.
        {"ItemHeight=24\r\nSkinHeight=1\r\nItemWidthBuffer=6\r\n", 1, 10, 2, -1, 24, 24, 6},
        {"ItemHeight=24\r\nSkinHeight=30\r\nTightItemHeightBuffer=3\r\n", 1, 10, 2, -1, 24, 30, 3},
        {"ItemHeight=-3\r\nItemWidthBuffer=-1\r\n", 1, 10, 2, -1, 1, 1, 2},
    };
    for (const MetricCase& c : cases) {
        SkinRecord* skin = Load(std::string("[General]\r\n") + c.general);
        ASSERT_NE(nullptr, skin) << c.general;
        EXPECT_EQ(c.styles, skin->NumberOfSectionStyles) << c.general;
        EXPECT_EQ(c.states, skin->state_count) << c.general;
        EXPECT_EQ(c.styles > 1 ? 1 : 0, skin->several_styles) << c.general;
        EXPECT_EQ(c.resize_left, skin->ResizeBorderSize.left) << c.general;
        EXPECT_EQ(c.resize_base, skin->ResizeBase) << c.general;
        EXPECT_EQ(c.item_height, skin->ItemHeight) << c.general;
        EXPECT_EQ(c.skin_height, skin->SkinHeight) << c.general;
        EXPECT_EQ(c.tight_height, skin->TightItemHeightBuffer) << c.general;
        EXPECT_EQ(1, skin->loaded);
        EXPECT_EQ(1, ReleaseSkin(skin));
    }
}

TEST_F(SkinFile, GeneralDefaults) {
    SkinRecord* skin = Load("[General]\r\nSkinName=Plain\r\n");
    ASSERT_NE(nullptr, skin);
    EXPECT_STREQ("Plain", skin->SkinName);
    EXPECT_EQ(255, skin->Alpha);
    EXPECT_EQ(RGB(255, 255, 255), skin->BackgroundColor);
    EXPECT_EQ(1, skin->ItemSpacing.cx);
    EXPECT_EQ(-1, skin->MoveBorderSize.left);
    EXPECT_EQ(-1, skin->RegionBorder.top);
    EXPECT_EQ(2, skin->GripWidth[0]);
    EXPECT_EQ(5, skin->ItemIconBuffer_LeftOfIcon[0]);
    EXPECT_EQ(2, skin->ItemTextOnlyBuffer_LeftOfText[0]);
    EXPECT_EQ(-1, skin->PersonalizedMenus_ExpanderButtonItemSectionStyle);
    EXPECT_EQ(2, skin->Panorel_BackgroundDrawStyle);
    EXPECT_EQ(RGB(128, 128, 128), skin->DisabledTextColor);
    EXPECT_FALSE(skin->fonts[kSkinFontItem].valid);
    for (const ARROWBITMAPSETS& a : skin->arrows) EXPECT_FALSE(a.valid);
}

TEST_F(SkinFile, AnimationFrameWidths) {
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(temp.File("anim.bmp"), 300, 20, RGB(0, 0, 255)));
    struct { const char* keys; int in, loop, out, frame_width; } cases[] = {
        {"InFrames=1\r\nLoopFrames=3\r\nOutFrames=1\r\n", 1, 3, 1, 60},
        {"InFrames=0\r\nLoopFrames=0\r\nOutFrames=0\r\n", 0, 1, 0, 300},
        {"InFrames=-4\r\nLoopFrames=-2\r\nOutFrames=-1\r\n", 0, 1, 0, 300},
        {"LoopFrames=7\r\n", 0, 7, 0, 42},
        // More frames than pixels, or counts that overflow: one whole frame.
        {"InFrames=200\r\nLoopFrames=200\r\n", 0, 1, 0, 300},
        {"InFrames=2147483647\r\nLoopFrames=2147483647\r\nOutFrames=2147483647\r\n", 0, 1, 0, 300},
    };
    for (auto& c : cases) {
        SkinRecord* skin =
            Load(std::string("[NormalItemSkin]\r\nhBitmap=anim.bmp\r\nDelay=0\r\n") + c.keys);
        ASSERT_NE(nullptr, skin);
        const SkinStateRecord& e = skin->states[kSkinStateNormalItem];
        EXPECT_TRUE(e.valid) << c.keys;
        EXPECT_EQ(c.in, e.InFrames) << c.keys;
        EXPECT_EQ(c.loop, e.LoopFrames) << c.keys;
        EXPECT_EQ(c.out, e.OutFrames) << c.keys;
        EXPECT_EQ(c.frame_width, e.frame_width) << c.keys;
        EXPECT_EQ(20, e.bitmap_height);
        EXPECT_EQ(1, e.Delay);
        EXPECT_LE(e.frame_width * (e.InFrames + e.LoopFrames + e.OutFrames), 300);
        ReleaseSkin(skin);
    }
}

TEST_F(SkinFile, SectionStylesFallBack) {
    SkinRecord* skin = Load(
        "[General]\r\nNumberOfSectionStyles=4\r\nItemHeight=20\r\n"
        "SectionBuffer_Left=1\r\nSectionBuffer_Right=2\r\nSectionBuffer_Top=3\r\nSectionBuffer_Bottom=4\r\n"
        "SectionBuffer_Left_2=11\r\nSectionBuffer_Top_2=13\r\nGripWidth_3=9\r\n"
        "ItemIconBuffer_LeftOfIcon=-5\r\n"
        "[SectionSkin]\r\nSectionType=Taskbar\r\nItemHeight=18\r\n"
        "[SectionSkin_2]\r\nItemIconBuffer_LeftOfIcon=7\r\n"
        "[SectionSkin_3]\r\nSectionBuffer_Top=-1\r\n"
        "[SectionSkin_4]\r\nSectionBuffer_Bottom=8\r\nGripWidth=1\r\n");
    ASSERT_NE(nullptr, skin);
    // Style 0 from [General]'s plain keys.
    EXPECT_EQ(1, skin->SectionBuffer_Left[0]);
    EXPECT_EQ(4, skin->SectionBuffer_Bottom[0]);
    EXPECT_STREQ("Taskbar", skin->section_type[0].get());
    EXPECT_EQ(nullptr, skin->section_type[1].get());
    EXPECT_EQ(18, skin->item_height[0]);
    // Style 1: [General] keys with "_2"; missing sides become 0.
    EXPECT_EQ(11, skin->SectionBuffer_Left[1]);
    EXPECT_EQ(0, skin->SectionBuffer_Right[1]);
    EXPECT_EQ(13, skin->SectionBuffer_Top[1]);
    EXPECT_EQ(7, skin->ItemIconBuffer_LeftOfIcon[1]);
    EXPECT_EQ(0, skin->ItemIconBuffer_LeftOfIcon[0]);   // negative general value becomes 0
    EXPECT_EQ(20, skin->item_height[1]);
    EXPECT_EQ(11, skin->GripWidth[1]);                  // from its SectionBuffer_Left
    // Style 2: no buffers anywhere: style 0's four values; its own grip width.
    EXPECT_EQ(1, skin->SectionBuffer_Left[2]);
    EXPECT_EQ(3, skin->SectionBuffer_Top[2]);
    EXPECT_EQ(9, skin->GripWidth[2]);
    // Style 3: one side given, the others 0; a grip width below 2 becomes 2.
    EXPECT_EQ(0, skin->SectionBuffer_Left[3]);
    EXPECT_EQ(8, skin->SectionBuffer_Bottom[3]);
    EXPECT_EQ(2, skin->GripWidth[3]);
    // Styles past the count copy style 0.
    EXPECT_EQ(1, skin->SectionBuffer_Left[24]);
    EXPECT_EQ(20, skin->item_height[24]);
}

TEST_F(SkinFile, EffectsAndColours) {
    SkinRecord* skin = Load(
        "[General]\r\nShadowEffect=1\r\nShadowBlur=3\r\nShadowBlurText=1\r\nShadowIntensity=80\r\n"
        "ShadowOffset.x=2\r\nShadowColor=0 0 64\r\nTextColor=10 20 30\r\nTextOffset.x=4\r\n"
        "[NormalItemSkin]\r\nGlowEffect=1\r\nGlowEffectAmountIcons=128\r\nGlowEffectWidth=4\r\n"
        "GlowEffectColor=255 255 0\r\n"
        "[MouseoverItemSkin]\r\nTextColor=255 0 0\r\n"
        "[SelectedItemSkin]\r\nShadowEffect=0\r\n"
        "[ClickedItemSkin]\r\nShadowEffect=1\r\nShadowIntensityIcons=40\r\n"
        "[SectionSkin]\r\nGlowEffect=1\r\nGlowEffectWidth=0\r\nDisabledTextColor=\r\n"
        "[SeparatorItemSkin]\r\nForceValid=1\r\nDisabledTextColor=128 128 128\r\n");
    ASSERT_NE(nullptr, skin);
    const SkinStateRecord* s = skin->states.get();
    // Glow: intensity 128 * 100 / 255 = 50; offsets 0; blur = width.
    const SkinStateRecord& glow = s[kSkinStateNormalItem];
    EXPECT_TRUE(glow.valid);
    EXPECT_EQ(1, glow.effect);
    EXPECT_EQ(50, glow.icon_intensity);
    EXPECT_EQ(100, glow.text_intensity);
    EXPECT_EQ(4, glow.icon_blur);
    EXPECT_EQ(0, glow.icon_shadow_x);
    EXPECT_EQ(RGB(255, 255, 0), glow.shadow_color);
    EXPECT_EQ(4, glow.TextOffset.x);
    // Only a colour: valid, no bitmap, the skin-wide shadow.
    const SkinStateRecord& red = s[kSkinStateMouseoverItem];
    EXPECT_TRUE(red.valid);
    EXPECT_FALSE(red.bitmap);
    EXPECT_EQ(RGB(255, 0, 0), red.TextColor);
    EXPECT_EQ(1, red.effect);
    EXPECT_EQ(3, red.icon_blur);
    EXPECT_EQ(1, red.text_blur);
    EXPECT_EQ(80, red.icon_intensity);
    EXPECT_EQ(2, red.icon_shadow_x);
    EXPECT_EQ(RGB(0, 0, 64), red.shadow_color);
    // ShadowEffect 0: no shadow, no glow, not valid.
    EXPECT_EQ(0, s[kSkinStateSelectedItem].effect);
    EXPECT_FALSE(s[kSkinStateSelectedItem].valid);
    // Own shadow with its own defaults.
    const SkinStateRecord& own = s[kSkinStateClickedItem];
    EXPECT_TRUE(own.valid);
    EXPECT_EQ(40, own.icon_intensity);
    EXPECT_EQ(100, own.text_intensity);
    EXPECT_EQ(2, own.icon_blur);
    EXPECT_EQ(RGB(0, 0, 0), own.shadow_color);
    // A glow with width 0 switches off and takes the skin-wide shadow.
    EXPECT_EQ(1, s[kSkinStateSection].effect);
    EXPECT_EQ(3, s[kSkinStateSection].icon_blur);
    EXPECT_EQ(RGB(128, 128, 128), s[kSkinStateSection].DisabledTextColor);
    // Missing sections are invalid but carry the skin-wide values.
    EXPECT_FALSE(s[kSkinStateBarBackground].valid);
    EXPECT_EQ(RGB(10, 20, 30), s[kSkinStateBarBackground].TextColor);
    EXPECT_TRUE(s[kSkinStateSeparator].valid);   // ForceValid
}

TEST_F(SkinFile, FontsArrowsAndTransparency) {
    ASSERT_TRUE(skin_fixtures::WriteBmp(temp.File("arrow.bmp"), 8, 8, [](int x, int) {
        return x < 4 ? RGB(0, 255, 0) : RGB(0, 0, 128);
    }));
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(temp.File("grey.bmp"), 8, 8, RGB(90, 90, 90)));
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(temp.File("item.bmp"), 30, 10, RGB(200, 0, 0)));
    SkinRecord* skin = Load(
        "[General]\r\nFont=Arial\r\nFontSize=12\r\nTextColor=1 2 3\r\n"
        "TaskbarGroupHeaderFont=Arial\r\nTaskbarGroupHeaderTextColor=9 9 9\r\n"
        "TitleFont=Arial\r\nTitleFontHeight=-20\r\nTitleFontWeight=400\r\nTitleFontDefColor=4 5 6\r\n"
        "SectionBuffer_Left=3\r\nSectionBuffer_Right=4\r\nSectionBuffer_Top=5\r\nSectionBuffer_Bottom=6\r\n"
        "[LeftArrow]\r\nhBitmap=arrow.bmp\r\nUseTransparency=1\r\nTransparentyColor=0 255 0\r\n"
        "[RightArrow]\r\nhBitmap=arrow.bmp\r\nxOffset=7\r\nhBitmapGrayed=grey.bmp\r\n"
        "[DownArrow]\r\nhBitmap=missing.bmp\r\n"
        "[PopupArrow]\r\nhBitmap=arrow.bmp\r\nxAlign=0\r\nhBitmapSelected=grey.bmp\r\n"
        "[NormalItemSkin]\r\nhBitmap=item.bmp\r\nFont=Arial\r\nFontSize=9\r\nFontItalics=1\r\n"
        "FontAntialias=0\r\nUseTransparency=1\r\nTransparentyColor=200 0 0\r\nLeftWidth=5\r\n"
        "RightWidth=6\r\nTopHeight=2\r\nBottomHeight=3\r\n");
    ASSERT_NE(nullptr, skin);
    const SkinFontRecord& item = skin->fonts[kSkinFontItem];
    EXPECT_TRUE(item.valid);
    EXPECT_EQ(12, item.size);
    EXPECT_EQ(RGB(1, 2, 3), item.default_color);
    EXPECT_EQ(RGB(1, 2, 3), skin->TextColor);
    // The group header is always bold.
    EXPECT_TRUE(skin->fonts[kSkinFontGroupHeader].valid);
    EXPECT_EQ(kFontBold, skin->fonts[kSkinFontGroupHeader].style & kFontBold);
    EXPECT_EQ(RGB(9, 9, 9), skin->fonts[kSkinFontGroupHeader].default_color);
    LOGFONTA lf{};
    ASSERT_TRUE(GetObjectA(skin->fonts[kSkinFontTitle].font.get(), sizeof(lf), &lf));
    EXPECT_EQ(-20, lf.lfHeight);
    EXPECT_EQ(400, lf.lfWeight);
    EXPECT_EQ(RGB(4, 5, 6), skin->fonts[kSkinFontTitle].default_color);

    const ARROWBITMAPSETS& left = skin->arrows[kArrowLeft];
    EXPECT_TRUE(left.valid);
    EXPECT_TRUE(left.normal_mask);
    EXPECT_EQ(RGB(0, 255, 0), left.TransparentyColor);
    EXPECT_EQ(0, left.xAlign);
    EXPECT_EQ(3, left.xOffset[0]);   // SectionBuffer_Left for a left-aligned arrow
    EXPECT_EQ(5, left.yOffset[0]);
    EXPECT_EQ(left.normal.get(), left.GrayedBitmap());
    EXPECT_EQ(8, left.normal_info.bmWidth);
    const ARROWBITMAPSETS& right = skin->arrows[kArrowRight];
    EXPECT_EQ(1, right.xAlign);
    EXPECT_EQ(7, right.xOffset[3]);
    EXPECT_EQ(6, right.yOffset[0]);   // SectionBuffer_Bottom
    EXPECT_NE(right.normal.get(), right.GrayedBitmap());
    EXPECT_FALSE(skin->arrows[kArrowDown].valid);
    EXPECT_FALSE(skin->arrows[kArrowUp].valid);
    const ARROWBITMAPSETS& popup = skin->arrows[kArrowPopup];
    EXPECT_EQ(1, popup.xAlign);
    EXPECT_TRUE(popup.selected);
    EXPECT_FALSE(popup.mouseover);

    const SkinStateRecord& e = skin->states[kSkinStateNormalItem];
    EXPECT_TRUE(e.valid);
    EXPECT_TRUE(e.font_valid);
    EXPECT_EQ(kFontItalic | kFontNoAntialias, e.font_style);
    EXPECT_TRUE(e.mask);
    EXPECT_EQ(RGB(200, 0, 0), e.TransparentyColor);
    EXPECT_EQ(30 - 5 - 6, e.center_width);
    EXPECT_EQ(10 - 2 - 3, e.center_height);
}

TEST_F(SkinFile, EditorChangesApplyOnReload) {
    SkinRecord* skin = Load("[General]\r\nItemHeight=20\r\n[NormalItemSkin]\r\nTextColor=0 0 0\r\n");
    ASSERT_NE(nullptr, skin);
    EXPECT_EQ(20, skin->ItemHeight);
    skin->change_list.reset(new CIniChangeList(skin->path));
    skin->change_list->Set("General", "ItemHeight", "33", 0);
    skin->change_list->Set("NormalItemSkin", "TextColor", "0 255 0", 0);
    ASSERT_EQ(1, ReloadSkinFile(skin));
    EXPECT_EQ(33, skin->ItemHeight);
    EXPECT_TRUE(skin->change_list);   // survives the re-read
    EXPECT_TRUE(skin->states[kSkinStateNormalItem].valid);
    EXPECT_EQ(RGB(0, 255, 0), skin->states[kSkinStateNormalItem].TextColor);
    skin->change_list->Set("General", nullptr, nullptr, 1);
    ReloadSkinFile(skin);
    EXPECT_EQ(1, skin->ItemHeight);
    skin->change_list.reset();   // "SkinClosed": the file alone again
    ReloadSkinFile(skin);
    EXPECT_EQ(20, skin->ItemHeight);
}
