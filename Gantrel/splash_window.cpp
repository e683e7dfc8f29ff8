#include "Gantrel/splash_window.h"

#include "Gantrel/module.h"
#include "Gantrel/resource.h"
#include "Gantrel/utils.h"
#include "util/callback_guard.h"

namespace gantrel {

CSplashWindow::CSplashWindow() : black_(CreateSolidBrush(RGB(0, 0, 0))) {}

CSplashWindow::~CSplashWindow() { Destroy(); }

bool CSplashWindow::Create(const std::string& caption, const std::string& status) {
    caption_ = caption;
    status_ = status;
    HWND wnd = CreateDialogParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_SPLASH), nullptr, DialogThunk,
                                  reinterpret_cast<LPARAM>(this));
    return wnd != nullptr && wnd_ == wnd;
}

void CSplashWindow::Place(int x, int y) {
    if (!Exists()) return;
    RECT r;
    GetWindowRect(wnd_, &r);
    if (x == -1) {
        x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    }
    SetWindowPos(wnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSplashWindow::Show() {
    if (!Exists()) return;
    ShowWindow(wnd_, SW_SHOW);
    UpdateWindow(wnd_);
}

void CSplashWindow::SetTexts(const std::string& caption, const std::string& status) {
    caption_ = caption;
    status_ = status;
    WriteLines();
}

void CSplashWindow::SetCaption(const std::string& caption) { SetTexts(caption, status_); }
void CSplashWindow::SetStatus(const std::string& status) { SetTexts(caption_, status); }

bool CSplashWindow::LoadIcon(const std::string& path, int index) {
    if (!Exists() || path.empty()) return false;
    HICON large = nullptr, small = nullptr;
    UINT n = ExtractIconExA(path.c_str(), index, &large, &small, 1);
    tess::ScopedIcon new_large(large), new_small(small);
    if (n == 0 || n == UINT(-1) || !large) return false;
    SendMessageA(icon_control_, STM_SETICON, reinterpret_cast<WPARAM>(large), 0);
    large_icon_ = std::move(new_large);
    small_icon_ = std::move(new_small);
    UpdateWindow(wnd_);
    PumpMessages();
    return true;
}

void CSplashWindow::Destroy() {
    if (Exists()) DestroyWindow(wnd_);
    wnd_ = nullptr;
}

void CSplashWindow::WriteLines() {
    if (!Exists()) return;
    SetDlgItemTextA(wnd_, IDC_SPLASH_CAPTION, caption_.c_str());
    SetDlgItemTextA(wnd_, IDC_SPLASH_STATUS, status_.c_str());
    UpdateWindow(wnd_);
}

INT_PTR CALLBACK CSplashWindow::DialogThunk(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return tess::GuardDialogProc([&]() -> INT_PTR {
        CSplashWindow* self = nullptr;
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<CSplashWindow*>(lparam);
            SetWindowLongPtrA(wnd, DWLP_USER, lparam);
            self->wnd_ = wnd;
        } else {
            self = reinterpret_cast<CSplashWindow*>(GetWindowLongPtrA(wnd, DWLP_USER));
        }
        if (!self) return FALSE;
        return self->HandleMessage(message, wparam, lparam);
    });
}

INT_PTR CSplashWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_NCDESTROY: OnNcDestroy(); return FALSE;
    default: return FALSE;
    }
}

BOOL CSplashWindow::OnInitDialog() {
    icon_control_ = GetDlgItem(wnd_, IDC_SPLASH_ICON);
    status_control_ = GetDlgItem(wnd_, IDC_SPLASH_STATUS);
    SetDlgItemTextA(wnd_, IDC_SPLASH_CAPTION, caption_.c_str());
    SetDlgItemTextA(wnd_, IDC_SPLASH_STATUS, status_.c_str());
    return FALSE;   // the splash takes no focus
}

INT_PTR CSplashWindow::OnCtlColorStatic(HDC dc, HWND control) {
    if (control != status_control_) return FALSE;
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<INT_PTR>(black_.get());
}

void CSplashWindow::OnNcDestroy() {
    SetWindowLongPtrA(wnd_, DWLP_USER, 0);
    wnd_ = nullptr;
    icon_control_ = status_control_ = nullptr;
}

}  // namespace gantrel
