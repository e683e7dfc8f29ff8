// Item operations that belong to work not built yet: the theme editor's
// node and the new-item wizard. Each does nothing and
// reports failure where it has a result.
#include "model/vellum_menu_item.h"

void CVellumMenuItem::SetEditorNodeTitle() {}

// ---- the new-item wizard -----------------------------------------------------------
int CVellumMenuItem::DoNewItemWizzard() { return 0; }
