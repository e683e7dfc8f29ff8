// Closing a theme's bars: every bar is released once, also when someone
// else still holds one (the walk runs over a snapshot and ends).
#include <gtest/gtest.h>

#include <windows.h>

#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/later_stubs.h"
#include "shell/startup.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"

namespace {

LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

HWND MakeMain() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = instance;
        wc.lpszClassName = "ThemeBarsTestMain";
        RegisterClassA(&wc);
        registered = RegisterBarWindowClasses(instance);
    }
    return CreateWindowExA(0, "ThemeBarsTestMain", "Tessellar", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance,
                           nullptr);
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
