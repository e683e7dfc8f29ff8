// The theme editor's commands and context menus: removals that survive a
// save and reload, the menus of each kind of node, the tray menu on empty
// space, the helper lines switched from the editor, and volatile bars that
// lose the activation while it is open.
#include "editor_fixture.h"

#include <cstdlib>
#include "model/live_objects.h"
#include "shell/global_settings.h"
#include "shell/helper_lines.h"
#include "shell/startup.h"
#include "shell/theme_editor.h"
#include "tests/support/stand_in_main_window.h"

namespace editor_test {
namespace {

using testing_support::PumpFor;

const std::vector<std::vector<std::string>> kTwoSections = {
    {"Type=Default", "Title=Apps", "Item1.Title=One", "Item1.ShowText=1", "Item2.Title=Two",
     "Item2.ShowText=1"},
    {"Type=Default", "Title=Tools", "Item1.Title=Hammer", "Item1.ShowText=1"},
};

// Titles of the bar file's sections and their items, as a reload reads them.
std::vector<std::string> Contents(CVellumMenuObject* bar) {
    std::vector<std::string> out;
    for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i) {
        CVellumMenuSection* section = bar->m_sections[i];
        out.push_back(section->Title);
        for (int j = 0; j < kMaxItems && section->m_items[j]; ++j)
            out.push_back(std::string(">") + (section->m_items[j]->m_title ? section->m_items[j]->m_title : ""));
    }
    return out;
}

// Each removal, by the editor's menu and by the tree's context menu, marks
// the bar modified, leaves the tree and the bar without the object and
// lasts through a save and a reload of the bar file.
TEST_F(EditorTest, RemovalsByMenuAndContextMenuSurviveAReload) {
    struct Case {
        const char* what;
        bool context_menu;
        UINT command;            // the editor's menu
        int entry;               // the context menu's entry
        int section, item;       // what is selected (item -1: the section)
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"menu: remove item", false, 40064, 0, 0, 1, {"Apps", ">One", "Tools", ">Hammer"}},
        {"menu: remove container", false, 40121, 0, 1, -1, {"Apps", ">One", ">Two"}},
        {"context: remove item", true, 0, 0, 1, 0, {"Apps", ">One", ">Two", "Tools"}},
        {"context: remove container", true, 0, 0, 0, -1, {"Tools", ">Hammer"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CVellumMenuObject* bar = Bar("Edited", {}, kTwoSections);
        const std::string path = bar->m_barFile;
        ASSERT_NE(nullptr, OpenEditor());
        CVellumMenuSection* section = bar->m_sections[c.section];
        const void* target = c.item < 0 ? static_cast<const void*>(section) : section->m_items[c.item];
        HTREEITEM node = NodeOf(target);
        ASSERT_NE(nullptr, node);
        Select(node);
        bar->m_modified = FALSE;
        if (c.context_menu) {
            auto answer = MenuDriver::ChoosingPosition(c.entry);
            RightClick(TextPoint(node), &answer);
            EXPECT_TRUE(answer.Shown());
        } else {
            SendThemeEditorCommand(c.command);
        }
        PumpFor(30);
        EXPECT_TRUE(bar->m_modified);
        EXPECT_EQ(nullptr, NodeOf(target));
        EXPECT_EQ(c.left, Contents(bar));
        ASSERT_NE(0, bar->Save(bar->m_barFile));
        testing_support::CloseTestBar(bar, true);
        CVellumMenuObject* again = Reload(path);
        EXPECT_EQ(c.left, Contents(again));
        testing_support::CloseTestBar(again, true);
    }
}

// The context menu of each kind of node lists its entries; a header row
// shows none and empty space shows the program's tray menu.
TEST_F(EditorTest, ContextMenusFollowWhatIsUnderThePointer) {
    CVellumMenuObject* bar = Bar("Menus", {}, kTwoSections);
    ASSERT_NE(nullptr, OpenEditor());
    HTREEITEM header = nullptr;
    for (const Row& row : Rows())
        if (row.depth == 0 && row.text.empty() && !header) header = row.node;
    RECT client = {};
    GetClientRect(Tree(), &client);
    POINT empty = {client.right / 2, client.bottom - 4};
    ClientToScreen(Tree(), &empty);
    struct Case {
        const char* what;
        std::function<POINT()> where;
        bool shown;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"bar", [&] { return TextPoint(NodeOf(bar)); }, true,
         {"Save bar", "Save bar as...", "Close bar", "Hilight bar"}},
        {"section", [&] { return TextPoint(NodeOf(bar->m_sections[0])); }, true,
         {"Remove Container", "Duplicate Container", "Hilight Container"}},
        {"item", [&] { return TextPoint(NodeOf(bar->m_sections[0]->m_items[0])); }, true,
         {"Remove Item", "Duplicate Item", "Hilight Item"}},
        {"header row", [&] { return TextPoint(header); }, false, {}},
        {"empty space", [&] { return empty; }, true,
         {"New", "&Load", "&Save", "&Configure Theme...", "&General Options...", "&Unload Tessellar"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HTREEITEM before = Selected();
        auto answer = MenuDriver::Closing();
        RightClick(c.where(), &answer);
        EXPECT_EQ(c.shown, answer.Shown());
        EXPECT_EQ(c.texts, answer.Texts());
        if (!c.shown) {
            EXPECT_EQ(before, Selected()) << "a header row is never selected";
        }
    }
    EXPECT_TRUE(IsLiveBar(bar));
}

// The editor's menu is enabled for what the selection allows.
TEST_F(EditorTest, MenuEnablingFollowsTheSelection) {
    CVellumMenuObject* bar = Bar("Menus", {}, kTwoSections);
    ASSERT_NE(nullptr, OpenEditor());
    HMENU menu_bar = GetMenu(Editor());
    HMENU create = GetSubMenu(menu_bar, 1), remove = GetSubMenu(menu_bar, 2);
    auto enabled = [](HMENU menu, UINT id, UINT flags = MF_BYCOMMAND) {
        return (GetMenuState(menu, id, flags) & (MF_GRAYED | MF_DISABLED)) == 0;
    };
    struct Case {
        const char* what;
        const void* object;
        bool remove_item, remove_section, close_bar, dup_bar, dup_section, dup_item;
    };
    const Case cases[] = {
        {"bar", bar, false, false, true, true, false, false},
        {"section", bar->m_sections[0], false, true, true, false, true, false},
        {"item", bar->m_sections[0]->m_items[0], true, true, true, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Select(NodeOf(c.object));
        for (HMENU menu : {create, remove})
            SendMessageA(Editor(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        EXPECT_EQ(c.remove_item, enabled(remove, 40064));
        EXPECT_EQ(c.remove_section, enabled(remove, 40121));
        EXPECT_EQ(c.close_bar, enabled(remove, 40066));
        EXPECT_EQ(c.dup_bar, enabled(create, 40185));
        EXPECT_EQ(c.dup_section, enabled(create, 40172));
        EXPECT_EQ(c.dup_item, enabled(create, 40173));
        EXPECT_TRUE(enabled(create, 1, MF_BYPOSITION)) << "New... with a bar";
    }
    // The program's own menu heads the menu bar.
    char text[64] = "";
    GetMenuStringA(GetSubMenu(menu_bar, 0), 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ("New", text);
}

// Closing a bar from the editor's menu takes its node away and closes it.
TEST_F(EditorTest, CloseThisBarClosesTheSelectedBar) {
    CVellumMenuObject* bar = Bar("Closing", {}, kTwoSections);
    CVellumMenuObject* other = Bar("Staying", {}, kTwoSections, 200);
    ASSERT_NE(nullptr, OpenEditor());
    Select(NodeOf(bar));
    SendThemeEditorCommand(40066);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return !IsLiveBar(bar); }, 3000));
    EXPECT_EQ(nullptr, NodeOf(bar));
    EXPECT_NE(nullptr, NodeOf(other));
}

// "Hilight Container" inverts the section's place on the screen back and
// forth (the screen is read from another thread while the menu's command runs).
TEST_F(EditorTest, HilightFlashesTheSectionOnTheScreen) {
    CVellumMenuObject* bar = Bar("Flash", {"AlwaysOnTop=1"}, kTwoSections);
    ASSERT_NE(nullptr, OpenEditor());
    CVellumMenuSection* section = bar->m_sections[1];
    RECT window = {};
    GetWindowRect(bar->m_hWnd, &window);
    const RECT& r = section->m_outerRect;
    const POINT at = {window.left + (r.left + r.right) / 2, window.top + (r.top + r.bottom) / 2};
    auto pixel = [at] {
        RECT one = {at.x, at.y, at.x + 1, at.y + 1};
        testing_support::ScreenCapture capture(one);
        return capture.Pixel(0, 0);
    };
    const COLORREF normal = pixel();
    const COLORREF inverted = RGB(255 - GetRValue(normal), 255 - GetGValue(normal), 255 - GetBValue(normal));
    struct Watch {
        std::function<COLORREF()> read;
        COLORREF inverted;
        volatile bool stop = false;
        bool seen = false;
    } watch{pixel, inverted};
    std::thread thread([&watch] {
        for (DWORD start = GetTickCount(); !watch.stop && GetTickCount() - start < 5000; Sleep(15))
            if (watch.read() == watch.inverted) watch.seen = true;
    });
    auto answer = MenuDriver::ChoosingPosition(2);
    RightClick(TextPoint(NodeOf(section)), &answer);
    watch.stop = true;
    thread.join();
    EXPECT_EQ((std::vector<std::string>{"Remove Container", "Duplicate Container", "Hilight Container"}),
              answer.Texts());
    EXPECT_TRUE(watch.seen);
    EXPECT_EQ(normal, pixel()) << "an even number of inversions leaves the screen as it was";
}

HWND Overlay() { return FindWindowA(kHelperLinesClass, nullptr); }

COLORREF Blended(COLORREF under, COLORREF color) {
    auto mix = [](int a, int b) { return (a * (255 - 0x33) + b * 0x33) / 255; };
    return RGB(mix(GetRValue(under), GetRValue(color)), mix(GetGValue(under), GetGValue(color)),
               mix(GetBValue(under), GetBValue(color)));
}

::testing::AssertionResult Near(COLORREF want, COLORREF got) {
    if (std::abs(GetRValue(want) - GetRValue(got)) <= 3 && std::abs(GetGValue(want) - GetGValue(got)) <= 3 &&
        std::abs(GetBValue(want) - GetBValue(got)) <= 3)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "want " << std::hex << want << " got " << got;
}

// The helper lines through the editor: the overlay lives while the switch
// is on and an object node is selected, and goes with the switch, with the
// highlighted bar and with the editor; rows grow by 2 pixels meanwhile.
TEST_F(EditorTest, HelperLinesFollowTheSwitchTheBarAndTheEditor) {
    CVellumMenuObject* first = Bar("First", {}, kTwoSections);
    CVellumMenuObject* second = Bar("Second", {}, kTwoSections, 200);
    ASSERT_NE(nullptr, OpenEditor());
    const int row_height = TreeView_GetItemHeight(Tree());
    auto click_switch = [&](bool on) {
        CheckDlgButton(Editor(), 1350, on ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(Editor(), WM_COMMAND, MAKEWPARAM(1350, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(Editor(), 1350)));
    };
    HTREEITEM header = TreeView_GetRoot(Tree());
    struct Case {
        const char* what;
        std::function<void()> act;
        CVellumMenuObject* highlighted;
    };
    const Case cases[] = {
        {"switch on without a selection", [&] { click_switch(true); }, nullptr},
        {"a section of the first bar", [&] { Select(NodeOf(first->m_sections[1])); }, first},
        {"a header row is refused", [&] { Select(header); }, first},
        {"an item of the second bar", [&] { Select(NodeOf(second->m_sections[0]->m_items[0])); }, second},
        {"switch off", [&] { click_switch(false); }, nullptr},
        {"another node while off", [&] { Select(NodeOf(first)); }, nullptr},
        {"switch on again", [&] { click_switch(true); }, first},
        {"the highlighted bar closes", [&] { testing_support::CloseTestBar(first, true); }, nullptr},
        {"the other bar selected", [&] { Select(NodeOf(second)); }, second},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        PumpFor(20);
        EXPECT_EQ(c.highlighted != nullptr, Overlay() != nullptr);
        EXPECT_EQ(c.highlighted, GetHelperLinesBar());
        EXPECT_EQ(c.highlighted ? row_height + 2 : row_height, TreeView_GetItemHeight(Tree()));
    }
    EXPECT_EQ(1, Settings().bHelperEnabled);
    SendThemeEditorCommand(IDOK);
    EXPECT_EQ(nullptr, GetThemeEditorWindow());
    EXPECT_EQ(nullptr, Overlay());
}

// On the bar, visible sections take the colours in order (a hidden one is
// skipped), each blended at 51/255 over what the bar showed.
TEST_F(EditorTest, HelperLinesTintTheSelectedBarsVisibleSections) {
    CVellumMenuObject* bar = Bar("Tinted", {"AlwaysOnTop=1"},
                                 {{"Type=Default", "Title=A", "Item1.Title=x", "Item1.ShowText=1"},
                                  {"Type=Default", "Title=B", "Properties.IsHidden=1"},
                                  {"Type=Default", "Title=C", "Item1.Title=y", "Item1.ShowText=1"}});
    ASSERT_NE(nullptr, OpenEditor());
    auto centre = [&](CVellumMenuSection* section) {
        RECT window = {};
        GetWindowRect(bar->m_hWnd, &window);
        testing_support::ScreenCapture capture(window);
        const RECT& r = section->m_outerRect;
        return capture.Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    Select(NodeOf(bar));
    PumpFor(50);
    const COLORREF under_a = centre(bar->m_sections[0]), under_c = centre(bar->m_sections[2]);
    CheckDlgButton(Editor(), 1350, BST_CHECKED);
    SendMessageA(Editor(), WM_COMMAND, 1350, 0);
    PumpFor(100);
    ASSERT_NE(nullptr, Overlay());
    EXPECT_TRUE(Near(Blended(under_a, HelperLineColor(0)), centre(bar->m_sections[0])));
    EXPECT_TRUE(Near(Blended(under_c, HelperLineColor(1)), centre(bar->m_sections[2])));
}

// "Duplicate Selected Bar" makes a modified copy titled " Copy" that the
// tree lists, through a temporary file that does not stay behind.
TEST_F(EditorTest, DuplicateSelectedBarListsTheCopy) {
    CVellumMenuObject* bar = Bar("Original", {}, kTwoSections);
    const std::string folder = bar->m_barFolder;
    ASSERT_NE(nullptr, OpenEditor());
    Select(NodeOf(bar));
    SendThemeEditorCommand(40185);
    bool listed = testing_support::PumpUntil([&] {
        for (const Row& row : Rows())
            if (row.depth == 0 && row.text == "Original Copy") return true;
        return false;
    }, 3000);
    EXPECT_TRUE(listed) << "the copy has no node";
    EXPECT_FALSE(bar->m_modified) << "the original is marked changed";
    WIN32_FIND_DATAA found;
    HANDLE left = FindFirstFileA((folder + "tempduplicate*").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, left) << "the temporary file stayed";
    if (left != INVALID_HANDLE_VALUE) FindClose(left);
}

// The editor's menu commands that create objects put the new section or
// item after the selection, give it a node there and select it.
TEST_F(EditorTest, NewObjectsFromTheMenuTakeTheirPlaceInTheTree) {
    struct Case {
        UINT command;
        bool item;   // an item after the selected item, else a section after the selected section
        const char* node_text;
    };
    const Case cases[] = {
        {40164, false, "Default"},
        {40166, false, "System Tray"},
        {40175, true, "Shortcut"},
        {40174, true, "Popup"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        CVellumMenuObject* bar = Bar("Target", {}, kTwoSections);
        ASSERT_NE(nullptr, OpenEditor());
        CVellumMenuSection* first = bar->m_sections[0];
        const void* selected = c.item ? static_cast<const void*>(first->m_items[0]) : first;
        Select(NodeOf(selected));
        SendThemeEditorCommand(c.command);
        testing_support::PumpFor(50);
        const void* made = c.item ? static_cast<const void*>(first->m_items[1]) : bar->m_sections[1];
        ASSERT_NE(nullptr, made);
        const HTREEITEM node = NodeOf(made);
        ASSERT_NE(nullptr, node) << "the new object has no node";
        EXPECT_EQ(node, Selected());
        EXPECT_EQ(TreeView_GetNextSibling(Tree(), NodeOf(selected)), node) << "not after the selection";
        for (const Row& row : Rows()) {
            if (row.node == node) {
                EXPECT_EQ(c.node_text, row.text);
            }
        }
        EXPECT_TRUE(bar->m_modified);
        testing_support::CloseTestBar(bar, true);
    }
}

// A volatile bar that loses the activation posts "VolitleClose" to the main
// window, which hands it to every bar: turned from for a window of its own,
// the bar closes and leaves the editor's tree; turned from for the theme
// editor (a configuration window) it stays. Other bars stay either way.
TEST_F(EditorTest, DeactivatedVolatileBarClosesUnlessTheEditorTookOver) {
    struct Case {
        const char* what;
        bool to_editor;
        bool closes;
    };
    const Case cases[] = {
        {"another window", false, true},
        {"the theme editor", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CVellumMenuObject* fleeting = Bar("Fleeting", {}, kTwoSections);
        CVellumMenuObject* staying = Bar("Staying", {}, kTwoSections, 200);
        fleeting->m_volatile = TRUE;
        ASSERT_NE(nullptr, OpenEditor());
        ASSERT_NE(nullptr, NodeOf(fleeting));
        HWND front = CreateWindowExA(0, "STATIC", "front", WS_POPUP | WS_VISIBLE, 600, 300, 50, 50, nullptr,
                                     nullptr, nullptr, nullptr);
        SetForegroundWindow(fleeting->m_hWnd);
        ASSERT_TRUE(testing_support::PumpUntil([&] { return GetForegroundWindow() == fleeting->m_hWnd; }, 2000));
        PumpFor(50);

        HWND next = c.to_editor ? Editor() : front;
        SetForegroundWindow(next);
        EXPECT_TRUE(testing_support::PumpUntil([&] { return GetForegroundWindow() == next; }, 2000));
        const bool closed = testing_support::PumpUntil([&] { return !IsLiveBar(fleeting); }, 1000);
        EXPECT_EQ(c.closes, closed);
        EXPECT_EQ(c.closes, NodeOf(fleeting) == nullptr);
        EXPECT_TRUE(IsLiveBar(staying));
        EXPECT_NE(nullptr, NodeOf(staying));
        DestroyWindow(front);
        if (IsLiveBar(fleeting)) testing_support::CloseTestBar(fleeting, true);
        testing_support::CloseTestBar(staying, true);
    }
}

}  // namespace
}  // namespace editor_test
