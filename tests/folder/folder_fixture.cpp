#include "tests/folder/folder_fixture.h"

#include <cstdio>

#include "model/live_objects.h"
#include "shell/main_window_internal.h"
#include "shell/stats_monitor.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace folder_test {

namespace {

const char kPlainSkin[] =
    "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n";

// As the program's main window: the stats monitor first, then the program's
// own handling of registered messages, then every bar.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_USER) {
        StatsMonitorHandleMessage(msg, wp, lp);
        if (msg >= 0xC000) {
            LRESULT result = 0;
            MessageOutcome outcome = HandleRegisteredMessage(wnd, msg, wp, lp, &result);
            if (outcome == MessageOutcome::Return) return result;
            if (outcome == MessageOutcome::End) return 0;
        }
        testing_support::RelayToEveryBar(msg, wp, lp);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = [] {
        HWND main = testing_support::CreateStandInMainWindow("Tessellar Main", MainProc);
        SetWindowTextA(main, "Tessellar");
        CreateStatsMonitor(main);
        return main;
    }();
    return wnd;
}

std::string Bare(const std::string& title) {
    const size_t dot = title.rfind('.');
    return dot == std::string::npos ? title : title.substr(0, dot);
}

std::string NoSlash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

std::string ReadOrder(const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMenuOrderKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    char text[4096] = "";
    DWORD size = sizeof(text) - 1, type = 0;
    LONG r = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? std::string(text) : std::string();
}

void WriteOrder(const std::string& name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kMenuOrderKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

void FolderTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    ASSERT_NE(nullptr, GetStatsMonitor());
    ASSERT_TRUE(files_.Write("plain.tsskin", kPlainSkin));
    testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kMenuOrderKey);
}

void FolderTest::TearDown() {
    testing_support::CloseEveryTestBar();
    PumpFor(20);
    testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kMenuOrderKey);
}

CVellumMenuObject* FolderTest::LoadBar(const std::string& sections, const std::string& given, int height) {
    char head[1024];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=Folder Bar %d\r\nLastSkin=%s\r\nDisplayVertically=1\r\n"
                  "LastScreenSize.cx=%d\r\nLastScreenSize.cy=%d\r\nLastPos.x=40\r\nLastPos.y=40\r\n"
                  "LastSize.cx=180\r\nLastSize.cy=%d\r\nAlwaysOnTop=0\r\n",
                  bar_count_, files_.File("plain.tsskin").c_str(), GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN), height);
    const std::string name = given.empty() ? "bar" + std::to_string(bar_count_++) + ".tsbar" : given;
    EXPECT_TRUE(files_.Write(name, head + sections));
    auto* bar = new CVellumMenuObject(MainWindow());
    std::string path = files_.File(name);
    EXPECT_EQ(1, bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr));
    EXPECT_TRUE(Wait([&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); }));
    return bar;
}

CVellumMenuObject* FolderTest::Reload(const std::string& name) {
    auto* bar = new CVellumMenuObject(MainWindow());
    std::string path = files_.File(name);
    EXPECT_EQ(1, bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr));
    EXPECT_TRUE(Wait([&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); }));
    return bar;
}

void FolderTest::CloseBar(CVellumMenuObject* bar) {
    testing_support::CloseTestBar(bar, true);
    PumpFor(20);
}

std::vector<std::string> Titles(CVellumMenuSection* section) {
    std::vector<std::string> out;
    for (int i = 0; section && i < kMaxItems && section->m_items[i]; ++i)
        out.push_back(section->m_items[i]->m_title ? section->m_items[i]->m_title : "");
    return out;
}

std::vector<std::string> BareTitles(CVellumMenuSection* section) {
    std::vector<std::string> out;
    for (const std::string& t : Titles(section)) out.push_back(Bare(t));
    return out;
}

CVellumMenuSection_Folder* FolderTest::FolderOf(CVellumMenuObject* bar, int index) {
    if (!bar || !IsLiveBar(bar) || bar->GetSectionCount() <= index) return nullptr;
    return dynamic_cast<CVellumMenuSection_Folder*>(bar->m_sections[index]);
}

bool FolderTest::Wait(const std::function<bool()>& cond, DWORD ms) { return PumpUntil(cond, ms); }

std::string FolderTest::MakeTree(const std::string& root, const std::vector<std::string>& names) {
    files_.MakeFolder(root);
    for (const std::string& name : names) {
        if (name.back() == '\\')
            files_.MakeFolder(root + "\\" + name.substr(0, name.size() - 1));
        else
            files_.Write(root + "\\" + name, "x");
    }
    return files_.File(root);
}

}  // namespace folder_test
