// Shell shortcuts: .lnk files through IShellLinkA, the URL of .url files
// through the Internet shortcut object, and the program's own shortcut in the
// user's Startup folder.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <cstddef>

// Which optional fields of ShortcutInfo CreateShortcut writes.
enum ShortcutField {
    kShortcutDescription = 1,
    kShortcutArguments = 2,
    kShortcutIcon = 4,
    kShortcutWorkingFolder = 8,
    kShortcutHotkey = 16,
    kShortcutShowCommand = 32,
    kShortcutIdList = 64,
};

struct ShortcutInfo {
    char target[MAX_PATH];
    int mask;
    const char* description;
    const char* arguments;
    const char* icon_file;
    int icon_index;
    const char* working_folder;
    int show_command;
    int hotkey;
    LPCITEMIDLIST id_list;
};

// What ReadShortcutField reads.
enum ShortcutFieldKind { kReadTarget = 0, kReadArguments = 1, kReadIconLocation = 2 };

// The program's Startup-folder shortcut, and the older name it replaces.
constexpr const char* kStartupShortcutName = "Vantrell Tessellar";
constexpr const char* kOldStartupShortcutName = "Tessellar";

HRESULT CreateShortcut(const char* link_path, const ShortcutInfo& info);
// Kind 2 returns the icon index; the others 1 on success, 0 otherwise. The
// buffer is emptied first and receives at most size - 1 characters.
int ReadShortcutField(const char* link_path, char* buffer, int buffer_size, int kind);

// buffer must hold MAX_PATH characters.
int GetStartupShortcutPath(const char* name, char* buffer);
bool CreateStartupShortcut(const char* name);
bool CreateStartupShortcutWithArgs(const char* name, const char* arguments);
bool StartupShortcutExists(const char* name, const char* arguments);
void DeleteStartupShortcut(const char* name);
bool ShortcutFileExists(const char* path);

// The URL of a .url file. A URL that does not fit the buffer is an error
// (HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)) and leaves the buffer empty.
HRESULT GetInternetShortcutUrl(const char* url_path, char* buffer, size_t buffer_size);
