// The bar registry with real windows, and the monitor helpers on Xvfb's screen.
#include <gtest/gtest.h>
#include <vector>

#include "tests/support/test_support.h"
#include "util/bar_registry.h"

namespace {

HWND MakeWindow() {
    return CreateWindowExA(0, "STATIC", "bar", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

// Registers windows for one test and clears the registry afterwards.
class RegistryFixture : public ::testing::Test {
protected:
    void TearDown() override {
        while (GetBarWindowCount() > 0) {
            HWND w = GetBarWindowAt(0);
            RemoveBarWindow(nullptr, w);
            if (IsWindow(w)) DestroyWindow(w);
        }
    }
    HWND Add() {
        HWND w = MakeWindow();
        EXPECT_TRUE(AddBarWindow(nullptr, w));
        return w;
    }
};

struct Walk {
    std::vector<HWND> visited;
    HWND close_this = nullptr;
    HWND stop_at = nullptr;
};

BOOL CALLBACK Record(HWND w, LPARAM lp) {
    auto* walk = reinterpret_cast<Walk*>(lp);
    walk->visited.push_back(w);
    if (w == walk->close_this) {
        // What closing a bar does: unregister and destroy.
        RemoveBarWindow(nullptr, w);
        DestroyWindow(w);
    }
    return w != walk->stop_at;
}

}  // namespace

TEST_F(RegistryFixture, RemoveKeepsOrder) {
    HWND a = Add(), b = Add(), c = Add();
    RemoveBarWindow(nullptr, b);
    EXPECT_EQ(2, GetBarWindowCount());
    EXPECT_EQ(0, FindBarWindow(nullptr, a));
    EXPECT_EQ(1, FindBarWindow(nullptr, c));
    EXPECT_EQ(-1, FindBarWindow(nullptr, b));
    RemoveBarWindow(nullptr, b);   // not registered: nothing changes
    EXPECT_EQ(2, GetBarWindowCount());
    EXPECT_EQ(nullptr, GetBarWindowAt(2)) << "the table stays terminated";
    EXPECT_FALSE(AddBarWindow(nullptr, nullptr));
    DestroyWindow(b);
}

TEST_F(RegistryFixture, SafeWalkSurvivesClosingTheVisitedBar) {
    HWND a = Add(), b = Add(), c = Add();
    Walk safe;
    safe.close_this = b;
    EXPECT_EQ(1, EnumBarWindowsSafe(Record, (LPARAM)&safe));
    EXPECT_EQ((std::vector<HWND>{a, b, c}), safe.visited);

    HWND d = Add();
    Walk plain;
    plain.close_this = a;
    EXPECT_EQ(1, EnumBarWindows(Record, (LPARAM)&plain));
    EXPECT_EQ((std::vector<HWND>{a, d}), plain.visited) << "the plain walk skips the next bar";
}

TEST_F(RegistryFixture, WalksSkipDestroyedWindowsAndStopOnZero) {
    HWND a = Add(), b = Add(), c = Add();
    DestroyWindow(b);   // destroyed without being removed
    Walk walk;
    EXPECT_EQ(1, EnumBarWindows(Record, (LPARAM)&walk));
    EXPECT_EQ((std::vector<HWND>{a, c}), walk.visited);
    Walk safe;
    EXPECT_EQ(1, EnumBarWindowsSafe(Record, (LPARAM)&safe));
    EXPECT_EQ((std::vector<HWND>{a, c}), safe.visited);

    Walk stop;
    stop.stop_at = a;
    EXPECT_EQ(0, EnumBarWindows(Record, (LPARAM)&stop));
    EXPECT_EQ(1u, stop.visited.size());
    EXPECT_EQ(1, EnumBarWindows(nullptr, 0));
    EXPECT_EQ(1, EnumBarWindowsSafe(nullptr, 0));
}

TEST_F(RegistryFixture, FullRegistryRefusesMore) {
    HWND w = MakeWindow();
    for (int i = 0; i < kBarRegistrySlots - 1; ++i) ASSERT_TRUE(AddBarWindow(nullptr, w)) << i;
    EXPECT_FALSE(AddBarWindow(nullptr, w));
    EXPECT_EQ(kBarRegistrySlots - 1, GetBarWindowCount());
    while (GetBarWindowCount() > 0) RemoveBarWindow(nullptr, w);
    DestroyWindow(w);
}

TEST(Monitors, RealScreenOfXvfb) {
    BindMonitorFunctions();
    HMONITOR byname = FindMonitorByDeviceName("\\\\.\\DISPLAY1");
    ASSERT_NE(nullptr, byname);
    EXPECT_EQ(byname, FindMonitorByDeviceName("\\\\.\\display1"));
    EXPECT_EQ(nullptr, FindMonitorByDeviceName("\\\\.\\DISPLAY9"));
    HMONITOR m = MonitorFromPointSafe(5, 5);
    EXPECT_EQ(byname, m);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), GetMonitorMetric(m, SM_CXSCREEN));
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), GetMonitorMetric(m, SM_CYSCREEN));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), GetMonitorMetric(m, SM_CXVSCROLL));
    POINT origin = {-1, -1};
    GetMonitorOrigin(m, &origin);
    EXPECT_EQ(0, origin.x);
    EXPECT_EQ(0, origin.y);
    RECT work;
    GetMonitorWorkArea(m, &work);
    EXPECT_EQ(0, work.left);
    EXPECT_EQ(0, work.top);
    EXPECT_GT(work.right, 0);
    MONITORINFO info{};
    EXPECT_TRUE(GetMonitorInfoSafe(m, &info));
    EXPECT_EQ(40u, info.cbSize);
}

TEST(Monitors, FallbacksWithoutTheMonitorFunctions) {
    UnbindMonitorFunctions();
    HMONITOR fake = reinterpret_cast<HMONITOR>(0x1234);
    EXPECT_EQ(nullptr, MonitorFromPointSafe(0, 0));
    EXPECT_EQ(nullptr, FindMonitorByDeviceName("\\\\.\\DISPLAY1"));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), GetMonitorMetric(fake, SM_CXSCREEN));
    RECT primary, work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary, 0);
    GetMonitorWorkArea(fake, &work);
    EXPECT_TRUE(EqualRect(&primary, &work));
    POINT origin = {7, 7};
    GetMonitorOrigin(fake, &origin);
    EXPECT_EQ(0, origin.x);
    MONITORINFO info{};
    EXPECT_FALSE(GetMonitorInfoSafe(fake, &info));
    BindMonitorFunctions();
}
