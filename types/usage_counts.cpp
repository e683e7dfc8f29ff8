// The shell's UserAssist counts: reading last-run times and recording runs.
#include "types/usage_counts.h"
#include <cstring>
#include "shell/app_state.h"
#include "shell/type_services.h"
#include "util/general_helpers.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

constexpr size_t kValueNameSize = MAX_PATH + 40;

bool g_start_time_set = false;
FILETIME g_start_time = {};

struct ProgramsFolders {
    char user[MAX_PATH] = "";
    char common[MAX_PATH] = "";
};

void ResolveFolder(int csidl, char* out) {
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) && list) {
        if (!SHGetPathFromIDListA(list, out)) out[0] = '\0';
        FreePidl(list);
    }
}

const ProgramsFolders& Folders() {
    static ProgramsFolders folders = [] {
        ProgramsFolders f;
        ResolveFolder(CSIDL_PROGRAMS, f.user);
        ResolveFolder(CSIDL_COMMON_PROGRAMS, f.common);
        return f;
    }();
    return folders;
}

// The part of path after folder and a backslash, when folder occurs in it.
const char* RelativeTo(const char* path, const char* folder) {
    if (!folder[0]) return nullptr;
    const char* found = FindTextNoCase(path, folder);
    if (!found) return nullptr;
    const char* rest = found + strlen(folder);
    if (*rest != '\\') return nullptr;
    return rest[1] ? rest + 1 : nullptr;
}

const char* ProgramsRelativePart(const char* path) {
    const char* relative = RelativeTo(path, Folders().user);
    return relative ? relative : RelativeTo(path, Folders().common);
}

// "UEME_RUNPIDL:%csidl2%\" + relative, encoded as the shell stores it.
bool EncodedValueName(const char* relative, char* name, size_t size) {
    if (!tess::CopyText(name, size, kUserAssistRunPrefix) || !tess::AppendText(name, size, relative))
        return false;
    Rot13InPlace(name);
    return true;
}

bool IsZero(const FILETIME& t) { return t.dwLowDateTime == 0 && t.dwHighDateTime == 0; }

bool LocalNow(FILETIME* now) {
    SYSTEMTIME local;
    GetLocalTime(&local);
    return SystemTimeToFileTime(&local, now) != 0;
}

bool ReadCountTime(const char* relative, FILETIME* out) {
    char name[kValueNameSize];
    if (!EncodedValueName(relative, name, sizeof(name))) return false;
    tess::ScopedRegKey key = OpenUserAssistKey(false);
    if (!key) return false;
    BYTE data[100] = {};
    DWORD type = 0, size = sizeof(data);
    if (RegQueryValueExA(key.get(), name, nullptr, &type, data, &size) != ERROR_SUCCESS ||
        size != kUserAssistValueSize)
        return false;
    FILETIME t;
    std::memcpy(&t, data + 8, sizeof(t));
    if (IsZero(t)) return false;
    *out = t;
    return true;
}

// The file's last write time; a file that cannot be opened answers time 0.
bool ReadFileWriteTime(const char* path, FILETIME* out, bool* unopened) {
    tess::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    *unopened = !file;
    if (!file) return true;
    FILETIME written = {};
    GetFileTime(file.get(), nullptr, nullptr, &written);
    *out = written;
    return !IsZero(written);
}

// Puts now into one count value, marking a new one as the shell does.
bool TouchCountValue(HKEY key, const char* name, const FILETIME& now) {
    BYTE data[kUserAssistValueSize] = {};
    DWORD type = 0, size = sizeof(data);
    if (RegQueryValueExA(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS)
        std::memset(data, 0, sizeof(data));
    std::memcpy(data + 8, &now, sizeof(now));
    if (data[0] == 0) data[0] = 14;
    if (data[4] == 0) data[4] = 6;
    return RegSetValueExA(key, name, 0, REG_BINARY, data, sizeof(data)) == ERROR_SUCCESS;
}

// Cuts name at its last backslash; false when there is none to cut at.
bool CutAtLastBackslash(char* name) {
    char* last = strrchr(name, '\\');
    if (!last || last == name || last[-1] == '\\') return false;
    *last = '\0';
    return true;
}

void ForwardStartTime(const FILETIME& start) { SetSmartMenusStartTime(&start); }

struct StartTimeRegistration {
    StartTimeRegistration() { GetShellTypeServices().SetSmartMenusStartTime = ForwardStartTime; }
} const kStartTimeRegistration;

}  // namespace

void Rot13InPlace(char* text) {
    if (!text) return;
    for (char* c = text; *c; ++c) {
        if (*c >= 'a' && *c <= 'z')
            *c = static_cast<char>('a' + (*c - 'a' + 13) % 26);
        else if (*c >= 'A' && *c <= 'Z')
            *c = static_cast<char>('A' + (*c - 'A' + 13) % 26);
    }
}

tess::ScopedRegKey OpenUserAssistKey(bool create) {
    return OpenRegistryKey(HKEY_CURRENT_USER, kUserAssistCountKey, create);
}

const char* GetUserProgramsFolder() { return Folders().user; }
const char* GetCommonProgramsFolder() { return Folders().common; }

bool GetProgramLastRunTime(const char* path, FILETIME* out, const FILETIME* fallback) {
    if (!out) return false;
    *out = FILETIME{};
    if (!path) return false;
    const char* relative = ProgramsRelativePart(path);
    FILETIME t = {};
    if (!relative || !ReadCountTime(relative, &t)) {
        if (fallback) {
            t = *fallback;
        } else {
            bool unopened = false;
            if (!ReadFileWriteTime(path, &t, &unopened)) return false;
            if (unopened) return true;
        }
    }
    if (g_start_time_set && CompareFileTime(&t, &g_start_time) < 0) t = g_start_time;
    *out = t;
    return true;
}

bool IsRarelyUsed(const char* path, const FILETIME* fallback) {
    if (!path || !path[0]) return false;
    FILETIME last;
    if (!GetProgramLastRunTime(path, &last, fallback)) return true;
    FILETIME cutoff = GetSmartMenusCutoffTime();
    return CompareFileTime(&last, &cutoff) < 0;
}

bool IsRarelyUsedPidl(LPCITEMIDLIST pidl, const FILETIME* fallback) {
    char path[MAX_PATH] = "";
    if (!pidl || !SHGetPathFromIDListA(pidl, path)) return false;
    return IsRarelyUsed(path, fallback);
}

bool RecordProgramRun(const char* path) {
    if (!path) return false;
    const char* relative = ProgramsRelativePart(path);
    if (!relative) return false;
    FILETIME now;
    if (!LocalNow(&now)) return false;
    tess::ScopedRegKey key = OpenUserAssistKey(true);
    if (!key) return false;
    char name[kValueNameSize];
    if (!EncodedValueName(relative, name, sizeof(name))) return false;
    do {
        if (!TouchCountValue(key.get(), name, now)) return false;
    } while (CutAtLastBackslash(name));
    return true;
}

bool RecordProgramRunPidl(LPCITEMIDLIST pidl) {
    char path[MAX_PATH] = "";
    if (!pidl || !SHGetPathFromIDListA(pidl, path)) return false;
    return RecordProgramRun(path);
}

void SetSmartMenusStartTime(const FILETIME* start) {
    if (!start) return;
    g_start_time = *start;
    g_start_time_set = true;
}
