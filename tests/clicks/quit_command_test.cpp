// "Quit Tessellar" (command 10) in the real program: a bar file opened by
// Tessellar.exe holds an item that answers the Windows key; the key's
// message to the bar runs the item, and the program ends with exit code 0.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/shell/stand_in_window.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

constexpr UINT WM_BARWINKEY = 10880;

TEST(QuitCommand, EndsTheRealProgramWithExitCodeZero) {
    GlobalDeleteAtom(GlobalFindAtomA("Tessellar Starting"));
    ASSERT_EQ(nullptr, FindWindowA("Tessellar Main", nullptr)) << "a Tessellar is running";
    // The program then starts no tray server of its own.
    StandInWindow tray_server("Shell_TrayWnd", "CLanternfold");
    TempFolder files;
    ASSERT_TRUE(files.Write("plain.tsskin",
                            "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n"));
    const std::string bar =
        "[Object]\r\nTitle=Quit Bar\r\nLastSkin=" + files.File("plain.tsskin") +
        "\r\nLastPos.x=300\r\nLastPos.y=300\r\nLastSize.cx=200\r\nLastSize.cy=30\r\n"
        "LastScreenSize.cx=" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) +
        "\r\nLastScreenSize.cy=" + std::to_string(GetSystemMetrics(SM_CYSCREEN)) +
        "\r\nAlwaysOnTop=0\r\n[Section1]\r\nItem1.Title=Quit\r\nItem1.Action=10\r\n"
        "Item1.RespondToWindowsKey=1\r\n";
    ASSERT_TRUE(files.Write("quit.tsbar", bar));

    MessageBoxWatcher boxes(IDNO, true);
    ChildProcess program;
    ASSERT_TRUE(program.Start("Tessellar.exe", "\"" + files.File("quit.tsbar") + "\""));
    boxes.WatchProcess(program.Id());
    HWND bar_wnd = program.WaitForWindow("Tessellar Toolbar", "Quit Bar", 15000);
    ASSERT_NE(nullptr, bar_wnd);
    PostMessageA(bar_wnd, WM_BARWINKEY, 0, 0);
    EXPECT_EQ(0, program.Wait(15000));
    if (program.Running()) program.Kill();
    while (ATOM a = GlobalFindAtomA("Tessellar Starting")) GlobalDeleteAtom(a);
}

}  // namespace
