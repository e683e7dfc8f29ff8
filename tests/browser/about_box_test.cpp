// The About box in-process: one box at a time, centred, the build number
// from a module's version resource, the links' pages, colour and cursor.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "shell/about_box.h"
#include "shell/browser_resources.h"
#include "shell/theme_browser.h"
#include "shell/web_pages.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

std::vector<std::string> g_pages;
void RecordPage(const char* url) { g_pages.push_back(url); }

POINT CentreOf(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = WebPageOpenerFunction();
        WebPageOpenerFunction() = RecordPage;
        g_pages.clear();
    }
    void TearDown() override {
        if (HWND box = GetAboutBoxWindow()) DestroyWindow(box);
        WebPageOpenerFunction() = saved_;
    }
    AboutBoxInfo Info(HINSTANCE module = GetModuleHandleA(nullptr)) {
        return ProgramAboutBoxInfo(nullptr, module);
    }
    static void Ok(HWND box) { SendMessageA(box, WM_COMMAND, IDOK, 0); }
    WebPageOpener saved_ = nullptr;
};

}  // namespace

TEST_F(AboutBoxTest, OneBoxAtATimeCentredOnTheScreen) {
    EXPECT_EQ(0, ShowAboutBox(nullptr));
    const AboutBoxInfo info = Info();
    ASSERT_EQ(1, ShowAboutBox(&info));
    HWND first = GetAboutBoxWindow();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0, ShowAboutBox(&info));   // brought forward only
    EXPECT_EQ(first, GetAboutBoxWindow());
    EXPECT_EQ(first, FindWindowA("#32770", "About Tessellar"));
    Ok(first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(nullptr, GetAboutBoxWindow());

    // The record may live on the caller's stack: the box keeps a copy.
    {
        AboutBoxInfo on_stack = Info();
        ASSERT_EQ(1, ShowAboutBox(&on_stack));
        on_stack.link1_control = 0;
    }
    HWND second = GetAboutBoxWindow();
    ASSERT_NE(nullptr, second);
    RECT r;
    GetWindowRect(second, &r);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, r.top);
    // The caption's close button arrives as Cancel.
    SendMessageA(second, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(nullptr, GetAboutBoxWindow());
}

TEST_F(AboutBoxTest, BuildNumberFromTheModulesVersionResource) {
    struct Case {
        const char* module;   // null: the program itself
        const char* shown;
    };
    const Case cases[] = {
        {nullptr, "160"},               // "Build#160" of our own version resource
        {"about_build7.dll", "7"},
        {"about_r7.dll", "R7"},
        {"about_novalue.dll", "0"},     // no "SpecialBuild": the dialog's text
        {"about_noversion.dll", "0"},   // no version resource at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module ? c.module : "program");
        HMODULE module = c.module ? LoadLibraryA((BinFolder() + c.module).c_str()) : GetModuleHandleA(nullptr);
        ASSERT_NE(nullptr, module);
        const AboutBoxInfo info = Info(module);
        ASSERT_EQ(1, ShowAboutBox(&info));
        char text[64] = "";
        GetDlgItemTextA(GetAboutBoxWindow(), IDC_ABOUT_BUILD, text, sizeof(text));
        EXPECT_STREQ(c.shown, text);
        Ok(GetAboutBoxWindow());
        if (c.module) FreeLibrary(module);
    }
}

TEST_F(AboutBoxTest, LinksOpenTheirPagesAndPaintInBlue) {
    const AboutBoxInfo info = Info();
    ASSERT_EQ(1, ShowAboutBox(&info));
    HWND box = GetAboutBoxWindow();
    SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpFor(100);
    UpdateWindow(box);
    HWND link1 = GetDlgItem(box, IDC_ABOUT_LINK1);
    HWND link2 = GetDlgItem(box, IDC_ABOUT_LINK2);
    RECT r;
    GetWindowRect(link1, &r);
    int blue = 0;
    {
        ScreenCapture shot(r);
        ASSERT_TRUE(shot.Valid());
        for (int y = 0; y < shot.Height(); ++y)
            for (int x = 0; x < shot.Width(); ++x) {
                const COLORREF c = shot.Pixel(x, y);
                if (GetBValue(c) > 200 && GetRValue(c) < 60 && GetGValue(c) < 60) ++blue;
            }
    }
    EXPECT_GT(blue, 5);

    struct Case {
        HWND over;
        const char* page;   // null: nothing opens
    };
    const Case cases[] = {{link1, kAboutLink1Url}, {link2, kAboutLink2Url}, {GetDlgItem(box, IDC_ABOUT_BUILD), nullptr}};
    for (const Case& c : cases) {
        g_pages.clear();
        const POINT p = CentreOf(c.over);
        SetCursorPos(p.x, p.y);
        POINT client = p;
        ScreenToClient(box, &client);
        SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        if (c.page) {
            ASSERT_EQ(1u, g_pages.size());
            EXPECT_EQ(c.page, g_pages[0]);
        } else {
            EXPECT_TRUE(g_pages.empty());
        }
    }
    Ok(box);
}

TEST_F(AboutBoxTest, TheHandDoesNotOutliveTheBox) {
    const AboutBoxInfo info = Info();
    ASSERT_EQ(1, ShowAboutBox(&info));
    HWND box = GetAboutBoxWindow();
    const HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_ABOUT_HAND));
    ASSERT_NE(nullptr, hand);
    const POINT p = CentreOf(GetDlgItem(box, IDC_ABOUT_LINK1));
    SetCursorPos(p.x, p.y);
    SendMessageA(box, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(hand), GetClassLongPtrA(box, GCLP_HCURSOR));
    Ok(box);   // with the pointer still over the link

    // Every dialog of the process shares the class.
    ShowThemeStylesDialog();
    HWND other = GetThemeStylesWindow();
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(LoadCursorA(nullptr, IDC_ARROW)), GetClassLongPtrA(other, GCLP_HCURSOR));
    DestroyWindow(other);
    SetCursorPos(0, 0);
}
