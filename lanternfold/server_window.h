// The server window and its two stub children.
#pragma once
#include <windows.h>

namespace tray {

LRESULT CALLBACK TrayIconServerWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK RebarStubWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
// Registers a class with the server's style (arrow cursor, no icon, no brush).
bool RegisterServerClass(HINSTANCE instance, const char* name, WNDPROC proc);

class CTrayIconServer;
// The server object of the server window (null while it has none).
CTrayIconServer* ServerOfWindow(HWND wnd);

}  // namespace tray
