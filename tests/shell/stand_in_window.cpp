#include "tests/shell/stand_in_window.h"

#include <cstring>

StandInWindow::StandInWindow(const char* cls, const char* title) : cls_(cls) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    wnd_ = CreateWindowExA(0, cls, title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
    SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

StandInWindow::~StandInWindow() {
    if (wnd_) DestroyWindow(wnd_);
    UnregisterClassA(cls_.c_str(), GetModuleHandleA(nullptr));
}

std::vector<RecordedMessage> StandInWindow::Interesting() const {
    std::vector<RecordedMessage> out;
    for (const RecordedMessage& m : messages_)
        if (m.msg >= WM_USER || m.msg == WM_COMMAND || m.msg == WM_COPYDATA) out.push_back(m);
    return out;
}

LRESULT CALLBACK StandInWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<StandInWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self) {
        RecordedMessage r = {msg, wp, lp, false, 0, 0, ""};
        if (msg == WM_COPYDATA && lp) {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            r.has_copy_data = true;
            r.copy_data_kind = cds->dwData;
            r.copy_data_size = cds->cbData;
            if (cds->lpData)
                r.copy_data.assign(static_cast<const char*>(cds->lpData),
                                   strnlen(static_cast<const char*>(cds->lpData), cds->cbData));
        }
        self->messages_.push_back(r);
        if (msg == WM_COPYDATA) return 1;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}
