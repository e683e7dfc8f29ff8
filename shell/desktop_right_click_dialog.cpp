// Dialog 1108 "Desktop Right-Click Popup Menu": the open bars on the left,
// the theme's desktop right-click bars on the right. Changes apply to the
// list at once and are written by the next theme save; OK and Cancel only
// close the dialog.
#include <string>

#include "shell/app_state.h"
#include "shell/desktop_resources.h"
#include "shell/desktop_right_click.h"
#include "shell/startup.h"
#include "shell/type_services.h"

namespace {

constexpr char kSeparatorLine[] = " ------------------ ";
constexpr int kDialogTextSize = 1060;

HWND g_dialog = nullptr;

std::string SelectedText(HWND list) {
    LRESULT line = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (line < 0) return std::string();
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(line), 0);
    if (length < 0 || length >= kDialogTextSize) return std::string();
    char text[kDialogTextSize] = "";
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text));
    return text;
}

// The handler item's own list filler; without a handler item only the
// listed bars are shown.
void FillLists(HWND dlg) {
    ShellTypeServices& services = GetShellTypeServices();
    CVellumMenuItem* item = GetDesktopRightClickItem();
    if (item && services.FillDesktopHandlerLists) {
        services.FillDesktopHandlerLists(item, dlg);
        return;
    }
    HWND listed = GetDlgItem(dlg, IDC_DRC_LISTED);
    SendMessageA(listed, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < GetDesktopRightClickBarCount(); ++i)
        SendMessageA(listed, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetDesktopRightClickBarTitle(i)));
}

void AfterChange(HWND dlg) {
    FillLists(dlg);
    UpdateDesktopRightClickHook();
}

void AddSelected(HWND dlg) {
    std::string name = SelectedText(GetDlgItem(dlg, IDC_DRC_AVAILABLE));
    if (name.empty() || name == kSeparatorLine) return;
    if (GetDesktopRightClickBarCount() >= kMaxDesktopRightClickBars) return;
    if (AddDesktopRightClickBar(name.c_str())) AfterChange(dlg);
}

void RemoveSelected(HWND dlg) {
    std::string name = SelectedText(GetDlgItem(dlg, IDC_DRC_LISTED));
    if (name.empty()) return;
    if (RemoveDesktopRightClickBar(name.c_str())) AfterChange(dlg);
}

}  // namespace

INT_PTR CALLBACK DesktopRightClickBarsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    TrackModelessDialog(dlg, msg, wp);
    switch (msg) {
    case WM_INITDIALOG:
        FillLists(dlg);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wp) FillLists(dlg);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_DRC_ADD:
            AddSelected(dlg);
            return TRUE;
        case IDC_DRC_REMOVE:
            RemoveSelected(dlg);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            DestroyWindow(dlg);
            return TRUE;
        default:
            break;
        }
        break;
    case WM_DESTROY:
        if (g_dialog == dlg) g_dialog = nullptr;
        break;
    default:
        break;
    }
    return FALSE;
}

void ShowDesktopRightClickBarsDialog() {
    if (g_dialog && IsWindow(g_dialog)) {
        ShowWindow(g_dialog, SW_SHOW);
        FillLists(g_dialog);
        SetForegroundWindow(g_dialog);
        return;
    }
    HINSTANCE instance = GetAppInstance() ? GetAppInstance() : GetModuleHandleA(nullptr);
    g_dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_DESKTOP_RIGHT_CLICK_BARS), nullptr,
                                  DesktopRightClickBarsDialogProc, 0);
    if (g_dialog) ShowWindow(g_dialog, SW_SHOW);
}

HWND GetDesktopRightClickBarsDialog() { return g_dialog && IsWindow(g_dialog) ? g_dialog : nullptr; }
