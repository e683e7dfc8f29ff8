// Folder sections over real folders: what they list, the folder popups of
// shortcut items, the user's order in "MenuOrder" across refresh, restart and
// "Sort Folder by Name", and the keys they write to the bar file.
#include "tests/folder/folder_fixture.h"

#include <shlobj.h>

#include "model/live_objects.h"
#include "shell/type_services.h"
#include "skins/skin_record.h"
#include "tests/support/stand_in_main_window.h"
#include "types/folder_resources.h"

using namespace folder_test;
using testing_support::PumpFor;

// What a folder section lists: folders first, then files by name; a folder
// without entries (or none at all) one disabled "(Empty)".
TEST_F(FolderTest, ListsFoldersFirstThenFilesAndEmptyForNothing) {
    const std::string full = MakeTree("full", {"b.txt", "a.txt", "sub\\"});
    const std::string empty = MakeTree("empty", {});
    const struct {
        std::string folder;
        std::vector<std::string> titles;
        bool disabled;
    } cases[] = {
        {full, {"sub", "a", "b"}, false},
        {empty, {"(Empty)"}, true},
        {files_.File("missing"), {"(Empty)"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        CVellumMenuObject* bar = LoadBar("[Section1]\r\nProperties.Type=Folder\r\nFolder=" + c.folder + "\r\n");
        CVellumMenuSection_Folder* section = FolderOf(bar);
        ASSERT_NE(nullptr, section);
        EXPECT_EQ(c.titles, BareTitles(section));
        EXPECT_EQ(c.disabled, section->m_items[0]->m_disabled != FALSE);
        CloseBar(bar);
    }
}

TEST_F(FolderTest, SpecialFolderNameResolves) {
    char favorites[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, favorites, CSIDL_FAVORITES, TRUE));
    const std::string link = std::string(favorites) + "\\TessFolderTestLink.url";
    ASSERT_TRUE(testing_support::WriteFileBytes(link, "[InternetShortcut]\r\nURL=http://localhost/\r\n"));
    CVellumMenuObject* bar = LoadBar("[Section1]\r\nProperties.Type=Folder\r\nFolder=Favorites\r\n");
    CVellumMenuSection_Folder* section = FolderOf(bar);
    ASSERT_NE(nullptr, section);
    bool found = false;
    for (const std::string& t : Titles(section)) found = found || t.find("TessFolderTestLink") == 0;
    EXPECT_TRUE(found);
    CloseBar(bar);
    DeleteFileA(link.c_str());
}

// A shortcut on a folder opens a popup listing it; a folder entry of that
// popup opens the next level.
TEST_F(FolderTest, ShortcutOpensFolderPopupAndItsSubfolder) {
    const std::string root = MakeTree("tree", {"b.txt", "a.txt", "sub\\", "sub\\inner.txt"});
    CVellumMenuObject* bar = LoadBar("[Section1]\r\nItem1.Type=Shortcut\r\nItem1.Title=Tree\r\nItem1.Shortcut.File=" +
                                     root + "\r\n");
    auto* shortcut = dynamic_cast<CVellumMenuItem_Shortcut*>(bar->m_sections[0]->m_items[0]);
    ASSERT_NE(nullptr, shortcut);
    ASSERT_TRUE(shortcut->IsFolder);
    ASSERT_EQ(1, shortcut->TrackPopupMenu(0));
    CVellumMenuObject* popup = shortcut->m_childBar;
    ASSERT_TRUE(popup && IsLiveBar(popup));
    CVellumMenuSection_Folder* level1 = FolderOf(popup);
    ASSERT_NE(nullptr, level1);
    EXPECT_EQ((std::vector<std::string>{"sub", "a", "b"}), BareTitles(level1));

    auto* sub = dynamic_cast<CVellumMenuItem_Shortcut*>(level1->m_items[0]);
    ASSERT_TRUE(sub && sub->IsFolder);
    PumpFor(900);   // past the guard against opening popups at once
    ASSERT_EQ(1, sub->TrackPopupMenu(0));
    CVellumMenuSection_Folder* level2 = sub->m_childBar ? FolderOf(sub->m_childBar) : nullptr;
    ASSERT_NE(nullptr, level2);
    EXPECT_EQ((std::vector<std::string>{"inner"}), BareTitles(level2));
}

// A folder entry's popup wears the skin the section names for its popups
// (beside the bar file or by full path) and the companion of the bar's skin
// when none is named or the named file is missing.
TEST_F(FolderTest, FolderPopupWearsTheSectionsPopupSkinWhenItLoads) {
    const std::string root = MakeTree("skinned", {"sub\\", "sub\\inner.txt"});
    ASSERT_TRUE(files_.Write("alt.tsskin", "[General]\r\nSkinName=Alternate\r\nItemHeight=24\r\n"));
    const struct {
        const char* name;
        std::string key;
        const char* skin;
    } cases[] = {
        {"none named", "", "Plain"},
        {"beside the bar file", "alt.tsskin", "Alternate"},
        {"full path", files_.File("alt.tsskin"), "Alternate"},
        {"missing file", "gone.tsskin", "Plain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string keys = "[Section1]\r\nProperties.Type=Folder\r\nFolder=" + root + "\r\n";
        if (!c.key.empty()) keys += "Popup.UseAlternateSkin=" + c.key + "\r\n";
        CVellumMenuObject* bar = LoadBar(keys);
        CVellumMenuSection_Folder* section = FolderOf(bar);
        ASSERT_NE(nullptr, section);
        auto* sub = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[0]);
        ASSERT_TRUE(sub && sub->IsFolder);
        ASSERT_EQ(1, sub->TrackPopupMenu(0));
        CVellumMenuObject* popup = sub->m_childBar;
        ASSERT_TRUE(popup && IsLiveBar(popup) && popup->m_skin);
        EXPECT_STREQ(c.skin, popup->m_skin->SkinName);
        EXPECT_EQ((std::vector<std::string>{"inner"}), BareTitles(FolderOf(popup)));
        CloseBar(bar);
        PumpFor(900);   // past the guard against opening popups at once
    }
}

// The user's order of a folder: applied when the bar loads, kept by a refresh
// and a restart (a new file last), dropped by "Sort Folder by Name".
TEST_F(FolderTest, SavedOrderSurvivesRefreshAndRestartUntilSortedByName) {
    const std::string root = MakeTree("ordered", {"a.txt", "b.txt", "sub\\"});
    const std::string keys = "[Section1]\r\nProperties.Type=Folder\r\nFolder=" + root + "\r\n";
    CVellumMenuObject* bar = LoadBar(keys, "ordered.tsbar");
    std::vector<std::string> shown = Titles(FolderOf(bar));
    ASSERT_EQ(3u, shown.size());
    CloseBar(bar);
    // b, sub, a: the order text the entries write (":" + title + "/" or "\").
    WriteOrder(NoSlash(root), ":" + shown[2] + "/:" + shown[0] + "\\:" + shown[1] + "/");
    const std::vector<std::string> user = {Bare(shown[2]), "sub", Bare(shown[1])};

    bar = LoadBar(keys, "ordered.tsbar");
    EXPECT_EQ(user, BareTitles(FolderOf(bar)));

    files_.Write("ordered\\c.txt", "x");
    CVellumMenuSection_Folder* section = FolderOf(bar);
    PostMessageA(bar->m_hWnd, GetFolderSectionMessages().FullRefresh, reinterpret_cast<WPARAM>(section), 0);
    std::vector<std::string> refreshed = user;
    refreshed.push_back("c");
    EXPECT_TRUE(Wait([&] { return BareTitles(FolderOf(bar)) == refreshed; }));
    CloseBar(bar);

    bar = LoadBar(keys, "ordered.tsbar");
    EXPECT_EQ(refreshed, BareTitles(FolderOf(bar)));
    EXPECT_EQ(1, FolderOf(bar)->DoCustomContextMenuCommand(kFolderSortByNameCommand));
    EXPECT_EQ((std::vector<std::string>{"sub", "a", "b", "c"}), BareTitles(FolderOf(bar)));
    EXPECT_EQ("", ReadOrder(NoSlash(root))) << "the saved order is deleted";
}

// A drop changes the order; the section writes it when it goes.
TEST_F(FolderTest, ChangedOrderIsWrittenWhenTheSectionGoes) {
    const std::string root = MakeTree("dropped", {"a.txt", "b.txt"});
    CVellumMenuObject* bar = LoadBar("[Section1]\r\nProperties.Type=Folder\r\nFolder=" + root + "\r\n");
    CVellumMenuSection_Folder* section = FolderOf(bar);
    ASSERT_EQ(2, section->GetNumOfItems());
    CVellumMenuItem* first = section->m_items[0];
    section->m_items[0] = section->m_items[1];
    section->m_items[1] = first;
    section->m_orderChanged = TRUE;
    const std::string expected = std::string(":") + section->m_items[0]->m_title + "/:" + first->m_title + "/";
    CloseBar(bar);
    EXPECT_EQ(expected, ReadOrder(NoSlash(root)));
}

// The bar file keeps the section's keys, never its entries.
TEST_F(FolderTest, SavesItsKeysAndNoEntries) {
    const std::string root = MakeTree("saved", {"a.txt", "b.txt"});
    const std::string keys = "[Section1]\r\nTitle=One\r\n[Section2]\r\nTitle=Two\r\n[Section3]\r\nProperties.Type=Folder\r\n"
                             "Folder=" + root + "\r\nFolder.PopupText=0\r\nSection3Folder.HideLinkOverlays=1\r\n"
                             "Popup.Volitle=0\r\n";
    CVellumMenuObject* bar = LoadBar(keys, "saved.tsbar");
    CVellumMenuSection_Folder* section = FolderOf(bar, 2);
    ASSERT_NE(nullptr, section);
    EXPECT_EQ(0, section->m_popupText);
    EXPECT_TRUE(section->HideLinkOverlays);
    EXPECT_FALSE(section->PopupVolitle);
    const std::string file = files_.File("saved.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(file.c_str())));
    auto key = [&](const char* section_name, const char* name) {
        char value[300] = "";
        GetPrivateProfileStringA(section_name, name, "<none>", value, sizeof(value), file.c_str());
        return std::string(value);
    };
    EXPECT_EQ("Folder", key("Section3", "Properties.Type"));
    EXPECT_EQ(root, key("Section3", "Folder"));
    EXPECT_EQ("1", key("Section3", "Section3Folder.HideLinkOverlays"));
    EXPECT_EQ("0", key("Section3", "Folder.PopupText"));
    EXPECT_EQ("0", key("Section3", "Popup.Volitle"));
    EXPECT_EQ("<none>", key("Section3", "Item1.Type")) << "entries are not the file's";
    CloseBar(bar);

    bar = Reload("saved.tsbar");
    section = FolderOf(bar, 2);
    ASSERT_NE(nullptr, section);
    EXPECT_EQ(0, section->m_popupText) << "read back from the key it was written to";
    EXPECT_TRUE(section->HideLinkOverlays);
    EXPECT_EQ(2, section->GetNumOfItems());
}

// Older files carry the popup-text flag under the section's name; it is
// read when the plain key is missing.
TEST_F(FolderTest, ReadsThePopupTextFlagOfOlderFiles) {
    const std::string root = MakeTree("older", {"a.txt"});
    const struct {
        std::string keys;
        int expected;
    } cases[] = {
        {"Section1Folder.PopupText=0\r\n", 0},
        {"Folder.PopupText=1\r\nSection1Folder.PopupText=0\r\n", 1},
        {"", 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        CVellumMenuObject* bar =
            LoadBar("[Section1]\r\nProperties.Type=Folder\r\nFolder=" + root + "\r\n" + c.keys);
        ASSERT_NE(nullptr, FolderOf(bar));
        EXPECT_EQ(c.expected, FolderOf(bar)->m_popupText);
        CloseBar(bar);
    }
}

// Page 125: a typed path applies after a pause, the source buttons switch
// at once, and the overlay switch reaches every entry; each marks the bar
// modified.
TEST_F(FolderTest, PageChangesTheSourceAtOnce) {
    const std::string first = MakeTree("first", {"a.txt"});
    const std::string second = MakeTree("second", {"x.txt", "y.txt"});
    CVellumMenuObject* bar = LoadBar("[Section1]\r\nProperties.Type=Folder\r\nFolder=" + first + "\r\n");
    CVellumMenuSection_Folder* section = FolderOf(bar);
    ASSERT_NE(nullptr, section);
    HWND page = section->CallConfigDialogEx(MainWindow());
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, section->CallConfigDialogEx(MainWindow())) << "one page per section";
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(page, 1083));
    char shown[MAX_PATH] = "";
    GetDlgItemTextA(page, 1084, shown, sizeof(shown));
    EXPECT_EQ(first, std::string(shown));

    bar->m_modified = FALSE;
    SetDlgItemTextA(page, 1084, second.c_str());
    EXPECT_EQ(first, std::string(section->Folder)) << "not while typing";
    EXPECT_TRUE(Wait([&] { return BareTitles(section) == std::vector<std::string>{"x", "y"}; }, 2000));
    EXPECT_EQ(second, std::string(section->Folder));
    EXPECT_TRUE(bar->m_modified);

    const struct {
        int button;
        bool recent;
        const char* folder;
    } cases[] = {
        {1087, true, nullptr},
        {1086, false, "QuickLaunch"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        bar->m_modified = FALSE;
        SendMessageA(GetDlgItem(page, c.button), BM_CLICK, 0, 0);
        EXPECT_EQ(c.recent, section->UseRecentList != FALSE);
        if (c.folder) {
            EXPECT_STREQ(c.folder, section->Folder);
        }
        EXPECT_TRUE(bar->m_modified);
    }
    EXPECT_TRUE(section->m_quickLaunch);

    SendMessageA(GetDlgItem(page, 1083), BM_CLICK, 0, 0);
    SetDlgItemTextA(page, 1084, first.c_str());
    SendMessageA(page, WM_COMMAND, 1307, 0);
    ASSERT_EQ((std::vector<std::string>{"a"}), BareTitles(section));
    SendMessageA(GetDlgItem(page, 1252), BM_CLICK, 0, 0);
    EXPECT_TRUE(section->HideLinkOverlays);
    EXPECT_TRUE(dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[0])->m_noOverlay);
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, section->m_pages[2]);
}

// Page 125, the rest of its controls: the length of the most-used list (an
// empty or zero count shows and counts as 1, a typed count picks "exactly"),
// the special-folder list on a selection only, and volatile popups; each
// applies at once and marks the bar modified. Closing keeps the last tab.
TEST_F(FolderTest, PageCountSpecialFolderAndVolatileApplyAtOnce) {
    const std::string root = MakeTree("count", {"a.txt"});
    CVellumMenuObject* bar = LoadBar("[Section1]\r\nProperties.Type=Folder\r\nFolder=" + root + "\r\n");
    CVellumMenuSection_Folder* section = FolderOf(bar);
    ASSERT_NE(nullptr, section);
    section->m_lastPage = 2;
    HWND page = section->CallConfigDialogEx(MainWindow());
    ASSERT_NE(nullptr, page);
    SendMessageA(GetDlgItem(page, IDC_FOLDER_RECENT), BM_CLICK, 0, 0);
    ASSERT_TRUE(section->UseRecentList);
    EXPECT_EQ(-1, section->RecentItemsToList);

    auto shown = [&] {
        char text[32] = "";
        GetDlgItemTextA(page, IDC_FOLDER_COUNT, text, sizeof(text));
        return std::string(text);
    };
    const struct {
        const char* typed;
        const char* shown;
        int stored;
    } counts[] = {{"5", "5", 5}, {"0", "1", 1}, {"", "1", 1}, {"12", "12", 12}};
    for (const auto& c : counts) {
        SCOPED_TRACE(c.typed);
        SendMessageA(GetDlgItem(page, IDC_FOLDER_AS_MANY), BM_CLICK, 0, 0);
        EXPECT_EQ(-1, section->RecentItemsToList) << "as many as fit";
        bar->m_modified = FALSE;
        SetDlgItemTextA(page, IDC_FOLDER_COUNT, c.typed);
        EXPECT_EQ(c.shown, shown());
        EXPECT_EQ(c.stored, section->RecentItemsToList);
        EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(page, IDC_FOLDER_EXACTLY));
        EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(page, IDC_FOLDER_AS_MANY));
        EXPECT_TRUE(bar->m_modified);
    }

    SendMessageA(GetDlgItem(page, IDC_FOLDER_SPECIAL), BM_CLICK, 0, 0);
    EXPECT_FALSE(section->UseRecentList);
    EXPECT_STREQ("QuickLaunch", section->Folder);
    HWND names = GetDlgItem(page, IDC_FOLDER_SPECIAL_NAMES);
    const struct {
        const char* name;
        WORD code;
        const char* expected;
    } choices[] = {
        {"Favorites", CBN_SELCHANGE, "Favorites"},
        {"Recent", CBN_CLOSEUP, "Favorites"},   // no selection change reported: nothing applies
        {"Recent", CBN_SELCHANGE, "Recent"},
    };
    for (const auto& c : choices) {
        SCOPED_TRACE(c.name);
        SendMessageA(names, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(c.name));
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_FOLDER_SPECIAL_NAMES, c.code), reinterpret_cast<LPARAM>(names));
        EXPECT_STREQ(c.expected, section->Folder);
    }

    const bool volatile_at_first = section->PopupVolitle != FALSE;
    for (bool expected : {!volatile_at_first, volatile_at_first}) {
        bar->m_modified = FALSE;
        SendMessageA(GetDlgItem(page, IDC_FOLDER_VOLATILE), BM_CLICK, 0, 0);
        EXPECT_EQ(expected, section->PopupVolitle != FALSE);
        EXPECT_TRUE(bar->m_modified);
    }

    SendMessageA(page, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, section->m_pages[2]);
    EXPECT_EQ(2, section->m_lastPage) << "the last tab stays";
}

// The section's own entries of the bar's context menu, before the place
// kept for further entries: a refresh only where an order is kept, a sort
// only for a folder.
TEST_F(FolderTest, ContextMenuOffersRefreshAndSortWhereTheyApply) {
    const std::string root = MakeTree("menu", {"a.txt"});
    const struct {
        std::string keys;
        bool refresh, sort;
    } cases[] = {
        {"Folder=" + root, true, true},
        {"Folder.UsePinnedList=1", true, false},
        {"Folder.UseRecentList=1", false, false},
    };
    CreateMFUList();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        CVellumMenuObject* bar = LoadBar("[Section1]\r\nProperties.Type=Folder\r\n" + c.keys + "\r\n");
        CVellumMenuSection_Folder* section = FolderOf(bar);
        ASSERT_NE(nullptr, section);
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 40140, "ADD EXTENDED ITEMS HERE");
        EXPECT_EQ(1, section->InitSimpleContextMenu(menu));
        char text[64] = "";
        EXPECT_EQ(c.refresh, GetMenuStringA(menu, kFolderRefreshCommand, text, sizeof(text), MF_BYCOMMAND) > 0);
        if (c.refresh) {
            EXPECT_STREQ("Refresh Folder", text);
        }
        EXPECT_EQ(c.sort, GetMenuStringA(menu, kFolderSortByNameCommand, text, sizeof(text), MF_BYCOMMAND) > 0);
        EXPECT_EQ(40140u, GetMenuItemID(menu, GetMenuItemCount(menu) - 1)) << "ahead of the extended entries";
        DestroyMenu(menu);
        CloseBar(bar);
    }
    FreeMFUList();
}
