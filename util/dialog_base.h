// DialogBase: what every dialog of the suite shares. The object is kept with
// its window from WM_INITDIALOG (DWLP_USER) and let go at WM_NCDESTROY; the
// messages come to OnInit, OnCommand and OnMessage, all behind the callback
// guard, so a handler that throws leaves the dialog open and answering.
#pragma once
#include <windows.h>
#include <memory>

namespace tess {

class DialogBase {
public:
    virtual ~DialogBase() = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // Runs the dialog modally; the object stays the caller's. DialogBoxParamA's
    // answer: the EndDialog value, -1 when the dialog could not be shown.
    INT_PTR RunModal(HINSTANCE instance, const char* template_name, HWND owner);
    // Makes the dialog modeless and hands it the object, which the dialog
    // deletes at WM_NCDESTROY (or at once when no dialog came to be).
    static HWND CreateModeless(std::unique_ptr<DialogBase> dialog, HINSTANCE instance,
                               const char* template_name, HWND owner);

    // The dialog window, null before WM_INITDIALOG and after WM_NCDESTROY.
    HWND Window() const { return window_; }
    // The object kept with a window of one of these dialogs, null for none.
    static DialogBase* FromWindow(HWND dialog);

    // The dialog procedure of all of them.
    static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

protected:
    DialogBase() = default;

    // WM_INITDIALOG: TRUE lets the dialog manager give the focus.
    virtual INT_PTR OnInit() { return TRUE; }
    // WM_COMMAND: TRUE when the command was taken.
    virtual INT_PTR OnCommand(int id, int code) { return FALSE; }
    // Every other message: FALSE leaves it to the dialog manager.
    virtual INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) { return FALSE; }

private:
    struct Start;
    static DialogBase* Attach(HWND dialog, LPARAM start);
    void Detach();
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    HWND window_ = nullptr;
    bool owned_by_window_ = false;
};

}  // namespace tess
