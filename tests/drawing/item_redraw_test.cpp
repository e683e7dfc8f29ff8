// One item's state change on a real bar window: only that item draws, only
// its rectangle reaches the window, and the picture matches a full redraw.
#include <string>
#include <vector>
#include "drawing_fixture.h"
#include "model/bar_host.h"
#include "util/handles.h"

namespace drawing_test {
namespace {

using testing_support::PumpFor;
using testing_support::ScreenCapture;

constexpr COLORREF kMarker = RGB(255, 0, 0);
constexpr COLORREF kOver = RGB(255, 255, 0);

// Solid items with a see-through (magenta) two-pixel border, so the section
// background under each item shows and must be painted again with it.
COLORREF NormalPixel(int x, int y) {
    bool border = x < 2 || y < 2 || x >= 10 || y >= 10;
    return border ? RGB(255, 0, 255) : RGB(0, 0, 200);
}
COLORREF OverPixel(int x, int y) {
    bool border = x < 2 || y < 2 || x >= 10 || y >= 10;
    return border ? RGB(255, 0, 255) : kOver;
}
// A section background that differs from column to column.
COLORREF SectionPixel(int x, int) { return RGB(40 + x * 4, 90, 40); }

const char kSkin[] =
    "[General]\r\nItemHeight=20\r\nBackgroundColor=0 128 0\r\nEdgeBuffer=2\r\n"
    "[SectionSkin]\r\nhBitmap=section.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nTopHeight=2\r\n"
    "BottomHeight=2\r\n"
    "[NormalItemSkin]\r\nhBitmap=normal.bmp\r\nLeftWidth=3\r\nRightWidth=3\r\nTopHeight=3\r\n"
    "BottomHeight=3\r\n"
    "[MouseoverItemSkin]\r\nhBitmap=over.bmp\r\nLeftWidth=3\r\nRightWidth=3\r\nTopHeight=3\r\n"
    "BottomHeight=3\r\n";

bool AnimationsOff() { return true; }

// A titled item (its skin shows behind the text) that counts its draws.
class CountingItem : public CVellumMenuItem {
public:
    CountingItem(CVellumMenuObject* bar, CVellumMenuSection* section, const char* title)
        : CVellumMenuItem(bar, section, const_cast<char*>(title)) {}
    void Draw(HDC dc) override {
        ++draws;
        CVellumMenuItem::Draw(dc);
    }
    int draws = 0;
};

// The pixels of a bitmap that no DC holds, top row first.
std::vector<DWORD> BitmapPixels(HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    tess::ScopedWindowDc screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        pixels.clear();
    return pixels;
}

class ItemRedrawTest : public DrawingTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(skins_.Bitmap("normal.bmp", 12, 12, NormalPixel));
        ASSERT_TRUE(skins_.Bitmap("over.bmp", 12, 12, OverPixel));
        ASSERT_TRUE(skins_.Bitmap("section.bmp", 40, 12, SectionPixel));
        GetBarHostServices().AreAnimationsDisabled = AnimationsOff;
    }
    void TearDown() override {
        GetBarHostServices().AreAnimationsDisabled = nullptr;
        DrawingTest::TearDown();
    }
};

TEST_F(ItemRedrawTest, AStateChangeRepaintsOnlyThatItemAndMatchesAFullRedraw) {
    constexpr int kItems = 5, kWidth = 300, kHeight = 24, kLeft = 40, kTop = 40;
    struct Case {
        const char* name;
        int index;
    };
    const Case cases[] = {{"first item", 0}, {"middle item", 2}, {"last item", kItems - 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = NewBar(kWidth, kHeight);
        ASSERT_TRUE(ApplySkin(bar, skins_.Write("items.tsskin", kSkin)));
        auto* section = new CVellumMenuSection(bar, 1, 0);
        section->bResizable = FALSE;
        bar->InsertSection(-1, section);
        std::vector<CountingItem*> items;
        for (int i = 0; i < kItems; ++i) {
            items.push_back(new CountingItem(bar, section, "Item"));
            section->InsertItem(-1, items.back());
        }
        bar->RecalcRects(1, 0);
        SetWindowPos(bar->m_hWnd, HWND_TOPMOST, kLeft, kTop, kWidth, kHeight,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
        PumpFor(100);
        bar->RedrawVellumWindow();
        PumpFor(50);

        CountingItem* item = items[c.index];
        RECT shown;
        item->GetRealItemRect(&shown);
        ASSERT_FALSE(IsRectEmpty(&shown));
        // The window's pixels are overwritten; a redraw that copies more than
        // the item's rectangle puts the bar's picture back over the marker.
        {
            tess::ScopedWindowDc window(bar->m_hWnd);
            tess::ScopedBrush marker(CreateSolidBrush(kMarker));
            RECT all = {0, 0, kWidth, kHeight};
            FillRect(window.get(), &all, marker.get());
        }
        for (CountingItem* each : items) each->draws = 0;

        item->SetState(kStateMouseOver, 0);
        item->RedrawItem();
        for (int i = 0; i < kItems; ++i)
            EXPECT_EQ(i == c.index ? 1 : 0, items[i]->draws) << "item " << i;
        const std::vector<DWORD> partial =
            BitmapPixels(bar->m_memoryBitmap, kWidth, kHeight);
        PumpFor(50);

        ScreenCapture capture(RECT{kLeft, kTop, kLeft + kWidth, kTop + kHeight});
        ASSERT_TRUE(capture.Valid());
        int marker_inside = 0, over_inside = 0, repainted_outside = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const COLORREF pixel = capture.Pixel(x, y);
                const POINT pt = {x, y};
                if (PtInRect(&shown, pt)) {
                    if (pixel == kMarker) ++marker_inside;
                    if (pixel == kOver) ++over_inside;
                } else if (pixel != kMarker) {
                    ++repainted_outside;
                }
            }
        }
        EXPECT_EQ(0, marker_inside);
        EXPECT_GT(over_inside, 0);
        EXPECT_EQ(0, repainted_outside);

        // The same state drawn from scratch gives the same picture.
        bar->RedrawVellumWindow();
        const std::vector<DWORD> full = BitmapPixels(bar->m_memoryBitmap, kWidth, kHeight);
        ASSERT_FALSE(partial.empty());
        EXPECT_TRUE(partial == full);
        CloseBar(bar);
    }
}

}  // namespace
}  // namespace drawing_test
