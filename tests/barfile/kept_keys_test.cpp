// Sections and items of types whose classes are not built yet keep the keys
// of their type through a save: under the item's new number, nested entries
// under their parent's, and never over a key the class itself wrote.
#include "barfile_fixture.h"

using namespace barfile_test;

namespace {

// Key `later` of a section must come after key `earlier`.
struct Order {
    const char* section;
    const char* earlier;
    const char* later;
};

struct KeptCase {
    const char* name;
    std::vector<std::string> file;
    int remove_item;   // index of an item of the first section deleted before saving, -1 none
    const char* edit_title;   // new title of the first item in memory, null none
    std::vector<Expect> expects;
    std::vector<Order> order;
};

const std::vector<std::string> kShortcutAndClock = {
    "[Object]", "Title=Kept", "[Section1]",
    "Item1.Title=Plain", "Item1.Action=3",
    "Item2.Type=Shortcut", "Item2.Title=Editor", "Item2.ShowIcon=1",
    "Item2.Shortcut.File=C:\\Tools\\edit.exe", "Item2.Shortcut.Params=-n \"a b\"",
    "Item2.Shortcut.StartIn=C:\\Tools", "Item2.Shortcut.RunAs=2", "Item2.Shortcut.UseExtention=",
    "Item2.Folder.UsePopup=0", "Item2.Popup.PopupDirection=3",
    // A clock whose text is a constant, so that saves a minute apart agree.
    "Item3.Type=Clock", "Item3.Title=Clock!", "Item3.Clock.UseCustomStrings=1",
    "Item3.Clock.TimeString1='Clock'!", "Item3.Clock.TimeString2=dddd = d",
    "Item3.Clock.ShowOnlyLinesAvail=0"};

const std::vector<KeptCase>& Cases() {
    static const std::vector<KeptCase> cases = {
        {"shortcut and clock keys under the same numbers",
         kShortcutAndClock, -1, nullptr,
         {{"Section1", "Item1.Title", "Plain"},
          {"Section1", "Item2.Type", "Shortcut"},
          {"Section1", "Item2.Shortcut.File", "C:\\Tools\\edit.exe"},
          // The shortcut item writes its own keys: none it does not know,
          // no empty extension.
          {"Section1", "Item2.Shortcut.Params", nullptr},
          {"Section1", "Item2.Shortcut.StartIn", "C:\\Tools"},
          {"Section1", "Item2.Shortcut.RunAs", "2"},
          {"Section1", "Item2.Shortcut.UseExtention", nullptr},
          {"Section1", "Item2.Folder.UsePopup", "0"},
          {"Section1", "Item2.Popup.PopupDirection", "3"},
          {"Section1", "Item3.Type", "Clock"},
          {"Section1", "Item3.Clock.UseCustomStrings", "1"},
          {"Section1", "Item3.Clock.TimeString1", "'Clock'!"},
          {"Section1", "Item3.Clock.TimeString2", "dddd = d"},
          {"Section1", "Item3.Clock.ShowOnlyLinesAvail", "0"},
          {"Section1", "Item1.Shortcut.File", nullptr}},
         {{"Section1", "Item2.ShowIcon", "Item2.Shortcut.File"},
          {"Section1", "Item2.Type", "Item2.Shortcut.File"},
          {"Section1", "Item2.Popup.PopupDirection", "Item3.Title"}}},
        {"deleting an item moves the kept keys to the new numbers",
         kShortcutAndClock, 0, nullptr,
         {{"Section1", "Item1.Title", "Editor"},
          {"Section1", "Item1.Type", "Shortcut"},
          {"Section1", "Item1.Shortcut.File", "C:\\Tools\\edit.exe"},
          {"Section1", "Item1.Shortcut.Params", nullptr},
          {"Section1", "Item1.Shortcut.RunAs", "2"},
          {"Section1", "Item1.Popup.PopupDirection", "3"},
          {"Section1", "Item2.Title", "Clock!"},
          {"Section1", "Item2.Type", "Clock"},
          {"Section1", "Item2.Clock.TimeString1", "'Clock'!"},
          {"Section1", "Item2.Clock.TimeString2", "dddd = d"},
          {"Section1", "Item2.Shortcut.File", nullptr},
          {"Section1", "Item3.Title", nullptr},
          {"Section1", "Item3.Clock.TimeString1", nullptr}},
         {}},
        {"a plug-in item writes its own keys and its popup menu's entries under the new number",
         {"[Object]", "Title=Menu", "[Section1]", "Item1.Title=Gone",
          "Item2.Type=Plugin", "Item2.Title=Apps", "Item2.Action=1",
          "Item2.Popup=Bars\\apps.tsbar",
          "Item2.Popup.Toggle=0", "Item2.Item1.Title=Open", "Item2.Item1.Action=5",
          "Item2.Item1.Shortcut.File=open.exe", "Item2.Item2.Separator=1",
          "Item2.Item2.Note=between", "Item2.Item3.Title=Close", "Item2.Item3.Action=6"},
         0, nullptr,
         {{"Section1", "Item1.Title", "Apps"},
          {"Section1", "Item1.Type", "Plugin"},
          // Keys of other types are no plug-in item's to keep.
          {"Section1", "Item1.Popup", nullptr},
          {"Section1", "Item1.Item1.Title", "Open"},
          {"Section1", "Item1.Item1.Action", "5"},
          {"Section1", "Item1.Item2.Separator", "1"},
          {"Section1", "Item1.Item3.Title", "Close"},
          {"Section1", "Item2.Item1.Shortcut.File", nullptr},
          {"Section1", "Item2.Title", nullptr}},
         {}},
        {"folder and mirroring sections write their own keys under the new section number",
         {"[Object]", "Title=Task", "[Section1]", "Item1.Title=Start", "[Section3]",
          "Properties.Type=Folder", "Title=Tasks", "Taskbar.GroupingDisabled=1",
          "properties.title.visible=1", "Item1.Type=Shortcut", "Item1.Title=Button",
          "Item1.Shortcut.File=x.exe", "[Section4]", "Properties.Type=Replacable",
          "Properties.ForceValid=1", "Replacable.Note=1", "Item1.Title=Own"},
         -1, nullptr,
         {{"Section2", "Properties.Type", "Folder"},
          {"Section2", "Title", "Tasks"},
          {"Section2", "Properties.Title.Visible", "0"},
          {"Section2", "Popup.Volitle", "1"},
          // Another type's keys and the folder's entries are not the file's.
          {"Section2", "Taskbar.GroupingDisabled", nullptr},
          {"Section2", "Item1.Title", nullptr},
          {"Section3", "Properties.Type", "Replacable"},
          {"Section3", "Item1.Title", "Own"},
          {"Section3", "Replacable.Note", nullptr}},
         {}},
        {"a doubled key is the class's and an edit in memory wins",
         {"[Object]", "Title=Twice", "[Section1]", "Item1.Type=Shortcut", "Item1.Title=First",
          "Item1.Shortcut.File=a.exe", "Item1.Title=Second", "Item1.Shortcut.File=b.exe"},
         -1, "Edited",
         {{"Section1", "Item1.Title", "Edited"},
          {"Section1", "Item1.Shortcut.File", "a.exe"}},
         {}},
        {"default and unknown types keep nothing of other types",
         {"[Object]", "Title=Plain", "[Section1]", "Properties.Type=Weird",
          "Taskbar.GroupingDisabled=1", "Item1.Title=A", "Item1.Shortcut.File=a.exe",
          "Item2.Type=Weird", "Item2.Title=B", "Item2.Shortcut.File=b.exe"},
         -1, nullptr,
         {{"Section1", "Properties.Type", nullptr},
          {"Section1", "Taskbar.GroupingDisabled", nullptr},
          {"Section1", "Item1.Title", "A"},
          {"Section1", "Item1.Shortcut.File", nullptr},
          {"Section1", "Item2.Title", "B"},
          {"Section1", "Item2.Shortcut.File", nullptr}},
         {}},
    };
    return cases;
}

class KeptKeysTest : public BarFileTest {};

TEST_F(KeptKeysTest, KeysSurviveASaveUnderTheNewNumbers) {
    for (const KeptCase& c : Cases()) {
        std::string in = WriteBarFile("kept.tsbar", Lines(c.file));
        CVellumMenuObject* bar = LoadBar(in);
        ASSERT_GT(bar->GetSectionCount(), 0) << c.name;
        CVellumMenuSection* first = bar->m_sections[0];
        if (c.remove_item >= 0) first->RemoveItem(c.remove_item, 1);
        if (c.edit_title) first->m_items[0]->SetItemTitle(const_cast<char*>(c.edit_title), 0);
        // As after any edit in the program, the bar takes the size of its content.
        bar->RecalcRects(kRecalcNoRedraw, kRecalcUpdatePos);

        std::string out = temp_.File("kept_out.tsbar");
        ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str()))) << c.name;
        IniText ini = ParseIniFile(out);
        CheckKeys(ini, c.expects, c.name);
        if (HasFatalFailure()) return;
        for (const Order& o : c.order) {
            const IniSection* section = ini.Find(o.section);
            ASSERT_NE(nullptr, section) << c.name;
            int earlier = section->IndexOf(o.earlier);
            int later = section->IndexOf(o.later);
            EXPECT_GE(earlier, 0) << c.name << " " << o.earlier;
            EXPECT_LT(earlier, later) << c.name << " " << o.earlier << " before " << o.later;
        }

        // The same bar saved again, and the saved file read and saved, give the
        // same bytes, the widths the layout gave the sections included.
        auto bytes = [](const std::string& path) { return testing_support::ReadFileBytes(path); };
        std::string twice = temp_.File("kept_twice.tsbar");
        ASSERT_EQ(1, bar->Save(const_cast<char*>(twice.c_str()))) << c.name;
        EXPECT_EQ(bytes(out), bytes(twice)) << c.name;
        std::string again = temp_.File("kept_again.tsbar");
        CVellumMenuObject* second = LoadBar(out);
        ASSERT_EQ(1, second->Save(const_cast<char*>(again.c_str()))) << c.name;
        EXPECT_EQ(bytes(out), bytes(again)) << c.name;
        DeleteFileA(out.c_str());
        DeleteFileA(twice.c_str());
        DeleteFileA(again.c_str());
    }
}

}  // namespace
