// The stats monitor with the outside libraries: the hooks it installs from
// the stand-ins beside the program (and none from anywhere else), the
// mouse hook that autohide bars ask for, the announcements of the
// foreground window and the Explorer menu capture with its time-out.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/hook_library.h"
#include "shell/stats_monitor.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// The flag a copy of this program runs with in a folder without the
// stand-ins.
const char kAloneFlag[] = "--hooks-alone";

bool RunningAlone() { return strstr(GetCommandLineA(), kAloneFlag) != nullptr; }

std::vector<std::pair<WPARAM, LPARAM>> g_updates;
std::vector<HWND> g_bars;
HANDLE s_release = nullptr;   // lets the hanging window of the capture test go

// The main window: records "Stats Updated" and relays the rest of the
// messages from WM_USER up to the bars, as the program's main window does.
LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == GetStatsUpdatedMessage()) g_updates.push_back({wp, lp});
    if (m >= WM_USER) {
        for (HWND bar : g_bars) SendMessageA(bar, m, wp, lp);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

HWND MainWindow() {
    static HWND main = CreateStandInMainWindow("HooksTestMain", MainProc);
    return main;
}

HWND AppWindow(const char* cls, const char* title) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 200, 100, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

HANDLE Prop(const char* name) { return GetPropA(MainWindow(), name); }

class StatsMonitorHooks : public ::testing::Test {
protected:
    void SetUp() override {
        if (RunningAlone()) GTEST_SKIP() << "only in the copy without the libraries";
        g_updates.clear();
        CreateStatsMonitor(MainWindow());
        monitor_ = GetStatsMonitor();
        ASSERT_NE(nullptr, monitor_);
    }
    void TearDown() override {
        FreeStatsMonitor();
        for (HWND w : windows_) DestroyWindow(w);
    }
    HWND App(const char* cls, const char* title) {
        HWND w = AppWindow(cls, title);
        windows_.push_back(w);
        return w;
    }
    // Brings w to the front and waits until the monitor watches it.
    bool Activate(HWND w) {
        SetForegroundWindow(w);
        return PumpUntil([&] { return monitor_->m_foreground == w; }, 3000);
    }

    CStatsMonitor* monitor_ = nullptr;
    std::vector<HWND> windows_;
};

}  // namespace

TEST_F(StatsMonitorHooks, HookLibraryBesideTheProgramSetsItsHooks) {
    ASSERT_NE(nullptr, monitor_->m_hookLibrary);
    struct {
        const char* property;
        int slot;
    } set[] = {{"HandleToHookwell", kShellHook}, {"LLKeyboardHook", kKeyboardHook}};
    for (const auto& c : set) {
        SCOPED_TRACE(c.property);
        EXPECT_NE(nullptr, Prop(c.property));
        EXPECT_EQ(static_cast<HANDLE>(monitor_->m_hooks[c.slot]), Prop(c.property));
    }
    // The mouse hook waits for an autohide bar; no CBT hook is ever set.
    EXPECT_EQ(nullptr, Prop("HandleToMouseHook"));
    EXPECT_EQ(nullptr, monitor_->m_hooks[kCbtHook]);
    EXPECT_NE(nullptr, monitor_->m_hookProcs[kCbtHook]) << "looked up all the same";

    FreeStatsMonitor();
    for (const char* p : {"HandleToHookwell", "LLKeyboardHook", "HandleToMouseHook"})
        EXPECT_EQ(nullptr, Prop(p)) << p;
}

// A copy of this program in a folder of its own, with "Hookwell.dll" only in
// its working folder and on its PATH, finds no library: no hooks, and the
// foreground window is still announced.
TEST_F(StatsMonitorHooks, WithoutTheLibraryBesideItTheProgramRunsWithoutHooks) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string folder(self, strrchr(self, '\\') + 1);
    TempFolder alone, elsewhere;
    ASSERT_TRUE(CopyFileA(self, alone.File("hooks_alone.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((folder + "Hookwell.dll").c_str(), elsewhere.File("Hookwell.dll").c_str(), FALSE));
    std::string old_path(32767, '\0');
    old_path.resize(GetEnvironmentVariableA("PATH", &old_path[0], 32767));
    SetEnvironmentVariableA("PATH", (elsewhere.Path() + ";" + old_path).c_str());
    ChildProcess child;
    bool started = child.Start(alone.File("hooks_alone.exe"),
                               std::string("--gtest_filter=StatsMonitorAlone.* ") + kAloneFlag,
                               elsewhere.Path());
    SetEnvironmentVariableA("PATH", old_path.c_str());
    ASSERT_TRUE(started);
    EXPECT_EQ(0, child.Wait(60000)) << "the copy's own checks failed";
}

TEST(StatsMonitorAlone, NoHooksAndPollingGoesOn) {
    if (!RunningAlone()) GTEST_SKIP() << "run by the copy without the libraries";
    g_updates.clear();
    CreateStatsMonitor(MainWindow());
    CStatsMonitor* monitor = GetStatsMonitor();
    ASSERT_NE(nullptr, monitor);
    EXPECT_EQ(nullptr, monitor->m_hookLibrary);
    for (const char* p : {"HandleToHookwell", "LLKeyboardHook", "HandleToMouseHook"})
        EXPECT_EQ(nullptr, Prop(p)) << p;
    HWND app = AppWindow("HooksAloneApp", "Lonely Window");
    SetForegroundWindow(app);
    EXPECT_TRUE(PumpUntil([&] { return !g_updates.empty(); }, 3000));
    EXPECT_STREQ("Lonely Window", monitor->m_title);
    FreeStatsMonitor();
    DestroyWindow(app);
}

TEST_F(StatsMonitorHooks, AnnouncesTheApplicationInFrontAndKeepsItBehindBars) {
    HWND alpha = App("HooksApp", "Alpha");
    HWND beta = App("HooksApp", "Beta");
    for (HWND w : {alpha, beta}) {
        g_updates.clear();
        ASSERT_TRUE(Activate(w));
        ASSERT_TRUE(PumpUntil([&] { return !g_updates.empty(); }, 2000));
        EXPECT_EQ(1u, g_updates.back().first & 0xFFFF) << "title changed";
        EXPECT_EQ(0, g_updates.back().second) << "no menu read";
    }
    EXPECT_STREQ("Beta", monitor_->m_title);

    // A bar in front leaves "Beta" the watched application.
    HWND bar = App("HooksBarLike", "A Bar");
    SetPropA(bar, "lpMenuObject", bar);
    g_updates.clear();
    SetForegroundWindow(bar);
    PumpFor(600);
    EXPECT_EQ(beta, monitor_->m_foreground);
    EXPECT_STREQ("Beta", monitor_->m_title);
    EXPECT_TRUE(g_updates.empty());
    RemovePropA(bar, "lpMenuObject");

    // Two windows of equal title and class icons: switching says nothing.
    HWND same1 = App("HooksApp", "Same Title");
    HWND same2 = App("HooksApp", "Same Title");
    ASSERT_TRUE(Activate(same1));
    PumpFor(400);
    g_updates.clear();
    ASSERT_TRUE(Activate(same2));
    PumpFor(600);
    EXPECT_TRUE(g_updates.empty());
}

// The mouse hook follows the bars' answer; the answer is written only into
// the slot the monitor registers, so a forged pointer gets nothing.
TEST_F(StatsMonitorHooks, AutohideBarSwitchesTheMouseHook) {
    auto* bar = new CVellumMenuObject(MainWindow());
    ASSERT_NE(nullptr, bar->m_hWnd);
    g_bars.push_back(bar->m_hWnd);
    bar->UseAutohide = TRUE;
    monitor_->UpdateMouseHook();
    EXPECT_NE(nullptr, Prop("HandleToMouseHook"));
    EXPECT_EQ(static_cast<HANDLE>(monitor_->m_hooks[kMouseHook]), Prop("HandleToMouseHook"));

    int forged = 0;
    SendMessageA(MainWindow(), RegisterWindowMessageA("ShouldEnableMousehook"),
                 reinterpret_cast<WPARAM>(&forged), 0);
    EXPECT_EQ(0, forged);

    bar->UseAutohide = FALSE;
    monitor_->UpdateMouseHook();
    EXPECT_EQ(nullptr, Prop("HandleToMouseHook"));
    EXPECT_EQ(nullptr, monitor_->m_hooks[kMouseHook]);
    g_bars.clear();
    CloseTestBar(bar, true);
}

// An Explorer folder view has nothing to capture: the poll forgets the
// window and says nothing.
TEST_F(StatsMonitorHooks, FolderViewCaptureGivesMinusOneAndNoAnnouncement) {
    HWND folder = App("CabinetWClass", "A Folder");
    for (const char* cls : {"ReBarWindow32", "Shell DocObject View"}) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
        CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, folder, nullptr, wc.hInstance,
                        nullptr);
    }
    EXPECT_EQ(reinterpret_cast<HMENU>(-1), monitor_->CaptureExplorerMenu(folder));
    EXPECT_EQ(nullptr, monitor_->m_captureHook);
    EXPECT_NE(nullptr, monitor_->m_captureLibrary) << "the capture library beside the program";

    AddMenuWatcher();
    g_updates.clear();
    SetForegroundWindow(folder);
    PumpFor(800);
    RemoveMenuWatcher();
    EXPECT_EQ(nullptr, monitor_->m_foreground);
    EXPECT_EQ(nullptr, monitor_->m_menu);
    EXPECT_TRUE(g_updates.empty());
}

// A browser window whose thread does not come back from SC_KEYMENU: the
// capture gives up after its time-out and leaves no hook behind.
TEST_F(StatsMonitorHooks, CaptureOfAHangingWindowEndsWithinItsTimeOut) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    s_release = release;
    std::atomic<HWND> target{nullptr};
    std::thread owner([&] {
        WNDCLASSA wc = {};
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "IEFrame";
        struct Hanging {
            static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
                if (m == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_KEYMENU) {
                    WaitForSingleObject(s_release, 10000);
                    return 0;
                }
                return DefWindowProcA(w, m, wp, lp);
            }
        };
        wc.lpfnWndProc = Hanging::Proc;
        RegisterClassA(&wc);
        WNDCLASSA child = {};
        child.lpfnWndProc = DefWindowProcA;
        child.hInstance = wc.hInstance;
        child.lpszClassName = "ReBarWindow32";
        RegisterClassA(&child);
        HWND w = CreateWindowExA(0, "IEFrame", "Browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80, 200,
                                 120, nullptr, nullptr, wc.hInstance, nullptr);
        CreateWindowExA(0, "ReBarWindow32", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, w, nullptr,
                        wc.hInstance, nullptr);
        target = w;
        MSG m;
        while (IsWindow(w) && GetMessageA(&m, nullptr, 0, 0) > 0) {
            if (m.message == WM_APP) DestroyWindow(w);
            DispatchMessageA(&m);
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return target.load() != nullptr; }, 3000));

    DWORD start = GetTickCount();
    HMENU menu = monitor_->CaptureExplorerMenu(target);
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 3000u);
    EXPECT_EQ(nullptr, menu);
    EXPECT_EQ(nullptr, monitor_->m_captureHook);
    EXPECT_EQ(nullptr, Prop(kCaptureHookProperty));

    SetEvent(release);
    PostMessageA(target, WM_APP, 0, 0);
    owner.join();
    CloseHandle(release);
}

// The desktop and a window without a title are announced by name.
TEST_F(StatsMonitorHooks, DesktopAndUntitledWindowsAreNamed) {
    const struct {
        const char* title;
        const char* announced;
    } cases[] = {
        {"Program Manager", "Desktop"},
        {"", "Tessellar"},
        {"program manager", "Desktop"},
        {"Program Manager 2", "Program Manager 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        HWND w = App("HooksNamedApp", c.title);
        g_updates.clear();
        ASSERT_TRUE(Activate(w));
        EXPECT_STREQ(c.announced, monitor_->m_title);
        // Leave the title for the next case to change.
        ASSERT_TRUE(Activate(App("HooksNamedApp", "Between")));
    }
}

// The atom is reference-counted by the system; switching off removes it
// whole, however often it was switched on.
TEST_F(StatsMonitorHooks, WinTabAtomIsGoneAfterOneOff) {
    monitor_->SetWinTabEnabled(1);
    monitor_->SetWinTabEnabled(1);
    EXPECT_NE(0, GlobalFindAtomA(kAtomWinTabEnabled));
    monitor_->SetWinTabEnabled(0);
    EXPECT_EQ(0, GlobalFindAtomA(kAtomWinTabEnabled));
    // The monitor's end takes it away too.
    monitor_->SetWinTabEnabled(1);
    FreeStatsMonitor();
    EXPECT_EQ(0, GlobalFindAtomA(kAtomWinTabEnabled));
}
