// Bar operations whose behaviour belongs to work not built yet (moving a
// bar under the pointer, the theme editor). Each does nothing and reports
// failure (0, none) where it has a result; none pretends to have done its work.
#include "model/vellum_menu_object.h"
#include "model/bar_window.h"
#include "model/bar_file.h"
#include "model/bar_placement.h"



// ---- other parts of the program ----------------------------------------------------------------------
// The theme editor's tree.
void CVellumMenuObject::RetitleEditorNode() {}
