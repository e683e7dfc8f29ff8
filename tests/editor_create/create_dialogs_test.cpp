// "Create New Bar" and "Create Section", driven from a timer while they run.
#include <shlwapi.h>
#include "editor_create_fixture.h"
#include "skins/skin_record.h"
#include "model/live_objects.h"
#include "shell/theme_editor.h"
#include "shell/theme_editor_create_resources.h"
#include "tests/themes/theme_fixture.h"
#include "util/bar_registry.h"

namespace editor_create_test {
namespace {

using testing_support::WriteFileBytes;

constexpr char kNewBarCaption[] = "Create New Bar";

// The live bar titled title, or null.
CVellumMenuObject* BarTitled(const std::string& title) {
    for (int i = 0; i < GetBarWindowCount(); ++i) {
        CVellumMenuObject* bar = LiveBarOfWindow(GetBarWindowAt(i));
        if (bar && title == bar->Title) return bar;
    }
    return nullptr;
}

class CreateNewBarTest : public EditorCreateTest {
protected:
    CVellumMenuObject* RunDialog(const std::vector<Step>& steps) {
        return driver_.Run(kNewBarCaption, steps, [&] {
            return ShowCreateNewBarDialog(nullptr, &CreateNewBarTest::Received, this);
        });
    }
    static void Received(CVellumMenuObject* bar, void* self) {
        static_cast<CreateNewBarTest*>(self)->received_.push_back(bar);
    }
    std::vector<CVellumMenuObject*> received_;
};

TEST_F(CreateNewBarTest, EveryRefusalShowsItsBoxAndKeepsTheDialogOpen) {
    Bar("Existing", {{"Title=Apps"}});
    const std::string no_title = "Please give this bar a title!";
    const std::string in_use =
        "The bar's title you've specified is already in use by another bar.\n"
        "Please give a unique title for this bar.";
    const std::string no_skin = "Please select a skin to use on this bar!";
    const std::string doomed = ThemeFolder() + "Skins\\doomed.tsskin";
    struct Case {
        const char* name;
        std::vector<Step> steps;   // before OK
        std::string text;
        int focus;                 // the control that has the focus after the box; 0: any
    } const cases[] = {
        {"empty title", {ChooseRowStartingWith(IDC_NEWBAR_THEME_SKINS, "Plain")}, no_title, 0},
        {"title in use",
         {TypeText(IDC_CREATE_TITLE, "existing"), ChooseRowStartingWith(IDC_NEWBAR_THEME_SKINS, "Plain")},
         in_use, 0},
        {"no skin chosen", {TypeText(IDC_CREATE_TITLE, "Fresh")}, no_skin, IDC_NEWBAR_THEME_SKINS},
        {"no skin of another theme",
         {TypeText(IDC_CREATE_TITLE, "Fresh"), ChooseRowStartingWith(IDC_NEWBAR_THEME_SKINS, "Plain"),
          ClickButton(IDC_NEWBAR_FROM_OTHER)},
         no_skin, IDC_NEWBAR_OTHER_SKINS},
        // The skin file goes between the choice and OK: it cannot load.
        {"skin that fails to load",
         {TypeText(IDC_CREATE_TITLE, "Fresh"), ChooseRowStartingWith(IDC_NEWBAR_THEME_SKINS, "Doomed"),
          Check([doomed](HWND) { ASSERT_TRUE(DeleteFileA(doomed.c_str())); })},
         no_skin, IDC_NEWBAR_THEME_SKINS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(doomed, "[General]\r\nSkinName=Doomed\r\nItemHeight=20\r\n"));
        const int bars_before = GetBarWindowCount();
        std::vector<Step> steps = c.steps;
        steps.push_back(ClickButton(IDOK));
        steps.push_back(WaitForBoxes(driver_, 1));
        // Still open after the box: it is the dialog these steps act on.
        const int focus = c.focus;
        steps.push_back(Check([focus](HWND dialog) {
            EXPECT_TRUE(IsWindowEnabled(dialog));
            if (focus) {
                EXPECT_EQ(GetDlgItem(dialog, focus), GetFocus());
            }
        }));
        steps.push_back(ClickButton(IDCANCEL));
        EXPECT_EQ(nullptr, RunDialog(steps));
        EXPECT_TRUE(driver_.Finished());
        ASSERT_EQ(1u, driver_.Boxes().size());
        EXPECT_EQ(kNewBarCaption, driver_.Boxes()[0].caption);
        EXPECT_EQ(c.text, driver_.Boxes()[0].text);
        EXPECT_EQ(bars_before, GetBarWindowCount());
        EXPECT_EQ(nullptr, BarTitled("Fresh"));
    }
    EXPECT_TRUE(received_.empty());
}

TEST_F(CreateNewBarTest, NewBarTakesOrientationSkinAndTitleFont) {
    struct Case {
        const char* title;
        int orientation;    // row: 0 horizontal, 1 vertical
        const char* skin;   // the skin's name in the list
        const char* vertical, *width_resizable, *show_title;
    } const cases[] = {
        {"Horizontal Plain", 0, "Plain", "0", "1", "0"},
        {"Vertical Titled", 1, "Titled", "1", "0", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        received_.clear();
        CVellumMenuObject* bar = RunDialog({TypeText(IDC_CREATE_TITLE, c.title),
                                            ChooseRowStartingWith(IDC_NEWBAR_THEME_SKINS, c.skin),
                                            ChooseRow(IDC_NEWBAR_ORIENTATION, c.orientation),
                                            ClickButton(IDOK)});
        ASSERT_NE(nullptr, bar);
        ASSERT_TRUE(IsLiveBar(bar));
        EXPECT_EQ(bar, BarTitled(c.title));
        EXPECT_EQ((std::vector<CVellumMenuObject*>{bar}), received_);
        EXPECT_TRUE(testing_support::PumpUntil([&] { return IsWindowVisible(bar->m_hWnd) != FALSE; }, 3000));
        EXPECT_TRUE(bar->m_modified);
        EXPECT_FALSE(bar->m_foreignSkin);
        const std::string file = ThemeFolder() + "Bars\\" + c.skin + ".tsbar";
        ASSERT_NE(0, bar->Save(const_cast<char*>(file.c_str())));
        EXPECT_EQ(c.title, ReadKey(file, "Object", "Title"));
        EXPECT_EQ(c.vertical, ReadKey(file, "Object", "DisplayVertically"));
        EXPECT_EQ(c.width_resizable, ReadKey(file, "Object", "WidthResizableWhenVertical"));
        EXPECT_EQ(c.show_title, ReadKey(file, "Object", "ShowTitle"));
        const std::string skin_file = std::string(c.skin) == "Plain" ? "plain.tsskin" : "titled.tsskin";
        EXPECT_NE(std::string::npos, ReadKey(file, "Object", "LastSkin").find(skin_file));
    }
}

TEST_F(CreateNewBarTest, SkinOfAnotherThemeIsMarkedForeign) {
    theme_test::ThemeRoot other("EditorCreateOther");
    other.Write("Other.tstheme", "[Theme Info]\r\nName=Editor Create Other\r\nTSVersion=150\r\n");
    CreateDirectoryA((other.Path() + "Skins").c_str(), nullptr);
    other.Write("Skins\\other.tsskin", "[General]\r\nSkinName=Elsewhere\r\nItemHeight=20\r\n");
    CVellumMenuObject* bar = RunDialog({TypeText(IDC_CREATE_TITLE, "Foreign"), ClickButton(IDC_NEWBAR_FROM_OTHER),
                                        ChooseRowStartingWith(IDC_NEWBAR_OTHER_THEME, "Editor Create Other"),
                                        ChooseRowStartingWith(IDC_NEWBAR_OTHER_SKINS, "Elsewhere"),
                                        ClickButton(IDOK)});
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->m_foreignSkin);
    ASSERT_NE(nullptr, bar->m_skin);
    EXPECT_NE(nullptr, StrStrIA(bar->m_skin->path, "other.tsskin"));
    testing_support::CloseTestBar(bar, true);
}

// ---- Create Section -------------------------------------------------------------------------------

class CreateSectionTest : public EditorCreateTest {
protected:
    void RunDialog(CVellumMenuObject* bar, const std::vector<Step>& steps) {
        driver_.Run("Create Section", steps, [&] {
            ShowNewSectionDialog(bar);
            return 0;
        });
        EXPECT_TRUE(driver_.Finished());
    }
};

TEST_F(CreateSectionTest, TypeListHoldsTheBarsTypes) {
    CVellumMenuObject* bar = Bar("Section types", {{"Title=Apps"}});
    std::vector<std::string> expected = {"Default", "Folder", "Taskbar", "System Tray"};
    // Virtual desktops are offered only with their library beside the program.
    if (testing_support::FileExistsOnDisk(theme_test::ProgramFolder() + "Panorel.dll"))
        expected.push_back("Virtual Desktops");
    std::vector<std::string> listed;
    RunDialog(bar, {Check([&](HWND dialog) {
                        for (int row = 0; row < ComboRowCount(dialog, IDC_CREATE_SECTION_TYPE); ++row)
                            listed.push_back(ComboRowText(dialog, IDC_CREATE_SECTION_TYPE, row));
                    }),
                    // OK without a type changes nothing and keeps the dialog.
                    ClickButton(IDOK), ClickButton(IDCANCEL)});
    EXPECT_EQ(expected, listed);
    EXPECT_EQ((std::vector<std::string>{"Apps"}), SectionTitles(bar));
}

TEST_F(CreateSectionTest, NewSectionTakesTheTitleOrElseTheTypeName) {
    struct Case {
        const char* title;
        const char* type;
        const char* kind;
        const char* expected_title;
    } const cases[] = {
        {"", "Taskbar", "Taskbar", "Taskbar"},
        {"Mine", "Folder", "Folder", "Mine"},
        {"", "System Tray", "System Tray", "System Tray"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        CVellumMenuObject* bar = Bar(std::string("New section ") + c.type, {{"Title=Apps"}});
        bar->m_modified = FALSE;
        RunDialog(bar, {TypeText(IDC_CREATE_TITLE, c.title),
                        ChooseRowStartingWith(IDC_CREATE_SECTION_TYPE, c.type), ClickButton(IDOK)});
        EXPECT_EQ((std::vector<std::string>{"Apps", c.expected_title}), SectionTitles(bar));
        ASSERT_EQ(2, bar->GetSectionCount());
        EXPECT_EQ(c.kind, TypeName(bar->m_sections[1]));
        EXPECT_TRUE(bar->m_modified);
        EXPECT_EQ(c.expected_title, Saved(bar, "Section2", "Title"));
        testing_support::CloseTestBar(bar, true);
    }
}

}  // namespace
}  // namespace editor_create_test
