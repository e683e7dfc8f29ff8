// The filtering dialogs 101 and 102 of the real server, driven through their
// controls, with "LanternfoldData.ini" read back.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "tests/lanternfold/lanternfold_fixture.h"

using namespace lf_test;
using namespace testing_support;

namespace {

constexpr char kCaption[] = "Customize Tray Icon Filtering";

struct DialogSearch {
    DWORD pid;
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<DialogSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = {}, title[256] = {};
    GetClassNameA(w, cls, sizeof(cls));
    GetWindowTextA(w, title, sizeof(title));
    if (pid == s->pid && strcmp(cls, "#32770") == 0 && strcmp(title, s->caption) == 0 && IsWindowVisible(w))
        s->found.push_back(w);
    return TRUE;
}

std::vector<HWND> DialogsOf(DWORD pid, const char* caption) {
    DialogSearch s = {pid, caption, {}};
    EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForDialog(DWORD pid, const char* caption) {
    HWND found = nullptr;
    PumpUntil([&] {
        auto all = DialogsOf(pid, caption);
        found = all.empty() ? nullptr : all[0];
        return found != nullptr;
    }, 8000);
    return found;
}

std::string TextOf(HWND w) {
    char text[512] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, &ignored);
    return text;
}

void SetText(HWND w, const char* text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, &ignored);
}

LRESULT SendTo(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, 3000, &result);
    return static_cast<LRESULT>(result);
}

// Moves the list's selection with the keyboard, as the user would.
void SelectRow(HWND list, int row) {
    SendTo(list, WM_KEYDOWN, VK_HOME, 0);
    for (int i = 0; i < row; ++i) SendTo(list, WM_KEYDOWN, VK_DOWN, 0);
    PumpFor(50);
}

bool NotifiedCode(const Listener& l, WORD code, int* index = nullptr) {
    for (const Notification& n : l.seen)
        if (n.Code() == code) {
            if (index) *index = n.Index();
            return true;
        }
    return false;
}

class FilterDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveSettings();
        WritePrivateProfileStringA("IconText", "gone.exe5", "Old tip", "LanternfoldData.ini");
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "LanternfoldData.ini");
        ASSERT_TRUE(server.Start());
        ASSERT_TRUE(listener.Register(server));
        owner = CreateOwner();
        SendIcon(server.Window(), {NIM_ADD, owner, 1, NIF_TIP, 0, nullptr, L"Live one"});
        parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        listener.seen.clear();
    }
    void TearDown() override {
        for (HWND d : DialogsOf(server.Pid(), kCaption)) PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        PumpFor(100);
        server.Stop();
        DestroyWindow(owner);
        DestroyWindow(parent);
        RemoveSettings();
    }
    HWND Open(UINT msg) {
        PostMessageA(server.Window(), msg, reinterpret_cast<WPARAM>(parent), 0);
        return WaitForDialog(server.Pid(), kCaption);
    }
    bool Close(HWND dialog, int button) {
        PostMessageA(dialog, WM_COMMAND, button, 0);
        return PumpUntil([&] { return !IsWindow(dialog); }, 5000);
    }
    std::string Settings() {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "LanternfoldData.ini");
        return ReadText(SettingsPath());
    }
    // Picks a file in the server's open-file dialog.
    bool ChooseFile(HWND dialog, const std::string& path) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED), 0);
        HWND picker = WaitForDialog(server.Pid(), "Find Replacement Tray Icon");
        if (!picker) return false;
        HWND name = GetDlgItem(picker, 0x480);
        if (!name) name = GetDlgItem(picker, 0x47c);
        SetText(name, path.c_str());
        PostMessageA(picker, WM_COMMAND, IDOK, 0);
        return PumpUntil([&] { return !IsWindow(picker); }, 5000);
    }

    Server server;
    Listener listener;
    HWND owner = nullptr;
    HWND parent = nullptr;
};

}  // namespace

TEST_F(FilterDialogTest, VisibilityDialogWritesBehaviourAndMinutesAndTellsListeners) {
    HWND dialog = Open(tray::WM_TRAYFILTERDIALOG);
    ASSERT_NE(nullptr, dialog);
    // A second request while one is open opens nothing over it.
    PostMessageA(server.Window(), tray::WM_TRAYFILTERDIALOG, reinterpret_cast<WPARAM>(parent), 0);
    PostMessageA(server.Window(), tray::WM_TRAYICONDIALOG, reinterpret_cast<WPARAM>(parent), 0);
    PumpFor(300);
    EXPECT_EQ(1u, DialogsOf(server.Pid(), kCaption).size());

    HWND list = GetDlgItem(dialog, 1000);
    // "Current Icons" pair, the live icon, "Past Icons" pair, the remembered icon.
    EXPECT_EQ(6, SendTo(list, LVM_GETITEMCOUNT, 0, 0));

    HWND minutes = GetDlgItem(dialog, 1001);
    EXPECT_EQ("5", TextOf(minutes));
    struct {
        const char* typed;
        const char* kept;
    } minute_cases[] = {{"1200", "900"}, {"0", "1"}, {"abc", "1"}, {"7", "7"}};
    for (const auto& c : minute_cases) {
        SetText(minutes, c.typed);
        EXPECT_EQ(c.kept, TextOf(minutes)) << c.typed;
    }

    // "Always show" for the remembered icon, through the behaviour box.
    SendTo(list, WM_KEYDOWN, VK_END, 0);
    HWND combo = FindWindowExA(list, nullptr, "ComboBox", nullptr);
    ASSERT_NE(nullptr, combo);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(combo) != FALSE; }, 2000));
    SendTo(combo, CB_SETCURSEL, 2, 0);
    SendTo(dialog, WM_COMMAND, MAKEWPARAM(1004, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    ASSERT_TRUE(Close(dialog, IDOK));

    ASSERT_TRUE(PumpUntil([&] { return NotifiedCode(listener, tray::TRAYNOTIFY_SETTINGS); }, 2000));
    EXPECT_EQ(0, listener.seen.back().Index());
    EXPECT_EQ(0, listener.seen.back().Flags());
    EXPECT_EQ("2", IniValue("Icons", "gone.exe5"));
    EXPECT_EQ("Old tip", IniValue("IconText", "gone.exe5"));
    EXPECT_EQ("7", IniValue("Options", "TimeToInactive"));
    EXPECT_EQ(7, server.Send(tray::WM_TRAYGETINACTIVEMINUTES));
}

TEST_F(FilterDialogTest, VisibilityDialogCancelWritesNothingAndOkWithoutChangeIsSilent) {
    const std::string before = Settings();
    HWND dialog = Open(tray::WM_TRAYFILTERDIALOG);
    ASSERT_NE(nullptr, dialog);
    HWND list = GetDlgItem(dialog, 1000);
    SelectRow(list, 2);
    HWND combo = FindWindowExA(list, nullptr, "ComboBox", nullptr);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(combo) != FALSE; }, 2000));
    SendTo(combo, CB_SETCURSEL, 1, 0);
    SendTo(dialog, WM_COMMAND, MAKEWPARAM(1004, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    SetText(GetDlgItem(dialog, 1001), "30");
    ASSERT_TRUE(Close(dialog, IDCANCEL));
    EXPECT_EQ(before, Settings());

    dialog = Open(tray::WM_TRAYFILTERDIALOG);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Close(dialog, IDOK));
    PumpFor(200);
    EXPECT_TRUE(listener.seen.empty());
    EXPECT_EQ(before, Settings());
    EXPECT_EQ(5, server.Send(tray::WM_TRAYGETINACTIVEMINUTES));
}

TEST_F(FilterDialogTest, ReplacementIconShowsAtOnceAndIsWrittenOnlyOnOk) {
    TempFolder folder;
    ASSERT_TRUE(folder.Write("star.ico", SmallIconFile(0xFF2080C0)));
    const std::string icon_path = folder.File("star.ico");
    const std::string before = Settings();

    // Chosen, then cancelled: shown at once, taken back, nothing written.
    HWND dialog = Open(tray::WM_TRAYICONDIALOG);
    ASSERT_NE(nullptr, dialog);
    HWND list = GetDlgItem(dialog, 1000);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1007)));
    SelectRow(list, 2);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1007)));
    // "Reset Icon" on a row without a replacement does nothing.
    SendTo(dialog, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED), 0);
    PumpFor(100);
    EXPECT_TRUE(listener.seen.empty());
    ASSERT_TRUE(ChooseFile(dialog, icon_path));
    int index = -1;
    ASSERT_TRUE(PumpUntil([&] { return NotifiedCode(listener, tray::TRAYNOTIFY_REDRAW, &index); }, 3000));
    EXPECT_EQ(0, index);
    EXPECT_NE(0u, server.Entry(0).replacement_icon);
    EXPECT_EQ(before, Settings());
    listener.seen.clear();
    ASSERT_TRUE(Close(dialog, IDCANCEL));
    EXPECT_TRUE(NotifiedCode(listener, tray::TRAYNOTIFY_REDRAW));
    EXPECT_EQ(0u, server.Entry(0).replacement_icon);
    EXPECT_EQ(before, Settings());

    // Chosen, then OK: written with the icon's tip, listeners told.
    listener.seen.clear();
    dialog = Open(tray::WM_TRAYICONDIALOG);
    ASSERT_NE(nullptr, dialog);
    list = GetDlgItem(dialog, 1000);
    SelectRow(list, 2);
    ASSERT_TRUE(ChooseFile(dialog, icon_path));
    ASSERT_TRUE(Close(dialog, IDOK));
    EXPECT_TRUE(NotifiedCode(listener, tray::TRAYNOTIFY_REDRAW));
    EXPECT_TRUE(NotifiedCode(listener, tray::TRAYNOTIFY_SETTINGS));
    const std::string live_key = Field(server.Entry(0).icon_key, 120);
    EXPECT_EQ(0, lstrcmpiA(icon_path.c_str(), IniValue("CustomIcons", live_key.c_str()).c_str()));
    EXPECT_EQ("Live one", IniValue("IconText", live_key.c_str()));
    EXPECT_NE(0u, server.Entry(0).replacement_icon);

    // Reset, then OK: the key is removed and the icon shows as itself.
    listener.seen.clear();
    dialog = Open(tray::WM_TRAYICONDIALOG);
    ASSERT_NE(nullptr, dialog);
    list = GetDlgItem(dialog, 1000);
    SelectRow(list, 2);
    SendTo(dialog, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED), 0);
    EXPECT_TRUE(NotifiedCode(listener, tray::TRAYNOTIFY_REDRAW));
    EXPECT_EQ(0u, server.Entry(0).replacement_icon);
    ASSERT_TRUE(Close(dialog, IDOK));
    EXPECT_EQ("<none>", IniValue("CustomIcons", live_key.c_str()));
}

TEST_F(FilterDialogTest, RestoreDefaultsAsksFirstAndResetsEveryRowOnYes) {
    WritePrivateProfileStringA("Icons", "gone.exe5", "1", "LanternfoldData.ini");
    HWND dialog = Open(tray::WM_TRAYFILTERDIALOG);
    ASSERT_NE(nullptr, dialog);
    for (int answer : {IDNO, IDYES}) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0);
        HWND question = WaitForDialog(server.Pid(), "Tessellar System Tray Filtering");
        ASSERT_NE(nullptr, question);
        PostMessageA(question, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(question); }, 3000));
    }
    ASSERT_TRUE(Close(dialog, IDOK));
    EXPECT_TRUE(NotifiedCode(listener, tray::TRAYNOTIFY_SETTINGS));
    EXPECT_EQ("<none>", IniValue("Icons", "gone.exe5"));
    EXPECT_EQ("Old tip", IniValue("IconText", "gone.exe5"));
}

TEST_F(FilterDialogTest, TheListDrawsItsGroupCaptionWithAGradientRule) {
    HWND dialog = Open(tray::WM_TRAYFILTERDIALOG);
    ASSERT_NE(nullptr, dialog);
    HWND list = GetDlgItem(dialog, 1000);
    SetForegroundWindow(dialog);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpFor(300);
    RECT client = {};
    GetClientRect(list, &client);
    POINT origin = {0, 0};
    ClientToScreen(list, &origin);
    RECT header = {};
    GetWindowRect(FindWindowExA(list, nullptr, "SysHeader32", nullptr), &header);
    const int top = header.bottom - origin.y;   // first row, in client coordinates
    RECT area = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    ScreenCapture shot(area);
    ASSERT_TRUE(shot.Valid());

    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    auto CloseTo = [](COLORREF a, COLORREF b, int slack) {
        return abs(GetRValue(a) - GetRValue(b)) <= slack && abs(GetGValue(a) - GetGValue(b)) <= slack &&
               abs(GetBValue(a) - GetBValue(b)) <= slack;
    };
    int rule_y = -1;
    for (int y = top + 8; y < top + 60 && y < shot.Height(); ++y)
        if (CloseTo(shot.Pixel(2, y), highlight, 48)) {
            rule_y = y;
            break;
        }
    ASSERT_GE(rule_y, 0) << "no rule in the highlight colour under the caption";
    // A gradient: it fades towards the window colour at the right.
    EXPECT_TRUE(CloseTo(shot.Pixel(client.right - 4, rule_y), GetSysColor(COLOR_WINDOW), 48));
    // The caption's text lies between the row top and the rule, from x 14.
    int text_pixels = 0;
    for (int y = top + 6; y < rule_y; ++y)
        for (int x = 14; x < 110; ++x)
            text_pixels += CloseTo(shot.Pixel(x, y), GetSysColor(COLOR_WINDOWTEXT), 80);
    EXPECT_GT(text_pixels, 20);
    // Nothing of the caption left of x 14.
    for (int y = top + 6; y < rule_y; ++y) EXPECT_FALSE(CloseTo(shot.Pixel(6, y), GetSysColor(COLOR_WINDOWTEXT), 80));
}
