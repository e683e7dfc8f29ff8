// Real windows, timers, hooks and window enumerations whose handlers throw:
// each gets the answer it would have had without a handler (an enumeration
// stops), and the thread's message loop goes on.
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <new>
#include <string>
#include <stdexcept>

#include "tests/support/test_support.h"
#include "util/callback_guard.h"

using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

constexpr char kClass[] = "Tessellar Guard Test";
constexpr char kTitle[] = "Guarded";   // WM_GETTEXTLENGTH's default answer: 7
constexpr LRESULT kOwnAnswer = 99;

UINT g_failing = 0;   // the message the handlers throw for

LRESULT CALLBACK GuardedProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardWindowProc(wnd, msg, wp, lp, [&]() -> LRESULT {
        if (msg == g_failing) throw std::bad_alloc();
        if (msg == WM_GETTEXTLENGTH || msg == WM_APP) return kOwnAnswer;
        return DefWindowProcA(wnd, msg, wp, lp);
    });
}

HWND MakeWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = GuardedProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(0, kClass, kTitle, WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

WNDPROC g_original = nullptr;

LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardSubclassProc(g_original, wnd, msg, wp, lp, [&]() -> LRESULT {
        if (msg == g_failing) throw std::runtime_error("failed");
        if (msg == WM_GETTEXTLENGTH) return kOwnAnswer;
        return CallWindowProcA(g_original, wnd, msg, wp, lp);
    });
}

class CallbackGuardTest : public ::testing::Test {
protected:
    void TearDown() override { g_failing = 0; }
};

}  // namespace

TEST_F(CallbackGuardTest, WindowProcedureAnswersAsAWindowWithoutHandler) {
    struct Case {
        const char* name;
        UINT msg;
        UINT failing;
        LRESULT answer;
    };
    const Case cases[] = {
        {"own answer", WM_GETTEXTLENGTH, 0, kOwnAnswer},
        {"default text length", WM_GETTEXTLENGTH, WM_GETTEXTLENGTH, 7},
        {"application message", WM_APP, WM_APP, 0},
        {"after a failure the handler answers again", WM_APP, 0, kOwnAnswer},
    };
    HWND wnd = MakeWindow();
    ASSERT_TRUE(IsWindow(wnd));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_failing = c.failing;
        EXPECT_EQ(c.answer, SendMessageA(wnd, c.msg, 0, 0));
        EXPECT_TRUE(IsWindow(wnd));
    }
    DestroyWindow(wnd);
}

TEST_F(CallbackGuardTest, WindowWhoseCreationThrowsIsNotMade) {
    for (UINT failing : {static_cast<UINT>(WM_NCCREATE), static_cast<UINT>(WM_CREATE)}) {
        SCOPED_TRACE(failing);
        g_failing = failing;
        HWND wnd = MakeWindow();
        EXPECT_EQ(nullptr, wnd);
        if (wnd) DestroyWindow(wnd);
    }
    g_failing = 0;
    HWND wnd = MakeWindow();
    EXPECT_TRUE(IsWindow(wnd));
    DestroyWindow(wnd);
}

TEST_F(CallbackGuardTest, PostedMessagesThatThrowLeaveTheLoopRunning) {
    HWND wnd = MakeWindow();
    ASSERT_TRUE(IsWindow(wnd));
    g_failing = WM_APP + 1;
    int delivered = 0;
    // Three failures in a row, then a message that the loop must still reach.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(PostMessageA(wnd, WM_APP + 1, 0, 0));
    ASSERT_TRUE(PostMessageA(wnd, WM_NULL, 0, 0));
    MSG msg;
    DWORD until = GetTickCount() + 2000;
    while (delivered < 4 && GetTickCount() < until) {
        if (!PeekMessageA(&msg, wnd, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        DispatchMessageA(&msg);
        ++delivered;
    }
    EXPECT_EQ(4, delivered);
    EXPECT_EQ(kOwnAnswer, SendMessageA(wnd, WM_APP, 0, 0));
    DestroyWindow(wnd);
}

TEST_F(CallbackGuardTest, SubclassProcedureAnswersAsTheProcedureItReplaced) {
    HWND edit = CreateWindowExA(0, "EDIT", "twelve chars", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(IsWindow(edit));
    g_original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    ASSERT_NE(nullptr, g_original);

    EXPECT_EQ(kOwnAnswer, SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0));
    g_failing = WM_GETTEXTLENGTH;
    EXPECT_EQ(12, SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0)) << "the edit control's own answer";
    g_failing = 0;
    EXPECT_EQ(kOwnAnswer, SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0));

    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_original));
    DestroyWindow(edit);
}

namespace {

int g_ticks = 0;

void CALLBACK ThrowingTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    tess::GuardTimerProc([] {
        ++g_ticks;
        throw std::bad_alloc();
    });
}

LRESULT CALLBACK ThrowingCbtHook(int code, WPARAM wp, LPARAM lp) {
    return tess::GuardHookProc(code, wp, lp, []() -> LRESULT { throw std::bad_alloc(); });
}

}  // namespace

TEST_F(CallbackGuardTest, TimerThatThrowsKeepsTicking) {
    g_ticks = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 10, ThrowingTimerProc);
    ASSERT_NE(0u, id);
    EXPECT_TRUE(PumpUntil([] { return g_ticks >= 3; }, 3000)) << g_ticks << " ticks";
    KillTimer(nullptr, id);
}

TEST_F(CallbackGuardTest, HookThatThrowsPassesTheEventDownTheChain) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, ThrowingCbtHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    // The next hook (none) allows the creation, so the window is made.
    HWND wnd = MakeWindow();
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(IsWindow(wnd));
    if (wnd) DestroyWindow(wnd);
    PumpFor(10);
}

namespace {

int g_visited = 0;
int g_throw_at = 0;   // the visit that throws (1 = the first); 0: none

BOOL CALLBACK CountingEnumProc(HWND, LPARAM) {
    return tess::GuardEnumProc([]() -> BOOL {
        if (++g_visited == g_throw_at) throw std::bad_alloc();
        return TRUE;
    });
}

}  // namespace

TEST_F(CallbackGuardTest, EnumerationThatThrowsStopsAndTheCallerGoesOn) {
    // Windows of our own, so that every enumeration has more than one to visit.
    HWND a = MakeWindow(), b = MakeWindow();
    ASSERT_TRUE(IsWindow(a) && IsWindow(b));
    for (int i = 0; i < 3; ++i)
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, a, nullptr, GetModuleHandleA(nullptr), nullptr);
    struct Enumeration {
        const char* name;
        std::function<void()> run;
    } const enumerations[] = {
        {"top-level windows", [] { EnumWindows(CountingEnumProc, 0); }},
        {"child windows", [a] { EnumChildWindows(a, CountingEnumProc, 0); }},
    };
    for (const Enumeration& e : enumerations) {
        for (int throw_at : {1, 2}) {
            SCOPED_TRACE(std::string(e.name) + ", failing visit " + std::to_string(throw_at));
            g_visited = 0;
            g_throw_at = throw_at;
            e.run();
            EXPECT_EQ(throw_at, g_visited) << "no window after the failing one is visited";
        }
        g_visited = 0;
        g_throw_at = 0;
        e.run();
        EXPECT_GE(g_visited, 3) << "without a failure every window is visited";
    }
    DestroyWindow(a);
    DestroyWindow(b);
}
