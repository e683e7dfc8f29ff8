// CVellumMenuItem_Shortcut: construction, the keys of the bar file, the
// target, the small virtual operations and the folder messages.
#include "types/shortcut_item.h"
#include <shlwapi.h>
#include <cstring>
#include <new>
#include "model/bar_file.h"
#include "model/live_objects.h"
#include "model/registered_names.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "skins/ini_section_reader.h"
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "types/folder_section_calls.h"
#include "types/shortcut_internal.h"
#include "types/type_registration.h"
#include "types/usage_counts.h"
#include "util/icon_menu.h"
#include "util/item_id_list.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr int kShortcutIconId = 128;
constexpr int kExpanderPopupDelay = 2500;
constexpr const char* kNewItemTitle = "New Shortcut Item";
constexpr const char* kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

const char* const kSpecialFolderNames[] = {
    "Programs", "Desktop", "QuickLaunch", "MyDocuments", "ControlPanel", "MyComputer",
    "Drives", "Favorites", "History", "Network", "Network Connections", "Recycle Bin",
    "Recent", "SendTo", "StartMenu", "Startup", "Templates", "DesktopFolder", "MyPictures",
    "Fonts", "Printers",
};

bool BarIsReadingFile(const CVellumMenuObject* bar) {
    return bar && bar->m_loadingSections && bar->m_sectionReader;
}

// The default value of a key, read-only (users without administrator
// rights are refused anything more on the machine's keys).
bool ReadDefaultValue(HKEY root, const char* path, char* out, size_t size) {
    out[0] = '\0';
    tess::ScopedRegKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        key.release();
        return false;
    }
    DWORD type = 0, bytes = static_cast<DWORD>(size - 1);
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(out),
                         &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        out[0] = '\0';
        return false;
    }
    out[bytes < size ? bytes : size - 1] = '\0';
    return out[0] != '\0';
}

const ItemClassRegistration kShortcutRegistration("Shortcut", MakeShortcutItem);

}  // namespace

const char* SpecialFolderName(int index) {
    static_assert(sizeof(kSpecialFolderNames) / sizeof(kSpecialFolderNames[0]) == kSpecialFolderCount,
                  "one name per special folder");
    return index >= 0 && index < kSpecialFolderCount ? kSpecialFolderNames[index] : nullptr;
}

bool IsSpecialFolderName(const char* name) {
    if (!name) return false;
    for (const char* special : kSpecialFolderNames)
        if (lstrcmpiA(name, special) == 0) return true;
    return false;
}

const ShortcutMessages& GetShortcutMessages() {
    using N = RegisteredName;
    static const RegisteredNameSlot<ShortcutMessages> kSlots[] = {
        {&ShortcutMessages::BlockCopies, N::FolderMFUBlockCopies},
        {&ShortcutMessages::UpdatePersonalizedData, N::UpdatePersonalizedData},
        {&ShortcutMessages::StopPopupForcedDelay, N::StopPopupForcedDelay},
        {&ShortcutMessages::RecentProgsUpdated, N::FolderRecentProgsUpdated},
        {&ShortcutMessages::PinnedAppsUpdated, N::FolderPinnedAppsUpdated},
        {&ShortcutMessages::ExpandPersonalizedDelay, N::ExpandPersonalizedDelay},
        {&ShortcutMessages::RemoveItemDelay, N::RemoveItemDelay},
        {&ShortcutMessages::VolatileClose, N::VolatileClose},
        {&ShortcutMessages::InvokeShortcutCommand, N::InvokeShortcutCommand},
        {&ShortcutMessages::FolderMenuExePidl, N::FolderMenuExePidl},
        {&ShortcutMessages::ResetSorting, N::FolderResetSorting},
        {&ShortcutMessages::UpdateSorting, N::FolderUpdateSorting},
        {&ShortcutMessages::GetWriteOrderLen, N::FolderGetWriteOrderLen},
        {&ShortcutMessages::WriteOrderData, N::FolderWriteOrderData},
    };
    static const ShortcutMessages messages = RegisterNames(kSlots);
    return messages;
}

// ---- construction -------------------------------------------------------------------------------

CVellumMenuItem* MakeShortcutItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                                  int itemNumber, const char*) {
    return new (std::nothrow) CVellumMenuItem_Shortcut(bar, section, itemNumber);
}

void CVellumMenuItem_Shortcut::InitShortcutFields() {
    m_target[0] = m_programName[0] = m_extension[0] = m_startIn[0] = '\0';
    RunAs = kRunNormal;
    IsFolder = FALSE;
    UsePopup = TRUE;
    PopupText = TRUE;
    PopupIconSize = 16;
    HideLinkOverlaysFromPopup = FALSE;
    m_detectedFolder = m_quickLaunch = m_targetSet = m_personalizedMenus = FALSE;
    m_shellMenu = nullptr;
    m_shellSubmenu = nullptr;
    m_shellPosition = -1;
    m_shellItem = nullptr;
    m_folderPopupMenu = nullptr;
    m_contextMenu = nullptr;
    m_firstShellId = m_lastShellId = 0;
    m_inFolderSection = m_recordsRecent = m_expander = FALSE;
    m_rarelyUsed = m_hiddenByPersonalization = m_personalized = m_noOverlay = FALSE;
    m_orderPosition = -1;
}

CVellumMenuItem_Shortcut::CVellumMenuItem_Shortcut(CVellumMenuObject* bar,
                                                   CVellumMenuSection* section, int itemNumber)
    : CVellumMenuItem_Popup(bar, section, itemNumber, 1, "") {
    InitShortcutFields();
    m_iconOnDemand = TRUE;
    char file[kShortcutTargetSize] = "", program[kShortcutProgramNameSize] = "",
         extension[kShortcutExtensionSize] = "";
    if (BarIsReadingFile(bar) && section && itemNumber > 0) {
        ReadShortcutKeys();
        tess::CopyText(file, m_target);
        tess::CopyText(program, m_programName);
        tess::CopyText(extension, m_extension);
        m_target[0] = m_programName[0] = m_extension[0] = '\0';
    }
    SetTarget(m_title, file, program, extension);
    IsFolder = m_detectedFolder;
}

CVellumMenuItem_Shortcut::CVellumMenuItem_Shortcut(CVellumMenuObject* bar,
                                                   CVellumMenuSection* section)
    : CVellumMenuItem_Popup(bar, section, 0, 1, "") {
    InitShortcutFields();
    m_iconOnDemand = TRUE;
}

void CVellumMenuItem_Shortcut::ReadShortcutKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    reader->GetString(name("Shortcut.File"), m_target, sizeof(m_target), "");
    reader->GetString(name("Shortcut.GetFromRegistry"), m_programName, sizeof(m_programName), "");
    reader->GetString(name("Shortcut.UseExtention"), m_extension, sizeof(m_extension), "");
    reader->GetString(name("Shortcut.StartIn"), m_startIn, sizeof(m_startIn), "");
    RunAs = reader->GetInt(name("Shortcut.RunAs"), kRunNormal);
    UsePopup = reader->GetBool(name("Folder.UsePopup"), 1);
    PopupText = reader->GetBool(name("Folder.PopupText"), 1);
    PopupIconSize = reader->GetInt(name("Folder.PopupIconSize"), 16);
    HideLinkOverlaysFromPopup = reader->GetBool(name("Folder.HideLinkOverlaysFromPopup"), 0);
    // Read so that they count as this class's keys; they change nothing.
    char ignored[MAX_PATH];
    reader->GetString(name("Shortcut.IconPath"), ignored, sizeof(ignored), "");
    reader->GetInt(name("Shortcut.IconIndex"), 0);
    reader->GetInt(name("Folder.IsFolder"), 0);
}

CVellumMenuItem_Shortcut::~CVellumMenuItem_Shortcut() {
    ReleaseContextMenu();
    ReleaseShellBinding();
}

// ---- target --------------------------------------------------------------------------------------

bool CVellumMenuItem_Shortcut::ResolveAppPath(const char* programName) {
    char path[MAX_PATH + 80];
    if (!tess::FormatText(path, sizeof(path), "%s\\%s", kAppPathsKey, programName)) return false;
    char value[261];
    if (!ReadDefaultValue(HKEY_LOCAL_MACHINE, path, value, sizeof(value))) return false;
    tess::CopyText(m_target, value);
    ExpandEnvironmentInPlace(m_target, sizeof(m_target));
    tess::CopyTextN(m_programName, sizeof(m_programName), programName, kShortcutProgramNameSize - 1);
    return true;
}

bool CVellumMenuItem_Shortcut::ResolveExtension(const char* extension) {
    char file_class[2000];
    if (!ReadDefaultValue(HKEY_CLASSES_ROOT, extension, file_class, sizeof(file_class))) return false;
    char path[2100];
    if (!tess::FormatText(path, sizeof(path), "%s\\shell\\open\\command\\", file_class)) return false;
    char command[kShortcutTargetSize];
    char value[261];
    if (!ReadDefaultValue(HKEY_CLASSES_ROOT, path, value, sizeof(value))) return false;
    tess::CopyText(command, value);
    CharLowerA(command);
    char parameters[kShortcutParametersSize];
    SplitCommandLine(command, sizeof(command), parameters, sizeof(parameters));
    PathUnquoteSpacesA(command);
    ExpandEnvironmentInPlace(command, sizeof(command));
    tess::CopyText(m_target, command);
    return m_target[0] != '\0';
}

bool CVellumMenuItem_Shortcut::DetectFolder() const {
    if (!strchr(m_target, '.') && !strchr(m_target, '\\') && IsSpecialFolderName(m_target))
        return true;
    const size_t length = strlen(m_target);
    if ((length == 2 || length == 3) && m_target[1] == ':') return true;
    SHFILEINFOA info = {};
    info.dwAttributes = SFGAO_FOLDER | SFGAO_BROWSABLE;
    if (!SHGetFileInfoA(m_target, 0, &info, sizeof(info), SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED))
        return false;
    return (info.dwAttributes & SFGAO_FOLDER) != 0;
}

void CVellumMenuItem_Shortcut::TakeTitle(const char* title) {
    if (m_title && m_title[0] && lstrcmpA(m_title, kNewItemTitle) != 0) return;
    char chosen[kShortcutTargetSize] = "";
    if (title && title[0] && title != m_title) {
        tess::CopyText(chosen, title);
    } else {
        SHFILEINFOA info = {};
        if (SHGetFileInfoA(m_target, 0, &info, sizeof(info), SHGFI_DISPLAYNAME) && info.szDisplayName[0])
            tess::CopyText(chosen, info.szDisplayName);
        else
            tess::CopyText(chosen, m_target);
    }
    SetItemTitle(chosen, 0);
}

bool CVellumMenuItem_Shortcut::SetTarget(const char* title, const char* file,
                                         const char* programName, const char* extension) {
    if (m_targetSet) return false;
    m_quickLaunch = file && lstrcmpiA(file, "QuickLaunch") == 0;
    m_target[0] = m_programName[0] = m_extension[0] = '\0';
    const bool has_extension = extension && extension[0];
    const bool has_program = !has_extension && programName && programName[0];
    if (has_extension)
        tess::CopyTextN(m_extension, sizeof(m_extension), extension, kShortcutExtensionSize - 1);
    else if (has_program)
        ResolveAppPath(programName);
    IsFolder = FALSE;
    m_detectedFolder = FALSE;
    if (has_extension) ResolveExtension(m_extension);
    if (!m_target[0] && file) tess::CopyText(m_target, file);
    if (!m_target[0]) return false;
    const bool folder = !has_extension && !has_program && DetectFolder();
    TakeTitle(title);
    UpdateTextSize(1);
    RefreshIcon();
    m_detectedFolder = folder ? TRUE : FALSE;
    m_personalizedMenus = lstrcmpiA(m_target, "Programs") == 0;
    m_targetSet = TRUE;
    return true;
}

void CVellumMenuItem_Shortcut::ResetTarget() {
    m_targetSet = FALSE;
    m_target[0] = m_programName[0] = m_extension[0] = '\0';
    ReleaseShellBinding();
    RefreshIcon();
}

// ---- small virtual operations ----------------------------------------------------------------------

int CVellumMenuItem_Shortcut::IsPopup() { return !m_expander && IsFolder && UsePopup ? 1 : 0; }

int CVellumMenuItem_Shortcut::GetPopupDelay() {
    if (m_expander) return kExpanderPopupDelay;
    if (!IsFolder || (m_childBar && IsLiveBar(m_childBar) && ::IsWindowVisible(m_childBar->m_hWnd)))
        return -1;
    if (m_pBar && !m_pBar->m_volatile && !m_pBar->m_popupOpened)
        return CVellumMenuItem_Popup::GetPopupDelay();
    return GetSystemMenuDelay();
}

UINT CVellumMenuItem_Shortcut::GetPopupRequiredKeys() {
    if (m_pBar && m_pBar->m_volatile) return 0;
    const int layer = m_pBar ? m_pBar->AlwaysOnTopOrder : 0;
    if (layer >= 1 && IsLayerVolatile(layer)) return 0;
    return CVellumMenuItem_Popup::GetPopupRequiredKeys();
}

int CVellumMenuItem_Shortcut::GetCustomItemName(char* out) {
    if (!out) return 0;
    tess::CopyText(out, 9, "Shortcut");
    return 1;
}

HICON CVellumMenuItem_Shortcut::GetCustomIcon() {
    if (!m_pBar) return nullptr;
    return static_cast<HICON>(::LoadImageA(m_pBar->m_hModule, MAKEINTRESOURCEA(kShortcutIconId),
                                           IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuItem_Shortcut::UpdateParents(CVellumMenuObject* bar, CVellumMenuSection* section) {
    FolderSectionFacts facts = {};
    m_inFolderSection = section && GetFolderSectionFacts(section, &facts);
    m_recordsRecent = m_inFolderSection && facts.usesRecentList;
    return CVellumMenuItem_Popup::UpdateParents(bar, section);
}

void CVellumMenuItem_Shortcut::Draw(HDC dc) {
    if (m_hiddenByPersonalization) return;
    SkinRecord* skin = m_pBar ? m_pBar->m_skin : nullptr;
    if (skin) {
        int style = m_pSection ? m_pSection->iSectionSkin : 0;
        if (m_expander && skin->PersonalizedMenus_ExpanderButtonItemSectionStyle >= 0)
            style = skin->PersonalizedMenus_ExpanderButtonItemSectionStyle;
        m_drawnElement = GetSkinStateIndex(skin, static_cast<int>(m_state), style);
    }
    CVellumMenuItem_Popup::Draw(dc);
}

SIZE CVellumMenuItem_Shortcut::CalcSize(int noSectionStretch, int ignored) {
    if (m_hiddenByPersonalization) {
        m_emptySize = TRUE;
        return SIZE{0, 0};
    }
    return CVellumMenuItem_Popup::CalcSize(noSectionStretch, ignored);
}

void CVellumMenuItem_Shortcut::OnRClick(int* handled) {
    if (m_expander && handled) *handled = 0;
}

void CVellumMenuItem_Shortcut::GettingKeyboardFocus() {
    if (!m_expander || !m_pBar || !m_pBar->m_hWnd) return;
    ::PostMessageA(m_pBar->m_hWnd, WM_KEYDOWN, VK_UP, 0);
    ::PostMessageA(m_pBar->m_hWnd, GetShortcutMessages().ExpandPersonalizedDelay,
                   reinterpret_cast<WPARAM>(m_pSection), 0);
}

// ---- save ----------------------------------------------------------------------------------------

int CVellumMenuItem_Shortcut::SaveExternal() {
    CVellumMenuItem_Popup::SaveExternal();
    if (!m_pBar) return 1;
    const char* file = m_pBar->m_barFile;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    auto write_text = [&](const char* k, const char* value) {
        tess::WriteProfileString(m_sectionName, name(k), value, file);
    };
    auto write_int = [&](const char* k, int value) {
        WriteIntSetting(value, m_sectionName, name(k), file);
    };
    write_text("Type", "Shortcut");
    if (m_extension[0]) write_text("Shortcut.UseExtention", m_extension);
    if (m_programName[0]) write_text("Shortcut.GetFromRegistry", m_programName);
    if (m_inFolderSection && !m_target[0] && m_shellItem && m_shellItem->absolute) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(m_shellItem->absolute, path)) tess::CopyText(m_target, path);
    }
    write_text("Shortcut.File", m_quickLaunch ? "QuickLaunch" : m_target);
    if (m_startIn[0]) write_text("Shortcut.StartIn", m_startIn);
    if (RunAs) write_int("Shortcut.RunAs", RunAs);
    if (IsFolder) write_int("Folder.IsFolder", 1);
    write_int("Folder.UsePopup", UsePopup);
    if (!PopupText) write_int("Folder.PopupText", 0);
    if (PopupIconSize != 16) write_int("Folder.PopupIconSize", PopupIconSize);
    if (HideLinkOverlaysFromPopup) write_int("Folder.HideLinkOverlaysFromPopup", 1);
    return 1;
}

// ---- the folder messages ---------------------------------------------------------------------------

void CVellumMenuItem_Shortcut::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandleFolderMessage(msg, wp, lp)) return;
    CVellumMenuItem_Popup::ProcessUserMessage(msg, wp, lp);
}

int CVellumMenuItem_Shortcut::OrderEntry(char* out, size_t size) const {
    tess::FormatText(out, size, ":%s%s", m_title ? m_title : "", IsFolder ? "\\" : "/");
    return static_cast<int>(strlen(out));
}

bool CVellumMenuItem_Shortcut::HandleFolderMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const ShortcutMessages& m = GetShortcutMessages();
    // Texts and counters come by pointer: only records this program handed
    // out itself are read or written.
    const void* wp_record = reinterpret_cast<const void*>(wp);
    if (msg == m.BlockCopies) {
        auto* flag = reinterpret_cast<int*>(lp);
        if (!wp || !flag || !IsOwnedRecord(wp_record) || !IsOwnedRecord(flag)) return true;
        if (*flag && lstrcmpiA(static_cast<const char*>(wp_record), m_target) == 0) *flag = 0;
        return true;
    }
    if (msg == m.UpdatePersonalizedData) {
        UpdatePersonalizedData(wp);
        return true;
    }
    if (msg == m.StopPopupForcedDelay) {
        if (m_pBar) m_pBar->m_ignoreClicksUntil = static_cast<DWORD>(-1);
        return true;
    }
    if (msg == m.ResetSorting) {
        m_orderPosition = -1;
        return true;
    }
    if (msg == m.UpdateSorting) {
        if (!wp || !IsOwnedRecord(wp_record)) return true;
        char entry[kShortcutTargetSize + 4];
        OrderEntry(entry, sizeof(entry));
        const char* text = static_cast<const char*>(wp_record);
        const char* found = strstr(text, entry);
        m_orderPosition = found ? static_cast<int>(found - text) : -1;
        return true;
    }
    if (msg == m.GetWriteOrderLen) {
        auto* length = reinterpret_cast<int*>(wp);
        if (m_expander || !length || !IsOwnedRecord(length)) return true;
        char entry[kShortcutTargetSize + 4];
        *length += OrderEntry(entry, sizeof(entry));
        return true;
    }
    if (msg == m.WriteOrderData) {
        auto* text = reinterpret_cast<char*>(wp);
        if (m_expander || !text || !IsOwnedRecord(text)) return true;
        char entry[kShortcutTargetSize + 4];
        // lParam is the text's size: no entry writes past it, whatever the count said.
        const size_t size = lp > 0 ? static_cast<size_t>(lp) : 0;
        const size_t used = strnlen(text, size), length = OrderEntry(entry, sizeof(entry));
        if (used + length + 1 <= size) std::memcpy(text + used, entry, length + 1);
        return true;
    }
    return false;
}

void CVellumMenuItem_Shortcut::UpdatePersonalizedData(WPARAM evaluate) {
    FolderSectionFacts facts = {};
    const bool in_folder = m_pSection && GetFolderSectionFacts(m_pSection, &facts);
    const BOOL personalized = in_folder && facts.personalized && GetSmartMenusEnabled() ? TRUE : FALSE;
    if (!evaluate) m_hiddenByPersonalization = FALSE;
    if (personalized != m_personalized) {
        m_personalized = personalized;
        m_hiddenByPersonalization = FALSE;
        if (evaluate) {
            if (m_shellItem && m_shellItem->absolute) {
                WIN32_FIND_DATAA data = {};
                IShellFolder* parent = m_shellItem->parent;
                FILETIME fallback = {};
                bool have = false;
                if (parent && m_shellItem->relative &&
                    SUCCEEDED(SHGetDataFromIDListA(parent, m_shellItem->relative,
                                                   SHGDFIL_FINDDATA, &data, sizeof(data)))) {
                    fallback = data.ftLastWriteTime.dwLowDateTime || data.ftLastWriteTime.dwHighDateTime
                                   ? data.ftLastWriteTime
                                   : data.ftCreationTime;
                    have = true;
                }
                m_rarelyUsed = IsRarelyUsedPidl(m_shellItem->absolute, have ? &fallback : nullptr);
            } else {
                m_rarelyUsed = IsRarelyUsed(m_target, nullptr);
            }
        }
    }
    m_hiddenByPersonalization = m_personalized && !facts.expanded && m_rarelyUsed;
}
