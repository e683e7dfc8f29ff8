// The test bench itself: message boxes are answered and recorded, pumping
// ends on time, the screen can be read, and temp folders clean up.
#include <gtest/gtest.h>
#include "tests/support/test_support.h"

using namespace testing_support;

TEST(Bench, MessageBoxIsRecordedAndAnswered) {
    MessageBoxWatcher watcher(IDNO);
    int result = MessageBoxA(nullptr, "Save changes?", "Tessellar - Test", MB_YESNO);
    EXPECT_EQ(IDNO, result);
    ASSERT_EQ(1u, watcher.Count());
    EXPECT_EQ("Tessellar - Test", watcher.Seen()[0].caption);
    EXPECT_EQ("Save changes?", watcher.Seen()[0].text);
    EXPECT_TRUE(watcher.SawCaption("Tessellar - Test"));
}

TEST(Bench, PumpUntilTimesOut) {
    DWORD start = GetTickCount();
    EXPECT_FALSE(PumpUntil([] { return false; }, 100));
    EXPECT_GE(GetTickCount() - start, 90u);
    EXPECT_TRUE(PumpUntil([] { return true; }, 10000));
}

TEST(Bench, ScreenCaptureReadsAPaintedWindow) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
    wc.lpszClassName = "BenchRedWindow";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND w = CreateWindowExA(WS_EX_TOPMOST, "BenchRedWindow", "", WS_POPUP | WS_VISIBLE, 10, 10,
                             50, 50, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(w);
    UpdateWindow(w);
    COLORREF seen = CLR_INVALID;
    PumpUntil([&] {
        RECT area = {10, 10, 60, 60};
        ScreenCapture cap(area);
        seen = cap.Pixel(25, 25);
        return seen == RGB(255, 0, 0);
    }, 3000);
    EXPECT_EQ(RGB(255, 0, 0), seen);
    DestroyWindow(w);
    UnregisterClassA("BenchRedWindow", wc.hInstance);
    DeleteObject(wc.hbrBackground);
}

TEST(Bench, TempFolderIsRemoved) {
    std::string path;
    {
        TempFolder t;
        path = t.Path();
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(t.MakeFolder("sub"));
        ASSERT_TRUE(t.Write("sub\\..\\a.txt", "hello"));
        EXPECT_EQ("hello", t.Read("a.txt"));
    }
    EXPECT_FALSE(FileExistsOnDisk(path));
}

TEST(Bench, DeliverablesStartUnderWine) {
    // Options that end the programs at once without touching the desktop.
    const struct { const char* exe; const char* args; } runs[] = {
        {"Tessellar.exe", "-recover"},
        {"Lanternfold.exe", "-uninstall"},
    };
    for (const auto& run : runs) {
        const char* exe = run.exe;
        ChildProcess p;
        ASSERT_TRUE(p.Start(exe, run.args)) << exe;
        EXPECT_NE(-1, p.Wait(20000)) << exe;
    }
}

TEST(Bench, DibPixelReadsTopDownSectionsTheRightWayUp) {
    DWORD* bits = nullptr;
    HBITMAP dib = CreateDib32(4, 3, &bits);
    ASSERT_TRUE(dib && bits);
    for (int i = 0; i < 12; ++i) bits[i] = 0;
    bits[0] = 0x00FF0000;          // top-left red in memory order of a top-down DIB
    bits[11] = 0x000000FF;         // bottom-right blue
    GdiFlush();
    EXPECT_EQ(RGB(255, 0, 0), DibPixel(dib, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), DibPixel(dib, 3, 2));
    EXPECT_EQ(CLR_INVALID, DibPixel(dib, 4, 0));
    DeleteObject(dib);
}
