// The stats monitor: the property bars look for, the 250 ms poll of the
// foreground window's title with "Stats Updated", the WinTab atom, and the
// title as bars get it through the host services.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "model/bar_host.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

std::vector<std::pair<WPARAM, LPARAM>> g_updates;

LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == GetStatsUpdatedMessage()) g_updates.push_back({wp, lp});
    return DefWindowProcA(w, m, wp, lp);
}

HWND MakeWindow(const char* cls, const char* title, DWORD style) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, title, style, 50, 50, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
}

// Under load Wine may hand the activation of a destroyed window to another
// one after our request: ask again until the window really is in front.
bool ForegroundIs(HWND wnd) {
    if (GetForegroundWindow() != wnd) SetForegroundWindow(wnd);
    return GetForegroundWindow() == wnd;
}

}  // namespace

TEST(StatsMonitor, PollsTheForegroundWindowAndTellsTheMainWindow) {
    g_updates.clear();
    HWND main = MakeWindow("StatsTestMain", "Tessellar", WS_POPUP);
    CreateStatsMonitor(main);
    CStatsMonitor* monitor = GetStatsMonitor();
    ASSERT_NE(nullptr, monitor);
    EXPECT_EQ(monitor, GetPropA(main, "lpStatsMonitor"));

    const struct {
        const char* title;
        const char* reported;
    } cases[] = {
        {"Alpha Window", "Alpha Window"},
        {"", "Tessellar"},
        {"Program Manager", "Desktop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        HWND app = MakeWindow("StatsTestApp", c.title, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        g_updates.clear();
        EXPECT_TRUE(PumpUntil([&] { return ForegroundIs(app) && lstrcmpA(monitor->m_title, c.reported) == 0; }, 5000));
        EXPECT_EQ(app, monitor->m_foreground);
        EXPECT_TRUE(PumpUntil([&] { return !g_updates.empty(); }, 1000));
        if (!g_updates.empty()) {
            EXPECT_EQ(1u, g_updates[0].first & 0xFFFF);   // title changed
            EXPECT_EQ(0, g_updates[0].second);             // no menu watched
        }
        DestroyWindow(app);
    }
    // An unchanged window is not announced again.
    HWND same = MakeWindow("StatsTestApp", "Same", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(PumpUntil([&] { return ForegroundIs(same) && lstrcmpA(monitor->m_title, "Same") == 0; }, 5000));
    PumpFor(300);
    g_updates.clear();
    PumpFor(700);
    EXPECT_TRUE(g_updates.empty());
    DestroyWindow(same);

    FreeStatsMonitor();
    EXPECT_EQ(nullptr, GetStatsMonitor());
    EXPECT_EQ(nullptr, GetPropA(main, "lpStatsMonitor"));
    DestroyWindow(main);
}

TEST(StatsMonitor, WinTabAtomIsRemovedCompletely) {
    HWND main = MakeWindow("StatsTestMain", "Tessellar", WS_POPUP);
    CreateStatsMonitor(main);
    StatsMonitorSetWinTabEnabled(1);
    StatsMonitorSetWinTabEnabled(1);
    EXPECT_NE(0, GlobalFindAtomA("TSWinTabEnabled"));
    StatsMonitorSetWinTabEnabled(0);
    EXPECT_EQ(0, GlobalFindAtomA("TSWinTabEnabled"));
    StatsMonitorSetWinTabEnabled(1);
    FreeStatsMonitor();   // the atom goes with the monitor
    EXPECT_EQ(0, GlobalFindAtomA("TSWinTabEnabled"));
    DestroyWindow(main);
}

// Bars read the foreground window's title through the shell's table of
// services; the copy is cut to the bar's buffer and always terminated.
TEST(StatsMonitor, BarsGetTheForegroundTitleThroughTheHostServices) {
    InstallBarHostServices();
    bool (*title)(char*, size_t) = GetBarHostServices().GetActiveWindowTitle;
    ASSERT_NE(nullptr, title);
    char buffer[80];   // room beyond the largest size given, to see nothing lands there
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_FALSE(title(buffer, 64)) << "no monitor yet";
    EXPECT_STREQ("", buffer);

    HWND main = MakeWindow("StatsTestMain", "Tessellar", WS_POPUP);
    CreateStatsMonitor(main);
    CStatsMonitor* monitor = GetStatsMonitor();
    ASSERT_NE(nullptr, monitor);
    HWND app = MakeWindow("StatsTestApp", "Alpha Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetForegroundWindow(app);
    ASSERT_TRUE(PumpUntil([&] { return lstrcmpA(monitor->m_title, "Alpha Window") == 0; }, 3000));

    const struct {
        size_t size;
        const char* expected;
    } cases[] = {{64, "Alpha Window"}, {6, "Alpha"}, {1, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        memset(buffer, 'x', sizeof(buffer));
        EXPECT_TRUE(title(buffer, c.size));
        EXPECT_STREQ(c.expected, buffer);
        EXPECT_EQ('x', buffer[c.size]) << "nothing written past the given size";
    }

    DestroyWindow(app);
    FreeStatsMonitor();
    EXPECT_FALSE(title(buffer, 64)) << "the monitor is gone";
    EXPECT_STREQ("", buffer);
    DestroyWindow(main);
}
