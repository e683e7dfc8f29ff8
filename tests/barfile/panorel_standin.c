/* A stand-in for the virtual-desktop band library: the three exports the
   program looks for, doing nothing. */
#include <windows.h>

__declspec(dllexport) int addWindow(HWND parent) { (void)parent; return 0; }
__declspec(dllexport) int releaseWindow(HWND parent) { (void)parent; return 0; }
__declspec(dllexport) int showPreferences(HWND parent) { (void)parent; return 0; }
