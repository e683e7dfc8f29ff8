// Duplicated sections (titles, items, the bar's own file untouched, no
// temporary file left) and bars saved as templates of the theme.
#include <cstdio>
#include <set>
#include "editor_create_fixture.h"
#include "shell/theme_editor.h"
#include "shell/theme_editor_create_resources.h"

namespace editor_create_test {
namespace {

using testing_support::FileExistsOnDisk;

std::set<std::string> TempFolderFiles() {
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((std::string(folder) + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

class DuplicateTest : public EditorCreateTest {
protected:
    CVellumMenuObject* AppsBar(const std::string& bar_title, const std::string& section_title) {
        return Bar(bar_title, {{"Title=" + section_title, "Item1.Title=one", "Item1.Action=0",
                                "Item2.Title=two", "Item2.Action=0"},
                               {"Title=Last"}});
    }
};

TEST_F(DuplicateTest, CopyIsTitledAfterTheOriginalAndHoldsItsItems) {
    struct Case {
        const char* title;
        const char* copy;
    } const cases[] = {
        {"Apps", "Apps (Copy)"},
        {"Apps (Copy)", "Apps (Copy 2)"},
        {"Apps (Copy 3)", "Apps (Copy 4)"},
        {"Apps (Copy 9)", "Apps (Copy 10)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        CVellumMenuObject* bar = AppsBar(std::string("Dup ") + c.title, c.title);
        const std::string file = bar->m_barFile;
        const std::string folder = bar->m_barFolder;
        const std::set<std::string> temp_before = TempFolderFiles();
        bar->m_modified = FALSE;
        ASSERT_TRUE(DuplicateSection(bar->m_sections[0]));
        EXPECT_EQ((std::vector<std::string>{c.title, c.copy, "Last"}), SectionTitles(bar));
        EXPECT_EQ((std::vector<std::string>{"one", "two"}), ItemTitles(bar->m_sections[1]));
        EXPECT_NE(bar->m_sections[0]->m_items[0], bar->m_sections[1]->m_items[0]);
        EXPECT_TRUE(bar->m_modified);
        // The bar reads and writes its own file again, and the copy saves.
        EXPECT_EQ(file, bar->m_barFile);
        EXPECT_EQ(folder, bar->m_barFolder);
        EXPECT_EQ(nullptr, bar->m_sectionReader);
        EXPECT_FALSE(bar->m_loadingSections);
        EXPECT_EQ(temp_before, TempFolderFiles());
        EXPECT_EQ(c.copy, Saved(bar, "Section2", "Title"));
        EXPECT_EQ("two", ReadKey(file, "Section2", "Item2.Title"));
        EXPECT_EQ(c.title, ReadKey(file, "Section1", "Title"));
        EXPECT_EQ("Last", ReadKey(file, "Section3", "Title"));
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(DuplicateTest, LongTitlesStayWithinTheTitle) {
    const std::string long_title(kSectionTitleSize - 3, 'x');
    struct Case {
        std::string title;
        std::string tail;   // how the copy's title ends
    } const cases[] = {
        {long_title, " (Copy)"},
        {std::string(kSectionTitleSize - 12, 'y') + " (Copy)", "(Copy 2)"},
        {std::string(kSectionTitleSize - 16, 'z') + " (Copy 99)", "(Copy 100)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        CVellumMenuObject* bar = AppsBar("Long " + c.tail, "short");
        std::snprintf(bar->m_sections[0]->Title, kSectionTitleSize, "%s", c.title.c_str());
        ASSERT_TRUE(DuplicateSection(bar->m_sections[0]));
        const std::string copy = bar->m_sections[1]->Title;
        EXPECT_LT(copy.size(), static_cast<size_t>(kSectionTitleSize));
        ASSERT_GE(copy.size(), c.tail.size());
        EXPECT_EQ(c.tail, copy.substr(copy.size() - c.tail.size()));
        EXPECT_EQ(c.title.substr(0, 20), copy.substr(0, 20));
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(DuplicateTest, NoTemporaryFileMeansNoCopyAndTheBarUnchanged) {
    CVellumMenuObject* bar = AppsBar("No temp", "Apps");
    const std::string file = bar->m_barFile;
    char saved_tmp[MAX_PATH] = "", saved_temp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", saved_tmp, MAX_PATH);
    GetEnvironmentVariableA("TEMP", saved_temp, MAX_PATH);
    const std::string missing = ThemeFolder() + "no such folder\\";
    SetEnvironmentVariableA("TMP", missing.c_str());
    SetEnvironmentVariableA("TEMP", missing.c_str());
    const bool copied = DuplicateSection(bar->m_sections[0]);
    SetEnvironmentVariableA("TMP", saved_tmp[0] ? saved_tmp : nullptr);
    SetEnvironmentVariableA("TEMP", saved_temp[0] ? saved_temp : nullptr);
    EXPECT_FALSE(copied);
    EXPECT_EQ((std::vector<std::string>{"Apps", "Last"}), SectionTitles(bar));
    EXPECT_EQ(file, bar->m_barFile);
    EXPECT_FALSE(FileExistsOnDisk(missing));
}

// ---- templates ------------------------------------------------------------------------------------

class TemplateTest : public EditorCreateTest {
protected:
    bool SaveAs(CVellumMenuObject* bar, const std::vector<Step>& steps) {
        return driver_.Run("Tessellar - Save Bar As Template", steps,
                           [&] { return SaveBarAsTemplate(nullptr, bar); });
    }
    std::string Templates() const { return ThemeFolder() + "Bars\\Templates\\"; }
};

TEST_F(TemplateTest, SameNameTwiceGivesNumberedFiles) {
    CVellumMenuObject* bar = Bar("Template source", {{"Title=Apps", "Item1.Title=one", "Item1.Action=0"}});
    for (const char* expected : {"T.tsbar", "T_1.tsbar"}) {
        SCOPED_TRACE(expected);
        ASSERT_TRUE(SaveAs(bar, {TypeText(IDC_CREATE_TITLE, "T"), ClickButton(IDOK)}));
        EXPECT_TRUE(driver_.Finished());
        const std::string path = Templates() + expected;
        ASSERT_TRUE(FileExistsOnDisk(path));
        EXPECT_EQ("Template source", ReadKey(path, "Object", "Title"));
        EXPECT_EQ("one", ReadKey(path, "Section1", "Item1.Title"));
    }
    // Cancelled, nothing more is written.
    EXPECT_FALSE(SaveAs(bar, {ClickButton(IDCANCEL)}));
    EXPECT_FALSE(FileExistsOnDisk(Templates() + "T_2.tsbar"));
}

TEST_F(TemplateTest, NamesThatAreNoPlainFileNameAreRefused) {
    CVellumMenuObject* bar = Bar("Template names", {{"Title=Apps"}});
    const char* const names[] = {"", "a\\b", "a/b", "..", "..\\up", "x..y", "c:name", "what?", "star*",
                                 "<in>", "pipe|", "quote\"", "   ", "con", "Nul.x", "com1"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(SaveAs(bar, {TypeText(IDC_CREATE_TITLE, name), ClickButton(IDOK),
                                  WaitForBoxes(driver_, 1), ClickButton(IDCANCEL)}));
        EXPECT_TRUE(driver_.Finished());
        ASSERT_EQ(1u, driver_.Boxes().size());
        EXPECT_EQ("Tessellar - Save Bar As Template", driver_.Boxes()[0].caption);
        EXPECT_NE(std::string::npos, driver_.Boxes()[0].text.find("file name"));
    }
    EXPECT_FALSE(FileExistsOnDisk(Templates()));
    EXPECT_FALSE(FileExistsOnDisk(ThemeFolder() + "up.tsbar"));
}

}  // namespace
}  // namespace editor_create_test
