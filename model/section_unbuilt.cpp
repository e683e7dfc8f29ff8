// Section operations that belong to work not built yet: layout, drawing,
// input, the context menu, transitions and property pages. Each does
// nothing and reports failure or nothing where it has a result.
#include "model/vellum_menu_section.h"

HMENU CVellumMenuSection::InitContextMenu(HMENU) { return nullptr; }
void CVellumMenuSection::UnInitContextMenu() {}
void CVellumMenuSection::UpdateTransitions(UINT_PTR) {}
SIZE CVellumMenuSection::CalcIdealSize() { return SIZE{0, 0}; }
int CVellumMenuSection::RecalcRectsFlexible() { return 0; }
int CVellumMenuSection::SetWidth(int) { return 0; }
SIZE CVellumMenuSection::CalcMinMaxSize(int) { return SIZE{0, 0}; }
int CVellumMenuSection::SetSectionRect(int, int, int, int, int) { return 0; }
HWND CVellumMenuSection::CallConfigDialogEx(HWND) { return nullptr; }
