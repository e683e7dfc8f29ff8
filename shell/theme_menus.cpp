// ThemeListMenu and the recent-theme list.
#include "shell/theme_menus.h"

#include <shlwapi.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "util/handles.h"
#include "util/recent_list.h"
#include "util/text.h"

namespace {

void SortMenuByText(HMENU menu) {
    struct Entry {
        std::string text;
        UINT id;
    };
    std::vector<Entry> entries;
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        char text[1024] = "";
        GetMenuStringA(menu, pos, text, sizeof(text), MF_BYPOSITION);
        entries.push_back(Entry{text, GetMenuItemID(menu, pos)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return lstrcmpiA(a.text.c_str(), b.text.c_str()) < 0;
    });
    for (int pos = count - 1; pos >= 0; --pos) DeleteMenu(menu, pos, MF_BYPOSITION);
    for (const Entry& e : entries) AppendMenuA(menu, MF_STRING, e.id, e.text.c_str());
}

}  // namespace

ThemeListMenu::ThemeListMenu(HMENU menu, int recent_mode, UINT first_id)
    : menu_(menu), recent_mode_(recent_mode), first_id_(first_id), next_id_(first_id) {
    std::memset(paths_, 0, sizeof(paths_));
    tess::CopyText(program_folder_, ThemesRoot());
    if (recent_mode_) {
        std::unique_ptr<CRegistryMruList> list(OpenRecentList(kRecentThemes));
        for (int i = 0; i < list->GetCount() && GetCount() < kThemeListMaxEntries; ++i) {
            char entry[CRegistryMruList::kSlotSize];
            if (list->GetEntry(i, entry) && entry[0]) AddTheme(entry);
        }
        list->Close();
    } else {
        ScanThemeFolder(program_folder_);
        if (menu_) SortMenuByText(menu_);
    }
}

bool ThemeListMenu::AddTheme(const char* path) {
    if (!path || GetCount() >= kThemeListMaxEntries) return false;
    char name[kThemeTextSize] = "";
    ReadThemeName(path, name, sizeof(name));
    char relative[MAX_PATH];
    RelativeToFolder(program_folder_, path, relative, sizeof(relative));
    char text[kThemeTextSize + MAX_PATH + 8];
    if (name[0])
        tess::FormatText(text, sizeof(text), "%s (%s)", name, relative);
    else
        tess::CopyText(text, relative);
    if (menu_) AppendMenuA(menu_, MF_STRING, next_id_, text);
    tess::CopyText(paths_[next_id_ - first_id_], kThemeListPathSize, path);
    ++next_id_;
    return true;
}

bool ThemeListMenu::ScanThemeFolder(const char* folder) {
    if (!folder) return false;
    Scan(folder, 0);
    return true;
}

bool ThemeListMenu::Scan(const char* folder, int depth) {
    char pattern[MAX_PATH];
    tess::CopyText(pattern, folder);
    if (!tess::AppendText(pattern, "*.*")) return false;
    WIN32_FIND_DATAA fd;
    tess::ScopedFind find(FindFirstFileA(pattern, &fd));
    if (!find) return false;
    do {
        if (GetCount() >= kThemeListMaxEntries) break;
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
        char path[MAX_PATH];
        tess::CopyText(path, folder);
        if (!tess::AppendText(path, fd.cFileName)) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or link may lead back up the tree or far away: not
            // followed, and the search goes only so deep.
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (depth + 1 > kThemeListMaxDepth) continue;
            if (tess::AppendText(path, "\\")) Scan(path, depth + 1);
        } else if (lstrcmpiA(PathFindExtensionA(fd.cFileName), kThemeExtension) == 0) {
            AddTheme(path);
        }
    } while (FindNextFileA(find.get(), &fd));
    return true;
}

const char* ThemeListMenu::GetPath(UINT id) const {
    if (id < first_id_ || id >= next_id_) return nullptr;
    return paths_[id - first_id_];
}

bool ThemeListMenu::OnThemeCommand(UINT id) {
    const char* path = GetPath(id);
    if (!path) return false;
    char copy[kThemeListPathSize];
    tess::CopyText(copy, path);
    LoadThemeFile(copy, 0);
    return true;
}

// ---- recent themes -----------------------------------------------------------------------------

void PushRecentThemes(const char* older, const char* newer) {
    if (!(older && older[0]) && !(newer && newer[0])) return;
    std::unique_ptr<CRegistryMruList> list(OpenRecentList(kRecentThemes));
    if (older && older[0]) list->Add(older);
    if (newer && newer[0]) list->Add(newer);
    list->Close();
}

void ClearRecentThemeList() {
    std::unique_ptr<CRegistryMruList> list(OpenRecentList(kRecentThemes));
    list->Clear();
    list->Close();
}
