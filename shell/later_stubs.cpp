// Not built yet: each body stays empty (or reports failure) until the module
// it belongs to replaces it. Listed by the module that will own it.
#include "shell/later_stubs.h"

// ---- theme editor: the window and its tree -----------------------
void ShowThemeEditor() {}
HWND GetThemeEditorWindow() { return nullptr; }
void SendThemeEditorCommand(UINT) {}
int SelectInThemeEditor(const void*, int) { return 0; }
int GetEditorLastTab(EditorNodeKind) { return 0; }
void SuspendEditorPageRedraw(bool) {}
HTREEITEM SelectEditorNode(HTREEITEM, int) { return nullptr; }
HTREEITEM FindEditorNode(const void*, bool, HTREEITEM) { return nullptr; }
HTREEITEM AddBarToEditorTree(CVellumMenuObject*) { return nullptr; }
HTREEITEM AddSectionToEditorTree(CVellumMenuSection*, HTREEITEM, int) { return nullptr; }
HTREEITEM AddItemToEditorTree(CVellumMenuItem*, HTREEITEM, int) { return nullptr; }
void UpdateEditorItemNode(CVellumMenuItem*) {}
int SetEditorNodeTitle(const void*, const char*) { return 0; }
void DeleteEditorNode(HTREEITEM) {}
void RemoveEditorNode(const void*) {}
void SortEditorTree() {}
void SortEditorNodeChildren(HTREEITEM) {}
int GetTreeNodeDepth(HWND, HTREEITEM) { return 0; }
void SelectEditorObject(const void*, int) {}
void AddItemToEditorTreeAndSelect(const void*) {}

// ---- tray server -------------------------------------------------------------------------------------------
