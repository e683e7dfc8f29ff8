// The shared application state: layers, the smart-menus cut-off, hotkey
// ids, the popup-open guard, modeless-dialog tracking and the theme folders.
#include <gtest/gtest.h>

#include "model/bar_host.h"
#include "shell/app_state.h"
#include "shell/startup.h"
#include "shell/registered_messages.h"
#include "tests/support/test_support.h"

using namespace testing_support;

TEST(Layers, TogglesStayInsideTheTenLayers) {
    ResetLayerFlags();
    EXPECT_EQ(0, ToggleLayerVolatile(10));
    EXPECT_EQ(0, ToggleLayerVolatile(-1));
    EXPECT_EQ(0, ToggleLayerHidden(10));
    EXPECT_EQ(0, IsLayerVolatile(10));
    EXPECT_FALSE(IsLayerHidden(10));
    EXPECT_EQ(1, ToggleLayerVolatile(9));
    EXPECT_FALSE(IsLayerHidden(9)) << "volatile but not hidden";
    EXPECT_EQ(1, ToggleLayerHidden(9));
    EXPECT_TRUE(IsLayerHidden(9));
    EXPECT_EQ(0, ToggleLayerVolatile(9));
    EXPECT_FALSE(IsLayerHidden(9)) << "hidden only counts for volatile layers";
    ResetLayerFlags();
}

TEST(Layers, HideVolatileLayersLeavesThemWhileABarIsInFront) {
    ResetLayerFlags();
    SetLayerFlags(3, 1, 0);
    HWND front = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "front", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(front);
    PumpUntil([&] { return GetForegroundWindow() == front; }, 2000);
    ASSERT_EQ(front, GetForegroundWindow());
    for (const char* prop : {"lpMenuObject", "TSConfigDialog"}) {
        SetPropA(front, prop, reinterpret_cast<HANDLE>(1));
        EXPECT_EQ(0, HideVolatileLayers(false)) << prop;
        EXPECT_FALSE(IsLayerHidden(3)) << prop;
        RemovePropA(front, prop);
    }
    EXPECT_EQ(1, HideVolatileLayers(false));
    EXPECT_TRUE(IsLayerHidden(3));
    EXPECT_FALSE(IsLayerHidden(4));
    DestroyWindow(front);
    ResetLayerFlags();
}

TEST(SmartMenus, CutOffCountsBackByCalendar) {
    struct Case {
        WORD y, m, d;
        int days, weeks, months;
        WORD ey, em, ed;
    };
    const Case cases[] = {
        {2026, 3, 10, 40, 0, 0, 2026, 1, 29},   // February counts 28 days
        {2024, 3, 10, 40, 0, 0, 2024, 1, 29},   // also in a leap year
        {2026, 1, 5, 0, 1, 0, 2025, 12, 29},
        {2026, 2, 15, 0, 0, 3, 2025, 11, 15},
        {2026, 5, 1, 1, 0, 14, 2025, 2, 28},
        {2026, 6, 20, 0, 0, 0, 2026, 6, 20},
    };
    for (const Case& c : cases) {
        SYSTEMTIME today = {};
        today.wYear = c.y;
        today.wMonth = c.m;
        today.wDay = c.d;
        FILETIME ft = ComputeSmartMenusCutoff(today, c.days, c.weeks, c.months);
        SYSTEMTIME got = {};
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &got));
        EXPECT_EQ(c.ey, got.wYear) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(c.em, got.wMonth) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(c.ed, got.wDay) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(0, got.wHour);
    }
}

TEST(SmartMenus, ExpandedFlagMarksTheCutOffForRecomputation) {
    FILETIME first = GetSmartMenusCutoffTime();
    SetSmartMenusExpanded(true);
    EXPECT_TRUE(GetSmartMenusExpanded());
    SetSmartMenusExpanded(false);
    EXPECT_FALSE(GetSmartMenusExpanded());
    FILETIME again = GetSmartMenusCutoffTime();
    EXPECT_EQ(0, CompareFileTime(&first, &again));
}

TEST(Hotkeys, IdsCountUpFromEightyTwo) {
    int a = AllocHotkeyId();
    int b = AllocHotkeyId();
    EXPECT_GE(a, 82);
    EXPECT_EQ(a + 1, b);
}

TEST(PopupGuard, HoldsForEightHundredMilliseconds) {
    HWND popup = CreateWindowExA(0, "STATIC", "popup", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(popup);
    SetJustOpenedPopup(popup);
    EXPECT_FALSE(IsPopupOpenGuardOver());
    EXPECT_EQ(popup, GetJustOpenedPopup());
    DestroyWindow(popup);
    EXPECT_EQ(nullptr, GetJustOpenedPopup()) << "a vanished window is forgotten";
    SetJustOpenedPopup(nullptr);
    EXPECT_TRUE(IsPopupOpenGuardOver());
    HWND other = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetJustOpenedPopup(other);
    Sleep(850);
    EXPECT_TRUE(IsPopupOpenGuardOver());
    EXPECT_EQ(nullptr, GetJustOpenedPopup());
    DestroyWindow(other);
}

TEST(ModelessDialogs, TheActivatedDialogIsTracked) {
    HWND a = CreateWindowExA(0, "STATIC", "a", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    HWND b = CreateWindowExA(0, "STATIC", "b", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    TrackModelessDialog(a, WM_ACTIVATE, WA_ACTIVE);
    EXPECT_EQ(a, GetActiveModelessDialog());
    TrackModelessDialog(a, WM_COMMAND, 0);
    EXPECT_EQ(a, GetActiveModelessDialog());
    TrackModelessDialog(b, WM_ACTIVATE, WA_CLICKACTIVE);
    EXPECT_EQ(b, GetActiveModelessDialog());
    TrackModelessDialog(a, WM_ACTIVATE, WA_INACTIVE);
    EXPECT_EQ(b, GetActiveModelessDialog()) << "another dialog's deactivation changes nothing";
    TrackModelessDialog(b, WM_ACTIVATE, WA_INACTIVE);
    EXPECT_EQ(nullptr, GetActiveModelessDialog());
    TrackModelessDialog(a, WM_ACTIVATE, WA_ACTIVE);
    DestroyWindow(a);
    EXPECT_EQ(nullptr, GetActiveModelessDialog()) << "a destroyed dialog is not handed out";
    DestroyWindow(b);
}

TEST(Theme, CurrentThemeFileGivesTheFolders) {
    ASSERT_TRUE(SetCurrentThemeFile("C:\\Themes\\Blue\\Blue.tstheme"));
    EXPECT_STREQ("C:\\Themes\\Blue\\Blue.tstheme", GetCurrentThemeFile());
    EXPECT_STREQ("C:\\Themes\\Blue\\", GetThemeFolder());
    char buf[MAX_PATH];
    ASSERT_TRUE(GetThemeBarsFolder(buf));
    EXPECT_STREQ("C:\\Themes\\Blue\\Bars\\", buf);
    ASSERT_TRUE(GetThemeIconsFolder(buf));
    EXPECT_STREQ("C:\\Themes\\Blue\\Bars\\Icons\\", buf);
    ASSERT_TRUE(GetThemeBitmapsFolder(buf));
    EXPECT_STREQ("C:\\Themes\\Blue\\Bars\\Bitmaps\\", buf);
    EXPECT_FALSE(GetThemeBarsFolder(nullptr));
    ASSERT_TRUE(SetCurrentThemeFile(""));
    EXPECT_STREQ("", GetCurrentThemeFile());
    EXPECT_STREQ("C:\\Themes\\Blue\\", GetThemeFolder()) << "an empty path keeps the folder";
}

namespace {

struct ShellField {
    UINT ShellMessages::*field;
    const char* name;
};

// Every name the shell registers, spelled as the bars and plug-ins send it.
const ShellField kShellFields[] = {
    {&ShellMessages::UpdateLVSkinRunning, "WM_UPDATELVSKINRUNNING"},
    {&ShellMessages::ThemeStatus, "VT_THEMESTATUS"},
    {&ShellMessages::ShouldEnableMousehook, "ShouldEnableMousehook"},
    {&ShellMessages::ConfigurePlugin, "TSConfigure Plugin"},
    {&ShellMessages::HideMenusIsWndAllowed, "HideMenus - IsWndAllowed"},
    {&ShellMessages::ExitLVConverter, "ExitLVConverter"},
    {&ShellMessages::ActivateTaskbar, "CMenuItem - ActivateTaskbar"},
    {&ShellMessages::DesktopRightClick, "TS Desktop Right Click"},
    {&ShellMessages::PresenceProbe, "v1.3 Test"},
    {&ShellMessages::InvokeShortcutCommand, "WM_INVOKESHORTCUTCOMMAND"},
    {&ShellMessages::FolderMenuExePidl, "WM_FOLDERMENUEXEPIDL"},
    {&ShellMessages::ShowTrayIcon, "ShowTrayIcon"},
    {&ShellMessages::VolatileClose, "VolitleClose"},
    {&ShellMessages::VolatileLayerCheck, "VolitleLayerCheck"},
    {&ShellMessages::RemoveTempNoCloseVolatile, "TS - WM_REMOVE_TEMP_NOCLOSEVOLITLE"},
    {&ShellMessages::OnTopAppShownOrHidden, "MyOnTopApp ShownOrHidden"},
    {&ShellMessages::ThemeClosingCheckModified, "Theme is closing... check for modified!"},
    {&ShellMessages::SwapItemsBehavior, "SwapItems (Behavior)"},
    {&ShellMessages::RemoveItemDelay, "Remove Item Delay"},
    {&ShellMessages::RemoveSectionDelay, "Remove Section Delay"},
    {&ShellMessages::TimeFilteringChanged, "TimeFiltering Dis/Enabled!"},
    {&ShellMessages::HideTaskbarInternal, "HideTaskbarInternal"},
    {&ShellMessages::UpdateHiddenLayers, "UpdateHiddenLayers"},
    {&ShellMessages::GetAfterWindowOnTop, "Get After Window - Always On Top"},
    {&ShellMessages::BarNewPopup, "CMenuObject New Popup!"},
    {&ShellMessages::BarThemeLoaded, "CMenuObject ThemeLoaded"},
    {&ShellMessages::BarCreated, "CMenuObject Created"},
    {&ShellMessages::BarClosing, "CMenuObject Closing"},
    {&ShellMessages::BarClosed, "CMenuObject Closed"},
    {&ShellMessages::BarShowing, "CMenuObject Showing"},
    {&ShellMessages::BarHiding, "CMenuObject Hiding"},
    {&ShellMessages::CallRunDialog, "CallRunDialog"},
    {&ShellMessages::TaskbarCreated, "TaskbarCreated"},
    {&ShellMessages::SelectItemDelay, "GUI_SelectItem Delay"},
    {&ShellMessages::UpdateHiddenTaskbarDelay, "Update Hidden Taskbar Special Delay"},
    {&ShellMessages::ThemeLoadingDone, "TS Theme Loading Done"},
    {&ShellMessages::ThemeLoadingAlmostDone, "TS Theme Loading Almost Done"},
    {&ShellMessages::BarSkinChanging, "This CMenuObject Skin Changing"},
};

}  // namespace

TEST(Messages, NamesRegisterToTheSystemNumbers) {
    const ShellMessages& m = RegisterShellMessages();
    for (const ShellField& f : kShellFields)
        EXPECT_EQ(RegisterWindowMessageA(f.name), m.*(f.field)) << f.name;
    EXPECT_EQ(&m, &Msgs());
}

TEST(BarHost, ShellFillsTheTableBarsReadItsStateThrough) {
    InstallBarHostServices();
    BarHostServices& host = GetBarHostServices();
    ASSERT_NE(nullptr, host.AllocHotkeyId);
    int a = host.AllocHotkeyId();
    EXPECT_EQ(a + 1, AllocHotkeyId()) << "one counter for bars and shell";
    ASSERT_NE(nullptr, host.IsLayerHidden);
    ResetLayerFlags();
    SetLayerFlags(2, 1, 1);
    EXPECT_TRUE(host.IsLayerHidden(2));
    ResetLayerFlags();
    ASSERT_NE(nullptr, host.ExpandUserNameInPath);
    SetUserNameSubstitution("kim");
    char text[32] = "%username%'s bar";
    host.ExpandUserNameInPath(text, sizeof(text));
    EXPECT_STREQ("kim's bar", text);
    SetUserNameSubstitution(nullptr);
    ASSERT_NE(nullptr, host.IsThemeLoading);
    SetThemeLoading(true);
    EXPECT_TRUE(host.IsThemeLoading());
    SetThemeLoading(false);
    EXPECT_NE(nullptr, host.SetProgramIcons);
    EXPECT_NE(nullptr, host.IsClosingBars);
    EXPECT_FALSE(host.IsClosingBars());
    host = BarHostServices{};
}
