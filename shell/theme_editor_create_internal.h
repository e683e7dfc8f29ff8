// Steps the theme editor's creation commands and dialogs share.
#pragma once
#include <windows.h>
#include <cstddef>

class CVellumMenuObject;
class CVellumMenuSection;
class CVellumMenuItem;

// With the editor open the object's node is added (the parent's children
// sorted) and selected on the tab; else the editor opens on it.
void ShowSectionInEditor(CVellumMenuSection* section, int tab);
void ShowItemInEditor(CVellumMenuItem* item, int tab);

// The title of a copy, within size characters: "(Copy)" becomes "(Copy 2)",
// "(Copy n)" becomes "(Copy n+1)", anything else gets " (Copy)"; the title
// is cut where the suffix would not fit.
void MakeCopyTitle(char* title, size_t size);

// A template name that is a plain file name: not empty, no path separators,
// no "..", none of the characters file names cannot hold, no device name.
bool IsValidTemplateName(const char* name);
// The first free "<folder><name>.tsbar", then "<folder><name>_1.tsbar", ...;
// false when none fits in size characters.
bool FreeTemplatePath(const char* folder, const char* name, char* out, size_t size);
