// For tests that create real bars in their own process: a stand-in for the
// program's hidden main window (bars make their window only under a main
// window that carries a stats monitor, "lpStatsMonitor"), and closing a bar.
#pragma once
#include <windows.h>

class CVellumMenuObject;

namespace testing_support {

// Registers the bar window classes and a main-window class of this name with
// the given procedure (DefWindowProc when null), and creates the window once.
HWND CreateStandInMainWindow(const char* class_name, WNDPROC proc = nullptr);

// What the program's main window does with the messages bars tell each
// other: sends it on to every bar window.
void RelayToEveryBar(UINT msg, WPARAM wp, LPARAM lp);

// A main-window procedure that answers the bars' registered messages the way
// the program's main window does (the shell's own handling, relays included).
LRESULT CALLBACK ShellMainWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

// Ends a bar that is still alive: a windowless one is released, one with a
// window destroyed and waited for (3 s at most). With never_save a modified
// bar does not ask for a file to save to on the way.
void CloseTestBar(CVellumMenuObject* bar, bool never_save);

// Ends every bar a test left open, never asking to save, and lets the
// messages of their closing through.
void CloseEveryTestBar();

}  // namespace testing_support
