// CVellumMenuItem::PlaceLayerBesideItem: a group of open bars (a layer, or
// the listed bars of a popup item) moves as one beside the item, on the side
// where it fits on the screen, or to the screen's centre.
#include "model/layer_placement.h"
#include "model/live_objects.h"
#include "model/popup_item_calls.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/bar_registry.h"

namespace {

// The window rectangle with the autohide offset; the plain window rectangle
// when the bar cannot tell.
RECT BarRectWithAH(CVellumMenuObject* bar) {
    RECT rect = {};
    if (bar->m_hWnd) ::GetWindowRect(bar->m_hWnd, &rect);
    RECT with_ah = rect;
    if (bar->GetWindowRectWithAH(&with_ah, 1)) rect = with_ah;
    return rect;
}

CVellumMenuObject* GroupBar(HWND wnd, const LayerPlacement* p) {
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (!bar || !p) return nullptr;
    if (p->layer >= 0) return bar->AlwaysOnTopOrder == p->layer ? bar : nullptr;
    const PopupItemCalls& calls = GetPopupItemCalls();
    if (!p->item || !calls.IsBarInList || !calls.IsBarInList(p->item, wnd)) return nullptr;
    return bar;
}

int Centre(int a, int b) { return (a + b) / 2; }

// One axis of a rectangle: left and right, or top and bottom.
struct Span {
    int lo, hi;
};

// The side taken on one axis (0: towards hi, 1: towards lo) and the move.
struct AxisChoice {
    int side;
    int delta;
};

// The group opens past the item's far edge (towards hi) when it fits there
// or is asked to, else past its near edge; unasked, a group that fits
// nowhere goes to the side with more room.
AxisChoice OpenBesideOnAxis(Span group, Span item, Span screen, bool wants_hi, bool wants_lo) {
    const bool fits_hi = group.hi + item.hi - group.lo <= screen.hi;
    const bool fits_lo = group.lo + item.lo - group.hi >= screen.lo;
    bool hi;
    if (wants_hi)
        hi = fits_hi;
    else if (wants_lo)
        hi = !fits_lo;
    else
        hi = fits_hi || (!fits_lo && Centre(screen.lo, screen.hi) >= Centre(item.lo, item.hi));
    if (hi) return AxisChoice{0, item.hi - group.lo};
    return AxisChoice{1, item.lo - group.hi};
}

// The group lines up with the item's near edge unless that runs off the
// screen (or it is asked to), then with its far edge; hi_extra is the pixel
// the far alignment adds on its axis.
AxisChoice AlignOnAxis(Span group, Span item, Span screen, bool wants_hi, bool wants_lo,
                       int hi_extra) {
    const bool lo_aligned_overflows = group.hi + item.lo - group.lo > screen.hi;
    const bool hi_aligned_overflows = group.lo + item.hi - group.hi < screen.lo;
    bool hi;
    if (wants_hi)
        hi = !hi_aligned_overflows;
    else if (wants_lo)
        hi = lo_aligned_overflows;
    else
        hi = lo_aligned_overflows &&
             (!hi_aligned_overflows || Centre(screen.lo, screen.hi) >= Centre(item.lo, item.hi));
    if (hi) return AxisChoice{1, item.hi - group.hi + hi_extra};
    return AxisChoice{0, item.lo - group.lo};
}

}  // namespace

BOOL CALLBACK LayerExtentEnumProc(HWND wnd, LPARAM lp) {
    LayerPlacement* p = reinterpret_cast<LayerPlacement*>(lp);
    if (!p) return FALSE;
    CVellumMenuObject* bar = GroupBar(wnd, p);
    if (!bar) return TRUE;
    RECT r = BarRectWithAH(bar);
    bool first = !p->found;
    p->found = TRUE;
    if (first || r.left < p->extent.left) {
        p->extent.left = r.left;
        p->leftBar = bar;
    }
    if (first || r.top < p->extent.top) {
        p->extent.top = r.top;
        p->topBar = bar;
    }
    if (first || r.right > p->extent.right) {
        p->extent.right = r.right;
        p->rightBar = bar;
    }
    if (first || r.bottom > p->extent.bottom) {
        p->extent.bottom = r.bottom;
        p->bottomBar = bar;
    }
    return TRUE;
}

BOOL CALLBACK MoveLayerBarsEnumProc(HWND wnd, LPARAM lp) {
    LayerPlacement* p = reinterpret_cast<LayerPlacement*>(lp);
    if (!p) return FALSE;
    CVellumMenuObject* bar = GroupBar(wnd, p);
    if (!bar) return TRUE;
    RECT r = BarRectWithAH(bar);
    ::OffsetRect(&r, p->dx, p->dy);
    BOOL up = bar->ResizingMovingUp, left = bar->ResizingMovingLeft;
    // Held at 0 while moving, so the move itself does not grow the bar the
    // other way.
    bar->ResizingMovingUp = bar->ResizingMovingLeft = FALSE;
    if (p->dx || p->dy)
        bar->SetPos(r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, 0, 0, 0);
    bar->ResizingMovingLeft = p->horizontalSide == 0 || p->horizontalSide == 1 ? p->horizontalSide : left;
    bar->ResizingMovingUp = p->verticalSide == 0 || p->verticalSide == 1 ? p->verticalSide : up;
    return TRUE;
}

void CVellumMenuItem::PlaceLayerBesideItem(int layer, int direction) {
    if (!m_pBar) return;
    LayerPlacement p = {};
    p.layer = layer;
    p.item = layer < 0 ? this : nullptr;
    p.extent = RECT{-1, -1, -1, -1};
    p.horizontalSide = p.verticalSide = -1;
    EnumBarWindows(LayerExtentEnumProc, reinterpret_cast<LPARAM>(&p));
    if (!p.found) return;

    const RECT E = p.extent;
    RECT bar_rect = BarRectWithAH(m_pBar);
    RECT I;
    GetRealItemRect(&I);
    ::OffsetRect(&I, bar_rect.left, bar_rect.top);
    I.top += 1;
    I.bottom -= 1;
    const PopupItemCalls& calls = GetPopupItemCalls();
    if (calls.AlignsWithBar && calls.AlignsWithBar(this)) {
        if (m_pBar->DisplayVertically) {
            I.left = bar_rect.left;
            I.right = bar_rect.right;
        } else {
            I.top = bar_rect.top;
            I.bottom = bar_rect.bottom;
        }
    }
    const RECT S = {0, 0, GetMonitorMetric(m_pBar->m_hMonitor, SM_CXSCREEN),
                    GetMonitorMetric(m_pBar->m_hMonitor, SM_CYSCREEN)};

    bool beside = m_pBar->DisplayVertically != FALSE;
    if (direction >= 1 && direction <= 4) beside = false;
    if (direction >= 5 && direction <= 8) beside = true;
    // Which forced directions lean which way.
    const bool wants_right = direction == 2 || direction == 4 || direction == 7 || direction == 8;
    const bool wants_left = direction == 1 || direction == 3 || direction == 5 || direction == 6;
    const bool wants_down = direction == 3 || direction == 4 || direction == 6 || direction == 8;
    const bool wants_up = direction == 1 || direction == 2 || direction == 5 || direction == 7;

    if (direction == 9) {
        p.dx = (S.right + E.left - E.right) / 2 - E.left;
        p.dy = (S.bottom + E.top - E.bottom) / 2 - E.top;
    } else if (beside) {
        const AxisChoice across = OpenBesideOnAxis(Span{E.left, E.right}, Span{I.left, I.right},
                                                   Span{S.left, S.right}, wants_right, wants_left);
        const AxisChoice along = AlignOnAxis(Span{E.top, E.bottom}, Span{I.top, I.bottom},
                                             Span{S.top, S.bottom}, wants_down, wants_up, 1);
        p.horizontalSide = across.side;
        p.dx = across.delta;
        p.verticalSide = along.side;
        p.dy = along.delta;
    } else {
        const AxisChoice across = OpenBesideOnAxis(Span{E.top, E.bottom}, Span{I.top, I.bottom},
                                                   Span{S.top, S.bottom}, wants_down, wants_up);
        const AxisChoice along = AlignOnAxis(Span{E.left, E.right}, Span{I.left, I.right},
                                             Span{S.left, S.right}, wants_right, wants_left, 0);
        p.verticalSide = across.side;
        p.dy = across.delta;
        p.horizontalSide = along.side;
        p.dx = along.delta;
    }
    EnumBarWindows(MoveLayerBarsEnumProc, reinterpret_cast<LPARAM>(&p));
}
