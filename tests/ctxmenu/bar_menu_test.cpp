// The bar's right-click menu: which entries it offers for each kind of bar
// and section, its header lines, and its commands as they land in the bar,
// the saved bar file, the plug-ins and the main window.
#include "ctxmenu_fixture.h"

#include <functional>
#include <map>
#include "model/bar_host.h"
#include "model/bar_input_internal.h"
#include "model/bar_menu_host_calls.h"
#include "model/bar_menu_resources.h"
#include "model/item_host_calls.h"
#include "model/item_menu_resources.h"
#include "model/plugin_calls.h"
#include "model/live_objects.h"
#include "skins/skin_record.h"
#include "tests/support/stand_in_main_window.h"
#include "model/menu_header_text.h"
#include "shell/startup.h"

namespace ctxmenu_test {
namespace {

// A section that keeps its items in place, as a taskbar does.
class LockedSection : public CVellumMenuSection {
public:
    explicit LockedSection(CVellumMenuObject* bar) : CVellumMenuSection(bar, -1, 0) {}
    int IsLockedSection() override { return 1; }
};

// A section type that adds an entry of its own and does not run it.
class CustomEntrySection : public CVellumMenuSection {
public:
    explicit CustomEntrySection(CVellumMenuObject* bar) : CVellumMenuSection(bar, -1, 0) {}
    void InitCustomContextMenu(HMENU, HMENU sectionMenu) override {
        AppendMenuA(sectionMenu, MF_STRING, kCustomId, "Custom entry");
    }
    static constexpr UINT kCustomId = 45001;
};

constexpr RECT kBarRect = {100, 100, 500, 130};

class BarMenuTest : public CtxMenuTest {
protected:
    CVellumMenuObject* Bar(const std::string& name, const std::vector<std::string>& object_lines = {},
                           bool vertical = false, const char* title = "Menus",
                           int items = 1, const std::string& item_title = "First") {
        std::vector<std::string> section = {"Type=Default", "Title=Items"};
        for (int i = 1; i <= items; ++i) {
            section.push_back("Item" + std::to_string(i) + ".Title=" + (i == 1 ? item_title : "Other"));
            section.push_back("Item" + std::to_string(i) + ".ShowText=1");
        }
        RECT r = vertical ? RECT{100, 100, 260, 400} : kBarRect;
        path_ = WriteBar(name + ".tsbar", BarText(title, r, vertical, object_lines, {section}));
        return LoadBar(path_);
    }
    static CVellumMenuSection* Section(CVellumMenuObject* bar, int i = 0) { return bar->m_sections[i]; }
    static CVellumMenuItem* Item(CVellumMenuObject* bar, int i = 0) {
        return bar->m_sections[0] ? bar->m_sections[0]->m_items[i] : nullptr;
    }
    MenuDriver Open(CVellumMenuObject* bar, CVellumMenuSection* section, CVellumMenuItem* item,
                    UINT choose = 0) {
        MenuDriver driver(choose);
        driver.Run([&] { EXPECT_EQ(1, ShowBarContextMenu(bar, section, item)); });
        EXPECT_TRUE(driver.Shown());
        return driver;
    }
    std::string path_;
};

TEST_F(BarMenuTest, EntriesFollowTheKindOfBarAndSection) {
    struct Case {
        const char* name;
        std::vector<std::string> object_lines;
        bool simple, styles, torn_off, volatile_bar, internal, locked, with_item, with_section;
        std::vector<UINT> present, absent;   // anywhere in the menu
        std::vector<UINT> top, not_top;      // in the menu itself
    } const cases[] = {
        {"ordinary", {}, false, false, false, false, false, false, true, true,
         {IDM_NEW_SHORTCUT_ITEM, IDM_NEW_POPUP_ITEM, IDM_NEW_CLOCK_ITEM, IDM_LOAD_THEME, 40063,
          IDM_SECTION_HEADER, IDM_BAR_HEADER, IDM_TASK_MANAGER, IDM_PROPERTIES, IDM_BAR_AUTOHIDE},
         {IDM_PLUGIN_PLACEHOLDER, IDM_CHANGE_THEME_STYLE, IDM_BAR_IGNORE_SKIN_AUTOHIDE,
          IDM_INTERNAL_ALWAYS_ON_TOP},
         {IDM_TASK_MANAGER, IDM_PROPERTIES}, {IDM_BAR_CLOSE}},
        {"theme with styles", {}, false, true, false, false, false, false, true, true,
         {IDM_CHANGE_THEME_STYLE}, {}, {}, {}},
        {"torn-off volatile", {}, false, false, true, true, false, false, true, true,
         {IDM_BAR_CLOSE}, {IDM_TASK_MANAGER}, {IDM_BAR_CLOSE}, {}},
        {"internal", {}, false, true, false, false, true, false, false, false,
         {IDM_INTERNAL_ALWAYS_ON_TOP, IDM_BAR_CLOSE},
         {IDM_TASK_MANAGER, IDM_CHANGE_THEME_STYLE, IDM_NEW_SHORTCUT_ITEM, IDM_PLUGIN_PLACEHOLDER},
         {IDM_INTERNAL_ALWAYS_ON_TOP, IDM_BAR_CLOSE}, {}},
        {"locked section", {}, false, false, false, false, false, true, true, true,
         {IDM_SECTION_HEADER, IDM_LOAD_THEME},
         {IDM_NEW_SHORTCUT_ITEM, IDM_NEW_SECTION, 40063, IDM_ITEM_REMOVE}, {}, {}},
        {"no item, no section", {}, false, false, false, false, false, false, false, false,
         {IDM_BAR_HEADER}, {40063, IDM_SECTION_HEADER, IDM_BAR_ITEM_OPTIONS, IDM_SECTION_OPTIONS_ENTRY}, {}, {}},
        {"simple menus", {}, true, true, false, false, false, false, true, true,
         {IDM_TASK_MANAGER},
         {IDM_CHANGE_THEME_STYLE, IDM_BAR_CLOSE, 40063, IDM_SECTION_HEADER, IDM_BAR_ITEM_OPTIONS,
          IDM_SECTION_OPTIONS_ENTRY, IDM_PLUGIN_PLACEHOLDER, IDM_NEW_SHORTCUT_ITEM},
         {IDM_TASK_MANAGER}, {}},
        {"horizontal", {}, false, false, false, false, false, false, true, true,
         {IDM_BAR_DOCK_NONE, IDM_BAR_DOCK_TOP, IDM_BAR_DOCK_BOTTOM},
         {IDM_BAR_DOCK_LEFT, IDM_BAR_DOCK_RIGHT}, {}, {}},
        {"autohide", {"UseAutohide=1"}, false, false, false, false, false, false, true, true,
         {IDM_BAR_IGNORE_SKIN_AUTOHIDE}, {}, {}, {}},
    };
    static bool simple = false, styles = false;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        simple = c.simple;
        styles = c.styles;
        GetBarMenuHostCalls().IsSimpleMenuMode = [] { return simple; };
        GetBarMenuHostCalls().ThemeHasStyles = [] { return styles; };
        CVellumMenuObject* bar = Bar("kinds" + std::to_string(++n), c.object_lines);
        ASSERT_TRUE(IsLiveBar(bar));
        bar->m_tornOff = c.torn_off;
        bar->m_volatile = c.volatile_bar;
        bar->m_internalBar = c.internal;
        CVellumMenuSection* section = c.with_section ? Section(bar) : nullptr;
        CVellumMenuItem* item = c.with_item ? Item(bar) : nullptr;
        if (c.locked) {
            auto* locked = new LockedSection(bar);
            bar->InsertSection(0, locked);
            char plain[] = "";
            locked->AddItem(plain, 1, 0);
            section = locked;
            item = locked->m_items[0];
        }
        MenuDriver menu = Open(bar, section, item);
        for (UINT id : c.present) EXPECT_TRUE(menu.Has(id)) << id;
        for (UINT id : c.absent) EXPECT_FALSE(menu.Has(id)) << id;
        for (UINT id : c.top) EXPECT_TRUE(menu.HasAtTop(id)) << id;
        for (UINT id : c.not_top) EXPECT_FALSE(menu.HasAtTop(id)) << id;
        // Header lines are drawn by the bar and can never be chosen.
        for (const ShownEntry& e : menu.Entries())
            if (e.owner_drawn) {
                EXPECT_TRUE(e.disabled) << e.id;
            }
        // Every part undid itself.
        EXPECT_EQ(nullptr, bar->m_barSubmenu);
        if (section) {
            EXPECT_EQ(nullptr, section->m_contextSubmenu);
        }
        EXPECT_STREQ("", GetBarMenuHeaderText());
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(BarMenuTest, HeaderLinesNameTheBarTheSectionAndTheItemCut) {
    const std::string title35 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789";
    const std::string item40 = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    ASSERT_EQ(35u, title35.size());
    ASSERT_EQ(40u, item40.size());
    CVellumMenuObject* bar = Bar("headers", {}, false, title35.c_str(), 1, item40);
    ASSERT_TRUE(IsLiveBar(bar));
    MenuDriver menu = Open(bar, Section(bar), Item(bar));
    EXPECT_EQ("Bar: " + title35.substr(0, 22) + "...", menu.bar_line);
    EXPECT_EQ("Item: " + item40.substr(0, 21) + "...", menu.item_line);
    EXPECT_EQ("Section: Items", menu.section_line);
    // The parts are grafted under their names.
    for (const char* name : {"Item Options", "Section Options", "Bar Options"}) {
        bool found = false;
        for (const ShownEntry& e : menu.Entries()) found = found || (e.popup && e.text == name);
        EXPECT_TRUE(found) << name;
    }
    // Emptied once the menu closed.
    EXPECT_STREQ("", GetBarMenuHeaderText());
    EXPECT_STREQ("", GetSectionMenuHeaderText());
    EXPECT_STREQ("", GetItemMenuHeaderText());
}

TEST_F(BarMenuTest, BarOptionsMarksFollowTheBar) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        bool vertical;
        std::vector<UINT> checked, unchecked, absent;
    } const cases[] = {
        {"plain horizontal", {}, false,
         {IDM_BAR_HORIZONTAL, IDM_BAR_DOCK_NONE, IDM_BAR_GROW_RIGHT, IDM_BAR_GROW_BOTTOM},
         {IDM_BAR_AUTOHIDE, IDM_BAR_SHOW_CAPTION, IDM_BAR_ALWAYS_ON_TOP, IDM_BAR_VERTICAL, IDM_BAR_DOCK_TOP},
         {IDM_BAR_DOCK_LEFT, IDM_BAR_DOCK_RIGHT, IDM_BAR_IGNORE_SKIN_AUTOHIDE}},
        {"docked bottom, autohide", {"DockToEdge=3", "UseAutohide=1", "bIgnoreSkinAutohideSettings=1",
                                     "ShowTitle=1", "ResizingMovingLeft=1", "ResizingMovingUp=1"}, false,
         {IDM_BAR_DOCK_BOTTOM, IDM_BAR_AUTOHIDE, IDM_BAR_IGNORE_SKIN_AUTOHIDE, IDM_BAR_SHOW_CAPTION,
          IDM_BAR_GROW_LEFT, IDM_BAR_GROW_TOP},
         {IDM_BAR_DOCK_NONE, IDM_BAR_GROW_RIGHT, IDM_BAR_GROW_BOTTOM}, {IDM_BAR_DOCK_LEFT}},
        {"vertical docked right", {"DockToEdge=2", "AlwaysOnTop=1"}, true,
         {IDM_BAR_VERTICAL, IDM_BAR_DOCK_RIGHT, IDM_BAR_ALWAYS_ON_TOP},
         {IDM_BAR_HORIZONTAL, IDM_BAR_DOCK_LEFT, IDM_BAR_DOCK_NONE},
         {IDM_BAR_DOCK_TOP, IDM_BAR_DOCK_BOTTOM, IDM_BAR_IGNORE_SKIN_AUTOHIDE}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = Bar("marks" + std::to_string(++n), c.lines, c.vertical);
        ASSERT_TRUE(IsLiveBar(bar));
        MenuDriver menu = Open(bar, nullptr, nullptr);
        for (UINT id : c.checked) {
            ASSERT_NE(nullptr, menu.Find(id)) << id;
            EXPECT_TRUE(menu.Find(id)->checked) << id;
        }
        for (UINT id : c.unchecked) {
            ASSERT_NE(nullptr, menu.Find(id)) << id;
            EXPECT_FALSE(menu.Find(id)->checked) << id;
        }
        for (UINT id : c.absent) EXPECT_FALSE(menu.Has(id)) << id;
        const ShownEntry* skin = menu.Find(IDM_BAR_CURRENT_SKIN);
        ASSERT_NE(nullptr, skin);
        EXPECT_EQ("CurrentSkin: Menus", skin->text);
        EXPECT_TRUE(skin->disabled);
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(BarMenuTest, CommandsChosenByKeysLandInTheSavedBarFile) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        bool vertical;
        UINT id;
        const char* section;   // of the bar file
        std::map<std::string, std::string> saved;
    } const cases[] = {
        {"dock top", {}, false, IDM_BAR_DOCK_TOP, "Object", {{"DockToEdge", "1"}}},
        {"undock", {"DockToEdge=1"}, false, IDM_BAR_DOCK_NONE, "Object", {{"DockToEdge", "<none>"}}},
        {"autohide on", {}, false, IDM_BAR_AUTOHIDE, "Object", {{"UseAutohide", "1"}}},
        {"autohide off", {"UseAutohide=1"}, false, IDM_BAR_AUTOHIDE, "Object", {{"UseAutohide", "<none>"}}},
        {"caption", {}, false, IDM_BAR_SHOW_CAPTION, "Object", {{"ShowTitle", "1"}}},
        {"always on top", {}, false, IDM_BAR_ALWAYS_ON_TOP, "Object", {{"AlwaysOnTop", "1"}}},
        {"grow up", {}, false, IDM_BAR_GROW_TOP, "Object", {{"ResizingMovingUp", "1"}}},
        {"grow left", {}, false, IDM_BAR_GROW_LEFT, "Object", {{"ResizingMovingLeft", "1"}}},
        {"vertical", {}, false, IDM_BAR_VERTICAL, "Object", {{"DisplayVertically", "1"}}},
        {"horizontal", {}, true, IDM_BAR_HORIZONTAL, "Object", {{"DisplayVertically", "0"}}},
        {"equal widths", {}, false, IDM_SECTION_EQUAL_WIDTHS, "Section1", {{"Properties.EqualWidths", "1"}}},
        {"multiple rows", {}, false, IDM_SECTION_MULTIPLE_ROWS, "Section1",
         {{"Properties.AllowMultipleRowsCols", "1"}}},
        {"icons only", {}, false, IDM_SECTION_ICONS_ONLY, "Section1",
         {{"Properties.ShowTextByDef", "0"}, {"Properties.ShowIconsByDef", "1"}}},
        {"icon size 48", {}, false, IDM_SECTION_ICON_48, "Section1", {{"Properties.DefaultIconSize", "48"}}},
        {"skin type 2", {}, false, IDM_SECTION_SKIN_2, "Section1", {{"Properties.iSectionSkin", "1"}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = Bar("commands" + std::to_string(++n), c.lines, c.vertical);
        ASSERT_TRUE(IsLiveBar(bar));
        bar->m_modified = FALSE;
        MenuDriver menu = Open(bar, Section(bar), Item(bar), c.id);
        ASSERT_TRUE(menu.Has(c.id)) << c.id;
        EXPECT_TRUE(bar->m_modified);
        ASSERT_TRUE(bar->Save(const_cast<char*>(path_.c_str())));
        for (const auto& [key, value] : c.saved) EXPECT_EQ(value, ReadKey(path_, c.section, key.c_str())) << key;
        if (c.id == IDM_BAR_DOCK_TOP) {
            RECT r;
            GetWindowRect(bar->m_hWnd, &r);
            EXPECT_EQ(0, r.top);
        }
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(BarMenuTest, CommandsNobodyTakesReachTheMainWindowAndPlugInsHearOfTheMenu) {
    static std::vector<std::pair<UINT, INT_PTR>> told;
    told.clear();
    PluginCalls saved = GetPluginCalls();
    GetPluginCalls().TellBarPlugins = [](CVellumMenuObject*, UINT message, INT_PTR param) {
        told.emplace_back(message, param);
    };
    CVellumMenuObject* bar = Bar("routing");
    ASSERT_TRUE(IsLiveBar(bar));
    Open(bar, Section(bar), Item(bar), IDM_LOAD_THEME);
    EXPECT_TRUE(Wait([] { return MainLog().SawCommand(IDM_LOAD_THEME); }));
    ASSERT_EQ(2u, told.size());
    EXPECT_EQ(1100u, told[0].first);
    EXPECT_NE(0, told[0].second);
    EXPECT_EQ(1101u, told[1].first);
    EXPECT_EQ(static_cast<INT_PTR>(IDM_LOAD_THEME), told[1].second);

    // A section type's own entry that it does not run goes on too.
    auto* custom = new CustomEntrySection(bar);
    bar->InsertSection(0, custom);
    MenuDriver menu = Open(bar, custom, nullptr, CustomEntrySection::kCustomId);
    EXPECT_TRUE(menu.Has(CustomEntrySection::kCustomId));
    EXPECT_TRUE(Wait([] { return MainLog().SawCommand(CustomEntrySection::kCustomId); }));
    // A cancelled menu tells the plug-ins of no command.
    told.clear();
    Open(bar, Section(bar), nullptr, 0);
    ASSERT_EQ(1u, told.size());
    EXPECT_EQ(1100u, told[0].first);
    GetPluginCalls() = saved;
}

TEST_F(BarMenuTest, NewItemsPropertiesAndNewSectionGoToTheirOwners) {
    struct Call {
        std::string what;
        const void* object;
        int tab;
    };
    static std::vector<Call> calls;
    calls.clear();
    BarMenuHostCalls& host = GetBarMenuHostCalls();
    host.CreateNewItem = [](CVellumMenuObject* b, CVellumMenuSection*, CVellumMenuItem* after, const char* type) {
        calls.push_back({type, after, 0});
        return 1;
    };
    host.SelectInThemeEditor = [](const void* object, int tab) { calls.push_back({"select", object, tab}); };
    host.ShowNewSectionDialog = [](CVellumMenuObject* b) { calls.push_back({"new section", b, 0}); };
    CVellumMenuObject* bar = Bar("owners");
    ASSERT_TRUE(IsLiveBar(bar));
    CVellumMenuItem* item = Item(bar);
    struct Case {
        UINT id;
        std::string what;
        const void* object;
    } const cases[] = {
        {IDM_NEW_SHORTCUT_ITEM, "Shortcut", item},
        {IDM_NEW_POPUP_ITEM, "Popup", item},
        {IDM_NEW_CLOCK_ITEM, "Clock", item},
        {IDM_PROPERTIES, "select", item},
        {IDM_NEW_SECTION, "new section", bar},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        calls.clear();
        Open(bar, Section(bar), item, c.id);
        ASSERT_EQ(1u, calls.size());
        EXPECT_EQ(c.what, calls[0].what);
        EXPECT_EQ(c.object, calls[0].object);
    }
    // Properties without an item shows the section, without either the bar.
    calls.clear();
    Open(bar, Section(bar), nullptr, IDM_PROPERTIES);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(static_cast<const void*>(Section(bar)), calls[0].object);
    calls.clear();
    Open(bar, nullptr, nullptr, IDM_PROPERTIES);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(static_cast<const void*>(bar), calls[0].object);
}

// Answers the "Create Section" dialog from a timer: the first type, a
// title, OK.
bool g_section_dialog_answered = false;
void CALLBACK AnswerNewSectionDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowA("#32770", "Create Section");
    if (g_section_dialog_answered || !dialog || !IsWindowVisible(dialog)) return;
    g_section_dialog_answered = true;
    SendDlgItemMessageA(dialog, 1097, CB_SETCURSEL, 0, 0);
    SetDlgItemTextA(dialog, 1044, "Added");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// Filled by the shell, the same entries make real items after the item and
// open the "Create Section" dialog, whose choice adds a section.
TEST_F(BarMenuTest, NewItemsAndNewSectionThroughTheShell) {
    InstallBarMenuHostCalls();
    CVellumMenuObject* bar = Bar("shell owners", {}, false, "Menus", 2);
    ASSERT_TRUE(IsLiveBar(bar));
    struct Case {
        UINT id;
        const char* kind;    // the new item's type name
        const char* title;   // null: the type's own
    } const cases[] = {
        {IDM_NEW_SHORTCUT_ITEM, "Shortcut", "New Shortcut Item"},
        {IDM_NEW_POPUP_ITEM, "Popup Item", "New Popup Item"},
        {IDM_NEW_CLOCK_ITEM, "Clock", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const int before = Section(bar)->GetNumOfItems();
        bar->m_modified = FALSE;
        Open(bar, Section(bar), Item(bar), c.id);
        ASSERT_EQ(before + 1, Section(bar)->GetNumOfItems());
        char kind[64] = "";
        Item(bar, 1)->GetCustomItemName(kind);
        EXPECT_STREQ(c.kind, kind);
        if (c.title) {
            EXPECT_STREQ(c.title, Item(bar, 1)->m_title);
        }
        EXPECT_STREQ("Other", Item(bar, before)->m_title);
        EXPECT_TRUE(bar->m_modified);
    }

    g_section_dialog_answered = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, AnswerNewSectionDialog);
    Open(bar, Section(bar), Item(bar), IDM_NEW_SECTION);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_section_dialog_answered);
    ASSERT_EQ(2, bar->GetSectionCount());
    EXPECT_STREQ("Added", Section(bar, 1)->Title);
}

TEST_F(BarMenuTest, TaskManagerFallsBackAndNotepadGetsTheSkinQuoted) {
    static std::vector<std::pair<std::string, std::string>> started;
    static int failures = 0;
    GetBarMenuHostCalls().StartProgram = [](const char* file, const char* parameters) {
        started.emplace_back(file, parameters ? parameters : "");
        return failures-- <= 0;
    };
    CVellumMenuObject* bar = Bar("programs");
    ASSERT_TRUE(IsLiveBar(bar));
    struct Case {
        int failures;
        std::vector<std::string> tried;
    } const cases[] = {
        {0, {"taskmgr.exe"}},
        {2, {"taskmgr.exe", "c:\\winnt\\system32\\taskmgr.exe", "c:\\windows\\system32\\taskmgr.exe"}},
        {9, {"taskmgr.exe", "c:\\winnt\\system32\\taskmgr.exe", "c:\\windows\\system32\\taskmgr.exe",
             "taskman.exe"}},
    };
    for (const Case& c : cases) {
        started.clear();
        failures = c.failures;
        Open(bar, Section(bar), Item(bar), IDM_TASK_MANAGER);
        std::vector<std::string> tried;
        for (const auto& s : started) tried.push_back(s.first);
        EXPECT_EQ(c.tried, tried);
    }

    // Ctrl held: Notepad opens the skin file, its path quoted.
    started.clear();
    failures = 0;
    static std::string edited;
    GetItemHostCalls().EditSkinInSkinEditor = [](const char* path) {
        edited = path;
        return true;
    };
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(1, bar->DoContextMenuCommand(IDM_BAR_EDIT_SKIN));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    ASSERT_EQ(1u, started.size());
    EXPECT_EQ("notepad.exe", started[0].first);
    EXPECT_EQ("\"" + std::string(bar->m_skin->path) + "\"", started[0].second);
    EXPECT_TRUE(edited.empty());
    // Without Ctrl the skin editor opens it.
    EXPECT_EQ(1, bar->DoContextMenuCommand(IDM_BAR_EDIT_SKIN));
    EXPECT_EQ(std::string(bar->m_skin->path), edited);
    EXPECT_EQ(1u, started.size());
}

TEST_F(BarMenuTest, ARightClickOnAnItemOpensTheMenuForItsItemSectionAndBar) {
    CVellumMenuObject* bar = Bar("click");
    ASSERT_TRUE(IsLiveBar(bar));
    CVellumMenuItem* item = Item(bar);
    RECT r;
    item->GetRealItemRect(&r);
    RECT w;
    GetWindowRect(bar->m_hWnd, &w);
    SetCursorPos(w.left + (r.left + r.right) / 2, w.top + (r.top + r.bottom) / 2);
    MenuDriver menu;
    menu.Run([&] {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
        SendInput(2, input, sizeof(INPUT));
        testing_support::PumpUntil([&] { return menu.Shown(); }, 3000);
    });
    ASSERT_TRUE(menu.Shown());
    EXPECT_EQ("Item: First", menu.item_line);
    EXPECT_EQ("Section: Items", menu.section_line);
    EXPECT_EQ("Bar: Menus", menu.bar_line);
    EXPECT_TRUE(menu.Has(IDM_ITEM_REMOVE));
    EXPECT_TRUE(Wait([&] { return !bar->m_contextMenuRunning; }));
}

TEST_F(BarMenuTest, ASectionDeletedWhileTheMenuShowsIsLeftAlone) {
    CVellumMenuObject* bar = Bar("deleted", {}, false, "Menus", 2);
    ASSERT_TRUE(IsLiveBar(bar));
    auto* doomed = new CVellumMenuSection(bar, -1, 0);
    bar->InsertSection(0, doomed);
    char plain[] = "";
    doomed->AddItem(plain, 1, 0);
    CVellumMenuItem* doomed_item = doomed->m_items[0];
    ASSERT_NE(nullptr, doomed_item);
    static int started = 0;
    started = 0;
    GetBarMenuHostCalls().StartProgram = [](const char*, const char*) {
        ++started;
        return true;
    };
    // Like a taskbar rebuilding its buttons meanwhile: the section goes.
    MenuDriver menu(IDM_TASK_MANAGER);
    menu.while_open = [&] { bar->RemoveSection(doomed, 1); };
    menu.Run([&] { EXPECT_EQ(1, ShowBarContextMenu(bar, doomed, doomed_item)); });
    ASSERT_TRUE(menu.Shown());
    EXPECT_FALSE(IsLiveSection(doomed));
    EXPECT_TRUE(IsLiveBar(bar));
    EXPECT_EQ(1, started);
    EXPECT_EQ(nullptr, bar->m_barSubmenu);
    EXPECT_STREQ("", GetBarMenuHeaderText());
    EXPECT_STREQ("", GetSectionMenuHeaderText());
    EXPECT_STREQ("", GetItemMenuHeaderText());
}

TEST_F(BarMenuTest, BarCommandsThatDoNotApplyChangeNothing) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        bool vertical;
        int id;
        bool modified;
        std::function<bool(CVellumMenuObject*)> holds;
    } const cases[] = {
        {"left edge on a horizontal bar", {}, false, IDM_BAR_DOCK_LEFT, false,
         [](CVellumMenuObject* b) { return b->DockToEdge == -1; }},
        {"top edge on a vertical bar", {}, true, IDM_BAR_DOCK_TOP, false,
         [](CVellumMenuObject* b) { return b->DockToEdge == -1; }},
        {"same edge again", {"DockToEdge=3"}, false, IDM_BAR_DOCK_BOTTOM, false,
         [](CVellumMenuObject* b) { return b->DockToEdge == 3; }},
        {"orientation of a docked bar", {"DockToEdge=1"}, false, IDM_BAR_VERTICAL, false,
         [](CVellumMenuObject* b) { return !b->DisplayVertically; }},
        {"orientation it has", {}, false, IDM_BAR_HORIZONTAL, false,
         [](CVellumMenuObject* b) { return !b->DisplayVertically; }},
        {"internal bar on top", {}, false, IDM_INTERNAL_ALWAYS_ON_TOP, false,
         [](CVellumMenuObject* b) { return b->AlwaysOnTop != FALSE; }},
        {"ignore skin autohide", {"UseAutohide=1"}, false, IDM_BAR_IGNORE_SKIN_AUTOHIDE, true,
         [](CVellumMenuObject* b) { return b->bIgnoreSkinAutohideSettings != FALSE; }},
        {"current skin", {}, false, IDM_BAR_CURRENT_SKIN, false, [](CVellumMenuObject*) { return true; }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = Bar("inapt" + std::to_string(++n), c.lines, c.vertical);
        ASSERT_TRUE(IsLiveBar(bar));
        bar->m_modified = FALSE;
        EXPECT_EQ(1, bar->DoContextMenuCommand(c.id));
        EXPECT_EQ(c.modified, bar->m_modified != FALSE);
        EXPECT_TRUE(c.holds(bar));
        testing_support::CloseTestBar(bar, true);
    }
    // Ids that are not the bar's are left to others.
    CVellumMenuObject* bar = Bar("others");
    EXPECT_EQ(0, bar->DoContextMenuCommand(IDM_LOAD_THEME));
    EXPECT_EQ(0, bar->DoContextMenuCommand(IDM_SECTION_EQUAL_WIDTHS));
}

TEST_F(BarMenuTest, CloseBarEndsATornOffBarOnceTheMenuHasClosed) {
    static int removed = 0, refreshed = 0;
    removed = refreshed = 0;
    GetItemHostCalls().RemoveBarFromThemeEditor = [](CVellumMenuObject*) { ++removed; };
    GetBarHostServices().PostHiddenTaskbarUpdate = [] { ++refreshed; };
    CVellumMenuObject* bar = Bar("close");
    ASSERT_TRUE(IsLiveBar(bar));
    bar->m_tornOff = TRUE;
    // Held by the window's message as a right click would be.
    bar->AddRef();
    MenuDriver menu(IDM_BAR_CLOSE);
    menu.Run([&] { ShowBarContextMenu(bar, Section(bar), Item(bar)); });
    ASSERT_TRUE(menu.Shown());
    EXPECT_EQ(1, removed);
    EXPECT_LE(1, refreshed);
    ASSERT_TRUE(IsLiveBar(bar));
    bar->Release();
    EXPECT_TRUE(Wait([&] { return !IsLiveBar(bar); }));
}

}  // namespace
}  // namespace ctxmenu_test
