// Saving: the automatic file name, the atomic replacement of the file, the
// position keys, the screenshot name, duplicates and the path conversions.
#include "barfile_fixture.h"
#include <cstring>
#include "model/bar_file.h"
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "util/bar_registry.h"

using namespace barfile_test;
using testing_support::FileExistsOnDisk;
using testing_support::ReadFileBytes;

namespace {

std::string g_bars_folder;
bool ThemeBarsFolder(char* buffer) {
    strcpy(buffer, g_bars_folder.c_str());
    return true;
}
bool AutoSaveOn() { return true; }

BOOL WINAPI FailingReplace(const char*, const char*, DWORD) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
}

class SaveTest : public BarFileTest {
protected:
    void SetUp() override {
        BarFileTest::SetUp();
        g_bars_folder = temp_.File("Theme\\Bars\\");
        temp_.MakeFolder("Theme");
        BarHostServices& host = GetBarHostServices();
        host.GetThemeBarsFolder = ThemeBarsFolder;
        host.IsAutoSaveBars = AutoSaveOn;
    }
    void TearDown() override {
        BarFileReplaceFunction() = saved_replace_;
        BarFileTest::TearDown();
    }
    ReplaceFileFunction saved_replace_ = BarFileReplaceFunction();
};

}  // namespace

TEST_F(SaveTest, AutomaticNameTakesTheFirstFreeNumber) {
    CVellumMenuObject* bar = NewBar();
    strcpy(bar->Title, "Start");
    ASSERT_EQ(1, bar->Save(nullptr));   // creates the Bars folder
    EXPECT_EQ(g_bars_folder + "Start.tsbar", bar->m_barFile);
    ASSERT_TRUE(temp_.Write("Theme\\Bars\\Start_1.tsbar", "[Object]\r\n"));

    CVellumMenuObject* second = NewBar();
    strcpy(second->Title, "Start");
    ASSERT_EQ(1, second->Save(const_cast<char*>("")));
    EXPECT_EQ(g_bars_folder + "Start_2.tsbar", second->m_barFile);
    EXPECT_TRUE(FileExistsOnDisk(g_bars_folder + "Start_2.tsbar"));
    EXPECT_EQ(g_bars_folder, second->m_barFolder);
}

TEST_F(SaveTest, AutomaticNamesStayInsideTheBarsFolderAndFitAPath) {
    const struct {
        const char* title;
        const char* expected;
    } cases[] = {
        {"..\\..\\evil", "_.._evil.tsbar"},
        {"../../evil", "_.._evil.tsbar"},
        {"C:\\Windows\\win", "C__Windows_win.tsbar"},
        {"a*b?c\"d<e>f|g", "a_b_c_d_e_f_g.tsbar"},
        {"..", "Bar.tsbar"},
        {"  tools. ", "tools.tsbar"},
        {"\\\\server\\share\\x", "__server_share_x.tsbar"},
    };
    for (const auto& c : cases) {
        char path[MAX_PATH];
        ASSERT_TRUE(FindFreeBarFileName(g_bars_folder.c_str(), c.title, path, sizeof(path)))
            << c.title;
        EXPECT_EQ(g_bars_folder + c.expected, path) << c.title;
    }
    // Through a real save: the file lands in the Bars folder.
    CVellumMenuObject* bar = NewBar();
    strcpy(bar->Title, "..\\..\\evil");
    ASSERT_EQ(1, bar->Save(nullptr));
    EXPECT_EQ(0u, std::string(bar->m_barFile).find(g_bars_folder));
    EXPECT_FALSE(FileExistsOnDisk(temp_.File("evil.tsbar")));

    // A title longer than a path is cut so that the whole path fits.
    std::string long_title(400, 'x');
    char path[MAX_PATH];
    ASSERT_TRUE(FindFreeBarFileName(g_bars_folder.c_str(), long_title.c_str(), path, sizeof(path)));
    EXPECT_LT(strlen(path), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(0u, std::string(path).find(g_bars_folder));
    EXPECT_NE(nullptr, strstr(path, ".tsbar"));
    strcpy(bar->Title, long_title.substr(0, kBarTitleSize - 1).c_str());
    bar->m_barFile[0] = '\0';
    ASSERT_EQ(1, bar->Save(nullptr));
    EXPECT_TRUE(FileExistsOnDisk(bar->m_barFile));
    // No room at all for a name: nothing is written.
    std::string deep = std::string("C:\\") + std::string(250, 'd') + "\\";
    EXPECT_FALSE(FindFreeBarFileName(deep.c_str(), "t", path, sizeof(path)));
}

TEST_F(SaveTest, AFailedReplaceLeavesTheOriginalFileIntact) {
    std::string original = Lines({"[Object]", "Title=Keep", "[Section1]", "Item1.Title=A",
                                  "[Section2]", "Item1.Title=B"});
    std::string path = WriteBarFile("keep.tsbar", original);
    CVellumMenuObject* bar = LoadBar(path);
    strcpy(bar->Title, "Changed");
    bar->RemoveSection(0, 1);

    BarFileReplaceFunction() = FailingReplace;
    {
        testing_support::MessageBoxWatcher watcher(IDOK);
        EXPECT_EQ(0, bar->Save(const_cast<char*>(path.c_str())));
        EXPECT_TRUE(watcher.SawCaption("Tessellar - Saving Bar"));
    }
    EXPECT_EQ(original, ReadFileBytes(path));
    EXPECT_TRUE(bar->m_modified);   // still to be saved
    // No temporary file is left behind.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(temp_.File("*.tmp").c_str(), &data);
    EXPECT_EQ(INVALID_HANDLE_VALUE, find);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);

    // With the real replacement the new file arrives whole.
    BarFileReplaceFunction() = saved_replace_;
    ASSERT_EQ(1, bar->Save(const_cast<char*>(path.c_str())));
    IniText ini = ParseIniFile(path);
    EXPECT_EQ("Changed", *ini.Find("Object")->Get("Title"));
    EXPECT_EQ("B", *ini.Find("Section1")->Get("Item1.Title"));
    EXPECT_EQ(nullptr, ini.Find("Section2"));
    EXPECT_FALSE(bar->m_modified);
}

TEST_F(SaveTest, AReadOnlyFileIsReplacedAndUnwrittenKeysDoNotSurvive) {
    std::string path = WriteBarFile(
        "ro.tsbar", Lines({"[Object]", "Title=R", "Stale=1", "[Section1]", "Item1.Title=A",
                           "Item1.Stale=2", "[Other]", "x=1"}));
    CVellumMenuObject* bar = LoadBar(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(1, bar->Save(const_cast<char*>(path.c_str())));
    IniText ini = ParseIniFile(path);
    EXPECT_EQ(nullptr, ini.Find("Object")->Get("Stale"));
    EXPECT_EQ(nullptr, ini.Find("Section1")->Get("Item1.Stale"));
    EXPECT_EQ(nullptr, ini.Find("Other"));
}

TEST_F(SaveTest, NeverSaveBarsAndBarsWithoutFileWriteNothing) {
    CVellumMenuObject* bar = NewBar();
    EXPECT_EQ(0, bar->SavePosition());
    EXPECT_EQ(0, bar->SaveTabOrder());
    EXPECT_EQ(0, bar->SaveTheme());
    bar->m_neverSave = TRUE;
    std::string path = temp_.File("never.tsbar");
    EXPECT_EQ(0, bar->Save(const_cast<char*>(path.c_str())));
    EXPECT_FALSE(FileExistsOnDisk(path));

    // Automatic names off and no window to ask from: no file.
    GetBarHostServices().IsAutoSaveBars = nullptr;
    CVellumMenuObject* windowless = new CVellumMenuObject(nullptr);
    bars_.push_back(windowless);
    EXPECT_EQ(0, windowless->Save(nullptr));
}

TEST_F(SaveTest, PositionAndTabOrderChangeSingleKeysInPlace) {
    std::string path = WriteBarFile("pos.tsbar", Lines({"[Object]", "Title=P", "Keep=yes",
                                                        "[Section1]", "Item1.Title=A"}));
    CVellumMenuObject* bar = LoadBar(path);
    bar->m_placement.LastPos = {40, 50};
    bar->m_placement.LastSize = {300, 24};
    bar->LastTabOrder = 3;
    ASSERT_EQ(1, bar->SavePosition());
    IniText ini = ParseIniFile(path);
    const IniSection* object = ini.Find("Object");
    EXPECT_EQ("yes", *object->Get("Keep"));
    EXPECT_EQ("40", *object->Get("LastPos.x"));
    EXPECT_EQ("24", *object->Get("LastSize.cy"));
    EXPECT_EQ("3", *object->Get("LastTabOrder"));
    EXPECT_EQ("0", *object->Get("bWasHiddenOnLastCloseByPopup"));
    EXPECT_EQ("", *object->Get("LastMonitor"));
    EXPECT_LT(object->IndexOf("LastTabOrder"), object->IndexOf("LastPos.x"));
    bar->LastTabOrder = 7;
    ASSERT_EQ(1, bar->SaveTabOrder());
    EXPECT_EQ("7", *ParseIniFile(path).Find("Object")->Get("LastTabOrder"));
}

TEST_F(SaveTest, ScreenshotNameAndDuplicate) {
    CVellumMenuObject* bar = NewBar();
    strcpy(bar->m_barFile, "x.tsba");   // six characters: no screenshot
    EXPECT_EQ(0, bar->SaveScreenshot(0));
    std::string file = temp_.File("x.tsbar");
    strcpy(bar->m_barFile, file.c_str());
    EXPECT_EQ(1, bar->SaveScreenshot(0));
    ASSERT_TRUE(temp_.Write("x_ss.bmp", "BM"));
    EXPECT_EQ(0, bar->SaveScreenshot(1));   // exists: left alone

    std::string path = WriteBarFile("tools.tsbar", Lines({"[Object]", "Title=Tools", "[Section1]",
                                                          "Item1.Title=A"}));
    CVellumMenuObject* tools = LoadBar(path);
    temp_.MakeFolder("Theme\\Bars");
    int before = GetBarWindowCount();
    tools->Duplicate();
    EXPECT_EQ(path, tools->m_barFile);
    EXPECT_EQ(temp_.Path(), tools->m_barFolder);
    EXPECT_FALSE(FileExistsOnDisk(g_bars_folder + "tempduplicate~~123.tsbar"));
    // The copy is the newest bar of the registry.
    ASSERT_EQ(before + 1, GetBarWindowCount());
    CVellumMenuObject* copy = LiveBarOfWindow(GetBarWindowAt(before));
    ASSERT_NE(nullptr, copy);
    bars_.push_back(copy);
    EXPECT_STREQ("Tools Copy", copy->Title);
    EXPECT_STREQ("", copy->m_barFile);
    EXPECT_STREQ("", copy->m_barFolder);
    EXPECT_TRUE(copy->m_modified);
    ASSERT_EQ(1, copy->GetSectionCount());
    EXPECT_STREQ("A", copy->m_sections[0]->m_items[0]->m_title);
    EXPECT_TRUE(testing_support::PumpUntil([copy] { return IsWindowVisible(copy->m_hWnd) != 0; },
                                           2000));
}

TEST_F(SaveTest, PathsRelativeAbsoluteAndUnc) {
    CVellumMenuObject* bar = NewBar();
    strcpy(bar->m_barFolder, "C:\\Themes\\T\\Bars\\");
    char out[MAX_PATH];
    const struct {
        const char* in;
        const char* absolute;
    } absolute_cases[] = {
        {"Icons\\a.ico", "C:\\Themes\\T\\Bars\\Icons\\a.ico"},
        {"..\\Skins\\s.tsskin", "C:\\Themes\\T\\Skins\\s.tsskin"},
        {"D:\\other\\b.ico", "D:\\other\\b.ico"},
        {"\\\\server\\share\\c.ico", "\\\\server\\share\\c.ico"},
    };
    for (const auto& c : absolute_cases) {
        EXPECT_EQ(1, bar->MakePathAbsolute(const_cast<char*>(c.in), out, nullptr)) << c.in;
        EXPECT_STREQ(c.absolute, out) << c.in;
    }
    EXPECT_EQ(0, bar->MakePathAbsolute(const_cast<char*>(""), out, nullptr));
    EXPECT_STREQ("", out);

    EXPECT_EQ(1, bar->MakePathRelative(const_cast<char*>("C:\\Themes\\T\\Bars\\Icons\\a.ico"), out,
                                       nullptr));
    EXPECT_EQ(std::string::npos, std::string(out).find(':'));
    EXPECT_NE(nullptr, strstr(out, "Icons\\a.ico"));
    EXPECT_EQ(1, bar->MakePathRelative(const_cast<char*>("D:\\x.ico"), out, nullptr));
    EXPECT_STREQ("", out);   // another drive: no relative form
    EXPECT_EQ(1, bar->MakePathRelative(const_cast<char*>("\\\\server\\share\\c.ico"), out, nullptr));
    EXPECT_STREQ("", out);

    // UNC paths are absolute for image paths too.
    char path[MAX_PATH] = "\\\\server\\share\\pic.bmp";
    bar->UpdateImagePath(0, path, 1);
    EXPECT_STREQ("\\\\server\\share\\pic.bmp", path);
    strcpy(path, "pics\\p.bmp");
    bar->UpdateImagePath(0, path, 1);
    EXPECT_STREQ("C:\\Themes\\T\\Bars\\pics\\p.bmp", path);
    bar->UpdateImagePath(1, path, 1);
    EXPECT_EQ(std::string::npos, std::string(path).find(':'));
    strcpy(path, "\\\\server\\share\\pic.bmp");
    bar->UpdateImagePath(1, path, 1);
    EXPECT_STREQ("\\\\server\\share\\pic.bmp", path);   // no relative form: unchanged
}
