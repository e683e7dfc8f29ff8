// The item's keys in the bar file: the loader constructor, Save and the
// entries of the item's own popup menu, the key names, and the small virtual
// operations whose base behaviour is plain.
#include <windows.h>
#include <cstring>
#include <new>
#include <string>
#include "model/bar_file.h"
#include "model/bar_host.h"
#include "model/section_factory.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/ini_section_reader.h"
#include "skins/skin_cache.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr int kSeparatorIconId = 211;
constexpr int kStandardCommandPopupMenu = 1;
// ExecuteStandardCommand's set query.
constexpr int kQueryCommandSet = -2;

bool BarIsReadingFile(const CVellumMenuObject* bar) {
    return bar && bar->m_loadingSections && bar->m_sectionReader;
}

// A title as written: each line break becomes the two characters "\n".
std::string EscapeLineBreaks(const char* text) {
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\r' && p[1] == '\n') continue;
        if (*p == '\n')
            out += "\\n";
        else
            out += *p;
    }
    return out;
}

}  // namespace

// ---- the loader ------------------------------------------------------------------------------

CVellumMenuItem::CVellumMenuItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                                 int itemNumber, HMENU parentMenu, int parentNumber)
    : CVellumMenuItem(static_cast<void*>(nullptr)) {
    InitStrings();
    m_parentItemNumber = parentNumber;
    if (bar && section) {
        UpdateParents(bar, section);
        m_itemNumber = itemNumber;
        m_state = kStateNormal;
        if (bar->m_skin) m_drawnElement = GetSkinStateIndex(bar->m_skin, m_state, section->iSectionSkin);
        m_popupMenu = ::CreatePopupMenu();
        Action = ActionClass = 0;
    }
    if (BarIsReadingFile(bar) && section) {
        ReadKeys(parentMenu);
        if (parentMenu) return;   // a menu entry: its creator deletes it at once
    } else {
        if (section) {
            ShowIcon = section->ShowIconsByDef;
            ShowText = section->ShowTextByDef;
            IconSize = section->DefaultIconSize;
        }
        RefreshIcon();
        m_valid = TRUE;
    }
    AddTooltipTool();
}

void CVellumMenuItem::ReadKeys(HMENU parentMenu) {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };

    Separator = reader->GetBool(name("Separator"), 0);
    IsSectionAnchor = reader->GetBool(name("IsSectionAnchor"), 0);
    int changed = 0;
    const char* title = reader->Lookup(name("Title"), true, nullptr, &changed);
    SetItemTitle(const_cast<char*>(title ? title : ""), 0);
    bool valid = title != nullptr || (parentMenu && Separator);

    ShowIcon = m_pSection->ShowIconsByDef;
    ShowText = m_pSection->ShowTextByDef;
    IconSize = m_pSection->DefaultIconSize;
    TextOnlyAlign = reader->GetInt(name("TextOnlyAlign"), -1);
    ShowText = reader->GetInt(name("ShowText"), ShowText);
    ShowIcon = reader->GetInt(name("ShowIcon"), ShowIcon);
    Action = reader->GetInt(name("Action"), 0);
    ActionClass = reader->GetInt(name("ActionClass"), -1);
    iLayerToActOn = reader->GetInt(name("iLayerToActOn"), -1);
    bAttachLayer = reader->GetBool(name("bAttachLayer"), 0);
    RespondToWindowsKey = reader->GetBool(name("RespondToWindowsKey"), 0);
    vkHotkey = reader->GetInt(name("vkHotkey"), 0);
    vkHotkeyModifiers = reader->GetInt(name("vkHotkeyModifiers"), 0);
    UpdateHotkey(0);
    if (ActionClass < 0)
        ActionClass = Action > 0 ? ExecuteStandardCommand(kQueryCommandSet, Action, nullptr, nullptr)
                                 : 0;
    SetState(m_state, 0);

    if (parentMenu) {
        // An entry of another item's popup menu adds itself there and is done.
        if (valid) {
            if (Separator)
                ::AppendMenuA(parentMenu, MF_SEPARATOR, 0, nullptr);
            else
                ::AppendMenuA(parentMenu, MF_STRING, static_cast<UINT_PTR>(Action), m_title);
        }
        m_valid = valid ? TRUE : FALSE;
        return;
    }

    IconSize = reader->GetInt(name("IconSize"), IconSize);
    char path[MAX_PATH];
    char absolute[MAX_PATH];
    auto read_icon = [&](const char* k, int which) {
        reader->GetString(name(k), path, sizeof(path), "");
        absolute[0] = '\0';
        if (path[0]) m_pBar->MakePathAbsolute(path, absolute, nullptr);
        SetIconPath(which, absolute[0] ? absolute : path);
    };
    read_icon("Icon", 1);
    IconIndex = reader->GetInt(name("IconIndex"), 0);
    read_icon("Icon2", 2);
    IconIndex2 = reader->GetInt(name("IconIndex2"), 0);
    RefreshIcon();
    UseActiveIcon = reader->GetBool(name("UseActiveIcon"), 0);
    UseActiveText = reader->GetBool(name("UseActiveText"), 0);

    m_valid = valid ? TRUE : FALSE;
    if (valid) ReadPopupMenuEntries();
    ReadImageKeys();
}

void CVellumMenuItem::ReadPopupMenuEntries() {
    for (int m = 1; m <= kMaxPopupMenuEntries; ++m) {
        CVellumMenuItem entry(m_pBar, m_pSection, m, m_popupMenu, m_itemNumber);
        bool valid = entry.m_valid != FALSE;
        if (!valid) break;
    }
}

void CVellumMenuItem::ReadImageKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    DisplayAsBitmap = reader->GetBool(name("DisplayAsBitmap"), 0);
    PathRelativeToSkin = reader->GetBool(name("PathRelativeToSkin"), 0);
    BitmapAlign = reader->GetInt(name("BitmapAlign"), 1);
    char path[MAX_PATH];
    char absolute[MAX_PATH];
    const char* keys[3] = {"NormalBitmap", "MouseoverBitmap", "SelectedBitmap"};
    for (int i = 0; i < 3; ++i) {
        reader->GetString(name(keys[i]), path, sizeof(path), "");
        absolute[0] = '\0';
        if (path[0] && !PathRelativeToSkin) m_pBar->MakePathAbsolute(path, absolute, nullptr);
        SetBitmapPath(i + 1, absolute[0] ? absolute : path);
    }
    UseTransparency = reader->GetBool(name("UseTransparency"), 1);
    ShowSkinBehindBitmap = reader->GetBool(name("ShowSkinBehindBitmap"), 0);
    int count = reader->GetInt(name("nCustomStates"), 0);
    if (count > kMaxCustomStates) count = kMaxCustomStates;   // no room for more
    for (int i = 0; i < count; ++i) {
        char state_key[64];
        char state_name[kCustomStateNameSize * 4];
        tess::FormatText(state_key, sizeof(state_key), "CustomState%d.Name", i);
        reader->GetString(name(state_key), state_name, sizeof(state_name), "");
        tess::FormatText(state_key, sizeof(state_key), "CustomState%d.BmpPath", i);
        reader->GetString(name(state_key), path, sizeof(path), "");
        if (state_name[0]) AddCustomState(state_name, path);
    }
    RefreshBitmaps();
}

// ---- key names -------------------------------------------------------------------------------

void CVellumMenuItem::BuildString(char* out, char* keyName) {
    if (!out) return;
    char parent[32] = "";
    if (m_parentItemNumber >= 0)
        tess::FormatText(parent, sizeof(parent), "Item%d.", m_parentItemNumber);
    tess::FormatText(out, kIniKeyNameSize, "%sItem%d.%s", parent, m_itemNumber,
                     keyName ? keyName : "");
}

// ---- writing -------------------------------------------------------------------------------------

void CVellumMenuItem::WriteKey(const char* key, const char* value) {
    char name[kIniKeyNameSize];
    BuildString(name, const_cast<char*>(key));
    tess::WriteProfileString(m_sectionName, name, value, m_pBar->m_barFile);
}

void CVellumMenuItem::WriteInt(const char* key, int value) {
    char name[kIniKeyNameSize];
    BuildString(name, const_cast<char*>(key));
    WriteIntSetting(value, m_sectionName, name, m_pBar->m_barFile);
}

int CVellumMenuItem::Save(int itemNumber) {
    m_parentItemNumber = -1;
    m_itemNumber = itemNumber;
    if (!m_pBar || !m_pSection) return 1;
    tess::CopyText(m_sectionName, m_pSection->m_iniSectionName);

    WriteKey("Title", EscapeLineBreaks(m_title).c_str());
    WriteKey("Type", nullptr);
    WriteInt("Action", Action);
    WriteInt("ActionClass", ActionClass);
    if (iLayerToActOn > 0) {
        WriteInt("iLayerToActOn", iLayerToActOn);
        WriteInt("bAttachLayer", bAttachLayer);
    }
    if (RespondToWindowsKey) WriteInt("RespondToWindowsKey", 1);
    if (vkHotkey) {
        WriteInt("vkHotkey", vkHotkey);
        WriteInt("vkHotkeyModifiers", vkHotkeyModifiers);
    }
    if (Separator) {
        WriteInt("Separator", 1);
        if (IsSectionAnchor) WriteInt("IsSectionAnchor", 1);
    }
    char relative[MAX_PATH];
    auto relative_path = [&](const char* path) -> const char* {
        m_pBar->MakePathRelative(const_cast<char*>(path), relative, nullptr);
        return relative[0] ? relative : path;
    };
    if (DisplayAsBitmap) {
        WriteInt("DisplayAsBitmap", 1);
        WriteInt("BitmapAlign", BitmapAlign);
        const char* keys[3] = {"NormalBitmap", "MouseoverBitmap", "SelectedBitmap"};
        const char* paths[3] = {NormalBitmap, MouseoverBitmap, SelectedBitmap};
        for (int i = 0; i < 3; ++i) {
            const char* path = paths[i] ? paths[i] : "";
            WriteKey(keys[i], PathRelativeToSkin || !path[0] ? path : relative_path(path));
        }
        WriteInt("UseTransparency", UseTransparency);
        WriteInt("ShowSkinBehindBitmap", ShowSkinBehindBitmap);
        WriteInt("PathRelativeToSkin", PathRelativeToSkin);
        WriteInt("nCustomStates", m_customStates.count);
        for (int i = 0; i < m_customStates.count; ++i) {
            char key[64];
            tess::FormatText(key, sizeof(key), "CustomState%d.Name", i);
            WriteKey(key, m_customStates.names[i]);
            tess::FormatText(key, sizeof(key), "CustomState%d.BmpPath", i);
            WriteKey(key, m_customStates.paths[i]);
        }
    }
    if (Icon && Icon[0]) {
        WriteKey("Icon", relative_path(Icon));
        if (IconIndex > 0) WriteInt("IconIndex", IconIndex);
    }
    if (Icon2 && Icon2[0]) {
        WriteKey("Icon2", relative_path(Icon2));
        if (IconIndex2 > 0) WriteInt("IconIndex2", IconIndex2);
    }
    if (UseActiveIcon) WriteInt("UseActiveIcon", 1);
    if (UseActiveText) WriteInt("UseActiveText", 1);
    WriteInt("IconSize", IconSize);
    WriteInt("TextOnlyAlign", TextOnlyAlign);
    WriteInt("ShowText", ShowText);
    WriteInt("ShowIcon", ShowIcon);

    SaveExternal();
    return 1;
}

int CVellumMenuItem::SaveExternal() {
    // The entries are written whatever the Action: a user who picks another
    // action for a while keeps the menu they made.
    if (!m_popupMenu || !m_pBar) return 1;
    int own_number = m_itemNumber;
    int count = ::GetMenuItemCount(m_popupMenu);
    for (int m = 1; m <= count; ++m) {
        m_parentItemNumber = own_number;
        m_itemNumber = m;
        UINT state = ::GetMenuState(m_popupMenu, m - 1, MF_BYPOSITION);
        if (state != static_cast<UINT>(-1) && (state & MF_SEPARATOR)) {
            WriteInt("Separator", 1);
            continue;
        }
        char text[kPopupMenuEntryTextSize] = "";
        ::GetMenuStringA(m_popupMenu, m - 1, text, sizeof(text), MF_BYPOSITION);
        WriteKey("Title", text);
        WriteInt("Action", static_cast<int>(::GetMenuItemID(m_popupMenu, m - 1)));
    }
    m_itemNumber = own_number;
    m_parentItemNumber = -1;
    return 1;
}

// ---- small operations ----------------------------------------------------------------------------

HMENU CVellumMenuItem::GetPopupMenu() {
    if (Action != kStandardCommandPopupMenu || !m_popupMenu) return nullptr;
    return ::GetMenuItemCount(m_popupMenu) > 0 ? m_popupMenu : nullptr;
}

int CVellumMenuItem::IsPopup() {
    return GetPopupMenu() ? 1 : 0;
}

CVellumMenuSection* CVellumMenuItem::CreatePopupSection(CVellumMenuObject* childBar, int*) {
    CVellumMenuSection* section =
        new (std::nothrow) CVellumMenuSection_Default(childBar, -1, 0, nullptr);
    if (section) section->MinItems = 1;
    return section;
}

void CVellumMenuItem::UpdateHiddenPopup() {}

HICON CVellumMenuItem::GetCustomIcon() {
    if (!Separator || !m_pBar) return nullptr;
    return static_cast<HICON>(::LoadImageA(m_pBar->m_hModule, MAKEINTRESOURCEA(kSeparatorIconId),
                                           IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuItem::GetCustomItemName(char* out) {
    if (!out) return 0;
    tess::CopyText(out, 13, "Default Item");
    return 1;
}

int CVellumMenuItem::DisplayError(char* text) {
    return ::MessageBoxA(nullptr, text ? text : "", "Tessellar", MB_OK | MB_ICONERROR);
}
