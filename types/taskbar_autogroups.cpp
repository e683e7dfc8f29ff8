// Automatic grouping: the table of programs with two or more windows, kept
// whether grouping is on or not, and the group buttons made from it while
// it is on.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <new>
#include <vector>

#include "model/vellum_menu_object.h"
#include "skins/skin_record.h"
#include "types/task_item.h"
#include "types/taskbar_section.h"
#include "util/general_helpers.h"
#include "util/text.h"

extern int g_task_insert_cursor;

namespace {

CVellumMenuItem_Taskbar* AsTask(CVellumMenuItem* item) { return dynamic_cast<CVellumMenuItem_Taskbar*>(item); }

// The program's own description from its version resource; false when it
// has none.
bool ReadFileDescription(const char* path, char* out, size_t size) {
    DWORD handle = 0;
    DWORD length = GetFileVersionInfoSizeA(path, &handle);
    if (!length) return false;
    std::vector<char> data(length);
    if (!GetFileVersionInfoA(path, 0, length, data.data())) return false;
    WORD* translation = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &bytes) ||
        bytes < 2 * sizeof(WORD))
        return false;
    char key[64];
    tess::FormatText(key, sizeof(key), "\\StringFileInfo\\%04x%04x\\FileDescription", translation[0], translation[1]);
    char* value = nullptr;
    if (!VerQueryValueA(data.data(), key, reinterpret_cast<void**>(&value), &bytes) || !value || !bytes) return false;
    tess::CopyTextN(out, size, value, bytes);
    if (lstrcmpA(out, "Shell Browser UI Library") == 0) tess::CopyText(out, size, "Internet Explorer");
    return true;
}

// Every window that joins a group asks again; the program's file answers
// the same, so the last answer is kept (reading a version resource takes
// tens of milliseconds).
bool FileDescription(const char* path, char* out, size_t size) {
    static char s_path[MAX_PATH] = "";
    static char s_description[kAutoGroupDisplayNameSize] = "";
    static bool s_found = false;
    if (!s_path[0] || lstrcmpiA(s_path, path) != 0) {
        s_found = ReadFileDescription(path, s_description, sizeof(s_description));
        tess::CopyText(s_path, path);
    }
    if (s_found) tess::CopyText(out, size, s_description);
    return s_found;
}

}  // namespace

AutoGroup* CVellumMenuSection_Taskbar::FindAutoGroup(CVellumMenuItem_Taskbar* button) {
    if (!button || button->m_autoGroupIndex == kTaskNeverGroup || !button->m_program[0]) return nullptr;
    HWND wnd = button->m_window;
    for (int i = 0; i < kMaxAutoGroups; ++i) {
        AutoGroup& g = m_autoGroups[i];
        for (int m = 0; m < g.count && m < kMaxAutoGroupMembers; ++m) {
            if (g.members[m] != wnd) continue;
            button->m_autoGroupIndex = i;
            return &g;
        }
    }
    for (int i = 0; i < kMaxAutoGroups; ++i) {
        AutoGroup& g = m_autoGroups[i];
        if (g.count <= 0 || !g.same_program || lstrcmpiA(g.program, button->m_program) != 0) continue;
        // A full group leaves the window its own button.
        if (g.count >= kMaxAutoGroupMembers) return nullptr;
        if (lstrcmpiA(g.class_name, button->m_className) != 0) g.same_class = 0;
        if (g.process_id != button->m_processId) g.same_process = 0;
        g.members[g.count++] = wnd;
        button->m_autoGroupIndex = i;
        if (!g.button) return nullptr;
        UpdateAutoGroupButton(i);
        return &g;
    }
    CVellumMenuItem_Taskbar* other = nullptr;
    for (int i = 0; i < kMaxItems && m_items[i] && !other; ++i) {
        CVellumMenuItem_Taskbar* task = AsTask(m_items[i]);
        if (task && task != button && task->m_window && task->m_autoGroupIndex == -1 &&
            lstrcmpiA(task->m_program, button->m_program) == 0)
            other = task;
    }
    if (!other) return nullptr;
    for (int i = 0; i < kMaxAutoGroups; ++i) {
        AutoGroup& g = m_autoGroups[i];
        if (g.count != 0) continue;
        std::memset(&g, 0, sizeof(g));
        button->m_autoGroupIndex = other->m_autoGroupIndex = i;
        tess::CopyText(g.class_name, button->m_className);
        tess::CopyText(g.program, button->m_program);
        g.members[0] = wnd;
        g.members[1] = other->m_window;
        g.process_id = button->m_processId;
        g.count = 2;
        g.same_program = 1;
        g.same_class = lstrcmpiA(button->m_className, other->m_className) == 0;
        g.same_process = button->m_processId == other->m_processId;
        GetWindowProgramPath(wnd, g.program_path, nullptr);
        // Kept as the shell shows it; "&" is doubled when the title is made.
        SHFILEINFOA info = {};
        if (SHGetFileInfoA(g.program_path, 0, &info, sizeof(info), SHGFI_DISPLAYNAME) && info.szDisplayName[0])
            tess::CopyText(g.display_name, info.szDisplayName);
        else
            tess::CopyText(g.display_name, g.program);
        return &g;
    }
    return nullptr;
}

bool CVellumMenuSection_Taskbar::ApplyAutoGroups() {
    if (!m_xpGrouping) return false;
    bool changed = DissolveSingleAutoGroups();
    for (bool again = true; again;) {
        again = false;
        for (int i = 0; i < kMaxAutoGroups && !again; ++i) {
            AutoGroup& g = m_autoGroups[i];
            if (g.count <= 0 || g.button) continue;
            auto* button = new (std::nothrow) CVellumMenuItem_Taskbar(m_pBar, this);
            if (!button) return changed;
            button->m_console = lstrcmpA(g.class_name, "ConsoleWindowClass") == 0;
            button->IconSize = DefaultIconSize;
            button->SetAutoGroup(&g, kTaskNoCommand);
            CVellumMenuItem_Taskbar* first = nullptr;
            for (int k = 0; k < kMaxItems && m_items[k] && !first; ++k) {
                CVellumMenuItem_Taskbar* task = AsTask(m_items[k]);
                if (task && task->m_window && task->m_autoGroupIndex == i) first = task;
            }
            bool inserted = first ? InsertItem(first, button) : InsertItem(-1, button);
            if (!inserted) {
                delete button;
                return changed;
            }
            g.button = button;
            UpdateAutoGroupButton(i);
            for (int k = 0; k < kMaxItems && m_items[k];) {
                CVellumMenuItem_Taskbar* task = AsTask(m_items[k]);
                if (task && task->m_window && task->m_autoGroupIndex == i)
                    RemoveItem(task, 1);
                else
                    ++k;
            }
            changed = again = true;
        }
    }
    return changed;
}

void CVellumMenuSection_Taskbar::UpdateAutoGroupButton(int index) {
    if (index < 0 || index >= kMaxAutoGroups) return;
    AutoGroup& g = m_autoGroups[index];
    CVellumMenuItem_Taskbar* button = g.button;
    if (!button) return;
    char description[kAutoGroupDisplayNameSize];
    if (g.program_path[0] && FileDescription(g.program_path, description, sizeof(description)))
        tess::CopyText(g.display_name, description);

    button->ReplaceIcons();
    HICON icon = nullptr;
    if (g.members[0]) {
        icon = reinterpret_cast<HICON>(GetClassLongPtrA(g.members[0], g.same_class && g.same_process ? GCLP_HICONSM : GCLP_HICON));
    }
    if (icon) {
        button->m_icon1.Borrow(icon);
    } else if (g.program_path[0]) {
        SHFILEINFOA info = {};
        if (!SHGetFileInfoA(g.program_path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) || !info.hIcon)
            SHGetFileInfoA(g.program_path, 0, &info, sizeof(info), SHGFI_ICON);
        button->m_icon1.Own(tess::ScopedIcon(info.hIcon));
    }

    char head[24];
    int header_length = 0;
    SkinRecord* skin = m_pBar ? m_pBar->m_skin : nullptr;
    if (skin && skin->fonts[kSkinFontGroupHeader].font.get()) {
        tess::FormatText(head, sizeof(head), skin->TaskbarGroupForceParenthesis ? "(%d) " : "%d ", g.count);
        header_length = static_cast<int>(std::strlen(head));
    } else {
        tess::FormatText(head, sizeof(head), "(%d) ", g.count);
    }
    char title[sizeof(head) + 2 * kAutoGroupDisplayNameSize];
    tess::CopyText(title, head);
    char name[2 * kAutoGroupDisplayNameSize];
    tess::CopyText(name, g.display_name);
    DoubleAmpersands(name, sizeof(name));
    tess::AppendText(title, name);
    button->SetItemTitle(title, header_length);
}

bool CVellumMenuSection_Taskbar::RemoveFromAutoGroup(CVellumMenuItem_Taskbar* button, HWND wnd) {
    auto take_out = [wnd](AutoGroup& g) {
        for (int m = 0; m < g.count && m < kMaxAutoGroupMembers; ++m) {
            if (g.members[m] != wnd) continue;
            std::memmove(&g.members[m], &g.members[m + 1], (kMaxAutoGroupMembers - m - 1) * sizeof(HWND));
            g.members[kMaxAutoGroupMembers - 1] = nullptr;
            --g.count;
            return true;
        }
        return false;
    };
    if (button && button->m_autoGroupIndex >= 0 && button->m_autoGroupIndex < kMaxAutoGroups) {
        const int i = button->m_autoGroupIndex;
        if (!take_out(m_autoGroups[i])) return false;
        UpdateAutoGroupButton(i);
        return m_autoGroups[i].count <= 1 ? DissolveSingleAutoGroups() : false;
    }
    if (button) return false;
    for (int i = 0; i < kMaxAutoGroups; ++i) {
        if (!take_out(m_autoGroups[i])) continue;
        UpdateAutoGroupButton(i);
        return DissolveSingleAutoGroups();
    }
    return false;
}

bool CVellumMenuSection_Taskbar::DissolveSingleAutoGroups() {
    bool removed = false;
    for (int i = 0; i < kMaxAutoGroups; ++i) {
        if (m_autoGroups[i].count != 1) continue;
        removed = removed || m_autoGroups[i].button != nullptr;
        DissolveAutoGroup(i, 1);
    }
    return removed;
}

void CVellumMenuSection_Taskbar::DissolveAutoGroup(int index, int clear) {
    if (index < 0 || index >= kMaxAutoGroups) return;
    AutoGroup& g = m_autoGroups[index];
    std::vector<HWND> members(g.members, g.members + (g.count < kMaxAutoGroupMembers ? g.count : kMaxAutoGroupMembers));
    auto forget = [&] {
        for (int k = 0; k < kMaxItems && m_items[k]; ++k) {
            CVellumMenuItem_Taskbar* task = AsTask(m_items[k]);
            if (task && task->m_autoGroupIndex == index) task->m_autoGroupIndex = -1;
        }
    };
    if (!g.button) {
        if (!clear) return;
        g.count = 0;
        forget();
        for (HWND w : members) UpdateTaskWindow(w, 1, -1);
        return;
    }
    if (Animated()) MarkStartTransition();
    const int place = FindItem(g.button);
    RemoveItem(g.button, 1);   // its destructor clears the group's button
    g.button = nullptr;
    g_task_insert_cursor = place;
    if (clear) g.count = 0;
    forget();
    const int before = GetNumOfItems();
    for (HWND w : members) UpdateTaskWindow(w, 1, -1);
    const int inserted = GetNumOfItems() - before;
    if (Animated() && inserted != 1) {
        m_pBar->RecalcRects(0, 1);
        MarkEndTransition();
        StartTransition();
    } else {
        if (Animated()) EndTransition();
        if (m_pBar && !m_filling) m_pBar->RecalcRects(1, 1);
    }
    g_task_insert_cursor = -1;
}

void CVellumMenuSection_Taskbar::FlashAutoGroupOf(HWND wnd, int flash) {
    for (AutoGroup& g : m_autoGroups) {
        for (int m = 0; m < g.count && m < kMaxAutoGroupMembers; ++m) {
            if (g.members[m] != wnd) continue;
            if (g.button && flash != g.button->m_flash) {
                g.button->ApplyFlash(flash);
                g.button->RedrawItem();
            }
            return;
        }
    }
}

AutoGroup* CVellumMenuSection_Taskbar::SetGroupPopupSource(const AutoGroup* group) {
    if (group) {
        m_autoGroups[0] = *group;
        m_autoGroups[0].button = nullptr;
        m_groupPopupMode = 1;
    }
    return &m_autoGroups[0];
}

bool CVellumMenuSection_Taskbar::AcceptsInGroupPopup(HWND wnd, int group) {
    if (group < 0 || group >= kMaxAutoGroups) return false;
    const AutoGroup& g = m_autoGroups[group];
    if (!g.same_program) return true;
    char program[MAX_PATH] = "";
    GetWindowProgramPath(wnd, nullptr, program);
    return lstrcmpiA(program, g.program) == 0;
}
