// The About box: a modeless dialog with link statics drawn in blue and
// separator statics drawn as one etched line.
#include "shell/about_box.h"

#include <cstring>
#include <vector>

#include "shell/browser_resources.h"
#include "shell/web_pages.h"
#include "skins/skin_colors_fonts.h"
#include "util/callback_guard.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr char kBuildPrefix[] = "Build#";

struct AboutState {
    AboutBoxInfo info = {};
    HWND dialog = nullptr;
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR hand = nullptr;
    WNDPROC saved_proc = nullptr;   // every subclassed control is a static
};
AboutState g_about;

HWND Control(HWND dialog, int id) { return id ? GetDlgItem(dialog, id) : nullptr; }

bool PointerOver(HWND control) {
    if (!control) return false;
    POINT pt;
    RECT r;
    return GetCursorPos(&pt) && GetWindowRect(control, &r) && PtInRect(&r, pt);
}

void Subclass(HWND control, WNDPROC proc) {
    if (!control) return;
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    if (previous) g_about.saved_proc = previous;
}

LRESULT CallSaved(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return g_about.saved_proc ? CallWindowProcA(g_about.saved_proc, wnd, msg, wp, lp) : 0;
}

// "SpecialBuild" of the first translation of the module's version resource.
void ShowBuild(HWND build, HINSTANCE module) {
    char file[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(module, file, MAX_PATH);
    if (!n || n >= MAX_PATH) return;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file, &handle);
    if (!size) return;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(file, 0, size, data.data())) return;
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        !translation || length < 2 * sizeof(WORD))
        return;
    char query[64];
    tess::FormatText(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\SpecialBuild", translation[0],
                     translation[1]);
    char* value = nullptr;
    if (!VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&value), &length) || !value) return;
    // The value as stored, bounded by its declared length.
    char text[256];
    tess::CopyTextN(text, sizeof(text), value, length);
    const char* shown = text;
    if (strstr(text, kBuildPrefix) && strlen(text) >= strlen(kBuildPrefix)) shown = text + strlen(kBuildPrefix);
    SetWindowTextA(build, shown);
}

void OnInitDialog(HWND dialog) {
    const AboutBoxInfo& info = g_about.info;
    for (int id : {info.link1_control, info.link2_control}) Subclass(Control(dialog, id), LinkStaticProc);
    for (int id : {info.edge1_control, info.edge2_control}) Subclass(Control(dialog, id), EdgeStaticProc);
    if (!g_about.hand)
        g_about.hand = LoadCursorA(info.instance, MAKEINTRESOURCEA(LOWORD(info.hand_cursor)));
    if (HWND build = Control(dialog, info.build_control)) ShowBuild(build, info.instance);
    RECT r;
    GetWindowRect(dialog, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    MoveWindow(dialog, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
               width, height, TRUE);
}

void UpdateCursor(HWND dialog) {
    const bool over = PointerOver(Control(dialog, g_about.info.link1_control)) ||
                      PointerOver(Control(dialog, g_about.info.link2_control));
    if (over) {
        if (g_about.hand && GetCursor() != g_about.hand)
            SetClassLongPtrA(dialog, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(g_about.hand));
    } else if (GetCursor() != g_about.arrow) {
        SetClassLongPtrA(dialog, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(g_about.arrow));
    }
}

INT_PTR HandleDialog(HWND dialog, UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_PAINT:
    case WM_MOUSEMOVE:
        UpdateCursor(dialog);
        return 0;
    case WM_LBUTTONDOWN: {
        HWND link1 = Control(dialog, g_about.info.link1_control);
        HWND link2 = Control(dialog, g_about.info.link2_control);
        if (PointerOver(link1))
            OpenWebPage(kAboutLink1Url);
        else if (PointerOver(link2))
            OpenWebPage(kAboutLink2Url);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return 0;
    case WM_DESTROY:
        // The class cursor is shared by every dialog of the process: the
        // hand must not outlive the box.
        if (g_about.arrow) SetClassLongPtrA(dialog, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(g_about.arrow));
        if (g_about.dialog == dialog) g_about.dialog = nullptr;
        return 0;
    default:
        return 0;
    }
}

void PaintLink(HWND wnd) {
    char text[200] = "";
    GetWindowTextA(wnd, text, sizeof(text));
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    tess::ScopedFont font(CreatePointFont(dc, "MS Sans Serif", 80, 0, kFontFlagUnderline, true));
    HGDIOBJ old = SelectObject(dc, font.get() ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(SYSTEM_FONT));
    SetTextColor(dc, RGB(0, 0, 255));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 0, 0, text, static_cast<int>(strlen(text)));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    (void)old;
    EndPaint(wnd, &ps);
    ValidateRect(wnd, nullptr);
}

void PaintEdge(HWND wnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    RECT r;
    GetClientRect(wnd, &r);
    DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
    EndPaint(wnd, &ps);
    ValidateRect(wnd, nullptr);
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
    return tess::GuardDialogProc([&]() -> INT_PTR { return HandleDialog(dialog, msg, wp); });
}

LRESULT CALLBACK LinkStaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardSubclassProc(g_about.saved_proc, wnd, msg, wp, lp, [&]() -> LRESULT {
        if (msg != WM_PAINT) return CallSaved(wnd, msg, wp, lp);
        PaintLink(wnd);
        return 0;
    });
}

LRESULT CALLBACK EdgeStaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardSubclassProc(g_about.saved_proc, wnd, msg, wp, lp, [&]() -> LRESULT {
        if (msg != WM_PAINT) return CallSaved(wnd, msg, wp, lp);
        PaintEdge(wnd);
        return 0;
    });
}

int ShowAboutBox(const AboutBoxInfo* info) {
    if (!info) return 0;
    if (g_about.dialog && IsWindow(g_about.dialog)) {
        SetForegroundWindow(g_about.dialog);
        return 0;
    }
    g_about.info = *info;
    HWND dialog = CreateDialogParamA(info->instance, MAKEINTRESOURCEA(info->dialog_template), info->owner,
                                     AboutDialogProc, 0);
    if (!dialog) return 0;
    g_about.dialog = dialog;
    ShowWindow(dialog, SW_SHOWNORMAL);
    SetForegroundWindow(dialog);
    return 1;
}

AboutBoxInfo ProgramAboutBoxInfo(HWND main_window, HINSTANCE instance) {
    AboutBoxInfo info = {};
    info.owner = main_window;
    info.instance = instance;
    info.dialog_template = IDD_ABOUT_BOX;
    info.link1_control = IDC_ABOUT_LINK1;
    info.link2_control = IDC_ABOUT_LINK2;
    info.edge1_control = IDC_ABOUT_EDGE1;
    info.edge2_control = IDC_ABOUT_EDGE2;
    info.build_control = IDC_ABOUT_BUILD;
    info.hand_cursor = IDC_ABOUT_HAND;
    return info;
}

HWND GetAboutBoxWindow() { return g_about.dialog && IsWindow(g_about.dialog) ? g_about.dialog : nullptr; }
