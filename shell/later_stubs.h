// Calls from the shell into modules that are not built yet, and nothing
// else: each built module has its own header. Each function here does
// nothing (or reports failure) until its module replaces it; none of them
// pretends that something happened.
#pragma once
#include <windows.h>

class CVellumMenuObject;

// ---- theme editor, helper lines ------------------------------------------------
void ShowThemeEditor();
HWND GetThemeEditorWindow();
void SendThemeEditorCommand(UINT id);
void AddBarToEditorTree(CVellumMenuObject* bar);
void RemoveEditorNode(const void* object);
void SelectEditorObject(const void* object, int deep);
void SuspendEditorPageRedraw(bool suspend);
void AddItemToEditorTreeAndSelect(const void* item);
bool ShowHelperLines();
bool AreHelperLinesShown();
void NotifyHelperLinesBarClosing(CVellumMenuObject* bar);
bool RegisterHelperLinesClass(HINSTANCE instance);


// ---- plug-ins -------------------------------------------------------------------------------------------------
