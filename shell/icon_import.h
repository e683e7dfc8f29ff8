// Icons and bitmaps chosen from outside the theme are copied into the theme's
// folder, so that a packed theme carries them. A file of the same name that
// holds something else is never overwritten: an identical one is reused,
// otherwise the next free name ("app_2.ico") is taken.
#pragma once
#include <windows.h>
#include <cstddef>

struct SkinRecord;

// An icon (.ico, .icl, or an icon group of an .exe or .dll) outside the theme
// goes, after a question (dialog 162), into the theme's "Bars\Icons\Imports\";
// path (MAX_PATH characters) and *index are rewritten. 1 when done; 0 when
// nothing was done (inside the theme, another file type, a negative index,
// cancelled, a target longer than MAX_PATH, a failed copy or extraction).
int ImportIconIntoTheme(char* path, int* index);

// The same for callers that keep the result in a buffer of their own (the
// index stays 0): false when nothing was imported.
bool ImportIconIntoTheme(const char* source, char* imported, size_t imported_size);

// A .bmp outside the theme goes, without a question, into "Imports\" under
// the skin's folder (relativeToSkin with a skin) or the theme's
// "Bars\Bitmaps\"; path (MAX_PATH characters) is rewritten. 0: nothing done.
int ImportBitmapIntoTheme(char* path, int relativeToSkin, SkinRecord* skin);

// The question of dialog 162; its parameter is an ImportQuestion. Ends with
// 1 to go on (target may have been changed by "Save As..."), 0 to cancel.
struct ImportQuestion {
    char target[MAX_PATH];
    bool library;   // an .icl: saved as an icon library
};
INT_PTR CALLBACK ImportFileNameDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
