// The taskbar section's page: one sentence per filter, the grouping radios,
// removing a filter, and the modal filter dialog with its window picker,
// driven from a timer while the dialog runs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "model/vellum_menu_object.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"
#include "types/taskbar_resources.h"
#include "types/taskbar_section.h"

using namespace testing_support;

namespace {

HWND MainWindow() {
    static HWND main = CreateStandInMainWindow("TaskbarPageTestMain");
    return main;
}

std::function<void(HWND)> g_drive;

// Finds this thread's "New Filter" dialog from inside its modal loop and
// hands it to the test's driver once.
void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowA("#32770", "New Filter");
    if (!dialog || GetWindowThreadProcessId(dialog, nullptr) != GetCurrentThreadId()) return;
    KillTimer(nullptr, id);
    auto drive = std::move(g_drive);
    g_drive = nullptr;
    if (drive) drive(dialog);
    if (IsWindow(dialog)) EndDialog(dialog, IDCANCEL);   // a driver that failed half-way
}

std::string Text(HWND dialog, int id) {
    char text[1000] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

// Shown as far as the control itself goes (the dialog may not be shown yet).
bool Shown(HWND control) { return (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class TaskbarPage : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        bar_ = new CVellumMenuObject(MainWindow());
        ASSERT_NE(nullptr, bar_->m_hWnd);
        section_ = new CVellumMenuSection_Taskbar(bar_, -1);
        bar_->InsertSection(-1, section_);
        section_->AddFilter("doc", kFilterGroup | kFilterMatchTitle, "Docs", kUseApplicationIcon, 3);
        section_->AddFilter("Pad", kFilterOnlyDisplay | kFilterMatchClass, nullptr, nullptr, 2);
        section_->AddFilter("spam", kFilterHide | kFilterMatchTitle, nullptr, nullptr, 2);
        owner_ = CreatePlainWindow("TaskbarPageOwner");
        page_ = section_->CallConfigDialogEx(owner_);
        ASSERT_NE(nullptr, page_);
        bar_->m_modified = FALSE;
    }
    void TearDown() override {
        if (IsWindow(page_)) SendMessageA(page_, WM_COMMAND, IDOK, 0);
        CloseTestBar(bar_, true);
        DestroyWindow(owner_);
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        HWND list = GetDlgItem(page_, IDC_TB_FILTER_LIST);
        for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
            char line[1000] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
            lines.push_back(line);
        }
        return lines;
    }
    LRESULT Selection() { return SendDlgItemMessageA(page_, IDC_TB_FILTER_LIST, LB_GETCURSEL, 0, 0); }
    // Clicks a page button that opens the filter dialog; drive runs inside it.
    void WithDialog(int button, std::function<void(HWND)> drive) {
        bool driven = false;
        g_drive = [&](HWND dialog) {
            driven = true;
            drive(dialog);
        };
        SetTimer(nullptr, 0, 30, DriveDialog);
        Click(page_, button);
        EXPECT_TRUE(driven) << "the filter dialog was not seen";
    }

    CVellumMenuObject* bar_ = nullptr;
    CVellumMenuSection_Taskbar* section_ = nullptr;
    HWND owner_ = nullptr;
    HWND page_ = nullptr;
};

}  // namespace

TEST_F(TaskbarPage, ListsFiltersAndRemovesTheSelectedOne) {
    EXPECT_EQ(page_, section_->CallConfigDialogEx(owner_)) << "made once";
    EXPECT_EQ(page_, section_->m_pages[2]);
    EXPECT_EQ(section_, GetPropA(page_, "lpSection"));
    const std::vector<std::string> expected = {
        "Group all tasks containing \"doc\" in their title under \"Docs\".",
        "Only display tasks on taskbar with the class name \"Pad\".",
        "Filter out tasks containing \"spam\" in their title.",
    };
    EXPECT_EQ(expected, Lines());

    SendDlgItemMessageA(page_, IDC_TB_FILTER_LIST, LB_SETCURSEL, 2, 0);
    Click(page_, IDC_TB_REMOVE_FILTER);
    EXPECT_EQ(2, section_->m_filterCount);
    EXPECT_EQ(0, section_->m_flags[2]);
    EXPECT_EQ(std::vector<std::string>(expected.begin(), expected.begin() + 2), Lines());
    EXPECT_EQ(1, Selection()) << "the line above the removed last one";
    EXPECT_TRUE(bar_->m_modified);

    SendDlgItemMessageA(page_, IDC_TB_AUTO_GROUPING, BM_CLICK, 0, 0);
    EXPECT_EQ(1, section_->m_xpGrouping);
    SendDlgItemMessageA(page_, IDC_TB_ANIMATIONS, BM_CLICK, 0, 0);
    EXPECT_EQ(0, section_->m_animations);

    section_->m_lastPage = 2;
    SendMessageA(page_, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(page_));
    EXPECT_EQ(nullptr, section_->m_pages[2]);
    EXPECT_EQ(2, section_->m_lastPage) << "the last tab stays";
}

TEST_F(TaskbarPage, FilterDialogAddsAGroupAndKeepsTheMinimumInRange) {
    WithDialog(IDC_TB_ADD_FILTER, [&](HWND dialog) {
        // A new filter starts as "Filter out" on the title, application icon, 2.
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_TF_HIDE));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_TF_BY_TITLE));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_TF_APP_ICON));
        EXPECT_EQ("2", Text(dialog, IDC_TF_MINIMUM));
        Click(dialog, IDOK);
        EXPECT_TRUE(IsWindow(dialog)) << "no match text: the dialog stays";
        const struct {
            const char* typed;
            const char* shown;
        } minimums[] = {{"12", "9"}, {"0", "1"}, {"5", "5"}};
        for (const auto& m : minimums) {
            SetDlgItemTextA(dialog, IDC_TF_MINIMUM, m.typed);
            EXPECT_EQ(m.shown, Text(dialog, IDC_TF_MINIMUM)) << m.typed;
        }
        CheckRadioButton(dialog, IDC_TF_HIDE, IDC_TF_GROUP, IDC_TF_GROUP);
        SetDlgItemTextA(dialog, IDC_TF_TITLE, "Report");
        SetDlgItemTextA(dialog, IDC_TF_GROUP_TITLE, "Reports");
        Click(dialog, IDOK);
    });
    ASSERT_EQ(4, section_->m_filterCount);
    EXPECT_EQ(kFilterGroup | kFilterMatchTitle, section_->m_flags[3]);
    EXPECT_STREQ("Report", section_->m_matchTexts[3]);
    EXPECT_EQ(5, section_->m_minimums[3]);
    EXPECT_STREQ(kUseApplicationIcon, section_->m_groupIcons[3]);
    EXPECT_EQ(3, Selection()) << "the new last line";
    EXPECT_TRUE(bar_->m_modified);
    EXPECT_EQ(-1, section_->m_dialogSlot);

    // Cancel changes nothing and marks nothing.
    bar_->m_modified = FALSE;
    WithDialog(IDC_TB_ADD_FILTER, [&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_TF_TITLE, "Never");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(4, section_->m_filterCount);
    EXPECT_FALSE(bar_->m_modified);
}

// Editing fills the dialog from the slot; the edited filter moves to the
// first free slot.
TEST_F(TaskbarPage, EditedFilterMovesToTheFirstFreeSlot) {
    section_->RemoveFilter(0);
    SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_TB_REMOVE_FILTER, 0), 0);   // not a click: nothing
    HWND list = GetDlgItem(page_, IDC_TB_FILTER_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Pad"));
    SendMessageA(list, LB_SETITEMDATA, 0, 1);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    WithDialog(IDC_TB_EDIT_FILTER, [&](HWND dialog) {
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_TF_ONLY));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_TF_BY_CLASS));
        EXPECT_EQ("Pad", Text(dialog, IDC_TF_CLASS));
        SetDlgItemTextA(dialog, IDC_TF_CLASS, "Notepad");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(kFilterOnlyDisplay | kFilterMatchClass, section_->m_flags[0]);
    EXPECT_STREQ("Notepad", section_->m_matchTexts[0]);
    EXPECT_EQ(0, section_->m_flags[1]);
    EXPECT_EQ(2, section_->m_filterCount);
}

// The picker follows the pointer to the top-level window under it and
// writes that window's class.
TEST_F(TaskbarPage, WindowPickerWritesTheClassUnderThePointer) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PickMeClass";
    RegisterClassA(&wc);
    HWND target = CreateWindowExA(WS_EX_TOPMOST, "PickMeClass", "Pick me", WS_POPUP | WS_VISIBLE, 600, 400,
                                  120, 80, nullptr, nullptr, wc.hInstance, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "inside", WS_CHILD | WS_VISIBLE, 10, 10, 60, 30, target, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_NE(nullptr, child);
    PumpFor(50);
    WithDialog(IDC_TB_ADD_FILTER, [&](HWND dialog) {
        HWND picker = GetDlgItem(dialog, IDC_TF_PICKER);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TF_PICKER, STN_CLICKED), reinterpret_cast<LPARAM>(picker));
        EXPECT_FALSE(Shown(picker));
        EXPECT_TRUE(Shown(GetDlgItem(dialog, IDC_TF_PICKER_EMPTY)));
        SetCursorPos(630, 425);   // over the child: its top-level window counts
        SendMessageA(dialog, WM_MOUSEMOVE, 0, 0);
        EXPECT_EQ("PickMeClass", Text(dialog, IDC_TF_CLASS));
        SendMessageA(dialog, WM_LBUTTONUP, 0, 0);
        EXPECT_TRUE(Shown(picker));
        EXPECT_FALSE(Shown(GetDlgItem(dialog, IDC_TF_PICKER_EMPTY)));
        EXPECT_NE(dialog, GetCapture());
        Click(dialog, IDCANCEL);
    });
    DestroyWindow(target);
}
