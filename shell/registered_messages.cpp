#include "shell/registered_messages.h"

#include "model/registered_names.h"

namespace {

using N = RegisteredName;

const RegisteredNameSlot<ShellMessages> kSlots[] = {
    {&ShellMessages::UpdateLVSkinRunning, N::UpdateLVSkinRunning},
    {&ShellMessages::ThemeStatus, N::ThemeStatus},
    {&ShellMessages::ShouldEnableMousehook, N::ShouldEnableMousehook},
    {&ShellMessages::ConfigurePlugin, N::ConfigurePlugin},
    {&ShellMessages::HideMenusIsWndAllowed, N::HideMenusIsWndAllowed},
    {&ShellMessages::ExitLVConverter, N::ExitLVConverter},
    {&ShellMessages::ActivateTaskbar, N::ActivateTaskbar},
    {&ShellMessages::DesktopRightClick, N::DesktopRightClick},
    {&ShellMessages::PresenceProbe, N::PresenceProbe},
    {&ShellMessages::InvokeShortcutCommand, N::InvokeShortcutCommand},
    {&ShellMessages::FolderMenuExePidl, N::FolderMenuExePidl},
    {&ShellMessages::ShowTrayIcon, N::ShowTrayIcon},
    {&ShellMessages::VolatileClose, N::VolatileClose},
    {&ShellMessages::VolatileLayerCheck, N::VolatileLayerCheck},
    {&ShellMessages::RemoveTempNoCloseVolatile, N::RemoveTempNoCloseVolatile},
    {&ShellMessages::OnTopAppShownOrHidden, N::OnTopAppShownOrHidden},
    {&ShellMessages::ThemeClosingCheckModified, N::ThemeClosingCheckModified},
    {&ShellMessages::SwapItemsBehavior, N::SwapItemsBehavior},
    {&ShellMessages::RemoveItemDelay, N::RemoveItemDelay},
    {&ShellMessages::RemoveSectionDelay, N::RemoveSectionDelay},
    {&ShellMessages::TimeFilteringChanged, N::TimeFilteringChanged},
    {&ShellMessages::HideTaskbarInternal, N::HideTaskbarInternal},
    {&ShellMessages::UpdateHiddenLayers, N::UpdateHiddenLayers},
    {&ShellMessages::GetAfterWindowOnTop, N::GetAfterWindowOnTop},
    {&ShellMessages::BarNewPopup, N::BarNewPopup},
    {&ShellMessages::BarThemeLoaded, N::BarThemeLoaded},
    {&ShellMessages::BarCreated, N::BarCreated},
    {&ShellMessages::BarClosing, N::BarClosing},
    {&ShellMessages::BarClosed, N::BarClosed},
    {&ShellMessages::BarShowing, N::BarShowing},
    {&ShellMessages::BarHiding, N::BarHiding},
    {&ShellMessages::CallRunDialog, N::CallRunDialog},
    {&ShellMessages::TaskbarCreated, N::TaskbarCreated},
    {&ShellMessages::SelectItemDelay, N::SelectItemDelay},
    {&ShellMessages::UpdateHiddenTaskbarDelay, N::UpdateHiddenTaskbarDelay},
    {&ShellMessages::ThemeLoadingDone, N::ThemeLoadingDone},
    {&ShellMessages::ThemeLoadingAlmostDone, N::ThemeLoadingAlmostDone},
    {&ShellMessages::BarSkinChanging, N::BarSkinChanging},
};

ShellMessages g_messages{};
bool g_registered = false;

}  // namespace

const ShellMessages& RegisterShellMessages() {
    if (!g_registered) {
        g_messages = RegisterNames(kSlots);
        g_registered = true;
    }
    return g_messages;
}

const ShellMessages& Msgs() { return RegisterShellMessages(); }
