#include "util/general_helpers.h"

#include <shellapi.h>
#include <shlobj.h>
#include <commdlg.h>
#include <cstring>
#include <cstdio>

#include "util/handles.h"
#include "util/paths.h"
#include "util/text.h"

// ---- Windows version -------------------------------------------------------

int GetWindowsVersionClass() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return kWinXP;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return info.dwMinorVersion == 0 ? kWin95 : kWin98;
    if (info.dwMajorVersion < 5) return kWinNT4;
    return info.dwMinorVersion == 0 && info.dwMajorVersion == 5 ? kWin2000 : kWinXP;
}

static int g_windows_version = -1;

void InitWindowsVersionClass() { g_windows_version = GetWindowsVersionClass(); }

int WindowsVersion() {
    if (g_windows_version < 0) InitWindowsVersionClass();
    return g_windows_version;
}

bool IsMinorVersionZero() {
    return ((GetVersion() >> 8) & 0xFF) == 0;
}

// ---- paths and files ---------------------------------------------------------

BOOL GetProgramFolder(char* buffer, size_t buffer_size) {
    if (!buffer || buffer_size == 0) return 0;
    char path[270] = {0};
    DWORD n = GetModuleFileNameA(nullptr, path, 269);
    path[n < 270 ? n : 269] = '\0';
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = '\0';
    tess::CopyText(buffer, buffer_size, path);
    return 1;
}

HMODULE LoadLibraryBesideProgram(const char* file_name) {
    char path[MAX_PATH];
    if (!file_name || !GetProgramFolder(path, sizeof(path)) || !tess::AppendText(path, file_name))
        return nullptr;
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool FileExists(const char* path) {
    if (!path || !*path) return false;
    tess::ScopedFile f(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(f);
}

bool PathExists(const char* path) {
    if (!path || !*path) return false;
    // A full path answers from the file system, found or not; only the rest
    // (shell paths, relative names) goes to the shell, which is far slower
    // and, under Wine, builds the shell's whole icon cache (about a
    // megabyte) on its first call whatever was asked.
    if (IsAbsolutePath(path)) return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    SHFILEINFOA info{};
    return SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_DISPLAYNAME) != 0;
}

bool GetParentFolder(char* buffer, const char* path, bool keep_backslash, size_t buffer_size) {
    if (!buffer || !path || buffer_size == 0) return false;
    const size_t len = strlen(path);
    if (len <= 1) return false;
    // The last backslash that is not the path's own last character.
    const char* sep = nullptr;
    for (size_t i = 0; i + 1 < len; ++i)
        if (path[i] == '\\') sep = path + i;
    if (!sep) {
        tess::CopyText(buffer, buffer_size, path);
        return false;
    }
    const size_t keep = static_cast<size_t>(sep - path) + (keep_backslash ? 1 : 0);
    tess::CopyTextN(buffer, buffer_size, path, keep);
    return true;
}

bool GetFileNameOfPath(char* buffer, const char* path, size_t buffer_size) {
    if (!buffer || !path || buffer_size == 0) return false;
    size_t len = strlen(path);
    if (len > 0 && path[len - 1] == '\\') --len;   // a folder path names the folder
    const char* sep = nullptr;
    for (size_t i = 0; i < len; ++i)
        if (path[i] == '\\') sep = path + i;
    if (!sep) return false;
    tess::CopyTextN(buffer, buffer_size, sep + 1, len - static_cast<size_t>(sep + 1 - path));
    return true;
}

bool GetDesktopFolderPath(char* buffer, size_t buffer_size) {
    if (!buffer || buffer_size == 0) return false;
    char path[MAX_PATH] = {0};
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, FALSE)) return false;
    size_t len = strlen(path);
    if (len > 0 && path[len - 1] != '\\') tess::AppendText(path, "\\");
    return tess::CopyText(buffer, buffer_size, path);
}

// ---- shell file operations -------------------------------------------------------

// SHFileOperation wants double-terminated lists; a trailing backslash would
// name the folder's contents instead of the folder itself.
static bool PrepareShellPath(char* out, size_t size, const char* in) {
    memset(out, 0, size);
    if (!tess::CopyText(out, size - 1, in)) return false;
    size_t len = strlen(out);
    if (len > 0 && out[len - 1] == '\\') out[len - 1] = '\0';
    return true;
}

BOOL ShellFileOperation(const char* destination, const char* source, UINT operation,
                        FILEOP_FLAGS flags) {
    if (!source || !*source) return FALSE;
    if (operation != FO_DELETE && (!destination || !*destination)) return FALSE;
    char from[MAX_PATH + 2];
    char to[MAX_PATH + 2];
    if (!PrepareShellPath(from, sizeof(from), source)) return FALSE;
    if (!PrepareShellPath(to, sizeof(to), operation == FO_DELETE ? "" : destination)) return FALSE;

    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = operation;
    op.pFrom = from;
    op.pTo = operation == FO_DELETE ? nullptr : to;
    op.fFlags = static_cast<FILEOP_FLAGS>(flags | FOF_ALLOWUNDO);
    const int result = SHFileOperationA(&op);
    return result == 0 && !op.fAnyOperationsAborted;
}

BOOL MoveFiles(const char* destination, const char* source, FILEOP_FLAGS flags) {
    return ShellFileOperation(destination, source, FO_MOVE, flags);
}

BOOL CopyFiles(const char* destination, const char* source, FILEOP_FLAGS flags) {
    return ShellFileOperation(destination, source, FO_COPY, flags);
}

BOOL DeleteFiles(const char* path) {
    return ShellFileOperation(nullptr, path, FO_DELETE, FOF_NOERRORUI);
}

BOOL DuplicateFileInPlace(const char* path) {
    char folder[MAX_PATH];
    if (!GetParentFolder(folder, path, false, sizeof(folder))) return FALSE;
    return ShellFileOperation(folder, path, FO_COPY, FOF_RENAMEONCOLLISION | FOF_NOERRORUI);
}

// ---- file dialogs -------------------------------------------------------------------

static bool g_file_dialog_open = false;

void SetFileDialogOpen(bool open) { g_file_dialog_open = open; }
bool IsFileDialogOpen() { return g_file_dialog_open; }

typedef BOOL(WINAPI* FileDialogFunc)(OPENFILENAMEA*);

// comdlg32 is loaded for the one call and freed again.
static bool RunFileDialog(const char* function, HWND owner, char* file, const char* title,
                          const char* filter, const char* initial_folder, DWORD flags) {
    tess::ScopedModule library(LoadLibraryA("comdlg32.dll"));
    if (!library) return false;
    auto run = reinterpret_cast<FileDialogFunc>(GetProcAddress(library.get(), function));
    if (!run) return false;
    OPENFILENAMEA ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;   // the original layout, understood by every version
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.nMaxFileTitle = 512;
    ofn.lpstrInitialDir = initial_folder;
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = "";
    ofn.Flags = flags;
    SetFileDialogOpen(true);
    const bool ok = run(&ofn) != FALSE;
    SetFileDialogOpen(false);
    return ok;
}

bool ShowOpenFileDialog(HWND owner, char* file, const char* title, const char* filter,
                        const char* initial_folder, bool must_exist) {
    DWORD flags = OFN_NODEREFERENCELINKS | (must_exist ? OFN_FILEMUSTEXIST : 0);
    return RunFileDialog("GetOpenFileNameA", owner, file, title, filter, initial_folder, flags);
}

bool ShowSaveFileDialog(HWND owner, char* file, const char* title, const char* filter,
                        const char* initial_folder, DWORD flags) {
    if (flags == 0) flags = OFN_OVERWRITEPROMPT;
    return RunFileDialog("GetSaveFileNameA", owner, file, title, filter, initial_folder,
                         flags | OFN_NODEREFERENCELINKS);
}

// ---- windows and icons ------------------------------------------------------------------

LRESULT SendMessageWithTimeout(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT flags,
                               UINT timeout_ms, BOOL* succeeded) {
    DWORD_PTR result = 0;
    LRESULT ok = SendMessageTimeoutA(wnd, msg, wp, lp, flags, timeout_ms, &result);
    if (succeeded) *succeeded = ok != 0;
    return ok ? static_cast<LRESULT>(result) : 0;
}

static HICON IconMessage(HWND wnd, WPARAM which) {
    return reinterpret_cast<HICON>(
        SendMessageWithTimeout(wnd, WM_GETICON, which, 0, SMTO_NORMAL, kGetIconTimeoutMs, nullptr));
}

static HICON ClassIcon(HWND wnd, int index) {
    return reinterpret_cast<HICON>(GetClassLongPtrA(wnd, index));
}

HICON GetWindowBigIcon(HWND wnd) {
    if (HICON i = IconMessage(wnd, ICON_BIG)) return i;
    if (HICON i = ClassIcon(wnd, GCLP_HICON)) return i;
    if (HICON i = IconMessage(wnd, ICON_SMALL)) return i;
    return ClassIcon(wnd, GCLP_HICONSM);
}

HICON GetWindowSmallIcon(HWND wnd) {
    if (HICON i = IconMessage(wnd, ICON_SMALL)) return i;
    if (HICON i = ClassIcon(wnd, GCLP_HICONSM)) return i;
    if (HICON i = IconMessage(wnd, ICON_BIG)) return i;
    return ClassIcon(wnd, GCLP_HICON);
}

HICON DuplicateIcon(HICON icon) {
    if (!icon) return nullptr;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return nullptr;
    tess::ScopedBitmap mask(info.hbmMask), color(info.hbmColor);
    return CreateIconIndirect(&info);
}

typedef UINT(WINAPI* GetWindowModuleFileNameFunc)(HWND, LPSTR, UINT);
typedef BOOL(WINAPI* EnumProcessModulesFunc)(HANDLE, HMODULE*, DWORD, LPDWORD);
typedef DWORD(WINAPI* GetModuleFileNameExFunc)(HANDLE, HMODULE, LPSTR, DWORD);
typedef DWORD(WINAPI* GetModuleBaseNameFunc)(HANDLE, HMODULE, LPSTR, DWORD);

// psapi is bound once and kept for the life of the process.
struct PsapiBinding {
    bool tried = false;
    EnumProcessModulesFunc enum_modules = nullptr;
    GetModuleFileNameExFunc file_name = nullptr;
    GetModuleBaseNameFunc base_name = nullptr;
};

static PsapiBinding& Psapi() {
    static PsapiBinding b;
    if (!b.tried) {
        b.tried = true;
        if (HMODULE lib = LoadLibraryA("psapi.dll")) {
            b.enum_modules = reinterpret_cast<EnumProcessModulesFunc>(GetProcAddress(lib, "EnumProcessModules"));
            b.file_name = reinterpret_cast<GetModuleFileNameExFunc>(GetProcAddress(lib, "GetModuleFileNameExA"));
            b.base_name = reinterpret_cast<GetModuleBaseNameFunc>(GetProcAddress(lib, "GetModuleBaseNameA"));
        }
    }
    return b;
}

static void ProgramPathOn9x(HWND wnd, char* full_path, char* base_name) {
    static GetWindowModuleFileNameFunc get_name = reinterpret_cast<GetWindowModuleFileNameFunc>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "GetWindowModuleFileNameA"));
    if (!get_name) return;
    char path[310] = {0};
    if (!get_name(wnd, path, sizeof(path) - 1)) return;
    if (full_path) tess::CopyText(full_path, MAX_PATH, path);
    if (base_name) GetFileNameOfPath(base_name, path, MAX_PATH);
}

static void ProgramPathOnNt(HWND wnd, char* full_path, char* base_name) {
    PsapiBinding& psapi = Psapi();
    if (!psapi.enum_modules || !psapi.file_name || !psapi.base_name) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (!pid) return;
    tess::ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return;
    HMODULE first = nullptr;
    DWORD needed = 0;
    if (!psapi.enum_modules(process.get(), &first, sizeof(first), &needed) || !first) return;
    char path[MAX_PATH] = {0}, base[MAX_PATH] = {0};
    if (!psapi.base_name(process.get(), first, base, MAX_PATH - 1)) return;
    if (!psapi.file_name(process.get(), first, path, MAX_PATH - 1)) return;
    if (full_path) tess::CopyText(full_path, MAX_PATH, path);
    if (base_name) tess::CopyText(base_name, MAX_PATH, base);
}

void GetWindowProgramPath(HWND wnd, char* full_path, char* base_name) {
    if (full_path) full_path[0] = '\0';
    if (base_name) base_name[0] = '\0';
    if (!wnd) return;
    if (WindowsVersion() <= kWin98) ProgramPathOn9x(wnd, full_path, base_name);
    else ProgramPathOnNt(wnd, full_path, base_name);
}

HWND GetForegroundFocusWindow() {
    HWND fore = GetForegroundWindow();
    if (!fore) return nullptr;
    const DWORD other = GetWindowThreadProcessId(fore, nullptr);
    const DWORD self = GetCurrentThreadId();
    if (other == self) return GetFocus();
    if (!AttachThreadInput(self, other, TRUE)) return nullptr;
    HWND focus = GetFocus();
    AttachThreadInput(self, other, FALSE);
    return focus;
}

void ForceFocusWindow(HWND wnd) {
    const DWORD other = GetWindowThreadProcessId(wnd, nullptr);
    const DWORD self = GetCurrentThreadId();
    const bool attached = other != self && AttachThreadInput(self, other, TRUE);
    SetFocus(wnd);
    SetActiveWindow(wnd);
    if (attached) AttachThreadInput(self, other, FALSE);
}

bool IsWindowOfClass(HWND wnd, const char* class_name) {
    if (!wnd || !class_name || !IsWindow(wnd)) return false;
    char name[256] = {0};
    if (!GetClassNameA(wnd, name, 255)) return false;
    return lstrcmpiA(name, class_name) == 0;
}

int InsertTab(HWND tab_control, const char* text, int index, int image, LPARAM data) {
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | (data ? TCIF_PARAM : 0);
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessageA(tab_control, TCM_INSERTITEMA, index,
                                         reinterpret_cast<LPARAM>(&item)));
}

typedef BOOL(WINAPI* PickIconDlgFunc)(HWND, void*, UINT, int*);

bool ShowPickIconDialog(HWND owner, char* path, UINT path_size, int* icon_index) {
    if (!path || path_size == 0 || !icon_index) return false;
    HMODULE shell = GetModuleHandleA("shell32.dll");
    auto pick = reinterpret_cast<PickIconDlgFunc>(GetProcAddress(shell, MAKEINTRESOURCEA(62)));
    if (!pick) return false;
    if (WindowsVersion() <= kWin98) return pick(owner, path, path_size, icon_index) != FALSE;
    // NT takes the path in wide characters.
    WCHAR wide[MAX_PATH] = {0};
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH - 1);
    if (!pick(owner, wide, MAX_PATH, icon_index)) return false;
    WideCharToMultiByte(CP_ACP, 0, wide, -1, path, static_cast<int>(path_size), nullptr, nullptr);
    path[path_size - 1] = '\0';
    return true;
}

struct ClassBroadcast {
    const char* class_name;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

static BOOL CALLBACK BroadcastProc(HWND wnd, LPARAM lp) {
    auto* b = reinterpret_cast<ClassBroadcast*>(lp);
    if (IsWindowOfClass(wnd, b->class_name)) SendMessageA(wnd, b->msg, b->wp, b->lp);
    return TRUE;
}

void BroadcastToClass(const char* class_name, UINT msg, WPARAM wp, LPARAM lp) {
    ClassBroadcast b{class_name, msg, wp, lp};
    EnumWindows(BroadcastProc, reinterpret_cast<LPARAM>(&b));
}

// ---- rectangles --------------------------------------------------------------------------

bool RectsIntersect(const RECT& a, const RECT& b) {
    RECT r;
    return IntersectRect(&r, &a, &b) != FALSE;
}

bool RectContainsRect(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// ---- registry and INI ----------------------------------------------------------------------

tess::ScopedRegKey OpenRegistryKey(HKEY root, const char* subkey, bool create) {
    tess::ScopedRegKey key;
    if (!subkey) return key;
    LONG result;
    if (create) {
        DWORD disposition = 0;
        result = RegCreateKeyExA(root, subkey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, key.put(), &disposition);
    } else {
        result = RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, key.put());
    }
    // Whatever a failed call left in the handle is not a key to close.
    if (result != ERROR_SUCCESS) key.release();
    return key;
}

BOOL WritePrivateProfileInt(const char* section, const char* key, int value, const char* file) {
    char text[16];
    tess::FormatText(text, sizeof(text), "%d", value);
    return WritePrivateProfileStringA(section, key, text, file);
}

// ---- text and atoms --------------------------------------------------------------------------

bool DoubleAmpersands(char* text, size_t buffer_size) {
    if (!text || buffer_size == 0) return false;
    size_t len = strnlen(text, buffer_size);
    if (len >= buffer_size) { text[buffer_size - 1] = '\0'; len = buffer_size - 1; }
    size_t extra = 0;
    for (size_t i = 0; i < len; ++i) extra += text[i] == '&';
    bool complete = true;
    // Drop characters from the end until the doubled text fits.
    while (len + extra + 1 > buffer_size) {
        complete = false;
        --len;
        if (text[len] == '&') --extra;
    }
    text[len + extra] = '\0';
    for (size_t src = len, dst = len + extra; src > 0;) {
        --src;
        text[--dst] = text[src];
        if (text[src] == '&') text[--dst] = '&';
    }
    return complete;
}

const char* FindTextNoCase(const char* text, const char* part) {
    if (!text || !part) return nullptr;
    const size_t n = strlen(part);
    for (const char* p = text; *p; ++p)
        if (_strnicmp(p, part, n) == 0) return p;
    return n == 0 ? text : nullptr;
}

void DeleteGlobalAtoms(const char* name) {
    // Atoms are reference-counted: delete until none is left (bounded for safety).
    for (int i = 0; i < 0x10000; ++i) {
        ATOM atom = GlobalFindAtomA(name);
        if (!atom) return;
        GlobalDeleteAtom(atom);
    }
}

void SwapInts(int* pair) {
    if (!pair) return;
    int t = pair[0];
    pair[0] = pair[1];
    pair[1] = t;
}
