// "ZipFiles" and "UnZipFiles": the archive exports over the ZIP module, with
// the unzip messages shown as message boxes unless quiet.
#include <windows.h>
#include <cstring>

#include "util/archive/zip_archive.h"

namespace {

// Library-wide, as both zip exports share it; it decides only whether
// UnZipFiles shows messages.
volatile LONG g_quiet = 0;

void ShowUnzipMessage(void*, const char* text) {
    if (g_quiet || !text) return;
    const char* caption = nullptr;
    if (strstr(text, "caution:") || strstr(text, "skipping:")) caption = "Warning";
    else if (strstr(text, "error:")) caption = "Error";
    if (!caption) return;
    MessageBoxA(GetActiveWindow(), text, caption, MB_OK);
}

// The replace question is always answered "replace".
tess::archive::ReplaceAnswer AnswerReplace(void*, const char*) { return tess::archive::ReplaceAnswer::kYes; }

}  // namespace

extern "C" int __cdecl ZipFiles(const char* zip_file, const char* file_pattern, int keep_folders, int recurse,
                                int quiet) {
    InterlockedExchange(&g_quiet, quiet ? 1 : 0);
    tess::archive::ZipOptions options;
    options.junk_paths = !keep_folders;
    options.recurse = recurse != 0;
    options.level = 9;
    try {
        return tess::archive::ZipAdd(zip_file, file_pattern, options);
    } catch (...) {
        return tess::archive::kZipMemory;   // nothing may cross into a C caller
    }
}

extern "C" int __cdecl UnZipFiles(const char* destination, const char* zip_file, const char* file_pattern,
                                  int keep_folders, int overwrite, int quiet) {
    InterlockedExchange(&g_quiet, quiet ? 1 : 0);
    tess::archive::UnzipOptions options;
    options.destination = destination;
    options.file_pattern = file_pattern;
    options.junk_paths = !keep_folders;
    options.overwrite = overwrite != 0;
    options.message = &ShowUnzipMessage;
    options.replace = &AnswerReplace;
    try {
        return tess::archive::UnzipExtract(zip_file, options);
    } catch (...) {
        return tess::archive::kUnzipMem;
    }
}
