#include "tests/support/menu_owner.h"

namespace testing_support {

namespace {

const char kOwnerClass[] = "Tessellar Test Menu Owner";

std::vector<MenuMessage> g_log;

LRESULT CALLBACK OwnerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_ENTERMENULOOP:
    case WM_INITMENU:
    case WM_MENUSELECT:
    case WM_INITMENUPOPUP:
        g_log.push_back({msg, wp, lp});
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

std::vector<MenuMessage>& MenuOwnerLog() { return g_log; }

HWND CreateMenuOwner(const char* title, HMENU menu_bar, bool shown) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kOwnerClass;
    RegisterClassA(&wc);   // fails harmlessly when this process has it already
    if (shown)
        return CreateWindowExA(0, kOwnerClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320, 320, 240,
                               120, nullptr, menu_bar, wc.hInstance, nullptr);
    return CreateWindowExA(0, kOwnerClass, title, WS_POPUP, 0, 0, 10, 10, nullptr, menu_bar,
                           wc.hInstance, nullptr);
}

}  // namespace testing_support
