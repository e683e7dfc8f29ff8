// CItemStateAnimator: plays the frames of a skin element when an item
// changes state. One per bar, 100 slots, each with its own timer id on the
// bar window: the old element's out frames, the new element's in frames,
// then the new element's loop.
#pragma once
#include <windows.h>

class CVellumMenuItem;
class CVellumMenuObject;
struct SkinStateRecord;

constexpr int kAnimatorSlots = 100;
// A ForceOut phase plays without returning to the message loop; all of its
// sleeps together stay below this, whatever the skin asks.
constexpr DWORD kForceOutBudgetMs = 1000;

struct ItemAnimationSlot {
    CVellumMenuItem* item;        // null: the slot is free
    int frame_counter;            // frames shown in the current phase
    UINT timer_id;
    int loop_counter;             // loop passes finished
    int out_start, in_start, loop_start;
    int out_frames, in_frames, loop_frames;
    int out_element, in_element, loop_element;   // 0 once the phase is over
    SkinStateRecord* out_record;  // null once over, or without frames
    SkinStateRecord* in_record;
    SkinStateRecord* loop_record;
};

class CItemStateAnimator {
public:
    // A null bar leaves the timer ids 0.
    explicit CItemStateAnimator(CVellumMenuObject* bar);
    ~CItemStateAnimator();
    CItemStateAnimator(const CItemStateAnimator&) = delete;
    CItemStateAnimator& operator=(const CItemStateAnimator&) = delete;

    void StartTransition(CVellumMenuItem* item, int oldElement, int newElement);
    // Every WM_TIMER of the bar; ids of no slot are ignored.
    void OnTimer(UINT_PTR timerId);
    ItemAnimationSlot* FindItemSlot(CVellumMenuItem* item);
    ItemAnimationSlot* FindTimerSlot(UINT_PTR timerId);
    void FreeSlot(ItemAnimationSlot* slot);
    void RestartSlotTimer(ItemAnimationSlot* slot);
    void StepAnimation(ItemAnimationSlot* slot);
    int SlotsInUse() const { return m_count; }

    HWND m_hWnd;
    UINT m_timerIds[kAnimatorSlots];
    ItemAnimationSlot m_slots[kAnimatorSlots];
    int m_count;
};
