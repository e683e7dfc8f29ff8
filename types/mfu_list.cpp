// CMFUList: adding launches, sorting by use, and the list's registry form.
#include "types/mfu_list.h"
#include <algorithm>
#include <iterator>
#include <cstring>
#include <new>
#include "shell/type_services.h"
#include "types/usage_counts.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

// A saved value: the path, its NUL, the FILETIME and 9 bytes nobody reads.
constexpr DWORD kValueTailSize = 8 + 9;
constexpr DWORD kMaxValueSize = 760;
constexpr int kValuesAlwaysCleared = 100;

std::unique_ptr<CMFUList> g_program_list;

bool NowAsFileTime(FILETIME* out) {
    SYSTEMTIME local;
    GetLocalTime(&local);
    return SystemTimeToFileTime(&local, out) != 0;
}

void ValueName(int index, char (&name)[16]) { tess::FormatText(name, sizeof(name), "%d", index); }

void CreateProgramList() {
    g_program_list.reset(
        new (std::nothrow) CMFUList(HKEY_CURRENT_USER, kProgramMFUListKey, kProgramMFUListMaximum));
    if (g_program_list) g_program_list->Load();
}

void FreeProgramList() {
    if (g_program_list) g_program_list->Save();
    g_program_list.reset();
}

struct MFUServiceRegistration {
    MFUServiceRegistration() {
        GetShellTypeServices().CreateMFUList = CreateProgramList;
        GetShellTypeServices().FreeMFUList = FreeProgramList;
    }
} const kMFUServiceRegistration;

}  // namespace

CMFUList* GetMFUList() { return g_program_list.get(); }

bool CompareMFUEntries(const MFUEntry* a, const MFUEntry* b) {
    if (!a || !b) return !a && b;
    if (a->useCount != b->useCount) return a->useCount < b->useCount;
    return CompareFileTime(&a->lastUse, &b->lastUse) < 0;
}

CMFUList::CMFUList(HKEY root, const char* keyPath, int maximum) : m_root(root), m_maximum(maximum) {
    tess::CopyText(m_keyPath, keyPath ? keyPath : "");
}

CMFUList::~CMFUList() { Clear(); }

int CMFUList::Capacity() const {
    return m_maximum > 0 && m_maximum < kMFUCapacity ? m_maximum : kMFUCapacity;
}

// The sorted view may name entries that are gone: it is not walked again
// before the next sort.
void CMFUList::MarkUnsorted() {
    m_sorted = FALSE;
    std::fill(std::begin(m_sortedView), std::end(m_sortedView), nullptr);
}

void CMFUList::Clear() {
    MarkUnsorted();
    for (auto& entry : m_entries) entry.reset();
    m_count = 0;
}

bool CMFUList::AddUse(const char* path, const FILETIME* time, int resort) {
    if (!path || !path[0] || strlen(path) >= sizeof(MFUEntry::path)) return false;
    std::unique_ptr<MFUEntry> entry(new (std::nothrow) MFUEntry{});
    if (!entry) return false;
    tess::CopyText(entry->path, path);
    if (time)
        entry->lastUse = *time;
    else
        NowAsFileTime(&entry->lastUse);
    entry->useCount = 0;
    MarkUnsorted();
    const int capacity = Capacity();
    if (m_count < capacity) {
        m_entries[m_count++] = std::move(entry);
    } else {
        m_startOffset = m_startOffset + 1 >= capacity || m_startOffset < 0 ? 0 : m_startOffset + 1;
        m_entries[m_startOffset] = std::move(entry);
    }
    if (resort) Sort();
    return true;
}

bool CMFUList::Remove(const char* path) {
    if (!path) return false;
    for (int i = 0; i < m_count; ++i)
        if (m_entries[i] && lstrcmpiA(m_entries[i]->path, path) == 0) m_entries[i]->path[0] = '\0';
    MarkUnsorted();
    bool saved = Save();
    Clear();
    return Load() && saved;
}

void CMFUList::Sort() {
    for (int i = 0; i < m_count; ++i)
        if (m_entries[i]) m_entries[i]->useCount = 0;
    for (int i = 0; i < m_count; ++i) {
        MFUEntry* entry = m_entries[i].get();
        if (!entry) continue;
        MFUEntry* first = const_cast<MFUEntry*>(Find(entry->path));
        if (!first) continue;
        ++first->useCount;
        if (CompareFileTime(&entry->lastUse, &first->lastUse) < 0) first->lastUse = entry->lastUse;
        if (first != entry) entry->useCount = -1;
    }
    for (int i = 0; i < kMFUCapacity; ++i) m_sortedView[i] = i < m_count ? m_entries[i].get() : nullptr;
    std::stable_sort(m_sortedView, m_sortedView + m_count, CompareMFUEntries);
    m_sorted = TRUE;
}

const MFUEntry* CMFUList::Find(const char* path) const {
    if (!path) return nullptr;
    for (int i = 0; i < m_count; ++i)
        if (m_entries[i] && lstrcmpiA(m_entries[i]->path, path) == 0) return m_entries[i].get();
    return nullptr;
}

const MFUEntry* CMFUList::SortedAt(int index) {
    if (index < 0 || index >= m_count) return nullptr;
    if (!m_sorted) Sort();
    return m_sortedView[index];
}

const MFUEntry* CMFUList::EntryAt(int index) const {
    return index >= 0 && index < m_count ? m_entries[index].get() : nullptr;
}

bool CMFUList::GetMostUsed(int n, char* path, size_t pathSize) {
    if (!path || n < 0) return false;
    if (!m_sorted) Sort();
    int seen = 0;
    for (int i = m_count - 1; i >= 0; --i) {
        const MFUEntry* entry = m_sortedView[i];
        if (!entry || entry->useCount < 0) continue;
        if (seen++ == n) return tess::CopyText(path, pathSize, entry->path);
    }
    return false;
}

void CMFUList::Trim() {
    if (m_maximum <= 0) return;
    MarkUnsorted();
    while (m_count > m_maximum) m_entries[--m_count].reset();
    Sort();
}

// ---- registry form ------------------------------------------------------------------------------

HKEY CMFUList::OpenKey() const {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(m_root, m_keyPath, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Reads value index into the list. present: the value exists with a path
// (a missing or empty one ends the list); a malformed one is skipped.
bool CMFUList::ReadValue(HKEY key, int index, bool* present) {
    char name[16];
    ValueName(index, name);
    BYTE data[kMaxValueSize];
    DWORD type = 0, size = sizeof(data);
    LONG result = RegQueryValueExA(key, name, nullptr, &type, data, &size);
    *present = result == ERROR_SUCCESS || result == ERROR_MORE_DATA;
    if (result != ERROR_SUCCESS) return false;
    const void* nul = std::memchr(data, '\0', size);
    if (!nul) return false;
    const DWORD path_length = static_cast<DWORD>(static_cast<const BYTE*>(nul) - data);
    if (path_length == 0) {
        *present = false;
        return false;
    }
    if (size - path_length - 1 < 8 || path_length >= static_cast<DWORD>(kMFUPathSize)) return false;
    FILETIME time;
    std::memcpy(&time, data + path_length + 1, sizeof(time));
    return AddUse(reinterpret_cast<const char*>(data), &time, 0);
}

bool CMFUList::Load() {
    tess::ScopedRegKey key(OpenKey());
    if (!key) return false;
    Clear();
    bool read_any = false;
    for (int i = 0; i < kMFUCapacity; ++i) {
        bool present = false;
        if (ReadValue(key.get(), i, &present)) read_any = true;
        if (!present) break;
    }
    int offset = -1;
    DWORD type = 0, size = sizeof(offset);
    bool has_offset = RegQueryValueExA(key.get(), "StartOffset", nullptr, &type,
                                       reinterpret_cast<BYTE*>(&offset), &size) == ERROR_SUCCESS &&
                      size == sizeof(offset);
    m_startOffset = has_offset && offset >= 0 && offset < Capacity() ? offset : -1;
    key.reset();
    // A saved list that is empty stays empty: the shell's counts would
    // bring back what the user removed.
    if (!read_any && !has_offset) return RebuildFromUserAssist();
    Sort();
    return true;
}

bool CMFUList::Save() {
    tess::ScopedRegKey key(OpenKey());
    if (!key) return false;
    bool ok = true;
    int written = 0;
    for (int i = 0; i < m_count; ++i) {
        const MFUEntry* entry = m_entries[i].get();
        if (!entry || !entry->path[0]) continue;
        BYTE data[kMFUPathSize + kValueTailSize] = {};
        const DWORD length = static_cast<DWORD>(strlen(entry->path));
        std::memcpy(data, entry->path, length);
        std::memcpy(data + length + 1, &entry->lastUse, sizeof(entry->lastUse));
        char name[16];
        ValueName(written++, name);
        if (RegSetValueExA(key.get(), name, 0, REG_BINARY, data, length + 1 + kValueTailSize) !=
            ERROR_SUCCESS)
            ok = false;
    }
    for (int i = written; i < kMFUCapacity; ++i) {
        char name[16];
        ValueName(i, name);
        if (RegDeleteValueA(key.get(), name) != ERROR_SUCCESS && i >= kValuesAlwaysCleared) break;
    }
    const int offset = m_startOffset, maximum = m_maximum;
    ok = RegSetValueExA(key.get(), "StartOffset", 0, REG_BINARY,
                        reinterpret_cast<const BYTE*>(&offset), sizeof(offset)) == ERROR_SUCCESS && ok;
    ok = RegSetValueExA(key.get(), "MaxEntries", 0, REG_BINARY,
                        reinterpret_cast<const BYTE*>(&maximum), sizeof(maximum)) == ERROR_SUCCESS && ok;
    return ok;
}

// ---- the shell's counts ----------------------------------------------------------------------------

namespace {

// The start-menu file a decoded count name stands for; false when the name
// is not a Programs entry or no such file exists.
bool ProgramFileOfCount(const char* decoded, char* path, size_t size) {
    const char* at = strstr(decoded, kUserAssistRunPrefix);
    if (!at) return false;
    const char* relative = at + kUserAssistRunPrefixLength;
    for (const char* folder : {GetUserProgramsFolder(), GetCommonProgramsFolder()}) {
        if (!folder[0]) continue;
        char candidate[MAX_PATH];
        if (!tess::CopyText(candidate, folder) || !tess::AppendText(candidate, "\\") ||
            !tess::AppendText(candidate, relative))
            continue;   // longer than a path can be
        if (FileExists(candidate)) return tess::CopyText(path, size, candidate);
    }
    return false;
}

}  // namespace

bool CMFUList::RebuildFromUserAssist() {
    const int maximum = m_maximum;
    m_maximum = 0;
    tess::ScopedRegKey key = OpenUserAssistKey(false);
    bool ok = static_cast<bool>(key);
    for (DWORD i = 0; key && m_count < kMFUCapacity; ++i) {
        char name[271];
        BYTE data[kUserAssistValueSize];
        DWORD name_size = sizeof(name), data_size = sizeof(data), type = 0;
        LONG result = RegEnumValueA(key.get(), i, name, &name_size, nullptr, &type, data, &data_size);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || data_size != kUserAssistValueSize) continue;
        FILETIME time;
        std::memcpy(&time, data + 8, sizeof(time));
        if (time.dwLowDateTime == 0 && time.dwHighDateTime == 0) continue;
        Rot13InPlace(name);
        char path[MAX_PATH];
        if (ProgramFileOfCount(name, path, sizeof(path))) AddUse(path, &time, 0);
    }
    if (ok) {
        Sort();
        // The list itself takes the sorted order.
        // The list itself takes the sorted order: the view holds the same
        // entries, so ownership moves over without freeing any.
        for (int i = 0; i < m_count; ++i) m_entries[i].release();
        for (int i = 0; i < m_count; ++i) m_entries[i].reset(m_sortedView[i]);
        MarkUnsorted();
    }
    m_maximum = maximum;
    Trim();
    return ok;
}
