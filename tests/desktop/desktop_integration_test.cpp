// The desktop integration's routines in this process: the taskbar's hide
// count and its two hiding paths, the tray server's watchdog, full-screen
// detection and the menu-hiding exclusions with dialog 230.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <memory>
#include <thread>

#include "shell/desktop_integration.h"
#include "shell/desktop_resources.h"
#include "shell/global_settings.h"
#include "shell/main_window_internal.h"
#include "shell/menu_hiding_exclusions.h"
#include "tests/desktop/desktop_stand_ins.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace desktop_test;

namespace {

constexpr char kTestKey[] = "Software\\Vantrell\\TessellarDesktopTest";


}  // namespace

// The shared hide/show action keeps a nesting count on the taskbar.
TEST(TaskbarHideCount, FollowsTheTable) {
    struct Case {
        int before;   // -1: no property
        bool show;
        int after;
    } const cases[] = {{-1, false, 0}, {0, true, 0}, {1, false, 2}, {1, true, 1},
                       {3, false, 4}, {3, true, 2}};
    StandInTaskbar taskbar;
    ASSERT_EQ(taskbar.Handle(), FindWindowsTaskbar()) << "the stand-in must be found before Wine's taskbar";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << (c.show ? " show" : " hide"));
        RemovePropA(taskbar.Handle(), "TSHideCount");
        if (c.before >= 0)
            SetPropA(taskbar.Handle(), "TSHideCount", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(c.before)));
        ShowOrHideWindowsTaskbar(c.show);
        EXPECT_EQ(c.after, taskbar.HideCount());
        EXPECT_EQ(c.show, taskbar.Shown());
        EXPECT_EQ(!c.show, taskbar.HiddenWithEmptyRegion());
    }
    SetPropA(taskbar.Handle(), "TSHideCount", reinterpret_cast<HANDLE>(5));
    ShowWindowsTaskbar();
    EXPECT_EQ(1, taskbar.HideCount());
    EXPECT_TRUE(taskbar.Shown());
    EXPECT_EQ(nullptr, GetPropA(taskbar.Handle(), "uOldHideState"));
}

// Windows XP: the application-bar state is kept with bit 2 flipped and put
// back on show.
TEST(TaskbarHiding, XpKeepsTheAppBarStateWithAlwaysOnTopFlipped) {
    StandInTaskbar taskbar;
    APPBARDATA abd = {sizeof(abd)};
    abd.hWnd = taskbar.Handle();
    const UINT state = static_cast<UINT>(SHAppBarMessage(ABM_GETSTATE, &abd));
    HideWindowsTaskbar();
    EXPECT_EQ(state ^ ABS_ALWAYSONTOP,
              static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropA(taskbar.Handle(), "uOldHideState"))));
    EXPECT_TRUE(taskbar.HiddenWithEmptyRegion());
    ShowWindowsTaskbar();
    EXPECT_EQ(nullptr, GetPropA(taskbar.Handle(), "uOldHideState"));
    EXPECT_TRUE(taskbar.Shown());
}

// Older systems: the taskbar's own properties dialog switches its boxes
// (kept in properties for the way back), is confirmed with OK and never
// shows; the count moves once more when the dialog is found.
TEST(TaskbarHiding, OlderSystemsDriveThePropertiesDialog) {
    StandInTaskbar taskbar;
    taskbar.AnswerPropertiesFrom(1);
    taskbar.SetChecks(true, false);
    SetPropA(taskbar.Handle(), "TSHideCount", reinterpret_cast<HANDLE>(1));
    const DWORD start = GetTickCount();
    DriveTaskbarPropertiesDialog(false);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(1, taskbar.PropertiesOpened());
    EXPECT_EQ(nullptr, taskbar.PropertiesDialog()) << "closed with OK";
    EXPECT_FALSE(taskbar.AlwaysOnTopChecked());
    EXPECT_TRUE(taskbar.AutoHideChecked());
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(taskbar.Handle(), "bAlwaysOnTopWasEnabled"));
    EXPECT_EQ(nullptr, GetPropA(taskbar.Handle(), "bAutohideWasEnabled"));
    EXPECT_EQ(nullptr, GetPropA(taskbar.Handle(), "bActionIsShow"));
    EXPECT_EQ(2, taskbar.HideCount());
    EXPECT_TRUE(taskbar.HiddenWithEmptyRegion());
    EXPECT_EQ(nullptr, FindWindowA("#32770", "HideTaskbarWindow")) << "the worker window is gone";

    DriveTaskbarPropertiesDialog(true);
    EXPECT_TRUE(taskbar.AlwaysOnTopChecked());
    EXPECT_FALSE(taskbar.AutoHideChecked());
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(taskbar.Handle(), "bActionIsShow"));
    EXPECT_EQ(1, taskbar.HideCount());
    EXPECT_TRUE(taskbar.Shown());
}

// A shell slow to open its dialog: the Properties command is sent again
// every 2.5 s until the dialog turns up.
TEST(TaskbarHiding, OlderSystemsOpenThePropertiesAgainUntilTheDialogComes) {
    StandInTaskbar taskbar;
    taskbar.AnswerPropertiesFrom(3);
    const DWORD start = GetTickCount();
    DriveTaskbarPropertiesDialog(false);
    const DWORD took = GetTickCount() - start;
    EXPECT_EQ(3, taskbar.PropertiesOpened());
    EXPECT_GE(took, 4800u);
    EXPECT_LT(took, 8000u);
    EXPECT_TRUE(taskbar.HiddenWithEmptyRegion());
    EXPECT_EQ(nullptr, FindWindowA("#32770", "HideTaskbarWindow"));
}

// The watchdog is armed exactly while the icons or the taskbar are hidden.
TEST(TrayServerWatch, ArmedWhileAnythingIsHidden) {
    WatchdogRecorder server;
    StandInTaskbar taskbar;
    StandInDesktop desktop;
    struct Case {
        int icons_hidden, taskbar_hidden, expected;
    } const cases[] = {{0, 0, 663}, {1, 0, 662}, {0, 1, 662}, {1, 1, 662}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "icons " << c.icons_hidden << " taskbar " << c.taskbar_hidden);
        SetDesktopIconsHidden(c.icons_hidden, 0);
        SetHideTaskbar(c.taskbar_hidden, 1);
        server.Clear();
        NotifyTrayIconServerWatch();
        EXPECT_EQ(c.expected, server.Last());
    }
    SetDesktopIconsHidden(0, 0);
    SetHideTaskbar(0, 1);
    EXPECT_TRUE(taskbar.Shown());
    EXPECT_EQ(663, server.Last());
}

TEST(FullScreen, CaptionlessScreenSizedWindowsOnly) {
    HWND popup = CreateScreenSizedWindow(WS_POPUP);
    HWND captioned = CreateScreenSizedWindow(WS_OVERLAPPEDWINDOW);
    HWND short_popup = CreateScreenSizedWindow(WS_POPUP, true);
    struct Case {
        HWND wnd;
        bool expected;
    } const cases[] = {{popup, true}, {captioned, false}, {popup, true}, {short_popup, false},
                       {nullptr, false}, {popup, true}, {nullptr, true}};
    for (const Case& c : cases) {
        DetectFullScreenWindow(c.wnd);
        EXPECT_EQ(c.expected, IsFullScreenAppActive());
    }
    DetectFullScreenWindow(captioned);
    for (HWND w : {popup, captioned, short_popup}) DestroyWindow(w);
}

// ---- menu-hiding exclusions -------------------------------------------------------------------------

namespace {

class Exclusions : public ::testing::Test {
protected:
    void SetUp() override {
        ClearMenuHidingExclusions();
        DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key_, nullptr));
    }
    void TearDown() override {
        RegCloseKey(key_);
        DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
        ClearMenuHidingExclusions();
    }
    std::string Stored(int i) {
        char name[40], value[1024] = "";
        wsprintfA(name, "ExcludedProgram#%i", i);
        DWORD size = sizeof(value);
        HKEY sub;
        if (RegOpenKeyExA(key_, "MenuHidingExclusions", 0, KEY_READ, &sub) != ERROR_SUCCESS) return "<no key>";
        LONG rc = RegQueryValueExA(sub, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(sub);
        return rc == ERROR_SUCCESS ? value : "<none>";
    }
    void Store(int i, const std::string& value) {
        HKEY sub;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key_, "MenuHidingExclusions", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &sub, nullptr));
        char name[40];
        wsprintfA(name, "ExcludedProgram#%i", i);
        RegSetValueExA(sub, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(sub);
    }
    HKEY key_ = nullptr;
};

HWND WaitForDialog(const char* title) {
    HWND found = nullptr;
    for (int i = 0; i < 100 && !found; ++i) {
        found = FindWindowA("#32770", title);
        if (!found) Sleep(50);
    }
    return found;
}

// Picks the file in the Open dialog that "Add..." shows.
bool ChooseFileInOpenDialog(const std::string& path) {
    HWND open = WaitForDialog("Find Program (Executable) to Exclude from Menu Hiding");
    if (!open) return false;
    Sleep(100);
    if (!SetDlgItemTextA(open, 1148, path.c_str()) && !SetDlgItemTextA(open, 1152, path.c_str())) return false;
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(open); ++i) Sleep(50);
    return !IsWindow(open);
}

int ListCount(HWND dlg) {
    return static_cast<int>(SendDlgItemMessageA(dlg, IDC_EXCLUSION_LIST, LB_GETCOUNT, 0, 0));
}

}  // namespace

// Dialog 230 driven like a user: notepad added twice is listed once,
// Remove frees it, and the save numbers the rest from 0 without a gap.
TEST_F(Exclusions, DialogAddsOnceRemovesAndTheSaveHasNoGaps) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string notepad = std::string(windows) + "\\notepad.exe";
    ASSERT_TRUE(FileExistsOnDisk(notepad));
    AddMenuHidingExclusion("first.exe");
    std::string failure;
    int after_adds = -1, after_remove = -1;
    std::thread driver([&] {
        HWND dlg = WaitForDialog("Menu Hiding Exclusions");
        if (!dlg) { failure = "no dialog 230"; return; }
        for (int i = 0; i < 2; ++i) {
            PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_EXCLUSION_ADD, BN_CLICKED), 0);
            if (!ChooseFileInOpenDialog(notepad)) { failure = "Open dialog not driven"; break; }
            Sleep(100);
        }
        after_adds = ListCount(dlg);
        AddMenuHidingExclusion("last.exe");   // the slot after notepad's
        // Select notepad and remove it.
        LRESULT line = SendDlgItemMessageA(dlg, IDC_EXCLUSION_LIST, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>("notepad.exe"));
        SendDlgItemMessageA(dlg, IDC_EXCLUSION_LIST, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_EXCLUSION_REMOVE, BN_CLICKED), 0);
        after_remove = ListCount(dlg);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    });
    ShowMenuHidingExclusionsDialog(nullptr);
    driver.join();
    ASSERT_EQ("", failure);
    EXPECT_EQ(2, after_adds);   // first.exe and notepad.exe once
    EXPECT_EQ(2, after_remove);  // first.exe and last.exe
    EXPECT_FALSE(IsMenuHidingExcluded("NOTEPAD.EXE"));
    EXPECT_EQ(3, GetMenuHidingExclusionSlots()) << "the freed slot stays counted";
    ASSERT_TRUE(SaveMenuHidingExclusions(key_));
    EXPECT_EQ("first.exe", Stored(0));
    EXPECT_EQ("last.exe", Stored(1));
    EXPECT_EQ("<none>", Stored(2));
}

TEST_F(Exclusions, LoadBoundsEveryValueAndTheCount) {
    Store(0, std::string(600, 'x') + ".exe");
    Store(1, "");
    Store(2, "two.exe");
    for (int i = 3; i < 205; ++i) Store(i, "p" + std::to_string(i) + ".exe");
    LoadMenuHidingExclusions(key_);
    EXPECT_EQ(std::string(500, 'x'), GetMenuHidingExclusion(0));
    EXPECT_STREQ("two.exe", GetMenuHidingExclusion(1));
    EXPECT_TRUE(IsMenuHidingExcluded("p199.exe"));
    EXPECT_FALSE(IsMenuHidingExcluded("p200.exe")) << "at most 200 values are read";
    EXPECT_EQ(199, GetMenuHidingExclusionSlots());   // the empty value is skipped

    // An empty table removes the subkey.
    ClearMenuHidingExclusions();
    ASSERT_TRUE(SaveMenuHidingExclusions(key_));
    EXPECT_EQ("<no key>", Stored(0));
}

// "HideMenus - IsWndAllowed": 2 for a window of an excluded program, else 1.
TEST_F(Exclusions, WindowOfAnExcludedProgram) {
    HWND own = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    const UINT ask = RegisterWindowMessageA("HideMenus - IsWndAllowed");
    auto answer = [&] {
        LRESULT result = 0;
        EXPECT_EQ(MessageOutcome::Return,
                  HandleRegisteredMessage(own, ask, reinterpret_cast<WPARAM>(own), 0, &result));
        return result;
    };
    EXPECT_EQ(1, answer());
    AddMenuHidingExclusion("other.exe");
    EXPECT_EQ(1, answer());
    AddMenuHidingExclusion(OwnProgramName());
    EXPECT_EQ(2, answer());
    EXPECT_TRUE(IsWindowMenuHidingExcluded(own));
    RemoveMenuHidingExclusion(OwnProgramName());
    EXPECT_EQ(1, answer());
    EXPECT_FALSE(IsWindowMenuHidingExcluded(nullptr));
    DestroyWindow(own);
}
