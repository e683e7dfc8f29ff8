// Small shared helpers: paths and files, shell file operations, file dialogs,
// window icons and programs, the Windows version class, registry and text.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "util/handles.h"

// ---- Windows version -------------------------------------------------------
// 0 Windows 95, 1 Windows 98/ME, 2 NT 4, 3 Windows 2000, 4 Windows XP or later.
enum WindowsVersionClass {
    kWin95 = 0, kWin98 = 1, kWinNT4 = 2, kWin2000 = 3, kWinXP = 4
};
int GetWindowsVersionClass();
// The copy taken once at start (InitWindowsVersionClass) and read everywhere.
void InitWindowsVersionClass();
int WindowsVersion();
// A test of GetVersion's minor byte being 0.
bool IsMinorVersionZero();

// ---- paths and files ---------------------------------------------------------
// The executable's folder with a trailing backslash.
BOOL GetProgramFolder(char* buffer, size_t buffer_size = MAX_PATH);
// A library of the program's own folder, never one found along the search
// path; null when it is not there or does not load.
HMODULE LoadLibraryBesideProgram(const char* file_name);
bool FileExists(const char* path);
bool PathExists(const char* path);
// Buffers hold MAX_PATH characters unless a size is given.
bool GetParentFolder(char* buffer, const char* path, bool keep_backslash,
                     size_t buffer_size = MAX_PATH);
bool GetFileNameOfPath(char* buffer, const char* path, size_t buffer_size = MAX_PATH);
bool GetDesktopFolderPath(char* buffer, size_t buffer_size = MAX_PATH);

// ---- shell file operations -------------------------------------------------------
// Returns TRUE only when SHFileOperation succeeded and nothing was aborted.
BOOL ShellFileOperation(const char* destination, const char* source, UINT operation, FILEOP_FLAGS flags);
BOOL MoveFiles(const char* destination, const char* source, FILEOP_FLAGS flags);
BOOL CopyFiles(const char* destination, const char* source, FILEOP_FLAGS flags);
BOOL DeleteFiles(const char* path);
BOOL DuplicateFileInPlace(const char* path);

// ---- file dialogs -------------------------------------------------------------------
bool ShowOpenFileDialog(HWND owner, char* file, const char* title, const char* filter,
                        const char* initial_folder, bool must_exist);
bool ShowSaveFileDialog(HWND owner, char* file, const char* title, const char* filter,
                        const char* initial_folder, DWORD flags);
// Set while a file dialog is up, so bar windows do not close on deactivation.
void SetFileDialogOpen(bool open);
bool IsFileDialogOpen();

// ---- windows and icons ------------------------------------------------------------------
LRESULT SendMessageWithTimeout(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT flags,
                               UINT timeout_ms, BOOL* succeeded);
HICON GetWindowBigIcon(HWND wnd);
HICON GetWindowSmallIcon(HWND wnd);
HICON DuplicateIcon(HICON icon);
// full_path and base_name (either may be null) must hold MAX_PATH characters.
void GetWindowProgramPath(HWND wnd, char* full_path, char* base_name);
HWND GetForegroundFocusWindow();
void ForceFocusWindow(HWND wnd);
bool IsWindowOfClass(HWND wnd, const char* class_name);
int InsertTab(HWND tab_control, const char* text, int index, int image, LPARAM data);
bool ShowPickIconDialog(HWND owner, char* path, UINT path_size, int* icon_index);
// SendMessage to every top-level window of a class.
void BroadcastToClass(const char* class_name, UINT msg, WPARAM wp, LPARAM lp);

// ---- rectangles --------------------------------------------------------------------------
bool RectsIntersect(const RECT& a, const RECT& b);
bool RectContainsRect(const RECT& outer, const RECT& inner);

// ---- registry and INI ----------------------------------------------------------------------
// The subkey of root with full access, created when create is set; empty when
// it cannot be opened or subkey is null.
tess::ScopedRegKey OpenRegistryKey(HKEY root, const char* subkey, bool create);

BOOL WritePrivateProfileInt(const char* section, const char* key, int value, const char* file);

// ---- text and atoms --------------------------------------------------------------------------
// Doubles every "&" in place within buffer_size characters (always terminated).
bool DoubleAmpersands(char* text, size_t buffer_size);
const char* FindTextNoCase(const char* text, const char* part);
void DeleteGlobalAtoms(const char* name);
void SwapInts(int* pair);

// Time-outs of messages sent to other programs' windows.
constexpr UINT kGetIconTimeoutMs = 200;
