// The theme editor's commands: its buttons and menu, the removals shared with
// its context menus, and the menu's enabling for the selection.
#include "shell/theme_editor_internal.h"

#include "model/bar_host.h"
#include "model/drag_drop_object.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/helper_lines.h"
#include "shell/main_window.h"
#include "shell/theme_editor_resources.h"

namespace {

// What the selected node names, each checked alive: its bar, its section
// (the node's or an item node's parent) and its item.
struct EditorSelection {
    CVellumMenuObject* bar = nullptr;
    CVellumMenuSection* section = nullptr;
    CVellumMenuItem* item = nullptr;
};

EditorSelection CurrentSelection() {
    EditorSelection s;
    CVellumDragDropObject* drag = Editor().drag_drop;
    HTREEITEM node = SelectedEditorNode();
    if (!drag || !node || IsEditorHeaderNode(node)) return s;
    s.bar = drag->GetObjectA(node);
    s.section = drag->GetSection(node);
    s.item = drag->GetItem(node);
    return s;
}

bool IsNewSectionCommand(UINT id) {
    return (id >= ID_EDITOR_NEW_CONTAINER && id <= ID_EDITOR_NEW_VIRTUAL_DESKTOPS) ||
           id == ID_EDITOR_NEW_ADDRESS_BOX || id == ID_EDITOR_NEW_MFU_LIST;
}

bool IsNewItemCommand(UINT id) {
    switch (id) {
    case ID_EDITOR_NEW_SPECIAL_MENU:
    case ID_EDITOR_NEW_CLOCK:
    case ID_EDITOR_NEW_POPUP:
    case ID_EDITOR_NEW_SHORTCUT:
    case ID_EDITOR_NEW_FOLDER_SHORTCUT:
    case ID_EDITOR_NEW_COMMAND:
    case ID_EDITOR_NEW_PLUGIN:
        return true;
    default:
        return false;
    }
}

// Entries shown greyed: bars are made through "Create New Bar".
bool IsInertCommand(UINT id) {
    return (id >= ID_EDITOR_NEW_BOTTOM_BAR && id <= ID_EDITOR_NEW_MENU_BAR) ||
           id == ID_EDITOR_NEW_AUTOHIDE_VERTICAL || id == ID_EDITOR_NEW_AUTOHIDE_HORIZONTAL ||
           id == ID_EDITOR_NEW_TOOLBAR_BAR || id == IDC_EDITOR_APPLY;
}

bool IsPageWindow(HWND child) {
    char cls[16] = "";
    ::GetClassNameA(child, cls, sizeof(cls));
    return ::lstrcmpA(cls, "#32770") == 0;
}

// OK and Cancel go to every page first (they close), then the editor goes.
void CloseEditor(UINT id) {
    HWND editor = Editor().window;
    if (!editor) return;
    HWND pages[64];
    int count = 0;
    for (HWND child = ::GetWindow(editor, GW_CHILD); child && count < 64;
         child = ::GetWindow(child, GW_HWNDNEXT))
        if (IsPageWindow(child)) pages[count++] = child;
    for (int i = 0; i < count; ++i)
        if (::IsWindow(pages[i])) ::SendMessageA(pages[i], WM_COMMAND, id, 0);
    ::DestroyWindow(editor);
}

void SwitchHelperLines() {
    const bool on = ::IsDlgButtonChecked(Editor().window, IDC_EDITOR_HELPER_LINES) == BST_CHECKED;
    SetHelperLinesSwitch(on, CurrentSelection().bar);
}

void RunSelectionCommand(UINT id) {
    const EditorSelection s = CurrentSelection();
    if (IsNewSectionCommand(id)) {
        if (s.bar) CreateSectionForCommand(id, s.bar, s.section);
        return;
    }
    if (IsNewItemCommand(id)) {
        if (s.bar) CreateItemForCommand(id, s.bar, s.section, s.item);
        return;
    }
    switch (id) {
    case ID_EDITOR_INSERT_ITEM:
        CreateNewItem(s.bar, s.section, s.item, "Shortcut");
        return;
    case ID_EDITOR_CREATE_NEW_BAR:
        ShowCreateNewBarDialog(Editor().window, nullptr, nullptr);
        return;
    case ID_EDITOR_INSERT_SECTION:
        if (s.bar) ShowNewSectionDialog(s.bar);
        return;
    case ID_EDITOR_REMOVE_ITEM:
        RemoveEditorItem(s.item);
        return;
    case ID_EDITOR_REMOVE_SECTION:
        RemoveEditorSection(s.section);
        return;
    case ID_EDITOR_CLOSE_BAR:
        CloseEditorBar(s.bar);
        return;
    case ID_EDITOR_SAVE_BAR_TEMPLATE:
        if (s.bar) SaveBarAsTemplate(Editor().window, s.bar);
        return;
    case ID_EDITOR_DUPLICATE_SECTION:
        if (s.section) DuplicateSection(s.section);
        return;
    case ID_EDITOR_DUPLICATE_ITEM:
        if (s.item) DuplicateEditorItem(s.item);
        return;
    case ID_EDITOR_DUPLICATE_BAR:
        if (s.bar) s.bar->Duplicate();
        return;
    default:
        if (HWND main = GetMainWindow()) ::PostMessageA(main, WM_COMMAND, id, 0);
        return;
    }
}

void SetEnabled(HMENU menu, UINT id, bool on) {
    ::EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

bool MenuHolds(HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1); }

}  // namespace

void RemoveEditorItem(CVellumMenuItem* item) {
    if (!item || !IsLiveItem(item) || !item->m_pSection) return;
    CVellumMenuObject* bar = item->m_pSection->m_pBar;
    if (!IsLiveBar(bar)) return;
    bar->SetModified();
    RemoveEditorNode(item);
    item->m_pSection->RemoveItem(item, 1);
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

void RemoveEditorSection(CVellumMenuSection* section) {
    if (!section || !IsLiveSection(section)) return;
    CVellumMenuObject* bar = section->m_pBar;
    if (!IsLiveBar(bar)) return;
    bar->SetModified();
    RemoveEditorNode(section);
    bar->RemoveSection(section, 1);
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

void CloseEditorBar(CVellumMenuObject* bar) {
    if (!bar || !IsLiveBar(bar)) return;
    RemoveEditorNode(bar);
    bar->Release();
    const BarHostServices& services = GetBarHostServices();
    if (services.PostHiddenTaskbarUpdate) services.PostHiddenTaskbarUpdate();
}

void OnEditorCommand(UINT id) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
        CloseEditor(id);
        return;
    case IDC_EDITOR_HELPER_LINES:
        SwitchHelperLines();
        return;
    default:
        if (!IsInertCommand(id)) RunSelectionCommand(id);
        return;
    }
}

void OnEditorInitMenuPopup(HMENU menu) {
    const EditorSelection s = CurrentSelection();
    SetEnabled(menu, ID_EDITOR_REMOVE_SECTION, s.section != nullptr);
    SetEnabled(menu, ID_EDITOR_DUPLICATE_SECTION, s.section && !s.item);
    SetEnabled(menu, ID_EDITOR_DUPLICATE_BAR, s.bar && !s.section);
    SetEnabled(menu, ID_EDITOR_REMOVE_ITEM, s.item != nullptr);
    SetEnabled(menu, ID_EDITOR_DUPLICATE_ITEM, s.item != nullptr);
    SetEnabled(menu, ID_EDITOR_CLOSE_BAR, s.bar != nullptr);
    // New sections and items need a bar: "New..." follows "Close this Bar".
    if (MenuHolds(menu, ID_EDITOR_DUPLICATE_SECTION))
        ::EnableMenuItem(menu, 1, MF_BYPOSITION | (s.bar ? MF_ENABLED : MF_GRAYED));
}
