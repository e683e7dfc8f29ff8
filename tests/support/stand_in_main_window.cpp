#include "tests/support/stand_in_main_window.h"

#include <vector>

#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/main_window_internal.h"
#include "tests/support/test_support.h"
#include "util/bar_registry.h"

namespace testing_support {

namespace {
// Bars only test the property for presence; nothing reads through it here.
int g_stats_monitor_stand_in = 0;

BOOL CALLBACK SendToBar(HWND wnd, LPARAM lp) {
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    SendMessageA(wnd, msg->message, msg->wParam, msg->lParam);
    return TRUE;
}
}  // namespace

LRESULT CALLBACK ShellMainWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_USER) {
        LRESULT result = 0;
        switch (HandleRegisteredMessage(wnd, msg, wp, lp, &result)) {
        case MessageOutcome::Return:
            return result;
        case MessageOutcome::End:
            return 0;
        case MessageOutcome::Relay:
            RelayToBars(msg, wp, lp);
            return 0;
        }
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

void RelayToEveryBar(UINT msg, WPARAM wp, LPARAM lp) {
    MSG relay = {};
    relay.message = msg;
    relay.wParam = wp;
    relay.lParam = lp;
    EnumBarWindowsSafe(SendToBar, reinterpret_cast<LPARAM>(&relay));
}

HWND CreateStandInMainWindow(const char* class_name, WNDPROC proc) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc ? proc : DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = class_name;
    RegisterClassA(&wc);
    RegisterBarWindowClasses(instance);
    HWND wnd = CreateWindowExA(0, class_name, "Tessellar Test", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, instance, nullptr);
    if (wnd) SetPropA(wnd, "lpStatsMonitor", &g_stats_monitor_stand_in);
    return wnd;
}

void CloseTestBar(CVellumMenuObject* bar, bool never_save) {
    if (!IsLiveBar(bar)) return;
    if (never_save) bar->m_neverSave = TRUE;
    if (!bar->m_hWnd) {
        bar->Release();
        return;
    }
    bar->Destroy();
    PumpUntil([bar] { return !IsLiveBar(bar); }, 3000);
}

namespace {

BOOL CALLBACK CollectLiveBar(HWND wnd, LPARAM lp) {
    reinterpret_cast<std::vector<CVellumMenuObject*>*>(lp)->push_back(LiveBarOfWindow(wnd));
    return TRUE;
}

}  // namespace

void CloseEveryTestBar() {
    std::vector<CVellumMenuObject*> bars;
    EnumBarWindows(CollectLiveBar, reinterpret_cast<LPARAM>(&bars));
    for (CVellumMenuObject* bar : bars)
        if (bar) CloseTestBar(bar, true);
    PumpFor(20);
}

}  // namespace testing_support
