// The rules here follow the private-profile functions as the platform
// implements them: lines split at any run of CR and LF, blanks trimmed around
// lines, names and values, blank lines dropped, a section name running to the
// last ']' of its line, new sections and keys appended at the end, the first
// of duplicate sections and keys taking every change.
#include "util/profile_writer.h"
#include <algorithm>
#include <cstring>
#include "util/text.h"

namespace tess {

namespace {

constexpr DWORD kWriteBlock = 16 * 1024;

bool IsBlank(wchar_t c) {
    return c == L' ' || (c >= 9 && c <= 13) || c == 0x1a;
}

// Offsets of the text without leading and trailing blanks.
void Trim(const std::wstring& s, size_t* begin, size_t* end) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    *begin = b;
    *end = e;
}

std::wstring Trimmed(const std::wstring& s) {
    size_t b, e;
    Trim(s, &b, &e);
    return s.substr(b, e - b);
}

std::wstring WithoutLeadingBlanks(const std::wstring& s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return s.substr(b);
}

std::wstring Upper(std::wstring s) {
    if (!s.empty()) ::CharUpperBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && Upper(a) == Upper(b);
}

std::wstring Decode(const char* bytes, size_t size, UINT code_page) {
    std::wstring out;
    if (!size) return out;
    int n = ::MultiByteToWideChar(code_page, 0, bytes, static_cast<int>(size), nullptr, 0);
    if (n <= 0) return out;
    out.resize(n);
    ::MultiByteToWideChar(code_page, 0, bytes, static_cast<int>(size), &out[0], n);
    return out;
}

std::string Encode(const std::wstring& text, UINT code_page) {
    std::string out;
    if (text.empty()) return out;
    int n = ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                  0, nullptr, nullptr);
    if (n <= 0) return out;
    out.resize(n);
    ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                          nullptr, nullptr);
    return out;
}

DWORD Fault(FileStep step) {
    FileStepFault hook = WriterFaultHook();
    return hook ? hook(step) : 0;
}

BOOL WINAPI MoveReplacing(const char* from, const char* to, DWORD flags) {
    return ::MoveFileExA(from, to, flags);
}

std::vector<ProfileSession*>& OpenSessions() {
    static std::vector<ProfileSession*> sessions;
    return sessions;
}

ProfileSession* SessionOf(const char* file) {
    if (!file) return nullptr;
    auto& open = OpenSessions();
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (lstrcmpiA((*it)->Path().c_str(), file) == 0) return *it;
    return nullptr;
}

}  // namespace

// ---- the document ------------------------------------------------------------------------------

std::wstring ProfileDocument::Widen(const char* text) const {
    return Decode(text, std::strlen(text), CP_ACP);
}

void ProfileDocument::Reindex(Section& section) {
    section.first.clear();
    for (size_t i = 0; i < section.keys.size(); ++i)
        section.first.emplace(Upper(section.keys[i].name), i);
}

void ProfileDocument::AddKey(Section& section, Key key) {
    section.first.emplace(Upper(key.name), section.keys.size());
    section.keys.push_back(std::move(key));
}

bool ProfileDocument::Load(const char* path, DWORD* error) {
    *this = ProfileDocument();
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD e = ::GetLastError();
        if (e == ERROR_FILE_NOT_FOUND) return true;
        if (error) *error = e;
        return false;
    }
    std::string bytes;
    char block[kWriteBlock];
    DWORD got = 0;
    bool ok = true;
    for (;;) {
        if (!::ReadFile(file, block, sizeof(block), &got, nullptr)) {
            if (error) *error = ::GetLastError();
            ok = false;
            break;
        }
        if (!got) break;
        bytes.append(block, got);
    }
    ::CloseHandle(file);
    if (!ok) return false;

    std::wstring text;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        encoding_ = Encoding::Utf8;
        text = Decode(bytes.data() + 3, bytes.size() - 3, CP_UTF8);
    } else if (bytes.size() >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        encoding_ = b[0] == 0xFF ? Encoding::Utf16Le : Encoding::Utf16Be;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned lo = encoding_ == Encoding::Utf16Le ? b[i] : b[i + 1];
            unsigned hi = encoding_ == Encoding::Utf16Le ? b[i + 1] : b[i];
            text += static_cast<wchar_t>(lo | (hi << 8));
        }
    } else {
        text = Decode(bytes.data(), bytes.size(), CP_ACP);
    }
    Parse(text);
    return true;
}

void ProfileDocument::Parse(const std::wstring& text) {
    Section* section = &sections_[0];
    const Key* previous = nullptr;
    size_t next = 0;
    while (next < text.size()) {
        size_t start = next;
        while (next < text.size() && text[next] != L'\n' && text[next] != L'\r') ++next;
        size_t end = next;
        while (next < text.size() && (text[next] == L'\n' || text[next] == L'\r')) ++next;
        while (start < end && IsBlank(text[start])) ++start;
        while (end > start && IsBlank(text[end - 1])) --end;
        if (start >= end) continue;

        if (text[start] == L'[') {
            size_t close = end - 1;
            while (close > start && text[close] != L']') --close;
            if (close > start) {
                sections_.emplace_back();
                sections_.back().name = Trimmed(text.substr(start + 1, close - start - 1));
                section = &sections_.back();
                previous = nullptr;
                continue;
            }
        }
        Key key{std::wstring(), std::wstring(), false};
        size_t equals = text.find(L'=', start);
        if (equals != std::wstring::npos && equals < end) {
            size_t name_end = equals;
            while (name_end > start && IsBlank(text[name_end - 1])) --name_end;
            key.name = text.substr(start, name_end - start);
            size_t value = equals + 1;
            while (value < end && IsBlank(text[value])) ++value;
            key.value = text.substr(value, end - value);
            key.has_value = true;
        } else {
            key.name = text.substr(start, end - start);
        }
        // A run of nameless lines keeps only its first.
        if (!key.name.empty() || !previous || !previous->name.empty()) {
            AddKey(*section, std::move(key));
            previous = &section->keys.back();
        }
    }
}

void ProfileDocument::Settle() {
    if (!raw_) return;
    raw_ = false;
    Section& s = sections_[raw_section_];
    Key& k = s.keys[raw_key_];
    bool reparse = k.name.empty() || k.name[0] == L'[' ||
                   k.name.find_first_of(L"=\r\n") != std::wstring::npos ||
                   k.value.find_first_of(L"\r\n") != std::wstring::npos;
    if (reparse) {
        std::wstring text = Text();
        sections_.assign(1, Section());
        Parse(text);
        return;
    }
    while (!k.value.empty() && IsBlank(k.value.back())) k.value.pop_back();
    if (!k.name.empty() && IsBlank(k.name.back())) {
        while (!k.name.empty() && IsBlank(k.name.back())) k.name.pop_back();
        Reindex(s);
    }
}

ProfileDocument::Section* ProfileDocument::FindSection(const std::wstring& trimmed) {
    for (Section& s : sections_)
        if (SameName(s.name, trimmed)) return &s;
    return nullptr;
}

const ProfileDocument::Section* ProfileDocument::FindSection(const std::wstring& trimmed) const {
    return const_cast<ProfileDocument*>(this)->FindSection(trimmed);
}

bool ProfileDocument::Set(const char* section_name, const char* key_name, const char* value) {
    if (!section_name) return false;
    Settle();
    std::wstring section = Widen(section_name);
    if (!key_name) {
        // Only the first section of the name goes; the file counts as changed
        // even when there was none.
        for (size_t i = 0; i < sections_.size(); ++i)
            if (SameName(sections_[i].name, section)) {
                sections_.erase(sections_.begin() + i);
                break;
            }
        changed_ = true;
        return true;
    }
    std::wstring key = Widen(key_name);
    if (!value) {
        for (Section& s : sections_) {
            if (!SameName(s.name, section)) continue;
            auto it = s.first.find(Upper(key));
            if (it == s.first.end()) continue;
            s.keys.erase(s.keys.begin() + it->second);
            Reindex(s);
            changed_ = true;
            return true;
        }
        return true;
    }
    std::wstring new_value = WithoutLeadingBlanks(Widen(value));
    std::wstring trimmed_section = Trimmed(section);
    std::wstring trimmed_key = Trimmed(key);
    Section* s = FindSection(trimmed_section);
    if (!s) {
        sections_.emplace_back();
        sections_.back().name = trimmed_section;
        AddKey(sections_.back(), Key{trimmed_key, new_value, true});
        Touched(sections_.size() - 1, 0);
        return true;
    }
    auto it = s->first.find(Upper(trimmed_key));
    if (it == s->first.end()) {
        AddKey(*s, Key{WithoutLeadingBlanks(key), new_value, true});
        Touched(static_cast<size_t>(s - &sections_[0]), s->keys.size() - 1);
        return true;
    }
    Key& k = s->keys[it->second];
    if (k.has_value && k.value == new_value) return true;   // nothing to write
    k.value = new_value;
    k.has_value = true;
    Touched(static_cast<size_t>(s - &sections_[0]), it->second);
    return true;
}

bool ProfileDocument::HasKey(const char* section_name, const char* key_name) {
    if (!section_name || !key_name) return false;
    Settle();
    const Section* s = FindSection(Trimmed(Widen(section_name)));
    return s && s->first.count(Upper(Trimmed(Widen(key_name)))) != 0;
}

void ProfileDocument::Touched(size_t section, size_t key) {
    changed_ = true;
    raw_ = true;
    raw_section_ = section;
    raw_key_ = key;
}

std::wstring ProfileDocument::Text() const {
    std::wstring text;
    for (const Section& s : sections_) {
        if (!s.name.empty()) {
            text += L'[';
            text += s.name;
            text += L"]\r\n";
        }
        for (const Key& k : s.keys) {
            text += k.name;
            if (k.has_value) {
                text += L'=';
                text += k.value;
            }
            text += L"\r\n";
        }
    }
    return text;
}

std::string ProfileDocument::Bytes() const {
    const std::wstring text = Text();
    switch (encoding_) {
        case Encoding::Utf8:
            return "\xEF\xBB\xBF" + Encode(text, CP_UTF8);
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool le = encoding_ == Encoding::Utf16Le;
            std::string out = le ? "\xFF\xFE" : "\xFE\xFF";
            for (wchar_t c : text) {
                char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>((c >> 8) & 0xFF);
                out += le ? lo : hi;
                out += le ? hi : lo;
            }
            return out;
        }
        default:
            return Encode(text, CP_ACP);
    }
}

// ---- writing a file ------------------------------------------------------------------------------

FileStepFault& WriterFaultHook() {
    static FileStepFault hook = nullptr;
    return hook;
}

bool WriteFileReplacing(const char* path, const std::string& bytes, DWORD* error,
                        ReplaceFunction replace) {
    DWORD scratch = 0;
    if (!error) error = &scratch;
    *error = 0;
    if (!path || !path[0]) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    char folder[MAX_PATH];
    if (!CopyText(folder, sizeof(folder), path)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    char* slash = std::strrchr(folder, '\\');
    char* other = std::strrchr(folder, '/');
    if (other && (!slash || other > slash)) slash = other;
    if (slash) slash[1] = '\0';
    else CopyText(folder, sizeof(folder), ".");

    char temp[MAX_PATH];
    if ((*error = Fault(FileStep::CreateTemp)) != 0) return false;
    if (!::GetTempFileNameA(folder, "tsb", 0, temp)) {
        *error = ::GetLastError();
        return false;
    }
    auto fail = [&](DWORD e, HANDLE file) {
        *error = e ? e : ERROR_WRITE_FAULT;
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        ::DeleteFileA(temp);
        return false;
    };
    if (DWORD e = Fault(FileStep::Open)) return fail(e, INVALID_HANDLE_VALUE);
    HANDLE file = ::CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail(::GetLastError(), INVALID_HANDLE_VALUE);
    for (size_t done = 0; done < bytes.size();) {
        DWORD want = static_cast<DWORD>(std::min<size_t>(kWriteBlock, bytes.size() - done));
        DWORD wrote = 0;
        if (DWORD e = Fault(FileStep::Write)) {
            ::WriteFile(file, bytes.data() + done, want / 2, &wrote, nullptr);
            return fail(e, file);
        }
        if (!::WriteFile(file, bytes.data() + done, want, &wrote, nullptr))
            return fail(::GetLastError(), file);
        if (wrote != want) return fail(ERROR_DISK_FULL, file);
        done += wrote;
    }
    if (DWORD e = Fault(FileStep::Flush)) return fail(e, file);
    if (!::FlushFileBuffers(file)) return fail(::GetLastError(), file);
    if (DWORD e = Fault(FileStep::Close)) return fail(e, file);
    if (!::CloseHandle(file)) return fail(::GetLastError(), INVALID_HANDLE_VALUE);
    if (DWORD e = Fault(FileStep::Replace)) return fail(e, INVALID_HANDLE_VALUE);
    if (!(replace ? replace : MoveReplacing)(temp, path,
                                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(::GetLastError(), INVALID_HANDLE_VALUE);
    return true;
}

// ---- sessions ----------------------------------------------------------------------------------

ProfileSession::ProfileSession(const char* path, bool start_empty) : path_(path ? path : "") {
    if (!start_empty && !document_.Load(path_.c_str(), &load_error_) && !load_error_)
        load_error_ = ERROR_READ_FAULT;
    OpenSessions().push_back(this);
}

ProfileSession::~ProfileSession() {
    if (!attached_) return;
    auto& open = OpenSessions();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

bool ProfileSession::Commit(DWORD* error, bool force, ReplaceFunction replace) {
    if (attached_) {
        auto& open = OpenSessions();
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
        attached_ = false;
    }
    DWORD scratch = 0;
    if (!error) error = &scratch;
    *error = load_error_;
    // A file that could not be read is never overwritten with a part of it.
    if (load_error_) return false;
    if (!force && !document_.Changed()) return true;
    return WriteFileReplacing(path_.c_str(), document_.Bytes(), error, replace);
}

ProfileWriteObserver& WriteObserverHook() {
    static ProfileWriteObserver hook = nullptr;
    return hook;
}

BOOL WriteProfileString(const char* section, const char* key, const char* value, const char* file) {
    if (ProfileWriteObserver observe = WriteObserverHook()) observe(section, key, value, file);
    if (!file || !file[0]) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (ProfileSession* open = SessionOf(file)) {
        if (!section && !key && !value) return TRUE;   // nothing cached to flush
        if (!open->Document().Set(section, key, value)) {
            ::SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        return TRUE;
    }
    if (!section) return ::WritePrivateProfileStringA(section, key, value, file);
    ProfileSession one(file, false);
    one.Document().Set(section, key, value);
    DWORD error = 0;
    if (one.Commit(&error)) return TRUE;
    ::SetLastError(error);
    return FALSE;
}

bool ProfileHasKey(const char* section, const char* key, const char* file) {
    if (ProfileSession* open = SessionOf(file)) return open->Document().HasKey(section, key);
    ProfileDocument document;
    return document.Load(file) && document.HasKey(section, key);
}

std::string ErrorText(DWORD error) {
    char text[512] = "";
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               error, 0, text, sizeof(text), nullptr);
    std::string out(text, n < sizeof(text) ? n : 0);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    if (out.empty()) {
        char code[32];
        FormatText(code, sizeof(code), "Error %lu.", static_cast<unsigned long>(error));
        out = code;
    }
    return out;
}

}  // namespace tess
