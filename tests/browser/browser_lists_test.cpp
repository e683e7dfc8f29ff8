// The browser's tables: themes grouped by folder with their styles, names
// and notes, the limits of the tables and of the folder walk, the order of
// names, the bars of the current theme and the recent themes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/app_state.h"
#include "shell/theme_browser.h"
#include "shell/theme_file.h"
#include "shell/theme_menus.h"
#include "tests/support/test_support.h"
#include "util/text.h"

using namespace testing_support;

namespace {

std::string Theme(const std::string& name, const std::string& notes = "") {
    std::string text = "[Theme Info]\r\n";
    if (!name.empty()) text += "Name=" + name + "\r\n";
    if (!notes.empty()) text += "Notes=" + notes + "\r\n";
    return text + "[OpenBars]\r\n";
}

// Writes a file below a folder, making the folders on the way.
void Put(const TempFolder& root, const std::string& relative, const std::string& content) {
    for (size_t pos = 0; (pos = relative.find('\\', pos)) != std::string::npos; ++pos)
        CreateDirectoryA((root.Path() + relative.substr(0, pos)).c_str(), nullptr);
    ASSERT_TRUE(root.Write(relative, content));
}

const ThemeBrowserEntry* FindEntry(int tab, const std::string& shown) {
    for (const auto& e : GetBrowserTable(tab)) {
        const char* title = e->styles.size() >= 2 ? e->folder : e->styles[0]->name;
        if (shown == title) return e.get();
    }
    return nullptr;
}

class BrowserListsTest : public ::testing::Test {
protected:
    void SetUp() override { FreeBrowserResources(); }
    void TearDown() override { FreeBrowserResources(); }
    TempFolder root_;
};

}  // namespace

TEST_F(BrowserListsTest, ThemesAreGroupedByFolderWithTheirStyles) {
    Put(root_, "Ocean\\Ocean.tstheme", Theme("Ocean"));
    Put(root_, "Ocean\\Ocean Storm.tstheme", Theme("Ocean Storm", "first\xAF\xAFsecond"));
    Put(root_, "Ocean\\Bars\\bar.tsbar", "[Object]\r\nTitle=bar\r\n");
    Put(root_, "Plain.tstheme", Theme("Plain"));
    Put(root_, "Nameless\\Nameless.tstheme", Theme(""));
    ScanBrowserFolder(0, root_.Path().c_str(), "");

    ASSERT_EQ(3u, GetBrowserTable(0).size());
    const ThemeBrowserEntry* ocean = FindEntry(0, "Ocean");
    ASSERT_NE(nullptr, ocean);
    ASSERT_EQ(2u, ocean->styles.size());
    EXPECT_STREQ("Ocean", ocean->styles[0]->name);
    EXPECT_STREQ("Ocean Storm", ocean->styles[1]->name);
    // The combo shows each style without the folder's name.
    EXPECT_STREQ("", StyleName(ocean->styles[0]->name, ocean->folder));
    EXPECT_STREQ("Storm", StyleName(ocean->styles[1]->name, ocean->folder));
    EXPECT_STREQ("first\r\nsecond", ocean->styles[1]->description);
    EXPECT_EQ(root_.Path() + "Ocean\\Ocean Storm.tstheme", ocean->styles[1]->path);

    const ThemeBrowserEntry* plain = FindEntry(0, "Plain");
    ASSERT_NE(nullptr, plain);
    EXPECT_STREQ("", plain->folder);
    EXPECT_EQ(1u, plain->styles.size());
    // Without a Name: the path below the scanned root.
    EXPECT_NE(nullptr, FindEntry(0, "Nameless\\Nameless.tstheme"));

    ScanBrowserFolder(3, root_.Path().c_str(), "");
    ASSERT_EQ(1u, GetBrowserTable(3).size());
    EXPECT_STREQ("Ocean\\Bars\\bar.tsbar", GetBrowserTable(3)[0]->styles[0]->name);
}

TEST_F(BrowserListsTest, TheTablesStopAtTheirLimits) {
    for (int i = 0; i < kMaxBrowserEntries + 1; ++i) {
        const std::string name = "T" + std::to_string(i);
        Put(root_, name + "\\" + name + ".tstheme", Theme(name));
    }
    for (int i = 0; i < kMaxThemeStyles + 1; ++i)
        Put(root_, "T0\\S" + std::to_string(i) + ".tstheme", Theme("S" + std::to_string(i)));
    ScanBrowserFolder(0, root_.Path().c_str(), "");
    EXPECT_EQ(static_cast<size_t>(kMaxBrowserEntries), GetBrowserTable(0).size());
    size_t most = 0;
    for (const auto& e : GetBrowserTable(0)) most = std::max(most, e->styles.size());
    EXPECT_EQ(static_cast<size_t>(kMaxThemeStyles), most);
}

TEST_F(BrowserListsTest, AFolderLoopEndsTheWalk) {
    // "BrowserLoop\Loop\again" is a link back to "Loop", made by the build
    // (a junction where the system has them; a plain folder to the walk here).
    const std::string loop_root = BinFolder() + "BrowserLoop\\";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((loop_root + "Loop\\again").c_str()));
    ASSERT_TRUE(WriteFileBytes(loop_root + "Loop\\Loop.tstheme", Theme("Loop")));
    Put(root_, "1\\2\\3\\4\\5\\6\\7\\8\\9\\Deep\\Deep.tstheme", Theme("Deep"));
    ScanBrowserFolder(0, root_.Path().c_str(), "");
    EXPECT_EQ(nullptr, FindEntry(0, "Deep"));   // deeper than the walk goes
    FreeBrowserResources();

    ScanBrowserFolder(0, loop_root.c_str(), "");
    size_t loops = 0;
    for (const auto& e : GetBrowserTable(0))
        for (const auto& s : e->styles)
            if (std::string(s->name) == "Loop") ++loops;
    EXPECT_GE(loops, 1u);
    EXPECT_LE(loops, static_cast<size_t>(kBrowserMaxDepth + 1));
    DeleteFileA((loop_root + "Loop\\Loop.tstheme").c_str());
}

TEST_F(BrowserListsTest, OrderOfNames) {
    std::vector<std::string> names = {"*Zed", "Alpha", "Night Blue", "beta", "*Abc", "Day Blue"};
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return BrowserNameLess(a.c_str(), b.c_str()); });
    const std::vector<std::string> expected = {"Day Blue", "Night Blue", "Alpha", "beta", "*Abc", "*Zed"};
    EXPECT_EQ(expected, names);
    // A strict order: never both ways, never for equal names.
    for (const std::string& a : names)
        for (const std::string& b : names)
            EXPECT_FALSE(BrowserNameLess(a.c_str(), b.c_str()) && BrowserNameLess(b.c_str(), a.c_str())) << a << b;
    EXPECT_FALSE(BrowserNameLess("*a Blue", "*A Blue"));

    struct Case {
        const char* name;
        const char* folder;
        const char* shown;
    };
    const Case cases[] = {
        {"Aqua Graphite", "Aqua", "Graphite"}, {"aqua   Dark", "Aqua", "Dark"}, {"Graphite", "Aqua", "Graphite"},
        {"  Spaced", "", "Spaced"},            {"Aq", "Aqua", "Aq"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.shown, StyleName(c.name, c.folder)) << c.name;
}

TEST_F(BrowserListsTest, EntriesAreSortedAndTheCurrentStyleIsMarked) {
    Put(root_, "Zeta\\Zeta.tstheme", Theme("Zeta"));
    Put(root_, "Sky\\Sky.tstheme", Theme("Sky"));
    Put(root_, "Sky\\Sky Night.tstheme", Theme("Sky Night"));
    Put(root_, "Sky\\Sky Blue.tstheme", Theme("Sky Blue"));
    Put(root_, "Sky\\Bars\\x.tsbar", "[Object]\r\n");
    Put(root_, "Last\\Last.tstheme", Theme("*Last"));
    const std::string current = root_.Path() + "Sky\\Sky Night.tstheme";
    ASSERT_TRUE(LoadThemeFile(current.c_str(), 0));
    ScanBrowserFolder(0, root_.Path().c_str(), "");
    const ThemeBrowserEntry* sky = FindEntry(0, "Sky");
    ASSERT_NE(nullptr, sky);
    ASSERT_EQ(3u, sky->styles.size());
    EXPECT_STREQ("Sky Blue", sky->styles[0]->name);
    EXPECT_STREQ(current.c_str(), sky->Current()->path);
    EXPECT_EQ(1, sky->Current()->current);

    // The bars of the current theme; none at all without a theme, whatever
    // folder is current.
    FillBrowserList(nullptr, 2);
    ASSERT_EQ(1u, GetBrowserTable(2).size());
    EXPECT_STREQ("x.tsbar", GetBrowserTable(2)[0]->styles[0]->name);
    CurrentThemeInfo().AutoSaveOption = 2;
    CloseThemeBarsWithoutSaving();
    SetCurrentDirectoryA((root_.Path() + "Sky").c_str());
    FillBrowserList(nullptr, 2);
    EXPECT_TRUE(GetBrowserTable(2).empty());
    SetCurrentDirectoryA("C:\\");
}

TEST_F(BrowserListsTest, RecentThemesInRecentOrderWithoutMissingFiles) {
    Put(root_, "A\\A.tstheme", Theme("Alpha", "notes of A"));
    Put(root_, "B\\B.tstheme", Theme(""));
    ClearRecentThemeList();
    PushRecentThemes((root_.Path() + "A\\A.tstheme").c_str(), nullptr);
    PushRecentThemes((root_.Path() + "Gone\\Gone.tstheme").c_str(), nullptr);
    PushRecentThemes((root_.Path() + "B\\B.tstheme").c_str(), nullptr);
    FillBrowserList(nullptr, 1);
    const BrowserTable& table = GetBrowserTable(1);
    ASSERT_EQ(2u, table.size());
    EXPECT_EQ(root_.Path() + "B\\B.tstheme", table[0]->styles[0]->path);
    EXPECT_EQ(root_.Path() + "A\\A.tstheme", table[1]->styles[0]->path);
    EXPECT_EQ(0, strncmp(table[1]->styles[0]->name, "Alpha (", 7)) << table[1]->styles[0]->name;
    EXPECT_STREQ("notes of A", table[1]->styles[0]->description);
    ClearRecentThemeList();
}
