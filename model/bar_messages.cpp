// Registration of the bar module's window-message names, and the plug-in
// message records that travel by pointer.
#include "model/bar_messages.h"
#include "model/live_objects.h"

namespace {

BarMessages RegisterAll() {
    BarMessages m;
    m.FormattedFromPlugin = RegisterWindowMessageA("FormatedMsg From Plugin");
    m.MyMouseLeave = RegisterWindowMessageA("MyMouseLeave");
    m.SpeedUpdate = RegisterWindowMessageA("SpeedUpdate!");
    m.SpeedUpdateSection = RegisterWindowMessageA("SpeedUpdate Section!");
    m.LButtonUpBad = RegisterWindowMessageA("WM_LBUTTONUP_BAD (invalid)");
    m.MyShowWindow = RegisterWindowMessageA("MyShowWindow");
    m.MyShowWindow2 = RegisterWindowMessageA("MyShowWindow2");
    m.MenuObjectCreated = RegisterWindowMessageA("CMenuObject Created");
    m.MenuObjectThemeLoaded = RegisterWindowMessageA("CMenuObject ThemeLoaded");
    m.MenuObjectClosing = RegisterWindowMessageA("CMenuObject Closing");
    m.MenuObjectClosed = RegisterWindowMessageA("CMenuObject Closed");
    m.MenuObjectShowing = RegisterWindowMessageA("CMenuObject Showing");
    m.MenuObjectHiding = RegisterWindowMessageA("CMenuObject Hiding");
    m.AssociatedPopupShowing = RegisterWindowMessageA("Associated Popup Showing");
    m.VolatileClose = RegisterWindowMessageA("VolitleClose");
    m.VolatileLayerCheck = RegisterWindowMessageA("VolitleLayerCheck");
    m.UpdateHiddenLayers = RegisterWindowMessageA("UpdateHiddenLayers");
    m.GetAfterWindow = RegisterWindowMessageA("Get After Window - Always On Top");
    m.QueryIsDocked = RegisterWindowMessageA("TSQuery - IsDocked");
    m.StartTrackingNewItemDelay =
        RegisterWindowMessageA("CVellumMenuObject: StartTrackingNewItemDelay");
    m.PopupItemClosing = RegisterWindowMessageA("CMenuItem w/ Popup Closing");
    m.SkinChanging = RegisterWindowMessageA("This CMenuObject Skin Changing");
    m.ThemeClosingCheckModified =
        RegisterWindowMessageA("Theme is closing... check for modified!");
    m.BarClosingFreeChildren = RegisterWindowMessageA("Bar closing... Free child windows!");
    m.BarNameChanging = RegisterWindowMessageA("Bar name is changing! Update popups!");
    m.ThemeLoadingDone = RegisterWindowMessageA("TS Theme Loading Done");
    m.ShouldEnableMousehook = RegisterWindowMessageA("ShouldEnableMousehook");
    m.HideBarExternal = RegisterWindowMessageA("TSHideBar_External");
    m.ReloadSkin = RegisterWindowMessageA("WM_TSRELOADSKIN");
    m.DoAutohide = RegisterWindowMessageA("WM_DOAUTOHIDE");
    m.AutoHideShowLeft = RegisterWindowMessageA("TSAutoHide - ShowLeft");
    m.AutoHideShowTop = RegisterWindowMessageA("TSAutoHide - ShowTop");
    m.AutoHideShowRight = RegisterWindowMessageA("TSAutoHide - ShowRight");
    m.AutoHideShowBottom = RegisterWindowMessageA("TSAutoHide - ShowBottom");
    m.OnTopAppShownOrHidden = RegisterWindowMessageA("MyOnTopApp ShownOrHidden");
    m.StatsUpdated = RegisterWindowMessageA("Stats Updated");
    m.TaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    m.DesktopRightClick = RegisterWindowMessageA("TS Desktop Right Click");
    m.UpdateLvSkinRunning = RegisterWindowMessageA("WM_UPDATELVSKINRUNNING");
    m.PluginMarkBarModified = RegisterWindowMessageA("TessellarPlugin - MarkBarModified");
    m.PluginSetItemState = RegisterWindowMessageA("TessellarPlugin - SetItemState");
    m.PluginRedrawItem = RegisterWindowMessageA("TessellarPlugin - RedrawItem");
    m.PluginRefreshItemImages =
        RegisterWindowMessageA("TessellarPlugin - RefreshItemIconsBitmaps");
    m.PluginRecalcAllItems = RegisterWindowMessageA("TessellarPlugin - RecalcAllItems");
    m.PluginMakePathRelative = RegisterWindowMessageA("TessellarPlugin - MakePathRelative");
    m.PluginMakePathAbsolute = RegisterWindowMessageA("TessellarPlugin - MakePathAbsolute");
    m.PluginReserveTimerId = RegisterWindowMessageA("TessellarPlugin - ReserveCustomTimerID");
    m.PluginCreateFont = RegisterWindowMessageA("TessellarPlugin - CreateFont");
    return m;
}

}  // namespace

const BarMessages& GetBarMessages() {
    static const BarMessages messages = RegisterAll();
    return messages;
}

MSG* AllocPluginMessageRecord(UINT msg, WPARAM wp, LPARAM lp) {
    MSG* record = new MSG();
    record->message = msg;
    record->wParam = wp;
    record->lParam = lp;
    RegisterOwnedRecord(record);
    return record;
}

bool TakePluginMessageRecord(const void* record, MSG* out) {
    if (!record || !IsOwnedRecord(record)) return false;
    const MSG* owned = static_cast<const MSG*>(record);
    if (out) *out = *owned;
    UnregisterOwnedRecord(record);
    delete owned;
    return true;
}
