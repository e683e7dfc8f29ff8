// The per-bar scheduler of item state animations, and the bar's hooks to it.
#include "model/state_animator.h"
#include <cstring>
#include "model/bar_drawing.h"
#include "model/bar_host.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"

namespace {

enum Phase { kPhaseOut, kPhaseIn, kPhaseLoop, kPhaseNone };

// The fields of one phase of a slot, by reference.
struct PhaseView {
    Phase phase;
    int& element;
    int start;
    int frames;
    SkinStateRecord*& record;
};

PhaseView CurrentPhase(ItemAnimationSlot* s) {
    if (s->out_record) return {kPhaseOut, s->out_element, s->out_start, s->out_frames, s->out_record};
    if (s->in_record) return {kPhaseIn, s->in_element, s->in_start, s->in_frames, s->in_record};
    return {s->loop_record ? kPhaseLoop : kPhaseNone, s->loop_element, s->loop_start,
            s->loop_frames, s->loop_record};
}

SkinRecord* SkinOf(CVellumMenuItem* item) {
    return item && item->m_skinSlot ? *item->m_skinSlot : nullptr;
}

bool AnimationsDisabled() {
    const BarHostServices& host = GetBarHostServices();
    return host.AreAnimationsDisabled && host.AreAnimationsDisabled();
}

// An upper bound on the steps of one call: a few phase changes, one loop
// restart and the out frames of a ForceOut phase.
constexpr int kMaxStepsPerCall = 10000;

}  // namespace

CItemStateAnimator::CItemStateAnimator(CVellumMenuObject* bar) {
    m_hWnd = bar ? bar->m_hWnd : nullptr;
    std::memset(m_slots, 0, sizeof(m_slots));
    std::memset(m_timerIds, 0, sizeof(m_timerIds));
    m_count = 0;
    if (!bar) return;
    for (int i = 0; i < kAnimatorSlots; ++i) {
        m_timerIds[i] = bar->ReserveTimerID();
        m_slots[i].timer_id = m_timerIds[i];
    }
}

CItemStateAnimator::~CItemStateAnimator() = default;

ItemAnimationSlot* CItemStateAnimator::FindItemSlot(CVellumMenuItem* item) {
    if (!item) return nullptr;
    int seen = 0;
    for (int i = 0; i < kAnimatorSlots && seen < m_count; ++i) {
        if (!m_slots[i].item) continue;
        ++seen;
        if (m_slots[i].item == item) return &m_slots[i];
    }
    return nullptr;
}

ItemAnimationSlot* CItemStateAnimator::FindTimerSlot(UINT_PTR timerId) {
    int seen = 0;
    for (int i = 0; i < kAnimatorSlots && seen < m_count; ++i) {
        if (!m_slots[i].item) continue;
        ++seen;
        if (m_slots[i].timer_id == timerId) return &m_slots[i];
    }
    return nullptr;
}

void CItemStateAnimator::FreeSlot(ItemAnimationSlot* slot) {
    if (!slot || !slot->item) return;
    if (m_hWnd) ::KillTimer(m_hWnd, slot->timer_id);
    slot->item = nullptr;
    --m_count;
}

void CItemStateAnimator::RestartSlotTimer(ItemAnimationSlot* slot) {
    if (!slot || !slot->item || !slot->out_record) return;
    slot->item->m_drawnElement = slot->out_element;
    if (m_hWnd) ::SetTimer(m_hWnd, slot->timer_id, slot->out_record->Delay, nullptr);
}

void CItemStateAnimator::OnTimer(UINT_PTR timerId) {
    if (ItemAnimationSlot* slot = FindTimerSlot(timerId)) StepAnimation(slot);
}

void CItemStateAnimator::StartTransition(CVellumMenuItem* item, int oldElement, int newElement) {
    if (!item) return;
    FreeSlot(FindItemSlot(item));

    item->m_drawnElement = newElement;
    SkinRecord* skin = SkinOf(item);
    SkinStateRecord* to = skin ? GetSkinStateRecord(skin, newElement) : nullptr;
    if (!to) {
        item->m_frame = 0;
        return;
    }
    // The last loop frame; an element without in and loop frames shows frame 0.
    const int still = to->InFrames + to->LoopFrames - 1;
    item->m_frame = still > 0 ? still : 0;
    if (AnimationsDisabled() || m_count >= kAnimatorSlots) return;

    ItemAnimationSlot* slot = nullptr;
    for (ItemAnimationSlot& candidate : m_slots) {
        if (!candidate.item) {
            slot = &candidate;
            break;
        }
    }
    if (!slot) return;
    SkinStateRecord* from = GetSkinStateRecord(skin, oldElement);

    const UINT id = slot->timer_id;
    std::memset(slot, 0, sizeof(*slot));
    slot->timer_id = id;
    slot->item = item;
    ++m_count;

    if (from && from->OutFrames > 0) {
        slot->out_element = oldElement;
        slot->out_frames = from->OutFrames;
        slot->out_start = from->InFrames + from->LoopFrames;
        slot->out_record = from;
    }
    if (to->InFrames > 0) {
        slot->in_element = newElement;
        slot->in_frames = to->InFrames;
        slot->in_start = 0;
        slot->in_record = to;
    }
    slot->loop_element = newElement;
    slot->loop_frames = to->LoopFrames;
    slot->loop_start = to->InFrames;
    slot->loop_record = to;

    if (!slot->out_record && !slot->in_record && slot->loop_frames <= 1) {
        FreeSlot(slot);   // a still element
        return;
    }
    item->m_drawnElement = 0;
    item->m_frame = 0;
    StepAnimation(slot);
}

void CItemStateAnimator::StepAnimation(ItemAnimationSlot* slot) {
    if (!slot || !slot->item) return;
    CVellumMenuItem* item = slot->item;
    DWORD slept = 0;

    for (int step = 0; step < kMaxStepsPerCall; ++step) {
        PhaseView p = CurrentPhase(slot);
        if (p.phase == kPhaseNone) {
            FreeSlot(slot);
            return;
        }
        const bool loop = p.phase == kPhaseLoop;
        // Only the old element's out frames may play at once; other phases
        // always wait for the timer, or they would never advance.
        const bool forced = p.phase == kPhaseOut && p.record->ForceOut;

        const bool new_element = p.element != item->m_drawnElement;
        if (new_element || (loop && slot->frame_counter == 0)) {
            item->m_drawnElement = p.element;
            item->m_frame = p.start;
            slot->frame_counter = 0;
            // A loop restarting its pass keeps count of the passes done.
            if (new_element) slot->loop_counter = 0;
            if (m_hWnd) {
                ::KillTimer(m_hWnd, slot->timer_id);
                if (!forced) ::SetTimer(m_hWnd, slot->timer_id, p.record->Delay, nullptr);
            }
        }

        bool end_phase = false;
        if (slot->frame_counter >= p.frames) {
            if (!loop) {
                end_phase = true;
            } else {
                slot->frame_counter = 0;
                ++slot->loop_counter;
                // A pass of one frame or none is a still picture: done.
                if ((p.record->Loop >= 0 && slot->loop_counter >= p.record->Loop) ||
                    p.frames <= 1) {
                    item->m_frame = p.start;
                    item->RedrawItem();
                    end_phase = true;
                } else {
                    continue;   // the next pass starts at once
                }
            }
        } else {
            item->m_frame = p.start + slot->frame_counter;
            item->RedrawItem();
            ++slot->frame_counter;
            if (!forced) return;   // the next frame comes with the timer
            const DWORD delay = static_cast<DWORD>(p.record->Delay > 0 ? p.record->Delay : 0);
            if (slept + delay > kForceOutBudgetMs) {
                end_phase = true;   // the rest of the out frames is skipped
            } else {
                ::Sleep(delay);
                slept += delay;
                if (!slot->item) return;   // freed while drawing
            }
        }

        if (end_phase) {
            if (m_hWnd) ::KillTimer(m_hWnd, slot->timer_id);
            p.element = 0;
            p.record = nullptr;
            slot->frame_counter = 0;
        }
    }
    FreeSlot(slot);
}

// ---- the bar's hooks ------------------------------------------------------------------------

void CVellumMenuObject::CreateStateAnimator() {
    if (!m_stateAnimator) m_stateAnimator = new CItemStateAnimator(this);
}

void CVellumMenuObject::DeleteStateAnimator() {
    if (!m_stateAnimator) return;
    for (ItemAnimationSlot& slot : m_stateAnimator->m_slots) m_stateAnimator->FreeSlot(&slot);
    delete m_stateAnimator;
    m_stateAnimator = nullptr;
}

void CVellumMenuObject::AnimatorTimer(UINT_PTR id) {
    if (m_stateAnimator) m_stateAnimator->OnTimer(id);
}

void CVellumMenuItem::StopStateAnimation() {
    if (m_pBar && m_pBar->m_stateAnimator)
        m_pBar->m_stateAnimator->FreeSlot(m_pBar->m_stateAnimator->FindItemSlot(this));
}
