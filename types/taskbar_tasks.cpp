// The taskbar section's buttons: adding, refreshing and removing the button
// of a window, the window events of the hook library, the user groups, the
// fill and rebuild, and Windows-key-plus-Tab.
#include <cstring>
#include <new>
#include <vector>

#include "model/vellum_menu_object.h"
#include "shell/hook_library.h"
#include "shell/stats_monitor.h"
#include "skins/skin_record.h"
#include "types/task_item.h"
#include "types/taskbar_section.h"
#include "util/callback_guard.h"
#include "util/general_helpers.h"
#include "util/text.h"

int g_task_insert_cursor = -1;   // TaskInsertCursor

namespace {

constexpr int kTitleSize = 499;     // 498 characters and the terminator
constexpr int kClassProbeSize = 20;

bool HasClass(HWND wnd, const char* cls) {
    char name[kClassProbeSize] = "";
    GetClassNameA(wnd, name, sizeof(name));
    return lstrcmpA(name, cls) == 0;
}

CVellumMenuItem_Taskbar* AsTask(CVellumMenuItem* item) { return dynamic_cast<CVellumMenuItem_Taskbar*>(item); }

HICON WindowIcon(HWND wnd, bool large) {
    HICON icon = large ? GetWindowBigIcon(wnd) : GetWindowSmallIcon(wnd);
    if (!icon) icon = large ? GetWindowSmallIcon(wnd) : GetWindowBigIcon(wnd);
    return icon;
}

// The title with every "&" doubled, made once.
void TaskTitle(HWND wnd, char* out, size_t size) {
    out[0] = '\0';
    GetWindowTextA(wnd, out, kTitleSize < static_cast<int>(size) ? kTitleSize : static_cast<int>(size));
    DoubleAmpersands(out, size);
}

}  // namespace

CVellumMenuItem_Taskbar* CVellumMenuSection_Taskbar::FindButton(HWND wnd) {
    if (!wnd) return nullptr;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) {
        CVellumMenuItem_Taskbar* task = AsTask(m_items[i]);
        if (task && task->m_window == wnd) return task;
    }
    return nullptr;
}

void CVellumMenuSection_Taskbar::ResetTaskStates(CVellumMenuItem_Taskbar* except, int force) {
    CStatsMonitor* monitor = GetStatsMonitor();
    HWND active = monitor ? monitor->m_foreground : nullptr;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) {
        CVellumMenuItem_Taskbar* task = AsTask(m_items[i]);
        if (!task || task == except || task->m_state == kStateNormal) continue;
        if (!force && active && task->m_window == active) continue;
        // The button's own rules keep a flashing or open button Selected.
        task->SetState(kStateNormal, 0);
        task->RedrawItem();
    }
}

int CVellumMenuSection_Taskbar::UpdateTaskWindow(HWND wnd, int action, int flash) {
    if (!wnd || !m_pBar) return 0;
    CVellumMenuItem_Taskbar* button = FindButton(wnd);
    bool deferred_transition = false;

    if (action == 2) {
        if (Animated()) MarkStartTransition();
        bool relaid = RemoveFromAutoGroup(button, wnd);
        if (button) {
            RemoveItem(button, 1);
        } else {
            for (int slot = 0; slot < kMaxTaskbarFilters; ++slot)
                if ((m_flags[slot] & kFilterGroup) && m_groupButtons[slot]) UpdateUserGroup(slot);
        }
        if (Animated()) {
            if (!relaid) {
                m_pBar->RecalcRects(0, 1);
                MarkEndTransition();
                StartTransition();
            }
        } else if (!m_filling) {
            m_pBar->RecalcRects(1, 1);
        }
        return 0;
    }

    if (action == 1 && !button) {
        // The library may report a handle that is gone (or never was) by now.
        if (!IsWindow(wnd)) return 0;
        if (m_groupPopupMode && !AcceptsInGroupPopup(wnd, 0)) return 0;
        int slot = -1;
        const int kind = ClassifyWindow(wnd, &slot);
        if (kind & kTaskHidden) return 0;
        if (kind & kTaskInGroup) {
            UpdateUserGroup(slot);
            if (slot >= 0 && m_groupButtons[slot]) goto refresh;
        }
        if (HasClass(wnd, "SysPager")) return 0;
        button = new (std::nothrow) CVellumMenuItem_Taskbar(m_pBar, this);
        if (!button) return 0;
        button->m_window = wnd;
        GetClassNameA(wnd, button->m_className, sizeof(button->m_className));
        char program[MAX_PATH] = "";
        GetWindowProgramPath(wnd, nullptr, program);
        tess::CopyText(button->m_program, program);
        GetWindowThreadProcessId(wnd, &button->m_processId);
        button->m_console = lstrcmpA(button->m_className, "ConsoleWindowClass") == 0;
        button->IconSize = DefaultIconSize;
        if (AutoGroup* group = FindAutoGroup(button)) {
            (void)group;
            ApplyAutoGroups();
            if (group->button && !m_groupPopupMode) {
                delete button;
                m_pBar->RecalcRects(1, 1);
                return 0;
            }
        }
        int index;
        if (g_task_insert_cursor >= 0) {
            index = g_task_insert_cursor++;
        } else {
            if (Animated()) {
                MarkStartTransition();
                deferred_transition = true;
            }
            index = -1;
        }
        if (!InsertItem(index, button)) {
            delete button;
            return 0;
        }
    }

refresh:
    if (CStatsMonitor* monitor = GetStatsMonitor()) monitor->UpdateStats();
    ResetTaskStates(nullptr, 0);
    if (!button) {
        if (flash >= 0) FlashAutoGroupOf(wnd, flash);
        CVellumMenuSection::ProcessUserMessage(GetTaskMessages().CheckGroupActiveStats, 0, 0);
        return 0;
    }

    char title[kTitleSize * 2];
    TaskTitle(wnd, title, sizeof(title));
    button->SetItemTitle(title, 0);
    HICON icon = WindowIcon(wnd, button->IconSize > 16);
    button->ReplaceIcons();
    button->m_icon1.Borrow(icon);
    button->SetState(button->m_state, 0);
    const bool flash_changed = flash >= 0 && flash != button->m_flash;
    if (flash_changed) button->ApplyFlash(flash);

    if (deferred_transition && g_task_insert_cursor < 0) {
        m_pBar->RecalcRects(0, 1);
        MarkEndTransition();
        StartTransition();
    } else {
        if (flash_changed) button->RedrawItem();
        if (action == 1) {
            if (!m_filling) m_pBar->RecalcRects(1, 1);
        } else {
            button->RedrawItem();
        }
    }
    return 1;
}

// ---- fill, rebuild, refresh ---------------------------------------------------------------------

void CVellumMenuSection_Taskbar::FillWithTaskWindows() {
    const int filling = m_filling;
    m_filling = 1;
    struct Fill {
        static BOOL CALLBACK Visit(HWND wnd, LPARAM lp) {
            return tess::GuardEnumProc([&]() -> BOOL {
                if (IsTaskWindow(wnd))
                    reinterpret_cast<CVellumMenuSection_Taskbar*>(lp)->UpdateTaskWindow(wnd, 1, -1);
                return TRUE;
            });
        }
    };
    EnumWindows(Fill::Visit, reinterpret_cast<LPARAM>(this));
    m_filling = filling;
}

int CVellumMenuSection_Taskbar::RebuildTasks() {
    const int filling = m_filling;
    m_filling = 1;
    RemoveItem(-1, 1);
    for (AutoGroup& group : m_autoGroups) group.button = nullptr;
    std::memset(m_groupButtons, 0, sizeof(m_groupButtons));
    FillWithTaskWindows();
    m_filling = filling;
    return 1;
}

int CVellumMenuSection_Taskbar::RefreshTasks() {
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) {
        CVellumMenuItem_Taskbar* task = AsTask(m_items[i]);
        if (task && task->m_window && !task->m_groupKey) UpdateTaskWindow(task->m_window, 0, -1);
    }
    return 1;
}

// ---- user groups ----------------------------------------------------------------------------------

const char* CVellumMenuSection_Taskbar::GetGroupKey(CVellumMenuItem* item) {
    if (!item) return nullptr;
    char name[32] = "";
    if (!item->GetCustomItemName(name) || lstrcmpA(name, "TaskbarItem") != 0) return nullptr;
    CVellumMenuItem_Taskbar* task = AsTask(item);
    return task ? task->m_groupKey : nullptr;
}

int CVellumMenuSection_Taskbar::CountGroupWindows(int slot) {
    struct Count {
        CVellumMenuSection_Taskbar* section;
        int slot;
        int count;
        static BOOL CALLBACK Visit(HWND wnd, LPARAM lp) {
            auto* c = reinterpret_cast<Count*>(lp);
            if (IsGroupWindow(wnd) && c->section->MatchFilter(c->slot, wnd)) ++c->count;
            return TRUE;
        }
    } c{this, slot, 0};
    EnumWindows(Count::Visit, reinterpret_cast<LPARAM>(&c));
    return c.count;
}

int CVellumMenuSection_Taskbar::UpdateUserGroup(int slot) {
    if (slot < 0) return 0;
    if (slot >= kMaxTaskbarFilters || m_busy) return 1;
    m_busy = 1;
    const int count = (m_groupingDisabled || m_xpGrouping || m_groupPopupMode) ? 0 : CountGroupWindows(slot);
    CVellumMenuItem_Taskbar*& button = m_groupButtons[slot];
    std::vector<HWND> matching;
    struct Collect {
        CVellumMenuSection_Taskbar* section;
        int slot;
        std::vector<HWND>* out;
        static BOOL CALLBACK Visit(HWND wnd, LPARAM lp) {
            return tess::GuardEnumProc([&]() -> BOOL {
                auto* c = reinterpret_cast<Collect*>(lp);
                if (IsGroupWindow(wnd) && c->section->MatchFilter(c->slot, wnd)) c->out->push_back(wnd);
                return TRUE;
            });
        }
    } collect{this, slot, &matching};
    auto write_title = [&](CVellumMenuItem_Taskbar* b) {
        char title[1100];
        const char* group_title = m_groupTitles[slot] ? m_groupTitles[slot] : "";
        const bool header = m_pBar && m_pBar->m_skin && m_pBar->m_skin->fonts[kSkinFontGroupHeader].font.get();
        if (header) {
            tess::FormatText(title, sizeof(title), "%d %s", count, group_title);
            char head[16];
            tess::FormatText(head, sizeof(head), "%d ", count);
            b->SetItemTitle(title, static_cast<int>(std::strlen(head)));
        } else {
            tess::CopyText(title, group_title);
            b->SetItemTitle(title, 0);
        }
    };
    const int minimum = m_minimums[slot] > 0 ? m_minimums[slot] : 1;
    if (button && count < minimum) {
        RemoveItem(button, 1);
        button = nullptr;
        EnumWindows(Collect::Visit, reinterpret_cast<LPARAM>(&collect));
        m_busy = 0;
        for (HWND w : matching) UpdateTaskWindow(w, 1, -1);
        m_busy = 1;
    } else if (button) {
        write_title(button);
    } else if (count >= minimum) {
        EnumWindows(Collect::Visit, reinterpret_cast<LPARAM>(&collect));
        for (HWND w : matching) UpdateTaskWindow(w, 2, -1);
        auto* group = new (std::nothrow) CVellumMenuItem_Taskbar(m_pBar, this);
        if (group) {
            group->SetGroupKey(m_matchTexts[slot], (m_flags[slot] & kFilterMatchClass) ? 32 : 16);
            write_title(group);
            const char* icon = m_groupIcons[slot];
            if (icon && icon[0] && lstrcmpiA(icon, kUseApplicationIcon) != 0) {
                group->SetIconPath(1, const_cast<char*>(icon));
                group->SetIconPath(2, nullptr);
                group->RefreshTaskIcon();
            } else if (!matching.empty()) {
                group->m_icon1.Borrow(WindowIcon(matching[0], DefaultIconSize > 16));
            }
            if (InsertItem(-1, group))
                button = group;
            else
                delete group;
        }
        if (!m_filling && m_pBar) m_pBar->RecalcRects(1, 1);
    }
    m_busy = 0;
    return 1;
}

// ---- events -------------------------------------------------------------------------------------------

void CVellumMenuSection_Taskbar::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const TaskMessages& m = GetTaskMessages();
    HWND wnd = reinterpret_cast<HWND>(wp);
    if (msg == m.FillTaskbar) {
        FillWithTaskWindows();
    } else if (msg == m.WinKeyTabDown) {
        OnWinKeyTab();
    } else if (msg == WM_TSHOOK_RESERVED) {
        UpdateTaskWindow(wnd, 0, -1);
    } else if (msg == WM_TSHOOK_ACTIVATED) {
        if (!wnd) {
            CStatsMonitor* monitor = GetStatsMonitor();
            HWND fore = GetForegroundWindow();
            if (monitor && (!fore || !GetPropA(fore, "lpMenuObject") ||
                            (monitor->m_foreground && IsIconic(monitor->m_foreground)))) {
                monitor->m_foreground = nullptr;
                ResetTaskStates(nullptr, 1);
            }
        } else {
            UpdateTaskWindow(wnd, 0, 0);
            if (!FindButton(wnd) && HasClass(wnd, "ConsoleWindowClass")) UpdateTaskWindow(wnd, 1, -1);
            CVellumMenuSection::ProcessUserMessage(m.FilterConsoles, 0, 0);
        }
    } else if (msg == WM_TSHOOK_CREATED) {
        UpdateTaskWindow(wnd, 1, -1);
    } else if (msg == WM_TSHOOK_DESTROYED) {
        UpdateTaskWindow(wnd, 2, -1);
    } else if (msg == WM_TSHOOK_CHANGED) {
        UpdateTaskWindow(wnd, 0, static_cast<int>(lp));
    }
    CVellumMenuSection::ProcessUserMessage(msg, wp, lp);
}

void CVellumMenuSection_Taskbar::OnWinKeyTab() {
    GlobalAddAtomA(kAtomRespondToWinKeyPlusTab);
    if (CStatsMonitor* monitor = GetStatsMonitor()) {
        if (HWND active = monitor->m_foreground) {
            monitor->m_foreground = nullptr;
            ResetTaskStates(FindButton(active), 1);
        }
    }
    HWND bar = m_pBar ? m_pBar->m_hWnd : nullptr;
    if (!bar) return;
    const DWORD fore_thread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD bar_thread = GetWindowThreadProcessId(bar, nullptr);
    const bool attach = fore_thread && fore_thread != bar_thread && AttachThreadInput(bar_thread, fore_thread, TRUE);
    SetForegroundWindow(bar);
    SetFocus(bar);
    typedef void(WINAPI * SwitchTo)(HWND, BOOL);
    if (HMODULE user = GetModuleHandleA("USER32.DLL")) {
        auto switch_to = reinterpret_cast<SwitchTo>(GetProcAddress(user, "SwitchToThisWindow"));
        if (switch_to) switch_to(bar, TRUE);
    }
    if (attach) AttachThreadInput(bar_thread, fore_thread, FALSE);

    const int count = GetNumOfItems();
    if (count <= 0) return;
    int current = FindItem(m_pBar->m_keyboardItem);
    int next;
    if (GetKeyState(VK_SHIFT) < 0)
        next = current <= 0 ? count - 1 : current - 1;
    else
        next = current < 0 || current >= count - 1 ? 0 : current + 1;
    m_pBar->ChangeKeyboardSelection(m_items[next]);
}
