// CTrayIcon and the program menu it opens.
#include "shell/program_tray_icon.h"

#include "shell/main_window.h"
#include "shell/registered_messages.h"
#include "shell/startup.h"
#include "shell/theme_dialogs.h"
#include "shell/theme_file.h"
#include "shell/theme_resources.h"
#include "util/text.h"

namespace {

CTrayIcon* g_icon = nullptr;
bool g_icon_wanted = false;   // shown unless "bHideTrayIcon"
bool g_icon_deferred = false;

}  // namespace

CTrayIcon::CTrayIcon(HWND owner, UINT id, UINT callback_message) {
    data_.cbSize = NOTIFYICONDATAA_V1_SIZE;   // 88: understood by every shell
    data_.hWnd = owner;
    data_.uID = id;
    data_.uFlags = NIF_MESSAGE;
    data_.uCallbackMessage = callback_message;
    menu_ = CreatePopupMenu();
}

CTrayIcon::~CTrayIcon() {
    Delete();
    if (menu_) DestroyMenu(menu_);
}

bool CTrayIcon::Add() {
    if (added_ && Shell_NotifyIconA(NIM_MODIFY, &data_)) return true;
    added_ = Shell_NotifyIconA(NIM_ADD, &data_) ? 1 : 0;
    return added_ != 0;
}

bool CTrayIcon::AddAgain() {
    added_ = 0;
    return Add();
}

bool CTrayIcon::Modify() {
    if (!added_) return false;
    return Shell_NotifyIconA(NIM_MODIFY, &data_) != 0;
}

bool CTrayIcon::Delete() {
    if (!added_) return false;
    added_ = 0;
    return Shell_NotifyIconA(NIM_DELETE, &data_) != 0;
}

void CTrayIcon::SetTip(const char* text) {
    if (text && text[0]) {
        data_.uFlags |= NIF_TIP;
        tess::CopyText(data_.szTip, kTrayTipLength + 1, text);
    } else {
        data_.uFlags &= ~NIF_TIP;
        data_.szTip[0] = '\0';
    }
    Modify();
}

void CTrayIcon::SetIcon(HICON icon) {
    if (icon)
        data_.uFlags |= NIF_ICON;
    else
        data_.uFlags &= ~NIF_ICON;
    data_.hIcon = icon;
    Modify();
}

void CTrayIcon::SetMenu(HMENU menu) {
    if (!menu) return;
    if (menu_) DestroyMenu(menu_);
    menu_ = menu;
}

void CTrayIcon::SetMenuOpeners(int left_up, int right_up, int double_click) {
    open_on_left_up_ = left_up;
    open_on_right_up_ = right_up;
    open_on_double_click_ = double_click;
}

UINT CTrayIcon::Track(UINT flags) {
    HMENU popup = menu_ ? GetSubMenu(menu_, 0) : nullptr;
    if (!popup) return 0;
    POINT pt = {};
    GetCursorPos(&pt);
    SetForegroundWindow(data_.hWnd);
    UINT id = static_cast<UINT>(TrackPopupMenu(popup, TPM_LEFTBUTTON | flags, pt.x, pt.y, 0, data_.hWnd, nullptr));
    PostMessageA(data_.hWnd, WM_NULL, 0, 0);
    return id;
}

LRESULT CTrayIcon::OnNotify(WPARAM, LPARAM mouse_message) {
    const bool open = (mouse_message == WM_LBUTTONUP && open_on_left_up_) ||
                      (mouse_message == WM_RBUTTONUP && open_on_right_up_) ||
                      (mouse_message == WM_LBUTTONDBLCLK && open_on_double_click_);
    if (open) Track(0);
    return 0;
}

UINT CTrayIcon::TrackMenuForCommand() { return Track(TPM_RETURNCMD); }

// ---- the main window's icon ----------------------------------------------------------------

CTrayIcon* GetProgramTrayIcon() { return g_icon; }

void CreateProgramTrayIcon(HWND main_window, bool show) {
    if (g_icon || !main_window) return;
    g_icon = new CTrayIcon(main_window, kProgramTrayIconId, WM_TSTRAYICON);
    g_icon->SetIcon(reinterpret_cast<HICON>(GetClassLongPtrA(main_window, GCLP_HICONSM)));
    g_icon->SetTip("Tessellar");
    g_icon->SetMenu(LoadMenuA(GetAppInstance(), MAKEINTRESOURCEA(IDM_TRAY_MENU)));
    g_icon_wanted = show;
    if (show && !g_icon_deferred) g_icon->Add();
}

void DeferProgramTrayIcon() { g_icon_deferred = true; }

void AddDeferredProgramTrayIcon() {
    if (!g_icon_deferred) return;
    g_icon_deferred = false;
    if (g_icon && g_icon_wanted) g_icon->Add();
}

void ShowProgramTrayIcon(bool show) {
    if (!g_icon) return;
    g_icon_wanted = show;
    if (g_icon_deferred) return;   // added with the deferred start work
    if (show)
        g_icon->Add();
    else
        g_icon->Delete();
}

bool HasProgramTrayIcon() { return g_icon != nullptr; }

LRESULT HandleTrayIconClick(LPARAM mouse_message) {
    return g_icon ? g_icon->OnNotify(0, mouse_message) : 0;
}

void OnShellTaskbarCreated() {
    if (g_icon && g_icon_wanted) g_icon->AddAgain();
}

UINT ShowTrayMenu() {
    if (!g_icon) return 0;
    HWND main = GetMainWindow();
    HMENU menu = LoadMenuA(GetAppInstance(), MAKEINTRESOURCEA(ThemeHasStyles() ? IDM_TRAY_MENU_STYLES : IDM_TRAY_MENU));
    g_icon->SetMenu(menu);
    if (HMENU popup = GetSubMenu(g_icon->GetMenu(), 0))
        SetMenuDefaultItem(popup, GetDoubleClickOpensBrowser() ? kCmdThemeBrowserFromStart : kCmdConfigureTheme,
                           FALSE);
    UINT id = g_icon->TrackMenuForCommand();
    if (main) {
        PostMessageA(main, Msgs().RemoveTempNoCloseVolatile, reinterpret_cast<WPARAM>(main), 0);
        PostMessageA(main, WM_COMMAND, id, 0);
    }
    // The menus offer Save Theme As, which the main window's commands do not
    // run: it opens here.
    if (id == ID_TRAY_SAVE_THEME_AS) ShowSaveThemeAsDialog();
    return id;
}

void FreeProgramTrayIcon() {
    delete g_icon;
    g_icon = nullptr;
}
