#include "skins/ini_section_reader.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "util/text.h"

namespace {

// Typed lookups hand this to the change list so that a reset is told apart
// from a stored value and the caller's own default can be used.
const char kTypedDefaultMarker[] = "";

char* DuplicateText(const char* text) {
    if (!text) return nullptr;
    size_t len = strlen(text);
    char* copy = new (std::nothrow) char[len + 1];
    if (copy) memcpy(copy, text, len + 1);
    return copy;
}

bool SameNoCase(const char* a, const char* b) {
    return a && b && _stricmp(a, b) == 0;
}

}  // namespace

// ---- CIniChangeList ------------------------------------------------------------------------

CIniChangeList::CIniChangeList(const char* file_path)
    : m_pending{}, m_sections{}, m_keys{}, m_values{}, m_count(0), m_filePath{},
      m_editorWindow(nullptr) {
    tess::CopyText(m_filePath, file_path);
}

CIniChangeList::~CIniChangeList() {
    for (int i = 0; i < kMaxEntries; ++i) FreeEntry(i);
}

void CIniChangeList::FreeEntry(int index) {
    delete[] m_sections[index];
    delete[] m_keys[index];
    delete[] m_values[index];
    m_sections[index] = m_keys[index] = m_values[index] = nullptr;
    m_pending[index] = 0;
}

// An entry is shadowed when a newer one answers every lookup it would answer.
bool CIniChangeList::Shadowed(int index) const {
    for (int j = index + 1; j < m_count; ++j) {
        if (!SameNoCase(m_sections[j], m_sections[index])) continue;
        if (!m_keys[j]) return true;
        if (m_keys[index] && SameNoCase(m_keys[j], m_keys[index])) return true;
    }
    return false;
}

// Lookups only ever reach the newest matching entry, so the shadowed ones
// (also those that the edit about to be appended will shadow) can go without
// changing any answer; order of the rest is kept.
void CIniChangeList::DropShadowedEntries(const char* new_section, const char* new_key) {
    int kept = 0;
    for (int i = 0; i < m_count; ++i) {
        bool by_new = SameNoCase(m_sections[i], new_section) &&
                      (!new_key || (m_keys[i] && SameNoCase(m_keys[i], new_key)));
        if (by_new || Shadowed(i)) {
            FreeEntry(i);
            continue;
        }
        if (kept != i) {
            m_pending[kept] = m_pending[i];
            m_sections[kept] = m_sections[i];
            m_keys[kept] = m_keys[i];
            m_values[kept] = m_values[i];
            m_sections[i] = m_keys[i] = m_values[i] = nullptr;
            m_pending[i] = 0;
        }
        ++kept;
    }
    m_count = kept;
}

bool CIniChangeList::Set(const char* section, const char* key, const char* value, int reset) {
    if (!section) return false;
    if (!value) value = "";

    int index = -1;
    if (key) {
        for (int i = m_count - 1; i >= 0; --i) {
            if (!m_values[i]) break;   // a reset keeps shadowing what lies behind it
            if (m_keys[i] && SameNoCase(m_sections[i], section) && SameNoCase(m_keys[i], key)) {
                index = i;
                break;
            }
        }
    }
    if (index < 0) {
        if (m_count >= kMaxEntries) DropShadowedEntries(section, key);
        if (m_count >= kMaxEntries) return false;
        char* section_copy = DuplicateText(section);
        char* key_copy = key ? DuplicateText(key) : nullptr;
        if (!section_copy || (key && !key_copy)) {
            delete[] section_copy;
            delete[] key_copy;
            return false;
        }
        index = m_count++;
        m_sections[index] = section_copy;
        m_keys[index] = key_copy;
        m_values[index] = nullptr;
    }
    m_pending[index] = 1;
    delete[] m_values[index];
    m_values[index] = nullptr;
    if (key && !reset) {
        m_values[index] = DuplicateText(value);
        if (!m_values[index]) return false;
    }
    return true;
}

const char* CIniChangeList::Lookup(const char* section, const char* key,
                                   const char* default_text, int* pending) {
    if (pending) *pending = 0;
    if (!section || !key) return nullptr;
    for (int i = m_count - 1; i >= 0; --i) {
        if (!SameNoCase(m_sections[i], section)) continue;
        if (m_keys[i] && !SameNoCase(m_keys[i], key)) continue;
        if (pending) *pending = m_pending[i];
        if (!m_keys[i]) return default_text;
        m_pending[i] = 0;
        return m_values[i] ? m_values[i] : default_text;
    }
    return nullptr;
}

// ---- CIniSectionReader -------------------------------------------------------------------------

CIniSectionReader::CIniSectionReader(CIniChangeList* changes)
    : m_changes(changes), m_exactCase(1), m_sectionName{}, m_lastIndex(-1), m_scanStart(0) {
    m_buffer[0] = m_buffer[1] = '\0';
}

CIniSectionReader::CIniSectionReader(const char* file_path, const char* section,
                                     CIniChangeList* changes)
    : CIniSectionReader(changes) {
    Load(file_path, section);
}

void CIniSectionReader::Load(const char* file_path, const char* section) {
    // An over-long name cannot be a section of ours; keep it cut, never overrun.
    tess::CopyText(m_sectionName, section ? section : "");
    m_lastIndex = -1;
    m_scanStart = 0;
    if (!file_path || !section) return;
    if (m_knownSections && !m_knownSections->MayHold(section)) {
        m_buffer[0] = m_buffer[1] = '\0';
        return;
    }

    DWORD length = GetPrivateProfileSectionA(section, m_buffer, kBufferSize, file_path);
    if (length > static_cast<DWORD>(kBufferSize - 2)) length = kBufferSize - 2;
    // Whatever the API left, the walk below ends inside the buffer.
    m_buffer[length] = '\0';
    m_buffer[length + 1] = '\0';

    int pairs = 0;
    DWORD pos = 0;
    while (pos < length && m_buffer[pos] && pairs < kMaxPairs) {
        char* line = m_buffer + pos;
        size_t line_length = strlen(line);
        char* equals = line[0] == ';' ? nullptr : strchr(line, '=');
        if (equals) {
            *equals = '\0';
            m_keys[pairs] = line;
            m_values[pairs] = equals + 1;
        } else {
            m_keys[pairs] = nullptr;
            m_values[pairs] = nullptr;
        }
        ++pairs;
        pos += static_cast<DWORD>(line_length) + 1;
    }
    m_lastIndex = pairs - 1;
}

const char* CIniSectionReader::FindPair(const char* key, bool consume) {
    if (!key) return nullptr;
    for (int i = m_scanStart; i <= m_lastIndex; ++i) {
        if (!m_keys[i]) continue;
        bool same = m_exactCase ? strcmp(m_keys[i], key) == 0 : _stricmp(m_keys[i], key) == 0;
        if (!same) continue;
        if (consume) {
            m_keys[i] = nullptr;
            if (i == m_scanStart) ++m_scanStart;
        }
        return m_values[i];
    }
    return nullptr;
}

const char* CIniSectionReader::Lookup(const char* key, bool consume, const char* default_text,
                                      int* changed) {
    if (changed) *changed = 0;
    if (m_changes) {
        const char* answer = m_changes->Lookup(m_sectionName, key, default_text, changed);
        if (answer) return answer;
    }
    return FindPair(key, consume);
}

int CIniSectionReader::GetString(const char* key, char* out, size_t out_size,
                                 const char* default_text, int* changed, bool consume) {
    if (!default_text) default_text = "";
    const char* value = Lookup(key, consume, default_text, changed);
    if (out && out_size) tess::CopyText(out, out_size, value ? value : default_text);
    return value ? 1 : 0;
}

int CIniSectionReader::GetInt(const char* key, int default_value) {
    const char* value = Lookup(key, true, kTypedDefaultMarker, nullptr);
    if (!value || value == kTypedDefaultMarker) return default_value;
    return atoi(value);
}

int CIniSectionReader::GetBool(const char* key, int default_value) {
    const char* value = Lookup(key, true, kTypedDefaultMarker, nullptr);
    if (!value || value == kTypedDefaultMarker) return default_value;
    return value[0] == '1' ? 1 : 0;
}

// ---- CIniSectionNameList ------------------------------------------------------------------------

CIniSectionNameList::CIniSectionNameList(const char* file_path)
    : m_names{}, m_count(0), m_complete(true) {
    m_buffer[0] = m_buffer[1] = '\0';
    if (!file_path) return;
    DWORD length = GetPrivateProfileSectionNamesA(m_buffer, kBufferSize, file_path);
    // A full buffer may have lost names.
    if (length >= static_cast<DWORD>(kBufferSize - 2)) {
        length = kBufferSize - 2;
        m_complete = false;
    }
    m_buffer[length] = '\0';
    m_buffer[length + 1] = '\0';
    DWORD pos = 0;
    while (pos < length && m_buffer[pos]) {
        if (m_count == kMaxNames) {
            m_complete = false;
            break;
        }
        m_names[m_count++] = m_buffer + pos;
        pos += static_cast<DWORD>(strlen(m_buffer + pos)) + 1;
    }
}

bool CIniSectionNameList::MayHold(const char* section) const {
    if (!m_complete) return true;
    for (int i = 0; i < m_count; ++i)
        if (lstrcmpiA(m_names[i], section) == 0) return true;
    return false;
}

int CIniSectionNameList::GetName(int index, char* out, size_t out_size) const {
    if (out && out_size) out[0] = '\0';
    if (!out || !out_size || index < 0 || index >= m_count) return 0;
    tess::CopyText(out, out_size, m_names[index]);
    return 1;
}
