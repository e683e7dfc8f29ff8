// Pieces shared by the theme module's source files.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "util/paths.h"

class CVellumMenuObject;
struct SkinRecord;

// The program folder (the themes root) with a trailing backslash.
const char* ThemesRoot();
// One entry of a theme file's [OpenBars], as written (relative paths).
struct OpenBarsEntry {
    std::string bar;    // "Bar%i"
    std::string skin;   // "SkinForBar%i", empty when the bar has no skin file
};
// "Bar%i" from 1 up to max_entries, until the first empty one.
std::vector<OpenBarsEntry> ReadOpenBars(const char* file, int max_entries);
// The windows of class "Tessellar Toolbar" with a live bar, in the order the
// bars were opened.
std::vector<HWND> SnapshotThemeBarWindows(bool include_internal);
// Opens a bar file (a bar of the theme, or one handed over as a document)
// and shows it as show says; false when it could not get a window.
bool OpenThemeBar(const char* bar_path, const char* skin_path, int show);
// Saves one bar as the theme save does (step 7), or only marks it.
void SaveBarForTheme(CVellumMenuObject* bar, HWND wnd, bool theme_file_only);
// Releases every theme bar of a snapshot once.
void ReleaseThemeBars(bool mark_not_to_save);
int CountThemeFilesIn(const char* folder);
// Message box with the theme captions' usual flags.
int ThemeMessage(HWND owner, const char* text, const char* caption, UINT icon);

// ---- the skin cache (theme_skins.cpp) ------------------------------------------------
// The record's file when it names an existing one, else null.
const char* SkinRecordPath(const SkinRecord* record);
SkinRecord* LoadSkinForTheme(const char* path);   // one reference, or null
void ReleaseSkinForTheme(SkinRecord* record);
// The cached record of path parsed again in place; null when not cached.
SkinRecord* ReloadCachedSkin(const char* path);
