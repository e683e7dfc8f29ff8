#include "tests/desktop/desktop_stand_ins.h"

#include <commctrl.h>
#include <initializer_list>
#include <shlwapi.h>

namespace desktop_test {

namespace {

constexpr WPARAM kPropertiesCommand = 65949;
constexpr int kAlwaysOnTopId = 1101, kAutoHideId = 1102;

void RegisterPlainClass(const char* cls, WNDPROC proc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc ? proc : DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
}

bool VisibleWithoutRegion(HWND w) {
    RECT r;
    return (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) && GetWindowRgnBox(w, &r) == ERROR;
}

bool HiddenWithEmptyRegion(HWND w) {
    RECT r;
    return !(GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) && GetWindowRgnBox(w, &r) == NULLREGION;
}

// The properties dialog, built from a template in memory: a page dialog
// with the two check boxes inside a top-level dialog.
struct DialogTemplate {
    DLGTEMPLATE head;
    WORD menu, cls, title;
};

HWND CreateEmptyDialog(HWND parent, DWORD style, DLGPROC proc, LPARAM param) {
    static DialogTemplate t = {};
    t.head.style = style;
    t.head.cx = 100;
    t.head.cy = 60;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &t.head, parent, proc, param);
}

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

}  // namespace

// ---- taskbar -----------------------------------------------------------------------------------------

// The class may be registered already with another procedure: each
// stand-in puts its own on its window.
HWND CreateSubclassedWindow(const char* cls, const char* title, DWORD style, int x, int y, WNDPROC proc,
                            void* self) {
    RegisterPlainClass(cls, nullptr);
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, cls, title, style, x, y, 50, 20, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return wnd;
}

StandInTaskbar::StandInTaskbar(bool visible) {
    wnd_ = CreateSubclassedWindow("Shell_TrayWnd", "", WS_POPUP | (visible ? WS_VISIBLE : 0), -3000, -2900,
                                  Proc, this);
}

WatchdogRecorder::WatchdogRecorder() {
    wnd_ = CreateSubclassedWindow("Shell_TrayWnd", "CLanternfold", WS_POPUP, -3000, -2800, Proc, this);
}

WatchdogRecorder::~WatchdogRecorder() { DestroyWindow(wnd_); }

LRESULT CALLBACK WatchdogRecorder::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<WatchdogRecorder*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self && (msg == WM_USER + 662 || msg == WM_USER + 663)) {
        self->last_ = static_cast<int>(msg - WM_USER);
        self->last_param_ = wp;
        ++self->count_;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

StandInTaskbar::~StandInTaskbar() {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    for (const char* p : {"TSHideCount", "uOldHideState", "bActionIsShow", "bAlwaysOnTopWasEnabled",
                          "bAutohideWasEnabled"})
        RemovePropA(wnd_, p);
    DestroyWindow(wnd_);
}

bool StandInTaskbar::Shown() const { return VisibleWithoutRegion(wnd_); }
bool StandInTaskbar::HiddenWithEmptyRegion() const { return desktop_test::HiddenWithEmptyRegion(wnd_); }
int StandInTaskbar::HideCount() const {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(wnd_, "TSHideCount")));
}

void StandInTaskbar::SetChecks(bool always_on_top, bool auto_hide) {
    always_on_top_ = always_on_top;
    auto_hide_ = auto_hide;
}

void StandInTaskbar::OpenProperties() {
    ++properties_opened_;
    if (!answer_from_ || properties_opened_ < answer_from_) return;
    if (dialog_ && IsWindow(dialog_)) return;
    dialog_ = CreateEmptyDialog(nullptr, WS_POPUP | WS_CAPTION, DialogProc,
                                reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK StandInTaskbar::DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<StandInTaskbar*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        self = reinterpret_cast<StandInTaskbar*>(lp);
        HWND page = CreateEmptyDialog(dlg, WS_CHILD | DS_CONTROL, PageProc, 0);
        HWND top = CreateWindowExA(0, "Button", "Always on top", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 80, 12,
                                   page, reinterpret_cast<HMENU>(kAlwaysOnTopId), nullptr, nullptr);
        HWND hide = CreateWindowExA(0, "Button", "Auto hide", WS_CHILD | BS_AUTOCHECKBOX, 0, 14, 80, 12,
                                    page, reinterpret_cast<HMENU>(kAutoHideId), nullptr, nullptr);
        SendMessageA(top, BM_SETCHECK, self->always_on_top_ ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageA(hide, BM_SETCHECK, self->auto_hide_ ? BST_CHECKED : BST_UNCHECKED, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK && self) {
            HWND page = FindWindowExA(dlg, nullptr, "#32770", nullptr);
            self->always_on_top_ = IsDlgButtonChecked(page, kAlwaysOnTopId) == BST_CHECKED;
            self->auto_hide_ = IsDlgButtonChecked(page, kAutoHideId) == BST_CHECKED;
            DestroyWindow(dlg);
            self->dialog_ = nullptr;
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

LRESULT CALLBACK StandInTaskbar::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<StandInTaskbar*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self && msg == WM_COMMAND && wp == kPropertiesCommand) {
        self->OpenProperties();
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

// ---- desktop ------------------------------------------------------------------------------------------

StandInDesktop::StandInDesktop(bool with_list_view, bool icons_visible) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterPlainClass("Progman", nullptr);
    RegisterPlainClass("SHELLDLL_DefView", nullptr);
    progman_ = CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager", WS_POPUP | WS_VISIBLE, -3000,
                               -3000, 50, 50, nullptr, nullptr, nullptr, nullptr);
    view_ = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, progman_,
                            nullptr, nullptr, nullptr);
    if (with_list_view) AddListView(icons_visible);
}

StandInDesktop::~StandInDesktop() { DestroyWindow(progman_); }

void StandInDesktop::AddListView(bool visible) {
    icons_ = CreateWindowExA(0, "SysListView32", "FolderView", WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0, 50,
                             50, view_, nullptr, nullptr, nullptr);
}

bool StandInDesktop::IconsShown() const { return icons_ && VisibleWithoutRegion(icons_); }
bool StandInDesktop::IconsHiddenWithEmptyRegion() const {
    return icons_ && desktop_test::HiddenWithEmptyRegion(icons_);
}

HWND CreateScreenSizedWindow(DWORD style, bool one_pixel_short) {
    RegisterPlainClass("DesktopTestScreenWindow", nullptr);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    return CreateWindowExA(WS_EX_TOOLWINDOW, "DesktopTestScreenWindow", "Screen", style, 0, 0, w,
                           one_pixel_short ? h - 1 : h, nullptr, nullptr, nullptr, nullptr);
}

const char* OwnProgramName() {
    static char name[MAX_PATH] = "";
    if (!name[0]) {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        lstrcpynA(name, PathFindFileNameA(path), MAX_PATH);
    }
    return name;
}

}  // namespace desktop_test
