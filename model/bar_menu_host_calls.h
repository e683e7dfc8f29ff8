// What the bar and section context menus need from the shell, the theme
// editor and the new-item code: one named call each. The shell fills the
// table when it starts; an empty entry does nothing (or answers "off").
#pragma once
#include <windows.h>

class CVellumMenuItem;
class CVellumMenuObject;
class CVellumMenuSection;

struct BarMenuHostCalls {
    // The global option "UseSimpleMenus".
    bool (*IsSimpleMenuMode)();
    // The theme offers alternative styles.
    bool (*ThemeHasStyles)();
    // Opens the theme editor and selects the node of a bar, section or item
    // on the tab (0 the first).
    void (*SelectInThemeEditor)(const void* object, int tab);
    // The theme editor's tree sorts its bars again.
    void (*SortEditorTree)();
    // A new item of the type ("Popup", "Clock", "Shortcut") after the item.
    int (*CreateNewItem)(CVellumMenuObject* bar, CVellumMenuSection* section,
                         CVellumMenuItem* after, const char* typeName);
    // The theme editor's new-section dialog for the bar.
    void (*ShowNewSectionDialog)(CVellumMenuObject* bar);
    // Starts a program (ShellExecute "open"); true when it started. Empty:
    // the menu calls ShellExecute itself.
    bool (*StartProgram)(const char* file, const char* parameters);
};

BarMenuHostCalls& GetBarMenuHostCalls();
