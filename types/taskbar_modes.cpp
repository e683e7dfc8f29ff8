// The taskbar section's grouping modes: automatic grouping by program and
// the user-defined groups exclude each other; the page and the context menu
// switch between them through these four operations.
#include "types/taskbar_section.h"

#include "model/vellum_menu_object.h"

void CVellumMenuSection_Taskbar::EnableAutoGrouping() {
    if (m_xpGrouping) return;
    m_xpGrouping = 1;
    if (Animated()) {
        MarkStartTransition();
        ApplyAutoGroups();
        if (m_pBar) m_pBar->RecalcRects(0, 1);
        MarkEndTransition();
        StartTransition();
    } else {
        ApplyAutoGroups();
        if (m_pBar) m_pBar->RecalcRects(1, 1);
    }
}

// The member table stays: switching back on rebuilds the groups from it.
void CVellumMenuSection_Taskbar::DisableAutoGrouping() {
    if (!m_xpGrouping) return;
    m_xpGrouping = 0;
    for (int i = 0; i < kMaxAutoGroups; ++i)
        if (m_autoGroups[i].count > 0 && m_autoGroups[i].button) DissolveAutoGroup(i, 0);
    EndTransition();
    if (m_pBar) m_pBar->RecalcRects(1, 1);
}

void CVellumMenuSection_Taskbar::EnableUserGroups() {
    if (!m_groupingDisabled) return;
    m_groupingDisabled = 0;
    for (int slot = 0; slot < kMaxTaskbarFilters; ++slot)
        if (m_flags[slot] & kFilterGroup) UpdateUserGroup(slot);
}

void CVellumMenuSection_Taskbar::DisableUserGroups() {
    if (m_groupingDisabled) return;
    m_groupingDisabled = 1;
    for (int slot = 0; slot < kMaxTaskbarFilters; ++slot)
        if (m_flags[slot] & kFilterGroup) UpdateUserGroup(slot);
}
