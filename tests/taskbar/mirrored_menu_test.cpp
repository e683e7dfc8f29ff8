// Mirrored menus in menu-only mode, as the system-menu popup of a task button
// uses them: one item per entry of a menu of this process, the entries'
// texts and states, the command an entry sends to the menu's owner, the menu
// messages before a submenu shows, and the process-wide watcher count.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "model/live_objects.h"
#include "shell/stats_monitor.h"
#include "tests/support/menu_owner.h"
#include "tests/taskbar/task_fixture.h"
#include "types/replaceable.h"

using namespace task_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

using Seen = testing_support::MenuMessage;
using testing_support::MenuOwnerLog;

CVellumMenuItem_Replaceable* Entry(CVellumMenuSection* section, int i) {
    return dynamic_cast<CVellumMenuItem_Replaceable*>(section->m_items[i]);
}

class MirroredMenu : public TaskbarTest {
protected:
    void SetUp() override {
        TaskbarTest::SetUp();
        MenuOwnerLog().clear();
        bar_ = LoadTaskbar();
        owner_ = testing_support::CreateMenuOwner("Menu Owner", nullptr, false);
        local_.push_back(owner_);
        submenu_ = CreatePopupMenu();
        AppendMenuA(submenu_, MF_STRING, 201, "Inner");
        menu_ = CreatePopupMenu();
        AppendMenuA(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu_), "&File");
        AppendMenuA(menu_, MF_STRING, 101, "Open\bCtrl+O");
        AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu_, MF_STRING | MF_GRAYED, 102, "Gone");
        AppendMenuA(menu_, MF_STRING, 103, "Save");
    }
    void TearDown() override {
        delete section_;
        DestroyMenu(menu_);
        TaskbarTest::TearDown();
    }
    CVellumMenuSection_Replaceable* Mirror(HMENU menu, BOOL system_commands) {
        delete section_;
        section_ = new CVellumMenuSection_Replaceable(bar_, -1, 0, 0);
        section_->m_systemCommands = system_commands;
        EXPECT_EQ(1, section_->SetMirroredMenu(owner_, menu));
        return section_;
    }
    std::vector<Seen> Commands() {
        PumpUntil([] { return !MenuOwnerLog().empty(); }, 500);
        return MenuOwnerLog();
    }

    CVellumMenuObject* bar_ = nullptr;
    CVellumMenuSection_Replaceable* section_ = nullptr;
    HWND owner_ = nullptr;
    HMENU menu_ = nullptr, submenu_ = nullptr;
};

}  // namespace

TEST_F(MirroredMenu, OneItemPerEntryWithItsTextAndState) {
    CVellumMenuSection_Replaceable* section = Mirror(menu_, FALSE);
    EXPECT_TRUE(section->m_menuOnly);
    ASSERT_EQ(5, section->GetNumOfItems());
    const struct {
        const char* title;
        bool separator, disabled;
        HMENU popup;
    } entries[] = {
        {"&File", false, false, submenu_},
        {"Open\tCtrl+O", false, false, nullptr},
        {"", true, false, nullptr},
        {"Gone", false, true, nullptr},
        {"Save", false, false, nullptr},
    };
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        CVellumMenuItem_Replaceable* item = Entry(section, i);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(entries[i].title, Title(item));
        EXPECT_EQ(entries[i].separator, item->Separator != FALSE);
        EXPECT_EQ(entries[i].disabled, item->m_disabled != FALSE);
        EXPECT_EQ(entries[i].popup, item->GetPopupMenu());
        EXPECT_EQ(i, item->m_position);
    }
    EXPECT_EQ('F', Entry(section, 0)->m_mnemonic) << "\"&\" marks the keyboard letter";

    // A changed entry is taken over; an unchanged menu changes nothing.
    EXPECT_EQ(0, section->RefreshMirroredItems());
    ModifyMenuA(menu_, 4, MF_BYPOSITION | MF_STRING | MF_GRAYED, 103, "Save As");
    EXPECT_EQ(1, section->RefreshMirroredItems());
    EXPECT_EQ("Save As", Title(Entry(section, 4)));
    EXPECT_TRUE(Entry(section, 4)->m_disabled);
}

// An entry posts its id to the owner, as WM_SYSCOMMAND in a system-menu
// popup; a grayed entry and a submenu entry post nothing.
TEST_F(MirroredMenu, EntriesPostTheirCommandToTheOwner) {
    const struct {
        BOOL system;
        int position;
        UINT expected;   // 0: nothing
        WPARAM id;
    } cases[] = {
        {FALSE, 4, WM_COMMAND, 103},
        {TRUE, 4, WM_SYSCOMMAND, 103},
        {FALSE, 1, WM_COMMAND, 101},
        {FALSE, 3, 0, 0},
        {FALSE, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        CVellumMenuSection_Replaceable* section = Mirror(menu_, c.system);
        MenuOwnerLog().clear();
        Entry(section, c.position)->OnClick();
        auto seen = Commands();
        if (!c.expected) {
            EXPECT_TRUE(seen.empty());
            continue;
        }
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(c.expected, seen[0].msg);
        EXPECT_EQ(c.id, seen[0].wp);
    }
}

// Before a submenu shows, the owner hears what a real menu would tell it.
TEST_F(MirroredMenu, SubmenuIsAnnouncedToTheOwnerInOrder) {
    CVellumMenuSection_Replaceable* section = Mirror(menu_, FALSE);
    CVellumMenuItem_Replaceable* file = Entry(section, 0);
    MenuOwnerLog().clear();
    file->InitMenu(submenu_);
    const LPARAM menu = reinterpret_cast<LPARAM>(menu_), sub = reinterpret_cast<LPARAM>(submenu_);
    const std::vector<Seen> expected = {
        {WM_ENTERMENULOOP, 0, 0},
        {WM_INITMENU, static_cast<WPARAM>(menu), 0},
        {WM_MENUSELECT, 0x100000, menu},
        {WM_INITMENU, static_cast<WPARAM>(sub), 0},
        {WM_MENUSELECT, 0x100000, sub},
        {WM_INITMENUPOPUP, static_cast<WPARAM>(sub), 0},
    };
    ASSERT_EQ(expected.size(), MenuOwnerLog().size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].msg, MenuOwnerLog()[i].msg);
        EXPECT_EQ(expected[i].wp, MenuOwnerLog()[i].wp);
        EXPECT_EQ(expected[i].lp, MenuOwnerLog()[i].lp);
    }
    MenuOwnerLog().clear();
    file->InitMenu(nullptr);
    EXPECT_TRUE(MenuOwnerLog().empty()) << "no submenu, no messages";
}

// A menu longer than a section can hold shows its first 500 entries.
TEST_F(MirroredMenu, LongMenuStopsAtFiveHundredItems) {
    HMENU huge = CreatePopupMenu();
    for (int i = 0; i < 600; ++i) AppendMenuA(huge, MF_STRING, 1000 + i, ("Entry " + std::to_string(i)).c_str());
    CVellumMenuSection_Replaceable* section = Mirror(huge, FALSE);
    EXPECT_EQ(kMaxItems, section->GetNumOfItems());
    EXPECT_EQ("Entry 499", Title(section->m_items[kMaxItems - 1]));
    EXPECT_EQ(600, section->m_entryCount);
    delete section_;
    section_ = nullptr;
    DestroyMenu(huge);
}

// The watcher count stays as it is while a system-menu popup holds the mode.
TEST_F(MirroredMenu, SystemMenuPopupModeKeepsTheWatcherCount) {
    const int start = GetMenuWatcherCount();
    EXPECT_EQ(start + 1, AddAppMenuWatcher());
    SetSystemMenuPopupMode(2);
    auto* popup = new CVellumMenuSection_Replaceable(bar_, -1, 0, 0);
    EXPECT_EQ(1, GetSystemMenuPopupMode()) << "claimed by the popup's section";
    EXPECT_TRUE(popup->m_holdsSystemMenuMode);
    EXPECT_EQ(start + 1, AddAppMenuWatcher());
    RemoveAppMenuWatcher();
    EXPECT_EQ(start + 1, GetMenuWatcherCount());
    delete popup;
    EXPECT_EQ(0, GetSystemMenuPopupMode());
    RemoveAppMenuWatcher();
    EXPECT_EQ(start, GetMenuWatcherCount());
}

// An entry with a submenu opens it as a popup bar of the same kind; shown
// again after a hide, the popup takes over what changed in the submenu.
TEST_F(MirroredMenu, SubmenuOpensAsAPopupAndIsRefreshedWhenShownAgain) {
    CVellumMenuSection_Replaceable* section = Mirror(menu_, TRUE);
    CVellumMenuItem_Replaceable* file = Entry(section, 0);
    ASSERT_NE(nullptr, file);
    MenuOwnerLog().clear();
    file->TrackPopupMenu(0);
    CVellumMenuObject* child = file->m_childBar;
    ASSERT_TRUE(child && IsLiveBar(child));
    EXPECT_TRUE(child->m_neverSave);
    ASSERT_LE(1, child->GetSectionCount());
    auto* sub = dynamic_cast<CVellumMenuSection_Replaceable*>(child->m_sections[0]);
    ASSERT_NE(nullptr, sub);
    EXPECT_TRUE(sub->m_menuOnly);
    EXPECT_EQ(submenu_, sub->m_menu);
    EXPECT_TRUE(sub->m_systemCommands) << "the entry's kind of command";
    ASSERT_EQ(1, sub->GetNumOfItems());
    EXPECT_EQ("Inner", Title(sub->m_items[0]));
    EXPECT_TRUE(file->HideOnClose) << "hidden and reused";

    AppendMenuA(submenu_, MF_STRING, 202, "Added");
    child->Hide(0);
    ASSERT_TRUE(Wait([&] { return !IsWindowVisible(child->m_hWnd); }));
    PumpFor(900);   // past the guard against reopening at once
    MenuOwnerLog().clear();
    file->TrackPopupMenu(0);
    EXPECT_EQ(child, file->m_childBar) << "the same popup";
    ASSERT_EQ(2, sub->GetNumOfItems());
    EXPECT_EQ("Added", Title(sub->m_items[1]));
    bool announced = false;
    for (const Seen& s : MenuOwnerLog()) announced = announced || s.msg == WM_INITMENUPOPUP;
    EXPECT_TRUE(announced) << "the owner prepares the submenu again";
}
