// The window messages of the bar module: private numbers and the registered
// names this module uses (each module registers its own copies; equal names
// give equal numbers).
#pragma once
#include <windows.h>

constexpr UINT WM_BARACTIVATE = 9880;
constexpr UINT WM_BARWINKEY = 10880;
constexpr UINT WM_APPBARCALLBACK = 1865;

// Timer ids on bar windows that are fixed; others come from ReserveTimerID.
constexpr UINT_PTR kHoverPopupTimerId = 1562;
constexpr UINT_PTR kVolatileHideTimerId = 2053;
constexpr UINT kVolatileHideDelayMs = 100;
constexpr UINT_PTR kSectionTransitionTimerId = 2233;
constexpr UINT_PTR kAutohideSlideTimerId = 7535;
constexpr UINT_PTR kAutohideWatchTimerId = 7536;
constexpr UINT_PTR kDragHoverTimerId = 3974;

struct BarMessages {
    UINT FormattedFromPlugin;        // "FormatedMsg From Plugin"
    UINT MyMouseLeave;               // "MyMouseLeave"
    UINT SpeedUpdate;                // "SpeedUpdate!"
    UINT SpeedUpdateSection;         // "SpeedUpdate Section!"
    UINT LButtonUpBad;               // "WM_LBUTTONUP_BAD (invalid)"
    UINT MyShowWindow;               // "MyShowWindow"
    UINT MyShowWindow2;              // "MyShowWindow2"
    UINT MenuObjectCreated;          // "CMenuObject Created"
    UINT MenuObjectThemeLoaded;      // "CMenuObject ThemeLoaded"
    UINT MenuObjectClosing;          // "CMenuObject Closing"
    UINT MenuObjectClosed;           // "CMenuObject Closed"
    UINT MenuObjectShowing;          // "CMenuObject Showing"
    UINT MenuObjectHiding;           // "CMenuObject Hiding"
    UINT AssociatedPopupShowing;     // "Associated Popup Showing"
    UINT VolatileClose;              // "VolitleClose"
    UINT VolatileLayerCheck;         // "VolitleLayerCheck"
    UINT UpdateHiddenLayers;         // "UpdateHiddenLayers"
    UINT GetAfterWindow;             // "Get After Window - Always On Top"
    UINT QueryIsDocked;              // "TSQuery - IsDocked"
    UINT StartTrackingNewItemDelay;  // "CVellumMenuObject: StartTrackingNewItemDelay"
    UINT PopupItemClosing;           // "CMenuItem w/ Popup Closing"
    UINT SkinChanging;               // "This CMenuObject Skin Changing"
    UINT ThemeClosingCheckModified;  // "Theme is closing... check for modified!"
    UINT BarClosingFreeChildren;     // "Bar closing... Free child windows!"
    UINT BarNameChanging;            // "Bar name is changing! Update popups!"
    UINT ThemeLoadingDone;           // "TS Theme Loading Done"
    UINT ShouldEnableMousehook;      // "ShouldEnableMousehook"
    UINT HideBarExternal;            // "TSHideBar_External"
    UINT ReloadSkin;                 // "WM_TSRELOADSKIN"
    UINT DoAutohide;                 // "WM_DOAUTOHIDE"
    UINT AutoHideShowLeft;           // "TSAutoHide - ShowLeft"
    UINT AutoHideShowTop;            // "TSAutoHide - ShowTop"
    UINT AutoHideShowRight;          // "TSAutoHide - ShowRight"
    UINT AutoHideShowBottom;         // "TSAutoHide - ShowBottom"
    UINT OnTopAppShownOrHidden;      // "MyOnTopApp ShownOrHidden"
    UINT StatsUpdated;               // "Stats Updated"
    UINT TaskbarCreated;             // "TaskbarCreated"
    UINT DesktopRightClick;          // "TS Desktop Right Click"
    UINT UpdateLvSkinRunning;        // "WM_UPDATELVSKINRUNNING"
    UINT PluginMarkBarModified;      // "TessellarPlugin - MarkBarModified"
    UINT PluginSetItemState;         // "TessellarPlugin - SetItemState"
    UINT PluginRedrawItem;           // "TessellarPlugin - RedrawItem"
    UINT PluginRefreshItemImages;    // "TessellarPlugin - RefreshItemIconsBitmaps"
    UINT PluginRecalcAllItems;       // "TessellarPlugin - RecalcAllItems"
    UINT PluginMakePathRelative;     // "TessellarPlugin - MakePathRelative"
    UINT PluginMakePathAbsolute;     // "TessellarPlugin - MakePathAbsolute"
    UINT PluginReserveTimerId;       // "TessellarPlugin - ReserveCustomTimerID"
    UINT PluginCreateFont;           // "TessellarPlugin - CreateFont"
};

// Registers the names on first use; the same table for the whole process.
const BarMessages& GetBarMessages();

// The window-message record a plug-in child window hands to its bar with
// "FormatedMsg From Plugin" (wParam). Only records made here are accepted.
// It never leaves the process, so it has the platform's own MSG layout.
static_assert(sizeof(MSG) == (sizeof(void*) == 8 ? 48 : 28), "the record is the platform's MSG");
MSG* AllocPluginMessageRecord(UINT msg, WPARAM wp, LPARAM lp);
// Takes a record back; false (and nothing freed) for anything not made above.
bool TakePluginMessageRecord(const void* record, MSG* out);
