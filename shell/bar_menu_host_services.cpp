// Fills the table through which the bar and section context menus reach
// the global options, the theme, the theme editor and the new-item code.
#include "model/bar_menu_host_calls.h"
#include "shell/global_settings.h"
#include "shell/theme_editor.h"
#include "shell/startup.h"
#include "shell/theme_file.h"

namespace {

bool SimpleMenus() { return GetUseSimpleMenus() != 0; }

void SelectInEditor(const void* object, int tab) { SelectInThemeEditor(object, tab); }

}  // namespace

void InstallBarMenuHostCalls() {
    BarMenuHostCalls& host = GetBarMenuHostCalls();
    host.IsSimpleMenuMode = SimpleMenus;
    host.ThemeHasStyles = ThemeHasStyles;
    host.SelectInThemeEditor = SelectInEditor;
    host.SortEditorTree = SortEditorTree;
    host.CreateNewItem = CreateNewItem;
    host.ShowNewSectionDialog = ShowNewSectionDialog;
    // Programs start through ShellExecute, as the menu does by itself.
    host.StartProgram = nullptr;
}
