// The taskbar section's grouping modes: automatic grouping by program and
// the user-defined groups exclude each other; the page and the context menu
// switch between them through these four operations.
//
// The buttons themselves (window, group and automatic-group buttons) come
// with the task items; until they are built the modes change only the
// section's settings and its layout.
#include "types/taskbar_section.h"

#include "model/vellum_menu_object.h"

namespace {
void Relayout(CVellumMenuObject* bar) {
    if (bar) bar->RecalcRects(1, 1);
}
}  // namespace

void CVellumMenuSection_Taskbar::EnableAutoGrouping() {
    if (m_xpGrouping) return;
    m_xpGrouping = 1;
    Relayout(m_pBar);
}

void CVellumMenuSection_Taskbar::DisableAutoGrouping() {
    if (!m_xpGrouping) return;
    m_xpGrouping = 0;
    Relayout(m_pBar);
}

void CVellumMenuSection_Taskbar::EnableUserGroups() {
    if (!m_groupingDisabled) return;
    m_groupingDisabled = 0;
}

void CVellumMenuSection_Taskbar::DisableUserGroups() {
    if (m_groupingDisabled) return;
    m_groupingDisabled = 1;
}
