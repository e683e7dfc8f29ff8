// The one way out of the program to actions that end the session or touch
// the user's data beyond recall: log off, shut down, suspend, empty the
// recycle bin. Commands and menu entries call these pointers; the defaults
// bind the real functions at run time, tests put their own in place.
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
    HRESULT (*EmptyRecycleBin)(HWND owner, const char* root_path, DWORD flags);
    void (*ShutdownDialog)(HWND owner);
};

SystemActions& GetSystemActions();
// Puts the real functions back (tests restore the table with it).
void ResetSystemActions();
