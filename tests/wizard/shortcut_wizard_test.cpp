// The shortcut item's own wizard pages on real shortcut items: each way to
// run something and the folder popup, with what Next applies and where Back
// returns; bounded fields; and the shortcut's duplicate.
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include "shell/wizard_resources.h"
#include "types/shortcut_item.h"
#include "types/shortcut_wizard_resources.h"
#include "tests/support/stand_in_main_window.h"
#include "wizard_fixture.h"

using namespace wizard_test;

namespace {

constexpr int kStart = IDD_SHORTCUT_WIZ_START, kRunMethod = IDD_SHORTCUT_WIZ_RUN_METHOD,
              kFile = IDD_SHORTCUT_WIZ_FILE, kExtension = IDD_SHORTCUT_WIZ_EXTENSION,
              kRegistry = IDD_SHORTCUT_WIZ_REGISTRY, kSpecial = IDD_SHORTCUT_WIZ_SPECIAL,
              kFolder = IDD_SHORTCUT_WIZ_FOLDER, kPopup = IDD_SHORTCUT_WIZ_POPUP,
              kTitle = IDD_WIZARD_TITLE;

class ShortcutWizardTest : public WizardTest {
protected:
    CVellumMenuItem_Shortcut* Shortcut(CVellumMenuObject* bar, int index = 0) {
        return dynamic_cast<CVellumMenuItem_Shortcut*>(Item(bar, index));
    }
};

std::vector<Step> Then(std::vector<Step> steps, const std::vector<Step>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

// Start page "Run a program", then the run method's radio.
std::vector<Step> RunBy(int radio) {
    return {
        ExpectButtons(kStart, false, true),
        Do([](HWND sheet) { Click(CurrentPage(sheet), IDC_SCW_RUN); }),
        PressButton(PSBTN_NEXT),
        ExpectButtons(kRunMethod, true, true),
        Do([radio](HWND sheet) { Click(CurrentPage(sheet), radio); }),
        PressButton(PSBTN_NEXT),
    };
}

TEST_F(ShortcutWizardTest, AFileRunsWithItsShowModeAndStartFolderAndBackReturnsToItsPage) {
    CVellumMenuObject* bar = LoadBar("File", {"Item1.Type=Shortcut", "Item1.Title=New",
                                              "Item1.Folder.UsePopup=1"});
    CVellumMenuItem_Shortcut* item = Shortcut(bar);
    ASSERT_NE(nullptr, item);
    char notepad[MAX_PATH];
    GetWindowsDirectoryA(notepad, MAX_PATH);
    lstrcatA(notepad, "\\notepad.exe");
    int result = RunWizard(item, Then(RunBy(IDC_SCW_BY_FILE), {
        // Nothing typed yet: no way on.
        ExpectButtons(kFile, true, false),
        Do([&](HWND sheet) {
            HWND page = CurrentPage(sheet);
            Type(page, IDC_SCW_PATH, notepad);
            Type(page, IDC_SCW_START_IN, "C:\\");
            ChooseRow(page, IDC_SCW_SHOW, 1);   // Minimized
        }),
        ExpectButtons(kFile, true, true),
        PressButton(PSBTN_NEXT),
        ExpectButtons(kTitle, true, true),
        PressButton(PSBTN_BACK),
        ExpectButtons(kFile, true, true),
        PressButton(PSBTN_NEXT),
        WaitForPage(kTitle),
        PressButton(PSBTN_FINISH),
    }));
    EXPECT_EQ(1, result);
    EXPECT_STRCASEEQ(notepad, item->m_target);
    EXPECT_EQ(kRunMinimized, item->RunAs);
    EXPECT_STREQ("C:\\", item->m_startIn);
    EXPECT_EQ(FALSE, item->UsePopup);
    std::string file = Save(bar, "file.tsbar");
    EXPECT_EQ("1", ReadKey(file, "Section1", "Item1.Shortcut.RunAs"));
    EXPECT_EQ("0", ReadKey(file, "Section1", "Item1.Folder.UsePopup"));
    EXPECT_EQ("C:\\", ReadKey(file, "Section1", "Item1.Shortcut.StartIn"));
}

TEST_F(ShortcutWizardTest, TheExtensionPageWantsALeadingDot) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {{"txt", ".txt"}, {".txt", ".txt"}, {"Tessprobe", ".Tessprobe"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CVellumMenuObject* bar = LoadBar("Extension", {"Item1.Type=Shortcut", "Item1.Title=New"});
        CVellumMenuItem_Shortcut* item = Shortcut(bar);
        ASSERT_NE(nullptr, item);
        item->RunAs = kRunMaximized;
        lstrcpyA(item->m_startIn, "C:\\");
        int result = RunWizard(item, Then(RunBy(IDC_SCW_BY_EXTENSION), {
            ExpectButtons(kExtension, true, false),
            Do([&](HWND sheet) { Type(CurrentPage(sheet), IDC_SCW_EXTENSION, c.typed); }),
            ExpectButtons(kExtension, true, true),
            PressButton(PSBTN_NEXT),
            WaitForPage(kTitle),
            PressButton(PSBTN_FINISH),
        }));
        EXPECT_EQ(1, result);
        EXPECT_STREQ(c.stored, item->m_extension);
        // A plain run: shown normally, no start folder, no popup.
        EXPECT_EQ(kRunNormal, item->RunAs);
        EXPECT_STREQ("", item->m_startIn);
        EXPECT_EQ(FALSE, item->UsePopup);
        testing_support::CloseEveryTestBar();
    }
}

TEST_F(ShortcutWizardTest, AProgramNameFromTheRegistryIsTaken) {
    CVellumMenuObject* bar = LoadBar("Registry", {"Item1.Type=Shortcut", "Item1.Title=New"});
    CVellumMenuItem_Shortcut* item = Shortcut(bar);
    ASSERT_NE(nullptr, item);
    int result = RunWizard(item, Then(RunBy(IDC_SCW_BY_REGISTRY), {
        ExpectButtons(kRegistry, true, false),
        Do([](HWND sheet) { Type(CurrentPage(sheet), IDC_SCW_PROGRAM, "wordpad.exe"); }),
        ExpectButtons(kRegistry, true, true),
        PressButton(PSBTN_NEXT),
        WaitForPage(kTitle),
        PressButton(PSBTN_FINISH),
    }));
    EXPECT_EQ(1, result);
    std::string file = Save(bar, "registry.tsbar");
    if (item->m_programName[0]) {
        EXPECT_STREQ("wordpad.exe", item->m_programName);
        EXPECT_EQ("wordpad.exe", ReadKey(file, "Section1", "Item1.Shortcut.GetFromRegistry"));
    } else {
        // No "App Paths" entry on this system: nothing resolved, nothing kept.
        EXPECT_STREQ("", item->m_target);
    }
}

TEST_F(ShortcutWizardTest, ASpecialFolderNeedsAChoiceBeforeNext) {
    CVellumMenuObject* bar = LoadBar("Special", {"Item1.Type=Shortcut", "Item1.Title=New"});
    CVellumMenuItem_Shortcut* item = Shortcut(bar);
    ASSERT_NE(nullptr, item);
    std::string first_row;
    int result = RunWizard(item, Then(RunBy(IDC_SCW_BY_SPECIAL), {
        ExpectButtons(kSpecial, true, false),
        Do([&](HWND sheet) {
            first_row = Text(CurrentPage(sheet), IDC_SCW_SPECIAL);
            ChooseRow(CurrentPage(sheet), IDC_SCW_SPECIAL, 2);   // "Desktop"
        }),
        ExpectButtons(kSpecial, true, true),
        Do([](HWND sheet) { ChooseRow(CurrentPage(sheet), IDC_SCW_SPECIAL, 0); }),
        ExpectButtons(kSpecial, true, false),
        Do([](HWND sheet) { ChooseRow(CurrentPage(sheet), IDC_SCW_SPECIAL, 2); }),
        ExpectButtons(kSpecial, true, true),
        PressButton(PSBTN_NEXT),
        WaitForPage(kTitle),
        PressButton(PSBTN_FINISH),
    }));
    EXPECT_EQ(1, result);
    EXPECT_EQ("--Select Special Folder--", first_row);
    EXPECT_STREQ("Desktop", item->m_target);
}

TEST_F(ShortcutWizardTest, PoppingUpAFolderMakesAPopupFolderWithItsOptions) {
    // "No Icons" (-1) is shown as 16x16 and stored as 16.
    CVellumMenuObject* bar = LoadBar("Folder", {"Item1.Type=Shortcut", "Item1.Title=New",
                                                "Item1.Folder.UsePopup=0",
                                                "Item1.Folder.PopupIconSize=-1"});
    CVellumMenuItem_Shortcut* item = Shortcut(bar);
    ASSERT_NE(nullptr, item);
    item->Volitle = FALSE;
    std::string size_shown;
    int result = RunWizard(item, {
        ExpectButtons(kStart, false, true),
        Do([](HWND sheet) { Click(CurrentPage(sheet), IDC_SCW_POPUP_FOLDER); }),
        PressButton(PSBTN_NEXT),
        // No target: the path radio with an empty path.
        ExpectButtons(kFolder, true, false),
        [](HWND sheet) { return IsDlgButtonChecked(CurrentPage(sheet), IDC_SCW_FOLDER_AT) == BST_CHECKED; },
        Do([](HWND sheet) { Type(CurrentPage(sheet), IDC_SCW_PATH, "C:\\windows"); }),
        ExpectButtons(kFolder, true, true),
        Do([](HWND sheet) { Click(CurrentPage(sheet), IDC_SCW_BY_SPECIAL); }),
        ExpectButtons(kFolder, true, false),
        Do([](HWND sheet) { ChooseRow(CurrentPage(sheet), IDC_SCW_SPECIAL, 1); }),   // "Programs"
        ExpectButtons(kFolder, true, true),
        PressButton(PSBTN_NEXT),
        ExpectButtons(kPopup, true, true),
        Do([&](HWND sheet) {
            size_shown = Text(CurrentPage(sheet), IDC_SCW_ICON_SIZE);
            Click(CurrentPage(sheet), IDC_SCW_VOLATILE);
        }),
        PressButton(PSBTN_NEXT),
        WaitForPage(kTitle),
        // Back from the title page returns to the options, then to the folder.
        PressButton(PSBTN_BACK),
        WaitForPage(kPopup),
        PressButton(PSBTN_BACK),
        WaitForPage(kFolder),
        PressButton(PSBTN_BACK),
        WaitForPage(kStart),
        PressButton(PSBTN_FINISH),
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("16x16", size_shown);
    EXPECT_STREQ("Programs", item->m_target);
    EXPECT_EQ(TRUE, item->IsFolder);
    EXPECT_EQ(TRUE, item->UsePopup);
    EXPECT_EQ(TRUE, item->Volitle);
    EXPECT_EQ(16, item->PopupIconSize);
    EXPECT_EQ(1, item->IsPopup());
    std::string file = Save(bar, "folder.tsbar");
    EXPECT_EQ("Programs", ReadKey(file, "Section1", "Item1.Shortcut.File"));
    EXPECT_EQ("1", ReadKey(file, "Section1", "Item1.Folder.UsePopup"));
    EXPECT_EQ("1", ReadKey(file, "Section1", "Item1.Folder.IsFolder"));
    EXPECT_EQ("<none>", ReadKey(file, "Section1", "Item1.Folder.PopupIconSize"));   // 16
}

TEST_F(ShortcutWizardTest, OverlongFieldsAreCutToTheItemsFields) {
    struct Case {
        int radio, page, edit;
        size_t limit;
    };
    const Case cases[] = {
        {IDC_SCW_BY_FILE, kFile, IDC_SCW_PATH, kShortcutTargetSize - 1},
        {IDC_SCW_BY_EXTENSION, kExtension, IDC_SCW_EXTENSION, kShortcutExtensionSize - 1},
        {IDC_SCW_BY_REGISTRY, kRegistry, IDC_SCW_PROGRAM, kShortcutProgramNameSize - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        CVellumMenuObject* bar = LoadBar("Long", {"Item1.Type=Shortcut", "Item1.Title=New"});
        CVellumMenuItem_Shortcut* item = Shortcut(bar);
        ASSERT_NE(nullptr, item);
        int result = RunWizard(item, Then(RunBy(c.radio), {
            WaitForPage(c.page),
            // More than any field holds, past the edit's own limit.
            Do([&](HWND sheet) { Type(CurrentPage(sheet), c.edit, std::string(1500, 'a')); }),
            ExpectButtons(c.page, true, true),
            PressButton(PSBTN_NEXT),
            WaitForPage(kTitle),
            PressButton(PSBTN_FINISH),
        }));
        EXPECT_EQ(1, result);
        EXPECT_LE(strlen(item->m_target), kShortcutTargetSize - 1u);
        EXPECT_LE(strlen(item->m_extension), kShortcutExtensionSize - 1u);
        EXPECT_LE(strlen(item->m_programName), kShortcutProgramNameSize - 1u);
        if (c.page == kFile) {
            EXPECT_EQ(c.limit, strlen(item->m_target));
        }
        if (c.page == kExtension) {
            EXPECT_EQ(c.limit, strlen(item->m_extension));
        }
        testing_support::CloseEveryTestBar();
    }
}

TEST_F(ShortcutWizardTest, ASeparatorShortcutCountsAsDoneWithoutPages) {
    CVellumMenuObject* bar = LoadBar("Sep", {"Item1.Type=Shortcut", "Item1.Title=New",
                                             "Item1.Separator=1"});
    CVellumMenuItem_Shortcut* item = Shortcut(bar);
    ASSERT_NE(nullptr, item);
    ASSERT_EQ(TRUE, item->Separator);
    EXPECT_EQ(1, driver_.Run([item] { return item->DoNewItemWizzard(); }, {PressButton(PSBTN_CANCEL)}));
    EXPECT_FALSE(driver_.SawSheet());
}

TEST_F(ShortcutWizardTest, ADuplicateCopiesTheShortcutButPopsUpItsFolder) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    CVellumMenuObject* bar = LoadBar("Dup", {
        "Item1.Type=Shortcut", "Item1.Title=Windows", std::string("Item1.Shortcut.File=") + windows,
        "Item1.Shortcut.StartIn=C:\\", "Item1.Shortcut.RunAs=2", "Item1.Folder.UsePopup=0",
        "Item1.Folder.PopupText=0", "Item1.Folder.PopupIconSize=32",
        "Item1.Folder.HideLinkOverlaysFromPopup=1"});
    CVellumMenuItem_Shortcut* item = Shortcut(bar);
    ASSERT_NE(nullptr, item);
    ASSERT_EQ(FALSE, item->UsePopup);
    auto* copy = dynamic_cast<CVellumMenuItem_Shortcut*>(item->Duplicate());
    ASSERT_NE(nullptr, copy);
    ASSERT_TRUE(bar->m_sections[0]->InsertItem(item, copy));
    EXPECT_STREQ("Windows", copy->m_title);
    EXPECT_STRCASEEQ(windows, copy->m_target);
    EXPECT_STREQ("C:\\", copy->m_startIn);
    EXPECT_EQ(kRunMaximized, copy->RunAs);
    EXPECT_EQ(item->IsFolder, copy->IsFolder);
    EXPECT_EQ(TRUE, copy->m_detectedFolder);
    EXPECT_EQ(TRUE, copy->m_targetSet);
    EXPECT_EQ(FALSE, copy->PopupText);
    EXPECT_EQ(32, copy->PopupIconSize);
    EXPECT_EQ(TRUE, copy->HideLinkOverlaysFromPopup);
    EXPECT_EQ(TRUE, copy->UsePopup);   // pinned: a copy pops up its folder
    std::string file = Save(bar, "dup.tsbar");
    EXPECT_EQ("0", ReadKey(file, "Section1", "Item1.Folder.UsePopup"));
    EXPECT_EQ("1", ReadKey(file, "Section1", "Item2.Folder.UsePopup"));
    EXPECT_EQ("2", ReadKey(file, "Section1", "Item2.Shortcut.RunAs"));
}

}  // namespace
