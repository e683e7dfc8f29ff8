// The calls the bar's input code makes into item and section operations and
// into other parts of the program. Where the operation is not built yet the
// call gives the base behaviour the item or section would have (no popup
// delay, no required keys) or does nothing.
#include "model/bar_input_internal.h"
#include <cstring>
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/text.h"

namespace {

// The grip point of the one grip drag that can run at a time.
CVellumMenuSection* g_grip_section = nullptr;
POINT g_grip_offset = {};

bool GetGripRect(CVellumMenuSection* section, RECT* out) {
    CVellumMenuObject* bar = section->m_pBar;
    SkinRecord* skin = section->m_skinSlot ? *section->m_skinSlot : nullptr;
    if (!bar || !skin || !out) return false;
    *out = section->m_outerRect;
    int grip = ReadSkinGripWidth(skin, section->iSectionSkin);
    if (bar->DisplayVertically) {
        if (out->top + grip < out->bottom) out->bottom = out->top + grip;
    } else {
        if (out->left + grip < out->right) out->right = out->left + grip;
    }
    return true;
}

}  // namespace

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

HMENU ItemPopupMenu(CVellumMenuItem* item) {
    if (!item || item->Action != 1 || !item->m_popupMenu) return nullptr;
    return ::GetMenuItemCount(item->m_popupMenu) > 0 ? item->m_popupMenu : nullptr;
}

int ItemPopupDelay(CVellumMenuItem*) { return -1; }
UINT ItemPopupRequiredKeys(CVellumMenuItem*) { return 0; }
// Clicks run an item's command once its click handling is built.
void ItemOnClick(CVellumMenuItem*) {}
void ItemOnDblClick(CVellumMenuItem* item) { ItemOnClick(item); }
void ItemOnRClick(CVellumMenuItem*, int*) {}
int ItemTrackPopupMenuDoubleClick(CVellumMenuItem*) { return 0; }
void ItemGettingKeyboardFocus(CVellumMenuItem*) {}
void ItemProcessMenuMessage(CVellumMenuItem*, UINT, WPARAM, LPARAM) {}
int ItemTryNoAltDrag(CVellumMenuItem*) { return 0; }
bool ItemIsPopupItemType(CVellumMenuItem*) { return false; }

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
bool ItemIsSectionAnchor(CVellumMenuItem*) { return false; }

bool ItemHasEmptyRect(CVellumMenuItem* item) {
    return !item || ::IsRectEmpty(&item->m_itemRect);
}

// ---- sections ----------------------------------------------------------------------------------

int SectionIsInGrip(CVellumMenuSection* section, POINT client) {
    if (!section || section->IsHidden || !::PtInRect(&section->m_outerRect, client)) return 0;
    RECT grip;
    if (GetGripRect(section, &grip) && ::PtInRect(&grip, client)) return 1;
    RECT title = section->m_titleRect;
    ::OffsetRect(&title, section->m_outerRect.left, section->m_outerRect.top);
    if (::PtInRect(&title, client)) return 1;
    for (int i = 0; i < kMaxItems && section->m_items[i]; ++i) {
        CVellumMenuItem* item = section->m_items[i];
        if (!ItemIsSeparator(item) || !ItemIsSectionAnchor(item)) continue;
        RECT rect;
        item->GetRealItemRect(&rect);
        if (::PtInRect(&rect, client)) return 1;
    }
    return 0;
}

void SectionSetLastGripPoint(CVellumMenuSection* section, POINT client) {
    RECT grip;
    if (!section || !GetGripRect(section, &grip)) grip = section ? section->m_outerRect : RECT{};
    g_grip_section = section;
    g_grip_offset = {client.x - grip.left, client.y - grip.top};
}

POINT SectionGetLastGripPoint(CVellumMenuSection* section) {
    RECT grip;
    if (!section || !GetGripRect(section, &grip)) grip = section ? section->m_outerRect : RECT{};
    POINT offset = section == g_grip_section ? g_grip_offset : POINT{0, 0};
    return {grip.left + offset.x, grip.top + offset.y};
}

// Scrolling a section by its arrows comes with section input.
int SectionScrollBack(CVellumMenuSection*) { return 0; }
int SectionScrollForward(CVellumMenuSection*) { return 0; }

// ---- popup item bar lists ----------------------------------------------------------------------

// Popup items are not built: no item keeps a list of bars yet.
PopupBarList GetPopupItemBarList(CVellumMenuItem*) { return PopupBarList{}; }
void RefreshPopupItemAfterLink(CVellumMenuItem*) {}

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

// The bar context menu is not built.
void ShowBarContextMenu(CVellumMenuObject*, CVellumMenuSection*, CVellumMenuItem*) {}
// The tab order is not built: there is no next bar.
CVellumMenuObject* ActivateNextBarInTabOrder(CVellumMenuObject*, int) { return nullptr; }
// Popup items and bar groups are not built: no neighbour, no open popup.
CVellumMenuItem* FindItemInNeighbourBar(CVellumMenuItem*, CVellumMenuObject*, int) {
    return nullptr;
}
CVellumMenuItem* FindOpenPopupOfBar(CVellumMenuObject*) { return nullptr; }
void BuildBarGroup(CVellumMenuObject*) {}
// Drag and drop is not built: no drag runs and none starts.
bool IsProgramDragRunning() { return false; }
void DragItemWithMouse(CVellumMenuItem*) {}
bool GetDropTargetOfSection(CVellumMenuObject*, CVellumMenuSection*, CVellumMenuItem**) {
    return false;
}
