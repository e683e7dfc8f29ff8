// The real Tessellar.exe on fixture themes: loading from the browser (a
// style switch keeps the shared bars' windows, another theme loads in full,
// a bar as template), the About box command, and the program's end when
// the browser closes with no theme.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "shell/browser_resources.h"
#include "shell/theme_menus.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace testing_support;
using namespace theme_test;

namespace {

constexpr UINT kCmdBarBrowser = 40007;
constexpr UINT kCmdAbout = 40010;
constexpr UINT kCmdThemeBrowser = 40013;
constexpr UINT kCmdSaveTheme = 40015;

std::string ThemeWith(const std::string& name, const std::vector<std::string>& bars) {
    std::string text = "[Theme Info]\r\nName=" + name + "\r\nTSVersion=150\r\nAutoSaveOption=2\r\nScreenshotType=5\r\n[OpenBars]\r\n";
    for (size_t i = 0; i < bars.size(); ++i) text += "Bar" + std::to_string(i + 1) + "=Bars\\" + bars[i] + "\r\n";
    return text;
}

class BrowserProcess : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalDeleteAtom(GlobalFindAtomA("Tessellar Starting"));
        ASSERT_EQ(nullptr, FindWindowA("Tessellar Main", nullptr)) << "a Tessellar is running";
        DeleteFileA((ProgramFolder() + "Tessellar.ini").c_str());
    }
    void TearDown() override {
        StopTessellar(program_);
    }

    HWND Start(const std::string& theme) {
        return StartTessellar(program_, theme.empty() ? "" : "\"" + theme + "\"", nullptr);
    }

    HWND Dialog(const std::string& title) {
        HWND found = nullptr;
        PumpUntil([&] {
            for (HWND w : WindowsOfProcess(program_.Id(), "#32770", true)) {
                char text[256] = "";
                GetWindowTextA(w, text, sizeof(text));
                if (title == text) found = w;
            }
            return found != nullptr;
        }, 8000);
        return found;
    }

    size_t DialogCount(const std::string& title) {
        size_t n = 0;
        for (HWND w : WindowsOfProcess(program_.Id(), "#32770", true)) {
            char text[256] = "";
            GetWindowTextA(w, text, sizeof(text));
            if (title == text) ++n;
        }
        return n;
    }

    // Bar windows by title.
    std::map<std::string, HWND> Bars() {
        std::map<std::string, HWND> bars;
        for (HWND w : WindowsOfProcess(program_.Id(), "Tessellar Toolbar", false)) {
            char title[200] = "";
            GetWindowTextA(w, title, sizeof(title));
            bars[title] = w;
        }
        return bars;
    }

    // Selects a list position and presses a button, as the user would.
    void Choose(HWND browser, int list, int position, int button) {
        HWND box = GetDlgItem(browser, list);
        SendMessageA(box, LB_SETCURSEL, position, 0);
        PostMessageA(browser, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
        PostMessageA(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(browser, button)));
    }

    ProgramStateGuard state_;
    TrayStandIn tray_;
    ThemeRoot root_{"BrowserProcessThemes"};
    ChildProcess program_;
};

}  // namespace

TEST_F(BrowserProcess, ClosingTheBrowserWithNoThemeEndsTheProgram) {
    ASSERT_NE(nullptr, Start(""));
    HWND browser = Dialog("Tessellar - Theme Browser");   // the start-up's own
    ASSERT_NE(nullptr, browser);
    PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpUntil([&] { return !program_.Running(); }, 10000));
}

TEST_F(BrowserProcess, AboutCommandShowsOneBox) {
    root_.Write("Plain\\Bars\\one.tsbar", BarFile("One"));
    HWND main = Start(root_.Write("Plain\\Plain.tstheme", ThemeWith("Plain", {"one.tsbar"})));
    ASSERT_NE(nullptr, main);
    PostMessageA(main, WM_COMMAND, kCmdAbout, 0);
    HWND box = Dialog("About Tessellar");
    ASSERT_NE(nullptr, box);
    PostMessageA(main, WM_COMMAND, kCmdAbout, 0);
    PumpFor(300);
    EXPECT_EQ(1u, DialogCount("About Tessellar"));
    char build[32] = "";
    GetDlgItemTextA(box, IDC_ABOUT_BUILD, build, sizeof(build));
    EXPECT_STREQ("160", build);

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 5000));
    PostMessageA(main, WM_COMMAND, kCmdAbout, 0);
    HWND again = Dialog("About Tessellar");
    ASSERT_NE(nullptr, again);
    RECT r;
    GetWindowRect(again, &r);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, r.top);
}

TEST_F(BrowserProcess, LoadingAStyleAnotherThemeAndATemplate) {
    for (const char* bar : {"one", "two", "three"})
        root_.Write(std::string("Ocean\\Bars\\") + bar + ".tsbar", BarFile(std::string("Ocean ") + bar));
    const std::string ocean = root_.Write("Ocean\\Ocean.tstheme", ThemeWith("Ocean", {"one.tsbar", "two.tsbar"}));
    const std::string storm =
        root_.Write("Ocean\\Ocean Storm.tstheme", ThemeWith("Ocean Storm", {"one.tsbar", "three.tsbar"}));
    root_.Write("River\\Bars\\river.tsbar", BarFile("River"));
    const std::string river = root_.Write("River\\River.tstheme", ThemeWith("River", {"river.tsbar"}));
    HWND main = Start(ocean);
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(PumpUntil([&] { return Bars().size() == 2; }, 5000));
    const HWND one = Bars()["Ocean one"];
    ASSERT_NE(nullptr, one);

    // Another style of the current theme, from the recent themes.
    PushRecentThemes(storm.c_str(), nullptr);
    PostMessageA(main, WM_COMMAND, kCmdThemeBrowser, 0);
    HWND browser = Dialog("Tessellar - Theme Browser");
    ASSERT_NE(nullptr, browser);
    HWND view = GetDlgItem(browser, IDC_TB_TABS);
    PostMessageA(view, WM_KEYDOWN, VK_DOWN, 0);   // to the recent themes
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(browser, IDC_TB_RECENT)) != FALSE; }, 5000));
    Choose(browser, IDC_TB_RECENT, 0, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return Bars().count("Ocean three") == 1; }, 8000));
    PumpFor(300);
    std::map<std::string, HWND> bars = Bars();
    EXPECT_EQ(2u, bars.size());
    EXPECT_EQ(one, bars["Ocean one"]);   // kept its window: no reload
    EXPECT_EQ(0u, bars.count("Ocean two"));

    // A theme of another folder loads in full.
    PushRecentThemes(river.c_str(), nullptr);
    // The recent list is read again once the tab is filled anew: reopen.
    PostMessageA(main, WM_COMMAND, kCmdThemeBrowser, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(browser); }, 5000));
    browser = Dialog("Tessellar - Theme Browser");
    ASSERT_NE(nullptr, browser);
    view = GetDlgItem(browser, IDC_TB_TABS);
    PostMessageA(view, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(browser, IDC_TB_RECENT)) != FALSE; }, 5000));
    Choose(browser, IDC_TB_RECENT, 0, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return Bars().count("River") == 1 && Bars().size() == 1; }, 8000));

    // A bar of this theme as template: it shows, and its first save makes a
    // new file instead of writing the template.
    PostMessageA(main, WM_COMMAND, kCmdBarBrowser, 0);
    ASSERT_TRUE(PumpUntil([&] {
        browser = Dialog("Tessellar - Bar Browser");
        return browser && IsWindowVisible(GetDlgItem(browser, IDC_TB_LOAD_TEMPLATE));
    }, 8000));
    Choose(browser, IDC_TB_THEME_BARS, 0, IDC_TB_LOAD_TEMPLATE);
    ASSERT_TRUE(PumpUntil([&] { return WindowsOfProcess(program_.Id(), "Tessellar Toolbar", true).size() == 2; }, 8000));
    PostMessageA(main, WM_COMMAND, kCmdSaveTheme, 0);
    bool asked = false, new_file = false;
    PumpUntil([&] {
        for (HWND w : WindowsOfProcess(program_.Id(), "#32770", true)) {
            char text[256] = "";
            GetWindowTextA(w, text, sizeof(text));
            if (std::string(text).rfind("Save Bar", 0) == 0) {
                asked = true;
                PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            }
        }
        new_file = root_.Exists("River\\Bars\\River_1.tsbar");
        return asked || new_file;
    }, 8000);
    EXPECT_TRUE(asked || new_file);
}
