// Autohide: a bar slides off its screen edge when the pointer leaves it and
// back when the pointer comes to it. The offset from LastPos grows along the
// edge's axis in steps of an eighth of the way on the slide timer; the watch
// timer decides when a shown bar hides again.
#include <windows.h>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/bar_placement.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "skins/skin_record.h"
#include "util/callback_guard.h"

namespace {

constexpr UINT kSlideMs = 5;
constexpr UINT kWatchMs = 100;
constexpr DWORD kUnenteredShowMs = 10000;
constexpr int kHotMargin = 10;
constexpr int kSlideSteps = 8;

bool Horizontal(int edge) { return edge == kEdgeLeft || edge == kEdgeRight; }

// The edge a free bar lies nearest to; ties go to the edge along which the
// bar is longer, or to the edge whose axis differs from the others.
int NearestEdge(const int distance[4], SIZE size) {
    int best = kEdgeLeft;
    int ties[3];
    int tie_count = 0;
    for (int e = kEdgeTop; e <= kEdgeBottom; ++e) {
        if (distance[e] < distance[best]) {
            best = e;
            tie_count = 0;
        } else if (distance[e] == distance[best]) {
            ties[tie_count++] = e;
        }
    }
    if (tie_count == 0) return best;
    auto length = [&](int e) { return Horizontal(e) ? size.cy : size.cx; };
    if (tie_count == 1) return length(ties[0]) > length(best) ? ties[0] : best;
    // All four equal: the right edge drops out first.
    int edges[3] = {best, ties[0], ties[1]};
    if (tie_count == 3) {
        edges[0] = kEdgeLeft;
        edges[1] = kEdgeTop;
        edges[2] = kEdgeBottom;
    }
    int horizontal = 0;
    for (int e : edges) horizontal += Horizontal(e) ? 1 : 0;
    const bool want_horizontal = horizontal == 1;
    for (int e : edges)
        if (Horizontal(e) == want_horizontal) return e;
    return best;
}

// The pointer relative to the bar's monitor, as the stored rectangles are.
POINT PointerOnMonitor(const CVellumMenuObject* bar) {
    POINT p = {};
    ::GetCursorPos(&p);
    p.x -= bar->m_monitorOrigin.x;
    p.y -= bar->m_monitorOrigin.y;
    return p;
}

void SlideStep(HWND wnd) {
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (!bar) {
        ::KillTimer(wnd, kAutohideSlideTimerId);
        return;
    }
    if (!bar->AHTimerProcInternal()) {
        ::KillTimer(wnd, kAutohideSlideTimerId);
        bar->m_autohide.slide_running = FALSE;
    }
}

void Watch(HWND wnd) {
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (!bar) {
        ::KillTimer(wnd, kAutohideWatchTimerId);
        return;
    }
    // The user works in a bar (this one, or one of its popups) or in a page.
    HWND front = ::GetForegroundWindow();
    if (front && (::GetPropA(front, "lpMenuObject") || ::GetPropA(front, "TSConfigDialog")))
        return;
    const AutohideState& a = bar->m_autohide;
    const POINT p = PointerOnMonitor(bar);
    if (a.pointer_entered) {
        if (::PtInRect(&a.hot_rect, p)) return;
    } else if (::GetTickCount() - a.show_tick < kUnenteredShowMs && ::PtInRect(&a.edge_strip, p)) {
        return;
    }
    bar->AutoHide(1, 1);
}

}  // namespace

void CALLBACK AutoHideSlideTimerProc(HWND wnd, UINT, UINT_PTR, DWORD) {
    tess::GuardTimerProc([wnd] { SlideStep(wnd); });
}

void CALLBACK AutoHideWatchTimerProc(HWND wnd, UINT, UINT_PTR, DWORD) {
    tess::GuardTimerProc([wnd] { Watch(wnd); });
}

int CVellumMenuObject::AutoHide(int hide, int animate) {
    AutohideState& a = m_autohide;
    if (!UseAutohide || hide) {
        if (m_hWnd) ::KillTimer(m_hWnd, kAutohideWatchTimerId);
        a.slide_running = FALSE;
        if (!UseAutohide && hide) return 0;
    }
    if ((a.hidden != FALSE) == (hide != 0)) return 0;
    a.slide_running = TRUE;
    a.hidden = hide ? TRUE : FALSE;

    const POINT pos = m_placement.LastPos;
    const SIZE size = m_placement.LastSize;
    const int w = m_monitorSize.cx;
    const int h = m_monitorSize.cy;
    if (DockToEdge >= kEdgeLeft && DockToEdge <= kEdgeBottom) {
        a.edge = DockToEdge;
    } else if (ForcedAutoHideEdge >= kEdgeLeft && ForcedAutoHideEdge <= kEdgeBottom) {
        a.edge = ForcedAutoHideEdge;
    } else {
        const int distance[4] = {pos.x, pos.y, w - size.cx - pos.x, h - size.cy - pos.y};
        a.edge = NearestEdge(distance, size);
    }
    a.direction = a.edge == kEdgeLeft || a.edge == kEdgeTop ? -1 : 1;

    a.pointer_entered = FALSE;
    if (UseAutohide && !hide) {
        RECT hot = {pos.x - kHotMargin, pos.y - kHotMargin, pos.x + size.cx + kHotMargin,
                    pos.y + size.cy + kHotMargin};
        RECT strip;
        switch (a.edge) {
        case kEdgeLeft: hot.left = 0; break;
        case kEdgeTop: hot.top = 0; break;
        case kEdgeRight: hot.right = w; break;
        default: hot.bottom = h; break;
        }
        strip = hot;
        if (Horizontal(a.edge)) {
            strip.top = 0;
            strip.bottom = h;
        } else {
            strip.left = 0;
            strip.right = w;
        }
        a.hot_rect = hot;
        a.edge_strip = strip;
        a.show_tick = ::GetTickCount();
        if (m_hWnd) ::SetTimer(m_hWnd, kAutohideWatchTimerId, kWatchMs, AutoHideWatchTimerProc);
    }

    int target = 0;
    switch (a.edge) {
    case kEdgeLeft: target = pos.x + size.cx; break;
    case kEdgeTop: target = pos.y + size.cy; break;
    case kEdgeRight: target = w - pos.x; break;
    default: target = h - pos.y; break;
    }
    if (!bIgnoreSkinAutohideSettings && m_skin) {
        const RECT& keep = m_skin->PixelsToShowOnThisEdgeOnAutohide;
        switch (a.edge) {
        case kEdgeLeft: target -= keep.right; break;
        case kEdgeTop: target -= keep.bottom; break;
        case kEdgeRight: target -= keep.left; break;
        default: target -= keep.top; break;
        }
    }
    a.step = target / kSlideSteps;
    if (a.step < 1) a.step = 1;
    if (!hide) target = 0;
    a.target = target;

    if (a.offset == a.target) {
        // Nothing to slide: the window is where it belongs.
        a.slide_running = FALSE;
        return 1;
    }
    if (animate && m_hWnd) {
        AHTimerProcInternal();
        UpdateAHPos(0, 0, nullptr, 1);
        ::SetTimer(m_hWnd, kAutohideSlideTimerId, kSlideMs, AutoHideSlideTimerProc);
    } else {
        a.offset = a.target;
        UpdateAHPos(0, 0, nullptr, 1);
        a.slide_running = FALSE;
    }
    return 1;
}

int CVellumMenuObject::AHTimerProcInternal() {
    AutohideState& a = m_autohide;
    if (a.hidden) {
        if (a.offset > a.target) a.offset = a.target;
        if (a.offset == a.target) return 0;
        a.offset += a.step;
        if (a.offset > a.target) a.offset = a.target;
    } else {
        if (a.offset < 0) a.offset = 0;
        if (a.offset == 0) return 0;
        a.offset -= a.step;
        if (a.offset < 0) a.offset = 0;
    }
    UpdateAHPos(0, 0, nullptr, 1);
    return 1;
}

int CVellumMenuObject::UpdateAHPos(int x, int y, POINT* out, int useStored) {
    POINT p = useStored ? m_placement.LastPos : POINT{x, y};
    const AutohideState& a = m_autohide;
    if (Horizontal(a.edge))
        p.x += a.offset * a.direction;
    else if (a.edge == kEdgeTop || a.edge == kEdgeBottom)
        p.y += a.offset * a.direction;
    if (out) {
        *out = p;
        return 1;
    }
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, p.x + m_monitorOrigin.x, p.y + m_monitorOrigin.y,
                       m_placement.LastSize.cx, m_placement.LastSize.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return 1;
}

int CVellumMenuObject::GetWindowRectWithAH(RECT* out, int relative) {
    if (!out) return 0;
    *out = RECT{};
    if (m_hWnd) ::GetWindowRect(m_hWnd, out);
    const AutohideState& a = m_autohide;
    if (Horizontal(a.edge))
        ::OffsetRect(out, -a.offset * a.direction, 0);
    else if (a.edge == kEdgeTop || a.edge == kEdgeBottom)
        ::OffsetRect(out, 0, -a.offset * a.direction);
    if (relative) ::OffsetRect(out, -m_monitorOrigin.x, -m_monitorOrigin.y);
    return 1;
}

int CVellumMenuObject::GetWindowRectWithAHInternal(RECT* out, int) {
    if (!out) return 0;
    POINT p = {};
    UpdateAHPos(0, 0, &p, 1);
    *out = RECT{p.x, p.y, p.x + m_placement.LastSize.cx, p.y + m_placement.LastSize.cy};
    return 1;
}

void CVellumMenuObject::OnAutohideEdgeMessage(int edge) {
    if (!UseAutohide || m_autohide.edge != edge) return;
    const POINT p = PointerOnMonitor(this);
    const POINT pos = m_placement.LastPos;
    const SIZE size = m_placement.LastSize;
    const bool along = Horizontal(edge) ? p.y >= pos.y && p.y <= pos.y + size.cy
                                        : p.x >= pos.x && p.x <= pos.x + size.cx;
    if (along) AutoHide(0, 1);
}

void CVellumMenuObject::AskStatsMonitorForMouseHook() {
    const BarHostServices& host = GetBarHostServices();
    if (host.UpdateMouseHook) host.UpdateMouseHook();
}
