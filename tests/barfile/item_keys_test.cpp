// Item and section keys that show in memory: titles, mnemonics, hidden
// defaults, validity, popup menus and custom states.
#include "barfile_fixture.h"
#include <cstring>

using namespace barfile_test;

class ItemKeysTest : public BarFileTest {};

TEST_F(ItemKeysTest, ItemsReadTheirKeysAndStopAtTheFirstInvalidOne) {
    std::string path = WriteBarFile(
        "i.tsbar",
        Lines({"[Object]", "Title=I", "[Section1]", "Properties.ShowIconsByDef=0",
               "Properties.DefaultIconSize=32", "Item1.Title=Save &As", "Item2.Title=",
               "Item3.Title=Line one\\nLine two", "Item3.ShowIcon=1", "Item4.Action=3",
               "Item5.Title=after the gap", "Item3.Action=1", "Item3.Item1.Title=One",
               "Item3.Item1.Action=11", "Item3.Item2.Separator=1", "Item3.Item3.Action=4",
               "Item3.Item4.Title=Lost", "[Section2]", "Properties.ForceValid=1"}));
    CVellumMenuObject* bar = LoadBar(path);
    ASSERT_EQ(2, bar->GetSectionCount());
    CVellumMenuSection* section = bar->m_sections[0];
    ASSERT_EQ(3, section->GetNumOfItems());   // Item4 has no Title: reading ends
    CVellumMenuItem* save_as = section->m_items[0];
    EXPECT_EQ('A', save_as->m_mnemonic);
    EXPECT_FALSE(save_as->ShowIcon);   // the section's default
    EXPECT_EQ(32, save_as->IconSize);
    EXPECT_EQ(1, save_as->m_itemNumber);
    EXPECT_STREQ("Section1", save_as->m_sectionName);
    CVellumMenuItem* empty = section->m_items[1];
    EXPECT_TRUE(empty->m_valid);   // a present, empty Title is valid
    EXPECT_STREQ("", empty->m_title);
    CVellumMenuItem* lines = section->m_items[2];
    EXPECT_STREQ("Line one\nLine two", lines->m_shownTitle);
    EXPECT_TRUE(lines->ShowIcon);
    // Its popup menu: One, a separator, then the entry without title ends it.
    ASSERT_NE(nullptr, lines->GetPopupMenu());
    EXPECT_EQ(1, lines->IsPopup());
    EXPECT_EQ(2, GetMenuItemCount(lines->m_popupMenu));
    EXPECT_EQ(11u, GetMenuItemID(lines->m_popupMenu, 0));
    EXPECT_TRUE(GetMenuState(lines->m_popupMenu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(nullptr, save_as->GetPopupMenu());
    // A section with ForceValid and no items is kept.
    EXPECT_TRUE(bar->m_sections[1]->m_valid);
    EXPECT_EQ(0, bar->m_sections[1]->GetNumOfItems());
}

TEST_F(ItemKeysTest, KeyNamesOfItemsAndMenuEntries) {
    struct NamingItem : CVellumMenuItem {
        NamingItem() : CVellumMenuItem(static_cast<void*>(nullptr)) {}
        std::string Name(int n, int parent, const char* key) {
            m_itemNumber = n;
            m_parentItemNumber = parent;
            char out[260];
            BuildString(out, const_cast<char*>(key));
            return out;
        }
    } item;
    EXPECT_EQ("Item4.", item.Name(4, -1, nullptr));
    EXPECT_EQ("Item3.Item2.", item.Name(2, 3, nullptr));
    EXPECT_EQ("Item3.Title", item.Name(3, -1, "Title"));
    EXPECT_EQ("Item3.Item2.Title", item.Name(2, 3, "Title"));

    CVellumMenuObject* bar = NewBar();
    bar->AddSection(const_cast<char*>("Default"), 5, 0);
    char out[260] = "x";
    bar->m_sections[0]->BuildItemString(const_cast<char*>(""), out, 7, const_cast<char*>("Type"));
    EXPECT_STREQ("Item7.Type", out);
    strcpy(out, "unchanged");
    bar->m_sections[0]->BuildItemString(const_cast<char*>(""), out, -1, nullptr);
    EXPECT_STREQ("unchanged", out);
    bar->BuildSectionString(out, 12, const_cast<char*>("x"));
    EXPECT_STREQ("Section12x", out);
}

TEST_F(ItemKeysTest, CustomStatesAreNamedCaseInsensitivelyAndBounded) {
    CVellumMenuObject* bar = NewBar();
    bar->AddSection(const_cast<char*>("Default"), 1, 0);
    CVellumMenuSection* section = bar->m_sections[0];
    int slot = section->AddItem(const_cast<char*>("Default"), 1, 0);
    CVellumMenuItem* item = section->m_items[slot];
    EXPECT_EQ(1, item->AddCustomState(const_cast<char*>("A"), const_cast<char*>("a.bmp")));
    EXPECT_EQ(1, item->AddCustomState(const_cast<char*>("Hot"), const_cast<char*>("a.bmp")));
    EXPECT_EQ(1, item->AddCustomState(const_cast<char*>("HOT"), const_cast<char*>("b.bmp")));
    EXPECT_EQ(1, item->AddCustomState(const_cast<char*>("B"), const_cast<char*>("c.bmp")));
    ASSERT_EQ(3, item->m_customStates.count);
    EXPECT_STREQ("Hot", item->m_customStates.names[1]);
    EXPECT_STREQ("b.bmp", item->m_customStates.paths[1]);
    EXPECT_EQ(1, item->RemoveCustomState(const_cast<char*>("hot")));
    ASSERT_EQ(2, item->m_customStates.count);
    EXPECT_STREQ("B", item->m_customStates.names[1]);
    EXPECT_EQ(0, item->RemoveCustomState(const_cast<char*>("none")));
    for (int i = 0; i < 250; ++i) {
        std::string name = "s" + std::to_string(i);
        item->AddCustomState(const_cast<char*>(name.c_str()), const_cast<char*>(""));
    }
    EXPECT_EQ(kMaxCustomStates, item->m_customStates.count);
    EXPECT_EQ(1, item->RemoveCustomState(nullptr));
    EXPECT_EQ(0, item->m_customStates.count);
}

TEST_F(ItemKeysTest, SectionTransformsAnItemAndSavesItsKeysWithoutTheType) {
    std::string path = WriteBarFile(
        "t.tsbar", Lines({"[Object]", "Title=T", "[Section1]", "Properties.Type=Folder",
                          "Properties.MinItems=2", "Title=Files", "Item1.Title=A"}));
    CVellumMenuObject* bar = LoadBar(path);
    ASSERT_EQ(1, bar->GetSectionCount());
    CVellumMenuSection* section = bar->m_sections[0];
    EXPECT_EQ(2, section->MinItems);   // read from the file, not a new section's default
    EXPECT_STREQ("Files", section->Title);
    CVellumMenuItem* replacement = new CVellumMenuItem(bar, section, const_cast<char*>("B"));
    EXPECT_EQ(0, section->TransformItem(nullptr, replacement));
    EXPECT_EQ(1, section->TransformItem(&section->m_items[0], replacement));
    EXPECT_EQ(replacement, section->m_items[0]);
}
