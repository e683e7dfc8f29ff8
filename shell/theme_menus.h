// Menus that list theme files: every ".tstheme" below the program folder,
// or the recent-theme list. Each entry remembers its path under its command.
#pragma once
#include <windows.h>

constexpr int kThemeListMaxEntries = 100;
constexpr int kThemeListPathSize = 270;
// Folders below the program folder searched at most this deep.
constexpr int kThemeListMaxDepth = 8;

class ThemeListMenu {
public:
    // recent_mode 1: the recent themes (newest first); 0: every theme below
    // the program folder, sorted by text.
    ThemeListMenu(HMENU menu, int recent_mode, UINT first_id);
    ThemeListMenu(const ThemeListMenu&) = delete;
    ThemeListMenu& operator=(const ThemeListMenu&) = delete;

    bool AddTheme(const char* path);
    // folder ends with a backslash; false for a null folder.
    bool ScanThemeFolder(const char* folder);
    // True when the id is one of the entries; that theme is then loaded.
    bool OnThemeCommand(UINT id);
    void ReleaseThemeListMenu() {}

    int GetCount() const { return static_cast<int>(next_id_ - first_id_); }
    const char* GetPath(UINT id) const;

private:
    bool Scan(const char* folder, int depth);

    char paths_[kThemeListMaxEntries][kThemeListPathSize];
    char program_folder_[MAX_PATH];
    HMENU menu_;
    int recent_mode_;
    UINT first_id_;
    UINT next_id_;
};

// The recent-theme list: older (when set) and then newer (when set) move to
// the top, so the newer ends first.
void PushRecentThemes(const char* older, const char* newer);
void ClearRecentThemeList();
