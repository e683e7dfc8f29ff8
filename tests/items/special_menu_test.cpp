// Special menu items on real bars: the programs menu merged from the user's
// and the common Programs folders of the prefix, the running-applications
// list with the item's own bar, the type chosen on page 120, and a type this
// program does not know. Menus are tracked from the bar window in the test
// process, as an item's own popup menu is, and closed from a timer with
// WM_CANCELMODE.
#include <shlobj.h>
#include <functional>
#include <string>
#include <vector>
#include "item_fixture.h"
#include "model/live_objects.h"
#include "types/special_menu_item.h"
#include "types/special_menu_resources.h"
#include "util/icon_menu.h"
#include "util/shortcut_files.h"

using namespace item_test;

namespace {

std::function<void()> g_inside;
bool g_inside_ran = false;

HWND OpenMenuWindow() { return FindWindowA("#32768", nullptr); }

void CALLBACK WhileMenuOpen(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu_window = OpenMenuWindow();
    if (!menu_window || !IsWindowVisible(menu_window)) return;
    KillTimer(nullptr, id);
    if (g_inside) g_inside();
    g_inside_ran = true;
    // Closes the menu as any window's cancel does.
    HWND owner = GetCapture();
    SendMessageA(owner ? owner : menu_window, WM_CANCELMODE, 0, 0);
    EndMenu();
}

std::vector<std::string> EntryTexts(HMENU menu) {
    std::vector<std::string> texts;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[300] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

int PositionOf(HMENU menu, const std::string& text) {
    std::vector<std::string> texts = EntryTexts(menu);
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) return static_cast<int>(i);
    return -1;
}

int CountOf(const std::vector<std::string>& texts, const std::string& text) {
    int n = 0;
    for (const std::string& t : texts) n += t == text ? 1 : 0;
    return n;
}

std::string FolderPath(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return path;
}

bool MakeShortcut(const std::string& link) {
    ShortcutInfo info = {};
    GetSystemDirectoryA(info.target, MAX_PATH);
    lstrcatA(info.target, "\\notepad.exe");
    return SUCCEEDED(CreateShortcut(link.c_str(), info));
}

LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(wnd, msg, wp, lp);
}

class SpecialMenuTest : public ItemTest {
protected:
    void TearDown() override {
        for (HWND w : windows_) DestroyWindow(w);
        if (parent_) DestroyWindow(parent_);
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) testing_support::RemoveTree(*it);
        ItemTest::TearDown();
    }

    CVellumMenuItem_SpecialMenu* LoadSpecialMenu(const char* type, const char* barTitle = "Menus") {
        RECT r = {100, 400, 400, 426};
        bar_ = LoadBar(WriteBar("special.tsbar", barTitle, r, false,
                                {"[Section1]", "Item1.Type=SpecialMenu", "Item1.Title=Programs",
                                 std::string("Item1.Menu.Type=") + type}));
        auto* item = dynamic_cast<CVellumMenuItem_SpecialMenu*>(Item(bar_));
        EXPECT_NE(nullptr, item);
        return item;
    }

    // The item's menu tracked below it from its bar window, between InitMenu
    // and UnInitMenu while the bar tracks the item; inside runs while it is
    // open. False when the item offers no menu.
    bool TrackItemMenu(CVellumMenuItem* item, const std::function<void()>& inside) {
        HMENU menu = item->GetPopupMenu();
        if (!menu) return false;
        RECT r = ItemScreenRect(item);
        g_inside = inside;
        g_inside_ran = false;
        SetTimer(nullptr, 0, 50, WhileMenuOpen);
        bar_->StartTracking(item, 1);
        item->InitMenu(menu);
        TrackPopupMenu(menu, TPM_LEFTBUTTON, r.left, r.bottom, 0, bar_->m_hWnd, nullptr);
        item->UnInitMenu(menu);
        bar_->EndTracking(item);
        g_inside = nullptr;
        return g_inside_ran;
    }

    HWND TopWindow(const char* title) {
        static ATOM registered = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = PlainProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "Special Menu Test Window";
            return RegisterClassA(&wc);
        }();
        (void)registered;
        HWND w = CreateWindowExA(0, "Special Menu Test Window", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 10, 10, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(w);
        return w;
    }

    std::string Made(const std::string& path) {
        made_.push_back(path);
        return path;
    }

    CVellumMenuObject* bar_ = nullptr;
    HWND parent_ = nullptr;
    std::vector<HWND> windows_;
    std::vector<std::string> made_;
};

TEST_F(SpecialMenuTest, ProgramsMenuMergesTheUserAndCommonFolders) {
    const std::string user = FolderPath(CSIDL_PROGRAMS);
    const std::string common = FolderPath(CSIDL_COMMON_PROGRAMS);
    ASSERT_FALSE(user.empty());
    ASSERT_FALSE(common.empty());
    ASSERT_NE(user, common);
    ASSERT_TRUE(MakeShortcut(Made(user + "\\Tess Alpha.lnk")));
    ASSERT_TRUE(MakeShortcut(Made(common + "\\Tess Beta.lnk")));
    ASSERT_TRUE(CreateDirectoryA(Made(user + "\\Tess Folder").c_str(), nullptr));
    ASSERT_TRUE(MakeShortcut(Made(user + "\\Tess Folder\\Tess Inner.lnk")));
    ASSERT_TRUE(CreateDirectoryA(Made(common + "\\Tess Folder").c_str(), nullptr));
    ASSERT_TRUE(MakeShortcut(Made(common + "\\Tess Folder\\Tess Common Inner.lnk")));
    ASSERT_TRUE(CreateDirectoryA(Made(common + "\\Tess Empty").c_str(), nullptr));

    CVellumMenuItem_SpecialMenu* item = LoadSpecialMenu("0");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(1, item->IsPopup());
    std::vector<std::string> top, folder_before, folder_after, empty_after;
    bool opened = TrackItemMenu(item, [&] {
        HMENU menu = item->m_provider->GetMenu();
        top = EntryTexts(menu);
        int folder = PositionOf(menu, "Tess Folder");
        int empty = PositionOf(menu, "Tess Empty");
        if (folder < 0 || empty < 0) return;
        HMENU folder_menu = GetSubMenu(menu, folder);
        HMENU empty_menu = GetSubMenu(menu, empty);
        folder_before = EntryTexts(folder_menu);
        // What the menu sends its owner as the submenus open.
        SendMessageA(bar_->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(folder_menu), folder);
        SendMessageA(bar_->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(empty_menu), empty);
        folder_after = EntryTexts(folder_menu);
        empty_after = EntryTexts(empty_menu);
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(1, CountOf(top, "Tess Alpha"));
    EXPECT_EQ(1, CountOf(top, "Tess Beta"));
    EXPECT_EQ(1, CountOf(top, "Tess Folder"));   // the two folders as one
    EXPECT_EQ(1, CountOf(top, "Tess Empty"));
    EXPECT_TRUE(folder_before.empty());
    EXPECT_EQ(1, CountOf(folder_after, "Tess Inner"));
    EXPECT_EQ(1, CountOf(folder_after, "Tess Common Inner"));
    EXPECT_EQ(std::vector<std::string>{"(Empty)"}, empty_after);
    EXPECT_FALSE(item->m_menuOpen);
}

TEST_F(SpecialMenuTest, RunningApplicationsListTheWindowsAndTheBarInTitleOrder) {
    HWND charlie = TopWindow("Charlie");
    TopWindow("Alpha");
    TopWindow("Bravo");
    CVellumMenuItem_SpecialMenu* item = LoadSpecialMenu("1", "Bravo Bar");
    ASSERT_NE(nullptr, item);
    std::vector<std::string> entries;
    ASSERT_TRUE(TrackItemMenu(item, [&] { entries = EntryTexts(item->m_provider->GetMenu()); }));
    ASSERT_GT(entries.size(), 4u);
    EXPECT_EQ("Hide Others", entries[1]);
    EXPECT_EQ("Show All", entries[2]);
    EXPECT_EQ("", entries[3]);   // the separator
    std::vector<std::string> ours;
    for (size_t i = 4; i < entries.size(); ++i) {
        if (i > 4) {
            EXPECT_LE(lstrcmpiA(entries[i - 1].c_str(), entries[i].c_str()), 0) << entries[i];
        }
        for (const char* t : {"Alpha", "Bravo", "Bravo Bar", "Charlie"})
            if (entries[i] == t) ours.push_back(t);
    }
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Bravo", "Bravo Bar", "Charlie"}), ours);

    // A chosen window comes to the front: the command reaches the provider.
    HMENU menu = item->m_provider->GetMenu();
    int position = PositionOf(menu, "Charlie");
    ASSERT_GE(position, 0);
    UINT id = GetMenuItemID(menu, position);
    SetForegroundWindow(windows_[1]);
    SendMessageA(bar_->m_hWnd, WM_COMMAND, id, 0);
    EXPECT_EQ(charlie, GetForegroundWindow());
}

TEST_F(SpecialMenuTest, ATypeChosenOnThePageOpensNextAndIsSaved) {
    CVellumMenuItem_SpecialMenu* item = LoadSpecialMenu("0");
    ASSERT_NE(nullptr, item);
    parent_ = testing_support::CreatePlainWindow("Special Menu Page Parent");
    HWND page = item->CallConfigDialogEx(parent_);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, item->CallConfigDialogEx(parent_));
    HWND combo = GetDlgItem(page, IDC_SPECIAL_MENU_TYPE);
    EXPECT_EQ(2, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    char chosen[64] = "";
    GetWindowTextA(GetDlgItem(page, IDC_SPECIAL_MENU_BEHAVIOR), chosen, sizeof(chosen));
    EXPECT_STREQ("Special Menu", chosen);
    char name[64] = "";
    EXPECT_EQ(1, item->GetCustomItemName(name));
    EXPECT_STREQ("Special Menu", name);
    HICON icon = item->GetCustomIcon();
    EXPECT_NE(nullptr, icon);
    if (icon) DestroyIcon(icon);

    bar_->m_modified = FALSE;
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_SPECIAL_MENU_TYPE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(kRunningApplicationsList, item->MenuType);
    EXPECT_TRUE(bar_->m_modified);
    std::vector<std::string> entries;
    ASSERT_TRUE(TrackItemMenu(item, [&] { entries = EntryTexts(item->m_provider->GetMenu()); }));
    ASSERT_GT(entries.size(), 3u);
    EXPECT_EQ("Show All", entries[2]);

    std::string saved = Save(bar_, "typed.tsbar");
    EXPECT_EQ("1", ReadKey(saved, "Section1", "Item1.Menu.Type"));
    EXPECT_EQ("SpecialMenu", ReadKey(saved, "Section1", "Item1.Type"));
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, item->m_page);
}

TEST_F(SpecialMenuTest, AnUnknownTypeOpensNothingAndIsSavedUnchanged) {
    CVellumMenuItem_SpecialMenu* item = LoadSpecialMenu("7");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(nullptr, item->m_provider);
    EXPECT_EQ(nullptr, item->GetPopupMenu());
    EXPECT_EQ(0, item->IsPopup());

    // A click opens no menu; menu messages meet no provider.
    bool menu_seen = false;
    Click(item);
    testing_support::PumpUntil([&] { return (menu_seen = OpenMenuWindow() && IsWindowVisible(OpenMenuWindow())); },
                               200);
    EXPECT_FALSE(menu_seen);
    ASSERT_TRUE(IsLiveItem(item));
    item->OnClick();
    item->InitMenu(nullptr);
    EXPECT_FALSE(item->m_menuOpen);
    item->UnInitMenu(nullptr);
    HMENU stray = CreatePopupMenu();
    item->ProcessMenuMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(stray), 0);
    item->ProcessMenuMessage(WM_COMMAND, 1, 0);
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, 1, 0, 0, 0};
    item->ProcessMenuMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    DestroyMenu(stray);

    parent_ = testing_support::CreatePlainWindow("Special Menu Page Parent");
    HWND page = item->CallConfigDialogEx(parent_);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(CB_ERR, SendDlgItemMessageA(page, IDC_SPECIAL_MENU_TYPE, CB_GETCURSEL, 0, 0));

    std::string saved = Save(bar_, "unknown.tsbar");
    EXPECT_EQ("7", ReadKey(saved, "Section1", "Item1.Menu.Type"));
    CVellumMenuItem* copy = item->Duplicate();
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(7, static_cast<CVellumMenuItem_SpecialMenu*>(copy)->MenuType);
    delete copy;
}

}  // namespace
