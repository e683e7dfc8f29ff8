// Item operations that belong to work not built yet: the theme editor's
// node. Each does nothing and reports failure where it has a result.
#include "model/vellum_menu_item.h"

void CVellumMenuItem::SetEditorNodeTitle() {}

