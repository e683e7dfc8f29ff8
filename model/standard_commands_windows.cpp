// Standard commands that act on other programs' windows: closing and
// minimising the last active window, hiding and showing all windows, and
// the editing keys sent to whatever window has the focus. Another program
// may hang or ask questions when told to close: nothing here waits on it for
// longer than a bounded time-out, so the bars keep answering.
#include "model/standard_commands.h"

#include <initializer_list>
#include "model/item_host_calls.h"
#include "model/standard_commands_internal.h"

namespace stdcmd {

namespace {

HWND LastActiveWindow() {
    const ItemHostCalls& host = GetItemHostCalls();
    HWND wnd = host.GetLastActiveWindow ? host.GetLastActiveWindow() : nullptr;
    return wnd && ::IsWindow(wnd) ? wnd : nullptr;
}

bool HasMinimizeBox(HWND wnd) {
    return (::GetWindowLongA(wnd, GWL_STYLE) & WS_MINIMIZEBOX) != 0;
}

// SC_MINIMIZE or SC_RESTORE, given up after the time-out when the window
// does not answer.
void SendSysCommand(HWND wnd, WPARAM command) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(wnd, WM_SYSCOMMAND, command, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                          kSysCommandTimeoutMs, &ignored);
}

// The minimise animation is off while the object lives and is put back as it
// was when it goes, on every path.
class MinimizeAnimationOff {
public:
    MinimizeAnimationOff() {
        saved_.cbSize = sizeof(saved_);
        have_ = ::SystemParametersInfoA(SPI_GETANIMATION, sizeof(saved_), &saved_, 0) != FALSE;
        if (!have_) return;
        ANIMATIONINFO off = saved_;
        off.iMinAnimate = 0;
        ::SystemParametersInfoA(SPI_SETANIMATION, sizeof(off), &off, 0);
    }
    ~MinimizeAnimationOff() {
        if (have_) ::SystemParametersInfoA(SPI_SETANIMATION, sizeof(saved_), &saved_, 0);
    }
    MinimizeAnimationOff(const MinimizeAnimationOff&) = delete;
    MinimizeAnimationOff& operator=(const MinimizeAnimationOff&) = delete;

private:
    ANIMATIONINFO saved_ = {};
    bool have_ = false;
};

int ForEveryTopWindow(WNDENUMPROC proc, HWND except) {
    MinimizeAnimationOff animation_off;
    ::EnumWindows(proc, reinterpret_cast<LPARAM>(except));
    return 1;
}

// Key presses as the user would type them: each modifier down, the key
// pressed and released, the modifiers up in reverse order.
void PressKeys(BYTE modifier, BYTE key, DWORD modifier_flags = 0) {
    ::keybd_event(modifier, 0, modifier_flags, 0);
    ::keybd_event(key, 0, 0, 0);
    ::keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    ::keybd_event(modifier, 0, modifier_flags | KEYEVENTF_KEYUP, 0);
}

// The last active window to the foreground, then Ctrl with the key.
int CtrlKeyToLastActive(BYTE key) {
    if (HWND last = LastActiveWindow()) ::SetForegroundWindow(last);
    PressKeys(VK_CONTROL, key);
    return 1;
}

}  // namespace

int CloseForegroundWindow(const CommandContext&) {
    HWND last = LastActiveWindow();
    if (!last) return 0;
    // Posted: a program that hangs or asks to save must not hold the bars.
    return ::PostMessageA(last, WM_SYSCOMMAND, SC_CLOSE, 0) ? 1 : 0;
}

int DuplicateSelection(const CommandContext&) {
    if (HWND last = LastActiveWindow()) ::SetForegroundWindow(last);
    ::keybd_event(VK_CONTROL, 0, 0, 0);
    for (BYTE key : {BYTE('C'), BYTE('V')}) {
        ::keybd_event(key, 0, 0, 0);
        ::keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
    ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    return 1;
}

int FindDialog(const CommandContext&) {
    PressKeys(VK_LWIN, 'F', KEYEVENTF_EXTENDEDKEY);
    return 1;
}

int UndoKeys(const CommandContext&) {
    PressKeys(VK_CONTROL, 'Z');
    return 1;
}

int CutKeys(const CommandContext&) { return CtrlKeyToLastActive('X'); }
int CopyKeys(const CommandContext&) { return CtrlKeyToLastActive('C'); }
int PasteKeys(const CommandContext&) { return CtrlKeyToLastActive('V'); }
int ClearKeys(const CommandContext&) { return CtrlKeyToLastActive(VK_DELETE); }
int SelectAllKeys(const CommandContext&) { return CtrlKeyToLastActive('A'); }

int MinimizeForegroundWindow(const CommandContext&) {
    HWND last = LastActiveWindow();
    if (!last || !HasMinimizeBox(last)) return 0;
    SendSysCommand(last, SC_MINIMIZE);
    return 1;
}

int HideAllOtherWindows(const CommandContext&) {
    return ForEveryTopWindow(MinimizeOtherWindowsEnumProc, LastActiveWindow());
}

int ShowAllOtherWindows(const CommandContext&) {
    return ForEveryTopWindow(RestoreOtherWindowsEnumProc, LastActiveWindow());
}

int ShowAllWindows(const CommandContext&) {
    return ForEveryTopWindow(RestoreOtherWindowsEnumProc, nullptr);
}

int HideAllWindows(const CommandContext&) {
    return ForEveryTopWindow(MinimizeOtherWindowsEnumProc, nullptr);
}

}  // namespace stdcmd

BOOL CALLBACK MinimizeOtherWindowsEnumProc(HWND wnd, LPARAM except) {
    if (wnd != reinterpret_cast<HWND>(except) && ::IsWindowVisible(wnd) &&
        stdcmd::HasMinimizeBox(wnd))
        stdcmd::SendSysCommand(wnd, SC_MINIMIZE);
    return TRUE;
}

BOOL CALLBACK RestoreOtherWindowsEnumProc(HWND wnd, LPARAM except) {
    if (wnd != reinterpret_cast<HWND>(except) && ::IsWindowVisible(wnd) && ::IsIconic(wnd))
        stdcmd::SendSysCommand(wnd, SC_RESTORE);
    return TRUE;
}
