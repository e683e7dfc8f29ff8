// The right-click menu of a bar: chooses the menu, lets the item, the
// section and the bar graft their parts and the plug-ins add entries,
// tracks it and routes the chosen command; whatever nobody takes goes to
// the main window.
#include "model/bar_input_internal.h"

#include "model/bar_menu_host_calls.h"
#include "model/bar_menu_resources.h"
#include "model/item_menu_resources.h"
#include "model/live_objects.h"
#include "model/menu_edit.h"
#include "model/menu_header_text.h"
#include "model/plugin_calls.h"
#include "model/resource_module.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace {

constexpr UINT kItemHeaderId = 40063;

BarMenuHostCalls& Host() { return GetBarMenuHostCalls(); }

bool SimpleMenuMode() { return Host().IsSimpleMenuMode && Host().IsSimpleMenuMode(); }

UINT MenuResourceFor(const CVellumMenuObject& bar, bool simple) {
    if (simple) return IDM_SIMPLE_BAR_MENU;
    return bar.m_internalBar ? IDM_INTERNAL_BAR_MENU : IDM_BAR_MENU;
}

bool IsHeaderId(UINT id) {
    return id == kItemHeaderId || id == IDM_NEW_SECTION || id == IDM_SECTION_HEADER ||
           id == IDM_BAR_HEADER;
}

// Header lines are drawn, never chosen: an owner-drawn entry with a header
// id (40142 is also "New Section", which stays a plain entry) is disabled
// wherever a part or a plug-in put it.
void DisableHeaderEntries(HMENU menu) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            DisableHeaderEntries(sub);
            continue;
        }
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        if (!::GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
        if (!(info.fType & MFT_OWNERDRAW) || !IsHeaderId(info.wID)) continue;
        info.fMask = MIIM_STATE;
        info.fState |= MFS_DISABLED;
        ::SetMenuItemInfoA(menu, i, TRUE, &info);
    }
}

// Takes the grafted submenus out of the menu before their owners destroy
// them, so that destroying the menu frees nothing twice.
void DetachSubmenus(HMENU menu, std::initializer_list<HMENU> parts) {
    for (HMENU part : parts) {
        int position = menu_edit::FindSubmenuPosition(menu, part);
        if (position >= 0) ::RemoveMenu(menu, position, MF_BYPOSITION);
    }
}

bool StartProgram(const char* file) {
    if (Host().StartProgram) return Host().StartProgram(file, nullptr);
    HINSTANCE result = ::ShellExecuteA(nullptr, "open", file, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void StartTaskManager() {
    for (const char* program : {"taskmgr.exe", "c:\\winnt\\system32\\taskmgr.exe",
                                "c:\\windows\\system32\\taskmgr.exe", "taskman.exe"})
        if (StartProgram(program)) return;
}

const char* NewItemType(int id) {
    switch (id) {
    case IDM_NEW_POPUP_ITEM: return "Popup";
    case IDM_NEW_CLOCK_ITEM: return "Clock";
    default: return "Shortcut";
    }
}

// "Properties": the item's node, else the section's, else the bar's; an
// item of a locked section shows its section.
void ShowProperties(CVellumMenuObject* bar, CVellumMenuSection* section, CVellumMenuItem* item) {
    if (!Host().SelectInThemeEditor) return;
    const void* object = bar;
    if (item && !(section && section->IsLockedSection()))
        object = item;
    else if (section)
        object = section;
    Host().SelectInThemeEditor(object, 0);
}

void RunChosenCommand(int id, CVellumMenuObject* bar, CVellumMenuSection* section,
                      CVellumMenuItem* item) {
    TellBarPlugins(bar, kPluginBarContextCommand, id);
    switch (id) {
    case IDM_NEW_POPUP_ITEM:
    case IDM_NEW_CLOCK_ITEM:
    case IDM_NEW_SHORTCUT_ITEM:
        if (Host().CreateNewItem) Host().CreateNewItem(bar, section, item, NewItemType(id));
        return;
    case IDM_PROPERTIES:
        ShowProperties(bar, section, item);
        return;
    case IDM_NEW_SECTION:
        if (Host().ShowNewSectionDialog) Host().ShowNewSectionDialog(bar);
        return;
    case IDM_TASK_MANAGER:
        StartTaskManager();
        return;
    default:
        break;
    }
    if (item && item->DoContextMenuCommand(id)) return;
    if (section && section->DoContextMenuCommand(id)) return;
    if (bar->DoContextMenuCommand(id)) return;
    if (bar->m_hMainWindow) ::PostMessageA(bar->m_hMainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

// Builds the menu: steps that remove entries, the three parts, the plug-ins.
// tracked receives the submenu the section returned, else the item's, else
// the menu itself.
HMENU BuildMenu(CVellumMenuObject* bar, CVellumMenuSection* section, CVellumMenuItem* item,
                bool simple, HMENU* tracked) {
    HINSTANCE module = ResourceModuleOf(bar);
    HMENU menu = menu_edit::LoadFirstPopup(module, MenuResourceFor(*bar, simple));
    if (!menu) return nullptr;
    const bool ordinary = !simple && !bar->m_internalBar;
    if (ordinary && !bar->m_tornOff) ::DeleteMenu(menu, IDM_BAR_CLOSE, MF_BYCOMMAND);
    if (ordinary && section && section->IsLockedSection()) {
        ::DeleteMenu(menu, 0, MF_BYPOSITION);   // "Insert"
        ::DeleteMenu(menu, IDM_BAR_ITEM_OPTIONS, MF_BYCOMMAND);
    }

    HMENU item_menu = nullptr, section_menu = nullptr;
    if (!item || simple)
        ::DeleteMenu(menu, IDM_BAR_ITEM_OPTIONS, MF_BYCOMMAND);
    else
        item_menu = item->InitContextMenu(menu);
    if (!section || simple)
        ::DeleteMenu(menu, IDM_SECTION_OPTIONS_ENTRY, MF_BYCOMMAND);
    else
        section_menu = section->InitContextMenu(menu);
    bar->InitContextMenu(menu);

    TellBarPlugins(bar, kPluginBarContextMenu, reinterpret_cast<INT_PTR>(menu));
    ::DeleteMenu(menu, IDM_PLUGIN_PLACEHOLDER, MF_BYCOMMAND);

    if (!simple && (bar->m_internalBar || bar->m_volatile))
        ::DeleteMenu(menu, IDM_TASK_MANAGER, MF_BYCOMMAND);
    const bool styles = Host().ThemeHasStyles && Host().ThemeHasStyles();
    HMENU theme = nullptr;
    int style_entry = -1;
    if (styles && !bar->m_internalBar && !simple &&
        menu_edit::FindEntry(menu, IDM_CHANGE_THEME_STYLE, &theme, &style_entry))
        ::InsertMenuA(theme, style_entry, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    else
        ::DeleteMenu(menu, IDM_CHANGE_THEME_STYLE, MF_BYCOMMAND);
    if (simple) {
        for (UINT id : {IDM_CHANGE_THEME_STYLE, IDM_BAR_CLOSE, IDM_BAR_ITEM_OPTIONS, IDM_SECTION_OPTIONS_ENTRY})
            ::DeleteMenu(menu, id, MF_BYCOMMAND);
    }
    DisableHeaderEntries(menu);
    *tracked = section_menu ? section_menu : item_menu ? item_menu : menu;
    return menu;
}

}  // namespace

BarMenuHostCalls& GetBarMenuHostCalls() {
    static BarMenuHostCalls calls;
    return calls;
}

int ShowBarContextMenu(CVellumMenuObject* bar, CVellumMenuSection* section, CVellumMenuItem* item) {
    if (!bar) return 0;
    const bool simple = SimpleMenuMode();
    HMENU tracked = nullptr;
    HMENU menu = BuildMenu(bar, section, item, simple, &tracked);
    if (!menu) return 1;
    // The parts' submenus as grafted: the modal loop below may delete the
    // item or the section (a taskbar rebuilds its buttons meanwhile).
    HMENU item_menu = item ? item->m_contextSubmenu : nullptr;
    HMENU section_menu = section ? section->m_contextSubmenu : nullptr;

    bar->AddRef();
    POINT at = {};
    ::GetCursorPos(&at);
    const int id = static_cast<int>(
        ::TrackPopupMenu(tracked, TPM_RETURNCMD, at.x, at.y, 0, bar->m_hWnd, nullptr));
    if (item && !IsLiveItem(item)) item = nullptr;
    if (section && !IsLiveSection(section)) section = nullptr;
    if (id) RunChosenCommand(id, bar, section, item);
    if (item && !IsLiveItem(item)) item = nullptr;
    if (section && !IsLiveSection(section)) section = nullptr;

    // A dead item freed its submenu; a dead section's goes with the menu.
    DetachSubmenus(menu, {item_menu, section ? section_menu : nullptr, bar->m_barSubmenu});
    if (item) item->UnInitContextMenu();
    if (section) section->UnInitContextMenu();
    bar->UnInitContextMenu();
    // A part that died cannot clear its own line.
    SetItemMenuHeaderText(nullptr, 0, 0);
    SetSectionMenuHeaderText(nullptr, 0);
    ::DestroyMenu(menu);
    bar->Release();
    return 1;
}
