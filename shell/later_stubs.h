// Calls from the shell into modules that are not built yet, and nothing
// else: each built module has its own header. Each function here does
// nothing (or reports failure) until its module replaces it; none of them
// pretends that something happened.
#pragma once
#include <windows.h>

class CVellumMenuObject;
class CVellumMenuSection;
class CVellumMenuItem;

// ---- theme editor ------------------------------------------------
void ShowThemeEditor();
HWND GetThemeEditorWindow();
void SendThemeEditorCommand(UINT id);
void AddBarToEditorTree(CVellumMenuObject* bar);
void RemoveEditorNode(const void* object);
void SelectEditorObject(const void* object, int deep);
void SuspendEditorPageRedraw(bool suspend);
void AddItemToEditorTreeAndSelect(const void* item);
// The editor's tree sorts its bars again.
void SortEditorTree();
// The new-section dialog of the editor for the bar.
void ShowNewSectionDialog(CVellumMenuObject* bar);
// A new item of the type ("Shortcut", "Clock", "Popup") after the item; 0:
// nothing was created.
int CreateNewItem(CVellumMenuObject* bar, CVellumMenuSection* section, CVellumMenuItem* after,
                  const char* typeName);


// ---- plug-ins -------------------------------------------------------------------------------------------------
