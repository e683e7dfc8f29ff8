#include "shell/registered_messages.h"

namespace {

struct NameSlot {
    UINT ShellMessages::*slot;
    const char* name;
};

const NameSlot kNames[] = {
    {&ShellMessages::UpdateLVSkinRunning, "WM_UPDATELVSKINRUNNING"},
    {&ShellMessages::ThemeStatus, "VT_THEMESTATUS"},
    {&ShellMessages::ShouldEnableMousehook, "ShouldEnableMousehook"},
    {&ShellMessages::ConfigurePlugin, "TSConfigure Plugin"},
    {&ShellMessages::HideMenusIsWndAllowed, "HideMenus - IsWndAllowed"},
    {&ShellMessages::ExitLVConverter, "ExitLVConverter"},
    {&ShellMessages::ActivateTaskbar, "CMenuItem - ActivateTaskbar"},
    {&ShellMessages::DesktopRightClick, "TS Desktop Right Click"},
    {&ShellMessages::PresenceProbe, "v1.3 Test"},
    {&ShellMessages::InvokeShortcutCommand, "WM_INVOKESHORTCUTCOMMAND"},
    {&ShellMessages::FolderMenuExePidl, "WM_FOLDERMENUEXEPIDL"},
    {&ShellMessages::ShowTrayIcon, "ShowTrayIcon"},
    {&ShellMessages::VolatileClose, "VolitleClose"},
    {&ShellMessages::VolatileLayerCheck, "VolitleLayerCheck"},
    {&ShellMessages::RemoveTempNoCloseVolatile, "TS - WM_REMOVE_TEMP_NOCLOSEVOLITLE"},
    {&ShellMessages::OnTopAppShownOrHidden, "MyOnTopApp ShownOrHidden"},
    {&ShellMessages::ThemeClosingCheckModified, "Theme is closing... check for modified!"},
    {&ShellMessages::SwapItemsBehavior, "SwapItems (Behavior)"},
    {&ShellMessages::RemoveItemDelay, "Remove Item Delay"},
    {&ShellMessages::RemoveSectionDelay, "Remove Section Delay"},
    {&ShellMessages::TimeFilteringChanged, "TimeFiltering Dis/Enabled!"},
    {&ShellMessages::HideTaskbarInternal, "HideTaskbarInternal"},
    {&ShellMessages::UpdateHiddenLayers, "UpdateHiddenLayers"},
    {&ShellMessages::GetAfterWindowOnTop, "Get After Window - Always On Top"},
    {&ShellMessages::BarNewPopup, "CMenuObject New Popup!"},
    {&ShellMessages::BarThemeLoaded, "CMenuObject ThemeLoaded"},
    {&ShellMessages::BarCreated, "CMenuObject Created"},
    {&ShellMessages::BarClosing, "CMenuObject Closing"},
    {&ShellMessages::BarClosed, "CMenuObject Closed"},
    {&ShellMessages::BarShowing, "CMenuObject Showing"},
    {&ShellMessages::BarHiding, "CMenuObject Hiding"},
    {&ShellMessages::CallRunDialog, "CallRunDialog"},
    {&ShellMessages::TaskbarCreated, "TaskbarCreated"},
    {&ShellMessages::SelectItemDelay, "GUI_SelectItem Delay"},
    {&ShellMessages::UpdateHiddenTaskbarDelay, "Update Hidden Taskbar Special Delay"},
    {&ShellMessages::ThemeLoadingDone, "TS Theme Loading Done"},
    {&ShellMessages::ThemeLoadingAlmostDone, "TS Theme Loading Almost Done"},
    {&ShellMessages::BarSkinChanging, "This CMenuObject Skin Changing"},
};

ShellMessages g_messages{};
bool g_registered = false;

}  // namespace

const ShellMessages& RegisterShellMessages() {
    if (!g_registered) {
        for (const NameSlot& n : kNames) g_messages.*(n.slot) = RegisterWindowMessageA(n.name);
        g_registered = true;
    }
    return g_messages;
}

const ShellMessages& Msgs() { return RegisterShellMessages(); }
