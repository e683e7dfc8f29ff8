// Opening documents named on the command line or handed over by a second
// start of the program.
#pragma once
#include <windows.h>

// A bar file, a theme file or a theme package; false when nothing opened.
bool OpenDocument(const char* path);
// A bounded, terminated copy of the text another process sent.
void RunCopyDataCommand(HWND sender, const char* text);
