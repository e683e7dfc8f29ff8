// Reading INI documents key by key: one file access per section, keys answered
// from memory, and the skin editor's pending edits taking precedence.
#pragma once
#include <windows.h>

// ---- pending edits of one skin file ------------------------------------------------
// Entries are appended (index = age, newest last); the newest entry for a
// section and key answers. A null key stands for the whole section, a null
// value for a reset to the caller's default.
class CIniChangeList {
public:
    static constexpr int kMaxEntries = 1000;

    explicit CIniChangeList(const char* file_path);
    ~CIniChangeList();
    CIniChangeList(const CIniChangeList&) = delete;
    CIniChangeList& operator=(const CIniChangeList&) = delete;

    // Records one edit. Returns false only when the list is full of live
    // entries (after dropping entries that newer ones shadow) and the edit
    // could not be kept.
    bool Set(const char* section, const char* key, const char* value, int reset);
    bool ResetKey(const char* section, const char* key) { return Set(section, key, nullptr, 1); }
    bool ResetSection(const char* section) { return Set(section, nullptr, nullptr, 1); }

    // The answer for section/key: the stored value, the default for a reset,
    // or null when no entry concerns the key. pending receives the entry's flag.
    const char* Lookup(const char* section, const char* key, const char* default_text,
                       int* pending);

    int GetCount() const { return m_count; }
    const char* GetFilePath() const { return m_filePath; }
    HWND GetEditorWindow() const { return m_editorWindow; }
    void SetEditorWindow(HWND wnd) { m_editorWindow = wnd; }

private:
    void FreeEntry(int index);
    bool Shadowed(int index) const;
    void DropShadowedEntries(const char* new_section, const char* new_key);

    int m_pending[kMaxEntries];
    char* m_sections[kMaxEntries];
    char* m_keys[kMaxEntries];
    char* m_values[kMaxEntries];
    int m_count;
    char m_filePath[MAX_PATH];
    HWND m_editorWindow;
};

class CIniSectionNameList;

// ---- one section of an INI file in memory ----------------------------------------------
class CIniSectionReader {
public:
    static constexpr int kBufferSize = 18000;
    static constexpr int kMaxPairs = 1000;
    static constexpr int kSectionNameSize = 400;

    explicit CIniSectionReader(CIniChangeList* changes = nullptr);
    CIniSectionReader(const char* file_path, const char* section, CIniChangeList* changes);
    CIniSectionReader(const CIniSectionReader&) = delete;
    CIniSectionReader& operator=(const CIniSectionReader&) = delete;

    // Discards the previous section and reads this one (both may be null: empty).
    void Load(const char* file_path, const char* section);
    // The sections the file holds (null: unknown). A section the list lacks
    // is then loaded empty without asking the file, as the file would
    // answer; each question costs a file open under Wine.
    void KnowSections(const CIniSectionNameList* names) { m_knownSections = names; }

    // Copies the value (or the default) into out, bounded by out_size.
    // Returns 1 when the key answered (a change-list reset counts), else 0.
    int GetString(const char* key, char* out, size_t out_size, const char* default_text,
                  int* changed = nullptr, bool consume = true);
    template <size_t N>
    int GetString(const char* key, char (&out)[N], const char* default_text,
                  int* changed = nullptr, bool consume = true) {
        return GetString(key, out, N, default_text, changed, consume);
    }
    int GetInt(const char* key, int default_value);
    int GetBool(const char* key, int default_value);

    // Change list first, then the loaded pairs; null when neither answers.
    const char* Lookup(const char* key, bool consume, const char* default_text, int* changed);
    const char* FindPair(const char* key, bool consume);

    int GetLastIndex() const { return m_lastIndex; }
    const char* GetSectionName() const { return m_sectionName; }
    CIniChangeList* GetChangeList() const { return m_changes; }
    void SetChangeList(CIniChangeList* changes) { m_changes = changes; }

private:
    CIniChangeList* m_changes;
    const CIniSectionNameList* m_knownSections = nullptr;
    int m_exactCase;
    char m_sectionName[kSectionNameSize];
    char m_buffer[kBufferSize];
    char* m_keys[kMaxPairs];
    char* m_values[kMaxPairs];
    int m_lastIndex;
    int m_scanStart;
};

// ---- the section names of one INI file ----------------------------------------------------
class CIniSectionNameList {
public:
    static constexpr int kBufferSize = 18000;
    static constexpr int kMaxNames = 1000;

    explicit CIniSectionNameList(const char* file_path);
    CIniSectionNameList(const CIniSectionNameList&) = delete;
    CIniSectionNameList& operator=(const CIniSectionNameList&) = delete;

    int GetCount() const { return m_count; }
    // Copies name index into out (bounded); 0 and an empty out when out of range.
    int GetName(int index, char* out, size_t out_size) const;
    template <size_t N> int GetName(int index, char (&out)[N]) const { return GetName(index, out, N); }
    // False when the file surely lacks the section (compared as the profile
    // functions compare, ignoring case); true when it holds it or the list
    // was cut short by its limits.
    bool MayHold(const char* section) const;

private:
    char m_buffer[kBufferSize];
    const char* m_names[kMaxNames];
    int m_count;
    bool m_complete;
};
