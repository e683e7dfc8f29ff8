// The folder section is not built yet: no section is one, and no folder
// popup can be made.
#include "types/folder_section_calls.h"

bool GetFolderSectionFacts(CVellumMenuSection*, FolderSectionFacts*) { return false; }

CVellumMenuSection* CreateFolderPopupSection(CVellumMenuObject*, CShellFolderMenu*, HMENU, int) {
    return nullptr;
}

bool GetFolderSectionFolder(CVellumMenuSection*, char*, size_t) { return false; }
