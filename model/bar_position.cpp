// Placing a bar window: SetPos and its helpers, following a change of the
// monitor size, the bar's monitor, interactive moves and resizes with
// snapping, and turning a bar horizontal or vertical.
#include <windows.h>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/bar_placement.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_record.h"
#include "util/bar_registry.h"
#include "util/text.h"

namespace {

HDWP g_pendingBatch = nullptr;

bool HostSays(bool (*query)()) {
    return query && query();
}

bool FullScreenAppInFront() {
    return HostSays(GetBarHostServices().IsFullScreenAppActive);
}

// Brings the size to the bar's own rule along one axis (rules giving 0 or
// less are ignored).
void ApplyThicknessRules(CVellumMenuObject* bar, bool horizontalAxis, int* value) {
    const BarSizeRule& lo = bar->ptMIN;
    const BarSizeRule& hi = bar->ptMAX;
    int v = horizontalAxis ? bar->GetSize(lo.modifiers.x, lo.pixels.x, lo.subtract.x, 1, nullptr)
                           : bar->GetSize(lo.modifiers.y, lo.pixels.y, lo.subtract.y, 0, nullptr);
    if (v > 0 && *value < v) *value = v;
    v = horizontalAxis ? bar->GetSize(hi.modifiers.x, hi.pixels.x, hi.subtract.x, 1, nullptr)
                       : bar->GetSize(hi.modifiers.y, hi.pixels.y, hi.subtract.y, 0, nullptr);
    if (v > 0 && *value > v) *value = v;
}

// The bar to its docking edge: the band reserved with the shell, and the
// rectangle the bar then takes (monitor-relative).
void Dock(CVellumMenuObject* bar, int* x, int* y, int* cx, int* cy) {
    const int edge = bar->DockToEdge;
    if (!bar->m_appBarRegistered) bar->m_appBarRegistered = bar->RegisterAppBar(bar->m_hWnd, 1);
    if (edge == kEdgeLeft || edge == kEdgeRight)
        ApplyThicknessRules(bar, true, cx);
    else
        ApplyThicknessRules(bar, false, cy);

    const int uw = bar->m_monitorSize.cx;
    const int uh = bar->m_monitorSize.cy;
    const bool autohide = bar->UseAutohide != FALSE;
    RECT band = {};
    int overhang = 0;
    if (bar->m_skin) {
        const RECT& o = bar->m_skin->DockedOverhang;
        overhang = edge == kEdgeLeft ? o.left : edge == kEdgeTop ? o.top
                 : edge == kEdgeRight ? o.right : o.bottom;
    }
    if (autohide) overhang = 0;
    switch (edge) {
    case kEdgeTop: band = autohide ? RECT{0, 0, uw, 0} : RECT{0, 0, uw, *cy - overhang}; break;
    case kEdgeBottom:
        band = autohide ? RECT{0, uh, uw, uh} : RECT{0, uh - *cy + overhang, uw, uh};
        break;
    case kEdgeLeft: band = autohide ? RECT{0, 0, 0, uh} : RECT{0, 0, *cx - overhang, uh}; break;
    default: band = autohide ? RECT{uw, 0, uw, uh} : RECT{uw - *cx + overhang, 0, uw, uh}; break;
    }

    // The shell speaks screen coordinates.
    const POINT origin = bar->m_monitorOrigin;
    ::OffsetRect(&band, origin.x, origin.y);
    if (bar->m_appBarRegistered) bar->SetAppBarPosition(edge, &band, &bar->m_appBarData);
    ::OffsetRect(&band, -origin.x, -origin.y);
    switch (edge) {
    case kEdgeTop: band.bottom += overhang; break;
    case kEdgeBottom: band.top -= overhang; break;
    case kEdgeLeft: band.right += overhang; break;
    default: band.left -= overhang; break;
    }

    if (autohide) {
        *x = band.left;
        *y = band.top;
        if (edge == kEdgeLeft || edge == kEdgeRight)
            *cy = uh;
        else
            *cx = uw;
        if (edge == kEdgeBottom) *y -= *cy;
        if (edge == kEdgeRight) *x -= *cx;
    } else {
        *x = band.left;
        *y = band.top;
        *cx = band.right - band.left;
        *cy = band.bottom - band.top;
    }
}

// Moves the window with the foreground window's input attached, so that a
// change of its topmost state takes effect from a background process.
BOOL SetWindowPosAttached(HWND wnd, HWND after, int x, int y, int cx, int cy, UINT flags,
                          bool attach) {
    DWORD this_thread = ::GetCurrentThreadId();
    DWORD front_thread = 0;
    bool attached = false;
    if (attach) {
        HWND front = ::GetForegroundWindow();
        front_thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
        attached = front_thread && front_thread != this_thread &&
                   ::AttachThreadInput(this_thread, front_thread, TRUE);
    }
    BOOL ok = ::SetWindowPos(wnd, after, x, y, cx, cy, flags);
    if (attached) ::AttachThreadInput(this_thread, front_thread, FALSE);
    return ok;
}

DeferWindowPosFunction g_deferWindowPos = ::DeferWindowPos;

bool ShiftDown() { return ::GetKeyState(VK_SHIFT) < 0; }
bool AltDown() { return ::GetKeyState(VK_MENU) < 0; }

// The bottom edge of the bar lies on its monitor's bottom, on its work
// area's bottom, or on the edge of another bar window.
bool BottomIsShared(CVellumMenuObject* bar) {
    const LONG bottom = bar->m_placement.LastPos.y + bar->m_placement.LastSize.cy;
    if (bottom == bar->m_monitorSize.cy) return true;
    RECT work = {};
    GetMonitorWorkArea(bar->m_hMonitor, &work);
    if (bottom == work.bottom) return true;
    const LONG screen_bottom = bottom + bar->m_monitorOrigin.y;
    for (int i = 0; i < GetBarWindowCount(); ++i) {
        HWND other = GetBarWindowAt(i);
        if (!other || other == bar->m_hWnd) continue;
        RECT r;
        if (::GetWindowRect(other, &r) && (r.top == screen_bottom || r.bottom == screen_bottom))
            return true;
    }
    return false;
}

}  // namespace

// ---- deferred placement --------------------------------------------------------------------

void SetPendingDeferWindowPos(HDWP batch) {
    g_pendingBatch = batch;
}

HDWP GetPendingDeferWindowPos() {
    return g_pendingBatch;
}

DeferWindowPosFunction SetDeferWindowPosFunction(DeferWindowPosFunction function) {
    DeferWindowPosFunction before = g_deferWindowPos;
    g_deferWindowPos = function ? function : ::DeferWindowPos;
    return before;
}

// ---- SetPos ---------------------------------------------------------------------------------

int CVellumMenuObject::SetPos(int x, int y, int cx, int cy, RECT* out, int skipIfSizeUnchanged,
                              int noEdgeCorrection, int computeOnly) {
    if (m_loading) return 0;
    BarPlacement& place = m_placement;

    if (!m_monitorChangedDuringMove && UpdateResolution()) {
        UpdatePos();
        RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        if (out) {
            *out = RECT{place.LastPos.x, place.LastPos.y, place.LastPos.x + place.LastSize.cx,
                        place.LastPos.y + place.LastSize.cy};
        }
        return 1;
    }

    if (x == -1 && y == -1) {
        x = place.LastPos.x;
        y = place.LastPos.y;
    }
    bool size_unchanged = cx == -1 && cy == -1;
    if (cx == -1) cx = place.LastSize.cx;
    if (cy == -1) cy = place.LastSize.cy;
    if (x < 0) x = 0;
    if (y < 0) y = 0;

    SIZE delta = {0, 0};
    if (!noEdgeCorrection) {
        CorrectAutoSizeChange(&x, &y, &cx, &cy, -1, &delta, 1);
        // A size the rules changed is a change of size after all.
        if (cx != place.LastSize.cx || cy != place.LastSize.cy) size_unchanged = false;
    }

    bool topmost = AlwaysOnTop && !FullScreenAppInFront();
    if (DockToEdge < kEdgeLeft || DockToEdge > kEdgeBottom) {
        if (UseAutohide) topmost = true;
        RemoveAppBar();
    } else {
        topmost = true;
        if (m_hWnd) Dock(this, &x, &y, &cx, &cy);
    }
    if (FullScreenAppInFront()) topmost = false;

    // The z-order: topmost as wanted, else behind the window of the layer.
    HWND after = nullptr;
    UINT flags = SWP_NOACTIVATE;
    bool attach = false;
    const bool has_topmost =
        m_hWnd && (::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost && !has_topmost) {
        after = HWND_TOPMOST;
        m_topmostApplied = TRUE;
        attach = true;
    } else if (!topmost && has_topmost) {
        after = HWND_NOTOPMOST;
        m_topmostApplied = FALSE;
        attach = true;
    } else {
        flags = SWP_NOOWNERZORDER | SWP_NOACTIVATE;
        if (topmost && m_hMainWindow && m_hWnd)
            after = reinterpret_cast<HWND>(::SendMessageA(
                m_hMainWindow, GetBarMessages().GetAfterWindow,
                reinterpret_cast<WPARAM>(m_hWnd), AlwaysOnTopOrder));
        if (!after) flags |= SWP_NOZORDER;
    }
    if (size_unchanged) flags |= SWP_NOSIZE;

    if (skipIfSizeUnchanged &&
        (size_unchanged || (cx == place.LastSize.cx && cy == place.LastSize.cy)))
        return 0;

    place.LastPos = POINT{x, y};
    bool resized = false;
    if (!size_unchanged && (cx != place.LastSize.cx || cy != place.LastSize.cy)) {
        m_regionDirty = TRUE;
        m_relayoutPending = TRUE;
        place.LastSize = SIZE{cx, cy};
        resized = true;
    }

    if (m_autohide.hidden) {
        if (m_autohide.edge == kEdgeLeft || m_autohide.edge == kEdgeRight)
            m_autohide.offset += delta.cx;
        else if (m_autohide.edge == kEdgeTop || m_autohide.edge == kEdgeBottom)
            m_autohide.offset += delta.cy;
    }

    POINT at = {};
    UpdateAHPos(x, y, &at, 0);
    at.x += m_monitorOrigin.x;
    at.y += m_monitorOrigin.y;

    if (!computeOnly && m_hWnd) {
        if (HDWP batch = GetPendingDeferWindowPos()) {
            SetPendingDeferWindowPos(g_deferWindowPos(batch, m_hWnd, nullptr, at.x, at.y, cx, cy,
                                                      (flags | SWP_NOZORDER) & ~SWP_NOSIZE));
        } else {
            SetWindowPosAttached(m_hWnd, after, at.x, at.y, cx, cy, flags | SWP_NOSENDCHANGING,
                                 attach);
        }
        // Lay out once the window has its new size: the layout reads the
        // client rectangle, and a layout against the old one would cut the
        // sections' widths.
        if (resized && !GetPendingDeferWindowPos()) {
            m_relayoutPending = FALSE;
            RecalcRects(kRecalcNoRedraw, kRecalcKeepPos);
        }
    }

    if (out) *out = RECT{x, y, x + cx, y + cy};
    return 1;
}

int CVellumMenuObject::UpdatePos() {
    const BarPlacement& place = m_placement;
    return SetPos(place.LastPos.x, place.LastPos.y, place.LastSize.cx, place.LastSize.cy, nullptr,
                  0, 0, 0);
}

int CVellumMenuObject::UpdateResolution() {
    const int w = GetMonitorMetric(m_hMonitor, SM_CXSCREEN);
    const int h = GetMonitorMetric(m_hMonitor, SM_CYSCREEN);
    BarPlacement& place = m_placement;
    if (w <= 0 || h <= 0) return 0;
    if (w == place.LastScreenSize.cx && h == place.LastScreenSize.cy) return 0;
    if (place.LastScreenSize.cx <= 0) place.LastScreenSize.cx = w;
    if (place.LastScreenSize.cy <= 0) place.LastScreenSize.cy = h;
    const int dw = w - place.LastScreenSize.cx;
    const int dh = h - place.LastScreenSize.cy;
    if (place.bAlignX) place.LastPos.x += dw;
    if (place.bAlignY) place.LastPos.y += dh;
    if (place.bScaleCX) place.LastSize.cx += dw;
    if (place.bScaleCY) place.LastSize.cy += dh;
    if (place.bScaleX) place.LastPos.x += dw;
    if (place.bScaleY) place.LastPos.y += dh;
    place.LastScreenSize = SIZE{w, h};
    m_monitorSize = SIZE{w, h};
    return 1;
}

// ---- monitors -----------------------------------------------------------------------------

void CVellumMenuObject::UpdateCurrentMonitor(int updatePos) {
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    HMONITOR monitor = MonitorFromPointSafe(cursor.x, cursor.y);
    if (monitor == m_hMonitor) return;
    m_hMonitor = monitor;
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(info);
    LastMonitor[0] = '\0';
    if (monitor && GetMonitorInfoSafe(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
        tess::CopyText(LastMonitor, info.szDevice);
    UpdateMonitorPoints(updatePos);
}

void CVellumMenuObject::UpdateMonitorPoints(int updatePos) {
    POINT origin = {};
    GetMonitorOrigin(m_hMonitor, &origin);
    const SIZE size = {GetMonitorMetric(m_hMonitor, SM_CXSCREEN),
                       GetMonitorMetric(m_hMonitor, SM_CYSCREEN)};
    if (origin.x == m_monitorOrigin.x && origin.y == m_monitorOrigin.y &&
        size.cx == m_monitorSize.cx && size.cy == m_monitorSize.cy)
        return;
    m_monitorOrigin = origin;
    m_monitorSize = size;
    if (updatePos && !m_loading) UpdatePos();
}

int CVellumMenuObject::GetWindowRectRel(HWND, RECT* out) {
    if (!out || !m_hWnd) return 0;
    int ok = ::GetWindowRect(m_hWnd, out) ? 1 : 0;
    ::OffsetRect(out, -m_monitorOrigin.x, -m_monitorOrigin.y);
    return ok;
}

// ---- interactive placement ----------------------------------------------------------------------

int CVellumMenuObject::UserSetPos(int x, int y, int cx, int cy, int resizing) {
    BarPlacement& place = m_placement;
    if (cx == -1 && cy == -1) {
        cx = place.LastSize.cx;
        cy = place.LastSize.cy;
    }

    bool monitor_changed = false;
    if (!resizing) {
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        const POINT o = m_monitorOrigin;
        if (cursor.x < o.x || cursor.y < o.y || cursor.x > o.x + m_monitorSize.cx ||
            cursor.y > o.y + m_monitorSize.cy) {
            UpdateCurrentMonitor(0);
            if (o.x != m_monitorOrigin.x || o.y != m_monitorOrigin.y) {
                x += o.x - m_monitorOrigin.x;
                y += o.y - m_monitorOrigin.y;
                if (x + cx > m_monitorSize.cx) x = m_monitorSize.cx - cx;
                if (y + cy > m_monitorSize.cy) y = m_monitorSize.cy - cy;
                m_monitorChangedDuringMove = TRUE;
                monitor_changed = true;
            }
        }
    }
    if (x == -1 && y == -1) {
        x = place.LastPos.x;
        y = place.LastPos.y;
    }

    const bool popup = m_associatedPopupItem != nullptr;
    const bool shift = ShiftDown();
    const RECT old = {place.LastPos.x, place.LastPos.y, place.LastPos.x + place.LastSize.cx,
                      place.LastPos.y + place.LastSize.cy};

    if (resizing && popup) {
        SIZE size = {cx, cy};
        RECT corrected;
        CorrectAutoSizeChange(&size, &corrected, m_resizeEdge, nullptr, nullptr, 1);
        RECT changes = {corrected.left - old.left, corrected.top - old.top,
                        corrected.right - old.right, corrected.bottom - old.bottom};
        if (!shift) MoveBarGroup(&changes, 1);
        RECT r = {old.left + changes.left, old.top + changes.top, old.right + changes.right,
                  old.bottom + changes.bottom};
        SetPos(r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, 1, 1, 0);
        m_userPositioned = TRUE;
        return 1;
    }

    const bool snap = popup ? !AltDown() : !shift;
    if (snap) {
        const bool group_move = popup && !shift && !resizing;
        RECT test;
        if (group_move) {
            GetPopupGroupRect(m_associatedPopupItem, &test);
            ::OffsetRect(&test, x - place.LastPos.x, y - place.LastPos.y);
        } else {
            test = RECT{x, y, x + cx, y + cy};
        }
        const RECT group = test;
        // The lines are in screen coordinates.
        ::OffsetRect(&test, m_monitorOrigin.x, m_monitorOrigin.y);
        SnapRecord snapped = {};
        if (FindSnapEdges(m_hWnd, &snapped, &test, group_move ? m_associatedPopupItem : nullptr)) {
            const LONG l = snapped.left_line - m_monitorOrigin.x;
            const LONG r = snapped.right_line - m_monitorOrigin.x;
            const LONG t = snapped.top_line - m_monitorOrigin.y;
            const LONG b = snapped.bottom_line - m_monitorOrigin.y;
            const bool stepped_height =
                !DisplayVertically && m_skin && m_skin->ResizeBase >= 0;
            if (group_move) {
                if (snapped.left) x += l - group.left;
                else if (snapped.right) x += r - group.right;
                if (snapped.top) y += t - group.top;
                else if (snapped.bottom) y += b - group.bottom;
            } else if (!resizing) {
                if (snapped.left) x = l;
                else if (snapped.right) x = r - cx;
                if (snapped.top) y = t;
                else if (snapped.bottom) y = b - cy;
            } else if (!stepped_height) {
                if (snapped.left) {
                    cx += x - l;
                    x = l;
                } else if (snapped.right) {
                    cx = r - x;
                }
                if (snapped.top) {
                    cy += y - t;
                    y = t;
                } else if (snapped.bottom) {
                    cy = b - y;
                }
            }
        }
    }

    m_userPositioned = TRUE;
    if (resizing) {
        SetPos(DockToEdge == kEdgeRight ? x : -1, -1, cx, cy, nullptr, 1, 0, 0);
        RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    } else if (popup && !shift) {
        POINT offset = {x - place.LastPos.x, y - place.LastPos.y};
        MovePopupGroup(m_associatedPopupItem, &offset);
    } else {
        SetPos(x, y, cx, cy, nullptr, 0, 0, 0);
    }

    if (m_growthFollowsBottom) ResizingMovingUp = BottomIsShared(this) ? TRUE : FALSE;

    if (monitor_changed) {
        UpdateToDrawBitmap(nullptr, nullptr, nullptr);
        UpdateToDrawBitmap(nullptr, nullptr, nullptr);
    }
    return 1;
}

// ---- orientation ------------------------------------------------------------------------------

int CVellumMenuObject::ChangeOrientation(int vertical) {
    if (vertical)
        for (int i = 0; i < kMaxSections && m_sections[i]; ++i)
            m_sections[i]->EqualWidths = WidthResizableWhenVertical ? FALSE : TRUE;
    if ((DisplayVertically != FALSE) == (vertical != 0)) return 1;
    DisplayVertically = vertical ? TRUE : FALSE;
    DockToEdge = kEdgeNone;
    m_edgeChangeRunning = TRUE;
    SetPos(-1, -1, 10, 10, nullptr, 0, 0, 0);
    m_edgeChangeRunning = FALSE;
    ReopenPagesForOrientation(this);
    return 1;
}
