// Item texts: element font and colours, the task-group header in its own
// font (told apart by colour), the tab split, vertical centring, the cut
// flag, shadows with glow on and off, multi-line text and font selection.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "skins/skin_painting.h"
#include "tests/skin_painting/painting_canvas.h"
#include "util/text.h"

using painting::Canvas;
using painting::IsBluish;
using painting::IsGreenish;
using painting::IsInk;
using painting::IsReddish;
using painting::kWhite;
using painting::SkinFolder;

namespace {

constexpr UINT kLine = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;

// The group header red and bold; blue item text in the element's own font.
const std::string kHeaderFont =
    "[General]\r\n"
    "TaskbarGroupHeaderFont=Arial\r\nTaskbarGroupHeaderFontSize=16\r\n"
    "TaskbarGroupHeaderFontAntialias=0\r\nTaskbarGroupHeaderTextColor=255 0 0\r\n";
const std::string kItemElement =
    "[NormalItemSkin]\r\n"
    "Font=Arial\r\nFontSize=16\r\nFontAntialias=0\r\n"
    "TextColor=0 0 255\r\nDisabledTextColor=255 0 0\r\n";
const std::string kFonts = kHeaderFont + kItemElement;

int TextWidth(HDC dc, HFONT font, const char* text) {
    tess::ScopedSelect select(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    return size.cx;
}

int Draw(SkinRecord* skin, Canvas& canvas, const char* text, RECT rect, UINT format,
         int x_offset = 0, int right_margin = 0, bool disabled = false, int text_height = 0,
         int text_width = 0, bool keep = false, int* cut = nullptr) {
    return DrawSkinText(skin, canvas.dc(), text, &rect, format, kSkinStateNormalItem, x_offset, 0,
                        right_margin, false, disabled, 0, text_height, text_width, keep, cut);
}

struct GlowOption {
    bool saved = IsSkinGlowDisabled();
    ~GlowOption() { SetSkinGlowDisabled(saved); }
    void Disable(bool off) { SetSkinGlowDisabled(off); }
};

struct HeaderCase {
    int header_length;
    const char* red_part;    // drawn in the header font, "" = none
    const char* blue_part;
    bool red_first;
};

}  // namespace

TEST(SkinItemText, HeaderFontTable) {
    SkinFolder folder;
    SkinRecord* skin = folder.Load(kFonts);
    ASSERT_NE(nullptr, skin);
    ASSERT_TRUE(skin->fonts[kSkinFontGroupHeader].valid);
    ASSERT_TRUE(skin->states[kSkinStateNormalItem].font_valid);
    const HFONT item_font = skin->states[kSkinStateNormalItem].font.get();
    const HFONT header_font = skin->fonts[kSkinFontGroupHeader].font.get();

    const HeaderCase cases[] = {
        {0, "", "ABCDEFGHI", false},
        {4, "ABCD", "EFGHI", true},
        {-4, "FGHI", "ABCDE", false},
        {9, "ABCDEFGHI", "", true},
        {20, "ABCDEFGHI", "", true},
        {-9, "ABCDEFGHI", "", true},
        {-20, "ABCDEFGHI", "", true},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.header_length);
        Canvas canvas(400, 40, kWhite);
        RECT rect = {0, 0, 400, 40};
        int cut = 7;
        EXPECT_GT(DrawSkinItemText(skin, canvas.dc(), "ABCDEFGHI", &rect, kLine,
                                   kSkinStateNormalItem, 0, 0, 0, false, false, 0, 0, 0,
                                   c.header_length, &cut),
                  0);
        EXPECT_EQ(0, cut);
        RECT all = {0, 0, 400, 40};
        EXPECT_EQ(c.red_part[0] != 0, canvas.Count(all, IsReddish) > 0);
        EXPECT_EQ(c.blue_part[0] != 0, canvas.Count(all, IsBluish) > 0);
        if (c.red_part[0] && c.blue_part[0]) {
            // The second piece starts where the first one's width ends.
            if (c.red_first) {
                EXPECT_LT(canvas.Right(IsReddish), canvas.Left(IsBluish));
                EXPECT_NEAR(TextWidth(canvas.dc(), header_font, c.red_part),
                            canvas.Left(IsBluish), 3);
            } else {
                EXPECT_LT(canvas.Right(IsBluish), canvas.Left(IsReddish));
                EXPECT_NEAR(TextWidth(canvas.dc(), item_font, c.blue_part), canvas.Left(IsReddish),
                            3);
            }
        }
        // Measuring: the rectangle spans both pieces in their own fonts.
        RECT measure = {10, 0, 10, 0};
        DrawSkinItemText(skin, canvas.dc(), "ABCDEFGHI", &measure, kLine | DT_CALCRECT,
                         kSkinStateNormalItem, 0, 0, 0, false, false, 0, 0, 0, c.header_length,
                         nullptr);
        int want = TextWidth(canvas.dc(), header_font, c.red_part) +
                   TextWidth(canvas.dc(), item_font, c.blue_part);
        EXPECT_NEAR(want, measure.right - measure.left, 1);
    }

    // A skin without a header font draws everything in the element's font.
    SkinRecord* plain = folder.Load(kItemElement, "plain");
    ASSERT_NE(nullptr, plain);
    ASSERT_FALSE(plain->fonts[kSkinFontGroupHeader].valid);
    Canvas canvas(400, 40, kWhite);
    RECT rect = {0, 0, 400, 40};
    DrawSkinItemText(plain, canvas.dc(), "ABCDEFGHI", &rect, kLine, kSkinStateNormalItem, 0, 0, 0,
                     false, false, 0, 0, 0, 4, nullptr);
    EXPECT_EQ(0, canvas.Count(rect, IsReddish));
    EXPECT_GT(canvas.Count(rect, IsBluish), 0);
}

TEST(SkinItemText, BackgroundUnderBothPieces) {
    SkinFolder folder;
    ASSERT_TRUE(folder.WriteSolidBmp("item.bmp", 6, 6, RGB(255, 255, 0)));
    SkinRecord* skin = folder.Load(kFonts + "hBitmap=item.bmp\r\n");
    ASSERT_NE(nullptr, skin);
    for (int header : {4, -4}) {
        SCOPED_TRACE(header);
        Canvas canvas(400, 40, kWhite);
        RECT rect = {0, 0, 400, 40};
        ASSERT_EQ(2, DrawSkinItemText(skin, canvas.dc(), "ABCDEFGHI", &rect, kLine,
                                      kSkinStateNormalItem, 0, 0, 0, true, false, 0, 0, 0, header,
                                      nullptr));
        EXPECT_EQ(RGB(255, 255, 0), canvas.At(399, 39));
        EXPECT_GT(canvas.Count(rect, IsReddish), 10);
        EXPECT_GT(canvas.Count(rect, IsBluish), 10);
    }
}

TEST(SkinText, ColoursOffsetsAndTabsTable) {
    SkinFolder folder;
    SkinRecord* skin = folder.Load(kFonts + "TextOffset.x=5\r\n");
    ASSERT_NE(nullptr, skin);
    RECT all = {0, 0, 300, 40};

    // Element colour, disabled colour, and the caller's colour when kept.
    struct { bool disabled, keep; bool (*ink)(COLORREF); } colours[] = {
        {false, false, IsBluish}, {true, false, IsReddish}, {false, true, IsGreenish}};
    for (auto& c : colours) {
        Canvas canvas(300, 40, kWhite);
        SetTextColor(canvas.dc(), RGB(0, 160, 0));
        ASSERT_EQ(1, Draw(skin, canvas, "Mail", all, kLine, 0, 0, c.disabled, 0, 0, c.keep));
        RECT area = {0, 0, 300, 40};
        EXPECT_GT(canvas.Count(area, c.ink), 10) << c.disabled << c.keep;
    }

    // x offset plus the element's TextOffset.
    {
        Canvas canvas(300, 40, kWhite);
        ASSERT_EQ(1, Draw(skin, canvas, "Mail", all, kLine, 30));
        EXPECT_GE(canvas.Left(IsInk), 35);
        EXPECT_LE(canvas.Left(IsInk), 38);
    }
    // A tab: the shortcut is right-aligned 10 pixels in from the right margin.
    {
        Canvas canvas(300, 40, kWhite);
        ASSERT_EQ(1, Draw(skin, canvas, "Open\tCtrl+O", all, kLine, 0, 20));
        EXPECT_LE(canvas.Left(IsInk), 8);
        int right = canvas.Right(IsInk);
        EXPECT_LT(right, 300 - 20 - 10);
        EXPECT_GE(right, 300 - 20 - 10 - 4);
        RECT gap = {70, 0, 170, 40};
        EXPECT_EQ(0, canvas.Count(gap, IsInk));
    }
    // DT_VCENTER with a text height: the text is drawn in the middle band only.
    {
        Canvas canvas(300, 60, kWhite);
        RECT tall = {0, 0, 300, 60};
        ASSERT_EQ(1, Draw(skin, canvas, "Hg", tall, DT_LEFT | DT_VCENTER | DT_NOPREFIX, 0, 0,
                          false, 20));
        EXPECT_GE(canvas.Top(IsInk), 20);
        EXPECT_LT(canvas.Bottom(IsInk), 40);
        EXPECT_GT(canvas.Count(tall, IsInk), 10);
    }
    // Missing arguments and indices out of range draw nothing.
    {
        Canvas canvas(300, 40, kWhite);
        RECT rect = all;
        EXPECT_EQ(0, DrawSkinText(nullptr, canvas.dc(), "x", &rect, kLine, 6, 0, 0, 0, false,
                                  false, 0, 0, 0, false, nullptr));
        EXPECT_EQ(0, DrawSkinText(skin, nullptr, "x", &rect, kLine, 6, 0, 0, 0, false, false, 0, 0,
                                  0, false, nullptr));
        EXPECT_EQ(0, DrawSkinText(skin, canvas.dc(), nullptr, &rect, kLine, 6, 0, 0, 0, false,
                                  false, 0, 0, 0, false, nullptr));
        EXPECT_EQ(0, DrawSkinText(skin, canvas.dc(), "x", nullptr, kLine, 6, 0, 0, 0, false, false,
                                  0, 0, 0, false, nullptr));
        EXPECT_EQ(0, DrawSkinText(skin, canvas.dc(), "x", &rect, kLine, skin->state_count, 0, 0, 0,
                                  false, false, 0, 0, 0, false, nullptr));
        EXPECT_EQ(0, canvas.Count(all, IsInk));
    }
}

TEST(SkinText, CutFlagLeavesCallersTextAlone) {
    SkinFolder folder;
    SkinRecord* plain = folder.Load(kFonts, "plain");
    SkinRecord* shadowed = folder.Load(kFonts + "ShadowEffect=1\r\nShadowColor=0 255 0\r\n",
                                       "shadowed");
    ASSERT_TRUE(plain && shadowed);
    struct { SkinRecord* skin; const char* text; int width; int before, after; } cases[] = {
        {plain, "A long caption that will not fit", 60, 0, 1},
        {plain, "Hi", 200, 0, 0},
        {plain, "Hi", 200, 1, 1},
        {shadowed, "A long caption that will not fit", 60, 0, 1},
        {shadowed, "Hi", 200, 0, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        char text[64];
        ASSERT_TRUE(tess::CopyText(text, c.text));
        Canvas canvas(300, 40, kWhite);
        int cut = c.before;
        RECT rect = {0, 0, c.width, 40};
        int width = TextWidth(canvas.dc(), plain->states[kSkinStateNormalItem].font.get(), text);
        ASSERT_EQ(1, Draw(c.skin, canvas, text, rect, kLine | DT_END_ELLIPSIS, 0, 0, false, 0,
                          width, false, &cut));
        EXPECT_EQ(c.after, cut);
        EXPECT_STREQ(c.text, text);
        // Nothing is drawn past the rectangle (a shadow only just beyond it).
        EXPECT_LT(canvas.Right(IsInk), c.width + 8);
    }
}

TEST(SkinText, ShadowFollowsTheGlowOption) {
    SkinFolder folder;
    SkinRecord* skin = folder.Load(kFonts +
                                   "ShadowEffect=1\r\nShadowColor=0 255 0\r\nShadowOffset.x=2\r\n"
                                   "ShadowOffset.y=2\r\n");
    ASSERT_NE(nullptr, skin);
    const char* text = "Shadowed";
    for (bool off : {false, true}) {
        SCOPED_TRACE(off);
        GlowOption option;
        option.Disable(off);
        Canvas canvas(300, 40, kWhite);
        RECT rect = {0, 0, 300, 40};
        int width = TextWidth(canvas.dc(), skin->states[kSkinStateNormalItem].font.get(), text);
        ASSERT_EQ(1, Draw(skin, canvas, text, rect, kLine, 10, 0, false, 0, width));
        EXPECT_GT(canvas.Count(rect, IsBluish), 10);
        int green = canvas.Count(rect, IsGreenish);
        if (off) EXPECT_EQ(0, green);
        else EXPECT_GT(green, 10);
        // The text itself starts at the offset either way.
        EXPECT_GE(canvas.Left(IsBluish), 10);
    }
}

TEST(SkinText, MultilineAndFontSelection) {
    SkinFolder folder;
    SkinRecord* skin = folder.Load(kHeaderFont + "Font=Arial\r\nFontSize=12\r\n" + kItemElement,
                                   "fonts");
    SkinRecord* bare = folder.Load("[General]\r\nSkinName=Bare\r\n", "bare");
    ASSERT_TRUE(skin && bare);

    Canvas canvas(200, 120, kWhite);
    RECT measure = {0, 0, 200, 0};
    int line = DrawSkinText(skin, canvas.dc(), "AB", &measure, kLine | DT_CALCRECT,
                            kSkinStateNormalItem, 0, 0, 0, false, false, 0, 0, 0, false, nullptr);
    ASSERT_GT(line, 5);
    RECT rect = {0, 0, 200, 120};
    ASSERT_EQ(1, DrawSkinMultilineText(skin, canvas.dc(), "AB\r\nCD\nEF", &rect, kLine,
                                       kSkinStateNormalItem, 0, 0, 0, false, false, 0, 0, 0, false));
    for (int i = 0; i < 3; ++i) {
        RECT band = {0, i * line, 200, (i + 1) * line};
        EXPECT_GT(canvas.Count(band, IsBluish), 5) << "line " << i;
    }
    RECT below = {0, 3 * line, 200, 120};
    EXPECT_EQ(0, canvas.Count(below, IsInk));

    EXPECT_TRUE(SelectSkinFont(skin, canvas.dc()));
    EXPECT_EQ(static_cast<HGDIOBJ>(skin->fonts[kSkinFontItem].font.get()),
              GetCurrentObject(canvas.dc(), OBJ_FONT));
    EXPECT_FALSE(SelectSkinFont(bare, canvas.dc()));
    EXPECT_FALSE(SelectSkinFont(nullptr, canvas.dc()));
    EXPECT_TRUE(SelectSystemFont(canvas.dc()));
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), GetCurrentObject(canvas.dc(), OBJ_FONT));
    EXPECT_FALSE(SelectSystemFont(nullptr));
}

TEST(Fonts, DcWithoutPhysicalSizeFallsBackToScreenResolution) {
    // An old-style metafile DC reports no physical size: the resolution from
    // HORZRES / HORZSIZE would be a division by zero.
    HDC meta = CreateMetaFileA(nullptr);
    ASSERT_NE(nullptr, meta);
    ASSERT_EQ(0, GetDeviceCaps(meta, VERTSIZE));
    HFONT made = CreatePointFont(meta, "Arial", 120, 0, kFontFlagItalic, false);
    DeleteMetaFile(CloseMetaFile(meta));
    tess::ScopedFont font(made);
    ASSERT_TRUE(font);
    LOGFONTA lf = {};
    ASSERT_TRUE(GetObjectA(font.get(), sizeof(lf), &lf));
    // 12 points at 96 pixels an inch.
    EXPECT_EQ(-16, lf.lfHeight);
    EXPECT_EQ(1, lf.lfItalic);
    EXPECT_EQ(0, lf.lfWeight);

    // The screen with logical pixels gives the same height.
    tess::ScopedWindowDc screen(nullptr);
    tess::ScopedFont logical(CreatePointFont(screen.get(), "Arial", 120, 0, kFontFlagBold, true));
    ASSERT_TRUE(logical);
    ASSERT_TRUE(GetObjectA(logical.get(), sizeof(lf), &lf));
    EXPECT_EQ(-(120 * GetDeviceCaps(screen.get(), LOGPIXELSY) / 72 + 5) / 10, lf.lfHeight);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
}
