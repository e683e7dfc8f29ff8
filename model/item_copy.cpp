// Copies of items: Copy gives another item this item's settings (used when
// an item is duplicated and when it is replaced by an item of another
// class), and Duplicate makes a default item from this one.
#include <windows.h>
#include "model/section_factory.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/text.h"

namespace {

// A new popup menu with copies of the entries of menu: separators, and text
// entries with their command ids.
HMENU CopyPopupMenuEntries(HMENU menu) {
    HMENU copy = ::CreatePopupMenu();
    if (!copy || !menu) return copy;
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
        if (state != static_cast<UINT>(-1) && (state & MF_SEPARATOR)) {
            ::AppendMenuA(copy, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char text[kPopupMenuEntryTextSize] = "";
        ::GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        ::AppendMenuA(copy, MF_STRING, ::GetMenuItemID(menu, i), text);
    }
    return copy;
}

}  // namespace

int CVellumMenuItem::Copy(CVellumMenuItem* target, int keepAction) {
    if (!target) return 0;
    if (target == this) return 1;
    CopyDisplaySettingsTo(target);

    if (target->m_popupMenu) ::DestroyMenu(target->m_popupMenu);
    target->m_popupMenu = CopyPopupMenuEntries(m_popupMenu);

    target->Separator = Separator;
    target->m_disabled = m_disabled;
    if (!keepAction) {
        target->Action = Action;
        target->ActionClass = ActionClass;
    }
    target->m_itemRect = m_itemRect;
    target->SetItemTitle(m_title, 0);
    target->m_valid = m_valid;

    // Each state's bitmap is loaded again, so that each item owns its own.
    target->RemoveCustomState(nullptr);
    for (int i = 0; i < m_customStates.count && i < kMaxCustomStates; ++i)
        target->AddCustomState(m_customStates.names[i], m_customStates.paths[i]);

    target->RefreshBitmaps();
    target->RefreshIcon();
    return 1;
}

void CVellumMenuItem::CopyDisplaySettingsTo(CVellumMenuItem* target) const {
    target->TextOnlyAlign = TextOnlyAlign;
    target->BitmapAlign = BitmapAlign;
    target->m_imageList = m_imageList;
    target->m_imageIndex = m_imageIndex;
    target->IsSectionAnchor = IsSectionAnchor;
    target->m_tooltipNeeded = m_tooltipNeeded;
    target->DisplayAsBitmap = DisplayAsBitmap;
    target->UseTransparency = UseTransparency;
    target->ShowSkinBehindBitmap = ShowSkinBehindBitmap;
    target->PathRelativeToSkin = PathRelativeToSkin;
    target->SetBitmapPath(1, NormalBitmap);
    target->SetBitmapPath(2, MouseoverBitmap);
    target->SetBitmapPath(3, SelectedBitmap);
    target->m_bitmapInfo = BITMAP{};
    target->m_arrowItem = m_arrowItem;
    target->IconSize = IconSize;
    target->SetIconPath(1, Icon);
    target->SetIconPath(2, Icon2);
    target->IconIndex = IconIndex;
    target->IconIndex2 = IconIndex2;
    target->m_parentItemNumber = m_parentItemNumber;
    target->m_iconOnDemand = m_iconOnDemand;
    target->m_iconAsked = m_iconAsked;
    target->m_lastPage = m_lastPage;
    target->m_blank = m_blank;
    target->m_textAlignment = m_textAlignment;
    target->m_iconBesideText = m_iconBesideText;
    target->ReplaceIcons();   // the target loads its own icons below
    target->m_typeWord = m_typeWord;
    target->m_skinSlot = m_skinSlot;
    target->m_pBar = m_pBar;
    target->m_pSection = m_pSection;
    tess::CopyText(target->m_sectionName, m_sectionName);
    target->ShowIcon = ShowIcon;
    target->ShowText = ShowText;
    target->UseActiveIcon = UseActiveIcon;
    target->UseActiveText = UseActiveText;
}

CVellumMenuItem* CVellumMenuItem::Duplicate() {
    // The default item under item number -1: it reads no keys.
    CVellumMenuItem* copy = CreateItemOfType("", m_pBar, m_pSection, -1);
    if (!copy) return nullptr;
    Copy(copy, 0);
    copy->m_valid = TRUE;
    return copy;
}
