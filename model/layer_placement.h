// Placing a group of open bars beside an item: the listed bars of a popup
// item, or the bars of a layer (CVellumMenuItem::PlaceLayerBesideItem). The
// group keeps the bars' positions relative to each other.
#pragma once
#include <windows.h>

class CVellumMenuItem;
class CVellumMenuObject;

struct LayerPlacement {
    int layer;                  // 0..9, or -1 for the item's listed bars
    CVellumMenuItem* item;      // with layer -1, the popup item; else null
    RECT extent;                // union of the group's rectangles, -1 until seen
    CVellumMenuObject* leftBar;
    CVellumMenuObject* rightBar;
    CVellumMenuObject* topBar;
    CVellumMenuObject* bottomBar;
    int dx, dy;
    BOOL found;
    // 1: the group's right (bottom) edge was the reference; 0 the left
    // (top); -1 undecided.
    int horizontalSide, verticalSide;
};

// Widens the extent by every bar of the group; always continues.
BOOL CALLBACK LayerExtentEnumProc(HWND wnd, LPARAM placement);
// Moves every bar of the group by (dx, dy) and sets its growth directions.
BOOL CALLBACK MoveLayerBarsEnumProc(HWND wnd, LPARAM placement);
