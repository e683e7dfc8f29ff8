// What the bar model needs from popup items, a class of the types layer
// above it. The types layer fills this table while the program loads; an
// empty entry answers as if the item were no popup item.
#pragma once
#include <windows.h>
#include "model/bar_input_internal.h"

class CVellumMenuItem;
class CVellumMenuObject;

struct PopupItemCalls {
    // The item's list of bars to pop up; an empty record for other items.
    PopupBarList (*BarList)(CVellumMenuItem* item);
    // The item's bars are associated anew after its list changed.
    void (*RefreshAfterLink)(CVellumMenuItem* item);
    // The window is one of the item's listed bars.
    bool (*IsBarInList)(CVellumMenuItem* item, HWND wnd);
    // "Popup.AlignPopupNextToBar" of a popup item.
    bool (*AlignsWithBar)(CVellumMenuItem* item);
    // Keyboard navigation between the bars listed by item (null: free bars).
    CVellumMenuItem* (*FindItemInNeighbourBar)(CVellumMenuItem* item, CVellumMenuObject* bar,
                                               int direction);
    // The item's listed bars are hidden and its shown-flag cleared.
    void (*CloseListedBars)(CVellumMenuItem* item);
};

PopupItemCalls& GetPopupItemCalls();
