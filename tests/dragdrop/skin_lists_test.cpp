// Skin and theme-folder combo boxes on a real combo box, and the import of
// a skin from another theme into this theme's folder, read back from disk.
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "shell/app_state.h"
#include "shell/skin_lists.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::TempFolder;

class SkinListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = testing_support::CreatePlainWindow("SkinListsTestParent");
        combo_ = CreateWindowA("COMBOBOX", "", WS_CHILD | CBS_DROPDOWN | WS_VSCROLL, 0, 0, 200,
                               200, parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, combo_);
    }
    void TearDown() override { DestroyWindow(parent_); }

    std::vector<std::string> Entries() const {
        std::vector<std::string> out;
        int count = static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::string text(SendMessageA(combo_, CB_GETLBTEXTLEN, i, 0) + 1, '\0');
            SendMessageA(combo_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
            text.resize(strlen(text.c_str()));
            out.push_back(text);
        }
        return out;
    }
    std::string Selected() const {
        char path[MAX_PATH] = "";
        return GetSelectedSkinPath(combo_, path, sizeof(path)) ? path : "<none>";
    }

    HWND parent_ = nullptr;
    HWND combo_ = nullptr;
    TempFolder files_;
};

std::string Entry(const std::string& name, const std::string& path) {
    return name + kSkinPathMarker + path;
}

// The names of a folder as the file system lists them (without "." and "..").
std::vector<std::string> Listed(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) names.push_back(fd.cFileName);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return names;
}

TEST_F(SkinListsTest, SkinFilesOfAFolderAndItsSubfoldersInListingOrder) {
    ASSERT_TRUE(files_.MakeFolder("skins"));
    ASSERT_TRUE(files_.MakeFolder("skins\\sub"));
    ASSERT_TRUE(files_.Write("skins\\one.tsskin", "[General]\r\nSkinName=First Skin\r\n"));
    ASSERT_TRUE(files_.Write("skins\\notes.txt", "[General]\r\nSkinName=Not a skin\r\n"));
    ASSERT_TRUE(files_.Write("skins\\sub\\two.TSSKIN", "[General]\r\nItemHeight=20\r\n"));
    const std::string folder = files_.File("skins\\");
    std::string selected = folder + "SUB\\two.tsskin";

    ASSERT_EQ(1, FillSkinFileCombo(combo_, folder.c_str(), selected.c_str()));

    // The sub-folder's skin comes where the sub-folder is listed.
    std::vector<std::string> expected;
    for (const std::string& name : Listed(folder)) {
        if (name == "one.tsskin") expected.push_back(Entry("First Skin", folder + "one.tsskin"));
        if (name == "sub") expected.push_back(Entry("", folder + "sub\\two.TSSKIN"));
    }
    EXPECT_EQ(expected, Entries());
    EXPECT_EQ(folder + "sub\\two.TSSKIN", Selected());
}

TEST_F(SkinListsTest, MissingComboOrFolderFillsNothing) {
    EXPECT_EQ(0, FillSkinFileCombo(nullptr, files_.Path().c_str(), nullptr));
    EXPECT_EQ(0, FillSkinFileCombo(combo_, nullptr, nullptr));
    EXPECT_EQ(0, FillSkinFileCombo(combo_, "", nullptr));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SkinListsTest, DeepFoldersEndAtTheDepthLimit) {
    std::string folder = "deep\\";
    ASSERT_TRUE(files_.MakeFolder("deep"));
    for (int i = 0; i <= kSkinListMaxDepth + 1; ++i) {
        ASSERT_TRUE(files_.Write(folder + "s.tsskin", "[General]\r\nSkinName=L" + std::to_string(i) + "\r\n"));
        folder += "d\\";
        ASSERT_TRUE(files_.MakeFolder(folder.substr(0, folder.size() - 1)));
    }
    FillSkinFileCombo(combo_, files_.File("deep\\").c_str(), nullptr);
    std::vector<std::string> names;
    for (const std::string& entry : Entries()) names.push_back(entry.substr(0, entry.find(' ')));
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected;
    for (int i = 0; i <= kSkinListMaxDepth; ++i) expected.push_back("L" + std::to_string(i));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);
}

TEST_F(SkinListsTest, LumivanePartsAreNamedInTheirFolderOnly) {
    struct Case {
        const char* skin_name;
        const char* in_lumivane;
    } cases[] = {
        {"Aqua StartPanel - Right", "LV3 Skin: Right Start Panel (Aqua)"},
        {"Aqua StartPanel - Left", "LV3 Skin: Left Start Panel (Aqua)"},
        {"Aqua StartPanel - User Pane", "LV3 Skin: Top Start Panel (Aqua)"},
        {"Aqua StartPanel - Bottom", "LV3 Skin: Bottom Start Panel (Aqua)"},
        {"Blue Sky Horiz. Bar", "LV3 Skin: Horiz. Bar (Blue Sky)"},
        {"Blue Vert. Bar", "LV3 Skin: Vert. Bar (Blue)"},
        {"Blue Menus", "LV3 Skin: Menus (Blue)"},
        {"Plain Name", "Plain Name"},
    };
    const std::string lv = "Skins\\LumivaneSkins\\CurrentSkin\\";
    ASSERT_TRUE(files_.MakeFolder("Skins"));
    ASSERT_TRUE(files_.MakeFolder("Skins\\LumivaneSkins"));
    ASSERT_TRUE(files_.MakeFolder("Skins\\LumivaneSkins\\CurrentSkin"));
    ASSERT_TRUE(files_.MakeFolder("other"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.skin_name);
        const std::string text = std::string("[General]\r\nSkinName=") + c.skin_name + "\r\n";
        ASSERT_TRUE(files_.Write(lv + "x.tsskin", text));
        ASSERT_TRUE(files_.Write("other\\x.tsskin", text));
        SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
        FillSkinFileCombo(combo_, files_.File(lv).c_str(), nullptr);
        FillSkinFileCombo(combo_, files_.File("other\\").c_str(), nullptr);
        EXPECT_EQ((std::vector<std::string>{Entry(c.in_lumivane, files_.File(lv + "x.tsskin")),
                                            Entry(c.skin_name, files_.File("other\\x.tsskin"))}),
                  Entries());
    }
}

TEST_F(SkinListsTest, SelectedPathIsReadBackByTheMarker) {
    struct Case {
        std::string text;
        bool select;
        std::string path;
    } cases[] = {
        {Entry("Skin", "C:\\skins\\a.tsskin"), true, "C:\\skins\\a.tsskin"},
        {Entry("", "C:\\b.tsskin"), true, "C:\\b.tsskin"},
        {"Typed by hand C:\\c.tsskin", true, "<none>"},
        {"Skin!$!Skin:C:\\d.tsskin", true, "<none>"},   // the blanks are part of the marker
        {Entry("Skin", "C:\\e.tsskin"), false, "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
        SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.text.c_str()));
        if (c.select) SendMessageA(combo_, CB_SETCURSEL, 0, 0);
        EXPECT_EQ(c.path, Selected());
    }
}

TEST_F(SkinListsTest, FileExtensionIsTheTextAfterTheLastDot) {
    struct Case {
        const char* name;
        bool found;
        const char* extension;
    } cases[] = {
        {"skin.tsskin", true, "tsskin"},
        {"a.b.BMP", true, "BMP"},
        {"C:\\folder.x\\file", true, "x\\file"},
        {"noextension", false, ""},
        {"trailing.", false, ""},
    };
    for (const Case& c : cases) {
        char out[MAX_PATH] = "junk";
        EXPECT_EQ(c.found, GetFileExtension(c.name, out, sizeof(out))) << c.name;
        EXPECT_STREQ(c.extension, out) << c.name;
    }
}

TEST_F(SkinListsTest, ThemeFoldersAreNamedByTheirTheme) {
    ASSERT_TRUE(files_.MakeFolder("themes"));
    ASSERT_TRUE(files_.MakeFolder("themes\\Named"));
    ASSERT_TRUE(files_.MakeFolder("themes\\Named\\Deeper"));
    ASSERT_TRUE(files_.Write("themes\\Named\\Deeper\\x.tstheme", "[Theme Info]\r\nName=Evening\r\n"));
    ASSERT_TRUE(files_.MakeFolder("themes\\Bare"));
    ASSERT_TRUE(files_.Write("themes\\loose.tstheme", "[Theme Info]\r\nName=Loose\r\n"));
    const std::string root = files_.File("themes\\");
    const std::string selected = "skin in " + root + "Bare\\skin.tsskin";

    ASSERT_EQ(1, FillThemeFolderCombo(combo_, root.c_str(), selected.c_str()));

    std::vector<std::string> expected;
    for (const std::string& name : Listed(root)) {
        if (name == "Named") expected.push_back(Entry("Evening", root + "Named\\"));
        if (name == "Bare") expected.push_back(Entry("\"Bare\"", root + "Bare\\"));
    }
    EXPECT_EQ(expected, Entries());
    EXPECT_EQ(root + "Bare\\", Selected());
}

// ---- import -------------------------------------------------------------------------------------

class SkinImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(files_.MakeFolder("theme"));
        ASSERT_TRUE(files_.Write("theme\\t.tstheme", "[Theme Info]\r\nName=T\r\n"));
        ASSERT_TRUE(SetCurrentThemeFile(files_.File("theme\\t.tstheme").c_str()));
        ASSERT_EQ(files_.File("theme\\"), GetThemeFolder());
        for (const char* f : {"other", "other\\Skins", "other\\Skins\\Glass", "other\\Skins\\Glass\\img"})
            ASSERT_TRUE(files_.MakeFolder(f));
        skin_ = files_.File("other\\Skins\\Glass\\glass.tsskin");
        imported_ = files_.File("theme\\Skins\\Imported\\Glass\\");
    }
    void TearDown() override { SetCurrentThemeFile(""); }

    std::string Skin(const std::string& name) const { return files_.File("other\\Skins\\Glass\\" + name); }

    TempFolder files_;
    std::string skin_;
    std::string imported_;
};

TEST_F(SkinImportTest, SkinAndEveryBitmapKeyAreCopiedIntoTheImportFolder) {
    ASSERT_TRUE(files_.Write("other\\Skins\\Glass\\glass.tsskin",
                             "[General]\r\nSkinName=Glass\r\nMenuExpanderImage=exp.bmp\r\n"
                             "Panorel_Background=back.bmp\r\n"
                             "[NormalItemSkin]\r\nhBitmap=img\\normal.bmp\r\n"
                             "[MouseoverItemSkin]\r\nhBitmap=img\\alpha.bmp\r\n"
                             "[LeftArrow]\r\nhBitmap=arrow.bmp\r\nhBitmapGrayed=grayed.bmp\r\n"
                             "hBitmapSelected=selected.bmp\r\nhBitmapMouseover=over.bmp\r\n"
                             "[SectionSkin]\r\nhBitmap=missing.bmp\r\n"));
    for (const char* f : {"img\\normal.bmp", "img\\alpha.tga", "arrow.bmp", "grayed.bmp",
                          "selected.bmp", "over.bmp", "exp.bmp", "back.bmp"})
        ASSERT_TRUE(testing_support::WriteFileBytes(Skin(f), std::string("bits of ") + f));
    char path[MAX_PATH];
    lstrcpynA(path, skin_.c_str(), sizeof(path));

    ASSERT_EQ(1, ImportSkinFile(path, sizeof(path)));

    EXPECT_EQ(imported_ + "glass.tsskin", std::string(path));
    EXPECT_EQ(testing_support::ReadFileBytes(skin_), testing_support::ReadFileBytes(path));
    for (const char* f : {"img\\normal.bmp", "img\\alpha.tga", "arrow.bmp", "grayed.bmp",
                          "selected.bmp", "over.bmp", "exp.bmp", "back.bmp"})
        EXPECT_EQ(std::string("bits of ") + f, testing_support::ReadFileBytes(imported_ + f)) << f;
    EXPECT_FALSE(testing_support::FileExistsOnDisk(imported_ + "missing.bmp"));
}

TEST_F(SkinImportTest, ASecondImportOverwritesTheFirst) {
    ASSERT_TRUE(files_.Write("other\\Skins\\Glass\\glass.tsskin",
                             "[NormalItemSkin]\r\nhBitmap=img\\normal.bmp\r\n"));
    ASSERT_TRUE(testing_support::WriteFileBytes(Skin("img\\normal.bmp"), "old"));
    char path[MAX_PATH];
    lstrcpynA(path, skin_.c_str(), sizeof(path));
    ASSERT_EQ(1, ImportSkinFile(path, sizeof(path)));

    ASSERT_TRUE(files_.Write("other\\Skins\\Glass\\glass.tsskin",
                             "[General]\r\nSkinName=New\r\n[NormalItemSkin]\r\nhBitmap=img\\normal.bmp\r\n"));
    ASSERT_TRUE(testing_support::WriteFileBytes(Skin("img\\normal.bmp"), "new"));
    lstrcpynA(path, skin_.c_str(), sizeof(path));
    ASSERT_EQ(1, ImportSkinFile(path, sizeof(path)));

    EXPECT_EQ(testing_support::ReadFileBytes(skin_), testing_support::ReadFileBytes(path));
    EXPECT_EQ("new", testing_support::ReadFileBytes(imported_ + "img\\normal.bmp"));
}

TEST_F(SkinImportTest, NamesThatClimbOutOfTheImportedSkinsCopyNothing) {
    const std::string outside = files_.File("x.bmp");
    ASSERT_TRUE(testing_support::WriteFileBytes(outside, "outside"));
    ASSERT_TRUE(testing_support::WriteFileBytes(files_.File("other\\x.bmp"), "two up"));
    ASSERT_TRUE(files_.Write("other\\Skins\\Glass\\glass.tsskin",
                             "[NormalItemSkin]\r\nhBitmap=..\\..\\x.bmp\r\n"
                             "[MouseoverItemSkin]\r\nhBitmap=" + outside + "\r\n"
                             "[SelectedItemSkin]\r\nhBitmap=..\\..\\..\\..\\..\\..\\..\\..\\x.bmp\r\n"));
    char path[MAX_PATH];
    lstrcpynA(path, skin_.c_str(), sizeof(path));

    ASSERT_EQ(1, ImportSkinFile(path, sizeof(path)));

    EXPECT_EQ(imported_ + "glass.tsskin", std::string(path));
    EXPECT_EQ("outside", testing_support::ReadFileBytes(outside));
    EXPECT_FALSE(testing_support::FileExistsOnDisk(files_.File("theme\\Skins\\x.bmp")));
    EXPECT_FALSE(testing_support::FileExistsOnDisk(files_.File("theme\\x.bmp")));
    // Only the skin itself arrived.
    EXPECT_EQ((std::vector<std::string>{"glass.tsskin"}), Listed(imported_));
    EXPECT_EQ((std::vector<std::string>{"Glass"}), Listed(files_.File("theme\\Skins\\Imported\\")));
}

TEST_F(SkinImportTest, AFailedCopyKeepsTheOriginalPath) {
    ASSERT_TRUE(files_.Write("other\\Skins\\Glass\\glass.tsskin",
                             "[NormalItemSkin]\r\nhBitmap=img\\normal.bmp\r\n"));
    ASSERT_TRUE(testing_support::WriteFileBytes(Skin("img\\normal.bmp"), "bits"));
    char path[MAX_PATH];
    lstrcpynA(path, skin_.c_str(), sizeof(path));
    ASSERT_EQ(1, ImportSkinFile(path, sizeof(path)));

    // The earlier copy of the bitmap is held open without sharing: copying over it fails.
    HANDLE held = CreateFileA((imported_ + "img\\normal.bmp").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    lstrcpynA(path, skin_.c_str(), sizeof(path));
    EXPECT_EQ(0, ImportSkinFile(path, sizeof(path)));
    EXPECT_EQ(skin_, std::string(path));
    CloseHandle(held);

    char out[MAX_PATH] = "junk";
    EXPECT_FALSE(ImportSkinFileForBars(skin_.c_str(), out, 0));
}

TEST(LastSkinSetting, IsKeptInTheSettingsKey) {
    ASSERT_TRUE(WriteLastSkinSetting("C:\\Themes\\Skins\\a.tsskin"));
    char out[MAX_PATH] = "";
    ASSERT_TRUE(ReadLastSkinSetting(out, sizeof(out)));
    EXPECT_STREQ("C:\\Themes\\Skins\\a.tsskin", out);
    ASSERT_TRUE(SaveLastSkinSetting("C:\\b.tsskin"));
    ASSERT_TRUE(ReadLastSkinSetting(out, sizeof(out)));
    EXPECT_STREQ("C:\\b.tsskin", out);
    // A path longer than the setting holds is refused, not cut.
    EXPECT_FALSE(WriteLastSkinSetting(std::string(300, 'a').c_str()));
    ASSERT_TRUE(ReadLastSkinSetting(out, sizeof(out)));
    EXPECT_STREQ("C:\\b.tsskin", out);
}

}  // namespace
