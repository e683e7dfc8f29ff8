// The theme editor's new sections and items: the "New..." commands, the
// bar and section context menus' new items, and duplicating an item. Each new
// object goes after the selection, gets its node in the editor's tree and
// marks its bar modified.
#include <windows.h>
#include <shlwapi.h>
#include <string>
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/startup.h"
#include "shell/theme_editor.h"
#include "shell/theme_editor_create_internal.h"
#include "shell/type_services.h"
#include "util/text.h"

namespace {

// "Properties.MaxItemWidth" for "no maximum".
constexpr int kNoMaximumItemWidth = 43957;
constexpr int kAddressBoxWidth = 200;
constexpr int kRecentProgramsListed = 5;
constexpr char kAddressBoxPlugin[] = "Wayfinch.dll";

struct NewSectionCommand {
    UINT command;
    const char* type;
    const char* title;
};
const NewSectionCommand kNewSectionCommands[] = {
    {40164, "Default", "Default"},
    {40165, "Taskbar", "Taskbar"},
    {40166, "SysTray", "System Tray"},
    {40167, "Folder", "Folder"},
    {40168, "Virtual Desktops", "Virtual Desktops"},
    {40183, "Default", "Internet Address Box"},
    {40186, "Folder", "Folder"},
};
constexpr UINT kAddressBoxCommand = 40183;
constexpr UINT kRecentProgramsCommand = 40186;

struct NewItemCommand {
    UINT command;
    const char* type;
    const char* title;   // empty: the type's own
};
const NewItemCommand kNewItemCommands[] = {
    {40162, "SpecialMenu", "Special Menu"},
    {40163, "Clock", ""},
    {40174, "Popup", "Popup"},
    {40175, "Shortcut", "Shortcut"},
    {40176, "Shortcut", "Folder"},
    {40178, "Default", "Command"},
    {40181, "Plugin", "Plugin"},
};
constexpr UINT kProgramsFolderCommand = 40176;

bool SectionOfBar(CVellumMenuObject* bar, CVellumMenuSection* section) {
    return section && IsLiveSection(section) && bar->FindSection(section) >= 0;
}

bool AddressBoxPluginInstalled() {
    char path[MAX_PATH] = "";
    if (!GetPluginsFolder(path) || !tess::AppendText(path, MAX_PATH, kAddressBoxPlugin)) return false;
    return ::PathFileExistsA(path) != FALSE;
}

// The section that holds the address box: no item-width limit, a fixed
// width, equal widths along a horizontal bar, and the plug-in item.
void MakeAddressBoxSection(CVellumMenuObject* bar, CVellumMenuSection* section) {
    section->m_userWidth = -1;
    section->MaxItemWidth = kNoMaximumItemWidth;
    section->SetWidth(kAddressBoxWidth);
    if (!bar->DisplayVertically) section->EqualWidths = TRUE;
    section->AddItem(const_cast<char*>("Plugin"), -1, 0);
}

// A new section of the type made by the bar and taken out of its slot again
// (the caller places it); null when the bar is full.
CVellumMenuSection* TakeNewSection(CVellumMenuObject* bar, const char* type) {
    char name[64];
    if (!tess::CopyText(name, type ? type : "")) return nullptr;
    const int slot = bar->AddSection(name, -1, 0);
    if (slot < 0 || slot >= kMaxSections) return nullptr;
    CVellumMenuSection* section = bar->m_sections[slot];
    if (section) bar->RemoveSection(slot, 0);
    return section;
}

// After the bar's section after, or at the end.
void PlaceNewSection(CVellumMenuObject* bar, CVellumMenuSection* after, CVellumMenuSection* section) {
    if (SectionOfBar(bar, after))
        bar->InsertSection(after, section);
    else
        bar->InsertSection(-1, section);
}

void FinishNewObject(CVellumMenuObject* bar) {
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->SetModified();
}

}  // namespace

// ---- shared with the dialogs ---------------------------------------------------------------------

void ShowSectionInEditor(CVellumMenuSection* section, int tab) {
    if (GetThemeEditorWindow()) {
        // Sorting the bar's children puts the node in the bar's order.
        HTREEITEM node = AddSectionToEditorTree(section, nullptr, 0);
        if (node) SelectEditorNode(node, tab);
    } else {
        ShowThemeEditor();
        SelectInThemeEditor(section, tab);
    }
}

void ShowItemInEditor(CVellumMenuItem* item, int tab) {
    if (GetThemeEditorWindow()) {
        RemoveEditorNode(item);
        HTREEITEM node = AddItemToEditorTree(item, nullptr, 0);
        if (node) SelectEditorNode(node, tab);
    } else {
        ShowThemeEditor();
        SelectInThemeEditor(item, tab);
    }
}

// ---- new items ------------------------------------------------------------------------------------

namespace {

// A default section at the end of the bar, for an item that has none.
CVellumMenuSection* AddDefaultSection(CVellumMenuObject* bar) {
    CVellumMenuSection* section = TakeNewSection(bar, "Default");
    if (!section) return nullptr;
    bar->InsertSection(-1, section);
    if (bar->FindSection(section) < 0) {
        delete section;
        return nullptr;
    }
    if (GetThemeEditorWindow()) AddSectionToEditorTree(section, nullptr, 0);
    return section;
}

// A new item of the type after the item (at the end when the item is not
// the section's), titled when a title is given; null when none was made.
CVellumMenuItem* InsertNewItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                               CVellumMenuItem* after, const char* type, const char* title,
                               bool programs_folder) {
    if (!bar || !IsLiveBar(bar)) return nullptr;
    if (section && !SectionOfBar(bar, section)) return nullptr;
    if (!section) section = AddDefaultSection(bar);
    if (!section) return nullptr;
    char name[64];
    if (!tess::CopyText(name, type)) return nullptr;
    const int slot = section->AddItem(name, -1, 0);
    if (slot < 0 || slot >= kMaxItems || !section->m_items[slot]) return nullptr;
    CVellumMenuItem* item = section->m_items[slot];
    section->RemoveItem(slot, 0);
    const bool placed = after && section->FindItem(after) >= 0 ? section->InsertItem(after, item)
                                                               : section->InsertItem(-1, item);
    if (!placed) {
        delete item;
        return nullptr;
    }
    if (programs_folder) MakeProgramsFolderShortcut(item);
    if (title && title[0]) {
        std::string text = title;
        item->SetItemTitle(&text[0], 0);
    }
    ShowItemInEditor(item, 0);
    FinishNewObject(bar);
    return item;
}

}  // namespace

int CreateNewItem(CVellumMenuObject* bar, CVellumMenuSection* section, CVellumMenuItem* after,
                  const char* typeName) {
    const char* type = "Shortcut";
    const char* title = "New Shortcut Item";
    if (typeName && lstrcmpiA(typeName, "Clock") == 0) {
        type = "Clock";
        title = "";
    } else if (typeName && lstrcmpiA(typeName, "Popup") == 0) {
        type = "Popup";
        title = "New Popup Item";
    }
    return InsertNewItem(bar, section, after, type, title, false) ? 1 : 0;
}

bool CreateItemForCommand(UINT command, CVellumMenuObject* bar, CVellumMenuSection* section,
                          CVellumMenuItem* after) {
    for (const NewItemCommand& entry : kNewItemCommands) {
        if (entry.command != command) continue;
        return InsertNewItem(bar, section, after, entry.type, entry.title,
                             command == kProgramsFolderCommand) != nullptr;
    }
    return false;
}

bool DuplicateEditorItem(CVellumMenuItem* item) {
    if (!item || !IsLiveItem(item)) return false;
    CVellumMenuSection* section = item->m_pSection;
    CVellumMenuObject* bar = item->m_pBar;
    if (!section || !bar || !IsLiveBar(bar) || section->FindItem(item) < 0) return false;
    CVellumMenuItem* copy = item->Duplicate();
    if (!copy) return false;
    if (!section->InsertItem(item, copy)) {
        delete copy;
        return false;
    }
    ShowItemInEditor(copy, 0);
    FinishNewObject(bar);
    return true;
}

// ---- new sections ---------------------------------------------------------------------------------

bool CreateSectionForCommand(UINT command, CVellumMenuObject* bar, CVellumMenuSection* after) {
    const NewSectionCommand* entry = nullptr;
    for (const NewSectionCommand& candidate : kNewSectionCommands)
        if (candidate.command == command) entry = &candidate;
    if (!entry || !bar || !IsLiveBar(bar)) return false;
    CVellumMenuSection* section = TakeNewSection(bar, entry->type);
    if (!section) return false;
    tess::CopyText(section->Title, entry->title);
    PlaceNewSection(bar, after, section);
    if (bar->FindSection(section) < 0) {
        delete section;
        return false;
    }
    if (command == kAddressBoxCommand && AddressBoxPluginInstalled()) MakeAddressBoxSection(bar, section);
    if (command == kRecentProgramsCommand) MakeRecentProgramsSection(section, kRecentProgramsListed);
    ShowSectionInEditor(section, 0);
    FinishNewObject(bar);
    return true;
}
