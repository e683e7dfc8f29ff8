// What a bar does for its sections, items and plug-ins (timer ids, item
// clean-up, timed sends, window icons), the registered messages it acts on,
// and showing and hiding.
#include <windows.h>
#include <commctrl.h>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"

namespace {

// Brings a window to the front even when another thread holds the input.
void ForceForeground(HWND wnd) {
    HWND front = ::GetForegroundWindow();
    DWORD front_thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    DWORD this_thread = ::GetCurrentThreadId();
    bool attached = front_thread && front_thread != this_thread &&
                    ::AttachThreadInput(this_thread, front_thread, TRUE);
    ::SetForegroundWindow(wnd);
    if (attached) ::AttachThreadInput(this_thread, front_thread, FALSE);
}

bool HostSays(bool (*query)()) {
    return query && query();
}

// The item named by a message belongs to this bar and is alive.
CVellumMenuItem* ItemOfBar(CVellumMenuObject* bar, WPARAM wp) {
    void* p = reinterpret_cast<void*>(wp);
    if (!IsLiveItem(p)) return nullptr;
    auto* item = static_cast<CVellumMenuItem*>(p);
    return item->m_pBar == bar ? item : nullptr;
}

// A plug-in or the stats monitor hands the bar an int or a buffer by
// pointer. Written through only when a caller of this thread sent it and the
// memory is there to write: a posted pointer may come from anywhere.
// The main window relays such messages to every bar, so a message posted to
// the main window counts as posted here too.
bool MayWriteThrough(CVellumMenuObject* bar, UINT msg, WPARAM wp, LPARAM lp, const void* p,
                     size_t size) {
    if (::InSendMessage()) return false;
    const BarHostServices& host = GetBarHostServices();
    if (host.IsSynchronousCall) {
        if (!host.IsSynchronousCall(bar->m_hWnd, msg, wp, lp)) return false;
        if (bar->m_hMainWindow && !host.IsSynchronousCall(bar->m_hMainWindow, msg, wp, lp))
            return false;
    }
    return IsWritableCallerBuffer(p, size);
}

}  // namespace

// ---- small services -------------------------------------------------------------------------

unsigned CVellumMenuObject::ReserveTimerID() {
    return static_cast<unsigned>(++m_lastTimerId);
}

void CVellumMenuObject::ItemBeingDestroyed(CVellumMenuItem* item) {
    if (!item) return;
    if (m_tracking.pressed_item == item) m_tracking.pressed_item = nullptr;
    if (m_tracking.last_pressed_item == item) m_tracking.last_pressed_item = nullptr;
    if (m_tracking.hovered_item == item) m_tracking.hovered_item = nullptr;
    if (m_tracking.extra_item1 == item) m_tracking.extra_item1 = nullptr;
    if (m_tracking.extra_item2 == item) m_tracking.extra_item2 = nullptr;
}

unsigned long CVellumMenuObject::SendMessageTimeoutA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp,
                                                     UINT flags, UINT timeout) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(wnd, msg, wp, lp, flags, timeout, &result)) return 0;
    return static_cast<unsigned long>(result);
}

HICON CVellumMenuObject::GetWindowSmallIcon(HWND wnd) {
    if (!wnd) return nullptr;
    HICON icon = reinterpret_cast<HICON>(
        SendMessageTimeoutA(wnd, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG, kGetIconTimeoutMs));
    if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(wnd, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(
            SendMessageTimeoutA(wnd, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, kGetIconTimeoutMs));
    if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(wnd, GCLP_HICON));
    return icon;
}

void CVellumMenuObject::UpdateHotkey(int unregisterOnly) {
    if (m_hotkeyId && m_hWnd) ::UnregisterHotKey(m_hWnd, m_hotkeyId);
    m_hotkeyId = 0;
    if (!unregisterOnly) RegisterBarHotkey();
}

// ---- relations -------------------------------------------------------------------------------

bool CVellumMenuObject::IsUnrelatedBar(CVellumMenuObject* other) {
    // Follow other -> its owning popup item -> that item's bar ... The walk is
    // bounded: a cycle of popup items must not hang the program.
    CVellumMenuObject* bar = other;
    for (int depth = 0; bar && depth < kBarRegistrySlots; ++depth) {
        if (bar == this) return false;
        CVellumMenuItem* item = bar->m_owningPopupItem;
        if (!item || !IsLiveItem(item)) break;
        bar = item->m_pBar;
    }
    return true;
}

// ---- showing and hiding ------------------------------------------------------------------------

void CVellumMenuObject::Show(int sync) {
    if (!m_hWnd) return;
    const BarHostServices& host = GetBarHostServices();
    if (HostSays(host.IsThemeLoading) && (SetAsHidden || bHideBarUntilHotkey)) return;
    SetAsHidden = FALSE;
    if (m_layerHidden || bWasHiddenOnLastCloseByPopup) return;
    if (AlwaysOnTop && host.IsLayerHidden && host.IsLayerHidden(AlwaysOnTopOrder)) {
        UpdateHiddenLayers();
        return;
    }
    m_movedSinceShown = FALSE;
    if (sync)
        ::SendMessageA(m_hWnd, GetBarMessages().MyShowWindow, 1, 0);
    else
        ::PostMessageA(m_hWnd, GetBarMessages().MyShowWindow, 1, 0);
    ::SetActiveWindow(m_hWnd);
}

void CVellumMenuObject::Hide(int sync) {
    if (!m_hWnd) return;
    m_shownByPopupItem = FALSE;
    if (sync)
        ::SendMessageA(m_hWnd, GetBarMessages().MyShowWindow, 0, 0);
    else
        ::PostMessageA(m_hWnd, GetBarMessages().MyShowWindow, 0, 0);
    if (m_keyboardItem) {
        m_keyboardItem->SetState(kStateNormal, 0);
        m_keyboardItem->RedrawItem();
    }
}

void CVellumMenuObject::HideAsSetting(int hidden) {
    SetAsHidden = hidden ? TRUE : FALSE;
    if (hidden)
        Hide(0);
    else
        Show(0);
    SetAsHidden = hidden ? TRUE : FALSE;
    SetModifiedSilent();
}

void CVellumMenuObject::UpdateHiddenLayers() {
    const BarHostServices& host = GetBarHostServices();
    bool layer_hidden =
        AlwaysOnTop && host.IsLayerHidden && host.IsLayerHidden(AlwaysOnTopOrder);
    if (layer_hidden) {
        if ((m_hWnd && ::IsWindowVisible(m_hWnd)) || !m_layerHidden) {
            m_layerHidden = TRUE;
            Hide(0);
        }
    } else if (m_layerHidden) {
        m_layerHidden = FALSE;
        Show(0);
    }
}

// ---- registered messages -------------------------------------------------------------------------

void CVellumMenuObject::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const BarMessages& m = GetBarMessages();
    const BarHostServices& host = GetBarHostServices();

    if (msg == WM_HOTKEY) {
        if (wp != 0 && wp == m_hotkeyId)
            ::PostMessageA(m_hWnd, WM_BARACTIVATE, reinterpret_cast<WPARAM>(this), 0);
    } else if (msg == WM_BARWINKEY) {
        if (RespondToWindowsKey) ::PostMessageA(m_hWnd, WM_BARACTIVATE, 0, 0);
    } else if (msg == WM_BARACTIVATE) {
        // Compared, never followed: any process may post this.
        if (wp == reinterpret_cast<WPARAM>(this) || (wp == 0 && RespondToWindowsKey)) {
            if (m_hWnd) ForceForeground(m_hWnd);
            if (bReshowUnderMouse && DockToEdge < 0) ReshowUnderPointer();
            if (m_hWnd && !::IsWindowVisible(m_hWnd)) Show(0);
            if (UseAutohide) AutoHide(0, 1);
        }
    }

    if (msg == m.ThemeLoadingDone) {
        if (bWasHiddenOnLastCloseByPopup) {
            bWasHiddenOnLastCloseByPopup = FALSE;
            if (!m_associatedPopupItem) Show(0);
        }
        if (AlwaysOnTopOrder > 0) {
            m_regionDirty = TRUE;
            RedrawVellumWindow();
            if (m_hWnd) ::SetForegroundWindow(m_hWnd);
        }
    }

    if (msg == m.ShouldEnableMousehook) {
        int* answer = reinterpret_cast<int*>(wp);
        if (UseAutohide && MayWriteThrough(this, msg, wp, lp, answer, sizeof(int))) *answer = 1;
        return;
    }
    if (msg == m.HideBarExternal) {
        HideAsSetting(wp ? 1 : 0);
        return;
    }

    if (msg == m.ReloadSkin) {
        ReloadSkin(1);
        m_regionDirty = TRUE;
        RecalcRects(1, 1);
    }
    if (msg == m.DoAutohide) AutoHide(UseAutohide, 1);
    if (UseAutohide) {
        const UINT edge_messages[4] = {m.AutoHideShowLeft, m.AutoHideShowTop, m.AutoHideShowRight,
                                       m.AutoHideShowBottom};
        for (int edge = 0; edge < 4; ++edge)
            if (msg == edge_messages[edge] && m_autohide.edge == edge) OnAutohideEdgeMessage(edge);
    }

    // Requests from plug-ins, which name items and buffers by pointer.
    if (msg == m.PluginMarkBarModified) {
        SetModified();
        return;
    }
    if (msg == m.PluginSetItemState) {
        if (CVellumMenuItem* item = ItemOfBar(this, wp)) item->SetState(static_cast<UINT>(lp), 0);
        return;
    }
    if (msg == m.PluginRedrawItem) {
        if (CVellumMenuItem* item = ItemOfBar(this, wp)) item->RedrawItem();
        return;
    }
    if (msg == m.PluginRefreshItemImages) {
        if (CVellumMenuItem* item = ItemOfBar(this, wp)) {
            item->RefreshIcon();
            item->RedrawItem();
        }
        return;
    }
    if (msg == m.PluginRecalcAllItems) {
        RecalcRects(1, 1);
        return;
    }
    if (msg == m.PluginMakePathRelative || msg == m.PluginMakePathAbsolute) {
        const char* path = reinterpret_cast<const char*>(wp);
        char* out = reinterpret_cast<char*>(lp);
        if (IsReadableCallerBuffer(path, 1) && MayWriteThrough(this, msg, wp, lp, out, MAX_PATH))
            ApplyItemPathRequest(msg == m.PluginMakePathRelative, path, out);
    }
    if (msg == m.PluginReserveTimerId) {
        int* out = reinterpret_cast<int*>(wp);
        if (MayWriteThrough(this, msg, wp, lp, out, sizeof(int)))
            *out = static_cast<int>(ReserveTimerID());
        return;
    }

    if (msg == m.ThemeClosingCheckModified) {
        if (m_layoutChanged || m_modifiedSilently) m_modified = TRUE;
    }

    if (msg == m.OnTopAppShownOrHidden && AlwaysOnTop && m_hWnd) {
        HWND front = ::GetForegroundWindow();
        DWORD front_thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
        DWORD this_thread = ::GetCurrentThreadId();
        bool attached = front_thread && front_thread != this_thread &&
                        ::AttachThreadInput(this_thread, front_thread, TRUE);
        bool topmost = (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOSENDCHANGING;
        HWND place;
        if (HostSays(host.IsFullScreenAppActive))
            place = topmost ? HWND_NOTOPMOST : HWND_TOP;
        else
            place = topmost ? HWND_TOP : HWND_TOPMOST;
        for (int twice = 0; twice < 2; ++twice) ::SetWindowPos(m_hWnd, place, 0, 0, 0, 0, flags);
        if (HostSays(host.IsFullScreenAppActive) && wp)
            ::SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, flags);
        if (attached) ::AttachThreadInput(this_thread, front_thread, FALSE);
        if (front) ::SetForegroundWindow(front);
    }

    if (msg == m.StatsUpdated && bUseActiveWindowsTitle) RedrawVellumWindow();

    if (msg == m.SkinChanging) {
        UpdateAlpha();
        int relayout = 0;
        for (int i = 0; i < kMaxSections && m_sections[i]; ++i)
            m_sections[i]->ProcessUserMessage(msg, reinterpret_cast<WPARAM>(&relayout), 0);
        int height = m_placement.LastSize.cy;
        if (CheckHeightByMultiple(&height, 1) && height != m_placement.LastSize.cy) {
            m_placement.LastSize.cy = height;
            UpdatePos();
        }
        if (relayout) RecalcRects(1, 1);
        return;
    }

    if (msg == m.TaskbarCreated) {
        m_appBarRegistered = FALSE;
        UpdatePos();
    }

    if (msg == WM_NOTIFY) OnToolTipNeedText(lp);
    if (msg == WM_TIMER) AnimatorTimer(wp);
    // Compared only: the item that goes away is forgotten as the opener.
    if (msg == m.PopupItemClosing && m_owningPopupItem &&
        wp == reinterpret_cast<WPARAM>(m_owningPopupItem))
        m_owningPopupItem = nullptr;
    if (msg == m.StartTrackingNewItemDelay) {
        if (CVellumMenuItem* item = ItemOfBar(this, wp)) {
            RedrawVellumWindow();
            if (!item->TrackPopupMenu(0)) StartTracking(item, 0);
        }
    }
    if (msg == m.UpdateHiddenLayers) UpdateHiddenLayers();

    for (int i = 0; i < kMaxSections && m_sections[i]; ++i)
        m_sections[i]->ProcessUserMessage(msg, wp, lp);
}

void CVellumMenuObject::OnToolTipNeedText(LPARAM lp) {
    // Only the bar's own tooltip control asks; its notification lies in this
    // process. Anything else is left alone.
    if (::InSendMessage()) return;
    if (!m_hToolTips || !IsReadableCallerBuffer(reinterpret_cast<void*>(lp), sizeof(NMHDR)))
        return;
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
    if (hdr->hwndFrom != m_hToolTips || hdr->code != TTN_NEEDTEXTA) return;
    if (!IsWritableCallerBuffer(reinterpret_cast<void*>(lp), sizeof(NMTTDISPINFOA))) return;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
    // The tool's id is the item it stands for.
    void* item_ptr = reinterpret_cast<void*>(info->hdr.idFrom);
    static char empty[1] = "";
    CVellumMenuItem* item = IsLiveItem(item_ptr) ? static_cast<CVellumMenuItem*>(item_ptr) : nullptr;
    info->lpszText = item && item->m_title ? item->m_title : empty;
    info->hinst = nullptr;
}
