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


// ---- icons: import into the theme --------------------------------------------------------------------
struct SkinRecord;
// Copies a bitmap from outside the theme into it and rewrites path (MAX_PATH
// characters); 0: nothing imported, the path is kept.
int ImportBitmapIntoTheme(char* path, int relativeToSkin, SkinRecord* skin);



// ---- icons: Change Icon and icon import ---------------------------------------------------------------
// The Change Icon dialog starting in folder; false: nothing chosen.
bool ShowChangeIconDialog(HWND parent, const char* folder, char* path, size_t path_size, int* index);
// Copies an icon file into the theme; false: nothing imported.
bool ImportIconIntoTheme(const char* source, char* imported, size_t imported_size);

// ---- plug-ins -------------------------------------------------------------------------------------------------
