// Saving the current theme, switching to another style of it, and reloading
// a skin in the bars that wear it.
#include <shlwapi.h>
#include <cstring>
#include <string>
#include <vector>

#include "model/bar_screenshot.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/desktop_right_click.h"
#include "shell/main_window.h"
#include "shell/registered_messages.h"
#include "shell/startup.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr char kInfo[] = "Theme Info";
constexpr char kOptions[] = "Options";
constexpr char kOpenBars[] = "OpenBars";
constexpr int kMaxStyleEntries = 200;

void WriteKey(const char* section, const char* key, const char* value, const char* file) {
    tess::WriteProfileString(section, key, value, file);
}

void WriteIntKey(const char* section, const char* key, int value, const char* file) {
    char text[32];
    tess::FormatText(text, sizeof(text), "%d", value);
    tess::WriteProfileString(section, key, text, file);
}

void WriteThemeInfo(const char* file) {
    const ThemeInfo& info = CurrentThemeInfo();
    tess::WriteProfileString(kInfo, nullptr, nullptr, file);
    WriteKey(kInfo, "Name", info.Name, file);
    WriteKey(kInfo, "Version", info.Version, file);
    WriteKey(kInfo, "Author", info.Author, file);
    WriteKey(kInfo, "Company", info.Company, file);
    WriteKey(kInfo, "Email", info.Email, file);
    WriteKey(kInfo, "Website", info.Website, file);
    char notes[kThemeNotesSize * 2];
    tess::CopyText(notes, info.Notes);
    EncodeLineBreaks(notes, sizeof(notes));
    WriteKey(kInfo, "Notes", notes, file);
    WriteIntKey(kInfo, "AutoSaveOption", info.AutoSaveOption, file);
    if (info.ScreenshotType != 0) WriteIntKey(kInfo, "ScreenshotType", info.ScreenshotType, file);
    if (GetDisableSystrayTimeFiltering()) WriteKey(kInfo, "DisableSystrayTimeFiltering", "1", file);
    WriteIntKey(kInfo, "TSVersion", kThemeFileVersion, file);
    WriteIntKey(kInfo, "UseLVSkin", info.UseLVSkin ? 1 : 0, file);
}

void WriteOptions(const char* file) {
    tess::WriteProfileString(kOptions, nullptr, nullptr, file);
    if (CurrentThemeInfo().HideTaskbar) WriteKey(kOptions, "HideTaskbar", "1", file);
    int volatile_n = 0, hidden_n = 0;
    for (int layer = 0; layer < kLayerCount; ++layer) {
        char key[32];
        if (IsLayerVolatile(layer)) {
            tess::FormatText(key, sizeof(key), "LayerVolitle%i", ++volatile_n);
            WriteIntKey(kOptions, key, layer, file);
        }
        // The raw hidden flag: toggled and put back.
        int hidden = !ToggleLayerHidden(layer);
        ToggleLayerHidden(layer);
        if (hidden) {
            tess::FormatText(key, sizeof(key), "LayerHidden%i", ++hidden_n);
            WriteIntKey(kOptions, key, layer, file);
        }
    }
    SaveDesktopRightClickBars(file);
}

bool BarCountsAsOpen(CVellumMenuObject* bar, HWND wnd) {
    return IsWindowVisible(wnd) || bar->SetAsHidden || bar->bHideBarUntilHotkey ||
           bar->m_layerHidden || bar->m_associatedPopupItem;
}

bool BarHasSkinFile(const CVellumMenuObject* bar) {
    return SkinRecordPath(bar->m_skin) != nullptr;
}

// The left-out marks of the save in progress.
std::vector<HWND> g_left_out;

bool IsLeftOut(HWND wnd) {
    for (HWND w : g_left_out)
        if (w == wnd) return true;
    return false;
}

bool AnyBarChanged() {
    for (HWND wnd : SnapshotThemeBarWindows(false)) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (bar && (bar->m_modified || bar->m_modifiedSilently)) return true;
    }
    return false;
}

// "<theme>_ss.bmp", taken again when asked to, when a bar changed or when
// the theme has none yet.
void SaveThemePreview(const char* theme_file, bool force) {
    char preview[MAX_PATH];
    const size_t length = strlen(theme_file);
    const size_t ext = strlen(kThemeExtension);
    if (length <= ext || _stricmp(theme_file + length - ext, kThemeExtension) != 0) return;
    if (!tess::CopyTextN(preview, sizeof(preview), theme_file, length - ext) ||
        !tess::AppendText(preview, "_ss.bmp"))
        return;
    if (force || AnyBarChanged() || !PathFileExistsA(preview))
        SaveScreenshotBitmap(preview, nullptr, CurrentThemeInfo().ScreenshotType);
}

}  // namespace

bool IsInsideThemeWriteArea(const char* path) {
    if (!path || !path[0]) return false;
    const char* root = CurrentThemeInfo().TSVersion <= kOldThemeVersion ? ThemesRoot() : GetThemeFolder();
    if (!root[0]) return false;
    char canonical[MAX_PATH];
    if (!PathCanonicalizeA(canonical, path)) return false;
    char folder[MAX_PATH];
    tess::CopyText(folder, root);
    PathAddBackslashA(folder);
    const size_t n = strlen(folder);
    return strlen(canonical) > n && _strnicmp(canonical, folder, n) == 0;
}

void SaveBarForTheme(CVellumMenuObject* bar, HWND wnd, bool theme_file_only) {
    if (bar->m_owningPopupItem) g_left_out.push_back(wnd);
    if (theme_file_only) return;
    if (bar->m_barFile[0]) {
        const BOOL modified_before = bar->m_modified;
        SendMessageA(wnd, Msgs().ThemeClosingCheckModified, 0, 0);
        if (!IsLiveBar(bar)) return;
        const BOOL modified = bar->m_internalBar ? modified_before : bar->m_modified;
        if (!IsInsideThemeWriteArea(bar->m_barFile)) {
            // A bar read from outside the theme is never written back there:
            // a changed one is saved as a new file of the theme (or where the
            // user chooses); an unchanged one keeps its file untouched.
            if (modified) bar->Save(nullptr);
            return;
        }
        if (modified) {
            char file[MAX_PATH];
            tess::CopyText(file, bar->m_barFile);
            bar->Save(file);
        } else {
            bar->SavePosition();
            bar->SaveScreenshot(1);
        }
    } else if (!bar->m_owningPopupItem) {
        bar->Save(nullptr);
    }
}

bool SaveThemeFile(const char* path, int force_screenshot, int theme_file_only) {
    if (IsPresetMode()) return false;
    char file[MAX_PATH] = "";
    if (path && path[0]) {
        tess::CopyText(file, path);
    } else if (!ShowSaveFileDialog(GetMainWindow(), file, "Save Theme",
                                   "Theme Files (*.tstheme)\0*.tstheme\0", GetThemeFolder(), 0) ||
               !file[0]) {
        return false;
    }
    CurrentThemeInfo().TSVersion = kThemeFileVersion;
    SetSavingTheme(true);

    for (HWND wnd : SnapshotThemeBarWindows(false)) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (bar && bar->m_foreignSkin) {
            ThemeMessage(nullptr,
                         "Note: One or more bars in the theme you are saving are set to display "
                         "skins that belong to other themes.\n\nTo ensure that all files related to "
                         "your theme stay in your theme's folder, the skin(s) have been copied to the "
                         "\"Skins\\Imports\\\" folder in your theme's folder.\n",
                         "Tessellar - Saving Theme", MB_ICONINFORMATION);
            break;
        }
    }
    MakeFileWritable(file);
    char canonical[MAX_PATH];
    if (!PathCanonicalizeA(canonical, file)) tess::CopyText(canonical, file);
    char folder[MAX_PATH];
    GetParentFolder(folder, canonical, true);

    SaveThemePreview(canonical, force_screenshot != 0);

    // The theme file changes in memory and is replaced in one write at the end.
    tess::ProfileSession session(canonical, false);
    WriteThemeInfo(canonical);
    g_left_out.clear();
    for (HWND wnd : SnapshotThemeBarWindows(true)) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (bar) SaveBarForTheme(bar, wnd, theme_file_only != 0);
    }

    tess::WriteProfileString(kOpenBars, nullptr, nullptr, canonical);
    int n = 0;
    for (HWND wnd : SnapshotThemeBarWindows(false)) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (!bar || IsLeftOut(wnd) || !bar->m_barFile[0] || !BarCountsAsOpen(bar, wnd)) continue;
        ++n;
        char key[32], value[MAX_PATH];
        tess::FormatText(key, sizeof(key), "Bar%i", n);
        RelativeToFolder(folder, bar->m_barFile, value, sizeof(value));
        WriteKey(kOpenBars, key, value, canonical);
        if (BarHasSkinFile(bar)) {
            tess::FormatText(key, sizeof(key), "SkinForBar%i", n);
            RelativeToFolder(folder, SkinRecordPath(bar->m_skin), value, sizeof(value));
            WriteKey(kOpenBars, key, value, canonical);
        }
    }
    g_left_out.clear();
    WriteOptions(canonical);
    DWORD error = 0;
    if (!session.Commit(&error)) {
        // The theme stays modified and its file as it was.
        std::string text = "The theme could not be saved to\n";
        text += canonical;
        text += "\n\n" + tess::ErrorText(error) + "\n\nThe file on disk is unchanged.";
        ThemeMessage(nullptr, text.c_str(), "Tessellar - Saving Theme", MB_ICONERROR);
        SetSavingTheme(false);
        return false;
    }
    NotifyFileSaved(canonical);

    SetCurrentThemeFile(canonical);
    SetThemeModified(false);
    SetSavingTheme(false);
    return true;
}

// ---- another style of the same theme ----------------------------------------------------------

bool SwitchThemeStyle(const char* path) {
    if (!path || !path[0]) return false;
    SaveThemeFile(GetCurrentThemeFile(), 0, 1);
    char file[MAX_PATH];
    tess::CopyText(file, path);
    SetCurrentThemeFile(file);
    const char* folder = GetThemeFolder();

    struct Entry {
        std::string bar, skin;
        bool taken;
    };
    std::vector<Entry> entries;
    for (const OpenBarsEntry& entry : ReadOpenBars(file, kMaxStyleEntries)) {
        char bar[MAX_PATH] = "", skin[MAX_PATH] = "";
        // Full paths, however long the folder: no fixed slot cuts them.
        if (!CombineCanonical(folder, entry.bar.c_str(), bar)) continue;
        if (!entry.skin.empty()) CombineCanonical(folder, entry.skin.c_str(), skin);
        entries.push_back(Entry{bar, skin, false});
    }

    // Match the open bars to the entries; the rest close.
    struct Match {
        HWND wnd;
        int entry;   // -1: to close
    };
    std::vector<Match> matches;
    for (HWND wnd : SnapshotThemeBarWindows(false)) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (!bar) continue;
        int found = -1;
        for (size_t e = 0; e < entries.size(); ++e)
            if (!entries[e].taken && lstrcmpiA(entries[e].bar.c_str(), bar->m_barFile) == 0) {
                entries[e].taken = true;
                found = static_cast<int>(e);
                break;
            }
        matches.push_back(Match{wnd, found});
    }
    for (const Match& m : matches) {
        CVellumMenuObject* bar = LiveBarOfWindow(m.wnd);
        if (!bar) continue;
        if (m.entry < 0) {
            SaveBarForTheme(bar, m.wnd, false);
            if (IsLiveBar(bar)) bar->Release();
            continue;
        }
        const std::string& skin = entries[m.entry].skin;
        if (skin.empty()) continue;
        SkinRecord* record = LoadSkinForTheme(skin.c_str());
        if (!record) continue;
        ReleaseSkinForTheme(bar->m_skin);
        bar->m_skin = record;
        bar->ReplaceBackgroundCache();
        bar->ProcessUserMessage(Msgs().BarSkinChanging, 0, 0);
        bar->UpdatePos();
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }
    for (const Entry& e : entries)
        if (!e.taken && PathExists(e.bar.c_str()))
            OpenThemeBar(e.bar.c_str(), e.skin.empty() ? nullptr : e.skin.c_str(), 0);
    LoadThemeFile(file, 1);
    return true;
}

// ---- skins -----------------------------------------------------------------------------------------

bool ReloadSkinInBars(const char* skin_path, int mode, const char* element) {
    SkinRecord* record = ReloadCachedSkin(skin_path);
    if (!record) return false;
    const bool background = element && lstrcmpiA(element, "TaskbarBackgroundSkin") == 0;
    const int count = GetBarWindowCount();
    std::vector<HWND> windows;
    for (int i = 0; i < count; ++i) windows.push_back(GetBarWindowAt(i));
    for (HWND wnd : windows) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (!bar || bar->m_skin != record) continue;
        // The skin's transparency may be what changed.
        if (mode >= 1) bar->UpdateAlpha();
        if (mode == 1) {
            if (background) bar->ReplaceBackgroundCache();
            bar->UpdateToDrawBitmap(nullptr, nullptr, nullptr);
        } else if (mode == 2) {
            if (!element || !element[0] || background) bar->ReplaceBackgroundCache();
            bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
            bar->UpdatePos();
            bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        }
    }
    return true;
}
