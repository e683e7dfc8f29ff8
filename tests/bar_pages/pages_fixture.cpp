#include "pages_fixture.h"

#include <commctrl.h>
#include <cstdio>
#include "model/bar_host.h"
#include "shell/startup.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace pages_test {

namespace {

HWND MainWindow() {
    static HWND main = [] {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        return testing_support::CreateStandInMainWindow("Tessellar Pages Test Main",
                                                        testing_support::ShellMainWindowProc);
    }();
    return main;
}

const char kSkin[] = "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\n"
                     "NumberOfSectionStyles=2\r\n[SectionSkin_2]\r\nSectionType=Second\r\n";
const char kOtherSkin[] = "[General]\r\nSkinName=Other\r\nItemHeight=20\r\nEdgeBuffer=2\r\n";

}  // namespace

void PagesTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    InstallBarHostServices();
    ASSERT_TRUE(root_.MakeFolder("skins"));
    ASSERT_TRUE(root_.MakeFolder("bars"));
    ASSERT_TRUE(root_.Write("skins\\plain.tsskin", kSkin));
    ASSERT_TRUE(root_.Write("skins\\other.tsskin", kOtherSkin));
    skin_ = root_.File("skins\\plain.tsskin");
    other_skin_ = root_.File("skins\\other.tsskin");
    host_ = testing_support::CreatePageHost(300, 300, 500, 500);
    ASSERT_NE(nullptr, host_);
}

void PagesTest::TearDown() {
    testing_support::CloseEveryTestBar();
    if (host_) DestroyWindow(host_);
    GetBarHostServices() = BarHostServices{};
}

std::string PagesTest::WriteBar(const std::string& name, const std::string& title,
                                const std::vector<std::string>& object_lines,
                                const std::vector<std::string>& section_lines) {
    char head[1024];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=%s\r\nLastSkin=%s\r\nLastScreenSize.cx=%d\r\n"
                  "LastScreenSize.cy=%d\r\nLastPos.x=40\r\nLastPos.y=40\r\nLastSize.cx=300\r\n"
                  "LastSize.cy=30\r\nAlwaysOnTop=0\r\nbRestrictMaximumSize=0\r\n",
                  title.c_str(), skin_.c_str(), GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN));
    std::string text = head;
    for (const std::string& line : object_lines) text += line + "\r\n";
    for (const std::string& line : section_lines) text += line + "\r\n";
    const std::string path = root_.File("bars\\" + name);
    EXPECT_TRUE(testing_support::WriteFileBytes(path, text)) << path;
    return path;
}

CVellumMenuObject* PagesTest::LoadBar(const std::string& path) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr);
    testing_support::PumpUntil([&] { return IsWindowVisible(bar->m_hWnd) != FALSE; }, 3000);
    return bar;
}

CVellumMenuObject* PagesTest::Bar(const std::string& title, const std::vector<std::string>& object_lines,
                                  const std::vector<std::string>& section_lines) {
    static int count = 0;
    return LoadBar(WriteBar("bar" + std::to_string(++count) + ".tsbar", title, object_lines,
                            section_lines));
}

std::string PagesTest::Saved(CVellumMenuObject* bar, const char* section, const char* key,
                             const char* absent) {
    EXPECT_NE(0, bar->Save(bar->m_barFile));
    char value[4096] = "";
    GetPrivateProfileStringA(section, key, absent, value, sizeof(value), bar->m_barFile);
    return value;
}

void PagesTest::Click(HWND page, int id, bool checked) {
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void PagesTest::Choose(HWND page, int id, int row) {
    SendDlgItemMessageA(page, id, CB_SETCURSEL, row, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

// Setting an edit's text sends its EN_UPDATE to the page.
void PagesTest::Type(HWND page, int id, const char* text) { SetDlgItemTextA(page, id, text); }

void PagesTest::Notify(HWND page, int id, int code) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

std::string PagesTest::TextOf(HWND page, int id) {
    char text[4096] = "";
    GetDlgItemTextA(page, id, text, sizeof(text));
    return text;
}

bool PagesTest::IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

bool PagesTest::IsEnabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

int PagesTest::Row(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
}

}  // namespace pages_test
