// The current theme's state, loading a theme file, closing it with the save
// question, the program INI and the small readers of theme files.
#include "shell/theme_file.h"
#include "shell/type_services.h"

#include <shlwapi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/bar_placement.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/desktop_right_click.h"
#include "shell/main_window.h"
#include "shell/registered_messages.h"
#include "shell/startup.h"
#include "shell/theme_internal.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr char kInfo[] = "Theme Info";
constexpr char kOptions[] = "Options";
constexpr char kOpenBars[] = "OpenBars";
constexpr char kCannotLoadCaption[] = "Tessellar - Cannot Load Theme";
constexpr char kCannotFindBarCaption[] = "Tessellar - Cannot Find Bar";
constexpr char kSaveChangesCaption[] = "Tessellar - Save Changes?";
constexpr char kBarClass[] = "Tessellar Toolbar";

struct ThemeState {
    ThemeInfo info;
    char previous[MAX_PATH];
    bool modified;
    int kept_answer;          // 1 yes, -1 no, 0 none
    bool reloading;
    bool has_styles;
};

ThemeState g_theme = {};
char g_root[MAX_PATH] = "";

void ResetInfoTexts(ThemeInfo& info) {
    int hide = info.HideTaskbar;
    std::memset(&info, 0, sizeof(info));
    info.HideTaskbar = hide;
    info.TSVersion = kThemeFileVersion;
    info.AutoSaveOption = 1;
}

void ReadText(const char* key, char* out, size_t size, const char* file) {
    GetPrivateProfileStringA(kInfo, key, "", out, static_cast<DWORD>(size), file);
}

int ReadInt(const char* section, const char* key, int fallback, const char* file) {
    char value[64] = "";
    GetPrivateProfileStringA(section, key, "", value, sizeof(value), file);
    return value[0] ? atoi(value) : fallback;
}

bool AnyBarModified() {
    for (HWND wnd : SnapshotThemeBarWindows(false)) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (bar && bar->m_modified) return true;
    }
    return false;
}

void ReadLayerKeys(const char* file) {
    int is_volatile[kLayerCount] = {}, hidden[kLayerCount] = {};
    for (int pass = 0; pass < 2; ++pass) {
        const char* prefix = pass == 0 ? "LayerVolitle" : "LayerHidden";
        int* flags = pass == 0 ? is_volatile : hidden;
        for (int i = 1; i <= kLayerCount; ++i) {
            char key[32], value[MAX_PATH] = "";
            tess::FormatText(key, sizeof(key), "%s%i", prefix, i);
            GetPrivateProfileStringA(kOptions, key, "", value, sizeof(value), file);
            if (!value[0]) break;
            int layer = atoi(value);
            if (layer >= 0 && layer < kLayerCount) flags[layer] = 1;
        }
    }
    ResetLayerFlags();
    for (int i = 0; i < kLayerCount; ++i) SetLayerFlags(i, is_volatile[i], hidden[i]);
}

void ReadThemeInfoSection(const char* file, bool options_only) {
    ThemeInfo& info = g_theme.info;
    ReadText("Name", info.Name, sizeof(info.Name), file);
    ReadText("Version", info.Version, sizeof(info.Version), file);
    ReadText("Author", info.Author, sizeof(info.Author), file);
    ReadText("Company", info.Company, sizeof(info.Company), file);
    ReadText("Email", info.Email, sizeof(info.Email), file);
    ReadText("Website", info.Website, sizeof(info.Website), file);
    ReadText("Notes", info.Notes, sizeof(info.Notes), file);
    DecodeLineBreaks(info.Notes);
    int autosave = ReadInt(kInfo, "AutoSaveOption", 1, file);
    info.AutoSaveOption = autosave >= 0 && autosave <= 2 ? autosave : 1;
    int shot = ReadInt(kInfo, "ScreenshotType", 0, file);
    info.ScreenshotType = shot >= 0 && shot <= 5 ? shot : 0;
    if (!options_only) SetDisableSystrayTimeFiltering(ReadInt(kInfo, "DisableSystrayTimeFiltering", 0, file) != 0);
    info.TSVersion = ReadInt(kInfo, "TSVersion", kOldThemeVersion, file);
    int lv = ReadInt(kInfo, "UseLVSkin", -1, file);
    if (lv == -1) lv = FindTextNoCase(info.Name, "Use Lumivane Skin") ? 1 : 0;
    info.UseLVSkin = lv;
    info.HideTaskbar = ReadInt(kOptions, "HideTaskbar", 0, file) != 0;
}

// Opens the bars of [OpenBars]; a missing one costs one message box.
void OpenListedBars(const char* file) {
    const int version = g_theme.info.TSVersion;
    const char* theme_folder = GetThemeFolder();
    for (const OpenBarsEntry& entry : ReadOpenBars(file, kMaxThemeBars)) {
        const char* value = entry.bar.c_str();
        char skin[MAX_PATH] = "";
        if (!entry.skin.empty()) CombineCanonical(theme_folder, entry.skin.c_str(), skin);
        char bar[MAX_PATH] = "";
        const char* base = version > kOldThemeVersion ? theme_folder : ThemesRoot();
        bool found = CombineCanonical(base, value, bar) && PathExists(bar);
        if (!found && version <= kOldThemeVersion && !IsAbsolutePath(value))
            found = CombineCanonical(theme_folder, value, bar) && PathExists(bar);
        if (found) {
            OpenThemeBar(bar, skin[0] ? skin : nullptr, 1);
            continue;
        }
        char text[1024];
        tess::FormatText(text, sizeof(text),
                         "The theme you are loading contains the following bar which cannot be "
                         "located:\n\n%s\n\nPlease check to see if the bar exists and if so try "
                         "loading it manually.",
                         bar[0] ? bar : value);
        ThemeMessage(GetMainWindow(), text, kCannotFindBarCaption, MB_ICONINFORMATION);
    }
}

}  // namespace

// ---- shared pieces ------------------------------------------------------------------------

const char* ThemesRoot() {
    const char* exe = GetExeFolder();
    if (exe && exe[0]) return exe;
    if (!g_root[0] && GetProgramFolder(g_root, sizeof(g_root))) PathAddBackslashA(g_root);
    return g_root;
}

std::vector<OpenBarsEntry> ReadOpenBars(const char* file, int max_entries) {
    std::vector<OpenBarsEntry> entries;
    for (int i = 1; i <= max_entries; ++i) {
        char key[32], value[MAX_PATH] = "", skin[MAX_PATH] = "";
        tess::FormatText(key, sizeof(key), "Bar%i", i);
        GetPrivateProfileStringA(kOpenBars, key, "", value, sizeof(value), file);
        if (!value[0]) break;
        tess::FormatText(key, sizeof(key), "SkinForBar%i", i);
        GetPrivateProfileStringA(kOpenBars, key, "", skin, sizeof(skin), file);
        entries.push_back(OpenBarsEntry{value, skin});
    }
    return entries;
}

std::vector<HWND> SnapshotThemeBarWindows(bool include_internal) {
    std::vector<HWND> windows;
    const int count = GetBarWindowCount();
    for (int i = 0; i < count; ++i) {
        HWND wnd = GetBarWindowAt(i);
        if (!wnd || !LiveBarOfWindow(wnd)) continue;
        char cls[64] = "";
        GetClassNameA(wnd, cls, sizeof(cls));
        if (strcmp(cls, kBarClass) != 0) continue;
        if (!include_internal && IsInternalBarWindow(wnd)) continue;
        windows.push_back(wnd);
    }
    return windows;
}

bool OpenThemeBar(const char* bar_path, const char* skin_path, int show) {
    HWND main = GetMainWindow();
    if (!main) return false;
    char bar_file[MAX_PATH], skin[MAX_PATH];
    if (!bar_path || !tess::CopyText(bar_file, bar_path) ||
        !tess::CopyText(skin, skin_path ? skin_path : ""))
        return false;
    auto* bar = new CVellumMenuObject(main);
    if (!bar->m_hWnd) {
        // Without a window nothing would ever hold or close the bar.
        bar->Release();
        return false;
    }
    bar->LoadTheme(bar_file, 1, skin[0] ? skin : nullptr);
    if (LiveBarOfWindow(bar->m_hWnd) == bar) bar->Show(show);
    return true;
}

void ReleaseThemeBars(bool mark_not_to_save) {
    // A snapshot: a release that does not end the bar (someone else still
    // holds it) must not make the walk find the same window for ever.
    for (HWND wnd : SnapshotThemeBarWindows(true)) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (!bar) continue;
        if (mark_not_to_save) bar->m_neverSave = TRUE;
        bar->Release();
    }
}

int CountThemeFilesIn(const char* folder) {
    char pattern[MAX_PATH];
    tess::CopyText(pattern, folder);
    PathAddBackslashA(pattern);
    if (!tess::AppendText(pattern, "*.tstheme")) return 0;
    WIN32_FIND_DATAA fd;
    tess::ScopedFind find(FindFirstFileA(pattern, &fd));
    if (!find) return 0;
    int count = 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            lstrcmpiA(PathFindExtensionA(fd.cFileName), kThemeExtension) == 0)
            ++count;
    } while (FindNextFileA(find.get(), &fd));
    return count;
}

int ThemeMessage(HWND owner, const char* text, const char* caption, UINT icon) {
    return MessageBoxA(owner, text, caption, icon | MB_SETFOREGROUND | MB_TOPMOST);
}

// ---- state ----------------------------------------------------------------------------------

ThemeInfo& CurrentThemeInfo() { return g_theme.info; }
bool IsThemeModified() { return g_theme.modified; }
void SetThemeModified(bool modified) { g_theme.modified = modified; }
bool ThemeHasStyles() { return g_theme.has_styles; }
void SetThemeHasStyles(bool on) { g_theme.has_styles = on; }
void ClearThemeHasStyles() { g_theme.has_styles = false; }
bool IsThemeReloading() { return g_theme.reloading; }
void SetThemeReloading(bool on) { g_theme.reloading = on; }
const char* GetPreviousThemePath() { return g_theme.previous; }
bool GetThemeHidesTaskbar() { return g_theme.info.HideTaskbar != 0; }
bool ThemeUsesLVSkin() { return g_theme.info.UseLVSkin != 0; }

void SetThemeUsesLVSkin(bool on) {
    if ((g_theme.info.UseLVSkin != 0) == on) return;
    g_theme.info.UseLVSkin = on ? 1 : 0;
    g_theme.modified = true;
}

// ---- load ----------------------------------------------------------------------------------

bool LoadThemeFile(const char* path, int options_only) {
    if (IsPresetMode()) return false;
    if (!options_only && !SaveThemeBeforeClose(0)) return false;
    char file[MAX_PATH] = "";
    if (!path || !path[0]) {
        if (!ShowOpenFileDialog(GetMainWindow(), file, "Load Theme",
                                "Theme Files (*.tstheme)\0*.tstheme\0", ThemesRoot(), true))
            return false;
    } else {
        tess::CopyText(file, path);
    }
    char folder[MAX_PATH];
    GetParentFolder(folder, file, true);
    if (lstrcmpiA(folder, ThemesRoot()) == 0) {
        ThemeMessage(GetMainWindow(),
                     "The theme you selected could not be opened!\nThe .tstheme file must be "
                     "located in it's theme folder",
                     kCannotLoadCaption, MB_ICONINFORMATION);
        return false;
    }
    char canonical[MAX_PATH];
    if (!CanonicalPath(file, canonical)) tess::CopyText(canonical, file);

    g_theme.reloading = true;
    if (!options_only) CloseThemeBars();
    ResetThemeInfo(options_only);
    SetCurrentThemeFile(canonical);
    g_theme.reloading = false;

    ReadThemeInfoSection(canonical, options_only != 0);
    ReadLayerKeys(canonical);
    if (options_only) {
        BringBarsToFrontInTabOrder();
        g_theme.modified = false;
        SetThemeLoading(false);
        return true;
    }
    SetHideTaskbar(g_theme.info.HideTaskbar, 0);
    SetThemeLoading(true);
    OpenListedBars(canonical);
    LoadDesktopRightClickBars(canonical);

    if (HWND main = GetMainWindow()) {
        SendMessageA(main, Msgs().ThemeLoadingAlmostDone, 0, 0);
        SendMessageA(main, Msgs().ThemeLoadingDone, 0, 0);
    }
    BringBarsToFrontInTabOrder();
    if (HWND main = GetMainWindow()) SendMessageA(main, Msgs().ThemeStatus, 1, 0);
    SetThemeLoading(false);
    g_theme.modified = false;
    g_theme.reloading = false;
    g_theme.has_styles = CountThemeFilesIn(GetThemeFolder()) >= 2;
    PostHiddenTaskbarUpdate();
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    return true;
}

// ---- reset and close ------------------------------------------------------------------------

bool ResetThemeInfo(int keep_desktop_bars) {
    if (GetCurrentThemeFile()[0]) tess::CopyText(g_theme.previous, GetCurrentThemeFile());
    SetCurrentThemeFile("");
    ResetInfoTexts(g_theme.info);
    SetDisableSystrayTimeFiltering(false);
    if (!g_theme.reloading) {
        g_theme.info.HideTaskbar = 0;
        SetHideTaskbar(0, 0);
    }
    g_theme.modified = false;
    g_theme.kept_answer = 0;
    if (!keep_desktop_bars) ClearDesktopRightClickBars();
    return true;
}

bool ShouldSaveTheme(int* answer) {
    int dummy = 0;
    int& out = answer ? *answer : dummy;
    out = 1;
    if (!GetCurrentThemeFile()[0]) return true;
    if (g_theme.info.AutoSaveOption == 0) return true;
    if (g_theme.info.AutoSaveOption == 2) {
        out = -1;
        return false;
    }
    if (g_theme.kept_answer != 0) {
        out = g_theme.kept_answer;
        return g_theme.kept_answer == 1;
    }
    if (!g_theme.modified && !AnyBarModified()) return true;
    int choice = MessageBoxA(nullptr,
                             "The theme you are closing has been modified.\nDo you want to save changes?",
                             kSaveChangesCaption,
                             MB_YESNOCANCEL | MB_ICONQUESTION | MB_SETFOREGROUND | MB_TOPMOST);
    if (choice == IDYES) {
        g_theme.kept_answer = 1;
        return true;
    }
    if (choice == IDNO) {
        g_theme.kept_answer = -1;
        out = -1;
        return false;
    }
    // Cancel is answered once: the next close asks again.
    out = -2;
    return false;
}

bool SaveThemeBeforeClose(int answer) {
    if (!GetCurrentThemeFile()[0] && SnapshotThemeBarWindows(false).empty()) return true;
    if (answer == 0) {
        if (ShouldSaveTheme(&answer)) answer = 1;
    }
    if (answer == -2) return false;
    if (answer == 1) SaveThemeFile(GetCurrentThemeFile(), 0, 0);
    return true;
}

bool CloseTheme() {
    int answer = 0;
    if (ShouldSaveTheme(&answer)) {
        SaveThemeBeforeClose(1);
        CloseThemeBars();
        return true;
    }
    if (answer == -2) return false;
    CloseThemeBarsWithoutSaving();
    return true;
}

// The plug-ins' data files that no bar of the closing theme uses any more go.
static void SweepThemeDataFolder() {
    char bars[MAX_PATH] = "";
    if (GetThemeBarsFolder(bars) && bars[0]) SweepThemePluginDataFiles(bars);
}

void CloseThemeBars() {
    if (g_theme.info.AutoSaveOption == 2) {
        CloseThemeBarsWithoutSaving();
        return;
    }
    if (!SnapshotThemeBarWindows(true).empty()) {
        SetClosingThemeBars(true);
        ReleaseThemeBars(false);
        SetClosingThemeBars(false);
    }
    SweepThemeDataFolder();
    ResetThemeInfo(0);
}

void CloseThemeBarsWithoutSaving() {
    if (!SnapshotThemeBarWindows(true).empty()) {
        if (HWND main = GetMainWindow()) SendMessageA(main, Msgs().ThemeStatus, 0, 0);
        SetClosingThemeBars(true);
        ReleaseThemeBars(true);
        SetClosingThemeBars(false);
    }
    SweepThemeDataFolder();
    ResetThemeInfo(0);
}

// ---- readers ----------------------------------------------------------------------------------

void EncodeLineBreaks(char* text, size_t size) {
    if (!text || !size) return;
    // Every line break, also a lone CR or LF, becomes one 0xAF pair, so no
    // text can end the INI line early.
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\r' || *p == '\n') {
            out += "\xAF\xAF";
            if (*p == '\r' && p[1] == '\n') ++p;
        } else {
            out += *p;
        }
    }
    tess::CopyText(text, size, out.c_str());
}

void DecodeLineBreaks(char* text) {
    if (!text) return;
    for (char* p = text; *p; ++p)
        if (static_cast<unsigned char>(p[0]) == 0xAF && static_cast<unsigned char>(p[1]) == 0xAF) {
            p[0] = '\r';
            p[1] = '\n';
            ++p;
        }
}

bool ReadThemeName(const char* theme_file, char* out, size_t size) {
    if (!out || !size) return false;
    GetPrivateProfileStringA(kInfo, "Name", "", out, static_cast<DWORD>(size), theme_file);
    return out[0] != '\0';
}

bool ReadThemeNotes(const char* theme_file, char* out, size_t size) {
    if (!out || !size) return false;
    GetPrivateProfileStringA(kInfo, "Notes", "", out, static_cast<DWORD>(size), theme_file);
    DecodeLineBreaks(out);
    return true;
}

bool ReadBarComments(const char* bar_file, char* out, size_t size) {
    if (!out || !size) return false;
    GetPrivateProfileStringA("Object", "Comments", "", out, static_cast<DWORD>(size), bar_file);
    DecodeLineBreaks(out);
    return true;
}

bool FindThemeFile(const char* folder, char* out, size_t size) {
    if (!folder || !out || !size) return false;
    out[0] = '\0';
    char base[MAX_PATH];
    tess::CopyText(base, folder);
    PathAddBackslashA(base);
    char pattern[MAX_PATH];
    tess::CopyText(pattern, base);
    if (!tess::AppendText(pattern, "*.*")) return false;
    WIN32_FIND_DATAA fd;
    std::vector<std::string> subfolders;
    {
        tess::ScopedFind find(FindFirstFileA(pattern, &fd));
        if (!find) return false;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..") &&
                    !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    subfolders.push_back(fd.cFileName);
            } else if (lstrcmpiA(PathFindExtensionA(fd.cFileName), kThemeExtension) == 0) {
                tess::CopyText(out, size, base);
                return tess::AppendText(out, size, fd.cFileName);
            }
        } while (FindNextFileA(find.get(), &fd));
    }
    for (const std::string& sub : subfolders) {
        char next[MAX_PATH];
        tess::CopyText(next, base);
        if (tess::AppendText(next, sub.c_str()) && FindThemeFile(next, out, size)) return true;
    }
    return false;
}

// ---- program INI -------------------------------------------------------------------------------

void GetProgramIniPath(char* out, size_t size) {
    tess::CopyText(out, size, ThemesRoot());
    tess::AppendText(out, size, kProgramIniName);
}

void WriteLastTheme(const char* path) {
    const char* theme = path && path[0] ? path : GetCurrentThemeFile();
    if (!theme[0]) theme = g_theme.previous;
    if (!theme[0]) return;
    char value[kLastThemeValueSize];
    RelativeToFolder(ThemesRoot(), theme, value, sizeof(value));
    char ini[MAX_PATH];
    GetProgramIniPath(ini, sizeof(ini));
    MakeFileWritable(ini);
    tess::WriteProfileString("Settings", "LastTheme", value, ini);
}

void MakeFileWritable(const char* path) {
    if (path && path[0]) SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
}

void NotifyFileSaved(const char*) {}
