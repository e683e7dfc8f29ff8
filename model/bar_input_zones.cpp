// Moving and resizing a bar by its skin margins, and dragging section grips
// to resize or reorder sections: the zones, the cursors and the drag.
#include <algorithm>
#include "model/bar_input_internal.h"
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_record.h"
#include "util/bar_registry.h"

namespace {

enum : int {
    kResizeTop = 1, kResizeBottom = 2, kResizeLeft = 3, kResizeRight = 4,
    kResizeTopLeft = 5, kResizeTopRight = 6, kResizeBottomLeft = 7, kResizeBottomRight = 8,
};
constexpr int kMinResizeMargin = 2;
constexpr UINT kPressRepeatMs = 10;
constexpr int kGripSwapSlack = 10;

bool EdgeMovesTop(int e) { return e == kResizeTop || e == kResizeTopLeft || e == kResizeTopRight; }
bool EdgeMovesBottom(int e) {
    return e == kResizeBottom || e == kResizeBottomLeft || e == kResizeBottomRight;
}
bool EdgeMovesLeft(int e) { return e == kResizeLeft || e == kResizeTopLeft || e == kResizeBottomLeft; }
bool EdgeMovesRight(int e) {
    return e == kResizeRight || e == kResizeTopRight || e == kResizeBottomRight;
}

bool LeftButtonDown() { return ::GetKeyState(VK_LBUTTON) < 0; }

// Monitor-relative bounds within which the bar's top-left corner may lie.
RECT MoveBounds(CVellumMenuObject* bar) {
    RECT window = {};
    ::GetWindowRect(bar->m_hWnd, &window);
    LONG max_x = bar->m_monitorSize.cx - (window.right - window.left);
    LONG max_y = bar->m_monitorSize.cy - (window.bottom - window.top);
    return RECT{0, 0, std::max<LONG>(0, max_x), std::max<LONG>(0, max_y)};
}

void EndMoveAndResize(CVellumMenuObject* bar) {
    if (::GetCapture() == bar->m_hWnd) ::ReleaseCapture();
    if (bar->m_moving || bar->m_resizeEdge) GetBarInputState().move_ended_now = true;
    bar->m_moving = FALSE;
    bar->m_resizeEdge = 0;
}

bool IsVisibleSection(CVellumMenuSection* s) { return s && !s->IsHidden; }
bool IsResizableSection(CVellumMenuSection* s) { return IsVisibleSection(s) && s->bResizable; }

LONG Extent(CVellumMenuObject* bar, const RECT& r) {
    return bar->DisplayVertically ? r.bottom - r.top : r.right - r.left;
}
LONG Leading(CVellumMenuObject* bar, const RECT& r) {
    return bar->DisplayVertically ? r.top : r.left;
}
LONG Along(CVellumMenuObject* bar, POINT p) { return bar->DisplayVertically ? p.y : p.x; }

// Offers `left` pixels to the resizable sections from first in direction
// step; what none of them took comes back.
int OfferLength(CVellumMenuObject* bar, int first, int step, int left) {
    for (int i = first; left != 0 && i >= 0 && i < kMaxSections && bar->m_sections[i]; i += step) {
        CVellumMenuSection* s = bar->m_sections[i];
        if (!IsResizableSection(s)) continue;
        int width = Extent(bar, s->m_outerRect);
        int taken = s->SetWidth(width + left);
        left -= taken - width;
    }
    return left;
}

}  // namespace

// ---- zones and cursors --------------------------------------------------------------------

int CVellumMenuObject::IsInResizeBoundry(POINT screen) {
    if (!m_hWnd || !m_skin) return 0;
    RECT w;
    if (!::GetWindowRect(m_hWnd, &w)) return 0;
    const RECT& margins = m_skin->ResizeBorderSize;
    int l = std::max<int>(kMinResizeMargin, margins.left);
    int t = std::max<int>(kMinResizeMargin, margins.top);
    int r = std::max<int>(kMinResizeMargin, margins.right);
    int b = std::max<int>(kMinResizeMargin, margins.bottom);
    // The window rectangle's right and bottom edges belong to it here.
    if (screen.x < w.left || screen.x > w.right || screen.y < w.top || screen.y > w.bottom) return 0;
    bool in_left = screen.x < w.left + l;
    bool in_top = screen.y < w.top + t;
    bool in_right = screen.x > w.right - r;
    bool in_bottom = screen.y > w.bottom - b;
    if (!in_left && !in_top && !in_right && !in_bottom) return 0;

    switch (DockToEdge) {
    case kEdgeLeft: return in_right ? kResizeRight : 0;
    case kEdgeTop: return in_bottom ? kResizeBottom : 0;
    case kEdgeRight: return in_left ? kResizeLeft : 0;
    case kEdgeBottom: return in_top ? kResizeTop : 0;
    default: break;
    }
    if (in_top && in_left) return kResizeTopLeft;
    if (in_top && in_right) return kResizeTopRight;
    if (in_bottom && in_left) return kResizeBottomLeft;
    if (in_bottom && in_right) return kResizeBottomRight;
    if (in_top) return kResizeTop;
    if (in_bottom) return kResizeBottom;
    if (in_left) return kResizeLeft;
    return kResizeRight;
}

char* CVellumMenuObject::IsInMoveBoundry(POINT client) {
    if (DockToEdge >= 0 || !m_skin || !m_hWnd) return nullptr;
    RECT c;
    ::GetClientRect(m_hWnd, &c);
    if (!::PtInRect(&c, client)) return nullptr;
    const RECT& resize = m_skin->ResizeBorderSize;
    const RECT& move = m_skin->MoveBorderSize;
    bool has_margins = move.left > 0 || move.top > 0 || move.right > 0 || move.bottom > 0;
    if (!has_margins) return ::GetKeyState(VK_CONTROL) < 0 ? IDC_SIZEALL : nullptr;
    bool in = (move.left > 0 && client.x < resize.left + move.left) ||
              (move.top > 0 && client.y < resize.top + move.top) ||
              (move.right > 0 && client.x >= c.right - (resize.right + move.right)) ||
              (move.bottom > 0 && client.y >= c.bottom - (resize.bottom + move.bottom));
    return in ? IDC_SIZEALL : nullptr;
}

char* CVellumMenuObject::GetResizeCursor(int edge) {
    switch (edge) {
    case kResizeTop:
    case kResizeBottom: return IDC_SIZENS;
    case kResizeLeft:
    case kResizeRight: return IDC_SIZEWE;
    case kResizeTopLeft:
    case kResizeBottomRight: return IDC_SIZENWSE;
    case kResizeTopRight:
    case kResizeBottomLeft: return IDC_SIZENESW;
    default: return nullptr;
    }
}

void CVellumMenuObject::SmartSetCursor(char* cursor) {
    BarInputState& s = GetBarInputState();
    if (!s.cursor_allowed || !cursor || !m_hWnd) return;
    s.cursor_allowed = false;
    if (cursor == s.last_cursor) return;
    HCURSOR handle = ::LoadCursorA(nullptr, cursor);
    if (!handle) return;
    ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(handle));
    ::SetCursor(handle);
    s.last_cursor = cursor;
}

// ---- move, resize and grips -------------------------------------------------------------------

namespace {

void FollowMove(CVellumMenuObject* bar, POINT cursor) {
    BarInputState& s = GetBarInputState();
    // The grab offset is in screen coordinates; positions are relative to
    // the bar's monitor.
    LONG x = cursor.x - s.grab.x - bar->m_monitorOrigin.x;
    LONG y = cursor.y - s.grab.y - bar->m_monitorOrigin.y;
    x = std::min(std::max(x, s.bounds.left), s.bounds.right);
    y = std::min(std::max(y, s.bounds.top), s.bounds.bottom);
    HMONITOR before = bar->m_hMonitor;
    bar->UserSetPos(x, y, -1, -1, 0);
    if (bar->m_hMonitor != before) {
        bar->m_monitorChangedDuringMove = TRUE;
        s.bounds = MoveBounds(bar);
    }
}

void FollowResize(CVellumMenuObject* bar, POINT cursor) {
    BarInputState& s = GetBarInputState();
    int edge = bar->m_resizeEdge;
    RECT r;
    ::GetWindowRect(bar->m_hWnd, &r);
    if (EdgeMovesTop(edge)) r.top = cursor.y - s.grab.y;
    if (EdgeMovesBottom(edge)) r.bottom = cursor.y + s.grab.y;
    if (EdgeMovesLeft(edge)) r.left = cursor.x - s.grab.x;
    if (EdgeMovesRight(edge)) r.right = cursor.x + s.grab.x;
    int height = r.bottom - r.top;
    int snapped = height;
    bar->CheckHeightByMultiple(&snapped, 0);
    if (snapped != height) {
        if (EdgeMovesTop(edge)) r.top = r.bottom - snapped;
        else if (EdgeMovesBottom(edge)) r.bottom = r.top + snapped;
    }
    bar->UserSetPos(r.left - bar->m_monitorOrigin.x, r.top - bar->m_monitorOrigin.y,
                    r.right - r.left, r.bottom - r.top, 1);
}

bool StartResize(CVellumMenuObject* bar, int edge, POINT cursor) {
    BarInputState& s = GetBarInputState();
    RECT r;
    ::GetWindowRect(bar->m_hWnd, &r);
    s.grab = {0, 0};
    if (EdgeMovesLeft(edge)) s.grab.x = cursor.x - r.left;
    if (EdgeMovesRight(edge)) s.grab.x = r.right - cursor.x;
    if (EdgeMovesTop(edge)) s.grab.y = cursor.y - r.top;
    if (EdgeMovesBottom(edge)) s.grab.y = r.bottom - cursor.y;
    bar->m_resizeEdge = edge;
    ::SetCapture(bar->m_hWnd);
    bar->m_mouseCaptured = TRUE;
    if (bar->m_associatedPopupItem) BuildBarGroup(bar->m_hWnd, bar->m_associatedPopupItem, nullptr);
    return true;
}

bool StartMove(CVellumMenuObject* bar, POINT cursor) {
    BarInputState& s = GetBarInputState();
    const BarHostServices& host = GetBarHostServices();
    if (bar->m_volatile && host.IsTearOffEnabled && host.IsTearOffEnabled()) {
        bar->m_volatile = FALSE;
        bar->m_tornOff = TRUE;
        if (host.ForgetJustOpenedPopup) host.ForgetJustOpenedPopup();
    }
    RECT r;
    ::GetWindowRect(bar->m_hWnd, &r);
    s.grab = {cursor.x - r.left, cursor.y - r.top};
    s.bounds = MoveBounds(bar);
    bar->m_moving = TRUE;
    ::SetCapture(bar->m_hWnd);
    bar->m_mouseCaptured = TRUE;
    return true;
}

// Reorders when the pointer passed a neighbour; true when two sections swapped.
bool ReorderByGrip(CVellumMenuObject* bar, POINT client) {
    BarInputState& s = GetBarInputState();
    int held = s.held_grip;
    CVellumMenuSection* section = bar->m_sections[held];
    LONG pos = Along(bar, client);
    int other = -1;
    if (pos < Leading(bar, section->m_outerRect)) {
        for (int i = held - 1; i >= 0 && other < 0; --i) {
            CVellumMenuSection* s2 = bar->m_sections[i];
            if (IsVisibleSection(s2) && Leading(bar, s2->m_outerRect) + kGripSwapSlack > pos) other = i;
        }
    } else if (pos > Leading(bar, section->m_outerRect) + Extent(bar, section->m_outerRect)) {
        for (int i = held + 1; i < kMaxSections && bar->m_sections[i] && other < 0; ++i) {
            CVellumMenuSection* s2 = bar->m_sections[i];
            if (IsVisibleSection(s2) && Leading(bar, s2->m_outerRect) + kGripSwapSlack < pos) other = i;
        }
    }
    if (other < 0) return false;
    std::swap(bar->m_sections[held], bar->m_sections[other]);
    s.held_grip = other;
    bar->SetModified();
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    return true;
}

void ResizeByGrip(CVellumMenuObject* bar, POINT client) {
    BarInputState& s = GetBarInputState();
    int held = s.held_grip;
    CVellumMenuSection* section = bar->m_sections[held];
    LONG pos = Along(bar, client);
    int d = Along(bar, SectionGetLastGripPoint(section)) - pos;
    if (d == 0) return;
    for (int i = held - 1; i >= 0; --i) {
        CVellumMenuSection* before = bar->m_sections[i];
        if (!IsResizableSection(before) || Leading(bar, before->m_outerRect) > pos) continue;
        int width = Extent(bar, before->m_outerRect);
        int taken = before->SetWidth(width - d);
        bar->m_layoutChanged = TRUE;
        int change = taken - width;
        if (change != 0) {
            int left = OfferLength(bar, held, 1, -change);
            if (bar->DisplayVertically && left != 0) OfferLength(bar, i - 1, -1, left);
        }
        break;
    }
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

}  // namespace

int CVellumMenuObject::ProcessMouseMessage_Flexible(UINT msg, WPARAM, LPARAM) {
    BarInputState& s = GetBarInputState();
    s.cursor_allowed = true;
    if (!m_hWnd) return 0;
    POINT cursor;
    ::GetCursorPos(&cursor);
    POINT client = cursor;
    ::ScreenToClient(m_hWnd, &client);

    if (msg == WM_MOUSEMOVE) {
        if ((m_moving || m_resizeEdge) && !LeftButtonDown()) {
            EndMoveAndResize(this);
        } else if (m_moving) {
            FollowMove(this, cursor);
            return 1;
        } else if (m_resizeEdge) {
            FollowResize(this, cursor);
            return 1;
        } else {
            int edge = IsInResizeBoundry(cursor);
            if (edge) {
                SmartSetCursor(GetResizeCursor(edge));
            } else if (char* move = IsInMoveBoundry(client)) {
                SmartSetCursor(move);
            }
        }
    } else if (msg == WM_LBUTTONDOWN) {
        int edge = IsInResizeBoundry(cursor);
        if (edge) return StartResize(this, edge, cursor) ? 1 : 0;
        if (IsInMoveBoundry(client)) return StartMove(this, cursor) ? 1 : 0;
    } else if (msg == WM_LBUTTONUP) {
        EndMoveAndResize(this);
    }

    if (msg == WM_LBUTTONUP) {
        if (m_gripTimerId) ::KillTimer(m_hWnd, m_gripTimerId);
        m_gripTimerRunning = FALSE;
        if (s.grip_bar == this && s.held_grip >= 0) {
            s.held_grip = -1;
            s.grip_bar = nullptr;
            if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        }
        return m_mouseCaptured;
    }

    // Section grips, while no item is pressed and no release is ignored.
    if (m_tracking.pressed_item || m_tracking.ignore_next_release) {
        if (msg == WM_MOUSEMOVE) SmartSetCursor(IDC_ARROW);
        return 0;
    }
    char* grip_cursor = DisplayVertically ? IDC_SIZENS : IDC_SIZEWE;
    switch (msg) {
    case WM_MOUSEMOVE:
        if (s.grip_bar == this && s.held_grip >= 0 && s.held_grip < GetSectionCount()) {
            if (!LeftButtonDown()) {
                s.held_grip = -1;
                s.grip_bar = nullptr;
                if (::GetCapture() == m_hWnd) ::ReleaseCapture();
                break;
            }
            if (!ReorderByGrip(this, client)) ResizeByGrip(this, client);
            SmartSetCursor(grip_cursor);
            return 1;
        }
        for (int i = 0; i < kMaxSections && m_sections[i]; ++i) {
            if (SectionIsInGrip(m_sections[i], client)) {
                SmartSetCursor(grip_cursor);
                return 0;
            }
        }
        SmartSetCursor(IDC_ARROW);
        return 0;
    case WM_LBUTTONDOWN:
        if (!m_gripTimerId) m_gripTimerId = static_cast<int>(ReserveTimerID());
        ::SetTimer(m_hWnd, m_gripTimerId, kPressRepeatMs, nullptr);
        m_gripTimerRunning = TRUE;
        for (int i = 0; i < kMaxSections && m_sections[i]; ++i) {
            if (!SectionIsInGrip(m_sections[i], client)) continue;
            SectionSetLastGripPoint(m_sections[i], client);
            s.held_grip = i;
            s.grip_bar = this;
            m_mouseCaptured = TRUE;
            ::SetCapture(m_hWnd);
            SmartSetCursor(IDC_SIZEWE);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
    return 0;
}
