// ZIP archives over zlib: add files to an archive (raw deflate, CRC-32, local
// headers and a central directory, as Info-ZIP writes them) and extract them
// again. Results are Info-ZIP's own documented return codes, so callers that
// knew the Zip and UnZip libraries keep working. No COM, no UI: messages go to
// the caller's callback.
#pragma once
#include <cstddef>

namespace tess::archive {

// ---- return codes ------------------------------------------------------------
// Zip's codes (zip's "ziperr.h").
enum ZipCode {
    kZipOk = 0,
    kZipEof = 2,        // unexpected end of an existing archive
    kZipFormat = 3,     // existing archive is not a valid zip file
    kZipMemory = 4,
    kZipBig = 6,        // entry or archive too large for a plain zip file
    kZipTemp = 10,      // temporary file could not be made
    kZipRead = 11,      // read or seek error
    kZipNothing = 12,   // nothing matched the file pattern
    kZipName = 13,      // missing or empty archive name
    kZipWrite = 14,     // error writing the archive
    kZipCreate = 15,    // archive could not be created or replaced
    kZipParams = 16,    // bad arguments (over-long path, repeated name)
    kZipOpen = 18,      // a matched file could not be opened
};

// UnZip's codes (unzip's "unzip.h").
enum UnzipCode {
    kUnzipOk = 0,
    kUnzipWarn = 1,     // members skipped (unsafe name, encrypted, unsupported)
    kUnzipErr = 2,      // a member failed (bad CRC, wrong size, cannot create)
    kUnzipBadErr = 3,   // the archive's directory is damaged
    kUnzipMem = 4,
    kUnzipNoZip = 9,    // archive missing or not a zip file
    kUnzipParam = 10,   // bad arguments (over-long paths)
    kUnzipFind = 11,    // no member matched the file pattern
    kUnzipDisk = 50,    // write failed
};

// ---- adding files ----------------------------------------------------------------
struct ZipOptions {
    bool junk_paths = false;          // store file names only
    bool recurse = false;             // descend into matched folders
    int level = 9;                    // deflate level 1..9
    // When set, file_pattern is relative to this folder and stored names are
    // relative to it; otherwise the pattern is taken as given and its drive and
    // root are stripped from the stored names.
    const char* base_folder = nullptr;
    // Asked for every file and folder found (its stored name, "/"
    // separated, without a trailing "/"); true leaves it out, and a folder
    // left out is not entered.
    bool (*skip)(void* context, const char* stored_name, bool folder) = nullptr;
    void* skip_context = nullptr;
};

// Adds the files matching file_pattern (a path whose last part may hold * and ?)
// to zip_path, creating it when missing and replacing members of the same
// name. The archive is written to a temporary file beside it that replaces it
// only when complete, so a failure leaves an existing archive as it was. The
// archive itself is never added to itself; patterns and recursion skip hidden
// and system files, as Info-ZIP does on Windows.
int ZipAdd(const char* zip_path, const char* file_pattern, const ZipOptions& options);

// ---- extracting ----------------------------------------------------------------------
enum class ReplaceAnswer { kYes, kNo, kAll, kNone };

struct UnzipOptions {
    const char* destination = nullptr;  // folder (created when missing); none: current folder
    const char* file_pattern = nullptr;    // wildcard pattern over member names; none: all
    bool junk_paths = false;            // drop the members' folder names
    bool overwrite = false;             // replace existing files without asking
    // Receives warnings ("caution:", "skipping:") and errors ("error:").
    void (*message)(void* context, const char* text) = nullptr;
    // Asked for each existing file when overwrite is off; none answers kNo.
    ReplaceAnswer (*replace)(void* context, const char* path) = nullptr;
    void* context = nullptr;
};

// Extracts the matching members. Names that would leave the destination
// ("..", absolute, drive-qualified, device names) are skipped; every member is
// checked against its declared sizes and CRC and written to a temporary file
// that replaces the target only when it checked out.
int UnzipExtract(const char* zip_path, const UnzipOptions& options);

// ---- member names (shared with other archive readers) -----------------------------------
// Turns an archive member name into a relative Windows path ("a\b.txt") that
// cannot leave the folder it is joined to: "\" and "/" both separate, "."
// parts are dropped; "..", a leading separator, a drive, ":" anywhere, parts of
// only dots or blanks, control and wildcard characters and device names make
// it unsafe (false). A trailing separator is kept (a folder member).
bool SafeMemberPath(const char* member, char* out, size_t size);

// '*' any run of characters (including separators), '?' one character;
// case-insensitive; "\" and "/" are the same.
bool MatchWildcard(const char* pattern, const char* name);

// Creates every missing folder of path up to its last "\" (not the last part).
bool CreateFoldersFor(const char* path);

}  // namespace tess::archive
