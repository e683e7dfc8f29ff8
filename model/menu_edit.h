// Small edits of loaded menus shared by the bar and section context menus:
// marks, radio groups, finding submenus and taking a menu out of its
// resource.
#pragma once
#include <windows.h>
#include <initializer_list>

namespace menu_edit {

// Popup 0 of menu resource id of the module, taken out of the rest (which
// is destroyed); null when the resource does not load.
HMENU LoadFirstPopup(HINSTANCE module, UINT id);
void Check(HMENU menu, UINT id, BOOL on);
// Marks the chosen entry of the group with a radio mark and clears the
// others; none is marked when chosen is 0.
void MarkRadio(HMENU menu, std::initializer_list<UINT> group, UINT chosen);
// The n-th entry of menu that opens a submenu (0 the first), or null.
HMENU NthSubmenu(HMENU menu, int n);
// The entry becomes an owner-drawn, disabled entry of the same id.
void MakeHeaderEntry(HMENU menu, UINT id);
// Deletes the entry and, when the entry before it is a separator, that too.
void DeleteWithSeparatorBefore(HMENU menu, UINT id);
// The position of the entry whose submenu is sub in menu, or -1.
int FindSubmenuPosition(HMENU menu, HMENU sub);
// The menu holding the entry id (menu itself or one of its submenus, at any
// depth) and the entry's position in it; false when there is none.
bool FindEntry(HMENU menu, UINT id, HMENU* holder, int* position);
// The entry of menu (searched through its submenus) exists.
bool HasEntry(HMENU menu, UINT id);

}  // namespace menu_edit
