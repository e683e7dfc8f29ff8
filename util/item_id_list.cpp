#include "util/item_id_list.h"

#include <cstring>

#include "util/handles.h"
#include "util/text.h"

namespace {

// One allocator for the life of the process, taken at its first use (taking
// it loads the shell, which a start does not need before its first bar) and
// released at exit.
struct ShellAllocator {
    IMalloc* malloc = nullptr;
    ~ShellAllocator() {
        if (malloc) malloc->Release();
    }
};

ShellAllocator g_shell_allocator;

const SHITEMID* NextRecord(const SHITEMID* id) {
    return reinterpret_cast<const SHITEMID*>(reinterpret_cast<const BYTE*>(id) + id->cb);
}

// Bytes of the list without its terminator.
UINT PidlBodySize(LPCITEMIDLIST pidl) {
    UINT size = GetPidlSize(pidl);
    return size >= 2 ? size - 2 : 0;
}

bool DesktopFolder(tess::ComPtr<IShellFolder>& out) {
    return SUCCEEDED(SHGetDesktopFolder(out.put())) && out;
}

bool StrRetToText(STRRET& ret, LPCITEMIDLIST pidl, char* buffer, size_t buffer_size) {
    switch (ret.uType) {
    case STRRET_WSTR: {
        int n = WideCharToMultiByte(CP_ACP, 0, ret.pOleStr, -1, buffer,
                                    static_cast<int>(buffer_size), nullptr, nullptr);
        if (n == 0) {
            // Too long for the buffer: keep what fits, terminated.
            buffer[buffer_size - 1] = '\0';
        }
        ShellFree(ret.pOleStr);
        return true;
    }
    case STRRET_OFFSET:
        tess::CopyText(buffer, buffer_size,
                       reinterpret_cast<const char*>(pidl) + ret.uOffset);
        return true;
    case STRRET_CSTR:
        tess::CopyText(buffer, buffer_size, ret.cStr);
        return true;
    default:
        return false;
    }
}

char* ShellCopyText(const char* text) {
    IMalloc* m = GetShellMalloc();
    if (!m) return nullptr;
    size_t len = strlen(text) + 1;
    char* copy = static_cast<char*>(m->Alloc(len));
    if (copy) memcpy(copy, text, len);
    return copy;
}

}  // namespace

IMalloc* GetShellMalloc() {
    if (!g_shell_allocator.malloc) SHGetMalloc(&g_shell_allocator.malloc);
    return g_shell_allocator.malloc;
}

UINT GetPidlSize(LPCITEMIDLIST pidl) {
    if (!pidl) return 0;
    UINT size = 0;
    for (const SHITEMID* id = &pidl->mkid; id->cb; id = NextRecord(id)) size += id->cb;
    return size + 2;
}

LPITEMIDLIST AllocPidl(UINT bytes) {
    IMalloc* m = GetShellMalloc();
    if (!m) return nullptr;
    void* block = m->Alloc(bytes);
    if (block) memset(block, 0, bytes);
    return static_cast<LPITEMIDLIST>(block);
}

int FreePidl(LPCITEMIDLIST pidl) {
    if (!pidl) return 0;
    IMalloc* m = GetShellMalloc();
    if (!m) return 0;
    m->Free(const_cast<LPITEMIDLIST>(pidl));
    return 1;
}

int ShellFree(void* block) {
    if (!block) return 0;
    IMalloc* m = GetShellMalloc();
    if (!m) return 0;
    m->Free(block);
    return 1;
}

LPITEMIDLIST ClonePidl(LPCITEMIDLIST pidl) {
    if (!pidl) return nullptr;
    UINT size = GetPidlSize(pidl);
    LPITEMIDLIST copy = AllocPidl(size);
    if (copy) memcpy(copy, pidl, size);
    return copy;
}

LPITEMIDLIST ConcatPidls(LPCITEMIDLIST first, LPCITEMIDLIST second) {
    if (!second) return ClonePidl(first);
    UINT size1 = PidlBodySize(first);
    UINT size2 = GetPidlSize(second);
    LPITEMIDLIST joined = AllocPidl(size1 + size2);
    if (!joined) return nullptr;
    if (size1) memcpy(joined, first, size1);
    memcpy(reinterpret_cast<BYTE*>(joined) + size1, second, size2);
    return joined;
}

LPITEMIDLIST AppendPidl(LPITEMIDLIST first, LPCITEMIDLIST second) {
    LPITEMIDLIST joined = ConcatPidls(first, second);
    FreePidl(first);
    return joined;
}

LPITEMIDLIST CloneParentPidl(LPCITEMIDLIST pidl) {
    if (!pidl) return nullptr;
    const SHITEMID* last = nullptr;
    for (const SHITEMID* id = &pidl->mkid; id->cb; id = NextRecord(id)) last = id;
    if (!last) return ClonePidl(pidl);
    UINT body = static_cast<UINT>(reinterpret_cast<const BYTE*>(last) -
                                  reinterpret_cast<const BYTE*>(pidl));
    LPITEMIDLIST parent = AllocPidl(body + 2);
    if (parent) memcpy(parent, pidl, body);
    return parent;
}

int ClonePidlLastItem(LPCITEMIDLIST pidl, LPITEMIDLIST* out) {
    if (!out) return 0;
    *out = nullptr;
    if (!pidl) return 0;
    const SHITEMID* last = nullptr;
    for (const SHITEMID* id = &pidl->mkid; id->cb; id = NextRecord(id)) last = id;
    if (!last) {
        *out = AllocPidl(2);
        return *out ? 1 : 0;
    }
    *out = AllocPidl(last->cb + 2);
    if (!*out) return 0;
    memcpy(*out, last, last->cb);
    return 1;
}

LPITEMIDLIST PidlFromPathInFolder(IShellFolder* folder, const char* name) {
    if (!folder || !name) return nullptr;
    WCHAR wide[520];
    if (!MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, name, -1, wide, 520)) return nullptr;
    LPITEMIDLIST pidl = nullptr;
    ULONG eaten = 0;
    if (FAILED(folder->ParseDisplayName(nullptr, nullptr, wide, &eaten, &pidl, nullptr)))
        return nullptr;
    return pidl;
}

LPITEMIDLIST PidlFromPath(const char* path) {
    tess::ComPtr<IShellFolder> desktop;
    if (!DesktopFolder(desktop)) return nullptr;
    return PidlFromPathInFolder(desktop.get(), path);
}

IShellFolder* BindToShellFolder(LPCITEMIDLIST absolute) {
    if (!absolute) return nullptr;
    tess::ComPtr<IShellFolder> desktop;
    if (!DesktopFolder(desktop)) return nullptr;
    IShellFolder* folder = nullptr;
    if (!absolute->mkid.cb) {
        // The empty list names the desktop itself.
        return desktop.detach();
    }
    if (FAILED(desktop->BindToObject(absolute, nullptr, IID_IShellFolder,
                                     reinterpret_cast<void**>(&folder))))
        return nullptr;
    return folder;
}

IShellFolder* ShellFolderFromPath(const char* path) {
    LPITEMIDLIST pidl = PidlFromPath(path);
    if (!pidl) return nullptr;
    IShellFolder* folder = BindToShellFolder(pidl);
    FreePidl(pidl);
    return folder;
}

bool GetPidlDisplayName(IShellFolder* folder, LPCITEMIDLIST pidl, DWORD shgdn_flags,
                        char* buffer, size_t buffer_size) {
    if (!buffer || buffer_size == 0) return false;
    buffer[0] = '\0';
    if (!pidl) return false;
    tess::ComPtr<IShellFolder> desktop;
    if (!folder) {
        if (!DesktopFolder(desktop)) return false;
        folder = desktop.get();
    }
    STRRET ret{};
    if (FAILED(folder->GetDisplayNameOf(pidl, shgdn_flags, &ret))) return false;
    return StrRetToText(ret, pidl, buffer, buffer_size);
}

LPITEMIDLIST GetAbsolutePidl(IShellFolder* folder, LPCITEMIDLIST relative) {
    char name[MAX_PATH];
    if (!GetPidlDisplayName(folder, relative, SHGDN_FORPARSING, name, sizeof(name)))
        return nullptr;
    return PidlFromPath(name);
}

char* GetPidlParsingNameInFolder(LPCITEMIDLIST pidl, IShellFolder* folder) {
    char name[1024];
    if (!GetPidlDisplayName(folder, pidl, SHGDN_FORPARSING, name, sizeof(name))) return nullptr;
    return ShellCopyText(name);
}

char* GetPidlParsingName(LPCITEMIDLIST absolute) {
    return GetPidlParsingNameInFolder(absolute, nullptr);
}

char* GetPidlName(LPCITEMIDLIST absolute) {
    char name[1024];
    if (!GetPidlDisplayName(nullptr, absolute, SHGDN_NORMAL, name, sizeof(name))) return nullptr;
    return ShellCopyText(name);
}

int WalkPidl(LPCITEMIDLIST absolute, PidlVisitor visit, void* context) {
    if (!absolute || !visit) return 0;
    tess::ComPtr<IShellFolder> folder;
    if (!DesktopFolder(folder)) return 0;
    int visited = 0;
    for (const SHITEMID* id = &absolute->mkid; id->cb; id = NextRecord(id)) {
        LPITEMIDLIST record = AllocPidl(id->cb + 2);
        if (!record) break;
        memcpy(record, id, id->cb);
        ++visited;
        bool go_on = visit(folder.get(), record, context);
        tess::ComPtr<IShellFolder> child;
        bool bound = go_on && NextRecord(id)->cb &&
                     SUCCEEDED(folder->BindToObject(record, nullptr, IID_IShellFolder,
                                                    child.put_void()));
        FreePidl(record);
        if (!bound) break;
        folder.reset();
        *folder.put() = child.detach();
    }
    return visited;
}

bool PidlsEqual(LPCITEMIDLIST a, LPCITEMIDLIST b) {
    if (!a || !b) return false;
    tess::ComPtr<IShellFolder> desktop;
    if (!DesktopFolder(desktop)) return false;
    HRESULT hr = desktop->CompareIDs(0, a, b);
    return SUCCEEDED(hr) && HRESULT_CODE(hr) == 0;
}

LPITEMIDLIST RefreshPidlFromPath(LPCITEMIDLIST absolute) {
    char path[MAX_PATH];
    if (!absolute || !SHGetPathFromIDListA(absolute, path)) return nullptr;
    LPITEMIDLIST fresh = PidlFromPath(path);
    if (!fresh) return nullptr;
    if (GetPidlSize(fresh) == GetPidlSize(absolute) &&
        memcmp(fresh, absolute, GetPidlSize(fresh)) == 0) {
        FreePidl(fresh);
        return nullptr;
    }
    return fresh;
}

bool PidlStillExists(LPCITEMIDLIST absolute) {
    if (!absolute || !absolute->mkid.cb) return absolute != nullptr;
    LPITEMIDLIST parent = CloneParentPidl(absolute);
    LPITEMIDLIST last = nullptr;
    ClonePidlLastItem(absolute, &last);
    bool exists = false;
    if (parent && last) {
        tess::ComPtr<IShellFolder> folder;
        *folder.put() = BindToShellFolder(parent);
        if (folder) {
            SFGAOF attributes = SFGAO_VALIDATE;
            LPCITEMIDLIST items[1] = {last};
            exists = SUCCEEDED(folder->GetAttributesOf(1, items, &attributes));
        }
    }
    FreePidl(parent);
    FreePidl(last);
    // Not every shell checks SFGAO_VALIDATE; a file-system item must also
    // still be on disk.
    char path[MAX_PATH];
    if (exists && SHGetPathFromIDListA(absolute, path) && path[0])
        exists = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    return exists;
}

// ---- choosing a folder -------------------------------------------------------------------

bool BrowseForFileSystemFolder(HWND owner, char* path, size_t path_size) {
    if (!path || !path_size) return false;
    path[0] = '\0';
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
    if (!chosen) return false;
    char found[MAX_PATH] = "";
    const bool has_path = ::SHGetPathFromIDListA(chosen, found) != FALSE;
    FreePidl(chosen);
    return has_path && tess::CopyText(path, path_size, found);
}
