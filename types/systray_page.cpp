// Page 1062 of the system tray section: the filtering switches, the button
// switch and the seven button bitmaps with their chooser.
#include <windows.h>
#include <commctrl.h>
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/config_pages.h"
#include "shell/icon_import.h"
#include "skins/skin_record.h"
#include "types/systray_resources.h"
#include "types/systray_section.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

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
    ThemeBrowseFolder("Bars\\Bitmaps\\", folder, size);
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

void ApplyControl(HWND page, CVellumMenuSection_Systray* section, int id) {
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

// Kept in the section's first page slot, as the section shows its
// switches in place of the plain Behavior page.
class SystrayPage : public ConfigPage {
public:
    explicit SystrayPage(CVellumMenuSection_Systray* section)
        : ConfigPage(PageObjectKind::kSection, section, PageSlotsOf(section), 0), section_(section) {}

private:
    void Fill() override {
        Check(IDC_SYSTRAY_ENABLE, section_->UseTimeFilter != 0);
        Check(IDC_SYSTRAY_EXPANDED, section_->TempDisabled != 0);
        Check(IDC_SYSTRAY_AUTOCONTRACT, section_->Autocontract != 0);
        Check(IDC_SYSTRAY_BUTTON, section_->ExpandButtonEnabled != 0);
        Check(IDC_SYSTRAY_RELATIVE, section_->BitmapPathRelToSkin != 0);
        FillBitmapList(Window(), section_);
        EnableBitmapControls(Window(), section_->ExpandButtonEnabled != 0);
    }

    void Apply(int id, int code) override {
        if (code == BN_CLICKED) ApplyControl(Window(), section_, id);
    }

    INT_PTR OnPageMessage(UINT msg, WPARAM, LPARAM lp) override {
        if (msg != WM_NOTIFY) return FALSE;
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lp);
        if (header && header->idFrom == IDC_SYSTRAY_BITMAPS && header->code == NM_DBLCLK && Initialized())
            ChooseBitmap(Window(), section_,
                         static_cast<int>(SendMessageA(header->hwndFrom, LVM_GETNEXTITEM,
                                                       static_cast<WPARAM>(-1), LVNI_SELECTED)));
        return TRUE;
    }

    bool KeepsLastTab() const override { return true; }

    CVellumMenuSection_Systray* section_;
};

}  // namespace

HWND CVellumMenuSection_Systray::CallConfigDialogEx(HWND parent) {
    return ConfigPage::Open(std::make_unique<SystrayPage>(this), GetModuleHandleA(nullptr), IDD_SYSTRAY_PAGE,
                            parent);
}
