// Page 1062 of the system tray section: the filtering switches, the button
// switch and the seven button bitmaps with their chooser.
#include <windows.h>
#include <commctrl.h>
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/icon_import.h"
#include "shell/later_stubs.h"
#include "skins/skin_record.h"
#include "types/systray_resources.h"
#include "types/systray_section.h"
#include "util/callback_guard.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr char kSectionProp[] = "lpSection";
constexpr char kInitializedProp[] = "bInitalized!";

CVellumMenuSection_Systray* PageSection(HWND page) {
    return static_cast<CVellumMenuSection_Systray*>(GetPropA(page, kSectionProp));
}

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void SetCell(HWND list, int row, const char* text) {
    LVITEMA item = {};
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void FillBitmapList(HWND page, CVellumMenuSection_Systray* section) {
    HWND list = GetDlgItem(page, IDC_SYSTRAY_BITMAPS);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const struct { const char* title; int width; } columns[] = {{"State", 140}, {"Bitmap Path", 170}};
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(columns[c].title);
        column.cx = columns[c].width;
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < kSystrayButtonStates; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>(kSystrayButtonStateNames[i]);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        SetCell(list, i, section->m_bitmapPaths[i]);
    }
}

void EnableBitmapControls(HWND page, bool on) {
    EnableWindow(GetDlgItem(page, IDC_SYSTRAY_RELATIVE), on);
    EnableWindow(GetDlgItem(page, IDC_SYSTRAY_BITMAPS), on);
}

// Where the chooser opens: the skin's bitmaps, else the theme's.
void InitialFolder(CVellumMenuSection_Systray* section, char* folder, size_t size) {
    folder[0] = '\0';
    CVellumMenuObject* bar = section->m_pBar;
    if (section->BitmapPathRelToSkin && bar && bar->m_skin && bar->m_skin->folder[0]) {
        tess::CopyText(folder, size, bar->m_skin->folder);
        char bitmaps[MAX_PATH];
        tess::CopyText(bitmaps, folder);
        tess::AppendText(bitmaps, "Bitmaps\\");
        if (GetFileAttributesA(bitmaps) != INVALID_FILE_ATTRIBUTES) tess::CopyText(folder, size, bitmaps);
        return;
    }
    char candidate[MAX_PATH];
    if (GetThemeBitmapsFolder(candidate) && GetFileAttributesA(candidate) != INVALID_FILE_ATTRIBUTES) {
        tess::CopyText(folder, size, candidate);
        return;
    }
    if (GetThemeBarsFolder(candidate) && GetFileAttributesA(candidate) != INVALID_FILE_ATTRIBUTES) {
        tess::CopyText(folder, size, candidate);
        return;
    }
    tess::CopyText(folder, size, GetThemeFolder());
}

void ChooseBitmap(HWND page, CVellumMenuSection_Systray* section, int row) {
    if (row < 0 || row >= kSystrayButtonStates || !section->m_pBar) return;
    CVellumMenuObject* bar = section->m_pBar;
    char folder[MAX_PATH], title[160], path[MAX_PATH] = "";
    InitialFolder(section, folder, sizeof(folder));
    tess::FormatText(title, sizeof(title), "Select a bitmap for the '%s' state.",
                     kSystrayButtonStateNames[row]);
    if (ShowOpenFileDialog(page, path, title, "Bitmap Files (*.bmp)\0*.bmp\0", folder, true)) {
        ImportBitmapIntoTheme(path, section->BitmapPathRelToSkin, bar->m_skin);
        bar->SetModified();
        bar->UpdateImagePath(section->BitmapPathRelToSkin, path, 0);
    } else {
        path[0] = '\0';
    }
    tess::CopyText(section->m_bitmapPaths[row], path);
    section->LoadTrayButtonBitmaps();
    SetCell(GetDlgItem(page, IDC_SYSTRAY_BITMAPS), row, section->m_bitmapPaths[row]);
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

void OnCommand(HWND page, CVellumMenuSection_Systray* section, int id) {
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar) return;
    switch (id) {
    case IDC_SYSTRAY_ENABLE:
        section->UseTimeFilter = Checked(page, id);
        bar->SetModifiedSilent();
        section->ApplyTrayFilterState();
        break;
    case IDC_SYSTRAY_EXPANDED:
        section->TempDisabled = Checked(page, id);
        bar->SetModifiedSilent();
        section->ApplyTrayFilterState();
        break;
    case IDC_SYSTRAY_AUTOCONTRACT:
        section->Autocontract = Checked(page, id);
        bar->SetModifiedSilent();
        break;
    case IDC_SYSTRAY_BUTTON:
        section->ExpandButtonEnabled = Checked(page, id);
        bar->SetModified();
        EnableBitmapControls(page, section->ExpandButtonEnabled != 0);
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        break;
    case IDC_SYSTRAY_RELATIVE:
        section->BitmapPathRelToSkin = Checked(page, id);
        bar->SetModified();
        for (int i = 0; i < kSystrayButtonStates; ++i) {
            if (!section->m_bitmapPaths[i][0]) continue;
            bar->UpdateImagePath(section->BitmapPathRelToSkin, section->m_bitmapPaths[i], 0);
            SetCell(GetDlgItem(page, IDC_SYSTRAY_BITMAPS), i, section->m_bitmapPaths[i]);
        }
        section->LoadTrayButtonBitmaps();
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        break;
    case IDC_SYSTRAY_CONFIGURE:
        section->PostToServer(tray::WM_TRAYFILTERDIALOG, GetParent(page));
        break;
    case IDC_SYSTRAY_CUSTOMIZE:
        section->PostToServer(tray::WM_TRAYICONDIALOG, GetParent(page));
        break;
    default:
        break;
    }
}

void OnInitDialog(HWND page, CVellumMenuSection_Systray* section) {
    SetPropA(page, kSectionProp, section);
    CheckDlgButton(page, IDC_SYSTRAY_ENABLE, section->UseTimeFilter ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SYSTRAY_EXPANDED, section->TempDisabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SYSTRAY_AUTOCONTRACT, section->Autocontract ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SYSTRAY_BUTTON, section->ExpandButtonEnabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SYSTRAY_RELATIVE, section->BitmapPathRelToSkin ? BST_CHECKED : BST_UNCHECKED);
    FillBitmapList(page, section);
    EnableBitmapControls(page, section->ExpandButtonEnabled != 0);
    SetPropA(page, kInitializedProp, reinterpret_cast<HANDLE>(1));
}

INT_PTR HandlePageMessage(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        OnInitDialog(page, reinterpret_cast<CVellumMenuSection_Systray*>(lp));
        return TRUE;
    }
    CVellumMenuSection_Systray* section = PageSection(page);
    if (!section) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            DestroyWindow(page);
            return TRUE;
        }
        if (GetPropA(page, kInitializedProp) && HIWORD(wp) == BN_CLICKED)
            OnCommand(page, section, LOWORD(wp));
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lp);
        if (header && header->idFrom == IDC_SYSTRAY_BITMAPS && header->code == NM_DBLCLK &&
            GetPropA(page, kInitializedProp))
            ChooseBitmap(page, section,
                         static_cast<int>(SendMessageA(header->hwndFrom, LVM_GETNEXTITEM,
                                                       static_cast<WPARAM>(-1), LVNI_SELECTED)));
        return TRUE;
    }
    case WM_DESTROY:
        if (section->m_pages[0] == page) section->m_pages[0] = nullptr;
        RemovePropA(page, kSectionProp);
        RemovePropA(page, kInitializedProp);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK SystrayPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardDialogProc([&] { return HandlePageMessage(page, msg, wp, lp); });
}

HWND CVellumMenuSection_Systray::CallConfigDialogEx(HWND parent) {
    if (m_pages[0] && IsWindow(m_pages[0])) return m_pages[0];
    m_pages[0] = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SYSTRAY_PAGE),
                                    parent, SystrayPageProc, reinterpret_cast<LPARAM>(this));
    return m_pages[0];
}
