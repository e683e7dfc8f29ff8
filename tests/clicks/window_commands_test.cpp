// Commands meant for other programs' windows, run from items of a real bar
// against the stand-in windows of another process: the last active window
// (as the stats monitor holds it) copies its selection, closes, and the
// other windows are minimised and restored with the minimise animation as
// it was. A stand-in that stops pumping does not hold the bar.
#include "clicks_fixture.h"

#include <fstream>
#include <sstream>
#include "shell/stats_monitor.h"

namespace clicks_test {
namespace {

constexpr char kClass[] = "ClicksStandIn";

class WindowCommandsTest : public ClicksTest {
protected:
    void SetUp() override {
        ClicksTest::SetUp();
        log_ = files_.File("stand_in.log");
        ASSERT_TRUE(stand_in_.Start("task_windows.exe",
                                    "\"" + log_ + "\" \"" + std::string(kClass) + "|Editor|edit\" \"" +
                                        kClass + "|Other One\" \"" + kClass + "|Other Two\""));
        editor_ = stand_in_.WaitForWindow(kClass, "Editor", 10000);
        one_ = stand_in_.WaitForWindow(kClass, "Other One", 5000);
        two_ = stand_in_.WaitForWindow(kClass, "Other Two", 5000);
        ASSERT_TRUE(editor_ && one_ && two_);
        animation_.cbSize = sizeof(animation_);
        SystemParametersInfoA(SPI_GETANIMATION, sizeof(animation_), &animation_, 0);
    }
    void TearDown() override {
        SystemParametersInfoA(SPI_SETANIMATION, sizeof(animation_), &animation_, 0);
        stand_in_.Kill();
        ClicksTest::TearDown();
    }

    // The stats monitor takes w as the last active window.
    void MakeLastActive(HWND w) {
        SetForegroundWindow(w);
        Wait([&] { return GetForegroundWindow() == w; }, 2000);
        CStatsMonitor* monitor = GetStatsMonitor();
        ASSERT_NE(nullptr, monitor);
        monitor->UpdateStats();
        ASSERT_EQ(w, monitor->m_foreground);
    }

    // A bar of one item running the command.
    CVellumMenuItem* CommandItem(int command) {
        CVellumMenuObject* bar = LoadBar(WriteBar(
            "cmd" + std::to_string(command) + ".tsbar",
            OneSectionBar("Commands", {500, 500, 700, 530}, false,
                          {"Item1.Title=Run", "Item1.Action=" + std::to_string(command)})));
        return Item(bar);
    }

    std::string Log() {
        std::ifstream in(log_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static std::string Hex(HWND w) {
        char text[32];
        snprintf(text, sizeof(text), "%llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(w)));
        return text;
    }

    std::string log_;
    testing_support::ChildProcess stand_in_;
    HWND editor_ = nullptr, one_ = nullptr, two_ = nullptr;
    ANIMATIONINFO animation_ = {};
};

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST_F(WindowCommandsTest, CopyTakesTheSelectionOfTheLastActiveWindow) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    CVellumMenuItem* item = CommandItem(13);
    ASSERT_NE(nullptr, item);
    MakeLastActive(editor_);
    EXPECT_EQ(1, item->ExecuteStandardCommand(-1, 13, nullptr, nullptr));
    EXPECT_TRUE(Wait([] { return ClipboardText() == "Stand-in selection"; }))
        << "clipboard: " << ClipboardText();
}

TEST_F(WindowCommandsTest, HideAndShowAllOtherWindowsKeepTheAnimationSetting) {
    CVellumMenuItem* hide = CommandItem(32);
    ASSERT_NE(nullptr, hide);
    for (int animate : {1, 0}) {
        SCOPED_TRACE(animate);
        ANIMATIONINFO set = {sizeof(ANIMATIONINFO), animate};
        SystemParametersInfoA(SPI_SETANIMATION, sizeof(set), &set, 0);
        // What the system keeps (Wine may keep its own value).
        ANIMATIONINFO before = {sizeof(ANIMATIONINFO), -1};
        SystemParametersInfoA(SPI_GETANIMATION, sizeof(before), &before, 0);
        MakeLastActive(editor_);
        EXPECT_EQ(1, hide->ExecuteStandardCommand(-1, 32, nullptr, nullptr));
        EXPECT_TRUE(Wait([&] { return IsIconic(one_) && IsIconic(two_); }));
        EXPECT_FALSE(IsIconic(editor_));
        EXPECT_EQ(1, hide->ExecuteStandardCommand(-1, 33, nullptr, nullptr));
        EXPECT_TRUE(Wait([&] { return !IsIconic(one_) && !IsIconic(two_); }));
        ANIMATIONINFO now = {sizeof(ANIMATIONINFO), -1};
        SystemParametersInfoA(SPI_GETANIMATION, sizeof(now), &now, 0);
        EXPECT_EQ(before.iMinAnimate, now.iMinAnimate);
    }
    // The bar itself has no minimise box and stays.
    EXPECT_FALSE(IsIconic(hide->m_pBar->m_hWnd));
}

TEST_F(WindowCommandsTest, CloseForegroundWindowClosesTheLastActiveWindow) {
    CVellumMenuItem* item = CommandItem(4);
    ASSERT_NE(nullptr, item);
    MakeLastActive(one_);
    Click(item);
    EXPECT_TRUE(Wait([&] { return !IsWindow(one_); }));
    EXPECT_NE(std::string::npos, Log().find(Hex(one_) + " close")) << Log();
    EXPECT_TRUE(IsWindow(editor_));
    EXPECT_TRUE(IsWindow(two_));
}

TEST_F(WindowCommandsTest, AStandInThatStoppedPumpingDoesNotHoldTheBar) {
    CVellumMenuItem* item = CommandItem(4);
    ASSERT_NE(nullptr, item);
    MakeLastActive(two_);
    // The stand-in's process sleeps for 6 s.
    PostMessageA(two_, RegisterWindowMessageA("TaskWindows Stop Pumping"), 6000, 0);
    Sleep(200);
    // Closing is posted; a minimise waits 2.5 s at most.
    for (int command : {4, 31}) {
        const DWORD start = GetTickCount();
        item->ExecuteStandardCommand(-1, command, nullptr, nullptr);
        EXPECT_LT(GetTickCount() - start, 3000u) << "command " << command;
    }
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(item->m_pBar->m_hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer));
    // The close arrives once the stand-in pumps again.
    EXPECT_TRUE(Wait([&] { return !IsWindow(two_); }, 10000));
}

}  // namespace
}  // namespace clicks_test
