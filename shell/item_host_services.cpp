// Fills the table through which items' standard commands and context menus
// reach the shell, the theme editor and the property pages.
#include "model/item_host_calls.h"
#include "model/item_messages.h"
#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/icon_dialogs.h"
#include "shell/item_pages.h"
#include "shell/theme_editor.h"
#include "shell/skin_editor_link.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "shell/theme_browser.h"
#include "shell/theme_file.h"
#include "shell/wizard_framework.h"

namespace {

HWND LastActiveWindow() {
    const CStatsMonitor* monitor = GetStatsMonitor();
    return monitor ? monitor->m_foreground : nullptr;
}

void ToggleTimeFiltering() { SetDisableSystrayTimeFiltering(!GetDisableSystrayTimeFiltering()); }

void ToggleHideTaskbar() { SetHideTaskbar(CurrentThemeInfo().HideTaskbar ? 0 : 1, 0); }

void ShowThemesTab() { ShowThemeBrowser(0); }

bool EditSkin(const char* path) { return EditSkinInSkinEditor(path); }

void ShowItemInThemeEditor(CVellumMenuItem* item, int tab) { SelectInThemeEditor(item, tab); }

void AddCopyToThemeEditor(CVellumMenuItem* copy) {
    SelectEditorNode(AddItemToEditorTree(copy, nullptr, 1), 0);
}

void RemoveBarFromThemeEditor(CVellumMenuObject* bar) { RemoveEditorNode(bar); }

void RetitleItemInThemeEditor(CVellumMenuItem* item, const char* title) { SetEditorNodeTitle(item, title); }

// A cancelled dialog keeps the current size.
int AskCustomIconSize(HWND owner, int current) {
    const int chosen = ShowCustomIconSizeDialog(owner ? owner : GetThemeEditorWindow(), current);
    return chosen > 0 ? chosen : current;
}

}  // namespace

void InstallItemHostCalls() {
    // The item code's message names are registered before any bar exists.
    RegisterItemMessages();
    ItemHostCalls& host = GetItemHostCalls();
    host.GetLastActiveWindow = LastActiveWindow;
    host.ToggleLayerHidden = ToggleLayerHidden;
    host.ToggleLayerVolatile = ToggleLayerVolatile;
    host.ToggleSystrayTimeFiltering = ToggleTimeFiltering;
    host.ToggleHideTaskbar = ToggleHideTaskbar;
    host.ShowThemeBrowser = ShowThemesTab;
    host.EditSkinInSkinEditor = EditSkin;
    host.ShowItemInThemeEditor = ShowItemInThemeEditor;
    host.AddItemToThemeEditor = AddCopyToThemeEditor;
    host.RemoveBarFromThemeEditor = RemoveBarFromThemeEditor;
    host.RetitleItemInThemeEditor = RetitleItemInThemeEditor;
    host.AskCustomIconSize = AskCustomIconSize;
    InstallItemPages();
    InstallWizardHostCalls();
}
