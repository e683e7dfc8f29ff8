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
        bool fits_right = E.right + I.right - E.left <= S.right;
        bool fits_left = E.left + I.left - E.right >= S.left;
        bool right;
        if (wants_right)
            right = fits_right;
        else if (wants_left)
            right = !fits_left;
        else
            right = fits_right ||
                    (!fits_left && Centre(S.left, S.right) >= Centre(I.left, I.right));
        if (right) {
            p.horizontalSide = 0;
            p.dx = I.right - E.left;
        } else {
            p.horizontalSide = 1;
            p.dx = I.left - E.right;
        }
        bool tops_overflow = E.bottom + I.top - E.top > S.bottom;
        bool bottoms_overflow = E.top + I.bottom - E.bottom < S.top;
        bool bottoms;
        if (wants_down)
            bottoms = !bottoms_overflow;
        else if (wants_up)
            bottoms = tops_overflow;
        else
            bottoms = tops_overflow &&
                      (!bottoms_overflow || Centre(S.top, S.bottom) >= Centre(I.top, I.bottom));
        if (bottoms) {
            p.verticalSide = 1;
            p.dy = I.bottom - E.bottom + 1;
        } else {
            p.verticalSide = 0;
            p.dy = I.top - E.top;
        }
    } else {
        bool fits_below = E.bottom + I.bottom - E.top <= S.bottom;
        bool fits_above = E.top + I.top - E.bottom >= S.top;
        bool below;
        if (wants_down)
            below = fits_below;
        else if (wants_up)
            below = !fits_above;
        else
            below = fits_below ||
                    (!fits_above && Centre(S.top, S.bottom) >= Centre(I.top, I.bottom));
        if (below) {
            p.verticalSide = 0;
            p.dy = I.bottom - E.top;
        } else {
            p.verticalSide = 1;
            p.dy = I.top - E.bottom;
        }
        bool left_overflows = E.right + I.left - E.left > S.right;
        bool right_overflows = E.left + I.right - E.right < S.left;
        bool rights;
        if (wants_right)
            rights = !right_overflows;
        else if (wants_left)
            rights = left_overflows;
        else
            rights = left_overflows &&
                     (!right_overflows || Centre(S.left, S.right) >= Centre(I.left, I.right));
        if (rights) {
            p.horizontalSide = 1;
            p.dx = I.right - E.right;
        } else {
            p.horizontalSide = 0;
            p.dx = I.left - E.left;
        }
    }
    EnumBarWindows(MoveLayerBarsEnumProc, reinterpret_cast<LPARAM>(&p));
}
