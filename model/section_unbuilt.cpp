// Section operations that belong to work not built yet: layout, drawing,
// input, the context menu and transitions. Each does
// nothing and reports failure or nothing where it has a result.
#include "model/vellum_menu_section.h"

HMENU CVellumMenuSection::InitContextMenu(HMENU) { return nullptr; }
void CVellumMenuSection::UnInitContextMenu() {}
void CVellumMenuSection::UpdateTransitions(UINT_PTR) {}
