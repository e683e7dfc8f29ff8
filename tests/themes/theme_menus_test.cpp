// Theme list menus: entries named by the theme's Name and its path relative
// to the program folder, the search's limits, the recent list's order, and
// loading the theme of a chosen entry.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include <string>
#include <vector>

#include "shell/app_state.h"
#include "shell/theme_file.h"
#include "shell/theme_menus.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace testing_support;
using namespace theme_test;

namespace {

std::vector<std::string> MenuTexts(HMENU menu) {
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[600] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        out.push_back(text);
    }
    return out;
}

std::string Named(const std::string& name) {
    return "[Theme Info]\r\nName=" + name + "\r\nTSVersion=150\r\nAutoSaveOption=2\r\n";
}

class ThemeMenusTest : public ::testing::Test {
protected:
    void SetUp() override { CloseThemeBarsWithoutSaving(); }
    void TearDown() override {
        CurrentThemeInfo().AutoSaveOption = 2;
        CloseThemeBarsWithoutSaving();
        DestroyMenu(menu_);
    }
    ProgramStateGuard state_;
    ThemeRoot root_{"ThemeMenuTests"};
    HMENU menu_ = CreatePopupMenu();
};

}  // namespace

TEST_F(ThemeMenusTest, EntriesShowNameAndRelativePathAndLoadTheirTheme) {
    const std::string named = root_.Write("Sky\\Sky.tstheme", Named("Blue Sky"));
    root_.Write("Plain\\plain.tstheme", "[Theme Info]\r\nTSVersion=150\r\n");
    root_.Write("Plain\\readme.txt", "not a theme");
    ThemeListMenu list(menu_, 1, 5000);   // recent mode on an empty list: no entries yet
    ASSERT_EQ(0, list.GetCount());
    ASSERT_TRUE(list.ScanThemeFolder(root_.Path().c_str()));
    EXPECT_FALSE(list.ScanThemeFolder(nullptr));
    std::vector<std::string> texts = MenuTexts(menu_);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ((std::vector<std::string>{"Blue Sky (ThemeMenuTests\\Sky\\Sky.tstheme)",
                                        "ThemeMenuTests\\Plain\\plain.tstheme"}),
              texts);
    UINT sky_id = 0;
    for (UINT id = 5000; id < 5002; ++id)
        if (list.GetPath(id) && named == list.GetPath(id)) sky_id = id;
    ASSERT_NE(0u, sky_id);
    EXPECT_FALSE(list.OnThemeCommand(4999));
    EXPECT_FALSE(list.OnThemeCommand(5002));
    ASSERT_TRUE(list.OnThemeCommand(sky_id));
    EXPECT_STREQ(named.c_str(), GetCurrentThemeFile());
}

TEST_F(ThemeMenusTest, SearchStopsAtOneHundredEntriesAndAtItsDepthLimit) {
    ThemeRoot many("ThemeMenuMany");
    for (int i = 0; i < 105; ++i) many.Write("T" + std::to_string(i) + "\\t.tstheme", Named("T"));
    ThemeListMenu full(menu_, 1, 100);
    full.ScanThemeFolder(many.Path().c_str());
    EXPECT_EQ(kThemeListMaxEntries, full.GetCount());
    EXPECT_EQ(kThemeListMaxEntries, GetMenuItemCount(menu_));

    // A theme deeper than the limit is not found; one at the limit is.
    std::string at_limit, too_deep;
    for (int d = 0; d < kThemeListMaxDepth - 1; ++d) at_limit += "d\\";
    too_deep = at_limit + "e\\f\\";
    root_.Write(at_limit + "limit.tstheme", Named("At the limit"));
    root_.Write(too_deep + "deep.tstheme", Named("Too deep"));
    HMENU menu = CreatePopupMenu();
    ThemeListMenu list(menu, 1, 100);
    list.ScanThemeFolder(root_.Path().c_str());
    const std::vector<std::string> texts = MenuTexts(menu);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(0u, texts[0].find("At the limit ("));
    DestroyMenu(menu);
}

TEST_F(ThemeMenusTest, RecentModeKeepsTheListOrderNewestFirst) {
    const std::string a = root_.Write("A\\a.tstheme", Named("Alpha"));
    const std::string b = root_.Write("B\\b.tstheme", Named("Beta"));
    const std::string c = root_.Write("C\\c.tstheme", Named("Gamma"));
    PushRecentThemes(nullptr, b.c_str());
    PushRecentThemes(nullptr, c.c_str());
    PushRecentThemes(nullptr, a.c_str());
    ThemeListMenu list(menu_, 1, 300);
    EXPECT_EQ((std::vector<std::string>{"Alpha (ThemeMenuTests\\A\\a.tstheme)", "Gamma (ThemeMenuTests\\C\\c.tstheme)",
                                        "Beta (ThemeMenuTests\\B\\b.tstheme)"}),
              MenuTexts(menu_));
    EXPECT_EQ(a, list.GetPath(300));
}
