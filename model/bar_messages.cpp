// Registration of the bar module's window-message names, and the plug-in
// message records that travel by pointer.
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/registered_names.h"

namespace {

using N = RegisteredName;

const RegisteredNameSlot<BarMessages> kSlots[] = {
    {&BarMessages::FormattedFromPlugin, N::FormattedFromPlugin},
    {&BarMessages::MyMouseLeave, N::MyMouseLeave},
    {&BarMessages::SpeedUpdate, N::SpeedUpdate},
    {&BarMessages::SpeedUpdateSection, N::SpeedUpdateSection},
    {&BarMessages::LButtonUpBad, N::LButtonUpBad},
    {&BarMessages::MyShowWindow, N::MyShowWindow},
    {&BarMessages::MyShowWindow2, N::MyShowWindow2},
    {&BarMessages::MenuObjectCreated, N::BarCreated},
    {&BarMessages::MenuObjectThemeLoaded, N::BarThemeLoaded},
    {&BarMessages::MenuObjectClosing, N::BarClosing},
    {&BarMessages::MenuObjectClosed, N::BarClosed},
    {&BarMessages::MenuObjectShowing, N::BarShowing},
    {&BarMessages::MenuObjectHiding, N::BarHiding},
    {&BarMessages::AssociatedPopupShowing, N::AssociatedPopupShowing},
    {&BarMessages::VolatileClose, N::VolatileClose},
    {&BarMessages::VolatileLayerCheck, N::VolatileLayerCheck},
    {&BarMessages::UpdateHiddenLayers, N::UpdateHiddenLayers},
    {&BarMessages::GetAfterWindow, N::GetAfterWindowOnTop},
    {&BarMessages::QueryIsDocked, N::QueryIsDocked},
    {&BarMessages::StartTrackingNewItemDelay, N::StartTrackingNewItemDelay},
    {&BarMessages::PopupItemClosing, N::PopupItemClosing},
    {&BarMessages::SkinChanging, N::BarSkinChanging},
    {&BarMessages::ThemeClosingCheckModified, N::ThemeClosingCheckModified},
    {&BarMessages::BarClosingFreeChildren, N::BarClosingFreeChildren},
    {&BarMessages::BarNameChanging, N::BarNameChanging},
    {&BarMessages::ThemeLoadingDone, N::ThemeLoadingDone},
    {&BarMessages::ShouldEnableMousehook, N::ShouldEnableMousehook},
    {&BarMessages::HideBarExternal, N::HideBarExternal},
    {&BarMessages::ReloadSkin, N::ReloadSkin},
    {&BarMessages::DoAutohide, N::DoAutohide},
    {&BarMessages::AutoHideShowLeft, N::AutoHideShowLeft},
    {&BarMessages::AutoHideShowTop, N::AutoHideShowTop},
    {&BarMessages::AutoHideShowRight, N::AutoHideShowRight},
    {&BarMessages::AutoHideShowBottom, N::AutoHideShowBottom},
    {&BarMessages::OnTopAppShownOrHidden, N::OnTopAppShownOrHidden},
    {&BarMessages::StatsUpdated, N::StatsUpdated},
    {&BarMessages::TaskbarCreated, N::TaskbarCreated},
    {&BarMessages::DesktopRightClick, N::DesktopRightClick},
    {&BarMessages::UpdateLvSkinRunning, N::UpdateLVSkinRunning},
    {&BarMessages::PluginMarkBarModified, N::PluginMarkBarModified},
    {&BarMessages::PluginSetItemState, N::PluginSetItemState},
    {&BarMessages::PluginRedrawItem, N::PluginRedrawItem},
    {&BarMessages::PluginRefreshItemImages, N::PluginRefreshItemImages},
    {&BarMessages::PluginRecalcAllItems, N::PluginRecalcAllItems},
    {&BarMessages::PluginMakePathRelative, N::PluginMakePathRelative},
    {&BarMessages::PluginMakePathAbsolute, N::PluginMakePathAbsolute},
    {&BarMessages::PluginReserveTimerId, N::PluginReserveTimerId},
    {&BarMessages::PluginCreateFont, N::PluginCreateFont},
};

}  // namespace

const BarMessages& GetBarMessages() {
    static const BarMessages messages = RegisterNames(kSlots);
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
