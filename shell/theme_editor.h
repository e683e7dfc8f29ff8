// The theme editor: one modeless window with a tree of the open bars, their
// sections and items on the left and the property pages of the selected node
// on the right. Other code opens it, selects nodes in it and keeps its tree
// current through the calls below; each answers "nothing" while no editor is
// open, except the ones that open it.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CVellumMenuObject;
class CVellumMenuSection;
class CVellumMenuItem;

// What a tree node holds: a bar (depth 0), a section (1) or an item (2).
enum class EditorNodeKind { Bar = 0, Section = 1, Item = 2 };

// ---- the window (theme_editor.cpp) ----------------------------------------------------
// Creates the editor when none exists, shows, restores and brings it to the
// foreground.
void ShowThemeEditor();
HWND GetThemeEditorWindow();
// Carries out a menu or button command of the editor as if it were chosen.
void SendThemeEditorCommand(UINT id);
// Opens the editor and selects the node of a bar, section or item on the tab
// (a negative tab keeps the current one); 0 when the object has no node.
int SelectInThemeEditor(const void* object, int tab);
// The tab last shown for the node kind (0 when the editor opened).
int GetEditorLastTab(EditorNodeKind kind);
// While on, selection changes do not rebuild the page.
void SuspendEditorPageRedraw(bool suspend);
// The pages (theme_editor_pages.cpp).
// Shows the page of the selected node on the current tab (with rebuildTabs,
// the tabs of its kind first, on the kind's last tab); 0 when nothing shows.
int ShowEditorPageForSelection(HWND editor, bool rebuildTabs);
// Gives the tab control the tabs of the kind (only when it holds another
// kind's) and selects the tab.
void SetEditorTabs(HWND tabs, EditorNodeKind kind, int tab);

// ---- tree nodes (theme_editor_tree.cpp) -----------------------------------------------
// Selects and expands the node; a tab of 0 or more selects that tab and
// rebuilds the page.
HTREEITEM SelectEditorNode(HTREEITEM node, int tab);
// The node whose data is the object: the whole tree below start (null: the
// root) when deep, else only start's level; null when none.
HTREEITEM FindEditorNode(const void* object, bool deep, HTREEITEM start);
// Adds a bar with its sections and items unless it is internal or listed.
HTREEITEM AddBarToEditorTree(CVellumMenuObject* bar);
// Adds a section and its items under parent (null: the bar's node);
// sortFlag >= 0 sorts the bar's children again.
HTREEITEM AddSectionToEditorTree(CVellumMenuSection* section, HTREEITEM parent, int sortFlag);
// Adds an item when its section lets its items be listed.
HTREEITEM AddItemToEditorTree(CVellumMenuItem* item, HTREEITEM parent, int sortFlag);
void UpdateEditorItemNode(CVellumMenuItem* item);
// Sets the node text (" (Hidden)" added as for every node); 0 when there is
// no editor or no node.
int SetEditorNodeTitle(const void* object, const char* text);
void DeleteEditorNode(HTREEITEM node);
// Deletes the object's node when the tree has one.
void RemoveEditorNode(const void* object);
// Sorts the top level: "Docked Bars", docked bars A-Z, "Floating Bars",
// floating bars A-Z.
void SortEditorTree();
// Sorts a bar's or section's children into the bar's own order.
void SortEditorNodeChildren(HTREEITEM node);
int GetTreeNodeDepth(HWND tree, HTREEITEM node);
// Sort orders of tree-view sort callbacks: the top level (headers and bars),
// and the children of a bar or section node (lp names that node's object).
int CALLBACK EditorTreeTopLevelOrder(LPARAM a, LPARAM b, LPARAM unused);
int CALLBACK EditorNodeBarOrder(LPARAM a, LPARAM b, LPARAM parent);

// ---- creating, duplicating and saving (theme_editor_create*.cpp, theme_editor_duplicate.cpp)
// The "Create Section" dialog for the bar.
void ShowNewSectionDialog(CVellumMenuObject* bar);
// The "Create New Bar" dialog; the new bar, or null when cancelled. The
// target, when given, receives the bar.
CVellumMenuObject* ShowCreateNewBarDialog(HWND owner, void (*target)(CVellumMenuObject* bar, void* context),
                                          void* context);
// A new item of the type ("Shortcut", "Clock", "Popup"; any other name a
// shortcut) after the item; 0 without a bar.
int CreateNewItem(CVellumMenuObject* bar, CVellumMenuSection* section, CVellumMenuItem* after,
                  const char* typeName);
// A copy of the section inserted after it; false when no copy was made.
bool DuplicateSection(CVellumMenuSection* section);
// A copy of the item inserted after it and selected; false when none.
bool DuplicateEditorItem(CVellumMenuItem* item);
// The editor's new-section commands (40164-40168, 40183, 40186) and new-item
// commands (40162, 40163, 40174-40176, 40178, 40181) for the selection; true
// when the command was one of them and something was created.
bool CreateSectionForCommand(UINT command, CVellumMenuObject* bar, CVellumMenuSection* after);
bool CreateItemForCommand(UINT command, CVellumMenuObject* bar, CVellumMenuSection* section,
                          CVellumMenuItem* after);
// "Save Bar as Template...": asks a name and saves the bar under the theme's
// "Bars\Templates"; false when cancelled or the save failed.
bool SaveBarAsTemplate(HWND owner, CVellumMenuObject* bar);
