// Tessellar.exe as a process: the hidden main window, the single instance
// and the hand-over of a second start, the recovery start, the document
// types, the options across a restart, and hostile messages from outside.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/shell/stand_in_window.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

constexpr char kSettingsKey[] = "Software\\Vantrell\\Tessellar";
constexpr UINT WM_TSTRAYICON = 1446;

// Every test gets a stand-in tray server, so the program never starts the
// real one, and leaves no Tessellar.exe behind.
class TessellarProcess : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalDeleteAtom(GlobalFindAtomA("Tessellar Starting"));
        ASSERT_EQ(nullptr, FindWindowA("Tessellar Main", nullptr)) << "a Tessellar is running";
    }
    void TearDown() override {
        for (ChildProcess* p : {&first_, &second_}) {
            if (p->Running()) {
                HWND main = FindProcessMainWindow(*p);
                if (main) PostMessageA(main, WM_CLOSE, 0, 0);
                if (p->Wait(5000) == -1) p->Kill();
            }
        }
        while (ATOM a = GlobalFindAtomA("Tessellar Starting")) GlobalDeleteAtom(a);
    }

    static HWND FindProcessMainWindow(ChildProcess& p) {
        return p.WaitForWindow("Tessellar Main", "Tessellar", 1);
    }

    // Starts the first instance and waits for its main window.
    HWND StartFirst(const std::string& args = "") {
        if (!first_.Start("Tessellar.exe", args)) return nullptr;
        HWND main = first_.WaitForWindow("Tessellar Main", "Tessellar", 15000);
        // The window is found while its creation still runs; a sent message
        // returns only once the start-up is over and the loop runs.
        DWORD_PTR answer = 0;
        if (main && !SendMessageTimeoutA(main, RegisterWindowMessageA("v1.3 Test"), 0, 0,
                                         SMTO_NORMAL, 10000, &answer))
            return nullptr;
        return main;
    }

    // Closes it the orderly way and returns its exit code.
    int CloseFirst(HWND main) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return first_.Wait(10000);
    }

    StandInWindow tray_server_{"Shell_TrayWnd", "CLanternfold"};
    ChildProcess first_, second_;
};

std::string ReadString(HKEY root, const char* key, const char* value) {
    char buf[1024] = "";
    DWORD size = sizeof(buf) - 1, type = 0;
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
    LONG rc = RegQueryValueExA(k, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return "<no value>";
    return buf;
}

bool ReadDword(const char* value, DWORD* out) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    DWORD size = sizeof(DWORD), type = 0;
    LONG rc = RegQueryValueExA(k, value, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS && type == REG_DWORD;
}

void WriteDword(const char* value, DWORD data) {
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &k, nullptr));
    RegSetValueExA(k, value, 0, REG_DWORD, reinterpret_cast<BYTE*>(&data), sizeof(data));
    RegCloseKey(k);
}

std::string ProgramPath() { return BinFolder() + "Tessellar.exe"; }

std::string FullPath(const std::string& p) {
    char buf[MAX_PATH];
    GetFullPathNameA(p.c_str(), MAX_PATH, buf, nullptr);
    return buf;
}

}  // namespace

TEST_F(TessellarProcess, StartCreatesHiddenMainWindowAndRemovesTheAtom) {
    DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    HWND main = StartFirst();
    ASSERT_NE(nullptr, main);
    char title[64] = "";
    GetWindowTextA(main, title, sizeof(title));
    EXPECT_STREQ("Tessellar", title);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(main, "TSMainWindow"));
    EXPECT_EQ(0, GlobalFindAtomA("Tessellar Starting"));
    // The tray server's watchdog finds the program through this value.
    EXPECT_EQ(FullPath(ProgramPath()), FullPath(ReadString(HKEY_CURRENT_USER, kSettingsKey, "LastTSPath")));
    // A presence probe answers with its own number plus one.
    UINT probe = RegisterWindowMessageA("v1.3 Test");
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(main, probe, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(probe + 1, answer);
    EXPECT_EQ(0, CloseFirst(main));
    EXPECT_EQ(nullptr, FindWindowA("Tessellar Main", nullptr));
}

TEST_F(TessellarProcess, RegistersTheFourDocumentTypes) {
    HWND main = StartFirst();
    ASSERT_NE(nullptr, main);
    const std::string exe = ReadString(HKEY_CURRENT_USER, kSettingsKey, "LastTSPath");
    const std::string open = "\"" + exe + "\" \"%1\"";
    struct Type {
        const char* ext;
        const char* name;
        bool has_open;
        int icon;
    };
    const Type types[] = {{".tstheme", "Tessellar Theme", true, 1},
                          {".tsbar", "Tessellar Bar", true, 2},
                          {".tsskin", "Tessellar Skin", false, 3},
                          {".tspack", "Tessellar Package", true, 1}};
    for (const Type& t : types) {
        SCOPED_TRACE(t.ext);
        EXPECT_EQ(t.name, ReadString(HKEY_CLASSES_ROOT, t.ext, nullptr));
        EXPECT_EQ(t.name, ReadString(HKEY_CLASSES_ROOT, t.name, nullptr));
        std::string command_key = std::string(t.name) + "\\shell\\open\\command";
        EXPECT_EQ(t.has_open ? open : "<no key>", ReadString(HKEY_CLASSES_ROOT, command_key.c_str(), nullptr));
        std::string icon_key = std::string(t.name) + "\\DefaultIcon";
        EXPECT_EQ("\"" + exe + "\"," + std::to_string(t.icon),
                  ReadString(HKEY_CLASSES_ROOT, icon_key.c_str(), nullptr));
    }
    // The icons named there exist in the program.
    for (int index = 0; index < 4; ++index)
        EXPECT_NE(0u, reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), exe.c_str(), index)))
            << "icon " << index;
    EXPECT_EQ(0, CloseFirst(main));
}

// A second start hands its command line to the running instance and ends.
TEST_F(TessellarProcess, SecondStartHandsItsCommandLineOver) {
    struct Case {
        const char* args;
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        const char* text;   // for WM_COPYDATA
    };
    const Case cases[] = {
        {"", WM_TSTRAYICON, 0, 515, nullptr},
        {"   ", WM_TSTRAYICON, 0, 515, nullptr},
        {"-themes", WM_COMMAND, 40032, 0, nullptr},
        {"-themes C:\\a.tstheme", WM_COMMAND, 40032, 0, nullptr},
        {"\"C:\\my themes\\blue sky.tstheme\"", WM_COPYDATA, 0, 0, "C:\\my themes\\blue sky.tstheme"},
        {"  C:\\my-skins\\a.tstheme", WM_COPYDATA, 0, 0, "C:\\my-skins\\a.tstheme"},
        {"C:\\x-s\\-themes.tspack", WM_COPYDATA, 0, 0, "C:\\x-s\\-themes.tspack"},
        {"-s \"C:\\p k\\one.tspack\"", WM_COPYDATA, 0, 0, "C:\\p k\\one.tspack"},
        {"ReloadSkin \"C:\\s k\\a.tsskin\"", WM_COPYDATA, 0, 0, "ReloadSkin \"C:\\s k\\a.tsskin\""},
        {"Configure", WM_COPYDATA, 0, 0, "Configure"},
    };
    StandInWindow running("Tessellar Main", "Tessellar");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        running.Clear();
        GlobalAddAtomA("Tessellar Starting");   // as if another start were under way
        ASSERT_TRUE(second_.Start("Tessellar.exe", c.args));
        EXPECT_EQ(0, second_.Wait(15000));
        std::vector<RecordedMessage> seen = running.Interesting();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(c.msg, seen[0].msg);
        if (c.msg == WM_COPYDATA) {
            EXPECT_EQ(0u, seen[0].wp);
            EXPECT_EQ(0u, seen[0].copy_data_kind);
            EXPECT_EQ(c.text, seen[0].copy_data);
            EXPECT_EQ(strlen(c.text) + 2, seen[0].copy_data_size);
        } else {
            EXPECT_EQ(c.wp, seen[0].wp);
            EXPECT_EQ(c.lp, seen[0].lp);
        }
        EXPECT_EQ(0, GlobalFindAtomA("Tessellar Starting"));
    }
}

// A running instance whose thread is stuck must not block later starts.
TEST_F(TessellarProcess, HungInstanceDoesNotBlockASecondStart) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread stuck([&] {
        StandInWindow running("Tessellar Main", "Tessellar");
        SetEvent(ready);
        WaitForSingleObject(release, 30000);   // never pumps meanwhile
    });
    WaitForSingleObject(ready, 5000);
    ASSERT_TRUE(second_.Start("Tessellar.exe", "C:\\a.tstheme"));
    DWORD start = GetTickCount();
    int code = second_.Wait(20000);
    DWORD took = GetTickCount() - start;
    SetEvent(release);
    stuck.join();
    CloseHandle(release);
    CloseHandle(ready);
    EXPECT_EQ(0, code);
    EXPECT_LT(took, 8000u);
}

TEST_F(TessellarProcess, SecondStartAgainstTheRealInstanceEnds) {
    HWND main = StartFirst();
    ASSERT_NE(nullptr, main);
    for (const char* args : {"", "-themes", "\"C:\\no such\\x.tstheme\""}) {
        SCOPED_TRACE(args);
        ASSERT_TRUE(second_.Start("Tessellar.exe", args));
        EXPECT_EQ(0, second_.Wait(15000));
        EXPECT_TRUE(first_.Running());
        EXPECT_EQ(main, FindWindowA("Tessellar Main", "Tessellar"));
    }
    // The last start named a theme in a folder that does not exist: closing
    // cannot save it there, and says so.
    MessageBoxWatcher watcher(IDOK, true);
    watcher.WatchProcess(first_.Id());
    EXPECT_EQ(0, CloseFirst(main));
    EXPECT_TRUE(watcher.SawCaption("Tessellar - Saving Theme"));
}

// The General Options open modeless in the running program; closing the
// program applies them, and Unload ends it.
TEST_F(TessellarProcess, GeneralOptionsAndUnloadFromTheMenuCommands) {
    DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    HWND main = StartFirst();
    ASSERT_NE(nullptr, main);
    PostMessageA(main, WM_COMMAND, 40012, 0);
    HWND dialog = first_.WaitForWindow("#32770", "General Options", 10000);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(main, GetWindow(dialog, GW_OWNER));
    PostMessageA(main, WM_COMMAND, 40012, 0);   // a second request brings the same one forward
    PumpFor(300);
    EXPECT_EQ(dialog, first_.WaitForWindow("#32770", "General Options", 1000));
    // Tick "Disable animations" in the dialog, then close the program: OK applies it.
    SendMessageA(GetDlgItem(dialog, 1126), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(0, CloseFirst(main));
    DWORD v = 0;
    EXPECT_TRUE(ReadDword("bDisableAnimations", &v));
    EXPECT_EQ(1u, v);

    main = StartFirst();
    ASSERT_NE(nullptr, main);
    PostMessageA(main, WM_COMMAND, 40008, 0);   // Unload
    EXPECT_EQ(0, first_.Wait(10000));
}

// A start that finds another start under way and no main window gives up.
TEST_F(TessellarProcess, StartGivesUpWhileAnotherStartIsUnderWay) {
    GlobalAddAtomA("Tessellar Starting");
    ASSERT_TRUE(first_.Start("Tessellar.exe"));
    EXPECT_EQ(0, first_.Wait(15000));
    EXPECT_NE(0, GlobalFindAtomA("Tessellar Starting"));   // left to the other start
}

namespace {

// A desktop as Explorer makes it: "Progman" > "SHELLDLL_DefView" > the icon
// list view; and a taskbar ("Shell_TrayWnd" without title). Both hidden as a
// crashed Tessellar would have left them. Kept off screen.
class HiddenDesktop {
public:
    HiddenDesktop() {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        progman_ = CreateWindowExA(0, "Progman", "Program Manager", WS_POPUP | WS_VISIBLE, -3000, -3000,
                                   50, 50, nullptr, nullptr, nullptr, nullptr);
        view_ = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50,
                                progman_, nullptr, nullptr, nullptr);
        icons_ = CreateWindowExA(0, "SysListView32", "FolderView", WS_CHILD, 0, 0, 50, 50, view_,
                                 nullptr, nullptr, nullptr);
        SetWindowRgn(icons_, CreateRectRgn(0, 0, 0, 0), FALSE);
        taskbar_ = CreateWindowExA(0, "Shell_TrayWnd", "", WS_POPUP, -3000, -2900, 50, 20, nullptr,
                                   nullptr, nullptr, nullptr);
        SetWindowRgn(taskbar_, CreateRectRgn(0, 0, 0, 0), FALSE);
        SetPropA(taskbar_, "TSHideCount", reinterpret_cast<HANDLE>(3));
    }
    ~HiddenDesktop() {
        RemovePropA(taskbar_, "TSHideCount");
        DestroyWindow(taskbar_);
        DestroyWindow(progman_);
    }
    static void RegisterClasses() {
        for (const char* cls : {"Progman", "SHELLDLL_DefView", "Shell_TrayWnd"}) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = cls;
            RegisterClassA(&wc);
        }
    }
    bool IconsShown() const {
        RECT r;
        return (GetWindowLongA(icons_, GWL_STYLE) & WS_VISIBLE) && GetWindowRgnBox(icons_, &r) == ERROR;
    }
    bool TaskbarShown() const {
        RECT r;
        return (GetWindowLongA(taskbar_, GWL_STYLE) & WS_VISIBLE) && GetWindowRgnBox(taskbar_, &r) == ERROR;
    }
    HWND Taskbar() const { return taskbar_; }

private:
    HWND progman_ = nullptr, view_ = nullptr, icons_ = nullptr, taskbar_ = nullptr;
};

}  // namespace

// The tray server's watchdog restarts a crashed Tessellar with "-recover":
// the desktop comes back and nothing else runs.
TEST_F(TessellarProcess, RecoveryStartRestoresTheDesktopAndCreatesNoWindow) {
    HiddenDesktop::RegisterClasses();
    for (const char* args : {"-recover", "-recover -s C:\\a.tspack", "-themes -recover"}) {
        SCOPED_TRACE(args);
        HiddenDesktop desktop;
        // The program must find this stand-in before Wine's own taskbar.
        HWND first_taskbar = FindWindowA("Shell_TrayWnd", "");
        ASSERT_EQ(desktop.Taskbar(), first_taskbar);
        ASSERT_FALSE(desktop.IconsShown());
        ASSERT_FALSE(desktop.TaskbarShown());
        tray_server_.Clear();
        DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
        GlobalAddAtomA("Tessellar Starting");
        ASSERT_TRUE(first_.Start("Tessellar.exe", args));
        ASSERT_EQ(0, first_.Wait(15000));
        // The watchdog is disarmed (first by the recovery itself, then again
        // when the icons come back), never armed.
        std::vector<RecordedMessage> seen = tray_server_.Interesting();
        ASSERT_FALSE(seen.empty());
        for (const RecordedMessage& m : seen) {
            EXPECT_EQ(static_cast<UINT>(WM_USER + 663), m.msg);
            EXPECT_EQ(0u, m.wp);
        }
        EXPECT_TRUE(desktop.IconsShown());
        EXPECT_TRUE(desktop.TaskbarShown());
        EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(desktop.Taskbar(), "TSHideCount"));
        EXPECT_EQ(0, GlobalFindAtomA("Tessellar Starting"));
        // No main window was made: it would have written the program path.
        EXPECT_EQ("<no key>", ReadString(HKEY_CURRENT_USER, kSettingsKey, "LastTSPath"));
    }
}

TEST_F(TessellarProcess, PresetStartRecordsTheThemeAndEnds) {
    const std::string ini = BinFolder() + "Tessellar.ini";
    const std::string theme = BinFolder() + "Themes\\Blue sky\\Blue.tstheme";
    DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    WriteFileBytes(ini, "[Settings]\r\nLastTheme=old\\old.tstheme\r\nOther=1\r\n");
    ASSERT_TRUE(first_.Start("Tessellar.exe", "-s \"" + theme + "\""));
    EXPECT_EQ(0, first_.Wait(15000));
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA("Settings", "LastTheme", "", value, sizeof(value), ini.c_str());
    EXPECT_STREQ("Themes\\Blue sky\\Blue.tstheme", value);
    GetPrivateProfileStringA("Settings", "Other", "", value, sizeof(value), ini.c_str());
    EXPECT_STREQ("", value) << "a fresh file";
    // Nothing is saved in preset mode.
    DWORD v = 0;
    EXPECT_FALSE(ReadDword("LastTSVersion", &v));

    // "-s" alone has no theme to record and leaves the file alone.
    WriteFileBytes(ini, "[Settings]\r\nLastTheme=keep.tstheme\r\n");
    ASSERT_TRUE(first_.Start("Tessellar.exe", "-s"));
    EXPECT_EQ(0, first_.Wait(15000));
    GetPrivateProfileStringA("Settings", "LastTheme", "", value, sizeof(value), ini.c_str());
    EXPECT_STREQ("keep.tstheme", value);
    DeleteFileA(ini.c_str());
}

TEST_F(TessellarProcess, OptionsSurviveARestart) {
    DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    WriteDword("bDisableGlow", 1);
    WriteDword("bUseTearoff", 0);
    WriteDword("bHideBehaviorWarning", 1);
    WriteDword("SmartMenusEnabled", 1);
    WriteDword("SmartMenus_Days", 3);
    HWND main = StartFirst();
    ASSERT_NE(nullptr, main);
    DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);   // only the program's save brings them back
    ASSERT_EQ(0, CloseFirst(main));
    struct Expect {
        const char* name;
        DWORD value;
    };
    const Expect expected[] = {{"LastTSVersion", 150}, {"bDisableGlow", 1}, {"bUseTearoff", 0},
                               {"bHideBehaviorWarning", 1}, {"SmartMenusEnabled", 1},
                               {"SmartMenus_Days", 3}, {"SmartMenus_Weeks", 0},
                               {"SmartMenus_Months", 0}, {"bAutoSaveBars", 1}};
    for (const Expect& e : expected) {
        DWORD v = 12345;
        EXPECT_TRUE(ReadDword(e.name, &v)) << e.name;
        EXPECT_EQ(e.value, v) << e.name;
    }
}

TEST_F(TessellarProcess, MissingOptionsKeyGivesTheDefaults) {
    DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    HWND main = StartFirst();
    ASSERT_NE(nullptr, main);
    ASSERT_EQ(0, CloseFirst(main));
    const std::pair<const char*, DWORD> defaults[] = {
        {"UseSimpleMenus", 0}, {"bDisableGlow", 0}, {"bDisableDoubleClicking", 0},
        {"bUseTearoff", 1}, {"bDisableAnimations", 0}, {"bDisableLanternfoldAtStart", 0},
        {"bHideBehaviorWarning", 0}, {"bHideTrayIcon", 0}, {"bAutoSaveBars", 1},
        {"bHideMenubars", 0}, {"bHideExplorerMenubars", 1}, {"bHelperEnabled", 0},
        {"bUserModeMenus", 0}, {"bDesktopIconsHidden", 0}, {"bDesktopRClickingEnabled", 1},
        {"SmartMenusEnabled", 1}, {"SmartMenus_Months", 0}, {"SmartMenus_Weeks", 1},
        {"SmartMenus_Days", 0}, {"bWinTabEnabled", 1}, {"LastTSVersion", 150}};
    for (const auto& d : defaults) {
        DWORD v = 12345;
        EXPECT_TRUE(ReadDword(d.first, &v)) << d.first;
        EXPECT_EQ(d.second, v) << d.first;
    }
}

// Any process can post registered messages; pointers in them that name
// nothing of the program are ignored.
TEST_F(TessellarProcess, BogusPointersFromAnotherProcessChangeNothing) {
    HWND main = StartFirst();
    ASSERT_NE(nullptr, main);
    GlobalAddAtomA("TS-DeskRClk");   // makes "ShouldEnableMousehook" answer through wParam
    const char* names[] = {"Remove Item Delay", "Remove Section Delay", "SwapItems (Behavior)",
                           "TSConfigure Plugin", "GUI_SelectItem Delay", "ShouldEnableMousehook",
                           "WM_INVOKESHORTCUTCOMMAND", "WM_FOLDERMENUEXEPIDL",
                           "CMenuObject Hiding", "CMenuObject Closing", "CMenuObject Showing",
                           "CMenuObject ThemeLoaded"};
    const WPARAM pointers[] = {0xDEADBEEF, 0x00400000, 0x00401000, 1, 0xFFFFFFFF,
                               reinterpret_cast<WPARAM>(main), 0x7FFE0000};
    for (const char* name : names) {
        UINT msg = RegisterWindowMessageA(name);
        for (WPARAM p : pointers) PostMessageA(main, msg, p, static_cast<LPARAM>(p));
    }
    // Unterminated and empty WM_COPYDATA texts are cut at cbData.
    char raw[4] = {'a', 'b', 'c', 'd'};
    COPYDATASTRUCT cds = {0, sizeof(raw), raw};
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(1u, result);
    COPYDATASTRUCT empty = {0, 0, nullptr};
    EXPECT_TRUE(SendMessageTimeoutA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty), SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(0u, result);
    while (ATOM a = GlobalFindAtomA("TS-DeskRClk")) GlobalDeleteAtom(a);

    UINT probe = RegisterWindowMessageA("v1.3 Test");
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(main, probe, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(probe + 1, answer);
    EXPECT_TRUE(first_.Running());
    EXPECT_EQ(0, CloseFirst(main));
}
