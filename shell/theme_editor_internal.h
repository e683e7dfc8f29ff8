// What the theme editor's files share: the one editor's state and the steps
// each file offers the others. Not for callers outside the editor.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "shell/theme_editor.h"
#include "util/handles.h"

class CVellumDragDropObject;

// Header rows hold a group number instead of an object pointer.
enum EditorHeaderGroup : LPARAM { kDockedHeader = 1, kFloatingHeader = 2, kLastHeader = 3 };
// Data below this is a header row, never an object.
constexpr LPARAM kHeaderDataLimit = 16;

struct ThemeEditorState {
    HWND window = nullptr;
    HWND tree = nullptr;
    HWND tabs = nullptr;
    POINT page_origin = {};
    int last_tab[3] = {};
    bool redraw_suspended = false;
    // The first of the two rows of each header, for painting.
    HTREEITEM docked_header = nullptr;
    HTREEITEM floating_header = nullptr;
    tess::ScopedFont header_font;
    HIMAGELIST images = nullptr;
    bool context_menu_active = false;
    CVellumDragDropObject* drag_drop = nullptr;
};
ThemeEditorState& Editor();
bool EditorIsOpen();

// ---- tree (theme_editor_tree.cpp) ----------------------------------------------------------
LPARAM EditorNodeData(HTREEITEM node);
bool IsEditorHeaderNode(HTREEITEM node);
HTREEITEM SelectedEditorNode();
// The node's object kind by its depth; false for headers and missing nodes.
bool EditorNodeKindOf(HTREEITEM node, EditorNodeKind* kind);
// The live object of an object node (bar, section or item), else null.
void* EditorNodeObject(HTREEITEM node);
// The bar a node belongs to (null for headers or a gone bar).
CVellumMenuObject* EditorNodeBar(HTREEITEM node);
// The node's title as shown in the caption (without " (Hidden)").
void EditorNodeTitle(HTREEITEM node, char* out, size_t size);
// The image list of the tree, with the program's node icons.
HIMAGELIST CreateEditorImages();
// Lists every open bar and appends the header rows.
void FillEditorTree();

// ---- pages (theme_editor_pages.cpp) -------------------------------------------------------
// Deletes the tabs and ends the helper lines (a header row is selected).
void ClearEditorPages();
// Nothing selected: the plain caption, no tabs, no page, no helper lines.
void ShowNoSelection();

// ---- context menu and flashes (theme_editor_context.cpp) ------------------------------------
// A right click on the tree at the screen point.
void OnEditorTreeContextMenu(WPARAM wp, LPARAM screen_point);

// ---- commands (theme_editor_commands.cpp) ---------------------------------------------------
void OnEditorCommand(UINT id);
void OnEditorInitMenuPopup(HMENU menu);
// Removals and closing, the same on the menu and the context-menu path.
void RemoveEditorItem(CVellumMenuItem* item);
void RemoveEditorSection(CVellumMenuSection* section);
void CloseEditorBar(CVellumMenuObject* bar);

// ---- tree painting (theme_editor_paint.cpp) -------------------------------------------------
void SubclassEditorTree(HWND tree);
