// Section transitions: after a section type changed its items, every shown
// item moves from its old rectangle to its new one in ten steps, driven by
// the section's timer on the bar window; a new item grows from a 2-pixel
// sliver. Every section of a bar uses the same timer id, so the timer ticks
// for all of them and stops only when the last running transition ends.
#include <cmath>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace {

constexpr int kTransitionSteps = 10;

// start + (end - start) x step / steps, the fraction dropped and 1 added
// when the dropped fraction is a half or more.
LONG Between(LONG start, LONG end, int step, int steps) {
    const double d = static_cast<double>(end - start) * step / steps;
    const long whole = static_cast<long>(d);
    const double fraction = d - static_cast<double>(whole);
    return start + whole + (fraction * 10 >= 5 ? 1 : 0);
}

// The new item's start: a 2-pixel sliver of its end rectangle, at its left
// edge for the first item, after the previous item's start for the last,
// else at its right edge.
RECT SliverStart(const RECT& end, int index, bool last, const CVellumMenuItem* previous) {
    RECT start = end;
    if (index == 0) {
        start.right = start.left + 2;
    } else if (last && previous) {
        start.left = previous->m_transitionStart.right;
        start.right = start.left + 2;
    } else {
        start.left = start.right + 2;
    }
    return start;
}

// A section of the bar other than this one still in a transition on the
// same timer: killing that timer would freeze it half-way for good.
bool AnotherSectionUsesTimer(const CVellumMenuObject* bar, const CVellumMenuSection* self, UINT_PTR id) {
    for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i) {
        const CVellumMenuSection* other = bar->m_sections[i];
        if (other != self && other->m_transitionRunning && other->m_transitionTimerId == id) return true;
    }
    return false;
}

}  // namespace

void CVellumMenuSection::MarkStartTransition() {
    if (m_transitionRunning) return;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->m_transitionStart = m_items[i]->m_itemRect;
}

void CVellumMenuSection::MarkEndTransition() {
    if (m_transitionRunning) return;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) {
        CVellumMenuItem* item = m_items[i];
        item->m_transitionEnd = item->m_itemRect;
        if (!::IsRectEmpty(&item->m_transitionStart)) continue;
        const bool last = i + 1 >= kMaxItems || !m_items[i + 1];
        item->m_transitionStart =
            SliverStart(item->m_transitionEnd, i, last, i > 0 ? m_items[i - 1] : nullptr);
    }
}

void CVellumMenuSection::StartTransition() {
    if (m_transitionRunning) return;
    m_transitionRunning = TRUE;
    m_transitionSteps = kTransitionSteps;
    m_transitionStep = 0;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i)
        m_items[i]->m_moving = ::IsRectEmpty(&m_items[i]->m_itemRect) ? FALSE : TRUE;
    UpdateTransitions(m_transitionTimerId);
    if (m_transitionRunning && m_pBar && m_pBar->m_hWnd)
        ::SetTimer(m_pBar->m_hWnd, m_transitionTimerId, 1, nullptr);
}

void CVellumMenuSection::UpdateTransitions(UINT_PTR) {
    if (!m_transitionRunning) return;
    ++m_transitionStep;
    if (m_transitionStep >= m_transitionSteps) {
        EndTransition();
        return;
    }
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) {
        CVellumMenuItem* item = m_items[i];
        if (!item->m_moving) continue;
        const RECT& a = item->m_transitionStart;
        const RECT& b = item->m_transitionEnd;
        const int step = m_transitionStep, steps = m_transitionSteps;
        item->m_drawnRect = {Between(a.left, b.left, step, steps), Between(a.top, b.top, step, steps),
                             Between(a.right, b.right, step, steps),
                             Between(a.bottom, b.bottom, step, steps)};
    }
    RedrawSection();
}

void CVellumMenuSection::EndTransition() {
    if (!m_transitionRunning) return;
    m_transitionRunning = FALSE;
    if (m_pBar && m_pBar->m_hWnd && !AnotherSectionUsesTimer(m_pBar, this, m_transitionTimerId))
        ::KillTimer(m_pBar->m_hWnd, m_transitionTimerId);
    m_transitionSteps = 0;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->m_moving = FALSE;
    RedrawSection();
}
