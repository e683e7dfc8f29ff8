// The section's part of the bar menu: its marks and skin-type names, its
// commands on the section and its neighbours as saved, and the two
// questions with what each answer leaves in the saved bar file.
#include "ctxmenu_fixture.h"

#include "model/bar_input_internal.h"
#include "model/bar_menu_host_calls.h"
#include "model/bar_menu_resources.h"
#include "model/item_host_calls.h"
#include "model/live_objects.h"
#include "skins/skin_record.h"
#include "tests/support/stand_in_main_window.h"

namespace ctxmenu_test {
namespace {

// A bar menu as the bar builds it around the entry the section replaces.
struct BarMenu {
    HMENU menu = CreatePopupMenu();
    BarMenu() { AppendMenuA(menu, MF_STRING, IDM_SECTION_OPTIONS_ENTRY, "Section Options"); }
    ~BarMenu() {
        RemoveMenu(menu, 0, MF_BYPOSITION);   // the section destroys its own submenu
        DestroyMenu(menu);
    }
};

bool Has(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1); }
bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
std::string Text(HMENU menu, UINT id) {
    char text[256] = "";
    GetMenuStringA(menu, id, text, sizeof(text), MF_BYCOMMAND);
    return text;
}

class SectionMenuTest : public CtxMenuTest {
protected:
    CVellumMenuObject* Bar(const std::string& name, const std::vector<std::vector<std::string>>& sections,
                           const std::string& skin = "") {
        path_ = WriteBar(name + ".tsbar", BarText("Sections", {100, 100, 600, 130}, false, {}, sections, skin));
        return LoadBar(path_);
    }
    static std::vector<std::string> SectionLines(const std::vector<std::string>& more) {
        std::vector<std::string> lines = {"Type=Default", "Title=Items", "Item1.Title=One", "Item1.ShowText=1"};
        lines.insert(lines.end(), more.begin(), more.end());
        return lines;
    }
    std::string path_;
};

TEST_F(SectionMenuTest, MarksAndSkinTypeNamesFollowTheSection) {
    ASSERT_TRUE(files_.Write("styles.tsskin",
                             "[General]\r\nSkinName=Styles\r\nItemHeight=20\r\nNumberOfSectionStyles=2\r\n"
                             "[SectionSkin]\r\nSectionType=Normal\r\n[SectionSkin_2]\r\nItemHeight=20\r\n"));
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        std::vector<UINT> checked, unchecked, absent;
    } const cases[] = {
        {"defaults",
         {"Properties.MaxmizeItems=0", "Properties.CenterItems=1", "Properties.MinItems=-1",
          "Properties.UseDownArrow=1", "Properties.DefaultIconSize=16", "Properties.ShowTextByDef=1",
          "Properties.ShowIconsByDef=1"},
         {IDM_SECTION_CENTER_ITEMS, IDM_SECTION_SHOW_ALL, IDM_SECTION_DOWN_ARROW, IDM_SECTION_ICON_16,
          IDM_SECTION_ICONS_AND_TEXT, IDM_SECTION_FIT_CONTENT, IDM_SECTION_SKIN_1},
         {IDM_SECTION_SHOW_ONE, IDM_SECTION_SCROLLERS, IDM_SECTION_EQUAL_WIDTHS, IDM_SECTION_COMBINE_SKIN,
          IDM_SECTION_MAXIMIZE_ITEMS, IDM_SECTION_ICON_CUSTOM, IDM_SECTION_SKIN_2},
         {}},
        {"maximized items",
         {"Properties.MaxmizeItems=1", "Properties.EqualWidths=1", "Properties.MinItems=1",
          "Properties.UseDownArrow=0", "Properties.DefaultIconSize=20", "Properties.ShowTextByDef=0",
          "Properties.bCombineSkin=1", "Properties.iSectionSkin=1", "Properties.bResizable=1",
          "Properties.AllowMultipleRowsCols=1", "Properties.UseTightItemWidthBuffer=1",
          "Properties.AlwaysShowPopupArrows=1"},
         {IDM_SECTION_MAXIMIZE_ITEMS, IDM_SECTION_EQUAL_WIDTHS, IDM_SECTION_SHOW_ONE, IDM_SECTION_SCROLLERS,
          IDM_SECTION_ICON_CUSTOM, IDM_SECTION_ICONS_ONLY, IDM_SECTION_COMBINE_SKIN, IDM_SECTION_SKIN_2,
          IDM_SECTION_RESIZABLE, IDM_SECTION_MULTIPLE_ROWS, IDM_SECTION_TIGHT_WIDTHS, IDM_SECTION_POPUP_ARROWS},
         {IDM_SECTION_FIT_CONTENT, IDM_SECTION_SKIN_1, IDM_SECTION_SHOW_ALL},
         {IDM_SECTION_CENTER_ITEMS}},
        {"neither shown-items mark", {"Properties.MinItems=3", "Properties.MaxmizeItems=0"}, {},
         {IDM_SECTION_SHOW_ALL, IDM_SECTION_SHOW_ONE}, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = Bar("marks" + std::to_string(++n), {SectionLines(c.keys)}, files_.File("styles.tsskin"));
        ASSERT_TRUE(IsLiveBar(bar));
        CVellumMenuSection* section = bar->m_sections[0];
        BarMenu bar_menu;
        EXPECT_EQ(nullptr, section->InitContextMenu(bar_menu.menu));
        HMENU options = GetSubMenu(bar_menu.menu, 0);
        ASSERT_NE(nullptr, options);
        EXPECT_EQ(options, section->m_contextSubmenu);
        char title[64] = "";
        GetMenuStringA(bar_menu.menu, 0, title, sizeof(title), MF_BYPOSITION);
        EXPECT_STREQ("Section Options", title);
        EXPECT_EQ("Normal (#1)", Text(options, IDM_SECTION_SKIN_1));
        EXPECT_EQ("(#2)", Text(options, IDM_SECTION_SKIN_2));
        EXPECT_EQ("(#4)", Text(options, IDM_SECTION_SKIN_4));
        for (UINT id : c.checked) EXPECT_TRUE(Checked(options, id)) << id;
        for (UINT id : c.unchecked) {
            EXPECT_TRUE(Has(options, id)) << id;
            EXPECT_FALSE(Checked(options, id)) << id;
        }
        for (UINT id : c.absent) EXPECT_FALSE(Has(options, id)) << id;
        MENUITEMINFOA header = {sizeof(header), MIIM_FTYPE | MIIM_STATE};
        ASSERT_TRUE(GetMenuItemInfoA(options, IDM_SECTION_HEADER, FALSE, &header));
        EXPECT_TRUE(header.fType & MFT_OWNERDRAW);
        EXPECT_TRUE(header.fState & MFS_DISABLED);
        section->UnInitContextMenu();
        EXPECT_EQ(nullptr, section->m_contextSubmenu);
        InsertMenuA(bar_menu.menu, 0, MF_BYPOSITION | MF_STRING, 1, "placeholder");
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(SectionMenuTest, CombiningBackgroundsReachesNeighboursOfTheSameStyleOnly) {
    // Styles of the five sections: 0 0 1 0 0.
    std::vector<std::vector<std::string>> sections;
    for (int style : {0, 0, 1, 0, 0})
        sections.push_back(SectionLines({"Properties.iSectionSkin=" + std::to_string(style)}));
    struct Case {
        int chosen;
        const char* combined[5];
    } const cases[] = {
        {1, {"1", "1", "0", "0", "0"}},
        {3, {"0", "0", "0", "1", "1"}},
        {2, {"0", "0", "1", "0", "0"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        CVellumMenuObject* bar = Bar("combine" + std::to_string(++n), sections);
        ASSERT_TRUE(IsLiveBar(bar));
        ASSERT_EQ(5, bar->GetSectionCount());
        bar->m_modified = FALSE;
        EXPECT_EQ(1, bar->m_sections[c.chosen]->DoContextMenuCommand(IDM_SECTION_COMBINE_SKIN));
        EXPECT_TRUE(bar->m_modified);
        ASSERT_TRUE(bar->Save(const_cast<char*>(path_.c_str())));
        for (int i = 0; i < 5; ++i) {
            const std::string section = "Section" + std::to_string(i + 1);
            EXPECT_EQ(c.combined[i], ReadKey(path_, section.c_str(), "Properties.bCombineSkin")) << i;
        }
        // Choosing it again flips them back.
        EXPECT_EQ(1, bar->m_sections[c.chosen]->DoContextMenuCommand(IDM_SECTION_COMBINE_SKIN));
        for (int i = 0; i < 5; ++i) EXPECT_FALSE(bar->m_sections[i]->bCombineSkin) << i;
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(SectionMenuTest, CustomIconSizeKeepsTheSizeWhenTheDialogIsCancelled) {
    static int answer = 0;
    static int asked_with = 0;
    GetItemHostCalls().AskCustomIconSize = [](HWND, int current) {
        asked_with = current;
        return answer;
    };
    CVellumMenuObject* bar = Bar("custom", {SectionLines({"Properties.DefaultIconSize=32"})});
    ASSERT_TRUE(IsLiveBar(bar));
    CVellumMenuSection* section = bar->m_sections[0];
    struct Case {
        int answer, size;
    } const cases[] = {{0, 32}, {24, 24}, {-1, 24}, {40, 40}};
    for (const Case& c : cases) {
        answer = c.answer;
        const int before = section->DefaultIconSize;
        EXPECT_EQ(1, section->DoContextMenuCommand(IDM_SECTION_ICON_CUSTOM));
        EXPECT_EQ(before, asked_with);
        EXPECT_EQ(c.size, section->DefaultIconSize) << c.answer;
    }
    ASSERT_TRUE(bar->Save(const_cast<char*>(path_.c_str())));
    EXPECT_EQ("40", ReadKey(path_, "Section1", "Properties.DefaultIconSize"));
}

TEST_F(SectionMenuTest, RemovingAndHidingAskAndNoKeepsTheSection) {
    const std::vector<std::vector<std::string>> two = {SectionLines({}), SectionLines({})};
    struct Case {
        UINT id;
        int answer;
        const char* caption;
        const char* text_start;
        int sections_saved;
        bool hidden;
    } const cases[] = {
        {IDM_SECTION_REMOVE, IDNO, "Tessellar - Remove Section", "Are you sure you want to remove this section?", 2, false},
        {IDM_SECTION_REMOVE, IDYES, "Tessellar - Remove Section", "Are you sure you want to remove this section?", 1, false},
        {IDM_SECTION_HIDE, IDNO, "Tessellar - Hide Section", "Are you sure you want to hide this section?", 2, false},
        {IDM_SECTION_HIDE, IDYES, "Tessellar - Hide Section", "Are you sure you want to hide this section?", 2, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " " + std::to_string(c.answer));
        CVellumMenuObject* bar = Bar("ask" + std::to_string(++n), two);
        ASSERT_TRUE(IsLiveBar(bar));
        testing_support::MessageBoxWatcher boxes(c.answer);
        CVellumMenuSection* second = bar->m_sections[1];
        MenuDriver menu(c.id);
        menu.Run([&] { ShowBarContextMenu(bar, second, nullptr); });
        ASSERT_TRUE(menu.Shown());
        ASSERT_EQ(1u, boxes.Count());
        EXPECT_EQ(c.caption, boxes.Seen()[0].caption);
        EXPECT_EQ(0u, boxes.Seen()[0].text.find(c.text_start)) << boxes.Seen()[0].text;
        // The removal waits for the menu to close, then lands.
        Wait([&] { return bar->GetSectionCount() == c.sections_saved; }, 1000);
        EXPECT_EQ(c.sections_saved, bar->GetSectionCount());
        if (c.sections_saved == 2) {
            EXPECT_EQ(c.hidden, bar->m_sections[1]->IsHidden != FALSE);
        }
        ASSERT_TRUE(bar->Save(const_cast<char*>(path_.c_str())));
        EXPECT_EQ(c.sections_saved == 2 ? "Items" : "<none>", ReadKey(path_, "Section2", "Title"));
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(SectionMenuTest, OtherCommandsGoToTheEditorTheSkinEditorOrTheSectionType) {
    struct Call {
        const void* object;
        int tab;
    };
    static std::vector<Call> selected;
    static std::vector<std::string> edited;
    selected.clear();
    edited.clear();
    GetBarMenuHostCalls().SelectInThemeEditor = [](const void* o, int tab) { selected.push_back({o, tab}); };
    GetItemHostCalls().EditSkinInSkinEditor = [](const char* path) {
        edited.push_back(path);
        return true;
    };
    CVellumMenuObject* bar = Bar("editor", {SectionLines({})});
    ASSERT_TRUE(IsLiveBar(bar));
    CVellumMenuSection* section = bar->m_sections[0];
    struct Case {
        UINT id;
        int tab;         // -1: not the editor
        bool skin_editor;
    } const cases[] = {
        {IDM_SECTION_SELECT_IN_EDITOR, 0, false},
        {IDM_SECTION_EDIT_ARRANGEMENT, 1, false},
        {IDM_SECTION_EDIT_RESIZABILITY, 1, false},
        {IDM_SECTION_EDIT_BACKGROUND, -1, true},
        {IDM_SECTION_EDIT_MARGINS, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        selected.clear();
        edited.clear();
        bar->m_modified = FALSE;
        EXPECT_EQ(1, section->DoContextMenuCommand(static_cast<int>(c.id)));
        EXPECT_FALSE(bar->m_modified);
        EXPECT_EQ(c.tab >= 0 ? 1u : 0u, selected.size());
        if (c.tab >= 0 && !selected.empty()) {
            EXPECT_EQ(static_cast<const void*>(section), selected[0].object);
            EXPECT_EQ(c.tab, selected[0].tab);
        }
        EXPECT_EQ(c.skin_editor ? 1u : 0u, edited.size());
        if (c.skin_editor && !edited.empty()) {
            EXPECT_EQ(std::string(bar->m_skin->path), edited[0]);
        }
    }
    // Ids of nobody's are the section type's; the plain section takes none.
    EXPECT_EQ(0, section->DoContextMenuCommand(45000));
    EXPECT_EQ(1, section->DoContextMenuCommand(0));
}

// An item that notes each state it is set to while its section restyles.
class RestyleWatcher : public CVellumMenuItem {
public:
    RestyleWatcher(CVellumMenuObject* bar, CVellumMenuSection* section, char* title)
        : CVellumMenuItem(bar, section, title) {}
    void SetState(UINT state, int keep) override {
        if (m_pSection && m_pSection->m_restyle) restyled.push_back(state);
        CVellumMenuItem::SetState(state, keep);
    }
    std::vector<UINT> restyled;
};

TEST_F(SectionMenuTest, ChoosingASkinTypeReentersEveryItemsState) {
    CVellumMenuObject* bar = Bar("restyle", {SectionLines({})});
    ASSERT_TRUE(IsLiveBar(bar));
    CVellumMenuSection* section = bar->m_sections[0];
    char first[] = "Watcher one", second[] = "Watcher two";
    auto* a = new RestyleWatcher(bar, section, first);
    auto* b = new RestyleWatcher(bar, section, second);
    ASSERT_TRUE(section->InsertItem(0, a));
    ASSERT_TRUE(section->InsertItem(1, b));
    a->m_state = 7;
    b->m_state = 6;
    struct Case {
        UINT id;
        int style;
    } const cases[] = {{IDM_SECTION_SKIN_2, 1}, {IDM_SECTION_SKIN_4, 3}, {IDM_SECTION_SKIN_1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        a->restyled.clear();
        b->restyled.clear();
        bar->m_modified = FALSE;
        EXPECT_EQ(1, section->DoContextMenuCommand(static_cast<int>(c.id)));
        EXPECT_EQ(c.style, section->iSectionSkin);
        EXPECT_EQ(std::vector<UINT>{7}, a->restyled);
        EXPECT_EQ(std::vector<UINT>{6}, b->restyled);
        EXPECT_FALSE(section->m_restyle);
        EXPECT_TRUE(bar->m_modified);
    }
    ASSERT_TRUE(bar->Save(const_cast<char*>(path_.c_str())));
    EXPECT_EQ("0", ReadKey(path_, "Section1", "Properties.iSectionSkin"));
}

}  // namespace
}  // namespace ctxmenu_test
