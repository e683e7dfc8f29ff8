// A section's background: one background for a run of neighbours with the
// same style when they combine their skin, painted by the first of them.
#include <string>
#include <vector>
#include "input_fixture.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/test_support.h"

namespace input_test {
namespace {

class SectionDrawingTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        std::string ini =
            "[General]\r\nSkinName=Input\r\nNumberOfSectionStyles=2\r\n"
            "[SectionSkin]\r\nhBitmap=red.bmp\r\n"
            "[SectionSkin_2]\r\nhBitmap=blue.bmp\r\n";
        ASSERT_TRUE(skin_fixtures::WriteSolidBmp(folder_.File("red.bmp"), 8, 8, RGB(255, 0, 0)));
        ASSERT_TRUE(skin_fixtures::WriteSolidBmp(folder_.File("blue.bmp"), 8, 8, RGB(0, 0, 255)));
        ASSERT_TRUE(folder_.Write("input.tsskin", ini));
        skin = LoadInputSkinFile(folder_.File("input.tsskin"));
        ASSERT_NE(nullptr, skin);
        bar = NewBar({100, 800, 400, 840});
        bar->m_skin = skin;
        for (int i = 0; i < 3; ++i) {
            sections[i] = AddSection(bar, {i * 100, 0, i * 100 + 100, 40});
            sections[i]->bCombineSkin = TRUE;
        }
    }
    void TearDown() override {
        bar->m_skin = nullptr;
        InputTest::TearDown();
        ReleaseInputSkin(skin);
    }
    // Draws one section into a white 300 x 40 picture; the colours at x 50,
    // 150 and 250, and the pixels asked for in probes.
    std::string Paint(CVellumMenuSection* section, int whole_run,
                      std::vector<std::pair<POINT, COLORREF*>> probes = {}) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 40);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 300, 40};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        section->Draw(dc, 0, whole_run);
        std::string bands;
        for (int x = 50; x < 300; x += 100) {
            COLORREF c = GetPixel(dc, x, 20);
            bands += c == RGB(255, 0, 0) ? 'R' : c == RGB(0, 0, 255) ? 'B' : c == RGB(255, 255, 255) ? 'W' : '?';
        }
        for (auto& probe : probes) *probe.second = GetPixel(dc, probe.first.x, probe.first.y);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return bands;
    }

    testing_support::TempFolder folder_;
    SkinRecord* skin = nullptr;
    CVellumMenuObject* bar = nullptr;
    CVellumMenuSection* sections[3] = {};
};

TEST_F(SectionDrawingTest, RunOfOneStyleSharesTheFirstSectionsBackground) {
    EXPECT_EQ("RRR", Paint(sections[0], 0));
    EXPECT_EQ("WWW", Paint(sections[1], 0));   // painted by the first
    EXPECT_EQ("RRR", Paint(sections[1], 1));   // a whole run from any of them
}

TEST_F(SectionDrawingTest, DifferentStylesPaintTheirOwn) {
    sections[1]->iSectionSkin = 1;
    EXPECT_EQ("RWW", Paint(sections[0], 0));
    EXPECT_EQ("WBW", Paint(sections[1], 0));
    EXPECT_EQ("WWR", Paint(sections[2], 0));
}

TEST_F(SectionDrawingTest, WithoutCombiningEachPaintsItsOuterRectangle) {
    for (CVellumMenuSection* s : sections) s->bCombineSkin = FALSE;
    EXPECT_EQ("WRW", Paint(sections[1], 0));
    sections[1]->IsHidden = TRUE;
    EXPECT_EQ("WWW", Paint(sections[1], 0));
}

TEST_F(SectionDrawingTest, DropMarkIsInvertedOverTheDrawing) {
    sections[1]->bCombineSkin = FALSE;
    sections[1]->m_dropMarkShown = TRUE;
    sections[1]->m_dropMark = {120, 10, 130, 30};
    COLORREF inside = 0, outside = 0;
    Paint(sections[1], 0, {{{125, 20}, &inside}, {{135, 20}, &outside}});
    EXPECT_EQ(RGB(0, 255, 255), inside);   // red inverted
    EXPECT_EQ(RGB(255, 0, 0), outside);
}

TEST_F(SectionDrawingTest, VisibleTitleIsDrawnInItsRectangle) {
    CVellumMenuSection* s = sections[1];
    s->bCombineSkin = FALSE;
    lstrcpynA(s->Title, "WWWWWWWW", sizeof(s->Title));
    s->m_titleRect = {5, 5, 95, 35};   // relative to the outer rectangle
    auto title_pixels = [&] {
        int count = 0;
        for (int x = 106; x < 195; x += 2) {
            COLORREF c = RGB(255, 0, 0);
            Paint(s, 0, {{{x, 20}, &c}});
            if (c != RGB(255, 0, 0)) ++count;
        }
        return count;
    };
    EXPECT_EQ(0, title_pixels());   // Title.Visible off
    s->m_titleVisible = TRUE;
    EXPECT_GT(title_pixels(), 0);
}

}  // namespace
}  // namespace input_test
