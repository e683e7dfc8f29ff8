// CVellumMenuItem_Popup::PositionPopupBar: where the child bar opens beside
// its item, in a chosen direction or on the side where it fits. Coordinates
// are relative to the item bar's monitor, as SetPos takes them.
#include "model/vellum_menu_object.h"
#include "skins/skin_record.h"
#include "types/popup_item.h"
#include "util/bar_registry.h"
#include "util/text.h"

namespace {

constexpr int kMeasureVertical = 5000;
constexpr int kMeasureHorizontal = 10;

RECT RectWithAH(CVellumMenuObject* bar) {
    RECT rect = {};
    if (bar->m_hWnd) ::GetWindowRect(bar->m_hWnd, &rect);
    ::OffsetRect(&rect, -bar->m_monitorOrigin.x, -bar->m_monitorOrigin.y);
    RECT with_ah = rect;
    if (bar->GetWindowRectWithAH(&with_ah, 1)) rect = with_ah;
    return rect;
}

SIZE RectSize(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

// The natural size: the bar laid out in a square of n pixels.
SIZE MeasureNaturalSize(CVellumMenuObject* child, int n) {
    child->m_measuring = TRUE;
    child->SetPos(0, 0, n, n, nullptr, 0, 0, 0);
    child->m_measuring = FALSE;
    return RectSize(RectWithAH(child));
}

void SetChildPos(CVellumMenuObject* child, int x, int y, SIZE size) {
    child->SetPos(x, y, size.cx, size.cy, nullptr, 0, 0, 0);
}

int EdgeBufferTop(const CVellumMenuObject* bar) {
    return bar && bar->m_skin ? bar->m_skin->EdgeBuffer.top : 0;
}

}  // namespace

void CVellumMenuItem_Popup::PositionPopupBar() {
    CVellumMenuObject* child = m_childBar;
    if (!AutoReposition || !child || !m_pBar) return;
    CVellumMenuObject* bar = AnchorBar();

    child->m_hMonitor = bar->m_hMonitor;
    tess::CopyText(child->LastMonitor, bar->LastMonitor);
    child->UpdateMonitorPoints(1);
    const int sw = GetMonitorMetric(bar->m_hMonitor, SM_CXSCREEN);
    const int sh = GetMonitorMetric(bar->m_hMonitor, SM_CYSCREEN);
    RECT child_rect = RectWithAH(child);
    const RECT bar_rect = RectWithAH(bar);
    RECT work;
    GetMonitorWorkArea(child->m_hMonitor, &work);
    ::OffsetRect(&work, -child->m_monitorOrigin.x, -child->m_monitorOrigin.y);

    POINT cursor = {};
    ::GetCursorPos(&cursor);
    cursor.x -= bar->m_monitorOrigin.x;
    cursor.y -= bar->m_monitorOrigin.y;
    RECT anchor;
    if (m_openAtCursor) {
        POINT client = cursor;
        client.x -= bar_rect.left;
        client.y -= bar_rect.top;
        anchor = RECT{client.x, client.y, client.x, client.y};
    } else {
        GetRealItemRect(&anchor);
    }
    if (m_plain) child->DisplayVertically = TRUE;

    SIZE size = PreserveSize ? RectSize(child_rect)
                             : MeasureNaturalSize(child, child->DisplayVertically
                                                             ? kMeasureVertical
                                                             : kMeasureHorizontal);
    const int w = size.cx, h = size.cy;

    if (PopupDirection >= kPopupUpAlignLeft && PopupDirection <= kPopupCentred) {
        RECT a = anchor;
        ::OffsetRect(&a, bar_rect.left, bar_rect.top);
        int x = 0, y = 0;
        switch (PopupDirection) {
        case kPopupUpAlignLeft: x = a.left; y = a.top - h; break;
        case kPopupUpAlignRight: x = a.right - w; y = a.top - h; break;
        case kPopupDownAlignLeft: x = a.left; y = a.bottom; break;
        case kPopupDownAlignRight: x = a.right - w; y = a.bottom; break;
        case kPopupLeftAlignTop: x = a.left - w; y = a.top; break;
        case kPopupLeftAlignBottom: x = a.left - w; y = a.bottom - h; break;
        case kPopupRightAlignTop: x = a.right; y = a.top; break;
        case kPopupRightAlignBottom: x = a.right; y = a.bottom - h; break;
        default: x = (sw - w) / 2; y = (sh - h) / 2; break;
        }
        SetChildPos(child, x, y, size);
        return;
    }

    if (bar->DisplayVertically) {
        if (PreserveSize) {
            int t = m_openAtCursor ? 0 : EdgeBufferTop(child);
            int x = bar_rect.right + w > work.right ? bar_rect.left - w : bar_rect.right;
            int y = bar_rect.top + anchor.top - t;
            if (y + h > work.bottom) y -= y + h - work.bottom;
            if (x + w > work.right) x -= x + w - work.right;
            SetChildPos(child, x, y, size);
            return;
        }
        size = MeasureNaturalSize(child, kMeasureVertical);
        const int vw = size.cx, vh = size.cy;
        int x, y;
        if (m_openAtCursor) {
            x = cursor.x + vw > sw ? cursor.x - vw : cursor.x;
            y = cursor.y;
        } else {
            x = bar_rect.right + vw > sw ? bar_rect.left - vw : bar_rect.right;
            y = bar_rect.top + anchor.top - EdgeBufferTop(m_pBar);
        }
        BOOL up = FALSE, left = FALSE;
        if (y + vh > work.bottom) {
            y -= y + vh - work.bottom;
            up = TRUE;
        }
        if (x + vw > work.right) {
            x -= x + vw - work.right;
            left = TRUE;
        }
        SetChildPos(child, x, y, size);
        child->ResizingMovingUp = up;
        child->ResizingMovingLeft = left;
        return;
    }

    if (PreserveSize) {
        int y = bar_rect.bottom + h > work.bottom ? bar_rect.top - h : bar_rect.bottom;
        int x = bar_rect.left + anchor.left;
        if (y + h > work.bottom) y -= y + h - work.bottom;
        if (x + w > work.right) x -= x + w - work.right;
        SetChildPos(child, x, y, size);
        return;
    }
    int x = bar_rect.left + anchor.left;
    int y = m_openAtCursor ? cursor.y : bar_rect.bottom;
    BOOL up = FALSE, left = FALSE;
    if (y + h > sh) {
        // Above the item.
        y -= h + (anchor.bottom - anchor.top);
        up = TRUE;
    }
    const RECT limits = m_openAtCursor ? RECT{0, 0, sw, sh} : work;
    if (x < limits.left) x = limits.left;
    if (y < limits.top) {
        y = limits.top;
        up = FALSE;
    }
    if (x + w > sw) {
        x = sw - w;
        left = TRUE;
    }
    if (y + h > limits.bottom) {
        y = limits.bottom - h;
        up = TRUE;
    }
    if (x + w > limits.right) {
        x = limits.right - w;
        left = TRUE;
    }
    if (y < limits.top) y = limits.top;
    if (x < limits.left) x = limits.left;
    SetChildPos(child, x, y, size);
    child->ResizingMovingUp = up;
    child->ResizingMovingLeft = left;
}
