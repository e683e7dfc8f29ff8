// Section operations that belong to work not built yet: property pages.
// Each does nothing and reports failure where it has a result.
#include "model/vellum_menu_section.h"

HWND CVellumMenuSection::CallConfigDialogEx(HWND) { return nullptr; }
