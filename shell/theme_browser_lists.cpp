// The theme browser's tables: scanning the themes root and the bar folders,
// the recent themes, the order of styles and entries, and the pictures.
#include "shell/theme_browser.h"

#include <shlwapi.h>
#include <algorithm>
#include <cstring>

#include "shell/app_state.h"
#include "shell/browser_resources.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "util/handles.h"
#include "util/paths.h"
#include "util/recent_list.h"
#include "util/text.h"

namespace {

BrowserTable g_tables[kBrowserTabCount];

constexpr char kBarExtension[] = ".tsbar";
constexpr char kPictureSuffix[] = "_ss.bmp";

bool ValidTab(int tab) { return tab >= 0 && tab < kBrowserTabCount; }

const char* SortKey(const ThemeBrowserEntry& e) {
    if (e.styles.size() >= 2) return e.folder;
    return e.styles.empty() ? "" : e.styles[0]->name;
}

// The last component of a relative folder ("A\B\" gives "B"), empty for "".
void LastComponent(const char* relative, char* out, size_t size) {
    out[0] = '\0';
    size_t n = strlen(relative);
    if (n && relative[n - 1] == '\\') --n;
    size_t start = n;
    while (start && relative[start - 1] != '\\') --start;
    tess::CopyTextN(out, size, relative + start, n - start);
}

bool IsCurrentTheme(const char* path) {
    const char* current = GetCurrentThemeFile();
    return current[0] && lstrcmpiA(path, current) == 0;
}

std::unique_ptr<ThemeStyleEntry> ThemeStyle(const char* path, const char* relative_name) {
    auto style = std::make_unique<ThemeStyleEntry>();
    tess::CopyText(style->path, path);
    char name[kThemeTextSize] = "";
    if (ReadThemeName(path, name, sizeof(name)))
        tess::CopyText(style->name, name);
    else
        tess::CopyText(style->name, relative_name);
    char notes[kThemeNotesSize] = "";
    ReadThemeNotes(path, notes, sizeof(notes));
    tess::CopyText(style->description, notes);
    style->current = IsCurrentTheme(path) ? 1 : 0;
    return style;
}

std::unique_ptr<ThemeStyleEntry> BarStyle(const char* path, const char* relative_name) {
    auto style = std::make_unique<ThemeStyleEntry>();
    tess::CopyText(style->path, path);
    tess::CopyText(style->name, relative_name);
    char comments[kThemeNotesSize] = "";
    ReadBarComments(path, comments, sizeof(comments));
    tess::CopyText(style->description, comments);
    return style;
}

void SortStyles(ThemeBrowserEntry& entry) {
    if (entry.styles.size() < 2) return;
    std::stable_sort(entry.styles.begin(), entry.styles.end(),
                     [](const std::unique_ptr<ThemeStyleEntry>& a, const std::unique_ptr<ThemeStyleEntry>& b) {
                         return BrowserNameLess(a->name, b->name);
                     });
    for (size_t i = 0; i < entry.styles.size(); ++i)
        if (entry.styles[i]->current) entry.current_style = static_cast<int>(i);
}

void Scan(int tab, const char* root, const char* relative, int depth) {
    BrowserTable& table = g_tables[tab];
    char pattern[MAX_PATH];
    if (!tess::CopyText(pattern, root) || !tess::AppendText(pattern, "*.*")) return;
    WIN32_FIND_DATAA fd;
    tess::ScopedFind find(FindFirstFileA(pattern, &fd));
    if (!find) return;
    char folder_name[kBrowserNameSize];
    LastComponent(relative, folder_name, sizeof(folder_name));
    ThemeBrowserEntry* folder_entry = nullptr;   // the theme of this folder
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
        char path[MAX_PATH], rel[MAX_PATH];
        if (!tess::CopyText(path, root) || !tess::AppendText(path, fd.cFileName) ||
            !tess::CopyText(rel, relative) || !tess::AppendText(rel, fd.cFileName))
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction may lead back up the tree: not followed, and the
            // search goes only so deep.
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (depth + 1 > kBrowserMaxDepth) continue;
            if (tess::AppendText(path, "\\") && tess::AppendText(rel, "\\")) Scan(tab, path, rel, depth + 1);
            continue;
        }
        const char* ext = PathFindExtensionA(fd.cFileName);
        if (tab == 0) {
            if (lstrcmpiA(ext, kThemeExtension) != 0) continue;
            if (!folder_name[0] || !folder_entry) {
                if (static_cast<int>(table.size()) >= kMaxBrowserEntries) continue;
                auto entry = std::make_unique<ThemeBrowserEntry>();
                tess::CopyText(entry->folder, folder_name);
                entry->styles.push_back(ThemeStyle(path, rel));
                if (folder_name[0]) folder_entry = entry.get();
                table.push_back(std::move(entry));
            } else if (static_cast<int>(folder_entry->styles.size()) < kMaxThemeStyles) {
                folder_entry->styles.push_back(ThemeStyle(path, rel));
            }
        } else {
            if (lstrcmpiA(ext, kBarExtension) != 0) continue;
            if (static_cast<int>(table.size()) >= kMaxBrowserEntries) continue;
            auto entry = std::make_unique<ThemeBrowserEntry>();
            entry->styles.push_back(BarStyle(path, rel));
            table.push_back(std::move(entry));
        }
    } while (FindNextFileA(find.get(), &fd));
}

void FillRecentThemes() {
    BrowserTable& table = g_tables[1];
    std::unique_ptr<CRegistryMruList> list(OpenRecentList(kRecentThemes));
    const int count = std::min(list->GetCount(), kMaxRecentBrowserPaths);
    for (int i = 0; i < count && static_cast<int>(table.size()) < kMaxBrowserEntries; ++i) {
        char path[CRegistryMruList::kSlotSize] = "";
        if (!list->GetEntry(i, path) || !path[0] || !PathFileExistsA(path) || PathIsDirectoryA(path)) continue;
        // The text the recent-themes menu shows for it.
        char name[kThemeTextSize] = "", relative[MAX_PATH] = "", text[kBrowserNameSize] = "";
        ReadThemeName(path, name, sizeof(name));
        RelativeToFolder(ThemesRoot(), path, relative, sizeof(relative));
        if (name[0])
            tess::FormatText(text, sizeof(text), "%s (%s)", name, relative);
        else
            tess::CopyText(text, relative);
        if (!text[0]) tess::CopyText(text, PathFindFileNameA(path));
        auto style = ThemeStyle(path, text);
        tess::CopyText(style->name, text);
        auto entry = std::make_unique<ThemeBrowserEntry>();
        entry->styles.push_back(std::move(style));
        table.push_back(std::move(entry));
    }
    list->Close();
}

}  // namespace

// ---- entries ---------------------------------------------------------------------------------

ThemeStyleEntry::~ThemeStyleEntry() {
    if (thumbnail) DeleteObject(thumbnail);
}

HBITMAP ThemeStyleEntry::Thumbnail() {
    if (thumbnail_tried) return thumbnail;
    thumbnail_tried = true;
    char picture[MAX_PATH];
    tess::CopyText(picture, path);
    char* ext = PathFindExtensionA(picture);
    if (lstrcmpiA(ext, kThemeExtension) != 0 && lstrcmpiA(ext, kBarExtension) != 0) return nullptr;
    *ext = '\0';
    if (!tess::AppendText(picture, kPictureSuffix)) return nullptr;
    thumbnail = static_cast<HBITMAP>(
        LoadImageA(nullptr, picture, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    return thumbnail;
}

const BrowserTable& GetBrowserTable(int tab) {
    static const BrowserTable empty;
    return ValidTab(tab) ? g_tables[tab] : empty;
}

// ---- order and names ---------------------------------------------------------------------------

bool BrowserNameLess(const char* a, const char* b) {
    a = a ? a : "";
    b = b ? b : "";
    const bool a_star = a[0] == '*', b_star = b[0] == '*';
    if (a_star != b_star) return b_star;
    const bool a_blue = strstr(a, " Blue") != nullptr, b_blue = strstr(b, " Blue") != nullptr;
    if (a_blue != b_blue) return a_blue;
    return lstrcmpiA(a, b) < 0;
}

const char* StyleName(const char* name, const char* folder) {
    if (!name) return "";
    const size_t n = folder ? strlen(folder) : 0;
    if (strlen(name) >= n && _strnicmp(name, folder ? folder : "", n) == 0) {
        const char* rest = name + n;
        while (*rest == ' ') ++rest;
        return rest;
    }
    return name;
}

// ---- scanning and filling ------------------------------------------------------------------------

void ScanBrowserFolder(int tab, const char* root, const char* relative) {
    if (!ValidTab(tab) || tab == 1 || !root || !root[0]) return;
    char base[MAX_PATH];
    if (!tess::CopyText(base, root)) return;
    PathAddBackslashA(base);
    Scan(tab, base, relative ? relative : "", 0);
    if (tab == 0)
        for (auto& entry : g_tables[0]) SortStyles(*entry);
}

void FreeBrowserList(int tab) {
    if (ValidTab(tab)) g_tables[tab].clear();
}

void FreeBrowserResources() {
    for (int tab = 0; tab < kBrowserTabCount; ++tab) FreeBrowserList(tab);
}

void FillBrowserList(HWND dialog, int tab) {
    if (!ValidTab(tab)) return;
    HWND list = dialog ? GetDlgItem(dialog, kBrowserListIds[tab]) : nullptr;
    if (list) {
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
    }
    g_tables[tab].clear();
    if (tab == 1) {
        FillRecentThemes();
    } else {
        if (tab == 2) {
            // With no theme there are no theme bars (not the bars of
            // whatever folder happens to be current).
            char bars[MAX_PATH] = "";
            if (GetCurrentThemeFile()[0] && GetThemeFolder()[0] && tess::CopyText(bars, GetThemeFolder()) &&
                tess::AppendText(bars, "Bars\\"))
                ScanBrowserFolder(2, bars, "");
        } else {
            ScanBrowserFolder(tab, ThemesRoot(), "");
        }
        std::stable_sort(g_tables[tab].begin(), g_tables[tab].end(),
                         [](const std::unique_ptr<ThemeBrowserEntry>& a,
                            const std::unique_ptr<ThemeBrowserEntry>& b) {
                             return BrowserNameLess(SortKey(*a), SortKey(*b));
                         });
    }
    if (list) {
        for (size_t i = 0; i < g_tables[tab].size(); ++i)
            SendMessageA(list, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}
