// The current theme: the ".tstheme" file (INI text naming the open bars,
// their skins, the theme's information and options), the program INI
// "Tessellar.ini", and the operations on the one current theme: load,
// switch style, save, close with the save question, start a new theme.
//
//   [Theme Info]  Name Version Author Company Email Website Notes
//                 AutoSaveOption ScreenshotType DisableSystrayTimeFiltering
//                 TSVersion UseLVSkin
//   [Options]     HideTaskbar LayerVolitle%i LayerHidden%i
//   [OpenBars]    Bar%i SkinForBar%i   (relative to the theme folder)
//   [DesktopRightClickBars]  Bar#%i    (bar titles; shell/desktop_right_click.h)
#pragma once
#include <windows.h>

constexpr int kThemeTextSize = 500;
constexpr int kThemeNotesSize = 5000;
constexpr int kThemeFileVersion = 150;
// Files of this version or lower name their bars relative to the program folder.
constexpr int kOldThemeVersion = 35;
constexpr int kMaxThemeBars = 499;
constexpr int kLastThemeValueSize = 311;
constexpr char kThemeExtension[] = ".tstheme";
constexpr char kProgramIniName[] = "Tessellar.ini";

// Descriptive information and options of the current theme.
struct ThemeInfo {
    char Name[kThemeTextSize];
    char Version[kThemeTextSize];
    char Author[kThemeTextSize];
    char Company[kThemeTextSize];
    char Email[kThemeTextSize];
    char Website[kThemeTextSize];
    char Notes[kThemeNotesSize];
    int UseLVSkin;
    int ScreenshotType;          // 0..5
    int AutoSaveOption;          // 0 save, 1 ask, 2 discard
    int TSVersion;
    int HideTaskbar;
};

// ---- state ---------------------------------------------------------------------------
ThemeInfo& CurrentThemeInfo();
bool IsThemeModified();
void SetThemeModified(bool modified);
bool ThemeHasStyles();
void SetThemeHasStyles(bool on);
bool IsThemeReloading();
void SetThemeReloading(bool on);
// The previous current theme file (kept by ResetThemeInfo).
const char* GetPreviousThemePath();

// ---- load, switch, save (theme_file.cpp, theme_save.cpp) -----------------------------------
// path null or empty: an Open dialog. options_only: the [Theme Info] and
// [Options] of the file, no bars opened or closed.
bool LoadThemeFile(const char* path, int options_only);
bool SwitchThemeStyle(const char* path);
// path null or empty: a Save dialog. theme_file_only: no bar is written.
bool SaveThemeFile(const char* path, int force_screenshot, int theme_file_only);
// The folder a theme's own files may be written to: the theme folder, or
// for old themes (version 35 and lower) the program folder. True when path
// lies inside it.
bool IsInsideThemeWriteArea(const char* path);

// ---- close and the save question (theme_file.cpp) -----------------------------------------
bool ResetThemeInfo(int keep_desktop_bars);
// True: save. False with *answer -1 (don't save) or -2 (cancel). The user's
// Yes or No is kept until the next ResetThemeInfo; a Cancel is not kept, so
// the next question asks again.
bool ShouldSaveTheme(int* answer);
// answer (1 yes, -1 no) given by an earlier question, 0 none. False: cancelled.
bool SaveThemeBeforeClose(int answer);
bool CloseTheme();
void CloseThemeBars();
void CloseThemeBarsWithoutSaving();
void ClearThemeHasStyles();
bool GetThemeHidesTaskbar();
bool ThemeUsesLVSkin();
void SetThemeUsesLVSkin(bool on);

// ---- new theme ----------------------------------------------------------------------
bool StartNewTheme();
// The folder and file of a new theme called name below root (with a
// trailing backslash); false with a message when it cannot be made.
bool CreateThemeFolders(const char* root, const char* name, char* theme_file, size_t size);

// ---- small readers ---------------------------------------------------------------------
// The first ".tstheme" directly in the folder, else the first found depth-first below.
bool FindThemeFile(const char* folder, char* out, size_t size);
bool ReadThemeName(const char* theme_file, char* out, size_t size);
bool ReadThemeNotes(const char* theme_file, char* out, size_t size);
bool ReadBarComments(const char* bar_file, char* out, size_t size);
// CR LF <-> the two bytes 0xAF 0xAF, in place within size.
void EncodeLineBreaks(char* text, size_t size);
void DecodeLineBreaks(char* text);

// ---- program INI ------------------------------------------------------------------------
// Writes [Settings] "LastTheme" from path (else the current theme file,
// else the previous one) relative to the program folder.
void WriteLastTheme(const char* path);
void GetProgramIniPath(char* out, size_t size);

// ---- skins in bars ------------------------------------------------------------------------
// mode 0 re-read only, 1 redraw, 2 recalculate.
bool ReloadSkinInBars(const char* skin_path, int mode, const char* element);

void MakeFileWritable(const char* path);
void NotifyFileSaved(const char* path);
