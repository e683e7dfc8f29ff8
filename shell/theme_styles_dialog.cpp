// Change Theme Styles (dialog 1081): the styles of the current theme with
// their pictures; Apply switches to the chosen one.
#include <shlwapi.h>
#include <algorithm>
#include <cstring>

#include "shell/app_state.h"
#include "shell/browser_resources.h"
#include "shell/theme_browser.h"
#include "shell/theme_file.h"
#include "util/dialog_base.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

HWND g_styles_dialog = nullptr;

class ThemeStylesDialog : public tess::DialogBase {
private:
    INT_PTR OnInit() override;
    INT_PTR OnCommand(int id, int code) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void ScanStyles();
    ThemeStyleEntry* Selected() const;
    void Paint();
    void Apply();

    std::vector<std::unique_ptr<ThemeStyleEntry>> styles_;
    tess::ScopedFont bold_;
};

void ThemeStylesDialog::ScanStyles() {
    const char* folder = GetThemeFolder();
    if (!folder[0]) return;
    char pattern[MAX_PATH];
    if (!tess::CopyText(pattern, folder) || !tess::AppendText(pattern, "*.tstheme")) return;
    WIN32_FIND_DATAA fd;
    tess::ScopedFind find(FindFirstFileA(pattern, &fd));
    if (!find) return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (lstrcmpiA(PathFindExtensionA(fd.cFileName), kThemeExtension) != 0) continue;
        if (static_cast<int>(styles_.size()) >= kMaxThemeStyles) break;
        auto style = std::make_unique<ThemeStyleEntry>();
        if (!tess::CopyText(style->path, folder) || !tess::AppendText(style->path, fd.cFileName)) continue;
        char text[kThemeNotesSize] = "";
        if (ReadThemeName(style->path, text, sizeof(text)))
            tess::CopyText(style->name, text);
        else
            tess::CopyText(style->name, fd.cFileName);
        ReadThemeNotes(style->path, text, sizeof(text));
        tess::CopyText(style->description, text);
        style->current = lstrcmpiA(style->path, GetCurrentThemeFile()) == 0;
        style->Thumbnail();
        styles_.push_back(std::move(style));
    } while (FindNextFileA(find.get(), &fd));
    std::stable_sort(styles_.begin(), styles_.end(),
                     [](const std::unique_ptr<ThemeStyleEntry>& a, const std::unique_ptr<ThemeStyleEntry>& b) {
                         return BrowserNameLess(a->name, b->name);
                     });
}

INT_PTR ThemeStylesDialog::OnInit() {
    HWND dlg = Window();
    g_styles_dialog = dlg;
    HINSTANCE instance = ThemeBrowserInstance();
    if (HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_STYLES_WINDOW), IMAGE_ICON, 0, 0,
                                                   LR_DEFAULTSIZE | LR_SHARED))) {
        SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    {
        tess::ScopedWindowDc dc(nullptr);
        bold_.reset(CreateFontA(-MulDiv(9, GetDeviceCaps(dc.get(), LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                                FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "Arial"));
    }
    ScanStyles();
    HWND combo = GetDlgItem(dlg, IDC_TS_STYLES);
    int current = 0;
    for (size_t i = 0; i < styles_.size(); ++i) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(StyleName(styles_[i]->name, "")));
        if (styles_[i]->current) current = static_cast<int>(i);
    }
    SendMessageA(combo, CB_SETCURSEL, current, 0);
    EnableWindow(combo, styles_.size() >= 2);
    return TRUE;
}

ThemeStyleEntry* ThemeStylesDialog::Selected() const {
    const int choice = static_cast<int>(SendDlgItemMessageA(Window(), IDC_TS_STYLES, CB_GETCURSEL, 0, 0));
    if (choice < 0 || choice >= static_cast<int>(styles_.size())) return nullptr;
    return styles_[choice].get();
}

void ThemeStylesDialog::Paint() {
    HWND dlg = Window();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dlg, &ps);
    RECT box = {};
    if (HWND frame = GetDlgItem(dlg, IDC_TS_PREVIEW)) {
        GetWindowRect(frame, &box);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&box), 2);
        FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        const int x = box.left + (box.right - box.left - 100) / 2;
        const int y = box.top + (box.bottom - box.top - 75) / 2;
        ThemeStyleEntry* style = Selected();
        const int old_mode = SetBkMode(dc, TRANSPARENT);
        const COLORREF old_colour = SetTextColor(dc, RGB(0, 0, 0));
        DrawBrowserThumbnail(dc, style ? style->thumbnail : nullptr, x, y, bold_.get());
        SetTextColor(dc, old_colour);
        SetBkMode(dc, old_mode);
    }
    EndPaint(dlg, &ps);
}

void ThemeStylesDialog::Apply() {
    ThemeStyleEntry* style = Selected();
    if (style && style->path[0] && lstrcmpiA(style->path, GetCurrentThemeFile()) != 0) {
        char folder[MAX_PATH] = "";
        if (GetParentFolder(folder, style->path, true) && lstrcmpiA(folder, GetThemeFolder()) == 0) {
            char path[MAX_PATH];
            tess::CopyText(path, style->path);
            SwitchThemeStyle(path);
        }
    }
    if (IsWindow(Window())) SetForegroundWindow(Window());
}

INT_PTR ThemeStylesDialog::OnCommand(int id, int code) {
    switch (id) {
    case IDOK:
        Apply();
        return TRUE;
    case IDCANCEL:
        DestroyWindow(Window());
        return TRUE;
    case IDC_TS_STYLES:
        if (code == CBN_SELCHANGE) InvalidateRect(Window(), nullptr, TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR ThemeStylesDialog::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    TrackModelessDialog(Window(), msg, wp);
    if (msg == WM_PAINT) {
        Paint();
        return TRUE;
    }
    if (msg == WM_DESTROY && g_styles_dialog == Window()) {
        g_styles_dialog = nullptr;
        styles_.clear();
        bold_.reset();
    }
    return FALSE;
}

}  // namespace

HWND GetThemeStylesWindow() { return g_styles_dialog && IsWindow(g_styles_dialog) ? g_styles_dialog : nullptr; }

void ShowThemeStylesDialog() {
    if (HWND open = GetThemeStylesWindow()) {
        SetForegroundWindow(open);
        return;
    }
    HINSTANCE instance = ThemeBrowserInstance();
    HWND wnd = tess::DialogBase::CreateModeless(std::make_unique<ThemeStylesDialog>(), instance,
                                                MAKEINTRESOURCEA(IDD_THEME_STYLES), nullptr);
    if (!wnd) return;
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
}
