// Window buttons of the taskbar section: made from the windows on screen and
// the hook library's events (posted to "Tessellar Main" as the library
// would), titles shown as they are, a click that activates, minimises and
// restores, the flash state, the window's system menu as a popup, and
// Windows-key-plus-Tab.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/live_objects.h"
#include "shell/hook_library.h"
#include "shell/stats_monitor.h"
#include "tests/taskbar/task_fixture.h"
#include "types/replaceable.h"
#include "util/general_helpers.h"

using namespace task_test;
using testing_support::PumpFor;

namespace {

std::vector<HWND> Windows(const std::vector<CVellumMenuItem_Taskbar*>& buttons) {
    std::vector<HWND> out;
    for (auto* b : buttons) out.push_back(b->m_window);
    return out;
}

std::vector<HWND> Sorted(std::vector<HWND> windows) {
    std::sort(windows.begin(), windows.end());
    return windows;
}

CVellumMenuItem_Taskbar* ButtonOf(const std::vector<CVellumMenuItem_Taskbar*>& buttons, HWND wnd) {
    for (auto* b : buttons)
        if (b->m_window == wnd) return b;
    return nullptr;
}

// The system commands a window of this process received.
std::vector<std::pair<HWND, WPARAM>> g_local_commands;

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SYSCOMMAND) g_local_commands.push_back({wnd, wp & 0xFFF0});
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

// The windows on screen when the bar is made, and the events after.
TEST_F(TaskbarTest, ButtonsFollowTheWindowsAndTheirEvents) {
    ASSERT_TRUE(program_.Start({"TaskA|Fish & Chips", "TaskA|Second", "TaskA|Third", "TaskTool|Toolbox|tool",
                                "SysPager|Pager"}));
    HWND fish = program_.Find("Fish & Chips"), second = program_.Find("Second"), third = program_.Find("Third");
    HWND tool = program_.Find("Toolbox"), pager = program_.Find("Pager");
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar());
    ASSERT_NE(nullptr, section);

    // Three buttons in the order of the windows; the tool window and the
    // pager have none.
    auto buttons = OurButtons(section);
    auto shown = Windows(buttons);
    ASSERT_EQ(3u, shown.size());
    for (HWND w : {fish, second, third}) EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), w));
    // The "&" is doubled once, so the drawn title shows it as it is.
    EXPECT_EQ("Fish && Chips", Title(ButtonOf(buttons, fish)));
    EXPECT_EQ("Second", Title(ButtonOf(buttons, second)));

    // A destroy event takes the button away; a created pager or a handle that
    // is no window gets none.
    PostEvent(WM_TSHOOK_DESTROYED, second);
    EXPECT_EQ(Sorted({fish, third}), Sorted(Windows(OurButtons(section))));
    const int before = section->GetNumOfItems();
    PostEvent(WM_TSHOOK_CREATED, pager);
    PostEvent(WM_TSHOOK_CREATED, reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7ff0)));
    EXPECT_EQ(before, section->GetNumOfItems());
    // The library reports every window it sees created, tool windows too.
    PostEvent(WM_TSHOOK_CREATED, tool);
    EXPECT_NE(nullptr, ButtonOf(OurButtons(section), tool));
    PostEvent(WM_TSHOOK_DESTROYED, tool);

    // A console window comes without a creation event: its first activation
    // gives it its button.
    HWND console = program_.Open("ConsoleWindowClass|Console");
    ASSERT_NE(nullptr, console);
    PumpFor(100);
    EXPECT_EQ(nullptr, ButtonOf(OurButtons(section), console));
    PostEvent(WM_TSHOOK_ACTIVATED, console);
    auto* console_button = ButtonOf(OurButtons(section), console);
    ASSERT_NE(nullptr, console_button);
    EXPECT_TRUE(console_button->m_console);

    // Killed without destroy events: the next redraw of the bar finds the
    // windows gone and their buttons go.
    program_.Kill();
    ASSERT_TRUE(Wait([&] { return !IsWindow(fish) && !IsWindow(console); }));
    section->m_pBar->RedrawVellumWindow();
    EXPECT_TRUE(Wait([&] { return OurButtons(section).empty(); })) << OurButtons(section).size() << " left";
}

// With A in front a click minimises A and the window below comes up; the
// second click restores A.
TEST_F(TaskbarTest, ClickMinimisesTheActiveWindowAndRestoresIt) {
    ASSERT_TRUE(program_.Start({"TaskA|Alpha", "TaskA|Beta"}));
    HWND alpha = program_.Find("Alpha"), beta = program_.Find("Beta");
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar());
    ASSERT_NE(nullptr, section);
    ASSERT_TRUE(Activate(beta));
    ASSERT_TRUE(Activate(alpha));
    auto* button = ButtonOf(OurButtons(section), alpha);
    ASSERT_NE(nullptr, button);
    PostEvent(WM_TSHOOK_ACTIVATED, alpha);
    EXPECT_EQ(static_cast<UINT>(kStateSelected), button->m_state) << "the active window's button";

    button->OnClick();
    EXPECT_TRUE(Wait([&] { return IsIconic(alpha) != FALSE; }));
    EXPECT_TRUE(Wait([&] { return GetForegroundWindow() == beta; }));
    EXPECT_NE(static_cast<UINT>(kStateSelected), button->m_state);
    EXPECT_EQ((std::vector<UINT>{SC_MINIMIZE}), program_.Commands(alpha));

    button->OnClick();
    EXPECT_TRUE(Wait([&] { return !IsIconic(alpha) && GetForegroundWindow() == alpha; }));
    EXPECT_EQ(static_cast<UINT>(kStateSelected), button->m_state);
    EXPECT_EQ((std::vector<UINT>{SC_MINIMIZE, SC_RESTORE}), program_.Commands(alpha));

    // Any other window is just brought to the front.
    ButtonOf(OurButtons(section), beta)->OnClick();
    EXPECT_TRUE(Wait([&] { return GetForegroundWindow() == beta; }));
    EXPECT_TRUE(program_.Commands(beta).empty());
}

// A flashing window's button shows Selected through every reset of the
// others until the window is activated.
TEST_F(TaskbarTest, FlashKeepsTheButtonSelectedUntilActivated) {
    ASSERT_TRUE(program_.Start({"TaskA|Quiet", "TaskA|Flashing"}));
    HWND quiet = program_.Find("Quiet"), flashing = program_.Find("Flashing");
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar());
    ASSERT_NE(nullptr, section);
    ASSERT_TRUE(Activate(quiet));
    PostEvent(WM_TSHOOK_ACTIVATED, quiet);
    auto* button = ButtonOf(OurButtons(section), flashing);
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(static_cast<UINT>(kStateNormal), button->m_state);

    PostEvent(WM_TSHOOK_CHANGED, flashing, 1);
    EXPECT_EQ(1, button->m_flash);
    EXPECT_EQ(static_cast<UINT>(kStateSelected), button->m_state);
    // Other windows' events reset the buttons around it.
    PostEvent(WM_TSHOOK_ACTIVATED, quiet);
    PostEvent(WM_TSHOOK_RESERVED, quiet);
    EXPECT_EQ(static_cast<UINT>(kStateSelected), button->m_state) << "still flashing";

    ASSERT_TRUE(Activate(flashing));
    PostEvent(WM_TSHOOK_ACTIVATED, flashing);
    EXPECT_EQ(0, button->m_flash);
    ASSERT_TRUE(Activate(quiet));
    PostEvent(WM_TSHOOK_ACTIVATED, quiet);
    EXPECT_EQ(static_cast<UINT>(kStateNormal), button->m_state);
}

// The system menu of a window of this process (menus of other processes
// cannot be read) as a popup bar whose entries send WM_SYSCOMMAND.
TEST_F(TaskbarTest, SystemMenuPopupPostsTheSystemCommand) {
    g_local_commands.clear();
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar());
    ASSERT_NE(nullptr, section);
    HWND target = testing_support::CreatePlainWindow("TaskSysMenuTarget", RecordingProc, "System Menu Target");
    ASSERT_NE(nullptr, target);
    local_.push_back(target);
    SetWindowLongPtrA(target, GWL_STYLE, WS_OVERLAPPEDWINDOW);
    ShowWindow(target, SW_SHOWNOACTIVATE);
    PostEvent(WM_TSHOOK_CREATED, target);
    auto* button = ButtonOf(OurButtons(section), target);
    ASSERT_NE(nullptr, button);

    int handled = 0;
    button->OnRClick(&handled);
    EXPECT_EQ(1, handled);
    EXPECT_FALSE(button->m_systemMenuMode) << "on only while the popup is made";
    CVellumMenuObject* popup = button->m_childBar;
    ASSERT_TRUE(popup && IsLiveBar(popup));
    ASSERT_LE(1, popup->GetSectionCount());
    auto* menu = dynamic_cast<CVellumMenuSection_Replaceable*>(popup->m_sections[0]);
    ASSERT_NE(nullptr, menu);
    EXPECT_TRUE(menu->m_menuOnly);
    // The popup's section holds the mode, so it counts as no menu watcher.
    EXPECT_TRUE(menu->m_holdsSystemMenuMode);
    EXPECT_EQ(1, GetSystemMenuPopupMode());
    EXPECT_EQ(GetSystemMenu(target, FALSE), menu->m_menu);

    CVellumMenuItem_Replaceable* minimize = nullptr;
    for (int i = 0; i < menu->GetNumOfItems(); ++i) {
        auto* entry = dynamic_cast<CVellumMenuItem_Replaceable*>(menu->m_items[i]);
        if (entry && GetMenuItemID(entry->m_menu, entry->m_position) == SC_MINIMIZE) minimize = entry;
    }
    ASSERT_NE(nullptr, minimize) << menu->GetNumOfItems() << " entries";
    EXPECT_TRUE(minimize->m_systemCommand);
    minimize->OnClick();
    EXPECT_TRUE(Wait([&] { return !g_local_commands.empty(); }));
    ASSERT_EQ(1u, g_local_commands.size());
    EXPECT_EQ(target, g_local_commands[0].first);
    EXPECT_EQ(static_cast<WPARAM>(SC_MINIMIZE), g_local_commands[0].second);
}

// "WinKey+Tab Down!" moves the keyboard selection through the buttons,
// backwards with Shift held, wrapping at either end.
TEST_F(TaskbarTest, WinKeyTabCyclesThroughTheButtons) {
    ASSERT_TRUE(program_.Start({"TaskA|One", "TaskA|Two", "TaskA|Three"}));
    CVellumMenuObject* bar = LoadTaskbar();
    CVellumMenuSection_Taskbar* section = Section(bar);
    ASSERT_NE(nullptr, section);
    const int count = section->GetNumOfItems();
    ASSERT_LE(3, count);
    const UINT wintab = RegisterWindowMessageA(kWinKeyTabDownMessage);
    BYTE keys[256];
    const struct {
        const char* name;
        bool shift;
        int from, to;
    } cases[] = {
        {"Shift on the first selects the last", true, 0, count - 1},
        {"Shift steps back", true, count - 1, count - 2},
        {"on the last wraps to the first", false, count - 1, 0},
        {"steps forward", false, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bar->ChangeKeyboardSelection(section->m_items[c.from]);
        GetKeyboardState(keys);
        keys[VK_SHIFT] = c.shift ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageA(bar->m_hWnd, wintab, 0, 0);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        EXPECT_EQ(section->m_items[c.to], bar->m_keyboardItem);
    }
    EXPECT_NE(0, GlobalFindAtomA(kAtomRespondToWinKeyPlusTab)) << "left for the hook library";
    DeleteGlobalAtoms(kAtomRespondToWinKeyPlusTab);
}

// Something dragged over the button of a window behind brings it up; over
// the active window's button nothing happens.
TEST_F(TaskbarTest, DragHoverActivatesTheWindowBehind) {
    ASSERT_TRUE(program_.Start({"TaskA|Front", "TaskA|Behind"}));
    HWND front = program_.Find("Front"), behind = program_.Find("Behind");
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar());
    ASSERT_NE(nullptr, section);
    ASSERT_TRUE(Activate(front));
    ButtonOf(OurButtons(section), front)->DragHover();
    PumpFor(200);
    EXPECT_FALSE(IsIconic(front)) << "the active window is left alone";
    EXPECT_EQ(front, GetForegroundWindow());
    ButtonOf(OurButtons(section), behind)->DragHover();
    EXPECT_TRUE(Wait([&] { return GetForegroundWindow() == behind; }));
}

// A user group's button has no right-click popup.
TEST_F(TaskbarTest, RightClickOnAUserGroupDoesNothing) {
    ASSERT_TRUE(program_.Start({"TaskD|a.doc", "TaskD|b.doc"}));
    CVellumMenuSection_Taskbar* section = Section(
        LoadTaskbar("Taskbar.Filter1.IsGroup=1\r\nTaskbar.Filter1.GroupTitle=Docs\r\nTaskbar.Filter1.WindowTitle=doc\r\n"));
    ASSERT_NE(nullptr, section);
    CVellumMenuItem_Taskbar* group = section->m_groupButtons[0];
    ASSERT_NE(nullptr, group);
    int handled = 0;
    group->OnRClick(&handled);
    EXPECT_EQ(nullptr, group->m_childBar);
    EXPECT_FALSE(group->m_systemMenuMode);
}
