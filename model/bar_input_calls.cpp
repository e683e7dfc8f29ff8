// The calls the bar's input code makes into item and section operations and
// into other parts of the program. Where the operation is not built yet the
// call does nothing and says so.
#include "model/bar_input_internal.h"
#include <cstring>
#include "model/drag_drop_object.h"
#include "model/live_objects.h"
#include "model/popup_item_calls.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/text.h"


BarInputState& GetBarInputState() {
    static BarInputState state;
    return state;
}

POINT BarCursorPoint(CVellumMenuObject* bar) {
    POINT pt = {};
    ::GetCursorPos(&pt);
    if (bar && bar->m_hWnd) ::ScreenToClient(bar->m_hWnd, &pt);
    return pt;
}

// ---- items -----------------------------------------------------------------------------------

HMENU ItemPopupMenu(CVellumMenuItem* item) { return item ? item->GetPopupMenu() : nullptr; }
int ItemPopupDelay(CVellumMenuItem* item) { return item ? item->GetPopupDelay() : -1; }
UINT ItemPopupRequiredKeys(CVellumMenuItem* item) { return item ? item->GetPopupRequiredKeys() : 0; }
void ItemOnClick(CVellumMenuItem* item) {
    if (item) item->OnClick();
}
void ItemOnDblClick(CVellumMenuItem* item) {
    if (item) item->OnDblClick();
}
void ItemOnRClick(CVellumMenuItem* item, int* handled) {
    if (item) item->OnRClick(handled);
}
int ItemTrackPopupMenuDoubleClick(CVellumMenuItem* item) {
    return item ? item->TrackPopupMenuDoubleClick() : 0;
}
void ItemGettingKeyboardFocus(CVellumMenuItem* item) {
    if (item) item->GettingKeyboardFocus();
}
void ItemProcessMenuMessage(CVellumMenuItem* item, UINT msg, WPARAM wp, LPARAM lp) {
    if (item) item->ProcessMenuMessage(msg, wp, lp);
}
int ItemTryNoAltDrag(CVellumMenuItem* item) { return item ? item->TryNoAltDrag() : 0; }

bool ItemIsPopupItemType(CVellumMenuItem* item) {
    if (!item) return false;
    // Item types write their name without a size: leave them ample room.
    char name[1024] = "";
    item->GetCustomItemName(name);
    name[sizeof(name) - 1] = '\0';
    return lstrcmpiA(name, "Popup Item") == 0;
}

bool ItemIsMouseReallyOver(CVellumMenuItem* item) {
    if (!item || !item->m_pBar || !item->m_pBar->m_hWnd) return false;
    POINT screen;
    ::GetCursorPos(&screen);
    HWND under = ::WindowFromPoint(screen);
    if (!under || ::GetAncestor(under, GA_ROOT) != item->m_pBar->m_hWnd) return false;
    POINT client = BarCursorPoint(item->m_pBar);
    RECT rect;
    item->GetRealItemRect(&rect);
    return ::PtInRect(&rect, client) != FALSE;
}

bool ItemIsSeparator(CVellumMenuItem* item) { return item && item->Separator; }
bool ItemIsSectionAnchor(CVellumMenuItem* item) { return item && item->IsSectionAnchor; }

bool ItemHasEmptyRect(CVellumMenuItem* item) {
    return !item || ::IsRectEmpty(&item->m_itemRect);
}

// ---- sections ----------------------------------------------------------------------------------

int SectionIsInGrip(CVellumMenuSection* section, POINT client) {
    return section ? section->IsInGripSection(client) : 0;
}

void SectionSetLastGripPoint(CVellumMenuSection* section, POINT client) {
    if (section) section->SetLastGripPoint(client);
}

POINT SectionGetLastGripPoint(CVellumMenuSection* section) {
    POINT pt = {};
    if (section) section->GetLastGripPoint(&pt);
    return pt;
}

int SectionScrollBack(CVellumMenuSection* section) { return section ? section->ArrowL(1) : 0; }
int SectionScrollForward(CVellumMenuSection* section) { return section ? section->ArrowR(1) : 0; }

// ---- popup item bar lists ----------------------------------------------------------------------

PopupItemCalls& GetPopupItemCalls() {
    // Zero-initialised before any constructor runs, so the types layer can
    // fill it from its own static constructors in any order.
    static PopupItemCalls calls;
    return calls;
}

PopupBarList GetPopupItemBarList(CVellumMenuItem* item) {
    PopupBarList (*list)(CVellumMenuItem*) = GetPopupItemCalls().BarList;
    return item && list ? list(item) : PopupBarList{};
}

void RefreshPopupItemAfterLink(CVellumMenuItem* item) {
    if (item && GetPopupItemCalls().RefreshAfterLink) GetPopupItemCalls().RefreshAfterLink(item);
}

bool PopupBarListHas(const PopupBarList& list, const char* title) {
    if (!list.names || !list.count || !title) return false;
    char stored[kPopupBarNameSize];
    tess::CopyText(stored, title);
    int count = *list.count;
    if (count > list.capacity) count = list.capacity;
    for (int i = 0; i < count; ++i)
        if (lstrcmpiA(list.names[i], stored) == 0) return true;
    return false;
}

bool LinkBarInPopupList(const PopupBarList& list, const char* title, bool link) {
    if (!list.names || !list.count || !title || !title[0]) return false;
    int count = *list.count;
    if (count < 0) count = 0;
    if (count > list.capacity) count = list.capacity;
    // A long title is stored cut to its slot; compare against that cut form.
    char stored[kPopupBarNameSize];
    tess::CopyText(stored, title);
    if (link) {
        if (count >= list.capacity) return false;
        tess::CopyText(list.names[count], kPopupBarNameSize, stored);
        *list.count = count + 1;
        return true;
    }
    for (int i = 0; i < count; ++i) {
        if (lstrcmpiA(list.names[i], stored) != 0) continue;
        for (int j = i; j + 1 < count; ++j)
            std::memcpy(list.names[j], list.names[j + 1], kPopupBarNameSize);
        list.names[count - 1][0] = '\0';
        *list.count = count - 1;
        return true;
    }
    return false;
}

// ---- other parts of the program ------------------------------------------------------------------

// Popup items answer through their table.
CVellumMenuItem* FindItemInNeighbourBar(CVellumMenuItem* popupItem, CVellumMenuObject* bar,
                                        int direction) {
    CVellumMenuItem* (*find)(CVellumMenuItem*, CVellumMenuObject*, int) =
        GetPopupItemCalls().FindItemInNeighbourBar;
    return bar && find ? find(popupItem, bar, direction) : nullptr;
}
// The program-wide drag-and-drop object runs the drags.
bool IsProgramDragRunning() { return GetDragDropObject()->IsInInternalDragDrop() != 0; }
void DragItemWithMouse(CVellumMenuItem* item) {
    if (item) GetDragDropObject()->DoDragDrop(item);
}
bool GetDropTargetOfSection(CVellumMenuObject* bar, CVellumMenuSection* section,
                            CVellumMenuItem** target) {
    const CVellumDragDropObject* drag = GetDragDropObject();
    if (!section || drag->m_targetSection != section || section->m_pBar != bar) return false;
    if (target) *target = drag->m_insertAfter;
    return true;
}
