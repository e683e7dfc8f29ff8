// The global options in-process: reading from and writing to the registry,
// the tray server's start-up switch, and the General Options dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <string>

#include "shell/global_settings.h"
#include "shell/shell_resources.h"
#include "skins/skin_painting.h"
#include "tests/shell/stand_in_window.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

constexpr char kKey[] = "Software\\Vantrell\\Tessellar";
constexpr char kCommon[] = "Software\\Vantrell\\Common";

void Put(const char* key, const char* name, DWORD value) {
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &k, nullptr));
    RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof(value));
    RegCloseKey(k);
}

void PutString(const char* key, const char* name, const char* value) {
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &k, nullptr));
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), strlen(value) + 1);
    RegCloseKey(k);
}

DWORD Get(const char* name, DWORD missing = 0xBAD) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &k) != ERROR_SUCCESS) return missing;
    DWORD v = missing, size = sizeof(v), type = 0;
    if (RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size) != ERROR_SUCCESS)
        v = missing;
    RegCloseKey(k);
    return v;
}

bool ValueExists(const char* key, const char* name) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    bool found = RegQueryValueExA(k, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(k);
    return found;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Vantrell");
        Settings() = GlobalSettings();
    }
    void TearDown() override {
        if (HWND dlg = GetGeneralOptionsDialog()) DestroyWindow(dlg);
        DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Vantrell");
        Settings() = GlobalSettings();
    }
    // Loading and applying the options may start the tray server when none
    // runs; this stand-in keeps the real one from starting.
    StandInWindow tray_server_{"Shell_TrayWnd", "CLanternfold"};
};

}  // namespace

TEST_F(SettingsTest, MissingKeyGivesTheDefaults) {
    Settings().bDisableGlow = 1;
    Settings().SmartMenus_Weeks = 9;
    EXPECT_TRUE(LoadGlobalSettings());
    const GlobalSettings& s = Settings();
    const GlobalSettings d;
    EXPECT_EQ(0, memcmp(&s, &d, sizeof(d)));
    EXPECT_EQ(0, GetLastTSVersion());
    EXPECT_EQ(1, s.bUseTearoff);
    EXPECT_EQ(1, s.SmartMenus_Weeks);
    EXPECT_EQ(1, s.bHideExplorerMenubars);
}

TEST_F(SettingsTest, SmartMenuAgeFollowsWhatIsStored) {
    struct Case {
        const char* what;
        int enabled;          // -1: not stored
        int months, weeks, days;   // -1: not stored
        int expect_enabled, expect_months, expect_weeks, expect_days;
    };
    const Case cases[] = {
        {"only days", 1, -1, -1, 3, 1, 0, 0, 3},
        {"no switch ignores the ages", -1, 2, -1, 3, 1, 0, 1, 0},
        {"switch off, no ages", 0, -1, -1, -1, 0, 0, 1, 0},
        {"all three", 1, 1, 2, 3, 1, 1, 2, 3},
        {"months only", 1, 4, -1, -1, 1, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
        if (c.enabled >= 0) Put(kKey, "SmartMenusEnabled", c.enabled);
        if (c.months >= 0) Put(kKey, "SmartMenus_Months", c.months);
        if (c.weeks >= 0) Put(kKey, "SmartMenus_Weeks", c.weeks);
        if (c.days >= 0) Put(kKey, "SmartMenus_Days", c.days);
        ASSERT_TRUE(LoadGlobalSettings());
        EXPECT_EQ(c.expect_enabled, Settings().SmartMenusEnabled);
        EXPECT_EQ(c.expect_months, Settings().SmartMenus_Months);
        EXPECT_EQ(c.expect_weeks, Settings().SmartMenus_Weeks);
        EXPECT_EQ(c.expect_days, Settings().SmartMenus_Days);
    }
}

TEST_F(SettingsTest, SaveWritesEveryValueAndLoadReadsThemBack) {
    GlobalSettings& s = Settings();
    s.UseSimpleMenus = 1;
    s.bDisableGlow = 1;
    s.bUseTearoff = 0;
    s.bHideMenubars = 1;
    s.bUserModeMenus = 1;
    s.bWinTabEnabled = 0;
    s.SmartMenus_Weeks = 0;
    s.SmartMenus_Months = 5;
    const GlobalSettings saved = s;
    ASSERT_TRUE(SaveGlobalSettings());
    EXPECT_EQ(150u, Get("LastTSVersion"));
    EXPECT_EQ(1u, Get("UseSimpleMenus"));
    EXPECT_EQ(0u, Get("bUseTearoff"));
    EXPECT_EQ(5u, Get("SmartMenus_Months"));
    s = GlobalSettings();
    ASSERT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(0, memcmp(&saved, &Settings(), sizeof(saved)));
    EXPECT_EQ(150, GetLastTSVersion());
    // A value of the wrong type keeps its default.
    PutString(kKey, "bAutoSaveBars", "0");
    ASSERT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(1, Settings().bAutoSaveBars);
}

TEST_F(SettingsTest, StaleSmartMenuStartTimeIsDropped) {
    struct Case {
        DWORD version;
        LONGLONG offset_days;   // from now
        bool kept;
    };
    const Case cases[] = {{150, -10, true}, {150, 10, false}, {90, -10, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
        Put(kKey, "LastTSVersion", c.version);
        SYSTEMTIME st;
        GetLocalTime(&st);
        FILETIME ft;
        SystemTimeToFileTime(&st, &ft);
        ULARGE_INTEGER t;
        t.LowPart = ft.dwLowDateTime;
        t.HighPart = ft.dwHighDateTime;
        t.QuadPart += c.offset_days * 864000000000LL;
        ft.dwLowDateTime = t.LowPart;
        ft.dwHighDateTime = t.HighPart;
        HKEY k;
        RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &k);
        RegSetValueExA(k, "OriginalSmartMenuTime", 0, REG_BINARY, reinterpret_cast<BYTE*>(&ft), sizeof(ft));
        RegCloseKey(k);
        LoadGlobalSettings();
        EXPECT_EQ(c.kept, ValueExists(kKey, "OriginalSmartMenuTime"));
    }
}

// The tray server may not stay disabled while the program starts with Windows.
TEST_F(SettingsTest, TrayServerIsReenabledWhileTheProgramRunsAtStartup) {
    StandInWindow server("Shell_TrayWnd", "CLanternfold");
    Put(kKey, "bDisableLanternfoldAtStart", 1);
    Put(kCommon, "QLNStartupEnabled", 1);
    PutString("Software\\Vantrell\\Common\\Bootkeeper", "Tessellar", "C:\\Tessellar.exe");
    ASSERT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(0, Settings().bDisableLanternfoldAtStart);
    auto seen = server.Interesting();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 657), seen[0].msg);
    EXPECT_EQ(1u, seen[0].wp);
    EXPECT_EQ(1, seen[0].lp);

    // Without the program's own start-up entry the switch stays.
    server.Clear();
    PutString("Software\\Vantrell\\Common\\Bootkeeper", "Tessellar", "");
    ASSERT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(1, Settings().bDisableLanternfoldAtStart);
    EXPECT_TRUE(server.Interesting().empty());
}

TEST_F(SettingsTest, BootkeeperValues) {
    EXPECT_EQ(0, IsBootkeeperEnabled());
    Put(kCommon, "QLNStartupEnabled", 1);
    EXPECT_EQ(1, IsBootkeeperEnabled());
    EXPECT_FALSE(BootkeeperValueExists("Tessellar"));
    ASSERT_TRUE(SetBootkeeperValue("Tessellar", true));
    EXPECT_TRUE(BootkeeperValueExists("Tessellar"));
    EXPECT_TRUE(IsRunAtStartupOn());
    ASSERT_TRUE(SetBootkeeperValue("Tessellar", false));
    EXPECT_FALSE(BootkeeperValueExists("Tessellar"));
    EXPECT_FALSE(BootkeeperValueExists(nullptr));
}

// ---- General Options dialog -----------------------------------------------------------

namespace {

HWND OpenDialog() {
    ShowGeneralOptionsDialog();
    return GetGeneralOptionsDialog();
}

bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

void Click(HWND dlg, int id, bool check) {
    CheckDlgButton(dlg, id, check ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void Press(HWND dlg, int id) {
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

}  // namespace

TEST_F(SettingsTest, DialogShowsTheOptions) {
    GlobalSettings& s = Settings();
    s.bDisableGlow = 1;
    s.bWinTabEnabled = 0;
    s.bHideMenubars = 0;
    s.bHideTrayIcon = 1;
    s.SmartMenus_Days = 12;
    s.SmartMenus_Weeks = 3;
    HWND dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    char caption[64] = "";
    GetWindowTextA(dlg, caption, sizeof(caption));
    EXPECT_STREQ("General Options", caption);
    EXPECT_EQ(dlg, OpenDialog()) << "created once";
    EXPECT_EQ(3, SendDlgItemMessageA(dlg, IDC_GO_TABS, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_TRUE(Checked(dlg, IDC_GO_DISABLE_GLOW));
    EXPECT_TRUE(Checked(dlg, IDC_GO_DISABLE_WINTAB));
    EXPECT_TRUE(Checked(dlg, IDC_GO_HIDE_TRAY_ICON));
    EXPECT_TRUE(Checked(dlg, IDC_GO_HIDE_EXPLORER_MENUBARS));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_GO_HIDE_EXPLORER_MENUBARS)));
    // Days win over weeks when both are set.
    EXPECT_EQ(0, SendDlgItemMessageA(dlg, IDC_GO_SMART_UNIT, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(12u, GetDlgItemInt(dlg, IDC_GO_SMART_AGE, nullptr, FALSE));
    // Only the first tab's controls show.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDC_GO_HIDE_DESKTOP_ICONS)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_GO_RUN_AT_STARTUP)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_GO_DISABLE_GLOW)));
    Press(dlg, IDCANCEL);
    EXPECT_EQ(nullptr, GetGeneralOptionsDialog());
}

TEST_F(SettingsTest, DialogRunAtStartupRulesTheTrayServerSwitch) {
    Put(kCommon, "QLNStartupEnabled", 1);
    ASSERT_TRUE(SetBootkeeperValue("Tessellar", true));
    Settings().bDisableLanternfoldAtStart = 1;
    HWND dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    EXPECT_TRUE(Checked(dlg, IDC_GO_RUN_AT_STARTUP));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_GO_DISABLE_LANTERNFOLD)));
    EXPECT_FALSE(Checked(dlg, IDC_GO_DISABLE_LANTERNFOLD));
    Click(dlg, IDC_GO_RUN_AT_STARTUP, false);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_GO_DISABLE_LANTERNFOLD)));
    EXPECT_TRUE(Checked(dlg, IDC_GO_DISABLE_LANTERNFOLD));
    Press(dlg, 3);   // Apply: the start-up entry goes
    EXPECT_FALSE(BootkeeperValueExists("Tessellar"));
    Click(dlg, IDC_GO_RUN_AT_STARTUP, true);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_GO_DISABLE_LANTERNFOLD)));
    EXPECT_FALSE(Checked(dlg, IDC_GO_DISABLE_LANTERNFOLD));
    Press(dlg, IDOK);
    EXPECT_TRUE(BootkeeperValueExists("Tessellar"));
    EXPECT_EQ(nullptr, GetGeneralOptionsDialog());
}

TEST_F(SettingsTest, DialogApplyStoresAndCancelKeepsWhatWasApplied) {
    HWND dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    Click(dlg, IDC_GO_DISABLE_ANIMATIONS, true);
    Click(dlg, IDC_GO_DISABLE_DOUBLECLICK, true);
    Click(dlg, IDC_GO_DISABLE_WINTAB, true);
    SendDlgItemMessageA(dlg, IDC_GO_SMART_UNIT, CB_SETCURSEL, 2, 0);   // Months
    SetDlgItemInt(dlg, IDC_GO_SMART_AGE, 7, FALSE);
    Press(dlg, 3);
    EXPECT_NE(nullptr, GetGeneralOptionsDialog()) << "Apply leaves it open";
    EXPECT_EQ(1, GetDisableAnimations());
    EXPECT_EQ(1u, Get("bDisableAnimations"));
    EXPECT_EQ(1u, Get("bDisableDoubleClicking"));
    EXPECT_EQ(0u, Get("bWinTabEnabled"));
    EXPECT_EQ(7u, Get("SmartMenus_Months"));
    EXPECT_EQ(0u, Get("SmartMenus_Weeks"));
    EXPECT_EQ(0u, Get("SmartMenus_Days"));
    EXPECT_EQ(150u, Get("LastTSVersion"));
    // Changes after Apply are dropped by Cancel; the applied ones stay.
    Click(dlg, IDC_GO_DISABLE_GLOW, true);
    Press(dlg, IDCANCEL);
    EXPECT_EQ(0, GetDisableGlow());
    EXPECT_EQ(0u, Get("bDisableGlow"));
    EXPECT_EQ(1, GetDisableAnimations());
    // The menu-hiding boxes are shown, not stored.
    dlg = OpenDialog();
    Click(dlg, IDC_GO_HIDE_MENUBARS, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_GO_HIDE_EXPLORER_MENUBARS)));
    Press(dlg, IDOK);
    EXPECT_EQ(0, GetHideMenubars());
}

// A key that cannot be made (here: under a volatile parent, where lasting
// keys are refused) leaves the defaults in force, and saving reports it.
TEST_F(SettingsTest, UnwritableKeyIsReportedNotIgnored) {
    HKEY parent;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vantrell", 0, nullptr,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &parent, nullptr));
    RegCloseKey(parent);
    HKEY probe = OpenSettingsKey();
    if (probe) {
        RegCloseKey(probe);
        GTEST_SKIP() << "this registry accepts lasting keys under volatile ones";
    }
    Settings().bDisableGlow = 1;
    EXPECT_FALSE(LoadGlobalSettings());
    EXPECT_EQ(0, Settings().bDisableGlow) << "defaults in force";
    EXPECT_FALSE(SaveGlobalSettings());
    EXPECT_FALSE(WriteLastTSPath());

    MessageBoxWatcher boxes(IDOK);
    HWND dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    Press(dlg, 3);
    EXPECT_TRUE(PumpUntil([&] { return boxes.Count() > 0; }, 3000));
    EXPECT_TRUE(boxes.SawCaption("General Options"));
    Press(dlg, IDCANCEL);
}

// The painting code keeps its own copy of "bDisableGlow": every way the
// option changes (read at start, OK or Apply in the dialog) reaches it.
TEST_F(SettingsTest, GlowOptionReachesTheSkinPainting) {
    struct Restore {
        bool saved = IsSkinGlowDisabled();
        ~Restore() { SetSkinGlowDisabled(saved); }
    } restore;
    struct LoadCase {
        const char* what;
        int stored;   // -1: not stored
        bool disabled;
    };
    const LoadCase loads[] = {
        {"stored on", 1, true},
        {"stored off", 0, false},
        {"not stored: the default", -1, false},
    };
    for (const LoadCase& c : loads) {
        SCOPED_TRACE(c.what);
        DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
        if (c.stored >= 0) Put(kKey, "bDisableGlow", c.stored);
        SetSkinGlowDisabled(!c.disabled);
        ASSERT_TRUE(LoadGlobalSettings());
        EXPECT_EQ(c.disabled, IsSkinGlowDisabled());
    }

    struct DialogCase {
        const char* what;
        int button;
        bool check;
    };
    const DialogCase presses[] = {
        {"Apply switches glow off", 3, true},
        {"OK switches it on again", IDOK, false},
    };
    for (const DialogCase& c : presses) {
        SCOPED_TRACE(c.what);
        HWND dlg = OpenDialog();
        ASSERT_NE(nullptr, dlg);
        Click(dlg, IDC_GO_DISABLE_GLOW, c.check);
        EXPECT_EQ(!c.check, IsSkinGlowDisabled()) << "nothing passed on before the press";
        Press(dlg, c.button);
        EXPECT_EQ(c.check, IsSkinGlowDisabled());
        if (HWND open = GetGeneralOptionsDialog()) DestroyWindow(open);
    }
}
