// Dialog, list-view and small UI helpers on a real dialog from a resource.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>

#include "tests/support/test_support.h"
#include "util/dialog_helpers.h"
#include "util/handles.h"
#include "util/text.h"

using namespace testing_support;

namespace {

constexpr int kEdit = 101, kCheck = 102, kList = 103;

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        dialog_.reset(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(900), nullptr,
                                         PageProc, 0));
        ASSERT_TRUE(dialog_);
        // The edit control takes any length.
        SendDlgItemMessageA(dialog_.get(), kEdit, EM_LIMITTEXT, 0, 0);
    }
    HWND Dlg() const { return dialog_.get(); }
    HWND List() const { return GetDlgItem(dialog_.get(), kList); }
    tess::ScopedWindow dialog_;
};

TEST_F(DialogTest, ChecksAndTexts) {
    SetDlgItemCheck(Dlg(), kCheck, BST_CHECKED);
    EXPECT_EQ(BST_CHECKED, GetDlgItemCheck(Dlg(), kCheck));
    SetDlgCheck(Dlg(), kCheck, BST_UNCHECKED);
    EXPECT_EQ(BST_UNCHECKED, GetDlgItemCheck(Dlg(), kCheck));

    struct Case { int state; int before; bool changed; int after; };
    const Case cases[] = {
        {BST_CHECKED, 0, true, 1},
        {BST_CHECKED, 1, false, 1},
        {BST_INDETERMINATE, 0, true, 2},
        {BST_UNCHECKED, 2, true, 0},
        {BST_UNCHECKED, 0, false, 0},
    };
    for (const Case& c : cases) {
        SetDlgItemCheck(Dlg(), kCheck, c.state);
        int value = c.before;
        EXPECT_EQ(c.changed, UpdateIntFromDlgCheck(Dlg(), kCheck, &value)) << c.state << c.before;
        EXPECT_EQ(c.after, value);
    }
    EXPECT_FALSE(UpdateIntFromDlgCheck(Dlg(), kCheck, nullptr));

    SetDlgText(Dlg(), kEdit, "first");
    SetDlgItemTextIfAny(Dlg(), kEdit, nullptr);   // keeps the text
    SetDlgText(Dlg(), kEdit, nullptr);
    char buf[kDlgTextSize] = "junk";
    EXPECT_EQ(5, GetDlgItemTextMax(Dlg(), kEdit, buf));
    EXPECT_STREQ("first", buf);

    // 2000 characters: the length without a buffer, the first 1059 with one.
    const std::string long_text = std::string(1500, 'a') + std::string(500, 'b');
    SetDlgText(Dlg(), kEdit, long_text.c_str());
    EXPECT_EQ(2000, GetDlgItemTextMax(Dlg(), kEdit, nullptr));
    EXPECT_EQ(1059, GetDlgItemTextMax(Dlg(), kEdit, buf));
    EXPECT_EQ(long_text.substr(0, 1059), std::string(buf));
    EXPECT_EQ(0, GetDlgItemTextMax(Dlg(), 999, buf));   // no such control
    EXPECT_STREQ("", buf);

    EXPECT_TRUE(IsDlgItemEnabled(Dlg(), kEdit));
    EnableDlgItem(Dlg(), kEdit, false);
    EXPECT_FALSE(IsDlgItemEnabled(Dlg(), kEdit));
    EnableDlgItem(Dlg(), kEdit, true);
    EXPECT_TRUE(IsDlgItemEnabled(Dlg(), kEdit));
}

TEST_F(DialogTest, UpdateTextOnlyWhenChangedAndWhenItFits) {
    struct Case {
        const char* name;
        std::string control;
        std::string before;
        size_t size;
        bool changed;
        std::string after;
    };
    const std::string path300 = "C:\\" + std::string(297, 'p');
    const std::string text2000(2000, 'w');
    const Case cases[] = {
        {"different", "new title", "old title", MAX_PATH, true, "new title"},
        {"letter case only", "Start Menu", "start menu", MAX_PATH, false, "start menu"},
        {"same", "same", "same", MAX_PATH, false, "same"},
        {"emptied", "", "was set", MAX_PATH, true, ""},
        {"259 characters fit 260", std::string(259, 'x'), "", MAX_PATH, true, std::string(259, 'x')},
        {"300 characters into 260", path300, "C:\\keep.exe", MAX_PATH, false, "C:\\keep.exe"},
        {"2000 characters into 1060", text2000, "", kDlgTextSize, true, std::string(1059, 'w')},
        {"small buffer, fits", "abc", "", 4, true, "abc"},
        {"small buffer, too long", "abcd", "xy", 4, false, "xy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetDlgText(Dlg(), kEdit, c.control.c_str());
        // A guard after the buffer shows that nothing past its size is written.
        std::string storage(c.size + 16, '#');
        tess::CopyText(&storage[0], c.size, c.before.c_str());
        EXPECT_EQ(c.changed, UpdateTextFromDlgItem(Dlg(), kEdit, &storage[0], c.size));
        EXPECT_EQ(c.after, std::string(storage.c_str()));
        EXPECT_EQ(std::string(16, '#'), storage.substr(c.size));
    }
    char fixed[MAX_PATH] = "old";
    SetDlgText(Dlg(), kEdit, "by array");
    EXPECT_TRUE(UpdateTextFromDlgItem(Dlg(), kEdit, fixed));
    EXPECT_STREQ("by array", fixed);
    EXPECT_FALSE(UpdateTextFromDlgItem(Dlg(), kEdit, nullptr, 10));
}

std::string ItemText(HWND list, int row, int sub) {
    char buf[MAX_PATH] = "";
    LVITEMA item{};
    item.iSubItem = sub;
    item.pszText = buf;
    item.cchTextMax = MAX_PATH;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buf;
}

TEST_F(DialogTest, ListViewColumnsAndRows) {
    HWND list = List();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(1, ListViewInsertColumn(list, 0, "Name", 120, 0, false));
    EXPECT_EQ(1, ListViewInsertColumn(list, 1, "File", 0, 1, true));
    EXPECT_EQ(0, ListViewInsertColumn(nullptr, 0, "x", 10, 0, false));
    EXPECT_EQ(0, ListViewInsertColumn(list, 2, nullptr, 10, 0, false));
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(2, SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    LVCOLUMNA col{};
    char text[64] = "";
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = text;
    col.cchTextMax = sizeof(text);
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&col)));
    EXPECT_STREQ("Name", text);
    EXPECT_EQ(120, col.cx);
    EXPECT_FALSE(col.fmt & LVCFMT_IMAGE);
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&col)));
    EXPECT_STREQ("File", text);
    EXPECT_TRUE(col.fmt & LVCFMT_IMAGE);

    int data = 42;
    EXPECT_EQ(0, ListViewInsertItem(list, "first", 0, -1, nullptr, -1));
    EXPECT_EQ(1, ListViewInsertItem(list, "second", 1, 3, &data, 2));
    EXPECT_EQ(0, ListViewInsertItem(list, "top", 0, -1, nullptr, -1));
    EXPECT_EQ(-1, ListViewInsertItem(nullptr, "x", 0, -1, nullptr, -1));
    EXPECT_EQ(3, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("top", ItemText(list, 0, 0));
    EXPECT_EQ("second", ItemText(list, 2, 0));
    LVITEMA item{};
    item.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_INDENT;
    item.iItem = 2;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(reinterpret_cast<LPARAM>(&data), item.lParam);
    EXPECT_EQ(3, item.iImage);
    EXPECT_EQ(2, item.iIndent);

    struct Case { const char* text; const char* shown; };
    const Case cases[] = {
        {"C:\\Program Files\\Tessellar\\Bars\\Start.tsbar", "Start.tsbar"},
        {"plainword", "plainword"},
        {"C:\\Folder\\", "Folder"},
        {"", ""},
    };
    for (const Case& c : cases) {
        ListViewSetSubItemText(list, 1, 1, c.text);
        EXPECT_EQ(c.shown, ItemText(list, 1, 1)) << c.text;
    }
}

TEST_F(DialogTest, MemoryDcBackgroundAndTooltip) {
    HWND wnd = Dlg();
    HDC memory = CreateWindowMemoryDc(wnd);
    ASSERT_NE(nullptr, memory);
    EXPECT_EQ(memory, GetWindowMemoryDc(wnd));
    RECT client;
    GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, reinterpret_cast<INT_PTR>(GetPropA(wnd, "propx")));
    EXPECT_EQ(client.bottom, reinterpret_cast<INT_PTR>(GetPropA(wnd, "propy")));
    EXPECT_NE(nullptr, GetPropA(wnd, "propoldbm"));
    // The dialog's background painted through a memory bitmap.
    PatBlt(memory, 0, 0, client.right, client.bottom, BLACKNESS);
    PaintBackgroundBuffered(wnd, memory);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(memory, client.right - 2, client.bottom - 2));
    // Making it again frees the first DC and its bitmap; freeing it frees both.
    HGDIOBJ bitmap = GetCurrentObject(memory, OBJ_BITMAP);
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
    HDC again = CreateWindowMemoryDc(wnd);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(again, GetWindowMemoryDc(wnd));
    EXPECT_EQ(0u, GetObjectType(memory));
    EXPECT_EQ(0u, GetObjectType(bitmap));
    bitmap = GetCurrentObject(again, OBJ_BITMAP);
    FreeWindowMemoryDc(wnd);
    EXPECT_EQ(nullptr, GetWindowMemoryDc(wnd));
    EXPECT_EQ(nullptr, GetPropA(wnd, "propx"));
    EXPECT_EQ(0u, GetObjectType(again));
    EXPECT_EQ(0u, GetObjectType(bitmap));

    HWND tip = CreateWindowTooltip(wnd, "tip text");
    ASSERT_NE(nullptr, tip);
    char cls[64] = "";
    GetClassNameA(tip, cls, sizeof(cls));
    EXPECT_EQ(0, lstrcmpiA("tooltips_class32", cls));
    EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(1, SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    DestroyWindow(tip);
    EXPECT_EQ(nullptr, CreateWindowTooltip(nullptr, "x"));
}

// A saved procedure that paints the background green, as a subclassing window keeps it.
LRESULT CALLBACK GreenBackground(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(wnd, &r);
        tess::ScopedBrush green(CreateSolidBrush(RGB(0, 200, 0)));
        FillRect(reinterpret_cast<HDC>(wp), &r, green.get());
        return 1;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

TEST_F(DialogTest, BackgroundFromTheSavedProcedure) {
    SetPropA(Dlg(), "Wndproc", reinterpret_cast<HANDLE>(GreenBackground));
    tess::ScopedWindowDc screen(Dlg());
    tess::ScopedMemoryDc dc(CreateCompatibleDC(screen.get()));
    tess::ScopedBitmap bitmap(CreateCompatibleBitmap(screen.get(), 50, 50));
    tess::ScopedSelect sel(dc.get(), bitmap.get());
    PatBlt(dc.get(), 0, 0, 50, 50, BLACKNESS);
    RECT part = {10, 10, 20, 20};
    PaintBackgroundBufferedRect(Dlg(), dc.get(), part);
    EXPECT_EQ(RGB(0, 200, 0), GetPixel(dc.get(), 15, 15));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc.get(), 25, 25));   // only the rectangle
    RemovePropA(Dlg(), "Wndproc");
    void* bits = nullptr;
    tess::ScopedBitmap dib(CreateDib32Section(7, 5, &bits));
    ASSERT_TRUE(dib);
    EXPECT_NE(nullptr, bits);
    BITMAP info{};
    GetObjectA(dib.get(), sizeof(info), &info);
    EXPECT_EQ(7, info.bmWidth);
    EXPECT_EQ(32, info.bmBitsPixel);
}

TEST(SmallHelpers, LowestSetBitAndIniColours) {
    struct BitCase { DWORD mask; int bit; };
    for (const BitCase& c : {BitCase{0, -1}, {1, 0}, {0x80000000u, 31}, {0x0C, 2}, {0xFFFFFFFFu, 0}})
        EXPECT_EQ(c.bit, LowestSetBit(c.mask)) << c.mask;

    TempFolder tmp;
    ASSERT_TRUE(tmp.Write("colours.ini",
                          "[Colours]\r\nText=10 20 30\r\nHigh=300 -5 7\r\nBad=1 2\r\nEmpty=\r\n"));
    std::string ini = tmp.File("colours.ini");
    struct Case { const char* key; COLORREF expected; };
    const Case cases[] = {
        {"Text", RGB(10, 20, 30)},
        {"High", RGB(255, 0, 7)},
        {"Bad", GetSysColor(COLOR_WINDOWTEXT)},
        {"Empty", GetSysColor(COLOR_WINDOWTEXT)},
        {"Missing", GetSysColor(COLOR_WINDOWTEXT)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, ReadIniColour(ini.c_str(), c.key, COLOR_WINDOWTEXT)) << c.key;
}

TEST(SmallHelpers, ImageListsFromMagentaBitmaps) {
    // Two 4 x 4 images side by side: red with a magenta corner, then green.
    TempFolder tmp;
    const int w = 8, h = 4;
    std::string file(14 + 40 + w * h * 4, '\0');
    BITMAPFILEHEADER* fh = reinterpret_cast<BITMAPFILEHEADER*>(&file[0]);
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(file.size());
    fh->bfOffBits = 54;
    BITMAPINFOHEADER* ih = reinterpret_cast<BITMAPINFOHEADER*>(&file[14]);
    ih->biSize = 40;
    ih->biWidth = w;
    ih->biHeight = h;
    ih->biPlanes = 1;
    ih->biBitCount = 32;
    DWORD* px = reinterpret_cast<DWORD*>(&file[54]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[y * w + x] = x < 4 ? 0xFF0000 : 0x00FF00;
    px[(h - 1) * w + 0] = 0xFF00FF;   // top-left of the first image
    ASSERT_TRUE(tmp.Write("strip.bmp", file));
    HIMAGELIST list = ImageListFromBitmapFile(tmp.File("strip.bmp").c_str(), 4);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(2, ImageList_GetImageCount(list));

    DWORD* bits = nullptr;
    tess::ScopedBitmap canvas(CreateDib32(8, 4, &bits));
    for (int i = 0; i < 32; ++i) bits[i] = 0x0000FF;   // blue background
    tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
    tess::ScopedSelect sel(dc.get(), canvas.get());
    ImageList_Draw(list, 0, dc.get(), 0, 0, ILD_TRANSPARENT);
    GdiFlush();
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc.get(), 0, 0));   // magenta is see-through
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.get(), 1, 1));

    DrawBlendedImages(dc.get(), list, 0, 1, 255, 4, 0);
    GdiFlush();
    EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc.get(), 6, 2));
    DrawBlendedImages(dc.get(), list, 0, 1, 0, 4, 0);
    GdiFlush();
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.get(), 6, 2));
    ImageList_Destroy(list);
    EXPECT_EQ(nullptr, ImageListFromBitmapFile(tmp.File("none.bmp").c_str(), 4));
    EXPECT_EQ(nullptr, ImageListFromBitmapFile(tmp.File("strip.bmp").c_str(), 0));
}

}  // namespace
