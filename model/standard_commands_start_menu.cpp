// "Popup Real Start Menu": the shell's own Start button is lent to a host
// window laid over the item, pressed there, so that the Start menu opens at
// the item, and given back to the shell's taskbar.
#include "model/resource_module.h"
#include "model/standard_commands.h"

#include <memory>
#include "model/standard_commands_internal.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/handles.h"

namespace {

constexpr char kHostClass[] = "VTSMHostWin";
// CS_GLOBALCLASS | CS_NOCLOSE.
constexpr UINT kHostClassStyle = 0x4200;
constexpr DWORD kChildVisible = WS_CHILD | WS_VISIBLE;   // the style value 5 << 28

typedef BOOL(WINAPI* SwitchToThisWindowFn)(HWND, BOOL);

struct StartMenuHost {
    HINSTANCE module;
    SIZE size;
    HWND taskbar;
    HWND start_button;
    SwitchToThisWindowFn switch_to;
};

bool RegisterHostClass(HINSTANCE module) {
    WNDCLASSA existing;
    if (::GetClassInfoA(module, kHostClass, &existing)) return true;
    WNDCLASSA wc = {};
    wc.style = kHostClassStyle;
    wc.lpfnWndProc = StartMenuHostWndProc;
    wc.hInstance = module;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(6));
    wc.lpszClassName = kHostClass;
    return ::RegisterClassA(&wc) != 0;
}

// The host window over the item: a child of the bar window at the item's
// place, with its size when it has one.
HWND CreateHostOverItem(StartMenuHost* host, CVellumMenuObject* bar, const RECT& item) {
    HWND wnd = ::CreateWindowExA(0, kHostClass, "", WS_POPUP, 0, 0, host->size.cx, host->size.cy,
                                 nullptr, nullptr, host->module, nullptr);
    if (!wnd) return nullptr;
    ::SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    ::SetWindowLongA(wnd, GWL_STYLE, static_cast<LONG>(kChildVisible));
    ::SetParent(wnd, bar->m_hWnd);
    int cx = item.right - item.left, cy = item.bottom - item.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (cx <= 0 || cy <= 0) flags |= SWP_NOSIZE;
    ::SetWindowPos(wnd, nullptr, item.left, item.top, cx, cy, flags);
    return wnd;
}

// Lends the Start button to the host, presses it and gives it back.
void PressStartButtonIn(StartMenuHost* host, HWND wnd) {
    HWND button = host->start_button;
    ::SetParent(button, wnd);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(button, &placement);
    RECT client;
    ::GetClientRect(wnd, &client);
    ::SetWindowPos(button, nullptr, 0, 0, client.right, client.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    if (host->switch_to) host->switch_to(host->taskbar, TRUE);
    const RECT& own = placement.rcNormalPosition;
    ::SetWindowPos(button, nullptr, 0, 0, own.right - own.left, own.bottom - own.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    ::SetParent(button, host->taskbar);
}

}  // namespace

LRESULT CALLBACK StartMenuHostWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* host = reinterpret_cast<StartMenuHost*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
    switch (msg) {
    case WM_SHOWWINDOW:
        return 0;
    case WM_COMMAND:
    case WM_PARENTNOTIFY:
        if (host && host->taskbar) return ::SendMessageA(host->taskbar, msg, wp, lp);
        return 0;
    default:
        return ::DefWindowProcA(wnd, msg, wp, lp);
    }
}

namespace stdcmd {

int PopupRealStartMenu(const CommandContext& c) {
    if (!c.bar || !c.bar->m_hWnd) return 0;
    RECT item;
    c.item->GetRealItemRect(&item);
    auto host = std::make_unique<StartMenuHost>();
    host->module = ResourceModuleOf(c.bar);
    host->size = {1, 1};
    if (!RegisterHostClass(host->module)) return 0;
    host->taskbar = ::FindWindowA("Shell_TrayWnd", "");
    host->start_button = host->taskbar ? ::GetWindow(host->taskbar, GW_CHILD) : nullptr;
    host->switch_to = reinterpret_cast<SwitchToThisWindowFn>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "SwitchToThisWindow"));

    int pressed = 0;
    {
        tess::ScopedWindow wnd(CreateHostOverItem(host.get(), c.bar, item));
        if (host->start_button && host->taskbar && wnd) {
            PressStartButtonIn(host.get(), wnd.get());
            pressed = 1;
        }
    }
    ::UnregisterClassA(kHostClass, host->module);
    return pressed;
}

}  // namespace stdcmd
