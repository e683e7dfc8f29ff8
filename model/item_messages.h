// The registered window messages of the item code, one number per name,
// registered when the program starts (RegisterItemMessages) and read by the
// item's menus, commands and message handling.
#pragma once
#include <windows.h>

struct ItemMessages {
    UINT VolatileClose;            // "VolitleClose"
    UINT ImageRelativityChanging;  // "Image Relativity Changing"
    UINT RemoveItemDelay;          // "Remove Item Delay"
    UINT TimeFilteringChanged;     // "TimeFiltering Dis/Enabled!"
    UINT ResetPopup;               // "CMenuItem - ResetPopup"
    UINT ResetPopup2;              // "CMenuItem - ResetPopup2"
    UINT UpdateHiddenLayers;       // "UpdateHiddenLayers"
    UINT SpeedUpdate;              // "SpeedUpdate!"
    UINT SwapItemsBehavior;        // "SwapItems (Behavior)"
    UINT CallRunDialog;            // "CallRunDialog"
    UINT WaitForStateChange;       // "WaitForStateChange!"
    UINT StatsUpdated;             // "Stats Updated"
    UINT SkinChanging;             // "This CMenuObject Skin Changing"
    UINT RecalcAllItems;           // "TessellarPlugin - RecalcAllItems"
};

// Registers the names once; the same table for the whole process.
const ItemMessages& RegisterItemMessages();
inline const ItemMessages& GetItemMessages() { return RegisterItemMessages(); }
