// The server window: single start, the start guard, its children and pinned
// place, the Z-order keeper, the private messages and the watchdog.
#include <gtest/gtest.h>

#include "tests/lanternfold/lanternfold_fixture.h"

using namespace lf_test;
using namespace testing_support;

namespace {

int CountServerWindows() {
    int count = 0;
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, tray::kTrayClass, tray::kServerTitle)) != nullptr) ++count;
    return count;
}

RECT WindowRectOf(HWND w) {
    RECT r = {};
    GetWindowRect(w, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A stand-in for the main program's window "Tessellar Main" titled "Tessellar".
HWND CreateMainWindowStandIn() {
    return testing_support::CreatePlainWindow("Tessellar Main", nullptr, "Tessellar");
}

}  // namespace

TEST(LanternfoldWindow, StartsOnceWithItsChildrenAndAnswersThePrivateMessages) {
    Server server;
    ASSERT_TRUE(server.Start());
    HWND w = server.Window();
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_NE(nullptr, FindWindowExA(w, nullptr, "TrayNotifyWnd", nullptr));
    EXPECT_NE(nullptr, FindWindowExA(w, nullptr, "ReBarWindow32", nullptr));
    EXPECT_EQ(100, server.Table()->capacity);

    ChildProcess second;
    ASSERT_TRUE(second.Start("Lanternfold.exe"));
    EXPECT_EQ(0, second.Wait(5000));
    EXPECT_EQ(1, CountServerWindows());
    EXPECT_EQ(0, GlobalFindAtomA("TSTrayStarting"));

    struct Case {
        UINT msg;
        LRESULT reply;
    } cases[] = {
        {tray::WM_TRAYGETRECORDSIZE, 424}, {tray::WM_TRAYGETVERSION, 130}, {tray::WM_TRAYPING, 0},
        {tray::WM_TRAYGETINACTIVEMINUTES, 5}, {WM_USER + 666, 0}, {tray::WM_TRAYUNREGISTER, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.reply, server.Send(c.msg)) << c.msg;

    // Nobody else moves or shows the server window.
    RECT before = WindowRectOf(w);
    SetWindowPos(w, HWND_TOP, 300, 300, 200, 100, SWP_SHOWWINDOW);
    ShowWindow(w, SW_SHOW);
    PumpFor(100);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_TRUE(SameRect(before, WindowRectOf(w)));

    // The listener table holds 250 pairs.
    Listener listener;
    WPARAM lw = reinterpret_cast<WPARAM>(listener.Window());
    int accepted = 0;
    for (int i = 0; i < 250; ++i) accepted += static_cast<int>(server.Send(tray::WM_TRAYREGISTER, lw, kListenerMessage));
    EXPECT_EQ(250, accepted);
    EXPECT_EQ(0, server.Send(tray::WM_TRAYREGISTER, lw, kListenerMessage));
    EXPECT_EQ(0, server.Send(tray::WM_TRAYREGISTER, 0, kListenerMessage));
    for (int i = 0; i < 250; ++i) server.Send(tray::WM_TRAYUNREGISTER, lw);
    EXPECT_EQ(1, server.Send(tray::WM_TRAYREGISTER, lw, kListenerMessage));
}

TEST(LanternfoldWindow, AStaleStartAtomDoesNotKeepTheServerFromStarting) {
    CloseStrayServers();
    // What a server that died while starting leaves behind.
    GlobalAddAtomA("TSTrayStarting");
    Server server;
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(0, GlobalFindAtomA("TSTrayStarting"));
}

TEST(LanternfoldWindow, TheServerStaysFirstAmongTrayWindowsButNotAboveKATray) {
    Server server;
    ASSERT_TRUE(server.Start());
    StandInTray shell_tray;
    ASSERT_TRUE(shell_tray.Start("", 0));
    const UINT raise = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    for (int round = 0; round < 2; ++round) {
        SetWindowPos(shell_tray.Window(), HWND_TOPMOST, 0, 0, 0, 0, raise);
        EXPECT_TRUE(PumpUntil([&] { return FindWindowA(tray::kTrayClass, nullptr) == server.Window(); }, 800))
            << "round " << round;
    }
    StandInTray widget_tray;
    ASSERT_TRUE(widget_tray.Start("KATray", 0));
    SetWindowPos(widget_tray.Window(), HWND_TOPMOST, 0, 0, 0, 0, raise);
    PumpFor(400);
    EXPECT_EQ(widget_tray.Window(), FindWindowA(tray::kTrayClass, nullptr));
}

TEST(LanternfoldWindow, TheAnchorPlacesTheServerAndItsNotifyChild) {
    Server server;
    ASSERT_TRUE(server.Start());
    HWND anchor = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "bar", WS_POPUP, 100, 200, 300, 40, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(1, server.Send(tray::WM_TRAYSETANCHORRECT, MAKELONG(250, 4), MAKELONG(290, 36)));
    EXPECT_EQ(1, server.Send(tray::WM_TRAYSETANCHORWINDOW, reinterpret_cast<WPARAM>(anchor)));
    RECT r = WindowRectOf(server.Window());
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(200, r.top);
    EXPECT_EQ(400, r.right);
    EXPECT_EQ(240, r.bottom);
    HWND notify = FindWindowExA(server.Window(), nullptr, "TrayNotifyWnd", nullptr);
    ASSERT_NE(nullptr, notify);
    RECT n = WindowRectOf(notify);
    POINT origin = {0, 0};
    ClientToScreen(server.Window(), &origin);
    EXPECT_EQ(origin.x + 250, n.left);
    EXPECT_EQ(origin.y + 4, n.top);
    EXPECT_EQ(40, n.right - n.left);
    EXPECT_EQ(32, n.bottom - n.top);
    DestroyWindow(anchor);
}

TEST(LanternfoldWindow, WithoutAnchorItCoversTheShellsNotifyAreaAndFollowsWorkAreaChanges) {
    StandInTray shell_tray;
    ASSERT_TRUE(shell_tray.Start("", 0));
    Server server;
    ASSERT_TRUE(server.Start());
    HWND notify = FindWindowExA(server.Window(), nullptr, "TrayNotifyWnd", nullptr);
    ASSERT_NE(nullptr, notify);
    HWND shell_notify = FindWindowExA(shell_tray.Window(), nullptr, "TrayNotifyWnd", nullptr);
    ASSERT_NE(nullptr, shell_notify);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_TRUE(SameRect(WindowRectOf(shell_tray.Window()), WindowRectOf(server.Window())));
        RECT mine = WindowRectOf(notify), shell = WindowRectOf(shell_notify);
        RECT bar = WindowRectOf(server.Window());
        POINT origin = {0, 0};
        ClientToScreen(server.Window(), &origin);
        EXPECT_EQ(shell.left - bar.left, mine.left - origin.x);
        EXPECT_EQ(shell.top - bar.top, mine.top - origin.y);
        EXPECT_EQ(shell.right - shell.left, mine.right - mine.left);
        EXPECT_EQ(shell.bottom - shell.top, mine.bottom - mine.top);
        // The shell's taskbar moves to the top; the work area changes.
        SetWindowPos(shell_tray.Window(), nullptr, 0, 0, 1024, 28, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(shell_notify, nullptr, 880, 2, 120, 24, SWP_NOZORDER | SWP_NOACTIVATE);
        server.Send(WM_SETTINGCHANGE, SPI_SETWORKAREA);
    }
}

TEST(LanternfoldWindow, AListenerThatDiesIsDroppedAtTheNextNotification) {
    StandInTray shell_tray;
    ASSERT_TRUE(shell_tray.Start("", 0));
    Server server;
    ASSERT_TRUE(server.Start());
    HWND anchor = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "bar", WS_POPUP, 100, 200, 300, 40, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HWND owner = CreateOwner();
    {
        Listener dying;
        ASSERT_TRUE(dying.Register(server));
        server.Send(tray::WM_TRAYSETANCHORWINDOW, reinterpret_cast<WPARAM>(anchor));
        EXPECT_TRUE(SameRect(WindowRectOf(anchor), WindowRectOf(server.Window())));
    }
    // Dropping the last listener clears the anchor: the server goes back over the shell's tray.
    SendIcon(server.Window(), {NIM_ADD, owner, 1, NIF_TIP, 0, nullptr, L"x"});
    EXPECT_TRUE(SameRect(WindowRectOf(shell_tray.Window()), WindowRectOf(server.Window())));
    Listener live;
    ASSERT_TRUE(live.Register(server));
    SendIcon(server.Window(), {NIM_DELETE, owner, 1});
    ASSERT_EQ(1u, live.seen.size());
    EXPECT_EQ(tray::TRAYNOTIFY_DELETE, live.seen[0].Code());
    DestroyWindow(owner);
    DestroyWindow(anchor);
}

namespace {

class WatchdogTest : public ::testing::Test {
protected:
    void SetUp() override {
        log_ = BinFolder() + "lf_record_cmdline.log";
        DeleteFileA(log_.c_str());
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vantrell\\Tessellar", 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        char old[300] = {};
        DWORD size = sizeof(old) - 1, type = 0;
        had_old_ = RegQueryValueExA(key, "LastTSPath", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
                   ERROR_SUCCESS;
        old_path_ = old;
        std::string path = BinFolder() + "lf_record_cmdline.exe";
        RegSetValueExA(key, "LastTSPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
        RegCloseKey(key);
        ASSERT_TRUE(server.Start());
    }
    void TearDown() override {
        server.Stop();
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vantrell\\Tessellar", 0, KEY_ALL_ACCESS, &key) ==
            ERROR_SUCCESS) {
            if (had_old_)
                RegSetValueExA(key, "LastTSPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_path_.c_str()),
                               static_cast<DWORD>(old_path_.size() + 1));
            else
                RegDeleteValueA(key, "LastTSPath");
            RegCloseKey(key);
        }
        DeleteFileA(log_.c_str());
    }
    std::vector<std::string> Recorded() const {
        std::vector<std::string> lines;
        std::string text = ReadFileBytes(log_);
        size_t start = 0;
        for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
            lines.push_back(text.substr(start, nl - start));
        return lines;
    }

    Server server;
    std::string log_;
    bool had_old_ = false;
    std::string old_path_;
};

}  // namespace

TEST_F(WatchdogTest, ArmedItRestartsTheMainProgramOnceWithRecover) {
    HWND main_window = CreateMainWindowStandIn();
    server.Send(tray::WM_TRAYARMWATCHDOG);
    server.Send(tray::WM_TRAYARMWATCHDOG);   // a repeated arm only restarts the period
    const DWORD gone_at = GetTickCount();
    DestroyWindow(main_window);
    ASSERT_TRUE(PumpUntil([&] { return !Recorded().empty(); }, 4500));
    EXPECT_LE(GetTickCount() - gone_at, 3700u);
    PumpFor(3300);   // one more period: no second start
    std::vector<std::string> lines = Recorded();
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(" -recover")) << lines[0];
}

TEST_F(WatchdogTest, DisarmedOrNeverArmedNothingStarts) {
    // Arming while no main window exists starts nothing.
    server.Send(tray::WM_TRAYARMWATCHDOG);
    HWND main_window = CreateMainWindowStandIn();
    server.Send(tray::WM_TRAYARMWATCHDOG);
    server.Send(tray::WM_TRAYDISARMWATCHDOG);
    DestroyWindow(main_window);
    PumpFor(3600);
    EXPECT_TRUE(Recorded().empty());
}
