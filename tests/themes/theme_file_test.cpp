// The theme file in-process: keys read and written, line breaks in Notes,
// the layer keys, the save question by AutoSaveOption, the program INI and
// the recent themes, alternate-style and new-theme names, Save Theme As and
// the folder a theme may write to.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "shell/app_state.h"
#include "shell/theme_dialogs.h"
#include "shell/desktop_right_click.h"
#include "shell/theme_file.h"
#include "shell/theme_menus.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"
#include "util/profile_writer.h"
#include "util/text.h"

using namespace testing_support;
using namespace theme_test;

namespace {

std::string ThemeText(const std::string& info, const std::string& rest = "") {
    return "[Theme Info]\r\n" + info + "[OpenBars]\r\n[Options]\r\n" + rest;
}

class ThemeFileTest : public ::testing::Test {
protected:
    void SetUp() override { CloseThemeBarsWithoutSaving(); }
    void TearDown() override {
        // Nothing left current: no later save reaches the removed folder.
        CurrentThemeInfo().AutoSaveOption = 2;
        CloseThemeBarsWithoutSaving();
    }
    ProgramStateGuard state_;
    ThemeRoot root_{"ThemeFileTests"};
};

}  // namespace

TEST_F(ThemeFileTest, NotesWithLineBreaksSurviveSaveAndLoad) {
    struct Case {
        const char* notes;      // as the user typed it
        const char* reloaded;   // as it comes back
    };
    const Case cases[] = {
        {"first\r\nsecond", "first\r\nsecond"},
        {"a\r\n\r\nb", "a\r\n\r\nb"},
        {"ends with a break\r\n", "ends with a break\r\n"},
        {"lone\nfeed", "lone\r\nfeed"},   // never ends the INI line early
        {"", ""},
    };
    const std::string file = root_.Write("Notes\\Notes.tstheme", ThemeText("Name=Notes\r\n"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notes);
        ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
        tess::CopyText(CurrentThemeInfo().Notes, c.notes);
        ASSERT_TRUE(SaveThemeFile(file.c_str(), 0, 0));
        const std::string raw = IniValue(file, "Theme Info", "Notes");
        EXPECT_EQ(std::string::npos, raw.find_first_of("\r\n"));
        ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
        EXPECT_STREQ(c.reloaded, CurrentThemeInfo().Notes);
        char notes[kThemeNotesSize];
        ASSERT_TRUE(ReadThemeNotes(file.c_str(), notes, sizeof(notes)));
        EXPECT_STREQ(c.reloaded, notes);
    }
}

namespace {
int g_theme_step = 0;
int g_theme_fail_at = 0;
int g_theme_replace_at = 0;   // the step that puts the theme file in place
DWORD FailNthThemeStep(tess::FileStep step) {
    ++g_theme_step;
    if (step == tess::FileStep::Replace && !g_theme_replace_at) g_theme_replace_at = g_theme_step;
    return g_theme_step == g_theme_fail_at ? ERROR_DISK_FULL : 0;
}
}  // namespace

// A theme file that cannot be written whole stays as it was; the save says so
// and answers false, and the theme stays modified and current as before.
TEST_F(ThemeFileTest, AFailedWriteKeepsTheThemeFileAndIsReported) {
    const std::string file = root_.Write("Fails\\Fails.tstheme", ThemeText("Name=Before\r\n"));
    const std::string other = root_.Write("Fails\\Other.tstheme", ThemeText("Name=Other\r\n"));
    ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
    const std::string original = ReadFileBytes(file);
    tess::WriterFaultHook() = FailNthThemeStep;
    g_theme_step = 0;
    g_theme_fail_at = 0;
    g_theme_replace_at = 0;
    ASSERT_TRUE(SaveThemeFile(other.c_str(), 0, 0));   // counts the steps of a theme write
    const int steps = g_theme_replace_at;
    ASSERT_GE(steps, 6);
    ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
    tess::CopyText(CurrentThemeInfo().Name, "After");
    for (g_theme_fail_at = 1; g_theme_fail_at <= steps; ++g_theme_fail_at) {
        SCOPED_TRACE(g_theme_fail_at);
        g_theme_step = 0;
        SetThemeModified(true);
        MessageBoxWatcher watcher(IDOK);
        EXPECT_FALSE(SaveThemeFile(file.c_str(), 0, 0));
        EXPECT_TRUE(PumpUntil([&] { return watcher.SawCaption("Tessellar - Saving Theme"); }, 2000));
        EXPECT_EQ(original, ReadFileBytes(file));
        EXPECT_TRUE(IsThemeModified());
        EXPECT_STREQ(file.c_str(), GetCurrentThemeFile());
    }
    tess::WriterFaultHook() = nullptr;
    ASSERT_TRUE(SaveThemeFile(file.c_str(), 0, 0));
    EXPECT_EQ("After", IniValue(file, "Theme Info", "Name"));
    EXPECT_FALSE(IsThemeModified());
}

TEST_F(ThemeFileTest, InfoKeysRoundTripAndSaveWritesTheCurrentVersion) {
    const std::string file = root_.Write(
        "Info\\Info.tstheme",
        ThemeText("Name=Blue Sky\r\nVersion=v2\r\nAuthor=A. Author\r\nCompany=Co\r\nEmail=a@b.c\r\n"
                  "Website=http://x\r\nNotes=one\xAF\xAFtwo\r\nAutoSaveOption=0\r\nScreenshotType=3\r\n"
                  "DisableSystrayTimeFiltering=1\r\nMarker=1\r\n",
                  "HideTaskbar=1\r\n"));
    ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
    const ThemeInfo& info = CurrentThemeInfo();
    EXPECT_STREQ("Blue Sky", info.Name);
    EXPECT_STREQ("v2", info.Version);
    EXPECT_STREQ("one\r\ntwo", info.Notes);
    EXPECT_EQ(0, info.AutoSaveOption);
    EXPECT_EQ(3, info.ScreenshotType);
    EXPECT_EQ(kOldThemeVersion, info.TSVersion);   // no TSVersion: an old theme
    EXPECT_EQ(0, info.UseLVSkin);
    EXPECT_TRUE(GetDisableSystrayTimeFiltering());
    EXPECT_TRUE(GetThemeHidesTaskbar());

    CurrentThemeInfo().ScreenshotType = 0;
    ASSERT_TRUE(SaveThemeFile(file.c_str(), 0, 0));
    const struct {
        const char* key;
        const char* value;
    } expected[] = {
        {"Name", "Blue Sky"},     {"Version", "v2"},      {"Author", "A. Author"}, {"Company", "Co"},
        {"Email", "a@b.c"},       {"Website", "http://x"}, {"AutoSaveOption", "0"}, {"TSVersion", "150"},
        {"UseLVSkin", "0"},       {"DisableSystrayTimeFiltering", "1"},
        {"ScreenshotType", "<missing>"},   // 0 is not written: an old key goes
        {"Marker", "<missing>"},           // the section is written anew
    };
    for (const auto& e : expected) EXPECT_EQ(e.value, IniValue(file, "Theme Info", e.key)) << e.key;
    EXPECT_EQ("1", IniValue(file, "Options", "HideTaskbar"));
}

TEST_F(ThemeFileTest, SkinRunningFlagFollowsTheNameWhenMissing) {
    const struct {
        const char* info;
        int expected;
    } cases[] = {
        {"Name=Night (Use Lumivane Skin)\r\n", 1},
        {"Name=Night (use lumivane skin)\r\nUseLVSkin=0\r\n", 0},
        {"Name=Night\r\n", 0},
        {"Name=Night\r\nUseLVSkin=1\r\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.info);
        const std::string file = root_.Write("Lv\\Lv.tstheme", ThemeText(c.info));
        ASSERT_TRUE(LoadThemeFile(file.c_str(), 1));
        EXPECT_EQ(c.expected, CurrentThemeInfo().UseLVSkin);
    }
}

TEST_F(ThemeFileTest, LayerKeysSkipIndexesOutsideTheTableAndRoundTrip) {
    const std::string file = root_.Write(
        "Layers\\Layers.tstheme",
        ThemeText("Name=Layers\r\nTSVersion=150\r\n",
                  "LayerVolitle1=12\r\nLayerVolitle2=3\r\nLayerVolitle3=-1\r\nLayerVolitle4=7\r\n"
                  "LayerVolitle6=9\r\nLayerHidden1=3\r\n"));
    ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
    for (int layer = 0; layer < kLayerCount; ++layer)
        EXPECT_EQ(layer == 3 || layer == 7 ? 1 : 0, IsLayerVolatile(layer)) << layer;   // 9 follows a gap
    EXPECT_TRUE(IsLayerHidden(3));
    ASSERT_TRUE(SaveThemeFile(file.c_str(), 0, 0));
    EXPECT_EQ("3", IniValue(file, "Options", "LayerVolitle1"));
    EXPECT_EQ("7", IniValue(file, "Options", "LayerVolitle2"));
    EXPECT_EQ("<missing>", IniValue(file, "Options", "LayerVolitle3"));
    EXPECT_EQ("3", IniValue(file, "Options", "LayerHidden1"));
    EXPECT_EQ("<missing>", IniValue(file, "Options", "LayerHidden2"));
}

TEST_F(ThemeFileTest, DesktopRightClickBarsRoundTripUpToTheFirstGap) {
    const std::string file = root_.Write(
        "Desk\\Desk.tstheme",
        ThemeText("Name=Desk\r\nTSVersion=150\r\n",
                  "[DesktopRightClickBars]\r\nBar#1=Main Menu\r\nBar#2=Tools\r\nBar#4=Never\r\n"));
    ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
    ASSERT_EQ(2, GetDesktopRightClickBarCount());
    EXPECT_STREQ("Tools", GetDesktopRightClickBarTitle(1));
    ASSERT_TRUE(SaveThemeFile(file.c_str(), 0, 0));
    EXPECT_EQ("Main Menu", IniValue(file, "DesktopRightClickBars", "Bar#1"));
    EXPECT_EQ("Tools", IniValue(file, "DesktopRightClickBars", "Bar#2"));
    EXPECT_EQ("<missing>", IniValue(file, "DesktopRightClickBars", "Bar#4"));
}

TEST_F(ThemeFileTest, ThemeFileDirectlyInTheProgramFolderIsRefused) {
    MessageBoxWatcher boxes(IDOK);
    const std::string file = ProgramFolder() + "ThemeFileTests-loose.tstheme";
    WriteFileBytes(file, ThemeText("Name=Loose\r\n"));
    EXPECT_FALSE(LoadThemeFile(file.c_str(), 0));
    DeleteFileA(file.c_str());
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count() == 1; }, 5000));
    EXPECT_EQ("Tessellar - Cannot Load Theme", boxes.Seen()[0].caption);
    EXPECT_EQ("The theme you selected could not be opened!\nThe .tstheme file must be located in it's theme folder",
              boxes.Seen()[0].text);
    EXPECT_STREQ("", GetCurrentThemeFile());
}

// Without a file, "Load Theme" asks for one in the open-file dialog; its
// record must be the size this build's comdlg32 takes, or no dialog shows.
TEST_F(ThemeFileTest, LoadThemeWithoutAFileOpensTheFileDialogAndCancelLoadsNothing) {
    MessageBoxWatcher dialogs(IDCANCEL);
    EXPECT_FALSE(LoadThemeFile(nullptr, 0));
    EXPECT_TRUE(dialogs.SawCaption("Load Theme"));
    EXPECT_STREQ("", GetCurrentThemeFile());
}

// AutoSaveOption decides whether closing saves: 0 always, 2 never, 1 asks
// only when something changed. A save rewrites [Theme Info], so the marker
// key goes.
TEST_F(ThemeFileTest, AutoSaveOptionDecidesTheSaveOnClose) {
    struct Case {
        int option;
        bool modified;
        int answer;           // button the user presses, 0: no question expected
        bool closes;
        bool saved;
    };
    const Case cases[] = {
        {0, false, 0, true, true},     {0, true, 0, true, true},       {2, true, 0, true, false},
        {2, false, 0, true, false},    {1, false, 0, true, true},      {1, true, IDYES, true, true},
        {1, true, IDNO, true, false},  {1, true, IDCANCEL, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << c.option << " modified " << c.modified << " answer "
                                        << c.answer);
        const std::string file = root_.Write(
            "Save\\Save.tstheme",
            ThemeText("Name=Save\r\nTSVersion=150\r\nMarker=1\r\nAutoSaveOption=" + std::to_string(c.option) +
                      "\r\n"));
        ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
        SetThemeModified(c.modified);
        MessageBoxWatcher boxes(c.answer ? c.answer : IDCANCEL);
        EXPECT_EQ(c.closes, CloseTheme());
        PumpFor(50);
        EXPECT_EQ(c.answer ? 1u : 0u, boxes.Count());
        if (c.answer) {
            EXPECT_EQ("Tessellar - Save Changes?", boxes.Seen()[0].caption);
            EXPECT_EQ("The theme you are closing has been modified.\nDo you want to save changes?", boxes.Seen()[0].text);
        }
        EXPECT_EQ(c.saved ? "<missing>" : "1", IniValue(file, "Theme Info", "Marker"));
        EXPECT_EQ(!c.closes, GetCurrentThemeFile()[0] != '\0');
        if (!c.closes) {
            // Cancel is not remembered: the next close asks again.
            boxes.SetAnswer(IDNO);
            EXPECT_TRUE(CloseTheme());
            PumpFor(50);
            EXPECT_EQ(2u, boxes.Count());
        }
    }
}

// Log-off asks through the same question: Yes or No is kept for the end of
// the session; a decision without a question counts as Yes.
TEST_F(ThemeFileTest, SaveQuestionAnswersForTheEndOfTheSession) {
    const std::string file = root_.Write("Session\\Session.tstheme",
                                         ThemeText("Name=S\r\nTSVersion=150\r\nAutoSaveOption=1\r\n"));
    ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
    int answer = 0;
    EXPECT_TRUE(ShouldSaveTheme(&answer));   // nothing changed
    EXPECT_EQ(1, answer);
    SetThemeModified(true);
    MessageBoxWatcher boxes(IDNO);
    EXPECT_FALSE(ShouldSaveTheme(&answer));
    EXPECT_EQ(-1, answer);
    EXPECT_FALSE(ShouldSaveTheme(&answer));   // kept, not asked again
    EXPECT_EQ(-1, answer);
    PumpFor(50);
    EXPECT_EQ(1u, boxes.Count());
    EXPECT_TRUE(SaveThemeBeforeClose(-1));
}

TEST_F(ThemeFileTest, LoadingWritesLastThemeAndTheRecentList) {
    const std::string older = root_.Write("Older\\Older.tstheme", ThemeText("Name=Older\r\nTSVersion=150\r\n"));
    const std::string newer = root_.Write("Newer\\Newer.tstheme", ThemeText("Name=Newer\r\nTSVersion=150\r\n"));
    ASSERT_TRUE(LoadThemeFile(older.c_str(), 0));
    ASSERT_TRUE(LoadThemeFile(newer.c_str(), 0));
    EXPECT_EQ("ThemeFileTests\\Newer\\Newer.tstheme", LastThemeValue());
    const std::vector<std::string> recent = RecentThemes();
    ASSERT_GE(recent.size(), 2u);
    EXPECT_EQ(newer, recent[0]);
    EXPECT_EQ(older, recent[1]);
    EXPECT_STREQ((root_.Path() + "Newer\\").c_str(), GetThemeFolder());
}

TEST_F(ThemeFileTest, RecentThemesMoveToTheFrontAndTheOldestDrops) {
    PushRecentThemes(nullptr, "C:\\A.tstheme");
    PushRecentThemes(nullptr, "C:\\B.tstheme");
    PushRecentThemes(nullptr, "C:\\C.tstheme");
    EXPECT_EQ((std::vector<std::string>{"C:\\C.tstheme", "C:\\B.tstheme", "C:\\A.tstheme"}), RecentThemes());
    PushRecentThemes(nullptr, "c:\\b.tstheme");   // found without case, stored spelling kept
    EXPECT_EQ((std::vector<std::string>{"C:\\B.tstheme", "C:\\C.tstheme", "C:\\A.tstheme"}), RecentThemes());
    for (int i = 0; i < 10; ++i) PushRecentThemes(nullptr, ("C:\\N" + std::to_string(i) + ".tstheme").c_str());
    const std::vector<std::string> recent = RecentThemes();
    ASSERT_EQ(10u, recent.size());
    EXPECT_EQ("C:\\N9.tstheme", recent[0]);
    EXPECT_EQ("C:\\N0.tstheme", recent[9]);   // A, B and C made way
    ClearRecentThemeList();
    EXPECT_TRUE(RecentThemes().empty());
}

TEST_F(ThemeFileTest, AlternateStyleNamesAndFiles) {
    char message[400];
    const struct {
        const char* name;
        const char* refusal;   // null: accepted
    } cases[] = {
        {"", "Please enter a short descriptive title for your alternate-style theme!"},
        {"night", "Please enter a name for the alternate style different from the original!"},
        {"Night/Day", "The theme name cannot intially contain the characters:\n\\ / : * ? \" < > |"},
        {"Dusk", nullptr},
    };
    for (const auto& c : cases) {
        const char* refusal = CheckAlternateStyleName(c.name, "Night", message, sizeof(message));
        if (c.refusal)
            EXPECT_STREQ(c.refusal, refusal) << c.name;
        else
            EXPECT_EQ(nullptr, refusal) << c.name;
    }
    EXPECT_STREQ("Please enter a name for your theme less than 255 characters!",
                 CheckAlternateStyleName(std::string(256, 'x').c_str(), "Night", message, sizeof(message)));
    const std::string folder = root_.Path() + "Styles\\";
    char file[MAX_PATH];
    ASSERT_TRUE(MakeAlternateStyleFile(folder.c_str(), "Dusk", file, sizeof(file)));
    EXPECT_EQ(folder + "Dusk.tstheme", file);
    root_.Write("Styles\\Dusk.tstheme", "x");
    ASSERT_TRUE(MakeAlternateStyleFile(folder.c_str(), "Dusk", file, sizeof(file)));
    EXPECT_EQ(folder + "Dusk_1.tstheme", file);
}

TEST_F(ThemeFileTest, NewNamePromptsRefuseWhatCannotBeAFolder) {
    char message[400];
    const struct {
        NamePrompt kind;
        std::string name;
        const char* refusal;
    } cases[] = {
        {NamePrompt::NewTheme, "", "Please enter a short title for your new theme!"},
        {NamePrompt::NewTheme, "a:b", "The theme name cannot intially contain the characters:\n\\ / : * ? \" < > |"},
        {NamePrompt::NewTheme, std::string(256, 'n'), "Please enter a name for your theme less than 255 characters!"},
        {NamePrompt::NewTheme, "Evening", nullptr},
        {NamePrompt::Folder, "", "Please enter a folder name!"},
        {NamePrompt::Folder, "x|y", "The folder name cannot contain the characters:\n\\ / : * ? \" < > |"},
        {NamePrompt::Template, "t?", "The template's name cannot contain the characters:\n\\ / : * ? \" < > |"},
        {NamePrompt::Template, std::string(255, 't'), nullptr},
    };
    for (const auto& c : cases) {
        const char* refusal = CheckNewName(c.kind, c.name.c_str(), message, sizeof(message));
        if (c.refusal)
            EXPECT_STREQ(c.refusal, refusal) << c.name;
        else
            EXPECT_EQ(nullptr, refusal) << c.name;
    }
}

TEST_F(ThemeFileTest, NewThemeFolderHoldsItsSubfoldersAndRefusesAnExistingName) {
    char theme_file[MAX_PATH];
    ASSERT_TRUE(CreateThemeFolders(root_.Path().c_str(), "Fresh", theme_file, sizeof(theme_file)));
    EXPECT_EQ(root_.Path() + "Fresh\\Fresh.tstheme", theme_file);
    for (const char* sub : {"Bars", "Bars\\Icons", "Bars\\Bitmaps", "Bars\\Templates", "Skins"})
        EXPECT_TRUE(PathIsDirectoryA((root_.Path() + "Fresh\\" + sub).c_str())) << sub;
    MessageBoxWatcher boxes(IDOK);
    EXPECT_FALSE(CreateThemeFolders(root_.Path().c_str(), "Fresh", theme_file, sizeof(theme_file)));
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count() == 1; }, 5000));
    EXPECT_EQ("Tessellar - Start New Theme", boxes.Seen()[0].caption);
    EXPECT_EQ("A theme by this name already exists. Please enter a new name!", boxes.Seen()[0].text);
}

TEST_F(ThemeFileTest, SaveThemeAsKeepsTheOriginalAndOpensTheCopy) {
    const std::string file = root_.Write("Orig\\Orig.tstheme",
                                         ThemeText("Name=Orig\r\nTSVersion=150\r\nMarker=1\r\nAutoSaveOption=1\r\n"));
    root_.Write("Orig\\Bars\\keep.txt", "kept");
    ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
    ASSERT_TRUE(SaveThemeAs("Orig Copy", "Orig Renamed"));
    // The original folder keeps its last saved state; the copy the current one.
    EXPECT_EQ("1", IniValue(file, "Theme Info", "Marker"));
    EXPECT_EQ("Orig", IniValue(file, "Theme Info", "Name"));
    const std::string copy = root_.Path() + "Orig Copy\\Orig.tstheme";
    EXPECT_EQ("Orig Renamed", IniValue(copy, "Theme Info", "Name"));
    EXPECT_EQ("<missing>", IniValue(copy, "Theme Info", "Marker"));
    EXPECT_EQ("kept", root_.Read("Orig Copy\\Bars\\keep.txt"));
    EXPECT_EQ("kept", root_.Read("Orig\\Bars\\keep.txt"));
    EXPECT_FALSE(root_.Exists("TS-TempFolderForSaveAs!~~"));
    EXPECT_STREQ(copy.c_str(), GetCurrentThemeFile());
    // A target that exists is refused and nothing changes.
    MessageBoxWatcher boxes(IDOK);
    EXPECT_FALSE(SaveThemeAs("Orig", "Other"));
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count() == 1; }, 5000));
    EXPECT_EQ("Tessellar - Save Theme As...", boxes.Seen()[0].caption);
    EXPECT_STREQ(copy.c_str(), GetCurrentThemeFile());
    EXPECT_EQ("Orig", IniValue(file, "Theme Info", "Name"));
}

TEST_F(ThemeFileTest, FindThemeFilePrefersTheFolderItselfOverItsSubfolders) {
    root_.Write("Find\\A\\deep.tstheme", "x");
    char found[MAX_PATH];
    ASSERT_TRUE(FindThemeFile((root_.Path() + "Find").c_str(), found, sizeof(found)));
    EXPECT_EQ(root_.Path() + "Find\\A\\deep.tstheme", found);
    root_.Write("Find\\top.tstheme", "x");
    ASSERT_TRUE(FindThemeFile((root_.Path() + "Find").c_str(), found, sizeof(found)));
    EXPECT_EQ(root_.Path() + "Find\\top.tstheme", found);
    EXPECT_FALSE(FindThemeFile((root_.Path() + "Nothing").c_str(), found, sizeof(found)));
}

// Bars are written only inside the theme folder (for old themes: inside
// the program folder).
TEST_F(ThemeFileTest, ThemeWritesOnlyInsideItsOwnFolder) {
    const std::string file = root_.Write("Area\\Area.tstheme", ThemeText("Name=Area\r\nTSVersion=150\r\n"));
    ASSERT_TRUE(LoadThemeFile(file.c_str(), 0));
    const std::string theme = root_.Path() + "Area\\";
    const struct {
        std::string path;
        bool inside;
    } cases[] = {
        {theme + "Bars\\a.tsbar", true},
        {theme + "Bars\\..\\b.tsbar", true},
        {theme + "..\\Other\\c.tsbar", false},
        {theme + "Bars\\..\\..\\d.tsbar", false},
        {root_.Path() + "AreaX\\e.tsbar", false},   // a sibling sharing the name's start
        {"C:\\windows\\f.tsbar", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.inside, IsInsideThemeWriteArea(c.path.c_str())) << c.path;
    CurrentThemeInfo().TSVersion = kOldThemeVersion;
    EXPECT_TRUE(IsInsideThemeWriteArea((theme + "..\\Other\\c.tsbar").c_str()));
    EXPECT_FALSE(IsInsideThemeWriteArea("C:\\windows\\f.tsbar"));
}

// Another style of the same theme: the old style's theme file is written
// (only the theme file) and the new one becomes current with its options.
TEST_F(ThemeFileTest, SwitchingStyleSavesTheOldFileAndTakesTheNewOptions) {
    const std::string day = root_.Write("Styled\\Day.tstheme",
                                        ThemeText("Name=Day\r\nTSVersion=150\r\nMarker=1\r\nAutoSaveOption=1\r\n"));
    const std::string night = root_.Write("Styled\\Night.tstheme",
                                          ThemeText("Name=Night\r\nTSVersion=150\r\nAutoSaveOption=0\r\n",
                                                    "LayerVolitle1=4\r\n"));
    ASSERT_TRUE(LoadThemeFile(day.c_str(), 0));
    EXPECT_TRUE(ThemeHasStyles());   // two theme files in the folder
    EXPECT_FALSE(SwitchThemeStyle(""));
    ASSERT_TRUE(SwitchThemeStyle(night.c_str()));
    EXPECT_EQ("<missing>", IniValue(day, "Theme Info", "Marker"));
    EXPECT_STREQ(night.c_str(), GetCurrentThemeFile());
    EXPECT_STREQ("Night", CurrentThemeInfo().Name);
    EXPECT_EQ(0, CurrentThemeInfo().AutoSaveOption);
    EXPECT_EQ(1, IsLayerVolatile(4));
}
