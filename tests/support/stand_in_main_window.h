// A stand-in for the program's hidden main window, for tests that create
// real bars in their own process: bars make their window only under a main
// window that carries a stats monitor ("lpStatsMonitor").
#pragma once
#include <windows.h>

namespace testing_support {

// Registers the bar window classes and a main-window class of this name with
// the given procedure (DefWindowProc when null), and creates the window once.
HWND CreateStandInMainWindow(const char* class_name, WNDPROC proc = nullptr);

}  // namespace testing_support
