// A bar's mouse and menu input: the item under the pointer and the pressed
// item, the hover delay that opens popups, clicks ignored after a popup
// closed, and the right-button drag that links a bar to a popup item.
#include "model/bar_input_internal.h"
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/callback_guard.h"
#include "util/handles.h"
#include "util/text.h"
#include "model/bar_hold.h"

namespace {

constexpr DWORD kClickIgnoreMs = 165;
constexpr UINT kLinkCommand = 1;
constexpr UINT kUnlinkCommand = 2;

bool IsPointerMessage(UINT msg) {
    return msg == WM_MOUSEMOVE || msg == WM_NCMOUSEMOVE || msg == WM_MOUSELEAVE;
}


// The hover delay ran out: the item still under the pointer opens its popup.
void OnPopupDelay(HWND wnd) {
    ::KillTimer(wnd, kHoverPopupTimerId);
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (!bar) return;
    BarHold hold(bar);
    CVellumMenuItem* item = bar->m_pendingHoverItem;
    bar->m_pendingHoverItem = nullptr;
    if (!item || !IsLiveItem(item) || item->m_pBar != bar) return;
    if (IsProgramDragRunning() || !item->m_pSection || bar->m_moving) return;
    if (ItemPopupDelay(item) < 0) return;
    if (bar->HitTestItems(BarCursorPoint(bar)) != item) return;
    UINT key = ItemPopupRequiredKeys(item);
    if (FindOpenPopupOfBar(bar) || key == 0 || ::GetKeyState(static_cast<int>(key)) < 0)
        item->TrackPopupMenu(1);
}

void CALLBACK PopupDelayTimerProc(HWND wnd, UINT, UINT_PTR, DWORD) {
    tess::GuardTimerProc([wnd] { OnPopupDelay(wnd); });
}

// Follows the pointer over the items: pressed item, hovered item, hover delay.
// False when the handling of this message ends here.
bool TrackPointer(CVellumMenuObject* bar, UINT msg) {
    PointerTracking& t = bar->m_tracking;
    CVellumMenuItem* under = msg == WM_MOUSELEAVE ? nullptr : bar->HitTestItems(BarCursorPoint(bar));
    bool left_down = ::GetKeyState(VK_LBUTTON) < 0;

    if (CVellumMenuItem* pressed = t.pressed_item) {
        if (under && under != pressed) {
            HMENU popup = ItemPopupMenu(under);
            if (left_down || popup) {
                bar->EndTracking(pressed);
                if (IsLiveItem(pressed)) pressed->RedrawItem();
                if (!IsLiveItem(under)) return false;
                if (popup) {
                    ::PostMessageA(bar->m_hWnd, GetBarMessages().StartTrackingNewItemDelay,
                                   reinterpret_cast<WPARAM>(under), 0);
                    return false;
                }
                bar->StartTracking(under, 0);
            }
        } else if (!under && !t.captured) {
            bar->EndTracking(pressed);
            t.ignore_next_release = TRUE;
            if (IsLiveItem(pressed)) pressed->RedrawItem();
        }
    }

    if (t.ignore_next_release) {
        if (!left_down) {
            t.ignore_next_release = FALSE;
        } else if (under && under != t.pressed_item) {
            bar->StartTracking(under, ItemPopupMenu(under) ? 1 : 0);
            under->RedrawItem();
        }
    }

    CVellumMenuItem* hovered = t.hovered_item;
    if (under != hovered) {
        if (bar->m_hWnd) ::KillTimer(bar->m_hWnd, kHoverPopupTimerId);
        bar->m_pendingHoverItem = nullptr;
        t.hovered_item = under;
        if (hovered && hovered != t.pressed_item && IsLiveItem(hovered)) {
            hovered->SetState(kStateNormal, 0);
            hovered->RedrawItem();
        }
        if (under && under != t.pressed_item) {
            under->SetState(kStateMouseOver, 0);
            int delay = ItemPopupDelay(under);
            if (delay >= 0 && bar->m_hWnd) {
                bar->m_pendingHoverItem = under;
                ::SetTimer(bar->m_hWnd, kHoverPopupTimerId, static_cast<UINT>(delay),
                           PopupDelayTimerProc);
            }
            under->RedrawItem();
        }
    } else if (under && under->m_state == kStateNormal && under != t.pressed_item) {
        under->SetState(kStateMouseOver, 0);
        if (under->m_state == kStateMouseOver) under->RedrawItem();
    }
    return true;
}

// The one-entry menu that links the bar where the right button went down to
// a popup item of this bar, or unlinks it.
void OfferPopupLink(CVellumMenuObject* bar, CVellumMenuObject* source, CVellumMenuItem* item) {
    BarHold hold_source(source);
    PopupBarList list = GetPopupItemBarList(item);
    bool linked = PopupBarListHas(list, source->Title);
    const char* item_title = item->m_title ? item->m_title : "";
    char text[kBarTitleSize + kBarTitleSize + 64];
    tess::FormatText(text, sizeof(text),
                     linked ? "Unlink the bar \"%s\" from the popup item \"%s\"."
                            : "Link the bar \"%s\" to the popup item \"%s\".",
                     source->Title, item_title);
    tess::ScopedMenu menu(::CreatePopupMenu());
    if (!menu) return;
    ::AppendMenuA(menu.get(), MF_STRING, linked ? kUnlinkCommand : kLinkCommand, text);
    POINT at;
    ::GetCursorPos(&at);
    UINT chosen = static_cast<UINT>(::TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, bar->m_hWnd, nullptr));
    // The menu ran a modal loop: the item may be gone, its list with it.
    if (!chosen || !IsLiveItem(item) || !IsLiveBar(source)) return;
    list = GetPopupItemBarList(item);
    if (LinkBarInPopupList(list, source->Title, chosen == kLinkCommand))
        RefreshPopupItemAfterLink(item);
}

void OnRightButtonUp(CVellumMenuObject* bar, int handled) {
    BarInputState& s = GetBarInputState();
    CVellumMenuObject* source = s.right_drag_source;
    if (source == bar || (source && !IsLiveBar(source))) source = nullptr;
    if (handled) {
        POINT client = BarCursorPoint(bar);
        CVellumMenuSection* section = bar->HitTest(client);
        CVellumMenuItem* item = section ? section->HitTestSection(client) : nullptr;
        if (source && source->Title[0]) {
            if (item && ItemIsPopupItemType(item)) OfferPopupLink(bar, source, item);
        } else {
            ShowBarContextMenu(bar, section, item);
        }
    }
    s.right_drag_source = nullptr;
    bar->m_contextMenuRunning = FALSE;
    bar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
}

}  // namespace

// ---- tracking -----------------------------------------------------------------------------

int CVellumMenuObject::StartTracking(CVellumMenuItem* item, int captured) {
    if (!item) return 0;
    if (m_tracking.pressed_item && m_tracking.pressed_item != item)
        EndTracking(m_tracking.pressed_item);
    m_tracking.pressed_item = item;
    m_tracking.last_pressed_item = item;
    item->SetState(kStateSelected, 0);
    m_tracking.ignore_next_release = FALSE;
    m_tracking.captured = captured ? TRUE : FALSE;
    return 1;
}

int CVellumMenuObject::EndTracking(CVellumMenuItem* item) {
    if (!item || item != m_tracking.pressed_item) return 0;
    BarHold hold(this);
    if (m_tracking.captured && m_hWnd) ::SendMessageA(m_hWnd, WM_CANCELMODE, 0, 0);
    m_tracking.pressed_item = nullptr;
    if (!IsLiveItem(item)) return 1;
    item->SetState(ItemIsMouseReallyOver(item) ? kStateMouseOver : kStateNormal, 0);
    CVellumMenuObject* owner = item->m_pBar;
    if (owner && IsLiveBar(owner)) owner->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
    return 1;
}

void CVellumMenuObject::StartClickIgnoreDelay() {
    m_ignoreClicksUntil = ::GetTickCount() + kClickIgnoreMs;
    // -1 means "no delay" to the window procedure.
    if (m_ignoreClicksUntil == static_cast<DWORD>(-1)) m_ignoreClicksUntil = 0;
}

void CVellumMenuObject::ClearRightDragSource() {
    BarInputState& s = GetBarInputState();
    if (s.right_drag_source == this) s.right_drag_source = nullptr;
    if (s.grip_bar == this) {
        s.grip_bar = nullptr;
        s.held_grip = -1;
    }
}

// ---- mouse -----------------------------------------------------------------------------------

void CVellumMenuObject::ProcessMouseMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!m_hWnd) return;
    BarHold hold(this);
    BarInputState& s = GetBarInputState();

    if (msg == WM_MOUSEMOVE) {
        if (!m_movedSinceShown) {
            POINT cursor;
            ::GetCursorPos(&cursor);
            if (cursor.x == m_pointerAtShow.x && cursor.y == m_pointerAtShow.y) return;
            m_movedSinceShown = TRUE;
        }
        if (m_contextMenuRunning) return;
        if (wp || lp) {
            m_autohide.pointer_entered = TRUE;
            if (UseAutohide) AutoHide(0, 1);
        }
    }

    s.move_ended_now = false;
    BOOL was_moving = m_moving;
    ResizeEdge was_resizing = m_resizeEdge;
    int taken = ProcessMouseMessage_Flexible(msg, wp, lp);
    if (taken) {
        if (msg == WM_LBUTTONUP) m_mouseCaptured = FALSE;
        return;
    }
    // The sections still see a move or resize that ended with this message.
    bool restore = s.move_ended_now;
    s.move_ended_now = false;

    const BarMessages& m = GetBarMessages();
    if (msg == m.LButtonUpBad || msg == WM_LBUTTONUP) {
        if (m_tracking.ignore_next_release) {
            m_tracking.ignore_next_release = FALSE;
        } else if (CVellumMenuItem* pressed = m_tracking.pressed_item) {
            if (!m_tracking.captured) {
                EndTracking(pressed);
                if (IsLiveItem(pressed)) pressed->RedrawItem();
            }
        }
    }

    if (IsPointerMessage(msg) && !TrackPointer(this, msg)) return;

    if (msg == WM_RBUTTONDOWN && !IsInternalBar(this)) s.right_drag_source = this;
    if (msg == WM_RBUTTONUP) {
        m_contextMenuRunning = TRUE;
        s.cursor_allowed = true;
        SmartSetCursor(IDC_ARROW);
    }

    if (restore) {
        m_moving = was_moving;
        m_resizeEdge = was_resizing;
    }
    int handled = 1;
    POINT pt = BarCursorPoint(this);
    for (int i = 0; i < kMaxSections && m_sections[i]; ++i) {
        CVellumMenuSection* section = m_sections[i];
        section->ProcessMouseMessage(msg, wp, lp, pt, &handled);
        if (!IsLiveBar(this) || !m_hWnd) break;
    }
    if (restore) {
        m_moving = FALSE;
        m_resizeEdge = 0;
    }

    if (msg == WM_RBUTTONUP) OnRightButtonUp(this, handled);
    if (msg == WM_LBUTTONUP) m_mouseCaptured = FALSE;
}

// Does nothing by design.
void CVellumMenuObject::ProcessMouseMessage_Standard(UINT, WPARAM, LPARAM) {}

// ---- menus -------------------------------------------------------------------------------------

void CVellumMenuObject::ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp) {
    BarHold hold(this);
    if (msg == WM_ENTERIDLE) ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
    for (int i = 0; i < kMaxSections && m_sections[i]; ++i) m_sections[i]->ProcessMenuMessage(msg, wp, lp);
}

// Both do nothing by design.
void CVellumMenuObject::ProcessMenuMessage_Flexible(UINT, WPARAM, LPARAM) {}
void CVellumMenuObject::ProcessMenuMessage_Standard(UINT, WPARAM, LPARAM) {}
