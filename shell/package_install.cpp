// Installing a theme package: extract into a fresh folder of the program
// folder, settle the name of the theme folder (asking when a theme of that
// name is installed), move it into place, offer its plug-ins, and open the
// theme it names; every failure reopens the previous theme.
#include "shell/theme_packages.h"

#include <shlwapi.h>
#include <cstring>

#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/main_window.h"
#include "shell/main_window_internal.h"
#include "shell/package_resources.h"
#include "shell/startup.h"
#include "shell/theme_dialogs.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "util/dialog_base.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/paths.h"
#include "util/text.h"

namespace {

constexpr char kReloading[] = " Package was extracted but not loaded.\nReloading old theme...";
constexpr char kNoThemeInPackage[] =
    "No Tessellar Theme Definition File (.tstheme) was found within theme package! Package was extracted "
    "but not loaded.\nReloading old theme...";
constexpr char kNoThemeAfterMove[] =
    "Pack was extracted and moved... but the Theme Definition File (.tstheme) was not found within theme "
    "package! Package was extracted but not loaded.\nReloading old theme...";
constexpr char kRemoveFailed[] = "Error removing existing theme! Package was extracted but not loaded.\nReloading old theme...";
constexpr char kNoRenamedName[] = "Error getting renamed folder name...";
constexpr char kExpansionQuestion[] =
    "The theme package you are about to unpack can be installed as an expansion pack to a theme you already "
    "have installed.\nThis allows additional styles to be added to the existing theme, rather than removing the "
    "original theme as normal.\n\nWould you like to install this theme as an extension, adding additional "
    "styles to the existing theme?";
constexpr char kExpansionCaption[] = "Tessellar - Install Theme Package as Extension?";
constexpr char kConflictObject[] = "lpObjectToSave";

constexpr UINT kBoxFlags = MB_SETFOREGROUND | MB_TOPMOST;

void InstallMessage(const char* text) {
    MessageBoxA(GetMainWindow(), text, kInstallErrorCaption, MB_ICONWARNING | kBoxFlags);
}

void BadNameMessage(const char* name, const char* what) {
    char text[MAX_PATH + 300];
    tess::FormatText(text, sizeof(text), "%s \"%s\" cannot be used as the name of a theme folder.%s", what, name,
                     kReloading);
    InstallMessage(text);
}

bool Join(char* out, size_t size, const char* folder, const char* name) {
    return tess::FormatText(out, size, "%s%s%s", folder,
                            folder[0] && folder[strlen(folder) - 1] != '\\' ? "\\" : "", name);
}

// True when path lies inside folder (not folder itself), both canonical.
bool IsInsideFolder(const char* path, const char* folder) {
    char canonical[MAX_PATH], base[MAX_PATH];
    if (!CanonicalPath(path, canonical) || !CanonicalPath(folder, base)) return false;
    PathAddBackslashA(base);
    const size_t n = strlen(base);
    return strlen(canonical) > n && _strnicmp(canonical, base, n) == 0;
}

// Theme folders are deleted without questions (to the recycle bin).
bool DeleteTree(const char* path) {
    return ShellFileOperation(nullptr, path, FO_DELETE, FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI) &&
           !PathFileExistsA(path);
}

// Moves everything in from into to, merging folders and replacing files of
// the same name; false when anything stayed behind.
bool MoveContents(const char* from, const char* to) {
    char query[MAX_PATH];
    if (!Join(query, sizeof(query), from, "*")) return false;
    if (!PathIsDirectoryA(to) && !CreateDirectoryA(to, nullptr)) return false;
    bool ok = true;
    WIN32_FIND_DATAA fd;
    tess::ScopedFind find(FindFirstFileA(query, &fd));
    if (!find) return true;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
        char source[MAX_PATH], target[MAX_PATH];
        if (!Join(source, sizeof(source), from, fd.cFileName) || !Join(target, sizeof(target), to, fd.cFileName)) {
            ok = false;
            continue;
        }
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = MoveContents(source, target) && RemoveDirectoryA(source) && ok;
        else
            ok = MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) && ok;
    } while (FindNextFileA(find.get(), &fd));
    return ok;
}

bool FolderHoldsTheme(const char* folder) {
    char found[MAX_PATH];
    return PathIsDirectoryA(folder) && FindThemeFile(folder, found, sizeof(found));
}

// ---- the name-conflict question (dialog 159) ------------------------------------------------------

struct ConflictThemes {
    char existing[MAX_PATH];
    char incoming[MAX_PATH];
};

void FillThemeLine(HWND dialog, int id, const char* theme_file) {
    char format[400] = "", name[kThemeTextSize] = "", date[100] = "", time[100] = "", text[1200];
    GetDlgItemTextA(dialog, id, format, sizeof(format));
    if (!ReadThemeName(theme_file, name, sizeof(name)) || !name[0])
        tess::CopyText(name, PathFindFileNameA(theme_file));
    WIN32_FILE_ATTRIBUTE_DATA info;
    SYSTEMTIME utc, local;
    if (GetFileAttributesExA(theme_file, GetFileExInfoStandard, &info) &&
        FileTimeToSystemTime(&info.ftLastWriteTime, &utc) &&
        SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &local, nullptr, date, sizeof(date));
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, sizeof(time));
    }
    tess::FormatText(text, sizeof(text), format, name, date, time);
    SetDlgItemTextA(dialog, id, text);
}

class PackageConflictDialog : public tess::DialogBase {
public:
    explicit PackageConflictDialog(ConflictThemes* themes) : themes_(themes) {}

protected:
    INT_PTR OnInit() override {
        HWND dialog = Window();
        SetPropA(dialog, kConflictObject, reinterpret_cast<HANDLE>(themes_));
        HWND fg = GetForegroundWindow();
        DWORD fg_thread = fg ? GetWindowThreadProcessId(fg, nullptr) : 0;
        DWORD own = GetCurrentThreadId();
        const bool attach = fg_thread && fg_thread != own && AttachThreadInput(own, fg_thread, TRUE);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dialog);
        if (attach) AttachThreadInput(own, fg_thread, FALSE);
        FillThemeLine(dialog, IDC_CONFLICT_EXISTING, themes_->existing);
        FillThemeLine(dialog, IDC_CONFLICT_NEW, themes_->incoming);
        return TRUE;
    }
    INT_PTR OnCommand(int id, int) override {
        if (id != IDYES && id != IDNO && id != IDC_CONFLICT_RENAME && id != IDCANCEL) return FALSE;
        EndDialog(Window(), id);
        return TRUE;
    }
    INT_PTR OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg == WM_DESTROY) RemovePropA(Window(), kConflictObject);
        return FALSE;
    }

private:
    ConflictThemes* themes_;
};

int AskAboutConflict(const char* target, const char* extracted) {
    ConflictThemes themes = {};
    FindThemeFile(target, themes.existing, sizeof(themes.existing));
    FindThemeFile(extracted, themes.incoming, sizeof(themes.incoming));
    PackageConflictDialog dialog(&themes);
    return static_cast<int>(
        dialog.RunModal(GetAppInstance(), MAKEINTRESOURCEA(IDD_PACKAGE_CONFLICT), GetMainWindow()));
}

// ---- the install's state ----------------------------------------------------------------------------

struct Install {
    char package_name[MAX_PATH] = "";
    char extraction[MAX_PATH] = "";   // "~TSTMP..." in the program folder
    char extracted[MAX_PATH] = "";    // the folder of the theme file found in it
    char target_name[MAX_PATH] = "";
    char target[MAX_PATH] = "";
    bool renamed = false;
    char previous_theme[MAX_PATH] = "";
};

bool SetTarget(Install& in, const char* name) {
    return IsPlainFolderName(name) && tess::CopyText(in.target_name, name) &&
           Join(in.target, sizeof(in.target), ThemesRoot(), name);
}

// Step 10: the previous theme comes back; nothing new is open.
bool Fail(const Install& in) {
    SetThemeReloading(false);
    if (IsPresetMode()) return false;
    const char* previous = in.previous_theme[0] ? in.previous_theme : GetLastThemePath();
    if (!(previous && previous[0] && LoadThemeFile(previous, 0))) SetHideTaskbar(0, 0);
    return false;
}

// Step 5: the target folder settled. False: the install ends (after its message).
enum class TargetOutcome { Free, Merged, Stop };

TargetOutcome SettleTarget(Install& in) {
    while (FolderHoldsTheme(in.target)) {
        char info[MAX_PATH];
        if (Join(info, sizeof(info), in.extracted, kPackageInfoFile) &&
            GetPrivateProfileIntA("Settings", "IsExpansionPack", 0, info) != 0 &&
            MessageBoxA(GetMainWindow(), kExpansionQuestion, kExpansionCaption,
                        MB_YESNO | MB_ICONQUESTION | kBoxFlags) == IDYES) {
            MoveContents(in.extracted, in.target);
            return TargetOutcome::Merged;
        }
        const int answer = AskAboutConflict(in.target, in.extracted);
        if (answer == IDYES) {
            if (!DeleteTree(in.target)) {
                InstallMessage(kRemoveFailed);
                return TargetOutcome::Stop;
            }
            return TargetOutcome::Free;
        }
        if (answer == IDC_CONFLICT_RENAME) {
            char name[MAX_PATH] = "";
            if (!AskForName(GetMainWindow(), NamePrompt::Folder, name, sizeof(name))) {
                char text[200];
                tess::FormatText(text, sizeof(text), "%s%s", kNoRenamedName, kReloading);
                InstallMessage(text);
                return TargetOutcome::Stop;
            }
            if (!SetTarget(in, name)) {
                BadNameMessage(name, "The folder name");
                return TargetOutcome::Stop;
            }
            in.renamed = true;
            continue;
        }
        // No or Cancel: nothing of the package stays.
        DeleteTree(in.extraction);
        return TargetOutcome::Stop;
    }
    return TargetOutcome::Free;
}

// Step 8: the theme to open: the one the package names when it lies in the
// target, else the one found there.
bool ChooseTheme(const Install& in, char* theme, size_t size) {
    if (!FindThemeFile(in.target, theme, size)) return false;
    char info[MAX_PATH];
    if (!Join(info, sizeof(info), in.target, kPackageInfoFile) || !PathFileExistsA(info)) return true;
    char value[kLastThemeValueSize] = "";
    GetPrivateProfileStringA("Settings", "LastTSPackTheme", "", value, sizeof(value), info);
    if (value[0]) {
        char relative[MAX_PATH + kLastThemeValueSize], candidate[MAX_PATH];
        const char* from_slash = strchr(value, '\\');
        bool made = in.renamed && from_slash
                        ? tess::FormatText(relative, sizeof(relative), "%s%s", in.target_name, from_slash)
                        : tess::CopyText(relative, value);
        if (made && CombineCanonical(ThemesRoot(), relative, candidate) && FileExists(candidate) &&
            IsInsideFolder(candidate, in.target) &&
            lstrcmpiA(PathFindExtensionA(candidate), kThemeExtension) == 0)
            tess::CopyText(theme, size, candidate);
    }
    DeleteFileA(info);
    return true;
}

bool MakeExtractionFolder(Install& in) {
    SYSTEMTIME t;
    GetSystemTime(&t);
    char name[64];
    tess::FormatText(name, sizeof(name), "~TSTMP%i%i%i%i%i%i%i", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                     t.wSecond, t.wMilliseconds);
    if (!Join(in.extraction, sizeof(in.extraction), ThemesRoot(), name)) return false;
    // Never into the leftovers of an earlier install.
    for (int i = 1; PathFileExistsA(in.extraction) && i < 100; ++i)
        tess::FormatText(in.extraction, sizeof(in.extraction), "%s%s_%i", ThemesRoot(), name, i);
    return CreateDirectoryA(in.extraction, nullptr) != 0;
}

}  // namespace

bool IsPlainFolderName(const char* name) {
    if (!name || !name[0] || strlen(name) >= MAX_PATH - 20) return false;
    bool only_dots_and_blanks = true;
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || strchr("\\/:*?\"<>|", c)) return false;
        if (c != '.' && c != ' ') only_dots_and_blanks = false;
    }
    // Windows drops trailing dots and blanks: "x." would be another name.
    const char last = name[strlen(name) - 1];
    if (only_dots_and_blanks || last == '.' || last == ' ') return false;
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4",
                                           "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                           "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    char stem[MAX_PATH];
    tess::CopyText(stem, name);
    if (char* dot = strchr(stem, '.')) *dot = '\0';
    for (const char* device : kDevices)
        if (lstrcmpiA(stem, device) == 0) return false;
    return true;
}

void InstallPackagedPlugins(const char* folder) {
    char packaged[MAX_PATH], query[MAX_PATH], plugins[MAX_PATH];
    if (!folder || !Join(packaged, sizeof(packaged), folder, kPackagedPluginsFolder) ||
        !PathIsDirectoryA(packaged) || !Join(query, sizeof(query), packaged, "*"))
        return;
    std::string listing;
    int count = 0;
    const bool have_plugins_folder = GetPluginsFolder(plugins);
    WIN32_FIND_DATAA fd;
    {
        tess::ScopedFind find(FindFirstFileA(query, &fd));
        if (find) {
            do {
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                char installed[MAX_PATH];
                const bool replaces = have_plugins_folder &&
                                      Join(installed, sizeof(installed), plugins, fd.cFileName) &&
                                      FileExists(installed);
                listing += std::string("    ") + fd.cFileName +
                           (replaces ? "   (replaces the installed plug-in of that name)\n" : "\n");
                ++count;
            } while (FindNextFileA(find.get(), &fd));
        }
    }
    // A plug-in is a program that runs inside Tessellar with the theme:
    // nothing is installed or replaced unless the user says so.
    if (count > 0 && have_plugins_folder) {
        std::string text = "This theme package brings plug-in libraries:\n\n" + listing +
                           "\nPlug-ins are programs; they run inside Tessellar whenever the theme is open. "
                           "Install them only when you trust where this package came from.\n\n"
                           "Install these plug-ins?";
        if (MessageBoxA(GetMainWindow(), text.c_str(), kPluginQuestionCaption,
                        MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | kBoxFlags) == IDYES) {
            MoveContents(packaged, plugins);
        }
    }
    DeleteTree(packaged);
}

bool InstallThemePackage(const char* path, char* theme_file, size_t theme_file_size) {
    if (theme_file && theme_file_size) theme_file[0] = '\0';
    if (!path || !path[0]) return false;
    Install in;
    tess::CopyText(in.previous_theme, GetCurrentThemeFile());
    // Step 1: the open theme closes first.
    SetThemeReloading(true);
    if (!CloseTheme()) {
        SetThemeReloading(false);
        return false;
    }
    // Step 2: extraction into a fresh folder. Members that would leave it are
    // refused by the archive module; the rest is installed.
    tess::CopyText(in.package_name, PathFindFileNameA(path));
    PathRemoveExtensionA(in.package_name);
    if (!MakeExtractionFolder(in)) {
        InstallMessage(kNoThemeInPackage);
        return Fail(in);
    }
    UnzipToFolder(in.extraction, path);
    // Steps 3 and 4: the theme folder in the package and its name.
    char found[MAX_PATH];
    if (!FindThemeFile(in.extraction, found, sizeof(found))) {
        InstallMessage(kNoThemeInPackage);
        return Fail(in);
    }
    GetParentFolder(in.extracted, found, false, sizeof(in.extracted));
    char extraction_bare[MAX_PATH];
    tess::CopyText(extraction_bare, in.extraction);
    PathRemoveBackslashA(in.extracted);
    const bool at_top = lstrcmpiA(in.extracted, extraction_bare) == 0;
    const char* name = at_top ? in.package_name : PathFindFileNameA(in.extracted);
    if (!SetTarget(in, name)) {
        BadNameMessage(name, at_top ? "The package name" : "The package's folder");
        return Fail(in);
    }
    // Step 5.
    const TargetOutcome outcome = SettleTarget(in);
    if (outcome == TargetOutcome::Stop) return Fail(in);
    // Step 6: into place; the extraction folder goes whatever happened.
    if (outcome == TargetOutcome::Free) MoveFileA(in.extracted, in.target);
    if (PathFileExistsA(in.extraction)) DeleteTree(in.extraction);
    // Step 7.
    InstallPackagedPlugins(in.target);
    // Step 8.
    char theme[MAX_PATH];
    if (!ChooseTheme(in, theme, sizeof(theme))) {
        InstallMessage(kNoThemeAfterMove);
        return Fail(in);
    }
    SetThemeReloading(false);
    // Step 9.
    if (IsPresetMode()) {
        if (theme_file) tess::CopyText(theme_file, theme_file_size, theme);
        return true;
    }
    if (!LoadThemeFile(theme, 0)) return Fail(in);
    return !SnapshotThemeBarWindows(false).empty();
}
