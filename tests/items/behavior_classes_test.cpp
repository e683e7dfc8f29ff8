// Behaviour classes of real items in real bars: the class of each kind of
// item, the combo box of a real dialog, the question before a change, and
// the swap that the main window carries out.
#include <string>
#include <vector>
#include "items_fixture.h"
#include "model/bar_host.h"
#include "model/behavior_classes.h"
#include "model/live_objects.h"
#include "model/section_factory.h"
#include "shell/global_settings.h"
#include "shell/main_window_internal.h"

namespace items_test {
namespace {

const char kWarning[] =
    "Warning: Changing this setting will clear any current behavior properties!\nContinue?";

const std::vector<std::string> kListed = {"Shortcut Item", "Popup Menu Item", "Clock Item",
                                          "System Commands", "Special Menu", "Plugin"};

std::string CustomName(CVellumMenuItem* item) {
    char name[1024] = "";
    item->GetCustomItemName(name);
    return name;
}

class BehaviorClassesTest : public ItemsTest {
protected:
    void SetUp() override {
        ItemsTest::SetUp();
        SetHideBehaviorWarning(0);
        GetBarHostServices().IsBehaviorWarningHidden = [] { return GetHideBehaviorWarning() != 0; };
    }
    void TearDown() override {
        SetHideBehaviorWarning(0);
        ItemsTest::TearDown();
    }
};

TEST_F(BehaviorClassesTest, EachKindOfItemHasItsClass) {
    struct Case {
        const char* lines;
        int expected;
    };
    const Case cases[] = {
        {"Action=0|ActionClass=0", 0},
        {"Action=0|ActionClass=1", 5},
        {"Action=0|ActionClass=2", 1},
        {"Action=0|ActionClass=3", 7},
        {"Action=0|ActionClass=4", 8},
        {"Action=0|ActionClass=7", -1},
        {"Type=Popup", 3},
    };
    std::vector<std::string> lines;
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        lines.push_back("Item" + std::to_string(n) + ".Title=item " + std::to_string(n));
        std::string rest = c.lines;
        size_t start = 0;
        while (start <= rest.size()) {
            size_t bar = rest.find('|', start);
            if (bar == std::string::npos) bar = rest.size();
            lines.push_back("Item" + std::to_string(n) + "." + rest.substr(start, bar - start));
            start = bar + 1;
        }
    }
    CVellumMenuObject* bar = Bar(lines);
    for (int i = 0; i < n; ++i) {
        CVellumMenuItem* item = Item(bar, i);
        ASSERT_NE(nullptr, item) << i;
        EXPECT_EQ(cases[i].expected, GetItemBehaviorClass(item)) << cases[i].lines;
    }
    EXPECT_EQ(-1, GetItemBehaviorClass(nullptr));
}

TEST_F(BehaviorClassesTest, AShortcutIsClassTwo) {
    CVellumMenuObject* bar = Bar({"Item1.Title=Editor", "Item1.Type=Shortcut",
                                  "Item1.Shortcut.File=C:\\windows\\notepad.exe"});
    EXPECT_EQ(2, GetItemBehaviorClass(Item(bar)));
}

TEST_F(BehaviorClassesTest, QueriesByIndexAndByName) {
    CVellumMenuObject* bar = Bar({"Item1.Title=plain", "Item1.ActionClass=1"});
    CVellumMenuItem* item = Item(bar);
    char list[kBehaviorNameSize] = "junk";
    char cls[kBehaviorNameSize] = "junk";
    // Past the table: the index itself, an empty list name, the class name untouched.
    EXPECT_EQ(10, QueryBehaviorClass(item, 10, list, cls, nullptr));
    EXPECT_STREQ("", list);
    EXPECT_STREQ("junk", cls);
    // Names of a class: its listed flag, nothing created.
    CVellumMenuItem* made = item;
    EXPECT_EQ(1, QueryBehaviorClass(item, 4, list, cls, &made));
    EXPECT_STREQ("Clock Item", list);
    EXPECT_STREQ("Clock", cls);
    EXPECT_EQ(nullptr, made);
    EXPECT_EQ(0, GetBehaviorClassName(item, 8, list));
    EXPECT_STREQ("More System Commands", list);
    // A search by list name, without regard to case, creates the class's item.
    char wanted[] = "popup MENU item";
    EXPECT_EQ(3, CreateItemOfBehaviorName(item, wanted, &made));
    ASSERT_NE(nullptr, made);
    EXPECT_EQ("Popup Item", CustomName(made));
    delete made;
    char unknown[] = "No Such Class";
    EXPECT_EQ(-1, CreateItemOfBehaviorName(item, unknown, &made));
    EXPECT_EQ(nullptr, made);
    // "Default Item" is a class only together with the item's command set.
    char default_item[] = "default item";
    EXPECT_EQ(5, QueryBehaviorClass(item, -1, nullptr, default_item, nullptr));
}

TEST_F(BehaviorClassesTest, CreatingAClassMakesItsItemInTheSameBarAndSection) {
    CVellumMenuObject* bar = Bar({"Item1.Title=plain", "Item1.Action=5", "Item1.ActionClass=1"});
    CVellumMenuItem* item = Item(bar);
    CVellumMenuItem* made = nullptr;
    EXPECT_EQ(8, CreateItemOfBehaviorClass(item, 8, &made));
    ASSERT_NE(nullptr, made);
    EXPECT_EQ("Default Item", CustomName(made));
    EXPECT_EQ(0, made->Action);
    EXPECT_EQ(4, made->ActionClass);
    EXPECT_EQ(8, GetItemBehaviorClass(made));
    EXPECT_EQ(bar, made->m_pBar);
    EXPECT_EQ(item->m_pSection, made->m_pSection);
    EXPECT_EQ(-1, made->m_itemNumber);
    EXPECT_EQ(-1, item->m_pSection->FindItem(made)) << "no section holds it yet";
    delete made;
}

// Item types that are not built give no item; those that are give an item
// of their class. Either way nothing pretends.
TEST_F(BehaviorClassesTest, ATypeClassGivesAnItemOnlyWhenItsTypeIsBuilt) {
    CVellumMenuObject* bar = Bar({"Item1.Title=plain", "Item1.ActionClass=1"});
    CVellumMenuItem* item = Item(bar);
    for (int index : {2, 3, 4, 6, 9}) {
        CVellumMenuItem* made = item;
        EXPECT_EQ(index, CreateItemOfBehaviorClass(item, index, &made));
        if (made) {
            EXPECT_EQ(index, GetItemBehaviorClass(made)) << index;
        }
        delete made;
    }
}

TEST_F(BehaviorClassesTest, TheComboListsSixClassesAndSelectsTheItemsClass) {
    CVellumMenuObject* bar = Bar({"Item1.Title=clip", "Item1.ActionClass=3", "Item2.Title=menu",
                                  "Item2.Type=Popup", "Item3.Title=none", "Item3.ActionClass=7"});
    struct Case {
        int item;
        const char* selected;
    } cases[] = {{0, "System Commands"}, {1, "Popup Menu Item"}, {2, "System Commands"}};
    for (const Case& c : cases) {
        ComboDialog dialog;
        ASSERT_NE(nullptr, dialog.Combo());
        EXPECT_EQ(1, FillBehaviorClassCombo(Item(bar, c.item), dialog.Combo()));
        EXPECT_EQ(kListed, dialog.Entries());
        EXPECT_EQ(c.selected, dialog.Selected()) << c.item;
    }
    ComboDialog dialog;
    EXPECT_EQ(0, FillBehaviorClassCombo(nullptr, dialog.Combo()));
    EXPECT_EQ(0, FillBehaviorClassCombo(Item(bar), nullptr));
}

TEST_F(BehaviorClassesTest, TheComboOfAShortcutSelectsShortcutItem) {
    CVellumMenuObject* bar = Bar({"Item1.Title=Editor", "Item1.Type=Shortcut",
                                  "Item1.Shortcut.File=C:\\windows\\notepad.exe"});
    ComboDialog dialog;
    FillBehaviorClassCombo(Item(bar), dialog.Combo());
    EXPECT_EQ(kListed, dialog.Entries());
    EXPECT_EQ("Shortcut Item", dialog.Selected());
}

struct ChangeCase {
    const char* name;
    std::vector<std::string> item_lines;   // of Item1
    const char* choose;
    int hide_warning;
    bool asks;
};

// Every change asks unless the item is a default item without an action, or
// the warning is switched off. The answer here is No: a question leaves the
// item and the combo as they were; no question lets the swap go ahead.
TEST_F(BehaviorClassesTest, AChangeAsksUnlessADefaultItemWithoutActionChanges) {
    const ChangeCase cases[] = {
        {"System Commands, Action 0", {"ActionClass=1"}, "Popup Menu Item", 0, false},
        {"System Commands, Action 0, to a clock", {"ActionClass=1"}, "Clock Item", 0, false},
        {"Window Commands, Action 0", {"ActionClass=0"}, "Popup Menu Item", 0, false},
        {"Internal Commands, Action 0", {"ActionClass=2"}, "Popup Menu Item", 0, false},
        {"Clipboard Commands, Action 0", {"ActionClass=3"}, "Popup Menu Item", 0, false},
        {"More System Commands, Action 0", {"ActionClass=4"}, "Popup Menu Item", 0, false},
        {"System Commands with an action", {"Action=5", "ActionClass=1"}, "Popup Menu Item", 0,
         true},
        {"no class, Action 0", {"ActionClass=7"}, "Popup Menu Item", 0, true},
        {"popup item", {"Type=Popup"}, "System Commands", 0, true},
        {"warning switched off", {"Action=5", "ActionClass=1"}, "Popup Menu Item", 1, false},
        {"shortcut", {"Type=Shortcut", "Shortcut.File=C:\\windows\\notepad.exe"},
         "Popup Menu Item", 0, true},
    };
    for (const ChangeCase& c : cases) {
        std::vector<std::string> lines = {"Item1.Title=changing"};
        for (const std::string& l : c.item_lines) lines.push_back("Item1." + l);
        CVellumMenuObject* bar = Bar(lines);
        CVellumMenuItem* item = Item(bar);
        ASSERT_NE(nullptr, item) << c.name;
        SetHideBehaviorWarning(c.hide_warning);
        PostedSwaps().clear();
        ComboDialog dialog;
        FillBehaviorClassCombo(item, dialog.Combo());
        const std::string before = dialog.Selected();
        ASSERT_TRUE(dialog.Choose(c.choose)) << c.name;

        testing_support::MessageBoxWatcher watcher(IDNO);
        int result = ApplyBehaviorClassChange(item, dialog.Combo());
        testing_support::PumpFor(50);
        ASSERT_EQ(c.asks ? 1u : 0u, watcher.Count()) << c.name;
        if (c.asks) {
            EXPECT_EQ("Tessellar", watcher.Seen()[0].caption) << c.name;
            EXPECT_EQ(kWarning, watcher.Seen()[0].text) << c.name;
            EXPECT_EQ(0, result) << c.name;
            EXPECT_EQ(before, dialog.Selected()) << c.name;
            EXPECT_TRUE(PostedSwaps().empty()) << c.name;
            EXPECT_EQ(item, Item(bar)) << c.name;
        } else {
            EXPECT_EQ(1, result) << c.name;
            EXPECT_TRUE(Wait([] { return !PostedSwaps().empty(); })) << c.name;
            EXPECT_NE(item, Item(bar)) << c.name;
            std::string chosen = c.choose;
            EXPECT_EQ(QueryBehaviorClass(nullptr, -1, &chosen[0], nullptr, nullptr),
                      GetItemBehaviorClass(Item(bar)))
                << c.name;
        }
        CloseBar(bar);
    }
}

TEST_F(BehaviorClassesTest, TheSameClassChangesNothing) {
    CVellumMenuObject* bar = Bar({"Item1.Title=menu", "Item1.Type=Popup"});
    ComboDialog dialog;
    FillBehaviorClassCombo(Item(bar), dialog.Combo());
    testing_support::MessageBoxWatcher watcher(IDYES);
    EXPECT_EQ(0, ApplyBehaviorClassChange(Item(bar), dialog.Combo()));
    testing_support::PumpFor(30);
    EXPECT_EQ(0u, watcher.Count());
    EXPECT_TRUE(PostedSwaps().empty());
    EXPECT_EQ(0, ApplyBehaviorClassChange(nullptr, dialog.Combo()));
}

// Yes: the posted swap puts an item of the new class in the old one's place
// with the old title and display settings, and a save names the new type.
TEST_F(BehaviorClassesTest, YesSwapsInTheNewItemOnceThePostedMessageIsHandled) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
    } cases[] = {
        {"default item with an action", {"Action=5", "ActionClass=1"}},
        {"shortcut", {"Type=Shortcut", "Shortcut.File=C:\\windows\\notepad.exe"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = {"Item1.Title=first", "Item2.Title=Changing",
                                          "Item2.ShowIcon=0", "Item2.ShowText=1",
                                          "Item2.IconSize=32", "Item2.TextOnlyAlign=2",
                                          "Item3.Title=last"};
        for (const std::string& l : c.lines) lines.push_back("Item2." + l);
        CVellumMenuObject* bar = Bar(lines);
        CVellumMenuItem* item = Item(bar, 1);
        ComboDialog dialog;
        FillBehaviorClassCombo(item, dialog.Combo());
        ASSERT_TRUE(dialog.Choose("Popup Menu Item"));
        SetSwapsHandled(false);
        testing_support::MessageBoxWatcher watcher(IDYES);
        EXPECT_EQ(1, ApplyBehaviorClassChange(item, dialog.Combo()));
        EXPECT_EQ(1u, watcher.Count()) << c.name;
        // Nothing changes before the main window handles the message.
        EXPECT_EQ(item, Item(bar, 1));
        ASSERT_TRUE(Wait([] { return !PostedSwaps().empty(); })) << c.name;
        auto swap = PostedSwaps()[0];
        EXPECT_EQ(reinterpret_cast<WPARAM>(item), swap.first);
        EXPECT_TRUE(IsOwnedRecord(reinterpret_cast<void*>(swap.second)));
        EXPECT_EQ(1, SwapItemsFromMessage(swap.first, swap.second));

        CVellumMenuItem* swapped = Item(bar, 1);
        ASSERT_EQ(reinterpret_cast<CVellumMenuItem*>(swap.second), swapped) << c.name;
        EXPECT_FALSE(IsLiveItem(item));
        EXPECT_EQ(3, bar->m_sections[0]->GetNumOfItems());
        EXPECT_EQ(3, GetItemBehaviorClass(swapped));
        EXPECT_STREQ("Changing", swapped->m_title);
        EXPECT_EQ(FALSE, swapped->ShowIcon);
        EXPECT_EQ(TRUE, swapped->ShowText);
        EXPECT_EQ(32, swapped->IconSize);
        EXPECT_EQ(2, swapped->TextOnlyAlign);
        EXPECT_TRUE(bar->m_modified);

        std::string saved = bar_folder_ + "saved.tsbar";
        ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
        char type[64] = "";
        GetPrivateProfileStringA("Section1", "Item2.Type", "", type, sizeof(type), saved.c_str());
        EXPECT_STREQ("Popup", type) << c.name;
        char title[64] = "";
        GetPrivateProfileStringA("Section1", "Item2.Title", "", title, sizeof(title), saved.c_str());
        EXPECT_STREQ("Changing", title);
        SetSwapsHandled(true);
        PostedSwaps().clear();
        CloseBar(bar);
    }
}

int ToolCount(CVellumMenuObject* bar) {
    return static_cast<int>(SendMessageA(bar->m_hToolTips, TTM_GETTOOLCOUNT, 0, 0));
}

// The new item of a swap belongs to no section: when the old item is gone
// before the swap arrives, the main window frees it (its tooltip tool goes
// with it), also when its bar has closed meanwhile.
TEST_F(BehaviorClassesTest, ASwapWhoseOldItemIsGoneFreesTheNewItem) {
    CVellumMenuObject* bar = Bar({"Item1.Title=old", "Item2.Title=other"});
    CVellumMenuItem* old_item = Item(bar);
    ASSERT_NE(nullptr, bar->m_hToolTips);
    const int tools = ToolCount(bar);
    CVellumMenuItem* made = nullptr;
    CreateItemOfBehaviorClass(old_item, 3, &made);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(tools + 1, ToolCount(bar));
    RegisterOwnedRecord(made);
    bar->m_sections[0]->RemoveItem(old_item, 1);
    EXPECT_EQ(0, SwapItemsFromMessage(reinterpret_cast<WPARAM>(old_item),
                                      reinterpret_cast<LPARAM>(made)));
    EXPECT_FALSE(IsOwnedRecord(made));
    EXPECT_EQ(tools - 1, ToolCount(bar)) << "the old item's tool and the new one's are gone";

    CVellumMenuObject* closing = Bar({"Item1.Title=old"});
    CVellumMenuItem* gone = Item(closing);
    CreateItemOfBehaviorClass(gone, 3, &made);
    ASSERT_NE(nullptr, made);
    RegisterOwnedRecord(made);
    CloseBar(closing);
    EXPECT_EQ(0, SwapItemsFromMessage(reinterpret_cast<WPARAM>(gone),
                                      reinterpret_cast<LPARAM>(made)));
    EXPECT_FALSE(IsOwnedRecord(made));
}

}  // namespace
}  // namespace items_test
