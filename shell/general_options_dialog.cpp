// The General Options dialog (template 1104): three tabs of check boxes over
// GlobalSettings; OK and Apply store and save, Cancel drops the changes.
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <initializer_list>
#include <memory>

#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/global_settings.h"
#include "shell/desktop_right_click.h"
#include "shell/menu_hiding_exclusions.h"
#include "shell/main_window.h"
#include "shell/program_tray_icon.h"
#include "shell/registered_messages.h"
#include "shell/shell_resources.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "skins/skin_painting.h"
#include "util/dialog_base.h"
#include "util/text.h"

namespace {

constexpr int kApply = 3;

const int kTab0Controls[] = {IDC_GO_HIDE_DESKTOP_ICONS, IDC_GO_DESKTOP_RCLICK, IDC_GO_HIDE_MENUBARS,
                             IDC_GO_HIDE_EXPLORER_MENUBARS, IDC_GO_EXCLUSIONS, IDC_GO_SMART_MENUS,
                             IDC_GO_SMART_LABEL, IDC_GO_SMART_AGE, IDC_GO_SMART_SPIN,
                             IDC_GO_SMART_UNIT};
const int kTab1Controls[] = {IDC_GO_RUN_AT_STARTUP, IDC_GO_DISABLE_LANTERNFOLD,
                             IDC_GO_HIDE_TRAY_ICON};
const int kTab2Controls[] = {IDC_GO_DISABLE_ANIMATIONS, IDC_GO_DISABLE_GLOW,
                             IDC_GO_DISABLE_DOUBLECLICK, IDC_GO_DISABLE_WINTAB};

// Units of the smart-menu age, in the combo box's order.
enum SmartUnit { kDays = 0, kWeeks = 1, kMonths = 2 };

class GeneralOptionsDialog : public tess::DialogBase {
public:
    static HWND s_window;

private:
    INT_PTR OnInit() override;
    INT_PTR OnCommand(int id, int code) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnTabChanged();
    void ShowTab(int tab);
    void ApplyLanternfoldRule();
    void ApplyMenubarRule();
    bool Store();
    bool Checked(int id) const { return IsDlgButtonChecked(Window(), id) == BST_CHECKED; }
    void Check(int id, int on) { CheckDlgButton(Window(), id, on ? BST_CHECKED : BST_UNCHECKED); }

    bool run_at_startup_ = false;   // the switch as last shown or stored
};

HWND GeneralOptionsDialog::s_window = nullptr;

INT_PTR GeneralOptionsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    TrackModelessDialog(Window(), msg, wp);
    switch (msg) {
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lp)->idFrom == IDC_GO_TABS &&
            reinterpret_cast<NMHDR*>(lp)->code == TCN_SELCHANGE)
            OnTabChanged();
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(Window());
        return TRUE;
    case WM_NCDESTROY:
        if (s_window == Window()) s_window = nullptr;
        return FALSE;
    }
    return FALSE;
}

INT_PTR GeneralOptionsDialog::OnInit() {
    HWND tabs = GetDlgItem(Window(), IDC_GO_TABS);
    const char* names[] = {"Extra Feature Options", "Startup Options", "Troubleshooting Options"};
    for (int i = 0; i < 3; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    const GlobalSettings& s = Settings();
    run_at_startup_ = IsRunAtStartupOn();
    Check(IDC_GO_RUN_AT_STARTUP, run_at_startup_);
    Check(IDC_GO_DISABLE_GLOW, s.bDisableGlow);
    Check(IDC_GO_DISABLE_DOUBLECLICK, s.bDisableDoubleClicking);
    Check(IDC_GO_DISABLE_ANIMATIONS, s.bDisableAnimations);
    Check(IDC_GO_HIDE_MENUBARS, s.bHideMenubars);
    Check(IDC_GO_HIDE_EXPLORER_MENUBARS, s.bHideExplorerMenubars);
    EnableWindow(GetDlgItem(Window(), IDC_GO_HIDE_EXPLORER_MENUBARS), s.bHideMenubars != 0);
    Check(IDC_GO_HIDE_DESKTOP_ICONS, s.bDesktopIconsHidden);
    Check(IDC_GO_DESKTOP_RCLICK, s.bDesktopRClickingEnabled);
    Check(IDC_GO_DISABLE_WINTAB, !s.bWinTabEnabled);
    Check(IDC_GO_SMART_MENUS, s.SmartMenusEnabled);
    Check(IDC_GO_HIDE_TRAY_ICON, s.bHideTrayIcon);

    HWND unit = GetDlgItem(Window(), IDC_GO_SMART_UNIT);
    for (const char* u : {"Days", "Weeks", "Months"})
        SendMessageA(unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
    int selected = kWeeks, amount = s.SmartMenus_Weeks;
    if (s.SmartMenus_Days) {
        selected = kDays;
        amount = s.SmartMenus_Days;
    } else if (s.SmartMenus_Months) {
        selected = kMonths;
        amount = s.SmartMenus_Months;
    }
    SendMessageA(unit, CB_SETCURSEL, selected, 0);
    SendDlgItemMessageA(Window(), IDC_GO_SMART_SPIN, UDM_SETRANGE32, 0, 5000);
    SetDlgItemInt(Window(), IDC_GO_SMART_AGE, static_cast<UINT>(amount), FALSE);

    ApplyLanternfoldRule();
    ShowTab(0);
    return TRUE;
}

void GeneralOptionsDialog::ShowTab(int tab) {
    auto show = [this](const int* ids, size_t n, bool visible) {
        for (size_t i = 0; i < n; ++i) ShowWindow(GetDlgItem(Window(), ids[i]), visible ? SW_SHOW : SW_HIDE);
    };
    show(kTab0Controls, sizeof(kTab0Controls) / sizeof(int), tab == 0);
    show(kTab1Controls, sizeof(kTab1Controls) / sizeof(int), tab == 1);
    show(kTab2Controls, sizeof(kTab2Controls) / sizeof(int), tab == 2);
}

void GeneralOptionsDialog::OnTabChanged() {
    int tab = static_cast<int>(SendDlgItemMessageA(Window(), IDC_GO_TABS, TCM_GETCURSEL, 0, 0));
    ShowTab(tab < 0 ? 0 : tab);
}

// The tray server may only be kept from starting while the program itself
// does not start with Windows.
void GeneralOptionsDialog::ApplyLanternfoldRule() {
    bool run = Checked(IDC_GO_RUN_AT_STARTUP);
    EnableWindow(GetDlgItem(Window(), IDC_GO_DISABLE_LANTERNFOLD), !run);
    Check(IDC_GO_DISABLE_LANTERNFOLD, run ? 0 : Settings().bDisableLanternfoldAtStart);
}

void GeneralOptionsDialog::ApplyMenubarRule() {
    EnableWindow(GetDlgItem(Window(), IDC_GO_HIDE_EXPLORER_MENUBARS), Checked(IDC_GO_HIDE_MENUBARS));
}

INT_PTR GeneralOptionsDialog::OnCommand(int id, int code) {
    switch (id) {
    case IDOK:
        Store();
        DestroyWindow(Window());
        break;
    case kApply:
        Store();
        break;
    case IDCANCEL:
        DestroyWindow(Window());
        break;
    case IDC_GO_RUN_AT_STARTUP:
        if (code == BN_CLICKED) ApplyLanternfoldRule();
        break;
    case IDC_GO_HIDE_MENUBARS:
        if (code == BN_CLICKED) ApplyMenubarRule();
        break;
    case IDC_GO_EXCLUSIONS:
        if (code == BN_CLICKED) ShowMenuHidingExclusionsDialog(Window());
        break;
    }
    return TRUE;
}

bool GeneralOptionsDialog::Store() {
    GlobalSettings& s = Settings();

    s.SmartMenusEnabled = Checked(IDC_GO_SMART_MENUS);
    char number[101] = "";
    GetDlgItemTextA(Window(), IDC_GO_SMART_AGE, number, sizeof(number));
    int amount = atoi(number);
    int unit = static_cast<int>(SendDlgItemMessageA(Window(), IDC_GO_SMART_UNIT, CB_GETCURSEL, 0, 0));
    s.SmartMenus_Days = unit == kDays ? amount : 0;
    s.SmartMenus_Weeks = unit == kWeeks ? amount : 0;
    s.SmartMenus_Months = unit == kMonths ? amount : 0;
    InvalidateSmartMenusCutoff();

    int lanternfold = Checked(IDC_GO_DISABLE_LANTERNFOLD);
    if (lanternfold != s.bDisableLanternfoldAtStart) {
        s.bDisableLanternfoldAtStart = lanternfold;
        SyncTrayIconServerAutostart();
    }
    int hide_icon = Checked(IDC_GO_HIDE_TRAY_ICON);
    if (hide_icon != s.bHideTrayIcon) {
        s.bHideTrayIcon = hide_icon;
        if (HasProgramTrayIcon() && GetMainWindow())
            PostMessageA(GetMainWindow(), Msgs().ShowTrayIcon, 0, 0);
    }
    s.bWinTabEnabled = !Checked(IDC_GO_DISABLE_WINTAB);
    StatsMonitorSetWinTabEnabled(s.bWinTabEnabled);
    s.bDisableGlow = Checked(IDC_GO_DISABLE_GLOW);
    SetSkinGlowDisabled(s.bDisableGlow != 0);
    s.bDisableDoubleClicking = Checked(IDC_GO_DISABLE_DOUBLECLICK);
    s.bDisableAnimations = Checked(IDC_GO_DISABLE_ANIMATIONS);
    int icons_hidden = Checked(IDC_GO_HIDE_DESKTOP_ICONS);
    if (icons_hidden != s.bDesktopIconsHidden) {
        s.bDesktopIconsHidden = icons_hidden;
        SetDesktopIconsHidden(icons_hidden, 0);
    }
    int rclick = Checked(IDC_GO_DESKTOP_RCLICK);
    if (rclick != s.bDesktopRClickingEnabled) {
        s.bDesktopRClickingEnabled = rclick;
        UpdateDesktopRightClickHook();
    }
    bool ok = true;
    bool run = Checked(IDC_GO_RUN_AT_STARTUP);
    if (run != run_at_startup_) {
        if (SetRunAtStartup(run))
            run_at_startup_ = run;
        else
            ok = false;
    }
    ok = SaveGlobalSettings() && ok;
    if (!ok && !IsPresetMode()) {
        MessageBoxA(Window(),
                    "Some options could not be saved in the registry. They stay in effect until "
                    "Tessellar is closed.",
                    "General Options", MB_OK | MB_ICONWARNING);
    }
    return ok;
}

}  // namespace

INT_PTR CALLBACK GeneralOptionsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::DialogBase::Proc(dlg, msg, wp, lp);
}

HWND GetGeneralOptionsDialog() {
    if (GeneralOptionsDialog::s_window && !IsWindow(GeneralOptionsDialog::s_window))
        GeneralOptionsDialog::s_window = nullptr;
    return GeneralOptionsDialog::s_window;
}

void ShowGeneralOptionsDialog() {
    HWND dlg = GetGeneralOptionsDialog();
    if (!dlg) {
        dlg = tess::DialogBase::CreateModeless(std::make_unique<GeneralOptionsDialog>(), GetAppInstance(),
                                               MAKEINTRESOURCEA(IDD_GENERAL_OPTIONS), GetMainWindow());
        GeneralOptionsDialog::s_window = dlg;
    }
    if (dlg) {
        ShowWindow(dlg, SW_SHOW);
        SetForegroundWindow(dlg);
    }
}
