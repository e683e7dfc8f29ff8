// Bar groups: when one bar of a popup group is resized by an edge, the bars
// that touch that edge or share its line follow. Also the lookup of a bar's
// open popup.
#include <windows.h>
#include "model/bar_placement.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/bar_registry.h"

namespace {

enum Side { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3 };

struct GroupMember {
    HWND window;
    RECT rect;
    RECT new_rect;
    bool changed;
    int neighbour[4];   // member numbers from 1, 0 = none
    int same[4];
    bool attached[4];
};

struct GroupTable {
    GroupMember members[kMaxGroupMembers];
    int count;
    HWND resized_window;
    int resized;   // member number, 0 = none
    CVellumMenuItem* owner;
};

GroupTable g_group = {};

// The bar of a member's window, read again each time: the window may have
// closed since the group was built.
CVellumMenuObject* MemberBar(const GroupMember& m) {
    return m.window && ::IsWindow(m.window) ? LiveBarOfWindow(m.window) : nullptr;
}

// Links a and b (member numbers) unless a's link already names the resized
// member.
void LinkKeepingResized(int* link_of_a, int b, int* link_of_b, int a, bool always) {
    const int resized = g_group.resized;
    if (always || !resized || *link_of_a != resized) *link_of_a = b;
    if (always || !resized || *link_of_b != resized) *link_of_b = a;
}

void Relate() {
    for (int i = 0; i < g_group.count; ++i) {
        GroupMember& m = g_group.members[i];
        for (int j = 0; j < g_group.count; ++j) {
            if (i == j) continue;
            GroupMember& o = g_group.members[j];
            const int mi = i + 1, oj = j + 1;
            if (m.rect.left == o.rect.right || m.rect.left == o.rect.right + 1)
                LinkKeepingResized(&m.neighbour[kLeft], oj, &o.neighbour[kRight], mi, true);
            if (m.rect.top == o.rect.bottom || m.rect.top == o.rect.bottom + 1)
                LinkKeepingResized(&m.neighbour[kTop], oj, &o.neighbour[kBottom], mi, false);
            if (m.rect.top == o.rect.top)
                LinkKeepingResized(&m.same[kTop], oj, &o.same[kTop], mi, false);
            if (m.rect.bottom == o.rect.bottom)
                LinkKeepingResized(&m.same[kBottom], oj, &o.same[kBottom], mi, false);
            if (m.rect.left == o.rect.left)
                LinkKeepingResized(&m.same[kLeft], oj, &o.same[kLeft], mi, false);
            if (m.rect.right == o.rect.right)
                LinkKeepingResized(&m.same[kRight], oj, &o.same[kRight], mi, false);
        }
    }
    for (int i = 0; i < g_group.count; ++i) {
        GroupMember& m = g_group.members[i];
        for (int s = 0; s < 4; ++s) m.attached[s] = m.neighbour[s] || m.same[s];
    }
}

// One side of a member follows the resized member's edge change d: it
// stretches when its far side is attached, else it moves.
void Follow(GroupMember& m, LONG* near_side, LONG* far_side, bool far_attached, LONG d) {
    m.changed = true;
    if (far_attached) {
        *near_side += d;
    } else {
        *near_side += d;
        *far_side += d;
    }
}

}  // namespace

int BuildBarGroup(HWND resizedWindow, CVellumMenuItem* owner, RECT* changes) {
    g_group.owner = owner;
    if (!owner) return 0;
    if (!resizedWindow) {
        g_group.owner = nullptr;
        return 0;
    }
    g_group = GroupTable{};
    g_group.owner = owner;
    g_group.resized_window = resizedWindow;

    const int windows = GetBarWindowCount();
    for (int i = 0; i < windows && g_group.count < kMaxGroupMembers; ++i) {
        HWND wnd = GetBarWindowAt(i);
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (!bar || bar->m_associatedPopupItem != owner) continue;
        GroupMember& m = g_group.members[g_group.count++];
        m.window = wnd;
        ::GetWindowRect(wnd, &m.rect);
        m.new_rect = m.rect;
        if (wnd == resizedWindow) g_group.resized = g_group.count;
    }
    Relate();
    if (changes) MoveBarGroup(changes, 0);
    return 1;
}

int MoveBarGroup(RECT* changes, int refresh) {
    if (!changes || !g_group.owner || g_group.count == 0) return 0;
    LONG dl = changes->left, dt = changes->top, dr = changes->right, db = changes->bottom;
    const int r = g_group.resized;

    if (refresh) {
        for (int i = 0; i < g_group.count; ++i) {
            GroupMember& m = g_group.members[i];
            if (m.window && ::IsWindow(m.window)) ::GetWindowRect(m.window, &m.rect);
            m.changed = false;
        }
    }

    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < g_group.count; ++i) {
            if (i + 1 == r) continue;
            GroupMember& m = g_group.members[i];
            m.new_rect = m.rect;
            RECT& n = m.new_rect;
            if (r) {
                if (dl) {
                    if (m.same[kLeft] == r) Follow(m, &n.left, &n.right, m.attached[kRight], dl);
                    else if (m.neighbour[kRight] == r) Follow(m, &n.right, &n.left, m.attached[kLeft], dl);
                } else if (dr) {
                    if (m.same[kRight] == r) Follow(m, &n.right, &n.left, m.attached[kLeft], dr);
                    else if (m.neighbour[kLeft] == r) Follow(m, &n.left, &n.right, m.attached[kRight], dr);
                }
                if (dt) {
                    if (m.same[kTop] == r) Follow(m, &n.top, &n.bottom, m.attached[kBottom], dt);
                    else if (m.neighbour[kBottom] == r) Follow(m, &n.bottom, &n.top, m.attached[kTop], dt);
                } else if (db) {
                    if (m.same[kBottom] == r) Follow(m, &n.bottom, &n.top, m.attached[kTop], db);
                    else if (m.neighbour[kTop] == r) Follow(m, &n.top, &n.bottom, m.attached[kBottom], db);
                }
            }
            if (pass != 0 || !m.changed) continue;
            CVellumMenuObject* bar = MemberBar(m);
            if (!bar) continue;
            SIZE proposed = {n.right - n.left, n.bottom - n.top};
            SIZE clamped = proposed;
            if (!bar->AdjustForMinimumSize(&clamped, nullptr, 1)) continue;
            const LONG current_w = m.rect.right - m.rect.left;
            const LONG current_h = m.rect.bottom - m.rect.top;
            LONG excess = proposed.cx - clamped.cx;
            if (excess) {
                const bool a = (dr - dl) < 0, b = proposed.cx < current_w;
                const LONG s = a != b ? 1 : -1;
                if (dl) dl -= s * excess;
                else if (dr) dr += s * excess;
            }
            excess = proposed.cy - clamped.cy;
            if (excess) {
                const bool a = (db - dt) < 0, b = proposed.cy < current_h;
                const LONG s = a != b ? 1 : -1;
                if (dt) dt -= s * excess;
                else if (db) db += s * excess;
            }
        }
    }

    int changed = 0;
    for (int i = 0; i < g_group.count; ++i)
        if (g_group.members[i].changed) ++changed;
    bool batching = changed >= 2;
    if (batching) SetPendingDeferWindowPos(::BeginDeferWindowPos(changed));
    if (!GetPendingDeferWindowPos()) batching = false;
    for (int i = 0; i < g_group.count; ++i) {
        GroupMember& m = g_group.members[i];
        if (!m.changed) continue;
        CVellumMenuObject* bar = MemberBar(m);
        if (!bar) continue;
        const RECT& n = m.new_rect;
        bar->SetPos(n.left - bar->m_monitorOrigin.x, n.top - bar->m_monitorOrigin.y,
                    n.right - n.left, n.bottom - n.top, nullptr, 0, 1, 0);
        if (batching && !GetPendingDeferWindowPos()) {
            // A deferred placement failed and took the batch with it: every
            // member is placed again, directly.
            batching = false;
            i = -1;
        }
    }
    if (HDWP batch = GetPendingDeferWindowPos()) {
        SetPendingDeferWindowPos(nullptr);
        ::EndDeferWindowPos(batch);
    }
    *changes = RECT{dl, dt, dr, db};
    return 1;
}

CVellumMenuObject* FindOpenPopupOfBar(CVellumMenuObject* bar) {
    if (!bar) return nullptr;
    for (HWND wnd = ::FindWindowExA(nullptr, nullptr, kBarWindowClass, nullptr); wnd;
         wnd = ::FindWindowExA(nullptr, wnd, kBarWindowClass, nullptr)) {
        if (!::IsWindowVisible(wnd)) continue;
        CVellumMenuObject* other = LiveBarOfWindow(wnd);
        if (!other) continue;
        CVellumMenuItem* opener = other->m_owningPopupItem;
        CVellumMenuItem* listed = other->m_associatedPopupItem;
        if (other->m_volatile && opener && IsLiveItem(opener) && opener->m_pBar == bar) return other;
        if (listed && IsLiveItem(listed) && listed->m_pBar == bar) return other;
    }
    return nullptr;
}
