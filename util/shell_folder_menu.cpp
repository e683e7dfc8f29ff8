// CShellFolderMenu: menus of shell folders, the merged user and common
// Programs folders, submenus filled when first opened.
#include <cctype>
#include <cstring>

#include "util/handles.h"
#include "util/icon_menu.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

struct FolderName {
    const char* name;
    int csidl;   // -1: handled apart
};

const FolderName kFolderNames[] = {
    {"Recycle Bin", CSIDL_BITBUCKET}, {"Programs", -1},      {"QuickLaunch", -1},
    {"Desktop", -1},                  {"Recent", 8},         {"SendTo", 9},
    {"StartMenu", 11},                {"Startup", 7},        {"Templates", 21},
    {"ControlPanel", 3},              {"DesktopFolder", 16}, {"Drives", 17},
    {"MyComputer", 17},               {"Favorites", 6},      {"Fonts", 20},
    {"History", 34},                  {"Printers", 4},       {"Network", 18},
    {"MyDocuments", 5},               {"Network Connections", 49},
    {"MyPictures", 39},
};

constexpr int kNameChars = 500;

// Ids of the context menu asked for the default verb. The range reaches well
// past 200 because some shells number their standard entries high and drop
// those that do not fit, the open command among them.
constexpr UINT kFirstVerbId = 100;
constexpr UINT kLastVerbId = 0x7FFF;   // entry texts compared by name: 499 characters

ShellMenuItem* ItemOf(const IconMenuItemData* data) {
    return data ? static_cast<ShellMenuItem*>(data->payload) : nullptr;
}

void DeleteShellItem(ShellMenuItem* item) {
    if (!item) return;
    if (item->folder) item->folder->Release();
    if (item->merged_folder) item->merged_folder->Release();
    FreePidl(item->relative);
    FreePidl(item->absolute);
    FreePidl(item->merged_relative);
    FreePidl(item->merged_absolute);
    delete item;
}

bool IsFolder(LPCITEMIDLIST absolute) {
    SHFILEINFOA info{};
    info.dwAttributes = SFGAO_FOLDER;
    if (!SHGetFileInfoA(reinterpret_cast<const char*>(absolute), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED))
        return false;
    return (info.dwAttributes & SFGAO_FOLDER) != 0;
}

}  // namespace

CShellFolderMenu::CShellFolderMenu(int first_command_id) : CIconMenu(first_command_id) {
    SetCallbacks(FetchShellItemIcon, FreeShellItemData, CompareShellItems);
}

CShellFolderMenu::~CShellFolderMenu() {
    // The entries point at the folders: free them first.
    FreeMenu(menu_);
    menu_ = nullptr;
    SetPrimaryFolder(nullptr, nullptr);
    SetSecondaryFolder(nullptr, nullptr);
}

void CShellFolderMenu::SetPrimaryFolder(IShellFolder* folder, LPITEMIDLIST absolute) {
    if (primary_) primary_->Release();
    FreePidl(primary_list_);
    primary_ = folder;
    primary_list_ = absolute;
}

void CShellFolderMenu::SetSecondaryFolder(IShellFolder* folder, LPITEMIDLIST absolute) {
    if (secondary_) secondary_->Release();
    FreePidl(secondary_list_);
    secondary_ = folder;
    secondary_list_ = absolute;
}

bool CShellFolderMenu::SetProgramsFolders() {
    LPITEMIDLIST user = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &user)) || !user) return false;
    IShellFolder* user_folder = BindToShellFolder(user);
    if (!user_folder) {
        FreePidl(user);
        return false;
    }
    SetPrimaryFolder(user_folder, user);
    LPITEMIDLIST common = nullptr;
    IShellFolder* common_folder = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_PROGRAMS, &common)) && common)
        common_folder = BindToShellFolder(common);
    if (common_folder) {
        SetSecondaryFolder(common_folder, common);
    } else {
        FreePidl(common);
        SetSecondaryFolder(nullptr, nullptr);
    }
    return true;
}

bool CShellFolderMenu::SetFolder(const char* name) {
    if (!name || !*name) return false;
    int csidl = -2;   // -2: a file-system path
    for (const FolderName& f : kFolderNames)
        if (lstrcmpiA(name, f.name) == 0) csidl = f.csidl;
    LPITEMIDLIST list = nullptr;
    if (csidl >= 0) {
        if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) list = nullptr;
    } else if (lstrcmpiA(name, "Programs") == 0) {
        return SetProgramsFolders();
    } else if (lstrcmpiA(name, "Desktop") == 0) {
        IShellFolder* desktop = nullptr;
        if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return false;
        SetPrimaryFolder(desktop, nullptr);
        return true;
    } else if (lstrcmpiA(name, "QuickLaunch") == 0) {
        char path[MAX_PATH];
        if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE)) return false;
        if (!tess::AppendText(path, "\\Microsoft\\Internet Explorer\\Quick Launch")) return false;
        list = PidlFromPath(path);
    } else {
        list = PidlFromPath(name);
    }
    if (!list) return false;
    IShellFolder* folder = BindToShellFolder(list);
    if (!folder) {
        FreePidl(list);
        return false;
    }
    SetPrimaryFolder(folder, list);
    return true;
}

int CShellFolderMenu::Fill() {
    return FillFromFolders(menu_, primary_, primary_list_, secondary_, secondary_list_);
}

int CShellFolderMenu::FillFromFolders(HMENU menu, IShellFolder* folder1, LPCITEMIDLIST list1,
                                      IShellFolder* folder2, LPCITEMIDLIST list2) {
    if (!menu) return 0;
    int added = 0;
    if (folder1) added += FillFromOneFolder(menu, folder1, list1, false);
    if (folder2) added += FillFromOneFolder(menu, folder2, list2, folder1 != nullptr);
    SortItems(menu, -1, -1);
    return added;
}

int CShellFolderMenu::FillFromOneFolder(HMENU menu, IShellFolder* folder, LPCITEMIDLIST list,
                                        bool merge) {
    tess::ComPtr<IEnumIDList> items;
    if (FAILED(folder->EnumObjects(owner_, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.put())) ||
        !items)
        return 0;
    items->Reset();
    int added = 0;
    LPITEMIDLIST relative = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &relative, &fetched) == S_OK && fetched == 1 && relative) {
        LPITEMIDLIST absolute = list ? ConcatPidls(list, relative) : ClonePidl(relative);
        SHFILEINFOA info{};
        if (!absolute ||
            !SHGetFileInfoA(reinterpret_cast<const char*>(absolute), 0, &info, sizeof(info),
                            SHGFI_PIDL | SHGFI_DISPLAYNAME) ||
            !info.szDisplayName[0]) {
            FreePidl(relative);
            FreePidl(absolute);
            continue;
        }
        bool is_folder = IsFolder(absolute);
        IShellFolder* bound = nullptr;
        if (is_folder &&
            FAILED(folder->BindToObject(relative, nullptr, IID_IShellFolder,
                                        reinterpret_cast<void**>(&bound))))
            bound = nullptr;

        if (merge) {
            // The same name in the second folder joins the entry of the first:
            // folders merge their contents, files appear once.
            ShellMenuItem* existing = FindItemByName(menu, info.szDisplayName, bound != nullptr);
            if (existing && !existing->merged_relative &&
                ((bound && existing->folder) || (!bound && !existing->folder))) {
                existing->merged_folder = bound;
                existing->merged_relative = relative;
                existing->merged_absolute = absolute;
                continue;
            }
        }

        auto* item = new ShellMenuItem{};
        item->parent = folder;
        item->folder = bound;
        item->relative = relative;
        item->absolute = absolute;
        char path[MAX_PATH] = "";
        if (!SHGetPathFromIDListA(absolute, path) || !path[0])
            item->outside_file_system = 1;
        else if (strlen(path) == 3)
            item->drive_letter = path[0];
        IconMenuItemData data{-1, nullptr, bound ? 1 : 0, item};
        if (!AppendItemToMenu(menu, info.szDisplayName, &data)) {
            DeleteShellItem(item);
            continue;
        }
        ++added;
    }
    return added;
}

int CShellFolderMenu::OnInitMenuPopup(HMENU popup) {
    ShellMenuItem* item = ItemOf(FindItemData(menu_, reinterpret_cast<UINT_PTR>(popup), false, true));
    if (!item || item->filled) return 1;
    FillFromFolders(popup, item->folder, item->absolute, item->merged_folder, item->merged_absolute);
    if (GetMenuItemCount(popup) <= 0) AppendMenuA(popup, MF_STRING | MF_GRAYED, 0, "(Empty)");
    item->filled = 1;
    return 1;
}

int CShellFolderMenu::HandleCommand(int id) {
    if (id < first_id_ || id >= first_id_ + counter_) return 0;
    ShellMenuItem* item = ItemOf(FindItemData(menu_, static_cast<UINT>(id), false, false));
    if (!item || !item->parent || !item->relative) return 0;
    return InvokeDefaultVerb(owner_, item->parent, item->relative);
}

HMENU CShellFolderMenu::FindParentMenu(HMENU menu, HMENU popup, int* position) {
    if (!menu) return nullptr;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (!sub) continue;
        if (sub == popup) {
            if (position) *position = i;
            return menu;
        }
        if (HMENU found = FindParentMenu(sub, popup, position)) return found;
    }
    return nullptr;
}

ShellMenuItem* CShellFolderMenu::FindItemByName(HMENU menu, const char* text, bool want_submenu) {
    if (!menu || !text) return nullptr;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if ((GetSubMenu(menu, i) != nullptr) != want_submenu) continue;
        char name[kNameChars] = "";
        GetMenuStringA(menu, i, name, sizeof(name), MF_BYPOSITION);
        if (lstrcmpiA(name, text) == 0) return ItemOf(FindItemData(menu, i, true, false));
    }
    return nullptr;
}

void FetchShellItemIcon(CIconMenu*, IconMenuItemData* data) {
    ShellMenuItem* item = ItemOf(data);
    if (!item || !item->absolute) return;
    SHFILEINFOA info{};
    if (SHGetFileInfoA(reinterpret_cast<const char*>(item->absolute), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE))
        data->image_index = info.iIcon;
    if (data->image_index >= 0 || data->icon) return;
    SHFILEINFOA icon{};
    if (SHGetFileInfoA(reinterpret_cast<const char*>(item->absolute), 0, &icon, sizeof(icon),
                       SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON))
        data->icon = icon.hIcon;
}

void FreeShellItemData(CIconMenu*, IconMenuItemData* data) {
    if (!data) return;
    DeleteShellItem(ItemOf(data));
    data->payload = nullptr;
}

int __cdecl CompareShellItems(const void* a, const void* b) {
    const auto* x = static_cast<const MenuSortEntry*>(a);
    const auto* y = static_cast<const MenuSortEntry*>(b);
    const ShellMenuItem* p = ItemOf(x->data);
    const ShellMenuItem* q = ItemOf(y->data);
    if (p && q) {
        int dp = static_cast<unsigned char>(p->drive_letter);
        int dq = static_cast<unsigned char>(q->drive_letter);
        if (dp && dq && toupper(dp) != toupper(dq)) return toupper(dp) < toupper(dq) ? -1 : 1;
        if (dp != 0 && !dq) return -1;
        if (!dp && dq) return 1;
        if (p->outside_file_system != q->outside_file_system) return p->outside_file_system ? -1 : 1;
    }
    if (x->has_submenu != y->has_submenu) return x->has_submenu ? -1 : 1;
    return lstrcmpiA(x->text, y->text);
}

int InvokeDefaultVerb(HWND owner, IShellFolder* parent, LPCITEMIDLIST relative) {
    if (!parent || !relative) return 0;
    tess::ComPtr<IContextMenu> context;
    LPCITEMIDLIST items[1] = {relative};
    if (FAILED(parent->GetUIObjectOf(owner, 1, items, IID_IContextMenu, nullptr,
                                     context.put_void())) ||
        !context)
        return 0;
    // Ask for the default entry only; some shells then add nothing, so ask
    // for the whole menu before giving up.
    UINT chosen = static_cast<UINT>(-1);
    for (UINT flags : {static_cast<UINT>(CMF_DEFAULTONLY), static_cast<UINT>(CMF_NORMAL)}) {
        tess::ScopedMenu menu(CreatePopupMenu());
        if (!menu) return 0;
        if (FAILED(context->QueryContextMenu(menu.get(), 0, kFirstVerbId, kLastVerbId, flags)))
            continue;
        chosen = GetMenuDefaultItem(menu.get(), FALSE, 0);
        if (chosen != static_cast<UINT>(-1)) break;
    }
    // No default entry gives (UINT)-1: there is then nothing to run.
    if (chosen == static_cast<UINT>(-1) || chosen < kFirstVerbId || chosen > kLastVerbId) return 0;
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof(invoke);
    invoke.hwnd = owner;
    invoke.lpVerb = MAKEINTRESOURCEA(chosen - kFirstVerbId);
    invoke.nShow = SW_SHOWNORMAL;
    return SUCCEEDED(context->InvokeCommand(&invoke)) ? 1 : 0;
}
