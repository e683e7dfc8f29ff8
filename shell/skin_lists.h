// Skin and theme-folder combo boxes, and the import of a skin from outside
// the theme into the theme's own "Skins\Imported\" folder.
//
// Every combo entry is its display name, the marker (48 blanks and
// "!$!Skin:") and the full path, so the path sits far right of the visible
// text and is found again by the marker.
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>

constexpr char kSkinPathMarker[] = "                                                !$!Skin:";
constexpr int kSkinListNameSize = 270;
// The longest entry text read back from a combo box.
constexpr int kSkinEntryTextSize = 860;
// Folders deeper than this below the listed folder are not walked.
constexpr int kSkinListMaxDepth = 8;

// Every ".tsskin" file below folder (trailing backslash), depth-first in the
// order the file system lists them; the entry whose path equals selected is
// selected. 0 only for a missing combo box or folder.
int FillSkinFileCombo(HWND combo, const char* folder, const char* selected);
// Every sub-folder of folder: its theme's name (or the folder name in double
// quotes) and the folder's path with a trailing backslash. An entry whose
// path occurs in selected is selected.
int FillThemeFolderCombo(HWND combo, const char* folder, const char* selected);
// The path hidden in the selected entry; false without a selection or marker.
bool GetSelectedSkinPath(HWND combo, char* out, size_t size);
// Empties skins, then lists the skin files of the theme folder selected in
// themes (FillSkinFileCombo); false when no theme folder is selected.
bool FillSkinsOfSelectedTheme(HWND themes, HWND skins, const char* selected);
// The program folder with a trailing backslash (the main window's, else
// this module's): the folder whose sub-folders are the themes listed.
std::string SkinListProgramFolder();
// The text after the last "." of name; true when it is not empty.
bool GetFileExtension(const char* name, char* out, size_t size);

// Copies the skin at path (in and out, size characters) with its bitmaps
// into the theme's "Skins\Imported\<skin folder name>\" and puts the copy's
// path into path: 1. 0, with path unchanged, when no theme is open, path
// names no file, or a copy failed.
int ImportSkinFile(char* path, size_t size);
// The same for the bars' table of shell services.
bool ImportSkinFileForBars(const char* skin, char* out, size_t out_size);

// The path of the last skin, value "szLastSkinIni" of the settings key.
bool ReadLastSkinSetting(char* out, size_t size);
bool WriteLastSkinSetting(const char* path);
bool SaveLastSkinSetting(const char* path);
