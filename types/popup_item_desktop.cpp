// The popup item as the hidden desktop right-click handler's item: the
// calls the shell makes through its table of type services.
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/type_services.h"
#include "types/popup_item.h"

namespace {

CVellumMenuItem_Popup* AsPopupItem(CVellumMenuItem* item) {
    return item ? dynamic_cast<CVellumMenuItem_Popup*>(item) : nullptr;
}

bool MakeHandlerItem(CVellumMenuItem* item) {
    CVellumMenuItem_Popup* popup = AsPopupItem(item);
    if (!popup) return false;
    popup->m_desktopRightClickItem = TRUE;
    popup->HideOnClose = TRUE;
    return true;
}

void SetHandlerBars(CVellumMenuItem* item, const char* const* titles, int count) {
    CVellumMenuItem_Popup* popup = AsPopupItem(item);
    if (!popup) return;
    while (popup->nBarsToPopup > 0) popup->szBarsToPopup[--popup->nBarsToPopup][0] = '\0';
    popup->nBarsToPopup = 0;
    for (int i = 0; i < count && titles; ++i) popup->AddListedBar(titles[i]);
}

// An owner bar is moved to the handler bar (the pointer) as the item's
// child for the length of the call: open at the cursor, its size kept.
int MoveOwnerBar(CVellumMenuItem_Popup* popup, CVellumMenuObject* owner) {
    const BOOL kept_preserve_size = popup->PreserveSize;
    const BOOL kept_volatile = owner->m_volatile;
    CVellumMenuObject* kept_child = popup->m_childBar;
    popup->PreserveSize = TRUE;
    popup->m_openAtCursor = TRUE;
    popup->m_childBar = owner;
    int result = popup->TrackPopupMenu(0);
    popup->m_childBar = kept_child;
    popup->PreserveSize = kept_preserve_size;
    popup->m_openAtCursor = FALSE;
    popup->m_openFromBar = nullptr;
    if (IsLiveBar(owner)) owner->m_volatile = kept_volatile;
    return result;
}

int OpenHandlerItem(CVellumMenuItem* item, CVellumMenuObject* owner) {
    CVellumMenuItem_Popup* popup = AsPopupItem(item);
    if (!popup) return 0;
    if (owner) return MoveOwnerBar(popup, owner);
    popup->HideOnClose = TRUE;
    return popup->TrackPopupMenu(0);
}

void FillHandlerLists(CVellumMenuItem* item, HWND dialog) {
    if (CVellumMenuItem_Popup* popup = AsPopupItem(item)) popup->FillBarLists(dialog, 1, 1);
}

struct DesktopHandlerRegistration {
    DesktopHandlerRegistration() {
        ShellTypeServices& services = GetShellTypeServices();
        services.MakeDesktopHandlerItem = MakeHandlerItem;
        services.SetDesktopHandlerBars = SetHandlerBars;
        services.OpenDesktopHandlerItem = OpenHandlerItem;
        services.FillDesktopHandlerLists = FillHandlerLists;
    }
} const kDesktopHandlerRegistration;

}  // namespace
