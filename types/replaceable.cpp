// Mirrored menus in menu-only mode: the popup section of one menu, its
// entries, and the two process-wide values that link them with the stats
// monitor and the task items.
#include "types/replaceable.h"

#include <cstring>
#include <new>

#include "model/vellum_menu_object.h"
#include "shell/stats_monitor.h"
#include "types/folder_section.h"
#include "util/text.h"

namespace {

int g_system_menu_mode = 0;
constexpr UINT kMenuMessageTimeoutMs = 2000;
constexpr int kSeparatorTextSize = 2;

void SendToOwner(HWND owner, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(owner, msg, wp, lp, 0, kMenuMessageTimeoutMs, &ignored);
}

// The entry's text with backspaces (right-aligned parts) as tabs.
void EntryText(HMENU menu, int position, char* out, size_t size) {
    out[0] = '\0';
    GetMenuStringA(menu, position, out, static_cast<int>(size), MF_BYPOSITION);
    for (char* c = out; *c; ++c)
        if (*c == '\b') *c = '\t';
}

// The item's section follows a menu the monitor captured from Explorer or
// a browser (not a window's own menu bar).
BOOL FollowsCapturedMenu(CVellumMenuSection* section) {
    auto* mirror = dynamic_cast<CVellumMenuSection_Replaceable*>(section);
    CStatsMonitor* monitor = GetStatsMonitor();
    return mirror && !mirror->m_menuOnly && monitor && monitor->m_captured ? TRUE : FALSE;
}

}  // namespace

// ---- process-wide values ------------------------------------------------------------------

void SetSystemMenuPopupMode(int mode) { g_system_menu_mode = mode; }
int GetSystemMenuPopupMode() { return g_system_menu_mode; }

int AddAppMenuWatcher() {
    if (g_system_menu_mode == 0) AddMenuWatcher();
    return GetMenuWatcherCount();
}

void RemoveAppMenuWatcher() {
    if (g_system_menu_mode == 0) RemoveMenuWatcher();
}

// ---- the section ------------------------------------------------------------------------------

CVellumMenuSection_Replaceable::CVellumMenuSection_Replaceable(CVellumMenuObject* bar, int sectionNumber,
                                                               int loadItems, int plain)
    : CVellumMenuSection(bar, sectionNumber, loadItems) {
    std::memset(&m_replaceable, 0, reinterpret_cast<char*>(&m_trimToThree + 1) -
                                       reinterpret_cast<char*>(&m_replaceable));
    if (g_system_menu_mode == 2) {
        g_system_menu_mode = 1;
        m_holdsSystemMenuMode = TRUE;
    }
    if (!plain) m_valid = TRUE;
    SetReplaceable(!plain);
}

CVellumMenuSection_Replaceable::~CVellumMenuSection_Replaceable() {
    if (m_replaceable) {
        RemoveAppMenuWatcher();
        // The own items come back, and go with the section.
        if (m_mirroring) EndMirroring();
    }
    if (m_holdsSystemMenuMode) g_system_menu_mode = 0;
    delete[] m_ownItems;
}

int CVellumMenuSection_Replaceable::SetMirroredMenu(HWND owner, HMENU menu) {
    m_menuOnly = TRUE;
    m_owner = owner;
    m_menu = menu;
    BuildMirroredItems();
    return 1;
}

int CVellumMenuSection_Replaceable::BuildMirroredItems() {
    if (!m_menu || !m_owner || !m_pBar) return 0;
    RemoveItem(-1, 1);
    int count = GetMenuItemCount(m_menu);
    m_entryCount = count;
    // An item per entry up to the section's limit; further entries are not shown.
    if (count > kMaxItems) count = kMaxItems;
    for (int position = 0; position < count; ++position) {
        auto* item = new (std::nothrow) CVellumMenuItem_Replaceable(m_pBar, this);
        if (!item) break;
        item->SetMenuEntry(position, m_menu, m_owner);
        char text[kMirroredTextSize];
        EntryText(m_menu, position, text, sizeof(text));
        item->SetItemTitle(text, 0);
        const UINT state = GetMenuState(m_menu, position, MF_BYPOSITION);
        const bool submenu = GetSubMenu(m_menu, position) != nullptr;
        if (!submenu && state != static_cast<UINT>(-1) && (state & MF_SEPARATOR))
            item->Separator = TRUE;
        else if (state != static_cast<UINT>(-1) && (state & MF_GRAYED))
            item->m_disabled = TRUE;
        item->m_systemCommand = m_systemCommands;
        if (!InsertItem(-1, item)) {
            delete item;
            break;
        }
    }
    if (m_trimToThree && count == 2) {
        auto* separator = new (std::nothrow) CVellumMenuItem_Replaceable(m_pBar, this);
        if (separator) {
            separator->Separator = TRUE;
            separator->m_disabled = TRUE;
            separator->m_position = count;
            if (!InsertItem(-1, separator)) delete separator;
        }
    } else if (m_trimToThree && count == 4) {
        RemoveItem(3, 1);
    }
    return 1;
}

int CVellumMenuSection_Replaceable::RefreshMirroredItems() {
    if (!m_menuOnly || !m_menu) return 0;
    int changed = 0;
    const int count = GetMenuItemCount(m_menu);
    for (int position = 0; position < count && position < kMaxItems; ++position) {
        auto* item = dynamic_cast<CVellumMenuItem_Replaceable*>(m_items[position]);
        if (!item) continue;
        char text[kMirroredTextSize];
        EntryText(m_menu, position, text, sizeof(text));
        if (!item->m_title || lstrcmpiA(item->m_title, text) != 0) {
            item->SetItemTitle(text, 0);
            changed = 1;
        }
        const UINT state = GetMenuState(m_menu, position, MF_BYPOSITION);
        const bool submenu = GetSubMenu(m_menu, position) != nullptr;
        const BOOL separator = !submenu && state != static_cast<UINT>(-1) && (state & MF_SEPARATOR);
        const BOOL disabled = !separator && state != static_cast<UINT>(-1) && (state & MF_GRAYED);
        if (item->Separator != separator || item->m_disabled != disabled) changed = 1;
        item->Separator = separator;
        item->m_disabled = disabled;
        item->m_systemCommand = m_systemCommands;
    }
    return changed;
}

// ---- the entries -------------------------------------------------------------------------------

CVellumMenuItem_Replaceable::CVellumMenuItem_Replaceable(CVellumMenuObject* bar, CVellumMenuSection* section)
    : CVellumMenuItem_Popup(bar, section, -1, 1) {
    m_systemCommand = FALSE;
    m_position = 0;
    m_menu = nullptr;
    m_owner = nullptr;
    m_lastSubmenu = nullptr;
    m_lastSubmenuCount = 0;
    Action = 1;   // "PopupMenu"
}

CVellumMenuItem_Replaceable::~CVellumMenuItem_Replaceable() = default;

void CVellumMenuItem_Replaceable::SetMenuEntry(int position, HMENU menu, HWND owner) {
    m_position = position;
    m_menu = menu;
    m_owner = owner;
}

int CVellumMenuItem_Replaceable::GetPopupDelay() {
    if (m_pBar && m_pBar->m_volatile) return 750;
    return CVellumMenuItem_Popup::GetPopupDelay();
}

int CVellumMenuItem_Replaceable::GetCustomItemName(char* out) {
    if (out) tess::CopyText(out, 27, "ReplaceableItem (Internal)");
    return 1;
}

HMENU CVellumMenuItem_Replaceable::GetPopupMenu() {
    if (!m_menu) return nullptr;
    if (m_position < 0) return m_menu;
    return GetSubMenu(m_menu, m_position);
}

void CVellumMenuItem_Replaceable::SetItemTitle(char* title, int headerLength) {
    m_headerLength = headerLength;
    CVellumMenuItem::SetItemTitle(title, headerLength);
}

void CVellumMenuItem_Replaceable::InitMenu(HMENU submenu) {
    if (!submenu || !m_owner) return;
    SendToOwner(m_owner, WM_ENTERMENULOOP, 0, 0);
    SendToOwner(m_owner, WM_INITMENU, reinterpret_cast<WPARAM>(m_menu), 0);
    SendToOwner(m_owner, WM_MENUSELECT, MF_POPUP << 16, reinterpret_cast<LPARAM>(m_menu));
    SendToOwner(m_owner, WM_INITMENU, reinterpret_cast<WPARAM>(submenu), 0);
    SendToOwner(m_owner, WM_MENUSELECT, MF_POPUP << 16, reinterpret_cast<LPARAM>(submenu));
    SendToOwner(m_owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(submenu),
                MAKELPARAM(static_cast<WORD>(m_position), 0));
}

CVellumMenuSection* CVellumMenuItem_Replaceable::CreatePopupSection(CVellumMenuObject* childBar, int* useMenu) {
    HMENU submenu = GetPopupMenu();
    if (childBar) childBar->m_neverSave = TRUE;
    m_lastSubmenu = submenu;
    m_lastSubmenuCount = submenu ? GetMenuItemCount(submenu) : 0;
    if (!m_owner || !m_menu || !submenu) return CVellumMenuItem_Popup::CreatePopupSection(childBar, useMenu);
    auto* section = new (std::nothrow) CVellumMenuSection_Replaceable(childBar, -1, 0, 0);
    if (!section) return nullptr;
    section->MinItems = 1;
    section->m_systemCommands = m_systemCommand;
    section->m_trimToThree = FollowsCapturedMenu(m_pSection);
    section->SetMirroredMenu(m_owner, submenu);
    if (useMenu) *useMenu = 0;
    if (childBar) childBar->m_hideOnClose = TRUE;
    HideOnClose = TRUE;
    return section;
}

void CVellumMenuItem_Replaceable::UpdateHiddenPopup() {
    HMENU submenu = GetPopupMenu();
    InitMenu(submenu);
    CVellumMenuObject* child = m_childBar;
    if (!child || child->GetSectionCount() < 1) return;
    auto* section = dynamic_cast<CVellumMenuSection_Replaceable*>(child->m_sections[0]);
    if (!section) return;
    const int count = submenu ? GetMenuItemCount(submenu) : 0;
    if (submenu != m_lastSubmenu || count != m_lastSubmenuCount) {
        m_lastSubmenu = submenu;
        m_lastSubmenuCount = count;
        section->SetMirroredMenu(m_owner, submenu);
    } else if (!section->RefreshMirroredItems()) {
        return;
    }
    child->RecalcRects(1, 1);
}

void CVellumMenuItem_Replaceable::OnClick() {
    if (m_disabled || !m_owner || !m_menu) return;
    if (m_position >= 0 && GetSubMenu(m_menu, m_position)) return;
    const UINT id = GetMenuItemID(m_menu, m_position);
    PostMessageA(m_owner, m_systemCommand ? WM_SYSCOMMAND : WM_COMMAND, LOWORD(id), 0);
    SetForegroundWindow(m_owner);
}

// A browser's Favorites menu shows the user's favourites below its own
// entries: a folder section of "Favorites" under the (trimmed) three.
void CVellumMenuItem_Replaceable::PrePopup(CVellumMenuObject* childBar) {
    if (!childBar || !FollowsCapturedMenu(m_pSection) || childBar->GetSectionCount() < 1) return;
    if (childBar->m_sections[0]->GetNumOfItems() != 3) return;
    if (m_pSection->FindItem(this) + 1 >= m_pSection->GetNumOfItems()) return;
    const int slot = childBar->AddSection(const_cast<char*>("Folder"), childBar->GetSectionCount() + 1, 0);
    auto* favorites = slot >= 0 ? dynamic_cast<CVellumMenuSection_Folder*>(childBar->m_sections[slot]) : nullptr;
    if (!favorites) return;
    tess::CopyText(favorites->Title, "Favorites");
    favorites->MinItems = 1;
    favorites->EqualWidths = TRUE;
    favorites->ShowTextByDef = TRUE;
    favorites->HideLinkOverlays = TRUE;
    favorites->PopupVolitle = TRUE;
    favorites->m_popupText = 1;
    favorites->m_entryIconSize = 16;
    favorites->SetFolderByName("Favorites");
    childBar->m_modified = FALSE;
}
