// Program-wide pieces of bar placement that stand beside the bar object:
// the pending deferred-position batch, snapping, popup groups and their
// resize, the tab order, and the autohide timer procedures.
#pragma once
#include <windows.h>
#include "model/bar_types.h"

// ---- deferred placement (bar_position.cpp) -----------------------------------------------
// While a batch is pending, SetPos adds its window to it instead of moving it.
void SetPendingDeferWindowPos(HDWP batch);
HDWP GetPendingDeferWindowPos();
// The DeferWindowPos that SetPos calls; tests put in one that fails. Null
// puts the system's back; the one replaced comes back.
typedef HDWP(WINAPI* DeferWindowPosFunction)(HDWP, HWND, HWND, int, int, int, int, UINT);
DeferWindowPosFunction SetDeferWindowPosFunction(DeferWindowPosFunction function);

// The bar's open property pages are closed and shown again (object_pages.cpp).
void ReopenPagesForOrientation(CVellumMenuObject* bar);

// ---- snapping and popup groups (bar_snapping.cpp) -----------------------------------------
constexpr int kSnapDistance = 8;

// For each side of the bar whether and to which line it snaps.
struct SnapRecord {
    HWND snapped_vertically;     // the window a left or right side snapped to
    HWND snapped_horizontally;   // the window a top or bottom side snapped to
    BOOL left, top, right, bottom;
    LONG left_line, top_line, right_line, bottom_line;
};

// Compares rect (screen coordinates; the window's own when null) with the
// primary work area and the other visible bars outside groupOwner's popup
// group. 1 when any side snapped.
int FindSnapEdges(HWND bar, SnapRecord* record, const RECT* rect, CVellumMenuItem* groupOwner);
// The bounding rectangle (monitor-relative) of the bars whose associated
// popup item is owner; -1 everywhere when there is none.
void GetPopupGroupRect(CVellumMenuItem* owner, RECT* out);
// Moves every bar of owner's popup group by offset, kept on the monitor.
void MovePopupGroup(CVellumMenuItem* owner, POINT* offset);

// ---- group resize and popup lookup (bar_groups.cpp) ----------------------------------------
constexpr int kMaxGroupMembers = 25;
// Collects the bars of owner's popup group and how they touch; with
// changes, applies them at once. 0 (and no group) without owner or window.
int BuildBarGroup(HWND resizedWindow, CVellumMenuItem* owner, RECT* changes);
// Applies the resized bar's edge changes (left, top, right, bottom deltas)
// to the group, limited where a member cannot follow; the limited changes
// are written back. 0 without changes or group.
int MoveBarGroup(RECT* changes, int refresh);
// The open popup of bar: a visible bar opened by or listed with one of its items.
CVellumMenuObject* FindOpenPopupOfBar(CVellumMenuObject* bar);

// ---- tab order (bar_tab_order.cpp) -----------------------------------------------------------
constexpr int kTabOrderSlots = 75;
int RenumberTabOrder();
int InsertBarAtTabFront(CVellumMenuObject* bar);
int RemoveBarFromTabOrder(CVellumMenuObject* bar);
int BringBarsToFrontInTabOrder();
// The next visible tab-stop bar (only bars shown by their popup item when
// shownByPopupOnly), activated; null when there is none.
CVellumMenuObject* ActivateNextBarInTabOrder(CVellumMenuObject* bar, int shownByPopupOnly);

// ---- autohide timers (bar_autohide.cpp) -------------------------------------------------------
void CALLBACK AutoHideSlideTimerProc(HWND wnd, UINT msg, UINT_PTR id, DWORD time);
void CALLBACK AutoHideWatchTimerProc(HWND wnd, UINT msg, UINT_PTR id, DWORD time);
