// CVellumMenuSection_Replaceable in plain and mirroring mode: the factory's
// "Default" and "Replacable" sections, switching mirroring, following the
// stats monitor's capture of the active window's menu, and the slots that
// differ while mirroring.
#include <cstring>
#include <new>

#include "model/bar_file.h"
#include "model/registered_names.h"
#include "model/section_factory.h"
#include "model/vellum_menu_object.h"
#include "shell/stats_monitor.h"
#include "types/replaceable.h"
#include "types/type_registration.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr UINT kOwnerTimeoutMs = 2000;

struct MirrorMessages {
    UINT IsPresent;     // "Replacable - IS present"
    UINT AltPressed;    // "Replacable - Alt Pressed in Window"
    UINT StatsUpdated;  // "Stats Updated"
};

const MirrorMessages& Messages() {
    using N = RegisteredName;
    static const RegisteredNameSlot<MirrorMessages> kSlots[] = {
        {&MirrorMessages::IsPresent, N::ReplaceableIsPresent},
        {&MirrorMessages::AltPressed, N::ReplaceableAltPressed},
        {&MirrorMessages::StatsUpdated, N::StatsUpdated},
    };
    static const MirrorMessages messages = RegisterNames(kSlots);
    return messages;
}

const SectionClassRegistration kReplaceableRegistration("Replacable", MakeReplaceableSection);
const DefaultSectionClassRegistration kDefaultRegistration(MakeDefaultSection);

CStatsMonitor* MonitorOf(CVellumMenuObject* bar) {
    if (bar && bar->m_statsMonitor) return bar->m_statsMonitor;
    return GetStatsMonitor();
}

}  // namespace

CVellumMenuSection* MakeDefaultSection(CVellumMenuObject* bar, int sectionNumber) {
    return new (std::nothrow) CVellumMenuSection_Replaceable(bar, sectionNumber, 1, 1);
}

CVellumMenuSection* MakeReplaceableSection(CVellumMenuObject* bar, int sectionNumber) {
    return new (std::nothrow) CVellumMenuSection_Replaceable(bar, sectionNumber, 1, 0);
}

// ---- switching and following the capture ------------------------------------------------------

void CVellumMenuSection_Replaceable::SetReplaceable(int on) {
    const BOOL value = on ? TRUE : FALSE;
    if (value == m_replaceable) return;
    Messages();
    if (!value) {
        RemoveAppMenuWatcher();
        if (m_mirroring) EndMirroring();
        m_replaceable = FALSE;
        return;
    }
    m_replaceable = TRUE;
    if (AddAppMenuWatcher() != 1 || !m_pBar || !m_pBar->m_statsMonitor) return;
    // The first watcher: the monitor reads the menu at once, so that a
    // "Stats Updated" with the current menu follows.
    CStatsMonitor* monitor = m_pBar->m_statsMonitor;
    monitor->m_menu = nullptr;
    monitor->m_foreground = nullptr;
    monitor->m_menuItemCount = 0;
    monitor->UpdateStats();
}

int CVellumMenuSection_Replaceable::BeginMirroring() {
    if (m_menuOnly || m_mirroring) return BuildMirroredItems();
    if (!m_replaceable) return 0;
    const int count = GetNumOfItems();
    CVellumMenuItem** own = new (std::nothrow) CVellumMenuItem*[count + 1];
    if (!own) return 0;
    for (int i = 0; i < count; ++i) {
        own[i] = m_items[i];
        m_items[i] = nullptr;
    }
    own[count] = nullptr;
    delete[] m_ownItems;
    m_ownItems = own;
    m_ownItemCount = count;
    m_mirroring = TRUE;
    BuildMirroredItems();
    return 1;
}

int CVellumMenuSection_Replaceable::EndMirroring() {
    if (m_menuOnly || !m_mirroring) return 0;
    RemoveItem(-1, 1);
    for (int i = 0; i < m_ownItemCount && i < kMaxItems; ++i) m_items[i] = m_ownItems[i];
    delete[] m_ownItems;
    m_ownItems = nullptr;
    m_ownItemCount = 0;
    m_mirroring = FALSE;
    return 1;
}

int CVellumMenuSection_Replaceable::OnStatsUpdated() {
    CVellumMenuObject* bar = m_pBar;
    if (!m_replaceable || !bar || m_menuOnly || m_busy) return 0;
    if (bar->m_tracking.pressed_item || bar->m_tracking.ignore_next_release) return 0;
    CStatsMonitor* monitor = MonitorOf(bar);
    if (!monitor) return 0;
    m_busy = TRUE;
    HMENU menu = monitor->m_menu;
    const int count = monitor->m_menuItemCount;
    HWND owner = monitor->m_foreground;
    int changed = 0;
    if (!menu || !owner) {
        changed = EndMirroring();
    } else if (!m_mirroring) {
        m_menu = menu;
        m_entryCount = count;
        m_owner = owner;
        changed = BeginMirroring();
    } else if (menu != m_menu || count != m_entryCount || owner != m_owner) {
        m_menu = menu;
        m_entryCount = count;
        m_owner = owner;
        changed = BuildMirroredItems();
    }
    if (changed) {
        bar->UpdatePos();
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }
    m_busy = FALSE;
    return changed;
}

// ---- the slots ------------------------------------------------------------------------------------

int CVellumMenuSection_Replaceable::GetCustomSectionName(char* out) {
    if (!m_replaceable) return CVellumMenuSection::GetCustomSectionName(out);
    if (!out) return 0;
    tess::CopyText(out, 19, "Replacable Section");
    return 1;
}

int CVellumMenuSection_Replaceable::AllowEnumItems() {
    if (!m_replaceable) return CVellumMenuSection::AllowEnumItems();
    return m_mirroring ? 0 : 1;
}

CVellumMenuItem* CVellumMenuSection_Replaceable::GUI_CustomEnumItems(int index) {
    if (!m_replaceable || !m_mirroring) return CVellumMenuSection::GUI_CustomEnumItems(index);
    return index >= 0 && index < m_ownItemCount ? m_ownItems[index] : nullptr;
}

int CVellumMenuSection_Replaceable::SaveExternal() {
    if (!m_replaceable) return CVellumMenuSection::SaveExternal();
    if (!m_pBar) return 1;
    tess::WriteProfileString(m_iniSectionName, "Properties.Type", "Replacable", m_pBar->m_barFile);
    // Mirrored entries are never saved; the own items are, put aside or not.
    CVellumMenuItem** own = m_mirroring ? m_ownItems : m_items;
    const int count = m_mirroring ? m_ownItemCount : GetNumOfItems();
    for (int i = 0; i < count && own; ++i)
        if (own[i]) own[i]->Save(i + 1);
    return 1;
}

void CVellumMenuSection_Replaceable::ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp) {
    CVellumMenuItem* pressed = m_pBar ? m_pBar->m_tracking.last_pressed_item : nullptr;
    if (!m_replaceable || !m_mirroring || !pressed || FindItem(pressed) < 0) {
        CVellumMenuSection::ProcessMenuMessage(msg, wp, lp);
        return;
    }
    if (!m_owner || m_owner == m_pBar->m_hWnd) return;
    // An application's commands stay WM_COMMAND; only a system menu's are
    // WM_SYSCOMMAND. The owner gets a bounded time to answer.
    const UINT sent = msg == WM_COMMAND && m_systemCommands ? WM_SYSCOMMAND : msg;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(m_owner, sent, wp, lp, 0, kOwnerTimeoutMs, &ignored);
}

void CVellumMenuSection_Replaceable::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const MirrorMessages& m = Messages();
    if (m_replaceable) {
        if (msg == m.IsPresent && m_mirroring && IsWindow(reinterpret_cast<HWND>(wp))) {
            HWND asker = reinterpret_cast<HWND>(wp);
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(asker, m.IsPresent, 0, 0, 0, kOwnerTimeoutMs, &ignored);
            if (m_pBar) SetPropA(asker, "hwndSetToForeground", m_pBar->m_hWnd);
        } else if (msg == m.AltPressed && m_mirroring && m_items[0] &&
                   !(m_owner && GetPropA(m_owner, "MicrosoftMenu-"))) {
            m_items[0]->TrackPopupMenu(0);
        } else if (msg == m.StatsUpdated && lp) {
            OnStatsUpdated();
        }
    }
    CVellumMenuSection::ProcessUserMessage(msg, wp, lp);
}
