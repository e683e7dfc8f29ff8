// BarWindowProc: finds the bar behind a bar window, filters a few messages,
// keeps the bar alive for the message and hands it to the bar's handlers.
#include "model/bar_window.h"
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/bar_registry.h"
#include "util/callback_guard.h"
#include "util/general_helpers.h"
#include "util/window_classes.h"

namespace {

constexpr UINT kSpiSetWorkArea = 47;
constexpr UINT kSpiWorkAreaChanged = 48;

bool HostSays(bool (*query)()) {
    return query && query();
}

HWND ResolveBarWindow(CVellumMenuObject* bar) {
    return bar && IsLiveBar(bar) ? bar->m_hWnd : nullptr;
}

// One message at one bar window: the named steps of the window procedure.
class BarWindowMessage {
public:
    BarWindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
        : wnd_(wnd), msg_(msg), wp_(wp), lp_(lp), m_(GetBarMessages()) {}

    LRESULT Run();

private:
    // The work done while the bar is held; true with *result when answered.
    bool HandleHeld(LRESULT* result);
    LRESULT OnCreate();
    bool UnpackPluginRecord();
    // Filters before the bar is held; true when the message ends there.
    bool Filter(LRESULT* result);
    void PreDispatch();
    // The first dispatch, to the bar's handlers; true when the message ends.
    bool DispatchToBar();
    bool ClickFilter();
    void ExpireClickIgnore();
    // The window's own work; true with *result when the message is answered.
    bool WindowWork(LRESULT* result);
    void OnDestroy();
    void OnClose();
    void OnWindowPosChanging();
    void OnPaint(HDC given);
    void OnSettingChange();
    void OnDisplayChangeMonitor();
    void OnMyShowWindow();
    void OnMyShowWindow2();
    LRESULT Finish(bool answered, LRESULT result);

    HWND wnd_;
    UINT msg_;
    WPARAM wp_;
    LPARAM lp_;
    const BarMessages& m_;
    CVellumMenuObject* bar_ = nullptr;
    bool from_plugin_ = false;
    bool bar_closed_ = false;
};

LRESULT BarWindowMessage::Run() {
    if (msg_ == m_.FormattedFromPlugin) {
        if (!UnpackPluginRecord()) return 0;
        from_plugin_ = true;
    }

    bar_ = LiveBarOfWindow(wnd_);
    if (!bar_) {
        if (msg_ == WM_CREATE) return OnCreate();
        // A window whose bar is gone: only the default handling.
        ForwardWindowMessageToPlugins(wnd_, msg_, wp_, lp_);
        return ::DefWindowProcA(wnd_, msg_, wp_, lp_);
    }

    LRESULT filtered = 0;
    if (Filter(&filtered)) return filtered;

    bar_->AddRef();
    LRESULT result = 0;
    bool answered = false;
    try {
        answered = HandleHeld(&result);
        ForwardWindowMessageToPlugins(wnd_, msg_, wp_, lp_);
    } catch (...) {
        // The message's reference goes with it, or the bar could never be freed.
        ReleaseBarForWindow(bar_, wnd_);
        throw;
    }
    return Finish(answered, result);
}

bool BarWindowMessage::HandleHeld(LRESULT* result) {
    if (msg_ == WM_MOUSEMOVE) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, wnd_, 0};
        ::TrackMouseEvent(&track);
    }
    PreDispatch();

    if (msg_ == WM_MEASUREITEM || msg_ == WM_DRAWITEM) {
        if (bar_->ServeContextMenuHeader(msg_, wp_, lp_)) {
            *result = TRUE;
            return true;
        }
    } else if (msg_ == WM_ENTERMENULOOP) {
        bar_->CreateMenuHeaderFont();
    } else if (msg_ == WM_EXITMENULOOP) {
        bar_->DeleteMenuHeaderFont();
    } else if (msg_ == WM_DISPLAYCHANGE) {
        OnDisplayChangeMonitor();
    }

    if (DispatchToBar() || (from_plugin_ && msg_ == WM_MOUSEMOVE)) {
        *result = 0;
        return true;
    }
    return WindowWork(result);
}

LRESULT BarWindowMessage::Finish(bool answered, LRESULT result) {
    if (ReleaseBarForWindow(bar_, wnd_)) return 0;   // the bar is gone
    if (answered) return result;
    return ::DefWindowProcA(wnd_, msg_, wp_, lp_);
}

LRESULT BarWindowMessage::OnCreate() {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp_);
    void* param = create ? create->lpCreateParams : nullptr;
    if (!IsLiveBar(param)) return -1;   // no bar: the window is not made
    auto* bar = static_cast<CVellumMenuObject*>(param);
    const BarHostServices& host = GetBarHostServices();
    if (host.SetProgramIcons) host.SetProgramIcons(wnd_);
    bar->m_hWnd = wnd_;
    ::SetPropA(wnd_, "lpMenuObject", bar);
    bar->m_skipRegionUpdate = FALSE;
    return 0;
}

bool BarWindowMessage::UnpackPluginRecord() {
    // Only a record the program made itself is read and freed.
    MSG record;
    if (!TakePluginMessageRecord(reinterpret_cast<void*>(wp_), &record)) return false;
    msg_ = record.message;
    wp_ = record.wParam;
    lp_ = record.lParam;
    return true;
}

bool BarWindowMessage::Filter(LRESULT* result) {
    const BarHostServices& host = GetBarHostServices();
    switch (msg_) {
    case WM_MOUSEACTIVATE:
        if (bar_->m_lastLeftPress &&
            ::GetTickCount() - bar_->m_lastLeftPress + 10 <= ::GetDoubleClickTime()) {
            *result = MA_NOACTIVATE;
            return true;
        }
        return false;
    case WM_LBUTTONDOWN:
        bar_->m_lastLeftPress = static_cast<DWORD>(::GetMessageTime());
        bar_->m_doubleClickSeen = FALSE;
        return false;
    case WM_LBUTTONDBLCLK:
        bar_->m_lastLeftPress = 0;
        bar_->m_doubleClickSeen = TRUE;
        if (HostSays(host.IsDoubleClickingDisabled)) {
            *result = 0;
            return true;
        }
        return false;
    case WM_LBUTTONUP:
        if (HostSays(host.IsDoubleClickingDisabled) && bar_->m_doubleClickSeen) {
            *result = 0;
            return true;
        }
        return false;
    case WM_MOUSELEAVE: {
        POINT cursor;
        ::GetCursorPos(&cursor);
        HWND under = ::WindowFromPoint(cursor);
        if (under && ::GetAncestor(under, GA_ROOT) == wnd_) {
            *result = 0;
            return true;
        }
        ::PostMessageA(wnd_, m_.MyMouseLeave, wp_, lp_);
        *result = ::DefWindowProcA(wnd_, WM_MOUSELEAVE, wp_, lp_);
        return true;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        ::UpdateWindow(wnd_);
        *result = 0;
        return true;
    default:
        return false;
    }
}

void BarWindowMessage::PreDispatch() {
    if (msg_ == m_.SpeedUpdate || msg_ == m_.SpeedUpdateSection) msg_ = WM_PAINT;
    else if (msg_ == m_.MyMouseLeave) msg_ = WM_MOUSELEAVE;
}

void BarWindowMessage::ExpireClickIgnore() {
    DWORD until = bar_->m_ignoreClicksUntil;
    if (until != static_cast<DWORD>(-1) &&
        static_cast<LONG>(static_cast<DWORD>(::GetMessageTime()) - until) >= 0)
        bar_->m_ignoreClicksUntil = static_cast<DWORD>(-1);
}

bool BarWindowMessage::ClickFilter() {
    DWORD until = bar_->m_ignoreClicksUntil;
    DWORD now = static_cast<DWORD>(::GetMessageTime());
    if (until != static_cast<DWORD>(-1) &&
        (until == 0 || static_cast<LONG>(now - until) < 0)) {
        // A release inside the ignore time still ends a press in progress.
        if (msg_ == WM_LBUTTONUP) bar_->ProcessMouseMessage(m_.LButtonUpBad, wp_, lp_);
        return true;
    }
    ExpireClickIgnore();
    bar_->ProcessMouseMessage(msg_, wp_, lp_);
    return false;
}

bool BarWindowMessage::DispatchToBar() {
    switch (msg_) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        // The move cursor depends on Ctrl.
        if (wp_ == VK_CONTROL) ::PostMessageA(wnd_, WM_MOUSEMOVE, 0, 0);
        bar_->ProcessKeyboardMessage(msg_, wp_, lp_);
        return false;
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        bar_->ProcessKeyboardMessage(msg_, wp_, lp_);
        return false;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMMAND:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_MENUCHAR:
    case WM_ENTERIDLE:
        bar_->ProcessMenuMessage(msg_, wp_, lp_);
        return false;
    case WM_TIMER:
        bar_->ProcessMouseMessage(msg_, wp_, lp_);
        bar_->ProcessUserMessage(msg_, wp_, lp_);
        return false;
    case WM_ACTIVATEAPP:
    case WM_NOTIFY:
    case WM_HOTKEY:
        bar_->ProcessUserMessage(msg_, wp_, lp_);
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return ClickFilter();
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_CONTEXTMENU:
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        ExpireClickIgnore();
        bar_->ProcessMouseMessage(msg_, wp_, lp_);
        return false;
    default:
        if (msg_ >= WM_RBUTTONDOWN && msg_ <= WM_MBUTTONDBLCLK) {
            ExpireClickIgnore();
            bar_->ProcessMouseMessage(msg_, wp_, lp_);
        } else if (msg_ >= WM_USER) {
            bar_->ProcessUserMessage(msg_, wp_, lp_);
        }
        return false;
    }
}

bool BarWindowMessage::WindowWork(LRESULT* result) {
    const BarHostServices& host = GetBarHostServices();
    switch (msg_) {
    case WM_DESTROY:
        OnDestroy();
        return false;
    case WM_CLOSE:
        OnClose();
        return false;
    case WM_ACTIVATE:
        bar_->OnActivate(wp_, lp_);
        return false;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanging();
        return false;
    case WM_PAINT:
        OnPaint(reinterpret_cast<HDC>(wp_));
        *result = 0;
        return true;
    case WM_PRINT:
        if (!wp_) return false;
        OnPaint(reinterpret_cast<HDC>(wp_));
        *result = 0;
        return true;
    case WM_SETTINGCHANGE:
        if (wp_ == kSpiSetWorkArea || wp_ == kSpiWorkAreaChanged) OnSettingChange();
        return false;
    case WM_ACTIVATEAPP:
        if (wp_ == 0) {
            if (host.FoldSmartMenus) host.FoldSmartMenus();
            if (CVellumMenuItem* item = bar_->m_keyboardItem) {
                item->SetState(kStateNormal, 0);
                item->RedrawItem();
            }
        }
        return false;
    case WM_SYSKEYDOWN:
        if (wp_ == VK_F4) {   // Alt+F4 does not close a bar
            *result = 0;
            return true;
        }
        return false;
    case WM_TIMER:
        if (wp_ == kVolatileHideTimerId) {
            bar_->Hide(0);
            ::KillTimer(wnd_, kVolatileHideTimerId);
        }
        return false;
    case WM_APPBARCALLBACK:
        if (bar_->OnAppBarNotify(wp_, lp_)) bar_->UpdatePos();
        return false;
    case WM_DISPLAYCHANGE:
        bar_->UpdatePos();
        return false;
    default:
        break;
    }

    if (msg_ == m_.MyShowWindow) {
        OnMyShowWindow();
    } else if (msg_ == m_.MyShowWindow2) {
        OnMyShowWindow2();
    } else if (msg_ == m_.QueryIsDocked) {
        *result = bar_->DockToEdge >= 0 ? 1 : 0;
        return true;
    } else if (msg_ == m_.VolatileLayerCheck) {
        if (host.HideVolatileLayers) host.HideVolatileLayers(1);
    } else if (msg_ == m_.VolatileClose) {
        bar_->OnVolatileClose();
    }
    return false;
}

void BarWindowMessage::OnDestroy() {
    bar_->RemoveAppBar();
    ::SendMessageA(wnd_, WM_CANCELMODE, 0, 0);
    ::RemovePropA(wnd_, "lpMenuObject");
    ::RemovePropA(wnd_, "ADDSHADOW");
    ::RemovePropA(wnd_, "hwndToolTips");
    RemoveBarWindow(nullptr, wnd_);
}

void BarWindowMessage::OnClose() {
    bar_->RemoveAppBar();
    bar_->Release();   // the creator's reference
    ::RemovePropA(wnd_, "lpMenuObject");
    ::SendMessageA(wnd_, WM_CANCELMODE, 0, 0);
}

void BarWindowMessage::OnWindowPosChanging() {
    const BarHostServices& host = GetBarHostServices();
    if (HostSays(host.IsFullScreenAppActive) || bar_->m_autohide.slide_running) return;
    if (!bar_->m_hMainWindow) return;
    HWND after = reinterpret_cast<HWND>(
        ::SendMessageA(bar_->m_hMainWindow, m_.GetAfterWindow, reinterpret_cast<WPARAM>(wnd_),
                       bar_->AlwaysOnTopOrder));
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp_);
    if (after && pos && pos->hwndInsertAfter != HWND_TOPMOST) {
        pos->hwndInsertAfter = after;
        pos->flags &= ~SWP_NOZORDER;
    }
}

void BarWindowMessage::OnPaint(HDC given) {
    if (!given && bar_->UpdateAlpha()) {
        // The transparency changed: paint once it has taken effect.
        ::PostMessageA(wnd_, m_.SpeedUpdate, wp_, lp_);
        ::ValidateRect(wnd_, nullptr);
        return;
    }
    RECT client;
    ::GetClientRect(wnd_, &client);
    if (given) {
        bar_->PaintWindow(given, client, true);
    } else {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(wnd_, &ps);
        RECT update = ps.rcPaint;
        if (::IsRectEmpty(&update)) update = client;
        if (dc) bar_->PaintWindow(dc, update, false);
        ::EndPaint(wnd_, &ps);
    }
    ::ValidateRect(wnd_, nullptr);
}

void BarWindowMessage::OnSettingChange() {
    // Only a bar that sizes by the work area and has a rule of modifier 2 or
    // more follows a change of the work area.
    if (bar_->bUseScreenSizes) return;
    const BarSizeRule* rules[2] = {&bar_->ptMIN, &bar_->ptMAX};
    bool by_work_area = false;
    for (const BarSizeRule* rule : rules)
        if (rule->modifiers.x >= 2 || rule->modifiers.y >= 2) by_work_area = true;
    if (!by_work_area) return;

    bar_->UpdatePos();

    // The work area relative to the bar's monitor.
    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    MONITORINFO info = {};
    if (bar_->m_hMonitor && GetMonitorInfoSafe(bar_->m_hMonitor, &info)) {
        work = info.rcWork;
        ::OffsetRect(&work, -info.rcMonitor.left, -info.rcMonitor.top);
    }

    POINT& pos = bar_->m_placement.LastPos;
    const SIZE& size = bar_->m_placement.LastSize;
    POINT before = pos;
    if (pos.x < work.left) pos.x = work.left;
    if (pos.y < work.top) pos.y = work.top;
    if (pos.x + size.cx > work.right) pos.x = work.right - size.cx;
    if (pos.y + size.cy > work.bottom) pos.y = work.bottom - size.cy;
    if (pos.x < work.left) pos.x = work.left;
    if (pos.y < work.top) pos.y = work.top;
    if (pos.x != before.x || pos.y != before.y) bar_->UpdatePos();
    bar_->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

void BarWindowMessage::OnDisplayChangeMonitor() {
    if (!bar_->LastMonitor[0]) return;
    bar_->m_hMonitor = FindMonitorByDeviceName(bar_->LastMonitor);
    if (!bar_->m_hMonitor) bar_->LastMonitor[0] = '\0';
    GetMonitorOrigin(bar_->m_hMonitor, &bar_->m_monitorOrigin);
    bar_->m_monitorSize.cx = GetMonitorMetric(bar_->m_hMonitor, SM_CXSCREEN);
    bar_->m_monitorSize.cy = GetMonitorMetric(bar_->m_hMonitor, SM_CYSCREEN);
    bar_->UpdatePos();
}

void BarWindowMessage::OnMyShowWindow() {
    ::GetCursorPos(&bar_->m_pointerAtShow);
    HWND main = bar_->m_hMainWindow;
    WPARAM self = reinterpret_cast<WPARAM>(bar_);
    if (wp_) {
        ::ShowWindow(wnd_, SW_SHOWNORMAL);
        ::PostMessageA(wnd_, m_.MyShowWindow2, wp_, lp_);
        if (main) ::SendMessageA(main, m_.MenuObjectShowing, self, 0);
        CVellumMenuItem* item = bar_->m_associatedPopupItem;
        if (item && IsLiveItem(item)) item->ProcessUserMessage(m_.AssociatedPopupShowing, 0, 0);
    } else {
        ::ShowWindow(wnd_, SW_HIDE);
        if (main) ::SendMessageA(main, m_.MenuObjectHiding, self, 0);
    }
    bar_->RetitleEditorNode();
}

void BarWindowMessage::OnMyShowWindow2() {
    const BarHostServices& host = GetBarHostServices();
    bool wanted = bar_->AlwaysOnTop && !HostSays(host.IsFullScreenAppActive);
    bool has = (::GetWindowLongA(wnd_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (wanted != has) bar_->UpdatePos();
}

}  // namespace

LRESULT CALLBACK BarWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardWindowProc(wnd, msg, wp, lp, [&] { return BarWindowMessage(wnd, msg, wp, lp).Run(); });
}

bool RegisterBarWindowClasses(HINSTANCE instance, HICON large_icon, HICON small_icon) {
    SetBarWindowResolver(ResolveBarWindow);
    const char* names[2] = {kBarWindowClass, kDesktopBarWindowClass};
    bool ok = true;
    for (const char* name : names) {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;   // the bar handles WM_LBUTTONDBLCLK
        wc.lpfnWndProc = BarWindowProc;
        wc.hInstance = instance;
        wc.hIcon = large_icon;
        wc.hIconSm = small_icon;
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = name;
        if (!RegisterOwnWindowClass(wc)) ok = false;
    }
    return ok;
}
