// Snapping a bar to the work area and to other bars, and moving the bars of
// one popup group together.
#include <windows.h>
#include <cstdlib>
#include <vector>
#include "model/bar_placement.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/bar_registry.h"

namespace {

bool Near(LONG a, LONG b) {
    return std::labs(a - b) <= kSnapDistance;
}

// Snaps one side to line when it lies near it; true when it did.
bool Snap(LONG side, LONG line, BOOL* flag, LONG* value) {
    if (!Near(side, line)) return false;
    *flag = TRUE;
    *value = line;
    return true;
}

// The bars of owner's popup group, in registration order.
std::vector<CVellumMenuObject*> GroupBars(CVellumMenuItem* owner) {
    std::vector<CVellumMenuObject*> bars;
    if (!owner) return bars;
    const int count = GetBarWindowCount();
    for (int i = 0; i < count; ++i) {
        CVellumMenuObject* bar = LiveBarOfWindow(GetBarWindowAt(i));
        if (bar && bar->m_associatedPopupItem == owner) bars.push_back(bar);
    }
    return bars;
}

}  // namespace

int FindSnapEdges(HWND bar, SnapRecord* record, const RECT* rect, CVellumMenuItem* groupOwner) {
    if (!record) return 0;
    *record = SnapRecord{};
    RECT r = {};
    if (rect)
        r = *rect;
    else if (!bar || !::GetWindowRect(bar, &r))
        return 0;
    SnapRecord& s = *record;

    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (!Snap(r.left, work.left, &s.left, &s.left_line)) Snap(r.right, work.right, &s.right, &s.right_line);
    if (!Snap(r.top, work.top, &s.top, &s.top_line)) Snap(r.bottom, work.bottom, &s.bottom, &s.bottom_line);

    for (HWND other = ::FindWindowExA(nullptr, nullptr, kBarWindowClass, nullptr); other;
         other = ::FindWindowExA(nullptr, other, kBarWindowClass, nullptr)) {
        if (other == bar || !::IsWindowVisible(other)) continue;
        if (groupOwner) {
            CVellumMenuObject* other_bar = LiveBarOfWindow(other);
            if (other_bar && other_bar->m_associatedPopupItem == groupOwner) continue;
        }
        RECT o;
        if (!::GetWindowRect(other, &o)) continue;
        const bool was_vertical = s.left || s.right;
        if (!s.left && !s.right) {
            if (Snap(r.left, o.right, &s.left, &s.left_line)) {
                s.snapped_vertically = other;
            } else if (Snap(r.right, o.left, &s.right, &s.right_line)) {
                s.snapped_vertically = other;
                if (!Snap(r.top, o.top, &s.top, &s.top_line)) Snap(r.bottom, o.bottom, &s.bottom, &s.bottom_line);
            }
        }
        if (!s.top && !s.bottom) {
            if (Snap(r.top, o.bottom, &s.top, &s.top_line) ||
                Snap(r.bottom, o.top, &s.bottom, &s.bottom_line))
                s.snapped_horizontally = other;
        }
        // Aligned edges: later matches replace earlier ones.
        if (Snap(r.top, o.top, &s.top, &s.top_line) ||
            Snap(r.bottom, o.bottom, &s.bottom, &s.bottom_line))
            s.snapped_horizontally = other;
        if (Snap(r.left, o.left, &s.left, &s.left_line) ||
            Snap(r.right, o.right, &s.right, &s.right_line)) {
            if (!was_vertical) s.snapped_vertically = other;
        }
    }
    return s.left || s.top || s.right || s.bottom ? 1 : 0;
}

void GetPopupGroupRect(CVellumMenuItem* owner, RECT* out) {
    if (!out) return;
    *out = RECT{-1, -1, -1, -1};
    bool any = false;
    for (CVellumMenuObject* bar : GroupBars(owner)) {
        const BarPlacement& p = bar->m_placement;
        RECT r = {p.LastPos.x, p.LastPos.y, p.LastPos.x + p.LastSize.cx, p.LastPos.y + p.LastSize.cy};
        if (!any) {
            *out = r;
            any = true;
        } else {
            ::UnionRect(out, out, &r);
        }
    }
}

void MovePopupGroup(CVellumMenuItem* owner, POINT* offset) {
    if (!owner || !offset) return;
    std::vector<CVellumMenuObject*> bars = GroupBars(owner);
    if (bars.empty()) return;

    // Every bar stays on the monitor of the item's bar.
    SIZE screen = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    CVellumMenuObject* item_bar = IsLiveItem(owner) ? owner->m_pBar : nullptr;
    if (item_bar && IsLiveBar(item_bar)) screen = item_bar->m_monitorSize;
    POINT d = *offset;
    for (CVellumMenuObject* bar : bars) {
        const BarPlacement& p = bar->m_placement;
        if (p.LastPos.x + d.x < 0) d.x = -p.LastPos.x;
        if (p.LastPos.y + d.y < 0) d.y = -p.LastPos.y;
        if (p.LastPos.x + p.LastSize.cx + d.x > screen.cx) d.x = screen.cx - p.LastSize.cx - p.LastPos.x;
        if (p.LastPos.y + p.LastSize.cy + d.y > screen.cy) d.y = screen.cy - p.LastSize.cy - p.LastPos.y;
    }
    *offset = d;

    bool batching = bars.size() >= 2;
    if (batching) SetPendingDeferWindowPos(::BeginDeferWindowPos(static_cast<int>(bars.size())));
    if (!GetPendingDeferWindowPos()) batching = false;
    std::vector<bool> moved(bars.size(), false);
    for (size_t i = 0; i < bars.size(); ++i) {
        CVellumMenuObject* bar = bars[i];
        if (!IsLiveBar(bar)) continue;
        if (!moved[i]) {
            bar->m_placement.LastPos.x += d.x;
            bar->m_placement.LastPos.y += d.y;
            bar->m_userPositioned = TRUE;
            if (bar->m_volatile) {
                bar->m_volatile = FALSE;
                bar->m_tornOff = TRUE;
            }
            moved[i] = true;
        }
        bar->UpdatePos();
        if (batching && !GetPendingDeferWindowPos()) {
            // A deferred placement failed and took the batch with it: the
            // whole group is placed again directly, each bar moved once.
            batching = false;
            i = static_cast<size_t>(-1);
        }
    }
    if (HDWP batch = GetPendingDeferWindowPos()) {
        SetPendingDeferWindowPos(nullptr);
        ::EndDeferWindowPos(batch);
    }
}
