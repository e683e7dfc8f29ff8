// The glue between theme packages and the ZIP archive module: a whole
// folder into a fresh archive, and a whole archive into a folder.
#include "shell/theme_packages.h"

#include <cstring>

#include "util/archive/zip_archive.h"
#include "util/text.h"

namespace {

bool SameOrBelow(const std::string& name, const std::string& prefix) {
    if (name.size() < prefix.size() || _strnicmp(name.c_str(), prefix.c_str(), prefix.size()) != 0)
        return false;
    return name.size() == prefix.size() || name[prefix.size()] == '/';
}

bool SkipListed(void* context, const char* stored_name, bool) {
    const auto* skip = static_cast<const std::vector<std::string>*>(context);
    for (const std::string& entry : *skip)
        if (SameOrBelow(stored_name, entry)) return true;
    return false;
}

// A member of root_folder as the archive stores it ("Theme/Bars"); empty
// when path lies elsewhere.
std::string StoredNameBelow(const char* root_folder, const char* path) {
    size_t root = strlen(root_folder);
    if (root && (root_folder[root - 1] == '\\' || root_folder[root - 1] == '/')) --root;
    if (_strnicmp(path, root_folder, root) != 0 || (path[root] != '\\' && path[root] != '/')) return "";
    std::string name(path + root + 1);
    for (char& c : name)
        if (c == '\\') c = '/';
    while (!name.empty() && name.back() == '/') name.pop_back();
    return name;
}

// The replace question of an install is always "replace".
tess::archive::ReplaceAnswer ReplaceAll(void*, const char*) { return tess::archive::ReplaceAnswer::kYes; }

}  // namespace

bool ZipFolder(const char* archive_path, int file_count, const char* const* files, const char* root_folder,
               const ZipFolderExtras* extras) {
    if (!archive_path || !archive_path[0] || !files || file_count < 1 || !root_folder || !root_folder[0])
        return false;
    char full_archive[MAX_PATH];
    DWORD n = GetFullPathNameA(archive_path, MAX_PATH, full_archive, nullptr);
    if (n == 0 || n >= MAX_PATH) return false;
    char archive_folder[MAX_PATH];
    tess::CopyText(archive_folder, full_archive);
    char* slash = strrchr(archive_folder, '\\');
    if (!slash) return false;
    slash[1] = '\0';
    // The archive is made under a name of its own beside the target, which
    // it replaces only when complete.
    char temp[MAX_PATH];
    if (!GetTempFileNameA(archive_folder, "tsp", 0, temp)) return false;
    DeleteFileA(temp);   // the archive module adds to an existing archive

    std::vector<std::string> skip;
    if (extras) skip = extras->skip;
    // An older package inside the packed folder is not packed again.
    std::string self = StoredNameBelow(root_folder, full_archive);
    if (!self.empty()) skip.push_back(self);

    tess::archive::ZipOptions options;
    options.recurse = true;
    options.level = 9;
    options.base_folder = root_folder;
    options.skip = SkipListed;
    options.skip_context = &skip;
    bool ok = true;
    for (int i = 0; ok && i < file_count; ++i) {
        if (!files[i] || !files[i][0]) {
            ok = false;
            break;
        }
        std::string relative = StoredNameBelow(root_folder, files[i]);
        const char* pattern = relative.empty() ? files[i] : relative.c_str();
        try {
            ok = tess::archive::ZipAdd(temp, pattern, options) == tess::archive::kZipOk;
        } catch (...) {
            ok = false;
        }
    }
    if (ok && extras && !extras->staged.empty()) {
        tess::archive::ZipOptions staged;
        staged.recurse = true;
        staged.level = 9;
        staged.base_folder = extras->staged_root.c_str();
        for (const std::string& name : extras->staged) {
            try {
                ok = tess::archive::ZipAdd(temp, name.c_str(), staged) == tess::archive::kZipOk;
            } catch (...) {
                ok = false;
            }
            if (!ok) break;
        }
    }
    if (ok) ok = MoveFileExA(temp, full_archive, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
    if (!ok) DeleteFileA(temp);
    return ok;
}

bool UnzipToFolder(const char* target_folder, const char* archive_path) {
    if (!archive_path || !archive_path[0]) return false;
    tess::archive::UnzipOptions options;
    options.destination = target_folder;
    options.overwrite = true;
    options.replace = ReplaceAll;
    try {
        return tess::archive::UnzipExtract(archive_path, options) < tess::archive::kUnzipWarn;
    } catch (...) {
        return false;
    }
}
