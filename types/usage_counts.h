// The shell's own record of which start-menu programs were run: the
// UserAssist counts under HKEY_CURRENT_USER, whose value names the shell
// stores ROT13-encoded. Tessellar reads them to judge whether a start-menu
// shortcut is rarely used (personalised menus) and writes them when one of
// its shortcut items runs a program from the Programs folders.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "util/handles.h"

// Where the counts live and how a Programs-relative value name starts.
constexpr const char* kUserAssistCountKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\"
    "{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";
constexpr const char* kUserAssistRunPrefix = "UEME_RUNPIDL:%csidl2%\\";
constexpr int kUserAssistRunPrefixLength = 22;
// A count value: a 32-bit word, the run count, then the FILETIME of the last run.
constexpr DWORD kUserAssistValueSize = 16;

// Every letter moves 13 places within its case; nothing else changes.
void Rot13InPlace(char* text);

// The count key, opened (or with create, created) for reading and writing.
tess::ScopedRegKey OpenUserAssistKey(bool create);

// The user's and the common Programs folders, resolved once per run ("" when
// the system has none).
const char* GetUserProgramsFolder();
const char* GetCommonProgramsFolder();

// The last run of path: the shell's count for a start-menu program, else the
// fallback (when given) or the file's last write time, never earlier than the
// smart-menus start time. False when nothing could be told.
bool GetProgramLastRunTime(const char* path, FILETIME* out, const FILETIME* fallback);
// Last used before the smart-menus cut-off (an empty path never is).
bool IsRarelyUsed(const char* path, const FILETIME* fallback);
bool IsRarelyUsedPidl(LPCITEMIDLIST pidl, const FILETIME* fallback);

// Marks a program inside one of the Programs folders as run now: its value,
// and those of each folder above it up to the bare prefix. False for paths
// outside the Programs folders or when the key cannot be written.
bool RecordProgramRun(const char* path);
bool RecordProgramRunPidl(LPCITEMIDLIST pidl);

// Last-use times before start count as start (none: unchanged).
void SetSmartMenusStartTime(const FILETIME* start);
