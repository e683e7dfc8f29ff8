// Folder sections over the pinned list and the most-used list, and the
// personalised menus of a "Programs"-like popup.
#include "tests/folder/folder_fixture.h"

#include <algorithm>
#include <memory>

#include "model/live_objects.h"
#include "shell/app_state.h"
#include "shell/type_services.h"
#include "types/folder_section_calls.h"
#include "types/mfu_list.h"
#include "types/usage_counts.h"
#include "util/icon_menu.h"

using namespace folder_test;
using testing_support::PumpFor;

namespace {

constexpr const char* kExtension = ".tessfold";

void SetValue(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return text;
}

std::vector<std::string> Targets(CVellumMenuSection* section) {
    std::vector<std::string> out;
    for (int i = 0; section && i < kMaxItems && section->m_items[i]; ++i) {
        auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[i]);
        out.push_back(entry ? entry->m_target : "?");
    }
    return out;
}

void SetOld(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SYSTEMTIME old = {2001, 1, 0, 1, 12, 0, 0, 0};
    FILETIME time;
    SystemTimeToFileTime(&old, &time);
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
}

class FolderListsTest : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kPinnedListKey);
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kProgramMFUListKey);
        CreateMFUList();
    }
    void TearDown() override {
        FolderTest::TearDown();
        FreeMFUList();
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kPinnedListKey);
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kProgramMFUListKey);
    }
    void Pin(int slot, const std::string& text) {
        SetValue(HKEY_CURRENT_USER, kPinnedListKey, ("Pinned Shortcut #" + std::to_string(slot)).c_str(), text);
    }
    // Programs p1 .. pn, pk used k times (so pn is the most used).
    std::vector<std::string> UsePrograms(int n) {
        std::vector<std::string> paths;
        for (int k = 1; k <= n; ++k) {
            const std::string name = "p" + std::to_string(k) + ".exe";
            files_.Write(name, "MZ");
            paths.push_back(files_.File(name));
            for (int use = 0; use < k; ++use) GetMFUList()->AddUse(paths.back().c_str(), nullptr, 1);
        }
        return paths;
    }
};

}  // namespace

// Each pinned value: a file with an optional title after "*?*?", or "1" and
// the extension whose program runs; empty values are skipped, no value at
// all gives "(Empty)".
TEST_F(FolderListsTest, PinnedListShowsItsEntries) {
    const std::string program = testing_support::BinFolder() + "folder_tests.exe";
    SetValue(HKEY_CLASSES_ROOT, kExtension, nullptr, "TessFold.File");
    SetValue(HKEY_CLASSES_ROOT, "TessFold.File\\shell\\open\\command", nullptr, "\"" + program + "\" \"%1\"");
    const std::string file = files_.File("pinned.txt");
    files_.Write("pinned.txt", "x");
    const std::string keys = "[Section1]\r\nProperties.Type=Folder\r\nFolder.UsePinnedList=1\r\n";

    CVellumMenuObject* bar = LoadBar(keys);
    EXPECT_EQ((std::vector<std::string>{"(Empty)"}), Titles(FolderOf(bar)));
    CloseBar(bar);

    Pin(0, "0" + file + "*?*?My Pinned File");
    Pin(2, std::string("1") + kExtension);
    bar = LoadBar(keys);
    CVellumMenuSection_Folder* section = FolderOf(bar);
    ASSERT_NE(nullptr, section);
    ASSERT_EQ(2, section->GetNumOfItems()) << "the empty value is skipped";
    const int titled = Titles(section)[0] == "My Pinned File" ? 0 : 1;
    EXPECT_EQ("My Pinned File", Titles(section)[titled]);
    EXPECT_EQ(file, Targets(section)[titled]);
    EXPECT_EQ(Lower(program), Targets(section)[1 - titled]) << "the program registered for the extension";
    CloseBar(bar);
    EXPECT_NE("", ReadOrder("PinnedApplications")) << "the pinned list's order is written when it goes";
}

// The most-used list, most used first: a program that is already a shortcut
// on the bar and a missing one make room for the next.
TEST_F(FolderListsTest, MostUsedListSkipsCopiesAndMissingPrograms) {
    std::vector<std::string> p = UsePrograms(6);
    DeleteFileA(p[3].c_str());   // p4 is gone
    CVellumMenuObject* bar = LoadBar("[Section1]\r\nItem1.Type=Shortcut\r\nItem1.Title=Copy\r\nItem1.Shortcut.File=" + p[5] +
                                     "\r\n[Section2]\r\nProperties.Type=Folder\r\nFolder.UseRecentList=1\r\n"
                                     "Folder.RecentItemsToList=4\r\n");
    CVellumMenuSection_Folder* section = FolderOf(bar, 1);
    ASSERT_NE(nullptr, section);
    EXPECT_EQ((std::vector<std::string>{p[4], p[2], p[1], p[0]}), Targets(section));
    auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[0]);
    ASSERT_NE(nullptr, entry);
    EXPECT_TRUE(entry->m_recordsRecent) << "its runs count in the list";
}

// A list of as many as fit gains an entry when its section grows by one,
// and loses it again.
TEST_F(FolderListsTest, AsManyAsFitFollowsTheSectionSize) {
    UsePrograms(16);
    CVellumMenuObject* bar = LoadBar(
        "[Section1]\r\nProperties.Type=Folder\r\nFolder.UseRecentList=1\r\nFolder.RecentItemsToList=-1\r\n");
    CVellumMenuSection_Folder* section = FolderOf(bar);
    ASSERT_NE(nullptr, section);
    ASSERT_LE(1, section->GetNumOfItems());
    const int item_height = section->m_items[0]->m_itemRect.bottom - section->m_items[0]->m_itemRect.top;
    ASSERT_GT(item_height, 0);
    RECT room = section->m_outerRect;
    room.bottom = room.top + 5 * item_height + item_height / 2;
    int fitting = 0;
    for (int grow : {0, 1, 0}) {
        SCOPED_TRACE(grow);
        section->m_outerRect = room;
        section->m_outerRect.bottom += grow * item_height;
        section->FillFolderItems();
        if (!fitting) fitting = section->GetNumOfItems();
        EXPECT_EQ(fitting + grow, section->GetNumOfItems());
    }
    EXPECT_GE(fitting, 4);
    EXPECT_LE(fitting, 6);
}

static int WindowHeight(CVellumMenuObject* bar) {
    RECT r = {};
    GetWindowRect(bar->m_hWnd, &r);
    return r.bottom - r.top;
}

// The same in a live bar: as many as its height holds, one more when the
// bar is made one entry taller, one fewer again when it shrinks back, and
// three more for three entries.
TEST_F(FolderListsTest, AsManyAsFitFollowsTheBarsSize) {
    UsePrograms(13);   // 91 uses: the list keeps them all
    CVellumMenuObject* bar = LoadBar(
        "bRestrictMaximumSize=0\r\n[Section1]\r\nProperties.Type=Folder\r\nFolder.UseRecentList=1\r\n"
        "Folder.RecentItemsToList=-1\r\n",
        "", 150);
    CVellumMenuSection_Folder* section = FolderOf(bar);
    ASSERT_NE(nullptr, section);
    ASSERT_LE(1, section->GetNumOfItems());
    const int item_height = section->m_items[0]->m_itemRect.bottom - section->m_items[0]->m_itemRect.top;
    ASSERT_GT(item_height, 0);
    RECT start = {};
    GetWindowRect(bar->m_hWnd, &start);
    const int first = section->GetNumOfItems();
    EXPECT_EQ((section->m_innerRect.bottom - section->m_innerRect.top) / item_height, first);
    for (int grow : {1, 0, 3}) {
        SCOPED_TRACE(grow);
        // What dragging the bar's lower edge asks for.
        bar->UserSetPos(start.left, start.top, start.right - start.left,
                        start.bottom - start.top + grow * item_height, 1);
        EXPECT_TRUE(Wait([&] { return section->GetNumOfItems() == first + grow; }, 1500))
            << section->GetNumOfItems() << " of " << first << " rect " << section->m_outerRect.top << ".."
            << section->m_outerRect.bottom << " window " << WindowHeight(bar);
    }
}

// A personalised popup hides rarely used entries behind the expander, and
// shows them all once it is used; when every entry would hide, the period
// of the smart menus starts anew instead.
TEST_F(FolderListsTest, PersonalisedPopupExpandsAndRestartsItsPeriod) {
    CVellumMenuObject* bar = LoadBar("[Section1]\r\nTitle=Host\r\n");
    auto popup = [&](const std::string& root) {
        auto* menu = new CShellFolderMenu(1);
        EXPECT_TRUE(menu->SetFolder(root.c_str()));
        menu->Fill();
        auto* section =
            dynamic_cast<CVellumMenuSection_Folder*>(CreateFolderPopupSection(bar, menu, menu->GetMenu(), 1));
        menu->Release();
        return std::unique_ptr<CVellumMenuSection_Folder>(section);
    };
    auto hidden = [](CVellumMenuSection* s) {
        std::vector<bool> out;
        for (int i = 0; i < kMaxItems && s->m_items[i]; ++i) {
            auto* e = dynamic_cast<CVellumMenuItem_Shortcut*>(s->m_items[i]);
            out.push_back(e && e->m_hiddenByPersonalization);
        }
        return out;
    };
    SetSmartMenusExpanded(false);
    const std::string mixed = MakeTree("mixed", {"new.txt", "old.txt"});
    SetOld(mixed + "\\old.txt");
    auto section = popup(mixed);
    ASSERT_TRUE(section);
    ASSERT_EQ(3, section->GetNumOfItems());
    EXPECT_EQ((std::vector<bool>{false, true, false}), hidden(section.get()));
    auto* expander = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[2]);
    ASSERT_TRUE(expander && expander->m_expander);
    EXPECT_TRUE(expander->DisplayAsBitmap && expander->m_normalBitmap) << "the program's expander image";
    section->ExpandPersonalizedMenu();
    EXPECT_EQ((std::vector<bool>{false, false}), hidden(section.get())) << "all shown, no expander";
    section.reset();
    SetSmartMenusExpanded(false);

    testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Vantrell\\Tessellar\\OriginalSmartMenuTime");
    const std::string stale = MakeTree("stale", {"one.txt", "two.txt"});
    SetOld(stale + "\\one.txt");
    SetOld(stale + "\\two.txt");
    section = popup(stale);
    ASSERT_TRUE(section);
    EXPECT_EQ((std::vector<bool>{false, false}), hidden(section.get())) << "not only an expander";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vantrell\\Tessellar", 0, KEY_READ, &key));
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "OriginalSmartMenuTime", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    RegCloseKey(key);
}
