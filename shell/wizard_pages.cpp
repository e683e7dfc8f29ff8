// The standard pages of the new-item wizard, which every item type shares:
// the action page (first page of the base wizard), the title, display, icon
// and bitmap pages, and the closing page. Each page applies its values to
// the item when Next leaves it.
#include <cstring>
#include "model/item_host_calls.h"
#include "model/standard_commands.h"
#include "model/vellum_menu_item.h"
#include "shell/app_state.h"
#include "shell/config_pages.h"
#include "shell/icon_dialogs.h"
#include "shell/icon_import.h"
#include "shell/wizard_framework.h"
#include "shell/wizard_resources.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr char kIconIndexProp[] = "IconIndex";
constexpr int kTitleTextSize = 2000;

struct Category {
    const char* text;
    int set;
};
// The first page's "Behavior Category:" entries with their command sets.
const Category kCategories[] = {
    {"--Select Behavior Category--", -1},
    {"(No function)", -1},
    {"System Commands", kSystemCommands},
    {"Window Commands", kWindowCommands},
    {"Tessellar Commands", kInternalCommands},
    {"Tessellar Layer Commands", kMoreSystemCommands},
    {"Clipboard Commands", kClipboardCommands},
};
constexpr int kCategoryCount = static_cast<int>(sizeof(kCategories) / sizeof(kCategories[0]));
// The action list's first entry until an action is chosen.
constexpr LPARAM kPlaceholderAction = -1;

const NMHDR* Note(LPARAM lp) { return reinterpret_cast<const NMHDR*>(lp); }

bool Checked(HWND page, int id) { return ::IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Check(HWND page, int id, BOOL on) {
    ::CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// The edit's text, cut to the buffer.
void ReadText(HWND page, int id, char* buffer, int size) {
    buffer[0] = '\0';
    ::GetDlgItemTextA(page, id, buffer, size);
}

// A page in the middle of the wizard: Back and Next, Finish and Back as on
// every page; on Next the page's choices go into the item and the page the
// taking function names follows.
INT_PTR MiddlePageNotify(HWND page, CVellumMenuItem* item, LPARAM lp,
                         int (*take_and_choose_next)(HWND, CVellumMenuItem*)) {
    if (!item) return FALSE;
    const UINT code = Note(lp)->code;
    if (HandleWizardFinishOrBack(page, code)) return TRUE;
    if (code == PSN_SETACTIVE) {
        SetWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        return WizardAnswer(page, 0);
    }
    if (code == PSN_WIZNEXT) {
        InitWizardPage(page, nullptr);
        WizardSetNextPage(page, take_and_choose_next(page, item));
        return TRUE;
    }
    return FALSE;
}

// ---- first page: the action ------------------------------------------------------------------

int CategorySet(int entry) {
    return entry >= 0 && entry < kCategoryCount ? kCategories[entry].set : -1;
}

LPARAM SelectedAction(HWND page) {
    HWND actions = ::GetDlgItem(page, IDC_WIZ_ACTION);
    const LRESULT row = ::SendMessageA(actions, CB_GETCURSEL, 0, 0);
    if (row == CB_ERR) return kPlaceholderAction;
    return ::SendMessageA(actions, CB_GETITEMDATA, row, 0);
}

void UpdateActionButtons(HWND page) {
    const int entry =
        static_cast<int>(::SendDlgItemMessageA(page, IDC_WIZ_CATEGORY, CB_GETCURSEL, 0, 0));
    DWORD buttons = 0;
    if (entry > 0 && (CategorySet(entry) < 0 || SelectedAction(page) > 0)) buttons = PSWIZB_NEXT;
    SetWizardButtons(page, buttons);
}

void ChooseCategory(HWND page, CVellumMenuItem* item) {
    HWND actions = ::GetDlgItem(page, IDC_WIZ_ACTION);
    ::SendMessageA(actions, CB_RESETCONTENT, 0, 0);
    const int entry =
        static_cast<int>(::SendDlgItemMessageA(page, IDC_WIZ_CATEGORY, CB_GETCURSEL, 0, 0));
    if (entry > 0) {
        const int set = CategorySet(entry);
        if (set < 0) {
            const LRESULT row = ::SendMessageA(actions, CB_ADDSTRING, 0,
                                               reinterpret_cast<LPARAM>("(No Action)"));
            ::SendMessageA(actions, CB_SETITEMDATA, row, kCmdNoAction);
            ::SendMessageA(actions, CB_SETCURSEL, row, 0);
        } else {
            item->ActionClass = set;
            item->SetupActionsCombobox(actions, -1, set);
            // Put in front of the set's commands, so that each stays choosable.
            const LRESULT row = ::SendMessageA(actions, CB_INSERTSTRING, 0,
                                               reinterpret_cast<LPARAM>("--Select an Action--"));
            ::SendMessageA(actions, CB_SETITEMDATA, row, kPlaceholderAction);
            ::SendMessageA(actions, CB_SETCURSEL, row, 0);
        }
    }
    UpdateActionButtons(page);
}

void InitActionPage(HWND page, CVellumMenuItem* item) {
    HWND categories = ::GetDlgItem(page, IDC_WIZ_CATEGORY);
    for (const Category& category : kCategories)
        ::SendMessageA(categories, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(category.text));
    int entry = 0;
    if (item && item->ActionClass > 0)
        for (int i = 0; i < kCategoryCount; ++i)
            if (kCategories[i].set == item->ActionClass) entry = i;
    ::SendMessageA(categories, CB_SETCURSEL, entry, 0);
    if (entry > 0) item->SetupActionsCombobox(::GetDlgItem(page, IDC_WIZ_ACTION), item->Action, -1);
}

void TakeAction(HWND page, CVellumMenuItem* item) {
    const int entry =
        static_cast<int>(::SendDlgItemMessageA(page, IDC_WIZ_CATEGORY, CB_GETCURSEL, 0, 0));
    if (entry <= 0) return;
    const int set = CategorySet(entry);
    const LPARAM action = SelectedAction(page);
    item->ActionClass = set < 0 ? 0 : set;
    item->Action = action > 0 ? static_cast<int>(action) : 0;
}

INT_PTR CALLBACK WizardActionPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    const INT_PTR standard = StandardWizardFirstPageProc(page, msg, wp, lp);
    CVellumMenuItem* item = WizardItem(page);
    switch (msg) {
    case WM_INITDIALOG:
        InitActionPage(page, item);
        return standard;
    case WM_COMMAND:
        if (!item || HIWORD(wp) != CBN_SELCHANGE) return FALSE;
        if (LOWORD(wp) == IDC_WIZ_CATEGORY) ChooseCategory(page, item);
        if (LOWORD(wp) == IDC_WIZ_ACTION) UpdateActionButtons(page);
        return TRUE;
    case WM_NOTIFY:
        if (Note(lp)->code == PSN_SETACTIVE) UpdateActionButtons(page);
        if (Note(lp)->code == PSN_WIZNEXT && item) {
            TakeAction(page, item);
            return WizardAnswer(page, 0);
        }
        return standard;
    default:
        return standard;
    }
}

// ---- title page ----------------------------------------------------------------------------------

INT_PTR CALLBACK WizardTitlePageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    CVellumMenuItem* item = WizardItem(page);
    switch (msg) {
    case WM_INITDIALOG:
        InitWizardPage(page, reinterpret_cast<const PROPSHEETPAGEA*>(lp));
        ::SendDlgItemMessageA(page, IDC_WIZ_TITLE, EM_LIMITTEXT, kTitleTextSize - 1, 0);
        return TRUE;
    case WM_NOTIFY:
        if (!item) return FALSE;
        if (HandleWizardFinishOrBack(page, Note(lp)->code)) return TRUE;
        if (Note(lp)->code == PSN_SETACTIVE) {
            ::SetDlgItemTextA(page, IDC_WIZ_TITLE, item->m_title ? item->m_title : "");
            SetWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
            return WizardAnswer(page, 0);
        }
        if (Note(lp)->code == PSN_WIZNEXT) {
            InitWizardPage(page, nullptr);
            char title[kTitleTextSize];
            ReadText(page, IDC_WIZ_TITLE, title, sizeof(title));
            item->SetItemTitle(title, 0);
            item->UseActiveText = Checked(page, IDC_WIZ_USE_ACTIVE_TEXT);
            return WizardAnswer(page, 0);
        }
        return FALSE;
    case WM_DESTROY:
        RemoveWizardPageProps(page);
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- display page ----------------------------------------------------------------------------------

int DisplayRadio(const CVellumMenuItem* item) {
    if (item->DisplayAsBitmap) return IDC_WIZ_BITMAP;
    if (item->ShowIcon && item->ShowText) return IDC_WIZ_TEXT_AND_ICON;
    if (item->ShowIcon) return IDC_WIZ_ICON_ALONE;
    if (item->ShowText) return IDC_WIZ_TEXT_ALONE;
    return 0;
}

// Applies the chosen display and answers the page to go to.
int TakeDisplay(HWND page, CVellumMenuItem* item) {
    item->DisplayAsBitmap = item->ShowIcon = item->ShowText = FALSE;
    if (Checked(page, IDC_WIZ_BITMAP)) {
        item->DisplayAsBitmap = TRUE;
    } else if (Checked(page, IDC_WIZ_TEXT_AND_ICON)) {
        item->ShowIcon = item->ShowText = TRUE;
    } else if (Checked(page, IDC_WIZ_ICON_ALONE)) {
        item->ShowIcon = TRUE;
    } else {
        item->ShowText = TRUE;
    }
    if (item->DisplayAsBitmap) return IDD_WIZARD_BITMAPS;
    item->FreeBitmaps();
    return item->ShowIcon ? IDD_WIZARD_ICONS : IDD_WIZARD_DONE;
}

INT_PTR CALLBACK WizardDisplayPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    CVellumMenuItem* item = WizardItem(page);
    switch (msg) {
    case WM_INITDIALOG:
        InitWizardPage(page, reinterpret_cast<const PROPSHEETPAGEA*>(lp));
        if (item)
            if (int radio = DisplayRadio(item)) Check(page, radio, TRUE);
        return TRUE;
    case WM_NOTIFY:
        return MiddlePageNotify(page, item, lp, TakeDisplay);
    case WM_DESTROY:
        RemoveWizardPageProps(page);
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- icon page -------------------------------------------------------------------------------------

void ShowIconPath(HWND page, int editId, const char* path, int index) {
    HWND edit = ::GetDlgItem(page, editId);
    ::SetWindowTextA(edit, path ? path : "");
    ::SetPropA(edit, kIconIndexProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(index)));
}

int ShownIconIndex(HWND page, int editId) {
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(::GetPropA(::GetDlgItem(page, editId), kIconIndexProp)));
}

// The Change Icon dialog for one of the two icons; the choice, imported
// into the theme when it lies outside, goes into the edit.
void BrowseIcon(HWND page, int editId) {
    char path[MAX_PATH] = "";
    ReadText(page, editId, path, sizeof(path));
    int index = ShownIconIndex(page, editId);
    int browse_first = 0;
    if (!path[0]) {
        GetIconBrowseFolder(path, sizeof(path));
        index = 0;
        browse_first = 1;
    }
    if (!ShowChangeIconDialog(path, &index, browse_first, page)) return;
    char expanded[270];
    const DWORD length = ::ExpandEnvironmentStringsA(path, expanded, sizeof(expanded));
    if (length > 0 && length <= sizeof(path)) tess::CopyText(path, expanded);
    ImportIconIntoTheme(path, &index);
    ShowIconPath(page, editId, path, index);
}

int TakeIcons(HWND page, CVellumMenuItem* item) {
    item->UseActiveIcon = Checked(page, IDC_WIZ_USE_ACTIVE_ICON);
    char path[MAX_PATH];
    ReadText(page, IDC_WIZ_ICON1, path, sizeof(path));
    item->SetIconPath(1, path);
    item->IconIndex = ShownIconIndex(page, IDC_WIZ_ICON1);
    ReadText(page, IDC_WIZ_ICON2, path, sizeof(path));
    item->SetIconPath(2, path);
    item->IconIndex2 = ShownIconIndex(page, IDC_WIZ_ICON2);
    item->RefreshIcon();
    return IDD_WIZARD_DONE;
}

INT_PTR CALLBACK WizardIconPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    CVellumMenuItem* item = WizardItem(page);
    switch (msg) {
    case WM_INITDIALOG:
        InitWizardPage(page, reinterpret_cast<const PROPSHEETPAGEA*>(lp));
        if (item) {
            ShowIconPath(page, IDC_WIZ_ICON1, item->Icon, item->IconIndex);
            ShowIconPath(page, IDC_WIZ_ICON2, item->Icon2, item->IconIndex2);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_WIZ_BROWSE_ICON1) BrowseIcon(page, IDC_WIZ_ICON1);
        if (LOWORD(wp) == IDC_WIZ_BROWSE_ICON2) BrowseIcon(page, IDC_WIZ_ICON2);
        return TRUE;
    case WM_NOTIFY:
        return MiddlePageNotify(page, item, lp, TakeIcons);
    case WM_DESTROY:
        for (int id : {IDC_WIZ_ICON1, IDC_WIZ_ICON2}) ::RemovePropA(::GetDlgItem(page, id), kIconIndexProp);
        RemoveWizardPageProps(page);
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- bitmap page -------------------------------------------------------------------------------------

struct BitmapRow {
    int browse, edit, which;
    const char* title;
};
const BitmapRow kBitmapRows[] = {
    {IDC_WIZ_BROWSE_NORMAL, IDC_WIZ_NORMAL, 1, "Find 'normal state' bitmap"},
    {IDC_WIZ_BROWSE_MOUSEOVER, IDC_WIZ_MOUSEOVER, 2, "Find 'mouseover' bitmap"},
    {IDC_WIZ_BROWSE_SELECTED, IDC_WIZ_SELECTED, 3, "Find 'selected' bitmap"},
};

void BrowseBitmap(HWND page, const BitmapRow& row) {
    char folder[MAX_PATH] = "";
    ThemeBrowseFolder("Bars\\Bitmaps\\", folder, sizeof(folder));
    char file[MAX_PATH] = "";
    if (ShowOpenFileDialog(page, file, row.title, "Bitmap Files (*.bmp)\0*.bmp\0", folder, true))
        ::SetDlgItemTextA(page, row.edit, file);
}

void InitBitmapPage(HWND page, CVellumMenuItem* item) {
    if (item->DisplayAsBitmap) {
        ::SetDlgItemTextA(page, IDC_WIZ_NORMAL, item->NormalBitmap ? item->NormalBitmap : "");
        ::SetDlgItemTextA(page, IDC_WIZ_MOUSEOVER, item->MouseoverBitmap ? item->MouseoverBitmap : "");
        ::SetDlgItemTextA(page, IDC_WIZ_SELECTED, item->SelectedBitmap ? item->SelectedBitmap : "");
    }
    Check(page, IDC_WIZ_TRANSPARENCY, item->UseTransparency);
    Check(page, IDC_WIZ_SKIN_BEHIND, item->ShowSkinBehindBitmap);
}

int TakeBitmaps(HWND page, CVellumMenuItem* item) {
    item->UseTransparency = Checked(page, IDC_WIZ_TRANSPARENCY);
    item->ShowSkinBehindBitmap = Checked(page, IDC_WIZ_SKIN_BEHIND);
    for (const BitmapRow& row : kBitmapRows) {
        char path[MAX_PATH];
        ReadText(page, row.edit, path, sizeof(path));
        item->SetBitmapPath(row.which, path);
    }
    item->RefreshBitmaps();
    return IDD_WIZARD_DONE;
}

INT_PTR CALLBACK WizardBitmapPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    CVellumMenuItem* item = WizardItem(page);
    switch (msg) {
    case WM_INITDIALOG:
        InitWizardPage(page, reinterpret_cast<const PROPSHEETPAGEA*>(lp));
        if (item) InitBitmapPage(page, item);
        return TRUE;
    case WM_COMMAND:
        for (const BitmapRow& row : kBitmapRows)
            if (LOWORD(wp) == row.browse) BrowseBitmap(page, row);
        return TRUE;
    case WM_NOTIFY:
        return MiddlePageNotify(page, item, lp, TakeBitmaps);
    case WM_DESTROY:
        RemoveWizardPageProps(page);
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- closing page ------------------------------------------------------------------------------------

INT_PTR CALLBACK WizardDonePageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return StandardWizardLastPageProc(page, msg, wp, lp);
}

// ---- the item's calls --------------------------------------------------------------------------------

void AddStandardPages(CVellumMenuItem* item, HPROPSHEETPAGE* pages, int* index) {
    struct Interior {
        const char* title;
        int id;
        DLGPROC proc;
    };
    static const Interior kPages[] = {
        {"Title Properties", IDD_WIZARD_TITLE, WizardTitlePageProc},
        {"Display Properties", IDD_WIZARD_DISPLAY, WizardDisplayPageProc},
        {"Icon Properties", IDD_WIZARD_ICONS, WizardIconPageProc},
        {"Bitmap Properties", IDD_WIZARD_BITMAPS, WizardBitmapPageProc},
    };
    for (const Interior& p : kPages)
        CreateWizardInteriorPage(p.title, "Subtitle", p.id, p.proc, pages, index, item);
    CreateWizardLastPage(IDD_WIZARD_DONE, WizardDonePageProc, pages, index, &item->WizardDoneFlag);
}

int RunStandardWizard(CVellumMenuItem* item) {
    HPROPSHEETPAGE pages[kMaxWizardPages] = {};
    int index = 0;
    CreateWizardFirstPage(item, IDD_WIZARD_FIRST, WizardActionPageProc, pages, &index);
    item->AddStandardWizzardPages(pages, &index);
    return RunItemWizard(item, pages, index + 1);
}

}  // namespace

void InstallWizardHostCalls() {
    ItemHostCalls& host = GetItemHostCalls();
    host.RunNewItemWizard = RunStandardWizard;
    host.AddStandardWizardPages = AddStandardPages;
}
