// The plug-in life cycle as a plug-in sees it, refused loads, and the host
// callback.
#include <algorithm>
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "plugin_fixture.h"
#include "types/plugin_host.h"

namespace plugin_test {
namespace {

int Count(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(Only(lines, {prefix}).size());
}

// Lines starting with each of expected appear in this order (others may lie between).
::testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                   const std::vector<std::string>& expected) {
    size_t at = 0;
    for (const std::string& want : expected) {
        auto found = std::find_if(lines.begin() + at, lines.end(), [&](const std::string& line) {
            return line.compare(0, want.size(), want) == 0;
        });
        if (found == lines.end()) {
            std::string all;
            for (const std::string& line : lines) all += "\n  " + line;
            return ::testing::AssertionFailure() << "\"" << want << "\" missing in order in:" << all;
        }
        at = static_cast<size_t>(found - lines.begin()) + 1;
    }
    return ::testing::AssertionSuccess();
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

INT_PTR Host(UINT code, const void* p1, const void* p2 = nullptr) {
    return VTHostCallback(code, reinterpret_cast<INT_PTR>(p1), reinterpret_cast<INT_PTR>(p2));
}

using PluginHostTest = PluginTest;

TEST_F(PluginHostTest, TwoItemsOfOneLibraryFollowTheLifeCycle) {
    std::string dll = Probe("life", {"States=Glow"});
    CVellumMenuObject* bar = LoadBarWith(
        "Life", {100, 100, 500, 130},
        {"[Section1]", "Item1.Type=Plugin", "Item1.Plugin=" + dll, "Item1.Plugin.InstanceID=first",
         "Item2.Type=Plugin", "Item2.Plugin=" + dll, "Item2.Plugin.InstanceID=second"});
    ASSERT_TRUE(Wait([&] { return Count(LogOf(dll), "SCRIPTENABLED") == 2; }));

    std::vector<std::string> all = LogOf(dll);
    EXPECT_EQ(1, Count(all, "INITIALIZE"));
    EXPECT_EQ("GETINFO host=2 version=150 slot=item", all.front());
    EXPECT_EQ("INITIALIZE callback=set module=own", all[1]);
    EXPECT_EQ(2, Count(all, "CREATEINSTANCE"));
    for (int n : {1, 2}) {
        std::vector<std::string> mine = LogOf(dll, n);
        const char* id = n == 1 ? "LOAD first" : "LOAD second";
        EXPECT_TRUE(InOrder(mine, {"CREATEINSTANCE", id, "GETSTATENAME 0", "GETSTATENAME 1",
                                   "STATECHANGE Show", "STATECHANGE Mouse away"}));
        EXPECT_EQ(1, Count(mine, "ATTACH"));
        EXPECT_EQ(1, Count(Only(mine, {"ATTACH "}), "ATTACH ")) << n;
        std::vector<std::string> attach = Only(mine, {"ATTACH"});
        ASSERT_EQ(1u, attach.size());
        EXPECT_NE(std::string::npos, attach[0].find("child=TSPluginChild")) << attach[0];
        EXPECT_TRUE(InOrder(mine, {attach[0], "SCRIPTENABLED 0"}));
    }
    // Attached only once the whole bar was read.
    EXPECT_LT(IndexOf(all, "LOAD second"), IndexOf(all, Only(all, {"ATTACH"})[0]));
    // The plug-in's states became the item's custom states.
    EXPECT_TRUE(Plugin(bar, 0)->FindCustomState(const_cast<char*>("Glow"), nullptr, nullptr));

    CloseAllBars();
    all = LogOf(dll);
    for (int n : {1, 2})
        EXPECT_TRUE(InOrder(LogOf(dll, n), {"SAVE " + std::string(n == 1 ? "first" : "second"),
                                            "FREEINSTANCE"}));
    // The probe frees its record at FREEINSTANCE: ENDINSTANCE comes with an
    // empty slot, right after each.
    EXPECT_TRUE(InOrder(all, {"FREEINSTANCE", "ENDINSTANCE", "FREEINSTANCE", "ENDINSTANCE",
                              "MODULEDONE"}));
    EXPECT_EQ(2, Count(all, "ENDINSTANCE"));
    EXPECT_EQ(1, Count(all, "MODULEDONE"));
    EXPECT_EQ("MODULEDONE", all.back());
    EXPECT_EQ(nullptr, GetModuleHandleA(dll.c_str()));
}

TEST_F(PluginHostTest, AnItemNeverAttachedGetsNoFreeInstance) {
    std::string dll = Probe("unattached");
    HoldThemeLoaded(true);
    LoadBarWith("Unattached", {100, 100, 400, 130},
                {"[Section1]", "Item1.Type=Plugin", "Item1.Plugin=" + dll});
    HoldThemeLoaded(false);
    CloseAllBars();
    std::vector<std::string> log = LogOf(dll);
    EXPECT_EQ(0, Count(log, "ATTACH"));
    EXPECT_EQ(0, Count(log, "FREEINSTANCE"));
    EXPECT_TRUE(InOrder(log, {"CREATEINSTANCE", "SAVE", "ENDINSTANCE", "MODULEDONE"}));
}

TEST_F(PluginHostTest, RefusedLibrariesLeaveTheItemWithoutPlugin) {
    CVellumMenuObject* bar =
        LoadBarWith("Refusals", {100, 100, 400, 130}, {"[Section1]", "Item1.Type=Plugin"});
    CVellumMenuItem_Plugin* item = Plugin(bar, 0);
    ASSERT_NE(nullptr, item);
    std::string no_entry = files_.Path() + "no_entry.dll";
    ASSERT_TRUE(CopyFileA((testing_support::BinFolder() + "probe_no_entry.dll").c_str(),
                          no_entry.c_str(), FALSE));
    const struct {
        const char* name;
        std::string dll;
        bool fill_library_table;
    } cases[] = {
        {"no VTMessage", no_entry, false},
        {"GETINFO answers 0", Probe("silent", {"GetInfo=0"}), false},
        {"hosts without 0x2", Probe("widgets_only", {"Hosts=1"}), false},
        {"the script host's library", Probe("Scriptgate"), false},
        {"a 151st library", Probe("one_too_many"), true},
    };
    HWND page = item->CallConfigDialogEx(MainWindow());
    ASSERT_NE(nullptr, page);
    for (const auto& c : cases) {
        std::vector<std::string> fillers;
        if (c.fill_library_table) {
            for (int i = 0; i < kPluginLibraryTableSize; ++i) {
                fillers.push_back(files_.Path() + "filler" + std::to_string(i) + ".dll");
                ASSERT_GT(AddPluginLibraryUser(fillers.back().c_str()), 0) << i;
            }
        }
        testing_support::MessageBoxWatcher boxes(IDOK);
        EXPECT_FALSE(item->ChooseLibrary(page, c.dll.c_str())) << c.name;
        for (const std::string& filler : fillers) RemovePluginLibraryUser(filler.c_str());
        ASSERT_TRUE(Wait([&] { return boxes.Count() >= 1; })) << c.name;
        EXPECT_TRUE(boxes.SawCaption("Tessellar - Load Plugin")) << c.name;
        EXPECT_EQ("Invalid Plugin!", boxes.Seen()[0].text) << c.name;
        EXPECT_FALSE(item->IsPluginLoaded()) << c.name;
        EXPECT_STREQ("", item->m_libraryPath) << c.name;
        std::vector<std::string> log = LogOf(c.dll);
        EXPECT_EQ(0, Count(log, "INITIALIZE")) << c.name;
        EXPECT_EQ(0, Count(log, "MODULEDONE")) << c.name;
        EXPECT_EQ(0, Count(log, "CREATEINSTANCE")) << c.name;
        EXPECT_EQ(nullptr, GetModuleHandleA(c.dll.c_str())) << c.name;
    }
    // A library that answers is taken, and its information shows on the page.
    std::string good = Probe("good", {"Name=Good Probe"});
    EXPECT_TRUE(item->ChooseLibrary(page, good.c_str()));
    EXPECT_TRUE(item->IsPluginLoaded());
    char text[512] = "";
    GetDlgItemTextA(page, 1409, text, sizeof(text));
    EXPECT_STREQ("Good Probe\r\nby Tests\r\nVersion 1.2\r\n\r\nSupports Tessellar only\r\n\r\n"
                 "Supports all versions of Windows.\r\n",
                 text);
}

TEST_F(PluginHostTest, TheCallbackWalksAndAnswersAndRefusesWhatIsGone) {
    CVellumMenuObject* a = LoadBarWith("A", {100, 100, 400, 130},
                                       {"[Section1]", "Item1.Title=One", "Item2.Title=Two",
                                        "Item3.Type=Plugin", "Item3.Title=Plug"});
    CVellumMenuObject* b = LoadBarWith("B", {100, 200, 400, 230}, {"[Section1]", "Item1.Title=B1"});
    CVellumMenuObject* c = LoadBarWith("C", {100, 300, 400, 330}, {"[Section1]", "Item1.Title=C1"});
    // Bars in the registry's order, both ways.
    EXPECT_EQ(reinterpret_cast<INT_PTR>(a), Host(VTHC_NEXTBAR, nullptr));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(b), Host(VTHC_NEXTBAR, a));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(c), Host(VTHC_NEXTBAR, b));
    EXPECT_EQ(0, Host(VTHC_NEXTBAR, c));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(c), Host(VTHC_PREVBAR, nullptr));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(b), Host(VTHC_PREVBAR, c));
    EXPECT_EQ(0, Host(VTHC_PREVBAR, a));

    CVellumMenuSection* section = a->m_sections[0];
    CVellumMenuItem* first = section->m_items[0];
    CVellumMenuItem* plug = section->m_items[2];
    EXPECT_EQ(reinterpret_cast<INT_PTR>(section), Host(VTHC_NEXTSECTION, a));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(first), Host(VTHC_NEXTITEM, section));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(section->m_items[1]), Host(VTHC_NEXTITEM, section, first));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(plug), Host(VTHC_PREVITEM, section));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(a), Host(VTHC_GETITEMBAR, plug));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(section), Host(VTHC_GETITEMSECTION, plug));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(a), Host(VTHC_BARFROMWINDOW, a->m_hWnd));
    EXPECT_EQ(0, Host(VTHC_GETOWNERBAR, plug));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(a), Host(VTHC_GETOWNERBAR, plug, plug));

    // Titles: the length only with a second argument; a new title is saved.
    EXPECT_EQ(0, Host(VTHC_GETTITLELENGTH, plug));
    EXPECT_EQ(4, Host(VTHC_GETTITLELENGTH, plug, plug));
    EXPECT_EQ(1, Host(VTHC_SETTITLE, plug, "Renamed"));
    char title[kPluginPathSize] = "";
    EXPECT_EQ(1, Host(VTHC_GETTITLE, plug, title));
    EXPECT_STREQ("Renamed", title);
    std::string file = bars_ + "A.tsbar";
    ASSERT_EQ(1, a->Save(const_cast<char*>(file.c_str())));
    char saved[64] = "";
    GetPrivateProfileStringA("Section1", "Item3.Title", "", saved, sizeof(saved), file.c_str());
    EXPECT_STREQ("Renamed", saved);

    // Folders: the data folder is made; code 1056 without a bar names the
    // plug-ins folder, with one the bar's skin.
    char folder[kPluginPathSize] = "";
    EXPECT_EQ(1, Host(VTHC_GETDATAFOLDER, folder));
    EXPECT_EQ(bars_ + "Data\\", folder);
    EXPECT_TRUE(GetFileAttributesA(folder) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder));
    char plugins[kPluginPathSize] = "";
    EXPECT_EQ(1, Host(VTHC_GETBARSKIN, plugins));
    EXPECT_EQ(testing_support::BinFolder() + "VTPlugins\\", plugins);
    char skin[kPluginPathSize] = "";
    EXPECT_EQ(1, Host(VTHC_GETBARSKIN, a, skin));
    EXPECT_EQ(0, lstrcmpiA(skin_.c_str(), skin)) << skin;

    // Images: an icon at the asked size, nothing for a missing file.
    PluginImageRequest icon = {};
    lstrcpynA(icon.path, (testing_support::SourceFolder() + "types\\res\\plugin_item.ico").c_str(),
              sizeof(icon.path));
    icon.width = 32;
    ASSERT_EQ(1, Host(VTHC_LOADIMAGE, &icon));
    BITMAP bm = {};
    HBITMAP image = reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(icon.image));
    ASSERT_TRUE(GetObjectA(image, sizeof(bm), &bm));
    EXPECT_EQ(32, bm.bmWidth);
    EXPECT_EQ(32, bm.bmHeight);
    EXPECT_EQ(32, icon.height);
    DeleteObject(image);
    PluginImageRequest missing = {};
    lstrcpynA(missing.path, (files_.Path() + "missing.bmp").c_str(), sizeof(missing.path));
    EXPECT_EQ(0, Host(VTHC_LOADIMAGE, &missing));
    PluginImageRequest bare = {};
    lstrcpynA(bare.path, "noextension", sizeof(bare.path));
    EXPECT_EQ(0, Host(VTHC_LOADIMAGE, &bare));

    // What is gone, or never was, answers 0.
    CloseAllBars();
    const void* stale[] = {a, section, plug, reinterpret_cast<void*>(0x12345678)};
    for (const void* p : stale) {
        EXPECT_EQ(0, Host(VTHC_GETITEMBAR, p));
        EXPECT_EQ(0, Host(VTHC_NEXTITEM, p));
        EXPECT_EQ(0, Host(VTHC_NEXTSECTION, p));
        EXPECT_EQ(0, Host(VTHC_NEXTBAR, p));
        EXPECT_EQ(0, Host(VTHC_SETTITLE, p, "x"));
        EXPECT_EQ(0, Host(VTHC_ISBARVERTICAL, p));
        EXPECT_EQ(0, Host(VTHC_REGISTERITEM, p, p));
        EXPECT_EQ(0, Host(VTHC_GETBARSKIN, p, skin));
    }
}

TEST_F(PluginHostTest, TheLiveItemTableTakesTwentyAndRefusesTheTwentyFirst) {
    std::vector<std::string> lines = {"[Section1]"};
    for (int i = 1; i <= 21; ++i) lines.push_back("Item" + std::to_string(i) + ".Type=Plugin");
    CVellumMenuObject* bar = LoadBarWith("Live", {50, 100, 900, 130}, lines);
    for (int i = 0; i < 21; ++i)
        EXPECT_EQ(i < 20 ? 1 : 0, Host(VTHC_REGISTERITEM, Plugin(bar, i), bar)) << i;
    // Removal frees a slot for the one that was refused.
    EXPECT_EQ(1, Host(VTHC_REGISTERITEM, Plugin(bar, 0), nullptr));
    EXPECT_EQ(1, Host(VTHC_REGISTERITEM, Plugin(bar, 20), bar));
}

}  // namespace
}  // namespace plugin_test
