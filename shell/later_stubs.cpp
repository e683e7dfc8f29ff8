// Not built yet: each body stays empty (or reports failure) until the module
// it belongs to replaces it. Listed by the module that will own it.
#include "shell/later_stubs.h"

// ---- theme editor ------------------------------------------------
void ShowThemeEditor() {}
HWND GetThemeEditorWindow() { return nullptr; }
void SendThemeEditorCommand(UINT) {}
void AddBarToEditorTree(CVellumMenuObject*) {}
void RemoveEditorNode(const void*) {}
void SelectEditorObject(const void*, int) {}
void SuspendEditorPageRedraw(bool) {}
void AddItemToEditorTreeAndSelect(const void*) {}
void SortEditorTree() {}
void ShowNewSectionDialog(CVellumMenuObject*) {}
int CreateNewItem(CVellumMenuObject*, CVellumMenuSection*, CVellumMenuItem*, const char*) { return 0; }

// ---- tray server -------------------------------------------------------------------------------------------
