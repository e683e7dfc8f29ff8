// Small edits of loaded menus shared by the bar and section context menus.
#include "model/menu_edit.h"

namespace menu_edit {

HMENU LoadFirstPopup(HINSTANCE module, UINT id) {
    HMENU loaded = ::LoadMenuA(module, MAKEINTRESOURCEA(id));
    if (!loaded) return nullptr;
    HMENU first = ::GetSubMenu(loaded, 0);
    if (first) ::RemoveMenu(loaded, 0, MF_BYPOSITION);
    ::DestroyMenu(loaded);
    return first;
}

void Check(HMENU menu, UINT id, BOOL on) {
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void MarkRadio(HMENU menu, std::initializer_list<UINT> group, UINT chosen) {
    for (UINT id : group) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        if (!::GetMenuItemInfoA(menu, id, FALSE, &info)) continue;
        info.fType |= MFT_RADIOCHECK;
        info.fState = (info.fState & ~MFS_CHECKED) | (id == chosen ? MFS_CHECKED : 0);
        ::SetMenuItemInfoA(menu, id, FALSE, &info);
    }
}

HMENU NthSubmenu(HMENU menu, int n) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (sub && n-- == 0) return sub;
    }
    return nullptr;
}

void MakeHeaderEntry(HMENU menu, UINT id) {
    ::ModifyMenuA(menu, id, MF_BYCOMMAND | MF_OWNERDRAW | MF_DISABLED, id, nullptr);
}

bool FindEntry(HMENU menu, UINT id, HMENU* holder, int* position) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (sub) {
            if (FindEntry(sub, id, holder, position)) return true;
        } else if (::GetMenuItemID(menu, i) == id) {
            *holder = menu;
            *position = i;
            return true;
        }
    }
    return false;
}

void DeleteWithSeparatorBefore(HMENU menu, UINT id) {
    HMENU holder = nullptr;
    int position = -1;
    if (!FindEntry(menu, id, &holder, &position)) return;
    ::DeleteMenu(holder, position, MF_BYPOSITION);
    if (position == 0) return;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    if (::GetMenuItemInfoA(holder, position - 1, TRUE, &info) && (info.fType & MFT_SEPARATOR))
        ::DeleteMenu(holder, position - 1, MF_BYPOSITION);
}

int FindSubmenuPosition(HMENU menu, HMENU sub) {
    if (!sub) return -1;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (::GetSubMenu(menu, i) == sub) return i;
    return -1;
}

bool HasEntry(HMENU menu, UINT id) {
    HMENU holder = nullptr;
    int position = -1;
    return FindEntry(menu, id, &holder, &position);
}

}  // namespace menu_edit
