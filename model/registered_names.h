// Every registered window-message name the program uses, each spelled once.
// A module keeps its own numbers (filled by RegisterNames from a list of the
// names it uses); equal names give equal numbers, so modules agree without
// sharing variables.
#pragma once
#include <windows.h>
#include <cstddef>

enum class RegisteredName : int {
    // bars, items and plug-ins
    FormattedFromPlugin,
    MyMouseLeave,
    SpeedUpdate,
    SpeedUpdateSection,
    LButtonUpBad,
    MyShowWindow,
    MyShowWindow2,
    AssociatedPopupShowing,
    QueryIsDocked,
    StartTrackingNewItemDelay,
    PopupItemClosing,
    BarClosingFreeChildren,
    BarNameChanging,
    HideBarExternal,
    ReloadSkin,
    DoAutohide,
    AutoHideShowLeft,
    AutoHideShowTop,
    AutoHideShowRight,
    AutoHideShowBottom,
    StatsUpdated,
    PluginMarkBarModified,
    PluginSetItemState,
    PluginRedrawItem,
    PluginRefreshItemImages,
    PluginRecalcAllItems,
    PluginMakePathRelative,
    PluginMakePathAbsolute,
    PluginReserveTimerId,
    PluginCreateFont,
    // popup items
    ShowPopupFollowup,
    RepopupNonVolatile,
    ResetPopup,
    RedrawSingleItemDelayed,
    // items
    ImageRelativityChanging,
    ResetPopup2,
    WaitForStateChange,
    // bar life cycle, announced to the main window
    BarNewPopup,
    BarCreated,
    BarThemeLoaded,
    BarClosing,
    BarClosed,
    BarShowing,
    BarHiding,
    BarSkinChanging,
    // the application and its theme
    UpdateLVSkinRunning,
    ThemeStatus,
    ShouldEnableMousehook,
    ConfigurePlugin,
    HideMenusIsWndAllowed,
    ExitLVConverter,
    ActivateTaskbar,
    DesktopRightClick,
    PresenceProbe,
    InvokeShortcutCommand,
    FolderMenuExePidl,
    ShowTrayIcon,
    VolatileClose,
    VolatileLayerCheck,
    RemoveTempNoCloseVolatile,
    OnTopAppShownOrHidden,
    ThemeClosingCheckModified,
    SwapItemsBehavior,
    RemoveItemDelay,
    RemoveSectionDelay,
    TimeFilteringChanged,
    HideTaskbarInternal,
    UpdateHiddenLayers,
    GetAfterWindowOnTop,
    CallRunDialog,
    TaskbarCreated,
    SelectItemDelay,
    UpdateHiddenTaskbarDelay,
    ThemeLoadingDone,
    ThemeLoadingAlmostDone,
    // shortcut items and folder sections
    FolderMFUBlockCopies,
    UpdatePersonalizedData,
    StopPopupForcedDelay,
    FolderRecentProgsUpdated,
    FolderPinnedAppsUpdated,
    ExpandPersonalizedDelay,
    FolderResetSorting,
    FolderUpdateSorting,
    FolderGetWriteOrderLen,
    FolderWriteOrderData,
    FolderFullRefresh,
    // menu mirroring
    ReplaceableIsPresent,
    ReplaceableAltPressed,
    // the foreground-application monitor
    EndExplorerHook,
    Count
};

constexpr int kRegisteredNameCount = static_cast<int>(RegisteredName::Count);

// The name as registered; "" for an id outside the table.
const char* RegisteredNameText(RegisteredName id);

// One field of a module's own message table and the name it holds.
template <class Table>
struct RegisteredNameSlot {
    UINT Table::*field;
    RegisteredName name;
};

// Registers the listed names into a fresh table of the module's own.
template <class Table, size_t N>
Table RegisterNames(const RegisteredNameSlot<Table> (&slots)[N]) {
    Table table{};
    for (const RegisteredNameSlot<Table>& s : slots)
        table.*(s.field) = RegisterWindowMessageA(RegisteredNameText(s.name));
    return table;
}
