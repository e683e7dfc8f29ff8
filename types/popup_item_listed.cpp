// The bars a popup item lists ("Popup.szBar%i"): finding, showing and hiding
// them, keeping them associated with the item, keyboard moves between them,
// and the table through which the bar model reaches popup items.
#include <cstdlib>
#include <cstring>
#include "model/bar_placement.h"
#include "model/live_objects.h"
#include "model/popup_item_calls.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "types/popup_item.h"
#include "types/popup_item_internal.h"
#include "util/bar_registry.h"
#include "util/text.h"

namespace {

constexpr int kMaxCollectedBars = 500;
constexpr DWORD kListedClickIgnoreMs = 150;

BOOL CALLBACK CollectUserBar(HWND wnd, LPARAM lp) {
    auto* bars = reinterpret_cast<std::vector<CVellumMenuObject*>*>(lp);
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (bar && !bar->m_internalBar && static_cast<int>(bars->size()) < kMaxCollectedBars)
        bars->push_back(bar);
    return TRUE;
}

void TakeMonitorOf(CVellumMenuObject* bar, const CVellumMenuObject* from) {
    bar->m_hMonitor = from->m_hMonitor;
    tess::CopyText(bar->LastMonitor, from->LastMonitor);
    bar->UpdateMonitorPoints(1);
}

// ---- the model's table -----------------------------------------------------------------------

CVellumMenuItem_Popup* AsPopupItem(CVellumMenuItem* item) {
    return item ? dynamic_cast<CVellumMenuItem_Popup*>(item) : nullptr;
}

PopupBarList ListOf(CVellumMenuItem* item) {
    PopupBarList list;
    CVellumMenuItem_Popup* popup = AsPopupItem(item);
    if (!popup) return list;
    list.names = popup->szBarsToPopup;
    list.count = &popup->nBarsToPopup;
    list.capacity = kMaxListedBars;
    return list;
}

void RefreshAfterLink(CVellumMenuItem* item) {
    if (CVellumMenuItem_Popup* popup = AsPopupItem(item)) {
        popup->UpdateListedBars(0);
        if (popup->m_pBar) popup->m_pBar->SetModified();
    }
}

bool IsBarInList(CVellumMenuItem* item, HWND wnd) {
    CVellumMenuItem_Popup* popup = AsPopupItem(item);
    return popup && popup->IsBarInPopupList(wnd);
}

bool AlignsWithBar(CVellumMenuItem* item) {
    CVellumMenuItem_Popup* popup = AsPopupItem(item);
    return popup && popup->AlignPopupNextToBar;
}

CVellumMenuItem* FindNeighbour(CVellumMenuItem* item, CVellumMenuObject* bar, int direction) {
    CVellumMenuItem_Popup* popup = AsPopupItem(item);
    if (item && !popup) return nullptr;
    return CVellumMenuItem_Popup::FindItemInNeighbourBar(popup, bar, direction);
}

void CloseListedBars(CVellumMenuItem* item) {
    if (CVellumMenuItem_Popup* popup = AsPopupItem(item)) {
        popup->m_listedBarsShown = FALSE;
        popup->HideListedBars();
    }
}

struct TableFiller {
    TableFiller() {
        PopupItemCalls& calls = GetPopupItemCalls();
        calls.BarList = ListOf;
        calls.RefreshAfterLink = RefreshAfterLink;
        calls.IsBarInList = IsBarInList;
        calls.AlignsWithBar = AlignsWithBar;
        calls.FindItemInNeighbourBar = FindNeighbour;
        calls.CloseListedBars = CloseListedBars;
    }
} const kTableFiller;

}  // namespace

std::vector<CVellumMenuObject*> OpenUserBars() {
    std::vector<CVellumMenuObject*> bars;
    EnumBarWindows(CollectUserBar, reinterpret_cast<LPARAM>(&bars));
    return bars;
}

void ReleaseAssociatedBars(CVellumMenuItem* item) {
    if (!item) return;
    for (CVellumMenuObject* bar : OpenUserBars()) {
        if (bar->m_associatedPopupItem != item) continue;
        bar->m_volatile = FALSE;
        bar->m_associatedPopupItem = nullptr;
        bar->Show(0);
    }
}

// ---- the list ------------------------------------------------------------------------------------

bool CVellumMenuItem_Popup::AddListedBar(const char* title) {
    if (!title || !title[0] || nBarsToPopup >= kMaxListedBars) return false;
    if (nBarsToPopup < 0) nBarsToPopup = 0;
    tess::CopyText(szBarsToPopup[nBarsToPopup++], title);
    return true;
}

bool CVellumMenuItem_Popup::RemoveListedBar(const char* title) {
    if (!title) return false;
    for (int i = 0; i < nBarsToPopup && i < kMaxListedBars; ++i) {
        if (lstrcmpiA(szBarsToPopup[i], title) != 0) continue;
        for (int j = i; j + 1 < nBarsToPopup; ++j)
            std::memcpy(szBarsToPopup[j], szBarsToPopup[j + 1], kListedBarNameSize);
        szBarsToPopup[--nBarsToPopup][0] = '\0';
        return true;
    }
    return false;
}

BOOL CVellumMenuItem_Popup::IsBarInPopupList(HWND wnd) {
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (!bar || bar->m_internalBar || bar == m_pBar) return FALSE;
    for (int i = 0; i < nBarsToPopup && i < kMaxListedBars; ++i)
        if (lstrcmpA(szBarsToPopup[i], bar->Title) == 0) return TRUE;
    return FALSE;
}

int CVellumMenuItem_Popup::IsAnyListedBarVisible() {
    for (CVellumMenuObject* bar : OpenUserBars()) {
        if (!IsBarInPopupList(bar->m_hWnd)) continue;
        bar->m_associatedPopupItem = this;
        return ::IsWindowVisible(bar->m_hWnd) ? 1 : 0;
    }
    return 0;
}

void CVellumMenuItem_Popup::ShowHideListedBars(int show) {
    if (!m_pBar) return;
    std::vector<CVellumMenuObject*> listed;
    for (CVellumMenuObject* bar : OpenUserBars()) {
        if (!IsBarInPopupList(bar->m_hWnd)) continue;
        bar->m_associatedPopupItem = this;
        bar->m_volatile = Volitle || BarIsVolatileOrPoppedUp(m_pBar);
        listed.push_back(bar);
    }
    if (!show) {
        for (CVellumMenuObject* bar : listed) {
            bar->Hide(0);
            bar->m_shownByPopupItem = FALSE;
        }
        return;
    }
    CVellumMenuObject* anchor = AnchorBar();
    DWORD ignore_until = ::GetTickCount() + kListedClickIgnoreMs;
    for (CVellumMenuObject* bar : listed) {
        if (bar->m_hMonitor != anchor->m_hMonitor) TakeMonitorOf(bar, anchor);
        bar->m_ignoreClicksUntil = ignore_until;
    }
    for (CVellumMenuObject* bar : listed) ::ShowWindow(bar->m_hWnd, SW_SHOW);
    for (CVellumMenuObject* bar : listed) {
        bar->Show(0);
        bar->m_shownByPopupItem = TRUE;
    }
}

void CVellumMenuItem_Popup::ShowListedBars() {
    ShowHideListedBars(1);
    if (m_pBar && m_pBar->m_hWnd)
        ::PostMessageA(m_pBar->m_hWnd, GetPopupMessages().ShowPopupFollowup,
                       reinterpret_cast<WPARAM>(this), 0);
}

void CVellumMenuItem_Popup::ActivateShownListedBars() {
    for (CVellumMenuObject* bar : OpenUserBars())
        if (bar->m_shownByPopupItem && bar->IsATabStop) ::SetActiveWindow(bar->m_hWnd);
}

void CVellumMenuItem_Popup::HideListedBars() {
    // Whatever the hiding moves goes in one batch.
    HDWP batch = ::BeginDeferWindowPos(1);
    SetPendingDeferWindowPos(batch);
    ShowHideListedBars(0);
    if (batch && !GetPendingDeferWindowPos()) ShowHideListedBars(0);   // the batch failed
    HDWP pending = GetPendingDeferWindowPos();
    SetPendingDeferWindowPos(nullptr);
    if (pending) ::EndDeferWindowPos(pending);
}

void CVellumMenuItem_Popup::UpdateListedBars(int hide) {
    if (!m_pBar) return;
    for (CVellumMenuObject* bar : OpenUserBars()) {
        if (IsBarInPopupList(bar->m_hWnd)) {
            bar->m_associatedPopupItem = this;
            if (hide) bar->Hide(0);
        } else if (bar->m_associatedPopupItem == this) {
            if (!hide) TakeMonitorOf(bar, m_pBar);
            bar->m_volatile = FALSE;
            bar->m_associatedPopupItem = nullptr;
            bar->Show(0);
        }
    }
}

// ---- keyboard between listed bars ---------------------------------------------------------------

CVellumMenuItem* CVellumMenuItem_Popup::FindItemInNeighbourBar(CVellumMenuItem_Popup* item,
                                                              CVellumMenuObject* bar,
                                                              int direction) {
    if (!bar || direction < 0 || direction > 3) return nullptr;
    bool sideways = direction == 0 || direction == 2;
    if (sideways != (bar->DisplayVertically != FALSE)) return nullptr;
    CVellumMenuItem* reference = bar->m_keyboardItem;
    if (!reference && bar->m_sections[0]) {
        CVellumMenuSection* first = bar->m_sections[0];
        int index = first->m_firstShownItem >= 0 ? first->m_firstShownItem : 0;
        if (index < kMaxItems) reference = first->m_items[index];
    }
    if (!reference) return nullptr;

    RECT current;
    ::GetWindowRect(bar->m_hWnd, &current);
    CVellumMenuObject* best = nullptr;
    int best_gap = 0;
    for (CVellumMenuObject* other : OpenUserBars()) {
        if (other == bar || other->m_associatedPopupItem != item) continue;
        if ((other->DisplayVertically != FALSE) != (bar->DisplayVertically != FALSE)) continue;
        RECT r;
        ::GetWindowRect(other->m_hWnd, &r);
        int gap = 0;
        switch (direction) {
        case 0: gap = current.right - r.right; break;
        case 1: gap = current.bottom - r.bottom; break;
        case 2: gap = r.left - current.left; break;
        default: gap = r.top - current.top; break;
        }
        if (!best || gap < best_gap) {
            best = other;
            best_gap = gap;
        }
    }
    if (!best) return nullptr;

    // Centres compared on the screen: the items lie in different windows.
    RECT ref = reference->m_itemRect;
    ::OffsetRect(&ref, current.left, current.top);
    RECT best_rect;
    ::GetWindowRect(best->m_hWnd, &best_rect);
    const bool vertical_move = direction == 1 || direction == 3;
    const int ref_centre = vertical_move ? (ref.left + ref.right) / 2 : (ref.top + ref.bottom) / 2;
    CVellumMenuItem* found = nullptr;
    int found_distance = 0;
    for (int s = 0; s < kMaxSections && best->m_sections[s]; ++s) {
        CVellumMenuSection* section = best->m_sections[s];
        int first = section->m_firstShownItem > 0 ? section->m_firstShownItem : 0;
        for (int i = first; i < kMaxItems && section->m_items[i]; ++i) {
            CVellumMenuItem* candidate = section->m_items[i];
            if (candidate->Separator || ::IsRectEmpty(&candidate->m_itemRect)) continue;
            RECT r = candidate->m_itemRect;
            ::OffsetRect(&r, best_rect.left, best_rect.top);
            int centre = vertical_move ? (r.left + r.right) / 2 : (r.top + r.bottom) / 2;
            int distance = std::abs(centre - ref_centre);
            if (!found || distance < found_distance) {
                found = candidate;
                found_distance = distance;
            }
        }
    }
    return found;
}
