// Most-recently-used lists of texts kept as numbered string values under one
// key of HKEY_CURRENT_USER ("<prefix>0" is the most recent entry).
#pragma once
#include <windows.h>
#include <cstddef>
#include "util/handles.h"

class CRegistryMruList {
public:
    static constexpr int kSlotCount = 150;     // the most entries a list can hold
    static constexpr int kSlotSize = 460;      // bytes per entry, terminator included

    // Creates or opens the key and loads the list. The maximum is kept within
    // 1 .. kSlotCount.
    CRegistryMruList(const char* key_path, int max_count, const char* prefix);
    ~CRegistryMruList();
    CRegistryMruList(const CRegistryMruList&) = delete;
    CRegistryMruList& operator=(const CRegistryMruList&) = delete;

    void Close();
    bool IsOpen() const { return static_cast<bool>(key_); }

    // Moves the text to the front (adding it when new) and saves. 0 for an
    // empty text or one that does not fit a slot.
    int Add(const char* text);
    int GetCount() const;
    int GetMaxCount() const { return max_count_; }
    void SetMaxCount(int count);
    // buffer must hold kSlotSize bytes.
    int GetEntry(int index, char* buffer) const;
    int GetEntry(int index, char* buffer, size_t buffer_size) const;
    int Find(const char* text) const;

    int Save();
    int Load();
    void Clear();

    // One registry value named prefix + index. A null text or buffer means the
    // slot of that index; a buffer holds kSlotSize bytes. A value that is not a
    // string or does not fit a slot reads as missing.
    bool WriteValue(int index, const char* text);
    bool ReadValue(int index, char* buffer);
    bool DeleteValue(int index);

private:
    void ValueName(int index, char* name, size_t size) const;

    int max_count_ = 1;
    char slots_[kSlotCount][kSlotSize];
    char key_path_[MAX_PATH];
    char prefix_[64];
    tess::ScopedRegKey key_;
    int front_ = 0;
};

// The program's three lists.
enum RecentListKind { kRecentThemes, kRecentPrograms, kPinnedShortcuts };
struct RecentListInfo {
    const char* key_path;
    const char* prefix;
    int max_count;
};
const RecentListInfo& GetRecentListInfo(RecentListKind kind);
// A new list of that kind (delete it after Close).
CRegistryMruList* OpenRecentList(RecentListKind kind);
