// The images of real items: state bitmaps found in the skin folder or the
// bar folder, TGA alpha, icons by index from a library and from .ico files,
// bitmap paths switched between storage modes, and no GDI object left over.
#include <winternl.h>
#include <string>
#include <vector>
#include "items_fixture.h"
#include "model/vellum_menu_item.h"

namespace items_test {
namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof(info), &info)) return SIZE{-1, -1};
    return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

// The icon's size and the colour at its centre.
struct IconLook {
    int width = -1, height = -1;
    COLORREF centre = CLR_INVALID;
};

IconLook LookAt(HICON icon) {
    IconLook look;
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return look;
    BITMAP bm = {};
    GetObjectA(info.hbmColor, sizeof(bm), &bm);
    look.width = bm.bmWidth;
    look.height = bm.bmHeight;
    look.centre = testing_support::DibPixel(info.hbmColor, bm.bmWidth / 2, bm.bmHeight / 2);
    if (look.centre == CLR_INVALID) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, info.hbmColor);
        look.centre = GetPixel(dc, bm.bmWidth / 2, bm.bmHeight / 2);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return look;
}

// GDI objects of this process: GetGuiResources, or where Wine answers 0
// there, the used entries of the process's shared GDI handle table.
DWORD CountGdiObjects() {
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count) return count;
#ifdef _WIN64
    constexpr size_t kPebGdiTable = 0xF8;
#else
    constexpr size_t kPebGdiTable = 0x94;
#endif
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic,
                                  sizeof(basic), nullptr) != 0)
        return 0;
    const BYTE* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    const BYTE* table = peb ? *reinterpret_cast<const BYTE* const*>(peb + kPebGdiTable) : nullptr;
    if (!table) return 0;
    constexpr int kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
    for (int i = 0; i < kEntries; ++i)
        if (table[i * kEntrySize + kTypeOffset]) ++count;
    return count;
}

// The counter follows 100 bitmaps made and freed.
bool GdiCounterWorks() {
    DWORD before = CountGdiObjects();
    std::vector<HBITMAP> probes;
    for (int i = 0; i < 100; ++i) probes.push_back(CreateBitmap(4, 4, 1, 32, nullptr));
    DWORD during = CountGdiObjects();
    for (HBITMAP b : probes) DeleteObject(b);
    return during >= before + 100 && CountGdiObjects() == before;
}

std::string IconLibrary() { return testing_support::BinFolder() + "\\items_icons.dll"; }

class ItemImagesTest : public ItemsTest {};

TEST_F(ItemImagesTest, ASkinRelativeBitmapMissingInTheSkinFolderComesFromTheBarFolder) {
    CVellumMenuObject* bar =
        Bar({"Item1.Title=b", "Item1.DisplayAsBitmap=1", "Item1.PathRelativeToSkin=1",
             "Item1.NormalBitmap=bar_only.bmp", "Item1.MouseoverBitmap=over.bmp",
             "Item1.SelectedBitmap=nowhere.bmp"});
    CVellumMenuItem* item = Item(bar);
    EXPECT_EQ(14, BitmapSize(item->m_normalBitmap.get()).cx) << "from the bar folder";
    EXPECT_EQ(12, BitmapSize(item->m_mouseOverBitmap.get()).cx) << "from the skin folder";
    EXPECT_EQ(nullptr, item->m_selectedBitmap.get());
    EXPECT_NE(nullptr, item->m_normalMask.get());
    EXPECT_EQ(14, item->m_bitmapInfo.bmWidth) << "the normal bitmap's information";
    // The paths stay as the file holds them.
    EXPECT_STREQ("bar_only.bmp", item->NormalBitmap);
}

TEST_F(ItemImagesTest, A32BitTgaStateKeepsItsAlphaAndNeedsNoMask) {
    CVellumMenuObject* bar = Bar({"Item1.Title=t", "Item1.DisplayAsBitmap=1",
                                  "Item1.UseTransparency=1", "Item1.NormalBitmap=glass.tga"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item->m_normalBitmap.get());
    ASSERT_NE(nullptr, item->m_normalBits);
    EXPECT_EQ(128u, (item->m_normalBits[0] >> 24) & 0xFF);
    EXPECT_EQ(nullptr, item->m_normalMask.get());
    EXPECT_EQ((SIZE{12, 12}).cx, BitmapSize(item->m_normalBitmap.get()).cx);
}

TEST_F(ItemImagesTest, WhenNoStateLoadsNothingIsHeld) {
    CVellumMenuObject* bar = Bar({"Item1.Title=n", "Item1.DisplayAsBitmap=1",
                                  "Item1.NormalBitmap=cold.bmp"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item->m_normalBitmap.get());
    HBITMAP held = item->m_normalBitmap.get();
    item->SetBitmapPath(1, const_cast<char*>("C:\\no\\such\\file.bmp"));
    EXPECT_EQ(0, item->RefreshBitmaps());
    EXPECT_EQ(0u, GetObjectType(held));
    for (HBITMAP b : {item->m_normalBitmap.get(), item->m_normalMask.get(),
                      item->m_mouseOverBitmap.get(), item->m_mouseOverMask.get(),
                      item->m_selectedBitmap.get(), item->m_selectedMask.get()})
        EXPECT_EQ(nullptr, b);
    EXPECT_EQ(nullptr, item->m_normalBits);
    item->DisplayAsBitmap = FALSE;
    EXPECT_EQ(0, item->RefreshBitmaps());
}

TEST_F(ItemImagesTest, IconsLoadByIndexAtTheItemsIconSize) {
    ASSERT_TRUE(testing_support::FileExistsOnDisk(IconLibrary())) << IconLibrary();
    CopyFileA(FixtureFile("icons\\icon2.ico").c_str(), (bar_folder_ + "icon2.ico").c_str(), FALSE);
    // Icon i of the fixtures is red 100 + 10 i in 16 pixels and green
    // 100 + 10 i in 32; the shade tells the index. (Wine's ExtractIconEx
    // scales the 32-pixel image for the small icon, so either channel.)
    struct Case {
        std::string icon;
        int index, size, shade;
    } cases[] = {
        {IconLibrary(), 3, 32, 130},
        {IconLibrary(), 3, 16, 130},
        {IconLibrary(), 0, 32, 100},
        {"icon2.ico", 0, 32, 120},
        {"icon2.ico", 0, 16, 120},
    };
    for (const Case& c : cases) {
        CVellumMenuObject* bar =
            Bar({"Item1.Title=i", "Item1.Icon=" + c.icon, "Item1.IconIndex=" + std::to_string(c.index),
                 "Item1.IconSize=" + std::to_string(c.size)});
        CVellumMenuItem* item = Item(bar);
        IconLook look = LookAt(item->m_icon1.get());
        EXPECT_EQ(c.size, look.width) << c.icon << " " << c.index << " at " << c.size;
        EXPECT_EQ(c.size, look.height) << c.icon;
        int shade = GetRValue(look.centre) + GetGValue(look.centre);
        EXPECT_EQ(c.shade, shade) << c.icon << " " << c.index << " at " << c.size;
        if (c.size == 32) {
            EXPECT_EQ(RGB(0, c.shade, 0), look.centre) << c.icon;
        }
        CloseBar(bar);
    }
}

// Under a bar folder of 200 characters the absolute path is far longer than
// the relative one it replaces; both directions keep it whole.
TEST_F(ItemImagesTest, SwitchingTheBitmapPathThereAndBackKeepsItWhole) {
    std::string relative_folder;
    for (char c = 'a'; bar_folder_.size() + relative_folder.size() < 200; ++c) {
        relative_folder += std::string(40, c) + "\\";
        ASSERT_TRUE(CreateDirectoryA((bar_folder_ + relative_folder).c_str(), nullptr));
    }
    const std::string deep = bar_folder_ + relative_folder;
    ASSERT_GE(deep.size(), 200u);
    CVellumMenuObject* bar = LoadBar(WriteBar("deep.tsbar",
        {"Item1.Title=d", "Item1.DisplayAsBitmap=1", "Item1.PathRelativeToSkin=1",
         "Item1.NormalBitmap=normal.bmp"}, deep));
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item->m_normalBitmap.get()) << "found in the skin folder";

    item->PathRelativeToSkin = FALSE;
    item->SwitchOverBitmapPath(item->NormalBitmap, 1);
    EXPECT_EQ(deep + "normal.bmp", std::string(item->NormalBitmap));

    item->PathRelativeToSkin = TRUE;
    item->SwitchOverBitmapPath(item->NormalBitmap, 0);
    EXPECT_EQ("..\\bars\\" + relative_folder + "normal.bmp", std::string(item->NormalBitmap));

    // A caller's buffer of MAX_PATH characters is rewritten in place.
    char buffer[MAX_PATH] = "normal.bmp";
    item->PathRelativeToSkin = FALSE;
    item->SwitchOverBitmapPath(buffer, 1);
    EXPECT_EQ(deep + "normal.bmp", std::string(buffer));
    item->SwitchOverBitmapPath(const_cast<char*>(""), 1);
}

TEST_F(ItemImagesTest, ThousandRefreshesLeaveNoGdiObjectBehind) {
    if (!GdiCounterWorks()) GTEST_SKIP() << "no GDI object count in this process";
    CVellumMenuObject* bar = Bar({"Item1.Title=g", "Item1.DisplayAsBitmap=1",
                                  "Item1.NormalBitmap=cold.bmp", "Item1.SelectedBitmap=hot.bmp",
                                  "Item1.Icon=" + FixtureFile("icons\\icon2.ico"),
                                  "Item1.Icon2=" + FixtureFile("icons\\icon4.ico")});
    CVellumMenuItem* item = Item(bar);
    std::string hot = bar_folder_ + "hot.bmp";
    item->AddCustomState(const_cast<char*>("Hot"), const_cast<char*>(hot.c_str()));
    item->RefreshBitmaps();
    item->RefreshIcon();
    const DWORD before = CountGdiObjects();
    for (int i = 0; i < 1000; ++i) item->RefreshBitmaps();
    // Icons and custom states replace their handles the same way; fewer
    // rounds keep the test fast.
    for (int i = 0; i < 100; ++i) {
        item->RefreshIcon();
        item->EditCustomState(nullptr, nullptr);
    }
    EXPECT_EQ(before, CountGdiObjects());
    ASSERT_NE(nullptr, item->m_normalBitmap.get());
    ASSERT_NE(nullptr, item->m_icon1.get());
}

}  // namespace
}  // namespace items_test
