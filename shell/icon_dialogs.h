// The modal icon dialogs of the property pages, the wizard and the theme
// editor: Change Icon (a file and one of its icons) and the custom icon size.
#pragma once
#include <windows.h>
#include <cstddef>

// Change Icon (template 1060). path holds MAX_PATH characters. With
// browseFirst an open-file dialog starting in path comes first (cancelling
// it cancels everything); otherwise path is listed with *index selected.
// 1 when OK was pressed on the listed file: path and *index are the choice.
// 0 otherwise, path and *index unchanged.
int ShowChangeIconDialog(char* path, int* index, int browseFirst, HWND owner);

// The same for callers that start from a folder and keep the choice in a
// buffer of their own: browses first from folder; false when nothing was
// chosen.
bool ShowChangeIconDialog(HWND parent, const char* folder, char* path, size_t path_size, int* index);

// The custom icon size dialog (template 157); the creation parameter is the
// current size, the dialog's result the chosen size or 0 when cancelled.
INT_PTR CALLBACK CustomIconSizeDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

// Runs the custom icon size dialog modally: the chosen size, 0 when cancelled.
int ShowCustomIconSizeDialog(HWND owner, int current);

// The folder the icon browsers start in: the theme's "Bars\Icons\", else
// its "Bars\", else the theme folder itself (MAX_PATH characters).
void GetIconBrowseFolder(char* folder, size_t size);
