// CVellumMenuSection_Folder: construction, the keys of the bar file, the
// slots of the section, its registered messages, refresh and the change of
// folder; and the facts and popups the shortcut items ask for.
#include "types/folder_section.h"

#include <cstring>
#include <new>

#include "model/bar_file.h"
#include "model/menu_header_text.h"
#include "model/registered_names.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "skins/ini_section_reader.h"
#include "types/folder_section_calls.h"
#include "types/popup_item.h"
#include "types/shortcut_item.h"
#include "types/type_registration.h"
#include "util/icon_menu.h"
#include "util/item_id_list.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr UINT kBeforeExtendedItems = 40140;

const SectionClassRegistration kFolderRegistration("Folder", MakeFolderSection);

void InsertBefore(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    if (!menu) return;
    if (!InsertMenuA(menu, kBeforeExtendedItems, MF_BYCOMMAND | flags, id, text))
        AppendMenuA(menu, flags, id, text);
}

// The folders a shown menu stands for, with references of their own.
struct RememberedFolders {
    IShellFolder* primary = nullptr;
    LPITEMIDLIST primaryList = nullptr;
    IShellFolder* secondary = nullptr;
    LPITEMIDLIST secondaryList = nullptr;

    void Take(IShellFolder* folder, LPCITEMIDLIST list, bool first) {
        if (!folder) return;
        folder->AddRef();
        (first ? primary : secondary) = folder;
        (first ? primaryList : secondaryList) = list ? ClonePidl(list) : nullptr;
    }
    ~RememberedFolders() {
        if (primary) primary->Release();
        if (secondary) secondary->Release();
        FreePidl(primaryList);
        FreePidl(secondaryList);
    }
};

}  // namespace

const char* const kFolderSpecialNames[] = {
    "Programs", "Desktop", "QuickLaunch", "MyDocuments", "ControlPanel", "MyComputer",
    "Drives", "Favorites", "History", "Network", "Network Connections", "Recycle Bin",
    "Recent", "SendTo", "StartMenu", "Startup", "Templates", "DesktopFolder", "MyPictures",
    "Fonts", "Printers",
};
const int kFolderSpecialNameCount = sizeof(kFolderSpecialNames) / sizeof(kFolderSpecialNames[0]);

const FolderSectionMessages& GetFolderSectionMessages() {
    using N = RegisteredName;
    static const RegisteredNameSlot<FolderSectionMessages> kSlots[] = {
        {&FolderSectionMessages::ResetSorting, N::FolderResetSorting},
        {&FolderSectionMessages::UpdateSorting, N::FolderUpdateSorting},
        {&FolderSectionMessages::GetWriteOrderLen, N::FolderGetWriteOrderLen},
        {&FolderSectionMessages::WriteOrderData, N::FolderWriteOrderData},
        {&FolderSectionMessages::FullRefresh, N::FolderFullRefresh},
        {&FolderSectionMessages::BlockCopies, N::FolderMFUBlockCopies},
        {&FolderSectionMessages::ExpandDelay, N::ExpandPersonalizedDelay},
        {&FolderSectionMessages::UpdatePersonalized, N::UpdatePersonalizedData},
        {&FolderSectionMessages::RecentProgsUpdated, N::FolderRecentProgsUpdated},
        {&FolderSectionMessages::PinnedAppsUpdated, N::FolderPinnedAppsUpdated},
    };
    static const FolderSectionMessages messages = RegisterNames(kSlots);
    return messages;
}

// ---- what the shortcut items ask ---------------------------------------------------------

bool GetFolderSectionFacts(CVellumMenuSection* section, FolderSectionFacts* facts) {
    auto* folder = dynamic_cast<CVellumMenuSection_Folder*>(section);
    if (!folder) return false;
    if (!facts) return true;
    facts->usesRecentList = folder->UseRecentList;
    facts->usesPinnedList = folder->UsePinnedList;
    facts->personalized = folder->m_personalized;
    facts->expanded = folder->m_expanded;
    facts->volatilePopup = folder->PopupVolitle;
    facts->shellMenu = folder->m_shellMenu;
    tess::CopyText(facts->alternateSkin, folder->PopupUseAlternateSkin);
    return true;
}

CVellumMenuSection* CreateFolderPopupSection(CVellumMenuObject* child, CShellFolderMenu* menu,
                                             HMENU submenu, int personalized) {
    if (!child || !menu || !submenu) return nullptr;
    // Only the folder's own top menu is the top-level popup of "Programs".
    const int top_level = personalized && submenu == menu->GetMenu();
    return new (std::nothrow) CVellumMenuSection_Folder(child, -1, menu, submenu, personalized, top_level);
}

CVellumMenuSection* MakeFolderSection(CVellumMenuObject* bar, int sectionNumber) {
    return new (std::nothrow) CVellumMenuSection_Folder(bar, sectionNumber);
}

// ---- construction ------------------------------------------------------------------------------

void CVellumMenuSection_Folder::InitFolderFields() {
    m_personalized = m_expanded = m_topLevelPrograms = m_quickLaunch = FALSE;
    HideLinkOverlays = UsePinnedList = UseRecentList = FALSE;
    RecentItemsToList = -1;
    m_lastSize = SIZE{0, 0};
    m_popupIconSize = 16;
    m_popupText = 1;
    PopupVolitle = TRUE;
    PopupUseAlternateSkin[0] = Folder[0] = '\0';
    m_shellMenu = nullptr;
    m_submenu = nullptr;
    m_entryIconSize = 0;
    GetFolderSectionMessages();
}

// Entries are never the file's: item keys in the section are not read (a
// save would drop the shortcut items among them, so what was shown would
// change with the next load).
CVellumMenuSection_Folder::CVellumMenuSection_Folder(CVellumMenuObject* bar, int sectionNumber)
    : CVellumMenuSection(bar, sectionNumber, 0) {
    InitFolderFields();
    if (!bar) return;
    if (bar->m_loadingSections && bar->m_sectionReader) ReadFolderKeys();
    MakeShellMenu();
    FillFolderItems();
    m_valid = TRUE;
}

CVellumMenuSection_Folder::CVellumMenuSection_Folder(CVellumMenuObject* bar, int sectionNumber,
                                                     CShellFolderMenu* menu, HMENU submenu,
                                                     int personalized, int topLevelPrograms)
    : CVellumMenuSection(bar, sectionNumber, 0) {
    InitFolderFields();
    PopupVolitle = FALSE;
    m_personalized = personalized ? TRUE : FALSE;
    m_topLevelPrograms = topLevelPrograms ? TRUE : FALSE;
    if (menu) {
        menu->AddRef();
        m_shellMenu = menu;
    }
    m_submenu = submenu;
    if (m_topLevelPrograms) InvalidateSmartMenusCutoff();
    if (m_personalized) m_expanded = GetSmartMenusExpanded() ? TRUE : FALSE;
    if (bar) FillFolderItems();
    m_valid = TRUE;
}

CVellumMenuSection_Folder::~CVellumMenuSection_Folder() {
    SaveMenuOrder();
    // The entries hold the shell menu's records: they go before the menu.
    RemoveItem(-1, 1);
    ReleaseShellMenu();
}

void CVellumMenuSection_Folder::ReadFolderKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    PopupVolitle = reader->GetBool("Popup.Volitle", 1);
    reader->GetString("Popup.UseAlternateSkin", PopupUseAlternateSkin, sizeof(PopupUseAlternateSkin), "");
    reader->GetString("Folder", Folder, sizeof(Folder), "");
    m_quickLaunch = lstrcmpiA(Folder, "QuickLaunch") == 0;
    // Files written by older saves carry the flag under the section's name.
    char key[kSectionNameSize];
    if (reader->FindPair("Folder.PopupText", false)) {
        m_popupText = reader->GetInt("Folder.PopupText", 16);
    } else {
        BuildString(key, const_cast<char*>("Folder.PopupText"));
        m_popupText = reader->GetInt(key, 16);
    }
    BuildString(key, const_cast<char*>("Folder.HideLinkOverlays"));
    HideLinkOverlays = reader->GetBool(key, 0);
    UsePinnedList = reader->GetBool("Folder.UsePinnedList", 0);
    UseRecentList = reader->GetBool("Folder.UseRecentList", 0);
    RecentItemsToList = reader->GetInt("Folder.RecentItemsToList", -1);
}

void CVellumMenuSection_Folder::MakeShellMenu() {
    ReleaseShellMenu();
    auto* menu = new (std::nothrow) CShellFolderMenu(1);
    if (!menu) return;
    menu->Reset();
    if (Folder[0] && menu->SetFolder(Folder)) menu->Fill();
    m_shellMenu = menu;
    m_submenu = menu->GetMenu();
}

void CVellumMenuSection_Folder::ReleaseShellMenu() {
    if (m_shellMenu) m_shellMenu->Release();
    m_shellMenu = nullptr;
    m_submenu = nullptr;
}

void CVellumMenuSection_Folder::ResetSource(bool makeShellMenu) {
    SaveMenuOrder();
    RemoveItem(-1, 1);
    ReleaseShellMenu();
    if (makeShellMenu) {
        m_quickLaunch = lstrcmpiA(Folder, "QuickLaunch") == 0;
        MakeShellMenu();
    }
}

// ---- the slots ------------------------------------------------------------------------------------

int CVellumMenuSection_Folder::InitSimpleContextMenu(HMENU menu) {
    char name[kFolderTextSize];
    GetMenuOrderValueName(name);
    InsertBefore(menu, MF_SEPARATOR, 0, nullptr);
    if (name[0]) InsertBefore(menu, MF_STRING, kFolderRefreshCommand, "Refresh Folder");
    if (!UseRecentList && !UsePinnedList)
        InsertBefore(menu, MF_STRING, kFolderSortByNameCommand, "Sort Folder by Name");
    return 1;
}

int CVellumMenuSection_Folder::DoCustomContextMenuCommand(int id) {
    if (id == kFolderRefreshCommand) {
        if (m_pBar && m_pBar->m_hWnd)
            PostMessageA(m_pBar->m_hWnd, GetFolderSectionMessages().FullRefresh,
                         reinterpret_cast<WPARAM>(this), 0);
        return 1;
    }
    if (id == kFolderSortByNameCommand) {
        SortFolderByName();
        return 1;
    }
    return 0;
}

void CVellumMenuSection_Folder::InitCustomContextMenu(HMENU barMenu, HMENU sectionMenu) {
    HMENU menu = sectionMenu ? sectionMenu : barMenu;
    char name[kFolderTextSize];
    GetMenuOrderValueName(name);
    if (name[0]) InsertBefore(menu, MF_STRING, kFolderRefreshCommand, "Refresh");
    if (!UseRecentList) InsertBefore(menu, MF_STRING, kFolderSortByNameCommand, "Sort by Name");
    InsertBefore(menu, MF_SEPARATOR, 0, nullptr);
    char header[kSectionTitleSize + 16];
    tess::FormatText(header, sizeof(header), "Folder: %s", Title);
    SetSectionMenuHeaderText(header, 0);
}

void CVellumMenuSection_Folder::UnInitCustomContextMenu(HMENU, HMENU) {}

int CVellumMenuSection_Folder::GetCustomSectionName(char* out) {
    if (!out) return 0;
    tess::CopyText(out, 7, "Folder");
    return 1;
}

int CVellumMenuSection_Folder::AllowDrop() { return UseRecentList ? 0 : 1; }
int CVellumMenuSection_Folder::IsLockedSection() { return UseRecentList || UsePinnedList ? 0 : 1; }
int CVellumMenuSection_Folder::AllowEnumItems() { return 0; }
CVellumMenuItem* CVellumMenuSection_Folder::GUI_CustomEnumItems(int) { return nullptr; }

HICON CVellumMenuSection_Folder::GetCustomIcon() {
    if (!m_pBar) return nullptr;
    return static_cast<HICON>(LoadImageA(m_pBar->m_hModule, MAKEINTRESOURCEA(kFolderSectionIconId),
                                         IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuSection_Folder::SaveExternal() {
    if (!m_pBar) return 1;
    const char* file = m_pBar->m_barFile;
    const char* name = m_iniSectionName;
    auto write_int = [&](const char* key, int value) { WriteIntSetting(value, name, key, file); };
    auto write_text = [&](const char* key, const char* value) {
        tess::WriteProfileString(name, key, value, file);
    };
    write_text("Properties.Type", "Folder");
    write_int("Properties.SwapHorzArrowStyle", SwapHorzArrowStyle);
    if (UsePinnedList) {
        write_int("Folder.UsePinnedList", 1);
    } else if (UseRecentList) {
        write_int("Folder.UseRecentList", 1);
        write_int("Folder.RecentItemsToList", RecentItemsToList);
    } else if (m_quickLaunch) {
        write_text("Folder", "QuickLaunch");
    } else if (Folder[0]) {
        write_text("Folder", Folder);
    } else {
        char path[MAX_PATH] = "";
        if (m_shellMenu && m_shellMenu->GetPrimaryList()) SHGetPathFromIDListA(m_shellMenu->GetPrimaryList(), path);
        write_text("Folder", path);
    }
    // The key the constructor reads (older saves wrote it under the section's name).
    if (!m_popupText) write_int("Folder.PopupText", 0);
    if (PopupUseAlternateSkin[0]) write_text("Popup.UseAlternateSkin", PopupUseAlternateSkin);
    if (HideLinkOverlays) {
        char key[kSectionNameSize];
        BuildString(key, const_cast<char*>("Folder.HideLinkOverlays"));
        write_int(key, 1);
    }
    write_int("Popup.Volitle", PopupVolitle);
    int n = 0;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i)
        if (!dynamic_cast<CVellumMenuItem_Shortcut*>(m_items[i])) m_items[i]->Save(++n);
    return 1;
}

int CVellumMenuSection_Folder::UpdateSectionItemDefs() {
    int result = CVellumMenuSection::UpdateSectionItemDefs();
    if (IsAutoSizedRecentList()) {
        RefillAutoSized();
        RedrawSection();
    }
    return result;
}

SIZE CVellumMenuSection_Folder::CalcMinMaxSize(int minimum) {
    if (!minimum || !IsAutoSizedRecentList() || (MinItems >= 0 && MinItems <= 1))
        return CVellumMenuSection::CalcMinMaxSize(minimum);
    const int kept = MinItems;
    MinItems = 1;
    SIZE size = CVellumMenuSection::CalcMinMaxSize(minimum);
    MinItems = kept;
    return size;
}

// ---- messages ------------------------------------------------------------------------------------------

void CVellumMenuSection_Folder::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const FolderSectionMessages& m = GetFolderSectionMessages();
    const bool mine = wp == reinterpret_cast<WPARAM>(this);
    // Texts and counters by pointer are the section's own business: it hands
    // them to its entries itself, never through a window message.
    if (msg == m.BlockCopies || msg == m.UpdateSorting || msg == m.GetWriteOrderLen ||
        msg == m.WriteOrderData)
        return;
    if (msg == m.ExpandDelay && mine) {
        ExpandPersonalizedMenu();
    } else if ((msg == m.RecentProgsUpdated && (UsePinnedList || UseRecentList)) ||
               (msg == m.PinnedAppsUpdated && UsePinnedList && !UseRecentList)) {
        FillFolderItems();
        RecalcRectsFlexible();
        RedrawSection();
    } else if (msg == m.FullRefresh && mine) {
        RefreshFolder();
        return;   // the entries that would hear it are new
    }
    CVellumMenuSection::ProcessUserMessage(msg, wp, lp);
}

void CVellumMenuSection_Folder::RefreshFolder() {
    RememberedFolders shown;
    if (m_shellMenu) {
        if (m_submenu && m_submenu != m_shellMenu->GetMenu()) {
            IconMenuItemData* data =
                m_shellMenu->FindItemData(nullptr, reinterpret_cast<UINT_PTR>(m_submenu), false, true);
            auto* entry = data ? static_cast<ShellMenuItem*>(data->payload) : nullptr;
            if (entry) {
                shown.Take(entry->folder, entry->absolute, true);
                shown.Take(entry->merged_folder, entry->merged_absolute, false);
            }
        } else {
            shown.Take(m_shellMenu->GetPrimaryFolder(), m_shellMenu->GetPrimaryList(), true);
            shown.Take(m_shellMenu->GetSecondaryFolder(), m_shellMenu->GetSecondaryList(), false);
        }
    }
    SaveMenuOrder();
    RemoveItem(-1, 1);
    ReleaseShellMenu();
    m_quickLaunch = lstrcmpiA(Folder, "QuickLaunch") == 0;
    auto* menu = new (std::nothrow) CShellFolderMenu(1);
    if (menu) {
        menu->Reset();
        if (shown.primary) {
            // The menu takes over the references.
            menu->SetPrimaryFolder(shown.primary, shown.primaryList);
            menu->SetSecondaryFolder(shown.secondary, shown.secondaryList);
            shown.primary = shown.secondary = nullptr;
            shown.primaryList = shown.secondaryList = nullptr;
            menu->Fill();
        } else if (Folder[0] && menu->SetFolder(Folder)) {
            menu->Fill();
        }
        m_shellMenu = menu;
        m_submenu = menu->GetMenu();
    }
    FillFolderItems();
    if (m_pBar) {
        const BOOL running = m_pBar->m_edgeChangeRunning;
        m_pBar->m_edgeChangeRunning = TRUE;
        m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        m_pBar->m_edgeChangeRunning = running;
    }
}

void CVellumMenuSection_Folder::SetFolderByName(const char* name) {
    SaveMenuOrder();
    RemoveItem(-1, 1);
    ReleaseShellMenu();
    tess::CopyText(Folder, name ? name : "");
    m_quickLaunch = lstrcmpiA(Folder, "QuickLaunch") == 0;
    MakeShellMenu();
    m_personalized = lstrcmpiA(Folder, "Programs") == 0 && GetSmartMenusEnabled() ? TRUE : FALSE;
    m_expanded = FALSE;
    FillFolderItems();
}

void CVellumMenuSection_Folder::ExpandPersonalizedMenu() {
    if (!m_personalized) return;
    SetSmartMenusExpanded(true);
    if (m_expanded) return;
    m_expanded = TRUE;
    for (int i = GetNumOfItems() - 1; i >= 0; --i) {
        auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(m_items[i]);
        if (entry && entry->m_expander) RemoveItem(i, 1);
    }
    const FolderSectionMessages& m = GetFolderSectionMessages();
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->ProcessUserMessage(m.UpdatePersonalized, 0, 0);
    CVellumMenuObject* bar = m_pBar;
    if (!bar || !bar->m_owningPopupItem) return;
    bar->RecalcRects(kRecalcNoRedraw, kRecalcUpdatePos);
    if (auto* opener = dynamic_cast<CVellumMenuItem_Popup*>(bar->m_owningPopupItem)) opener->ShowPopupBar(1);
    bar->RedrawVellumWindow();
}

void CVellumMenuSection_Folder::SetFolderItemIconSize(int size) {
    m_entryIconSize = size;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) {
        auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(m_items[i]);
        if (!entry) continue;
        entry->ShowText = ShowTextByDef;
        if (size <= 0) {
            entry->ShowIcon = FALSE;
            entry->ShowText = TRUE;
        } else {
            entry->IconSize = size;
            entry->ShowIcon = TRUE;
        }
        entry->PopupIconSize = m_popupIconSize;
        entry->PopupText = m_popupText ? TRUE : FALSE;
        entry->RefreshIcon();
    }
    if (IsAutoSizedRecentList()) {
        RefillAutoSized();
        RedrawSection();
    }
}
