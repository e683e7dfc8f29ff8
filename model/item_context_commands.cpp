// The commands of the "Item Options" submenu: how the item shows, its icon
// size, its flags, the theme editor and the skin editor, removing and
// duplicating the item. Items are never removed from inside their own menu:
// the main window does it once the menu has closed.
#include "model/bar_host.h"
#include "model/item_host_calls.h"
#include "model/item_menu_resources.h"
#include "model/item_messages.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "util/text.h"

namespace {

constexpr char kSetAsBitmapCaption[] = "Tessellar - Set As Bitmap";

const char* CurrentDisplayText(const CVellumMenuItem& item) {
    if (item.Separator) return "a separator";
    if (item.ShowIcon && item.ShowText) return "an Icon and Text";
    if (item.ShowIcon) return "an Icon";
    if (item.ShowText) return "Text";
    return "is";
}

bool AskShowBitmap(const CVellumMenuItem& item) {
    char text[700];
    tess::FormatText(
        text, sizeof(text),
        "You have selected to display this item as a bitmap, however no bitmap is defined for "
        "this item.\nTessellar will now show this item's display properties for you can specify "
        "a bitmap for it to display.\n\nPress OK to select a bitmap for this item to display, "
        "or\nPress Cancel to leave the item being displayed as %s.",
        CurrentDisplayText(item));
    return ::MessageBoxA(nullptr, text, kSetAsBitmapCaption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool AskShowSeparator() {
    return ::MessageBoxA(nullptr,
                         "You have selected to display this item as a separator, however this "
                         "skin this bar is using has no bitmap setup to display a separator, so "
                         "the item will not show on the bar. Do you want to set this item to be "
                         "a separator anyways?",
                         kSetAsBitmapCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool SkinHasSeparatorBitmap(const CVellumMenuItem& item) {
    SkinRecord* skin = item.m_pBar ? item.m_pBar->m_skin : nullptr;
    if (!skin) return false;
    int style = item.m_pSection ? item.m_pSection->iSectionSkin : 0;
    if (style < 0 || style >= kMaxSectionStyles) style = 0;
    SkinStateRecord* e = GetSkinStateRecord(skin, kSkinStateSeparator + kSkinStatesPerStyle * style);
    return e && e->bitmap;
}

void ShowInEditor(CVellumMenuItem* item, int tab) {
    const ItemHostCalls& host = GetItemHostCalls();
    if (host.ShowItemInThemeEditor) host.ShowItemInThemeEditor(item, tab);
}

void RefreshPropPage(CVellumMenuItem* item) {
    const ItemHostCalls& host = GetItemHostCalls();
    if (host.RefreshVisiblePropPage) host.RefreshVisiblePropPage(item, 0);
}

}  // namespace

int CVellumMenuItem::DoContextMenuCommand(int id) {
    switch (id) {
    case IDM_ITEM_RESPOND_TO_WINKEY:
        // Kept with the next save; not a change that asks to be saved.
        RespondToWindowsKey = !RespondToWindowsKey;
        return 1;
    case IDM_ITEM_EDIT_CONTENT:
    case IDM_ITEM_EDIT_CONTENT_OLD:
        ShowInEditor(this, 0);
        return 1;
    case 0:
    case IDM_ITEM_NOTHING_40061:
    case IDM_ITEM_HEADER:
    case IDM_ITEM_NOTHING_40070:
        return 1;
    case IDM_ITEM_EDIT_SELECTED_SKIN:
    case IDM_ITEM_EDIT_DEFAULT_SKIN:
    case IDM_ITEM_EDIT_MOUSEOVER_SKIN:
        EditBarSkin();
        return 1;
    case IDM_ITEM_ICON_DEFAULT:
        return SetIconSizeFromMenu(m_pSection ? m_pSection->DefaultIconSize : IconSize);
    case IDM_ITEM_ICON_16:
        return SetIconSizeFromMenu(16);
    case IDM_ITEM_ICON_32:
        return SetIconSizeFromMenu(32);
    case IDM_ITEM_ICON_48:
        return SetIconSizeFromMenu(48);
    case IDM_ITEM_ICON_64:
        return SetIconSizeFromMenu(64);
    case IDM_ITEM_ICON_CUSTOM:
        return AskCustomIconSize();
    case IDM_ITEM_ACTIVE_ICON:
        UseActiveIcon = !UseActiveIcon;
        return UpdateBarAfterMenu();
    case IDM_ITEM_ACTIVE_TEXT:
        UseActiveText = !UseActiveText;
        return UpdateBarAfterMenu();
    case IDM_ITEM_TRANSPARENCY:
        UseTransparency = !UseTransparency;
        RefreshBitmaps();
        return UpdateBarAfterMenu();
    case IDM_ITEM_ICON_AND_TEXT:
    case IDM_ITEM_TEXT_ONLY:
    case IDM_ITEM_ICON_ONLY:
        return ShowAsFromMenu(id);
    case IDM_ITEM_BITMAP:
        return ShowAsBitmapFromMenu();
    case IDM_ITEM_SEPARATOR:
        return ShowAsSeparatorFromMenu();
    case IDM_ITEM_SECTION_ANCHOR:
        IsSectionAnchor = !IsSectionAnchor;
        if (m_pBar) m_pBar->SetModified();
        return 1;
    case IDM_ITEM_SKIN_BEHIND_BITMAP:
        ShowSkinBehindBitmap = !ShowSkinBehindBitmap;
        return UpdateBarAfterMenu();
    case IDM_ITEM_EDIT_BEHAVIOR:
        ShowInEditor(this, 1);
        return 1;
    case IDM_ITEM_REMOVE:
        if (m_pBar && m_pBar->m_hMainWindow)
            ::PostMessageA(m_pBar->m_hMainWindow, GetItemMessages().RemoveItemDelay,
                           reinterpret_cast<WPARAM>(this), 0);
        return 1;
    case IDM_ITEM_DUPLICATE:
        return DuplicateFromMenu();
    case IDM_BAR_CLOSE:
        return CloseBarFromMenu();
    default:
        return DoCustomContextMenuCommand(id);
    }
}

int CVellumMenuItem::UpdateBarAfterMenu() {
    if (m_pBar) {
        m_pBar->SetModified();
        m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        m_pBar->UpdatePos();
    }
    return 1;
}

int CVellumMenuItem::SetIconSizeFromMenu(int size) {
    IconSize = size;
    RefreshIcon();
    return UpdateBarAfterMenu();
}

int CVellumMenuItem::AskCustomIconSize() {
    const ItemHostCalls& host = GetItemHostCalls();
    HWND owner = nullptr;   // the theme editor's window, when the host knows it
    if (host.AskCustomIconSize) IconSize = host.AskCustomIconSize(owner, IconSize);
    RefreshIcon();
    return UpdateBarAfterMenu();
}

void CVellumMenuItem::ReloadImagesAfterMenu() {
    RefreshBitmaps();
    RefreshIcon();
    RefreshPropPage(this);
}

int CVellumMenuItem::ShowAsFromMenu(int id) {
    const bool text = id != IDM_ITEM_ICON_ONLY;
    const bool icon = id != IDM_ITEM_TEXT_ONLY;
    // A part that was not shown starts without the active window's share.
    if (text && !ShowText) UseActiveText = FALSE;
    if (icon && !ShowIcon) UseActiveIcon = FALSE;
    DisplayAsBitmap = FALSE;
    ShowText = text ? TRUE : FALSE;
    ShowIcon = icon ? TRUE : FALSE;
    Separator = FALSE;
    ReloadImagesAfterMenu();
    return UpdateBarAfterMenu();
}

int CVellumMenuItem::ShowAsBitmapFromMenu() {
    if (DisplayAsBitmap) return 1;
    DisplayAsBitmap = TRUE;
    if (!RefreshBitmaps()) {
        if (!AskShowBitmap(*this)) {
            DisplayAsBitmap = FALSE;
            return 1;
        }
        ShowText = ShowIcon = Separator = FALSE;
        ShowInEditor(this, 0);
    }
    RefreshIcon();
    RefreshPropPage(this);
    ShowText = ShowIcon = Separator = FALSE;
    return UpdateBarAfterMenu();
}

int CVellumMenuItem::ShowAsSeparatorFromMenu() {
    if (!SkinHasSeparatorBitmap(*this) && !AskShowSeparator()) return 1;
    ShowText = ShowIcon = DisplayAsBitmap = FALSE;
    Separator = TRUE;
    ReloadImagesAfterMenu();
    return UpdateBarAfterMenu();
}

void CVellumMenuItem::EditBarSkin() {
    SkinRecord* skin = m_pBar ? m_pBar->m_skin : nullptr;
    const ItemHostCalls& host = GetItemHostCalls();
    if (skin && skin->path[0] && host.EditSkinInSkinEditor) host.EditSkinInSkinEditor(skin->path);
}

int CVellumMenuItem::DuplicateFromMenu() {
    CVellumMenuItem* copy = Duplicate();
    if (!copy) return 1;
    if (!m_pSection || !m_pSection->InsertItem(this, copy)) {
        // A full section refuses the copy: it goes, nothing else changes.
        delete copy;
        return 1;
    }
    const ItemHostCalls& host = GetItemHostCalls();
    if (host.AddItemToThemeEditor) host.AddItemToThemeEditor(copy);
    if (m_pBar) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    return 1;
}

int CVellumMenuItem::CloseBarFromMenu() {
    CVellumMenuObject* bar = m_pBar;
    if (!bar) return 1;
    const ItemHostCalls& host = GetItemHostCalls();
    if (host.RemoveBarFromThemeEditor) host.RemoveBarFromThemeEditor(bar);
    bar->Release();
    const BarHostServices& services = GetBarHostServices();
    if (services.PostHiddenTaskbarUpdate) services.PostHiddenTaskbarUpdate();
    return 1;
}
