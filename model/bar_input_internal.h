// What the bar's input code shares between its files: the program-wide drag
// state (only one bar is dragged at a time), and the calls it makes into
// item, section and bar operations that other parts of the program provide.
// Each call is one function here, so the input code names it once; calls
// into work that is not built yet do nothing and say so.
#pragma once
#include <windows.h>
#include "model/bar_placement.h"
#include "model/bar_types.h"

// ---- program-wide state of a move, resize, grip drag or right-button drag ----
struct BarInputState {
    POINT grab = {};                 // grab offset of the move or resize
    RECT bounds = {};                // move bounds, monitor-relative
    int held_grip = -1;              // index of the section whose grip is held
    CVellumMenuObject* grip_bar = nullptr;   // the bar of that section
    CVellumMenuObject* right_drag_source = nullptr;
    const char* last_cursor = nullptr;
    bool cursor_allowed = false;     // SmartSetCursor may set once per message
    bool move_ended_now = false;     // a move or resize ended in this message
};
BarInputState& GetBarInputState();

// The cursor position in the bar window's client coordinates.
POINT BarCursorPoint(CVellumMenuObject* bar);

// ---- item operations ----------------------------------------------------------------
HMENU ItemPopupMenu(CVellumMenuItem* item);
int ItemPopupDelay(CVellumMenuItem* item);
UINT ItemPopupRequiredKeys(CVellumMenuItem* item);
void ItemOnClick(CVellumMenuItem* item);
void ItemOnDblClick(CVellumMenuItem* item);
void ItemOnRClick(CVellumMenuItem* item, int* handled);
int ItemTrackPopupMenuDoubleClick(CVellumMenuItem* item);
void ItemGettingKeyboardFocus(CVellumMenuItem* item);
void ItemProcessMenuMessage(CVellumMenuItem* item, UINT msg, WPARAM wp, LPARAM lp);
int ItemTryNoAltDrag(CVellumMenuItem* item);
// The pointer lies on the item's rectangle in its bar window, and that window
// is the one under the pointer.
bool ItemIsMouseReallyOver(CVellumMenuItem* item);
// The item's type calls itself "Popup Item".
bool ItemIsPopupItemType(CVellumMenuItem* item);
bool ItemIsSeparator(CVellumMenuItem* item);
bool ItemIsSectionAnchor(CVellumMenuItem* item);
bool ItemHasEmptyRect(CVellumMenuItem* item);

// ---- section grips ----------------------------------------------------------------------
int SectionIsInGrip(CVellumMenuSection* section, POINT client);
void SectionSetLastGripPoint(CVellumMenuSection* section, POINT client);
POINT SectionGetLastGripPoint(CVellumMenuSection* section);
int SectionScrollBack(CVellumMenuSection* section);
int SectionScrollForward(CVellumMenuSection* section);

// ---- the list of bars a popup item shows and hides with itself ----------------------
constexpr int kPopupBarNameSize = 200;
struct PopupBarList {
    char (*names)[kPopupBarNameSize] = nullptr;
    int* count = nullptr;
    int capacity = 0;
};
// The item's list, or an empty record when the item keeps none.
PopupBarList GetPopupItemBarList(CVellumMenuItem* item);
// The list names the title (as it would be stored).
bool PopupBarListHas(const PopupBarList& list, const char* title);
// Link appends the title cut to the slot size, refused when the list is full;
// unlink removes the first entry equal to it (case-insensitive) and closes
// the gap. True when the list changed.
bool LinkBarInPopupList(const PopupBarList& list, const char* title, bool link);
// The item re-reads its listed bars and its open popup window is shown again.
void RefreshPopupItemAfterLink(CVellumMenuItem* item);

// ---- other parts of the program --------------------------------------------------------
// The whole right-click menu of the bar; 0 without bar, else 1.
int ShowBarContextMenu(CVellumMenuObject* bar, CVellumMenuSection* section,
                       CVellumMenuItem* item);
// The nearest item in a neighbouring bar in a direction (0 left, 1 up, 2
// right, 3 down) among the bars of a popup item's list (or the free bars).
CVellumMenuItem* FindItemInNeighbourBar(CVellumMenuItem* popupItem, CVellumMenuObject* bar,
                                        int direction);
bool IsProgramDragRunning();
// The section is the target of the bar's drag and drop: target receives -1
// (before all items), an item (behind it) or null (at the end).
bool GetDropTargetOfSection(CVellumMenuObject* bar, CVellumMenuSection* section,
                            CVellumMenuItem** target);
void DragItemWithMouse(CVellumMenuItem* item);
