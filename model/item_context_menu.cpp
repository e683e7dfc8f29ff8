// The item's part of its bar's context menu: the "Item Options" submenu
// (menu resource 122) grafted in place of the bar menu's entry 40141, with
// its marks set from the item's settings and the entries that do not apply
// taken out; and undoing it when the menu has closed.
#include <initializer_list>
#include "model/item_menu_resources.h"
#include "model/menu_edit.h"
#include "model/menu_header_text.h"
#include "model/resource_module.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace {

using menu_edit::Check;
using menu_edit::MarkRadio;
using menu_edit::NthSubmenu;

// Removes the entry of menu whose submenu holds id.
void DeleteSubmenuHolding(HMENU menu, UINT id) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (sub && ::GetMenuState(sub, id, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
            ::DeleteMenu(menu, i, MF_BYPOSITION);
            return;
        }
    }
}

UINT DisplayKindEntry(const CVellumMenuItem& item) {
    if (item.ShowText) return item.ShowIcon ? IDM_ITEM_ICON_AND_TEXT : IDM_ITEM_TEXT_ONLY;
    if (item.ShowIcon) return IDM_ITEM_ICON_ONLY;
    if (item.DisplayAsBitmap) return IDM_ITEM_BITMAP;
    if (item.Separator) return IDM_ITEM_SEPARATOR;
    return 0;
}

UINT IconSizeEntry(int size) {
    switch (size) {
    case 16: return IDM_ITEM_ICON_16;
    case 32: return IDM_ITEM_ICON_32;
    case 48: return IDM_ITEM_ICON_48;
    case 64: return IDM_ITEM_ICON_64;
    default: return IDM_ITEM_ICON_CUSTOM;
    }
}

// Menu 122 of the module: its first submenu, taken out of the rest.
HMENU LoadItemOptionsMenu(HINSTANCE module) {
    HMENU loaded = ::LoadMenuA(module, MAKEINTRESOURCEA(IDM_ITEM_OPTIONS));
    if (!loaded) return nullptr;
    HMENU options = ::GetSubMenu(loaded, 0);
    if (options) ::RemoveMenu(loaded, 0, MF_BYPOSITION);
    ::DestroyMenu(loaded);
    return options;
}

}  // namespace

HMENU CVellumMenuItem::InitContextMenu(HMENU barMenu) {
    SetItemMenuHeaderText(m_title, 0, 1);
    HINSTANCE module = ResourceModuleOf(m_pBar);
    HMENU options = LoadItemOptionsMenu(module);
    if (!options) return nullptr;
    m_contextSubmenu = options;
    if (barMenu)
        ::ModifyMenuA(barMenu, IDM_BAR_ITEM_OPTIONS, MF_BYCOMMAND | MF_POPUP | MF_STRING,
                      reinterpret_cast<UINT_PTR>(options), "Item Options");

    HMENU appearance = NthSubmenu(options, 0);
    HMENU behavior = NthSubmenu(options, 1);
    ::ModifyMenuA(options, IDM_ITEM_HEADER, MF_BYCOMMAND | MF_OWNERDRAW | MF_DISABLED,
                  IDM_ITEM_HEADER, nullptr);
    if (appearance) MarkAppearance(appearance);
    if (behavior) Check(behavior, IDM_ITEM_RESPOND_TO_WINKEY, RespondToWindowsKey);
    InitCustomContextMenu(barMenu, options);
    return nullptr;
}

void CVellumMenuItem::MarkAppearance(HMENU appearance) {
    MarkRadio(appearance,
              {IDM_ITEM_TEXT_ONLY, IDM_ITEM_ICON_ONLY, IDM_ITEM_ICON_AND_TEXT, IDM_ITEM_BITMAP,
               IDM_ITEM_SEPARATOR},
              DisplayKindEntry(*this));

    if (ShowIcon) {
        Check(appearance, IDM_ITEM_ACTIVE_ICON, UseActiveIcon);
        Check(appearance, IDM_ITEM_ICON_DEFAULT, m_pSection && IconSize == m_pSection->DefaultIconSize);
        MarkRadio(appearance,
                  {IDM_ITEM_ICON_16, IDM_ITEM_ICON_32, IDM_ITEM_ICON_48, IDM_ITEM_ICON_64,
                   IDM_ITEM_ICON_CUSTOM},
                  IconSizeEntry(IconSize));
    } else {
        ::DeleteMenu(appearance, IDM_ITEM_ACTIVE_ICON, MF_BYCOMMAND);
        DeleteSubmenuHolding(appearance, IDM_ITEM_ICON_16);
    }

    if (ShowText)
        Check(appearance, IDM_ITEM_ACTIVE_TEXT, UseActiveText);
    else
        ::DeleteMenu(appearance, IDM_ITEM_ACTIVE_TEXT, MF_BYCOMMAND);

    if (DisplayAsBitmap) {
        Check(appearance, IDM_ITEM_TRANSPARENCY, UseTransparency);
        Check(appearance, IDM_ITEM_SKIN_BEHIND_BITMAP, ShowSkinBehindBitmap);
    } else {
        ::DeleteMenu(appearance, IDM_ITEM_TRANSPARENCY, MF_BYCOMMAND);
        ::DeleteMenu(appearance, IDM_ITEM_SKIN_BEHIND_BITMAP, MF_BYCOMMAND);
    }

    if (Separator)
        Check(appearance, IDM_ITEM_SECTION_ANCHOR, IsSectionAnchor);
    else
        ::DeleteMenu(appearance, IDM_ITEM_SECTION_ANCHOR, MF_BYCOMMAND);
}

void CVellumMenuItem::UnInitContextMenu() {
    SetItemMenuHeaderText(nullptr, 0, 0);
    UnInitCustomContextMenu(nullptr, m_contextSubmenu);
    if (m_contextSubmenu) {
        ::DestroyMenu(m_contextSubmenu);
        m_contextSubmenu = nullptr;
    }
    if (m_pSection) m_pSection->UnInitContextMenu();
    if (m_pBar) m_pBar->UnInitContextMenu();
}
