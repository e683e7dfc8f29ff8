// The shortcut item's new-item wizard: its own pages ask whether the item
// runs something (a file or address, the program of an extension, a
// registered program, a special folder) or pops up a folder, then the
// standard pages follow. Each page applies its values when Next leaves it.
#include <shlobj.h>
#include "shell/wizard_framework.h"
#include "types/shortcut_internal.h"
#include "types/shortcut_item.h"
#include "types/shortcut_wizard_resources.h"
#include "util/general_helpers.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

constexpr int kTargetPages[] = {IDD_SHORTCUT_WIZ_FILE, IDD_SHORTCUT_WIZ_EXTENSION,
                                IDD_SHORTCUT_WIZ_REGISTRY, IDD_SHORTCUT_WIZ_SPECIAL};
constexpr int kPopupIconSizes[] = {16, 32, 48, 64};
constexpr int kNextTitlePage = 1068;   // the standard title page
constexpr char kNoSpecialFolder[] = "--Select Special Folder--";

CVellumMenuItem_Shortcut* PageItem(HWND page) {
    auto* item = reinterpret_cast<CVellumMenuItem*>(::GetWindowLongPtrA(page, GWLP_USERDATA));
    return static_cast<CVellumMenuItem_Shortcut*>(item);
}

const NMHDR* Note(LPARAM lp) { return reinterpret_cast<const NMHDR*>(lp); }

bool Checked(HWND page, int id) { return ::IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Check(HWND page, int id, bool on) {
    ::CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void ReadText(HWND page, int id, char* buffer, int size) {
    buffer[0] = '\0';
    ::GetDlgItemTextA(page, id, buffer, size);
}

void LimitText(HWND page, int id, int size) {
    ::SendDlgItemMessageA(page, id, EM_LIMITTEXT, size - 1, 0);
}

// ---- applying values ----------------------------------------------------------------------------

enum class TargetKind { File, ProgramName, Extension };

void ApplyTarget(CVellumMenuItem_Shortcut* item, const char* text, TargetKind kind) {
    item->ResetTarget();
    item->SetTarget(nullptr, kind == TargetKind::File ? text : nullptr,
                    kind == TargetKind::ProgramName ? text : nullptr,
                    kind == TargetKind::Extension ? text : nullptr);
    item->RefreshIcon();
}

// What the pages that go on to the title page leave behind: a plain run.
void RunPlainly(CVellumMenuItem_Shortcut* item) {
    item->RunAs = kRunNormal;
    item->UsePopup = FALSE;
    item->m_startIn[0] = '\0';
}

// ---- the special folder combo --------------------------------------------------------------------

void FillSpecialFolders(HWND page, CVellumMenuItem_Shortcut* item) {
    HWND combo = ::GetDlgItem(page, IDC_SCW_SPECIAL);
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoSpecialFolder));
    for (int i = 0; const char* name = SpecialFolderName(i); ++i)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    const char* wanted = item->m_quickLaunch ? "QuickLaunch" : item->m_target;
    LRESULT row = wanted[0] ? ::SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(wanted))
                            : CB_ERR;
    ::SendMessageA(combo, CB_SETCURSEL, row == CB_ERR ? 0 : row, 0);
}

int SpecialFolderRow(HWND page) {
    return static_cast<int>(::SendDlgItemMessageA(page, IDC_SCW_SPECIAL, CB_GETCURSEL, 0, 0));
}

// The chosen special folder's name, empty for none.
void SelectedSpecialFolder(HWND page, char* out, size_t size) {
    out[0] = '\0';
    const int row = SpecialFolderRow(page);
    if (row > 0) tess::CopyText(out, size, SpecialFolderName(row - 1));
}

void ButtonsForSpecialFolder(HWND page) {
    SetWizardButtons(page, SpecialFolderRow(page) > 0 ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
}

// ---- the pages -------------------------------------------------------------------------------------

// What every page does on Next, after the pending way back is taken:
// applies its values and answers the page to go to.
using NextStep = int (*)(HWND page, CVellumMenuItem_Shortcut* item);

// The part the pages share: their record, Finish, Back, Next and the end.
bool CommonMessage(HWND page, UINT msg, LPARAM lp, NextStep next, INT_PTR* result) {
    *result = FALSE;
    if (msg == WM_INITDIALOG) {
        const auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(lp);
        InitWizardPage(page, record);
        ::SetWindowLongPtrA(page, GWLP_USERDATA, record ? record->lParam : 0);
        return false;   // the page fills its controls
    }
    if (msg == WM_DESTROY) {
        RemoveWizardPageProps(page);
        return true;
    }
    if (msg != WM_NOTIFY) return false;
    CVellumMenuItem_Shortcut* item = PageItem(page);
    if (!item) return true;
    const UINT code = Note(lp)->code;
    if (HandleWizardFinishOrBack(page, code)) {
        *result = TRUE;
        return true;
    }
    if (code == PSN_WIZNEXT && next) {
        InitWizardPage(page, nullptr);
        WizardSetNextPage(page, next(page, item));
        *result = TRUE;
        return true;
    }
    return false;
}

INT_PTR CALLBACK ShortcutWizardStartPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    const INT_PTR standard = StandardWizardFirstPageProc(page, msg, wp, lp);
    if (msg == WM_INITDIALOG) {
        CVellumMenuItem_Shortcut* item = PageItem(page);
        const bool folder = item && item->IsFolder && item->UsePopup;
        Check(page, folder ? IDC_SCW_POPUP_FOLDER : IDC_SCW_RUN, true);
        return standard;
    }
    if (msg == WM_NOTIFY && Note(lp)->code == PSN_WIZNEXT && PageItem(page)) {
        InitWizardPage(page, nullptr);
        WizardSetNextPage(page, Checked(page, IDC_SCW_RUN) ? IDD_SHORTCUT_WIZ_RUN_METHOD
                                                           : IDD_SHORTCUT_WIZ_FOLDER);
        return TRUE;
    }
    return standard;
}

int RunMethodNext(HWND page, CVellumMenuItem_Shortcut*) {
    const int radios[] = {IDC_SCW_BY_FILE, IDC_SCW_BY_EXTENSION, IDC_SCW_BY_REGISTRY,
                          IDC_SCW_BY_SPECIAL};
    for (int i = 0; i < 4; ++i)
        if (Checked(page, radios[i])) return kTargetPages[i];
    return kTargetPages[0];
}

int InitialRunMethod(const CVellumMenuItem_Shortcut* item) {
    if (item->m_extension[0]) return IDC_SCW_BY_EXTENSION;
    if (item->m_programName[0]) return IDC_SCW_BY_REGISTRY;
    if (strchr(item->m_target, '.') || strchr(item->m_target, '\\')) return IDC_SCW_BY_FILE;
    if (IsSpecialFolderName(item->m_target)) return IDC_SCW_BY_SPECIAL;
    return IDC_SCW_BY_FILE;
}

INT_PTR CALLBACK ShortcutWizardRunMethodPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (CommonMessage(page, msg, lp, RunMethodNext, &result)) return result;
    if (msg == WM_INITDIALOG) {
        if (CVellumMenuItem_Shortcut* item = PageItem(page)) Check(page, InitialRunMethod(item), true);
        return TRUE;
    }
    if (msg == WM_NOTIFY && Note(lp)->code == PSN_SETACTIVE) {
        SetWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        return WizardAnswer(page, 0);
    }
    return FALSE;
}

int FileNext(HWND page, CVellumMenuItem_Shortcut* item) {
    char path[kShortcutTargetSize];
    ReadText(page, IDC_SCW_PATH, path, sizeof(path));
    if (lstrcmpiA(path, item->m_target) != 0) ApplyTarget(item, path, TargetKind::File);
    const int show = static_cast<int>(::SendDlgItemMessageA(page, IDC_SCW_SHOW, CB_GETCURSEL, 0, 0));
    if (show >= kRunNormal && show <= kRunMaximized) item->RunAs = show;
    ReadText(page, IDC_SCW_START_IN, item->m_startIn, sizeof(item->m_startIn));
    item->UsePopup = FALSE;
    return kNextTitlePage;
}

void BrowseFile(HWND page) {
    char file[MAX_PATH] = "";
    if (ShowOpenFileDialog(nullptr, file, "Locate File For Shortcut",
                           "Applications (*.exe)\0*.exe\0Links (*.lnk)\0*.lnk\0All Files (*.*)\0*.*\0",
                           nullptr, true))
        ::SetDlgItemTextA(page, IDC_SCW_PATH, file);
}

INT_PTR CALLBACK ShortcutWizardFilePageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (CommonMessage(page, msg, lp, FileNext, &result)) return result;
    CVellumMenuItem_Shortcut* item = PageItem(page);
    switch (msg) {
    case WM_INITDIALOG: {
        LimitText(page, IDC_SCW_PATH, kShortcutTargetSize);
        LimitText(page, IDC_SCW_START_IN, kShortcutStartInSize);
        HWND show = ::GetDlgItem(page, IDC_SCW_SHOW);
        for (const char* text : {"In a normal window", "Minimized", "Maximized"})
            ::SendMessageA(show, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (item) {
            ::SetDlgItemTextA(page, IDC_SCW_PATH, item->m_target);
            ::SetDlgItemTextA(page, IDC_SCW_START_IN, item->m_startIn);
            ::SendMessageA(show, CB_SETCURSEL, item->RunAs, 0);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_SCW_PATH && HIWORD(wp) == EN_UPDATE)
            UpdateWizardNextButton(page, IDC_SCW_PATH);
        if (LOWORD(wp) == IDC_SCW_BROWSE) BrowseFile(page);
        return TRUE;
    case WM_NOTIFY:
        if (Note(lp)->code != PSN_SETACTIVE) return FALSE;
        UpdateWizardNextButton(page, IDC_SCW_PATH);
        return WizardAnswer(page, 0);
    default:
        return FALSE;
    }
}

int ExtensionNext(HWND page, CVellumMenuItem_Shortcut* item) {
    char typed[kShortcutExtensionSize];
    ReadText(page, IDC_SCW_EXTENSION, typed, sizeof(typed));
    char extension[kShortcutExtensionSize + 1];
    tess::FormatText(extension, sizeof(extension), "%s%s", typed[0] == '.' ? "" : ".", typed);
    if (lstrcmpiA(extension, item->m_extension) != 0)
        ApplyTarget(item, extension, TargetKind::Extension);
    RunPlainly(item);
    return kNextTitlePage;
}

int RegistryNext(HWND page, CVellumMenuItem_Shortcut* item) {
    char name[kShortcutProgramNameSize];
    ReadText(page, IDC_SCW_PROGRAM, name, sizeof(name));
    if (lstrcmpiA(name, item->m_programName) != 0) ApplyTarget(item, name, TargetKind::ProgramName);
    RunPlainly(item);
    return kNextTitlePage;
}

// The extension and registry pages: one edit, Next while it holds text.
template <int EditId, int Size, NextStep Next>
INT_PTR CALLBACK OneFieldPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (CommonMessage(page, msg, lp, Next, &result)) return result;
    switch (msg) {
    case WM_INITDIALOG:
        LimitText(page, EditId, Size);
        if (CVellumMenuItem_Shortcut* item = PageItem(page))
            ::SetDlgItemTextA(page, EditId,
                              EditId == IDC_SCW_EXTENSION ? item->m_extension : item->m_programName);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == EditId && HIWORD(wp) == EN_UPDATE) UpdateWizardNextButton(page, EditId);
        return TRUE;
    case WM_NOTIFY:
        if (Note(lp)->code != PSN_SETACTIVE) return FALSE;
        UpdateWizardNextButton(page, EditId);
        return WizardAnswer(page, 0);
    default:
        return FALSE;
    }
}

// The extension field leaves room for the dot put in front.
constexpr DLGPROC ShortcutWizardExtensionPageProc =
    OneFieldPageProc<IDC_SCW_EXTENSION, kShortcutExtensionSize - 1, ExtensionNext>;
constexpr DLGPROC ShortcutWizardRegistryPageProc =
    OneFieldPageProc<IDC_SCW_PROGRAM, kShortcutProgramNameSize, RegistryNext>;

int SpecialFolderNext(HWND page, CVellumMenuItem_Shortcut* item) {
    char name[kShortcutTargetSize];
    SelectedSpecialFolder(page, name, sizeof(name));
    if (lstrcmpiA(name, item->m_target) != 0) ApplyTarget(item, name, TargetKind::File);
    RunPlainly(item);
    return kNextTitlePage;
}

INT_PTR CALLBACK ShortcutWizardSpecialFolderPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (CommonMessage(page, msg, lp, SpecialFolderNext, &result)) return result;
    switch (msg) {
    case WM_INITDIALOG:
        if (CVellumMenuItem_Shortcut* item = PageItem(page)) FillSpecialFolders(page, item);
        ButtonsForSpecialFolder(page);
        return TRUE;
    case WM_COMMAND:
        // Every change of the choice, by mouse or by key, sets the buttons.
        if (LOWORD(wp) == IDC_SCW_SPECIAL) ButtonsForSpecialFolder(page);
        return TRUE;
    case WM_NOTIFY:
        if (Note(lp)->code != PSN_SETACTIVE) return FALSE;
        ButtonsForSpecialFolder(page);
        return WizardAnswer(page, 0);
    default:
        return FALSE;
    }
}

// ---- popup a folder ------------------------------------------------------------------------------

void UpdateFolderPage(HWND page) {
    const bool at_path = Checked(page, IDC_SCW_FOLDER_AT);
    ::EnableWindow(::GetDlgItem(page, IDC_SCW_PATH), at_path);
    ::EnableWindow(::GetDlgItem(page, IDC_SCW_BROWSE), at_path);
    ::EnableWindow(::GetDlgItem(page, IDC_SCW_SPECIAL), !at_path);
    if (at_path)
        UpdateWizardNextButton(page, IDC_SCW_PATH);
    else
        ButtonsForSpecialFolder(page);
}

void BrowseFolder(HWND page) {
    char path[MAX_PATH] = "";
    if (!BrowseForFileSystemFolder(page, path, sizeof(path)) || !path[0]) return;
    ::SetDlgItemTextA(page, IDC_SCW_PATH, path);
    UpdateFolderPage(page);
}

int FolderNext(HWND page, CVellumMenuItem_Shortcut* item) {
    char path[kShortcutTargetSize];
    if (Checked(page, IDC_SCW_FOLDER_AT))
        ReadText(page, IDC_SCW_PATH, path, sizeof(path));
    else
        SelectedSpecialFolder(page, path, sizeof(path));
    if (path[0] && lstrcmpiA(path, item->m_target) != 0) ApplyTarget(item, path, TargetKind::File);
    item->IsFolder = TRUE;
    item->UsePopup = TRUE;
    item->RunAs = kRunNormal;
    item->m_startIn[0] = '\0';
    return IDD_SHORTCUT_WIZ_POPUP;
}

INT_PTR CALLBACK ShortcutWizardFolderPopupPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (CommonMessage(page, msg, lp, FolderNext, &result)) return result;
    switch (msg) {
    case WM_INITDIALOG:
        LimitText(page, IDC_SCW_PATH, kShortcutTargetSize);
        if (CVellumMenuItem_Shortcut* item = PageItem(page)) {
            FillSpecialFolders(page, item);
            const bool at_path = SpecialFolderRow(page) <= 0;
            if (at_path) ::SetDlgItemTextA(page, IDC_SCW_PATH, item->m_target);
            Check(page, at_path ? IDC_SCW_FOLDER_AT : IDC_SCW_BY_SPECIAL, true);
        }
        UpdateFolderPage(page);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_SCW_FOLDER_AT:
        case IDC_SCW_BY_SPECIAL:
        case IDC_SCW_SPECIAL:
            UpdateFolderPage(page);
            break;
        case IDC_SCW_PATH:
            if (HIWORD(wp) == EN_UPDATE) UpdateFolderPage(page);
            break;
        case IDC_SCW_BROWSE:
            BrowseFolder(page);
            break;
        default:
            break;
        }
        return TRUE;
    case WM_NOTIFY:
        if (Note(lp)->code != PSN_SETACTIVE) return FALSE;
        UpdateFolderPage(page);
        return WizardAnswer(page, 0);
    default:
        return FALSE;
    }
}

int PopupOptionsNext(HWND page, CVellumMenuItem_Shortcut* item) {
    item->Volitle = Checked(page, IDC_SCW_VOLATILE) ? TRUE : FALSE;
    const LRESULT row = ::SendDlgItemMessageA(page, IDC_SCW_ICON_SIZE, CB_GETCURSEL, 0, 0);
    item->PopupIconSize = row >= 0 && row < 4 ? kPopupIconSizes[row] : kPopupIconSizes[0];
    return kNextTitlePage;
}

INT_PTR CALLBACK ShortcutWizardPopupOptionsPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (CommonMessage(page, msg, lp, PopupOptionsNext, &result)) return result;
    switch (msg) {
    case WM_INITDIALOG: {
        HWND sizes = ::GetDlgItem(page, IDC_SCW_ICON_SIZE);
        for (const char* text : {"16x16", "32x32", "48x48", "64x64"})
            ::SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (CVellumMenuItem_Shortcut* item = PageItem(page)) {
            Check(page, IDC_SCW_VOLATILE, item->Volitle != FALSE);
            int row = 0;
            for (int i = 1; i < 4; ++i)
                if (item->PopupIconSize == kPopupIconSizes[i]) row = i;
            ::SendMessageA(sizes, CB_SETCURSEL, row, 0);
        }
        return TRUE;
    }
    case WM_NOTIFY:
        if (Note(lp)->code != PSN_SETACTIVE) return FALSE;
        SetWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        return WizardAnswer(page, 0);
    default:
        return FALSE;
    }
}

struct InteriorPage {
    const char* title;
    int id;
    DLGPROC proc;
};

}  // namespace

int CVellumMenuItem_Shortcut::DoNewItemWizzard() {
    if (Separator) return 1;
    static const InteriorPage kPages[] = {
        {"Run a program", IDD_SHORTCUT_WIZ_RUN_METHOD, ShortcutWizardRunMethodPageProc},
        {"Use File", IDD_SHORTCUT_WIZ_FILE, ShortcutWizardFilePageProc},
        {"Use Extention", IDD_SHORTCUT_WIZ_EXTENSION, ShortcutWizardExtensionPageProc},
        {"Use Registry", IDD_SHORTCUT_WIZ_REGISTRY, ShortcutWizardRegistryPageProc},
        {"Use Special Folder", IDD_SHORTCUT_WIZ_SPECIAL, ShortcutWizardSpecialFolderPageProc},
        {"Popup a Folder", IDD_SHORTCUT_WIZ_FOLDER, ShortcutWizardFolderPopupPageProc},
        {"Popup Options", IDD_SHORTCUT_WIZ_POPUP, ShortcutWizardPopupOptionsPageProc},
    };
    HPROPSHEETPAGE pages[kMaxWizardPages] = {};
    int index = 0;
    CVellumMenuItem* self = this;
    CreateWizardFirstPage(self, IDD_SHORTCUT_WIZ_START, ShortcutWizardStartPageProc, pages, &index);
    for (const InteriorPage& p : kPages)
        CreateWizardInteriorPage(p.title, "Subtitle", p.id, p.proc, pages, &index, self);
    AddStandardWizzardPages(pages, &index);
    return RunItemWizard(self, pages, index + 1);
}
