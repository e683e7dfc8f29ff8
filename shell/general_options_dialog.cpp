// The General Options dialog (template 1104): three tabs of check boxes over
// GlobalSettings; OK and Apply store and save, Cancel drops the changes.
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <initializer_list>

#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/global_settings.h"
#include "shell/later_stubs.h"
#include "shell/main_window.h"
#include "shell/program_tray_icon.h"
#include "shell/registered_messages.h"
#include "shell/shell_resources.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "skins/skin_painting.h"
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

class GeneralOptionsDialog {
public:
    static INT_PTR CALLBACK Thunk(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
    static HWND s_window;

private:
    explicit GeneralOptionsDialog(HWND dlg) : dlg_(dlg) {}
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
    void OnInitDialog();
    void OnCommand(int id, int code);
    void OnTabChanged();
    void ShowTab(int tab);
    void ApplyLanternfoldRule();
    void ApplyMenubarRule();
    bool Store();
    bool Checked(int id) const { return IsDlgButtonChecked(dlg_, id) == BST_CHECKED; }
    void Check(int id, int on) { CheckDlgButton(dlg_, id, on ? BST_CHECKED : BST_UNCHECKED); }

    HWND dlg_;
    bool run_at_startup_ = false;   // the switch as last shown or stored
};

HWND GeneralOptionsDialog::s_window = nullptr;

INT_PTR CALLBACK GeneralOptionsDialog::Thunk(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    TrackModelessDialog(dlg, msg, wp);
    auto* self = reinterpret_cast<GeneralOptionsDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
    if (msg == WM_INITDIALOG) {
        self = new GeneralOptionsDialog(dlg);
        SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return FALSE;
    INT_PTR result = self->Handle(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        if (s_window == dlg) s_window = nullptr;
        delete self;
    }
    return result;
}

INT_PTR GeneralOptionsDialog::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lp)->idFrom == IDC_GO_TABS &&
            reinterpret_cast<NMHDR*>(lp)->code == TCN_SELCHANGE)
            OnTabChanged();
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dlg_);
        return TRUE;
    }
    return FALSE;
}

void GeneralOptionsDialog::OnInitDialog() {
    HWND tabs = GetDlgItem(dlg_, IDC_GO_TABS);
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
    EnableWindow(GetDlgItem(dlg_, IDC_GO_HIDE_EXPLORER_MENUBARS), s.bHideMenubars != 0);
    Check(IDC_GO_HIDE_DESKTOP_ICONS, s.bDesktopIconsHidden);
    Check(IDC_GO_DESKTOP_RCLICK, s.bDesktopRClickingEnabled);
    Check(IDC_GO_DISABLE_WINTAB, !s.bWinTabEnabled);
    Check(IDC_GO_SMART_MENUS, s.SmartMenusEnabled);
    Check(IDC_GO_HIDE_TRAY_ICON, s.bHideTrayIcon);

    HWND unit = GetDlgItem(dlg_, IDC_GO_SMART_UNIT);
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
    SendDlgItemMessageA(dlg_, IDC_GO_SMART_SPIN, UDM_SETRANGE32, 0, 5000);
    SetDlgItemInt(dlg_, IDC_GO_SMART_AGE, static_cast<UINT>(amount), FALSE);

    ApplyLanternfoldRule();
    ShowTab(0);
}

void GeneralOptionsDialog::ShowTab(int tab) {
    auto show = [this](const int* ids, size_t n, bool visible) {
        for (size_t i = 0; i < n; ++i) ShowWindow(GetDlgItem(dlg_, ids[i]), visible ? SW_SHOW : SW_HIDE);
    };
    show(kTab0Controls, sizeof(kTab0Controls) / sizeof(int), tab == 0);
    show(kTab1Controls, sizeof(kTab1Controls) / sizeof(int), tab == 1);
    show(kTab2Controls, sizeof(kTab2Controls) / sizeof(int), tab == 2);
}

void GeneralOptionsDialog::OnTabChanged() {
    int tab = static_cast<int>(SendDlgItemMessageA(dlg_, IDC_GO_TABS, TCM_GETCURSEL, 0, 0));
    ShowTab(tab < 0 ? 0 : tab);
}

// The tray server may only be kept from starting while the program itself
// does not start with Windows.
void GeneralOptionsDialog::ApplyLanternfoldRule() {
    bool run = Checked(IDC_GO_RUN_AT_STARTUP);
    EnableWindow(GetDlgItem(dlg_, IDC_GO_DISABLE_LANTERNFOLD), !run);
    Check(IDC_GO_DISABLE_LANTERNFOLD, run ? 0 : Settings().bDisableLanternfoldAtStart);
}

void GeneralOptionsDialog::ApplyMenubarRule() {
    EnableWindow(GetDlgItem(dlg_, IDC_GO_HIDE_EXPLORER_MENUBARS), Checked(IDC_GO_HIDE_MENUBARS));
}

void GeneralOptionsDialog::OnCommand(int id, int code) {
    switch (id) {
    case IDOK:
        Store();
        DestroyWindow(dlg_);
        break;
    case kApply:
        Store();
        break;
    case IDCANCEL:
        DestroyWindow(dlg_);
        break;
    case IDC_GO_RUN_AT_STARTUP:
        if (code == BN_CLICKED) ApplyLanternfoldRule();
        break;
    case IDC_GO_HIDE_MENUBARS:
        if (code == BN_CLICKED) ApplyMenubarRule();
        break;
    case IDC_GO_EXCLUSIONS:
        if (code == BN_CLICKED) ShowMenuHidingExclusionsDialog(dlg_);
        break;
    }
}

bool GeneralOptionsDialog::Store() {
    GlobalSettings& s = Settings();

    s.SmartMenusEnabled = Checked(IDC_GO_SMART_MENUS);
    char number[101] = "";
    GetDlgItemTextA(dlg_, IDC_GO_SMART_AGE, number, sizeof(number));
    int amount = atoi(number);
    int unit = static_cast<int>(SendDlgItemMessageA(dlg_, IDC_GO_SMART_UNIT, CB_GETCURSEL, 0, 0));
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
        MessageBoxA(dlg_,
                    "Some options could not be saved in the registry. They stay in effect until "
                    "Tessellar is closed.",
                    "General Options", MB_OK | MB_ICONWARNING);
    }
    return ok;
}

}  // namespace

INT_PTR CALLBACK GeneralOptionsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        return GeneralOptionsDialog::Thunk(dlg, msg, wp, lp);
    } catch (...) {
        return FALSE;
    }
}

HWND GetGeneralOptionsDialog() {
    if (GeneralOptionsDialog::s_window && !IsWindow(GeneralOptionsDialog::s_window))
        GeneralOptionsDialog::s_window = nullptr;
    return GeneralOptionsDialog::s_window;
}

void ShowGeneralOptionsDialog() {
    HWND dlg = GetGeneralOptionsDialog();
    if (!dlg) {
        dlg = CreateDialogParamA(GetAppInstance(), MAKEINTRESOURCEA(IDD_GENERAL_OPTIONS),
                                 GetMainWindow(), GeneralOptionsDialogProc, 0);
        GeneralOptionsDialog::s_window = dlg;
    }
    if (dlg) {
        ShowWindow(dlg, SW_SHOW);
        SetForegroundWindow(dlg);
    }
}
