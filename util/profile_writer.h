// INI files composed in memory and written in one pass.
//
// The private-profile functions rewrite the whole file for every key, which
// makes a large file slow to save, and under Wine they answer TRUE even when
// the disk is full and the file was cut short. A ProfileDocument changes
// exactly as those functions change a file and gives the bytes they would
// write (same sections, keys, spacing and line ends); WriteFileReplacing puts
// the bytes into a temporary file beside the target, checks every step and
// replaces the target only when all of it is on disk.
#pragma once
#include <windows.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace tess {

class ProfileDocument {
public:
    // Reads the file as the profile functions read it. A missing file is an
    // empty document; false (with the error) when the file cannot be read.
    bool Load(const char* path, DWORD* error = nullptr);
    // WritePrivateProfileString's rules: a null key removes the section, a
    // null value removes the key. False for a null section.
    bool Set(const char* section, const char* key, const char* value);
    bool HasKey(const char* section, const char* key);
    // Whether the profile functions would have rewritten the file.
    bool Changed() const { return changed_; }
    std::string Bytes() const;

private:
    enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };
    struct Key {
        std::wstring name;
        std::wstring value;
        bool has_value;
    };
    struct Section {
        std::wstring name;
        std::vector<Key> keys;
        std::unordered_map<std::wstring, size_t> first;   // upper-case name -> first key
    };
    void Parse(const std::wstring& text);
    void Settle();
    void Touched(size_t section, size_t key);
    std::wstring Text() const;
    Section* FindSection(const std::wstring& trimmed);
    const Section* FindSection(const std::wstring& trimmed) const;
    static void AddKey(Section& section, Key key);
    static void Reindex(Section& section);
    std::wstring Widen(const char* text) const;

    std::vector<Section> sections_ = std::vector<Section>(1);   // [0]: keys before any header
    Encoding encoding_ = Encoding::Ansi;
    bool changed_ = false;
    // The key written last, still as written: the functions read the file
    // again before the next change and see it trimmed, or even split.
    bool raw_ = false;
    size_t raw_section_ = 0, raw_key_ = 0;
};

// The steps of writing a file, for the fault seam below.
enum class FileStep { CreateTemp, Open, Write, Flush, Close, Replace };

// Test seam: called before every step; a non-zero answer makes the step fail
// with that error (a failing write still puts half its block on disk, as a
// full disk does).
using FileStepFault = DWORD (*)(FileStep step);
FileStepFault& WriterFaultHook();

using ReplaceFunction = BOOL(WINAPI*)(const char* from, const char* to, DWORD flags);

// Writes bytes to a temporary file in the target's folder and moves it over
// the target. On failure the target is untouched, the temporary file is gone
// and error holds the reason.
bool WriteFileReplacing(const char* path, const std::string& bytes, DWORD* error,
                        ReplaceFunction replace = nullptr);

// A document that the key-by-key writers below reach by its file name until
// it is committed or destroyed.
class ProfileSession {
public:
    // start_empty: the file is written whole; otherwise single keys change
    // in the file's present contents.
    ProfileSession(const char* path, bool start_empty);
    ~ProfileSession();
    ProfileSession(const ProfileSession&) = delete;
    ProfileSession& operator=(const ProfileSession&) = delete;

    // Writes the document (an unchanged one only when forced) and detaches
    // the session. False with the error when the file could not be read at
    // the start or any step of the write failed.
    bool Commit(DWORD* error, bool force = false, ReplaceFunction replace = nullptr);
    ProfileDocument& Document() { return document_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    ProfileDocument document_;
    DWORD load_error_ = 0;
    bool attached_ = true;
};

// Test seam: sees every key that goes through WriteProfileString, in order.
using ProfileWriteObserver = void (*)(const char* section, const char* key, const char* value,
                                      const char* file);
ProfileWriteObserver& WriteObserverHook();

// WritePrivateProfileString for our own files: into the open session of the
// file, else as a one-key session (read, change, replace whole). FALSE with
// the last error set when the file could not be written.
BOOL WriteProfileString(const char* section, const char* key, const char* value, const char* file);
// Whether the key is present, as the open session of the file sees it.
bool ProfileHasKey(const char* section, const char* key, const char* file);

// The system's text for an error code, without the trailing line break.
std::string ErrorText(DWORD error);

}  // namespace tess
