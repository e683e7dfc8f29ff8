// Groups of task buttons: the automatic groups of one program's windows with
// their "Minimize Group" and "Close Group" popup, and the filters of the bar
// file (user groups, "Only display", "Filter out") on real windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/live_objects.h"
#include "shell/hook_library.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/taskbar/task_fixture.h"

using namespace task_test;
using testing_support::PumpFor;

namespace {

const char kProgramDescription[] = "Task Window Bench";   // task_windows.rc

CVellumMenuItem_Taskbar* ButtonOf(const std::vector<CVellumMenuItem_Taskbar*>& buttons, HWND wnd) {
    for (auto* b : buttons)
        if (b->m_window == wnd) return b;
    return nullptr;
}

std::vector<CVellumMenuItem_Taskbar*> GroupButtons(const std::vector<CVellumMenuItem_Taskbar*>& buttons) {
    std::vector<CVellumMenuItem_Taskbar*> out;
    for (auto* b : buttons)
        if (b->IsAutoGroupButton()) out.push_back(b);
    return out;
}

std::vector<std::string> SortedTitles(const std::vector<CVellumMenuItem_Taskbar*>& buttons) {
    std::vector<std::string> out;
    for (auto* b : buttons) out.push_back(Title(b));
    std::sort(out.begin(), out.end());
    return out;
}

// Closes wnd of another process and waits until it is gone.
bool CloseAndWait(HWND wnd) {
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    return testing_support::PumpUntil([&] { return !IsWindow(wnd); }, 3000);
}

}  // namespace

// The second window of a program turns the first one's button into the
// group's; when one is left, a plain button comes back at that place.
TEST_F(TaskbarTest, AutomaticGroupTakesTheFirstButtonsPlaceAndGivesItBack) {
    ASSERT_TRUE(program_.Start({"TaskA|Ledger"}));
    HWND ledger = program_.Find("Ledger");
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar("Taskbar.XPGroupingEnabled=1\r\n"));
    ASSERT_NE(nullptr, section);
    HWND later = LocalWindow("TaskLaterWindow", "Later");
    PostEvent(WM_TSHOOK_CREATED, later);
    const int place = IndexOf(section, ButtonOf(OurButtons(section), ledger));
    ASSERT_LE(0, place);
    ASSERT_LT(place, IndexOf(section, ButtonOf(OurButtons(section), later)));

    HWND journal = program_.Open("TaskA|Journal");
    ASSERT_NE(nullptr, journal);
    PostEvent(WM_TSHOOK_CREATED, journal);
    auto buttons = OurButtons(section);
    EXPECT_EQ(nullptr, ButtonOf(buttons, ledger));
    EXPECT_EQ(nullptr, ButtonOf(buttons, journal)) << "the second window's button is never shown";
    auto groups = GroupButtons(buttons);
    ASSERT_EQ(1u, groups.size());
    EXPECT_EQ(place, IndexOf(section, groups[0]));
    EXPECT_EQ(std::string("(2) ") + kProgramDescription, Title(groups[0]));
    const AutoGroup* group = groups[0]->m_autoGroup;
    EXPECT_EQ(2, group->count);
    EXPECT_EQ(journal, group->members[0]) << "the new window first";
    EXPECT_EQ(ledger, group->members[1]);
    EXPECT_STREQ(kProgramDescription, group->display_name);

    ASSERT_TRUE(CloseAndWait(journal));
    PostEvent(WM_TSHOOK_DESTROYED, journal);
    buttons = OurButtons(section);
    EXPECT_TRUE(GroupButtons(buttons).empty());
    EXPECT_EQ(place, IndexOf(section, ButtonOf(buttons, ledger)));
    EXPECT_EQ("Ledger", Title(ButtonOf(buttons, ledger)));
    EXPECT_LT(place, IndexOf(section, ButtonOf(buttons, later)));
}

// Switching grouping off keeps the member table; switching it on again
// builds the group button from it.
TEST_F(TaskbarTest, GroupingOffAndOnRebuildsFromTheKeptMembers) {
    ASSERT_TRUE(program_.Start({"TaskA|North", "TaskA|South", "TaskA|East"}));
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar("Taskbar.XPGroupingEnabled=1\r\n"));
    ASSERT_NE(nullptr, section);
    auto groups = GroupButtons(OurButtons(section));
    ASSERT_EQ(1u, groups.size());
    EXPECT_EQ(std::string("(3) ") + kProgramDescription, Title(groups[0]));
    const int place = IndexOf(section, groups[0]);
    AutoGroup* group = groups[0]->m_autoGroup;

    EXPECT_EQ(1, section->DoCustomContextMenuCommand(1001));
    auto buttons = OurButtons(section);
    EXPECT_TRUE(GroupButtons(buttons).empty());
    EXPECT_EQ((std::vector<std::string>{"East", "North", "South"}), SortedTitles(buttons));
    for (auto* b : buttons) {
        const int at = IndexOf(section, b);
        EXPECT_TRUE(at >= place && at < place + 3) << Title(b) << " at " << at << ", group was at " << place;
    }
    EXPECT_EQ(3, group->count) << "the members are kept";
    EXPECT_EQ(nullptr, group->button);

    EXPECT_EQ(1, section->DoCustomContextMenuCommand(1002));
    groups = GroupButtons(OurButtons(section));
    ASSERT_EQ(1u, groups.size());
    EXPECT_EQ(1u, OurButtons(section).size());
    EXPECT_EQ(std::string("(3) ") + kProgramDescription, Title(groups[0]));
    EXPECT_EQ(place, IndexOf(section, groups[0]));
}

// A group holds 100 windows; the 101st of the program keeps its own button.
TEST_F(TaskbarTest, HundredFirstWindowKeepsItsOwnButton) {
    std::vector<std::string> specs;
    for (int i = 1; i <= 101; ++i) specs.push_back("TaskA|W" + std::to_string(i));
    ASSERT_TRUE(program_.Start(specs));
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar("Taskbar.XPGroupingEnabled=1\r\n"));
    ASSERT_NE(nullptr, section);
    auto buttons = OurButtons(section);
    auto groups = GroupButtons(buttons);
    ASSERT_EQ(1u, groups.size());
    EXPECT_EQ(kMaxAutoGroupMembers, groups[0]->m_autoGroup->count);
    EXPECT_EQ(std::string("(100) ") + kProgramDescription, Title(groups[0]));
    ASSERT_EQ(2u, buttons.size());
    EXPECT_TRUE(buttons[0]->IsWindowButton() || buttons[1]->IsWindowButton());
}

// "Minimize Group" leaves minimised members alone; every member ends
// minimised.
TEST_F(TaskbarTest, MinimizeGroupMinimisesTheOthers) {
    ASSERT_TRUE(program_.Start({"TaskA|Up1", "TaskA|Up2", "TaskA|Down"}));
    HWND up1 = program_.Find("Up1"), up2 = program_.Find("Up2"), down = program_.Find("Down");
    ShowWindowAsync(down, SW_MINIMIZE);
    ASSERT_TRUE(Wait([&] { return IsIconic(down) != FALSE; }));
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar("Taskbar.XPGroupingEnabled=1\r\n"));
    ASSERT_NE(nullptr, section);
    auto groups = GroupButtons(OurButtons(section));
    ASSERT_EQ(1u, groups.size());
    int handled = 0;
    groups[0]->OnRClick(&handled);
    CVellumMenuObject* popup = groups[0]->m_childBar;
    ASSERT_TRUE(popup && IsLiveBar(popup) && popup->GetSectionCount() == 1);
    CVellumMenuSection* commands = popup->m_sections[0];
    ASSERT_EQ(2, commands->GetNumOfItems());
    EXPECT_EQ("Minimize Group", Title(commands->m_items[0]));
    EXPECT_EQ("Close Group", Title(commands->m_items[1]));
    EXPECT_EQ(kCompanionTaskbarGroupPopup, groups[0]->m_companionSkinKind) << "given back after the popup";

    commands->m_items[0]->OnClick();
    EXPECT_TRUE(Wait([&] { return IsIconic(up1) && IsIconic(up2); }));
    EXPECT_TRUE(IsIconic(down));
    EXPECT_TRUE(Wait([&] { return !IsLiveBar(popup) || !IsWindowVisible(popup->m_hWnd); }))
        << "the command popup closes";
    for (HWND w : {up1, up2, down}) EXPECT_TRUE(program_.Commands(w).empty()) << "shown minimised, not asked";
}

// "Close Group" acts on the members as they were when its popup was made,
// even when the group has gone since, and only on windows of the program.
TEST_F(TaskbarTest, CloseGroupClosesTheMembersOfItsPopup) {
    ASSERT_TRUE(program_.Start({"TaskA|Keep", "TaskA|Leave"}));
    HWND keep = program_.Find("Keep"), leave = program_.Find("Leave");
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar("Taskbar.XPGroupingEnabled=1\r\n"));
    ASSERT_NE(nullptr, section);
    auto groups = GroupButtons(OurButtons(section));
    ASSERT_EQ(1u, groups.size());
    int handled = 0;
    groups[0]->OnRClick(&handled);
    CVellumMenuObject* popup = groups[0]->m_childBar;
    ASSERT_TRUE(popup && IsLiveBar(popup) && popup->GetSectionCount() == 1);
    CVellumMenuItem* close = popup->m_sections[0]->m_items[1];
    ASSERT_EQ("Close Group", Title(close));

    // One member goes: the group and its button are dissolved under the
    // open popup.
    ASSERT_TRUE(CloseAndWait(leave));
    PostEvent(WM_TSHOOK_DESTROYED, leave);
    EXPECT_TRUE(GroupButtons(OurButtons(section)).empty());
    ASSERT_TRUE(IsLiveItem(close));

    close->OnClick();
    EXPECT_TRUE(Wait([&] { return !IsWindow(keep); }));
    EXPECT_EQ((std::vector<UINT>{SC_CLOSE}), program_.Commands(keep));
    EXPECT_EQ((std::vector<UINT>{}), program_.Commands(leave)) << "closed by WM_CLOSE before";
}

// The filters of the bar file on the same windows, one bar per case.
TEST_F(TaskbarTest, FiltersDecideTheButtons) {
    ASSERT_TRUE(program_.Start({"TaskD|a.doc", "TaskD|b.doc", "TaskD|plain"}));
    const std::string group_doc =
        "Taskbar.Filter1.IsGroup=1\r\nTaskbar.Filter1.GroupTitle=Docs\r\nTaskbar.Filter1.WindowTitle=doc\r\n";
    const struct {
        const char* name;
        std::string keys;
        std::vector<std::string> titles;   // of this test's buttons, sorted
    } cases[] = {
        {"no filters", "", {"a.doc", "b.doc", "plain"}},
        {"MinForGroup 3 with two windows", group_doc + "Taskbar.Filter1.MinForGroup=3\r\n", {"a.doc", "b.doc", "plain"}},
        {"MinForGroup 2 with two windows", group_doc + "Taskbar.Filter1.MinForGroup=2\r\n", {"Docs", "plain"}},
        {"one only-display filter", "Taskbar.Filter1.IsAntiFilter=1\r\nTaskbar.Filter1.WindowTitle=doc\r\n",
         {"a.doc", "b.doc"}},
        {"two only-display filters",
         "Taskbar.Filter1.IsAntiFilter=1\r\nTaskbar.Filter1.WindowTitle=a.doc\r\n"
         "Taskbar.Filter2.IsAntiFilter=1\r\nTaskbar.Filter2.WindowTitle=plain\r\n",
         {"a.doc", "plain"}},
        {"a hide filter", "Taskbar.Filter1.WindowTitle=plain\r\n", {"a.doc", "b.doc"}},
        {"a hide filter behind a matching group filter",
         group_doc + "Taskbar.Filter1.MinForGroup=2\r\nTaskbar.Filter2.WindowTitle=doc\r\n", {"Docs", "plain"}},
        {"a class filter", "Taskbar.Filter1.ClassName=taskd\r\n", {}},
        {"user groups off", group_doc + "Taskbar.Filter1.MinForGroup=2\r\nTaskbar.GroupingDisabled=1\r\n",
         {"a.doc", "b.doc", "plain"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = LoadTaskbar(c.keys);
        CVellumMenuSection_Taskbar* section = Section(bar);
        ASSERT_NE(nullptr, section);
        EXPECT_EQ(c.titles, SortedTitles(OurButtons(section)));
        testing_support::CloseTestBar(bar, true);
    }
}

// A user group appears once its minimum is reached, at the end of the
// section, and goes again below it.
TEST_F(TaskbarTest, UserGroupFollowsItsMinimum) {
    ASSERT_TRUE(program_.Start({"TaskD|a.doc", "TaskD|b.doc", "TaskD|plain"}));
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar(
        "Taskbar.Filter1.IsGroup=1\r\nTaskbar.Filter1.GroupTitle=Docs\r\nTaskbar.Filter1.MinForGroup=3\r\n"
        "Taskbar.Filter1.WindowTitle=doc\r\n"));
    ASSERT_NE(nullptr, section);
    EXPECT_EQ((std::vector<std::string>{"a.doc", "b.doc", "plain"}), SortedTitles(OurButtons(section)));

    HWND third = program_.Open("TaskD|c.doc");
    ASSERT_NE(nullptr, third);
    PostEvent(WM_TSHOOK_CREATED, third);
    auto buttons = OurButtons(section);
    EXPECT_EQ((std::vector<std::string>{"Docs", "plain"}), SortedTitles(buttons));
    CVellumMenuItem_Taskbar* group = section->m_groupButtons[0];
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(section->GetNumOfItems() - 1, IndexOf(section, group)) << "at the end";
    EXPECT_STREQ("doc", section->GetGroupKey(group));
    EXPECT_EQ(kFilterMatchTitle, group->m_matchKind);

    ASSERT_TRUE(CloseAndWait(third));
    PostEvent(WM_TSHOOK_DESTROYED, third);
    EXPECT_EQ((std::vector<std::string>{"a.doc", "b.doc", "plain"}), SortedTitles(OurButtons(section)));
    EXPECT_EQ(nullptr, section->m_groupButtons[0]);
}

// A group button's popup is a second taskbar section with one plain button
// per member; a double click keeps it open.
TEST_F(TaskbarTest, GroupPopupsListTheMembers) {
    ASSERT_TRUE(program_.Start({"TaskD|x.doc", "TaskD|y.doc", "TaskD|z.txt"}));
    HWND x = program_.Find("x.doc"), y = program_.Find("y.doc"), z = program_.Find("z.txt");
    const struct {
        const char* name;
        std::string keys;
        std::vector<HWND> members;
    } cases[] = {
        {"automatic group", "Taskbar.XPGroupingEnabled=1\r\n", {x, y, z}},
        {"user group",
         "Taskbar.Filter1.IsGroup=1\r\nTaskbar.Filter1.GroupTitle=Docs\r\nTaskbar.Filter1.WindowTitle=doc\r\n",
         {x, y}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = LoadTaskbar(c.keys);
        CVellumMenuSection_Taskbar* section = Section(bar);
        ASSERT_NE(nullptr, section);
        CVellumMenuItem_Taskbar* group = nullptr;
        for (auto* b : OurButtons(section))
            if (!b->m_window) group = b;
        ASSERT_NE(nullptr, group);
        EXPECT_EQ(1, group->IsPopup());
        group->TrackPopupMenu(0);
        CVellumMenuObject* popup = group->m_childBar;
        ASSERT_TRUE(popup && IsLiveBar(popup));
        auto* list = Section(popup);
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(0, list->m_xpGrouping);
        auto listed = OurButtons(list);
        std::vector<HWND> windows;
        for (auto* b : listed) windows.push_back(b->m_window);
        std::sort(windows.begin(), windows.end());
        std::vector<HWND> expected = c.members;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, windows);
        EXPECT_TRUE(popup->m_neverSave);
        EXPECT_EQ(static_cast<UINT>(kStateSelected), (group->SetState(kStateNormal, 0), group->m_state))
            << "Selected while its popup is open";

        EXPECT_EQ(1, group->TrackPopupMenuDoubleClick());
        if (group->IsAutoGroupButton()) {
            EXPECT_FALSE(popup->m_volatile);
            EXPECT_TRUE(popup->m_tornOff) << "a double click keeps it open";
        }
        testing_support::CloseTestBar(bar, true);
    }
}

// Class names longer than a group's field are cut at its size.
TEST_F(TaskbarTest, LongClassNamesAreCutToTheGroupsField) {
    const std::string cls(250, 'K');
    ASSERT_TRUE(program_.Start({cls + "|Long1", cls + "|Long2"}));
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar("Taskbar.XPGroupingEnabled=1\r\n"));
    ASSERT_NE(nullptr, section);
    auto groups = GroupButtons(OurButtons(section));
    ASSERT_EQ(1u, groups.size());
    const AutoGroup* group = groups[0]->m_autoGroup;
    EXPECT_EQ(std::string(sizeof(group->class_name) - 1, 'K'), group->class_name);
    EXPECT_EQ(1, group->same_class);
    EXPECT_EQ(std::string("(2) ") + kProgramDescription, Title(groups[0]));
}

// A window that stops answering holds the bar no longer than the time-out
// of a minimise, and not at all when its group is minimised.
TEST_F(TaskbarTest, HangingWindowsDoNotHoldTheBar) {
    ASSERT_TRUE(program_.Start({"TaskA|Asleep", "TaskB|Awake"}));
    HWND asleep = program_.Find("Asleep"), awake = program_.Find("Awake");
    const UINT stop = RegisterWindowMessageA("TaskWindows Stop Pumping");
    CVellumMenuSection_Taskbar* section = Section(LoadTaskbar());
    ASSERT_NE(nullptr, section);
    ASSERT_TRUE(Activate(awake));
    ASSERT_TRUE(Activate(asleep));
    auto* button = ButtonOf(OurButtons(section), asleep);
    ASSERT_NE(nullptr, button);

    PostMessageA(asleep, stop, 3000, 0);
    PumpFor(100);
    DWORD start = GetTickCount();
    button->OnClick();
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 3200u) << "a minimise waits 2.5 s at most";
    EXPECT_GE(took, 2000u) << "the window was asked";
    Wait([&] { return IsIconic(asleep) != FALSE; }, 3000);

    // Both windows of one program; one of them sleeps.
    HWND second = program_.Open("TaskA|Also");
    ASSERT_NE(nullptr, second);
    ShowWindowAsync(asleep, SW_RESTORE);
    ASSERT_TRUE(Wait([&] { return !IsIconic(asleep); }));
    CVellumMenuObject* bar = LoadTaskbar("Taskbar.XPGroupingEnabled=1\r\n");
    auto groups = GroupButtons(OurButtons(Section(bar)));
    ASSERT_EQ(1u, groups.size());
    int handled = 0;
    groups[0]->OnRClick(&handled);
    CVellumMenuObject* popup = groups[0]->m_childBar;
    ASSERT_TRUE(popup && IsLiveBar(popup));
    PostMessageA(asleep, stop, 1500, 0);
    PumpFor(100);
    start = GetTickCount();
    popup->m_sections[0]->m_items[0]->OnClick();
    EXPECT_LT(GetTickCount() - start, 1000u) << "\"Minimize Group\" posts";
    EXPECT_TRUE(Wait([&] { return IsIconic(second) && IsIconic(asleep); }, 4000));
}
