// The task item: window buttons, group buttons and the group commands.
#include "types/task_item.h"

#include <cctype>
#include <cstring>
#include <new>

#include "model/live_objects.h"
#include "model/registered_names.h"
#include "model/vellum_menu_object.h"
#include "shell/hook_library.h"
#include "shell/stats_monitor.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr UINT kTaskSendTimeoutMs = 2500;
constexpr int kWindowTextSize = 1500;

HWND ActiveApplication() {
    CStatsMonitor* monitor = GetStatsMonitor();
    return monitor ? monitor->m_foreground : nullptr;
}

void RefreshMonitor() {
    if (CStatsMonitor* monitor = GetStatsMonitor()) monitor->UpdateStats();
}

bool SameProgram(HWND wnd, const char* program) {
    if (!program || !program[0] || !IsWindow(wnd)) return false;
    char name[MAX_PATH] = "";
    GetWindowProgramPath(wnd, nullptr, name);
    return lstrcmpiA(name, program) == 0;
}

// The window the user lands on when the active one is minimised: the next
// application window below it that is not minimised.
HWND NextWindowBelow(HWND wnd) {
    for (HWND next = GetWindow(wnd, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
        if (!IsWindowVisible(next) || IsIconic(next)) continue;
        if (GetWindowLongPtrA(next, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) continue;
        if (GetParent(next) || GetWindow(next, GW_OWNER)) continue;
        if (IsWindowEnabled(next)) return next;
        HWND popup = GetLastActivePopup(next);
        return popup != next && IsWindowEnabled(popup) ? popup : nullptr;
    }
    return nullptr;
}

}  // namespace

const TaskMessages& GetTaskMessages() {
    static const TaskMessages m = {
        RegisterWindowMessageA("My WM_FILLTASKBAR"),
        RegisterWindowMessageA("My WM_CHECKGROUPACTIVESTATS"),
        RegisterWindowMessageA("My WM_FILTERCONSOLES"),
        RegisterWindowMessageA("My WM_ADDFILTERSFORPOPUP"),
        RegisterWindowMessageA("My WM_STOPPOPUPFORCEDDELAY"),
        RegisterWindowMessageA("VolitleClose"),
        RegisterWindowMessageA(kWinKeyTabDownMessage),
    };
    return m;
}

CVellumMenuItem_Taskbar::CVellumMenuItem_Taskbar(CVellumMenuObject* bar, CVellumMenuSection* section)
    : CVellumMenuItem_Replaceable(bar, section) {
    m_window = nullptr;
    SetRectEmpty(&m_lastRect);
    m_autoGroup = nullptr;
    m_groupCommand = kTaskNoCommand;
    m_className[0] = m_program[0] = '\0';
    m_processId = 0;
    m_autoGroupIndex = -1;
    // Group commands live in a plain section of their popup.
    m_owningSection = dynamic_cast<CVellumMenuSection_Taskbar*>(section);
    m_groupKey = nullptr;
    m_matchKind = 0;
    m_flash = 0;
    m_systemMenuMode = FALSE;
    m_console = FALSE;
    m_companionSkinKind = kCompanionPopup;
    m_literalTitle = TRUE;   // window titles are shown as they are
    Action = 1;
    GetTaskMessages();
}

CVellumMenuItem_Taskbar::~CVellumMenuItem_Taskbar() {
    if (IsAutoGroupButton() && m_autoGroup->button == this) m_autoGroup->button = nullptr;
    // A command item holds its own copy of the group.
    if (IsCommandItem()) delete m_autoGroup;
    m_autoGroup = nullptr;
    delete[] m_groupKey;
    m_groupKey = nullptr;
    if (m_childBar && IsLiveBar(m_childBar)) m_childBar->m_neverSave = TRUE;
}

int CVellumMenuItem_Taskbar::SetGroupKey(const char* text, int kind) {
    if (!text) return 0;
    delete[] m_groupKey;
    m_autoGroupIndex = kTaskNeverGroup;
    m_companionSkinKind = kCompanionTaskbarGroupPopup;
    m_autoGroup = nullptr;
    const size_t n = std::strlen(text) + 1;
    m_groupKey = new char[n];
    std::memcpy(m_groupKey, text, n);
    m_matchKind = kind;
    return 1;
}

void CVellumMenuItem_Taskbar::SetAutoGroup(AutoGroup* group, int command) {
    m_companionSkinKind = kCompanionTaskbarGroupPopup;
    m_autoGroup = group;
    m_groupCommand = command;
}

void CVellumMenuItem_Taskbar::RefreshTaskIcon() { RefreshIcon(); }

void CVellumMenuItem_Taskbar::ApplyFlash(int flash) {
    if (flash < 0 || flash == m_flash) return;
    m_flash = flash;
    if (flash) {
        SetState(m_state, 0);
    } else {
        SetState(kStateNormal, 0);
        if (m_pBar) m_pBar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
    }
}

// ---- state ----------------------------------------------------------------------------------

bool CVellumMenuItem_Taskbar::HoldsActiveWindow(HWND active) {
    if (IsAutoGroupButton()) {
        for (int i = 0; i < m_autoGroup->count && i < kMaxAutoGroupMembers; ++i)
            if (m_autoGroup->members[i] == active) return true;
        return false;
    }
    if (!IsUserGroupButton()) return false;
    char text[kWindowTextSize] = "";
    if (m_matchKind == kFilterMatchClass) {
        GetClassNameA(active, text, sizeof(text));
        return lstrcmpiA(text, m_groupKey) == 0;
    }
    GetWindowTextA(active, text, sizeof(text));
    char key[kWindowTextSize];
    tess::CopyText(key, m_groupKey);
    for (char* c = text; *c; ++c) *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    for (char* c = key; *c; ++c) *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    return std::strstr(text, key) != nullptr;
}

void CVellumMenuItem_Taskbar::SetState(UINT state, int keep) {
    HWND active = ActiveApplication();
    if (active && IsWindow(active) && !IsIconic(active)) {
        if (IsWindowButton() && m_window == active) {
            if (m_owningSection) m_owningSection->ResetTaskStates(this, 0);
            state = kStateSelected;
        } else if (!IsWindowButton() && !IsCommandItem() && state != kStateSelected && HoldsActiveWindow(active)) {
            state = kStateSelected;
        }
    }
    if (state == kStateNormal && m_pBar) {
        if (m_pBar->m_tracking.pressed_item == this)
            state = kStateSelected;
        else if (m_pBar->m_tracking.hovered_item == this)
            state = kStateMouseOver;
    }
    const bool popup_open = m_childBar && IsLiveBar(m_childBar) && m_childBar->m_hWnd &&
                            IsWindowVisible(m_childBar->m_hWnd);
    if (popup_open || m_flash || m_systemMenuMode) state = kStateSelected;
    CVellumMenuItem_Replaceable::SetState(state, keep);
}

// ---- clicks -----------------------------------------------------------------------------------

void CVellumMenuItem_Taskbar::OnClick() {
    m_flash = 0;
    if (IsCommandItem()) {
        RunGroupCommand();
        return;
    }
    if (IsUserGroupButton() || IsAutoGroupButton()) {
        m_openAtCursor = FALSE;
        m_systemCommand = FALSE;
        return;
    }
    ClickWindow();
}

void CVellumMenuItem_Taskbar::OnDblClick() {}

void CVellumMenuItem_Taskbar::ClickWindow() {
    HWND w = m_window;
    if (!w || !m_pBar) return;
    if (IsIconic(w)) {
        if (!IsWindowEnabled(w)) {
            RefreshMonitor();
            return;
        }
        m_pBar->SendMessageTimeoutA(w, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, kTaskSendTimeoutMs);
        SetForegroundWindow(w);
        SetState(kStateSelected, 0);
    } else if (w == ActiveApplication()) {
        if (!IsWindowEnabled(w)) {
            RefreshMonitor();
            return;
        }
        HWND next = NextWindowBelow(w);
        m_pBar->SendMessageTimeoutA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, kTaskSendTimeoutMs);
        if (next && next != w) SetForegroundWindow(next);
        SetState(kStateNormal, 0);
    } else {
        SetForegroundWindow(w);
        SetState(kStateSelected, 0);
    }
    m_pBar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
    RedrawItem();
    RefreshMonitor();
}

// The members were copied when the popup was made; a member counts only
// while it is a window of the group's program.
void CVellumMenuItem_Taskbar::RunGroupCommand() {
    if (!m_pBar || !m_autoGroup) return;
    m_pBar->m_volatile = TRUE;
    const AutoGroup& group = *m_autoGroup;
    if (m_groupCommand == kTaskMinimizeGroup) {
        ANIMATIONINFO saved = {sizeof(saved), 0};
        SystemParametersInfoA(SPI_GETANIMATION, sizeof(saved), &saved, 0);
        ANIMATIONINFO off = {sizeof(off), 0};
        SystemParametersInfoA(SPI_SETANIMATION, sizeof(off), &off, 0);
        for (int i = 0; i < kMaxAutoGroupMembers && group.members[i]; ++i) {
            HWND w = group.members[i];
            if (SameProgram(w, group.program) && !IsIconic(w)) ShowWindowAsync(w, SW_MINIMIZE);
        }
        SystemParametersInfoA(SPI_SETANIMATION, sizeof(saved), &saved, 0);
    } else if (m_groupCommand == kTaskCloseGroup) {
        for (int i = 0; i < kMaxAutoGroupMembers && group.members[i]; ++i) {
            HWND w = group.members[i];
            if (SameProgram(w, group.program)) PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    }
    if (m_pBar->m_hMainWindow) SetForegroundWindow(m_pBar->m_hMainWindow);
    if (m_pBar->m_hWnd) PostMessageA(m_pBar->m_hWnd, GetTaskMessages().VolatileClose, 0, 0);
}

void CVellumMenuItem_Taskbar::OnRClick(int* handled) {
    if (handled) *handled = 1;
    if (IsCommandItem() || IsUserGroupButton()) return;
    m_systemMenuMode = TRUE;
    m_openAtCursor = TRUE;
    m_systemCommand = TRUE;
    if (IsAutoGroupButton()) {
        const int kind = m_companionSkinKind;
        m_companionSkinKind = kCompanionPopup;
        TrackPopupMenu(0);
        m_companionSkinKind = kind;
    } else if (m_window) {
        SetMenuEntry(-1, GetPopupMenu(), m_window);
        TrackPopupMenu(0);
    }
    RedrawItem();
    m_systemMenuMode = FALSE;
}

void CVellumMenuItem_Taskbar::DragHover() {
    if (IsWindowButton() && (!m_window || m_window == ActiveApplication())) return;
    if (!IsWindowButton() && m_childBar && m_childBar->m_hWnd && IsWindowVisible(m_childBar->m_hWnd)) return;
    UINT lock = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &lock, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    if (IsWindowButton())
        OnClick();
    else
        TrackPopupMenu(0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<ULONG_PTR>(lock)), 0);
}

// ---- popups -------------------------------------------------------------------------------------

int CVellumMenuItem_Taskbar::IsPopup() {
    if (IsCommandItem()) return 0;
    if (IsUserGroupButton() || IsAutoGroupButton()) return 1;
    return CVellumMenuItem_Replaceable::IsPopup();
}

int CVellumMenuItem_Taskbar::GetPopupDelay() { return -1; }

int CVellumMenuItem_Taskbar::GetCustomItemName(char* out) {
    if (out) tess::CopyText(out, 12, "TaskbarItem");
    return 1;
}

HMENU CVellumMenuItem_Taskbar::GetPopupMenu() {
    if (!m_systemMenuMode || !m_window) return nullptr;
    HMENU menu = GetSystemMenu(m_window, FALSE);
    if (menu && GetMenuItemCount(menu) > 0) return menu;
    GetSystemMenu(m_window, TRUE);
    return GetSystemMenu(m_window, FALSE);
}

int CVellumMenuItem_Taskbar::TrackPopupMenu(int byKeyboard) {
    HideOnClose = FALSE;   // its popups are made anew each time
    int result = CVellumMenuItem_Replaceable::TrackPopupMenu(byKeyboard);
    if (m_pBar && m_pBar->m_hWnd) PostMessageA(m_pBar->m_hWnd, GetTaskMessages().StopPopupForcedDelay, 0, 0);
    return result;
}

int CVellumMenuItem_Taskbar::TrackPopupMenuDoubleClick() {
    if (!IsAutoGroupButton()) return 1;
    if (!m_childBar) {
        TrackPopupMenu(0);
    } else {
        m_childBar->m_volatile = FALSE;
        m_childBar->m_tornOff = TRUE;
    }
    return 1;
}

CVellumMenuSection* CVellumMenuItem_Taskbar::CreatePopupSection(CVellumMenuObject* child, int* useMenu) {
    if (IsCommandItem() || !child) return nullptr;
    m_flash = 0;
    child->m_neverSave = TRUE;
    if (m_systemMenuMode && IsWindowButton()) {
        SetSystemMenuPopupMode(2);
        CVellumMenuSection* section = CVellumMenuItem_Replaceable::CreatePopupSection(child, useMenu);
        if (GetSystemMenuPopupMode() == 2) SetSystemMenuPopupMode(0);
        return section;
    }
    if (m_systemMenuMode && IsAutoGroupButton()) {
        auto* section = new (std::nothrow) CVellumMenuSection_Replaceable(child, -1, 0, 1);
        if (!section) return nullptr;
        section->MinItems = 1;
        const struct {
            int command;
            const char* title;
        } commands[] = {{kTaskMinimizeGroup, "Minimize Group"}, {kTaskCloseGroup, "Close Group"}};
        for (const auto& c : commands) {
            auto* item = new (std::nothrow) CVellumMenuItem_Taskbar(child, section);
            auto* copy = new (std::nothrow) AutoGroup(*m_autoGroup);
            if (!item || !copy) {
                delete item;
                delete copy;
                continue;
            }
            copy->button = nullptr;
            item->SetAutoGroup(copy, c.command);
            item->SetItemTitle(const_cast<char*>(c.title), 0);
            if (!section->InsertItem(-1, item)) delete item;
        }
        if (useMenu) *useMenu = 0;
        return section;
    }
    if (IsWindowButton()) return CVellumMenuItem_Popup::CreatePopupSection(child, useMenu);

    // A group button: a second taskbar section listing only its windows.
    child->SetTitle(m_title ? m_title : const_cast<char*>(""));
    auto* section = new (std::nothrow) CVellumMenuSection_Taskbar(child, -1);
    if (!section) return nullptr;
    section->m_xpGrouping = 0;
    section->MinItems = 1;
    child->m_growthFollowsBottom = TRUE;
    section->RemoveFilter(-1);
    if (IsAutoGroupButton())
        section->SetGroupPopupSource(m_autoGroup);
    else if (section->m_filterCount == 0)
        section->AddFilter(m_groupKey, m_matchKind | kFilterOnlyDisplay, nullptr, nullptr, 1);
    section->RebuildTasks();
    child->m_modified = FALSE;
    m_openAtCursor = FALSE;
    m_systemCommand = FALSE;
    if (useMenu) *useMenu = 0;
    return section;
}

// ---- drawing and messages -------------------------------------------------------------------------

void CVellumMenuItem_Taskbar::Draw(HDC dc) {
    if (IsAutoGroupButton() && !m_systemMenuMode && m_childBar && IsLiveBar(m_childBar) &&
        !EqualRect(&m_lastRect, &m_itemRect) && m_childBar->m_hWnd && IsWindowVisible(m_childBar->m_hWnd))
        CVellumMenuItem_Replaceable::SetState(m_state, 0);
    m_lastRect = m_itemRect;
    if (!IsCommandItem() && m_pBar && m_pBar->m_hWnd) {
        // Windows that went without a destroy event are reported now.
        if (IsAutoGroupButton()) {
            for (int i = 0; i < m_autoGroup->count && i < kMaxAutoGroupMembers; ++i)
                if (m_autoGroup->members[i] && !IsWindow(m_autoGroup->members[i]))
                    PostMessageA(m_pBar->m_hWnd, WM_TSHOOK_DESTROYED,
                                 reinterpret_cast<WPARAM>(m_autoGroup->members[i]), 0);
        } else if (m_window && !IsWindow(m_window)) {
            PostMessageA(m_pBar->m_hWnd, WM_TSHOOK_DESTROYED, reinterpret_cast<WPARAM>(m_window), 0);
        }
    }
    CVellumMenuItem_Replaceable::Draw(dc);
}

void CVellumMenuItem_Taskbar::ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_systemMenuMode && m_window && msg != WM_COMMAND && msg != WM_SYSCOMMAND) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(m_window, msg, wp, lp, SMTO_ABORTIFHUNG, kTaskSendTimeoutMs, &ignored);
        return;
    }
    CVellumMenuItem_Replaceable::ProcessMenuMessage(msg, wp, lp);
}

void CVellumMenuItem_Taskbar::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const TaskMessages& m = GetTaskMessages();
    if (msg == m.VolatileClose || msg == 6) {
        if (IsCommandItem() && m_pBar) m_pBar->m_volatile = TRUE;
    } else if (msg == m.FillTaskbar) {
        if (m_console && m_pBar && m_pBar->m_hWnd) {
            if (IsAutoGroupButton()) {
                for (int i = 0; i < m_autoGroup->count && i < kMaxAutoGroupMembers; ++i) {
                    HWND w = m_autoGroup->members[i];
                    if (w && !IsWindow(w)) {
                        PostMessageA(m_pBar->m_hWnd, WM_TSHOOK_DESTROYED, reinterpret_cast<WPARAM>(w), 0);
                        PostMessageA(m_pBar->m_hWnd, m.FillTaskbar, 0, 0);
                        break;
                    }
                }
            } else if (m_window && !IsWindow(m_window)) {
                PostMessageA(m_pBar->m_hWnd, WM_TSHOOK_DESTROYED, reinterpret_cast<WPARAM>(m_window), 0);
            }
        }
    } else if (msg == m.CheckGroupActiveStats) {
        if (!m_window) {
            const UINT before = m_state;
            SetState(m_state, 0);
            if (m_state != before) RedrawItem();
        }
    } else if (msg == m.StopPopupForcedDelay) {
        if (m_pBar) m_pBar->m_ignoreClicksUntil = static_cast<DWORD>(-1);
    }
    CVellumMenuItem_Replaceable::ProcessUserMessage(msg, wp, lp);
}
