// The theme browser (dialog 319): themes under the themes root grouped by
// folder with their styles, the recent themes, the bars of the current
// theme and all bars, each shown with its preview picture; and the Change
// Theme Styles dialog (1081). Modeless from the menus, or modal as a file
// chooser that hands back the chosen file.
#pragma once
#include <windows.h>
#include <memory>
#include <vector>

// ---- tables --------------------------------------------------------------------------------
constexpr int kBrowserTabCount = 4;          // tabs with a list; tab 4 is the web page
constexpr int kBrowserWebTab = 4;
constexpr int kMaxBrowserEntries = 150;      // per tab
constexpr int kMaxThemeStyles = 200;         // per theme
constexpr int kMaxRecentBrowserPaths = 400;
constexpr int kBrowserNameSize = 260;
constexpr int kBrowserDescriptionSize = 400;
// Folders below a scanned root searched at most this deep.
constexpr int kBrowserMaxDepth = 8;

// One theme file or bar file of the browser.
struct ThemeStyleEntry {
    HBITMAP thumbnail = nullptr;     // "<file>_ss.bmp", once loaded
    bool thumbnail_tried = false;    // false: not loaded yet
    char name[kBrowserNameSize] = "";
    char path[MAX_PATH] = "";
    char description[kBrowserDescriptionSize] = "";
    int current = 0;                 // the current theme's file
    ThemeStyleEntry() = default;
    ThemeStyleEntry(const ThemeStyleEntry&) = delete;
    ThemeStyleEntry& operator=(const ThemeStyleEntry&) = delete;
    ~ThemeStyleEntry();
    // The picture, loaded the first time it is asked for (null when none).
    HBITMAP Thumbnail();
};

// One list entry: a theme with its styles, or one bar.
struct ThemeBrowserEntry {
    std::vector<std::unique_ptr<ThemeStyleEntry>> styles;
    char folder[kBrowserNameSize] = "";   // empty for a theme file lying in the root
    int current_style = 0;
    ThemeStyleEntry* Current() const {
        return styles.empty() ? nullptr : styles[current_style].get();
    }
};
using BrowserTable = std::vector<std::unique_ptr<ThemeBrowserEntry>>;

// The table of a tab (0..3), as filled by the browser.
const BrowserTable& GetBrowserTable(int tab);

// ---- scanning and order ---------------------------------------------------------------------
// Adds the ".tstheme" (tab 0) or ".tsbar" (tabs 2, 3) files below root to the
// tab's table; relative is the folder below root already walked (empty or
// ending in a backslash). Junctions are not followed.
void ScanBrowserFolder(int tab, const char* root, const char* relative);
// The order of styles and entries: names starting with "*" last, names
// containing " Blue" first, else alphabetical without case.
bool BrowserNameLess(const char* a, const char* b);
// The name a style shows beside its theme folder's name.
const char* StyleName(const char* name, const char* folder);
// Fills a tab's table again (the old one freed) and, when dialog is given,
// its list box.
void FillBrowserList(HWND dialog, int tab);
void FreeBrowserList(int tab);
void FreeBrowserResources();

// ---- the dialogs ---------------------------------------------------------------------------
void SetThemeBrowserInstance(HINSTANCE instance);
// The module the dialogs come from (the program's when none was given).
HINSTANCE ThemeBrowserInstance();
// Without a result buffer: modeless (an open browser closed first). With one
// (result_size characters, at least MAX_PATH): modal; the buffer brings a
// window title in and takes the chosen file's path out ("" when closed).
void ShowThemeBrowser(int tab, char* result = nullptr, size_t result_size = 0);
HWND GetThemeBrowserWindow();
void SelectBrowserTab(HWND dialog, int tab);
void LoadSelectedEntry(HWND dialog, bool as_template = false);
void ShowThemeStylesDialog();
HWND GetThemeStylesWindow();

// Draws a preview picture 100 x 75 at (x, y), or the no-preview text.
void DrawBrowserThumbnail(HDC dc, HBITMAP thumbnail, int x, int y, HFONT text_font);
