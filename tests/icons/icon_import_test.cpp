// Icons and bitmaps from outside the theme copied into a theme folder of the
// test's own, with the question dialog answered from a timer.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "shell/icon_import.h"
#include "shell/icon_resources.h"
#include "skins/skin_record.h"
#include "tests/icons/icons_fixture.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace icons_test;

namespace {

struct Outcome {
    int result = -1;
    std::string path;
    int index = 0;
    bool asked = false;
    std::string shown;   // the question's text naming the target
    std::string caption;
};

// Imports path/index answering the question with button (IDOK: Continue).
Outcome Import(const std::string& path, int index, int button = IDOK) {
    Outcome out;
    char buffer[MAX_PATH] = "";
    lstrcpynA(buffer, path.c_str(), MAX_PATH);
    out.index = index;
    DialogDriver driver(IDC_II_TARGET, [&](HWND dialog) {
        out.shown = DlgText(dialog, IDC_II_TARGET);
        char caption[128] = "";
        GetWindowTextA(dialog, caption, sizeof(caption));
        out.caption = caption;
        Click(dialog, button);
    });
    out.result = ImportIconIntoTheme(buffer, &out.index);
    out.asked = driver.Ran();
    out.path = buffer;
    return out;
}

class IconImport : public ::testing::Test {
protected:
    std::string Imports() const { return theme_.Path() + "Bars\\Icons\\Imports\\"; }
    std::string Outside(const std::string& name, const std::string& content) {
        EXPECT_TRUE(theme_.Outside().Write(name, content));
        return theme_.Outside().File(name);
    }
    ThemeFolder theme_;
};

TEST_F(IconImport, IconsFromOutsideLandInTheImportsFolder) {
    const std::string ico = ReadFileBytes(FixtureIcon("first.ico"));
    ASSERT_FALSE(ico.empty());
    const struct {
        std::string source;
        int index;
        std::string target;   // under Imports\ ; empty: nothing imported
        int index_after;
        std::string content;
    } cases[] = {
        {FixtureLibrary(), 1, "icons_1.ico", 0,
         WithZeroedImageSizes(ReadFileBytes(FixtureIcon("second.ico")))},
        {Outside("x.ico", ico), 2, "x.ico", 0, ico},
        {Outside("lib.icl", "icon library bytes"), 3, "lib.icl", 3, "icon library bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const Outcome out = Import(c.source, c.index);
        const std::string target = Imports() + c.target;
        EXPECT_EQ(1, out.result);
        EXPECT_TRUE(out.asked);
        EXPECT_EQ("Tessellar - Copy Icon To Your Theme's Folder?", out.caption);
        EXPECT_NE(std::string::npos, out.shown.find("\n\"" + target + "\"")) << out.shown;
        EXPECT_EQ(target, out.path);
        EXPECT_EQ(c.index_after, out.index);
        EXPECT_EQ(c.content, ReadFileBytes(target));
    }
}

TEST_F(IconImport, NothingHappensWithoutAnIconFromOutside) {
    ASSERT_TRUE(theme_.Outside().Write("x.ico", ReadFileBytes(FixtureIcon("first.ico"))));
    ASSERT_TRUE(theme_.Outside().Write("x.txt", "text"));
    ASSERT_TRUE(CreateDirectoryA((theme_.Path() + "Bars").c_str(), nullptr));
    const std::string inside = theme_.Path() + "Bars\\mine.ico";
    ASSERT_TRUE(WriteFileBytes(inside, ReadFileBytes(FixtureIcon("first.ico"))));
    // The theme folder found in another letter case is still the theme's.
    std::string inside_upper = inside;
    for (char& c : inside_upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    const struct {
        const char* name;
        std::string source;
        int index;
        int button;
        bool asked;
    } cases[] = {
        {"inside the theme", inside, 0, IDOK, false},
        {"inside, other case", inside_upper, 0, IDOK, false},
        {"not an icon file", theme_.Outside().File("x.txt"), 0, IDOK, false},
        {"negative index", theme_.Outside().File("x.ico"), -1, IDOK, false},
        {"no such group", FixtureLibrary(), 7, IDOK, false},
        {"damaged group", FixtureLibrary(), 2, IDOK, false},
        {"cancelled", theme_.Outside().File("x.ico"), 4, IDCANCEL, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome out = Import(c.source, c.index, c.button);
        EXPECT_EQ(0, out.result);
        EXPECT_EQ(c.asked, out.asked);
        EXPECT_EQ(c.source, out.path);
        EXPECT_EQ(c.index, out.index);
    }
    EXPECT_FALSE(FileExistsOnDisk(Imports() + "x.ico"));
    EXPECT_FALSE(FileExistsOnDisk(Imports() + "icons_7.ico"));
    EXPECT_FALSE(FileExistsOnDisk(Imports() + "icons_2.ico"));
}

// A second icon of the same name never replaces the first, which items of
// the theme may show: an identical one is reused, another one renamed.
TEST_F(IconImport, ASameNamedIconKeepsTheFirstOne) {
    const std::string first = ReadFileBytes(FixtureIcon("first.ico"));
    const std::string second = ReadFileBytes(FixtureIcon("second.ico"));
    TempFolder elsewhere, third_place;
    ASSERT_TRUE(elsewhere.Write("app.ico", second));
    ASSERT_TRUE(third_place.Write("app.ico", first));

    Outcome out = Import(Outside("app.ico", first), 0);
    ASSERT_EQ(1, out.result);
    EXPECT_EQ(Imports() + "app.ico", out.path);

    out = Import(elsewhere.File("app.ico"), 0);
    ASSERT_EQ(1, out.result);
    EXPECT_EQ(Imports() + "app_2.ico", out.path);
    EXPECT_NE(std::string::npos, out.shown.find("\"" + Imports() + "app_2.ico\""));
    EXPECT_EQ(second, ReadFileBytes(Imports() + "app_2.ico"));
    EXPECT_EQ(first, ReadFileBytes(Imports() + "app.ico"));

    out = Import(third_place.File("app.ico"), 0);   // the same bytes as the first
    ASSERT_EQ(1, out.result);
    EXPECT_EQ(Imports() + "app.ico", out.path);
    EXPECT_FALSE(FileExistsOnDisk(Imports() + "app_3.ico"));

    // The same for icons taken out of a library.
    out = Import(FixtureLibrary(), 1);
    ASSERT_EQ(1, out.result);
    out = Import(FixtureLibrary(), 1);
    EXPECT_EQ(Imports() + "icons_1.ico", out.path);
    EXPECT_FALSE(FileExistsOnDisk(Imports() + "icons_1_2.ico"));
}

// "Save As..." writes the icon under the name chosen there; a cancelled save
// dialog leaves the question open.
TEST_F(IconImport, SaveAsTakesTheChosenName) {
    const std::string source = Outside("x.ico", ReadFileBytes(FixtureIcon("first.ico")));
    const std::string chosen = Imports() + "mine.ico";
    for (const std::string& answer : {std::string(), chosen}) {
        SCOPED_TRACE(answer);
        char path[MAX_PATH] = "";
        lstrcpynA(path, source.c_str(), MAX_PATH);
        int index = 0;
        bool open_after_save_as = false;
        DialogDriver driver(IDC_II_TARGET, [&](HWND dialog) {
            Click(dialog, IDC_II_SAVE_AS);
            open_after_save_as = IsWindowVisible(dialog) != FALSE;
            if (open_after_save_as) Click(dialog, IDCANCEL);
        });
        driver.AnswerFileDialogs(answer);
        const int result = ImportIconIntoTheme(path, &index);
        const std::vector<AnsweredBox> boxes = driver.Boxes();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("Save Imported Icon As...", boxes[0].caption);
        EXPECT_EQ(answer.empty(), open_after_save_as);
        EXPECT_EQ(answer.empty() ? 0 : 1, result);
        EXPECT_EQ(answer.empty() ? source : chosen, path);
    }
    EXPECT_EQ(ReadFileBytes(FixtureIcon("first.ico")), ReadFileBytes(chosen));
    EXPECT_FALSE(FileExistsOnDisk(Imports() + "x.ico"));
}

TEST_F(IconImport, TargetsLongerThanAPathAreRefused) {
    const std::string folder = theme_.Outside().Path();
    const std::string name = std::string(MAX_PATH - 1 - folder.size() - 4, 'n') + ".ico";
    ASSERT_LE(name.size(), 255u);
    const std::string source = Outside(name, ReadFileBytes(FixtureIcon("first.ico")));
    ASSERT_EQ(MAX_PATH - 1, source.size());
    const Outcome out = Import(source, 0);
    EXPECT_EQ(0, out.result);
    EXPECT_FALSE(out.asked);
    EXPECT_EQ(source, out.path);
}

// ---- bitmaps ----------------------------------------------------------------------------------

std::string ImportBitmap(const std::string& path, int relative, SkinRecord* skin, int* result) {
    char buffer[MAX_PATH] = "";
    lstrcpynA(buffer, path.c_str(), MAX_PATH);
    *result = ImportBitmapIntoTheme(buffer, relative, skin);
    return buffer;
}

TEST_F(IconImport, BitmapsAreCopiedWithoutAQuestion) {
    TempFolder skin_folder;
    SkinRecord skin;
    lstrcpynA(skin.folder, skin_folder.Path().c_str(), sizeof(skin.folder));
    const std::string bmp = Outside("state.bmp", "BM first");
    const std::string other = Outside("state.png", "png");
    const std::string theme_bitmaps = theme_.Path() + "Bars\\Bitmaps\\Imports\\";
    const struct {
        const char* name;
        std::string source;
        int relative;
        SkinRecord* skin;
        int result;
        std::string path;
    } cases[] = {
        {"to the theme", bmp, 0, &skin, 1, theme_bitmaps + "state.bmp"},
        {"to the skin", bmp, 1, &skin, 1, skin_folder.Path() + "Imports\\state.bmp"},
        {"relative without a skin", bmp, 1, nullptr, 1, theme_bitmaps + "state.bmp"},
        {"not a bitmap", other, 0, nullptr, 0, other},
        {"already imported", theme_bitmaps + "state.bmp", 0, nullptr, 0, theme_bitmaps + "state.bmp"},
    };
    DialogDriver never(IDC_II_TARGET, [](HWND) {});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int result = -1;
        EXPECT_EQ(c.path, ImportBitmap(c.source, c.relative, c.skin, &result));
        EXPECT_EQ(c.result, result);
        if (c.result) {
            EXPECT_EQ("BM first", ReadFileBytes(c.path));
        }
    }
    // Another bitmap of the same name gets a name of its own.
    TempFolder elsewhere;
    ASSERT_TRUE(elsewhere.Write("state.bmp", "BM second"));
    int result = -1;
    EXPECT_EQ(theme_bitmaps + "state_2.bmp", ImportBitmap(elsewhere.File("state.bmp"), 0, nullptr, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ("BM first", ReadFileBytes(theme_bitmaps + "state.bmp"));
    EXPECT_FALSE(never.Ran());
}

}  // namespace
