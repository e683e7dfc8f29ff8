// Sections that mirror the active window's menu, with windows of this
// process: the menu's titles in place of the section's own items, the menu
// messages a submenu brings its owner, the commands its entries post, the
// watcher count and page 152, the trimmed popup of a captured browser menu
// with its "Favorites", and pointer messages from another process.
#include "tests/folder/folder_fixture.h"

#include <fstream>
#include <thread>

#include "model/live_objects.h"
#include "shell/stats_monitor.h"
#include "tests/support/menu_owner.h"
#include "tests/support/stand_in_main_window.h"
#include "types/replaceable.h"
#include "types/replaceable_resources.h"

using namespace folder_test;
using testing_support::PumpFor;

namespace {

using Seen = testing_support::MenuMessage;
using testing_support::MenuOwnerLog;

class MirroringTest : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        MenuOwnerLog().clear();
        file_ = CreatePopupMenu();
        AppendMenuA(file_, MF_STRING, 101, "Open\bCtrl+O");
        AppendMenuA(file_, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file_, MF_STRING, 102, "Exit");
        edit_ = CreatePopupMenu();
        AppendMenuA(edit_, MF_STRING | MF_GRAYED, 201, "Copy");
        HMENU view = CreatePopupMenu();
        AppendMenuA(view, MF_STRING, 301, "Zoom");
        HMENU bar = CreateMenu();
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file_), "&File");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit_), "&Edit");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
        with_menu_ = testing_support::CreateMenuOwner("Window With Menu", bar, true);
        plain_ = testing_support::CreateMenuOwner("Window Without Menu", nullptr, true);
        ASSERT_TRUE(with_menu_ && plain_);
    }
    void TearDown() override {
        FolderTest::TearDown();
        for (HWND w : {with_menu_, plain_, captured_})
            if (w) DestroyWindow(w);
        PumpFor(20);
    }
    bool Activate(HWND wnd) {
        SetForegroundWindow(wnd);
        return Wait([&] { return GetStatsMonitor() && GetStatsMonitor()->m_foreground == wnd; });
    }
    CVellumMenuSection_Replaceable* Mirror(CVellumMenuObject* bar, int index = 0) {
        return bar && IsLiveBar(bar) ? dynamic_cast<CVellumMenuSection_Replaceable*>(bar->m_sections[index])
                                     : nullptr;
    }
    CVellumMenuObject* LoadMirrorBar(const std::string& name = "") {
        return LoadBar("[Section1]\r\nProperties.Type=Replacable\r\nItem1.Title=Own One\r\nItem2.Title=Own Two\r\n",
                       name);
    }

    HMENU file_ = nullptr, edit_ = nullptr;
    HWND with_menu_ = nullptr, plain_ = nullptr, captured_ = nullptr;
};

const std::vector<std::string> kOwn = {"Own One", "Own Two"};
const std::vector<std::string> kMenu = {"&File", "&Edit", "&View"};

}  // namespace

// The active window's menu titles stand in for the own items, which come
// back with a window without menu; a save keeps only the own items.
TEST_F(MirroringTest, ActiveWindowsMenuReplacesTheOwnItems) {
    Activate(plain_);
    CVellumMenuObject* bar = LoadMirrorBar("mirror.tsbar");
    CVellumMenuSection_Replaceable* section = Mirror(bar);
    ASSERT_NE(nullptr, section);
    EXPECT_TRUE(section->m_replaceable);
    EXPECT_EQ(kOwn, Titles(section));

    ASSERT_TRUE(Activate(with_menu_));
    ASSERT_TRUE(Wait([&] { return Titles(section) == kMenu; })) << Titles(section).size();
    const int letters[] = {'F', 'E', 'V'};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(letters[i], section->m_items[i]->m_mnemonic);
    EXPECT_EQ(0, section->AllowEnumItems()) << "the editor lists no mirrored entries";

    const std::string path = files_.File("mirror.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(path.c_str())));
    auto key = [&](const char* name) {
        char value[100] = "";
        GetPrivateProfileStringA("Section1", name, "<none>", value, sizeof(value), path.c_str());
        return std::string(value);
    };
    EXPECT_EQ("Replacable", key("Properties.Type"));
    EXPECT_EQ("Own One", key("Item1.Title"));
    EXPECT_EQ("Own Two", key("Item2.Title"));
    EXPECT_EQ("<none>", key("Item3.Title"));

    ASSERT_TRUE(Activate(plain_));
    EXPECT_TRUE(Wait([&] { return Titles(section) == kOwn; }));
}

// A submenu is announced to its owner as a real menu would, shows its
// entries, and its entries post their commands; a grayed one does nothing.
TEST_F(MirroringTest, SubmenuTellsTheOwnerAndItsEntriesPostCommands) {
    CVellumMenuObject* bar = LoadMirrorBar();
    CVellumMenuSection_Replaceable* section = Mirror(bar);
    ASSERT_TRUE(Activate(with_menu_));
    ASSERT_TRUE(Wait([&] { return Titles(section) == kMenu; }));
    MenuOwnerLog().clear();
    auto* file = dynamic_cast<CVellumMenuItem_Replaceable*>(section->m_items[0]);
    ASSERT_NE(nullptr, file);
    file->TrackPopupMenu(0);
    const UINT expected[] = {WM_ENTERMENULOOP, WM_INITMENU, WM_MENUSELECT, WM_INITMENU, WM_MENUSELECT,
                             WM_INITMENUPOPUP};
    ASSERT_LE(6u, MenuOwnerLog().size());
    for (int i = 0; i < 6; ++i) EXPECT_EQ(expected[i], MenuOwnerLog()[i].msg) << i;
    EXPECT_EQ(reinterpret_cast<WPARAM>(file_), MenuOwnerLog()[5].wp);

    CVellumMenuObject* popup = file->m_childBar;
    ASSERT_TRUE(popup && IsLiveBar(popup));
    CVellumMenuSection* entries = popup->m_sections[0];
    EXPECT_EQ((std::vector<std::string>{"Open\tCtrl+O", "", "Exit"}), Titles(entries));
    EXPECT_TRUE(entries->m_items[1]->Separator);
    MenuOwnerLog().clear();
    entries->m_items[0]->OnClick();
    ASSERT_TRUE(Wait([] { return !MenuOwnerLog().empty(); }, 1000));
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), MenuOwnerLog()[0].msg);
    EXPECT_EQ(101u, LOWORD(MenuOwnerLog()[0].wp));

    ASSERT_TRUE(Activate(with_menu_));
    PumpFor(900);
    auto* edit = dynamic_cast<CVellumMenuItem_Replaceable*>(section->m_items[1]);
    ASSERT_NE(nullptr, edit);
    edit->TrackPopupMenu(0);
    ASSERT_TRUE(edit->m_childBar && IsLiveBar(edit->m_childBar));
    CVellumMenuItem* copy = edit->m_childBar->m_sections[0]->m_items[0];
    EXPECT_TRUE(copy->m_disabled);
    MenuOwnerLog().clear();
    copy->OnClick();
    PumpFor(200);
    for (const Seen& s : MenuOwnerLog()) EXPECT_NE(static_cast<UINT>(WM_COMMAND), s.msg) << "Copy is inert";
}

// Every mirroring section is a watcher; switching one off on its page keeps
// the capture on for the other and marks the bar modified.
TEST_F(MirroringTest, TwoSectionsWatchAndThePageSwitchesOneOff) {
    const int start = GetMenuWatcherCount();
    CVellumMenuObject* bar = LoadBar(
        "[Section1]\r\nProperties.Type=Replacable\r\nItem1.Title=A\r\n[Section2]\r\nProperties.Type=Replacable\r\n"
        "Item1.Title=B\r\n[Section3]\r\nItem1.Title=Plain\r\n");
    ASSERT_EQ(start + 2, GetMenuWatcherCount());
    CVellumMenuSection_Replaceable* plain = Mirror(bar, 2);
    ASSERT_NE(nullptr, plain) << "a default section is the same class";
    EXPECT_FALSE(plain->m_replaceable);
    char name[32] = "";
    plain->GetCustomSectionName(name);
    EXPECT_STREQ("Default", name);

    CVellumMenuSection_Replaceable* first = Mirror(bar, 0);
    HWND page = first->CallConfigDialogEx(MainWindow());
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(page, IDC_REPLACEABLE_ON));
    bar->m_modified = FALSE;
    SendMessageA(GetDlgItem(page, IDC_REPLACEABLE_ON), BM_CLICK, 0, 0);
    EXPECT_FALSE(first->m_replaceable);
    EXPECT_EQ(start + 1, GetMenuWatcherCount()) << "capture stays on for the other";
    EXPECT_TRUE(bar->m_modified);
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(page));
    CloseBar(bar);
    EXPECT_EQ(start, GetMenuWatcherCount());
}

// A captured browser menu: the popup of a four-entry submenu shows three
// and the user's favourites below, and the window's own menu keeps four.
TEST_F(MirroringTest, CapturedSubmenuIsTrimmedInThePopupOnly) {
    HMENU favorites = CreatePopupMenu();
    for (int i = 0; i < 4; ++i) AppendMenuA(favorites, MF_STRING, 400 + i, ("Fav " + std::to_string(i)).c_str());
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(favorites), "F&avorites");
    AppendMenuA(menu, MF_STRING, 500, "&Help");
    captured_ = testing_support::CreateMenuOwner("Captured Browser", nullptr, true);
    SetPropA(captured_, "MicrosoftMenu-", menu);
    CVellumMenuObject* bar = LoadMirrorBar();
    CVellumMenuSection_Replaceable* section = Mirror(bar);
    ASSERT_TRUE(Activate(captured_));
    ASSERT_TRUE(Wait([&] { return Titles(section) == std::vector<std::string>{"F&avorites", "&Help"}; }));
    ASSERT_TRUE(GetStatsMonitor()->m_captured);
    auto* item = dynamic_cast<CVellumMenuItem_Replaceable*>(section->m_items[0]);
    item->TrackPopupMenu(0);
    CVellumMenuObject* popup = item->m_childBar;
    ASSERT_TRUE(popup && IsLiveBar(popup));
    EXPECT_EQ((std::vector<std::string>{"Fav 0", "Fav 1", "Fav 2"}), Titles(popup->m_sections[0]));
    ASSERT_EQ(2, popup->GetSectionCount());
    CVellumMenuSection_Folder* folder = FolderOf(popup, 1);
    ASSERT_NE(nullptr, folder);
    EXPECT_STREQ("Favorites", folder->Folder);
    EXPECT_EQ(4, GetMenuItemCount(favorites)) << "the window's own menu is untouched";
    RemovePropA(captured_, "MicrosoftMenu-");
    DestroyMenu(menu);
}

// The four messages that carry pointers, posted from another process with
// pointers of its own, change nothing and harm nothing.
TEST_F(MirroringTest, PointerMessagesFromAnotherProcessChangeNothing) {
    const std::string root = MakeTree("guarded", {"a.txt", "b.txt", "c.txt"});
    CVellumMenuObject* bar = LoadBar("[Section1]\r\nProperties.Type=Folder\r\nFolder=" + root + "\r\n");
    CVellumMenuSection_Folder* section = FolderOf(bar);
    ASSERT_NE(nullptr, section);
    const std::vector<std::string> before = Titles(section);
    std::string lines;
    for (const char* name : {"FolderMFU List - BlockCopies", "FolderAdv - Update Sorting",
                             "FolderAdv - GetWriteOrderLen", "FolderAdv - WriteOrderdata"})
        for (const char* pointers : {" 10000 20000", " 7ffe0000 7ffe0000", " 0 1"}) lines += std::string(name) + pointers + "\n";
    ASSERT_TRUE(files_.Write("messages.txt", lines));
    for (HWND target : {MainWindow(), bar->m_hWnd}) {
        testing_support::ChildProcess sender;
        char args[600];
        snprintf(args, sizeof(args), "%lu \"%s\" \"%s\"",
                 static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(target)), files_.File("messages.txt").c_str(),
                 files_.File("results.txt").c_str());
        ASSERT_TRUE(sender.Start("input_message_sender.exe", args));
        ASSERT_TRUE(Wait([&] { return !sender.Running(); }, 20000));
    }
    EXPECT_TRUE(IsLiveBar(bar));
    EXPECT_EQ(before, Titles(section));
    for (int i = 0; i < section->GetNumOfItems(); ++i) {
        auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[i]);
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(-1, entry->m_orderPosition);
    }
    EXPECT_EQ("", ReadOrder(NoSlash(root)));
}

// A menu command that reaches a mirroring section goes to the application
// as WM_COMMAND; only a section of system commands sends WM_SYSCOMMAND.
TEST_F(MirroringTest, MenuCommandsReachTheOwnerAsItsMenuWouldSendThem) {
    CVellumMenuObject* bar = LoadMirrorBar();
    CVellumMenuSection_Replaceable* section = Mirror(bar);
    ASSERT_TRUE(Activate(with_menu_));
    ASSERT_TRUE(Wait([&] { return Titles(section) == kMenu; }));
    const struct {
        BOOL system;
        UINT expected;
    } cases[] = {{FALSE, WM_COMMAND}, {TRUE, WM_SYSCOMMAND}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.system);
        section->m_systemCommands = c.system;
        bar->m_tracking.last_pressed_item = section->m_items[0];
        MenuOwnerLog().clear();
        section->ProcessMenuMessage(WM_COMMAND, 101, 0);
        bar->m_tracking.last_pressed_item = nullptr;
        ASSERT_EQ(1u, MenuOwnerLog().size());
        EXPECT_EQ(c.expected, MenuOwnerLog()[0].msg);
        EXPECT_EQ(101u, MenuOwnerLog()[0].wp);
    }
}

// A window that asks whether a mirroring section is present gets the answer
// and the bar to bring forward, and one that does not answer is not waited
// for beyond two seconds.
TEST_F(MirroringTest, PresenceEchoIsAnsweredAndBounded) {
    CVellumMenuObject* bar = LoadMirrorBar();
    CVellumMenuSection_Replaceable* section = Mirror(bar);
    ASSERT_TRUE(Activate(with_menu_));
    ASSERT_TRUE(Wait([&] { return Titles(section) == kMenu; }));
    const UINT is_present = RegisterWindowMessageA("Replacable - IS present");

    // A window on a thread that never pumps its messages.
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND hung = nullptr;
    std::thread thread([&] {
        hung = CreateWindowExA(0, "STATIC", "hung", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        WaitForSingleObject(release, 10000);
        DestroyWindow(hung);
    });
    ASSERT_TRUE(Wait([&] { return hung != nullptr; }, 2000));
    const DWORD start = GetTickCount();
    section->ProcessUserMessage(is_present, reinterpret_cast<WPARAM>(hung), 0);
    const DWORD waited = GetTickCount() - start;
    EXPECT_LT(waited, 3000u);
    EXPECT_EQ(bar->m_hWnd, GetPropA(hung, "hwndSetToForeground"));
    SetEvent(release);
    thread.join();
    CloseHandle(release);
}

// The Alt key pressed in the mirrored window opens the first entry's popup,
// as it opens a menu bar; not for a captured menu (that window shows its own)
// nor while the section shows its own items.
TEST_F(MirroringTest, AltPressedInTheWindowOpensTheFirstEntry) {
    HMENU captured_menu = CreatePopupMenu();
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, 601, "About");
    AppendMenuA(captured_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    captured_ = testing_support::CreateMenuOwner("Captured Window", nullptr, true);
    SetPropA(captured_, "MicrosoftMenu-", captured_menu);
    const UINT alt_pressed = RegisterWindowMessageA("Replacable - Alt Pressed in Window");
    const struct {
        const char* name;
        HWND active;
        std::vector<std::string> titles;
        bool opens;
    } cases[] = {
        {"menu of the window", with_menu_, kMenu, true},
        {"captured menu", captured_, {"&Help"}, false},
        {"own items", plain_, kOwn, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PumpFor(900);   // past the guard against opening popups at once
        CVellumMenuObject* bar = LoadMirrorBar();
        CVellumMenuSection_Replaceable* section = Mirror(bar);
        ASSERT_NE(nullptr, section);
        ASSERT_TRUE(Activate(c.active));
        ASSERT_TRUE(Wait([&] { return Titles(section) == c.titles; })) << Titles(section).size();
        PostMessageA(bar->m_hWnd, alt_pressed, 0, 0);
        PumpFor(300);
        CVellumMenuObject* popup = section->m_items[0]->GetChildObject();
        EXPECT_EQ(c.opens, popup != nullptr && IsLiveBar(popup) && IsWindowVisible(popup->m_hWnd));
        if (c.opens && popup) {
            EXPECT_EQ((std::vector<std::string>{"Open\tCtrl+O", "", "Exit"}), Titles(popup->m_sections[0]));
        }
        EXPECT_EQ(c.titles, Titles(section)) << "the section's entries stay";
        CloseBar(bar);
    }
    RemovePropA(captured_, "MicrosoftMenu-");
    DestroyMenu(captured_menu);
}
