// Closing a theme's bars: every bar is released once, also when someone
// else still holds one (the walk runs over a snapshot and ends).
#include <gtest/gtest.h>

#include <windows.h>

#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/stats_monitor.h"
#include "shell/startup.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/themes/theme_fixture.h"
#include "util/text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The shell's own stats monitor goes on it, so it starts without the stand-in's.
HWND MakeMain() {
    HWND wnd = testing_support::CreateStandInMainWindow("ThemeBarsTestMain");
    RemovePropA(wnd, "lpStatsMonitor");
    return wnd;
}

}  // namespace

TEST(ThemeBars, BarsGetWindowsOnlyWithTheStatsMonitor) {
    InstallBarHostServices();
    HWND main = MakeMain();
    auto* early = new CVellumMenuObject(main);
    EXPECT_EQ(nullptr, early->m_hWnd);   // no monitor yet: no window
    early->Release();
    CreateStatsMonitor(main);
    auto* bar = new CVellumMenuObject(main);
    EXPECT_NE(nullptr, bar->m_hWnd);
    EXPECT_EQ(GetStatsMonitor(), bar->m_statsMonitor);
    bar->Release();
    FreeStatsMonitor();
    DestroyWindow(main);
}

TEST(ThemeBars, ClosingReleasesEachBarOnceEvenWhenOneIsStillHeld) {
    InstallBarHostServices();
    HWND main = MakeMain();
    CreateStatsMonitor(main);
    CVellumMenuObject* bars[3];
    for (auto*& bar : bars) {
        bar = new CVellumMenuObject(main);
        ASSERT_NE(nullptr, bar->m_hWnd);
    }
    EXPECT_EQ(3u, SnapshotThemeBarWindows(false).size());
    bars[1]->AddRef();   // held elsewhere: its release does not end it
    CloseThemeBarsWithoutSaving();
    EXPECT_FALSE(IsLiveBar(bars[0]));
    EXPECT_TRUE(IsLiveBar(bars[1]));
    EXPECT_FALSE(IsLiveBar(bars[2]));
    EXPECT_FALSE(IsClosingBars());
    bars[1]->Release();
    EXPECT_FALSE(IsLiveBar(bars[1]));
    EXPECT_TRUE(SnapshotThemeBarWindows(true).empty());
    FreeStatsMonitor();
    DestroyWindow(main);
}

// Switching style keeps the bars both styles name, however long their paths,
// and gives them the new style's skin; bars the new style leaves out close.
TEST(ThemeBars, StyleSwitchKeepsBarsWithLongPathsAndChangesTheirSkin) {
    InstallBarHostServices();
    theme_test::ProgramStateGuard state;
    theme_test::ThemeRoot root("ThemeStyleTests");
    // The longest bar path stays a little under MAX_PATH wherever the tree lies.
    const std::string longest_tail = "\\Skins\\Night\\night.tsskin";
    const int room = MAX_PATH - 20 - static_cast<int>(root.Path().size() + longest_tail.size());
    ASSERT_GT(room, 40) << "the test folder's path is too long: " << root.Path();
    const std::string long_name(std::min(room, 200), 'L');
    const std::string folder = long_name + "\\";
    const std::string kept = root.Write(folder + "Bars\\kept.tsbar", theme_test::BarFile("Kept"));
    const std::string dropped = root.Write(folder + "Bars\\dropped.tsbar", theme_test::BarFile("Dropped"));
    ASSERT_GT(kept.size(), 199u);
    root.Write(folder + "Skins\\Day\\day.tsskin", "[General]\r\nSkinName=Day\r\n");
    const std::string night_skin = root.Write(folder + "Skins\\Night\\night.tsskin", "[General]\r\nSkinName=Night\r\n");
    const std::string day = root.Write(folder + "Day.tstheme",
                                       "[Theme Info]\r\nName=Day\r\nTSVersion=150\r\nAutoSaveOption=2\r\n[OpenBars]\r\n"
                                       "Bar1=Bars\\kept.tsbar\r\nSkinForBar1=Skins\\Day\\day.tsskin\r\n"
                                       "Bar2=Bars\\dropped.tsbar\r\n");
    const std::string night = root.Write(folder + "Night.tstheme",
                                         "[Theme Info]\r\nName=Night\r\nTSVersion=150\r\nAutoSaveOption=2\r\n"
                                         "[OpenBars]\r\nBar1=Bars\\kept.tsbar\r\nSkinForBar1=Skins\\Night\\night.tsskin\r\n");
    HWND main = MakeMain();
    CreateStatsMonitor(main);
    ASSERT_TRUE(LoadThemeFile(day.c_str(), 0));
    std::vector<CVellumMenuObject*> bars;
    for (const std::string& file : {kept, dropped}) {
        auto* bar = new CVellumMenuObject(main);
        char path[MAX_PATH];
        tess::CopyText(path, file.c_str());
        bar->LoadTheme(path, 1, nullptr);
        bars.push_back(bar);
    }
    ASSERT_TRUE(SwitchThemeStyle(night.c_str()));
    EXPECT_TRUE(IsLiveBar(bars[0]));
    EXPECT_FALSE(IsLiveBar(bars[1]));
    ASSERT_TRUE(IsLiveBar(bars[0]));
    EXPECT_EQ(0, lstrcmpiA(night_skin.c_str(), SkinRecordPath(bars[0]->m_skin)));
    EXPECT_STREQ(night.c_str(), GetCurrentThemeFile());
    CloseThemeBarsWithoutSaving();
    EXPECT_FALSE(IsLiveBar(bars[0]));
    FreeStatsMonitor();
    DestroyWindow(main);
}

// A changed bar that the theme read from outside its folder is saved as a
// new bar file of the theme; the file outside stays as it was.
TEST(ThemeBars, ChangedOutsideBarIsSavedIntoTheTheme) {
    InstallBarHostServices();
    theme_test::ProgramStateGuard state;
    theme_test::ThemeRoot outside("ThemeBarsOutside");
    theme_test::ThemeRoot root("ThemeBarsInside");
    const std::string far_bar = outside.Write("far.tsbar", theme_test::BarFile("Far"));
    const std::string before = outside.Read("far.tsbar");
    const std::string theme = root.Write("T\\T.tstheme",
                                         "[Theme Info]\r\nName=T\r\nTSVersion=150\r\nAutoSaveOption=2\r\n[OpenBars]\r\n"
                                         "Bar1=..\\..\\ThemeBarsOutside\\far.tsbar\r\n");
    root.Write("T\\Bars\\.keep", "");
    HWND main = MakeMain();
    CreateStatsMonitor(main);
    ASSERT_TRUE(LoadThemeFile(theme.c_str(), 0));
    auto* bar = new CVellumMenuObject(main);
    char path[MAX_PATH];
    tess::CopyText(path, far_bar.c_str());
    bar->LoadTheme(path, 1, nullptr);
    bar->Show(1);
    bar->SetModified();
    ASSERT_TRUE(SaveThemeFile(theme.c_str(), 0, 0));
    EXPECT_EQ(before, outside.Read("far.tsbar"));
    EXPECT_EQ(1u, SnapshotThemeBarWindows(false).size());
    EXPECT_EQ(root.Path() + "T\\Bars\\Far.tsbar", std::string(bar->m_barFile));
    EXPECT_TRUE(root.Exists("T\\Bars\\Far.tsbar"));
    EXPECT_EQ("Bars\\Far.tsbar", theme_test::IniValue(theme, "OpenBars", "Bar1"));
    CloseThemeBarsWithoutSaving();
    EXPECT_FALSE(IsLiveBar(bar));
    FreeStatsMonitor();
    DestroyWindow(main);
}
