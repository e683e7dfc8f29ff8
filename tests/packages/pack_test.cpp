// Packing through the notification menu's commands: a whole theme (40024)
// with the plug-ins its bars use, and an expansion pack (40147) of the
// chosen styles. The theme folder is the same byte for byte afterwards, and
// a package that cannot be written is reported, not announced as finished.
// The archives stay in "PackageChecks" for Info-ZIP's check (interop.sh).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "shell/main_window.h"
#include "shell/startup.h"
#include "shell/theme_file.h"
#include "shell/theme_packages.h"
#include "tests/packages/package_fixture.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace package_test;
using namespace testing_support;

namespace {

constexpr char kSaveCaption[] = "Save Theme Package As...";
constexpr char kDoneCaption[] = "Tessellar - Theme Packing Completed";
constexpr int kFileNameEdit = 0x480;     // edt1
constexpr int kFileNameCombo = 0x47c;    // cmb13

// Where the archives are kept for the Linux-side check.
std::string ChecksFolder() {
    std::string folder = ProgramFolder() + "PackageChecks\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

DialogStep SaveAs(const std::string& path) {
    return {kSaveCaption, {{kFileNameEdit, path}, {kFileNameCombo, path}}, nullptr, IDOK};
}

std::string Repeated(const std::string& line, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += line;
    return out;
}

// The fixture theme "T" in "PkgPack": two styles, two skin folders, the
// window-skinning skins, and a bar using the plug-ins Foo.dll and Wayfinch.dll.
class PackTheme : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramMainWindow();
        root_.reset(new theme_test::ThemeRoot("PkgPack"));
        root_->Write("T\\T.tstheme", "[Theme Info]\r\nName=T\r\nTSVersion=150\r\nAutoSaveOption=2\r\n"
                                     "[OpenBars]\r\n");
        root_->Write("T\\Night.tstheme", "[Theme Info]\r\nName=T Night\r\nTSVersion=150\r\n[OpenBars]\r\n");
        root_->Write("T\\Night_ss.bmp", Repeated("BM night preview ", 40));
        root_->Write("T\\Bars\\one.tsbar",
                     "[Object]\r\nTitle=One\r\n[Section1]\r\nProperties.ForceValid=1\r\n"
                     "Item1.Action=0\r\nItem1.Plugin=VTPlugins\\Foo.dll\r\n"
                     "Item2.Action=0\r\nItem2.Plugin=Wayfinch.dll\r\n"
                     "Item3.Action=0\r\nItem3.Plugin=sub/../../Gone.dll\r\n");
        root_->Write("T\\Bars\\notes.txt", Repeated("Notes that compress well. ", 400));
        root_->Write("T\\Skins\\Day\\day.tsskin", "[General]\r\nAlpha=255\r\n");
        root_->Write("T\\Skins\\Dusk\\dusk.tsskin", "[General]\r\nAlpha=200\r\n");
        root_->Write("T\\Skins\\LumivaneSkins\\window.lvs", "window skin");
        theme_file_ = root_->Path() + "T\\T.tstheme";
        char plugins[MAX_PATH];
        ASSERT_TRUE(GetPluginsFolder(plugins));
        plugins_ = plugins;
        WriteFileBytes(plugins_ + "Foo.dll", "foo library");
        WriteFileBytes(plugins_ + "Wayfinch.dll", "address box");
        WriteFileBytes(plugins_ + "Gone.dll", "never named plainly");
        ASSERT_TRUE(LoadThemeFile(theme_file_.c_str(), 0));
        before_ = Snapshot(root_->Path() + "T\\");
    }
    void TearDown() override {
        LoadThemeFile(BaseTheme().c_str(), 0);
        for (const char* dll : {"Foo.dll", "Wayfinch.dll", "Gone.dll"}) DeleteFileA((plugins_ + dll).c_str());
        root_.reset();
    }
    // What the archive holds, extracted into a fresh folder.
    std::map<std::string, std::string> Extracted(const std::string& archive) {
        out_.reset(new TempFolder());
        EXPECT_TRUE(UnzipToFolder(out_->Path().c_str(), archive.c_str()));
        return Snapshot(out_->Path());
    }
    void ExpectThemeUnchanged() { EXPECT_EQ(before_, Snapshot(root_->Path() + "T\\")); }

    std::unique_ptr<theme_test::ThemeRoot> root_;
    std::unique_ptr<TempFolder> out_;
    std::string theme_file_, plugins_;
    std::map<std::string, std::string> before_;
};

}  // namespace

TEST_F(PackTheme, WholeThemeWithItsPluginsAndTheFolderUnchanged) {
    const std::string archive = ChecksFolder() + "whole.tspack";
    DeleteFileA(archive.c_str());
    DialogDriver driver({{"Tessellar - Package Theme", {}, nullptr, IDYES}, SaveAs(archive),
                         {kDoneCaption, {}, nullptr, IDOK}});
    SendMessageA(ProgramMainWindow(), WM_COMMAND, kCmdPackTheme, 0);
    ASSERT_TRUE(PumpUntil([&] { return driver.StepsLeft() == 0; }, 10000)) << driver.Describe();
    PumpFor(200);
    EXPECT_EQ(3u, driver.Seen().size()) << driver.Describe();   // no other question or message

    auto files = Extracted(archive);
    for (const auto& f : files) EXPECT_EQ(0u, f.first.find("T\\")) << f.first;
    EXPECT_EQ("foo library", files["T\\PackagedPlugins\\Foo.dll"]);
    EXPECT_EQ(0u, files.count("T\\PackagedPlugins\\Wayfinch.dll"));
    EXPECT_EQ(0u, files.count("T\\PackagedPlugins\\Gone.dll"));
    EXPECT_EQ(0u, files.count("T\\Skins\\LumivaneSkins\\"));
    EXPECT_EQ(1u, files.count("T\\Night.tstheme"));
    EXPECT_EQ(1u, files.count("T\\Skins\\Dusk\\dusk.tsskin"));
    EXPECT_EQ(before_["Bars\\notes.txt"], files["T\\Bars\\notes.txt"]);
    const std::string info = out_->Path() + "T\\TSPACK-LASTTHEMEINFO.ini";
    EXPECT_EQ("PkgPack\\T\\T.tstheme", theme_test::IniValue(info, "Settings", "LastTSPackTheme"));
    EXPECT_EQ("<missing>", theme_test::IniValue(info, "Settings", "IsExpansionPack"));
    ExpectThemeUnchanged();
}

TEST_F(PackTheme, APackageThatCannotBeWrittenIsReportedAndLeavesNoArchive) {
    // A file of the theme that another program holds open without sharing
    // cannot be read into the package.
    const std::string locked_file = root_->Path() + "T\\Bars\\locked.txt";
    WriteFileBytes(locked_file, "in use");
    before_ = Snapshot(root_->Path() + "T\\");
    HANDLE locked = CreateFileA(locked_file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    const std::string archive = ChecksFolder() + "locked.tspack";
    DeleteFileA(archive.c_str());
    DialogDriver driver({{"Tessellar - Package Theme", {}, nullptr, IDYES}, SaveAs(archive),
                         {"Tessellar - Package Theme", {}, nullptr, IDOK}});
    SendMessageA(ProgramMainWindow(), WM_COMMAND, kCmdPackTheme, 0);
    PumpFor(300);
    CloseHandle(locked);
    EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
    EXPECT_FALSE(driver.Saw(kDoneCaption)) << driver.Describe();
    auto seen = driver.Seen();
    ASSERT_EQ(3u, seen.size()) << driver.Describe();
    EXPECT_NE(std::string::npos, seen[2].text.find(archive)) << seen[2].text;
    EXPECT_FALSE(PathFileExistsA(archive.c_str()));
    EXPECT_TRUE(EntriesStartingWith(ChecksFolder(), "tsp").empty());
    ExpectThemeUnchanged();
}

namespace {

constexpr char kExpansionDialog[] = "Package theme as an expansion pack.";

// Checks the named style and skin folder in dialog 221.
std::function<void(HWND)> Check(const char* style, const char* skin) {
    return [=](HWND dialog) {
        for (auto pick : {std::make_pair(1300, style), std::make_pair(1301, skin)}) {
            HWND list = GetDlgItem(dialog, pick.first);
            for (int i = 0; i < ListView_GetItemCount(list); ++i) {
                char text[MAX_PATH] = "";
                ListView_GetItemText(list, i, 0, text, sizeof(text));
                if (lstrcmpiA(text, pick.second) == 0) ListView_SetCheckState(list, i, TRUE);
            }
        }
    };
}

}  // namespace

TEST_F(PackTheme, ExpansionPackHoldsOnlyTheCheckedStylesAndSkins) {
    const std::string archive = ChecksFolder() + "expansion.tspack";
    DeleteFileA(archive.c_str());
    DialogDriver driver({{kExpansionDialog, {}, Check("Night", "Dusk"), IDOK}, SaveAs(archive),
                         {kDoneCaption, {}, nullptr, IDOK}});
    SendMessageA(ProgramMainWindow(), WM_COMMAND, kCmdPackExpansion, 0);
    ASSERT_TRUE(PumpUntil([&] { return driver.StepsLeft() == 0; }, 10000)) << driver.Describe();
    PumpFor(200);

    auto files = Extracted(archive);
    for (const auto& f : files) EXPECT_EQ(0u, f.first.find("T\\")) << f.first;
    EXPECT_EQ(1u, files.count("T\\Night.tstheme"));
    EXPECT_EQ(1u, files.count("T\\Night_ss.bmp"));
    EXPECT_EQ(1u, files.count("T\\Skins\\Dusk\\dusk.tsskin"));
    EXPECT_EQ(0u, files.count("T\\T.tstheme"));
    EXPECT_EQ(0u, files.count("T\\Skins\\Day\\"));
    EXPECT_EQ(0u, files.count("T\\Skins\\Day\\day.tsskin"));
    EXPECT_EQ(0u, files.count("T\\PackagedPlugins\\"));
    const std::string info = out_->Path() + "T\\TSPACK-LASTTHEMEINFO.ini";
    EXPECT_EQ("1", theme_test::IniValue(info, "Settings", "IsExpansionPack"));
    ExpectThemeUnchanged();
}

TEST_F(PackTheme, ExpansionPackRefusedOrCancelledLeavesTheThemeAsItWas) {
    // OK with nothing checked is refused; the dialog is then cancelled.
    {
        DialogDriver driver({{kExpansionDialog, {}, nullptr, IDOK},
                             {"Tessellar - Packing as an Expansion Pack",
                              {},
                              [](HWND box) { PostMessageA(GetWindow(box, GW_OWNER), WM_COMMAND, IDCANCEL, 0); },
                              IDOK}});
        SendMessageA(ProgramMainWindow(), WM_COMMAND, kCmdPackExpansion, 0);
        EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
        EXPECT_EQ(2u, driver.Seen().size()) << driver.Describe();
        ExpectThemeUnchanged();
    }
    // A choice made, then the Save dialog cancelled.
    {
        DialogDriver driver({{kExpansionDialog, {}, Check("T", "Day"), IDOK}, {kSaveCaption, {}, nullptr, IDCANCEL}});
        SendMessageA(ProgramMainWindow(), WM_COMMAND, kCmdPackExpansion, 0);
        PumpFor(200);
        EXPECT_EQ(0u, driver.StepsLeft()) << driver.Describe();
        EXPECT_EQ(2u, driver.Seen().size()) << driver.Describe();
        ExpectThemeUnchanged();
        EXPECT_FALSE(PathFileExistsA((ProgramFolder() + "TEMPORARY TSPACK FOLDER").c_str()));
    }
}
