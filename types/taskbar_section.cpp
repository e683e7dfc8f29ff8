// The taskbar section: construction from the bar file or new, its context
// menu entries, the grouping modes and its registration as "Taskbar".
#include "types/taskbar_section.h"

#include <cstring>
#include <new>

#include "model/vellum_menu_object.h"
#include "shell/theme_editor.h"
#include "types/type_registration.h"
#include "util/text.h"

namespace {

constexpr UINT kExtendedItemsPlaceholder = 40140;   // "ADD EXTENDED ITEMS HERE"
constexpr UINT kItemOptionsCommand = 40141;
constexpr int kNewSectionMaxItemWidth = 160;
constexpr int kSectionIconResource = 136;

enum TaskbarCommand {
    kCmdNoGrouping = 1001,
    kCmdAutoGrouping = 1002,
    kCmdUserGroups = 1003,
    kCmdEditFilters = 1004,
    kCmdAnimations = 1005,
};

CVellumMenuSection* MakeTaskbarSection(CVellumMenuObject* bar, int sectionNumber) {
    return new (std::nothrow) CVellumMenuSection_Taskbar(bar, sectionNumber);
}

const SectionClassRegistration kTaskbar("Taskbar", MakeTaskbarSection);

void InsertBefore(HMENU menu, UINT before, UINT flags, UINT id, const char* text) {
    InsertMenuA(menu, before, MF_BYCOMMAND | flags, id, text);
}

}  // namespace

CVellumMenuSection_Taskbar::CVellumMenuSection_Taskbar(CVellumMenuObject* bar, int sectionNumber)
    : CVellumMenuSection(bar, sectionNumber, 0) {
    std::memset(m_autoGroups, 0, reinterpret_cast<char*>(&m_dialogSlot + 1) -
                                     reinterpret_cast<char*>(m_autoGroups));
    m_dialogSlot = -1;
    m_enumFilter = -1;
    if (!bar) return;
    m_animations = bar->DisplayVertically ? 0 : 1;
    if (bar->m_loadingSections && bar->m_sectionReader)
        ReadFilters();
    else
        MaxItemWidth = kNewSectionMaxItemWidth;
    FillWithTaskWindows();
    m_valid = TRUE;
}

CVellumMenuSection_Taskbar::~CVellumMenuSection_Taskbar() {
    ClearFilterTable();
}

// ---- virtual operations -------------------------------------------------------------------

int CVellumMenuSection_Taskbar::InitSimpleContextMenu(HMENU menu) {
    InsertBefore(menu, kExtendedItemsPlaceholder, MF_SEPARATOR, 0, nullptr);
    InsertBefore(menu, kExtendedItemsPlaceholder, MF_STRING, kCmdNoGrouping, "Disable Taskbar Grouping");
    InsertBefore(menu, kExtendedItemsPlaceholder, MF_STRING, kCmdAutoGrouping,
                 "Use Automatic Taskbar Grouping (XP Style)");
    InsertBefore(menu, kExtendedItemsPlaceholder, MF_STRING, kCmdUserGroups, "Use User-Defined Taskbar Groups");
    CheckMenuRadioItem(menu, kCmdNoGrouping, kCmdUserGroups, GroupingModeCommand(), MF_BYCOMMAND);
    return 1;
}

void CVellumMenuSection_Taskbar::InitCustomContextMenu(HMENU barMenu, HMENU) {
    InsertBefore(barMenu, kExtendedItemsPlaceholder, MF_STRING, kCmdNoGrouping, "Disable Grouping");
    InsertBefore(barMenu, kExtendedItemsPlaceholder, MF_STRING, kCmdAutoGrouping,
                 "Use Automatic Grouping (XP Style)");
    InsertBefore(barMenu, kExtendedItemsPlaceholder, MF_STRING, kCmdUserGroups, "Use User-Defined Groups");
    CheckMenuRadioItem(barMenu, kCmdNoGrouping, kCmdUserGroups, GroupingModeCommand(), MF_BYCOMMAND);
    InsertBefore(barMenu, kExtendedItemsPlaceholder, MF_SEPARATOR, 0, nullptr);
    const bool filters_only = m_groupingDisabled || m_xpGrouping;
    InsertBefore(barMenu, kExtendedItemsPlaceholder, MF_STRING, kCmdEditFilters,
                 filters_only ? "Add/Remove Filters..." : "Add/Remove Groups/Filters...");
    InsertBefore(barMenu, kExtendedItemsPlaceholder, MF_STRING | (m_animations ? MF_CHECKED : 0u),
                 kCmdAnimations, "Animation Effects Enabled");
    InsertBefore(barMenu, kExtendedItemsPlaceholder, MF_SEPARATOR, 0, nullptr);
    DeleteMenu(barMenu, kItemOptionsCommand, MF_BYCOMMAND);
}

void CVellumMenuSection_Taskbar::UnInitCustomContextMenu(HMENU, HMENU) {}

int CVellumMenuSection_Taskbar::DoCustomContextMenuCommand(int id) {
    switch (id) {
    case kCmdNoGrouping:
        DisableAutoGrouping();
        DisableUserGroups();
        break;
    case kCmdAutoGrouping:
        DisableUserGroups();
        EnableAutoGrouping();
        break;
    case kCmdUserGroups:
        DisableAutoGrouping();
        EnableUserGroups();
        break;
    case kCmdEditFilters:
        SelectInThemeEditor(this, 2);
        return 1;
    case kCmdAnimations:
        m_animations = !m_animations;
        break;
    default:
        return 0;
    }
    if (m_pBar) m_pBar->SetModifiedSilent();
    return 1;
}

int CVellumMenuSection_Taskbar::GetCustomSectionName(char* out) {
    if (out) tess::CopyText(out, 8, "Taskbar");
    return 1;
}

int CVellumMenuSection_Taskbar::AllowDrop() { return 1; }
int CVellumMenuSection_Taskbar::IsLockedSection() { return 1; }
int CVellumMenuSection_Taskbar::AllowEnumItems() { return 0; }
CVellumMenuItem* CVellumMenuSection_Taskbar::GUI_CustomEnumItems(int) { return nullptr; }

HICON CVellumMenuSection_Taskbar::GetCustomIcon() {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kSectionIconResource),
                                         IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuSection_Taskbar::GroupingModeCommand() const {
    if (m_xpGrouping) return kCmdAutoGrouping;
    return m_groupingDisabled ? kCmdNoGrouping : kCmdUserGroups;
}
