// The theme browser window (dialog 319): the tab view, the four owner-drawn
// lists, loading, browsing and deleting themes and bars.
#include "shell/theme_browser.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <cstring>
#include <string>

#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/browser_resources.h"
#include "shell/main_window.h"
#include "shell/program_tray_icon.h"
#include "shell/theme_documents.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "shell/theme_menus.h"
#include "shell/web_pages.h"
#include "util/dialog_base.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr int kEntryHeight = 80;
constexpr COLORREF kOddRowColour = RGB(237, 237, 237);
constexpr COLORREF kTabViewColour = RGB(128, 128, 128);

struct TabInfo {
    const char* text;
    int icon;
};
constexpr TabInfo kTabs[] = {
    {"Available Themes", IDI_BROWSER_THEMES},
    {"Recent Themes", IDI_BROWSER_RECENT},
    {"Bars from This Theme", IDI_BROWSER_BARS},
    {"All Available Bars", IDI_BROWSER_BARS},
    {"Themes on the Internet", IDI_BROWSER_WEB},
};
constexpr const char* kTabTitles[] = {"Tessellar - Theme Browser", "Tessellar - Recent Theme Browser",
                                      "Tessellar - Bar Browser", "Tessellar - Bar Browser"};

struct BrowserState {
    HINSTANCE instance = nullptr;
    HWND modeless = nullptr;
    HWND modal = nullptr;
    int active_tab = 0;
    char* result = nullptr;          // modal browser's buffer
    size_t result_size = 0;
    tess::ScopedFont bold, normal, small;
    tess::ScopedImageList images;
    HICON icon = nullptr;            // shared resource icon, never destroyed
};
BrowserState g_browser;

HINSTANCE Instance() { return g_browser.instance ? g_browser.instance : GetModuleHandleA(nullptr); }
bool IsModal(HWND dialog) { return dialog && dialog == g_browser.modal; }

HFONT MakeArial(HDC dc, int points, int weight) {
    return CreateFontA(-MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "Arial");
}

void MakeFonts() {
    tess::ScopedWindowDc dc(nullptr);
    g_browser.bold.reset(MakeArial(dc.get(), 9, FW_BOLD));
    g_browser.normal.reset(MakeArial(dc.get(), 9, FW_NORMAL));
    g_browser.small.reset(MakeArial(dc.get(), 7, FW_NORMAL));
}

int TabOfList(int id) {
    for (int tab = 0; tab < kBrowserTabCount; ++tab)
        if (kBrowserListIds[tab] == id) return tab;
    return -1;
}

// The entry behind a list position, null when none.
ThemeBrowserEntry* EntryAt(int tab, int position) {
    const BrowserTable& table = GetBrowserTable(tab);
    if (position < 0 || position >= static_cast<int>(table.size())) return nullptr;
    return table[position].get();
}

int SelectedPosition(HWND dialog, int tab) {
    return static_cast<int>(SendDlgItemMessageA(dialog, kBrowserListIds[tab], LB_GETCURSEL, 0, 0));
}

// The table and its list box, emptied together so the list never names
// entries that are gone.
void FreeTab(HWND dialog, int tab) {
    FreeBrowserList(tab);
    if (dialog) SendDlgItemMessageA(dialog, kBrowserListIds[tab], LB_RESETCONTENT, 0, 0);
}

void ShowControls(HWND dialog, std::initializer_list<int> ids, bool show) {
    for (int id : ids) ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

void FreeDialogResources() {
    FreeBrowserResources();
    g_browser.bold.reset();
    g_browser.normal.reset();
    g_browser.small.reset();
    g_browser.images.reset();
}

bool ShownByFolder(const ThemeBrowserEntry& e) { return e.styles.size() >= 2 && e.folder[0]; }

void OpenBarFile(const char* path, bool as_template) {
    HWND main = GetMainWindow();
    if (!main || !path || !path[0]) return;
    char file[MAX_PATH];
    if (!tess::CopyText(file, path)) return;
    auto* bar = new CVellumMenuObject(main);
    if (!bar->m_hWnd) {
        bar->Release();
        return;
    }
    bar->LoadTheme(file, 1, nullptr);
    if (LiveBarOfWindow(bar->m_hWnd) != bar) return;
    // Saved as a new bar file: the template stays as it is.
    if (as_template) bar->m_barFile[0] = '\0';
    bar->Show(1);
}

// "_ss.bmp" beside a ".tstheme" or ".tsbar" file.
bool PicturePath(const char* file, char* out, size_t size) {
    if (!tess::CopyText(out, size, file)) return false;
    char* ext = PathFindExtensionA(out);
    *ext = '\0';
    return tess::AppendText(out, size, "_ss.bmp");
}

class ThemeBrowserDialog : public tess::DialogBase {
public:
    ThemeBrowserDialog(int tab, bool modal) : requested_tab_(tab), modal_(modal) {}

private:
    INT_PTR OnInit() override;
    INT_PTR OnCommand(int id, int code) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void FillTabView(bool modal);
    void OnListSelChange(int tab);
    void OnStyleChange();
    void OnTabViewNotify(const NMHDR* hdr);
    void DrawEntry(const DRAWITEMSTRUCT* dis);
    void BrowseThemes();
    void BrowseBars();
    void ResetRecent();
    void DeleteTheme();
    void DeleteBar();
    void Close();

    int requested_tab_;
    bool modal_;
};

INT_PTR ThemeBrowserDialog::OnInit() {
    HWND dlg = Window();
    const bool modal = modal_;
    if (modal) {
        g_browser.modal = dlg;
        SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else {
        g_browser.modeless = dlg;
    }
    if (!g_browser.icon)
        g_browser.icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDI_BROWSER_WINDOW),
                                                       IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    if (g_browser.icon) {
        SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_browser.icon));
        SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_browser.icon));
    }
    EnableWindow(GetDlgItem(dlg, IDC_TB_STYLES), FALSE);
    for (int id : kBrowserListIds) SendDlgItemMessageA(dlg, id, LB_SETITEMHEIGHT, 0, kEntryHeight);
    MakeFonts();
    FillTabView(modal);
    SelectBrowserTab(dlg, requested_tab_);
    HWND view = GetDlgItem(dlg, IDC_TB_TABS);
    int item = 0;
    if (!modal) {
        LVFINDINFOA find = {};
        find.flags = LVFI_PARAM;
        find.lParam = requested_tab_;
        item = static_cast<int>(SendMessageA(view, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    }
    if (item >= 0) {
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(view, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
    }
    return TRUE;
}

void ThemeBrowserDialog::FillTabView(bool modal) {
    HWND view = GetDlgItem(Window(), IDC_TB_TABS);
    g_browser.images.reset(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 5, 1));
    SendMessageA(view, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g_browser.images.get()));
    SendMessageA(view, LVM_SETBKCOLOR, 0, kTabViewColour);
    SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, kTabViewColour);
    SendMessageA(view, LVM_SETTEXTCOLOR, 0, RGB(255, 255, 255));
    SendMessageA(view, LVM_SETICONSPACING, 0, MAKELPARAM(75, 75));
    const int first = modal ? 2 : 0, last = modal ? 3 : kBrowserWebTab;
    for (int tab = first; tab <= last; ++tab) {
        int image = -1;
        if (HICON icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(kTabs[tab].icon), IMAGE_ICON,
                                                       32, 32, 0))) {
            image = ImageList_AddIcon(g_browser.images.get(), icon);
            DestroyIcon(icon);
        }
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = tab - first;
        item.pszText = const_cast<char*>(kTabs[tab].text);
        item.iImage = image;
        item.lParam = tab;
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

INT_PTR ThemeBrowserDialog::OnCommand(int id, int code) {
    const int tab = TabOfList(id);
    if (tab >= 0) {
        if (code == LBN_SELCHANGE) OnListSelChange(tab);
        if (code == LBN_DBLCLK) LoadSelectedEntry(Window(), false);
        return TRUE;
    }
    switch (id) {
    case IDC_TB_STYLES:
        if (code == CBN_SELCHANGE) OnStyleChange();
        return TRUE;
    case IDOK:
        LoadSelectedEntry(Window(), false);
        return TRUE;
    case IDC_TB_LOAD_TEMPLATE:
        LoadSelectedEntry(Window(), true);
        return TRUE;
    case IDC_TB_BROWSE_THEME:
        BrowseThemes();
        return TRUE;
    case IDC_TB_BROWSE_BAR:
        BrowseBars();
        return TRUE;
    case IDC_TB_RESET_RECENT:
        ResetRecent();
        return TRUE;
    case IDC_TB_DELETE:
        DeleteTheme();
        return TRUE;
    case IDC_TB_DELETE_BAR:
        DeleteBar();
        return TRUE;
    case IDCANCEL:
        Close();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR ThemeBrowserDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    TrackModelessDialog(Window(), msg, wp);
    switch (msg) {
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = kEntryHeight;
        SetWindowLongPtrA(Window(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_DRAWITEM:
        if (TabOfList(static_cast<int>(wp)) < 0) return FALSE;
        DrawEntry(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        SetWindowLongPtrA(Window(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lp)->idFrom == IDC_TB_TABS) OnTabViewNotify(reinterpret_cast<const NMHDR*>(lp));
        return FALSE;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wp) == GetDlgItem(Window(), IDC_TB_TABS)) return FALSE;
        ShowTrayMenu();
        return TRUE;
    case WM_DESTROY:
        if (g_browser.modeless == Window()) g_browser.modeless = nullptr;
        if (g_browser.modal == Window()) g_browser.modal = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void ThemeBrowserDialog::OnListSelChange(int tab) {
    HWND dlg = Window();
    HWND combo = GetDlgItem(dlg, IDC_TB_STYLES);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    const bool modal = IsModal(dlg);
    if (tab == 0) {
        ShowControls(dlg, {IDC_TB_DELETE, IDC_TB_STYLES, IDC_TB_STYLES_LABEL, IDC_TB_BROWSE_THEME}, true);
        ShowControls(dlg, {IDC_TB_RESET_RECENT, IDC_TB_DELETE_BAR, IDC_TB_BROWSE_BAR, IDC_TB_LOAD_TEMPLATE}, false);
        int position = SelectedPosition(dlg, 0);
        ThemeBrowserEntry* entry = EntryAt(0, position < 0 ? 0 : position);
        if (entry && entry->styles.size() >= 2) {
            for (const auto& style : entry->styles) {
                const char* text = StyleName(style->name, entry->folder);
                SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text[0] ? text : style->name));
            }
            SendMessageA(combo, CB_SETCURSEL, entry->current_style, 0);
            EnableWindow(combo, TRUE);
        } else {
            EnableWindow(combo, FALSE);
        }
    } else if (tab == 1) {
        ShowControls(dlg, {IDC_TB_STYLES, IDC_TB_STYLES_LABEL, IDC_TB_BROWSE_THEME, IDC_TB_DELETE,
                           IDC_TB_DELETE_BAR, IDC_TB_BROWSE_BAR, IDC_TB_LOAD_TEMPLATE}, false);
        ShowControls(dlg, {IDC_TB_RESET_RECENT}, true);
    } else {
        ShowControls(dlg, {IDC_TB_STYLES, IDC_TB_STYLES_LABEL, IDC_TB_BROWSE_THEME, IDC_TB_DELETE,
                           IDC_TB_RESET_RECENT}, false);
        ShowControls(dlg, {IDC_TB_DELETE_BAR, IDC_TB_BROWSE_BAR, IDC_TB_LOAD_TEMPLATE}, !modal);
    }
}

void ThemeBrowserDialog::OnStyleChange() {
    if (g_browser.active_tab != 0) return;
    HWND dlg = Window();
    int position = SelectedPosition(dlg, 0);
    ThemeBrowserEntry* entry = EntryAt(0, position < 0 ? 0 : position);
    if (!entry || entry->styles.empty()) return;
    int choice = static_cast<int>(SendDlgItemMessageA(dlg, IDC_TB_STYLES, CB_GETCURSEL, 0, 0));
    if (choice < 0) choice = 0;
    const int last = static_cast<int>(entry->styles.size()) - 1;
    entry->current_style = choice > last ? last : choice;
    InvalidateRect(GetDlgItem(dlg, kBrowserListIds[0]), nullptr, TRUE);
}

void ThemeBrowserDialog::OnTabViewNotify(const NMHDR* hdr) {
    HWND dlg = Window();
    if (IsModal(dlg)) return;
    HWND view = hdr->hwndFrom;
    auto tab_of_item = [view](int item) -> int {
        LVITEMA lv = {};
        lv.mask = LVIF_PARAM;
        lv.iItem = item;
        if (!SendMessageA(view, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv))) return -1;
        return static_cast<int>(lv.lParam);
    };
    if (hdr->code == NM_CLICK || hdr->code == NM_RCLICK) {
        const int item = reinterpret_cast<const NMITEMACTIVATE*>(hdr)->iItem;
        const int tab = item >= 0 ? tab_of_item(item) : -1;
        if (tab >= 0) SelectBrowserTab(dlg, tab);
    } else if (hdr->code == LVN_KEYDOWN) {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(hdr)->wVKey;
        const int current = g_browser.active_tab;
        if (key == VK_UP && current > 0) SelectBrowserTab(dlg, current - 1);
        if (key == VK_DOWN && current < 2) SelectBrowserTab(dlg, current + 1);
    }
}

void ThemeBrowserDialog::DrawEntry(const DRAWITEMSTRUCT* dis) {
    if (static_cast<int>(dis->itemID) < 0) return;
    const int tab = TabOfList(static_cast<int>(dis->CtlID));
    ThemeBrowserEntry* entry = EntryAt(tab, static_cast<int>(dis->itemData));
    HDC dc = dis->hDC;
    const RECT& rc = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    {
        tess::ScopedBrush odd(CreateSolidBrush(kOddRowColour));
        HBRUSH back = selected ? GetSysColorBrush(COLOR_HIGHLIGHT)
                               : (dis->itemID % 2 ? odd.get() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FillRect(dc, &rc, back);
    }
    if (dis->itemState & ODS_FOCUS) {
        RECT focus = rc;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
    ThemeStyleEntry* style = entry ? entry->Current() : nullptr;
    if (!style) return;
    const int old_mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF old_colour = SetTextColor(dc, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    HGDIOBJ old_font = SelectObject(dc, g_browser.bold.get() ? g_browser.bold.get() : GetStockObject(DEFAULT_GUI_FONT));

    const bool by_folder = ShownByFolder(*entry);
    const char* title = by_folder ? entry->folder : style->name;
    TextOutA(dc, rc.left + 110, rc.top + 5, title, static_cast<int>(strlen(title)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, title, static_cast<int>(strlen(title)), &extent);

    DrawBrowserThumbnail(dc, style->Thumbnail(), rc.left + 2, rc.top + 2, g_browser.bold.get());

    if (by_folder) {
        const char* name = StyleName(style->name, entry->folder);
        if (name[0]) {
            std::string text = std::string("(") + name + ")";
            if (g_browser.normal) SelectObject(dc, g_browser.normal.get());
            TextOutA(dc, rc.left + 110 + extent.cx + 2, rc.top + 5, text.c_str(), static_cast<int>(text.size()));
        }
    }
    if (g_browser.small) SelectObject(dc, g_browser.small.get());
    RECT text = {rc.left + 110, rc.top + 25, rc.left + 420, rc.top + 74};
    const int length = static_cast<int>(strnlen(style->description, kBrowserDescriptionSize));
    DrawTextA(dc, style->description, length, &text, DT_WORDBREAK | DT_NOPREFIX);

    SelectObject(dc, old_font);
    SetTextColor(dc, old_colour);
    SetBkMode(dc, old_mode);
}

void ThemeBrowserDialog::BrowseThemes() {
    char file[MAX_PATH] = "";
    if (!ShowOpenFileDialog(Window(), file, "Load Theme From Disk...",
                            "Tessellar Theme Packages (*.tspack, *.zip)\0*.tspack;*.zip\0", ThemesRoot(), true))
        return;
    if (!FileExists(file)) return;
    if (FindTextNoCase(file, ".tspack") || FindTextNoCase(file, ".zip") || FindTextNoCase(file, ".tstheme"))
        OpenDocument(file);
}

void ThemeBrowserDialog::BrowseBars() {
    char folder[MAX_PATH] = "";
    GetThemeBarsFolder(folder);
    char file[MAX_PATH] = "";
    if (!ShowOpenFileDialog(Window(), file, "Load Bar", "Bar Files (*.tsbar)\0*.tsbar\0", folder, true)) return;
    if (FileExists(file)) OpenBarFile(file, false);
}

void ThemeBrowserDialog::ResetRecent() {
    HWND dlg = Window();
    ClearRecentThemeList();
    FreeTab(dlg, 1);
    SendDlgItemMessageA(dlg, kBrowserListIds[1], LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EnableWindow(GetDlgItem(dlg, IDC_TB_RESET_RECENT), FALSE);
}

void ThemeBrowserDialog::DeleteTheme() {
    HWND dlg = Window();
    if (g_browser.active_tab != 0) return;
    const int position = SelectedPosition(dlg, 0);
    ThemeBrowserEntry* entry = position >= 1 ? EntryAt(0, position) : nullptr;
    ThemeStyleEntry* style = entry ? entry->Current() : nullptr;
    if (!style) return;
    char folder[MAX_PATH];
    if (!GetParentFolder(folder, style->path, true)) return;
    if (GetThemeFolder()[0] && lstrcmpiA(folder, GetThemeFolder()) == 0) {
        ThemeMessage(dlg,
                     "Tessellar cannot delete this theme because you are currently using it!\n\nIf you want to "
                     "delete this theme, you must first load a different theme,\nand then go back and delete "
                     "the theme you want to remove.",
                     "Tessellar - Cannot Delete Theme", MB_ICONINFORMATION);
        return;
    }
    std::string text;
    const bool several = entry->styles.size() >= 2;
    text = std::string("Are you sure you want to permenantly delete the theme \"") +
           (several ? entry->folder : style->name) + "\"?";
    if (several)
        text += "\n\nRemember that you cannot delete just one style from a theme;\ndeleting the theme will remove "
                "the entire theme including all the styles it has.";
    if (ThemeMessage(dlg, text.c_str(), "Tessellar - Confirm Delete Theme", MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;
    // A theme file lying in the themes root has no folder of its own: only
    // the file and its picture go, never the root.
    const bool own_folder = entry->folder[0] && lstrcmpiA(folder, ThemesRoot()) != 0 &&
                            strlen(folder) > strlen(ThemesRoot()) &&
                            _strnicmp(folder, ThemesRoot(), strlen(ThemesRoot())) == 0;
    if (own_folder) {
        PathRemoveBackslashA(folder);
        ShellFileOperation(nullptr, folder, FO_DELETE, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI);
    } else {
        char picture[MAX_PATH];
        ShellFileOperation(nullptr, style->path, FO_DELETE, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI);
        if (PicturePath(style->path, picture, sizeof(picture)) && FileExists(picture))
            ShellFileOperation(nullptr, picture, FO_DELETE, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI);
    }
    FreeTab(dlg, 0);
    FillBrowserList(dlg, 0);
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(kBrowserListIds[0], LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, kBrowserListIds[0])));
}

void ThemeBrowserDialog::DeleteBar() {
    HWND dlg = Window();
    const int tab = g_browser.active_tab;
    if (tab != 2 && tab != 3) return;
    ThemeBrowserEntry* entry = EntryAt(tab, SelectedPosition(dlg, tab));
    ThemeStyleEntry* style = entry ? entry->Current() : nullptr;
    if (!style) return;
    if (ThemeMessage(dlg, "Are you sure you want to delete this bar?", "Tessellar - Delete Bar",
                     MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;
    char bar[MAX_PATH], picture[MAX_PATH] = "";
    tess::CopyText(bar, style->path);
    PicturePath(bar, picture, sizeof(picture));
    FreeTab(dlg, tab);   // the picture is no longer held open
    SetFileAttributesA(bar, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(bar);
    if (picture[0]) DeleteFileA(picture);
    FillBrowserList(dlg, tab);
}

void ThemeBrowserDialog::Close() {
    HWND dlg = Window();
    FreeDialogResources();
    if (IsModal(dlg)) {
        if (g_browser.result && g_browser.result_size) g_browser.result[0] = '\0';
        EndDialog(dlg, IDCANCEL);
    } else {
        DestroyWindow(dlg);
    }
    // With no theme the browser was all the program showed: it ends.
    if (!GetCurrentThemeFile()[0])
        if (HWND main = GetMainWindow()) SendMessageA(main, WM_COMMAND, kCmdUnload, 0);
}

}  // namespace

// ---- pictures ----------------------------------------------------------------------------------

void DrawBrowserThumbnail(HDC dc, HBITMAP thumbnail, int x, int y, HFONT text_font) {
    if (thumbnail) {
        tess::ScopedMemoryDc source(CreateCompatibleDC(dc));
        if (!source) return;
        tess::ScopedSelect select(source.get(), thumbnail);
        BitBlt(dc, x, y, 100, 75, source.get(), 0, 0, SRCCOPY);
        return;
    }
    HGDIOBJ old = text_font ? SelectObject(dc, text_font) : nullptr;
    RECT box = {x + 10, y + 20, x + 88, y + 76};
    DrawTextA(dc, "Preview\r\nunavailable", -1, &box, DT_CENTER | DT_WORDBREAK);
    if (old) SelectObject(dc, old);
}

// ---- interface ---------------------------------------------------------------------------------

void SetThemeBrowserInstance(HINSTANCE instance) { g_browser.instance = instance; }
HINSTANCE ThemeBrowserInstance() { return Instance(); }
HWND GetThemeBrowserWindow() { return g_browser.modal ? g_browser.modal : g_browser.modeless; }

void SelectBrowserTab(HWND dialog, int tab) {
    if (tab == kBrowserWebTab) {
        OpenWebPage(kThemeLibraryPageUrl);
        return;
    }
    if (tab < 0 || tab >= kBrowserTabCount || !dialog) return;
    g_browser.active_tab = tab;
    if (GetBrowserTable(tab).empty()) FillBrowserList(dialog, tab);
    for (int t = 0; t < kBrowserTabCount; ++t)
        ShowWindow(GetDlgItem(dialog, kBrowserListIds[t]), t == tab ? SW_SHOW : SW_HIDE);
    HWND list = GetDlgItem(dialog, kBrowserListIds[tab]);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kBrowserListIds[tab], LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    if (IsModal(dialog) && g_browser.result && g_browser.result[0]) {
        SetWindowTextA(dialog, g_browser.result);
        g_browser.result[0] = '\0';
    } else {
        SetWindowTextA(dialog, kTabTitles[tab]);
    }
}

void LoadSelectedEntry(HWND dialog, bool as_template) {
    if (!dialog) return;
    const int tab = g_browser.active_tab;
    if (tab < 0 || tab >= kBrowserTabCount) return;
    ThemeBrowserEntry* entry = EntryAt(tab, SelectedPosition(dialog, tab));
    ThemeStyleEntry* style = entry ? entry->Current() : nullptr;
    if (!style) return;
    char path[MAX_PATH];
    tess::CopyText(path, style->path);
    if (IsModal(dialog)) {
        if (g_browser.result && g_browser.result_size) tess::CopyText(g_browser.result, g_browser.result_size, path);
        FreeDialogResources();
        EndDialog(dialog, IDOK);
        return;
    }
    if (tab == 2 || tab == 3) {
        OpenBarFile(path, as_template);
    } else if (path[0] && lstrcmpiA(path, GetCurrentThemeFile()) != 0) {
        char folder[MAX_PATH] = "";
        GetParentFolder(folder, path, true);
        if (lstrcmpiA(folder, GetThemeFolder()) != 0) {
            FreeTab(dialog, 2);
            LoadThemeFile(path, 0);
        } else {
            SwitchThemeStyle(path);
        }
    }
    if (IsWindow(dialog)) SetForegroundWindow(dialog);
}

void ShowThemeBrowser(int tab, char* result, size_t result_size) {
    if (result) {
        if (result_size < 1) return;
        g_browser.result = result;
        g_browser.result_size = result_size;
        g_browser.modal = nullptr;
        ThemeBrowserDialog dialog(tab, true);
        dialog.RunModal(Instance(), MAKEINTRESOURCEA(IDD_THEME_BROWSER), GetMainWindow());
        g_browser.result = nullptr;
        g_browser.result_size = 0;
        g_browser.modal = nullptr;
        return;
    }
    if (g_browser.modeless && IsWindow(g_browser.modeless)) {
        // Replaced, not closed by the user: no program end here.
        FreeDialogResources();
        DestroyWindow(g_browser.modeless);
    }
    g_browser.modeless = nullptr;
    HWND wnd = tess::DialogBase::CreateModeless(std::make_unique<ThemeBrowserDialog>(tab, false), Instance(),
                                                MAKEINTRESOURCEA(IDD_THEME_BROWSER), nullptr);
    if (!wnd) return;
    g_browser.modeless = wnd;
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
}
