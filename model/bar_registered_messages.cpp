// Services of the bar module's registered messages that stand apart from
// any one bar.
#include "model/bar_registered_messages.h"
#include "model/bar_messages.h"

namespace {

typedef void(WINAPI* SwitchToThisWindowFunction)(HWND, BOOL);

SwitchToThisWindowFunction BindSwitchToThisWindow() {
    static const SwitchToThisWindowFunction function = [] {
        HMODULE user32 = ::GetModuleHandleA("USER32.DLL");
        return user32 ? reinterpret_cast<SwitchToThisWindowFunction>(
                            ::GetProcAddress(user32, "SwitchToThisWindow"))
                      : nullptr;
    }();
    return function;
}

}  // namespace

int ForwardDesktopRightClick() {
    HWND main = ::FindWindowA("Tessellar Main", "Tessellar");
    if (!main || !::GlobalFindAtomA("TS-DeskRClk")) return 0;
    HWND front = ::GetForegroundWindow();
    DWORD front_thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    DWORD this_thread = ::GetCurrentThreadId();
    bool attached = front_thread && front_thread != this_thread &&
                    ::AttachThreadInput(this_thread, front_thread, TRUE);
    ::SetForegroundWindow(main);
    if (SwitchToThisWindowFunction switch_to = BindSwitchToThisWindow()) switch_to(main, TRUE);
    if (attached) ::AttachThreadInput(this_thread, front_thread, FALSE);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ::PostMessageA(main, GetBarMessages().DesktopRightClick, static_cast<WPARAM>(cursor.x),
                   static_cast<LPARAM>(cursor.y));
    return 1;
}
