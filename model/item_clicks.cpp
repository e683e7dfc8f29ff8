// What a plain item does when clicked: it runs its standard command, or
// opens its own popup menu beside itself, whose entries carry command
// numbers as their ids.
#include "model/bar_hold.h"
#include "model/live_objects.h"
#include "model/standard_commands.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"

void CVellumMenuItem::OnClick() {
    if (m_disabled || Separator) return;
    CVellumMenuObject* bar = m_pBar;
    // The command may close the bar; the bar stays readable until the end.
    BarHold hold(bar);
    const bool popup = IsPopup() != 0;
    ExecuteStandardCommand(ActionClass, Action, nullptr, nullptr);
    // A volatile bar closes when the program's main window comes forward.
    if (bar && IsLiveBar(bar) && bar->m_volatile && !popup && bar->m_hMainWindow)
        ::SetForegroundWindow(bar->m_hMainWindow);
}

void CVellumMenuItem::OnDblClick() { OnClick(); }

int CVellumMenuItem::TrackPopupMenu(int) {
    HMENU menu = GetPopupMenu();
    CVellumMenuObject* bar = m_pBar;
    if (!menu || !bar || !bar->m_hWnd) return 0;
    BarHold hold(bar);

    RECT bar_rect = {};
    ::GetWindowRect(bar->m_hWnd, &bar_rect);
    bar->GetWindowRectWithAH(&bar_rect, 1);
    RECT item;
    GetRealItemRect(&item);
    bar->StartTracking(this, 1);
    RedrawItem();
    InitMenu(menu);

    // Beside a vertical bar's item, below a horizontal bar's.
    const bool vertical = bar->DisplayVertically != 0;
    const int x = bar_rect.left + (vertical ? item.right : item.left);
    const int y = bar_rect.top + (vertical ? item.top : item.bottom);
    ::TrackPopupMenu(menu, TPM_LEFTBUTTON, x, y, 0, bar->m_hWnd, nullptr);

    // The menu ran a modal loop: the item may be gone.
    if (!IsLiveItem(this)) return 1;
    UnInitMenu(menu);
    if (IsLiveBar(bar)) {
        bar->EndTracking(this);
        bar->RedrawVellumWindow();
    }
    return 1;
}

void CVellumMenuItem::ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM) {
    // An entry of the own popup menu: its id is the command to run.
    if (msg == WM_COMMAND) ExecuteStandardCommand(ActionClass, LOWORD(wp), nullptr, nullptr);
}
