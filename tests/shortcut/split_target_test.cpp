// Command lines split after the program part; targets resolved and saved.
#include <cstring>
#include <string>
#include "shortcut_fixture.h"
#include "model/vellum_menu_section.h"

namespace shortcut_test {
namespace {

TEST(SplitCommandLine, SplitsAfterTheProgramPartOrLeavesTheCommandWhole) {
    const struct {
        const char* command;
        const char* program;
        const char* parameters;
    } cases[] = {
        {"C:\\Program Files\\App\\app.exe -a -b", "C:\\Program Files\\App\\app.exe", " -a -b"},
        {"C:\\PROGRAM FILES\\APP\\APP.EXE -A", "C:\\PROGRAM FILES\\APP\\APP.EXE", " -A"},
        {"c:\\tools\\Run.Com /q", "c:\\tools\\Run.Com", " /q"},
        {"C:\\links\\Editor.LNK", "C:\\links\\Editor.LNK", ""},
        {"\"C:\\Program Files\\App\\app.exe\" -x \"y z\"", "\"C:\\Program Files\\App\\app.exe\"",
         " -x \"y z\""},
        {"\"C:\\Program Files\\App\\app.exe -x", "\"C:\\Program Files\\App\\app.exe\"", " -x"},
        // An extension followed by a backslash names a folder.
        {"C:\\odd.exe\\tool.lnk arg", "C:\\odd.exe\\tool.lnk", " arg"},
        // The program part ends at the latest of the three.
        {"C:\\a.exe b.lnk c", "C:\\a.exe b.lnk", " c"},
        {"http://host/setup.exe?x=1 y", "http://host/setup.exe?x=1 y", ""},
        {"HTTPS://host/a.exe b", "HTTPS://host/a.exe b", ""},
        {"mailto://someone", "mailto://someone", ""},
        {"C:\\docs\\readme.txt", "C:\\docs\\readme.txt", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        char command[kShortcutTargetSize];
        strcpy(command, c.command);
        char parameters[kShortcutParametersSize] = "stale";
        CVellumMenuItem_Shortcut::SplitCommandLine(command, sizeof(command), parameters,
                                                   sizeof(parameters));
        EXPECT_STREQ(c.program, command) << c.command;
        EXPECT_STREQ(c.parameters, parameters) << c.command;
    }
}

TEST(SplitCommandLine, ALongCommandStaysWithinItsBuffers) {
    struct Guarded {
        char text[kShortcutTargetSize];
        char guard[16];
    };
    // 359 characters with a lone quote and the extension at the very end:
    // no room for the closing quote.
    Guarded command;
    memset(command.guard, 'G', sizeof(command.guard));
    std::string lone = "\"C:\\" + std::string(351, 'a') + ".exe";
    ASSERT_EQ(359u, lone.size());
    strcpy(command.text, lone.c_str());
    Guarded parameters;
    memset(parameters.guard, 'G', sizeof(parameters.guard));
    CVellumMenuItem_Shortcut::SplitCommandLine(command.text, sizeof(command.text), parameters.text,
                                               sizeof(parameters.text));
    EXPECT_EQ(lone, command.text);
    EXPECT_STREQ("", parameters.text);
    EXPECT_EQ(std::string(16, 'G'), std::string(command.guard, 16));
    EXPECT_EQ(std::string(16, 'G'), std::string(parameters.guard, 16));

    // Long parameters into a short buffer are cut there.
    std::string with_arguments = "C:\\a.exe " + std::string(350, 'x');
    ASSERT_EQ(359u, with_arguments.size());
    strcpy(command.text, with_arguments.c_str());
    struct {
        char text[16];
        char guard[16];
    } small;
    memset(small.guard, 'G', sizeof(small.guard));
    CVellumMenuItem_Shortcut::SplitCommandLine(command.text, sizeof(command.text), small.text,
                                               sizeof(small.text));
    EXPECT_STREQ("C:\\a.exe", command.text);
    EXPECT_EQ(" " + std::string(14, 'x'), small.text);
    EXPECT_EQ(std::string(16, 'G'), std::string(small.guard, 16));
}

using SetTargetTest = ShortcutTest;

TEST_F(SetTargetTest, FoldersAreDetectedByNameDriveAndShell) {
    ASSERT_TRUE(files_.MakeFolder("folder"));
    ASSERT_TRUE(files_.Write("file.txt", "x"));
    CVellumMenuObject* bar = LoadBar({"Item1.Title=Placeholder"});
    CVellumMenuSection* section = bar->m_sections[0];
    const struct {
        std::string file;
        bool folder;
        bool personalized;
    } cases[] = {
        {"C:", true, false},
        {"C:\\", true, false},
        {"Programs", true, true},
        {"PROGRAMS", true, true},
        {"ControlPanel", true, false},
        {files_.File("folder"), true, false},
        {files_.File("file.txt"), false, false},
        {files_.File("missing.txt"), false, false},
    };
    for (const auto& c : cases) {
        CVellumMenuItem_Shortcut item(bar, section);
        ASSERT_TRUE(item.SetTarget(nullptr, c.file.c_str(), "", "")) << c.file;
        EXPECT_EQ(c.folder, item.m_detectedFolder != FALSE) << c.file;
        EXPECT_FALSE(item.IsFolder) << "the caller sets it: " << c.file;
        EXPECT_EQ(c.personalized, item.m_personalizedMenus != FALSE) << c.file;
        EXPECT_STREQ(c.file.c_str(), item.m_target);
        // Resolved once; a reset allows a new target.
        EXPECT_FALSE(item.SetTarget(nullptr, "C:\\other.exe", "", ""));
        item.ResetTarget();
        EXPECT_STREQ("", item.m_target);
        EXPECT_TRUE(item.SetTarget(nullptr, "C:\\other.exe", "", ""));
        EXPECT_FALSE(item.m_detectedFolder);
    }
    CVellumMenuItem_Shortcut empty(bar, section);
    EXPECT_FALSE(empty.SetTarget(nullptr, "", "", ""));
    EXPECT_FALSE(empty.m_targetSet);
    // A new item takes the given title, else the shell's name of the target.
    CVellumMenuItem_Shortcut titled(bar, section);
    titled.SetItemTitle(const_cast<char*>("New Shortcut Item"), 0);
    ASSERT_TRUE(titled.SetTarget("Given", files_.File("file.txt").c_str(), "", ""));
    EXPECT_STREQ("Given", titled.m_title);
    CVellumMenuItem_Shortcut named(bar, section);
    ASSERT_TRUE(named.SetTarget(nullptr, files_.File("file.txt").c_str(), "", ""));
    EXPECT_NE(nullptr, strstr(named.m_title, "file")) << named.m_title;
}

TEST_F(SetTargetTest, TheProgramOfAnAppPathsEntryOrAnExtensionBecomesTheTarget) {
    CVellumMenuObject* bar = LoadBar({"Item1.Title=Placeholder"});
    CVellumMenuSection* section = bar->m_sections[0];
    std::string probe = ProbeExe();
    CVellumMenuItem_Shortcut by_name(bar, section);
    ASSERT_TRUE(by_name.SetTarget("T", "fallback.exe", kProbeAppName, ""));
    EXPECT_STREQ(probe.c_str(), by_name.m_target);
    EXPECT_STREQ(kProbeAppName, by_name.m_programName);
    EXPECT_FALSE(by_name.m_detectedFolder);

    CVellumMenuItem_Shortcut missing(bar, section);
    ASSERT_TRUE(missing.SetTarget("T", "fallback.exe", "tessnothing.exe", ""));
    EXPECT_STREQ("fallback.exe", missing.m_target) << "the file key stays the target";
    CVellumMenuItem_Shortcut nothing(bar, section);
    EXPECT_FALSE(nothing.SetTarget("T", "", "tessnothing.exe", ""));

    CVellumMenuItem_Shortcut by_extension(bar, section);
    ASSERT_TRUE(by_extension.SetTarget("T", "", "", kProbeExtension));
    std::string lower = probe;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_STREQ(lower.c_str(), by_extension.m_target);
    EXPECT_STREQ(kProbeExtension, by_extension.m_extension);

    // Names are cut to what the file format holds.
    CVellumMenuItem_Shortcut long_extension(bar, section);
    std::string eighty(80, 'e');
    long_extension.SetTarget("T", "x.exe", "", eighty.c_str());
    EXPECT_EQ(74u, strlen(long_extension.m_extension));
}

TEST_F(SetTargetTest, SavingWritesEachKeyByItsRule) {
    ASSERT_TRUE(files_.MakeFolder("docs"));
    CVellumMenuObject* bar = LoadBar({
        "Item1.Type=Shortcut", "Item1.Title=Plain", "Item1.Shortcut.File=C:\\tools\\a.exe -q",
        "Item2.Type=Shortcut", "Item2.Title=Docs", "Item2.Shortcut.File=" + files_.File("docs"),
        "Item2.Shortcut.StartIn=C:\\work", "Item2.Shortcut.RunAs=2", "Item2.Folder.UsePopup=0",
        "Item2.Folder.PopupText=0", "Item2.Folder.PopupIconSize=32",
        "Item2.Folder.HideLinkOverlaysFromPopup=1", "Item2.Folder.IsFolder=0",
        "Item2.Popup.Volitle=0",
        "Item3.Type=Shortcut", "Item3.Title=Quick", "Item3.Shortcut.File=quicklaunch",
        "Item4.Type=Shortcut", "Item4.Title=Ext", "Item4.Shortcut.UseExtention=.tessprobe",
        "Item4.Shortcut.GetFromRegistry=tessprobe.exe",
    });
    ASSERT_NE(nullptr, Item(bar, 3));
    EXPECT_TRUE(Item(bar, 1)->IsFolder) << "recomputed, not read";
    std::string out = files_.File("saved.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str())));
    auto key = [&](int item, const char* name) {
        char k[64], value[400];
        snprintf(k, sizeof(k), "Item%d.%s", item, name);
        GetPrivateProfileStringA("Section1", k, "<none>", value, sizeof(value), out.c_str());
        return std::string(value);
    };
    const struct {
        int item;
        const char* name;
        std::string value;
    } cases[] = {
        {1, "Type", "Shortcut"},
        {1, "Shortcut.File", "C:\\tools\\a.exe -q"},
        {1, "Shortcut.StartIn", "<none>"},
        {1, "Shortcut.RunAs", "<none>"},
        {1, "Folder.IsFolder", "<none>"},
        {1, "Folder.UsePopup", "1"},
        {1, "Folder.PopupText", "<none>"},
        {1, "Folder.PopupIconSize", "<none>"},
        {1, "Folder.HideLinkOverlaysFromPopup", "<none>"},
        {1, "Shortcut.UseExtention", "<none>"},
        {1, "Shortcut.GetFromRegistry", "<none>"},
        {1, "Popup.Volitle", "<none>"},
        {1, "Popup.Toggle", "<none>"},
        {2, "Shortcut.File", files_.File("docs")},
        {2, "Shortcut.StartIn", "C:\\work"},
        {2, "Shortcut.RunAs", "2"},
        {2, "Folder.IsFolder", "1"},
        {2, "Folder.UsePopup", "0"},
        {2, "Folder.PopupText", "0"},
        {2, "Folder.PopupIconSize", "32"},
        {2, "Folder.HideLinkOverlaysFromPopup", "1"},
        {2, "Popup.Volitle", "<none>"},
        {3, "Shortcut.File", "QuickLaunch"},
        {4, "Shortcut.UseExtention", ".tessprobe"},
        {4, "Shortcut.File", Item(bar, 3)->m_target},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, key(c.item, c.name)) << c.item << " " << c.name;
}

}  // namespace
}  // namespace shortcut_test
