// The GDI and icon handles a bar and its items own: a replaced handle is freed
// at once, an unchanged one is kept, and closing the owner frees what is left.
#include <memory>
#include <set>
#include <string>
#include "drawing_fixture.h"
#include "model/live_objects.h"
#include "util/handles.h"

namespace drawing_test {
namespace {

// 12 x 12 with magenta 4 x 4 corners and grey elsewhere.
COLORREF CornerPixel(int x, int y) {
    bool corner_x = x < 4 || x >= 8;
    bool corner_y = y < 4 || y >= 8;
    return corner_x && corner_y ? RGB(255, 0, 255) : RGB(128, 128, 128);
}

std::string CornerSkin(const std::string& general) {
    return "[General]\r\n" + general +
           "[TaskbarBackgroundSkin]\r\nhBitmap=corners.bmp\r\nLeftWidth=4\r\nRightWidth=4\r\n"
           "TopHeight=4\r\nBottomHeight=4\r\n";
}

// A window region scanned along the left border (a skin with regions but no
// border would use a colour key instead).
const char kRegionGeneral[] = "UseRegions=1\r\nRegionBorder_Left=4\r\n";

bool IsBitmap(HGDIOBJ handle) { return handle && GetObjectType(handle) == OBJ_BITMAP; }
bool IsRegion(HGDIOBJ handle) { return handle && GetObjectType(handle) == OBJ_REGION; }
bool IsGone(HGDIOBJ handle) { return GetObjectType(handle) == 0; }

bool IsIcon(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

// A 16 x 16 32-bit icon file of one colour.
std::string IconFile(COLORREF color) {
    const int size = 16;
    std::string bytes;
    auto put16 = [&bytes](int v) { bytes += static_cast<char>(v & 0xFF); bytes += static_cast<char>((v >> 8) & 0xFF); };
    auto put32 = [&put16](int v) { put16(v & 0xFFFF); put16((v >> 16) & 0xFFFF); };
    const int image_bytes = 40 + size * size * 4 + size * 4;
    put16(0); put16(1); put16(1);                                 // icon file, one image
    bytes += static_cast<char>(size); bytes += static_cast<char>(size);
    bytes += '\0'; bytes += '\0';                                 // no palette
    put16(1); put16(32); put32(image_bytes); put32(6 + 16);       // planes, bits, size, offset
    put32(40); put32(size); put32(size * 2); put16(1); put16(32);   // BITMAPINFOHEADER
    for (int i = 0; i < 6; ++i) put32(0);
    for (int i = 0; i < size * size; ++i) {
        bytes += static_cast<char>(GetBValue(color));
        bytes += static_cast<char>(GetGValue(color));
        bytes += static_cast<char>(GetRValue(color));
        bytes += static_cast<char>(0xFF);
    }
    bytes.append(size * 4, '\0');                                 // AND mask: all shown
    return bytes;
}

class OwnedHandlesTest : public DrawingTest {
protected:
    void SetUp() override { ASSERT_TRUE(skins_.Bitmap("corners.bmp", 12, 12, CornerPixel)); }

    // Gives the bar a new client size and draws it.
    void ResizeAndDraw(CVellumMenuObject* bar, SIZE size) {
        bar->m_placement.LastSize = size;
        SetWindowPos(bar->m_hWnd, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        bar->RedrawVellumWindow();
    }
};

// The memory bitmap is made anew only for a new window size; each new one
// frees the one before, and skin reloads at one size keep it.
TEST_F(OwnedHandlesTest, MemoryBitmapIsReplacedOnlyForANewSizeAndTheOldOneFreed) {
    CVellumMenuObject* bar = NewBar(200, 40);
    ASSERT_TRUE(ApplySkin(bar, skins_.Write("plain.tsskin", CornerSkin(""))));
    const SIZE sizes[] = {{200, 40}, {200, 40}, {120, 30}, {300, 50}, {300, 50}, {200, 40}};
    HBITMAP before = nullptr;
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        const SIZE old_size = bar->m_memoryBitmapSize;
        ResizeAndDraw(bar, size);
        HBITMAP now = bar->m_memoryBitmap;
        ASSERT_TRUE(IsBitmap(now));
        EXPECT_EQ(size.cx, bar->m_memoryBitmapSize.cx);
        EXPECT_EQ(size.cy, bar->m_memoryBitmapSize.cy);
        BITMAP info{};
        ASSERT_TRUE(GetObjectA(now, sizeof(info), &info));
        EXPECT_EQ(size.cx, info.bmWidth);
        EXPECT_EQ(size.cy, info.bmHeight);
        if (before) {
            const bool same_size = old_size.cx == size.cx && old_size.cy == size.cy;
            EXPECT_EQ(same_size, now == before);
            if (!same_size) { EXPECT_TRUE(IsGone(before)); }
        }
        before = now;
    }

    // Many skin reloads at one size: still the one memory bitmap; the
    // background cache is rebuilt for each skin and every earlier one freed.
    std::set<HBITMAP> caches;
    for (int i = 0; i < 40; ++i) {
        const std::string name = i % 2 ? "plain.tsskin" : "other.tsskin";
        ASSERT_TRUE(ApplySkin(bar, skins_.Write(name, CornerSkin(i % 2 ? "" : "EdgeBuffer=2\r\n"))));
        bar->RedrawVellumWindow();
        EXPECT_EQ(before, bar->m_memoryBitmap);
        ASSERT_TRUE(IsBitmap(bar->m_backgroundCache));
        caches.insert(bar->m_backgroundCache);
    }
    EXPECT_GT(caches.size(), 1u);
    for (HBITMAP cache : caches) {
        if (cache != bar->m_backgroundCache) { EXPECT_TRUE(IsGone(cache)); }
    }
}

// The stored copy of the window region: kept while the region stays the
// same, replaced (the old copy freed) when it changes, dropped (and freed)
// when the skin stops using regions.
TEST_F(OwnedHandlesTest, RegionCopyIsReplacedOnlyWhenTheRegionChanges) {
    CVellumMenuObject* bar = NewBar(200, 40);
    ASSERT_TRUE(ApplySkin(bar, skins_.Write("region.tsskin", CornerSkin(kRegionGeneral))));
    struct Step {
        SIZE size;
        bool replaced;
    };
    const Step steps[] = {{{200, 40}, false}, {{160, 40}, true}, {{160, 40}, false},
                          {{160, 60}, true}};
    bar->RedrawVellumWindow();
    HRGN copy = bar->m_regionCopy;
    ASSERT_TRUE(IsRegion(copy));
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.size.cx << " x " << step.size.cy);
        ResizeAndDraw(bar, step.size);
        ASSERT_TRUE(IsRegion(bar->m_regionCopy));
        EXPECT_EQ(step.replaced, bar->m_regionCopy != copy);
        if (step.replaced) {
            EXPECT_TRUE(IsGone(copy));
        }
        // The copy matches the window's region, corners cut.
        tess::ScopedRegion window(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(ERROR, GetWindowRgn(bar->m_hWnd, window.get()));
        EXPECT_TRUE(EqualRgn(window.get(), bar->m_regionCopy));
        EXPECT_FALSE(PtInRegion(bar->m_regionCopy, 0, 0));
        copy = bar->m_regionCopy;
    }

    ASSERT_TRUE(ApplySkin(bar, skins_.Write("flat.tsskin", CornerSkin(""))));
    bar->RedrawVellumWindow();
    EXPECT_EQ(nullptr, bar->m_regionCopy);
    EXPECT_TRUE(IsGone(copy));
}

// Closing a bar frees its memory bitmap, background cache and region copy.
TEST_F(OwnedHandlesTest, ClosingABarFreesAllThreeOfItsHandles) {
    const bool close_by_window[] = {true, false};
    for (bool by_window : close_by_window) {
        SCOPED_TRACE(by_window ? "WM_CLOSE" : "last reference");
        CVellumMenuObject* bar = NewBar(200, 40);
        ASSERT_TRUE(ApplySkin(bar, skins_.Write("region.tsskin", CornerSkin(kRegionGeneral))));
        bar->RedrawVellumWindow();
        const HGDIOBJ handles[] = {bar->m_memoryBitmap, bar->m_backgroundCache, bar->m_regionCopy};
        for (HGDIOBJ handle : handles) ASSERT_NE(0u, GetObjectType(handle));
        if (by_window) {
            CloseBar(bar);
        } else {
            bar->AddRef();
            SendMessageA(bar->m_hWnd, WM_CLOSE, 0, 0);
            bar->Release();
        }
        ASSERT_FALSE(IsLiveBar(bar));
        for (HGDIOBJ handle : handles) EXPECT_TRUE(IsGone(handle));
    }
}

// Reloading an item's icons destroys the ones it loaded and keeps the ones it
// was only lent (a window's class icon); a destroyed item takes its own icons
// with it and leaves a lent one alone.
TEST_F(OwnedHandlesTest, ItemIconsAreDestroyedOnlyWhenTheItemOwnsThem) {
    testing_support::TempFolder folder;
    folder.Write("red.ico", IconFile(RGB(255, 0, 0)));
    folder.Write("blue.ico", IconFile(RGB(0, 0, 255)));
    const std::string red = folder.File("red.ico");
    const std::string blue = folder.File("blue.ico");
    CVellumMenuObject* bar = NewBar(200, 40);
    auto* section = new DrawingSection(bar);
    bar->InsertSection(-1, section);

    auto* item = new SizedItem(bar, section, 20, 20);
    ASSERT_TRUE(section->InsertItem(-1, item));
    item->IconSize = 16;
    item->SetIconPath(1, const_cast<char*>(red.c_str()));
    item->SetIconPath(2, const_cast<char*>(blue.c_str()));
    ASSERT_EQ(1, item->RefreshIcon());
    HICON first1 = item->m_icon1.get(), first2 = item->m_icon2.get();
    ASSERT_TRUE(IsIcon(first1));
    ASSERT_TRUE(IsIcon(first2));

    ASSERT_EQ(1, item->RefreshIcon());
    EXPECT_TRUE(IsIcon(item->m_icon1.get()));
    EXPECT_TRUE(IsIcon(item->m_icon2.get()));
    EXPECT_NE(first1, item->m_icon1.get());
    EXPECT_FALSE(IsIcon(first1));
    EXPECT_FALSE(IsIcon(first2));

    // An empty path empties the icon.
    item->SetIconPath(2, nullptr);
    HICON second2 = item->m_icon2.get();
    ASSERT_EQ(1, item->RefreshIcon());
    EXPECT_EQ(nullptr, item->m_icon2.get());
    EXPECT_FALSE(IsIcon(second2));

    // A lent icon outlives a reload and the item.
    HICON lent = static_cast<HICON>(LoadImageA(nullptr, red.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
    ASSERT_TRUE(IsIcon(lent));
    HICON loaded = item->m_icon1.get();
    item->m_icon1.Borrow(lent);
    EXPECT_FALSE(IsIcon(loaded));
    ASSERT_EQ(1, item->RefreshIcon());
    EXPECT_TRUE(IsIcon(lent));
    item->m_icon1.Borrow(lent);
    section->RemoveItem(item, 1);
    EXPECT_TRUE(IsIcon(lent));
    DestroyIcon(lent);

    // The same icon handed over as both images, and a copy of the item: every
    // holder has its own icon, and each goes with its holder.
    auto* twice = new SizedItem(bar, section, 20, 20);
    ASSERT_TRUE(section->InsertItem(-1, twice));
    HICON both = static_cast<HICON>(LoadImageA(nullptr, blue.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
    twice->ReplaceIcons(tess::ScopedIcon(both), tess::ScopedIcon(both));
    HICON second = twice->m_icon2.get();
    EXPECT_EQ(both, twice->m_icon1.get());
    EXPECT_TRUE(IsIcon(second));
    EXPECT_NE(both, second);
    auto copy = std::make_unique<tess::HeldIcon>(twice->m_icon1);
    HICON copied = copy->get();
    EXPECT_TRUE(IsIcon(copied));
    EXPECT_NE(both, copied);
    section->RemoveItem(twice, 1);
    EXPECT_FALSE(IsIcon(both));
    EXPECT_FALSE(IsIcon(second));
    EXPECT_TRUE(IsIcon(copied));
    copy.reset();
    EXPECT_FALSE(IsIcon(copied));
}

}  // namespace
}  // namespace drawing_test
