// Not built yet: each body stays empty (or reports failure) until the module
// it belongs to replaces it. Listed by the module that will own it.
#include "shell/later_stubs.h"

// ---- theme editor: creating, duplicating and saving --------------
void ShowNewSectionDialog(CVellumMenuObject*) {}
CVellumMenuObject* ShowCreateNewBarDialog(HWND, void (*)(CVellumMenuObject*, void*), void*) { return nullptr; }
int CreateNewItem(CVellumMenuObject*, CVellumMenuSection*, CVellumMenuItem*, const char*) { return 0; }
bool DuplicateSection(CVellumMenuSection*) { return false; }
bool DuplicateEditorItem(CVellumMenuItem*) { return false; }
bool CreateSectionForCommand(UINT, CVellumMenuObject*, CVellumMenuSection*) { return false; }
bool CreateItemForCommand(UINT, CVellumMenuObject*, CVellumMenuSection*, CVellumMenuItem*) { return false; }
bool SaveBarAsTemplate(HWND, CVellumMenuObject*) { return false; }

// ---- tray server -------------------------------------------------------------------------------------------
