// CMFUList: the program's own most-used list, a ring of the latest program
// launches kept in the registry. Shortcut items add to it; folder sections
// walk its sorted view (most used last). The main window owns the one list
// of the program (GetMFUList): created and loaded with it, saved when it goes.
#pragma once
#include <windows.h>
#include <memory>

constexpr int kMFUPathSize = 268;
// Entries the arrays hold whatever the maximum, the rebuild included.
constexpr int kMFUCapacity = 5000;
constexpr int kMFUKeyPathSize = 600;
constexpr const char* kProgramMFUListKey = "Software\\Vantrell\\Tessellar\\MFUList";
constexpr int kProgramMFUListMaximum = 100;

// One launch. The use count is the sort's: on the first entry of a path the
// number of entries with that path, -1 on the later ones.
struct MFUEntry {
    char path[kMFUPathSize];
    FILETIME lastUse;
    int useCount;
};

// Null entries first, then by use count, equal counts by time (ascending).
bool CompareMFUEntries(const MFUEntry* a, const MFUEntry* b);

class CMFUList {
public:
    // maximum 0 or less: unbounded (up to kMFUCapacity).
    CMFUList(HKEY root, const char* keyPath, int maximum);
    ~CMFUList();
    CMFUList(const CMFUList&) = delete;
    CMFUList& operator=(const CMFUList&) = delete;

    void Clear();
    // One launch of path at time (none: now). False for an empty path or
    // one longer than an entry holds.
    bool AddUse(const char* path, const FILETIME* time, int resort);
    // Drops every entry of path and reloads the list as saved.
    bool Remove(const char* path);
    void Sort();
    const MFUEntry* Find(const char* path) const;
    bool Load();
    bool Save();
    bool RebuildFromUserAssist();
    // The n-th path from the most-used end, duplicates skipped; false past the end.
    bool GetMostUsed(int n, char* path, size_t pathSize);
    void Trim();

    int GetCount() const { return m_count; }
    int GetStartOffset() const { return m_startOffset; }
    int GetMaximum() const { return m_maximum; }
    // The sorted view, rebuilt first when the list changed since the last sort.
    const MFUEntry* SortedAt(int index);
    // An entry in list (ring slot) order.
    const MFUEntry* EntryAt(int index) const;

private:
    HKEY OpenKey() const;
    int Capacity() const;
    void MarkUnsorted();
    bool ReadValue(HKEY key, int index, bool* present);

    int m_count = 0;
    BOOL m_sorted = FALSE;
    std::unique_ptr<MFUEntry> m_entries[kMFUCapacity];
    MFUEntry* m_sortedView[kMFUCapacity] = {};
    int m_startOffset = -1;
    HKEY m_root;
    char m_keyPath[kMFUKeyPathSize];
    int m_maximum;
};

// The program's one list; null before CreateMFUList and after FreeMFUList.
CMFUList* GetMFUList();
