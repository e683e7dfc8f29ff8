// The item's share of the messages its bar passes on: its hotkey, the
// Windows key and the activation it leads to, skin changes, state requests
// and the active-window news of the stats monitor; and the registered names
// the item code uses.
#include "model/item_messages.h"

#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/registered_names.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"

namespace {

using N = RegisteredName;

const RegisteredNameSlot<ItemMessages> kItemNames[] = {
    {&ItemMessages::VolatileClose, N::VolatileClose},
    {&ItemMessages::ImageRelativityChanging, N::ImageRelativityChanging},
    {&ItemMessages::RemoveItemDelay, N::RemoveItemDelay},
    {&ItemMessages::TimeFilteringChanged, N::TimeFilteringChanged},
    {&ItemMessages::ResetPopup, N::ResetPopup},
    {&ItemMessages::ResetPopup2, N::ResetPopup2},
    {&ItemMessages::UpdateHiddenLayers, N::UpdateHiddenLayers},
    {&ItemMessages::SpeedUpdate, N::SpeedUpdate},
    {&ItemMessages::SwapItemsBehavior, N::SwapItemsBehavior},
    {&ItemMessages::CallRunDialog, N::CallRunDialog},
    {&ItemMessages::WaitForStateChange, N::WaitForStateChange},
    {&ItemMessages::StatsUpdated, N::StatsUpdated},
    {&ItemMessages::SkinChanging, N::BarSkinChanging},
    {&ItemMessages::RecalcAllItems, N::PluginRecalcAllItems},
};

// Legacy number of the message that asks an item of the Windows key to
// bring its bar forward.
constexpr UINT kBringForwardMessage = 3;

// The window in front, even when another thread holds the input; the
// foreground lock time-out is 0 meanwhile and put back afterwards.
void ForceForegroundWindow(HWND wnd) {
    DWORD lock = 0;
    bool have_lock = ::SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &lock, 0) != FALSE;
    if (have_lock) ::SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    HWND front = ::GetForegroundWindow();
    DWORD front_thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    DWORD this_thread = ::GetCurrentThreadId();
    bool attached = front_thread && front_thread != this_thread &&
                    ::AttachThreadInput(this_thread, front_thread, TRUE);
    ::SetForegroundWindow(wnd);
    if (attached) ::AttachThreadInput(this_thread, front_thread, FALSE);
    if (have_lock)
        ::SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                                reinterpret_cast<void*>(static_cast<ULONG_PTR>(lock)), 0);
}

// An int the sender handed over by pointer: written only when the program
// registered it as its own, since any process can post this message.
bool MayWriteFlag(WPARAM wp) {
    void* p = reinterpret_cast<void*>(wp);
    return p && IsOwnedRecord(p) && IsWritableCallerBuffer(p, sizeof(int));
}

}  // namespace

const ItemMessages& RegisterItemMessages() {
    static const ItemMessages messages = RegisterNames(kItemNames);
    return messages;
}

// ---- messages --------------------------------------------------------------------------------

void CVellumMenuItem::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const ItemMessages& m = GetItemMessages();
    const WPARAM self = reinterpret_cast<WPARAM>(this);
    HWND bar_wnd = m_pBar ? m_pBar->m_hWnd : nullptr;

    if (msg == WM_HOTKEY && wp != 0 && wp == m_hotkeyId) {
        if (bar_wnd) ::PostMessageA(bar_wnd, WM_BARACTIVATE, self, 0);
    } else if (msg == m.ResetPopup) {
        if (RespondToWindowsKey) ::GlobalAddAtomA("Tessellar-RespondToWinKey");
    } else if (msg == m.ResetPopup2) {
        if (RespondToWindowsKey) ::GlobalAddAtomA("Tessellar-RespondToWinKey2");
    } else if (msg == m.SkinChanging) {
        OnSkinChanging(wp);
    } else if (msg == kBringForwardMessage) {
        if (RespondToWindowsKey && bar_wnd) ForceForegroundWindow(bar_wnd);
    } else if (msg == WM_BARWINKEY) {
        if (RespondToWindowsKey && bar_wnd) ::PostMessageA(bar_wnd, WM_BARACTIVATE, 0, 0);
    } else if (msg == WM_BARACTIVATE) {
        // Compared, never followed: any process may post this.
        if (wp == self || (wp == 0 && RespondToWindowsKey)) {
            ActivateFromKey();
            return;   // the item may be gone after its command
        }
    }

    if (msg == m.WaitForStateChange && wp == self) SetState(static_cast<UINT>(lp), 0);
    if (msg == m.StatsUpdated) OnActiveWindowNews(wp);
}

void CVellumMenuItem::OnSkinChanging(WPARAM wp) {
    if (DisplayAsBitmap && PathRelativeToSkin) {
        RefreshBitmaps();
        if (wp) {
            // The sender lays the bar out once for all its items.
            if (MayWriteFlag(wp)) *reinterpret_cast<int*>(wp) = 1;
        } else if (m_pBar) {
            m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        }
    }
    if (ShowText) {
        UpdateTextSize(1);
        UpdateTooltips(1);
    }
}

void CVellumMenuItem::ActivateFromKey() {
    CVellumMenuObject* bar = m_pBar;
    if (!bar || !bar->m_hWnd) return;
    if (!::IsWindowVisible(bar->m_hWnd)) bar->Show(1);
    HWND front = ::GetForegroundWindow();
    DWORD front_thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    DWORD this_thread = ::GetCurrentThreadId();
    bool attached = front_thread && front_thread != this_thread &&
                    ::AttachThreadInput(this_thread, front_thread, TRUE);
    ::SetForegroundWindow(bar->m_hWnd);
    if (attached) ::AttachThreadInput(this_thread, front_thread, FALSE);
    if (bar->UseAutohide) bar->AutoHide(0, 1);
    if (!TrackPopupMenu(0) && IsLiveItem(this)) OnClick();
}

void CVellumMenuItem::OnActiveWindowNews(WPARAM wp) {
    if (wp > 0xFFFF && UseActiveIcon && ShowIcon) RedrawItem();
    if (LOWORD(wp) != 0 && UseActiveText) {
        UpdateTextSize(1);
        if (m_pBar && m_pBar->m_hWnd)
            ::PostMessageA(m_pBar->m_hWnd, GetItemMessages().RecalcAllItems, 0, 0);
    }
}
