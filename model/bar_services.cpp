// What a bar does for its sections, items and plug-ins (timer ids, item
// clean-up, timed sends, window icons), the registered messages it acts on,
// and showing and hiding.
#include <windows.h>
#include <commctrl.h>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"

namespace {

// Brings a window to the front even when another thread holds the input.
void ForceForeground(HWND wnd) {
    HWND front = ::GetForegroundWindow();
    DWORD front_thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    DWORD this_thread = ::GetCurrentThreadId();
    bool attached = front_thread && front_thread != this_thread &&
                    ::AttachThreadInput(this_thread, front_thread, TRUE);
    ::SetForegroundWindow(wnd);
    if (attached) ::AttachThreadInput(this_thread, front_thread, FALSE);
}

bool HostSays(bool (*query)()) {
    return query && query();
}

// The item named by a message belongs to this bar and is alive.
CVellumMenuItem* ItemOfBar(CVellumMenuObject* bar, WPARAM wp) {
    void* p = reinterpret_cast<void*>(wp);
    if (!IsLiveItem(p)) return nullptr;
    auto* item = static_cast<CVellumMenuItem*>(p);
    return item->m_pBar == bar ? item : nullptr;
}

// A plug-in or the stats monitor hands the bar an int or a buffer by
// pointer. Written through only when a caller of this thread sent it and the
// memory is there to write: a posted pointer may come from anywhere.
// The main window relays such messages to every bar, so a message posted to
// the main window counts as posted here too.
bool MayWriteThrough(CVellumMenuObject* bar, UINT msg, WPARAM wp, LPARAM lp, const void* p,
                     size_t size) {
    if (::InSendMessage()) return false;
    const BarHostServices& host = GetBarHostServices();
    if (host.IsSynchronousCall) {
        if (!host.IsSynchronousCall(bar->m_hWnd, msg, wp, lp)) return false;
        if (bar->m_hMainWindow && !host.IsSynchronousCall(bar->m_hMainWindow, msg, wp, lp))
            return false;
    }
    return IsWritableCallerBuffer(p, size);
}

}  // namespace

// ---- small services -------------------------------------------------------------------------

unsigned CVellumMenuObject::ReserveTimerID() {
    return static_cast<unsigned>(++m_lastTimerId);
}

void CVellumMenuObject::ItemBeingDestroyed(CVellumMenuItem* item) {
    if (!item) return;
    if (m_tracking.pressed_item == item) m_tracking.pressed_item = nullptr;
    if (m_tracking.last_pressed_item == item) m_tracking.last_pressed_item = nullptr;
    if (m_tracking.hovered_item == item) m_tracking.hovered_item = nullptr;
    if (m_tracking.extra_item1 == item) m_tracking.extra_item1 = nullptr;
    if (m_tracking.extra_item2 == item) m_tracking.extra_item2 = nullptr;
}

unsigned long CVellumMenuObject::SendMessageTimeoutA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp,
                                                     UINT flags, UINT timeout) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(wnd, msg, wp, lp, flags, timeout, &result)) return 0;
    return static_cast<unsigned long>(result);
}

HICON CVellumMenuObject::GetWindowSmallIcon(HWND wnd) {
    if (!wnd) return nullptr;
    HICON icon = reinterpret_cast<HICON>(
        SendMessageTimeoutA(wnd, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG, kGetIconTimeoutMs));
    if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(wnd, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(
            SendMessageTimeoutA(wnd, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, kGetIconTimeoutMs));
    if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(wnd, GCLP_HICON));
    return icon;
}

// ---- relations -------------------------------------------------------------------------------

bool CVellumMenuObject::IsUnrelatedBar(CVellumMenuObject* other) {
    // Follow other -> its owning popup item -> that item's bar ... The walk is
    // bounded: a cycle of popup items must not hang the program.
    CVellumMenuObject* bar = other;
    for (int depth = 0; bar && depth < kBarRegistrySlots; ++depth) {
        if (bar == this) return false;
        CVellumMenuItem* item = bar->m_owningPopupItem;
        if (!item || !IsLiveItem(item)) break;
        bar = item->m_pBar;
    }
    return true;
}

// ---- showing and hiding ------------------------------------------------------------------------

void CVellumMenuObject::Show(int sync) {
    if (!m_hWnd) return;
    // The desktop right-click handler bar only anchors the bars it opens;
    // it has no skin to draw and is never shown.
    if (IsWindowOfClass(m_hWnd, kDesktopBarWindowClass)) return;
    const BarHostServices& host = GetBarHostServices();
    if (HostSays(host.IsThemeLoading) && (SetAsHidden || m_hiddenUntilHotkey)) return;
    SetAsHidden = FALSE;
    if (m_layerHidden || bWasHiddenOnLastCloseByPopup) return;
    if (AlwaysOnTop && host.IsLayerHidden && host.IsLayerHidden(AlwaysOnTopOrder)) {
        UpdateHiddenLayers();
        return;
    }
    m_movedSinceShown = FALSE;
    if (sync)
        ::SendMessageA(m_hWnd, GetBarMessages().MyShowWindow, 1, 0);
    else
        ::PostMessageA(m_hWnd, GetBarMessages().MyShowWindow, 1, 0);
    ::SetActiveWindow(m_hWnd);
}

void CVellumMenuObject::Hide(int sync) {
    if (!m_hWnd) return;
    m_shownByPopupItem = FALSE;
    if (sync)
        ::SendMessageA(m_hWnd, GetBarMessages().MyShowWindow, 0, 0);
    else
        ::PostMessageA(m_hWnd, GetBarMessages().MyShowWindow, 0, 0);
    if (m_keyboardItem) {
        m_keyboardItem->SetState(kStateNormal, 0);
        m_keyboardItem->RedrawItem();
    }
}

void CVellumMenuObject::ReshowUnderPointer() {
    const BarHostServices& host = GetBarHostServices();
    if (host.ReshowBarUnderPointer) host.ReshowBarUnderPointer(this);
}

void CVellumMenuObject::HideAsSetting(int hidden) {
    SetAsHidden = hidden ? TRUE : FALSE;
    if (hidden)
        Hide(0);
    else
        Show(0);
    SetAsHidden = hidden ? TRUE : FALSE;
    SetModifiedSilent();
}

void CVellumMenuObject::UpdateHiddenLayers() {
    const BarHostServices& host = GetBarHostServices();
    bool layer_hidden =
        AlwaysOnTop && host.IsLayerHidden && host.IsLayerHidden(AlwaysOnTopOrder);
    if (layer_hidden) {
        if ((m_hWnd && ::IsWindowVisible(m_hWnd)) || !m_layerHidden) {
            m_layerHidden = TRUE;
            Hide(0);
        }
    } else if (m_layerHidden) {
        m_layerHidden = FALSE;
        Show(0);
    }
}

// ---- registered messages -------------------------------------------------------------------------

namespace {

// Whether the sections and items see a message after the bar acted on it.
enum class Onward { ToSections, Ends };

// One message from WM_USER up (or WM_HOTKEY, WM_NOTIFY, WM_TIMER,
// WM_ACTIVATEAPP) at one bar: each message the bar acts on has its handler.
class BarUserMessage {
public:
    BarUserMessage(CVellumMenuObject* bar, UINT msg, WPARAM wp, LPARAM lp)
        : bar_(bar), msg_(msg), wp_(wp), lp_(lp), m_(GetBarMessages()) {}

    Onward Run();

private:
    using Handler = Onward (BarUserMessage::*)();
    struct Route {
        UINT BarMessages::*id;
        Handler handler;
    };
    static const Route kRoutes[];

    Onward OnHotkey();
    Onward OnWindowsKey();
    Onward OnActivateRequest();
    Onward OnThemeLoadingDone();
    Onward OnShouldEnableMousehook();
    Onward OnHideBarExternal();
    Onward OnReloadSkin();
    Onward OnDoAutohide();
    Onward OnAutohideEdge();
    Onward OnPluginMarkBarModified();
    Onward OnPluginSetItemState();
    Onward OnPluginRedrawItem();
    Onward OnPluginRefreshItemImages();
    Onward OnPluginRecalcAllItems();
    Onward OnPluginItemPath();
    Onward OnPluginReserveTimerId();
    Onward OnThemeClosingCheckModified();
    Onward OnOnTopAppShownOrHidden();
    Onward OnStatsUpdated();
    Onward OnSkinChanging();
    Onward OnTaskbarCreated();
    Onward OnPopupItemClosing();
    Onward OnStartTrackingNewItemDelay();
    Onward OnUpdateHiddenLayers();

    CVellumMenuObject* bar_;
    UINT msg_;
    WPARAM wp_;
    LPARAM lp_;
    const BarMessages& m_;
};

const BarUserMessage::Route BarUserMessage::kRoutes[] = {
    {&BarMessages::ThemeLoadingDone, &BarUserMessage::OnThemeLoadingDone},
    {&BarMessages::ShouldEnableMousehook, &BarUserMessage::OnShouldEnableMousehook},
    {&BarMessages::HideBarExternal, &BarUserMessage::OnHideBarExternal},
    {&BarMessages::ReloadSkin, &BarUserMessage::OnReloadSkin},
    {&BarMessages::DoAutohide, &BarUserMessage::OnDoAutohide},
    {&BarMessages::AutoHideShowLeft, &BarUserMessage::OnAutohideEdge},
    {&BarMessages::AutoHideShowTop, &BarUserMessage::OnAutohideEdge},
    {&BarMessages::AutoHideShowRight, &BarUserMessage::OnAutohideEdge},
    {&BarMessages::AutoHideShowBottom, &BarUserMessage::OnAutohideEdge},
    {&BarMessages::PluginMarkBarModified, &BarUserMessage::OnPluginMarkBarModified},
    {&BarMessages::PluginSetItemState, &BarUserMessage::OnPluginSetItemState},
    {&BarMessages::PluginRedrawItem, &BarUserMessage::OnPluginRedrawItem},
    {&BarMessages::PluginRefreshItemImages, &BarUserMessage::OnPluginRefreshItemImages},
    {&BarMessages::PluginRecalcAllItems, &BarUserMessage::OnPluginRecalcAllItems},
    {&BarMessages::PluginMakePathRelative, &BarUserMessage::OnPluginItemPath},
    {&BarMessages::PluginMakePathAbsolute, &BarUserMessage::OnPluginItemPath},
    {&BarMessages::PluginReserveTimerId, &BarUserMessage::OnPluginReserveTimerId},
    {&BarMessages::ThemeClosingCheckModified, &BarUserMessage::OnThemeClosingCheckModified},
    {&BarMessages::OnTopAppShownOrHidden, &BarUserMessage::OnOnTopAppShownOrHidden},
    {&BarMessages::StatsUpdated, &BarUserMessage::OnStatsUpdated},
    {&BarMessages::SkinChanging, &BarUserMessage::OnSkinChanging},
    {&BarMessages::TaskbarCreated, &BarUserMessage::OnTaskbarCreated},
    {&BarMessages::PopupItemClosing, &BarUserMessage::OnPopupItemClosing},
    {&BarMessages::StartTrackingNewItemDelay, &BarUserMessage::OnStartTrackingNewItemDelay},
    {&BarMessages::UpdateHiddenLayers, &BarUserMessage::OnUpdateHiddenLayers},
};

Onward BarUserMessage::Run() {
    switch (msg_) {
    case WM_HOTKEY:
        return OnHotkey();
    case WM_BARWINKEY:
        return OnWindowsKey();
    case WM_BARACTIVATE:
        return OnActivateRequest();
    case WM_NOTIFY:
        bar_->OnToolTipNeedText(lp_);
        return Onward::ToSections;
    case WM_TIMER:
        bar_->AnimatorTimer(wp_);
        return Onward::ToSections;
    default:
        break;
    }
    for (const Route& route : kRoutes)
        if (msg_ == m_.*route.id) return (this->*route.handler)();
    return Onward::ToSections;
}

Onward BarUserMessage::OnHotkey() {
    if (wp_ != 0 && wp_ == bar_->m_hotkeyId)
        ::PostMessageA(bar_->m_hWnd, WM_BARACTIVATE, reinterpret_cast<WPARAM>(bar_), 0);
    return Onward::ToSections;
}

Onward BarUserMessage::OnWindowsKey() {
    if (bar_->RespondToWindowsKey) ::PostMessageA(bar_->m_hWnd, WM_BARACTIVATE, 0, 0);
    return Onward::ToSections;
}

Onward BarUserMessage::OnActivateRequest() {
    // Compared, never followed: any process may post this.
    if (wp_ == reinterpret_cast<WPARAM>(bar_) || (wp_ == 0 && bar_->RespondToWindowsKey)) {
        if (bar_->m_hWnd) ForceForeground(bar_->m_hWnd);
        if (bar_->bReshowUnderMouse && bar_->DockToEdge < 0) bar_->ReshowUnderPointer();
        if (bar_->m_hWnd && !::IsWindowVisible(bar_->m_hWnd)) bar_->Show(0);
        if (bar_->UseAutohide) bar_->AutoHide(0, 1);
    }
    return Onward::ToSections;
}

Onward BarUserMessage::OnThemeLoadingDone() {
    if (bar_->bWasHiddenOnLastCloseByPopup) {
        bar_->bWasHiddenOnLastCloseByPopup = FALSE;
        if (!bar_->m_associatedPopupItem) bar_->Show(0);
    }
    if (bar_->AlwaysOnTopOrder > 0) {
        bar_->m_regionDirty = TRUE;
        bar_->RedrawVellumWindow();
        if (bar_->m_hWnd) ::SetForegroundWindow(bar_->m_hWnd);
    }
    return Onward::ToSections;
}

Onward BarUserMessage::OnShouldEnableMousehook() {
    // Only the stats monitor's answer slot, which it registers for the call.
    int* answer = reinterpret_cast<int*>(wp_);
    if (bar_->UseAutohide && IsOwnedRecord(answer) &&
        MayWriteThrough(bar_, msg_, wp_, lp_, answer, sizeof(int)))
        *answer = 1;
    return Onward::Ends;
}

Onward BarUserMessage::OnHideBarExternal() {
    bar_->HideAsSetting(wp_ ? 1 : 0);
    return Onward::Ends;
}

Onward BarUserMessage::OnReloadSkin() {
    bar_->ReloadSkin(1);
    bar_->m_regionDirty = TRUE;
    bar_->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    return Onward::ToSections;
}

Onward BarUserMessage::OnDoAutohide() {
    bar_->AutoHide(bar_->UseAutohide, 1);
    return Onward::ToSections;
}

// "TSAutoHide - Show<Edge>": only the edge the bar hides at answers.
Onward BarUserMessage::OnAutohideEdge() {
    if (!bar_->UseAutohide) return Onward::ToSections;
    const UINT edge_messages[4] = {m_.AutoHideShowLeft, m_.AutoHideShowTop, m_.AutoHideShowRight,
                                   m_.AutoHideShowBottom};
    for (int edge = 0; edge < 4; ++edge)
        if (msg_ == edge_messages[edge] && bar_->m_autohide.edge == edge)
            bar_->OnAutohideEdgeMessage(edge);
    return Onward::ToSections;
}

// Requests from plug-ins, which name items and buffers by pointer.
Onward BarUserMessage::OnPluginMarkBarModified() {
    bar_->SetModified();
    return Onward::Ends;
}

Onward BarUserMessage::OnPluginSetItemState() {
    if (CVellumMenuItem* item = ItemOfBar(bar_, wp_)) item->SetState(static_cast<UINT>(lp_), 0);
    return Onward::Ends;
}

Onward BarUserMessage::OnPluginRedrawItem() {
    if (CVellumMenuItem* item = ItemOfBar(bar_, wp_)) item->RedrawItem();
    return Onward::Ends;
}

Onward BarUserMessage::OnPluginRefreshItemImages() {
    if (CVellumMenuItem* item = ItemOfBar(bar_, wp_)) {
        item->RefreshIcon();
        item->RedrawItem();
    }
    return Onward::Ends;
}

Onward BarUserMessage::OnPluginRecalcAllItems() {
    bar_->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    return Onward::Ends;
}

// "MakePathRelative" and "MakePathAbsolute": wParam the path, lParam a
// MAX_PATH buffer for the result.
Onward BarUserMessage::OnPluginItemPath() {
    const char* path = reinterpret_cast<const char*>(wp_);
    char* out = reinterpret_cast<char*>(lp_);
    if (IsReadableCallerBuffer(path, 1) && MayWriteThrough(bar_, msg_, wp_, lp_, out, MAX_PATH))
        bar_->ApplyItemPathRequest(msg_ == m_.PluginMakePathRelative, path, out);
    return Onward::ToSections;
}

Onward BarUserMessage::OnPluginReserveTimerId() {
    int* out = reinterpret_cast<int*>(wp_);
    if (MayWriteThrough(bar_, msg_, wp_, lp_, out, sizeof(int)))
        *out = static_cast<int>(bar_->ReserveTimerID());
    return Onward::Ends;
}

Onward BarUserMessage::OnThemeClosingCheckModified() {
    if (bar_->m_layoutChanged || bar_->m_modifiedSilently) bar_->m_modified = TRUE;
    return Onward::ToSections;
}

// A full-screen application came or went: the bar steps behind it or back
// in front, with the foreground window kept.
Onward BarUserMessage::OnOnTopAppShownOrHidden() {
    HWND wnd = bar_->m_hWnd;
    if (!bar_->AlwaysOnTop || !wnd) return Onward::ToSections;
    const BarHostServices& host = GetBarHostServices();
    HWND front = ::GetForegroundWindow();
    DWORD front_thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    DWORD this_thread = ::GetCurrentThreadId();
    bool attached = front_thread && front_thread != this_thread &&
                    ::AttachThreadInput(this_thread, front_thread, TRUE);
    bool topmost = (::GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOSENDCHANGING;
    HWND place;
    if (HostSays(host.IsFullScreenAppActive))
        place = topmost ? HWND_NOTOPMOST : HWND_TOP;
    else
        place = topmost ? HWND_TOP : HWND_TOPMOST;
    for (int twice = 0; twice < 2; ++twice) ::SetWindowPos(wnd, place, 0, 0, 0, 0, flags);
    if (HostSays(host.IsFullScreenAppActive) && wp_)
        ::SetWindowPos(wnd, HWND_BOTTOM, 0, 0, 0, 0, flags);
    if (attached) ::AttachThreadInput(this_thread, front_thread, FALSE);
    if (front) ::SetForegroundWindow(front);
    return Onward::ToSections;
}

Onward BarUserMessage::OnStatsUpdated() {
    if (bar_->bUseActiveWindowsTitle) bar_->RedrawVellumWindow();
    return Onward::ToSections;
}

// The sections get their own form of the message: wParam points at a flag
// they set when the bar must be laid out again.
Onward BarUserMessage::OnSkinChanging() {
    bar_->UpdateAlpha();
    int relayout = 0;
    for (int i = 0; i < kMaxSections && bar_->m_sections[i]; ++i)
        bar_->m_sections[i]->ProcessUserMessage(msg_, reinterpret_cast<WPARAM>(&relayout), 0);
    int height = bar_->m_placement.LastSize.cy;
    if (bar_->CheckHeightByMultiple(&height, 1) && height != bar_->m_placement.LastSize.cy) {
        bar_->m_placement.LastSize.cy = height;
        bar_->UpdatePos();
    }
    if (relayout) bar_->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    return Onward::Ends;
}

Onward BarUserMessage::OnTaskbarCreated() {
    bar_->m_appBarRegistered = FALSE;
    bar_->UpdatePos();
    return Onward::ToSections;
}

Onward BarUserMessage::OnPopupItemClosing() {
    // Compared only: the item that goes away is forgotten as the opener.
    if (bar_->m_owningPopupItem && wp_ == reinterpret_cast<WPARAM>(bar_->m_owningPopupItem))
        bar_->m_owningPopupItem = nullptr;
    return Onward::ToSections;
}

Onward BarUserMessage::OnStartTrackingNewItemDelay() {
    if (CVellumMenuItem* item = ItemOfBar(bar_, wp_)) {
        bar_->RedrawVellumWindow();
        if (!item->TrackPopupMenu(0)) bar_->StartTracking(item, 0);
    }
    return Onward::ToSections;
}

Onward BarUserMessage::OnUpdateHiddenLayers() {
    bar_->UpdateHiddenLayers();
    return Onward::ToSections;
}

}  // namespace

void CVellumMenuObject::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (BarUserMessage(this, msg, wp, lp).Run() == Onward::Ends) return;
    for (int i = 0; i < kMaxSections && m_sections[i]; ++i)
        m_sections[i]->ProcessUserMessage(msg, wp, lp);
}

void CVellumMenuObject::OnToolTipNeedText(LPARAM lp) {
    // Only the bar's own tooltip control asks; its notification lies in this
    // process. Anything else is left alone.
    if (::InSendMessage()) return;
    if (!m_hToolTips || !IsReadableCallerBuffer(reinterpret_cast<void*>(lp), sizeof(NMHDR)))
        return;
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
    if (hdr->hwndFrom != m_hToolTips || hdr->code != TTN_NEEDTEXTA) return;
    if (!IsWritableCallerBuffer(reinterpret_cast<void*>(lp), sizeof(NMTTDISPINFOA))) return;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
    // The tool's id is the item it stands for.
    void* item_ptr = reinterpret_cast<void*>(info->hdr.idFrom);
    static char empty[1] = "";
    CVellumMenuItem* item = IsLiveItem(item_ptr) ? static_cast<CVellumMenuItem*>(item_ptr) : nullptr;
    info->lpszText = item && item->m_title ? item->m_title : empty;
    info->hinst = nullptr;
}
