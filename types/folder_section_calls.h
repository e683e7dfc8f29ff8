// What shortcut items need from the folder section: the facts of the
// section an item lies in, and the section of a folder popup.
#pragma once
#include <windows.h>

class CShellFolderMenu;
class CVellumMenuObject;
class CVellumMenuSection;

struct FolderSectionFacts {
    BOOL usesRecentList;      // "Folder.UseRecentList"
    BOOL usesPinnedList;
    BOOL personalized;        // personalised menus on for the section
    BOOL expanded;            // the "show all" expander was used
    BOOL volatilePopup;       // "Popup.Volitle" of the section
    CShellFolderMenu* shellMenu;
    char alternateSkin[MAX_PATH];   // "Popup.UseAlternateSkin"
};

// False when section is no folder section.
bool GetFolderSectionFacts(CVellumMenuSection* section, FolderSectionFacts* facts);

// A new folder section in child over (menu, submenu), with the personalised
// menus flag; null when none could be made.
CVellumMenuSection* CreateFolderPopupSection(CVellumMenuObject* child, CShellFolderMenu* menu,
                                             HMENU submenu, int personalized);

// The folder a folder section shows (with a trailing backslash) into out;
// false when section is no folder section or shows no folder.
bool GetFolderSectionFolder(CVellumMenuSection* section, char* out, size_t size);
