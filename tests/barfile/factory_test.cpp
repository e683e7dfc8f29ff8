// The section and item factories: types by name, the query forms, and the
// 500-section and 500-item limits.
#include "barfile_fixture.h"
#include "model/section_factory.h"
#include "types/plugin_item.h"
#include "types/clock_item.h"
#include "types/folder_section.h"
#include "types/popup_item.h"
#include "types/replaceable.h"
#include "types/special_menu_item.h"
#include "util/general_helpers.h"

using namespace barfile_test;
using testing_support::FileExistsOnDisk;

class FactoryTest : public BarFileTest {};

TEST_F(FactoryTest, SectionTypesByNameCaseInsensitiveUnknownIsDefault) {
    CVellumMenuObject* bar = NewBar();
    const struct {
        const char* name;
        const char* custom;   // the class's own name
        bool mirroring;
    } cases[] = {
        {"Folder", "Folder", false},
        {"folder", "Folder", false},
        {"Replacable", "Replacable Section", true},
        {"Default", "Default", false},
        {"", "Default", false},
        {"Nonsense", "Default", false},
    };
    int expected_slot = 0;
    for (const auto& c : cases) {
        int slot = bar->AddSection(const_cast<char*>(c.name), expected_slot + 1, 0);
        ASSERT_EQ(expected_slot, slot) << c.name;
        CVellumMenuSection* section = bar->m_sections[slot];
        ASSERT_NE(nullptr, section) << c.name;
        EXPECT_EQ(nullptr, dynamic_cast<CVellumMenuSection_Default*>(section)) << "never the bare stand-in";
        if (auto* mirror = dynamic_cast<CVellumMenuSection_Replaceable*>(section))
            EXPECT_EQ(c.mirroring, mirror->m_replaceable != FALSE) << c.name;
        else
            EXPECT_NE(nullptr, dynamic_cast<CVellumMenuSection_Folder*>(section)) << c.name;
        EXPECT_TRUE(section->m_valid) << c.name;
        char name[32];
        EXPECT_EQ(1, section->GetCustomSectionName(name));
        EXPECT_STREQ(c.custom, name);
        ++expected_slot;
    }
    // Sections added by the user start with what their kind needs.
    int folder = bar->AddSection(const_cast<char*>("Folder"), 99, 0);
    EXPECT_EQ(1, bar->m_sections[folder]->MinItems);
    int taskbar = bar->AddSection(const_cast<char*>("Taskbar"), 99, 0);
    EXPECT_TRUE(bar->m_sections[taskbar]->AlwaysShowPopupArrows);
}

TEST_F(FactoryTest, SectionQueryNamesTheTypesAndNeedsPanorelBesideTheProgram) {
    CVellumMenuObject* bar = NewBar();
    const char* names[] = {"Default", "Folder", "Taskbar", "System Tray"};
    for (int i = 0; i < 4; ++i) {
        char name[64] = "";
        EXPECT_EQ(1, bar->AddSection(name, i, 1));
        EXPECT_STREQ(names[i], name);
    }
    char name[64] = "";
    EXPECT_EQ(0, bar->AddSection(name, 5, 1));
    EXPECT_EQ(0, bar->AddSection(name, -1, 1));
    EXPECT_EQ(0, bar->AddSection(nullptr, 0, 1));
    EXPECT_EQ(0, bar->GetSectionCount());   // queries create nothing

    // A library of that name in the current folder is not the program's.
    char program[MAX_PATH];
    ASSERT_TRUE(GetProgramFolder(program, sizeof(program)));
    std::string beside = std::string(program) + "Panorel.dll";
    ASSERT_FALSE(FileExistsOnDisk(beside)) << "a Panorel.dll lies beside the test";
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    std::string bin = testing_support::BinFolder();
    if (bin.back() != '\\') bin += '\\';
    std::string standin = bin + "barfile_standins\\Panorel.dll";
    ASSERT_TRUE(FileExistsOnDisk(standin));
    ASSERT_TRUE(CopyFileA(standin.c_str(), temp_.File("Panorel.dll").c_str(), FALSE));
    SetCurrentDirectoryA(temp_.Path().c_str());
    EXPECT_EQ(0, bar->AddSection(name, 4, 1));
    SetCurrentDirectoryA(current);

    // Beside the program it counts, and it is let go at once.
    ASSERT_TRUE(CopyFileA(standin.c_str(), beside.c_str(), FALSE));
    EXPECT_EQ(1, bar->AddSection(name, 4, 1));
    EXPECT_STREQ("Virtual Desktops", name);
    EXPECT_EQ(nullptr, GetModuleHandleA(beside.c_str()));
    EXPECT_TRUE(DeleteFileA(beside.c_str()));
}

TEST_F(FactoryTest, FiveHundredSectionsThenRefused) {
    CVellumMenuObject* bar = NewBar();
    for (int i = 0; i < kMaxSections; ++i)
        ASSERT_EQ(i, bar->AddSection(const_cast<char*>("Default"), i + 1, 0));
    EXPECT_EQ(-1, bar->AddSection(const_cast<char*>("Default"), 501, 0));
    EXPECT_EQ(kMaxSections, bar->GetSectionCount());
}

TEST_F(FactoryTest, ItemTypesByNameQueryAndTheFiveHundredLimit) {
    CVellumMenuObject* bar = NewBar();
    int slot = bar->AddSection(const_cast<char*>("Default"), 1, 0);
    CVellumMenuSection* section = bar->m_sections[slot];

    const char* query[] = {"Default", "Shortcut", "Popup", "Clock", "SpecialMenu"};
    for (int i = 0; i < 5; ++i) {
        char name[64] = "";
        EXPECT_EQ(1, section->AddItem(name, i, 1));
        EXPECT_STREQ(query[i], name);
    }
    char name[64];
    EXPECT_EQ(0, section->AddItem(name, 5, 1));   // "Plugin" has no index
    EXPECT_EQ(0, section->AddItem(nullptr, 0, 1));
    EXPECT_EQ(0, section->GetNumOfItems());

    // "Popup" is the popup item, "Shortcut" a plain popup item of its own
    // class; every other name without a class of its own the plain item,
    // which keeps a type name no class claims yet.
    const struct {
        const char* name;
        const char* stored;
        bool plain;
    } types[] = {{"SHORTCUT", "", true}, {"popup", "", false},
                 {"Folder", "", true}, {"Default", "", true}, {"", "", true}};
    for (const auto& t : types) {
        int index = section->AddItem(const_cast<char*>(t.name), 1, 0);
        ASSERT_GE(index, 0) << t.name;
        auto* item = dynamic_cast<CVellumMenuItem_Popup*>(section->m_items[index]);
        ASSERT_NE(nullptr, item) << t.name;
        EXPECT_EQ(t.plain, item->m_plain != FALSE) << t.name;
        EXPECT_STREQ(t.stored, item->m_storedType) << t.name;
        EXPECT_TRUE(item->m_valid) << t.name;
        EXPECT_EQ(bar, item->m_pBar);
        EXPECT_EQ(section, item->m_pSection);
    }
    // "Plugin" has its own class.
    int plugin = section->AddItem(const_cast<char*>("PLUGIN"), 1, 0);
    ASSERT_GE(plugin, 0);
    EXPECT_NE(nullptr, dynamic_cast<CVellumMenuItem_Plugin*>(section->m_items[plugin]));
    // The clock and the special menu have their classes, whatever the case.
    int clock = section->AddItem(const_cast<char*>("clock"), 1, 0);
    ASSERT_GE(clock, 0);
    EXPECT_NE(nullptr, dynamic_cast<CVellumMenuItem_Clock*>(section->m_items[clock]));
    int special = section->AddItem(const_cast<char*>("specialmenu"), 1, 0);
    ASSERT_GE(special, 0);
    EXPECT_NE(nullptr, dynamic_cast<CVellumMenuItem_SpecialMenu*>(section->m_items[special]));
    // A clock the user adds shows its text only.
    EXPECT_FALSE(section->m_items[clock]->ShowIcon);
    EXPECT_TRUE(section->m_items[clock]->ShowText);

    while (section->GetNumOfItems() < kMaxItems)
        ASSERT_GE(section->AddItem(const_cast<char*>("Default"), 1, 0), 0);
    EXPECT_EQ(-1, section->AddItem(const_cast<char*>("Default"), 1, 0));
    auto* extra = new CVellumMenuItem(bar, section, const_cast<char*>("extra"));
    EXPECT_FALSE(section->InsertItem(0, extra));
    EXPECT_FALSE(section->InsertItem(static_cast<CVellumMenuItem*>(nullptr), extra));
    EXPECT_EQ(kMaxItems, section->GetNumOfItems());
    delete extra;
}

TEST_F(FactoryTest, SectionsHaveTheirScrollArrowsAndPopupSectionsForChildBars) {
    CVellumMenuObject* bar = NewBar();
    int slot = bar->AddSection(const_cast<char*>("Default"), 1, 0);
    CVellumMenuSection* section = bar->m_sections[slot];
    ASSERT_NE(nullptr, section->m_leftArrow);
    ASSERT_NE(nullptr, section->m_rightArrow);
    ASSERT_NE(nullptr, section->m_downArrow);
    EXPECT_STREQ("Left Arrow", section->m_leftArrow->m_title);
    EXPECT_STREQ("Right Arrow", section->m_rightArrow->m_title);
    EXPECT_EQ(1, section->m_downArrow->Action);
    for (CVellumMenuItem* arrow : {section->m_leftArrow, section->m_rightArrow, section->m_downArrow}) {
        EXPECT_TRUE(arrow->m_arrowItem);
        EXPECT_TRUE(arrow->m_disabled);
        EXPECT_EQ(section, arrow->m_pSection);
    }
    auto* plain_arrow = dynamic_cast<CVellumMenuItem_Popup*>(section->m_downArrow);
    ASSERT_NE(nullptr, plain_arrow);
    EXPECT_TRUE(plain_arrow->m_plain);

    CVellumMenuObject* child = NewBar();
    CVellumMenuSection* popup = section->m_leftArrow->CreatePopupSection(child, nullptr);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(1, popup->MinItems);
    EXPECT_EQ(-1, popup->m_sectionNumber);
    EXPECT_EQ(child, popup->m_pBar);
    EXPECT_EQ(0, popup->GetNumOfItems());
    delete popup;
}
