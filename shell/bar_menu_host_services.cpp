// Fills the table through which the bar and section context menus reach
// the global options, the theme, the theme editor and the new-item code.
#include "model/bar_menu_host_calls.h"
#include "shell/global_settings.h"
#include "shell/later_stubs.h"
#include "shell/startup.h"
#include "shell/theme_file.h"

namespace {

bool SimpleMenus() { return GetUseSimpleMenus() != 0; }

void SelectInThemeEditor(const void* object, int tab) {
    ShowThemeEditor();
    if (GetThemeEditorWindow()) SelectEditorObject(object, tab);
}

}  // namespace

void InstallBarMenuHostCalls() {
    BarMenuHostCalls& host = GetBarMenuHostCalls();
    host.IsSimpleMenuMode = SimpleMenus;
    host.ThemeHasStyles = ThemeHasStyles;
    host.SelectInThemeEditor = SelectInThemeEditor;
    host.SortEditorTree = SortEditorTree;
    host.CreateNewItem = CreateNewItem;
    host.ShowNewSectionDialog = ShowNewSectionDialog;
    // Programs start through ShellExecute, as the menu does by itself.
    host.StartProgram = nullptr;
}
