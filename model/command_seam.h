// The one way out of the program to actions that end the session or touch
// the user's data beyond recall: log off, shut down, suspend, empty the
// recycle bin, the shell's shut-down and log-off dialogs and closing the
// shell's taskbar. Commands and menu entries call these pointers; the
// defaults bind the real functions at run time, tests put their own in place.
#pragma once
#include <windows.h>

// winuser.h makes ExitWindows a function-like macro; the seam's member of
// that name must stay callable as a member.
#ifdef ExitWindows
#undef ExitWindows
#endif

struct SystemActions {
    BOOL (*ExitWindows)(UINT flags, DWORD reason);
    BOOL (*Suspend)(BOOL hibernate);
    // E_NOTIMPL when the shell has no such function.
    HRESULT (*EmptyRecycleBin)(HWND owner, const char* root_path, DWORD flags);
    // FALSE when the shell has no such dialog.
    BOOL (*ShutdownDialog)(HWND owner);
    // Posts to the shell's own taskbar (class "Shell_TrayWnd", empty
    // title); FALSE when there is none.
    BOOL (*PostToShellTaskbar)(UINT msg, WPARAM wp, LPARAM lp);
};

SystemActions& GetSystemActions();
// Puts the real functions back (tests restore the table with it).
void ResetSystemActions();
