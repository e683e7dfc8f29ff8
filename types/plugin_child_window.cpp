// "TSPluginChild": the window a plug-in item gives its plug-in inside the
// bar. Its messages go to the plug-in first (when it asked for them), and the
// input the bar needs goes on to the bar window.
#include "model/bar_messages.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "types/plugin_host.h"
#include "types/plugin_item.h"
#include "util/callback_guard.h"

namespace {

// Messages the bar also sees, besides the mouse buttons and WM_USER upwards.
bool BarWantsMessage(UINT msg) {
    switch (msg) {
    case WM_MOUSEMOVE: case WM_ACTIVATEAPP: case WM_DRAWITEM: case WM_MEASUREITEM:
    case WM_NOTIFY: case WM_CONTEXTMENU: case WM_NCMOUSEMOVE: case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR:
    case WM_SYSKEYDOWN: case WM_SYSKEYUP: case WM_COMMAND: case WM_TIMER: case WM_INITMENU:
    case WM_INITMENUPOPUP: case WM_MENUSELECT: case WM_MENUCHAR: case WM_ENTERIDLE:
    case WM_MOUSELEAVE:
        return true;
    default:
        return (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) || msg >= WM_USER;
    }
}

// These carry a pointer to the sender's structure in lParam, which is gone
// once the sender returns: the bar gets them at once, not from its queue.
bool CarriesSendersStructure(UINT msg) {
    return msg == WM_NOTIFY || msg == WM_DRAWITEM || msg == WM_MEASUREITEM;
}

class PluginChildWindow {
public:
    PluginChildWindow(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
        : wnd_(wnd), msg_(msg), wp_(wp), lp_(lp),
          item_(static_cast<CVellumMenuItem_Plugin*>(::GetPropA(wnd, kPluginItemProperty))) {}

    LRESULT Run() {
        if (msg_ == WM_CREATE) return OnCreate();
        if (!item_) {
            DeliverWindowMessageToPlugins(wnd_, msg_, wp_, lp_);
            return ::DefWindowProcA(wnd_, msg_, wp_, lp_);
        }
        if (msg_ == WM_DESTROY) return OnDestroy();
        if (msg_ == WM_MOUSELEAVE) {
            // Still over the bar: the bar tracks its own leaving.
            POINT pt;
            ::GetCursorPos(&pt);
            HWND under = ::WindowFromPoint(pt);
            if (under && ::GetAncestor(under, GA_ROOT) == ::GetParent(wnd_)) return 0;
            ::PostMessageA(wnd_, GetBarMessages().MyMouseLeave, wp_, lp_);
            return ::DefWindowProcA(wnd_, msg_, wp_, lp_);
        }
        if (msg_ == GetBarMessages().MyMouseLeave) msg_ = WM_MOUSELEAVE;
        LRESULT answer = 0;
        if (AskPlugin(&answer)) return answer;
        if (msg_ == WM_MOUSEMOVE) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, wnd_, 0};
            ::TrackMouseEvent(&track);
        }
        if (BarWantsMessage(msg_)) {
            LRESULT result = 0;
            if (PassToBar(&result)) return result;
        }
        return ::DefWindowProcA(wnd_, msg_, wp_, lp_);
    }

private:
    LRESULT OnCreate() {
        ::ShowWindow(wnd_, SW_HIDE);
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp_);
        auto* item = create ? static_cast<CVellumMenuItem_Plugin*>(create->lpCreateParams) : nullptr;
        if (!item) {
            ::DestroyWindow(wnd_);
            return 0;
        }
        ::SetPropA(wnd_, kPluginItemProperty, item);
        item->m_childWindow = wnd_;
        item_ = item;
        LRESULT answer = 0;
        if (AskPlugin(&answer)) return answer;
        return 0;
    }

    LRESULT OnDestroy() {
        ::RemovePropA(wnd_, kPluginItemProperty);
        if (item_->m_childWindow == wnd_) item_->m_childWindow = nullptr;
        return ::DefWindowProcA(wnd_, msg_, wp_, lp_);
    }

    bool AskPlugin(LRESULT* answer) {
        if (!item_->m_forwards) return false;
        PluginWindowMessage record = {static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(wnd_)), msg_,
                                      wp_, lp_};
        LRESULT result = 0;
        if (!item_->SendPluginMessage(VTM_WINDOWMESSAGE, reinterpret_cast<INT_PTR>(&record),
                                      reinterpret_cast<INT_PTR>(&result)))
            return false;
        *answer = result;
        return true;
    }

    bool PassToBar(LRESULT* result) {
        HWND bar = ::GetParent(wnd_);
        if (!bar) return false;
        MSG* record = AllocPluginMessageRecord(msg_, wp_, lp_);
        if (!record) return false;
        const UINT formatted = GetBarMessages().FormattedFromPlugin;
        if (CarriesSendersStructure(msg_)) {
            // The bar window reads and frees the record while the send runs.
            *result = ::SendMessageA(bar, formatted, reinterpret_cast<WPARAM>(record), 0);
            return true;
        }
        if (!::PostMessageA(bar, formatted, reinterpret_cast<WPARAM>(record), 0))
            TakePluginMessageRecord(record, nullptr);
        return false;
    }

    HWND wnd_;
    UINT msg_;
    WPARAM wp_;
    LPARAM lp_;
    CVellumMenuItem_Plugin* item_;
};

LRESULT CALLBACK PluginChildWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardWindowProc(wnd, msg, wp, lp,
                                 [&] { return PluginChildWindow(wnd, msg, wp, lp).Run(); });
}

}  // namespace

bool CVellumMenuItem_Plugin::RegisterChildClass(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = PluginChildWindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kPluginChildClass;
    registered = ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

void CVellumMenuItem_Plugin::CreateChildWindow() {
    if (!m_pBar || !m_pBar->m_hWnd || m_childWindow) return;
    HINSTANCE instance = ResourceModuleOf(m_pBar);
    ::CreateWindowExA(0, kPluginChildClass, "", WS_CHILD, 0, 0, 0, 0, m_pBar->m_hWnd, nullptr,
                      instance, this);
}
