// The defaults of the system-actions seam: the real functions, looked up at
// run time where the platform may not have them.
#include "model/command_seam.h"

namespace {

BOOL RealExitWindows(UINT flags, DWORD reason) {
    return ::ExitWindowsEx(flags, reason);
}

BOOL RealSuspend(BOOL hibernate) {
    typedef BOOLEAN (WINAPI *SetSuspendStateFn)(BOOLEAN, BOOLEAN, BOOLEAN);
    HMODULE power = ::LoadLibraryA("Powrprof.DLL");
    if (!power) return FALSE;
    auto fn = reinterpret_cast<SetSuspendStateFn>(::GetProcAddress(power, "SetSuspendState"));
    BOOL ok = fn ? fn(hibernate ? TRUE : FALSE, FALSE, FALSE) : FALSE;
    ::FreeLibrary(power);
    return ok;
}

HRESULT RealEmptyRecycleBin(HWND owner, const char* root_path, DWORD flags) {
    typedef HRESULT (WINAPI *EmptyFn)(HWND, LPCSTR, DWORD);
    HMODULE shell = ::GetModuleHandleA("shell32.dll");
    if (!shell) return E_NOTIMPL;
    auto fn = reinterpret_cast<EmptyFn>(::GetProcAddress(shell, "SHEmptyRecycleBinA"));
    return fn ? fn(owner, root_path, flags) : E_NOTIMPL;
}

BOOL RealShutdownDialog(HWND owner) {
    // The shell's shut-down dialog has no name, only ordinal 60.
    typedef int (WINAPI *ExitWindowsDialogFn)(HWND);
    HMODULE shell = ::GetModuleHandleA("shell32.dll");
    if (!shell) return FALSE;
    auto fn = reinterpret_cast<ExitWindowsDialogFn>(
        ::GetProcAddress(shell, MAKEINTRESOURCEA(60)));
    if (!fn) return FALSE;
    fn(owner);
    return TRUE;
}

BOOL RealPostToShellTaskbar(UINT msg, WPARAM wp, LPARAM lp) {
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", "");
    return taskbar && ::PostMessageA(taskbar, msg, wp, lp);
}

SystemActions RealActions() {
    return SystemActions{RealExitWindows, RealSuspend, RealEmptyRecycleBin, RealShutdownDialog,
                         RealPostToShellTaskbar};
}

}  // namespace

SystemActions& GetSystemActions() {
    static SystemActions actions = RealActions();
    return actions;
}

void ResetSystemActions() {
    GetSystemActions() = RealActions();
}
