// The registered window-message names, in the order of RegisteredName.
#include "model/registered_names.h"

namespace {

struct NameEntry {
    RegisteredName id;
    const char* text;
};

using N = RegisteredName;

constexpr NameEntry kNames[] = {
    {N::FormattedFromPlugin, "FormatedMsg From Plugin"},
    {N::MyMouseLeave, "MyMouseLeave"},
    {N::SpeedUpdate, "SpeedUpdate!"},
    {N::SpeedUpdateSection, "SpeedUpdate Section!"},
    {N::LButtonUpBad, "WM_LBUTTONUP_BAD (invalid)"},
    {N::MyShowWindow, "MyShowWindow"},
    {N::MyShowWindow2, "MyShowWindow2"},
    {N::AssociatedPopupShowing, "Associated Popup Showing"},
    {N::QueryIsDocked, "TSQuery - IsDocked"},
    {N::StartTrackingNewItemDelay, "CVellumMenuObject: StartTrackingNewItemDelay"},
    {N::PopupItemClosing, "CMenuItem w/ Popup Closing"},
    {N::BarClosingFreeChildren, "Bar closing... Free child windows!"},
    {N::BarNameChanging, "Bar name is changing! Update popups!"},
    {N::HideBarExternal, "TSHideBar_External"},
    {N::ReloadSkin, "WM_TSRELOADSKIN"},
    {N::DoAutohide, "WM_DOAUTOHIDE"},
    {N::AutoHideShowLeft, "TSAutoHide - ShowLeft"},
    {N::AutoHideShowTop, "TSAutoHide - ShowTop"},
    {N::AutoHideShowRight, "TSAutoHide - ShowRight"},
    {N::AutoHideShowBottom, "TSAutoHide - ShowBottom"},
    {N::StatsUpdated, "Stats Updated"},
    {N::PluginMarkBarModified, "TessellarPlugin - MarkBarModified"},
    {N::PluginSetItemState, "TessellarPlugin - SetItemState"},
    {N::PluginRedrawItem, "TessellarPlugin - RedrawItem"},
    {N::PluginRefreshItemImages, "TessellarPlugin - RefreshItemIconsBitmaps"},
    {N::PluginRecalcAllItems, "TessellarPlugin - RecalcAllItems"},
    {N::PluginMakePathRelative, "TessellarPlugin - MakePathRelative"},
    {N::PluginMakePathAbsolute, "TessellarPlugin - MakePathAbsolute"},
    {N::PluginReserveTimerId, "TessellarPlugin - ReserveCustomTimerID"},
    {N::PluginCreateFont, "TessellarPlugin - CreateFont"},
    {N::ShowPopupFollowup, "TS Show popup followup!"},
    {N::RepopupNonVolatile, "Repopup NonVolitle"},
    {N::ResetPopup, "CMenuItem - ResetPopup"},
    {N::RedrawSingleItemDelayed, "TS Redraw Single Item, Delayed"},
    {N::ImageRelativityChanging, "Image Relativity Changing"},
    {N::ResetPopup2, "CMenuItem - ResetPopup2"},
    {N::WaitForStateChange, "WaitForStateChange!"},
    {N::BarNewPopup, "CMenuObject New Popup!"},
    {N::BarCreated, "CMenuObject Created"},
    {N::BarThemeLoaded, "CMenuObject ThemeLoaded"},
    {N::BarClosing, "CMenuObject Closing"},
    {N::BarClosed, "CMenuObject Closed"},
    {N::BarShowing, "CMenuObject Showing"},
    {N::BarHiding, "CMenuObject Hiding"},
    {N::BarSkinChanging, "This CMenuObject Skin Changing"},
    {N::UpdateLVSkinRunning, "WM_UPDATELVSKINRUNNING"},
    {N::ThemeStatus, "VT_THEMESTATUS"},
    {N::ShouldEnableMousehook, "ShouldEnableMousehook"},
    {N::ConfigurePlugin, "TSConfigure Plugin"},
    {N::HideMenusIsWndAllowed, "HideMenus - IsWndAllowed"},
    {N::ExitLVConverter, "ExitLVConverter"},
    {N::ActivateTaskbar, "CMenuItem - ActivateTaskbar"},
    {N::DesktopRightClick, "TS Desktop Right Click"},
    {N::PresenceProbe, "v1.3 Test"},
    {N::InvokeShortcutCommand, "WM_INVOKESHORTCUTCOMMAND"},
    {N::FolderMenuExePidl, "WM_FOLDERMENUEXEPIDL"},
    {N::ShowTrayIcon, "ShowTrayIcon"},
    {N::VolatileClose, "VolitleClose"},
    {N::VolatileLayerCheck, "VolitleLayerCheck"},
    {N::RemoveTempNoCloseVolatile, "TS - WM_REMOVE_TEMP_NOCLOSEVOLITLE"},
    {N::OnTopAppShownOrHidden, "MyOnTopApp ShownOrHidden"},
    {N::ThemeClosingCheckModified, "Theme is closing... check for modified!"},
    {N::SwapItemsBehavior, "SwapItems (Behavior)"},
    {N::RemoveItemDelay, "Remove Item Delay"},
    {N::RemoveSectionDelay, "Remove Section Delay"},
    {N::TimeFilteringChanged, "TimeFiltering Dis/Enabled!"},
    {N::HideTaskbarInternal, "HideTaskbarInternal"},
    {N::UpdateHiddenLayers, "UpdateHiddenLayers"},
    {N::GetAfterWindowOnTop, "Get After Window - Always On Top"},
    {N::CallRunDialog, "CallRunDialog"},
    {N::TaskbarCreated, "TaskbarCreated"},
    {N::SelectItemDelay, "GUI_SelectItem Delay"},
    {N::UpdateHiddenTaskbarDelay, "Update Hidden Taskbar Special Delay"},
    {N::ThemeLoadingDone, "TS Theme Loading Done"},
    {N::ThemeLoadingAlmostDone, "TS Theme Loading Almost Done"},
    {N::FolderMFUBlockCopies, "FolderMFU List - BlockCopies"},
    {N::UpdatePersonalizedData, "UpdatePersonalizedData"},
    {N::StopPopupForcedDelay, "My WM_STOPPOPUPFORCEDDELAY"},
    {N::FolderRecentProgsUpdated, "Folder-RecentProgsUpdated"},
    {N::FolderPinnedAppsUpdated, "Folder-PinnedAppsUpdated"},
    {N::ExpandPersonalizedDelay, "ExpandPersonalized - Delay"},
    {N::FolderResetSorting, "FolderAdv - Reset Sorting"},
    {N::FolderUpdateSorting, "FolderAdv - Update Sorting"},
    {N::FolderGetWriteOrderLen, "FolderAdv - GetWriteOrderLen"},
    {N::FolderWriteOrderData, "FolderAdv - WriteOrderdata"},
    {N::FolderFullRefresh, "Folder - FullRefresh"},
    {N::ReplaceableIsPresent, "Replacable - IS present"},
    {N::ReplaceableAltPressed, "Replacable - Alt Pressed in Window"},
    {N::EndExplorerHook, "EndExplorerHook"},
};

constexpr bool InIdOrder() {
    for (int i = 0; i < kRegisteredNameCount; ++i)
        if (static_cast<int>(kNames[i].id) != i) return false;
    return true;
}

static_assert(sizeof(kNames) / sizeof(kNames[0]) == kRegisteredNameCount, "a text for every name");
static_assert(InIdOrder(), "the table is indexed by the id");

}  // namespace

const char* RegisteredNameText(RegisteredName id) {
    const int i = static_cast<int>(id);
    return i >= 0 && i < kRegisteredNameCount ? kNames[i].text : "";
}
