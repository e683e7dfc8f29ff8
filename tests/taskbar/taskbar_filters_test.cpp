// The taskbar section's filters: which windows a set of filters hides,
// shows or gathers into a group, and the filter keys read from and saved
// to a bar file.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "model/vellum_menu_object.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"
#include "types/taskbar_section.h"

using namespace testing_support;

namespace {

HWND MainWindow() {
    static HWND main = CreateStandInMainWindow("TaskbarTestMain");
    return main;
}

HWND Window(const char* cls, const char* title) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

std::string Profile(const std::string& file, const char* section, const char* key) {
    char value[512] = "";
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof(value), file.c_str());
    return value;
}

class TaskbarFilters : public ::testing::Test {
protected:
    void SetUp() override {
        bar_ = new CVellumMenuObject(MainWindow());
        ASSERT_NE(nullptr, bar_->m_hWnd);
    }
    void TearDown() override {
        CloseTestBar(bar_, true);
        for (HWND w : windows_) DestroyWindow(w);
    }
    HWND Add(const char* cls, const char* title) {
        windows_.push_back(Window(cls, title));
        return windows_.back();
    }
    CVellumMenuSection_Taskbar* Loaded(const std::string& lines) {
        std::string text = "[Object]\r\nTitle=Tasks\r\n[Section1]\r\nProperties.Type=Taskbar\r\n" + lines;
        EXPECT_TRUE(folder_.Write("tasks.tsbar", text));
        file_ = folder_.File("tasks.tsbar");
        EXPECT_EQ(1, bar_->LoadTheme(const_cast<char*>(file_.c_str()), 0, nullptr));
        if (bar_->GetSectionCount() < 1) return nullptr;
        return dynamic_cast<CVellumMenuSection_Taskbar*>(bar_->m_sections[0]);
    }

    CVellumMenuObject* bar_ = nullptr;
    std::vector<HWND> windows_;
    TempFolder folder_;
    std::string file_;
};

}  // namespace

TEST_F(TaskbarFilters, ClassifiesWindowsInSlotOrder) {
    HWND doc = Add("WriterDoc", "Report.DOC - Writer");
    HWND notes = Add("Pad", "Notes");
    HWND sheet = Add("Calc", "Budget.xls");
    struct Filter {
        const char* text;
        int flags;
    };
    struct Case {
        const char* name;
        std::vector<Filter> filters;
        int doc, notes, sheet;   // classification of each window
    };
    const int title = kFilterMatchTitle, cls = kFilterMatchClass;
    const Case cases[] = {
        {"no filters", {}, kTaskShown, kTaskShown, kTaskShown},
        {"one only-display filter", {{"doc", kFilterOnlyDisplay | title}}, kTaskShown, kTaskHidden, kTaskHidden},
        {"two only-display filters: either is enough",
         {{"doc", kFilterOnlyDisplay | title}, {"NOTES", kFilterOnlyDisplay | title}},
         kTaskShown, kTaskShown, kTaskHidden},
        {"a hide filter on the class", {{"pad", kFilterHide | cls}}, kTaskShown, kTaskHidden, kTaskShown},
        {"a class is matched whole, not in part", {{"Writer", kFilterHide | cls}}, kTaskShown, kTaskShown, kTaskShown},
        {"a hide filter behind a matching group filter",
         {{"doc", kFilterGroup | title}, {"doc", kFilterHide | title}},
         kTaskInNewGroup, kTaskShown, kTaskShown},
        {"a hide filter before a group filter",
         {{"report", kFilterHide | title}, {"doc", kFilterGroup | title}},
         kTaskHidden, kTaskShown, kTaskShown},
        {"a group filter with only-display beside it",
         {{"budget", kFilterOnlyDisplay | title}, {"doc", kFilterGroup | title}},
         kTaskInNewGroup, kTaskHidden, kTaskShown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* section = new CVellumMenuSection_Taskbar(bar_, -1);
        for (const Filter& f : c.filters) EXPECT_LE(0, section->AddFilter(f.text, f.flags, "", "", 2));
        int slot = 99;
        EXPECT_EQ(c.doc, section->ClassifyWindow(doc, &slot));
        EXPECT_EQ(c.notes, section->ClassifyWindow(notes, &slot));
        EXPECT_EQ(c.sheet, section->ClassifyWindow(sheet, &slot));
        EXPECT_EQ(kTaskShown, section->ClassifyWindow(nullptr, &slot));
        EXPECT_EQ(-1, slot) << "no slot for what is no window";
        delete section;
    }
}

TEST_F(TaskbarFilters, TableRefusesWhatItCannotHoldAndReusesFreeSlots) {
    auto* section = new CVellumMenuSection_Taskbar(bar_, -1);
    EXPECT_EQ(-1, section->AddFilter("", kFilterHide | kFilterMatchTitle, nullptr, nullptr, 2));
    EXPECT_EQ(-1, section->AddFilter("x", 0, nullptr, nullptr, 2));
    for (int i = 0; i < kMaxTaskbarFilters; ++i)
        ASSERT_EQ(i, section->AddFilter("x", kFilterHide | kFilterMatchTitle, nullptr, nullptr, 2));
    EXPECT_EQ(-1, section->AddFilter("one too many", kFilterHide | kFilterMatchTitle, nullptr, nullptr, 2));
    EXPECT_EQ(1, section->RemoveFilter(7));
    EXPECT_EQ(0, section->RemoveFilter(7)) << "already free";
    EXPECT_EQ(7, section->AddFilter("Again", kFilterGroup | kFilterMatchTitle, nullptr, nullptr, 0));
    EXPECT_EQ(1, section->m_minimums[7]);
    EXPECT_STREQ("", section->m_groupTitles[7]) << "an absent title is kept empty";
    EXPECT_EQ(1, section->RemoveFilterByText("AGAIN"));
    EXPECT_EQ(kMaxTaskbarFilters - 1, section->m_filterCount);
    EXPECT_EQ(1, section->RemoveFilter(-1));
    EXPECT_EQ(0, section->m_filterCount);
    delete section;
}

// Reading stops at the first number without a title or class; minimums
// outside 1..9 are brought inside; saving numbers the filters from 1 again.
TEST_F(TaskbarFilters, ReadsTheBarFileAndSavesRenumbered) {
    CVellumMenuSection_Taskbar* section = Loaded(
        "Taskbar.XPGroupingEnabled=1\r\nTaskbar.AnimationsEnabled=0\r\n"
        "Taskbar.Filter1.IsGroup=1\r\nTaskbar.Filter1.GroupTitle=Docs\r\n"
        "Taskbar.Filter1.GroupIcon=use the application's icon!\r\nTaskbar.Filter1.MinForGroup=0\r\n"
        "Taskbar.Filter1.WindowTitle=doc\r\n"
        "Taskbar.Filter2.IsGroup=1\r\nTaskbar.Filter2.GroupIcon=Icons\\docs.ico\r\n"
        "Taskbar.Filter2.MinForGroup=12\r\nTaskbar.Filter2.ClassName=WriterDoc\r\n"
        "Taskbar.Filter3.IsAntiFilter=1\r\nTaskbar.Filter3.WindowTitle=Notes\r\n"
        "Taskbar.Filter4.IsGroup=1\r\n"
        "Taskbar.Filter5.WindowTitle=after the gap\r\n");
    ASSERT_NE(nullptr, section);
    EXPECT_EQ(3, section->m_filterCount);
    EXPECT_EQ(1, section->m_xpGrouping);
    EXPECT_EQ(0, section->m_animations);
    EXPECT_EQ(0, section->m_groupingDisabled);
    const struct {
        int flags;
        int minimum;
        const char* text;
    } slots[] = {
        {kFilterGroup | kFilterMatchTitle, 1, "doc"},
        {kFilterGroup | kFilterMatchClass, 9, "WriterDoc"},
        {kFilterOnlyDisplay | kFilterMatchTitle, 0, "Notes"},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(slots[i].flags, section->m_flags[i]);
        EXPECT_EQ(slots[i].minimum, section->m_minimums[i]);
        EXPECT_STREQ(slots[i].text, section->m_matchTexts[i]);
    }
    EXPECT_STREQ("use the application's icon!", section->m_groupIcons[0]) << "kept verbatim";
    EXPECT_EQ(folder_.File("Icons\\docs.ico"), section->m_groupIcons[1]);

    // The first filter goes; a new hide filter takes its free slot.
    section->RemoveFilter(0);
    ASSERT_EQ(0, section->AddFilter("Spam", kFilterHide | kFilterMatchTitle, nullptr, nullptr, 2));
    ASSERT_EQ(1, bar_->Save(const_cast<char*>(file_.c_str())));
    const struct {
        const char* key;
        const char* value;
    } saved[] = {
        {"Properties.Type", "Taskbar"},
        {"Taskbar.XPGroupingEnabled", "1"},
        {"Taskbar.GroupingDisabled", "0"},
        {"Taskbar.AnimationsEnabled", "0"},
        {"Taskbar.Filter1.WindowTitle", "Spam"},
        {"Taskbar.Filter1.IsGroup", "<none>"},
        {"Taskbar.Filter1.IsAntiFilter", "<none>"},
        {"Taskbar.Filter1.MinForGroup", "<none>"},
        {"Taskbar.Filter2.IsGroup", "1"},
        {"Taskbar.Filter2.GroupIcon", "Icons\\docs.ico"},
        {"Taskbar.Filter2.GroupTitle", "<none>"},
        {"Taskbar.Filter2.MinForGroup", "9"},
        {"Taskbar.Filter2.ClassName", "WriterDoc"},
        {"Taskbar.Filter2.WindowTitle", "<none>"},
        {"Taskbar.Filter3.IsAntiFilter", "1"},
        {"Taskbar.Filter3.WindowTitle", "Notes"},
        {"Taskbar.Filter4.WindowTitle", "<none>"},
        {"Taskbar.Filter5.WindowTitle", "<none>"},
    };
    for (const auto& k : saved) EXPECT_EQ(k.value, Profile(file_, "Section1", k.key)) << k.key;
}

TEST_F(TaskbarFilters, NewSectionDefaultsAndContextMenuModes) {
    int slot = bar_->AddSection(const_cast<char*>("Taskbar"), -1, 0);
    ASSERT_LE(0, slot);
    auto* section = dynamic_cast<CVellumMenuSection_Taskbar*>(bar_->m_sections[slot]);
    ASSERT_NE(nullptr, section);
    EXPECT_EQ(160, section->MaxItemWidth);
    EXPECT_EQ(1, section->m_animations) << "a horizontal bar";
    EXPECT_EQ(1, section->IsLockedSection());
    char name[16];
    EXPECT_EQ(1, section->GetCustomSectionName(name));
    EXPECT_STREQ("Taskbar", name);

    const struct {
        int command;
        int xp, disabled, mark;
    } steps[] = {
        {1002, 1, 1, 1002},
        {1003, 0, 0, 1003},
        {1001, 0, 1, 1001},
        {1003, 0, 0, 1003},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.command);
        EXPECT_EQ(1, section->DoCustomContextMenuCommand(s.command));
        EXPECT_EQ(s.xp, section->m_xpGrouping);
        EXPECT_EQ(s.disabled, section->m_groupingDisabled);
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 40140, "ADD EXTENDED ITEMS HERE");
        AppendMenuA(menu, MF_STRING, 40141, "Item Options");
        section->InitCustomContextMenu(menu, nullptr);
        for (int id : {1001, 1002, 1003}) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STATE;
            ASSERT_TRUE(GetMenuItemInfoA(menu, id, FALSE, &info));
            EXPECT_EQ(id == s.mark, (info.fState & MFS_CHECKED) != 0) << id;
        }
        EXPECT_EQ(-1, static_cast<int>(GetMenuState(menu, 40141, MF_BYCOMMAND))) << "Item Options removed";
        EXPECT_EQ(40140u, GetMenuItemID(menu, GetMenuItemCount(menu) - 1)) << "entries go before it";
        DestroyMenu(menu);
    }
    EXPECT_EQ(1, section->DoCustomContextMenuCommand(1005));
    EXPECT_EQ(0, section->m_animations);
    EXPECT_EQ(0, section->DoCustomContextMenuCommand(1234));
}
