// The system tray section with the real Lanternfold.exe, fed by the
// Windows-layout client of the Lanternfold tests.
#include "tests/tray/tray_fixture.h"
#include <commctrl.h>
#include "model/vellum_menu_object.h"
#include "tests/lanternfold/lanternfold_fixture.h"
#include "types/systray_section.h"

using namespace tray_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

int ToolCount(HWND tips) { return static_cast<int>(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0)); }

// The tools of the bar's tooltip window whose text starts with "tip:" (the
// bar's items have tools there too).
int IconToolCount(HWND tips) {
    int n = 0;
    const int count = ToolCount(tips);
    for (int i = 0; i < count; ++i) {
        TOOLINFOA info = {};
        info.cbSize = sizeof(info);
        if (!SendMessageA(tips, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&info))) continue;
        char text[1024] = "";
        info.lpszText = text;
        SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
        if (strncmp(text, "tip:", 4) == 0) ++n;
    }
    return n;
}

bool ToolTextIs(HWND tips, const std::string& wanted) {
    const int count = ToolCount(tips);
    for (int i = 0; i < count; ++i) {
        TOOLINFOA info = {};
        info.cbSize = sizeof(info);
        if (!SendMessageA(tips, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&info))) continue;
        char text[1024] = "";
        info.lpszText = text;
        SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
        if (wanted == text) return true;
    }
    return false;
}

lf_test::IconBlock Icon(DWORD nim, HWND owner, UINT id, const wchar_t* tip) {
    lf_test::IconBlock b;
    b.nim = nim;
    b.owner = owner;
    b.id = id;
    b.flags = NIF_MESSAGE | NIF_TIP;
    b.callback = IconOwner::kCallback;
    b.tip = tip ? tip : L"";
    return b;
}

void MouseAt(HWND bar, const RECT& cell) {
    POINT p = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(bar, &p);
    SetCursorPos(p.x, p.y);
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = 0;
    move.mi.dy = 0;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof(INPUT));
    PumpFor(30);
}

void Button(DWORD flag) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof(INPUT));
    PumpFor(30);
}

HWND ShownOwnerWindow(IconOwner& owner) {
    SetWindowPos(owner.Window(), nullptr, 500, 500, 20, 20, SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    return owner.Window();
}

}  // namespace

class TrayEndToEnd : public TrayTest {
protected:
    void TearDown() override {
        TrayTest::TearDown();
        server.Stop();
    }
    lf_test::Server server;
};

TEST_F(TrayEndToEnd, IconsToolsTipsDeletesClicksAndDeadOwners) {
    ASSERT_TRUE(server.Start());
    CVellumMenuObject* bar = LoadBar(BarText("ExpandButtonEnabled=0\r\n", false, 300, 60), true, GlassSkin());
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    CTrayHost* host = tray->m_trayHost;
    ASSERT_TRUE(host->IsConnected());
    EXPECT_EQ(130, host->GetServerVersion());
    HWND tips = host->m_toolTips;

    IconOwner a("TrayE2EOwnerA"), b("TrayE2EOwnerB"), c("TrayE2EOwnerC");
    ShownOwnerWindow(a);
    ShownOwnerWindow(b);
    ASSERT_EQ(1, lf_test::SendIcon(server.Window(), Icon(NIM_ADD, a.Window(), 11, L"tip: one")));
    ASSERT_EQ(1, lf_test::SendIcon(server.Window(), Icon(NIM_ADD, b.Window(), 12, L"tip: two")));
    ASSERT_EQ(1, lf_test::SendIcon(server.Window(), Icon(NIM_ADD, c.Window(), 13, L"tip: three")));
    ASSERT_TRUE(PumpUntil([&] { return host->GetShownCount() == 3; }, 3000));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsRectEmpty(&host->IconRect(i))) << i;
    EXPECT_EQ(3, IconToolCount(tips));

    ASSERT_EQ(1, lf_test::SendIcon(server.Window(), Icon(NIM_MODIFY, b.Window(), 12, L"tip: two, changed")));
    EXPECT_TRUE(PumpUntil([&] { return ToolTextIs(tips, "tip: two, changed"); }, 3000));

    SIZE before = {}, after = {};
    host->GetIconsExtent(&before);
    ASSERT_EQ(1, lf_test::SendIcon(server.Window(), Icon(NIM_DELETE, c.Window(), 13, nullptr)));
    ASSERT_TRUE(PumpUntil([&] { return host->GetShownCount() == 2; }, 3000));
    EXPECT_EQ(2, IconToolCount(tips));
    host->GetIconsExtent(&after);
    EXPECT_LT(after.cx, before.cx);
    EXPECT_EQ(2, tray->m_lastShownCount);   // the change relaid the bar out

    // A click on the second cell: both button messages, and the owner comes forward.
    SetForegroundWindow(bar->m_hWnd);
    MouseAt(bar->m_hWnd, host->IconRect(1));
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return b.Buttons(12).size() >= 2; }, 3000));
    EXPECT_EQ((std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP}), b.Buttons(12));
    EXPECT_EQ(b.Window(), GetForegroundWindow());

    // Pressed on the second, released on the first: the release goes to the first.
    PumpFor(GetDoubleClickTime() + 100);   // not a double click
    a.calls.clear();
    b.calls.clear();
    MouseAt(bar->m_hWnd, host->IconRect(1));
    Button(MOUSEEVENTF_LEFTDOWN);
    MouseAt(bar->m_hWnd, host->IconRect(0));
    Button(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return !a.Buttons(11).empty(); }, 3000));
    EXPECT_EQ(std::vector<LPARAM>{WM_LBUTTONDOWN}, b.Buttons(12));
    EXPECT_EQ(std::vector<LPARAM>{WM_LBUTTONUP}, a.Buttons(11));

    // An owner that dies without deleting its icon goes at the next draw.
    DestroyWindow(a.Window());
    bar->RedrawVellumWindow();
    EXPECT_TRUE(PumpUntil([&] { return server.Count() == 1 && host->GetShownCount() == 1; }, 3000));
    EXPECT_EQ(1, IconToolCount(tips));
}

TEST_F(TrayEndToEnd, WithoutAServerTheSectionStartsTheOneBesideTheProgram) {
    lf_test::CloseStrayServers();
    ASSERT_EQ(nullptr, FindWindowA(tray::kTrayClass, tray::kServerTitle));
    CVellumMenuObject* bar = LoadBar(BarText(""));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    HWND started = FindWindowA(tray::kTrayClass, tray::kServerTitle);
    ASSERT_NE(nullptr, started);
    EXPECT_TRUE(tray->m_trayHost->IsConnected());
    CloseBar(bar);
    DWORD pid = 0;
    GetWindowThreadProcessId(started, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(started, WM_CLOSE, 0, 0);
    if (process) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 5000));
        CloseHandle(process);
    }
}

// Run from a copy of this program in a folder without Lanternfold.exe.
TEST_F(TrayEndToEnd, WithNoServerFindableTheSectionShowsNoIcons) {
    char flag[8] = "";
    if (!GetEnvironmentVariableA("TRAY_TEST_NO_SERVER", flag, sizeof(flag))) {
        char self[MAX_PATH] = "";
        ASSERT_TRUE(GetModuleFileNameA(nullptr, self, MAX_PATH));
        const std::string copy = temp_.File("tray_tests_alone.exe");
        ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
        lf_test::CloseStrayServers();
        SetEnvironmentVariableA("TRAY_TEST_NO_SERVER", "1");
        testing_support::ChildProcess child;
        const bool started =
            child.Start(copy, "--gtest_filter=TrayEndToEnd.WithNoServerFindableTheSectionShowsNoIcons");
        SetEnvironmentVariableA("TRAY_TEST_NO_SERVER", nullptr);
        ASSERT_TRUE(started);
        EXPECT_EQ(0, child.Wait(60000));
        return;
    }
    ASSERT_EQ(nullptr, FindWindowA(tray::kTrayClass, tray::kServerTitle));
    CVellumMenuObject* bar = LoadBar(BarText("UseTimeFilter=1\r\nTempDisabled=0\r\n"), true, GlassSkin());
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    EXPECT_TRUE(tray->m_valid);
    EXPECT_FALSE(tray->m_trayHost->IsConnected());
    EXPECT_EQ(nullptr, FindWindowA(tray::kTrayClass, tray::kServerTitle)) << "nothing was started";
    EXPECT_EQ(0, tray->m_trayHost->GetRecordCount());
    EXPECT_EQ(kAllFilteringDisabled, tray->GetTrayButtonState());
    bar->RedrawVellumWindow();
    PumpFor(50);
}
