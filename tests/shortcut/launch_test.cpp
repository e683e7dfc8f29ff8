// Launches seen by the probe: arguments, start-in folder and show command,
// "App Paths" names, extensions, and the volatile bar closing after a run.
#include <string>
#include "shortcut_fixture.h"
#include "model/live_objects.h"
#include "tests/support/stand_in_main_window.h"

namespace shortcut_test {
namespace {

using LaunchTest = ShortcutTest;

// A real click with the release queued together with the press: on a volatile
// bar the press waits in drag detection until the button comes up, and this
// thread could not send the release while it waits.
void ClickAtOnce(CVellumMenuItem* item) {
    RECT r;
    item->GetRealItemRect(&r);
    RECT bar = {};
    GetWindowRect(item->m_pBar->m_hWnd, &bar);
    SetCursorPos(bar.left + (r.left + r.right) / 2, bar.top + (r.top + r.bottom) / 2);
    INPUT input[3] = {};
    const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
        input[i].type = INPUT_MOUSE;
        input[i].mi.dwFlags = flags[i];
    }
    SendInput(1, &input[0], sizeof(INPUT));
    testing_support::PumpFor(30);
    SendInput(2, &input[1], sizeof(INPUT));
    testing_support::PumpFor(60);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST_F(LaunchTest, ArgumentsStartInFolderAndShowCommandArrive) {
    ASSERT_TRUE(files_.MakeFolder("start here"));
    std::string start = files_.File("start here");
    const struct {
        int run_as;
        int show;
    } cases[] = {{0, SW_SHOWNORMAL}, {1, SW_MINIMIZE}, {2, SW_SHOWMAXIMIZED}};
    for (const auto& c : cases) {
        CVellumMenuObject* bar = LoadBar({
            "Item1.Type=Shortcut", "Item1.Title=Probe",
            "Item1.Shortcut.File=\"" + ProbeExe() + "\" -one \"two words\"",
            "Item1.Shortcut.StartIn=" + start, "Item1.Shortcut.RunAs=" + std::to_string(c.run_as),
        });
        CVellumMenuItem_Shortcut* item = Item(bar, 0);
        ASSERT_NE(nullptr, item);
        item->OnClick();
        ProbeRun run = WaitForProbe();
        ASSERT_TRUE(run.ran) << c.run_as;
        EXPECT_NE(std::string::npos, run.command_line.find("-one \"two words\"")) << run.command_line;
        EXPECT_EQ(Lower(start), Lower(run.folder));
        EXPECT_EQ(c.show, run.show) << c.run_as;
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(LaunchTest, AppPathsNamesAndExtensionsRunTheirPrograms) {
    CVellumMenuObject* bar = LoadBar({
        "Item1.Type=Shortcut", "Item1.Title=By name", "Item1.Shortcut.GetFromRegistry=tessprobe.exe",
        "Item2.Type=Shortcut", "Item2.Title=Nobody", "Item2.Shortcut.GetFromRegistry=tessnothing.exe",
        "Item3.Type=Shortcut", "Item3.Title=By extension", "Item3.Shortcut.UseExtention=.tessprobe",
    });
    ASSERT_NE(nullptr, Item(bar, 2));
    Item(bar, 0)->OnClick();
    ProbeRun run = WaitForProbe();
    EXPECT_TRUE(run.ran) << "through the App Paths entry";

    // A missing entry leaves no target: nothing runs, nothing breaks.
    EXPECT_STREQ("", Item(bar, 1)->m_target);
    testing_support::MessageBoxWatcher boxes;
    Item(bar, 1)->OnClick();
    testing_support::PumpFor(1500);
    EXPECT_FALSE(WaitForProbe(0).ran);
    EXPECT_EQ(0u, boxes.Count());
    EXPECT_TRUE(IsLiveBar(bar));

    Item(bar, 2)->OnClick();
    run = WaitForProbe();
    EXPECT_TRUE(run.ran) << "through the extension's open command";
}

TEST_F(LaunchTest, ARunInAVolatileBarClosesTheBar) {
    CVellumMenuObject* bar = LoadBar({
        "Item1.Type=Shortcut", "Item1.Title=Probe", "Item1.Shortcut.File=" + ProbeExe(),
    });
    CVellumMenuItem_Shortcut* item = Item(bar, 0);
    ASSERT_NE(nullptr, item);
    bar->m_volatile = TRUE;
    HWND wnd = bar->m_hWnd;
    SetForegroundWindow(wnd);
    ClickAtOnce(item);
    EXPECT_TRUE(WaitForProbe().ran);
    EXPECT_TRUE(testing_support::PumpUntil(
        [&] { return !IsLiveBar(bar) || !IsWindow(wnd) || !IsWindowVisible(wnd); }, 3000));
}

}  // namespace
}  // namespace shortcut_test
