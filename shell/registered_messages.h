// The window messages the application shell registers at start, and the
// private (unregistered) message numbers it shares with other modules.
#pragma once
#include <windows.h>

// Every module registers its own copy of each name it uses (the names are
// spelled once, in model/registered_names.cpp); equal names give equal
// numbers, so the bars and the shell agree without sharing variables.
struct ShellMessages {
    UINT UpdateLVSkinRunning;          // "WM_UPDATELVSKINRUNNING"
    UINT ThemeStatus;                  // "VT_THEMESTATUS"
    UINT ShouldEnableMousehook;        // "ShouldEnableMousehook"
    UINT ConfigurePlugin;              // "TSConfigure Plugin"
    UINT HideMenusIsWndAllowed;        // "HideMenus - IsWndAllowed"
    UINT ExitLVConverter;              // "ExitLVConverter"
    UINT ActivateTaskbar;              // "CMenuItem - ActivateTaskbar"
    UINT DesktopRightClick;            // "TS Desktop Right Click"
    UINT PresenceProbe;                // "v1.3 Test"
    UINT InvokeShortcutCommand;        // "WM_INVOKESHORTCUTCOMMAND"
    UINT FolderMenuExePidl;            // "WM_FOLDERMENUEXEPIDL"
    UINT ShowTrayIcon;                 // "ShowTrayIcon"
    UINT VolatileClose;                // "VolitleClose"
    UINT VolatileLayerCheck;           // "VolitleLayerCheck"
    UINT RemoveTempNoCloseVolatile;    // "TS - WM_REMOVE_TEMP_NOCLOSEVOLITLE"
    UINT OnTopAppShownOrHidden;        // "MyOnTopApp ShownOrHidden"
    UINT ThemeClosingCheckModified;    // "Theme is closing... check for modified!"
    UINT SwapItemsBehavior;            // "SwapItems (Behavior)"
    UINT RemoveItemDelay;              // "Remove Item Delay"
    UINT RemoveSectionDelay;           // "Remove Section Delay"
    UINT TimeFilteringChanged;         // "TimeFiltering Dis/Enabled!"
    UINT HideTaskbarInternal;          // "HideTaskbarInternal"
    UINT UpdateHiddenLayers;           // "UpdateHiddenLayers"
    UINT GetAfterWindowOnTop;          // "Get After Window - Always On Top"
    UINT BarNewPopup;                  // "CMenuObject New Popup!"
    UINT BarThemeLoaded;               // "CMenuObject ThemeLoaded"
    UINT BarCreated;                   // "CMenuObject Created"
    UINT BarClosing;                   // "CMenuObject Closing"
    UINT BarClosed;                    // "CMenuObject Closed"
    UINT BarShowing;                   // "CMenuObject Showing"
    UINT BarHiding;                    // "CMenuObject Hiding"
    UINT CallRunDialog;                // "CallRunDialog"
    UINT TaskbarCreated;               // "TaskbarCreated"
    UINT SelectItemDelay;              // "GUI_SelectItem Delay"
    UINT UpdateHiddenTaskbarDelay;     // "Update Hidden Taskbar Special Delay"
    // Registered by the theme module; kept here so the relay knows them.
    UINT ThemeLoadingDone;             // "TS Theme Loading Done"
    UINT ThemeLoadingAlmostDone;       // "TS Theme Loading Almost Done"
    UINT BarSkinChanging;              // "This CMenuObject Skin Changing"
};

// Registers every name once (later calls do nothing) and returns the table.
const ShellMessages& RegisterShellMessages();
// The table; registers on first use.
const ShellMessages& Msgs();

// Private message numbers, not registered.
constexpr UINT WM_TSTRAYICON = 1446;          // the program's notification icon
constexpr UINT WM_APPBARCALLBACK = 1865;      // docked bars' application-bar callback
constexpr UINT WM_BARACTIVATE = 9880;
constexpr UINT WM_HOOK_WINDOW_ACTIVATED = 10876;
constexpr UINT WM_HOOK_WINDOW_CREATED = 10877;
constexpr UINT WM_HOOK_WINDOW_DESTROYED = 10878;
// The tray server's watchdog (sent to "Shell_TrayWnd" titled "CLanternfold").
constexpr UINT WM_TRAYSETAUTOSTART = WM_USER + 657;
constexpr UINT WM_TRAYARMWATCHDOG = WM_USER + 662;
constexpr UINT WM_TRAYDISARMWATCHDOG = WM_USER + 663;

// The notification icon's double click, as a second start hands it over.
constexpr LPARAM kTrayIconDoubleClick = WM_LBUTTONDBLCLK;   // 515
constexpr LPARAM kTrayIconRightDown = WM_RBUTTONDOWN;       // 516
