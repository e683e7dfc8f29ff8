// The desktop right-click menu in this process, under a stand-in main
// window that answers registered messages as the program's does: the
// hidden handler bar without a skin, the atom and the mouse hook it asks
// for (the stand-in hook library lies beside this program), dialog 1108,
// opening the listed bars at the pointer, and a bar shown again under the
// pointer.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/desktop_resources.h"
#include "shell/desktop_right_click.h"
#include "shell/global_settings.h"
#include "shell/main_window_internal.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

constexpr UINT kBarActivate = 9880;

HWND Main() {
    static HWND main = [] {
        InstallBarHostServices();
        HWND wnd = CreateStandInMainWindow("DesktopRightClickTestMain", testing_support::ShellMainWindowProc);
        RemovePropA(wnd, "lpStatsMonitor");
        CreateStatsMonitor(wnd);
        CreateDesktopRightClickBarFor(GetModuleHandleA(nullptr), wnd);
        return wnd;
    }();
    return main;
}

bool AtomExists() { return GlobalFindAtomA("TS-DeskRClk") != 0; }
bool MouseHookSet() { return GetPropA(Main(), "HandleToMouseHook") != nullptr; }

std::string BarFileText(const std::string& title) {
    return "[Object]\r\nTitle=" + title +
           "\r\nLastPos.x=10\r\nLastPos.y=10\r\nLastSize.cx=120\r\nLastSize.cy=30\r\n"
           "[Section1]\r\nProperties.ForceValid=1\r\nItem1.Title=" + title + " item\r\nItem1.Action=0\r\n";
}

class DesktopRightClick : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, Main());
        ASSERT_NE(nullptr, GetDesktopRightClickBar());
        ASSERT_NE(nullptr, GetDesktopRightClickItem());
        Settings().bDesktopRClickingEnabled = 1;
        ClearDesktopRightClickBars();
    }
    void TearDown() override {
        if (HWND dlg = GetDesktopRightClickBarsDialog()) DestroyWindow(dlg);
        for (CVellumMenuObject* bar : bars_) CloseTestBar(bar, true);
        ClearDesktopRightClickBars();
        UpdateDesktopRightClickHook();
    }
    CVellumMenuObject* OpenBar(const std::string& title, bool show = true) {
        const std::string file = folder_.File(title + ".tsbar");
        folder_.Write(title + ".tsbar", BarFileText(title));
        auto* bar = new CVellumMenuObject(Main());
        std::string path = file;
        bar->LoadTheme(&path[0], show ? 1 : 0, nullptr);
        bar->m_neverSave = TRUE;
        bars_.push_back(bar);
        PumpFor(100);
        return bar;
    }
    std::string Theme(const std::string& section) {
        folder_.Write("t.tstheme", "[Theme Info]\r\nName=T\r\n" + section);
        return folder_.File("t.tstheme");
    }
    TempFolder folder_;
    std::vector<CVellumMenuObject*> bars_;
};

RECT WindowRect(HWND w) {
    RECT r = {};
    GetWindowRect(w, &r);
    return r;
}

}  // namespace

// The handler bar is internal, never saved, has no skin, and every path a
// stray message takes to it copes with that; it never becomes visible.
TEST_F(DesktopRightClick, HandlerBarIsHiddenInternalAndSkinless) {
    CVellumMenuObject* handler = GetDesktopRightClickBar();
    ASSERT_NE(nullptr, handler->m_hWnd);
    char cls[64] = "", title[64] = "";
    GetClassNameA(handler->m_hWnd, cls, sizeof(cls));
    EXPECT_STREQ("Tessellar Toolbar DESKTOP", cls);
    EXPECT_STREQ("DesktopRightClickHandlerBar", handler->Title);
    GetWindowTextA(handler->m_hWnd, title, sizeof(title));
    EXPECT_TRUE(handler->m_internalBar);
    EXPECT_TRUE(handler->m_neverSave);
    EXPECT_EQ(nullptr, handler->m_skin);
    EXPECT_TRUE(IsInternalBar(handler));
    ASSERT_NE(nullptr, handler->m_sections[0]);
    EXPECT_EQ(GetDesktopRightClickItem(), handler->m_sections[0]->m_items[0]);
    EXPECT_EQ(nullptr, handler->m_sections[0]->m_items[1]);

    // Relayed messages, layout, drawing, a stray show and activation.
    for (const char* name : {"TS Theme Loading Almost Done", "TS Theme Loading Done", "VT_THEMESTATUS",
                             "This CMenuObject Skin Changing", "UpdateHiddenLayers", "VolitleClose",
                             "MyOnTopApp ShownOrHidden", "Bar name is changing! Update popups!"})
        RelayToBars(RegisterWindowMessageA(name), 0, 0);
    handler->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    handler->Show(1);
    handler->Show(0);
    SendMessageA(handler->m_hWnd, kBarActivate, reinterpret_cast<WPARAM>(handler), 0);
    InvalidateRect(handler->m_hWnd, nullptr, TRUE);
    UpdateWindow(handler->m_hWnd);
    PumpFor(200);
    EXPECT_TRUE(IsLiveBar(handler));
    EXPECT_FALSE(IsWindowVisible(handler->m_hWnd));
}

// The atom exists exactly while the option is on and the list is not
// empty, and the stats monitor holds the mouse hook exactly then.
TEST_F(DesktopRightClick, AtomFollowsTheOptionAndTheList) {
    struct Case {
        int enabled;
        const char* section;
        bool atom;
    } const cases[] = {
        {1, "[DesktopRightClickBars]\r\nBar#1=Menu\r\n", true},
        {0, "[DesktopRightClickBars]\r\nBar#1=Menu\r\n", false},
        {1, "[DesktopRightClickBars]\r\nBar#2=Menu\r\n", false},
        {1, "[DesktopRightClickBars]\r\n", false},
        {1, "[DesktopRightClickBars]\r\nBar#1=A\r\nBar#2=B\r\nBar#4=D\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        Settings().bDesktopRClickingEnabled = c.enabled;
        LoadDesktopRightClickBars(Theme(c.section).c_str());
        EXPECT_EQ(c.atom, AtomExists());
        EXPECT_EQ(c.atom, MouseHookSet());
    }
    EXPECT_EQ(2, GetDesktopRightClickBarCount());
    EXPECT_STREQ("B", GetDesktopRightClickBarTitle(1));
    // The names are cut to 199 characters.
    LoadDesktopRightClickBars(Theme("[DesktopRightClickBars]\r\nBar#1=" + std::string(290, 'n') + "\r\n").c_str());
    EXPECT_EQ(std::string(199, 'n'), GetDesktopRightClickBarTitle(0));
    // The atom is one, however often it is asked for.
    UpdateDesktopRightClickHook();
    UpdateDesktopRightClickHook();
    GlobalDeleteAtom(GlobalFindAtomA("TS-DeskRClk"));
    EXPECT_FALSE(AtomExists());
    ClearDesktopRightClickBars();
    UpdateDesktopRightClickHook();
    EXPECT_FALSE(MouseHookSet());
}

// Dialog 1108: removing the last entry ends the atom at once, a 21st
// entry is refused, and the save writes exactly the list.
TEST_F(DesktopRightClick, DialogEditsTheListAndTheSaveWritesIt) {
    OpenBar("Solo");
    OpenBar("Extra");
    ASSERT_TRUE(AddDesktopRightClickBar("Solo"));
    UpdateDesktopRightClickHook();
    ASSERT_TRUE(AtomExists());
    ShowDesktopRightClickBarsDialog();
    HWND dlg = GetDesktopRightClickBarsDialog();
    ASSERT_NE(nullptr, dlg);
    char caption[64] = "";
    GetWindowTextA(dlg, caption, sizeof(caption));
    EXPECT_STREQ("Desktop Right-Click Popup Menu", caption);
    EXPECT_EQ(nullptr, GetWindow(dlg, GW_OWNER));
    ShowDesktopRightClickBarsDialog();
    EXPECT_EQ(dlg, GetDesktopRightClickBarsDialog()) << "one instance";

    HWND available = GetDlgItem(dlg, IDC_DRC_AVAILABLE), listed = GetDlgItem(dlg, IDC_DRC_LISTED);
    ASSERT_EQ(1, SendMessageA(listed, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(LB_ERR, SendMessageA(available, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>("DesktopRightClickHandlerBar")));
    SendMessageA(listed, LB_SETCURSEL, 0, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_DRC_REMOVE, BN_CLICKED), 0);
    EXPECT_EQ(0, GetDesktopRightClickBarCount());
    EXPECT_FALSE(AtomExists()) << "removing the last entry ends the atom at once";

    // Add through the dialog, then fill the list to 20: the 21st is refused.
    LRESULT line = SendMessageA(available, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>("Extra"));
    ASSERT_NE(LB_ERR, line);
    SendMessageA(available, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_DRC_ADD, BN_CLICKED), 0);
    EXPECT_EQ(1, GetDesktopRightClickBarCount());
    EXPECT_TRUE(AtomExists());
    for (int i = 2; i <= 20; ++i) AddDesktopRightClickBar(("Bar " + std::to_string(i)).c_str());
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_DRC_REMOVE, 0), 0);   // nothing selected: nothing
    line = SendMessageA(available, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Solo"));
    ASSERT_NE(LB_ERR, line);
    SendMessageA(available, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_DRC_ADD, BN_CLICKED), 0);
    EXPECT_EQ(20, GetDesktopRightClickBarCount());

    const std::string theme = Theme("[DesktopRightClickBars]\r\nBar#21=Stale\r\nBar#30=Stale\r\n");
    EXPECT_EQ(20, SaveDesktopRightClickBars(theme.c_str()));
    char value[300];
    GetPrivateProfileStringA("DesktopRightClickBars", "Bar#1", "", value, sizeof(value), theme.c_str());
    EXPECT_STREQ("Extra", value);
    GetPrivateProfileStringA("DesktopRightClickBars", "Bar#20", "", value, sizeof(value), theme.c_str());
    EXPECT_STREQ("Bar 20", value);
    GetPrivateProfileStringA("DesktopRightClickBars", "Bar#21", "<none>", value, sizeof(value), theme.c_str());
    EXPECT_STREQ("<none>", value);
    SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(nullptr, GetDesktopRightClickBarsDialog());
    EXPECT_EQ(20, GetDesktopRightClickBarCount()) << "Cancel keeps the changes";
}

// "TS Desktop Right Click" opens the listed bar at the pointer; the
// handler bar stays invisible.
TEST_F(DesktopRightClick, RightClickOpensTheListedBarAtThePointer) {
    CVellumMenuObject* menu = OpenBar("Menu");
    ASSERT_TRUE(AddDesktopRightClickBar("Menu"));
    UpdateDesktopRightClickHook();
    // A theme load hides the listed bars until they are asked for.
    RelayToBars(RegisterWindowMessageA("TS Theme Loading Almost Done"), 0, 0);
    PumpUntil([&] { return !IsWindowVisible(menu->m_hWnd); }, 2000);
    ASSERT_FALSE(IsWindowVisible(menu->m_hWnd));

    SetCursorPos(300, 300);
    SendMessageA(Main(), RegisterWindowMessageA("TS Desktop Right Click"), 300, 300);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(menu->m_hWnd) != FALSE; }, 3000));
    PumpFor(200);
    const RECT r = WindowRect(menu->m_hWnd);
    EXPECT_NEAR(300, r.left, 12);
    EXPECT_NEAR(300, r.top, 12);
    EXPECT_FALSE(IsWindowVisible(GetDesktopRightClickBar()->m_hWnd));
    EXPECT_EQ(GetDesktopRightClickItem(), menu->m_associatedPopupItem);
}

// A floating bar that comes back under the pointer when activated.
TEST_F(DesktopRightClick, ActivatedBarReshowsUnderThePointer) {
    CVellumMenuObject* bar = OpenBar("Roamer");
    const RECT before = WindowRect(bar->m_hWnd);
    bar->bHideBarUntilHotkey = TRUE;
    bar->bReshowUnderMouse = TRUE;
    SetCursorPos(400, 350);
    PostMessageA(bar->m_hWnd, kBarActivate, reinterpret_cast<WPARAM>(bar), 0);
    ASSERT_TRUE(PumpUntil([&] { return WindowRect(bar->m_hWnd).left != before.left; }, 3000));
    const RECT after = WindowRect(bar->m_hWnd);
    EXPECT_NEAR(400, after.left, 12);
    EXPECT_NEAR(350, after.top, 40);
    EXPECT_EQ(before.right - before.left, after.right - after.left) << "its size is kept";
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
    EXPECT_TRUE(IsWindowVisible(bar->m_hWnd));
    // A docked bar stays where it is.
}
