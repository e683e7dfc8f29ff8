// SkinCache: 20 shared, reference-counted skin records at stable addresses.
#include "skins/skin_cache.h"

#include <shlwapi.h>
#include <cstring>

#include "util/callback_guard.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/paths.h"
#include "util/text.h"

namespace {

SkinRecord g_skinCache[kSkinCacheSlots];
HINSTANCE g_skinInstance = nullptr;
unsigned g_lastGeneration = 0;

bool InCache(const SkinRecord* record) {
    return record >= g_skinCache && record < g_skinCache + kSkinCacheSlots;
}

bool IsFree(const SkinRecord* record) { return record->path[0] == '\0'; }

// The canonical form of a path (out holds kSkinPathSize characters); false
// when it cannot name a file (MAX_PATH), so no cut path is ever opened.
bool CanonicalSkinPath(const char* path, char* out) {
    static_assert(kSkinPathSize >= MAX_PATH, "a record holds every path that can be opened");
    return CanonicalPath(path, out, MAX_PATH);
}

FILETIME SkinFileTime(const char* path) {
    FILETIME time = {};
    tess::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file && !GetFileTime(file.get(), nullptr, nullptr, &time)) time = FILETIME{};
    return time;
}

void StoreFolderOf(SkinRecord* record) {
    tess::CopyText(record->folder, record->path);
    char* slash = strrchr(record->folder, '\\');
    if (slash) slash[1] = '\0';
    else record->folder[0] = '\0';
}

void ReleaseCompanions(SkinRecord* record) {
    for (int kind = 0; kind < 2; ++kind) {
        SkinRecord* companion = record->companions[kind];
        unsigned generation = record->companion_generation[kind];
        record->companions[kind] = nullptr;
        record->companion_generation[kind] = 0;
        if (companion && companion != record) ReleaseSkin(companion, generation);
    }
}

// Frees everything the record owns and empties its slot; the companions it
// held are released after the slot is empty, so a cycle of companions ends.
void FreeRecord(SkinRecord* record) {
    SkinRecord* companions[2] = {record->companions[0], record->companions[1]};
    unsigned generations[2] = {record->companion_generation[0], record->companion_generation[1]};
    *record = SkinRecord();
    for (int kind = 0; kind < 2; ++kind)
        if (companions[kind] && companions[kind] != record)
            ReleaseSkin(companions[kind], generations[kind]);
}

}  // namespace

void InitSkinCache(HINSTANCE instance) {
    if (instance) g_skinInstance = instance;
    for (SkinRecord& record : g_skinCache) record = SkinRecord();
}

void FreeSkinCache() {
    for (SkinRecord& record : g_skinCache) {
        if (IsFree(&record)) continue;
        record.reference_count = 0;
        ReleaseSkin(&record);
    }
    for (SkinRecord& record : g_skinCache) record = SkinRecord();
}

SkinRecord* GetSkinCacheSlot(int index) {
    return index >= 0 && index < kSkinCacheSlots ? &g_skinCache[index] : nullptr;
}

SkinRecord* FindCachedSkin(const char* path) {
    if (!path || !path[0]) return nullptr;
    for (SkinRecord& record : g_skinCache)
        if (!IsFree(&record) && _stricmp(record.path, path) == 0) return &record;
    return nullptr;
}

SkinRecord* LoadSkinFile(const char* path, bool force) {
    if (!path || !path[0]) return nullptr;
    char canonical[kSkinPathSize];
    if (!CanonicalSkinPath(path, canonical)) return nullptr;
    FILETIME time = SkinFileTime(canonical);

    SkinRecord* record = FindCachedSkin(canonical);
    int count;
    unsigned generation;
    std::unique_ptr<CIniChangeList> changes;
    if (record) {
        if (!force && CompareFileTime(&record->file_time, &time) == 0) {
            ++record->reference_count;
            return record;
        }
        // Parsed again in its own slot: holders keep their pointer and count.
        // The companions go first, while the record is whole, so that the
        // references they hold on it (companions of each other) are counted
        // down instead of being taken a second time by the new parse.
        ++record->reference_count;
        ReleaseCompanions(record);
        count = --record->reference_count + (force ? 0 : 1);
        if (count <= 0) {
            FreeRecord(record);   // nobody holds it any more
            return nullptr;
        }
        generation = record->generation;
        changes = std::move(record->change_list);
        FreeRecord(record);
    } else {
        for (SkinRecord& slot : g_skinCache) {
            if (IsFree(&slot)) {
                record = &slot;
                break;
            }
        }
        if (!record) return nullptr;
        count = 1;
        generation = ++g_lastGeneration;
    }
    record->reference_count = count;
    record->file_time = time;
    record->generation = generation;
    record->change_list = std::move(changes);
    tess::CopyText(record->path, canonical);
    StoreFolderOf(record);
    ParseSkinFile(record, g_skinInstance);
    return record;
}

int ReleaseSkin(SkinRecord* record) {
    if (!record || !InCache(record) || IsFree(record)) return 0;
    int old_count = record->reference_count--;
    if (old_count >= 2) return 1;
    FreeRecord(record);
    return 1;
}

int ReleaseSkin(SkinRecord* record, unsigned generation) {
    if (!record || !InCache(record) || IsFree(record) || record->generation != generation)
        return 0;
    return ReleaseSkin(record);
}

int ReloadSkinFile(SkinRecord* record) {
    if (!record) return 0;
    if (!InCache(record) || IsFree(record)) return 1;
    char path[kSkinPathSize];
    tess::CopyText(path, record->path);
    LoadSkinFile(path, true);
    return 1;
}

bool ComposeSkinFilePath(const SkinRecord* record, const char* name, char* out, size_t out_size,
                         bool canonical) {
    if (!record || !name || !out || !out_size) return false;
    out[0] = '\0';
    char joined[kSkinPathSize];
    if (!tess::CopyText(joined, record->folder) || !tess::AppendText(joined, name)) return false;
    char resolved[MAX_PATH];
    if (!CanonicalPath(joined, resolved)) return false;
    // A name that climbs out of the skin's folder is not the skin's file.
    size_t folder_length = strlen(record->folder);
    if (_strnicmp(resolved, record->folder, folder_length) != 0) return false;
    if (folder_length == 0 && strstr(name, "..")) return false;   // no folder to stay inside
    return tess::CopyText(out, out_size, canonical ? resolved : joined);
}

SkinRecord* GetCompanionSkin(SkinRecord* record, int kind) {
    if (!record) return nullptr;
    const char* names[2] = {nullptr, nullptr};
    if (kind == 1) {
        names[0] = record->CompanionSkinTaskbarGroupPopup;
        names[1] = record->CompanionSkinPopup;
    } else {
        names[0] = record->CompanionSkinPopup;
    }
    for (const char* name : names) {
        if (!name || !name[0]) continue;
        char unquoted[kSkinPathSize];
        size_t n = 0;
        for (const char* p = name; *p && n + 1 < sizeof(unquoted); ++p)
            if (*p != '"') unquoted[n++] = *p;
        unquoted[n] = '\0';
        char path[MAX_PATH];
        if (!unquoted[0] || !ComposeSkinFilePath(record, unquoted, path, sizeof(path), false))
            continue;
        // A missing file would still parse (to all defaults): it does not count
        // as loading, so the next name or the skin itself is used instead.
        if (!FileExists(path)) continue;
        if (SkinRecord* companion = LoadSkinFile(path, false)) return companion;
    }
    ++record->reference_count;
    return record;
}

int GetSkinStateIndex(const SkinRecord* record, int state, int style) {
    if (record && state != 0 && style >= 0 && style < kMaxSectionStyles) {
        int index = state + kSkinStatesPerStyle * style;
        if (index >= 0 && index < record->state_count && record->states[index].valid) return index;
    }
    return state;
}

SkinStateRecord* GetSkinStateRecord(SkinRecord* record, int index) {
    if (!record || !record->states || record->state_count <= 0 || index < 0) return nullptr;
    if (index >= record->state_count)
        index = kSkinFixedStates + (index - kSkinFixedStates) % kSkinStatesPerStyle;
    return &record->states[index];
}

int GetSkinPathRelativeTo(const SkinRecord* record, const char* from_folder, char* out,
                          size_t out_size, const char* path) {
    if (!record || !from_folder || !out || !out_size) return 0;
    const char* source = path && path[0] ? path : record->path;
    // On another drive there is no relative form: the full path is kept.
    return RelativeToFolder(from_folder, source, out, out_size) ? 1 : 0;
}

namespace {
// The page serves no messages of its own.
INT_PTR CALLBACK SkinPageProc(HWND, UINT, WPARAM, LPARAM) {
    return tess::GuardDialogProc([]() -> INT_PTR { return FALSE; });
}
}  // namespace

void FillSkinPropertyPage(PROPSHEETPAGEA* page, HINSTANCE instance, int template_id) {
    if (!page) return;
    memset(page, 0, sizeof(*page));
    page->dwSize = sizeof(*page);
    page->dwFlags = PSP_USETITLE;
    page->hInstance = instance;
    page->pszTemplate = MAKEINTRESOURCEA(template_id);
    page->pszTitle = "Skin";
    page->pfnDlgProc = SkinPageProc;
}
