// Skin lists for the combo boxes of the bar pages and the theme editor, and
// the import of a foreign skin into the theme.
#include "shell/skin_lists.h"
#include <shlwapi.h>
#include <string>
#include <vector>
#include "shell/app_state.h"
#include "shell/global_settings.h"
#include "shell/main_window.h"
#include "shell/theme_file.h"
#include "skins/ini_section_reader.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/paths.h"
#include "util/text.h"

namespace {

constexpr char kLumivaneFolder[] = "\\Skins\\LumivaneSkins\\CurrentSkin\\";

// The parts of a Lumivane skin, recognised by their text in the SkinName.
struct LumivanePart {
    const char* text;
    const char* shown;
};
constexpr LumivanePart kLumivaneParts[] = {
    {" StartPanel - Right", "Right Start Panel"},
    {" StartPanel - Left", "Left Start Panel"},
    {" StartPanel - User Pane", "Top Start Panel"},
    {" StartPanel - Bottom", "Bottom Start Panel"},
    {" Horiz. Bar", "Horiz. Bar"},
    {" Vert. Bar", "Vert. Bar"},
    {" Menus", "Menus"},
};

// The bitmap keys of a skin section: every file a skin draws from.
constexpr const char* kBitmapKeys[] = {"hBitmap",          "hBitmapGrayed",     "hBitmapSelected",
                                       "hBitmapMouseover", "MenuExpanderImage", "Panorel_Background"};

void LumivaneDisplayName(char* name, size_t size) {
    for (const LumivanePart& part : kLumivaneParts) {
        char* at = strstr(name, part.text);
        if (!at) continue;
        *at = '\0';
        char shown[kSkinEntryTextSize];
        if (tess::FormatText(shown, sizeof(shown), "LV3 Skin: %s (%s)", part.shown, name))
            tess::CopyText(name, size, shown);
        else
            *at = ' ';
        return;
    }
}

void AddEntry(HWND combo, const char* name, const char* path, bool select) {
    std::string text = std::string(name) + kSkinPathMarker + path;
    LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (select && index >= 0) SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AddSkinFile(HWND combo, const char* path, const char* selected) {
    char name[kSkinEntryTextSize] = "";
    GetPrivateProfileStringA("General", "SkinName", "", name, kSkinListNameSize, path);
    if (StrStrIA(path, kLumivaneFolder)) LumivaneDisplayName(name, sizeof(name));
    AddEntry(combo, name, path, selected && lstrcmpiA(path, selected) == 0);
}

void WalkSkinFolder(HWND combo, const char* folder, const char* selected, int depth) {
    char pattern[MAX_PATH];
    if (!tess::CopyText(pattern, folder) || !tess::AppendText(pattern, "*.*")) return;
    WIN32_FIND_DATAA fd;
    tess::ScopedFind find(FindFirstFileA(pattern, &fd));
    if (!find) return;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
        char path[MAX_PATH];
        if (!tess::CopyText(path, folder) || !tess::AppendText(path, fd.cFileName)) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link back up the tree would walk for ever.
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (depth + 1 > kSkinListMaxDepth || !tess::AppendText(path, "\\")) continue;
            WalkSkinFolder(combo, path, selected, depth + 1);
            continue;
        }
        char extension[MAX_PATH];
        if (GetFileExtension(fd.cFileName, extension, sizeof(extension)) &&
            lstrcmpiA(extension, "tsskin") == 0)
            AddSkinFile(combo, path, selected);
    } while (FindNextFileA(find.get(), &fd));
}

// ---- import ---------------------------------------------------------------------------------------

bool MakeFolder(const char* path) {
    return CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool StartsWithFolder(const char* path, const char* folder) {
    size_t length = strlen(folder);
    return strlen(path) > length && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path,
                                                   static_cast<int>(length), folder,
                                                   static_cast<int>(length)) == CSTR_EQUAL;
}

// Creates the folders of file's path below root (which exists), outermost first.
bool MakeFoldersBelow(const char* root, const char* file) {
    std::string path = file;
    size_t at = strlen(root);
    while ((at = path.find('\\', at)) != std::string::npos) {
        if (!MakeFolder(path.substr(0, at).c_str())) return false;
        ++at;
    }
    return true;
}

// Copies one bitmap named relative to the skin into the import folder. A
// name that would land outside the imported skins is passed over; false
// only when a copy failed.
bool CopySkinBitmap(const char* skinFolder, const char* importFolder, const char* importRoot,
                    const char* name) {
    char source[MAX_PATH], target[MAX_PATH];
    if (!CombineCanonical(skinFolder, name, source) || !CombineCanonical(importFolder, name, target))
        return true;
    if (!StartsWithFolder(target, importRoot)) return true;
    bool ok = true;
    bool bmp = lstrcmpiA(PathFindExtensionA(source), ".bmp") == 0;
    for (int pass = 0; pass < (bmp ? 2 : 1); ++pass) {
        char from[MAX_PATH], to[MAX_PATH];
        tess::CopyText(from, source);
        tess::CopyText(to, target);
        // A .tga stands in for a .bmp the skin names.
        if (pass == 1 && (!PathRenameExtensionA(from, ".tga") || !PathRenameExtensionA(to, ".tga")))
            continue;
        if (!FileExists(from)) continue;
        if (!MakeFoldersBelow(importRoot, to) || !CopyFileA(from, to, FALSE)) ok = false;
    }
    return ok;
}

bool CopySkinBitmaps(const char* skin, const char* skinFolder, const char* importFolder,
                     const char* importRoot) {
    bool ok = true;
    CIniSectionNameList sections(skin);
    for (int i = 0; i < sections.GetCount(); ++i) {
        char section[CIniSectionReader::kSectionNameSize];
        if (!sections.GetName(i, section)) continue;
        for (const char* key : kBitmapKeys) {
            char name[kSkinListNameSize] = "";
            GetPrivateProfileStringA(section, key, "", name, sizeof(name), skin);
            if (name[0] && !CopySkinBitmap(skinFolder, importFolder, importRoot, name)) ok = false;
        }
    }
    return ok;
}

}  // namespace

int FillSkinFileCombo(HWND combo, const char* folder, const char* selected) {
    if (!combo || !folder || !folder[0]) return 0;
    WalkSkinFolder(combo, folder, selected, 0);
    return 1;
}

int FillThemeFolderCombo(HWND combo, const char* folder, const char* selected) {
    if (!combo || !folder || !folder[0]) return 0;
    char pattern[MAX_PATH];
    if (!tess::CopyText(pattern, folder) || !tess::AppendText(pattern, "*.*")) return 0;
    WIN32_FIND_DATAA fd;
    tess::ScopedFind find(FindFirstFileA(pattern, &fd));
    if (!find) return 1;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
        char path[MAX_PATH];
        if (!tess::CopyText(path, folder) || !tess::AppendText(path, fd.cFileName) ||
            !tess::AppendText(path, "\\"))
            continue;
        char theme[MAX_PATH] = "";
        char name[kSkinEntryTextSize] = "";
        if (!FindThemeFile(path, theme, sizeof(theme)) || !ReadThemeName(theme, name, sizeof(name)))
            tess::FormatText(name, sizeof(name), "\"%s\"", fd.cFileName);
        AddEntry(combo, name, path, selected && StrStrIA(selected, path) != nullptr);
    } while (FindNextFileA(find.get(), &fd));
    return 1;
}

bool GetSelectedSkinPath(HWND combo, char* out, size_t size) {
    if (!out || !size) return false;
    out[0] = '\0';
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return false;
    LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0) return false;
    std::vector<char> text(static_cast<size_t>(length) + 1);
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.back() = '\0';
    if (text.size() > static_cast<size_t>(kSkinEntryTextSize)) text[kSkinEntryTextSize - 1] = '\0';
    const char* marker = strstr(text.data(), kSkinPathMarker);
    if (!marker) return false;
    return tess::CopyText(out, size, marker + strlen(kSkinPathMarker));
}

bool FillSkinsOfSelectedTheme(HWND themes, HWND skins, const char* selected) {
    SendMessageA(skins, CB_RESETCONTENT, 0, 0);
    char folder[kSkinEntryTextSize] = "";
    if (!GetSelectedSkinPath(themes, folder, sizeof(folder))) return false;
    FillSkinFileCombo(skins, folder, selected);
    return true;
}

bool GetFileExtension(const char* name, char* out, size_t size) {
    if (!out || !size) return false;
    out[0] = '\0';
    const char* dot = name ? strrchr(name, '.') : nullptr;
    if (dot) tess::CopyText(out, size, dot + 1);
    return out[0] != '\0';
}

int ImportSkinFile(char* path, size_t size) {
    if (!path || !size || !path[0]) return 0;
    const char* file = PathFindFileNameA(path);
    if (!file || !file[0] || file == path) return 0;
    char skinFolder[MAX_PATH];
    if (!tess::CopyTextN(skinFolder, sizeof(skinFolder), path, static_cast<size_t>(file - path)))
        return 0;
    // The name of the folder that holds the skin.
    char folderName[MAX_PATH];
    tess::CopyText(folderName, skinFolder);
    PathRemoveBackslashA(folderName);
    const char* ownName = PathFindFileNameA(folderName);
    const char* theme = GetThemeFolder();
    if (!theme || !theme[0] || !ownName || !ownName[0]) return 0;

    char skins[MAX_PATH], importRoot[MAX_PATH], importFolder[MAX_PATH], copy[MAX_PATH];
    if (!tess::FormatText(skins, sizeof(skins), "%sSkins\\", theme) ||
        !tess::FormatText(importRoot, sizeof(importRoot), "%sImported\\", skins) ||
        !tess::FormatText(importFolder, sizeof(importFolder), "%s%s\\", importRoot, ownName) ||
        !tess::FormatText(copy, sizeof(copy), "%s%s", importFolder, file) || strlen(copy) >= size)
        return 0;
    if (!MakeFolder(skins) || !MakeFolder(importRoot) || !MakeFolder(importFolder)) return 0;
    if (!CopyFileA(path, copy, FALSE)) return 0;
    // A skin whose bitmaps did not all arrive would draw broken: the bar
    // keeps the original.
    if (!CopySkinBitmaps(path, skinFolder, importFolder, importRoot)) return 0;
    tess::CopyText(path, size, copy);
    return 1;
}

bool ImportSkinFileForBars(const char* skin, char* out, size_t out_size) {
    if (!skin || !out || !out_size || !tess::CopyText(out, out_size, skin)) return false;
    if (ImportSkinFile(out, out_size)) return true;
    out[0] = '\0';
    return false;
}

// ---- the last skin ---------------------------------------------------------------------------------

bool ReadLastSkinSetting(char* out, size_t size) {
    if (!out || !size) return false;
    out[0] = '\0';
    tess::ScopedRegKey key(OpenSettingsKey());
    if (!key) return false;
    char value[MAX_PATH] = "";
    DWORD bytes = sizeof(value) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), "szLastSkinIni", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    value[bytes < sizeof(value) ? bytes : sizeof(value) - 1] = '\0';
    return tess::CopyText(out, size, value);
}

bool WriteLastSkinSetting(const char* path) {
    if (!path) return false;
    char value[MAX_PATH];
    if (!tess::CopyText(value, path)) return false;
    tess::ScopedRegKey key(OpenSettingsKey());
    if (!key) return false;
    return RegSetValueExA(key.get(), "szLastSkinIni", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(strlen(value) + 1)) == ERROR_SUCCESS;
}

bool SaveLastSkinSetting(const char* path) { return WriteLastSkinSetting(path); }

std::string SkinListProgramFolder() {
    const char* folder = GetExeFolder();
    if (folder && folder[0]) return folder;
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    const size_t cut = text.find_last_of('\\');
    return cut == std::string::npos ? std::string() : text.substr(0, cut + 1);
}
