// The taskbar section's Behavior page (dialog 143) with its list of
// filters, and the modal filter dialog (145) with its window picker.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/config_pages.h"
#include "shell/icon_dialogs.h"
#include "shell/icon_import.h"
#include "shell/theme_editor.h"
#include "types/taskbar_resources.h"
#include "types/taskbar_section.h"
#include "util/dialog_base.h"
#include "util/dialog_helpers.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr int kBehaviorPage = 2;
constexpr int kFilterTextSize = 999;   // 998 characters and the terminator

HINSTANCE Resources() { return GetModuleHandleA(nullptr); }

std::string FilterSentence(const CVellumMenuSection_Taskbar& s, int slot) {
    const int flags = s.m_flags[slot];
    std::string line;
    if (flags & kFilterGroup)
        line = "Group all tasks ";
    else if (flags & kFilterOnlyDisplay)
        line = "Only display tasks on taskbar ";
    else
        line = "Filter out tasks ";
    const std::string text = s.m_matchTexts[slot] ? s.m_matchTexts[slot] : "";
    if (flags & kFilterMatchClass)
        line += "with the class name \"" + text + "\"";
    else
        line += "containing \"" + text + "\" in their title";
    if ((flags & kFilterGroup) && s.m_groupTitles[slot] && s.m_groupTitles[slot][0])
        line += std::string(" under \"") + s.m_groupTitles[slot] + "\"";
    return line + ".";
}

// The ring between a window's rectangle and the one 5 pixels inside it.
void InvertWindowFrame(HWND wnd) {
    if (!wnd || !IsWindow(wnd)) return;
    RECT r;
    GetWindowRect(wnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    tess::ScopedRegion outer(CreateRectRgnIndirect(&r));
    InflateRect(&r, -5, -5);
    tess::ScopedRegion inner(CreateRectRgnIndirect(&r));
    CombineRgn(outer.get(), outer.get(), inner.get(), RGN_DIFF);
    // The whole window, frame included: GetWindowDC, not the client DC.
    HDC dc = GetWindowDC(wnd);
    if (!dc) return;
    InvertRgn(dc, outer.get());
    ReleaseDC(wnd, dc);
}

HWND TopLevelOf(HWND wnd) {
    for (HWND up = wnd; up; up = GetParent(up)) {
        wnd = up;
        if (!(GetWindowLongPtrA(up, GWL_STYLE) & WS_CHILD)) break;
    }
    for (HWND owner = GetWindow(wnd, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER)) wnd = owner;
    return wnd;
}

// ---- the filter dialog ---------------------------------------------------------------------

class FilterDialog : public tess::DialogBase {
public:
    explicit FilterDialog(CVellumMenuSection_Taskbar* section) : section_(section) {}

protected:
    INT_PTR OnInit() override {
        SendDlgItemMessageA(Window(), IDC_TF_MINIMUM_SPIN, UDM_SETRANGE32, 0, 1000);
        ShowWindow(GetDlgItem(Window(), IDC_TF_PICKER_EMPTY), SW_HIDE);
        int slot = section_->m_dialogSlot;
        const bool existing = slot >= 0 && slot < kMaxTaskbarFilters && section_->m_flags[slot] &&
                              section_->m_matchTexts[slot] && section_->m_matchTexts[slot][0];
        if (!existing) {
            CheckRadioButton(Window(), IDC_TF_HIDE, IDC_TF_GROUP, IDC_TF_HIDE);
            CheckRadioButton(Window(), IDC_TF_BY_TITLE, IDC_TF_BY_CLASS, IDC_TF_BY_TITLE);
            CheckIconChoice(false);
            SetDlgItemTextA(Window(), IDC_TF_MINIMUM, "2");
            return TRUE;
        }
        const int flags = section_->m_flags[slot];
        int purpose = flags & kFilterGroup ? IDC_TF_GROUP : flags & kFilterOnlyDisplay ? IDC_TF_ONLY : IDC_TF_HIDE;
        CheckRadioButton(Window(), IDC_TF_HIDE, IDC_TF_GROUP, purpose);
        const bool by_class = (flags & kFilterMatchClass) != 0;
        CheckRadioButton(Window(), IDC_TF_BY_TITLE, IDC_TF_BY_CLASS, by_class ? IDC_TF_BY_CLASS : IDC_TF_BY_TITLE);
        SetDlgItemTextA(Window(), by_class ? IDC_TF_CLASS : IDC_TF_TITLE, section_->m_matchTexts[slot]);
        if (section_->m_groupTitles[slot]) SetDlgItemTextA(Window(), IDC_TF_GROUP_TITLE, section_->m_groupTitles[slot]);
        const char* icon = section_->m_groupIcons[slot];
        if (icon && icon[0] && lstrcmpiA(icon, kUseApplicationIcon) != 0) {
            CheckIconChoice(true);
            SetDlgItemTextA(Window(), IDC_TF_ICON_FILE, icon);
        } else {
            CheckIconChoice(false);
        }
        int minimum = section_->m_minimums[slot];
        SetDlgItemInt(Window(), IDC_TF_MINIMUM, minimum > 9 ? 9 : minimum < 1 ? 1 : minimum, FALSE);
        return TRUE;
    }

    INT_PTR OnCommand(int id, int code) override {
        switch (id) {
        case IDOK:
            if (!BuildFilter()) return TRUE;   // no match text: the dialog stays
            Finish(IDOK);
            return TRUE;
        case IDCANCEL:
            Finish(IDCANCEL);
            return TRUE;
        case IDC_TF_MINIMUM:
            if (code == EN_CHANGE) KeepMinimumInRange();
            return TRUE;
        case IDC_TF_BROWSE:
            BrowseForIcon();
            return TRUE;
        case IDC_TF_PICKER:
            if (code == STN_CLICKED) StartPicking();
            return TRUE;
        }
        return FALSE;
    }

    INT_PTR OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (!picking_) return FALSE;
        if (msg == WM_MOUSEMOVE) {
            FollowPointer();
            return TRUE;
        }
        if (msg == WM_LBUTTONUP) {
            StopPicking();
            return TRUE;
        }
        return FALSE;
    }

private:
    // The two icon radios are far apart in number, with the other controls
    // between them: each is set by itself.
    void CheckIconChoice(bool from_file) {
        CheckDlgButton(Window(), IDC_TF_ICON_FILE_RADIO, from_file ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(Window(), IDC_TF_APP_ICON, from_file ? BST_UNCHECKED : BST_CHECKED);
    }

    bool BuildFilter() {
        char text[kFilterTextSize] = "";
        const bool by_class = IsDlgButtonChecked(Window(), IDC_TF_BY_CLASS) == BST_CHECKED;
        GetDlgItemTextA(Window(), by_class ? IDC_TF_CLASS : IDC_TF_TITLE, text, sizeof(text));
        if (!text[0]) return false;
        const int kind = by_class ? kFilterMatchClass : kFilterMatchTitle;
        int flags = kFilterHide | kind;
        if (IsDlgButtonChecked(Window(), IDC_TF_GROUP) == BST_CHECKED) flags = kFilterGroup | kind;
        else if (IsDlgButtonChecked(Window(), IDC_TF_ONLY) == BST_CHECKED) flags = kFilterOnlyDisplay | kind;
        char title[kFilterTextSize] = "", icon[MAX_PATH] = "";
        GetDlgItemTextA(Window(), IDC_TF_GROUP_TITLE, title, sizeof(title));
        if (IsDlgButtonChecked(Window(), IDC_TF_APP_ICON) == BST_CHECKED)
            tess::CopyText(icon, kUseApplicationIcon);
        else
            GetDlgItemTextA(Window(), IDC_TF_ICON_FILE, icon, sizeof(icon));
        const int minimum = static_cast<int>(GetDlgItemInt(Window(), IDC_TF_MINIMUM, nullptr, FALSE));
        if (section_->m_dialogSlot >= 0) section_->RemoveFilter(section_->m_dialogSlot);
        section_->AddFilter(text, flags, title, icon, minimum);
        return true;
    }

    void Finish(int result) {
        if (picking_) StopPicking();
        section_->m_dialogSlot = -1;
        EndDialog(Window(), result);
    }

    void KeepMinimumInRange() {
        BOOL ok = FALSE;
        int value = static_cast<int>(GetDlgItemInt(Window(), IDC_TF_MINIMUM, &ok, TRUE));
        if (ok && value >= 1 && value <= 9) return;
        SetDlgItemTextA(Window(), IDC_TF_MINIMUM, ok && value > 0 ? "9" : "1");
    }

    void BrowseForIcon() {
        char chosen[MAX_PATH] = "";
        GetIconBrowseFolder(chosen, sizeof(chosen));
        int index = 0;
        if (!ShowChangeIconDialog(chosen, &index, 1, GetThemeEditorWindow())) return;
        // An icon that stays where it is (inside the theme, or not copied) is
        // used from there; the button shows the file's first icon.
        ImportIconIntoTheme(chosen, &index);
        SetDlgItemTextA(Window(), IDC_TF_ICON_FILE, chosen);
    }

    void StartPicking() {
        cursor_ = LoadCursorA(Resources(), MAKEINTRESOURCEA(IDC_PICKER_CURSOR));
        if (cursor_) SetCursor(cursor_);
        ShowWindow(GetDlgItem(Window(), IDC_TF_PICKER), SW_HIDE);
        ShowWindow(GetDlgItem(Window(), IDC_TF_PICKER_EMPTY), SW_SHOW);
        SetCapture(Window());
        last_ = nullptr;
        picking_ = true;
    }

    void FollowPointer() {
        POINT pt;
        GetCursorPos(&pt);
        HWND top = TopLevelOf(WindowFromPoint(pt));
        if (!top || top == last_ || top == Window()) return;
        char cls[500] = "";
        GetClassNameA(top, cls, sizeof(cls));
        SetDlgItemTextA(Window(), IDC_TF_CLASS, cls);
        InvertWindowFrame(last_);
        InvertWindowFrame(top);
        last_ = top;
    }

    void StopPicking() {
        picking_ = false;
        ShowWindow(GetDlgItem(Window(), IDC_TF_PICKER_EMPTY), SW_HIDE);
        ShowWindow(GetDlgItem(Window(), IDC_TF_PICKER), SW_SHOW);
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        ReleaseCapture();
        InvertWindowFrame(last_);
        last_ = nullptr;
    }

    CVellumMenuSection_Taskbar* section_;
    bool picking_ = false;
    HWND last_ = nullptr;
    HCURSOR cursor_ = nullptr;   // a resource cursor: the system frees it
};

// ---- the page ------------------------------------------------------------------------------

class TaskbarPage : public ConfigPage {
public:
    explicit TaskbarPage(CVellumMenuSection_Taskbar* section)
        : ConfigPage(PageObjectKind::kSection, section, PageSlotsOf(section), kBehaviorPage),
          section_(section) {}

private:
    void Fill() override {
        Check(IDC_TB_ANIMATIONS, section_->m_animations != 0);
        const int mode = section_->GroupingModeCommand();
        CheckRadioButton(Window(), IDC_TB_NO_GROUPING, IDC_TB_USER_GROUPS,
                         mode == 1002 ? IDC_TB_AUTO_GROUPING : mode == 1001 ? IDC_TB_NO_GROUPING : IDC_TB_USER_GROUPS);
        FillFilterList();
    }

    void Apply(int id, int code) override {
        CVellumMenuObject* bar = section_->m_pBar;
        const bool checked = Checked(id);
        switch (id) {
        case IDC_TB_ANIMATIONS:
            section_->m_animations = checked ? 1 : 0;
            if (bar) bar->SetModified();
            return;
        case IDC_TB_NO_GROUPING:
        case IDC_TB_AUTO_GROUPING:
        case IDC_TB_USER_GROUPS:
            if (!checked) return;
            section_->DoCustomContextMenuCommand(1001 + (id - IDC_TB_NO_GROUPING));
            if (bar) bar->SetModified();
            return;
        case IDC_TB_ADD_FILTER:
        case IDC_TB_EDIT_FILTER:
            if (code == BN_CLICKED) EditFilter(id == IDC_TB_EDIT_FILTER);
            return;
        case IDC_TB_REMOVE_FILTER:
            if (code == BN_CLICKED) RemoveSelected();
            return;
        default:
            return;
        }
    }

    bool KeepsLastTab() const override { return true; }

    HWND List() const { return Control(IDC_TB_FILTER_LIST); }

    void FillFilterList() {
        SendMessageA(List(), LB_RESETCONTENT, 0, 0);
        for (int slot = 0; slot < kMaxTaskbarFilters; ++slot) {
            if (!section_->m_flags[slot]) continue;
            std::string line = FilterSentence(*section_, slot);
            LRESULT row = SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            if (row >= 0) SendMessageA(List(), LB_SETITEMDATA, row, slot);
        }
    }

    void Changed() {
        if (CVellumMenuObject* bar = section_->m_pBar) {
            bar->SetModified();
            section_->RebuildTasks();
            bar->RecalcRects(1, 1);
        }
    }

    void EditFilter(bool edit) {
        LRESULT row = SendMessageA(List(), LB_GETCURSEL, 0, 0);
        if (edit && row < 0) return;
        const LRESULT before = SendMessageA(List(), LB_GETCOUNT, 0, 0);
        section_->m_dialogSlot = edit ? static_cast<int>(SendMessageA(List(), LB_GETITEMDATA, row, 0)) : -1;
        FilterDialog dialog(section_);
        INT_PTR result = dialog.RunModal(Resources(), MAKEINTRESOURCEA(IDD_TASKBAR_FILTER), Window());
        section_->m_dialogSlot = -1;
        FillFilterList();
        const LRESULT after = SendMessageA(List(), LB_GETCOUNT, 0, 0);
        if (edit) {
            if (result != IDOK) return;
            SendMessageA(List(), LB_SETCURSEL, row < after ? row : after - 1, 0);
            Changed();
        } else if (after > before) {
            SendMessageA(List(), LB_SETCURSEL, after - 1, 0);
            Changed();
        }
    }

    void RemoveSelected() {
        LRESULT row = SendMessageA(List(), LB_GETCURSEL, 0, 0);
        if (row < 0) return;
        section_->RemoveFilter(static_cast<int>(SendMessageA(List(), LB_GETITEMDATA, row, 0)));
        FillFilterList();
        const LRESULT count = SendMessageA(List(), LB_GETCOUNT, 0, 0);
        if (count > 0) SendMessageA(List(), LB_SETCURSEL, row < count ? row : count - 1, 0);
        Changed();
    }

    CVellumMenuSection_Taskbar* section_;
};

}  // namespace

HWND CVellumMenuSection_Taskbar::CallConfigDialogEx(HWND parent) {
    return ConfigPage::Open(std::make_unique<TaskbarPage>(this), Resources(), IDD_TASKBAR_PAGE, parent);
}
