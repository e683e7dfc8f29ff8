// The editor's new-section and new-item commands, new items from the
// context menus' seam, and duplicated items.
#include <shlwapi.h>
#include "editor_create_fixture.h"
#include "shell/startup.h"
#include "shell/theme_editor.h"

namespace editor_create_test {
namespace {

using testing_support::FileExistsOnDisk;

class NewObjectsTest : public EditorCreateTest {
protected:
    // Two sections, "A" with the items "a1" and "a2", and "B".
    CVellumMenuObject* TwoSectionBar(const std::string& title, bool vertical = false) {
        std::vector<std::string> object;
        if (vertical) object.push_back("DisplayVertically=1");
        return Bar(title,
                   {{"Title=A", "Item1.Title=a1", "Item1.Action=0", "Item2.Title=a2", "Item2.Action=0"},
                    {"Title=B"}},
                   object);
    }
    static std::string PluginsFolder() {
        char folder[MAX_PATH] = "";
        EXPECT_TRUE(GetPluginsFolder(folder));
        return folder;
    }
};

TEST_F(NewObjectsTest, SectionCommandsInsertTheirKindAndTitleAfterTheSelection) {
    struct Case {
        UINT command;
        const char* kind;   // the section's type name
        const char* title;
    } const cases[] = {
        {40164, "Default", "Default"},
        {40165, "Taskbar", "Taskbar"},
        {40166, "System Tray", "System Tray"},
        {40167, "Folder", "Folder"},
        {40168, "Virtual Desktops", "Virtual Desktops"},
        {40183, "Default", "Internet Address Box"},
        {40186, "Folder", "Folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        CVellumMenuObject* bar = TwoSectionBar("Sections " + std::to_string(c.command));
        ASSERT_EQ(2, bar->GetSectionCount());
        bar->m_modified = FALSE;
        ASSERT_TRUE(CreateSectionForCommand(c.command, bar, bar->m_sections[0]));
        EXPECT_EQ((std::vector<std::string>{"A", c.title, "B"}), SectionTitles(bar));
        EXPECT_EQ(c.kind, TypeName(bar->m_sections[1]));
        EXPECT_TRUE(bar->m_modified);
        // Without a selected section it goes last; saved, it keeps its title.
        ASSERT_TRUE(CreateSectionForCommand(c.command, bar, nullptr));
        EXPECT_EQ(c.title, SectionTitles(bar).back());
        EXPECT_EQ(c.title, Saved(bar, "Section4", "Title"));
        testing_support::CloseTestBar(bar, true);
    }
    // Other commands and a bar that is gone make nothing.
    CVellumMenuObject* bar = TwoSectionBar("Sections other");
    EXPECT_FALSE(CreateSectionForCommand(40162, bar, nullptr));
    EXPECT_FALSE(CreateSectionForCommand(40164, nullptr, nullptr));
    EXPECT_EQ(2, bar->GetSectionCount());
}

TEST_F(NewObjectsTest, RecentProgramsSectionListsFive) {
    CVellumMenuObject* bar = TwoSectionBar("Recent");
    ASSERT_TRUE(CreateSectionForCommand(40186, bar, bar->m_sections[1]));
    EXPECT_EQ("1", Saved(bar, "Section3", "Folder.UseRecentList"));
    EXPECT_EQ("5", ReadKey(bar->m_barFile, "Section3", "Folder.RecentItemsToList"));
    // The plain folder command keeps the folder source.
    ASSERT_TRUE(CreateSectionForCommand(40167, bar, bar->m_sections[2]));
    EXPECT_NE("1", Saved(bar, "Section4", "Folder.UseRecentList"));
}

TEST_F(NewObjectsTest, AddressBoxSectionGetsThePluginOnlyWhenItIsInstalled) {
    const std::string plugin = PluginsFolder() + "Wayfinch.dll";
    DeleteFileA(plugin.c_str());
    struct Case {
        bool installed;
        bool vertical;
    } const cases[] = {{false, false}, {true, false}, {true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.installed ? "installed" : "missing") + (c.vertical ? " vertical" : ""));
        // A stand-in file is enough: the section only looks for it.
        if (c.installed) {
            ASSERT_TRUE(testing_support::WriteFileBytes(plugin, "stand-in"));
        }
        CVellumMenuObject* bar = TwoSectionBar("Address " + std::to_string(c.installed + 2 * c.vertical),
                                               c.vertical);
        ASSERT_TRUE(CreateSectionForCommand(40183, bar, bar->m_sections[0]));
        CVellumMenuSection* box = bar->m_sections[1];
        ASSERT_EQ("Internet Address Box", std::string(box->Title));
        if (!c.installed) {
            EXPECT_EQ(0, box->GetNumOfItems());
            EXPECT_EQ("300", Saved(bar, "Section2", "Properties.MaxItemWidth"));
        } else {
            ASSERT_EQ(1, box->GetNumOfItems());
            EXPECT_EQ("PluginItem", TypeName(box->m_items[0]));
            EXPECT_EQ("43957", Saved(bar, "Section2", "Properties.MaxItemWidth"));
            EXPECT_EQ(c.vertical ? "0" : "1", ReadKey(bar->m_barFile, "Section2", "Properties.EqualWidths"));
            EXPECT_EQ("Plugin", ReadKey(bar->m_barFile, "Section2", "Item1.Type"));
            // Along a vertical bar the width is the section's height, which its items bound.
            if (!c.vertical) {
                EXPECT_EQ(200, box->m_userWidth);
            }
        }
        testing_support::CloseTestBar(bar, true);
        DeleteFileA(plugin.c_str());
    }
}

TEST_F(NewObjectsTest, ItemCommandsInsertTheirKindAndTitleAfterTheSelection) {
    struct Case {
        UINT command;
        const char* kind;    // the item's type name
        const char* title;   // null: the type's own
        const char* stored;  // "Item<n>.Type" in the saved file (none for the default item)
    } const cases[] = {
        {40162, "Special Menu", "Special Menu", "SpecialMenu"},
        {40163, "Clock", nullptr, "Clock"},
        {40174, "Popup Item", "Popup", "Popup"},
        {40175, "Shortcut", "Shortcut", "Shortcut"},
        {40176, "Shortcut", "Folder", "Shortcut"},
        {40178, "Default Item", "Command", "<none>"},
        {40181, "PluginItem", "Plugin", "Plugin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        CVellumMenuObject* bar = TwoSectionBar("Items " + std::to_string(c.command));
        CVellumMenuSection* section = bar->m_sections[0];
        bar->m_modified = FALSE;
        ASSERT_TRUE(CreateItemForCommand(c.command, bar, section, section->m_items[0]));
        ASSERT_EQ(3, section->GetNumOfItems());
        CVellumMenuItem* item = section->m_items[1];
        EXPECT_EQ(c.kind, TypeName(item));
        if (c.title) {
            EXPECT_EQ(c.title, ItemTitles(section)[1]);
        }
        EXPECT_EQ("a2", ItemTitles(section)[2]);
        EXPECT_TRUE(bar->m_modified);
        EXPECT_EQ(c.stored, Saved(bar, "Section1", "Item2.Type"));
        // Without a selected item it goes last.
        ASSERT_TRUE(CreateItemForCommand(c.command, bar, section, nullptr));
        EXPECT_EQ(4, section->GetNumOfItems());
        EXPECT_EQ(ItemTitles(section)[1], ItemTitles(section)[3]);
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(NewObjectsTest, ProgramsFolderShortcutTargetsPrograms) {
    CVellumMenuObject* bar = TwoSectionBar("Programs");
    ASSERT_TRUE(CreateItemForCommand(40176, bar, bar->m_sections[1], nullptr));
    EXPECT_EQ("Folder", Saved(bar, "Section2", "Item1.Title"));
    EXPECT_EQ("Programs", ReadKey(bar->m_barFile, "Section2", "Item1.Shortcut.File"));
    EXPECT_EQ("1", ReadKey(bar->m_barFile, "Section2", "Item1.Folder.UsePopup"));
}

TEST_F(NewObjectsTest, AnItemWithoutSectionGetsANewDefaultSection) {
    CVellumMenuObject* bar = TwoSectionBar("No section");
    ASSERT_TRUE(CreateItemForCommand(40175, bar, nullptr, nullptr));
    ASSERT_EQ(3, bar->GetSectionCount());
    EXPECT_EQ("Default", TypeName(bar->m_sections[2]));
    EXPECT_EQ((std::vector<std::string>{"Shortcut"}), ItemTitles(bar->m_sections[2]));
    // A section of another bar is refused, and nothing is made.
    CVellumMenuObject* other = TwoSectionBar("Other bar");
    EXPECT_FALSE(CreateItemForCommand(40175, bar, other->m_sections[0], nullptr));
    EXPECT_EQ(2, other->m_sections[0]->GetNumOfItems());
    EXPECT_EQ(3, bar->GetSectionCount());
}

TEST_F(NewObjectsTest, CreateNewItemMakesShortcutsClocksAndPopups) {
    struct Case {
        const char* type;
        const char* kind;
        const char* title;   // null: the type's own
    } const cases[] = {
        {"Shortcut", "Shortcut", "New Shortcut Item"},
        {"Clock", "Clock", nullptr},
        {"Popup", "Popup Item", "New Popup Item"},
        {"SpecialMenu", "Shortcut", "New Shortcut Item"},
        {nullptr, "Shortcut", "New Shortcut Item"},
    };
    CVellumMenuObject* bar = TwoSectionBar("New items");
    CVellumMenuSection* section = bar->m_sections[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type ? c.type : "(none)");
        CVellumMenuItem* first = section->m_items[0];
        ASSERT_EQ(1, CreateNewItem(bar, section, first, c.type));
        CVellumMenuItem* made = section->m_items[1];
        EXPECT_EQ(c.kind, TypeName(made));
        if (c.title) {
            EXPECT_EQ(c.title, ItemTitles(section)[1]);
        }
    }
    EXPECT_EQ(0, CreateNewItem(nullptr, section, nullptr, "Shortcut"));
}

TEST_F(NewObjectsTest, DuplicatedItemFollowsTheItem) {
    CVellumMenuObject* bar = TwoSectionBar("Duplicate item");
    CVellumMenuSection* section = bar->m_sections[0];
    bar->m_modified = FALSE;
    ASSERT_TRUE(DuplicateEditorItem(section->m_items[0]));
    EXPECT_EQ((std::vector<std::string>{"a1", "a1", "a2"}), ItemTitles(section));
    EXPECT_NE(section->m_items[0], section->m_items[1]);
    EXPECT_TRUE(bar->m_modified);
    EXPECT_EQ("a1", Saved(bar, "Section1", "Item2.Title"));
    EXPECT_FALSE(DuplicateEditorItem(nullptr));
}

}  // namespace
}  // namespace editor_create_test
