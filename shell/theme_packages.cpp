// Packing a theme: the whole theme folder with the plug-ins its bars use
// (40024), or an expansion pack of the chosen styles and skin folders
// (40147). The theme folder is never changed: what the package leaves out
// is skipped by the archive module, and the files made for the package are
// staged in a temporary folder of their own.
#include "shell/theme_packages.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <cstring>
#include <memory>

#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/package_resources.h"
#include "shell/startup.h"
#include "shell/theme_file.h"
#include "util/dialog_base.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr char kUploadPage[] = "https://www.vantrell.com/tessellar/themes/share/";
constexpr char kPackageFilter[] = "Tessellar Theme Package (*.tspack)\0*.tspack\0";
constexpr int kMaxBarSections = 499;
constexpr int kMaxBarItems = 499;
constexpr int kPluginNameSize = 360;
const char* const kPluginsNeverPacked[] = {"Wayfinch.dll", "Quadrille.dll"};

// The theme folder split as the package needs it.
struct ThemeFolderParts {
    char folder[MAX_PATH];   // with a trailing backslash
    char name[MAX_PATH];     // its last component
    char parent[MAX_PATH];   // the folder above, with a trailing backslash
};

bool SplitThemeFolder(const char* theme_folder, ThemeFolderParts* out) {
    if (!theme_folder || !theme_folder[0] || !tess::CopyText(out->folder, theme_folder)) return false;
    PathAddBackslashA(out->folder);
    char bare[MAX_PATH];
    tess::CopyText(bare, out->folder);
    PathRemoveBackslashA(bare);
    const char* last = strrchr(bare, '\\');
    if (!last || !last[1]) return false;
    tess::CopyText(out->name, last + 1);
    tess::CopyTextN(out->parent, sizeof(out->parent), bare, static_cast<size_t>(last - bare) + 1);
    return true;
}

// ---- the temporary folder of files made for the package ----------------------------------------

// "<temp>\tspNNNN.tmp\<theme name>\": the info file and the plug-in copies.
// Everything in it was put there by the pack, and it is removed file by file.
class PackageStage {
public:
    bool Create(const char* theme_name) {
        char temp[MAX_PATH], unique[MAX_PATH];
        if (!GetTempPathA(sizeof(temp), temp) || !GetTempFileNameA(temp, "tsp", 0, unique)) return false;
        DeleteFileA(unique);
        if (!CreateDirectoryA(unique, nullptr)) return false;
        root_ = std::string(unique) + "\\";
        theme_ = root_ + theme_name + "\\";
        return theme_.size() < MAX_PATH - 40 && CreateDirectoryA(theme_.c_str(), nullptr);
    }
    ~PackageStage() {
        if (root_.empty()) return;
        RemoveFilesIn(theme_ + kPackagedPluginsFolder + "\\");
        RemoveDirectoryA((theme_ + kPackagedPluginsFolder).c_str());
        DeleteFileA((theme_ + kPackageInfoFile).c_str());
        RemoveDirectoryA(theme_.c_str());
        RemoveDirectoryA(root_.c_str());
    }
    const std::string& Root() const { return root_; }
    const std::string& Theme() const { return theme_; }

private:
    static void RemoveFilesIn(const std::string& folder) {
        WIN32_FIND_DATAA fd;
        tess::ScopedFind find(FindFirstFileA((folder + "*").c_str(), &fd));
        if (!find) return;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + fd.cFileName).c_str());
        } while (FindNextFileA(find.get(), &fd));
    }
    std::string root_, theme_;
};

// The info file: which theme to open after installing, and whether the
// package is an expansion pack.
bool WritePackageInfo(const std::string& info_file, bool expansion) {
    WriteLastTheme(GetCurrentThemeFile());
    char program_ini[MAX_PATH], last[kLastThemeValueSize] = "";
    GetProgramIniPath(program_ini, sizeof(program_ini));
    GetPrivateProfileStringA("Settings", "LastTheme", "", last, sizeof(last), program_ini);
    if (!WritePrivateProfileStringA("Settings", "LastTSPackTheme", last, info_file.c_str())) return false;
    if (expansion && !WritePrivateProfileStringA("Settings", "IsExpansionPack", "1", info_file.c_str()))
        return false;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, info_file.c_str());   // flush
    return PathFileExistsA(info_file.c_str()) != 0;
}

// ---- the notices --------------------------------------------------------------------------------

// The notice handles nothing: the dialog manager does all it needs.
INT_PTR CALLBACK PackingNoticeDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND ShowPackingNotice() {
    HWND notice = CreateDialogParamA(GetAppInstance(), MAKEINTRESOURCEA(IDD_PACKING_NOTICE), GetMainWindow(),
                                     PackingNoticeDlgProc, 0);
    if (notice) {
        SetWindowPos(notice, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        RedrawWindow(notice, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    return notice;
}

void PackageSizeText(const char* path, char* out, size_t size) {
    unsigned long kb = 0;
    tess::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (file) {
        DWORD bytes = GetFileSize(file.get(), nullptr);
        if (bytes != INVALID_FILE_SIZE) kb = bytes / 1024 + (bytes % 1024 > 1 ? 1 : 0);
    }
    tess::FormatText(out, size, "%lu Kb", kb);
}

class PackingCompletedDialog : public tess::DialogBase {
public:
    explicit PackingCompletedDialog(const char* package) { tess::CopyText(package_, package); }

protected:
    INT_PTR OnInit() override {
        char format[512] = "", size[40], text[1024];
        GetDlgItemTextA(Window(), IDC_COMPLETED_TEXT, format, sizeof(format));
        PackageSizeText(package_, size, sizeof(size));
        tess::FormatText(text, sizeof(text), format, package_, size);
        SetDlgItemTextA(Window(), IDC_COMPLETED_TEXT, text);
        return TRUE;
    }
    INT_PTR OnCommand(int id, int) override {
        if (id == IDOK) {
            DestroyWindow(Window());
            return TRUE;
        }
        if (id == IDCANCEL) {
            ShellExecuteA(nullptr, nullptr, kUploadPage, nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        }
        return FALSE;
    }
    INT_PTR OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg != WM_CLOSE) return FALSE;
        DestroyWindow(Window());
        return TRUE;
    }

private:
    char package_[MAX_PATH] = "";
};

// ---- the shared steps of both packs ---------------------------------------------------------------

bool AskPackagePath(const ThemeFolderParts& parts, char* package, size_t size) {
    tess::CopyText(package, size, "*.tspack");
    SetFileDialogOpen(true);
    bool chosen = ShowSaveFileDialog(GetMainWindow(), package, "Save Theme Package As...", kPackageFilter,
                                     parts.folder, 0);
    SetFileDialogOpen(false);
    if (!chosen || !package[0]) return false;
    if (!PathFindExtensionA(package)[0]) tess::AppendText(package, size, ".tspack");
    return true;
}

// Writes the package and tells the user how it went.
void WritePackage(const ThemeFolderParts& parts, const char* package, ZipFolderExtras& extras,
                  PackageStage& stage, bool expansion) {
    HWND notice = ShowPackingNotice();
    const std::string info = stage.Theme() + kPackageInfoFile;
    bool ok = WritePackageInfo(info, expansion);
    if (ok) {
        extras.staged_root = stage.Root();
        extras.staged.insert(extras.staged.begin(), std::string(parts.name) + "\\" + kPackageInfoFile);
        const char* files[1] = {parts.name};
        ok = ZipFolder(package, 1, files, parts.parent, &extras);
    }
    if (notice) DestroyWindow(notice);
    if (!ok) {
        char text[MAX_PATH + 200];
        tess::FormatText(text, sizeof(text),
                         "The theme could not be packed into:\n\n%s\n\nNo package was saved.", package);
        MessageBoxA(GetMainWindow(), text, kPackageCaption, MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
        return;
    }
    tess::DialogBase::CreateModeless(std::unique_ptr<tess::DialogBase>(new PackingCompletedDialog(package)),
                                     GetAppInstance(), MAKEINTRESOURCEA(IDD_PACKING_COMPLETED), GetMainWindow());
}

bool ThemeReadyToPack(ThemeFolderParts* parts) {
    if (!SaveThemeBeforeClose(0) || !GetCurrentThemeFile()[0]) return false;
    return SplitThemeFolder(GetThemeFolder(), parts);
}

// ---- plug-ins used by bars ------------------------------------------------------------------------

bool NeverPacked(const char* name) {
    for (const char* skip : kPluginsNeverPacked)
        if (lstrcmpiA(name, skip) == 0) return true;
    return false;
}

void CollectFromBarFile(const char* bar_file, const char* plugins, const char* target, bool* any) {
    for (int s = 1; s <= kMaxBarSections; ++s) {
        char section[32];
        tess::FormatText(section, sizeof(section), "Section%i", s);
        if (GetPrivateProfileIntA(section, "Properties.ForceValid", 0, bar_file) == 0) break;
        for (int i = 1; i <= kMaxBarItems; ++i) {
            char key[48], value[kPluginNameSize] = "";
            tess::FormatText(key, sizeof(key), "Item%i.Action", i);
            GetPrivateProfileStringA(section, key, "\x01", value, sizeof(value), bar_file);
            if (strcmp(value, "\x01") == 0) break;
            tess::FormatText(key, sizeof(key), "Item%i.Plugin", i);
            GetPrivateProfileStringA(section, key, "", value, sizeof(value), bar_file);
            if (!value[0]) continue;
            const char* slash = strrchr(value, '\\');
            const char* name = slash ? slash + 1 : value;
            if (!IsPlainFolderName(name) || NeverPacked(name)) continue;
            char from[MAX_PATH], to[MAX_PATH];
            if (!tess::FormatText(from, sizeof(from), "%s%s", plugins, name) ||
                !tess::FormatText(to, sizeof(to), "%s%s", target, name) || !FileExists(from))
                continue;
            CreateDirectoryA(target, nullptr);
            if (CopyFileA(from, to, FALSE) && any) *any = true;
        }
    }
}

void CollectFromFolder(const char* folder, const char* plugins, const char* target, bool* any) {
    char query[MAX_PATH];
    if (!tess::FormatText(query, sizeof(query), "%s*", folder)) return;
    WIN32_FIND_DATAA fd;
    tess::ScopedFind find(FindFirstFileA(query, &fd));
    if (!find) return;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
        char path[MAX_PATH];
        if (!tess::FormatText(path, sizeof(path), "%s%s", folder, fd.cFileName)) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (tess::AppendText(path, "\\")) CollectFromFolder(path, plugins, target, any);
        } else if (lstrcmpiA(PathFindExtensionA(fd.cFileName), ".tsbar") == 0) {
            CollectFromBarFile(path, plugins, target, any);
        }
    } while (FindNextFileA(find.get(), &fd));
}

// ---- the expansion-pack choice (dialog 221) ------------------------------------------------------

struct ExpansionChoice {
    std::string theme_folder;                  // with a trailing backslash
    std::vector<std::string> left_out_styles;  // theme file names without ".tstheme"
    std::vector<std::string> left_out_skins;   // folder names below "Skins"
};

class ExpansionPackDialog : public tess::DialogBase {
public:
    explicit ExpansionPackDialog(ExpansionChoice* choice) : choice_(choice) {}
    ~ExpansionPackDialog() override {
        if (images_) ImageList_Destroy(images_);
    }

protected:
    INT_PTR OnInit() override {
        images_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
        const int ids[2] = {IDI_THEME_DOC_ICON, IDI_SKIN_FOLDER};
        for (int id : ids) {
            HICON icon = static_cast<HICON>(
                LoadImageA(GetAppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
            ImageList_AddIcon(images_, icon);
            if (icon) DestroyIcon(icon);
        }
        Fill(IDC_EXPANSION_THEMES, "Theme Files", 0, "*.tstheme", false);
        Fill(IDC_EXPANSION_SKINS, "Skin Folders", 1, "Skins\\*", true);
        return TRUE;
    }
    INT_PTR OnCommand(int id, int) override {
        if (id == IDCANCEL) {
            EndDialog(Window(), 0);
            return TRUE;
        }
        if (id != IDOK) return FALSE;
        std::vector<std::string> styles_in, skins_in;
        Split(IDC_EXPANSION_THEMES, &styles_in, &choice_->left_out_styles);
        Split(IDC_EXPANSION_SKINS, &skins_in, &choice_->left_out_skins);
        if (styles_in.empty() || skins_in.empty()) {
            choice_->left_out_styles.clear();
            choice_->left_out_skins.clear();
            MessageBoxA(Window(),
                        "You cannot package a theme as an expansion pack without including at least one theme "
                        "file and one skin folder!\n\nPlease place a check next to the theme files and skin "
                        "folders for the styles which you want to include in this package.",
                        kExpansionCaption, MB_ICONWARNING);
            return TRUE;
        }
        EndDialog(Window(), 1);
        return TRUE;
    }

private:
    static constexpr int IDI_THEME_DOC_ICON = 107;

    void Fill(int id, const char* heading, int image, const char* pattern, bool folders) {
        HWND list = GetDlgItem(Window(), id);
        ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        ListView_SetImageList(list, images_, LVSIL_SMALL);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(heading);
        column.cx = 180;
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        WIN32_FIND_DATAA fd;
        tess::ScopedFind find(FindFirstFileA((choice_->theme_folder + pattern).c_str(), &fd));
        if (!find) return;
        int row = 0;
        do {
            const bool is_folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (is_folder != folders || !strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
            char name[MAX_PATH];
            tess::CopyText(name, fd.cFileName);
            if (!folders) PathRemoveExtensionA(name);
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = row++;
            item.pszText = name;
            item.iImage = image;
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        } while (FindNextFileA(find.get(), &fd));
    }

    void Split(int id, std::vector<std::string>* checked, std::vector<std::string>* unchecked) {
        HWND list = GetDlgItem(Window(), id);
        const int count = ListView_GetItemCount(list);
        for (int i = 0; i < count; ++i) {
            char text[MAX_PATH] = "";
            ListView_GetItemText(list, i, 0, text, sizeof(text));
            (ListView_GetCheckState(list, i) ? checked : unchecked)->push_back(text);
        }
    }

    ExpansionChoice* choice_;
    HIMAGELIST images_ = nullptr;
};

}  // namespace

void CollectPackagePlugins(const char* bars_folder, const char* target_folder, bool* any_copied) {
    if (any_copied) *any_copied = false;
    if (!bars_folder || !bars_folder[0] || !target_folder || !target_folder[0]) return;
    char plugins[MAX_PATH], folder[MAX_PATH], target[MAX_PATH];
    if (!GetPluginsFolder(plugins) || !tess::CopyText(folder, bars_folder) || !tess::CopyText(target, target_folder))
        return;
    PathAddBackslashA(folder);
    PathAddBackslashA(target);
    CollectFromFolder(folder, plugins, target, any_copied);
}

void PackUpTheme() {
    ThemeFolderParts parts;
    if (!ThemeReadyToPack(&parts)) return;
    char question[MAX_PATH + 100];
    tess::FormatText(question, sizeof(question), "Tessellar will now pack up the entire folder \"%s\".\nContinue?",
                     parts.folder);
    if (MessageBoxA(GetMainWindow(), question, kPackageCaption,
                    MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND | MB_TOPMOST) != IDYES)
        return;
    char package[MAX_PATH];
    if (!AskPackagePath(parts, package, sizeof(package))) return;
    PackageStage stage;
    if (!stage.Create(parts.name)) {
        MessageBoxA(GetMainWindow(), "No temporary folder could be made for the package.", kPackageCaption,
                    MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
        return;
    }
    ZipFolderExtras extras;
    // Window-skinning skins stay out of the package (and in their place).
    extras.skip.push_back(std::string(parts.name) + "/Skins/LumivaneSkins");
    char bars[MAX_PATH];
    bool any_plugin = false;
    const std::string plugins = stage.Theme() + kPackagedPluginsFolder + "\\";
    if (GetThemeBarsFolder(bars)) CollectPackagePlugins(bars, plugins.c_str(), &any_plugin);
    if (any_plugin) extras.staged.push_back(std::string(parts.name) + "\\" + kPackagedPluginsFolder);
    WritePackage(parts, package, extras, stage, false);
}

void PackUpExpansion() {
    ThemeFolderParts parts;
    if (!ThemeReadyToPack(&parts)) return;
    ExpansionChoice choice;
    choice.theme_folder = parts.folder;
    ExpansionPackDialog dialog(&choice);
    if (dialog.RunModal(GetAppInstance(), MAKEINTRESOURCEA(IDD_EXPANSION_PACK), GetMainWindow()) != 1) return;
    char package[MAX_PATH];
    if (!AskPackagePath(parts, package, sizeof(package))) return;
    PackageStage stage;
    if (!stage.Create(parts.name)) {
        MessageBoxA(GetMainWindow(), "No temporary folder could be made for the package.", kPackageCaption,
                    MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
        return;
    }
    ZipFolderExtras extras;
    const std::string base = parts.name;
    for (const std::string& style : choice.left_out_styles) {
        extras.skip.push_back(base + "/" + style + ".tstheme");
        extras.skip.push_back(base + "/" + style + "_ss.bmp");
    }
    for (const std::string& skin : choice.left_out_skins) extras.skip.push_back(base + "/Skins/" + skin);
    WritePackage(parts, package, extras, stage, true);
}
