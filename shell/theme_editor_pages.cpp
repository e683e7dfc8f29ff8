// The theme editor's right side: the tabs of the selected node's kind and
// the property page of the current tab, moved to the page origin while every
// other page hides.
#include "shell/theme_editor_internal.h"

#include <iterator>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/config_pages.h"
#include "shell/global_settings.h"
#include "shell/helper_lines.h"
#include "util/text.h"

namespace {

constexpr char kCurrentSetProperty[] = "iCurrentSet";
constexpr char kEditorCaption[] = "Theme Editor";

// One tab: its text and the page it opens, as a child of the editor.
struct ThemeEditorTab {
    const char* text;
    HWND (*open)(void* object, HWND parent);
};

template <HWND (CVellumMenuObject::*Open)(HWND)>
HWND OpenBarTab(void* object, HWND parent) {
    return (static_cast<CVellumMenuObject*>(object)->*Open)(parent);
}
template <HWND (CVellumMenuSection::*Open)(HWND)>
HWND OpenSectionTab(void* object, HWND parent) {
    return (static_cast<CVellumMenuSection*>(object)->*Open)(parent);
}
template <HWND (CVellumMenuItem::*Open)(HWND)>
HWND OpenItemTab(void* object, HWND parent) {
    return (static_cast<CVellumMenuItem*>(object)->*Open)(parent);
}

// Behaviour pages of sections and items are virtual: a type shows its own.
HWND OpenSectionBehavior(void* object, HWND parent) {
    return static_cast<CVellumMenuSection*>(object)->CallConfigDialogEx(parent);
}
HWND OpenItemBehavior(void* object, HWND parent) {
    return static_cast<CVellumMenuItem*>(object)->CallConfigDialogEx(parent);
}

const ThemeEditorTab kBarTabs[] = {
    {"Display", OpenBarTab<&CVellumMenuObject::CallConfigDialog>},
    {"Sizing && Positioning", OpenBarTab<&CVellumMenuObject::CallConfigDialogEx>},
    {"Advanced", OpenBarTab<&CVellumMenuObject::CallConfigDialogAdv>},
    {"Extra Options", OpenBarTab<&CVellumMenuObject::CallConfigDialogExtra>},
    {"Hotkey", OpenBarTab<&CVellumMenuObject::CallConfigDialogKeyboard>},
};
const ThemeEditorTab kSectionTabs[] = {
    {"Display", OpenSectionTab<&CVellumMenuSection::CallConfigDialog>},
    {"Arrangement", OpenSectionTab<&CVellumMenuSection::CallConfigDialog2>},
    {"Behavior", OpenSectionBehavior},
    {"Extra Options", OpenSectionTab<&CVellumMenuSection::CallConfigDialogExtra>},
};
const ThemeEditorTab kItemTabs[] = {
    {"Display", OpenItemTab<&CVellumMenuItem::CallConfigDialog>},
    {"Behavior", OpenItemBehavior},
    {"Hotkey", OpenItemTab<&CVellumMenuItem::CallConfigDialogHotkey>},
};

const ThemeEditorTab* TabsOf(EditorNodeKind kind, int* count) {
    switch (kind) {
    case EditorNodeKind::Bar: *count = static_cast<int>(std::size(kBarTabs)); return kBarTabs;
    case EditorNodeKind::Section: *count = static_cast<int>(std::size(kSectionTabs)); return kSectionTabs;
    case EditorNodeKind::Item: *count = static_cast<int>(std::size(kItemTabs)); return kItemTabs;
    }
    *count = 0;
    return nullptr;
}

bool IsPageWindow(HWND child) {
    char cls[16] = "";
    ::GetClassNameA(child, cls, sizeof(cls));
    return ::lstrcmpA(cls, "#32770") == 0;
}

// The page goes to the origin and shows; every other page hides.
void ShowOnlyPage(HWND editor, HWND page) {
    for (HWND child = ::GetWindow(editor, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsPageWindow(child)) continue;
        if (child == page) {
            const POINT at = Editor().page_origin;
            ::SetWindowPos(child, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
            if (!::IsWindowVisible(child)) ::ShowWindow(child, SW_SHOWNA);
        } else if (::IsWindowVisible(child)) {
            ::ShowWindow(child, SW_HIDE);
        }
    }
}

void SetCaptionFor(HWND editor, HTREEITEM node, EditorNodeKind kind, void* object) {
    char caption[600];
    char title[300];
    tess::CopyText(caption, kEditorCaption);
    tess::AppendText(caption, "  -  ");
    EditorNodeTitle(node, title, sizeof(title));
    tess::AppendText(caption, title);
    char type_name[300] = "";
    if (kind == EditorNodeKind::Section)
        static_cast<CVellumMenuSection*>(object)->GetCustomSectionName(type_name);
    else if (kind == EditorNodeKind::Item)
        static_cast<CVellumMenuItem*>(object)->GetCustomItemName(type_name);
    if (kind != EditorNodeKind::Bar) {
        tess::AppendText(caption, "  (");
        tess::AppendText(caption, type_name);
        tess::AppendText(caption, ")");
    }
    ::SetWindowTextA(editor, caption);
}

void RememberTab(EditorNodeKind kind, void* object, int tab) {
    Editor().last_tab[static_cast<int>(kind)] = tab;
    switch (kind) {
    case EditorNodeKind::Bar: PageSlotsOf(static_cast<CVellumMenuObject*>(object)).SetLastTab(tab); break;
    case EditorNodeKind::Section: PageSlotsOf(static_cast<CVellumMenuSection*>(object)).SetLastTab(tab); break;
    case EditorNodeKind::Item: PageSlotsOf(static_cast<CVellumMenuItem*>(object)).SetLastTab(tab); break;
    }
}

}  // namespace

void SetEditorTabs(HWND tabs, EditorNodeKind kind, int tab) {
    if (!tabs) return;
    const LONG_PTR wanted = static_cast<LONG_PTR>(kind) + 1;
    int count = 0;
    const ThemeEditorTab* table = TabsOf(kind, &count);
    if (reinterpret_cast<LONG_PTR>(::GetPropA(tabs, kCurrentSetProperty)) != wanted) {
        TabCtrl_DeleteAllItems(tabs);
        for (int i = 0; i < count; ++i) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(table[i].text);
            ::SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        ::SetPropA(tabs, kCurrentSetProperty, reinterpret_cast<HANDLE>(wanted));
    }
    if (tab < 0 || tab >= count) tab = 0;
    TabCtrl_SetCurSel(tabs, tab);
}

void ClearEditorPages() {
    ThemeEditorState& e = Editor();
    if (e.tabs) {
        TabCtrl_DeleteAllItems(e.tabs);
        ::RemovePropA(e.tabs, kCurrentSetProperty);
    }
    if (Settings().bHelperEnabled) ShowHelperLines(nullptr);
}

void ShowNoSelection() {
    ThemeEditorState& e = Editor();
    if (!e.window) return;
    ClearEditorPages();
    ShowOnlyPage(e.window, nullptr);
    ::SetWindowTextA(e.window, kEditorCaption);
}

int ShowEditorPageForSelection(HWND editor, bool rebuildTabs) {
    ThemeEditorState& e = Editor();
    if (e.redraw_suspended || !editor || editor != e.window || !e.tree || !e.tabs) return 0;
    HTREEITEM node = SelectedEditorNode();
    if (!node) return 0;
    if (IsEditorHeaderNode(node)) {
        ClearEditorPages();
        return 0;
    }
    EditorNodeKind kind;
    void* object = EditorNodeObject(node);
    if (!object || !EditorNodeKindOf(node, &kind)) return 0;
    SetCaptionFor(editor, node, kind, object);
    if (Settings().bHelperEnabled) ShowHelperLines(EditorNodeBar(node));
    if (rebuildTabs) SetEditorTabs(e.tabs, kind, e.last_tab[static_cast<int>(kind)]);
    int count = 0;
    const ThemeEditorTab* table = TabsOf(kind, &count);
    int tab = TabCtrl_GetCurSel(e.tabs);
    if (tab < 0 || tab >= count) tab = 0;
    HWND page = table[tab].open(object, editor);
    RememberTab(kind, object, tab);
    ShowOnlyPage(editor, page);
    return page ? 1 : 0;
}
