// The real Tessellar.exe with stand-ins for the shell's taskbar, desktop
// and tray server in this process: the taskbar hidden for a theme while a
// bar is open, the desktop icons, and full-screen programs seen by a bar.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "tests/desktop/desktop_stand_ins.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace testing_support;
using namespace desktop_test;
using namespace theme_test;

namespace {

constexpr char kSettingsKey[] = "Software\\Vantrell\\Tessellar";
constexpr char kRootName[] = "DesktopProcessTests";

void WriteDword(const char* value, DWORD data) {
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &k, nullptr));
    RegSetValueExA(k, value, 0, REG_DWORD, reinterpret_cast<BYTE*>(&data), sizeof(data));
    RegCloseKey(k);
}

class DesktopProcess : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalDeleteAtom(GlobalFindAtomA("Tessellar Starting"));
        ASSERT_EQ(nullptr, FindWindowA("Tessellar Main", nullptr)) << "a Tessellar is running";
        DeleteFileA((ProgramFolder() + "Tessellar.ini").c_str());
        DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    }
    void TearDown() override {
        StopTessellar(program_);
        DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    }

    HWND Start(const std::string& document) {
        return StartTessellar(program_, document.empty() ? "" : "\"" + document + "\"", nullptr);
    }

    int Close(HWND main) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        PumpUntil([&] { return !program_.Running(); }, 10000);
        return program_.Wait(1000);
    }

    std::vector<HWND> Bars() { return WindowsOfProcess(program_.Id(), "Tessellar Toolbar", false); }

    std::string Theme(const std::string& name, bool hide_taskbar) {
        root_.Write(name + "\\Bars\\one.tsbar", BarFile("One"));
        return root_.Write(name + "\\" + name + ".tstheme",
                           std::string("[Theme Info]\r\nName=") + name + "\r\nTSVersion=150\r\nAutoSaveOption=2\r\n" +
                               "[Options]\r\nHideTaskbar=" + (hide_taskbar ? "1" : "0") +
                               "\r\n[OpenBars]\r\nBar1=Bars\\one.tsbar\r\n");
    }

    ProgramStateGuard state_;
    ThemeRoot root_{kRootName};
    WatchdogRecorder watchdog_;
    std::unique_ptr<MessageBoxWatcher> boxes_{new MessageBoxWatcher(IDOK, true)};
    ChildProcess program_;
};

}  // namespace

// The taskbar is hidden while the theme has a user bar open (the hidden
// desktop right-click bar does not count), and shown again without one.
TEST_F(DesktopProcess, ThemeHidesTheTaskbarWhileABarIsOpen) {
    StandInTaskbar taskbar;
    ASSERT_EQ(taskbar.Handle(), FindWindowA("Shell_TrayWnd", ""));
    HWND main = Start(Theme("Hiding", true));
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(PumpUntil([&] { return taskbar.HiddenWithEmptyRegion(); }, 5000));
    // Wine's ABM_GETSTATE answers 3; kept with ABS_ALWAYSONTOP (2) flipped.
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(taskbar.Handle(), "uOldHideState"));
    EXPECT_EQ(662, watchdog_.Last());
    EXPECT_NE(0u, watchdog_.LastParam()) << "the program's instance";

    // Closing the only bar brings the taskbar back.
    ASSERT_TRUE(PumpUntil([&] { return Bars().size() == 1; }, 5000));
    std::vector<HWND> bars = Bars();
    ASSERT_EQ(1u, bars.size());
    watchdog_.Clear();
    PostMessageA(bars[0], WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return taskbar.Shown(); }, 5000));
    // The property goes after the window is shown.
    EXPECT_TRUE(PumpUntil([&] { return GetPropA(taskbar.Handle(), "uOldHideState") == nullptr; }, 2000));
    EXPECT_TRUE(PumpUntil([&] { return watchdog_.Last() == 663; }, 2000));

    // Opening a bar hides it again.
    ChildProcess second;
    ASSERT_TRUE(second.Start("Tessellar.exe", "\"" + root_.Path() + "Hiding\\Bars\\one.tsbar\""));
    EXPECT_TRUE(PumpUntil([&] { return taskbar.HiddenWithEmptyRegion(); }, 8000));
    EXPECT_EQ(662, watchdog_.Last());

    // The end of the program shows it.
    program_.Kill();   // the bar without a theme would ask where to save
    taskbar.Handle();
}

TEST_F(DesktopProcess, ExitShowsTheTaskbarAndAThemeWithoutHidingNeverTouchesIt) {
    StandInTaskbar taskbar;
    {
        HWND main = Start(Theme("HideThenExit", true));
        ASSERT_NE(nullptr, main);
        ASSERT_TRUE(PumpUntil([&] { return taskbar.HiddenWithEmptyRegion(); }, 5000));
        watchdog_.Clear();
        EXPECT_EQ(0, Close(main));
        EXPECT_TRUE(taskbar.Shown());
        EXPECT_EQ(663, watchdog_.Last());
    }
    RemovePropA(taskbar.Handle(), "TSHideCount");
    HWND main = Start(Theme("Plain", false));
    ASSERT_NE(nullptr, main);
    PumpUntil([&] { return Bars().size() == 1; }, 5000);
    PumpFor(500);
    EXPECT_TRUE(taskbar.Shown());
    EXPECT_EQ(nullptr, GetPropA(taskbar.Handle(), "TSHideCount"));
    EXPECT_EQ(0, Close(main));
    EXPECT_EQ(nullptr, GetPropA(taskbar.Handle(), "TSHideCount")) << "never touched";
}

// "bDesktopIconsHidden": the list view is hidden at start and shown at exit.
TEST_F(DesktopProcess, DesktopIconsHiddenWhileTheProgramRuns) {
    StandInDesktop desktop;
    ASSERT_EQ(desktop.Progman(), FindWindowA("Progman", "Program Manager"));
    WriteDword("bDesktopIconsHidden", 1);
    HWND main = Start(Theme("Icons", false));
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(PumpUntil([&] { return desktop.IconsHiddenWithEmptyRegion(); }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return watchdog_.Last() == 662; }, 2000)) << watchdog_.Count();
    EXPECT_EQ(0, Close(main));
    EXPECT_TRUE(desktop.IconsShown());
    EXPECT_EQ(663, watchdog_.Last()) << watchdog_.Count();
}

// A desktop without its list view yet: no retry at start; once the shell
// announces "TaskbarCreated" the new list view is hidden within 2 s.
TEST_F(DesktopProcess, IconsOfANewDesktopAreHiddenAfterTaskbarCreated) {
    StandInDesktop desktop(false);
    WriteDword("bDesktopIconsHidden", 1);
    HWND main = Start(Theme("NewDesktop", false));
    ASSERT_NE(nullptr, main);
    desktop.AddListView(true);
    PumpFor(1500);
    EXPECT_TRUE(desktop.IconsShown()) << "no timer ran without the list view at start";
    PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return desktop.IconsHiddenWithEmptyRegion(); }, 2500));
    EXPECT_EQ(0, Close(main));
    EXPECT_TRUE(desktop.IconsShown());
}

// The hook library's window-activated event: a bar leaves the topmost
// order while a full-screen program is in front, and comes back after.
TEST_F(DesktopProcess, BarsStepBehindAFullScreenProgram) {
    HWND main = Start(Theme("FullScreen", false));
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(PumpUntil([&] { return Bars().size() == 1; }, 5000));
    HWND bar = Bars()[0];
    auto topmost = [&] { return (GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(PumpUntil(topmost, 3000));
    HWND popup = CreateScreenSizedWindow(WS_POPUP);
    HWND captioned = CreateScreenSizedWindow(WS_OVERLAPPEDWINDOW);
    HWND short_popup = CreateScreenSizedWindow(WS_POPUP, true);
    struct Case {
        HWND wnd;
        bool topmost_after;
    } const cases[] = {{popup, false}, {captioned, true}, {popup, false}, {short_popup, true},
                       {popup, false}, {nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wnd == popup ? "popup" : c.wnd == captioned ? "captioned" : c.wnd ? "short" : "null");
        PostMessageA(main, 10876, reinterpret_cast<WPARAM>(c.wnd), 0);
        EXPECT_TRUE(PumpUntil([&] { return topmost() == c.topmost_after; }, 3000));
        PumpFor(200);
        EXPECT_EQ(c.topmost_after, topmost());
    }
    for (HWND w : {popup, captioned, short_popup}) DestroyWindow(w);
    EXPECT_EQ(0, Close(main));
}
