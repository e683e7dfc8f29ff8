// Activation of bar windows and the volatile bars that close or hide when
// the user turns to a window unrelated to them.
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/general_helpers.h"

namespace {

bool HostSays(bool (*query)()) {
    return query && query();
}

// A file dialog or a modal dialog of the theme editor is up: deactivation
// then means nothing.
bool DeactivationIgnored() {
    return IsFileDialogOpen() || HostSays(GetBarHostServices().IsThemeEditorDisabled);
}

bool HasSystemTraySection(CVellumMenuObject* bar) {
    for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i) {
        char name[64] = "";
        if (bar->m_sections[i]->GetCustomSectionName(name) && lstrcmpA(name, "System Tray") == 0)
            return true;
    }
    return false;
}

}  // namespace

void CVellumMenuObject::TellHelperLinesOverlay(UINT msg, WPARAM wp) {
    if (const BarHostServices& host = GetBarHostServices(); host.TellHelperLines)
        host.TellHelperLines(this, msg, wp);
}

void CVellumMenuObject::OnActivate(WPARAM wp, LPARAM lp) {
    const BarMessages& m = GetBarMessages();
    const BarHostServices& host = GetBarHostServices();
    TellHelperLinesOverlay(WM_ACTIVATE, wp);

    bool deactivated = LOWORD(wp) == WA_INACTIVE;
    if (deactivated && DeactivationIgnored()) return;

    HWND just_opened = host.GetJustOpenedPopup ? host.GetJustOpenedPopup() : nullptr;
    if (deactivated) {
        if (just_opened && just_opened == m_hWnd) ::SetActiveWindow(m_hWnd);
        if (m_hMainWindow) ::PostMessageA(m_hMainWindow, m.VolatileClose, 0, 0);
        ::PostMessageA(m_hWnd, m.VolatileLayerCheck, 0, 0);
    } else {
        if (!m_volatile && !m_tornOff && host.FoldSmartMenus) host.FoldSmartMenus();
        if (just_opened && just_opened != m_hWnd) ::SetActiveWindow(just_opened);
        if (!HostSays(host.IsThemeLoading)) EnterTabOrderAtFront();
    }

    if (DockToEdge >= 0) {
        APPBARDATA data = m_appBarData;
        data.cbSize = sizeof(data);
        data.hWnd = m_hWnd;
        ::SHAppBarMessage(ABM_ACTIVATE, &data);
    }
    if (m_hMainWindow && !HostSays(host.IsFullScreenAppActive)) {
        HWND after = reinterpret_cast<HWND>(::SendMessageA(
            m_hMainWindow, m.GetAfterWindow, reinterpret_cast<WPARAM>(m_hWnd), AlwaysOnTopOrder));
        if (after)
            ::SetWindowPos(m_hWnd, after, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER |
                               SWP_NOSENDCHANGING);
    }
}

bool CVellumMenuObject::OnVolatileClose() {
    if (!m_volatile || !m_hWnd) return false;
    if (DeactivationIgnored()) return false;

    HWND front = ::GetForegroundWindow();
    if (front) {
        HWND root = ::GetAncestor(front, GA_ROOT);
        if (::GetPropA(front, "TSConfigDialog") || (root && ::GetPropA(root, "TSConfigDialog")) ||
            ::GetPropA(front, "TS-NOCLOSEVOLITLESTEMPLY"))
            return false;
    }

    // The user works in this bar or in one of its popups (any depth).
    CVellumMenuObject* front_bar = LiveBarOfWindow(front);
    if (!IsUnrelatedBar(front_bar)) return false;

    // A popup that its item hides on close stays for the next opening.
    if (!m_associatedPopupItem && !m_hiddenUntilHotkey && !m_hideOnClose) {
        // A free bar closes for good. The window procedure still holds its
        // reference, so the object outlives this call.
        const BarMessages& m = GetBarMessages();
        HWND wnd = m_hWnd;
        Release();
        ::RemovePropA(wnd, "lpMenuObject");
        if (m_owningPopupItem && IsLiveItem(m_owningPopupItem))
            m_owningPopupItem->ProcessUserMessage(m.MenuObjectClosing,
                                                  reinterpret_cast<WPARAM>(this), 0);
        if (m_hMainWindow) ::PostMessageA(m_hMainWindow, m.VolatileClose, 0, 0);
        ::DestroyWindow(wnd);
        return true;
    }

    // A click on a tray icon must reach its owner before the bar hides.
    if (HasSystemTraySection(this))
        ::SetTimer(m_hWnd, kVolatileHideTimerId, kVolatileHideDelayMs, nullptr);
    else
        Hide(0);
    return false;
}
