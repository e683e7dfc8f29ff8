// CVellumMenuItem_Shortcut and the shell: the binding to a shell folder
// menu entry, the shell context menu merged with the item menu, the drag
// data object, the icon, and the folder popup.
#include <shlwapi.h>
#include <cstring>
#include <new>
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "types/folder_section.h"
#include "types/folder_section_calls.h"
#include "types/mfu_list.h"
#include "types/shortcut_internal.h"
#include "types/shortcut_item.h"
#include "util/general_helpers.h"
#include "util/icon_menu.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

constexpr int kItemOptionsCommand = 40141;
constexpr int kBeforeCommand = 40140;

LPITEMIDLIST LastItemOf(LPCITEMIDLIST absolute) {
    LPITEMIDLIST child = nullptr;
    return ClonePidlLastItem(absolute, &child) ? child : nullptr;
}

// An entry before command id in menu, or at its end when id is not there.
void InsertBeforeCommand(HMENU menu, UINT id, UINT flags, UINT_PTR newId, const char* text) {
    if (!InsertMenuA(menu, id, MF_BYCOMMAND | flags, newId, text))
        AppendMenuA(menu, flags, newId, text);
}

// One past the highest command id of the shell's entries (submenus
// included), at least last.
int HighestShellId(HMENU menu, int last) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            last = HighestShellId(sub, last);
            continue;
        }
        const int id = static_cast<int>(GetMenuItemID(menu, i));
        if (id >= kShellMenuFirstId && id <= kShellMenuLastId && id + 1 > last) last = id + 1;
    }
    return last;
}

}  // namespace

// ---- the shell binding ------------------------------------------------------------------------------

void CVellumMenuItem_Shortcut::ReleaseShellBinding() {
    if (m_shellMenu) m_shellMenu->Release();
    m_shellMenu = nullptr;
    m_shellSubmenu = nullptr;
    m_shellPosition = -1;
    m_shellItem = nullptr;
}

int CVellumMenuItem_Shortcut::SetFromShellMenuItem(CShellFolderMenu* menu, HMENU submenu,
                                                   int position) {
    if (m_targetSet || !menu) return 0;
    IconMenuItemData* data = menu->FindItemData(submenu, static_cast<UINT_PTR>(position), true, false);
    ShellMenuItem* entry = data ? static_cast<ShellMenuItem*>(data->payload) : nullptr;
    if (!entry) return -1;
    ReleaseShellBinding();
    m_shellItem = entry;
    m_shellSubmenu = submenu;
    m_shellPosition = position;
    menu->AddRef();
    m_shellMenu = menu;
    IsFolder = data->has_submenu || entry->folder ? TRUE : FALSE;
    char title[MAX_PATH] = "";
    SHFILEINFOA info = {};
    if (entry->absolute &&
        SHGetFileInfoA(reinterpret_cast<const char*>(entry->absolute), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_DISPLAYNAME) &&
        info.szDisplayName[0])
        tess::CopyText(title, info.szDisplayName);
    else
        tess::CopyText(title, m_target);
    SetItemTitle(title, 0);
    m_targetSet = TRUE;
    return 1;
}

// The target's folder and its last item ID (both for the caller).
bool CVellumMenuItem_Shortcut::TargetParentAndChild(IShellFolder** parent, LPITEMIDLIST* child) {
    *parent = nullptr;
    *child = nullptr;
    if (m_shellItem && m_shellItem->parent && m_shellItem->relative) {
        *child = ClonePidl(m_shellItem->relative);
        if (!*child) return false;
        m_shellItem->parent->AddRef();
        *parent = m_shellItem->parent;
        return true;
    }
    LPITEMIDLIST absolute = PidlFromPath(m_target);
    if (!absolute) return false;
    LPITEMIDLIST parent_list = CloneParentPidl(absolute);
    *parent = parent_list ? BindToShellFolder(parent_list) : nullptr;
    if (parent_list) FreePidl(parent_list);
    if (!*parent && FAILED(SHGetDesktopFolder(parent))) *parent = nullptr;
    *child = LastItemOf(absolute);
    FreePidl(absolute);
    if (*parent && *child) return true;
    if (*parent) (*parent)->Release();
    if (*child) FreePidl(*child);
    *parent = nullptr;
    *child = nullptr;
    return false;
}

IContextMenu* CVellumMenuItem_Shortcut::GetShellContextMenu(HWND owner) {
    IShellFolder* parent = nullptr;
    LPITEMIDLIST child = nullptr;
    if (!TargetParentAndChild(&parent, &child)) return nullptr;
    IContextMenu* menu = nullptr;
    LPCITEMIDLIST items[1] = {child};
    if (FAILED(parent->GetUIObjectOf(owner, 1, items, IID_IContextMenu, nullptr,
                                     reinterpret_cast<void**>(&menu))))
        menu = nullptr;
    FreePidl(child);
    parent->Release();
    return menu;
}

void CVellumMenuItem_Shortcut::ReleaseContextMenu() {
    if (m_contextMenu) m_contextMenu->Release();
    m_contextMenu = nullptr;
    m_firstShellId = m_lastShellId = 0;
}

// ---- the context menu ----------------------------------------------------------------------------------

HMENU CVellumMenuItem_Shortcut::InitContextMenu(HMENU barMenu) {
    HMENU result = CVellumMenuItem_Popup::InitContextMenu(barMenu);
    if (m_inFolderSection && barMenu) DeleteMenu(barMenu, kItemOptionsCommand, MF_BYCOMMAND);
    return result;
}

HMENU CVellumMenuItem_Shortcut::InitCustomContextMenu(HMENU, HMENU itemMenu) {
    ReleaseContextMenu();
    HWND owner = m_pBar ? m_pBar->m_hMainWindow : nullptr;
    m_contextMenu = GetShellContextMenu(owner);
    if (!m_contextMenu) return nullptr;
    HMENU menu = CreatePopupMenu();
    if (!menu) {
        ReleaseContextMenu();
        return nullptr;
    }
    UINT flags = CMF_NORMAL;
    if (GetKeyState(VK_SHIFT) < 0) flags |= CMF_EXTENDEDVERBS;
    HRESULT hr = m_contextMenu->QueryContextMenu(menu, 0, kShellMenuFirstId, kShellMenuLastId, flags);
    m_firstShellId = kShellMenuFirstId;
    m_lastShellId = kShellMenuFirstId + (SUCCEEDED(hr) ? HRESULT_CODE(hr) : 0);
    // Some shells (Wine's) answer a count below the ids they gave: the range
    // reaches the highest id in the menu.
    m_lastShellId = HighestShellId(menu, m_lastShellId);
    // The item's own menu goes in as "Tessellar..." before the shell's last two entries.
    int count = GetMenuItemCount(menu);
    int at = count >= 2 ? count - 2 : 0;
    InsertMenuA(menu, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    if (itemMenu)
        InsertMenuA(menu, at + 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(itemMenu),
                    "Tessellar...");
    if (itemMenu) {
        if (m_inFolderSection) {
            InsertMenuA(itemMenu, 0, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED,
                        kShortcutFolderHeaderId, "Shortcut Item");
            FolderSectionFacts facts = {};
            if (GetFolderSectionFacts(m_pSection, &facts) && (facts.usesRecentList || facts.usesPinnedList))
                InsertBeforeCommand(itemMenu, kBeforeCommand, MF_STRING, kShortcutRemoveFromListId,
                                    "Remove item &from This List");
        } else {
            InsertMenuA(itemMenu, 0, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED, kShortcutHeaderId,
                        "Shortcut Item");
            InsertBeforeCommand(itemMenu, kBeforeCommand, MF_STRING, kShortcutRemoveShortcutId,
                                "Remove this shortcut");
            InsertBeforeCommand(itemMenu, kBeforeCommand, MF_SEPARATOR, 0, nullptr);
        }
    }
    return menu;
}

void CVellumMenuItem_Shortcut::UnInitCustomContextMenu(HMENU, HMENU) { ReleaseContextMenu(); }

int CVellumMenuItem_Shortcut::DoCustomContextMenuCommand(int id) {
    if (!m_contextMenu) return 0;
    const ShortcutMessages& m = GetShortcutMessages();
    if (id == kShortcutRemoveFromListId) {
        if (m_recordsRecent && GetMFUList()) {
            GetMFUList()->Remove(m_target);
            PostToMainWindow(m.RecentProgsUpdated, 0, 0);
        }
        return 1;
    }
    if (id == kShortcutRemoveShortcutId) {
        PostToMainWindow(m.RemoveItemDelay, reinterpret_cast<WPARAM>(this), 0);
        return 1;
    }
    if (id >= m_firstShellId && id < m_lastShellId && m_pBar && m_pBar->m_hMainWindow) {
        // The main window runs the verb once the menu is gone; it trusts only
        // a menu this program registered, and one that never arrives is given back.
        IContextMenu* menu = m_contextMenu;
        menu->AddRef();
        RegisterOwnedRecord(menu);
        if (!::PostMessageA(m_pBar->m_hMainWindow, m.InvokeShortcutCommand,
                            reinterpret_cast<WPARAM>(menu), id - m_firstShellId)) {
            UnregisterOwnedRecord(menu);
            menu->Release();
        }
        return 1;
    }
    return 0;
}

// ---- drag and drop -----------------------------------------------------------------------------------

IDataObject* CVellumMenuItem_Shortcut::GetDragDropDataObject(DWORD* effects) {
    if (effects)
        *effects = m_inFolderSection ? DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK
                                     : DROPEFFECT_COPY | DROPEFFECT_LINK;
    IShellFolder* parent = nullptr;
    LPITEMIDLIST child = nullptr;
    if (!TargetParentAndChild(&parent, &child)) return nullptr;
    IDataObject* data = nullptr;
    LPCITEMIDLIST items[1] = {child};
    HWND owner = m_pBar ? m_pBar->m_hMainWindow : nullptr;
    if (FAILED(parent->GetUIObjectOf(owner, 1, items, IID_IDataObject, nullptr,
                                     reinterpret_cast<void**>(&data))))
        data = nullptr;
    FreePidl(child);
    parent->Release();
    return data;
}

void CVellumMenuItem_Shortcut::DragDrop_Dropped(DWORD) {
    if (!m_inFolderSection) return;
    // The file was moved away: the entry goes.
    IDataObject* data = GetDragDropDataObject(nullptr);
    if (data) {
        data->Release();
        return;
    }
    PostToMainWindow(GetShortcutMessages().RemoveItemDelay, reinterpret_cast<WPARAM>(this), 0);
}

int CVellumMenuItem_Shortcut::TryNoAltDrag() {
    if (m_inFolderSection) return 1;
    if (IsFolder && !m_childBar) return 0;
    return CVellumMenuItem_Popup::TryNoAltDrag();
}

// ---- the icon -------------------------------------------------------------------------------------------

HICON CVellumMenuItem_Shortcut::ShellIconOfPidl(LPCITEMIDLIST pidl, bool small, bool indexMode) {
    if (!pidl) return nullptr;
    for (bool size_small : {small, !small}) {
        SHFILEINFOA info = {};
        UINT flags = SHGFI_PIDL | SHGFI_SHELLICONSIZE | (size_small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
        flags |= indexMode ? SHGFI_SYSICONINDEX : SHGFI_ICON;
        DWORD_PTR result = SHGetFileInfoA(reinterpret_cast<const char*>(pidl), 0, &info, sizeof(info), flags);
        if (indexMode && result) {
            HIMAGELIST images = reinterpret_cast<HIMAGELIST>(result);
            return ImageList_GetIcon(images, info.iIcon, ILD_TRANSPARENT);
        }
        if (!indexMode && info.hIcon) return info.hIcon;
    }
    return nullptr;
}

HICON CVellumMenuItem_Shortcut::IconCallback(int) {
    if (m_icon1) return m_icon1.get();
    const bool small = IconSize == 16;
    const bool index_mode = m_noOverlay != FALSE;
    if (m_shellItem) return ShellIconOfPidl(m_shellItem->absolute, small, index_mode);
    HICON icon = nullptr;
    if (LPITEMIDLIST list = PidlFromPath(m_target)) {
        icon = ShellIconOfPidl(list, small, index_mode);
        FreePidl(list);
    }
    if (!icon && m_target[0]) {
        CShellFolderMenu* folder = new (std::nothrow) CShellFolderMenu(1);
        if (folder) {
            if (folder->SetFolder(m_target)) icon = ShellIconOfPidl(folder->GetPrimaryList(), small, index_mode);
            folder->Release();
        }
    }
    if (icon || index_mode) return icon;
    char path[kShortcutTargetSize];
    tess::CopyText(path, m_target);
    ExpandEnvironmentInPlace(path, sizeof(path));
    char parameters[kShortcutParametersSize];
    SplitCommandLine(path, sizeof(path), parameters, sizeof(parameters));
    PathUnquoteSpacesA(path);
    auto icon_of_path = [&](const char* p) -> HICON {
        for (bool size_small : {small, !small}) {
            SHFILEINFOA info = {};
            if (SHGetFileInfoA(p, 0, &info, sizeof(info),
                               SHGFI_ICON | SHGFI_SHELLICONSIZE |
                                   (size_small ? SHGFI_SMALLICON : SHGFI_LARGEICON)) &&
                info.hIcon)
                return info.hIcon;
        }
        return nullptr;
    };
    icon = icon_of_path(path);
    if (!icon) {
        char found[MAX_PATH] = "";
        if (SearchPathA(nullptr, path, nullptr, sizeof(found), found, nullptr)) icon = icon_of_path(found);
    }
    return icon;
}

// ---- the folder popup -----------------------------------------------------------------------------------

int CVellumMenuItem_Shortcut::TrackPopupMenu(int byHover) {
    if (m_expander) {
        if (m_pBar && m_pBar->m_hWnd)
            ::PostMessageA(m_pBar->m_hWnd, GetShortcutMessages().ExpandPersonalizedDelay,
                           reinterpret_cast<WPARAM>(m_pSection), 0);
        return 1;
    }
    if (!IsFolder || !UsePopup || !m_pBar) return 0;
    if (m_childBar) {
        if (!IsPopupOpenGuardOver()) return 1;
        FolderSectionFacts facts = {};
        bool volatile_folder_popup = m_inFolderSection && GetFolderSectionFacts(m_pSection, &facts) &&
                                     facts.volatilePopup;
        if (volatile_folder_popup && IsLiveBar(m_childBar) && m_childBar->m_hWnd)
            ::SetForegroundWindow(m_childBar->m_hWnd);
        else
            ClosePopupBar();
        return 1;
    }
    OpenFolderPopup(byHover);
    if (m_pBar->m_hWnd)
        ::PostMessageA(m_pBar->m_hWnd, GetShortcutMessages().StopPopupForcedDelay, 0, 0);
    return 1;
}

// The submenu of the entry this item is bound to, filled once from the
// entry's folders ("(Empty)" when they hold nothing).
static HMENU FilledEntrySubmenu(CShellFolderMenu* menu, HMENU parent, int position, ShellMenuItem* entry) {
    HMENU submenu = parent && position >= 0 ? GetSubMenu(parent, position) : nullptr;
    if (!submenu || !entry) return nullptr;
    if (!entry->filled) {
        menu->FillFromFolders(submenu, entry->folder, entry->absolute, entry->merged_folder,
                              entry->merged_absolute);
        if (GetMenuItemCount(submenu) <= 0) AppendMenuA(submenu, MF_STRING | MF_GRAYED, 0, "(Empty)");
        entry->filled = 1;
    }
    return submenu;
}

// The skin a folder section names for its popups, relative to the bar's
// file when not absolute; false when none is named or the file is missing
// (the caller then takes the companion skin).
static bool TakeFolderPopupSkin(CVellumMenuObject* child, CVellumMenuObject* bar, char* named) {
    if (!named || !named[0]) return false;
    char path[MAX_PATH] = "";
    if (!bar->MakePathAbsolute(named, path, nullptr) || !FileExists(path)) return false;
    if (!tess::CopyText(child->m_pendingSkinPath, path)) return false;
    return child->ReloadSkin(0) != 0;
}

bool CVellumMenuItem_Shortcut::OpenFolderPopup(int byHover) {
    FolderSectionFacts facts = {};
    const bool in_folder = m_inFolderSection && GetFolderSectionFacts(m_pSection, &facts);
    CShellFolderMenu* menu = nullptr;
    HMENU submenu = nullptr;
    int personalized = m_personalizedMenus;
    BOOL popup_volatile = FALSE;
    const bool section_entry = in_folder && m_shellMenu && m_shellItem;
    if (section_entry) {
        // An entry of a folder section: the next level of the section's menu.
        if (m_pBar->m_hWnd) ::SetForegroundWindow(m_pBar->m_hWnd);
        submenu = FilledEntrySubmenu(m_shellMenu, m_shellSubmenu, m_shellPosition, m_shellItem);
        if (!submenu) return false;
        menu = m_shellMenu;
        menu->AddRef();
        personalized = facts.personalized;
        Volitle = facts.volatilePopup;
        popup_volatile = facts.volatilePopup;
    } else {
        menu = new (std::nothrow) CShellFolderMenu(1);
        if (!menu) return false;
        if (menu->SetFolder(m_target) && menu->Fill()) submenu = menu->GetMenu();
    }
    bool shown = false;
    if (submenu) {
        CVellumMenuObject* child = NewChildBar();
        CVellumMenuSection* section =
            child ? CreateFolderPopupSection(child, menu, submenu, personalized) : nullptr;
        if (child && section) {
            child->m_internalBar = TRUE;
            child->m_neverSave = TRUE;
            // An entry's popup wears the section's popup skin; an own target's
            // popup, and an entry whose skin is missing, the companion skin.
            if (!(section_entry && TakeFolderPopupSkin(child, m_pBar, facts.alternateSkin)) && m_pBar->m_skin) {
                if (SkinRecord* companion = GetCompanionSkin(m_pBar->m_skin, kCompanionPopup)) {
                    tess::CopyText(child->m_pendingSkinPath, companion->path);
                    child->ReloadSkin(0);
                    ReleaseSkin(companion);
                }
            }
            section->MinItems = 1;
            section->EqualWidths = TRUE;
            section->ShowTextByDef = PopupText;
            section->ShowIconsByDef = PopupIconSize > 0;
            section->DefaultIconSize = PopupIconSize;
            if (m_title) tess::CopyText(section->Title, m_title);
            if (auto* folder = dynamic_cast<CVellumMenuSection_Folder*>(section)) {
                folder->PopupVolitle = popup_volatile;
                if (HideLinkOverlaysFromPopup || m_noOverlay) {
                    folder->HideLinkOverlays = TRUE;
                    for (int i = 0; i < kMaxItems && folder->m_items[i]; ++i)
                        if (auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(folder->m_items[i]))
                            entry->m_noOverlay = TRUE;
                }
                folder->SetFolderItemIconSize(PopupIconSize);
            }
            child->InsertSection(0, section);
            if (m_title) child->SetTitle(m_title);
            m_childBar = child;
            if (byHover && child->m_hWnd) SetJustOpenedPopup(child->m_hWnd);
            ShowPopupBar(popup_volatile);
            shown = true;
        } else if (child) {
            // Nothing to show in it yet: the bar goes again.
            child->m_owningPopupItem = nullptr;
            child->Release();
        }
    }
    menu->Release();
    return shown;
}
