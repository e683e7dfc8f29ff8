// The start-up helpers in-process: whole-word options, the document path,
// "%username%" expansion, file-type registration, WM_COPYDATA text, the
// crash-report callback and the relay of messages to the bars.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/bar_window.h"
#include "shell/main_window.h"
#include "shell/main_window_internal.h"
#include "shell/startup.h"
#include "tests/support/test_support.h"
#include "util/bar_registry.h"

using namespace testing_support;

TEST(CommandLine, OptionsMatchOnlyAsWholeWords) {
    struct Case {
        const char* line;
        const char* option;
        bool found;
    };
    const Case cases[] = {
        {"-s", "-s", true},
        {"-s C:\\a.tspack", "-s", true},
        {"  -s   \"C:\\a b\\c.tspack\"", "-s", true},
        {"C:\\a.tspack -s", "-s", true},
        {"C:\\my-skins\\a.tstheme", "-s", false},
        {"\"C:\\x -s y\\a.tstheme\"", "-s", false},
        {"-skin", "-s", false},
        {"-themes", "-s", false},
        {"-themes", "-themes", true},
        {"-themes C:\\a.tstheme", "-themes", true},
        {"C:\\-themes\\a.tstheme", "-themes", false},
        {"-themesX", "-themes", false},
        {"x -recover", "-recover", true},
        {"C:\\a-recover", "-recover", false},
        {"", "-s", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.found, FindCommandOption(c.line, c.option) != nullptr) << c.line << " / " << c.option;
}

TEST(CommandLine, PresetOptionIsBlankedAndTheDocumentUnquoted) {
    char line[] = "-s \"C:\\my themes\\a b.tspack\"";
    EXPECT_TRUE(BlankCommandOption(line, "-s"));
    EXPECT_STREQ("   \"C:\\my themes\\a b.tspack\"", line);
    char doc[MAX_PATH];
    ExtractDocumentPath(line, doc, sizeof(doc));
    EXPECT_STREQ("C:\\my themes\\a b.tspack", doc);
    char plain[] = "C:\\my-skins\\a.tstheme";
    EXPECT_FALSE(BlankCommandOption(plain, "-s"));
    EXPECT_STREQ("C:\\my-skins\\a.tstheme", plain);
}

TEST(CommandLine, HandOverKindFollowsTheText) {
    EXPECT_EQ(HandOverKind::TrayDoubleClick, ClassifyHandOver(""));
    EXPECT_EQ(HandOverKind::TrayDoubleClick, ClassifyHandOver("   "));
    EXPECT_EQ(HandOverKind::ThemeBrowser, ClassifyHandOver("-themes C:\\a.tstheme"));
    EXPECT_EQ(HandOverKind::CopyData, ClassifyHandOver("C:\\my-themes\\a.tstheme"));
}

TEST(UserName, ExpansionIsBoundedAndNeverRescansTheName) {
    struct Case {
        const char* name;       // null: substitution off
        const char* source;
        size_t size;
        bool replaced;
        const char* result;
    };
    const Case cases[] = {
        {"bob", "C:\\Users\\%username%\\x", 260, true, "C:\\Users\\bob\\x"},
        {"bob", "%username%%username%", 260, true, "bobbob"},
        {"bob", "C:\\plain", 260, false, "C:\\plain"},
        {"bob", "%USERNAME%", 260, false, "%USERNAME%"},
        // A name holding the token is inserted once, not expanded for ever.
        {"a%username%b", "x%username%y", 260, true, "xa%username%by"},
        // Too long for the destination: the text is kept unexpanded.
        {"a-very-long-user-name", "%username%", 12, false, "%username%"},
        {"bob", "%username%", 4, true, "bob"},
        {nullptr, "%username%", 260, false, "%username%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        SetUserNameSubstitution(c.name);
        char dest[260] = "";
        EXPECT_EQ(c.replaced, ExpandUserNameInPath(c.source, dest, c.size));
        if (c.name) {
            EXPECT_STREQ(c.result, dest);
        }
    }
    // The same buffer as source and destination.
    SetUserNameSubstitution("eve");
    char same[64] = "%username%\\Desktop";
    EXPECT_TRUE(ExpandUserNameInPath(same, same, sizeof(same)));
    EXPECT_STREQ("eve\\Desktop", same);
    EXPECT_FALSE(ExpandUserNameInPath(nullptr, same, sizeof(same)));
    EXPECT_FALSE(ExpandUserNameInPath(same, nullptr, 10));
    SetUserNameSubstitution(nullptr);
}

TEST(FileTypes, RegisterFileTypeWritesEveryKey) {
    ASSERT_TRUE(RegisterFileType(".tsshelltest", "Tessellar ShellTest", "Shell Test Document",
                                 "\"C:\\t.exe\" \"%1\"", "\"C:\\t.exe\",2"));
    auto read = [](const char* key) {
        char buf[260] = "";
        LONG size = sizeof(buf);
        if (RegQueryValueA(HKEY_CLASSES_ROOT, key, buf, &size) != ERROR_SUCCESS) return std::string("<none>");
        return std::string(buf);
    };
    EXPECT_EQ("Tessellar ShellTest", read(".tsshelltest"));
    EXPECT_EQ("Shell Test Document", read("Tessellar ShellTest"));
    EXPECT_EQ("\"C:\\t.exe\" \"%1\"", read("Tessellar ShellTest\\shell\\open\\command"));
    EXPECT_EQ("\"C:\\t.exe\",2", read("Tessellar ShellTest\\DefaultIcon"));
    // Without a command and icon, those keys are not made.
    ASSERT_TRUE(RegisterFileType(".tsshelltest2", "Tessellar ShellTest2", "Two", nullptr, nullptr));
    EXPECT_EQ("<none>", read("Tessellar ShellTest2\\shell\\open\\command"));
    EXPECT_EQ("<none>", read("Tessellar ShellTest2\\DefaultIcon"));
    EXPECT_FALSE(RegisterFileType(nullptr, "x", "y", nullptr, nullptr));
    for (const char* k : {".tsshelltest", ".tsshelltest2", "Tessellar ShellTest", "Tessellar ShellTest2"})
        DeleteRegistryTree(HKEY_CLASSES_ROOT, k);
}

namespace {

LRESULT CALLBACK StrangerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(wnd, msg, wp, lp);
}

const char* const kProgramClasses[] = {"Tessellar Main", "Tessellar Toolbar",
                                       "Tessellar Toolbar DESKTOP", "TSHelperLines"};

void UnregisterProgramClasses(HINSTANCE instance) {
    for (const char* name : kProgramClasses) UnregisterClassA(name, instance);
}

WNDPROC ProcedureOfClass(HINSTANCE instance, const char* name) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    return GetClassInfoExA(instance, name, &wc) ? wc.lpfnWndProc : nullptr;
}

}  // namespace

// Each class name of the program, held first by a class with another window
// procedure: windows of that name would not be the program's, so the
// registration reports failure. With every name free it succeeds, every
// class has its procedure, and a repeated call still succeeds.
TEST(WindowClasses, RegistrationFailsWhenANameIsHeldByAnotherProcedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    struct Case {
        const char* held;   // the name a stranger registers first, or null
        bool registered;
    };
    const Case cases[] = {
        {nullptr, true},
        {"Tessellar Main", false},
        {"Tessellar Toolbar", false},
        {"Tessellar Toolbar DESKTOP", false},
        {"TSHelperLines", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held ? c.held : "no name held");
        UnregisterProgramClasses(instance);
        for (const char* name : kProgramClasses)
            ASSERT_EQ(nullptr, ProcedureOfClass(instance, name)) << name << " is still in use";
        if (c.held) {
            WNDCLASSEXA stranger = {};
            stranger.cbSize = sizeof(stranger);
            stranger.lpfnWndProc = StrangerProc;
            stranger.hInstance = instance;
            stranger.lpszClassName = c.held;
            ASSERT_NE(0, RegisterClassExA(&stranger));
        }
        EXPECT_EQ(c.registered, RegisterWindowClasses(instance));
        if (c.registered) {
            EXPECT_EQ(WNDPROC(MainWindowProc),
                      ProcedureOfClass(instance, "Tessellar Main"));
            EXPECT_EQ(WNDPROC(BarWindowProc),
                      ProcedureOfClass(instance, "Tessellar Toolbar"));
            EXPECT_EQ(WNDPROC(BarWindowProc),
                      ProcedureOfClass(instance, "Tessellar Toolbar DESKTOP"));
            EXPECT_NE(nullptr, ProcedureOfClass(instance, "TSHelperLines"));
            EXPECT_TRUE(RegisterWindowClasses(instance));
        }
    }
    // Later tests make stand-ins named "Tessellar Main"; the bar classes stay
    // as the bar tests expect them.
    UnregisterProgramClasses(instance);
    EXPECT_TRUE(RegisterBarWindowClasses(instance));
}

TEST(Folders, PluginsFolderIsMadeBesideTheProgram) {
    char folder[MAX_PATH] = "";
    ASSERT_TRUE(GetPluginsFolder(folder));
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string expected(exe);
    expected = expected.substr(0, expected.find_last_of('\\') + 1) + "VTPlugins\\";
    EXPECT_STREQ(expected.c_str(), folder);
    EXPECT_TRUE(GetFileAttributesA(folder) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(GetPluginsFolder(nullptr));
}

TEST(CopyData, TextIsBoundedByCbDataAndTerminated) {
    char raw[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};   // no terminator
    struct Case {
        DWORD size;
        const char* expected;
    };
    const Case cases[] = {{0, ""}, {3, "abc"}, {8, "abcdefgh"}};
    for (const Case& c : cases) {
        COPYDATASTRUCT cds = {0, c.size, raw};
        std::string text;
        ASSERT_TRUE(CopyDataText(&cds, &text));
        EXPECT_EQ(c.expected, text);
    }
    char with_zero[] = "C:\\a.tstheme\0garbage";
    COPYDATASTRUCT cds = {0, sizeof(with_zero), with_zero};
    std::string text;
    ASSERT_TRUE(CopyDataText(&cds, &text));
    EXPECT_EQ("C:\\a.tstheme", text);
    COPYDATASTRUCT none = {0, 5, nullptr};
    EXPECT_FALSE(CopyDataText(&none, &text));
    EXPECT_FALSE(CopyDataText(nullptr, &text));
}

TEST(CrashReport, VTSSaveStateAppendsOneLineOrReportsFailure) {
    TempFolder temp;
    const std::string file = temp.File("report.txt");
    ASSERT_TRUE(temp.Write("report.txt", "crash\r\n"));
    EXPECT_EQ(1, VTSSaveState(file.c_str()));
    EXPECT_EQ(1, VTSSaveState(file.c_str()));
    EXPECT_EQ("crash\r\nAdditional crash information from Tessellar:\r\n"
              "Additional crash information from Tessellar:\r\n",
              temp.Read("report.txt"));
    EXPECT_EQ(0, VTSSaveState(nullptr));
    EXPECT_EQ(0, VTSSaveState(""));
    EXPECT_EQ(0, VTSSaveState(temp.File("no such folder\\report.txt").c_str()));
    EXPECT_FALSE(FileExistsOnDisk(temp.File("no such folder")));
}

// ---- relay ----------------------------------------------------------------------------

namespace {

std::vector<int> g_relay_order;
HWND g_closes_itself = nullptr;

LRESULT CALLBACK RelayBarProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER + 77) {
        g_relay_order.push_back(static_cast<int>(GetWindowLongPtrA(wnd, GWLP_USERDATA)));
        if (wnd == g_closes_itself) {
            RemoveBarWindow(nullptr, wnd);
            DestroyWindow(wnd);
        }
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

TEST(Relay, ReachesEveryBarInRegistrationOrderEvenWhenOneCloses) {
    std::vector<HWND> bars;
    for (int i = 0; i < 4; ++i) {
        HWND w = testing_support::CreatePlainWindow("ShellRelayTestBar", RelayBarProc);
        SetWindowLongPtrA(w, GWLP_USERDATA, i + 1);
        // Bars carry their object in "lpMenuObject"; one without is skipped.
        if (i != 2) SetPropA(w, "lpMenuObject", reinterpret_cast<HANDLE>(0x1000 + i));
        bars.push_back(w);
    }
    // Registered in another order than created.
    for (int i : {3, 0, 2, 1}) ASSERT_TRUE(AddBarWindow(nullptr, bars[i]));
    g_relay_order.clear();
    g_closes_itself = bars[0];
    RelayToBars(WM_USER + 77, 0, 0);
    EXPECT_EQ((std::vector<int>{4, 1, 2}), g_relay_order);
    EXPECT_FALSE(IsWindow(bars[0]));
    g_relay_order.clear();
    g_closes_itself = nullptr;
    RelayToBars(WM_USER + 77, 0, 0);
    EXPECT_EQ((std::vector<int>{4, 2}), g_relay_order);
    for (HWND w : bars) {
        if (!IsWindow(w)) continue;
        RemovePropA(w, "lpMenuObject");
        RemoveBarWindow(nullptr, w);
        DestroyWindow(w);
    }
    UnregisterClassA("ShellRelayTestBar", GetModuleHandleA(nullptr));
}
