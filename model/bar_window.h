// The window procedure of both bar window classes and their registration.
#pragma once
#include <windows.h>

constexpr char kBarWindowClass[] = "Tessellar Toolbar";
constexpr char kDesktopBarWindowClass[] = "Tessellar Toolbar DESKTOP";
// GWLP_USERDATA of every bar window.
constexpr LONG kBarWindowUserData = 0x49474541;

LRESULT CALLBACK BarWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

// Registers "Tessellar Toolbar" and "Tessellar Toolbar DESKTOP" (double
// clicks, the arrow cursor, the button-face background and the program's
// icons) and tells the bar registry how to find a bar's window. True when
// both classes exist afterwards with this procedure.
bool RegisterBarWindowClasses(HINSTANCE instance, HICON large_icon = nullptr,
                              HICON small_icon = nullptr);

// Plug-in items see the messages of the window their child window lives in.
void ForwardWindowMessageToPlugins(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
