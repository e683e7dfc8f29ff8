#include "util/dialog_base.h"

#include "util/callback_guard.h"

namespace tess {

// The dialog parameter: the object, and whether WM_INITDIALOG took it.
struct DialogBase::Start {
    DialogBase* dialog;
    bool taken;
};

INT_PTR DialogBase::RunModal(HINSTANCE instance, const char* template_name, HWND owner) {
    owned_by_window_ = false;
    Start start{this, false};
    return DialogBoxParamA(instance, template_name, owner, Proc, reinterpret_cast<LPARAM>(&start));
}

HWND DialogBase::CreateModeless(std::unique_ptr<DialogBase> dialog, HINSTANCE instance,
                                const char* template_name, HWND owner) {
    if (!dialog) return nullptr;
    dialog->owned_by_window_ = true;
    Start start{dialog.get(), false};
    HWND wnd = CreateDialogParamA(instance, template_name, owner, Proc, reinterpret_cast<LPARAM>(&start));
    // Once taken, the window frees the object (it may have done so already).
    if (start.taken) dialog.release();
    return wnd;
}

DialogBase* DialogBase::FromWindow(HWND dialog) {
    return dialog ? reinterpret_cast<DialogBase*>(GetWindowLongPtrA(dialog, DWLP_USER)) : nullptr;
}

DialogBase* DialogBase::Attach(HWND dialog, LPARAM lp) {
    auto* start = reinterpret_cast<Start*>(lp);
    if (!start || !start->dialog || start->taken) return nullptr;
    start->taken = true;
    DialogBase* self = start->dialog;
    self->window_ = dialog;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    return self;
}

void DialogBase::Detach() {
    if (window_) SetWindowLongPtrA(window_, DWLP_USER, 0);
    window_ = nullptr;
    if (owned_by_window_) delete this;
}

INT_PTR DialogBase::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit();
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), HIWORD(wp));
    default:
        return OnMessage(msg, wp, lp);
    }
}

INT_PTR CALLBACK DialogBase::Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    DialogBase* self = msg == WM_INITDIALOG ? Attach(dialog, lp) : FromWindow(dialog);
    if (!self) return FALSE;
    INT_PTR answer = GuardDialogProc([&] { return self->Dispatch(msg, wp, lp); });
    // Outside the guard: the object is let go even when its handler threw.
    if (msg == WM_NCDESTROY) self->Detach();
    return answer;
}

}  // namespace tess
