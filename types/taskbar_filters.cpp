// The taskbar section's filters: the slot table, matching a window against
// a slot, classifying a window, and the filter keys of the bar file.
#include "types/taskbar_section.h"

#include <cctype>
#include <cstring>

#include "model/bar_file.h"
#include "model/vellum_menu_object.h"
#include "skins/ini_section_reader.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr int kMatchTextSize = 1000;
constexpr int kWindowTextSize = 1500;

char* HeapCopy(const char* text) {
    if (!text) text = "";
    size_t n = std::strlen(text) + 1;
    char* copy = new char[n];
    std::memcpy(copy, text, n);
    return copy;
}

void LowerInPlace(char* text) {
    for (; *text; ++text) *text = static_cast<char>(std::tolower(static_cast<unsigned char>(*text)));
}

int ClampMinimum(int minimum) {
    if (minimum <= 0) return 1;
    return minimum > 9 ? 9 : minimum;
}

}  // namespace

bool IsTaskWindow(HWND wnd) {
    if (!IsWindow(wnd) || !IsWindowVisible(wnd)) return false;
    LONG_PTR ex = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    if (ex & WS_EX_APPWINDOW) return true;
    return !(ex & WS_EX_TOOLWINDOW) && !GetParent(wnd) && !GetWindow(wnd, GW_OWNER);
}

bool IsGroupWindow(HWND wnd) {
    if (!IsWindow(wnd) || !IsWindowVisible(wnd)) return false;
    LONG_PTR ex = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    if (ex & WS_EX_TOOLWINDOW) return false;
    return (ex & WS_EX_APPWINDOW) || (!GetParent(wnd) && !GetWindow(wnd, GW_OWNER));
}

// ---- the slot table -----------------------------------------------------------------------

int CVellumMenuSection_Taskbar::AddFilter(const char* text, int flags, const char* groupTitle,
                                          const char* groupIcon, int minimum) {
    if (!text || !*text || !flags) return -1;
    for (int slot = 0; slot < kMaxTaskbarFilters; ++slot) {
        if (m_flags[slot]) continue;
        m_matchTexts[slot] = HeapCopy(text);
        m_flags[slot] = flags;
        if (flags & kFilterGroup) {
            m_groupTitles[slot] = HeapCopy(groupTitle);
            m_groupIcons[slot] = HeapCopy(groupIcon);
            m_minimums[slot] = ClampMinimum(minimum);
        }
        ++m_filterCount;
        return slot;
    }
    return -1;
}

int CVellumMenuSection_Taskbar::RemoveFilter(int slot) {
    if (slot < 0) {
        for (int i = 0; i < kMaxTaskbarFilters; ++i)
            if (m_flags[i]) RemoveFilter(i);
        return 1;
    }
    if (slot >= kMaxTaskbarFilters || !m_flags[slot]) return 0;
    delete[] m_matchTexts[slot];
    delete[] m_groupTitles[slot];
    delete[] m_groupIcons[slot];
    m_matchTexts[slot] = m_groupTitles[slot] = m_groupIcons[slot] = nullptr;
    m_flags[slot] = 0;
    m_minimums[slot] = 0;
    --m_filterCount;
    return 1;
}

int CVellumMenuSection_Taskbar::RemoveFilterByText(const char* text) {
    if (!text) return 0;
    for (int slot = 0; slot < kMaxTaskbarFilters; ++slot)
        if (m_flags[slot] && m_matchTexts[slot] && lstrcmpiA(m_matchTexts[slot], text) == 0)
            return RemoveFilter(slot);
    return 0;
}

void CVellumMenuSection_Taskbar::ClearFilterTable() {
    RemoveFilter(-1);
    std::memset(m_groupButtons, 0, sizeof(m_groupButtons));
    m_filterCount = 0;
    m_dialogSlot = -1;
    m_enumFilter = -1;
}

// ---- matching --------------------------------------------------------------------------------

bool CVellumMenuSection_Taskbar::MatchFilter(int slot, HWND wnd) {
    if (slot < 0 || slot >= kMaxTaskbarFilters || !m_flags[slot] || !m_matchTexts[slot]) return false;
    char text[kWindowTextSize] = "";
    if (m_flags[slot] & kFilterMatchClass) {
        GetClassNameA(wnd, text, sizeof(text));
        return lstrcmpiA(text, m_matchTexts[slot]) == 0;
    }
    GetWindowTextA(wnd, text, sizeof(text));
    char part[kMatchTextSize];
    tess::CopyText(part, m_matchTexts[slot]);
    LowerInPlace(text);
    LowerInPlace(part);
    return std::strstr(text, part) != nullptr;
}

int CVellumMenuSection_Taskbar::ClassifyWindow(HWND wnd, int* slotOut) {
    int dummy;
    int& out = slotOut ? *slotOut : dummy;
    out = -1;
    if (!IsWindow(wnd)) return kTaskShown;
    enum { kUnmarked, kWanted, kUnwanted } mark = kUnmarked;
    int visited = 0;
    for (int slot = 0; slot < kMaxTaskbarFilters && visited < m_filterCount; ++slot) {
        int flags = m_flags[slot];
        if (!flags) continue;
        ++visited;
        bool match = MatchFilter(slot, wnd);
        if (match && (flags & kFilterGroup)) {
            out = slot;
            return m_groupButtons[slot] ? kTaskInGroup : kTaskInNewGroup;
        }
        if (match && (flags & kFilterHide)) {
            out = slot;
            return kTaskHidden;
        }
        if (flags & kFilterOnlyDisplay) {
            if (match) {
                mark = kWanted;
            } else {
                out = slot;
                if (mark == kUnmarked) mark = kUnwanted;
            }
        }
    }
    return mark == kUnwanted ? kTaskHidden : kTaskShown;
}

// ---- the bar file ----------------------------------------------------------------------------

void CVellumMenuSection_Taskbar::ReadFilters() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    for (int n = 1; n <= kMaxTaskbarFilters; ++n) {
        auto key = [n](const char* name, char* out, size_t size) {
            tess::FormatText(out, size, "Taskbar.Filter%d.%s", n, name);
        };
        char name[80];
        char title[kMatchTextSize] = "", icon[MAX_PATH] = "", text[kMatchTextSize] = "";
        key("IsGroup", name, sizeof(name));
        const bool group = reader->GetInt(name, 0) != 0;
        int flags = 0;
        if (group) {
            key("GroupTitle", name, sizeof(name));
            reader->GetString(name, title, "");
            key("GroupIcon", name, sizeof(name));
            char stored[MAX_PATH] = "";
            reader->GetString(name, stored, "");
            if (lstrcmpiA(stored, kUseApplicationIcon) == 0)
                tess::CopyText(icon, stored);
            else if (stored[0])
                m_pBar->MakePathAbsolute(stored, icon, nullptr);
            flags = kFilterGroup;
        } else {
            key("IsAntiFilter", name, sizeof(name));
            flags = reader->GetInt(name, 0) ? kFilterOnlyDisplay : kFilterHide;
        }
        key("MinForGroup", name, sizeof(name));
        const int minimum = reader->GetInt(name, 2);
        key("WindowTitle", name, sizeof(name));
        reader->GetString(name, text, "");
        if (text[0]) {
            flags |= kFilterMatchTitle;
        } else {
            key("ClassName", name, sizeof(name));
            reader->GetString(name, text, "");
            if (!text[0]) break;   // the first gap ends the list
            flags |= kFilterMatchClass;
        }
        AddFilter(text, flags, title, icon, minimum);
    }
    m_groupingDisabled = reader->GetInt("Taskbar.GroupingDisabled", 0) ? 1 : 0;
    m_xpGrouping = reader->GetInt("Taskbar.XPGroupingEnabled", 0) ? 1 : 0;
    m_animations = reader->GetInt("Taskbar.AnimationsEnabled", 0) ? 1 : 0;
}

int CVellumMenuSection_Taskbar::SaveExternal() {
    if (!m_pBar) return 1;
    const char* file = m_pBar->m_barFile;
    const char* section = m_iniSectionName;
    tess::WriteProfileString(section, "Properties.Type", "Taskbar", file);
    WriteIntSetting(m_groupingDisabled, section, "Taskbar.GroupingDisabled", file);
    WriteIntSetting(m_xpGrouping, section, "Taskbar.XPGroupingEnabled", file);
    WriteIntSetting(m_animations, section, "Taskbar.AnimationsEnabled", file);
    int n = 0;
    for (int slot = 0; slot < kMaxTaskbarFilters; ++slot) {
        const int flags = m_flags[slot];
        if (!flags || !m_matchTexts[slot] || !m_matchTexts[slot][0]) continue;
        ++n;
        auto key = [n](const char* name, char* out, size_t size) {
            tess::FormatText(out, size, "Taskbar.Filter%d.%s", n, name);
        };
        char name[80];
        if (flags & kFilterGroup) {
            key("IsGroup", name, sizeof(name));
            WriteIntSetting(1, section, name, file);
            if (m_groupTitles[slot] && m_groupTitles[slot][0]) {
                key("GroupTitle", name, sizeof(name));
                tess::WriteProfileString(section, name, m_groupTitles[slot], file);
            }
            if (m_groupIcons[slot] && m_groupIcons[slot][0]) {
                char stored[MAX_PATH] = "";
                if (lstrcmpiA(m_groupIcons[slot], kUseApplicationIcon) == 0)
                    tess::CopyText(stored, m_groupIcons[slot]);
                else
                    m_pBar->MakePathRelative(m_groupIcons[slot], stored, nullptr);
                key("GroupIcon", name, sizeof(name));
                tess::WriteProfileString(section, name, stored, file);
            }
            key("MinForGroup", name, sizeof(name));
            WriteIntSetting(m_minimums[slot], section, name, file);
        } else if (flags & kFilterOnlyDisplay) {
            key("IsAntiFilter", name, sizeof(name));
            WriteIntSetting(1, section, name, file);
        }
        key(flags & kFilterMatchClass ? "ClassName" : "WindowTitle", name, sizeof(name));
        tess::WriteProfileString(section, name, m_matchTexts[slot], file);
    }
    return 1;
}
