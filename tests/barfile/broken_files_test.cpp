// Broken bar files: each opens to a bar without crashing, and saving it
// keeps every section the file held.
#include "barfile_fixture.h"
#include <cstring>
#include "skins/skin_cache.h"

using namespace barfile_test;

namespace {

struct BrokenCase {
    const char* name;
    std::string content;
    int sections;        // sections the bar must hold after reading
    int first_items;     // items of the first section, -1: not checked
    const char* title;   // bar title, null: not checked
};

std::string Repeat(char c, size_t n) { return std::string(n, c); }

std::vector<BrokenCase> Cases() {
    std::string many_states = Lines({"[Object]", "Title=S", "[Section1]", "Item1.Title=A",
                                     "Item1.DisplayAsBitmap=1", "Item1.nCustomStates=100000"});
    for (int i = 0; i < 210; ++i)
        many_states += "Item1.CustomState" + std::to_string(i) + ".Name=s" + std::to_string(i) +
                       "\r\n";
    return {
        {"garbage numbers",
         Lines({"[Object]", "Title=G", "Alpha=abc", "LastPos.x=--5", "DockToEdge=99999999999",
                "LastSize.cx=xyz", "UseLVSkin=70000", "AlwaysOnTop=yes", "[Section1]",
                "Properties.MinItemWidth=nan", "Properties.MaxItemWidth=-5", "Item1.Title=A",
                "Item1.IconSize=-40", "Item1.Action=999999"}),
         1, 1, "G"},
        {"no [Object] at all", Lines({"[Section1]", "Item1.Title=A"}), 1, 1, "Unnamed Object"},
        {"a gap in the section numbers",
         Lines({"[Object]", "Title=Gap", "[Section1]", "Item1.Title=A", "[Section2]",
                "Item1.Title=B", "[Section4]", "Item1.Title=D"}),
         3, 1, "Gap"},
        {"only a later section", Lines({"[Object]", "Title=L", "[Section3]", "Item1.Title=C"}), 1,
         1, "L"},
        {"an empty section without ForceValid before a full one",
         Lines({"[Object]", "Title=E", "[Section1]", "Title=empty", "[Section2]",
                "Item1.Title=B"}),
         2, 0, "E"},
        {"a huge bar title", Lines({"[Object]", "Title=" + Repeat('t', 5000), "[Section1]",
                                    "Item1.Title=A"}),
         1, 1, nullptr},
        {"huge section and item titles",
         Lines({"[Object]", "Title=H", "[Section1]", "Title=" + Repeat('s', 3000),
                "Item1.Title=" + Repeat('i', 3000)}),
         1, 1, "H"},
        {"an absent skin", Lines({"[Object]", "Title=K", "LastSkin=Skins\\missing.tsskin"}), 0,
         -1, "K"},
        {"an over-long monitor name",
         Lines({"[Object]", "Title=M", "LastMonitor=" + Repeat('m', 300)}), 0, -1, "M"},
        {"a gap in the item numbers",
         Lines({"[Object]", "Title=I", "[Section1]", "Item1.Title=A", "Item3.Title=C"}), 1, 1,
         "I"},
        {"more custom states than an item holds", many_states, 1, 1, "S"},
        {"odd section names",
         Lines({"[Object]", "Title=N", "[Section0]", "Item1.Title=zero", "[section2]",
                "Item1.Title=two", "[Section01]", "Item1.Title=leading zero", "[Section501]",
                "Item1.Title=too far", "[Section-3]", "Item1.Title=negative"}),
         1, 1, "N"},
        {"binary junk", std::string("\x00\xff\xfe[\x01\x02]\r\n=\r\n[[[\r\n\xAF\xAF", 22), 0, -1,
         "Unnamed Object"},
        {"a missing file", "", 0, -1, "Unnamed Object"},
    };
}

}  // namespace

class BrokenFilesTest : public BarFileTest {};

TEST_F(BrokenFilesTest, EachOpensToABarAndASaveKeepsItsSections) {
    int index = 0;
    for (const BrokenCase& c : Cases()) {
        std::string name = "broken" + std::to_string(index++) + ".tsbar";
        std::string path = c.content.empty() ? temp_.File(name) : WriteBarFile(name, c.content);
        CVellumMenuObject* bar = LoadBar(path);
        ASSERT_TRUE(bar->m_skin) << c.name;   // never without a skin
        EXPECT_EQ(c.sections, bar->GetSectionCount()) << c.name;
        if (c.first_items >= 0 && bar->m_sections[0]) {
            EXPECT_EQ(c.first_items, bar->m_sections[0]->GetNumOfItems()) << c.name;
        }
        if (c.title) {
            EXPECT_STREQ(c.title, bar->Title) << c.name;
        }
        EXPECT_LT(strlen(bar->Title), sizeof(bar->Title)) << c.name;
        EXPECT_LT(strlen(bar->LastMonitor), sizeof(bar->LastMonitor)) << c.name;

        std::string out = temp_.File("saved_" + name);
        ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str()))) << c.name;
        CVellumMenuObject* reread = LoadBar(out);
        EXPECT_EQ(bar->GetSectionCount(), reread->GetSectionCount()) << c.name;
        for (int s = 0; s < bar->GetSectionCount(); ++s)
            EXPECT_EQ(bar->m_sections[s]->GetNumOfItems(), reread->m_sections[s]->GetNumOfItems())
                << c.name << " section " << s;
    }
}

TEST_F(BrokenFilesTest, GarbageReadsAsNumbersOrDefaults) {
    std::string path = WriteBarFile(
        "g.tsbar", Lines({"[Object]", "Title=G", "Alpha=abc", "DockToEdge=7", "AlwaysOnTop=yes",
                          "LastPos.x=12px", "[Section1]", "Properties.MaxItemWidth=-5",
                          "Item1.Title=A", "Item1.Action=13"}));
    CVellumMenuObject* bar = LoadBar(path);
    EXPECT_EQ(0, bar->Alpha);           // atoi of "abc"
    EXPECT_EQ(-1, bar->DockToEdge);     // above 3: not docked
    EXPECT_FALSE(bar->AlwaysOnTop);     // a flag is 1 only when it begins with 1
    EXPECT_EQ(12, bar->m_placement.LastPos.x);
    // The default width of 10, grown to what the bar's content needs.
    SIZE least = {10, 10};
    bar->AdjustForMinimumSize(&least, nullptr, 1);
    EXPECT_EQ(least.cx, bar->m_placement.LastSize.cx);
    ASSERT_EQ(1, bar->GetSectionCount());
    EXPECT_EQ(43957, bar->m_sections[0]->MaxItemWidth);
}

TEST_F(BrokenFilesTest, HugeTitlesAreBoundedAndAbsentSkinsKeepThePlaceholder) {
    std::string path = WriteBarFile(
        "h.tsbar", Lines({"[Object]", "Title=" + Repeat('t', 5000),
                          "LastSkin=Skins\\missing.tsskin", "LastMonitor=" + Repeat('m', 300),
                          "[Section1]", "Title=" + Repeat('s', 3000),
                          "Item1.Title=" + Repeat('i', 3000)}));
    CVellumMenuObject* bar = LoadBar(path);
    EXPECT_EQ(std::string(kBarTitleSize - 1, 't'), bar->Title);
    EXPECT_STREQ("", bar->LastMonitor);
    ASSERT_TRUE(bar->m_skin);
    EXPECT_NE(nullptr, StrStrIA(bar->m_skin->path, kInvalidSkinName));
    ASSERT_EQ(1, bar->GetSectionCount());
    EXPECT_EQ(std::string(kSectionTitleSize - 1, 's'), bar->m_sections[0]->Title);
    EXPECT_EQ(std::string(3000, 'i'), bar->m_sections[0]->m_items[0]->m_title);
}

TEST_F(BrokenFilesTest, ASectionLongerThanTheReaderHoldsLosesNoItemAtTheNextSave) {
    std::vector<std::string> lines = {"[Object]", "Title=Long", "[Section1]",
                                      "Properties.ForceValid=1"};
    const int kItems = 300;
    for (int i = 1; i <= kItems; ++i) {
        std::string n = std::to_string(i);
        lines.push_back("Item" + n + ".Title=Entry number " + n + " with a long enough title");
        lines.push_back("Item" + n + ".Action=" + n);
    }
    lines.push_back("[Section2]");
    lines.push_back("Item1.Title=After");
    std::string path = WriteBarFile("long.tsbar", Lines(lines));
    CVellumMenuObject* bar = LoadBar(path);
    ASSERT_EQ(2, bar->GetSectionCount());
    CVellumMenuSection* section = bar->m_sections[0];
    int held = section->GetNumOfItems();
    EXPECT_GT(held, 0);
    EXPECT_LT(held, kItems);   // the reader holds only part of it
    // The user changes one of the items in memory.
    section->m_items[0]->SetItemTitle(const_cast<char*>("Edited"), 0);

    std::string out = temp_.File("long_out.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str())));
    IniText ini = ParseIniFile(out);
    const IniSection* saved = ini.Find("Section1");
    ASSERT_NE(nullptr, saved);
    EXPECT_EQ("Edited", *saved->Get("Item1.Title"));
    for (int i = 2; i <= kItems; ++i) {
        std::string n = std::to_string(i);
        const std::string* title = saved->Get("Item" + n + ".Title");
        ASSERT_NE(nullptr, title) << n;
        EXPECT_EQ("Entry number " + n + " with a long enough title", *title);
        ASSERT_NE(nullptr, saved->Get("Item" + n + ".Action")) << n;
        EXPECT_EQ(n, *saved->Get("Item" + n + ".Action"));
    }
    EXPECT_EQ(nullptr, saved->Get("Item" + std::to_string(kItems + 1) + ".Title"));
    EXPECT_EQ("After", *ini.Find("Section2")->Get("Item1.Title"));
}
