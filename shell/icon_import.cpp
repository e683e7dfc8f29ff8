#include "shell/icon_import.h"

#include <shlwapi.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "shell/app_state.h"
#include "shell/icon_resources.h"
#include "shell/startup.h"
#include "skins/skin_record.h"
#include "util/callback_guard.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/icon_files.h"
#include "util/text.h"

namespace {

// Names tried beside a taken one before the import gives up.
constexpr int kMaxNameTries = 999;
// Files larger than this are not compared: they count as different.
constexpr DWORD kMaxComparedSize = 64u * 1024 * 1024;

HINSTANCE Instance() { return GetAppInstance() ? GetAppInstance() : GetModuleHandleA(nullptr); }

bool InsideTheme(const char* path) {
    const char* theme = GetThemeFolder();
    return FindTextNoCase(path, theme ? theme : "") != nullptr;
}

// Creates the folder and any missing parents; true when it exists after.
bool EnsureFolder(const char* folder) {
    char partial[MAX_PATH];
    if (!tess::CopyText(partial, folder)) return false;
    for (char* p = partial + 3; *p; ++p) {
        if (*p != '\\') continue;
        *p = '\0';
        CreateDirectoryA(partial, nullptr);
        *p = '\\';
    }
    CreateDirectoryA(partial, nullptr);
    return PathExists(partial);
}

// base + "\Imports\", both created when missing.
bool PrepareImportsFolder(const char* base, char* imports, size_t size) {
    char folder[MAX_PATH];
    if (!tess::CopyText(folder, base)) return false;
    PathRemoveBackslashA(folder);
    if (!EnsureFolder(folder)) return false;
    return tess::FormatText(imports, size, "%s\\Imports\\", folder) && EnsureFolder(imports);
}

// The extension (".ico") in lower case, empty when the name has none.
std::string LowerExtension(const char* path) {
    const char* ext = PathFindExtensionA(path);
    std::string lower = ext ? ext : "";
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool ReadWholeFile(const char* path, std::vector<BYTE>& bytes) {
    tess::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxComparedSize) return false;
    bytes.resize(size);
    DWORD read = 0;
    return size == 0 || (ReadFile(file.get(), bytes.data(), size, &read, nullptr) && read == size);
}

bool FileHolds(const char* path, const std::vector<BYTE>& content) {
    std::vector<BYTE> existing;
    return ReadWholeFile(path, existing) && existing == content;
}

// folder + stem + suffix + ext; false when longer than a path may be.
bool ComposeName(char* out, const char* folder, const std::string& stem, int number, const char* ext) {
    if (number <= 1) return tess::FormatText(out, MAX_PATH, "%s%s%s", folder, stem.c_str(), ext);
    return tess::FormatText(out, MAX_PATH, "%s%s_%d%s", folder, stem.c_str(), number, ext);
}

// A target for content in folder: stem+ext when free or already holding the
// same bytes, else stem_2+ext, stem_3+ext ... *same tells whether the name
// found already holds the content. False when no name fits.
bool FindFreeTarget(char* target, const char* folder, const std::string& stem, const char* ext,
                    const std::vector<BYTE>& content, bool* same) {
    for (int number = 1; number <= kMaxNameTries; ++number) {
        if (!ComposeName(target, folder, stem, number, ext)) return false;
        if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
            *same = false;
            return true;
        }
        if (FileHolds(target, content)) {
            *same = true;
            return true;
        }
    }
    return false;
}

// What an icon import writes: the file's own bytes, or an extracted group.
struct IconSource {
    bool library = false;      // .icl: the index is kept
    bool extracted = false;    // .exe/.dll
    std::string stem, ext;
    std::vector<BYTE> content;
    std::unique_ptr<IconResource> group;
};

bool ReadIconSource(const char* path, int index, IconSource& source) {
    const std::string ext = LowerExtension(path);
    std::string name = PathFindFileNameA(path);
    if (ext == ".ico" || ext == ".icl") {
        source.library = ext == ".icl";
        source.stem = name.substr(0, name.size() - ext.size());
        source.ext = name.substr(name.size() - ext.size());
        return ReadWholeFile(path, source.content);
    }
    if (ext != ".exe" && ext != ".dll") return false;
    source.extracted = true;
    source.stem = (name.size() > 3 ? name.substr(0, name.size() - 4) : name) + "_" + std::to_string(index);
    source.ext = ".ico";
    source.group = ExtractIconGroup(path, index);
    if (!source.group) return false;
    source.content = IconFileBytes(*source.group);
    return !source.content.empty();
}

bool WriteIconSource(const IconSource& source, const char* from, const char* target) {
    if (source.extracted) return WriteIconFile(*source.group, target) == 1;
    return CopyFileA(from, target, FALSE) != FALSE;
}

// ---- dialog 162 ---------------------------------------------------------------------------

void ShowTarget(HWND dialog, const ImportQuestion& question) {
    char text[MAX_PATH + 300];
    tess::FormatText(text, sizeof(text),
                     "  To prevent this problem, Tessellar will extract this icon for you and copy it to the "
                     "'icons' folder in your theme's folder, under the filename\n\"%s\"",
                     question.target);
    SetDlgItemTextA(dialog, IDC_II_TARGET, text);
}

// "Save As...": true when a name was chosen (it becomes the target).
bool AskSaveAs(HWND dialog, ImportQuestion& question) {
    char folder[MAX_PATH], file[MAX_PATH];
    tess::CopyText(folder, question.target);
    PathRemoveFileSpecA(folder);
    tess::CopyText(file, PathFindFileNameA(question.target));
    const bool ok = question.library
        ? ShowSaveFileDialog(dialog, file, "Save Imported Icon Library As...",
                             "Icon Library Files (*.icl)\0*.icl\0", folder, 0)
        : ShowSaveFileDialog(dialog, file, "Save Imported Icon As...", "Icon Files (*.ico)\0*.ico\0",
                             folder, 0);
    return ok && tess::CopyText(question.target, file);
}

INT_PTR HandleImportQuestion(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto* question = reinterpret_cast<ImportQuestion*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lp);
        ShowTarget(dialog, *reinterpret_cast<ImportQuestion*>(lp));
        return TRUE;
    case WM_COMMAND:
        if (!question) return FALSE;
        switch (LOWORD(wp)) {
        case IDOK: EndDialog(dialog, 1); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        case IDC_II_SAVE_AS:
            if (AskSaveAs(dialog, *question)) EndDialog(dialog, 1);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK ImportFileNameDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardDialogProc([&] { return HandleImportQuestion(dialog, msg, wp, lp); });
}

int ImportIconIntoTheme(char* path, int* index) {
    if (!path || !index || *index < 0 || InsideTheme(path)) return 0;
    char base[MAX_PATH], imports[MAX_PATH];
    if (!tess::FormatText(base, sizeof(base), "%sBars\\Icons", GetThemeFolder())) return 0;
    if (!PrepareImportsFolder(base, imports, sizeof(imports))) return 0;
    IconSource source;
    if (!ReadIconSource(path, *index, source)) return 0;
    ImportQuestion question = {};
    question.library = source.library;
    bool same = false;
    if (!FindFreeTarget(question.target, imports, source.stem, source.ext.c_str(), source.content, &same))
        return 0;
    const std::string proposed = question.target;
    if (DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_IMPORT_ICON), GetActiveWindow(),
                        ImportFileNameDialogProc, reinterpret_cast<LPARAM>(&question)) != 1)
        return 0;
    // A name chosen with "Save As..." is the user's own: it is written over.
    if (question.target != proposed || !same)
        if (!WriteIconSource(source, path, question.target)) return 0;
    if (!source.library) *index = 0;
    tess::CopyText(path, MAX_PATH, question.target);
    return 1;
}

bool ImportIconIntoTheme(const char* source, char* imported, size_t imported_size) {
    char path[MAX_PATH];
    if (!source || !tess::CopyText(path, source)) return false;
    int index = 0;
    if (!ImportIconIntoTheme(path, &index)) return false;
    return tess::CopyText(imported, imported_size, path);
}

int ImportBitmapIntoTheme(char* path, int relativeToSkin, SkinRecord* skin) {
    if (!path || !*path || InsideTheme(path) || LowerExtension(path) != ".bmp") return 0;
    char base[MAX_PATH], imports[MAX_PATH], target[MAX_PATH];
    const bool toSkin = relativeToSkin && skin && skin->folder[0];
    if (!tess::FormatText(base, sizeof(base), "%s", toSkin ? skin->folder : "") ||
        (!toSkin && !tess::FormatText(base, sizeof(base), "%sBars\\Bitmaps", GetThemeFolder())))
        return 0;
    if (!PrepareImportsFolder(base, imports, sizeof(imports))) return 0;
    std::vector<BYTE> content;
    if (!ReadWholeFile(path, content)) return 0;
    const std::string name = PathFindFileNameA(path);
    const std::string ext = name.substr(name.size() - 4);
    bool same = false;
    if (!FindFreeTarget(target, imports, name.substr(0, name.size() - 4), ext.c_str(), content, &same))
        return 0;
    if (!same && !CopyFileA(path, target, FALSE)) return 0;
    tess::CopyText(path, MAX_PATH, target);
    return 1;
}
