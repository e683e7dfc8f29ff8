// What the files of the popup item share: the registered messages it uses
// and the walks over the open bars.
#pragma once
#include <windows.h>
#include <vector>

class CVellumMenuItem;
class CVellumMenuItem_Popup;
class CVellumMenuObject;

struct PopupMessages {
    UINT BarNameChanging;            // "Bar name is changing! Update popups!"
    UINT ShowPopupFollowup;          // "TS Show popup followup!"
    UINT ThemeLoadingAlmostDone;     // "TS Theme Loading Almost Done"
    UINT SkinChanging;               // "This CMenuObject Skin Changing"
    UINT ResetPopup;                 // "CMenuItem - ResetPopup"
    UINT RepopupNonVolatile;         // "Repopup NonVolitle"
    UINT BarClosing;                 // "CMenuObject Closing"
    UINT BarHiding;                  // "CMenuObject Hiding"
    UINT RedrawSingleItemDelayed;    // "TS Redraw Single Item, Delayed"
    UINT AssociatedPopupShowing;     // "Associated Popup Showing"
    UINT BarShowing;                 // "CMenuObject Showing"
    UINT ThemeClosingCheckModified;  // "Theme is closing... check for modified!"
    UINT PopupItemClosing;           // "CMenuItem w/ Popup Closing"
    UINT VolatileClose;              // "VolitleClose"
    UINT BarNewPopup;                // "CMenuObject New Popup!"
};
const PopupMessages& GetPopupMessages();

// The open bars the user knows (no temporary menu bars), in registry order,
// at most 500.
std::vector<CVellumMenuObject*> OpenUserBars();

// Every bar associated with item loses its volatile flag and the
// association and is shown again (the item goes away).
void ReleaseAssociatedBars(CVellumMenuItem* item);
