// Docked bars as shell application bars: registration, the reserved band
// and the shell's notifications.
#include <windows.h>
#include <shellapi.h>
#include <vector>
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"

namespace {
// The bar whose band is being negotiated: the shell may tell it of the
// change it makes itself, and placing it again then would recurse.
CVellumMenuObject* g_negotiating = nullptr;

// The shell's last answer to each bar window's band request. Every placement
// of a docked bar asks again, each time with two round trips to the shell;
// the same request gets the same answer until a bar registers or leaves or
// the shell tells of a change.
struct BandAnswer {
    HWND wnd;
    int edge;
    RECT asked;
    RECT given;
};
std::vector<BandAnswer> g_answers;

BandAnswer* FindBandAnswer(HWND wnd) {
    for (BandAnswer& a : g_answers)
        if (a.wnd == wnd) return &a;
    return nullptr;
}
}  // namespace

void ForgetBandAnswers() { g_answers.clear(); }

int CVellumMenuObject::RegisterAppBar(HWND wnd, int registerIt) {
    APPBARDATA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = wnd;
    data.uCallbackMessage = WM_APPBARCALLBACK;
    ForgetBandAnswers();
    if (!registerIt) {
        ::SHAppBarMessage(ABM_REMOVE, &data);
        return 1;
    }
    if (!wnd) return 0;
    m_appBarData = data;
    return ::SHAppBarMessage(ABM_NEW, &data) ? 1 : 0;
}

void CVellumMenuObject::SetAppBarPosition(int edge, RECT* rect, APPBARDATA* record) {
    if (!rect || !record) return;
    record->cbSize = sizeof(*record);
    record->hWnd = m_hWnd;
    record->uCallbackMessage = WM_APPBARCALLBACK;
    record->uEdge = static_cast<UINT>(edge);
    record->rc = *rect;
    BandAnswer* known = FindBandAnswer(m_hWnd);
    if (known && known->edge == edge && ::EqualRect(&known->asked, rect)) {
        record->rc = known->given;
        *rect = known->given;
        return;
    }
    const RECT asked = *rect;
    const bool across = edge == ABE_TOP || edge == ABE_BOTTOM;
    const LONG thickness = across ? rect->bottom - rect->top : rect->right - rect->left;
    CVellumMenuObject* outer = g_negotiating;
    g_negotiating = this;
    ::SHAppBarMessage(ABM_QUERYPOS, record);
    // The shell may move the band away from other bars; its thickness stays.
    RECT& r = record->rc;
    switch (edge) {
    case ABE_LEFT: r.right = r.left + thickness; break;
    case ABE_TOP: r.bottom = r.top + thickness; break;
    case ABE_RIGHT: r.left = r.right - thickness; break;
    default: r.top = r.bottom - thickness; break;
    }
    ::SHAppBarMessage(ABM_SETPOS, record);
    g_negotiating = outer;
    *rect = record->rc;
    if (!known) {
        g_answers.push_back(BandAnswer{});
        known = &g_answers.back();
    }
    *known = BandAnswer{m_hWnd, edge, asked, record->rc};
}

bool CVellumMenuObject::OnAppBarNotify(WPARAM wp, LPARAM) {
    // Whatever the shell tells of may have moved the bands it hands out.
    ForgetBandAnswers();
    switch (wp) {
    case ABN_STATECHANGE:
        if (m_hWnd) {
            ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE,
                                ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) | WS_EX_TOPMOST);
        }
        return false;
    case ABN_POSCHANGED:
        if (g_negotiating == this) return false;
        UpdateBarPosFromWindow(&m_appBarData);
        return true;
    default:
        return false;
    }
}

void CVellumMenuObject::UpdateBarPosFromWindow(APPBARDATA* record) {
    HWND wnd = record && record->hWnd ? record->hWnd : m_hWnd;
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (bar) bar->UpdatePos();
}
