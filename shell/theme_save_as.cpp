// Save Theme As: the current theme goes to a new sibling folder, the
// original folder keeps its last saved state. Every step is checked; a
// failure undoes what was done and says so, and no folder of the user's is
// ever deleted.
#include <shlwapi.h>
#include <cstring>

#include "shell/app_state.h"
#include "shell/startup.h"
#include "shell/theme_dialogs.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "shell/theme_resources.h"
#include "util/dialog_base.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr char kCaption[] = "Tessellar - Save Theme As...";
constexpr char kTempName[] = "TS-TempFolderForSaveAs!~~";

struct SaveAsPaths {
    char theme_folder[MAX_PATH];   // without trailing backslash
    char parent[MAX_PATH];         // with trailing backslash
    char folder_name[MAX_PATH];
    char target[MAX_PATH];
    char temp[MAX_PATH];
    char file_name[MAX_PATH];
};

bool FillPaths(const char* target_name, SaveAsPaths* p) {
    tess::CopyText(p->theme_folder, GetThemeFolder());
    PathRemoveBackslashA(p->theme_folder);
    if (!p->theme_folder[0]) return false;
    GetParentFolder(p->parent, p->theme_folder, true);
    tess::CopyText(p->folder_name, PathFindFileNameA(p->theme_folder));
    tess::CopyText(p->file_name, PathFindFileNameA(GetCurrentThemeFile()));
    return tess::FormatText(p->target, sizeof(p->target), "%s%s", p->parent, target_name) &&
           tess::FormatText(p->temp, sizeof(p->temp), "%s%s", p->parent, kTempName);
}

void Fail(const char* what) {
    char text[600];
    tess::FormatText(text, sizeof(text),
                     "The theme could not be saved to the new folder: %s\n\nYour theme and its folder "
                     "were left as they were.",
                     what);
    ThemeMessage(nullptr, text, kCaption, MB_ICONWARNING);
}

constexpr FILEOP_FLAGS kQuiet = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;

// Only ever our own temporary copy.
void RemoveTempFolder(const char* temp) {
    if (temp[0] && PathIsDirectoryA(temp)) ShellFileOperation(nullptr, temp, FO_DELETE, kQuiet);
}

void ProposeFolderName(HWND dlg) {
    SaveAsPaths p;
    if (!FillPaths("", &p)) return;
    char name[MAX_PATH], path[MAX_PATH];
    tess::FormatText(name, sizeof(name), "%s Copy", p.folder_name);
    for (int i = 1;; ++i) {
        tess::FormatText(path, sizeof(path), "%s%s", p.parent, name);
        if (!PathFileExistsA(path) || i > 999) break;
        tess::FormatText(name, sizeof(name), "%s Copy (%i)", p.folder_name, i);
    }
    SetDlgItemTextA(dlg, IDC_SAVEAS_FOLDER, name);
}

class SaveThemeAsDialog : public tess::DialogBase {
private:
    INT_PTR OnInit() override {
        HWND dlg = Window();
        SetDlgItemTextA(dlg, IDC_SAVEAS_NAME, CurrentThemeInfo().Name);
        SetDlgItemTextA(dlg, IDC_SAVEAS_NEW_NAME, CurrentThemeInfo().Name);
        ProposeFolderName(dlg);
        return TRUE;
    }

    INT_PTR OnCommand(int id, int) override {
        HWND dlg = Window();
        if (id == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        if (id != IDOK) return FALSE;
        char folder[1060] = "", new_name[kThemeTextSize] = "";
        GetDlgItemTextA(dlg, IDC_SAVEAS_FOLDER, folder, sizeof(folder));
        GetDlgItemTextA(dlg, IDC_SAVEAS_NEW_NAME, new_name, sizeof(new_name));
        char message[400];
        const char* refusal = nullptr;
        SaveAsPaths p;
        if (!folder[0]) {
            refusal = "Please enter a new folder name to save your theme to!";
        } else if (strpbrk(folder, "\\/:*?\"<>|")) {
            tess::FormatText(message, sizeof(message), "%s\n%s",
                             "The theme folder's name cannot intially contain the characters:",
                             ForbiddenNameCharacters());
            refusal = message;
        } else if (strlen(folder) > 499 || strlen(folder) >= 256) {
            refusal = "Please enter a name for your theme less than 255 characters!";
        } else if (FillPaths(folder, &p) && PathFileExistsA(p.target)) {
            refusal = "A folder with this name already exists - please specify a unique name!";
        }
        if (refusal) {
            MessageBoxA(dlg, refusal, kCaption, MB_ICONWARNING);
            SetFocus(GetDlgItem(dlg, IDC_SAVEAS_FOLDER));
            return TRUE;
        }
        HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        SaveThemeAs(folder, new_name);
        SetCursor(old);
        EndDialog(dlg, IDOK);
        return TRUE;
    }
};

void RefreshDesktop() {
    HWND progman = FindWindowA("Progman", "Program Manager");
    HWND view = progman ? FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
    HWND list = view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
    if (!list) return;
    PostMessageA(list, WM_KEYDOWN, VK_F5, 0);
    PostMessageA(list, WM_KEYUP, VK_F5, 0xC0000001);
}

}  // namespace

bool SaveThemeAs(const char* target_name, const char* new_name) {
    SaveAsPaths p;
    if (!GetCurrentThemeFile()[0] || !FillPaths(target_name, &p)) {
        Fail("no theme is open.");
        return false;
    }
    if (PathFileExistsA(p.target)) {
        Fail("the target folder exists already.");
        return false;
    }
    // 1. A copy of the folder as it was last saved.
    RemoveTempFolder(p.temp);
    if (!CopyFiles(p.temp, p.theme_folder, kQuiet) || !PathIsDirectoryA(p.temp)) {
        RemoveTempFolder(p.temp);
        Fail("the theme folder could not be copied.");
        return false;
    }
    // 2. The current state into the theme folder.
    char old_name[kThemeTextSize];
    tess::CopyText(old_name, CurrentThemeInfo().Name);
    if (new_name && new_name[0]) tess::CopyText(CurrentThemeInfo().Name, new_name);
    char theme_file[MAX_PATH];
    tess::CopyText(theme_file, GetCurrentThemeFile());
    if (!SaveThemeFile(theme_file, 1, 0)) {
        tess::CopyText(CurrentThemeInfo().Name, old_name);
        RemoveTempFolder(p.temp);
        Fail("the theme could not be saved.");
        return false;
    }
    SetThemeReloading(true);
    CloseThemeBars();
    SetThemeReloading(false);
    // 3. The saved folder becomes the target, the copy takes its place.
    char target_file[MAX_PATH];
    tess::FormatText(target_file, sizeof(target_file), "%s\\%s", p.target, p.file_name);
    bool ok = false;
    const char* failure = nullptr;
    if (!MoveFileA(p.theme_folder, p.target)) {
        failure = "the theme folder could not be renamed.";
    } else if (!MoveFileA(p.temp, p.theme_folder)) {
        failure = "the copy of the theme folder could not take its place.";
        // Undo the first rename; the copy stays under its temporary name so
        // nothing of the user's is lost.
        if (MoveFileA(p.target, p.theme_folder)) RemoveTempFolder(p.temp);
    } else {
        ok = true;
    }
    SetThemeReloading(true);
    if (ok) {
        if (!LoadThemeFile(target_file, 0)) {
            failure = "the new theme could not be opened.";
            ok = false;
        }
    } else {
        RemoveTempFolder(PathFileExistsA(p.theme_folder) ? p.temp : "");
        LoadThemeFile(theme_file, 0);
    }
    SetThemeReloading(false);
    if (!ok) {
        Fail(failure);
        return false;
    }
    RefreshDesktop();
    return true;
}

void ShowSaveThemeAsDialog() {
    if (!GetCurrentThemeFile()[0]) return;
    HINSTANCE instance = GetAppInstance() ? GetAppInstance() : GetModuleHandleA(nullptr);
    SaveThemeAsDialog dialog;
    dialog.RunModal(instance, MAKEINTRESOURCEA(IDD_SAVE_THEME_AS), nullptr);
}
