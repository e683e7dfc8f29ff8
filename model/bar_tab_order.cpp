// The program-wide tab order of at most 75 bars (front = most recently
// activated) and each bar's system-wide hotkey.
#include <windows.h>
#include "model/bar_host.h"
#include "model/bar_placement.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "util/bar_registry.h"

namespace {

struct TabOrder {
    CVellumMenuObject* slots[kTabOrderSlots];
    int found;
    int current;   // the slot at which the next Tab search begins
};

TabOrder g_tabs = {{}, 0, 1};

bool InOrder(const CVellumMenuObject* bar) {
    return bar->LastTabOrder >= 0 && bar->LastTabOrder < kTabOrderSlots;
}

bool Eligible(CVellumMenuObject* bar, int shownByPopupOnly) {
    return bar && bar->IsATabStop && bar->m_hWnd && ::IsWindowVisible(bar->m_hWnd) &&
           (!shownByPopupOnly || bar->m_shownByPopupItem);
}

}  // namespace

int RenumberTabOrder() {
    for (CVellumMenuObject*& slot : g_tabs.slots) slot = nullptr;
    g_tabs.found = 0;
    const int windows = GetBarWindowCount();
    for (int i = 0; i < windows; ++i) {
        CVellumMenuObject* bar = LiveBarOfWindow(GetBarWindowAt(i));
        if (!bar || !InOrder(bar)) continue;
        ++g_tabs.found;
        // Of two bars with one position the later takes the slot.
        g_tabs.slots[bar->LastTabOrder] = bar;
    }
    int next = 0;
    for (int i = 0; i < kTabOrderSlots && next < g_tabs.found; ++i)
        if (g_tabs.slots[i]) g_tabs.slots[i]->LastTabOrder = next++;
    return 1;
}

int InsertBarAtTabFront(CVellumMenuObject* bar) {
    if (!bar || !bar->IsATabStop) return 0;
    g_tabs.current = 1;
    bar->LastTabOrder = -1;
    RenumberTabOrder();
    const int windows = GetBarWindowCount();
    for (int i = 0; i < windows; ++i) {
        CVellumMenuObject* other = LiveBarOfWindow(GetBarWindowAt(i));
        // The bar at 74 moves to 75 and so leaves the order.
        if (other && InOrder(other)) ++other->LastTabOrder;
    }
    bar->LastTabOrder = 0;
    return 1;
}

int RemoveBarFromTabOrder(CVellumMenuObject* bar) {
    if (!bar) return 0;
    bar->LastTabOrder = -1;
    return RenumberTabOrder();
}

int BringBarsToFrontInTabOrder() {
    g_tabs.found = 0;
    RenumberTabOrder();
    for (int i = g_tabs.found - 1; i >= 0; --i)
        if (CVellumMenuObject* bar = g_tabs.slots[i])
            if (bar->m_hWnd) ::SetForegroundWindow(bar->m_hWnd);
    return 1;
}

CVellumMenuObject* ActivateNextBarInTabOrder(CVellumMenuObject*, int shownByPopupOnly) {
    g_tabs.found = 0;
    RenumberTabOrder();
    int index = g_tabs.current;
    CVellumMenuObject* found = nullptr;
    while (index >= 0 && index < kTabOrderSlots && g_tabs.slots[index]) {
        if (Eligible(g_tabs.slots[index], shownByPopupOnly)) {
            found = g_tabs.slots[index];
            break;
        }
        ++index;
    }
    if (!found) {
        for (index = g_tabs.found - 1; index >= 0 && index < kTabOrderSlots && g_tabs.slots[index];
             --index) {
            if (Eligible(g_tabs.slots[index], shownByPopupOnly)) {
                found = g_tabs.slots[index];
                break;
            }
        }
    }
    if (!found) return nullptr;
    ::SetForegroundWindow(found->m_hWnd);
    g_tabs.current = index + 1;
    return found;
}

void CVellumMenuObject::EnterTabOrderAtFront() {
    InsertBarAtTabFront(this);
}

void CVellumMenuObject::LeaveTabOrder() {
    RemoveBarFromTabOrder(this);
}

// ---- hotkey ----------------------------------------------------------------------------------

void CVellumMenuObject::UpdateHotkey(int unregisterOnly) {
    const BOOL hide_until = vkHotkey ? bHideBarUntilHotkey : FALSE;
    m_volatile = hide_until;
    m_hiddenUntilHotkey = hide_until;
    if (m_hotkeyId) {
        // A bar that no longer waits for its key comes back (not while it closes).
        if (!hide_until && !m_deleting && m_hWnd && !::IsWindowVisible(m_hWnd)) Show(0);
        if (m_hWnd) ::UnregisterHotKey(m_hWnd, m_hotkeyId);
    }
    m_hotkeyId = 0;
    if (!vkHotkey || unregisterOnly) return;
    RegisterBarHotkey();
}

void CVellumMenuObject::RegisterBarHotkey() {
    const BarHostServices& host = GetBarHostServices();
    int id = host.AllocHotkeyId ? host.AllocHotkeyId() : 0;
    if (id && m_hWnd &&
        ::RegisterHotKey(m_hWnd, id, static_cast<UINT>(vkHotkeyModifiers), static_cast<UINT>(vkHotkey))) {
        m_hotkeyId = static_cast<WORD>(id);
        return;
    }
    // The key is taken (or no id): a bar waiting for it would stay hidden
    // for good, so it stays shown and keeps to itself.
    m_hotkeyId = 0;
    m_volatile = FALSE;
    m_hiddenUntilHotkey = FALSE;
}
