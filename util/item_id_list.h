// Shell item ID lists: allocate, measure, copy, join and split them with the
// shell allocator, and convert between paths, lists, display names and
// IShellFolder objects through the desktop folder. Every list returned here
// is freed with FreePidl; every text with ShellFree.
#pragma once
#include <windows.h>
#include <shlobj.h>

// ---- the shell allocator and raw lists -----------------------------------------
IMalloc* GetShellMalloc();
UINT GetPidlSize(LPCITEMIDLIST pidl);
LPITEMIDLIST AllocPidl(UINT bytes);
int FreePidl(LPCITEMIDLIST pidl);
int ShellFree(void* block);
LPITEMIDLIST ClonePidl(LPCITEMIDLIST pidl);
LPITEMIDLIST ConcatPidls(LPCITEMIDLIST first, LPCITEMIDLIST second);
// As ConcatPidls, and the first list is freed.
LPITEMIDLIST AppendPidl(LPITEMIDLIST first, LPCITEMIDLIST second);
LPITEMIDLIST CloneParentPidl(LPCITEMIDLIST pidl);
int ClonePidlLastItem(LPCITEMIDLIST pidl, LPITEMIDLIST* out);

// ---- paths, folders and names --------------------------------------------------------
LPITEMIDLIST PidlFromPath(const char* path);
LPITEMIDLIST PidlFromPathInFolder(IShellFolder* folder, const char* name);
IShellFolder* BindToShellFolder(LPCITEMIDLIST absolute);
IShellFolder* ShellFolderFromPath(const char* path);
bool GetPidlDisplayName(IShellFolder* folder, LPCITEMIDLIST pidl, DWORD shgdn_flags,
                        char* buffer, size_t buffer_size);
LPITEMIDLIST GetAbsolutePidl(IShellFolder* folder, LPCITEMIDLIST relative);
char* GetPidlName(LPCITEMIDLIST absolute);
char* GetPidlParsingNameInFolder(LPCITEMIDLIST pidl, IShellFolder* folder);
char* GetPidlParsingName(LPCITEMIDLIST absolute);

// ---- further helpers -------------------------------------------------------------------
// Calls visit for each record of an absolute list with the folder that holds
// it, binding into each sub-folder on the way; stops when visit returns false.
// Returns the number of records visited.
typedef bool (*PidlVisitor)(IShellFolder* parent, LPCITEMIDLIST relative, void* context);
int WalkPidl(LPCITEMIDLIST absolute, PidlVisitor visit, void* context);
// True when the desktop's CompareIDs calls the two absolute lists equal.
bool PidlsEqual(LPCITEMIDLIST a, LPCITEMIDLIST b);
// Turns the list into its path and parses the path again; returns the new list
// when it differs from the given one, null otherwise (or without a path).
LPITEMIDLIST RefreshPidlFromPath(LPCITEMIDLIST absolute);
// True when the object the list names still exists.
bool PidlStillExists(LPCITEMIDLIST absolute);

// ---- choosing a folder -------------------------------------------------------------------
// The shell's folder picker, file-system folders only. False (path empty)
// when the user cancels or the choice has no path.
bool BrowseForFileSystemFolder(HWND owner, char* path, size_t path_size);
