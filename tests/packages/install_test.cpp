// Installing packages opened as documents (and handed over by a second
// start): where the theme lands, the name-conflict answers, expansion packs,
// names that would reach the program folder itself, hostile members and
// "LastTSPackTheme" values, and plug-in libraries that need the user's Yes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "shell/app_state.h"
#include "shell/startup.h"
#include "shell/theme_documents.h"
#include "shell/theme_file.h"
#include "shell/theme_packages.h"
#include "tests/packages/package_fixture.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace package_test;
using namespace testing_support;

namespace {

using Members = std::vector<std::pair<std::string, std::string>>;

constexpr char kConflictCaption[] = "Tessellar - Theme Unpacking Name Conflict";
constexpr int kRenameButton = 1224;
constexpr int kNameEdit = 1206;

std::string Theme(const std::string& name) {
    return "[Theme Info]\r\nName=" + name + "\r\nTSVersion=150\r\nAutoSaveOption=2\r\n[OpenBars]\r\n";
}

std::string Info(const std::string& last, bool expansion = false) {
    return "[Settings]\r\nLastTSPackTheme=" + last + "\r\n" + (expansion ? "IsExpansionPack=1\r\n" : "");
}

class InstallPackage : public ::testing::Test {
protected:
    void SetUp() override {
        // Installing replaces folders through the recycle bin: never the user's.
        ASSERT_FALSE(TrashFiles().empty()) << "XDG_DATA_HOME must name a trash folder of the test run";
        ProgramMainWindow();
        ASSERT_TRUE(LoadThemeFile(BaseTheme().c_str(), 0));
        Cleanup();
    }
    void TearDown() override {
        LoadThemeFile(BaseTheme().c_str(), 0);
        Cleanup();
    }
    void Cleanup() {
        for (const std::string& name : made_) RemoveTree(ProgramFolder() + name);
        RemoveExtractionFolders();
    }
    void RemoveExtractionFolders() {
        for (const std::string& name : EntriesStartingWith(ProgramFolder(), "~TSTMP")) RemoveTree(ProgramFolder() + name);
    }
    // A package in a temporary folder, its folders removed from the
    // program folder at the end.
    std::string Package(const std::string& file, const Members& members, std::vector<std::string> installs) {
        for (auto& i : installs) {
            RemoveTree(ProgramFolder() + i);   // left by an earlier run that was cut short
            made_.push_back(i);
        }
        const std::string path = packages_.File(file);
        EXPECT_TRUE(WriteRawZip(path, members));
        return path;
    }
    std::string Installed(const std::string& relative) { return ProgramFolder() + relative; }
    bool Open(const std::string& package) { return OpenDocument(package.c_str()); }
    std::string Current() { return GetCurrentThemeFile(); }

    TempFolder packages_;
    std::vector<std::string> made_;
};

}  // namespace

TEST_F(InstallPackage, ThemeLandsInAFolderOfItsOwn) {
    struct Case {
        const char* file;
        Members members;
        const char* theme;   // the theme open afterwards, relative to the program folder
    };
    const Case cases[] = {
        // At the top of the archive: a folder named after the package.
        {"PkgFlat.tspack", {{"Flat.tstheme", Theme("Flat")}, {"Bars/", ""}}, "PkgFlat\\Flat.tstheme"},
        // A ".zip" installs like a ".tspack"; the info file names the style.
        {"whatever.zip",
         {{"PkgZipped/", ""},
          {"PkgZipped/A.tstheme", Theme("A")},
          {"PkgZipped/B.tstheme", Theme("B")},
          {"PkgZipped/TSPACK-LASTTHEMEINFO.ini", Info("PkgZipped\\B.tstheme")}},
         "PkgZipped\\B.tstheme"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string theme_folder = std::string(c.theme).substr(0, std::string(c.theme).find('\\'));
        const std::string package = Package(c.file, c.members, {theme_folder});
        DialogDriver driver({});
        Open(package);
        EXPECT_TRUE(driver.Seen().empty()) << driver.Describe();
        EXPECT_EQ(Installed(c.theme), Current());
        EXPECT_FALSE(PathFileExistsA(Installed(theme_folder + "\\TSPACK-LASTTHEMEINFO.ini").c_str()));
        EXPECT_TRUE(EntriesStartingWith(ProgramFolder(), "~TSTMP").empty());
    }
}

TEST_F(InstallPackage, ConflictAnswers) {
    const Members members = {{"PkgClash/", ""},
                             {"PkgClash/New.tstheme", Theme("New")},
                             {"PkgClash/Style2.tstheme", Theme("Style2")},
                             {"PkgClash/TSPACK-LASTTHEMEINFO.ini", Info("PkgClash\\Style2.tstheme")}};
    const std::string package = Package("clash.tspack", members, {"PkgClash", "PkgClash2"});
    auto make_existing = [&] {
        RemoveTree(Installed("PkgClash"));
        CreateDirectoryA(Installed("PkgClash").c_str(), nullptr);
        WriteFileBytes(Installed("PkgClash\\Old.tstheme"), Theme("Old"));
    };

    // Rename: installed beside the old theme, the named style under the new name.
    make_existing();
    {
        DialogDriver driver({{kConflictCaption, {}, nullptr, kRenameButton},
                             {"Folder Name", {{kNameEdit, "PkgClash2"}}, nullptr, IDOK}});
        Open(package);
        EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
    }
    EXPECT_EQ(Installed("PkgClash2\\Style2.tstheme"), Current());
    EXPECT_TRUE(PathFileExistsA(Installed("PkgClash\\Old.tstheme").c_str()));
    EXPECT_FALSE(PathFileExistsA(Installed("PkgClash\\New.tstheme").c_str()));
    EXPECT_TRUE(EntriesStartingWith(ProgramFolder(), "~TSTMP").empty());

    // No: the extraction folder goes, the previous theme comes back.
    ASSERT_TRUE(LoadThemeFile(BaseTheme().c_str(), 0));
    {
        DialogDriver driver({{kConflictCaption, {}, nullptr, IDNO}});
        EXPECT_FALSE(Open(package));
        EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
    }
    EXPECT_EQ(BaseTheme(), Current());
    EXPECT_TRUE(EntriesStartingWith(ProgramFolder(), "~TSTMP").empty());
    EXPECT_EQ(Theme("Old"), ReadFileBytes(Installed("PkgClash\\Old.tstheme")));

    // Yes: the old theme goes to the recycle bin (the test run's own), the
    // new one takes its place.
    RemoveTree(TrashFiles());
    CreateDirectoryA(TrashFiles().c_str(), nullptr);
    {
        DialogDriver driver({{kConflictCaption, {}, nullptr, IDYES}});
        Open(package);
        EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
    }
    EXPECT_EQ(Installed("PkgClash\\Style2.tstheme"), Current());
    EXPECT_FALSE(PathFileExistsA(Installed("PkgClash\\Old.tstheme").c_str()));
    // Wine adds a suffix to a name the trash has seen before.
    bool old_in_trash = false;
    for (const std::string& name : EntriesStartingWith(TrashFiles(), "PkgClash"))
        old_in_trash = old_in_trash || ReadFileBytes(TrashFiles() + name + "\\Old.tstheme") == Theme("Old");
    EXPECT_TRUE(old_in_trash);
}

TEST_F(InstallPackage, ExpansionPackAddsItsStylesToTheInstalledTheme) {
    made_.push_back("PkgBase");
    RemoveTree(Installed("PkgBase"));
    CreateDirectoryA(Installed("PkgBase").c_str(), nullptr);
    CreateDirectoryA(Installed("PkgBase\\Skins").c_str(), nullptr);
    CreateDirectoryA(Installed("PkgBase\\Skins\\S1").c_str(), nullptr);
    WriteFileBytes(Installed("PkgBase\\Base.tstheme"), Theme("Base"));
    WriteFileBytes(Installed("PkgBase\\Skins\\S1\\s1.tsskin"), "[General]\r\n");
    const std::string package =
        Package("extra.tspack",
                {{"PkgBase/", ""},
                 {"PkgBase/Extra.tstheme", Theme("Extra")},
                 {"PkgBase/Skins/S2/s2.tsskin", "[General]\r\n"},
                 {"PkgBase/TSPACK-LASTTHEMEINFO.ini", Info("PkgBase\\Extra.tstheme", true)}},
                {});
    DialogDriver driver({{"Tessellar - Install Theme Package as Extension?", {}, nullptr, IDYES}});
    Open(package);
    EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
    EXPECT_EQ(Installed("PkgBase\\Extra.tstheme"), Current());
    for (const char* kept : {"PkgBase\\Base.tstheme", "PkgBase\\Skins\\S1\\s1.tsskin", "PkgBase\\Skins\\S2\\s2.tsskin"})
        EXPECT_TRUE(PathFileExistsA(Installed(kept).c_str())) << kept;
    EXPECT_TRUE(EntriesStartingWith(ProgramFolder(), "~TSTMP").empty());
}

TEST_F(InstallPackage, NamesThatWouldReachTheProgramFolderAreRefused) {
    const auto before = EntriesStartingWith(ProgramFolder(), "");
    // A package called "..tspack" has the name "."; the theme lies at its top.
    const std::string dots = Package("..tspack", {{"Dots.tstheme", Theme("Dots")}}, {});
    {
        DialogDriver driver({{"Tessellar - Error Loading Theme Package", {}, nullptr, IDOK}});
        EXPECT_FALSE(Open(dots));
        EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
    }
    EXPECT_FALSE(PathFileExistsA(Installed("Dots.tstheme").c_str()));
    EXPECT_EQ(BaseTheme(), Current());

    // A rename to ".." (and to a path) over an existing theme.
    made_.push_back("PkgTaken");
    RemoveTree(Installed("PkgTaken"));
    CreateDirectoryA(Installed("PkgTaken").c_str(), nullptr);
    WriteFileBytes(Installed("PkgTaken\\Taken.tstheme"), Theme("Taken"));
    const std::string taken = Package("taken.tspack", {{"PkgTaken/Other.tstheme", Theme("Other")}}, {});
    for (const char* name : {"..", "...", " . "}) {
        SCOPED_TRACE(name);
        RemoveExtractionFolders();
        DialogDriver driver({{kConflictCaption, {}, nullptr, kRenameButton},
                             {"Folder Name", {{kNameEdit, name}}, nullptr, IDOK}});
        EXPECT_FALSE(Open(taken));
        PumpFor(100);
        EXPECT_EQ(BaseTheme(), Current()) << driver.Describe();
        EXPECT_TRUE(PathFileExistsA(Installed("PkgTaken\\Taken.tstheme").c_str()));
        EXPECT_FALSE(PathFileExistsA(Installed("Other.tstheme").c_str()));
        EXPECT_FALSE(PathFileExistsA((ProgramFolder() + "..\\Other.tstheme").c_str()));
    }
    Cleanup();
    // Nothing of the program folder went anywhere.
    const auto after = EntriesStartingWith(ProgramFolder(), "");
    for (const std::string& name : before)
        EXPECT_NE(after.end(), std::find(after.begin(), after.end(), name)) << name;
}

TEST_F(InstallPackage, HostilePackagesWriteNothingOutsideAndLoadNothingOutside) {
    char plugins[MAX_PATH];
    ASSERT_TRUE(GetPluginsFolder(plugins));
    const std::string installed_plugin = std::string(plugins) + "PkgFoo.dll";
    WriteFileBytes(installed_plugin, "the installed plug-in");
    // A theme outside the package that its info file points at.
    const std::string outside_folder = ProgramFolder() + "..\\PkgOutside\\";
    CreateDirectoryA(outside_folder.c_str(), nullptr);
    WriteFileBytes(outside_folder + "Outside.tstheme", Theme("Outside"));
    char drive_root[4] = "C:\\";
    drive_root[0] = ProgramFolder()[0];

    const Members members = {
        {"PkgHostile/", ""},
        {"PkgHostile/Hostile.tstheme", Theme("Hostile")},
        {"..\\PkgEvil1.txt", "evil"},
        {"../PkgEvil2.txt", "evil"},
        {"PkgHostile/../../PkgEvil3.txt", "evil"},
        {"C:\\PkgEvil4.txt", "evil"},
        {"\\PkgEvil5.txt", "evil"},
        {"/PkgEvil6.txt", "evil"},
        {"PkgHostile/TSPACK-LASTTHEMEINFO.ini", Info("..\\PkgOutside\\Outside.tstheme")},
        {"PkgHostile/PackagedPlugins/PkgFoo.dll", "a library from the package"},
    };
    struct Case {
        int plugin_answer;
        const char* plugin_after;
    };
    const Case cases[] = {{IDNO, "the installed plug-in"}, {IDYES, "a library from the package"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plugin_answer);
        RemoveTree(Installed("PkgHostile"));
        const std::string package = Package("hostile.tspack", members, {"PkgHostile"});
        DialogDriver driver({{"Tessellar - Theme Package Plug-ins", {}, nullptr, c.plugin_answer}});
        Open(package);
        EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
        auto seen = driver.Seen();
        ASSERT_FALSE(seen.empty());
        EXPECT_NE(std::string::npos, seen[0].text.find("PkgFoo.dll")) << seen[0].text;
        EXPECT_NE(std::string::npos, seen[0].text.find("replaces")) << seen[0].text;
        EXPECT_EQ(c.plugin_after, ReadFileBytes(installed_plugin));
        EXPECT_FALSE(PathFileExistsA(Installed("PkgHostile\\PackagedPlugins").c_str()));
        // The info file's theme outside the package is not the one opened.
        EXPECT_EQ(Installed("PkgHostile\\Hostile.tstheme"), Current());
        for (const std::string& place : {ProgramFolder(), ProgramFolder() + "..\\", std::string(drive_root)})
            for (int i = 1; i <= 6; ++i) {
                const std::string evil = place + "PkgEvil" + std::to_string(i) + ".txt";
                EXPECT_FALSE(PathFileExistsA(evil.c_str())) << evil;
            }
        EXPECT_TRUE(EntriesStartingWith(ProgramFolder(), "~TSTMP").empty());
    }
    DeleteFileA(installed_plugin.c_str());
    RemoveTree(outside_folder);
}

TEST_F(InstallPackage, ASecondStartHandsThePackageOver) {
    const std::string package =
        Package("second start.zip", {{"PkgSecond/Second.tstheme", Theme("Second")}}, {"PkgSecond"});
    DialogDriver driver({});
    ChildProcess second;
    ASSERT_TRUE(second.Start("Tessellar.exe", "\"" + package + "\""));
    EXPECT_TRUE(PumpUntil([&] { return Current() == Installed("PkgSecond\\Second.tstheme"); }, 15000))
        << Current();
    PumpUntil([&] { return !second.Running(); }, 10000);
    EXPECT_EQ(0, second.Wait(1000));
    EXPECT_TRUE(driver.Seen().empty()) << driver.Describe();
}
