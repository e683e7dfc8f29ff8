// Opening documents named on the command line or handed over by a second
// start, and the main window's WM_COPYDATA text commands.
#pragma once
#include <windows.h>

// A bar file, a theme file or a theme package; false when nothing opened.
bool OpenDocument(const char* path);
// A bounded, terminated copy of the text another process sent: a plain
// command, or (beginning with "<") one of the skin editor's.
void RunCopyDataCommand(HWND sender, const char* text);

// What the plain commands call; tests put their own in place.
struct CopyDataCommandCalls {
    void (*show_theme_editor)();
    bool (*open_document)(const char* path);
};
CopyDataCommandCalls& CopyDataCalls();
