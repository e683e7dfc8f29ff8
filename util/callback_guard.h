// The one boundary between the system and our code. Every window, dialog,
// timer and hook procedure, and every enumeration procedure that can throw,
// runs its handler through one of these guards: an exception (an allocation
// that failed deep inside a handler) never unwinds into the system's
// dispatcher or enumerator. The message gets the answer it would have had
// without a handler, and the program goes on with the next one.
// Header only, so that every program and DLL of the suite can use it.
#pragma once
#include <windows.h>
#include <utility>

namespace tess {

// Runs handler(); when it throws, the answer is fallback(), which must not throw.
template <typename Handler, typename Fallback>
auto RunGuarded(Handler&& handler, Fallback&& fallback) noexcept -> decltype(handler()) {
    try {
        return std::forward<Handler>(handler)();
    } catch (...) {
        OutputDebugStringA("Tessellar: a handler failed; the message got its default answer\n");
        return std::forward<Fallback>(fallback)();
    }
}

// What a window without a handler answers. A window whose creation failed
// half-way is not made at all: a half-built window is worse than none.
inline LRESULT DefaultWindowAnswer(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) return FALSE;
    if (msg == WM_CREATE) return -1;
    return DefWindowProcA(wnd, msg, wp, lp);
}

// A window procedure: handler() -> LRESULT.
template <typename Handler>
LRESULT GuardWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, Handler&& handler) noexcept {
    return RunGuarded(std::forward<Handler>(handler),
                      [=] { return DefaultWindowAnswer(wnd, msg, wp, lp); });
}

// A procedure that subclasses a window: the default answer is the one of the
// procedure it replaced (read before the handler runs, since a handler may
// put that procedure back).
template <typename Handler>
LRESULT GuardSubclassProc(WNDPROC original, HWND wnd, UINT msg, WPARAM wp, LPARAM lp,
                          Handler&& handler) noexcept {
    return RunGuarded(std::forward<Handler>(handler), [=] {
        return original ? CallWindowProcA(original, wnd, msg, wp, lp) : DefWindowProcA(wnd, msg, wp, lp);
    });
}

// A dialog procedure: FALSE hands the message to the dialog manager.
template <typename Handler>
INT_PTR GuardDialogProc(Handler&& handler) noexcept {
    return RunGuarded(std::forward<Handler>(handler), []() -> INT_PTR { return FALSE; });
}

// A timer procedure: the tick is lost, the timer goes on.
template <typename Handler>
void GuardTimerProc(Handler&& handler) noexcept {
    RunGuarded(std::forward<Handler>(handler), [] {});
}

// A hook procedure: the event goes on down the hook chain.
template <typename Handler>
LRESULT GuardHookProc(int code, WPARAM wp, LPARAM lp, Handler&& handler) noexcept {
    return RunGuarded(std::forward<Handler>(handler),
                      [=] { return CallNextHookEx(nullptr, code, wp, lp); });
}

// An enumeration procedure (EnumWindows and the like): the enumeration
// stops, and the caller goes on with what was gathered so far.
template <typename Handler>
BOOL GuardEnumProc(Handler&& handler) noexcept {
    return RunGuarded(std::forward<Handler>(handler), []() -> BOOL { return FALSE; });
}

}  // namespace tess
